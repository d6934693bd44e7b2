// The working-time plan grid: columns per week, cell texts and colours, the weekly figures of an
// attached evaluation, wrapping the cursor between rows and the markers it paints.
#include "worksheets/AZPGrid.h"

#include "../assessment/BewertungTestSupport.h"
#include "GridWindowSupport.h"

#include "assessment/KriterienArbeitszeit.h"
#include "core/Projektmanager.h"
#include "platform/headless/HeadlessDriver.h"
#include "platform/ui/Events.h"
#include "platform/ui/Runtime.h"
#include "platform/values/Date.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace bewertungtest;

namespace {

// List field of a kind (0 text, 1-4 colours) in list column c: the head column has one field.
int Field(int column, int kind = 0) { return column == 1 ? 1 : 2 + (column - 2) * 5 + kind; }

class AZPGrid : public ::testing::Test {
protected:
    void Open(const std::vector<std::string>& rows)
    {
        letters.Set(rows);
        GridWindow::grid = &grid;
        GridWindow::plan = &letters.plan;
        driver.Start(GridWindow::Main);
        w = driver.Window("Plan");
    }
    void TearDown() override
    {
        OptimizationRunning = false;
        if (w) {
            driver.Close(w);
            driver.WaitEnd();
        }
    }
    int64_t Prop_(Prop p, int index = 0) { return driver.Property(w, 1, p, index).Int(); }
    // The text as the list shows it; a colour as the list is told it.
    std::string Cell(int64_t row, int column, int kind = 0)
    {
        if (kind == 0)
            return driver.Cell(w, 1, row, column);
        Runtime::HostBaton baton;
        return grid.ListCallback(row, Field(column, kind));
    }
    template <class F> void OnGrid(F f)
    {
        {
            Runtime::HostBaton baton;
            f();
        }
        driver.WaitIdle();
    }
    // Evaluates the plan and attaches the evaluation.
    void Attach()
    {
        OnGrid([&] {
            evaluation.Evaluate(letters.plan);
            grid.SetEvaluation(evaluation);
        });
    }

    LetterPlan letters;
    CAZPBewertung evaluation;
    CAZPGrid grid;
    HeadlessDriver driver;
    int w = 0;
};

TEST(AZPGridColumns, DayOfColumnSkipsHeadAndWeeklyColumns)
{
    const struct { int column, day; } cases[] = {
        {1, 0}, {2, 1}, {8, 7}, {9, 0}, {10, 0}, {11, 0}, {12, 8}, {18, 14}, {19, 0}, {22, 15},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CAZPGrid::DayOfColumn(c.column), c.day) << "column " << c.column;
}

TEST_F(AZPGrid, TwoWeeksGiveTwentyOneColumnsWithDayHeaders)
{
    Open({"FFFFF..SSSSS..", "NNNNN..FFFFF.."});
    EXPECT_TRUE(Prop_(Prop::ColumnExists, 21));
    EXPECT_FALSE(Prop_(Prop::ColumnExists, 22));
    EXPECT_EQ(driver.Property(w, 1, Prop::ColumnHeader, 1).Str(), "Gruppe");
    EXPECT_EQ(driver.Property(w, 1, Prop::ColumnHeader, 2).Str(), "Mo   1");
    EXPECT_EQ(driver.Property(w, 1, Prop::ColumnHeader, 18).Str(), "So   2");
    EXPECT_EQ(Prop_(Prop::ColumnColor, 21), 0xFFFFFF);
    EXPECT_EQ(Prop_(Prop::StyleFontStyle, 1), 700);
}

TEST_F(AZPGrid, WidthsFollowEvaluationZoomAndDisplayMode)
{
    Open({"FFFFF..SSSSS.."});
    EXPECT_EQ(Prop_(Prop::ColumnWidth, 9), 0);   // WAZ hidden without evaluation
    EXPECT_EQ(Prop_(Prop::ColumnWidth, 10), 0);
    Attach();
    // Wide enough for a weekly figure such as "-12,50" at the list's font.
    EXPECT_EQ(Prop_(Prop::ColumnWidth, 9), 28);
    EXPECT_EQ(Prop_(Prop::ColumnWidth, 20), 28);

    OnGrid([&] { grid.SetZoom(150); });
    EXPECT_EQ(Prop_(Prop::ColumnWidth, 2), 45);
    EXPECT_EQ(Prop_(Prop::ColumnWidth, 1), 68);
    EXPECT_EQ(Prop_(Prop::ColumnWidth, 9), 42);
    EXPECT_EQ(Prop_(Prop::FontSize), 12);
    EXPECT_EQ(Prop_(Prop::LineHeight), 30);

    OnGrid([&] {
        grid.SetZoom(100);
        grid.SetDarstellung(2);
    });
    EXPECT_EQ(Prop_(Prop::ColumnWidth, 2), 20);
    OnGrid([&] { grid.DropEvaluation(); });
    EXPECT_EQ(Prop_(Prop::ColumnWidth, 9), 0);
}

TEST_F(AZPGrid, CellsShowShortNamesAndColourNonNormalShifts)
{
    Open({"FX.....", "B.N...."});
    EXPECT_EQ(Cell(1, 1), "Gruppe 1");
    EXPECT_EQ(Cell(2, 1), "Gruppe 2");
    EXPECT_EQ(Cell(1, 2), "F");
    EXPECT_EQ(Cell(1, 3), "X");
    EXPECT_EQ(Cell(1, 3, 2), std::to_string(0xB0FFB0));   // free shift: light green
    EXPECT_EQ(Cell(2, 2, 2), std::to_string(0xB0FFB0));   // standby too
    EXPECT_NE(Cell(2, 4, 2), std::to_string(0xB0FFB0));   // a normal shift is not
    EXPECT_EQ(Cell(1, 4), "");
    // A changed cell shows its new shift type even when it was the last one looked up.
    EXPECT_EQ(Cell(1, 2), "F");
    OnGrid([&] { letters.plan.SetCell(1, 1, letters.ids.at('S')); });
    EXPECT_EQ(Cell(1, 2), "S");
    // Without evaluation the weekly columns are empty; the spacer keeps the list's colours.
    EXPECT_EQ(Cell(1, 9), "");
    EXPECT_EQ(Cell(1, 11, 2), "-1");
}

TEST_F(AZPGrid, FlexRowsShowWeeksAndShiftTimes)
{
    Open({"F......", "..S...."});
    OnGrid([&] {
        grid.SetPeriod(DateFromParts(2026, 1, 5), DateFromParts(2026, 1, 18));
        grid.SetTyp(2);
    });
    EXPECT_EQ(driver.Property(w, 1, Prop::ColumnHeader, 1).Str(), "Woche von");
    EXPECT_EQ(Cell(1, 2), "06:00-14:00");
    EXPECT_EQ(Cell(2, 1), "(2)12.01.-18.01.");
    // Wide enough for these texts at the list's font (about 40 and 53 units), in both display
    // modes, and growing with the zoom.
    EXPECT_EQ(Prop_(Prop::ColumnWidth, 1), 64);
    EXPECT_EQ(Prop_(Prop::ColumnWidth, 2), 48);
    OnGrid([&] {
        grid.SetDarstellung(2);
        grid.SetZoom(150);
    });
    EXPECT_EQ(Prop_(Prop::ColumnWidth, 1), 96);
    EXPECT_EQ(Prop_(Prop::ColumnWidth, 8), 72);
}

TEST_F(AZPGrid, WeeklyFiguresComeFromTheWeeksRecords)
{
    Open({"FFFFF..FFFFF..FFFFF..", "SSSSS..SSSSS..SSSSS.."});
    CKriteriumWAZMittel kr8;
    CKriteriumWAZGrenzen kr9;
    OnGrid([&] {
        evaluation.Evaluate(letters.plan);
        VERSTOSSINFO waz = Record(&kr8, 30);
        waz.INFO = 2430;                          // 40 h 30 min
        evaluation.AddVerstoss(28, waz);          // row 2, week 1
        VERSTOSSINFO diff = Record(&kr9, 0);
        diff.TEXT = "-90.6";                      // minutes with a fraction
        evaluation.AddVerstoss(28, diff);
        grid.SetEvaluation(evaluation);
    });
    const int wazColumn = 9, diffColumn = 10;
    EXPECT_EQ(Cell(2, wazColumn), "40,50");
    EXPECT_EQ(Cell(2, wazColumn, 2), std::to_string(0xB1C7FF));   // above the average
    EXPECT_EQ(Cell(2, wazColumn, 4), std::to_string(0xE8E8E8));
    EXPECT_EQ(Cell(2, wazColumn, 1), "-1");
    EXPECT_EQ(Cell(2, diffColumn), "-1,51");
    EXPECT_EQ(Cell(2, diffColumn, 2), std::to_string(0xE8E8E8));
    // Other weeks hold no record: grey and empty.
    EXPECT_EQ(Cell(1, wazColumn), "");
    EXPECT_EQ(Cell(1, wazColumn, 2), std::to_string(0xE8E8E8));

    OptimizationRunning = true;
    EXPECT_EQ(Cell(2, wazColumn), "");
    EXPECT_EQ(Cell(2, wazColumn, 2), "-1");
    EXPECT_EQ(Cell(2, diffColumn), "");
}

TEST_F(AZPGrid, ArrowKeysWrapBetweenRowsAndSkipWeeklyColumns)
{
    Open({"FFFFF..FFFFF..", "SSSSS..SSSSS..", "NNNNN..NNNNN.."});
    const struct {
        int column, row, key;
        int day, rowAfter;
    } cases[] = {
        {18, 3, Key::RIGHT, 1, 1},    // last Sunday of the last group -> first Monday of group 1
        {18, 1, Key::RIGHT, 1, 2},
        {2, 1, Key::LEFT, 14, 3},     // first Monday of group 1 -> last Sunday of the last group
        {2, 2, Key::LEFT, 14, 1},
        {8, 1, Key::RIGHT, 8, 1},     // Sunday of week 1 -> over the weekly columns to Monday
        {12, 1, Key::LEFT, 7, 1},
    };
    for (const auto& c : cases) {
        driver.ChooseRow(w, 1, c.row, c.column);
        driver.Key(w, 1, c.key);
        SpreadsheetCell cursor;
        {
            Runtime::HostBaton baton;
            grid.SetCursor();
            cursor = grid.GetCursor();
        }
        EXPECT_EQ(cursor.SPALTE, c.day) << "from column " << c.column << " row " << c.row;
        EXPECT_EQ(cursor.ZEILE, c.rowAfter) << "from column " << c.column << " row " << c.row;
    }
}

TEST_F(AZPGrid, PaintsMarkersOfTheCellsAndTheDragStart)
{
    Open({"FFFFF..FFFFF..", "SSSSS..SSSSS.."});
    StubKriterium stub(3);
    CKriteriumWAZGrenzen kr9;
    // The cursor rests on the drag's start cell, so a paint does not take it for a move.
    driver.ChooseRow(w, 1, 1, 6);
    driver.Paint(w, 1);
    OnGrid([&] {
        evaluation.Evaluate(letters.plan);
        evaluation.AddVerstoss(17, Record(&stub, 4));   // row 2, day 3
        evaluation.AddVerstoss(14, Record(&kr9, 60));   // row 1, week 2: outside the limits
        grid.SetEvaluation(evaluation);
        grid.SetDragMode(2);
        grid.SetSelection({{5, 1}, {5, 1}});
    });
    driver.Paint(w, 1);
    std::vector<std::string> texts;
    int icons = 0, frames = 0;
    int pen = 0, penStyle = 0;
    for (const PaintOp& op : driver.PaintOps(w, 1)) {
        if (op.kind == PaintOp::Kind::Text)
            texts.push_back(op.text);
        if (op.kind == PaintOp::Kind::Icon && op.text == "KR_WRZ_ico")
            ++icons;
        if (op.kind == PaintOp::Kind::Pen) {
            pen = op.color;
            penStyle = op.style;
        }
        if (op.kind == PaintOp::Kind::Rectangle && pen == 0xFF0000 && penStyle == 2)
            ++frames;
    }
    EXPECT_EQ(texts, std::vector<std::string>{"17:4"});
    EXPECT_EQ(icons, 1);
    EXPECT_EQ(frames, 1);

    OptimizationRunning = true;
    driver.Paint(w, 1);
    for (const PaintOp& op : driver.PaintOps(w, 1))
        EXPECT_NE(op.kind, PaintOp::Kind::Text);
}

} // namespace
