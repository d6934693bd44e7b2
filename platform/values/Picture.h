#pragma once
// Pictures: how entry fields, list columns and message texts show a value, and how a typed text is
// read back. The regional formats are German: dates "dd.mm.yyyy", times "HH:MM", decimal comma.
//
// The leading "@" may be left out ("N8.`2B" is "@N8.`2B"); letters may be upper or lower case.
//
//   @N  numbers   @N [~pre~] [-] [0|*|_] size [.|_] [` | . | v places] [-] [~post~] [B]
//                   -        a minus sign in front (a "-" after the places: behind the number)
//                   0 / *    fill up to size with zeros / asterisks ("_" or nothing: no fill)
//                   . / _    group thousands with a point / a blank (nothing: no grouping)
//                   ` . v    decimal comma / decimal point / no separator, then the places
//                   ~text~   a text in front of or behind the number ("N8~ min~B" is "30 min")
//                   B        blank when the value shown is zero
//                 "@N10.`2" shows 1234.5 as "1.234,50"; "@N3" shows 7 as "7".
//   @T  clock values   @T7 "HH:MM" ("24:00" for the end of a day), @T4 "HH:MM:SS"; B blank for 0.
//   @D  dates (day numbers)   @D17 (also "@D17.") "dd.mm.yyyy"; B blank for 0.
//   @S  texts     @S20: at most 20 characters.
//   @P…P patterns  "#" a digit, "<" a digit or a blank for a leading zero, anything else as written:
//                 "P##:##P" shows 730 as "07:30". B after the closing P: blank for 0.
//
// Sizes are widths for zero fill and for the parser's "too large" test; the formatter adds no
// leading blanks (alignment is the control's business) and never cuts digits off a number that
// is wider than its picture.
#include <optional>
#include <string>
#include <string_view>

class Decimal;

class Picture {
public:
    enum class Kind { Number, Time, Date, String, Pattern };

    // Throws std::invalid_argument for a picture this layer does not know (a program error).
    explicit Picture(std::string_view text);
    // The same without the exception: nothing for an unknown picture.
    static std::optional<Picture> Compile(std::string_view text);

    Kind GetKind() const { return kind_; }
    const std::string& Text() const { return text_; }

private:
    Picture() = default;
    bool Read(std::string_view text);

    friend class PictureAccess;
    std::string text_;
    Kind kind_ = Kind::Number;
    bool blankWhenZero_ = false;
    int size_ = 0;
    // Numbers.
    std::string prefix_, suffix_;
    bool sign_ = false;          // a sign is shown (in front, or behind with signBehind_)
    bool signBehind_ = false;
    char fill_ = 0;              // '0', '*' or 0
    char grouping_ = 0;          // '.', ' ' or 0
    char decimalMark_ = ',';     // ',', '.' or 0 (implied)
    int places_ = 0;
    // Times: 4 or 7.
    int timeStyle_ = 7;
    // Patterns.
    std::string pattern_;
};

// Formatting. Numbers take any number picture; integers also a time, date or pattern picture;
// texts a string picture. A value that does not suit the picture kind gives the empty text.
std::string FormatPicture(double value, const Picture& picture);
std::string FormatPicture(long long value, const Picture& picture);
std::string FormatPicture(std::string_view text, const Picture& picture);
std::string FormatPicture(double value, std::string_view picture);
std::string FormatPicture(long long value, std::string_view picture);
std::string FormatPicture(std::string_view text, std::string_view picture);
// Decimals are formatted from their exact digits (hours and amounts with two places).
std::string FormatPicture(const Decimal& value, const Picture& picture);
std::string FormatPicture(const Decimal& value, std::string_view picture);
inline std::string FormatPicture(long value, std::string_view picture)
{
    return FormatPicture(static_cast<long long>(value), picture);
}
inline std::string FormatPicture(int value, std::string_view picture)
{
    return FormatPicture(static_cast<long long>(value), picture);
}
inline std::string FormatPicture(const char* text, std::string_view picture)
{
    return FormatPicture(std::string_view(text), picture);
}
inline std::string FormatPicture(const std::string& text, std::string_view picture)
{
    return FormatPicture(std::string_view(text), picture);
}

// What a typed text means under a picture. An empty entry is the value 0 (no time, no date).
struct PictureInput {
    bool ok = false;
    double number = 0;    // numbers; day numbers, clock values and pattern values are whole
    std::string text;     // string pictures: the text as taken
    std::string message;  // German explanation when the entry was refused

    long long Whole() const;  // number rounded to a whole number
};

PictureInput ParsePicture(std::string_view input, const Picture& picture);
PictureInput ParsePicture(std::string_view input, std::string_view picture);
