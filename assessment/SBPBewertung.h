#pragma once
// CSBPBewertung: the evaluation of a shift demand plan - one violation list per shift type of
// the plan's shift-type list, with the weekdays on which the plan asks for that shift type. The
// entries follow the list from one Evaluate to the next (vanished types dropped with their
// records, new ones appended); the checker clears and refills the lists.
#include "assessment/Verstossliste.h"
#include "platform/values/Queue.h"

#include <cstdint>
#include <memory>

class CSBPData;
class CSchicht;
class CSchichttypen;

struct SBPBewertungEintrag {
    uint32_t SCHICHTID = 0;                       // the shift type's SYSID
    std::unique_ptr<CVerstossliste> VERSTOESSE;   // owned
    uint8_t TAGE = 0;                             // weekday bits 1 Monday .. 64 Sunday
};

class CSBPBewertung {
public:
    CSBPBewertung() = default;
    CSBPBewertung(const CSBPBewertung&) = delete;
    CSBPBewertung& operator=(const CSBPBewertung&) = delete;

    Queue<SBPBewertungEintrag> SBPBEWERTUNG;
    CSchichttypen* SCHICHTEN = nullptr;  // of the last evaluated plan

    // Brings the entries in line with the plan's shift-type list and recomputes their weekdays.
    void Evaluate(const CSBPData& plan);
    // Every entry with its records removed; SCHICHTEN nullptr.
    void Clear();

    // The n-th shift type of SCHICHTEN (begin order); nullptr when there is none.
    CSchicht* GetSchicht(long n) const;
    // The entry's weekdays; 0 without entry.
    uint8_t GetTage(uint32_t sysId) const;
    // The entry's list; nullptr without entry.
    CVerstossliste* GetVerstossliste(uint32_t sysId) const;
    // Entries whose list holds a record.
    long CountViolatingShiftTypes() const;

private:
    const SBPBewertungEintrag* Find(uint32_t sysId) const;
};
