#include "platform/values/Picture.h"

#include "platform/values/Date.h"
#include "platform/values/Decimal.h"
#include "platform/values/Locale.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

bool AllDigits(std::string_view s)
{
    for (char c : s)
        if (!IsDigit(c))
            return false;
    return !s.empty();
}

// Reads the digits at pos into n; false when there are none or too many.
bool ReadInt(std::string_view t, size_t& pos, int& n)
{
    const size_t start = pos;
    long v = 0;
    while (pos < t.size() && IsDigit(t[pos])) {
        v = v * 10 + (t[pos] - '0');
        if (v > 100000)
            return false;
        ++pos;
    }
    n = static_cast<int>(v);
    return pos > start;
}

int ToInt(std::string_view digits)
{
    int v = 0;
    for (char c : digits)
        v = v * 10 + (c - '0');
    return v;
}

// The first n characters of a UTF-8 text.
std::string_view FirstChars(std::string_view s, int n)
{
    size_t i = 0;
    int count = 0;
    while (i < s.size()) {
        if (count == n)
            return s.substr(0, i);
        const unsigned char c = static_cast<unsigned char>(s[i]);
        size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
        i += len;
        ++count;
    }
    return s.substr(0, std::min(i, s.size()));
}

// A number as decimal digits, so that rounding follows what the user sees, not the binary value.
struct Digits {
    bool negative = false;
    std::string whole;  // without leading zeros; empty for 0
    std::string frac;

    bool IsZero() const
    {
        return whole.empty() && frac.find_first_not_of('0') == std::string::npos;
    }

    // Rounds half away from zero to `places` fraction digits, padding with zeros.
    void Round(int places)
    {
        const size_t p = static_cast<size_t>(places);
        if (frac.size() > p) {
            const bool up = frac[p] >= '5';
            frac.resize(p);
            if (up) {
                size_t i = frac.size();
                bool carry = true;
                while (carry && i > 0) {
                    --i;
                    if (frac[i] == '9')
                        frac[i] = '0';
                    else {
                        ++frac[i];
                        carry = false;
                    }
                }
                for (size_t j = whole.size(); carry && j > 0; --j) {
                    if (whole[j - 1] == '9')
                        whole[j - 1] = '0';
                    else {
                        ++whole[j - 1];
                        carry = false;
                    }
                }
                if (carry)
                    whole.insert(whole.begin(), '1');
            }
        }
        frac.resize(p, '0');
        const size_t nz = whole.find_first_not_of('0');
        whole.erase(0, nz == std::string::npos ? whole.size() : nz);
    }
};

// Fifteen significant digits: enough for every value a user types, few enough that 2.675 stays 2.675.
std::optional<Digits> DigitsOf(double v)
{
    if (!std::isfinite(v))
        return std::nullopt;
    Digits d;
    d.negative = std::signbit(v);
    if (v == 0)
        return d;
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(v));
    std::string mant;
    mant += buf[0];
    const char* p = buf + 2;
    while (IsDigit(*p))
        mant += *p++;
    const int exp = std::atoi(p + 1);  // p points at 'e'
    const int point = exp + 1;         // digits before the decimal point
    if (point > 0) {
        if (static_cast<size_t>(point) >= mant.size()) {
            d.whole = mant + std::string(static_cast<size_t>(point) - mant.size(), '0');
        } else {
            d.whole = mant.substr(0, static_cast<size_t>(point));
            d.frac = mant.substr(static_cast<size_t>(point));
        }
    } else {
        d.frac = std::string(static_cast<size_t>(-point), '0') + mant;
    }
    return d;
}

Digits DigitsOf(long long v)
{
    Digits d;
    d.negative = v < 0;
    const unsigned long long mag = v < 0 ? 0ULL - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
    if (mag != 0)
        d.whole = std::to_string(mag);
    return d;
}

struct NumberParts {
    std::string sign;  // "-" or empty
    std::string body;  // digits, grouping, decimal mark, fill
    bool blank = false;
};

} // namespace

// Formats with one picture; a friend of Picture, so the picture's fields stay private.
class PictureAccess {
public:
    explicit PictureAccess(const Picture& p) : p_(p) {}

    NumberParts Number(Digits d) const
    {
        NumberParts out;
        d.Round(Places());
        if (d.IsZero()) {
            d.negative = false;
            if (BlankWhenZero()) {
                out.blank = true;
                return out;
            }
        }
        std::string whole = d.whole.empty() ? "0" : d.whole;
        if (Grouping()) {
            std::string grouped;
            const size_t n = whole.size();
            for (size_t i = 0; i < n; ++i) {
                if (i > 0 && (n - i) % 3 == 0)
                    grouped += Grouping();
                grouped += whole[i];
            }
            whole = std::move(grouped);
        }
        out.body = whole;
        if (Places() > 0) {
            if (Mark())
                out.body += Mark();
            out.body += d.frac;
        }
        if (d.negative)
            out.sign = "-";
        if (Fill()) {
            const size_t width = out.body.size() + out.sign.size();
            if (width < static_cast<size_t>(Size()))
                out.body.insert(0, static_cast<size_t>(Size()) - width, Fill());
        }
        return out;
    }

    std::string Join(const NumberParts& n) const
    {
        if (n.blank)
            return {};
        if (SignBehind())
            return Prefix() + n.body + n.sign + Suffix();
        return Prefix() + n.sign + n.body + Suffix();
    }

    std::string Time(long long v) const
    {
        if (v == 0 && BlankWhenZero())
            return {};
        if (v < 0)
            return {};
        const long long t = v == 0 ? 0 : v - 1;
        const long long h = t / kClockPerHour;
        const long long m = t / kClockPerMinute % 60;
        const long long s = t / 100 % 60;
        char buf[48];
        if (TimeStyle() == 4)
            std::snprintf(buf, sizeof buf, "%02lld:%02lld:%02lld", h, m, s);
        else
            std::snprintf(buf, sizeof buf, "%02lld:%02lld", h, m);
        return buf;
    }

    std::string Date(long long v) const
    {
        if (v < kDateFirst || v > kDateLast)
            return {};  // 0 is "no date"; nothing else outside the calendar can be shown either
        const auto d = DateParts(static_cast<long>(v));
        char buf[32];
        std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", d->day, d->month, d->year);
        return buf;
    }

    std::string Pattern(long long v) const
    {
        if (v == 0 && BlankWhenZero())
            return {};
        const std::string& pat = PatternText();
        size_t slots = 0;
        for (char c : pat)
            if (c == '#' || c == '<')
                ++slots;
        std::string digits = v < 0 ? std::string() : std::to_string(v);
        if (v < 0 || digits.size() > slots)
            return std::to_string(v);  // does not fit: show the number rather than hide it
        digits.insert(0, slots - digits.size(), '0');
        std::string out;
        size_t k = 0;
        bool leading = true;
        for (char c : pat) {
            if (c == '#' || c == '<') {
                const char dgt = digits[k++];
                if (dgt != '0' || k == slots)
                    leading = false;
                out += (c == '<' && leading) ? ' ' : dgt;
                if (c == '#')
                    leading = false;
            } else {
                out += c;
            }
        }
        return out;
    }

    const std::string& Prefix() const { return p_.prefix_; }
    const std::string& Suffix() const { return p_.suffix_; }
    bool SignAllowed() const { return p_.sign_; }
    bool SignBehind() const { return p_.signBehind_; }
    char Fill() const { return p_.fill_; }
    char Grouping() const { return p_.grouping_; }
    char Mark() const { return p_.decimalMark_; }
    int Places() const { return p_.places_; }
    int Size() const { return p_.size_; }
    bool BlankWhenZero() const { return p_.blankWhenZero_; }
    int TimeStyle() const { return p_.timeStyle_; }
    const std::string& PatternText() const { return p_.pattern_; }
    Picture::Kind Kind() const { return p_.kind_; }

private:
    const Picture& p_;
};

namespace {

using Formatter = PictureAccess;

PictureInput Refuse(std::string message)
{
    PictureInput in;
    in.message = std::move(message);
    return in;
}

PictureInput Accept(double v)
{
    PictureInput in;
    in.ok = true;
    in.number = v;
    return in;
}

std::string_view StripWord(std::string_view s, std::string_view word, bool front)
{
    word = Trim(word);
    if (word.empty() || s.size() < word.size())
        return s;
    if (front && s.substr(0, word.size()) == word)
        return Trim(s.substr(word.size()));
    if (!front && s.substr(s.size() - word.size()) == word)
        return Trim(s.substr(0, s.size() - word.size()));
    return s;
}

PictureInput ParseNumber(std::string_view input, const Formatter& f)
{
    std::string_view s = Trim(input);
    if (s.empty())
        return Accept(0);
    const std::string bad = LocaleMessage("Zahl.Ungueltig", {s});
    s = StripWord(s, f.Prefix(), true);
    s = StripWord(s, f.Suffix(), false);
    bool negative = false;
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        negative = s.front() == '-';
        s = Trim(s.substr(1));
    } else if (!s.empty() && s.back() == '-') {
        negative = true;
        s = Trim(s.substr(0, s.size() - 1));
    }
    std::string whole, frac;
    if (f.Mark() == 0 && f.Places() > 0) {
        // Implied decimal places: the last digits are the fraction.
        if (!AllDigits(s))
            return Refuse(bad);
        std::string all(s);
        if (all.size() < static_cast<size_t>(f.Places()))
            all.insert(0, static_cast<size_t>(f.Places()) - all.size(), '0');
        whole = all.substr(0, all.size() - static_cast<size_t>(f.Places()));
        frac = all.substr(all.size() - static_cast<size_t>(f.Places()));
    } else {
        // A field without places still reads "5,0" as 5 and refuses "5,5" with a clear word.
        const char markChar = f.Mark() ? f.Mark() : ',';
        const size_t mark = s.find(markChar);
        std::string_view intPart = s.substr(0, mark);
        if (mark != std::string_view::npos) {
            const std::string_view fracPart = s.substr(mark + 1);
            if (!fracPart.empty() && !AllDigits(fracPart))
                return Refuse(bad);
            if (f.Places() == 0 && !fracPart.empty() && fracPart.find_first_not_of('0') != std::string_view::npos)
                return Refuse(LocaleMessage("Zahl.NurGanze"));
            frac = fracPart;
        }
        // Thousands separators only where they belong: 1.234.567, not 12.34.
        size_t groupLen = 0;
        bool grouped = false;
        for (size_t i = 0; i < intPart.size(); ++i) {
            const char c = intPart[i];
            if (IsDigit(c)) {
                whole += c;
                ++groupLen;
            } else if (f.Grouping() && c == f.Grouping()) {
                if ((grouped ? groupLen != 3 : (groupLen == 0 || groupLen > 3)) || i + 1 == intPart.size())
                    return Refuse(bad);
                grouped = true;
                groupLen = 0;
            } else {
                return Refuse(bad);
            }
        }
        if (grouped && groupLen != 3)
            return Refuse(bad);
        if (whole.empty() && frac.empty())
            return Refuse(bad);
    }
    if (negative && !f.SignAllowed())
        return Refuse(LocaleMessage("Zahl.Negativ"));

    Digits d;
    d.negative = negative;
    d.whole = whole;
    d.frac = frac;
    d.Round(f.Places());
    NumberParts shown = f.Number(d);
    if (!shown.blank && shown.sign.size() + shown.body.size() > static_cast<size_t>(f.Size()) && f.Size() > 0)
        return Refuse(LocaleMessage("Zahl.ZuGross", {Trim(input)}));
    std::string text = (d.negative ? "-" : "") + (d.whole.empty() ? std::string("0") : d.whole) + "." + d.frac;
    double v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec != std::errc())
        return Refuse(LocaleMessage("Zahl.ZuGross", {Trim(input)}));
    return Accept(v == 0 ? 0.0 : v);  // no "-0"
}

PictureInput ParseTime(std::string_view input, const Formatter& f)
{
    std::string_view s = Trim(input);
    if (s.empty())
        return Accept(0);
    const char* form = f.TimeStyle() == 4 ? "hh:mm:ss" : "hh:mm";
    const std::string bad = LocaleMessage("Zeit.Ungueltig", {s, form});
    std::string_view parts[3];
    int count = 0;
    if (AllDigits(s)) {
        switch (s.size()) {
        case 1: case 2: parts[0] = s; count = 1; break;
        case 3: parts[0] = s.substr(0, 1); parts[1] = s.substr(1); count = 2; break;
        case 4: parts[0] = s.substr(0, 2); parts[1] = s.substr(2); count = 2; break;
        case 6: parts[0] = s.substr(0, 2); parts[1] = s.substr(2, 2); parts[2] = s.substr(4); count = 3; break;
        default: return Refuse(bad);
        }
    } else {
        size_t start = 0;
        for (size_t i = 0; i <= s.size(); ++i) {
            if (i == s.size() || s[i] == ':' || s[i] == '.') {
                if (count == 3)
                    return Refuse(bad);
                parts[count++] = s.substr(start, i - start);
                start = i + 1;
            }
        }
        for (int i = 0; i < count; ++i)
            if (!AllDigits(parts[i]) || parts[i].size() > 2)
                return Refuse(bad);
    }
    const int h = ToInt(parts[0]);
    const int m = count > 1 ? ToInt(parts[1]) : 0;
    const int sec = count > 2 ? ToInt(parts[2]) : 0;
    if (m > 59 || sec > 59 || h > 24 || (h == 24 && (m != 0 || sec != 0)))
        return Refuse(bad);
    return Accept(static_cast<double>(ClockFromParts(h, m, sec)));
}

PictureInput ParseDate(std::string_view input)
{
    std::string_view s = Trim(input);
    if (s.empty())
        return Accept(0);
    const std::string bad = LocaleMessage("Datum.Ungueltig", {s});
    std::string_view d, m, y;
    if (AllDigits(s)) {
        if (s.size() != 6 && s.size() != 8)
            return Refuse(bad);
        d = s.substr(0, 2);
        m = s.substr(2, 2);
        y = s.substr(4);
    } else {
        const size_t p1 = s.find('.');
        const size_t p2 = p1 == std::string_view::npos ? p1 : s.find('.', p1 + 1);
        if (p2 == std::string_view::npos)
            return Refuse(bad);
        d = s.substr(0, p1);
        m = s.substr(p1 + 1, p2 - p1 - 1);
        y = s.substr(p2 + 1);
        if (!AllDigits(d) || !AllDigits(m) || !AllDigits(y) || d.size() > 2 || m.size() > 2)
            return Refuse(bad);
    }
    if (y.size() != 2 && y.size() != 4)
        return Refuse(bad);
    int year = ToInt(y);
    if (y.size() == 2)
        year += year < 30 ? 2000 : 1900;  // the usual window of two-digit years: 1930 .. 2029
    const long date = DateFromParts(year, ToInt(m), ToInt(d));
    if (date == 0)
        return Refuse(bad);
    return Accept(static_cast<double>(date));
}

PictureInput ParsePattern(std::string_view input, const Formatter& f)
{
    std::string_view s = Trim(input);
    if (s.empty())
        return Accept(0);
    const std::string& pat = f.PatternText();
    std::string shown, digits;
    size_t slots = 0;
    for (char c : pat) {
        if (c == '#' || c == '<') {
            ++slots;
            shown += '#';
        } else {
            shown += c;
        }
    }
    for (char c : s) {
        if (IsDigit(c))
            digits += c;
        else if (c != ' ' && pat.find(c) == std::string::npos)
            return Refuse(LocaleMessage("Muster.Ungueltig", {s, shown}));
    }
    // The value is held as a double: more than fifteen digits would not come back as typed.
    if (digits.empty() || digits.size() > slots || digits.size() > 15)
        return Refuse(LocaleMessage("Muster.Ungueltig", {s, shown}));
    long long v = 0;
    for (char c : digits)
        v = v * 10 + (c - '0');
    return Accept(static_cast<double>(v));
}

} // namespace

bool Picture::Read(std::string_view t)
{
    text_ = t;
    if (!t.empty() && t.front() == '@')
        t.remove_prefix(1);
    if (t.empty())
        return false;
    const char k = Upper(t.front());
    t.remove_prefix(1);
    size_t pos = 0;
    auto at = [&](size_t i) { return i < t.size() ? t[i] : '\0'; };
    auto readBlank = [&] {
        if (Upper(at(pos)) == 'B') {
            blankWhenZero_ = true;
            ++pos;
        }
        return pos == t.size();
    };
    auto readTilde = [&](std::string& out) {
        if (at(pos) != '~')
            return true;
        const size_t end = t.find('~', pos + 1);
        if (end == std::string_view::npos)
            return false;
        out = t.substr(pos + 1, end - pos - 1);
        pos = end + 1;
        return true;
    };
    switch (k) {
    case 'N': {
        kind_ = Kind::Number;
        if (!readTilde(prefix_))
            return false;
        if (at(pos) == '-') {
            sign_ = true;
            ++pos;
        }
        if ((at(pos) == '0' && IsDigit(at(pos + 1))) || at(pos) == '*' || at(pos) == '_') {
            fill_ = at(pos) == '_' ? 0 : at(pos);
            ++pos;
        }
        if (!ReadInt(t, pos, size_) || size_ == 0)
            return false;
        decimalMark_ = 0;
        if (at(pos) == '.' && !IsDigit(at(pos + 1))) {
            grouping_ = '.';
            ++pos;
        } else if (at(pos) == '_') {
            grouping_ = ' ';
            ++pos;
        }
        const char mark = at(pos);
        if ((mark == '`' || mark == '.' || Upper(mark) == 'V') && IsDigit(at(pos + 1))) {
            decimalMark_ = mark == '`' ? ',' : mark == '.' ? '.' : 0;
            ++pos;
            ReadInt(t, pos, places_);
            if (places_ > 15)
                return false;
        }
        if (at(pos) == '-') {
            if (sign_)
                return false;
            sign_ = signBehind_ = true;
            ++pos;
        }
        if (!readTilde(suffix_))
            return false;
        return readBlank();
    }
    case 'T':
        kind_ = Kind::Time;
        if (!ReadInt(t, pos, timeStyle_) || (timeStyle_ != 4 && timeStyle_ != 7))
            return false;
        return readBlank();
    case 'D': {
        kind_ = Kind::Date;
        int style = 0;
        if (!ReadInt(t, pos, style) || style != 17)
            return false;
        if (at(pos) == '.')  // the separator of the German short date anyway
            ++pos;
        return readBlank();
    }
    case 'S':
        kind_ = Kind::String;
        if (!ReadInt(t, pos, size_) || size_ == 0)
            return false;
        return pos == t.size();
    case 'P': {
        kind_ = Kind::Pattern;
        size_t close = t.size();
        if (close > 0 && t[close - 1] == 'B' && close >= 2 && Upper(t[close - 2]) == 'P') {
            blankWhenZero_ = true;
            --close;
        }
        if (close == 0 || Upper(t[close - 1]) != 'P')
            return false;
        pattern_ = t.substr(0, close - 1);
        return pattern_.find_first_of("#<") != std::string::npos;
    }
    default:
        return false;
    }
}

Picture::Picture(std::string_view text)
{
    if (!Read(text))
        throw std::invalid_argument("unknown picture " + std::string(text));
}

std::optional<Picture> Picture::Compile(std::string_view text)
{
    Picture p;
    if (!p.Read(text))
        return std::nullopt;
    return p;
}

long long PictureInput::Whole() const
{
    return std::llround(number);
}

std::string FormatPicture(long long value, const Picture& picture)
{
    const Formatter f(picture);
    switch (picture.GetKind()) {
    case Picture::Kind::Number: return f.Join(f.Number(DigitsOf(value)));
    case Picture::Kind::Time: return f.Time(value);
    case Picture::Kind::Date: return f.Date(value);
    case Picture::Kind::Pattern: return f.Pattern(value);
    case Picture::Kind::String: return std::string(FirstChars(std::to_string(value), f.Size()));
    }
    return {};
}

std::string FormatPicture(double value, const Picture& picture)
{
    if (picture.GetKind() != Picture::Kind::Number) {
        if (!std::isfinite(value) || std::fabs(value) > 9e18)
            return {};
        return FormatPicture(std::llround(value), picture);
    }
    const auto digits = DigitsOf(value);
    if (!digits)
        return {};
    const Formatter f(picture);
    return f.Join(f.Number(*digits));
}

std::string FormatPicture(std::string_view text, const Picture& picture)
{
    if (picture.GetKind() != Picture::Kind::String)
        return {};
    return std::string(FirstChars(text, Formatter(picture).Size()));
}

std::string FormatPicture(const Decimal& value, const Picture& picture)
{
    if (picture.GetKind() != Picture::Kind::Number)
        return FormatPicture(value.ToDouble(), picture);
    Digits d = DigitsOf(static_cast<long long>(value.Cents()));
    std::string all = d.whole;
    all.insert(0, all.size() < 3 ? 3 - all.size() : 0, '0');
    d.whole = all.substr(0, all.size() - 2);
    d.frac = all.substr(all.size() - 2);
    const Formatter f(picture);
    return f.Join(f.Number(d));
}

std::string FormatPicture(const Decimal& value, std::string_view picture)
{
    return FormatPicture(value, Picture(picture));
}

std::string FormatPicture(double value, std::string_view picture)
{
    return FormatPicture(value, Picture(picture));
}

std::string FormatPicture(long long value, std::string_view picture)
{
    return FormatPicture(value, Picture(picture));
}

std::string FormatPicture(std::string_view text, std::string_view picture)
{
    return FormatPicture(text, Picture(picture));
}

PictureInput ParsePicture(std::string_view input, const Picture& picture)
{
    const Formatter f(picture);
    switch (picture.GetKind()) {
    case Picture::Kind::Number: return ParseNumber(input, f);
    case Picture::Kind::Time: return ParseTime(input, f);
    case Picture::Kind::Date: return ParseDate(input);
    case Picture::Kind::Pattern: return ParsePattern(input, f);
    case Picture::Kind::String: {
        PictureInput in;
        in.ok = true;
        in.text = FirstChars(input, f.Size());
        return in;
    }
    }
    return {};
}

PictureInput ParsePicture(std::string_view input, std::string_view picture)
{
    return ParsePicture(input, Picture(picture));
}
