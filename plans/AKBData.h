#pragma once
// CAKBData: the staff demand of a worksheet as a step function - a list of spans with a head
// count, kept sorted, disjoint and cut at midnight, so that the grid shows one column per day and
// one row per span of that day. Stored as the sub-file "Arbeitskraeftebedarf" (layout AKB).
//
// Time: minute stamps from the start of day 1; P, the plan length, is weeks * 10080 minutes.
// Spans given to MergeDemand and AddDemand are folded into the plan (P + x becomes x).
//
// After every MergeDemand, AddDemand and Normalize: spans sorted by BEGINN, BEGINN < ENDE, no
// overlaps, every span within one day, ANZAHL >= 1, two touching spans of one day have different
// counts, and the column sums match the list.
#include "plans/AKBEintrag.h"
#include "plans/AKBInfo.h"
#include "platform/values/Queue.h"

#include <array>
#include <cstdint>
#include <memory>

class ISavable;
class CAKBSavableManager;
class CDefinitionspool;

// Days the plan arrays have room for (twelve weeks).
constexpr uint32_t AKB_TAGE = 84;
constexpr uint16_t AKB_MAX_WOCHEN = 12;

struct AKBRow {
    std::unique_ptr<CAKBEintrag> AKBEINTRAG;
    uint32_t SORTFIELD = 0;
};

class CAKBData {
public:
    CAKBData();
    ~CAKBData();
    CAKBData(const CAKBData&) = delete;
    CAKBData& operator=(const CAKBData&) = delete;

    // The stored part (project store interface).
    ISavable& GetSavable();

    uint16_t GetBezugsrahmen() const { return BEZUGSRAHMEN; }
    uint16_t CountDays() const { return uint16_t(BEZUGSRAHMEN * 7); }
    // The largest number of spans on one day (the grid's row count); 0 for an empty list.
    uint32_t GetMaxZeilen() const { return MAXZEILEN; }
    // Spans whose begin lies on days 1..day (running count); 0 for day 0 or beyond 84.
    uint32_t GetSpaltensumme(uint32_t day) const;

    // The row-th span of the day (both 1-based), by index arithmetic; nullptr when there is none.
    CAKBEintrag* GetEntry(uint32_t day, uint32_t row) const;
    // The first span of the stamp's day with BEGINN <= stamp <= ENDE (both ends included).
    CAKBEintrag* FindEntryAt(uint32_t stamp) const;

    // All spans in list order (for the editor and the storage part).
    long Count() const { return long(QueueRecords(EINTRAEGE)); }
    CAKBEintrag* GetByIndex(long n) const;
    // Removes a span of the list (column sums follow). False when the span is not in the list.
    bool DeleteEntry(const CAKBEintrag* span);

    // Sets the demand over the span to its count (0 erases). continuous: the span is one block,
    // cut at each midnight; otherwise its time of day is repeated on every day from its first to
    // its last day. The caller keeps its object. Nothing while the reference period is 0.
    void MergeDemand(const CAKBEintrag& span, bool continuous);
    // Adds the span's count to the demand over it. A sum above 255 is held at 255; the result is
    // true when that happened (the caller tells the user once, ShowAKBCapMessage).
    bool AddDemand(const CAKBEintrag& span);
    // Restores the invariants on any list. Where spans overlap, a span with count 0 erases the
    // demand, else newSpan (in the list, or nullptr) wins, else the span that comes first in
    // begin order.
    void Normalize(CAKBEintrag* newSpan);
    void RecalcColumnSums();
    // Releases every span; column sums and row count 0.
    void Clear();

    // Sets the reference period (at most 12 weeks). Shrinking drops the spans of the removed days
    // and saves the staff demand as its only undo step (a failure is shown and returned);
    // growing adds nothing.
    uint8_t SetBezugsrahmen(uint16_t weeks);
    // Clear, then the source's weeks and a copy of every span.
    void CopyFrom(const CAKBData& source);

    // Key figures; also shows "Anzahl Einträge im AKB: n" in the status bar of the current window.
    void ComputeInfo(CAKBInfo& info) const;

    // For the shift demand generator: a day cut into steps of `length` minutes from the `offset`
    // minute of the day; stamps are taken modulo P, so the last day wraps to day 1.
    // The demand during step s (1-based): the largest count at any minute within it, so that a
    // short peak inside a step is never lost.
    uint16_t DemandAt(uint16_t day, uint16_t step, uint16_t offset, uint16_t length) const;
    // The begin of the first step (the end of the last step) of the day with demand at any of its
    // minutes, as a full minute stamp; 0 when none.
    uint32_t FindFirstDemandStep(uint16_t day, uint16_t offset, uint16_t length) const;
    uint32_t FindLastDemandStep(uint16_t day, uint16_t offset, uint16_t length) const;
    // Whether two days have the same demand: never reported.
    bool TestStep(uint16_t, uint16_t, uint16_t, const CDefinitionspool*) const { return false; }

    // Appends a span as it comes (records come back in list order); the list counts as not
    // normalised until RecalcColumnSums finds it in order or the next change normalises it.
    void AppendLoaded(const CAKBEintrag& span);

private:
    friend class CAKBSavableManager;

    // Plan length in minutes.
    uint32_t PlanMinutes() const { return uint32_t(BEZUGSRAHMEN) * 10080u; }
    uint32_t Fold(uint32_t stamp) const;
    uint32_t WrapStamp(int64_t stamp) const;
    // The largest count of a span overlapping the minutes [from, to), taken modulo P.
    uint16_t PeakDemand(int64_t from, int64_t to) const;
    template <class Op>
    void ApplyRange(uint32_t begin, uint32_t end, Op op);
    void SetRange(uint32_t begin, uint32_t end, unsigned count);
    bool AddRange(uint32_t begin, uint32_t end, unsigned count);
    void SumDayCounts();
    // Whether the list already satisfies the invariants.
    bool IsNormal() const;
    // The weeks without dropping spans or saving (a new document).
    void ResetWeeks(uint16_t weeks);
    // After loading: column sums, and the invariants restored should the records break them.
    void AfterLoad();

    std::unique_ptr<CAKBSavableManager> SAVABLEMANAGER;
    // Running counts, wide enough for 84 days of single minutes; index 1..84, [0] stays 0.
    std::array<uint32_t, AKB_TAGE + 1> SPALTENSUMME{};
    std::array<uint32_t, AKB_TAGE + 1> DAYCOUNT{};  // spans beginning on each day
    uint32_t MAXZEILEN = 0;
    Queue<AKBRow> EINTRAEGE;
    uint16_t BEZUGSRAHMEN = 0;
    bool NORMAL = true;  // false after loading until the list is normalised
};

// Tells the user that a computed demand was held at 255 persons somewhere.
void ShowAKBCapMessage();
