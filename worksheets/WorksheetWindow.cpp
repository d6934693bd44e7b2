#include "worksheets/WorksheetWindow.h"

#include <algorithm>
#include <initializer_list>

#include "core/Frame.h"
#include "core/Projektmanager.h"
#include "core/ShellAndEvents.h"
#include "platform/ui/Events.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"
#include "worksheets/Arbeitsblatt.h"
#include "worksheets/ArbeitsblattDialogs.h"

namespace {
constexpr int kTitleHeight = 11;
constexpr int kZoom[5] = {75, 90, 100, 125, 150};
} // namespace

CWorksheetWindow::CWorksheetWindow(std::string procedureName, CArbeitsblatt& sheet, const WorksheetBar& bar,
                                   std::span<const PaneControls> panes, std::span<const int> splitters)
    : FwWindow(std::move(procedureName)), SHEET(sheet), BAR(bar), PANES(panes, kTitleHeight, splitters)
{
}

void CWorksheetWindow::OpenSheetWindow(WindowDesc& d)
{
    d.kind = WindowKind::MdiChild;
    d.resizable = true;
    d.w = 520;
    d.h = 340;
    d.Add(WorksheetMenubar(BAR));
    d.Add(WorksheetToolbar(BAR));
    PANES.Describe(d);
    CreateWindow(d);
    OpenWindow();
}

int CWorksheetWindow::OnEvent()
{
    const int event = EventCurrent();
    // While a plan is being optimised the window takes nothing: no command, no close now. A size
    // that came meanwhile is made up for once the search has ended.
    if (SHEET.HeldByOptimisation(event))
        return LEVEL_NOTIFY;
    LayoutIfResized();
    // The worksheet worked on judges shift types and ratings by its own pool.
    if (event == EVENT_GAIN_FOCUS)
        SHEET.PublishChecker();
    if (event == EventRefresh) {
        Refresh(true);
        return LEVEL_BENIGN;
    }
    if (event == EVENT_CLOSE_WINDOW || event == EVENT_CLOSE_DOWN) {
        SHEET.CloseRequest();
        return FwWindow::OnEvent();
    }
    if (event == EVENT_SIZED || event == EVENT_SIZE)
        Layout();
    if (event == EVENT_SELECTED)
        BeforeSheetSelection(EventControl());
    const uint8_t handled = SHEET.OnWindowEvent();
    FollowTwins();
    if (handled == LEVEL_NOTIFY)
        return LEVEL_NOTIFY;
    if (event == EVENT_SELECTED)
        AfterSheetSelection(EventControl());
    return FwWindow::OnEvent();
}

int CWorksheetWindow::OnAccepted()
{
    const int control = EventAccepted();
    if (!OwnCommand(control) && !SheetCommand(control) &&
        (PANES.OnButton(control) || PANES.OnSplitter(control, PaneRoom().second)))
        Layout();
    // A search run by the command took no size meanwhile: the panes follow the size the window has.
    LayoutIfResized();
    Refresh();
    return FwWindow::OnAccepted();
}

bool CWorksheetWindow::SheetCommand(int control)
{
    const WorksheetBar& c = BAR;
    // Menu items with a toolbar twin post to the button, which the worksheet's dispatch takes.
    for (const SheetTwin& t : {c.undo, c.redo, c.cut, c.copy, c.paste, c.insert, c.change, c.remove, c.swap})
        if (t.item && t.button && control == t.item) {
            Post(t.button);
            return true;
        }
    // A field of the bar that is 0 (not offered in this window) matches no control.
    auto is = [control](int id) { return id != 0 && control == id; };
    auto either = [&is](const SheetTwin& t) { return is(t.item) || is(t.button); };
    // The flex window shows the items of shift types, reference period and table inspector
    // disabled: its sheet has none of them, so they run nothing there.
    const bool kind1 = !c.flex;
    if (is(c.exportSchichttypen)) SHEET.ExportSchichttypenCSV();
    else if (is(c.exportAzp)) SHEET.ExportAZPCSV();
    else if (is(c.importSchichttypen)) SHEET.ImportSchichttypenCSV();
    else if (is(c.importAzp)) SHEET.ImportAZPCSV();
    else if (is(c.exportFlex)) SHEET.ExportFlexCSV();
    else if (is(c.importFlex)) SHEET.ImportFlexCSV();
    else if (either(c.print)) SHEET.PrintAZP();
    else if (kind1 && either(c.schichttypen)) SHEET.EditSchichttypen();
    else if (either(c.belastung)) SHEET.EditBelastung();
    else if (either(c.oeko)) SHEET.EditKosten();
    else if (either(c.notizen)) SHEET.EditNotizen();
    else if (either(c.defpool)) SHEET.EditDefinitionspool();
    else if (kind1 && either(c.bezugsrahmen)) EditBezugsrahmen();
    else if (either(c.darstellung)) SHEET.EditDarstellung();
    else if (is(c.akbErrechnen)) SHEET.ComputeAKBFromSBP();
    else if (is(c.sbpErrechnen)) SHEET.ComputeSBPFromAZP();
    else if (is(c.sbpGenerieren)) SHEET.GenerateSBP();
    else if (is(c.azpGenerieren)) SHEET.GenerateAZP();
    else if (is(c.azpOptimieren)) SHEET.OptimizeAZP();
    else if (is(c.guetewert)) SHEET.ShowPlanQuality();
    else if (is(c.sync)) SHEET.SetSynchronScrollen(!SHEET.GetSynchronScrollen());
    else if (kind1 && is(c.tabellenInsp)) ToggleInspektor(1);
    else if (is(c.bewertungInsp)) ToggleInspektor(2);
    else if (is(c.oekoInsp)) ToggleInspektor(3);
    else if (is(c.normal)) SHEET.SetDarstellung(1);
    else if (is(c.kompakt)) SHEET.SetDarstellung(2);
    else if (c.zoom50 != 0 && control >= c.zoom50 && control < c.zoom50 + 5) SHEET.SetZoom(kZoom[control - c.zoom50]);
    else return false;
    return true;
}

void CWorksheetWindow::Post(int control)
{
    if (!PropertyGet(control, Prop::Disable).Bool())
        EventPost(EVENT_ACCEPTED, control);
}

void CWorksheetWindow::ToggleInspektor(int which)
{
    if (SHEET.IsInspektorOpen(which))
        SHEET.CloseInspektor(which);
    else if (which == 1)
        SHEET.ShowTabellenInspektor();
    else if (which == 2)
        SHEET.ShowBewertungInspektor();
    else
        SHEET.ShowOekoInspektor();
}

// The reference period: only a value the user changed is applied, so a plan longer than the
// dialog offers keeps its weeks when the dialog is merely confirmed.
void CWorksheetWindow::EditBezugsrahmen()
{
    const int32_t before = SHEET.GetBezugsrahmen();
    const int32_t shown = std::clamp<int32_t>(before, 1, 8);
    int32_t weeks = shown;
    UpdateBezugsrahmen(weeks);
    if (LastResponse != RESPONSE_COMPLETED || weeks == shown)
        return;
    SHEET.SetBezugsrahmen(weeks, false);
}

std::pair<int, int> CWorksheetWindow::PaneRoom() const
{
    return {std::max(100, int(PropertyGet(0, Prop::Width).Int())), std::max(60, int(PropertyGet(0, Prop::Height).Int()))};
}

void CWorksheetWindow::LayoutIfResized()
{
    if (!OptimizationRunning && LAIDOUT.first >= 0 && PaneRoom() != LAIDOUT)
        Layout();
}

void CWorksheetWindow::Layout()
{
    LAIDOUT = PaneRoom();
    PANES.Layout(LAIDOUT.first, LAIDOUT.second);
}

void CWorksheetWindow::Refresh(bool force)
{
    if (DeferRefresh(force))
        return;
    SHEET.UpdateButtons();
    FollowTwins();
    ShowState();
    FwWindow::Refresh(force);
}

int CWorksheetWindow::Teardown()
{
    const int level = FwWindow::Teardown();
    SHEET.Reset();
    return level;
}
