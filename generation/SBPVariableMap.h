#pragma once
// CSBPVariableMap: the column numbering of one day model of the shift demand generator. Every
// column is a candidate shift: a start step within the operating day and a length, both on the
// time grid. Column j (1-based) starts at step s = (j - 1) div ITSNSL_MAX (0-based) and lasts
// ITSSLMIN + (j - 1) mod ITSNSL_MAX steps, so the columns of one start step lie side by side.
#include "core/Termin.h"

#include <cstdint>

class CSBPVariableMap {
public:
    long ITSNSL_MAX = 0;    // number of shift lengths
    uint16_t ITSDT = 0;     // time grid, minutes
    uint16_t ITSSLMIN = 0;  // shortest length in steps
    uint16_t ITSTA = 0;     // time of day of step 0, minutes
    long ITSSTEPS = 0;      // steps of the day model

    // steps and lengths of the model, the grid, the shortest length in minutes and the time of
    // day at which step 0 begins.
    void Init(long steps, long lengths, uint16_t dt, uint16_t slminMinutes, uint16_t dayStart);

    // Columns of the model: steps x lengths (0 when either is not positive).
    long Count() const;
    // The column's start step (0-based) and length in steps.
    long GetStart(long j) const { return (j - 1) / ITSNSL_MAX; }
    long GetLength(long j) const { return ITSSLMIN + (j - 1) % ITSNSL_MAX; }
    // The column's shift on the time line of day 1; BEGINN may lie beyond 1440 (the next day).
    ::TERMIN GetTermin(long j) const;
    // Whether the column's shift works during step t (1-based): s < t <= s + length.
    bool Covers(long j, long t) const;
};
