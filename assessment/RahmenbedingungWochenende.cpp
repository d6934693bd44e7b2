#include "assessment/RahmenbedingungWochenende.h"

#include "assessment/RahmenbedingungCheck.h"
#include "core/Files.h"

using namespace RBCheck;

namespace {

constexpr int64_t kWeekMinutes = 7 * 1440;
constexpr int64_t kSaturday = 5 * 1440;   // Saturday 00:00 .. Sunday 00:00
constexpr int64_t kSunday = 6 * 1440;     // Sunday 00:00 .. Monday 00:00
const Decimal kLongest = Decimal::FromCents(96 * 100);

bool ValidDay(uint16_t day) { return day >= 1 && day <= 7; }

// Minutes since Monday 00:00.
int64_t WeekMinute(uint16_t day, int32_t time) { return (static_cast<int64_t>(day) - 1) * 1440 + Minutes(time); }

// Hundredths of minutes, so that hours with two places stay exact.
int64_t Centiminutes(Decimal hours) { return hours.Cents() * 60; }

// Whether the span [from, to] (hundredths of minutes) holds all of Saturday or all of Sunday.
bool HoldsWeekendDay(int64_t from, int64_t to)
{
    auto holds = [&](int64_t dayStart) { return from <= dayStart * 100 && to >= (dayStart + 1440) * 100; };
    return holds(kSaturday) || holds(kSunday);
}

} // namespace

CRahmenbedingungWochenende::CRahmenbedingungWochenende() : CRahmenbedingung("RB17") { LoadFromRB(); }

void CRahmenbedingungWochenende::LoadFrom(const RecordBuffer& r)
{
    WE_ANFANGSTAG = static_cast<uint16_t>(r.GetInt("WE_ANFANGSTAG"));
    WE_ANFANGSZEIT = static_cast<int32_t>(r.GetInt("WE_ANFANGSZEIT"));
    WE_ENDTAG = static_cast<uint16_t>(r.GetInt("WE_ENDTAG"));
    WE_ENDZEIT = static_cast<int32_t>(r.GetInt("WE_ENDZEIT"));
    WE_DAUER_MIN = r.GetDecimal("WE_DAUER_MIN");
}

void CRahmenbedingungWochenende::StoreTo(RecordBuffer& r) const
{
    r.SetInt("WE_ANFANGSTAG", WE_ANFANGSTAG);
    r.SetInt("WE_ANFANGSZEIT", WE_ANFANGSZEIT);
    r.SetInt("WE_ENDTAG", WE_ENDTAG);
    r.SetInt("WE_ENDZEIT", WE_ENDZEIT);
    r.SetDecimal("WE_DAUER_MIN", WE_DAUER_MIN);
}

// The minimum becomes the whole span from begin to end when that is longer.
void CRahmenbedingungWochenende::Normalise()
{
    if (!ValidDay(WE_ANFANGSTAG) || !ValidDay(WE_ENDTAG))
        return;
    const int64_t start = WeekMinute(WE_ANFANGSTAG, WE_ANFANGSZEIT);
    int64_t end = WeekMinute(WE_ENDTAG, WE_ENDZEIT);
    if (end < start)
        end += kWeekMinutes;
    const int64_t window = end - start;
    if (window * 100 > Centiminutes(WE_DAUER_MIN))
        WE_DAUER_MIN = Decimal::FromCents((window * 100 + 30) / 60);   // hours, rounded to two places
}

LimitLevel CRahmenbedingungWochenende::CheckLimits(bool reset, const RBField& field)
{
    LimitCheck c(reset, field);
    if (!c.RunsAny({"WE_ANFANGSTAG", "WE_ANFANGSZEIT", "WE_ENDTAG", "WE_ENDZEIT", "WE_DAUER_MIN"}))
        return c.Level();

    const Decimal shortest = ErrorDecimal("WE_DAUER_MIN");
    if (WE_DAUER_MIN < shortest) {
        c.Raise(LIMIT_REFUSED);
        if (reset) {
            WE_DAUER_MIN = shortest;
            Normalise();
        }
    }
    if (WE_DAUER_MIN > kLongest && reset)
        WE_DAUER_MIN = kLongest;

    const int64_t duration = Centiminutes(WE_DAUER_MIN);
    const int64_t start = WeekMinute(WE_ANFANGSTAG, WE_ANFANGSZEIT) * 100;
    if (!ValidDay(WE_ANFANGSTAG) || !HoldsWeekendDay(start, start + duration)) {
        c.Raise(LIMIT_REFUSED);
        if (reset) {
            WE_ANFANGSTAG = 7;
            WE_ANFANGSZEIT = k0000;
        }
    }
    int64_t end = WeekMinute(WE_ENDTAG, WE_ENDZEIT);
    if (WE_ENDTAG == 1 || WE_ENDTAG == 2)
        end += kWeekMinutes;   // a weekend that ends on Monday or Tuesday ends in the next week
    end *= 100;
    if (!ValidDay(WE_ENDTAG) || !HoldsWeekendDay(end - duration, end)) {
        c.Raise(LIMIT_REFUSED);
        if (reset) {
            WE_ENDTAG = 7;
            WE_ENDZEIT = k0000;
        }
    }
    if (c.Level() == LIMIT_ALLOWED)
        Normalise();
    return c.Level();
}
