#include "plans/SBPData.h"

#include "core/Files.h"
#include "core/TimeHelpers.h"
#include "platform/ui/MessageShow.h"
#include "plans/AKBData.h"
#include "plans/Schichttypen.h"

#include <algorithm>
#include <unordered_set>
#include <vector>

namespace {

void ShowCountCapMessage()
{
    MessageRequest m;
    m.text = "Je Tag und Schichttyp sind höchstens 255 Schichtgruppen möglich.|"
             "Der Wert wurde auf 255 begrenzt.";
    m.caption = "Schichtbedarf";
    m.icon = MessageIcon::Exclamation;
    m.buttonBits = BUTTON_OK;
    MessageShow(m);
}

// A stamp folded into a plan of `period` minutes: P stays P, P + x becomes x, 0 stays 0.
uint32_t Fold(uint32_t stamp, uint32_t period)
{
    return stamp == 0 ? 0 : (stamp - 1) % period + 1;
}

} // namespace

CSchicht QSBP::Schicht() const
{
    CSchicht s;
    s.Clear();
    s.ID = ID;
    s.STEP = STEP;
    s.SYSID = SYSID;
    s.ART = ART;
    s.BEZEICHNUNG = BEZEICHNUNG;
    s.KURZBEZEICHNUNG = KURZBEZEICHNUNG;
    s.AUSLASTUNG = AUSLASTUNG;
    s.AUSLASTUNG_BERUECKSICHTIGEN = AUSLASTUNG_BERUECKSICHTIGEN;
    s.PAUSEN = PAUSEN;
    s.SetTermin(TERMIN);  // classifies by the begin
    return s;
}

void QSBP::SetShiftFields(const CSchicht& s)
{
    ID = s.ID;
    STEP = s.STEP;
    SYSID = s.SYSID;
    ART = s.ART;
    BEZEICHNUNG = s.BEZEICHNUNG;
    KURZBEZEICHNUNG = s.KURZBEZEICHNUNG;
    AUSLASTUNG = s.AUSLASTUNG;
    AUSLASTUNG_BERUECKSICHTIGEN = s.AUSLASTUNG_BERUECKSICHTIGEN;
    TERMIN = s.TERMIN;
    PAUSEN = s.PAUSEN;
}

CSBPData::CSBPData() : SAVABLEMANAGER(std::make_unique<CSBPSavableManager>(*this)) {}

CSBPData::~CSBPData() = default;

ISavable& CSBPData::GetSavable() { return *SAVABLEMANAGER; }

uint16_t CSBPData::CountDays() const { return uint16_t(std::min<uint16_t>(BEZUGSRAHMEN, kPlanWeeks) * 7); }

int32_t CSBPData::CountRows() const { return int32_t(QueueRecords(SCHICHTEN)); }

const QSBP* CSBPData::GetRow(uint32_t n) const { return QueueGet(SCHICHTEN, n); }

uint32_t CSBPData::GetRowSysId(uint32_t n) const
{
    const QSBP* row = GetRow(n);
    return row ? row->SYSID : 0;
}

uint16_t CSBPData::FindRowBySysId(uint32_t id) const
{
    std::size_t pos = 0;
    QueueGet(SCHICHTEN, id, &QSBP::SYSID, &pos);
    return uint16_t(pos);
}

QSBP* CSBPData::RowBySysId(uint32_t id)
{
    return id == 0 ? nullptr : QueueGet(SCHICHTEN, id, &QSBP::SYSID);
}

uint8_t CSBPData::GetCount(uint32_t day, uint32_t row) const
{
    const QSBP* r = GetRow(row);
    if (!r || r->SYSID == 0 || !InPlan(day))
        return 0;
    return r->ANZAHL[day - 1];
}

uint8_t CSBPData::GetCountBySysId(uint32_t day, uint32_t id) const
{
    const QSBP* r = id == 0 ? nullptr : QueueGet(SCHICHTEN, id, &QSBP::SYSID);
    if (!r || !InPlan(day))
        return 0;
    return r->ANZAHL[day - 1];
}

bool CSBPData::SetCount(uint32_t day, uint32_t id, uint32_t n)
{
    QSBP* r = RowBySysId(id);
    if (!r || !InPlan(day))
        return true;
    const bool fits = n <= kMaxTagesanzahl;
    r->ANZAHL[day - 1] = uint8_t(fits ? n : kMaxTagesanzahl);
    if (!fits)
        ShowCountCapMessage();
    return fits;
}

bool CSBPData::AddCount(uint32_t day, uint32_t id, uint32_t n)
{
    QSBP* r = RowBySysId(id);
    if (!r || !InPlan(day))
        return true;
    const uint64_t sum = uint64_t(r->ANZAHL[day - 1]) + n;
    const bool fits = sum <= kMaxTagesanzahl;
    r->ANZAHL[day - 1] = uint8_t(fits ? sum : kMaxTagesanzahl);
    return fits;
}

void CSBPData::CopyDay(uint32_t from, uint32_t to)
{
    if (from == to || !InPlan(from) || !InPlan(to))
        return;
    for (QSBP& r : SCHICHTEN)
        r.ANZAHL[to - 1] = r.ANZAHL[from - 1];
}

void CSBPData::ClearCounts()
{
    const uint32_t days = CountDays();
    for (QSBP& r : SCHICHTEN)
        std::fill_n(r.ANZAHL.begin(), days, uint8_t(0));
}

void CSBPData::DeleteAllRows() { QueueFree(SCHICHTEN); }

void CSBPData::SetBezugsrahmen(uint16_t weeks)
{
    weeks = std::min(weeks, kPlanWeeks);
    if (weeks < BEZUGSRAHMEN) {
        for (QSBP& r : SCHICHTEN)
            std::fill(r.ANZAHL.begin() + weeks * 7, r.ANZAHL.end(), uint8_t(0));
    }
    BEZUGSRAHMEN = weeks;
}

void CSBPData::SyncSchichttypen()
{
    if (!SCHICHTTYPEN)
        return;
    std::unordered_set<uint32_t> known;
    const long count = SCHICHTTYPEN->Count();
    for (long n = 1; n <= count; ++n) {
        const CSchicht* type = SCHICHTTYPEN->GetByIndex(n);
        if (!type)
            break;
        // The row takes the shift type as it is stored: breaks sorted, empty ones dropped. The
        // list's own object is left alone.
        CSchicht stored = *type;
        stored.SortPauses();
        known.insert(stored.SYSID);
        if (QSBP* row = RowBySysId(stored.SYSID)) {
            row->SetShiftFields(stored);
        } else {
            QSBP fresh;
            fresh.SetShiftFields(stored);
            QueueAdd(SCHICHTEN, std::move(fresh));
        }
    }
    // Rows of shift types that are gone go, and so does a second row of one SYSID (a damaged
    // step): it would double that shift type's demand.
    std::unordered_set<uint32_t> seen;
    std::erase_if(SCHICHTEN.Rows(), [&](const QSBP& r) {
        return r.SYSID == 0 || !known.contains(r.SYSID) || !seen.insert(r.SYSID).second;
    });
    QueueSort(SCHICHTEN, {}, [](const QSBP& r) { return r.TERMIN.BEGINN; });
}

void CSBPData::CopyFrom(const CSBPData& source)
{
    if (&source == this)
        return;
    DeleteAllRows();
    BEZUGSRAHMEN = source.BEZUGSRAHMEN;
    SCHICHTGRUPPENSTAERKE = source.SCHICHTGRUPPENSTAERKE;
    for (const QSBP& r : source.SCHICHTEN)
        QueueAdd(SCHICHTEN, r);
    SyncSchichttypen();
}

// The sum of all shifts' head counts is a step function; it is built here in one sweep over
// the begins and ends of all shifts and handed over as its maximal runs, cut at each midnight.
// That is the one form the staff demand's invariants allow, so the result equals adding every
// shift with AddDemand, without normalising the whole list once per shift.
void CSBPData::ComputeAKB(CAKBData& akb) const
{
    akb.Clear();
    const uint32_t period = uint32_t(akb.GetBezugsrahmen()) * kMinutesPerWeek;
    if (period == 0)
        return;

    struct Edge {
        uint32_t at;
        int64_t delta;
    };
    std::vector<Edge> edges;
    auto add = [&](uint32_t from, uint32_t to, int64_t persons) {
        if (from >= to)
            return;
        edges.push_back({from, persons});
        edges.push_back({to, -persons});
    };

    const uint32_t days = CountDays();
    for (const QSBP& row : SCHICHTEN) {
        CSchicht shift = row.Schicht();
        for (uint32_t d = 1; d <= days; ++d) {
            const uint32_t n = row.ANZAHL[d - 1];
            if (n == 0)
                continue;
            shift.SetTermin(d);
            const int64_t persons = int64_t(n) * SCHICHTGRUPPENSTAERKE;
            if (persons == 0 || shift.TERMIN.BEGINN >= shift.TERMIN.ENDE)
                continue;
            const uint32_t from = Fold(shift.TERMIN.BEGINN, period);
            const uint32_t to = Fold(shift.TERMIN.ENDE, period);
            if (shift.TERMIN.ENDE - shift.TERMIN.BEGINN >= period) {  // a damaged shift type
                add(0, period, persons);
            } else if (to < from) {  // over the end of the plan: the rest lands on day 1
                add(0, to, persons);
                add(from, period, persons);
            } else {
                add(from, to, persons);
            }
        }
    }
    std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.at < b.at; });

    // Breakpoints of the capped level: from `at` on, `persons` until the next one. A level that
    // only changes above the cap makes no breakpoint, so equal neighbours stay one run.
    struct Step {
        uint32_t at;
        int64_t persons;
    };
    std::vector<Step> steps;
    bool capped = false;
    int64_t level = 0;
    for (std::size_t i = 0; i < edges.size();) {
        const uint32_t at = edges[i].at;
        for (; i < edges.size() && edges[i].at == at; ++i)
            level += edges[i].delta;
        capped = capped || level > int64_t(AKB_MAX_ANZAHL);
        const int64_t persons = std::min<int64_t>(level, AKB_MAX_ANZAHL);
        if (steps.empty() ? persons != 0 : persons != steps.back().persons)
            steps.push_back({at, persons});
    }
    for (std::size_t k = 0; k + 1 < steps.size(); ++k) {
        if (steps[k].persons <= 0)
            continue;
        const uint32_t to = steps[k + 1].at;
        for (uint32_t begin = steps[k].at; begin < to;) {
            const uint32_t end = std::min(to, (begin / kMinutesPerDay + 1) * kMinutesPerDay);
            akb.AppendLoaded(CAKBEintrag{{begin, end}, uint8_t(steps[k].persons)});
            begin = end;
        }
    }
    akb.RecalcColumnSums();
    if (capped)
        ShowAKBCapMessage();
}

// ---- storage ---------------------------------------------------------------------------------

CSBPSavableManager::CSBPSavableManager(CSBPData& plan) : PLAN(plan) {}

void CSBPSavableManager::DefineSubfile(CSubfileManager* parent)
{
    FileManager().Init("Schichtbedarf", ::SBP, parent);
}

uint8_t CSBPSavableManager::ResetData()
{
    PLAN.SetBezugsrahmen(1);
    return STORE_DONE;
}

void CSBPSavableManager::ClearData() { PLAN.DeleteAllRows(); }

uint8_t CSBPSavableManager::TakeRecord()
{
    QSBP row;
    row.ID = int32_t(::SBP.GetInt("ID"));
    row.STEP = int32_t(::SBP.GetInt("STEP"));
    row.SYSID = uint32_t(::SBP.GetInt("SYSID"));
    const Field& anzahl = ::SBP.GetLayout().At("ANZAHL");
    for (uint32_t d = 1; d <= kPlanDays; ++d)
        row.ANZAHL[d - 1] = uint8_t(::SBP.GetInt(anzahl, int(d)));
    QueueAdd(PLAN.SCHICHTEN, std::move(row));
    return STORE_DONE;
}

uint8_t CSBPSavableManager::PutRecord(int n)
{
    const QSBP* row = n >= 1 ? PLAN.GetRow(uint32_t(n)) : nullptr;
    if (!row)
        return STORE_REFUSED;
    ::SBP.SetInt("ID", row->ID);
    ::SBP.SetInt("STEP", row->STEP);
    ::SBP.SetInt("SYSID", row->SYSID);
    const Field& anzahl = ::SBP.GetLayout().At("ANZAHL");
    for (uint32_t d = 1; d <= kPlanDays; ++d)
        ::SBP.SetInt(anzahl, row->ANZAHL[d - 1], int(d));
    return STORE_DONE;
}

// The shift fields come from the shift types; rows of shift types that are gone are dropped.
void CSBPSavableManager::AfterLoad() { PLAN.SyncSchichttypen(); }
