// The planner's main road through the real program on the offscreen platform, with mouse and keys
// on the real widgets: a new project from the welcome window, the worksheet opened from the project
// tree with Enter, the shift demand plan and the working-time plan generated through their wizards,
// the plan optimised with a short time limit and its quality value shown, a cell deleted and undone,
// the plan printed (no printer here: saved as a PDF file instead), the project saved, closed and
// opened again with the same plan. The shift types and the week's staff demand (the learning
// material's sample) are put in through the worksheet's parts: their dialogs have offscreen tests
// of their own.
#include "app/CloseSignals.h"
#include "app/Program.h"
#include "app/SampleShifts.h"
#include "core/Frame.h"
#include "core/Projektmanager.h"
#include "core/Startup.h"
#include "generation/ProgressWindow.h"
#include "platform/qt/ListView.h"
#include "platform/qt/Renderer.h"
#include "platform/qt/WindowView.h"
#include "platform/ui/Window.h"
#include "plans/AKBData.h"
#include "plans/AZPData.h"
#include "plans/SBPData.h"
#include "plans/Schichttypen.h"
#include "worksheets/Arbeitsblatt.h"
#include "worksheets/ArbeitsblattWindow.h"

#include "../platform/qt/QtTestSupport.h"
#include "RealProgramSupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QFileDialog>
#include <QLineEdit>
#include <QMouseEvent>

#include <signal.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using namespace apptest;

namespace {

class MainRoad : public RealProgramTest {
protected:
    static CArbeitsblatt& Sheet() { return *static_cast<CArbeitsblatt*>(GlobalProjektmanager.Projekt().GetArbeitsblatt(1)); }
    std::vector<uint32_t> Cells()
    {
        Runtime::HostBaton b;
        std::vector<uint32_t> cells;
        CAZPData& azp = Sheet().GetAZP();
        for (uint32_t g = 1; g <= azp.CountGroups(); ++g)
            for (uint32_t d = 1; d <= 7; ++d)
                cells.push_back(azp.GetCellSchicht(d, g) ? azp.GetCellSchicht(d, g)->SYSID : 0);
        return cells;
    }

    // A new project from the welcome window, the sample shifts and demand put in, and its
        // worksheet opened from the project tree with Enter: the worksheet's window.
        int NewProjectWithItsSheetOpen()
        {
        const int frame = WindowTitled("Varn 4");
        frameWindow = frame;
        const int welcome = WindowTitled("Willkommen bei Varn-4");
        EXPECT_TRUE(frame && welcome);
        Button(welcome, QStringLiteral("ein neues Arbeitszeitblatt anlegen"))->click();
        renderer->Settle();
        const int manager = WaitFor("Projektmanager");
        EXPECT_NE(manager, 0);

        // Shift types and a week of staff demand: two persons round the clock.
        {
            Runtime::HostBaton b;
            CArbeitsblatt& s = Sheet();
            AddSampleShifts(s);
            s.GetSchichttypen().GetSavable().StoreStep();
            s.GetAKB().GetSavable().StoreStep();
            s.GetSBP().GetSavable().StoreStep();
        }

        // The worksheet opened from the tree: its row chosen, then Enter.
        auto* tree = renderer->View(manager)->Client()->findChild<ListView*>();
        if (!tree)
            return 0;
        // The project's row opens with a click on its box; the worksheet's row is chosen.
        ClickTreeBox(tree, 1, 1);
        renderer->Settle();
        EXPECT_GE(tree->RowCount(), 3);
        ClickTreeBox(tree, 3, 2, 3 * TREE_INDENT);
        renderer->Settle();
        qttest::Press(tree, Qt::Key_Return);
        const int sheet = WaitFor("Arbeitszeitblatt");
        EXPECT_NE(sheet, 0) << "the worksheet's window did not open";
        CloseMessages(5000);
        return sheet;
    }

    // A new project's shift demand plan generated, then its working-time plan generated (or, with
    // `optimise`, generated and then optimised): returns while that search runs, the project changed.
    // `planBefore` receives the working-time plan the optimisation starts from.
    void SearchInANewProject(bool optimise, std::vector<uint32_t>* planBefore = nullptr)
    {
        const int sheet = NewProjectWithItsSheetOpen();
        ASSERT_NE(sheet, 0);
        Trigger(sheet, AB_SBP_GENERIEREN);
        FinishWizard("Schichtbedarfsplan generieren");
        CloseMessages();
        Trigger(sheet, AB_AZP_GENERIEREN);
        FinishWizard("Arbeitszeitplan generieren");
        if (optimise) {
            CancelSearchAfter(500);
            CloseMessages();
            if (planBefore)
                *planBefore = Cells();
            Trigger(sheet, AB_AZP_OPTIMIEREN);
            FinishWizard("Arbeitszeitplan generieren");
        }
        ASSERT_TRUE(ProcessUntil([&] { return renderer->Settle(100) && WindowTitled("Berechnung läuft...") != 0; }, apptest::kScreenWaitMs));
        Runtime::HostBaton b;
        ASSERT_EQ(OptimizationRunning, optimise);
        GlobalProjektmanager.Projekt().FileManager().SetChanged();
    }
    void AnswerTheSaveQuestion(const QString& answer)
    {
        QAbstractButton* button = nullptr;
        ASSERT_TRUE(ProcessUntil([&] { return (button = Button(WindowTitled("Änderungen speichern?"), answer)); }, apptest::kScreenWaitMs))
            << OpenTitles();
        Click(button);
    }
    void AnswerNoToTheSaveQuestion() { AnswerTheSaveQuestion(QStringLiteral("Nein")); }
    // Whether the running search finds a better plan than the one it started from (its window
    // counts the improvements) within `timeoutMs`; a generated plan may have none near it.
    bool SearchImproves(int timeoutMs)
    {
        const int line = CProgressWindow(ProgressLayout::Optimizer).InfoControl(1);
        return ProcessUntil([&] {
            renderer->Settle(100);
            const int progress = WindowTitled("Berechnung läuft...");
            if (progress == 0)
                return false;
            Runtime::HostBaton b;
            const std::string text = PropertyGet(progress, line, Prop::Text, 0).Str();
            return text.starts_with("Verbesserungen: ") && text != "Verbesserungen: 0";
        }, timeoutMs);
    }
    // Waits for the save question of a close asked during the search: whether the search still
    // ran when it came, and the worksheet's plan then.
    bool SearchRanAtTheQuestion(std::vector<uint32_t>& plan)
    {
        EXPECT_NE(WaitFor("Änderungen speichern?"), 0) << OpenTitles();
        plan = Cells();
        Runtime::HostBaton b;
        return OptimizationRunning;
    }
    // The project file opened with the frame's "Öffnen".
    void OpenAgain(const std::string& file)
    {
        Trigger(frameWindow, FRAME_OPEN);
        ChooseFile(Path(file));
        ASSERT_TRUE(ProcessUntil([&] {
            Runtime::HostBaton b;
            return GlobalProjektmanager.Projekt().IsOpen();
        }));
    }
    // "Optimieren" started in a new project, the project closed while it runs, up to the save
    // question: the plan the search started from, the worksheet's plan at the question, and
    // whether the search had found a better plan by then.
    void CloseDuringASearch(std::vector<uint32_t>& before, std::vector<uint32_t>& searched, bool& improved)
    {
        ASSERT_NO_FATAL_FAILURE(SearchInANewProject(true, &before));
        improved = SearchImproves(3000);
        Trigger(frameWindow, FRAME_FILECLOSE);
        EXPECT_FALSE(SearchRanAtTheQuestion(searched)) << "asked while the search still ran";
    }
    bool ProjectClosed()
    {
        return ProcessUntil([&] {
            Runtime::HostBaton b;
            return !GlobalProjektmanager.Projekt().IsOpen() && !OptimizationRunning;
        }, 10000);
    }
};

TEST_F(MainRoad, FromAnEmptyProjectToAPrintedSavedAndReopenedPlan)
{
    const int sheet = NewProjectWithItsSheetOpen();
    ASSERT_NE(sheet, 0);
    const int frame = frameWindow;

    // The shift demand plan, then the working-time plan, each from its menu.
    Trigger(sheet, AB_SBP_GENERIEREN);
    FinishWizard("Schichtbedarfsplan generieren");
    CloseMessages();
    {
        Runtime::HostBaton b;
        ASSERT_GT(Sheet().GetSBP().CountRows(), 0);
    }
    Trigger(sheet, AB_AZP_GENERIEREN);
    FinishWizard("Arbeitszeitplan generieren");
    CancelSearchAfter(2000);
    CloseMessages();
    uint32_t groups = 0;
    {
        Runtime::HostBaton b;
        groups = Sheet().GetAZP().CountGroups();
    }
    ASSERT_GT(groups, 0u);

    // Optimised for a short while (cancelled after two seconds), then the quality value.
    Trigger(sheet, AB_AZP_OPTIMIEREN);
    FinishWizard("Arbeitszeitplan generieren");
    CancelSearchAfter(2000);
    const std::vector<std::string> optimised = CloseMessages();
    ASSERT_FALSE(optimised.empty());
    EXPECT_TRUE(optimised.back() == "Arbeitszeitplan optimiert" ||
                optimised.back() == "keinen besseren Arbeitszeitplan gefunden")
        << ::testing::PrintToString(optimised);
    Trigger(sheet, AB_AZP_GUETEWERT);
    EXPECT_EQ(CloseMessages(), std::vector<std::string>{"Plangütewert AZP"});

    // A cell deleted with the Delete key, then undone with the toolbar.
    const std::vector<uint32_t> before = Cells();
    auto* plan = qobject_cast<ListView*>(renderer->ControlWidget(sheet, AB_AZP_LIST));
    ASSERT_NE(plan, nullptr);
    qttest::Click(plan->viewport(), QPoint(plan->ColumnLeft(2) + 4, plan->HeaderHeight() + plan->LineHeight() / 2));
    ASSERT_TRUE(renderer->Settle());
    qttest::Press(plan, Qt::Key_Delete);
    ASSERT_TRUE(renderer->Settle());
    EXPECT_NE(Cells(), before);
    Trigger(sheet, AB_UNDO);
    EXPECT_EQ(Cells(), before);

    // Printed: no printer offscreen, so the plan is saved as a PDF file.
    Trigger(sheet, AB_PRINT_BUTTON);
    const int refusal = WaitFor("Drucken nicht möglich");
    ASSERT_NE(refusal, 0);
    Click(Button(refusal, QStringLiteral("Als PDF speichern")));
    ChooseFile(Path("Plan.pdf"));
    ASSERT_TRUE(ProcessUntil([&] { return std::filesystem::exists(Path("Plan.pdf")); }));
    EXPECT_GT(std::filesystem::file_size(Path("Plan.pdf")), 1000u);
    // Shown by the desktop's program for PDFs, or where there is none the planner is told where it is.
    const std::vector<std::string> told = CloseMessages(5000);
    EXPECT_TRUE(told.empty() || told == std::vector<std::string>{"PDF-Datei gespeichert"}) << ::testing::PrintToString(told);

    // Saved under a name, closed, opened again: the same plan.
    const std::vector<uint32_t> cells = Cells();
    Trigger(frame, FRAME_SAVE);
    ChooseFile(Path("Station.prj"));
    ASSERT_TRUE(std::filesystem::exists(Path("Station.prj")));
    Trigger(frame, FRAME_FILECLOSE);
    CloseMessages(5000);
    ASSERT_TRUE(ProcessUntil([&] {
        Runtime::HostBaton b;
        return !GlobalProjektmanager.Projekt().IsOpen();
    }));
    EXPECT_EQ(WindowTitled("Arbeitszeitblatt"), 0);
    ASSERT_NO_FATAL_FAILURE(OpenAgain("Station.prj"));
    EXPECT_EQ(Cells(), cells);
}

// The program ended by SIGTERM while "Arbeitszeitplan generieren" runs: after "Nein" to the save
// question the search is cancelled as its own "Abbrechen" would, no result message waits, and the
// program ends within seconds instead of after the search's time limit.
TEST_F(MainRoad, EndingTheProgramDuringAGenerationEndsItWithinSeconds)
{
    ASSERT_NO_FATAL_FAILURE(SearchInANewProject(false));
    CloseSignals closeSignals(*renderer);
    ASSERT_TRUE(closeSignals.Active());
    ::raise(SIGTERM);
    AnswerNoToTheSaveQuestion();
    // Well before the search's time limit of a minute, with room for a loaded machine.
    ASSERT_TRUE(ProcessUntil([&] { return renderer->Ended(); }, 40000)) << "still open: " << OpenTitles();
}

// The same while "Optimieren" runs: every window of the project ignores its events meanwhile, yet
// the program's end, or closing the project, cancels the search and goes on within seconds.
TEST_F(MainRoad, EndingTheProgramDuringAnOptimisationEndsItWithinSeconds)
{
    ASSERT_NO_FATAL_FAILURE(SearchInANewProject(true));
    CloseSignals closeSignals(*renderer);
    ASSERT_TRUE(closeSignals.Active());
    ::raise(SIGTERM);
    AnswerNoToTheSaveQuestion();
    ASSERT_TRUE(ProcessUntil([&] { return renderer->Ended(); }, 40000)) << "still open: " << OpenTitles();
}

TEST_F(MainRoad, ClosingTheProjectDuringAnOptimisationClosesItWithinSeconds)
{
    ASSERT_NO_FATAL_FAILURE(SearchInANewProject(true));
    Trigger(frameWindow, FRAME_FILECLOSE);
    AnswerNoToTheSaveQuestion();
    ASSERT_TRUE(ProjectClosed()) << "still open: " << OpenTitles();
    EXPECT_EQ(WindowTitled("Arbeitszeitblatt"), 0);
}

// "Ja" to the save question of a close while "Optimieren" runs saves what the planner has then,
// the search's outcome included: the search ends first (as by "Abbrechen"), its best plan stored
// as the worksheet's step, then the project is saved and closed. Opened again, the plan is the
// searched one, not the one the search started from.
TEST_F(MainRoad, SavingOnCloseDuringAnOptimisationSavesTheSearchedPlan)
{
    std::vector<uint32_t> before, searched;
    bool improved = false;
    ASSERT_NO_FATAL_FAILURE(CloseDuringASearch(before, searched, improved));
    ASSERT_FALSE(before.empty());
    if (improved)
        EXPECT_NE(searched, before) << "the better plan was not taken";
    AnswerTheSaveQuestion(QStringLiteral("Ja"));
    ChooseFile(Path("Station.prj"));
    ASSERT_TRUE(ProjectClosed()) << "still open: " << OpenTitles();
    EXPECT_EQ(WindowTitled("Arbeitszeitblatt"), 0);

    ASSERT_NO_FATAL_FAILURE(OpenAgain("Station.prj"));
    EXPECT_EQ(Cells(), searched) << "the saved plan is not the one the search ended with";
}

// "Abbrechen" to that question keeps the project open; the search has ended to ask, and the plan it
// found stays the worksheet's, a change still to be saved.
TEST_F(MainRoad, CancellingTheCloseDuringAnOptimisationKeepsTheSearchedPlan)
{
    std::vector<uint32_t> before, searched;
    bool improved = false;
    ASSERT_NO_FATAL_FAILURE(CloseDuringASearch(before, searched, improved));
    AnswerTheSaveQuestion(QStringLiteral("Abbrechen"));
    ASSERT_TRUE(ProcessUntil([&] {
        renderer->Settle(100);
        if (WindowTitled("Änderungen speichern?") != 0)
            return false;
        Runtime::HostBaton b;
        return !OptimizationRunning;
    }, 10000)) << OpenTitles();
    {
        Runtime::HostBaton b;
        EXPECT_TRUE(GlobalProjektmanager.Projekt().IsOpen());
        EXPECT_TRUE(GlobalProjektmanager.Projekt().IsChanged());
    }
    EXPECT_NE(WindowTitled("Projektmanager"), 0);
    EXPECT_EQ(Cells(), searched);
    if (improved)
        EXPECT_NE(searched, before) << "the better plan was not taken";
}

} // namespace
