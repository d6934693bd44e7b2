#include "platform/fw/FwWindow.h"

#include "platform/fw/FwSettings.h"
#include "platform/ui/Runtime.h"

bool IsPassiveEventCode(int code)
{
    switch (code) {
    case EVENT_GAIN_FOCUS:
    case EVENT_LOSE_FOCUS:
    case EVENT_SUSPEND:
    case EVENT_RESUME:
    case EVENT_MOVE:
    case EVENT_SIZE:
    case EVENT_RESTORE:
    case EVENT_MAXIMIZE:
    case EVENT_ICONIZE:
    case EVENT_PRE_ALERT_KEY:
        return true;
    default:
        return false;
    }
}

FwWindow::FwWindow(std::string procedureName) : procedureName_(std::move(procedureName)) {}

FwWindow::~FwWindow()
{
    // A window that never ran its teardown is closed with its object.
    if (win_ && WindowExists(win_) && WindowThread(win_) == ThreadCurrent())
        WindowClose(win_);
}

int FwWindow::RunWindow()
{
    if (Setup() == LEVEL_BENIGN) {
        if (win_ && !opened_)
            OpenWindow();
        if (win_) {
            AfterOpen();
            RunEventLoop();
        }
    }
    Teardown();
    return Response;
}

int FwWindow::CreateWindow(const WindowDesc& desc)
{
    win_ = WindowCreate(desc);
    return win_;
}

void FwWindow::OpenWindow()
{
    if (!win_ || opened_)
        return;
    WindowOpen(win_);
    opened_ = true;
    if (keepGeometry_ && !procedureName_.empty())
        RestoreGeometry();
}

int FwWindow::Setup()
{
    if (!procedureName_.empty() && !pushed_) {
        FwPushProcedure(procedureName_);
        pushed_ = true;
    }
    return LEVEL_BENIGN;
}

int FwWindow::RunEventLoop()
{
    while (WindowAccept(win_)) {
        int level = OnEvent();
        if (level == LEVEL_FATAL)
            break;
        if (level == LEVEL_NOTIFY)
            EventSkipDefault();
    }
    return Response;
}

int FwWindow::OnEvent()
{
    for (WindowComponent* c : components_)
        if (int level = c->OnEvent(); level != LEVEL_BENIGN)
            return level;
    return IsWindowEvent(EventCurrent()) ? OnWindowEvent() : OnFieldEvent();
}

int FwWindow::OnWindowEvent()
{
    switch (EventCurrent()) {
    case EVENT_TIMER:
        return OnTimer();
    case EVENT_COMPLETED:
        return OnCompleted();
    case EventDeferredReset: {
        bool force = deferForce_;
        deferPending_ = false;
        deferForce_ = false;
        Refresh(force);
        return LEVEL_BENIGN;
    }
    case EVENT_CLOSE_WINDOW:
    case EVENT_CLOSE_DOWN:
        // A close meant for a window under this one is not this window's.
        if (EventCurrentRecord().window == 0 || EventCurrentRecord().window == win_)
            if (Response == RESPONSE_NONE)
                Response = RESPONSE_CANCELLED;
        return LEVEL_BENIGN;
    default:
        return LEVEL_BENIGN;
    }
}

int FwWindow::OnFieldEvent()
{
    switch (EventCurrent()) {
    case EVENT_ACCEPTED:
        return OnAccepted();
    case EVENT_NEW_SELECTION:
        return OnNewSelection();
    case EVENT_SELECTED:
        return OnSelected();
    case EVENT_ALERT_KEY:
        return OnAlertKey();
    default:
        return LEVEL_BENIGN;
    }
}

int FwWindow::OnAccepted()
{
    int control = EventAccepted();
    if (control != 0 && control == okControl_) {
        WindowAcceptAll(win_);
        return LEVEL_BENIGN;
    }
    if (control != 0 && control == cancelControl_) {
        Response = RESPONSE_CANCELLED;
        return LEVEL_FATAL;
    }
    return LEVEL_BENIGN;
}

int FwWindow::OnCompleted()
{
    Response = RESPONSE_COMPLETED;
    return LEVEL_FATAL;
}

void FwWindow::Refresh(bool force)
{
    for (WindowComponent* c : components_)
        c->Refresh(force);
    if (win_)
        WindowDisplay(win_);
}

int FwWindow::Teardown()
{
    for (WindowComponent* c : components_)
        c->Release();
    if (opened_ && keepGeometry_ && !procedureName_.empty())
        StoreGeometry();
    if (pushed_) {
        FwPopProcedure();
        pushed_ = false;
    }
    if (win_ && WindowExists(win_))
        WindowClose(win_);
    return LEVEL_BENIGN;
}

void FwWindow::AddComponent(WindowComponent& component) { components_.push_back(&component); }

void FwWindow::UpdateComponents()
{
    for (WindowComponent* c : components_)
        c->StoreFromWindow();
}

void FwWindow::RegisterHotKeys()
{
    for (WindowComponent* c : components_)
        c->RegisterHotKeys();
}

bool FwWindow::AcceptAllRunning() const
{
    return win_ && PropertyGet(win_, 0, Prop::AcceptAll, 0).Bool();
}

bool FwWindow::DeferRefresh(bool force)
{
    if (AcceptAllRunning())
        return true;
    if (IsPassiveEventCode(EventCurrent())) {
        if (!deferPending_) {
            deferPending_ = true;
            // Meant for this window: a dialog opened meanwhile leaves it for this window's loop.
            Event e;
            e.code = EventDeferredReset;
            e.window = win_;
            EventPost(e);
        }
        deferForce_ = deferForce_ || force;
        return true;
    }
    return false;
}

void FwWindow::RestoreGeometry() { FwRestoreWindowGeometry(win_, procedureName_); }

void FwWindow::StoreGeometry() { FwStoreWindowGeometry(win_, procedureName_); }
