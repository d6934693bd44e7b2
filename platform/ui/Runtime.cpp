#include "platform/ui/Runtime.h"

#include "platform/ui/RuntimeInternal.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <exception>
#include <map>
#include <mutex>
#include <sstream>
#include <stdexcept>
#include <thread>

using Runtime::ThreadState;

namespace {

constexpr int HOST = -1;

struct Slot {
    ThreadState state = ThreadState::Free;
    std::string name;
    int stackBytes = 0;
    std::deque<Event> queue;
    std::condition_variable cv;
    std::thread os;
    std::string waitingFor;
};

struct Timer {
    int thread = 0;
    int interval = 0;
    int64_t due = 0;
};

struct State {
    std::mutex m;
    Slot slots[MAX_THREADS + 1];
    int holder = 0;                 // 0 nobody, HOST the host, else a thread
    int hostDepth = 0;
    std::deque<int> ready;          // threads (and the host) waiting for the baton, in order
    int givingWay = 0;              // threads that gave way and wait for the host to have had a turn
    bool hostInvited = false;       // a thread gave way: the free baton waits for the host
    std::condition_variable hostCv; // the host waits for the baton, for idle and for ends
    UiHost* host = nullptr;
    bool active = false;
    bool aborting = false;
    unsigned generation = 0;        // counts runs; a thread let go by an abort must not touch a later run
    bool virtualClock = true;
    int64_t virtualNow = 0;
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    std::vector<UiRequest*> requests;
    int nextRequest = 0;
    std::map<int, Timer> timers;    // by window
    std::condition_variable timerCv;
    std::thread timerThread;
    bool timerStop = false;
};

State& S()
{
    static State s;
    return s;
}

thread_local int tThread = 0;       // the logical thread this OS thread runs, 0 none
thread_local bool tHost = false;    // this OS thread holds the baton as the host
thread_local Event tCurrent;
thread_local bool tSkip = false;

int64_t NowLocked(State& s)
{
    if (s.virtualClock)
        return s.virtualNow;
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - s.start)
               .count() / 10;
}

// Hands the baton to the next ready thread, or leaves it free. Called with the lock held and
// the baton just given up.
void Dispatch(State& s)
{
    s.holder = 0;
    if (s.aborting) {
        // Unwind waiting threads one at a time, each holding the baton while its stack unwinds.
        for (int t = 1; t <= MAX_THREADS; ++t) {
            auto st = s.slots[t].state;
            if (st == ThreadState::Ready || st == ThreadState::WaitingEvent || st == ThreadState::WaitingRequest ||
                st == ThreadState::GivingWay) {
                s.holder = t;
                s.slots[t].cv.notify_all();
                return;
            }
        }
        s.hostCv.notify_all();
        return;
    }
    if (s.hostInvited) {
        // Kept for the host, which may only ever try without waiting (the renderer's pump).
        s.hostCv.notify_all();
        return;
    }
    if (!s.ready.empty()) {
        int next = s.ready.front();
        s.ready.pop_front();
        s.holder = next;
        if (next == HOST)
            s.hostCv.notify_all();
        else {
            s.slots[next].state = ThreadState::Running;
            s.slots[next].cv.notify_all();
        }
        return;
    }
    s.hostCv.notify_all();          // idle
}

void MakeReady(State& s, int t)
{
    Slot& sl = s.slots[t];
    sl.state = ThreadState::Ready;
    sl.waitingFor.clear();
    s.ready.push_back(t);
    if (s.holder == 0)
        Dispatch(s);
}

// Waits until the calling thread holds the baton again. During an abort the thread unwinds.
void WaitTurn(State& s, std::unique_lock<std::mutex>& lk, int t)
{
    s.slots[t].cv.wait(lk, [&] { return s.holder == t; });
    s.slots[t].state = ThreadState::Running;
    if (s.aborting && std::uncaught_exceptions() == 0)
        throw ThreadAborted{};
}

void PostLocked(State& s, const Event& e, int t)
{
    Slot& sl = s.slots[t];
    sl.queue.push_back(e);
    if (sl.state == ThreadState::WaitingEvent)
        MakeReady(s, t);
}

bool QueuedLocked(State& s, int thread, int code, int window)
{
    if (thread < 1 || thread > MAX_THREADS)
        return false;
    for (const Event& e : s.slots[thread].queue)
        if (e.code == code && e.window == window)
            return true;
    return false;
}

bool Alive(ThreadState st)
{
    return st != ThreadState::Free && st != ThreadState::Ended;
}

const char* StateName(ThreadState st)
{
    switch (st) {
    case ThreadState::Free: return "frei";
    case ThreadState::Ready: return "bereit";
    case ThreadState::Running: return "läuft";
    case ThreadState::WaitingEvent: return "wartet auf Ereignis";
    case ThreadState::WaitingRequest: return "wartet auf Antwort";
    case ThreadState::GivingWay: return "lässt die Fenster laufen";
    case ThreadState::Ended: return "beendet";
    }
    return "?";
}

void JoinEnded(State& s)
{
    for (int t = 1; t <= MAX_THREADS; ++t) {
        Slot& sl = s.slots[t];
        if (sl.state == ThreadState::Ended && sl.os.joinable()) {
            sl.os.join();
            sl.state = ThreadState::Free;
        }
    }
}

// The body of every logical thread.
void ThreadMain(int t, unsigned generation, std::function<void(const std::string&)> procedure, std::string parameter)
{
    State& s = S();
    tThread = t;
    bool holding = false;
    try {
        {
            std::unique_lock lk(s.m);
            WaitTurn(s, lk, t);
        }
        holding = true;
        procedure(parameter);
    } catch (const ThreadAborted&) {
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Thread %d endete mit einem Fehler: %s\n", t, e.what());
    } catch (...) {
        std::fprintf(stderr, "Thread %d endete mit einem unbekannten Fehler\n", t);
    }
    {
        std::unique_lock lk(s.m);
        if (s.generation != generation)
            return;     // let go by an abort; its slot belongs to another run now
        holding = s.holder == t;
    }
    if (holding) {
        try {
            RuntimeInternal::WindowsOnThreadEnd(t);
        } catch (...) {
        }
    }
    std::unique_lock lk(s.m);
    if (s.generation != generation)
        return;
    Slot& sl = s.slots[t];
    sl.queue.clear();
    sl.state = ThreadState::Ended;
    sl.waitingFor.clear();
    s.ready.erase(std::remove(s.ready.begin(), s.ready.end(), t), s.ready.end());
    if (s.holder == t)
        Dispatch(s);
    s.hostCv.notify_all();
    // Nothing touches the lock after this point, so the slot can be joined under it.
}

void TimerLoop()
{
    State& s = S();
    std::unique_lock lk(s.m);
    while (!s.timerStop) {
        int64_t now = NowLocked(s);
        int64_t next = -1;
        for (auto& [win, tm] : s.timers) {
            if (tm.interval <= 0)
                continue;
            if (tm.due <= now) {
                if (!QueuedLocked(s, tm.thread, EVENT_TIMER, win) && Alive(s.slots[tm.thread].state)) {
                    Event e;
                    e.code = EVENT_TIMER;
                    e.window = win;
                    PostLocked(s, e, tm.thread);
                }
                tm.due = now + tm.interval;
            }
            if (next < 0 || tm.due < next)
                next = tm.due;
        }
        if (next < 0)
            s.timerCv.wait(lk);
        else
            s.timerCv.wait_for(lk, std::chrono::milliseconds((next - now) * 10));
    }
}

} // namespace

// ---- Internal ----------------------------------------------------------------------------------

namespace RuntimeInternal {

Event& Current() { return tCurrent; }
bool& SkipDefault() { return tSkip; }

bool Queued(int thread, int code, int window)
{
    std::lock_guard lk(S().m);
    return QueuedLocked(S(), thread, code, window);
}

void DropQueued(int thread, int window)
{
    State& s = S();
    if (thread < 1 || thread > MAX_THREADS)
        return;
    std::lock_guard lk(s.m);
    auto& q = s.slots[thread].queue;
    q.erase(std::remove_if(q.begin(), q.end(), [&](const Event& e) { return e.window == window; }), q.end());
}

} // namespace RuntimeInternal

// ---- Program operations ------------------------------------------------------------------------

int ThreadStart(std::function<void(const std::string&)> procedure, const std::string& parameter,
                int stackBytes, const std::string& name)
{
    State& s = S();
    std::unique_lock lk(s.m);
    JoinEnded(s);
    int t = 0;
    for (int i = 1; i <= MAX_THREADS; ++i)
        if (s.slots[i].state == ThreadState::Free) {
            t = i;
            break;
        }
    if (t == 0)
        return 0;
    Slot& sl = s.slots[t];
    sl.state = ThreadState::Ready;
    sl.name = name;
    sl.stackBytes = stackBytes;
    sl.queue.clear();
    sl.waitingFor.clear();
    s.active = true;
    s.ready.push_back(t);
    sl.os = std::thread(ThreadMain, t, s.generation, std::move(procedure), parameter);
    if (s.holder == 0)
        Dispatch(s);
    return t;
}

int ThreadCurrent() { return tThread; }

bool EventPost(int code, int control, int thread)
{
    Event e;
    e.code = code;
    e.control = control;
    return EventPost(e, thread);
}

bool EventPost(const Event& event, int thread)
{
    State& s = S();
    if (thread == 0)
        thread = tThread;
    if (thread < 1 || thread > MAX_THREADS)
        return false;
    std::lock_guard lk(s.m);
    if (!Alive(s.slots[thread].state))
        return false;
    PostLocked(s, event, thread);
    return true;
}

int EventCurrent() { return tCurrent.code; }
int EventControl() { return tCurrent.code >= 0x200 && tCurrent.code < 0x400 ? 0 : tCurrent.control; }
int EventAccepted() { return tCurrent.code == EVENT_ACCEPTED ? tCurrent.control : 0; }
const Event& EventCurrentRecord() { return tCurrent; }
int EventKeyCode() { return tCurrent.keyCode; }
int EventMouseX() { return tCurrent.mouseX; }
int EventMouseY() { return tCurrent.mouseY; }
int EventRow() { return tCurrent.row; }
void EventSkipDefault() { tSkip = true; }

Event EventWait()
{
    State& s = S();
    int t = tThread;
    if (t == 0) {
        Event none;
        none.code = EVENT_CLOSE_DOWN;
        return none;
    }
    for (;;) {
        Event e;
        {
            std::unique_lock lk(s.m);
            Slot& sl = s.slots[t];
            while (sl.queue.empty()) {
                if (s.aborting && std::uncaught_exceptions() > 0) {
                    Event none;
                    none.code = EVENT_CLOSE_DOWN;
                    return none;
                }
                sl.state = ThreadState::WaitingEvent;
                sl.waitingFor = "Ereignis";
                Dispatch(s);
                WaitTurn(s, lk, t);
            }
            e = sl.queue.front();
            sl.queue.pop_front();
        }
        if (e.code == RuntimeInternal::MESSAGE_EVENT) {
            RuntimeInternal::WindowsOnMessage(e);
            continue;
        }
        return e;
    }
}

bool ThreadGiveWay(int hostWaitMs)
{
    State& s = S();
    const int t = tThread;
    std::unique_lock lk(s.m);
    if (t == 0 || s.host == nullptr || s.holder != t)
        return s.aborting;
    Slot& sl = s.slots[t];
    sl.state = ThreadState::GivingWay;
    sl.waitingFor = "den Fenstern";
    ++s.givingWay;
    if (s.aborting) {
        Dispatch(s);
    } else {
        // The host's turn first: a host waiting for the baton gets it now; otherwise the baton
        // stays free for it, and threads that become ready meanwhile wait behind it. Handing it
        // to the next ready thread would let two such workers pass it between them for ever.
        s.holder = 0;
        auto h = std::find(s.ready.begin(), s.ready.end(), HOST);
        if (h != s.ready.end()) {
            s.ready.erase(h);
            s.holder = HOST;
        } else {
            s.hostInvited = true;
        }
        s.hostCv.notify_all();
    }
    UiHost* host = s.host;
    lk.unlock();
    host->Wake();
    lk.lock();
    sl.cv.wait_for(lk, std::chrono::milliseconds(std::max(hostWaitMs, 0)),
                   [&] { return sl.state != ThreadState::GivingWay || s.aborting; });
    if (sl.state == ThreadState::GivingWay) {
        // The host did not come (or the run is aborted): line up behind the threads ready now.
        --s.givingWay;
        s.hostInvited = false;
        MakeReady(s, t);
    }
    // Not WaitTurn: this thread stands inside work that must not be unwound by an exception.
    sl.cv.wait(lk, [&] { return s.holder == t; });
    sl.state = ThreadState::Running;
    sl.waitingFor.clear();
    return s.aborting;
}

bool EventTake(int code, int window, int control)
{
    State& s = S();
    const int t = tThread;
    if (t == 0)
        return false;
    std::lock_guard lk(s.m);
    auto& q = s.slots[t].queue;
    auto it = std::find_if(q.begin(), q.end(), [&](const Event& e) {
        return e.code == code && e.window == window && (control == -1 || e.control == control);
    });
    if (it == q.end())
        return false;
    q.erase(it);
    return true;
}

int64_t UiClock()
{
    State& s = S();
    std::lock_guard lk(s.m);
    return NowLocked(s);
}

void RequestAndWait(UiRequest& request, const std::function<void(UiRequest&)>& fallback)
{
    State& s = S();
    int t = tThread;
    std::unique_lock lk(s.m);
    if (t == 0 || s.host == nullptr || s.holder != t || (s.aborting && std::uncaught_exceptions() > 0)) {
        lk.unlock();
        fallback(request);
        request.answered = true;
        return;
    }
    request.thread = t;
    request.id = ++s.nextRequest;
    request.answered = false;
    s.requests.push_back(&request);
    Slot& sl = s.slots[t];
    sl.state = ThreadState::WaitingRequest;
    switch (request.kind) {
    case UiRequest::Kind::Message: sl.waitingFor = "Meldung \"" + request.message.text + "\""; break;
    case UiRequest::Kind::FileDialog: sl.waitingFor = "Dateiauswahl \"" + request.title + "\""; break;
    case UiRequest::Kind::ShellOpen: sl.waitingFor = "Öffnen von \"" + request.file + "\""; break;
    case UiRequest::Kind::Popup: sl.waitingFor = "Kontextmenü"; break;
    case UiRequest::Kind::Print: sl.waitingFor = "Druck \"" + request.fileName + "\""; break;
    }
    Dispatch(s);
    UiHost* host = s.host;
    lk.unlock();
    host->Wake();
    lk.lock();
    try {
        WaitTurn(s, lk, t);
    } catch (...) {
        s.requests.erase(std::remove(s.requests.begin(), s.requests.end(), &request), s.requests.end());
        throw;
    }
    s.requests.erase(std::remove(s.requests.begin(), s.requests.end(), &request), s.requests.end());
    if (!request.answered) {
        // Woken by an abort while unwinding: take the fallback answer.
        lk.unlock();
        fallback(request);
        request.answered = true;
    }
}

// ---- Host side ---------------------------------------------------------------------------------

namespace Runtime {

void Reset(bool virtualClock)
{
    State& s = S();
    {
        std::unique_lock lk(s.m);
        JoinEnded(s);
        for (int t = 1; t <= MAX_THREADS; ++t)
            if (Alive(s.slots[t].state)) {
                std::fprintf(stderr, "Runtime::Reset: Thread %d lebt noch\n", t);
                std::abort();
            }
        s.timerStop = true;
        s.timerCv.notify_all();
    }
    if (s.timerThread.joinable())
        s.timerThread.join();
    RuntimeInternal::WindowsReset();
    std::lock_guard lk(s.m);
    ++s.generation;
    s.timerStop = false;
    s.holder = 0;
    s.hostDepth = 0;
    s.ready.clear();
    s.givingWay = 0;
    s.hostInvited = false;
    s.active = false;
    s.aborting = false;
    s.virtualClock = virtualClock;
    s.virtualNow = 0;
    s.start = std::chrono::steady_clock::now();
    s.requests.clear();
    s.timers.clear();
    for (int t = 1; t <= MAX_THREADS; ++t) {
        s.slots[t].queue.clear();
        s.slots[t].name.clear();
        s.slots[t].waitingFor.clear();
    }
}

void SetHost(UiHost* host)
{
    std::lock_guard lk(S().m);
    S().host = host;
}

bool HasHost()
{
    std::lock_guard lk(S().m);
    return S().host != nullptr;
}

int StartMain(std::function<void()> procedure, const std::string& name)
{
    State& s = S();
    {
        std::lock_guard lk(s.m);
        JoinEnded(s);
        if (s.slots[1].state != ThreadState::Free)
            return 0;
    }
    return ThreadStart([procedure = std::move(procedure)](const std::string&) { procedure(); }, {}, 0, name);
}

bool HostTryAcquire(int timeoutMs)
{
    State& s = S();
    std::unique_lock lk(s.m);
    if (s.holder == HOST && tHost) {
        ++s.hostDepth;
        return true;
    }
    if (s.holder == 0 && (s.ready.empty() || s.hostInvited)) {
        s.holder = HOST;
        s.hostInvited = false;
    } else {
        s.ready.push_back(HOST);
        bool got = true;
        if (timeoutMs < 0)
            s.hostCv.wait(lk, [&] { return s.holder == HOST; });
        else
            got = s.hostCv.wait_for(lk, std::chrono::milliseconds(timeoutMs), [&] { return s.holder == HOST; });
        if (!got) {
            s.ready.erase(std::remove(s.ready.begin(), s.ready.end(), HOST), s.ready.end());
            return false;
        }
    }
    s.hostDepth = 1;
    tHost = true;
    return true;
}

void HostAcquire() { HostTryAcquire(-1); }

HostBaton::HostBaton(int boundMs)
{
    if (!HostTryAcquire(boundMs))
        throw std::runtime_error("Der Staffelstab kam nicht frei (" + std::to_string(boundMs) + " ms):\n" +
                                 Describe());
}

void HostRelease()
{
    State& s = S();
    std::lock_guard lk(s.m);
    if (s.holder != HOST || !tHost)
        return;
    if (--s.hostDepth > 0)
        return;
    tHost = false;
    // The host has had its turn: threads that gave way for it line up again.
    for (int t = 1; t <= MAX_THREADS; ++t)
        if (s.slots[t].state == ThreadState::GivingWay) {
            --s.givingWay;
            s.slots[t].state = ThreadState::Ready;
            s.slots[t].waitingFor.clear();
            s.ready.push_back(t);
            s.slots[t].cv.notify_all();
        }
    Dispatch(s);
}

bool HostHoldsBaton()
{
    std::lock_guard lk(S().m);
    return S().holder == HOST && tHost;
}

bool IsIdle()
{
    State& s = S();
    std::lock_guard lk(s.m);
    return s.holder == 0 && s.ready.empty() && s.givingWay == 0;
}

bool WaitIdle(int timeoutMs)
{
    State& s = S();
    std::unique_lock lk(s.m);
    return s.hostCv.wait_for(lk, std::chrono::milliseconds(timeoutMs),
                             [&] { return s.holder == 0 && s.ready.empty() && s.givingWay == 0; });
}

bool WaitAllEnded(int timeoutMs)
{
    State& s = S();
    std::unique_lock lk(s.m);
    bool ok = s.hostCv.wait_for(lk, std::chrono::milliseconds(timeoutMs), [&] {
        for (int t = 1; t <= MAX_THREADS; ++t)
            if (Alive(s.slots[t].state))
                return false;
        return true;
    });
    if (ok)
        JoinEnded(s);
    return ok;
}

std::vector<UiRequest*> PendingRequests()
{
    std::lock_guard lk(S().m);
    return S().requests;
}

void Answer(UiRequest& request, int answer, const std::string& answerText)
{
    State& s = S();
    std::lock_guard lk(s.m);
    auto it = std::find(s.requests.begin(), s.requests.end(), &request);
    if (it == s.requests.end() || request.answered)
        return;
    request.answer = answer;
    request.answerText = answerText;
    request.answered = true;
    s.requests.erase(it);
    if (s.slots[request.thread].state == ThreadState::WaitingRequest)
        MakeReady(s, request.thread);
}

bool AdvanceClock(int64_t hundredths, int timeoutMs)
{
    State& s = S();
    int64_t target;
    {
        std::lock_guard lk(s.m);
        target = s.virtualNow + hundredths;
    }
    for (;;) {
        {
            std::lock_guard lk(s.m);
            int win = 0;
            int64_t due = target + 1;
            for (auto& [w, tm] : s.timers)
                if (tm.interval > 0 && tm.due < due) {
                    due = tm.due;
                    win = w;
                }
            if (win == 0) {
                s.virtualNow = target;
                return true;
            }
            if (due > s.virtualNow)
                s.virtualNow = due;
            Timer& tm = s.timers[win];
            tm.due = s.virtualNow + tm.interval;
            if (!QueuedLocked(s, tm.thread, EVENT_TIMER, win) && Alive(s.slots[tm.thread].state)) {
                Event e;
                e.code = EVENT_TIMER;
                e.window = win;
                PostLocked(s, e, tm.thread);
            }
        }
        if (!WaitIdle(timeoutMs))
            return false;
    }
}

std::vector<ThreadInfo> Threads()
{
    State& s = S();
    std::lock_guard lk(s.m);
    std::vector<ThreadInfo> out;
    for (int t = 1; t <= MAX_THREADS; ++t) {
        const Slot& sl = s.slots[t];
        if (!Alive(sl.state))
            continue;
        ThreadInfo i;
        i.id = t;
        i.state = sl.state;
        i.name = sl.name;
        i.stackBytes = sl.stackBytes;
        i.queued = sl.queue.size();
        i.waitingFor = sl.waitingFor;
        out.push_back(i);
    }
    return out;
}

std::string Describe()
{
    State& s = S();
    std::lock_guard lk(s.m);
    std::ostringstream o;
    if (s.holder == HOST)
        o << "Den Staffelstab hält der Treiber.\n";
    else if (s.holder > 0)
        o << "Den Staffelstab hält Thread " << s.holder << " (" << s.slots[s.holder].name << ").\n";
    else
        o << "Den Staffelstab hält niemand.\n";
    if (!s.ready.empty()) {
        o << "Bereit:";
        for (int t : s.ready)
            o << ' ' << (t == HOST ? std::string("Treiber") : std::to_string(t));
        o << '\n';
    }
    for (int t = 1; t <= MAX_THREADS; ++t) {
        const Slot& sl = s.slots[t];
        if (!Alive(sl.state))
            continue;
        o << "Thread " << t << " (" << sl.name << "): " << StateName(sl.state);
        if (!sl.waitingFor.empty())
            o << " [" << sl.waitingFor << "]";
        o << ", " << sl.queue.size() << " Ereignis(se) in der Warteschlange";
        if (!sl.queue.empty()) {
            o << ':';
            for (const Event& e : sl.queue) {
                char buf[48];
                std::snprintf(buf, sizeof buf, " %Xh/%d", static_cast<unsigned>(e.code), e.control);
                o << buf;
            }
        }
        o << '\n';
    }
    for (UiRequest* r : s.requests)
        o << "Offene Anfrage " << r->id << " von Thread " << r->thread << '\n';
    return o.str();
}

std::vector<int> Abort(int timeoutMs)
{
    State& s = S();
    {
        std::unique_lock lk(s.m);
        s.aborting = true;
        if (s.holder == HOST && tHost) {
            tHost = false;
            s.hostDepth = 0;
        }
        s.ready.erase(std::remove(s.ready.begin(), s.ready.end(), HOST), s.ready.end());
        if (s.holder == 0 || s.holder == HOST)
            Dispatch(s);
    }
    std::vector<int> left;
    if (!WaitAllEnded(timeoutMs)) {
        std::lock_guard lk(s.m);
        for (int t = 1; t <= MAX_THREADS; ++t)
            if (Alive(s.slots[t].state)) {
                left.push_back(t);
                if (s.slots[t].os.joinable())
                    s.slots[t].os.detach();
            }
    }
    std::lock_guard lk(s.m);
    for (int t : left)
        s.slots[t].state = ThreadState::Free;   // gone from our books; its OS thread is detached
    if (!left.empty())
        ++s.generation;
    s.aborting = false;
    s.holder = 0;
    s.ready.clear();
    s.givingWay = 0;
    s.hostInvited = false;
    return left;
}

bool MayTouchModels()
{
    State& s = S();
    std::lock_guard lk(s.m);
    if (!s.active)
        return true;
    if (tHost)
        return s.holder == HOST;
    if (tThread > 0)
        return s.holder == tThread;
    // Before any thread started, or after all have ended, models belong to whoever calls.
    for (int t = 1; t <= MAX_THREADS; ++t)
        if (Alive(s.slots[t].state))
            return false;
    return true;
}

void SetWindowTimer(int window, int thread, int interval)
{
    State& s = S();
    std::lock_guard lk(s.m);
    if (interval <= 0) {
        s.timers.erase(window);
        return;
    }
    Timer& tm = s.timers[window];
    tm.thread = thread;
    tm.interval = interval;
    tm.due = NowLocked(s) + interval;
    if (!s.virtualClock) {
        if (!s.timerThread.joinable())
            s.timerThread = std::thread(TimerLoop);
        s.timerCv.notify_all();
    }
}

void DropWindowTimer(int window)
{
    State& s = S();
    std::lock_guard lk(s.m);
    s.timers.erase(window);
}

} // namespace Runtime
