// A project's data stays in its own file: failed saves leave nothing bound to the old working copy,
// damaged files open whole or not at all, saving ends for any content and can always go
// elsewhere, and the project file is the user's and nobody else's while it is open.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <sstream>
#include <tuple>

#include "../platform/records/FailingDisk.h"
#include "../platform/records/SmallDisk.h"
#include "ProjectStoreParts.h"

namespace {

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Sql(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

std::vector<Item> Items(const std::string& prefix, int n) {
    std::vector<Item> items;
    for (int i = 1; i <= n; ++i) items.push_back({prefix + std::to_string(i), i});
    return items;
}

// The items of every list a file holds, in key order.
std::vector<Item> ItemsIn(const std::string& file) {
    std::vector<Item> items;
    for (const Row& r : RowsIn(file, "Posten")) items.push_back({r.name, r.value});
    return items;
}

// Runs body in a child process that may take `seconds`; its exit code, or -1 when it was killed
// (a save that never ends must fail the test, not hang it).
int RunBounded(unsigned seconds, const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::alarm(seconds);
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

using ProjectFileSafety = StoreDir;

// Two saved projects of two sheets each: a.prj (items a1.., b1..) and z.prj (y1.., z1..).
void MakeProjects(const std::function<std::string(const std::string&)>& path) {
    for (const auto& [file, first, second] : {std::tuple{"a.prj", "a", "b"}, std::tuple{"z.prj", "y", "z"}}) {
        TestProject p;
        ASSERT_EQ(p.fm.OpenNew(path(file)), STORE_DONE);
        p.Add("Eins", Items(first, 3));
        p.Add("Zwei", Items(second, 2));
        ASSERT_EQ(p.fm.Save(path(file), false), STORE_DONE);
    }
}

// Another program: this test program run again, doing only OtherProgram.Acts with the action in
// its environment ("open <file>" or "save <file> <target>"). The file error code it ended with.
int OtherProgram(const std::string& action, const std::string& dir) {
    const std::string result = dir + "/ergebnis";
    std::filesystem::remove(result);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setenv("VARN_OTHER_ACTION", action.c_str(), 1);
        ::setenv("VARN_OTHER_RESULT", result.c_str(), 1);
        ::execl("/proc/self/exe", "anderes-programm", "--gtest_filter=OtherProgram.Acts", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    std::ifstream in(result);
    int code = -1;
    in >> code;
    return code;
}

} // namespace

TEST(OtherProgram, Acts) {
    const char* action = std::getenv("VARN_OTHER_ACTION");
    const char* result = std::getenv("VARN_OTHER_RESULT");
    if (!action || !result) GTEST_SKIP() << "only as another program of a test";
    std::istringstream words(action);
    std::string verb, file, target;
    words >> verb >> file >> target;
    TestProject q;
    int code = q.Load(file) == STORE_DONE ? ERR_NONE : ErrorCode();
    if (code == ERR_NONE && verb == "save") code = q.fm.Save(target, false) == STORE_DONE ? ERR_NONE : ErrorCode();
    std::ofstream(result) << code;
}

// A save that fails at any step (a full disk: every write from there on fails) leaves the tables'
// use counts as it found them, so that after closing, the next project opens on its own file,
// shows its own data and saves into its own file.
TEST_F(ProjectFileSafety, AFailedSaveLeavesNothingBoundToTheOldWorkingCopy) {
    MakeProjects([this](const std::string& n) { return Path(n); });
    const std::string oldA = ReadBytes(Path("a.prj"));
    const std::string oldZ = ReadBytes(Path("z.prj"));
    FailingDisk disk;

    // How many operations a whole save takes.
    long total = 0;
    {
        TestProject p;
        ASSERT_EQ(p.Load(Path("a.prj")), STORE_DONE);
        p.sheets[0]->list.items = Items("neu", 4);
        ASSERT_EQ(p.sheets[0]->list.StoreStep(), STORE_DONE);
        disk.FailFrom(0);
        ASSERT_EQ(p.fm.Save(Path("a.prj"), false), STORE_DONE);
        total = disk.Count();
    }
    std::ofstream(Path("a.prj"), std::ios::binary | std::ios::trunc) << oldA;
    ASSERT_GT(total, 5);

    // Every step when there are few, else the first and last ones and evenly spaced ones.
    std::set<long> points;
    for (long k = 1; k <= total; ++k)
        if (total <= 40 || k <= 10 || k > total - 10 || k % (total / 15 + 1) == 0) points.insert(k);
    std::set<int> codes;
    for (const long at : points) {
        SCOPED_TRACE("failing from operation " + std::to_string(at) + " of " + std::to_string(total));
        {
            TestProject p;
            ASSERT_EQ(p.Load(Path("a.prj")), STORE_DONE);
            p.sheets[0]->list.items = Items("neu", 4);
            ASSERT_EQ(p.sheets[0]->list.StoreStep(), STORE_DONE);
            const int sheetUse = CSubfileManager::UseCount(SheetFile());
            const int itemUse = CSubfileManager::UseCount(ItemFile());
            messages_.clear();
            disk.FailFrom(at);
            const uint8_t saved = p.fm.Save(Path("a.prj"), false);
            disk.FailFrom(0);
            if (saved != STORE_DONE) {
                EXPECT_NE(ErrorCode(), ERR_NONE);   // a refused save names its reason
                codes.insert(ErrorCode());
                EXPECT_EQ(ReadBytes(Path("a.prj")), oldA);
            }
            // Never one too many; none at all only where the full disk kept the tables from
            // opening again.
            const bool closed = !FileIsOpen(SheetFile());
            EXPECT_EQ(CSubfileManager::UseCount(SheetFile()), closed ? 0 : sheetUse);
            EXPECT_EQ(CSubfileManager::UseCount(ItemFile()), closed ? 0 : itemUse);
            // With room again, the work is saved (elsewhere, as a planner rescues it) and the
            // tables are in use as before.
            if (saved != STORE_DONE) {
                ASSERT_EQ(p.fm.Save(Path("rettung.prj"), false), STORE_DONE);
                EXPECT_EQ(CSubfileManager::UseCount(SheetFile()), sheetUse);
                EXPECT_EQ(CSubfileManager::UseCount(ItemFile()), itemUse);
                std::vector<Item> expected = Items("neu", 4);
                for (const Item& i : Items("b", 2)) expected.push_back(i);
                EXPECT_EQ(ItemsIn(Path("rettung.prj")), expected);
            }
        }
        EXPECT_EQ(CSubfileManager::UseCount(SheetFile()), 0);
        EXPECT_EQ(CSubfileManager::UseCount(ItemFile()), 0);

        // The second project: its own data, saved into its own file.
        TestProject q;
        ASSERT_EQ(q.Load(Path("z.prj")), STORE_DONE);
        ASSERT_EQ(q.sheets.size(), size_t{2});
        EXPECT_EQ(q.sheets[0]->list.items, Items("y", 3));
        q.sheets[1]->list.items = Items("z", 5);
        ASSERT_EQ(q.sheets[1]->list.StoreStep(), STORE_DONE);
        ASSERT_EQ(q.fm.Save(Path("z.prj"), false), STORE_DONE);
        q.Close();
        std::vector<Item> expected = Items("y", 3);
        for (const Item& i : Items("z", 5)) expected.push_back(i);
        EXPECT_EQ(ItemsIn(Path("z.prj")), expected);
        std::ofstream(Path("z.prj"), std::ios::binary | std::ios::trunc) << oldZ;
        std::ofstream(Path("a.prj"), std::ios::binary | std::ios::trunc) << oldA;
    }
    // The failures are reported as what they are.
    EXPECT_TRUE(codes.count(ERR_DISK_FULL));
}

// Key columns beside a record that disagree with it made the copy before saving run for ever.
// Opening repairs them from the records (the project file stays as it is until the next save), and
// the save ends with the right content.
TEST_F(ProjectFileSafety, KeyColumnsThatDisagreeAreRepairedAndSavingEnds) {
    int32_t firstList = 0;
    {
        TestProject p;
        ASSERT_EQ(p.fm.OpenNew(Path("a.prj")), STORE_DONE);
        firstList = p.Add("Eins", Items("a", 3)).list.ID();
        p.Add("Zwei", Items("b", 2));
        ASSERT_EQ(p.fm.Save(Path("a.prj"), false), STORE_DONE);
    }
    Sql(Path("a.prj"), "UPDATE t_posten SET k0_0 = 'text', k0_1 = NULL WHERE id = (SELECT min(id) FROM t_posten "
                       "WHERE k0_0 = " + std::to_string(firstList) + ")");
    const std::string damaged = ReadBytes(Path("a.prj"));
    const int code = RunBounded(60, [this] {
        TestProject p;
        if (p.Load(Path("a.prj")) != STORE_DONE) return 10;
        if (p.sheets.size() != 2 || p.sheets[0]->list.items != Items("a", 3)) return 11;
        if (p.fm.Save(Path("a.prj"), false) != STORE_DONE) return 12;
        return 0;
    });
    ASSERT_EQ(code, 0);
    EXPECT_NE(ReadBytes(Path("a.prj")), damaged);
    FileCheckReport report;
    EXPECT_EQ(FileCheckNamed(Path("a.prj"), false, &report), ERR_NONE);
    std::vector<Item> expected = Items("a", 3);
    for (const Item& i : Items("b", 2)) expected.push_back(i);
    EXPECT_EQ(ItemsIn(Path("a.prj")), expected);
}

// A project that cannot be read whole is refused, naming what is damaged, and leaves nothing
// behind; it never opens in part.
TEST_F(ProjectFileSafety, APartlyDamagedProjectIsRefusedWithWhatIsDamaged) {
    int32_t secondList = 0;
    {
        TestProject p;
        ASSERT_EQ(p.fm.OpenNew(Path("a.prj")), STORE_DONE);
        p.Add("Eins", Items("a", 3));
        secondList = p.Add("Zwei", Items("b", 3)).list.ID();
        ASSERT_EQ(p.fm.Save(Path("a.prj"), false), STORE_DONE);
    }
    Sql(Path("a.prj"), "UPDATE t_posten SET rec = rec || x'0000' WHERE id = (SELECT id FROM t_posten WHERE k0_0 = " +
                           std::to_string(secondList) + " ORDER BY id LIMIT 1 OFFSET 1)");
    const std::string old = ReadBytes(Path("a.prj"));
    const auto listing = Listing();

    TestProject q;
    EXPECT_EQ(q.Load(Path("a.prj")), STORE_REFUSED);
    EXPECT_EQ(ErrorCode(), ERR_INVALID_FILE);
    EXPECT_EQ(q.fm.Problem(), "Beschädigt ist die Tabelle \"Posten\", Datensatz 5: Der Datensatz hat die falsche "
                              "Länge (34 statt 32 Bytes).");
    EXPECT_TRUE(q.sheets.empty());
    EXPECT_EQ(ReadBytes(Path("a.prj")), old);
    EXPECT_EQ(Listing(), listing);
    EXPECT_EQ(CSubfileManager::UseCount(ItemFile()), 0);
    // Nor does it stay locked.
    q.Close();
    EXPECT_FALSE(FileHeldNamed(Path("a.prj")));
}

// The working copy's folder has gone (or its disk is full): saving there fails and the work can
// still be saved elsewhere, because the reduced copy is built beside the new file.
TEST_F(ProjectFileSafety, WorkCanBeSavedElsewhereWhenTheWorkingCopysFolderIsGone) {
    std::filesystem::create_directory(Path("alt"));
    std::filesystem::create_directory(Path("neu"));
    {
        TestProject p;
        ASSERT_EQ(p.fm.OpenNew(Path("alt/a.prj")), STORE_DONE);
        p.Add("Eins", Items("a", 2));
        ASSERT_EQ(p.fm.Save(Path("alt/a.prj"), false), STORE_DONE);
    }
    TestProject p;
    ASSERT_EQ(p.Load(Path("alt/a.prj")), STORE_DONE);
    p.sheets[0]->list.items = Items("gerettet", 3);
    ASSERT_EQ(p.sheets[0]->list.StoreStep(), STORE_DONE);
    std::filesystem::remove_all(Path("alt"));

    EXPECT_EQ(p.fm.Save(Path("alt/a.prj"), false), STORE_REFUSED);
    EXPECT_NE(ErrorCode(), ERR_NONE);
    ASSERT_EQ(p.fm.Save(Path("neu/b.prj"), false), STORE_DONE);
    EXPECT_EQ(p.fm.FileName(), Path("neu/b.prj"));
    EXPECT_EQ(p.fm.PhysFileName(), Path("neu/b.prj~"));
    EXPECT_EQ(ItemsIn(Path("neu/b.prj")), Items("gerettet", 3));
    // The parts go on working in the new working copy.
    p.sheets[0]->list.items = Items("weiter", 1);
    ASSERT_EQ(p.sheets[0]->list.StoreStep(), STORE_DONE);
    ASSERT_EQ(p.sheets[0]->list.Undo(1), STORE_DONE);
    EXPECT_EQ(p.sheets[0]->list.items, Items("gerettet", 3));
    p.Close();
    EXPECT_EQ(Listing(), std::vector<std::string>{"neu"});
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Path("neu")), {}), 1);
}

// While a project is open its file is locked: another program can neither open it nor save over
// it, and cannot take the lock by opening it either. A project saved under a new name moves the
// lock with it.
TEST_F(ProjectFileSafety, AnOpenProjectsFileIsNobodyElses) {
    MakeProjects([this](const std::string& n) { return Path(n); });
    TestProject p;
    ASSERT_EQ(p.Load(Path("a.prj")), STORE_DONE);
    const std::string old = ReadBytes(Path("a.prj"));

    // Another program opens it, or saves its own project over it: refused, in use.
    EXPECT_EQ(OtherProgram("open " + Path("a.prj"), dir_), ERR_FILE_IN_USE);
    EXPECT_EQ(OtherProgram("save " + Path("z.prj") + " " + Path("a.prj"), dir_), ERR_FILE_IN_USE);
    EXPECT_EQ(ReadBytes(Path("a.prj")), old);

    // Saved under a new name: the new file is held, the old one free again.
    ASSERT_EQ(p.fm.Save(Path("c.prj"), false), STORE_DONE);
    EXPECT_TRUE(FileHeldNamed(Path("c.prj")));
    EXPECT_FALSE(FileHeldNamed(Path("a.prj")));
    EXPECT_EQ(OtherProgram("open " + Path("c.prj"), dir_), ERR_FILE_IN_USE);
    EXPECT_EQ(OtherProgram("open " + Path("a.prj"), dir_), ERR_NONE);
    // Saved again over its own file: still held.
    ASSERT_EQ(p.fm.Save(Path("c.prj"), false), STORE_DONE);
    EXPECT_EQ(OtherProgram("save " + Path("z.prj") + " " + Path("c.prj"), dir_), ERR_FILE_IN_USE);
    p.Close();
    EXPECT_EQ(OtherProgram("open " + Path("c.prj"), dir_), ERR_NONE);
}

// A new project's working copy left by a program that was killed is removed when the program
// next makes its scratch files; the next program's own new project opens as usual.
TEST_F(ProjectFileSafety, ANewProjectsCopyLeftByACrashGoesAtTheNextStart) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    const pid_t crashed = ::fork();
    if (crashed == 0) {
        ::close(fds[0]);
        ::setenv("TMPDIR", dir_.c_str(), 1);
        TestProject p;
        if (p.fm.OpenNewPrivate("Unbenannt.prj") != STORE_DONE) ::_exit(1);
        p.Add("Eins", Items("a", 3));
        const std::string line = p.fm.PhysFileName() + "\n";
        if (::write(fds[1], line.data(), line.size()) != static_cast<ssize_t>(line.size())) ::_exit(1);
        for (;;) ::pause();
    }
    ASSERT_GT(crashed, 0);
    ::close(fds[1]);
    std::string copy;
    for (char ch; ::read(fds[0], &ch, 1) == 1 && ch != '\n';) copy += ch;
    ::close(fds[0]);
    ::kill(crashed, SIGKILL);
    ::waitpid(crashed, nullptr, 0);
    ASSERT_FALSE(copy.empty());
    ASSERT_TRUE(std::filesystem::exists(copy));
    EXPECT_EQ(std::filesystem::path(copy).parent_path().parent_path(), std::filesystem::path(dir_));

    EXPECT_EQ(RunBounded(30, [this] {
                  ::setenv("TMPDIR", dir_.c_str(), 1);
                  TestProject next;
                  return next.fm.OpenNewPrivate("Unbenannt.prj") == STORE_DONE ? 0 : 1;
              }),
              0);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(copy).parent_path()));
}

// Names the user chose reach the file they name: through a link to its target, with a backslash
// as a character of the name. A file marked read-only is not replaced.
TEST_F(ProjectFileSafety, LinksBackslashesAndReadOnlyFiles) {
    MakeProjects([this](const std::string& n) { return Path(n); });
    std::filesystem::create_symlink(Path("a.prj"), Path("link.prj"));
    {
        TestProject p;
        ASSERT_EQ(p.Load(Path("link.prj")), STORE_DONE);
        p.sheets[0]->list.items = Items("durch", 2);
        ASSERT_EQ(p.sheets[0]->list.StoreStep(), STORE_DONE);
        ASSERT_EQ(p.fm.Save(Path("link.prj"), false), STORE_DONE);
    }
    EXPECT_TRUE(std::filesystem::is_symlink(Path("link.prj")));
    std::vector<Item> expected = Items("durch", 2);
    for (const Item& i : Items("b", 2)) expected.push_back(i);
    EXPECT_EQ(ItemsIn(Path("a.prj")), expected);

    // "a\p.prj" is a file of its own in this folder, not p.prj in folder a.
    std::filesystem::create_directory(Path("a"));
    std::filesystem::copy_file(Path("z.prj"), Path("a/p.prj"));
    const std::string inFolder = ReadBytes(Path("a/p.prj"));
    {
        TestProject p;
        ASSERT_EQ(p.fm.OpenNew(Path("a\\p.prj")), STORE_DONE);
        p.Add("Eins", Items("x", 1));
        ASSERT_EQ(p.fm.Save(Path("a\\p.prj"), false), STORE_DONE);
        EXPECT_EQ(p.fm.PhysFileName(), Path("a\\p.prj~"));
    }
    EXPECT_EQ(ItemsIn(Path("a\\p.prj")), Items("x", 1));
    EXPECT_EQ(ReadBytes(Path("a/p.prj")), inFolder);
    {
        TestProject p;
        ASSERT_EQ(p.Load(Path("a\\p.prj")), STORE_DONE);
        ASSERT_EQ(p.sheets.size(), size_t{1});
        EXPECT_EQ(p.sheets[0]->list.items, Items("x", 1));
    }

    // Read-only: refused with the reason, the file as it was.
    ::chmod(Path("z.prj").c_str(), 0444);
    const std::string z = ReadBytes(Path("z.prj"));
    TestProject p;
    ASSERT_EQ(p.Load(Path("z.prj")), STORE_DONE);
    p.sheets[0]->list.items = Items("nicht", 1);
    ASSERT_EQ(p.sheets[0]->list.StoreStep(), STORE_DONE);
    EXPECT_EQ(p.fm.Save(Path("z.prj"), false), STORE_REFUSED);
    EXPECT_EQ(ErrorCode(), ERR_ACCESS_DENIED);
    EXPECT_NE(p.fm.Problem().find("schreibgeschützt"), std::string::npos);
    EXPECT_EQ(ReadBytes(Path("z.prj")), z);
    EXPECT_EQ(p.fm.Save(Path("z2.prj"), false), STORE_DONE);
}

// A save onto a disk that fills up at any of its steps (the reduced copy, the working copy, the
// project file) says so: 39 "Der Datenträger ist voll", never "Fehler im Dateisystem", and
// leaves no partial file behind.
TEST_F(ProjectFileSafety, AFullDiskIsToldAsFullAtEveryStepOfASave) {
    for (const size_t free : {size_t(0), size_t(8192), size_t(16384), size_t(32768), size_t(131072)}) {
        SCOPED_TRACE(std::to_string(free) + " Bytes frei");
        TestProject p;
        ASSERT_EQ(p.fm.OpenNew(Path("a.prj")), STORE_DONE);
        p.Add("Eins", Items("a", 500));
        SmallDisk disk(Path("voll"), 1024 * 1024);
        if (!disk.Mounted()) GTEST_SKIP() << "no tmpfs can be mounted here";
        disk.LeaveFree(free);
        EXPECT_EQ(p.fm.Save(Path("voll/a.prj"), false), STORE_REFUSED);
        EXPECT_EQ(ErrorCode(), ERR_DISK_FULL) << ErrorText();
        EXPECT_EQ(ErrorTextFor(ERR_DISK_FULL).find("Der Datenträger ist voll"), 0u);
        std::vector<std::string> left;
        for (const auto& e : std::filesystem::directory_iterator(Path("voll"))) left.push_back(e.path().filename().string());
        EXPECT_EQ(left, std::vector<std::string>{"fueller"});
    }
}
