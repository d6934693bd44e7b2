#include "core/ShellAndEvents.h"
#include "platform/headless/HeadlessDriver.h"
#include "platform/ui/Runtime.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(ShellAndEventsTest, PassiveEventsAreFocusSuspendResumePlacementAndPreAlert)
{
    for (int code : {0x206, 0x205, 0x208, 0x209, 0x220, 0x221, 0x222, 0x223, 0x224, 0x10})
        EXPECT_TRUE(IsPassiveEvent(code)) << std::hex << code;
    for (int code : {EVENT_ACCEPTED, EVENT_ALERT_KEY, EVENT_TIMER, EVENT_CLOSE_WINDOW, EVENT_SIZED, EventRefresh,
                     EventDeferredReset})
        EXPECT_FALSE(IsPassiveEvent(code)) << std::hex << code;
}

TEST(ShellAndEventsTest, WithoutAnArgumentTheCurrentEventIsTested)
{
    HeadlessDriver driver;
    static std::vector<bool> passive;
    passive.clear();
    driver.Start([] {
        WindowDesc d;
        d.title = "x";
        int w = WindowCreate(d);
        EventPost(EVENT_GAIN_FOCUS);
        EventPost(EventRefresh);
        for (int i = 0; i < 2 && WindowAccept(w); ++i)
            passive.push_back(IsPassiveEvent());
        WindowClose(w);
    });
    driver.WaitEnd();
    EXPECT_EQ(passive, (std::vector<bool>{true, false}));
}

TEST(ShellAndEventsTest, OpenWithShellCleansItsPartsAndLetsOtherThreadsRun)
{
    HeadlessDriver driver;
    static std::vector<std::string> trace;
    trace.clear();
    driver.Start([] {
        ThreadStart([](const std::string&) { trace.push_back("anderer Thread"); });
        OpenWithShell("\"C:\\Programme\\lernunterlage.pdf\"  ", "-p  ", "\"C:\\Programme\"  ", false, false, true);
        trace.push_back("zurück");
        OpenWithShell("mailto:a@b.de", "ignoriert", "ignoriert", true, true, false);
        OpenWithShell(std::string(300, 'x'), "", "", false, false, false);
    });
    driver.WaitEnd();
    EXPECT_EQ(trace, (std::vector<std::string>{"anderer Thread", "zurück"}));
    auto opens = driver.ShellOpens();
    ASSERT_EQ(opens.size(), 3u);
    EXPECT_EQ(opens[0].file, "C:\\Programme\\lernunterlage.pdf");
    EXPECT_EQ(opens[0].parameters, "-p");
    EXPECT_EQ(opens[0].directory, "C:\\Programme");
    EXPECT_TRUE(opens[0].minimized);
    EXPECT_EQ(opens[1].parameters, "");
    EXPECT_EQ(opens[1].directory, "");
    EXPECT_EQ(opens[2].file.size(), 255u);
}

} // namespace
