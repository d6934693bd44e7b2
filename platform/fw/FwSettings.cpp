#include "platform/fw/FwSettings.h"

#include "platform/fw/FwError.h"

#include "platform/ui/Window.h"

#include <string>
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

void FwStoreWindowGeometry(int window, const std::string& section)
{
    if (!WindowExists(window) || PropertyGet(window, 0, Prop::Iconize, 0).Bool())
        return;
    bool maximized = PropertyGet(window, 0, Prop::Maximize, 0).Bool();
    FwSettingsWrite(section, "Maximize", maximized ? "Yes" : "No");
    if (maximized)
        return;
    FwSettingsWrite(section, "XPos", PropertyGet(window, 0, Prop::Xpos, 0).Str());
    FwSettingsWrite(section, "YPos", PropertyGet(window, 0, Prop::Ypos, 0).Str());
    if (PropertyGet(window, 0, Prop::Resizable, 0).Bool()) {
        FwSettingsWrite(section, "Height", PropertyGet(window, 0, Prop::Height, 0).Str());
        FwSettingsWrite(section, "Width", PropertyGet(window, 0, Prop::Width, 0).Str());
    }
}

void FwRestoreWindowGeometry(int window, const std::string& section)
{
    if (!WindowExists(window))
        return;
    std::string maximize = FwSettingsRead(section, "Maximize", "");
    if (maximize != "Yes" && maximize != "No")
        return;
    bool maximized = maximize == "Yes";
    PropertySet(window, 0, Prop::Maximize, maximized, 0);
    if (maximized)
        return;
    std::string x = FwSettingsRead(section, "XPos", "");
    if (x.empty())
        return;
    PropertySet(window, 0, Prop::Xpos, PropValue(x).Int(), 0);
    PropertySet(window, 0, Prop::Ypos, PropValue(FwSettingsRead(section, "YPos", "")).Int(), 0);
    if (PropertyGet(window, 0, Prop::Resizable, 0).Bool()) {
        std::string w = FwSettingsRead(section, "Width", ""), h = FwSettingsRead(section, "Height", "");
        if (!w.empty())
            PropertySet(window, 0, Prop::Width, PropValue(w).Int(), 0);
        if (!h.empty())
            PropertySet(window, 0, Prop::Height, PropValue(h).Int(), 0);
    }
}
