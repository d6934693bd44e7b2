#include "worksheets/ArbeitsblattWindow.h"

#include <algorithm>
#include <vector>

#include "core/Frame.h"
#include "core/Projektmanager.h"
#include "core/ShellAndEvents.h"
#include "platform/fw/FwWindow.h"
#include "platform/ui/Events.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"
#include "plans/AZPData.h"
#include "worksheets/AZPEditor.h"
#include "worksheets/Arbeitsblatt.h"
#include "worksheets/ArbeitsblattDialogs.h"
#include "worksheets/PaneStack.h"
#include "worksheets/WorksheetMenus.h"

namespace {
constexpr int kTitleHeight = 11;
constexpr int kZoom[5] = {75, 90, 100, 125, 150};

// The staff demand, shift demand and plan panes share the room 3 : 2 : 5.
constexpr PaneControls kPanes[3] = {
    {AB_AKB_BAR, AB_AKB_BAR_TEXT, AB_AKB_SHOW, AB_AKB_TITLE, AB_AKB_HIDE, AB_AKB_LIST, "Arbeitskräftebedarf", 3},
    {AB_SBP_BAR, AB_SBP_BAR_TEXT, AB_SBP_SHOW, AB_SBP_TITLE, AB_SBP_HIDE, AB_SBP_LIST, "Schichtbedarf", 2},
    {AB_AZP_BAR, AB_AZP_BAR_TEXT, AB_AZP_SHOW, AB_AZP_TITLE, AB_AZP_HIDE, AB_AZP_LIST, "Arbeitszeitplan", 5},
};
constexpr int kSplitters[2] = {AB_SPLITTER_AKB, AB_SPLITTER_SBP};

constexpr WorksheetBar kBar{
    .exportSchichttypen = AB_EXPORT_SCHICHTTYPEN, .exportAzp = AB_EXPORT_AZP,
    .importSchichttypen = AB_IMPORT_SCHICHTTYPEN, .importAzp = AB_IMPORT_AZP,
    .undo = {AB_UNDO_ITEM, AB_UNDO}, .redo = {AB_REDO_ITEM, AB_REDO}, .cut = {AB_CUT_ITEM, AB_CUT},
    .copy = {AB_COPY_ITEM, AB_COPY}, .paste = {AB_PASTE_ITEM, AB_PASTE}, .insert = {AB_NEW_ITEM, AB_INSERT},
    .change = {}, .remove = {AB_DELETE_ITEM, AB_DELETE}, .swap = {AB_SWAP_ITEM, AB_SWAP},
    .print = {AB_PRINT_ITEM, AB_PRINT_BUTTON}, .schichttypen = {AB_SCHICHTTYPEN_ITEM, AB_SCHICHTTYPEN_BUTTON},
    .belastung = {AB_BELASTUNG_ITEM, AB_BELASTUNG_BUTTON}, .oeko = {AB_OEKO_ITEM, AB_OEKO_BUTTON},
    .notizen = {AB_NOTIZEN_ITEM, AB_NOTIZEN_BUTTON}, .defpool = {AB_DEFPOOL_ITEM, AB_DEFPOOL_BUTTON},
    .bezugsrahmen = {AB_BEZUGSRAHMEN_ITEM, AB_BEZUGSRAHMEN_BUTTON}, .darstellung = {AB_GRUPPEN_ITEM, AB_GRUPPEN_BUTTON},
    .akbErrechnen = AB_AKB_ERRECHNEN, .sbpErrechnen = AB_SBP_ERRECHNEN, .sbpGenerieren = AB_SBP_GENERIEREN,
    .azpSchuetzen = AB_AZP_SCHUETZEN, .azpGenerieren = AB_AZP_GENERIEREN, .azpOptimieren = AB_AZP_OPTIMIEREN,
    .guetewert = AB_AZP_GUETEWERT, .gesamtbewertung = {AB_GESAMTBEWERTUNG_ITEM, AB_GESAMTBEWERTUNG_BUTTON},
    .bewertungInsp = AB_BEWERTUNG_INSP_ITEM, .tabellenInsp = AB_TABELLEN_INSP_ITEM, .oekoInsp = AB_OEKO_INSP_ITEM,
    .sync = AB_SYNC_ITEM, .zoom50 = AB_ZOOM_50, .normal = AB_NORMAL, .kompakt = AB_KOMPAKT,
    .generate = AB_GENERATE, .inspektor = AB_INSPEKTOR_BUTTON,
};

} // namespace

PaneLayout LayoutPanes(int top, int height, const bool hidden[3], int titleHeight)
{
    int weights[3];
    for (int i = 0; i < 3; ++i)
        weights[i] = hidden[i] ? 0 : kPanes[i].weight;
    const std::vector<PanePlace> places = StackPanes(top, height, weights, titleHeight);
    PaneLayout layout;
    for (int i = 0; i < 3; ++i) {
        layout.top[i] = places[size_t(i)].top;
        layout.listTop[i] = places[size_t(i)].listTop;
        layout.listHeight[i] = places[size_t(i)].listHeight;
    }
    return layout;
}

namespace {
class ArbeitsblattWindow : public FwWindow {
public:
    explicit ArbeitsblattWindow(CArbeitsblatt& sheet) : FwWindow("UpdateArbeitsblatt"), SHEET(sheet) {}

    int Setup() override
    {
        const int level = FwWindow::Setup();
        WindowDesc d;
        d.name = "P1$WINDOW";
        d.title = SHEET.GetBezeichnung();
        d.kind = WindowKind::MdiChild;
        d.icon = "mini_tabelle.ico";
        d.resizable = true;
        d.w = 520;
        d.h = 340;
        d.timer = 20;   // the plans' synchronous scrolling looks at their positions
        d.Add(WorksheetMenubar(kBar));
        d.Add(WorksheetToolbar(kBar));
        PANES.Describe(d);
        CreateWindow(d);
        OpenWindow();
        return level;
    }

    void AfterOpen() override
    {
        SHEET.Init(this, Win());
        SHEET.SetEditButtons(AB_CUT, AB_COPY, AB_PASTE, AB_DELETE, AB_INSERT, AB_UNDO, AB_REDO);
        SHEET.SetGenerateButton(AB_GENERATE);
        SHEET.BindAKBList(AB_AKB_LIST, AB_INSERT);
        SHEET.BindSBPList(AB_SBP_LIST);
        SHEET.BindAZPList(AB_AZP_LIST, AB_SWAP, Win());
        SHEET.PublishChecker();
        PropertySet(0, Prop::MinWidth, 300);
        PropertySet(0, Prop::MinHeight, 200);
        Layout();
        ControlSelect(AB_AZP_LIST);
        SHEET.SelectPane(AB_AZP_LIST);
        Refresh(true);
    }

    int OnEvent() override
    {
        const int event = EventCurrent();
        // While a plan is being optimised the window takes nothing: no command, no close now.
        if (SHEET.HeldByOptimisation(event))
            return LEVEL_NOTIFY;
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
        const uint8_t handled = SHEET.OnWindowEvent();
        FollowTwins();
        if (handled == LEVEL_NOTIFY)
            return LEVEL_NOTIFY;
        if (event == EVENT_SELECTED)
            MarkCurrentPane(EventControl());
        return FwWindow::OnEvent();
    }

    int OnAccepted() override
    {
        const int control = EventAccepted();
        switch (control) {
        // Menu items with a toolbar twin post to the button, which the worksheet's dispatch takes.
        case AB_UNDO_ITEM: Post(AB_UNDO); break;
        case AB_REDO_ITEM: Post(AB_REDO); break;
        case AB_CUT_ITEM: Post(AB_CUT); break;
        case AB_COPY_ITEM: Post(AB_COPY); break;
        case AB_PASTE_ITEM: Post(AB_PASTE); break;
        case AB_NEW_ITEM: Post(AB_INSERT); break;
        case AB_DELETE_ITEM: Post(AB_DELETE); break;
        case AB_SWAP_ITEM: Post(AB_SWAP); break;
        case AB_EXPORT_SCHICHTTYPEN: SHEET.ExportSchichttypenCSV(); break;
        case AB_EXPORT_AZP: SHEET.ExportAZPCSV(); break;
        case AB_IMPORT_SCHICHTTYPEN: SHEET.ImportSchichttypenCSV(); break;
        case AB_IMPORT_AZP: SHEET.ImportAZPCSV(); break;
        case AB_PRINT_ITEM:
        case AB_PRINT_BUTTON: SHEET.PrintAZP(); break;
        case AB_SCHICHTTYPEN_ITEM:
        case AB_SCHICHTTYPEN_BUTTON: SHEET.EditSchichttypen(); break;
        case AB_BELASTUNG_ITEM:
        case AB_BELASTUNG_BUTTON: SHEET.EditBelastung(); break;
        case AB_OEKO_ITEM:
        case AB_OEKO_BUTTON: SHEET.EditKosten(); break;
        case AB_NOTIZEN_ITEM:
        case AB_NOTIZEN_BUTTON: SHEET.EditNotizen(); break;
        case AB_DEFPOOL_ITEM:
        case AB_DEFPOOL_BUTTON: SHEET.EditDefinitionspool(); break;
        case AB_BEZUGSRAHMEN_ITEM:
        case AB_BEZUGSRAHMEN_BUTTON: EditBezugsrahmen(); break;
        case AB_GRUPPEN_ITEM:
        case AB_GRUPPEN_BUTTON: SHEET.EditDarstellung(); break;
        case AB_AKB_ERRECHNEN: SHEET.ComputeAKBFromSBP(); break;
        case AB_SBP_ERRECHNEN: SHEET.ComputeSBPFromAZP(); break;
        case AB_SBP_GENERIEREN: SHEET.GenerateSBP(); break;
        case AB_AZP_GENERIEREN: SHEET.GenerateAZP(); break;
        case AB_AZP_OPTIMIEREN: SHEET.OptimizeAZP(); break;
        case AB_AZP_GUETEWERT: SHEET.ShowPlanQuality(); break;
        case AB_SYNC_ITEM: SHEET.SetSynchronScrollen(!SHEET.GetSynchronScrollen()); break;
        case AB_TABELLEN_INSP_ITEM: ToggleInspektor(1); break;
        case AB_BEWERTUNG_INSP_ITEM: ToggleInspektor(2); break;
        case AB_OEKO_INSP_ITEM: ToggleInspektor(3); break;
        case AB_INSPEKTOR_BUTTON:
            if (!AcceptAllRunning())
                if (const int item = NextInspektorItem(); item != 0)
                    EventPost(EVENT_ACCEPTED, item);
            break;
        case AB_GESAMTBEWERTUNG_ITEM: Post(AB_GESAMTBEWERTUNG_BUTTON); break;
        case AB_GESAMTBEWERTUNG_BUTTON:
            if (!AcceptAllRunning())
                SHEET.ShowGesamtbewertung();
            break;
        case AB_NORMAL: SHEET.SetDarstellung(1); break;
        case AB_KOMPAKT: SHEET.SetDarstellung(2); break;
        default:
            if (control >= AB_ZOOM_50 && control <= AB_ZOOM_150) {
                SHEET.SetZoom(kZoom[control - AB_ZOOM_50]);
                break;
            }
            if (PANES.OnButton(control) || PANES.OnSplitter(control, PaneRoom().second))
                Layout();
            break;
        }
        Refresh();
        return FwWindow::OnAccepted();
    }

    void Refresh(bool force = false) override
    {
        if (DeferRefresh(force))
            return;
        SHEET.UpdateButtons();
        FollowTwins();
        PropertySet(AB_SYNC_ITEM, Prop::Checked, SHEET.GetSynchronScrollen() ? 1 : 0);
        PropertySet(AB_TABELLEN_INSP_ITEM, Prop::Checked, SHEET.IsInspektorOpen(1) ? 1 : 0);
        PropertySet(AB_BEWERTUNG_INSP_ITEM, Prop::Checked, SHEET.IsInspektorOpen(2) ? 1 : 0);
        PropertySet(AB_OEKO_INSP_ITEM, Prop::Checked, SHEET.IsInspektorOpen(3) ? 1 : 0);
        if (const int item = NextInspektorItem(); item != 0)
            PropertySet(AB_INSPEKTOR_BUTTON, Prop::Icon,
                        std::string(item == AB_TABELLEN_INSP_ITEM    ? "~TabellenInsp.ico"
                                    : item == AB_BEWERTUNG_INSP_ITEM ? "~BewertungsInsp.ico"
                                                                     : "~OekoInsp.ico"));
        PropertySet(0, Prop::Text, SHEET.GetBezeichnung());
        FwWindow::Refresh(force);
    }

    int Teardown() override
    {
        const int level = FwWindow::Teardown();
        SHEET.Reset();
        return level;
    }

private:
    void ToggleInspektor(int which)
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

    // The item the inspector button switches on, by the inspectors open now: none or table and
    // evaluation -> table, table -> evaluation, evaluation -> costs; 0 for any other combination.
    int NextInspektorItem()
    {
        const int code = (SHEET.IsInspektorOpen(1) ? 1 : 0) + 2 * (SHEET.IsInspektorOpen(2) ? 1 : 0) +
                         3 * (SHEET.IsInspektorOpen(3) ? 1 : 0);
        switch (code) {
        case 0:
        case 3: return AB_TABELLEN_INSP_ITEM;
        case 1: return AB_BEWERTUNG_INSP_ITEM;
        case 2: return AB_OEKO_INSP_ITEM;
        default: return 0;
        }
    }

    void FollowTwins() { FollowToolbarTwins(kBar); }

    void Post(int button)
    {
        if (!PropertyGet(button, Prop::Disable).Bool())
            EventPost(EVENT_ACCEPTED, button);
    }

    // The reference period: only a value the user changed is applied, so a plan longer than the
    // dialog offers keeps its weeks when the dialog is merely confirmed.
    void EditBezugsrahmen()
    {
        const int32_t before = SHEET.GetBezugsrahmen();
        const int32_t shown = std::clamp<int32_t>(before, 1, 8);
        int32_t weeks = shown;
        UpdateBezugsrahmen(weeks);
        if (LastResponse != RESPONSE_COMPLETED || weeks == shown)
            return;
        SHEET.SetBezugsrahmen(weeks, false);
    }

    // The title of the pane whose list was selected last is underlaid in light blue, so the planner
    // sees which plan the edit buttons act on.
    void MarkCurrentPane(int list)
    {
        if (list != AB_AKB_LIST && list != AB_SBP_LIST && list != AB_AZP_LIST)
            return;
        for (const PaneControls& p : kPanes)
            PropertySet(p.title, Prop::Color, p.list == list ? kHighlight : kPlain);
    }
    static constexpr int64_t kHighlight = 0xF0D8B0;   // colours are 0xBBGGRR
    static constexpr int64_t kPlain = -1;              // the window's own background

    // The room of the panes: the client's width and height.
    std::pair<int, int> PaneRoom() const
    {
        return {std::max(100, int(PropertyGet(0, Prop::Width).Int())), std::max(60, int(PropertyGet(0, Prop::Height).Int()))};
    }

    void Layout()
    {
        const auto [width, height] = PaneRoom();
        PropertySet(0 + 0, Prop::Width, width);   // keep the model's idea of the size in step
        // The toolbar stands above the client area: the panes fill the client from its top.
        PANES.Layout(width, height);
    }

    CArbeitsblatt& SHEET;
    CPaneStack PANES{kPanes, kTitleHeight, kSplitters};
};
} // namespace

void UpdateArbeitsblatt(const std::string& parameter)
{
    auto* sheet = dynamic_cast<CArbeitsblatt*>(CVisual::FromParameter(parameter));
    if (!sheet)
        return;
    ArbeitsblattWindow w(*sheet);
    w.RunWindow();
}
