#pragma once
// The working-time criteria: the length of a shift (KR6), the net working time of a working day
// (KR7), the average weekly working time (KR8), the weekly minimum and maximum (KR9) and the
// number of consecutive working days (KR10). Their constraints belong to the definitions pool,
// which links them before any check; a criterion without its constraint finds nothing.
#include "assessment/AZPAenderung.h"
#include "assessment/Kriterium.h"
#include "assessment/KriteriumWoche.h"

#include <cstdint>
#include <string>
#include <vector>

class CRahmenbedingungKontArbeitstage;
class CRahmenbedingungSchichtzeit;
class CRahmenbedingungWAZGrenzen;
class CRahmenbedingungWerktagAZ;

// KR6 "Schichtzeiten einhalten": a shift type's gross length in minutes against RB10 (a shift
// of 24 hours is 24 hours long, as the cost rules and KR1 take it).
class CKriteriumSchichtlaenge : public CKriterium, public ISTChecker, public ISTLPCost {
public:
    CRahmenbedingungSchichtzeit* RB10 = nullptr;  // not owned

    CKriteriumSchichtlaenge();
    void SetRahmenbedingung(CRahmenbedingungSchichtzeit* rb10) { RB10 = rb10; }
    void Assign(const CKriterium& other, IKriterienPool* pool) override;
    ISTChecker* GetSTChecker() override { return this; }

    // 1 with the explanation when a normal shift is shorter or longer than allowed; 0 (and the
    // text untouched) otherwise or while switched off.
    uint32_t Check(const CSchicht& shift, uint8_t weekdays, std::string& text, std::size_t size) override;
    // The shift's length in minutes (the shift demand generator's length objective).
    double GetCost(const CSchicht& shift, uint16_t day, uint8_t flag) override;
    uint8_t IsActive() override { return AKTIVIERT; }
};

// KR7 "werktägliche Arbeitszeit einhalten": a shift's net minutes against RB14. In a plan a shift
// above the limit without compensation but within the limit with compensation is only a warning
// (amount 0) when the average per working day over the compensation period stays within the
// limit without compensation.
class CKriteriumWerktagAZ : public CKriterium, public IAZPChecker, public ISTChecker {
public:
    CRahmenbedingungWerktagAZ* RB14 = nullptr;  // not owned

    CKriteriumWerktagAZ();
    void SetRahmenbedingung(CRahmenbedingungWerktagAZ* rb14) { RB14 = rb14; }
    void Assign(const CKriterium& other, IKriterienPool* pool) override;
    IAZPChecker* GetAZPChecker() override { return this; }
    ISTChecker* GetSTChecker() override { return this; }

    void Check(CAZPBewertung& evaluation, uint8_t quick) override;
    void Paint(long cell, const VERSTOSSINFO& record, const GridDC& dc, int left, int top, int width,
               int height) override;
    uint32_t Check(const CSchicht& shift, uint8_t weekdays, std::string& text, std::size_t size) override;

    // Whether the shift in the node's cell is compensated within its block of the compensation
    // period (the night-work period when the plan has 48 or more night shifts a year). A period
    // of 0 weeks holds no day to compensate in: never compensated.
    bool Compensated(const CAZPBewertung& evaluation, const CSchichtNode& node, long nights) const;
};

// KR8 "durchschnittliche Wochenarbeitszeit einhalten": one record per week at the week's last
// cell. The record's INFO carries the week's figures {WAZ, DIFFWAZ}: the week's working minutes in
// the low 16 bits and the weekly target minus them (signed, held within 16 bits) in the high ones.
// The checker runs it switched off too; then every amount is 0.
class CKriteriumWAZMittel : public CKriteriumWoche, public IAZPChecker {
public:
    CKriteriumWAZMittel();
    IAZPChecker* GetAZPChecker() override { return this; }

    void Check(CAZPBewertung& evaluation, uint8_t quick) override;
    // The weekly figures are shown by the grid's weekly column, not in the cells.
    void Paint(long, const VERSTOSSINFO&, const GridDC&, int, int, int, int) override {}
    void FreeRecordText(VERSTOSSINFO& record) override;

    // The week's working minutes of a KR8 record, and the weekly target minus them.
    uint32_t InfoText(const VERSTOSSINFO& record) const { return record.INFO & 0xFFFFu; }
    int32_t InfoDiff(const VERSTOSSINFO& record) const { return int16_t(uint16_t(record.INFO >> 16)); }

private:
    std::vector<uint32_t> weeks_;    // per check: minutes of each week, then the block averages
    std::vector<uint32_t> average_;
};

// KR9 "wöchentliche Mindest-/Höchstarbeitszeit einhalten": one record per week at the week's last
// cell with the minutes outside RB16's limits and, as text, the week's deviation from RB15's
// weekly target in minutes. The checker runs it switched off too; then every amount is 0.
class CKriteriumWAZGrenzen : public CKriteriumWoche, public IAZPChecker, public IAZPAenderung {
public:
    CRahmenbedingungWAZGrenzen* RB16 = nullptr;  // not owned

    CKriteriumWAZGrenzen();
    using CKriteriumWoche::SetRahmenbedingung;
    void SetRahmenbedingung(CRahmenbedingungWAZMittel* rb15, CRahmenbedingungWAZGrenzen* rb16);
    void Assign(const CKriterium& other, IKriterienPool* pool) override;
    IAZPChecker* GetAZPChecker() override { return this; }

    void Check(CAZPBewertung& evaluation, uint8_t quick) override;
    // The records of the weeks a change reaches (one per week, at its last cell).
    void KeepBase(const CAZPBewertung&) override {}
    bool CheckChange(const CAZPBewertung& candidate, std::span<const long> changed, CAZPAenderung& out) override;
    // Only in the grid's weekly column (cell 0) and only for a violation.
    void Paint(long cell, const VERSTOSSINFO& record, const GridDC& dc, int left, int top, int width,
               int height) override;

private:
    // Week k's amount from its working minutes m (hundredths of minutes).
    uint32_t WeekAmount(int64_t m) const;
    std::vector<long> changedWeeks_;
};

// KR10 "Anzahl kontinuierlicher Arbeitstage einhalten": runs of consecutive worked cells (over
// the cycle's end too) shorter or longer than RB7 allows mark every cell of the run.
class CKriteriumKontArbeitstage : public CKriterium, public IAZPChecker, public IAZPAenderung {
public:
    CRahmenbedingungKontArbeitstage* RB7 = nullptr;  // not owned

    CKriteriumKontArbeitstage();
    void SetRahmenbedingung(CRahmenbedingungKontArbeitstage* rb7) { RB7 = rb7; }
    void Assign(const CKriterium& other, IKriterienPool* pool) override;
    IAZPChecker* GetAZPChecker() override { return this; }

    void Check(CAZPBewertung& evaluation, uint8_t quick) override;
    // A change of worked and free cells reaches the runs around it, in the base and in the
    // candidate: their cells get the candidate's records.
    void KeepBase(const CAZPBewertung& base) override { base_ = &base; }
    bool CheckChange(const CAZPBewertung& candidate, std::span<const long> changed, CAZPAenderung& out) override;
    void Paint(long cell, const VERSTOSSINFO& record, const GridDC& dc, int left, int top, int width,
               int height) override;

private:
    // Whether a run of that length breaks the limits, and its cells' amount.
    bool RunAmount(long length, uint32_t& amount) const;
    void Report(CAZPBewertung& evaluation, long first, long length);
    const CAZPBewertung* base_ = nullptr;
};

// The text of a number of hundredths as a plain number: "-89.4", "90", "0.05".
std::string PlainNumberText(int64_t hundredths);
