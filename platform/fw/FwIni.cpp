#include "platform/fw/FwIni.h"

#include "platform/values/PrivateProfile.h"

std::string FwIni::ReadValue(std::string_view section, std::string_view key, std::string_view defaultValue)
{
    if (FILENAME.empty())
        return std::string(defaultValue);
    return ProfileGetString(section, key, defaultValue, FILENAME);
}

void FwIni::WriteValue(std::string_view section, std::string_view key, std::string_view value)
{
    if (!FILENAME.empty())
        ProfileWriteString(section, key, value, FILENAME);
}

long FwIni::ReadNumber(std::string_view section, std::string_view key, long defaultValue)
{
    if (FILENAME.empty())
        return defaultValue;
    return ProfileGetInt(section, key, defaultValue, FILENAME);
}

std::vector<std::string> FwIni::ReadKeys(std::string_view section)
{
    if (FILENAME.empty())
        return {};
    return ProfileGetKeys(section, FILENAME);
}
