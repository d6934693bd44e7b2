// The real program on a real X display: Xvfb at 1280 x 800 with the openbox window manager, the
// program's windows on Qt's xcb platform in this process (a process of its own, as the other app
// tests hold the offscreen platform). The window manager does what it does for a planner - the
// frame maximised and restored by a double click on its title bar - and xdotool moves the real
// mouse. Covered: the welcome window opens over the frame's middle; at this screen size every
// window opens inside the frame's area, the table inspector shows its lists' rows and no window
// covers its values, "nebeneinander" keeps every window inside the area; the worksheet's splitters drag with the real mouse; a frame restored while
// a plan is optimised leaves the worksheet laid out for its real size once the search ends, and
// maximised again it follows; behind a wizard and during a generation the worksheets' grids and
// the project tree stay drawn on the screen and another worksheet takes what is typed into it;
// after a message, a wizard and a calculation the worksheet worked in stays the active window with
// its control focused, and no other window came to the front meanwhile. Skips with a message only
// where Xvfb cannot start.
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
#include "plans/AZPData.h"
#include "plans/SBPData.h"
#include "plans/Schichttypen.h"
#include "worksheets/Arbeitsblatt.h"
#include "worksheets/ArbeitsblattWindow.h"
#include "worksheets/TabellenInspektor.h"

#include "../AppTestSupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QScreen>
#include <QWindow>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
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
        // Xvfb takes the first free display number itself and writes it to the pipe, so that two
        // test processes (of two checkouts, say) never reach for the same one.
        int fds[2];
        if (pipe(fds) == 0) {
            xvfb = Spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1280x800x24", "-nolisten",
                          "tcp"},
                         "");
            close(fds[1]);
            std::string number;
            WaitReal([&] {
                pollfd p{fds[0], POLLIN, 0};
                char c = 0;
                while (poll(&p, 1, 0) > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
                    number += c;
                return c == '\n' || !Alive(xvfb);
            });
            close(fds[0]);
            if (Alive(xvfb) && !number.empty() && number.find_first_not_of("0123456789") == std::string::npos)
                display = ":" + number;
            else
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

    // A new project from the welcome window with `count` worksheets of the sample shifts, demand
    // and rota, each opened from the project tree (its row clicked, then Enter), then "nebeneinander";
    // their windows.
    std::vector<int> ProjectWithSheetsOpen(int count)
    {
        std::vector<int> sheets;
        frame = WaitFor("Varn 4");
        const int welcome = WaitFor("Willkommen bei Varn-4");
        if (!frame || !welcome)
            return sheets;
        ClickInSight(Button(welcome, QStringLiteral("ein neues Arbeitszeitblatt anlegen")), QPoint(20, 8));
        manager = WaitFor("Projektmanager");
        if (!manager)
            return sheets;
        {
            Runtime::HostBaton b;
            for (int i = 2; i <= count; ++i)
                GlobalProjektmanager.Projekt().AddArbeitsblatt(ARBEITSBLATT_AZ);
            for (int i = 1; i <= count; ++i) {
                CArbeitsblatt& s = SheetNo(i);
                AddSampleRota(s, AddSampleShifts(s));
                for (ISavable* part : {&s.GetSchichttypen().GetSavable(), &s.GetAKB().GetSavable(),
                                       &s.GetSBP().GetSavable(), &s.GetAZP().GetSavable()})
                    part->StoreStep();
            }
            GlobalProjektmanager.PostToOwner(EventRefresh);
        }
        renderer->Settle();
        tree = renderer->View(manager)->Client()->findChild<ListView*>();
        if (!tree)
            return sheets;
        // The project's row opened with a click on its box: the information, then the worksheets.
        ClickInSight(tree->viewport(), QPoint(tree->ToViewport(TREE_INDENT / 2), tree->RowTop(0) + tree->LineHeight() / 2));
        Until(*renderer, [&] { return tree->RowCount() >= 2 + count; });
        for (int i = 1; i <= count; ++i) {
            if (i > 1) {
                Trigger(frame, FRAME_PROJECT);
                Until(*renderer, [&] { return ActiveChild() == manager; });
            }
            ClickInSight(tree->viewport(), QPoint(tree->ToViewport(3 * TREE_INDENT), tree->RowTop(1 + i) + tree->LineHeight() / 2));
            XDo({"key", "Return"});
            int win = 0;
            Until(*renderer, [&] {
                Runtime::HostBaton b;
                win = SheetNo(i).WIN;
                return win != 0 && renderer->WindowWidget(win) != nullptr;
            });
            CloseMessages();
            if (!win) {
                Picture("xvfb_worksheet_not_opened");
                return sheets;
            }
            sheets.push_back(win);
        }
        Trigger(frame, FRAME_TILE);
        return sheets;
    }
    static CArbeitsblatt& SheetNo(int i)
    {
        return *static_cast<CArbeitsblatt*>(GlobalProjektmanager.Projekt().GetArbeitsblatt(i));
    }
    ListView* List(int window, int control) { return qobject_cast<ListView*>(renderer->ControlWidget(window, control)); }
    // The window the frame's area has active (0: none).
    int ActiveChild()
    {
        QMdiSubWindow* active = Area()->activeSubWindow();
        return active ? ViewOf(active) : 0;
    }
    int ViewOf(const QWidget* top)
    {
        for (int id : WindowList())
            if (top && renderer->WindowWidget(id) == top)
                return id;
        return 0;
    }
    std::string Title(int window)
    {
        Runtime::HostBaton b;
        return window ? PropertyGet(window, 0, Prop::Text, 0).Str() : std::string("(keines)");
    }
    // A window of its own over the frame (a message, a wizard, the search's window), newest first.
    int Dialog()
    {
        Runtime::HostBaton b;
        int newest = 0;
        for (int id : WindowList()) {
            const WindowModel* m = WindowFind(id);
            QWidget* w = m && m->state == WindowState::Open ? renderer->WindowWidget(id) : nullptr;
            if (w && w->isWindow() && m->desc.kind != WindowKind::MdiFrame)
                newest = std::max(newest, id);
        }
        return newest;
    }
    // A real click at a point of a widget once its window is the active one and the widget is what
    // the screen shows there.
    void ClickInSight(QWidget* w, QPoint at)
    {
        ASSERT_NE(w, nullptr);
        ASSERT_TRUE(Until(*renderer, [&] {
            QWidget* there = At(w->mapToGlobal(at));
            return QApplication::activeWindow() == w->window() && (there == w || w->isAncestorOf(there));
        })) << "not in sight: " << w->metaObject()->className() << " of \"" << TitleOf(w) << "\"";
        ClickAt(w, at);
    }
    // Clicks a button of a window with the real mouse once the window is the active one.
    void Press(int window, const QString& text)
    {
        QAbstractButton* b = nullptr;
        ASSERT_TRUE(Until(*renderer, [&] {
            b = Button(window, text);
            return b && b->isEnabled() && QApplication::activeWindow() == b->window();
        })) << "no button \"" << text.toStdString() << "\" in \"" << Title(window) << "\"";
        ClickAt(b, b->rect().center());
    }
    // Answers the messages a piece of work ends with by their OK button, until no window of its
    // own is open and no calculation runs.
    void AnswerMessages()
    {
        int quiet = 0;
        ASSERT_TRUE(apptest::ProcessUntil([&] {
            renderer->Settle(100);
            const int dialog = Dialog();
            if (dialog && dialog != WindowTitled("Berechnung läuft...")) {
                quiet = 0;
                if (QAbstractButton* ok = Button(dialog, QStringLiteral("OK")); ok && QApplication::activeWindow() == ok->window())
                    ClickAt(ok, ok->rect().center());
                return false;
            }
            quiet = dialog ? 0 : quiet + 1;
            return quiet >= 5;
        }, apptest::kScreenWaitMs)) << "still open: \"" << Title(Dialog()) << "\"";
    }

    // ---- what the screen shows ----
    static bool Ink(QColor c) { return c.red() < 200 && c.green() < 200 && c.blue() < 200; }
    static QImage Screen() { return QGuiApplication::primaryScreen()->grabWindow(0).toImage(); }
    // What lies on the screen at a point: a window of its own over the frame, else the frame's
    // widget there (the windows inside it in their order).
    QWidget* At(QPoint global)
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != Frame() && w->isVisible() && w->frameGeometry().contains(global)) {
                QWidget* inside = w->childAt(w->mapFromGlobal(global));
                return inside ? inside : w;
            }
        return Frame()->childAt(Frame()->mapFromGlobal(global));
    }
    static std::string TitleOf(QWidget* w)
    {
        for (QWidget* p = w; p; p = p->parentWidget())
            if (auto* sub = qobject_cast<QMdiSubWindow*>(p))
                return sub->windowTitle().toStdString();
        return w ? w->window()->windowTitle().toStdString() : std::string();
    }
    // The parts of a list's rows (8-pixel squares on the screen) where the list is what the screen
    // shows, of how many, and the window over the others.
    struct Sight {
        std::vector<QRect> squares;
        int all = 0;
        std::string under;
    };
    Sight InSight(ListView* list)
    {
        Sight s;
        QWidget* view = list->viewport();
        const QPoint origin = view->mapToGlobal(QPoint(0, list->HeaderHeight()));
        for (int y = 0; y + 8 <= view->height() - list->HeaderHeight(); y += 8)
            for (int x = 0; x + 8 <= view->width(); x += 8) {
                const QRect square(origin + QPoint(x, y), QSize(8, 8));
                ++s.all;
                QWidget* at = At(square.center());
                if (at == view)
                    s.squares.push_back(square);
                else if (s.under.empty() && at)
                    s.under = TitleOf(at);
            }
        return s;
    }
    // A day cell of a plan grid that is in sight (its row and list column; false when none is):
    // where a click on it lands, in the list's viewport.
    bool DayCellInSight(ListView* list, int64_t& row, int& column, QPoint& at)
    {
        for (int shown = 1; shown < list->VisibleRows(); ++shown)
            for (int c = 2; c <= 8; ++c) {
                at = QPoint(list->ColumnLeft(c) + list->ToViewport(6), list->RowTop(shown) + list->LineHeight() / 2);
                if (list->ColumnLeft(c) >= 0 && At(list->viewport()->mapToGlobal(at)) == list->viewport()) {
                    row = list->TopRow() + 1 + shown;
                    column = c;
                    return true;
                }
            }
        return false;
    }
    static int InkIn(const QImage& screen, const std::vector<QRect>& squares)
    {
        int n = 0;
        for (const QRect& r : squares)
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x)
                    n += Ink(screen.pixelColor(x, y)) ? 1 : 0;
        return n;
    }
    struct Watched {
        const char* name;
        ListView* list;
        Sight was;                        // where it was in sight before
    };
    // Wherever a list was in sight `before` and no window of its own (the wizard, the search's
    // window) lies over it now, it is in sight still (no other window inside the frame came over
    // it) and shows about what it showed then: the rows' texts, lines and bars, greyed or not.
    void ExpectDrawn(const std::vector<Watched>& lists, const QImage& before, const std::string& when)
    {
        const QImage now = Screen();
        for (const Watched& w : lists) {
            std::vector<QRect> shown;
            int covered = 0;
            std::string under;
            for (const QRect& square : w.was.squares) {
                QWidget* at = At(square.center());
                if (at == w.list->viewport())
                    shown.push_back(square);
                else if (!at || at->window() == Frame()) {
                    ++covered;
                    under = at ? TitleOf(at) : std::string("(nichts)");
                }
            }
            EXPECT_EQ(covered, 0) << w.name << " " << when << ": " << covered << " of its " << w.was.squares.size()
                                  << " squares in sight below \"" << under << "\"";
            if (shown.size() < 10)
                continue;
            const int was = InkIn(before, shown), is = InkIn(now, shown);
            EXPECT_GT(was, 40) << w.name << ": the sample showed nothing where it is in sight " << when;
            EXPECT_GE(is * 3, was) << w.name << " " << when << " drawn empty: " << is << " dark pixels where it showed " << was;
        }
    }

    std::unique_ptr<Renderer> renderer;
    std::filesystem::path previous;
    int frame = 0, manager = 0;
    ListView* tree = nullptr;
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
    // Restored, the frame loses its bars' room on the screen (about 30 pixels at 1280 x 800).
    ASSERT_TRUE(Until(*renderer, [&] { return !Frame()->isMaximized() && client->height() < bigClient - 20; }))
        << "the window manager did not restore the frame: maximised " << Frame()->isMaximized() << ", client " << client->height() << " (was " << bigClient << ")";
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

// "Arbeitszeitplan generieren" in one of two worksheets, side by side and maximised: behind the
// wizard and while the search runs, the worksheet's grids and the project tree show their rows on
// the screen (no other window comes over them), and the other worksheet takes a shift typed into
// its plan meanwhile and shows it.
TEST_F(OnXvfb, TheGridsAndTheTreeStayDrawnBehindAWizardAndDuringAGeneration)
{
    const std::vector<int> sheets = ProjectWithSheetsOpen(2);
    ASSERT_EQ(sheets.size(), 2u);
    const int sheet = sheets[0], other = sheets[1];
    ListView* shifts = List(sheet, AB_SBP_LIST);
    ListView* plan = List(sheet, AB_AZP_LIST);
    ListView* otherPlan = List(other, AB_AZP_LIST);
    ASSERT_TRUE(shifts && plan && otherPlan && tree);

    for (bool maximised : {false, true}) {
        SCOPED_TRACE(maximised ? "maximised" : "side by side");
        std::vector<Watched> watched{{"shift demand plan", shifts, {}}, {"working-time plan", plan, {}}};
        if (maximised) {
            QWidget* top = renderer->View(sheet)->Top();
            top->showMaximized();
            ASSERT_TRUE(Until(*renderer, [&] { return top->isMaximized() && ActiveChild() == sheet; }));
        } else {
            watched.push_back({"project tree", tree, {}});
            watched.push_back({"other worksheet's plan", otherPlan, {}});
        }
        // The planner works in the worksheet's plan.
        int64_t row = 0;
        int column = 0;
        QPoint at;
        ASSERT_TRUE(DayCellInSight(plan, row, column, at)) << "no cell of the plan in sight";
        ClickAt(plan->viewport(), at);
        ASSERT_TRUE(Until(*renderer, [&] { return ActiveChild() == sheet; }));
        ASSERT_TRUE(renderer->Settle());
        const QImage before = Screen();
        for (Watched& w : watched) {
            w.was = InSight(w.list);
            ASSERT_GE(w.was.squares.size(), 20u) << w.name << " not in sight before the generation";
        }
        Picture(maximised ? "xvfb_before_generation_maximised" : "xvfb_before_generation");

        Trigger(sheet, AB_AZP_GENERIEREN);
        const int question = WaitFor("Vorhandene Einträge werden überschrieben.");
        ASSERT_NE(question, 0);
        ASSERT_NO_FATAL_FAILURE(Press(question, QStringLiteral("Fortfahren")));
        const int wizard = WaitFor("Arbeitszeitplan generieren");
        ASSERT_NE(wizard, 0);
        ASSERT_TRUE(Until(*renderer, [&] { return QApplication::activeWindow() == renderer->WindowWidget(wizard)->window(); }));
        Picture(maximised ? "xvfb_behind_the_wizard_maximised" : "xvfb_behind_the_wizard");
        ExpectDrawn(watched, before, "behind the wizard");

        FinishWizard("Arbeitszeitplan generieren");
        ASSERT_TRUE(Until(*renderer, [&] { return WindowTitled("Berechnung läuft...") != 0; }));
        for (int look = 0; look < 3; ++look) {
            apptest::ProcessUntil([] { return false; }, 400);
            ASSERT_NE(WindowTitled("Berechnung läuft..."), 0) << "the search ended early";
            ExpectDrawn(watched, before, "during the search");
        }
        Picture(maximised ? "xvfb_during_the_search_maximised" : "xvfb_during_the_search");

        if (!maximised) {
            // A shift typed into a cell of the other worksheet's plan that is in sight: the cell
            // shows it once its editor has closed.
            ASSERT_TRUE(DayCellInSight(otherPlan, row, column, at)) << "no cell of the other worksheet's plan in sight";
            const std::string typed = otherPlan->Look(row, column).text == "N" ? "F" : "N";
            const QRect cell(otherPlan->viewport()->mapToGlobal(QPoint(otherPlan->ColumnLeft(column) + 2, at.y() - otherPlan->LineHeight() / 2 + 2)),
                             QSize(otherPlan->ToViewport(20), otherPlan->LineHeight() - 4));
            const QImage cellBefore = Screen().copy(cell);
            ClickAt(otherPlan->viewport(), at);
            XDo({"type", QString::fromStdString(typed)});
            // Return once the cell's editor has come over the cell.
            ASSERT_TRUE(Until(*renderer, [&] { return At(cell.center()) != otherPlan->viewport(); })) << "no editor came";
            XDo({"key", "Return"});
            EXPECT_TRUE(Until(*renderer, [&] { return otherPlan->Look(row, column).text == typed; }))
                << "the other worksheet's cell shows \"" << otherPlan->Look(row, column).text << "\", typed " << typed;
            EXPECT_TRUE(Until(*renderer, [&] {
                const QImage now = Screen().copy(cell);
                return At(cell.center()) == otherPlan->viewport() && now != cellBefore && InkIn(now, {now.rect()}) > 10;
            })) << "the typed shift is not drawn";
            EXPECT_NE(WindowTitled("Berechnung läuft..."), 0) << "the search ended while the other worksheet was edited";
            Picture("xvfb_typed_during_the_search");
        }
        CancelSearch();
        CloseMessages();
    }
}

// After a message, a wizard cancelled and a generation, in a worksheet side by side with the
// others and maximised: the worksheet stays the active window inside the frame (no other window
// became the active one meanwhile) and its plan has the focus again.
TEST_F(OnXvfb, TheWorksheetStaysInFrontWithItsFocusAfterAMessageAWizardAndACalculation)
{
    const std::vector<int> sheets = ProjectWithSheetsOpen(1);
    ASSERT_EQ(sheets.size(), 1u);
    const int sheet = sheets[0];
    ListView* plan = List(sheet, AB_AZP_LIST);
    ASSERT_NE(plan, nullptr);
    std::vector<std::string> activated;     // every window the area made its active one
    QObject watcher;
    QObject::connect(Area(), &QMdiArea::subWindowActivated, &watcher,
                     [&](QMdiSubWindow* s) { activated.push_back(s ? s->windowTitle().toStdString() : "(keines)"); });
    const std::string title = Title(sheet);

    struct Case {
        const char* name;
        std::function<void()> run;
    };
    const Case cases[] = {
        {"a message", [&] {
             Trigger(sheet, AB_AZP_GUETEWERT);
             const int message = WaitFor("Plangütewert AZP");
             ASSERT_NE(message, 0);
             ASSERT_NO_FATAL_FAILURE(Press(message, QStringLiteral("OK")));
         }},
        {"a wizard cancelled", [&] {
             Trigger(sheet, AB_SBP_GENERIEREN);
             const int question = WaitFor("Vorhandene Einträge werden überschrieben.");
             ASSERT_NE(question, 0);
             ASSERT_NO_FATAL_FAILURE(Press(question, QStringLiteral("Fortfahren")));
             const int wizard = WaitFor("Schichtbedarfsplan generieren");
             ASSERT_NE(wizard, 0);
             ASSERT_NO_FATAL_FAILURE(Press(wizard, QStringLiteral("Abbrechen")));
         }},
        {"a generation", [&] {
             Trigger(sheet, AB_AZP_GENERIEREN);
             FinishWizard("Arbeitszeitplan generieren");
             CancelSearch();
             ASSERT_NO_FATAL_FAILURE(AnswerMessages());
         }},
    };
    for (bool maximised : {false, true}) {
        QWidget* top = renderer->View(sheet)->Top();
        if (maximised) {
            top->showMaximized();
            ASSERT_TRUE(Until(*renderer, [&] { return top->isMaximized(); }));
        }
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (maximised ? ", maximised" : ", side by side"));
            // The planner works in the plan.
            ClickAt(plan->viewport(), QPoint(plan->ColumnLeft(3) + 4, plan->RowTop(1) + plan->LineHeight() / 2));
            ASSERT_TRUE(Until(*renderer, [&] { return ActiveChild() == sheet && QApplication::focusWidget() == plan; }))
                << "active: " << Title(ActiveChild());
            activated.clear();
            ASSERT_NO_FATAL_FAILURE(c.run());
            ASSERT_NO_FATAL_FAILURE(AnswerMessages());
            for (const std::string& a : activated)
                EXPECT_EQ(a, title) << "another window became the active one meanwhile";
            EXPECT_EQ(ActiveChild(), sheet) << "the active window is \"" << Title(ActiveChild()) << "\"";
            EXPECT_EQ(top->isMaximized(), maximised);
            EXPECT_TRUE(Until(*renderer, [&] { return QApplication::focusWidget() == plan; }))
                << "the focus is on " << (QApplication::focusWidget() ? TitleOf(QApplication::focusWidget()) + " " +
                                                                            QApplication::focusWidget()->metaObject()->className()
                                                                      : std::string("nothing"));
        }
    }
}

} // namespace
