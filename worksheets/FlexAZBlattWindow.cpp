#include "worksheets/FlexAZBlattWindow.h"

#include <algorithm>

#include "core/Frame.h"
#include "core/Projektmanager.h"
#include "core/ShellAndEvents.h"
#include "platform/fw/FwWindow.h"
#include "platform/ui/Events.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"
#include "worksheets/Arbeitsblatt.h"
#include "worksheets/PaneStack.h"
#include "worksheets/WorksheetMenus.h"

namespace {
constexpr int kTitleHeight = 11;
constexpr int kZoom[5] = {75, 90, 100, 125, 150};
constexpr int kHighlight = 0x800000;   // the pane whose list has the focus
constexpr int kGrey = 0x808080;

// The flex entries and the plan share the room 2 : 3.
constexpr PaneControls kPanes[2] = {
    {FX_FLEX_BAR, FX_FLEX_BAR_TEXT, FX_FLEX_SHOW, FX_FLEX_TITLE, FX_FLEX_HIDE, FX_FLEX_LIST, "Arbeitszeit-Daten", 2},
    {FX_AZP_BAR, FX_AZP_BAR_TEXT, FX_AZP_SHOW, FX_AZP_TITLE, FX_AZP_HIDE, FX_AZP_LIST, "Arbeitszeitplan", 3},
};
constexpr int kSplitters[1] = {FX_SPLITTER};

constexpr WorksheetBar kBar{
    .flex = true, .exportFlex = FX_EXPORT, .importFlex = FX_IMPORT,
    .undo = {FX_UNDO_ITEM, FX_UNDO}, .redo = {FX_REDO_ITEM, FX_REDO}, .cut = {FX_CUT_ITEM, FX_CUT},
    .copy = {FX_COPY_ITEM, FX_COPY}, .paste = {FX_PASTE_ITEM, FX_PASTE}, .insert = {FX_NEW_ITEM, FX_INSERT},
    .change = {FX_CHANGE_ITEM, FX_CHANGE}, .remove = {FX_DELETE_ITEM, FX_DELETE}, .swap = {FX_SWAP_ITEM, 0},
    .print = {FX_PRINT_ITEM, FX_PRINT_BUTTON}, .schichttypen = {FX_SCHICHTTYPEN_ITEM, 0},
    .belastung = {FX_BELASTUNG_ITEM, FX_BELASTUNG_BUTTON}, .oeko = {FX_OEKO_ITEM, FX_OEKO_BUTTON},
    .notizen = {FX_NOTIZEN_ITEM, FX_NOTIZEN_BUTTON}, .defpool = {FX_DEFPOOL_ITEM, FX_DEFPOOL_BUTTON},
    .bezugsrahmen = {FX_BEZUGSRAHMEN_ITEM, 0}, .darstellung = {FX_ZEITRAUM_ITEM, FX_ZEITRAUM_BUTTON},
    .guetewert = FX_GUETEWERT_ITEM, .gesamtbewertung = {FX_GESAMTBEWERTUNG_ITEM, FX_GESAMTBEWERTUNG_BUTTON},
    .bewertungInsp = FX_BEWERTUNGSINSP_ITEM, .tabellenInsp = FX_TABELLENINSP_ITEM, .oekoInsp = FX_OEKOINSP_ITEM,
    .zoom50 = FX_ZOOM_50, .normal = FX_NORMAL, .kompakt = FX_KOMPAKT, .inspektor = FX_INSPEKTOR_BUTTON,
};

class FlexAZBlattWindow : public FwWindow {
public:
    explicit FlexAZBlattWindow(CArbeitsblatt& sheet) : FwWindow("UpdateFlexAZBlatt"), SHEET(sheet) {}

    int Setup() override
    {
        const int level = FwWindow::Setup();
        WindowDesc d;
        d.name = "P73$WINDOW";
        d.title = "Flex-Arbeitszeitblatt";
        d.kind = WindowKind::MdiChild;
        d.icon = "kalender.ico";
        d.resizable = true;
        d.w = 520;
        d.h = 340;
        d.Add(WorksheetMenubar(kBar));
        d.Add(WorksheetToolbar(kBar));
        PANES.Describe(d);
        CreateWindow(d);
        OpenWindow();
        PropertySet(0, Prop::MinWidth, 300);
        PropertySet(0, Prop::MinHeight, 200);
        return level;
    }

    void AfterOpen() override
    {
        SHEET.Init(this, Win());
        SHEET.SetEditButtons(FX_CUT, FX_COPY, FX_PASTE, FX_DELETE, FX_INSERT, FX_UNDO, FX_REDO);
        // The plan grid first: binding the flex list builds the plan into it.
        SHEET.BindAZPList(FX_AZP_LIST, 0, Win());
        SHEET.BindFlexWindow(FX_FLEX_LIST, FX_INSERT, FX_CHANGE, Win());
        SHEET.PublishChecker();
        Layout();
        ControlSelect(FX_FLEX_LIST);
        SHEET.SelectPane(FX_FLEX_LIST);
        Captions(FX_FLEX_LIST);
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
        if (event == EVENT_SELECTED && (EventControl() == FX_FLEX_LIST || EventControl() == FX_AZP_LIST))
            Captions(EventControl());
        const uint8_t handled = SHEET.OnWindowEvent();
        FollowTwins();
        if (handled == LEVEL_NOTIFY)
            return LEVEL_NOTIFY;
        return FwWindow::OnEvent();
    }

    int OnAccepted() override
    {
        const int control = EventAccepted();
        switch (control) {
        // Menu items with a toolbar twin post to the button, which the worksheet's dispatch takes.
        case FX_UNDO_ITEM: Post(FX_UNDO); break;
        case FX_REDO_ITEM: Post(FX_REDO); break;
        case FX_CUT_ITEM: Post(FX_CUT); break;
        case FX_COPY_ITEM: Post(FX_COPY); break;
        case FX_PASTE_ITEM: Post(FX_PASTE); break;
        case FX_NEW_ITEM: Post(FX_INSERT); break;
        case FX_CHANGE_ITEM: Post(FX_CHANGE); break;
        case FX_DELETE_ITEM: Post(FX_DELETE); break;
        case FX_EXPORT: SHEET.ExportFlexCSV(); break;
        case FX_IMPORT: SHEET.ImportFlexCSV(); break;
        case FX_PRINT_ITEM: SHEET.PrintAZP(); break;
        case FX_PRINT_BUTTON: Post(FX_PRINT_ITEM); break;
        case FX_BELASTUNG_ITEM:
        case FX_BELASTUNG_BUTTON: SHEET.EditBelastung(); break;
        case FX_OEKO_ITEM:
        case FX_OEKO_BUTTON: SHEET.EditKosten(); break;
        case FX_NOTIZEN_ITEM:
        case FX_NOTIZEN_BUTTON: SHEET.EditNotizen(); break;
        case FX_DEFPOOL_ITEM:
        case FX_DEFPOOL_BUTTON: SHEET.EditDefinitionspool(); break;
        case FX_ZEITRAUM_ITEM:
        case FX_ZEITRAUM_BUTTON: SHEET.EditDarstellung(); break;
        case FX_GUETEWERT_ITEM: SHEET.ShowPlanQuality(); break;
        case FX_GESAMTBEWERTUNG_ITEM:
        case FX_GESAMTBEWERTUNG_BUTTON: SHEET.ShowGesamtbewertung(); break;
        case FX_BEWERTUNGSINSP_ITEM: ToggleInspector(2); break;
        case FX_OEKOINSP_ITEM: ToggleInspector(3); break;
        case FX_INSPEKTOR_BUTTON:
            Post(SHEET.IsInspektorOpen(2) ? FX_OEKOINSP_ITEM : FX_BEWERTUNGSINSP_ITEM);
            break;
        case FX_NORMAL: SHEET.SetDarstellung(1); break;
        case FX_KOMPAKT: SHEET.SetDarstellung(2); break;
        default:
            if (control >= FX_ZOOM_50 && control <= FX_ZOOM_150) {
                SHEET.SetZoom(kZoom[control - FX_ZOOM_50]);
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
        const bool evaluation = SHEET.IsInspektorOpen(2);
        PropertySet(FX_BEWERTUNGSINSP_ITEM, Prop::Checked, evaluation ? 1 : 0);
        PropertySet(FX_OEKOINSP_ITEM, Prop::Checked, SHEET.IsInspektorOpen(3) ? 1 : 0);
        PropertySet(FX_INSPEKTOR_BUTTON, Prop::Icon, std::string(evaluation ? "~OekoInsp.ico" : "~BewertungsInsp.ico"));
        PropertySet(0, Prop::Text, SHEET.GetText());
        FwWindow::Refresh(force);
    }

    int Teardown() override
    {
        const int level = FwWindow::Teardown();
        SHEET.Reset();
        return level;
    }

private:
    void Post(int control)
    {
        if (!PropertyGet(control, Prop::Disable).Bool())
            EventPost(EVENT_ACCEPTED, control);
    }

    void ToggleInspector(int which)
    {
        if (SHEET.IsInspektorOpen(which))
            SHEET.CloseInspektor(which);
        else if (which == 2)
            SHEET.ShowBewertungInspektor();
        else
            SHEET.ShowOekoInspektor();
    }

    void FollowTwins() { FollowToolbarTwins(kBar); }

    // The pane whose list has the focus shows its title highlighted, the other one grey.
    void Captions(int list)
    {
        for (const PaneControls& p : kPanes)
            PropertySet(p.title, Prop::FontColor, p.list == list ? kHighlight : kGrey);
    }

    // The room of the panes: the client's width and height.
    std::pair<int, int> PaneRoom() const
    {
        return {std::max(100, int(PropertyGet(0, Prop::Width).Int())), std::max(60, int(PropertyGet(0, Prop::Height).Int()))};
    }

    void Layout()
    {
        const auto [width, height] = PaneRoom();
        // The toolbar stands above the client area: the panes fill the client from its top.
        PANES.Layout(width, height);
    }

    CArbeitsblatt& SHEET;
    CPaneStack PANES{kPanes, kTitleHeight, kSplitters};
};
} // namespace

void UpdateFlexAZBlatt(const std::string& parameter)
{
    auto* sheet = dynamic_cast<CArbeitsblatt*>(CVisual::FromParameter(parameter));
    if (!sheet)
        return;
    FlexAZBlattWindow w(*sheet);
    w.RunWindow();
}
