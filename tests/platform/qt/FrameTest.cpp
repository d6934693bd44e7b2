// The MDI frame with children on other threads, a dialog over the frame on its own thread, the
// window layer's standard actions, timers on the real clock and the shut-down through the frame.
#include "QtTestSupport.h"

#include "platform/ui/Input.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QElapsedTimer>
#include <QThread>
#include <QToolBar>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace qttest;

namespace {

enum : int { MENUBAR = 1, FENSTER, TILE, CASCADE, ARRANGE, KIND, DIALOG, TOOLS, TOOLNEW };

struct FrameSeen {
    std::vector<std::string> log;
    int timers = 0;
};
FrameSeen* fs = nullptr;

void ChildWindow(const std::string& name)
{
    WindowDesc d;
    d.title = name;
    d.kind = WindowKind::MdiChild;
    d.w = 160;
    d.h = 80;
    d.resizable = true;
    d.timer = 5;                      // every 5 hundredths, as the progress windows tick
    d.Add(Ctl::Prompt("Inhalt von " + name).At(6, 6, 120, 10));
    int win = WindowCreate(d);
    WindowOpen(win);
    while (WindowAccept(win)) {
        if (EventCurrent() == EVENT_TIMER)
            ++fs->timers;
        else if (EventCurrent() == EVENT_CLOSE_DOWN)
            fs->log.push_back(name + " schließt");
    }
    WindowClose(win);
}

void DialogWindow()
{
    WindowDesc d;
    d.title = "Einstellungen";
    d.w = 150;
    d.h = 60;
    d.Add(Ctl::Button("&OK").Id(1).At(6, 40, 50, 15).Default());
    int win = WindowCreate(d);
    WindowOpen(win);
    while (WindowAccept(win))
        if (EventAccepted() == 1)
            break;
    WindowClose(win);
    fs->log.push_back("Dialog zu");
}

void FrameMain()
{
    WindowDesc d;
    d.title = "Varn 4";
    d.kind = WindowKind::MdiFrame;
    d.wallpaper = "wallpaper.bmp";
    d.icon = "varn4.ico";
    d.Add(Ctl::Menubar().Id(MENUBAR).Add(Ctl::Menu("&Fenster").Id(FENSTER)
                                             .Add(Ctl::Item("&nebeneinander").Id(TILE).Std(StdAction::Tile))
                                             .Add(Ctl::Item("&überlappen").Id(CASCADE).Std(StdAction::Cascade))
                                             .Add(Ctl::Item("&Symbole anordnen").Id(ARRANGE).Std(StdAction::Arrange))
                                             .Add(Ctl::Item("&Kind").Id(KIND))
                                             .Add(Ctl::Item("&Dialog").Id(DIALOG))));
    d.Add(Ctl::Toolbar().Id(TOOLS).Add(Ctl::Button("").Id(TOOLNEW).Icon("neu.ico").Tip("neues Planungsprojekt")));
    int win = WindowCreate(d);
    WindowOpen(win);
    int children = 0;
    while (WindowAccept(win)) {
        if (EventAccepted() == KIND) {
            std::string name = "Kind " + std::to_string(++children);
            ThreadStart([](const std::string& p) { ChildWindow(p); }, name, 50000, name);
        } else if (EventAccepted() == DIALOG) {
            DialogWindow();
        } else if (EventCurrent() == EVENT_CLOSE_DOWN || EventCurrent() == EVENT_CLOSE_WINDOW) {
            fs->log.push_back("Rahmen schließt");
        }
    }
    WindowClose(win);
}

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        App();
        state = std::make_unique<FrameSeen>();
        fs = state.get();
        renderer = std::make_unique<Renderer>();
        renderer->Start(FrameMain);
        ASSERT_TRUE(renderer->Settle());
        frame = 1;
        ASSERT_NE(renderer->View(frame), nullptr);
    }
    void TearDown() override
    {
        renderer.reset();
        fs = nullptr;
    }
    void Menu(int item)
    {
        QAction* a = renderer->View(frame)->ControlAction(item);
        ASSERT_NE(a, nullptr);
        a->trigger();
        ASSERT_TRUE(renderer->Settle());
    }
    std::vector<int> Children()
    {
        Runtime::HostBaton b;
        std::vector<int> out;
        for (int id : WindowList())
            if (WindowModel* m = WindowFind(id); m && m->desc.kind == WindowKind::MdiChild && m->state == WindowState::Open)
                out.push_back(id);
        return out;
    }
    std::vector<std::string> Log()
    {
        Runtime::HostBaton b;
        return fs->log;
    }

    std::unique_ptr<FrameSeen> state;
    std::unique_ptr<Renderer> renderer;
    int frame = 0;
};

TEST_F(FrameTest, ChildrenOfOtherThreadsLieInTheFramesArea)
{
    Menu(KIND);
    Menu(KIND);
    std::vector<int> kids = Children();
    ASSERT_EQ(kids.size(), 2u);
    QMdiArea* area = renderer->View(frame)->MdiArea();
    ASSERT_NE(area, nullptr);
    ASSERT_EQ(area->subWindowList().size(), 2);
    for (int k : kids) {
        auto* sub = qobject_cast<QMdiSubWindow*>(renderer->WindowWidget(k));
        ASSERT_NE(sub, nullptr);
        EXPECT_EQ(sub->mdiArea(), area);
        EXPECT_TRUE(sub->windowTitle().startsWith(QStringLiteral("Kind ")));
    }
    EXPECT_FALSE(area->background().texture().isNull());   // the wallpaper
    // Tile puts the two side by side without overlap; cascade lays them over each other.
    Menu(TILE);
    QRect a = area->subWindowList()[0]->geometry(), b = area->subWindowList()[1]->geometry();
    EXPECT_FALSE(a.intersects(b));
    Menu(CASCADE);
    a = area->subWindowList()[0]->geometry();
    b = area->subWindowList()[1]->geometry();
    EXPECT_TRUE(a.intersects(b));
    EXPECT_NE(a.topLeft(), b.topLeft());
    Screenshot(renderer->WindowWidget(frame), QStringLiteral("rahmen_mit_kindern"));
}

TEST_F(FrameTest, ADialogDisablesTheOtherWindowsOfItsThread)
{
    Menu(KIND);
    Menu(DIALOG);
    int dialog = 0;
    {
        Runtime::HostBaton b;
        dialog = WindowTop(1);
    }
    ASSERT_NE(dialog, frame);
    QWidget* dw = renderer->WindowWidget(dialog);
    ASSERT_NE(dw, nullptr);
    EXPECT_TRUE(dw->isWindow());
    EXPECT_EQ(dw->windowFlags() & Qt::WindowType_Mask, Qt::Dialog);
    // The frame's menus and tools are off; the child of the other thread still answers.
    auto* main = qobject_cast<QMainWindow*>(renderer->WindowWidget(frame));
    ASSERT_NE(main, nullptr);
    EXPECT_FALSE(main->menuBar()->isEnabled());
    EXPECT_FALSE(main->findChild<QToolBar*>()->isEnabled());
    int child = Children()[0];
    EXPECT_TRUE(renderer->WindowWidget(child)->isEnabled());
    {
        Runtime::HostBaton b;
        EXPECT_FALSE(InputPress(frame, KIND).empty());
    }
    Screenshot(dw, QStringLiteral("dialog_ueber_rahmen"));
    Click(qobject_cast<QPushButton*>(renderer->ControlWidget(dialog, 1)));
    ASSERT_TRUE(renderer->Settle());
    EXPECT_EQ(renderer->WindowWidget(dialog), nullptr);
    EXPECT_TRUE(main->menuBar()->isEnabled());
    EXPECT_EQ(Log().back(), "Dialog zu");
}

TEST_F(FrameTest, TimersTickOnTheRealClock)
{
    Menu(KIND);
    // A tenth of a second holds about two ticks of five hundredths.
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 200) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        renderer->Pump();
        QThread::msleep(5);
    }
    Runtime::HostBaton b;
    EXPECT_GE(fs->timers, 2);
}

TEST_F(FrameTest, ClosingTheFrameClosesTheChildrenFirst)
{
    Menu(KIND);
    Menu(KIND);
    renderer->WindowWidget(frame)->close();
    ASSERT_TRUE(renderer->Settle());
    std::vector<std::string> log = Log();
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log.front(), "Rahmen schließt");
    EXPECT_NE(std::find(log.begin(), log.end(), "Kind 1 schließt"), log.end());
    EXPECT_NE(std::find(log.begin(), log.end(), "Kind 2 schließt"), log.end());
    EXPECT_TRUE(renderer->Ended());
    EXPECT_EQ(renderer->WindowWidget(frame), nullptr);
}

} // namespace
