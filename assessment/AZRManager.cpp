#include "assessment/AZRManager.h"

#include "assessment/Ruhezeiten.h"
#include "core/TimeHelpers.h"

#include <algorithm>

namespace {

::TERMIN IntoCycle(::TERMIN t, uint32_t period)
{
    if (period > 0 && t.BEGINN >= period) {
        const uint32_t shift = t.BEGINN / period * period;
        t.BEGINN -= shift;
        t.ENDE -= shift;
    }
    return t;
}

} // namespace

uint32_t RestOverlap(const ::TERMIN& a, const ::TERMIN& b, uint32_t period)
{
    return CyclicIntervalOverlap(IntoCycle(a, period), IntoCycle(b, period), period);
}

void CAZRManager::Clear()
{
    AZ_BEGINN = 0;
    AZ_ENDE = 0;
    AZ_ZYKLUS = -1;
    QueueFree(QARZ);
    CURRENT = 0;
}

void CAZRManager::CopyFrom(const CAZRManager& other)
{
    if (&other == this)
        return;
    QARZ = other.QARZ;
    AZ_BEGINN = other.AZ_BEGINN;
    AZ_ENDE = other.AZ_ENDE;
    AZ_ZYKLUS = other.AZ_ZYKLUS;
    CURRENT = other.CURRENT;
}

void CAZRManager::Collect(long day, long periodDays, const CRuhezeiten& rests, uint32_t minimum)
{
    const long n = rests.ANZAHLTAGE;
    const long weeks = periodDays / 7;
    if (!rests.ERSTERUHEZEIT || n <= 0 || weeks <= 0 || day < 1) {
        Clear();
        return;
    }
    day = (day - 1) % n + 1;
    const long block = (day - 1) / 7 / weeks;
    if (block == AZ_ZYKLUS)
        return;

    QueueFree(QARZ);
    CURRENT = 0;
    AZ_ZYKLUS = block;
    AZ_BEGINN = periodDays * block + 1;
    AZ_ENDE = AZ_BEGINN + periodDays - 1;
    const bool fromStart = AZ_BEGINN == 1;
    CollectDays(AZ_BEGINN, std::min(AZ_ENDE, n), rests, minimum);
    if (AZ_ENDE > n) {
        // The block goes on at the cycle's start, up to its own last day there. A block that
        // began on day 1 already holds the whole cycle.
        AZ_BEGINN = 1;
        AZ_ENDE %= n;
        if (!fromStart && AZ_ENDE > 0)
            CollectDays(1, AZ_ENDE, rests, minimum);
    }
}

void CAZRManager::CollectDays(long firstDay, long lastDay, const CRuhezeiten& rests, uint32_t minimum)
{
    const uint32_t period = uint32_t(rests.ANZAHLTAGE) * kMinutesPerDay;
    const ::TERMIN days{uint32_t(firstDay - 1) * kMinutesPerDay, uint32_t(lastDay) * kMinutesPerDay};
    CRuhezeitNode* const start = rests.FindRange(uint32_t(firstDay), uint32_t(lastDay), minimum);
    CRuhezeitNode* r = start;
    while (r) {
        if (r->AUSGLEICHSRUHEZEIT >= minimum)
            QueueAdd(QARZ, AZRENTRY{r, r->AUSGLEICHSRUHEZEIT}, std::ranges::less{}, &AZRENTRY::DAUER);
        r = r->NEXT;
        if (r == start || RestOverlap(r->TERMIN, days, period) == 0)
            break;
    }
}

CRuhezeitNode* CAZRManager::FindFirst(int64_t need)
{
    CURRENT = 0;
    return FindNext(need);
}

CRuhezeitNode* CAZRManager::FindNext(int64_t need)
{
    const std::size_t count = QueueRecords(QARZ);
    for (std::size_t pos = CURRENT + 1; pos <= count; ++pos) {
        const AZRENTRY* e = QueueGet(QARZ, pos);
        if (int64_t(e->DAUER) >= need) {
            CURRENT = pos;
            return e->ARZ;
        }
    }
    CURRENT = count;
    return nullptr;
}

void CAZRManager::ConsumeCurrent()
{
    if (AZRENTRY* e = QueueGet(QARZ, CURRENT); e && e->ARZ)
        e->ARZ->Consume();
}
