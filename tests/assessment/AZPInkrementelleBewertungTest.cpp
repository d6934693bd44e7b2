// The search's incremental assessment against the full one: on random plans and random
// exchanges, the quality of a candidate and of the plan after a move or its undo must be the
// full evaluation's bit for bit, whatever criteria are switched on and wherever the week begins;
// a candidate assessed against a bound is exact below it and never answers below it otherwise.
#include "assessment/AZPInkrementelleBewertung.h"

#include "BewertungTestSupport.h"
#include "SearchCriteriaSupport.h"
#include "platform/values/Random.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <set>
#include <string>
#include <vector>

using namespace bewertungtest;
using namespace searchcriteria;

namespace {

constexpr uint32_t H(uint32_t hours, uint32_t minutes = 0) { return hours * 60 + minutes; }

class IncrementalAssessment : public ::testing::Test {
protected:
    IncrementalAssessment()
    {
        letters.Define('L', Shift("L", H(20), H(7), ART_NORMAL, {120, 30, 0}));  // Monday night across 23:00
        letters.Define('D', Shift("D", H(6), H(6), ART_NORMAL, {600, 45, 0}));   // 24 hours
        letters.Define('K', Shift("K", H(9), H(13)));                          // short
        letters.Define('E', Shift("E", H(4), H(12)));                          // early, after a short rest
    }

    double Full(CKriterienChecker& checker)
    {
        CAZPBewertung e;
        e.Evaluate(letters.plan);
        checker.CheckPlan(e, 1);
        return e.ComputeQuality();
    }

    static uint64_t Bits(double q) { return std::bit_cast<uint64_t>(q); }

    EmptyKri emptyKri;
    TempIni ini;
    LetterPlan letters;
};

// What an evaluation holds for the criteria, cell by cell and along the lists, as text.
std::string Describe(const CAZPBewertung& e)
{
    std::string out = "shifts " + std::to_string(e.ShiftCount()) + "\n";
    for (long c = 1; c <= e.CellCount(); ++c) {
        const CSchichtNode* node = e.GetNode(c);
        if (!node)
            continue;
        out += std::to_string(c) + ": " + (node->SCHICHT ? node->SCHICHT->KURZBEZEICHNUNG : "-") + " " +
               std::to_string(node->TERMIN.BEGINN) + "-" + std::to_string(node->TERMIN.ENDE) + " net " +
               std::to_string(node->REINEAZ) + " rest " + std::to_string(node->RUHEZEIT) + " next " +
               std::to_string(node->NEXT ? node->NEXT->TERMIN.BEGINN : 0) + " previous " +
               std::to_string(node->PREVIOUS ? node->PREVIOUS->TERMIN.BEGINN : 0) + " records " +
               std::to_string(node->VERSTOSSLISTE.Count()) + "\n";
    }
    out += "first " + std::to_string(e.ERSTESCHICHT ? e.ERSTESCHICHT->TERMIN.BEGINN : 0) + "\nlines";
    for (const CAZPBewertung::ShiftLine& l : e.ShiftLines())
        out += " " + std::to_string(l.CELL) + "/" + std::to_string(l.RUHEZEIT) + "/" + std::to_string(l.TYPE) + "/" +
               std::to_string(l.WOCHENTAG);
    out += "\nrests";
    const CRuhezeiten& rests = e.GetRuhezeiten();
    if (const CRuhezeitNode* r = rests.ERSTERUHEZEIT) {
        do {
            out += " " + std::to_string(r->TERMIN.BEGINN) + "-" + std::to_string(r->TERMIN.ENDE) + "/" +
                   std::to_string(r->RUHEZEIT);
            r = r->NEXT;
        } while (r != rests.ERSTERUHEZEIT);
    }
    return out;
}

// The candidates' evaluation exchanges two cells in place: it must hold what evaluating the
// exchanged plan anew gives, and exchanging back what it held before.
TEST_F(IncrementalAssessment, ExchangingTwoCellsEqualsEvaluatingTheExchangedPlan)
{
    std::mt19937 random(11);
    const struct {
        uint32_t groups, weeks;
        const char* alphabet;
    } cases[] = {{5, 2, "FSN..LDKX"}, {3, 1, "......N"}, {2, 1, "F"}, {4, 1, "N......."}, {2, 2, "FN.."}};
    for (const auto& c : cases) {
        letters.Set(RandomRows(random, c.groups, c.weeks, c.alphabet));
        const long days = long(c.weeks) * 7;
        CAZPBewertung exchanged;
        exchanged.Evaluate(letters.plan);
        for (int i = 0; i < 200; ++i) {
            const uint32_t day = uint32_t(random() % days) + 1;
            const uint32_t g1 = uint32_t(random() % c.groups) + 1, g2 = uint32_t(random() % c.groups) + 1;
            const long a = long(g1 - 1) * days + day, b = long(g2 - 1) * days + day;
            const std::string before = Describe(exchanged);
            exchanged.ExchangeCells(a, b);
            letters.plan.SwapCells(day, g1, g2);
            CAZPBewertung fresh;
            fresh.Evaluate(letters.plan);
            ASSERT_EQ(Describe(exchanged), Describe(fresh)) << "cells " << a << " and " << b;
            if (random() % 3 == 0) {
                exchanged.ExchangeCells(a, b);
                letters.plan.SwapCells(day, g1, g2);
                ASSERT_EQ(Describe(exchanged), before) << "back: cells " << a << " and " << b;
            }
        }
    }
}

// The criteria beyond the search's own: none, every other one that checks plans but KR3, or
// every one with KR3 (which the incremental assessment declines).
enum class Others { None, EveryButKR3, Every };

TEST_F(IncrementalAssessment, EqualsTheFullEvaluationAfterEveryMoveAndUndo)
{
    const struct {
        const char* what;
        Profile profile;
        int32_t weekBegin;
        uint32_t groups, weeks;
        const char* alphabet;
        bool fullCheck = false;  // with a criterion that only a full check judges
        bool restsOnly = false;  // only the rests and runs switched on (the weekly limits run, off)
        Others others = Others::None;
    } cases[] = {
        {"every criterion, week from Monday 00:00", Profile::Ordinary, 0, 4, 2, "FSN..LDK"},
        {"with a full check among them", Profile::Ordinary, SearchCriteria::Clock(23), 5, 2, "FSNL.DKE", true},
        {"with a full check, extreme", Profile::Extreme, 0, 4, 3, "FSNLDKEB.", true},
        {"every criterion, week from Monday 23:00", Profile::Ordinary, SearchCriteria::Clock(23), 5, 2, "FSNL.D"},
        {"every criterion, week from 06:00, one group", Profile::Ordinary, SearchCriteria::Clock(6), 1, 3, "FSN.LD"},
        {"none switched on", Profile::NoneOn, SearchCriteria::Clock(6), 6, 2, "FSN..X"},
        {"extreme limits", Profile::Extreme, SearchCriteria::Clock(23), 4, 3, "FSNLDKEB."},
        {"10 groups x 4 weeks", Profile::Ordinary, SearchCriteria::Clock(6), 10, 4, "FSNN..LDKE"},
        {"extreme limits, sparse", Profile::Extreme, 0, 6, 2, "L.E..D.."},
        {"mostly free", Profile::Ordinary, SearchCriteria::Clock(23), 6, 1, "......N"},
        {"no shift at all", Profile::Ordinary, 0, 3, 1, ".XB"},
        {"rests and runs only, one week", Profile::Ordinary, 0, 9, 1, "FSN..", false, true},
        {"rests and runs only, extreme", Profile::Extreme, SearchCriteria::Clock(6), 13, 1, "FSNL..E", false, true},
        {"every plan criterion but KR3", Profile::Ordinary, SearchCriteria::Clock(23), 5, 2, "FSNL.DKE", false, false,
         Others::EveryButKR3},
        {"every plan criterion but KR3, extreme", Profile::Extreme, 0, 4, 3, "FSNLDKEB.", false, false,
         Others::EveryButKR3},
        {"every plan criterion but KR3, week from 06:00", Profile::Ordinary, SearchCriteria::Clock(6), 8, 2,
         "FFSN..LDKE", false, false, Others::EveryButKR3},
        {"every plan criterion but KR3, free weekends", Profile::Ordinary, 0, 6, 2, "FFFFF..", false, false,
         Others::EveryButKR3},
        {"every plan criterion", Profile::Ordinary, 0, 4, 2, "FSN..LDK", false, false, Others::Every},
        {"every plan criterion, extreme", Profile::Extreme, SearchCriteria::Clock(23), 4, 3, "FSNLDKEB.", false,
         false, Others::Every},
    };
    std::mt19937 random(20261211);
    for (const auto& c : cases) {
        SearchCriteria criteria(c.profile, c.weekBegin);
        if (c.fullCheck)
            criteria.WithFullCheck();
        if (c.restsOnly)
            for (CKriterium* k : criteria.all)
                k->AKTIVIERT = k == &criteria.kr2 || k == &criteria.kr5 || k == &criteria.kr10;
        if (c.others != Others::None)
            criteria.WithEveryCriterion(c.others == Others::Every);
        letters.Set(RandomRows(random, c.groups, c.weeks, c.alphabet));

        CAZPInkrementelleBewertung incremental;
        ASSERT_EQ(Bits(incremental.Reset(letters.plan, criteria.checker)), Bits(Full(criteria.checker))) << c.what;
        // KR3 writes in KR2's name: such a checker is declined (the search assesses it in full).
        const bool declined = c.others == Others::Every;
        ASSERT_EQ(CAZPInkrementelleBewertung::Follows(criteria.checker), !declined) << c.what;
        ASSERT_EQ(incremental.HasBase(), !declined) << c.what;
        if (declined)
            continue;
        EXPECT_GE(incremental.ChangingCount(), 1) << c.what << ": KR9 (which always runs) follows the change";
        if (c.profile != Profile::NoneOn && !c.restsOnly) {
            EXPECT_EQ(incremental.ChangingCount() < long(criteria.checker.KRITERIEN.Rows().size()),
                      c.fullCheck || c.others != Others::None)
                << c.what << ": all but a criterion without a change check follow the change";
        }
        for (int i = 0; i < 150; ++i) {
            const uint32_t day = uint32_t(random() % (c.weeks * 7)) + 1;
            const uint32_t g1 = uint32_t(random() % c.groups) + 1;
            const uint32_t g2 = uint32_t(random() % c.groups) + 1;
            if (g1 == g2)
                continue;
            const std::string where = std::string(c.what) + ", move " + std::to_string(i) + " (day " +
                                      std::to_string(day) + ", groups " + std::to_string(g1) + "/" + std::to_string(g2) + ")";
            const double before = Full(criteria.checker);
            const double candidate = incremental.AssessSwap(day, g1, g2);
            letters.plan.SwapCells(day, g1, g2);
            const double full = Full(criteria.checker);
            ASSERT_EQ(Bits(candidate), Bits(full)) << where;
            // Given a bound, a candidate below it is exact; one that is not may stop early, but
            // never answers below the bound. Bounds right at the quality test the rounding slack.
            const double inf = std::numeric_limits<double>::infinity();
            for (const double bound : {0.0, full, std::nextafter(full, 0.0), std::nextafter(full, inf),
                                       full * (1 + 1e-12), full + 0.001, full - 0.001, before, inf}) {
                const double q = incremental.AssessSwap(day, g1, g2, bound);
                if (full < bound)
                    ASSERT_EQ(Bits(q), Bits(full)) << where << ", bound " << bound;
                else
                    ASSERT_GE(q, bound) << where << ", bound " << bound;
            }
            // The move made: the new base taken in place (never evaluated anew after the first),
            // and its undo as a candidate from it.
            incremental.Moved(day, g1, g2);
            ASSERT_EQ(Bits(incremental.Reset(letters.plan, criteria.checker)), Bits(candidate)) << where;
            ASSERT_EQ(Bits(incremental.AssessSwap(day, g1, g2)), Bits(before)) << where << ", undo";
            if (random() % 2) {
                letters.plan.SwapCells(day, g1, g2);
                incremental.Moved(day, g1, g2);
                ASSERT_EQ(Bits(incremental.Reset(letters.plan, criteria.checker)), Bits(before)) << where << ", undone";
            }
        }
    }
}

// KR3 books Sundays on the rests KR2 reads and writes its weekly rest records in KR2's name: a
// checker running it is declined rather than judged by changes (no base, so no candidate gets
// an answer of the incremental assessment), while one without KR3 running is still followed,
// bit for bit.
TEST_F(IncrementalAssessment, ACheckerRunningKR3IsDeclinedNotMisjudged)
{
    const struct {
        const char* what;
        bool kr3First;
        uint8_t kr3On;
        std::vector<std::string> rows;
        uint32_t day, g1, g2;
    } cases[] = {
        {"KR3 then KR2, weekly rest in KR2's name", true, 1, {"FFFFFS.", "FF.FF.."}, 3, 1, 2},
        {"KR2 then KR3", false, 1, {"FFFFFS.", "FF.FF.."}, 3, 1, 2},
        {"KR3 then KR2, a Sunday without rest", true, 1, {"FFFFFFF", "FFFFF.."}, 7, 1, 2},
        {"KR3 switched off", true, 0, {"FFFFFS.", "FF.FF.."}, 3, 1, 2},
    };
    for (const auto& c : cases) {
        SearchCriteria criteria(Profile::Ordinary, 0);
        criteria.kr3.AKTIVIERT = c.kr3On;
        std::vector<CKriterium*> order = {&criteria.kr3, &criteria.kr2};
        if (!c.kr3First)
            std::swap(order[0], order[1]);
        criteria.checker.SetKriterien(order);
        letters.Set(c.rows);

        CAZPInkrementelleBewertung incremental;
        ASSERT_EQ(Bits(incremental.Reset(letters.plan, criteria.checker)), Bits(Full(criteria.checker))) << c.what;
        EXPECT_EQ(incremental.HasBase(), c.kr3On == 0) << c.what;
        if (!incremental.HasBase())
            continue;
        const double candidate = incremental.AssessSwap(c.day, c.g1, c.g2);
        letters.plan.SwapCells(c.day, c.g1, c.g2);
        EXPECT_EQ(Bits(candidate), Bits(Full(criteria.checker))) << c.what;
    }
}

// The property above holds for every criterion a checker can hold: every criterion of the
// table that checks plans is among those it runs.
TEST_F(IncrementalAssessment, ThePropertyCoversEveryCriterionThatChecksPlans)
{
    SearchCriteria criteria(Profile::Ordinary, 0);
    std::set<long> covered, checking;
    for (CKriterium* k : criteria.Every()) {
        EXPECT_NE(k->GetAZPChecker(), nullptr) << "KR" << k->NUMMER;
        covered.insert(k->NUMMER);
    }
    for (const KriteriumEintrag& e : KriterienTabelle())
        if (e.SCHNITTSTELLEN & KR_AZP)
            checking.insert(e.NUMMER);
    EXPECT_EQ(covered, checking);
}

// The minimum rest tells a bound what a change does to its amounts without its records: the
// base's sum of amounts plus what it says is added, less what it says is dropped, must be the
// candidate's sum by a full check - for plans whose short rests meet, cross the cycle's end or
// lie beside both changed cells.
TEST_F(IncrementalAssessment, TheMinimumRestTellsTheAmountsAChangeAddsAndDrops)
{
    const struct {
        const char* what;
        Profile profile;
        uint32_t groups, weeks;
        const char* alphabet;
    } cases[] = {
        {"ordinary limits", Profile::Ordinary, 5, 2, "FSNL.DKE"},
        {"extreme limits", Profile::Extreme, 4, 3, "FSNLDKEB."},
        {"one week per group, short rests everywhere", Profile::Extreme, 9, 1, "NNEEL.."},
        {"mostly free", Profile::Ordinary, 6, 1, "......NE"},
        {"a single group", Profile::Extreme, 1, 2, "NE.L"},
    };
    const auto sum = [](const CAZPBewertung& e, const CKriterium& k) {
        uint64_t total = 0;
        for (long c = 1; c <= e.CellCount(); ++c)
            if (const CVerstossliste* list = e.GetVerstossliste(c))
                for (const VERSTOSSINFO& r : list->VERSTOESSE.Rows())
                    total += r.KRITERIUM == &k ? r.WERT : 0;
        return total;
    };
    std::mt19937 random(1112);
    for (const auto& c : cases) {
        SearchCriteria criteria(c.profile, 0);
        letters.Set(RandomRows(random, c.groups, c.weeks, c.alphabet));
        const long days = long(c.weeks) * 7;
        for (int i = 0; i < 150; ++i) {
            const uint32_t day = uint32_t(random() % days) + 1;
            const uint32_t g1 = uint32_t(random() % c.groups) + 1, g2 = uint32_t(random() % c.groups) + 1;
            const long changed[2] = {long(g1 - 1) * days + day, long(g2 - 1) * days + day};
            CAZPBewertung base, candidate;
            base.Evaluate(letters.plan);
            criteria.kr2.Check(base, 1);
            criteria.kr2.KeepBase(base);
            letters.plan.SwapCells(day, g1, g2);
            candidate.Evaluate(letters.plan);
            AZPAmountChange amounts;
            ASSERT_TRUE(criteria.kr2.ChangeAmounts(candidate, changed, amounts)) << c.what;
            criteria.kr2.Check(candidate, 1);
            ASSERT_EQ(sum(base, criteria.kr2) + amounts.added - amounts.dropped, sum(candidate, criteria.kr2))
                << c.what << ", move " << i << " (day " << day << ", groups " << g1 << "/" << g2 << ")";
        }
    }
}

} // namespace
