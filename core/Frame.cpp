#include "core/Frame.h"

#include "core/Files.h"
#include "core/Projektmanager.h"
#include "core/ShellAndEvents.h"
#include "core/Splash.h"
#include "core/Startup.h"
#include "core/Utilities.h"
#include "platform/fw/FwWindow.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/MessageShow.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"

#include <filesystem>
#include <utility>

uint8_t ClosingDown = 0;
uint8_t PendingRequest = 0;
uint8_t LastResponse = 0;

namespace {

FrameWindows& Windows()
{
    static FrameWindows windows;
    return windows;
}

void Notice(const std::string& text, const std::string& caption)
{
    MessageRequest m;
    m.text = text;
    m.caption = caption;
    m.icon = MessageIcon::Exclamation;
    m.buttonBits = BUTTON_OK;
    MessageShow(m);
}

ControlDesc Item(int id, const char* name, const char* text, const char* msg = "")
{
    ControlDesc c = Ctl::Item(text).Id(id).Name(name);
    if (*msg)
        c.Msg(msg);
    return c;
}

WindowDesc FrameDescription()
{
    WindowDesc d;
    d.name = "Main";
    d.title = "Varn 4";
    d.kind = WindowKind::MdiFrame;
    d.icon = "varn4.ico";
    d.fontName = "Tahoma";
    d.wallpaper = "wallpaper.bmp";
    d.w = 640;
    d.h = 440;
    d.resizable = true;
    d.statusZones = 1;
    d.alertKeys = {kFrameProjectKey, kFrameVorgabenKey};

    ControlDesc datei = Ctl::Menu("&Datei").Id(FRAME_FILEMENU).Name("?FILEMENU");
    datei.Add(Item(FRAME_DATEINEUAZP, "?DATEINEUAZP", "Neu (AZP)"))
        .Add(Item(FRAME_DATEINEUFLEX, "?DATEINEUFLEX", "Neu (Flex)"))
        .Add(Item(FRAME_FILENEW, "?FILENEW", "&Neu", "neues Planungsprojekt anlegen").KeyText("Strg-N").Icon("neu.ico"))
        .Add(Item(FRAME_FILEOPEN, "?FILEOPEN", "&Öffnen...", "Planungsprojekt öffnen").KeyText("Strg-O"))
        .Add(Item(FRAME_FILESAVE, "?FILESAVE", "&Speichern", "Änderungen an diesem Planungsprojekt speichern")
                 .KeyText("Strg-S"))
        .Add(Item(FRAME_FILESAVEAS, "?FILESAVEAS", "Speichern &unter...",
                  "dieses Planungsprojekt unter einem anderen Dateinamen speichern"))
        .Add(Item(FRAME_FILECLOSE, "?FILECLOSE", "Schließen", "dieses Planungsprojekt schließen"))
        .Add(Ctl::Separator().Id(FRAME_SEPARATOR1))
        .Add(Item(FRAME_DATEIEBA, "?DATEIEBA", "&Belastungseinschätzung bearbeiten").Icon("mini_belastung.ico"))
        .Add(Item(FRAME_DATEIECO, "?DATEIECO", "&Kosteneinstellungen bearbeiten").Icon("mini_oeko.ico"))
        .Add(Item(FRAME_VORGABEN, "?VORGABEN", "&Vorgaben bearbeiten...",
                  "Vorgabewerte, Grenzwerte und Warntexte der Rahmenbedingungen und Kriterien bearbeiten")
                 .KeyText("Strg-Umschalt-F12").Icon("mini_defpool.ico"))
        .Add(Ctl::Separator().Id(FRAME_SEPARATOR2))
        .Add(Item(FRAME_PRINTSETUP, "?PRINTSETUP", "&Drucker einrichten...", "Drucker einrichten")
                 .Std(StdAction::PrintSetup))
        .Add(Ctl::Separator().Id(FRAME_SEPARATOR3))
        .Add(Item(FRAME_EXIT, "?EXIT", "Be&enden", "Varn 4 beenden").Std(StdAction::Exit));

    ControlDesc fenster = Ctl::Menu("&Fenster").Id(FRAME_FENSTER).Name("?FENSTER").Msg("Fenster anordnen");
    fenster.Add(Item(FRAME_TILE, "?TILE", "&nebeneinander", "alle offenen Fenster nebeneinander darstellen")
                    .Std(StdAction::Tile))
        .Add(Item(FRAME_CASCADE, "?CASCADE", "&überlappen", "alle offenen Fenster überlappend darstellen")
                 .Std(StdAction::Cascade))
        .Add(Item(FRAME_ARRANGE, "?ARRANGE", "&Symbole anordnen", "die Symbole der minimierten Fenster anordnen")
                 .Std(StdAction::Arrange));

    ControlDesc hilfe = Ctl::Menu("&Hilfe").Id(FRAME_HILFE).Name("?HILFE");
    hilfe.Add(Item(FRAME_LERNUNTERLAGE, "?LERNUNTERLAGE", "&Lernunterlage", "Lernunterlage in eigenem Fenster öffnen"))
        .Add(Item(FRAME_SUPPORT, "?SUPPORT", "&Support", "Ansprechpartner bei Problemen mit Varn-4"))
        .Add(Item(FRAME_HILFEINFO, "?HILFEINFO", "&Info", "Info zu Varn-4"))
        .Add(Item(FRAME_HELPONHELP, "?HELPONHELP", "&Hilfe zur Hilfe", "Informationen zur Hilfefunktion")
                 .Std(StdAction::HelpOnHelp));

    d.Add(Ctl::Menubar().Id(FRAME_MENUBAR).Add(std::move(datei)).Add(std::move(fenster)).Add(std::move(hilfe)));

    const std::string replace = "aktuelles Planungsprojekt schließen und ein ";
    ControlDesc tools = Ctl::Toolbar().Id(FRAME_TOOLBAR);
    tools.Add(Ctl::Button("").Id(FRAME_NEW).Name("?NEW").Icon("neu.ico").Tip("neues Planungsprojekt")
                  .Msg(replace + "neues Planungsprojekt anlegen  [Strg-N]"))
        .Add(Ctl::Button("").Id(FRAME_OPEN).Name("?OPEN").Icon("oeffnen.ico").Tip("Planungsprojekt öffnen")
                 .Msg(replace + "anderes Planungsprojekt öffnen  [Strg-O]"))
        .Add(Ctl::Button("").Id(FRAME_SAVE).Name("?SAVE").Icon("speichern.ico").Tip("Änderungen speichern")
                 .Msg("Änderungen an diesem Planungsprojekt speichern  [Strg-S]"))
        .Add(Ctl::Button("").Id(FRAME_PROJECT).Name("?PROJECT").Icon("Projekt.ico").Tip("Projektmanager anzeigen")
                 .Msg("Projektmanager in den Vordergrund holen [Strg-P]"));
    d.Add(std::move(tools));
    return d;
}

class FrameWindow : public FwWindow {
public:
    FrameWindow() : FwWindow("Main") {}

    int Setup() override
    {
        int level = FwWindow::Setup();
        CreateWindow(FrameDescription());
        PendingRequest = 0;
        LastResponse = 0;
        OpenWindow();
        SystemPropertySet(Prop::LazyDisplay, 1);
        // A child that keeps its window ends the close-down: the frame forgets it, so that a later
        // close of a worksheet window does not end the program.
        SetCloseDownRefusedHook([](int) { ClosingDown = 0; });
        return level;
    }

    void AfterOpen() override
    {
        Refresh();
        int chosen = Splash(FRAME_OPEN, FRAME_DATEINEUAZP, FRAME_DATEINEUFLEX, FRAME_DATEIEBA, FRAME_DATEIECO);
        if (chosen != 0)
            PostAccepted(chosen);
    }

    int OnWindowEvent() override
    {
        const Event& e = EventCurrentRecord();
        switch (e.code) {
        case EventRefresh:
            Refresh();
            return LEVEL_BENIGN;
        case EVENT_CLOSE_WINDOW:
        case EVENT_CLOSE_DOWN:
            // Closing the frame is the close-down: the window layer asks the children in turn.
            if (e.window == 0 || e.window == win_)
                ClosingDown = 1;
            break;
        default:
            break;
        }
        return FwWindow::OnWindowEvent();
    }

    int OnAccepted() override
    {
        const int control = EventAccepted();
        switch (control) {
        case FRAME_FILENEW:
            PostAccepted(FRAME_NEW);
            break;
        case FRAME_FILEOPEN:
            PostAccepted(FRAME_OPEN);
            break;
        case FRAME_FILESAVE:
            PostAccepted(FRAME_SAVE);
            break;
        case FRAME_NEW:
        case FRAME_OPEN:
        case FRAME_DATEINEUAZP:
        case FRAME_DATEINEUFLEX:
            ProjectCommand(control);
            break;
        case FRAME_SAVE:
            if (GlobalProjektmanager.HasProject())
                GlobalProjektmanager.Save();
            Refresh();
            break;
        case FRAME_FILESAVEAS:
            if (GlobalProjektmanager.HasProject())
                GlobalProjektmanager.SaveAs();
            Refresh();
            break;
        case FRAME_FILECLOSE:
            CloseProject();
            break;
        case FRAME_PROJECT:
            if (GlobalProjektmanager.HasProject())
                GlobalProjektmanager.Execute(true);
            break;
        case FRAME_DATEIEBA:
            EditBelastungsdatei();
            break;
        case FRAME_DATEIECO:
            EditKostendatei();
            break;
        case FRAME_VORGABEN:
            StartVorgaben();
            break;
        case FRAME_LERNUNTERLAGE:
            OpenLernunterlage();
            break;
        case FRAME_SUPPORT:
            MailToSupport();
            break;
        case FRAME_HILFEINFO:
            ShowInfo();
            break;
        default:
            break;
        }
        return LEVEL_BENIGN;
    }

    int OnAlertKey() override
    {
        if (EventKeyCode() == kFrameProjectKey) {
            if (GlobalProjektmanager.HasProject())
                PostAccepted(FRAME_PROJECT);
            return LEVEL_BENIGN;
        }
        StartVorgaben();
        return LEVEL_BENIGN;
    }

    void Refresh(bool force = false) override
    {
        if (DeferRefresh(force))
            return;
        const bool project = GlobalProjektmanager.HasProject();
        for (int c : {FRAME_SAVE, FRAME_FILESAVE, FRAME_FILESAVEAS, FRAME_FILECLOSE, FRAME_PROJECT})
            PropertySet(win_, c, Prop::Disable, project ? 0 : 1, 0);
        PropertySet(win_, FRAME_DATEIEBA, Prop::Disable, Windows().editBelastungsdatei ? 0 : 1, 0);
        PropertySet(win_, FRAME_DATEIECO, Prop::Disable, Windows().updateKosten ? 0 : 1, 0);
        PropertySet(win_, FRAME_VORGABEN, Prop::Disable, Windows().updateVorgaben ? 0 : 1, 0);
        // A close-down that stalled is taken up again; one that runs needs no second start.
        const WindowModel* model = WindowFind(win_);
        if (ClosingDown && model && !model->closingDown) {
            Event e;
            e.code = EVENT_CLOSE_DOWN;
            e.window = win_;
            EventPost(e, 0);
        }
        FwWindow::Refresh(force);
    }

    int Teardown() override
    {
        SetCloseDownRefusedHook(nullptr);
        return FwWindow::Teardown();
    }

private:
    // The defaults window runs on a thread of its own.
    static void StartVorgaben()
    {
        if (const auto& start = Windows().updateVorgaben)
            ThreadStart(start, "", kVorgabenStack, "UpdateVorgaben");
    }

    void PostAccepted(int control)
    {
        Event e;
        e.code = EVENT_ACCEPTED;
        e.control = control;
        e.window = win_;
        EventPost(e, 0);
    }

    // New, open and the two new-with-worksheet commands: an open project manager is asked to close
    // first (which asks to save); once it has gone the same command runs again by itself.
    void ProjectCommand(int control)
    {
        CProjektmanager& pm = GlobalProjektmanager;
        if (pm.IsActive()) {
            if (pm.CloseRequest() != 0)
                return;
            pm.Wait(EventVisualClosed);
            if (!pm.IsActive())
                PostAccepted(control);
            return;
        }
        switch (control) {
        case FRAME_NEW:
            pm.New(true, 0);
            break;
        case FRAME_DATEINEUAZP:
            pm.New(false, ARBEITSBLATT_AZ);
            break;
        case FRAME_DATEINEUFLEX:
            pm.New(false, ARBEITSBLATT_FLEX);
            break;
        case FRAME_OPEN:
            pm.Open();
            break;
        default:
            break;
        }
        Refresh();
    }

    void CloseProject()
    {
        CProjektmanager& pm = GlobalProjektmanager;
        if (pm.IsActive() && pm.CloseRequest() == 0)
            pm.Wait(EventVisualClosed);
        Refresh();
    }

    // A temporary file that a worksheet's dialog has open must keep its name until that dialog
    // has closed, or the dialog's record would be read from and written into the user's file.
    static bool TemporaryFileBusy(FwFileManager* access, const std::string& what)
    {
        if (!access)
            return true;
        if (!access->IsOpen())
            return false;
        Notice(what + " wird gerade in einem Arbeitsblatt bearbeitet.|Bitte schließen Sie zuerst diesen Dialog.",
               "Datei wird bearbeitet");
        return true;
    }

    void EditKostendatei()
    {
        const auto& update = Windows().updateKosten;
        if (!update)
            return;
        std::string file;
        if (!FileDialog("Ökonomie-Datei öffnen", file, "Varn 4 Ökonomie-Datei |*.eco", FILE_LONG_NAMES))
            return;
        FwFileManager* access = Access::TMPKOST;
        if (TemporaryFileBusy(access, "Eine Kosteneinstellung"))
            return;
        const std::string before = access->GetName();
        access->SetName(file);
        if (access->Open() == 0) {
            FileSet(TMPKOST);
            if (access->TryNext() == 0) {
                PendingRequest = 2;
                update();
            } else {
                Notice("Die Datei " + file + " enthält keine Kosteneinstellungen.", "Ökonomie-Datei öffnen");
            }
            access->Close();
        }
        access->SetName(before);
    }

    void EditBelastungsdatei()
    {
        const auto& edit = Windows().editBelastungsdatei;
        if (!edit)
            return;
        std::string file;
        if (!FileDialog("EBA-Datei öffnen", file, "Varn 4 EBA-Datei |*.eba", FILE_LONG_NAMES))
            return;
        FwFileManager* access = Access::TMPBEL;
        if (TemporaryFileBusy(access, "Eine Belastungseinschätzung"))
            return;
        const std::string before = access->GetName();
        access->SetName(file);
        // Held open while the editor runs: no worksheet's edit writes its list into the user's
        // file meanwhile, and every write of the editor is one transaction in it.
        if (access->Open() == 0) {
            edit();
            access->Close();
        }
        access->SetName(before);
    }

    void OpenLernunterlage()
    {
        const std::string file = JoinPath(ProgramDirectory, "lernunterlage.pdf");
        std::error_code ec;
        if (!std::filesystem::is_regular_file(file, ec)) {
            Notice("Die Datei der Lernunterlage wurde nicht gefunden:|" + file, "Lernunterlage");
            return;
        }
        // Without a program for it the opener fails unseen: the planner learns where the file is.
        const std::string why = OpenWithShell(file, "", ProgramDirectory, true, false, false);
        if (!why.empty())
            Notice("Die Lernunterlage liegt unter:|" + file + "||" + why, "Lernunterlage");
    }
};

} // namespace

void SetFrameWindows(FrameWindows windows) { Windows() = std::move(windows); }

const FrameWindows& GetFrameWindows() { return Windows(); }

void Main()
{
    ClosingDown = 0;
    FrameWindow frame;
    frame.RunWindow();
}
