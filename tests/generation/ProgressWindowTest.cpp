#include "generation/ProgressWindow.h"

#include "platform/headless/HeadlessDriver.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr const char* kTitle = "Berechnung läuft...";

// Runs a progress window of the layout on thread 1: `steps` timer events are work, then the
// loop ends by itself. Records what the owner sees.
class ProgressWindowTest : public ::testing::TestWithParam<ProgressLayout> {
protected:
    void Start(int steps)
    {
        driver.Start([this, steps] {
            CProgressWindow window(GetParam());
            window.Create(UseVar(counter));
            window.Open();
            window.RunLoop(
                [&] {
                    ++stepsDone;
                    counter += 10;
                    window.ShowProgress();
                    return stepsDone < steps;
                },
                [&] { ++otherEvents; });
            cancelled = window.Cancelled();
            openAfterLoop = WindowExists(window.Win());
            window.Close();
            closed = !WindowExists(window.Win());
        });
        win = driver.Window(kTitle);
    }

    HeadlessDriver driver;
    int win = 0;
    long counter = 0;
    int stepsDone = 0, otherEvents = 0;
    bool cancelled = false, openAfterLoop = false, closed = false;
};

TEST_P(ProgressWindowTest, ShowsTitleIconTimerAndItsControls)
{
    Start(100);
    CProgressWindow probe(GetParam());
    EXPECT_EQ(driver.Property(win, 0, Prop::Icon).Str(), "generieren.ico");
    EXPECT_EQ(driver.Property(win, 0, Prop::Timer).Int(), 5);
    EXPECT_EQ(driver.Text(win, probe.MessageControl()), "Bitte warten Sie, bis Varn 4 das Ergebnis errechnet hat");
    EXPECT_EQ(driver.Text(win, probe.PercentControl()), "0 % fertiggestellt.");
    EXPECT_EQ(driver.Text(win, probe.CancelControl()), "Abbrechen");
    EXPECT_EQ(driver.Control(win, "?CANCEL"), probe.CancelControl());
    EXPECT_EQ(driver.Control(win, "?MAXTIME"), probe.MaxTimeControl());
    EXPECT_EQ(driver.Control(win, "?PROGRESS"), probe.ProgressControl());
    EXPECT_NE(driver.Control(win, "max. Berechnungsdauer:"), 0);
    EXPECT_NE(driver.Control(win, "Std:Min"), 0);
    if (GetParam() == ProgressLayout::Optimizer) {
        EXPECT_EQ(std::vector<int>({probe.ProgressControl(), probe.PercentControl(), probe.MaxTimeControl(),
                                    probe.CancelControl()}),
                  std::vector<int>({4, 5, 6, 12}));
        for (int n = 1; n <= 4; ++n)
            EXPECT_EQ(driver.Text(win, probe.InfoControl(n)), "Info " + std::to_string(n));
    } else {
        EXPECT_EQ(std::vector<int>({probe.MessageControl(), probe.ProgressControl(), probe.PercentControl(),
                                    probe.MaxTimeControl(), probe.CancelControl()}),
                  std::vector<int>({1, 2, 3, 4, 5}));
        EXPECT_EQ(probe.InfoControl(1), 0);
    }
    driver.Press(win, "?CANCEL");
}

TEST_P(ProgressWindowTest, OneStepPerTimerEventUntilTheWorkIsDone)
{
    Start(12);
    EXPECT_EQ(stepsDone, 0);   // nothing before the first timer event
    driver.AdvanceTime(4);
    EXPECT_EQ(stepsDone, 0);
    driver.AdvanceTime(1);
    EXPECT_EQ(stepsDone, 1);
    EXPECT_EQ(driver.Property(win, CProgressWindow(GetParam()).ProgressControl(), Prop::Value).Int(), 10);
    driver.AdvanceTime(50);
    EXPECT_EQ(stepsDone, 11);
    driver.AdvanceTime(50);   // the last step ends the loop: no further ones
    EXPECT_EQ(stepsDone, 12);
    driver.WaitEnd();
    EXPECT_FALSE(cancelled);
    EXPECT_TRUE(openAfterLoop);
    EXPECT_TRUE(closed);
}

TEST_P(ProgressWindowTest, CancelAndClosingBothEndTheLoopAsCancelled)
{
    for (bool byClose : {false, true}) {
        SCOPED_TRACE(byClose ? "closed" : "Abbrechen");
        stepsDone = 0;
        Start(100);
        driver.AdvanceTime(10);
        if (byClose)
            driver.Close(win);
        else
            driver.Press(win, "Abbrechen");
        driver.WaitEnd();
        EXPECT_EQ(stepsDone, 2);
        EXPECT_TRUE(cancelled);
        EXPECT_TRUE(openAfterLoop);   // the owner still shows its result over it
        EXPECT_TRUE(closed);
    }
}

TEST_P(ProgressWindowTest, TextsRangeAndTimeLimitReachTheWindow)
{
    driver.Start([this] {
        CProgressWindow window(GetParam());
        window.Create();
        window.Open();
        window.SetRange(0, 60001);
        window.ShowMaxTime(60001);   // ten minutes
        window.SetText(window.PercentControl(), "42 % fertiggestellt.");
        window.SetText(0, "ignored");
        window.RunLoop([] { return true; });
        window.Close();
        window.SetText(window.PercentControl(), "after close");   // the window has gone: nothing
        window.ShowProgress();
    });
    win = driver.Window(kTitle);
    const CProgressWindow probe(GetParam());
    EXPECT_EQ(driver.Property(win, probe.ProgressControl(), Prop::RangeHigh).Int(), 60001);
    EXPECT_EQ(driver.Text(win, probe.MaxTimeControl()), "00:10");
    EXPECT_EQ(driver.Text(win, probe.PercentControl()), "42 % fertiggestellt.");
    driver.Press(win, "?CANCEL");
    driver.WaitEnd();
}

// The window under the progress window - the one the work belongs to - is asked to close (its
// project closes, the program ends) as the project manager asks it, from outside: the run ends at
// once as cancelled, and that window then gets its close and goes, instead of after the time limit.
TEST_P(ProgressWindowTest, ClosingTheWindowBelowEndsTheRunAndThenClosesThatWindow)
{
    bool closedByOwner = false, told = false, toldAgain = true, ownerGotClose = false;
    driver.Start([&] {
        WindowDesc d;
        d.title = "Arbeitsblatt";
        d.kind = WindowKind::MdiChild;
        const int owner = WindowCreate(d);
        WindowOpen(owner);
        CProgressWindow window(GetParam());
        window.Create(UseVar(counter));
        window.Open();
        window.RunLoop([&] {
            if (++stepsDone == 2) {
                Event e;
                e.code = EVENT_CLOSE_WINDOW;
                e.window = owner;
                EventPost(e, ThreadCurrent());
            }
            return stepsDone < 100000;
        });
        cancelled = window.Cancelled();
        closedByOwner = window.ClosedByOwner();
        window.Close();
        told = TakeProgressOwnerClosing();
        toldAgain = TakeProgressOwnerClosing();
        while (WindowAccept(owner))
            ownerGotClose |= EventCurrent() == EVENT_CLOSE_WINDOW && EventCurrentRecord().window == owner;
        WindowClose(owner);
    });
    driver.AdvanceTime(50);
    driver.WaitEnd();
    EXPECT_EQ(stepsDone, 2) << "no step after the close";
    EXPECT_TRUE(cancelled);
    EXPECT_TRUE(closedByOwner);
    EXPECT_TRUE(told);
    EXPECT_FALSE(toldAgain) << "answered once";
    EXPECT_TRUE(ownerGotClose) << "the close reached the window it was meant for";
}

INSTANTIATE_TEST_SUITE_P(Layouts, ProgressWindowTest,
                         ::testing::Values(ProgressLayout::Optimizer, ProgressLayout::ShiftDemand),
                         [](const ::testing::TestParamInfo<ProgressLayout>& info) {
                             return info.param == ProgressLayout::Optimizer ? "Optimizer" : "ShiftDemand";
                         });

} // namespace
