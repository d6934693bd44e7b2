#pragma once
// CAZPOptimizer: improves a working-time plan by tabu search, and drives the whole road of
// generating one (sizing the plan, the constructive generator, the search).
//
// A move exchanges the shifts of two groups on one day; with G groups and D days there are
// P = G(G - 1)/2 pairs per day and K = P x D moves, numbered day by day. Each candidate plan is
// judged by the plan quality value of an evaluation with twelve criteria (lower is better, 0.0
// no violation). Per iteration the best admissible candidate of a full scan (fewer than 500
// moves, thinned by "Randomity") or of about 100 / (R + 1) random samples is made; a move made
// within the last "Tabudauer" iterations is not admissible, and after "Rückschritte" iterations
// without improvement the search returns to the best plan. Per timer event of its progress
// window the search runs as many iterations as fit in 40 ms (at least one), so that it computes
// for most of the time the planner gives it while the window stays responsive; it stops when the
// quality is 0.0, the time limit has passed or the user cancels; the best plan met is copied
// back and the outcome is shown ("Plangütewert AZP"). The pace changes only how many iterations
// one event runs, never which ones.
//
// The clock is the time of day in hundredths (plus 1, as clock values); a limit survives one
// passage of midnight. Random draws come from the program's one source (RandomRestart replays a
// run). Tests put in a clock of their own and may replace how a candidate is judged.
#include "generation/AZPGenerator.h"
#include "generation/ProgressWindow.h"

#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

class CAZPBewertung;
class CAZPData;
class CAZPInkrementelleBewertung;
class CKriterienChecker;
class CSBPData;

// Settings section and keys of the search's parameters, with their defaults.
constexpr const char* kOptimizerSection = "AZP Optimierungsalgorithmus";
constexpr long kTabudauerDefault = 10;
constexpr long kRueckschritteDefault = 40;
constexpr long kRandomityDefault = 3;

// Milliseconds of iterations per timer event of the progress window (the timer fires every 50).
constexpr long kRechenzeitProEreignis = 40;

// From this many moves on an iteration samples instead of scanning all moves.
constexpr uint64_t kFullScanBelow = 500;

// The twelve criteria of the search, in the order they are added to its checker.
constexpr long kOptimizerKriterien[12] = {10, 9, 2, 5, 17, 11, 12, 13, 14, 15, 16, 22};

// A move decoded: the day and the two groups whose shifts it exchanges (group1 > group2).
struct AZPMove {
    uint32_t day = 0;
    uint32_t group1 = 0;
    uint32_t group2 = 0;
    bool operator==(const AZPMove&) const = default;
};

// Pairs per day for G groups, G(G - 1)/2 (0 below two groups).
uint32_t AZPPairCount(uint32_t groups);

// The most moves a search takes on: its tabu list holds 4 bytes per move, 512 MiB at most. A plan
// of several thousand groups would need far more.
constexpr uint64_t kMaxAZPMoves = uint64_t(1) << 27;
// Whether the search can take on a plan of that many groups and days; when not, tells the user
// so (a German message) and answers false.
bool AZPSearchFits(uint32_t groups, uint32_t days);
// Move m (1 .. pairs x days) for `groups` groups; all zero for a move outside.
AZPMove DecodeAZPMove(uint64_t m, uint32_t groups, uint32_t days);

class CAZPOptimizer {
public:
    CAZPOptimizer();
    virtual ~CAZPOptimizer();
    CAZPOptimizer(const CAZPOptimizer&) = delete;
    CAZPOptimizer& operator=(const CAZPOptimizer&) = delete;

    long ITSTABUDAUER = kTabudauerDefault;
    long ITSRUECKSCHRITTE = kRueckschritteDefault;
    long ITSRANDOMITY = kRandomityDefault;
    long ITSSTARTZEIT = 0;              // clock at the start of the search
    uint8_t ITSUSERABORT = 0;           // 1 after "Abbrechen"
    std::vector<int32_t> ITSTABULISTE;  // per move: the iteration it was last made in, 0 never
    long ITSITERATION = 0;
    uint64_t ITSKOMBINATIONEN = 0;      // K
    long ITSANZAHLGRUPPEN = 0;          // group count for Generate
    long ITSTIMEOUT = 0;                // time limit in hundredths; 0 none
    long ITSPROGRESS = 0;               // elapsed hundredths, shown by the progress bar
    long ITSPROGRESSMSG = 0, ITSPROGRESSBAR = 0, ITSPERCENTAGE = 0;
    long ITSRECHENZEIT = kRechenzeitProEreignis;  // ms of iterations per timer event; 0: one
    CAZPData* ITSAZP = nullptr;
    const AZPDefinitionen* ITSDEFMANAGER = nullptr;
    std::unique_ptr<CKriterienChecker> ITSCHECKER;
    std::unique_ptr<CAZPBewertung> ITSAZPB;
    // How a candidate is assessed: incrementally (1, the default: only what the move changes is
    // checked again) or by a full evaluation (0, the reference). Both give the same quality bit
    // for bit, so the search makes the same moves either way.
    uint8_t ITSINKREMENTELL = 1;
    std::unique_ptr<CAZPInkrementelleBewertung> ITSINKREMENT;

    void Construct() { ITSANZAHLGRUPPEN = 0; }
    void Destruct() {}

    // Unless getOnly: the group count := value (and the plan's, while the optimiser has one).
    long GroupCount(long value, bool getOnly = false);
    // Unless getOnly: the time limit := value (hundredths, a time value; 0 none).
    long Timeout(long value, bool getOnly = false);

    // Sizes the empty plan to the group count, fills it from the shift demand plan and searches:
    // 1 done, 5 without a group count (nothing changed).
    uint8_t Generate(const CSBPData& sbp, CAZPData& azp, const AZPDefinitionen& pool);
    // The tabu search in its progress window, on the calling (window) thread: 1 when a better
    // plan was found, 5 when not. The plan ends as the best plan met.
    uint8_t Run(CAZPData& azp, const AZPDefinitionen& pool);
    // The quality value of the plan with the search's criteria; the plan is not changed.
    double ComputePlanQuality(CAZPData& azp, const AZPDefinitionen& pool);

    // The clock of the day (hundredths since midnight plus 1); the local time by default.
    using Clock = std::function<long()>;
    void SetClock(Clock clock);
    // A monotonic clock in milliseconds that paces the iterations of a timer event; a steady
    // clock of the system by default.
    using PaceClock = std::function<double()>;
    void SetPaceClock(PaceClock clock);

    // ---- the search in pieces: Run strings them together; tests and measurements use them
    // without the window.

    // Reads "Tabudauer", "Rückschritte" and "Randomity" (each written back at once).
    void ReadParameters();
    // Sets up a search on the plan: checker, evaluation, K, the start time, the first
    // assessment and the best plan, the tabu list. No window.
    void BeginSearch(CAZPData& azp, const AZPDefinitionen& pool);
    // One iteration.
    void Iteration();
    // What a timer event does: iterations until ITSRECHENZEIT milliseconds have passed (at least
    // one); false as soon as one ends with quality 0.0 or after the time limit.
    bool TimerStep();
    // The plan := the best plan; checker, evaluation and tabu list go.
    void EndSearch();
    // Chooses a move and makes it on the plan.
    void MakeMove();
    // Whether the time limit has passed; the stored start and limit stay as they are.
    bool TimeoutReached() const;
    // Elapsed hundredths since the start, across one midnight.
    long Elapsed() const;

    // The state of the search.
    double CurrentQuality() const { return CURRENTQUALITY; }
    double BestQuality() const { return BESTQUALITY; }
    long Improvements() const { return IMPROVEMENTS; }
    long Returns() const { return RETURNS; }
    long LastImprovement() const { return LASTIMPROVEMENT; }
    uint64_t LastMove() const { return LASTMOVE; }
    const CAZPData* BestPlan() const { return BESTPLAN.get(); }
    // The progress window while Run shows it, else nullptr.
    CProgressWindow* Window() const { return WINDOW; }

protected:
    // The quality of the plan after move m, the plan left as it was. A move whose quality is
    // certainly not below `bound` may be given up early: it then answers a value not below it.
    virtual double AssessMove(uint64_t m, double bound = std::numeric_limits<double>::infinity());
    // Evaluation, checker (quick) and quality of the plan as it is.
    virtual double AssessPlan();

private:
    void AddOptimizerCriteria(CKriterienChecker& checker) const;
    void ShowProgress();
    void DoMove(uint64_t m);
    // Move m's day and groups; all zero for a move outside the plan's.
    AZPMove Decode(uint64_t m) const;
    // True when move m would exchange two equal cells (a move that changes nothing).
    bool SwapsEqualCells(uint64_t m) const;
    uint64_t DrawMove();
    std::string ResultText(double quality);

    Clock CLOCK;
    PaceClock PACECLOCK;
    CProgressWindow* WINDOW = nullptr;
    std::vector<AZPMove> PAIRS;      // pair k of a day at k - 1, for the run's group count
    uint32_t PAIRCOUNT = 0;          // P
    std::unique_ptr<CAZPData> BESTPLAN;
    double BESTQUALITY = 0.0;
    double CURRENTQUALITY = 0.0;
    long LASTIMPROVEMENT = 0;
    long IMPROVEMENTS = 0;
    long RETURNS = 0;
    uint8_t RESULT = 5;
    uint64_t LASTMOVE = 0;
    // The quality of the plan as it stands, while known: the plan changes only by moves and
    // returns, and the quality of the move just made was assessed as its candidate.
    double PLANQUALITY = 0.0;
    bool PLANQUALITYVALID = false;
    // What the window shows now.
    long SHOWNITERATION = -1;
    long SHOWNPROGRESS = -1;
    std::string SHOWNPERCENT;
};
