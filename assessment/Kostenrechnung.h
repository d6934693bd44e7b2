#pragma once
// CKostenrechnung: what one week of a worksheet's plans costs in wages - the staff demand line by
// line, the shift demand plan shift type by shift type and the working-time plan group by group,
// each per weekday and split into base pay, allowances, surcharges and on-call pay. It prices with
// the rules of the cost criteria (CKriteriumKosten) on a KR22 object of its own that holds the
// worksheet's cost settings, so the cost inspector and the cost criteria agree on every amount.
// It knows no window: the cost inspector shows the rows it leaves in three queues.
#include "assessment/AZPBewertung.h"
#include "assessment/KriterienKosten.h"
#include "platform/values/Queue.h"

#include <array>
#include <cstdint>
#include <string>

class CAKBData;
class CAZPData;
class CKosten;
class CRahmenbedingungWAZMittel;
class CSBPData;
class CSchicht;
class CSchichttypen;

// The money of one weekday of a row.
struct KostenTag {
    double LOHN = 0;        // base pay
    double ZULAGEN = 0;     // allowances
    double ZUSCHLAEGE = 0;  // surcharges
    double DIENSTE = 0;     // on-call pay
    double SUMME = 0;       // the four added
};

// One row of a cost matrix.
struct KostenZeile {
    std::string BEZEICHNUNG;            // "Gruppe n", "Woche n", a shift type's name; blank for demand
    std::array<KostenTag, 7> WOCHENTAG{};  // Monday .. Sunday
    double WAZ_ZUSCHLAEGE = 0;          // weekly-hours surcharges (working-time plan only)
    double SUMME_LOHN = 0, SUMME_ZULAGEN = 0, SUMME_ZUSCHLAEGE = 0, SUMME_DIENSTE = 0;
    double SUMME_GESAMT = 0;            // the seven sums plus the weekly-hours surcharges
};

class CKostenrechnung {
public:
    CKostenrechnung();
    CKostenrechnung(const CKostenrechnung&) = delete;
    CKostenrechnung& operator=(const CKostenrechnung&) = delete;

    // The settings to price with (not owned; without them everything costs 0) and the
    // constraint whose week frame the weekly-hours surcharges count in.
    void SetKosten(CKosten* kosten, CRahmenbedingungWAZMittel* rb15);

    // What `persons` persons of the shift type cost on plan day `day` (1 a Monday). A normal
    // shift is priced from its begin for its paid minutes, every other kind over its times; an
    // empty span costs nothing. Persons are counted in 64 bits.
    KostenTag PriceShift(const CSchicht& shift, uint32_t day, int64_t persons) const;

    // Week `week` (1 ..) of the plan: one row per group, "Gruppe n" (or "Woche n" for a flex
    // worksheet), each day priced for the group strength, and the weekly-hours surcharges of the
    // group's cycle week.
    void ComputeAZP(Queue<KostenZeile>& rows, const CAZPData& plan, uint16_t week, int32_t strength, bool flex);
    // One row per row of the plan whose shift type (found by SYSID) has a priced span: the day's
    // count times the group strength persons.
    void ComputeSBP(Queue<KostenZeile>& rows, const CSBPData& plan, const CSchichttypen& types, uint16_t week,
                    int32_t strength);
    // One row per line of the demand (the most entries of one day): each entry's count of
    // persons over its span, without overtime, on-call pay or pay factor.
    void ComputeAKB(Queue<KostenZeile>& rows, const CAKBData& demand, uint16_t week);

private:
    static void AddUp(KostenZeile& row);

    CKriteriumPlankosten KR22;
    CAZPBewertung BEWERTUNG;   // kept, so a plan of the same size is evaluated without allocating
};
