#include "assessment/BelastungDialoge.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <utility>
#include <vector>

#include "assessment/Belastungseinschaetzungen.h"
#include "assessment/KriterienBelastung.h"
#include "core/Files.h"
#include "core/Frame.h"
#include "core/SheetTree.h"
#include "core/TimeHelpers.h"
#include "core/Utilities.h"
#include "platform/fw/FwFileManager.h"
#include "platform/fw/FwWindow.h"
#include "platform/records/RecordFile.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ListFormat.h"
#include "platform/ui/MessageShow.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"

namespace {

constexpr uint8_t REQUEST_INSERT = 1;
constexpr uint8_t REQUEST_CHANGE = 2;
constexpr uint8_t REQUEST_DELETE = 3;
constexpr uint8_t REQUEST_VIEW = 6;

const char* const kEbaFilter = "Varn 4 EBA-Datei|*.eba";
const char* const kTage[7] = {"Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag", "Sonntag"};
const char* const kTageKurz[7] = {"Mo", "Di", "Mi", "Do", "Fr", "Sa", "So"};

void Warn(const std::string& caption, const std::string& text)
{
    MessageRequest m;
    m.caption = caption;
    m.text = text;
    m.icon = MessageIcon::Exclamation;
    m.buttonBits = BUTTON_OK;
    MessageShow(m);
}

void ReadFailed(const std::string& file)
{
    Warn("Datei kann nicht geöffnet werden", "Beim Öffnen der Datei ist ein Fehler aufgetreten.|" + file);
}

void WriteFailed(const std::string& file)
{
    Warn("Datei kann nicht gespeichert werden", "Beim Speichern der Datei ist ein Fehler aufgetreten.|" + file);
}


// Two decimals with a decimal comma.
std::string Komma2(double v)
{
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    std::string s = buf;
    std::replace(s.begin(), s.end(), '.', ',');
    return s;
}

// ---- texts of the items ------------------------------------------------------------------------
// The names and judging lines are the method's; the short definitions are our own wording.
struct ItemText {
    int item;
    const char* name;
    const char* definition;
    const char* judge;
};
const ItemText kItems[] = {
    {1, "Schwere Dynamische Muskelarbeit", "Bewegen großer Muskelgruppen gegen Widerstand, z.B. Heben und Tragen schwerer Lasten.",
     "Einschätzen nach: Kraftaufwand, Häufigkeit"},
    {2, "Einseitig Dynamische Muskelarbeit", "Häufig wiederholte Bewegungen kleiner Muskelgruppen, z.B. Sortieren, Tastaturarbeit.",
     "Einschätzen nach: Bewegungsfrequenz, Kraftaufwand, Häufigkeit"},
    {3, "Statische Haltearbeit", "Halten von Lasten oder Werkzeugen ohne Bewegung.", "Einschätzen nach: Kraftaufwand, Häufigkeit"},
    {4, "Statische Haltungsarbeit", "Arbeit in erzwungener Körperhaltung, z.B. gebückt, kniend, über Kopf.",
     "Einschätzen nach: Grad der Abweichung von entspannter Körperhaltung, Häufigkeit"},
    {5, "Körperliche Abwechslung", "Wechsel zwischen Sitzen, Stehen und Gehen während der Tätigkeit.", "Einschätzen nach: Abwechslung"},
    {6, "Besondere Beeinträchtigende Belastungen", "Belastungen aus der Arbeitsumgebung.", ""},
    {7, "Verantwortung und Konsequenzen", "Verantwortung für Menschen, Sachwerte und Abläufe und die Folgen von Fehlern.",
     "Einschätzen nach: Verantwortungsumfang, Konsequenzen"},
    {8, "Aufgaben und Anforderungen", "Anzahl und Vielfalt der Aufgaben der Tätigkeit.", "Einschätzen nach: Aufgabenanzahl, Anforderungsvielfalt"},
    {9, "Zeitbindung", "Bindung an Takt, Termine und Arbeitsmenge je Zeit.", "Einschätzen nach: Verhältnis Arbeitsmenge/Zeit, Häufigkeit"},
    {10, "Unterbrechungen/Störungen", "Unterbrechungen der Arbeit durch Personen, Telefon oder Technik.", "Einschätzen nach: Häufigkeit, Konsequenzen"},
    {13, "Informationsaufnahme - Menge", "Menge der aufzunehmenden Informationen.", "Einschätzen nach: Menge"},
    {14, "Informationsaufnahme - Qualität", "Wie gut die Informationen zu erkennen und wie angemessen sie dargeboten sind.",
     "Einschätzen nach: Erkennbarkeit, Angemessenheit"},
    {15, "Informationsverarbeitung - Erinnern", "Was im Gedächtnis behalten werden muss.", "Einschätzen nach: Menge, Erinnern, Hilfsmittel"},
    {16, "Informationsverarbeitung - Komplexität", "Denken, Probleme lösen und Entscheidungen treffen.",
     "Einschätzen nach: Umfang Denken, Problemlösen, Entscheiden"},
    {17, "Informationsumsetzung", "Umsetzen von Informationen in Handlungen und deren Koordination.", "Einschätzen nach: Menge, Umfang Koordination"},
};

// What a low, a middle and a high rating stand for on an item's scale, each with an example; our
// own wording, as an aid to the rater.
struct Anker {
    int item;
    const char* stufe[3];
};
const Anker kAnker[] = {
    {1, {"selten leichte Lasten, z.B. Akten tragen", "öfter mittlere Lasten, z.B. Pakete bis 15 kg",
         "häufig schwere Lasten, z.B. Säcke über 25 kg heben, Patienten umlagern"}},
    {2, {"wenige gleichförmige Bewegungen, z.B. gelegentlich Formulare ausfüllen",
         "zeitweise wiederholte Bewegungen, z.B. Kassieren",
         "ständig schnelle gleiche Bewegungen, z.B. Fließbandmontage, Dauererfassung am Bildschirm"}},
    {3, {"kurz leichte Gegenstände halten, z.B. ein Klemmbrett", "öfter Werkzeuge halten, z.B. eine Bohrmaschine",
         "lange schwere Teile halten, z.B. Bauteile beim Verschrauben"}},
    {4, {"meist entspannte Haltung, z.B. Wechsel von Sitzen und Stehen", "zeitweise gebückt oder kniend, z.B. Regale einräumen",
         "lange in Zwangshaltung, z.B. Arbeiten über Kopf oder im Knien"}},
    {5, {"freier Wechsel von Sitzen, Stehen und Gehen, z.B. Rundgänge", "teilweise Wechsel, z.B. Arbeit an mehreren Plätzen",
         "keine Abwechslung, z.B. die ganze Schicht sitzend am Leitstand"}},
    {7, {"Fehler sind leicht zu beheben, z.B. Ablage", "Fehler kosten Zeit oder Geld, z.B. Warenannahme",
         "Fehler gefährden Menschen oder große Werte, z.B. Anlagenfahrer, Pflege"}},
    {8, {"eine gleichbleibende Aufgabe, z.B. eine Maschine beschicken", "einige verschiedene Aufgaben, z.B. Lager mit Annahme und Versand",
         "viele wechselnde Aufgaben, z.B. Schichtleitung"}},
    {9, {"Arbeitstempo frei einteilbar, z.B. Instandhaltung ohne Termin", "feste Termine, z.B. ein Tourenplan",
         "enger Takt, z.B. Bandarbeit, Notrufannahme"}},
    {10, {"selten gestört, z.B. Büroarbeit in der Nacht", "mehrmals in der Stunde unterbrochen, z.B. Empfang",
          "ständig unterbrochen, mit Folgen, z.B. Leitstelle, Hotline"}},
    {13, {"wenige Anzeigen, z.B. eine einzelne Kontrollleuchte", "mehrere Quellen, z.B. Bildschirm und Telefon",
          "sehr viele Signale zugleich, z.B. Leitwarte"}},
    {14, {"gut erkennbar und eindeutig, z.B. eine klare Bildschirmanzeige", "teilweise schlecht erkennbar, z.B. kleine Schrift, Lärm beim Zuhören",
          "schwer erkennbar oder mehrdeutig, z.B. undeutlicher Funk, schlechte Sicht"}},
    {15, {"wenig zu behalten oder Hilfsmittel zur Hand, z.B. eine Checkliste", "einiges zu behalten, z.B. Bestellungen mehrerer Kunden",
          "viel ohne Hilfsmittel zu behalten, z.B. den Stand vieler Einsätze"}},
    {16, {"Routineentscheidungen, z.B. Sortieren nach festen Regeln", "gelegentlich Probleme lösen, z.B. Störungen an einer Maschine",
          "ständig schwierige Entscheidungen, z.B. Einsatzleitung, Diagnose"}},
    {17, {"einfache Handgriffe, z.B. eine Taste drücken", "mehrere Handlungen abstimmen, z.B. Gabelstapler fahren",
          "viele Handlungen genau koordinieren, z.B. einen Kran führen"}},
};

const Anker* AnkerOf(int item)
{
    for (const Anker& a : kAnker)
        if (a.item == item)
            return &a;
    return nullptr;
}

// The scale's three columns below the option buttons: their left edges and width.
constexpr int kSkalaX[3] = {114, 210, 306};
constexpr int kSkalaW = 94;

struct Seite {
    const char* tab;
    const char* root;
    int first, last;
};
const Seite kSeiten[3] = {
    {"Körperliche Belastung", "körperlich", 1, 6},
    {"Emotionale Belastung", "emotional", 7, 10},
    {"Mentale Belastung", "mental", 13, 17},
};

const ItemText& TextOf(int item)
{
    for (const ItemText& t : kItems)
        if (t.item == item)
            return t;
    return kItems[0];
}

const char* const kHinweis[4] = {
    "Nur wenn eine vollständige EBA Einschätzung vorliegt, kann eine korrekte belastungsbezogene Bewertung durchgeführt werden.",
    "Eine EBA Einschätzung ist dann vollständig, wenn die Belastungssituation an einem Arbeitsplatz über die gesamte "
    "Betriebszeit einer Woche eingeschätzt wurde.",
    "Die mit EBA eingeschätzten Zeiträume sollten daher die definierten Zeiten des Arbeitskräfte- bzw. Schichtbedarfs "
    "vollständig beinhalten. ",
    "Nicht eingeschätzte Zeitabschnitte werden mit neutralen Daten aufgefüllt.",
};

// ---- the form on one assessment ------------------------------------------------------------------

enum FormControl {
    FM_SHEET = 1, FM_TAB_TAETIGKEIT, FM_BEZEICHNUNG, FM_TAG1, FM_BEGINN = FM_TAG1 + 7, FM_ENDE, FM_OK, FM_CANCEL,
    FM_SKALA_GERING, FM_SKALA_MITTEL, FM_SKALA_HOCH, FM_ITEM6_GROUP, FM_LOESCHHINWEIS,
    FM_DYNAMIC = 100,     // the pages of the items, numbered as they are declared
    FM_ANONYMOUS = 1000,  // prompts and frames
};

// The tree beside an item sheet: a tab's row is ticked when its item is rated.
class ItemTree : public CSheetTree {
public:
    ItemTree(const std::array<int32_t, CBelastungseinschaetzung::kItems>& ratings) : ratings_(ratings) {}
    std::vector<std::pair<int, int>> tabItems;   // tab control, item
    std::string GetTabIcon(int tab) override
    {
        for (const auto& [t, item] : tabItems)
            if (t == tab)
                return ratings_[static_cast<size_t>(item - 1)] != 0 ? "~checked.ico" : "~unchecked.ico";
        return CSheetTree::GetTabIcon(tab);
    }

private:
    const std::array<int32_t, CBelastungseinschaetzung::kItems>& ratings_;
};

class BelastungFormWindow : public FwWindow {
public:
    BelastungFormWindow(CBelastungseinschaetzung& record, uint8_t request)
        : FwWindow("UpdateBelastungseinschaetzung"), record_(record), request_(request)
    {
        ratings_ = record.EINSCHAETZUNG;
        taetigkeit_ = record.TAETIGKEIT;
        for (int i = 0; i < 7; ++i)
            tage_[static_cast<size_t>(i)] = (record.WOCHENTAGE >> i) & 1;
        if (request != REQUEST_INSERT) {
            beginn_ = FormatTimeOfDay(record.TERMIN.BEGINN);
            ende_ = FormatTimeOfDay(record.TERMIN.ENDE, true);
        }
        for (int i = 0; i < 3; ++i)
            trees_[static_cast<size_t>(i)] = std::make_unique<ItemTree>(ratings_);
    }

    int Setup() override
    {
        int level = FwWindow::Setup();
        WindowDesc d;
        d.name = "UpdateBelastungseinschaetzung";
        // Deleting and viewing show the assessment as it is: nothing can be changed, and a delete
        // says that OK deletes it.
        const bool readOnly = request_ == REQUEST_DELETE || request_ == REQUEST_VIEW;
        d.title = "Belastungseinschätzung bearbeiten";
        d.icon = "mini_belastung.ico";
        d.w = 420;
        d.h = 300;
        int anon = FM_ANONYMOUS;   // controls nobody refers to; every control needs a number of its own

        // Adds a prompt; those nobody refers to get a number of the anonymous range.
        auto prompt = [&anon](ControlDesc& parent, const std::string& text, int x, int y, int w, int h, int id = 0) {
            parent.Add(Ctl::Prompt(text).Id(id ? id : anon++).At(x, y, w, h));
        };

        ControlDesc taetigkeit = Ctl::Tab("Tätigkeit").Id(FM_TAB_TAETIGKEIT);
        prompt(taetigkeit, "Bezeichnung:", 10, 30, 60, 10);
        taetigkeit.Add(Ctl::Entry("@s30").Id(FM_BEZEICHNUNG).Name("?Bezeichnung")
                           .Tip("ausführliche Bezeichnung für diesen Schichttyp").Use(UseVar(taetigkeit_)).ReadOnly(readOnly).At(80, 30, 160, 10));
        prompt(taetigkeit, "Wochentage:", 10, 46, 60, 10);
        for (int i = 0; i < 7; ++i)
            taetigkeit.Add(Ctl::Check(kTageKurz[i]).Id(FM_TAG1 + i).Name(std::string("?") + kTageKurz[i])
                               .Use(UseVar(tage_[static_cast<size_t>(i)])).Disabled(readOnly).At(80 + 28 * i, 46, 26, 10));
        prompt(taetigkeit, "Beginn:", 10, 62, 60, 10);
        taetigkeit.Add(Ctl::Entry("@s10").Id(FM_BEGINN).Name("?Beginn").Use(UseVar(beginn_)).ReadOnly(readOnly).At(80, 62, 40, 10));
        prompt(taetigkeit, "Ende:", 10, 76, 60, 10);
        taetigkeit.Add(Ctl::Entry("@s10").Id(FM_ENDE).Name("?Ende").Use(UseVar(ende_)).ReadOnly(readOnly).At(80, 76, 40, 10));
        ControlDesc hinweis = Ctl::Group("Bitte beachten Sie:").Id(anon++).At(10, 96, 396, 150);
        for (int i = 0; i < 4; ++i)
            prompt(hinweis, kHinweis[i], 16, 108 + 34 * i, 384, 30);
        taetigkeit.Add(std::move(hinweis));

        ControlDesc sheet = Ctl::Sheet().Id(FM_SHEET).At(4, 4, 412, 262).Add(std::move(taetigkeit));
        int next = FM_DYNAMIC;
        for (size_t s = 0; s < 3; ++s) {
            const Seite& seite = kSeiten[s];
            ControlDesc page = Ctl::Tab(seite.tab).Id(next++);
            pages_[s].list = next++;
            page.Add(Ctl::List("90L(2)|M*IT(1)@s40@").Id(pages_[s].list).Name("?Baum" + std::to_string(s + 1))
                         .At(8, 24, 96, 236));
            pages_[s].sheet = next++;
            ControlDesc items = Ctl::Sheet().Id(pages_[s].sheet).At(108, 24, 304, 236);
            int ordinal = 0;
            for (int item = seite.first; item <= seite.last; ++item) {
                if (!CBelastungseinschaetzung::IsRatedItem(item))
                    continue;
                const ItemText& t = TextOf(item);
                const int tabId = next++;
                ControlDesc tab = Ctl::Tab("Item " + std::to_string(++ordinal)).Id(tabId);
                tab.Add(Ctl::Prompt(t.name).Id(anon++).Font("Tahoma", 9, 700).At(114, 44, 290, 12));
                prompt(tab, t.definition, 114, 58, 290, 24);
                const int option = next++;
                options_.push_back(option);
                int32_t& rating = ratings_[static_cast<size_t>(item - 1)];
                if (item == 6) {
                    prompt(tab, "Treten beeinträchtigende Belastungen am Arbeitsplatz durch Klima, Lärm, "
                                "Schwingungen oder das Tragen von Schutzkleidung auf?", 114, 84, 290, 24);
                    ControlDesc o = Ctl::Option("").Id(option).Name("?Item6").Use(UseVar(rating)).Disabled(readOnly).At(114, 110, 120, 14);
                    o.Add(Ctl::Radio("nein", "3").Id(next++).At(118, 112, 40, 10));
                    o.Add(Ctl::Radio("ja", "8").Id(next++).At(170, 112, 40, 10));
                    tab.Add(std::move(o));
                } else {
                    prompt(tab, t.judge, 114, 84, 290, 10);
                    if (const Anker* a = AnkerOf(item))
                        for (int k = 0; k < 3; ++k)
                            prompt(tab, a->stufe[k], kSkalaX[k], 142, kSkalaW, 40);
                    ControlDesc o = Ctl::Option("").Id(option).Name("?Item" + std::to_string(item))
                                        .Use(UseVar(rating)).Disabled(readOnly).At(114, 110, 290, 14);
                    for (int v = 1; v <= 9; ++v)
                        o.Add(Ctl::Radio("", std::to_string(v)).Id(next++).At(150 + 24 * (v - 1), 112, 12, 10));
                    tab.Add(std::move(o));
                }
                items.Add(std::move(tab));
                trees_[s]->tabItems.emplace_back(tabId, item);
            }
            page.Add(std::move(items));
            const bool physical = s == 0;
            prompt(page, "gering:", kSkalaX[0], 130, 60, 10, physical ? FM_SKALA_GERING : 0);
            prompt(page, "mittel:", kSkalaX[1], 130, 60, 10, physical ? FM_SKALA_MITTEL : 0);
            prompt(page, "hoch:", kSkalaX[2], 130, 60, 10, physical ? FM_SKALA_HOCH : 0);
            if (physical) {
                ControlDesc g = Ctl::Group("").Id(FM_ITEM6_GROUP).Hidden().At(114, 128, 290, 120);
                const char* const factors[4][2] = {
                    {"Klima:", "Hitze, Kälte, Nässe, Zugluft"},
                    {"Lärm:", "Lärm, der das Gehör oder die Verständigung beeinträchtigt"},
                    {"Schwingungen:", "Vibrationen von Maschinen, Fahrzeugen oder Werkzeugen"},
                    {"Schutzkleidung:", "Atemschutz, Schutzanzüge, schwere Schutzausrüstung"},
                };
                for (int i = 0; i < 4; ++i) {
                    prompt(g, factors[i][0], 118, 140 + 14 * i, 80, 10);
                    prompt(g, factors[i][1], 200, 140 + 14 * i, 200, 10);
                }
                page.Add(std::move(g));
            }
            sheet.Add(std::move(page));
        }
        d.Add(std::move(sheet));
        if (request_ == REQUEST_DELETE)
            d.Add(Ctl::Prompt("Mit OK wird diese Belastungseinschätzung gelöscht.").Id(FM_LOESCHHINWEIS)
                      .Name("?Loeschhinweis").Font("Tahoma", 8, 700).At(8, 277, 280, 10));
        d.Add(Ctl::Button("OK").Id(FM_OK).Name("?OK").Default().At(292, 274, 56, 16));
        d.Add(Ctl::Button("Abbrechen").Id(FM_CANCEL).Name("?Abbrechen").At(356, 274, 56, 16));
        CreateWindow(d);
        OpenWindow();
        SetOkControl(FM_OK);
        SetCancelControl(FM_CANCEL);
        for (size_t s = 0; s < 3; ++s) {
            ItemTree& tree = *trees_[s];
            tree.Init(pages_[s].list, pages_[s].sheet);
            tree.AddRoot(kSeiten[s].root, "~mini_belastung.ico");
            for (const auto& [tab, item] : tree.tabItems)
                tree.AddTab(tab, "~unchecked.ico", false, 0, true);
            AddComponent(tree);
        }
        Refresh(true);
        return level;
    }

    int OnAccepted() override
    {
        const int c = EventAccepted();
        if (c == FM_BEGINN || c == FM_ENDE) {
            ControlUpdate(c);
            std::string& text = c == FM_BEGINN ? beginn_ : ende_;
            if (!Clip(text).empty()) {
                const bool end = c == FM_ENDE;
                text = FormatTimeOfDay(ParseTimeEntry(text, end), end);
                ControlDisplay(c);
            }
            return FwWindow::OnAccepted();
        }
        if (std::find(options_.begin(), options_.end(), c) != options_.end()) {
            ControlUpdate(c);
            Refresh();
            return LEVEL_BENIGN;
        }
        return FwWindow::OnAccepted();
    }

    int OnNewSelection() override
    {
        // The item sheet of the physical page decides between the scale and item 6's factors.
        if (EventControl() == pages_[0].sheet || EventControl() == FM_SHEET)
            Refresh();
        return LEVEL_BENIGN;
    }

    int OnWindowEvent() override
    {
        if (IsPassiveEventCode(EventCurrent()))
            Refresh();
        return FwWindow::OnWindowEvent();
    }

    int OnCompleted() override
    {
        if (request_ == REQUEST_VIEW) {
            Response = RESPONSE_CANCELLED;
            return LEVEL_FATAL;
        }
        uint8_t tage = 0;
        for (int i = 0; i < 7; ++i)
            if (tage_[static_cast<size_t>(i)])
                tage = static_cast<uint8_t>(tage | (1u << i));
        if (request_ != REQUEST_DELETE) {
            CBelastungseinschaetzung probe = record_;
            probe.EINSCHAETZUNG = ratings_;
            const BelastungCheck check = CheckBelastungseinschaetzung(probe, tage, beginn_, ende_);
            if (!check.text.empty()) {
                Warn(check.caption, check.text);
                if (check.field == BelastungCheck::MONDAY)
                    SelectOnFirstPage(FM_TAG1);
                else if (check.field == BelastungCheck::BEGINN)
                    SelectOnFirstPage(FM_BEGINN);
                else if (check.field == BelastungCheck::ENDE)
                    SelectOnFirstPage(FM_ENDE);
                return LEVEL_BENIGN;
            }
            record_.EINSCHAETZUNG = ratings_;
            record_.TAETIGKEIT = taetigkeit_;
            record_.WOCHENTAGE = tage;
            record_.TERMIN.BEGINN = ParseTimeEntryValue(beginn_);
            record_.TERMIN.ENDE = ParseTimeEntryValue(ende_, true);
        }
        return FwWindow::OnCompleted();
    }

    void Refresh(bool force = false) override
    {
        if (DeferRefresh(force))
            return;
        const bool item6 = PropertyGet(pages_[0].sheet, Prop::Selected).Int() == 6;
        for (int c : {FM_SKALA_GERING, FM_SKALA_MITTEL, FM_SKALA_HOCH})
            item6 ? ControlHide(c) : ControlUnhide(c);
        item6 ? ControlUnhide(FM_ITEM6_GROUP) : ControlHide(FM_ITEM6_GROUP);
        FwWindow::Refresh(force);
    }

private:
    void SelectOnFirstPage(int control)
    {
        PropertySet(FM_SHEET, Prop::Selected, 1);
        ControlSelect(control);
    }

    struct Page {
        int list = 0, sheet = 0;
    };
    CBelastungseinschaetzung& record_;
    uint8_t request_;
    std::array<int32_t, CBelastungseinschaetzung::kItems> ratings_{};
    std::string taetigkeit_, beginn_, ende_;
    std::array<int, 7> tage_{};
    std::array<Page, 3> pages_{};
    std::array<std::unique_ptr<ItemTree>, 3> trees_;
    std::vector<int> options_;
};

// ---- the browse --------------------------------------------------------------------------------

enum BrowseControl {
    B_SHEET = 1, B_TAB1, B_LIST = B_TAB1 + 7, B_EINFUEGEN, B_AENDERN, B_LOESCHEN, B_KONSTANTEN, B_IMPORT,
    B_EXPORT, B_OK, B_CANCEL,
};

constexpr const char* kBrowseFormat =
    "78L(2)~Tätigkeit~@s30@11L(100)|MJP@n3@27R(2)|M~Beginn~C(0)@S5@27R(2)|M~Ende~C(0)@S5@"
    "15L(100)|MJ~Mo~L(1)@n3@15L(100)|MJ~Di~L(1)@n3@15L(100)|MJ~Mi~L(1)@n3@15L(100)|MJ~Do~L(1)@n3@"
    "15L(100)|MJ~Fr~L(1)@n3@15L(100)|MJ~Sa~L(1)@n3@15L(100)|MJ~So~L(1)@n3@4R(100)|M@s1@";

class BrowseWindow : public FwWindow {
public:
    BrowseWindow(std::vector<CBelastungseinschaetzung> items)
        : FwWindow("BrowseBelastungseinschaetzungen"), request_(PendingRequest), items_(std::move(items)) {}

    int Setup() override
    {
        int level = FwWindow::Setup();
        WindowDesc d;
        d.name = "BrowseBelastungseinschaetzungen";
        d.title = "Belastungseinschätzung";
        d.icon = "mini_belastung.ico";
        d.w = 330;
        d.h = 220;
        d.resizable = true;
        ControlDesc sheet = Ctl::Sheet().Id(B_SHEET).At(4, 4, 322, 170);
        for (int i = 0; i < 7; ++i)
            sheet.Add(Ctl::Tab(kTage[i]).Id(B_TAB1 + i));
        d.Add(std::move(sheet));
        d.Add(Ctl::List(kBrowseFormat).Id(B_LIST).Name("?Liste").At(8, 22, 314, 148));
        auto button = [&](const char* text, int id, const char* tip, const char* msg, int x) {
            d.Add(Ctl::Button(text).Id(id).Tip(tip).Msg(msg).At(x, 180, 44, 14));
        };
        button("&Einfügen", B_EINFUEGEN, "Belastungseinschätzung einfügen", "neue Belastungseinschätzung einfügen", 4);
        button("&Ändern", B_AENDERN, "Belastungseinschätzung bearbeiten", "gewählte Belastungseinschätzung bearbeiten", 50);
        button("&Löschen", B_LOESCHEN, "Belastungseinschätzung entfernen", "gewählte Belastungseinschätzung entfernen", 96);
        d.Add(Ctl::Button("").Id(B_KONSTANTEN).Name("?Konstanten").Icon("mini_settings.ico").At(142, 180, 16, 14));
        button("&Import", B_IMPORT, "Belastungseinschätzungen aus EBA-Datei laden", "", 162);
        button("&Export", B_EXPORT, "Belastungseinschätzungen in EBA-Datei speichern", "", 208);
        d.Add(Ctl::Button("&OK").Id(B_OK).Name("?OK").Default().At(220, 200, 50, 14));
        d.Add(Ctl::Button("Abbrechen").Id(B_CANCEL).Name("?Abbrechen").At(274, 200, 50, 14));
        CreateWindow(d);
        OpenWindow();
        SetCancelControl(B_CANCEL);
        const char* icons[4] = {"~checked.ico", "~crossed.ico", "~exclamation.ico", "~unchecked.ico"};
        for (int i = 0; i < 4; ++i)
            PropertySet(B_LIST, Prop::IconList, icons[i], i + 1);
        format_ = ListFormat::Parse(kBrowseFormat);
        ListSetSource(B_LIST, std::make_shared<FunctionListSource>(
                                  [this] { return static_cast<int64_t>(shown_.size()); },
                                  [this](int64_t row, int field) { return Field(row, field); }));
        Refresh(true);
        return level;
    }

    int OnAccepted() override
    {
        switch (EventAccepted()) {
        case B_OK:
            Response = RESPONSE_COMPLETED;
            return LEVEL_FATAL;
        case B_EINFUEGEN:
        case B_AENDERN:
        case B_LOESCHEN:
            if (request_ != REQUEST_VIEW)
                Edit(EventAccepted() == B_EINFUEGEN ? REQUEST_INSERT
                     : EventAccepted() == B_AENDERN ? REQUEST_CHANGE : REQUEST_DELETE);
            return LEVEL_BENIGN;
        case B_KONSTANTEN:
            BearbeiteEBAKonstanten();
            Refresh(true);
            return LEVEL_BENIGN;
        case B_IMPORT:
            Import();
            return LEVEL_BENIGN;
        case B_EXPORT:
            Export();
            return LEVEL_BENIGN;
        default:
            return FwWindow::OnAccepted();
        }
    }

    int OnNewSelection() override
    {
        if (EventControl() == B_SHEET)
            Refresh(true);
        return LEVEL_BENIGN;
    }

    int OnWindowEvent() override
    {
        if (IsPassiveEventCode(EventCurrent()))
            Refresh();
        return FwWindow::OnWindowEvent();
    }

    void Refresh(bool force = false) override
    {
        if (DeferRefresh(force))
            return;
        const int64_t tab = std::max<int64_t>(1, PropertyGet(B_SHEET, Prop::Selected).Int());
        const uint8_t bit = static_cast<uint8_t>(1u << (tab - 1));
        shown_.clear();
        for (size_t i = 0; i < items_.size(); ++i)
            if (items_[i].WOCHENTAGE & bit)
                shown_.push_back(i);
        int64_t sel = PropertyGet(B_LIST, Prop::Selected).Int();
        if (sel > static_cast<int64_t>(shown_.size()))
            sel = static_cast<int64_t>(shown_.size());
        if (sel < 1 && !shown_.empty())
            sel = 1;
        PropertySet(B_LIST, Prop::Selected, sel);
        ControlSetEnabled(B_AENDERN, !shown_.empty());
        ControlSetEnabled(B_LOESCHEN, !shown_.empty());
        ControlSetEnabled(B_EXPORT, !items_.empty());
        FwWindow::Refresh(force);
        ControlDisplay(B_LIST);
    }

private:
    std::string Field(int64_t row, int field) const
    {
        if (row < 1 || row > static_cast<int64_t>(shown_.size()))
            return {};
        const CBelastungseinschaetzung& a = items_[shown_[static_cast<size_t>(row - 1)]];
        const int column = format_.ColumnOfField(field);
        if (column < 1)
            return {};
        const int offset = field - format_.columns[static_cast<size_t>(column - 1)].firstField;
        switch (column) {
        case 1: return a.TAETIGKEIT;
        case 2:
            if (offset == 1)
                return BelastungVollstaendig(a) ? "1" : "2";
            if (offset == 2)
                return BelastungVollstaendig(a) ? "Belastungseinschätzung"
                                                : "Für diesen Zeitraum wurden nicht alle Belastungsmerkmale (Items) eingeschätzt.";
            return {};
        case 3: return FormatTimeOfDay(a.TERMIN.BEGINN);
        case 4: return FormatTimeOfDay(a.TERMIN.ENDE, true);
        default:
            if (column >= 5 && column <= 11 && offset == 1)
                return (a.WOCHENTAGE >> (column - 5)) & 1 ? "1" : "4";
            return {};
        }
    }

    // The records into TMPBEL; false when the file could not be written (the user was told).
    bool Store(const std::vector<CBelastungseinschaetzung>& items)
    {
        CBelastungseinschaetzungen list;
        for (const auto& a : items)
            list.Add(a);
        if (!Access::TMPBEL)
            return false;
        if (list.WriteToFile(*Access::TMPBEL) == 0)
            return true;
        WriteFailed(Access::TMPBEL->GetName());
        return false;
    }

    static uint8_t Overlaps(const std::vector<CBelastungseinschaetzung>& items)
    {
        CBelastungseinschaetzungen list;
        for (const auto& a : items)
            list.Add(a);
        return list.CheckOverlaps(false);
    }

    void Edit(uint8_t request)
    {
        if (!Access::TMPBEL)
            return;
        const int64_t tab = std::max<int64_t>(1, PropertyGet(B_SHEET, Prop::Selected).Int());
        const int64_t row = PropertyGet(B_LIST, Prop::Selected).Int();
        size_t index = items_.size();
        CBelastungseinschaetzung record;
        if (request == REQUEST_INSERT) {
            Access::TMPBEL->PrimeRecord();
            record.FromRecord(TMPBEL);
            record.WOCHENTAGE = static_cast<uint8_t>(1u << (tab - 1));
        } else {
            if (row < 1 || row > static_cast<int64_t>(shown_.size()))
                return;
            index = shown_[static_cast<size_t>(row - 1)];
            record = items_[index];
        }
        const std::vector<CBelastungseinschaetzung> snapshot = items_;
        PendingRequest = request;
        int answer = UpdateBelastungseinschaetzung(record);
        while (answer == RESPONSE_COMPLETED) {
            std::vector<CBelastungseinschaetzung> next = snapshot;
            if (request == REQUEST_DELETE)
                next.erase(next.begin() + static_cast<std::ptrdiff_t>(index));
            else if (request == REQUEST_INSERT)
                next.push_back(record);
            else
                next[index] = record;
            std::stable_sort(next.begin(), next.end(), [](const auto& a, const auto& b) {
                return a.TERMIN.BEGINN < b.TERMIN.BEGINN;
            });
            if (request == REQUEST_DELETE || Overlaps(next) == 0) {
                if (Store(next))
                    items_ = std::move(next);
                else
                    answer = RESPONSE_CANCELLED;   // the file keeps what it had
                break;
            }
            // The assessment collides: the user corrects it or gives it up.
            PendingRequest = REQUEST_CHANGE;
            answer = UpdateBelastungseinschaetzung(record);
        }
        // TMPBEL is written only above, so a cancelled form has left it as it was.
        LastResponse = static_cast<uint8_t>(answer);
        Refresh(true);
    }

    void Import()
    {
        if (!items_.empty()) {
            MessageRequest m;
            m.caption = "EBA Datei importieren?";
            m.text = "Beim Import einer EBA-Datei werden die aktuellen Belastungseinschätzungen überschrieben.||"
                     "EBA-Datei dennoch importieren?";
            m.icon = MessageIcon::Asterisk;
            m.buttonBits = BUTTON_YES | BUTTON_NO;
            m.defaultButton = BUTTON_NO;
            if (MessageShow(m) != BUTTON_YES)
                return;
        }
        std::string name;
        if (!FileDialog("EBA-Datei importieren", name, kEbaFilter, FILE_LONG_NAMES))
            name.clear();   // the import takes an empty name as cancelled
        CBelastungseinschaetzungen work;
        if (work.ImportEba(name) != 0)   // cancelled, or refused after its warning
            return;
        std::vector<CBelastungseinschaetzung> next;
        for (size_t i = 1; i <= work.Count(); ++i)
            next.push_back(*work.Get(i));
        if (Store(next))
            items_ = std::move(next);
        Refresh(true);
    }

    void Export()
    {
        if (items_.empty())
            return;
        std::string name;
        if (!FileDialog("EBA-Exportdatei speichern", name, kEbaFilter, FILE_SAVE | FILE_LONG_NAMES))
            return;
        CBelastungseinschaetzungen work;
        for (const auto& a : items_)
            work.Add(a);
        work.ExportEba(name);   // a failure has been shown
    }

    uint8_t request_;
    std::vector<CBelastungseinschaetzung> items_;
    std::vector<size_t> shown_;
    ListFormat format_;
};

// ---- the constants of eba.cfg -----------------------------------------------------------------

enum KonstantenControl { K_SHEET = 1, K_OK = 5000, K_CANCEL };   // the entries lie between

struct EbaWerte {
    std::array<std::array<double, 15>, 9> gewichtung{};
    double mulCircadyan = 0, mulPsyso = 0;
    std::array<double, 24> fakCircadyan{}, fakPsyso{};
    std::array<double, 7> sonstiges{};
};

const char* const kSonstiges[7][2] = {
    {"MAX_BELA", "Grenzwert für Belastungskumulation:"},
    {"DIV_BELA_KUM_1", "Teiler für Belastungswert (letzte Stunde):"},
    {"DIV_BELA_KUM_2", "Teiler für Belastungswert (vorletzte Stunde):"},
    {"MUL_AZZ8", "Zuschlagsfaktor Arbeitszeit > 8 Stunden:"},
    {"MUL_AZZ10", "Zuschlagsfaktor Arbeitszeit > 10 Stunden:"},
    {"MUL_AZZ12", "Zuschlagsfaktor Arbeitszeit > 12 Stunden:"},
    {"BELA_GRENZE", "Grenze für Belastungswert \"Schicht o.k.\""},
};

class KonstantenWindow : public FwWindow {
public:
    KonstantenWindow() : FwWindow("UpdateEBAEinstellungen")
    {
        for (int v = 1; v <= 9; ++v)
            for (int n = 1; n <= 15; ++n)
                w_.gewichtung[size_t(v - 1)][size_t(n - 1)] = EBA.GetReal("GEWICHTUNG_" + std::to_string(v), n);
        w_.mulCircadyan = EBA.GetReal("MUL_CIRCADYAN");
        w_.mulPsyso = EBA.GetReal("MUL_PSYSO");
        for (int h = 1; h <= 24; ++h) {
            w_.fakCircadyan[size_t(h - 1)] = EBA.GetReal("FAK_CIRCADYAN", h);
            w_.fakPsyso[size_t(h - 1)] = EBA.GetReal("FAK_PSYSO", h);
        }
        for (size_t i = 0; i < 7; ++i)
            w_.sonstiges[i] = EBA.GetReal(kSonstiges[i][0]);
    }

    int Setup() override
    {
        int level = FwWindow::Setup();
        WindowDesc d;
        d.name = "UpdateEBAEinstellungen";
        d.title = "EBA Konstanten definieren";
        d.icon = "mini_settings.ico";
        d.w = 520;
        d.h = 330;
        const std::string pic = "@n-10`2";
        auto entry = [&](double& v) { return Ctl::Entry(pic).Use(UseVar(v)); };

        ControlDesc gew = Ctl::Tab("Gewichtungen für EBA-Werte");
        // The grid within its page: a column per calculation value under its number, a row per
        // count after its number.
        const auto column = [](int v) { return 70 + 48 * (v - 1); };
        const auto row = [](int n) { return 50 + 16 * (n - 1); };
        gew.Add(Ctl::Prompt("EBA-Rechenwert").At(column(1), 26, 150, 10))
            .Add(Ctl::Prompt("Anzahl Vorkommen").At(8, 26, 58, 22));
        for (int v = 1; v <= 9; ++v)
            gew.Add(Ctl::Prompt(std::to_string(v)).At(column(v), 38, 46, 10));
        for (int n = 1; n <= 15; ++n) {
            gew.Add(Ctl::Prompt(std::to_string(n)).At(40, row(n) + 1, 20, 10));
            for (int v = 1; v <= 9; ++v)
                gew.Add(entry(w_.gewichtung[size_t(v - 1)][size_t(n - 1)])
                            .Name("?G" + std::to_string(v) + "_" + std::to_string(n)).At(column(v), row(n), 46, 12));
        }

        ControlDesc tz = Ctl::Tab("tageszeitabhängige Effekte");
        auto block = [&](const char* title, double& mul, std::array<double, 24>& fak, int x, const std::string& key) {
            tz.Add(Ctl::Prompt(title).At(x, 24, 120, 10))
                .Add(Ctl::Prompt("Multiplikator:").At(x, 38, 60, 10))
                .Add(entry(mul).Name("?" + key + "_MUL").At(x + 70, 38, 46, 12))
                .Add(Ctl::Prompt("A.M.").At(x, 56, 60, 10))
                .Add(Ctl::Prompt("P.M.").At(x + 120, 56, 60, 10));
            for (int h = 0; h < 24; ++h) {
                const int from = h % 12;
                char range[16];
                std::snprintf(range, sizeof range, "%02d:00-%02d:00", from, from + 1);
                const int cx = x + (h < 12 ? 0 : 120), cy = 70 + 16 * from;
                tz.Add(Ctl::Prompt(range).At(cx, cy, 60, 10))
                    .Add(entry(fak[size_t(h)]).Name("?" + key + std::to_string(h + 1)).At(cx + 62, cy, 46, 12));
            }
        };
        block("Circadian-Effekt:", w_.mulCircadyan, w_.fakCircadyan, 10, "C");
        block("Psychosozialer Effekt:", w_.mulPsyso, w_.fakPsyso, 260, "P");

        ControlDesc so = Ctl::Tab("Kumulationseffekt / sonstiges");
        for (size_t i = 0; i < 7; ++i)
            so.Add(Ctl::Prompt(kSonstiges[i][1]).At(10, 30 + 16 * int(i), 220, 10))
                .Add(entry(w_.sonstiges[i]).Name(std::string("?") + kSonstiges[i][0]).At(240, 30 + 16 * int(i), 56, 12));

        d.Add(Ctl::Sheet().Id(K_SHEET).At(4, 4, 512, 300).Add(std::move(gew)).Add(std::move(tz)).Add(std::move(so)));
        d.Add(Ctl::Button("OK").Id(K_OK).Name("?OK").Default().At(398, 310, 56, 16));
        d.Add(Ctl::Button("Abbrechen").Id(K_CANCEL).Name("?Abbrechen").At(460, 310, 56, 16));
        CreateWindow(d);
        OpenWindow();
        SetOkControl(K_OK);
        SetCancelControl(K_CANCEL);
        return level;
    }

    int OnCompleted() override
    {
        for (int v = 1; v <= 9; ++v)
            for (int n = 1; n <= 15; ++n)
                EBA.SetReal("GEWICHTUNG_" + std::to_string(v), w_.gewichtung[size_t(v - 1)][size_t(n - 1)], n);
        EBA.SetReal("MUL_CIRCADYAN", w_.mulCircadyan);
        EBA.SetReal("MUL_PSYSO", w_.mulPsyso);
        for (int h = 1; h <= 24; ++h) {
            EBA.SetReal("FAK_CIRCADYAN", w_.fakCircadyan[size_t(h - 1)], h);
            EBA.SetReal("FAK_PSYSO", w_.fakPsyso[size_t(h - 1)], h);
        }
        for (size_t i = 0; i < 7; ++i)
            EBA.SetReal(kSonstiges[i][0], w_.sonstiges[i]);
        if (Access::EBA->Update() != 0)
            return LEVEL_BENIGN;   // told by the access object; the form stays open
        return FwWindow::OnCompleted();
    }

private:
    EbaWerte w_;
};

// ---- hourly figures and the notice ------------------------------------------------------------

class RechenwerteWindow : public FwWindow {
public:
    explicit RechenwerteWindow(const EBA_RECHENWERTE& werte) : FwWindow("ViewEbaDaten"), werte_(werte) {}

    int Setup() override
    {
        int level = FwWindow::Setup();
        WindowDesc d;
        d.name = "ViewEbaDaten";
        d.title = "EBA Rechenwerte";
        d.resizable = true;
        // Columns wide enough for their titles.
        d.w = 480;
        d.h = 320;
        d.Add(Ctl::List("94R(2)|M~Stunde der Arbeitszeit:~@s5@100R(2)|M~Summe bewertete Anzahl:~@s20@"
                        "50R(2)|M~EBA-Index~@s20@118R(2)|M~Zwischenwert für Kumulation:~@s20@"
                        "92R(2)|M~Gesamtwert Stunde:~@s20@")
                  .Id(1).Name("?Werte").At(4, 4, 472, 290));
        d.Add(Ctl::Button("Schließen").Id(2).Name("?Schliessen").Default().At(416, 300, 60, 16));
        CreateWindow(d);
        OpenWindow();
        SetCancelControl(2);
        const EBA_RECHENWERTE w = werte_;
        ListSetSource(1, std::make_shared<FunctionListSource>(
                             [] { return int64_t(24); },
                             [w](int64_t row, int field) -> std::string {
                                 if (row < 1 || row > 24)
                                     return {};
                                 const size_t h = size_t(row - 1);
                                 switch (field) {
                                 case 1: return std::to_string(row);
                                 case 2: return Komma2(w.ANZRWG[h]);
                                 case 3: return Komma2(w.EBA_IDX[h]);
                                 case 4: return Komma2(w.BELA_STD[h]);
                                 case 5: return Komma2(w.BELA_SUM[h]);
                                 default: return {};
                                 }
                             }));
        openHeight_ = static_cast<int>(PropertyGet(0, Prop::Height).Int());
        return level;
    }

    // Wider up to 600 units, never taller than it opened.
    int OnWindowEvent() override
    {
        if (EventCurrent() == EVENT_SIZED) {
            if (PropertyGet(0, Prop::Width).Int() > 600)
                PropertySet(0, Prop::Width, 600);
            if (PropertyGet(0, Prop::Height).Int() > openHeight_)
                PropertySet(0, Prop::Height, openHeight_);
        }
        return FwWindow::OnWindowEvent();
    }

private:
    EBA_RECHENWERTE werte_;
    int openHeight_ = 0;
};

class HinweisWindow : public FwWindow {
public:
    HinweisWindow() : FwWindow("EBAHinweis") {}

    int Setup() override
    {
        int level = FwWindow::Setup();
        WindowDesc d;
        d.name = "EBAHinweis";
        d.title = "Hinweis zur EBA Einschätzung";
        d.icon = "~exclamation.ico";
        d.w = 330;
        d.h = 200;
        d.Add(Ctl::Image("~exclamation.ico").At(8, 8, 24, 24));
        d.Add(Ctl::Prompt("Bitte beachten Sie:").Font("Tahoma", 9, 700).At(40, 8, 280, 12));
        for (int i = 0; i < 4; ++i)
            d.Add(Ctl::Prompt(kHinweis[i]).At(40, 24 + 36 * i, 280, 32));
        d.Add(Ctl::Button("OK").Id(20).Name("?OK").Default().At(268, 176, 56, 16));
        CreateWindow(d);
        OpenWindow();
        SetCancelControl(20);
        return level;
    }
};

} // namespace

bool BelastungVollstaendig(const CBelastungseinschaetzung& record)
{
    for (int n = 1; n <= CBelastungseinschaetzung::kItems; ++n)
        if (CBelastungseinschaetzung::IsRatedItem(n) && record.Item(n) <= 0)
            return false;
    return true;
}

BelastungCheck CheckBelastungseinschaetzung(const CBelastungseinschaetzung& record, uint8_t wochentage,
                                            const std::string& beginText, const std::string& endText)
{
    BelastungCheck c;
    const bool rated = std::any_of(record.EINSCHAETZUNG.begin(), record.EINSCHAETZUNG.end(), [](int32_t v) { return v != 0; });
    const std::string begin = Clip(beginText), end = Clip(endText);
    if (!rated) {
        c = {"Bitte Belastungswerte eintragen", "Sie haben keine Belastungseinschätzung vorgenommen", BelastungCheck::NONE};
    } else if ((wochentage & 127) == 0) {
        c = {"Bitte Wochentage wählen", "Bitte geben Sie an, für welche(n) Tag(e) diese Belastungseinschätzung gilt.",
             BelastungCheck::MONDAY};
    } else if (begin.empty()) {
        c = {"Bitte Beginn der Tätigkeit angeben",
             "Bitte geben Sie an, um welche Uhrzeit diese Belastungseinschätzung beginnt (Beginn der Tätigkeit)",
             BelastungCheck::BEGINN};
    } else if (end.empty()) {
        c = {"Bitte Ende der Tätigkeit angeben",
             "Bitte geben Sie an, um welche Uhrzeit diese Belastungseinschätzung endet (Ende der Tätigkeit)",
             BelastungCheck::ENDE};
    } else if (!(begin < end)) {
        c = {"Anfang und Ende bitte in chronologischer Reihenfolge angeben",
             "Der Beginn der Tätigkeit muss vor dem Ende der Tätigkeit liegen. Eingaben über den Tageswechsel "
             "hinaus sind nicht erlaubt.",
             BelastungCheck::BEGINN};
    }
    return c;
}

int BrowseBelastungseinschaetzungen()
{
    // A file that cannot be read is not shown as empty: the first edit would overwrite it.
    CBelastungseinschaetzungen list;
    if (!Access::TMPBEL || list.ReadFromFile(*Access::TMPBEL, true) != 0) {
        ReadFailed(Access::TMPBEL ? Access::TMPBEL->GetName() : std::string());
        LastResponse = RESPONSE_CANCELLED;
        return RESPONSE_CANCELLED;
    }
    std::vector<CBelastungseinschaetzung> items;
    for (size_t i = 1; i <= list.Count(); ++i)
        items.push_back(*list.Get(i));
    BrowseWindow w(std::move(items));
    const int answer = w.RunWindow();
    LastResponse = static_cast<uint8_t>(answer);
    return answer;
}

int UpdateBelastungseinschaetzung(CBelastungseinschaetzung& record)
{
    const uint8_t request = PendingRequest;
    BelastungFormWindow w(record, request);
    int answer = w.RunWindow();
    if (request == REQUEST_VIEW)
        answer = RESPONSE_CANCELLED;
    LastResponse = static_cast<uint8_t>(answer);
    return answer;
}

int UpdateEBAEinstellungen()
{
    KonstantenWindow w;
    const int answer = w.RunWindow();
    LastResponse = static_cast<uint8_t>(answer);
    return answer;
}

int BearbeiteEBAKonstanten()
{
    FwFileManager* access = Access::EBA;
    if (!access || access->Open() != 0)
        return RESPONSE_CANCELLED;
    if (FileRecords(EBA) == 0) {
        // No record yet: one with every constant 0.
        EBA.Clear();
        if (access->Insert() != 0) {
            access->Close();
            return RESPONSE_CANCELLED;
        }
    }
    FileSet(EBA);
    if (access->Next() != 0) {
        access->Close();
        return RESPONSE_CANCELLED;
    }
    PendingRequest = REQUEST_CHANGE;
    const int answer = UpdateEBAEinstellungen();
    access->Close();
    return answer;
}

void ViewEbaDaten(const EBA_RECHENWERTE& werte)
{
    RechenwerteWindow w(werte);
    w.RunWindow();
}

void EBAHinweis()
{
    HinweisWindow w;
    w.RunWindow();
}

std::function<int()> BelastungsdateiBearbeiten()
{
    return [] {
        CBelastungseinschaetzungen before;
        if (!Access::TMPBEL || before.ReadFromFile(*Access::TMPBEL, true) != 0) {
            ReadFailed(Access::TMPBEL ? Access::TMPBEL->GetName() : std::string());
            LastResponse = RESPONSE_CANCELLED;
            return int(RESPONSE_CANCELLED);
        }
        PendingRequest = REQUEST_CHANGE;
        const int answer = BrowseBelastungseinschaetzungen();
        if (answer != RESPONSE_COMPLETED && before.WriteToFile(*Access::TMPBEL) != 0)
            WriteFailed(Access::TMPBEL->GetName());
        return answer;
    };
}

void InstallBelastungDialoge()
{
    CBelastungseinschaetzungen::SetBrowseProcedure([] {
        PendingRequest = REQUEST_CHANGE;
        return BrowseBelastungseinschaetzungen();
    });
    SetEbaHinweisProcedure([] { EBAHinweis(); });
    SetEbaRechenwerteProcedure([](const EBA_RECHENWERTE& w) { ViewEbaDaten(w); });
}
