// The shift demand generator on four weeks of staff demand of a round-the-clock operation, with
// more staff on weekdays than at weekends: the whole run (every day model built and solved for
// its objectives, the plan written) at time grids of 60 and 30 minutes. Target: under one second
// per day at 30 minutes.
//
// Three sets of definitions: the installed defaults (shift lengths 6:00 to 8:30, breaks, the
// relevant times of night sleep, social and family life; values from
// data/config/rahmenbedingungenvorgaben.txt and kriterienvorgaben.txt); the same without the
// shift-length rule, where every length from 1 to 24 hours is a candidate - the largest model;
// and the defaults with the strain criterion switched on (one assessment of the whole day, the
// strain constants in a scratch "eba.cfg"), which prices every candidate shift of every day.
//
// A second profile has odd head counts on every day (3, 6, 9, 5 and 3 persons over 00-06, 06-09,
// 09-12, 12-22 and 22-24 h) for one week, with group strengths of 2 and 3: the rows then ask for
// the demand divided by the strength, rounded up. Target as above, under one second per day.
//
// After the benchmark table every figure is printed once more on a line of its own.
//
// --write-models DIR writes every model the runs solve, objective by objective, as an MPS file
// (lp_solve's own writer, fixed format) named by run, day and objective, and DIR/models.txt with
// each model's objective value and solve time in lp_solve, so that the same models can be timed
// in another MILP solver.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <stdlib.h>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "assessment/Belastungseinschaetzungen.h"
#include "assessment/KriterienArbeitszeit.h"
#include "assessment/KriterienBelastung.h"
#include "assessment/KriterienRelevanteZeiten.h"
#include "assessment/Kriterium.h"
#include "assessment/RahmenbedingungPausen.h"
#include "assessment/RahmenbedingungRelevanteZeiten.h"
#include "assessment/RahmenbedingungSchichten.h"
#include "core/Files.h"
#include "generation/LPSolver.h"
#include "generation/SBPGenerator.h"
#include "platform/records/RecordFile.h"
#include "plans/AKBData.h"
#include "plans/SBPData.h"
#include "plans/Schichttypen.h"

#include <chrono>
#include <cstring>
#include <fstream>

#include <lpsolve/lp_lib.h>

namespace {

constexpr uint32_t kDay = 1440;
constexpr uint16_t kWeeks = 4;

constexpr int32_t T(int hours, int minutes = 0) { return hours * 360'000 + minutes * 6'000 + 1; }

// Persons needed: early, late and night shift, a morning peak on weekdays.
void FillDemand(CAKBData& akb)
{
    akb.SetBezugsrahmen(kWeeks);
    for (uint32_t d = 1; d <= kWeeks * 7u; ++d) {
        const uint32_t base = (d - 1) * kDay;
        const bool weekend = (d - 1) % 7 >= 5;
        const auto add = [&](uint32_t from, uint32_t to, unsigned n) {
            akb.MergeDemand({{base + from, base + to}, uint8_t(n)}, true);
        };
        if (weekend) {
            add(0, 360, 2);
            add(360, 840, 4);
            add(840, 1320, 3);
            add(1320, 1440, 2);
        } else {
            add(0, 360, 3);
            add(360, 540, 6);
            add(540, 720, 9);
            add(720, 840, 6);
            add(840, 1320, 5);
            add(1320, 1440, 3);
        }
    }
}

void FillRelevantTimes(CRahmenbedingungRelevanteZeiten& rb, RELEVANTEZEIT weekday, RELEVANTEZEIT friday,
                       RELEVANTEZEIT saturday, RELEVANTEZEIT sunday)
{
    for (int w = 0; w < 4; ++w)
        rb.RELEVANTEZEITEN[size_t(w)] = weekday;
    rb.RELEVANTEZEITEN[4] = friday;
    rb.RELEVANTEZEITEN[5] = saturday;
    rb.RELEVANTEZEITEN[6] = sunday;
    rb.KONT_STOERUNGEN = 3;
    rb.EINZELSTOERUNGEN = 3;
}

// "eba.cfg" with one record in a scratch folder while the object lives: every weight 1, night
// hours 10 % heavier, excess over 110 carried on, long hours surcharged, limit 122.
class EbaFile {
public:
    EbaFile()
    {
        std::string t = (std::filesystem::temp_directory_path() / "varnbenchXXXXXX").string();
        if (!::mkdtemp(t.data()))
            return;
        dir_ = t;
        previous_ = EBA.Name();
        const std::string path = dir_ + "/eba.cfg";
        EBA.SetName(path);
        RecordFile f("EBA", std::shared_ptr<const Layout>(std::shared_ptr<const Layout>(), &EBA.GetLayout()));
        f.SetName(path);
        if (FileCreate(f) != ERR_NONE || FileOpen(f, FILE_READ_WRITE | FILE_DENY_ALL) != ERR_NONE)
            return;
        f.Clear();
        for (int v = 1; v <= 9; ++v)
            for (int n = 1; n <= 15; ++n)
                f.SetReal("GEWICHTUNG_" + std::to_string(v), 1.0, n);
        f.SetReal("MUL_CIRCADYAN", 1.0);
        for (int h : {1, 2, 3, 4, 5, 24})
            f.SetReal("FAK_CIRCADYAN", 10.0, h);
        f.SetReal("MAX_BELA", 110);
        f.SetReal("DIV_BELA_KUM_1", 2);
        f.SetReal("DIV_BELA_KUM_2", 4);
        f.SetReal("MUL_AZZ8", 0.1);
        f.SetReal("MUL_AZZ10", 0.2);
        f.SetReal("MUL_AZZ12", 0.5);
        f.SetReal("BELA_GRENZE", 122);
        FileAdd(f);
        FileClose(f);
    }
    ~EbaFile()
    {
        if (dir_.empty())
            return;
        EBA.SetName(previous_);
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }

private:
    std::string dir_, previous_;
};

enum Mode { EVERY_LENGTH = 0, DEFAULTS = 1, STRAIN = 2 };

// ---- --write-models: the generator's models as MPS files
std::string gModelDir;
std::vector<std::string> gModelLines;   // of models.txt

// The generator, writing each model before it is solved and noting value and time after.
class ModelWritingGenerator : public CSBPGenerator {
public:
    std::string run;   // part of the file names: mode and grid

protected:
    uint8_t SolveModel(CLPSolver& lp, long day, int objective) override
    {
        if (gModelDir.empty() || !lp.ITSLP)
            return CSBPGenerator::SolveModel(lp, day, objective);
        char name[160];
        std::snprintf(name, sizeof name, "%s_day%02ld_objective%d.mps", run.c_str(), day, objective);
        std::string path = (std::filesystem::path(gModelDir) / name).string();
        const bool written = write_mps(lp.ITSLP, path.data());
        const auto start = std::chrono::steady_clock::now();
        const uint8_t result = CSBPGenerator::SolveModel(lp, day, objective);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        char line[320];
        std::snprintf(line, sizeof line, "%-52s %18.6f %10.4f %s", written ? name : "(not written)",
                      get_objective(lp.ITSLP), seconds, result == LP_RESULT_OPTIMAL ? "optimal" : "not optimal");
        gModelLines.push_back(line);
        return result;
    }
};

// The definitions pool's objects the generator reads, with the installed defaults.
struct Definitions {
    explicit Definitions(Mode mode)
    {
        const bool lengthRule = mode != EVERY_LENGTH;
        rb1.NACHTAZ_ANFANG = T(23);
        rb1.NACHTAZ_LAENGE = T(7);
        rb1.NACHTAZ_DAUER_MIN = T(2);
        rb2.FS_VON = T(4);
        rb2.FS_BIS = T(7);
        rb3.TS_VON = T(7);
        rb3.TS_BIS = T(12);
        rb8.BETRIEBSTAGSBEGINN = T(6);
        rb10.SL_DAUER_MIN = T(6);
        rb10.SL_DAUER_MAX = T(8, 30);
        rb11.PAUSEN[0] = {T(6), 30};
        rb11.PAUSEN[1] = {T(9), 45};
        rb12.ERSTE_PAUSE = T(6);
        rb13.MINDESTPAUSENLAENGE = 15;
        FillRelevantTimes(rb18, {T(22), T(0), T(8)}, {T(23), T(1), T(8)}, {T(23), T(1), T(8)}, {T(22), T(0), T(8)});
        FillRelevantTimes(rb19, {T(17), T(19), T(3)}, {T(17), T(19), T(4)}, {T(14), T(18), T(5)},
                          {T(10), T(14), T(4)});
        FillRelevantTimes(rb20, {T(16), T(18), T(2)}, {T(16), T(18), T(2)}, {T(10), T(13), T(6)},
                          {T(10), T(13), T(6)});

        kr1.NUMMER = 1;
        kr1.AKTIVIERT = 1;
        kr6.SetRahmenbedingung(&rb10);
        kr6.AKTIVIERT = lengthRule ? 1 : 0;
        kr11.SetRahmenbedingung(&rb18);
        kr12.SetRahmenbedingung(&rb18);
        kr13.SetRahmenbedingung(&rb19);
        kr14.SetRahmenbedingung(&rb19);
        kr15.SetRahmenbedingung(&rb20);
        kr16.SetRahmenbedingung(&rb20);
        kr11.AKTIVIERT = kr12.AKTIVIERT = kr14.AKTIVIERT = kr16.AKTIVIERT = 1;
        kr13.AKTIVIERT = kr15.AKTIVIERT = 0;

        pool.RB1 = &rb1;
        pool.RB2 = &rb2;
        pool.RB3 = &rb3;
        pool.RB8 = &rb8;
        pool.RB10 = &rb10;
        pool.RB11 = &rb11;
        pool.RB12 = &rb12;
        pool.RB13 = &rb13;
        pool.KRITERIEN = {&kr1, &kr6, &kr11, &kr12, &kr13, &kr14, &kr15, &kr16};

        if (mode == STRAIN) {
            eba = std::make_unique<EbaFile>();
            CBelastungseinschaetzung work;
            work.WOCHENTAGE = 127;
            work.SetTermin(::TERMIN{0, kDay});
            for (int item = 1; item <= 4; ++item)
                work.SetItem(item, 6);
            assessments.Add(work);
            kr19.SetBelastungseinschaetzungen(&assessments);
            kr19.AKTIVIERT = 1;
            pool.KRITERIEN.push_back(&kr19);
        }
    }

    CRahmenbedingungNachtschicht rb1;
    CRahmenbedingungFruehschicht rb2;
    CRahmenbedingungTagschicht rb3;
    CRahmenbedingungBetriebstagsbeginn rb8;
    CRahmenbedingungSchichtzeit rb10;
    CRahmenbedingungPausen rb11;
    CRahmenbedingungErstePause rb12;
    CRahmenbedingungMindestpausenlaenge rb13;
    CRahmenbedingungNachtschlafzeiten rb18;
    CRahmenbedingungSozialzeiten rb19;
    CRahmenbedingungFamilienzeiten rb20;
    CKriterium kr1;
    CKriteriumSchichtlaenge kr6;
    CKriteriumNachtschlafEinzel kr11;
    CKriteriumNachtschlafKont kr12;
    CKriteriumSozialzeitEinzel kr13;
    CKriteriumSozialzeitKont kr14;
    CKriteriumFamilienzeitEinzel kr15;
    CKriteriumFamilienzeitKont kr16;
    CBelastungseinschaetzungen assessments;
    CKriteriumBelastung kr19;
    std::unique_ptr<EbaFile> eba;
    SBPDefinitionen pool;
};

struct Figure {
    double totalSeconds = 0;
    double perDayMilliseconds = 0;
    long columns = 0;  // of the largest day model
    int lastObjective = 4;  // the lowest number of the last objective solved on a day
    uint8_t result = 0;
};
std::map<std::string, Figure> gFigures;

void BM_FourWeeks(benchmark::State& state)
{
    const uint16_t grid = uint16_t(state.range(0));
    const Mode mode = Mode(state.range(1));
    Definitions definitions(mode);
    CAKBData akb;
    FillDemand(akb);
    Figure figure;
    for (auto _ : state) {
        state.PauseTiming();
        CSchichttypen types;
        CSBPData plan;
        plan.SetSchichttypen(&types);
        plan.SetBezugsrahmen(kWeeks);
        ModelWritingGenerator generator;
        generator.run = std::string(mode == EVERY_LENGTH ? "everylength" : mode == DEFAULTS ? "defaults" : "strain") +
                        "_grid" + std::to_string(grid);
        generator.TimeGrid(grid);
        state.ResumeTiming();

        generator.Start(akb, plan, definitions.pool);
        while (generator.Step()) {
        }
        figure.result = generator.Result();
        for (long d = 1; d <= generator.NTAG_MAX; ++d) {
            figure.columns = std::max(figure.columns, generator.Tagesergebnis(d).SPALTEN);
            figure.lastObjective = std::min<int>(figure.lastObjective, generator.Tagesergebnis(d).ZIELFUNKTIONEN);
        }
        benchmark::DoNotOptimize(plan.CountRows());
    }
    state.counters["days"] = kWeeks * 7;
    state.counters["columns"] = double(figure.columns);
    state.counters["result"] = figure.result;
    state.counters["objectives"] = figure.lastObjective;
    const char* modes[] = {"every length", "defaults", "defaults with strain"};
    const std::string name = std::string(modes[mode]) + ", grid " + std::to_string(grid) + " min";
    gFigures[name] = figure;
}

// One week of the odd profile at the given grid, mode and group strength.
void BM_StrengthWeek(benchmark::State& state)
{
    const uint16_t grid = uint16_t(state.range(0));
    const Mode mode = Mode(state.range(1));
    const long strength = long(state.range(2));
    Definitions definitions(mode);
    CAKBData akb;
    akb.SetBezugsrahmen(1);
    for (uint32_t d = 1; d <= 7; ++d) {
        const uint32_t base = (d - 1) * kDay;
        for (auto [from, to, n] : {std::tuple{0u, 360u, 3u}, std::tuple{360u, 540u, 6u}, std::tuple{540u, 720u, 9u},
                                   std::tuple{720u, 1320u, 5u}, std::tuple{1320u, 1440u, 3u}})
            akb.MergeDemand({{base + from, base + to}, uint8_t(n)}, true);
    }
    Figure figure;
    for (auto _ : state) {
        state.PauseTiming();
        CSchichttypen types;
        CSBPData plan;
        plan.SetSchichttypen(&types);
        plan.SetBezugsrahmen(1);
        ModelWritingGenerator generator;
        generator.run = "strength" + std::to_string(strength) + (mode == EVERY_LENGTH ? "_everylength" : "_defaults") +
                        "_grid" + std::to_string(grid);
        generator.TimeGrid(grid);
        generator.GroupStrength(strength);
        state.ResumeTiming();

        generator.Start(akb, plan, definitions.pool);
        while (generator.Step()) {
        }
        figure.result = generator.Result();
        for (long d = 1; d <= generator.NTAG_MAX; ++d) {
            figure.columns = std::max(figure.columns, generator.Tagesergebnis(d).SPALTEN);
            figure.lastObjective = std::min<int>(figure.lastObjective, generator.Tagesergebnis(d).ZIELFUNKTIONEN);
        }
        benchmark::DoNotOptimize(plan.CountRows());
    }
    state.counters["result"] = figure.result;
    state.counters["objectives"] = figure.lastObjective;
    const char* modes[] = {"every length", "defaults", "defaults with strain"};
    gFigures["strength " + std::to_string(strength) + ", " + modes[mode] + ", grid " + std::to_string(grid) + " min"] =
        figure;
}

// Keeps the mean wall time of each run for the summary lines.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.iterations == 0)
                continue;
            times[run.benchmark_name()] = run.real_accumulated_time / double(run.iterations);
        }
    }
    std::map<std::string, double> times;
};

} // namespace

BENCHMARK(BM_FourWeeks)
    ->ArgNames({"grid", "mode"})
    ->Args({60, DEFAULTS})
    ->Args({30, DEFAULTS})
    ->Args({60, EVERY_LENGTH})
    ->Args({30, EVERY_LENGTH})
    ->Args({60, STRAIN})
    ->Args({30, STRAIN})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

BENCHMARK(BM_StrengthWeek)
    ->ArgNames({"grid", "mode", "strength"})
    ->ArgsProduct({{60, 30}, {DEFAULTS, EVERY_LENGTH}, {2, 3}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

int main(int argc, char** argv)
{
    // --write-models DIR is ours; the rest goes to the benchmark library.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--write-models") != 0)
            continue;
        if (i + 1 >= argc) {
            std::fprintf(stderr, "--write-models erwartet einen Ordner\n");
            return 2;
        }
        gModelDir = argv[i + 1];
        std::error_code ec;
        std::filesystem::create_directories(gModelDir, ec);
        if (!std::filesystem::is_directory(gModelDir)) {
            std::fprintf(stderr, "Ordner %s kann nicht angelegt werden\n", gModelDir.c_str());
            return 1;
        }
        for (int j = i; j + 2 <= argc; ++j)
            argv[j] = argv[j + 2];
        argc -= 2;
        break;
    }
    benchmark::Initialize(&argc, argv);
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    // The runs in the order registered, matched to the figures by their arguments.
    const char* modes[] = {"every length", "defaults", "defaults with strain"};
    for (int mode : {DEFAULTS, EVERY_LENGTH, STRAIN})
        for (int grid : {60, 30}) {
            const std::string run = "BM_FourWeeks/grid:" + std::to_string(grid) + "/mode:" + std::to_string(mode) +
                                    "/iterations:1/real_time";
            const auto t = reporter.times.find(run);
            if (t == reporter.times.end())
                continue;
            const std::string name = std::string(modes[mode]) + ", grid " + std::to_string(grid) + " min";
            const Figure& f = gFigures[name];
            std::printf("shift demand generator, 4 weeks 24/7, %s: total %.3f s\n", name.c_str(), t->second);
            std::printf("shift demand generator, 4 weeks 24/7, %s: per day %.1f ms (largest model %ld columns, "
                        "objectives to %d, result %d)\n",
                        name.c_str(), t->second * 1000.0 / (kWeeks * 7), f.columns, f.lastObjective, int(f.result));
        }
    for (int mode : {DEFAULTS, EVERY_LENGTH})
        for (int strength : {2, 3})
            for (int grid : {60, 30}) {
                const std::string run = "BM_StrengthWeek/grid:" + std::to_string(grid) + "/mode:" +
                                        std::to_string(mode) + "/strength:" + std::to_string(strength) +
                                        "/iterations:1/real_time";
                const auto t = reporter.times.find(run);
                if (t == reporter.times.end())
                    continue;
                const std::string name = "strength " + std::to_string(strength) + ", " + modes[mode] + ", grid " +
                                         std::to_string(grid) + " min";
                const Figure& f = gFigures[name];
                std::printf("shift demand generator, 1 week of odd head counts, %s: per day %.1f ms (largest model "
                            "%ld columns, objectives to %d, result %d)\n",
                            name.c_str(), t->second * 1000.0 / 7, f.columns, f.lastObjective, int(f.result));
            }
    if (!gModelDir.empty()) {
        const std::string list = (std::filesystem::path(gModelDir) / "models.txt").string();
        std::ofstream out(list);
        out << "# model, objective value and solve time in lp_solve (s), result\n";
        for (const std::string& line : gModelLines)
            out << line << '\n';
        out.close();
        if (!out) {
            std::fprintf(stderr, "%s kann nicht geschrieben werden\n", list.c_str());
            return 1;
        }
        std::printf("shift demand generator: %zu models written to %s\n", gModelLines.size(), gModelDir.c_str());
    }
    benchmark::Shutdown();
    return 0;
}
