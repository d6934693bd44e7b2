#include "generation/AZPGenerator.h"

#include "assessment/Kriterium.h"
#include "assessment/RahmenbedingungArbeitszeit.h"
#include "assessment/RahmenbedingungRuhezeiten.h"
#include "plans/AZPData.h"
#include "plans/SBPData.h"
#include "plans/SBPInfo.h"
#include "plans/Schichttypen.h"
#include "platform/values/Random.h"

#include <algorithm>
#include <limits>

namespace {

// A free day and the cleared previous shift.
constexpr ListenSchicht kFrei{::TERMIN{}, 0, LISTE_FREI};

// Time value (hundredths + 1) in whole minutes.
constexpr int64_t kTimePerMinute = 6000;

// gross hours / (strength x days / 7) x 60 / groups, exact and truncated; 0 on a division by
// zero. Held exactly (the hours in cents), so no intermediate rounding shifts the whole minutes.
uint32_t TargetMinutes(const Decimal& grossHours, uint16_t strength, uint16_t days, uint16_t groups)
{
    if (strength == 0 || days == 0 || groups == 0 || grossHours.Cents() <= 0)
        return 0;
    const unsigned __int128 numerator = static_cast<unsigned __int128>(grossHours.Cents()) * 7u * 60u;
    const unsigned __int128 denominator =
        static_cast<unsigned __int128>(Decimal::kScale) * strength * days * groups;
    const unsigned __int128 q = numerator / denominator;
    return q > std::numeric_limits<uint32_t>::max() ? std::numeric_limits<uint32_t>::max()
                                                     : static_cast<uint32_t>(q);
}

} // namespace

CKriterium* AZPDefinitionen::FindKriterium(long number) const
{
    for (CKriterium* k : KRITERIEN)
        if (k && k->NUMMER == number)
            return k;
    return nullptr;
}

long CountUnplacedShifts(const CSBPData& sbp, const CAZPData& azp)
{
    // Only working shift types are placed by the generator (the day lists skip the others), so
    // only their demand can be missing. A day beyond the working-time plan has no cells: its
    // demand counts as unplaced.
    const CSchichttypen* types = sbp.GetSchichttypen();
    const long typeCount = types ? types->Count() : 0;
    long unplaced = 0;
    for (long i = 1; i <= typeCount; ++i) {
        const CSchicht* type = types->GetByIndex(i);
        if (!type || type->ART != ART_NORMAL)
            continue;
        for (uint16_t d = 1; d <= sbp.CountDays(); ++d) {
            long missing = sbp.GetCountBySysId(d, type->SYSID);
            for (uint16_t g = 1; g <= azp.CountGroups() && missing > 0; ++g)
                if (azp.GetCell(d, g) == type->SYSID)
                    --missing;
            unplaced += missing;
        }
    }
    return unplaced;
}

AZPGeneratorLimits CAZPGenerator::ReadLimits(const CSBPData& sbp, uint16_t groups) const
{
    AZPGeneratorLimits limits;
    if (DEFMANAGER && DEFMANAGER->RB4) {
        const int64_t rest = std::max<int64_t>(DEFMANAGER->RB4->RZ_DAUER_MIT_AUSGLEICH,
                                               DEFMANAGER->RB4->RZ_DAUER_OHNE_AUSGLEICH);
        limits.RUHEZEIT = rest > 0 ? static_cast<uint32_t>(rest / kTimePerMinute) : 0;
    }
    if (DEFMANAGER && DEFMANAGER->RB7)
        limits.KONTAZ_MAX = DEFMANAGER->RB7->KONTAZ_MAX;
    CSBPInfo info;
    info.Compute(sbp);
    limits.ZIELMINUTEN = TargetMinutes(info.BMSGESAMT, info.SCHICHTGRUPPENSTAERKE, sbp.CountDays(), groups);
    return limits;
}

void CAZPGenerator::Generate(const CSBPData& sbp, CAZPData& azp)
{
    GRUPPEN = azp.CountGroups();
    KONTTAGE = 0;
    RUN = 0;
    PREVIOUS = ListenSchicht{};
    PICKED = ListenSchicht{};
    LIMITS = ReadLimits(sbp, GRUPPEN);

    const uint16_t days = azp.CountDays();
    TOTALCELLS = int64_t(days) * GRUPPEN;
    int64_t demanded = 0;
    for (int32_t r = 1; r <= sbp.CountRows(); ++r)
        for (uint16_t d = 1; d <= sbp.CountDays(); ++d)
            demanded += sbp.GetCount(d, uint32_t(r));
    FREECELLS = TOTALCELLS - demanded;

    LISTE.BuildFromSBP(sbp, GRUPPEN);

    for (uint32_t g = 1; g <= GRUPPEN; ++g) {
        GRUPPE = uint16_t(g);
        WORKEDMINUTES = 0;
        for (TAG = 1; TAG <= days; ++TAG) {
            PickShift();
            --FREECELLS;
            if (PICKED.ART == LISTE_FREI) {
                --FREECELLS;
                PREVIOUS = ListenSchicht{};
                RUN = 0;
                KONTTAGE = 0;
            } else {
                azp.SetCell(TAG, GRUPPE, PICKED.SYSID);
                WORKEDMINUTES += int64_t(PICKED.TERMIN.ENDE) - int64_t(PICKED.TERMIN.BEGINN);
                ++KONTTAGE;
                if (PICKED.SYSID != PREVIOUS.SYSID) {
                    PREVIOUS = PICKED;
                    RUN = 1;
                } else {
                    ++RUN;
                }
            }
            LISTE.DeleteCurrent();
        }
    }
    LISTE.FreeAll();
}

void CAZPGenerator::PickShift()
{
    LISTE.SelectTag(TAG);
    // A plan longer than the demand (or a list used up) has nothing to hand out: a free day,
    // never the entry of another day picked again.
    if (LISTE.CurrentDay() != TAG || LISTE.CountCurrentDay() == 0) {
        PICKED = kFrei;
        return;
    }
    if (GRUPPE == GRUPPEN) {
        LISTE.SelectSchicht(1, PICKED);
        return;
    }
    bool tryFree = true;
    // The target is per week, the worked minutes are the row's so far: the target counts for
    // the weeks of the row up to this day.
    if (KONTTAGE < LIMITS.KONTAZ_MAX && WORKEDMINUTES < int64_t(LIMITS.ZIELMINUTEN) * TAG / 7) {
        // n = total / free cells + 1, truncated toward zero; no free cells: n = 1.
        int64_t n = 1;
        if (FREECELLS > 0)
            n = TOTALCELLS / FREECELLS + 1;
        else if (FREECELLS < 0)
            n = 0;  // total / negative + 1 < 1: counts as a draw other than 1
        int64_t r = 0;
        if (n >= 1)
            r = RandomBetween(1, int32_t(std::min<int64_t>(n, std::numeric_limits<int32_t>::max())));
        tryFree = r == 1;
    }
    if (tryFree && LISTE.FindFreeSchicht() == 0) {
        PICKED = kFrei;
        return;
    }

    // The first entry that keeps the rest and is not a fourth identical shift in a row.
    const uint32_t count = LISTE.CountCurrentDay();
    for (uint32_t n = 1; n <= count; ++n) {
        ListenSchicht candidate;
        LISTE.SelectSchicht(uint16_t(n), candidate);
        const int64_t rest = int64_t(candidate.TERMIN.BEGINN) + 1440 - int64_t(PREVIOUS.TERMIN.ENDE);
        const bool restOk = rest >= int64_t(LIMITS.RUHEZEIT);
        const bool runOk = candidate.SYSID != PREVIOUS.SYSID || RUN < 3;
        if (restOk && runOk) {
            PICKED = candidate;
            return;
        }
    }
    LISTE.SelectSchicht(uint16_t(count), PICKED);
}
