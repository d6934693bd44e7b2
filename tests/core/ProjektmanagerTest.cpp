// The project manager: the save question and its one-second rule, the file commands, the manager
// window's tree and its commands, run through the headless driver.
#include "core/Projektmanager.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "ProjektTestSupport.h"

namespace {

// ---- the one-second rule ---------------------------------------------------------------------------

struct IntervalCase {
    int32_t now;
    int32_t last;
    bool within;
};

TEST(AskSaveInterval, OneSecondAlsoAcrossMidnight)
{
    constexpr int32_t day = 8'640'000;
    const IntervalCase cases[] = {
        {1000, 1000, true},
        {1099, 1000, true},
        {1100, 1000, false},            // a full second has passed
        {5000, 1000, false},
        {30, day - 50, true},           // 80 hundredths, across midnight
        {60, day - 50, false},          // 110 hundredths, across midnight
        {10, day - 200, false},         // ended long before midnight
    };
    for (const auto& c : cases)
        EXPECT_EQ(CProjektmanager::WithinAskSaveInterval(c.now, c.last), c.within) << c.now << " " << c.last;
}

int32_t fakeClock = 0;
int32_t FakeClock() { return fakeClock; }

struct AskCase {
    int32_t at;           // clock when asked
    int answer;           // the button pressed; 0: no question expected
    uint8_t response;
};

using AskSave = ProjektFrame;

TEST_F(AskSave, AQuestionWithinASecondRepeatsTheLastAnswer)
{
    CProjektmanager::SetAskSaveClock(FakeClock);
    const AskCase cases[] = {
        {1000, BUTTON_CANCEL, RESPONSE_CANCELLED},
        {1050, 0, RESPONSE_CANCELLED},          // a cancel stays a cancel within the second
        {1300, BUTTON_NO, RESPONSE_COMPLETED},
        {1350, 0, RESPONSE_COMPLETED},
        {1449, 0, RESPONSE_COMPLETED},          // the second counts from the end of the last one
        {1600, BUTTON_CANCEL, RESPONSE_CANCELLED},
    };
    for (const auto& c : cases) {
        fakeClock = c.at;
        askResponses.clear();
        Run("Fragen");
        if (c.answer) {
            ASSERT_TRUE(driver.HasMessage()) << c.at;
            EXPECT_EQ(driver.Message().caption, "Änderungen speichern?");
            EXPECT_EQ(driver.Message().text, "Möchten Sie die Änderungen am aktuellen Projekt speichern?");
            EXPECT_EQ(driver.Message().defaultButton, BUTTON_CANCEL);
            driver.AnswerMessage(c.answer);
        } else {
            EXPECT_FALSE(driver.HasMessage()) << c.at;
        }
        ASSERT_EQ(askResponses.size(), 1u);
        EXPECT_EQ(askResponses[0], c.response) << c.at;
    }
}

// ---- file commands ---------------------------------------------------------------------------------

using ProjektmanagerTest = ProjektFrame;

TEST_F(ProjektmanagerTest, NewProjectOpensTheManagerWithItsTree)
{
    EXPECT_FALSE(GlobalProjektmanager.HasProject());
    Run("Neu");
    ASSERT_TRUE(GlobalProjektmanager.HasProject());
    EXPECT_EQ(GlobalProjektmanager.RESPONSE, RESPONSE_COMPLETED);
    // The project's row starts closed: its information and worksheet show once it is opened.
    EXPECT_EQ(driver.RowCount(Manager(), Tree()), 1);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"Varn 4-Projekt unbenannt.prj", "Informationen zum Planungsprojekt",
                                                "Arbeitszeitblatt"}));
    EXPECT_EQ(driver.Property(Manager(), Tree(), Prop::LineHeight).Int(), 11);
}

TEST_F(ProjektmanagerTest, NewAskedForTheKindEndsOnCancel)
{
    Run("Neu fragen");
    int w = driver.Window("Arbeitszeitblatt-Typ wählen");
    driver.Press(w, "Abbrechen");
    EXPECT_FALSE(GlobalProjektmanager.HasProject());
    EXPECT_EQ(driver.FindWindow("Projektmanager"), 0);

    Run("Neu fragen");
    driver.Press(driver.Window("Arbeitszeitblatt-Typ wählen"), "Flex-Arbeitszeitblatt");
    ASSERT_TRUE(GlobalProjektmanager.HasProject());
    EXPECT_EQ(Rows().back(), "Flex-Arbeitszeitblatt");
}

TEST_F(ProjektmanagerTest, SavingUnnamedAsksForANameAndRefusesTheDefaultOne)
{
    Run("Neu");
    Run("Speichern");
    ASSERT_TRUE(driver.HasFileDialog());
    EXPECT_EQ(driver.FileDialogRequest().title, "Projekt speichern");
    driver.AnswerFileDialog(Path("unbenannt.prj"));
    ASSERT_TRUE(driver.HasMessage());
    EXPECT_EQ(driver.Message().text, "Bitte wählen Sie einen aussagekräftigen Dateinamen.");
    driver.AnswerMessage(BUTTON_OK);
    ASSERT_TRUE(driver.HasFileDialog());   // again
    driver.AnswerFileDialog(Path("Schichtplan"));
    EXPECT_EQ(GlobalProjektmanager.RESPONSE, RESPONSE_COMPLETED);
    EXPECT_EQ(GlobalProjektmanager.GetProjektFileName(), Path("Schichtplan.prj"));
    EXPECT_TRUE(std::filesystem::exists(Path("Schichtplan.prj")));
    EXPECT_FALSE(std::filesystem::exists(Path("unbenannt.prj")));
    // The tree shows the new name (shortened: the path is long).
    EXPECT_EQ(Rows().front(), GlobalProjektmanager.Projekt().GetText());
    EXPECT_NE(Rows().front(), "Varn 4-Projekt unbenannt.prj");
}

TEST_F(ProjektmanagerTest, CancelledSaveDialogKeepsTheName)
{
    Run("Neu");
    Run("Speichern unter");
    driver.AnswerFileDialog(Path("unbenannt"));
    driver.AnswerMessage(BUTTON_OK);
    driver.CancelFileDialog();
    EXPECT_EQ(GlobalProjektmanager.RESPONSE, RESPONSE_CANCELLED);
    EXPECT_EQ(GlobalProjektmanager.GetProjektFileName(), "unbenannt.prj");
}

TEST_F(ProjektmanagerTest, CancellingTheSaveQuestionLeavesEverythingAsItWas)
{
    Run("Neu");
    GlobalProjektmanager.NewArbeitsblatt(false, ARBEITSBLATT_AZ);   // a change
    ASSERT_TRUE(GlobalProjektmanager.Projekt().IsChanged());
    const auto filesBefore = Listing();

    driver.Close(Manager());
    ASSERT_TRUE(driver.HasMessage());
    EXPECT_EQ(driver.Message().caption, "Änderungen speichern?");
    driver.AnswerMessage(BUTTON_CANCEL);
    EXPECT_NE(driver.FindWindow("Projektmanager"), 0);
    EXPECT_TRUE(GlobalProjektmanager.HasProject());
    EXPECT_TRUE(GlobalProjektmanager.Projekt().IsChanged());
    EXPECT_EQ(GlobalProjektmanager.CountArbeitsblaetter(), 2);
    EXPECT_EQ(Listing(), filesBefore);

    // The frame's close asks the same; cancelled again, the window stays.
    CProjektmanager::ForgetAskSave();
    Run("Schließen");
    driver.AnswerMessage(BUTTON_CANCEL);
    EXPECT_NE(closeResult, 0);
    EXPECT_NE(driver.FindWindow("Projektmanager"), 0);
    EXPECT_TRUE(GlobalProjektmanager.HasProject());
}

TEST_F(ProjektmanagerTest, AnsweringNoClosesWithoutSavingAndAsksOnlyOnce)
{
    Run("Neu");
    GlobalProjektmanager.NewArbeitsblatt(false, ARBEITSBLATT_AZ);
    Run("Schließen");   // the frame asks, then the window's own close asks again: one question
    ASSERT_TRUE(driver.HasMessage());
    driver.AnswerMessage(BUTTON_NO);
    EXPECT_FALSE(driver.HasMessage());
    EXPECT_EQ(closeResult, 0);
    EXPECT_EQ(driver.FindWindow("Projektmanager"), 0);
    EXPECT_FALSE(GlobalProjektmanager.HasProject());
    EXPECT_TRUE(Listing().empty());   // the working copy went, nothing was saved
}

// Closing while a worksheet's plan is optimised: the search ends before the question, so that "Ja"
// saves the plan it found, "Nein" saves nothing and "Abbrechen" keeps the project with that plan.
TEST_F(ProjektmanagerTest, ClosingDuringASearchEndsItBeforeTheQuestion)
{
    struct Case {
        int answer;
        bool closes;
        std::string saved;   // the worksheet's name in the file afterwards
    };
    const Case cases[] = {
        {BUTTON_YES, true, "optimiert"},
        {BUTTON_NO, true, "Arbeitszeitblatt"},
        {BUTTON_CANCEL, false, "Arbeitszeitblatt"},
    };
    struct NoSearchAfterwards {
        ~NoSearchAfterwards() { OptimizationRunning = false; }
    } noSearchAfterwards;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        CProjektmanager::ForgetAskSave();
        Run("Neu");
        Run("Speichern unter");
        driver.AnswerFileDialog(Path("plan.prj"));
        {
            Runtime::HostBaton b;
            SheetAt(1)->searchResult = "optimiert";
            OptimizationRunning = true;
            GlobalProjektmanager.Projekt().FileManager().SetChanged();   // the planner's edits before the search
        }
        Run("Schließen");
        ASSERT_TRUE(driver.HasMessage());
        {
            Runtime::HostBaton b;
            EXPECT_FALSE(OptimizationRunning) << "asked while the search still ran";
        }
        driver.AnswerMessage(c.answer);
        EXPECT_EQ(GlobalProjektmanager.HasProject(), !c.closes);
        if (!c.closes) {
            EXPECT_NE(driver.FindWindow("Projektmanager"), 0);
            EXPECT_EQ(SheetAt(1)->name, "optimiert");
            EXPECT_TRUE(GlobalProjektmanager.Projekt().IsChanged());
            GlobalProjektmanager.Projekt().FileManager().ClearChanged();
            driver.Close(Manager());
        }
        ASSERT_FALSE(GlobalProjektmanager.HasProject());
        Run("Öffnen");
        driver.AnswerFileDialog(Path("plan.prj"));
        ASSERT_TRUE(GlobalProjektmanager.HasProject());
        EXPECT_EQ(SheetAt(1)->name, c.saved);
        driver.Close(Manager());
    }
}

TEST_F(ProjektmanagerTest, SaveOpenRoundTrip)
{
    Run("Neu");
    GlobalProjektmanager.NewArbeitsblatt(false, ARBEITSBLATT_FLEX);
    Run("Speichern unter");
    driver.AnswerFileDialog(Path("rund.PRJ"));
    EXPECT_FALSE(GlobalProjektmanager.Projekt().IsChanged());
    driver.Close(Manager());
    EXPECT_FALSE(driver.HasMessage());   // nothing changed since the save
    EXPECT_FALSE(GlobalProjektmanager.HasProject());

    Run("Öffnen");
    ASSERT_TRUE(driver.HasFileDialog());
    EXPECT_EQ(driver.FileDialogRequest().title, "Projekt öffnen");
    driver.AnswerFileDialog(Path("rund.PRJ"));
    ASSERT_TRUE(GlobalProjektmanager.HasProject());
    EXPECT_EQ(GlobalProjektmanager.GetProjektFileName(), Path("rund.PRJ"));
    EXPECT_EQ(GlobalProjektmanager.CountArbeitsblaetter(), 2);
    EXPECT_EQ(Rows().back(), "Flex-Arbeitszeitblatt");
}

TEST_F(ProjektmanagerTest, AFileThatDoesNotOpenLeavesNoProject)
{
    {
        std::FILE* f = std::fopen(Path("kaputt.prj").c_str(), "w");
        std::fputs("kein Projekt", f);
        std::fclose(f);
    }
    Run("Öffnen");
    driver.AnswerFileDialog(Path("kaputt.prj"));
    ASSERT_TRUE(driver.HasMessage());
    EXPECT_EQ(driver.Message().text, "Beim Öffnen der Datei " + Path("kaputt.prj") +
                                         " ist ein Fehler aufgetreten.|Ungültige oder beschädigte Datendatei.");
    EXPECT_EQ(driver.Message().caption, "Datei kann nicht geöffnet werden");
    driver.AnswerMessage(BUTTON_OK);
    EXPECT_EQ(GlobalProjektmanager.RESPONSE, RESPONSE_CANCELLED);
    EXPECT_FALSE(GlobalProjektmanager.HasProject());
    EXPECT_EQ(driver.FindWindow("Projektmanager"), 0);
}

TEST_F(ProjektmanagerTest, AWorksheetThatRefusesToCloseKeepsTheProjectOpen)
{
    Run("Neu");
    SheetAt(1)->refuseClose = true;
    driver.Close(Manager());
    EXPECT_NE(driver.FindWindow("Projektmanager"), 0);
    EXPECT_TRUE(GlobalProjektmanager.HasProject());
    SheetAt(1)->refuseClose = false;
    driver.Close(Manager());
    EXPECT_EQ(driver.FindWindow("Projektmanager"), 0);
    EXPECT_FALSE(GlobalProjektmanager.HasProject());
}

TEST_F(ProjektmanagerTest, AWorksheetBeingEditedIsNotDeleted)
{
    Run("Neu");
    GlobalProjektmanager.NewArbeitsblatt(false, ARBEITSBLATT_AZ);
    int m = Manager();
    OpenProjectRow(driver);
    SheetAt(2)->WIN = 99;   // its window counts as open
    driver.ChooseRow(m, Tree(), 4);
    driver.Key(m, Tree(), Key::DELETE);
    ASSERT_TRUE(driver.HasMessage());
    EXPECT_EQ(driver.Message().caption, "Arbeitsblatt wird bearbeitet");
    driver.AnswerMessage(BUTTON_OK);
    EXPECT_FALSE(driver.HasMessage());   // no question follows
    EXPECT_EQ(GlobalProjektmanager.CountArbeitsblaetter(), 2);
    SheetAt(2)->WIN = 0;
}

// ---- the manager window's tree -------------------------------------------------------------------------

TEST_F(ProjektmanagerTest, ButtonsFollowWhatTheSelectedRowAccepts)
{
    Run("Neu");
    int m = Manager();
    OpenProjectRow(driver);
    struct Case {
        int row;
        bool neu, entfernen, duplizieren;
    };
    auto check = [&](const Case& c) {
        driver.ChooseRow(m, Tree(), c.row);
        EXPECT_EQ(!driver.Disabled(m, driver.Control(m, "?Neu")), c.neu) << c.row;
        EXPECT_EQ(!driver.Disabled(m, driver.Control(m, "?Entfernen")), c.entfernen) << c.row;
        EXPECT_EQ(!driver.Disabled(m, driver.Control(m, "?Duplizieren")), c.duplizieren) << c.row;
        EXPECT_EQ(!driver.Disabled(m, driver.Control(m, "&Entfernen")), c.entfernen) << c.row;
    };
    check({1, false, false, false});   // project: only collapse and expand
    check({2, false, false, false});   // information: only open
    check({3, true, false, true});     // the only worksheet cannot be deleted
    driver.Press(m, driver.Control(m, "?Duplizieren"));
    EXPECT_EQ(Rows().back(), "Kopie von Arbeitszeitblatt");
    EXPECT_TRUE(GlobalProjektmanager.Projekt().IsChanged());
    check({3, true, true, true});
    driver.Press(m, driver.Control(m, "?Gruppieren"));   // present, does nothing
    EXPECT_EQ(Rows().size(), 4u);
}

TEST_F(ProjektmanagerTest, DeleteAsksAndMovesTheSelectionUp)
{
    Run("Neu");
    GlobalProjektmanager.NewArbeitsblatt(false, ARBEITSBLATT_FLEX);
    GlobalProjektmanager.Projekt().FileManager().ClearChanged();
    int m = Manager();
    OpenProjectRow(driver);
    driver.ChooseRow(m, Tree(), 4);
    driver.Key(m, Tree(), Key::DELETE);
    ASSERT_TRUE(driver.HasMessage());
    EXPECT_EQ(driver.Message().caption, "Arbeitsblatt löschen?");
    EXPECT_NE(driver.Message().text.find("\"Flex-Arbeitszeitblatt\" wirklich löschen?"), std::string::npos);
    driver.AnswerMessage(BUTTON_NO);
    EXPECT_EQ(Rows().size(), 4u);
    EXPECT_FALSE(GlobalProjektmanager.Projekt().IsChanged());

    driver.Key(m, Tree(), Key::DELETE);
    driver.AnswerMessage(BUTTON_YES);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"Varn 4-Projekt unbenannt.prj", "Informationen zum Planungsprojekt",
                                                "Arbeitszeitblatt"}));
    EXPECT_EQ(driver.Property(m, Tree(), Prop::Selected).Int(), 3);
    EXPECT_TRUE(GlobalProjektmanager.Projekt().IsChanged());

    // Delete on the project row is not accepted: nothing is asked.
    driver.ChooseRow(m, Tree(), 1);
    driver.Key(m, Tree(), Key::DELETE);
    EXPECT_FALSE(driver.HasMessage());
}

TEST_F(ProjektmanagerTest, RenameRefusedReopensTheEditorAndEscapeKeepsTheName)
{
    Run("Neu");
    int m = Manager();
    OpenProjectRow(driver);
    driver.ChooseRow(m, Tree(), 3);

    // Escape: the old name stays.
    driver.Key(m, Tree(), Key::F2);
    auto editField = [&] {
        // The edit field is the newest control of the window.
        int newest = 0;
        for (const auto& c : WindowFind(m)->controls)
            if (c.created) newest = c.id;
        return newest;
    };
    int edit = editField();
    ASSERT_NE(edit, 0);
    EXPECT_EQ(driver.Text(m, edit), "Arbeitszeitblatt");
    driver.Type(m, edit, "Verworfen");
    driver.Key(m, edit, Key::ESC);
    EXPECT_EQ(editField(), 0);
    EXPECT_EQ(SheetAt(1)->name, "Arbeitszeitblatt");
    EXPECT_EQ(Rows()[2], "Arbeitszeitblatt");

    // Blanks only: refused, the editor opens again; a real name then goes through.
    driver.Key(m, Tree(), Key::F2);
    edit = editField();
    driver.Type(m, edit, "   ");
    driver.Key(m, edit, Key::ENTER);
    edit = editField();
    ASSERT_NE(edit, 0);   // open again
    EXPECT_EQ(SheetAt(1)->name, "Arbeitszeitblatt");
    driver.Type(m, edit, "Frühdienst");
    driver.Key(m, edit, Key::ENTER);
    EXPECT_EQ(editField(), 0);
    EXPECT_EQ(SheetAt(1)->name, "Frühdienst");
    EXPECT_EQ(Rows()[2], "Frühdienst");
}

TEST_F(ProjektmanagerTest, CollapseAndExpandKeepTheirStateOverARebuild)
{
    Run("Neu");
    int m = Manager();
    CTree& tree = GlobalProjektmanager.Tree();
    driver.ChooseRow(m, Tree(), 1);
    EXPECT_EQ(tree.Row(1)->LEVEL, -1);   // a new node starts collapsed
    driver.Key(m, Tree(), Key::RIGHT);
    EXPECT_TRUE(GlobalProjektmanager.Projekt().IsExpanded());
    EXPECT_EQ(tree.Row(1)->LEVEL, 1);
    GlobalProjektmanager.RefreshTree();
    EXPECT_EQ(tree.Row(1)->LEVEL, 1);
    driver.Key(m, Tree(), Key::KEYPAD_MINUS);
    EXPECT_FALSE(GlobalProjektmanager.Projekt().IsExpanded());
    EXPECT_EQ(tree.Row(1)->LEVEL, -1);
    driver.Expand(m, Tree(), 1, true);
    EXPECT_TRUE(GlobalProjektmanager.Projekt().IsExpanded());
    EXPECT_EQ(tree.Row(1)->LEVEL, 1);
}

// ---- the end of the process ------------------------------------------------------------------------

// A project still open when the process ends (a run cut short) must not take the end down with it:
// nothing of it is closed from a static destructor after the record files' bookkeeping has gone.
TEST(ProjektmanagerExit, TheProcessEndsCleanlyWithAProjectOpen)
{
    std::string t = (std::filesystem::temp_directory_path() / "varnexitXXXXXX").string();
    ASSERT_NE(::mkdtemp(t.data()), nullptr);
    const std::string dir = t;
    EXPECT_EXIT(
        {
            std::filesystem::current_path(dir);
            UseTestSheets();
            GlobalProjektmanager.Projekt().New(ARBEITSBLATT_AZ);
            std::exit(GlobalProjektmanager.HasProject() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    std::filesystem::remove_all(dir);
}

} // namespace
