#pragma once
// CSBPData: the shift demand plan of a worksheet. For every shift type of the worksheet one row
// holding a copy of the shift type's fields and, per day 1-84, the number of shift groups that
// work it. Rows follow the shift types by SYSID (SyncSchichttypen) and stand in order of begin.
// Days outside 1 .. CountDays() read as 0 and are never written.
//
// CSBPSavableManager stores the plan as the sub-file "Schichtbedarf" (one SBP record per row:
// SYSID and the 84 counts; the shift fields come back from the shift types after loading).
#include "core/Schicht.h"
#include "core/SavableManager.h"
#include "core/Termin.h"
#include "platform/values/Queue.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

class CAKBData;
class CSchichttypen;
class CSBPData;

constexpr uint32_t kPlanDays = 84;
constexpr uint16_t kPlanWeeks = 12;
// A day count is one byte in the stored record.
constexpr uint32_t kMaxTagesanzahl = 255;

// One row of the plan.
struct QSBP {
    int32_t ID = 0;
    int32_t STEP = 0;
    uint32_t SYSID = 0;
    uint8_t ART = 0;
    std::string BEZEICHNUNG;
    std::string KURZBEZEICHNUNG;
    uint8_t AUSLASTUNG = 0;
    uint8_t AUSLASTUNG_BERUECKSICHTIGEN = 0;
    ::TERMIN TERMIN;
    std::array<PAUSE, 5> PAUSEN{};
    std::array<uint8_t, kPlanDays> ANZAHL{};  // day d at index d - 1

    // The shift fields (ID through PAUSEN) as a shift, classified by its begin.
    CSchicht Schicht() const;
    // Takes ID through PAUSEN of the shift; the counts stay.
    void SetShiftFields(const CSchicht& shift);
};

class CSBPSavableManager : public CSavableManager {
public:
    explicit CSBPSavableManager(CSBPData& plan);

    void DefineSubfile(CSubfileManager* parent) override;
    uint8_t ResetData() override;
    void ClearData() override;
    uint8_t TakeRecord() override;
    uint8_t PutRecord(int n) override;
    void AfterLoad() override;

private:
    CSBPData& PLAN;  // the plan it stores
};

class CSBPData {
public:
    CSBPData();
    ~CSBPData();
    CSBPData(const CSBPData&) = delete;
    CSBPData& operator=(const CSBPData&) = delete;

    ISavable& GetSavable();
    CSBPSavableManager& GetSavableManager() { return *SAVABLEMANAGER; }

    CSchichttypen* GetSchichttypen() const { return SCHICHTTYPEN; }
    void SetSchichttypen(CSchichttypen* types) { SCHICHTTYPEN = types; }
    uint16_t GetSchichtgruppenstaerke() const { return SCHICHTGRUPPENSTAERKE; }
    void SetSchichtgruppenstaerke(uint16_t strength) { SCHICHTGRUPPENSTAERKE = strength; }
    uint16_t GetBezugsrahmen() const { return BEZUGSRAHMEN; }

    uint16_t CountDays() const;
    int32_t CountRows() const;
    // Row n (1-based) or nullptr; counts are changed only through the operations below.
    const QSBP* GetRow(uint32_t n) const;
    uint32_t GetRowSysId(uint32_t n) const;
    // Position of the first row with that SYSID, 0 when none.
    uint16_t FindRowBySysId(uint32_t id) const;

    // 0 for a day outside 1 .. CountDays(), a missing row, or a row without SYSID.
    uint8_t GetCount(uint32_t day, uint32_t row) const;
    uint8_t GetCountBySysId(uint32_t day, uint32_t id) const;
    // Nothing for a day outside the plan or an id without a row. A count above 255 is stored
    // as 255 and the user is told; false then.
    bool SetCount(uint32_t day, uint32_t id, uint32_t n);
    // Adds n; a sum above 255 stays at 255 and the result is false (no message: the caller
    // adds many and tells the user once).
    bool AddCount(uint32_t day, uint32_t id, uint32_t n);
    // Every row's count of `to` := its count of `from`; nothing when equal or either is outside
    // the plan.
    void CopyDay(uint32_t from, uint32_t to);
    void ClearCounts();
    void DeleteAllRows();
    // Weeks above 12 are taken as 12. Shortening zeroes the counts of the days given up; the
    // undo steps are left alone (the caller saves the plan).
    void SetBezugsrahmen(uint16_t weeks);

    // One row per shift type, matched by SYSID: shift fields renewed, counts kept; rows of
    // shift types that are gone (and second rows of one SYSID) dropped; new shift types get a
    // row with counts 0; rows sorted by begin. Without a shift-type list nothing changes.
    void SyncSchichttypen();
    // An exact copy of the source's rows, weeks and strength, then SyncSchichttypen against
    // this plan's own shift types.
    void CopyFrom(const CSBPData& source);

    // Replaces the staff demand by the head counts of all shifts of this plan: each shift on
    // each day with count n needs n x SCHICHTGRUPPENSTAERKE persons over its time; a shift over
    // midnight adds to the next day, on the last day to day 1. Where the total exceeds 255
    // persons it is held at 255 and the user is told once.
    void ComputeAKB(CAKBData& akb) const;

private:
    friend class CSBPSavableManager;

    QSBP* RowBySysId(uint32_t id);
    bool InPlan(uint32_t day) const { return day >= 1 && day <= CountDays(); }

    std::unique_ptr<CSBPSavableManager> SAVABLEMANAGER;
    CSchichttypen* SCHICHTTYPEN = nullptr;
    Queue<QSBP> SCHICHTEN;
    uint16_t BEZUGSRAHMEN = 0;
    uint16_t SCHICHTGRUPPENSTAERKE = 0;
};
