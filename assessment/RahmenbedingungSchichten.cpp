#include "assessment/RahmenbedingungSchichten.h"

#include <algorithm>

#include "assessment/RahmenbedingungCheck.h"
#include "core/Files.h"

using namespace RBCheck;

namespace {

int32_t Get(const RecordBuffer& r, std::string_view name) { return static_cast<int32_t>(r.GetInt(name)); }

// 00:00 of the night start means midnight at the end of the day.
int32_t NightStartAsHeld(int64_t stored)
{
    return stored == k0000 ? k2400 : static_cast<int32_t>(stored);
}

// The earliest begin of an early shift: 5 hours after the night start (the early shift then
// holds at most 2 hours of the 7-hour night time).
int32_t EarliestEarlyBegin(int32_t nightStart) { return ClockPlus(nightStart, 5 * kHour); }

} // namespace

// ---- RB1 ---------------------------------------------------------------------------------------

CRahmenbedingungNachtschicht::CRahmenbedingungNachtschicht() : CRahmenbedingung("RB1") { LoadFromRB(); }

void CRahmenbedingungNachtschicht::LoadFrom(const RecordBuffer& r)
{
    NACHTAZ_ANFANG = NightStartAsHeld(r.GetInt("NACHTAZ_ANFANG"));
    NACHTAZ_LAENGE = Get(r, "NACHTAZ_LAENGE");
    NACHTAZ_DAUER_MIN = Get(r, "NACHTAZ_DAUER_MIN");
}

void CRahmenbedingungNachtschicht::StoreTo(RecordBuffer& r) const
{
    const int32_t stored = NACHTAZ_ANFANG == k2400 ? k0000 : NACHTAZ_ANFANG;
    r.SetInt("NACHTAZ_ANFANG", stored);
    r.SetInt("NACHTAZ_LAENGE", NACHTAZ_LAENGE);
    r.SetInt("NACHTAZ_DAUER_MIN", NACHTAZ_DAUER_MIN);
    r.SetInt("SS_BIS", stored);
}

LimitLevel CRahmenbedingungNachtschicht::CheckLimits(bool reset, const RBField& field)
{
    LimitCheck c(reset, field);
    if (c.Runs("NACHTAZ_ANFANG")) {
        // The limits are read like the value, so a limit entered as 24:00 (stored 00:00) holds.
        const int32_t warn = NightStartAsHeld(WarnInt("NACHTAZ_ANFANG"));
        const int32_t error = NightStartAsHeld(ErrorInt("NACHTAZ_ANFANG"));
        const int32_t latest = error + 2 * kHour;
        LimitLevel part = NACHTAZ_ANFANG != warn ? LIMIT_CONDITIONAL : LIMIT_ALLOWED;
        if (NACHTAZ_ANFANG < error || NACHTAZ_ANFANG > latest)
            part = LIMIT_REFUSED;
        c.Raise(part);
        if (part == LIMIT_REFUSED && reset) {
            NACHTAZ_ANFANG = std::clamp(NACHTAZ_ANFANG, error, latest);
            return c.Level();
        }
        RB.SetInt("FS_VON", EarliestEarlyBegin(NACHTAZ_ANFANG));
    }
    if (c.Lower(NACHTAZ_LAENGE, "NACHTAZ_LAENGE"))
        return c.Level();
    if (c.Lower(NACHTAZ_DAUER_MIN, "NACHTAZ_DAUER_MIN"))
        return c.Level();
    return c.Level();
}

// ---- RB2 ---------------------------------------------------------------------------------------

CRahmenbedingungFruehschicht::CRahmenbedingungFruehschicht() : CRahmenbedingung("RB2") { LoadFromRB(); }

void CRahmenbedingungFruehschicht::LoadFrom(const RecordBuffer& r)
{
    FS_VON = Get(r, "FS_VON");
    FS_BIS = Get(r, "FS_BIS");
}

void CRahmenbedingungFruehschicht::StoreTo(RecordBuffer& r) const
{
    r.SetInt("FS_VON", FS_VON);
    r.SetInt("FS_BIS", FS_BIS);
    r.SetInt("TS_VON", FS_BIS);
}

LimitLevel CRahmenbedingungFruehschicht::CheckLimits(bool reset, const RBField& field)
{
    LimitCheck c(reset, field);
    if (c.Runs("FS_VON")) {
        const int32_t earliest = EarliestEarlyBegin(Get(RB, "NACHTAZ_ANFANG"));
        if (FS_VON < earliest) {
            c.Raise(LIMIT_REFUSED);
            if (reset) {
                FS_VON = earliest;
                return c.Level();
            }
        }
    }
    if (c.Runs("FS_BIS")) {
        if (FS_VON >= FS_BIS) {
            c.Raise(LIMIT_REFUSED);
            if (reset) {
                FS_BIS = ClockPlusCapped(FS_VON, kHour);
                return c.Level();
            }
        } else {
            RB.SetInt("TS_VON", FS_BIS);
            RB.SetInt("TS_BIS", std::max(Get(RB, "TS_VON"), Get(RB, "TS_BIS")));
        }
    }
    return c.Level();
}

// ---- RB3 ---------------------------------------------------------------------------------------

CRahmenbedingungTagschicht::CRahmenbedingungTagschicht() : CRahmenbedingung("RB3") { LoadFromRB(); }

void CRahmenbedingungTagschicht::LoadFrom(const RecordBuffer& r)
{
    TS_VON = Get(r, "TS_VON");
    TS_BIS = Get(r, "TS_BIS");
}

void CRahmenbedingungTagschicht::StoreTo(RecordBuffer& r) const
{
    r.SetInt("TS_VON", TS_VON);
    r.SetInt("TS_BIS", TS_BIS);
    r.SetInt("SS_VON", TS_BIS);
}

LimitLevel CRahmenbedingungTagschicht::CheckLimits(bool reset, const RBField& field)
{
    LimitCheck c(reset, field);
    if (c.Runs("TS_VON")) {
        const int32_t earlyEnd = Get(RB, "FS_BIS");
        if (TS_VON != earlyEnd) {
            c.Raise(LIMIT_REFUSED);
            if (reset) {
                TS_VON = earlyEnd;
                return c.Level();
            }
        }
    }
    if (c.Runs("TS_BIS")) {
        if (TS_VON >= TS_BIS) {
            c.Raise(LIMIT_REFUSED);
            if (reset) {
                TS_BIS = ClockPlusCapped(TS_VON, kHour);
                return c.Level();
            }
        } else {
            RB.SetInt("SS_VON", TS_BIS);
        }
    }
    return c.Level();
}

// ---- RB8, RB9 ----------------------------------------------------------------------------------

CRahmenbedingungBetriebstagsbeginn::CRahmenbedingungBetriebstagsbeginn() : CRahmenbedingung("RB8") { LoadFromRB(); }

void CRahmenbedingungBetriebstagsbeginn::LoadFrom(const RecordBuffer& r)
{
    BETRIEBSTAGSBEGINN = Get(r, "BETRIEBSTAGSBEGINN");
}

void CRahmenbedingungBetriebstagsbeginn::StoreTo(RecordBuffer& r) const
{
    r.SetInt("BETRIEBSTAGSBEGINN", BETRIEBSTAGSBEGINN);
}

CRahmenbedingungSchichtuebergabezeit::CRahmenbedingungSchichtuebergabezeit() : CRahmenbedingung("RB9") { LoadFromRB(); }

void CRahmenbedingungSchichtuebergabezeit::LoadFrom(const RecordBuffer& r)
{
    SCHICHTUEBERGABEZEIT = Get(r, "SCHICHTUEBERGABEZEIT");
}

void CRahmenbedingungSchichtuebergabezeit::StoreTo(RecordBuffer& r) const
{
    r.SetInt("SCHICHTUEBERGABEZEIT", SCHICHTUEBERGABEZEIT);
}

// ---- RB10 --------------------------------------------------------------------------------------

CRahmenbedingungSchichtzeit::CRahmenbedingungSchichtzeit() : CRahmenbedingung("RB10") { LoadFromRB(); }

void CRahmenbedingungSchichtzeit::LoadFrom(const RecordBuffer& r)
{
    SL_DAUER_MIN = Get(r, "SL_DAUER_MIN");
    SL_DAUER_MAX = Get(r, "SL_DAUER_MAX");
}

void CRahmenbedingungSchichtzeit::StoreTo(RecordBuffer& r) const
{
    r.SetInt("SL_DAUER_MIN", SL_DAUER_MIN);
    r.SetInt("SL_DAUER_MAX", SL_DAUER_MAX);
}

LimitLevel CRahmenbedingungSchichtzeit::CheckLimits(bool reset, const RBField& field)
{
    LimitCheck c(reset, field);
    if (c.Runs("SL_DAUER_MIN")) {
        if (c.Lower(SL_DAUER_MIN, "SL_DAUER_MIN"))
            return c.Level();
        const int32_t longest = Get(RB, "SL_DAUER_MAX");
        if (SL_DAUER_MIN > longest) {
            c.Raise(LIMIT_REFUSED);
            if (reset) {
                SL_DAUER_MIN = longest;
                return c.Level();
            }
        }
    }
    if (c.Runs("SL_DAUER_MAX")) {
        if (c.Upper(SL_DAUER_MAX, "SL_DAUER_MAX"))
            return c.Level();
        const int32_t shortest = Get(RB, "SL_DAUER_MIN");
        if (shortest > SL_DAUER_MAX) {
            c.Raise(LIMIT_REFUSED);
            if (reset) {
                SL_DAUER_MAX = shortest;
                return c.Level();
            }
        }
    }
    return c.Level();
}
