#pragma once
// CFlexAZ: the flex working-time plan of a worksheet of kind 2 - dated working-time entries of one
// person, each with a kind, a begin and end on the time line of its day (ENDE may pass 1440) and up
// to five breaks. The entries stand in order of (DATUM, BEGINN) after every change.
//
// CFlexAZSavableManager stores them as the sub-file "Flexzeiten" (layout FLEX), one record per
// entry per undo step. The violations of each entry are not kept here: the flex list evaluates
// the entries itself (worksheets/FlexAZGrid.h), since the criteria live above this floor.
//
// The worksheet turns the entries into its working-time plan with BuildAZP: one group per calendar
// week, one shift type per entry, so that evaluation, inspectors and costs work as for a rota.
#include "core/SavableManager.h"
#include "core/Schicht.h"
#include "core/Termin.h"
#include "platform/values/Queue.h"

#include <array>
#include <cstdint>
#include <memory>

class CAZPData;
class CSchichttypen;
class CFlexAZ;

// A flex entry held as a shift: the shift's fields, its date and the person.
class CFlexSchicht : public CSchicht {
public:
    int32_t DATUM = 0;
    int32_t ARBEITNEHMER = 0;

    // Every member cleared (the shift's Clear, date and person 0).
    void Clear();
};

// One entry: the fields of the FLEX record in its order.
struct QFLEXAZ {
    int32_t ID = 0;
    int32_t STEP = 0;
    uint32_t SYSID = 0;
    uint8_t ART = ART_NORMAL;
    int32_t DATUM = 0;
    int32_t ARBEITNEHMER = 0;
    uint8_t AUSLASTUNG = 0;
    uint8_t AUSLASTUNG_BERUECKSICHTIGEN = 0;
    ::TERMIN TERMIN;
    std::array<PAUSE, 5> PAUSEN{};
};

class CFlexAZSavableManager : public CSavableManager {
public:
    explicit CFlexAZSavableManager(CFlexAZ& plan) : FLEXAZ(plan) {}

    void DefineSubfile(CSubfileManager* parent) override;
    // A flex plan has no reference period: nothing to set up.
    uint8_t ResetData() override;
    void ClearData() override;
    uint8_t TakeRecord() override;
    // Entry n into the FLEX record buffer; STORE_REFUSED past the last entry.
    uint8_t PutRecord(int n) override;
    void AfterLoad() override;

private:
    CFlexAZ& FLEXAZ;
};

class CFlexAZ {
public:
    CFlexAZ();
    ~CFlexAZ();
    CFlexAZ(const CFlexAZ&) = delete;
    CFlexAZ& operator=(const CFlexAZ&) = delete;

    ISavable& GetSavable();

    // Number of the entry being changed, which the overlap test skips; 0 otherwise.
    int32_t SKIPINCHECK = 0;

    long Count() const { return long(QueueRecords(FLEXZEITEN)); }
    // Copies the shift's fields into a new entry, inserted behind entries of equal date and begin.
    // Returns its position.
    long Add(const CFlexSchicht& shift);
    // Copies entry n into the shift; false (shift untouched) for n = 0 or n > Count.
    bool getByIndex(long n, CFlexSchicht& shift) const;
    const QFLEXAZ* Entry(long n) const { return n >= 1 ? QueueGet(FLEXZEITEN, std::size_t(n)) : nullptr; }
    // Writes the shift's fields into entry n (its place in the order is restored by Sort).
    bool Put(long n, const CFlexSchicht& shift);
    bool Delete(long n);
    void Clear();
    // By DATUM, then BEGINN; equal entries keep their order.
    void Sort();
    // The first entry with this date and begin; 0 when there is none.
    long Find(int32_t date, uint32_t begin) const;
    // The first entry of this date; 0 when there is none.
    long FindDate(int32_t date) const;
    void CopyFrom(const CFlexAZ& source);

    // 1 when the shift's working time overlaps no other entry of its date, the day before or the
    // day after (entry SKIPINCHECK excepted), 0 when it overlaps one. Breaks play no part; touching
    // ends do not overlap.
    uint8_t FindOverlap(const CFlexSchicht& shift) const;
    // The Monday of the first entry's week and the Sunday of the last entry's week; both left as
    // they are when the plan has no entry with a valid date. False then.
    bool GetPeriod(int32_t& first, int32_t& last) const;
    // Rebuilds the working-time plan and the shift types from the entries: every shift type and
    // group is deleted; each entry taken becomes a shift type of its own in the cell (weekday, week)
    // of a plan with one week per group. Unless fromStart, entries before `from` are left out and
    // the first group is the week of `from`; unless toEnd, entries after `to` are left out. With
    // fromStart the first group is the week of the first entry taken. Entries without a valid date
    // are left out. Of two entries on one day the later one holds the cell.
    void BuildAZP(CAZPData& azp, CSchichttypen& types, int32_t from, int32_t to, bool toEnd, bool fromStart) const;

    // The loaded entries (store only).
    void AppendLoaded(const QFLEXAZ& entry) { FLEXZEITEN.Rows().push_back(entry); }

private:
    std::unique_ptr<CFlexAZSavableManager> SAVABLEMANAGER;
    Queue<QFLEXAZ> FLEXZEITEN;
};

// The weekday of a day number (1 Monday .. 7 Sunday; day 1 is a Monday) and the Monday of its week.
int32_t WeekdayOf(int32_t date);
int32_t MondayOf(int32_t date);
