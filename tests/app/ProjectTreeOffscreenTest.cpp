// The project manager on the real renderer (offscreen): a click on a row's box opens or closes that
// row, the selected row's box as well as any other's; a worksheet opened from the tree whose window
// place was stored far off the screen comes up inside the frame.
#include "../platform/qt/QtTestSupport.h"
#include "RealProgramSupport.h"

#include "app/WindowPictures.h"
#include "core/IniFile.h"

#include <QAbstractButton>
#include <QApplication>
#include <QWindow>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <gtest/gtest.h>

// Qt's entry for a key from the window system (what Qt's own test library calls).
Q_GUI_EXPORT void qt_handleKeyEvent(QWindow* window, QEvent::Type t, int k, Qt::KeyboardModifiers mods,
                                    const QString& text = QString(), bool autorep = false, ushort count = 1);

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
    const int manager = NewProject();
    ASSERT_NE(manager, 0);
    auto* tree = renderer->View(manager)->Client()->findChild<ListView*>();
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

} // namespace
