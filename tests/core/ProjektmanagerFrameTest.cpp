// The frame's project controls follow whether the project manager holds a project.
#include <gtest/gtest.h>

#include "ProjektTestSupport.h"
#include "core/Frame.h"

namespace {

using ProjektFrameControls = ProjektDir;

TEST_F(ProjektFrameControls, TheFiveProjectControlsAreDisabledWithoutAProject)
{
    HeadlessDriver driver;
    driver.Start(Main);
    int f = driver.Window("Varn 4");
    if (int welcome = driver.FindWindow("Willkommen bei Varn-4")) driver.Close(welcome);
    const char* controls[] = {"?SAVE", "?FILESAVE", "?FILESAVEAS", "?FILECLOSE", "?PROJECT"};
    auto expectEnabled = [&](bool enabled) {
        for (const char* c : controls) EXPECT_EQ(!driver.Disabled(f, driver.Control(f, c)), enabled) << c;
    };
    expectEnabled(false);

    driver.ChooseMenu(f, "&Datei|Neu (AZP)");
    ASSERT_NE(driver.FindWindow("Projektmanager"), 0);
    expectEnabled(true);

    driver.ChooseMenu(f, "&Datei|Schließen");   // nothing changed: nothing is asked
    EXPECT_FALSE(driver.HasMessage());
    EXPECT_EQ(driver.FindWindow("Projektmanager"), 0);
    expectEnabled(false);

    driver.Close(f);
    driver.WaitEnd();
}

} // namespace
