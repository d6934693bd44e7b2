// The spreadsheet grid: cursor and selection by mouse and keys, automatic scrolling at the edge,
// colours, mouse cursor shapes, the cells it draws itself and editing a cell in place.
#include "core/Spreadsheet.h"

#include <gtest/gtest.h>

#include "platform/fw/FwEdit.h"
#include "platform/headless/HeadlessDriver.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

class TestGrid : public CSpreadsheet {
public:
    int32_t rows = 6;
    int32_t RowCount() override { return rows; }
    std::string CellText(int32_t row, int16_t column) override
    {
        return std::to_string(row) + "/" + std::to_string(column);
    }
    void CustomDraw(int32_t row, int32_t column, int32_t x, Painter& painter, int32_t height, int32_t width,
                    int32_t y) override
    {
        painter.Text(x, y, width, height, std::to_string(row) + "/" + std::to_string(column), 0);
    }
};

const std::string kEight = "40L|40L|40L|40L|40L|40L|40L|40L|";

// A window with the grid's list (200 x 120, rows of 12, no header) and a button, on thread 1.
// F2 on the list edits the current cell.
struct GridWindow {
    static inline TestGrid* grid = nullptr;
    static inline std::string format;
    static inline std::string editValue;
    static inline int editResult = 0;
    static inline int pressed = 0;   // the button's presses the loop saw
    static void Main()
    {
        WindowDesc d;
        d.title = "Raster";
        d.Add(Ctl::List(format).At(0, 0, 200, 120));
        d.Add(Ctl::Button("OK").At(0, 130, 40, 14));
        int w = WindowCreate(d);
        WindowOpen(w);
        grid->Init(1, format, false, false);
        grid->Subclass(w);
        ControlAlert(1, Key::F2);
        ControlSelect(1, 1);
        while (WindowAccept(w)) {
            grid->TakeEvent();
            if (EventCurrent() == EVENT_ACCEPTED && EventControl() == 2)
                ++pressed;
            if (EventCurrent() == EVENT_ALERT_KEY && EventControl() == 1 && EventKeyCode() == Key::F2) {
                FwEditInPlace editor;
                editResult = grid->EditCell(editor, UseVar(editValue));
            }
        }
        grid->Release();
        WindowClose(w);
    }
};

class Spreadsheet : public ::testing::Test {
protected:
    void Open(const std::string& format = kEight)
    {
        GridWindow::grid = &grid;
        GridWindow::format = format;
        GridWindow::editValue.clear();
        GridWindow::editResult = 0;
        GridWindow::pressed = 0;
        driver.Start(GridWindow::Main);
        w = driver.Window("Raster");
    }
    void TearDown() override
    {
        if (w) {
            driver.Close(w);
            driver.WaitEnd();
        }
    }
    static int X(int column) { return (column - 1) * 40 + 20; }
    static int Y(int row) { return (row - 1) * 12 + 6; }
    void Mouse(WindowMessage::Kind kind, int x, int y, int button = Key::MOUSE_LEFT, bool held = false)
    {
        WindowMessage m;
        m.kind = kind;
        m.x = x;
        m.y = y;
        m.button = button;
        m.buttonHeld = held;
        driver.Mouse(w, 1, m);
    }
    void Drag(int fromColumn, int fromRow, int toColumn, int toRow)
    {
        Mouse(WindowMessage::Kind::MouseDown, X(fromColumn), Y(fromRow));
        Mouse(WindowMessage::Kind::MouseMove, X(toColumn), Y(toRow), 0, true);
        Mouse(WindowMessage::Kind::MouseUp, X(toColumn), Y(toRow));
    }
    void RightClick(int column, int row)
    {
        Mouse(WindowMessage::Kind::MouseDown, X(column), Y(row), Key::MOUSE_RIGHT);
        Mouse(WindowMessage::Kind::MouseUp, X(column), Y(row), Key::MOUSE_RIGHT);
    }
    static std::string Text(const SpreadsheetSelection& s)
    {
        return "(" + std::to_string(s.START.SPALTE) + "," + std::to_string(s.START.ZEILE) + ")-(" +
               std::to_string(s.ENDE.SPALTE) + "," + std::to_string(s.ENDE.ZEILE) + ")";
    }
    std::string Selection(bool raw = false)
    {
        Runtime::HostBaton baton;
        return grid.HasSelection() ? Text(grid.GetSelection(raw)) : "keine";
    }
    SpreadsheetCell Cursor()
    {
        Runtime::HostBaton baton;
        return grid.GetCursor();
    }
    int64_t Prop_(Prop p, int control = 1, int index = 0) { return driver.Property(w, control, p, index).Int(); }

    TestGrid grid;
    HeadlessDriver driver;
    int w = 0;
};

TEST_F(Spreadsheet, AClickWithinFivePixelsSetsTheCursorAndSelectsNothing)
{
    Open();
    Mouse(WindowMessage::Kind::MouseDown, X(2), Y(3));
    Mouse(WindowMessage::Kind::MouseMove, X(2) + 5, Y(3) - 5, 0, true);
    Mouse(WindowMessage::Kind::MouseUp, X(2) + 5, Y(3) - 5);
    EXPECT_EQ(Cursor(), (SpreadsheetCell{2, 3}));
    EXPECT_EQ(Selection(), "keine");
    EXPECT_EQ(grid.DRAGGING, 0);
    // A paint after the click does not take the new cell for a move.
    driver.Paint(w, 1);
    EXPECT_EQ(Selection(), "keine");
}

TEST_F(Spreadsheet, DraggingSelectsARectangleThatARightClickInsideKeeps)
{
    Open();
    Drag(2, 3, 4, 1);
    EXPECT_EQ(Selection(), "(2,1)-(4,3)");
    EXPECT_EQ(Selection(true), "(2,3)-(4,1)");
    EXPECT_EQ(Cursor(), (SpreadsheetCell{4, 1}));
    struct Case {
        int column, row;
        bool inside;
    };
    const Case cases[] = {{2, 1, true}, {4, 3, true}, {3, 2, true}, {1, 2, false}, {5, 2, false}, {3, 4, false}};
    for (const auto& c : cases)
        EXPECT_EQ(grid.IsInSelection(c.column, c.row), c.inside) << c.column << "," << c.row;
    driver.Paint(w, 1);
    EXPECT_EQ(Selection(), "(2,1)-(4,3)");
    RightClick(3, 2);
    EXPECT_EQ(Selection(), "(2,1)-(4,3)");
    RightClick(6, 5);
    EXPECT_EQ(Selection(), "keine");
    // A plain click clears a selection too.
    Drag(1, 1, 2, 2);
    EXPECT_EQ(Selection(), "(1,1)-(2,2)");
    Mouse(WindowMessage::Kind::MouseDown, X(5), Y(5));
    Mouse(WindowMessage::Kind::MouseUp, X(5), Y(5));
    EXPECT_EQ(Selection(), "keine");
}

TEST_F(Spreadsheet, ShiftWithCursorKeysSelectsAndAnUnshiftedKeyClears)
{
    Open();
    driver.ChooseRow(w, 1, 1, 1);
    driver.Key(w, 1, Key::SHIFT | Key::DOWN);
    driver.Key(w, 1, Key::SHIFT | Key::DOWN);
    driver.Key(w, 1, Key::SHIFT | Key::RIGHT);
    EXPECT_EQ(Selection(true), "(1,1)-(2,3)");
    EXPECT_EQ(grid.LASTKEYCODE, Key::SHIFT | Key::RIGHT);
    driver.Key(w, 1, Key::DOWN);
    EXPECT_EQ(Selection(), "keine");
    EXPECT_EQ(Prop_(Prop::Selected), 4);
    // A new Shift selection starts where the list is now.
    driver.Key(w, 1, Key::SHIFT | Key::UP);
    EXPECT_EQ(Selection(true), "(2,4)-(2,3)");
}

TEST_F(Spreadsheet, DraggingPastTheRightEdgeScrollsOneColumnPerTickUpToTheLast)
{
    Open();
    Mouse(WindowMessage::Kind::MouseDown, X(1), Y(1));
    Mouse(WindowMessage::Kind::MouseMove, X(2), Y(1), 0, true);
    EXPECT_EQ(Prop_(Prop::Timer, 0), 0);
    Mouse(WindowMessage::Kind::MouseMove, 250, Y(1), 0, true);
    EXPECT_EQ(Prop_(Prop::Timer, 0), 15);
    driver.AdvanceTime(15);
    EXPECT_EQ(Prop_(Prop::Column), 3);
    EXPECT_EQ(Selection(), "(1,1)-(3,1)");
    for (int i = 0; i < 8; ++i)
        driver.AdvanceTime(15);
    EXPECT_EQ(Prop_(Prop::Column), 8);
    // The last column is in view.
    EXPECT_LE(Prop_(Prop::ColumnX, 1, 8) + 40, 200);
    EXPECT_GE(Prop_(Prop::ColumnX, 1, 8), 0);
    Mouse(WindowMessage::Kind::MouseUp, 250, Y(1));
    EXPECT_EQ(Prop_(Prop::Timer, 0), 0);   // the window's own timer is back
    EXPECT_EQ(Selection(), "(1,1)-(8,1)");
    EXPECT_EQ(grid.SAVEDTIMER, -1);
}

TEST_F(Spreadsheet, DraggingPastTheLeftEdgeScrollsBackToTheFirstColumn)
{
    Open();
    Mouse(WindowMessage::Kind::HScroll, 3, 0);   // columns 4 to 8 in view
    Mouse(WindowMessage::Kind::MouseDown, X(1), Y(2));
    Mouse(WindowMessage::Kind::MouseMove, X(2), Y(2), 0, true);
    EXPECT_EQ(Selection(true), "(4,2)-(5,2)");
    Mouse(WindowMessage::Kind::MouseMove, -10, Y(2), 0, true);
    for (int i = 0; i < 6; ++i)
        driver.AdvanceTime(15);
    EXPECT_EQ(Prop_(Prop::Column), 1);
    EXPECT_EQ(Prop_(Prop::HScrollPos), 0);
    Mouse(WindowMessage::Kind::MouseUp, -10, Y(2));
    EXPECT_EQ(Selection(), "(1,2)-(4,2)");
}

TEST_F(Spreadsheet, DraggingBackInsideStopsTheScrolling)
{
    Open();
    Mouse(WindowMessage::Kind::MouseDown, X(1), Y(2));
    Mouse(WindowMessage::Kind::MouseMove, X(1), Y(4), 0, true);
    Mouse(WindowMessage::Kind::MouseMove, X(1), 130, 0, true);
    driver.AdvanceTime(15);
    EXPECT_EQ(Prop_(Prop::Selected), 5);
    Mouse(WindowMessage::Kind::MouseMove, X(1), Y(5), 0, true);
    EXPECT_EQ(Prop_(Prop::Timer, 0), 0);
    driver.AdvanceTime(30);
    EXPECT_EQ(Prop_(Prop::Selected), 5);
    Mouse(WindowMessage::Kind::MouseUp, X(1), Y(5));
    EXPECT_EQ(Selection(), "(1,2)-(1,5)");
}

TEST_F(Spreadsheet, CursorAndSelectionColours)
{
    Open();
    struct Case {
        SpreadsheetCell cursor;
        bool focus, always;
        int mode;
        int column, row, kind;
        int32_t colour;
    };
    // Selection (2,1)-(3,2).
    const Case cases[] = {
        {{2, 1}, true, false, 1, 2, 1, 1, 0},              // cursor text black
        {{2, 1}, true, false, 1, 2, 1, 2, 0xE0D2CC},       // cursor in the selection
        {{2, 1}, false, false, 1, 2, 1, 4, 0xEAEAEA},      // ... without focus light grey
        {{2, 1}, false, true, 1, 2, 1, 2, 0xE0D2CC},       // ... unless always shown
        {{5, 5}, true, false, 1, 5, 5, 2, 0xEAEAEA},       // cursor outside the selection
        {{5, 5}, false, false, 1, 5, 5, 2, 0xFFFFFF},      // ... without focus white
        {{5, 5}, true, false, 1, 3, 2, 3, 0xFFFFFF},       // selected cell text
        {{5, 5}, true, false, 1, 3, 2, 2, 0xCAB2A9},
        {{5, 5}, false, false, 1, 3, 2, 4, 0xC0C0C0},
        {{5, 5}, false, true, 1, 3, 2, 2, 0xCAB2A9},
        {{5, 5}, true, false, 2, 3, 2, 2, -1},             // drag mode 2: no selection colours
        {{5, 5}, true, false, 0, 3, 2, 1, -1},
        {{2, 1}, true, false, 2, 2, 1, 2, 0xE0D2CC},       // the cursor keeps its colour
        {{5, 5}, true, false, 1, 6, 6, 2, -1},             // any other cell
    };
    {
        Runtime::HostBaton baton;
        grid.SetSelection({{2, 1}, {3, 2}});
    }
    for (const auto& c : cases) {
        driver.Focus(w, c.focus ? 1 : 2);
        Runtime::HostBaton baton;
        grid.SetCursor(&c.cursor);
        grid.ALWAYSSHOWCRSR = c.always;
        grid.DRAGMODE = static_cast<uint8_t>(c.mode);
        EXPECT_EQ(grid.CellColor(c.row, c.column, c.kind), c.colour)
            << c.column << "," << c.row << " kind " << c.kind << " mode " << c.mode;
    }
}

TEST_F(Spreadsheet, LogicalCellsSpanListColumnsAndRows)
{
    Open();
    {
        Runtime::HostBaton baton;
        grid.SetLayout(2, 2, 1, 1);
        grid.SetSelection({{1, 1}, {2, 1}});
        const SpreadsheetCell cursor{3, 2};
        grid.SetCursor(&cursor);
        // List column 6 and row 4 belong to cell (3, 2); list column 4 and row 2 to (2, 1).
        EXPECT_EQ(grid.CellColor(4, 6, 1), 0);
        EXPECT_EQ(grid.CellColor(2, 4, 1), 0xFFFFFF);
        EXPECT_EQ(grid.CellColor(3, 4, 1), -1);
    }
    Drag(3, 3, 5, 4);   // list cells: logical (2, 2) to (3, 2)
    EXPECT_EQ(Selection(), "(2,2)-(3,2)");
}

TEST_F(Spreadsheet, MouseCursorShapesFollowTheDragMode)
{
    Open();
    {
        Runtime::HostBaton baton;
        EXPECT_EQ(grid.CRSRSHAPES.DEFAULT[0], "spreadsheet");
        grid.SetCursorShapes({{"ruhe1", "ruhe2"}, {"zug1", "zug2"}});
    }
    auto cursor = [&] { return driver.Property(w, 1, Prop::Cursor).Str(); };
    EXPECT_EQ(cursor(), "~ruhe1.cur");
    Mouse(WindowMessage::Kind::MouseDown, X(1), Y(1));
    Mouse(WindowMessage::Kind::MouseMove, X(3), Y(1), 0, true);
    EXPECT_EQ(cursor(), "zug1_cur");
    Mouse(WindowMessage::Kind::MouseUp, X(3), Y(1));
    EXPECT_EQ(cursor(), "~ruhe1.cur");
    {
        Runtime::HostBaton baton;
        grid.SetDragMode(2);
    }
    EXPECT_EQ(cursor(), "~ruhe2.cur");
    {
        Runtime::HostBaton baton;
        grid.SetDragMode(0);
        EXPECT_EQ(grid.GetDragMode(), 0);
    }
    Drag(1, 1, 3, 2);
    EXPECT_EQ(cursor(), "~ruhe2.cur");   // mode 0 leaves the mouse cursor alone
}

TEST_F(Spreadsheet, CustomDrawDrawsTheVisibleCellsAndFollowsScrolling)
{
    Open("40L|F" + kEight.substr(4));   // column 1 fixed
    {
        Runtime::HostBaton baton;
        grid.rows = 3;
        grid.CUSTOMDRAW = 1;
    }
    driver.Paint(w, 1);
    auto texts = [&](int y) {
        std::string s;
        for (const PaintOp& op : driver.PaintOps(w, 1))
            if (op.kind == PaintOp::Kind::Text && op.y1 == y)
                s += (s.empty() ? "" : ",") + op.text + "@" + std::to_string(op.x1);
        return s;
    };
    EXPECT_EQ(texts(0), "1/1@0,1/2@40,1/3@80,1/4@120,1/5@160,1/6@200");
    EXPECT_EQ(texts(24), "3/1@0,3/2@40,3/3@80,3/4@120,3/5@160,3/6@200");
    EXPECT_EQ(texts(36), "");   // no fourth row
    Mouse(WindowMessage::Kind::HScroll, 2, 0);
    EXPECT_EQ(texts(0), "1/1@0,1/4@40,1/5@80,1/6@120,1/7@160,1/8@200");
}

TEST_F(Spreadsheet, EditCellCompletesCancelsOrMovesOn)
{
    Open();
    driver.ChooseRow(w, 1, 2, 3);
    driver.Key(w, 1, Key::F2);
    int field = static_cast<int>(Prop_(Prop::Focus, 0));
    ASSERT_NE(field, 1);
    EXPECT_EQ(Prop_(Prop::Edit, 1, 3), 1);
    driver.Type(w, field, "Neu");
    driver.Key(w, field, Key::ENTER);
    EXPECT_EQ(GridWindow::editResult, EDITCELL_COMPLETED);
    EXPECT_EQ(GridWindow::editValue, "Neu");
    EXPECT_EQ(Prop_(Prop::Column), 4);
    EXPECT_EQ(Prop_(Prop::Focus, 0), 1);
    EXPECT_EQ(Prop_(Prop::Edit, 1, 3), 0);

    driver.Key(w, 1, Key::F2);
    field = static_cast<int>(Prop_(Prop::Focus, 0));
    driver.Type(w, field, "Verworfen");
    driver.Key(w, field, Key::ESC);
    EXPECT_EQ(GridWindow::editResult, EDITCELL_CANCELLED);
    EXPECT_EQ(GridWindow::editValue, "Neu");
    EXPECT_TRUE(driver.Windows().size() == 1u);   // Escape ended the edit, not the window

    driver.Key(w, 1, Key::F2);
    field = static_cast<int>(Prop_(Prop::Focus, 0));
    driver.Key(w, field, Key::DOWN);
    EXPECT_EQ(GridWindow::editResult, EDITCELL_COMPLETED);
    EXPECT_EQ(Prop_(Prop::Selected), 3);
}

TEST_F(Spreadsheet, AnotherControlEndsTheEditKeepingTheTextAndGetsItsEventAfterwards)
{
    Open();
    driver.ChooseRow(w, 1, 2, 3);
    driver.Key(w, 1, Key::F2);
    const int field = static_cast<int>(Prop_(Prop::Focus, 0));
    driver.Type(w, field, "Neu");
    driver.Press(w, 2);
    EXPECT_EQ(GridWindow::editResult, EDITCELL_COMPLETED);
    EXPECT_EQ(GridWindow::editValue, "Neu");
    EXPECT_EQ(Prop_(Prop::Edit, 1, 3), 0);
    EXPECT_EQ(GridWindow::pressed, 1);
}

} // namespace
