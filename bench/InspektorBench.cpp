// One refresh of each inspector on a worksheet of 50 shift groups over 8 weeks with 20 shift
// types: what its window computes and the text of every cell of its lists. The goal is well under
// 5 ms each, so that a refresh after every edit goes unnoticed.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "assessment/AZPBewertung.h"
#include "assessment/Definitionspool.h"
#include "assessment/KriterienChecker.h"
#include "assessment/Kostenrechnung.h"
#include "assessment/RahmenbedingungArbeitszeit.h"
#include "core/Schicht.h"
#include "plans/AKBData.h"
#include "plans/AZPData.h"
#include "plans/SBPData.h"
#include "plans/Schichttypen.h"
#include "worksheets/Arbeitsblatt.h"
#include "worksheets/BewertungInspektor.h"
#include "worksheets/Gesamtbewertung.h"
#include "worksheets/KostenGrid.h"
#include "worksheets/TabellenInspektor.h"

namespace {

constexpr uint32_t kGroups = 50;
constexpr uint16_t kWeeks = 8;
constexpr int kTypes = 20;

// A worksheet of no project, filled as the plan data benchmark fills its plans.
struct Sheet {
    CArbeitsblatt sheet;

    Sheet()
    {
        sheet.ResetNew();
        sheet.SetBezugsrahmen(kWeeks, false);
        sheet.SetSchichtgruppenstaerke(2, false);
        for (int k = 0; k < kTypes; ++k) {
            CSchicht s;
            s.Clear();
            s.KURZBEZEICHNUNG = std::string(1, 'S').append(std::to_string(k + 1));
            s.BEZEICHNUNG = std::string("Schicht ").append(s.KURZBEZEICHNUNG);
            s.TERMIN.BEGINN = uint32_t(k * 72);
            s.TERMIN.ENDE = s.TERMIN.BEGINN + 360 + uint32_t(k % 5) * 60 + (k % 5 == 4 ? 600 : 0);
            s.PAUSEN[0] = {180, 30, 0};
            sheet.GetSchichttypen().AddSchicht(s, false);
        }
        CAZPData& azp = sheet.GetAZP();
        azp.SetGroupCount(kGroups);
        uint32_t state = 12345;
        for (uint32_t g = 1; g <= kGroups; ++g)
            for (uint32_t d = 1; d <= uint32_t(kWeeks) * 7; ++d) {
                state = state * 1103515245u + 12345u;
                if ((d - 1) % 7 >= 5)
                    continue;
                azp.SetCell(d, g, sheet.GetSchichttypen().GetByIndex(long((state >> 16) % kTypes) + 1)->SYSID);
            }
        sheet.GetSBP().SyncSchichttypen();
        azp.FillSBP(sheet.GetSBP());
        sheet.GetSBP().ComputeAKB(sheet.GetAKB());
        RecordBuffer& k = sheet.GetKosten()->KOSTEN;
        k.SetReal("STUNDENLOHN", 20.0);
        k.SetInt("TZ1VON", 20 * 360000 + 1);
        k.SetInt("TZ1BIS", 6 * 360000 + 1);
        k.SetReal("TZ1PROZENT", 25);
        k.SetReal("ZSOPROZENT", 50);
        k.SetReal("UEBZ1VON", 8);
        k.SetReal("UEBZ1BETRAG", 5);
        k.SetReal("WAZ1VON", 40);
        k.SetReal("WAZ1BETRAG", 5);
    }
};

Sheet& TheSheet()
{
    static Sheet s;
    return s;
}

template <typename List>
size_t AllCells(List& list, int rows, int columns)
{
    size_t n = 0;
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= columns; ++c)
            n += list.CellText(r, int16_t(c)).size();
    return n;
}

void TableInspectorRefresh(benchmark::State& state)
{
    CArbeitsblatt& s = TheSheet().sheet;
    TabellenStand stand;
    CInfoVLB lists[4] = {{stand, TABINSP_SBP_SCHICHTEN}, {stand, TABINSP_SBP_STUNDEN},
                         {stand, TABINSP_AZP_SCHICHTEN}, {stand, TABINSP_AZP_STUNDEN}};
    for (auto _ : state) {
        s.ComputeAKBInfo(stand.AKB);
        s.ComputeSBPInfo(stand.SBP);
        s.ComputeAZPInfo(stand.AZP);
        stand.BEZUGSRAHMEN = kWeeks;
        size_t n = 0;
        for (CInfoVLB& l : lists)
            n += AllCells(l, l.RowCount(), 13);
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(TableInspectorRefresh)->Unit(benchmark::kMicrosecond);

void CostInspectorRefresh(benchmark::State& state)
{
    CArbeitsblatt& s = TheSheet().sheet;
    CKostenrechnung rechnung;
    rechnung.SetKosten(s.GetKosten(),
                       dynamic_cast<CRahmenbedingungWAZMittel*>(s.GetDefinitionspool().GetRahmenbedingung(15)));
    Queue<KostenZeile> akb, sbp, azp;
    CKostenGrid grid;
    grid.SetMatrices(akb, sbp, azp);
    for (auto _ : state) {
        rechnung.ComputeAKB(akb, s.GetAKB(), 1);
        rechnung.ComputeSBP(sbp, s.GetSBP(), s.GetSchichttypen(), 1, s.GetSchichtgruppenstaerke());
        rechnung.ComputeAZP(azp, s.GetAZP(), 1, s.GetSchichtgruppenstaerke(), false);
        size_t n = 0;
        for (int32_t page : {KOSTEN_AKB, KOSTEN_SBP, KOSTEN_AZP}) {
            grid.CURRENTTAB = page;
            n += AllCells(grid, grid.RowCount(), 2 * grid.ColumnCount());
        }
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(CostInspectorRefresh)->Unit(benchmark::kMicrosecond);

void EvaluationInspectorRefresh(benchmark::State& state)
{
    CArbeitsblatt& s = TheSheet().sheet;
    CBewertungInspektor inspector;
    inspector.FillGroups(s);
    CAZPBewertung evaluation;
    CTree& tree = inspector.GetTree();
    for (auto _ : state) {
        // What the worksheet does after a change, then the window's summary and tree.
        evaluation.Evaluate(s.GetAZP());
        s.GetChecker().CheckPlan(evaluation, 0);
        const BewertungZusammenfassung summary = inspector.Summarize(&evaluation, nullptr, 0);
        CAZPInfo info;
        s.ComputeAZPInfo(info);
        tree.Refresh(&inspector);
        benchmark::DoNotOptimize(summary);
        benchmark::DoNotOptimize(tree.RowCount());
    }
}
BENCHMARK(EvaluationInspectorRefresh)->Unit(benchmark::kMicrosecond);

void OverallRating(benchmark::State& state)
{
    CArbeitsblatt& s = TheSheet().sheet;
    CBewertungInspektor groups;   // names the criteria's groups
    groups.FillGroups(s);
    for (auto _ : state) {
        CAZPBewertung evaluation;
        CKriterienChecker checker;
        for (long n : {7L, 8L, 3L, 4L, 10L, 9L, 2L, 5L, 17L, 11L, 12L, 13L, 14L, 15L, 16L, 22L})
            checker.Add(s.GetDefinitionspool().GetKriterium(n));
        evaluation.Evaluate(s.GetAZP());
        checker.CheckPlan(evaluation, 0);
        Queue<GesamtbewertungZeile> rows;
        GesamtbewertungZeilen(rows, checker, evaluation);
        benchmark::DoNotOptimize(evaluation.ComputeQuality());
        benchmark::DoNotOptimize(QueueRecords(rows));
    }
}
BENCHMARK(OverallRating)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
