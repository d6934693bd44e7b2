#include "platform/ui/MessageShow.h"

#include <cstdio>
#include <utility>

namespace {
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
    if (r.defaultButton != 0)
        return r.defaultButton;
    return r.buttonTexts.empty() ? (r.buttonBits == 0 ? int(BUTTON_OK) : int(r.buttonBits & (~r.buttonBits + 1u))) : 1;
}
} // namespace

void SetMessageHook(MessageHook hook) { Hook() = std::move(hook); }

int MessageShow(const MessageRequest& request)
{
    return Hook() ? Hook()(request) : PlainMessage(request);
}
