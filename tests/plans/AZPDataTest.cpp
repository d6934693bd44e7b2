#include "plans/AZPData.h"

#include "PlanTestSupport.h"
#include "core/Files.h"
#include "plans/AZPInfo.h"
#include "plans/SBPData.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace plantest;

namespace {

// One group's cells of days 1..days as short names, "." for a free day and "?" for an id
// without a shift type.
std::string Row(const CAZPData& azp, uint32_t group, uint32_t days)
{
    std::string out;
    for (uint32_t d = 1; d <= days; ++d) {
        const uint32_t id = azp.GetCell(d, group);
        const CSchicht* s = id ? azp.GetSchichttypen()->FindBySysId(id) : nullptr;
        out += id == 0 ? "." : s ? s->KURZBEZEICHNUNG : "?";
    }
    return out;
}

class AZPDataTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        early = Add(types, Shift("F", 360, 840, {240, 30, 0}));  // net 450
        night = Add(types, Shift("N", 1320, 360));                // net 480
        azp.SetSchichttypen(&types, 3);
        azp.SetBezugsrahmen(2);
    }

    // Fills the group's days from a text of short names and "." (free).
    void Fill(uint32_t group, const std::string& cells)
    {
        for (uint32_t d = 1; d <= cells.size(); ++d) {
            const char c = cells[d - 1];
            azp.SetCell(d, group, c == 'F' ? early : c == 'N' ? night : 0);
        }
    }

    CSchichttypen types;
    CAZPData azp;
    uint32_t early = 0, night = 0;
};

// ---- groups and weeks ------------------------------------------------------------------------

TEST_F(AZPDataTest, GroupCountGrowsAtTheEndAndShrinksFromTheEnd)
{
    azp.SetGroupCount(5);
    for (uint32_t g = 1; g <= 5; ++g)
        Fill(g, std::string(g, 'F'));
    azp.SetGroupCount(3);
    EXPECT_EQ(azp.CountGroups(), 3);
    EXPECT_EQ(Row(azp, 1, 5), "F....");
    EXPECT_EQ(Row(azp, 3, 5), "FFF..");
    EXPECT_EQ(azp.GetCell(1, 4), 0u);

    azp.SetGroupCount(5);
    EXPECT_EQ(azp.CountGroups(), 5);
    EXPECT_EQ(Row(azp, 3, 5), "FFF..");
    EXPECT_EQ(Row(azp, 4, 5), ".....") << "appended groups are empty";
    EXPECT_EQ(Row(azp, 5, 5), ".....");

    azp.SetGroupCount(100000);
    EXPECT_EQ(azp.CountGroups(), 65535) << "the group count is a 16-bit number";
    azp.DeleteAllGroups();
    EXPECT_EQ(azp.CountGroups(), 0);
}

TEST_F(AZPDataTest, ShorteningClearsTheDaysGivenUpAndLengtheningShowsThem)
{
    azp.SetBezugsrahmen(4);
    for (uint32_t g = 1; g <= 3; ++g)
        Fill(g, std::string(28, 'N'));
    azp.SetCell(84, 1, early);  // beyond the period, as a CSV import may leave it
    azp.SetBezugsrahmen(2);
    EXPECT_EQ(azp.CountDays(), 14);
    for (uint32_t g = 1; g <= 3; ++g)
        for (uint32_t d = 15; d <= 84; ++d)
            ASSERT_EQ(azp.GetCell(d, g), 0u) << g << "/" << d;
    azp.SetBezugsrahmen(4);
    EXPECT_EQ(Row(azp, 2, 28), std::string(14, 'N') + std::string(14, '.'));

    azp.SetBezugsrahmen(4);
    azp.SetCell(20, 1, early);
    azp.SetBezugsrahmen(4);  // not shorter: nothing cleared
    azp.SetBezugsrahmen(5);
    EXPECT_EQ(azp.GetCell(20, 1), early);
    azp.SetBezugsrahmen(200);
    EXPECT_EQ(azp.GetBezugsrahmen(), 12);
    EXPECT_EQ(azp.CountDays(), 84);
}

// ---- cells -----------------------------------------------------------------------------------

TEST_F(AZPDataTest, CellsOutsideThePlanAreNeverTouched)
{
    Fill(1, "FN");
    struct Case {
        uint32_t day, group;
    };
    for (const Case c : {Case{0, 1}, Case{85, 1}, Case{4000000000u, 1}, Case{1, 0}, Case{1, 4},
                         Case{1, 65536 + 1}}) {
        SCOPED_TRACE(std::to_string(c.day) + "/" + std::to_string(c.group));
        azp.SetCell(c.day, c.group, night);
        EXPECT_EQ(azp.GetCellSchicht(c.day, c.group), nullptr);
        EXPECT_EQ(azp.GetCell(c.day, c.group), 0u);
        azp.SwapCells(c.day, 1, c.group);
        azp.SwapCells(c.day, c.group, 1);
    }
    EXPECT_EQ(Row(azp, 1, 14), "FN............");
    EXPECT_EQ(Row(azp, 2, 14), "..............");
    EXPECT_EQ(Row(azp, 3, 14), "..............");
}

TEST_F(AZPDataTest, GetCellSchichtLooksTheShiftTypeUpWithinThePeriod)
{
    Fill(2, "F.............");
    azp.SetCell(14, 2, night);
    azp.SetCell(15, 2, night);  // stored, but after the period
    azp.SetCell(3, 2, 999);     // an id without a shift type
    ASSERT_NE(azp.GetCellSchicht(1, 2), nullptr);
    EXPECT_EQ(azp.GetCellSchicht(1, 2)->SYSID, early);
    EXPECT_EQ(azp.GetCellSchicht(14, 2)->SYSID, night);
    EXPECT_EQ(azp.GetCellSchicht(0, 2), nullptr);
    EXPECT_EQ(azp.GetCellSchicht(azp.CountDays() + 1, 2), nullptr);
    EXPECT_EQ(azp.GetCellSchicht(2, 2), nullptr) << "free";
    EXPECT_EQ(azp.GetCellSchicht(3, 2), nullptr) << "unknown, not created";
    EXPECT_EQ(types.Count(), 2);

    CAZPData unlinked;
    unlinked.SetGroupCount(1);
    unlinked.SetBezugsrahmen(1);
    unlinked.SetCell(1, 1, early);
    EXPECT_EQ(unlinked.GetCellSchicht(1, 1), nullptr);
}

TEST_F(AZPDataTest, SwapCellsExchangesOneDayOfTwoGroups)
{
    Fill(1, "FN");
    Fill(2, ".F");
    azp.SwapCells(2, 1, 2);
    EXPECT_EQ(Row(azp, 1, 3), "FF.");
    EXPECT_EQ(Row(azp, 2, 3), ".N.");
    azp.SwapCells(1, 1, 1);
    EXPECT_EQ(Row(azp, 1, 3), "FF.");
}

TEST_F(AZPDataTest, CopyFromTakesGroupsAndWeeksButNotTheShiftTypes)
{
    Fill(1, "FN.F");
    Fill(3, "..NN");
    CSchichttypen ownTypes;
    CAZPData copy;
    copy.SetSchichttypen(&ownTypes, 0);
    OwnerStub owner;
    ownTypes.SetArbeitsblatt(&owner);
    MessageCatcher messages;  // the placeholders' undo steps cannot be stored here
    copy.CopyFrom(azp);
    EXPECT_EQ(copy.CountGroups(), 3);
    EXPECT_EQ(copy.GetBezugsrahmen(), 2);
    EXPECT_EQ(copy.GetCell(4, 1), early);
    EXPECT_EQ(copy.GetCell(3, 3), night);
    EXPECT_EQ(copy.GetSchichttypen(), &ownTypes);
    // Each id unknown to the copy's list got one placeholder.
    EXPECT_EQ(ownTypes.Count(), 2);
    EXPECT_EQ(owner.changes, 2);
    ASSERT_NE(ownTypes.FindBySysId(early), nullptr);
    EXPECT_EQ(ownTypes.FindBySysId(early)->BEZEICHNUNG, "unbekannt");
    EXPECT_EQ(types.Count(), 2);
}

// ---- shift demand from the plan --------------------------------------------------------------

TEST_F(AZPDataTest, FillSBPCountsTheGroupsWorkingEachShiftTypeOnEachDay)
{
    const uint32_t late = Add(types, Shift("S", 840, 1320));
    CSBPData sbp;
    sbp.SetSchichttypen(&types);
    sbp.SetBezugsrahmen(2);
    sbp.SyncSchichttypen();
    sbp.SetCount(5, late, 7);  // stale counts go

    Fill(1, "..F.........N");
    Fill(2, "..F..........");
    azp.SetCell(3, 3, 999);     // no row for this id
    azp.SetCell(20, 3, night);  // beyond the period
    azp.FillSBP(sbp);
    EXPECT_EQ(sbp.GetCountBySysId(3, early), 2);
    EXPECT_EQ(sbp.GetCountBySysId(3, night), 0);
    EXPECT_EQ(sbp.GetCountBySysId(3, late), 0);
    EXPECT_EQ(sbp.GetCountBySysId(13, night), 1);
    EXPECT_EQ(sbp.GetCountBySysId(5, late), 0);
    int total = 0;
    for (uint32_t d = 1; d <= 14; ++d)
        for (uint32_t r = 1; r <= 3; ++r)
            total += sbp.GetCount(d, r);
    EXPECT_EQ(total, 3);
}

TEST_F(AZPDataTest, FillSBPMatchesRowsBySysIdNotByPosition)
{
    // Two shift types with one begin: the SBP rows may stand in the other order.
    CSchichttypen twins;
    const uint32_t a = Add(twins, Shift("A", 480, 960));
    const uint32_t b = Add(twins, Shift("B", 480, 720));
    CSBPData sbp;
    sbp.SetSchichttypen(&twins);
    sbp.SetBezugsrahmen(1);
    twins.FindBySysId(b)->TERMIN = {400, 720};
    sbp.SyncSchichttypen();
    twins.FindBySysId(b)->TERMIN = {480, 720};
    sbp.SyncSchichttypen();
    ASSERT_EQ(sbp.GetRowSysId(1), b);
    ASSERT_EQ(twins.GetByIndex(1)->SYSID, a);

    CAZPData plan;
    plan.SetSchichttypen(&twins, 2);
    plan.SetBezugsrahmen(1);
    plan.SetCell(1, 1, a);
    plan.SetCell(1, 2, a);
    plan.SetCell(2, 1, b);
    plan.FillSBP(sbp);
    EXPECT_EQ(sbp.GetCountBySysId(1, a), 2);
    EXPECT_EQ(sbp.GetCountBySysId(1, b), 0);
    EXPECT_EQ(sbp.GetCount(1, 2), 2);
    EXPECT_EQ(sbp.GetCountBySysId(2, b), 1);
}

TEST_F(AZPDataTest, FillSBPHoldsMoreThan255GroupsAt255AndSaysSoOnce)
{
    MessageCatcher messages;
    CSBPData sbp;
    sbp.SetSchichttypen(&types);
    sbp.SetBezugsrahmen(2);
    sbp.SyncSchichttypen();
    azp.SetGroupCount(300);
    for (uint32_t g = 1; g <= 300; ++g) {
        azp.SetCell(1, g, early);
        azp.SetCell(2, g, early);
    }
    azp.FillSBP(sbp);
    EXPECT_EQ(sbp.GetCountBySysId(1, early), 255);
    EXPECT_EQ(sbp.GetCountBySysId(2, early), 255);
    EXPECT_EQ(messages.texts.size(), 1u);
}

// ---- key figures -----------------------------------------------------------------------------

TEST_F(AZPDataTest, KeyFiguresOfATwoWeekPlanOfFourGroups)
{
    azp.SetGroupCount(4);
    Fill(1, "FF.....N");
    Fill(2, "..F");
    Fill(3, "........NN");
    azp.SetCell(4, 4, 999);  // an unknown id counts nothing
    CAZPInfo info;
    info.Compute(azp, 2);
    EXPECT_EQ(info.ZYKLUSLAENGE, 8);
    EXPECT_EQ(info.PLANBELEGSCHAFT, 8);
    // Early: 3 shifts in week 1, 3 x 2 x 450 / 60 = 45 h; night: 3 in week 2, 3 x 2 x 480 / 60 = 48 h.
    EXPECT_EQ(info.BMSGESAMT_REINEAZ, Decimal::FromCents(9300));
    EXPECT_EQ(info.BMSPROWOCHE, Decimal::FromCents(4650));
    EXPECT_EQ(info.WAZ, Decimal::FromCents(581));  // 93 / 16 = 5.8125

    ASSERT_EQ(QueueRecords(info.SCHICHTEINSAETZE), 2u);
    const QWochenwerte& f = info.SCHICHTEINSAETZE.Rows()[0];
    EXPECT_EQ(f.SCHICHTID, early);
    EXPECT_EQ(f.BEZEICHNUNG, "F");
    EXPECT_EQ(f.ANZAHL[0], Decimal::FromCents(300));
    EXPECT_EQ(f.ANZAHL[1], Decimal{});
    EXPECT_EQ(info.SCHICHTEINSAETZE.Rows()[1].ANZAHL[1], Decimal::FromCents(300));

    ASSERT_EQ(QueueRecords(info.STDPROSCHICHT), 3u);
    EXPECT_EQ(info.STDPROSCHICHT.Rows()[0].ANZAHL[0], Decimal::FromCents(4500));
    EXPECT_EQ(info.STDPROSCHICHT.Rows()[1].ANZAHL[1], Decimal::FromCents(4800));
    const QWochenwerte& waz = info.STDPROSCHICHT.Rows()[2];
    EXPECT_EQ(waz.BEZEICHNUNG, "WAZ");
    EXPECT_EQ(waz.SCHICHTID, 0u);
    EXPECT_EQ(waz.ANZAHL[0], Decimal::FromCents(4500));
    EXPECT_EQ(waz.ANZAHL[1], Decimal::FromCents(4800));
    EXPECT_EQ(waz.ANZAHL[2], Decimal{});
}

TEST_F(AZPDataTest, KeyFiguresRoundOnceAndSurviveEmptyPlans)
{
    // A 50-minute shift every day of one week: 350 / 60 = 5.8333 hours, not 7 x 0.83.
    CSchichttypen shortTypes;
    const uint32_t s = Add(shortTypes, Shift("K", 600, 650));
    CAZPData plan;
    plan.SetSchichttypen(&shortTypes, 1);
    plan.SetBezugsrahmen(1);
    for (uint32_t d = 1; d <= 7; ++d)
        plan.SetCell(d, 1, s);
    CAZPInfo info;
    info.Compute(plan, 1);
    EXPECT_EQ(info.BMSGESAMT_REINEAZ, Decimal::FromCents(583));
    EXPECT_EQ(info.WAZ, Decimal::FromCents(583));

    plan.DeleteAllGroups();
    info.Compute(plan, 1);
    EXPECT_EQ(info.WAZ, Decimal{});
    EXPECT_EQ(info.ZYKLUSLAENGE, 0);
    EXPECT_EQ(QueueRecords(info.SCHICHTEINSAETZE), 1u);
    EXPECT_EQ(QueueRecords(info.STDPROSCHICHT), 2u);

    CAZPData unlinked;
    info.Compute(unlinked, 0);
    EXPECT_EQ(QueueRecords(info.STDPROSCHICHT), 1u);
    EXPECT_EQ(info.BMSPROWOCHE, Decimal{});
}

// ---- store -----------------------------------------------------------------------------------

class AZPStoreTest : public AZPDataTest {
protected:
    void SetUp() override
    {
        AZPDataTest::SetUp();
        types.SetArbeitsblatt(&owner);
        ASSERT_EQ(types.GetSavable().Init(store.files, nullptr), STORE_DONE);
        ASSERT_EQ(azp.GetSavable().Init(store.files, nullptr), STORE_DONE);
        ASSERT_EQ(types.GetSavable().StoreStep(), STORE_DONE);
    }
    void TearDown() override
    {
        azp.GetSavable().Release(store.files);
        types.GetSavable().Release(store.files);
    }
    ProjectStore store;
    OwnerStub owner;
};

TEST_F(AZPStoreTest, StepsComeBackOnUndoRedoAndReload)
{
    ISavable& s = azp.GetSavable();
    Fill(1, "F.N");
    Fill(3, "NNF");
    ASSERT_EQ(s.StoreStep(), STORE_DONE);
    azp.SetGroupCount(2);
    Fill(2, "..F.....F");
    ASSERT_EQ(s.StoreStep(), STORE_DONE);
    EXPECT_EQ(s.CountInstances(), 5);

    ASSERT_EQ(s.Undo(1), STORE_DONE);
    EXPECT_EQ(azp.CountGroups(), 3);
    EXPECT_EQ(Row(azp, 1, 4), "F.N.");
    EXPECT_EQ(Row(azp, 2, 4), "....");
    EXPECT_EQ(Row(azp, 3, 4), "NNF.");
    ASSERT_EQ(s.Redo(1), STORE_DONE);
    EXPECT_EQ(azp.CountGroups(), 2);
    EXPECT_EQ(Row(azp, 2, 10), "..F.....F.");

    ASSERT_EQ(s.Save(), STORE_DONE);
    CAZPData loaded;
    loaded.SetSchichttypen(&types, 0);
    loaded.SetBezugsrahmen(2);  // the weeks come from the worksheet
    ASSERT_EQ(loaded.GetSavable().Init(store.files, nullptr), STORE_DONE);
    ASSERT_EQ(loaded.GetSavable().Load(true), STORE_DONE);
    EXPECT_EQ(loaded.CountGroups(), 2);
    EXPECT_EQ(Row(loaded, 1, 4), "F.N.");
    EXPECT_EQ(Row(loaded, 2, 10), "..F.....F.");
    loaded.GetSavable().Release(store.files);
    EXPECT_EQ(owner.changes, 0);
}

TEST_F(AZPStoreTest, AnUnknownIdGetsExactlyOnePlaceholder)
{
    ISavable& s = azp.GetSavable();
    for (uint32_t g = 1; g <= 3; ++g)
        for (uint32_t d = 1; d <= 14; d += 2)
            azp.SetCell(d, g, 5555);
    azp.SetCell(2, 1, early);
    ASSERT_EQ(s.StoreStep(), STORE_DONE);
    ASSERT_FALSE(types.GetSavable().CanUndo(1));

    azp.DeleteAllGroups();
    ASSERT_EQ(s.Load(true), STORE_DONE);
    EXPECT_EQ(azp.CountGroups(), 3);
    ASSERT_EQ(types.Count(), 3);
    const CSchicht* placeholder = types.GetByIndex(1);
    EXPECT_EQ(placeholder->SYSID, 5555u);
    EXPECT_EQ(placeholder->BEZEICHNUNG, "unbekannt");
    EXPECT_EQ(placeholder->KURZBEZEICHNUNG, "?");
    EXPECT_EQ(owner.changes, 1);
    EXPECT_TRUE(types.GetSavable().CanUndo(1)) << "one undo step of the shift types";
    EXPECT_FALSE(types.GetSavable().CanUndo(2));
    EXPECT_EQ(azp.GetCellSchicht(3, 2), placeholder);

    azp.CheckUnknownShifts();
    EXPECT_EQ(types.Count(), 3);
    EXPECT_EQ(owner.changes, 1);
}

TEST_F(AZPStoreTest, RecordsGoBackToTheirGroupNumbers)
{
    CSubfileManager& sub = azp.GetSavableManager().FileManager();
    azp.DeleteAllGroups();
    ASSERT_EQ(azp.GetSavable().StoreStep(), STORE_DONE);
    // The step's records, written out of group order; group g works on day g.
    for (int group : {2, 1, 3}) {
        AZP.Clear();
        AZP.SetInt("ID", sub.GetID());
        AZP.SetInt("STEP", sub.CurrentStep());
        AZP.SetInt("GRUPPE", group);
        AZP.SetInt("SCHICHT", night, group);
        ASSERT_EQ(FileAdd(AZP), ERR_NONE);
    }
    ASSERT_EQ(azp.GetSavable().Load(true), STORE_DONE);
    ASSERT_EQ(azp.CountGroups(), 3);
    for (uint32_t g = 1; g <= 3; ++g)
        EXPECT_EQ(azp.GetCell(g, g), night) << g;
}

TEST_F(AZPStoreTest, AFailedStepIsReportedAndKeepsTheStepBefore)
{
    ISavable& s = azp.GetSavable();
    Fill(1, "FFN");
    ASSERT_EQ(s.StoreStep(), STORE_DONE);

    // The table goes away under the store: adding the step's records fails.
    ASSERT_EQ(FileClose(AZP), ERR_NONE);
    Fill(2, "NNN");
    EXPECT_EQ(s.StoreStep(), STORE_REFUSED);
    EXPECT_FALSE(s.CanUndo(1));
    EXPECT_EQ(Row(azp, 2, 3), "NNN") << "memory keeps the edit";

    GlobalFileName = store.files.PhysFileName() + "\\!Schichtfolgen";
    ASSERT_EQ(FileOpen(AZP, FILE_READ_WRITE | FILE_DENY_ALL), ERR_NONE);
    ASSERT_EQ(azp.GetSavableManager().Reload(3), STORE_DONE);
    EXPECT_EQ(azp.CountGroups(), 3);
    EXPECT_EQ(Row(azp, 1, 3), "FFN");
    EXPECT_EQ(Row(azp, 2, 3), "...");
    EXPECT_EQ(s.StoreStep(), STORE_DONE);
    EXPECT_TRUE(s.CanUndo(1));
}

TEST_F(AZPStoreTest, ResetNewGivesOneWeek)
{
    CAZPData fresh;
    EXPECT_EQ(fresh.GetSavable().ResetNew(), STORE_DONE);
    EXPECT_EQ(fresh.GetBezugsrahmen(), 1);
    EXPECT_EQ(fresh.CountGroups(), 0);
}

} // namespace
