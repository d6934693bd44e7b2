#include "core/Utilities.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <vector>

namespace {

constexpr size_t kTextLimit = 2047;
constexpr size_t kLargeTextLimit = 4194303;
constexpr size_t kTraceLimit = 2046;

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

std::string_view TrimRight(std::string_view s)
{
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

size_t CountCharacters(std::string_view s)
{
    return size_t(std::count_if(s.begin(), s.end(), [](char c) { return !IsContinuation(c); }));
}

// Cuts s to its first max characters.
void CutToCharacters(std::string& s, size_t max) { s.resize(Utf8Prefix(s, max).size()); }

// The code point at s[i], advancing i; a broken sequence reads as its first byte.
char32_t NextCodePoint(std::string_view s, size_t& i)
{
    auto b = static_cast<unsigned char>(s[i]);
    int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
    char32_t cp = extra == 3 ? b & 0x07 : extra == 2 ? b & 0x0F : extra == 1 ? b & 0x1F : b;
    if (extra == 0 || i + size_t(extra) >= s.size()) {
        ++i;
        return b;
    }
    for (int k = 1; k <= extra; ++k) {
        if (!IsContinuation(s[i + size_t(k)])) {
            ++i;
            return b;
        }
        cp = (cp << 6) | (static_cast<unsigned char>(s[i + size_t(k)]) & 0x3F);
    }
    i += size_t(extra) + 1;
    return cp;
}

bool IsLetter(char32_t c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
        return true;
    // The letters of the Western European code page the record files are written in.
    if (c >= 0xC0 && c <= 0xFF)
        return c != 0xD7 && c != 0xF7;
    switch (c) {
    case 0x152: case 0x153: case 0x160: case 0x161: case 0x178: case 0x17D: case 0x17E: case 0x192:
        return true;
    default:
        return c == 0xAA || c == 0xB5 || c == 0xBA;
    }
}

bool IsSeparator(char32_t c, std::string_view separators)
{
    for (size_t i = 0; i < separators.size();)
        if (NextCodePoint(separators, i) == c)
            return true;
    return false;
}

// Every occurrence of find in text replaced, left to right; inserted text is not searched again.
std::string ReplaceOnce(std::string_view text, std::string_view find, std::string_view replacement)
{
    std::string out;
    size_t from = 0;
    for (size_t at; (at = text.find(find, from)) != std::string_view::npos; from = at + find.size()) {
        out.append(text.substr(from, at - from));
        out.append(replacement);
    }
    out.append(text.substr(from));
    return out;
}

// Replaces the leftmost occurrence again and again until there is none, as searching the whole
// text from its start after each replacement would, the text never longer than limit characters
// (a replacement that makes it longer loses characters at the end). Nothing is scanned twice:
// the text before a replacement is unchanged and held no occurrence, so only its last
// find.size() - 1 characters can start a new one; they go back, followed by the replacement, onto
// the stack of characters still to read. Cutting the end drops the stack's bottom by moving
// pendingBottom_, so a text that keeps growing at its limit costs no copying.
class RepeatedReplacer {
public:
    RepeatedReplacer(std::string_view text, std::string_view find, std::string_view replacement, size_t limit)
        : input_(text), find_(find), replacement_(replacement), limit_(limit), characters_(CountCharacters(text))
    {
    }

    std::string Run()
    {
        const long long growth = (long long)CountCharacters(replacement_) - (long long)CountCharacters(find_);
        // Only a text that keeps rewriting itself within the limit can use this up.
        size_t budget = 64 * (limit_ + 1);
        while (ReadOne()) {
            if (!EndsWithFind())
                continue;
            if (budget-- == 0)
                break;
            done_.resize(done_.size() - find_.size());
            size_t back = std::min(done_.size(), find_.size() - 1);
            pending_.append(replacement_.rbegin(), replacement_.rend());
            pending_.append(done_.rbegin(), done_.rbegin() + std::ptrdiff_t(back));
            done_.resize(done_.size() - back);
            characters_ = size_t((long long)characters_ + growth);
            if (characters_ > limit_)
                DropLast(characters_ - limit_);
        }
        done_.append(pending_.rbegin(), pending_.rend() - std::ptrdiff_t(pendingBottom_));
        done_.append(input_);
        return done_;
    }

private:
    bool ReadOne()
    {
        if (pending_.size() > pendingBottom_) {
            done_.push_back(pending_.back());
            pending_.pop_back();
        } else if (!input_.empty()) {
            done_.push_back(input_.front());
            input_.remove_prefix(1);
        } else {
            return false;
        }
        return true;
    }

    bool EndsWithFind() const
    {
        return done_.size() >= find_.size() && done_.back() == find_.back() &&
               std::string_view(done_).substr(done_.size() - find_.size()) == find_;
    }

    // Drops n characters from the end of the text: from the unread input, then from the stack
    // (whose bottom is the text's end, each character's bytes reversed), then from what was read.
    void DropLast(size_t n)
    {
        characters_ -= n;
        while (n > 0 && !input_.empty()) {
            while (input_.size() > 1 && IsContinuation(input_.back()))
                input_.remove_suffix(1);
            input_.remove_suffix(1);
            --n;
        }
        while (n > 0 && pendingBottom_ < pending_.size()) {
            while (pendingBottom_ < pending_.size() && IsContinuation(pending_[pendingBottom_]))
                ++pendingBottom_;
            if (pendingBottom_ < pending_.size())
                ++pendingBottom_;
            --n;
        }
        if (pendingBottom_ == pending_.size()) {
            pending_.clear();
            pendingBottom_ = 0;
        }
        while (n > 0 && !done_.empty()) {
            while (done_.size() > 1 && IsContinuation(done_.back()))
                done_.pop_back();
            done_.pop_back();
            --n;
        }
    }

    std::string_view input_;
    std::string_view find_;
    std::string_view replacement_;
    size_t limit_;
    size_t characters_;
    std::string done_;     // read; holds no occurrence
    std::string pending_;  // to read before the rest of the input, last character first
    size_t pendingBottom_ = 0;  // pending_[0, pendingBottom_) was cut off the text's end
};

} // namespace

std::string Clip(std::string_view text) { return std::string(TrimRight(text)); }

std::size_t Utf8Length(std::string_view text) { return CountCharacters(text); }

std::string_view Utf8Prefix(std::string_view text, std::size_t chars)
{
    std::size_t n = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!IsContinuation(text[i]) && n++ == chars)
            return text.substr(0, i);
    return text;
}

std::string_view Utf8PrefixBytes(std::string_view text, std::size_t bytes)
{
    if (text.size() <= bytes)
        return text;
    std::size_t cut = bytes;
    while (cut > 0 && IsContinuation(text[cut]))
        --cut;
    return text.substr(0, cut);
}


std::string ReplaceRepeatedly(std::string_view text, std::string_view find, std::string_view replacement,
                              size_t limit)
{
    std::string source(text);
    CutToCharacters(source, limit);
    if (find.empty())
        return source;
    if (replacement.find(find) != std::string_view::npos) {
        // Searching again would never end: every replacement holds a new occurrence.
        std::string out = ReplaceOnce(source, find, replacement);
        CutToCharacters(out, limit);
        return out;
    }
    return RepeatedReplacer(source, find, replacement, limit).Run();
}

std::string StripQuotes(std::string_view text)
{
    std::string out;
    std::copy_if(text.begin(), text.end(), std::back_inserter(out), [](char c) { return c != '"'; });
    return out;
}

std::string ReplaceText(std::string_view text, std::string_view find, std::string_view replacement)
{
    return ReplaceRepeatedly(TrimRight(text), find, replacement, kTextLimit);
}

std::string ReplaceTextLarge(std::string_view text, std::string_view find, std::string_view replacement)
{
    return ReplaceRepeatedly(TrimRight(text), find, replacement, kLargeTextLimit);
}

void ReplaceInBuffer(std::string& buffer, std::size_t size, std::string_view find, std::string_view replacement)
{
    if (!find.empty())
        buffer = ReplaceOnce(buffer, find, replacement);
    CutToCharacters(buffer, size == 0 ? 0 : size - 1);
}

bool ContainsLetter(std::string_view text)
{
    text = TrimRight(text);
    for (size_t i = 0; i < text.size();)
        if (IsLetter(NextCodePoint(text, i)))
            return true;
    return false;
}

std::string GetToken(std::string_view text, int n, std::string_view separators)
{
    if (n <= 0)
        return {};
    text = TrimRight(text);
    int piece = 1;
    size_t start = 0;
    for (size_t i = 0; i < text.size();) {
        size_t at = i;
        if (IsSeparator(NextCodePoint(text, i), separators)) {
            if (piece == n)
                return std::string(text.substr(start, at - start));
            ++piece;
            start = i;
        }
    }
    return piece == n ? std::string(text.substr(start)) : std::string();
}

void AppendLine(std::string& text, std::string_view line)
{
    std::string_view kept = TrimRight(text);
    if (kept.empty()) {
        text = std::string(line);
        return;
    }
    text.resize(kept.size());
    text += "\r\n";
    text += line;
}

int32_t IntDiv(int32_t a, int32_t b)
{
    if (b == 0)
        return 0;
    if (a == std::numeric_limits<int32_t>::min() && b == -1)
        return std::numeric_limits<int32_t>::max();  // the one quotient that does not fit
    return a / b;
}

namespace {
bool IsPathSeparator(char c) { return c == '/' || c == '\\'; }
} // namespace

PathParts SplitPath(std::string_view path)
{
    // Only "/" separates folders here; a backslash is a character of a file name.
    size_t at = path.find_last_of('/');
    if (at == std::string_view::npos)
        return {std::string(), std::string(path)};
    return {std::string(path.substr(0, at + 1)), std::string(path.substr(at + 1))};
}

std::string QuoteIfNeeded(std::string_view path)
{
    std::string p = StripQuotes(path);
    if (!p.empty() && p.find(' ') != std::string::npos)
        return '"' + p + '"';
    return p;
}

std::string AddTrailingBackslash(std::string_view path, bool quote)
{
    std::string p = StripQuotes(path);
    if (!p.empty() && !IsPathSeparator(p.back()))
        p += '/';
    return quote ? QuoteIfNeeded(p) : p;
}

std::string JoinPath(std::string_view directory, std::string_view name, bool quote)
{
    std::string joined = directory.empty() ? std::string(name) : AddTrailingBackslash(directory) + std::string(name);
    return quote ? QuoteIfNeeded(joined) : joined;
}

void DebugTrace(std::string_view text, long code, bool noCode)
{
    std::string line(TrimRight(text));
    CutToCharacters(line, kTraceLimit);
    if (!noCode)
        line += " (Errorcode: " + std::to_string(code) + ")";
    std::fprintf(stderr, "%s\n", line.c_str());
}
