#include "platform/values/Picture.h"

#include "platform/values/Date.h"
#include "platform/values/Decimal.h"
#include "platform/values/Locale.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <stdexcept>

namespace {

// The parser's messages come from the locale file.
class LocaleEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        const char* dir = std::getenv("VARN_DATA_DIR");
        ASSERT_NE(dir, nullptr) << "VARN_DATA_DIR is not set";
        std::string error;
        ASSERT_TRUE(Locale::Load(std::string(dir) + "/deutsch.env", &error)) << error;
    }
};
[[maybe_unused]] testing::Environment* const kLocale = testing::AddGlobalTestEnvironment(new LocaleEnvironment);

struct FormatCase {
    const char* picture;
    double value;
    const char* shown;
};

// Every number picture the program uses, with the values that show its flags at work.
const FormatCase kNumbers[] = {
    {"@N3", 7, "7"},
    {"@N3", 1000, "1000"},  // wider than the picture: shown in full, never cut
    {"@N3", -5, "-5"},      // a sign is never hidden
    {"@n3", 42.6, "43"},
    {"@N1", 3, "3"},
    {"N2", 8, "8"},
    {"n6", 123456, "123456"},
    {"@N_3B", 0, ""},
    {"@N_3B", 5, "5"},
    {"N8B", 0, ""},
    {"N8B", 1440, "1440"},  // no grouping unless the picture asks for it
    {"n4B", 12, "12"},
    {"n-14", -5, "-5"},
    {"N14.B", 8, "8"},
    {"N14.B", 1234567, "1.234.567"},
    {"@N10.`2", 1234.5, "1.234,50"},
    {"@N10.`2", 0, "0,00"},
    {"@N10.`2", 2.675, "2,68"},     // rounds what the user sees, half away from zero
    {"@N10.`2", -0.004, "0,00"},    // no "-0,00"
    {"@N10.`2", 1234567.891, "1.234.567,89"},
    {"@N10.`2", 999.995, "1.000,00"},  // the carry runs into the thousands
    {"@N8.`4", 12.3456, "12,3456"},
    {"@N8.`4", 0.00005, "0,0001"},
    {"@N7.`4", 0, "0,0000"},
    {"@N6.`2", 42, "42,00"},
    {"N6.`2", 7.5, "7,50"},
    {"@n5.`2", 38.5, "38,50"},
    {"n5.`2", 0.1, "0,10"},
    {"n6.`2", 11, "11,00"},
    {"@n-6.`2", -3.25, "-3,25"},
    {"N-8.`2", -1234.5, "-1.234,50"},
    {"N6.`2B", 0, ""},
    {"N6.`2B", 0.004, ""},          // blank when the value shown is zero
    {"N8.`2B", 40, "40,00"},
    {"@N-7.`1B", -2.25, "-2,3"},
    {"@N-7.`1B", 0, ""},
    {"@N-7.`1B", 1.5, "1,5"},
    {"N5.~ %~", 80, "80 %"},
    {"N8~ min~B", 30, "30 min"},
    {"N8~ min~B", 0, ""},
    {"n6~ min~B", 15, "15 min"},
    {"n7~ min~", 0, "0 min"},
    {"@N06", 42, "000042"},         // zero fill
    {"@N-06", -42, "-00042"},
    {"@N10.2", 1234.5, "1234.50"},  // a point as decimal mark, when a picture asks for it
};

TEST(PictureNumber, Formats)
{
    for (const auto& c : kNumbers) {
        SCOPED_TRACE(testing::Message() << c.picture << " " << c.value);
        EXPECT_EQ(FormatPicture(c.value, c.picture), c.shown);
    }
}

TEST(PictureNumber, FormatsWholeNumbersExactly)
{
    EXPECT_EQ(FormatPicture(123456789012345678LL, "@N30."), "123.456.789.012.345.678");
    EXPECT_EQ(FormatPicture(LLONG_MIN, "@N-30"), "-9223372036854775808");
    EXPECT_EQ(FormatPicture(7, "@N8.`2"), "7,00");
}

TEST(PictureNumber, ReadsBackWhatItShows)
{
    for (const auto& c : kNumbers) {
        const Picture p(c.picture);
        const std::string shown = FormatPicture(c.value, p);
        const auto in = ParsePicture(shown, p);
        SCOPED_TRACE(testing::Message() << c.picture << " \"" << shown << "\"");
        // Shown but not accepted as an entry: a sign the picture has no room for, or too wide.
        if (!in.ok && (in.message.find("Negative") == 0 || in.message.find("zu groß") != std::string::npos))
            continue;
        ASSERT_TRUE(in.ok) << in.message;
        EXPECT_EQ(FormatPicture(in.number, p), shown);
    }
}

TEST(PictureNumber, FormatsDecimalsFromTheirDigits)
{
    EXPECT_EQ(FormatPicture(Decimal::FromCents(123456), "N8.`2B"), "1.234,56");
    EXPECT_EQ(FormatPicture(Decimal::FromCents(-5), "@n-6.`2"), "-0,05");
    EXPECT_EQ(FormatPicture(Decimal::FromCents(0), "N8.`2B"), "");
    EXPECT_EQ(FormatPicture(Decimal::FromCents(-25), "@N-7.`1B"), "-0,3");  // half away from zero
    EXPECT_EQ(FormatPicture(Decimal::FromCents(-4), "@N-7.`1B"), "");       // shows as zero
    EXPECT_EQ(FormatPicture(Decimal::FromCents(4200), "@N3"), "42");
    EXPECT_EQ(FormatPicture(Decimal::FromCents(INT64_MIN + 1), "@N-30"), "-92233720368547758");
}

struct ParseCase {
    const char* picture;
    const char* input;
    bool ok;
    double value;
};

const ParseCase kNumberInputs[] = {
    {"@N10.`2", "1.234,5", true, 1234.5},
    {"@N10.`2", "1234,56", true, 1234.56},
    {"@N10.`2", "1234,567", true, 1234.57},
    {"@N10.`2", "", true, 0},
    {"@N10.`2", "  7 ", true, 7},
    {"@N10.`2", ",5", true, 0.5},
    {"@N10.`2", "12.34", false, 0},        // a point is a thousands separator here
    {"@N10.`2", "1.2345", false, 0},
    {"@N10.`2", "1,2,3", false, 0},
    {"@N10.`2", "abc", false, 0},
    {"@N10.`2", "-5", false, 0},           // no sign in the picture
    {"@N10.`2", "12345678,9", false, 0},   // 12.345.678,90 is wider than ten characters
    {"@N10.`2", ",", false, 0},
    {"@n-6.`2", "-3,25", true, -3.25},
    {"@n-6.`2", "3,25-", true, -3.25},
    {"@n-6.`2", "+3", true, 3},
    {"@N3", "999", true, 999},
    {"@N3", "1000", false, 0},
    {"@N3", "5,0", true, 5},
    {"@N3", "5,5", false, 0},
    {"@N3", "-1", false, 0},
    {"n-14", "-12", true, -12},
    {"N8~ min~B", "30 min", true, 30},
    {"N8~ min~B", "30min", true, 30},
    {"N8~ min~B", "30", true, 30},
    {"N5.~ %~", "80 %", true, 80},
    {"N5.~ %~", "80%", true, 80},
    {"N14.B", "1.234", true, 1234},
    {"N14.B", "1234", true, 1234},
};

TEST(PictureNumber, Parses)
{
    for (const auto& c : kNumberInputs) {
        SCOPED_TRACE(testing::Message() << c.picture << " \"" << c.input << "\"");
        const auto in = ParsePicture(c.input, c.picture);
        EXPECT_EQ(in.ok, c.ok) << in.message;
        if (c.ok)
            EXPECT_DOUBLE_EQ(in.number, c.value);
        else
            EXPECT_FALSE(in.message.empty());
    }
}

TEST(PictureNumber, RefusalsSayWhatWasWrong)
{
    EXPECT_EQ(ParsePicture("abc", "@N3").message, "Die Eingabe „abc“ ist keine gültige Zahl.");
    EXPECT_EQ(ParsePicture("-1", "@N3").message, "Negative Zahlen sind in diesem Feld nicht erlaubt.");
    EXPECT_EQ(ParsePicture("1000", "@N3").message, "Die Zahl „1000“ ist für dieses Feld zu groß.");
}

const struct {
    const char* picture;
    long clock;
    const char* shown;
} kTimes[] = {
    {"@T7", ClockFromParts(7, 30), "07:30"},
    {"T7", ClockFromParts(7, 30), "07:30"},
    {"@T7", kClockMidnight, "00:00"},
    {"@T7", 0, "00:00"},
    {"@T7", kClockEndOfDay, "24:00"},
    {"@T7", kClockPerDay, "23:59"},
    {"@T7", 60'001, "00:10"},
    {"@T7", ClockFromParts(25, 0), "25:00"},  // durations past a day keep counting
    {"@T7B", 0, ""},
    {"T7B", kClockMidnight, "00:00"},
    {"@T4", ClockFromParts(1, 2, 3), "01:02:03"},
    {"@T4", ClockFromParts(0, 59, 59, 99), "00:59:59"},
};

TEST(PictureTime, Formats)
{
    for (const auto& c : kTimes) {
        SCOPED_TRACE(testing::Message() << c.picture << " " << c.clock);
        EXPECT_EQ(FormatPicture(c.clock, c.picture), c.shown);
    }
}

const ParseCase kTimeInputs[] = {
    {"@T7", "07:30", true, ClockFromParts(7, 30)},
    {"@T7", "7:30", true, ClockFromParts(7, 30)},
    {"@T7", "7.30", true, ClockFromParts(7, 30)},
    {"@T7", "730", true, ClockFromParts(7, 30)},
    {"@T7", "0730", true, ClockFromParts(7, 30)},
    {"@T7", "7", true, ClockFromParts(7, 0)},
    {"@T7", "0", true, kClockMidnight},
    {"@T7", "00:00", true, kClockMidnight},
    {"@T7", "24:00", true, kClockEndOfDay},
    {"@T7", "2400", true, kClockEndOfDay},
    {"@T7", "24", true, kClockEndOfDay},
    {"@T7B", "", true, 0},
    {"@T7", "24:01", false, 0},
    {"@T7", "7:60", false, 0},
    {"@T7", "25", false, 0},
    {"@T7", "12345", false, 0},
    {"@T7", "ab", false, 0},
    {"@T7", "7:", false, 0},
    {"@T7", "1:2:3:4", false, 0},
    {"@T4", "01:02:03", true, ClockFromParts(1, 2, 3)},
    {"@T4", "010203", true, ClockFromParts(1, 2, 3)},
    {"@T4", "01:02:60", false, 0},
};

TEST(PictureTime, Parses)
{
    for (const auto& c : kTimeInputs) {
        SCOPED_TRACE(testing::Message() << c.picture << " \"" << c.input << "\"");
        const auto in = ParsePicture(c.input, c.picture);
        EXPECT_EQ(in.ok, c.ok) << in.message;
        if (c.ok)
            EXPECT_EQ(in.Whole(), static_cast<long long>(c.value));
        else
            EXPECT_NE(in.message.find("keine gültige Uhrzeit"), std::string::npos) << in.message;
    }
}

TEST(PictureDate, Formats)
{
    EXPECT_EQ(FormatPicture(72687, "@D17"), "01.01.2000");
    EXPECT_EQ(FormatPicture(72687, "D17"), "01.01.2000");
    EXPECT_EQ(FormatPicture(72687, "@D17."), "01.01.2000");
    EXPECT_EQ(FormatPicture(kDateFirst, "@D17"), "01.01.1801");
    EXPECT_EQ(FormatPicture(kDateLast, "@D17"), "31.12.9999");
    EXPECT_EQ(FormatPicture(0, "D17B"), "");
    EXPECT_EQ(FormatPicture(0, "@D17"), "");  // no date
    EXPECT_EQ(FormatPicture(kDateLast + 1, "@D17"), "");
    // Day and month alone are the first six characters.
    EXPECT_EQ(FormatPicture(DateFromParts(2024, 3, 4), "@D17").substr(0, 6), "04.03.");
}

const ParseCase kDateInputs[] = {
    {"@D17", "01.01.2000", true, 72687},
    {"@D17", "1.1.2000", true, 72687},
    {"@D17", "1.1.00", true, 72687},
    {"@D17", "01012000", true, 72687},
    {"@D17", "010100", true, 72687},
    {"@D17", "31.12.99", true, static_cast<double>(DateFromParts(1999, 12, 31))},
    {"@D17", "29.02.2024", true, static_cast<double>(DateFromParts(2024, 2, 29))},
    {"D17B", "", true, 0},
    {"@D17", "29.02.2023", false, 0},
    {"@D17", "32.01.2000", false, 0},
    {"@D17", "1.1.", false, 0},
    {"@D17", "1.1.1800", false, 0},
    {"@D17", "1.1.200", false, 0},
    {"@D17", "a.b.c", false, 0},
    {"@D17", "2000-01-01", false, 0},
};

TEST(PictureDate, Parses)
{
    for (const auto& c : kDateInputs) {
        SCOPED_TRACE(testing::Message() << c.picture << " \"" << c.input << "\"");
        const auto in = ParsePicture(c.input, c.picture);
        EXPECT_EQ(in.ok, c.ok) << in.message;
        if (c.ok)
            EXPECT_EQ(in.Whole(), static_cast<long long>(c.value));
        else
            EXPECT_NE(in.message.find("kein gültiges Datum"), std::string::npos) << in.message;
    }
}

TEST(PictureString, CutsToItsSizeInCharacters)
{
    EXPECT_EQ(FormatPicture("Frühschicht", "@s20"), "Frühschicht");
    EXPECT_EQ(FormatPicture("Müllerstraße", "@S5"), "Mülle");  // characters, not bytes
    EXPECT_EQ(FormatPicture("x", "@S1"), "x");
    EXPECT_EQ(FormatPicture("", "@s255"), "");
    const auto in = ParsePicture("Größenordnung", "@S4");
    EXPECT_TRUE(in.ok);
    EXPECT_EQ(in.text, "Größ");
}

TEST(PicturePattern, FormatsAndParsesHoursAndMinutes)
{
    EXPECT_EQ(FormatPicture(730, "P##:##P"), "07:30");
    EXPECT_EQ(FormatPicture(0, "P##:##P"), "00:00");
    EXPECT_EQ(FormatPicture(2400, "@P##:##P"), "24:00");
    EXPECT_EQ(FormatPicture(0, "@P##:##PB"), "");
    EXPECT_EQ(FormatPicture(730, "@P<#:##P"), " 7:30");
    EXPECT_EQ(FormatPicture(123456, "P##:##P"), "123456");  // does not fit: the number, not a wrong time

    const ParseCase inputs[] = {
        {"P##:##P", "07:30", true, 730}, {"P##:##P", "7:30", true, 730}, {"P##:##P", "0730", true, 730},
        {"P##:##P", "", true, 0},        {"P##:##P", "12:345", false, 0}, {"P##:##P", "ab", false, 0},
    };
    for (const auto& c : inputs) {
        SCOPED_TRACE(c.input);
        const auto in = ParsePicture(c.input, c.picture);
        EXPECT_EQ(in.ok, c.ok);
        if (c.ok)
            EXPECT_EQ(in.Whole(), static_cast<long long>(c.value));
        else
            EXPECT_EQ(in.message, std::string("Die Eingabe „") + c.input + "“ passt nicht zur Form ##:##.");
    }
    // A pattern with room for more digits than the value holds exactly refuses them, never wraps.
    const std::string wide = "P" + std::string(20, '#') + "P";
    EXPECT_FALSE(ParsePicture(std::string(20, '9'), wide).ok);
    EXPECT_FALSE(ParsePicture(std::string(16, '9'), wide).ok);
    EXPECT_EQ(ParsePicture(std::string(15, '9'), wide).Whole(), 999'999'999'999'999LL);
}

TEST(Picture, UnknownPicturesAreRefused)
{
    for (const char* bad : {"", "@", "@X3", "@N", "@N0", "@N3~x", "@N-3-", "@T9", "@D6", "@S0", "@S5x", "@P12P", "@Pab"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(Picture::Compile(bad).has_value());
    }
    EXPECT_THROW(Picture("@Q"), std::invalid_argument);
    EXPECT_EQ(Picture::Compile("@n-6.`2")->GetKind(), Picture::Kind::Number);
}

TEST(Picture, ValueOfAnotherKindGivesEmptyText)
{
    EXPECT_EQ(FormatPicture("abc", "@N3"), "");
    EXPECT_EQ(FormatPicture(std::nan(""), "@N3"), "");
    EXPECT_EQ(FormatPicture(7.6, "@T7"), "00:00");  // a clock value of 8 hundredths
}

} // namespace
