#include "core/IniFile.h"

#include "platform/values/Locale.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <iterator>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class IniFileTest : public testing::Test {
protected:
    void SetUp() override
    {
        const char* data = std::getenv("VARN_DATA_DIR");
        ASSERT_NE(data, nullptr) << "VARN_DATA_DIR is not set";
        std::string error;
        ASSERT_TRUE(Locale::Load(std::string(data) + "/deutsch.env", &error)) << error;
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() / ("varn-inifile-" + std::to_string(::getpid()) + "-" + info->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        file_ = (dir_ / "varn4.ini").string();
        ini_.Setup(file_);
    }
    void TearDown() override
    {
        ini_.Teardown();
        fs::remove_all(dir_);
    }

    std::string Text() const
    {
        std::ifstream in(file_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void SetText(const std::string& text) const { std::ofstream(file_, std::ios::binary) << text; }

    fs::path dir_;
    std::string file_;
    CIniFile ini_;
};

struct Row {
    std::string name;
    std::string note;
    long count = 0;
};

TEST_F(IniFileTest, QueueRowsSurviveCommasAndLineBreaks)
{
    Queue<Row> rows;
    QueueAdd(rows, Row{"a,b", "x\r\ny", 7});
    QueueAdd(rows, Row{"plain  ", "", 0});
    QueueAdd(rows, Row{"°!°", "1,2,3", -4});
    const auto out = IniFields(rows, &Row::name, &Row::note, &Row::count);
    ini_.SaveQueue("Test", "Rows", out);
    EXPECT_EQ(Text(), "[Test]\nRows=3\nRows_1=a°!°b,x$$y,7\nRows_2=plain,,0\nRows_3=°!°,1°!°2°!°3,-4\n");

    Queue<Row> back;
    QueueAdd(back, Row{"kept", "", 1});  // restoring appends
    auto in = IniFields(back, &Row::name, &Row::note, &Row::count);
    ini_.RestoreQueue("test", "ROWS", in);
    ASSERT_EQ(QueueRecords(back), 4u);
    EXPECT_EQ(QueueGet(back, 1)->name, "kept");
    EXPECT_EQ(QueueGet(back, 2)->name, "a,b");
    EXPECT_EQ(QueueGet(back, 2)->note, "x\r\ny");
    EXPECT_EQ(QueueGet(back, 2)->count, 7);
    EXPECT_EQ(QueueGet(back, 3)->name, "plain");  // trailing blanks are not stored
    EXPECT_EQ(QueueGet(back, 3)->note, "");
    EXPECT_EQ(QueueGet(back, 4)->name, ",");       // a "°!°" of its own comes back as a comma
    EXPECT_EQ(QueueGet(back, 4)->note, "1,2,3");
    EXPECT_EQ(QueueGet(back, 4)->count, -4);
}

TEST_F(IniFileTest, FetchingFieldsOfARow)
{
    SetText("[S]\nk=1,2\nl=a°!°b,x$$y\n");
    const struct {
        const char* key;
        int n;
        const char* field;
        const char* required;
    } cases[] = {
        {"k", 0, "1", "1"},   {"k", 1, "1", "1"},  {"k", 2, "2", "2"},
        {"k", 3, "", ""},     {"l", 1, "a,b", "a,b"}, {"l", 2, "x\r\ny", "x\r\ny"},
        {"missing", 1, "", "---Unknown---"}, {"missing", 2, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.key << " " << c.n);
        EXPECT_EQ(ini_.FetchField("S", c.key, c.n), c.field);
        EXPECT_EQ(ini_.FetchRequiredField("S", c.key, c.n), c.required);
    }
}

TEST_F(IniFileTest, RestoringTrustsTheCountOnlyAsFarAsTheRowsGo)
{
    Queue<Row> rows;
    auto in = IniFields(rows, &Row::name, &Row::note);
    SetText("[S]\nR=abc\nR_1=x,y\n");
    ini_.RestoreQueue("S", "R", in);
    EXPECT_EQ(QueueRecords(rows), 0u);  // a count that is not a number is 0

    // Only rows the file holds are read: a gap is no row, nor is a row beyond the count.
    SetText("[S]\nR=5\nR_1=a,b\nR_2=c,d\nR_4=e,f\nR_6=g,h\n");
    ini_.RestoreQueue("S", "R", in);
    ASSERT_EQ(QueueRecords(rows), 3u);
    EXPECT_EQ(QueueGet(rows, 2)->note, "d");
    EXPECT_EQ(QueueGet(rows, 3)->note, "f");

    QueueFree(rows);
    SetText("[S]\nR=2000000000\nR_1=a,b\nr_2=c,d\n");
    ini_.RestoreQueue("S", "R", in);  // ends at once instead of running for ever
    EXPECT_EQ(QueueRecords(rows), 2u);
}

// Settings files whose bookkeeping list claims a row far away and holds only that one: start-up
// reads the one row, shut-down writes back one row, both at once. The second claims more rows
// than a 32-bit number holds.
TEST_F(IniFileTest, ABookkeepingListThatClaimsARowFarAwayReadsWhatIsThere)
{
    const char* data = std::getenv("VARN_DATA_DIR");
    std::ifstream in(std::filesystem::path(data ? data : "data") / ".." / "tests" / "data" / "damaged" / "varn4.ini-stall");
    ASSERT_TRUE(in);
    const std::string fixtures[] = {
        std::string(std::istreambuf_iterator<char>(in), {}),
        "[__Dont_Touch_Me__]\nSectors=9999999999\nSectors_9999999999=x\n",
    };
    for (const std::string& text : fixtures) {
        SCOPED_TRACE(text);
        SetText(text);
        const auto start = std::chrono::steady_clock::now();
        CIniFile ini;
        ini.Setup(file_);
        ini.Teardown();
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
        EXPECT_NE(Text().find("Sectors=1\n"), std::string::npos);
        EXPECT_NE(Text().find("Sectors_1=x"), std::string::npos) << Text();
    }
}

TEST_F(IniFileTest, LongRowsAreCutToTheLimits)
{
    Queue<Row> rows;
    QueueAdd(rows, Row{std::string(2000, 'a'), std::string(2000, 'b'), 12345});
    ini_.SaveQueue("S", "R", IniFields(rows, &Row::name, &Row::note, &Row::count));
    EXPECT_NE(Text().find("R_1=" + std::string(2000, 'a') + "," + std::string(2000, 'b') + ",12345\n"),
              std::string::npos);
    QueueFree(rows);
    QueueAdd(rows, Row{std::string(6000, 'c'), "", 0});
    ini_.SaveQueue("S", "R", IniFields(rows, &Row::name));
    EXPECT_NE(Text().find("R_1=" + std::string(4999, 'c') + "\n"), std::string::npos);
    EXPECT_EQ(ini_.FetchField("S", "R_1", 1), std::string(999, 'c'));
}

TEST_F(IniFileTest, BookkeepingIsWrittenAtTeardown)
{
    ini_.Teardown();
    EXPECT_EQ(Text(), "[__Dont_Touch_Me__]\nSectors=0\n");

    SetText("[__Dont_Touch_Me__]\nSectors=1\nSectors_1=Fam,Item,Typ\n");
    ini_.Setup(file_);
    ASSERT_EQ(QueueRecords(*ini_.SECTORS), 1u);
    EXPECT_EQ(QueueGet(*ini_.SECTORS, 1)->TYPE, "Typ");
    ini_.Teardown();
    EXPECT_EQ(Text(), "[__Dont_Touch_Me__]\nSectors=1\nSectors_1=Fam,Item,Typ\n");
    EXPECT_EQ(ini_.SECTORS, nullptr);
}

TEST_F(IniFileTest, SettingsReadWithDefaultAreWrittenBack)
{
    // A fresh file after the optimiser has read its parameters.
    EXPECT_EQ(ini_.ReadAndWriteBack("AZP Optimierungsalgorithmus", "Tabudauer", 10L), 10);
    EXPECT_EQ(ini_.ReadAndWriteBack("AZP Optimierungsalgorithmus", "Rückschritte", 40L), 40);
    EXPECT_EQ(ini_.ReadAndWriteBack("AZP Optimierungsalgorithmus", "Randomity", 3L), 3);
    EXPECT_EQ(Text(), "[AZP Optimierungsalgorithmus]\nTabudauer=10\nRückschritte=40\nRandomity=3\n");

    SetText("[AZP Optimierungsalgorithmus]\nTabudauer=15\nRÜCKSCHRITTE=viele\n");
    EXPECT_EQ(ini_.ReadAndWriteBack("azp optimierungsalgorithmus", "Tabudauer", 10L), 15);
    EXPECT_EQ(ini_.ReadAndWriteBack("AZP Optimierungsalgorithmus", "Rückschritte", 40L), 0);  // not a number
    EXPECT_EQ(Text(), "[AZP Optimierungsalgorithmus]\nTabudauer=15\nRückschritte=0\n");
    EXPECT_EQ(ini_.ReadAndWriteBack("SBWizard", "Preserved-dt", "15"), "15");
    EXPECT_EQ(ini_.ReadOrEmpty("SBWizard", "Preserved-dt"), "15");
}

TEST_F(IniFileTest, ReadVariants)
{
    SetText("[S]\ntext=Wert\nnum=12\n");
    EXPECT_EQ(ini_.ReadOrEmpty("S", "none"), "");
    EXPECT_EQ(ini_.ReadOrUnknown("S", "none"), "---Unknown---");
    EXPECT_EQ(ini_.ReadOrUnknown("s", "TEXT"), "Wert");
    std::string text = "vorher";
    ini_.ReadInto("S", "none", text);
    EXPECT_EQ(text, "vorher");
    ini_.ReadInto("S", "text", text);
    EXPECT_EQ(text, "Wert");
    long n = 99;
    ini_.ReadInto("S", "none", n);
    EXPECT_EQ(n, 99);
    ini_.ReadInto("S", "num", n);
    EXPECT_EQ(n, 12);
    int i = 5;
    ini_.ReadInto("S", "text", i);
    EXPECT_EQ(i, 0);
    ini_.WriteKey("S", "num", "13");
    EXPECT_EQ(ini_.ReadOrEmpty("S", "num"), "13");
}

TEST_F(IniFileTest, WindowGeometryIsStoredAndRestored)
{
    WindowGeometry normal{10, 20, 640, 480};
    ini_.StoreWindowGeometry(normal, "UpdateArbeitsblatt");
    EXPECT_EQ(Text(), "[UpdateArbeitsblatt]\nMaximize=No\nXPos=10\nYPos=20\nHeight=480\nWidth=640\n");

    WindowGeometry restored{1, 2, 3, 4, true};
    ASSERT_TRUE(ini_.RestoreWindowGeometry(restored, "updatearbeitsblatt"));
    EXPECT_FALSE(restored.maximized);
    EXPECT_EQ(restored.x, 10);
    EXPECT_EQ(restored.y, 20);
    EXPECT_EQ(restored.width, 640);
    EXPECT_EQ(restored.height, 480);

    // Closed maximised: only the flag; the old position stays in the file.
    WindowGeometry maximized = normal;
    maximized.maximized = true;
    maximized.x = 99;
    ini_.StoreWindowGeometry(maximized, "UpdateArbeitsblatt");
    EXPECT_EQ(Text(), "[UpdateArbeitsblatt]\nMaximize=Yes\nXPos=10\nYPos=20\nHeight=480\nWidth=640\n");
    WindowGeometry opened;
    ASSERT_TRUE(ini_.RestoreWindowGeometry(opened, "UpdateArbeitsblatt"));
    EXPECT_TRUE(opened.maximized);
    EXPECT_EQ(opened.x, 0);

    // Closed iconised: nothing is written.
    WindowGeometry iconized = normal;
    iconized.iconized = true;
    iconized.x = 500;
    ini_.StoreWindowGeometry(iconized, "UpdateArbeitsblatt");
    EXPECT_EQ(Text(), "[UpdateArbeitsblatt]\nMaximize=Yes\nXPos=10\nYPos=20\nHeight=480\nWidth=640\n");
}

TEST_F(IniFileTest, GeometryRulesForFixedSizesAndGaps)
{
    WindowGeometry dialog{30, 40, 200, 100};
    dialog.resizable = false;
    ini_.StoreWindowGeometry(dialog, "UpdateFlexzeit");
    EXPECT_EQ(Text(), "[UpdateFlexzeit]\nMaximize=No\nXPos=30\nYPos=40\n");

    WindowGeometry untouched{7, 8, 9, 10};
    EXPECT_FALSE(ini_.RestoreWindowGeometry(untouched, "Main"));  // no "Maximize": nothing restored
    EXPECT_EQ(untouched.x, 7);

    SetText("[Main]\nMaximize=yes\n[A]\nMaximize=No\n[B]\nMaximize=No\nXPos=5\nYPos=6\n");
    EXPECT_FALSE(ini_.RestoreWindowGeometry(untouched, "Main"));  // only "Yes" and "No" count
    ASSERT_TRUE(ini_.RestoreWindowGeometry(untouched, "A"));     // no position: only the flag
    EXPECT_EQ(untouched.x, 7);
    ASSERT_TRUE(ini_.RestoreWindowGeometry(untouched, "B"));
    EXPECT_EQ(untouched.x, 5);
    EXPECT_EQ(untouched.y, 6);
    EXPECT_EQ(untouched.width, 9);  // no stored size: the window keeps its own
    EXPECT_EQ(untouched.height, 10);
}

TEST_F(IniFileTest, MissingOrUnwritableFileGivesDefaults)
{
    CIniFile ini;
    ini.Setup((dir_ / "no" / "such" / "dir" / "varn4.ini").string());
    EXPECT_EQ(ini.ReadValue("S", "k", "dflt"), "dflt");
    ini.WriteValue("S", "k", "v");  // lost without a message
    EXPECT_EQ(ini.ReadValue("S", "k", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadAndWriteBack("S", "n", 3L), 3);
    ini.Teardown();
    EXPECT_FALSE(fs::exists(dir_ / "no"));

    CIniFile unset;  // before set-up
    EXPECT_EQ(unset.ReadValue("S", "k", "d"), "d");
    unset.WriteValue("S", "k", "v");
}

TEST_F(IniFileTest, GlobalObjectWorksLikeAnyOther)
{
    GlobalIni.Setup(file_);
    GlobalIni.WriteKey("Kriteriengewichtung", "Kriterium 3", "2");
    EXPECT_EQ(GlobalIni.ReadOrEmpty("KRITERIENGEWICHTUNG", "kriterium 3"), "2");
    GlobalIni.Teardown();
    EXPECT_NE(Text().find("[__Dont_Touch_Me__]\nSectors=0\n"), std::string::npos);
}

} // namespace
