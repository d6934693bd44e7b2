// The project store: storing an undo step of a part of 50 records, undoing one step, and saving a
// project of 100 parts whose working copy holds 1, 50 or 200 steps of each (20 records a step).
// Saving should cost what the current data costs, whatever the number of steps held.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/Files.h"
#include "core/ProjektFileManager.h"
#include "core/SavableManager.h"

namespace {

constexpr int kParts = 100;
constexpr int kSaveRecords = 20;
constexpr int kStepRecords = 50;

std::shared_ptr<const Layout> PlanLayout() {
    static const auto layout = LayoutBuilder("PLAN")
        .Long("ID").Long("STEP").Ushort("GRUPPE").Ulong("SCHICHT", 84)
        .Key("KeyID", {"ID", "STEP"}, KeyDup)
        .Build();
    return layout;
}

RecordFile& PlanFile() {
    static RecordFile& f = []() -> RecordFile& {
        static RecordFile file("PLAN", PlanLayout());
        file.BindName(&GlobalFileName);
        return file;
    }();
    return f;
}

// A plan of shift groups, each a row of 84 days.
class PlanPart : public CSavableManager {
public:
    explicit PlanPart(int groups) : groups_(groups) {}
    ~PlanPart() override { DisposeSubfile(); }

    // The content of step `step`: every group differs from step to step.
    void Fill(int step) { version_ = step; }

    void DefineSubfile(CSubfileManager* parent) override { FileManager().Init("Plaene", PlanFile(), parent); }
    void ClearData() override { taken_ = 0; }
    uint8_t TakeRecord() override {
        ++taken_;
        return STORE_DONE;
    }
    uint8_t PutRecord(int n) override {
        if (n > groups_) return STORE_REFUSED;
        RecordFile& f = PlanFile();
        f.SetInt("GRUPPE", n);
        for (int d = 1; d <= 84; ++d) f.SetInt("SCHICHT", (n * 7 + d + version_) % 5, d);
        return STORE_DONE;
    }
    int Taken() const { return taken_; }

private:
    int groups_;
    int version_ = 0;
    int taken_ = 0;
};

std::string NewDirectory() {
    std::string t = (std::filesystem::temp_directory_path() / "varnstorebenchXXXXXX").string();
    if (!::mkdtemp(t.data())) std::abort();
    return t;
}

// ---- storing and undoing -------------------------------------------------------------------

struct Editing {
    std::string dir = NewDirectory();
    CProjektFileManager fm;
    PlanPart part{kStepRecords};

    Editing() {
        if (fm.OpenNew(dir + "/bench.prj") != STORE_DONE || part.Init(fm, nullptr) != STORE_DONE) std::abort();
        // An editing session under way.
        for (int s = 1; s <= 200; ++s) {
            part.Fill(s);
            if (part.StoreStep() != STORE_DONE) std::abort();
        }
    }
    ~Editing() {
        part.Release(fm);
        fm.Close();
        std::filesystem::remove_all(dir);
    }
};

void BM_StoreStep(benchmark::State& state) {
    Editing e;
    int step = 200;
    for (auto _ : state) {
        e.part.Fill(++step);
        if (e.part.StoreStep() != STORE_DONE) state.SkipWithError("StoreStep failed");
    }
}
BENCHMARK(BM_StoreStep)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_UndoOneStep(benchmark::State& state) {
    Editing e;
    for (auto _ : state) {
        if (e.part.Undo(1) != STORE_DONE || e.part.Taken() != kStepRecords) state.SkipWithError("Undo failed");
        state.PauseTiming();
        e.part.Redo(1);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_UndoOneStep)->Unit(benchmark::kMillisecond)->UseRealTime();

// ---- saving ----------------------------------------------------------------------------------

// A working copy with `steps` steps of every part, built once per size and kept as a file. The
// parts are numbered 1 .. kParts, as a fresh file manager registers them.
struct TempDirectory {
    std::string path = NewDirectory();
    ~TempDirectory() { std::filesystem::remove_all(path); }
};

const std::string& HistoryFile(int steps) {
    static std::map<int, std::string> files;
    static const TempDirectory temp;
    const std::string& dir = temp.path;
    std::string& file = files[steps];
    if (!file.empty()) return file;
    file = dir + "/verlauf" + std::to_string(steps) + ".prj";
    CProjektFileManager fm;
    if (fm.OpenNew(dir + "/aufbau.prj") != STORE_DONE) std::abort();
    std::vector<std::unique_ptr<PlanPart>> parts;
    for (int p = 0; p < kParts; ++p) {
        parts.push_back(std::make_unique<PlanPart>(kSaveRecords));
        if (parts.back()->Init(fm, nullptr) != STORE_DONE) std::abort();
    }
    for (int s = 1; s <= steps; ++s)
        for (auto& part : parts) {
            part->Fill(s);
            if (part->StoreStep() != STORE_DONE) std::abort();
        }
    for (auto& part : parts) part->Release(fm);
    if (FileCopyNamed(fm.PhysFileName(), file) != ERR_NONE) std::abort();
    fm.Close();
    return file;
}

void BM_SaveProject(benchmark::State& state) {
    const int steps = static_cast<int>(state.range(0));
    const std::string& history = HistoryFile(steps);
    const std::string target = std::filesystem::path(history).parent_path().string() + "/ziel.prj";
    for (auto _ : state) {
        state.PauseTiming();
        // The project as it stands after `steps` edits of every part.
        CProjektFileManager fm;
        if (fm.Open(history) != STORE_DONE) std::abort();
        std::vector<std::unique_ptr<PlanPart>> parts;
        for (int p = 0; p < kParts; ++p) {
            parts.push_back(std::make_unique<PlanPart>(kSaveRecords));
            if (parts.back()->Init(fm, nullptr) != STORE_DONE) std::abort();
            parts.back()->FileManager().SetStepState({steps, steps, true});
            parts.back()->Fill(steps);
        }
        state.ResumeTiming();

        if (fm.Save(target, false) != STORE_DONE) state.SkipWithError("Save failed");

        state.PauseTiming();
        for (auto& part : parts) part->Release(fm);
        fm.Close();
        state.ResumeTiming();
    }
    state.counters["records"] = kParts * kSaveRecords;
    state.counters["records held"] = static_cast<double>(kParts) * kSaveRecords * steps;
}
BENCHMARK(BM_SaveProject)->Arg(1)->Arg(50)->Arg(200)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace

BENCHMARK_MAIN();
