// The generation wizards: where they start (remembered values, the smallest group count, the
// generator's group strength), how the pages are walked, the time limit with its 24-hour rule,
// what OK hands to the generator, and that the settings are written also after "Abbrechen".
#include "generation/AZWizard.h"
#include "generation/SBWizard.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "assessment/DefinitionsDialog.h"
#include "assessment/Definitionspool.h"
#include "core/Frame.h"
#include "core/IniFile.h"
#include "generation/AZPOptimizer.h"
#include "generation/SBPGenerator.h"
#include "platform/fw/FwWindow.h"
#include "platform/headless/HeadlessDriver.h"
#include "platform/ui/Window.h"
#include "platform/values/Picture.h"

namespace fs = std::filesystem;

namespace {

const std::string kAZTitle = "Arbeitszeitplan generieren";
const std::string kSBTitle = "Schichtbedarfsplan generieren";

// A settings file of the test's own and the real pictures (the time entry needs "@T7B").
class WizardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() /
              ("wizard_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
        GlobalIni.Setup((dir / "varn4.ini").string());
        SetPictureFunctions(
            [](const PropValue& v, const std::string& picture) {
                return v.IsText() ? FormatPicture(std::string_view(v.Str()), picture)
                                  : FormatPicture(static_cast<long long>(v.Int()), picture);
            },
            [](const std::string& text, const std::string& picture, PropValue& v) {
                PictureInput in = ParsePicture(text, picture);
                if (!in.ok)
                    return false;
                v = picture.find_first_of("sS") == 1 ? PropValue(in.text) : PropValue(in.Whole());
                return true;
            });
        LastResponse = 99;
    }
    void TearDown() override
    {
        CDefinitionspool::SetDialogProcedure({});
        SetPictureFunctions({}, {});
        GlobalIni.Teardown();
        std::error_code ec;
        fs::remove_all(dir, ec);
    }

    static std::string Setting(const char* section, const char* key) { return GlobalIni.ReadOrEmpty(section, key); }
    static void Remember(const char* section, const char* key, const std::string& v) { GlobalIni.WriteKey(section, key, v); }

    int Sheet(HeadlessDriver& d, int w) { return static_cast<int>(d.Property(w, 6, Prop::Selected).Int()); }
    bool PrevOn(HeadlessDriver& d, int w) { return !d.Disabled(w, d.Control(w, "?BUTTONPREV")); }
    bool NextOn(HeadlessDriver& d, int w) { return !d.Disabled(w, d.Control(w, "?BUTTONNEXT")); }
    void Next(HeadlessDriver& d, int w) { d.Press(w, "?BUTTONNEXT"); }

    fs::path dir;
    CAZPOptimizer optimizer;
    CSBPGenerator generator;
};

// ---- working-time plan ---------------------------------------------------------------------

TEST_F(WizardTest, GenerateStartsAtTheSmallestGroupCountAndHandsOverGroupsAndLimit)
{
    Remember("AZWizard", "Preserved-AnzahlGruppen", "9");
    HeadlessDriver d;
    d.Start([&] { AZWizard(optimizer, 6, nullptr, AZWIZARD_GENERATE, 240.0); });
    int w = d.Window(kAZTitle);
    int groups = d.Control(w, "?ANZAHLGRUPPEN");
    EXPECT_EQ(Sheet(d, w), 1);
    EXPECT_EQ(d.Text(w, groups), "6");
    EXPECT_EQ(d.Text(w, d.Control(w, "?WAZ")), "40,00");
    EXPECT_FALSE(PrevOn(d, w));
    EXPECT_TRUE(NextOn(d, w));
    // The weekly hours follow the count; the count cannot go below the smallest.
    d.Type(w, groups, "7");
    EXPECT_EQ(d.Text(w, d.Control(w, "?WAZ")), "34,29");
    d.Type(w, groups, "3");
    EXPECT_EQ(d.Text(w, groups), "6");
    d.Type(w, groups, "8");

    const bool prev[] = {true, true, true}, next[] = {true, true, false};
    for (int page = 2; page <= 4; ++page) {
        Next(d, w);
        SCOPED_TRACE(page);
        EXPECT_EQ(Sheet(d, w), page);
        EXPECT_EQ(PrevOn(d, w), prev[page - 2]);
        EXPECT_EQ(NextOn(d, w), next[page - 2]);
    }
    d.Press(w, "?BUTTONOK");
    d.WaitEnd();
    EXPECT_EQ(LastResponse, RESPONSE_COMPLETED);
    EXPECT_EQ(optimizer.GroupCount(0, true), 8);
    EXPECT_EQ(optimizer.Timeout(0, true), 60001);
    EXPECT_EQ(Setting("AZWizard", "Preserved-AnzahlGruppen"), "8");
    EXPECT_EQ(Setting("AZWizard", "Preserved-Timeout"), "60001");
}

TEST_F(WizardTest, OptimizeOpensOnThePoolPageAndChangesOnlyTheLimit)
{
    Remember("AZWizard", "Preserved-AnzahlGruppen", "9");
    optimizer.GroupCount(12);
    HeadlessDriver d;
    d.Start([&] { AZWizard(optimizer, 6, nullptr, AZWIZARD_OPTIMIZE, 240.0); });
    int w = d.Window(kAZTitle);
    EXPECT_EQ(Sheet(d, w), 2);
    EXPECT_FALSE(PrevOn(d, w));
    Next(d, w);
    EXPECT_TRUE(PrevOn(d, w));
    d.Type(w, d.Control(w, "?TIMEOUT"), "01:00");
    // Back to the pool's page is as far as it goes.
    d.Press(w, "?BUTTONPREV");
    EXPECT_EQ(Sheet(d, w), 2);
    EXPECT_FALSE(PrevOn(d, w));
    Next(d, w);
    Next(d, w);
    d.Press(w, "?BUTTONOK");
    d.WaitEnd();
    EXPECT_EQ(LastResponse, RESPONSE_COMPLETED);
    EXPECT_EQ(optimizer.GroupCount(0, true), 12);
    EXPECT_EQ(optimizer.Timeout(0, true), 360001);
    EXPECT_EQ(Setting("AZWizard", "Preserved-AnzahlGruppen"), "9");
}

TEST_F(WizardTest, CancelLeavesTheOptimiserButRemembersTheEntries)
{
    optimizer.Timeout(5);
    HeadlessDriver d;
    d.Start([&] { AZWizard(optimizer, 2, nullptr, AZWIZARD_GENERATE, 80.0); });
    int w = d.Window(kAZTitle);
    d.Type(w, d.Control(w, "?ANZAHLGRUPPEN"), "7");
    Next(d, w);
    Next(d, w);
    d.Type(w, d.Control(w, "?TIMEOUT"), "00:45");
    d.Press(w, "?BUTTONCANCEL");
    d.WaitEnd();
    EXPECT_EQ(LastResponse, RESPONSE_CANCELLED);
    EXPECT_EQ(optimizer.GroupCount(0, true), 0);
    EXPECT_EQ(optimizer.Timeout(0, true), 5);
    EXPECT_EQ(Setting("AZWizard", "Preserved-AnzahlGruppen"), "7");
    EXPECT_EQ(Setting("AZWizard", "Preserved-Timeout"), std::to_string(45 * 6000 + 1));
}

// An empty shift demand plan has no shifts on any day; the count still starts at one group, and
// a count beyond the spin box's range starts at its top.
TEST_F(WizardTest, SmallestGroupCountOutsideTheRange)
{
    struct Case {
        long smallest;
        const char* shown;
        const char* hours;
        long handed;
    };
    const Case cases[] = {{0, "1", "40,00", 1}, {-3, "1", "40,00", 1}, {300, "255", "0,16", 255}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.smallest);
        CAZPOptimizer opt;
        HeadlessDriver d;
        d.Start([&] { AZWizard(opt, c.smallest, nullptr, AZWIZARD_GENERATE, 40.0); });
        int w = d.Window(kAZTitle);
        EXPECT_EQ(d.Text(w, d.Control(w, "?ANZAHLGRUPPEN")), c.shown);
        EXPECT_EQ(d.Text(w, d.Control(w, "?WAZ")), c.hours);
        for (int page = 2; page <= 4; ++page)
            Next(d, w);
        d.Press(w, "?BUTTONOK");
        d.WaitEnd();
        EXPECT_EQ(opt.GroupCount(0, true), c.handed);
    }
}

// The limit as remembered and as typed: a limit of 24 hours or more turns round to 0 hours with
// the minutes kept, and 00:00 (or nothing) is no limit at all.
TEST_F(WizardTest, TimeLimitFromTheSettingsAndAsTyped)
{
    struct Case {
        const char* what;
        const char* remembered;   // nullptr: no key
        const char* shown;
        const char* typed;        // nullptr: nothing typed
        const char* after;        // the entry after Tab
        long handed;              // to the optimiser
        const char* written;
    };
    const Case cases[] = {
        {"no key: ten minutes", nullptr, "00:10", nullptr, "00:10", 60001, "60001"},
        {"empty key: ten minutes", "", "00:10", nullptr, "00:10", 60001, "60001"},
        {"not a number", "zehn", "00:10", nullptr, "00:10", 60001, "60001"},
        {"remembered", "120001", "00:20", nullptr, "00:20", 120001, "120001"},
        {"remembered none", "0", "", nullptr, "", 0, "0"},
        {"24:30 turns round", nullptr, "00:10", "24:30", "00:30", 30 * 6000 + 1, "180001"},
        {"24:00 is no limit", nullptr, "00:10", "24:00", "00:00", 0, "1"},
        {"emptied", nullptr, "00:10", "", "", 0, "0"},
        {"1:15", nullptr, "00:10", "01:15", "01:15", 75 * 6000 + 1, "450001"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.remembered)
            Remember("AZWizard", "Preserved-Timeout", c.remembered);
        else
            GlobalIni.WriteKey("AZWizard", "Preserved-Timeout", "");
        CAZPOptimizer opt;
        HeadlessDriver d;
        d.Start([&] { AZWizard(opt, 1, nullptr, AZWIZARD_GENERATE, 40.0); });
        int w = d.Window(kAZTitle);
        Next(d, w);
        Next(d, w);
        int limit = d.Control(w, "?TIMEOUT");
        EXPECT_EQ(d.Text(w, limit), c.shown);
        if (c.typed) {
            d.Focus(w, limit);
            d.Type(w, limit, c.typed);
            d.Key(w, limit, Key::TAB);
        }
        EXPECT_EQ(d.Text(w, limit), c.after);
        Next(d, w);
        d.Press(w, "?BUTTONOK");
        d.WaitEnd();
        EXPECT_EQ(opt.Timeout(0, true), c.handed);
        EXPECT_EQ(Setting("AZWizard", "Preserved-Timeout"), c.written);
    }
}

// ---- shift demand plan ---------------------------------------------------------------------

TEST_F(WizardTest, ShiftDemandWizardWalksFivePagesAndHandsOverGridLimitAndStrength)
{
    Remember("SBWizard", "Preserved-dt", "15");
    generator.GroupStrength(3);
    HeadlessDriver d;
    d.Start([&] { SBWizard(generator, nullptr); });
    int w = d.Window(kSBTitle);
    EXPECT_EQ(d.Text(w, d.Control(w, "?SCHICHTGRUPPENSTAERKE")), "3");
    EXPECT_FALSE(PrevOn(d, w));
    d.Type(w, d.Control(w, "?SCHICHTGRUPPENSTAERKE"), "55");
    EXPECT_EQ(d.Text(w, d.Control(w, "?SCHICHTGRUPPENSTAERKE")), "40");
    Next(d, w);
    int dt = d.Control(w, "?DT");
    EXPECT_EQ(d.RowCount(w, dt), 6);
    EXPECT_EQ(d.Cell(w, dt, 6, 1), "2 Stunden");
    EXPECT_EQ(d.Property(w, dt, Prop::Selected).Int(), 2);
    d.ChooseRow(w, dt, 6);
    Next(d, w);
    Next(d, w);
    EXPECT_EQ(Sheet(d, w), 4);
    EXPECT_TRUE(PrevOn(d, w));
    EXPECT_TRUE(NextOn(d, w));
    int limit = d.Control(w, "?TIMEOUT");
    EXPECT_EQ(d.Text(w, limit), "00:10");
    d.Focus(w, limit);
    d.Type(w, limit, "24:05");
    d.Key(w, limit, Key::SHIFT_TAB);
    EXPECT_EQ(d.Text(w, limit), "00:05");
    Next(d, w);
    EXPECT_EQ(Sheet(d, w), 5);
    EXPECT_FALSE(NextOn(d, w));
    d.Press(w, "?BUTTONOK");
    d.WaitEnd();
    EXPECT_EQ(LastResponse, RESPONSE_COMPLETED);
    EXPECT_EQ(generator.TimeGrid(0, true), 120);
    EXPECT_EQ(generator.Timeout(0, true), 5 * 6000 + 1);
    EXPECT_EQ(generator.GroupStrength(0, true), 40);
    EXPECT_EQ(Setting("SBWizard", "Preserved-dt"), "120");
    EXPECT_EQ(Setting("SBWizard", "Preserved-Timeout"), "30001");
}

TEST_F(WizardTest, ShiftDemandCancelKeepsTheGeneratorAndRemembersTheEntries)
{
    // A grid the list does not offer starts at one hour.
    Remember("SBWizard", "Preserved-dt", "45");
    generator.GroupStrength(2);
    generator.TimeGrid(30);
    HeadlessDriver d;
    d.Start([&] { SBWizard(generator, nullptr); });
    int w = d.Window(kSBTitle);
    d.Type(w, d.Control(w, "?SCHICHTGRUPPENSTAERKE"), "4");
    Next(d, w);
    int dt = d.Control(w, "?DT");
    EXPECT_EQ(d.Property(w, dt, Prop::Selected).Int(), 5);
    d.ChooseRow(w, dt, 1);
    d.Press(w, "?BUTTONCANCEL");
    d.WaitEnd();
    EXPECT_EQ(LastResponse, RESPONSE_CANCELLED);
    EXPECT_EQ(generator.GroupStrength(0, true), 2);
    EXPECT_EQ(generator.TimeGrid(0, true), 30);
    EXPECT_EQ(Setting("SBWizard", "Preserved-dt"), "10");
    EXPECT_EQ(Setting("SBWizard", "Preserved-Timeout"), "60001");
}

// ---- definitions pool ----------------------------------------------------------------------

TEST_F(WizardTest, PoolButtonOpensThePoolForItsKindOfGeneration)
{
    CDefinitionspool pool;
    std::vector<int> modes;
    CDefinitionspool::SetDialogProcedure([&](uint8_t mode, long, IDefinitionspoolOwner*) {
        modes.push_back(mode);
        return RESPONSE_CANCELLED;
    });
    {
        HeadlessDriver d;
        d.Start([&] { AZWizard(optimizer, 1, &pool, AZWIZARD_OPTIMIZE, 40.0); });
        int w = d.Window(kAZTitle);
        d.Press(w, "?BUTTONDEFPOOL");
        d.Press(w, "?BUTTONCANCEL");
        d.WaitEnd();
    }
    {
        HeadlessDriver d;
        d.Start([&] { SBWizard(generator, &pool); });
        int w = d.Window(kSBTitle);
        Next(d, w);
        Next(d, w);
        d.Press(w, "?BUTTONDEFPOOL");
        d.Press(w, "?BUTTONCANCEL");
        d.WaitEnd();
    }
    EXPECT_EQ(modes, (std::vector<int>{1, 2}));
}

TEST_F(WizardTest, PoolButtonOpensTheDefinitionsDialogOverTheWizard)
{
    CDefinitionspool pool;
    InstallDefinitionsDialog();
    {
        HeadlessDriver d;
        d.Start([&] { AZWizard(optimizer, 1, &pool, AZWIZARD_OPTIMIZE, 40.0); });
        int w = d.Window(kAZTitle);
        d.Press(w, "?BUTTONDEFPOOL");
        const int dialog = d.Window("Definitionspool");
        // Working-time plan settings only: the shift tab cannot be entered.
        EXPECT_TRUE(d.Disabled(dialog, d.Control(dialog, "Schichten")));
        EXPECT_FALSE(d.Disabled(dialog, d.Control(dialog, "Arbeitszeit")));
        d.Press(dialog, "Abbrechen");
        EXPECT_EQ(d.FindWindow("Definitionspool"), 0);
        d.Press(w, "?BUTTONCANCEL");
        d.WaitEnd();
    }
    {
        HeadlessDriver d;
        d.Start([&] { SBWizard(generator, &pool); });
        int w = d.Window(kSBTitle);
        Next(d, w);
        Next(d, w);
        d.Press(w, "?BUTTONDEFPOOL");
        const int dialog = d.Window("Definitionspool");
        // Shift generation only: the window opens on the shift tab.
        EXPECT_EQ(d.Property(dialog, d.Control(dialog, "?SHEET"), Prop::Selected).Int(), 6);
        EXPECT_TRUE(d.Disabled(dialog, d.Control(dialog, "Arbeitszeit")));
        d.Press(dialog, "Abbrechen");
        d.Press(w, "?BUTTONCANCEL");
        d.WaitEnd();
    }
}

TEST_F(WizardTest, WithoutAPoolItsButtonIsDisabled)
{
    HeadlessDriver d;
    d.Start([&] { AZWizard(optimizer, 1, nullptr, AZWIZARD_OPTIMIZE, 40.0); });
    int w = d.Window(kAZTitle);
    EXPECT_TRUE(d.Disabled(w, d.Control(w, "?BUTTONDEFPOOL")));
    d.Close(w);
    d.WaitEnd();
    EXPECT_EQ(LastResponse, RESPONSE_CANCELLED);
}

} // namespace
