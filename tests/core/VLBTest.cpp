// The virtual list box: what the list is told, logical cells over list rows and columns, cells
// beyond the visible width left out, and the hook on the list's messages.
#include "core/VLB.h"

#include <gtest/gtest.h>

#include "platform/headless/HeadlessDriver.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

// Cells read "row/field"; every question for a cell is noted.
class TestList : public CVLB {
public:
    int32_t rows = 4;
    std::vector<std::pair<int32_t, int16_t>> asked;
    std::vector<WindowMessage::Kind> before, after;
    bool swallow = false;

    int32_t RowCount() override { return rows; }
    std::string CellText(int32_t row, int16_t column) override
    {
        asked.emplace_back(row, column);
        return std::to_string(row) + "/" + std::to_string(column);
    }
    bool TakeWindowMessage(const WindowMessage& m) override
    {
        before.push_back(m.kind);
        return swallow;
    }
    void AfterWindowMessage(const WindowMessage& m) override { after.push_back(m.kind); }
};

TEST(VLBLayout, ListRowsAndColumnsMapOntoLogicalCells)
{
    TestList list;
    list.SetLayout(2, 2, 5, 1);
    struct Case {
        int32_t n, column, row, field;
    };
    // n as list column, list row and field: cells of 2 x 2, 5 fields per column.
    const Case cases[] = {
        {-1, 0, 0, 1}, {0, 0, 0, 1}, {1, 1, 1, 1}, {2, 1, 1, 1}, {3, 2, 2, 1},
        {5, 3, 3, 1}, {6, 3, 3, 2}, {10, 5, 5, 2}, {11, 6, 6, 3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(list.ColumnOfListColumn(c.n), c.column) << c.n;
        EXPECT_EQ(list.RowOfListRow(c.n), c.row) << c.n;
        EXPECT_EQ(list.ColumnOfField(c.n), c.field) << c.n;
    }
    // A layout of 0 would divide by zero: one list column or row per cell is the least.
    list.SetLayout(0, 0, 0, 0);
    EXPECT_EQ(list.ColumnOfListColumn(3), 3);
    EXPECT_EQ(list.RowOfListRow(3), 3);
    EXPECT_EQ(list.ColumnOfField(3), 3);
}

TEST(VLBCallback, AnswersCountsChangedFlagAndCells)
{
    TestList list;
    EXPECT_EQ(list.ListCallback(-1, 0), "4");
    EXPECT_EQ(list.ListCallback(-3, 0), "4");   // every question with column 0 is the row count
    EXPECT_EQ(list.ListCallback(1, -1), "0");
    EXPECT_EQ(list.ListCallback(1, -2), "0");
    EXPECT_EQ(list.ListCallback(1, -3), "0");
    list.SetChanged();
    EXPECT_EQ(list.ListCallback(1, -3), "1");
    EXPECT_EQ(list.ListCallback(1, -3), "0");   // telling the list clears it
    EXPECT_EQ(list.ListCallback(0, 2), "");
    EXPECT_TRUE(list.asked.empty());            // row 0 is no cell: the owner is not asked
    EXPECT_EQ(list.ListCallback(3, 2), "3/2");
    list.rows = 0;
    EXPECT_EQ(list.ListCallback(-3, 0), "0");   // a list without rows: nothing changed
}

// A window with a list of 200 x 120 pixels and a second list below it, on thread 1; `setup` binds
// the object.
struct ListWindow {
    static inline std::function<void(int window)> setup;
    static void Main()
    {
        WindowDesc d;
        d.title = "Liste";
        d.Add(Ctl::List("40L|").At(0, 0, 200, 120));
        d.Add(Ctl::List("40L|").At(0, 130, 200, 60));
        int w = WindowCreate(d);
        WindowOpen(w);
        setup(w);
        while (WindowAccept(w)) {
        }
        WindowClose(w);
    }
};

class VLBWindow : public ::testing::Test {
protected:
    void Open(std::function<void(int)> setup)
    {
        ListWindow::setup = std::move(setup);
        driver.Start(ListWindow::Main);
        w = driver.Window("Liste");
    }
    void TearDown() override
    {
        if (w) {
            driver.Close(w);
            driver.WaitEnd();
        }
    }
    void Message(WindowMessage::Kind kind, int x, int y)
    {
        WindowMessage m;
        m.kind = kind;
        m.x = x;
        m.y = y;
        driver.Mouse(w, 1, m);
    }
    std::string Cells(int64_t row, int columns)
    {
        std::string s;
        for (int c = 1; c <= columns; ++c)
            s += (c > 1 ? "," : "") + driver.Cell(w, 1, row, c);
        return s;
    }
    TestList list;
    HeadlessDriver driver;
    int w = 0;
};

TEST_F(VLBWindow, CurrentCellFollowsTheListInLogicalCells)
{
    Open([this](int window) {
        list.SetLayout(2, 2, 1, 1);
        list.Init(1, "40L|40L|40L|40L|", false, false);
        list.Subclass(window);
    });
    EXPECT_EQ(driver.RowCount(w, 1), 4);
    EXPECT_EQ(driver.Cell(w, 1, 2, 3), "2/3");
    driver.ChooseRow(w, 1, 3, 4);
    Runtime::HostBaton baton;
    EXPECT_EQ(list.CurrentRow(), 2);
    EXPECT_EQ(list.CurrentColumn(), 2);
}

// Ten columns of 40 in a list 200 wide: columns from 6 on start beyond the visible width.
TEST_F(VLBWindow, FastDrawLeavesCellsBeyondTheWidthEmptyWithoutAskingTheOwner)
{
    const std::string format = "40L|40L|40L|40L|40L|40L|40L|40L|40L|40L|";
    Open([&](int window) {
        list.Init(1, format, true, false);
        list.Subclass(window);
    });
    EXPECT_EQ(Cells(1, 10), "1/1,1/2,1/3,1/4,1/5,1/6,,,,");
    for (const auto& a : list.asked)
        EXPECT_LE(a.second, 6);
    // Column 7 keeps its decision only while nothing scrolls: three columns out, it shows.
    EXPECT_EQ(driver.Cell(w, 1, 2, 7), "");
    Message(WindowMessage::Kind::HScroll, 3, 0);
    EXPECT_EQ(driver.Cell(w, 1, 2, 7), "2/7");
    EXPECT_EQ(Cells(1, 10), "1/1,1/2,1/3,1/4,1/5,1/6,1/7,1/8,1/9,");
    Message(WindowMessage::Kind::HScroll, 0, 0);
    EXPECT_EQ(driver.Cell(w, 1, 3, 8), "");
    // Widening the list decides again, also for the column decided last.
    Message(WindowMessage::Kind::Size, 400, 120);
    EXPECT_EQ(driver.Cell(w, 1, 3, 8), "3/8");
    EXPECT_EQ(Cells(1, 10), "1/1,1/2,1/3,1/4,1/5,1/6,1/7,1/8,1/9,1/10");
}

TEST_F(VLBWindow, FixedColumnsDoNotCountAsScrolledOut)
{
    // Column 1 stays; scrolling 2 takes columns 2 and 3 out and column 7 to x 200.
    const std::string format = "40L|F40L|40L|40L|40L|40L|40L|40L|";
    Open([&](int window) {
        list.Init(1, format, true, false);
        list.Subclass(window);
    });
    EXPECT_EQ(list.FIXEDCOLUMN, 1);
    EXPECT_EQ(Cells(1, 8), "1/1,1/2,1/3,1/4,1/5,1/6,,");
    Message(WindowMessage::Kind::HScroll, 2, 0);
    EXPECT_EQ(Cells(1, 8), "1/1,1/2,1/3,1/4,1/5,1/6,1/7,1/8");
}

TEST_F(VLBWindow, HookSeesMessagesBeforeAndAfterTheListsOwnHandling)
{
    Open([this](int window) {
        list.Init(1, "40L|40L|", false, false);
        list.Subclass(window);
    });
    Message(WindowMessage::Kind::MouseDown, 10, 30);   // row 3
    using K = WindowMessage::Kind;
    EXPECT_EQ(list.before, std::vector<K>{K::MouseDown});
    EXPECT_EQ(list.after, std::vector<K>{K::MouseDown});
    EXPECT_EQ(driver.Property(w, 1, Prop::Selected).Int(), 3);
    // Handled before: the list does nothing with it, and nothing follows.
    list.swallow = true;
    Message(K::MouseDown, 10, 6);
    EXPECT_EQ(driver.Property(w, 1, Prop::Selected).Int(), 3);
    EXPECT_EQ(list.before.size(), 2u);
    EXPECT_EQ(list.after.size(), 1u);
    list.swallow = false;
    Message(K::MouseDown, 10, 6);
    EXPECT_EQ(list.after.size(), 2u);
}

TEST_F(VLBWindow, TwoObjectsOnOneListEachSeeItsMessagesOnce)
{
    TestList second;
    Open([&](int window) {
        list.Init(1, "40L|40L|", false, false);
        list.Subclass(window);
        second.Init(1, "40L|40L|", false, false);
        second.Subclass(window);
    });
    Message(WindowMessage::Kind::MouseDown, 10, 6);
    EXPECT_EQ(list.before.size(), 1u);
    EXPECT_EQ(second.before.size(), 1u);
    EXPECT_EQ(list.after.size(), 1u);
    EXPECT_EQ(second.after.size(), 1u);
    Runtime::HostBaton baton;
    second.Release();
}

// The hook that a list had before goes on working once the object lets it go.
class NotingHook : public ListHook {
public:
    int seen = 0;
    bool TakeWindowMessage(const WindowMessage&) override
    {
        ++seen;
        return false;
    }
};

TEST_F(VLBWindow, ReleaseGivesTheListItsFormerHookAndEmptiesIt)
{
    NotingHook former;
    int window = 0;
    Open([&](int win) {
        window = win;
        ListSetHook(1, &former);
        list.Init(1, "40L|40L|", false, false);
        list.Subclass(win);
    });
    Message(WindowMessage::Kind::MouseDown, 10, 30);
    EXPECT_EQ(former.seen, 1);
    EXPECT_EQ(list.before.size(), 1u);
    {
        Runtime::HostBaton baton;
        EXPECT_EQ(CVLB::FindHook(window, 1), &list);
        list.Release();
        EXPECT_EQ(CVLB::FindHook(window, 1), nullptr);
    }
    Message(WindowMessage::Kind::MouseDown, 10, 6);
    EXPECT_EQ(list.before.size(), 1u);
    EXPECT_EQ(former.seen, 2);
    EXPECT_EQ(driver.Property(w, 1, Prop::Selected).Int(), 3);   // no rows any more: nothing to choose
    EXPECT_EQ(driver.RowCount(w, 1), 0);
    EXPECT_EQ(driver.Cell(w, 1, 1, 1), "");
    Runtime::HostBaton baton;
    WindowFind(window)->Find(1)->hook = nullptr;   // `former` goes before the window does
}

TEST_F(VLBWindow, AnObjectBoundToAnotherListLeavesNoHookBehindOnTheFirst)
{
    auto moved = std::make_unique<TestList>();
    int window = 0;
    Open([&](int win) {
        window = win;
        moved->Init(1, "40L|40L|", false, false);
        moved->Subclass(win);
        moved->Init(2, "40L|", false, false);
    });
    {
        Runtime::HostBaton baton;
        moved->Release();
        EXPECT_EQ(CVLB::FindHook(window, 1), nullptr);
        moved.reset();
    }
    // The first list no longer calls the object that is gone.
    Message(WindowMessage::Kind::MouseDown, 10, 6);
    EXPECT_EQ(driver.RowCount(w, 1), 0);
}

} // namespace
