// Weekend criteria: free Sundays a year in thousandths (KR4, and how the figure is shown) and the
// weekend rest (KR17), on small plans built here.
#include "assessment/KriterienWochenende.h"
#include "assessment/RahmenbedingungRuhezeiten.h"
#include "assessment/RahmenbedingungWochenende.h"

#include "CriteriaTestSupport.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <vector>

using namespace bewertungtest;
using namespace criteriatest;

namespace {

constexpr uint32_t H(uint32_t hours, uint32_t minutes = 0) { return hours * 60 + minutes; }

using Rows = std::vector<std::string>;

class WeekendCriteria : public ::testing::Test {
protected:
    WeekendCriteria()
    {
        p.Define('m', Shift("m", H(0), H(8)));
        p.Define('e', Shift("e", H(4), H(12)));
        p.Define('f', Shift("f", H(12), H(16)));
        p.Define('g', Shift("g", H(12), H(16, 30)));
        kr4.SetRahmenbedingung(&rb5, &rb6);
        kr17.SetRahmenbedingung(&rb17);
        kr4.AKTIVIERT = kr17.AKTIVIERT = 1;
    }

    void Evaluate(const Rows& rows)
    {
        p.Set(rows);
        e.Evaluate(p.plan);
    }

    EmptyKri emptyKri;
    TempIni ini;  // the criteria write their weights
    LetterPlan p;
    CAZPBewertung e;
    CRahmenbedingungFreieSonntage rb5;
    CRahmenbedingungKontWochenruhezeit rb6;
    CRahmenbedingungWochenende rb17;
    CKriteriumFreieSonntage kr4;
    CKriteriumWochenende kr17;
};

// ---- KR4 -----------------------------------------------------------------------------------------

TEST_F(WeekendCriteria, KR4CountsFreeSundaysAYearInThousandths)
{
    const Rows twoOfFour = {"FFFFFF.", "FFFFFFF", "FFFFFF.", "FFFFFFF"};
    const struct {
        const char* what;
        Rows rows;
        int32_t shift;  // how far the Sunday may move
        uint16_t asked;
        RecI expected;
    } cases[] = {
        {"empty plan: 52 a year, whatever is asked", {"......."}, 0, 60, {1, 0, 0, 52000}},
        {"every Sunday free", {"FFFFFF."}, 0, 52, {1, 0, 0, 52142}},
        {"2 of 4 Sundays, 26 asked", twoOfFour, 0, 26, {1, 0, 0, 26071}},
        {"2 of 4 Sundays, 27 asked", twoOfFour, 0, 27, {1, 0, 1, 26071}},
        {"every cell worked", {"FFFFFFF"}, 0, 15, {1, 0, 1, 0}},
        {"Saturday night: the Sunday's rest begins at 06:00", {"FFFFFN."}, 0, 1, {1, 0, 1, 0}},
        {"moved by up to 6 h it counts", {"FFFFFN."}, T(6), 1, {1, 0, 0, 52142}},
        {"the rest after the cycle's last shift frees the first Sunday", {".......", "FFFFFFF"}, 0, 26,
         {1, 0, 0, 26071}},
    };
    for (const auto& c : cases) {
        rb6.SAZ_VERSCHIEBUNG = c.shift;
        rb5.FREIE_SONNTAGE = c.asked;
        Evaluate(c.rows);
        kr4.Check(e, 0);
        EXPECT_EQ(RecordsWithInfo(e, &kr4), std::vector<RecI>{c.expected}) << c.what;
        const auto full = FullRecords(e, &kr4);
        ASSERT_EQ(full.size(), 1u) << c.what;
        EXPECT_EQ(full[0].second.TEXT, VerstossText("")) << c.what;
    }
}

TEST_F(WeekendCriteria, ShowFreieSonntageShowsTheFigureAndColoursTooFew)
{
    using Shown = std::tuple<std::string, int64_t, int64_t>;
    std::vector<Shown> shown;
    HeadlessDriver driver;
    driver.Start([&] {
        WindowDesc d;
        d.title = "Bewertung";
        d.Add(Ctl::String("").At(0, 0, 60, 10));
        const int w = WindowCreate(d);
        auto read = [&] {
            shown.emplace_back(PropertyGet(w, 1, Prop::Text, 0).Str(), PropertyGet(w, 1, Prop::Color, 0).Int(),
                               PropertyGet(w, 1, Prop::FontColor, 0).Int());
        };
        VERSTOSSINFO few;
        few.WERT = 1;
        few.INFO = 26071;
        VERSTOSSINFO enough;
        enough.INFO = 52142;
        CKriteriumFreieSonntage::ShowFreieSonntage(w, 1, &few);
        read();
        CKriteriumFreieSonntage::ShowFreieSonntage(w, 1, &enough);
        read();
        CKriteriumFreieSonntage::ShowFreieSonntage(w, 1, &few);
        CKriteriumFreieSonntage::ShowFreieSonntage(w, 1, nullptr);
        read();
        CKriteriumFreieSonntage::ShowFreieSonntage(0, 1, &enough);  // no window: nothing
        read();
        WindowClose(w);
    });
    driver.WaitEnd();
    EXPECT_EQ(shown, (std::vector<Shown>{{"26", 14867710, 255}, {"52", -1, -1}, {"", 14867710, 255},
                                         {"", 14867710, 255}}));
}

// ---- KR17 ----------------------------------------------------------------------------------------

TEST_F(WeekendCriteria, KR17MarksTheShiftsThatCutTheWeekendRestShort)
{
    struct Frame {
        uint16_t fromDay;
        int32_t fromTime;
        uint16_t toDay;
        int32_t toTime;
        int64_t hours;
    };
    const Frame satToMon{6, T(14), 1, T(6), 36};      // Saturday 14:00 .. Monday 06:00, 36 h
    const Frame wholeWeekend{6, T(0), 1, T(0), 48};    // Saturday 00:00 .. Monday 00:00, 48 h
    const struct {
        const char* what;
        Frame frame;
        Rows rows;
        std::vector<Rec> expected;
    } cases[] = {
        {"Saturday until 14:00, Monday from 06:00: 40 h", satToMon, {"FFFFFF."}, {}},
        {"a Sunday shift lies in both windows and marks itself", satToMon, {"FFFFFFF"}, {{7, 0, 1}}},
        {"Saturday and Sunday late shifts: one weekend, marked on both", satToMon, {"FFFFFSS"},
         {{6, 0, 1}, {7, 0, 0}}},
        {"exactly 36 h between Saturday 16:00 and Monday 04:00", satToMon, {"e....f."}, {}},
        {"30 minutes short", satToMon, {"e....g."}, {{1, 0, 0}, {6, 0, 1}}},
        {"each week on its own", satToMon, {"FFFFFFF" "FFFFFF."}, {{7, 0, 1}}},
        {"the weekend over the cycle's end counts once", satToMon, {"mFFFFF." "FFFFFFF"}, {{1, 0, 1}, {14, 0, 0}}},
        {"whole weekend: Friday shift", wholeWeekend, {"FFFFF.."}, {}},
        {"whole weekend: Saturday shift", wholeWeekend, {"FFFFFF."}, {{6, 0, 1}}},
        {"no shift", satToMon, {"......."}, {}},
    };
    for (const auto& c : cases) {
        rb17.WE_ANFANGSTAG = c.frame.fromDay;
        rb17.WE_ANFANGSZEIT = c.frame.fromTime;
        rb17.WE_ENDTAG = c.frame.toDay;
        rb17.WE_ENDZEIT = c.frame.toTime;
        rb17.WE_DAUER_MIN = Decimal::FromCents(c.frame.hours * 100);
        Evaluate(c.rows);
        kr17.Check(e, 0);
        EXPECT_EQ(Records(e, &kr17), c.expected) << c.what;
    }
}

TEST_F(WeekendCriteria, KR17WeeksBeginOnTuesdayAfternoon)
{
    // Monday's and Tuesday morning's shifts belong to the weekend before them.
    const struct {
        uint32_t begin;
        int64_t week;
    } cases[] = {{0, 0}, {H(24 + 16, 47), 0}, {H(24 + 16, 48), 1}, {7 * kDay + H(6), 1}, {8 * kDay + H(17), 2}};
    for (const auto& c : cases)
        EXPECT_EQ(CKriteriumWochenende::WeekOf(c.begin), c.week) << c.begin;
}

TEST_F(WeekendCriteria, KR17MarkerAndWeights)
{
    VERSTOSSINFO r;
    r.KRITERIUM = &kr17;
    const auto ops = Drawn([&](const GridDC& dc) { kr17.Paint(7, r, dc, 100, 20, 80, 60); });
    EXPECT_EQ(Marks(ops), (std::vector<std::tuple<std::string, int, int>>{{"KR_WE_ico", 124, 48}}));
    EXPECT_EQ(kr17.TEILER, 14.0);
    EXPECT_EQ(kr4.TEILER, 100000.0);
    EXPECT_EQ(std::tuple(kr4.NUMMER, kr17.NUMMER), std::tuple(4L, 17L));

    // KR4 draws nothing in a cell.
    VERSTOSSINFO k4;
    k4.KRITERIUM = &kr4;
    EXPECT_TRUE(Drawn([&](const GridDC& dc) { kr4.Paint(1, k4, dc, 0, 0, 80, 60); }).empty());
}

TEST_F(WeekendCriteria, AssignCopiesTheLinkedConstraints)
{
    rb5.FREIE_SONNTAGE = 26;
    rb6.SAZ_VERSCHIEBUNG = T(6);
    rb17.WE_ANFANGSTAG = 6;
    rb17.WE_DAUER_MIN = Decimal::FromCents(3600);
    CRahmenbedingungFreieSonntage rb5b;
    CRahmenbedingungKontWochenruhezeit rb6b;
    CRahmenbedingungWochenende rb17b;
    CKriteriumFreieSonntage kr4b;
    CKriteriumWochenende kr17b;
    kr4b.SetRahmenbedingung(&rb5b, &rb6b);
    kr17b.SetRahmenbedingung(&rb17b);
    kr4b.Assign(kr4, nullptr);
    kr17b.Assign(kr17, nullptr);
    EXPECT_EQ(std::tuple(rb5b.FREIE_SONNTAGE, rb6b.SAZ_VERSCHIEBUNG), std::tuple(uint16_t(26), T(6)));
    EXPECT_EQ(std::tuple(rb17b.WE_ANFANGSTAG, rb17b.WE_DAUER_MIN), std::tuple(uint16_t(6), Decimal::FromCents(3600)));
    EXPECT_EQ(std::tuple(kr4b.RB5, kr4b.RB6, kr17b.RB17), std::tuple(&rb5b, &rb6b, &rb17b));

    // Without their constraints they find nothing.
    CKriteriumFreieSonntage unlinked4;
    CKriteriumWochenende unlinked17;
    Evaluate({"FFFFFFF"});
    unlinked4.Check(e, 0);
    unlinked17.Check(e, 0);
    EXPECT_EQ(e.GetVerstossliste(1)->Count(), 0);
    EXPECT_EQ(e.GetVerstossliste(7)->Count(), 0);
}

} // namespace
