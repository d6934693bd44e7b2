#pragma once
// CKriterienChecker: a list of criteria run in list order over a working-time plan evaluation or
// over shift types. It holds references only; the criteria belong to their pool. The worksheet's
// checker lists all criteria of its pool; the optimiser and the overall rating list a subset in
// an order of their own (the order matters where a criterion looks at cells that others marked).
#include "core/Termin.h"
#include "platform/values/Queue.h"

#include <cstdint>
#include <span>

class CAZPBewertung;
class CKriterium;
class CSBPBewertung;
class CSchicht;
class CVerstossliste;

// The size of the text buffer a shift-type check writes its explanation into.
constexpr std::size_t kSTCheckTextSize = 1024;
// Weekdays: all seven.
constexpr uint8_t kAlleWochentage = 127;

// The strain computation of the strain criterion (KR19), as the checker uses it for the start
// recommendation and the window of calculation values.
class IEbaBerechnung {
public:
    virtual ~IEbaBerechnung() = default;
    // Fills the hourly values for a span of the plan's time line.
    virtual void Compute(const ::TERMIN& span) = 0;
    // (h - 1) x 60 for the first hour h whose summed strain exceeds the limit, else 1440.
    virtual uint16_t Result() const = 0;
    // Opens the window "EBA Rechenwerte" on the values of the last computation.
    virtual void ShowRechenwerte() = 0;
};

class CKriterienChecker {
public:
    CKriterienChecker() = default;
    virtual ~CKriterienChecker() = default;
    CKriterienChecker(const CKriterienChecker&) = delete;
    CKriterienChecker& operator=(const CKriterienChecker&) = delete;

    Queue<CKriterium*> KRITERIEN;  // in the order added

    // Empties the list; the criteria are not touched.
    void Release() { QueueFree(KRITERIEN); }
    // Appends the criterion (nothing for nullptr).
    virtual void Add(CKriterium* criterion);
    // Empties the list, then Add for each element in order.
    void SetKriterien(std::span<CKriterium* const> criteria);
    // The first listed criterion with that number; nullptr when none.
    CKriterium* FindKriterium(long number) const;

    // Runs the plan check of every listed criterion that is switched on - and of KR8 and KR9
    // whether switched on or not - in list order. quick is 1 in the optimiser's assessments.
    void CheckPlan(CAZPBewertung& evaluation, uint8_t quick);
    // Whether CheckPlan runs the criterion's plan check (switched on, or KR8 or KR9).
    static bool Runs(const CKriterium& criterion);
    // For every shift type of the evaluation: its list cleared, then CheckShiftType with the
    // weekdays the plan uses it on (all seven when none).
    void CheckShiftTypes(CSBPBewertung& evaluation);
    // Every listed criterion that is switched on and checks shift types adds a record with its
    // amount and explanation to the list when it finds a violation.
    void CheckShiftType(const CSchicht& shift, uint8_t weekdays, CVerstossliste& list);

    // The strain criterion's recommendation for the shift type on weekday w (1 Monday): minutes
    // from the begin until the strain first exceeds the limit, 1440 when it never does - or
    // when KR19 is not listed.
    uint16_t EbaRecommendation(const CSchicht& shift, uint8_t weekday);
    // Shows KR19's hourly values of its last computation; nothing when KR19 is not listed.
    void ShowEbaValues();

private:
    IEbaBerechnung* Eba() const;
};
