// A window whose stored place lies beyond every screen (another screen set-up, a damaged settings
// file) is shown on the screen, shrunk when it is larger than the screen.
#include "QtTestSupport.h"

#include "platform/qt/Renderer.h"
#include "platform/ui/Window.h"

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

} // namespace
