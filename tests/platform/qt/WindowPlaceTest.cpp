// A window whose stored place lies beyond every screen (another screen set-up, a damaged settings
// file) is shown on the screen, shrunk when it is larger than the screen; a window whose owner
// lays its controls out to the size the user gave it keeps that size.
#include "QtTestSupport.h"

#include "platform/qt/Renderer.h"
#include "platform/ui/Window.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>

#include <gtest/gtest.h>

#include <memory>

namespace {

struct Place {
    static inline int x = 0, y = 0, w = 0, h = 0;
    static void Main()
    {
        WindowDesc d;
        d.title = "Weit weg";
        d.x = x;
        d.y = y;
        d.w = w;
        d.h = h;
        d.resizable = true;
        d.Add(Ctl::Button("&OK").Id(1).At(6, 6, 50, 15));
        const int win = WindowCreate(d);
        WindowOpen(win);
        while (WindowAccept(win)) {
        }
        WindowClose(win);
    }
};

TEST(WindowPlace, AWindowBeyondTheScreenIsBroughtOntoIt)
{
    qttest::App();
    const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
    const struct {
        const char* what;
        int x, y, w, h;
    } cases[] = {
        {"far right and below", 50000, 40000, 200, 100},
        {"left and above", -30000, -30000, 200, 100},
        {"larger than the screen", 10, 10, 9000, 9000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Place::x = c.x;
        Place::y = c.y;
        Place::w = c.w;
        Place::h = c.h;
        auto renderer = std::make_unique<Renderer>();
        renderer->Start(Place::Main);
        ASSERT_TRUE(renderer->Settle());
        QWidget* top = renderer->WindowWidget(1)->window();
        const QRect shown = top->geometry();
        EXPECT_TRUE(room.contains(shown.topLeft())) << shown.x() << "," << shown.y();
        EXPECT_LE(shown.width(), room.width());
        EXPECT_LE(shown.height(), room.height());
    }
}

// A list that fills the window: the owner follows each size the renderer reports.
void FillingMain()
{
    WindowDesc d;
    d.title = "Füllend";
    d.w = 300;
    d.h = 200;
    d.resizable = true;
    d.Add(Ctl::List("40L|").Id(1).At(0, 0, 300, 200));
    const int win = WindowCreate(d);
    WindowOpen(win);
    while (WindowAccept(win))
        if (EventCurrent() == EVENT_SIZED) {
            PropertySet(1, Prop::Width, PropertyGet(0, Prop::Width).Int());
            PropertySet(1, Prop::Height, PropertyGet(0, Prop::Height).Int());
        }
    WindowClose(win);
}

TEST(WindowPlace, AWindowItsOwnerFillsKeepsTheSizeTheUserGaveIt)
{
    qttest::App();
    auto renderer = std::make_unique<Renderer>();
    renderer->Start(FillingMain);
    ASSERT_TRUE(renderer->Settle());
    QWidget* top = renderer->WindowWidget(1)->window();
    top->resize(top->size() + QSize(60, 30));
    const QSize given = top->size();
    // Several of the renderer's placement reports, each answered by the owner.
    for (int round = 0; round < 4; ++round) {
        QElapsedTimer pause;
        pause.start();
        while (pause.elapsed() < 200)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        ASSERT_TRUE(renderer->Settle());
    }
    EXPECT_EQ(top->size(), given);
}

} // namespace
