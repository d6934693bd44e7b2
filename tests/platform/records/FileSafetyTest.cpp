// Damage inside a record file, files held while in use, links, backslashes and scratch names.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>

#include "ReadOnlyFolder.h"
#include "TestFiles.h"

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

// The damaged files kept beside the tests, copied into the scratch directory (writable).
std::string Fixture(const std::string& name, const std::string& to) {
    const char* data = std::getenv("VARN_DATA_DIR");
    const std::filesystem::path from = std::filesystem::path(data ? data : "data") / ".." / "tests" / "data" / "damaged" / name;
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
    std::filesystem::permissions(to, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    return to;
}

// A container "c.dat" with shift records 1..3 (ID = n, STEP = 1) in table "Schicht".
class FileSafety : public TempDir {
protected:
    void MakeShifts(const std::string& file) {
        RecordFile f("SCHICHT", ShiftLayout());
        f.SetName(file + "\\!Schicht");
        ASSERT_EQ(FileCreate(f), ERR_NONE);
        ASSERT_EQ(FileOpen(f, FILE_READ_WRITE | FILE_DENY_ALL), ERR_NONE);
        for (int n = 1; n <= 3; ++n) {
            f.Clear();
            f.SetInt("ID", n);
            f.SetInt("STEP", 1);
            f.SetInt("BEGINN", 100 * n);
            ASSERT_EQ(FileAdd(f), ERR_NONE);
        }
        ASSERT_EQ(FileClose(f), ERR_NONE);
    }
};

} // namespace

// Key columns that disagree with their record: reading by key stops with 36 instead of running
// round (the record says ID 2, its columns say something that sorts last), and FileGet finds no
// record that is not what it was asked for.
TEST_F(FileSafety, KeyColumnsThatDisagreeWithTheirRecordAreDamage) {
    MakeShifts(Path("c.dat"));
    Sql(Path("c.dat"), "UPDATE t_schicht SET k0_0 = 'text', k0_1 = NULL WHERE id = 2");
    RecordFile f("SCHICHT", ShiftLayout());
    f.SetName(Path("c.dat") + "\\!Schicht");
    ASSERT_EQ(FileOpen(f, FILE_READ_WRITE | FILE_DENY_ALL), ERR_NONE);
    f.SetInt("ID", 0);
    f.SetInt("STEP", 0);
    ASSERT_EQ(FileSet(f, "KeyID"), ERR_NONE);
    std::vector<int64_t> ids;
    int rc;
    while ((rc = FileNext(f)) == ERR_NONE && ids.size() < 10) ids.push_back(f.GetInt("ID"));
    EXPECT_EQ(ids, (std::vector<int64_t>{1, 3}));
    EXPECT_EQ(rc, ERR_INVALID_FILE);
    EXPECT_EQ(f.GetInt("ID"), 3);   // the buffer keeps the last good record

    // Stored order does not read the key columns: every record is there.
    ASSERT_EQ(FileSet(f), ERR_NONE);
    ids.clear();
    while (FileNext(f) == ERR_NONE) ids.push_back(f.GetInt("ID"));
    EXPECT_EQ(ids, (std::vector<int64_t>{1, 2, 3}));
    FileClose(f);

    // A row whose columns claim ID 3 while its record is ID 2.
    Sql(Path("c.dat"), "UPDATE t_schicht SET k0_0 = 3, k0_1 = 1 WHERE id = 2");
    ASSERT_EQ(FileOpen(f, FILE_READ_WRITE | FILE_DENY_ALL), ERR_NONE);
    f.SetInt("ID", 3);
    f.SetInt("STEP", 1);
    EXPECT_EQ(FileGet(f, "KeyID"), ERR_INVALID_FILE);
    EXPECT_EQ(f.GetInt("ID"), 3);
    FileClose(f);
}

TEST_F(FileSafety, CheckRepairsKeyColumnsFromTheRecordAndRefusesWhatCannotBeRepaired) {
    MakeShifts(Path("c.dat"));
    Sql(Path("c.dat"), "UPDATE t_schicht SET k0_0 = 'text', k0_1 = NULL, k1_0 = NULL WHERE id = 2");
    const std::string damaged = ReadBytes(Path("c.dat"));

    FileCheckReport report;
    EXPECT_EQ(FileCheckNamed(Path("c.dat"), false, &report), ERR_INVALID_FILE);
    EXPECT_EQ(report.table, "Schicht");
    EXPECT_EQ(report.record, 2);
    EXPECT_EQ(ReadBytes(Path("c.dat")), damaged);   // only checked

    ASSERT_EQ(FileCheckNamed(Path("c.dat"), true, &report), ERR_NONE);
    EXPECT_EQ(report.repaired, 1);
    EXPECT_EQ(FileCheckNamed(Path("c.dat"), false, &report), ERR_NONE);
    RecordFile f("SCHICHT", ShiftLayout());
    f.SetName(Path("c.dat") + "\\!Schicht");
    ASSERT_EQ(FileOpen(f, FILE_READ_WRITE | FILE_DENY_ALL), ERR_NONE);
    std::vector<int64_t> ids, begins;
    f.SetInt("ID", 0);
    f.SetInt("STEP", 0);
    FileSet(f, "KeyID");
    while (FileNext(f) == ERR_NONE) ids.push_back(f.GetInt("ID"));
    f.SetInt("BEGINN", 0);
    f.SetInt("ENDE", 0);
    FileSet(f, "KeyAnfangszeit");
    while (FileNext(f) == ERR_NONE) begins.push_back(f.GetInt("BEGINN"));
    EXPECT_EQ(ids, (std::vector<int64_t>{1, 2, 3}));
    EXPECT_EQ(begins, (std::vector<int64_t>{100, 200, 300}));
    FileClose(f);

    // What cannot be mended without guessing is refused, naming table and record, and left alone.
    struct Case {
        const char* what;
        std::string sql;
        std::string table;
        int64_t record;
    };
    const Case cases[] = {
        {"zu lang", "UPDATE t_schicht SET rec = rec || x'00' WHERE id = 3", "Schicht", 3},
        {"Text", "UPDATE t_schicht SET rec = 'kein Satz' WHERE id = 1", "Schicht", 1},
        {"Beschreibung", "UPDATE varn_tables SET signature = 'size=12;KEYID(L4@0' WHERE name = 'Schicht'", "Schicht", 0},
        {"Tabelle fehlt", "DROP TABLE t_schicht", "Schicht", 0},
        // Record and column each hold a sound ID: which one is wrong cannot be told.
        {"Schlüssel", "UPDATE t_schicht SET k0_0 = 9 WHERE id = 2", "Schicht", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MakeShifts(Path("d.dat"));
        Sql(Path("d.dat"), c.sql);
        const std::string before = ReadBytes(Path("d.dat"));
        EXPECT_EQ(FileCheckNamed(Path("d.dat"), true, &report), ERR_INVALID_FILE);
        EXPECT_EQ(report.table, c.table);
        EXPECT_EQ(report.record, c.record);
        EXPECT_FALSE(report.problem.empty());
        EXPECT_EQ(ReadBytes(Path("d.dat")), before);
    }
}

// The two damaged projects the trial found.
TEST_F(FileSafety, DamagedProjectsFromTheTrialAreRepairedOrNamed) {
    FileCheckReport report;
    const std::string loops = Fixture("save-loops-forever.prj", Path("loops.prj"));
    ASSERT_EQ(FileCheckNamed(loops, true, &report), ERR_NONE);
    EXPECT_EQ(report.table, "Arbeitsblatt");
    EXPECT_EQ(report.repaired, 1);
    EXPECT_EQ(FileCheckNamed(loops, false, &report), ERR_NONE);

    const std::string partly = Fixture("opens-partly-never-saves.prj", Path("partly.prj"));
    EXPECT_EQ(FileCheckNamed(partly, true, &report), ERR_INVALID_FILE);
    EXPECT_EQ(report.table, "Arbeitsblatt");
    EXPECT_EQ(report.record, 2);
    EXPECT_EQ(report.problem, "Der Datensatz hat die falsche Länge (3290 statt 3268 Bytes).");
}

// A held file keeps other programs out (their opens and copies lock the file as these raw
// descriptors do) while this process reads and replaces it; the hold moves to the new file.
TEST_F(FileSafety, AHeldFileKeepsOtherProgramsOutAndMovesWithItsCopy) {
    MakeShifts(Path("c.dat"));
    MakeShifts(Path("neu.dat"));
    const auto otherCanLock = [&](int how) {
        const int fd = ::open(Path("c.dat").c_str(), O_RDONLY | O_CLOEXEC);
        const bool locked = ::flock(fd, how | LOCK_NB) == 0;
        ::close(fd);
        return locked;
    };
    ASSERT_EQ(FileHoldNamed(Path("c.dat")), ERR_NONE);
    EXPECT_TRUE(FileHeldNamed(Path("c.dat")));
    EXPECT_EQ(FileHoldNamed(Path("c.dat")), ERR_FILE_IN_USE);
    EXPECT_FALSE(otherCanLock(LOCK_SH));
    EXPECT_FALSE(otherCanLock(LOCK_EX));

    // This process reads it and replaces it; the hold goes to the new file.
    RecordFile f("SCHICHT", ShiftLayout());
    f.SetName(Path("c.dat") + "\\!Schicht");
    ASSERT_EQ(FileOpen(f, FILE_READ_WRITE | FILE_DENY_ALL), ERR_NONE);
    EXPECT_EQ(FileRecords(f), 3);
    FileClose(f);
    ASSERT_EQ(FileCopyNamed(Path("neu.dat"), Path("c.dat")), ERR_NONE);
    EXPECT_FALSE(otherCanLock(LOCK_SH));
    EXPECT_EQ(FileRemoveNamed(Path("c.dat")), ERR_FILE_IN_USE);

    FileReleaseNamed(Path("c.dat"));
    EXPECT_FALSE(FileHeldNamed(Path("c.dat")));
    EXPECT_TRUE(otherCanLock(LOCK_EX));

    // Another program holds it: this one can neither hold it nor copy over it.
    const int fd = ::open(Path("c.dat").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(fd, LOCK_SH), 0);
    EXPECT_EQ(FileHoldNamed(Path("c.dat")), ERR_FILE_IN_USE);
    EXPECT_EQ(FileCopyNamed(Path("neu.dat"), Path("c.dat")), ERR_FILE_IN_USE);
    ::close(fd);
    // A name that does not exist yet is only reserved.
    ASSERT_EQ(FileHoldNamed(Path("spaeter.dat")), ERR_NONE);
    ASSERT_EQ(FileCopyNamed(Path("neu.dat"), Path("spaeter.dat")), ERR_NONE);
    const int later = ::open(Path("spaeter.dat").c_str(), O_RDONLY | O_CLOEXEC);
    EXPECT_NE(::flock(later, LOCK_SH | LOCK_NB), 0);
    ::close(later);
    FileReleaseNamed(Path("spaeter.dat"));
}

TEST_F(FileSafety, CopyThroughALinkReplacesTheFileItPointsTo) {
    MakeShifts(Path("ziel.dat"));
    std::filesystem::create_directory(Path("sub"));
    std::filesystem::create_symlink(Path("ziel.dat"), Path("sub/link.dat"));
    RecordFile f("TEXT", TextLayout());
    f.SetName(Path("neu.dat"));
    ASSERT_EQ(FileCreate(f), ERR_NONE);
    ASSERT_EQ(FileCopyNamed(Path("neu.dat"), Path("sub/link.dat")), ERR_NONE);
    EXPECT_TRUE(std::filesystem::is_symlink(Path("sub/link.dat")));
    // The target now holds the new file's table and no longer the old one.
    RecordFile check("TEXT", TextLayout());
    check.SetName(Path("ziel.dat"));
    EXPECT_EQ(FileOpen(check, FILE_READ_ONLY | FILE_DENY_NONE), ERR_NONE);
    FileClose(check);
    // No copy was left beside the link.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Path("sub")), {}), 1);
}

TEST_F(FileSafety, ABackslashIsPartOfTheName) {
    std::filesystem::create_directory(Path("a"));
    MakeShifts(Path("a/p.dat"));
    const std::string before = ReadBytes(Path("a/p.dat"));
    RecordFile f("TEXT", TextLayout());
    f.SetName(Path("a\\p.dat"));
    ASSERT_EQ(FileCreate(f), ERR_NONE);
    EXPECT_TRUE(std::filesystem::exists(Path("a\\p.dat")));
    EXPECT_EQ(ReadBytes(Path("a/p.dat")), before);
    ASSERT_EQ(FileCopyNamed(Path("a\\p.dat"), Path("b\\q.dat")), ERR_NONE);
    EXPECT_TRUE(std::filesystem::exists(Path("b\\q.dat")));
    EXPECT_FALSE(std::filesystem::exists(Path("b")));
}

// Without a private folder there is no scratch name: never one in the shared temporary folder,
// where someone could have put a link under it first, nor one in a folder that is not this
// process's own (its parent's, or whatever was put in the place of its own after that went).
TEST_F(FileSafety, NoScratchNameOutsideAFolderOfItsOwn) {
    ReadOnlyFolder closed(Path("zu"));
    if (!closed.Usable()) GTEST_SKIP() << "no read-only folder can be made here";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::alarm(30);
        ::setenv("TMPDIR", closed.Path().c_str(), 1);
        const std::string name = FileScratchName("unbenannt.prj");
        ::_exit(name.empty() && ErrorCode() == ERR_ACCESS_DENIED && ErrorFile() == closed.Path() ? 0 : 1);
    }
    ASSERT_GT(pid, 0);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a name without a folder of its own";
    EXPECT_TRUE(closed.Empty());

    // The folder removed by a cleaner of the temporary folder, and a link to another folder put in
    // its place: the next name lies in a new folder of this process.
    const std::filesystem::path folder = std::filesystem::path(FileScratchName("x")).parent_path();
    std::filesystem::remove_all(folder);
    std::filesystem::create_directory(Path("fremd"));
    std::filesystem::create_directory_symlink(Path("fremd"), folder);
    const std::filesystem::path next = std::filesystem::path(FileScratchName("x")).parent_path();
    std::filesystem::remove(folder);
    EXPECT_NE(next, folder);
    EXPECT_FALSE(std::filesystem::is_symlink(next));
    struct stat st {};
    ASSERT_EQ(::stat(next.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(FileSafety, ScratchNamesAreNewAndPrivate) {
    const std::string a = FileScratchName("Kosten");
    const std::string b = FileScratchName("Kosten");
    EXPECT_NE(a, b);
    EXPECT_EQ(a.back(), '~');
    const auto folder = std::filesystem::path(a).parent_path();
    EXPECT_EQ(folder, std::filesystem::path(b).parent_path());
    struct stat st {};
    ASSERT_EQ(::stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_FALSE(std::filesystem::exists(a));
    EXPECT_EQ(FileScratchName("a/b").find("a/b"), std::string::npos);
}
