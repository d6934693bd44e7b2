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

// Window geometry by the settings rules: stored only when not iconised; "Maximize" "Yes"/"No",
// and when not maximised "XPos", "YPos" and (resizable windows) "Width", "Height". Restoring
// does nothing without a "Maximize" of "Yes" or "No".
void FwStoreWindowGeometry(int window, const std::string& section);
void FwRestoreWindowGeometry(int window, const std::string& section);
