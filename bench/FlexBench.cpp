// One edit of a flex plan as the worksheet follows it: the entry changed, the plan sorted, the
// working-time plan and its shift types rebuilt week by week and the plan evaluated anew, for a
// year (365 entries) and for 2,000 entries. Goal: under 5 ms at 2,000.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "assessment/AZPBewertung.h"
#include "plans/AZPData.h"
#include "plans/FlexAZ.h"
#include "plans/Schichttypen.h"

namespace {

void BM_FlexEditRebuild(benchmark::State& state)
{
    const long entries = long(state.range(0));
    CFlexAZ flex;
    for (long n = 0; n < entries; ++n) {
        CFlexSchicht s;
        s.Clear();
        s.DATUM = 81000 + int32_t(n);
        s.TERMIN.BEGINN = uint32_t(360 + (n % 5) * 60);
        s.TERMIN.ENDE = s.TERMIN.BEGINN + 510;
        s.PAUSEN[0] = {240, 30, 0};
        flex.Add(s);
    }
    CSchichttypen types;
    CAZPData azp;
    azp.SetSchichttypen(&types, 0);
    CAZPBewertung evaluation;
    long edited = entries / 2;
    for (auto _ : state) {
        CFlexSchicht s;
        s.Clear();
        flex.getByIndex(edited, s);
        s.TERMIN.BEGINN = (s.TERMIN.BEGINN + 15) % 720;
        s.TERMIN.ENDE = s.TERMIN.BEGINN + 480;
        flex.Put(edited, s);
        flex.Sort();
        int32_t from = 0, to = 0;
        flex.GetPeriod(from, to);
        flex.BuildAZP(azp, types, from, to, true, true);
        evaluation.Evaluate(azp);
        benchmark::DoNotOptimize(azp.CountGroups());
    }
    state.counters["groups"] = azp.CountGroups();
}
BENCHMARK(BM_FlexEditRebuild)->Arg(365)->Arg(2000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
