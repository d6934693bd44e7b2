#include "assessment/Ruhezeiten.h"

#include "assessment/AZPBewertung.h"
#include "core/TimeHelpers.h"

#include <algorithm>

void CRuhezeitNode::Set(uint32_t begin, uint32_t minutes)
{
    TERMIN = {begin, begin + minutes};
    MRZ_OK = 0;
    RUHEZEIT = minutes;
    AUSGLEICHSRUHEZEIT = minutes;
    ANZAHLRUHETAGE = 0;
}

void CRuhezeitNode::Compensate(uint16_t days, uint32_t minutes)
{
    // Unsigned minutes: every subtraction stops at 0, so a booking larger than the rest can never
    // wrap round to a huge rest that would pass every later check.
    const uint32_t d = uint32_t(days) * kMinutesPerDay;
    if (uint64_t(minutes) + d > AUSGLEICHSRUHEZEIT)
        minutes = AUSGLEICHSRUHEZEIT > d ? AUSGLEICHSRUHEZEIT - d : 0;
    const uint32_t booked = d + minutes;
    RUHEZEIT -= std::min(RUHEZEIT, booked);
    const uint32_t taken = ANZAHLRUHETAGE == 0 ? d : booked;
    AUSGLEICHSRUHEZEIT -= std::min(AUSGLEICHSRUHEZEIT, taken);
    ANZAHLRUHETAGE = uint16_t(ANZAHLRUHETAGE + days);
    MRZ_OK = 1;
}

void CRuhezeitNode::Consume()
{
    AUSGLEICHSRUHEZEIT = 0;
    MRZ_OK = 1;
}

void CRuhezeiten::Build(const CAZPBewertung* evaluation)
{
    ERSTERUHEZEIT = nullptr;
    ANZAHLTAGE = 0;
    COUNT = 0;
    if (!evaluation || !evaluation->ERSTESCHICHT)
        return;
    ANZAHLTAGE = evaluation->CellCount();
    const std::size_t n = std::size_t(evaluation->ShiftCount());
    if (NODES.size() < n)
        NODES.resize(n);
    COUNT = n;
    const CSchichtNode* shift = evaluation->ERSTESCHICHT;
    for (std::size_t i = 0; i < n; ++i, shift = shift->NEXT) {
        CRuhezeitNode& r = NODES[i];
        r.Set(shift->TERMIN.ENDE, shift->RUHEZEIT);
        r.NEXT = &NODES[i + 1 < n ? i + 1 : 0];
        r.PREVIOUS = &NODES[i > 0 ? i - 1 : n - 1];
    }
    ERSTERUHEZEIT = &NODES[0];
}

void CRuhezeiten::Release()
{
    Build(nullptr);
    std::vector<CRuhezeitNode>().swap(NODES);
}

CRuhezeitNode* CRuhezeiten::FindAt(const ::TERMIN& interval) const
{
    if (!ERSTERUHEZEIT)
        return nullptr;
    const uint32_t period = Period();
    CRuhezeitNode* last = ERSTERUHEZEIT->PREVIOUS;
    if (period > 0 && last->TERMIN.ENDE > period && interval.BEGINN < last->TERMIN.ENDE % period)
        return last;
    CRuhezeitNode* r = ERSTERUHEZEIT;
    do {
        if (CyclicIntervalOverlap(r->TERMIN, interval, period) > 0)
            return r;
        r = r->NEXT;
    } while (r != ERSTERUHEZEIT);
    return nullptr;
}

CRuhezeitNode* CRuhezeiten::FindRange(uint32_t firstDay, uint32_t lastDay, uint32_t minutes) const
{
    const ::TERMIN days{(firstDay > 0 ? firstDay - 1 : 0) * kMinutesPerDay, lastDay * kMinutesPerDay};
    CRuhezeitNode* start = FindAt(days);
    CRuhezeitNode* r = start;
    while (r) {
        if (r->AUSGLEICHSRUHEZEIT >= minutes)
            return r;
        CRuhezeitNode* next = r->NEXT;
        if (next == start || CyclicIntervalOverlap(next->TERMIN, days, Period()) == 0)
            return nullptr;
        r = next;
    }
    return nullptr;
}
