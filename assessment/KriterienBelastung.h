#pragma once
// The criteria that judge a single shift type: its breaks against the break rules (KR1) and the
// strain it puts on the worker hour by hour after the EBA method (KR19), from the worksheet's
// strain assessments and the method's constants in "eba.cfg". KR19 also prices shifts for the
// shift demand generator and gives the shift-type dialog its recommended shift length.
#include "assessment/KriterienChecker.h"
#include "assessment/Kriterium.h"
#include "core/Termin.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

class CBelastungseinschaetzungen;
class CRahmenbedingungErstePause;
class CRahmenbedingungMindestpausenlaenge;
class CRahmenbedingungPausen;
class RecordBuffer;

// ---- KR1 ----------------------------------------------------------------------------------------

// KR1 "Pausenregelungen einhalten": the breaks of a normal shift type against the break steps
// (RB11), the latest first break (RB12) and the shortest break that counts (RB13). The amount is
// the number of rules broken; each adds one line to the explanation.
class CKriteriumPausen : public CKriterium, public ISTChecker {
public:
    CRahmenbedingungPausen* RB11 = nullptr;                // not owned
    CRahmenbedingungErstePause* RB12 = nullptr;            // not owned
    CRahmenbedingungMindestpausenlaenge* RB13 = nullptr;   // not owned

    CKriteriumPausen();
    void SetRahmenbedingungen(CRahmenbedingungPausen* rb11, CRahmenbedingungErstePause* rb12,
                              CRahmenbedingungMindestpausenlaenge* rb13);
    // The base copy, then the other criterion's constraint values into this one's constraints.
    void Assign(const CKriterium& other, IKriterienPool* pool) override;
    ISTChecker* GetSTChecker() override { return this; }

    // The text is emptied first. A missing constraint checks nothing of its own.
    uint32_t Check(const CSchicht& shift, uint8_t weekdays, std::string& text, std::size_t size) override;
};

// ---- the constants of the strain method --------------------------------------------------------

constexpr int kEbaStunden = 24;   // hours of one computation
constexpr int kEbaItems = 18;     // rating slots of an assessment
constexpr int kEbaWerte = 9;      // calculation values 1..9
constexpr int kEbaAnzahl = 15;    // how often a value can occur (the rated items)

// The one record of "eba.cfg" (layout EBA).
struct EBA_KONSTANTEN {
    // GEWICHTUNG[v - 1][n - 1]: the weight of calculation value v when n items have it.
    std::array<std::array<double, kEbaAnzahl>, kEbaWerte> GEWICHTUNG{};
    double MUL_CIRCADYAN = 0;
    std::array<double, kEbaStunden> FAK_CIRCADYAN{};   // [0] is the clock hour 00:00-01:00
    double MUL_PSYSO = 0;
    std::array<double, kEbaStunden> FAK_PSYSO{};
    double MAX_BELA = 0;          // hourly strain above which the excess carries into the next hours
    double DIV_BELA_KUM_1 = 0;    // divisor of the previous hour's excess
    double DIV_BELA_KUM_2 = 0;    // divisor of the excess two hours back
    double MUL_AZZ8 = 0;          // surcharges from the 9th, 11th and 13th hour on
    double MUL_AZZ10 = 0;
    double MUL_AZZ12 = 0;
    double BELA_GRENZE = 0;       // the strain limit; 0 (the value of an empty record): none

    void FromRecord(const RecordBuffer& record);
};

// The first record of the file EBA is named to, read through a file object of its own: the EBA
// record buffer may hold what the constants dialog is editing. false (constants untouched) when
// the file cannot be opened or holds no record.
bool ReadEbaKonstanten(EBA_KONSTANTEN& out);

// The four hourly rows of one computation, as the window "EBA Rechenwerte" shows them.
struct EBA_RECHENWERTE {
    std::array<double, kEbaStunden> ANZRWG{};
    std::array<double, kEbaStunden> EBA_IDX{};
    std::array<double, kEbaStunden> BELA_STD{};
    std::array<double, kEbaStunden> BELA_SUM{};
};

// The calculation value (1..9; 0 for the unused slots 11, 12 and 18) of rating x of item n:
// items where a higher rating means less strain are turned round, the items rated around a
// middle of 5 count their distance from it.
int32_t EbaRechenwert(int item, int32_t x);

// ---- KR19 ---------------------------------------------------------------------------------------

// KR19 "Belastungssituation für Schichtlänge berücksichtigen".
//
// Compute rates each begun clock hour of a span (at most 24) with the strain assessments: the
// hours after midnight with the assessments of the day they fall on. Each hour's calculation
// values are weighted by how often they occur, turned into an index (100 neutral .. 200 the
// worst), raised by the hour's circadian and psycho-social factors and summed with what the
// strain of the hours before carries over; from the 9th hour on long working time adds its
// surcharges. A shift is critical on a weekday when it lasts longer than the time to the first
// hour whose summed strain exceeds the limit.
//
// Constants that would divide by zero (an empty record has every constant 0) carry nothing over,
// and a limit of 0 or less is no limit: without usable constants no shift is critical.
class CKriteriumBelastung : public CKriterium, public ISTChecker, public ISTLPCost, public IEbaBerechnung {
public:
    CBelastungseinschaetzungen* EBALISTE = nullptr;   // the worksheet's assessments; not owned
    // Per hour k (at [k - 1]) of the last computed span.
    std::array<std::array<int32_t, kEbaItems>, kEbaStunden> EBA_ITEMS{};   // the 18 ratings
    std::array<std::array<int32_t, kEbaItems>, kEbaStunden> EBA_RW{};      // their calculation values
    EBA_RECHENWERTE WERTE;                                                  // ANZRWG .. BELA_SUM
    double BELA_GRENZE = 0;   // the limit of the last computation
    int STUNDEN = 0;          // hours of the last computed span

    CKriteriumBelastung();
    void SetBelastungseinschaetzungen(CBelastungseinschaetzungen* list) { EBALISTE = list; }
    // The base copy, then EBALISTE.
    void Assign(const CKriterium& other, IKriterienPool* pool) override;
    // Switching the criterion on shows the hint on complete assessments.
    uint8_t ToggleActive() override;
    ISTChecker* GetSTChecker() override { return this; }

    // A normal shift type on every weekday of the set: the amount is the sum over the critical
    // days of the minutes the shift lasts beyond the recommended length, and the explanation
    // names the days ("Mo, " .. "So"). 0 and an empty text for other kinds or while switched off.
    uint32_t Check(const CSchicht& shift, uint8_t weekdays, std::string& text, std::size_t size) override;
    // 1.0 when a switched-on criterion finds any hour of the normal shift type's span (as the
    // shift type holds it) above the limit, else 0.0.
    double GetCost(const CSchicht& shift, uint16_t day, uint8_t flag) override;
    uint8_t IsActive() override { return AKTIVIERT; }

    // The hourly values of a span of the plan's time line; all 0 without assessments or when
    // "eba.cfg" gives no record.
    void Compute(const ::TERMIN& span) override;
    // (h - 1) x 60 for the first hour h whose summed strain exceeds the limit, else 1440.
    uint16_t Result() const override;
    void ShowRechenwerte() override;

private:
    bool Exceeds(double strain) const;
};

// The windows of the strain dialogs, installed by them: the hint on complete assessments and the
// window that shows the hourly values of a computation. Without them nothing is shown.
void SetEbaHinweisProcedure(std::function<void()> show);
void SetEbaRechenwerteProcedure(std::function<void(const EBA_RECHENWERTE&)> show);
