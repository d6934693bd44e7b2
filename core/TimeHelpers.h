#pragma once
// Time helpers used by every plan part, criterion and dialog.
//
// Units: a minute stamp counts minutes from the start of day 1 of a plan period (day d covers
// (d - 1) * 1440 .. d * 1440 - 1; day 1 is a Monday; week w covers days 7 (w - 1) + 1 .. 7 w).
// A clock value is hundredths of a second since midnight plus 1 (0 = no time, 00:00 = 1,
// 24:00 = 8,640,001). Weekdays run 1 Monday .. 7 Sunday, weekday bits 1 Monday .. 64 Sunday.
#include "core/Termin.h"

#include <cstdint>
#include <string>

constexpr uint32_t kMinutesPerDay = 1440;
constexpr uint32_t kMinutesPerWeek = 10080;
constexpr int32_t kClockPerMinute = 6000;

// Draws a new random record identity, stores it in id and returns it. It is never 0 (0 marks an
// empty plan cell) and never the identity handed out just before.
uint32_t NewSysID(uint32_t& id);

// ENDE - BEGINN; 0 for a reversed interval.
uint32_t IntervalDuration(const TERMIN& t);

inline uint32_t MinuteStampDay(uint32_t stamp) { return stamp / kMinutesPerDay + 1; }
uint32_t MinuteStampWeek(uint32_t stamp);  // (day - 1) div 7 + 1
uint32_t IntervalDay(const TERMIN& t);     // day of BEGINN
uint32_t IntervalWeek(const TERMIN& t);    // week of BEGINN

// Shifts both ends by whole days so that BEGINN lies on the given day. Day 0 does not exist: the
// interval is left as it is.
void MoveIntervalToDay(TERMIN& t, uint32_t day);

// Minutes that a and b have in common (touching intervals: 0). out, when given, receives the
// common part: from the later begin, as long as the overlap.
uint32_t IntervalOverlap(const TERMIN& a, const TERMIN& b, TERMIN* out = nullptr);

// The overlap when the time line wraps at period: the part of an interval running past the period
// also counts at its start (a night shift at the end of a plan meets the plan's first morning).
uint32_t CyclicIntervalOverlap(const TERMIN& a, const TERMIN& b, uint32_t period);

// Minutes between two intervals, in either order; 0 when they touch or overlap.
uint32_t IntervalGap(const TERMIN& a, const TERMIN& b);

// Weekday 1..7 of a day number: calendar dates give their real weekday, plan day 1 a Monday.
int32_t WeekdayOfDate(int32_t date);
uint8_t WeekdayBit(int32_t date);  // Monday 1 .. Sunday 64
uint32_t BitOfDay(uint8_t n);      // 2^(n - 1); 0 for n = 0 or n > 32

// "hh:mm" of a minute value taken as a time of day. With endOfDay a positive multiple of 1440
// shows as "24:00" (the end of the previous day); 0 stays "00:00".
std::string FormatTimeOfDay(int64_t minutes, bool endOfDay = false);

// Turns what the user typed into a time field into a minute of the day (0..1439, with endOfDay
// 1..1440: hour 0 means 24). Never refuses: characters that cannot form a number are dropped, and
// when the entry had to be converted (beyond 24:00, more than 59 minutes) the user is told so.
uint16_t ParseTimeEntry(const std::string& text, bool endOfDay = false);
uint16_t ParseTimeEntryValue(const std::string& text, bool endOfDay = false);

uint16_t TimeToMinutes(int32_t clock);      // whole minutes of a clock value; 0 for no time
uint32_t TimeToMinutesLong(int32_t clock);  // the same, without the 16-bit limit
int32_t MinuteStampToTime(uint32_t stamp);  // clock value of the stamp's time of day
