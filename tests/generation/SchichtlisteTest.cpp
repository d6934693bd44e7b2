#include "generation/Schichtliste.h"

#include "../plans/PlanTestSupport.h"
#include "platform/values/Random.h"
#include "plans/SBPData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace plantest;

namespace {

// Shift types F 06-14, S 14-22, N 22-06 and a free shift X (kind 2), one week of demand.
class SchichtlisteTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        F = Add(types, Shift("F", 360, 840));
        S = Add(types, Shift("S", 840, 1320));
        N = Add(types, Shift("N", 1320, 360));
        X = Add(types, Shift("X", 0, 1440, {}, ART_FREISCHICHT));
        sbp.SetSchichttypen(&types);
        sbp.SetBezugsrahmen(1);
        sbp.SetSchichtgruppenstaerke(1);
        sbp.SyncSchichttypen();
    }

    // A day's list as letters: the shift's short name, "." for a free entry.
    std::string Day(const CSchichtliste& list, uint16_t d) const
    {
        std::string out;
        for (uint32_t n = 1; n <= list.CountDay(d); ++n) {
            const ListenSchicht* e = list.Get(d, n);
            out += e->ART == LISTE_FREI ? '.' : Letter(e->SYSID);
        }
        return out;
    }
    char Letter(uint32_t id) const
    {
        return id == F ? 'F' : id == S ? 'S' : id == N ? 'N' : id == X ? 'X' : '?';
    }

    CSchichttypen types;
    CSBPData sbp;
    uint32_t F = 0, S = 0, N = 0, X = 0;
};

TEST_F(SchichtlisteTest, DayListsHoldTheDemandInShiftTypeOrderThenFreeEntries)
{
    sbp.SetCount(1, N, 1);
    sbp.SetCount(1, F, 2);
    sbp.SetCount(1, X, 3);   // a free shift kind is never demanded as work
    sbp.SetCount(2, S, 4);   // more than the groups: all of one type go in
    sbp.SetCount(2, N, 1);   // the day is full before N: nothing more
    sbp.SetCount(3, F, 3);   // exactly the groups
    sbp.SetCount(3, N, 2);
    CSchichtliste list;
    list.BuildFromSBP(sbp, 3);

    ASSERT_EQ(QueueRecords(*list.TAGE), 7u);
    EXPECT_EQ(Day(list, 1), "FFN");
    EXPECT_EQ(Day(list, 2), "SSSS");
    EXPECT_EQ(Day(list, 3), "FFF");
    EXPECT_EQ(Day(list, 4), "...");   // no demand: one free entry per group
    const ListenSchicht* first = list.Get(1, 1);
    EXPECT_EQ(*first, (ListenSchicht{TERMIN{360, 840}, F, LISTE_ARBEIT}));
    EXPECT_EQ(*list.Get(4, 1), (ListenSchicht{TERMIN{}, 0, LISTE_FREI}));
}

TEST_F(SchichtlisteTest, CountsAreFoundByIdentityNotByRowPosition)
{
    sbp.SetCount(1, F, 1);
    sbp.SetCount(1, S, 1);
    // A new shift type that begins before F, without a row yet: row 2 still belongs to F.
    // Taking "row i for the i-th type" would give the new type F's count and F the one of S.
    const uint32_t early = Add(types, Shift("E", 120, 600));
    ASSERT_EQ(types.GetByIndex(2)->SYSID, early);
    ASSERT_EQ(sbp.GetRowSysId(2), F);
    CSchichtliste list;
    list.BuildFromSBP(sbp, 4);
    EXPECT_EQ(Day(list, 1), "FS..");
}

TEST_F(SchichtlisteTest, FromTwentyGroupsEntriesAreShuffledTheSameWayForTheSameStartValue)
{
    for (uint32_t d = 1; d <= 7; ++d) {
        sbp.SetCount(d, F, 6);
        sbp.SetCount(d, S, 6);
        sbp.SetCount(d, N, 4);
    }
    auto build = [&](uint16_t groups) {
        RandomRestart(77);
        CSchichtliste list;
        list.BuildFromSBP(sbp, groups);
        std::vector<std::string> days;
        for (uint16_t d = 1; d <= 7; ++d)
            days.push_back(Day(list, d));
        return days;
    };
    const std::vector<std::string> small = build(19);
    EXPECT_EQ(small[0], "FFFFFFSSSSSSNNNN...");

    const std::vector<std::string> shuffled = build(20);
    EXPECT_EQ(shuffled, build(20));
    bool anyOutOfOrder = false;
    for (const std::string& day : shuffled) {
        std::string sorted = day;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(sorted, "....FFFFFFNNNNSSSSSS");
        anyOutOfOrder = anyOutOfOrder || day != "FFFFFFSSSSSSNNNN....";
    }
    EXPECT_TRUE(anyOutOfOrder);
}

TEST_F(SchichtlisteTest, SelectNextFindAndDelete)
{
    sbp.SetCount(1, F, 1);
    sbp.SetCount(1, S, 1);
    CSchichtliste list;
    list.BuildFromSBP(sbp, 4);   // day 1: F S . .
    list.SelectTag(1);
    ListenSchicht r{TERMIN{1, 2}, 99, 7};
    const ListenSchicht untouched = r;

    // Nothing current yet: NextSchicht counts entry 1 as current and gives entry 2.
    EXPECT_EQ(list.NextSchicht(r), 0);
    EXPECT_EQ(r.SYSID, S);
    EXPECT_EQ(list.CurrentPosition(), 2u);

    r = untouched;
    EXPECT_EQ(list.SelectSchicht(0, r), 5);
    EXPECT_EQ(list.SelectSchicht(5, r), 5);
    EXPECT_EQ(r, untouched);
    EXPECT_EQ(list.SelectSchicht(4, r), 0);
    EXPECT_EQ(r.ART, LISTE_FREI);
    EXPECT_EQ(list.NextSchicht(r), 5);   // at the end: record as it was
    EXPECT_EQ(r.ART, LISTE_FREI);

    uint16_t position = 99;
    EXPECT_EQ(list.FindFreeSchicht(&position), 0);
    EXPECT_EQ(position, 3);
    EXPECT_EQ(list.DeleteCurrent(), 0);
    EXPECT_EQ(Day(list, 1), "FS.");
    EXPECT_EQ(list.SelectSchicht(1, r), 0);
    EXPECT_EQ(list.DeleteCurrent(), 0);
    EXPECT_EQ(Day(list, 1), "S.");

    // A day beyond the lists leaves the current day.
    list.SelectTag(8);
    EXPECT_EQ(list.CurrentDay(), 1);
    list.SelectTag(0);
    EXPECT_EQ(list.CurrentDay(), 1);

    // A day without free entries.
    list.SelectTag(2);
    sbp.SetCount(2, N, 4);
    CSchichtliste full;
    full.BuildFromSBP(sbp, 4);
    full.SelectTag(2);
    position = 99;
    EXPECT_EQ(full.FindFreeSchicht(&position), 5);
    EXPECT_EQ(position, 0);
}

TEST_F(SchichtlisteTest, ReleaseAndRebuildLeaveNothingBehind)
{
    sbp.SetCount(1, F, 2);
    CSchichtliste list;
    list.BuildFromSBP(sbp, 3);
    list.BuildFromSBP(sbp, 2);   // the old lists go first
    EXPECT_EQ(QueueRecords(*list.TAGE), 7u);
    EXPECT_EQ(Day(list, 1), "FF");
    list.SelectTag(1);
    list.FreeAll();
    EXPECT_EQ(QueueRecords(*list.TAGE), 0u);
    ListenSchicht r;
    EXPECT_EQ(list.SelectSchicht(1, r), 5);
    list.Release();
    EXPECT_EQ(list.TAGE, nullptr);
    EXPECT_EQ(list.CountDay(1), 0u);
    list.BuildFromSBP(sbp, 1);   // usable again after a release; a type adds all its count
    EXPECT_EQ(Day(list, 1), "FF");
}

} // namespace
