// The flex plan: the overlap test on the two-day line, the period of the entries, the working-time
// plan rebuilt from them week by week, and the entries stored as undo steps.
#include "plans/FlexAZ.h"

#include "PlanTestSupport.h"
#include "core/Files.h"
#include "plans/AZPData.h"
#include "platform/values/Date.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace plantest;

namespace {

// Monday, 1 January 2024.
const int32_t kMonday = int32_t(DateFromParts(2024, 1, 1));

CFlexSchicht Entry(int32_t date, uint32_t from, uint32_t to, PAUSE pause = {})
{
    CFlexSchicht s;
    s.Clear();
    s.DATUM = date;
    s.TERMIN = {from, to > from ? to : to + kDay};
    s.PAUSEN[0] = pause;
    return s;
}

constexpr uint32_t H(uint32_t hours) { return hours * 60; }

struct OverlapCase {
    const char* name;
    int dayOfOther;          // the existing entry's date relative to the new one's
    uint32_t otherFrom, otherTo;
    uint32_t from, to;       // the new entry on day 0
    uint8_t expected;        // 1 free, 0 overlapping
};

TEST(FlexAZ, FindOverlapComparesTheDayBeforeTheDayAndTheDayAfter)
{
    const std::vector<OverlapCase> cases = {
        {"Nachtschicht des Vortags reicht in den Beginn", -1, H(22), H(6), H(5), H(13), 0},
        {"Nachtschicht des Vortags endet beim Beginn", -1, H(22), H(6), H(6), H(14), 1},
        {"neue Nachtschicht reicht in den Folgetag", +1, H(5), H(13), H(22), H(6), 0},
        {"neue Nachtschicht endet beim Beginn des Folgetags", +1, H(6), H(14), H(22), H(6), 1},
        {"am selben Tag überschneidend", 0, H(8), H(16), H(15), H(18), 0},
        {"am selben Tag aneinander anschließend", 0, H(8), H(16), H(16), H(20), 1},
        {"am selben Tag umschlossen", 0, H(8), H(16), H(10), H(11), 0},
        {"zwei Tage vorher zählt nicht", -2, H(22), H(23), H(22), H(23), 1},
        {"Folgetag ohne Berührung", +1, H(8), H(16), H(8), H(16), 1},
    };
    for (const OverlapCase& c : cases) {
        SCOPED_TRACE(c.name);
        CFlexAZ flex;
        flex.Add(Entry(kMonday + 10 + c.dayOfOther, c.otherFrom, c.otherTo));
        EXPECT_EQ(flex.FindOverlap(Entry(kMonday + 10, c.from, c.to)), c.expected);
    }
}

TEST(FlexAZ, TheEntryBeingChangedAndBreaksDoNotCount)
{
    CFlexAZ flex;
    flex.Add(Entry(kMonday, H(8), H(16), {120, 60, 0}));
    flex.Add(Entry(kMonday + 1, H(8), H(16)));
    // A new entry inside the other's break still overlaps its working time.
    EXPECT_EQ(flex.FindOverlap(Entry(kMonday, H(10), H(11))), 0);
    // The changed entry (number 1) moved later on its day meets only itself.
    flex.SKIPINCHECK = 1;
    EXPECT_EQ(flex.FindOverlap(Entry(kMonday, H(9), H(17))), 1);
    flex.SKIPINCHECK = 2;
    EXPECT_EQ(flex.FindOverlap(Entry(kMonday, H(9), H(17))), 0);
}

TEST(FlexAZ, EntriesStandByDateAndBeginAndEqualOnesBothStay)
{
    CFlexAZ flex;
    CFlexSchicht a = Entry(kMonday + 2, H(8), H(12));
    a.ARBEITNEHMER = 1;
    CFlexSchicht b = a;
    b.ARBEITNEHMER = 2;
    flex.Add(Entry(kMonday + 3, H(6), H(8)));
    flex.Add(a);
    flex.Add(Entry(kMonday + 2, H(6), H(7)));
    flex.Add(b);
    ASSERT_EQ(flex.Count(), 4);
    std::vector<int32_t> order;
    for (long n = 1; n <= flex.Count(); ++n)
        order.push_back(flex.Entry(n)->DATUM * 10000 + int32_t(flex.Entry(n)->TERMIN.BEGINN) + flex.Entry(n)->ARBEITNEHMER);
    const int32_t d2 = (kMonday + 2) * 10000;
    EXPECT_EQ(order, (std::vector<int32_t>{d2 + 360, d2 + 480 + 1, d2 + 480 + 2, (kMonday + 3) * 10000 + 360}));
    EXPECT_EQ(flex.Find(kMonday + 2, H(8)), 2);
    EXPECT_EQ(flex.FindDate(kMonday + 3), 4);
    EXPECT_EQ(flex.FindDate(kMonday + 4), 0);
}

TEST(FlexAZ, GetPeriodRunsFromTheFirstMondayToTheLastSunday)
{
    CFlexAZ flex;
    int32_t first = 7, last = 8;
    EXPECT_FALSE(flex.GetPeriod(first, last));
    EXPECT_EQ(first, 7);
    EXPECT_EQ(last, 8);
    flex.Add(Entry(kMonday + 9, H(8), H(16)));   // Wednesday of week 2
    flex.Add(Entry(kMonday + 2, H(8), H(16)));   // Wednesday of week 1
    flex.Add(Entry(kMonday + 20, H(8), H(16)));  // Sunday of week 3
    ASSERT_TRUE(flex.GetPeriod(first, last));
    EXPECT_EQ(first, kMonday);
    EXPECT_EQ(last, kMonday + 20);
}

// ---- the working-time plan from the entries ---------------------------------------------------

class FlexBuildTest : public ::testing::Test {
protected:
    // Each group as seven cells: the begin hour of the cell's shift type or "." for a free day.
    std::vector<std::string> Rows()
    {
        std::vector<std::string> out;
        for (uint32_t g = 1; g <= azp.CountGroups(); ++g) {
            std::string row;
            for (uint32_t d = 1; d <= 7; ++d) {
                const CSchicht* s = azp.GetCellSchicht(d, g);
                row += s ? std::to_string(s->TERMIN.BEGINN / 60) : ".";
                row += d < 7 ? " " : "";
            }
            out.push_back(row);
        }
        return out;
    }
    CFlexAZ flex;
    CSchichttypen types;
    CAZPData azp;
};

TEST_F(FlexBuildTest, EachCalendarWeekIsOneGroupAndEachEntryOneShiftType)
{
    azp.SetSchichttypen(&types, 0);
    flex.Add(Entry(kMonday, H(6), H(14)));                 // week 1, Monday
    flex.Add(Entry(kMonday + 6, H(8), H(12)));             // week 1, Sunday
    flex.Add(Entry(kMonday + 10, H(22), H(6)));            // week 2, Thursday
    flex.Add(Entry(kMonday + 16, H(7), H(15)));            // week 3, Wednesday
    flex.Add(Entry(kMonday + 16, H(16), H(20)));           // the later one of that day holds the cell
    flex.BuildAZP(azp, types, 0, 0, true, true);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"6 . . . . . 8", ". . . 22 . . .", ". . 16 . . . ."}));
    EXPECT_EQ(azp.CountDays(), 7);
    EXPECT_EQ(types.Count(), 5);
    // Blank names are made from the times.
    const CSchicht* night = azp.GetCellSchicht(4, 2);
    ASSERT_NE(night, nullptr);
    EXPECT_EQ(night->BEZEICHNUNG, "22:00-06:00");
    EXPECT_EQ(night->KURZBEZEICHNUNG, "22:00");

    // Rebuilding starts afresh: no shift type or group of the last build stays.
    flex.Clear();
    flex.Add(Entry(kMonday + 3, H(6), H(14)));
    flex.BuildAZP(azp, types, 0, 0, true, true);
    EXPECT_EQ(Rows(), (std::vector<std::string>{". . . 6 . . ."}));
    EXPECT_EQ(types.Count(), 1);
}

TEST_F(FlexBuildTest, AChosenPeriodStartsWithItsOwnWeekAndKeepsToBothBounds)
{
    azp.SetSchichttypen(&types, 0);
    flex.Add(Entry(kMonday + 1, H(6), H(14)));    // before the period
    flex.Add(Entry(kMonday + 15, H(8), H(16)));   // week 3: the period's second week
    flex.Add(Entry(kMonday + 22, H(9), H(17)));   // week 4
    flex.Add(Entry(kMonday + 29, H(10), H(18)));  // after the period
    // The period's first week (week 2) holds no entry: it is still the plan's first row.
    flex.BuildAZP(azp, types, kMonday + 7, kMonday + 27, false, false);
    EXPECT_EQ(Rows(), (std::vector<std::string>{". . . . . . .", ". 8 . . . . .", ". 9 . . . . ."}));
    EXPECT_EQ(types.Count(), 2);
}

TEST_F(FlexBuildTest, EntriesWithoutAValidDateMakeNoRows)
{
    azp.SetSchichttypen(&types, 0);
    flex.Add(Entry(0, H(6), H(14)));
    flex.Add(Entry(kMonday + 2, H(6), H(14)));
    flex.BuildAZP(azp, types, 0, 0, true, true);
    EXPECT_EQ(Rows(), (std::vector<std::string>{". . 6 . . . ."}));
    int32_t first = 0, last = 0;
    ASSERT_TRUE(flex.GetPeriod(first, last));
    EXPECT_EQ(first, kMonday);
}

// ---- storage ------------------------------------------------------------------------------------

TEST(FlexAZStore, EveryFieldSurvivesAStepAndUndoRedoReloadTheEntries)
{
    ProjectStore store;
    CFlexAZ flex;
    ASSERT_EQ(flex.GetSavable().Init(store.files, nullptr), STORE_DONE);
    CFlexSchicht a = Entry(kMonday + 1, H(22), H(6), {60, 30, 1});
    a.ART = ART_BEREITSCHAFT;
    a.ARBEITNEHMER = 7;
    a.SYSID = 4242;
    a.PAUSEN[4] = {300, 15, 0};
    flex.Add(a);
    ASSERT_EQ(flex.GetSavable().StoreStep(), STORE_DONE);
    flex.Add(Entry(kMonday, H(8), H(16)));
    ASSERT_EQ(flex.GetSavable().StoreStep(), STORE_DONE);

    ASSERT_EQ(flex.GetSavable().Undo(1), STORE_DONE);
    ASSERT_EQ(flex.Count(), 1);
    const QFLEXAZ& e = *flex.Entry(1);
    EXPECT_EQ(e.DATUM, kMonday + 1);
    EXPECT_EQ(e.TERMIN, (TERMIN{H(22), H(30)}));
    EXPECT_EQ(e.ART, ART_BEREITSCHAFT);
    EXPECT_EQ(e.ARBEITNEHMER, 7);
    EXPECT_EQ(e.SYSID, 4242u);
    EXPECT_EQ(e.PAUSEN[0], (PAUSE{60, 30, 1}));
    EXPECT_EQ(e.PAUSEN[4], (PAUSE{300, 15, 0}));

    ASSERT_EQ(flex.GetSavable().Redo(1), STORE_DONE);
    ASSERT_EQ(flex.Count(), 2);
    EXPECT_EQ(flex.Entry(1)->DATUM, kMonday) << "loaded entries are sorted";
    flex.GetSavable().Release(store.files);
}

} // namespace
