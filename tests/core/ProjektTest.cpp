// The project in memory: file names, its tree text, new, save, load and close.
#include "core/Projekt.h"

#include <gtest/gtest.h>

#include "ProjektTestSupport.h"

namespace {

struct NameCase {
    std::string chosen;
    std::string stored;
};

TEST(ProjektFileName, ExtensionIsAddedUnlessPresentInAnyCase)
{
    const NameCase cases[] = {
        {"plan", "plan.prj"},
        {"plan.prj", "plan.prj"},
        {"PLAN.PRJ", "PLAN.PRJ"},
        {"Plan.Prj", "Plan.Prj"},
        {"plan.prj   ", "plan.prj"},           // blanks at the end do not count
        {"/home/planer/Früh.pRj", "/home/planer/Früh.pRj"},
        {"plan.prj.alt", "plan.prj.alt.prj"},
        {"plan.txt", "plan.txt.prj"},
        {"prj", "prj.prj"},
        {".prj", ".prj"},
    };
    CProjekt p;
    for (const auto& c : cases) {
        p.SetFileName(c.chosen);
        EXPECT_EQ(p.GetFileName(), c.stored) << c.chosen;
    }
}

TEST(ProjektFileName, UnnamedIsTheDefaultNameInAnyDirectory)
{
    CProjekt p;
    EXPECT_TRUE(p.IsUnnamed());
    p.SetFileName("/tmp/unbenannt");
    EXPECT_TRUE(p.IsUnnamed());
    p.SetFileName("/tmp/Unbenannt.prj");
    EXPECT_FALSE(p.IsUnnamed());
    p.SetFileName("plan");
    EXPECT_FALSE(p.IsUnnamed());
}

TEST(ProjektFileName, TreeTextShortensLongNamesToTheirLast30Characters)
{
    CProjekt p;
    p.SetFileName(std::string(25, 'a'));   // 29 characters with ".prj"
    EXPECT_EQ(p.GetText(), "Varn 4-Projekt " + std::string(25, 'a') + ".prj");
    p.SetFileName("/x/" + std::string(23, 'b'));   // 30 characters
    EXPECT_EQ(p.GetText(), "Varn 4-Projekt .../x/" + std::string(23, 'b') + ".prj");
    p.SetFileName("/üx/" + std::string(23, 'c'));   // 31; an umlaut counts as one character
    EXPECT_EQ(p.GetText(), "Varn 4-Projekt ...üx/" + std::string(23, 'c') + ".prj");
}

using ProjektStore = ProjektDir;

TEST_F(ProjektStore, NewProjectHasOneWorksheetOfTheKindAndIsUnchanged)
{
    CProjekt p;
    EXPECT_FALSE(p.IsOpen());
    p.New(ARBEITSBLATT_FLEX);
    EXPECT_TRUE(p.IsOpen());
    EXPECT_TRUE(p.IsUnnamed());
    EXPECT_FALSE(p.IsChanged());
    ASSERT_EQ(p.CountArbeitsblaetter(), 1);
    EXPECT_EQ(p.GetArbeitsblatt(1)->GetTyp(), ARBEITSBLATT_FLEX);
    EXPECT_EQ(p.GetArbeitsblatt(1)->GetText(), "Flex-Arbeitszeitblatt");
    EXPECT_EQ(p.CountEntries(), 1 + 3);
    EXPECT_EQ(Listing().front(), "unbenannt.prj~");
    p.Close();
    EXPECT_FALSE(p.IsOpen());
    EXPECT_TRUE(Listing().empty());   // the working copy went
}

TEST_F(ProjektStore, SavedWorksheetsLoadInTheirOrder)
{
    {
        CProjekt p;
        p.New(ARBEITSBLATT_AZ);
        static_cast<TestSheet*>(p.GetArbeitsblatt(1))->name = "Erstes";
        static_cast<TestSheet*>(p.AddArbeitsblatt(ARBEITSBLATT_FLEX))->name = "Zweites";
        static_cast<TestSheet*>(p.AddArbeitsblatt(ARBEITSBLATT_AZ))->name = "Drittes";
        p.SetFileName("plan");
        ASSERT_EQ(p.Save(), STORE_DONE);
        EXPECT_FALSE(p.IsChanged());
    }
    CProjekt q;
    q.SetFileName(Path("plan.prj"));
    ASSERT_EQ(q.Load(), STORE_DONE);
    EXPECT_TRUE(q.IsOpen());
    ASSERT_EQ(q.CountArbeitsblaetter(), 3);
    std::vector<std::string> names;
    for (int32_t i = 1; i <= 3; ++i) names.push_back(q.GetArbeitsblatt(i)->GetText());
    EXPECT_EQ(names, (std::vector<std::string>{"Erstes", "Zweites", "Drittes"}));
    EXPECT_EQ(q.GetArbeitsblatt(2)->GetTyp(), ARBEITSBLATT_FLEX);
}

TEST_F(ProjektStore, RemovingAWorksheetWithItsDataLeavesTheOthers)
{
    CProjekt p;
    p.New(ARBEITSBLATT_AZ);
    static_cast<TestSheet*>(p.AddArbeitsblatt(ARBEITSBLATT_AZ))->name = "Bleibt";
    p.RemoveArbeitsblatt(1, true);
    p.SetFileName("plan");
    ASSERT_EQ(p.Save(), STORE_DONE);
    p.Close();
    p.SetFileName(Path("plan.prj"));
    ASSERT_EQ(p.Load(), STORE_DONE);
    ASSERT_EQ(p.CountArbeitsblaetter(), 1);
    EXPECT_EQ(p.GetArbeitsblatt(1)->GetText(), "Bleibt");
}

TEST_F(ProjektStore, MissingOrForeignFilesDoNotOpen)
{
    CProjekt p;
    p.SetFileName(Path("fehlt.prj"));
    EXPECT_EQ(p.Load(), STORE_REFUSED);
    EXPECT_FALSE(p.IsOpen());

    {
        std::FILE* f = std::fopen(Path("fremd.prj").c_str(), "w");
        std::fputs("keine Projektdatei", f);
        std::fclose(f);
    }
    p.SetFileName(Path("fremd.prj"));
    EXPECT_EQ(p.Load(), STORE_REFUSED);
    EXPECT_FALSE(p.IsOpen());
    EXPECT_EQ(Listing(), std::vector<std::string>{"fremd.prj"});   // no working copy left
}

TEST_F(ProjektStore, ProjectWithoutInformationLoadsButReportsTheFailure)
{
    {
        CProjekt p;
        p.New(ARBEITSBLATT_AZ);
        p.GetProjektInfo().DeleteAllSteps();
        p.GetProjektInfo().Release(p.FileManager());
        p.SetFileName("ohne");
        ASSERT_EQ(p.Save(), STORE_DONE);
    }
    CProjekt q;
    q.SetFileName(Path("ohne.prj"));
    EXPECT_EQ(q.Load(), STORE_REFUSED);
    EXPECT_TRUE(q.IsOpen());
    EXPECT_EQ(q.CountArbeitsblaetter(), 1);
}

TEST_F(ProjektStore, InformationStepsUndoAndSurviveASave)
{
    CProjekt p;
    p.New(ARBEITSBLATT_AZ);
    CProjektInfo& info = p.GetProjektInfo();
    EXPECT_FALSE(info.CanUndo(1));
    INFO.SetString("BEZEICHNUNG", "Leitstelle");
    info.FileManager().SaveRecord();
    ASSERT_EQ(info.StoreStep(), STORE_DONE);
    EXPECT_TRUE(p.IsChanged());
    ASSERT_TRUE(info.CanUndo(1));
    ASSERT_EQ(info.Undo(1), STORE_DONE);
    EXPECT_EQ(INFO.GetString("BEZEICHNUNG"), "");
    ASSERT_EQ(info.Redo(1), STORE_DONE);
    EXPECT_EQ(INFO.GetString("BEZEICHNUNG"), "Leitstelle");

    // Whatever a cancelled dialog left in the shared buffer is not what gets saved.
    INFO.SetString("BEZEICHNUNG", "verworfen");
    p.SetFileName("info");
    ASSERT_EQ(p.Save(), STORE_DONE);
    p.Close();
    p.SetFileName(Path("info.prj"));
    ASSERT_EQ(p.Load(), STORE_DONE);
    EXPECT_EQ(INFO.GetString("BEZEICHNUNG"), "Leitstelle");
    EXPECT_FALSE(p.GetProjektInfo().CanUndo(1));   // a loaded project starts at step 1
}

} // namespace
