#pragma once
// CFlexAZGrid: the flex entries in the flex pane's list, one row per entry: number, date, kind, a
// warning icon when the entry breaks a rule, begin, end, paid and net working time and the five
// breaks with their paid tick. While a checker is set, Evaluate checks every entry as a shift type
// on its weekday and keeps the violations per row (the plan data keeps none).
#include "assessment/Verstossliste.h"
#include "core/VLB.h"

#include <cstdint>
#include <string>
#include <vector>

class CFlexAZ;
class CKriterienChecker;

class CFlexAZGrid : public CVLB {
public:
    CFlexAZ* FLEXAZ = nullptr;
    CKriterienChecker* CHECKER = nullptr;   // nullptr: no evaluation
    double ZOOM = 1.0;
    uint8_t DARSTELLUNG = 1;                 // 1 normal, 2 kompakt (times and breaks hidden)

    // Binds the list `feq` of `window` to the plan, sets the icons and redraws.
    void SetupFormat(int feq, CFlexAZ& plan, int window);
    void Redraw();
    // The violations of every entry anew (none without a checker).
    void Evaluate();
    void SetDarstellung(int mode);
    void SetZoom(int percent);
    void SetChecker(CKriterienChecker& checker);
    void ClearChecker();

    // The violations of entry n after the last Evaluate; nullptr when it has none recorded.
    const CVerstossliste* Violations(long n) const;
    // The list's rows afresh (after the plan changed).
    void Refresh() const { Redisplay(); }
    int64_t Selected() const { return FEQ ? ListProperty(Prop::Selected) : 0; }
    void Select(int64_t row) const;

    int32_t RowCount() override;
    std::string CellText(int32_t row, int16_t field) override;

    // The list's format: 24 columns, 30 fields per row.
    static const std::string& Format();

private:
    std::vector<CVerstossliste> VERSTOESSE;
};
