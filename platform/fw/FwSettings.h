#pragma once
// The framework's access to the settings file (window geometry) and to the error object's
// procedure-name stack. Start-up connects the settings to GlobalIni (ReadValue / WriteValue);
// until then geometry reads as missing and writes are dropped. Procedure names go to
// GlobalErrorHandler unless another stack is set.
#include <functional>
#include <string>

struct FwSettingsAccess {
    std::function<std::string(const std::string& section, const std::string& key,
                              const std::string& defaultValue)> read;
    std::function<void(const std::string& section, const std::string& key,
                       const std::string& value)> write;
};
void FwSetSettings(FwSettingsAccess access);
std::string FwSettingsRead(const std::string& section, const std::string& key,
                           const std::string& defaultValue = {});
void FwSettingsWrite(const std::string& section, const std::string& key, const std::string& value);

struct FwProcedureStack {
    std::function<void(const std::string& name)> push;
    std::function<void()> pop;
};
void FwSetProcedureStack(FwProcedureStack stack);
void FwPushProcedure(const std::string& name);
void FwPopProcedure();

// A window's geometry in the window layer's units, as plain values.
struct WindowGeometry {
    long x = 0, y = 0, width = 0, height = 0;
    bool maximized = false;
    bool iconized = false;
    bool resizable = true;
};

// The settings rules for window geometry, the one place they are kept. `write` sets a key of the
// window's section, `read` gives a key's value ("" when missing).
// Storing: nothing while iconised; "Maximize" "Yes"/"No", and when not maximised "XPos", "YPos"
// and (resizable windows) "Height", "Width".
// Restoring: false (the window untouched) without a "Maximize" of "Yes" or "No"; a maximised
// window takes only the flag, and so does one without a stored "XPos"; a resizable one takes the
// stored size only when both are above 0, so a missing or broken size keeps the window's own.
void FwStoreGeometry(const WindowGeometry& window,
                     const std::function<void(const std::string& key, const std::string& value)>& write);
bool FwRestoreGeometry(WindowGeometry& window, const std::function<std::string(const std::string& key)>& read);

// The same rules on a window of the window layer, in the settings section `section`.
void FwStoreWindowGeometry(int window, const std::string& section);
void FwRestoreWindowGeometry(int window, const std::string& section);
