// The evaluation of a working-time plan as the optimiser runs it per candidate move: Evaluate and
// ComputeQuality on 30 groups over 8 weeks with 6 shift types. Target: under 30 microseconds per
// call, and no heap allocation once the evaluation has seen a plan of that size.
//
// Allocations are counted by replacing the global operator new in this program; the counter
// "allocs/call" is the number of allocations per call after the first one.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>

#include "assessment/AZPBewertung.h"
#include "assessment/Kriterium.h"
#include "core/Schicht.h"
#include "plans/AZPData.h"
#include "plans/Schichttypen.h"

#include "AllocationCounter.h"

namespace {

constexpr uint32_t kGroups = 30;
constexpr uint16_t kWeeks = 8;

// A criterion that only weighs records (KR2's default divisor).
class Weighing : public CKriterium {
public:
    Weighing()
    {
        NUMMER = 2;
        TEILER = 240.0;
    }
};

struct Plan {
    CSchichttypen types;
    CAZPData azp;

    Plan()
    {
        // Early, late, night, a day shift with a paid break, a long night and a free shift.
        const struct {
            const char* name;
            uint32_t from, to;
            uint8_t art;
        } defs[] = {{"F", 360, 840, ART_NORMAL},     {"S", 840, 1320, ART_NORMAL},  {"N", 1320, 1800, ART_NORMAL},
                    {"T", 480, 1020, ART_NORMAL},    {"LN", 1140, 1860, ART_NORMAL}, {"X", 0, 1440, ART_FREISCHICHT}};
        for (const auto& d : defs) {
            CSchicht s;
            s.Clear();
            s.ART = d.art;
            s.KURZBEZEICHNUNG = d.name;
            s.BEZEICHNUNG = std::string("Schicht ") + d.name;
            s.TERMIN = {d.from, d.to};
            s.PAUSEN[0] = {240, 30, uint8_t(d.from == 480)};
            types.AddSchicht(s, false);
        }
        azp.SetSchichttypen(&types, kGroups);
        azp.SetBezugsrahmen(kWeeks);
        // A rota: every group works five days a week, the type moving on week by week; a few
        // free-shift cells.
        for (uint32_t g = 1; g <= kGroups; ++g)
            for (uint32_t d = 1; d <= uint32_t(kWeeks) * 7; ++d) {
                const uint32_t weekday = (d - 1) % 7;
                if (weekday >= 5)
                    continue;
                const long n = long((g + (d - 1) / 7 + (weekday == 4 ? 2 : 0)) % 6) + 1;
                azp.SetCell(d, g, types.GetByIndex(n)->SYSID);
            }
    }
};

Plan& ThePlan()
{
    static auto plan = std::make_unique<Plan>();
    return *plan;
}

// Evaluate and quality value only, as the benchmark's target states it.
void BM_EvaluateAndQuality(benchmark::State& state)
{
    Plan& p = ThePlan();
    CAZPBewertung e;
    e.Evaluate(p.azp);  // the first call on this plan size sets up the storage
    benchmark::DoNotOptimize(e.ComputeQuality());
    const uint64_t before = gAllocations.load();
    for (auto _ : state) {
        e.Evaluate(p.azp);
        benchmark::DoNotOptimize(e.ComputeQuality());
    }
    const double calls = double(state.iterations());
    state.counters["allocs/call"] = double(gAllocations.load() - before) / calls;
    state.counters["shifts"] = double(e.ShiftCount());
    state.counters["cells"] = double(e.CellCount());
}
BENCHMARK(BM_EvaluateAndQuality)->Unit(benchmark::kMicrosecond);

// The same with records in one cell of twenty (worked and free cells) between the two, as a
// criteria check leaves them: the lists keep their storage from one evaluation to the next.
void BM_EvaluateRecordsAndQuality(benchmark::State& state)
{
    Plan& p = ThePlan();
    Weighing k;
    CAZPBewertung e;
    VERSTOSSINFO record;
    record.KRITERIUM = &k;
    record.WERT = 120;
    auto run = [&] {
        e.Evaluate(p.azp);
        for (long i = 1; i <= e.CellCount(); i += 20)
            e.AddVerstoss(i, record);
        return e.ComputeQuality();
    };
    benchmark::DoNotOptimize(run());
    const uint64_t before = gAllocations.load();
    for (auto _ : state)
        benchmark::DoNotOptimize(run());
    state.counters["allocs/call"] = double(gAllocations.load() - before) / double(state.iterations());
}
BENCHMARK(BM_EvaluateRecordsAndQuality)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
