// Scratch folders of processes that ended without tidying up (killed, power lost) are removed by
// the next process that makes its own; nothing else in the temporary folder is touched.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <vector>

#include "TestFiles.h"

namespace fs = std::filesystem;

namespace {

// The test's own temporary folder stands in for the system's: the processes started here get it
// as TMPDIR, so that no other program's folders are ever looked at.
class ScratchLeftovers : public TempDir {
protected:
    void TearDown() override {
        for (const pid_t pid : living_) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
        TempDir::TearDown();
    }

    // A process that makes a working copy in its scratch folder and lives until killed; returns
    // the copy's name.
    std::string StartHolder() {
        int fds[2];
        if (::pipe(fds) != 0) return {};
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(fds[0]);
            ::setenv("TMPDIR", dir_.c_str(), 1);
            const std::string copy = FileScratchName("Unbenannt.prj");
            std::ofstream(copy) << "Arbeitskopie";
            const std::string line = copy + "\n";
            if (::write(fds[1], line.data(), line.size()) != static_cast<ssize_t>(line.size())) ::_exit(1);
            for (;;) ::pause();
        }
        ::close(fds[1]);
        if (pid < 0) return ::close(fds[0]), std::string();
        living_.push_back(pid);
        std::string copy;
        char ch;
        while (::read(fds[0], &ch, 1) == 1 && ch != '\n') copy += ch;
        ::close(fds[0]);
        return copy;
    }

    // Kills the holder started last, as a crash would: nothing of it tidies up.
    void KillLast() {
        const pid_t pid = living_.back();
        living_.pop_back();
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }

    // The next start of the program: a process whose first scratch name makes its folder.
    void StartNext() {
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::setenv("TMPDIR", dir_.c_str(), 1);
            ::_exit(FileScratchName("x").empty() ? 1 : 0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status));
        ASSERT_EQ(WEXITSTATUS(status), 0);
    }

    std::vector<pid_t> living_;
};

} // namespace

TEST_F(ScratchLeftovers, AKilledProcessesFolderGoesAtTheNextStart) {
    const std::string copy = StartHolder();
    ASSERT_FALSE(copy.empty());
    const fs::path folder = fs::path(copy).parent_path();
    ASSERT_EQ(folder.parent_path(), fs::path(dir_));
    ASSERT_TRUE(fs::exists(copy));
    KillLast();
    ASSERT_TRUE(fs::exists(copy));

    StartNext();
    EXPECT_FALSE(fs::exists(folder));
}

// What the next start must leave alone, beside a dead folder that it removes.
TEST_F(ScratchLeftovers, OnlyDeadFoldersOfThisProgramGo) {
    const std::string live = StartHolder();
    ASSERT_FALSE(live.empty());
    const std::string dead = StartHolder();
    ASSERT_FALSE(dead.empty());
    KillLast();

    // Beside it: dead-looking folders (with the mark a live process puts in its folder) under names
    // this program never makes or behind a link, a file of its naming, and a folder of its naming
    // without the mark (made by hand, or by an earlier version of the program that took no lock).
    const fs::path elsewhere = fs::path(Path("anderswo"));
    fs::create_directory(elsewhere);
    std::ofstream(elsewhere / "Projekt-1-1~") << "x";
    std::ofstream(elsewhere / "belegt");
    const struct {
        const char* name;
        const char* kind;
    } others[] = {
        {"varn-abc", "folder"},    {"varn-Ab12Cd3", "folder"}, {"varnrecAb12Cd", "folder"},
        {"Varn-Ab12Cd", "folder"}, {"varn-Ab12Cd", "file"},    {"varn-Zz99Yy", "link"},
        {"varn-Q1w2E3", "unmarked"},
    };
    for (const auto& o : others) {
        const fs::path p = fs::path(dir_) / o.name;
        if (std::string(o.kind) == "folder" || std::string(o.kind) == "unmarked") {
            fs::create_directory(p);
            fs::permissions(p, fs::perms::owner_all, fs::perm_options::replace);
            std::ofstream(p / "Unbenannt.prj-1-1~") << "x";
            if (std::string(o.kind) == "folder") std::ofstream(p / "belegt");
        } else if (std::string(o.kind) == "file") {
            std::ofstream(p) << "x";
        } else {
            fs::create_directory_symlink(elsewhere, p);
        }
    }

    StartNext();
    EXPECT_FALSE(fs::exists(fs::path(dead).parent_path()));
    EXPECT_TRUE(fs::exists(live)) << "the copy of a running process";
    for (const auto& o : others) EXPECT_TRUE(fs::exists(fs::symlink_status(fs::path(dir_) / o.name))) << o.name;
    for (const auto& o : others) {
        if (std::string(o.kind) != "file" && std::string(o.kind) != "link") {
            EXPECT_TRUE(fs::exists(fs::path(dir_) / o.name / "Unbenannt.prj-1-1~")) << o.name;
        }
    }
    EXPECT_TRUE(fs::exists(elsewhere / "Projekt-1-1~"));
}
