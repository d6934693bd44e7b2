#include "app/CloseSignals.h"

#include "platform/qt/Host.h"
#include "platform/ui/Input.h"
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

} // namespace

CloseSignals::CloseSignals(QtHost& host, QObject* parent) : QObject(parent), host_(host)
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
    host_.Input([this]() -> std::string {
        WindowModel* frame = OpenFrame();
        if (!frame)
            return {};
        const int top = WindowTop(frame->thread);
        if (top == frame->id || top == 0 || --left_ < 0)
            return InputClose(frame->id);
        // A dialog of the frame's thread holds it: it goes first, as its close box would have it.
        QTimer::singleShot(0, steps_, [this] { steps_->start(); });
        return InputClose(top);
    });
}
