#pragma once
// Program-wide text, path and number helpers without state.
//
// Texts are UTF-8; limits count characters, not bytes. "Trailing spaces removed" means blanks
// at the end, as the fixed-width record fields leave them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

// The text with its trailing blanks removed, as a fixed-width record field leaves it.
std::string Clip(std::string_view text);

// The number of characters (not bytes) of a UTF-8 text.
std::size_t Utf8Length(std::string_view text);
// The first `chars` characters of a UTF-8 text (all of it when it has no more).
std::string_view Utf8Prefix(std::string_view text, std::size_t chars);
// The longest start of a UTF-8 text within `bytes` bytes that splits no character.
std::string_view Utf8PrefixBytes(std::string_view text, std::size_t bytes);

// The text without any double-quote character.
std::string StripQuotes(std::string_view text);

// Every occurrence of find replaced in a buffer of `limit` characters: the text is cut to the
// limit, and after each replacement it is searched again from the start, so a replacement can
// complete a new occurrence; a replacement that makes the text longer than the limit loses its
// end, as the fixed buffer would. The search resumes find.size() - 1 characters before the last
// replacement (nothing earlier can have changed), which gives the same result in linear time.
// A replacement that contains find would go on for ever; then each occurrence of the original
// text is replaced once instead. A text that would rewrite itself for ever within the limit
// stops after 64 replacements per character of the limit.
std::string ReplaceRepeatedly(std::string_view text, std::string_view find, std::string_view replacement,
                              std::size_t limit);

// ReplaceRepeatedly on the text with trailing spaces removed, at most 2047 characters
// (ReplaceTextLarge: 4,194,303).
std::string ReplaceText(std::string_view text, std::string_view find, std::string_view replacement);
std::string ReplaceTextLarge(std::string_view text, std::string_view find, std::string_view replacement);

// In place, left to right; the search goes on behind the inserted text, so a replacement is never
// searched again. The buffer keeps at most size - 1 characters.
void ReplaceInBuffer(std::string& buffer, std::size_t size, std::string_view find,
                     std::string_view replacement);

// True when the text holds a letter (umlauts and the other Western European letters included).
bool ContainsLetter(std::string_view text);

// The n-th piece (1-based) of the text (trailing spaces removed) between separator characters;
// any character of separators separates. Empty for n = 0 or when there are fewer pieces; pieces
// are not trimmed, two separators in a row give an empty piece.
std::string GetToken(std::string_view text, int n, std::string_view separators = "|");

// An empty (blank) variable becomes the line; otherwise the line goes behind a CR LF.
void AppendLine(std::string& text, std::string_view line);

// a / b truncated toward zero; 0 when b is 0.
int32_t IntDiv(int32_t a, int32_t b);

template <class A, class B>
    requires std::is_arithmetic_v<A> && std::is_arithmetic_v<B>
auto MaxValue(A a, B b)
{
    using C = std::common_type_t<A, B>;
    return C(a) < C(b) ? C(b) : C(a);
}

template <class A, class B>
    requires std::is_arithmetic_v<A> && std::is_arithmetic_v<B>
auto MinValue(A a, B b)
{
    using C = std::common_type_t<A, B>;
    return C(b) < C(a) ? C(b) : C(a);
}

// Paths. Only "/" separates: on this system a backslash is a character of a file name, and a
// name the user chose must reach the file it names. Joining uses "/".

// The directory part up to and including the last separator, and the name after it; without a
// separator the directory is empty and the name is the whole path.
struct PathParts {
    std::string directory;
    std::string name;
};
PathParts SplitPath(std::string_view path);

// The directory with a separator and the name, or the name alone when the directory is empty;
// with quote, quoted when it holds a space.
std::string JoinPath(std::string_view directory, std::string_view name, bool quote = false);

// The path without double quotes, ending in exactly one separator (one already there is kept);
// an empty path stays empty. With quote, quoted when it holds a space.
std::string AddTrailingBackslash(std::string_view path, bool quote = false);

// The path without double quotes; enclosed in double quotes when it holds a space.
std::string QuoteIfNeeded(std::string_view path);

// A diagnostic line on standard error: the text (trailing spaces removed, at most 2046
// characters) and, unless noCode, " (Errorcode: code)".
void DebugTrace(std::string_view text, long code = 0, bool noCode = false);
