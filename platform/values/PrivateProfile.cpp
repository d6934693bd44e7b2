#include "platform/values/PrivateProfile.h"

#include "platform/values/Locale.h"
#include "platform/values/RegularFile.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Read-modify-write of one file must not interleave with another thread's.
std::mutex& FileLock()
{
    static std::mutex m;
    return m;
}

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// The first n characters of a UTF-8 text.
std::string_view FirstChars(std::string_view s, std::size_t n)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            if (count == n)
                return s.substr(0, i);
            ++count;
        }
    }
    return s;
}

std::string Name(std::string_view s)
{
    return std::string(FirstChars(Trim(s), kProfileNameMax));
}

bool SameName(std::string_view a, std::string_view b)
{
    return LocaleEqualNoCase(a, b);
}

bool UsableName(const std::string& name, std::string_view forbidden)
{
    return !name.empty() && name.find_first_of(forbidden) == std::string::npos &&
           name.find_first_of("\r\n") == std::string::npos;
}

struct Profile {
    std::vector<std::string> lines;
    bool bom = false;

    // Section header name of line i, if it is one.
    std::optional<std::string_view> Header(std::size_t i) const
    {
        const std::string_view t = Trim(lines[i]);
        if (t.size() < 2 || t.front() != '[')
            return std::nullopt;
        const std::size_t close = t.find(']');
        if (close == std::string_view::npos)
            return std::nullopt;
        return Trim(t.substr(1, close - 1));
    }

    std::optional<std::string_view> Key(std::size_t i) const
    {
        const std::string_view t = lines[i];
        const std::size_t eq = t.find('=');
        if (eq == std::string_view::npos || Header(i))
            return std::nullopt;
        return Trim(t.substr(0, eq));
    }

    // [first line after the header, first line of the next section), or nothing.
    std::optional<std::pair<std::size_t, std::size_t>> Section(std::string_view name) const
    {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const auto h = Header(i);
            if (!h || !SameName(FirstChars(*h, kProfileNameMax), name))
                continue;
            std::size_t end = i + 1;
            while (end < lines.size() && !Header(end))
                ++end;
            return std::make_pair(i + 1, end);
        }
        return std::nullopt;
    }

    std::optional<std::size_t> KeyLine(std::pair<std::size_t, std::size_t> range, std::string_view key) const
    {
        for (std::size_t i = range.first; i < range.second; ++i) {
            const auto k = Key(i);
            if (k && SameName(FirstChars(*k, kProfileNameMax), key))
                return i;
        }
        return std::nullopt;
    }
};

enum class LoadResult { Ok, Missing, Failed };

// Only a regular file is read (a pipe or a device is neither waited on nor ours to replace).
LoadResult Load(const std::string& file, Profile& p)
{
    std::string content;
    switch (ReadRegularFile(file, content)) {
    case RegularFileRead::Ok:
        break;
    case RegularFileRead::Missing:
        return LoadResult::Missing;
    default:
        return LoadResult::Failed;
    }
    if (content.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        p.bom = true;
        content.erase(0, 3);
    }
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        if (end == std::string::npos)
            end = content.size();
        std::string line = content.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        p.lines.push_back(std::move(line));
        start = end + 1;
    }
    return LoadResult::Ok;
}

// Writes the whole file through a temporary file and a rename. A link is followed, so that the
// write lands in the file the reads came from and the link stays; anything but a regular file (or
// none) in that place is left alone and the write fails.
bool Save(const std::string& file, const Profile& p)
{
    std::string content = p.bom ? "\xEF\xBB\xBF" : "";
    for (const auto& line : p.lines)
        content += line + "\n";

    std::string target = file;
    struct stat st {};
    if (::lstat(file.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char* resolved = ::realpath(file.c_str(), nullptr);
        if (!resolved)
            return false;
        target = resolved;
        std::free(resolved);
    }
    const bool exists = ::lstat(target.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode))
        return false;
    const mode_t mode = exists ? (st.st_mode & 07777) : 0644;

    std::string temp = target + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return false;
    bool ok = ::fchmod(fd, mode) == 0;
    for (std::size_t done = 0; ok && done < content.size();) {
        const ssize_t w = ::write(fd, content.data() + done, content.size() - done);
        if (w < 0 && errno == EINTR)
            continue;
        ok = w > 0;
        if (ok)
            done += static_cast<std::size_t>(w);
    }
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && std::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok)
        std::remove(temp.c_str());
    return ok;
}

std::string Encode(std::string_view value)
{
    std::string v(value);
    for (char& c : v)
        if (c == '\r' || c == '\n')
            c = ' ';
    const bool edgeBlank = !v.empty() && (v.front() == ' ' || v.front() == '\t' || v.back() == ' ' || v.back() == '\t');
    const bool quoted = v.size() >= 2 && v.front() == '"' && v.back() == '"';
    return edgeBlank || quoted ? "\"" + v + "\"" : v;
}

std::string Decode(std::string_view raw)
{
    std::string_view v = Trim(raw);
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"')
        v = v.substr(1, v.size() - 2);
    return std::string(FirstChars(v, kProfileValueMax));
}

std::optional<std::string> Lookup(std::string_view section, std::string_view key, const std::string& file)
{
    const std::string s = Name(section), k = Name(key);
    Profile p;
    {
        std::lock_guard lock(FileLock());
        if (Load(file, p) != LoadResult::Ok)
            return std::nullopt;
    }
    const auto range = p.Section(s);
    if (!range)
        return std::nullopt;
    const auto at = p.KeyLine(*range, k);
    if (!at)
        return std::nullopt;
    const std::string& line = p.lines[*at];
    return Decode(std::string_view(line).substr(line.find('=') + 1));
}

} // namespace

std::string ProfileGetString(std::string_view section, std::string_view key, std::string_view defaultValue,
                             const std::string& file)
{
    auto v = Lookup(section, key, file);
    return v ? std::move(*v) : std::string(defaultValue);
}

long ProfileGetInt(std::string_view section, std::string_view key, long defaultValue, const std::string& file)
{
    const auto v = Lookup(section, key, file);
    if (!v)
        return defaultValue;
    std::string_view s = Trim(*v);
    bool negative = false;
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    // Counted in unsigned with a ceiling just past the largest long, so that no digit string overflows.
    constexpr unsigned long long kCeiling = static_cast<unsigned long long>(LONG_MAX) + 1;
    unsigned long long n = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            break;
        n = n > kCeiling / 10 ? kCeiling : n * 10 + static_cast<unsigned long long>(c - '0');
        if (n > kCeiling)
            n = kCeiling;
    }
    if (negative)
        return n >= kCeiling ? LONG_MIN : -static_cast<long>(n);
    return n >= kCeiling ? LONG_MAX : static_cast<long>(n);
}

std::vector<std::string> ProfileGetKeys(std::string_view section, const std::string& file)
{
    const std::string s = Name(section);
    Profile p;
    {
        std::lock_guard lock(FileLock());
        if (Load(file, p) != LoadResult::Ok)
            return {};
    }
    std::vector<std::string> keys;
    const auto range = p.Section(s);
    if (!range)
        return keys;
    for (std::size_t i = range->first; i < range->second; ++i) {
        const auto k = p.Key(i);
        if (!k || k->empty())
            continue;
        const std::string name(FirstChars(*k, kProfileNameMax));
        bool seen = false;
        for (const auto& known : keys)
            seen = seen || SameName(known, name);
        if (!seen)
            keys.push_back(name);
    }
    return keys;
}

bool ProfileWriteString(std::string_view section, std::string_view key, std::string_view value,
                        const std::string& file)
{
    const std::string s = Name(section), k = Name(key);
    if (!UsableName(s, "]") || !UsableName(k, "=") || k.front() == '[')
        return false;
    const std::string line = k + "=" + Encode(value);

    std::lock_guard lock(FileLock());
    Profile p;
    if (Load(file, p) == LoadResult::Failed)
        return false;
    if (const auto range = p.Section(s)) {
        if (const auto at = p.KeyLine(*range, k)) {
            p.lines[*at] = line;
        } else {
            // After the section's last entry, before the blank lines that part it from the next.
            std::size_t pos = range->second;
            while (pos > range->first && Trim(p.lines[pos - 1]).empty())
                --pos;
            p.lines.insert(p.lines.begin() + static_cast<std::ptrdiff_t>(pos), line);
        }
    } else {
        if (!p.lines.empty() && !Trim(p.lines.back()).empty())
            p.lines.emplace_back();
        p.lines.push_back("[" + s + "]");
        p.lines.push_back(line);
    }
    return Save(file, p);
}

bool ProfileDeleteKey(std::string_view section, std::string_view key, const std::string& file)
{
    const std::string s = Name(section), k = Name(key);
    std::lock_guard lock(FileLock());
    Profile p;
    const LoadResult r = Load(file, p);
    if (r != LoadResult::Ok)
        return r == LoadResult::Missing;
    const auto range = p.Section(s);
    const auto at = range ? p.KeyLine(*range, k) : std::nullopt;
    if (!at)
        return true;
    p.lines.erase(p.lines.begin() + static_cast<std::ptrdiff_t>(*at));
    return Save(file, p);
}

bool ProfileDeleteSection(std::string_view section, const std::string& file)
{
    const std::string s = Name(section);
    std::lock_guard lock(FileLock());
    Profile p;
    const LoadResult r = Load(file, p);
    if (r != LoadResult::Ok)
        return r == LoadResult::Missing;
    const auto range = p.Section(s);
    if (!range)
        return true;
    p.lines.erase(p.lines.begin() + static_cast<std::ptrdiff_t>(range->first - 1),
                  p.lines.begin() + static_cast<std::ptrdiff_t>(range->second));
    return Save(file, p);
}
