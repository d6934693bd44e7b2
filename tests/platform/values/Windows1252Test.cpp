#include "platform/values/Windows1252.h"

#include <gtest/gtest.h>

TEST(Windows1252, GermanTextAndPunctuationRoundTrip) {
    const std::string text = "Grüße, Übergabe – „Schicht“ 5 € ß";
    const std::string cp = Utf8ToCp1252(text);
    EXPECT_EQ(cp, "Gr\xFC\xDF" "e, \xDC" "bergabe \x96 \x84Schicht\x93 5 \x80 \xDF");
    EXPECT_EQ(Cp1252ToUtf8(cp), text);
}

TEST(Windows1252, EveryByteSurvivesTheWayThroughUtf8) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

TEST(Windows1252, UnmappableAndMalformedBecomeQuestionMarks) {
    struct Case { std::string in; std::string out; };
    const Case cases[] = {
        {"\xE2\x82\xAC", "\x80"},          // euro sign
        {"\xE4\xB8\xAD", "?"},             // CJK
        {"\xF0\x9F\x98\x80x", "?x"},       // emoji, then plain text
        {"a\xC3", "a?"},                   // cut short at the end
        {"\xC3(", "?("},                   // lead byte without continuation
        {"\x80\x80z", "?z"},               // stray continuation bytes: one mark
        {"\xC0\xAF", "?"},                 // overlong "/"
        {"\xED\xA0\x80", "?"},             // surrogate
    };
    for (const Case& c : cases) EXPECT_EQ(Utf8ToCp1252(c.in), c.out);
}
