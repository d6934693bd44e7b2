#pragma once
// CAZPData: the working-time plan of a worksheet - one row per shift group, each with the SYSID of
// a shift type (0 = free) on every day 1-84; the plan uses days 1 .. weeks x 7. The editor, the
// generators and the tabu search work on it through the cell operations below. Day and group
// numbers outside the plan are ignored or answered with nothing, whatever the caller passes.
//
// CAZPSavableManager stores it as the sub-file "Schichtfolgen": one AZP record per group
// (GRUPPE, the 84 ids) per undo step. The weeks are not stored here (the worksheet keeps them).
#include "core/SavableManager.h"
#include "platform/values/Queue.h"
#include "plans/SBPData.h"

#include <array>
#include <cstdint>
#include <memory>

class CSchicht;
class CSchichttypen;
class CAZPData;

// One shift group: the shift type's SYSID on day d at index d - 1.
struct QAZP {
    std::array<uint32_t, kPlanDays> SCHICHTSYSID{};
};

// The group count is a USHORT in the worksheet and the record.
constexpr uint32_t kMaxGruppen = 65535;

class CAZPSavableManager : public CSavableManager {
public:
    explicit CAZPSavableManager(CAZPData& plan);

    void DefineSubfile(CSubfileManager* parent) override;
    uint8_t ResetData() override;
    void ClearData() override;
    uint8_t TakeRecord() override;
    uint8_t PutRecord(int n) override;
    void AfterLoad() override;

private:
    CAZPData& PLAN;  // the plan it stores
};

class CAZPData {
public:
    CAZPData();
    ~CAZPData();
    CAZPData(const CAZPData&) = delete;
    CAZPData& operator=(const CAZPData&) = delete;

    ISavable& GetSavable();
    CAZPSavableManager& GetSavableManager() { return *SAVABLEMANAGER; }

    CSchichttypen* GetSchichttypen() const { return SCHICHTTYPEN; }
    // Links the plan to the worksheet's shift types and sets the group count.
    void SetSchichttypen(CSchichttypen* types, uint32_t groups);
    uint16_t GetBezugsrahmen() const { return BEZUGSRAHMEN; }

    uint16_t CountDays() const;
    uint16_t CountGroups() const;

    // Day 1-84 of an existing group := id (0 clears); anything else is ignored.
    void SetCell(uint32_t day, uint32_t group, uint32_t id);
    // The id in a cell; 0 for a free cell or a day (1-84) or group that does not exist.
    uint32_t GetCell(uint32_t day, uint32_t group) const
    {
        // Inline: the search reads two cells per candidate.
        const QAZP* row = Row(group);
        return row && day >= 1 && day <= kPlanDays ? row->SCHICHTSYSID[day - 1] : 0;
    }
    // The shift type of a cell (looked up, never created); nullptr for a day outside
    // 1 .. CountDays(), a missing group, a free cell or an id without a shift type.
    CSchicht* GetCellSchicht(uint32_t day, uint32_t group) const;
    // Exchanges the two groups' ids on that day; nothing when the groups are equal or missing.
    void SwapCells(uint32_t day, uint32_t group1, uint32_t group2);

    void DeleteAllGroups();
    // Appends empty groups or removes groups from the end until n remain (at most 65535).
    void SetGroupCount(uint32_t n);
    // Weeks above 12 are taken as 12. Shortening clears the days given up in every group;
    // lengthening shows what those days held.
    void SetBezugsrahmen(uint16_t weeks);

    // Every id in the plan that has no shift type gets an "unbekannt" placeholder (one per id).
    void CheckUnknownShifts();
    // The source's groups and weeks (not its shift types), then CheckUnknownShifts.
    void CopyFrom(const CAZPData& source);
    // The shift demand computed from this plan: every SBP count := the number of groups that work
    // that shift type on that day. A count above 255 is held at 255 and the user is told once.
    void FillSBP(CSBPData& sbp) const;

private:
    friend class CAZPSavableManager;

    QAZP* Row(uint32_t group) { return QueueGet(SCHICHTFOLGEN, group); }
    const QAZP* Row(uint32_t group) const { return QueueGet(SCHICHTFOLGEN, group); }

    std::unique_ptr<CAZPSavableManager> SAVABLEMANAGER;
    uint16_t ANZAHLGRUPPEN = 0;
    CSchichttypen* SCHICHTTYPEN = nullptr;
    Queue<QAZP> SCHICHTFOLGEN;
    uint16_t BEZUGSRAHMEN = 0;
};
