#include "generation/LPSolver.h"

#include "platform/ui/MessageShow.h"
#include "platform/values/Date.h"

#include <lpsolve/lp_lib.h>

#include <algorithm>
#include <cmath>
#include <limits>

static_assert(LP_LE == LE && LP_GE == GE && LP_EQ == EQ);

namespace {

// Time of the last abort question, shared by every solver (0 at start).
long lastAbortQuestion = 0;
LPClock abortClock;

long AbortClockNow()
{
    return abortClock ? abortClock() : ClockNow();
}

// Hundredths of a second between two abort questions. A question lets the windows run, so a
// quarter of a second keeps the progress window lively and "Abbrechen" prompt at little cost.
constexpr long kAbortQuestionInterval = 25;

int __WINAPI AbortCallback(lprec*, void* handle)
{
    const long now = AbortClockNow();
    long passed = now - lastAbortQuestion;
    if (passed < 0)
        passed += kClockPerDay;  // the time of day passed midnight
    if (passed <= kAbortQuestionInterval)
        return 0;
    lastAbortQuestion = now;
    // Nothing may unwind through the library's frames: a failed question ends the solve.
    try {
        return static_cast<CLPSolver*>(handle)->WantAbort();
    } catch (...) {
        return 1;
    }
}

// Nearest whole number, halves away from zero, clipped to T.
template <typename T>
T RoundClipped(double value)
{
    if (std::isnan(value))
        return 0;
    const double r = std::round(value);
    // The upper limit of T is not exact as a double; compare against 2^bits instead.
    constexpr double top = -static_cast<double>(std::numeric_limits<T>::min());
    if (r >= top)
        return std::numeric_limits<T>::max();
    if (r < -top)
        return std::numeric_limits<T>::min();
    return static_cast<T>(r);
}

// Columns at most the library takes (it counts in int).
uint32_t ClipColumns(uint32_t n)
{
    return std::min<uint32_t>(n, std::numeric_limits<int>::max() - 1);
}

}  // namespace

uint8_t LPSolveResult(int code)
{
    if (code == OPTIMAL)
        return LP_RESULT_OPTIMAL;
    if (code == NOBFP)
        return LP_RESULT_NO_BFP;
    return LP_RESULT_NOT_OPTIMAL;
}

void SetLPAbortClock(LPClock clock)
{
    abortClock = std::move(clock);
    lastAbortQuestion = 0;
}

void CLPRowBuffer::Reserve(uint32_t n)
{
    if (R.size() < static_cast<size_t>(n) + 1)
        R.resize(static_cast<size_t>(n) + 1, 0.0);
}

CLPSolver::CLPSolver() = default;

CLPSolver::~CLPSolver()
{
    Release();
}

void CLPSolver::Release()
{
    if (ITSLP)
        delete_lp(ITSLP);
    ITSLP = nullptr;
}

int CLPSolver::WantAbort()
{
    return 0;
}

void CLPSolver::ShowMessage(const std::string& text)
{
    MessageRequest request;
    request.text = text;
    MessageShow(request);
}

void CLPSolver::TakeLPEvent(long event)
{
    if (event == 2)
        ++ITSNUMBEROFITERATIONS;
}

void CLPSolver::Init(uint32_t n)
{
    Release();
    n = ClipColumns(n);
    ITSNUMBEROFVARIABLES = n;
    ITSNUMBEROFITERATIONS = 0;
    ITSLP = make_lp(0, static_cast<int>(n));
    if (!ITSLP)
        return;
    REALARRAY.Reserve(n);
    // The library reports every solve on standard output unless told otherwise.
    set_verbose(ITSLP, CRITICAL);
    put_abortfunc(ITSLP, AbortCallback, this);
}

void CLPSolver::LoadRow(std::span<const double> row)
{
    const size_t n = ITSNUMBEROFVARIABLES;
    const size_t count = std::min(row.size(), n);
    double* r = REALARRAY.R.data();
    std::copy_n(row.begin(), count, r + 1);
    // A shorter row must not keep the coefficients of the row before.
    std::fill(r + 1 + count, r + 1 + n, 0.0);
}

void CLPSolver::SetObjFn(std::span<const double> row)
{
    if (!ITSLP)
        return;
    LoadRow(row);
    set_obj_fn(ITSLP, REALARRAY.R.data());
}

void CLPSolver::AddConstraint(std::span<const double> row, int16_t type, double rightHandSide)
{
    if (!ITSLP)
        return;
    LoadRow(row);
    add_constraint(ITSLP, REALARRAY.R.data(), type, rightHandSide);
}

void CLPSolver::SetInt()
{
    if (!ITSLP)
        return;
    for (int j = 1; j <= static_cast<int>(ITSNUMBEROFVARIABLES); ++j) {
        set_int(ITSLP, j, TRUE);
        set_upbo(ITSLP, j, 1e24);
        set_lowbo(ITSLP, j, 0.0);
    }
}

void CLPSolver::SetUpbo(double value)
{
    if (!ITSLP)
        return;
    for (int j = 1; j <= static_cast<int>(ITSNUMBEROFVARIABLES); ++j)
        set_upbo(ITSLP, j, value);
}

void CLPSolver::SetMinim()
{
    if (ITSLP)
        set_minim(ITSLP);
}

void CLPSolver::SetTimeout(double seconds)
{
    if (!ITSLP)
        return;
    long whole = 0;
    if (seconds > 0.0) {
        const double up = std::ceil(seconds);
        whole = up >= static_cast<double>(std::numeric_limits<long>::max())
                    ? std::numeric_limits<long>::max()
                    : static_cast<long>(up);
    }
    set_timeout(ITSLP, whole);
}

uint8_t CLPSolver::Solve()
{
    if (!ITSLP)
        return LP_RESULT_NOT_OPTIMAL;
    reset_basis(ITSLP);
    set_bb_floorfirst(ITSLP, BRANCH_CEILING);
    return LPSolveResult(solve(ITSLP));
}

int64_t CLPSolver::GetResult(std::span<int32_t> out)
{
    if (!ITSLP)
        return 0;
    // The library writes one value per column it holds.
    const int columns = std::max(get_Ncolumns(ITSLP), 0);
    REALARRAY.Reserve(static_cast<uint32_t>(columns));
    // Without a solution the library leaves the array alone: read zeros then, not the last row.
    std::fill(REALARRAY.R.begin(), REALARRAY.R.end(), 0.0);
    get_variables(ITSLP, REALARRAY.R.data());
    const size_t count = std::min({out.size(), static_cast<size_t>(ITSNUMBEROFVARIABLES),
                                   static_cast<size_t>(columns)});
    for (size_t k = 0; k < count; ++k)
        out[k] = RoundClipped<int32_t>(REALARRAY.R[k]);
    std::fill(out.begin() + static_cast<std::ptrdiff_t>(count), out.end(), 0);
    return RoundClipped<int64_t>(get_objective(ITSLP));
}
