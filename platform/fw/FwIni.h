#pragma once
// The framework's settings class: reads and writes one INI file (FILENAME) through the
// private-profile functions. Every read goes to the file and every write reaches it at once.
// Without a file name reads give their defaults and writes are dropped; a file that cannot be
// written loses the write without a message (settings are a convenience, never a reason to stop).
#include <string>
#include <string_view>
#include <vector>

class FwIni {
public:
    virtual ~FwIni() = default;

    // The value, or the default when the key is missing (names and value within the file limits).
    virtual std::string ReadValue(std::string_view section, std::string_view key, std::string_view defaultValue);
    virtual void WriteValue(std::string_view section, std::string_view key, std::string_view value);
    // Hooks for derived classes; the framework's own do nothing.
    virtual void SetupHook() {}
    virtual void ClosingHook() {}

    // The value as a whole number: the default when missing, 0 when it is not a number.
    long ReadNumber(std::string_view section, std::string_view key, long defaultValue);
    // The key names of a section, in file order.
    std::vector<std::string> ReadKeys(std::string_view section);

    std::string FILENAME;
};
