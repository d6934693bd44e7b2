#include "app/CloseSignals.h"

#include "platform/qt/Renderer.h"
#include "platform/ui/Input.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowModel.h"

#include <QSocketNotifier>
#include <QTimer>

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace {

int pipeEnds[2] = {-1, -1};
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

void OnSignal(int signal)
{
    const int saved = errno;
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] ssize_t n = ::write(pipeEnds[1], &byte, 1);
    errno = saved;
}

void SetHandlers(void (*handler)(int))
{
    struct sigaction sa {};
    sa.sa_handler = handler;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int s : kSignals)
        ::sigaction(s, &sa, nullptr);
}

// The open frame's model, nullptr when there is none. Under the host's baton.
WindowModel* OpenFrame()
{
    for (int id : WindowList())
        if (WindowModel* m = WindowFind(id); m && m->desc.kind == WindowKind::MdiFrame && m->state == WindowState::Open)
            return m;
    return nullptr;
}

// Whether a thread waits for the answer to a message box, file dialog or menu. Under the baton.
bool RequestWaits()
{
    for (const UiRequest* r : Runtime::PendingRequests())
        if (r->kind != UiRequest::Kind::Print && r->kind != UiRequest::Kind::ShellOpen)
            return true;
    return false;
}

} // namespace

CloseSignals::CloseSignals(Renderer& renderer, QObject* parent) : QObject(parent), renderer_(renderer)
{
    if (pipeEnds[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, pipeEnds) != 0)
        return;
    notifier_ = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &CloseSignals::OnReadable);
    steps_ = new QTimer(this);
    steps_->setInterval(150);
    connect(steps_, &QTimer::timeout, this, &CloseSignals::Step);
    SetHandlers(OnSignal);
}

CloseSignals::~CloseSignals()
{
    if (!notifier_)
        return;
    SetHandlers(SIG_DFL);
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    pipeEnds[0] = pipeEnds[1] = -1;
}

void CloseSignals::OnReadable()
{
    char byte = 0;
    bool any = false;
    while (::read(pipeEnds[0], &byte, 1) == 1)
        any = true;
    if (!any)
        return;
    left_ = 20;
    Step();
    emit Received(static_cast<unsigned char>(byte));
}

void CloseSignals::Step()
{
    steps_->stop();
    // A thread that waits for the answer to a request takes no close: the request is cancelled.
    renderer_.CancelRequests();
    renderer_.Input([this]() -> std::string {
        WindowModel* frame = OpenFrame();
        if (!frame)
            return {};
        const int top = WindowTop(frame->thread);
        const bool waiting = RequestWaits();
        if (--left_ < 0 || (!waiting && (top == frame->id || top == 0)))
            return InputClose(frame->id);
        QTimer::singleShot(0, steps_, [this] { steps_->start(); });
        // A request not shown yet is cancelled in the next step; a dialog of the frame's thread
        // holds it: it goes first, as its close box would have it.
        return waiting ? std::string() : InputClose(top);
    });
}
