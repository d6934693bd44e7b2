#include "plans/FlexAZ.h"

#include "core/Files.h"
#include "platform/values/Date.h"
#include "plans/AZPData.h"
#include "plans/Schichttypen.h"

#include <algorithm>
#include <utility>

namespace {

auto OrderKey = [](const QFLEXAZ& e) { return std::pair{e.DATUM, e.TERMIN.BEGINN}; };

QFLEXAZ EntryOf(const CFlexSchicht& s)
{
    QFLEXAZ e;
    e.ID = s.ID;
    e.STEP = s.STEP;
    e.SYSID = s.SYSID;
    e.ART = s.ART;
    e.DATUM = s.DATUM;
    e.ARBEITNEHMER = s.ARBEITNEHMER;
    e.AUSLASTUNG = s.AUSLASTUNG;
    e.AUSLASTUNG_BERUECKSICHTIGEN = s.AUSLASTUNG_BERUECKSICHTIGEN;
    e.TERMIN = s.TERMIN;
    e.PAUSEN = s.PAUSEN;
    return e;
}

void CopyInto(const QFLEXAZ& e, CFlexSchicht& s)
{
    s.ID = e.ID;
    s.STEP = e.STEP;
    s.SYSID = e.SYSID;
    s.ART = e.ART;
    s.DATUM = e.DATUM;
    s.ARBEITNEHMER = e.ARBEITNEHMER;
    s.AUSLASTUNG = e.AUSLASTUNG;
    s.AUSLASTUNG_BERUECKSICHTIGEN = e.AUSLASTUNG_BERUECKSICHTIGEN;
    s.TERMIN = e.TERMIN;
    s.PAUSEN = e.PAUSEN;
    s.ClassifyLageByStart();
}

} // namespace

// Day 1 is a Monday; the weekday is taken on the whole number line.
int32_t WeekdayOf(int32_t date)
{
    const int64_t r = (int64_t(date) + 6) % 7;
    return int32_t(r < 0 ? r + 7 : r) + 1;
}

int32_t MondayOf(int32_t date) { return date - (WeekdayOf(date) - 1); }

void CFlexSchicht::Clear()
{
    CSchicht::Clear();
    DATUM = 0;
    ARBEITNEHMER = 0;
}

// ---- the stored part ---------------------------------------------------------------------------

void CFlexAZSavableManager::DefineSubfile(CSubfileManager* parent)
{
    FileManager().Init("Flexzeiten", ::FLEX, parent);
}

uint8_t CFlexAZSavableManager::ResetData() { return STORE_DONE; }

void CFlexAZSavableManager::ClearData() { FLEXAZ.Clear(); }

uint8_t CFlexAZSavableManager::TakeRecord()
{
    QFLEXAZ e;
    e.SYSID = uint32_t(::FLEX.GetInt("SYSID"));
    e.ART = uint8_t(::FLEX.GetInt("ART"));
    e.DATUM = int32_t(::FLEX.GetInt("DATUM"));
    e.ARBEITNEHMER = int32_t(::FLEX.GetInt("ARBEITNEHMER"));
    e.AUSLASTUNG = uint8_t(::FLEX.GetInt("AUSLASTUNG"));
    e.AUSLASTUNG_BERUECKSICHTIGEN = uint8_t(::FLEX.GetInt("AUSLASTUNG_BERUECKSICHTIGEN"));
    e.TERMIN.BEGINN = uint32_t(::FLEX.GetInt("BEGINN"));
    e.TERMIN.ENDE = uint32_t(::FLEX.GetInt("ENDE"));
    for (int k = 1; k <= 5; ++k) {
        PAUSE& p = e.PAUSEN[size_t(k - 1)];
        p.LAGE = uint16_t(::FLEX.GetInt("LAGE", k));
        p.DAUER = uint16_t(::FLEX.GetInt("DAUER", k));
        p.BEZAHLT = uint8_t(::FLEX.GetInt("BEZAHLT", k));
    }
    FLEXAZ.AppendLoaded(e);
    return STORE_DONE;
}

uint8_t CFlexAZSavableManager::PutRecord(int n)
{
    const QFLEXAZ* e = FLEXAZ.Entry(n);
    if (!e)
        return STORE_REFUSED;
    ::FLEX.SetInt("SYSID", e->SYSID);
    ::FLEX.SetInt("ART", e->ART);
    ::FLEX.SetInt("DATUM", e->DATUM);
    ::FLEX.SetInt("ARBEITNEHMER", e->ARBEITNEHMER);
    ::FLEX.SetInt("AUSLASTUNG", e->AUSLASTUNG);
    ::FLEX.SetInt("AUSLASTUNG_BERUECKSICHTIGEN", e->AUSLASTUNG_BERUECKSICHTIGEN);
    ::FLEX.SetInt("BEGINN", e->TERMIN.BEGINN);
    ::FLEX.SetInt("ENDE", e->TERMIN.ENDE);
    for (int k = 1; k <= 5; ++k) {
        const PAUSE& p = e->PAUSEN[size_t(k - 1)];
        ::FLEX.SetInt("LAGE", p.LAGE, k);
        ::FLEX.SetInt("DAUER", p.DAUER, k);
        ::FLEX.SetInt("BEZAHLT", p.BEZAHLT, k);
    }
    return STORE_DONE;
}

void CFlexAZSavableManager::AfterLoad() { FLEXAZ.Sort(); }

// ---- the plan ------------------------------------------------------------------------------------

CFlexAZ::CFlexAZ() : SAVABLEMANAGER(std::make_unique<CFlexAZSavableManager>(*this)) {}

CFlexAZ::~CFlexAZ() = default;

ISavable& CFlexAZ::GetSavable() { return *SAVABLEMANAGER; }

long CFlexAZ::Add(const CFlexSchicht& shift)
{
    return long(QueueAdd(FLEXZEITEN, EntryOf(shift), std::ranges::less{}, OrderKey));
}

bool CFlexAZ::getByIndex(long n, CFlexSchicht& shift) const
{
    const QFLEXAZ* e = Entry(n);
    if (!e)
        return false;
    CopyInto(*e, shift);
    return true;
}

bool CFlexAZ::Put(long n, const CFlexSchicht& shift)
{
    QFLEXAZ* e = n >= 1 ? QueueGet(FLEXZEITEN, std::size_t(n)) : nullptr;
    if (!e)
        return false;
    *e = EntryOf(shift);
    return true;
}

bool CFlexAZ::Delete(long n) { return n >= 1 && QueueDelete(FLEXZEITEN, std::size_t(n)); }

void CFlexAZ::Clear() { QueueFree(FLEXZEITEN); }

void CFlexAZ::Sort() { QueueSort(FLEXZEITEN, std::ranges::less{}, OrderKey); }

long CFlexAZ::Find(int32_t date, uint32_t begin) const
{
    const auto& rows = FLEXZEITEN.Rows();
    auto at = std::ranges::lower_bound(rows, std::pair{date, begin}, std::ranges::less{}, OrderKey);
    if (at == rows.end() || at->DATUM != date || at->TERMIN.BEGINN != begin)
        return 0;
    return long(at - rows.begin()) + 1;
}

long CFlexAZ::FindDate(int32_t date) const
{
    const auto& rows = FLEXZEITEN.Rows();
    auto at = std::ranges::lower_bound(rows, date, std::ranges::less{}, &QFLEXAZ::DATUM);
    return at == rows.end() || at->DATUM != date ? 0 : long(at - rows.begin()) + 1;
}

void CFlexAZ::CopyFrom(const CFlexAZ& source)
{
    if (&source != this)
        FLEXZEITEN.Rows() = source.FLEXZEITEN.Rows();
}

uint8_t CFlexAZ::FindOverlap(const CFlexSchicht& shift) const
{
    const int64_t d = shift.DATUM;
    const auto& rows = FLEXZEITEN.Rows();
    // The entries of the day before up to the day after stand together in the sorted list.
    auto at = std::ranges::lower_bound(rows, d - 1, std::ranges::less{}, [](const QFLEXAZ& e) { return int64_t(e.DATUM); });
    for (; at != rows.end() && int64_t(at->DATUM) <= d + 1; ++at) {
        const long n = long(at - rows.begin()) + 1;
        if (n == SKIPINCHECK)
            continue;
        // Both on a two-day line: the earlier date on day 1, the later on day 2.
        TERMIN entry = at->TERMIN;
        TERMIN own = shift.TERMIN;
        if (at->DATUM == d - 1) {
            own.BEGINN += 1440;
            own.ENDE += 1440;
        } else if (at->DATUM == d + 1) {
            entry.BEGINN += 1440;
            entry.ENDE += 1440;
        }
        // At least one minute in common; touching ends do not overlap.
        if (std::max(entry.BEGINN, own.BEGINN) < std::min(entry.ENDE, own.ENDE))
            return 0;
    }
    return 1;
}

bool CFlexAZ::GetPeriod(int32_t& first, int32_t& last) const
{
    const QFLEXAZ* a = nullptr;
    const QFLEXAZ* b = nullptr;
    for (const QFLEXAZ& e : FLEXZEITEN) {
        if (!DateValid(e.DATUM))
            continue;
        if (!a)
            a = &e;
        b = &e;
    }
    if (!a)
        return false;
    first = MondayOf(a->DATUM);
    last = MondayOf(b->DATUM) + 6;
    return true;
}

void CFlexAZ::BuildAZP(CAZPData& azp, CSchichttypen& types, int32_t from, int32_t to, bool toEnd, bool fromStart) const
{
    azp.DeleteAllGroups();
    types.Clear();
    // One week per group.
    azp.SetBezugsrahmen(1);
    // A chosen period starts with its own week, so that every row stands under its dates.
    bool based = !fromStart;
    int64_t base = based ? MondayOf(from) : 0;
    for (const QFLEXAZ& e : FLEXZEITEN) {
        if (!DateValid(e.DATUM))
            continue;
        if (!fromStart && e.DATUM < from)
            continue;
        if (!toEnd && e.DATUM > to)
            break;
        if (!based) {
            base = MondayOf(e.DATUM);
            based = true;
        }
        const int64_t group = (e.DATUM - base) / 7 + 1;
        if (group < 1 || group > int64_t(kMaxGruppen))
            continue;
        CFlexSchicht shift;
        CopyInto(e, shift);
        CSchichttypen::Normalize(shift);
        types.AddSchicht(shift, false);
        if (group > azp.CountGroups())
            azp.SetGroupCount(uint32_t(group));
        azp.SetCell(uint32_t(WeekdayOf(e.DATUM)), uint32_t(group), shift.SYSID);
    }
}
