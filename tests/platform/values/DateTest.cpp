#include "platform/values/Date.h"

#include <gtest/gtest.h>

namespace {

struct DateCase {
    long number;
    CalendarDate date;
    int weekday;
};

// Day numbers worked out independently of the code under test.
const DateCase kDates[] = {
    {4, {1801, 1, 1}, 4},          // first day of the calendar, a Thursday
    {36222, {1900, 3, 1}, 4},      // 1900 is no leap year: 28 February is followed by 1 March
    {61730, {1970, 1, 1}, 4},
    {72687, {2000, 1, 1}, 6},
    {72746, {2000, 2, 29}, 2},     // 2000 is a leap year
    {81818, {2024, 12, 31}, 2},
    {2994626, {9999, 12, 31}, 5},  // last day of the calendar
};

TEST(Date, ConvertsBothWays)
{
    for (const auto& c : kDates) {
        SCOPED_TRACE(c.number);
        EXPECT_EQ(DateFromParts(c.date.year, c.date.month, c.date.day), c.number);
        ASSERT_TRUE(DateParts(c.number).has_value());
        EXPECT_EQ(*DateParts(c.number), c.date);
        EXPECT_EQ(DateWeekday(c.number), c.weekday);
    }
}

TEST(Date, RefusesDatesThatDoNotExist)
{
    const CalendarDate bad[] = {
        {1900, 2, 29}, {2023, 2, 29}, {2024, 4, 31}, {2024, 13, 1}, {2024, 0, 10},
        {2024, 1, 0},  {1800, 12, 31}, {10000, 1, 1},
    };
    for (const auto& d : bad) {
        SCOPED_TRACE(testing::Message() << d.day << "." << d.month << "." << d.year);
        EXPECT_EQ(DateFromParts(d.year, d.month, d.day), 0);
    }
    EXPECT_FALSE(DateParts(0).has_value());
    EXPECT_FALSE(DateParts(kDateFirst - 1).has_value());
    EXPECT_FALSE(DateParts(kDateLast + 1).has_value());
}

TEST(Date, PlanDayOneIsAMonday)
{
    // Plan days share the weekday rule with dates: 1 Monday .. 7 Sunday, 8 Monday again.
    EXPECT_EQ(DateWeekday(1), 1);
    EXPECT_EQ(DateWeekday(7), 7);
    EXPECT_EQ(DateWeekday(8), 1);
}

TEST(Date, TodayAndNowAreInRange)
{
    const long today = DateToday();
    EXPECT_GE(today, DateFromParts(2024, 1, 1));
    EXPECT_LE(today, kDateLast);
    const long now = ClockNow();
    EXPECT_GE(now, kClockMidnight);
    EXPECT_LE(now, kClockPerDay);
}

TEST(Clock, PartsGiveHundredthsPlusOne)
{
    EXPECT_EQ(ClockFromParts(0, 0), kClockMidnight);
    EXPECT_EQ(ClockFromParts(1, 0), 360'001);
    EXPECT_EQ(ClockFromParts(0, 10), 60'001);
    EXPECT_EQ(ClockFromParts(24, 0), kClockEndOfDay);
    EXPECT_EQ(ClockFromParts(23, 59, 59, 99), kClockPerDay);
}

} // namespace
