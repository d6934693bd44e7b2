#include "assessment/SchichttypDialoge.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "assessment/BelastungDialoge.h"
#include "assessment/SchichtzeitFelder.h"
#include "assessment/Verstossliste.h"
#include "core/Files.h"
#include "core/Frame.h"
#include "core/Savable.h"
#include "core/Schicht.h"
#include "core/TimeHelpers.h"
#include "platform/fw/FwFileManager.h"
#include "platform/fw/FwWindow.h"
#include "platform/records/RecordFile.h"
#include "platform/ui/ListFormat.h"
#include "platform/ui/MessageShow.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"
#include "platform/values/Locale.h"
#include "plans/Schichttypen.h"

CKriterienChecker* GlobalSchichtChecker = nullptr;

namespace {

constexpr uint8_t REQUEST_INSERT = 1;
constexpr uint8_t REQUEST_CHANGE = 2;
constexpr uint8_t REQUEST_DELETE = 3;

constexpr int32_t kClockPerMin = 6000;
constexpr int kDittoKey = 734;   // the platform's ditto key

// The names and utilisation of the record last completed in the form, for the ditto key.
struct Ditto {
    bool set = false;
    std::string bez, kurz;
    int32_t ausl = 0, beruecks = 0;
};
Ditto& LastCompleted()
{
    static Ditto ditto;
    return ditto;
}

// The time of day of a minute stamp as a clock value.
int32_t StampToClock(int64_t stamp) { return MinutesToClock(stamp % 1440); }

// The same for the browse, where a time at the very end of the day shows as "24:00".
int32_t StampToListClock(int64_t stamp) { return MinutesToClock(stamp > 1440 ? (stamp - 1) % 1440 + 1 : stamp); }


void SetShown(int from, int to, bool on)
{
    if (on)
        ControlUnhide(from, to);
    else
        ControlHide(from, to);
}

// The first character of a name in upper case (UTF-8).
std::string FirstUpper(const std::string& name)
{
    if (name.empty())
        return {};
    size_t len = 1;
    while (len < name.size() && (static_cast<unsigned char>(name[len]) & 0xC0) == 0x80)
        ++len;
    return LocaleUpper(std::string_view(name).substr(0, len));
}

bool IsBlank(const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; }

// ---- the form ------------------------------------------------------------------------------------

enum FormControl {
    F_GROUPEMPFEHLUNG = 1, F_EBA_PROMPT, F_EBA_MAX1, F_EBA_ENDE, F_EBA_MAX2, F_EBA_DAUERGESAMT, F_EBA_INFO,
    F_GROUPAUSLASTUNG, F_AUSLASTUNG_PROMPT, F_AUSLASTUNG, F_BERUECKSICHTIGEN,
    F_BEZ_PROMPT, F_BEZEICHNUNG, F_KURZ_PROMPT, F_KURZBEZEICHNUNG,
    F_BEGINN_PROMPT, F_BEGINN, F_ENDE_PROMPT, F_ENDE, F_DAUER_PROMPT, F_DAUERGESAMT,
    F_ART_PROMPT, F_SCHICHTART,
    F_GROUPPAUSEN, F_LAGE_HEAD, F_DAUER_HEAD,
    F_PAUSE1,   // per break: prompt, start, duration, paid
    F_PAUSE_LAST = F_PAUSE1 + 5 * 4 - 1,
    F_BEZAHLT_PROMPT, F_BEZAHLTEAZ, F_REIN_PROMPT, F_REINEAZ,
    F_HINWEIS, F_EBA_ANZEIGEN,
    F_GROUPWOCHENTAG, F_TAG_PROMPT, F_BYTEDROP,
    F_BUTTON_OK, F_BUTTON_CANCEL,
};


class SchichttypFormWindow : public FwWindow {
public:
    explicit SchichttypFormWindow(uint8_t request) : FwWindow("UpdateSchichttyp"), request_(request)
    {
        if (request_ == REQUEST_INSERT && Access::TMPSCHICHT)
            Access::TMPSCHICHT->PrimeRecord();
        record_.Clear();
        record_.FromRecord(TMPSCHICHT);
        // The working copy: times and breaks only, on day 1.
        uint32_t day = 0;
        work_.SetTermin(record_.GetTermin(day), 1);
        for (int n = 1; n <= 5; ++n)
            work_.SetPause(n, record_.GetPause(n));
        bez_ = record_.BEZEICHNUNG;
        kurz_ = record_.KURZBEZEICHNUNG;
        ausl_ = record_.AUSLASTUNG;
        beruecks_ = record_.AUSLASTUNG_BERUECKSICHTIGEN;
        art_ = record_.ART;
        for (int n = 1; n <= 5; ++n)
            felder_.bezahlt[static_cast<size_t>(n - 1)] = record_.PausePaid(n);
    }

    int Setup() override
    {
        const int level = FwWindow::Setup();
        WindowDesc d;
        d.name = "UpdateSchichttyp";
        d.title = "Schichttyp bearbeiten";
        d.icon = "mini_schichten.ico";
        d.w = 300;
        d.h = 330;
        for (int key : {Key::TAB, Key::SHIFT_TAB, Key::MOUSE_LEFT, Key::MOUSE_LEFT2, Key::ENTER, Key::SHIFT_ENTER,
                        kDittoKey})
            d.alertKeys.push_back(key);

        d.Add(Ctl::Group("EBA-Empfehlung:").Id(F_GROUPEMPFEHLUNG).Name("?GROUPEMPFEHLUNG").At(150, 4, 144, 44));
        d.Add(Ctl::Prompt("").Id(F_EBA_PROMPT).At(154, 14, 4, 10));
        d.Add(Ctl::Prompt("max.").Id(F_EBA_MAX1).At(154, 16, 20, 10));
        d.Add(Ctl::String("").Id(F_EBA_ENDE).Name("?EBA_ENDE").Picture("@T7B").Use(UseVar(ebaEnde_)).At(176, 16, 30, 10));
        d.Add(Ctl::Prompt("max.").Id(F_EBA_MAX2).At(154, 30, 20, 10));
        d.Add(Ctl::String("").Id(F_EBA_DAUERGESAMT).Name("?EBA_DAUERGESAMT").Picture("@T7B").Use(UseVar(ebaDauer_))
                  .At(176, 30, 30, 10));
        d.Add(Ctl::Button("EBA-Info").Id(F_EBA_INFO).Name("?BUTTON3").Icon("mini_belastung.ico").At(220, 22, 70, 14));

        d.Add(Ctl::Group("").Id(F_GROUPAUSLASTUNG).Name("?GROUPAUSLASTUNG").At(4, 4, 142, 44));
        d.Add(Ctl::Prompt("&Auslastung:").Id(F_AUSLASTUNG_PROMPT).At(8, 14, 50, 10));
        d.Add(Ctl::Spin("@N5.~ %~", 1, 100, 5).Id(F_AUSLASTUNG).Name("?AUSLASTUNG").Use(UseVar(ausl_))
                  .Tip("prozentuale Arbeitsauslastung für diesen Schichttyp").At(60, 14, 50, 10));
        d.Add(Ctl::Check(" &berücksichtigen").Id(F_BERUECKSICHTIGEN).Name("?AUSLASTUNG_BERUECKSICHTIGEN")
                  .Use(UseVar(beruecks_)).Tip("Arbeitsauslastung bei der Ergonomie-Bewertung berücksichtigen?")
                  .Msg("soll die Arbeitsauslastung bei der Ergonomie-Bewertung \nberücksichtigt werden?").At(8, 30, 100, 10));

        d.Add(Ctl::Prompt("Bezeichnung:").Id(F_BEZ_PROMPT).At(4, 54, 70, 10));
        d.Add(Ctl::Entry("@s30").Id(F_BEZEICHNUNG).Name("?TMPSCHICHT:BEZEICHNUNG").Use(UseVar(bez_))
                  .Tip("ausführliche Bezeichnung für diesen Schichttyp").At(80, 54, 140, 10));
        d.Add(Ctl::Prompt("Kurzbezeichnung:").Id(F_KURZ_PROMPT).At(4, 68, 70, 10));
        d.Add(Ctl::Entry("@s5").Id(F_KURZBEZEICHNUNG).Name("?TMPSCHICHT:KURZBEZEICHNUNG").Use(UseVar(kurz_))
                  .Tip("Kurzbezeichnung für diesen Schichttyp (3 Buchstaben)").At(80, 68, 40, 10));
        d.Add(Ctl::Prompt("Beginn:").Id(F_BEGINN_PROMPT).At(4, 84, 70, 10));
        d.Add(Ctl::Entry("@T7").Id(F_BEGINN).Name("?BEGINN").Use(UseVar(felder_.beginn)).At(80, 84, 40, 10));
        d.Add(Ctl::Prompt("Ende:").Id(F_ENDE_PROMPT).At(4, 98, 70, 10));
        d.Add(Ctl::Entry("@T7").Id(F_ENDE).Name("?ENDE").Use(UseVar(felder_.ende)).At(80, 98, 40, 10));
        d.Add(Ctl::Prompt("Schichtzeit:").Id(F_DAUER_PROMPT).At(4, 112, 70, 10));
        d.Add(Ctl::Entry("@T7").Id(F_DAUERGESAMT).Name("?DAUERGESAMT").Use(UseVar(dauer_)).At(80, 112, 40, 10));
        d.Add(Ctl::Prompt("Schicht-Art:").Id(F_ART_PROMPT).At(4, 126, 70, 10));
        d.Add(Ctl::DropList().Id(F_SCHICHTART).Name("?SCHICHTART")
                  .From({"normal", "Freischicht", "Bereitschaft", "Rufbereitschaft"}).DropRows(4)
                  .Use(UseVar(art_)).At(80, 126, 80, 10));

        d.Add(Ctl::Group("").Id(F_GROUPPAUSEN).Name("?GROUPPAUSEN").At(4, 140, 290, 84));
        d.Add(Ctl::Prompt("Lage").Id(F_LAGE_HEAD).At(60, 144, 40, 10));
        d.Add(Ctl::Prompt("Dauer").Id(F_DAUER_HEAD).At(110, 144, 40, 10));
        felder_.AddPauseRows(d, {158, 14, 8, 40, 60, 110, 50, 170, 10, 0, "@N8~ min~B"});
        d.Add(Ctl::Prompt("bezahlte Arbeitszeit:").Id(F_BEZAHLT_PROMPT).At(4, 230, 80, 10));
        d.Add(Ctl::Entry("@T7").Id(F_BEZAHLTEAZ).Name("?BEZAHLTEAZ").Use(UseVar(felder_.bezahltAz)).At(90, 230, 40, 10));
        d.Add(Ctl::Prompt("reine Arbeitszeit:").Id(F_REIN_PROMPT).At(4, 244, 80, 10));
        d.Add(Ctl::Entry("@T7").Id(F_REINEAZ).Name("?REINEAZ").Use(UseVar(felder_.reineAz)).At(90, 244, 40, 10));
        d.Add(Ctl::Prompt("Wenn Sie die Belastungssituation mit dem EBA-Verfahren erfasst haben, können Sie von "
                          "Varn-4 Empfehlungen für die max. Schichtlänge anzeigen lassen.")
                  .Id(F_HINWEIS).At(4, 260, 290, 20));
        d.Add(Ctl::Check(" Empfehlungen für max. Schichtlänge anzeigen").Id(F_EBA_ANZEIGEN).Name("?EBA_EMPFEHLUNG_ANZEIGEN")
                  .Use(UseVar(ebaAnzeigen_)).At(4, 282, 200, 10));
        d.Add(Ctl::Group("").Id(F_GROUPWOCHENTAG).Name("?GROUPWOCHENTAG").At(4, 294, 180, 20));
        d.Add(Ctl::Prompt("für Wochentag:").Id(F_TAG_PROMPT).At(8, 298, 60, 10));
        d.Add(Ctl::DropList().Id(F_BYTEDROP).Name("?BYTEDROP")
                  .From({"Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag", "Sonntag"})
                  .DropRows(7).Use(UseVar(wochentag_)).At(70, 298, 80, 10));
        d.Add(Ctl::Button("OK").Id(F_BUTTON_OK).Name("?OK").Default().At(190, 312, 50, 14));
        d.Add(Ctl::Button("Abbrechen").Id(F_BUTTON_CANCEL).Name("?CANCEL").At(244, 312, 50, 14));
        CreateWindow(d);
        OpenWindow();
        SetOkControl(F_BUTTON_OK);
        SetCancelControl(F_BUTTON_CANCEL);
        Refresh(true);
        return level;
    }

    int OnAccepted() override
    {
        const int c = EventAccepted();
        if (c == F_BUTTON_OK || c == F_BUTTON_CANCEL)
            return FwWindow::OnAccepted();
        if (c == F_EBA_INFO) {
            if (GlobalSchichtChecker)
                GlobalSchichtChecker->ShowEbaValues();
            return LEVEL_BENIGN;
        }
        ControlUpdate(c);
        const bool pass = AcceptAllRunning();
        if (!felder_.Accept(work_, c, pass))
            return LEVEL_BENIGN;
        switch (c) {
        case F_DAUERGESAMT:
            if (dauer_ != MinutesToClock(work_.Duration()))
                work_.Duration(TimeToMinutesLong(dauer_));
            break;
        case F_BEZEICHNUNG:
            if (IsBlank(kurz_))
                kurz_ = FirstUpper(bez_);
            break;
        case F_EBA_ANZEIGEN:
            if (!pass && ebaAnzeigen_) {
                if (art_ != ART_NORMAL) {
                    MessageRequest m;
                    m.text = "EBA Empfehlungen können nur für normale Schichten gegeben werden.";
                    m.caption = "EBA Empfehlung nicht möglich";
                    m.buttonBits = BUTTON_OK;
                    MessageShow(m);
                    ebaAnzeigen_ = 0;
                } else {
                    EBAHinweis();
                }
            }
            break;
        default: break;
        }
        if (!pass)
            Refresh();
        return LEVEL_BENIGN;
    }

    int OnSelected() override
    {
        felder_.StartFirst(work_, EventControl());
        return LEVEL_BENIGN;
    }

    int OnAlertKey() override
    {
        const int focus = ControlFocus();
        if (EventKeyCode() == kDittoKey) {
            const Ditto& last = LastCompleted();
            if (!last.set)
                return LEVEL_BENIGN;
            switch (focus) {
            case F_BEZEICHNUNG: bez_ = last.bez; break;
            case F_KURZBEZEICHNUNG: kurz_ = last.kurz; break;
            case F_AUSLASTUNG: ausl_ = last.ausl; break;
            case F_BERUECKSICHTIGEN: beruecks_ = last.beruecks; break;
            default: return LEVEL_BENIGN;
            }
            ControlDisplay(focus);
            return LEVEL_BENIGN;
        }
        // "24:00" typed into a time field is taken as midnight ("00:00").
        if (IsTimeField(focus)) {
            const std::string text = PropertyGet(focus, Prop::ScreenText).Str();
            if (text.size() >= 2 && text.compare(0, 2, "24") == 0)
                PropertySet(focus, Prop::ScreenText, "00" + text.substr(2, 3));
        }
        return FwWindow::OnAlertKey();
    }

    int OnWindowEvent() override
    {
        if (IsPassiveEventCode(EventCurrent()))
            Refresh();
        return FwWindow::OnWindowEvent();
    }

    int OnCompleted() override
    {
        CSchicht check = work_;
        if (check.SortPauses() == 5) {
            MessageRequest m;
            m.text = "Bitte überprüfen Sie Lage und Dauer der einzelnen Pausen";
            m.caption = "Pausenzeiten überprüfen";
            m.icon = MessageIcon::Exclamation;
            m.buttonBits = BUTTON_OK;
            MessageShow(m);
            return LEVEL_BENIGN;
        }
        if (GlobalSchichtChecker) {
            verstoesse_.Clear();
            GlobalSchichtChecker->CheckShiftType(work_, kAlleWochentage, verstoesse_);
            if (verstoesse_.Count() > 0) {
                MessageRequest m;
                m.text = "Dieser Schichttyp verstößt in folgenden Punkten gegen gesetzliche Bestimmungen bzw. "
                         "arbeitswissenschaftliche Empfehlungen: ||" + verstoesse_.FormatText();
                m.caption = "Schicht ist nicht erlaubt";
                m.icon = MessageIcon::Exclamation;
                m.buttonBits = BUTTON_OK | BUTTON_IGNORE;
                m.buttonTexts.clear();
                m.defaultButton = BUTTON_OK;
                if (MessageShow(m) == BUTTON_OK)
                    return LEVEL_BENIGN;
            }
        }
        // The record takes the form's values; its identity and step stay.
        record_.BEZEICHNUNG = bez_;
        record_.KURZBEZEICHNUNG = kurz_;
        record_.AUSLASTUNG = static_cast<uint8_t>(ausl_);
        record_.AUSLASTUNG_BERUECKSICHTIGEN = static_cast<uint8_t>(beruecks_ != 0);
        record_.ART = static_cast<uint8_t>(art_);
        uint32_t day = 0;
        record_.SetTermin(work_.GetTermin(day), 1);
        for (int n = 1; n <= 5; ++n)
            record_.SetPause(n, work_.GetPause(n));
        record_.ToRecord(TMPSCHICHT);
        const int rc = request_ == REQUEST_INSERT ? FileAdd(TMPSCHICHT) : FilePut(TMPSCHICHT);
        if (rc != 0) {
            MessageRequest m;
            m.text = "Der Schichttyp konnte nicht gespeichert werden.|" + ErrorText() + " (" + std::to_string(rc) + ")";
            m.caption = "Schichttyp nicht gespeichert";
            m.icon = MessageIcon::Exclamation;
            m.buttonBits = BUTTON_OK;
            MessageShow(m);
            return LEVEL_BENIGN;
        }
        LastCompleted() = Ditto{true, bez_, kurz_, ausl_, beruecks_};
        return FwWindow::OnCompleted();
    }

    void Refresh(bool force = false) override
    {
        if (DeferRefresh(force))
            return;
        ControlSetEnabled(F_GROUPPAUSEN, art_ == ART_NORMAL, F_PAUSE_LAST);
        work_.ART = static_cast<uint8_t>(art_);
        if (art_ != ART_NORMAL)
            for (int n = 1; n <= 5; ++n)
                work_.SetPause(n, PAUSE{});
        felder_.Show(work_);
        dauer_ = MinutesToClock(work_.Duration());
        const bool eba = ebaAnzeigen_ != 0;
        SetShown(F_GROUPEMPFEHLUNG, F_EBA_INFO, eba);
        ControlSetEnabled(F_GROUPWOCHENTAG, eba, F_BYTEDROP);
        if (eba && GlobalSchichtChecker) {
            const uint16_t m = GlobalSchichtChecker->EbaRecommendation(work_, static_cast<uint8_t>(wochentag_));
            ebaDauer_ = StampToClock(m);
            ebaEnde_ = StampToClock(static_cast<int64_t>(work_.TERMIN.BEGINN % 1440) + m);
        }
        FwWindow::Refresh(force);
    }

private:
    bool IsTimeField(int c) const
    {
        if (c == F_BEGINN || c == F_ENDE || c == F_DAUERGESAMT || c == F_BEZAHLTEAZ || c == F_REINEAZ)
            return true;
        return felder_.IsPauseLage(c);
    }

    uint8_t request_;
    CSchicht record_;   // the record as read, written back on OK
    CSchicht work_;     // times and breaks on day 1
    std::string bez_, kurz_;
    int32_t ausl_ = 0, beruecks_ = 0, art_ = ART_NORMAL;
    int32_t dauer_ = 0;
    CSchichtzeitFelder felder_{{F_BEGINN, F_ENDE, F_BEZAHLTEAZ, F_REINEAZ, F_PAUSE1}};
    int32_t ebaAnzeigen_ = 0, wochentag_ = 1;
    int32_t ebaEnde_ = 0, ebaDauer_ = 0;
    CVerstossliste verstoesse_;
};

// ---- the browse ----------------------------------------------------------------------------------

enum BrowseControl { B_PANEL = 1, B_LIST, B_EINFUEGEN, B_AENDERN, B_LOESCHEN, B_OK, B_CANCEL, B_REDO, B_UNDO };

const std::string kBrowseFormat = [] {
    std::string f = "21L(2)|FM~Kurz~C(0)@s5@108L(2)|M~Bezeichnung~@s30@27R(2)|M~Beginn~C(0)@T7@"
                    "27R(2)|M~Ende~C(0)@T7@";
    for (int n = 1; n <= 5; ++n)
        f += "[27R(2)|M~Beginn~C(0)@T7B@27R(2)|M~Dauer~C(0)@T7B@2R(200)|MJ~bz~C(0)@s1@](63)|M~Pause " +
             std::to_string(n) + "~";
    return f + "4R(100)|M@s1@";
}();

class SchichttypBrowseWindow : public FwWindow {
public:
    explicit SchichttypBrowseWindow(CSchichttypen& list) : FwWindow("BrowseSchichttypen"), list_(list) {}

    int Setup() override
    {
        const int level = FwWindow::Setup();
        WindowDesc d;
        d.name = "BrowseSchichttypen";
        d.title = "Schichttypen";
        d.icon = "mini_schichten.ico";
        d.w = 560;
        d.h = 200;
        d.resizable = true;
        d.Add(Ctl::Panel().Id(B_PANEL).At(0, 0, 560, 176));
        d.Add(Ctl::List(kBrowseFormat).Id(B_LIST).Name("?Liste").At(4, 4, 552, 168));
        d.Add(Ctl::Button("&Einfügen").Id(B_EINFUEGEN).Tip("Schichttyp einfügen").Msg("neuen Schichttyp einfügen")
                  .Icon("INSERT.ICO").At(4, 180, 56, 14));
        d.Add(Ctl::Button("&Ändern").Id(B_AENDERN).Tip("Schichttyp bearbeiten").Msg("gewählten Schichttyp bearbeiten")
                  .Icon("EDIT.ICO").At(64, 180, 56, 14));
        d.Add(Ctl::Button("&Löschen").Id(B_LOESCHEN).Tip("Schichttyp entfernen").Msg("gewählten Schichttyp entfernen")
                  .Icon("DELETE.ICO").At(124, 180, 56, 14));
        d.Add(Ctl::Button("OK").Id(B_OK).Name("?OK").Default().At(442, 180, 56, 14));
        d.Add(Ctl::Button("Abbrechen").Id(B_CANCEL).Name("?CANCEL").At(502, 180, 56, 14));
        d.Add(Ctl::Button("").Id(B_REDO).Name("?REDO").Icon("redo.ico").At(222, 180, 16, 14));
        d.Add(Ctl::Button("").Id(B_UNDO).Name("?UNDO").Icon("undo.ico").At(202, 180, 16, 14));
        CreateWindow(d);
        OpenWindow();
        SetCancelControl(B_CANCEL);
        PropertySet(B_LIST, Prop::IconList, "~tick.ico", 1);
        format_ = ListFormat::Parse(kBrowseFormat);
        ListSetSource(B_LIST, std::make_shared<FunctionListSource>(
                                  [this] { return static_cast<int64_t>(rows_.size()); },
                                  [this](int64_t row, int field) { return Field(row, field); }));
        Reload();
        Refresh(true);
        return level;
    }

    int OnAccepted() override
    {
        switch (EventAccepted()) {
        case B_OK:
            Response = RESPONSE_COMPLETED;
            return LEVEL_FATAL;
        case B_EINFUEGEN: Edit(REQUEST_INSERT); return LEVEL_BENIGN;
        case B_AENDERN: Edit(REQUEST_CHANGE); return LEVEL_BENIGN;
        case B_LOESCHEN: Edit(REQUEST_DELETE); return LEVEL_BENIGN;
        case B_UNDO: Step(false); return LEVEL_BENIGN;
        case B_REDO: Step(true); return LEVEL_BENIGN;
        default: return FwWindow::OnAccepted();
        }
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
        ISavable& s = list_.GetSavable();
        ControlSetEnabled(B_REDO, s.CanRedo(1));
        ControlSetEnabled(B_UNDO, s.CanUndo(1));
        const bool any = !rows_.empty();
        ControlSetEnabled(B_AENDERN, any, B_LOESCHEN);
        int64_t sel = PropertyGet(B_LIST, Prop::Selected).Int();
        if (sel > static_cast<int64_t>(rows_.size()))
            sel = static_cast<int64_t>(rows_.size());
        if (sel < 1 && any)
            sel = 1;
        PropertySet(B_LIST, Prop::Selected, sel);
        FwWindow::Refresh(force);
        ControlDisplay(B_LIST);
    }

private:
    // The records in order of begin and end.
    void Reload()
    {
        rows_.clear();
        if (!FileIsOpen(TMPSCHICHT))
            return;
        TMPSCHICHT.Clear();   // the key read starts at the buffer's values
        FileSet(TMPSCHICHT, "KeyAnfangszeit");
        while (FileNext(TMPSCHICHT) == 0) {
            CSchicht s;
            s.Clear();
            s.FromRecord(TMPSCHICHT);
            rows_.push_back(s);
        }
    }

    // Makes the row-th record in key order TMPSCHICHT's current record.
    bool Fetch(int64_t row)
    {
        TMPSCHICHT.Clear();
        FileSet(TMPSCHICHT, "KeyAnfangszeit");
        for (int64_t r = 1; r <= row; ++r)
            if (FileNext(TMPSCHICHT) != 0)
                return false;
        return true;
    }

    void Edit(uint8_t request)
    {
        if (!FileIsOpen(TMPSCHICHT))
            return;
        if (request != REQUEST_INSERT) {
            const int64_t row = PropertyGet(B_LIST, Prop::Selected).Int();
            if (row < 1 || row > static_cast<int64_t>(rows_.size()) || !Fetch(row))
                return;
        }
        PendingRequest = request;
        UpdateSchichttyp();
        Reload();
        Refresh(true);
    }

    void Step(bool redo)
    {
        ISavable& s = list_.GetSavable();
        const uint8_t rc = redo ? s.Redo(1) : s.Undo(1);
        if (rc != 0) {
            MessageRequest m;
            m.text = "fehlgeschlagen!";
            MessageShow(m);
            Refresh(true);
            return;
        }
        // The list's step replaces what was edited here; the file must be free for the rewrite.
        FileClose(TMPSCHICHT);
        list_.SaveToTempFile();
        FileOpen(TMPSCHICHT, FILE_READ_WRITE | FILE_DENY_ALL);
        Reload();
        Refresh(true);
    }

    std::string Field(int64_t row, int field) const
    {
        if (row < 1 || row > static_cast<int64_t>(rows_.size()))
            return {};
        const CSchicht& s = rows_[static_cast<size_t>(row - 1)];
        const int column = format_.ColumnOfField(field);
        if (column < 1)
            return {};
        const int offset = field - format_.columns[static_cast<size_t>(column - 1)].firstField;
        switch (column) {
        case 1: return s.KURZBEZEICHNUNG;
        case 2: return s.BEZEICHNUNG;
        case 3: return std::to_string(StampToClock(s.TERMIN.BEGINN));
        case 4: return std::to_string(StampToListClock(s.TERMIN.ENDE));
        default: break;
        }
        if (column > 19)
            return {};
        const int n = (column - 5) / 3 + 1;
        const int part = (column - 5) % 3;
        const PAUSE p = s.PAUSEN[static_cast<size_t>(n - 1)];
        const bool empty = p.LAGE == 0 && p.DAUER == 0;
        switch (part) {
        case 0: return empty ? "0" : std::to_string(StampToListClock(int64_t(s.TERMIN.BEGINN) + p.LAGE));
        case 1: return empty ? "0" : std::to_string(MinutesToClock(p.DAUER));
        default:
            if (offset == 1)
                return !empty && p.BEZAHLT ? "1" : "0";
            return {};
        }
    }

    CSchichttypen& list_;
    ListFormat format_;
    std::vector<CSchicht> rows_;
};

} // namespace

int BrowseSchichttypen(CSchichttypen& list)
{
    PendingRequest = 0;
    LastResponse = 0;
    if (FileOpen(TMPSCHICHT, FILE_READ_WRITE | FILE_DENY_ALL) != 0) {
        MessageRequest m;
        m.text = "Die temporäre Datei der Schichttypen kann nicht geöffnet werden.|" + ErrorText();
        m.caption = "Temporäre Datei der Schichttypen";
        m.icon = MessageIcon::Exclamation;
        MessageShow(m);
        LastResponse = RESPONSE_CANCELLED;
        return RESPONSE_CANCELLED;
    }
    int answer;
    {
        SchichttypBrowseWindow w(list);
        answer = w.RunWindow();
    }
    FileClose(TMPSCHICHT);
    LastResponse = static_cast<uint8_t>(answer);
    return answer;
}

int UpdateSchichttyp()
{
    const uint8_t request = PendingRequest;
    PendingRequest = 0;
    LastResponse = 0;
    int answer = RESPONSE_CANCELLED;
    if (request == REQUEST_DELETE) {
        MessageRequest m;
        m.text = "Soll der gewählte Schichttyp gelöscht werden?";
        m.caption = "Schichttyp löschen";
        m.icon = MessageIcon::Question;
        m.buttonBits = BUTTON_YES | BUTTON_NO;
        m.defaultButton = BUTTON_NO;
        if (MessageShow(m) == BUTTON_YES && FileDelete(TMPSCHICHT) == 0)
            answer = RESPONSE_COMPLETED;
    } else {
        SchichttypFormWindow w(request);
        answer = w.RunWindow();
    }
    LastResponse = static_cast<uint8_t>(answer);
    return answer;
}

void InstallSchichttypDialoge()
{
    CSchichttypen::SetWindows([](CSchichttypen& list) { return BrowseSchichttypen(list); },
                              [] {
                                  PendingRequest = REQUEST_CHANGE;
                                  return UpdateSchichttyp();
                              });
}
