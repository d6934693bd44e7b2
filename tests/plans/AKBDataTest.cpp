#include "plans/AKBData.h"

#include "PlanTestSupport.h"

#include "core/Files.h"
#include "core/Savable.h"
#include "platform/headless/HeadlessDriver.h"
#include "platform/records/FileError.h"
#include "platform/ui/MessageShow.h"
#include "platform/values/Random.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kDay = 1440;

// Minute stamp of day d (1-based) at hh:mm.
uint32_t At(uint32_t day, int hh, int mm = 0) { return (day - 1) * kDay + uint32_t(hh * 60 + mm); }

CAKBEintrag Span(uint32_t b, uint32_t e, unsigned n) { return {{b, e}, uint8_t(n)}; }

// "d1 08:00-12:00 x3" per span, in list order: compact to compare and readable on failure.
std::string Text(const CAKBEintrag& s)
{
    char buf[64];
    uint32_t b = s.TERMIN.BEGINN, e = s.TERMIN.ENDE;
    uint32_t eday = (e - 1) / kDay + 1;  // an end at midnight is 24:00 of the span's day
    uint32_t em = e - (eday - 1) * kDay;
    std::snprintf(buf, sizeof buf, "d%u %02u:%02u-%02u:%02u x%u", b / kDay + 1, b % kDay / 60,
                  b % 60, em / 60, em % 60, unsigned(s.ANZAHL));
    return buf;
}

std::vector<std::string> List(const CAKBData& akb)
{
    std::vector<std::string> out;
    for (long i = 1; i <= akb.Count(); ++i)
        out.push_back(Text(*akb.GetByIndex(i)));
    return out;
}

using Spans = std::vector<std::string>;

// Every invariant the grid and the generator rely on.
void ExpectInvariants(const CAKBData& akb)
{
    std::vector<uint32_t> perDay(AKB_TAGE + 1, 0);
    for (long i = 1; i <= akb.Count(); ++i) {
        const CAKBEintrag& s = *akb.GetByIndex(i);
        SCOPED_TRACE(Text(s));
        ASSERT_LT(s.TERMIN.BEGINN, s.TERMIN.ENDE);
        ASSERT_EQ(s.TERMIN.BEGINN / kDay, (s.TERMIN.ENDE - 1) / kDay) << "crosses midnight";
        ASSERT_GE(s.ANZAHL, 1);
        ASSERT_LE(s.TERMIN.ENDE, akb.CountDays() * kDay);
        if (i > 1) {
            const CAKBEintrag& p = *akb.GetByIndex(i - 1);
            ASSERT_LE(p.TERMIN.ENDE, s.TERMIN.BEGINN) << "overlaps or unsorted";
            if (p.TERMIN.ENDE == s.TERMIN.BEGINN && s.TERMIN.BEGINN % kDay != 0) {
                ASSERT_NE(p.ANZAHL, s.ANZAHL) << "touching equal counts not joined";
            }
        }
        ++perDay[s.TERMIN.BEGINN / kDay + 1];
    }
    uint32_t sum = 0, most = 0;
    for (uint32_t d = 1; d <= AKB_TAGE; ++d) {
        sum += perDay[d];
        most = std::max(most, perDay[d]);
        ASSERT_EQ(akb.GetSpaltensumme(d), sum) << "day " << d;
        for (uint32_t r = 1; r <= perDay[d]; ++r)
            ASSERT_EQ(akb.GetEntry(d, r), akb.GetByIndex(long(akb.GetSpaltensumme(d - 1) + r)));
        ASSERT_EQ(akb.GetEntry(d, perDay[d] + 1), nullptr);
    }
    ASSERT_EQ(akb.GetMaxZeilen(), most);
}

class AKBDataTest : public ::testing::Test {
protected:
    void SetUp() override { akb.SetBezugsrahmen(1); }
    CAKBData akb;
};

// ---- The worked examples -----------------------------------------------------------------------

struct MergeCase {
    const char* name;
    std::vector<std::pair<CAKBEintrag, bool>> merges;  // span, continuous
    Spans expected;
};

TEST_F(AKBDataTest, MergeExamples)
{
    const MergeCase cases[] = {
        {"one span", {{Span(At(1, 8), At(1, 16), 3), true}}, {"d1 08:00-16:00 x3"}},
        {"later span overwrites the overlap",
         {{Span(At(1, 8), At(1, 16), 3), true}, {Span(At(1, 12), At(1, 20), 2), true}},
         {"d1 08:00-12:00 x3", "d1 12:00-20:00 x2"}},
        {"earlier span overwrites the overlap",
         {{Span(At(1, 12), At(1, 20), 2), true}, {Span(At(1, 8), At(1, 16), 3), true}},
         {"d1 08:00-16:00 x3", "d1 16:00-20:00 x2"}},
        {"count 0 inside cuts in two",
         {{Span(At(1, 8), At(1, 16), 3), true}, {Span(At(1, 10), At(1, 11), 0), true}},
         {"d1 08:00-10:00 x3", "d1 11:00-16:00 x3"}},
        {"count 0 over the whole span removes it",
         {{Span(At(1, 8), At(1, 16), 3), true}, {Span(At(1, 7), At(1, 17), 0), true}},
         {}},
        {"count 0 on empty demand adds nothing", {{Span(At(2, 7), At(2, 17), 0), true}}, {}},
        {"touching equal counts join",
         {{Span(At(1, 8), At(1, 12), 3), true}, {Span(At(1, 12), At(1, 16), 3), true}},
         {"d1 08:00-16:00 x3"}},
        {"a gap is filled and joins both sides",
         {{Span(At(1, 8), At(1, 10), 3), true},
          {Span(At(1, 12), At(1, 16), 3), true},
          {Span(At(1, 10), At(1, 12), 3), true}},
         {"d1 08:00-16:00 x3"}},
        {"same span again with another count",
         {{Span(At(1, 8), At(1, 16), 3), true}, {Span(At(1, 8), At(1, 16), 1), true}},
         {"d1 08:00-16:00 x1"}},
        {"night span cut at midnight",
         {{Span(At(1, 22), At(2, 6), 2), true}},
         {"d1 22:00-24:00 x2", "d2 00:00-06:00 x2"}},
        {"night span on the last day wraps to day 1",
         {{Span(At(7, 22), At(8, 6), 2), true}},
         {"d1 00:00-06:00 x2", "d7 22:00-24:00 x2"}},
        {"span past the plan's end folds into it",
         {{Span(At(8, 8), At(8, 10), 4), true}},
         {"d1 08:00-10:00 x4"}},
        {"continuous Monday 08:00 to Friday 16:00",
         {{Span(At(1, 8), At(5, 16), 1), true}},
         {"d1 08:00-24:00 x1", "d2 00:00-24:00 x1", "d3 00:00-24:00 x1", "d4 00:00-24:00 x1",
          "d5 00:00-16:00 x1"}},
        {"daily Monday 08:00 to Friday 16:00",
         {{Span(At(1, 8), At(5, 16), 1), false}},
         {"d1 08:00-16:00 x1", "d2 08:00-16:00 x1", "d3 08:00-16:00 x1", "d4 08:00-16:00 x1",
          "d5 08:00-16:00 x1"}},
        {"daily window over midnight starts on every day up to the end's day",
         {{Span(At(1, 22), At(3, 6), 2), false}},
         {"d1 22:00-24:00 x2", "d2 00:00-06:00 x2", "d2 22:00-24:00 x2", "d3 00:00-06:00 x2",
          "d3 22:00-24:00 x2", "d4 00:00-06:00 x2"}},
        {"daily window over the plan's end lands on day 1",
         {{Span(At(6, 8), At(8, 16), 5), false}},
         {"d1 08:00-16:00 x5", "d6 08:00-16:00 x5", "d7 08:00-16:00 x5"}},
        {"daily window of 0 erases on each day",
         {{Span(At(1, 6), At(3, 18), 2), true}, {Span(At(1, 12), At(3, 13), 0), false}},
         {"d1 06:00-12:00 x2", "d1 13:00-24:00 x2", "d2 00:00-12:00 x2", "d2 13:00-24:00 x2",
          "d3 00:00-12:00 x2", "d3 13:00-18:00 x2"}},
        {"reversed span runs over the plan's end",
         {{Span(At(7, 20), At(1, 4), 1), true}},
         {"d1 00:00-04:00 x1", "d7 20:00-24:00 x1"}},
        {"a span longer than the plan covers all of it",
         {{Span(At(3, 8), At(10, 9), 1), true}},
         {"d1 00:00-24:00 x1", "d2 00:00-24:00 x1", "d3 00:00-24:00 x1", "d4 00:00-24:00 x1",
          "d5 00:00-24:00 x1", "d6 00:00-24:00 x1", "d7 00:00-24:00 x1"}},
        {"touching at midnight with equal counts stays two spans",
         {{Span(At(1, 20), At(1, 24), 2), true}, {Span(At(2, 0), At(2, 3), 2), true}},
         {"d1 20:00-24:00 x2", "d2 00:00-03:00 x2"}},
    };
    for (const MergeCase& c : cases) {
        SCOPED_TRACE(c.name);
        akb.Clear();
        for (const auto& [span, continuous] : c.merges)
            akb.MergeDemand(span, continuous);
        EXPECT_EQ(List(akb), c.expected);
        ExpectInvariants(akb);
    }
}

TEST_F(AKBDataTest, AddDemandSumsTheOverlap)
{
    akb.MergeDemand(Span(At(1, 8), At(1, 16), 3), true);
    EXPECT_FALSE(akb.AddDemand(Span(At(1, 12), At(1, 20), 2)));
    EXPECT_EQ(List(akb), (Spans{"d1 08:00-12:00 x3", "d1 12:00-16:00 x5", "d1 16:00-20:00 x2"}));

    // Adding the complement back to 5 joins everything.
    akb.AddDemand(Span(At(1, 8), At(1, 12), 2));
    akb.AddDemand(Span(At(1, 16), At(1, 20), 3));
    EXPECT_EQ(List(akb), (Spans{"d1 08:00-20:00 x5"}));

    // A night shift on the last day adds to day 1's morning.
    akb.Clear();
    akb.MergeDemand(Span(At(1, 0), At(1, 8), 1), true);
    akb.AddDemand(Span(At(7, 22), At(8, 6), 2));
    EXPECT_EQ(List(akb), (Spans{"d1 00:00-06:00 x3", "d1 06:00-08:00 x1", "d7 22:00-24:00 x2"}));
    ExpectInvariants(akb);

    EXPECT_FALSE(akb.AddDemand(Span(At(2, 1), At(2, 2), 0)));
    EXPECT_EQ(akb.Count(), 3);
}

TEST_F(AKBDataTest, AddDemandHoldsSumsAt255)
{
    akb.MergeDemand(Span(At(1, 8), At(1, 16), 200), true);
    EXPECT_TRUE(akb.AddDemand(Span(At(1, 12), At(1, 20), 100)));
    EXPECT_EQ(List(akb), (Spans{"d1 08:00-12:00 x200", "d1 12:00-16:00 x255", "d1 16:00-20:00 x100"}));
    EXPECT_FALSE(akb.AddDemand(Span(At(1, 16), At(1, 17), 155)));
    EXPECT_TRUE(akb.AddDemand(Span(At(1, 16), At(1, 17), 1)));
    ExpectInvariants(akb);

    std::vector<MessageRequest> shown;
    SetMessageHook([&](const MessageRequest& m) { shown.push_back(m); return 1; });
    ShowAKBCapMessage();
    SetMessageHook({});
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].text.find("255"), std::string::npos);
}

// ---- Normalize: the pairwise rules, with the new span second and first among equal begins ------

struct PairCase {
    const char* name;
    CAKBEintrag old;
    CAKBEintrag added;  // the new span
    Spans expected;
};

TEST_F(AKBDataTest, NormalizeResolvesEveryPairInBothOrders)
{
    const uint32_t d = kDay;  // day 2, away from day 1's start
    const PairCase cases[] = {
        {"overlap, equal counts join", Span(d + 100, d + 200, 3), Span(d + 150, d + 300, 3),
         {"d2 01:40-05:00 x3"}},
        {"overlap, new count 0 cuts", Span(d + 100, d + 200, 3), Span(d + 150, d + 300, 0),
         {"d2 01:40-02:30 x3"}},
        {"overlap, new wins over later old", Span(d + 150, d + 300, 3), Span(d + 100, d + 200, 5),
         {"d2 01:40-03:20 x5", "d2 03:20-05:00 x3"}},
        {"overlap, new wins over earlier old", Span(d + 100, d + 200, 3), Span(d + 150, d + 300, 5),
         {"d2 01:40-02:30 x3", "d2 02:30-05:00 x5"}},
        {"inside, equal counts", Span(d + 100, d + 300, 3), Span(d + 150, d + 200, 3),
         {"d2 01:40-05:00 x3"}},
        {"inside, count 0 cuts in two", Span(d + 100, d + 300, 3), Span(d + 150, d + 200, 0),
         {"d2 01:40-02:30 x3", "d2 03:20-05:00 x3"}},
        {"inside, new wins", Span(d + 100, d + 300, 3), Span(d + 150, d + 200, 5),
         {"d2 01:40-02:30 x3", "d2 02:30-03:20 x5", "d2 03:20-05:00 x3"}},
        {"around, new wins", Span(d + 150, d + 200, 3), Span(d + 100, d + 300, 5),
         {"d2 01:40-05:00 x5"}},
        {"around, count 0 removes", Span(d + 150, d + 200, 3), Span(d + 100, d + 300, 0), {}},
        {"equal begins, new shorter", Span(d + 100, d + 300, 3), Span(d + 100, d + 200, 5),
         {"d2 01:40-03:20 x5", "d2 03:20-05:00 x3"}},
        {"equal begins, new longer", Span(d + 100, d + 200, 3), Span(d + 100, d + 300, 5),
         {"d2 01:40-05:00 x5"}},
        {"equal spans", Span(d + 100, d + 200, 3), Span(d + 100, d + 200, 5), {"d2 01:40-03:20 x5"}},
        {"touching, equal counts join", Span(d + 100, d + 200, 3), Span(d + 200, d + 300, 3),
         {"d2 01:40-05:00 x3"}},
        {"touching, different counts", Span(d + 100, d + 200, 3), Span(d + 200, d + 300, 4),
         {"d2 01:40-03:20 x3", "d2 03:20-05:00 x4"}},
        {"apart, count 0 vanishes", Span(d + 100, d + 200, 3), Span(d + 300, d + 400, 0),
         {"d2 01:40-03:20 x3"}},
        {"empty new span vanishes", Span(d + 100, d + 200, 3), Span(d + 150, d + 150, 7),
         {"d2 01:40-03:20 x3"}},
    };
    for (const PairCase& c : cases) {
        for (bool newFirst : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (newFirst ? ", new first" : ", new second"));
            akb.Clear();
            if (newFirst) {
                akb.AppendLoaded(c.added);
                akb.AppendLoaded(c.old);
            } else {
                akb.AppendLoaded(c.old);
                akb.AppendLoaded(c.added);
            }
            akb.Normalize(akb.GetByIndex(newFirst ? 1 : 2));
            EXPECT_EQ(List(akb), c.expected);
            ExpectInvariants(akb);
        }
    }
}

TEST_F(AKBDataTest, NormalizeWithoutNewSpanKeepsTheEarlierOfOverlappingSpans)
{
    // As a damaged file could hold them: unsorted, overlapping, empty, over midnight.
    akb.SetBezugsrahmen(2);
    akb.AppendLoaded(Span(At(2, 10), At(2, 14), 2));
    akb.AppendLoaded(Span(At(2, 8), At(2, 12), 4));
    akb.AppendLoaded(Span(At(3, 5), At(3, 5), 1));
    akb.AppendLoaded(Span(At(1, 23), At(2, 1), 1));
    akb.AppendLoaded(Span(At(2, 9), At(2, 10), 0));
    akb.Normalize(nullptr);
    EXPECT_EQ(List(akb), (Spans{"d1 23:00-24:00 x1", "d2 00:00-01:00 x1", "d2 08:00-09:00 x4",
                                "d2 10:00-12:00 x4", "d2 12:00-14:00 x2"}));
    ExpectInvariants(akb);
}

// ---- Random merges against a plain per-minute model ----------------------------------------------

class MinuteModel {
public:
    explicit MinuteModel(uint32_t weeks) : p_(weeks * 7 * kDay), minute_(p_, 0) {}

    void Merge(uint32_t b, uint32_t e, unsigned n, bool continuous)
    {
        if (continuous) {
            for (uint32_t m = b; m < e && m < b + p_; ++m)
                minute_[m % p_] = n;
            return;
        }
        uint32_t first = b / kDay, last = (e - 1) / kDay;
        uint32_t from = b % kDay, to = (e - 1) % kDay + 1;
        if (to < from)
            to += kDay;
        for (uint32_t d = first; d <= last && d < first + p_ / kDay; ++d)
            for (uint32_t m = d * kDay + from; m < d * kDay + to; ++m)
                minute_[m % p_] = n;
    }
    void Add(uint32_t b, uint32_t e, unsigned n)
    {
        for (uint32_t m = b; m < e && m < b + p_; ++m)
            minute_[m % p_] = std::min(255u, minute_[m % p_] + n);
    }
    void ExpectEqual(const CAKBData& akb) const
    {
        std::vector<unsigned> got(p_, 0);
        for (long i = 1; i <= akb.Count(); ++i) {
            const CAKBEintrag& s = *akb.GetByIndex(i);
            for (uint32_t m = s.TERMIN.BEGINN; m < s.TERMIN.ENDE && m < p_; ++m)
                got[m] = s.ANZAHL;
        }
        for (uint32_t m = 0; m < p_; ++m)
            ASSERT_EQ(got[m], minute_[m]) << "minute " << m << " (day " << m / kDay + 1 << ")";
    }

private:
    uint32_t p_;
    std::vector<unsigned> minute_;
};

TEST_F(AKBDataTest, RandomMergesAndAdditionsMatchAPerMinuteModel)
{
    RandomRestart(20240611);
    for (uint32_t weeks : {1u, 2u}) {
        akb.Clear();
        akb.SetBezugsrahmen(uint16_t(weeks));
        MinuteModel model(weeks);
        const uint32_t p = weeks * 7 * kDay;
        for (int op = 0; op < 400; ++op) {
            // Mostly short spans on a few hours so that they meet often; now and then a long one.
            uint32_t b = RandomBetween(0, 3) == 0 ? RandomBetween(0, p + kDay)
                                                  : RandomBetween(0, 2) * kDay + RandomBetween(300, 900);
            uint32_t len = RandomBetween(0, 9) == 0 ? RandomBetween(1, 4 * kDay) : RandomBetween(1, 300);
            unsigned n = RandomBetween(0, 4) == 0 ? 0 : RandomBetween(1, 4) * (RandomBetween(0, 20) ? 1 : 60);
            int kind = int(RandomBetween(0, 2));
            SCOPED_TRACE("op " + std::to_string(op) + " kind " + std::to_string(kind) + " " +
                         std::to_string(b) + "+" + std::to_string(len) + " x" + std::to_string(n));
            if (kind == 0) {
                akb.MergeDemand(Span(b, b + len, n), true);
                model.Merge(b, b + len, n, true);
            } else if (kind == 1) {
                akb.MergeDemand(Span(b, b + len, n), false);
                model.Merge(b, b + len, n, false);
            } else {
                akb.AddDemand(Span(b, b + len, n));
                model.Add(b, b + len, n);
            }
            ASSERT_NO_FATAL_FAILURE(ExpectInvariants(akb));
            ASSERT_NO_FATAL_FAILURE(model.ExpectEqual(akb));
        }
    }
}

// ---- Lookups, reference period, copies -----------------------------------------------------------

TEST_F(AKBDataTest, AnEmptyListHasNoRowsEntriesOrFigures)
{
    EXPECT_EQ(akb.GetMaxZeilen(), 0u);
    for (uint32_t d = 0; d <= AKB_TAGE + 1; ++d)
        for (uint32_t r = 0; r <= 2; ++r)
            EXPECT_EQ(akb.GetEntry(d, r), nullptr);
    EXPECT_EQ(akb.FindEntryAt(At(1, 8)), nullptr);
    CAKBInfo info;
    info.BSGESAMT = Decimal::FromCents(5);
    akb.ComputeInfo(info);
    EXPECT_EQ(info.BSGESAMT.Cents(), 0);
    EXPECT_EQ(info.BMSGESAMT.Cents(), 0);
    EXPECT_EQ(info.BELEGSCHAFT.Cents(), 0);
    EXPECT_EQ(info.BSPROWOCHE.Cents(), 0);
}

TEST_F(AKBDataTest, EntriesByDayAndRowAndByStamp)
{
    akb.MergeDemand(Span(At(1, 8), At(1, 12), 3), true);
    akb.MergeDemand(Span(At(1, 12), At(1, 16), 2), true);
    akb.MergeDemand(Span(At(1, 20), At(1, 22), 1), true);
    akb.MergeDemand(Span(At(3, 6), At(3, 7), 4), true);
    EXPECT_EQ(akb.GetMaxZeilen(), 3u);
    ASSERT_NE(akb.GetEntry(1, 3), nullptr);
    EXPECT_EQ(Text(*akb.GetEntry(1, 3)), "d1 20:00-22:00 x1");
    EXPECT_EQ(akb.GetEntry(1, 4), nullptr);
    EXPECT_EQ(akb.GetEntry(2, 1), nullptr);
    EXPECT_EQ(Text(*akb.GetEntry(3, 1)), "d3 06:00-07:00 x4");
    EXPECT_EQ(akb.GetEntry(3, 2), nullptr);

    // Both ends count: the first span that reaches the stamp answers.
    EXPECT_EQ(akb.FindEntryAt(At(1, 12)), akb.GetEntry(1, 1));
    EXPECT_EQ(akb.FindEntryAt(At(1, 12, 1)), akb.GetEntry(1, 2));
    EXPECT_EQ(akb.FindEntryAt(At(1, 17)), nullptr);
    EXPECT_EQ(akb.FindEntryAt(At(3, 7)), akb.GetEntry(3, 1));
    EXPECT_EQ(akb.FindEntryAt(At(90, 0)), nullptr);

    ASSERT_TRUE(akb.DeleteEntry(akb.GetEntry(1, 2)));
    EXPECT_FALSE(akb.DeleteEntry(nullptr));
    EXPECT_EQ(akb.GetMaxZeilen(), 2u);
    EXPECT_EQ(Text(*akb.GetEntry(1, 2)), "d1 20:00-22:00 x1");
    ExpectInvariants(akb);
}

TEST_F(AKBDataTest, ReferencePeriodGrowsAndShrinks)
{
    akb.SetBezugsrahmen(3);
    EXPECT_EQ(akb.CountDays(), 21);
    akb.MergeDemand(Span(At(7, 8), At(7, 9), 1), true);
    akb.MergeDemand(Span(At(8, 8), At(8, 9), 2), true);
    akb.MergeDemand(Span(At(14, 23), At(15, 1), 3), true);
    akb.MergeDemand(Span(At(21, 8), At(21, 9), 4), true);

    akb.SetBezugsrahmen(2);  // drops day 15 and 21, keeps the part of the night before midnight
    EXPECT_EQ(akb.GetBezugsrahmen(), 2);
    EXPECT_EQ(List(akb), (Spans{"d7 08:00-09:00 x1", "d8 08:00-09:00 x2", "d14 23:00-24:00 x3"}));
    ExpectInvariants(akb);

    akb.SetBezugsrahmen(8);  // grows without adding
    EXPECT_EQ(akb.Count(), 3);
    akb.SetBezugsrahmen(200);  // no arrays past twelve weeks
    EXPECT_EQ(akb.GetBezugsrahmen(), AKB_MAX_WOCHEN);
    akb.MergeDemand(Span(At(84, 22), At(85, 2), 1), true);
    EXPECT_EQ(List(akb).front(), "d1 00:00-02:00 x1");
    EXPECT_EQ(List(akb).back(), "d84 22:00-24:00 x1");
    ExpectInvariants(akb);

    akb.SetBezugsrahmen(1);
    EXPECT_EQ(List(akb), (Spans{"d1 00:00-02:00 x1", "d7 08:00-09:00 x1"}));
    ExpectInvariants(akb);
}

TEST_F(AKBDataTest, NothingIsMergedWithoutAReferencePeriod)
{
    CAKBData none;
    none.MergeDemand(Span(At(1, 8), At(1, 9), 1), true);
    EXPECT_FALSE(none.AddDemand(Span(At(1, 8), At(1, 9), 1)));
    EXPECT_EQ(none.Count(), 0);
    EXPECT_EQ(none.DemandAt(1, 1, 0, 60), 0);
    EXPECT_EQ(none.FindFirstDemandStep(1, 0, 60), 0u);
}

TEST_F(AKBDataTest, CopyFromTakesWeeksAndSpans)
{
    akb.SetBezugsrahmen(2);
    akb.MergeDemand(Span(At(1, 22), At(2, 6), 2), true);
    CAKBData copy;
    copy.MergeDemand(Span(At(1, 1), At(1, 2), 9), true);
    copy.CopyFrom(akb);
    EXPECT_EQ(copy.GetBezugsrahmen(), 2);
    EXPECT_EQ(List(copy), List(akb));
    ExpectInvariants(copy);
    akb.Clear();
    EXPECT_EQ(copy.Count(), 2);  // a copy, not shared spans
}

// ---- Key figures and the generator's step searches -----------------------------------------------

TEST_F(AKBDataTest, KeyFiguresOfASmallPlan)
{
    akb.SetBezugsrahmen(2);
    akb.MergeDemand(Span(At(1, 8), At(1, 16), 3), true);   // 8 h x 3
    akb.MergeDemand(Span(At(9, 8), At(9, 8, 20), 1), true); // 20 min x 1
    for (int i = 0; i < 3; ++i)                             // three 20-minute spans: 1 h exactly
        akb.MergeDemand(Span(At(10, 2 * i), At(10, 2 * i, 20), 2), true);
    CAKBInfo info;
    akb.ComputeInfo(info);
    EXPECT_EQ(info.BSGESAMT.ToString(), "9.33");     // 560 minutes
    EXPECT_EQ(info.BMSGESAMT.ToString(), "26.33");   // 1580 person-minutes
    EXPECT_EQ(info.BSPROWOCHE.ToString(), "4.67");
    EXPECT_EQ(info.BMSPROWOCHE.ToString(), "13.17");
    EXPECT_EQ(info.BELEGSCHAFT.ToString(), "2.82");  // 26.33 / 9.33
}

TEST_F(AKBDataTest, KeyFiguresOfAFullPlanDoNotOverflow)
{
    akb.SetBezugsrahmen(12);
    akb.MergeDemand(Span(0, 84 * kDay, 255), true);
    CAKBInfo info;
    akb.ComputeInfo(info);
    EXPECT_EQ(info.BSGESAMT.ToString(), "2016.00");
    EXPECT_EQ(info.BMSGESAMT.ToString(), "514080.00");
    EXPECT_EQ(info.BELEGSCHAFT.ToString(), "255.00");
}

TEST_F(AKBDataTest, DemandStepsWrapFromTheLastDayToTheFirst)
{
    akb.MergeDemand(Span(At(1, 0), At(1, 2), 2), true);
    akb.MergeDemand(Span(At(1, 1), At(1, 1, 30), 5), true);
    akb.MergeDemand(Span(At(7, 23), At(7, 24), 4), true);
    akb.MergeDemand(Span(At(3, 9), At(3, 11), 1), true);

    // Steps of 60 minutes from 00:00: the step holding the 5 reports it.
    EXPECT_EQ(akb.DemandAt(1, 1, 0, 60), 2);
    EXPECT_EQ(akb.DemandAt(1, 2, 0, 60), 5);
    EXPECT_EQ(akb.DemandAt(1, 3, 0, 60), 0);
    EXPECT_EQ(akb.DemandAt(7, 24, 0, 60), 4);
    // An operating day from 22:00: day 7's last steps run into day 1.
    EXPECT_EQ(akb.DemandAt(7, 2, 22 * 60, 60), 4);
    EXPECT_EQ(akb.DemandAt(7, 3, 22 * 60, 60), 2);
    EXPECT_EQ(akb.DemandAt(0, 1, 0, 60), 0);

    EXPECT_EQ(akb.FindFirstDemandStep(3, 0, 30), At(3, 9));
    EXPECT_EQ(akb.FindLastDemandStep(3, 0, 30), At(3, 11));
    EXPECT_EQ(akb.FindFirstDemandStep(2, 0, 30), 0u);
    EXPECT_EQ(akb.FindLastDemandStep(2, 0, 30), 0u);
    EXPECT_EQ(akb.FindFirstDemandStep(7, 22 * 60, 60), At(7, 23));
    EXPECT_EQ(akb.FindLastDemandStep(7, 22 * 60, 60), At(8, 2));  // full stamp past the plan
    EXPECT_EQ(akb.FindFirstDemandStep(3, 0, 0), 0u);  // no step length: no endless search

    // Demand that neither begins nor ends a step still counts for it, and a span ending as the
    // step begins does not.
    akb.MergeDemand(Span(At(5, 8, 15), At(5, 8, 45), 3), true);
    akb.MergeDemand(Span(At(5, 9), At(5, 10), 1), true);
    akb.MergeDemand(Span(At(5, 9, 20), At(5, 9, 40), 6), true);
    EXPECT_EQ(akb.DemandAt(5, 9, 0, 60), 3);
    EXPECT_EQ(akb.DemandAt(5, 10, 0, 60), 6);
    EXPECT_EQ(akb.DemandAt(5, 11, 0, 60), 0);
    EXPECT_EQ(akb.FindFirstDemandStep(5, 0, 60), At(5, 8));
    EXPECT_EQ(akb.FindLastDemandStep(5, 0, 60), At(5, 10));
    EXPECT_FALSE(akb.TestStep(3, 2, 0, nullptr));
}

} // namespace

// ---- Storage round trips -----------------------------------------------------------------------------

namespace {

class AKBStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        akb.SetBezugsrahmen(2);
        ASSERT_EQ(akb.GetSavable().Init(store.files, nullptr), STORE_DONE);
    }
    void TearDown() override { akb.GetSavable().Release(store.files); }

    plantest::ProjectStore store;
    CAKBData akb;
};

TEST_F(AKBStoreTest, StoreUndoRedoAndReload)
{
    ISavable& s = akb.GetSavable();
    akb.MergeDemand(Span(At(1, 8), At(1, 16), 3), true);
    ASSERT_EQ(s.StoreStep(), STORE_DONE);  // step 1
    akb.MergeDemand(Span(At(1, 22), At(2, 6), 2), true);
    ASSERT_EQ(s.StoreStep(), STORE_DONE);  // step 2
    const Spans two = List(akb);

    ASSERT_EQ(s.Undo(1), STORE_DONE);
    EXPECT_EQ(List(akb), (Spans{"d1 08:00-16:00 x3"}));
    ExpectInvariants(akb);
    EXPECT_EQ(s.Undo(1), STORE_REFUSED);
    ASSERT_EQ(s.Redo(1), STORE_DONE);
    EXPECT_EQ(List(akb), two);
    ExpectInvariants(akb);
    EXPECT_EQ(s.Redo(1), STORE_REFUSED);

    // Another part loads what was stored, in order, with working column sums.
    CAKBData loaded;
    loaded.SetBezugsrahmen(2);
    ASSERT_EQ(loaded.GetSavable().Init(store.files, nullptr), STORE_DONE);
    ASSERT_EQ(s.Save(), STORE_DONE);
    ASSERT_EQ(loaded.GetSavable().Load(true), STORE_DONE);
    EXPECT_EQ(List(loaded), two);
    ExpectInvariants(loaded);
    loaded.MergeDemand(Span(At(1, 12), At(1, 13), 1), true);
    EXPECT_EQ(loaded.Count(), 5);
    loaded.GetSavable().Release(store.files);

    EXPECT_EQ(s.ResetNew(), STORE_DONE);
    EXPECT_EQ(akb.Count(), 0);
    EXPECT_EQ(akb.GetBezugsrahmen(), 1);
}

TEST_F(AKBStoreTest, ShorterReferencePeriodLeavesOneStep)
{
    ISavable& s = akb.GetSavable();
    akb.MergeDemand(Span(At(2, 8), At(2, 9), 1), true);
    ASSERT_EQ(s.StoreStep(), STORE_DONE);
    akb.MergeDemand(Span(At(9, 8), At(9, 9), 2), true);
    ASSERT_EQ(s.StoreStep(), STORE_DONE);
    ASSERT_TRUE(s.CanUndo(1));

    EXPECT_EQ(akb.SetBezugsrahmen(1), STORE_DONE);
    EXPECT_EQ(List(akb), (Spans{"d2 08:00-09:00 x1"}));
    EXPECT_FALSE(s.CanUndo(1));
    EXPECT_FALSE(s.CanRedo(1));
    ASSERT_EQ(s.Undo(1), STORE_REFUSED);

    // The only step is the shortened demand.
    akb.MergeDemand(Span(At(3, 8), At(3, 9), 4), true);
    akb.GetSavable().Redo(0);  // moves nowhere, reloads the current step
    EXPECT_EQ(List(akb), (Spans{"d2 08:00-09:00 x1"}));
}

TEST_F(AKBStoreTest, ARefusedSaveOfTheShorterPeriodIsShown)
{
    akb.MergeDemand(Span(At(9, 8), At(9, 9), 2), true);
    ASSERT_EQ(akb.GetSavable().StoreStep(), STORE_DONE);
    ASSERT_EQ(FileClose(AKB), ERR_NONE);  // the table goes away under the store
    std::vector<std::string> shown;
    SetMessageHook([&](const MessageRequest& m) { shown.push_back(m.text); return 1; });
    EXPECT_EQ(akb.SetBezugsrahmen(1), STORE_REFUSED);
    SetMessageHook({});
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_EQ(akb.Count(), 0);
    EXPECT_EQ(akb.GetBezugsrahmen(), 1);
}

} // namespace

// ---- The status bar -----------------------------------------------------------------------------------

namespace {

TEST(AKBStatusTest, KeyFiguresShowTheSpanCountInTheCurrentWindow)
{
    CAKBData akb;
    akb.SetBezugsrahmen(1);
    akb.MergeDemand(Span(At(1, 22), At(2, 6), 2), true);
    HeadlessDriver driver;
    int window = 0;
    driver.Start([&] {
        WindowDesc desc;
        desc.title = "Tabellen-Inspektor";
        desc.statusZones = 1;
        window = WindowCreate(desc);
        WindowOpen(window);
        CAKBInfo info;
        akb.ComputeInfo(info);
        while (WindowAccept(window)) {
        }
    });
    EXPECT_EQ(driver.Property(window, 0, Prop::StatusText, 1).Str(), "Anzahl Einträge im AKB: 2");
}

} // namespace
