#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <set>

#include "TestFiles.h"

namespace {

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class TwoFiles : public TempDir {
protected:
    void SetUp() override {
        TempDir::SetUp();
        plan.SetName(Path("p.prj~") + "\\!Schichtfolgen");
        shifts.SetName(Path("p.prj~") + "\\!Schichttypen");
        costs.SetName(Path("Kosten.tmp"));
        for (RecordFile* f : {&plan, &shifts, &costs}) {
            ASSERT_EQ(FileCreate(*f), 0);
            ASSERT_EQ(FileOpen(*f, 0x12), 0);
        }
    }
    static void Add(RecordFile& f, int id) {
        f.Clear();
        f.SetInt("ID", id);
        f.SetInt("STEP", 1);
        ASSERT_EQ(FileAdd(f), 0);
    }
    RecordFile plan{"AZP", ShiftLayout()}, shifts{"SCHICHT", ShiftLayout()}, costs{"TMPKOST", ShiftLayout()};
};

// Runs `body` in a child process and returns its exit status.
template <typename F>
int InChild(F body) {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(body());
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

TEST_F(TwoFiles, RolledBackTransactionLeavesNoTrace) {
    Add(plan, 1);
    ASSERT_EQ(FileLogout(5, plan, shifts, costs), 0);
    EXPECT_TRUE(FileInTransaction());
    Add(plan, 2);
    Add(shifts, 3);
    Add(costs, 4);
    ASSERT_EQ(FileSet(plan), 0);
    ASSERT_EQ(FileNext(plan), 0);
    ASSERT_EQ(FileDelete(plan), 0);
    ASSERT_EQ(FileRollback(), 0);
    EXPECT_FALSE(FileInTransaction());
    EXPECT_EQ(FileRecords(plan), 1);
    EXPECT_EQ(FileRecords(shifts), 0);
    EXPECT_EQ(FileRecords(costs), 0);
    ASSERT_EQ(FileSet(plan), 0);
    ASSERT_EQ(FileNext(plan), 0);
    EXPECT_EQ(plan.GetInt("ID"), 1);
}

TEST_F(TwoFiles, CommittedTransactionIsThereAfterReopening) {
    ASSERT_EQ(FileLogout(5, plan, costs), 0);
    Add(plan, 1);
    Add(costs, 2);
    ASSERT_EQ(FileCommit(), 0);
    for (RecordFile* f : {&plan, &costs}) {
        ASSERT_EQ(FileClose(*f), 0);
        ASSERT_EQ(FileOpen(*f, 0x12), 0);
        EXPECT_EQ(FileRecords(*f), 1);
    }
}

TEST_F(TwoFiles, TransactionRules) {
    EXPECT_EQ(FileCommit(), ERR_TRANSACTION);
    EXPECT_EQ(FileRollback(), ERR_TRANSACTION);
    ASSERT_EQ(FileLogout(5, plan), 0);
    EXPECT_EQ(FileLogout(5, shifts), ERR_TRANSACTION_ACTIVE);
    ASSERT_EQ(FileCommit(), 0);
    RecordFile closed("X", ShiftLayout());
    EXPECT_EQ(FileLogout(5, plan, closed), ERR_NOT_OPEN);
    EXPECT_FALSE(FileInTransaction());
    // A reader in the middle of a step carries on after a transaction of another file.
    Add(plan, 1);
    Add(plan, 2);
    ASSERT_EQ(FileSet(plan), 0);
    ASSERT_EQ(FileNext(plan), 0);
    ASSERT_EQ(FileLogout(5, shifts), 0);
    Add(shifts, 9);
    ASSERT_EQ(FileCommit(), 0);
    ASSERT_EQ(FileNext(plan), 0);
    EXPECT_EQ(plan.GetInt("ID"), 2);
}

TEST_F(TwoFiles, ExclusiveOpenKeepsOtherProcessesOut) {
    // The child reaches the file by another path, so that nothing it inherited from this process
    // stands in for the other process's own view of the file.
    std::filesystem::create_directory_symlink(dir_, Path("link"));
    const std::string name = Path("link/p.prj~") + "\\!Schichtfolgen";
    auto tryOpen = [name] {
        RecordFile f("AZP", ShiftLayout());
        f.SetName(name);
        return FileOpen(f, 0x12);
    };
    EXPECT_EQ(InChild(tryOpen), ERR_FILE_IN_USE);
    const std::string file = Path("link/p.prj~");
    EXPECT_EQ(InChild([file] { return FileRemoveNamed(file); }), ERR_FILE_IN_USE);
    ASSERT_EQ(FileClose(plan), 0);
    ASSERT_EQ(FileClose(shifts), 0);
    EXPECT_EQ(InChild(tryOpen), 0);
}

TEST_F(TwoFiles, CopyOfAnOpenWorkingCopyIsCompleteAndPlain) {
    for (int i = 1; i <= 3; ++i) Add(plan, i);
    Add(shifts, 7);
    const std::string target = Path("p.prj");
    ASSERT_EQ(FileCopyNamed(Path("p.prj~"), target), 0);
    // The working copy runs with a write-ahead log; the saved file does not need one.
    const std::string header = ReadBytes(target).substr(0, 20);
    EXPECT_EQ(header.substr(0, 15), "SQLite format 3");
    EXPECT_EQ(header[18], 1);
    EXPECT_EQ(ReadBytes(Path("p.prj~")).substr(18, 1), "\x02");
    RecordFile saved("AZP", ShiftLayout());
    saved.SetName(target + "\\!Schichtfolgen");
    ASSERT_EQ(FileOpen(saved, 0x12), 0);
    EXPECT_EQ(FileRecords(saved), 3);
    // Copying over an open file is refused and leaves it as it is.
    EXPECT_EQ(FileCopyNamed(Path("p.prj~"), target), ERR_FILE_IN_USE);
    ASSERT_EQ(FileClose(saved), 0);
    Add(plan, 4);
    ASSERT_EQ(FileCopyNamed(Path("p.prj~"), target), 0);
    ASSERT_EQ(FileOpen(saved, 0x12), 0);
    EXPECT_EQ(FileRecords(saved), 4);
    // No temporary copy is left behind, and the saved file has no log beside it.
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir_)) names.insert(e.path().filename().string());
    for (const char* scratchLog : {"p.prj~-wal", "p.prj~-shm", "Kosten.tmp-wal", "Kosten.tmp-shm"}) names.erase(scratchLog);
    EXPECT_EQ(names, (std::set<std::string>{"p.prj", "p.prj~", "Kosten.tmp"}));
}

TEST_F(TwoFiles, CopyErrors) {
    EXPECT_EQ(FileCopyNamed(Path("fehlt.prj"), Path("x.prj")), ERR_FILE_NOT_FOUND);
    EXPECT_EQ(FileCopyNamed(Path("p.prj~"), Path("nodir/x.prj")), ERR_PATH_NOT_FOUND);
    EXPECT_EQ(FileCopyNamed(Path("p.prj~"), Path("p.prj~")), ERR_ACCESS_DENIED);
    ASSERT_EQ(FileLogout(5, plan), 0);
    EXPECT_EQ(FileCopyNamed(Path("p.prj~"), Path("x.prj")), ERR_TRANSACTION_ACTIVE);
    ASSERT_EQ(FileRollback(), 0);
    EXPECT_FALSE(std::filesystem::exists(Path("x.prj")));
}

TEST_F(TwoFiles, CopyKeepsTheModeOfTheFileItReplacesOrTheUsersDefault) {
    namespace fs = std::filesystem;
    Add(plan, 1);
    const mode_t mask = ::umask(022);
    const std::string fresh = Path("neu.prj");
    ASSERT_EQ(FileCopyNamed(Path("p.prj~"), fresh), 0);
    EXPECT_EQ(fs::status(fresh).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(fresh, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                               fs::perms::group_write);
    ASSERT_EQ(FileCopyNamed(Path("p.prj~"), fresh), 0);
    EXPECT_EQ(fs::status(fresh).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::group_write);
    ::umask(mask);
}

namespace {

TEST_F(TwoFiles, CopyOntoAScratchFileIsNotSynced) {
    Add(plan, 1);
    struct Case {
        const char* destination;
        uint64_t syncs;   // the copy and its directory for a file that must survive a crash
    };
    const Case cases[] = {{"neu.prj~", 0}, {"neu.tmp", 0}, {"neu.prj", 2}, {"neu.eba", 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.destination);
        const uint64_t before = FileCopySyncCount();
        ASSERT_EQ(FileCopyNamed(Path("p.prj~"), Path(c.destination)), 0);
        EXPECT_EQ(FileCopySyncCount() - before, c.syncs);
        RecordFile copy("AZP", ShiftLayout());
        copy.SetName(Path(c.destination) + "\\!Schichtfolgen");
        ASSERT_EQ(FileOpen(copy, 0x12), 0);
        EXPECT_EQ(FileRecords(copy), 1);
    }
}

TEST_F(TwoFiles, CopiesLeftByACrashedCopyOfTheDestinationAreRemoved) {
    Add(plan, 1);
    const auto write = [&](const std::string& name, const std::string& bytes) {
        std::ofstream(Path(name), std::ios::binary) << bytes;
    };
    const std::string database = std::string("SQLite format 3") + '\0' + std::string(84, 'x');
    write("p.prj.copying-aB3dE9", "");                   // died before writing anything
    write("p.prj.copying-Zz0912", database);             // died part-way, with its journal
    write("p.prj.copying-Zz0912-journal", "journal");
    write("p.prj.copying-Live01", database);             // being written by another copier
    write("p.prj.copying-Text01", "Notizen zum Plan");   // not a copy of ours
    write("p.prj.copying-abc", "");                      // not our naming
    write("p.prj.backup", database);
    write("q.prj.copying-aB3dE9", "");                   // another destination's
    const int live = ::open(Path("p.prj.copying-Live01").c_str(), O_RDONLY);
    ASSERT_GE(live, 0);
    ASSERT_EQ(::flock(live, LOCK_EX | LOCK_NB), 0);

    ASSERT_EQ(FileCopyNamed(Path("p.prj~"), Path("p.prj")), 0);
    ::close(live);

    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir_)) names.insert(e.path().filename().string());
    for (const char* scratchLog : {"p.prj~-wal", "p.prj~-shm", "Kosten.tmp-wal", "Kosten.tmp-shm"}) names.erase(scratchLog);
    EXPECT_EQ(names, (std::set<std::string>{"p.prj", "p.prj~", "Kosten.tmp", "p.prj.copying-Live01",
                                            "p.prj.copying-Text01", "p.prj.copying-abc", "p.prj.backup",
                                            "q.prj.copying-aB3dE9"}));
}

} // namespace
