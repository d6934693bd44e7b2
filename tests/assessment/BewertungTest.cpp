#include "assessment/AZPBewertung.h"
#include "assessment/Ruhezeiten.h"
#include "assessment/SBPBewertung.h"
#include "assessment/Verstossliste.h"

#include "BewertungTestSupport.h"
#include "plans/SBPData.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

using namespace bewertungtest;

namespace {

using CellRest = std::pair<long, uint32_t>;

long CellOf(const CSchichtNode& node) { return long(node.TERMIN.BEGINN / kDay) + 1; }

// The shift nodes along the circular list from the head: (cell, rest to the next shift).
std::vector<CellRest> Cycle(const CAZPBewertung& e)
{
    std::vector<CellRest> out;
    const CSchichtNode* n = e.ERSTESCHICHT;
    if (!n)
        return out;
    do {
        out.emplace_back(CellOf(*n), n->RUHEZEIT);
        n = n->NEXT;
    } while (n != e.ERSTESCHICHT && out.size() <= size_t(e.CellCount()));
    return out;
}

// ---- building the evaluation -----------------------------------------------------------------

struct RestCase {
    const char* name;
    std::vector<std::string> rows;
    std::vector<CellRest> expected;  // in cycle order
};

class RestTimes : public ::testing::TestWithParam<RestCase> {};

TEST_P(RestTimes, EveryShiftHoldsTheRestToTheNextOneInTheCycle)
{
    const RestCase& c = GetParam();
    LetterPlan p;
    p.Set(c.rows);
    CAZPBewertung e;
    e.Evaluate(p.plan);

    EXPECT_EQ(e.CellCount(), long(c.rows.size() * c.rows[0].size()));
    EXPECT_EQ(Cycle(e), c.expected);
    EXPECT_EQ(e.ShiftCount(), long(c.expected.size()));

    // The list runs backwards just as well.
    if (e.ERSTESCHICHT) {
        std::vector<long> back;
        const CSchichtNode* n = e.ERSTESCHICHT->PREVIOUS;
        for (size_t i = 0; i < c.expected.size(); ++i, n = n->PREVIOUS)
            back.push_back(CellOf(*n));
        std::vector<long> forward;
        for (const auto& [cell, rest] : c.expected)
            forward.insert(forward.begin(), cell);
        EXPECT_EQ(back, forward);
    }

    // The packed lines repeat the list: cell, rest, weekday and the type's times.
    std::vector<CellRest> lines;
    for (const CAZPBewertung::ShiftLine& line : e.ShiftLines()) {
        lines.emplace_back(line.CELL, line.RUHEZEIT);
        const CSchichtNode* node = e.GetNode(long(line.CELL));
        ASSERT_NE(node, nullptr);
        const CAZPBewertung::TypeInfo& type = e.Types()[line.TYPE];
        EXPECT_EQ(node->TERMIN.BEGINN, (line.CELL - 1) * kDay + type.OFFSET) << line.CELL;
        EXPECT_EQ(node->TERMIN.ENDE - node->TERMIN.BEGINN, type.LENGTH) << line.CELL;
        EXPECT_EQ(line.WOCHENTAG, (line.CELL - 1) % 7 + 1) << line.CELL;
    }
    EXPECT_EQ(lines, c.expected);

    // One rest period per shift, from its end, as long as its rest.
    const CRuhezeiten& rz = e.GetRuhezeiten();
    ASSERT_EQ(rz.Count(), long(c.expected.size()));
    EXPECT_EQ(rz.ANZAHLTAGE, c.expected.empty() ? 0 : e.CellCount());
    const CSchichtNode* shift = e.ERSTESCHICHT;
    const CRuhezeitNode* rest = rz.ERSTERUHEZEIT;
    for (size_t i = 0; i < c.expected.size(); ++i) {
        EXPECT_EQ(rest->TERMIN, (TERMIN{shift->TERMIN.ENDE, shift->TERMIN.ENDE + shift->RUHEZEIT}));
        EXPECT_EQ(rest->RUHEZEIT, shift->RUHEZEIT);
        EXPECT_EQ(rest->AUSGLEICHSRUHEZEIT, shift->RUHEZEIT);
        EXPECT_EQ(rest->MRZ_OK, 0);
        EXPECT_EQ(rest->NEXT->PREVIOUS, rest);
        shift = shift->NEXT;
        rest = rest->NEXT;
    }
    EXPECT_EQ(rest, rz.ERSTERUHEZEIT);
}

// F 06-14, S 14-22, N 22-06; X and B are free shift and standby kinds.
INSTANTIATE_TEST_SUITE_P(
    Plans, RestTimes,
    ::testing::Values(
        // The only shift rests until it comes round again one cycle (7 days) later.
        RestCase{"OneShift", {"..F...."}, {{3, 7 * kDay - 480}}},
        // Group 1's Sunday rests until group 2's Tuesday; group 2's Sunday wraps to group 1's
        // Monday of the next cycle (06:00 on day 15, 8 hours after 22:00 on day 14).
        RestCase{"TwoGroupsWrap", {"F.....F", ".S....S"}, {{1, 8160}, {7, 2880}, {9, 6720}, {14, 480}}},
        // 22:00-06:00 followed by 06:00: the intervals touch.
        RestCase{"NightTouchesEarly", {"NF....."}, {{1, 0}, {2, 9120}}},
        // A night shift at the cycle's end touching the next cycle's first early shift.
        RestCase{"NightAtEndTouchesNextCycle", {"F.....N"}, {{1, 9120}, {7, 0}}},
        // Free shifts and standby leave their cells free.
        RestCase{"OtherKindsAreFree", {"FXB.F.."}, {{1, 5280}, {5, 3840}}},
        RestCase{"NoNormalShift", {"X..B...", "......."}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AZPBewertung, NodesCarryTheShiftsMinutesAndTimesOnTheirDay)
{
    LetterPlan p;
    p.Set({".......", "....F.S"});
    CAZPBewertung e;
    e.Evaluate(p.plan);

    const CSchichtNode* f = e.GetNode(12);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->SCHICHT->KURZBEZEICHNUNG, "F");
    EXPECT_EQ(f->TERMIN, (TERMIN{11 * kDay + 360, 11 * kDay + 840}));
    EXPECT_EQ(f->AZGESAMT, 480);
    EXPECT_EQ(f->REINEAZ, 450);
    EXPECT_EQ(f->BEZAHLTEAZ, 450) << "its break is unpaid";
    const CSchichtNode* s = e.GetNode(14);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->REINEAZ, 465);
    EXPECT_EQ(s->BEZAHLTEAZ, 480) << "its break is paid";
    EXPECT_EQ(e.GetNode(13), nullptr);
    EXPECT_EQ(e.GetVerstossliste(13), nullptr);
    EXPECT_EQ(e.GetNode(0), nullptr);
    EXPECT_EQ(e.GetNode(15), nullptr);
}

TEST(AZPBewertung, IsASnapshotThatEachEvaluateRebuilds)
{
    LetterPlan p;
    p.Set({"F.F...."});
    CAZPBewertung e;
    e.Evaluate(p.plan);
    e.GetVerstossliste(1)->Add(Record(nullptr, 7));
    VERSTOSSINFO onFree;
    onFree.WERT = 3;
    e.AddVerstoss(2, onFree);

    // Changing the plan afterwards changes nothing here.
    p.plan.SetCell(1, 1, 0);
    p.plan.SetCell(5, 1, p.ids['N']);
    EXPECT_EQ(Cycle(e), (std::vector<CellRest>{{1, 2400}, {3, 6720}}));
    EXPECT_EQ(e.GetVerstossliste(1)->Count(), 1);

    // Evaluating again starts from nothing: no old records, no placeholder.
    e.Evaluate(p.plan);
    EXPECT_EQ(Cycle(e), (std::vector<CellRest>{{3, 3360}, {5, 5760}}));
    EXPECT_EQ(e.GetNode(2), nullptr);
    ASSERT_NE(e.GetVerstossliste(3), nullptr);
    EXPECT_EQ(e.GetVerstossliste(3)->Count(), 0);
    EXPECT_EQ(e.GetVerstossliste(3)->SUMME, 0u) << "a re-made node has a new list";
    EXPECT_EQ(e.GetNode(1), nullptr);
}

TEST(AZPBewertung, WithoutEvaluationEverythingIsNeutral)
{
    CAZPBewertung e;
    EXPECT_EQ(e.CellCount(), 0);
    EXPECT_EQ(e.RowStart(3, 7), 0);
    EXPECT_EQ(e.NextCell(3), 0);
    EXPECT_EQ(e.GetVerstossliste(1), nullptr);
    EXPECT_EQ(e.ComputeQuality(), 0.0);
    e.AddVerstoss(1, {});
    EXPECT_EQ(e.GetNode(1), nullptr) << "nothing to add a record to";
    EXPECT_EQ(e.GetRuhezeiten().FindAt({0, 100}), nullptr);

    LetterPlan p;
    p.Set({"FFFFFFF"});
    e.Evaluate(p.plan);
    e.Release();
    EXPECT_EQ(e.CellCount(), 0);
    EXPECT_EQ(e.ERSTESCHICHT, nullptr);
    EXPECT_EQ(e.GetRuhezeiten().Count(), 0);
}

TEST(AZPBewertung, RowStartAndNextCellStayInTheCycle)
{
    LetterPlan p;
    p.Set({".......", "......."});
    CAZPBewertung e;
    e.Evaluate(p.plan);
    struct Case {
        long d, n, start;
    };
    for (const Case& c : {Case{1, 7, 1}, Case{7, 7, 1}, Case{8, 7, 8}, Case{14, 7, 8}, Case{9, 14, 1},
                          Case{9, 20, 1}, Case{9, 0, 1}})
        EXPECT_EQ(e.RowStart(c.d, c.n), c.start) << "cell " << c.d << ", row length " << c.n;
    EXPECT_EQ(e.NextCell(13), 14);
    EXPECT_EQ(e.NextCell(14), 1);
}

// ---- violations and the quality value --------------------------------------------------------

TEST(AZPBewertung, APlaceholderCountsInTheQualityValueButHasNoRest)
{
    LetterPlan p;
    p.Set({"F.....S"});
    CAZPBewertung e;
    e.Evaluate(p.plan);
    StubKriterium k(2);
    k.TEILER = 240;
    k.amount = 120;
    k.cells = {1, 3};
    k.Check(e, 0);

    const CSchichtNode* placeholder = e.GetNode(3);
    ASSERT_NE(placeholder, nullptr);
    EXPECT_TRUE(placeholder->IsPlaceholder());
    EXPECT_EQ(placeholder->NEXT, nullptr);
    EXPECT_EQ(placeholder->RUHEZEIT, 0u);
    EXPECT_EQ(placeholder->TERMIN, TERMIN{});
    EXPECT_EQ(placeholder->VERSTOSSLISTE.Count(), 1);

    EXPECT_EQ(Cycle(e), (std::vector<CellRest>{{1, 8640}, {7, 480}}));
    EXPECT_EQ(e.ShiftCount(), 2);
    EXPECT_EQ(e.GetRuhezeiten().Count(), 2);
    EXPECT_DOUBLE_EQ(e.ComputeQuality(), 2 * 0.45);

    // A second record in the same free cell goes into the same placeholder.
    e.AddVerstoss(3, Record(&k, 120));
    EXPECT_EQ(e.GetNode(3), placeholder);
    EXPECT_EQ(placeholder->VERSTOSSLISTE.Count(), 2);
    EXPECT_DOUBLE_EQ(e.ComputeQuality(), 3 * 0.45);
}

struct QualityCase {
    uint32_t wert;
    uint8_t relevanz;
    double teiler;
    double expected;
};

class Quality : public ::testing::TestWithParam<QualityCase> {};

TEST_P(Quality, EachRecordAddsItsAmountOverItsCriterionsWeight)
{
    const QualityCase& c = GetParam();
    LetterPlan p;
    p.Set({"F......"});
    CAZPBewertung e;
    e.Evaluate(p.plan);
    StubKriterium k(2);
    k.TEILER = c.teiler;
    k.RELEVANZ = c.relevanz;
    e.AddVerstoss(1, Record(&k, c.wert));
    EXPECT_NEAR(e.ComputeQuality(), c.expected, 1e-12 * std::max(1.0, c.expected));
    EXPECT_DOUBLE_EQ(k.GetWeight(), c.teiler / ((90.0 + 10.0 * c.relevanz) / 100.0));
}

INSTANTIATE_TEST_SUITE_P(Records, Quality,
                         ::testing::Values(QualityCase{120, 0, 240, 0.45},             // KR2 by default
                                           QualityCase{120, 10, 240, 120 * 190.0 / 24000},
                                           QualityCase{60, 5, 3600, 60 * 140.0 / 360000},
                                           QualityCase{1, 0, 100000, 0.000009},         // fixed divisor
                                           QualityCase{0, 3, 240, 0.0}),
                         [](const auto& info) {
                             const QualityCase& c = info.param;
                             return "Wert" + std::to_string(c.wert) + "Relevanz" + std::to_string(c.relevanz) +
                                    "Teiler" + std::to_string(long(c.teiler));
                         });

TEST(AZPBewertung, QualitySumsEveryCellAndEveryCriterion)
{
    LetterPlan p;
    p.Set({"F.....F", ".S....S"});
    CAZPBewertung e;
    e.Evaluate(p.plan);
    EXPECT_EQ(e.ComputeQuality(), 0.0) << "no record, no violation";
    StubKriterium a(2), b(17);
    a.TEILER = 240;
    b.TEILER = 14;
    b.RELEVANZ = 1;
    a.amount = 120;
    a.cells = {1, 14};
    b.amount = 7;
    b.cells = {14, 10};
    a.Check(e, 0);
    b.Check(e, 0);
    EXPECT_NEAR(e.ComputeQuality(), 2 * 0.45 + 2 * 7.0 / 14.0, 1e-12);
}

// ---- rest periods ------------------------------------------------------------------------------

struct CompensateCase {
    uint32_t free, rest;
    uint16_t daysBefore, days;
    uint32_t minutes;
    uint32_t restAfter, freeAfter;
};

TEST(Ruhezeiten, CompensateBooksNoMoreThanIsFreeAndNeverGoesBelowZero)
{
    const CompensateCase cases[] = {
        {2000, 2000, 0, 1, 0, 560, 560},
        {2000, 2000, 0, 1, 300, 260, 560},   // first booking: only the day leaves the free part
        {2000, 2000, 1, 1, 300, 260, 260},   // later bookings take the minutes too
        {1600, 2000, 0, 1, 500, 400, 160},   // minutes cut to what is free
        {600, 600, 0, 1, 0, 0, 0},           // a whole day from a rest of 10 hours: 0, not a wrap
        {600, 600, 2, 1, 100, 0, 0},
        {0, 0, 0, 3, 0, 0, 0},
    };
    for (const CompensateCase& c : cases) {
        CRuhezeitNode r;
        r.Set(1000, c.rest);
        r.AUSGLEICHSRUHEZEIT = c.free;
        r.ANZAHLRUHETAGE = c.daysBefore;
        r.Compensate(c.days, c.minutes);
        EXPECT_EQ(r.RUHEZEIT, c.restAfter) << c.free << "/" << c.rest << " - " << c.days << "d " << c.minutes;
        EXPECT_EQ(r.AUSGLEICHSRUHEZEIT, c.freeAfter) << c.free << "/" << c.rest << " - " << c.days << "d " << c.minutes;
        EXPECT_EQ(r.ANZAHLRUHETAGE, c.daysBefore + c.days);
        EXPECT_EQ(r.MRZ_OK, 1);
    }
    CRuhezeitNode r;
    r.Set(0, 900);
    r.Consume();
    EXPECT_EQ(r.AUSGLEICHSRUHEZEIT, 0u);
    EXPECT_EQ(r.RUHEZEIT, 900u);
    EXPECT_EQ(r.MRZ_OK, 1);
}

class RuhezeitenSearch : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Rests: r1 840-9000, r2 9480-12360, r3 12840-19560, r4 20040-20520 (past the cycle's end
        // at 20160, so it also covers 0-360).
        p.Set({"F.....F", ".S....S"});
        e.Evaluate(p.plan);
        const CRuhezeitNode* r = e.GetRuhezeiten().ERSTERUHEZEIT;
        for (int i = 0; i < 4; ++i, r = r->NEXT)
            rests.push_back(r);
    }
    const CRuhezeitNode* At(uint32_t from, uint32_t to) { return e.GetRuhezeiten().FindAt({from, to}); }

    LetterPlan p;
    CAZPBewertung e;
    std::vector<const CRuhezeitNode*> rests;
};

TEST_F(RuhezeitenSearch, FindAtFoldsTheCycleEndBackToItsStart)
{
    EXPECT_EQ(At(100, 200), rests[3]) << "before 06:00 on day 1 is the rest running over the cycle's end";
    EXPECT_EQ(At(1000, 1100), rests[0]);
    EXPECT_EQ(At(9480, 9500), rests[1]);
    EXPECT_EQ(At(20100, 20200), rests[3]);
    EXPECT_EQ(At(9000, 9480), nullptr) << "the shift of day 7 itself: its neighbouring rests only touch it";
}

TEST_F(RuhezeitenSearch, FindRangeWalksOnWhileTheRestsOverlapTheDays)
{
    CRuhezeiten& rz = e.GetRuhezeiten();
    EXPECT_EQ(rz.FindRange(1, 1, 0), rests[3]);
    EXPECT_EQ(rz.FindRange(2, 7, 8000), rests[0]);
    EXPECT_EQ(rz.FindRange(2, 7, 9000), nullptr) << "r2 is too short and r3 lies outside the days";
    rz.ERSTERUHEZEIT->Consume();  // r1 used up
    EXPECT_EQ(rz.FindRange(2, 7, 2000), rests[1]);
    EXPECT_EQ(rz.FindRange(3, 4, 0), rests[0]) << "the free part may be 0 when nothing is asked";
    EXPECT_EQ(rz.FindRange(3, 4, 1), nullptr);
}

// ---- violation lists -------------------------------------------------------------------------

class CountingKriterium : public StubKriterium {
public:
    explicit CountingKriterium(long number) : StubKriterium(number) { FREERECORDTEXT = true; }
    void FreeRecordText(VERSTOSSINFO& r) override
    {
        ++freed;
        CKriterium::FreeRecordText(r);
    }
    int freed = 0;
};

TEST(Verstossliste, SumsEveryAddAndKeepsTheSumWhenCleared)
{
    CountingKriterium k(3);
    CVerstossliste list;
    list.Add(Record(&k, 5, POSITION_ANFANG));
    list.AddWithText(&k, 7, POSITION_ENDE, "zu kurz", false, false);
    list.Add(&k, POSITION_MITTE, 4, 99);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.SUMME, 16u);

    VERSTOSSINFO r;
    EXPECT_EQ(list.Get(0, r), 5);
    EXPECT_EQ(list.Get(4, r), 5);
    ASSERT_EQ(list.Get(2, r), 0);
    EXPECT_EQ(r.WERT, 7u);
    EXPECT_EQ(r.POSITION, POSITION_ENDE);
    EXPECT_EQ(r.TEXT, VerstossText("zu kurz"));
    ASSERT_EQ(list.Get(3, r), 0);
    EXPECT_EQ(std::tuple(r.KRITERIUM, r.POSITION, r.WERT, r.INFO, r.TEXT),
              std::tuple(static_cast<CKriterium*>(&k), POSITION_MITTE, 4u, 99u, VerstossText()))
        << "made in place, without a text";

    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.SUMME, 16u);
    EXPECT_EQ(k.freed, 1) << "only the record with a text had one to free";
    list.Reset();
    EXPECT_EQ(list.SUMME, 0u);
}

// Texts inline up to 14 bytes and on the heap beyond: every form must survive copies and moves
// (the lists copy records out and move them when they grow) and keep none apart from empty.
TEST(VerstossText, EveryFormSurvivesCopyAndMoveAndKeepsNoneApartFromEmpty)
{
    std::string umlauts;
    for (int i = 0; i < 5000; ++i)
        umlauts += "ä";
    const struct {
        const char* what;
        VerstossText text;
        bool present;
        std::string expected;
    } cases[] = {
        {"none", VerstossText(), false, ""},
        {"none from nullopt", VerstossText(std::nullopt), false, ""},
        {"empty", VerstossText(""), true, ""},
        {"a number", VerstossText("-60.6"), true, "-60.6"},
        {"the longest inline", VerstossText("abcdefghijklmn"), true, "abcdefghijklmn"},
        {"the shortest on the heap", VerstossText("abcdefghijklmno"), true, "abcdefghijklmno"},
        {"umlauts across the border", VerstossText("äöüÄÖÜßx"), true, "äöüÄÖÜßx"},
        {"4096 characters", VerstossText(std::string(4096, 'x')), true, std::string(4096, 'x')},
        {"cut to 4096 characters", VerstossText(std::string(5000, 'x')), true, std::string(4096, 'x')},
        {"cut between characters", VerstossText(umlauts), true, umlauts.substr(0, 8192)},
        {"a character over the 4096th byte", VerstossText(std::string(4095, 'x') + "äy"), true,
         std::string(4095, 'x') + "ä"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.text.has_value(), c.present) << c.what;
        EXPECT_EQ(bool(c.text), c.present) << c.what;
        EXPECT_EQ(*c.text, c.expected) << c.what;
        EXPECT_EQ(c.text.value_or("(none)"), c.present ? c.expected : "(none)") << c.what;
        EXPECT_EQ(c.text == c.expected, c.present) << c.what << ": a text equals only a present one";
        EXPECT_EQ(c.text == std::nullopt, !c.present) << c.what;

        auto copy = std::make_unique<VerstossText>(c.text);
        VerstossText assigned("vorher ein langer Text auf dem Heap");
        assigned = *copy;
        copy.reset();  // the copies own their texts
        EXPECT_EQ(assigned, c.text) << c.what;
        VerstossText moved(std::move(assigned));
        EXPECT_EQ(moved, c.text) << c.what;
        EXPECT_FALSE(assigned.has_value()) << c.what << ": moved from";
        VerstossText moveAssigned("x");
        moveAssigned = std::move(moved);
        EXPECT_EQ(moveAssigned, c.text) << c.what;
    }

    EXPECT_NE(VerstossText(), VerstossText("")) << "none is not an empty text";
    EXPECT_NE(VerstossText("abcdefghijklmno"), VerstossText("abcdefghijklmnp"));
    EXPECT_THROW((void)VerstossText().value(), std::bad_optional_access);
}

TEST(VerstossText, TakesItsOwnTextAndPartsOfIt)
{
    for (const std::string& start : {std::string("kurz"), std::string("ein Text, der auf dem Heap liegt")}) {
        VerstossText t(start);
        const VerstossText& same = t;
        t = same;
        EXPECT_EQ(t, start) << "assigned to itself";
        t = *t;
        EXPECT_EQ(t, start) << "its own view";
        t.assign((*t).substr(2));
        EXPECT_EQ(t, start.substr(2)) << "a part of its own";
        t.emplace();
        EXPECT_EQ(t, "") << "emptied, still present";
        t.reset();
        EXPECT_FALSE(t.has_value());
    }
}

TEST(Verstossliste, AddWithTextKeepsATextOnlyWhereOneBelongs)
{
    StubKriterium k(1);
    CVerstossliste list;
    list.AddWithText(&k, 1, POSITION_MITTE, "nicht gezeigt", true, true);
    list.AddWithText(&k, 1, POSITION_MITTE, std::string(5000, 'x'), false, false);
    std::string umlauts;
    for (int i = 0; i < 5000; ++i)
        umlauts += "ä";
    list.AddWithText(&k, 1, 0, umlauts, false, false);

    const VERSTOSSINFO* noText = list.At(1);
    EXPECT_EQ(noText->TEXT, VerstossText("")) << "present but empty";
    EXPECT_EQ(noText->POSITION, POSITION_EINZELN);
    EXPECT_EQ(noText->INFO, 0u);
    EXPECT_EQ(list.At(2)->POSITION, POSITION_MITTE);
    EXPECT_EQ(list.At(2)->TEXT.value().size(), kVerstossTextMax);
    EXPECT_EQ(list.At(3)->TEXT.value().size(), 2 * kVerstossTextMax)
        << "4096 characters, none split";
}

TEST(Verstossliste, FindMatchesByReferenceOrNumberAndContinuesBehindTheLastFound)
{
    StubKriterium a(2), b(5), c(5);
    CVerstossliste list;
    list.Add(Record(&a, 1));
    list.Add(Record(&b, 2));
    list.Add(Record(&a, 3));
    list.Add(Record(&c, 4));
    VERSTOSSINFO r;

    std::vector<uint32_t> found;
    for (bool more = list.Find(&a, 0, true, false, r) == 0; more; more = list.Find(&a, 0, true, true, r) == 0)
        found.push_back(r.WERT);
    EXPECT_EQ(found, (std::vector<uint32_t>{1, 3}));

    found.clear();
    for (bool more = list.Find(nullptr, 5, false, false, r) == 0; more; more = list.Find(nullptr, 5, false, true, r) == 0)
        found.push_back(r.WERT);
    EXPECT_EQ(found, (std::vector<uint32_t>{2, 4})) << "both criteria numbered 5";

    EXPECT_EQ(list.Find(&b, 2, false, false, r), 0);
    EXPECT_EQ(r.WERT, 1u) << "number 2 matches before b's own record";
    EXPECT_EQ(list.Find(nullptr, 5, true, false, r), 5) << "by reference only, without one";
    EXPECT_EQ(list.Find(nullptr, 9, false, false, r), 5);
}

TEST(Verstossliste, FormatTextGivesABlockPerRecordWithAText)
{
    StubKriterium legal(1), plain(6);
    legal.NAME = "Pausenregelungen  ";
    legal.TYP = TYP_GESETZLICH_ANZEIGE;
    plain.NAME = "Schichtzeiten";
    plain.TYP = TYP_ERGONOMISCH_GENERIERUNG;
    CVerstossliste list;
    EXPECT_EQ(list.FormatText(), "");
    list.AddWithText(&legal, 1, 0, "- Die 1. Pause ist 5 Minuten zu kurz.  ", false, false);
    list.Add(Record(&plain, 9));  // no text: no block
    list.AddWithText(&plain, 1, 0, "", true, false);
    list.AddWithText(&legal, 1, 0, "zweite", false, false);
    EXPECT_EQ(list.FormatText(), "\r\nPausenregelungen (§):\r\n- Die 1. Pause ist 5 Minuten zu kurz.\r\n"
                                 "\r\nSchichtzeiten:\r\n"
                                 "\r\n\r\nPausenregelungen (§):\r\nzweite");
}

TEST(Verstossliste, FormatTextEndsAt8192Characters)
{
    StubKriterium k(1);
    k.NAME = "K";
    CVerstossliste list;
    for (int i = 0; i < 3; ++i)
        list.AddWithText(&k, 1, 0, std::string(4000, 'a' + i), false, false);
    const std::string text = list.FormatText();
    EXPECT_EQ(text.size(), kVerstossFormatMax);
    EXPECT_EQ(text.back(), 'c');
}

// ---- shift demand plan evaluation ------------------------------------------------------------

class SBPBewertungTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sbp.SetSchichttypen(&p.types);
        sbp.SyncSchichttypen();
        sbp.SetBezugsrahmen(2);
    }
    LetterPlan p;
    CSBPData sbp;
    CSBPBewertung e;
};

TEST_F(SBPBewertungTest, WeekdaysAreThoseOfAnyWeekThatAsksForTheShiftType)
{
    sbp.SetCount(10, p.ids['F'], 2);  // week 2, Wednesday
    sbp.SetCount(1, p.ids['N'], 1);   // week 1, Monday
    sbp.SetCount(14, p.ids['N'], 1);  // week 2, Sunday
    e.Evaluate(sbp);
    EXPECT_EQ(e.GetTage(p.ids['F']), 4);
    EXPECT_EQ(e.GetTage(p.ids['N']), 1 | 64);
    EXPECT_EQ(e.GetTage(p.ids['S']), 0);
    EXPECT_EQ(e.GetTage(12345), 0);
    EXPECT_EQ(e.GetVerstossliste(12345), nullptr);
    EXPECT_EQ(QueueRecords(e.SBPBEWERTUNG), 5u);
    // Shift types in begin order.
    std::string order;
    for (long n = 1; e.GetSchicht(n); ++n)
        order += e.GetSchicht(n)->KURZBEZEICHNUNG;
    EXPECT_EQ(order, "XFBSN");

    sbp.SetCount(10, p.ids['F'], 0);
    e.Evaluate(sbp);
    EXPECT_EQ(e.GetTage(p.ids['F']), 0) << "recomputed at every evaluation";
}

TEST_F(SBPBewertungTest, EntriesFollowTheShiftTypeList)
{
    e.Evaluate(sbp);
    StubKriterium k(1);
    e.GetVerstossliste(p.ids['F'])->Add(Record(&k, 1));
    e.GetVerstossliste(p.ids['N'])->Add(Record(&k, 1));
    EXPECT_EQ(e.CountViolatingShiftTypes(), 2);

    e.Evaluate(sbp);
    EXPECT_EQ(e.GetVerstossliste(p.ids['F'])->Count(), 1) << "kept entries keep their records";

    // Another list: the old types vanish with their records, the new one is appended.
    CSchichttypen other;
    CSchicht late = Shift("L", 900, 1380);
    other.AddSchicht(late, false);
    CSBPData sbp2;
    sbp2.SetSchichttypen(&other);
    sbp2.SyncSchichttypen();
    sbp2.SetBezugsrahmen(1);
    e.Evaluate(sbp2);
    EXPECT_EQ(QueueRecords(e.SBPBEWERTUNG), 1u);
    EXPECT_EQ(e.GetVerstossliste(p.ids['F']), nullptr);
    ASSERT_NE(e.GetVerstossliste(late.SYSID), nullptr);
    EXPECT_EQ(e.CountViolatingShiftTypes(), 0);
    EXPECT_EQ(e.SCHICHTEN, &other);

    e.Clear();
    EXPECT_EQ(QueueRecords(e.SBPBEWERTUNG), 0u);
    EXPECT_EQ(e.SCHICHTEN, nullptr);
    EXPECT_EQ(e.GetSchicht(1), nullptr);
}

} // namespace
