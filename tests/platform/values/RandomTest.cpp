#include "platform/values/Random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <map>
#include <vector>

namespace {

std::vector<uint32_t> Draws(int n)
{
    std::vector<uint32_t> v;
    for (int i = 0; i < n; ++i)
        v.push_back(RandomNext());
    return v;
}

TEST(Random, RestartReplaysTheSameSequence)
{
    RandomRestart(12345);
    EXPECT_EQ(RandomStartValue(), 12345u);
    std::vector<uint32_t> first = Draws(50);
    int a = RandomBetween(1, 6);

    RandomRestart(12345);
    EXPECT_EQ(Draws(50), first);
    EXPECT_EQ(RandomBetween(1, 6), a);

    RandomRestart(12346);
    EXPECT_NE(Draws(50), first);
}

TEST(Random, BetweenStaysInTheClosedRangeAndReachesBothEnds)
{
    struct Case { int32_t low, high; };
    const Case cases[] = {{1, 6}, {0, 1}, {-3, 3}, {6, 1}, {INT32_MAX - 2, INT32_MAX}, {INT32_MIN, INT32_MIN + 2}};
    RandomRestart(7);
    for (const Case& c : cases) {
        int32_t lo = std::min(c.low, c.high), hi = std::max(c.low, c.high);
        std::map<int32_t, int> seen;
        for (int i = 0; i < 2000; ++i) {
            int32_t r = RandomBetween(c.low, c.high);
            ASSERT_GE(r, lo) << c.low << ".." << c.high;
            ASSERT_LE(r, hi) << c.low << ".." << c.high;
            ++seen[r];
        }
        EXPECT_EQ(seen.size(), static_cast<size_t>(int64_t(hi) - lo + 1)) << c.low << ".." << c.high;
        for (auto [value, count] : seen)  // each value about 2000 / size times
            EXPECT_GT(count, 2000 / int(seen.size()) / 2) << value;
    }
}

TEST(Random, BetweenOneValueAndTheWholeRange)
{
    RandomRestart(99);
    EXPECT_EQ(RandomBetween(42, 42), 42);
    bool negative = false, positive = false;
    for (int i = 0; i < 100; ++i) {
        int32_t r = RandomBetween(INT32_MIN, INT32_MAX);
        negative |= r < 0;
        positive |= r > 0;
    }
    EXPECT_TRUE(negative && positive);
}

} // namespace
