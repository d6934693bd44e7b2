#include "core/Utilities.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

TEST(Utilities, StripQuotes)
{
    EXPECT_EQ(StripQuotes("\"C:\\a b\\\"x\""), "C:\\a b\\x");
    EXPECT_EQ(StripQuotes(""), "");
}

TEST(Utilities, GetToken)
{
    struct Case { const char* text; int n; const char* separators; const char* token; };
    const Case cases[] = {
        {"a|b||d", 3, "|", ""},        // two separators in a row: an empty piece
        {"a|b||d", 4, "|", "d"},
        {"a|b||d", 5, "|", ""},        // fewer pieces
        {"a|b||d", 0, "|", ""},
        {"a|b||d", -1, "|", ""},
        {"a;b,c", 2, ";,", "b"},       // any of the separators
        {"a;b,c", 3, ";,", "c"},
        {"a|b  ", 2, "|", "b"},        // trailing spaces of the text go
        {" a | b", 2, "|", " b"},      // pieces are not trimmed
        {"", 1, "|", ""},
        {"abc", 1, "|", "abc"},
        {"a|", 2, "|", ""},
        {"|a", 1, "|", ""},
        {"Früh§Spät", 2, "§", "Spät"}, // a separator of two bytes
        {"a|b", 1, "", "a|b"},         // no separator: one piece
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetToken(c.text, c.n, c.separators), c.token) << c.text << " #" << c.n;
    EXPECT_EQ(GetToken("x|y", 2), "y");  // the vertical bar when none is given
}

// Replacing as written down: search the whole text from the start after every replacement,
// the text kept to limit characters (all test texts are ASCII). Gives up after many steps.
bool NaiveReplace(std::string text, const std::string& find, const std::string& replacement, size_t limit,
                  std::string& result)
{
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    if (text.size() > limit)
        text.resize(limit);
    for (int steps = 0; steps < 20000; ++steps) {
        size_t at = text.find(find);
        if (at == std::string::npos) {
            result = text;
            return true;
        }
        text.replace(at, find.size(), replacement);
        if (text.size() > limit)
            text.resize(limit);
    }
    return false;
}

TEST(Utilities, ReplaceTextSearchesAgainFromTheStart)
{
    struct Case { std::string text, find, replacement, result; };
    const Case cases[] = {
        {"aab", "ab", "b", "b"},                     // each replacement completes a new occurrence
        {"Zeile|Zeile  ", "|", "\r\n", "Zeile\r\nZeile"},
        {"abc", "x", "y", "abc"},
        {"aaa", "a", "", ""},
        {"abc", "", "x", "abc"},                     // nothing to look for
        {"Grüße|Tschüß", "|", "ü", "GrüßeüTschüß"},
        {"abab", "ab", "ba", "bbaa"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReplaceText(c.text, c.find, c.replacement), c.result) << c.text;
}

TEST(Utilities, ReplacementHoldingTheSearchedTextEnds)
{
    // Searching again from the start would find "a" in every "aa" for ever.
    EXPECT_EQ(ReplaceText("banana", "a", "aa"), "baanaanaa");
    EXPECT_EQ(ReplaceTextLarge("banana", "a", "aa"), "baanaanaa");
    EXPECT_EQ(ReplaceText("x|y", "|", "||"), "x||y");
    EXPECT_EQ(ReplaceText(std::string(3000, 'a'), "a", "aa"), std::string(2047, 'a'));
}

TEST(Utilities, ReplaceTextMatchesSearchingFromTheStart)
{
    std::mt19937 random(1);
    auto word = [&](int maxLength) {
        std::string s;
        int n = int(random() % unsigned(maxLength + 1));
        for (int i = 0; i < n; ++i)
            s += "ab"[random() % 2];
        return s;
    };
    int compared = 0;
    for (int i = 0; i < 3000; ++i) {
        std::string text = word(12), find = word(3), replacement = word(4);
        if (find.empty() || replacement.find(find) != std::string::npos)
            continue;
        std::string expected;
        if (!NaiveReplace(text, find, replacement, 2047, expected))
            continue;
        ++compared;
        ASSERT_EQ(ReplaceText(text, find, replacement), expected)
            << "text " << text << " find " << find << " replacement " << replacement;
    }
    EXPECT_GT(compared, 1000);
}

TEST(Utilities, ReplaceTextKeepsToItsLimit)
{
    // Growing past 2047 characters loses the end each time, as a fixed buffer would.
    std::string expected;
    ASSERT_TRUE(NaiveReplace(std::string(2000, 'a'), "a", "bb", 2047, expected));
    EXPECT_EQ(expected, std::string(2047, 'b'));
    EXPECT_EQ(ReplaceText(std::string(2000, 'a'), "a", "bb"), expected);

    EXPECT_EQ(ReplaceText(std::string(3000, 'x'), "y", "z").size(), 2047u);
    std::string large = ReplaceTextLarge(std::string(3000, 'x'), "x", "yz");
    EXPECT_EQ(large.size(), 6000u);
    EXPECT_EQ(large.find("x"), std::string::npos);
    // The limit counts characters: 2047 umlauts are 4094 bytes.
    EXPECT_EQ(ReplaceText(std::string(3000, 'a'), "a", "ä"), [] {
        std::string s;
        for (int i = 0; i < 2047; ++i)
            s += "ä";
        return s;
    }());
}

TEST(Utilities, ReplacementThatRebuildsTheSearchedTextEndsAtTheLimit)
{
    // "ab" -> "bbaa" makes a new "ab" with the character before it each time: the text grows
    // until the buffer cuts it, then the occurrences run out at its end.
    struct Case { std::string text, find, replacement; size_t limit; };
    const Case cases[] = {
        {"aab", "ab", "bbaa", 10},
        {"aab", "ab", "bbaa", 11},
        {"aaab", "ab", "bba", 40},
        {"aaab", "ab", "bbaa", 30},
        {std::string(15, 'a'), "a", "bb", 20},   // more occurrences than fit
        {"abba", "ab", "bbaa", 3},                // the text alone fills the buffer
    };
    for (const Case& c : cases) {
        std::string expected;
        ASSERT_TRUE(NaiveReplace(c.text, c.find, c.replacement, c.limit, expected)) << c.text;
        EXPECT_EQ(ReplaceRepeatedly(c.text, c.find, c.replacement, c.limit), expected)
            << c.text << " " << c.find << " -> " << c.replacement << " in " << c.limit;
    }

    // At the real limits the same, and it returns.
    EXPECT_EQ(ReplaceText("aab", "ab", "bbaa"), std::string(2046, 'b') + "a");
    const std::string large = ReplaceTextLarge("aab", "ab", "bbaa");
    EXPECT_EQ(large.size(), 4194303u);
    EXPECT_EQ(large.find('a'), 4194302u);
}

TEST(Utilities, ReplaceInBufferDoesNotSearchItsReplacements)
{
    struct Case { std::string buffer; size_t size; std::string find, replacement, result; };
    const Case cases[] = {
        {"banana", 100, "a", "aa", "baanaanaa"},
        {"aab", 100, "ab", "b", "ab"},        // left to right, unlike ReplaceText
        {"banana", 6, "a", "aa", "baana"},    // keeps size - 1 characters
        {"banana", 0, "a", "aa", ""},
        {"banana  ", 100, "n", "N", "baNaNa  "}, // trailing spaces stay
        {"abc", 100, "", "x", "abc"},
    };
    for (Case c : cases) {
        ReplaceInBuffer(c.buffer, c.size, c.find, c.replacement);
        EXPECT_EQ(c.buffer, c.result) << c.find << "->" << c.replacement << " size " << c.size;
    }
}

TEST(Utilities, PrefixesCutWholeCharacters)
{
    // "Grüße": G r ü(2 bytes) ß(2 bytes) e - 5 characters, 7 bytes.
    const std::string gruesse = "Grüße";
    const struct {
        std::size_t limit;
        const char* byChars;
        const char* byBytes;
    } cases[] = {
        {0, "", ""},
        {2, "Gr", "Gr"},
        {3, "Grü", "Gr"},       // 3 bytes would end inside the ü
        {4, "Grüß", "Grü"},
        {5, "Grüße", "Grü"},    // 5 bytes would end inside the ß
        {7, "Grüße", "Grüße"},
        {50, "Grüße", "Grüße"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8Prefix(gruesse, c.limit), c.byChars) << c.limit;
        EXPECT_EQ(Utf8PrefixBytes(gruesse, c.limit), c.byBytes) << c.limit;
    }
}

TEST(Utilities, ContainsLetter)
{
    struct Case { const char* text; bool letter; };
    const Case cases[] = {
        {"12:30", false}, {"", false}, {"   ", false}, {"1a", true}, {"ß", true},
        {"Ä", true}, {"12 €", false}, {"3 × 4", false}, {"œ", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ContainsLetter(c.text), c.letter) << c.text;
}

TEST(Utilities, AppendLine)
{
    std::string s;
    AppendLine(s, "erste");
    EXPECT_EQ(s, "erste");
    AppendLine(s, "zweite");
    EXPECT_EQ(s, "erste\r\nzweite");

    std::string padded = "eins   ";
    AppendLine(padded, "zwei");
    EXPECT_EQ(padded, "eins\r\nzwei");

    std::string blank = "   ";
    AppendLine(blank, "x");
    EXPECT_EQ(blank, "x");
}

TEST(Utilities, IntDivAndMinMax)
{
    struct Case { int32_t a, b, q; };
    const Case cases[] = {
        {-7, 2, -3}, {7, 2, 3}, {7, -2, -3}, {5, 0, 0}, {0, 3, 0},
        {INT32_MIN, -1, INT32_MAX},  // the one quotient that does not fit
        {INT32_MIN, 1, INT32_MIN},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IntDiv(c.a, c.b), c.q) << c.a << "/" << c.b;

    EXPECT_EQ(MaxValue(3, 7.5), 7.5);
    EXPECT_EQ(MinValue(3, 7.5), 3.0);
    EXPECT_EQ(MaxValue(-2, -9), -2);
    EXPECT_EQ(MinValue(int64_t(5), 9u), 5);
}

TEST(Utilities, SplitPath)
{
    struct Case { const char* path; const char* directory; const char* name; };
    const Case cases[] = {
        {"b.prj", "", "b.prj"},
        {"/home/plan/b.prj", "/home/plan/", "b.prj"},
        {"daten\\alt/b.prj", "daten\\alt/", "b.prj"},
        {"a\\p.prj", "", "a\\p.prj"},   // a backslash is part of the name, not a separator
        {"/home/plan/", "/home/plan/", ""},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        PathParts p = SplitPath(c.path);
        EXPECT_EQ(p.directory, c.directory) << c.path;
        EXPECT_EQ(p.name, c.name) << c.path;
    }
}

TEST(Utilities, JoinAndQuotePaths)
{
    EXPECT_EQ(AddTrailingBackslash("/home/plan"), "/home/plan/");
    EXPECT_EQ(AddTrailingBackslash("/home/plan/"), "/home/plan/");
    EXPECT_EQ(AddTrailingBackslash("C:\\Daten\\"), "C:\\Daten\\");
    EXPECT_EQ(AddTrailingBackslash("\"/home/my plan\""), "/home/my plan/");
    EXPECT_EQ(AddTrailingBackslash("/home/my plan", true), "\"/home/my plan/\"");
    EXPECT_EQ(AddTrailingBackslash(""), "");    // not the root directory

    EXPECT_EQ(JoinPath("/opt/Program Files", "plan.prj", true), "\"/opt/Program Files/plan.prj\"");
    EXPECT_EQ(JoinPath("/opt/Program Files", "plan.prj"), "/opt/Program Files/plan.prj");
    EXPECT_EQ(JoinPath("", "plan.prj"), "plan.prj");
    EXPECT_EQ(JoinPath("/tmp/", "plan.prj", true), "/tmp/plan.prj");

    EXPECT_EQ(QuoteIfNeeded("\"a b\""), "\"a b\"");
    EXPECT_EQ(QuoteIfNeeded("ab"), "ab");
    EXPECT_EQ(QuoteIfNeeded("\"\""), "");
}

TEST(Utilities, DebugTraceGoesToStandardError)
{
    testing::internal::CaptureStderr();
    DebugTrace("Datei fehlt   ", 2);
    DebugTrace("nur Text", 5, true);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Datei fehlt (Errorcode: 2)\nnur Text\n");
}

} // namespace
