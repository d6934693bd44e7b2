// The criteria check the tabu search runs per candidate: CheckPlan with the search's twelve
// criteria (in its order, quick flag 1) at the installed defaults (constraints and criteria
// settings from varn4.cfg, built from data/config), on a plan of 30 groups x 8 weeks that the
// constructive generator made from a 24/7 shift demand of early, late and night shifts - the
// start plan of a search. Target: under 50 microseconds per CheckPlan, and no heap allocation
// once the criteria have checked a plan of that size.
//
// A check needs a fresh evaluation (records accumulate), so BM_EvaluateAndCheckPlan times both
// and BM_Evaluate the evaluation alone; the CheckPlan figure printed at the end is the
// difference of their CPU times. BM_Criterion/k times the evaluation and the k-th criterion
// alone, to show where the time goes. Allocations are counted by replacing the global operator
// new in this program ("allocs/call": per call after the first).
//
// varn4.cfg is read from VARN_INSTALL_DIR, else from ../app beside the benchmark.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "assessment/AZPBewertung.h"
#include "assessment/KriterienArbeitszeit.h"
#include "assessment/KriterienChecker.h"
#include "assessment/KriterienKosten.h"
#include "assessment/KriterienRelevanteZeiten.h"
#include "assessment/KriterienRuhe.h"
#include "assessment/KriterienWochenende.h"
#include "assessment/Kosten.h"
#include "assessment/Rahmenbedingungen.h"
#include "core/Files.h"
#include "core/Schicht.h"
#include "generation/AZPGenerator.h"
#include "generation/AZPOptimizer.h"
#include "platform/fw/FwFileManager.h"
#include "platform/records/RecordFile.h"
#include "platform/values/Random.h"
#include "plans/AZPData.h"
#include "plans/SBPData.h"
#include "plans/Schichttypen.h"

#include "AllocationCounter.h"
#include "SearchFixture.h"

using namespace search_fixture;


namespace {

constexpr uint32_t kGroups = 30;
constexpr uint16_t kWeeks = 8;


std::unique_ptr<Plan> gPlan;

// The search's checker: its twelve criteria in its order.
void FillChecker(CKriterienChecker& checker)
{
    for (long number : kOptimizerKriterien)
        checker.Add(gDefinitions->pool.FindKriterium(number));
}

double gEvaluateCpu = 0, gBothCpu = 0, gBothAllocs = -1, gRecords = 0;

void BM_Evaluate(benchmark::State& state)
{
    CAZPBewertung e;
    e.Evaluate(gPlan->azp);
    for (auto _ : state) {
        e.Evaluate(gPlan->azp);
        benchmark::DoNotOptimize(e.ERSTESCHICHT);
    }
    e.Release();
}
BENCHMARK(BM_Evaluate)->Unit(benchmark::kMicrosecond);

void BM_EvaluateAndCheckPlan(benchmark::State& state)
{
    CKriterienChecker checker;
    FillChecker(checker);
    CAZPBewertung e;
    e.Evaluate(gPlan->azp);
    checker.CheckPlan(e, 1);
    long records = 0;
    for (long i = 1; i <= e.CellCount(); ++i)
        if (const CVerstossliste* list = e.GetVerstossliste(i))
            records += list->Count();
    const uint64_t before = gAllocations.load();
    for (auto _ : state) {
        e.Evaluate(gPlan->azp);
        checker.CheckPlan(e, 1);
    }
    state.counters["allocs/call"] = double(gAllocations.load() - before) / double(state.iterations());
    state.counters["records"] = double(records);
    gBothAllocs = state.counters["allocs/call"];
    gRecords = double(records);
    e.Release();
    checker.Release();
}
BENCHMARK(BM_EvaluateAndCheckPlan)->Unit(benchmark::kMicrosecond);

void BM_Criterion(benchmark::State& state)
{
    const long number = kOptimizerKriterien[state.range(0)];
    CKriterienChecker checker;
    checker.Add(gDefinitions->pool.FindKriterium(number));
    CAZPBewertung e;
    e.Evaluate(gPlan->azp);
    checker.CheckPlan(e, 1);
    for (auto _ : state) {
        e.Evaluate(gPlan->azp);
        checker.CheckPlan(e, 1);
    }
    state.SetLabel("KR" + std::to_string(number));
    e.Release();
    checker.Release();
}
BENCHMARK(BM_Criterion)->DenseRange(0, 11)->Unit(benchmark::kMicrosecond);

class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.iterations == 0 || run.repetition_index > 0)
                continue;
            const double cpu = run.cpu_accumulated_time / double(run.iterations);
            const std::string name = run.benchmark_name();
            if (name.rfind("BM_Evaluate", 0) == 0 && name.find("CheckPlan") == std::string::npos)
                gEvaluateCpu = cpu;
            else if (name.rfind("BM_EvaluateAndCheckPlan", 0) == 0)
                gBothCpu = cpu;
        }
    }
};

} // namespace

int main(int argc, char** argv)
{
    if (!LoadDefaults(argv[0]))
        return 1;
    gDefinitions = std::make_unique<Definitions>();
    gPlan = std::make_unique<Plan>(kGroups, kWeeks);
    benchmark::Initialize(&argc, argv);
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    if (gBothCpu > 0 && gEvaluateCpu > 0)
        std::printf("CheckPlan, twelve criteria, 30 groups x 8 weeks: %.1f us CPU per call "
                    "(evaluation %.1f us besides), %.2f allocations per call, %.0f records\n",
                    (gBothCpu - gEvaluateCpu) * 1e6, gEvaluateCpu * 1e6, gBothAllocs, gRecords);
    benchmark::Shutdown();
    gPlan.reset();
    gDefinitions.reset();
    return 0;
}
