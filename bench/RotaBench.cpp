// The main road - constructive generator, then the tabu search at its defaults - on instances of
// the public rotating-workforce problem, which no one here wrote. Each instance becomes a
// worksheet in memory (rota/RotaModel.h); the search runs without its window until quality 0 or
// the time limit; a checker of its own (rota/RotaChecker.h) then judges the best rota against the
// instance's rules, so that quality 0 is seen to mean the rules hold.
//
//   RotaBench [--limit SEKUNDEN] [--start N] [--full] [FILE.dzn ...]
//
// Given files: a limit of 60 s per instance unless --limit says otherwise. Without files it
// runs the instances in bench/data/rota/ with 5 s each, so that ./build.sh bench stays short.
// --full assesses each candidate by a full evaluation (the reference) instead of incrementally;
// both make the same moves, so only the times differ.
// Per instance one line of figures, what the criteria do not express, what the checker finds, and
// the rota (one row per worker, "-" a free day); at the end the instances reaching quality 0 and
// the median time to it (over all instances; one not reached counts as slower than any).
#include "rota/RotaChecker.h"
#include "rota/RotaInstance.h"
#include "rota/RotaModel.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

bool Number(const char* text, double& out)
{
    char* end = nullptr;
    out = std::strtod(text, &end);
    return end && end != text && *end == '\0' && out > 0 && out < 1e7;
}

void PrintRota(const RotaInstance& instance, const Rota& rota)
{
    std::size_t width = 1;
    for (const std::string& n : instance.shiftName)
        width = std::max(width, n.size());
    for (const auto& row : rota) {
        std::string line = "   ";
        for (int cell : row) {
            std::string name = cell > 0 ? instance.shiftName[std::size_t(cell - 1)] : "-";
            name.resize(width, ' ');
            line += " " + name;
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        std::printf("%s\n", line.c_str());
    }
}

} // namespace

int main(int argc, char** argv)
{
    double limit = 0;
    double start = 1;
    bool incremental = true;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if ((a == "--limit" || a == "--start") && i + 1 < argc) {
            double v = 0;
            if (!Number(argv[++i], v) || (a == "--start" && v != double(long(v)))) {
                std::fprintf(stderr, "RotaBench: %s erwartet eine positive Zahl, nicht \u201e%s\u201c\n", a.c_str(), argv[i]);
                return 2;
            }
            (a == "--limit" ? limit : start) = v;
        } else if (a == "--full") {
            incremental = false;
        } else if (a.rfind("--", 0) == 0) {
            std::fprintf(stderr, "Aufruf: RotaBench [--limit SEKUNDEN] [--start N] [--full] [DATEI.dzn ...]\n");
            return 2;
        } else {
            files.push_back(a);
        }
    }
    if (files.empty()) {
        for (const auto& entry : fs::directory_iterator(VARN_ROTA_DATA))
            if (entry.path().extension() == ".dzn")
                files.push_back(entry.path().string());
        std::sort(files.begin(), files.end());
        if (limit == 0)
            limit = 5;
    }
    if (limit == 0)
        limit = 60;

    int failed = 0, reached = 0, allRules = 0, runs = 0;
    std::vector<double> times;   // to quality 0; infinity when not reached
    for (const std::string& file : files) {
        std::string error;
        const auto instance = ReadRotaFile(file, error);
        if (!instance) {
            std::fprintf(stderr, "%s\n", error.c_str());
            ++failed;
            continue;
        }
        RotaModel model(*instance);
        const RotaRun run = model.Solve(limit, uint64_t(start), incremental);
        const RotaVerdict verdict = CheckRota(*instance, run.rota, [&model](int before, bool dayOff, int after) {
            return model.Judges(before, dayOff, after);
        });
        const bool zero = run.bestQuality == 0.0;
        const bool agrees = zero == verdict.ModelRulesHold();
        std::string check = agrees ? "checker agrees" : "checker DISAGREES";
        if (!agrees)
            check += zero ? " (quality 0, but " + verdict.Describe() + ")" : " (quality above 0, but the rules hold)";
        std::printf("rotating workforce, %s: %d groups, quality %.4f at start, best %.4f, %ld iterations "
                    "(%.0f per second, %s assessment), %.3f s to the best, %s\n",
                    instance->name.c_str(), instance->workers, run.startQuality, run.bestQuality, run.iterations,
                    double(run.iterations) / std::max(run.seconds, 1e-9), incremental ? "incremental" : "full",
                    run.secondsToBest, check.c_str());
        for (const std::string& note : model.Notes())
            std::printf("  not exact: %s\n", note.c_str());
        std::printf("  every rule of the instance: %s\n",
                    verdict.AllRulesHold() ? "holds" : ("no - " + verdict.Describe()).c_str());
        PrintRota(*instance, run.rota);
        ++runs;
        reached += zero;
        allRules += verdict.AllRulesHold();
        times.push_back(zero ? run.secondsToBest : std::numeric_limits<double>::infinity());
    }
    if (runs > 0) {
        std::sort(times.begin(), times.end());
        const double median = times.size() % 2 ? times[times.size() / 2]
                                                : (times[times.size() / 2 - 1] + times[times.size() / 2]) / 2;
        std::printf("rotating workforce: quality 0 in %d of %d instances within %.0f s each, median time to it %s\n",
                    reached, runs, limit,
                    median == std::numeric_limits<double>::infinity() ? "not reached"
                                                                     : (std::to_string(median).substr(0, 5) + " s").c_str());
        std::printf("rotating workforce: every rule of the instance holds in %d of %d rotas\n", allRules, runs);
    }
    return failed ? 1 : 0;
}
