// Reading and storing one step of a working-time plan (50 shift-group records of 346 bytes) in a
// working copy that holds 1,000 or 10,000 such steps.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <map>
#include <random>
#include <string>

#include "core/Files.h"

namespace {

constexpr int kGroups = 50;

struct Store {
    std::string dir;
    int steps = 0;
};

void AddStep(RecordFile& plan, int step) {
    for (int g = 1; g <= kGroups; ++g) {
        plan.SetInt("ID", 1);
        plan.SetInt("STEP", step);
        plan.SetInt("GRUPPE", g);
        for (int d = 1; d <= 84; ++d) plan.SetInt("SCHICHT", (g * 7 + d) % 5, d);
        FileAdd(plan);
    }
}

std::map<int, Store>& Stores() {
    static std::map<int, Store> stores;
    return stores;
}

// Opens the program's AZP file on the working copy of that size, the way the project store
// does: the shared name variable names the table just before the open.
void Use(const Store& s) {
    const std::string name = s.dir + "/bench.prj~\\!Schichtfolgen";
    if (FileIsOpen(AZP) && GlobalFileName == name) return;
    FileClose(AZP);
    GlobalFileName = name;
    if (FileOpen(AZP, FILE_READ_WRITE | FILE_DENY_ALL) != 0) std::abort();
}

// One working copy per size, filled once and kept for all benchmarks of that size.
Store& StoreWith(int steps) {
    Store& s = Stores()[steps];
    if (!s.dir.empty()) {
        Use(s);
        return s;
    }
    std::string t = (std::filesystem::temp_directory_path() / "varnbenchXXXXXX").string();
    if (!::mkdtemp(t.data())) std::abort();
    s.dir = t;
    FileClose(AZP);
    GlobalFileName = s.dir + "/bench.prj~\\!Schichtfolgen";
    if (FileCreate(AZP) != 0) std::abort();
    Use(s);
    for (int step = 1; step <= steps; step += 100) {
        FileLogout(5, AZP);
        for (int k = step; k < step + 100 && k <= steps; ++k) AddStep(AZP, k);
        if (FileCommit() != 0) std::abort();
    }
    s.steps = steps;
    return s;
}

void ReadStep(benchmark::State& state) {
    Store& s = StoreWith(static_cast<int>(state.range(0)));
    RecordFile& plan = AZP;
    std::mt19937 random(1);
    std::uniform_int_distribution<int> pick(1, s.steps);
    int64_t records = 0;
    for (auto _ : state) {
        const int step = pick(random);
        plan.SetInt("ID", 1);
        plan.SetInt("STEP", step);
        FileSet(plan, "KeyID");
        while (FileNext(plan) == 0 && plan.GetInt("ID") == 1 && plan.GetInt("STEP") == step) ++records;
    }
    if (records != static_cast<int64_t>(state.iterations()) * kGroups) state.SkipWithError("step incomplete");
}

void AddStepInTransaction(benchmark::State& state) {
    Store& s = StoreWith(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        FileLogout(5, AZP);
        AddStep(AZP, ++s.steps);
        if (FileCommit() != 0) state.SkipWithError("commit failed");
    }
}

} // namespace

BENCHMARK(ReadStep)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(AddStepInTransaction)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    FileClose(AZP);
    for (auto& [steps, s] : Stores()) std::filesystem::remove_all(s.dir);
    return 0;
}
