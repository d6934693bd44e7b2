#include "assessment/KriteriumKosten.h"

#include "assessment/Kosten.h"
#include "core/Schicht.h"
#include "core/TimeHelpers.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

constexpr uint32_t kSamstag = 5 * kMinutesPerDay;   // minute of the week at Saturday 00:00
constexpr uint32_t kSonntag = 6 * kMinutesPerDay;

double Minutes(uint32_t begin, uint32_t end) { return end > begin ? double(end - begin) : 0.0; }

double RealField(const CKosten& k, std::string_view prefix, const char* member)
{
    return k.KOSTEN.GetReal(std::string(prefix) + member);
}

int64_t ClockField(const CKosten& k, std::string_view prefix, const char* member)
{
    return k.KOSTEN.GetInt(std::string(prefix) + member);
}

uint32_t ClockMinutes(int64_t clock) { return TimeToMinutesLong(int32_t(std::clamp<int64_t>(clock, 0, INT32_MAX))); }

::TERMIN Moved(::TERMIN t, int64_t minutes) { return {uint32_t(t.BEGINN + minutes), uint32_t(t.ENDE + minutes)}; }

// The span runs past the midnight after its begin.
bool RunsOverMidnight(uint32_t begin, uint32_t end) { return end > (begin / kMinutesPerDay + 1) * kMinutesPerDay; }

uint16_t DayOf(uint32_t begin, uint16_t day) { return day != 0 ? day : uint16_t(MinuteStampDay(begin)); }

} // namespace

void CKriteriumKosten::Assign(const CKriterium& other, IKriterienPool* pool)
{
    CKriterium::Assign(other, pool);
    if (const auto* same = dynamic_cast<const CKriteriumKosten*>(&other))
        KOSTEN = same->KOSTEN;
}

double CKriteriumKosten::Rate(std::string_view prefix) const { return KOSTEN ? KOSTEN->EffectiveRate(prefix) : 0.0; }

double CKriteriumKosten::BasePay(uint32_t begin, uint32_t end) const
{
    if (!KOSTEN)
        return 0.0;
    const double wage = KOSTEN->KOSTEN.GetReal("STUNDENLOHN");
    return std::isfinite(wage) ? wage * Minutes(begin, end) / 60.0 : 0.0;
}

double CKriteriumKosten::Allowances(uint32_t begin, uint32_t end) const
{
    double rate = 0;
    for (const char* p : {"LZ", "SP", "SZ1", "SZ2", "WS"})
        rate += Rate(p);
    return rate * Minutes(begin, end) / 60.0;
}

double CKriteriumKosten::TimeSurcharges(uint32_t begin, uint32_t end, uint16_t dayIn) const
{
    if (!KOSTEN || begin >= end)
        return 0.0;
    const uint16_t day = DayOf(begin, dayIn);
    ::TERMIN span{begin, end};
    MoveIntervalToDay(span, day);
    const ::TERMIN nextDay = Moved(span, kMinutesPerDay);
    const uint32_t dayStart = (uint32_t(day) - 1) * kMinutesPerDay;
    double sum = 0;

    // Windows of the day: this day's, the next day's, and the one of the day before (the span a
    // day later against this day's window) all count.
    for (const char* p : {"TZ1", "TZ2", "TZ3", "SOZ1", "SOZ2"}) {
        const double r = Rate(p);
        if (!(r > 0))
            continue;
        const uint32_t from = ClockMinutes(ClockField(*KOSTEN, p, "VON"));
        uint32_t to = ClockMinutes(ClockField(*KOSTEN, p, "BIS"));
        if (to < from)
            to += kMinutesPerDay;
        const ::TERMIN window{dayStart + from, dayStart + to};
        const uint32_t minutes = IntervalOverlap(span, window) +
                                 IntervalOverlap(span, Moved(window, kMinutesPerDay)) +
                                 IntervalOverlap(nextDay, window);
        sum += minutes * r / 60.0;
    }

    const uint32_t weekday = day % 7;
    const uint32_t week = (uint32_t(day) - 1) / 7 * kMinutesPerWeek;
    const bool overMidnight = RunsOverMidnight(begin, end);

    // Saturday, also for the part of a Friday shift after midnight.
    if (ClockField(*KOSTEN, "ZSA1", "BIS") != 0 && (weekday == 6 || (weekday == 5 && overMidnight))) {
        for (const char* p : {"ZSA1", "ZSA2"}) {
            const int64_t bis = ClockField(*KOSTEN, p, "BIS");
            if (bis == 0)
                continue;
            const uint32_t from = week + kSamstag + ClockMinutes(ClockField(*KOSTEN, p, "VON"));
            const uint32_t to = week + kSamstag + ClockMinutes(bis) + (bis <= 1 ? kMinutesPerDay : 0);
            const double r = Rate(p);
            if (to > from && r > 0)
                sum += IntervalOverlap(span, ::TERMIN{from, to}) * r / 60.0;
        }
    }

    // Saturday night into Sunday.
    const ::TERMIN sunday{week + kSonntag, week + kMinutesPerWeek};
    if (weekday == 6 && overMidnight) {
        double rate;
        if (KOSTEN->KOSTEN.GetInt("SAMSTAGSZUSCHLAGUEBERLAUF") != 0 && ClockField(*KOSTEN, "ZSA1", "VON") != 0)
            rate = Rate("ZSA2") != 0 ? Rate("ZSA2") : Rate("ZSA1");
        else
            rate = Rate("ZSO");
        if (rate > 0)
            sum += IntervalOverlap(span, sunday) * rate / 60.0;
    }

    // A Sunday shift: all of it, its part after midnight too.
    if (weekday == 0) {
        const double r = Rate("ZSO");
        if (r > 0 && IntervalOverlap(span, sunday) > 0)
            sum += Minutes(begin, end) * r / 60.0;
    }
    return sum;
}

double CKriteriumKosten::BandSurcharges(std::string_view first, std::string_view second, double minutes) const
{
    if (!KOSTEN)
        return 0.0;
    double sum = 0;
    for (std::string_view p : {first, second}) {
        const double r = Rate(p);
        if (!(r > 0))
            continue;
        const double from = std::trunc(RealField(*KOSTEN, p, "VON") * 60.0);
        const double to = std::trunc(RealField(*KOSTEN, p, "BIS") * 60.0);
        if (!std::isfinite(from) || !std::isfinite(to) || minutes < from)
            continue;
        const double upTo = to != 0 && minutes > to ? to : minutes;
        if (upTo > from)
            sum += (upTo - from) * r / 60.0;
    }
    return sum;
}

double CKriteriumKosten::OvertimeSurcharges(uint32_t begin, uint32_t end) const
{
    return BandSurcharges("UEBZ1", "UEBZ2", Minutes(begin, end));
}

double CKriteriumKosten::OnCallCost(const CSchicht& shift, uint16_t dayIn, double* factor) const
{
    double amount = 0;
    double f = 1;
    if (shift.ART == ART_FREISCHICHT) {
        f = 0;
    } else if (shift.ART == ART_BEREITSCHAFT || shift.ART == ART_RUFBEREITSCHAFT) {
        const uint32_t weekday = DayOf(shift.TERMIN.BEGINN, dayIn) % 7;
        const bool weekend = weekday == 6 || weekday == 0;
        const char* item = shift.ART == ART_BEREITSCHAFT ? (weekend ? "BDWE" : "BD") : (weekend ? "RBWE" : "RB");
        const double share = KOSTEN ? RealField(*KOSTEN, item, "ANRECHENBAREAZ") : 0.0;
        const double a = std::isfinite(share) ? Rate(item) * share / 100.0 : 0.0;
        f = a == 0 ? 0.0 : (100.0 - share) / 100.0;
        const int64_t minutes = int64_t(IntervalDuration(shift.TERMIN)) - shift.PauseMinutes(PauseKind::Unpaid);
        amount = a * double(std::max<int64_t>(minutes, 0)) / 60.0;
    }
    if (factor)
        *factor = f;
    return amount;
}
