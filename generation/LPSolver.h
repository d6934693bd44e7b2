#pragma once
// CLPSolver: one mixed-integer model of the lp_solve library. The shift demand generator makes one
// per day model, fills it row by row, solves it for several objectives in turn and reads the
// solution back as whole numbers.
//
// Columns are numbered 1 .. n in the model; the rows and the solution handed in and out here are
// plain arrays whose element k belongs to column k + 1. Library failures (a refused row or bound)
// are not reported; the caller learns only the result of Solve.
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

struct _lprec;

// Constraint types, as lp_solve numbers them.
constexpr int16_t LP_LE = 1;
constexpr int16_t LP_GE = 2;
constexpr int16_t LP_EQ = 3;

// Results of Solve.
constexpr uint8_t LP_RESULT_OPTIMAL = 1;
constexpr uint8_t LP_RESULT_NOT_OPTIMAL = 2;  // sub-optimal, infeasible, unbounded, time-out, aborted ...
constexpr uint8_t LP_RESULT_NO_BFP = 3;       // the library's code -3

// The result of Solve for a return code of lp_solve's solve.
uint8_t LPSolveResult(int code);

// The row in lp_solve's layout: element 0 unused, column j in element j; the solution is read
// into elements 0 .. n - 1. It is sized for the model, so any number of columns fits.
class CLPRowBuffer {
public:
    std::vector<double> R;

    // At least n columns (n + 1 elements); never shrinks.
    void Reserve(uint32_t n);
};

class CLPSolver {
public:
    CLPSolver();
    virtual ~CLPSolver();
    CLPSolver(const CLPSolver&) = delete;
    CLPSolver& operator=(const CLPSolver&) = delete;

    // Asked by the abort callback at most four times a second; non-zero ends the solve. 0 here.
    virtual int WantAbort();
    // Shows a text of the solver in the message box, without caption.
    virtual void ShowMessage(const std::string& text);
    // A solver event: 2 counts one iteration, every other number is ignored.
    virtual void TakeLPEvent(long event);

    // A new model of n columns and no rows; a model made before is released.
    void Init(uint32_t n);

    // The objective; coefficients beyond the row count as 0, those beyond the model are ignored.
    void SetObjFn(std::span<const double> row);
    // A row: sum of row[k] * column k+1 (type: LP_LE, LP_GE, LP_EQ) rightHandSide.
    void AddConstraint(std::span<const double> row, int16_t type, double rightHandSide);
    // Every column integer, bounded to 0 .. 1e24.
    void SetInt();
    // Upper bound of every column.
    void SetUpbo(double value);
    void SetMinim();
    // Time limit per solve; 0 (or less) means none. The library counts whole seconds, so a part of
    // a second is rounded up: a short limit must not turn into no limit.
    void SetTimeout(double seconds);

    // LP_RESULT_OPTIMAL, LP_RESULT_NOT_OPTIMAL or LP_RESULT_NO_BFP.
    uint8_t Solve();

    // The objective value of the last solve rounded to a whole number (halves away from zero);
    // when out is given, out[k] := the value of column k + 1 rounded the same way, for as many
    // columns as out and the model hold (the rest of out is 0). Values beyond the result type are
    // clipped to its range.
    int64_t GetResult(std::span<int32_t> out = {});

    CLPRowBuffer REALARRAY;
    _lprec* ITSLP = nullptr;
    uint32_t ITSNUMBEROFVARIABLES = 0;
    uint32_t ITSNUMBEROFITERATIONS = 0;

private:
    void LoadRow(std::span<const double> row);
    void Release();
};

// The clock the abort callback reads, in hundredths of a second (time of day by default).
// Installing one (an empty function restores the default) also clears the time of the last
// abort question, which all solvers share.
using LPClock = std::function<long()>;
void SetLPAbortClock(LPClock clock);
