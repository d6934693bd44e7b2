#include "plans/AZPData.h"

#include "core/Files.h"
#include "platform/ui/MessageShow.h"
#include "plans/Schichttypen.h"

#include <algorithm>
#include <unordered_set>

namespace {

void ShowFillCapMessage()
{
    MessageRequest m;
    m.text = "An mindestens einem Tag arbeiten mehr als 255 Schichtgruppen denselben Schichttyp.|"
             "Der Schichtbedarf wurde dort auf 255 begrenzt.";
    m.caption = "Schichtbedarf errechnen";
    m.icon = MessageIcon::Exclamation;
    m.buttonBits = BUTTON_OK;
    MessageShow(m);
}

bool IsPlanDay(uint32_t day) { return day >= 1 && day <= kPlanDays; }

} // namespace

CAZPData::CAZPData() : SAVABLEMANAGER(std::make_unique<CAZPSavableManager>(*this)) {}

CAZPData::~CAZPData() = default;

ISavable& CAZPData::GetSavable() { return *SAVABLEMANAGER; }

void CAZPData::SetSchichttypen(CSchichttypen* types, uint32_t groups)
{
    SCHICHTTYPEN = types;
    SetGroupCount(groups);
}

uint16_t CAZPData::CountDays() const { return uint16_t(std::min<uint16_t>(BEZUGSRAHMEN, kPlanWeeks) * 7); }

uint16_t CAZPData::CountGroups() const { return uint16_t(QueueRecords(SCHICHTFOLGEN)); }

void CAZPData::SetCell(uint32_t day, uint32_t group, uint32_t id)
{
    QAZP* row = Row(group);
    if (row && IsPlanDay(day))
        row->SCHICHTSYSID[day - 1] = id;
}

CSchicht* CAZPData::GetCellSchicht(uint32_t day, uint32_t group) const
{
    if (day > CountDays() || !SCHICHTTYPEN)
        return nullptr;
    const uint32_t id = GetCell(day, group);
    return id == 0 ? nullptr : SCHICHTTYPEN->FindBySysId(id, false);
}

void CAZPData::SwapCells(uint32_t day, uint32_t group1, uint32_t group2)
{
    if (group1 == group2 || !IsPlanDay(day))
        return;
    QAZP* a = Row(group1);
    QAZP* b = Row(group2);
    if (a && b)
        std::swap(a->SCHICHTSYSID[day - 1], b->SCHICHTSYSID[day - 1]);
}

void CAZPData::DeleteAllGroups()
{
    QueueFree(SCHICHTFOLGEN);
    ANZAHLGRUPPEN = 0;
}

void CAZPData::SetGroupCount(uint32_t n)
{
    n = std::min(n, kMaxGruppen);
    SCHICHTFOLGEN.Rows().resize(n);
    ANZAHLGRUPPEN = CountGroups();
}

void CAZPData::SetBezugsrahmen(uint16_t weeks)
{
    weeks = std::min(weeks, kPlanWeeks);
    if (weeks < BEZUGSRAHMEN) {
        for (QAZP& row : SCHICHTFOLGEN)
            std::fill(row.SCHICHTSYSID.begin() + weeks * 7, row.SCHICHTSYSID.end(), 0u);
    }
    BEZUGSRAHMEN = weeks;
}

void CAZPData::CheckUnknownShifts()
{
    if (SCHICHTTYPEN) {
        // Each id is asked for once; the first question makes its placeholder when needed.
        std::unordered_set<uint32_t> checked;
        for (const QAZP& row : SCHICHTFOLGEN) {
            for (uint32_t id : row.SCHICHTSYSID) {
                if (id != 0 && checked.insert(id).second)
                    SCHICHTTYPEN->FindBySysId(id, true);
            }
        }
    }
    ANZAHLGRUPPEN = CountGroups();
}

void CAZPData::CopyFrom(const CAZPData& source)
{
    if (&source == this)
        return;
    SCHICHTFOLGEN.Rows() = source.SCHICHTFOLGEN.Rows();
    BEZUGSRAHMEN = source.BEZUGSRAHMEN;
    ANZAHLGRUPPEN = source.ANZAHLGRUPPEN;
    CheckUnknownShifts();
}

void CAZPData::FillSBP(CSBPData& sbp) const
{
    sbp.ClearCounts();
    const uint32_t days = CountDays();
    bool capped = false;
    for (const QAZP& row : SCHICHTFOLGEN) {
        for (uint32_t d = 1; d <= days; ++d) {
            const uint32_t id = row.SCHICHTSYSID[d - 1];
            if (id != 0 && !sbp.AddCount(d, id, 1))
                capped = true;
        }
    }
    if (capped)
        ShowFillCapMessage();
}

// ---- storage ---------------------------------------------------------------------------------

CAZPSavableManager::CAZPSavableManager(CAZPData& plan) : PLAN(plan) {}

void CAZPSavableManager::DefineSubfile(CSubfileManager* parent)
{
    FileManager().Init("Schichtfolgen", ::AZP, parent);
}

uint8_t CAZPSavableManager::ResetData()
{
    PLAN.SetBezugsrahmen(1);
    return STORE_DONE;
}

void CAZPSavableManager::ClearData() { PLAN.DeleteAllGroups(); }

// The group goes back to its number GRUPPE; a number past the end appends it.
uint8_t CAZPSavableManager::TakeRecord()
{
    if (QueueRecords(PLAN.SCHICHTFOLGEN) >= kMaxGruppen)
        return STORE_DONE;
    QAZP row;
    const Field& schicht = ::AZP.GetLayout().At("SCHICHT");
    for (uint32_t d = 1; d <= kPlanDays; ++d)
        row.SCHICHTSYSID[d - 1] = uint32_t(::AZP.GetInt(schicht, int(d)));
    QueueAdd(PLAN.SCHICHTFOLGEN, std::move(row), std::size_t(::AZP.GetInt("GRUPPE")));
    return STORE_DONE;
}

uint8_t CAZPSavableManager::PutRecord(int n)
{
    const QAZP* row = n >= 1 ? PLAN.Row(uint32_t(n)) : nullptr;
    if (!row)
        return STORE_REFUSED;
    ::AZP.SetInt("GRUPPE", n);
    const Field& schicht = ::AZP.GetLayout().At("SCHICHT");
    for (uint32_t d = 1; d <= kPlanDays; ++d)
        ::AZP.SetInt(schicht, row->SCHICHTSYSID[d - 1], int(d));
    return STORE_DONE;
}

// Also sets the group count to the rows loaded.
void CAZPSavableManager::AfterLoad() { PLAN.CheckUnknownShifts(); }
