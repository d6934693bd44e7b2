#include "assessment/RahmenbedingungRelevanteZeiten.h"

#include "assessment/RahmenbedingungCheck.h"
#include "core/Files.h"

using namespace RBCheck;

CRahmenbedingungRelevanteZeiten::CRahmenbedingungRelevanteZeiten(std::string_view key, std::string_view prefix)
    : CRahmenbedingung(key), prefix_(prefix)
{
}

CRahmenbedingungNachtschlafzeiten::CRahmenbedingungNachtschlafzeiten()
    : CRahmenbedingungRelevanteZeiten("RB18", "NS")
{
    LoadFromRB();
}

CRahmenbedingungSozialzeiten::CRahmenbedingungSozialzeiten() : CRahmenbedingungRelevanteZeiten("RB19", "SZ")
{
    LoadFromRB();
}

CRahmenbedingungFamilienzeiten::CRahmenbedingungFamilienzeiten()
    : CRahmenbedingungRelevanteZeiten("RB20", "FZ")
{
    LoadFromRB();
}

void CRahmenbedingungRelevanteZeiten::Assign(const CRahmenbedingung& other)
{
    std::string own = prefix_;
    CopyWhenSame(*this, other);
    prefix_ = std::move(own);
}

void CRahmenbedingungRelevanteZeiten::LoadFrom(const RecordBuffer& r)
{
    const std::string from = Name("ANFANGSZEIT_MIN"), to = Name("ANFANGSZEIT_MAX"), length = Name("DAUER_MIN");
    for (int d = 1; d <= 7; ++d) {
        RELEVANTEZEIT& z = RELEVANTEZEITEN[static_cast<size_t>(d - 1)];
        z.ANFANGSZEIT_MIN = static_cast<int32_t>(r.GetInt(from, d));
        z.ANFANGSZEIT_MAX = static_cast<int32_t>(r.GetInt(to, d));
        z.DAUER_MIN = static_cast<int32_t>(r.GetInt(length, d));
    }
    KONT_STOERUNGEN = static_cast<uint16_t>(r.GetInt(Name("KONT_STOERUNGEN")));
    EINZELSTOERUNGEN = static_cast<uint16_t>(r.GetInt(Name("EINZELSTOERUNGEN")));
}

void CRahmenbedingungRelevanteZeiten::StoreTo(RecordBuffer& r) const
{
    const std::string from = Name("ANFANGSZEIT_MIN"), to = Name("ANFANGSZEIT_MAX"), length = Name("DAUER_MIN");
    for (int d = 1; d <= 7; ++d) {
        const RELEVANTEZEIT& z = RELEVANTEZEITEN[static_cast<size_t>(d - 1)];
        r.SetInt(from, z.ANFANGSZEIT_MIN, d);
        r.SetInt(to, z.ANFANGSZEIT_MAX, d);
        r.SetInt(length, z.DAUER_MIN, d);
    }
    r.SetInt(Name("KONT_STOERUNGEN"), KONT_STOERUNGEN);
    r.SetInt(Name("EINZELSTOERUNGEN"), EINZELSTOERUNGEN);
}

LimitLevel CRahmenbedingungRelevanteZeiten::CheckLimits(bool reset, const RBField& field)
{
    LimitCheck c(reset, field);
    for (uint16_t* count : {&KONT_STOERUNGEN, &EINZELSTOERUNGEN}) {
        const std::string name = Name(count == &KONT_STOERUNGEN ? "KONT_STOERUNGEN" : "EINZELSTOERUNGEN");
        if (!c.Runs(name))
            continue;
        const int64_t most = ErrorInt(name);
        if (*count > most) {
            c.Raise(LIMIT_REFUSED);
            if (reset) {
                *count = static_cast<uint16_t>(most);
                return c.Level();
            }
        }
    }
    // Whatever was edited: no relevant time shorter than the limit of weekday 1.
    const int64_t shortest = ErrorInt(Name("DAUER_MIN"), 1);
    for (RELEVANTEZEIT& z : RELEVANTEZEITEN) {
        if (z.DAUER_MIN < shortest) {
            c.Raise(LIMIT_REFUSED);
            if (reset)
                z.DAUER_MIN = static_cast<int32_t>(shortest);
        }
    }
    return c.Level();
}
