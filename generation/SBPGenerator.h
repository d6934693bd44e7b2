#pragma once
// CSBPGenerator: derives the shift demand plan from the staff demand. For every day of the
// reference period it builds an integer program whose columns are candidate shifts on a time grid
// (CSBPVariableMap) and whose rows ask for enough shift groups in every time step of the
// operating day (the step's largest demand divided by the group strength, rounded up), and solves
// it with lp_solve (CLPSolver) for up to four objectives in turn: shortest total length, fewest
// shifts that disturb protected times, lowest shift cost, lengths closest to the longest allowed.
// Each optimum is held by a row while the next objective is solved. The number of shift groups
// chosen for each shift is written into the plan; shift types that do not exist yet are made
// ("F1", "T1", "S1", "N1", ... by position class).
//
// Run works in a progress window, one day per timer event. Start/Step/Cancel/Result are the same
// work without the window.
#include "generation/SBPVariableMap.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class CAKBData;
class CKriterium;
class CLPSolver;
class CProgressWindow;
class CRahmenbedingungBetriebstagsbeginn;
class CRahmenbedingungErstePause;
class CRahmenbedingungFruehschicht;
class CRahmenbedingungMindestpausenlaenge;
class CRahmenbedingungNachtschicht;
class CRahmenbedingungPausen;
class CRahmenbedingungSchichtzeit;
class CRahmenbedingungTagschicht;
class CSBPData;
class CSchicht;
class ISTLPCost;

// What the generator takes from the worksheet's definitions pool. The caller fills it; nothing
// is owned. A missing constraint counts as its neutral value (no operating-day offset, no break
// rule, position class by the begin alone).
struct SBPDefinitionen {
    const CRahmenbedingungNachtschicht* RB1 = nullptr;
    const CRahmenbedingungFruehschicht* RB2 = nullptr;
    const CRahmenbedingungTagschicht* RB3 = nullptr;
    const CRahmenbedingungBetriebstagsbeginn* RB8 = nullptr;
    const CRahmenbedingungSchichtzeit* RB10 = nullptr;
    const CRahmenbedingungPausen* RB11 = nullptr;
    const CRahmenbedingungErstePause* RB12 = nullptr;
    const CRahmenbedingungMindestpausenlaenge* RB13 = nullptr;
    // The pricing criteria (KR1, KR6, KR11 .. KR16, KR19, KR21), any order; others are ignored.
    std::vector<CKriterium*> KRITERIEN;

    // The first listed criterion with that number; nullptr when none.
    CKriterium* FindKriterium(long number) const;
};

// Results of Run.
constexpr uint8_t SBP_KOMPLETT = 1;  // every day done
constexpr uint8_t SBP_TEILWEISE = 2; // cancelled or failed after some day was done
constexpr uint8_t SBP_KEINER = 3;    // no day done

// What became of one day (for the caller's and the tests' eyes).
struct SBPTagesergebnis {
    enum Status : uint8_t { OFFEN = 0, OHNE_BEDARF, GESCHRIEBEN, OHNE_LOESUNG, UEBERSPRUNGEN, ABGEBROCHEN };
    Status STATUS = OFFEN;
    uint8_t ZIELFUNKTIONEN = 0;           // objectives solved to the optimum
    std::array<int64_t, 4> ZIELWERT{};    // their optimal values (rounded)
    long SPALTEN = 0;                     // columns of the model
};

class CSBPGenerator {
public:
    CSBPGenerator();
    virtual ~CSBPGenerator();
    CSBPGenerator(const CSBPGenerator&) = delete;
    CSBPGenerator& operator=(const CSBPGenerator&) = delete;

    long NTAG_MAX = 0;
    uint16_t SLMIN = 60;
    uint16_t SLMAX = 1440;
    long NSL_MAX = 0;
    uint16_t DT = 60;
    long ITSTIMEOUT = 0;                 // time value (hundredths + 1); 0 = no limit
    uint16_t ITSBETRIEBSTAGSANFANG = 0;  // minutes after midnight
    long ITSSCHICHTBELEGSCHAFT = 1;      // persons per shift group
    long ITSPROGRESSMSG = 1;
    long ITSPROGRESSBAR = 2;
    long ITSPERCENTAGE = 3;
    long ITSPROGRESS = 0;
    CAKBData* ITSAKB = nullptr;
    CSBPData* ITSSBP = nullptr;
    const SBPDefinitionen* ITSDEFMANAGER = nullptr;

    // Unless getOnly: the group strength (at least 1), also into the plan when one is set.
    long GroupStrength(long value, bool getOnly = false);
    long Timeout(long value, bool getOnly = false);
    // Unless getOnly: the time grid in minutes (1 .. 1440).
    uint16_t TimeGrid(uint16_t value, bool getOnly = false);

    // The whole generation in its progress window: SBP_KOMPLETT, SBP_TEILWEISE or SBP_KEINER.
    // Expects an empty plan and empty shift types of the staff demand's weeks.
    uint8_t Run(CAKBData& akb, CSBPData& plan, const SBPDefinitionen& pool);

    // The same work step by step: Start, then Step until it answers false (the first step fixes
    // the operating-day start, each later one computes a day); Cancel between two steps.
    void Start(CAKBData& akb, CSBPData& plan, const SBPDefinitionen& pool);
    bool Step();
    void Cancel() { CANCELLED = true; }
    uint8_t Result() const;
    // The run was cancelled (by "Abbrechen" or its window closing) before every day was done.
    bool Cancelled() const { return CANCELLED; }
    // Some day had staff demand to cover; a staff demand without any is "complete" with nothing.
    bool DemandFound() const;
    // Every day has had its step.
    bool Finished() const { return NEXTDAY > NTAG_MAX; }

    // What the progress window shows, also without one.
    const std::string& Message() const { return MESSAGE; }
    const std::string& Percentage() const { return PERCENT; }
    long ProgressRange() const { return NTAG_MAX * 10; }

    // Asked by the solver in the middle of a day: lets the progress window run (it repaints and
    // takes "Abbrechen") and answers whether the run is cancelled. A day cancelled in its solve is
    // not written; the days before it are kept.
    bool AbortWanted();

    // The day's outcome (day 1 .. NTAG_MAX); an empty result outside.
    SBPTagesergebnis Tagesergebnis(long day) const;

protected:
    // Solves the model for objective i of day d; the seam through which tests make a day fail.
    virtual uint8_t SolveModel(CLPSolver& lp, long day, int objective);

private:
    struct Criteria;

    void FixOperatingDayStart();
    void ComputeDay(long day);
    // Writes the solution of the day; false when there is no shift-type list to write into.
    bool WriteDay(long day, const std::vector<int32_t>& values);
    // The SYSID of the shift type with that span on day 1, made when missing (0: none possible).
    uint32_t ShiftTypeFor(const ::TERMIN& span);
    void Objective(int i, long day, std::vector<double>& c);
    // Breaks by RB11 .. RB13.
    void SetBreaks(CSchicht& shift) const;
    void Classify(CSchicht& shift) const;
    bool Active(long number) const;
    ISTLPCost* Pricing(long number) const;

    void SetMessage(const std::string& text);
    void ShowProgress();

    CSBPVariableMap MAP;
    std::vector<SBPTagesergebnis> TAGE;
    std::array<long, 4> NAMENSZAEHLER{};  // running numbers of F, T, S, N in this run
    long NEXTDAY = 0;                      // 0 before the operating-day start is fixed
    bool CANCELLED = false;
    bool FAILED = false;
    bool SOMEDONE = false;
    bool KR6ACTIVE = false;
    std::string MESSAGE;
    std::string PERCENT;
    CProgressWindow* WINDOW = nullptr;
    // Work arrays of a day model, kept between days.
    std::vector<double> ROW;
    std::vector<double> OBJECTIVE;
    std::vector<int32_t> VALUES;
};
