// One iteration of the tabu search at its default settings (tenure 10, 40 iterations before a
// return, Randomity 3) with the twelve search criteria at the installed defaults (constraints
// and criteria settings from varn4.cfg, built from data/config), on a plan the constructive
// generator made from a 24/7 shift demand of early, late and night shifts:
//   6 groups x 4 weeks  (15 x 28 = 420 moves: a full scan, thinned by Randomity)
//   30 groups x 8 weeks (435 x 56 = 24,360 moves: 25 samples)
// Target: under 3 ms for 30 x 8, so that a timer event never holds the window layer for long.
//
// varn4.cfg is read from VARN_INSTALL_DIR, else from ../app beside the benchmark (the build's
// installation folder). After the table each figure is printed once more on a line of its own.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
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
#include "worksheets/AZPData.h"
#include "worksheets/SBPData.h"
#include "worksheets/Schichttypen.h"

namespace fs = std::filesystem;

namespace {

constexpr uint32_t kDay = 1440;

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
    const fs::path dir = fs::temp_directory_path() / ("tabubench_" + std::to_string(::getpid()));
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

// The constraints and criteria the search and the generator read, linked as a definitions pool
// links them; made after LoadDefaults, so they hold the defaults.
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

// A plan of `groups` groups over `weeks` weeks as the generate command makes it: early, late and
// night shifts of 8 hours with a 30-minute break, fewer at weekends, about 40 hours a week per
// group.
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
        // Per day: weekdays about 5/7 of the groups, weekends a little less.
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

// Counts the candidate assessments, which is what an iteration spends its time on.
class CountingOptimizer : public CAZPOptimizer {
public:
    long assessed = 0;

protected:
    double AssessMove(uint64_t m) override
    {
        ++assessed;
        return CAZPOptimizer::AssessMove(m);
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
    benchmark::Shutdown();
    gDefinitions.reset();
    return 0;
}
