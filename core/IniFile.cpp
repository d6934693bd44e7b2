#include "core/IniFile.h"

#include "core/Utilities.h"
#include "platform/values/Locale.h"

#include <algorithm>
#include <climits>

CIniFile GlobalIni;

namespace {

constexpr std::string_view kUnknown = "---Unknown---";
constexpr std::string_view kBookkeeping = "__Dont_Touch_Me__";
constexpr std::string_view kSectors = "Sectors";
constexpr std::size_t kLineLimit = 4999;   // characters of one stored queue row
constexpr std::size_t kFetchLimit = 999;   // characters of a row taken apart again
constexpr std::size_t kNoLimit = 1 << 22;

std::string_view TrimRight(std::string_view s)
{
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

// Left to right; an inserted replacement is not searched again.
std::string Replace(std::string_view text, std::string_view find, std::string_view replacement, std::size_t limit)
{
    std::string buffer(text);
    ReplaceInBuffer(buffer, limit + 1, find, replacement);
    return buffer;
}

std::string FieldOf(std::string_view value, int n)
{
    const std::string v = Replace(value, "$$", "\r\n", kFetchLimit);
    if (v.empty())
        return {};
    return Replace(GetToken(v, n <= 0 ? 1 : n, ","), "°!°", ",", kNoLimit);
}

std::string RowKey(std::string_view name, std::size_t n)
{
    return std::string(name) + "_" + std::to_string(n);
}

} // namespace

std::string CIniFile::FetchField(std::string_view section, std::string_view key, int n)
{
    return FieldOf(ReadValue(section, key, ""), n);
}

std::string CIniFile::FetchRequiredField(std::string_view section, std::string_view key, int n)
{
    return FieldOf(ReadValue(section, key, kUnknown), n);
}

void CIniFile::SaveQueue(std::string_view section, std::string_view name, const IniQueue& queue)
{
    const std::size_t rows = queue.Rows();
    WriteValue(section, name, std::to_string(rows));
    for (std::size_t n = 1; n <= rows; ++n) {
        std::string line;
        for (int f = 1; f <= queue.FieldCount(); ++f) {
            if (f > 1)
                line += ",";
            line += Replace(TrimRight(queue.Field(n, f)), ",", "°!°", kNoLimit);
        }
        WriteValue(section, RowKey(name, n), Replace(line, "\r\n", "$$", kLineLimit));
    }
}

void CIniFile::RestoreQueue(std::string_view section, std::string_view name, IniQueue& queue)
{
    long count = ReadNumber(section, name, 0);
    if (count <= 0)
        return;
    // Only the rows the file holds are read, in order: a damaged count such as 999999999 (or a
    // row number as high) must neither fill memory with rows that are not there nor read the file
    // once for each of them, and what was not read is never written back as a row.
    const std::string prefix = LocaleLower(std::string(name) + "_");
    std::vector<long> present;
    for (const auto& key : ReadKeys(section)) {
        const std::string k = LocaleLower(key);
        // Up to 18 digits, so that any count the file may claim is matched and no number overflows.
        if (k.size() <= prefix.size() || k.size() > prefix.size() + 18 || k.compare(0, prefix.size(), prefix) != 0)
            continue;
        const std::string_view digits = std::string_view(k).substr(prefix.size());
        if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        const long n = std::stol(std::string(digits));
        if (n >= 1 && n <= count)
            present.push_back(n);
    }
    std::sort(present.begin(), present.end());
    present.erase(std::unique(present.begin(), present.end()), present.end());
    for (const long n : present) {
        std::vector<std::string> fields;
        for (int f = 1; f <= queue.FieldCount(); ++f)
            fields.push_back(FetchRequiredField(section, RowKey(name, static_cast<std::size_t>(n)), f));
        queue.Append(fields);
    }
}

void CIniFile::WriteKey(std::string_view section, std::string_view key, std::string_view value)
{
    WriteValue(section, key, value);
}

std::string CIniFile::ReadOrEmpty(std::string_view section, std::string_view key)
{
    return ReadValue(section, key, "");
}

std::string CIniFile::ReadOrUnknown(std::string_view section, std::string_view key)
{
    return ReadValue(section, key, kUnknown);
}

void CIniFile::ReadInto(std::string_view section, std::string_view key, std::string& variable)
{
    variable = ReadValue(section, key, variable);
}

void CIniFile::ReadInto(std::string_view section, std::string_view key, long& variable)
{
    variable = ReadNumber(section, key, variable);
}

void CIniFile::ReadInto(std::string_view section, std::string_view key, int& variable)
{
    const long v = ReadNumber(section, key, variable);
    variable = static_cast<int>(std::clamp<long>(v, INT_MIN, INT_MAX));
}

std::string CIniFile::ReadAndWriteBack(std::string_view section, std::string_view key, std::string_view defaultValue)
{
    std::string v = ReadValue(section, key, defaultValue);
    WriteValue(section, key, v);
    return v;
}

long CIniFile::ReadAndWriteBack(std::string_view section, std::string_view key, long defaultValue)
{
    const long v = ReadNumber(section, key, defaultValue);
    WriteValue(section, key, std::to_string(v));
    return v;
}

void CIniFile::StoreWindowGeometry(const WindowGeometry& window, std::string_view section)
{
    FwStoreGeometry(window, [&](const std::string& key, const std::string& value) { WriteValue(section, key, value); });
}

bool CIniFile::RestoreWindowGeometry(WindowGeometry& window, std::string_view section)
{
    return FwRestoreGeometry(window, [&](const std::string& key) { return ReadValue(section, key, ""); });
}

void CIniFile::Setup(std::string_view fileName)
{
    FILENAME = fileName;
    SECTORS = std::make_unique<Queue<IniSector>>();
    auto rows = IniFields(*SECTORS, &IniSector::FAMILY, &IniSector::ITEM, &IniSector::TYPE);
    RestoreQueue(kBookkeeping, kSectors, rows);
}

void CIniFile::Teardown()
{
    if (!SECTORS)
        return;
    auto rows = IniFields(*SECTORS, &IniSector::FAMILY, &IniSector::ITEM, &IniSector::TYPE);
    SaveQueue(kBookkeeping, kSectors, rows);
    SECTORS.reset();
}
