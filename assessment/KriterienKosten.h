#pragma once
// The cost criteria: the price of one shift for the shift demand generator's objective (KR21)
// and the weekly-hours surcharges of a working-time plan's cycle weeks, in hours of the average
// hourly wage, as one record in the plan quality value (KR22).
#include "assessment/AZPAenderung.h"
#include "assessment/KriteriumKosten.h"
#include "assessment/KriteriumWoche.h"

#include <cstdint>
#include <memory>

class CAZPBewertung;
class CRahmenbedingungWAZMittel;

// KR21 "Kosten der generierten Schichten minimieren". Reports no violations.
class CKriteriumSchichtkosten : public CKriteriumKosten, public ISTChecker, public ISTLPCost {
public:
    CKriteriumSchichtkosten();
    ISTChecker* GetSTChecker() override { return this; }

    // Always 0; the text is left as it is.
    uint32_t Check(const CSchicht& shift, uint8_t weekdays, std::string& text, std::size_t size) override;
    // One person's pay for the shift on plan day d: base pay, allowances, time-of-day and weekend
    // surcharges, overtime and the on-call pay, simply added (no pay factor), over the span from
    // the shift's begin for its length less the unpaid breaks - for every kind of shift alike.
    // 0.0 when that span is empty.
    double GetCost(const CSchicht& shift, uint16_t day, uint8_t flag) override;
    uint8_t IsActive() override { return AKTIVIERT; }
};

// KR22 "Kosten des Arbeitszeitplans minimieren".
class CKriteriumPlankosten : public CKriteriumKosten, public IAZPChecker, public IAZPAenderung {
public:
    CRahmenbedingungWAZMittel* RB15 = nullptr;   // the week frame; not owned
    std::unique_ptr<CKriteriumWoche> KRAZ;       // counts the weekly minutes with RB15's frame

    CKriteriumPlankosten();
    ~CKriteriumPlankosten() override;

    void SetKostenUndRB(CKosten* kosten, CRahmenbedingungWAZMittel* rb15);
    // The cost criterion's copy; then this criterion's RB15 takes the other's RB15 values and
    // the week frame is set again from it.
    void Assign(const CKriterium& other, IKriterienPool* pool) override;
    IAZPChecker* GetAZPChecker() override { return this; }

    // The bands WAZ1 and WAZ2 (hours per week) for the weekly working minutes.
    double WeeklyHoursSurcharges(uint32_t weeklyMinutes) const;
    // The weekly-hours surcharges of cycle week n of the evaluated plan.
    double WeekSurcharge(const CAZPBewertung& evaluation, long week) const;

    // One record on the first shift's cell, also with 0: the sum over the cycle weeks of each
    // week's surcharges divided by the hourly wage, the fraction dropped after every week. No
    // record for a plan without shifts; an hourly wage of 0 or less gives 0.
    void Check(CAZPBewertung& evaluation, uint8_t quick) override;
    // Keeps the base plan's weekly surcharges and record cell; a change recomputes the weeks it
    // reaches and sums all weeks again in their order.
    void KeepBase(const CAZPBewertung& base) override;
    bool CheckChange(const CAZPBewertung& candidate, std::span<const long> changed, CAZPAenderung& out) override;
    // The record has no marker in the grid.
    void Paint(long, const VERSTOSSINFO&, const GridDC&, int, int, int, int) override {}

private:
    // The hourly wage when it is usable, else 0.
    double Wage() const;
    // The sum over the weeks' surcharges, as the record's amount.
    uint32_t Total(std::span<const double> surcharges, double wage) const;
    std::vector<double> baseSurcharges_, surcharges_;
    std::vector<long> changedWeeks_;
    long baseCell_ = 0;
};
