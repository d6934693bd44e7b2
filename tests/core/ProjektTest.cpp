// The project in memory: file names, its tree text, new, save, load and close.
#include "core/Projekt.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <utility>
#include <iterator>

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
    // The working copy is the program's own scratch file, not one beside the name.
    const std::string copy = p.FileManager().PhysFileName();
    EXPECT_TRUE(std::filesystem::exists(copy));
    EXPECT_TRUE(Listing().empty());
    p.Close();
    EXPECT_FALSE(p.IsOpen());
    EXPECT_FALSE(std::filesystem::exists(copy));   // the working copy went
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

namespace {
void Sql(const std::string& path, const std::string& sql)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

std::string Bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// `copies` more copies of the first record of a table (same ID and step).
std::string Repeat(const std::string& table, int copies)
{
    return "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < " + std::to_string(copies) +
           ") INSERT INTO t_" + table + " (rec, k0_0, k0_1) SELECT rec, k0_0, k0_1 FROM t_" + table +
           ", n WHERE id = (SELECT min(id) FROM t_" + table + ")";
}
} // namespace

// A record repeated with the same ID and step would open as a phantom worksheet, or as
// information that can never be saved: such a file is refused, naming the table, and left as it
// was. Worksheets of their own IDs are no repetition.
TEST_F(ProjektStore, RepeatedRecordsAreRefusedNamingTheTable)
{
    struct Case {
        const char* name;
        std::string sql;
        const char* table;   // nullptr: the file opens
    };
    const std::vector<Case> cases = {
        {"ein Arbeitsblatt doppelt", Repeat("arbeitsblatt", 1), "Arbeitsblatt"},
        {"ein Arbeitsblatt 5000-mal mehr", Repeat("arbeitsblatt", 5000), "Arbeitsblatt"},
        {"die Projektinformation doppelt", Repeat("projektinfo", 1), "Projektinfo"},
        {"unverändert", "SELECT 1", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(Path("plan.prj"));
        {
            CProjekt p;
            p.New(ARBEITSBLATT_AZ);
            p.AddArbeitsblatt(ARBEITSBLATT_FLEX);
            p.SetFileName("plan");
            ASSERT_EQ(p.Save(), STORE_DONE);
        }
        Sql(Path("plan.prj"), c.sql);
        const std::string bytes = Bytes(Path("plan.prj"));
        CProjekt q;
        q.SetFileName(Path("plan.prj"));
        if (!c.table) {
            ASSERT_EQ(q.Load(), STORE_DONE);
            EXPECT_EQ(q.CountArbeitsblaetter(), 2);
            q.Close();
            continue;
        }
        EXPECT_EQ(q.Load(), STORE_REFUSED);
        EXPECT_EQ(ErrorCode(), ERR_INVALID_FILE);
        EXPECT_NE(q.FileManager().Problem().find(std::string("Tabelle \"") + c.table + "\""), std::string::npos)
            << q.FileManager().Problem();
        EXPECT_NE(q.FileManager().Problem().find("mehrfach vorhanden"), std::string::npos);
        EXPECT_EQ(q.CountArbeitsblaetter(), 0);
        EXPECT_EQ(Bytes(Path("plan.prj")), bytes);
        EXPECT_EQ(Listing(), std::vector<std::string>{"plan.prj"}) << "no working copy left";
        q.Close();
    }
}

// Two programs started in one folder each make a new project: they never share a working copy,
// and each saves its own work under its own name. The first keeps its project open while the
// second makes and saves its own.
TEST_F(ProjektStore, TwoNewProjectsInOneFolderEachSaveTheirOwnWork)
{
    int ready[2], done[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(done), 0);
    // One program: a new project with a worksheet of `name`, saved as `file` once `wait` allows.
    const auto program = [](const char* name, const char* file, int tell, int wait) {
        CProjekt p;
        if (p.New(ARBEITSBLATT_AZ) != STORE_DONE)
            return 10;
        static_cast<TestSheet*>(p.GetArbeitsblatt(1))->name = name;
        p.GetArbeitsblatt(1)->Save();
        char byte = 1;
        if (tell >= 0 && ::write(tell, &byte, 1) != 1)
            return 11;
        if (wait >= 0 && ::read(wait, &byte, 1) != 1)
            return 12;
        p.SetFileName(file);
        return p.Save() == STORE_DONE ? 0 : 13;
    };
    const pid_t first = ::fork();
    if (first == 0)
        ::_exit(program("Erstes", "eins", ready[1], done[0]));
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    const pid_t second = ::fork();
    if (second == 0)
        ::_exit(program("Zweites", "zwei", -1, -1));
    int status = 0;
    ::waitpid(second, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "zweites Programm: " << status;
    ASSERT_EQ(::write(done[1], &byte, 1), 1);
    ::waitpid(first, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "erstes Programm: " << status;
    for (int fd : {ready[0], ready[1], done[0], done[1]})
        ::close(fd);
    for (const auto& [file, name] : {std::pair{"eins.prj", "Erstes"}, std::pair{"zwei.prj", "Zweites"}}) {
        SCOPED_TRACE(file);
        CProjekt q;
        q.SetFileName(Path(file));
        ASSERT_EQ(q.Load(), STORE_DONE);
        ASSERT_EQ(q.CountArbeitsblaetter(), 1);
        EXPECT_EQ(q.GetArbeitsblatt(1)->GetText(), name);
        q.Close();
    }
    EXPECT_EQ(Listing(), (std::vector<std::string>{"eins.prj", "zwei.prj"}));
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
