#include "platform/headless/HeadlessDriver.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/MessageShow.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace {

// Every step of a run appends here; only the baton holder writes, so no lock is needed.
std::vector<std::string> trace;

void Note(const std::string& s) { trace.push_back(s); }

// A window-less loop: handles events until close-down, noting each.
void EventLoop(const std::string& who)
{
    for (;;) {
        Event e = EventWait();
        Note(who + ":" + std::to_string(e.code));
        if (e.code == EVENT_CLOSE_DOWN)
            return;
    }
}

class RuntimeTest : public ::testing::Test {
protected:
    void SetUp() override { trace.clear(); }
    HeadlessDriver driver;
};

TEST_F(RuntimeTest, StartedThreadRunsOnlyWhenItsStarterGivesWay)
{
    driver.Start([] {
        Note("main begins");
        int a = ThreadStart([](const std::string& p) { Note("a runs with " + p); EventLoop("a"); }, "obj-1", 50000, "A");
        int b = ThreadStart([](const std::string&) { Note("b runs"); EventLoop("b"); }, {}, 50000, "B");
        Note("started " + std::to_string(a) + " " + std::to_string(b));
        EventPost(0x500, 0, b);
        EventPost(0x501, 0, a);
        Note("main gives way");
        EventLoop("main");
    });
    std::vector<std::string> expected = {"main begins", "started 2 3", "main gives way", "a runs with obj-1",
                                         "a:1281", "b runs", "b:1280"};
    EXPECT_EQ(trace, expected);
    EventPost(EVENT_CLOSE_DOWN, 0, 3);
    EventPost(EVENT_CLOSE_DOWN, 0, 2);
    EventPost(EVENT_CLOSE_DOWN, 0, 1);
    driver.WaitEnd();
    // The threads got the baton in the order they became ready.
    std::vector<std::string> tail(trace.end() - 3, trace.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"b:514", "a:514", "main:514"}));
}

TEST_F(RuntimeTest, EventsArriveInPostingOrderWithTheirControls)
{
    static std::vector<std::pair<int, int>> got;
    got.clear();
    driver.Start([] {
        int t = ThreadStart([](const std::string&) {
            for (;;) {
                Event e = EventWait();
                got.push_back({e.code, e.control});
                if (e.code == EVENT_CLOSE_DOWN)
                    return;
            }
        });
        for (int i = 1; i <= 5; ++i)
            EventPost(EVENT_ACCEPTED, i, t);
        EventPost(EventRefresh, 0, t);
        EventPost(EVENT_CLOSE_DOWN, 0, t);
    });
    driver.WaitEnd();
    std::vector<std::pair<int, int>> expected = {{1, 1}, {1, 2}, {1, 3}, {1, 4}, {1, 5}, {EventRefresh, 0}, {EVENT_CLOSE_DOWN, 0}};
    EXPECT_EQ(got, expected);
}

TEST_F(RuntimeTest, NoThreadBeyondSixtyFour)
{
    static int lastNumber = -1;
    static int started = 0;
    driver.Start([] {
        started = 0;
        for (int i = 0; i < 70; ++i) {
            int t = ThreadStart([](const std::string&) { EventLoop("w"); });
            if (t == 0)
                break;
            ++started;
        }
        lastNumber = ThreadStart([](const std::string&) {});
        for (int t = 2; t <= MAX_THREADS; ++t)
            EventPost(EVENT_CLOSE_DOWN, 0, t);
    });
    driver.WaitEnd();
    EXPECT_EQ(started, 63);          // thread 1 runs the main procedure
    EXPECT_EQ(lastNumber, 0);
}

TEST_F(RuntimeTest, EventPostToAMissingThreadFails)
{
    static bool toMissing = true, toSelf = false;
    driver.Start([] {
        toMissing = EventPost(EventRefresh, 0, 17);
        toSelf = EventPost(EventRefresh);
    });
    driver.WaitEnd();
    EXPECT_FALSE(toMissing);
    EXPECT_TRUE(toSelf);
}

TEST_F(RuntimeTest, TimersFireOnTheVirtualClockOnlyWhenTimeAdvances)
{
    static int ticks = 0;
    ticks = 0;
    driver.Start([] {
        WindowDesc d;
        d.title = "Uhr";
        d.timer = 5;
        int w = WindowCreate(d);
        WindowOpen(w);
        while (WindowAccept(w)) {
            if (EventCurrent() == EVENT_TIMER && ++ticks == 6)
                PropertySet(0, Prop::Timer, 0);
        }
        WindowClose(w);
    });
    EXPECT_EQ(ticks, 0);
    driver.AdvanceTime(12);
    EXPECT_EQ(ticks, 2);
    driver.AdvanceTime(100);
    EXPECT_EQ(ticks, 6);             // the window stopped its timer at the sixth
    driver.Close(driver.Window("Uhr"));
    driver.WaitEnd();
}

TEST_F(RuntimeTest, MessageBoxGivesTheBatonAwayUntilAnswered)
{
    static int answer = 0;
    driver.Start([] {
        ThreadStart([](const std::string&) { Note("worker runs"); EventLoop("worker"); });
        MessageRequest r;
        r.text = "Fortfahren?";
        r.buttonBits = BUTTON_YES | BUTTON_NO;
        answer = MessageShow(r);
        Note("answered");
        EventPost(EVENT_CLOSE_DOWN, 0, 2);
    });
    ASSERT_TRUE(driver.HasMessage());
    EXPECT_EQ(driver.Message().text, "Fortfahren?");
    EXPECT_EQ(trace, (std::vector<std::string>{"worker runs"}));   // ran while main waited for the answer
    driver.AnswerMessage(BUTTON_NO);
    driver.WaitEnd();
    EXPECT_EQ(answer, BUTTON_NO);
}

TEST_F(RuntimeTest, FileDialogAndShellOpenAreRequests)
{
    static bool chosen = false, cancelled = true;
    static std::string name;
    driver.Start([] {
        name = "alt.prj";
        chosen = FileDialog("Projekt öffnen", name, "Varn 4 Projektdateien|*.prj");
        std::string other;
        cancelled = !FileDialog("Projekt speichern", other, "Varn 4 Projektdateien|*.prj", FILE_SAVE);
        ShellOpen("mailto:a@b.de", "", "", false);
    });
    ASSERT_TRUE(driver.HasFileDialog());
    EXPECT_EQ(driver.FileDialogRequest().title, "Projekt öffnen");
    EXPECT_EQ(driver.FileDialogRequest().fileName, "alt.prj");
    driver.AnswerFileDialog("/tmp/neu.prj");
    EXPECT_TRUE(driver.FileDialogRequest().save);
    driver.CancelFileDialog();
    driver.WaitEnd();
    EXPECT_TRUE(chosen);
    EXPECT_EQ(name, "/tmp/neu.prj");
    EXPECT_TRUE(cancelled);
    ASSERT_EQ(driver.ShellOpens().size(), 1u);
    EXPECT_EQ(driver.ShellOpens()[0].file, "mailto:a@b.de");
}

TEST(RuntimeBounds, AThreadThatNeverGivesWayFailsTheWaitWithADescription)
{
    static std::atomic<bool> stop{false};
    stop = false;
    HeadlessDriver::Options o;
    o.timeoutMs = 200;
    HeadlessDriver driver(o);
    try {
        driver.Start([] {
            while (!stop) {
            }
        });
        FAIL() << "no time-out";
    } catch (const DriverError& e) {
        std::string what = e.what();
        EXPECT_NE(what.find("Thread 1"), std::string::npos) << what;
        EXPECT_NE(what.find("läuft"), std::string::npos) << what;
    }
    // A test's own hold of the baton is bounded too.
    try {
        Runtime::HostBaton b(200);
        FAIL() << "no time-out";
    } catch (const std::runtime_error& e) {
        std::string what = e.what();
        EXPECT_NE(what.find("Thread 1"), std::string::npos) << what;
    }
    stop = true;
    driver.WaitEnd();
}

TEST(RuntimeBounds, AThreadLeftWaitingIsUnwoundWhenTheDriverEnds)
{
    static bool unwound = false;
    unwound = false;
    {
        HeadlessDriver driver;
        driver.Start([] {
            struct Guard {
                ~Guard() { unwound = true; }
            } g;
            EventWait();        // nobody ever posts
        });
    }
    EXPECT_TRUE(unwound);
}

TEST(RuntimeBounds, AnUnansweredMessageIsDescribed)
{
    HeadlessDriver::Options o;
    o.timeoutMs = 200;
    HeadlessDriver driver(o);
    driver.Start([] {
        MessageRequest r;
        r.text = "Hallo";
        MessageShow(r);
    });
    std::string d = driver.Describe();
    EXPECT_NE(d.find("wartet auf Antwort"), std::string::npos) << d;
    EXPECT_NE(d.find("Hallo"), std::string::npos) << d;
}

// A long piece of work that gives way now and then: the host comes in between (to draw and to
// deliver input), and the work sees the input without handling its other events.
TEST(RuntimeGiveWay, TheHostComesInWhileAThreadWorksAndTheWorkFindsWhatWasPosted)
{
    static int rounds = 0;
    static bool found = false;
    static bool othersKept = false;
    rounds = 0;
    found = othersKept = false;
    HeadlessDriver driver;
    driver.Start([] {
        EventWait();    // the work begins
        while (!(found = EventTake(0x501, 0)) && rounds < 500) {
            ++rounds;
            ThreadGiveWay(20);
        }
        othersKept = EventWait().code == 0x502;
        EventWait();
    });
    EXPECT_FALSE(ThreadGiveWay(20));    // no logical thread: nothing to give
    EventPost(0x500, 0, 1);
    {
        // Only possible because the working thread gives way.
        Runtime::HostBaton baton(5000);
        EXPECT_NE(Runtime::Describe().find("lässt die Fenster laufen"), std::string::npos) << Runtime::Describe();
        EventPost(0x502, 0, 1);
        EventPost(0x501, 0, 1);
    }
    driver.WaitIdle();
    EXPECT_TRUE(found);
    EXPECT_TRUE(othersKept);
    EventPost(EVENT_CLOSE_DOWN, 0, 1);
    driver.WaitEnd();
}

// Two long pieces of work at once (two worksheets generating), each holding the baton longer than
// the other waits for the host. The renderer's pump only takes a baton that is free at once; a
// give-way must leave it free for the pump rather than hand it straight to the other worker, or
// the windows never get a turn while both work.
TEST(RuntimeGiveWay, TwoWorkersGivingWayLeaveRoomForAHostThatDoesNotWait)
{
    static std::atomic<bool> stop{false};
    static std::atomic<int> giveWays{0};
    stop = false;
    giveWays = 0;
    HeadlessDriver driver;
    auto work = [](const std::string&) {
        EventWait();    // the work begins
        while (!stop) {
            std::this_thread::sleep_for(std::chrono::milliseconds(40));   // a stretch of the solve
            ThreadGiveWay(20);
            ++giveWays;
        }
        EventWait();
    };
    driver.Start([work] {
        ThreadStart(work, {}, 50000, "zweite Arbeit");
        work({});
    });
    EventPost(0x500, 0, 1);
    EventPost(0x500, 0, 2);
    int turns = 0;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (giveWays < 10 && std::chrono::steady_clock::now() < until) {
        if (Runtime::HostTryAcquire(0)) {
            ++turns;
            Runtime::HostRelease();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    stop = true;
    EXPECT_GE(giveWays, 10) << Runtime::Describe();
    EXPECT_GE(turns, 5) << giveWays << " Mal Platz gemacht\n" << Runtime::Describe();
    driver.WaitIdle();
    EventPost(EVENT_CLOSE_DOWN, 0, 1);
    EventPost(EVENT_CLOSE_DOWN, 0, 2);
    driver.WaitEnd();
}

// Ending the program while a thread works: its give-way answers true instead of throwing into
// the work, and its next wait unwinds it.
TEST(RuntimeGiveWay, AnAbortIsAnsweredAndTheNextWaitUnwinds)
{
    static bool told = false;
    static bool unwound = false;
    told = unwound = false;
    {
        HeadlessDriver driver;
        driver.Start([] {
            struct Guard {
                ~Guard() { unwound = true; }
            } g;
            EventWait();
            for (int i = 0; i < 500 && !told; ++i)
                told = ThreadGiveWay(20);
            EventWait();
        });
        EventPost(0x500, 0, 1);
        // The abort must find the thread at work, not still waking up for its event.
        const auto working = [] {
            for (const Runtime::ThreadInfo& t : Runtime::Threads())
                if (t.state == Runtime::ThreadState::GivingWay)
                    return true;
            return false;
        };
        for (int i = 0; i < 5000 && !working(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ASSERT_TRUE(working());
    }
    EXPECT_TRUE(told);
    EXPECT_TRUE(unwound);
}

} // namespace
