// One iteration of the tabu search at its default settings (tenure 10, 40 iterations before a
// return, Randomity 3) with the twelve search criteria at the installed defaults (constraints
// and criteria settings from varn4.cfg, built from data/config), on a plan the constructive
// generator made from a 24/7 shift demand of early, late and night shifts:
//   6 groups x 4 weeks  (15 x 28 = 420 moves: a full scan, thinned by Randomity)
//   30 groups x 8 weeks (435 x 56 = 24,360 moves: 25 samples)
// Target: under 3 ms for 30 x 8, so that a timer event never holds the window layer for long.
//
// Then the pace the planner sees: the search as its progress window drives it, a timer event
// every 50 ms and in each as many iterations as fit in 40 ms, for three seconds of wall time at
// 30 groups x 8 weeks. Target: over 500 iterations per second (one iteration per event gave 20).
//
// Then the search's two ways of assessing a candidate side by side, each for three seconds of
// iterations back to back at 30 groups x 8 weeks from the same start: "full" (a full evaluation
// per candidate, the reference) and "incremental" (only what the move changes is checked again),
// with the allocations made while assessing a candidate (rebasing after a move included). Target: the incremental one at least 10 times the
// full one's iterations per second, without allocations per candidate.
//
// varn4.cfg is read from VARN_INSTALL_DIR, else from ../app beside the benchmark (the build's
// installation folder). After the table each figure is printed once more on a line of its own.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "assessment/KriterienArbeitszeit.h"
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

namespace fs = std::filesystem;

namespace {

using namespace search_fixture;

// Counts the candidate assessments, which is what an iteration spends its time on, and the
// allocations made while assessing them.
class CountingOptimizer : public CAZPOptimizer {
public:
    long assessed = 0;
    uint64_t allocations = 0;

protected:
    double AssessMove(uint64_t m, double bound) override
    {
        ++assessed;
        const uint64_t before = gAllocations.load(std::memory_order_relaxed);
        const double q = CAZPOptimizer::AssessMove(m, bound);
        allocations += gAllocations.load(std::memory_order_relaxed) - before;
        return q;
    }
};

struct Figure {
    double candidates = 0;
    double startQuality = 0;
    double bestQuality = 0;
};
std::map<std::string, Figure> gFigures;

void BM_Iteration(benchmark::State& state)
{
    const uint32_t groups = uint32_t(state.range(0));
    const uint16_t weeks = uint16_t(state.range(1));
    Plan plan(groups, weeks);
    CountingOptimizer opt;
    RandomRestart(2);
    opt.BeginSearch(plan.azp, gDefinitions->pool);
    Figure figure;
    figure.startQuality = opt.BestQuality();
    for (auto _ : state)
        opt.Iteration();
    figure.candidates = double(opt.assessed) / double(state.iterations());
    figure.bestQuality = opt.BestQuality();
    state.counters["moves"] = double(opt.ITSKOMBINATIONEN);
    state.counters["candidates"] = figure.candidates;
    state.counters["start"] = figure.startQuality;
    state.counters["best"] = figure.bestQuality;
    opt.EndSearch();
    gFigures[std::to_string(groups) + " groups x " + std::to_string(weeks) + " weeks"] = figure;
}

class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && run.iterations > 0)
                times.push_back(run.real_accumulated_time / double(run.iterations));
    }
    std::vector<double> times;
};

// Iterations per second of wall time when a timer of 50 ms drives TimerStep, as the progress
// window does (a timer that fires late fires once, at its next tick).
void PacedSearch(uint32_t groups, uint16_t weeks, double seconds)
{
    Plan plan(groups, weeks);
    CAZPOptimizer opt;
    RandomRestart(2);
    opt.BeginSearch(plan.azp, gDefinitions->pool);
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    const auto period = std::chrono::milliseconds(kProgressTimer * 10);
    Clock::time_point tick = start;
    const std::clock_t cpuStart = std::clock();
    long events = 0;
    while (Clock::now() - start < std::chrono::duration<double>(seconds)) {
        tick += period;
        std::this_thread::sleep_until(tick);
        if (!opt.TimerStep())
            break;
        ++events;
        while (tick + period <= Clock::now())
            tick += period;
    }
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    const double cpu = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    // On a busy machine the wall-clock figure falls with the share of the processor the search
    // gets; the processor time per iteration says what a machine of its own would give.
    std::printf("tabu search in its window, %u groups x %u weeks: %.0f iterations per second "
                "(%.1f per timer event of 50 ms, %ld events, %.2f ms processor time per iteration, "
                "quality %.4f -> %.4f)\n",
                groups, weeks, double(opt.ITSITERATION) / elapsed, double(opt.ITSITERATION) / double(std::max(events, 1L)),
                events, cpu * 1000.0 / double(std::max(opt.ITSITERATION, 1L)), opt.CurrentQuality(), opt.BestQuality());
    opt.EndSearch();
}

// Iterations per second with candidates assessed in full (0) or incrementally (1), iterations
// back to back; the allocations counted from the second iteration on (the first sizes the
// storage).
void AssessmentPace(uint32_t groups, uint16_t weeks, uint8_t incremental, double seconds)
{
    Plan plan(groups, weeks);
    CountingOptimizer opt;
    opt.ITSINKREMENTELL = incremental;
    RandomRestart(2);
    opt.BeginSearch(plan.azp, gDefinitions->pool);
    opt.Iteration();
    const long assessedBefore = opt.assessed;
    const uint64_t allocationsBefore = opt.allocations;
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    long iterations = 0;
    while (Clock::now() - start < std::chrono::duration<double>(seconds)) {
        opt.Iteration();
        ++iterations;
    }
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    const double candidates = double(std::max(opt.assessed - assessedBefore, 1L));
    std::printf("tabu search, %u groups x %u weeks, %s assessment: %.0f iterations per second "
                "(%.3f allocations per candidate, quality %.4f -> %.4f)\n",
                groups, weeks, incremental ? "incremental" : "full", double(iterations) / elapsed,
                double(opt.allocations - allocationsBefore) / candidates, opt.CurrentQuality(), opt.BestQuality());
    opt.EndSearch();
}

} // namespace

BENCHMARK(BM_Iteration)->ArgNames({"groups", "weeks"})->Args({6, 4})->Args({30, 8})->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    if (!LoadDefaults(argv[0]))
        return 1;
    gDefinitions = std::make_unique<Definitions>();
    benchmark::Initialize(&argc, argv);
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const char* names[] = {"6 groups x 4 weeks", "30 groups x 8 weeks"};
    for (std::size_t i = 0; i < reporter.times.size() && i < 2; ++i) {
        const Figure& f = gFigures[names[i]];
        std::printf("tabu search, %s: one iteration %.3f ms (%.1f candidates assessed, quality %.4f -> %.4f)\n",
                    names[i], reporter.times[i] * 1000.0, f.candidates, f.startQuality, f.bestQuality);
    }
    PacedSearch(30, 8, 3.0);
    AssessmentPace(30, 8, 0, 3.0);
    AssessmentPace(30, 8, 1, 3.0);
    benchmark::Shutdown();
    gDefinitions.reset();
    return 0;
}
