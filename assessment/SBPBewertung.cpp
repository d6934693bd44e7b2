#include "assessment/SBPBewertung.h"

#include "core/Schicht.h"
#include "plans/SBPData.h"
#include "plans/Schichttypen.h"

#include <algorithm>

namespace {

// The weekdays on which some week of the plan asks for the shift type.
uint8_t Weekdays(const CSBPData& plan, uint32_t sysId)
{
    const uint32_t weeks = plan.CountDays() / 7u;
    uint8_t days = 0;
    for (uint32_t w = 1; w <= 7; ++w)
        for (uint32_t k = 1; k <= weeks; ++k)
            if (plan.GetCountBySysId((k - 1) * 7 + w, sysId) != 0) {
                days = uint8_t(days | (1u << (w - 1)));
                break;
            }
    return days;
}

bool InList(const CSchichttypen* types, uint32_t sysId)
{
    if (!types)
        return false;
    for (long n = 1; n <= types->Count(); ++n)
        if (const CSchicht* s = types->GetByIndex(n); s && s->SYSID == sysId)
            return true;
    return false;
}

} // namespace

void CSBPBewertung::Evaluate(const CSBPData& plan)
{
    SCHICHTEN = plan.GetSchichttypen();
    auto& rows = SBPBEWERTUNG.Rows();
    std::erase_if(rows, [this](SBPBewertungEintrag& e) {
        if (InList(SCHICHTEN, e.SCHICHTID))
            return false;
        if (e.VERSTOESSE)
            e.VERSTOESSE->Release();
        return true;
    });
    if (!SCHICHTEN)
        return;
    for (long n = 1; n <= SCHICHTEN->Count(); ++n) {
        const CSchicht* s = SCHICHTEN->GetByIndex(n);
        if (!s)
            continue;
        auto* entry = QueueGet(SBPBEWERTUNG, s->SYSID, &SBPBewertungEintrag::SCHICHTID);
        if (!entry) {
            SBPBewertungEintrag e;
            e.SCHICHTID = s->SYSID;
            e.VERSTOESSE = std::make_unique<CVerstossliste>();
            QueueAdd(SBPBEWERTUNG, std::move(e));
            entry = &rows.back();
        }
        entry->TAGE = Weekdays(plan, s->SYSID);
    }
}

void CSBPBewertung::Clear()
{
    for (SBPBewertungEintrag& e : SBPBEWERTUNG)
        if (e.VERSTOESSE)
            e.VERSTOESSE->Release();
    QueueFree(SBPBEWERTUNG);
    SCHICHTEN = nullptr;
}

CSchicht* CSBPBewertung::GetSchicht(long n) const
{
    return SCHICHTEN ? SCHICHTEN->GetByIndex(n) : nullptr;
}

const SBPBewertungEintrag* CSBPBewertung::Find(uint32_t sysId) const
{
    return QueueGet(SBPBEWERTUNG, sysId, &SBPBewertungEintrag::SCHICHTID);
}

uint8_t CSBPBewertung::GetTage(uint32_t sysId) const
{
    const SBPBewertungEintrag* e = Find(sysId);
    return e ? e->TAGE : 0;
}

CVerstossliste* CSBPBewertung::GetVerstossliste(uint32_t sysId) const
{
    const SBPBewertungEintrag* e = Find(sysId);
    return e ? e->VERSTOESSE.get() : nullptr;
}

long CSBPBewertung::CountViolatingShiftTypes() const
{
    return static_cast<long>(std::count_if(SBPBEWERTUNG.begin(), SBPBEWERTUNG.end(), [](const SBPBewertungEintrag& e) {
        return e.VERSTOESSE && e.VERSTOESSE->Count() > 0;
    }));
}
