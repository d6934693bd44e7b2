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

namespace {
constexpr int kToolbarHeight = 16;
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
        d.Add(Menus());
        d.Add(Toolbar());
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
                    .Add(Ctl::Menu("&Exportieren").Id(2).Add(item(FX_EXPORT, "&Flex. Arbeitszeiten", "", "Flex-Arbeitszeiten als CSV-Datei exportieren")))
                    .Add(Ctl::Menu("&Importieren").Id(4).Add(item(FX_IMPORT, "&Flex. Arbeitszeiten", "", "Flex-Arbeitszeiten aus einer CSV-Datei importieren"))));
        bar.Add(Ctl::Menu("&Bearbeiten").Id(6)
                    .Add(item(FX_UNDO_ITEM, "&Rückgängig", "Strg+Z", "Bearbeitungsschritt rückgängig machen", "undo.ico"))
                    .Add(item(FX_REDO_ITEM, "&Wiederholen", "Strg+Y", "Bearbeitungsschritt wiederholen", "redo.ico"))
                    .Add(item(FX_CUT_ITEM, "&Ausschneiden", "Strg-X", "Objekt in die Zwischenablage verschieben"))
                    .Add(item(FX_COPY_ITEM, "&Kopieren", "Strg-C", "Objekt in die Zwischenablage kopieren"))
                    .Add(item(FX_PASTE_ITEM, "&Einfügen", "Strg-V", "Inhalt der Zwischenablage einfügen"))
                    .Add(item(FX_NEW_ITEM, "&Neuer Eintrag", "Einfg", "neuen Arbeitszeiteintrag anlegen", "new.ico"))
                    .Add(item(FX_CHANGE_ITEM, "&Ändern", "Enter", "gewählten Arbeitszeiteintrag ändern", "edit.ico"))
                    .Add(item(FX_DELETE_ITEM, "&Entfernen", "Entf", "Objekt entfernen", "delete.ico"))
                    .Add(item(FX_SWAP_ITEM, "Ver&schieben", "Strg+M", "", "swap.ico").Disabled()));
        bar.Add(Ctl::Menu("Arbeits&zeitblatt").Id(16)
                    .Add(item(FX_PRINT_ITEM, "&Drucken", "Alt+P", "Arbeitszeitplan drucken"))
                    .Add(item(FX_SCHICHTTYPEN_ITEM, "&Schichttypen", "Alt+S", "", "mini_schichten.ico").Disabled())
                    .Add(item(FX_BELASTUNG_ITEM, "B&elastung", "Alt+E", "Belastungseinschätzung nach dem EBA Verfahren vornehmen", "mini_belastung.ico"))
                    .Add(item(FX_OEKO_ITEM, "&Ökonomie", "Alt+Ö", "Ökonomie-Einstellungen (Kosten) bearbeiten", "mini_oeko.ico"))
                    .Add(item(FX_NOTIZEN_ITEM, "&Notizen", "Alt+N", "Notizen zum Arbeitszeitblatt", "mini_notiz.ico"))
                    .Add(item(FX_DEFPOOL_ITEM, "&Definitionspool", "Alt+D", "Definitionspool für dieses Arbeitszeitblatt", "mini_defpool.ico"))
                    .Add(item(FX_BEZUGSRAHMEN_ITEM, "&Bezugsrahmen", "", "", "bezugsrahmen.ico").Disabled())
                    .Add(item(FX_ZEITRAUM_ITEM, "&Darstellungszeitraum", "", "Darstellungszeitraum des Flex-Arbeitszeitplanes verändern", "mini_kalender.ico")));
        bar.Add(Ctl::Menu("&Arbeitszeitplan").Id(25)
                    .Add(item(FX_GUETEWERT_ITEM, "Gütewert &berechnen"))
                    .Add(item(FX_GESAMTBEWERTUNG_ITEM, "&Gesamtbewertung anzeigen", "", "Gesamtbewertung des Arbeitszeitplans anzeigen")));
        ControlDesc zoom = Ctl::Menu("&Zoom").Id(32);
        const char* zoomText[5] = {"50 %", "75 %", "100 %", "125%", "150%"};
        for (int i = 0; i < 5; ++i)
            zoom.Add(Ctl::RadioItem(zoomText[i]).Id(FX_ZOOM_50 + i).Checked(i == 2));
        bar.Add(Ctl::Menu("&Ansicht").Id(28)
                    .Add(Ctl::CheckItem("Bewertungs-&Inspektor").Id(FX_BEWERTUNGSINSP_ITEM))
                    .Add(Ctl::CheckItem("Tabellen-&Inspektor").Id(FX_TABELLENINSP_ITEM).Disabled())
                    .Add(Ctl::CheckItem("Ökonomie-&Inspektor").Id(FX_OEKOINSP_ITEM))
                    .Add(zoom)
                    .Add(Ctl::Menu("&Darstellung").Id(38)
                             .Add(Ctl::RadioItem("&normal").Id(FX_NORMAL).Checked())
                             .Add(Ctl::RadioItem("&kompakt").Id(FX_KOMPAKT))));
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
        bar.Add(button(FX_PRINT_BUTTON, "drucken.ico", "Arbeitszeitplan drucken [Alt+P]", next(4)));
        bar.Add(button(FX_BELASTUNG_BUTTON, "mini_belastung.ico", "Belastungseinschätzung [Alt+E]", next()));
        bar.Add(button(FX_OEKO_BUTTON, "mini_oeko.ico", "Ökonomie-Einstellungen [Alt+Ö]", next()));
        bar.Add(button(FX_NOTIZEN_BUTTON, "mini_notiz.ico", "Notizen [Alt+N]", next()));
        bar.Add(button(FX_DEFPOOL_BUTTON, "mini_defpool.ico", "Definitionspool [Alt+D]", next()));
        bar.Add(button(FX_ZEITRAUM_BUTTON, "mini_kalender.ico", "Darstellungszeitraum des Flex-Arbeitszeitplanes verändern", next(4)));
        bar.Add(button(FX_CUT, "ausschneiden.ico", "Auswahl ausschneiden [Strg-X]", next()));
        bar.Add(button(FX_COPY, "kopieren.ico", "Auswahl in die Zwischenablage kopieren [Strg+C]", next()));
        bar.Add(button(FX_PASTE, "einfuegen.ico", "Inhalt der Zwischenablage einfügen [Strg+V]", next()));
        bar.Add(button(FX_UNDO, "undo.ico", "letzten Bearbeitungsschritt rückgängig machen [Strg+Z]", next()));
        bar.Add(button(FX_REDO, "redo.ico", "zuletzt rückgängig gemachten Bearbeitungsschritt wiederholen [Strg+Y]", next()));
        bar.Add(button(FX_INSERT, "new.ico", "neuen Arbeitszeiteintrag anlegen [Einfg]", next()));
        bar.Add(button(FX_CHANGE, "edit.ico", "gewählten Arbeitszeiteintrag ändern [Enter]", next()));
        bar.Add(button(FX_DELETE, "delete.ico", "Arbeitszeiteintrag löschen [Entf]", next(4)));
        bar.Add(button(FX_INSPEKTOR_BUTTON, "bewertungsinsp.ico", "zwischen Inspektoren umschalten", next()));
        bar.Add(button(FX_GESAMTBEWERTUNG_BUTTON, "mini_bewertung.ico", "Gesamtbewertung anzeigen", next()));
        return bar;
    }

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

    // The Bearbeiten items follow their toolbar twins.
    void FollowTwins()
    {
        const std::pair<int, int> twins[] = {{FX_UNDO_ITEM, FX_UNDO},   {FX_REDO_ITEM, FX_REDO},
                                             {FX_CUT_ITEM, FX_CUT},     {FX_COPY_ITEM, FX_COPY},
                                             {FX_PASTE_ITEM, FX_PASTE}, {FX_NEW_ITEM, FX_INSERT},
                                             {FX_CHANGE_ITEM, FX_CHANGE}, {FX_DELETE_ITEM, FX_DELETE}};
        for (auto [item, button] : twins)
            ControlSetEnabled(item, !PropertyGet(button, Prop::Disable).Bool());
    }

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
