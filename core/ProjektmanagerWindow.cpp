#include "core/ProjektmanagerWindow.h"

#include "core/Projektmanager.h"
#include "core/ShellAndEvents.h"
#include "platform/fw/FwWindow.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"

namespace {
enum ManagerControl {
    PM_MENUBAR = 1, PM_MENU, PM_OEFFNEN, PM_UMBENENNEN, PM_NEU, PM_ENTFERNEN, PM_DUPLIZIEREN,
    PM_TOOLBAR, PM_PANEL1, PM_BUTTON_NEU, PM_BUTTON_ENTFERNEN, PM_BUTTON_DUPLIZIEREN, PM_PANEL2,
    PM_BUTTON_GRUPPIEREN, PM_LIST,
};

class ProjektmanagerWindow : public FwWindow {
public:
    ProjektmanagerWindow() : FwWindow("Projektmanager") {}

    int Setup() override
    {
        int level = FwWindow::Setup();
        WindowDesc d;
        d.name = "Projektmanager";
        d.title = "Projektmanager";
        d.kind = WindowKind::MdiChild;
        d.icon = "varn4.ico";
        d.fontName = "Tahoma";
        d.resizable = true;
        d.w = 200;
        d.h = 240;
        d.Add(Ctl::Menubar().Id(PM_MENUBAR).Add(
            Ctl::Menu("&Bearbeiten").Id(PM_MENU)
                .Add(Ctl::Item("&öffnen").Id(PM_OEFFNEN).KeyText("Enter").Msg("Arbeitszeitblatt zur Bearbeitung öffnen"))
                .Add(Ctl::Item("&umbenennen").Id(PM_UMBENENNEN).KeyText("F2").Msg("Arbeitszeitblatt umbenennen"))
                .Add(Ctl::Item("&neues Arbeitszeitblatt").Id(PM_NEU).KeyText("Einfg").Icon("mini_tabelle_neu.ico"))
                .Add(Ctl::Item("&Entfernen").Id(PM_ENTFERNEN).KeyText("Entf").Msg("Arbeitszeitblatt entfernen")
                         .Icon("mini_tabelle_delete.ico"))
                .Add(Ctl::Item("&Duplizieren").Id(PM_DUPLIZIEREN).KeyText("Strg-D").Msg("Arbeitszeitblatt duplizieren")
                         .Icon("mini_tabelle_copy.ico"))));
        d.Add(Ctl::Toolbar().Id(PM_TOOLBAR).At(0, 0, 200, 16)
                  .Add(Ctl::Panel().Id(PM_PANEL1).At(2, 1, 52, 14)
                           .Add(Ctl::Button("").Id(PM_BUTTON_NEU).Name("?Neu").Icon("mini_tabelle_neu.ico")
                                    .Tip("neues Arbeitszeitblatt erstellen").At(4, 2, 14, 12))
                           .Add(Ctl::Button("").Id(PM_BUTTON_ENTFERNEN).Name("?Entfernen").Icon("mini_tabelle_delete.ico")
                                    .Tip("Arbeitszeitblatt entfernen").At(20, 2, 14, 12))
                           .Add(Ctl::Button("").Id(PM_BUTTON_DUPLIZIEREN).Name("?Duplizieren").Icon("mini_tabelle_copy.ico")
                                    .Tip("Arbeitszeitblatt duplizieren").At(36, 2, 14, 12)))
                  .Add(Ctl::Panel().Id(PM_PANEL2).At(56, 1, 20, 14)
                           .Add(Ctl::Button("").Id(PM_BUTTON_GRUPPIEREN).Name("?Gruppieren").Icon("mini_tabelle_group.ico")
                                    .Tip("Arbeitszeitblätter gruppieren").At(58, 2, 14, 12))));
        d.Add(Ctl::List("181L(1)|MIT(1)S(200)@s100@").Id(PM_LIST).Name("?Baum").Lines(11).At(0, 18, 200, 222));
        CreateWindow(d);
        OpenWindow();
        GlobalProjektmanager.InitTree(PM_LIST);
        return level;
    }

    void AfterOpen() override
    {
        // The start handshake: whoever waits for the window goes on.
        GlobalProjektmanager.Init(this, Win());
        Refresh();
    }

    int OnEvent() override
    {
        int event = EventCurrent();
        // While a plan is optimised the window takes nothing, except the program's end: refused,
        // it would end the close-down for good, and the search would go on unasked. Handled, it
        // closes the project as during any other run: the worksheet's search is cancelled.
        if (OptimizationRunning && event != EVENT_CLOSE_DOWN)
            return LEVEL_NOTIFY;
        if (event == EventRefresh) {
            GlobalProjektmanager.OnEvent(EventRefresh);
            Refresh();
            return LEVEL_BENIGN;
        }
        if (event == EVENT_CLOSE_WINDOW || event == EVENT_CLOSE_DOWN) {
            if (GlobalProjektmanager.CloseRequest() != 0)
                return LEVEL_NOTIFY;
            return FwWindow::OnEvent();
        }
        if (IsPassiveEventCode(event))
            Refresh();
        if (!IsWindowEvent(event) && EventControl() == PM_LIST) {
            if (GlobalProjektmanager.OnEvent(event) != 0) {
                Refresh();
                return LEVEL_NOTIFY;
            }
            if (event == EVENT_NEW_SELECTION || event == EVENT_ALERT_KEY || event == EVENT_EXPANDED ||
                event == EVENT_CONTRACTED)
                Refresh();
        }
        return FwWindow::OnEvent();
    }

    int OnAccepted() override
    {
        switch (EventAccepted()) {
        case PM_OEFFNEN: {
            // As if Enter was pressed on the list: the tree opens the selected node.
            ControlSelect(PM_LIST);
            Event e;
            e.code = EVENT_ALERT_KEY;
            e.control = PM_LIST;
            e.window = Win();
            e.keyCode = Key::ENTER;
            EventPost(e);
            return LEVEL_BENIGN;
        }
        case PM_UMBENENNEN: Request(TREE_RENAME); break;
        case PM_NEU:
        case PM_BUTTON_NEU: Request(TREE_NEW); break;
        case PM_ENTFERNEN:
        case PM_BUTTON_ENTFERNEN: Request(TREE_DELETE); break;
        case PM_DUPLIZIEREN:
        case PM_BUTTON_DUPLIZIEREN: Request(TREE_DUPLICATE); break;
        default: break;
        }
        return FwWindow::OnAccepted();
    }

    void Refresh(bool force = false) override
    {
        if (DeferRefresh(force))
            return;
        SetEnabled({PM_NEU, PM_BUTTON_NEU}, GlobalProjektmanager.AcceptsRequest(TREE_NEW));
        SetEnabled({PM_ENTFERNEN, PM_BUTTON_ENTFERNEN}, GlobalProjektmanager.AcceptsRequest(TREE_DELETE));
        SetEnabled({PM_DUPLIZIEREN, PM_BUTTON_DUPLIZIEREN}, GlobalProjektmanager.AcceptsRequest(TREE_DUPLICATE));
        FwWindow::Refresh(force);
    }

    int Teardown() override
    {
        int level = FwWindow::Teardown();
        GlobalProjektmanager.Reset();
        return level;
    }

private:
    void Request(int request)
    {
        ControlSelect(PM_LIST);
        GlobalProjektmanager.TakeRequest(request);
        Refresh();
    }

    static void SetEnabled(std::initializer_list<int> controls, bool on)
    {
        for (int c : controls) {
            if (on)
                ControlEnable(c);
            else
                ControlDisable(c);
        }
    }
};
} // namespace

void Projektmanager(const std::string&)
{
    ProjektmanagerWindow w;
    w.RunWindow();
}
