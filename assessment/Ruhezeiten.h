#pragma once
// The rest periods of an evaluated working-time plan: one per worked shift, from its end to the
// begin of the next worked shift in the rota's cycle, on a circular list in cycle order. The
// rest criteria book compensation on them while they check; Evaluate builds them afresh.
#include "core/Termin.h"

#include <cstdint>
#include <vector>

class CAZPBewertung;

class CRuhezeitNode {
public:
    ::TERMIN TERMIN;                  // from a shift's end to the next begin; ENDE may pass the cycle's end
    uint8_t MRZ_OK = 0;               // a criterion has taken this rest into account
    uint32_t RUHEZEIT = 0;            // lowered when part of it is booked as compensation
    uint32_t AUSGLEICHSRUHEZEIT = 0;  // the part still free to compensate shortened rests
    uint16_t ANZAHLRUHETAGE = 0;      // whole rest days booked from it
    CRuhezeitNode* NEXT = nullptr;
    CRuhezeitNode* PREVIOUS = nullptr;

    // A fresh rest of the given minutes from begin.
    void Set(uint32_t begin, uint32_t minutes);
    uint32_t GetRuhezeit() const { return RUHEZEIT; }
    uint32_t GetAusgleichsruhezeit() const { return AUSGLEICHSRUHEZEIT; }
    // Books days whole days plus minutes as compensation. Never more than the free part is taken
    // and no value goes below 0.
    void Compensate(uint16_t days, uint32_t minutes);
    // The free part is used up.
    void Consume();
};

class CRuhezeiten {
public:
    CRuhezeiten() = default;
    CRuhezeiten(const CRuhezeiten&) = delete;
    CRuhezeiten& operator=(const CRuhezeiten&) = delete;

    CRuhezeitNode* ERSTERUHEZEIT = nullptr;  // head, nullptr when empty
    long ANZAHLTAGE = 0;                     // cycle length in days

    // Rebuilds the list from the evaluation's shift nodes; without an evaluation (or without
    // shift nodes) the list is empty.
    void Build(const CAZPBewertung* evaluation);
    // Frees the rest nodes.
    void Release();

    // The rest period covering the span on the cycle (a part past the cycle's end counts at its
    // start); nullptr when none.
    CRuhezeitNode* FindAt(const ::TERMIN& interval) const;
    // From the rest period FindAt gives for the days firstDay..lastDay, the first one along the
    // list that still overlaps those days and has at least minutes free for compensation.
    CRuhezeitNode* FindRange(uint32_t firstDay, uint32_t lastDay, uint32_t minutes) const;

    long Count() const { return static_cast<long>(COUNT); }

private:
    uint32_t Period() const { return uint32_t(ANZAHLTAGE) * 1440u; }

    // The nodes live here; the storage is kept between builds so that evaluating the same plan
    // size again allocates nothing.
    std::vector<CRuhezeitNode> NODES;
    std::size_t COUNT = 0;
};
