#pragma once
// The whole program under the headless driver: a scratch program directory (the current
// directory) with the locale file and a configuration whose defaults tables hold a record, the
// tests' own worksheet class, ProgramMain on thread 1 and the shut-down once it has ended.
#include "ProjektTestSupport.h"

#include "core/Files.h"
#include "core/Frame.h"
#include "core/IniFile.h"
#include "core/Startup.h"
#include "platform/fw/FwFileManager.h"

#include <cstdlib>
#include <filesystem>
#include <string>

// Copies the locale file into the directory.
inline void InstallLocale(const std::string& dir)
{
    const char* data = std::getenv("VARN_DATA_DIR");
    ASSERT_NE(data, nullptr) << "VARN_DATA_DIR";
    std::filesystem::copy_file(std::filesystem::path(data) / "deutsch.env", std::filesystem::path(dir) / "deutsch.env",
                               std::filesystem::copy_options::overwrite_existing);
}

// A varn4.cfg whose four defaults tables hold one empty record each (no notices at start-up).
inline void InstallConfig(const std::string& dir)
{
    InitFileAccess();
    NameProgramFiles(dir);
    for (FwFileManager* a : {Access::KRIDEFAULT, Access::RBDEFAULT, Access::RBWARN, Access::RBFEHLER}) {
        ASSERT_EQ(a->Open(), 0);
        a->File()->Clear();
        ASSERT_EQ(a->Insert(), 0);
        a->Close();
    }
    ReleaseFileAccess();
}

class ProgramTest : public ProjektDir {
protected:
    void SetUp() override
    {
        ProjektDir::SetUp();
        InstallLocale(dir_);
        InstallConfig(dir_);
        SetFrameWindows({});
    }

    void TearDown() override
    {
        EndProgram();
        SetFrameWindows({});
        ProjektDir::TearDown();
    }

    // ProgramMain on thread 1; returns with the welcome window open.
    void StartProgram()
    {
        driver.Start(ProgramMain);
        started = true;
        frame = driver.FindWindow("Varn 4");
    }

    // Closes what is open without questions and shuts the program down.
    void EndProgram()
    {
        if (!started)
            return;
        if (!driver.Ended()) {
            {
                Runtime::HostBaton b;
                if (GlobalProjektmanager.Projekt().IsOpen())
                    GlobalProjektmanager.Projekt().FileManager().ClearChanged();
            }
            if (int w = driver.FindWindow("Willkommen bei Varn-4"))
                driver.Close(w);
            if (frame && WindowExists(frame))
                driver.Close(frame);
            driver.WaitEnd();
        }
        ProgramShutdown();
        started = false;
    }

    // Presses a button of the message dialog with that caption.
    void Answer(const std::string& caption, const std::string& button)
    {
        int w = driver.Window(caption);
        driver.Press(w, button);
    }

    // The manager's tree with the project's row open.
    std::string ManagerRow(int64_t row)
    {
        OpenProjectRow(driver);
        int m = driver.Window("Projektmanager");
        return driver.Cell(m, driver.Control(m, "?Baum"), row, 1);
    }
    int64_t ManagerRows()
    {
        OpenProjectRow(driver);
        int m = driver.Window("Projektmanager");
        return driver.RowCount(m, driver.Control(m, "?Baum"));
    }

    HeadlessDriver driver;
    bool started = false;
    int frame = 0;
};
