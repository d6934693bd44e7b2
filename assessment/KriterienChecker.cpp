#include "assessment/KriterienChecker.h"

#include "assessment/AZPBewertung.h"
#include "assessment/Kriterium.h"
#include "assessment/SBPBewertung.h"
#include "assessment/Verstossliste.h"
#include "core/Schicht.h"
#include "core/TimeHelpers.h"

#include <string>

namespace {

// The criteria that always put their weekly records into the plan: the average weekly working
// time and its limits are shown in the grid even when they do not count.
bool RunsAlways(const CKriterium& k) { return k.NUMMER == 8 || k.NUMMER == 9; }

// A span of 22 hours from the shift's begin: what the strain recommendation looks at.
constexpr uint32_t kEbaSpanMinutes = 1320;

} // namespace

void CKriterienChecker::Add(CKriterium* criterion)
{
    if (criterion)
        QueueAdd(KRITERIEN, criterion);
}

void CKriterienChecker::SetKriterien(std::span<CKriterium* const> criteria)
{
    QueueFree(KRITERIEN);
    for (CKriterium* k : criteria)
        Add(k);
}

CKriterium* CKriterienChecker::FindKriterium(long number) const
{
    for (CKriterium* k : KRITERIEN)
        if (k->NUMMER == number)
            return k;
    return nullptr;
}

bool CKriterienChecker::Runs(const CKriterium& criterion) { return criterion.AKTIVIERT || RunsAlways(criterion); }

void CKriterienChecker::CheckPlan(CAZPBewertung& evaluation, uint8_t quick)
{
    for (CKriterium* k : KRITERIEN) {
        IAZPChecker* checker = k->GetAZPChecker();
        if (checker && Runs(*k))
            checker->Check(evaluation, quick);
    }
}

void CKriterienChecker::CheckShiftTypes(CSBPBewertung& evaluation)
{
    for (long n = 1;; ++n) {
        const CSchicht* shift = evaluation.GetSchicht(n);
        if (!shift)
            break;
        CVerstossliste* list = evaluation.GetVerstossliste(shift->SYSID);
        if (!list)
            continue;  // not evaluated since the shift type came
        list->Clear();
        uint8_t weekdays = evaluation.GetTage(shift->SYSID);
        if (weekdays == 0)
            weekdays = kAlleWochentage;
        CheckShiftType(*shift, weekdays, *list);
    }
}

void CKriterienChecker::CheckShiftType(const CSchicht& shift, uint8_t weekdays, CVerstossliste& list)
{
    // One buffer for all criteria: each writes its own text when it finds something.
    std::string text;
    text.reserve(kSTCheckTextSize);
    for (CKriterium* k : KRITERIEN) {
        ISTChecker* checker = k->GetSTChecker();
        if (!k->AKTIVIERT || !checker)
            continue;
        const uint32_t amount = checker->Check(shift, weekdays, text, kSTCheckTextSize);
        if (amount == 0)
            continue;
        if (text.size() > kSTCheckTextSize)
            text.resize(kSTCheckTextSize);
        list.AddWithText(k, amount, POSITION_EINZELN, text, false, false);
    }
}

IEbaBerechnung* CKriterienChecker::Eba() const
{
    return dynamic_cast<IEbaBerechnung*>(FindKriterium(19));
}

uint16_t CKriterienChecker::EbaRecommendation(const CSchicht& shift, uint8_t weekday)
{
    IEbaBerechnung* eba = Eba();
    if (!eba)
        return uint16_t(kMinutesPerDay);
    ::TERMIN span{shift.TERMIN.BEGINN, shift.TERMIN.BEGINN + kEbaSpanMinutes};
    MoveIntervalToDay(span, weekday);
    eba->Compute(span);
    return eba->Result();
}

void CKriterienChecker::ShowEbaValues()
{
    if (IEbaBerechnung* eba = Eba())
        eba->ShowRechenwerte();
}
