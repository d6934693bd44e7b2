#pragma once
// The platform's calendar and clock.
//
// Dates are day numbers: day 4 is 1 January 1801 (a Thursday) and every day counts one more, so
// day 1 is a Monday. The calendar runs from 1 January 1801 to 31 December 9999.
// Clock values are hundredths of a second since midnight plus 1: 0 means "no time", 00:00 is 1,
// one hour is 360,000, and the end of a day (24:00) is 8,640,001.
#include <optional>

constexpr long kDateFirst = 4;              // 1 January 1801
constexpr long kDateLast = 2'994'626;       // 31 December 9999
constexpr long kClockPerMinute = 6'000;
constexpr long kClockPerHour = 360'000;
constexpr long kClockPerDay = 8'640'000;
constexpr long kClockMidnight = 1;          // 00:00
constexpr long kClockEndOfDay = 8'640'001;  // 24:00

struct CalendarDate {
    int year = 0;
    int month = 0;  // 1 .. 12
    int day = 0;    // 1 .. 31
    friend bool operator==(const CalendarDate&, const CalendarDate&) = default;
};

// Day number of a calendar date; 0 when the date does not exist or lies outside the calendar.
long DateFromParts(int year, int month, int day);
// Year, month and day of a day number; nothing outside kDateFirst .. kDateLast.
std::optional<CalendarDate> DateParts(long date);
bool DateValid(long date);
// Weekday of a day number, 1 Monday .. 7 Sunday.
int DateWeekday(long date);
// Today's date on the local clock.
long DateToday();

// Clock value of a time of day (no range check: 24:00 and durations beyond are allowed).
constexpr long ClockFromParts(long hours, long minutes, long seconds = 0, long hundredths = 0)
{
    return hours * kClockPerHour + minutes * kClockPerMinute + seconds * 100 + hundredths + 1;
}
// The local time of day now as a clock value (1 .. 8,640,000).
long ClockNow();
