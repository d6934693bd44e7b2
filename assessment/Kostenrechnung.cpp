#include "assessment/Kostenrechnung.h"

#include "assessment/Kosten.h"
#include "core/Schicht.h"
#include "core/TimeHelpers.h"
#include "core/Utilities.h"
#include "plans/AKBData.h"
#include "plans/AZPData.h"
#include "plans/SBPData.h"
#include "plans/Schichttypen.h"

#include <algorithm>

namespace {
// The first plan day (a Monday) of week w.
uint32_t FirstDay(uint16_t week) { return (uint32_t(std::max<uint16_t>(week, 1)) - 1) * 7 + 1; }

// The span a shift is priced over: a normal shift from its begin for its paid minutes, every
// other kind over its times. Empty when the end is not after the begin.
TERMIN PricedSpan(const CSchicht& shift)
{
    TERMIN span = shift.TERMIN;
    if (shift.ART == ART_NORMAL) {
        const int32_t paid = shift.PaidMinutes();
        span.ENDE = paid > 0 ? span.BEGINN + uint32_t(paid) : span.BEGINN;
    }
    return span;
}
} // namespace

CKostenrechnung::CKostenrechnung() = default;

void CKostenrechnung::SetKosten(CKosten* kosten, CRahmenbedingungWAZMittel* rb15)
{
    KR22.SetKostenUndRB(kosten, rb15);
}

KostenTag CKostenrechnung::PriceShift(const CSchicht& shift, uint32_t day, int64_t persons) const
{
    KostenTag t;
    const TERMIN span = PricedSpan(shift);
    const uint32_t b = span.BEGINN, e = span.ENDE;
    if (e <= b || persons <= 0)
        return t;
    const double p = double(persons);
    const auto d = uint16_t(day);
    double f = 1;
    const double amount = KR22.OnCallCost(shift, d, &f);
    t.DIENSTE = p * amount;
    t.LOHN = f * p * KR22.BasePay(b, e);
    t.ZULAGEN = f * p * KR22.Allowances(b, e);
    // Overtime is paid for the whole span, whatever share of normal pay the duty earns.
    t.ZUSCHLAEGE = f * p * KR22.TimeSurcharges(b, e, d) + p * KR22.OvertimeSurcharges(b, e);
    t.SUMME = t.LOHN + t.ZULAGEN + t.ZUSCHLAEGE + t.DIENSTE;
    return t;
}

void CKostenrechnung::AddUp(KostenZeile& row)
{
    row.SUMME_LOHN = row.SUMME_ZULAGEN = row.SUMME_ZUSCHLAEGE = row.SUMME_DIENSTE = row.SUMME_GESAMT = 0;
    for (const KostenTag& t : row.WOCHENTAG) {
        row.SUMME_LOHN += t.LOHN;
        row.SUMME_ZULAGEN += t.ZULAGEN;
        row.SUMME_ZUSCHLAEGE += t.ZUSCHLAEGE;
        row.SUMME_DIENSTE += t.DIENSTE;
        row.SUMME_GESAMT += t.SUMME;
    }
    row.SUMME_GESAMT += row.WAZ_ZUSCHLAEGE;
}

void CKostenrechnung::ComputeAZP(Queue<KostenZeile>& rows, const CAZPData& plan, uint16_t week, int32_t strength,
                                 bool flex)
{
    QueueFree(rows);
    BEWERTUNG.Evaluate(plan);
    const int64_t p = std::max<int32_t>(strength, 0);
    const long days = plan.CountDays();
    const uint32_t first = FirstDay(week);
    for (uint32_t g = 1; g <= plan.CountGroups(); ++g) {
        KostenZeile row;
        row.BEZEICHNUNG = (flex ? "Woche " : "Gruppe ") + std::to_string(g);
        for (uint32_t i = 0; i < 7; ++i)
            if (const CSchicht* s = plan.GetCellSchicht(first + i, g))
                row.WOCHENTAG[i] = PriceShift(*s, first + i, p);
        // The group's week w is that week of its own part of the cycle.
        const long cycleWeek = long(g - 1) * days / 7 + week;
        row.WAZ_ZUSCHLAEGE = double(p) * KR22.WeekSurcharge(BEWERTUNG, cycleWeek);
        AddUp(row);
        QueueAdd(rows, std::move(row));
    }
}

void CKostenrechnung::ComputeSBP(Queue<KostenZeile>& rows, const CSBPData& plan, const CSchichttypen& types,
                                 uint16_t week, int32_t strength)
{
    QueueFree(rows);
    const uint32_t first = FirstDay(week);
    for (int32_t r = 1; r <= plan.CountRows(); ++r) {
        // The row's own shift type, never the one at the same position of the list.
        const uint32_t id = plan.GetRowSysId(uint32_t(r));
        const CSchicht* shift = id != 0 ? const_cast<CSchichttypen&>(types).FindBySysId(id, false) : nullptr;
        if (!shift)
            continue;
        const TERMIN span = PricedSpan(*shift);
        if (span.ENDE <= span.BEGINN)
            continue;
        KostenZeile row;
        row.BEZEICHNUNG = std::string(Utf8Prefix(shift->BEZEICHNUNG, 20));
        for (uint32_t i = 0; i < 7; ++i) {
            const int64_t persons = int64_t(plan.GetCount(first + i, uint32_t(r))) * std::max<int32_t>(strength, 0);
            row.WOCHENTAG[i] = PriceShift(*shift, first + i, persons);
        }
        AddUp(row);
        QueueAdd(rows, std::move(row));
    }
}

void CKostenrechnung::ComputeAKB(Queue<KostenZeile>& rows, const CAKBData& demand, uint16_t week)
{
    QueueFree(rows);
    const uint32_t first = FirstDay(week);
    for (uint32_t n = 1; n <= demand.GetMaxZeilen(); ++n) {
        KostenZeile row;
        for (uint32_t i = 0; i < 7; ++i) {
            const CAKBEintrag* entry = demand.GetEntry(first + i, n);
            if (!entry || entry->TERMIN.ENDE <= entry->TERMIN.BEGINN)
                continue;
            const double p = entry->ANZAHL;
            const uint32_t b = entry->TERMIN.BEGINN, e = entry->TERMIN.ENDE;
            KostenTag& t = row.WOCHENTAG[i];
            t.LOHN = p * KR22.BasePay(b, e);
            t.ZULAGEN = p * KR22.Allowances(b, e);
            t.ZUSCHLAEGE = p * KR22.TimeSurcharges(b, e, uint16_t(first + i));
            t.SUMME = t.LOHN + t.ZULAGEN + t.ZUSCHLAEGE;
        }
        AddUp(row);
        QueueAdd(rows, std::move(row));
    }
}
