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

// A stored start value replays a search draw for draw: the numbers RandomBetween makes of the
// raw draws must stay those of the rule "repeat a draw in the short last stretch of 2^32, then
// take the remainder", worked out here in 64 bits. Spans just above 2^31 repeat about every
// second draw.
TEST(Random, BetweenKeepsItsNumbersForAStartValue)
{
    const struct {
        int32_t low, high;
    } cases[] = {{1, 6}, {1, 546}, {0, 3}, {1, 24360}, {0, INT32_MAX}, {-5, INT32_MAX - 10}, {INT32_MIN, -2}};
    for (const auto& c : cases) {
        RandomRestart(2026);
        const std::vector<uint32_t> raw = Draws(400);
        RandomRestart(2026);
        const uint64_t span = uint64_t(int64_t(c.high) - c.low) + 1;
        const uint64_t limit = (uint64_t{1} << 32) - (uint64_t{1} << 32) % span;
        std::size_t next = 0;
        for (int i = 0; i < 100 && next < raw.size(); ++i) {
            uint64_t r = raw[next++];
            while (r >= limit && next < raw.size())
                r = raw[next++];
            if (r >= limit)
                break;
            ASSERT_EQ(RandomBetween(c.low, c.high), int32_t(int64_t(c.low) + int64_t(r % span)))
                << c.low << ".." << c.high << ", draw " << i;
        }
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
