#pragma once
// CSchichtliste: the day lists of the constructive generator. For every plan day one list of the
// shifts the shift demand plan asks for, topped up with free entries to one entry per group. The
// generator walks a day's list, picks an entry for a cell and deletes it, so that each demanded
// shift is placed at most once.
//
// The list has a current day (SelectTag) and within it a current entry (SelectSchicht,
// NextSchicht, FindFreeSchicht) that DeleteCurrent removes. Results are 0 done, 5 not.
#include "core/Termin.h"
#include "platform/values/Queue.h"

#include <cstdint>
#include <memory>

class CSBPData;

// Groups from which a day's entries are inserted at random places instead of appended.
constexpr uint16_t kZufallsreihenfolgeAb = 20;

// One entry of a day list; the generator keeps its picked entry and the previous working shift
// in the same form.
struct ListenSchicht {
    ::TERMIN TERMIN;     // minute stamps of the shift type (0 in a free entry)
    uint32_t SYSID = 0;  // the shift type; 0 in a free entry
    uint8_t ART = 0;     // 1 a working shift, 2 a free day
    bool operator==(const ListenSchicht&) const = default;
};

constexpr uint8_t LISTE_ARBEIT = 1;
constexpr uint8_t LISTE_FREI = 2;

struct ListenTag {
    std::unique_ptr<Queue<ListenSchicht>> SCHICHTEN;
};

class CSchichtliste {
public:
    CSchichtliste() { Construct(); }
    ~CSchichtliste() { Release(); }
    CSchichtliste(const CSchichtliste&) = delete;
    CSchichtliste& operator=(const CSchichtliste&) = delete;

    std::unique_ptr<Queue<ListenTag>> TAGE;  // one entry per plan day, in day order

    void Construct();
    // FreeAll, then the day queue itself goes.
    void Release();
    // Deletes every day with its entries.
    void FreeAll();

    // One list per day of the plan (weeks x 7): the demanded working shifts of the plan's shift
    // types in list order (counts found by SYSID), taking no further type once the day holds
    // `groups` entries, then free entries up to `groups`. From 20 groups on each entry goes to a
    // random place. The lists built before are freed first.
    void BuildFromSBP(const CSBPData& sbp, uint16_t groups);

    // Makes the day current with no current entry; a day outside the lists changes nothing.
    void SelectTag(uint16_t day);
    // Entry n of the current day into `record` and current; 5 (record untouched) when none.
    uint8_t SelectSchicht(uint16_t n, ListenSchicht& record);
    // The entry after the current one (after entry 1 when none is current); 5 at the end.
    uint8_t NextSchicht(ListenSchicht& record);
    // The day's first free entry becomes current; its number goes to *position (0 when none).
    uint8_t FindFreeSchicht(uint16_t* position = nullptr);
    // Deletes the current entry of the current day; nothing when none is current.
    uint8_t DeleteCurrent();

    // For the generator and tests: the current day's entry count and its current entry (0 none).
    uint32_t CountCurrentDay() const;
    uint32_t CurrentPosition() const { return POSITION; }
    uint16_t CurrentDay() const { return TAG; }
    // Entry n of day d, nullptr when none (read only).
    const ListenSchicht* Get(uint16_t day, uint32_t n) const;
    uint32_t CountDay(uint16_t day) const;

private:
    Queue<ListenSchicht>* Day(uint16_t day) const;
    static void Put(Queue<ListenSchicht>& day, const ListenSchicht& entry, uint16_t groups);

    uint16_t TAG = 0;       // current day, 0 none
    uint32_t POSITION = 0;  // current entry of that day, 0 none
};
