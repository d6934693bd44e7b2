// The worksheet window: the stacking of its three panes, its menu items in step with their buttons,
// the reference period and printing, and a planner's main road through the window on the headless
// driver - a week of staff demand, the shift demand plan and the working-time plan generated through
// their wizards, the plan optimised, the quality value, an edit undone, the plan printed, the project
// saved, closed and opened again with the same plans.
#include "worksheets/ArbeitsblattWindow.h"
#include "worksheets/PaneStack.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "assessment/SchichttypDialoge.h"
#include "core/Files.h"
#include "core/MessageDialog.h"
#include "core/Projektmanager.h"
#include "core/Schicht.h"
#include "platform/headless/HeadlessDriver.h"
#include "platform/ui/Input.h"
#include "platform/ui/Events.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"
#include "platform/values/Locale.h"
#include "plans/AKBData.h"
#include "plans/AZPData.h"
#include "plans/SBPData.h"
#include "plans/Schichttypen.h"
#include "worksheets/Arbeitsblatt.h"

namespace {

// ---- pane layout ---------------------------------------------------------------------------------

struct LayoutCase {
    const char* what;
    bool hidden[3];
    int height;
    int listHeight[3];
};

TEST(PaneLayout, OpenPanesShareTheRoomCollapsedOnesKeepTheirTitle)
{
    // Title bars of 10; the open panes share height - 30 alike: each open pane, title and list,
    // is (height - 10 x collapsed panes) / open panes high.
    const LayoutCase cases[] = {
        {"all open: three equal panes", {false, false, false}, 231, {67, 67, 67}},
        {"shift demand collapsed: half of the rest each", {false, true, false}, 190, {80, 0, 80}},
        {"only the plan open", {true, true, false}, 130, {0, 0, 100}},
        {"all collapsed: three title bars", {true, true, true}, 300, {0, 0, 0}},
        {"no room at all", {false, false, false}, 20, {0, 0, 0}},
        {"rounding goes to the last open pane", {false, false, false}, 37, {2, 2, 3}},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.what);
        const PaneLayout l = LayoutPanes(5, c.height, c.hidden, 10);
        int y = 5;
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(l.listHeight[i], c.listHeight[i]) << i;
            // Stacked from the top without gaps or overlaps.
            EXPECT_EQ(l.top[i], y) << i;
            EXPECT_EQ(l.listTop[i], y + 10) << i;
            y = l.listTop[i] + l.listHeight[i];
        }
    }
}

// ---- the window on the headless driver -------------------------------------------------------------

class WorksheetWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string t = (std::filesystem::temp_directory_path() / "varnfensterXXXXXX").string();
        ASSERT_NE(::mkdtemp(t.data()), nullptr);
        dir = t;
        const char* installed = std::getenv("VARN_INSTALL_DIR");
        ASSERT_NE(installed, nullptr);
        previous = std::filesystem::current_path();
        for (const char* file : {"varn4.cfg", "eba.cfg", "deutsch.env"})
            std::filesystem::copy_file(std::filesystem::path(installed) / file, std::filesystem::path(dir) / file);
        std::filesystem::current_path(dir);
        Locale::Load("deutsch.env");
        InitFileAccess();
        NameProgramFiles(dir);
        RegisterArbeitsblatt();
        InstallSchichttypDialoge();
    }
    void TearDown() override
    {
        // The windows go first (the worksheet's closes its inspectors), then the project.
        for (int round = 0; round < 10 && !driver.Windows().empty(); ++round) {
            if (driver.HasMessage())
                driver.AnswerMessage(1);
            else
                driver.Close(driver.Windows().back());
        }
        if (projekt().IsOpen())
            projekt().Close();
        ReleaseFileAccess();
        SetArbeitsblattFactory(nullptr);
        if (!previous.empty())
            std::filesystem::current_path(previous);
        if (!dir.empty())
            std::filesystem::remove_all(dir);
    }
    static CProjekt& projekt() { return GlobalProjektmanager.Projekt(); }
    static CArbeitsblatt& sheet() { return *static_cast<CArbeitsblatt*>(projekt().GetArbeitsblatt(1)); }

    // A new project whose worksheet has early, late and night shifts; `fill` adds what a case needs.
    void NewProject(const std::function<void(CArbeitsblatt&)>& fill = {})
    {
        driver.Start([fill] {
            projekt().New(ARBEITSBLATT_AZ);
            CArbeitsblatt& s = sheet();
            const char* names[3][2] = {{"Frühschicht", "F"}, {"Spätschicht", "S"}, {"Nachtschicht", "N"}};
            for (int i = 0; i < 3; ++i) {
                CSchicht shift;
                shift.Clear();
                shift.ART = ART_NORMAL;
                shift.BEZEICHNUNG = names[i][0];
                shift.KURZBEZEICHNUNG = names[i][1];
                const uint32_t from = uint32_t(6 + 8 * i) * 60;
                shift.TERMIN = {from, from + 480};
                shift.ClassifyLageByStart();
                s.GetSchichttypen().AddSchicht(shift, true);
            }
            s.GetSBP().SyncSchichttypen();
            if (fill)
                fill(s);
            s.GetSchichttypen().GetSavable().StoreStep();
            s.GetSBP().GetSavable().StoreStep();
            s.GetAZP().GetSavable().StoreStep();
            s.GetAKB().GetSavable().StoreStep();
            s.Open();
        });
        win = driver.Window("Arbeitszeitblatt");
    }

    // Answers every message with its first button, closes the message windows, and lets the
    // progress window's clock run until no calculation is left; the captions met on the way.
    std::vector<std::string> RunToEnd()
    {
        std::vector<std::string> captions;
        for (int round = 0; round < 2000; ++round) {
            if (driver.HasMessage()) {
                captions.push_back(driver.Message().caption);
                driver.AnswerMessage(1);
                continue;
            }
            const int dialog = driver.Windows().back();
            const std::string title = driver.Title(dialog);
            if (title == "Berechnung läuft...") {
                driver.AdvanceTime(100);
                continue;
            }
            if (dialog == win || title.ends_with("generieren"))
                break;
            captions.push_back(title);
            driver.Close(dialog);
        }
        return captions;
    }

    // Through the wizard's pages to its last, then its start button.
    void FinishWizard(int wizard)
    {
        const int ok = driver.Control(wizard, "?BUTTONOK");
        for (int page = 0; page < 8 && driver.Hidden(wizard, ok); ++page)
            driver.Press(wizard, "?BUTTONNEXT");
        driver.Press(wizard, ok);
    }

    std::string dir;
    std::filesystem::path previous;
    HeadlessDriver driver;
    int win = 0;
};

TEST_F(WorksheetWindow, MenuItemsFollowTheirToolbarButtons)
{
    NewProject([](CArbeitsblatt& s) {
        s.GetAZP().SetGroupCount(2);
        s.GetAZP().SetCell(1, 1, s.GetSchichttypen().GetByIndex(1)->SYSID);
    });
    driver.ChooseRow(win, AB_AZP_LIST, 1, 2);
    const int pairs[][2] = {{AB_UNDO_ITEM, AB_UNDO}, {AB_REDO_ITEM, AB_REDO}, {AB_CUT_ITEM, AB_CUT},
                            {AB_COPY_ITEM, AB_COPY}, {AB_PASTE_ITEM, AB_PASTE}, {AB_DELETE_ITEM, AB_DELETE}};
    auto inStep = [&] {
        for (auto [item, button] : pairs)
            EXPECT_EQ(driver.Disabled(win, item), driver.Disabled(win, button)) << item;
    };
    inStep();
    driver.Press(win, AB_DELETE);   // the cell of group 1, Monday
    EXPECT_FALSE(driver.Disabled(win, AB_UNDO));
    inStep();
    driver.ChooseMenu(win, "Bearbeiten|Rückgängig");
    EXPECT_EQ(sheet().GetAZP().GetCellSchicht(1, 1), sheet().GetSchichttypen().GetByIndex(1));
    inStep();
}

TEST_F(WorksheetWindow, CollapsedPanesLeaveTheirTitleBars)
{
    NewProject();
    for (int hide : {AB_SBP_HIDE, AB_AKB_HIDE, AB_AZP_HIDE})
        driver.Press(win, hide);
    for (int list : {AB_AKB_LIST, AB_SBP_LIST, AB_AZP_LIST})
        EXPECT_TRUE(driver.Hidden(win, list));
    for (int bar : {AB_AKB_BAR_TEXT, AB_SBP_BAR_TEXT, AB_AZP_BAR_TEXT})
        EXPECT_FALSE(driver.Hidden(win, bar));
    // The title bars stand one below the other.
    EXPECT_LT(driver.Property(win, AB_AKB_BAR, Prop::Ypos).Int(), driver.Property(win, AB_SBP_BAR, Prop::Ypos).Int());
    EXPECT_LT(driver.Property(win, AB_SBP_BAR, Prop::Ypos).Int(), driver.Property(win, AB_AZP_BAR, Prop::Ypos).Int());
    driver.Press(win, AB_SBP_SHOW);
    EXPECT_FALSE(driver.Hidden(win, AB_SBP_LIST));
    EXPECT_GT(driver.Property(win, AB_SBP_LIST, Prop::Height).Int(), 0);
}

// A splitter dragged moves the border between the open panes above and below it; the panes keep
// their new shares when the window is sized; a collapsed pane gives its room to the others and
// hides the splitter below it.
TEST_F(WorksheetWindow, SplittersShareThePanesRoomAnew)
{
    NewProject();
    auto height = [&](int list) { return driver.Property(win, list, Prop::Height).Int(); };
    auto drag = [&](int splitter, int by) {
        const int y = int(driver.Property(win, splitter, Prop::Ypos).Int()) + by;
        {
            Runtime::HostBaton b;
            ASSERT_EQ(InputSplit(win, splitter, y), "");
        }
        driver.WaitIdle();
    };
    EXPECT_FALSE(driver.Hidden(win, AB_SPLITTER_AKB));
    EXPECT_FALSE(driver.Hidden(win, AB_SPLITTER_SBP));
    const long long staff = height(AB_AKB_LIST), shifts = height(AB_SBP_LIST), plan = height(AB_AZP_LIST);
    drag(AB_SPLITTER_SBP, 20);
    EXPECT_EQ(height(AB_AKB_LIST), staff);
    EXPECT_NEAR(height(AB_SBP_LIST), shifts + 20, 1);
    EXPECT_NEAR(height(AB_AZP_LIST), plan - 20, 1);
    // Dragged past the next pane, the splitter leaves that pane its least height.
    drag(AB_SPLITTER_AKB, 1000);
    EXPECT_EQ(height(AB_SBP_LIST), kSplitterMinList);
    EXPECT_EQ(height(AB_AZP_LIST), plan - 20);

    // Twice the room: every pane keeps its share.
    const long long before[3] = {height(AB_AKB_LIST), height(AB_SBP_LIST), height(AB_AZP_LIST)};
    const long long room = before[0] + before[1] + before[2];
    {
        Runtime::HostBaton b;
        ASSERT_EQ(InputPlace(win, 0, 0, int(driver.Property(win, 0, Prop::Width).Int()),
                             int(driver.Property(win, 0, Prop::Height).Int() + room)), "");
    }
    driver.WaitIdle();
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(height(AB_AKB_LIST + 7 * i), 2 * before[i], 2) << i;

    // Collapsed, the shift demand pane hides the splitter below it; the others share its room.
    const long long open = height(AB_AKB_LIST) + height(AB_SBP_LIST) + height(AB_AZP_LIST);
    driver.Press(win, AB_SBP_HIDE);
    EXPECT_FALSE(driver.Hidden(win, AB_SPLITTER_AKB));
    EXPECT_TRUE(driver.Hidden(win, AB_SPLITTER_SBP));
    EXPECT_NEAR(height(AB_AKB_LIST) + height(AB_AZP_LIST), open, 2);
    driver.Press(win, AB_AZP_HIDE);
    EXPECT_TRUE(driver.Hidden(win, AB_SPLITTER_AKB));
}

// A pane collapsed while the splitter between the others is dragged opens again with its share of
// the room: the panes are stacked anew, every open one alike, and the drag is forgotten.
TEST_F(WorksheetWindow, APaneCollapsedDuringADragOpensWithItsShare)
{
    NewProject();
    auto height = [&](int list) { return driver.Property(win, list, Prop::Height).Int(); };
    const long long staff = height(AB_AKB_LIST);
    ASSERT_GT(staff, 2 * kSplitterMinList);
    driver.Press(win, AB_AKB_HIDE);
    const int y = int(driver.Property(win, AB_SPLITTER_SBP, Prop::Ypos).Int()) + 20;
    {
        Runtime::HostBaton b;
        ASSERT_EQ(InputSplit(win, AB_SPLITTER_SBP, y), "");
    }
    driver.WaitIdle();
    EXPECT_NEAR(height(AB_SBP_LIST) - height(AB_AZP_LIST), 40, 2);
    driver.Press(win, AB_AKB_SHOW);
    EXPECT_NEAR(height(AB_AKB_LIST), staff, 2);
    EXPECT_NEAR(height(AB_SBP_LIST), staff, 2);
    EXPECT_NEAR(height(AB_AZP_LIST), staff, 2);
}

TEST_F(WorksheetWindow, ThePlanListsScrollSidewaysTogetherUnlessSwitchedOff)
{
    NewProject([](CArbeitsblatt& s) {
        s.SetBezugsrahmen(4, false);
        s.GetAZP().SetGroupCount(2);
    });
    auto scrollSbp = [&](int64_t position) {
        {
            Runtime::HostBaton b;
            const int before = WindowSetTarget(win);
            PropertySet(AB_SBP_LIST, Prop::HScrollPos, position);
            WindowSetTarget(before);
        }
        driver.AdvanceTime(25);
    };
    driver.Focus(win, AB_SBP_LIST);
    scrollSbp(3);
    EXPECT_EQ(driver.Property(win, AB_AZP_LIST, Prop::HScrollPos).Int(), 3);
    driver.Press(win, AB_SYNC_ITEM);
    EXPECT_EQ(driver.Property(win, AB_SYNC_ITEM, Prop::Checked).Int(), 0);
    scrollSbp(5);
    EXPECT_EQ(driver.Property(win, AB_AZP_LIST, Prop::HScrollPos).Int(), 3);
}

TEST_F(WorksheetWindow, AConfirmedReferencePeriodDialogKeepsTwelveWeeks)
{
    NewProject();
    driver.Start([] { sheet().SetBezugsrahmen(12, false); });
    driver.Press(win, AB_BEZUGSRAHMEN_BUTTON);
    const int dialog = driver.Window("Bezugsrahmen ändern");
    driver.Press(dialog, "?OK");
    EXPECT_EQ(sheet().GetBezugsrahmen(), 12);
}

TEST_F(WorksheetWindow, PrintingAPlanWithoutGroupsSaysSoAndPrintsNothing)
{
    NewProject();
    driver.Press(win, AB_PRINT_BUTTON);
    ASSERT_TRUE(driver.HasMessage());
    EXPECT_EQ(driver.Message().caption, "Nichts zu drucken");
    driver.AnswerMessage(1);
    EXPECT_TRUE(driver.Prints().empty());
}

// ---- generating: what the planner made is never lost ------------------------------------------------

// What the shift types, the shift demand plan and the working-time plan hold, and whether they can
// be undone: a generation that produced nothing must leave all of it as it was.
struct PlanState {
    std::vector<std::string> types;
    std::vector<int> counts;
    std::vector<uint32_t> cells;
    bool undoTypes = false, undoSbp = false, undoAzp = false;
    bool operator==(const PlanState&) const = default;
};

PlanState StateOf(CArbeitsblatt& s)
{
    PlanState p;
    for (long i = 1; i <= s.GetSchichttypen().Count(); ++i)
        p.types.push_back(s.GetSchichttypen().GetByIndex(i)->KURZBEZEICHNUNG);
    for (int32_t r = 1; r <= s.GetSBP().CountRows(); ++r)
        for (uint32_t d = 1; d <= 7; ++d)
            p.counts.push_back(s.GetSBP().GetCount(d, uint32_t(r)));
    for (uint32_t g = 1; g <= s.GetAZP().CountGroups(); ++g)
        for (uint32_t d = 1; d <= 7; ++d)
            p.cells.push_back(s.GetAZP().GetCell(d, g));
    p.undoTypes = s.GetSchichttypen().GetSavable().CanUndo();
    p.undoSbp = s.GetSBP().GetSavable().CanUndo();
    p.undoAzp = s.GetAZP().GetSavable().CanUndo();
    return p;
}

// Two persons 06-22 every day, one early shift demanded on Monday, and a plan of two groups with
// the early shift on Monday.
void PlannedWeek(CArbeitsblatt& s)
{
    CAKBEintrag span;
    span.TERMIN = {6 * 60, 22 * 60};
    span.ANZAHL = 2;
    s.GetAKB().MergeDemand(span, true);
    const uint32_t early = s.GetSchichttypen().GetByIndex(1)->SYSID;
    s.GetSBP().SetCount(1, early, 1);
    s.GetAZP().SetGroupCount(2);
    s.GetAZP().SetCell(1, 1, early);
}

TEST_F(WorksheetWindow, AShiftDemandGenerationThatEndsWithoutAPlanChangesNothing)
{
    NewProject(PlannedWeek);
    // A step of the plan, so that there is something to undo.
    driver.ChooseRow(win, AB_AZP_LIST, 1, 3);
    driver.Press(win, AB_DELETE);
    const PlanState before = StateOf(sheet());
    ASSERT_EQ(before.types.size(), 3u);
    ASSERT_TRUE(before.undoAzp);
    driver.Focus(win, AB_SBP_LIST);
    const bool undoEnabled = !driver.Disabled(win, AB_UNDO);

    // The overwrite question names the shift types too; "Fortfahren", then the wizard cancelled.
    driver.Press(win, AB_GENERATE);
    ASSERT_TRUE(driver.HasMessage());
    EXPECT_EQ(driver.Message().caption, "Vorhandene Einträge werden überschrieben.");
    EXPECT_NE(driver.Message().text.find("Schichttypen"), std::string::npos);
    driver.AnswerMessage(1);
    int wizard = driver.Window("Schichtbedarfsplan generieren");
    driver.Press(wizard, "?BUTTONCANCEL");
    EXPECT_EQ(driver.FindWindow("Schichtbedarfsplan generieren"), 0);
    EXPECT_FALSE(driver.HasMessage());
    EXPECT_EQ(StateOf(sheet()), before);
    EXPECT_EQ(!driver.Disabled(win, AB_UNDO), undoEnabled);

    // The run cancelled in its progress window: the planner is told so, and nothing changed.
    driver.Press(win, AB_GENERATE);
    driver.AnswerMessage(1);
    wizard = driver.Window("Schichtbedarfsplan generieren");
    FinishWizard(wizard);
    driver.Press(driver.Window("Berechnung läuft..."), "Abbrechen");
    ASSERT_TRUE(driver.HasMessage());
    EXPECT_EQ(driver.Message().caption, "Generierung abgebrochen");
    EXPECT_NE(driver.Message().text.find("abgebrochen"), std::string::npos);
    EXPECT_EQ(driver.Message().text.find("Zeitraster"), std::string::npos);
    driver.AnswerMessage(1);
    EXPECT_EQ(StateOf(sheet()), before);
    EXPECT_EQ(!driver.Disabled(win, AB_UNDO), undoEnabled);

    // A completed run replaces all three parts and says so.
    driver.Press(win, AB_GENERATE);
    driver.AnswerMessage(1);
    FinishWizard(driver.Window("Schichtbedarfsplan generieren"));
    const std::vector<std::string> met = RunToEnd();
    ASSERT_FALSE(met.empty());
    EXPECT_EQ(met.front(), "Schichtbedarfsplan generiert");
    const PlanState after = StateOf(sheet());
    EXPECT_NE(after.types, before.types);
    EXPECT_EQ(after.cells, std::vector<uint32_t>(14, 0));   // the groups stay, every cell cleared
}

TEST_F(WorksheetWindow, WithoutStaffDemandTheShiftDemandPlanIsNotGenerated)
{
    NewProject([](CArbeitsblatt& s) { s.GetSBP().SetCount(1, s.GetSchichttypen().GetByIndex(1)->SYSID, 1); });
    const PlanState before = StateOf(sheet());
    driver.Focus(win, AB_SBP_LIST);
    driver.Press(win, AB_GENERATE);
    ASSERT_TRUE(driver.HasMessage());
    EXPECT_EQ(driver.Message().caption, "Kein Arbeitskräftebedarf vorhanden.");
    driver.AnswerMessage(1);
    EXPECT_FALSE(driver.HasMessage());
    EXPECT_EQ(driver.FindWindow("Schichtbedarfsplan generieren"), 0);
    EXPECT_EQ(StateOf(sheet()), before);
}

TEST_F(WorksheetWindow, AWorkingTimePlanWithMoreDemandedShiftsThanGroupsIsNotCalledComplete)
{
    // Monday asks for 400 shifts; a plan has at most 255 groups: 145 shifts stay unplaced.
    NewProject([](CArbeitsblatt& s) {
        CSchichttypen& t = s.GetSchichttypen();
        s.GetSBP().SetCount(1, t.GetByIndex(1)->SYSID, 200);
        s.GetSBP().SetCount(1, t.GetByIndex(2)->SYSID, 200);
        s.GetSBP().SetCount(2, t.GetByIndex(3)->SYSID, 1);
    });
    driver.Focus(win, AB_AZP_LIST);
    driver.Press(win, AB_GENERATE);
    const int wizard = driver.Window("Arbeitszeitplan generieren");
    FinishWizard(wizard);
    // The search is cancelled at once (it keeps the plan built); the messages on the way.
    std::string text;
    for (int round = 0; round < 100; ++round) {
        const int top = driver.Windows().back();
        if (driver.HasMessage()) {
            text += driver.Message().caption + ": " + driver.Message().text + "\n";
            driver.AnswerMessage(1);
        } else if (driver.Title(top) == "Berechnung läuft...") {
            driver.Press(top, "Abbrechen");
        } else if (top != win) {
            driver.Close(top);
        } else {
            break;
        }
    }
    EXPECT_EQ(sheet().GetAZP().CountGroups(), 255u);
    EXPECT_EQ(text.find("vollständig"), std::string::npos) << text;
    EXPECT_NE(text.find("Arbeitszeitplan teilweise generiert: Ein Arbeitszeitplan konnte nur teilweise generiert werden: "
                        "145 im Schichtbedarfsplan geforderte Schichten sind nicht eingeplant."),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("bis zu 400 Schichten gefordert"), std::string::npos) << text;
}

// Generating the working-time plan over a plan: the question, then a cancelled wizard leaves the
// plan and its undo state as they were; a completed run is one undo step back to that plan.
TEST_F(WorksheetWindow, AWorkingTimePlanIsReplacedOnlyByAGeneratedOne)
{
    NewProject(PlannedWeek);
    const PlanState before = StateOf(sheet());
    ASSERT_EQ(before.cells[0], sheet().GetSchichttypen().GetByIndex(1)->SYSID);
    driver.Focus(win, AB_AZP_LIST);
    const bool undoEnabled = !driver.Disabled(win, AB_UNDO);

    driver.Press(win, AB_GENERATE);
    ASSERT_TRUE(driver.HasMessage());
    EXPECT_EQ(driver.Message().caption, "Vorhandene Einträge werden überschrieben.");
    driver.AnswerMessage(1);
    driver.Press(driver.Window("Arbeitszeitplan generieren"), "?BUTTONCANCEL");
    EXPECT_EQ(driver.FindWindow("Arbeitszeitplan generieren"), 0);
    EXPECT_FALSE(driver.HasMessage());
    EXPECT_EQ(StateOf(sheet()), before);
    EXPECT_EQ(!driver.Disabled(win, AB_UNDO), undoEnabled);

    driver.Press(win, AB_GENERATE);
    driver.AnswerMessage(1);
    FinishWizard(driver.Window("Arbeitszeitplan generieren"));
    RunToEnd();
    EXPECT_NE(StateOf(sheet()).cells, before.cells);
    driver.Focus(win, AB_AZP_LIST);
    driver.Press(win, AB_UNDO);
    EXPECT_EQ(StateOf(sheet()).cells, before.cells);
}

TEST_F(WorksheetWindow, TheMainRoad)
{
    // A week of staff demand: two persons 06-22 on every day.
    NewProject([](CArbeitsblatt& s) {
        CAKBEintrag span;
        span.TERMIN = {6 * 60, 22 * 60};
        span.ANZAHL = 2;
        s.GetAKB().MergeDemand(span, true);
    });
    ASSERT_GT(sheet().GetAKB().Count(), 0u);

    // The shift demand plan from the staff demand, through its wizard.
    driver.Focus(win, AB_SBP_LIST);
    driver.Press(win, AB_GENERATE);
    RunToEnd();
    int wizard = driver.Window("Schichtbedarfsplan generieren");
    FinishWizard(wizard);
    RunToEnd();
    ASSERT_EQ(driver.FindWindow("Schichtbedarfsplan generieren"), 0);
    EXPECT_GT(sheet().GetSBP().CountRows(), 0);

    // The working-time plan from the shift demand, through its wizard.
    driver.Focus(win, AB_AZP_LIST);
    driver.Press(win, AB_GENERATE);
    RunToEnd();
    wizard = driver.Window("Arbeitszeitplan generieren");
    FinishWizard(wizard);
    const std::vector<std::string> met = RunToEnd();
    EXPECT_FALSE(met.empty());
    const uint32_t groups = sheet().GetAZP().CountGroups();
    ASSERT_GT(groups, 0u);

    // Optimised within the wizard's time limit: the plan stays whole.
    driver.ChooseMenu(win, "Arbeitszeitplan|Optimieren");
    RunToEnd();
    FinishWizard(driver.Window("Arbeitszeitplan generieren"));
    const std::vector<std::string> optimised = RunToEnd();
    ASSERT_FALSE(optimised.empty());
    EXPECT_TRUE(optimised.back() == "Arbeitszeitplan optimiert" ||
                optimised.back() == "keinen besseren Arbeitszeitplan gefunden")
        << ::testing::PrintToString(optimised);
    EXPECT_EQ(sheet().GetAZP().CountGroups(), groups);

    // The quality value.
    driver.ChooseMenu(win, "Arbeitszeitplan|Gütewert berechnen");
    EXPECT_EQ(RunToEnd(), std::vector<std::string>{"Plangütewert AZP"});

    // A cell removed and the removal undone: the plan is what it was.
    std::vector<CSchicht*> before;
    for (uint32_t d = 1; d <= 7; ++d)
        before.push_back(sheet().GetAZP().GetCellSchicht(d, 1));
    driver.ChooseRow(win, AB_AZP_LIST, 1, 2);
    driver.Press(win, AB_DELETE);
    driver.Press(win, AB_UNDO);
    for (uint32_t d = 1; d <= 7; ++d)
        EXPECT_EQ(sheet().GetAZP().GetCellSchicht(d, 1), before[d - 1]) << d;

    // Printed: one page for the week, a line per group.
    driver.Press(win, AB_PRINT_BUTTON);
    ASSERT_EQ(driver.Prints().size(), 1u);
    const std::vector<ReportPage> pages = driver.Prints()[0].report.Pages();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].bands.size(), 1 + 1 + groups + 1);   // header, day headers, groups, footer

    // Saved, closed and opened again: the same plans.
    const std::string file = dir + "/Station.prj";
    std::vector<uint32_t> cells;
    for (uint32_t g = 1; g <= groups; ++g)
        for (uint32_t d = 1; d <= 7; ++d)
            cells.push_back(sheet().GetAZP().GetCellSchicht(d, g) ? sheet().GetAZP().GetCellSchicht(d, g)->SYSID : 0);
    const int32_t sbpRows = sheet().GetSBP().CountRows();
    driver.Close(win);
    driver.Start([file] {
        projekt().SetFileName(file);
        ASSERT_EQ(projekt().Save(), 0);
        projekt().Close();
        projekt().SetFileName(file);
        ASSERT_EQ(projekt().Load(), 0);
    });
    ASSERT_TRUE(projekt().IsOpen());
    EXPECT_EQ(sheet().GetAZP().CountGroups(), groups);
    EXPECT_EQ(sheet().GetSBP().CountRows(), sbpRows);
    std::vector<uint32_t> reopened;
    for (uint32_t g = 1; g <= groups; ++g)
        for (uint32_t d = 1; d <= 7; ++d)
            reopened.push_back(sheet().GetAZP().GetCellSchicht(d, g) ? sheet().GetAZP().GetCellSchicht(d, g)->SYSID : 0);
    EXPECT_EQ(reopened, cells);
}

} // namespace
