#include "platform/values/Queue.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

struct Row {
    int key = 0;
    std::string tag;
};

std::string Tags(const Queue<Row>& q)
{
    std::string s;
    for (const Row& r : q)
        s += r.tag;
    return s;
}

Queue<Row> Make(const std::vector<Row>& rows)
{
    Queue<Row> q;
    for (const Row& r : rows)
        QueueAdd(q, r);
    return q;
}

TEST(Queue, PositionsAreOneBased)
{
    Queue<Row> q = Make({{1, "a"}, {2, "b"}, {3, "c"}});
    ASSERT_EQ(QueueRecords(q), 3u);
    EXPECT_EQ(QueueGet(q, 0), nullptr);
    EXPECT_EQ(QueueGet(q, 1)->tag, "a");
    EXPECT_EQ(QueueGet(q, 3)->tag, "c");
    EXPECT_EQ(QueueGet(q, 4), nullptr);
}

TEST(Queue, AddAtPosition)
{
    struct Case { std::size_t pos; std::size_t placed; const char* tags; };
    const Case cases[] = {
        {1, 1, "xab"},   // in front
        {2, 2, "axb"},   // between
        {3, 3, "abx"},   // one past the end appends
        {9, 3, "abx"},   // far past the end appends too
        {0, 1, "xab"},   // no position 0: taken as the first
    };
    for (const Case& c : cases) {
        Queue<Row> q = Make({{1, "a"}, {2, "b"}});
        EXPECT_EQ(QueueAdd(q, Row{0, "x"}, c.pos), c.placed) << c.pos;
        EXPECT_EQ(Tags(q), c.tags) << c.pos;
    }
}

TEST(Queue, AddInKeyOrderGoesBehindEqualKeys)
{
    Queue<Row> q;
    QueueAdd(q, Row{5, "a"}, std::ranges::less{}, &Row::key);
    QueueAdd(q, Row{1, "b"}, std::ranges::less{}, &Row::key);
    QueueAdd(q, Row{5, "c"}, std::ranges::less{}, &Row::key);
    std::size_t pos = QueueAdd(q, Row{5, "d"}, std::ranges::less{}, &Row::key);
    QueueAdd(q, Row{3, "e"}, std::ranges::less{}, &Row::key);
    EXPECT_EQ(Tags(q), "beacd");
    EXPECT_EQ(pos, 4u);  // behind b, a and c
}

TEST(Queue, AddInDescendingKeyOrder)
{
    Queue<Row> q;
    for (Row r : {Row{1, "a"}, Row{3, "b"}, Row{2, "c"}, Row{3, "d"}})
        QueueAdd(q, r, std::ranges::greater{}, &Row::key);
    EXPECT_EQ(Tags(q), "bdca");
}

TEST(Queue, GetByKeyFindsTheFirstMatchAndItsPosition)
{
    Queue<Row> q = Make({{7, "a"}, {4, "b"}, {4, "c"}});
    std::size_t pos = 99;
    const Row* r = QueueGet(q, 4, &Row::key, &pos);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->tag, "b");
    EXPECT_EQ(pos, 2u);

    EXPECT_EQ(QueueGet(q, 8, &Row::key, &pos), nullptr);
    EXPECT_EQ(pos, 0u);

    const Queue<Row>& cq = q;
    EXPECT_EQ(QueueGet(cq, std::string("c"), &Row::tag)->key, 4);
}

TEST(Queue, PutAndDeleteOnlyExistingPositions)
{
    Queue<Row> q = Make({{1, "a"}, {2, "b"}, {3, "c"}});
    EXPECT_TRUE(QueuePut(q, 2, Row{9, "x"}));
    EXPECT_FALSE(QueuePut(q, 4, Row{9, "y"}));
    EXPECT_FALSE(QueuePut(q, 0, Row{9, "y"}));
    EXPECT_EQ(Tags(q), "axc");

    EXPECT_FALSE(QueueDelete(q, 0));
    EXPECT_FALSE(QueueDelete(q, 4));
    EXPECT_TRUE(QueueDelete(q, 1));
    EXPECT_EQ(Tags(q), "xc");
    EXPECT_TRUE(QueueDelete(q, 2));
    EXPECT_EQ(Tags(q), "x");

    QueueFree(q);
    EXPECT_EQ(QueueRecords(q), 0u);
    EXPECT_EQ(QueueGet(q, 1), nullptr);
}

TEST(Queue, SortIsStableAndTakesFields)
{
    Queue<Row> q = Make({{2, "a"}, {1, "b"}, {2, "c"}, {1, "d"}});
    QueueSort(q, {}, &Row::key);
    EXPECT_EQ(Tags(q), "bdac");

    QueueSort(q, std::ranges::greater{}, &Row::key);
    EXPECT_EQ(Tags(q), "acbd");

    // Two fields: key descending, then tag descending.
    QueueSort(q, std::ranges::greater{}, [](const Row& r) { return std::tie(r.key, r.tag); });
    EXPECT_EQ(Tags(q), "cadb");
}

TEST(Queue, HoldsRowsThatOnlyMove)
{
    Queue<std::unique_ptr<int>> q;
    QueueAdd(q, std::make_unique<int>(3));
    QueueAdd(q, std::make_unique<int>(1), 1);
    QueueAdd(q, std::make_unique<int>(2), std::ranges::less{}, [](const auto& p) { return *p; });
    ASSERT_EQ(QueueRecords(q), 3u);
    EXPECT_EQ(**QueueGet(q, 2), 2);
    EXPECT_TRUE(QueuePut(q, 3, std::make_unique<int>(4)));
    EXPECT_EQ(**QueueGet(q, 3), 4);
}

TEST(Queue, IntegerPositionIsNotTakenAsAComparator)
{
    Queue<long> q;
    QueueAdd(q, 10);
    QueueAdd(q, 20);
    QueueAdd(q, 15, 2);  // at position 2, not in key order by "2"
    EXPECT_EQ(*QueueGet(q, 2), 15);
}

} // namespace
