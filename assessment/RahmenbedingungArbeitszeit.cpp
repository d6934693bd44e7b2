#include "assessment/RahmenbedingungArbeitszeit.h"

#include "assessment/RahmenbedingungCheck.h"
#include "core/Files.h"

using namespace RBCheck;

namespace {

int32_t Get(const RecordBuffer& r, std::string_view name) { return static_cast<int32_t>(r.GetInt(name)); }
uint16_t GetCount(const RecordBuffer& r, std::string_view name) { return static_cast<uint16_t>(r.GetInt(name)); }

} // namespace

// ---- RB7 ---------------------------------------------------------------------------------------

CRahmenbedingungKontArbeitstage::CRahmenbedingungKontArbeitstage() : CRahmenbedingung("RB7") { LoadFromRB(); }

void CRahmenbedingungKontArbeitstage::LoadFrom(const RecordBuffer& r)
{
    KONTAZ_MIN = GetCount(r, "KONTAZ_MIN");
    KONTAZ_MAX = GetCount(r, "KONTAZ_MAX");
}

void CRahmenbedingungKontArbeitstage::StoreTo(RecordBuffer& r) const
{
    r.SetInt("KONTAZ_MIN", KONTAZ_MIN);
    r.SetInt("KONTAZ_MAX", KONTAZ_MAX);
}

LimitLevel CRahmenbedingungKontArbeitstage::CheckLimits(bool reset, const RBField& field)
{
    LimitCheck c(reset, field);
    // A minimum above the maximum contradicts itself whatever the limits say; it is put back to
    // the other field before any limit.
    if (c.Runs("KONTAZ_MIN")) {
        const LimitLevel part = c.CompareLower(KONTAZ_MIN, "KONTAZ_MIN");
        if (KONTAZ_MIN > KONTAZ_MAX) {
            c.Raise(LIMIT_REFUSED);
            if (reset) {
                KONTAZ_MIN = KONTAZ_MAX;
                return c.Level();
            }
        } else if (part == LIMIT_REFUSED && reset) {
            KONTAZ_MIN = static_cast<uint16_t>(ErrorInt("KONTAZ_MIN"));
            return c.Level();
        }
    }
    if (c.Runs("KONTAZ_MAX")) {
        const LimitLevel part = c.CompareUpper(KONTAZ_MAX, "KONTAZ_MAX");
        if (KONTAZ_MIN > KONTAZ_MAX) {
            c.Raise(LIMIT_REFUSED);
            if (reset) {
                KONTAZ_MAX = KONTAZ_MIN;
                return c.Level();
            }
        } else if (part == LIMIT_REFUSED && reset) {
            KONTAZ_MAX = static_cast<uint16_t>(ErrorInt("KONTAZ_MAX"));
            return c.Level();
        }
    }
    return c.Level();
}

// ---- RB14 --------------------------------------------------------------------------------------

CRahmenbedingungWerktagAZ::CRahmenbedingungWerktagAZ() : CRahmenbedingung("RB14") { LoadFromRB(); }

void CRahmenbedingungWerktagAZ::LoadFrom(const RecordBuffer& r)
{
    WTAZ_OHNE_AUSGLEICH = Get(r, "WTAZ_OHNE_AUSGLEICH");
    WTAZ_MIT_AUSGLEICH = Get(r, "WTAZ_MIT_AUSGLEICH");
    WTAZ_AUSGLEICHSZEITRAUM_NORMAL = GetCount(r, "WTAZ_AUSGLEICHSZEITRAUM_NORMAL");
    WTAZ_AUSGLEICHSZEITRAUM_NACHTARBEIT = GetCount(r, "WTAZ_AUSGLEICHSZEITRAUM_NACHTARBEIT");
}

void CRahmenbedingungWerktagAZ::StoreTo(RecordBuffer& r) const
{
    r.SetInt("WTAZ_OHNE_AUSGLEICH", WTAZ_OHNE_AUSGLEICH);
    r.SetInt("WTAZ_MIT_AUSGLEICH", WTAZ_MIT_AUSGLEICH);
    r.SetInt("WTAZ_AUSGLEICHSZEITRAUM_NORMAL", WTAZ_AUSGLEICHSZEITRAUM_NORMAL);
    r.SetInt("WTAZ_AUSGLEICHSZEITRAUM_NACHTARBEIT", WTAZ_AUSGLEICHSZEITRAUM_NACHTARBEIT);
}

LimitLevel CRahmenbedingungWerktagAZ::CheckLimits(bool reset, const RBField& field)
{
    LimitCheck c(reset, field);
    if (c.Upper(WTAZ_OHNE_AUSGLEICH, "WTAZ_OHNE_AUSGLEICH"))
        return c.Level();
    if (WTAZ_MIT_AUSGLEICH != 0 && c.Runs("WTAZ_MIT_AUSGLEICH")) {
        const int32_t error = static_cast<int32_t>(ErrorInt("WTAZ_MIT_AUSGLEICH"));
        const bool notLonger = WTAZ_MIT_AUSGLEICH <= WTAZ_OHNE_AUSGLEICH;
        if (notLonger || WTAZ_MIT_AUSGLEICH > error) {
            c.Raise(LIMIT_REFUSED);
            if (reset) {
                WTAZ_MIT_AUSGLEICH = notLonger ? ClockPlusCapped(WTAZ_OHNE_AUSGLEICH, kMinute) : error;
                return c.Level();
            }
        } else {
            c.Raise(LIMIT_CONDITIONAL);   // a longer day always needs its compensation
        }
    }
    if (c.Upper(WTAZ_AUSGLEICHSZEITRAUM_NORMAL, "WTAZ_AUSGLEICHSZEITRAUM_NORMAL") ||
        c.Upper(WTAZ_AUSGLEICHSZEITRAUM_NACHTARBEIT, "WTAZ_AUSGLEICHSZEITRAUM_NACHTARBEIT"))
        return c.Level();
    return c.Level();
}

// ---- RB15 --------------------------------------------------------------------------------------

CRahmenbedingungWAZMittel::CRahmenbedingungWAZMittel() : CRahmenbedingung("RB15") { LoadFromRB(); }

void CRahmenbedingungWAZMittel::LoadFrom(const RecordBuffer& r)
{
    WOCHENBEGINN = Get(r, "WOCHENBEGINN");
    WAZ = r.GetDecimal("WAZ");
    WAZ_AUSGLEICHSZEITRAUM = GetCount(r, "WAZ_AUSGLEICHSZEITRAUM");
}

void CRahmenbedingungWAZMittel::StoreTo(RecordBuffer& r) const
{
    r.SetInt("WOCHENBEGINN", WOCHENBEGINN);
    r.SetDecimal("WAZ", WAZ);
    r.SetInt("WAZ_AUSGLEICHSZEITRAUM", WAZ_AUSGLEICHSZEITRAUM);
}

LimitLevel CRahmenbedingungWAZMittel::CheckLimits(bool reset, const RBField& field)
{
    LimitCheck c(reset, field);
    if (c.Upper(WAZ, "WAZ") || c.Upper(WAZ_AUSGLEICHSZEITRAUM, "WAZ_AUSGLEICHSZEITRAUM"))
        return c.Level();
    return c.Level();
}

// ---- RB16 --------------------------------------------------------------------------------------

CRahmenbedingungWAZGrenzen::CRahmenbedingungWAZGrenzen() : CRahmenbedingung("RB16") { LoadFromRB(); }

void CRahmenbedingungWAZGrenzen::LoadFrom(const RecordBuffer& r)
{
    WOCHENBEGINN = Get(r, "WOCHENBEGINN");
    WAZ_MIN = r.GetDecimal("WAZ_MIN");
    WAZ_MAX = r.GetDecimal("WAZ_MAX");
}

void CRahmenbedingungWAZGrenzen::StoreTo(RecordBuffer& r) const
{
    r.SetInt("WOCHENBEGINN", WOCHENBEGINN);
    r.SetDecimal("WAZ_MIN", WAZ_MIN);
    r.SetDecimal("WAZ_MAX", WAZ_MAX);
}

LimitLevel CRahmenbedingungWAZGrenzen::CheckLimits(bool reset, const RBField& field)
{
    LimitCheck c(reset, field);
    if (c.Runs("WAZ_MIN") && WAZ_MIN > WAZ_MAX) {
        c.Raise(LIMIT_REFUSED);
        if (reset) {
            WAZ_MIN = WAZ_MAX;
            return c.Level();
        }
    }
    if (c.Runs("WAZ_MAX")) {
        const Decimal error = ErrorDecimal("WAZ_MAX");
        if (WAZ_MAX > error) {
            c.Raise(LIMIT_REFUSED);
            if (reset) {
                WAZ_MAX = error;
                return c.Level();
            }
        } else if (WAZ_MIN > WAZ_MAX) {
            c.Raise(LIMIT_REFUSED);
            if (reset) {
                WAZ_MAX = WAZ_MIN;
                return c.Level();
            }
        }
    }
    return c.Level();
}
