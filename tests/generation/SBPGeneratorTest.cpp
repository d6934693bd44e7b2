#include "generation/SBPGenerator.h"

#include "assessment/KriterienArbeitszeit.h"
#include "assessment/Kriterium.h"
#include "assessment/RahmenbedingungPausen.h"
#include "assessment/RahmenbedingungSchichten.h"
#include "core/Schicht.h"
#include "core/TimeHelpers.h"
#include "generation/LPSolver.h"
#include "generation/ProgressWindow.h"
#include "platform/headless/HeadlessDriver.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"
#include "plans/AKBData.h"
#include "plans/SBPData.h"
#include "plans/Schichttypen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

// Read back what the generator handed to the library.
extern "C" long get_timeout(_lprec* lp);

namespace {

constexpr uint32_t kDay = 1440;

// The clock value of hh:mm.
constexpr int32_t T(int hours, int minutes = 0) { return hours * 360'000 + minutes * 6'000 + 1; }
// Minute stamp of day d at hh:mm.
uint32_t At(uint32_t day, int hh, int mm = 0) { return (day - 1) * kDay + uint32_t(hh * 60 + mm); }

// A pricing criterion whose price the test decides.
class PriceStub : public CKriterium, public ISTLPCost {
public:
    using Price = std::function<double(const CSchicht&, uint16_t day)>;
    PriceStub(long number, Price p) : price(std::move(p))
    {
        NUMMER = number;
        AKTIVIERT = 1;
    }
    double GetCost(const CSchicht& shift, uint16_t day, uint8_t) override
    {
        ++calls;
        return price(shift, day);
    }
    uint8_t IsActive() override { return AKTIVIERT; }
    Price price;
    long calls = 0;
};

// A staff demand, an empty plan with its shift types and the definitions the generator reads.
struct Fixture {
    explicit Fixture(uint16_t weeks = 1)
    {
        akb.SetBezugsrahmen(weeks);
        plan.SetSchichttypen(&types);
        plan.SetBezugsrahmen(weeks);
    }
    // Demand of n persons from..to (minute stamps, one block).
    void Demand(uint32_t from, uint32_t to, unsigned n) { akb.MergeDemand({{from, to}, uint8_t(n)}, true); }
    // One person 08:00-16:00 on each of the days, covered by shifts of exactly eight hours.
    void DayShifts(std::initializer_list<uint32_t> days = {1, 2, 3, 4, 5, 6, 7})
    {
        Lengths(T(8), T(8));
        for (uint32_t d : days)
            Demand(At(d, 8), At(d, 16), 1);
    }
    // KR6 on, with shift lengths between the two times.
    void Lengths(int32_t minimum, int32_t maximum)
    {
        rb10.SL_DAUER_MIN = minimum;
        rb10.SL_DAUER_MAX = maximum;
        kr6.AKTIVIERT = 1;
        kr6.SetRahmenbedingung(&rb10);
        pool.RB10 = &rb10;
        pool.KRITERIEN.push_back(&kr6);
    }
    void OperatingDay(int32_t clock)
    {
        rb8.BETRIEBSTAGSBEGINN = clock;
        pool.RB8 = &rb8;
    }
    // The position windows of the installed defaults: night 23:00 for 7 hours (more than 2),
    // early shifts begin 04:00-07:00, day shifts 07:00-12:00.
    void Positions()
    {
        rb1.NACHTAZ_ANFANG = T(23);
        rb1.NACHTAZ_LAENGE = T(7);
        rb1.NACHTAZ_DAUER_MIN = T(2);
        rb2.FS_VON = T(4);
        rb2.FS_BIS = T(7);
        rb3.TS_VON = T(7);
        rb3.TS_BIS = T(12);
        pool.RB1 = &rb1;
        pool.RB2 = &rb2;
        pool.RB3 = &rb3;
    }
    PriceStub& Price(long number, PriceStub::Price p)
    {
        stubs.push_back(std::make_unique<PriceStub>(number, std::move(p)));
        pool.KRITERIEN.push_back(stubs.back().get());
        return *stubs.back();
    }

    // Start and every step: the result.
    uint8_t Generate(CSBPGenerator& g)
    {
        g.Start(akb, plan, pool);
        while (g.Step()) {
        }
        return g.Result();
    }

    // The count of day d of the shift type from..to (minutes of day 1); -1 when there is no such
    // shift type.
    int Count(uint32_t day, uint32_t from, uint32_t to) const
    {
        const CSchicht* s = types.FindByTermin({from, to});
        return s ? plan.GetCountBySysId(day, s->SYSID) : -1;
    }
    // Every non-zero count as (day, begin, end) -> count.
    std::map<std::tuple<uint32_t, uint32_t, uint32_t>, int> Counts() const
    {
        std::map<std::tuple<uint32_t, uint32_t, uint32_t>, int> out;
        for (long i = 1; i <= types.Count(); ++i) {
            const CSchicht* s = types.GetByIndex(i);
            for (uint32_t d = 1; d <= plan.CountDays(); ++d)
                if (int n = plan.GetCountBySysId(d, s->SYSID))
                    out[{d, s->TERMIN.BEGINN, s->TERMIN.ENDE}] = n;
        }
        return out;
    }

    CAKBData akb;
    CSchichttypen types;
    CSBPData plan;
    SBPDefinitionen pool;
    CRahmenbedingungNachtschicht rb1;
    CRahmenbedingungFruehschicht rb2;
    CRahmenbedingungTagschicht rb3;
    CRahmenbedingungBetriebstagsbeginn rb8;
    CRahmenbedingungSchichtzeit rb10;
    CKriteriumSchichtlaenge kr6;
    std::vector<std::unique_ptr<PriceStub>> stubs;
};

// A generator whose solve fails on the days and objectives listed, and that records the time
// limit each model was given.
class FailingGenerator : public CSBPGenerator {
public:
    std::vector<std::pair<long, int>> failures;  // (day, objective)
    std::vector<long> timeouts;
    std::vector<long> solvedDays;

protected:
    uint8_t SolveModel(CLPSolver& lp, long day, int objective) override
    {
        timeouts.push_back(get_timeout(lp.ITSLP));
        if (objective == 1)
            solvedDays.push_back(day);
        if (std::find(failures.begin(), failures.end(), std::pair{day, objective}) != failures.end())
            return LP_RESULT_NOT_OPTIMAL;
        return CSBPGenerator::SolveModel(lp, day, objective);
    }
};

// ---- the column map ------------------------------------------------------------------------------

TEST(SBPVariableMap, ColumnsRunThroughTheLengthsOfOneStartStepThenTheNextStep)
{
    CSBPVariableMap map;
    map.Init(3, 4, 30, 120, 360);  // 3 steps, lengths 4..7 steps of 30 minutes from 06:00
    EXPECT_EQ(map.Count(), 12);
    struct Case {
        long j, start, length;
        ::TERMIN span;
    };
    for (const Case& c : {Case{1, 0, 4, {360, 480}}, Case{4, 0, 7, {360, 570}}, Case{5, 1, 4, {390, 510}},
                          Case{12, 2, 7, {420, 630}}}) {
        SCOPED_TRACE(c.j);
        EXPECT_EQ(map.GetStart(c.j), c.start);
        EXPECT_EQ(map.GetLength(c.j), c.length);
        EXPECT_EQ(map.GetTermin(c.j), c.span);
    }
    // Column 5 starts at step 1 and lasts 4: it works during steps 2 to 5.
    std::vector<bool> covers;
    for (long t = 1; t <= 6; ++t)
        covers.push_back(map.Covers(5, t));
    EXPECT_EQ(covers, std::vector<bool>({false, true, true, true, true, false}));
}

TEST(SBPVariableMap, AShiftBeginningAfterMidnightLiesOnTheNextDay)
{
    CSBPVariableMap map;
    map.Init(24, 1, 60, 240, 1320);  // from 22:00
    EXPECT_EQ(map.GetTermin(3), (::TERMIN{1440, 1680}));
}

// ---- the first objective against an exhaustive search ---------------------------------------------

// Smallest total length in steps of shifts (start step s, length lmin..lmax) such that in every
// step strength x shifts at work >= demand, with at most `bound` shifts of one kind.
class Exhaustive {
public:
    Exhaustive(std::vector<int> demand, int strength, int lmin, int lmax)
        : demand_(std::move(demand)), strength_(strength), lmin_(lmin), lmax_(lmax)
    {
        const int peak = *std::max_element(demand_.begin(), demand_.end());
        bound_ = (peak - 1) / strength_ + 1;
        work_.assign(demand_.size(), 0);
    }
    int Best()
    {
        Search(0);
        return best_;
    }

private:
    void Search(int total)
    {
        // Every missing person-step needs a shift-step of its own.
        int missing = 0;
        for (size_t k = 0; k < demand_.size(); ++k)
            missing += std::max(0, (demand_[k] + strength_ - 1) / strength_ - work_[k]);
        if (total + missing >= best_)
            return;
        size_t u = 0;
        while (u < demand_.size() && strength_ * work_[u] >= demand_[u])
            ++u;
        if (u == demand_.size()) {
            best_ = total;
            return;
        }
        // Some shift works during step u; try every one, longest first.
        for (int length = lmax_; length >= lmin_; --length)
            for (int s = int(u); s >= 0 && s + length > int(u); --s) {
                int& used = count_[{s, length}];
                if (used == bound_)
                    continue;
                ++used;
                for (int k = s; k < s + length && k < int(work_.size()); ++k)
                    ++work_[size_t(k)];
                Search(total + length);
                for (int k = s; k < s + length && k < int(work_.size()); ++k)
                    --work_[size_t(k)];
                --used;
            }
    }

    std::vector<int> demand_;
    int strength_, lmin_, lmax_, bound_ = 0;
    std::vector<int> work_;
    std::map<std::pair<int, int>, int> count_;
    int best_ = 1 << 30;
};

struct DemandCase {
    const char* name;
    uint16_t grid;                                      // minutes
    std::vector<std::tuple<int, int, int>> spans;       // from, to (minutes of day 1), persons
    int strength;
    int32_t minLength, maxLength;                       // KR6's limits; 0: KR6 off
};

class FirstObjective : public testing::TestWithParam<DemandCase> {};

TEST_P(FirstObjective, EqualsTheExhaustiveOptimum)
{
    const DemandCase& c = GetParam();
    Fixture f;
    std::vector<int> demand(kDay / c.grid, 0);
    for (auto [from, to, n] : c.spans) {
        f.Demand(uint32_t(from), uint32_t(to), unsigned(n));
        for (int m = from; m < to; m += c.grid)
            demand[size_t(m / c.grid)] = n;
    }
    // The model's steps run from midnight to the end of the last step with demand.
    while (!demand.empty() && demand.back() == 0)
        demand.pop_back();
    int lmin = 60 / c.grid, lmax = int(kDay / c.grid);
    if (c.maxLength) {
        f.Lengths(c.minLength, c.maxLength);
        lmin = int((TimeToMinutes(c.minLength) + c.grid - 1) / c.grid);
        lmax = int(TimeToMinutes(c.maxLength) / c.grid);
    }
    CSBPGenerator g;
    g.TimeGrid(c.grid);
    g.GroupStrength(c.strength);
    ASSERT_EQ(f.Generate(g), SBP_KOMPLETT);
    const SBPTagesergebnis day = g.Tagesergebnis(1);
    ASSERT_EQ(day.STATUS, SBPTagesergebnis::GESCHRIEBEN);
    EXPECT_EQ(day.ZIELWERT[0], Exhaustive(demand, c.strength, lmin, lmax).Best());

    // What was written covers the demand and adds up to the optimum.
    std::vector<int> work(demand.size(), 0);
    int64_t total = 0;
    for (const auto& [key, n] : f.Counts()) {
        auto [d, b, e] = key;
        EXPECT_EQ(d, 1u);
        total += int64_t(n) * (e - b) / c.grid;
        for (uint32_t m = b; m < e && m / c.grid < work.size(); m += c.grid)
            work[m / c.grid] += n * c.strength;
    }
    EXPECT_EQ(total, day.ZIELWERT[0]);
    for (size_t u = 0; u < demand.size(); ++u)
        EXPECT_GE(work[u], demand[u]) << "step " << u;
}

INSTANTIATE_TEST_SUITE_P(
    SmallDemands, FirstObjective,
    testing::Values(
        DemandCase{"Block", 60, {{480, 960, 3}}, 1, 0, 0},
        DemandCase{"Peak", 60, {{360, 600, 2}, {600, 720, 4}, {720, 840, 2}}, 1, 0, 0},
        DemandCase{"StrengthRoundsUp", 60, {{480, 720, 3}}, 2, 0, 0},
        DemandCase{"ShortDemandLongShift", 60, {{480, 600, 1}}, 1, T(3), T(4)},
        DemandCase{"TwoShiftsInALongDay", 60, {{360, 1200, 1}}, 1, T(6), T(8)},
        DemandCase{"Steps", 60, {{360, 480, 1}, {480, 720, 3}, {720, 900, 2}, {900, 1080, 1}}, 2, T(4), T(6)},
        DemandCase{"HalfHours", 30, {{480, 570, 2}, {570, 660, 1}}, 1, T(1), T(2)},
        DemandCase{"HalfHourLimitsRounded", 30, {{420, 780, 2}, {780, 900, 3}}, 2, T(2, 45), T(4, 50)}),
    [](const testing::TestParamInfo<DemandCase>& info) { return std::string(info.param.name); });

// ---- the whole day's demand -------------------------------------------------------------------------

// A weekday of a round-the-clock operation with odd head counts, every length from one hour: the
// optimum is the sum over the steps of the groups each step needs, and it must be found well
// within a second per solve, whatever the group strength.
struct FullDayCase {
    int strength;
    uint16_t grid;
};

class FullDay : public testing::TestWithParam<FullDayCase> {};

TEST_P(FullDay, IsSolvedAtOnceForAnyGroupStrength)
{
    const FullDayCase& c = GetParam();
    const std::vector<std::tuple<int, int, int>> spans = {
        {0, 360, 3}, {360, 540, 6}, {540, 720, 9}, {720, 1320, 5}, {1320, 1440, 3}};
    Fixture f;
    std::vector<int> groups;  // per step
    for (auto [from, to, n] : spans) {
        f.Demand(uint32_t(from), uint32_t(to), unsigned(n));
        for (int m = from; m < to; m += c.grid)
            groups.push_back((n + c.strength - 1) / c.strength);
    }
    FailingGenerator g;
    g.TimeGrid(c.grid);
    g.GroupStrength(c.strength);
    g.Timeout(7 * 100);  // one second a solve
    ASSERT_EQ(f.Generate(g), SBP_KOMPLETT);
    ASSERT_EQ(g.Tagesergebnis(1).STATUS, SBPTagesergebnis::GESCHRIEBEN);
    EXPECT_EQ(g.timeouts.front(), 1);
    int64_t lowest = 0;
    for (int n : groups)
        lowest += n;
    EXPECT_EQ(g.Tagesergebnis(1).ZIELWERT[0], lowest);

    std::vector<int> work(groups.size(), 0);
    for (const auto& [key, n] : f.Counts()) {
        auto [d, b, e] = key;
        for (uint32_t m = b; m < e && m / c.grid < work.size(); m += c.grid)
            work[m / c.grid] += n;
    }
    EXPECT_EQ(work, groups);
}

INSTANTIATE_TEST_SUITE_P(Strengths, FullDay,
                         testing::Values(FullDayCase{1, 60}, FullDayCase{2, 60}, FullDayCase{3, 60},
                                         FullDayCase{2, 30}),
                         [](const testing::TestParamInfo<FullDayCase>& info) {
                             return "Strength" + std::to_string(info.param.strength) + "Grid" +
                                    std::to_string(info.param.grid);
                         });

TEST(SBPGenerator, DemandWithinOneStepIsCoveredAtItsPeak)
{
    struct Case {
        const char* what;
        std::vector<std::tuple<int, int, int>> spans;  // from, to (minutes of day 1), persons
        int persons;                                   // to work 08:00-09:00
    };
    for (const Case& c : {Case{"half an hour inside the step", {{495, 525, 1}}, 1},
                          Case{"a peak inside a busy hour", {{480, 540, 2}, {500, 520, 5}}, 5},
                          Case{"one minute at the step's end", {{539, 540, 3}}, 3}}) {
        SCOPED_TRACE(c.what);
        Fixture f;
        for (auto [from, to, n] : c.spans)
            f.Demand(uint32_t(from), uint32_t(to), unsigned(n));
        CSBPGenerator g;
        ASSERT_EQ(f.Generate(g), SBP_KOMPLETT);
        EXPECT_EQ(g.Tagesergebnis(1).STATUS, SBPTagesergebnis::GESCHRIEBEN);
        EXPECT_EQ(f.Counts(), (std::map<std::tuple<uint32_t, uint32_t, uint32_t>, int>{{{1, 480, 540}, c.persons}}));
    }
}

// ---- the later objectives ---------------------------------------------------------------------------

TEST(SBPGenerator, AStrainPricedShiftIsUsedOnlyWhenNothingElseCovers)
{
    // Lengths 4 to 10 hours; the strain criterion rejects shifts of 8 hours or more.
    const auto longShifts = [](const CSchicht& s, uint16_t) { return s.TERMIN.ENDE - s.TERMIN.BEGINN >= 480 ? 1.0 : 0.0; };
    {
        Fixture f;
        f.Demand(At(1, 8), At(1, 16), 1);
        f.Lengths(T(4), T(10));
        f.Price(19, longShifts);
        CSBPGenerator g;
        ASSERT_EQ(f.Generate(g), SBP_KOMPLETT);
        EXPECT_EQ(g.Tagesergebnis(1).ZIELWERT[0], 8);  // two shorter shifts, not one of 8 hours
    }
    {
        // Only 8 to 10 hours are allowed: two rejected shifts for two persons, an optimum
        // beyond 32 bits.
        Fixture f;
        f.Demand(At(1, 8), At(1, 16), 2);
        f.Lengths(T(8), T(10));
        f.Price(19, longShifts);
        CSBPGenerator g;
        ASSERT_EQ(f.Generate(g), SBP_KOMPLETT);
        EXPECT_EQ(g.Tagesergebnis(1).ZIELWERT[0], 2 * 4294967295LL);
    }
}

TEST(SBPGenerator, AStrainPriceDoesNotCostTheLaterObjectives)
{
    // A weekday of a round-the-clock operation on a grid of 30 minutes; shifts of 8 hours and
    // more are rejected by the strain criterion, shifts beginning before 06:00 disturb the night.
    // The row that holds the first optimum then mixes 4294967295 with lengths of a few steps.
    Fixture f;
    f.OperatingDay(T(6));
    f.Lengths(T(6), T(8, 30));
    f.Demand(At(1, 0), At(1, 6), 3);
    f.Demand(At(1, 6), At(1, 9), 6);
    f.Demand(At(1, 9), At(1, 12), 9);
    f.Demand(At(1, 12), At(1, 14), 6);
    f.Demand(At(1, 14), At(1, 22), 5);
    f.Demand(At(1, 22), At(2, 0), 3);
    f.Demand(At(2, 0), At(2, 6), 3);
    f.Price(19, [](const CSchicht& s, uint16_t) { return s.TERMIN.ENDE - s.TERMIN.BEGINN >= 480 ? 1.0 : 0.0; });
    f.Price(12, [](const CSchicht& s, uint16_t) { return s.TERMIN.BEGINN % kDay < 360 ? 1.0 : 0.0; });
    CSBPGenerator g;
    g.TimeGrid(30);
    ASSERT_EQ(f.Generate(g), SBP_KOMPLETT);
    const SBPTagesergebnis r = g.Tagesergebnis(1);
    EXPECT_LT(r.ZIELWERT[0], 4294967295LL);
    EXPECT_EQ(r.ZIELFUNKTIONEN, 4);
}

TEST(SBPGenerator, FewestDisturbingShiftsAmongTheShortestCovers)
{
    // 04:00-12:00 is covered by one shift of 8 hours or by two of 4; the relevant-times price
    // rejects shifts longer than 4 hours.
    Fixture f;
    f.Demand(At(1, 4), At(1, 12), 1);
    f.Lengths(T(4), T(8));
    PriceStub& kr12 =
        f.Price(12, [](const CSchicht& s, uint16_t) { return s.TERMIN.ENDE - s.TERMIN.BEGINN > 240 ? 5.0 : 0.0; });
    CSBPGenerator g;
    ASSERT_EQ(f.Generate(g), SBP_KOMPLETT);
    const SBPTagesergebnis r = g.Tagesergebnis(1);
    EXPECT_EQ(r.ZIELWERT[0], 8);
    EXPECT_EQ(r.ZIELWERT[1], 0);
    EXPECT_EQ(f.Count(1, 240, 480), 1);
    EXPECT_EQ(f.Count(1, 480, 720), 1);
    EXPECT_EQ(f.Count(1, 240, 720), -1);
    EXPECT_GT(kr12.calls, 0);

    // Switched off, the pair prices nothing.
    Fixture off;
    off.Demand(At(1, 4), At(1, 12), 1);
    off.Lengths(T(4), T(8));
    off.Price(12, [](const CSchicht&, uint16_t) { return 1.0; }).AKTIVIERT = 0;
    CSBPGenerator g2;
    ASSERT_EQ(off.Generate(g2), SBP_KOMPLETT);
    EXPECT_EQ(g2.Tagesergebnis(1).ZIELWERT[1], 0);
}

TEST(SBPGenerator, AFractionalCostOptimumStillLeavesRoomForTheLastObjective)
{
    // Every shift costs 0.3: the cost optimum 0.3 must not be held as 0, which no plan meets.
    Fixture f;
    f.Demand(At(1, 8), At(1, 16), 1);
    f.Lengths(T(4), T(8));
    std::vector<uint16_t> days;
    f.Price(21, [&](const CSchicht& s, uint16_t day) {
        days.push_back(day);
        EXPECT_LT(s.TERMIN.BEGINN, kDay);  // on day 1, as the shift type will lie
        return 0.3;
    });
    CSBPGenerator g;
    ASSERT_EQ(f.Generate(g), SBP_KOMPLETT);
    const SBPTagesergebnis r = g.Tagesergebnis(1);
    EXPECT_EQ(r.ZIELFUNKTIONEN, 4);
    EXPECT_EQ(r.ZIELWERT[2], 0);  // 0.3 rounded
    EXPECT_EQ(r.ZIELWERT[3], 0);  // one shift of exactly the longest length
    EXPECT_EQ(f.Count(1, 480, 960), 1);
    ASSERT_FALSE(days.empty());
    EXPECT_EQ(days.front(), 1);
}

TEST(SBPGenerator, TheLastObjectiveTakesAWholeDayAsTheLongestLength)
{
    // A day of demand is covered as shortly by one shift of 24 hours as by two of 12; the length
    // nearest the longest allowed (24:00) is the whole day, not two halves.
    Fixture f;
    f.Demand(At(1, 0), At(2, 0), 1);
    f.Lengths(T(12), T(24));
    CSBPGenerator g;
    ASSERT_EQ(f.Generate(g), SBP_KOMPLETT);
    const SBPTagesergebnis r = g.Tagesergebnis(1);
    EXPECT_EQ(r.ZIELFUNKTIONEN, 4);
    EXPECT_EQ(r.ZIELWERT[0], 24);
    EXPECT_EQ(r.ZIELWERT[3], 0);
    EXPECT_EQ(f.Count(1, 0, kDay), 1);
    EXPECT_EQ(f.Count(1, 0, 720), -1);
}

TEST(SBPGenerator, ObjectivesWhoseCriterionIsOffAreSkippedAndTheProgressStillCountsTen)
{
    Fixture f;
    f.Demand(At(1, 8), At(1, 16), 1);
    f.Demand(At(2, 8), At(2, 16), 1);
    CSBPGenerator g;
    g.Start(f.akb, f.plan, f.pool);
    EXPECT_EQ(g.Message(), "Der Schichtbedarfsplan wird errechnet. Bitte warten...");
    EXPECT_EQ(g.ProgressRange(), 70);
    ASSERT_TRUE(g.Step());  // the operating-day start
    EXPECT_EQ(g.ITSPROGRESS, 0);
    ASSERT_TRUE(g.Step());  // day 1
    EXPECT_EQ(g.ITSPROGRESS, 10);
    EXPECT_EQ(g.Percentage(), "14% fertiggestellt");
    EXPECT_EQ(g.Message(), "Schichtbedarf für Tag 1 eintragen...");
    EXPECT_EQ(g.Tagesergebnis(1).ZIELFUNKTIONEN, 2);
    ASSERT_TRUE(g.Step());
    EXPECT_EQ(g.ITSPROGRESS, 20);
    while (g.Step()) {
    }
    EXPECT_EQ(g.ITSPROGRESS, 20);  // days without demand show nothing
    EXPECT_EQ(g.Result(), SBP_KOMPLETT);
}

// ---- result codes ----------------------------------------------------------------------------------

struct ResultCase {
    const char* name;
    std::vector<uint32_t> demandDays;          // days with demand 08:00-16:00
    std::vector<std::pair<long, int>> failures;
    long cancelAfterSteps;                     // -1: never
    uint8_t result;
    std::vector<uint32_t> written;             // days with a count
};

class ResultCodes : public testing::TestWithParam<ResultCase> {};

TEST_P(ResultCodes, FollowDoneFailedAndCancelledDays)
{
    const ResultCase& c = GetParam();
    Fixture f;
    f.Lengths(T(8), T(8));
    for (uint32_t d : c.demandDays)
        f.Demand(At(d, 8), At(d, 16), 1);
    FailingGenerator g;
    g.failures = c.failures;
    g.Start(f.akb, f.plan, f.pool);
    for (long steps = 0;; ++steps) {
        if (steps == c.cancelAfterSteps)
            g.Cancel();
        if (!g.Step())
            break;
    }
    EXPECT_EQ(g.Result(), c.result);
    std::vector<uint32_t> written;
    for (uint32_t d = 1; d <= 7; ++d)
        if (f.Count(d, 480, 960) > 0)
            written.push_back(d);
    EXPECT_EQ(written, c.written);
    // Nothing is computed after a failed day.
    for (auto [day, objective] : c.failures) {
        if (objective == 1) {
            for (long d : g.solvedDays)
                EXPECT_LE(d, day);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Days, ResultCodes,
    testing::Values(
        ResultCase{"AllDaysWritten", {1, 2, 3, 4, 5, 6, 7}, {}, -1, SBP_KOMPLETT, {1, 2, 3, 4, 5, 6, 7}},
        ResultCase{"DaysWithoutDemandAreDone", {3}, {}, -1, SBP_KOMPLETT, {3}},
        ResultCase{"NoDemandAtAll", {}, {}, -1, SBP_KOMPLETT, {}},
        ResultCase{"FailureKeepsTheDaysBefore", {1, 2, 3, 4, 5}, {{3, 1}}, -1, SBP_TEILWEISE, {1, 2}},
        ResultCase{"FailureOnTheFirstDay", {1, 2}, {{1, 1}}, -1, SBP_KEINER, {}},
        ResultCase{"ADayWithoutDemandBeforeAFailure", {2}, {{2, 1}}, -1, SBP_TEILWEISE, {}},
        ResultCase{"ALaterObjectiveFailingKeepsTheFirst", {1, 2}, {{2, 2}}, -1, SBP_KOMPLETT, {1, 2}},
        ResultCase{"CancelBeforeTheFirstStep", {1, 2}, {}, 0, SBP_KEINER, {}},
        ResultCase{"CancelAfterTwoDays", {1, 2, 3}, {}, 3, SBP_TEILWEISE, {1, 2}}),
    [](const testing::TestParamInfo<ResultCase>& info) { return std::string(info.param.name); });

// ---- booking and shift types ---------------------------------------------------------------------

TEST(SBPGenerator, ShiftsAfterMidnightOfTheOperatingDayAreBookedOnTheNextDayAndTheLastDayWraps)
{
    Fixture f;
    f.OperatingDay(T(6));
    f.Lengths(T(4), T(4));
    f.Demand(At(3, 0), At(3, 4), 1);  // in day 2's operating day
    f.Demand(At(1, 0), At(1, 4), 2);  // in day 7's
    CSBPGenerator g;
    ASSERT_EQ(f.Generate(g), SBP_KOMPLETT);
    EXPECT_EQ(g.ITSBETRIEBSTAGSANFANG, 360);  // a first entry at midnight does not move it
    EXPECT_EQ(f.Counts(), (std::map<std::tuple<uint32_t, uint32_t, uint32_t>, int>{{{1, 0, 240}, 2}, {{3, 0, 240}, 1}}));
    EXPECT_EQ(g.Tagesergebnis(2).STATUS, SBPTagesergebnis::GESCHRIEBEN);
    EXPECT_EQ(g.Tagesergebnis(7).STATUS, SBPTagesergebnis::GESCHRIEBEN);
    EXPECT_EQ(g.Tagesergebnis(1).STATUS, SBPTagesergebnis::OHNE_BEDARF);
}

TEST(SBPGenerator, TheOperatingDayStartsAtTheEarliestFirstEntryBeforeNine)
{
    struct Case {
        int32_t rb8;
        std::vector<std::pair<int, int>> firstEntries;  // day, minute of the day
        uint16_t start;
    };
    for (const Case& c : {Case{T(6), {{1, 7 * 60}, {2, 5 * 60}, {3, 4 * 60 + 30}}, 270},
                          Case{T(6), {{1, 0}, {2, 9 * 60}}, 360},
                          Case{T(10), {{1, 9 * 60}, {2, 8 * 60}}, 480},
                          Case{T(24), {{1, 10 * 60}}, 0}}) {
        Fixture f;
        f.OperatingDay(c.rb8);
        for (auto [day, minute] : c.firstEntries)
            f.Demand(At(uint32_t(day), 0) + uint32_t(minute), At(uint32_t(day), 0) + uint32_t(minute) + 60, 1);
        CSBPGenerator g;
        g.Start(f.akb, f.plan, f.pool);
        g.Step();
        EXPECT_EQ(g.ITSBETRIEBSTAGSANFANG, c.start) << c.rb8;
    }
}

TEST(SBPGenerator, AnOperatingDayBeginningAt24IsTheDayItself)
{
    Fixture f;
    f.OperatingDay(T(24));
    f.Lengths(T(4), T(4));
    f.Demand(At(2, 10), At(2, 14), 1);
    f.Demand(At(7, 22), At(7, 24), 1);
    CSBPGenerator g;
    ASSERT_EQ(f.Generate(g), SBP_KOMPLETT);
    EXPECT_EQ(f.Count(2, 600, 840), 1);
    EXPECT_EQ(f.Count(1, 600, 840), 0);
    // The late demand of the last day stays on it: a shift from 20:00 covers it.
    EXPECT_EQ(f.Counts().count({7, 1200, 1440}) + f.Counts().count({7, 1260, 1500}) +
                  f.Counts().count({7, 1320, 1560}),
              1u);
}

TEST(SBPGenerator, NewShiftTypesAreNamedByPositionClassAndCountsFindTheirRowsBySysId)
{
    Fixture f;
    f.OperatingDay(T(6));
    f.Positions();
    f.Lengths(T(8), T(8));
    // A shift type that is there already, beginning with the early shift: its row sorts before
    // or after the new one's, but the count must find the new one's.
    CSchicht other;
    other.Clear();
    other.SetTermin({360, 600});
    other.KURZBEZEICHNUNG = "X";
    f.types.AddSchicht(other, false);
    f.plan.SyncSchichttypen();
    f.Demand(At(1, 6), At(1, 14), 2);
    f.Demand(At(1, 14), At(1, 22), 1);
    f.Demand(At(1, 22), At(2, 6), 1);
    f.Demand(At(2, 8), At(2, 16), 1);
    CSBPGenerator g;
    ASSERT_EQ(f.Generate(g), SBP_KOMPLETT);

    std::vector<std::tuple<std::string, std::string, uint8_t>> made;
    for (long i = 1; i <= f.types.Count(); ++i) {
        const CSchicht* s = f.types.GetByIndex(i);
        made.emplace_back(s->KURZBEZEICHNUNG, s->BEZEICHNUNG, s->SCHICHTLAGE);
        EXPECT_EQ(s->ART, ART_NORMAL);
    }
    std::sort(made.begin(), made.end());
    EXPECT_EQ(made, (std::vector<std::tuple<std::string, std::string, uint8_t>>{
                        {"F1", "F1 06:00-14:00", LAGE_FRUEH},
                        {"N1", "N1 22:00-06:00", LAGE_NACHT},
                        {"S1", "S1 14:00-22:00", LAGE_SPAET},
                        {"T1", "T1 08:00-16:00", LAGE_TAG},
                        {"X", "", LAGE_FRUEH}}));
    EXPECT_EQ(f.Count(1, 360, 840), 2);
    EXPECT_EQ(f.Count(1, 840, 1320), 1);
    EXPECT_EQ(f.Count(1, 1320, 1800), 1);
    EXPECT_EQ(f.Count(2, 480, 960), 1);
    EXPECT_EQ(f.plan.GetCountBySysId(1, other.SYSID), 0);
    EXPECT_EQ(f.plan.CountRows(), 5);
    EXPECT_EQ(f.plan.GetSchichtgruppenstaerke(), 1);
}

TEST(SBPGenerator, NewShiftTypesGetTheirBreaksFromTheBreakRulesWhenKR1IsOn)
{
    Fixture f;
    CRahmenbedingungPausen rb11;
    rb11.PAUSEN[0] = {T(6), 30};
    rb11.PAUSEN[1] = {T(9), 45};
    CRahmenbedingungErstePause rb12;
    rb12.ERSTE_PAUSE = T(4);
    CRahmenbedingungMindestpausenlaenge rb13;
    rb13.MINDESTPAUSENLAENGE = 15;
    f.pool.RB11 = &rb11;
    f.pool.RB12 = &rb12;
    f.pool.RB13 = &rb13;
    CKriterium kr1;
    kr1.NUMMER = 1;
    kr1.AKTIVIERT = 1;
    f.pool.KRITERIEN.push_back(&kr1);
    f.Lengths(T(5), T(10));
    f.Demand(At(1, 6), At(1, 16), 1);  // 10 hours: one shift of 10 hours
    f.Demand(At(2, 6), At(2, 11), 1);  // 5 hours: no break needed
    CSBPGenerator g;
    ASSERT_EQ(f.Generate(g), SBP_KOMPLETT);
    const CSchicht* ten = f.types.FindByTermin({360, 960});
    const CSchicht* five = f.types.FindByTermin({360, 660});
    ASSERT_TRUE(ten && five);
    // 45 minutes, at the latest 4 hours after the begin.
    EXPECT_EQ(ten->PAUSEN[0], (PAUSE{240, 45, 0}));
    EXPECT_EQ(five->PAUSEN[0], PAUSE{});

    kr1.AKTIVIERT = 0;
    Fixture f2;
    f2.pool = f.pool;
    f2.Lengths(T(10), T(10));
    f2.Demand(At(1, 6), At(1, 16), 1);
    CSBPGenerator g2;
    ASSERT_EQ(f2.Generate(g2), SBP_KOMPLETT);
    ASSERT_TRUE(f2.types.FindByTermin({360, 960}));
    EXPECT_EQ(f2.types.FindByTermin({360, 960})->PAUSEN[0], PAUSE{});
}

TEST(SBPGenerator, AGridOf120WithoutShiftLengthsNeverBooksShiftsOfLengthZero)
{
    // Columns of length 0 cover nothing; a cost criterion that credits them must not make the
    // model take them.
    Fixture f;
    f.Demand(At(1, 8), At(1, 12), 1);
    f.Price(21, [](const CSchicht& s, uint16_t) { return s.TERMIN.ENDE == s.TERMIN.BEGINN ? -1.0 : 1.0; });
    CSBPGenerator g;
    g.TimeGrid(120);
    ASSERT_EQ(f.Generate(g), SBP_KOMPLETT);
    EXPECT_EQ(g.NSL_MAX, 12);  // 0, 120, ... 1320 minutes
    const SBPTagesergebnis r = g.Tagesergebnis(1);
    EXPECT_EQ(r.ZIELWERT[0], 2);
    EXPECT_EQ(r.ZIELFUNKTIONEN, 3);
    EXPECT_EQ(r.ZIELWERT[2], 1);  // one shift of 4 hours, nothing credited
    ASSERT_GT(f.types.Count(), 0);
    for (long i = 1; i <= f.types.Count(); ++i)
        EXPECT_LT(f.types.GetByIndex(i)->TERMIN.BEGINN, f.types.GetByIndex(i)->TERMIN.ENDE);
}

TEST(SBPGenerator, LengthLimitsThatLeaveNoLengthFailTheFirstDayWithDemand)
{
    Fixture f;
    f.Lengths(T(7), T(7, 30));  // on a grid of 120: 480 .. 360
    f.Demand(At(2, 8), At(2, 12), 1);
    CSBPGenerator g;
    g.TimeGrid(120);
    EXPECT_EQ(f.Generate(g), SBP_TEILWEISE);  // day 1 had no demand
    EXPECT_EQ(g.NSL_MAX, 0);
    EXPECT_EQ(g.Tagesergebnis(2).STATUS, SBPTagesergebnis::OHNE_LOESUNG);
    EXPECT_EQ(f.types.Count(), 0);
}

TEST(SBPGenerator, AModelTooLargeToSolveFailsItsDayInsteadOfExhaustingMemory)
{
    // A grid of one minute with every length: 1440 x 1381 columns.
    Fixture f;
    f.Demand(At(1, 8), At(1, 16), 1);
    CSBPGenerator g;
    g.TimeGrid(1);
    EXPECT_EQ(f.Generate(g), SBP_KEINER);
    EXPECT_EQ(g.Tagesergebnis(1).STATUS, SBPTagesergebnis::OHNE_LOESUNG);
    EXPECT_EQ(f.types.Count(), 0);
}

TEST(SBPGenerator, TheTimeLimitIsSharedOutOverTheDaysAndNeverBecomesNoLimit)
{
    struct Case {
        long timeout;
        uint16_t weeks;
        long perSolve;
    };
    // 1 minute over 84 days is 0.71 seconds a solve: one whole second, not 0 ("none").
    for (const Case& c : {Case{T(0, 1), 12, 1}, Case{T(1), 1, 515}, Case{0, 1, 0}}) {
        Fixture f(c.weeks);
        f.Lengths(T(8), T(8));
        f.Demand(At(1, 8), At(1, 16), 1);
        FailingGenerator g;
        g.Timeout(c.timeout);
        ASSERT_EQ(f.Generate(g), SBP_KOMPLETT);
        ASSERT_FALSE(g.timeouts.empty());
        for (long t : g.timeouts)
            EXPECT_EQ(t, c.perSolve) << c.timeout;
    }
}

TEST(SBPGenerator, SettersKeepTheirValuesInRange)
{
    CSBPGenerator g;
    EXPECT_EQ(g.TimeGrid(0, true), 60);
    EXPECT_EQ(g.TimeGrid(0), 1);
    EXPECT_EQ(g.TimeGrid(3000), 1440);
    EXPECT_EQ(g.GroupStrength(0), 1);
    EXPECT_EQ(g.Timeout(-5), 0);
    CSBPData plan;
    g.ITSSBP = &plan;
    g.GroupStrength(4);
    EXPECT_EQ(plan.GetSchichtgruppenstaerke(), 4);
}

// ---- the progress window ---------------------------------------------------------------------------

TEST(SBPGeneratorWindow, RunsOneDayPerTimerEventAndCancelEndsIt)
{
    for (bool cancel : {false, true}) {
        SCOPED_TRACE(cancel ? "cancelled" : "to the end");
        Fixture f;
        f.DayShifts();
        uint8_t result = 0;
        HeadlessDriver driver;
        CSBPGenerator g;
        g.Timeout(T(1, 30));
        driver.Start([&] { result = g.Run(f.akb, f.plan, f.pool); });
        const int win = driver.Window("Berechnung läuft...");
        CProgressWindow probe(ProgressLayout::ShiftDemand);
        EXPECT_EQ(driver.Text(win, probe.MessageControl()), "Der Schichtbedarfsplan wird errechnet. Bitte warten...");
        EXPECT_EQ(driver.Text(win, probe.MaxTimeControl()), "01:30");
        EXPECT_EQ(driver.Property(win, probe.ProgressControl(), Prop::RangeHigh).Int(), 70);
        driver.AdvanceTime(5);   // the operating-day start
        driver.AdvanceTime(10);  // days 1 and 2
        EXPECT_EQ(driver.Property(win, probe.ProgressControl(), Prop::Value).Int(), 20);
        EXPECT_EQ(driver.Text(win, probe.PercentControl()), "29% fertiggestellt");
        if (cancel)
            driver.Press(win, "?CANCEL");
        else
            driver.AdvanceTime(100);
        driver.WaitEnd();
        EXPECT_EQ(result, cancel ? SBP_TEILWEISE : SBP_KOMPLETT);
        EXPECT_EQ(f.Counts().size(), cancel ? 2u : 7u);
    }
}

TEST(SBPGeneratorWindow, CancelBeforeTheFirstTimerEventDoesNothing)
{
    Fixture f;
    f.Demand(At(1, 8), At(1, 16), 1);
    uint8_t result = 0;
    HeadlessDriver driver;
    CSBPGenerator g;
    driver.Start([&] { result = g.Run(f.akb, f.plan, f.pool); });
    driver.Press(driver.Window("Berechnung läuft..."), "Abbrechen");
    driver.WaitEnd();
    EXPECT_EQ(result, SBP_KEINER);
    EXPECT_EQ(f.types.Count(), 0);
}

// A day whose solve does not end by itself (a hard model without a time limit): like the library
// it asks now and then whether to stop.
class EndlessDay : public CSBPGenerator {
public:
    long endless = 3;
    int questions = 0;

protected:
    uint8_t SolveModel(CLPSolver& lp, long day, int objective) override
    {
        if (day != endless)
            return CSBPGenerator::SolveModel(lp, day, objective);
        while (questions < 600 && !lp.WantAbort())
            ++questions;
        return LP_RESULT_NOT_OPTIMAL;
    }
};

TEST(SBPGeneratorWindow, CancelInTheMiddleOfASolveEndsTheRunAndKeepsTheDaysDone)
{
    Fixture f;
    f.DayShifts();
    uint8_t result = 0;
    HeadlessDriver driver;
    EndlessDay g;
    driver.Start([&] { result = g.Run(f.akb, f.plan, f.pool); });
    const int win = driver.Window("Berechnung läuft...");
    CProgressWindow probe(ProgressLayout::ShiftDemand);
    driver.AdvanceTime(5);   // the operating-day start
    driver.AdvanceTime(10);  // days 1 and 2
    // Day 3's timer event, without waiting for the thread to go idle: it will not.
    Event tick;
    tick.code = EVENT_TIMER;
    tick.window = win;
    ASSERT_TRUE(EventPost(tick, 1));
    // The window is up to date in the middle of the solve ...
    EXPECT_EQ(driver.Text(win, probe.MessageControl()), "Nach Zielfunktion Nr. 1 optimieren ...");
    EXPECT_EQ(driver.Property(win, probe.ProgressControl(), Prop::Value).Int(), 23);
    // ... and takes "Abbrechen".
    driver.Press(win, "?CANCEL");
    driver.WaitEnd();
    EXPECT_LT(g.questions, 600);
    EXPECT_EQ(result, SBP_TEILWEISE);
    EXPECT_EQ(g.Tagesergebnis(2).STATUS, SBPTagesergebnis::GESCHRIEBEN);
    EXPECT_EQ(g.Tagesergebnis(3).STATUS, SBPTagesergebnis::ABGEBROCHEN);
    EXPECT_EQ(g.Tagesergebnis(4).STATUS, SBPTagesergebnis::OFFEN);
    EXPECT_EQ(f.Counts().size(), 2u);
}

} // namespace
