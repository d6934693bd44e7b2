// One cell edit of the working-time plan as the user makes it, on a plan of 50 groups x 8 weeks
// that the constructive generator made (search fixture): the Delete key on a cell of the real grid
// through the editor (cell cleared, undo step handed to the worksheet, change notice), the
// worksheet's re-evaluation on the notice (the evaluation rebuilt and checked with the 21 criteria
// of a definitions pool at the installed defaults, as the worksheet's checker lists them), and the
// repaint of the visible cells (the grid's own drawing of the markers and every text and colour
// field the list shows). Goal: under 16 ms (one
// frame) per edit. A small timing program: prints the median and the slowest of 200 edits, and the
// share of the re-evaluation.
//
// varn4.cfg is read from VARN_INSTALL_DIR, else from ../app beside the benchmark.
#include "assessment/AZPBewertung.h"
#include "assessment/Definitionspool.h"
#include "assessment/Kosten.h"
#include "assessment/KriterienChecker.h"
#include "core/Savable.h"
#include "platform/headless/HeadlessDriver.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"
#include "worksheets/AZPEditor.h"

#include "SearchFixture.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace search_fixture;

namespace {

using Clock = std::chrono::steady_clock;

// The worksheet as the editor sees it: the notice re-evaluates the plan with its criteria.
class BenchWorksheet : public IEditorOwner {
public:
    void OnSchichttypenChanged() override {}
    bool GetLageDefinitions(NACHTSCHICHT&, FRUEHSCHICHT&, TAGSCHICHT&) override { return false; }
    uint8_t GetTyp() const override { return 1; }
    int32_t GetBezugsrahmen() const override { return 8; }
    int32_t GetSchichtgruppenstaerke() const override { return 1; }
    void SetBezugsrahmen(int32_t, bool) override {}
    void SetSchichtgruppenstaerke(int32_t, bool) override {}
    CSchichttypen& GetSchichttypen() override { return plan->types; }
    CKriterienChecker& GetChecker() override { return checker; }
    // The undo step goes to the project store, which has its own benchmark.
    bool StoreEditStep(ISavable&) override { return true; }
    void OnAZPChanged() override
    {
        const auto t = Clock::now();
        evaluation.Evaluate(plan->azp);
        checker.CheckPlan(evaluation, 0);
        evaluationTime += Clock::now() - t;
    }
    void OnSBPChanged(bool) override {}
    void OnAKBChanged(bool) override {}
    void OnFlexChanged() override {}
    void EditSchichttypen() override {}
    void GenerateAZP() override {}
    void OptimizeAZP() override {}
    void ShowPlanQuality() override {}
    void GenerateSBP() override {}
    void ComputeSBPFromAZP() override {}
    void ComputeAKBFromSBP() override {}

    Plan* plan = nullptr;
    CKriterienChecker checker;
    CAZPBewertung evaluation;
    Clock::duration evaluationTime{};
};

// The pool's owner: the cost criteria read the worksheet's cost settings.
class PoolOwner : public IDefinitionspoolOwner {
public:
    CBelastungseinschaetzungen* GetBelastungseinschaetzungen() override { return nullptr; }
    CKosten* GetKosten() override { return &kosten; }
    void OnDefinitionsChanged() override {}
    CKosten kosten;
};

BenchWorksheet* gSheet = nullptr;
CAZPEditor* gEditor = nullptr;

void WindowMain()
{
    WindowDesc d;
    d.title = "Arbeitsblatt";
    d.w = 1200;
    d.h = 500;
    d.Add(Ctl::List("40L|").At(0, 0, 1200, 500));
    const int w = WindowCreate(d);
    WindowOpen(w);
    gEditor->Bind(1, gSheet->plan->azp, *gSheet, w, 1);
    gEditor->SetEvaluation(gSheet->evaluation);
    while (WindowAccept(w))
        gEditor->OnEvent(EventCurrent());
    gEditor->Release();
    WindowClose(w);
}

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

} // namespace

int main(int, char** argv)
{
    if (!LoadDefaults(argv[0]))
        return 1;
    gDefinitions = std::make_unique<Definitions>();
    Plan plan(50, 8);
    BenchWorksheet sheet;
    sheet.plan = &plan;
    // The worksheet's checker: all 21 criteria of a pool at the installed defaults.
    PoolOwner poolOwner;
    CDefinitionspool pool;
    pool.SetArbeitsblatt(&poolOwner);
    pool.Apply();
    sheet.checker.SetKriterien(pool.GetKriterien());
    sheet.evaluation.Evaluate(plan.azp);
    sheet.checker.CheckPlan(sheet.evaluation, 0);
    CAZPEditor editor;
    gSheet = &sheet;
    gEditor = &editor;

    HeadlessDriver driver;
    driver.Start(WindowMain);
    const int w = driver.Window("Arbeitsblatt");
    constexpr int kEdits = 200;
    std::vector<double> total;
    sheet.evaluationTime = {};
    for (int i = 0; i < kEdits; ++i) {
        const int row = 1 + i % 20;
        const int day = 1 + i % 7;
        driver.ChooseRow(w, 1, row, day + 1);
        uint32_t before = 0;
        {
            Runtime::HostBaton baton;
            before = plan.azp.GetCell(uint32_t(day), uint32_t(row));
        }
        const auto t = Clock::now();
        driver.Key(w, 1, Key::DELETE);
        driver.Paint(w, 1);
        {
            // The list's own redraw: every field of the visible rows and columns.
            Runtime::HostBaton baton;
            const int64_t rows = std::min<int64_t>(plan.azp.CountGroups(), 25);
            const int fields = 1 + 5 * 10 * 8;
            for (int64_t r = 1; r <= rows; ++r)
                for (int f = 1; f <= fields; ++f)
                    (void)editor.Grid()->ListCallback(r, f);
        }
        total.push_back(Ms(Clock::now() - t));
        Runtime::HostBaton baton;
        plan.azp.SetCell(uint32_t(day), uint32_t(row), before);
    }
    driver.Close(w);
    driver.WaitEnd();
    std::sort(total.begin(), total.end());
    std::printf("Zelländerung 50 Gruppen x 8 Wochen (Entf, Mitteilung, Neubewertung mit %zu Kriterien, "
                "Neuzeichnen): Median %.2f ms, langsamste %.2f ms, Ziel < 16 ms\n",
                pool.GetKriterien().size(), total[total.size() / 2], total.back());
    std::printf("davon Neubewertung im Mittel %.2f ms\n", Ms(sheet.evaluationTime) / kEdits);
    sheet.evaluation.Release();
    sheet.checker.Release();
    return 0;
}
