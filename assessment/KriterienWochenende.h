#pragma once
// The weekend criteria: the number of free Sundays a year (KR4) and the weekend rest (KR17). The
// constraints belong to the definitions pool, which links them before any check; a criterion
// without its links finds nothing.
#include "assessment/AZPAenderung.h"
#include "assessment/Kriterium.h"
#include "core/Termin.h"

#include <cstdint>
#include <vector>

class CRahmenbedingungFreieSonntage;
class CRahmenbedingungKontWochenruhezeit;
class CRahmenbedingungWochenende;
class CSchichtNode;

// The free Sundays a year of a plan without any shift.
constexpr uint32_t kFreieSonntageLeererPlan = 52000;

// KR4 "Anzahl freier Sonntage im Jahr einhalten": one record at cell 1 with the free Sundays a
// year in thousandths (INFO); its amount is 1 when they are fewer than RB5 asks for. A Sunday is
// free when a rest covers a whole day of it, moved by up to RB6's shift in night work.
class CKriteriumFreieSonntage : public CKriterium, public IAZPChecker {
public:
    CRahmenbedingungFreieSonntage* RB5 = nullptr;       // not owned
    CRahmenbedingungKontWochenruhezeit* RB6 = nullptr;  // not owned

    CKriteriumFreieSonntage();
    void SetRahmenbedingung(CRahmenbedingungFreieSonntage* rb5, CRahmenbedingungKontWochenruhezeit* rb6)
    {
        RB5 = rb5;
        RB6 = rb6;
    }
    void Assign(const CKriterium& other, IKriterienPool* pool) override;
    IAZPChecker* GetAZPChecker() override { return this; }

    void Check(CAZPBewertung& evaluation, uint8_t quick) override;
    // The figure is shown beside the grid (ShowFreieSonntage), not in a cell.
    void Paint(long, const VERSTOSSINFO&, const GridDC&, int, int, int, int) override {}

    // Shows the record's free Sundays a year in the window's control, on light pink in red when
    // they are too few; no record empties the control. Nothing without a window.
    static void ShowFreieSonntage(int window, int control, const VERSTOSSINFO* record);
};

// KR17 "Wochenendruhe einhalten": within each week the shifts that reach into the early window
// after the weekend's latest begin and those that reach into the late window before its earliest
// end must leave the minimum weekend rest between them; otherwise each of those shifts is marked.
// A violated weekend counts as one violation: the first marked shift carries amount 1, the others
// 0. Weeks run from Tuesday 16:48, so Monday's early shifts belong to the weekend before them.
class CKriteriumWochenende : public CKriterium, public IAZPChecker, public IAZPAenderung {
public:
    CRahmenbedingungWochenende* RB17 = nullptr;  // not owned

    CKriteriumWochenende();
    void SetRahmenbedingung(CRahmenbedingungWochenende* rb17) { RB17 = rb17; }
    void Assign(const CKriterium& other, IKriterienPool* pool) override;
    IAZPChecker* GetAZPChecker() override { return this; }

    void Check(CAZPBewertung& evaluation, uint8_t quick) override;
    // A shift's marks come from the weekend of its own week alone, except near the cycle's end
    // (the first two and the last two weeks, which the walk meets twice): a change there is not
    // followed (false); elsewhere the weeks of the changed shifts are judged again.
    void KeepBase(const CAZPBewertung& base) override { base_ = &base; }
    bool CheckChange(const CAZPBewertung& candidate, std::span<const long> changed, CAZPAenderung& out) override;
    void Paint(long cell, const VERSTOSSINFO& record, const GridDC& dc, int left, int top, int width,
               int height) override;

    // The week a shift interval belongs to for the weekend rest.
    static int64_t WeekOf(int64_t begin);

private:
    struct Fenster {
        int64_t earlyBegin, earlyEnd, lateBegin, lateEnd;
    };
    struct Eintrag {
        CSchichtNode* node;
        int64_t time;  // E: the shift's end, B: its begin
    };
    Fenster WindowsOf(int64_t week) const;
    void Judge(int64_t week);

    // Per check.
    std::vector<Eintrag> early_;  // E
    std::vector<Eintrag> late_;   // B
    int64_t duration_ = 0;
    // The weekends counted, by week of the cycle: the one before the cycle's start (week 0) is the
    // last week's, met again when the walk passes the cycle's end.
    std::vector<uint8_t> counted_;
    const CAZPBewertung* base_ = nullptr;
};
