#include "worksheets/ArbeitsblattWindow.h"

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
#include "worksheets/PaneStack.h"
#include "worksheets/WorksheetMenus.h"
#include "worksheets/WorksheetWindow.h"

namespace {

// The staff demand, shift demand and plan panes, from the top, each with the same share.
constexpr PaneControls kPanes[3] = {
    {AB_AKB_BAR, AB_AKB_BAR_TEXT, AB_AKB_SHOW, AB_AKB_TITLE, AB_AKB_HIDE, AB_AKB_LIST, "Arbeitskräftebedarf", 1},
    {AB_SBP_BAR, AB_SBP_BAR_TEXT, AB_SBP_SHOW, AB_SBP_TITLE, AB_SBP_HIDE, AB_SBP_LIST, "Schichtbedarf", 1},
    {AB_AZP_BAR, AB_AZP_BAR_TEXT, AB_AZP_SHOW, AB_AZP_TITLE, AB_AZP_HIDE, AB_AZP_LIST, "Arbeitszeitplan", 1},
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
class ArbeitsblattWindow : public CWorksheetWindow {
public:
    explicit ArbeitsblattWindow(CArbeitsblatt& sheet) : CWorksheetWindow("UpdateArbeitsblatt", sheet, kBar, kPanes, kSplitters) {}

    int Setup() override
    {
        const int level = FwWindow::Setup();
        WindowDesc d;
        d.name = "P1$WINDOW";
        d.title = SHEET.GetBezeichnung();
        d.icon = "mini_tabelle.ico";
        d.timer = 20;   // the plans' synchronous scrolling looks at their positions
        OpenSheetWindow(d);
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

    void ShowState() override
    {
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
    }

private:
    bool OwnCommand(int control) override
    {
        switch (control) {
        case AB_INSPEKTOR_BUTTON:
            if (!AcceptAllRunning())
                if (const int item = NextInspektorItem(); item != 0)
                    EventPost(EVENT_ACCEPTED, item);
            return true;
        case AB_GESAMTBEWERTUNG_ITEM: Post(AB_GESAMTBEWERTUNG_BUTTON); return true;
        case AB_GESAMTBEWERTUNG_BUTTON:
            if (!AcceptAllRunning())
                SHEET.ShowGesamtbewertung();
            return true;
        default: return false;
        }
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

    // The title of the pane whose list was selected last is underlaid in light blue, so the planner
    // sees which plan the edit buttons act on.
    void AfterSheetSelection(int list) override
    {
        if (list != AB_AKB_LIST && list != AB_SBP_LIST && list != AB_AZP_LIST)
            return;
        for (const PaneControls& p : kPanes)
            PropertySet(p.title, Prop::Color, p.list == list ? kHighlight : kPlain);
    }
    static constexpr int64_t kHighlight = 0xF0D8B0;   // colours are 0xBBGGRR
    static constexpr int64_t kPlain = -1;              // the window's own background

    void Layout() override
    {
        PropertySet(0, Prop::Width, PaneRoom().first);   // keep the model's idea of the size in step
        CWorksheetWindow::Layout();
    }
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
