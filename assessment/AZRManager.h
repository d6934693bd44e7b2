#pragma once
// CAZRManager: the compensation bookkeeping of the rest criterion (KR2). A shortened rest may be
// made good by a long rest within the same compensation block (a run of whole weeks of the
// cycle); the manager collects the long rests of one block, smallest first, and hands them out
// one at a time. The queue refers to the rest periods of the evaluation being checked, so it is
// cleared before and after every check that uses it.
#include "core/Termin.h"
#include "platform/values/Queue.h"

#include <cstdint>

class CRuhezeitNode;
class CRuhezeiten;

struct AZRENTRY {
    CRuhezeitNode* ARZ = nullptr;  // a rest period of the evaluation
    uint32_t DAUER = 0;            // its free minutes when it was collected
};

class CAZRManager {
public:
    Queue<AZRENTRY> QARZ;  // ascending DAUER
    long AZ_BEGINN = 0;    // first and last day of the block the queue holds
    long AZ_ENDE = 0;
    long AZ_ZYKLUS = -1;   // number of that block; -1: none

    void Clear();
    void Release() { Clear(); }
    void CopyFrom(const CAZRManager& other);

    // Fills the queue with the rests of the block of periodDays days that holds day d, keeping
    // those with at least `minimum` free minutes. Nothing is done when the queue already holds that
    // block. A block that runs past the cycle's last day goes on at the cycle's start. A day past
    // the cycle's end is the same day of the cycle; a period below one week holds no block.
    void Collect(long day, long periodDays, const CRuhezeiten& rests, uint32_t minimum);

    // The rest of the first entry with DAUER at least `need`, and the entries after it in turn;
    // nullptr when there are no more.
    CRuhezeitNode* FindFirst(int64_t need);
    CRuhezeitNode* FindNext(int64_t need);
    // Uses up the free part of the rest found last.
    void ConsumeCurrent();

private:
    void CollectDays(long firstDay, long lastDay, const CRuhezeiten& rests, uint32_t minimum);

    std::size_t CURRENT = 0;  // position of the entry found last; 0 none
};

// The overlap of two intervals on a cycle of `period` minutes, where a part past the cycle's end
// counts at its start. An interval that begins past the end (the rest after a night shift on the
// cycle's last day) is taken one cycle earlier first, so its folded part is not counted from 0.
uint32_t RestOverlap(const ::TERMIN& a, const ::TERMIN& b, uint32_t period);
