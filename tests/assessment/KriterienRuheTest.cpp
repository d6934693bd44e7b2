// Rest criteria: the minimum rest with compensation blocks (KR2 and its manager), the Sunday rest
// with substitute days and weekly rests (KR3), night-free-early (KR5) and the display of long rests
// (KR18), on small plans built here.
#include "assessment/AZRManager.h"
#include "assessment/KriterienChecker.h"
#include "assessment/KriterienRuhe.h"
#include "assessment/KriterienWochenende.h"
#include "assessment/RahmenbedingungRuhezeiten.h"

#include "CriteriaTestSupport.h"
#include "core/TimeHelpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

using namespace bewertungtest;
using namespace criteriatest;

namespace {

constexpr uint32_t H(uint32_t hours, uint32_t minutes = 0) { return hours * 60 + minutes; }

Decimal Hours(int64_t hours) { return Decimal::FromCents(hours * 100); }

// The rows of a plan as one string per group.
using Rows = std::vector<std::string>;

// Shift types whose rest to the next day's 06:00 shift is as long as their letter says, besides
// the letter plan's F (06-14), S (14-22), N (22-06) and X (a free shift).
class RestCriteria : public ::testing::Test {
protected:
    RestCriteria()
    {
        p.Define('a', Shift("a", H(6), H(19, 30)));  // 10.5 h to the next 06:00
        p.Define('b', Shift("b", H(6), H(18)));      // 12 h
        p.Define('c', Shift("c", H(6), H(19)));      // 11 h
        p.Define('d', Shift("d", H(6), H(21)));      // 9 h
        p.Define('y', Shift("y", H(10), H(18)));     // begins 10:00
        p.Define('z', Shift("z", H(15, 30), H(23, 30)));
        rb4.RZ_DAUER_OHNE_AUSGLEICH = T(11);
        rb4.RZ_DAUER_MIT_AUSGLEICH = T(10);
        rb4.RZ_AUSGLEICHSZEITRAUM = 4;
        kr2.SetRahmenbedingung(&rb4);
        rb6.WRZ_DAUER_MIN = Hours(35);
        rb6.ERSATZ_WRZ_DAUER_MIN = Hours(35);
        rb6.SAZ_VERSCHIEBUNG = 0;
        rb6.SAZ_AUSGLEICHSZEITRAUM = 2;
        kr3.SetRahmenbedingung(&rb6);
        kr3.SetKriteriumRuhezeit(&kr2);
        rb21.RZNACHTARBEIT_MIN = Hours(48);
        kr5.SetRahmenbedingung(&rb21);
        rb22.RZANZEIGE_MIN = Hours(24);
        kr18.SetRahmenbedingung(&rb22);
        kr4.SetRahmenbedingung(&rb5, &rb6);
        for (CKriterium* k : std::initializer_list<CKriterium*>{&kr2, &kr3, &kr4, &kr5, &kr18})
            k->AKTIVIERT = 1;
    }

    void Evaluate(const Rows& rows)
    {
        p.Set(rows);
        e.Evaluate(p.plan);
    }

    // Runs the criteria in the order given on a fresh evaluation of the plan.
    void Run(const Rows& rows, std::initializer_list<CKriterium*> order, uint8_t quick = 0)
    {
        Evaluate(rows);
        CKriterienChecker checker;
        for (CKriterium* k : order)
            checker.Add(k);
        checker.CheckPlan(e, quick);
    }

    EmptyKri emptyKri;
    TempIni ini;  // the criteria write their weights
    LetterPlan p;
    CAZPBewertung e;
    CRahmenbedingungMindestruhezeit rb4;
    CRahmenbedingungFreieSonntage rb5;
    CRahmenbedingungKontWochenruhezeit rb6;
    CRahmenbedingungRZNachtarbeit rb21;
    CRahmenbedingungRZAnzeige rb22;
    CKriteriumRuhezeit kr2;
    CKriteriumSonntagsruhe kr3;
    CKriteriumFreieSonntage kr4;
    CKriteriumNachtFrueh kr5;
    CKriteriumRuhezeitAnzeige kr18;
};

TEST_F(RestCriteria, NumbersAndWeights)
{
    const struct {
        CKriterium* k;
        long number;
        double divisor;
    } cases[] = {{&kr2, 2, 240.0}, {&kr3, 3, 100000.0}, {&kr4, 4, 100000.0}, {&kr5, 5, 2400.0}, {&kr18, 18, 100000.0}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.k->NUMMER, c.number);
        EXPECT_EQ(c.k->TEILER, c.divisor) << c.number;
        EXPECT_NE(c.k->GetAZPChecker(), nullptr) << c.number;
    }
}

// ---- KR2 -----------------------------------------------------------------------------------------

TEST_F(RestCriteria, KR2MarksShortRestsAndCompensatesWithinTheBlock)
{
    std::vector<RecI> all;
    for (int i = 1; i <= 7; ++i) {
        all.push_back({i, POSITION_ANFANG, 30, 630});
        all.push_back({i % 7 + 1, POSITION_ENDE, 30, 630});
    }
    std::ranges::stable_sort(all, {}, &RecI::cell);

    const struct {
        const char* what;
        Rows rows;
        uint16_t weeks;  // compensation period
        int32_t shortened;
        uint8_t quick;
        std::vector<RecI> expected;
    } cases[] = {
        {"10.5 h made good by a 12 h rest of the block", {"abccccc"}, 4, T(10), 0,
         {{1, 3, 0, 630}, {2, 9, 0, 630}}},
        {"the 12 h rest makes good one short rest only", {"abacccc"}, 4, T(10), 0,
         {{1, 3, 0, 630}, {2, 9, 0, 630}, {3, 3, 30, 630}, {4, 9, 30, 630}}},
        {"9 h is below the shortened rest: never made good", {"dbccccc"}, 4, T(10), 0,
         {{1, 3, 120, 540}, {2, 9, 120, 540}}},
        {"the optimiser's quick assessment looks for no compensation", {"abccccc"}, 4, T(10), 1,
         {{1, 3, 30, 630}, {2, 9, 30, 630}}},
        {"no compensation allowed", {"abccccc"}, 4, 0, 0, {{1, 3, 30, 630}, {2, 9, 30, 630}}},
        {"compensation period 0", {"abccccc"}, 0, T(10), 0, {{1, 3, 30, 630}, {2, 9, 30, 630}}},
        {"weekly blocks: the 12 h rest lies in the next block", {"acccccc" "bcccccc"}, 1, T(10), 0,
         {{1, 3, 30, 630}, {2, 9, 30, 630}}},
        {"two-week block holds both", {"acccccc" "bcccccc"}, 2, T(10), 0, {{1, 3, 0, 630}, {2, 9, 0, 630}}},
        {"the last block goes on at the cycle's start", {"ccbcccc", "ccccccc", "acccccc"}, 2, T(10), 0,
         {{15, 3, 0, 630}, {16, 9, 0, 630}}},
        {"but only up to its own end", {"ccccccc", "ccbcccc", "acccccc"}, 2, T(10), 0,
         {{15, 3, 30, 630}, {16, 9, 30, 630}}},
        {"a short rest over the cycle's end", {"cbcccca"}, 4, T(10), 0, {{1, 9, 0, 630}, {7, 3, 0, 630}}},
        {"night to late on the same day: first mark on the night shift", {"NS....."}, 4, T(10), 0,
         {{1, 3, 180, 480}, {2, 9, 180, 480}}},
        {"the same over the cycle's end", {"S.....N"}, 4, T(10), 0, {{1, 9, 180, 480}, {7, 3, 180, 480}}},
        {"every cell worked, every rest 11 h", {"ccccccc"}, 4, T(10), 0, {}},
        {"every cell worked, no long rest to make good", {"aaaaaaa"}, 4, T(10), 0, all},
        {"no shift", {"......."}, 4, T(10), 0, {}},
    };
    for (const auto& c : cases) {
        rb4.RZ_AUSGLEICHSZEITRAUM = c.weeks;
        rb4.RZ_DAUER_MIT_AUSGLEICH = c.shortened;
        Evaluate(c.rows);
        kr2.Check(e, c.quick);
        EXPECT_EQ(RecordsWithInfo(e, &kr2), c.expected) << c.what;
        EXPECT_EQ(kr2.AZRMGR.AZ_ZYKLUS, -1) << c.what;
        EXPECT_EQ(QueueRecords(kr2.AZRMGR.QARZ), 0u) << c.what;
        for (const auto& [cell, r] : FullRecords(e, &kr2))
            EXPECT_FALSE(r.TEXT.has_value()) << c.what;
    }
}

TEST_F(RestCriteria, CompensationQueueHoldsTheLongRestsOfOneBlockSmallestFirst)
{
    // Rests: day 1 12 h, day 2 11 h, day 3 40 h (over the free day 4), day 5 16 h, and 34.5 h from
    // day 6 over the free day 7 to the next cycle.
    Evaluate({"bcF.Fa."});
    CAZRManager& m = kr2.AZRMGR;
    const CRuhezeiten& rests = e.GetRuhezeiten();
    m.Collect(3, 28, rests, 661);
    EXPECT_EQ(std::tuple(m.AZ_ZYKLUS, m.AZ_BEGINN, m.AZ_ENDE), std::tuple(0L, 1L, 0L));
    std::vector<uint32_t> lengths;
    for (const AZRENTRY& r : m.QARZ)
        lengths.push_back(r.DAUER);
    EXPECT_EQ(lengths, (std::vector<uint32_t>{720, 960, 2070, 2400}));

    // The first entry of at least the need, then the next ones; a used-up rest stays in the queue.
    CRuhezeitNode* first = m.FindFirst(900);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->AUSGLEICHSRUHEZEIT, 960u);
    m.ConsumeCurrent();
    EXPECT_EQ(std::tuple(first->AUSGLEICHSRUHEZEIT, first->MRZ_OK), std::tuple(0u, uint8_t(1)));
    EXPECT_EQ(m.FindNext(900)->AUSGLEICHSRUHEZEIT, 2070u);
    EXPECT_NE(m.FindNext(900), nullptr);
    EXPECT_EQ(m.FindNext(900), nullptr);
    EXPECT_EQ(m.FindFirst(3000), nullptr);

    // The same block again keeps the queue as it is; a day past the cycle's end is its first day.
    m.Collect(8, 28, rests, 661);
    EXPECT_EQ(QueueRecords(m.QARZ), 4u);

    // A period below a week holds no block.
    m.Collect(3, 0, rests, 661);
    EXPECT_EQ(std::tuple(m.AZ_ZYKLUS, QueueRecords(m.QARZ)), std::tuple(-1L, std::size_t(0)));

    // Collected afresh, the used-up rest is left out.
    CAZRManager copy;
    m.Collect(3, 7, rests, 661);
    copy.CopyFrom(m);
    EXPECT_EQ(QueueRecords(copy.QARZ), 3u);
    m.Clear();
    EXPECT_EQ(std::tuple(m.AZ_BEGINN, m.AZ_ENDE, m.AZ_ZYKLUS, QueueRecords(m.QARZ)),
              std::tuple(0L, 0L, -1L, std::size_t(0)));
}

TEST_F(RestCriteria, KR2MarkersAreArrowsWithTheRestInHours)
{
    const auto draw = [&](uint8_t position, uint32_t amount) {
        VERSTOSSINFO r;
        r.KRITERIUM = &kr2;
        r.POSITION = position;
        r.WERT = amount;
        r.INFO = 630;
        return Drawn([&](const GridDC& dc) { kr2.Paint(1, r, dc, 100, 20, 80, 60); });
    };
    using Mark = std::tuple<std::string, int, int>;
    // Icons vertically centred: y = 20 + 30 - 16.
    EXPECT_EQ(Marks(draw(POSITION_ANFANG, 30)), (std::vector<Mark>{{"RightArrow_ico", 148, 34}}));
    EXPECT_EQ(Marks(draw(POSITION_ENDE, 30)), (std::vector<Mark>{{"LeftArrow_ico", 100, 34}}));
    EXPECT_EQ(Marks(draw(POSITION_ENDE, 0)), (std::vector<Mark>{{"LeftArrowGrn_ico", 100, 34}}));
    EXPECT_EQ(Marks(draw(POSITION_EINZELN, 0)),
              (std::vector<Mark>{{"RightArrowGrn_ico", 68, 34}, {"LeftArrowGrn_ico", 100, 34}}));

    // The hours stand across the border to the next cell; the weekly rest's one cell to the left.
    const auto text = [](const std::vector<PaintOp>& ops) {
        for (const PaintOp& op : ops)
            if (op.kind == PaintOp::Kind::Text)
                return std::tuple(op.text, op.color, op.style, op.x1, op.y1, op.x2, op.y2);
        return std::tuple(std::string("none"), 0, 0, 0, 0, 0, 0);
    };
    EXPECT_EQ(text(draw(POSITION_ANFANG, 30)), std::tuple(std::string("10,50"), 255, 37, 140, 20, 220, 35));
    EXPECT_EQ(text(draw(POSITION_ANFANG, 0)), std::tuple(std::string("10,50"), 32768, 37, 140, 20, 220, 35));
    EXPECT_EQ(text(draw(POSITION_EINZELN, 1)), std::tuple(std::string("10,50"), 255, 37, 60, 20, 140, 35));
    EXPECT_EQ(std::get<0>(text(draw(POSITION_ENDE, 30))), "none");
}

// ---- KR3 -----------------------------------------------------------------------------------------

TEST_F(RestCriteria, KR3SundaysSubstituteDaysAndWeeklyRests)
{
    struct Sunday {
        long cell;
        uint32_t amount;
        std::string text;
        bool operator==(const Sunday&) const = default;
    };
    const struct {
        const char* what;
        Rows rows;
        int32_t shift;       // how far the Sunday may move
        uint16_t weeks;      // period of the substitute day
        int32_t shortened;   // RB4's shortened rest
        std::vector<Sunday> crosses;
        std::vector<RecI> weekly;  // in KR2's name
    } cases[] = {
        {"free weekends of 40 h", {"FFFFFF.", "FFFFF.."}, 0, 2, 0, {}, {}},
        {"worked Sunday, free Saturday", {"FFFFF.F"}, 0, 2, 0, {{7, 0, "0"}}, {}},
        {"worked Sunday, free Wednesday the week after", {"FFFFFFF" "FF.FFF."}, 0, 2, 0, {{7, 0, "0"}}, {}},
        {"the search wraps to the first week", {"FF.FFF." "FFFFFFF"}, 0, 2, 0, {{14, 0, "0"}}, {}},
        {"every cell worked: no day anywhere", {"FFFFFFF"}, 0, 2, 0, {{7, 1, "-480"}}, {}},
        {"substitute period 0", {"FFFFFFF" "FF.FFF."}, 0, 0, 0, {{7, 1, "-480"}}, {}},
        {"Saturday night: the free Sunday begins at 06:00", {"FFFFFN."}, 0, 2, 0, {{7, 1, "0"}}, {}},
        {"moved by 6 h it is covered, but shorter than the weekly rest", {"FFFFFN."}, T(6), 2, 0, {},
         {{7, 0, 1, 0}}},
        {"34.5 h weekly rest, no compensation", {"yFFFFz."}, 0, 2, 0, {}, {{7, 0, 1, 630}}},
        {"34.5 h weekly rest made good by a 12 h rest", {"yFFFFz."}, 0, 2, T(10), {}, {{7, 0, 0, 630}}},
        {"no shift", {"......."}, 0, 2, 0, {}, {}},
    };
    for (const auto& c : cases) {
        rb6.SAZ_VERSCHIEBUNG = c.shift;
        rb6.SAZ_AUSGLEICHSZEITRAUM = c.weeks;
        rb4.RZ_DAUER_MIT_AUSGLEICH = c.shortened;
        Evaluate(c.rows);
        kr3.Check(e, 0);
        std::vector<Sunday> crosses;
        for (const auto& [cell, r] : FullRecords(e, &kr3)) {
            EXPECT_EQ(r.POSITION, POSITION_EINZELN) << c.what;
            crosses.push_back({cell, r.WERT, r.TEXT.value_or("(none)")});
        }
        EXPECT_EQ(crosses, c.crosses) << c.what;
        EXPECT_EQ(RecordsWithInfo(e, &kr2), c.weekly) << c.what;
    }
}

TEST_F(RestCriteria, KR3BooksSundaysSoThatKR2RunAfterItLeavesThoseRestsAlone)
{
    // Saturday 15:30-23:30 and Monday 06:00: 30.5 h over Sunday. Booking the Sunday leaves 6.5 h of
    // it free, which KR2 would count as a short rest had KR3 not marked it as taken.
    rb6.WRZ_DAUER_MIN = Hours(24);
    rb6.ERSATZ_WRZ_DAUER_MIN = Hours(24);
    Run({"FFFFFz."}, {&kr3, &kr2});
    EXPECT_EQ(RecordsWithInfo(e, &kr2), std::vector<RecI>{});
    const CRuhezeitNode* sunday = e.GetRuhezeiten().FindAt({6 * kDay, 7 * kDay});
    ASSERT_NE(sunday, nullptr);
    EXPECT_EQ(std::tuple(sunday->MRZ_OK, sunday->ANZAHLRUHETAGE, sunday->AUSGLEICHSRUHEZEIT),
              std::tuple(uint8_t(1), uint16_t(1), uint32_t(H(30, 30) - kDay)));
}

TEST_F(RestCriteria, KR3SubstituteDayAfterTheCyclesLastNightShiftBeginsAt0600)
{
    // The Sunday night shift ends at 06:00 of the next cycle's Monday: its rest covers 18 h of
    // that Monday, not the whole day, so it gives no substitute day.
    rb6.WRZ_DAUER_MIN = Hours(24);
    rb6.ERSATZ_WRZ_DAUER_MIN = Hours(24);
    Evaluate({".FFFFFN"});
    kr3.Check(e, 0);
    const auto records = FullRecords(e, &kr3);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(std::tuple(records[0].first, records[0].second.WERT, records[0].second.TEXT),
              std::tuple(7L, 1u, VerstossText("480")));
}

TEST_F(RestCriteria, KR3DoesNotReadKR2sQueueOfAnEarlierEvaluation)
{
    // KR2 switched off: KR3 alone fills KR2's queue while looking for compensation.
    rb4.RZ_DAUER_MIT_AUSGLEICH = T(10);
    Run({"yFFFFz."}, {&kr3});
    EXPECT_EQ(QueueRecords(kr2.AZRMGR.QARZ), 0u);
    // A larger plan moves the rest periods: nothing of the first one may be looked at.
    Run({"yFFFFz." "yFFFFz." "yFFFFz."}, {&kr3});
    EXPECT_EQ(RecordsWithInfo(e, &kr2), (std::vector<RecI>{{7, 0, 0, 630}, {14, 0, 0, 630}, {21, 0, 0, 630}}));
}

TEST_F(RestCriteria, KR3MarkerIsACross)
{
    for (const auto& [amount, colour] : {std::pair(1u, 255), std::pair(0u, 32768)}) {
        VERSTOSSINFO r;
        r.KRITERIUM = &kr3;
        r.WERT = amount;
        const auto ops = Drawn([&](const GridDC& dc) { kr3.Paint(7, r, dc, 100, 20, 80, 60); });
        std::vector<std::tuple<int, int, int, int>> lines;
        for (const PaintOp& op : ops) {
            if (op.kind == PaintOp::Kind::Line)
                lines.emplace_back(op.x1, op.y1, op.x2, op.y2);
            if (op.kind == PaintOp::Kind::Pen && op.color != 0) {
                EXPECT_EQ(std::tuple(op.color, op.width, op.style), std::tuple(colour, 1, 0));
            }
        }
        EXPECT_EQ(lines, (std::vector<std::tuple<int, int, int, int>>{{100, 20, 180, 80}, {100, 80, 180, 20}}));
    }
}

// ---- KR5 -----------------------------------------------------------------------------------------

TEST_F(RestCriteria, KR5MarksTheFreeDayAfterAShortNightRest)
{
    const struct {
        const char* what;
        Rows rows;
        std::vector<Rec> expected;
    } cases[] = {
        {"night, free, early: 24 h of 48", {"N.F...."}, {{2, 0, 1440}}},
        {"a free shift kind is a free day", {"NXF...."}, {{2, 0, 1440}}},
        {"the next day worked", {"NF....."}, {}},
        {"48 h are enough", {"N..F..."}, {}},
        {"a late shift is no night shift", {"S.F...."}, {}},
        {"over the cycle's end", {".F....N"}, {{1, 0, 1440}}},
        {"every cell worked", {"NNNNNNN"}, {}},
    };
    for (const auto& c : cases) {
        Evaluate(c.rows);
        kr5.Check(e, 0);
        EXPECT_EQ(Records(e, &kr5), c.expected) << c.what;
    }
}

TEST_F(RestCriteria, KR5MarksFreeDaysThatEarlierCriteriaMarkedToo)
{
    // KR3 crosses the Sunday after Saturday's night shift, KR4 puts its record on cell 1: their
    // placeholders hold no shift, so the day stays free for KR5 whichever runs first.
    const struct {
        const char* what;
        Rows rows;
        std::vector<CKriterium*> order;
        std::vector<Rec> expected;
    } cases[] = {
        {"KR3 first", {"FFFFFN."}, {&kr3, &kr5}, {{7, 0, 1440}}},
        {"KR5 first", {"FFFFFN."}, {&kr5, &kr3}, {{7, 0, 1440}}},
        {"KR4 first", {".F....N"}, {&kr4, &kr5}, {{1, 0, 1440}}},
        {"KR5 before KR4", {".F....N"}, {&kr5, &kr4}, {{1, 0, 1440}}},
    };
    for (const auto& c : cases) {
        Evaluate(c.rows);
        CKriterienChecker checker;
        for (CKriterium* k : c.order)
            checker.Add(k);
        checker.CheckPlan(e, 0);
        EXPECT_EQ(Records(e, &kr5), c.expected) << c.what;
    }
}

TEST_F(RestCriteria, KR5Marker)
{
    VERSTOSSINFO r;
    r.KRITERIUM = &kr5;
    const auto ops = Drawn([&](const GridDC& dc) { kr5.Paint(2, r, dc, 100, 20, 80, 60); });
    ASSERT_EQ(ops.size(), 1u);
    EXPECT_EQ(std::tuple(ops[0].text, ops[0].color, ops[0].style, ops[0].x1, ops[0].y1, ops[0].x2, ops[0].y2),
              std::tuple(std::string("N - F"), 255, 37, 100, 20, 180, 80));
}

// ---- KR18 ----------------------------------------------------------------------------------------

TEST_F(RestCriteria, KR18ShowsRestsFromItsThreshold)
{
    const struct {
        const char* what;
        Rows rows;
        int64_t hours;
        std::vector<Rec> expected;
    } cases[] = {
        {"from 24 h", {"FF.FFFF"}, 24, {{2, 0, 2400}}},
        {"from 16 h", {"FF.FFFF"}, 16, {{1, 0, 960}, {2, 0, 2400}, {4, 0, 960}, {5, 0, 960}, {6, 0, 960}, {7, 0, 960}}},
        {"one shift rests until itself a cycle later", {"......N"}, 24, {{7, 0, 7 * 1440 - 480}}},
        {"no shift", {"......."}, 0, {}},
    };
    for (const auto& c : cases) {
        rb22.RZANZEIGE_MIN = Hours(c.hours);
        Evaluate(c.rows);
        kr18.Check(e, 0);
        EXPECT_EQ(Records(e, &kr18), c.expected) << c.what;
        for (const auto& [cell, r] : FullRecords(e, &kr18))
            EXPECT_EQ(r.TEXT, VerstossText("")) << c.what;
    }

    // Shown, but counting almost nothing.
    kr18.RELEVANZ = 0;
    rb22.RZANZEIGE_MIN = Hours(24);
    Evaluate({"FF.FFFF"});
    kr18.Check(e, 0);
    EXPECT_DOUBLE_EQ(e.ComputeQuality(), 2400 * 0.9 / 100000.0);

    VERSTOSSINFO r;
    r.KRITERIUM = &kr18;
    r.WERT = 2400;
    const auto ops = Drawn([&](const GridDC& dc) { kr18.Paint(2, r, dc, 100, 20, 80, 60); });
    ASSERT_EQ(ops.size(), 1u);
    EXPECT_EQ(std::tuple(ops[0].text, ops[0].color, ops[0].style, ops[0].x1, ops[0].y1, ops[0].x2, ops[0].y2),
              std::tuple(std::string("40,00"), 8388608, 37, 140, 20, 220, 35));
}

// ---- copies ----------------------------------------------------------------------------------------

TEST_F(RestCriteria, AssignCopiesTheLinkedConstraintsAndCutsKR3sLink)
{
    CRahmenbedingungMindestruhezeit rb4b;
    CRahmenbedingungKontWochenruhezeit rb6b;
    CRahmenbedingungRZAnzeige rb22b;
    CKriteriumRuhezeit kr2b;
    CKriteriumSonntagsruhe kr3b;
    CKriteriumRuhezeitAnzeige kr18b;
    kr2b.SetRahmenbedingung(&rb4b);
    kr3b.SetRahmenbedingung(&rb6b);
    kr3b.SetKriteriumRuhezeit(&kr2b);
    kr18b.SetRahmenbedingung(&rb22b);
    kr2.AZRMGR.AZ_ZYKLUS = 3;

    kr2b.Assign(kr2, nullptr);
    kr3b.Assign(kr3, nullptr);
    kr18b.Assign(kr18, nullptr);
    EXPECT_EQ(std::tuple(rb4b.RZ_DAUER_OHNE_AUSGLEICH, rb4b.RZ_DAUER_MIT_AUSGLEICH, rb4b.RZ_AUSGLEICHSZEITRAUM),
              std::tuple(T(11), T(10), uint16_t(4)));
    EXPECT_EQ(kr2b.RB4, &rb4b);
    EXPECT_EQ(kr2b.AZRMGR.AZ_ZYKLUS, 3);
    EXPECT_EQ(rb6b.WRZ_DAUER_MIN, Hours(35));
    EXPECT_EQ(kr3b.RB6, &rb6b);
    EXPECT_EQ(kr3b.KR2, nullptr);
    EXPECT_EQ(rb22b.RZANZEIGE_MIN, Hours(24));
    EXPECT_EQ(kr18b.AKTIVIERT, 1);
}

TEST_F(RestCriteria, WithoutTheirLinksTheyFindNothing)
{
    CKriteriumRuhezeit kr2b;
    CKriteriumSonntagsruhe kr3b;
    CKriteriumNachtFrueh kr5b;
    CKriteriumRuhezeitAnzeige kr18b;
    kr3b.SetRahmenbedingung(&rb6);  // KR2 not linked
    Evaluate({"aaaaNX."});
    for (CKriterium* k : std::initializer_list<CKriterium*>{&kr2b, &kr3b, &kr5b, &kr18b}) {
        k->GetAZPChecker()->Check(e, 0);
        EXPECT_EQ(Records(e, k), std::vector<Rec>{}) << k->NUMMER;
    }
    EXPECT_EQ(kr2b.FindCompensation(1, 630, e.GetRuhezeiten()), 0);
}

} // namespace
