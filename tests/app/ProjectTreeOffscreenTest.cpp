// The project manager on the real renderer (offscreen): a click on a row's box opens or closes that
// row, the selected row's box as well as any other's; the box is drawn in the middle of its row
// with its sign through its middle, and a click on any of its pixels, sent to the manager's
// top-level window, opens or closes the row; a worksheet opened from the tree whose window
// place was stored far off the screen comes up inside the frame; F2 renames a row in place; the
// keyboard goes from window to window inside the frame.
#include "../platform/qt/QtTestSupport.h"
#include "RealProgramSupport.h"
#include "TopWindowInput.h"

#include "app/WindowPictures.h"
#include "core/IniFile.h"
#include "worksheets/ArbeitsblattWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QWindow>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>


using namespace apptest;

namespace {

class ProjectTree : public RealProgramTest {
protected:
    // A new project from the welcome window; its project manager.
    int NewProject()
    {
        const int welcome = WindowTitled("Willkommen bei Varn-4");
        if (!welcome)
            return 0;
        for (QAbstractButton* b : renderer->WindowWidget(welcome)->window()->findChildren<QAbstractButton*>())
            if (b->isVisible() && b->text().remove(QLatin1Char('&')) == QStringLiteral("ein neues Arbeitszeitblatt anlegen")) {
                b->click();
                break;
            }
        int manager = 0;
        ProcessUntil([&] { return renderer->Settle(100) && (manager = WindowTitled("Projektmanager")) != 0; });
        return manager;
    }
    // The tree in a new project's manager (nullptr: none).
    ListView* NewProjectsTree()
    {
        const int manager = NewProject();
        return manager ? renderer->View(manager)->Client()->findChild<ListView*>() : nullptr;
    }

    // The pixels of the tree as the window shows them.
    static QImage Drawn(ListView* tree)
    {
        QWidget* top = tree->window();
        const QPoint at = tree->viewport()->mapTo(top, QPoint(0, 0));
        return top->screen()
            ->grabWindow(top->winId(), at.x(), at.y(), tree->viewport()->width(), tree->viewport()->height())
            .toImage();
    }
    // The rows of the tree's viewport that a row takes, the last one excluded.
    static std::pair<int, int> RowSpan(ListView* tree, int64_t row)
    {
        const int shown = static_cast<int>(row - tree->TopRow() - 1);
        return {tree->RowTop(shown), tree->RowTop(shown + 1)};
    }
    // Where the box of a row at that level is drawn: what differs from the row's ground in its
    // slot (the row's focus frame on the row's edges left out). Empty when nothing is drawn there.
    static QRect DrawnBox(const QImage& image, ListView* tree, int64_t row, int level)
    {
        const auto [top, bottom] = RowSpan(tree, row);
        const int left = tree->ToViewport((level - 1) * TREE_INDENT), right = tree->ToViewport(level * TREE_INDENT);
        const QColor ground = image.pixelColor(left + 2, (top + bottom) / 2);
        QRect box;
        for (int y = top + 1; y < bottom - 1; ++y)
            for (int x = left + 2; x < right; ++x)
                if (image.pixelColor(x, y) != ground)
                    box |= QRect(x, y, 1, 1);
        return box;
    }
    // The sign inside a drawn box: the pixels within its outline that are not the box's ground.
    static QRect DrawnSign(const QImage& image, const QRect& box)
    {
        const QRect inside = box.adjusted(1, 1, -1, -1);
        const QColor ground = image.pixelColor(inside.topLeft());
        QRect sign;
        for (int y = inside.top(); y <= inside.bottom(); ++y)
            for (int x = inside.left(); x <= inside.right(); ++x)
                if (image.pixelColor(x, y) != ground)
                    sign |= QRect(x, y, 1, 1);
        return sign;
    }

    // A worksheet opened from the tree, its window place stored as given: the worksheet and its table
    // inspector lie inside the frame's area.
    void ExpectWorksheetInsideTheFrame(int manager, const char* x, const char* y)
    {
        ASSERT_NE(manager, 0);
        {
            Runtime::HostBaton b;
            GlobalIni.WriteValue("UpdateArbeitsblatt", "Maximize", "No");
            GlobalIni.WriteValue("UpdateArbeitsblatt", "XPos", x);
            GlobalIni.WriteValue("UpdateArbeitsblatt", "YPos", y);
        }
        auto* tree = renderer->View(manager)->Client()->findChild<ListView*>();
        ASSERT_NE(tree, nullptr);
        ClickTreeBox(tree, 1, 1);
        ASSERT_TRUE(renderer->Settle());
        ClickTreeBox(tree, 3, 2, 3 * TREE_INDENT);
        ASSERT_TRUE(renderer->Settle());
        qttest::Press(tree, Qt::Key_Return);
        for (const char* title : {"Arbeitszeitblatt", "Tabellen-Inspektor"}) {
            const int window = SettledWindow(*renderer, title, apptest::kScreenWaitMs);
            ASSERT_NE(window, 0) << title;
            QWidget* w = renderer->WindowWidget(window);
            while (w && !qobject_cast<QMdiSubWindow*>(w))
                w = w->parentWidget();
            auto* sub = qobject_cast<QMdiSubWindow*>(w);
            ASSERT_NE(sub, nullptr) << title;
            const QRect room(QPoint(0, 0), sub->mdiArea()->viewport()->size());
            EXPECT_TRUE(room.contains(sub->geometry())) << title << ": " << sub->x() << "," << sub->y() << " "
                << sub->width() << "x" << sub->height() << " in " << room.width() << "x" << room.height();
        }
    }
};

TEST_F(ProjectTree, TheBoxOfAnyRowTogglesIt)
{
    ListView* tree = NewProjectsTree();
    ASSERT_NE(tree, nullptr);
    auto rows = [&] {
        Runtime::HostBaton b;
        return tree->RowCount();
    };
    const int64_t closed = rows();
    // The project's row: closed, then chosen by its box and opened, then closed and opened again
    // by the box of the row that is selected now.
    for (int click = 1; click <= 3; ++click) {
        SCOPED_TRACE(click);
        ClickTreeBox(tree, 1, 1);
        ASSERT_TRUE(renderer->Settle());
        if (click % 2 == 1)
            EXPECT_GT(rows(), closed);
        else
            EXPECT_EQ(rows(), closed);
    }
    // A second click soon after the first reaches the list as a double click: on the box it
    // toggles the row all the same (it does not open the project's entry).
    const QPoint at(tree->ToViewport(TREE_INDENT / 2), tree->RowTop(static_cast<int>(1 - tree->TopRow() - 1)) + tree->LineHeight() / 2);
    QMouseEvent dbl(QEvent::MouseButtonDblClick, at, tree->viewport()->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, tree->viewport()->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(tree->viewport(), &dbl);
    QCoreApplication::sendEvent(tree->viewport(), &release);
    ASSERT_TRUE(renderer->Settle());
    EXPECT_EQ(rows(), closed);
}

// The box stands in the middle of its row with its sign through the box's middle; the middle of
// the drawn box and its corner pixels, clicked in the top-level window, each open or close the row
// (the project's row, then a worksheet's row a level deeper).
TEST_F(ProjectTree, TheDrawnBoxStandsInItsRowsMiddleAndEachOfItsPixelsTogglesTheRow)
{
    ListView* tree = NewProjectsTree();
    ASSERT_NE(tree, nullptr);
    auto rows = [&] {
        Runtime::HostBaton b;
        return tree->RowCount();
    };
    struct Case {
        int64_t row;
        int level;
    };
    for (const Case& c : {Case{1, 1}, Case{3, 2}}) {
        SCOPED_TRACE(c.row);
        // The row closed at first: each click opens or closes it in turn.
        const int64_t closed = rows();
        bool open = false;
        QRect box;
        for (const char* where : {"Mitte", "oben links", "unten rechts"}) {
            SCOPED_TRACE(where);
            QImage image;
            ASSERT_TRUE(ProcessUntil([&] {
                renderer->Settle(100);
                image = Drawn(tree);
                box = DrawnBox(image, tree, c.row, c.level);
                return box.width() >= 7 && box.height() >= 7;
            })) << "kein Kästchen gezeichnet: " << box.width() << "x" << box.height();
            const auto [top, bottom] = RowSpan(tree, c.row);
            EXPECT_LE(std::abs(2 * box.center().y() - (top + bottom - 1)), 1)
                << "Kästchen " << box.top() << ".." << box.bottom() << " in der Zeile " << top << ".." << bottom - 1;
            EXPECT_EQ(box.width(), box.height());
            // The sign: a bar across, and for a closed row one down, through the box's middle.
            const QRect sign = DrawnSign(image, box);
            EXPECT_EQ(sign.center(), box.center()) << "Zeichen " << sign.x() << "," << sign.y() << " " << sign.width() << "x"
                                                   << sign.height() << " im Kästchen " << box.x() << "," << box.y() << " "
                                                   << box.width() << "x" << box.height();
            EXPECT_EQ(sign.width() == sign.height(), !open) << sign.width() << "x" << sign.height();
            const QPoint at = std::string(where) == "Mitte" ? box.center()
                              : std::string(where) == "oben links" ? box.topLeft()
                                                                  : box.bottomRight();
            ClickAt(tree->viewport(), at);
            open = !open;
            ASSERT_TRUE(ProcessUntil([&] { return renderer->Settle(100) && (rows() > closed) == open; }))
                << (open ? "nicht geöffnet" : "nicht geschlossen");
        }
    }
}

TEST_F(ProjectTree, AWorksheetStoredOffTheScreenOpensInsideTheFrame)
{
    ExpectWorksheetInsideTheFrame(NewProject(), "3000", "2500");
}

// Without a stored place the frame's area puts the window beside the project manager, where it ran
// over the area's right edge and its inspector over the bottom.
TEST_F(ProjectTree, AWorksheetWithoutAPlaceOpensInsideTheFrame)
{
    ExpectWorksheetInsideTheFrame(NewProject(), "0", "0");
}

// Inside the frame, a worksheet's Alt+D ("Definitionspool") meets the frame's "Datei" menu letter;
// Qt called the two ambiguous and ran neither. The key of the window with the focus wins.
TEST_F(ProjectTree, AltDInAWorksheetInsideTheFrameOpensTheDefinitionsPool)
{
    ExpectWorksheetInsideTheFrame(NewProject(), "0", "0");
    const int sheet = WaitFor("Arbeitszeitblatt");
    ASSERT_NE(sheet, 0);
    renderer->View(sheet)->Activate();
    ASSERT_TRUE(renderer->Settle());
    QWindow* focus = QGuiApplication::focusWindow();
    ASSERT_NE(focus, nullptr);
    qt_handleKeyEvent(focus, QEvent::KeyPress, Qt::Key_D, Qt::AltModifier);
    qt_handleKeyEvent(focus, QEvent::KeyRelease, Qt::Key_D, Qt::AltModifier);
    const int pool = WaitFor("Definitionspool");
    ASSERT_NE(pool, 0) << OpenTitles();
    for (QAbstractButton* b : renderer->WindowWidget(pool)->window()->findChildren<QAbstractButton*>())
        if (b->isVisible() && b->text() == QStringLiteral("Abbrechen")) {
            b->click();
            break;
        }
    ProcessUntil([&] { return renderer->Settle(100) && WindowTitled("Definitionspool") == 0; });
}

// F2 on a worksheet's row, chosen with a click: the edit opens with the old name selected, so that
// typing replaces it (it was appended), and it stands where the name stands: the row's box and
// icon stay in sight beside it.
TEST_F(ProjectTree, F2SelectsTheNameToReplaceAndLeavesTheIconInSight)
{
    const int manager = NewProject();
    ASSERT_NE(manager, 0);
    auto* tree = renderer->View(manager)->Client()->findChild<ListView*>();
    ASSERT_NE(tree, nullptr);
    ClickTreeBox(tree, 1, 1);   // the project's row opened
    ASSERT_TRUE(renderer->Settle());
    int64_t row = 0;
    std::string name;
    for (int64_t r = 1; r <= tree->RowCount() && !row; ++r)
        if (tree->Look(r, 1).text.starts_with("Arbeitszeitblatt")) {
            row = r;
            name = tree->Look(r, 1).text;
        }
    ASSERT_GT(row, 0);
    QWidget* top = tree->window();
    QWindow* window = top->windowHandle();
    ASSERT_NE(window, nullptr);
    const int y = tree->RowTop(static_cast<int>(row - tree->TopRow() - 1));
    const int line = tree->LineHeight();
    // The row chosen with a click on its name, far right of its icon.
    QTest::mouseClick(window, Qt::LeftButton, {}, tree->viewport()->mapTo(top, QPoint(tree->ToViewport(4 * TREE_INDENT) + 20, y + line / 2)));
    ASSERT_TRUE(renderer->Settle());
    auto drawn = [&] {
        const QPoint at = tree->viewport()->mapTo(top, QPoint(0, y));
        return top->screen()->grabWindow(top->winId(), at.x(), at.y(), tree->viewport()->width(), line).toImage();
    };
    const QImage before = drawn();
    // Where the name starts: the first column right of the icon that the name's letters mark
    // (inside the row's focus frame).
    const int iconRight = tree->ToViewport(2 * TREE_INDENT) + 2 + std::min(16, line - 2);
    const QColor bar = before.pixelColor(iconRight, line / 2);
    int nameLeft = -1;
    for (int x = iconRight; x < before.width() && nameLeft < 0; ++x)
        for (int yy = 1; yy < line - 1; ++yy)
            if (before.pixelColor(x, yy) != bar) {
                nameLeft = x;
                break;
            }
    ASSERT_GT(nameLeft, 0);

    QTest::keyClick(window, Qt::Key_F2);
    QLineEdit* edit = nullptr;
    ASSERT_TRUE(ProcessUntil([&] {
        renderer->Settle(100);
        edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        return edit && edit->isVisible();
    })) << "no edit after F2";
    EXPECT_EQ(edit->selectedText().toStdString(), name);
    const QImage after = drawn();
    // (The row's focus frame goes with the list's focus: its edges are left out.)
    for (int x = 1; x < iconRight; ++x)
        for (int yy = 1; yy < line - 1; ++yy)
            ASSERT_EQ(after.pixelColor(x, yy), before.pixelColor(x, yy)) << "the edit covers the box or icon at " << x;
    const int editLeft = edit->mapTo(top, QPoint(0, 0)).x() - tree->viewport()->mapTo(top, QPoint(0, 0)).x();
    EXPECT_LE(editLeft, nameLeft) << "the edit starts right of the name's first letter";

    for (char ch : std::string("Plan A"))
        QTest::keyClick(window, ch);
    QTest::keyClick(window, Qt::Key_Return);
    EXPECT_TRUE(ProcessUntil([&] { return renderer->Settle(100) && tree->Look(row, 1).text == "Plan A"; }))
        << tree->Look(row, 1).text;
}

enum class In { Grid, Tree, Inspector };
struct SwitchCase {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers mods;
    In from;              // the list clicked into first
    int step;             // +1 the next window, -1 the one before
};

// Ctrl+Tab and Ctrl+F6 bring the next window inside the frame to the front, from the worksheet's
// grid (which took them as its own keys) as from the project tree and the table inspector; with
// Shift the one before. Pressed as often as there are windows, they come round to the first.
TEST_F(ProjectTree, CtrlTabAndCtrlF6GoToTheNextWindowInsideTheFrame)
{
    ExpectWorksheetInsideTheFrame(NewProject(), "0", "0");
    const int manager = WaitFor("Projektmanager"), sheet = WaitFor("Arbeitszeitblatt"),
              inspector = WaitFor("Tabellen-Inspektor");
    ASSERT_TRUE(manager && sheet && inspector);
    ListView* grid = qobject_cast<ListView*>(renderer->ControlWidget(sheet, AB_AZP_LIST));
    auto* tree = renderer->View(manager)->Client()->findChild<ListView*>();
    ListView* table = nullptr;   // a list of the inspector's page in sight
    for (ListView* l : renderer->View(inspector)->Client()->findChildren<ListView*>())
        if (l->isVisible() && !table)
            table = l;
    ASSERT_TRUE(grid && tree && table);
    QWidget* top = grid->window();
    QWindow* window = top->windowHandle();
    auto* area = top->findChild<QMdiArea*>();
    ASSERT_TRUE(window && area);
    // The windows side by side ("nebeneinander") in a frame with room for them, so that each list
    // can be clicked.
    top->resize(1800, 1200);
    ASSERT_TRUE(ProcessUntil([&] { return renderer->Settle(100) && top->size() == QSize(1800, 1200); }));
    Trigger(WindowTitled("Varn 4"), FRAME_TILE);
    std::vector<QMdiSubWindow*> order;   // the windows in sight, in the order they opened
    for (QMdiSubWindow* s : area->subWindowList(QMdiArea::CreationOrder))
        if (s->isVisible())
            order.push_back(s);
    const int n = static_cast<int>(order.size());
    ASSERT_GE(n, 3) << "the manager, the worksheet and its inspector";
    auto subOf = [](QWidget* w) {
        while (w && !qobject_cast<QMdiSubWindow*>(w))
            w = w->parentWidget();
        return static_cast<QMdiSubWindow*>(w);
    };
    auto name = [](QMdiSubWindow* s) { return s ? s->windowTitle().toStdString() : std::string("(keines)"); };
    const SwitchCase cases[] = {
        {"Ctrl+Tab from the grid", Qt::Key_Tab, Qt::ControlModifier, In::Grid, 1},
        {"Ctrl+F6 from the grid", Qt::Key_F6, Qt::ControlModifier, In::Grid, 1},
        {"Ctrl+Shift+Tab from the grid", Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, In::Grid, -1},
        {"Ctrl+Tab from the tree", Qt::Key_Tab, Qt::ControlModifier, In::Tree, 1},
        {"Ctrl+F6 from the tree", Qt::Key_F6, Qt::ControlModifier, In::Tree, 1},
        {"Ctrl+F6 from the inspector", Qt::Key_F6, Qt::ControlModifier, In::Inspector, 1},
    };
    for (const SwitchCase& c : cases) {
        SCOPED_TRACE(c.name);
        // A click into the first row of the list where it is in sight: its window is the active
        // one, the list has the focus.
        ListView* list = c.from == In::Grid ? grid : c.from == In::Tree ? tree : table;
        QPoint at(-1, -1);
        for (int x = list->ColumnLeft(c.from == In::Grid ? 2 : 1) + 4; x < list->viewport()->width() && at.x() < 0; x += 4) {
            const QPoint p = list->viewport()->mapTo(top, QPoint(x, list->RowTop(0) + list->LineHeight() / 2));
            if (top->childAt(p) == list->viewport())
                at = p;
        }
        ASSERT_GE(at.x(), 0) << "the list is covered";
        QTest::mouseClick(window, Qt::LeftButton, {}, at);
        ASSERT_TRUE(renderer->Settle());
        ASSERT_EQ(QApplication::focusWidget(), list);
        const auto first = std::find(order.begin(), order.end(), area->activeSubWindow());
        ASSERT_TRUE(first != order.end() && *first == subOf(list)) << name(area->activeSubWindow());
        for (int press = 1; press <= n; ++press) {
            QTest::keyClick(window, c.key, c.mods);
            ASSERT_TRUE(renderer->Settle());
            QMdiSubWindow* expected = order[static_cast<size_t>(((first - order.begin()) + c.step * press + n * press) % n)];
            EXPECT_EQ(name(area->activeSubWindow()), name(expected)) << "press " << press;
            // The window brought forward has the keyboard.
            EXPECT_EQ(subOf(QApplication::focusWidget()), area->activeSubWindow()) << "press " << press;
        }
    }
}

} // namespace
