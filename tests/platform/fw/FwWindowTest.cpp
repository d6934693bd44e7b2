#include "platform/fw/FwError.h"
#include "platform/fw/FwSettings.h"
#include "platform/fw/FwWindow.h"
#include "platform/headless/HeadlessDriver.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

std::vector<std::string> trace;   // written by the baton holder only

// Settings in memory, keyed "section/key".
std::map<std::string, std::string> settings;

void UseMemorySettings()
{
    settings.clear();
    FwSetSettings({[](const std::string& s, const std::string& k, const std::string& d) {
                       auto it = settings.find(s + "/" + k);
                       return it == settings.end() ? d : it->second;
                   },
                   [](const std::string& s, const std::string& k, const std::string& v) { settings[s + "/" + k] = v; }});
}

class Component : public WindowComponent {
public:
    explicit Component(std::string name) : name_(std::move(name)) {}
    void Release() override { trace.push_back(name_ + " Release"); }
    void Refresh(bool force) override { trace.push_back(name_ + " Refresh " + std::to_string(force)); }
    int OnEvent() override
    {
        if (EventAccepted() == consume)
            return LEVEL_NOTIFY;
        return LEVEL_BENIGN;
    }
    int consume = -1;

private:
    std::string name_;
};

// A dialog: an entry bound to `value`, OK, Cancel, and a button that leaves the loop.
class Dialog : public FwWindow {
public:
    Dialog() : FwWindow("UpdateTest") {}
    int Setup() override
    {
        trace.push_back("Setup " + GlobalErrorHandler.TopProcedure());
        int level = FwWindow::Setup();
        WindowDesc d;
        d.title = "Test";
        d.resizable = true;
        d.x = 1;
        d.y = 2;
        d.w = 300;
        d.h = 200;
        d.Add(Ctl::Entry("@n3").Use(UseVar(value)))    // 1
            .Add(Ctl::Button("OK"))                      // 2
            .Add(Ctl::Button("Abbrechen"))               // 3
            .Add(Ctl::Button("Raus"))                    // 4
            .Add(Ctl::Button("Dazwischen"));             // 5: a window of its own over this one
        CreateWindow(d);
        OpenWindow();
        SetOkControl(2);
        SetCancelControl(3);
        AddComponent(component);
        return level;
    }
    void AfterOpen() override { trace.push_back("AfterOpen"); }
    int OnAccepted() override
    {
        trace.push_back("Accepted " + std::to_string(EventAccepted()));
        if (EventAccepted() == 4)
            return LEVEL_FATAL;
        if (EventAccepted() == 5) {
            WindowDesc d;
            d.title = "Dazwischen";
            int over = WindowCreate(d);
            WindowOpen(over);
            while (WindowAccept(over)) {
            }
            WindowClose(over);
        }
        return FwWindow::OnAccepted();
    }
    int OnWindowEvent() override
    {
        if (EventCurrent() == EVENT_CLOSE_WINDOW && refuseClose) {
            trace.push_back("Schließen abgelehnt");
            return LEVEL_NOTIFY;
        }
        if (IsPassiveEventCode(EventCurrent()))
            Refresh(EventCurrent() == EVENT_GAIN_FOCUS);
        return FwWindow::OnWindowEvent();
    }
    void Refresh(bool force) override
    {
        if (DeferRefresh(force)) {
            trace.push_back("aufgeschoben");
            return;
        }
        trace.push_back("Refresh " + std::to_string(force));
        FwWindow::Refresh(force);
    }
    int Teardown() override
    {
        trace.push_back("Teardown");
        return FwWindow::Teardown();
    }

    long value = 5;
    bool refuseClose = false;
    Component component{"K"};
};

Dialog* dialog = nullptr;
int response = -1;
std::string procedureAfter;

class FwWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        trace.clear();
        UseMemorySettings();
        response = -1;
    }
    void TearDown() override { FwSetSettings({}); }
    void Run()
    {
        driver.Start([] {
            Dialog d;
            dialog = &d;
            response = d.RunWindow();
            procedureAfter = GlobalErrorHandler.TopProcedure();
            dialog = nullptr;
        });
        w = driver.Window("Test");
    }
    HeadlessDriver driver;
    int w = 0;
};

TEST_F(FwWindowTest, OkTakesEveryFieldThenEndsCompleted)
{
    Run();
    driver.Type(w, 1, "17");
    driver.Press(w, 2);
    driver.WaitEnd();
    EXPECT_EQ(response, RESPONSE_COMPLETED);
    EXPECT_EQ(procedureAfter, "");
    EXPECT_EQ(trace, (std::vector<std::string>{"Setup ", "AfterOpen", "Accepted 1", "Accepted 2", "Accepted 1",
                                               "Teardown", "K Release"}));
}

TEST_F(FwWindowTest, CancelClosingAndLeavingTheLoop)
{
    struct Case {
        const char* how;
        int response;
    };
    for (const Case& c : {Case{"Abbrechen", RESPONSE_CANCELLED}, Case{"Schließen", RESPONSE_CANCELLED},
                          Case{"Raus", RESPONSE_NONE}}) {
        SCOPED_TRACE(c.how);
        trace.clear();
        Run();
        if (std::string(c.how) == "Schließen")
            driver.Close(w);
        else
            driver.Press(w, c.how);
        driver.WaitEnd();
        EXPECT_EQ(response, c.response);
        EXPECT_EQ(driver.FindWindow("Test"), 0);
    }
}

TEST_F(FwWindowTest, HandlerLevelFiveKeepsTheWindowAndComponentsSeeEventsFirst)
{
    Run();
    {
        Runtime::HostBaton b;
        dialog->refuseClose = true;
        dialog->component.consume = 4;
    }
    driver.Close(w);
    EXPECT_NE(driver.FindWindow("Test"), 0);
    driver.Press(w, "Raus");                       // taken by the component: the loop goes on
    EXPECT_NE(driver.FindWindow("Test"), 0);
    {
        Runtime::HostBaton b;
        dialog->refuseClose = false;
    }
    driver.Press(w, "Abbrechen");
    driver.WaitEnd();
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "Accepted 4"), 0);
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "Schließen abgelehnt"), 1);
}

TEST_F(FwWindowTest, RefreshDuringPassiveEventsIsDeferredOnceAndKeepsTheForceFlag)
{
    Run();
    trace.clear();
    {
        // Two passive events before the deferred refresh arrives.
        Runtime::HostBaton b;
        InputWindowEvent(w, EVENT_GAIN_FOCUS);
        InputWindowEvent(w, EVENT_SIZE);
    }
    driver.WaitIdle();
    EXPECT_EQ(trace, (std::vector<std::string>{"aufgeschoben", "aufgeschoben", "Refresh 1", "K Refresh 1"}));
    driver.Press(w, "Abbrechen");
    driver.WaitEnd();
}

TEST_F(FwWindowTest, ADeferredRefreshOutlivesAWindowOpenedBeforeItArrived)
{
    Run();
    trace.clear();
    {
        // Focus and a click that opens another window, both before the window's turn.
        Runtime::HostBaton b;
        InputWindowEvent(w, EVENT_GAIN_FOCUS);
        InputPress(w, 5);
    }
    driver.WaitIdle();
    EXPECT_EQ(trace, (std::vector<std::string>{"aufgeschoben", "Accepted 5"}));
    driver.Close(driver.Window("Dazwischen"));
    EXPECT_EQ(trace, (std::vector<std::string>{"aufgeschoben", "Accepted 5", "Refresh 1", "K Refresh 1"}));
    // The next passive event is deferred and done again.
    trace.clear();
    driver.Post(w, EVENT_SIZE);
    EXPECT_EQ(trace, (std::vector<std::string>{"aufgeschoben", "Refresh 0", "K Refresh 0"}));
    driver.Press(w, "Abbrechen");
    driver.WaitEnd();
}

TEST_F(FwWindowTest, ProcedureNameIsOnTheErrorStackWhileTheWindowRuns)
{
    Run();
    {
        Runtime::HostBaton b;
        EXPECT_EQ(GlobalErrorHandler.ProcedureDepth(), 0u);   // the driver's thread has none
    }
    static std::string inside;
    driver.Press(w, "Abbrechen");
    driver.WaitEnd();
    // Setup ran before the framework pushed the name; the run itself had it (see Teardown order).
    EXPECT_EQ(procedureAfter, "");
    driver.Start([] {
        struct Probe : FwWindow {
            Probe() : FwWindow("Projektmanager") {}
            int Setup() override
            {
                FwWindow::Setup();
                inside = GlobalErrorHandler.TopProcedure();
                return 1;   // ends the opening: Teardown still pops the name
            }
        } p;
        p.RunWindow();
        procedureAfter = GlobalErrorHandler.TopProcedure();
    });
    driver.WaitEnd();
    EXPECT_EQ(inside, "Projektmanager");
    EXPECT_EQ(procedureAfter, "");
}

TEST_F(FwWindowTest, GeometryIsRestoredAfterOpeningAndStoredAtTeardown)
{
    struct Case {
        std::map<std::string, std::string> before;
        bool iconize, maximize;
        std::map<std::string, std::string> after;
    };
    const std::vector<Case> cases = {
        // Nothing stored yet: the window keeps its designed place and stores it.
        {{}, false, false,
         {{"UpdateTest/Maximize", "No"}, {"UpdateTest/XPos", "1"}, {"UpdateTest/YPos", "2"},
          {"UpdateTest/Width", "300"}, {"UpdateTest/Height", "200"}}},
        // A stored place is restored and written back.
        {{{"UpdateTest/Maximize", "No"}, {"UpdateTest/XPos", "40"}, {"UpdateTest/YPos", "50"},
          {"UpdateTest/Width", "310"}, {"UpdateTest/Height", "220"}},
         false, false,
         {{"UpdateTest/Maximize", "No"}, {"UpdateTest/XPos", "40"}, {"UpdateTest/YPos", "50"},
          {"UpdateTest/Width", "310"}, {"UpdateTest/Height", "220"}}},
        // Closed maximised: only "Maximize" changes, the old place stays.
        {{{"UpdateTest/Maximize", "No"}, {"UpdateTest/XPos", "40"}, {"UpdateTest/YPos", "50"}},
         false, true,
         {{"UpdateTest/Maximize", "Yes"}, {"UpdateTest/XPos", "40"}, {"UpdateTest/YPos", "50"}}},
        // Closed iconised: nothing is written.
        {{{"UpdateTest/Maximize", "No"}, {"UpdateTest/XPos", "40"}, {"UpdateTest/YPos", "50"}},
         true, false,
         {{"UpdateTest/Maximize", "No"}, {"UpdateTest/XPos", "40"}, {"UpdateTest/YPos", "50"}}},
        // A broken or half stored size would make the window vanish: it keeps its own size.
        {{{"UpdateTest/Maximize", "No"}, {"UpdateTest/XPos", "40"}, {"UpdateTest/YPos", "50"},
          {"UpdateTest/Width", "0"}, {"UpdateTest/Height", "220"}},
         false, false,
         {{"UpdateTest/Maximize", "No"}, {"UpdateTest/XPos", "40"}, {"UpdateTest/YPos", "50"},
          {"UpdateTest/Width", "300"}, {"UpdateTest/Height", "200"}}},
        {{{"UpdateTest/Maximize", "No"}, {"UpdateTest/XPos", "40"}, {"UpdateTest/YPos", "50"},
          {"UpdateTest/Width", "310"}},
         false, false,
         {{"UpdateTest/Maximize", "No"}, {"UpdateTest/XPos", "40"}, {"UpdateTest/YPos", "50"},
          {"UpdateTest/Width", "300"}, {"UpdateTest/Height", "200"}}},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        const Case& c = cases[i];
        settings = c.before;
        Run();
        if (c.before.count("UpdateTest/XPos")) {
            EXPECT_EQ(driver.Property(w, 0, Prop::Xpos).Str(), c.before.at("UpdateTest/XPos"));
        }
        {
            Runtime::HostBaton b;
            if (c.iconize)
                PropertySet(w, 0, Prop::Iconize, 1, 0);
            if (c.maximize)
                PropertySet(w, 0, Prop::Maximize, 1, 0);
        }
        driver.Press(w, "Abbrechen");
        driver.WaitEnd();
        EXPECT_EQ(settings, c.after);
    }
}

} // namespace
