// Lists on the real renderer (offscreen) as a planner reads them: columns, headers, row heights
// and pictures in step with the window's units and font, a field laid over a cell lands on it,
// and a list anchored to the edges of a window the user can size grows with it; made narrower,
// the window keeps the buttons on the right of its bottom row whole.
#include "QtTestSupport.h"

#include "platform/qt/ListView.h"
#include "platform/qt/Style.h"

#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace qttest;

namespace {

enum : int { LIST = 1, BESIDE, BELOW, TREE };

// Columns as the program's lists lay them out: a name, a time, a completeness picture that hides
// its text behind a wide indent, two plan columns whose titles are short words with a number.
constexpr const char* kFormat =
    "78L(2)~Tätigkeit~@s30@11L(100)|MJ@n3@27R(2)|M~Beginn~C(0)@S5@22C|M~Mo 1~@s4@34C|M~Gruppe 1~@s8@";

class Rows : public ListSource {
public:
    int64_t RowCount() override { return 6; }
    std::string Field(int64_t row, int field) override
    {
        switch (field) {
        case 1: return "Frühdienst Kasse " + std::to_string(row);
        case 2: return {};
        case 3: return "1";              // the picture of column 2
        case 4: return "06:00";
        case 5: return "F";
        case 6: return "Spät";
        default: return {};
        }
    }
};

class Tree : public ListSource {
public:
    int64_t RowCount() override { return 2; }
    std::string Field(int64_t row, int field) override
    {
        if (field == 2)
            return row == 1 ? "1" : "2";
        return row == 1 ? "Ärger mit Übergaben" : "Öffnungszeiten";
    }
};

void ListWindowMain()
{
    WindowDesc d;
    d.name = "LISTE";
    d.title = "Listen";
    d.w = 300;
    d.h = 200;
    d.resizable = true;
    d.Add(Ctl::List(kFormat).Id(LIST).At(4, 4, 292, 120));
    d.Add(Ctl::Prompt("Hinweis").Id(BESIDE).At(4, 130, 60, 10));
    d.Add(Ctl::Button("&OK").Id(BELOW).At(240, 180, 56, 14));
    d.Add(Ctl::List("80L(1)T@s40@").Id(TREE).Lines(9).At(70, 130, 120, 40));
    int win = WindowCreate(d);
    WindowOpen(win);
    ListSetSource(LIST, std::make_shared<Rows>());
    PropertySet(LIST, Prop::IconList, "~checked.ico", 1);
    ListSetSource(TREE, std::make_shared<Tree>());
    while (WindowAccept(win))
        if (EventAccepted() == BELOW)
            break;
    WindowClose(win);
}

class ListLayout : public ::testing::Test {
protected:
    void SetUp() override
    {
        App();
        renderer = std::make_unique<Renderer>();
        renderer->Start(ListWindowMain);
        ASSERT_TRUE(renderer->Settle());
        list = qobject_cast<ListView*>(renderer->ControlWidget(win, LIST));
        ASSERT_NE(list, nullptr);
    }
    void TearDown() override { renderer.reset(); }
    void Program(const std::function<void()>& f)
    {
        {
            Runtime::HostBaton b;
            WindowSetTarget(win);
            f();
            WindowSetTarget(0);
        }
        ASSERT_TRUE(renderer->Settle());
    }
    // A column's place in the viewport.
    QRect Column(int column) const
    {
        const int left = list->ColumnLeft(column);
        return {left, 0, list->ColumnLeft(column + 1) - left, list->viewport()->height()};
    }

    std::unique_ptr<Renderer> renderer;
    ListView* list = nullptr;
    const int win = 1;
};

TEST_F(ListLayout, ColumnsScaleLikeTheWindowAndTheirTitlesAndRowsFitTheFont)
{
    Screenshot(list, QStringLiteral("liste_spalten"));
    // A column of n units is as wide on the screen as any control of n units.
    EXPECT_NEAR(list->ColumnLeft(2), QtStyle::ToPixels(78), 1);
    EXPECT_NEAR(list->ColumnLeft(3) - list->ColumnLeft(2), QtStyle::ToPixels(11), 1);
    // Every title is readable in its column at the default font.
    const QFontMetrics fm(list->font());
    const char* titles[] = {"Tätigkeit", "", "Beginn", "Mo 1", "Gruppe 1"};
    for (int column = 1; column <= 5; ++column) {
        SCOPED_TRACE(titles[column - 1]);
        int right = column < 5 ? list->ColumnLeft(column + 1) : QtStyle::ToPixels(78 + 11 + 27 + 22 + 34);
        EXPECT_LE(fm.horizontalAdvance(QString::fromUtf8(titles[column - 1])) + 4, right - list->ColumnLeft(column));
    }
    // Rows and the header are tall enough for the font, a tree of low lines as well.
    auto* tree = qobject_cast<ListView*>(renderer->ControlWidget(win, TREE));
    ASSERT_NE(tree, nullptr);
    for (ListView* l : {list, tree}) {
        EXPECT_GE(l->LineHeight(), QFontMetrics(l->font()).height());
        Runtime::HostBaton b;
        WindowSetTarget(win);
        EXPECT_EQ(ListGeometryOf(l == list ? LIST : TREE).lineHeight, l->ModelLineHeight());
        WindowSetTarget(0);
    }
    EXPECT_GE(list->HeaderHeight(), fm.height());
}

TEST_F(ListLayout, APictureStandsInItsOwnColumn)
{
    const QImage shot = list->viewport()->grab().toImage();
    const QColor back = shot.pixelColor(Column(2).center().x(), list->RowTop(0) + 1);
    // Row 1: a picture inside column 2, nothing of it in column 3 before its text.
    auto drawn = [&](const QRect& r) {
        for (int x = r.left(); x <= r.right(); ++x)
            for (int y = r.top(); y <= r.bottom(); ++y)
                if (shot.pixelColor(x, y) != back)
                    return true;
        return false;
    };
    const int top = list->RowTop(0) + 1, bottom = list->RowTop(1) - 2;
    const QRect inside(Column(2).left() + 1, top, Column(2).width() - 3, bottom - top);
    const QRect after(Column(3).left() + 1, top, 4, bottom - top);
    EXPECT_TRUE(drawn(inside));
    EXPECT_FALSE(drawn(after));
}

TEST_F(ListLayout, AFieldLaidOverACellLandsOnIt)
{
    // The program places a field over row 4, column 4, from the list's place and the cell's
    // place inside it, all in units.
    Program([] {
        PropertySet(LIST, Prop::Selected, 4);
        const ListGeometry g = ListGeometryOf(LIST);
        const int x = int(PropertyGet(LIST, Prop::Xpos).Int() + PropertyGet(LIST, Prop::ColumnX, 4).Int());
        const int y = int(PropertyGet(LIST, Prop::Ypos).Int()) + g.headerHeight + 3 * g.lineHeight;
        ControlCreate(Ctl::Entry("@s4").At(x, y, int(PropertyGet(LIST, Prop::ColumnWidth, 4).Int()), g.lineHeight), 50);
    });
    QWidget* field = renderer->ControlWidget(win, 50);
    ASSERT_NE(field, nullptr);
    const QPoint at = field->mapToGlobal(QPoint(0, 0)) - list->viewport()->mapToGlobal(QPoint(0, 0));
    EXPECT_NEAR(at.x(), list->ColumnLeft(4), 3);
    EXPECT_NEAR(at.y(), list->RowTop(3), 3);
    EXPECT_NEAR(field->height(), list->RowTop(4) - list->RowTop(3), 2);
}

TEST_F(ListLayout, AnAnchoredListGrowsWithItsWindow)
{
    QWidget* top = renderer->WindowWidget(win)->window();
    QWidget* below = renderer->ControlWidget(win, BELOW);
    QWidget* beside = renderer->ControlWidget(win, BESIDE);
    const QRect listBefore = list->geometry(), belowBefore = below->geometry(), besideBefore = beside->geometry();
    top->resize(top->size() + QSize(120, 80));
    QCoreApplication::processEvents();
    ASSERT_TRUE(renderer->Settle());
    EXPECT_EQ(list->width(), listBefore.width() + 120);
    EXPECT_EQ(list->height(), listBefore.height());   // not the lowest list
    auto* tree = renderer->ControlWidget(win, TREE);
    EXPECT_EQ(tree->height(), QtStyle::ToPixels(40) + 80);
    EXPECT_EQ(below->geometry(), belowBefore.translated(0, 80));
    EXPECT_EQ(beside->geometry(), besideBefore);
    // Back to its size, the window shows its design again.
    top->resize(top->size() - QSize(120, 80));
    QCoreApplication::processEvents();
    ASSERT_TRUE(renderer->Settle());
    EXPECT_EQ(list->geometry(), listBefore);
    EXPECT_EQ(below->geometry(), belowBefore);
    Screenshot(top, QStringLiteral("liste_verankert"));
}

TEST_F(ListLayout, ANarrowerWindowKeepsTheButtonsOnTheRightWhole)
{
    QWidget* top = renderer->WindowWidget(win)->window();
    QWidget* client = renderer->View(win)->Client();
    QWidget* below = renderer->ControlWidget(win, BELOW);
    QWidget* tree = renderer->ControlWidget(win, TREE);
    const QRect belowBefore = below->geometry(), treeBefore = tree->geometry();
    const QSize designed = top->size();
    const int listMargin = client->width() - list->geometry().right();
    const struct {
        const char* what;
        int narrower;                    // pixels
    } cases[] = {
        {"a little narrower", 80},
        {"as narrow as the user can drag it", designed.width()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        top->resize(designed - QSize(c.narrower, 0));
        QCoreApplication::processEvents();
        ASSERT_TRUE(renderer->Settle());
        const int dx = top->width() - designed.width();
        ASSERT_LT(dx, 0);
        EXPECT_EQ(below->geometry(), belowBefore.translated(dx, 0));
        EXPECT_TRUE(client->rect().contains(below->geometry())) << below->geometry().x() << " in " << client->width();
        // What does not follow the edge stays whole and where it was.
        EXPECT_EQ(tree->geometry(), treeBefore);
        EXPECT_TRUE(client->rect().contains(tree->geometry()));
        // The list keeps its margin to the right edge.
        EXPECT_EQ(client->width() - list->geometry().right(), listMargin);
    }
    Screenshot(top, QStringLiteral("liste_schmal"));
}

} // namespace
