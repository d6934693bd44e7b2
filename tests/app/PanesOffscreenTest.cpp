// The panes of the worksheet windows on the real renderer (offscreen), with the mouse as a planner
// moves it: every press, move and release goes to the top-level window at a pixel, so that Qt hands
// it to whatever widget really lies there. Each splitter of the worksheet window and the flex
// window's splitter is dragged in a normal and in a maximised window; the panes keep the dragged
// shares when the window is sized, and share the room alike again once a pane is collapsed and
// opened with its buttons.
#include "app/WindowPictures.h"
#include "platform/qt/ListView.h"
#include "platform/qt/Style.h"
#include "platform/qt/Renderer.h"
#include "platform/qt/WindowView.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"
#include "worksheets/ArbeitsblattWindow.h"
#include "worksheets/FlexAZBlattWindow.h"

#include "SampleWorksheets.h"

#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// Qt's entry for the mouse from the window system (what Qt's own test library calls).
Q_GUI_EXPORT void qt_handleMouseEvent(QWindow* window, const QPointF& local, const QPointF& global,
                                      Qt::MouseButtons state, Qt::MouseButton button, QEvent::Type type,
                                      Qt::KeyboardModifiers mods, int timestamp);

using namespace apptest;

namespace {

// The waits are for a screen on a loaded machine: long limits, each ending as soon as it is met.
constexpr int kWaitMs = 30000;

struct SplitterCase {
    const char* what;
    int splitter;
    int upper, lower;      // the lists above and below it
};

class Panes : public PictureRun {
protected:
    int Open(const std::function<void()>& sheet, const char* title)
    {
        renderer = std::make_unique<Renderer>();
        renderer->Start(sheet);
        window = SettledWindow(*renderer, title, kWaitMs);
        if (window)
            top = renderer->View(window)->Top()->window();
        return window;
    }
    QWidget* Widget(int control) { return renderer->ControlWidget(window, control); }
    int Height(int control) { return Widget(control)->height(); }

    // The mouse at a pixel of the top-level window.
    int stamp = 0;
    void Mouse(QEvent::Type type, QPoint at, Qt::MouseButtons held, Qt::MouseButton button)
    {
        QWindow* w = top->windowHandle();
        qt_handleMouseEvent(w, QPointF(at), QPointF(w->mapToGlobal(at)), held, button, type, Qt::NoModifier, stamp += 20);
        QCoreApplication::processEvents();
    }
    // The middle of a control in the top-level window's pixels.
    QPoint Middle(int control)
    {
        QWidget* w = Widget(control);
        return w->mapTo(top, w->rect().center());
    }
    void Click(int control)
    {
        const QPoint at = Middle(control);
        Mouse(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        Mouse(QEvent::MouseButtonRelease, at, Qt::NoButton, Qt::LeftButton);
    }
    // Pressed in the middle of the splitter, moved down by `dy` pixels in steps, let go.
    void Drag(int splitter, int dy)
    {
        const QPoint from = Middle(splitter);
        Mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        for (int step = 1; step <= 4; ++step)
            Mouse(QEvent::MouseMove, from + QPoint(0, dy * step / 4), Qt::LeftButton, Qt::NoButton);
        Mouse(QEvent::MouseButtonRelease, from + QPoint(0, dy), Qt::NoButton, Qt::LeftButton);
    }
    bool Until(const std::function<bool()>& done) { return ProcessUntil([&] { return renderer->Settle(50) && done(); }, kWaitMs); }

    // The lowest open list reaches the client's bottom, where the window placed it (not only
    // stretched there by the renderer): the panes are laid out for the window's size.
    bool Filled(int lowest)
    {
        QWidget* client = renderer->View(window)->Client();
        QWidget* list = Widget(lowest);
        long long placed = 0;
        {
            Runtime::HostBaton b;
            placed = PropertyGet(window, lowest, Prop::Ypos, 0).Int() + PropertyGet(window, lowest, Prop::Height, 0).Int();
        }
        return std::abs(list->mapTo(client, QPoint(0, list->height())).y() - client->height()) <= 8 &&
               std::abs(QtStyle::ToPixels(int(placed)) - client->height()) <= 8;
    }

    // Each splitter dragged down and back up with the mouse moves the border between its panes.
    void DragEach(const std::vector<SplitterCase>& cases, int lowest, const char* state)
    {
        for (const SplitterCase& c : cases) {
            SCOPED_TRACE(std::string(c.what) + ", " + state);
            ASSERT_TRUE(Widget(c.splitter)->isVisible());
            for (int dy : {40, -40}) {
                const int upper = Height(c.upper), lower = Height(c.lower);
                Drag(c.splitter, dy);
                EXPECT_TRUE(Until([&] { return std::abs(Height(c.upper) - (upper + dy)) <= 6; }))
                    << "the upper list stayed " << Height(c.upper) << " (was " << upper << ", dragged by " << dy << ")";
                EXPECT_NEAR(Height(c.upper) + Height(c.lower), upper + lower, 4);
                EXPECT_TRUE(Filled(lowest));
            }
        }
    }

    int window = 0;
    QWidget* top = nullptr;
};

TEST_F(Panes, BothSplittersOfTheWorksheetWindowDragWithTheMouseNormalAndMaximised)
{
    ASSERT_NE(Open([] { SampleWorksheet(); }, "Arbeitszeitblatt"), 0);
    const std::vector<SplitterCase> cases = {
        {"below the staff demand", AB_SPLITTER_AKB, AB_AKB_LIST, AB_SBP_LIST},
        {"below the shift demand", AB_SPLITTER_SBP, AB_SBP_LIST, AB_AZP_LIST},
    };
    DragEach(cases, AB_AZP_LIST, "normal");
    top->showMaximized();
    ASSERT_TRUE(Until([&] { return top->isMaximized() && Filled(AB_AZP_LIST); }));
    DragEach(cases, AB_AZP_LIST, "maximised");

    // A dragged border holds when the window is sized: each pane keeps its part of the room.
    Drag(AB_SPLITTER_AKB, 60);
    ASSERT_TRUE(Until([&] { return Height(AB_AKB_LIST) > Height(AB_SBP_LIST) + 80; }));
    const double staffShare = double(Height(AB_AKB_LIST)) / Height(AB_AZP_LIST);
    top->showNormal();
    ASSERT_TRUE(Until([&] { return !top->isMaximized() && Filled(AB_AZP_LIST); }));
    EXPECT_NEAR(double(Height(AB_AKB_LIST)) / Height(AB_AZP_LIST), staffShare, 0.15);

    // Collapsed and opened again with the pane's buttons, the panes share the room alike.
    Click(AB_SBP_HIDE);
    ASSERT_TRUE(Until([&] { return !Widget(AB_SBP_LIST)->isVisible(); }));
    Click(AB_SBP_SHOW);
    ASSERT_TRUE(Until([&] { return Widget(AB_SBP_LIST)->isVisible(); }));
    EXPECT_TRUE(Until([&] {
        return std::abs(Height(AB_AKB_LIST) - Height(AB_SBP_LIST)) <= 3 && std::abs(Height(AB_SBP_LIST) - Height(AB_AZP_LIST)) <= 3;
    })) << "staff demand " << Height(AB_AKB_LIST) << ", shift demand " << Height(AB_SBP_LIST) << ", plan "
        << Height(AB_AZP_LIST);
}

TEST_F(Panes, TheFlexWindowsSplitterDragsWithTheMouseNormalAndMaximised)
{
    ASSERT_NE(Open([] { SampleFlexWorksheet(); }, "Flex-Arbeitszeitblatt"), 0);
    const std::vector<SplitterCase> cases = {{"between the entries and the plan", FX_SPLITTER, FX_FLEX_LIST, FX_AZP_LIST}};
    // The entries and the plan share the room 2 : 3.
    EXPECT_NEAR(Height(FX_FLEX_LIST) * 1.5, Height(FX_AZP_LIST), 4);
    DragEach(cases, FX_AZP_LIST, "normal");
    top->showMaximized();
    ASSERT_TRUE(Until([&] { return top->isMaximized() && Filled(FX_AZP_LIST); }));
    DragEach(cases, FX_AZP_LIST, "maximised");
}

} // namespace
