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
#include "worksheets/AZPData.h"
#include "worksheets/SBPData.h"
#include "worksheets/Schichttypen.h"

namespace {

std::atomic<uint64_t> gAllocations{0};

void* Allocate(std::size_t size)
{
    gAllocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void* AllocateAligned(std::size_t size, std::align_val_t align)
{
    gAllocations.fetch_add(1, std::memory_order_relaxed);
    const std::size_t a = static_cast<std::size_t>(align);
    if (void* p = std::aligned_alloc(a, (size + a - 1) / a * a))
        return p;
    throw std::bad_alloc();
}

} // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, std::align_val_t align) { return AllocateAligned(size, align); }
void* operator new[](std::size_t size, std::align_val_t align) { return AllocateAligned(size, align); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }

namespace fs = std::filesystem;

namespace {

constexpr uint32_t kDay = 1440;
constexpr uint32_t kGroups = 30;
constexpr uint16_t kWeeks = 8;

// The installed defaults into the RB and KRI buffers, as start-up and a new worksheet do.
bool LoadDefaults(const char* argv0)
{
    const char* installed = std::getenv("VARN_INSTALL_DIR");
    const fs::path from = installed ? fs::path(installed) : fs::absolute(argv0).parent_path() / ".." / "app";
    if (!fs::exists(from / "varn4.cfg")) {
        std::fprintf(stderr, "%s fehlt: erst bauen (oder VARN_INSTALL_DIR setzen)\n",
                     (from / "varn4.cfg").string().c_str());
        return false;
    }
    // A copy, so that the benchmark never holds the installed file.
    const fs::path dir = fs::temp_directory_path() / ("checkplanbench_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    fs::copy_file(from / "varn4.cfg", dir / "varn4.cfg", fs::copy_options::overwrite_existing);
    InitFileAccess();
    NameProgramFiles(dir.string());
    bool ok = true;
    for (FwFileManager* a : {Access::RBDEFAULT, Access::KRIDEFAULT}) {
        ok = ok && a->TryOpen() == 0;
        if (ok) {
            FileSet(*a->File());
            ok = a->TryNext() == 0;
            a->Close();
        }
    }
    RB.CopyFrom(RBDEFAULT);
    KRI.CopyFrom(KRIDEFAULT);
    ReleaseFileAccess();
    fs::remove_all(dir);
    if (!ok)
        std::fprintf(stderr, "Vorgaben in varn4.cfg nicht lesbar\n");
    return ok;
}

template <class T>
T* As(const std::unique_ptr<CRahmenbedingung>& rb)
{
    return dynamic_cast<T*>(rb.get());
}

// The constraints and criteria the search reads, linked as a definitions pool links them; made
// after LoadDefaults, so they hold the defaults.
struct Definitions {
    Definitions()
    {
        for (int n = 1; n <= kRahmenbedingungen; ++n)
            rb.push_back(NewRahmenbedingung(n));
        kr2.SetRahmenbedingung(As<CRahmenbedingungMindestruhezeit>(rb[3]));
        kr5.SetRahmenbedingung(As<CRahmenbedingungRZNachtarbeit>(rb[20]));
        kr9.SetRahmenbedingung(As<CRahmenbedingungWAZMittel>(rb[14]), As<CRahmenbedingungWAZGrenzen>(rb[15]));
        kr10.SetRahmenbedingung(As<CRahmenbedingungKontArbeitstage>(rb[6]));
        kr11.SetRahmenbedingung(As<CRahmenbedingungRelevanteZeiten>(rb[17]));
        kr12.SetRahmenbedingung(As<CRahmenbedingungRelevanteZeiten>(rb[17]));
        kr13.SetRahmenbedingung(As<CRahmenbedingungRelevanteZeiten>(rb[18]));
        kr14.SetRahmenbedingung(As<CRahmenbedingungRelevanteZeiten>(rb[18]));
        kr15.SetRahmenbedingung(As<CRahmenbedingungRelevanteZeiten>(rb[19]));
        kr16.SetRahmenbedingung(As<CRahmenbedingungRelevanteZeiten>(rb[19]));
        kr17.SetRahmenbedingung(As<CRahmenbedingungWochenende>(rb[16]));
        kr22.SetKostenUndRB(&kosten, As<CRahmenbedingungWAZMittel>(rb[14]));
        pool.RB4 = As<CRahmenbedingungMindestruhezeit>(rb[3]);
        pool.RB7 = As<CRahmenbedingungKontArbeitstage>(rb[6]);
        pool.KRITERIEN = {&kr2, &kr5, &kr9, &kr10, &kr11, &kr12, &kr13, &kr14, &kr15, &kr16, &kr17, &kr22};
    }

    std::vector<std::unique_ptr<CRahmenbedingung>> rb;
    CKosten kosten;
    CKriteriumRuhezeit kr2;
    CKriteriumNachtFrueh kr5;
    CKriteriumWAZGrenzen kr9;
    CKriteriumKontArbeitstage kr10;
    CKriteriumNachtschlafEinzel kr11;
    CKriteriumNachtschlafKont kr12;
    CKriteriumSozialzeitEinzel kr13;
    CKriteriumSozialzeitKont kr14;
    CKriteriumFamilienzeitEinzel kr15;
    CKriteriumFamilienzeitKont kr16;
    CKriteriumWochenende kr17;
    CKriteriumPlankosten kr22;
    AZPDefinitionen pool;
};

std::unique_ptr<Definitions> gDefinitions;

CSchicht Shift(const std::string& name, uint32_t from, uint32_t to, PAUSE pause)
{
    CSchicht s;
    s.Clear();
    s.ART = ART_NORMAL;
    s.BEZEICHNUNG = "Schicht " + name;
    s.KURZBEZEICHNUNG = name;
    s.TERMIN = {from, to > from ? to : to + kDay};
    s.PAUSEN[0] = pause;
    s.ClassifyLageByStart();
    return s;
}

// The plan of the tabu search's benchmark: early, late and night shifts of 8 hours with a
// 30-minute break, fewer at weekends, placed by the constructive generator.
struct Plan {
    Plan(uint32_t groups, uint16_t weeks)
    {
        CSchicht f = Shift("F", 360, 840, {240, 30, 0});
        CSchicht s = Shift("S", 840, 1320, {240, 30, 0});
        CSchicht n = Shift("N", 1320, 360, {240, 30, 0});
        types.AddSchicht(f, false);
        types.AddSchicht(s, false);
        types.AddSchicht(n, false);
        sbp.SetSchichttypen(&types);
        sbp.SetBezugsrahmen(weeks);
        sbp.SetSchichtgruppenstaerke(1);
        sbp.SyncSchichttypen();
        const uint32_t perShift = groups / 4 + 1;
        for (uint32_t d = 1; d <= weeks * 7u; ++d) {
            const bool weekend = (d - 1) % 7 >= 5;
            sbp.SetCount(d, f.SYSID, weekend ? perShift - 1 : perShift);
            sbp.SetCount(d, s.SYSID, weekend ? perShift - 1 : perShift);
            sbp.SetCount(d, n.SYSID, perShift - 1);
        }
        azp.SetSchichttypen(&types, groups);
        azp.SetBezugsrahmen(weeks);
        RandomRestart(1);
        CAZPGenerator generator;
        generator.Init(gDefinitions->pool);
        generator.Generate(sbp, azp);
    }
    CSchichttypen types;
    CSBPData sbp;
    CAZPData azp;
};

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
