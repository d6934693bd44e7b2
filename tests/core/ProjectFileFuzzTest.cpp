// Damaged copies of a good project file (random bytes changed, pieces repeated): each is refused
// and left as it was, or opens completely and saves to a file that reopens with the same content.
// The copies are the same every run, so a failure replays; a watchdog turns a hang into a failure.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <mutex>
#include <random>
#include <thread>

#include "ProjectStoreParts.h"

namespace {

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Flips one to four bytes, or copies a run of bytes over another place of the file.
std::string Mutate(std::string bytes, std::mt19937& rng) {
    const auto at = [&](size_t n) { return static_cast<size_t>(rng() % n); };
    if (rng() % 3 == 0) {
        const size_t len = 1 + at(256);
        const size_t from = at(bytes.size() - len), to = at(bytes.size() - len);
        bytes.replace(to, len, bytes.substr(from, len));
    } else {
        for (int n = 1 + static_cast<int>(rng() % 4); n > 0; --n) bytes[at(bytes.size())] ^= static_cast<char>(1 + rng() % 255);
    }
    return bytes;
}

// Aborts the process when a case runs longer than its time: a hang fails instead of stalling.
class Watchdog {
public:
    explicit Watchdog(std::chrono::seconds limit) : thread_([this, limit] {
        std::unique_lock lock(mutex_);
        for (;;) {
            const int seen = beat_;
            if (!wake_.wait_for(lock, limit, [&] { return done_ || beat_ != seen; })) {
                std::fprintf(stderr, "case %d runs longer than its time\n", beat_);
                std::abort();
            }
            if (done_) return;
        }
    }) {}
    ~Watchdog() {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }
    void Beat(int n) {
        {
            std::lock_guard lock(mutex_);
            beat_ = n;
        }
        wake_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable wake_;
    int beat_ = 0;
    bool done_ = false;
    std::thread thread_;
};

std::vector<std::vector<Item>> Lists(const TestProject& p) {
    std::vector<std::vector<Item>> lists;
    for (const auto& s : p.sheets) lists.push_back(s->list.items);
    return lists;
}

using ProjectFileFuzz = StoreDir;

} // namespace

TEST_F(ProjectFileFuzz, MutatedProjectsAreRefusedUnchangedOrOpenAndSaveConsistently) {
    {
        TestProject p;
        ASSERT_EQ(p.fm.OpenNew(Path("gut.prj")), STORE_DONE);
        for (int s = 1; s <= 3; ++s) {
            std::vector<Item> items;
            for (int i = 1; i <= 6; ++i) items.push_back({"p" + std::to_string(s) + "-" + std::to_string(i), s * 100 + i});
            p.Add("Blatt " + std::to_string(s), items);
        }
        ASSERT_EQ(p.fm.Save(Path("gut.prj"), false), STORE_DONE);
    }
    const std::string good = ReadBytes(Path("gut.prj"));
    std::mt19937 rng(20240611);
    Watchdog watchdog(std::chrono::seconds(60));
    int refused = 0, opened = 0;
    for (int n = 1; n <= 300; ++n) {
        SCOPED_TRACE("case " + std::to_string(n));
        watchdog.Beat(n);
        const std::string bytes = Mutate(good, rng);
        WriteBytes(Path("f.prj"), bytes);
        std::vector<std::vector<Item>> lists;
        {
            TestProject p;
            if (p.Load(Path("f.prj")) != STORE_DONE) {
                ++refused;
                p.Close();
                EXPECT_EQ(ReadBytes(Path("f.prj")), bytes);
                EXPECT_FALSE(std::filesystem::exists(Path("f.prj~")));
                continue;
            }
            ++opened;
            lists = Lists(p);
            ASSERT_EQ(p.fm.Save(Path("zurueck.prj"), false), STORE_DONE) << ErrorCode() << " " << p.fm.Problem();
        }
        TestProject again;
        ASSERT_EQ(again.Load(Path("zurueck.prj")), STORE_DONE);
        EXPECT_EQ(Lists(again), lists);
        again.Close();
        std::filesystem::remove(Path("zurueck.prj"));
    }
    // Both kinds occur: the cases reach the readers, not only the header check.
    EXPECT_GT(refused, 0);
    EXPECT_GT(opened, 0);
}
