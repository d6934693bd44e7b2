// The worksheet's CSV commands and its flex plan as a stored part: an import that replaced a part
// is exactly one undo step of it, a refused or cancelled one none; the flex plan is saved, loaded
// and duplicated with its worksheet.
#include "worksheets/Arbeitsblatt.h"

#include "core/Files.h"
#include "core/Projektmanager.h"
#include "platform/headless/HeadlessDriver.h"
#include "platform/values/Date.h"
#include "plans/AZPData.h"
#include "plans/FlexAZ.h"
#include "plans/Schichttypen.h"
#include "ScratchProjectSupport.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

const int32_t kMonday = int32_t(DateFromParts(2024, 1, 1));

class ArbeitsblattCSVTest : public ScratchProject {
protected:
    ArbeitsblattCSVTest() : ScratchProject(ARBEITSBLATT_FLEX) {}

    static CArbeitsblatt& Sheet(int i = 1)
    {
        return *static_cast<CArbeitsblatt*>(GlobalProjektmanager.Projekt().GetArbeitsblatt(i));
    }
    std::string File(const std::string& name, const std::string& bytes)
    {
        const std::string path = dir_ + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    // Runs a command as the user's thread, answering "Ja", the file dialog with `path` and every
    // notice; returns the captions shown.
    std::vector<std::string> Command(const std::function<void()>& command, const std::string& path)
    {
        std::vector<std::string> captions;
        HeadlessDriver driver;
        driver.Start(command);
        for (int guard = 0; guard < 20; ++guard) {
            if (driver.HasMessage()) {
                captions.push_back(driver.Message().caption);
                driver.AnswerMessage((driver.Message().buttonBits & BUTTON_YES) ? BUTTON_YES : BUTTON_OK);
            } else if (driver.HasFileDialog()) {
                driver.AnswerFileDialog(path);
            } else {
                break;
            }
        }
        driver.WaitEnd();
        return captions;
    }
};

TEST_F(ArbeitsblattCSVTest, AFlexImportIsOneStepAndARefusedOneNone)
{
    CArbeitsblatt& s = Sheet();
    ISavable& part = s.GetFlexAZ().GetSavable();
    const std::string good = File("gut.csv", "03.01.2024,08:00,16:00,1,\r\n01.01.2024,22:00,06:00,1,\r\n");
    const std::string bad = File("schlecht.csv", "03.01.2024,08:00,16:00,1,\r\nkein Datum,08:00,16:00,1,\r\n");

    EXPECT_TRUE(Command([&] { s.ImportFlexCSV(); }, good).empty());
    ASSERT_EQ(s.GetFlexAZ().Count(), 2);
    EXPECT_EQ(s.GetFlexAZ().Entry(1)->DATUM, kMonday) << "sorted";
    ASSERT_TRUE(part.CanUndo(1));

    // A refused file: told once, the plan and its steps as they were.
    EXPECT_EQ(Command([&] { s.ImportFlexCSV(); }, bad),
              (std::vector<std::string>{"bestehende Einträge werden überschrieben", "Dateiformat nicht kompatibel "}));
    EXPECT_EQ(s.GetFlexAZ().Count(), 2);
    EXPECT_FALSE(part.CanRedo(1));
    ASSERT_EQ(part.Undo(1), STORE_DONE);
    EXPECT_EQ(s.GetFlexAZ().Count(), 0) << "one undo step leads back to before the good import";
    EXPECT_FALSE(part.CanUndo(1));
}

TEST_F(ArbeitsblattCSVTest, ShiftTypeAndPlanImportsOnAWorksheet)
{
    GlobalProjektmanager.Projekt().AddArbeitsblatt(ARBEITSBLATT_AZ);
    CArbeitsblatt& s = Sheet(2);
    const std::string types = File("typen.csv", "normal,Früh,F,06:00,14:00,\r\nnormal,Spät,S,14:00,22:00,\r\n");
    const std::string plan = File("plan.csv", "F,F,F,F,F,,,S,S,S,S,S,,,\r\nS,S,S,S,S,,,F,F,F,F,F,,,\r\n");

    EXPECT_EQ(Command([&] { s.ImportAZPCSV(); }, plan), std::vector<std::string>{"keine Schichttypen vorhanden"});
    EXPECT_FALSE(s.GetAZP().GetSavable().CanUndo(1));

    EXPECT_TRUE(Command([&] { s.ImportSchichttypenCSV(); }, types).empty());
    EXPECT_EQ(s.GetSchichttypen().Count(), 2);
    EXPECT_TRUE(s.GetSchichttypen().GetSavable().CanUndo(1));

    EXPECT_TRUE(Command([&] { s.ImportAZPCSV(); }, plan).empty());
    EXPECT_EQ(s.GetAZP().CountGroups(), 2);
    EXPECT_EQ(s.GetBezugsrahmen(), 2) << "the weeks come from the file";
    EXPECT_EQ(s.GetAZP().GetCellSchicht(8, 1)->KURZBEZEICHNUNG, "S");
}

TEST_F(ArbeitsblattCSVTest, TheFlexPlanIsSavedLoadedAndDuplicated)
{
    CArbeitsblatt& s = Sheet();
    CFlexSchicht e;
    e.Clear();
    e.DATUM = kMonday + 4;
    e.TERMIN = {480, 960};
    e.PAUSEN[0] = {240, 30, 1};
    s.GetFlexAZ().Add(e);
    ASSERT_EQ(s.Save(), STORE_DONE);
    s.GetFlexAZ().Clear();
    ASSERT_EQ(s.Load(true), STORE_DONE);
    ASSERT_EQ(s.GetFlexAZ().Count(), 1);
    EXPECT_EQ(s.GetFlexAZ().Entry(1)->PAUSEN[0], (PAUSE{240, 30, 1}));

    GlobalProjektmanager.DuplicateArbeitsblatt(s);
    CArbeitsblatt& copy = Sheet(2);
    ASSERT_EQ(copy.GetFlexAZ().Count(), 1);
    EXPECT_EQ(copy.GetFlexAZ().Entry(1)->DATUM, kMonday + 4);
}

} // namespace
