// What the planner sees of the windows behind the one he works in, on the real renderer
// (offscreen), with mouse and keys sent to the top-level window at pixel positions: the grids of a
// worksheet behind its wizard and during a generation, the project manager's tree meanwhile, an
// edit in another worksheet during the search, the markers of another worksheet while one plan is
// optimised, one evaluation inspector for two worksheets, and the window that is in front after a
// message, a wizard and a calculation.
#include "app/SampleShifts.h"
#include "core/Projektmanager.h"
#include "platform/qt/ListView.h"
#include "platform/qt/Renderer.h"
#include "platform/qt/WindowView.h"
#include "platform/ui/Window.h"
#include "plans/AKBData.h"
#include "plans/AZPData.h"
#include "plans/SBPData.h"
#include "plans/Schichttypen.h"
#include "worksheets/Arbeitsblatt.h"
#include "worksheets/ArbeitsblattWindow.h"
#include "worksheets/InspektorWindow.h"

#include "../platform/qt/QtTestSupport.h"
#include "RealProgramSupport.h"
#include "TopWindowInput.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QWindow>

#include <filesystem>
#include <functional>
#include <map>
#include <string>

using namespace apptest;

namespace {

// Texts, cell borders, the selection bar: anything a drawn row puts on the list's light ground
// (the grey text of a window below a dialog included).
bool Ink(QColor c) { return c.red() < 200 && c.green() < 200 && c.blue() < 200; }

class Painting : public RealProgramTest {
protected:
    static CArbeitsblatt* Sheet(int index)
    {
        return static_cast<CArbeitsblatt*>(GlobalProjektmanager.Projekt().GetArbeitsblatt(index));
    }

    QMainWindow* FrameWindow() const
    {
        QWidget* top = renderer->WindowWidget(frameWindow);
        return top ? qobject_cast<QMainWindow*>(top->window()) : nullptr;
    }

    static void ClickMiddle(QWidget* widget) { ClickAt(widget, widget->rect().center()); }
    // A key sent to the top-level window of a window model (a dialog) or, without one, to the
    // active top-level window.
    void Key(Qt::Key key, int window = 0)
    {
        QWidget* top = window ? renderer->WindowWidget(window) : QApplication::activeWindow();
        ASSERT_NE(top, nullptr) << "no window for the key";
        QWindow* handle = top->window()->windowHandle();
        qt_handleKeyEvent(handle, QEvent::KeyPress, key, {});
        qt_handleKeyEvent(handle, QEvent::KeyRelease, key, {});
    }

    // The pixels of a list as the screen shows them: what the window last drew, not drawn anew.
    QImage Drawn(ListView* list)
    {
        QWidget* top = list->window();
        const QPoint at = list->viewport()->mapTo(top, QPoint(0, 0));
        return top->screen()
            ->grabWindow(top->winId(), at.x(), at.y(), list->viewport()->width(), list->viewport()->height())
            .toImage();
    }
    // Ink below the header of a list: its rows.
    int RowInk(ListView* list)
    {
        const QImage image = Drawn(list);
        int n = 0;
        for (int y = list->HeaderHeight() + 1; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (Ink(image.pixelColor(x, y)))
                    ++n;
        return n;
    }

    // What the frame shows, saved beside the tests for a person to look at.
    void Shot(const QString& name)
    {
        const QString folder = QString::fromStdString(
            (std::filesystem::path(VARN_TEST_INSTALL_DIR).parent_path() / "tests" / "screens").string());
        QDir().mkpath(folder);
        if (QMainWindow* frame = FrameWindow())
            frame->screen()->grabWindow(frame->winId()).save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
    }

    ListView* List(int window, int control) { return qobject_cast<ListView*>(renderer->ControlWidget(window, control)); }

    // A new project from the welcome window with `sheets` worksheets of the sample shifts, demand
    // and rota, each opened from the project tree with a click on its row and Enter.
    void ProjectWithSheetsOpen(int sheets)
    {
        frameWindow = WindowTitled("Varn 4");
        const int welcome = WindowTitled("Willkommen bei Varn-4");
        ASSERT_TRUE(frameWindow && welcome);
        QAbstractButton* create = Button(welcome, QStringLiteral("ein neues Arbeitszeitblatt anlegen"));
        ASSERT_NE(create, nullptr);
        ClickMiddle(create);
        manager = WaitFor("Projektmanager");
        ASSERT_NE(manager, 0) << OpenTitles();
        {
            Runtime::HostBaton b;
            for (int i = 2; i <= sheets; ++i)
                ASSERT_NE(GlobalProjektmanager.Projekt().AddArbeitsblatt(ARBEITSBLATT_AZ), nullptr);
            for (int i = 1; i <= sheets; ++i) {
                CArbeitsblatt& s = *Sheet(i);
                AddSampleRota(s, AddSampleShifts(s));
                for (ISavable* part : {&s.GetSchichttypen().GetSavable(), &s.GetAKB().GetSavable(),
                                       &s.GetSBP().GetSavable(), &s.GetAZP().GetSavable()})
                    part->StoreStep();
            }
            GlobalProjektmanager.PostToOwner(EventRefresh);
        }
        ASSERT_TRUE(renderer->Settle());
        tree = renderer->View(manager)->Client()->findChild<ListView*>();
        ASSERT_NE(tree, nullptr);
        // The project's row opened with a click on its box.
        ClickAt(tree->viewport(), QPoint(tree->ToViewport(TREE_INDENT / 2), tree->RowTop(0) + tree->LineHeight() / 2));
        ASSERT_TRUE(renderer->Settle());
        for (int i = 1; i <= sheets; ++i)
            ASSERT_NO_FATAL_FAILURE(OpenSheet(i));
        CloseMessages(5000);
        ASSERT_NO_FATAL_FAILURE(Tile());
    }
    // The row of the i-th worksheet in the project tree (they are listed in their order), 0 when none.
    int64_t SheetRow(int index)
    {
        int seen = 0;
        for (int64_t row = 1; row <= tree->RowCount(); ++row)
            if (tree->Look(row, 1).text.starts_with("Arbeitszeitblatt") && ++seen == index)
                return row;
        return 0;
    }
    std::string TreeTexts()
    {
        std::string all;
        for (int64_t row = 1; row <= tree->RowCount(); ++row)
            all += "\"" + tree->Look(row, 1).text + "\" ";
        return all;
    }
    // The frame's "nebeneinander": every window inside the frame in sight.
    void Tile()
    {
        // Room for the windows side by side.
        ASSERT_TRUE(ProcessUntil([&] {
            if (FrameWindow()->size() != QSize(1800, 1200))
                FrameWindow()->resize(1800, 1200);
            return renderer->Settle(100) && FrameWindow()->size() == QSize(1800, 1200);
        }, 30000));
        Trigger(frameWindow, FRAME_TILE);
        ASSERT_TRUE(renderer->Settle());
    }
    // Opens a worksheet as the manager's "öffnen" does: its row chosen, then Enter on the tree.
    void OpenSheet(int index)
    {
        const int64_t row = SheetRow(index);
        ASSERT_GT(row, 0) << "worksheet " << index << " not in the tree: " << TreeTexts();
        {
            Runtime::HostBaton b;
            PropertySet(manager, tree->Control(), Prop::Selected, row, 0);
            Event e;
            e.code = EVENT_ALERT_KEY;
            e.control = tree->Control();
            e.window = manager;
            e.keyCode = Key::ENTER;
            EventPost(e, WindowThread(manager));
        }
        int win = 0;
        ASSERT_TRUE(ProcessUntil([&] {
            renderer->Settle(100);
            Runtime::HostBaton b;
            win = Sheet(index)->WIN;
            return win != 0 && renderer->WindowWidget(win) != nullptr;
        }, 30000)) << "worksheet " << index << " did not open: " << OpenTitles();
        sheetWindows[index] = win;
    }

    // Waits for a wizard, going on past the question whether the plan's rows may be overwritten.
    int WaitForWizard(const std::string& title)
    {
        int wizard = 0;
        ProcessUntil([&] {
            renderer->Settle(100);
            if (const int question = WindowTitled("Vorhandene Einträge werden überschrieben."))
                if (QAbstractButton* go = Button(question, QStringLiteral("Fortfahren")))
                    ClickMiddle(go);
            return (wizard = WindowTitled(title)) != 0;
        }, 30000);
        return wizard;
    }

    // The sub-window the frame's area has active, and the window view it belongs to (0: none).
    int ActiveChild()
    {
        QMainWindow* frame = FrameWindow();
        QMdiArea* area = frame ? frame->findChild<QMdiArea*>() : nullptr;
        QMdiSubWindow* active = area ? area->activeSubWindow() : nullptr;
        for (int id : WindowList())
            if (active && renderer->WindowWidget(id) == active)
                return id;
        return 0;
    }
    std::string Title(int window)
    {
        Runtime::HostBaton b;
        return window ? PropertyGet(window, 0, Prop::Text, 0).Str() : std::string("(keines)");
    }

    int manager = 0;
    ListView* tree = nullptr;
    std::map<int, int> sheetWindows;   // worksheet index -> its window
};

} // namespace

namespace {

// Behind a wizard and during the search it starts, the worksheet's grids and the project manager's
// tree keep their contents; the search goes on until it is cancelled.
TEST_F(Painting, GridsAndTreeKeepTheirContentsBehindAWizardAndDuringAGeneration)
{
    ASSERT_NO_FATAL_FAILURE(ProjectWithSheetsOpen(1));
    const int sheet = sheetWindows[1];
    ListView* shifts = List(sheet, AB_SBP_LIST);
    ListView* plan = List(sheet, AB_AZP_LIST);
    ASSERT_TRUE(shifts && plan);
    ASSERT_TRUE(renderer->Settle());
    Shot(QStringLiteral("vor_dem_assistenten"));
    const int shiftsInk = RowInk(shifts), planInk = RowInk(plan), treeInk = RowInk(tree);
    ASSERT_GT(shiftsInk, 50);
    ASSERT_GT(planInk, 50);
    ASSERT_GT(treeInk, 50);
    auto expectDrawn = [&](const char* when) {
        EXPECT_GT(RowInk(shifts), shiftsInk / 2) << "shift demand plan, " << when;
        EXPECT_GT(RowInk(plan), planInk / 2) << "working-time plan, " << when;
        EXPECT_GT(RowInk(tree), treeInk / 2) << "project tree, " << when;
    };

    Trigger(sheet, AB_AZP_GENERIEREN);
    ASSERT_NE(WaitForWizard("Arbeitszeitplan generieren"), 0) << OpenTitles();
    ASSERT_TRUE(renderer->Settle());
    Shot(QStringLiteral("hinter_dem_assistenten"));
    expectDrawn("behind the wizard");

    FinishWizard("Arbeitszeitplan generieren");
    ASSERT_TRUE(ProcessUntil([&] { return renderer->Settle(100) || WindowTitled("Berechnung läuft...") != 0; }, 30000));
    ASSERT_NE(WaitFor("Berechnung läuft...", 30000), 0);
    // Looked at again and again while the search runs.
    for (int look = 0; look < 5; ++look) {
        ProcessUntil([] { return false; }, 300);
        ASSERT_NE(WindowTitled("Berechnung läuft..."), 0) << "the search ended early";
        expectDrawn("during the search");
    }
    Shot(QStringLiteral("waehrend_der_suche"));
    CancelSearchAfter(0);
    CloseMessages();
}

} // namespace

namespace {

bool Marker(QColor c)
{
    const bool red = c.red() >= 190 && c.green() <= 110 && c.blue() <= 110;
    const bool green = c.green() >= 100 && c.green() > c.red() + 40 && c.green() > c.blue() + 30;
    return red || green;
}
// The weekly columns' grey and light orange.
bool WeekFigureBackground(QColor c)
{
    return c == QColor(0xE8, 0xE8, 0xE8) || c == QColor(0xFF, 0xC7, 0xB1);
}

int CountIn(const QImage& image, int headerHeight, const std::function<bool(QColor)>& is)
{
    int n = 0;
    for (int y = headerHeight + 1; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (is(image.pixelColor(x, y)))
                ++n;
    return n;
}

// While the plan of one worksheet is optimised, the grid of another worksheet shows no markers
// and no weekly figures; they come back when the search has ended.
TEST_F(Painting, AnotherWorksheetsGridDrawsNoMarkersWhileAPlanIsOptimised)
{
    ASSERT_NO_FATAL_FAILURE(ProjectWithSheetsOpen(2));
    const int first = sheetWindows[1], second = sheetWindows[2];
    Trigger(second, AB_BEWERTUNG_INSP_ITEM);
    ASSERT_NE(WaitFor("Bewertungs-Inspektor", 30000), 0);
    ListView* other = List(second, AB_AZP_LIST);
    ASSERT_NE(other, nullptr);
    ASSERT_TRUE(renderer->Settle());
    QImage before = Drawn(other);
    ASSERT_GT(CountIn(before, other->HeaderHeight(), Marker), 10) << "the sample rota shows no marker";

    Trigger(first, AB_AZP_OPTIMIEREN);
    FinishWizard("Arbeitszeitplan generieren");
    ASSERT_TRUE(ProcessUntil([&] {
        renderer->Settle(100);
        Runtime::HostBaton b;
        return OptimizationRunning;
    }, 30000));
    for (int look = 0; look < 3; ++look) {
        ProcessUntil([] { return false; }, 300);
        {
            Runtime::HostBaton b;
            ASSERT_TRUE(OptimizationRunning) << "the search ended early";
        }
        const QImage during = Drawn(other);
        EXPECT_EQ(CountIn(during, other->HeaderHeight(), Marker), 0) << "markers while optimising";
        EXPECT_EQ(CountIn(during, other->HeaderHeight(), WeekFigureBackground), 0) << "weekly figures while optimising";
    }
    Shot(QStringLiteral("andere_tabelle_beim_optimieren"));
    CancelSearchAfter(0);
    CloseMessages();
    ASSERT_TRUE(ProcessUntil([&] {
        renderer->Settle(100);
        return CountIn(Drawn(other), other->HeaderHeight(), Marker) > 10;
    }, 30000)) << "the markers did not come back";
}

// Two worksheets each with its evaluation inspector: only the inspector of the worksheet worked on
// shows, also after a click into the other worksheet.
TEST_F(Painting, OnlyTheEvaluationInspectorOfTheWorksheetWorkedOnShows)
{
    ASSERT_NO_FATAL_FAILURE(ProjectWithSheetsOpen(2));
    auto inspectorOf = [&](int index) -> QWidget* {
        Runtime::HostBaton b;
        for (CInspektor* i : CInspektor::OpenWindows(INSPEKTOR_BEWERTUNG))
            if (i->GetArbeitsblatt() == Sheet(index))
                return renderer->WindowWidget(i->WIN);
        return nullptr;
    };
    auto shown = [&](int index) {
        QWidget* w = inspectorOf(index);
        return w && w->isVisible();
    };
    Trigger(sheetWindows[1], AB_BEWERTUNG_INSP_ITEM);
    ASSERT_TRUE(ProcessUntil([&] { return renderer->Settle(100) && shown(1); }, 30000));
    Trigger(sheetWindows[2], AB_BEWERTUNG_INSP_ITEM);
    ASSERT_TRUE(ProcessUntil([&] { return renderer->Settle(100) && inspectorOf(2) != nullptr; }, 30000));
    ASSERT_TRUE(renderer->Settle());
    Shot(QStringLiteral("zwei_bewertungsinspektoren"));
    EXPECT_TRUE(shown(2));
    EXPECT_FALSE(shown(1)) << "the first worksheet's inspector still shows";

    // A click into the first worksheet's plan: its inspector comes back, the other goes.
    ListView* plan = List(sheetWindows[1], AB_AZP_LIST);
    ASSERT_NE(plan, nullptr);
    ClickAt(plan->viewport(), QPoint(plan->ColumnLeft(3) + 4, plan->RowTop(0) + plan->LineHeight() / 2));
    renderer->Settle();
    Shot(QStringLiteral("zurueck_im_ersten_blatt"));
    EXPECT_TRUE(ProcessUntil([&] { return renderer->Settle(100) && shown(1) && !shown(2); }, 30000))
        << "first shown " << shown(1) << ", second shown " << shown(2) << " hidden in the model: " << [&] {
               Runtime::HostBaton b;
               std::string t;
               for (CInspektor* i : CInspektor::OpenWindows(INSPEKTOR_BEWERTUNG))
                   t += std::to_string(PropertyGet(i->WIN, 0, Prop::Hide, 0).Int()) + " ";
               return t;
           }() << " active " << Title(ActiveChild());
}

// After a message, a wizard and a calculation the worksheet the planner works in is still the
// active window inside the frame, with the focus on the plan he worked in.
TEST_F(Painting, TheWorksheetStaysInFrontAfterAMessageAWizardAndACalculation)
{
    ASSERT_NO_FATAL_FAILURE(ProjectWithSheetsOpen(1));
    const int sheet = sheetWindows[1];
    ListView* plan = List(sheet, AB_AZP_LIST);
    ASSERT_NE(plan, nullptr);
    auto workInThePlan = [&] {
        ClickAt(plan->viewport(), QPoint(plan->ColumnLeft(3) + 4, plan->RowTop(1) + plan->LineHeight() / 2));
        ASSERT_TRUE(renderer->Settle());
        ASSERT_EQ(ActiveChild(), sheet) << Title(ActiveChild());
        ASSERT_EQ(QApplication::focusWidget(), plan);
    };
    auto expectInFront = [&](const char* after) {
        ASSERT_TRUE(ProcessUntil([&] { return renderer->Settle(100) && OpenTitles().find("\"Arbeitszeitblatt\" \"Tabellen-Inspektor\" ") != std::string::npos && !QApplication::activeModalWidget() && WindowTitled("Plangütewert AZP") == 0 && WindowTitled("Schichtbedarfsplan generieren") == 0 && WindowTitled("keinen besseren Arbeitszeitplan gefunden") == 0 && WindowTitled("Arbeitszeitplan optimiert") == 0; }, 30000))
            << "still open after " << after << ": " << OpenTitles();
        EXPECT_EQ(ActiveChild(), sheet) << "after " << after << " the active window is \"" << Title(ActiveChild()) << "\"";
        EXPECT_EQ(QApplication::focusWidget(), plan)
            << "after " << after << " the focus is on "
            << (QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className() : "nothing");
    };
    struct Case {
        const char* name;
        std::function<void()> run;
    };
    const Case cases[] = {
        {"a message", [&] {
             Trigger(sheet, AB_AZP_GUETEWERT);
             const int message = WaitFor("Plangütewert AZP", 30000);
             ASSERT_NE(message, 0) << OpenTitles();
             Key(Qt::Key_Return, message);
         }},
        {"a wizard cancelled", [&] {
             Trigger(sheet, AB_SBP_GENERIEREN);
             const int wizard = WaitForWizard("Schichtbedarfsplan generieren");
             ASSERT_NE(wizard, 0) << OpenTitles();
             Key(Qt::Key_Escape, wizard);
         }},
        {"a calculation", [&] {
             Trigger(sheet, AB_AZP_OPTIMIEREN);
             FinishWizard("Arbeitszeitplan generieren");
             CancelSearchAfter(500);
             // The search's value, then the command's result: each answered with Return.
             int answered = 0;
             ASSERT_TRUE(ProcessUntil([&] {
                 renderer->Settle(100);
                 for (const char* title : {"Plangütewert AZP", "Arbeitszeitplan optimiert",
                                           "keinen besseren Arbeitszeitplan gefunden"})
                     if (const int message = WindowTitled(title); message && renderer->WindowWidget(message)) {
                         Key(Qt::Key_Return, message);
                         ++answered;
                         renderer->Settle(100);
                     }
                 return answered >= 2 && WindowTitled("Berechnung läuft...") == 0;
             }, 60000)) << OpenTitles();
         }},
    };
    for (const Case& c : cases) {
        ASSERT_NO_FATAL_FAILURE(workInThePlan());
        ASSERT_NO_FATAL_FAILURE(c.run());
        expectInFront(c.name);
    }
}

} // namespace

namespace {

// The weekly figures (WAZ, +/-) of the selected row of the working-time plan stay dark on their
// light grey: the list's light selected text did not show on it.
TEST_F(Painting, TheWeeklyFiguresOfTheSelectedRowStayReadable)
{
    ASSERT_NO_FATAL_FAILURE(ProjectWithSheetsOpen(1));
    const int sheet = sheetWindows[1];
    Trigger(sheet, AB_BEWERTUNG_INSP_ITEM);
    ASSERT_NE(WaitFor("Bewertungs-Inspektor", 30000), 0);
    ListView* plan = List(sheet, AB_AZP_LIST);
    ASSERT_NE(plan, nullptr);
    const int wazColumn = 9, diffColumn = 10;   // after the group and the week's seven days
    // A row with both figures, chosen with a click on its Monday.
    int64_t row = 0;
    ASSERT_TRUE(ProcessUntil([&] {
        renderer->Settle(100);
        for (int64_t r = 1; r <= std::min<int64_t>(plan->RowCount(), 4) && !row; ++r)
            if (!plan->Look(r, wazColumn).text.empty() && !plan->Look(r, diffColumn).text.empty())
                row = r;
        return row != 0;
    }, 30000)) << "no weekly figures";
    const int y = plan->RowTop(static_cast<int>(row - plan->TopRow() - 1));
    ClickAt(plan->viewport(), QPoint(plan->ColumnLeft(2) + 4, y + plan->LineHeight() / 2));
    ASSERT_TRUE(renderer->Settle());
    {
        Runtime::HostBaton b;
        ASSERT_EQ(PropertyGet(sheet, plan->Control(), Prop::Selected, 0).Int(), row);
    }
    // The cells as drawn once the row is drawn selected: the weekly grey, and how much of it
    // the figure's dark text covers.
    auto count = [&](const QImage& image, int column, bool dark) {
        const QRect cell(QPoint(plan->ColumnLeft(column) + 1, y + 1),
                         QPoint(plan->ColumnLeft(column + 1) - 2, y + plan->LineHeight() - 2));
        int n = 0;
        for (int x = cell.left(); x <= cell.right(); ++x)
            for (int yy = cell.top(); yy <= cell.bottom(); ++yy) {
                const QColor c = image.pixelColor(x, yy);
                n += dark ? c.red() < 100 && c.green() < 100 && c.blue() < 100 : c == QColor(0xE8, 0xE8, 0xE8);
            }
        return n;
    };
    QImage image;
    ASSERT_TRUE(ProcessUntil([&] {
        renderer->Settle(100);
        image = Drawn(plan);
        return count(image, wazColumn, false) > 50 && count(image, diffColumn, false) > 50;
    })) << "the weekly grey is not drawn";
    Shot(QStringLiteral("wochenwerte_der_gewaehlten_zeile"));
    for (int column : {wazColumn, diffColumn})
        EXPECT_GT(count(image, column, true), 8) << "the figure \"" << plan->Look(row, column).text << "\" does not show";
}

} // namespace

