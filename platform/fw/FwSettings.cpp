#include "platform/fw/FwSettings.h"

#include "platform/fw/FwError.h"

#include "platform/ui/Window.h"

#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

namespace {
FwSettingsAccess& Settings()
{
    static FwSettingsAccess s;
    return s;
}

FwProcedureStack& Stack()
{
    static FwProcedureStack s;
    return s;
}
} // namespace

void FwSetSettings(FwSettingsAccess access) { Settings() = std::move(access); }

std::string FwSettingsRead(const std::string& section, const std::string& key, const std::string& defaultValue)
{
    return Settings().read ? Settings().read(section, key, defaultValue) : defaultValue;
}

void FwSettingsWrite(const std::string& section, const std::string& key, const std::string& value)
{
    if (Settings().write)
        Settings().write(section, key, value);
}

void FwSetProcedureStack(FwProcedureStack stack) { Stack() = std::move(stack); }

void FwPushProcedure(const std::string& name)
{
    if (Stack().push)
        Stack().push(name);
    else
        GlobalErrorHandler.PushProcedure(name);
}

void FwPopProcedure()
{
    if (Stack().pop)
        Stack().pop();
    else
        GlobalErrorHandler.PopProcedure();
}

namespace {
// A stored number as the settings file reads one: its leading digits, 0 when there are none.
long StoredNumber(const std::string& text)
{
    return std::strtol(text.c_str(), nullptr, 10);
}

WindowGeometry GeometryOf(int window)
{
    WindowGeometry g;
    g.x = static_cast<long>(PropertyGet(window, 0, Prop::Xpos, 0).Int());
    g.y = static_cast<long>(PropertyGet(window, 0, Prop::Ypos, 0).Int());
    g.width = static_cast<long>(PropertyGet(window, 0, Prop::Width, 0).Int());
    g.height = static_cast<long>(PropertyGet(window, 0, Prop::Height, 0).Int());
    g.maximized = PropertyGet(window, 0, Prop::Maximize, 0).Bool();
    g.iconized = PropertyGet(window, 0, Prop::Iconize, 0).Bool();
    g.resizable = PropertyGet(window, 0, Prop::Resizable, 0).Bool();
    return g;
}
} // namespace

void FwStoreGeometry(const WindowGeometry& window,
                     const std::function<void(const std::string& key, const std::string& value)>& write)
{
    if (window.iconized)
        return;
    write("Maximize", window.maximized ? "Yes" : "No");
    if (window.maximized)
        return;
    write("XPos", std::to_string(window.x));
    write("YPos", std::to_string(window.y));
    if (window.resizable) {
        write("Height", std::to_string(window.height));
        write("Width", std::to_string(window.width));
    }
}

bool FwRestoreGeometry(WindowGeometry& window, const std::function<std::string(const std::string& key)>& read)
{
    const std::string maximize = read("Maximize");
    if (maximize != "Yes" && maximize != "No")
        return false;
    window.maximized = maximize == "Yes";
    if (window.maximized)
        return true;
    const std::string x = read("XPos");
    if (x.empty())
        return true;
    // No screen is that large: a place or size beyond it would put the window where nobody can
    // reach it, so the window keeps its own then.
    constexpr long kLargest = 16384;
    const long px = StoredNumber(x), py = StoredNumber(read("YPos"));
    if (px > -kLargest && px < kLargest && py > -kLargest && py < kLargest) {
        window.x = px;
        window.y = py;
    }
    if (window.resizable) {
        // A missing or broken size would make the window vanish; it keeps its own size then.
        const long width = StoredNumber(read("Width"));
        const long height = StoredNumber(read("Height"));
        if (width > 0 && height > 0 && width < kLargest && height < kLargest) {
            window.width = width;
            window.height = height;
        }
    }
    return true;
}

void FwStoreWindowGeometry(int window, const std::string& section)
{
    if (!WindowExists(window))
        return;
    FwStoreGeometry(GeometryOf(window),
                    [&](const std::string& key, const std::string& value) { FwSettingsWrite(section, key, value); });
}

void FwRestoreWindowGeometry(int window, const std::string& section)
{
    if (!WindowExists(window))
        return;
    const WindowGeometry before = GeometryOf(window);
    WindowGeometry g = before;
    if (!FwRestoreGeometry(g, [&](const std::string& key) { return FwSettingsRead(section, key, ""); }))
        return;
    PropertySet(window, 0, Prop::Maximize, g.maximized, 0);
    if (g.maximized)
        return;
    // Only what the settings changed: the window's own values stay untouched.
    const std::tuple<Prop, long, long> values[] = {{Prop::Xpos, before.x, g.x},
                                                   {Prop::Ypos, before.y, g.y},
                                                   {Prop::Width, before.width, g.width},
                                                   {Prop::Height, before.height, g.height}};
    for (const auto& [prop, was, now] : values)
        if (now != was)
            PropertySet(window, 0, prop, now, 0);
}
