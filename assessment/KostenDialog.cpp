#include "assessment/KostenDialog.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <vector>

#include "assessment/ExchangeFile.h"
#include "assessment/Kosten.h"
#include "core/Files.h"
#include "core/Frame.h"
#include "core/ShellAndEvents.h"
#include "core/TimeHelpers.h"
#include "platform/fw/FwFileManager.h"
#include "platform/fw/FwWindow.h"
#include "platform/records/FileError.h"
#include "platform/records/RecordFile.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/MessageShow.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"

namespace {

constexpr int kRequestView = 6;
constexpr int32_t kMidnight = 1;   // the clock value of 00:00
constexpr const char* kFilter = "Varn 4 Ökonomie-Datei |*.eco";
constexpr const char* kKind = "Ökonomie-Datei";

std::string F(std::string_view prefix, const char* field) { return std::string(prefix) + field; }

bool Given(const RecordBuffer& k, std::string_view prefix, const char* field) { return k.GetReal(F(prefix, field)) != 0; }

// Overtime and weekly hours: a band with a begin past its end is one hour long, and band (2)
// begins where (1) ends.
void BandRules(RecordBuffer& k, std::string_view p) {
    const double von1 = k.GetReal(F(p, "1VON"));
    double bis1 = k.GetReal(F(p, "1BIS"));
    if (von1 > 0 && von1 > bis1) {
        bis1 = von1 + 1;
        k.SetReal(F(p, "1BIS"), bis1);
    }
    k.SetReal(F(p, "2VON"), bis1);
    const double bis2 = k.GetReal(F(p, "2BIS"));
    if (bis2 > 0 && bis1 > bis2) k.SetReal(F(p, "2BIS"), bis1 + 1);
}

} // namespace

// ---- form rules --------------------------------------------------------------------------------

bool KostenProzentEnabled(const RecordBuffer& k, std::string_view prefix) {
    return Given(k, prefix, "PROZENT") || !Given(k, prefix, "BETRAG");
}

bool KostenBetragEnabled(const RecordBuffer& k, std::string_view prefix) {
    return Given(k, prefix, "BETRAG") || !Given(k, prefix, "PROZENT");
}

void KostenRefreshRules(RecordBuffer& k) {
    // An end of 00:00 is midnight, after every begin.
    const int32_t von1 = static_cast<int32_t>(k.GetInt("ZSA1VON"));
    int32_t bis1 = static_cast<int32_t>(k.GetInt("ZSA1BIS"));
    if (von1 != 0 && bis1 > kMidnight && bis1 < von1) {
        bis1 = von1;
        k.SetInt("ZSA1BIS", bis1);
    }
    k.SetInt("ZSA2VON", bis1);
    const int32_t bis2 = static_cast<int32_t>(k.GetInt("ZSA2BIS"));
    if (bis2 > kMidnight && bis2 < bis1) k.SetInt("ZSA2BIS", bis1);
    BandRules(k, "UEBZ");
    BandRules(k, "WAZ");
}

void KostenFieldRules(RecordBuffer& k, std::string_view field, double before) {
    if (before == 0) return;
    if (field == "ZSA1BIS") {
        if (k.GetInt("ZSA1BIS") == 0) k.SetInt("ZSA1VON", 0);
        return;
    }
    for (const char* p : {"UEBZ1", "WAZ1"}) {
        const std::string von = F(p, "VON"), bis = F(p, "BIS");
        if (field == von && k.GetReal(von) == 0) k.SetReal(bis, 0);
        if (field == bis && k.GetReal(bis) == 0) k.SetReal(von, 0);
    }
}

bool KostenRangesOverlap(int32_t von1, int32_t bis1, int32_t von2, int32_t bis2) {
    if (von1 == 0 || bis1 == 0 || von2 == 0 || bis2 == 0) return false;
    auto range = [](int32_t von, int32_t bis) {
        TERMIN t;
        t.BEGINN = TimeToMinutesLong(von);
        t.ENDE = TimeToMinutesLong(bis) + (bis <= von ? kMinutesPerDay : 0);
        return t;
    };
    return IntervalOverlap(range(von1, bis1), range(von2, bis2)) > 1;
}

KostenCheckResult CheckKosten(const RecordBuffer& k) {
    struct Pair {
        const char* a;
        const char* b;
        const char* text;
    };
    static const Pair pairs[] = {
        {"TZ1", "TZ2", "Die Arbeitszeitdefinitionen der tageszeitabhängigen Zuschläge (1) und (2) überschneiden sich."},
        {"TZ1", "TZ3", "Die Arbeitszeitdefinitionen der tageszeitabhängigen Zuschläge (1) und (3) überschneiden sich."},
        {"TZ2", "TZ3", "Die Arbeitszeitdefinitionen der tageszeitabhängigen Zuschläge (2) und (3) überschneiden sich."},
        {"ZSA1", "ZSA2", "Die Arbeitszeitdefinitionen der Zuschläge für Samstagsarbeit (1) und (2) überschneiden sich."},
        {"SOZ1", "SOZ2", "Die Arbeitszeitdefinitionen der sonstigen Zuschläge (1) und (2) überschneiden sich."},
    };
    KostenCheckResult result;
    auto clock = [&k](const char* p, const char* f) { return static_cast<int32_t>(k.GetInt(F(p, f))); };
    for (const Pair& pair : pairs)
        if (KostenRangesOverlap(clock(pair.a, "VON"), clock(pair.a, "BIS"), clock(pair.b, "VON"), clock(pair.b, "BIS")))
            result = {pair.text, F(pair.a, "VON")};
    for (const char* p : {"BD", "BDWE", "RB", "RBWE"})
        if ((Given(k, p, "PROZENT") || Given(k, p, "BETRAG")) && !Given(k, p, "ANRECHENBAREAZ"))
            result = {"Eine anrechenbare Arbeitszeit von 0% ist nicht zulässig.", F(p, "ANRECHENBAREAZ")};
    return result;
}

void KostenFinishRanges(RecordBuffer& k) {
    for (const char* p : {"UEBZ", "WAZ"}) {
        if (k.GetReal(F(p, "2BIS")) == 0) {
            k.SetReal(F(p, "2VON"), 0);
            k.SetReal(F(p, "2BIS"), 0);
        } else {
            k.SetReal(F(p, "2VON"), k.GetReal(F(p, "1BIS")));
        }
    }
}

double LohnrechnerStundenlohn(double brutto, double monatsstunden) {
    return brutto > 0 && monatsstunden > 0 ? brutto / monatsstunden : 0;
}

// ---- windows -----------------------------------------------------------------------------------

namespace {


std::string RealText(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.10g", v);
    return buf;
}

// A control bound to a REAL, LONG, BYTE or STRING field of TMPKOST's buffer: the buffer always
// holds what the form shows.
enum class FieldKind { Real, Long, Byte, String };

UseVar Bind(const std::string& field, FieldKind kind) {
    RecordFile& k = TMPKOST;
    switch (kind) {
    case FieldKind::Real:
        return UseVar([&k, field] { return PropValue(RealText(k.GetReal(field))); },
                      [&k, field](const PropValue& v) {
                          const double before = k.GetReal(field);
                          k.SetReal(field, std::strtod(v.Str().c_str(), nullptr));
                          KostenFieldRules(k, field, before);
                      },
                      true);
    case FieldKind::Long:
        return UseVar([&k, field] { return PropValue(static_cast<long long>(k.GetInt(field))); },
                      [&k, field](const PropValue& v) {
                          const double before = static_cast<double>(k.GetInt(field));
                          k.SetInt(field, v.Int());
                          KostenFieldRules(k, field, before);
                      },
                      true);
    case FieldKind::Byte:
        return UseVar([&k, field] { return PropValue(static_cast<long long>(k.GetInt(field))); },
                      [&k, field](const PropValue& v) { k.SetInt(field, v.Int() != 0 ? 1 : 0); }, true);
    case FieldKind::String:
        break;
    }
    return UseVar([&k, field] { return PropValue(k.GetString(field)); },
                  [&k, field](const PropValue& v) { k.SetString(field, v.Str()); }, false);
}

// How an item's group ends: nothing, a clock range, an hours range per day or per week, or the
// creditable share of an on-call duty.
enum class Extra { None, Clock, HoursDay, HoursWeek, Creditable };

constexpr const char* kPercent = "@N4~%~";
constexpr const char* kAmount = "@N9`2";
constexpr const char* kHours = "@N6`2";
constexpr const char* kClock = "@T7B";

class KostenWindow : public FwWindow {
public:
    KostenWindow() : FwWindow("UpdateKosten"), view_(PendingRequest == kRequestView) {}

    int Setup() override {
        const int level = FwWindow::Setup();
        WindowDesc d;
        d.name = "UpdateKosten";
        d.title = "Einstellungen: Grundvergütung, Zuschläge, Zulagen, Dienste";
        d.icon = "mini_oeko.ico";
        d.fontName = "Tahoma";
        d.w = 620;
        d.h = 286;
        for (int key : {Key::TAB, Key::SHIFT_TAB, Key::ENTER, Key::SHIFT_ENTER, Key::MOUSE_LEFT})
            d.alertKeys.push_back(key);

        ControlDesc sheet = Ctl::Sheet().Id(Next()).At(4, 4, 612, 252);

        ControlDesc basis = Tab("&Grundvergütung");
        basis.Add(Ctl::Prompt("durchschn. &Stundenlohn:").Id(Next()).At(12, 32, 100, 10));
        basis.Add(Field("STUNDENLOHN", FieldKind::Real, kAmount, "?STUNDENLOHN")
                      .Tip("durchschnittlicher Stundenlohn über alle Arbeitskräfte dieses Arbeitszeitblatts")
                      .At(114, 32, 56, 10));
        basis.Add(Ctl::String("/Std").Id(Next()).At(174, 32, 24, 10));
        lohnrechner_ = Next();
        basis.Add(Ctl::Button("&Lohnrechner").Id(lohnrechner_).Name("?Lohnrechner").Icon("calculator.ico")
                      .Tip("durchschnittlichen Stundenlohn berechnen").At(210, 29, 76, 16));
        sheet.Add(std::move(basis));

        ControlDesc zuschlaege1 = Tab("&Zuschläge (1)");
        Item(zuschlaege1, "tageszeitabhängige Zuschläge (1)", "TZ1", Extra::Clock, 8, 26);
        Item(zuschlaege1, "tageszeitabhängige Zuschläge (2)", "TZ2", Extra::Clock, 8, 84);
        Item(zuschlaege1, "tageszeitabhängige Zuschläge (3)", "TZ3", Extra::Clock, 8, 142);
        Item(zuschlaege1, "Zuschläge für Samstagsarbeit (1)", "ZSA1", Extra::Clock, 314, 26);
        Item(zuschlaege1, "Zuschläge für Samstagsarbeit (2)", "ZSA2", Extra::Clock, 314, 84);
        Item(zuschlaege1, "Zuschläge für Sonntagsarbeit", "ZSO", Extra::None, 314, 142);
        zuschlaege1.Add(Ctl::Check(" Samstagszuschläge mit Überlauf berechnen").Id(Next())
                            .Name("?SAMSTAGSZUSCHLAGUEBERLAUF")
                            .Tip("Arbeitszeiten über Samstag 24:00 Uhr hinaus werden mit dem Zuschlag für "
                                 "Samstagsarbeit vergütet")
                            .Use(Bind("SAMSTAGSZUSCHLAGUEBERLAUF", FieldKind::Byte)).At(320, 188, 260, 10));
        sheet.Add(std::move(zuschlaege1));

        ControlDesc zuschlaege2 = Tab("&Zuschläge (2)");
        Item(zuschlaege2, "Überstunden-Zuschläge (1)", "UEBZ1", Extra::HoursDay, 8, 26);
        Item(zuschlaege2, "Überstunden-Zuschläge (2)", "UEBZ2", Extra::HoursDay, 8, 84);
        Item(zuschlaege2, "sonstige Zuschläge (1)", "SOZ1", Extra::Clock, 8, 142);
        Item(zuschlaege2, "Wochenarbeitszeitabhängige Zuschläge (1)", "WAZ1", Extra::HoursWeek, 314, 26);
        Item(zuschlaege2, "Wochenarbeitszeitabhängige Zuschläge (2)", "WAZ2", Extra::HoursWeek, 314, 84);
        Item(zuschlaege2, "sonstige Zuschläge (2)", "SOZ2", Extra::Clock, 314, 142);
        sheet.Add(std::move(zuschlaege2));

        ControlDesc zulagen = Tab("Zu&lagen");
        Item(zulagen, "Zulage I", "LZ", Extra::None, 8, 26);
        Item(zulagen, "Zulage II", "SP", Extra::None, 8, 70);
        Item(zulagen, "Zulage III", "WS", Extra::None, 8, 114);
        Item(zulagen, "Zulage IV", "SZ1", Extra::None, 314, 26);
        Item(zulagen, "Zulage V", "SZ2", Extra::None, 314, 70);
        sheet.Add(std::move(zulagen));

        ControlDesc dienste = Tab("&Dienste");
        Item(dienste, "Bereitschaft Werktags", "BD", Extra::Creditable, 8, 26);
        Item(dienste, "Bereitschaft Wochenende", "BDWE", Extra::Creditable, 8, 84);
        Item(dienste, "Rufbereitschaft Werktags", "RB", Extra::Creditable, 314, 26);
        Item(dienste, "Rufbereitschaft Wochenende", "RBWE", Extra::Creditable, 314, 84);
        sheet.Add(std::move(dienste));
        d.Add(std::move(sheet));

        ok_ = Next();
        cancel_ = Next();
        import_ = Next();
        export_ = Next();
        d.Add(Ctl::Button("&OK").Id(ok_).Name("?OK").Default().At(494, 264, 56, 16));
        d.Add(Ctl::Button("Abbrechen").Id(cancel_).Name("?Abbrechen").At(556, 264, 56, 16));
        // Import writes the file under the form at once, which viewing must not do.
        d.Add(Ctl::Button("&Import").Id(import_).Name("?Import").Tip("Einstellungen aus Ökonomie-Datei laden")
                  .Disabled(view_).At(8, 264, 56, 16));
        d.Add(Ctl::Button("&Export").Id(export_).Name("?Export").Tip("Einstellungen in Ökonomie-Datei speichern")
                  .At(68, 264, 56, 16));
        CreateWindow(d);
        OpenWindow();
        SetOkControl(ok_);
        SetCancelControl(cancel_);
        if (view_) ControlDisable(ok_);
        Refresh();
        return level;
    }

    int OnAccepted() override {
        const int control = EventAccepted();
        if (control == lohnrechner_) {
            ControlUpdate();
            double lohn = TMPKOST.GetReal("STUNDENLOHN");
            Lohnrechner(lohn);
            TMPKOST.SetReal("STUNDENLOHN", lohn);
            Refresh();
            return LEVEL_BENIGN;
        }
        if (control == import_) {
            Import();
            return LEVEL_BENIGN;
        }
        if (control == export_) {
            Export();
            return LEVEL_BENIGN;
        }
        if (control != ok_ && control != cancel_ && !AcceptAllRunning()) Refresh();
        return FwWindow::OnAccepted();
    }

    int OnAlertKey() override {
        // A clock entry typed as "24:xx" means that time after midnight.
        const int focus = ControlFocus();
        if (clocks_.count(focus)) {
            const std::string text = PropertyGet(focus, Prop::ScreenText).Str();
            if (text.rfind("24", 0) == 0) {
                PropertySet(focus, Prop::ScreenText, "00" + text.substr(2));
                ControlUpdate(focus);
            }
        }
        return FwWindow::OnAlertKey();
    }

    int OnCompleted() override {
        if (view_) {
            Response = RESPONSE_CANCELLED;
            return LEVEL_FATAL;
        }
        const KostenCheckResult check = CheckKosten(TMPKOST);
        if (!check.text.empty()) {
            MessageRequest m;
            m.text = check.text;
            m.caption = "Eingaben überprüfen";
            m.icon = MessageIcon::Exclamation;
            m.buttonBits = BUTTON_OK;
            MessageShow(m);
            Select(check.field);
            return LEVEL_BENIGN;
        }
        KostenFinishRanges(TMPKOST);
        if (const int err = WriteBack()) {
            ShowFileProblem(true, Access::TMPKOST ? Access::TMPKOST->GetName() : std::string(), err, kKind);
            Refresh(true);
            return LEVEL_BENIGN;
        }
        return FwWindow::OnCompleted();
    }

    void Refresh(bool force = false) override {
        if (DeferRefresh(force)) return;
        KostenRefreshRules(TMPKOST);
        for (const auto& [prefix, ids] : rates_) {
            ControlSetEnabled(ids.first, KostenProzentEnabled(TMPKOST, prefix));
            ControlSetEnabled(ids.second, KostenBetragEnabled(TMPKOST, prefix));
        }
        FwWindow::Refresh(force);
    }

    int OnWindowEvent() override {
        if (IsPassiveEventCode(EventCurrent())) Refresh();
        return FwWindow::OnWindowEvent();
    }

private:
    int Next() { return ++next_; }

    ControlDesc Tab(const std::string& text) {
        tab_ = Next();
        return Ctl::Tab(text).Id(tab_);
    }

    // An entry bound to a field; the first entry of a field is the one a failed check selects.
    ControlDesc Field(const std::string& field, FieldKind kind, const std::string& picture, const std::string& name) {
        const int id = Next();
        if (!entries_.count(field)) entries_[field] = {id, tab_};
        return Ctl::Entry(picture).Id(id).Name(name).Use(Bind(field, kind));
    }

    void Item(ControlDesc& tab, const std::string& caption, const std::string& p, Extra extra, int x, int y) {
        const int h = extra == Extra::None ? 40 : 54;
        ControlDesc g = Ctl::Group(caption).Id(Next()).At(x, y, 300, h);
        g.Add(Ctl::Prompt("&Bezeichnung:").Id(Next()).At(x + 6, y + 12, 56, 10));
        g.Add(Field(F(p, "BEZEICHNUNG"), FieldKind::String, "@s40", "?" + F(p, "BEZEICHNUNG"))
                  .Tip("frei vergebbare Bezeichnung").At(x + 64, y + 12, 200, 10));
        int row = y + 26;
        if (extra == Extra::Creditable) {
            g.Add(Ctl::Prompt("anrechenbar:").Id(Next()).At(x + 6, row, 56, 10));
            g.Add(Field(F(p, "ANRECHENBAREAZ"), FieldKind::Real, kPercent, "?" + F(p, "ANRECHENBAREAZ"))
                      .Tip("Anteil der anrechenbaren Arbeitszeit als prozentualer Anteil von der Bereitschaftszeit")
                      .At(x + 64, row, 36, 10));
            row += 14;
        }
        g.Add(Ctl::Prompt(extra == Extra::Creditable ? "Lohn:" : "in Höhe von:").Id(Next()).At(x + 6, row, 52, 10));
        g.Add(Ctl::Prompt("&Prozent:").Id(Next()).At(x + 60, row, 36, 10));
        ControlDesc prozent = Field(F(p, "PROZENT"), FieldKind::Real, kPercent, "?" + F(p, "PROZENT"))
                                  .Tip("Angabe als prozentualer Wert vom Durchschnittsstundenlohn")
                                  .At(x + 98, row, 36, 10);
        const int prozentId = prozent.id;
        g.Add(std::move(prozent));
        g.Add(Ctl::Prompt("&Betrag").Id(Next()).At(x + 142, row, 30, 10));
        g.Add(Ctl::String("/Std:").Id(Next()).At(x + 174, row, 22, 10));
        ControlDesc betrag = Field(F(p, "BETRAG"), FieldKind::Real, kAmount, "?" + F(p, "BETRAG"))
                                 .Tip("Angabe als fester Betrag unabhängig vom Durchschnittsstundenlohn")
                                 .At(x + 198, row, 56, 10);
        rates_[p] = {prozentId, betrag.id};
        g.Add(std::move(betrag));
        row += 14;

        if (extra == Extra::Clock) {
            // Saturday (2) begins where (1) ends: its begin shows and edits the end of (1).
            const std::string von = p == "ZSA2" ? "ZSA1BIS" : F(p, "VON");
            g.Add(Ctl::Prompt("für Arbeitszeit").Id(Next()).At(x + 6, row, 62, 10));
            g.Add(Ctl::Prompt("von:").Id(Next()).At(x + 70, row, 18, 10));
            ControlDesc a = Field(von, FieldKind::Long, kClock, "?" + F(p, "VON"))
                                .Tip("Uhrzeit, ab der dieser Zuschlag ausgezahlt wird").At(x + 90, row, 36, 10);
            clocks_.insert(a.id);
            g.Add(std::move(a));
            g.Add(Ctl::Prompt("bis:").Id(Next()).At(x + 134, row, 18, 10));
            ControlDesc b = Field(F(p, "BIS"), FieldKind::Long, kClock, "?" + F(p, "BIS"))
                                .Tip("Uhrzeit, bis der dieser Zuschlag ausgezahlt wird").At(x + 154, row, 36, 10);
            clocks_.insert(b.id);
            g.Add(std::move(b));
        } else if (extra == Extra::HoursDay || extra == Extra::HoursWeek) {
            const std::string unit = extra == Extra::HoursDay ? "Arbeitsstunden/Tag" : "Arbeitsstunden/Woche";
            // Band (2) begins where (1) ends: its begin shows and edits the end of (1).
            const std::string von = p.back() == '2' ? F(p.substr(0, p.size() - 1), "1BIS") : F(p, "VON");
            g.Add(Ctl::Prompt("für Arbeitszeit").Id(Next()).At(x + 6, row, 62, 10));
            g.Add(Ctl::Prompt("von (Stunden):").Id(Next()).At(x + 70, row, 60, 10));
            g.Add(Field(von, FieldKind::Real, kHours, "?" + F(p, "VON"))
                      .Tip(unit + ", ab der dieser Zuschlag ausgezahlt wird").At(x + 132, row, 36, 10));
            g.Add(Ctl::Prompt("bis (Stunden):").Id(Next()).At(x + 176, row, 60, 10));
            g.Add(Field(F(p, "BIS"), FieldKind::Real, kHours, "?" + F(p, "BIS"))
                      .Tip(unit + ", bis der dieser Zuschlag ausgezahlt wird").At(x + 238, row, 36, 10));
        }
        tab.Add(std::move(g));
    }

    void Select(const std::string& field) {
        const auto it = entries_.find(field);
        if (it == entries_.end()) return;
        ControlSelect(it->second.second);   // its tab first
        ControlSelect(it->second.first);
    }

    // The form's record over the current record of the file TMPKOST has open (the file holds
    // that one record), or as its first record when it holds none.
    static int WriteBack() {
        const RecordBuffer edited = TMPKOST;
        int err = FileSet(TMPKOST);
        if (err == ERR_NONE) {
            const int read = FileNext(TMPKOST);
            TMPKOST.CopyFrom(edited);
            if (read == ERR_NONE)
                err = FilePut(TMPKOST);
            else if (read == ERR_NO_RECORD)
                err = FileAdd(TMPKOST);
            else
                err = read;
        }
        TMPKOST.CopyFrom(edited);
        return err;
    }

    void Import() {
        MessageRequest q;
        q.caption = "Datei importieren?";
        q.text = "Beim Import einer Ökonomie-Datei werden die aktuellen Kosteneinstellungen überschrieben.||"
                 "Datei dennoch importieren?";
        q.icon = MessageIcon::Asterisk;
        q.buttonBits = BUTTON_YES | BUTTON_NO;
        q.defaultButton = BUTTON_NO;
        if (MessageShow(q) != BUTTON_YES) return;
        ControlUpdate();
        std::string name;
        if (!FileDialog("Ökonomie-Importdatei öffnen", name, kFilter, FILE_LONG_NAMES)) return;
        // An empty file must leave the form as it is, not blank it.
        own_.KOSTEN.CopyFrom(TMPKOST);
        if (own_.ImportEco(name) != CKosten::RESULT_DONE) return;   // it has told the user
        FwFileManager* tmp = Access::TMPKOST;
        const RecordBuffer before = TMPKOST;
        if (!tmp || own_.WriteToFile(*tmp) != CKosten::RESULT_DONE) {
            TMPKOST.CopyFrom(before);
            const int code = ErrorCode();
            ShowFileProblem(true, tmp ? tmp->GetName() : std::string(), code != ERR_NONE ? code : ERR_FILE_SYSTEM, kKind);
        } else {
            TMPKOST.CopyFrom(own_.KOSTEN);
        }
        Refresh(true);
    }

    void Export() {
        ControlUpdate();
        own_.KOSTEN.CopyFrom(TMPKOST);
        std::string name;
        if (!FileDialog("Ökonomie-Exportdatei speichern", name, kFilter, FILE_SAVE | FILE_LONG_NAMES)) return;
        own_.ExportEco(name);   // it tells the user when it fails
    }

    const bool view_;
    CKosten own_;   // the carrier for import and export, never part of a worksheet
    int next_ = 0, tab_ = 0;
    int ok_ = 0, cancel_ = 0, import_ = 0, export_ = 0, lohnrechner_ = 0;
    std::map<std::string, std::pair<int, int>> entries_;   // field -> entry, its tab
    std::map<std::string, std::pair<int, int>> rates_;     // item -> percentage, amount entry
    std::set<int> clocks_;                                 // the clock entries
};

// ---- wage calculator ---------------------------------------------------------------------------

class LohnrechnerWindow : public FwWindow {
public:
    explicit LohnrechnerWindow(double& lohn) : FwWindow("Lohnrechner"), lohn_(lohn) {}

    int Setup() override {
        const int level = FwWindow::Setup();
        WindowDesc d;
        d.name = "Lohnrechner";
        d.title = "Lohnrechner";
        d.icon = "calculator.ico";
        d.fontName = "Tahoma";
        d.w = 224;
        d.h = 98;
        auto line = [&d](int id, const std::string& prompt, UseVar use, const std::string& name, int y, bool hours) {
            d.Add(Ctl::Prompt(prompt).Id(id).At(8, y, 100, 10));
            d.Add(Ctl::Entry(kAmount).Id(id + 1).Name(name).Use(std::move(use)).At(110, y, 56, 10));
            if (hours) d.Add(Ctl::String("Stunden").Id(id + 2).At(170, y, 40, 10));
        };
        line(1, "monatl. Grundvergütung:", UseVar(brutto_), "?Brutto", 8, false);
        line(3, "monatl. Arbeitszeit:", UseVar(monat_), "?Monat", 22, true);
        line(6, "Wochenarbeitszeit:", UseVar(woche_), "?Woche", 36, true);
        // Shown only; the wage is computed, never taken from the screen's rounded text.
        line(9, "durchschn. Stundenlohn:",
             UseVar([this] { return PropValue(RealText(lohn_)); }, [](const PropValue&) {}, true), "?Stundenlohn",
             54, false);
        d.controls.back().readOnly = true;
        d.Add(Ctl::Button("Übernehmen").Id(kOk).Name("?Uebernehmen").Default().At(104, 76, 56, 16));
        d.Add(Ctl::Button("Abbrechen").Id(kOk + 1).Name("?Abbrechen").At(164, 76, 56, 16));
        CreateWindow(d);
        OpenWindow();
        SetOkControl(kOk);
        SetCancelControl(kOk + 1);
        Refresh();
        return level;
    }

    int OnAccepted() override {
        if (EventAccepted() == kMonat) woche_ = monat_ / 4;
        if (!AcceptAllRunning()) Refresh();
        return FwWindow::OnAccepted();
    }

    void Refresh(bool force = false) override {
        if (DeferRefresh(force)) return;
        monat_ = woche_ * 4;
        lohn_ = LohnrechnerStundenlohn(brutto_, monat_);
        FwWindow::Refresh(force);
    }

    int OnWindowEvent() override {
        if (IsPassiveEventCode(EventCurrent())) Refresh();
        return FwWindow::OnWindowEvent();
    }

private:
    static constexpr int kMonat = 4;
    static constexpr int kOk = 20;
    double& lohn_;
    double brutto_ = 0, monat_ = 0, woche_ = 0;
};

} // namespace

int UpdateKosten() {
    KostenWindow w;
    int response = w.RunWindow();
    if (response != RESPONSE_COMPLETED) response = RESPONSE_CANCELLED;
    LastResponse = static_cast<uint8_t>(response);
    return response;
}

int Lohnrechner(double& stundenlohn) {
    const double saved = stundenlohn;
    LohnrechnerWindow w(stundenlohn);
    int response = w.RunWindow();
    if (response != RESPONSE_COMPLETED) {
        response = RESPONSE_CANCELLED;
        stundenlohn = saved;
    }
    LastResponse = static_cast<uint8_t>(response);
    return response;
}

std::function<int()> KostenFrameWindow() {
    return [] { return UpdateKosten(); };
}

void InstallKostenDialog() {
    CKosten::SetUpdateProcedure([](int request) {
        PendingRequest = static_cast<uint8_t>(request);
        return UpdateKosten();
    });
}
