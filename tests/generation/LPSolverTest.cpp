#include "generation/LPSolver.h"

#include "platform/ui/MessageShow.h"
#include "platform/values/Date.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

// Read back what the wrapper handed to the library.
extern "C" long get_timeout(_lprec* lp);

namespace {

struct Row {
    std::vector<double> coefficients;
    int16_t type;
    double rightHandSide;
};

struct Model {
    uint32_t columns;
    std::vector<Row> rows;
    std::vector<double> objective;
    bool integer = true;
    std::optional<double> upperBound = std::nullopt;
};

// Builds the model in the order the shift demand generator does.
void Build(CLPSolver& solver, const Model& model)
{
    solver.Init(model.columns);
    for (const Row& row : model.rows)
        solver.AddConstraint(row.coefficients, row.type, row.rightHandSide);
    if (model.integer)
        solver.SetInt();
    if (model.upperBound)
        solver.SetUpbo(*model.upperBound);
    solver.SetMinim();
    solver.SetObjFn(model.objective);
}

// Two time steps, a long shift covering both (column 1) and a short one for each step.
Model TwoSteps()
{
    return {3, {{{1, 1, 0}, LP_GE, 1}, {{1, 0, 1}, LP_GE, 1}}, {3, 2, 2}};
}

struct OptimumCase {
    const char* name;
    Model model;
    int64_t objective;
    std::vector<int32_t> values;
};

class KnownOptimum : public testing::TestWithParam<OptimumCase> {};

TEST_P(KnownOptimum, SolvesToTheOptimum)
{
    const OptimumCase& c = GetParam();
    CLPSolver solver;
    Build(solver, c.model);
    ASSERT_EQ(solver.Solve(), LP_RESULT_OPTIMAL);
    std::vector<int32_t> values(c.model.columns, -1);
    EXPECT_EQ(solver.GetResult(values), c.objective);
    EXPECT_EQ(values, c.values);
}

INSTANTIATE_TEST_SUITE_P(
    LPSolver, KnownOptimum,
    testing::Values(
        OptimumCase{"LongShiftBeatsTwoShortOnes", TwoSteps(), 3, {1, 0, 0}},
        // The relaxation would take 1.5 of the first column.
        OptimumCase{"IntegerColumnsRoundUp", {2, {{{2, 2}, LP_GE, 3}}, {1, 1.5}}, 2, {2, 0}},
        OptimumCase{"CheapColumnTakesAll", {2, {{{1, 1}, LP_GE, 3}}, {1, 3}}, 3, {3, 0}},
        OptimumCase{"UpperBoundForcesTheDearColumn", {2, {{{1, 1}, LP_GE, 3}}, {1, 3}, true, 2.0},
                    5, {2, 1}},
        OptimumCase{"EqualityRow", {2, {{{1, 1}, LP_EQ, 4}}, {2, 1}}, 4, {0, 4}}),
    [](const testing::TestParamInfo<OptimumCase>& info) { return info.param.name; });

// The generator's sequence: rows as long as its fixed arrays, an optimum held by a less-or-equal
// row while the next objective is solved.
TEST(LPSolver, HoldsAnOptimumWhileTheNextObjectiveIsSolved)
{
    constexpr size_t kArray = 7632;
    auto padded = [](std::vector<double> v) { v.resize(kArray, 0.0); return v; };
    CLPSolver solver;
    solver.Init(3);
    // Two steps; column 1 covers both, columns 2 and 3 one each.
    solver.AddConstraint(padded({1, 1, 0}), LP_GE, 1);
    solver.AddConstraint(padded({1, 0, 1}), LP_GE, 1);
    solver.SetInt();
    solver.SetUpbo(1);
    solver.SetMinim();
    solver.SetTimeout(0);

    // Shortest total length: one long shift (2) or two short ones (1 + 1) tie.
    const std::vector<double> lengths = padded({2, 1, 1});
    solver.SetObjFn(lengths);
    ASSERT_EQ(solver.Solve(), LP_RESULT_OPTIMAL);
    std::vector<int32_t> values(kArray, -1);
    const int64_t optimum = solver.GetResult(values);
    EXPECT_EQ(optimum, 2);
    solver.AddConstraint(lengths, LP_LE, static_cast<double>(optimum));

    // Fewest shifts among those: the long one.
    solver.SetObjFn(padded({1, 1, 1}));
    ASSERT_EQ(solver.Solve(), LP_RESULT_OPTIMAL);
    EXPECT_EQ(solver.GetResult(values), 1);
    EXPECT_EQ(std::vector<int32_t>(values.begin(), values.begin() + 3), (std::vector<int32_t>{1, 0, 0}));
    EXPECT_EQ(values[3], 0);
    EXPECT_EQ(values[kArray - 1], 0);
}

// Values and objectives come back rounded to the nearest whole number, halves away from zero,
// and clipped where they leave the result type.
struct RoundingCase {
    const char* name;
    int16_t type;
    double rightHandSide;
    double cost;
    int32_t value;
    int64_t objective;
};

class Rounding : public testing::TestWithParam<RoundingCase> {};

TEST_P(Rounding, OfValueAndObjective)
{
    const RoundingCase& c = GetParam();
    CLPSolver solver;
    Build(solver, {1, {{{1}, c.type, c.rightHandSide}}, {c.cost}, false});
    ASSERT_EQ(solver.Solve(), LP_RESULT_OPTIMAL);
    int32_t value = -7;
    EXPECT_EQ(solver.GetResult({&value, 1}), c.objective);
    EXPECT_EQ(value, c.value);
}

INSTANTIATE_TEST_SUITE_P(
    LPSolver, Rounding,
    testing::Values(
        RoundingCase{"HalfUp", LP_GE, 0.5, 1, 1, 1},
        RoundingCase{"OneAndAHalf", LP_GE, 1.5, 1, 2, 2},
        RoundingCase{"TwoAndAHalf", LP_GE, 2.5, 1, 3, 3},
        RoundingCase{"BelowHalfDown", LP_GE, 0.4, 1, 0, 0},
        RoundingCase{"NegativeHalf", LP_LE, 0.5, -1, 1, -1},
        RoundingCase{"NegativeOneAndAHalf", LP_LE, 1.5, -1, 2, -2},
        // The cost that keeps a shift out unless nothing else covers the demand.
        RoundingCase{"ObjectiveBeyond32Bits", LP_GE, 3, 4294967295.0, 3, 12884901885},
        RoundingCase{"ValueBeyond32BitsIsClipped", LP_GE, 5e9, 1, std::numeric_limits<int32_t>::max(),
                     5'000'000'000}),
    [](const testing::TestParamInfo<RoundingCase>& info) { return info.param.name; });

TEST(LPSolver, GetResultWithoutArrayGivesTheObjectiveOnly)
{
    CLPSolver solver;
    Build(solver, {2, {{{1, 0}, LP_GE, 1}, {{0, 1}, LP_GE, 2}}, {1, 1}});
    ASSERT_EQ(solver.Solve(), LP_RESULT_OPTIMAL);
    EXPECT_EQ(solver.GetResult(), 3);

    // An array longer than the model gets zeros after its columns.
    std::vector<int32_t> values(4, 99);
    EXPECT_EQ(solver.GetResult(values), 3);
    EXPECT_EQ(values, (std::vector<int32_t>{1, 2, 0, 0}));
}

TEST(LPSolver, ResultCodesMapToThreeValues)
{
    struct Case {
        int code;
        uint8_t result;
    };
    // 0 optimal, -3 no basis factorization package, everything else not optimal.
    for (const Case& c : {Case{0, 1}, Case{-3, 3}, Case{1, 2}, Case{2, 2}, Case{3, 2}, Case{5, 2},
                          Case{6, 2}, Case{7, 2}, Case{-2, 2}, Case{-1, 2}, Case{25, 2}})
        EXPECT_EQ(LPSolveResult(c.code), c.result) << "code " << c.code;
}

TEST(LPSolver, InfeasibleAndUnboundedModelsAreNotOptimal)
{
    CLPSolver infeasible;
    Build(infeasible, {1, {{{1}, LP_GE, 2}, {{1}, LP_LE, 1}}, {1}});
    EXPECT_EQ(infeasible.Solve(), LP_RESULT_NOT_OPTIMAL);

    CLPSolver unbounded;
    Build(unbounded, {1, {{{1}, LP_GE, 1}}, {-1}, false});
    EXPECT_EQ(unbounded.Solve(), LP_RESULT_NOT_OPTIMAL);

    // What the generator reads after a failed solve must not crash or be garbage.
    std::vector<int32_t> values(1, 5);
    infeasible.GetResult(values);
    EXPECT_EQ(values[0], 0);
}

TEST(LPSolver, ModelBeyond16383ColumnsWorks)
{
    constexpr uint32_t n = 16500;
    std::vector<double> ones(n, 1.0);
    std::vector<double> costs(n);
    for (uint32_t k = 0; k < n; ++k)
        costs[k] = n - k;  // the last column is the cheapest
    CLPSolver solver;
    Build(solver, {n, {{ones, LP_GE, 3}}, costs});
    ASSERT_EQ(solver.Solve(), LP_RESULT_OPTIMAL);
    std::vector<int32_t> values(n, -1);
    EXPECT_EQ(solver.GetResult(values), 3);
    EXPECT_EQ(values[n - 1], 3);
    EXPECT_EQ(values[16382], 0);
    EXPECT_EQ(values[0], 0);
}

// A row shorter than the model leaves the other coefficients at 0, not at the row before.
TEST(LPSolver, ShortRowDoesNotKeepTheRowBefore)
{
    CLPSolver solver;
    Build(solver, {2, {{{1, 1}, LP_GE, 2}}, {1}});
    ASSERT_EQ(solver.Solve(), LP_RESULT_OPTIMAL);
    std::vector<int32_t> values(2);
    EXPECT_EQ(solver.GetResult(values), 0);
    EXPECT_EQ(values, (std::vector<int32_t>{0, 2}));
}

TEST(LPSolver, LifecycleIsSafe)
{
    // Nothing before Init.
    CLPSolver idle;
    idle.AddConstraint(std::vector<double>{1}, LP_GE, 1);
    idle.SetObjFn(std::vector<double>{1});
    idle.SetInt();
    idle.SetUpbo(2);
    idle.SetMinim();
    idle.SetTimeout(3);
    EXPECT_EQ(idle.Solve(), LP_RESULT_NOT_OPTIMAL);
    std::vector<int32_t> values(1, 9);
    EXPECT_EQ(idle.GetResult(values), 0);

    // A second Init releases the first model and starts an empty one.
    CLPSolver solver;
    Build(solver, {3, {{{1, 1, 1}, LP_GE, 5}}, {1, 1, 1}});
    ASSERT_EQ(solver.Solve(), LP_RESULT_OPTIMAL);
    EXPECT_EQ(solver.GetResult(), 5);
    solver.ITSNUMBEROFITERATIONS = 4;
    solver.Init(2);
    EXPECT_EQ(solver.ITSNUMBEROFVARIABLES, 2u);
    EXPECT_EQ(solver.ITSNUMBEROFITERATIONS, 0u);
    solver.SetObjFn(std::vector<double>{1, 1});
    ASSERT_EQ(solver.Solve(), LP_RESULT_OPTIMAL);
    EXPECT_EQ(solver.GetResult(), 0);
    // The destructor releases the second model; the leak checker watches both.
}

TEST(LPSolver, TimeLimitIsRoundedUpToWholeSeconds)
{
    struct Case {
        double seconds;
        long limit;
    };
    CLPSolver solver;
    solver.Init(1);
    for (const Case& c : {Case{0, 0}, Case{-4, 0}, Case{0.01, 1}, Case{0.5, 1}, Case{1, 1},
                          Case{1.01, 2}, Case{128.57, 129}}) {
        solver.SetTimeout(c.seconds);
        EXPECT_EQ(get_timeout(solver.ITSLP), c.limit) << c.seconds << " s";
    }
}

TEST(LPSolver, ShowMessageUsesTheMessageBoxWithoutCaption)
{
    std::vector<MessageRequest> shown;
    SetMessageHook([&](const MessageRequest& r) { shown.push_back(r); return 1; });
    CLPSolver solver;
    solver.ShowMessage("Modell ist unlösbar");
    SetMessageHook({});
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Modell ist unlösbar");
    EXPECT_EQ(shown[0].caption, "");
}

// The abort callback asks at most once per quarter second of the shared clock.
class AbortQuestion : public testing::Test {
protected:
    struct AskingSolver : CLPSolver {
        int questions = 0;
        int answer = 0;
        bool fails = false;
        int WantAbort() override
        {
            ++questions;
            if (fails)
                throw std::runtime_error("Frage fehlgeschlagen");
            return answer;
        }
    };

    long now = 0;
    long step = 0;  // added after every reading

    void SetUp() override
    {
        SetLPAbortClock([this] {
            const long t = now;
            now += step;
            return t;
        });
    }
    void TearDown() override { SetLPAbortClock({}); }

    static uint8_t SolveTwoSteps(AskingSolver& solver)
    {
        Build(solver, TwoSteps());
        return solver.Solve();
    }
};

TEST_F(AbortQuestion, AskedOnceAfterMoreThanAQuarterSecond)
{
    now = 1000;
    AskingSolver first;
    EXPECT_EQ(SolveTwoSteps(first), LP_RESULT_OPTIMAL);
    EXPECT_EQ(first.questions, 1);

    // The time of the last question is shared: another solver at 1025 is not asked ...
    now = 1025;
    AskingSolver second;
    EXPECT_EQ(SolveTwoSteps(second), LP_RESULT_OPTIMAL);
    EXPECT_EQ(second.questions, 0);

    // ... at 1026 it is.
    now = 1026;
    EXPECT_EQ(SolveTwoSteps(second), LP_RESULT_OPTIMAL);
    EXPECT_EQ(second.questions, 1);
}

TEST_F(AbortQuestion, AnAnswerOtherThanZeroEndsTheSolve)
{
    now = 1000;
    step = 26;
    AskingSolver solver;
    solver.answer = 1;
    EXPECT_EQ(SolveTwoSteps(solver), LP_RESULT_NOT_OPTIMAL);
    EXPECT_GE(solver.questions, 1);
}

TEST_F(AbortQuestion, AQuestionThatFailsEndsTheSolveWithoutUnwindingThroughTheLibrary)
{
    now = 1000;
    step = 26;
    AskingSolver solver;
    solver.fails = true;
    EXPECT_EQ(SolveTwoSteps(solver), LP_RESULT_NOT_OPTIMAL);
    EXPECT_GE(solver.questions, 1);
}

TEST_F(AbortQuestion, ClockPassingMidnightStillAsks)
{
    now = kClockPerDay - 10;
    AskingSolver solver;
    SolveTwoSteps(solver);
    EXPECT_EQ(solver.questions, 1);

    now = 15;  // 25 hundredths later
    SolveTwoSteps(solver);
    EXPECT_EQ(solver.questions, 1);

    now = 40;  // 50 hundredths later
    SolveTwoSteps(solver);
    EXPECT_EQ(solver.questions, 2);
}

}  // namespace
