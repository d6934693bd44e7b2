#include "generation/SBPVariableMap.h"

void CSBPVariableMap::Init(long steps, long lengths, uint16_t dt, uint16_t slminMinutes, uint16_t dayStart)
{
    ITSSTEPS = steps;
    ITSNSL_MAX = lengths;
    ITSDT = dt;
    ITSSLMIN = dt ? uint16_t(slminMinutes / dt) : 0;
    ITSTA = dayStart;
}

long CSBPVariableMap::Count() const
{
    return ITSSTEPS > 0 && ITSNSL_MAX > 0 ? ITSSTEPS * ITSNSL_MAX : 0;
}

::TERMIN CSBPVariableMap::GetTermin(long j) const
{
    ::TERMIN t;
    t.BEGINN = uint32_t(ITSTA + GetStart(j) * ITSDT);
    t.ENDE = uint32_t(t.BEGINN + GetLength(j) * ITSDT);
    return t;
}

bool CSBPVariableMap::Covers(long j, long t) const
{
    const long s = GetStart(j);
    return s < t && t <= s + GetLength(j);
}
