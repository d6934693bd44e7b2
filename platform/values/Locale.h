#pragma once
// The locale: German names of months and days, button texts, case pairs, sort order and the
// platform's messages, read from the locale file ("deutsch.env") at start-up.
//
// Until a file is loaded the locale knows only the case pairs A-Z/a-z, no names and no messages.
// Load it once at start-up, before other threads run; it is read-only afterwards.
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>

class Locale {
public:
    // Reads the file and makes it the current locale. On failure the current locale stays as it
    // was and *error (if given) receives a German message naming the file and the faulty line.
    // Anything but a regular file (a named pipe, a folder) is refused without being read.
    static bool Load(const std::string& path, std::string* error = nullptr);
    static const Locale& Current();

    // 1 January .. 12 December; the empty text for other numbers.
    const std::string& MonthName(int month) const;
    // 1 Monday .. 7 Sunday; the empty text for other numbers.
    const std::string& DayName(int weekday) const;
    // "OK", "Yes", "No", "Abort", "Retry", "Ignore", "Cancel", "Help"; the key itself when unknown.
    std::string ButtonText(std::string_view key) const;
    // The message with %1, %2, ... replaced by the arguments; the key itself when unknown.
    std::string Message(std::string_view key, std::initializer_list<std::string_view> args = {}) const;
    // The same with the program's own text in place of a message the locale does not hold (no
    // locale loaded yet, or a file without the key).
    std::string MessageOr(std::string_view key, std::string_view builtIn,
                          std::initializer_list<std::string_view> args = {}) const;

    char32_t ToUpper(char32_t c) const;
    char32_t ToLower(char32_t c) const;
    // Compares in the sort order; 0 only for equal texts (withCase) or texts equal but for case.
    int Compare(std::string_view a, std::string_view b, bool withCase) const;

    Locale();

private:
    std::string months_[13];
    std::string days_[8];
    std::map<std::string, std::string, std::less<>> buttons_;
    std::map<std::string, std::string, std::less<>> messages_;
    std::map<char32_t, char32_t> upper_, lower_;
    std::map<char32_t, std::u32string> sortAs_;
};

// Upper and lower case by the locale's case pairs (UTF-8 in, UTF-8 out).
std::string LocaleUpper(std::string_view text);
std::string LocaleLower(std::string_view text);
// Sort order (DIN 5007, variant 1, as the locale file describes it); <0, 0, >0.
// Texts that differ only in case sort lower case first; 0 only for identical texts.
int LocaleCompare(std::string_view a, std::string_view b);
// The same order with case ignored: 0 when the texts are equal but for case.
int LocaleCompareNoCase(std::string_view a, std::string_view b);
bool LocaleEqualNoCase(std::string_view a, std::string_view b);
// Shorthand for Locale::Current().Message(...).
std::string LocaleMessage(std::string_view key, std::initializer_list<std::string_view> args = {});
// Shorthand for Locale::Current().MessageOr(...).
std::string LocaleMessageOr(std::string_view key, std::string_view builtIn,
                            std::initializer_list<std::string_view> args = {});
