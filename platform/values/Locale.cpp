#include "platform/values/Locale.h"

#include "platform/values/RegularFile.h"

#include <sstream>

namespace {

// Keys the platform asks for; a locale file without one of them is refused at start-up.
const char* const kButtons[] = {"OK", "Yes", "No", "Abort", "Retry", "Ignore", "Cancel", "Help"};
const char* const kMessages[] = {"Zahl.Ungueltig", "Zahl.NurGanze", "Zahl.Negativ", "Zahl.ZuGross",
                                 "Zeit.Ungueltig", "Datum.Ungueltig", "Muster.Ungueltig"};

Locale& CurrentLocale()
{
    static Locale current;
    return current;
}

// Decodes one UTF-8 character at i; false for a malformed sequence.
bool Decode(std::string_view s, size_t& i, char32_t& c)
{
    const unsigned char b = static_cast<unsigned char>(s[i]);
    int len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    if (len == 0 || i + static_cast<size_t>(len) > s.size())
        return false;
    c = len == 1 ? b : len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
    for (int k = 1; k < len; ++k) {
        const unsigned char n = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
        if ((n >> 6) != 2)
            return false;
        c = (c << 6) | (n & 0x3F);
    }
    i += static_cast<size_t>(len);
    return true;
}

// Malformed bytes pass through as single characters of their own value, so nothing is lost.
std::u32string ToUtf32(std::string_view s)
{
    std::u32string out;
    size_t i = 0;
    while (i < s.size()) {
        char32_t c;
        if (!Decode(s, i, c)) {
            c = static_cast<unsigned char>(s[i]);
            ++i;
        }
        out += c;
    }
    return out;
}

void Append(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool ValidUtf8(std::string_view s)
{
    size_t i = 0;
    char32_t c;
    while (i < s.size())
        if (!Decode(s, i, c))
            return false;
    return true;
}

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// One character of a text, or nothing.
bool SingleChar(std::string_view s, char32_t& c)
{
    size_t i = 0;
    return !s.empty() && Decode(s, i, c) && i == s.size();
}

int NumberKey(std::string_view k, int max)
{
    if (k.empty() || k.size() > 2)
        return 0;
    int n = 0;
    for (char ch : k) {
        if (ch < '0' || ch > '9')
            return 0;
        n = n * 10 + (ch - '0');
    }
    return n >= 1 && n <= max ? n : 0;
}

// The three levels of a text in the sort order, then the text itself.
struct SortKey {
    std::u32string primary;    // lower case, special letters spelt as they sort
    std::string secondary;     // per character: 0 plain, 1 sorted as another spelling
    std::string tertiary;      // per character: 0 lower or caseless, 1 upper
};

int Sign(int v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

} // namespace

Locale::Locale()
{
    for (char32_t c = U'A'; c <= U'Z'; ++c) {
        lower_[c] = c + 32;
        upper_[c + 32] = c;
    }
}

const Locale& Locale::Current()
{
    return CurrentLocale();
}

bool Locale::Load(const std::string& path, std::string* error)
{
    const std::string what = "Die Sprachdatei „" + path + "“ ";
    auto fail = [&](const std::string& why) {
        if (error)
            *error = what + why;
        return false;
    };
    std::string content;
    switch (ReadRegularFile(path, content)) {
    case RegularFileRead::Ok:
        break;
    case RegularFileRead::NotRegular:
        return fail("ist keine gewöhnliche Datei (sondern etwa eine benannte Pipe, ein Ordner oder ein Gerät) "
                    "und wird nicht gelesen.");
    case RegularFileRead::Unread:
        return fail("kann nicht gelesen werden.");
    default:
        return fail("fehlt oder kann nicht gelesen werden.");
    }
    if (content.compare(0, 3, "\xEF\xBB\xBF") == 0)
        content.erase(0, 3);

    Locale loc;
    enum class Section { None, Months, Days, Buttons, Case, Sort, Messages, Unknown };
    Section section = Section::None;
    bool seen[7] = {};
    std::istringstream lines(content);
    std::string raw;
    int lineNo = 0;
    while (std::getline(lines, raw)) {
        ++lineNo;
        const std::string at = "ist fehlerhaft (Zeile " + std::to_string(lineNo) + "): ";
        if (!ValidUtf8(raw))
            return fail(at + "die Zeile ist kein gültiger UTF-8-Text.");
        const std::string_view line = Trim(raw);
        if (line.empty() || line.front() == '#')
            continue;
        if (line.front() == '[') {
            if (line.back() != ']')
                return fail(at + "der Abschnittsname ist nicht mit „]“ abgeschlossen.");
            const std::string_view name = Trim(line.substr(1, line.size() - 2));
            section = name == "Monate"          ? Section::Months
                      : name == "Wochentage"    ? Section::Days
                      : name == "Schaltflächen" ? Section::Buttons
                      : name == "Groß/Klein"    ? Section::Case
                      : name == "Sortierung"    ? Section::Sort
                      : name == "Meldungen"     ? Section::Messages
                                                : Section::Unknown;
            if (section == Section::Unknown)
                return fail(at + "unbekannter Abschnitt „" + std::string(name) + "“.");
            if (seen[static_cast<int>(section)])
                return fail(at + "der Abschnitt „" + std::string(name) + "“ steht zweimal in der Datei.");
            seen[static_cast<int>(section)] = true;
            continue;
        }
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos)
            return fail(at + "erwartet wird „Schlüssel = Wert“.");
        if (section == Section::None)
            return fail(at + "der Eintrag steht vor dem ersten Abschnitt.");
        const std::string_view key = Trim(line.substr(0, eq));
        const std::string_view value = Trim(line.substr(eq + 1));
        const std::string k(key);
        auto dup = [&] { return fail(at + "„" + k + "“ steht zweimal im Abschnitt."); };
        switch (section) {
        case Section::Months:
        case Section::Days: {
            const bool months = section == Section::Months;
            const int n = NumberKey(key, months ? 12 : 7);
            if (n == 0)
                return fail(at + (months ? "erwartet wird eine Monatszahl von 1 bis 12."
                                         : "erwartet wird eine Tageszahl von 1 bis 7."));
            std::string& slot = months ? loc.months_[n] : loc.days_[n];
            if (!slot.empty())
                return dup();
            if (value.empty())
                return fail(at + "der Name fehlt.");
            slot = value;
            break;
        }
        case Section::Buttons:
        case Section::Messages: {
            auto& map = section == Section::Buttons ? loc.buttons_ : loc.messages_;
            if (key.empty() || value.empty())
                return fail(at + "Schlüssel oder Text fehlt.");
            if (!map.emplace(k, std::string(value)).second)
                return dup();
            break;
        }
        case Section::Case: {
            char32_t u, l;
            if (!SingleChar(key, u) || !SingleChar(value, l) || u == l)
                return fail(at + "erwartet wird „Großbuchstabe = Kleinbuchstabe“.");
            if (loc.lower_.count(u) && loc.lower_[u] != l)
                return dup();
            loc.lower_[u] = l;
            loc.upper_[l] = u;
            break;
        }
        case Section::Sort: {
            char32_t c;
            if (!SingleChar(key, c) || value.empty())
                return fail(at + "erwartet wird „Buchstabe = Buchstaben, als die er sortiert“.");
            if (!loc.sortAs_.emplace(c, ToUtf32(value)).second)
                return dup();
            break;
        }
        default:
            break;
        }
    }
    const char* const names[] = {"", "Monate", "Wochentage", "Schaltflächen", "Groß/Klein", "Sortierung", "Meldungen"};
    for (int s = 1; s <= 6; ++s)
        if (!seen[s])
            return fail(std::string("ist unvollständig: der Abschnitt „") + names[s] + "“ fehlt.");
    for (int m = 1; m <= 12; ++m)
        if (loc.months_[m].empty())
            return fail("ist unvollständig: der Name des " + std::to_string(m) + ". Monats fehlt.");
    for (int d = 1; d <= 7; ++d)
        if (loc.days_[d].empty())
            return fail("ist unvollständig: der Name des " + std::to_string(d) + ". Wochentags fehlt.");
    for (const char* b : kButtons)
        if (!loc.buttons_.count(b))
            return fail(std::string("ist unvollständig: die Schaltfläche „") + b + "“ fehlt.");
    for (const char* m : kMessages)
        if (!loc.messages_.count(m))
            return fail(std::string("ist unvollständig: die Meldung „") + m + "“ fehlt.");
    // Sort spellings are compared in lower case, like the texts they stand for.
    for (auto& [c, spelling] : loc.sortAs_)
        for (auto& ch : spelling)
            ch = loc.ToLower(ch);

    CurrentLocale() = std::move(loc);
    return true;
}

const std::string& Locale::MonthName(int month) const
{
    return months_[month >= 1 && month <= 12 ? month : 0];
}

const std::string& Locale::DayName(int weekday) const
{
    return days_[weekday >= 1 && weekday <= 7 ? weekday : 0];
}

std::string Locale::ButtonText(std::string_view key) const
{
    const auto it = buttons_.find(key);
    return it == buttons_.end() ? std::string(key) : it->second;
}

std::string Locale::Message(std::string_view key, std::initializer_list<std::string_view> args) const
{
    return MessageOr(key, key, args);
}

std::string Locale::MessageOr(std::string_view key, std::string_view builtIn,
                              std::initializer_list<std::string_view> args) const
{
    const auto it = messages_.find(key);
    const std::string_view text = it == messages_.end() ? builtIn : std::string_view(it->second);
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
            const size_t n = static_cast<size_t>(text[i + 1] - '1');
            if (n < args.size()) {
                out += *(args.begin() + n);
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

char32_t Locale::ToUpper(char32_t c) const
{
    const auto it = upper_.find(c);
    return it == upper_.end() ? c : it->second;
}

char32_t Locale::ToLower(char32_t c) const
{
    const auto it = lower_.find(c);
    return it == lower_.end() ? c : it->second;
}

int Locale::Compare(std::string_view a, std::string_view b, bool withCase) const
{
    auto keyOf = [this](std::string_view s) {
        SortKey k;
        for (char32_t c : ToUtf32(s)) {
            const char32_t l = ToLower(c);
            k.tertiary += l != c ? '1' : '0';
            const auto it = sortAs_.find(l);
            if (it == sortAs_.end()) {
                k.primary += l;
                k.secondary += '0';
            } else {
                k.primary += it->second;
                k.secondary += '1';
            }
        }
        return k;
    };
    const SortKey ka = keyOf(a), kb = keyOf(b);
    if (int r = ka.primary.compare(kb.primary))
        return Sign(r);
    if (int r = ka.secondary.compare(kb.secondary))
        return Sign(r);
    if (!withCase) {
        // Equal but for case is equal; other texts still get a fixed order.
        std::u32string la, lb;
        for (char32_t c : ToUtf32(a))
            la += ToLower(c);
        for (char32_t c : ToUtf32(b))
            lb += ToLower(c);
        return Sign(la.compare(lb));
    }
    if (int r = ka.tertiary.compare(kb.tertiary))
        return Sign(r);
    return Sign(a.compare(b));
}

std::string LocaleUpper(std::string_view text)
{
    const Locale& loc = Locale::Current();
    std::string out;
    out.reserve(text.size());
    for (char32_t c : ToUtf32(text))
        Append(out, loc.ToUpper(c));
    return out;
}

std::string LocaleLower(std::string_view text)
{
    const Locale& loc = Locale::Current();
    std::string out;
    out.reserve(text.size());
    for (char32_t c : ToUtf32(text))
        Append(out, loc.ToLower(c));
    return out;
}

int LocaleCompare(std::string_view a, std::string_view b)
{
    return Locale::Current().Compare(a, b, true);
}

int LocaleCompareNoCase(std::string_view a, std::string_view b)
{
    return Locale::Current().Compare(a, b, false);
}

bool LocaleEqualNoCase(std::string_view a, std::string_view b)
{
    return LocaleLower(a) == LocaleLower(b);
}

std::string LocaleMessage(std::string_view key, std::initializer_list<std::string_view> args)
{
    return Locale::Current().Message(key, args);
}

std::string LocaleMessageOr(std::string_view key, std::string_view builtIn,
                            std::initializer_list<std::string_view> args)
{
    return Locale::Current().MessageOr(key, builtIn, args);
}
