#include "core/Visual.h"
#include "platform/headless/HeadlessDriver.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

std::vector<std::string> trace;   // written by the baton holder only

std::string Hex(int code)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%Xh", static_cast<unsigned>(code));
    return buf;
}

// An object whose window runs on a thread of its own. The window keeps itself open on the first
// close request until its button "Fertig" was pressed, so that a waiter really waits.
class Sheet : public CVisual {
public:
    explicit Sheet(std::string title) : title_(std::move(title)) {}
    int Run() override { return StartThread(Procedure, 50000, title_); }

    bool holdClose = false;
    int closeEvents = 0;

private:
    static void Procedure(const std::string& parameter)
    {
        auto* self = static_cast<Sheet*>(CVisual::FromParameter(parameter));
        WindowDesc d;
        d.title = self->title_;
        d.kind = WindowKind::MdiChild;
        d.Add(Ctl::Button("Fertig")).Add(Ctl::String("Zeichenfläche"));
        int w = WindowCreate(d);
        WindowOpen(w);
        self->Init(nullptr, w);
        bool released = false;
        while (WindowAccept(w)) {
            if (EventCurrent() == EVENT_CLOSE_WINDOW || EventCurrent() == EVENT_CLOSE_DOWN) {
                if (EventCurrent() == EVENT_CLOSE_WINDOW)
                    ++self->closeEvents;
                self->CloseRequest();       // on the owner thread while handling close: posts nothing
                if (self->holdClose && !released)
                    EventSkipDefault();
            }
            if (EventAccepted() == 1) {
                released = true;
                EventPost(EVENT_CLOSE_WINDOW);
            }
        }
        WindowClose(w);
        self->Reset();
    }
    std::string title_;
};

// The frame on thread 1: each button runs one action of the test on thread 1 and notes every
// other event it handles.
std::map<std::string, std::function<void()>> actions;
std::vector<std::string> actionNames;
bool keepOnCloseDown = false;

void Frame()
{
    WindowDesc d;
    d.title = "Rahmen";
    d.kind = WindowKind::MdiFrame;
    for (const auto& name : actionNames)
        d.Add(Ctl::Button(name));
    int w = WindowCreate(d);
    WindowOpen(w);
    while (WindowAccept(w)) {
        int c = EventAccepted();
        if (c >= 1 && c <= static_cast<int>(actionNames.size())) {
            actions[actionNames[static_cast<size_t>(c - 1)]]();
            continue;
        }
        if (EventCurrent() != EVENT_OPEN_WINDOW)
            trace.push_back("Rahmen " + Hex(EventCurrent()) + "/" + std::to_string(EventControl()));
        if (EventCurrent() == EVENT_CLOSE_DOWN && keepOnCloseDown)
            EventSkipDefault();
    }
    WindowClose(w);
}

class VisualTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        trace.clear();
        keepOnCloseDown = false;
        actions.clear();
        actionNames.clear();
    }
    void Action(const std::string& name, std::function<void()> f)
    {
        actionNames.push_back(name);
        actions[name] = std::move(f);
    }
    void End()
    {
        for (int w : driver.Windows())
            if (driver.Title(w) != "Rahmen")
                driver.Close(w);
        driver.Close(frame);
        driver.WaitEnd();
    }
    HeadlessDriver driver;
    int frame = 0;
};

TEST_F(VisualTest, ExecuteStartsOnceAndThenBringsTheRunningWindowForward)
{
    static Sheet sheet("Blatt");
    sheet.holdClose = false;
    static int results[2];
    Action("Start", [] {
        results[0] = sheet.Execute(true);
        // The start handshake is over: the window is open and known.
        trace.push_back(sheet.IS_RUNNING && sheet.WIN != 0 && sheet.WAITINGTHREAD == 0 ? "offen" : "nicht offen");
    });
    Action("Nochmal", [] { results[1] = sheet.Execute(true); });
    driver.Start(Frame);
    frame = driver.Window("Rahmen");
    driver.Press(frame, "Start");
    EXPECT_EQ(trace, (std::vector<std::string>{"offen"}));
    int blatt = driver.Window("Blatt");
    int before = static_cast<int>(Runtime::Threads().size());
    {
        Runtime::HostBaton b;
        PropertySet(blatt, 0, Prop::Iconize, 1, 0);
        PropertySet(frame, 0, Prop::Active, 1, 0);
    }
    driver.Press(frame, "Nochmal");
    EXPECT_EQ(results[0], 0);
    EXPECT_EQ(results[1], 0);
    EXPECT_EQ(static_cast<int>(Runtime::Threads().size()), before);   // no second thread
    EXPECT_EQ(driver.Property(blatt, 0, Prop::Iconize).Int(), 0);      // restored
    EXPECT_EQ(driver.Property(blatt, 0, Prop::Active).Int(), 1);       // in front
    End();
}

TEST_F(VisualTest, WaitHoldsEventsAndPostsThemAgainInOrderWithoutFocusAndSuspendEvents)
{
    static Sheet sheet("Blatt");
    sheet.holdClose = true;
    sheet.closeEvents = 0;
    keepOnCloseDown = true;
    Action("Start", [] { sheet.Execute(true); });
    Action("Schließen", [] {
        trace.push_back("CloseRequest " + std::to_string(sheet.CloseRequest()));
        sheet.Wait(EventVisualClosed);
        trace.push_back("gewartet");
    });
    driver.Start(Frame);
    frame = driver.Window("Rahmen");
    driver.Press(frame, "Start");
    driver.Press(frame, "Schließen");
    // Thread 1 waits without a window of its own; the sheet refused the first close.
    EXPECT_EQ(driver.FindWindow("bitte warten"), 0);
    EXPECT_NE(driver.FindWindow("Blatt"), 0);
    {
        Runtime::HostBaton b;
        EventPost(0x501, 7, 1);
    }
    driver.Post(frame, EVENT_GAIN_FOCUS);
    driver.Post(frame, EVENT_SUSPEND);
    {
        Runtime::HostBaton b;
        EventPost(EventRefresh, 0, 1);
        EventPost(EVENT_CLOSE_DOWN, 0, 1);
    }
    driver.Post(frame, EVENT_RESUME);
    driver.Post(frame, EVENT_LOSE_FOCUS);
    {
        Runtime::HostBaton b;
        EventPost(0x502, 8, 1);
    }
    EXPECT_EQ(trace, (std::vector<std::string>{"CloseRequest 0"}));    // all held so far
    driver.Press(driver.Window("Blatt"), "Fertig");
    EXPECT_EQ(trace, (std::vector<std::string>{"CloseRequest 0", "gewartet", "Rahmen 501h/7", "Rahmen 400h/0",
                                               "Rahmen 202h/0", "Rahmen 502h/8"}));
    EXPECT_EQ(sheet.closeEvents, 2);   // the owner's CloseRequest during its own close posted nothing
    EXPECT_EQ(sheet.THREAD, 0);
    EXPECT_EQ(sheet.WIN, 0);
    End();
}

TEST_F(VisualTest, AWaitOnAnotherThreadShowsTheWaitWindowAndASecondWaiterIsRefused)
{
    static Sheet sheet("Blatt");
    sheet.holdClose = true;
    static int helper = 0;
    Action("Start", [] {
        sheet.Execute(true);
        helper = ThreadStart([](const std::string&) {
            for (;;) {
                Event e = EventWait();
                if (e.code == EVENT_CLOSE_DOWN)
                    return;
                if (e.code == 0x600) {
                    trace.push_back("Helfer wartet");
                    sheet.Wait(EventVisualClosed);
                    trace.push_back("Helfer zurück");
                }
            }
        });
    });
    Action("Zweiter", [] {
        trace.push_back("Rahmen wartet");
        sheet.Wait(EventVisualClosed);
        trace.push_back("Rahmen zurück");
    });
    driver.Start(Frame);
    frame = driver.Window("Rahmen");
    driver.Press(frame, "Start");
    {
        Runtime::HostBaton b;
        sheet.CloseRequest();
        EventPost(0x600, 0, helper);
    }
    driver.WaitIdle();
    EXPECT_NE(driver.FindWindow("bitte warten"), 0);   // the helper's wait window
    testing::internal::CaptureStderr();
    driver.Press(frame, "Zweiter");
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("erneute Warteanforderung: alter Thread=" + std::to_string(helper) + "|neuer Thread=1"),
              std::string::npos) << err;
    EXPECT_EQ(trace, (std::vector<std::string>{"Helfer wartet", "Rahmen wartet", "Rahmen zurück"}));
    driver.Press(driver.Window("Blatt"), "Fertig");
    EXPECT_EQ(trace.back(), "Helfer zurück");
    EXPECT_EQ(driver.FindWindow("bitte warten"), 0);
    {
        Runtime::HostBaton b;
        EventPost(EVENT_CLOSE_DOWN, 0, helper);
    }
    End();
}

TEST_F(VisualTest, TheOwnerHandlingACloseDownPostsNoCloseWindow)
{
    static Sheet sheet("Blatt");
    sheet.holdClose = true;
    sheet.closeEvents = 0;
    Action("Start", [] { sheet.Execute(true); });
    driver.Start(Frame);
    frame = driver.Window("Rahmen");
    driver.Press(frame, "Start");
    driver.Post(driver.Window("Blatt"), EVENT_CLOSE_DOWN);
    // The sheet kept its window and got no close-window of its own making.
    EXPECT_EQ(sheet.closeEvents, 0);
    EXPECT_NE(driver.FindWindow("Blatt"), 0);
    driver.Press(driver.Window("Blatt"), "Fertig");
    End();
}

TEST_F(VisualTest, WaitingForAWindowThatIsNotOpenReturnsAtOnce)
{
    static Sheet sheet("Blatt");
    Action("Warten", [] {
        sheet.Wait(EventVisualClosed);
        trace.push_back("zurück");
    });
    driver.Start(Frame);
    frame = driver.Window("Rahmen");
    driver.Press(frame, "Warten");
    EXPECT_EQ(trace, (std::vector<std::string>{"zurück"}));
    End();
}

TEST_F(VisualTest, NestedDrawingBracketsDoNotStack)
{
    static Sheet sheet("Blatt");
    sheet.holdClose = false;
    static std::vector<int> counters;
    counters.clear();
    Action("Start", [] { sheet.Execute(true); });
    Action("Zeichnen", [] {
        int own = WindowTarget();
        sheet.BeginTarget();
        counters.push_back(sheet.SETTARGETCTR);
        sheet.BeginTarget();
        counters.push_back(sheet.SETTARGETCTR);
        PropertySet(2, Prop::Text, "von Thread 1");   // lands in the sheet's window
        sheet.EndTarget();
        counters.push_back(sheet.SETTARGETCTR);
        counters.push_back(WindowTarget() == own ? 1 : 0);
        sheet.EndTarget();                             // nothing left to end
        counters.push_back(sheet.SETTARGETCTR);
    });
    driver.Start(Frame);
    frame = driver.Window("Rahmen");
    driver.Press(frame, "Start");
    driver.Press(frame, "Zeichnen");
    EXPECT_EQ(counters, (std::vector<int>{1, 1, 0, 1, 0}));
    EXPECT_EQ(driver.Text(driver.Window("Blatt"), 2), "von Thread 1");
    End();
}

TEST_F(VisualTest, RunThatCannotStartAThreadIsNotWaitedFor)
{
    struct NoThread : CVisual {
        int Run() override { return 3; }
    };
    static NoThread none;
    static int result = -1;
    Action("Start", [] { result = none.Execute(true); });
    driver.Start(Frame);
    frame = driver.Window("Rahmen");
    driver.Press(frame, "Start");
    EXPECT_EQ(result, 3);
    EXPECT_EQ(none.WAITINGTHREAD, 0);
    End();
}

TEST_F(VisualTest, BaseRunShowsItsMessageAndEndsTheProgram)
{
    static bool ended = false;
    CVisual::OnRunNotOverridden = [] { ended = true; };
    static CVisual plain;
    static int result = 0;
    Action("Start", [] { result = plain.Run(); });
    driver.Start(Frame);
    frame = driver.Window("Rahmen");
    driver.Press(frame, "Start");
    ASSERT_TRUE(driver.HasMessage());
    EXPECT_EQ(driver.Message().text, "Methode CVisual.Run wurde nicht überladen.");
    driver.AnswerMessage(BUTTON_OK);
    EXPECT_TRUE(ended);
    EXPECT_EQ(result, 3);
    CVisual::OnRunNotOverridden = nullptr;
    End();
}

} // namespace
