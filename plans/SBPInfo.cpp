#include "plans/SBPInfo.h"

#include "plans/SBPData.h"

#include <algorithm>

namespace {

// A shift's working minutes never count negative: breaks of a shift that is not normal work
// (which has gross 0) do not take hours off the plan.
int64_t NetMinutes(const CSchicht& s) { return std::max<int64_t>(s.NetMinutes(), 0); }

} // namespace

void CSBPInfo::Compute(const CSBPData& plan)
{
    QueueFree(SCHICHTEINSAETZE);
    QueueFree(STDPROSCHICHT);
    BSPROWOCHE = 0;
    MAXSCHICHTEN = 0;
    SUMSCHICHTEN = 0;

    const int64_t strength = plan.GetSchichtgruppenstaerke();
    const uint32_t days = plan.CountDays();
    // Person-minutes, summed exactly and turned into hours once.
    int64_t grossTotal = 0;
    int64_t netTotal = 0;
    for (int32_t n = 1; n <= plan.CountRows(); ++n) {
        const QSBP& row = *plan.GetRow(uint32_t(n));
        const CSchicht shift = row.Schicht();
        const int64_t net = NetMinutes(shift);
        const int64_t gross = shift.GrossMinutes();
        std::array<int64_t, 12> shifts{};
        for (uint32_t d = 1; d <= days; ++d) {
            const int64_t count = row.ANZAHL[d - 1];
            shifts[(d - 1) / 7] += count;
            netTotal += net * count * strength;
            grossTotal += gross * count * strength;
        }
        QWochenwerte counts{row.SYSID, row.KURZBEZEICHNUNG, {}};
        QWochenwerte hours = counts;
        for (std::size_t w = 0; w < shifts.size(); ++w) {
            counts.ANZAHL[w] = Decimal::FromCents(shifts[w] * Decimal::kScale);
            hours.ANZAHL[w] = Decimal::FromRatio(shifts[w] * net * strength, 60);
        }
        QueueAdd(SCHICHTEINSAETZE, std::move(counts));
        QueueAdd(STDPROSCHICHT, std::move(hours));
    }
    BMSGESAMT = Decimal::FromRatio(grossTotal, 60);
    BMSGESAMT_REINEAZ = Decimal::FromRatio(netTotal, 60);
    BMSPROWOCHE = Decimal::FromRatio(netTotal, 60 * int64_t(plan.GetBezugsrahmen()));
    SCHICHTGRUPPENSTAERKE = plan.GetSchichtgruppenstaerke();

    for (uint32_t d = 1; d <= days; ++d) {
        uint32_t sum = 0;
        for (int32_t n = 1; n <= plan.CountRows(); ++n)
            sum += plan.GetRow(uint32_t(n))->ANZAHL[d - 1];
        SUMSCHICHTEN += sum;
        MAXSCHICHTEN = std::max(MAXSCHICHTEN, sum);
    }
}
