#include "core/Visual.h"

#include "core/Utilities.h"
#include "platform/ui/MessageShow.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"

#include <cstdint>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <set>

void (*CVisual::OnRunNotOverridden)() = nullptr;

namespace {
// Live objects, so that a window procedure's parameter never names a destroyed one.
std::mutex liveMutex;
std::set<const CVisual*>& Live()
{
    static std::set<const CVisual*> live;
    return live;
}

int WaitWindow()
{
    WindowDesc d;
    d.title = "bitte warten";
    d.kind = WindowKind::MdiChild;
    d.fontName = "Tahoma";
    d.w = 160;
    d.h = 40;
    d.Add(Ctl::Prompt("Fenster werden geschlossen...").At(8, 12, 140, 12));
    return WindowCreate(d);
}

bool HeldBack(int code)
{
    return code != EVENT_LOSE_FOCUS && code != EVENT_GAIN_FOCUS && code != EVENT_SUSPEND && code != EVENT_RESUME;
}
} // namespace

CVisual::CVisual()
{
    Construct();
    std::lock_guard lk(liveMutex);
    Live().insert(this);
}

CVisual::~CVisual()
{
    std::lock_guard lk(liveMutex);
    Live().erase(this);
}

void CVisual::Construct()
{
    THREAD = 0;
    WAITINGTHREAD = 0;
    IS_RUNNING = false;
}

int CVisual::Run()
{
    MessageRequest r;
    r.text = "Methode CVisual.Run wurde nicht überladen.";
    MessageShow(r);
    if (OnRunNotOverridden) {
        OnRunNotOverridden();
        return 3;
    }
    std::quick_exit(3);
}

void CVisual::Init(FwWindow* windowManager, int window)
{
    WINMANAGER = windowManager;
    WIN = window;
    if (THREAD == 0)
        THREAD = ThreadCurrent();
    PostToWaiter(EventVisualReady);
    IS_RUNNING = true;
}

int CVisual::CloseRequest()
{
    if (WIN != 0 && THREAD != 0) {
        // The owner handling the close-window event itself needs no second one; nor does it while
        // it handles a close-down of this window, whose default handling closes the window too.
        const Event& current = EventCurrentRecord();
        bool ownClose = ThreadCurrent() == THREAD &&
                        (current.code == EVENT_CLOSE_WINDOW ||
                         (current.code == EVENT_CLOSE_DOWN && (current.window == 0 || current.window == WIN)));
        if (!ownClose) {
            Event e;
            e.code = EVENT_CLOSE_WINDOW;
            e.window = WIN;
            EventPost(e, THREAD);
        }
    }
    return 0;
}

void CVisual::Reset()
{
    IS_RUNNING = false;
    WINMANAGER = nullptr;
    WIN = 0;
    THREAD = 0;
    PostToWaiter(EventVisualClosed);
}

void CVisual::Wait(int event)
{
    int me = ThreadCurrent();
    int waitWin = WaitWindow();
    std::deque<Event> held;
    bool wait = event == EventVisualReady || (WIN != 0 && THREAD != 0 && me != THREAD);
    if (wait && WAITINGTHREAD != 0) {
        DebugTrace("erneute Warteanforderung: alter Thread=" + std::to_string(WAITINGTHREAD) +
                       "|neuer Thread=" + std::to_string(me),
                   0, true);
        wait = false;
    }
    if (wait) {
        WAITINGTHREAD = me;
        if (me != 1)
            WindowOpen(waitWin);
        while (WindowAccept(waitWin)) {
            const Event& e = EventCurrentRecord();
            if (e.code == event) {
                WAITINGTHREAD = 0;
                break;
            }
            if (e.code == EVENT_CLOSE_WINDOW || e.code == EVENT_CLOSE_DOWN) {
                held.push_back(e);
                EventSkipDefault();
            } else if (HeldBack(e.code)) {
                held.push_back(e);
            }
        }
    }
    for (const Event& e : held)
        EventPost(e, me);
    WindowClose(waitWin);
}

int CVisual::Execute(bool wait)
{
    if (THREAD != 0)
        return Activate();
    int r = Run();
    // Only a window that was started can report that it is open.
    if (wait && r == 0)
        Wait(EventVisualReady);
    return r;
}

int CVisual::Activate()
{
    if (THREAD == 0 || WIN == 0)
        return 3;
    if (PropertyGet(WIN, 0, Prop::Iconize, 0).Bool())
        PropertySet(WIN, 0, Prop::Iconize, 0, 0);
    PropertySet(WIN, 0, Prop::Active, 1, 0);
    return 0;
}

void CVisual::PostToOwner(int event) { EventPost(event, 0, THREAD != 0 ? THREAD : ThreadCurrent()); }

void CVisual::PostToWaiter(int event)
{
    if (WAITINGTHREAD != 0)
        EventPost(event, 0, WAITINGTHREAD);
}

void CVisual::BeginTarget()
{
    if (WIN != 0 && THREAD != 0 && ThreadCurrent() != THREAD && SETTARGETCTR <= 0) {
        WindowSetTarget(WIN);
        SETTARGETCTR = 1;
    }
}

void CVisual::EndTarget()
{
    if (WIN != 0 && THREAD != 0 && ThreadCurrent() != THREAD && SETTARGETCTR != 0) {
        WindowSetTarget(0);
        --SETTARGETCTR;
    }
}

int CVisual::StartThread(std::function<void(const std::string&)> procedure, int stackBytes, const std::string& name)
{
    THREAD = ThreadStart(std::move(procedure), AsParameter(), stackBytes, name);
    return THREAD == 0 ? 3 : 0;
}

std::string CVisual::AsParameter() const { return std::to_string(reinterpret_cast<std::uintptr_t>(this)); }

CVisual* CVisual::FromParameter(const std::string& parameter)
{
    auto* p = reinterpret_cast<CVisual*>(static_cast<std::uintptr_t>(std::strtoull(parameter.c_str(), nullptr, 10)));
    std::lock_guard lk(liveMutex);
    return Live().count(p) ? p : nullptr;
}
