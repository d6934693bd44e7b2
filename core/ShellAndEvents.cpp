#include "core/ShellAndEvents.h"

#include "core/Utilities.h"
#include "platform/fw/FwWindow.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Runtime.h"

namespace {

constexpr size_t kShellPartLimit = 255;

// Trailing spaces removed, then cut to the limit in characters (never inside a UTF-8 sequence).
std::string Part(std::string text)
{
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    size_t chars = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && ++chars > kShellPartLimit) {
            text.resize(i);
            break;
        }
    }
    return text;
}

} // namespace

bool IsPassiveEvent() { return IsPassiveEventCode(EventCurrent()); }

bool IsPassiveEvent(int event) { return IsPassiveEventCode(event); }

std::string OpenWithShell(const std::string& file, const std::string& parameters, const std::string& directory,
                          bool noParameters, bool noDirectory, bool minimized)
{
    std::string p = noParameters ? std::string() : Part(parameters);
    std::string d = noDirectory ? std::string() : Part(StripQuotes(directory));
    std::string f = Part(StripQuotes(file));
    // The host runs the handler; this thread gives the baton away until it has done so.
    return ShellOpen(f, p, d, minimized);
}
