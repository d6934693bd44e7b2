#include "worksheets/FlexzeitDialog.h"

#include "core/Frame.h"
#include "core/TimeHelpers.h"
#include "platform/fw/FwWindow.h"
#include "platform/ui/MessageShow.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"
#include "plans/FlexAZ.h"

#include <array>
#include <string>

namespace {

enum Control {
    C_DATUM_PROMPT = 2, C_DATUM, C_BEGINN_PROMPT, C_BEGINN, C_ENDE_PROMPT, C_ENDE, C_ART_PROMPT, C_SCHICHTART,
    C_GROUPPAUSEN = 11, C_LAGE_HEAD, C_DAUER_HEAD,
    C_PAUSE1 = 14,   // per break: prompt, begin, duration, paid
    C_PAUSE_LAST = C_PAUSE1 + 5 * 4 - 1,
    C_BEZAHLT_PROMPT = 34, C_BEZAHLTEAZ, C_REIN_PROMPT, C_REINEAZ,
    C_OK = 39, C_CANCEL,
};

constexpr int PausePrompt(int n) { return C_PAUSE1 + 4 * (n - 1); }
constexpr int PauseLage(int n) { return PausePrompt(n) + 1; }
constexpr int PauseDauer(int n) { return PausePrompt(n) + 2; }
constexpr int PauseBezahlt(int n) { return PausePrompt(n) + 3; }

int32_t MinutesToClock(int64_t minutes) { return int32_t(std::max<int64_t>(0, minutes) * kClockPerMinute + 1); }

class FlexzeitWindow : public FwWindow {
public:
    FlexzeitWindow(CFlexAZ& plan, const CFlexSchicht& entry) : FwWindow("UpdateFlexzeit"), plan_(plan)
    {
        // The working copy: times and breaks as they stand, on the entry's own day line.
        work_.Clear();
        work_.ART = entry.ART >= 1 && entry.ART <= 4 ? entry.ART : ART_NORMAL;
        work_.TERMIN = entry.TERMIN;
        work_.PAUSEN = entry.PAUSEN;
        datum_ = entry.DATUM;
        art_ = work_.ART;
    }

    CFlexSchicht work_;
    int32_t datum_ = 0;
    int32_t art_ = ART_NORMAL;

    int Setup() override
    {
        const int level = FwWindow::Setup();
        WindowDesc d;
        d.name = "P1$FORMWINDOW";
        d.title = "Arbeitszeiten-Eintrag bearbeiten";
        d.icon = "mini_kalender.ico";
        d.w = 250;
        d.h = 220;
        for (int key : {Key::TAB, Key::SHIFT_TAB, Key::MOUSE_LEFT, Key::MOUSE_LEFT2, Key::ENTER, Key::SHIFT_ENTER})
            d.alertKeys.push_back(key);
        d.Add(Ctl::Prompt("Datum:").Id(C_DATUM_PROMPT).At(6, 8, 60, 10));
        d.Add(Ctl::Entry("@D17").Id(C_DATUM).Name("?TMPFLEX:DATUM").Use(UseVar(datum_))
                  .Tip("Datum, auf das dieser Arbeitszeiteintrag fällt").At(70, 7, 56, 12));
        d.Add(Ctl::Prompt("Beginn:").Id(C_BEGINN_PROMPT).At(6, 24, 60, 10));
        d.Add(Ctl::Entry("@T7").Id(C_BEGINN).Name("?BEGINN").Use(UseVar(beginn_)).At(70, 23, 40, 12));
        d.Add(Ctl::Prompt("Ende:").Id(C_ENDE_PROMPT).At(124, 24, 30, 10));
        d.Add(Ctl::Entry("@T7").Id(C_ENDE).Name("?ENDE").Use(UseVar(ende_)).At(158, 23, 40, 12));
        d.Add(Ctl::Prompt("Art:").Id(C_ART_PROMPT).At(6, 40, 60, 10));
        d.Add(Ctl::DropList().Id(C_SCHICHTART).Name("?SCHICHTART")
                  .From({"normal", "Freischicht", "Bereitschaft", "Rufbereitschaft"}).DropRows(4)
                  .Use(UseVar(art_)).At(70, 39, 80, 12));
        d.Add(Ctl::Group("").Id(C_GROUPPAUSEN).Name("?GROUPPAUSEN").At(4, 56, 242, 100));
        d.Add(Ctl::Prompt("Lage").Id(C_LAGE_HEAD).At(70, 60, 40, 10));
        d.Add(Ctl::Prompt("Dauer").Id(C_DAUER_HEAD).At(118, 60, 40, 10));
        for (int n = 1; n <= 5; ++n) {
            const size_t i = size_t(n - 1);
            const int y = 58 + 16 * n;
            const std::string no = std::to_string(n);
            d.Add(Ctl::Prompt("Pause " + no + ":").Id(PausePrompt(n)).At(10, y + 1, 50, 10));
            d.Add(Ctl::Entry("@T7B").Id(PauseLage(n)).Name("?PAUSELAGE_" + no).Use(UseVar(lage_[i])).At(70, y, 40, 12));
            d.Add(Ctl::Entry("@N4~ min~B").Id(PauseDauer(n)).Name("?PAUSEDAUER_" + no).Use(UseVar(dauer_[i]))
                      .At(118, y, 44, 12));
            d.Add(Ctl::Check(" bezahlt").Id(PauseBezahlt(n)).Name("?PAUSEN_" + no + "_BEZAHLT").Use(UseVar(bezahlt_[i]))
                      .At(172, y + 1, 60, 10));
        }
        d.Add(Ctl::Prompt("bezahlte Arbeitszeit:").Id(C_BEZAHLT_PROMPT).At(6, 164, 90, 10));
        d.Add(Ctl::Entry("@T7").Id(C_BEZAHLTEAZ).Name("?BEZAHLTEAZ").Use(UseVar(bezahltAz_)).At(100, 163, 40, 12));
        d.Add(Ctl::Prompt("reine Arbeitszeit:").Id(C_REIN_PROMPT).At(6, 180, 90, 10));
        d.Add(Ctl::Entry("@T7").Id(C_REINEAZ).Name("?REINEAZ").Use(UseVar(reineAz_)).At(100, 179, 40, 12));
        d.Add(Ctl::Button("OK").Id(C_OK).Name("?OK").Default().At(136, 200, 52, 14));
        d.Add(Ctl::Button("Abbrechen").Id(C_CANCEL).Name("?CANCEL").At(192, 200, 52, 14));
        CreateWindow(d);
        OpenWindow();
        SetOkControl(C_OK);
        SetCancelControl(C_CANCEL);
        Refresh(true);
        return level;
    }

    int OnAccepted() override
    {
        const int c = EventAccepted();
        if (c == C_OK || c == C_CANCEL)
            return FwWindow::OnAccepted();
        ControlUpdate(c);
        const bool pass = AcceptAllRunning();
        for (int n = 1; n <= 5; ++n) {
            const size_t i = size_t(n - 1);
            if (c == PauseLage(n)) {
                if (pass) {
                    const PAUSE p = work_.GetPause(n);
                    if (work_.TERMIN.BEGINN + p.LAGE + p.DAUER > work_.TERMIN.ENDE) {
                        ControlSelect(c);   // stops the pass: the break reaches past the end
                        return LEVEL_BENIGN;
                    }
                }
                if (lage_[i] != work_.PauseStart(n))
                    work_.PauseStart(n, lage_[i]);
            } else if (c == PauseDauer(n)) {
                const int32_t m = dauer_[i];
                work_.PauseMinutes(n, uint16_t(m < 0 ? 0 : m > 1440 ? 1440 : m));
            } else if (c == PauseBezahlt(n)) {
                work_.PausePaid(n, uint8_t(bezahlt_[i] != 0));
            }
        }
        // A value shown as the working copy gives it changes nothing: the accept-all pass for OK
        // takes every field again, and a shift of another kind shows working times of 0.
        switch (c) {
        case C_BEGINN:
            if (beginn_ != work_.StartTime())
                work_.StartTime(beginn_);
            break;
        case C_ENDE:
            if (ende_ != work_.EndTime())
                work_.EndTime(ende_);
            break;
        case C_BEZAHLTEAZ:
            // A duration: "24:00" is 24 hours here.
            if (bezahltAz_ != MinutesToClock(work_.PaidMinutes()))
                work_.PaidMinutes(TimeToMinutesLong(bezahltAz_));
            break;
        case C_REINEAZ:
            if (reineAz_ != MinutesToClock(work_.NetMinutes()))
                work_.NetMinutes(TimeToMinutesLong(reineAz_));
            break;
        case C_SCHICHTART: work_.ART = uint8_t(art_); break;
        default: break;
        }
        if (!pass)
            Refresh();
        return LEVEL_BENIGN;
    }

    int OnSelected() override
    {
        // A duration without a begin has nowhere to go: the begin is asked first.
        const int c = EventControl();
        for (int n = 1; n <= 5; ++n)
            if (c == PauseDauer(n) && work_.PauseStart(n) == 0) {
                ControlSelect(PauseLage(n));
                break;
            }
        return LEVEL_BENIGN;
    }

    int OnAlertKey() override
    {
        // "24" typed as the hour of a time of day is midnight. Durations keep it: 24:00 hours.
        const int focus = EventControl() ? EventControl() : ControlFocus();
        if (IsTimeOfDay(focus)) {
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
        // A blank date would stand before every other entry and stretch the plan over centuries.
        if (datum_ == 0) {
            Refuse("Bitte geben Sie das Datum des Arbeitszeiteintrags an.", "Datum fehlt", C_DATUM);
            return LEVEL_BENIGN;
        }
        CSchicht check = work_;
        if (check.SortPauses() == 5) {
            Refuse("Bitte überprüfen Sie Lage und Dauer der einzelnen Pausen", "Pausenzeiten überprüfen", 0);
            return LEVEL_BENIGN;
        }
        work_.DATUM = datum_;
        work_.ART = uint8_t(art_);
        if (plan_.FindOverlap(work_) == 0) {
            Refuse("Die eingegebene Arbeitszeit überschneidet sich mit einer bereits vorhandenen Arbeitszeit.",
                   "Arbeitszeiten überprüfen", 0);
            return LEVEL_BENIGN;
        }
        return FwWindow::OnCompleted();
    }

    void Refresh(bool force = false) override
    {
        if (DeferRefresh(force))
            return;
        ControlSetEnabled(C_GROUPPAUSEN, art_ == ART_NORMAL, C_PAUSE_LAST);
        work_.ART = uint8_t(art_);
        if (art_ != ART_NORMAL)
            for (int n = 1; n <= 5; ++n)
                work_.SetPause(n, PAUSE{});
        beginn_ = work_.StartTime();
        ende_ = work_.EndTime();
        bezahltAz_ = MinutesToClock(work_.PaidMinutes());
        reineAz_ = MinutesToClock(work_.NetMinutes());
        for (int n = 1; n <= 5; ++n) {
            const size_t i = size_t(n - 1);
            lage_[i] = work_.PauseStart(n);
            dauer_[i] = work_.PauseMinutes(n);
            bezahlt_[i] = work_.PausePaid(n);
        }
        FwWindow::Refresh(force);
    }

private:
    static bool IsTimeOfDay(int control)
    {
        if (control == C_BEGINN || control == C_ENDE)
            return true;
        for (int n = 1; n <= 5; ++n)
            if (control == PauseLage(n))
                return true;
        return false;
    }

    void Refuse(const std::string& text, const std::string& caption, int field)
    {
        MessageRequest m;
        m.text = text;
        m.caption = caption;
        m.icon = MessageIcon::Exclamation;
        m.buttonBits = BUTTON_OK;
        MessageShow(m);
        if (field)
            ControlSelect(field);
    }

    CFlexAZ& plan_;
    int32_t beginn_ = 0, ende_ = 0, bezahltAz_ = 0, reineAz_ = 0;
    std::array<int32_t, 5> lage_{}, dauer_{}, bezahlt_{};
};

} // namespace

int UpdateFlexzeit(CFlexAZ& plan, CFlexSchicht& entry)
{
    FlexzeitWindow w(plan, entry);
    w.RunWindow();
    LastResponse = uint8_t(w.Response);
    if (w.Response == RESPONSE_COMPLETED) {
        entry.DATUM = w.datum_;
        entry.ART = uint8_t(w.art_);
        entry.TERMIN = w.work_.TERMIN;
        entry.PAUSEN = w.work_.PAUSEN;
    }
    return w.Response;
}
