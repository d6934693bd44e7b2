// Key figures and derived plans of a worksheet of 50 shift groups over 8 weeks with 20 shift
// types: the working-time plan's key figures, the shift demand computed from the working-time
// plan, and the staff demand computed from the shift demand. Each should take well under 1 ms.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <string>

#include "core/Schicht.h"
#include "plans/AKBData.h"
#include "plans/AZPData.h"
#include "plans/AZPInfo.h"
#include "plans/SBPData.h"
#include "plans/Schichttypen.h"

namespace {

constexpr uint32_t kGroups = 50;
constexpr uint16_t kWeeks = 8;
constexpr int kTypes = 20;

struct Worksheet {
    CSchichttypen types;
    CAZPData azp;
    CSBPData sbp;
    CAKBData akb;

    Worksheet()
    {
        // Shift types spread over the day: begins every 72 minutes, 6 to 10 hours long, one
        // with a break; every fifth runs over midnight.
        for (int k = 0; k < kTypes; ++k) {
            CSchicht s;
            s.Clear();
            s.KURZBEZEICHNUNG = std::string(1, 'S').append(std::to_string(k + 1));
            s.BEZEICHNUNG = std::string("Schicht ").append(s.KURZBEZEICHNUNG);
            s.TERMIN.BEGINN = uint32_t(k * 72);
            s.TERMIN.ENDE = s.TERMIN.BEGINN + 360 + uint32_t(k % 5) * 60 + (k % 5 == 4 ? 600 : 0);
            s.PAUSEN[0] = {180, 30, 0};
            types.AddSchicht(s, false);
        }
        azp.SetSchichttypen(&types, kGroups);
        azp.SetBezugsrahmen(kWeeks);
        // Every group works five days of each week, a fixed pseudo-random pattern of types.
        uint32_t state = 12345;
        for (uint32_t g = 1; g <= kGroups; ++g) {
            for (uint32_t d = 1; d <= uint32_t(kWeeks) * 7; ++d) {
                state = state * 1103515245u + 12345u;
                if ((d - 1) % 7 >= 5)
                    continue;
                const long n = long((state >> 16) % kTypes) + 1;
                azp.SetCell(d, g, types.GetByIndex(n)->SYSID);
            }
        }
        sbp.SetSchichttypen(&types);
        sbp.SetBezugsrahmen(kWeeks);
        sbp.SetSchichtgruppenstaerke(2);
        sbp.SyncSchichttypen();
        azp.FillSBP(sbp);
        akb.SetBezugsrahmen(kWeeks);
    }
};

Worksheet& Sheet()
{
    static auto sheet = std::make_unique<Worksheet>();
    return *sheet;
}

void BM_AZPInfoCompute(benchmark::State& state)
{
    Worksheet& w = Sheet();
    for (auto _ : state) {
        CAZPInfo info;
        info.Compute(w.azp, 2);
        benchmark::DoNotOptimize(info.WAZ);
    }
}
BENCHMARK(BM_AZPInfoCompute)->Unit(benchmark::kMicrosecond);

void BM_FillSBP(benchmark::State& state)
{
    Worksheet& w = Sheet();
    for (auto _ : state) {
        w.azp.FillSBP(w.sbp);
        benchmark::DoNotOptimize(w.sbp.GetCount(1, 1));
    }
}
BENCHMARK(BM_FillSBP)->Unit(benchmark::kMicrosecond);

void BM_ComputeAKB(benchmark::State& state)
{
    Worksheet& w = Sheet();
    for (auto _ : state) {
        w.sbp.ComputeAKB(w.akb);
        benchmark::DoNotOptimize(w.akb.GetMaxZeilen());
    }
    state.counters["spans"] = double(w.akb.Count());
}
BENCHMARK(BM_ComputeAKB)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
