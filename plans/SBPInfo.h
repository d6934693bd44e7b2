#pragma once
// CSBPInfo: the key figures of a shift demand plan for the table inspector and the generation
// commands. QWochenwerte is the per-week row that the shift demand and the working-time plan's
// key figures share.
#include "platform/values/Decimal.h"
#include "platform/values/Queue.h"

#include <array>
#include <cstdint>
#include <string>

class CSBPData;

// One shift type's values in weeks 1-12: shifts, or person-hours.
struct QWochenwerte {
    uint32_t SCHICHTID = 0;       // the shift type's SYSID; 0 for a sum row
    std::string BEZEICHNUNG;      // the shift type's short name
    std::array<Decimal, 12> ANZAHL{};
};

class CSBPInfo {
public:
    uint32_t BSPROWOCHE = 0;          // never computed
    Decimal BMSGESAMT;                // gross person-hours
    Decimal BMSGESAMT_REINEAZ;        // net person-hours
    Decimal BMSPROWOCHE;              // net person-hours per week
    uint16_t SCHICHTGRUPPENSTAERKE = 0;
    // The most shifts on one day and all shifts of the plan. Held wide: a day with more than
    // 255 shifts is a real answer, not a wrapped one.
    uint32_t MAXSCHICHTEN = 0;
    int64_t SUMSCHICHTEN = 0;
    Queue<QWochenwerte> SCHICHTEINSAETZE;  // shifts per week, one row per plan row
    Queue<QWochenwerte> STDPROSCHICHT;     // net person-hours per week, the same rows

    // Fills every field from the plan. Each value is computed exactly and rounded once to two
    // places; a division by zero gives 0.
    void Compute(const CSBPData& plan);
};
