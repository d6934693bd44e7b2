#pragma once
// The framework window: a window procedure's object. RunWindow runs Setup, the event loop and
// Teardown; OnEvent dispatches every event to the window's components and to the handlers below.
// Handlers return a level: 0 go on, 3 leave the event loop, 5 skip the event's default handling.
#include "platform/fw/FwLevel.h"
#include "platform/ui/Events.h"
#include "platform/ui/Property.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowModel.h"

#include <string>
#include <vector>

// Responses of a window procedure (FwResponse, LastResponse).
constexpr int RESPONSE_NONE = 0;
constexpr int RESPONSE_COMPLETED = 1;
constexpr int RESPONSE_CANCELLED = 2;

// A part of a window that follows the window's life (a tree beside a sheet, a row of a panel).
class WindowComponent {
public:
    virtual ~WindowComponent() = default;
    virtual void Release() {}
    virtual void Refresh(bool force) {}
    virtual bool NeedsRefresh() { return false; }
    virtual void RegisterHotKeys() {}
    virtual int OnEvent() { return LEVEL_BENIGN; }   // non-zero: the level of the window's handling
    virtual void StoreFromWindow() {}                 // take the screen into the data
    virtual void ShowInWindow() {}                    // show the data on the screen
};

class FwWindow {
public:
    // `procedureName` is pushed on the error object's name stack while the window runs; it is
    // also the settings section of the window's geometry unless KeepNoGeometry was called.
    explicit FwWindow(std::string procedureName = {});
    virtual ~FwWindow();
    FwWindow(const FwWindow&) = delete;
    FwWindow& operator=(const FwWindow&) = delete;

    // Setup; when that returned 0: AfterOpen and the event loop; then Teardown. Returns Response.
    int RunWindow();

    // Creates the window model from a description (on the calling thread) without opening it.
    int CreateWindow(const WindowDesc& desc);
    // Opens the created window and restores its geometry (when it keeps one).
    void OpenWindow();

    // Overridables, in the order a run calls them.
    virtual int Setup();               // push the name; derived: create and open the window
    virtual void AfterOpen() {}        // the window is open
    virtual int RunEventLoop();        // WindowAccept until the window closes or a handler says 3
    virtual int OnEvent();             // components, then OnWindowEvent or OnFieldEvent
    virtual int OnWindowEvent();       // close-window, close-down, timer, completed, deferred reset
    virtual int OnFieldEvent();        // the field events, below
    virtual int OnAccepted();          // OK starts the accept-all pass, Cancel ends cancelled
    virtual int OnNewSelection() { return LEVEL_BENIGN; }
    virtual int OnSelected() { return LEVEL_BENIGN; }
    virtual int OnAlertKey() { return LEVEL_BENIGN; }
    virtual int OnTimer() { return LEVEL_BENIGN; }
    virtual int OnCompleted();         // the accept-all pass went through: completed, close
    virtual void Refresh(bool force = false);   // components' Refresh, then ControlDisplay
    virtual int Teardown();            // components released, geometry stored, name popped

    // The window's controls for OK and Cancel (0 none).
    void SetOkControl(int control) { okControl_ = control; }
    void SetCancelControl(int control) { cancelControl_ = control; }

    // Components.
    void AddComponent(WindowComponent& component);
    void UpdateComponents();           // StoreFromWindow of every component
    void RegisterHotKeys();            // components' RegisterHotKeys

    // Refresh helpers for the program's windows: true when a refresh must not run now. During a
    // passive event it posts EventDeferredReset once (and remembers `force`); during an accept-all
    // pass it does nothing. The framework answers EventDeferredReset with Refresh(remembered force).
    bool DeferRefresh(bool force = false);
    bool AcceptAllRunning() const;

    // Geometry in the settings section named after the procedure.
    void KeepNoGeometry() { keepGeometry_ = false; }
    void RestoreGeometry();
    void StoreGeometry();

    int Win() const { return win_; }
    bool Opened() const { return opened_; }
    const std::string& ProcedureName() const { return procedureName_; }

    int Response = RESPONSE_NONE;

protected:
    int win_ = 0;
    bool opened_ = false;

private:
    std::string procedureName_;
    bool keepGeometry_ = true;
    bool pushed_ = false;
    int okControl_ = 0, cancelControl_ = 0;
    bool deferPending_ = false, deferForce_ = false;
    std::vector<WindowComponent*> components_;
};

// True for events that change no data: focus, suspend, resume, move, size, restore, maximize,
// iconize and the pre-alert key.
bool IsPassiveEventCode(int code);
