#pragma once
// CAZPGenerator: the constructive generator. It fills an empty working-time plan from the shift
// demand plan, cell by cell, group after group, day after day: a random draw decides, while the
// group is below the consecutive-day limit and its target of working minutes, whether it gets a
// free day; otherwise the first shift of the day list that keeps the minimum rest and is not a
// fourth identical shift in a row is placed. The last group takes what is left. The tabu search
// then improves the plan.
//
// The target is a weekly figure; a group's worked minutes are compared with it pro rata, for the
// weeks of its row up to the current day, so that every group's free days spread over its row.
//
// AZPDefinitionen is what generating and optimising take from the worksheet's definitions pool:
// the two constraints the generator reads and the pool's criteria, from which the search takes
// its twelve. The caller fills it from the pool; nothing here is owned.
#include "generation/Schichtliste.h"

#include <cstdint>
#include <vector>

class CAZPData;
class CKriterium;
class CRahmenbedingungKontArbeitstage;
class CRahmenbedingungMindestruhezeit;
class CSBPData;

struct AZPDefinitionen {
    const CRahmenbedingungMindestruhezeit* RB4 = nullptr;  // minimum rest; none: no rest limit
    const CRahmenbedingungKontArbeitstage* RB7 = nullptr;  // consecutive working days; none: 0
    std::vector<CKriterium*> KRITERIEN;                    // the pool's criteria, any order

    // The first listed criterion with that number; nullptr when none.
    CKriterium* FindKriterium(long number) const;
};

// The three limits of a run, as Generate reads them.
struct AZPGeneratorLimits {
    uint32_t RUHEZEIT = 0;       // minutes: the larger of RB4's two rests
    uint16_t KONTAZ_MAX = 0;     // RB7
    uint32_t ZIELMINUTEN = 0;    // working minutes aimed at per group and week
};

// Shifts the shift demand plan asks for that the working-time plan does not hold: per day and
// working shift type, the demanded count less the groups working it that day (never below 0);
// standby types are never placed by the generator and do not count.
long CountUnplacedShifts(const CSBPData& sbp, const CAZPData& azp);

class CAZPGenerator {
public:
    const AZPDefinitionen* DEFMANAGER = nullptr;  // source of the limits

    void Init(const AZPDefinitionen& pool) { DEFMANAGER = &pool; }
    // Fills the plan, which has the chosen groups, every cell empty and as many days as the
    // shift demand plan. Only working cells are written.
    void Generate(const CSBPData& sbp, CAZPData& azp);

    // The limits for a plan of `groups` groups (with the shift demand plan's key figures).
    AZPGeneratorLimits ReadLimits(const CSBPData& sbp, uint16_t groups) const;

private:
    // Chooses the entry of the current cell into PICKED; the day list's current entry is it.
    void PickShift();

    // Working state of one Generate.
    CSchichtliste LISTE;
    ListenSchicht PICKED;
    ListenSchicht PREVIOUS;  // last working shift placed; cleared after a free day
    uint16_t TAG = 0, GRUPPE = 0, GRUPPEN = 0;
    int64_t WORKEDMINUTES = 0;  // of the current group's row
    uint32_t KONTTAGE = 0;      // working shifts since the last free day
    uint32_t RUN = 0;           // PREVIOUS placed this many times in a row
    AZPGeneratorLimits LIMITS;
    int64_t TOTALCELLS = 0;
    int64_t FREECELLS = 0;
};
