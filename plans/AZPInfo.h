#pragma once
// CAZPInfo: the key figures of a working-time plan for the inspectors, the overall rating and the
// average-WAZ message.
#include "platform/values/Decimal.h"
#include "platform/values/Queue.h"
#include "plans/SBPInfo.h"

#include <cstdint>

class CAZPData;

class CAZPInfo {
public:
    Decimal BMSGESAMT_REINEAZ;  // net hours of all shifts of the plan, all persons
    Decimal BMSPROWOCHE;        // the same per week
    Decimal WAZ;                // average weekly working hours of one person
    int32_t ZYKLUSLAENGE = 0;   // groups x weeks
    int32_t PLANBELEGSCHAFT = 0;  // groups x persons per group
    // Per shift type of the plan's list, in list order: shifts per week ...
    Queue<QWochenwerte> SCHICHTEINSAETZE;
    // ... and person-hours per week, followed by the row "WAZ" (SCHICHTID 0) with each week's
    // total.
    Queue<QWochenwerte> STDPROSCHICHT;

    // Fills every field from the plan with `strength` persons per group. Each value is computed
    // exactly and rounded once to two places; a division by zero gives 0.
    void Compute(const CAZPData& plan, int32_t strength);
};
