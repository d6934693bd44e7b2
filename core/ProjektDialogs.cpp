#include "core/ProjektDialogs.h"

#include "core/Utilities.h"
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "core/Files.h"
#include "core/KommentarManager.h"
#include "core/ProjektInfo.h"
#include "core/ShellAndEvents.h"
#include "platform/fw/FwWindow.h"
#include "platform/ui/MessageShow.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"
#include "platform/values/Locale.h"

namespace {
// ASCII prefixes only, so a byte comparison after lowering is exact.
bool StartsWithNoCase(const std::string& text, const std::string& prefix)
{
    return text.size() >= prefix.size() && LocaleLower(text.substr(0, prefix.size())) == prefix;
}

// ---- Project information -----------------------------------------------------------------------

// The INFO fields the window edits, by record field name.
constexpr std::array<const char*, 14> kInfoFields = {
    "BEZEICHNUNG", "BEARBEITER", "NAME_1", "NAME_2", "NAME_3", "STRASSE", "PLZORT", "ANSPRECHPARTNER",
    "TELEFON_1", "TELEFON_2", "TELEFAX", "EMAIL", "INTERNET", "KOMMENTAR"};

enum InfoControl {
    INFO_REDO = 1, INFO_UNDO, INFO_SHEET, INFO_TAB_ALLGEMEIN,
    INFO_BEZEICHNUNG_PROMPT, INFO_BEZEICHNUNG, INFO_BEARBEITER_PROMPT, INFO_BEARBEITER,
    INFO_AUFTRAGGEBER, INFO_NAME_PROMPT, INFO_NAME_1, INFO_NAME_2, INFO_NAME_3, INFO_STRASSE_PROMPT,
    INFO_STRASSE, INFO_PLZORT_PROMPT, INFO_PLZORT, INFO_ANSPRECH_GROUP, INFO_ANSPRECH_PROMPT,
    INFO_ANSPRECHPARTNER, INFO_TELEFON1_PROMPT, INFO_TELEFON_1, INFO_TELEFON2_PROMPT, INFO_TELEFON_2,
    INFO_TELEFAX_PROMPT, INFO_TELEFAX, INFO_EMAIL_PROMPT, INFO_EMAIL, INFO_EMAIL_BUTTON,
    INFO_INTERNET_PROMPT, INFO_INTERNET, INFO_INTERNET_BUTTON, INFO_TAB_NOTIZEN, INFO_KOMMENTAR,
    INFO_OK, INFO_CANCEL,
};

// The address to open: the field as typed, or with the scheme put in front. A web address that
// already names the secure scheme keeps it.
std::string ShellAddress(const std::string& field, const std::string& prefix)
{
    std::string address = Clip(field);
    if (StartsWithNoCase(address, prefix))
        return address;
    if (prefix == "http://" && StartsWithNoCase(address, "https://"))
        return address;
    return prefix + address;
}

bool AddressEmpty(const std::string& field, const std::string& prefix)
{
    std::string address = Clip(field);
    return address.empty() || LocaleLower(address) == prefix;
}

class ProjektinfoWindow : public FwWindow {
public:
    explicit ProjektinfoWindow(CProjektInfo& info) : FwWindow("UpdateProjektinfo"), info_(info) {}

    int Setup() override
    {
        int level = FwWindow::Setup();
        FromRecord();
        WindowDesc d;
        d.name = "UpdateProjektinfo";
        d.title = "Projektinformationen - allgemein";
        d.icon = "info.ico";
        d.fontName = "Tahoma";
        d.w = 330;
        d.h = 290;
        d.Add(Ctl::Button("").Id(INFO_REDO).Name("?Redo").Icon("redo.ico").Tip("Wiederherstellen").At(296, 4, 14, 14));
        d.Add(Ctl::Button("").Id(INFO_UNDO).Name("?Undo").Icon("undo.ico").Tip("Rückgängig").At(312, 4, 14, 14));
        ControlDesc general = Ctl::Tab("allgemein").Id(INFO_TAB_ALLGEMEIN);
        general.Add(Ctl::Prompt("&Bezeichnung:").Id(INFO_BEZEICHNUNG_PROMPT).At(10, 30, 60, 10))
            .Add(Entry(INFO_BEZEICHNUNG, "@s100", 0).At(80, 30, 230, 10))
            .Add(Ctl::Prompt("&Bearbeiter:").Id(INFO_BEARBEITER_PROMPT).At(10, 44, 60, 10))
            .Add(Entry(INFO_BEARBEITER, "@s40", 1).At(80, 44, 230, 10));
        ControlDesc client = Ctl::Group("Auftraggeber").Id(INFO_AUFTRAGGEBER).At(6, 60, 310, 84);
        client.Add(Ctl::Prompt("&Name:").Id(INFO_NAME_PROMPT).At(10, 72, 60, 10))
            .Add(Entry(INFO_NAME_1, "@s40", 2).At(80, 72, 230, 10))
            .Add(Entry(INFO_NAME_2, "@s40", 3).At(80, 86, 230, 10))
            .Add(Entry(INFO_NAME_3, "@s40", 4).At(80, 100, 230, 10))
            .Add(Ctl::Prompt("&Strasse:").Id(INFO_STRASSE_PROMPT).At(10, 114, 60, 10))
            .Add(Entry(INFO_STRASSE, "@s40", 5).At(80, 114, 230, 10))
            .Add(Ctl::Prompt("&Plz/Ort:").Id(INFO_PLZORT_PROMPT).At(10, 128, 60, 10))
            .Add(Entry(INFO_PLZORT, "@s100", 6).At(80, 128, 230, 10));
        general.Add(std::move(client));
        ControlDesc contact = Ctl::Group("Ansprechpartner").Id(INFO_ANSPRECH_GROUP).At(6, 148, 310, 100);
        contact.Add(Ctl::Prompt("&Name:").Id(INFO_ANSPRECH_PROMPT).At(10, 160, 60, 10))
            .Add(Entry(INFO_ANSPRECHPARTNER, "@s40", 7).At(80, 160, 230, 10))
            .Add(Ctl::Prompt("&Telefon 1:").Id(INFO_TELEFON1_PROMPT).At(10, 174, 60, 10))
            .Add(Entry(INFO_TELEFON_1, "@s40", 8).At(80, 174, 230, 10))
            .Add(Ctl::Prompt("&Telefon 2:").Id(INFO_TELEFON2_PROMPT).At(10, 188, 60, 10))
            .Add(Entry(INFO_TELEFON_2, "@s40", 9).At(80, 188, 230, 10))
            .Add(Ctl::Prompt("&Telefax:").Id(INFO_TELEFAX_PROMPT).At(10, 202, 60, 10))
            .Add(Entry(INFO_TELEFAX, "@s40", 10).At(80, 202, 230, 10))
            .Add(Ctl::Prompt("&e-Mail:").Id(INFO_EMAIL_PROMPT).At(10, 216, 60, 10))
            .Add(Entry(INFO_EMAIL, "@s100", 11).At(80, 216, 210, 10))
            .Add(Ctl::Button("").Id(INFO_EMAIL_BUTTON).Name("?EMail").Icon("message.ico")
                     .Tip("eMail-Programm starten").At(294, 215, 16, 12))
            .Add(Ctl::Prompt("&Internet:").Id(INFO_INTERNET_PROMPT).At(10, 230, 60, 10))
            .Add(Entry(INFO_INTERNET, "@s40", 12).At(80, 230, 210, 10))
            .Add(Ctl::Button("").Id(INFO_INTERNET_BUTTON).Name("?Internet").Icon("inet.ico")
                     .Tip("Internet Browser starten").At(294, 229, 16, 12));
        general.Add(std::move(contact));
        ControlDesc notes = Ctl::Tab("Notizen").Id(INFO_TAB_NOTIZEN);
        notes.Add(Ctl::Text().Id(INFO_KOMMENTAR).Picture("@s2048").Use(UseVar(fields_[13])).At(10, 30, 300, 214));
        d.Add(Ctl::Sheet().Id(INFO_SHEET).At(4, 18, 318, 236).Add(std::move(general)).Add(std::move(notes)));
        d.Add(Ctl::Button("OK").Id(INFO_OK).Name("?OK").Default().At(200, 262, 56, 16));
        d.Add(Ctl::Button("Abbrechen").Id(INFO_CANCEL).Name("?Abbrechen").At(262, 262, 56, 16));
        CreateWindow(d);
        OpenWindow();
        SetOkControl(INFO_OK);
        SetCancelControl(INFO_CANCEL);
        Refresh();
        return level;
    }

    int OnAccepted() override
    {
        switch (EventAccepted()) {
        case INFO_REDO:
        case INFO_UNDO: {
            uint8_t result = EventAccepted() == INFO_REDO ? info_.Redo(1) : info_.Undo(1);
            if (result == STORE_DONE) {
                FromRecord();
                Refresh();
            } else {
                MessageRequest m;
                m.text = "fehlgeschlagen!";
                MessageShow(m);
            }
            return LEVEL_BENIGN;
        }
        case INFO_EMAIL:
        case INFO_INTERNET:
            if (!AcceptAllRunning())
                Refresh();
            return FwWindow::OnAccepted();
        case INFO_EMAIL_BUTTON:
            ControlUpdate();
            OpenWithShell(ShellAddress(fields_[11], "mailto:"), "", "", true, true, false);
            return LEVEL_BENIGN;
        case INFO_INTERNET_BUTTON:
            ControlUpdate();
            OpenWithShell(ShellAddress(fields_[12], "http://"), "", "", true, true, false);
            return LEVEL_BENIGN;
        default:
            return FwWindow::OnAccepted();
        }
    }

    int OnCompleted() override
    {
        ToRecord();
        return FwWindow::OnCompleted();
    }

    void Refresh(bool force = false) override
    {
        if (DeferRefresh(force))
            return;
        SetEnabled(INFO_REDO, info_.CanRedo(1));
        SetEnabled(INFO_UNDO, info_.CanUndo(1));
        SetEnabled(INFO_EMAIL_BUTTON, !AddressEmpty(fields_[11], "mailto:"));
        SetEnabled(INFO_INTERNET_BUTTON, !AddressEmpty(fields_[12], "http://"));
        FwWindow::Refresh(force);
    }

    int OnWindowEvent() override
    {
        if (IsPassiveEventCode(EventCurrent()))
            Refresh();
        return FwWindow::OnWindowEvent();
    }

private:
    ControlDesc Entry(int id, const std::string& picture, size_t field)
    {
        return Ctl::Entry(picture).Id(id).Use(UseVar(fields_[field]));
    }
    static void SetEnabled(int control, bool on)
    {
        if (on)
            ControlEnable(control);
        else
            ControlDisable(control);
    }
    void FromRecord()
    {
        for (size_t i = 0; i < kInfoFields.size(); ++i)
            fields_[i] = INFO.GetString(kInfoFields[i]);
    }
    void ToRecord()
    {
        for (size_t i = 0; i < kInfoFields.size(); ++i)
            INFO.SetString(kInfoFields[i], fields_[i]);
    }

    CProjektInfo& info_;
    std::array<std::string, kInfoFields.size()> fields_;
};

// ---- Notes -------------------------------------------------------------------------------------

enum NoteControl {
    NOTE_SHEET = 1, NOTE_TAB_ALLGEMEIN, NOTE_OK = 200, NOTE_CANCEL, NOTE_SCHICHTZEIT = 300,
};

class KommentarWindow : public FwWindow {
public:
    explicit KommentarWindow(KommentarInfo& notes) : FwWindow("UpdateKommentar"), notes_(notes), copy_(notes) {}

    int Setup() override
    {
        int level = FwWindow::Setup();
        WindowDesc d;
        d.name = "UpdateKommentar";
        d.title = "Notiz bearbeiten";
        d.icon = "mini_notiz.ico";
        d.fontName = "Tahoma";
        d.resizable = true;
        d.w = 320;
        d.h = 300;
        for (int k : {Key::TAB, Key::SHIFT_TAB, Key::MOUSE_LEFT, Key::MOUSE_LEFT2, Key::ENTER, Key::SHIFT_ENTER})
            d.alertKeys.push_back(k);

        int y = 30;
        ControlDesc general = Ctl::Tab("Allgemein").Id(NOTE_TAB_ALLGEMEIN);
        auto line = [&](ControlDesc& tab, const std::string& prompt, ControlDesc field, int height = 10) {
            tab.Add(Ctl::Prompt(prompt).At(10, y, 100, 10));
            tab.Add(field.At(114, y, 190, height));
            y += height + 4;
        };
        line(general, "&Bezeichnung Arbeitsplatz:", Ctl::Entry("@s255").Name("?Arbeitsplatz")
             .Tip("kurze Beschreibung der Arbeitsplätze, für die dieses Arbeitszeitblatt gilt")
             .Use(UseVar(copy_.BEZEICHNUNGARBEITSPLATZ)));
        line(general, "&Kurzbezeichnung:", Ctl::Entry("@s20").Tip("Kurzbezeichnung für dieses Arbeitszeitblatt")
             .Use(UseVar(copy_.KURZBEZEICHNUNG)));
        general.Add(Ctl::Prompt("&Tätigkeiten:").At(10, y, 100, 10));
        for (size_t i = 0; i < copy_.TAETIGKEITEN.size(); ++i) {
            general.Add(Ctl::Prompt(std::to_string(i + 1) + ".").At(104, y, 10, 10));
            general.Add(Ctl::Entry("@s20")
                            .Tip("Benennung der Tätigkeiten, die an diesen Arbeitsplätzen ausgeführt werden")
                            .Use(UseVar(copy_.TAETIGKEITEN[i])).At(114, y, 190, 10));
            y += 12;
        }
        y += 2;
        line(general, "&Abteilung:", Ctl::Entry("@s40").Tip("Name der Abteilung").Use(UseVar(copy_.ABTEILUNG)));
        line(general, "Anzahl Arbeits&plätze:", Ctl::Entry("@n4B")
             .Tip("Anzahl der Arbeitsplätze, auf die sich dieses Arbeitszeitblatt bezieht")
             .Use(UseVar(copy_.ANZAHLARBEITSPLAETZE)));
        line(general, "bisherige &Schichtzeit:", Ctl::Entry("@T7B").Id(NOTE_SCHICHTZEIT).Name("?Schichtzeit")
             .Tip("längste Schichtzeit bisher").Use(UseVar(copy_.BISHERIGESCHICHTZEIT)));
        line(general, "letzte &Änderung:", Ctl::Entry("@D17B").Id(NOTE_SCHICHTZEIT + 1)
             .Tip("Datum der letzten Änderung").Use(UseVar(copy_.LETZTEAENDERUNG)));
        line(general, "bearbeitet &von:", Ctl::Entry("@s40")
             .Tip("Name des Arbeitszeitplaners, der dieses Arbeitszeitblatt bearbeitet").Use(UseVar(copy_.BEARBEITER)));
        line(general, "Ansprech&partner:", Ctl::Entry("@s40").Tip("betrieblicher Ansprechpartner")
             .Use(UseVar(copy_.ANSPRECHPARTNER)));

        ControlDesc staff = Ctl::Tab("Arbeitnehmer");
        for (size_t i = 0; i < copy_.ARBEITNEHMER.size(); ++i) {
            staff.Add(Ctl::Prompt(std::to_string(i + 1) + ". Arbeitnehmer:").At(10, 30 + 14 * static_cast<int>(i), 100, 10));
            staff.Add(Ctl::Entry("@s40").Tip("Namen der Arbeitnehmer für dieses Arbeitsblatt")
                          .Use(UseVar(copy_.ARBEITNEHMER[i])).At(114, 30 + 14 * static_cast<int>(i), 190, 10));
        }
        ControlDesc notes = Ctl::Tab("Notizen");
        notes.Add(Ctl::Text().Name("?Kommentar").Picture("@s2048").Use(UseVar(copy_.KOMMENTAR)).At(10, 30, 294, 220));

        d.Add(Ctl::Sheet().Id(NOTE_SHEET).At(4, 4, 312, 264).Add(std::move(general)).Add(std::move(staff)).Add(std::move(notes)));
        d.Add(Ctl::Button("OK").Id(NOTE_OK).Name("?OK").Default().At(196, 276, 56, 16));
        d.Add(Ctl::Button("Abbrechen").Id(NOTE_CANCEL).Name("?Abbrechen").At(258, 276, 56, 16));
        CreateWindow(d);
        OpenWindow();
        SetOkControl(NOTE_OK);
        SetCancelControl(NOTE_CANCEL);
        return level;
    }

    int OnAlertKey() override
    {
        // "24:30" typed for a shift time means half past midnight.
        if (ControlFocus() == NOTE_SCHICHTZEIT) {
            std::string text = PropertyGet(NOTE_SCHICHTZEIT, Prop::ScreenText).Str();
            if (text.rfind("24", 0) == 0) {
                PropertySet(NOTE_SCHICHTZEIT, Prop::ScreenText, "00" + text.substr(2));
                ControlUpdate(NOTE_SCHICHTZEIT);
            }
        }
        return FwWindow::OnAlertKey();
    }

    int OnCompleted() override
    {
        notes_ = copy_;
        return FwWindow::OnCompleted();
    }

private:
    KommentarInfo& notes_;
    KommentarInfo copy_;
};

// ---- Kind of a new worksheet -------------------------------------------------------------------

class TypWindow : public FwWindow {
public:
    TypWindow() : FwWindow("SelectArbeitsblattTyp") { KeepNoGeometry(); }

    int Setup() override
    {
        int level = FwWindow::Setup();
        WindowDesc d;
        d.name = "SelectArbeitsblattTyp";
        d.title = "Arbeitszeitblatt-Typ wählen";
        d.color = 0xFFFFFF;
        d.fontName = "Tahoma";
        d.w = 300;
        d.h = 150;
        d.Add(Ctl::Prompt("Mit welchem Arbeitszeitblatt möchten Sie arbeiten?").Font("Tahoma", 10, 700).At(10, 8, 280, 14))
            .Add(Ctl::Prompt("Bitte wählen Sie, ob Sie mit einem Arbeitszeitblatt zur Gestaltung von "
                             "Arbeitszeitsystemen fortfahren möchten, oder mit einem Flex-Arbeitszeitblatt für die "
                             "Eingabe und Auswertung von flexiblen Arbeitszeiten.")
                     .At(10, 26, 280, 50))
            .Add(Ctl::Button("Arbeitszeitblatt").Name("?Arbeitszeitblatt").Icon("mini_tabelle.ico").At(10, 90, 90, 20))
            .Add(Ctl::Button("Flex-Arbeitszeitblatt").Name("?Flex").Icon("mini_kalender.ico").At(105, 90, 100, 20))
            .Add(Ctl::Button("Abbrechen").Name("?Abbrechen").Icon("delete2.ico").At(210, 90, 80, 20));
        CreateWindow(d);
        OpenWindow();
        return level;
    }

    int OnAccepted() override
    {
        switch (EventAccepted()) {
        case 3: choice = ARBEITSBLATT_AZ_CHOICE; return LEVEL_FATAL;
        case 4: choice = ARBEITSBLATT_FLEX_CHOICE; return LEVEL_FATAL;
        case 5: choice = 0; return LEVEL_FATAL;
        default: return FwWindow::OnAccepted();
        }
    }

    static constexpr uint8_t ARBEITSBLATT_AZ_CHOICE = 1;
    static constexpr uint8_t ARBEITSBLATT_FLEX_CHOICE = 2;
    uint8_t choice = 0;
};
} // namespace

int UpdateProjektinfo(CProjektInfo& info)
{
    ProjektinfoWindow w(info);
    return w.RunWindow();
}

int UpdateKommentar(KommentarInfo& notes)
{
    KommentarWindow w(notes);
    return w.RunWindow();
}

uint8_t SelectArbeitsblattTyp()
{
    TypWindow w;
    w.RunWindow();
    return w.choice;
}
