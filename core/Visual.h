#pragma once
// CVisual: the base of every object that owns a window running on a thread of its own. It starts
// the window's thread (Run), takes part in the start handshake (Init posts EventVisualReady to the
// waiting thread) and the close handshake (Reset posts EventVisualClosed), asks the owning thread
// to close (CloseRequest), lets another thread wait for a report without losing its own events
// (Wait) and lets another thread draw into the window (BeginTarget / EndTarget).
#include <functional>
#include <string>

class FwWindow;

class CVisual {
public:
    CVisual();
    virtual ~CVisual();
    CVisual(const CVisual&) = delete;
    CVisual& operator=(const CVisual&) = delete;

    void Construct();
    void Destruct() {}

    // Starts the object's window on a new thread; 0, or 3 when no thread could be started.
    // The base shows "Methode CVisual.Run wurde nicht überladen." and ends the program.
    virtual int Run();
    // Called by the started window procedure as soon as its window is open.
    virtual void Init(FwWindow* windowManager, int window);
    // Asks the owning thread to close the window; 0 when the request was made.
    virtual int CloseRequest();
    // Called by the window procedure when its window has gone.
    virtual void Reset();
    // Blocks the calling thread until `event` arrives, holding back its other events.
    virtual void Wait(int event);

    // Brings the window forward when it runs, else Run (and with `wait`, Wait for EventVisualReady).
    int Execute(bool wait);
    // Restores an iconized window and activates it; 3 when no window is open.
    int Activate();
    bool IsActive() const { return WIN != 0; }
    void PostToOwner(int event);
    void PostToWaiter(int event);
    void BeginTarget();
    void EndTarget();

    // For Run overrides: starts `procedure` on a new thread with this object's text as parameter
    // and stores the thread number in THREAD.
    int StartThread(std::function<void(const std::string& parameter)> procedure, int stackBytes,
                    const std::string& name);
    // The object a window procedure's parameter names (the text StartThread passes).
    static CVisual* FromParameter(const std::string& parameter);
    std::string AsParameter() const;

    int THREAD = 0;                    // the thread running the window; 0 none
    FwWindow* WINMANAGER = nullptr;    // the window object of the running window procedure
    int WIN = 0;                       // the open window; 0 none
    int WAITINGTHREAD = 0;             // the thread blocked in Wait on this object; 0 none
    int SETTARGETCTR = 0;              // 1 while another thread draws into the window
    bool IS_RUNNING = false;           // from Init to Reset

    // Called instead of ending the process when a class does not override Run (tests set it).
    static void (*OnRunNotOverridden)();
};
