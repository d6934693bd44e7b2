#include "worksheets/FlexzeitDialog.h"

#include "assessment/SchichtzeitFelder.h"
#include "core/Frame.h"
#include "core/TimeHelpers.h"
#include "platform/fw/FwWindow.h"
#include "platform/ui/MessageShow.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"
#include "plans/FlexAZ.h"
#include "worksheets/EditorSupport.h"

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
        d.Add(Ctl::Entry("@T7").Id(C_BEGINN).Name("?BEGINN").Use(UseVar(felder_.beginn)).At(70, 23, 40, 12));
        d.Add(Ctl::Prompt("Ende:").Id(C_ENDE_PROMPT).At(124, 24, 30, 10));
        d.Add(Ctl::Entry("@T7").Id(C_ENDE).Name("?ENDE").Use(UseVar(felder_.ende)).At(158, 23, 40, 12));
        d.Add(Ctl::Prompt("Art:").Id(C_ART_PROMPT).At(6, 40, 60, 10));
        d.Add(Ctl::DropList().Id(C_SCHICHTART).Name("?SCHICHTART")
                  .From({"normal", "Freischicht", "Bereitschaft", "Rufbereitschaft"}).DropRows(4)
                  .Use(UseVar(art_)).At(70, 39, 80, 12));
        d.Add(Ctl::Group("").Id(C_GROUPPAUSEN).Name("?GROUPPAUSEN").At(4, 56, 242, 100));
        d.Add(Ctl::Prompt("Lage").Id(C_LAGE_HEAD).At(70, 60, 40, 10));
        d.Add(Ctl::Prompt("Dauer").Id(C_DAUER_HEAD).At(118, 60, 40, 10));
        felder_.AddPauseRows(d, {74, 16, 10, 50, 70, 118, 44, 172, 12, 1, "@N4~ min~B"});
        d.Add(Ctl::Prompt("bezahlte Arbeitszeit:").Id(C_BEZAHLT_PROMPT).At(6, 164, 90, 10));
        d.Add(Ctl::Entry("@T7").Id(C_BEZAHLTEAZ).Name("?BEZAHLTEAZ").Use(UseVar(felder_.bezahltAz)).At(100, 163, 40, 12));
        d.Add(Ctl::Prompt("reine Arbeitszeit:").Id(C_REIN_PROMPT).At(6, 180, 90, 10));
        d.Add(Ctl::Entry("@T7").Id(C_REINEAZ).Name("?REINEAZ").Use(UseVar(felder_.reineAz)).At(100, 179, 40, 12));
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
        if (!felder_.Accept(work_, c, pass))
            return LEVEL_BENIGN;
        if (c == C_SCHICHTART)
            work_.ART = uint8_t(art_);
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
        felder_.Show(work_);
        FwWindow::Refresh(force);
    }

private:
    bool IsTimeOfDay(int control) const
    {
        return control == C_BEGINN || control == C_ENDE || felder_.IsPauseLage(control);
    }

    void Refuse(const std::string& text, const std::string& caption, int field)
    {
        ShowInfo(text, caption, MessageIcon::Exclamation);
        if (field)
            ControlSelect(field);
    }

    CFlexAZ& plan_;
    CSchichtzeitFelder felder_{{C_BEGINN, C_ENDE, C_BEZAHLTEAZ, C_REINEAZ, C_PAUSE1}};
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
