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

namespace {
constexpr int kToolbarHeight = 16;
constexpr int kTitleHeight = 11;
constexpr int kZoom[5] = {75, 90, 100, 125, 150};

// The staff demand, shift demand and plan panes share the room 3 : 2 : 5.
constexpr PaneControls kPanes[3] = {
    {AB_AKB_BAR, AB_AKB_BAR_TEXT, AB_AKB_SHOW, AB_AKB_TITLE, AB_AKB_HIDE, AB_AKB_LIST, "Arbeitskräftebedarf", 3},
    {AB_SBP_BAR, AB_SBP_BAR_TEXT, AB_SBP_SHOW, AB_SBP_TITLE, AB_SBP_HIDE, AB_SBP_LIST, "Schichtbedarf", 2},
    {AB_AZP_BAR, AB_AZP_BAR_TEXT, AB_AZP_SHOW, AB_AZP_TITLE, AB_AZP_HIDE, AB_AZP_LIST, "Arbeitszeitplan", 5},
};
constexpr int kSplitters[2] = {AB_SPLITTER_AKB, AB_SPLITTER_SBP};

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
        d.Add(Menus());
        d.Add(Toolbar());
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
    static ControlDesc Menus()
    {
        auto item = [](int id, const char* text, const char* key = "", const char* tip = "", const char* icon = "") {
            ControlDesc c = Ctl::Item(text).Id(id);
            if (*key) c.KeyText(key);
            if (*tip) c.Msg(tip);
            if (*icon) c.Icon(icon);
            return c;
        };
        ControlDesc bar = Ctl::Menubar().Id(99);
        bar.Add(Ctl::Menu("&Datei").Id(1)
                    .Add(Ctl::Menu("&Exportieren").Id(2).Add(item(AB_EXPORT_SCHICHTTYPEN, "&Schichttypen")).Add(item(AB_EXPORT_AZP, "&Arbeitszeitplan")))
                    .Add(Ctl::Menu("&Importieren").Id(5).Add(item(AB_IMPORT_SCHICHTTYPEN, "&Schichttypen")).Add(item(AB_IMPORT_AZP, "&Arbeitszeitplan"))));
        bar.Add(Ctl::Menu("&Bearbeiten").Id(8)
                    .Add(item(AB_UNDO_ITEM, "&Rückgängig", "Strg+Z", "Bearbeitungsschritt rückgängig machen", "undo.ico"))
                    .Add(item(AB_REDO_ITEM, "&Wiederholen", "Strg+Y", "Bearbeitungsschritt wiederholen", "redo.ico"))
                    .Add(item(AB_CUT_ITEM, "&Ausschneiden", "Strg-X", "Objekt in die Zwischenablage verschieben"))
                    .Add(item(AB_COPY_ITEM, "&Kopieren", "Strg-C", "Objekt in die Zwischenablage kopieren"))
                    .Add(item(AB_PASTE_ITEM, "&Einfügen", "Strg-V", "Inhalt der Zwischenablage einfügen"))
                    .Add(item(AB_NEW_ITEM, "&Neuer Eintrag", "Einfg", "", "new.ico"))
                    .Add(item(AB_DELETE_ITEM, "&Entfernen", "Entf", "Objekt entfernen", "delete.ico"))
                    .Add(item(AB_SWAP_ITEM, "Ver&schieben", "Strg+M", "Verschiebemodus für Tabellenzellen", "swap.ico")));
        bar.Add(Ctl::Menu("Arbeits&zeitblatt").Id(17)
                    .Add(item(AB_PRINT_ITEM, "&Drucken", "Alt+P", "Arbeitszeitplan drucken"))
                    .Add(item(AB_SCHICHTTYPEN_ITEM, "&Schichttypen", "Alt+S", "Liste der Schichttypen bearbeiten", "mini_schichten.ico"))
                    .Add(item(AB_BELASTUNG_ITEM, "B&elastung", "Alt+E", "Belastungseinschätzung nach dem EBA Verfahren vornehmen", "mini_belastung.ico"))
                    .Add(item(AB_OEKO_ITEM, "&Ökonomie", "Alt+Ö", "Ökonomie-Einstellungen (Kosten) bearbeiten", "mini_oeko.ico"))
                    .Add(item(AB_NOTIZEN_ITEM, "&Notizen", "Alt+N", "Notizen zum Arbeitszeitblatt", "mini_notiz.ico"))
                    .Add(item(AB_DEFPOOL_ITEM, "&Definitionspool", "Alt+D", "Definitionspool für dieses Arbeitszeitblatt", "mini_defpool.ico"))
                    .Add(item(AB_BEZUGSRAHMEN_ITEM, "&Bezugsrahmen", "Strg+L", "Bezugsrahmen (Anzahl Wochen) verändern", "bezugsrahmen.ico"))
                    .Add(item(AB_GRUPPEN_ITEM, "&Schichtgruppen", "Strg+G", "Anzahl Schichtgruppen des AZP verändern", "schichtgruppen.ico")));
        bar.Add(Ctl::Menu("&Arbeitskräftebedarf").Id(26)
                    .Add(item(AB_AKB_ERRECHNEN, "&errechnen", "", "Arbeitskräftebedarf aus Schichtbedarf errechnen")));
        bar.Add(Ctl::Menu("&Schichtbedarf").Id(28)
                    .Add(item(AB_SBP_ERRECHNEN, "&Errechnen", "", "Schichtbedarf aus Arbeitszeitplan errechnen"))
                    .Add(item(AB_SBP_GENERIEREN, "&Generieren", "", "Schichtbedarf aus Arbeitskräftebedarf generieren")));
        bar.Add(Ctl::Menu("&Arbeitszeitplan").Id(31)
                    .Add(item(AB_AZP_SCHUETZEN, "&Schützen", "", "Arbeitszeitplan vor konsistenzverletzenden Veränderungen schützen").Disabled())
                    .Add(item(AB_AZP_GENERIEREN, "&Generieren", "", "Arbeitszeitplan aus Schichtbedarfsplan generieren"))
                    .Add(item(AB_AZP_OPTIMIEREN, "&Optimieren"))
                    .Add(item(AB_AZP_GUETEWERT, "Gütewert &berechnen"))
                    .Add(item(AB_GESAMTBEWERTUNG_ITEM, "&Gesamtbewertung anzeigen", "", "", "mini_info.ico")));
        ControlDesc zoom = Ctl::Menu("&Zoom").Id(42);
        const char* zoomText[5] = {"50 %", "75 %", "100 %", "125%", "150%"};
        for (int i = 0; i < 5; ++i)
            zoom.Add(Ctl::RadioItem(zoomText[i]).Id(AB_ZOOM_50 + i).Checked(i == 2));
        bar.Add(Ctl::Menu("&Ansicht").Id(37)
                    .Add(Ctl::CheckItem("Bewertungs-&Inspektor").Id(AB_BEWERTUNG_INSP_ITEM).Msg("Bewertungs-Inspektor an/ausschalten").Icon("BewertungsInsp.ico"))
                    .Add(Ctl::CheckItem("Tabellen-&Inspektor").Id(AB_TABELLEN_INSP_ITEM).Msg("Tabellen-Inspektor an/ausschalten").Icon("TabellenInsp.ico"))
                    .Add(Ctl::CheckItem("Ökonomie-&Inspektor").Id(AB_OEKO_INSP_ITEM).Msg("Ökonomie-Inspektor an/ausschalten").Icon("OekoInsp.ico"))
                    .Add(Ctl::CheckItem("SBP+AZP zusammen scrollen").Id(AB_SYNC_ITEM).Msg("Tabellen gleichzeitig nach links/rechts scrollen").Checked())
                    .Add(zoom)
                    .Add(Ctl::Menu("&Darstellung").Id(48)
                             .Add(Ctl::RadioItem("&normal").Id(AB_NORMAL).Checked())
                             .Add(Ctl::RadioItem("&kompakt").Id(AB_KOMPAKT))));
        return bar;
    }

    static ControlDesc Toolbar()
    {
        auto button = [](int id, const char* icon, const char* tip, int x) {
            return Ctl::Button("").Id(id).Icon(icon).Tip(tip).At(x, 2, 14, 12);
        };
        ControlDesc bar = Ctl::Toolbar().Id(100).At(0, 0, 520, kToolbarHeight);
        int x = 2;
        auto next = [&x](int gap = 0) { x += 16 + gap; return x - 16 - gap; };
        bar.Add(button(AB_PRINT_BUTTON, "drucken.ico", "Arbeitszeitplan drucken [Alt+P]", next(4)));
        bar.Add(button(AB_SCHICHTTYPEN_BUTTON, "mini_schichten.ico", "Schichttypen bearbeiten [Alt+S]", next()));
        bar.Add(button(AB_BELASTUNG_BUTTON, "mini_belastung.ico", "Belastungseinschätzung nach EBA vornehmen [Alt+E]", next()));
        bar.Add(button(AB_OEKO_BUTTON, "mini_oeko.ico", "Ökonomie-Einstellungen (Kosten) bearbeiten [Alt+Ö]", next()));
        bar.Add(button(AB_NOTIZEN_BUTTON, "mini_notiz.ico", "Notizen bearbeiten [Alt+N]", next()));
        bar.Add(button(AB_DEFPOOL_BUTTON, "mini_defpool.ico", "Definitionspool öffnen [Alt+D]", next(4)));
        bar.Add(button(AB_BEZUGSRAHMEN_BUTTON, "bezugsrahmen.ico", "Bezugsrahmen (Anzahl Wochen) des Arbeitszeitblattes verändern  [Strg+L]", next()));
        bar.Add(button(AB_GRUPPEN_BUTTON, "schichtgruppen.ico", "Anzahl Schichtgruppen des Arbeitszeitplanes (AZP) verändern  [Strg+G]", next(4)));
        bar.Add(button(AB_CUT, "ausschneiden.ico", "Auswahl ausschneiden [Strg-X]", next()));
        bar.Add(button(AB_COPY, "kopieren.ico", "Auswahl in die Zwischenablage kopieren [Strg+C]", next()));
        bar.Add(button(AB_PASTE, "einfuegen.ico", "Inhalt der Zwischenablage einfügen [Strg+V]", next()));
        bar.Add(button(AB_UNDO, "undo.ico", "letzten Bearbeitungsschritt rückgängig machen [Strg+Z]", next()));
        bar.Add(button(AB_REDO, "redo.ico", "zuletzt rückgängig gemachten Bearbeitungsschritt wiederholen [Strg+Y]", next()));
        bar.Add(button(AB_INSERT, "new.ico", "neuen Arbeitskräftebedarf eintragen [Einfg]", next()));
        bar.Add(button(AB_DELETE, "delete.ico", "Tabellenzelle löschen [Entf]", next(4)));
        bar.Add(button(AB_SWAP, "swap.ico", "Verschiebemodus für Tabellenzellen an/aus [Strg+M]", next()));
        bar.Add(button(AB_GENERATE, "generieren.ico", "Plan generieren [Alt+G]", next(4)).KeyText("Alt+G"));
        bar.Add(button(AB_INSPEKTOR_BUTTON, "BewertungsInsp.ico", "zwischen Inspektoren umschalten", next()));
        bar.Add(button(AB_GESAMTBEWERTUNG_BUTTON, "mini_info.ico", "Gesamtbewertung AZP anzeigen", next()));
        return bar;
    }

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

    // Menu items follow their toolbar twins after every event: an editor enables its buttons as
    // its selection moves, without a refresh of the window.
    void FollowTwins()
    {
        const std::pair<int, int> twins[] = {{AB_UNDO_ITEM, AB_UNDO}, {AB_REDO_ITEM, AB_REDO}, {AB_CUT_ITEM, AB_CUT},
                                             {AB_COPY_ITEM, AB_COPY}, {AB_PASTE_ITEM, AB_PASTE},
                                             {AB_NEW_ITEM, AB_INSERT}, {AB_DELETE_ITEM, AB_DELETE},
                                             {AB_SWAP_ITEM, AB_SWAP}};
        for (auto [item, button] : twins)
            ControlSetEnabled(item, !PropertyGet(button, Prop::Disable).Bool());
    }

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
