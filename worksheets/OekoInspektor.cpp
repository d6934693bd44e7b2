#include "worksheets/OekoInspektor.h"

#include "assessment/RahmenbedingungArbeitszeit.h"
#include "platform/ui/Events.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"
#include "plans/AKBData.h"
#include "plans/AZPData.h"
#include "plans/SBPData.h"
#include "worksheets/AKBEditor.h"
#include "worksheets/AZPEditor.h"
#include "worksheets/Arbeitsblatt.h"
#include "worksheets/SBPEditor.h"

#include <algorithm>

namespace {
uint16_t WeekOfDay(int day) { return uint16_t(day >= 1 ? (day - 1) / 7 + 1 : 1); }
} // namespace

int COekoInspektor::Run()
{
    KOSTENMATRIXVLB = std::make_unique<CKostenGrid>();
    const int result = StartThread(OekoInspektor, 50000, "OekoInspektor");
    if (result != 0)
        KOSTENMATRIXVLB.reset();
    return result;
}

void COekoInspektor::Init(FwWindow* windowManager, int window)
{
    CVisual::Init(windowManager, window);
    Recompute();
    if (ARBEITSBLATT && ARBEITSBLATT->IsActive())
        ARBEITSBLATT->PostToOwner(EventRefresh);
}

void COekoInspektor::Reset()
{
    CVisual::Reset();
    if (KOSTENMATRIXVLB)
        KOSTENMATRIXVLB->Release();
    KOSTENMATRIXVLB.reset();
    if (ARBEITSBLATT && ARBEITSBLATT->IsActive())
        ARBEITSBLATT->PostToOwner(EventRefresh);
}

void COekoInspektor::Prepare()
{
    if (!ARBEITSBLATT)
        return;
    auto* rb15 = dynamic_cast<CRahmenbedingungWAZMittel*>(ARBEITSBLATT->GetDefinitionspool().GetRahmenbedingung(15));
    RECHNUNG.SetKosten(ARBEITSBLATT->GetKosten(), rb15);
}

void COekoInspektor::Recompute()
{
    if (!IsActive() || !ARBEITSBLATT)
        return;
    CArbeitsblatt& sheet = *ARBEITSBLATT;
    if (sheet.GetTyp() == ARBEITSBLATT_AZ) {
        ComputeAKBCosts(sheet.GetAKB(), WeekOfDay(sheet.GetAKBEditor() ? sheet.GetAKBEditor()->GetCurrentDay() : 1));
        ComputeSBPCosts(sheet.GetSBP(), WeekOfDay(sheet.GetSBPEditor() ? sheet.GetSBPEditor()->GetCurrentDay() : 1));
    }
    ComputeAZPCosts(sheet.GetAZP(), WeekOfDay(sheet.GetAZPEditor() ? sheet.GetAZPEditor()->GetCurrentDay() : 1));
}

void COekoInspektor::ComputeAZPCosts(const CAZPData& plan, uint16_t week)
{
    if (!IsActive() || !ARBEITSBLATT)
        return;
    Prepare();
    RECHNUNG.ComputeAZP(KOSTENAZP, plan, week, ARBEITSBLATT->GetSchichtgruppenstaerke(),
                        ARBEITSBLATT->GetTyp() == ARBEITSBLATT_FLEX);
}

void COekoInspektor::ComputeSBPCosts(const CSBPData& plan, uint16_t week)
{
    if (!IsActive() || !ARBEITSBLATT)
        return;
    Prepare();
    RECHNUNG.ComputeSBP(KOSTENSBP, plan, ARBEITSBLATT->GetSchichttypen(), week,
                        ARBEITSBLATT->GetSchichtgruppenstaerke());
}

void COekoInspektor::ComputeAKBCosts(const CAKBData& demand, uint16_t week)
{
    if (!IsActive() || !ARBEITSBLATT)
        return;
    Prepare();
    RECHNUNG.ComputeAKB(KOSTENAKB, demand, week);
}

void COekoInspektor::SetView(int page)
{
    if (page != KOSTEN_AKB && page != KOSTEN_SBP && page != KOSTEN_AZP)
        return;
    // A window still opening selects the page at its first refresh.
    PAGE = page;
    if (IsActive())
        Notify();
}

void COekoInspektor::SetDisplayMode(uint8_t mode)
{
    if (!IsActive() || !KOSTENMATRIXVLB)
        return;
    KOSTENMATRIXVLB->DISPLAYKOSTENMATRIX = mode == KOSTEN_PRO_KOSTENART ? KOSTEN_PRO_KOSTENART : KOSTEN_PRO_WOCHENTAG;
    KOSTENMATRIXVLB->SetupFormat(KOSTENMATRIXVLB->CURRENTTAB, true);
}

void COekoInspektor::RefreshGrid(int percent)
{
    if (IsActive() && KOSTENMATRIXVLB)
        KOSTENMATRIXVLB->SetZoom(percent);
}

// ---- the window ---------------------------------------------------------------------------------

constexpr int kTabAKB = 12, kTabSBP = 13, kTabAZP = 14;

class OekoInspektorWindow : public InspektorWindow {
public:
    explicit OekoInspektorWindow(COekoInspektor& inspector) : InspektorWindow(inspector, "OekoInspektor"), OI(inspector) {}

    int Setup() override
    {
        constexpr int w = 420, h = 150;
        WindowDesc d = Describe("Ökonomie-Inspektor", w, h, false);
        d.Add(Ctl::Check(" nach Kosten&arten getrennt anzeigen").Id(OEKO_KOSTENMATRIX).Name("?KOSTENMATRIX")
                  .Tip("Bei Aktivierung dieser Option werden die Kosten\r\nnach der jeweiligen Kostenart aufgeschlüsselt")
                  .At(4, 3, 180, 10).Use(ARTEN));
        d.Add(Ctl::Sheet().Id(OEKO_SHEET).At(2, 16, w - 4, h - 18)
                  .Add(Ctl::Tab("AKB").Id(kTabAKB).Name("?TABAKB"))
                  .Add(Ctl::Tab("SBP").Id(kTabSBP).Name("?TABSBP"))
                  .Add(Ctl::Tab("AZP").Id(kTabAZP).Name("?TABAZP")));
        d.Add(Ctl::List("40L|").Id(OEKO_LIST).Name("?LISTKOSTENMATRIX").At(6, 34, w - 12, h - 40));
        return OpenInspector(d);
    }

    void AfterOpen() override
    {
        if (OI.KOSTENMATRIXVLB)
            OI.KOSTENMATRIXVLB->Init(OEKO_LIST, OI.KOSTENAKB, OI.KOSTENSBP, OI.KOSTENAZP);
        INSPEKTOR.Init(this, Win());
        if (CArbeitsblatt* sheet = INSPEKTOR.GetArbeitsblatt(); sheet && sheet->GetTyp() == ARBEITSBLATT_FLEX) {
            ControlHide(kTabAKB, kTabSBP);
            PropertySet(OEKO_SHEET, Prop::Selected, 3);
        }
        Refresh(true);
    }

    int OnAccepted() override
    {
        if (EventAccepted() == OEKO_KOSTENMATRIX && !AcceptAllRunning()) {
            OI.SetDisplayMode(ARTEN == 1 ? KOSTEN_PRO_KOSTENART : KOSTEN_PRO_WOCHENTAG);
            return LEVEL_BENIGN;
        }
        return InspektorWindow::OnAccepted();
    }

    int OnNewSelection() override
    {
        if (EventControl() == OEKO_SHEET)
            SyncGridPage();
        return InspektorWindow::OnNewSelection();
    }

    void RefreshContent() override
    {
        if (OI.PAGE != 0) {
            PropertySet(OEKO_SHEET, Prop::Selected, OI.PAGE / 1000 - 1);
            OI.PAGE = 0;
        }
        SyncGridPage();
    }

private:
    void SyncGridPage()
    {
        CKostenGrid* grid = OI.KOSTENMATRIXVLB.get();
        if (!grid)
            return;
        const long long tab = std::clamp<long long>(PropertyGet(OEKO_SHEET, Prop::Selected).Int(), 1, 3);
        grid->SetupFormat(int32_t(tab + 1) * 1000, false);
        CArbeitsblatt* sheet = INSPEKTOR.GetArbeitsblatt();
        if (tab == 3 && sheet && sheet->GetTyp() == ARBEITSBLATT_FLEX)
            grid->RenameGroupHeader();
    }

    COekoInspektor& OI;
    int ARTEN = 0;   // the check box: 1 per cost type
};

void OekoInspektor(const std::string& parameter)
{
    auto* inspector = dynamic_cast<COekoInspektor*>(CVisual::FromParameter(parameter));
    if (!inspector)
        return;
    OekoInspektorWindow w(*inspector);
    w.RunWindow();
}
