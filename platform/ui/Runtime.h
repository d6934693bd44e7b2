#pragma once
// Logical threads and the baton.
//
// The program runs in logical threads numbered 1 to 64 (thread 1 runs the frame). Each is a real
// thread, but only the holder of the one baton runs program code. A thread gives the baton away
// only while it waits for its next event, or while the renderer (or the headless driver) answers
// one of its requests (message box, file dialog, shell open, printing a report). The next holder
// is the thread that became ready first, so a run is repeatable. A started thread becomes ready at
// once but runs only when its starter gives way.
//
// The renderer or the headless driver is the host: it takes the baton between two holders
// (HostBaton), reads and changes the window models, posts the user's input and answers requests.
#include "platform/ui/Dialogs.h"
#include "platform/ui/Events.h"
#include "platform/ui/MessageShow.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class Report;

constexpr int MAX_THREADS = 64;

// ---- Operations the program calls ------------------------------------------------------------

// Starts `procedure` on a new logical thread with `parameter` (the owning object's text, for
// example). Returns the thread number, or 0 when 64 threads exist already. The stack size is
// recorded; real threads get at least the platform's default stack.
int ThreadStart(std::function<void(const std::string& parameter)> procedure,
                const std::string& parameter = {}, int stackBytes = 0,
                const std::string& name = {});

// The number of the calling logical thread; 0 when the caller is not one.
int ThreadCurrent();

// Posts an event to a thread's queue (thread 0: the calling thread). False when that thread does
// not exist. Posting never gives the baton away.
bool EventPost(int code, int control = 0, int thread = 0);
bool EventPost(const Event& event, int thread = 0);

// The event the calling thread is handling now (its last accepted event), and its parts.
int EventCurrent();
int EventControl();                 // the control of the current event (0 for window events 200h-3FFh)
int EventAccepted();                // the control of the current event when it is Accepted, else 0
const Event& EventCurrentRecord();
int EventKeyCode();                 // key of the current key or mouse event
int EventMouseX();
int EventMouseY();
int EventRow();                     // the row of a tree's expanded or contracted event

// The current event gets no default handling (a window stays open on close-window, ...).
void EventSkipDefault();

// Waits for the next event of the calling thread and makes it current, giving the baton away
// meanwhile. Window loops use WindowAccept (Window.h); this one belongs to no window.
Event EventWait();

// Gives the baton away in the middle of a long piece of work, so that the host can bring the
// windows up to date and deliver the user's input, and the other ready threads get their turn;
// then takes it back. The caller waits at most `hostWaitMs` for the host to come (a host that is
// busy elsewhere is not waited for longer). Does nothing when there is no host or the caller does
// not hold the baton. Never throws: during an abort it answers true, and the caller ends its work
// and unwinds at its next wait.
bool ThreadGiveWay(int hostWaitMs);

// Takes the first event of the calling thread's queue with this code for this window (and this
// control, unless control is -1) out of the queue. For work that looks for "Abbrechen" between
// two give-ways without handling the other events yet.
bool EventTake(int code, int window, int control = -1);

// The runtime's clock in hundredths of a second since the runtime started. Under the headless
// driver it is a virtual clock that moves only when the driver advances it.
int64_t UiClock();

// ---- Requests answered by the host -----------------------------------------------------------

// A request of a logical thread that the host answers while the thread waits without the baton.
struct UiRequest {
    enum class Kind { Message, FileDialog, ShellOpen, Popup, Print };
    Kind kind = Kind::Message;
    int thread = 0;                 // the asking thread
    int id = 0;                     // unique per run
    // Message
    MessageRequest message;
    // File dialog
    std::string title, filter, fileName;
    bool save = false;
    // Shell open: the target and its parts, each passed as one argument, never through a shell
    std::string file, parameters, directory;
    bool minimized = false;
    // Popup menu: its items, at x, y of a window (-1, -1: at the mouse)
    std::vector<PopupEntry> popup;
    int x = -1, y = -1, window = 0;
    // Print: the asking thread's report, to the PDF file in `fileName` (empty: the printer)
    const Report* report = nullptr;
    // Answer
    bool answered = false;
    int answer = 0;                 // message: the button value; file dialog: 1 chosen, 0 cancelled;
                                    // popup: the chosen item's number, 0 dismissed;
                                    // print: 0 done, else failed
    std::string answerText;         // file dialog: the chosen path; print: why it failed
};

// Posts the request and waits, without the baton, until the host has answered it. Without a host
// (or when the caller is no logical thread) the request is answered at once by `fallback`.
void RequestAndWait(UiRequest& request, const std::function<void(UiRequest&)>& fallback);

// ---- The host: renderer or headless driver ---------------------------------------------------

class UiHost {
public:
    virtual ~UiHost() = default;
    // Called without the runtime's lock when a request is posted. Nothing wakes the host when
    // the threads go idle: it looks for that itself (the renderer by a short timer, the driver by
    // WaitIdle).
    virtual void Wake() = 0;
};

namespace Runtime {

// A thread's state as the host sees it.
enum class ThreadState { Free, Ready, Running, WaitingEvent, WaitingRequest, GivingWay, Ended };

struct ThreadInfo {
    int id = 0;
    ThreadState state = ThreadState::Free;
    std::string name;               // the procedure or the name given to ThreadStart
    int stackBytes = 0;
    size_t queued = 0;              // events waiting in its queue
    std::string waitingFor;         // a description of what it waits for
};

// Starts a fresh run: no threads, empty queues, clock 0. Fails when threads of an earlier run
// are still alive.
void Reset(bool virtualClock);

// Installs the host (nullptr: none). Requests posted without a host are answered by fallbacks.
void SetHost(UiHost* host);
bool HasHost();

// Starts logical thread 1 with `procedure`. It holds the baton as soon as nobody else does.
int StartMain(std::function<void()> procedure, const std::string& name = "Main");

// The host takes the baton (waiting until the current holder gives way) and gives it back.
void HostAcquire();
bool HostTryAcquire(int timeoutMs);   // false when the holder did not give way in time
void HostRelease();
bool HostHoldsBaton();

// A scope that holds the baton for the host. A holder that does not give way within `boundMs`
// is a hang: the constructor throws std::runtime_error with Describe() instead of waiting on.
class HostBaton {
public:
    explicit HostBaton(int boundMs = 60000);
    ~HostBaton() { HostRelease(); }
    HostBaton(const HostBaton&) = delete;
    HostBaton& operator=(const HostBaton&) = delete;
};

// True when no thread holds or waits for the baton: every living thread waits for an event with
// an empty queue or waits for an answer. A thread that gives way is busy, not idle.
bool IsIdle();

// Waits until IsIdle or until `timeoutMs` passed; false on time-out.
bool WaitIdle(int timeoutMs);

// Waits until every logical thread has ended or `timeoutMs` passed; false on time-out.
bool WaitAllEnded(int timeoutMs);

// Unanswered requests, oldest first; Answer marks one answered and readies its thread.
std::vector<UiRequest*> PendingRequests();
void Answer(UiRequest& request, int answer, const std::string& answerText = {});

// Advances the virtual clock, posting every timer event that falls due on the way, each at its
// due time, and letting the threads run after each (bounded by `timeoutMs` per step).
bool AdvanceClock(int64_t hundredths, int timeoutMs);

// Snapshot of every logical thread, and a readable description of who holds the baton and which
// threads wait on what (for failure messages).
std::vector<ThreadInfo> Threads();
std::string Describe();

// Ends a run that cannot finish: every waiting thread is woken with an abort that unwinds its
// stack; threads that still run program code are left alone. Returns the threads that did not end
// within `timeoutMs`.
std::vector<int> Abort(int timeoutMs);

// Whether the calling OS thread may touch window models now: it holds the baton (as a logical
// thread or as the host), or no run is active.
bool MayTouchModels();

// Timer bookkeeping of windows (Window.cpp): interval in hundredths, 0 stops the timer.
void SetWindowTimer(int window, int thread, int interval);
void DropWindowTimer(int window);

} // namespace Runtime

// Thrown inside a logical thread's waits when the run is aborted; the thread's top catches it.
struct ThreadAborted {};
