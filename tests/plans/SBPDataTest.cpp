#include "plans/SBPData.h"

#include "PlanTestSupport.h"
#include "core/Files.h"
#include "plans/AKBData.h"
#include "plans/SBPInfo.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

using namespace plantest;

namespace {

// "d1 08:00-12:00 x3": a staff demand span, readable on failure.
std::string Text(const CAKBEintrag& s)
{
    char buf[64];
    const uint32_t b = s.TERMIN.BEGINN, e = s.TERMIN.ENDE;
    const uint32_t em = e - (e - 1) / kDay * kDay;
    std::snprintf(buf, sizeof buf, "d%u %02u:%02u-%02u:%02u x%u", b / kDay + 1, b % kDay / 60, b % 60,
                  em / 60, em % 60, unsigned(s.ANZAHL));
    return buf;
}

std::vector<std::string> Spans(const CAKBData& akb)
{
    std::vector<std::string> out;
    for (long i = 1; i <= akb.Count(); ++i)
        out.push_back(Text(*akb.GetByIndex(i)));
    return out;
}

std::vector<std::string> ShortNames(const CSBPData& sbp)
{
    std::vector<std::string> out;
    for (int32_t n = 1; n <= sbp.CountRows(); ++n)
        out.push_back(sbp.GetRow(uint32_t(n))->KURZBEZEICHNUNG);
    return out;
}

class SBPDataTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        early = Add(types, Shift("F", 360, 840, {240, 30, 0}));   // 06:00-14:00, 30 min break
        late = Add(types, Shift("S", 840, 1320));                  // 14:00-22:00
        night = Add(types, Shift("N", 1320, 360));                 // 22:00-06:00
        sbp.SetSchichttypen(&types);
        sbp.SetBezugsrahmen(1);
        sbp.SetSchichtgruppenstaerke(1);
        sbp.SyncSchichttypen();
        akb.SetBezugsrahmen(1);
    }

    CSchichttypen types;
    CSBPData sbp;
    CAKBData akb;
    uint32_t early = 0, late = 0, night = 0;
};

// ---- rows follow the shift types -------------------------------------------------------------

TEST_F(SBPDataTest, SyncGivesOneRowPerShiftTypeWithItsFieldsAndNoCounts)
{
    ASSERT_EQ(sbp.CountRows(), 3);
    EXPECT_EQ(ShortNames(sbp), (std::vector<std::string>{"F", "S", "N"}));
    const QSBP& row = *sbp.GetRow(1);
    EXPECT_EQ(row.SYSID, early);
    EXPECT_EQ(row.BEZEICHNUNG, "Schicht F");
    EXPECT_EQ(row.TERMIN, (TERMIN{360, 840}));
    EXPECT_EQ(row.PAUSEN[0], (PAUSE{240, 30, 0}));
    for (uint32_t d = 1; d <= kPlanDays; ++d)
        EXPECT_EQ(row.ANZAHL[d - 1], 0);
    EXPECT_EQ(sbp.FindRowBySysId(night), 3);
    EXPECT_EQ(sbp.FindRowBySysId(12345), 0);
    EXPECT_EQ(sbp.GetRowSysId(2), late);
    EXPECT_EQ(sbp.GetRowSysId(4), 0u);
}

TEST_F(SBPDataTest, ChangedTimesRenewTheRowKeepItsCountsAndReorderTheRows)
{
    sbp.SetCount(2, early, 4);
    // As an edit of the shift type: the early shift now begins at 23:00.
    CSchicht* type = types.FindBySysId(early);
    type->TERMIN = {1380, 1380 + 480};
    type->PAUSEN[0] = {};
    type->PAUSEN[3] = {60, 15, 1};  // stored breaks come first
    sbp.SyncSchichttypen();

    EXPECT_EQ(ShortNames(sbp), (std::vector<std::string>{"S", "N", "F"}));
    const QSBP& row = *sbp.GetRow(3);
    EXPECT_EQ(row.TERMIN, (TERMIN{1380, 1860}));
    EXPECT_EQ(row.PAUSEN[0], (PAUSE{60, 15, 1}));
    EXPECT_EQ(row.PAUSEN[3], PAUSE{});
    EXPECT_EQ(sbp.GetCountBySysId(2, early), 4);
    EXPECT_EQ(type->PAUSEN[3], (PAUSE{60, 15, 1})) << "the list's own shift type is not changed";
}

TEST_F(SBPDataTest, RowsOfShiftTypesThatAreGoneAreDroppedAndNewOnesAdded)
{
    // Rows of another worksheet's shift types, copied in: none of them is known here.
    CSchichttypen otherTypes;
    const uint32_t foreign = Add(otherTypes, Shift("X", 0, 480));
    CSBPData other;
    other.SetSchichttypen(&otherTypes);
    other.SetBezugsrahmen(1);
    other.SyncSchichttypen();
    other.SetCount(1, foreign, 2);

    const uint32_t added = Add(types, Shift("T", 480, 960));
    sbp.CopyFrom(other);
    EXPECT_EQ(sbp.FindRowBySysId(foreign), 0);
    EXPECT_EQ(ShortNames(sbp), (std::vector<std::string>{"F", "T", "S", "N"}));
    EXPECT_EQ(sbp.GetCountBySysId(1, added), 0);
}

TEST_F(SBPDataTest, RowsAreMatchedBySysIdWhenEqualBeginsStandInAnotherOrder)
{
    CSchichttypen twins;
    const uint32_t a = Add(twins, Shift("A", 480, 960));
    const uint32_t b = Add(twins, Shift("B", 480, 720));
    CSBPData plan;
    plan.SetSchichttypen(&twins);
    plan.SetBezugsrahmen(1);
    // B once began earlier, so the rows stand B, A while the list says A, B.
    twins.FindBySysId(b)->TERMIN = {400, 720};
    plan.SyncSchichttypen();
    twins.FindBySysId(b)->TERMIN = {480, 720};
    plan.SetCount(1, a, 1);
    plan.SetCount(1, b, 2);
    plan.SyncSchichttypen();

    ASSERT_EQ(ShortNames(plan), (std::vector<std::string>{"B", "A"}));
    EXPECT_EQ(plan.GetRow(1)->SYSID, b);
    EXPECT_EQ(plan.GetRow(1)->TERMIN, (TERMIN{480, 720}));
    EXPECT_EQ(plan.GetRow(2)->TERMIN, (TERMIN{480, 960}));
    EXPECT_EQ(plan.GetCountBySysId(1, a), 1);
    EXPECT_EQ(plan.GetCountBySysId(1, b), 2);

    CSBPInfo info;
    info.Compute(plan);
    EXPECT_EQ(info.SCHICHTEINSAETZE.Rows()[0].SCHICHTID, b) << "the inspector pairs rows by id";
    EXPECT_EQ(info.SCHICHTEINSAETZE.Rows()[0].ANZAHL[0], Decimal::FromCents(200));
}

// ---- counts ----------------------------------------------------------------------------------

TEST_F(SBPDataTest, DaysAndRowsOutsideThePlanReadZeroAndAreNeverWritten)
{
    sbp.SetBezugsrahmen(2);
    for (uint32_t d = 1; d <= 14; ++d)
        sbp.SetCount(d, late, 7);
    for (uint32_t row : {0u, 4u, 70000u})
        EXPECT_EQ(sbp.GetCount(3, row), 0) << "row " << row;
    for (uint32_t day : {0u, 15u, 85u, 4000000000u}) {
        EXPECT_EQ(sbp.GetCount(day, 2), 0) << "day " << day;
        sbp.SetCount(day, late, 9);
        sbp.AddCount(day, late, 9);
        sbp.CopyDay(day, 1);
        sbp.CopyDay(1, day);
    }
    EXPECT_EQ(sbp.GetCount(3, 2), 7);
    EXPECT_EQ(sbp.GetCountBySysId(15, late), 0);
    EXPECT_EQ(sbp.GetCountBySysId(3, 0), 0);
    EXPECT_EQ(sbp.GetCountBySysId(3, 777), 0);
    sbp.SetCount(3, 777, 5);  // no row: nothing
    for (uint32_t d = 1; d <= 14; ++d)
        EXPECT_EQ(sbp.GetCount(d, 2), 7) << d;
    for (uint32_t d = 15; d <= kPlanDays; ++d)
        EXPECT_EQ(sbp.GetRow(2)->ANZAHL[d - 1], 0) << d;
}

TEST_F(SBPDataTest, CountsAbove255AreHeldAt255)
{
    MessageCatcher messages;
    EXPECT_TRUE(sbp.SetCount(1, early, 255));
    EXPECT_TRUE(messages.texts.empty());
    EXPECT_FALSE(sbp.SetCount(2, early, 300));
    EXPECT_EQ(sbp.GetCountBySysId(2, early), 255);
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_NE(messages.texts[0].find("255"), std::string::npos);

    // Adding never wraps round and tells the caller, who tells the user once.
    EXPECT_TRUE(sbp.AddCount(3, early, 200));
    EXPECT_FALSE(sbp.AddCount(3, early, 100));
    EXPECT_EQ(sbp.GetCountBySysId(3, early), 255);
    EXPECT_EQ(messages.texts.size(), 1u);
}

TEST_F(SBPDataTest, CopyDayCopiesEveryRowsCount)
{
    sbp.SetCount(1, early, 2);
    sbp.SetCount(1, night, 1);
    sbp.SetCount(5, late, 3);
    sbp.CopyDay(1, 5);
    EXPECT_EQ(sbp.GetCountBySysId(5, early), 2);
    EXPECT_EQ(sbp.GetCountBySysId(5, late), 0);
    EXPECT_EQ(sbp.GetCountBySysId(5, night), 1);
    sbp.CopyDay(5, 5);
    EXPECT_EQ(sbp.GetCountBySysId(5, early), 2);
    sbp.ClearCounts();
    for (uint32_t row = 1; row <= 3; ++row)
        EXPECT_EQ(sbp.GetCount(1, row) + sbp.GetCount(5, row), 0);
}

TEST_F(SBPDataTest, ShorteningZeroesTheDaysGivenUpAndLengtheningShowsZeros)
{
    sbp.SetBezugsrahmen(4);
    for (uint32_t d = 1; d <= 28; ++d)
        sbp.SetCount(d, early, 1);
    sbp.SetBezugsrahmen(2);
    EXPECT_EQ(sbp.CountDays(), 14);
    sbp.SetBezugsrahmen(4);
    for (uint32_t d = 1; d <= 28; ++d)
        EXPECT_EQ(sbp.GetCountBySysId(d, early), d <= 14 ? 1 : 0) << d;

    sbp.SetBezugsrahmen(13);  // more than the plan has room for
    EXPECT_EQ(sbp.GetBezugsrahmen(), 12);
    EXPECT_EQ(sbp.CountDays(), 84);
    EXPECT_EQ(sbp.GetCountBySysId(85, early), 0);
}

TEST_F(SBPDataTest, CopyFromTakesRowsWeeksAndStrength)
{
    sbp.SetBezugsrahmen(3);
    sbp.SetSchichtgruppenstaerke(4);
    sbp.SetCount(20, night, 6);
    CSBPData copy;
    copy.SetSchichttypen(&types);
    copy.CopyFrom(sbp);
    EXPECT_EQ(copy.GetBezugsrahmen(), 3);
    EXPECT_EQ(copy.GetSchichtgruppenstaerke(), 4);
    EXPECT_EQ(ShortNames(copy), ShortNames(sbp));
    EXPECT_EQ(copy.GetCountBySysId(20, night), 6);
    copy.CopyFrom(copy);
    EXPECT_EQ(copy.CountRows(), 3);
}

// ---- staff demand from the shift demand ------------------------------------------------------

TEST_F(SBPDataTest, ComputeAKBOfAPlanWithoutCountsLeavesNoDemand)
{
    akb.MergeDemand({{600, 700}, 4}, true);
    sbp.ComputeAKB(akb);
    EXPECT_EQ(akb.Count(), 0);
    EXPECT_EQ(akb.GetMaxZeilen(), 0u);
}

TEST_F(SBPDataTest, ComputeAKBAddsTheHeadCountsOfAllShifts)
{
    struct Case {
        const char* what;
        std::vector<std::tuple<uint32_t, uint32_t, unsigned>> counts;  // day, which shift, count
        uint16_t strength;
        std::vector<std::string> spans;
    };
    // Shifts: 0 early 06-14, 1 late 14-22, 2 night 22-06, 3 a second early 06-14, 4 mid 12-20,
    // 5 a damaged one of eight days.
    CSchichttypen more;
    CSchicht damaged = Shift("D", 0, 1);
    damaged.TERMIN = {0, 8 * kDay};
    const uint32_t ids[] = {Add(more, Shift("F", 360, 840)), Add(more, Shift("S", 840, 1320)),
                            Add(more, Shift("N", 1320, 360)), Add(more, Shift("F2", 360, 840)),
                            Add(more, Shift("M", 720, 1200)), Add(more, damaged)};
    const Case cases[] = {
        {"equal hours add up: (1 + 2) x 3", {{1, 0, 1}, {1, 3, 2}}, 3, {"d1 06:00-14:00 x9"}},
        {"overlaps", {{2, 0, 2}, {2, 4, 1}}, 1,
         {"d2 06:00-12:00 x2", "d2 12:00-14:00 x3", "d2 14:00-20:00 x1"}},
        {"touching shifts of one count join", {{3, 0, 1}, {3, 1, 1}}, 2, {"d3 06:00-22:00 x2"}},
        {"a night shift adds to the next day", {{3, 2, 1}}, 1, {"d3 22:00-24:00 x1", "d4 00:00-06:00 x1"}},
        {"on the last day it adds to day 1", {{7, 2, 2}, {1, 0, 1}}, 1,
         {"d1 00:00-06:00 x2", "d1 06:00-14:00 x1", "d7 22:00-24:00 x2"}},
        {"strength 0 needs nobody", {{1, 0, 3}}, 0, {}},
        {"a shift longer than the plan covers it once", {{2, 5, 1}}, 1,
         {"d1 00:00-24:00 x1", "d2 00:00-24:00 x1", "d3 00:00-24:00 x1", "d4 00:00-24:00 x1",
          "d5 00:00-24:00 x1", "d6 00:00-24:00 x1", "d7 00:00-24:00 x1"}},
    };
    for (const Case& c : cases) {
        CSBPData plan;
        plan.SetSchichttypen(&more);
        plan.SetBezugsrahmen(1);
        plan.SetSchichtgruppenstaerke(c.strength);
        plan.SyncSchichttypen();
        for (auto [day, k, n] : c.counts)
            plan.SetCount(day, ids[k], n);
        plan.ComputeAKB(akb);
        EXPECT_EQ(Spans(akb), c.spans) << c.what;
        EXPECT_EQ(akb.GetSpaltensumme(7), uint32_t(c.spans.size())) << c.what;
    }
}

TEST_F(SBPDataTest, ComputeAKBHoldsDemandAbove255AndSaysSo)
{
    MessageCatcher messages;
    CSchichttypen two;
    const uint32_t a = Add(two, Shift("A", 360, 840));
    const uint32_t b = Add(two, Shift("B", 600, 1200));
    CSBPData plan;
    plan.SetSchichttypen(&two);
    plan.SetBezugsrahmen(1);
    plan.SetSchichtgruppenstaerke(2);
    plan.SyncSchichttypen();
    plan.SetCount(1, a, 200);  // 400 persons
    plan.SetCount(1, b, 30);   //  60 persons
    plan.ComputeAKB(akb);
    // 400 and 460 are both held at 255, so they make one span, not two touching equal ones.
    EXPECT_EQ(Spans(akb), (std::vector<std::string>{"d1 06:00-14:00 x255", "d1 14:00-20:00 x60"}));
    EXPECT_EQ(messages.texts.size(), 1u);
}

// Random plans against a model that counts persons minute by minute, and against adding every
// shift to the staff demand one by one.
TEST_F(SBPDataTest, ComputeAKBMatchesAMinuteByMinuteSum)
{
    std::mt19937 random(20240611);
    auto between = [&](uint32_t lo, uint32_t hi) { return std::uniform_int_distribution<uint32_t>(lo, hi)(random); };
    for (int round = 0; round < 60; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        CSchichttypen list;
        std::vector<uint32_t> ids;
        const uint32_t typeCount = between(1, 5);
        for (uint32_t k = 0; k < typeCount; ++k) {
            const uint32_t from = between(0, 95) * 15;
            const uint32_t length = between(0, 96) * 15;  // 0: an empty span, adds nothing
            CSchicht s = Shift("T" + std::to_string(k), from, from);
            s.TERMIN = {from, from + length};
            ids.push_back(Add(list, s));
        }
        const uint16_t weeks = uint16_t(between(1, 2));
        CSBPData plan;
        plan.SetSchichttypen(&list);
        plan.SetBezugsrahmen(weeks);
        plan.SetSchichtgruppenstaerke(uint16_t(between(1, 3)));
        plan.SyncSchichttypen();
        for (uint32_t d = 1; d <= plan.CountDays(); ++d)
            for (uint32_t id : ids)
                plan.SetCount(d, id, between(0, 3) == 0 ? between(1, 4) : 0);

        const uint32_t period = weeks * 7 * kDay;
        std::vector<unsigned> minutes(period, 0);
        CAKBData added;
        added.SetBezugsrahmen(weeks);
        for (int32_t r = 1; r <= plan.CountRows(); ++r) {
            const QSBP& row = *plan.GetRow(uint32_t(r));
            for (uint32_t d = 1; d <= plan.CountDays(); ++d) {
                const unsigned persons = row.ANZAHL[d - 1] * plan.GetSchichtgruppenstaerke();
                const uint32_t from = (d - 1) * kDay + row.TERMIN.BEGINN;
                const uint32_t length = row.TERMIN.ENDE - row.TERMIN.BEGINN;
                if (persons == 0 || length == 0)
                    continue;
                for (uint32_t m = from; m < from + length; ++m)
                    minutes[m % period] += persons;
                added.AddDemand({{from, from + length}, uint8_t(persons)});
            }
        }
        akb.SetBezugsrahmen(weeks);
        plan.ComputeAKB(akb);

        std::vector<unsigned> got(period, 0);
        for (long i = 1; i <= akb.Count(); ++i) {
            const CAKBEintrag& s = *akb.GetByIndex(i);
            ASSERT_LT(s.TERMIN.BEGINN, s.TERMIN.ENDE);
            ASSERT_LE(s.TERMIN.ENDE, period);
            ASSERT_EQ(s.TERMIN.BEGINN / kDay, (s.TERMIN.ENDE - 1) / kDay) << Text(s);
            if (i > 1) {
                const CAKBEintrag& p = *akb.GetByIndex(i - 1);
                ASSERT_LE(p.TERMIN.ENDE, s.TERMIN.BEGINN);
                if (p.TERMIN.ENDE == s.TERMIN.BEGINN && s.TERMIN.BEGINN % kDay != 0) {
                    ASSERT_NE(p.ANZAHL, s.ANZAHL) << Text(s);
                }
            }
            for (uint32_t m = s.TERMIN.BEGINN; m < s.TERMIN.ENDE; ++m)
                got[m] = s.ANZAHL;
        }
        ASSERT_EQ(got, minutes);
        ASSERT_EQ(Spans(akb), Spans(added));
    }
}

// ---- key figures -----------------------------------------------------------------------------

TEST_F(SBPDataTest, KeyFiguresOfASmallPlan)
{
    // Strength 2. Early 06-14 with 30 minutes break (net 450, gross 480) twice on Monday and once
    // on Tuesday; night 22-06 (480) once on Monday and once in week 2.
    sbp.SetBezugsrahmen(2);
    sbp.SetSchichtgruppenstaerke(2);
    sbp.SetCount(1, early, 2);
    sbp.SetCount(2, early, 1);
    sbp.SetCount(1, night, 1);
    sbp.SetCount(10, night, 1);
    CSBPInfo info;
    info.Compute(sbp);
    EXPECT_EQ(info.BMSGESAMT, Decimal::FromCents(8000));          // (3 + 2) x 480 x 2 / 60
    EXPECT_EQ(info.BMSGESAMT_REINEAZ, Decimal::FromCents(7700));  // (3 x 450 + 2 x 480) x 2 / 60
    EXPECT_EQ(info.BMSPROWOCHE, Decimal::FromCents(3850));
    EXPECT_EQ(info.SCHICHTGRUPPENSTAERKE, 2);
    EXPECT_EQ(info.MAXSCHICHTEN, 3u);
    EXPECT_EQ(info.SUMSCHICHTEN, 5);
    EXPECT_EQ(info.BSPROWOCHE, 0u);
    ASSERT_EQ(QueueRecords(info.SCHICHTEINSAETZE), 3u);
    ASSERT_EQ(QueueRecords(info.STDPROSCHICHT), 3u);
    const QWochenwerte& f = info.SCHICHTEINSAETZE.Rows()[0];
    EXPECT_EQ(f.BEZEICHNUNG, "F");
    EXPECT_EQ(f.SCHICHTID, early);
    EXPECT_EQ(f.ANZAHL[0], Decimal::FromCents(300));
    EXPECT_EQ(f.ANZAHL[1], Decimal{});
    EXPECT_EQ(info.STDPROSCHICHT.Rows()[0].ANZAHL[0], Decimal::FromCents(4500));
    EXPECT_EQ(info.STDPROSCHICHT.Rows()[2].ANZAHL[0], Decimal::FromCents(1600));
    EXPECT_EQ(info.STDPROSCHICHT.Rows()[2].ANZAHL[1], Decimal::FromCents(1600));

    // Recomputing starts afresh.
    info.Compute(sbp);
    EXPECT_EQ(QueueRecords(info.SCHICHTEINSAETZE), 3u);
    EXPECT_EQ(info.SUMSCHICHTEN, 5);
}

TEST_F(SBPDataTest, KeyFiguresNeitherWrapNorTurnNegative)
{
    // Two rows of 200 shifts on one day: 400 shifts, not 144.
    sbp.SetCount(4, early, 200);
    sbp.SetCount(4, late, 200);
    // A free shift with a break works no hours, and takes none off.
    CSchicht free = Shift("FR", 480, 960, {60, 30, 0}, ART_FREISCHICHT);
    const uint32_t freeId = Add(types, free);
    sbp.SyncSchichttypen();
    sbp.SetCount(5, freeId, 1);
    CSBPInfo info;
    info.Compute(sbp);
    EXPECT_EQ(info.MAXSCHICHTEN, 400u);
    EXPECT_EQ(info.SUMSCHICHTEN, 401);
    // 200 x 450 / 60 + 200 x 480 / 60 = 1500 + 1600
    EXPECT_EQ(info.BMSGESAMT_REINEAZ, Decimal::FromCents(310000));
}

TEST_F(SBPDataTest, KeyFiguresOfAnEmptyPlanAreZero)
{
    CSBPData empty;
    CSBPInfo info;
    info.Compute(empty);
    EXPECT_EQ(info.BMSPROWOCHE, Decimal{});
    EXPECT_EQ(info.MAXSCHICHTEN, 0u);
    EXPECT_EQ(QueueRecords(info.STDPROSCHICHT), 0u);
}

// ---- store -----------------------------------------------------------------------------------

class SBPStoreTest : public SBPDataTest {
protected:
    void SetUp() override
    {
        SBPDataTest::SetUp();
        ASSERT_EQ(types.GetSavable().Init(store.files, nullptr), STORE_DONE);
        ASSERT_EQ(sbp.GetSavable().Init(store.files, nullptr), STORE_DONE);
    }
    void TearDown() override
    {
        sbp.GetSavable().Release(store.files);
        types.GetSavable().Release(store.files);
    }
    ProjectStore store;
};

TEST_F(SBPStoreTest, StepsComeBackOnUndoRedoAndReload)
{
    ISavable& s = sbp.GetSavable();
    sbp.SetCount(1, early, 3);
    ASSERT_EQ(s.StoreStep(), STORE_DONE);
    sbp.SetCount(1, early, 5);
    sbp.SetCount(7, night, 1);
    ASSERT_EQ(s.StoreStep(), STORE_DONE);
    EXPECT_EQ(s.CountInstances(), 6);

    ASSERT_EQ(s.Undo(1), STORE_DONE);
    EXPECT_EQ(sbp.GetCountBySysId(1, early), 3);
    EXPECT_EQ(sbp.GetCountBySysId(7, night), 0);
    EXPECT_EQ(ShortNames(sbp), (std::vector<std::string>{"F", "S", "N"}));
    EXPECT_EQ(sbp.GetRow(1)->TERMIN, (TERMIN{360, 840})) << "shift fields come from the shift types";
    EXPECT_FALSE(s.CanUndo(1));
    ASSERT_EQ(s.Redo(1), STORE_DONE);
    EXPECT_EQ(sbp.GetCountBySysId(1, early), 5);
    EXPECT_EQ(sbp.GetCountBySysId(7, night), 1);
    EXPECT_EQ(s.Redo(1), STORE_REFUSED);

    ASSERT_EQ(s.Save(), STORE_DONE);
    CSBPData loaded;
    loaded.SetSchichttypen(&types);
    loaded.SetBezugsrahmen(1);
    ASSERT_EQ(loaded.GetSavable().Init(store.files, nullptr), STORE_DONE);
    ASSERT_EQ(loaded.GetSavable().Load(true), STORE_DONE);
    EXPECT_EQ(ShortNames(loaded), (std::vector<std::string>{"F", "S", "N"}));
    EXPECT_EQ(loaded.GetCountBySysId(1, early), 5);
    EXPECT_EQ(loaded.GetCountBySysId(7, night), 1);
    loaded.GetSavable().Release(store.files);
}

TEST_F(SBPStoreTest, ALoadedRowOfAnUnknownShiftTypeIsDropped)
{
    ISavable& s = sbp.GetSavable();
    sbp.SetCount(2, late, 1);
    ASSERT_EQ(s.StoreStep(), STORE_DONE);
    // A record of the same step naming a shift type this worksheet does not have.
    CSubfileManager& sub = sbp.GetSavableManager().FileManager();
    SBP.Clear();
    SBP.SetInt("ID", sub.GetID());
    SBP.SetInt("STEP", sub.CurrentStep());
    SBP.SetInt("SYSID", 4242);
    SBP.SetInt("ANZAHL", 9, 1);
    ASSERT_EQ(FileAdd(SBP), ERR_NONE);

    sbp.SetCount(2, late, 0);
    ASSERT_EQ(s.Load(true), STORE_DONE);
    EXPECT_EQ(sbp.CountRows(), 3);
    EXPECT_EQ(sbp.FindRowBySysId(4242), 0);
    EXPECT_EQ(sbp.GetCountBySysId(2, late), 1);
}

TEST_F(SBPStoreTest, ResetNewGivesOneWeek)
{
    CSBPData fresh;
    EXPECT_EQ(fresh.GetSavable().ResetNew(), STORE_DONE);
    EXPECT_EQ(fresh.GetBezugsrahmen(), 1);
    EXPECT_EQ(fresh.CountDays(), 7);
}

} // namespace
