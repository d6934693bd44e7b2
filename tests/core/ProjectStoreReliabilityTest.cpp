// The project file survives a crash at any point of saving or of storing a step, and files that
// are not project files are refused without being touched.
//
// A child process runs the operation with SQLite's file layer wrapped so that it counts every
// open, write, truncate, sync, close and delete and kills itself (SIGKILL) at the n-th one; the
// parent then looks at what is on disk. The count of one complete run gives the points.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <set>

#include "ProjectStoreParts.h"

namespace {

// ---- a file layer that dies on command -------------------------------------------------------

long operations = 0;
long killAt = 0;   // 0: never

void Tick() {
    ++operations;
    if (killAt > 0 && operations >= killAt) ::kill(::getpid(), SIGKILL);
}

sqlite3_vfs* realVfs = nullptr;
sqlite3_vfs shimVfs;

struct ShimFile {
    sqlite3_file base;
    sqlite3_file* real;
};

sqlite3_file* Real(sqlite3_file* f) { return reinterpret_cast<ShimFile*>(f)->real; }
const sqlite3_io_methods& M(sqlite3_file* f) { return *Real(f)->pMethods; }

int Close(sqlite3_file* f) { Tick(); return M(f).xClose(Real(f)); }
int Read(sqlite3_file* f, void* b, int n, sqlite3_int64 o) { return M(f).xRead(Real(f), b, n, o); }
int Write(sqlite3_file* f, const void* b, int n, sqlite3_int64 o) { Tick(); return M(f).xWrite(Real(f), b, n, o); }
int Truncate(sqlite3_file* f, sqlite3_int64 n) { Tick(); return M(f).xTruncate(Real(f), n); }
// A killed process loses nothing the kernel has; only a power failure needs the sync itself.
int Sync(sqlite3_file*, int) {
    Tick();
    return SQLITE_OK;
}
int FileSize(sqlite3_file* f, sqlite3_int64* n) { return M(f).xFileSize(Real(f), n); }
int Lock(sqlite3_file* f, int l) { return M(f).xLock(Real(f), l); }
int Unlock(sqlite3_file* f, int l) { return M(f).xUnlock(Real(f), l); }
int CheckReserved(sqlite3_file* f, int* r) { return M(f).xCheckReservedLock(Real(f), r); }
int Control(sqlite3_file* f, int op, void* a) { return M(f).xFileControl(Real(f), op, a); }
int SectorSize(sqlite3_file* f) { return M(f).xSectorSize(Real(f)); }
int Device(sqlite3_file* f) { return M(f).xDeviceCharacteristics(Real(f)); }
int ShmMap(sqlite3_file* f, int p, int s, int w, void volatile** m) { return M(f).xShmMap(Real(f), p, s, w, m); }
int ShmLock(sqlite3_file* f, int o, int n, int fl) { return M(f).xShmLock(Real(f), o, n, fl); }
void ShmBarrier(sqlite3_file* f) { M(f).xShmBarrier(Real(f)); }
int ShmUnmap(sqlite3_file* f, int d) { return M(f).xShmUnmap(Real(f), d); }
int Fetch(sqlite3_file* f, sqlite3_int64 o, int n, void** p) { return M(f).xFetch(Real(f), o, n, p); }
int Unfetch(sqlite3_file* f, sqlite3_int64 o, void* p) { return M(f).xUnfetch(Real(f), o, p); }

const sqlite3_io_methods shimMethods = {
    3, Close, Read, Write, Truncate, Sync, FileSize, Lock, Unlock, CheckReserved, Control, SectorSize, Device,
    ShmMap, ShmLock, ShmBarrier, ShmUnmap, Fetch, Unfetch,
};

int Open(sqlite3_vfs*, const char* name, sqlite3_file* f, int flags, int* outFlags) {
    Tick();
    auto* s = reinterpret_cast<ShimFile*>(f);
    s->real = reinterpret_cast<sqlite3_file*>(s + 1);
    const int rc = realVfs->xOpen(realVfs, name, s->real, flags, outFlags);
    s->base.pMethods = s->real->pMethods ? &shimMethods : nullptr;
    return rc;
}

int Delete(sqlite3_vfs*, const char* name, int syncDir) {
    Tick();
    return realVfs->xDelete(realVfs, name, syncDir);
}

// In the child only: every connection opened from now on goes through the counting layer.
void InstallShim() {
    realVfs = sqlite3_vfs_find(nullptr);
    shimVfs = *realVfs;
    shimVfs.zName = "varnkill";
    shimVfs.szOsFile = static_cast<int>(sizeof(ShimFile)) + realVfs->szOsFile;
    shimVfs.xOpen = Open;
    shimVfs.xDelete = Delete;
    sqlite3_vfs_register(&shimVfs, 1);
}

// Counting in the child: from Start (dying at operation `at`, 0: never) to Stop.
struct Counter {
    long at = 0;
    long counted = 0;
    void Start() const {
        operations = 0;
        killAt = at;
    }
    void Stop() {
        killAt = 0;
        counted = operations;
    }
};

// Runs `body` in a child. Returns the number of operations counted when the child was not
// killed, -1 when it was; a child that failed otherwise fails the test.
long RunChild(long at, const std::function<int(Counter&)>& body) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return -2;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeFds[0]);
        InstallShim();
        Counter counter{at, 0};
        const int code = body(counter);
        if (::write(pipeFds[1], &counter.counted, sizeof counter.counted) != sizeof counter.counted) ::_exit(99);
        ::_exit(code);
    }
    ::close(pipeFds[1]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    long n = -1;
    const bool reported = ::read(pipeFds[0], &n, sizeof n) == sizeof n;
    ::close(pipeFds[0]);
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) return -1;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
    return reported ? n : -2;
}

// All points when there are few, else the first ones, evenly spaced ones and the last ones
// (around the final rename).
std::vector<long> KillPoints(long total) {
    std::set<long> points;
    const long edge = 15, middle = 25;
    for (long k = 1; k <= total; ++k)
        if (total <= 2 * edge + middle || k <= edge || k > total - edge || (k - edge) % ((total - 2 * edge) / middle + 1) == 0)
            points.insert(k);
    return {points.begin(), points.end()};
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::vector<Item> Items(const std::string& prefix, int n) {
    std::vector<Item> items;
    for (int i = 1; i <= n; ++i) items.push_back({prefix + std::to_string(i), i});
    return items;
}

// What a project file holds, for comparing states.
struct Content {
    std::vector<Row> sheets, items;
    bool operator==(const Content&) const = default;
};

Content ContentOf(const std::string& file) { return {RowsIn(file, "Blaetter"), RowsIn(file, "Posten")}; }

class ProjectStoreReliability : public StoreDir {
protected:
    // The old state: two sheets with five items each, saved.
    void MakeProject() {
        TestProject p;
        ASSERT_EQ(p.fm.OpenNew(Path("p.prj")), STORE_DONE);
        p.Add("Eins", Items("a", 5));
        p.Add("Zwei", Items("b", 5));
        ASSERT_EQ(p.fm.Save(Path("p.prj"), false), STORE_DONE);
        p.Close();
        original_ = ReadBytes(Path("p.prj"));
    }
    // Back to the old project file and nothing else.
    void Restore() {
        for (const std::string& name : Listing()) std::filesystem::remove(Path(name));
        WriteBytes(Path("p.prj"), original_);
    }
    // The project opens and loads cleanly; its lists.
    std::vector<std::vector<Item>> OpenCleanly() {
        TestProject q;
        EXPECT_EQ(q.Load(Path("p.prj")), STORE_DONE);
        std::vector<std::vector<Item>> lists;
        for (auto& s : q.sheets) lists.push_back(s->list.items);
        return lists;
    }

    std::string original_;
};

} // namespace

TEST_F(ProjectStoreReliability, ProjectFileIsOldOrNewAfterACrashWhileSaving) {
    MakeProject();
    const Content before = ContentOf(Path("p.prj"));
    const auto save = [this](Counter& counter) {
        TestProject p;
        if (p.Load(Path("p.prj")) != STORE_DONE || p.sheets.size() != 2) return 10;
        for (int edit = 1; edit <= 3; ++edit)
            for (auto& s : p.sheets) {
                s->list.items = Items("neu" + std::to_string(edit) + "-", 3 + edit);
                if (s->list.StoreStep() != STORE_DONE) return 11;
            }
        if (p.sheets[0]->list.Undo(1) != STORE_DONE) return 12;
        counter.Start();
        const bool saved = p.fm.Save(Path("p.prj"), false) == STORE_DONE;
        counter.Stop();
        return saved ? 0 : 13;
    };
    const long total = RunChild(0, save);
    ASSERT_GT(total, 0);
    const Content after = ContentOf(Path("p.prj"));
    ASSERT_NE(after, before);
    const std::vector<std::vector<Item>> oldLists{Items("a", 5), Items("b", 5)};
    const std::vector<std::vector<Item>> newLists{Items("neu2-", 5), Items("neu3-", 6)};
    EXPECT_EQ(OpenCleanly(), newLists);

    int sawOld = 0, sawNew = 0;
    for (const long at : KillPoints(total)) {
        SCOPED_TRACE("killed at operation " + std::to_string(at) + " of " + std::to_string(total));
        Restore();
        ASSERT_EQ(RunChild(at, save), -1);
        const Content now = ContentOf(Path("p.prj"));
        if (now == before) {
            ++sawOld;
            EXPECT_EQ(ReadBytes(Path("p.prj")), original_);
            EXPECT_EQ(OpenCleanly(), oldLists);
        } else {
            ++sawNew;
            EXPECT_EQ(now, after);
            EXPECT_EQ(OpenCleanly(), newLists);
        }
    }
    EXPECT_GT(sawOld, 0);
    EXPECT_GT(sawNew, 0);
}

TEST_F(ProjectStoreReliability, ProjectFileAndStepsStayWholeAfterACrashWhileStoring) {
    MakeProject();
    int32_t listID = 0;
    const auto store = [this](Counter& counter) {
        TestProject p;
        if (p.Load(Path("p.prj")) != STORE_DONE || p.sheets.size() != 2) return 10;
        counter.Start();
        for (int step = 2; step <= 5; ++step) {
            p.sheets[0]->list.items = Items("s" + std::to_string(step) + "-", 4);
            if (p.sheets[0]->list.StoreStep() != STORE_DONE) return 11;
        }
        counter.Stop();
        return 0;
    };
    {
        TestProject p;
        ASSERT_EQ(p.Load(Path("p.prj")), STORE_DONE);
        listID = p.sheets[0]->list.ID();
    }
    const long total = RunChild(0, store);
    ASSERT_GT(total, 0);

    std::set<size_t> stepsSeen;
    for (const long at : KillPoints(total)) {
        SCOPED_TRACE("killed at operation " + std::to_string(at) + " of " + std::to_string(total));
        Restore();
        ASSERT_EQ(RunChild(at, store), -1);
        EXPECT_EQ(ReadBytes(Path("p.prj")), original_);
        // The working copy the crash left: every step stored is whole, none is half there.
        std::map<int32_t, std::vector<Item>> steps;
        for (const Row& r : RowsIn(Path("p.prj~"), "Posten"))
            if (r.id == listID) steps[r.step].push_back({r.name, r.value});
        ASSERT_FALSE(steps.empty());
        EXPECT_EQ(steps.begin()->second, Items("a", 5));
        int32_t expected = 1;
        for (const auto& [step, items] : steps) {
            EXPECT_EQ(step, expected++);
            if (step > 1) {
                EXPECT_EQ(items, Items("s" + std::to_string(step) + "-", 4));
            }
        }
        stepsSeen.insert(steps.size());
        EXPECT_EQ(OpenCleanly(), (std::vector<std::vector<Item>>{Items("a", 5), Items("b", 5)}));
    }
    EXPECT_GT(stepsSeen.size(), size_t{2});
}

TEST_F(ProjectStoreReliability, ForeignOrDamagedFilesAreRefusedAndLeftAsTheyWere) {
    MakeProject();
    {
        RecordFile single("EINZEL", ItemLayout());
        single.SetName(Path("einzeln.prj"));
        ASSERT_EQ(FileCreate(single), ERR_NONE);
    }
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(Path("fremd.prj").c_str(), &db), SQLITE_OK);
        sqlite3_exec(db, "CREATE TABLE t_filestamp(x); INSERT INTO t_filestamp VALUES (1);", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    WriteBytes(Path("text.prj"), "Dies ist keine Projektdatei.\r\n");
    WriteBytes(Path("leer.prj"), "");
    WriteBytes(Path("halb.prj"), original_.substr(0, original_.size() / 2));
    std::string header = original_;
    for (size_t i = 0; i < 100; ++i) header[i] = static_cast<char>(0xA5 ^ i);
    WriteBytes(Path("kopf.prj"), header);

    for (const char* name : {"einzeln.prj", "fremd.prj", "text.prj", "leer.prj", "halb.prj", "kopf.prj"}) {
        SCOPED_TRACE(name);
        const auto listing = Listing();
        const std::string bytes = ReadBytes(Path(name));
        messages_.clear();
        TestProject p;
        EXPECT_EQ(p.Load(Path(name)), STORE_REFUSED);
        EXPECT_EQ(ErrorCode(), ERR_INVALID_FILE);
        EXPECT_EQ(ErrorText(), "Ungültige oder beschädigte Datendatei");
        EXPECT_TRUE(messages_.empty());
        EXPECT_EQ(Listing(), listing);
        EXPECT_EQ(ReadBytes(Path(name)), bytes);
    }
}
