#include "platform/ui/MessageShow.h"

#include "platform/ui/Runtime.h"

#include <cstdio>
#include <mutex>
#include <utility>

namespace {
std::mutex hookMutex;

MessageHook& Hook()
{
    static MessageHook hook;
    return hook;
}

// Without a window layer the message goes to standard error and the default answer is taken.
int PlainMessage(const MessageRequest& r)
{
    std::fprintf(stderr, "[%s] %s\n", r.caption.empty() ? "Mitteilungstext" : r.caption.c_str(),
                 r.text.c_str());
    return MessageDefaultAnswer(r);
}
} // namespace

int MessageDefaultAnswer(const MessageRequest& r)
{
    if (r.defaultButton != 0)
        return r.defaultButton;
    return r.buttonTexts.empty() ? (r.buttonBits == 0 ? int(BUTTON_OK) : int(r.buttonBits & (~r.buttonBits + 1u))) : 1;
}

void SetMessageHook(MessageHook hook)
{
    std::lock_guard lk(hookMutex);
    Hook() = std::move(hook);
}

int MessageShowPlatform(const MessageRequest& request)
{
    UiRequest r;
    r.kind = UiRequest::Kind::Message;
    r.message = request;
    RequestAndWait(r, [](UiRequest& q) { q.answer = PlainMessage(q.message); });
    return r.answer;
}

int MessageShow(const MessageRequest& request)
{
    MessageHook hook;
    {
        std::lock_guard lk(hookMutex);
        hook = Hook();
    }
    return hook ? hook(request) : MessageShowPlatform(request);
}
