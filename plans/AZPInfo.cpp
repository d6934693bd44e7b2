#include "plans/AZPInfo.h"

#include "core/Schicht.h"
#include "plans/AZPData.h"
#include "plans/Schichttypen.h"

#include <algorithm>
#include <utility>
#include <vector>

void CAZPInfo::Compute(const CAZPData& plan, int32_t strength)
{
    QueueFree(SCHICHTEINSAETZE);
    QueueFree(STDPROSCHICHT);

    // One row per shift type in list order, with its shifts counted per week. The cells are
    // matched to the rows by SYSID through a sorted index (the first row of an id wins).
    std::vector<std::array<int64_t, 12>> shifts;
    std::vector<const CSchicht*> types;
    std::vector<std::pair<uint32_t, std::size_t>> index;
    if (CSchichttypen* list = plan.GetSchichttypen()) {
        for (long n = 1; const CSchicht* type = list->GetByIndex(n); ++n) {
            index.emplace_back(type->SYSID, types.size());
            types.push_back(type);
        }
    }
    shifts.resize(types.size());
    std::ranges::stable_sort(index, {}, &std::pair<uint32_t, std::size_t>::first);

    const uint32_t days = plan.CountDays();
    const uint32_t groups = plan.CountGroups();
    for (uint32_t g = 1; g <= groups; ++g) {
        for (uint32_t d = 1; d <= days; ++d) {
            const uint32_t id = plan.GetCell(d, g);
            if (id == 0)
                continue;
            auto at = std::ranges::lower_bound(index, id, {}, &std::pair<uint32_t, std::size_t>::first);
            if (at != index.end() && at->first == id)
                ++shifts[at->second][(d - 1) / 7];
        }
    }

    const int64_t weeks = plan.GetBezugsrahmen();
    std::array<int64_t, 12> weekMinutes{};  // person-minutes of each week
    for (std::size_t k = 0; k < types.size(); ++k) {
        // A shift that is not normal work never takes hours off the plan.
        const int64_t net = std::max<int64_t>(types[k]->NetMinutes(), 0);
        QWochenwerte counts{types[k]->SYSID, types[k]->KURZBEZEICHNUNG, {}};
        QWochenwerte hours = counts;
        for (int64_t w = 0; w < 12; ++w) {
            counts.ANZAHL[w] = Decimal::FromCents(shifts[k][w] * Decimal::kScale);
            if (w < weeks) {
                const int64_t minutes = shifts[k][w] * strength * net;
                hours.ANZAHL[w] = Decimal::FromRatio(minutes, 60);
                weekMinutes[w] += minutes;
            }
        }
        QueueAdd(SCHICHTEINSAETZE, std::move(counts));
        QueueAdd(STDPROSCHICHT, std::move(hours));
    }

    int64_t total = 0;
    QWochenwerte sums{0, "WAZ", {}};
    for (std::size_t w = 0; w < 12; ++w) {
        total += weekMinutes[w];
        sums.ANZAHL[w] = Decimal::FromRatio(weekMinutes[w], 60);
    }
    ZYKLUSLAENGE = int32_t(groups * weeks);
    PLANBELEGSCHAFT = int32_t(int64_t(groups) * strength);
    BMSGESAMT_REINEAZ = Decimal::FromRatio(total, 60);
    BMSPROWOCHE = Decimal::FromRatio(total, 60 * weeks);
    WAZ = Decimal::FromRatio(total, 60 * int64_t(ZYKLUSLAENGE) * strength);
    QueueAdd(STDPROSCHICHT, std::move(sums));
}
