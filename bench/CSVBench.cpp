// CSV exchange of large plan parts, file reading and writing included (the file dialog and the
// messages left out): a working-time plan of 255 groups over 12 weeks with 20 shift types, and a
// flex plan of 5,000 entries with two breaks each. Goal: each import and export under 20 ms.
#include <algorithm>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/Schicht.h"
#include "plans/AZPData.h"
#include "plans/FlexAZ.h"
#include "plans/Schichttypen.h"
#include "worksheets/CSVFile.h"

namespace {

constexpr uint32_t kGroups = 255;
constexpr uint16_t kWeeks = 12;
constexpr long kFlexEntries = 70000;  // a large flex file: its import must stay well under a second

std::string Path(const char* name)
{
    return (std::filesystem::temp_directory_path() / name).string();
}

struct Plan {
    CSchichttypen types;
    CAZPData azp;
    Plan()
    {
        for (int k = 0; k < 20; ++k) {
            CSchicht s;
            s.Clear();
            s.KURZBEZEICHNUNG = "S" + std::to_string(k + 1);
            s.BEZEICHNUNG = "Schicht " + s.KURZBEZEICHNUNG;
            s.TERMIN.BEGINN = uint32_t(k * 72);
            s.TERMIN.ENDE = s.TERMIN.BEGINN + 480;
            types.AddSchicht(s, false);
        }
        azp.SetSchichttypen(&types, kGroups);
        azp.SetBezugsrahmen(kWeeks);
        uint32_t state = 12345;
        for (uint32_t g = 1; g <= kGroups; ++g)
            for (uint32_t d = 1; d <= uint32_t(kWeeks) * 7; ++d) {
                state = state * 1103515245u + 12345u;
                if ((d - 1) % 7 < 5)
                    azp.SetCell(d, g, types.GetByIndex(long(state >> 16) % 20 + 1)->SYSID);
            }
    }
};

struct Flex {
    CFlexAZ flex;
    Flex()
    {
        for (long n = 0; n < kFlexEntries; ++n) {
            CFlexSchicht s;
            s.Clear();
            s.DATUM = 81000 + int32_t(n);
            s.TERMIN.BEGINN = uint32_t(360 + (n % 8) * 60);
            s.TERMIN.ENDE = s.TERMIN.BEGINN + 510;
            s.PAUSEN[0] = {180, 15, 0};
            s.PAUSEN[1] = {360, 15, 0};
            flex.Add(s);
        }
    }
};

void BM_ExportAZP(benchmark::State& state)
{
    Plan plan;
    const std::string path = Path("varn_bench_azp.csv");
    for (auto _ : state) {
        std::vector<std::string> lines;
        for (uint32_t g = 1; g <= plan.azp.CountGroups(); ++g)
            lines.push_back(CCSVFile::AZPLine(plan.azp, g));
        std::string error;
        if (!CCSVFile::WriteLines(path, lines, error))
            state.SkipWithError(error.c_str());
    }
}
BENCHMARK(BM_ExportAZP)->Unit(benchmark::kMillisecond);

void BM_ImportAZP(benchmark::State& state)
{
    Plan plan;
    const std::string path = Path("varn_bench_azp.csv");
    {
        std::vector<std::string> lines;
        for (uint32_t g = 1; g <= plan.azp.CountGroups(); ++g)
            lines.push_back(CCSVFile::AZPLine(plan.azp, g));
        std::string error;
        CCSVFile::WriteLines(path, lines, error);
    }
    CAZPData target;
    target.SetSchichttypen(&plan.types, 0);
    for (auto _ : state) {
        std::vector<std::string> lines;
        std::string error, bytes;
        if (!CCSVFile::ReadBytes(path, bytes, error) || CCSVFile::DecodeLines(bytes, lines))
            state.SkipWithError("not read");
        uint16_t weeks = 0;
        std::vector<std::vector<uint32_t>> groups;
        if (CCSVFile::ReadAZP(lines, plan.types, weeks, groups))
            state.SkipWithError("refused");
        target.DeleteAllGroups();
        target.SetBezugsrahmen(weeks);
        target.SetGroupCount(uint32_t(groups.size()));
        for (uint32_t g = 1; g <= groups.size(); ++g)
            for (uint32_t d = 1; d <= groups[g - 1].size(); ++d)
                target.SetCell(d, g, groups[g - 1][d - 1]);
    }
}
BENCHMARK(BM_ImportAZP)->Unit(benchmark::kMillisecond);

void BM_ExportFlex(benchmark::State& state)
{
    Flex f;
    const std::string path = Path("varn_bench_flex.csv");
    for (auto _ : state) {
        std::vector<std::string> lines;
        lines.reserve(size_t(f.flex.Count()));
        for (long n = 1; n <= f.flex.Count(); ++n)
            lines.push_back(CCSVFile::FlexLine(*f.flex.Entry(n)));
        std::string error;
        if (!CCSVFile::WriteLines(path, lines, error))
            state.SkipWithError(error.c_str());
    }
}
BENCHMARK(BM_ExportFlex)->Unit(benchmark::kMillisecond);

void ImportFlex(benchmark::State& state, bool reversed)
{
    Flex f;
    const std::string path = Path("varn_bench_flex.csv");
    {
        std::vector<std::string> lines;
        for (long n = 1; n <= f.flex.Count(); ++n)
            lines.push_back(CCSVFile::FlexLine(*f.flex.Entry(n)));
        if (reversed)
            std::ranges::reverse(lines);
        std::string error;
        CCSVFile::WriteLines(path, lines, error);
    }
    CFlexAZ target;
    for (auto _ : state) {
        std::vector<std::string> lines;
        std::string error, bytes;
        if (!CCSVFile::ReadBytes(path, bytes, error) || CCSVFile::DecodeLines(bytes, lines))
            state.SkipWithError("not read");
        CFlexAZ staged;
        if (CCSVFile::ReadFlexAZ(lines, staged))
            state.SkipWithError("refused");
        target.CopyFrom(staged);
    }
}
void BM_ImportFlex(benchmark::State& state) { ImportFlex(state, false); }
BENCHMARK(BM_ImportFlex)->Unit(benchmark::kMillisecond);
// The same lines latest first: the order of the file must not make the import slower.
void BM_ImportFlexReversed(benchmark::State& state) { ImportFlex(state, true); }
BENCHMARK(BM_ImportFlexReversed)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
