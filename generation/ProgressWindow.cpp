#include "generation/ProgressWindow.h"

#include "platform/ui/Runtime.h"
#include "platform/values/Picture.h"

#include <utility>

namespace {

bool& OwnerClosingFlag()
{
    thread_local bool closing = false;
    return closing;
}

constexpr const char* kTitle = "Berechnung läuft...";
constexpr const char* kIcon = "generieren.ico";
constexpr const char* kBitteWarten = "Bitte warten Sie, bis Varn 4 das Ergebnis errechnet hat";
constexpr const char* kPercentStart = "0 % fertiggestellt.";
constexpr const char* kMaxTimeStart = "10:00";

// The search's window.
enum OptimizerControl {
    OPT_CAPTION = 1, OPT_MESSAGE, OPT_GROUP, OPT_PROGRESS, OPT_PERCENT, OPT_MAXTIME,
    OPT_INFO1, OPT_INFO2, OPT_INFO3, OPT_INFO4, OPT_PANEL, OPT_CANCEL,
    OPT_MAXTIME_PROMPT, OPT_UNIT,
};

// The shift demand generator's window.
enum ShiftDemandControl {
    SBP_MESSAGE = 1, SBP_PROGRESS, SBP_PERCENT, SBP_MAXTIME, SBP_CANCEL,
    SBP_MAXTIME_PROMPT, SBP_UNIT, SBP_PANEL,
};

WindowDesc OptimizerDescription()
{
    WindowDesc d;
    d.name = "P33$PROGRESS";
    d.title = kTitle;
    d.icon = kIcon;
    d.fontName = "Tahoma";
    d.w = 236;
    d.h = 150;
    d.timer = kProgressTimer;
    d.Add(Ctl::String("").Id(OPT_CAPTION).Name("?CAPTION").Font("Tahoma", 8, 700).At(8, 6, 220, 10));
    d.Add(Ctl::String(kBitteWarten).Id(OPT_MESSAGE).Name("?MESSAGE").At(8, 18, 220, 10));
    d.Add(Ctl::Group().Id(OPT_GROUP).At(4, 30, 228, 92));
    d.Add(Ctl::Progress(0, 100).Id(OPT_PROGRESS).Name("?PROGRESS").At(10, 40, 216, 10));
    d.Add(Ctl::String(kPercentStart).Id(OPT_PERCENT).Name("?PERCENT").At(10, 53, 216, 10));
    d.Add(Ctl::Prompt("max. Berechnungsdauer:").Id(OPT_MAXTIME_PROMPT).At(10, 66, 90, 10));
    d.Add(Ctl::String(kMaxTimeStart).Id(OPT_MAXTIME).Name("?MAXTIME").At(102, 66, 30, 10));
    d.Add(Ctl::String("Std:Min").Id(OPT_UNIT).At(134, 66, 40, 10));
    d.Add(Ctl::String("Info 1").Id(OPT_INFO1).Name("?INFO1").At(10, 80, 108, 10));
    d.Add(Ctl::String("Info 2").Id(OPT_INFO2).Name("?INFO2").At(120, 80, 106, 10));
    d.Add(Ctl::String("Info 3").Id(OPT_INFO3).Name("?INFO3").At(10, 94, 216, 10));
    d.Add(Ctl::String("Info 4").Id(OPT_INFO4).Name("?INFO4").At(10, 108, 216, 10));
    d.Add(Ctl::Panel().Id(OPT_PANEL).At(0, 126, 236, 24));
    d.Add(Ctl::Button("Abbrechen").Id(OPT_CANCEL).Name("?CANCEL").At(172, 130, 56, 14));
    return d;
}

WindowDesc ShiftDemandDescription()
{
    WindowDesc d;
    d.name = "P10$WINDOW";
    d.title = kTitle;
    d.icon = kIcon;
    d.fontName = "Tahoma";
    d.w = 236;
    d.h = 96;
    d.timer = kProgressTimer;
    d.Add(Ctl::String(kBitteWarten).Id(SBP_MESSAGE).Name("?MESSAGE").At(8, 8, 220, 10));
    d.Add(Ctl::Progress(0, 100).Id(SBP_PROGRESS).Name("?PROGRESS").At(8, 24, 220, 10));
    d.Add(Ctl::String(kPercentStart).Id(SBP_PERCENT).Name("?PERCENT").At(8, 38, 220, 10));
    d.Add(Ctl::Prompt("max. Berechnungsdauer:").Id(SBP_MAXTIME_PROMPT).At(8, 52, 90, 10));
    d.Add(Ctl::String(kMaxTimeStart).Id(SBP_MAXTIME).Name("?MAXTIME").At(100, 52, 30, 10));
    d.Add(Ctl::String("Std:Min").Id(SBP_UNIT).At(132, 52, 40, 10));
    d.Add(Ctl::Panel().Id(SBP_PANEL).At(0, 68, 236, 28));
    d.Add(Ctl::Button("Abbrechen").Id(SBP_CANCEL).Name("?CANCEL").At(172, 74, 56, 14));
    return d;
}

} // namespace

int CProgressWindow::Pick(int optimizer, int shiftDemand) const
{
    return layout_ == ProgressLayout::Optimizer ? optimizer : shiftDemand;
}

CProgressWindow::CProgressWindow(ProgressLayout layout) : layout_(layout)
{
    // A window of the running command, not a procedure of its own: it keeps no geometry.
    KeepNoGeometry();
}

WindowDesc CProgressWindow::Description(ProgressLayout layout)
{
    return layout == ProgressLayout::Optimizer ? OptimizerDescription() : ShiftDemandDescription();
}

int CProgressWindow::MessageControl() const
{
    return Pick(OPT_MESSAGE, SBP_MESSAGE);
}

int CProgressWindow::ProgressControl() const
{
    return Pick(OPT_PROGRESS, SBP_PROGRESS);
}

int CProgressWindow::PercentControl() const
{
    return Pick(OPT_PERCENT, SBP_PERCENT);
}

int CProgressWindow::MaxTimeControl() const
{
    return Pick(OPT_MAXTIME, SBP_MAXTIME);
}

int CProgressWindow::CancelControl() const
{
    return Pick(OPT_CANCEL, SBP_CANCEL);
}

int CProgressWindow::InfoControl(int n) const
{
    if (layout_ != ProgressLayout::Optimizer || n < 1 || n > 4)
        return 0;
    return OPT_INFO1 + n - 1;
}

int CProgressWindow::Create(UseVar progress)
{
    OwnerClosingFlag() = false;
    WindowDesc d = Description(layout_);
    for (ControlDesc& c : d.controls)
        if (c.id == ProgressControl())
            c.Use(std::move(progress));
    cancelled_ = false;
    Setup();
    return CreateWindow(d);
}

void CProgressWindow::Open() { OpenWindow(); }

bool CProgressWindow::Alive() const { return win_ != 0 && WindowExists(win_); }

bool TakeProgressOwnerClosing() { return std::exchange(OwnerClosingFlag(), false); }

void CProgressWindow::RunLoop(const std::function<bool()>& step, const std::function<void()>& afterEvent)
{
    if (!Alive())
        return;
    step_ = &step;
    while (WindowAccept(win_)) {
        const int level = OnEvent();
        if (level == LEVEL_FATAL)
            break;
        if (level == LEVEL_NOTIFY)
            EventSkipDefault();
        if (afterEvent)
            afterEvent();
    }
    step_ = nullptr;
}

bool CProgressWindow::PollCancel()
{
    if (!Alive() || cancelled_)
        return cancelled_;
    Display();
    if (ThreadGiveWay(kProgressGiveWayMs)) {
        cancelled_ = true;      // the program is being ended
        return true;
    }
    if (EventTake(EVENT_ACCEPTED, win_, CancelControl()) || EventTake(EVENT_CLOSE_WINDOW, win_))
        cancelled_ = true;
    return cancelled_;
}

int CProgressWindow::OnTimer()
{
    if (step_ && !(*step_)())
        return LEVEL_FATAL;
    return LEVEL_BENIGN;
}

int CProgressWindow::OnAccepted()
{
    if (EventAccepted() == CancelControl()) {
        cancelled_ = true;
        return LEVEL_FATAL;
    }
    return LEVEL_BENIGN;
}

int CProgressWindow::OnWindowEvent()
{
    // The window the work belongs to is being closed (its project closes or the program ends):
    // the run ends as by "Abbrechen", and the close goes on to that window once the run is over,
    // instead of waiting behind the whole time limit.
    const Event& e = EventCurrentRecord();
    if ((e.code == EVENT_CLOSE_WINDOW || e.code == EVENT_CLOSE_DOWN) && e.window != 0 && e.window != win_) {
        const Event again = e;
        EventSkipDefault();
        EventPost(again, ThreadCurrent());
        cancelled_ = closedByOwner_ = true;
        OwnerClosingFlag() = true;
        return LEVEL_FATAL;
    }
    // Closing the window is cancelling: the window itself stays until its owner has shown the
    // result over it and closes it.
    if (EventCurrent() == EVENT_CLOSE_WINDOW &&
        (EventCurrentRecord().window == 0 || EventCurrentRecord().window == win_)) {
        cancelled_ = true;
        EventSkipDefault();
        return LEVEL_FATAL;
    }
    return FwWindow::OnWindowEvent();
}

void CProgressWindow::SetText(int control, const std::string& text)
{
    if (Alive() && control != 0)
        PropertySet(win_, control, Prop::Text, text, 0);
}

void CProgressWindow::SetRange(long low, long high)
{
    if (!Alive())
        return;
    PropertySet(win_, ProgressControl(), Prop::RangeLow, low, 0);
    PropertySet(win_, ProgressControl(), Prop::RangeHigh, high, 0);
}

void CProgressWindow::ShowProgress()
{
    if (!Alive())
        return;
    const int before = WindowSetTarget(win_);
    ControlDisplay(ProgressControl());
    WindowSetTarget(before);
}

void CProgressWindow::ShowMaxTime(long timeValue)
{
    SetText(MaxTimeControl(), FormatPicture(timeValue, "@T7"));
}

void CProgressWindow::Display()
{
    if (Alive())
        WindowDisplay(win_);
}

void CProgressWindow::Close() { Teardown(); }
