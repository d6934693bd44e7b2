// Working-time criteria: shift length (KR6), daily working time with compensation (KR7), the week
// frame, the average weekly working time (KR8), the weekly limits (KR9) and consecutive working
// days (KR10), on small plans built here.
#include "assessment/KriterienArbeitszeit.h"
#include "assessment/KriterienChecker.h"
#include "assessment/KriterienRuhe.h"
#include "assessment/RahmenbedingungArbeitszeit.h"
#include "assessment/RahmenbedingungRuhezeiten.h"
#include "assessment/RahmenbedingungSchichten.h"

#include "CriteriaTestSupport.h"
#include "core/TimeHelpers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace bewertungtest;
using namespace criteriatest;

namespace {

// Minutes of the day for the shifts defined below.
constexpr uint32_t H(uint32_t hours, uint32_t minutes = 0) { return hours * 60 + minutes; }

// Criteria read their weights from the settings file: one of its own per test.
class WorkingTime : public ::testing::Test {
protected:
    EmptyKri emptyKri;
    TempIni ini;
};

// ---- KR6 -----------------------------------------------------------------------------------------

TEST_F(WorkingTime, KR6JudgesTheGrossLength)
{
    CRahmenbedingungSchichtzeit rb10;
    rb10.SL_DAUER_MIN = T(6);
    rb10.SL_DAUER_MAX = T(10);
    CKriteriumSchichtlaenge kr6;
    kr6.SetRahmenbedingung(&rb10);
    kr6.AKTIVIERT = 1;
    ASSERT_EQ(kr6.GetSTChecker(), &kr6);
    EXPECT_EQ(kr6.TEILER, 100000.0);

    const std::string tooShort = "- Die Gesamtlänge der Schicht unterschreitet die empfohlene Mindestdauer um ";
    const std::string tooLong = "- Die Gesamtlänge der Schicht überschreitet die empfohlene Höchstdauer um ";
    const struct {
        const char* what;
        CSchicht shift;
        uint8_t on;
        uint32_t amount;
        std::string text;
    } cases[] = {
        {"night 22-03, one hour short", Shift("K", H(22), H(3)), 1, 1, tooShort + "01:00 Stunden."},
        {"within the limits", Shift("F", H(6), H(14)), 1, 0, "vorher"},
        {"exactly the minimum", Shift("F", H(6), H(12)), 1, 0, "vorher"},
        {"exactly the maximum", Shift("F", H(6), H(16)), 1, 0, "vorher"},
        {"12 hours, two too long", Shift("L", H(6), H(18)), 1, 1, tooLong + "02:00 Stunden."},
        {"24 hours are too long, not too short", Shift("T", H(6), H(6)), 1, 1, tooLong + "14:00 Stunden."},
        {"a free shift is not judged", Shift("X", H(8), H(9), ART_FREISCHICHT), 1, 0, "vorher"},
        {"switched off", Shift("K", H(22), H(3)), 0, 0, "vorher"},
    };
    for (const auto& c : cases) {
        kr6.AKTIVIERT = c.on;
        std::string text = "vorher";
        EXPECT_EQ(kr6.Check(c.shift, kAlleWochentage, text, kSTCheckTextSize), c.amount) << c.what;
        EXPECT_EQ(text, c.text) << c.what;
    }

    // The text never grows past the caller's buffer, and no character is split.
    kr6.AKTIVIERT = 1;
    std::string text;
    EXPECT_EQ(kr6.Check(Shift("L", H(6), H(18)), kAlleWochentage, text, 14), 1u);
    EXPECT_EQ(text, "- Die Gesamtl");
}

TEST_F(WorkingTime, KR6PricesAShiftByItsLength)
{
    CKriteriumSchichtlaenge kr6;
    EXPECT_EQ(kr6.GetCost(Shift("K", H(22), H(3)), 0, 1), 300.0);
    EXPECT_EQ(kr6.GetCost(Shift("F", H(6), H(14)), 5, 0), 480.0);
    EXPECT_EQ(kr6.IsActive(), 0);
    kr6.AKTIVIERT = 1;
    EXPECT_EQ(kr6.IsActive(), 1);
    EXPECT_EQ(kr6.GetAZPChecker(), nullptr) << "KR6 judges shift types only";
}

// ---- KR7 -----------------------------------------------------------------------------------------

TEST_F(WorkingTime, KR7ShiftTypeCheckUsesTheLimitWithCompensationWhenThereIsOne)
{
    CRahmenbedingungWerktagAZ rb14;
    rb14.WTAZ_OHNE_AUSGLEICH = T(8);
    CKriteriumWerktagAZ kr7;
    kr7.SetRahmenbedingung(&rb14);
    const std::string over = "- die Arbeitszeit dieser Schicht überschreitet die erlaubte werktägliche Arbeitszeit um ";
    const struct {
        int32_t with;
        CSchicht shift;
        uint32_t amount;
        std::string text;
    } cases[] = {
        {T(10), Shift("M", H(6), H(16, 30)), 1, over + "00:30 Stunden."},
        {T(10), Shift("L", H(6), H(15)), 0, ""},  // the buffer is emptied also without violation
        {T(10), Shift("M", H(6), H(16, 30), ART_NORMAL, {240, 30, 0}), 0, ""},  // 10 h after the break
        {0, Shift("L", H(6), H(15)), 1, over + "01:00 Stunden."},
    };
    for (const auto& c : cases) {
        rb14.WTAZ_MIT_AUSGLEICH = c.with;
        std::string text = "vorher";
        EXPECT_EQ(kr7.Check(c.shift, kAlleWochentage, text, kSTCheckTextSize), c.amount) << c.text;
        EXPECT_EQ(text, c.text);
    }
}

// A plan fixture for KR7: L 9 h net, Z 10 h, M 10.5 h, K 4 h; N (the night shift) 8 h.
class KR7Plan : public WorkingTime {
protected:
    KR7Plan()
    {
        p.Define('L', Shift("L", H(6), H(15)));
        p.Define('Z', Shift("Z", H(6), H(16)));
        p.Define('M', Shift("M", H(6), H(16, 30)));
        p.Define('K', Shift("K", H(6), H(10)));
        rb14.WTAZ_OHNE_AUSGLEICH = T(8);
        rb14.WTAZ_MIT_AUSGLEICH = T(10);
        rb14.WTAZ_AUSGLEICHSZEITRAUM_NORMAL = 1;
        rb14.WTAZ_AUSGLEICHSZEITRAUM_NACHTARBEIT = 4;
        kr7.SetRahmenbedingung(&rb14);
        kr7.AKTIVIERT = 1;
    }

    std::vector<Rec> Run(const std::vector<std::string>& rows)
    {
        p.Set(rows);
        e.Evaluate(p.plan);
        kr7.Check(e, 0);
        return Records(e, &kr7);
    }

    LetterPlan p;
    CAZPBewertung e;
    CRahmenbedingungWerktagAZ rb14;
    CKriteriumWerktagAZ kr7;
};

TEST_F(KR7Plan, ALongDayIsOnlyAWarningWhenItsBlockAveragesEightHoursAWorkingDay)
{
    // Week 1: 9 h among short days (21 h + 10.5 h in the week: within 6 x 8 h); week 2: six 9-hour
    // days (54 h: over). The 10.5-hour shift is beyond every compensation.
    const std::vector<std::string> plan = {"LKKKM..LLLLLL."};
    EXPECT_EQ(Run(plan), (std::vector<Rec>{{1, 0, 0}, {5, 0, 1}, {8, 0, 1}, {9, 0, 1}, {10, 0, 1}, {11, 0, 1},
                                            {12, 0, 1}, {13, 0, 1}}));
    const VERSTOSSINFO* r = e.GetVerstossliste(1)->At(1);
    ASSERT_TRUE(r->TEXT.has_value());
    EXPECT_EQ(*r->TEXT, "") << "an empty text";

    // Over two weeks (85.5 h within 96 h) every 9-hour day is compensated.
    rb14.WTAZ_AUSGLEICHSZEITRAUM_NORMAL = 2;
    EXPECT_EQ(Run(plan), (std::vector<Rec>{{1, 0, 0}, {5, 0, 1}, {8, 0, 0}, {9, 0, 0}, {10, 0, 0}, {11, 0, 0},
                                            {12, 0, 0}, {13, 0, 0}}));

    // Without a longer limit nothing is compensated.
    rb14.WTAZ_MIT_AUSGLEICH = 0;
    EXPECT_EQ(Run(plan).size(), 8u);
    for (const Rec& rec : Records(e, &kr7))
        EXPECT_EQ(rec.amount, 1u) << rec;
}

TEST_F(KR7Plan, ACompensationPeriodOfNoWeeksCompensatesNothing)
{
    rb14.WTAZ_AUSGLEICHSZEITRAUM_NORMAL = 0;
    EXPECT_EQ(Run({"LK....."}), (std::vector<Rec>{{1, 0, 1}}));
}

TEST_F(KR7Plan, ABlockOfThePeriodRunsOverTheCycleEnd)
{
    // Three weeks with a two-week period: the second block is week 3 and week 1 again.
    rb14.WTAZ_AUSGLEICHSZEITRAUM_NORMAL = 2;
    const auto recs = Run({"ZZZZZZ........ZZZZZZ."});
    ASSERT_EQ(recs.size(), 12u);
    for (const Rec& r : recs)
        EXPECT_EQ(r.amount, r.cell <= 7 ? 0u : 1u) << r << ": weeks 1+2 hold 60 h, weeks 3+1 120 h";
}

TEST_F(KR7Plan, FortyEightNightShiftsAYearSwitchToTheNightWorkPeriod)
{
    // Week 1 alone is over (54 h); over all four weeks the average holds. 365 / 28 x 4 = 52 night
    // shifts a year take the four-week night-work period, 3 (39 a year) the one-week period.
    const struct {
        const char* plan;
        uint32_t amount;
    } cases[] = {
        {"LLLLLL." "N......" "N......" "N......", 1},
        {"LLLLLL." "N......" "N......" "N.....N", 0},
    };
    for (const auto& c : cases) {
        const auto recs = Run({c.plan});
        ASSERT_EQ(recs.size(), 6u) << c.plan;
        for (const Rec& r : recs)
            EXPECT_EQ(r.amount, c.amount) << c.plan << " " << r;
    }
}

TEST_F(KR7Plan, MarkersShowBothIconsAndARedOrGreenLine)
{
    CKriteriumWerktagAZ& k = kr7;
    const auto ops = Drawn([&](const GridDC& dc) {
        k.Paint(1, {.KRITERIUM = &k, .WERT = 1, .POSITION = POSITION_EINZELN, .TEXT = std::nullopt}, dc, 0, 0, 80, 60);
        k.Paint(2, {.KRITERIUM = &k, .WERT = 0, .POSITION = POSITION_EINZELN, .TEXT = std::nullopt}, dc, 80, 0, 80, 60);
    });
    using M = std::tuple<std::string, int, int>;
    EXPECT_EQ(Marks(ops), (std::vector<M>{{"KR7_anfang_ico", 0, 28}, {"KR7_ende_ico", 48, 28}, {"pen", 255, 1},
                                          {"line", 0, 57}, {"KR7_anfang_warnung_ico", 80, 28},
                                          {"KR7_ende_warnung_ico", 128, 28}, {"pen", 32768, 1}, {"line", 80, 57}}));
}

// ---- the week frame ------------------------------------------------------------------------------

// Shifts around the week's begin, before, across and after it: each week gets its share, and the
// shares always add up to the net minutes worked.
TEST_F(WorkingTime, WeekFrameSharesShiftsAroundTheWeeksBeginning)
{
    LetterPlan p;
    p.Define('O', Shift("O", H(22), H(7)));                      // Sunday night to 07:00, 9 h
    p.Define('P', Shift("P", H(22), H(7), ART_NORMAL, {60, 30, 0}));  // the same with 30 min break
    p.Define('E', Shift("E", H(4), H(12)));                      // Monday from 04:00, 8 h
    p.Define('e', Shift("e", H(4), H(5)));                       // 04:00-05:00
    p.Define('m', Shift("m", H(0), H(5), ART_NORMAL, {120, 30, 0}));  // Monday 00:00-05:00, 270 net
    p.Define('D', Shift("D", H(6), H(6), ART_NORMAL, {600, 45, 0}));  // 24 h from 06:00, 1395 net
    p.Define('d', Shift("d", H(23), H(23)));                     // 24 h from 23:00
    p.Define('M', Shift("M", H(14), H(22)));                     // 8 h
    p.Define('n', Shift("n", H(23), H(7)));                      // 23:00-07:00, 8 h
    p.Define('K', Shift("K", H(8), H(16)));                                // Monday before 23:00
    p.Define('A', Shift("A", H(20), H(7)));                                // across 23:00, 660 net
    p.Define('a', Shift("a", H(20), H(7), ART_NORMAL, {120, 30, 0}));      // the same, 30 min break
    p.Define('b', Shift("b", H(20), H(7), ART_NORMAL, {300, 45, 1}));      // paid break after 23:00
    p.Define('l', Shift("l", H(23, 30), H(7), ART_NORMAL, {60, 30, 0}));   // after 23:00
    p.Define('T', Shift("T", H(6), H(6)));                                 // 24 h from 06:00
    p.Define('s', Shift("s", H(22), H(23, 30), ART_NORMAL, {30, 60, 0}));  // breaks longer than the part after
    CRahmenbedingungWAZMittel rb15;
    CKriteriumWoche week;

    const struct {
        const char* what;
        int32_t begin;
        std::vector<std::string> plan;
        uint32_t week1, week2;
    } cases[] = {
        {"with overflow: all to the Sunday's week", 0, {"......O......."}, 540, 0},
        {"06:00: a night shift to 06:00 stays in its week", T(6), {"......N......."}, 480, 0},
        {"06:00: one to 07:00 gives an hour to the next", T(6), {"......O......."}, 480, 60},
        {"06:00: the Sunday's share carries the breaks", T(6), {"......P......."}, 450, 60},
        {"06:00: the hour goes to a worked Monday", T(6), {"......OF......"}, 480, 510},
        {"00:00 is a week beginning at midnight", T(0), {"......O......."}, 120, 420},
        {"06:00: a free Sunday takes Monday's early hours", T(6), {".......E......"}, 120, 360},
        {"06:00: a worked Sunday takes them too", T(6), {"......SE......"}, 465 + 120, 360},
        {"06:00: never more than the Monday shift", T(6), {"......Se......"}, 465 + 60, 0},
        {"06:00: over the cycle's end", T(6), {"E.....S"}, 945, 0},
        {"06:00: from the last group to the first", T(6), {".......", "......O"}, 60, 480},
        {"05:00: a 24-hour Sunday shift gives its last hour to a free Monday", T(5), {"......D......."}, 1335, 60},
        {"05:00: and to a worked Monday", T(5), {"......DM......"}, 1335, 540},
        {"06:00: 24 hours from 23:00 before a Monday night", T(6), {"......dn......"}, 420, 1500},
        {"06:00: Monday before the week begins counts net after a free Sunday", T(6), {".......m......"}, 270, 0},
        {"06:00: and after a worked Sunday", T(6), {"......Sm......"}, 465 + 270, 0},
        // A Monday shift begun before the week's begin: the hours after it, Tuesday's included,
        // are the new week's.
        {"23:00: Monday before the begin, all to the week before", T(23), {".......K......"}, 480, 0},
        {"23:00: across, 180 before and 480 after", T(23), {".......A......"}, 180, 480},
        {"23:00: across with a break before the begin", T(23), {".......a......"}, 180, 450},
        {"23:00: across with a paid break after it", T(23), {".......b......"}, 180, 435},
        {"23:00: across after a worked Sunday", T(23), {"......SA......"}, 465 + 180, 480},
        {"23:00: across after a free Sunday, before a worked Tuesday", T(23), {".......AS....."}, 180, 480 + 465},
        {"23:00: across on the cycle's first Monday", T(23), {"A............."}, 480, 180},
        {"23:00: across on the next group's first Monday", T(23), {".......", "A......"}, 180, 480},
        {"23:00: from the week's begin", T(23), {".......n......"}, 0, 480},
        {"23:00: after the week's begin", T(23), {".......l......"}, 0, 420},
        {"23:00: 24 hours across", T(23), {".......T......"}, 1020, 420},
        {"23:00: 24 hours across with a break", T(23), {".......D......"}, 1020, 375},
        {"23:00: breaks longer than the part after the begin", T(23), {".......s......"}, 30, 0},
        {"06:00: 24 hours from Monday 06:00 all in the new week", T(6), {".......T......"}, 0, 1440},
    };
    for (const auto& c : cases) {
        rb15.WOCHENBEGINN = c.begin;
        week.SetRahmenbedingung(&rb15);
        p.Set(c.plan);
        CAZPBewertung e;
        e.Evaluate(p.plan);
        const uint32_t week1 = week.WeeklyHours(e, 1), week2 = week.WeeklyHours(e, 2);
        EXPECT_EQ(week1, c.week1) << c.what;
        EXPECT_EQ(week2, c.week2) << c.what;
        uint32_t net = 0;
        for (const CSchichtNode* n = e.ERSTESCHICHT; n; n = n->NEXT == e.ERSTESCHICHT ? nullptr : n->NEXT)
            net += n->REINEAZ;
        EXPECT_EQ(week1 + week2, net) << c.what << ": the weeks share exactly the net minutes worked";
    }
}

TEST_F(WorkingTime, WeekFrameLeftAsItWasWithoutAWeekBeginning)
{
    CRahmenbedingungWAZMittel rb15;
    rb15.WOCHENBEGINN = T(6);
    CKriteriumWoche week;
    week.SetRahmenbedingung(&rb15);
    EXPECT_EQ(week.SONNTAG, (::TERMIN{8640, 10440}));
    EXPECT_EQ(week.MONTAG, (::TERMIN{360, 1440}));
    rb15.WOCHENBEGINN = 0;
    week.SetRahmenbedingung(&rb15);
    EXPECT_EQ(week.SONNTAG, (::TERMIN{8640, 10440}));

    CAZPBewertung empty;
    EXPECT_EQ(week.WeeklyHours(empty, 1), 0u);
}

// ---- KR8 and KR9 -----------------------------------------------------------------------------------

// Weeks of F shifts (7.5 h net each): the week's minutes are 450 x the number of F.
class WeeklyPlan : public WorkingTime {
protected:
    WeeklyPlan()
    {
        rb15.WAZ = Decimal::FromCents(3850);  // 2310 minutes
        rb15.WAZ_AUSGLEICHSZEITRAUM = 4;
        rb16.WAZ_MIN = Decimal::FromCents(3000);
        rb16.WAZ_MAX = Decimal::FromCents(4000);
        kr8.SetRahmenbedingung(&rb15);
        kr9.SetRahmenbedingung(&rb15, &rb16);
    }

    static std::string Week(int shifts) { return std::string(std::size_t(shifts), 'F') + std::string(std::size_t(7 - shifts), '.'); }

    void Evaluate(const std::vector<int>& shiftsPerWeek)
    {
        std::string row;
        for (int s : shiftsPerWeek)
            row += Week(s);
        p.Set({row});
        e.Evaluate(p.plan);
    }

    LetterPlan p;
    CAZPBewertung e;
    CRahmenbedingungWAZMittel rb15;
    CRahmenbedingungWAZGrenzen rb16;
    CKriteriumWAZMittel kr8;
    CKriteriumWAZGrenzen kr9;
};

TEST_F(WeeklyPlan, KR8AveragesBlocksOfThePeriodAndWrapsTheLastBlock)
{
    // Weeks 3150, 3150, 1350, 1350, 2250, 2250 minutes; the target is 2310.
    Evaluate({7, 7, 3, 3, 5, 5});
    kr8.AKTIVIERT = 1;

    const struct {
        uint16_t period;
        std::vector<uint32_t> amounts;
    } cases[] = {
        // Weeks 1-4 average 2250; weeks 5-6 average weeks 5, 6, 1 and 2: 2700.
        {4, {0, 0, 0, 0, 1, 1}},
        {1, {1, 1, 0, 0, 0, 0}},
        {0, {1, 1, 0, 0, 0, 0}},  // no period: every week by itself
        {6, {0, 0, 0, 0, 0, 0}},
        {9, {1, 1, 1, 1, 1, 1}},  // weeks 1-6, then 1-3 again: 21150 / 9 = 2350
    };
    for (const auto& c : cases) {
        rb15.WAZ_AUSGLEICHSZEITRAUM = c.period;
        e.Evaluate(p.plan);
        kr8.Check(e, 0);
        const auto recs = Records(e, &kr8);
        ASSERT_EQ(recs.size(), 6u);
        for (std::size_t w = 0; w < 6; ++w) {
            EXPECT_EQ(recs[w].cell, long(7 * (w + 1)));
            EXPECT_EQ(recs[w].amount, c.amounts[w]) << "period " << c.period << ", week " << w + 1;
        }
        EXPECT_EQ(rb15.WAZ_AUSGLEICHSZEITRAUM, c.period) << "the setting stays as the user made it";
    }
}

TEST_F(WeeklyPlan, KR8RecordsCarryTheWeeksMinutesAndTheirDifferenceToTheTarget)
{
    Evaluate({7, 5});
    rb15.WAZ = Decimal::FromCents(3851);  // 2310.6 minutes
    kr8.Check(e, 0);
    const auto recs = FullRecords(e, &kr8);
    ASSERT_EQ(recs.size(), 2u);
    EXPECT_EQ(kr8.InfoText(recs[0].second), 3150u);
    EXPECT_EQ(kr8.InfoDiff(recs[0].second), -839) << "2310.6 - 3150, cut towards 0";
    EXPECT_EQ(kr8.InfoText(recs[1].second), 2250u);
    EXPECT_EQ(kr8.InfoDiff(recs[1].second), 60);
    EXPECT_FALSE(recs[0].second.TEXT.has_value());

    VERSTOSSINFO r = recs[0].second;
    r.TEXT = "x";
    kr8.FreeRecordText(r);
    EXPECT_EQ(r.INFO, 0u);
    EXPECT_FALSE(r.TEXT.has_value());
}

TEST_F(WeeklyPlan, KR9AmountsAreMinutesOutsideTheLimitsAndTheTextTheDeviationFromTheTarget)
{
    Evaluate({3, 5, 7, 0});
    kr9.AKTIVIERT = 1;
    kr9.Check(e, 0);
    const auto recs = FullRecords(e, &kr9);
    ASSERT_EQ(recs.size(), 4u);
    const struct {
        long cell;
        uint32_t amount;
        const char* text;
    } expected[] = {{7, 450, "-960"}, {14, 0, "-60"}, {21, 750, "840"}, {28, 1800, "-2310"}};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(recs[i].first, expected[i].cell);
        EXPECT_EQ(recs[i].second.WERT, expected[i].amount) << expected[i].text;
        ASSERT_TRUE(recs[i].second.TEXT.has_value());
        EXPECT_EQ(*recs[i].second.TEXT, expected[i].text);
        EXPECT_EQ(recs[i].second.POSITION, POSITION_EINZELN);
    }

    // A target with a fraction of a minute shows it; a limit with one is cut.
    rb15.WAZ = Decimal::FromCents(3851);
    rb16.WAZ_MAX = Decimal::FromCents(3999);  // 2399.4 minutes
    e.Evaluate(p.plan);
    kr9.Check(e, 0);
    const auto again = FullRecords(e, &kr9);
    EXPECT_EQ(*again[1].second.TEXT, "-60.6");
    EXPECT_EQ(again[2].second.WERT, 750u) << "3150 - 2399.4 = 750.6";
}

TEST_F(WeeklyPlan, SwitchedOffKR8AndKR9StillMarkEveryWeekButWeighNothing)
{
    Evaluate({7, 1});
    CKriterienChecker checker;
    checker.Add(&kr8);
    checker.Add(&kr9);
    checker.CheckPlan(e, 0);
    EXPECT_EQ(Records(e, &kr8), (std::vector<Rec>{{7, 0, 0}, {14, 0, 0}}));
    EXPECT_EQ(Records(e, &kr9), (std::vector<Rec>{{7, 0, 0}, {14, 0, 0}}));
    EXPECT_EQ(e.ComputeQuality(), 0.0);

    // Week 2's Sunday was free: it now holds a placeholder node, on no list, that a criterion
    // checked later sees as a marked cell.
    const CSchichtNode* sunday = e.GetNode(14);
    ASSERT_NE(sunday, nullptr);
    EXPECT_TRUE(sunday->IsPlaceholder());
    EXPECT_EQ(sunday->NEXT, nullptr);
    EXPECT_EQ(e.ShiftCount(), 8);
}

TEST_F(WeeklyPlan, KR9sSundayPlaceholderDoesNotHideTheFreeSundayFromKR5)
{
    // Saturday night, a free Sunday, Monday early: 24 h of rest where 48 h are asked after night
    // work. KR9's weekly record on the free Sunday leaves the day free for KR5 in either order
    // (the worksheet checks KR5 first, the optimiser KR9 first).
    CRahmenbedingungRZNachtarbeit rb21;
    rb21.RZNACHTARBEIT_MIN = Decimal::FromCents(4800);
    CKriteriumNachtFrueh kr5;
    kr5.SetRahmenbedingung(&rb21);
    kr5.AKTIVIERT = 1;
    p.Set({".....N.F......"});
    const struct {
        const char* order;
        std::vector<CKriterium*> criteria;
        std::size_t kr5Records;
    } cases[] = {{"KR5, KR9", {&kr5, &kr9}, 1}, {"KR9, KR5", {&kr9, &kr5}, 1}};
    for (const auto& c : cases) {
        CKriterienChecker checker;
        checker.SetKriterien(c.criteria);
        e.Evaluate(p.plan);
        checker.CheckPlan(e, 0);
        EXPECT_EQ(Records(e, &kr5).size(), c.kr5Records) << c.order;
        EXPECT_EQ(Records(e, &kr9).size(), 2u) << c.order;
    }
}

TEST_F(WeeklyPlan, KR8AndKR9DoNothingWithoutShifts)
{
    Evaluate({0, 0});
    kr8.AKTIVIERT = kr9.AKTIVIERT = 1;
    kr8.Check(e, 0);
    kr9.Check(e, 0);
    EXPECT_EQ(e.GetNode(7), nullptr);
    EXPECT_EQ(e.GetNode(14), nullptr);
}

TEST_F(WeeklyPlan, KR9ChecksWithTheWeekFrameOfItsWeeklyConstraint)
{
    // A Sunday night to 07:00 with the week beginning 06:00: one hour counts to week 2.
    p.Define('O', Shift("O", H(22), H(7)));
    p.Set({"......O......."});
    e.Evaluate(p.plan);
    rb15.WOCHENBEGINN = T(6);
    kr9.Check(e, 0);  // the frame is set up again at the start of the check
    const auto recs = FullRecords(e, &kr9);
    ASSERT_EQ(recs.size(), 2u);
    EXPECT_EQ(*recs[0].second.TEXT, "-1830");  // 480 - 2310
    EXPECT_EQ(*recs[1].second.TEXT, "-2250");  // 60 - 2310
}

TEST_F(WeeklyPlan, KR9DrawsItsIconOnlyInTheWeeklyColumnAndOnlyForAViolation)
{
    CKriteriumWAZGrenzen& k = kr9;
    const auto ops = Drawn([&](const GridDC& dc) {
        k.Paint(0, {.KRITERIUM = &k, .WERT = 450, .POSITION = 0, .TEXT = VerstossText("-960")}, dc, 10, 20, 80, 60);
        k.Paint(7, {.KRITERIUM = &k, .WERT = 450, .POSITION = 0, .TEXT = VerstossText("-960")}, dc, 10, 20, 80, 60);
        k.Paint(0, {.KRITERIUM = &k, .WERT = 0, .POSITION = 0, .TEXT = VerstossText("-60")}, dc, 10, 20, 80, 60);
        kr8.Paint(7, {.KRITERIUM = &kr8, .WERT = 1, .POSITION = 0, .TEXT = std::nullopt}, dc, 10, 20, 80, 60);
    });
    using M = std::tuple<std::string, int, int>;
    EXPECT_EQ(Marks(ops), (std::vector<M>{{"KR_WRZ_ico", 34, 34}}));
}

// ---- KR10 ----------------------------------------------------------------------------------------

TEST_F(WorkingTime, KR10MarksRunsOutsideTheLimits)
{
    CRahmenbedingungKontArbeitstage rb7;
    CKriteriumKontArbeitstage kr10;
    kr10.SetRahmenbedingung(&rb7);
    EXPECT_EQ(kr10.TEILER, 20000.0);
    LetterPlan p;
    const struct {
        const char* what;
        uint16_t min, max;
        std::vector<std::string> plan;
        std::vector<Rec> records;
    } cases[] = {
        {"a run of 8 with at most 6", 2, 6, {"FFFFFFFF......"},
         {{1, 3, 250}, {2, 5, 250}, {3, 5, 250}, {4, 5, 250}, {5, 5, 250}, {6, 5, 250}, {7, 5, 250}, {8, 9, 250}}},
        {"a single day with at least 2", 2, 6, {"F.FF.........."}, {{1, 0, 1000}}},
        {"a run of 2 with at least 3", 3, 6, {"..SN.........."}, {{3, 3, 500}, {4, 9, 500}}},
        {"over the cycle's end: one run of 7", 2, 6, {"FFF.......FFFF"},
         {{1, 5, 142}, {2, 5, 142}, {3, 9, 142}, {11, 3, 142}, {12, 5, 142}, {13, 5, 142}, {14, 5, 142}}},
        {"from one group to the next", 2, 6, {"...FFFF", "FFF...."},
         {{4, 3, 142}, {5, 5, 142}, {6, 5, 142}, {7, 5, 142}, {8, 5, 142}, {9, 5, 142}, {10, 9, 142}}},
        {"within the limits", 2, 6, {"FF.FFFFFF....."}, {}},
        {"no shifts", 2, 6, {".............."}, {}},
        {"every cell worked, too long", 2, 6, {"FFFFFFF"},
         {{1, 3, 142}, {2, 5, 142}, {3, 5, 142}, {4, 5, 142}, {5, 5, 142}, {6, 5, 142}, {7, 9, 142}}},
        {"every cell worked, within the limits", 2, 7, {"FFFFFFF"}, {}},
        {"every cell worked, fewer than allowed", 2, 30, {"FFFFFFF"}, {}},
    };
    for (const auto& c : cases) {
        rb7.KONTAZ_MIN = c.min;
        rb7.KONTAZ_MAX = c.max;
        p.Set(c.plan);
        CAZPBewertung e;
        e.Evaluate(p.plan);
        kr10.Check(e, 0);
        EXPECT_EQ(Records(e, &kr10), c.records) << c.what;
    }
}

TEST_F(WorkingTime, KR10MarkerIsALineThroughTheRunWithIconsAtItsEnds)
{
    CKriteriumKontArbeitstage kr10;
    const auto ops = Drawn([&](const GridDC& dc) {
        for (uint8_t position : {POSITION_ANFANG, POSITION_MITTE, POSITION_ENDE, POSITION_EINZELN})
            kr10.Paint(1, {.KRITERIUM = &kr10, .WERT = 250, .POSITION = position, .TEXT = std::nullopt}, dc, 0, 0,
                       80, 60);
    });
    using M = std::tuple<std::string, int, int>;
    const M pen{"pen", 255, 1}, line{"line", 0, 51};
    EXPECT_EQ(Marks(ops), (std::vector<M>{{"KR10_anfang_ico", 0, 28}, pen, line, pen, line,
                                          {"KR10_ende_ico", 48, 28}, pen, line, {"KR10_anfang_ico", 0, 28},
                                          {"KR10_ende_ico", 48, 28}, pen, line}));
}

// ---- settings -------------------------------------------------------------------------------------

TEST_F(WorkingTime, ConstructionSetsNumbersAndDivisors)
{
    CKriteriumSchichtlaenge kr6;
    CKriteriumWerktagAZ kr7;
    CKriteriumWAZMittel kr8;
    CKriteriumWAZGrenzen kr9;
    CKriteriumKontArbeitstage kr10;
    const struct {
        CKriterium* k;
        long number;
        double divisor;
    } cases[] = {{&kr6, 6, 100000.0}, {&kr7, 7, 100000.0}, {&kr8, 8, 100000.0}, {&kr9, 9, 3600.0}, {&kr10, 10, 20000.0}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.k->GetNummer(), c.number);
        EXPECT_EQ(c.k->TEILER, c.divisor) << c.number;
    }
    EXPECT_EQ(GlobalIni.ReadOrEmpty("Kriteriengewichtung", "Kriterium 9"), "60");
}

TEST_F(WorkingTime, AssignCopiesTheLinkedConstraintsContents)
{
    CRahmenbedingungWAZMittel rb15a, rb15b;
    CRahmenbedingungWAZGrenzen rb16a, rb16b;
    rb15b.WOCHENBEGINN = T(6);
    rb15b.WAZ = Decimal::FromCents(4000);
    rb16b.WAZ_MAX = Decimal::FromCents(4800);
    CKriteriumWAZGrenzen a, b;
    a.SetRahmenbedingung(&rb15a, &rb16a);
    b.SetRahmenbedingung(&rb15b, &rb16b);
    b.AKTIVIERT = 1;
    a.Assign(b, nullptr);
    EXPECT_EQ(a.AKTIVIERT, 1);
    EXPECT_EQ(a.RB15, &rb15a) << "the own constraint objects stay linked";
    EXPECT_EQ(rb15a.WOCHENBEGINN, T(6));
    EXPECT_EQ(rb15a.WAZ, Decimal::FromCents(4000));
    EXPECT_EQ(rb16a.WAZ_MAX, Decimal::FromCents(4800));

    CRahmenbedingungKontArbeitstage rb7a, rb7b;
    rb7b.KONTAZ_MAX = 5;
    CKriteriumKontArbeitstage c, d;
    c.SetRahmenbedingung(&rb7a);
    d.SetRahmenbedingung(&rb7b);
    c.Assign(d, nullptr);
    EXPECT_EQ(rb7a.KONTAZ_MAX, 5);
    c.Assign(a, nullptr);  // another class: only the base members
    EXPECT_EQ(rb7a.KONTAZ_MAX, 5);
}

} // namespace
