#include "assessment/RahmenbedingungPausen.h"

#include "assessment/RahmenbedingungCheck.h"
#include "core/Files.h"

using namespace RBCheck;

namespace {

// ArbZG § 4: 30 minutes for more than 6 up to 9 hours, 45 minutes for more than 9 hours.
constexpr uint16_t kBreakUpTo9Hours = 30;
constexpr uint16_t kBreakFrom9Hours = 45;

} // namespace

// ---- RB11 --------------------------------------------------------------------------------------

CRahmenbedingungPausen::CRahmenbedingungPausen() : CRahmenbedingung("RB11") { LoadFromRB(); }

void CRahmenbedingungPausen::LoadFrom(const RecordBuffer& r)
{
    for (int i = 1; i <= 4; ++i) {
        PAUSEN[i - 1].AZ_AB = static_cast<int32_t>(r.GetInt("AZ_AB", i));
        PAUSEN[i - 1].PAUSENLAENGE = static_cast<uint16_t>(r.GetInt("PAUSENLAENGE", i));
    }
}

void CRahmenbedingungPausen::StoreTo(RecordBuffer& r) const
{
    for (int i = 1; i <= 4; ++i) {
        r.SetInt("AZ_AB", PAUSEN[i - 1].AZ_AB, i);
        r.SetInt("PAUSENLAENGE", PAUSEN[i - 1].PAUSENLAENGE, i);
    }
}

LimitLevel CRahmenbedingungPausen::CheckLimits(bool reset, const RBField& field)
{
    LimitCheck c(reset, field);
    // Every reset below changes only the field whose own test has just failed.
    auto refuse = [&](auto& value, auto allowed) {
        c.Raise(LIMIT_REFUSED);
        if (reset)
            value = allowed;
        return reset;
    };

    // The two legal steps, whatever was edited.
    if (PAUSEN[0].PAUSENLAENGE < kBreakUpTo9Hours)
        refuse(PAUSEN[0].PAUSENLAENGE, kBreakUpTo9Hours);
    if (PAUSEN[1].PAUSENLAENGE < kBreakFrom9Hours)
        refuse(PAUSEN[1].PAUSENLAENGE, kBreakFrom9Hours);

    const int64_t firstBreak = RB.GetInt("ERSTE_PAUSE");
    const int32_t nineHours = Time(9);
    for (int i = 0; i < 4; ++i) {
        if (!c.Runs("AZ_AB", i + 1) && !c.Runs("PAUSENLAENGE", i + 1))
            continue;
        PAUSENREGEL& e = PAUSEN[static_cast<size_t>(i)];
        // A length needs a threshold; a threshold without length takes the step before's.
        if (e.PAUSENLAENGE > 0 && e.AZ_AB == 0)
            e.PAUSENLAENGE = 0;
        else if (e.PAUSENLAENGE == 0 && e.AZ_AB > 0 && i > 0)
            e.PAUSENLAENGE = PAUSEN[static_cast<size_t>(i - 1)].PAUSENLAENGE;

        if (e.PAUSENLAENGE > 0 && e.AZ_AB >= firstBreak) {
            const uint16_t legal = e.AZ_AB < nineHours ? kBreakUpTo9Hours : kBreakFrom9Hours;
            if (e.PAUSENLAENGE < legal && refuse(e.PAUSENLAENGE, legal))
                continue;
        }
        if (i > 0 && e.AZ_AB > 0) {
            const PAUSENREGEL& before = PAUSEN[static_cast<size_t>(i - 1)];
            if (e.AZ_AB < before.AZ_AB)
                refuse(e.AZ_AB, i == 1 ? nineHours : before.AZ_AB);
            if (e.PAUSENLAENGE < before.PAUSENLAENGE)
                refuse(e.PAUSENLAENGE, before.PAUSENLAENGE);
        }
    }
    return c.Level();
}

// ---- RB12, RB13 --------------------------------------------------------------------------------

CRahmenbedingungErstePause::CRahmenbedingungErstePause() : CRahmenbedingung("RB12") { LoadFromRB(); }

void CRahmenbedingungErstePause::LoadFrom(const RecordBuffer& r)
{
    ERSTE_PAUSE = static_cast<int32_t>(r.GetInt("ERSTE_PAUSE"));
}

void CRahmenbedingungErstePause::StoreTo(RecordBuffer& r) const
{
    r.SetInt("ERSTE_PAUSE", ERSTE_PAUSE);
}

LimitLevel CRahmenbedingungErstePause::CheckLimits(bool reset, const RBField& field)
{
    LimitCheck c(reset, field);
    c.Upper(ERSTE_PAUSE, "ERSTE_PAUSE");
    return c.Level();
}

CRahmenbedingungMindestpausenlaenge::CRahmenbedingungMindestpausenlaenge() : CRahmenbedingung("RB13") { LoadFromRB(); }

void CRahmenbedingungMindestpausenlaenge::LoadFrom(const RecordBuffer& r)
{
    MINDESTPAUSENLAENGE = static_cast<int32_t>(r.GetInt("MINDESTPAUSENLAENGE"));
}

void CRahmenbedingungMindestpausenlaenge::StoreTo(RecordBuffer& r) const
{
    r.SetInt("MINDESTPAUSENLAENGE", MINDESTPAUSENLAENGE);
}

LimitLevel CRahmenbedingungMindestpausenlaenge::CheckLimits(bool reset, const RBField& field)
{
    LimitCheck c(reset, field);
    c.Lower(MINDESTPAUSENLAENGE, "MINDESTPAUSENLAENGE");
    return c.Level();
}
