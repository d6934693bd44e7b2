// The real program on a real X display: Xvfb at 1280 x 800 with the openbox window manager, the
// program's windows on Qt's xcb platform in this process (a process of its own, as the other app
// tests hold the offscreen platform). The window manager does what it does for a planner - the
// frame maximised and restored by a double click on its title bar - and xdotool moves the real
// mouse. Covered: the welcome window opens over the frame's middle; at this screen size every
// window opens inside the frame's area, the table inspector shows its lists' rows and no window
// covers its values, "nebeneinander" keeps every window inside the area; the worksheet's splitters drag with the real mouse; a frame restored while
// a plan is optimised leaves the worksheet laid out for its real size once the search ends, and
// maximised again it follows. Skips with a message only where Xvfb cannot start.
#include "app/Program.h"
#include "app/SampleShifts.h"
#include "app/WindowPictures.h"
#include "core/Frame.h"
#include "core/Projektmanager.h"
#include "core/Startup.h"
#include "core/Tree.h"
#include "platform/qt/ListView.h"
#include "platform/qt/Renderer.h"
#include "platform/qt/Style.h"
#include "platform/qt/WindowView.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"
#include "plans/AKBData.h"
#include "plans/SBPData.h"
#include "plans/Schichttypen.h"
#include "worksheets/Arbeitsblatt.h"
#include "worksheets/ArbeitsblattWindow.h"
#include "worksheets/TabellenInspektor.h"

#include "../AppTestSupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QScreen>
#include <QWindow>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

// Qt's entry for a key from the window system.
Q_GUI_EXPORT void qt_handleKeyEvent(QWindow* window, QEvent::Type t, int k, Qt::KeyboardModifiers mods,
                                    const QString& text = QString(), bool autorep = false, ushort count = 1);

namespace {

constexpr int kWaitMs = 30000;   // every wait ends when its condition holds; the limit is for a loaded machine

// ---- the display: Xvfb and openbox, ended with this process whatever happens -------------------

pid_t Spawn(const std::vector<std::string>& args, const std::string& display)
{
    const pid_t pid = fork();
    if (pid != 0)
        return pid;
    // The child dies with the test process, even when that one is killed or aborts.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (!display.empty())
        setenv("DISPLAY", display.c_str(), 1);
    const int null = open("/dev/null", O_RDWR);
    dup2(null, 1);
    dup2(null, 2);
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
}

void End(pid_t& pid)
{
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) {
            pid = 0;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    pid = 0;
}

// Whether the child still runs; one that ended is reaped and forgotten.
bool Alive(pid_t& pid)
{
    if (pid > 0 && waitpid(pid, nullptr, WNOHANG) != 0)
        pid = 0;
    return pid > 0;
}

bool WaitReal(const std::function<bool()>& done)
{
    for (int i = 0; i < kWaitMs / 100; ++i) {
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return done();
}

std::string Run(const QStringList& args)
{
    QProcess p;
    p.start(args.first(), args.mid(1));
    if (!p.waitForFinished(kWaitMs))
        p.kill();
    return p.readAllStandardOutput().toStdString();
}

class XDisplay : public ::testing::Environment {
public:
    void SetUp() override
    {
        // A free display number: another test process may take the same one at the same moment,
        // and then this Xvfb ends at once and the next number is tried.
        for (int n = 91; n < 160 && !Alive(xvfb); ++n) {
            const std::string socket = "/tmp/.X11-unix/X" + std::to_string(n);
            if (std::filesystem::exists(socket) || std::filesystem::exists("/tmp/.X" + std::to_string(n) + "-lock"))
                continue;
            display = ":" + std::to_string(n);
            xvfb = Spawn({"Xvfb", display, "-screen", "0", "1280x800x24", "-nolisten", "tcp"}, "");
            WaitReal([&] { return std::filesystem::exists(socket) || !Alive(xvfb); });
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            if (!Alive(xvfb) || !std::filesystem::exists(socket))
                End(xvfb);
        }
        if (!Alive(xvfb)) {
            why = "Xvfb did not start (is it installed?)";
            End(xvfb);
            return;
        }
        wm = Spawn({"openbox"}, display);
        setenv("DISPLAY", display.c_str(), 1);
        const bool managed = WaitReal([&] {
            QProcess p;
            p.start("xprop", {"-root", "-display", QString::fromStdString(display), "_NET_SUPPORTING_WM_CHECK"});
            return p.waitForFinished(5000) && p.readAllStandardOutput().contains("window id");
        });
        if (!managed) {
            why = "openbox did not take the display " + display;
            failed = true;
            return;
        }
        qputenv("QT_QPA_PLATFORM", "xcb");
        static int argc = 1;
        static char name[] = "app_xvfb_tests";
        static char* argv[] = {name, nullptr};
        app = new QApplication(argc, argv);
        QApplication::setQuitOnLastWindowClosed(false);
        ready = true;
    }
    void TearDown() override
    {
        delete app;
        app = nullptr;
        End(wm);
        End(xvfb);
    }
    std::string display, why;
    bool ready = false, failed = false;   // failed: Xvfb ran, but the window manager did not
    pid_t xvfb = 0, wm = 0;
    QApplication* app = nullptr;
};

XDisplay* const gDisplay = static_cast<XDisplay*>(::testing::AddGlobalTestEnvironment(new XDisplay));

// xdotool on the display.
void XDo(const QStringList& args)
{
    QStringList all{"xdotool"};
    all << args;
    Run(all);
}

bool Until(Renderer& r, const std::function<bool()>& done)
{
    return apptest::ProcessUntil([&] { return r.Settle(50) && done(); }, kWaitMs);
}

// ---- the program in a scratch program directory --------------------------------------------

class OnXvfb : public apptest::ScratchProgramDir {
protected:
    void SetUp() override
    {
        if (gDisplay->failed)
            FAIL() << gDisplay->why;
        if (!gDisplay->ready)
            GTEST_SKIP() << "no X display for the window manager's tests: " << gDisplay->why;
        ScratchProgramDir::SetUp();
        previous = std::filesystem::current_path();
        std::filesystem::current_path(dir);
        RegisterLayers();
        BeforeStart();
        renderer = std::make_unique<Renderer>();
        renderer->Start(ProgramMain);
        ASSERT_TRUE(renderer->Settle());
    }
    void TearDown() override
    {
        if (!gDisplay->ready)
            return;
        EndPictureRun(renderer);
        SetArbeitsblattFactory(nullptr);
        if (GlobalProjektmanager.Projekt().IsExpanded())
            GlobalProjektmanager.Projekt().TakeRequest(TREE_COLLAPSE, "");
        CProjektmanager::ForgetAskSave();
        std::filesystem::current_path(previous);
        ScratchProgramDir::TearDown();
    }
    virtual void BeforeStart() {}
    static CArbeitsblatt& Sheet() { return *static_cast<CArbeitsblatt*>(GlobalProjektmanager.Projekt().GetArbeitsblatt(1)); }

    int WindowTitled(const std::string& title)
    {
        Runtime::HostBaton b;
        int found = 0;
        for (int id : WindowList())
            if (const WindowModel* m = WindowFind(id); m && m->state == WindowState::Open &&
                                                       PropertyGet(id, 0, Prop::Text, 0).Str() == title)
                found = id;
        return found;
    }
    int WaitFor(const std::string& title)
    {
        int w = 0;
        apptest::ProcessUntil([&] { return renderer->Settle(100) && (w = WindowTitled(title)) != 0 && renderer->WindowWidget(w); },
                              kWaitMs);
        return w;
    }
    QAbstractButton* Button(int window, const QString& text)
    {
        QWidget* widget = window ? renderer->WindowWidget(window) : nullptr;
        if (!widget)
            return nullptr;
        for (QAbstractButton* b : widget->window()->findChildren<QAbstractButton*>())
            if (b->isVisible() && b->text().remove(QLatin1Char('&')) == text)
                return b;
        return nullptr;
    }
    // A real click (xdotool) at a point of a widget.
    void ClickAt(QWidget* w, QPoint at, int clicks = 1)
    {
        const QPoint g = w->mapToGlobal(at);
        XDo({"mousemove", "--sync", QString::number(g.x()), QString::number(g.y())});
        XDo({"click", "--repeat", QString::number(clicks), "--delay", "80", "1"});
        renderer->Settle();
    }
    void Trigger(int window, int control)
    {
        QAction* a = renderer->View(window)->ControlAction(control);
        ASSERT_NE(a, nullptr) << control;
        ASSERT_TRUE(a->isEnabled()) << control;
        a->trigger();
        renderer->Settle();
    }
    void FinishWizard(const std::string& title)
    {
        int wizard = 0;
        apptest::ProcessUntil([&] {
            renderer->Settle(100);
            if (const int question = WindowTitled("Vorhandene Einträge werden überschrieben."))
                if (QAbstractButton* go = Button(question, QStringLiteral("Fortfahren")))
                    go->click();
            return (wizard = WindowTitled(title)) != 0 && renderer->WindowWidget(wizard);
        }, kWaitMs);
        ASSERT_NE(wizard, 0) << title;
        auto* ok = qobject_cast<QAbstractButton*>(renderer->ControlWidget(wizard, NamedControl(wizard, "?BUTTONOK")));
        auto* next = qobject_cast<QAbstractButton*>(renderer->ControlWidget(wizard, NamedControl(wizard, "?BUTTONNEXT")));
        ASSERT_TRUE(ok && next);
        for (int page = 0; page < 8 && !ok->isVisible(); ++page) {
            next->click();
            renderer->Settle();
        }
        ok->click();
        renderer->Settle();
    }
    int NamedControl(int window, const std::string& name)
    {
        Runtime::HostBaton b;
        ControlModel* c = WindowFind(window)->FindByName(name);
        return c ? c->id : 0;
    }
    // The search runs until its time limit: it is cancelled after a moment, which keeps the best
    // plan found.
    void CancelSearch()
    {
        Until(*renderer, [&] { return WindowTitled("Berechnung läuft...") != 0; });
        apptest::ProcessUntil([] { return false; }, 500);
        if (const int progress = WindowTitled("Berechnung läuft..."))
            if (QAbstractButton* cancel = Button(progress, QStringLiteral("Abbrechen")))
                cancel->click();
    }
    // Closes the message windows the work ends with until none is left and no calculation runs.
    void CloseMessages()
    {
        int quiet = 0;
        apptest::ProcessUntil([&] {
            renderer->Settle(100);
            int newest = 0;
            {
                Runtime::HostBaton b;
                for (int id : WindowList()) {
                    const WindowModel* m = WindowFind(id);
                    QWidget* w = m && m->state == WindowState::Open ? renderer->WindowWidget(id) : nullptr;
                    if (w && w->isWindow() && m->desc.kind != WindowKind::MdiFrame)
                        newest = std::max(newest, id);
                }
            }
            if (newest != 0) {
                quiet = 0;
                if (newest != WindowTitled("Berechnung läuft..."))
                    renderer->WindowWidget(newest)->close();
                return false;
            }
            if (WindowTitled("Berechnung läuft...") != 0) {
                quiet = 0;
                return false;
            }
            return ++quiet >= 5;
        }, 120000);
    }

    // A new project from the welcome window with the sample shifts, its worksheet opened from the
    // project tree with Enter: the worksheet's window.
    int NewProjectWithItsSheetOpen()
    {
        frame = WaitFor("Varn 4");
        const int welcome = WaitFor("Willkommen bei Varn-4");
        if (!frame || !welcome)
            return 0;
        Button(welcome, QStringLiteral("ein neues Arbeitszeitblatt anlegen"))->click();
        renderer->Settle();
        manager = WaitFor("Projektmanager");
        if (!manager)
            return 0;
        {
            Runtime::HostBaton b;
            CArbeitsblatt& s = Sheet();
            AddSampleShifts(s);
            s.GetSchichttypen().GetSavable().StoreStep();
            s.GetAKB().GetSavable().StoreStep();
            s.GetSBP().GetSavable().StoreStep();
        }
        auto* tree = renderer->View(manager)->Client()->findChild<ListView*>();
        if (!tree)
            return 0;
        // The project's row opened with a click on its box, the worksheet's row chosen, Enter.
        ClickAt(tree->viewport(), QPoint(tree->ToViewport(TREE_INDENT / 2), tree->RowTop(0) + tree->LineHeight() / 2));
        Until(*renderer, [&] { return tree->RowCount() >= 3; });
        ClickAt(tree->viewport(), QPoint(tree->ToViewport(3 * TREE_INDENT), tree->RowTop(2) + tree->LineHeight() / 2));
        XDo({"key", "Return"});
        const int sheet = WaitFor("Arbeitszeitblatt");
        CloseMessages();
        return sheet;
    }

    // The plan's list reaches the worksheet window's bottom where the window placed it (not only
    // stretched there by the renderer): the panes are laid out for the window's size.
    bool Filled(int sheet)
    {
        QWidget* client = renderer->View(sheet)->Client();
        QWidget* list = renderer->ControlWidget(sheet, AB_AZP_LIST);
        long long placed = 0;
        {
            Runtime::HostBaton b;
            placed = PropertyGet(sheet, AB_AZP_LIST, Prop::Ypos, 0).Int() + PropertyGet(sheet, AB_AZP_LIST, Prop::Height, 0).Int();
        }
        return list->isVisible() && std::abs(list->mapTo(client, QPoint(0, list->height())).y() - client->height()) <= 8 &&
               std::abs(QtStyle::ToPixels(int(placed)) - client->height()) <= 8;
    }
    QMdiArea* Area() { return renderer->View(frame)->MdiArea(); }
    QWidget* Frame() { return renderer->View(frame)->Top(); }
    // The frame's title bar (the window manager's decoration above the frame's client).
    void DoubleClickTitleBar()
    {
        QWidget* f = Frame();
        const QRect outer = f->frameGeometry(), inner = f->geometry();
        const int y = outer.top() + std::max(2, (inner.top() - outer.top()) / 2);
        XDo({"mousemove", "--sync", QString::number(outer.center().x()), QString::number(y)});
        XDo({"click", "--repeat", "2", "--delay", "80", "1"});
    }
    // Every window inside the frame lies inside its area; the names of those that do not.
    std::string OutsideTheArea()
    {
        std::string out;
        const QRect room = Area()->viewport()->rect();
        for (QMdiSubWindow* s : Area()->subWindowList())
            if (s->isVisible() && !room.contains(s->geometry()))
                out += "\"" + s->windowTitle().toStdString() + "\" at " + Text(s->geometry()) + " ";
        return out;
    }
    static std::string Text(QRect r)
    {
        std::ostringstream s;
        s << r.x() << "," << r.y() << " " << r.width() << "x" << r.height();
        return s.str();
    }
    void Picture(const char* name)
    {
        const QString folder = QString::fromStdString(
            (std::filesystem::path(VARN_TEST_INSTALL_DIR).parent_path() / "tests" / "screens").string());
        std::filesystem::create_directories(folder.toStdString());
        QGuiApplication::primaryScreen()->grabWindow(0).save(folder + "/" + name + ".png");
    }

    std::unique_ptr<Renderer> renderer;
    std::filesystem::path previous;
    int frame = 0, manager = 0;
};

// At 1280 x 800 every window opens inside the frame's area, the worksheet leaves the table
// inspector's values in sight, the inspector's lists show their rows, and "nebeneinander" keeps
// every window inside the area.
TEST_F(OnXvfb, At1280x800EveryWindowOpensInsideTheAreaAndShowsItsValues)
{
    const int sheet = NewProjectWithItsSheetOpen();
    ASSERT_NE(sheet, 0);
    const int inspector = WaitFor("Tabellen-Inspektor");
    ASSERT_NE(inspector, 0);
    renderer->Settle();
    Picture("xvfb_opened");
    EXPECT_EQ(OutsideTheArea(), "");

    // No other window lies over the inspector's values.
    QWidget* insp = renderer->View(inspector)->Top();
    for (int id : {sheet, manager}) {
        QWidget* other = renderer->View(id)->Top();
        QWidget* value = renderer->ControlWidget(inspector, TABINSP_SHEET);
        const QRect values(value->mapTo(Area()->viewport(), QPoint(0, 0)), value->size());
        const bool above = Area()->subWindowList(QMdiArea::StackingOrder).indexOf(static_cast<QMdiSubWindow*>(other)) >
                           Area()->subWindowList(QMdiArea::StackingOrder).indexOf(static_cast<QMdiSubWindow*>(insp));
        EXPECT_FALSE(above && other->geometry().intersects(values))
            << other->windowTitle().toStdString() << " at " << Text(other->geometry()) << " over the inspector's values at "
            << Text(values);
    }

    // The lists of shifts and hours show every row (on the AZP tab, and on the SBP tab).
    for (int list : {TABINSP_AZP_SCHICHTEN, TABINSP_AZP_STUNDEN, TABINSP_SBP_SCHICHTEN, TABINSP_SBP_STUNDEN}) {
        auto* view = qobject_cast<ListView*>(renderer->ControlWidget(inspector, list));
        ASSERT_NE(view, nullptr) << list;
        EXPECT_GE(view->VisibleRows(), view->RowCount()) << "list " << list << ": " << view->RowCount() << " rows, room for "
                                                         << view->VisibleRows();
    }

    Trigger(frame, FRAME_TILE);
    EXPECT_TRUE(Until(*renderer, [&] { return OutsideTheArea().empty(); })) << OutsideTheArea();
    Picture("xvfb_tiled");
}

// Both splitters of the worksheet window drag with the real mouse, in a maximised worksheet window.
TEST_F(OnXvfb, TheSplittersDragWithTheRealMouse)
{
    const int sheet = NewProjectWithItsSheetOpen();
    ASSERT_NE(sheet, 0);
    auto height = [&](int list) { return renderer->ControlWidget(sheet, list)->height(); };
    for (bool maximised : {false, true}) {
        if (maximised) {
            renderer->View(sheet)->Top()->showMaximized();
            ASSERT_TRUE(Until(*renderer, [&] { return renderer->View(sheet)->Top()->isMaximized() && Filled(sheet); }));
        }
        for (auto [splitter, upper, lower] : {std::tuple{AB_SPLITTER_AKB, AB_AKB_LIST, AB_SBP_LIST},
                                              std::tuple{AB_SPLITTER_SBP, AB_SBP_LIST, AB_AZP_LIST}}) {
            SCOPED_TRACE(std::to_string(splitter) + (maximised ? " maximised" : " normal"));
            QWidget* s = renderer->ControlWidget(sheet, splitter);
            // In its middle, once the windows are placed.
            QPoint g;
            ASSERT_TRUE(Until(*renderer, [&] {
                g = s->mapToGlobal(s->rect().center());
                return Filled(sheet) && QApplication::widgetAt(g) == s;
            })) << "the splitter is not the widget on the screen at its place";
            const int before = height(upper), both = height(upper) + height(lower);
            XDo({"mousemove", "--sync", QString::number(g.x()), QString::number(g.y())});
            XDo({"mousedown", "1"});
            for (int dy = 10; dy <= 40; dy += 10)
                XDo({"mousemove", "--sync", QString::number(g.x()), QString::number(g.y() + dy)});
            XDo({"mouseup", "1"});
            EXPECT_TRUE(Until(*renderer, [&] { return std::abs(height(upper) - (before + 40)) <= 6; }))
                << "the list above stayed " << height(upper) << " (was " << before << ")";
            EXPECT_NEAR(height(upper) + height(lower), both, 4);
        }
    }
}

// A maximised frame restored by the window manager while a plan is optimised: when the search
// ends, the worksheet's panes fill the window as it is now, and maximised again the window follows.
TEST_F(OnXvfb, AFrameRestoredDuringTheSearchLeavesTheWorksheetLaidOutForItsSize)
{
    const int sheet = NewProjectWithItsSheetOpen();
    ASSERT_NE(sheet, 0);
    Trigger(sheet, AB_SBP_GENERIEREN);
    FinishWizard("Schichtbedarfsplan generieren");
    CloseMessages();
    Trigger(sheet, AB_AZP_GENERIEREN);
    FinishWizard("Arbeitszeitplan generieren");
    CancelSearch();
    CloseMessages();

    DoubleClickTitleBar();
    ASSERT_TRUE(Until(*renderer, [&] { return Frame()->isMaximized(); })) << "the window manager did not maximise the frame";
    QWidget* child = renderer->View(sheet)->Top();
    child->showMaximized();
    ASSERT_TRUE(Until(*renderer, [&] { return child->isMaximized(); }));
    QWidget* client = renderer->View(sheet)->Client();
    QWidget* plan = renderer->ControlWidget(sheet, AB_AZP_LIST);
    QWidget* staff = renderer->ControlWidget(sheet, AB_AKB_LIST);
    auto filled = [&] { return Filled(sheet) && std::abs(plan->height() - staff->height()) <= 6; };
    ASSERT_TRUE(Until(*renderer, filled)) << "maximised: client " << client->height() << ", plan " << plan->height()
                                          << ", staff demand " << staff->height();
    const int bigClient = client->height();

    Trigger(sheet, AB_AZP_OPTIMIEREN);
    FinishWizard("Arbeitszeitplan generieren");
    ASSERT_TRUE(Until(*renderer, [&] { return WindowTitled("Berechnung läuft...") != 0; }));
    DoubleClickTitleBar();
    ASSERT_TRUE(Until(*renderer, [&] { return !Frame()->isMaximized() && client->height() < bigClient - 40; }))
        << "the window manager did not restore the frame";
    CancelSearch();
    CloseMessages();
    Picture("xvfb_after_search");
    EXPECT_TRUE(Until(*renderer, filled)) << "client " << client->height() << ", plan " << plan->height() << " at "
                                          << plan->mapTo(client, QPoint(0, 0)).y() << ", staff demand " << staff->height();

    DoubleClickTitleBar();
    EXPECT_TRUE(Until(*renderer, [&] { return Frame()->isMaximized() && client->height() >= bigClient - 4 && filled(); }))
        << "maximised again: client " << client->height() << " (was " << bigClient << "), plan " << plan->height();
    Picture("xvfb_maximised_again");
}

// A frame with no place of its own, where the window manager would have put it: the welcome window
// opens over the frame's middle (both as the window manager shows them, title bars included).
TEST_F(OnXvfb, TheWelcomeWindowOpensOverTheFramesMiddle)
{
    frame = WaitFor("Varn 4");
    const int welcome = WaitFor("Willkommen bei Varn-4");
    ASSERT_TRUE(frame && welcome);
    QWidget* splash = renderer->WindowWidget(welcome)->window();
    auto off = [&] { return splash->frameGeometry().center() - Frame()->frameGeometry().center(); };
    EXPECT_TRUE(Until(*renderer, [&] { return std::abs(off().x()) <= 24 && std::abs(off().y()) <= 24; }))
        << "welcome " << Text(splash->frameGeometry()) << ", frame " << Text(Frame()->frameGeometry());
    EXPECT_TRUE(QGuiApplication::primaryScreen()->geometry().contains(splash->frameGeometry()))
        << "welcome " << Text(splash->frameGeometry());
    Picture("xvfb_welcome");
}

// The project manager stored wider and lower than the area holds (on a larger screen) opens inside
// the area at 1280 x 800, its close button in sight.
class OnXvfbStoredLarge : public OnXvfb {
protected:
    void BeforeStart() override
    {
        std::ofstream ini(Path("varn4.ini"));
        ini << "[Projektmanager]\nMaximize=No\nXPos=400\nYPos=300\nWidth=900\nHeight=560\n";
    }
};

TEST_F(OnXvfbStoredLarge, AProjectManagerStoredForALargerScreenOpensInsideTheArea)
{
    frame = WaitFor("Varn 4");
    const int welcome = WaitFor("Willkommen bei Varn-4");
    ASSERT_TRUE(frame && welcome);
    Button(welcome, QStringLiteral("ein neues Arbeitszeitblatt anlegen"))->click();
    manager = WaitFor("Projektmanager");
    ASSERT_NE(manager, 0);
    renderer->Settle();
    Picture("xvfb_manager_stored_large");
    EXPECT_TRUE(Until(*renderer, [&] { return OutsideTheArea().empty(); })) << OutsideTheArea();
}

} // namespace
