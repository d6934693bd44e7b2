#include "assessment/RahmenbedingungRuhezeiten.h"

#include "assessment/RahmenbedingungCheck.h"
#include "core/Files.h"

using namespace RBCheck;

namespace {

int32_t Get(const RecordBuffer& r, std::string_view name) { return static_cast<int32_t>(r.GetInt(name)); }
uint16_t GetCount(const RecordBuffer& r, std::string_view name) { return static_cast<uint16_t>(r.GetInt(name)); }

} // namespace

// ---- RB4 ---------------------------------------------------------------------------------------

CRahmenbedingungMindestruhezeit::CRahmenbedingungMindestruhezeit() : CRahmenbedingung("RB4") { LoadFromRB(); }

void CRahmenbedingungMindestruhezeit::LoadFrom(const RecordBuffer& r)
{
    RZ_DAUER_OHNE_AUSGLEICH = Get(r, "RZ_DAUER_OHNE_AUSGLEICH");
    RZ_DAUER_MIT_AUSGLEICH = Get(r, "RZ_DAUER_MIT_AUSGLEICH");
    RZ_AUSGLEICHSZEITRAUM = GetCount(r, "RZ_AUSGLEICHSZEITRAUM");
}

void CRahmenbedingungMindestruhezeit::StoreTo(RecordBuffer& r) const
{
    r.SetInt("RZ_DAUER_OHNE_AUSGLEICH", RZ_DAUER_OHNE_AUSGLEICH);
    r.SetInt("RZ_DAUER_MIT_AUSGLEICH", RZ_DAUER_MIT_AUSGLEICH);
    r.SetInt("RZ_AUSGLEICHSZEITRAUM", RZ_AUSGLEICHSZEITRAUM);
}

LimitLevel CRahmenbedingungMindestruhezeit::CheckLimits(bool reset, const RBField& field)
{
    LimitCheck c(reset, field);
    if (c.Lower(RZ_DAUER_OHNE_AUSGLEICH, "RZ_DAUER_OHNE_AUSGLEICH"))
        return c.Level();
    if (RZ_DAUER_MIT_AUSGLEICH != 0 && c.Runs("RZ_DAUER_MIT_AUSGLEICH")) {
        const int32_t error = static_cast<int32_t>(ErrorInt("RZ_DAUER_MIT_AUSGLEICH"));
        if (RZ_DAUER_MIT_AUSGLEICH < error) {
            c.Raise(LIMIT_REFUSED);
            if (reset) {
                RZ_DAUER_MIT_AUSGLEICH = error;
                return c.Level();
            }
        } else {
            c.Raise(LIMIT_CONDITIONAL);   // shortening the rest always needs the conditions
        }
        if (RZ_DAUER_MIT_AUSGLEICH >= RZ_DAUER_OHNE_AUSGLEICH) {
            c.Raise(LIMIT_REFUSED);
            if (reset)
                RZ_DAUER_MIT_AUSGLEICH = static_cast<int32_t>(WarnInt("RZ_DAUER_MIT_AUSGLEICH"));
        }
    }
    if (c.Upper(RZ_AUSGLEICHSZEITRAUM, "RZ_AUSGLEICHSZEITRAUM"))
        return c.Level();
    return c.Level();
}

// ---- RB5 ---------------------------------------------------------------------------------------

CRahmenbedingungFreieSonntage::CRahmenbedingungFreieSonntage() : CRahmenbedingung("RB5") { LoadFromRB(); }

void CRahmenbedingungFreieSonntage::LoadFrom(const RecordBuffer& r)
{
    FREIE_SONNTAGE = GetCount(r, "FREIE_SONNTAGE");
}

void CRahmenbedingungFreieSonntage::StoreTo(RecordBuffer& r) const
{
    r.SetInt("FREIE_SONNTAGE", FREIE_SONNTAGE);
}

LimitLevel CRahmenbedingungFreieSonntage::CheckLimits(bool reset, const RBField& field)
{
    LimitCheck c(reset, field);
    c.Lower(FREIE_SONNTAGE, "FREIE_SONNTAGE");
    return c.Level();
}

// ---- RB6 ---------------------------------------------------------------------------------------

CRahmenbedingungKontWochenruhezeit::CRahmenbedingungKontWochenruhezeit() : CRahmenbedingung("RB6") { LoadFromRB(); }

void CRahmenbedingungKontWochenruhezeit::LoadFrom(const RecordBuffer& r)
{
    WRZ_DAUER_MIN = r.GetDecimal("WRZ_DAUER_MIN");
    ERSATZ_WRZ_DAUER_MIN = r.GetDecimal("ERSATZ_WRZ_DAUER_MIN");
    SAZ_VERSCHIEBUNG = Get(r, "SAZ_VERSCHIEBUNG");
    SAZ_AUSGLEICHSZEITRAUM = GetCount(r, "SAZ_AUSGLEICHSZEITRAUM");
}

void CRahmenbedingungKontWochenruhezeit::StoreTo(RecordBuffer& r) const
{
    r.SetDecimal("WRZ_DAUER_MIN", WRZ_DAUER_MIN);
    r.SetDecimal("ERSATZ_WRZ_DAUER_MIN", ERSATZ_WRZ_DAUER_MIN);
    r.SetInt("SAZ_VERSCHIEBUNG", SAZ_VERSCHIEBUNG);
    r.SetInt("SAZ_AUSGLEICHSZEITRAUM", SAZ_AUSGLEICHSZEITRAUM);
}

LimitLevel CRahmenbedingungKontWochenruhezeit::CheckLimits(bool reset, const RBField& field)
{
    LimitCheck c(reset, field);
    if (c.Lower(WRZ_DAUER_MIN, "WRZ_DAUER_MIN") ||
        c.Lower(ERSATZ_WRZ_DAUER_MIN, "ERSATZ_WRZ_DAUER_MIN") ||
        c.Upper(SAZ_VERSCHIEBUNG, "SAZ_VERSCHIEBUNG") ||
        c.Upper(SAZ_AUSGLEICHSZEITRAUM, "SAZ_AUSGLEICHSZEITRAUM"))
        return c.Level();
    return c.Level();
}

// ---- RB21, RB22 --------------------------------------------------------------------------------

CRahmenbedingungRZNachtarbeit::CRahmenbedingungRZNachtarbeit() : CRahmenbedingung("RB21") { LoadFromRB(); }

void CRahmenbedingungRZNachtarbeit::LoadFrom(const RecordBuffer& r)
{
    RZNACHTARBEIT_MIN = r.GetDecimal("RZNACHTARBEIT_MIN");
}

void CRahmenbedingungRZNachtarbeit::StoreTo(RecordBuffer& r) const
{
    r.SetDecimal("RZNACHTARBEIT_MIN", RZNACHTARBEIT_MIN);
}

LimitLevel CRahmenbedingungRZNachtarbeit::CheckLimits(bool reset, const RBField& field)
{
    LimitCheck c(reset, field);
    if (c.Runs("RZNACHTARBEIT_MIN")) {
        const Decimal error = ErrorDecimal("RZNACHTARBEIT_MIN");
        if (RZNACHTARBEIT_MIN < error) {
            c.Raise(LIMIT_REFUSED);
            if (reset)
                RZNACHTARBEIT_MIN = error;
        }
    }
    return c.Level();
}

CRahmenbedingungRZAnzeige::CRahmenbedingungRZAnzeige() : CRahmenbedingung("RB22") { LoadFromRB(); }

void CRahmenbedingungRZAnzeige::LoadFrom(const RecordBuffer& r)
{
    RZANZEIGE_MIN = r.GetDecimal("RZANZEIGE_MIN");
}

void CRahmenbedingungRZAnzeige::StoreTo(RecordBuffer& r) const
{
    r.SetDecimal("RZANZEIGE_MIN", RZANZEIGE_MIN);
}
