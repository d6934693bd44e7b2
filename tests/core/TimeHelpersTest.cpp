#include "core/TimeHelpers.h"

#include "platform/ui/MessageShow.h"
#include "platform/values/Random.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Start values whose first draw is 0 and 4294967295 (found by running the generator backwards).
constexpr uint64_t kFirstDrawZero = 0x85903a3729ebcec6ULL;
constexpr uint64_t kFirstDrawMax = 0x041bafe6e7f80426ULL;

TEST(NewSysID, StoresTheIdentityAndNeverRepeatsTheLastOne)
{
    RandomRestart(4711);
    uint32_t a = 0;
    EXPECT_EQ(NewSysID(a), a);
    EXPECT_NE(a, 0u);

    RandomRestart(4711);  // the same draw again
    uint32_t b = 0;
    NewSysID(b);
    EXPECT_EQ(b, a + 1);
}

TEST(NewSysID, NeverHandsOutZero)
{
    RandomRestart(kFirstDrawZero);
    ASSERT_EQ(RandomNext(), 0u) << "start value no longer gives a first draw of 0";

    RandomRestart(kFirstDrawZero);
    uint32_t id = 0;
    EXPECT_NE(NewSysID(id), 0u);
    EXPECT_NE(id, 0u);
}

TEST(NewSysID, DoesNotWrapToZeroAfterTheLargestIdentity)
{
    RandomRestart(kFirstDrawMax);
    ASSERT_EQ(RandomNext(), 4294967295u) << "start value no longer gives a first draw of 4294967295";

    uint32_t a = 0, b = 0;
    RandomRestart(kFirstDrawMax);
    NewSysID(a);
    ASSERT_EQ(a, 4294967295u);
    RandomRestart(kFirstDrawMax);  // draws 4294967295 again: one more would be 0
    NewSysID(b);
    EXPECT_NE(b, 0u);
    EXPECT_NE(b, a);
}

TEST(TimeHelpers, DaysAndWeeksOfMinuteStamps)
{
    struct Case { uint32_t stamp, day, week; };
    const Case cases[] = {
        {0, 1, 1}, {1439, 1, 1}, {1440, 2, 1}, {10079, 7, 1}, {10080, 8, 2}, {120959, 84, 12},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MinuteStampDay(c.stamp), c.day) << c.stamp;
        EXPECT_EQ(MinuteStampWeek(c.stamp), c.week) << c.stamp;
        EXPECT_EQ(IntervalDay(TERMIN{c.stamp, c.stamp + 60}), c.day) << c.stamp;
        EXPECT_EQ(IntervalWeek(TERMIN{c.stamp, c.stamp + 60}), c.week) << c.stamp;
    }
    EXPECT_EQ(IntervalDuration(TERMIN{1320, 1800}), 480u);
    EXPECT_EQ(IntervalDuration(TERMIN{1800, 1320}), 0u);
}

TEST(TimeHelpers, MoveIntervalToDay)
{
    struct Case { TERMIN in; uint32_t day; TERMIN out; };
    const Case cases[] = {
        {{1320, 1800}, 3, {4200, 4680}},  // night shift moved forward, keeps its length
        {{4200, 4680}, 1, {1320, 1800}},  // and back (a negative number of days)
        {{4200, 4680}, 3, {4200, 4680}},  // already there
        {{4200, 4680}, 0, {4200, 4680}},  // there is no day 0
    };
    for (const Case& c : cases) {
        TERMIN t = c.in;
        MoveIntervalToDay(t, c.day);
        EXPECT_EQ(t, c.out) << c.in.BEGINN << " to day " << c.day;
    }
}

TEST(TimeHelpers, OverlapAndGap)
{
    struct Case { TERMIN a, b; uint32_t overlap; TERMIN common; uint32_t gap; };
    const Case cases[] = {
        {{0, 480}, {480, 960}, 0, {480, 480}, 0},        // touching
        {{100, 500}, {200, 300}, 100, {200, 300}, 0},    // contained
        {{100, 500}, {400, 900}, 100, {400, 500}, 0},    // partly
        {{0, 480}, {600, 900}, 0, {600, 600}, 120},      // apart
        {{600, 900}, {0, 480}, 0, {600, 600}, 120},      // apart, other order
    };
    for (const Case& c : cases) {
        TERMIN common{1, 1};
        EXPECT_EQ(IntervalOverlap(c.a, c.b, &common), c.overlap) << c.a.BEGINN << "/" << c.b.BEGINN;
        EXPECT_EQ(IntervalOverlap(c.b, c.a), c.overlap);
        EXPECT_EQ(common, c.common) << c.a.BEGINN << "/" << c.b.BEGINN;
        EXPECT_EQ(IntervalGap(c.a, c.b), c.gap) << c.a.BEGINN << "/" << c.b.BEGINN;
    }
    EXPECT_EQ(IntervalOverlap(TERMIN{500, 100}, TERMIN{0, 1000}), 0u);  // reversed: no wrap-around
}

TEST(TimeHelpers, CyclicOverlap)
{
    struct Case { TERMIN a, b; uint32_t period, overlap; };
    const Case cases[] = {
        {{9600, 10560}, {0, 360}, 10080, 360},     // night shift past the week's end meets its start
        {{0, 360}, {9600, 10560}, 10080, 360},     // the same with the intervals swapped
        {{9600, 10560}, {9000, 9700}, 10080, 100}, // plain overlap, no fold part
        {{9600, 10560}, {9700, 10600}, 10080, 860},// both run past: plain overlap only
        {{100, 200}, {150, 400}, 0, 50},           // no period: plain overlap
    };
    for (const Case& c : cases)
        EXPECT_EQ(CyclicIntervalOverlap(c.a, c.b, c.period), c.overlap) << c.a.BEGINN << "/" << c.b.BEGINN;
}

TEST(TimeHelpers, Weekdays)
{
    struct Case { int32_t date, weekday; uint8_t bit; };
    const Case cases[] = {
        {1, 1, 1}, {7, 7, 64}, {8, 1, 1}, {4, 4, 8} /* 1 January 1801, a Thursday */, {0, 7, 64}, {-1, 6, 32},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WeekdayOfDate(c.date), c.weekday) << c.date;
        EXPECT_EQ(WeekdayBit(c.date), c.bit) << c.date;
    }
    EXPECT_EQ(BitOfDay(1), 1u);
    EXPECT_EQ(BitOfDay(7), 64u);
    EXPECT_EQ(BitOfDay(0), 0u);
    EXPECT_EQ(BitOfDay(40), 0u);
}

TEST(TimeHelpers, FormatTimeOfDay)
{
    struct Case { int64_t minutes; bool endOfDay; const char* text; };
    const Case cases[] = {
        {0, false, "00:00"},   {0, true, "00:00"},    {1439, false, "23:59"}, {1440, true, "24:00"},
        {2880, true, "24:00"}, {1440, false, "00:00"}, {1500, false, "01:00"}, {1500, true, "01:00"},
        {-1, false, "23:59"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatTimeOfDay(c.minutes, c.endOfDay), c.text) << c.minutes << " " << c.endOfDay;
}

TEST(TimeHelpers, ClockValuesAndMinutes)
{
    struct Case { int32_t clock; uint16_t minutes; };
    const Case cases[] = {{0, 0}, {1, 0}, {360001, 60}, {8640001, 1440}, {-6000, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(TimeToMinutes(c.clock), c.minutes) << c.clock;
        EXPECT_EQ(TimeToMinutesLong(c.clock), c.minutes) << c.clock;
    }
    EXPECT_EQ(TimeToMinutes(2'000'000'000), 65535u);
    EXPECT_EQ(TimeToMinutesLong(2'000'000'000), 333333u);

    EXPECT_EQ(MinuteStampToTime(0), 1);
    EXPECT_EQ(MinuteStampToTime(60), 360001);
    EXPECT_EQ(MinuteStampToTime(1440), 1);
    EXPECT_EQ(MinuteStampToTime(1500), 360001);
}

class ParseTimeEntryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetMessageHook([this](const MessageRequest& r) {
            shown.push_back(r);
            return int(BUTTON_OK);
        });
    }
    void TearDown() override { SetMessageHook(nullptr); }
    std::vector<MessageRequest> shown;
};

constexpr const char* k24 = "Ihre Eingabe wird auf 24:00 Stunden umgerechnet.|";

TEST_F(ParseTimeEntryTest, TypedTexts)
{
    struct Case { const char* text; bool endOfDay; uint16_t result; std::string message; };
    const Case cases[] = {
        {"7", false, 420, ""},
        {"730", false, 450, ""},
        {"07:30", false, 450, ""},
        {"7.30", false, 450, ""},
        {"07.30", false, 420, ""},          // minutes ".3"
        {":30", false, 30, ""},             // a leading colon means hour 0
        {"2400", true, 1440, ""},
        {"2400", false, 0, ""},
        {"0", true, 1440, ""},
        {"23:59", true, 1439, ""},
        {"", false, 0, ""},
        {"", true, 1440, ""},
        {"abc", false, 0, ""},
        {"12:34:56", false, 754, ""},       // only the first four kept characters count
        {"1e+5", false, 65, ""},            // a sign right after the exponent letter is kept
        {"1290", false, 810, "Der Minutenanteil Ihrer Eingabe (90) wird auf die Stunden umgerechnet."},
        {"2500", false, 60, k24},
        {"2460", false, 60, std::string(k24) + "Der Minutenanteil Ihrer Eingabe (60) wird auf die Stunden umgerechnet."},
        {"2460", true, 60, std::string(k24) + "Der Minutenanteil Ihrer Eingabe (60) wird auf die Stunden umgerechnet."},
        {"0030", true, 30, k24},            // hour 0 of an end counts as 24
        {"0030", false, 30, ""},
        {"0e-9", false, 0, ""},             // a negative minute part stops at midnight
        {" e-9", false, 0, ""},
        {"0e-9", true, 1431, ""},
    };
    for (const Case& c : cases) {
        shown.clear();
        EXPECT_EQ(ParseTimeEntry(c.text, c.endOfDay), c.result) << '"' << c.text << "\" " << c.endOfDay;
        EXPECT_EQ(ParseTimeEntryValue(c.text, c.endOfDay), c.result) << '"' << c.text << "\" " << c.endOfDay;
        if (c.message.empty()) {
            EXPECT_TRUE(shown.empty()) << '"' << c.text << '"';
        } else {
            ASSERT_EQ(shown.size(), 2u) << '"' << c.text << '"';  // one per call
            EXPECT_EQ(shown[0].text, c.message);
        }
    }
}

TEST_F(ParseTimeEntryTest, MessageLooksAsTheDialogsExpect)
{
    ParseTimeEntry("2500");
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "Eingabe wird umgerechnet");
    EXPECT_EQ(shown[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(shown[0].buttonBits, unsigned(BUTTON_OK));
}

} // namespace
