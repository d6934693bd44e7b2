#include "worksheets/FlexAZBlattWindow.h"

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
#include "worksheets/WorksheetWindow.h"

namespace {
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

class FlexAZBlattWindow : public CWorksheetWindow {
public:
    explicit FlexAZBlattWindow(CArbeitsblatt& sheet) : CWorksheetWindow("UpdateFlexAZBlatt", sheet, kBar, kPanes, kSplitters) {}

    int Setup() override
    {
        const int level = FwWindow::Setup();
        WindowDesc d;
        d.name = "P73$WINDOW";
        d.title = "Flex-Arbeitszeitblatt";
        d.icon = "kalender.ico";
        OpenSheetWindow(d);
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

    void ShowState() override
    {
        const bool evaluation = SHEET.IsInspektorOpen(2);
        PropertySet(FX_BEWERTUNGSINSP_ITEM, Prop::Checked, evaluation ? 1 : 0);
        PropertySet(FX_OEKOINSP_ITEM, Prop::Checked, SHEET.IsInspektorOpen(3) ? 1 : 0);
        PropertySet(FX_INSPEKTOR_BUTTON, Prop::Icon, std::string(evaluation ? "~OekoInsp.ico" : "~BewertungsInsp.ico"));
        PropertySet(0, Prop::Text, SHEET.GetText());
    }

private:
    bool OwnCommand(int control) override
    {
        switch (control) {
        case FX_PRINT_BUTTON: Post(FX_PRINT_ITEM); return true;
        case FX_GESAMTBEWERTUNG_ITEM:
        case FX_GESAMTBEWERTUNG_BUTTON: SHEET.ShowGesamtbewertung(); return true;
        // The flex window has no table inspector: the button switches evaluation and costs.
        case FX_INSPEKTOR_BUTTON: Post(SHEET.IsInspektorOpen(2) ? FX_OEKOINSP_ITEM : FX_BEWERTUNGSINSP_ITEM); return true;
        default: return false;
        }
    }

    void BeforeSheetSelection(int control) override
    {
        if (control == FX_FLEX_LIST || control == FX_AZP_LIST)
            Captions(control);
    }

    // The pane whose list has the focus shows its title highlighted, the other one grey.
    void Captions(int list)
    {
        for (const PaneControls& p : kPanes)
            PropertySet(p.title, Prop::FontColor, p.list == list ? kHighlight : kGrey);
    }
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
