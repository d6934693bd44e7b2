#include "platform/values/Date.h"

#include <chrono>
#include <ctime>

namespace {

using namespace std::chrono;

// Day 0 of the platform's calendar: three days before 1 January 1801.
constexpr sys_days kDayZero = sys_days{year{1801} / January / 1} - days{kDateFirst};

static_assert((sys_days{year{9999} / December / 31} - kDayZero).count() == kDateLast);
static_assert(weekday{kDayZero + days{1}} == Monday);

std::tm LocalNow(long* hundredths)
{
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    std::tm tm{};
    localtime_r(&t, &tm);
    if (hundredths) {
        const auto sub = duration_cast<milliseconds>(now.time_since_epoch()) % 1000;
        *hundredths = static_cast<long>((sub.count() + 1000) % 1000 / 10);
    }
    return tm;
}

} // namespace

long DateFromParts(int y, int m, int d)
{
    if (y < 1801 || y > 9999 || m < 1 || m > 12 || d < 1 || d > 31)
        return 0;
    const year_month_day ymd{year{y}, month{static_cast<unsigned>(m)}, day{static_cast<unsigned>(d)}};
    if (!ymd.ok())
        return 0;
    return static_cast<long>((sys_days{ymd} - kDayZero).count());
}

bool DateValid(long date)
{
    return date >= kDateFirst && date <= kDateLast;
}

std::optional<CalendarDate> DateParts(long date)
{
    if (!DateValid(date))
        return std::nullopt;
    const year_month_day ymd{kDayZero + days{date}};
    return CalendarDate{static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
                        static_cast<int>(static_cast<unsigned>(ymd.day()))};
}

int DateWeekday(long date)
{
    return static_cast<int>(weekday{kDayZero + days{date}}.iso_encoding());
}

long DateToday()
{
    const std::tm tm = LocalNow(nullptr);
    return DateFromParts(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
}

long ClockNow()
{
    long hundredths = 0;
    const std::tm tm = LocalNow(&hundredths);
    // A leap second (tm_sec 60) must not run past the end of the day.
    const long sec = tm.tm_sec > 59 ? 59 : tm.tm_sec;
    return ClockFromParts(tm.tm_hour, tm.tm_min, sec, hundredths);
}
