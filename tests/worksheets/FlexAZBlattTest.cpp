// The flex worksheet end to end and its entry dialog: a week entered in the window, each accepted
// edit one undo step and a cancelled one none, a CSV import shown in the plan grid, the window
// reopened without a stale editor; the dialog's rules for kinds, breaks, paid time, overlaps,
// "24" hours and a missing date.
#include "worksheets/Arbeitsblatt.h"

#include "core/Files.h"
#include "core/Projektmanager.h"
#include "platform/fw/FwWindow.h"
#include "platform/headless/HeadlessDriver.h"
#include "platform/values/Date.h"
#include "plans/AZPData.h"
#include "plans/FlexAZ.h"
#include "worksheets/FlexAZBlattWindow.h"
#include "worksheets/FlexAZEditor.h"
#include "worksheets/FlexzeitDialog.h"
#include "ScratchProjectSupport.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

const int32_t kMonday = int32_t(DateFromParts(2024, 1, 1));
const char* const kDialog = "Arbeitszeiten-Eintrag bearbeiten";

class FlexAZBlattTest : public ScratchProject {
protected:
    FlexAZBlattTest() : ScratchProject(ARBEITSBLATT_FLEX) {}

    void TearDown() override
    {
        if (w_ && driver.FindWindow("Flex-Arbeitszeitblatt")) {
            driver.Close(w_);
        }
        driver.WaitEnd();
        ScratchProject::TearDown();
    }
    static CArbeitsblatt& Sheet()
    {
        return *static_cast<CArbeitsblatt*>(GlobalProjektmanager.Projekt().GetArbeitsblatt(1));
    }
    std::vector<std::string> Entries()
    {
        Runtime::HostBaton baton;
        std::vector<std::string> out;
        const CFlexAZ& flex = Sheet().GetFlexAZ();
        for (long n = 1; n <= flex.Count(); ++n) {
            const QFLEXAZ& e = *flex.Entry(n);
            out.push_back(std::to_string(e.DATUM - kMonday) + " " + std::to_string(e.TERMIN.BEGINN / 60) + "-" +
                          std::to_string(e.TERMIN.ENDE / 60));
        }
        return out;
    }
    void OpenWindow()
    {
        driver.Start([] { Sheet().Open(); });
        w_ = driver.Window("Flex-Arbeitszeitblatt");
    }
    int NewEntryDialog()
    {
        driver.Focus(w_, FX_FLEX_LIST);
        driver.Press(w_, FX_INSERT);
        return driver.Window(kDialog);
    }
    void Fill(int d, const std::string& date, const std::string& from, const std::string& to)
    {
        if (!date.empty())
            driver.Type(d, driver.Control(d, "?TMPFLEX:DATUM"), date);
        driver.Type(d, driver.Control(d, "?BEGINN"), from);
        driver.Type(d, driver.Control(d, "?ENDE"), to);
    }
    bool CanUndo()
    {
        Runtime::HostBaton baton;
        return Sheet().GetFlexAZ().GetSavable().CanUndo(1);
    }

    HeadlessDriver driver;
    int w_ = 0;
};

TEST_F(FlexAZBlattTest, AWeekIsEnteredImportedAndShownInThePlanGrid)
{
    OpenWindow();
    EXPECT_FALSE(driver.Disabled(w_, FX_INSERT));
    EXPECT_TRUE(driver.Disabled(w_, FX_CHANGE)) << "nothing to change yet";
    EXPECT_TRUE(driver.Disabled(w_, FX_CUT));

    // Monday, then Tuesday to Friday: each new entry starts from the last one a day later.
    int d = NewEntryDialog();
    Fill(d, "01.01.2024", "08:00", "16:00");
    driver.Press(d, "?OK");
    for (int day = 2; day <= 5; ++day) {
        d = NewEntryDialog();
        EXPECT_EQ(driver.Text(d, driver.Control(d, "?BEGINN")), "08:00");
        driver.Press(d, "?OK");
    }
    EXPECT_EQ(Entries(), (std::vector<std::string>{"0 8-16", "1 8-16", "2 8-16", "3 8-16", "4 8-16"}));
    EXPECT_EQ(driver.RowCount(w_, FX_AZP_LIST), 1) << "one week, one row";

    // A cancelled entry stores no step: one undo takes back Friday.
    d = NewEntryDialog();
    driver.Press(d, "?CANCEL");
    {
        Runtime::HostBaton baton;
        ASSERT_EQ(Sheet().GetFlexAZ().GetSavable().Undo(1), STORE_DONE);
    }
    EXPECT_EQ(Entries().size(), 4u);
    {
        Runtime::HostBaton baton;
        ASSERT_EQ(Sheet().GetFlexAZ().GetSavable().Redo(1), STORE_DONE);
    }

    // Changing the selected entry (Enter on the list) is one step too.
    driver.Focus(w_, FX_FLEX_LIST);
    driver.ChooseRow(w_, FX_FLEX_LIST, 2);
    driver.Key(w_, FX_FLEX_LIST, Key::ENTER);
    d = driver.Window(kDialog);
    driver.Type(d, driver.Control(d, "?BEGINN"), "06:00");
    driver.Type(d, driver.Control(d, "?ENDE"), "14:00");
    driver.Press(d, "?OK");
    EXPECT_EQ(Entries()[1], "1 6-14");

    // The import replaces the plan; the grid shows three weeks from the first Monday.
    const std::string csv = dir_ + "/flex.csv";
    std::ofstream(csv, std::ios::binary) << "02.01.2024;22:00;06:00;1\r\n10.01.2024;07:00;15:00;1\r\n"
                                            "21.01.2024;09:00;13:00;3\r\n";
    driver.ChooseMenu(w_, "Datei|Importieren|Flex. Arbeitszeiten");
    ASSERT_TRUE(driver.HasMessage());
    EXPECT_EQ(driver.Message().caption, "bestehende Einträge werden überschrieben");
    driver.AnswerMessage(BUTTON_YES);
    driver.AnswerFileDialog(csv);
    EXPECT_FALSE(driver.HasMessage());
    EXPECT_EQ(Entries(), (std::vector<std::string>{"1 22-30", "9 7-15", "20 9-13"}));
    ASSERT_EQ(driver.RowCount(w_, FX_AZP_LIST), 3);
    EXPECT_EQ(driver.Cell(w_, FX_AZP_LIST, 1, 1), "(1)01.01.-07.01.");
    EXPECT_EQ(driver.Cell(w_, FX_AZP_LIST, 3, 1), "(3)15.01.-21.01.");
    EXPECT_EQ(driver.RowCount(w_, FX_FLEX_LIST), 3);
    EXPECT_EQ(driver.Cell(w_, FX_FLEX_LIST, 1, 3), "normal");
    EXPECT_EQ(driver.Cell(w_, FX_FLEX_LIST, 3, 3), "Bereitschaft");

    // Delete takes one entry away, one step; undo brings it back.
    driver.ChooseRow(w_, FX_FLEX_LIST, 3);
    driver.Focus(w_, FX_FLEX_LIST);
    driver.Press(w_, FX_DELETE);
    EXPECT_EQ(Entries().size(), 2u);
    EXPECT_EQ(driver.RowCount(w_, FX_AZP_LIST), 2);
    driver.Press(w_, FX_UNDO);
    EXPECT_EQ(Entries().size(), 3u);
    EXPECT_EQ(driver.RowCount(w_, FX_AZP_LIST), 3);
}

TEST_F(FlexAZBlattTest, AReopenedWindowBindsAFreshEditor)
{
    OpenWindow();
    int d = NewEntryDialog();
    Fill(d, "03.01.2024", "08:00", "12:00");
    driver.Press(d, "?OK");
    driver.Close(w_);
    driver.WaitIdle();
    {
        Runtime::HostBaton baton;
        EXPECT_EQ(Sheet().GetFlexEditor(), nullptr) << "the worksheet's reset drops the flex editor";
    }
    OpenWindow();
    EXPECT_EQ(driver.RowCount(w_, FX_FLEX_LIST), 1);
    d = NewEntryDialog();
    driver.Press(d, "?OK");
    EXPECT_EQ(Entries(), (std::vector<std::string>{"2 8-12", "3 8-12"}));
}

TEST_F(FlexAZBlattTest, ThePanesShareTheWindowTwoToThreeAndACollapsedOneKeepsItsBar)
{
    OpenWindow();
    auto height = [&](int list) { return driver.Property(w_, list, Prop::Height).Int(); };
    auto top = [&](int control) { return driver.Property(w_, control, Prop::Ypos).Int(); };
    const long long entries = height(FX_FLEX_LIST), plan = height(FX_AZP_LIST);
    ASSERT_GT(entries, 0);
    EXPECT_NEAR(double(entries) / double(entries + plan), 0.4, 0.01);
    EXPECT_EQ(top(FX_AZP_TITLE), top(FX_FLEX_LIST) + entries) << "the plan's title right below the entries";
    // The splitter lies over the bottom of the entries' list.
    EXPECT_FALSE(driver.Hidden(w_, FX_SPLITTER));
    EXPECT_EQ(top(FX_SPLITTER) + driver.Property(w_, FX_SPLITTER, Prop::Height).Int(), top(FX_AZP_TITLE));

    driver.Press(w_, FX_FLEX_HIDE);
    EXPECT_TRUE(driver.Hidden(w_, FX_SPLITTER));
    EXPECT_TRUE(driver.Hidden(w_, FX_FLEX_LIST));
    EXPECT_FALSE(driver.Hidden(w_, FX_FLEX_BAR_TEXT));
    EXPECT_EQ(height(FX_AZP_LIST), entries + plan) << "the open pane takes the room";
    EXPECT_LT(top(FX_FLEX_BAR), top(FX_AZP_TITLE));

    driver.Press(w_, FX_FLEX_SHOW);
    EXPECT_FALSE(driver.Hidden(w_, FX_FLEX_LIST));
    EXPECT_EQ(height(FX_FLEX_LIST), entries);
}

TEST_F(FlexAZBlattTest, TheOverallRatingNamesThePeriodThePlanGridShows)
{
    OpenWindow();
    int d = NewEntryDialog();
    Fill(d, "03.01.2024", "08:00", "16:00");
    driver.Press(d, "?OK");
    d = NewEntryDialog();
    Fill(d, "10.01.2024", "08:00", "16:00");
    driver.Press(d, "?OK");
    driver.ChooseMenu(w_, "Arbeitszeitplan|Gesamtbewertung anzeigen");
    const int overall = driver.Window("Gesamtbewertung AZP");
    // The two weeks from the first entry's Monday.
    EXPECT_FALSE(driver.Hidden(overall, driver.Control(overall, "?Von")));
    EXPECT_EQ(driver.Text(overall, driver.Control(overall, "?Von")), "01.01.2024");
    EXPECT_EQ(driver.Text(overall, driver.Control(overall, "?Bis")), "14.01.2024");
    driver.Press(overall, "?Schliessen");
}

// The toolbar buttons reach their commands: the dialogs' buttons directly, the print button by way
// of its menu item. (The tree parts' dialogs open through the project manager, which the keys test
// of the running program covers.)
TEST_F(FlexAZBlattTest, TheToolbarButtonsRunTheirCommands)
{
    OpenWindow();
    const int d = NewEntryDialog();
    Fill(d, "03.01.2024", "08:00", "16:00");
    driver.Press(d, "?OK");
    const struct {
        int button;
        const char* window;
    } cases[] = {
        {FX_NOTIZEN_BUTTON, "Notiz bearbeiten"},
        {FX_ZEITRAUM_BUTTON, "Darstellungszeitraum ändern"},
    };
    for (const auto& c : cases) {
        driver.Press(w_, c.button);
        const int dialog = driver.FindWindow(c.window);
        EXPECT_NE(dialog, 0) << c.window;
        if (dialog != 0)
            driver.Close(dialog);
    }
    const size_t printed = driver.Prints().size();
    driver.Press(w_, FX_PRINT_BUTTON);
    EXPECT_EQ(driver.Prints().size(), printed + 1);
}

// ---- the entry dialog ------------------------------------------------------------------------------

class FlexzeitDialogTest : public ::testing::Test {
protected:
    void Open(const CFlexSchicht& start)
    {
        entry = start;
        driver.Start([this] { response = UpdateFlexzeit(plan, entry); });
        d = driver.Window(kDialog);
    }
    int C(const std::string& name) { return driver.Control(d, name); }
    std::string Shown(const std::string& name) { return driver.Text(d, C(name)); }
    // OK, then the captions of the messages it gave (each answered).
    std::vector<std::string> Ok()
    {
        driver.Press(d, "?OK");
        std::vector<std::string> captions;
        while (driver.HasMessage()) {
            captions.push_back(driver.Message().caption);
            driver.AnswerMessage(BUTTON_OK);
        }
        return captions;
    }
    static CFlexSchicht Entry(int32_t date, uint32_t from, uint32_t to)
    {
        CFlexSchicht s;
        s.Clear();
        s.DATUM = date;
        s.TERMIN = {from, to > from ? to : to + 1440};
        return s;
    }
    HeadlessDriver driver;
    CFlexAZ plan;
    CFlexSchicht entry;
    int response = 0;
    int d = 0;
};

TEST_F(FlexzeitDialogTest, KindPaidTimeAndBreaks)
{
    CFlexSchicht start = Entry(kMonday, 8 * 60, 16 * 60);
    start.PAUSEN[0] = {180, 30, 0};
    Open(start);
    // Another kind clears the breaks and locks them; back to normal they stay empty.
    driver.ChooseRow(d, C("?SCHICHTART"), 2);
    EXPECT_TRUE(driver.Disabled(d, C("?PAUSELAGE_1")));
    EXPECT_EQ(Shown("?PAUSELAGE_1"), "");
    driver.ChooseRow(d, C("?SCHICHTART"), 1);
    EXPECT_FALSE(driver.Disabled(d, C("?PAUSELAGE_1")));
    EXPECT_EQ(Shown("?PAUSEDAUER_1"), "");

    // 07:30 paid with 30 unpaid minutes of break: the end moves to begin + 8 hours.
    driver.Type(d, C("?PAUSELAGE_1"), "11:00");
    driver.Type(d, C("?PAUSEDAUER_1"), "30");
    driver.Type(d, C("?BEZAHLTEAZ"), "07:30");
    EXPECT_EQ(Shown("?ENDE"), "16:00");
    driver.Type(d, C("?BEGINN"), "07:00");
    driver.Type(d, C("?BEZAHLTEAZ"), "07:30");
    EXPECT_EQ(Shown("?ENDE"), "15:00");
    // "24:00" as paid time is 24 hours, not midnight.
    driver.Type(d, C("?BEZAHLTEAZ"), "24:00");
    EXPECT_EQ(Shown("?ENDE"), "07:30");
    EXPECT_EQ(Shown("?BEZAHLTEAZ"), "24:00");
    driver.Type(d, C("?BEZAHLTEAZ"), "07:30");
    EXPECT_TRUE(Ok().empty());
    EXPECT_EQ(response, RESPONSE_COMPLETED);
    EXPECT_EQ(entry.TERMIN, (TERMIN{7 * 60, 15 * 60}));
    EXPECT_EQ(entry.PAUSEN[0], (PAUSE{180, 30, 0})) << "the break moved with the begin";
}

TEST_F(FlexzeitDialogTest, TwentyFourHoursInATimeOfDayIsMidnight)
{
    Open(Entry(kMonday, 8 * 60, 16 * 60));
    {
        Runtime::HostBaton baton;
        PropertySet(d, C("?BEGINN"), Prop::ScreenText, PropValue("24:30"), 0);
    }
    driver.Key(d, C("?BEGINN"), Key::TAB);
    EXPECT_EQ(Shown("?BEGINN"), "00:30");
    {
        Runtime::HostBaton baton;
        PropertySet(d, C("?BEZAHLTEAZ"), Prop::ScreenText, PropValue("24:00"), 0);
    }
    driver.Key(d, C("?BEZAHLTEAZ"), Key::TAB);
    EXPECT_EQ(Shown("?BEZAHLTEAZ"), "24:00") << "a duration keeps its 24 hours";
    driver.Press(d, "?CANCEL");
    EXPECT_EQ(response, RESPONSE_CANCELLED);
}

struct RefusalCase {
    const char* name;
    std::vector<std::pair<const char*, const char*>> typed;   // field, text in this order
    std::vector<std::string> captions;                        // messages on OK
    const char* focus;                                        // the field OK leaves the focus in
};

TEST_F(FlexzeitDialogTest, OkRefusesWhatCannotStand)
{
    const std::vector<RefusalCase> cases = {
        {"Pause reicht über das Ende", {{"?PAUSELAGE_1", "15:30"}, {"?PAUSEDAUER_1", "60"}}, {}, "?PAUSELAGE_1"},
        {"Pausen überschneiden sich",
         {{"?PAUSELAGE_1", "10:00"}, {"?PAUSEDAUER_1", "60"}, {"?PAUSELAGE_2", "10:30"}, {"?PAUSEDAUER_2", "15"}},
         {"Pausenzeiten überprüfen"}, nullptr},
        {"Nachtschicht trifft den Folgetag", {{"?BEGINN", "22:00"}, {"?ENDE", "06:00"}}, {"Arbeitszeiten überprüfen"},
         nullptr},
        {"Datum fehlt", {{"?TMPFLEX:DATUM", ""}}, {"Datum fehlt"}, "?TMPFLEX:DATUM"},
    };
    plan.Add(Entry(kMonday + 1, 5 * 60, 13 * 60));
    for (const RefusalCase& c : cases) {
        SCOPED_TRACE(c.name);
        Open(Entry(kMonday, 8 * 60, 16 * 60));
        for (auto [field, text] : c.typed)
            driver.Type(d, C(field), text);
        EXPECT_EQ(Ok(), c.captions);
        ASSERT_NE(driver.FindWindow(kDialog), 0) << "the window stays open";
        if (c.focus) {
            EXPECT_EQ(driver.Property(d, 0, Prop::Focus).Int(), C(c.focus));
        }
        driver.Press(d, "?CANCEL");
        driver.WaitEnd();
        EXPECT_EQ(response, RESPONSE_CANCELLED);
        EXPECT_EQ(entry.TERMIN, (TERMIN{8 * 60, 16 * 60})) << "a cancelled dialog leaves the entry";
    }
}

} // namespace
