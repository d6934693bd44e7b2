// Relevant-times criteria (KR11 to KR16): the disturbance of a shift, single disturbances per
// week, runs of consecutive disturbances (over the cycle's end too), prices and markers.
#include "assessment/KriterienRelevanteZeiten.h"
#include "assessment/RahmenbedingungRelevanteZeiten.h"

#include "CriteriaTestSupport.h"
#include "core/TimeHelpers.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace bewertungtest;
using namespace criteriatest;

namespace {

constexpr uint32_t H(uint32_t hours, uint32_t minutes = 0) { return hours * 60 + minutes; }

// An interval on plan day `day` from one minute of the day to another (past midnight when the
// end is not after the begin).
::TERMIN Iv(uint32_t day, uint32_t from, uint32_t to)
{
    const uint32_t base = (day - 1) * kDay;
    return {base + from, base + (to > from ? to : to + kDay)};
}

// Night sleep of 8 hours beginning between 22:00 and 01:00 on every day; social time of 3 hours
// beginning between 18:00 and 20:00.
class RelevantTimes : public ::testing::Test {
protected:
    RelevantTimes()
    {
        for (RELEVANTEZEIT& z : sleep.RELEVANTEZEITEN)
            z = {T(22), T(1), T(8)};
        sleep.EINZELSTOERUNGEN = 2;
        sleep.KONT_STOERUNGEN = 3;
        for (RELEVANTEZEIT& z : social.RELEVANTEZEITEN)
            z = {T(18), T(20), T(3)};
        kr11.SetRahmenbedingung(&sleep);
        kr12.SetRahmenbedingung(&sleep);
        kr13.SetRahmenbedingung(&social);
        p.Define('D', Shift("D", H(18), H(2)));   // disturbs night sleep by 60 minutes
        p.Define('A', Shift("A", H(13), H(21)));  // disturbs only when the rest after it is short
        p.Define('E', Shift("E", H(4), H(12)));   // in the night sleep that began the evening before
    }

    std::vector<Rec> Run(CKriteriumRelevanteZeiten& k, const std::vector<std::string>& rows)
    {
        p.Set(rows);
        e.Evaluate(p.plan);
        k.Check(e, 0);
        return Records(e, &k);
    }

    EmptyKri emptyKri;
    TempIni ini;
    CRahmenbedingungNachtschlafzeiten sleep;
    CRahmenbedingungSozialzeiten social;
    CKriteriumNachtschlafEinzel kr11;
    CKriteriumNachtschlafKont kr12;
    CKriteriumSozialzeitEinzel kr13;
    LetterPlan p;
    CAZPBewertung e;
};

TEST_F(RelevantTimes, DisturbanceTakesTheLatestPlacementWhenTheEarliestIsDisturbedToo)
{
    const struct {
        const char* what;
        CKriteriumRelevanteZeiten* k;
        ::TERMIN shift;
        uint32_t rest;
        uint32_t checked, priced;
    } cases[] = {
        {"14:00-22:30, then 9 h rest: 01:00-09:00 is free", &kr11, Iv(3, H(14), H(22, 30)), 540, 0, 0},
        {"18:00-02:00: the overlap with 01:00-09:00", &kr11, Iv(3, H(18), H(2)), 960, 60, 60},
        {"13:00-21:00, then 7 h rest: too short for 8 h", &kr11, Iv(3, H(13), H(21)), 420, 60, 0},
        {"06:00-14:00 with a long rest", &kr11, Iv(3, H(6), H(14)), 960, 0, 0},
        {"06:00-14:00, then 5 h rest", &kr11, Iv(3, H(6), H(14)), 300, 180, 0},
        {"22:00-06:00", &kr11, Iv(3, H(22), H(6)), 960, 300, 300},
        {"04:00-12:00: the sleep begun the evening before", &kr11, Iv(3, H(4), H(12)), 960, 300, 300},
        {"04:00-12:00 on day 1: Sunday's window held at the start", &kr11, Iv(1, H(4), H(12)), 960, 300, 300},
        {"14:00-22:30: both placements on the same day", &kr13, Iv(3, H(14), H(22, 30)), 960, 150, 150},
        {"14:00-19:00: 20:00-23:00 is free", &kr13, Iv(3, H(14), H(19)), 960, 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.k->Disturbance(c.shift, true, c.rest), c.checked) << c.what;
        EXPECT_EQ(c.k->Disturbance(c.shift, false, c.rest), c.priced) << c.what;
    }
}

TEST_F(RelevantTimes, EachWeekdayHasItsOwnRelevantTime)
{
    sleep.RELEVANTEZEITEN[6].DAUER_MIN = 0;  // no night sleep to protect on Sundays
    EXPECT_EQ(kr11.Disturbance(Iv(6, H(18), H(2)), false, 0), 60u) << "Saturday";
    EXPECT_EQ(kr11.Disturbance(Iv(7, H(18), H(2)), false, 0), 0u) << "Sunday";
    EXPECT_EQ(kr11.Disturbance(Iv(14, H(18), H(2)), false, 0), 0u) << "the next Sunday";
    EXPECT_EQ(kr11.Disturbance(Iv(8, H(18), H(2)), false, 0), 60u) << "Monday";
    // Monday morning still meets Sunday's sleep when there is one.
    EXPECT_EQ(kr11.Disturbance(Iv(8, H(4), H(12)), false, 0), 0u);
    sleep.RELEVANTEZEITEN[6].DAUER_MIN = T(8);
    EXPECT_EQ(kr11.Disturbance(Iv(8, H(4), H(12)), false, 0), 300u);
}

TEST_F(RelevantTimes, SingleDisturbancesAreCountedPerWeek)
{
    const struct {
        const char* what;
        uint16_t limit;
        std::vector<std::string> plan;
        std::vector<Rec> records;
    } cases[] = {
        {"three in week 1, two in week 2, at most 2", 2, {"DD.D..." "D.D...."},
         {{1, 3, 333}, {2, 5, 333}, {4, 9, 333}}},
        {"one with none allowed", 0, {"...D..."}, {{4, 3, 1000}}},
        {"a short rest disturbs the shift before it", 1, {"AE....."}, {{1, 3, 500}, {2, 9, 500}}},
        {"with a long rest it does not", 0, {"A......"}, {}},
        {"no shifts", 0, {"......."}, {}},
    };
    for (const auto& c : cases) {
        sleep.EINZELSTOERUNGEN = c.limit;
        EXPECT_EQ(Run(kr11, c.plan), c.records) << c.what;
    }
}

TEST_F(RelevantTimes, RecordsHaveAnEmptyText)
{
    Run(kr11, {"DDD...."});
    const auto recs = FullRecords(e, &kr11);
    ASSERT_EQ(recs.size(), 3u);
    ASSERT_TRUE(recs[0].second.TEXT.has_value());
    EXPECT_EQ(*recs[0].second.TEXT, "");
    EXPECT_EQ(recs[0].second.INFO, 0u);
}

TEST_F(RelevantTimes, ContinuousDisturbancesAreCountedPerRunAlsoOverTheCycleEnd)
{
    const struct {
        const char* what;
        uint16_t limit;
        std::vector<std::string> plan;
        std::vector<Rec> records;
    } cases[] = {
        {"a run of 5 with at most 3", 3, {"DDDDD.." "......."},
         {{1, 3, 400}, {2, 5, 400}, {3, 5, 400}, {4, 5, 400}, {5, 9, 400}}},
        {"a run of 3 is allowed", 3, {"DDD...." "......."}, {}},
        // The run over the cycle's end begins with the cycle's last cell.
        {"the last two cells and cells 1 and 2: one run of 4", 3, {"DD......" "....DD"},
         {{1, 5, 250}, {2, 9, 250}, {13, 5, 250}, {14, 3, 250}}},
        {"the run over the end and another", 3, {"DD..DDDD" "....DD"},
         {{1, 5, 250}, {2, 9, 250}, {5, 3, 250}, {6, 5, 250}, {7, 5, 250}, {8, 9, 250}, {13, 5, 250},
          {14, 3, 250}}},
        {"only the last cell", 0, {".DD...D"}, {{2, 3, 1000}, {3, 9, 1000}, {7, 3, 1000}}},
        {"every cell disturbed", 3, {"DDDDDDD"},
         {{1, 3, 571}, {2, 5, 571}, {3, 5, 571}, {4, 5, 571}, {5, 5, 571}, {6, 5, 571}, {7, 9, 571}}},
        {"from one group into the next", 3, {"....DDD", "DD....."},
         {{5, 3, 400}, {6, 5, 400}, {7, 5, 400}, {8, 5, 400}, {9, 9, 400}}},
    };
    for (const auto& c : cases) {
        sleep.KONT_STOERUNGEN = c.limit;
        EXPECT_EQ(Run(kr12, c.plan), c.records) << c.what;
    }
}

TEST_F(RelevantTimes, NothingWithoutTheConstraint)
{
    CKriteriumFamilienzeitKont kr16;
    EXPECT_EQ(Run(kr16, {"DDDDDDD"}), std::vector<Rec>{});
    EXPECT_EQ(kr16.GetCost(Shift("D", H(18), H(2)), 0, 1), 0.0);
}

TEST_F(RelevantTimes, PriceIsTheDisturbanceOfTheShiftTypeItselfWithoutItsRest)
{
    EXPECT_EQ(kr12.GetCost(Shift("D", H(18), H(2)), 0, 1), 60.0);
    EXPECT_EQ(kr12.GetCost(Shift("A", H(13), H(21)), 0, 1), 0.0);
    EXPECT_EQ(kr12.GetCost(Shift("N", H(22), H(6)), 3, 0), 300.0) << "the day argument is not used";
    EXPECT_EQ(kr12.IsActive(), 0);
    kr12.AKTIVIERT = 1;
    EXPECT_EQ(kr12.IsActive(), 1);
}

TEST_F(RelevantTimes, SixClassesDifferInNumberModeAndIcon)
{
    std::vector<std::unique_ptr<CKriteriumRelevanteZeiten>> all;
    all.push_back(std::make_unique<CKriteriumNachtschlafEinzel>());
    all.push_back(std::make_unique<CKriteriumNachtschlafKont>());
    all.push_back(std::make_unique<CKriteriumSozialzeitEinzel>());
    all.push_back(std::make_unique<CKriteriumSozialzeitKont>());
    all.push_back(std::make_unique<CKriteriumFamilienzeitEinzel>());
    all.push_back(std::make_unique<CKriteriumFamilienzeitKont>());
    const struct {
        long number;
        uint8_t mode;
        const char* icon;
    } expected[] = {{11, 1, "KR_NS_ico"}, {12, 2, "KR_NS_ico"}, {13, 1, "KR_SZ_ico"},
                    {14, 2, "KR_SZ_ico"}, {15, 1, "KR_FZ_ico"}, {16, 2, "KR_FZ_ico"}};
    for (std::size_t i = 0; i < all.size(); ++i) {
        CKriteriumRelevanteZeiten& k = *all[i];
        EXPECT_EQ(k.GetNummer(), expected[i].number);
        EXPECT_EQ(k.PRUEFMODUS, expected[i].mode);
        EXPECT_EQ(k.GetAZPChecker(), &k);
        EXPECT_EQ(k.TEILER, 100000.0) << "the weight comes with the constraint";
        // Position and amount do not change the marker: the icon at the top centre.
        const auto ops = Drawn([&](const GridDC& dc) {
            k.Paint(3, {.KRITERIUM = &k, .WERT = 0, .POSITION = POSITION_ENDE, .TEXT = std::nullopt}, dc, 10, 20,
                    80, 60);
        });
        using M = std::tuple<std::string, int, int>;
        EXPECT_EQ(Marks(ops), (std::vector<M>{{expected[i].icon, 34, 20}})) << expected[i].number;
    }
}

TEST_F(RelevantTimes, LinkingTheConstraintReadsTheWeight)
{
    EXPECT_EQ(kr11.TEILER, 20000.0);
    EXPECT_EQ(GlobalIni.ReadOrEmpty("Kriteriengewichtung", "Kriterium 11"), "20");
    GlobalIni.WriteKey("Kriteriengewichtung", "Kriterium 14", "5");
    CKriteriumSozialzeitKont kr14;
    kr14.SetRahmenbedingung(&social);
    EXPECT_EQ(kr14.TEILER, 5000.0);
    EXPECT_EQ(kr14.RBRELEVANTEZEITEN, &social);
}

TEST_F(RelevantTimes, AssignCopiesTheConstraintsContents)
{
    CRahmenbedingungNachtschlafzeiten other;
    other.KONT_STOERUNGEN = 7;
    other.RELEVANTEZEITEN[2] = {T(23), T(2), T(7)};
    CKriteriumNachtschlafKont source;
    source.SetRahmenbedingung(&other);
    source.AKTIVIERT = 1;
    kr12.Assign(source, nullptr);
    EXPECT_EQ(kr12.AKTIVIERT, 1);
    EXPECT_EQ(kr12.RBRELEVANTEZEITEN, &sleep);
    EXPECT_EQ(sleep.KONT_STOERUNGEN, 7);
    EXPECT_EQ(sleep.RELEVANTEZEITEN[2].ANFANGSZEIT_MIN, T(23));
}

} // namespace
