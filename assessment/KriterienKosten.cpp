#include "assessment/KriterienKosten.h"

#include "assessment/AZPBewertung.h"
#include "assessment/Kosten.h"
#include "assessment/RahmenbedingungArbeitszeit.h"
#include "core/Schicht.h"
#include "core/TimeHelpers.h"

#include <algorithm>
#include <cmath>
#include <limits>

// ---- KR21 ---------------------------------------------------------------------------------------

CKriteriumSchichtkosten::CKriteriumSchichtkosten()
{
    SetNummer(21);
    SetTableDivisor();
}

uint32_t CKriteriumSchichtkosten::Check(const CSchicht&, uint8_t, std::string&, std::size_t) { return 0; }

double CKriteriumSchichtkosten::GetCost(const CSchicht& shift, uint16_t day, uint8_t)
{
    // The paid length of the shift itself: PaidMinutes would give nothing for an on-call duty,
    // whose gross time does not count as working time.
    const int64_t paid = int64_t(IntervalDuration(shift.TERMIN)) - shift.PauseMinutes(PauseKind::Unpaid);
    if (paid <= 0)
        return 0.0;
    const uint32_t b = shift.TERMIN.BEGINN;
    const uint32_t e = b + uint32_t(paid);
    return BasePay(b, e) + Allowances(b, e) + TimeSurcharges(b, e, day) + OnCallCost(shift, day) +
           OvertimeSurcharges(b, e);
}

// ---- KR22 ---------------------------------------------------------------------------------------

CKriteriumPlankosten::CKriteriumPlankosten() : KRAZ(std::make_unique<CKriteriumWoche>())
{
    SetNummer(22);
    SetTableDivisor();
}

CKriteriumPlankosten::~CKriteriumPlankosten() = default;

void CKriteriumPlankosten::SetKostenUndRB(CKosten* kosten, CRahmenbedingungWAZMittel* rb15)
{
    KOSTEN = kosten;
    RB15 = rb15;
    KRAZ->SetRahmenbedingung(rb15);
}

void CKriteriumPlankosten::Assign(const CKriterium& other, IKriterienPool* pool)
{
    CKriteriumKosten::Assign(other, pool);
    if (const auto* same = dynamic_cast<const CKriteriumPlankosten*>(&other); same && same->RB15 && RB15)
        RB15->Assign(*same->RB15);
    KRAZ->SetRahmenbedingung(RB15);
}

double CKriteriumPlankosten::WeeklyHoursSurcharges(uint32_t weeklyMinutes) const
{
    return BandSurcharges("WAZ1", "WAZ2", double(weeklyMinutes));
}

double CKriteriumPlankosten::WeekSurcharge(const CAZPBewertung& evaluation, long week) const
{
    return WeeklyHoursSurcharges(KRAZ->WeeklyHours(evaluation, week));
}

double CKriteriumPlankosten::Wage() const
{
    const double wage = KOSTEN ? KOSTEN->KOSTEN.GetReal("STUNDENLOHN") : 0.0;
    return wage > 0 && std::isfinite(wage) ? wage : 0.0;
}

uint32_t CKriteriumPlankosten::Total(std::span<const double> surcharges, double wage) const
{
    double total = 0;
    if (wage > 0) {
        constexpr double kMax = std::numeric_limits<uint32_t>::max();
        for (double s : surcharges)
            total = std::min(std::trunc(total + s / wage), kMax);
    }
    return uint32_t(total);
}

void CKriteriumPlankosten::Check(CAZPBewertung& evaluation, uint8_t)
{
    if (!evaluation.ERSTESCHICHT)
        return;
    const double wage = Wage();
    surcharges_.clear();
    if (wage > 0)
        for (long w = 1; w <= evaluation.CellCount() / 7; ++w)
            surcharges_.push_back(WeekSurcharge(evaluation, w));
    evaluation.AddVerstoss(long(MinuteStampDay(evaluation.ERSTESCHICHT->TERMIN.BEGINN)), this, POSITION_EINZELN,
                           Total(surcharges_, wage));
}

void CKriteriumPlankosten::KeepBase(const CAZPBewertung& base)
{
    // The surcharges of the base's Check, which ran just before.
    baseSurcharges_ = surcharges_;
    baseCell_ = base.ERSTESCHICHT ? long(MinuteStampDay(base.ERSTESCHICHT->TERMIN.BEGINN)) : 0;
}

bool CKriteriumPlankosten::CheckChange(const CAZPBewertung& candidate, std::span<const long> changed,
                                       CAZPAenderung& out)
{
    if (!candidate.ERSTESCHICHT)
        return true;
    const double wage = Wage();
    surcharges_ = baseSurcharges_;
    if (wage > 0) {
        CKriteriumWoche::ChangedWeeks(changed, candidate.CellCount(), changedWeeks_);
        for (long w : changedWeeks_)
            if (std::size_t(w) <= surcharges_.size())
                surcharges_[std::size_t(w - 1)] = WeekSurcharge(candidate, w);
    }
    // The record stands on the first shift's cell, which the change may move.
    const long cell = long(MinuteStampDay(candidate.ERSTESCHICHT->TERMIN.BEGINN));
    if (baseCell_ != cell && baseCell_ > 0)
        out.BeginCell(baseCell_);
    out.BeginCell(cell);
    out.Add(Total(surcharges_, wage));
    return true;
}
