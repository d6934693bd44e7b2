// The frame as the user meets it: the welcome window, the enabling of the project commands, a
// project command while the manager is open, a close-down that a window refuses, the commands that
// call the windows of later layers, the help menu's windows and the addresses handed to the shell.
#include "core/Frame.h"
#include "core/Splash.h"

#include "FrameTestSupport.h"

#include <fstream>

namespace {

const char* const kWelcome = "Willkommen bei Varn-4";

// ---- the welcome window and the enabling of the commands ------------------------------------------

struct Enabling {
    const char* control;
    bool withoutProject;
    bool withProject;
};
const Enabling kEnabling[] = {
    {"?NEW", true, true},           {"?OPEN", true, true},          {"?DATEINEUAZP", true, true},
    {"?DATEINEUFLEX", true, true},  {"?SAVE", false, true},         {"?FILESAVE", false, true},
    {"?FILESAVEAS", false, true},   {"?FILECLOSE", false, true},    {"?PROJECT", false, true},
    {"?DATEIEBA", false, false},    {"?DATEIECO", false, false},    // their windows come later
};

TEST_F(ProgramTest, WelcomeWindowThenTheProjectCommandsFollowTheProject)
{
    StartProgram();
    ASSERT_NE(frame, 0);
    EXPECT_EQ(driver.Title(frame), "Varn 4");
    int welcome = driver.Window(kWelcome);
    const char* const buttons[][2] = {
        {"?BUTTON1", "eine bestehende Varn-4 Datei öffnen"},
        {"?BUTTON1:2", "ein neues Arbeitszeitblatt anlegen"},
        {"?BUTTON1:6", "ein neues Flex-Arbeitszeitblatt anlegen"},
        {"?BUTTON1:3", "eine Belastungseinschätzung bearbeiten"},
        {"?BUTTON1:5", "ökonomische Kostenfaktoren bearbeiten"},
        {"?BUTTON1:4", "dieses Fenster schließen"},
    };
    for (const auto& [name, text] : buttons)
        EXPECT_EQ(driver.Text(welcome, driver.Control(welcome, name)), text) << name;
    // The two commands whose windows are not there yet are off in both places.
    EXPECT_TRUE(driver.Disabled(welcome, driver.Control(welcome, "?BUTTON1:3")));
    EXPECT_TRUE(driver.Disabled(welcome, driver.Control(welcome, "?BUTTON1:5")));
    EXPECT_FALSE(driver.Disabled(welcome, driver.Control(welcome, "?BUTTON1:2")));

    // "dieses Fenster schließen": an empty frame, no command.
    driver.Press(welcome, "?BUTTON1:4");
    EXPECT_EQ(driver.FindWindow(kWelcome), 0);
    EXPECT_EQ(driver.FindWindow("Projektmanager"), 0);
    EXPECT_FALSE(driver.HasFileDialog());
    for (const Enabling& e : kEnabling)
        EXPECT_EQ(driver.Disabled(frame, driver.Control(frame, e.control)), !e.withoutProject) << e.control;

    driver.ChooseMenu(frame, "&Datei|Neu (AZP)");
    ASSERT_NE(driver.FindWindow("Projektmanager"), 0);
    for (const Enabling& e : kEnabling)
        EXPECT_EQ(driver.Disabled(frame, driver.Control(frame, e.control)), !e.withProject) << e.control;

    // Closing the project turns them off again.
    driver.ChooseMenu(frame, "&Datei|Schließen");
    EXPECT_EQ(driver.FindWindow("Projektmanager"), 0);
    EXPECT_TRUE(driver.Disabled(frame, driver.Control(frame, "?SAVE")));
}

TEST_F(ProgramTest, WelcomeChoiceRunsTheFrameCommand)
{
    StartProgram();
    driver.Press(driver.Window(kWelcome), "?BUTTON1:6");
    EXPECT_EQ(driver.FindWindow(kWelcome), 0);
    ASSERT_NE(driver.FindWindow("Projektmanager"), 0);
    // The project, its information and the worksheet.
    ASSERT_EQ(ManagerRows(), 3);
    EXPECT_EQ(ManagerRow(3), "Flex-Arbeitszeitblatt");
}

// ---- a project command while the manager is open ---------------------------------------------------

struct ReplaceCase {
    int answer;                 // the button of "Änderungen speichern?"
    const char* lastRow;        // the last tree row afterwards
    int64_t rows;
};

TEST_F(ProgramTest, NewWithTheManagerOpenClosesItFirstAndThenCreatesTheProject)
{
    const ReplaceCase cases[] = {
        {BUTTON_NO, "Flex-Arbeitszeitblatt", 3},      // closed without saving, the new project is there
        {BUTTON_CANCEL, "Arbeitszeitblatt", 4},       // everything as it was
    };
    StartProgram();
    driver.Press(driver.Window(kWelcome), "?BUTTON1:2");
    for (const ReplaceCase& c : cases) {
        SCOPED_TRACE(c.answer);
        // The old project has a second worksheet and a change to be asked about.
        {
            Runtime::HostBaton b;
            if (GlobalProjektmanager.CountArbeitsblaetter() == 1)
                GlobalProjektmanager.NewArbeitsblatt(false, ARBEITSBLATT_AZ);
            GlobalProjektmanager.Projekt().FileManager().SetChanged();
        }
        ASSERT_EQ(ManagerRows(), 4);
        CProjektmanager::ForgetAskSave();
        driver.ChooseMenu(frame, "&Datei|Neu (Flex)");
        Answer("Änderungen speichern?", c.answer == BUTTON_NO ? "&Nein" : "&Abbrechen");
        // No second click: the command ran again by itself once the manager had gone.
        EXPECT_EQ(driver.FindWindow("Änderungen speichern?"), 0);
        ASSERT_NE(driver.FindWindow("Projektmanager"), 0);
        EXPECT_EQ(ManagerRows(), c.rows);
        EXPECT_EQ(ManagerRow(ManagerRows()), c.lastRow);
        if (c.answer == BUTTON_NO) {
            // Back to the first kind of project for the next case.
            driver.ChooseMenu(frame, "&Datei|Neu (AZP)");
            ASSERT_EQ(ManagerRows(), 3);
        }
    }
}

// ---- a close-down that a window refuses -------------------------------------------------------------

// A child window of the tests' own on its own thread: it refuses the first close-down, closes when
// its button is pressed and then, as the worksheet windows do, takes a close-down up again while
// ClosingDown is set.
int refusals = 0;
void RefusingChild(const std::string&)
{
    WindowDesc d;
    d.title = "Kind";
    d.kind = WindowKind::MdiChild;
    d.Add(Ctl::Button("Zu").Id(1));
    int w = WindowCreate(d);
    WindowOpen(w);
    while (WindowAccept(w)) {
        if (EventCurrent() == EVENT_CLOSE_DOWN && refusals == 0) {
            ++refusals;
            EventSkipDefault();
        } else if (EventAccepted() == 1) {
            break;
        }
    }
    WindowClose(w);
    if (ClosingDown)
        EventPost(EVENT_CLOSE_DOWN, 0, 1);
}

TEST_F(ProgramTest, RefusedCloseDownStopsTheShutDownAndIsForgotten)
{
    StartProgram();
    driver.Press(driver.Window(kWelcome), "?BUTTON1:4");
    refusals = 0;
    {
        Runtime::HostBaton b;
        ThreadStart(RefusingChild, "", 0, "Kind");
    }
    driver.WaitIdle();
    int child = driver.Window("Kind");

    driver.Close(frame);
    EXPECT_EQ(refusals, 1);
    EXPECT_TRUE(WindowExists(frame));
    {
        Runtime::HostBaton b;
        EXPECT_EQ(ClosingDown, 0);
    }
    // The child closing by itself later does not end the program.
    driver.Press(child, "Zu");
    EXPECT_FALSE(driver.Ended());
    EXPECT_NE(driver.FindWindow("Varn 4"), 0);

    // The next close-down goes through.
    driver.Close(frame);
    driver.WaitEnd();
    EXPECT_TRUE(driver.Ended());
}

TEST_F(ProgramTest, CancelledSaveQuestionOfTheManagerKeepsTheProgramRunning)
{
    StartProgram();
    driver.Press(driver.Window(kWelcome), "?BUTTON1:2");
    {
        Runtime::HostBaton b;
        GlobalProjektmanager.Projekt().FileManager().SetChanged();
    }
    CProjektmanager::ForgetAskSave();
    driver.Close(frame);
    Answer("Änderungen speichern?", "&Abbrechen");
    EXPECT_NE(driver.FindWindow("Projektmanager"), 0);
    EXPECT_NE(driver.FindWindow("Varn 4"), 0);
    {
        Runtime::HostBaton b;
        EXPECT_EQ(ClosingDown, 0);
        EXPECT_TRUE(GlobalProjektmanager.HasProject());
    }
    // A refresh of the frame starts no second close-down.
    CProjektmanager::ForgetAskSave();
    driver.Post(frame, EventRefresh);
    EXPECT_EQ(driver.FindWindow("Änderungen speichern?"), 0);

    driver.Close(frame);
    Answer("Änderungen speichern?", "&Nein");
    driver.WaitEnd();
    EXPECT_TRUE(driver.Ended());
}

// ---- commands that call the windows of later layers ------------------------------------------------

TEST_F(ProgramTest, AlertKeyStartsTheDefaultsWindowOnAThreadOfItsOwn)
{
    int started = 0;
    Runtime::ThreadInfo self;
    FrameWindows w;
    w.updateVorgaben = [&](const std::string&) {
        ++started;
        for (const auto& t : Runtime::Threads())
            if (t.id == ThreadCurrent())
                self = t;
    };
    SetFrameWindows(w);
    StartProgram();
    driver.Press(driver.Window(kWelcome), "?BUTTON1:4");
    driver.Key(frame, 0, kFrameVorgabenKey);
    EXPECT_EQ(started, 1);
    EXPECT_NE(self.id, 1);
    EXPECT_EQ(self.name, "UpdateVorgaben");
    EXPECT_EQ(self.stackBytes, kVorgabenStack);
    // The file menu's entry starts it the same way.
    driver.ChooseMenu(frame, "&Datei|&Vorgaben bearbeiten...");
    EXPECT_EQ(started, 2);
    EXPECT_EQ(self.name, "UpdateVorgaben");

    // Without the window the key does nothing and the entry is disabled.
    SetFrameWindows({});
    driver.Key(frame, 0, kFrameVorgabenKey);
    EXPECT_EQ(started, 2);
    driver.Post(frame, EventRefresh);
    EXPECT_TRUE(driver.Disabled(frame, driver.Control(frame, "?VORGABEN")));
}

TEST_F(ProgramTest, ProjectKeyBringsTheManagerForward)
{
    StartProgram();
    driver.Press(driver.Window(kWelcome), "?BUTTON1:2");
    int manager = driver.Window("Projektmanager");
    {
        Runtime::HostBaton b;
        PropertySet(manager, 0, Prop::Active, 0, 0);
        PropertySet(manager, 0, Prop::Iconize, 1, 0);
    }
    driver.Key(frame, 0, kFrameProjectKey);
    EXPECT_FALSE(driver.Property(manager, 0, Prop::Iconize).Bool());
    EXPECT_TRUE(driver.Property(manager, 0, Prop::Active).Bool());
}

// Writes an ".eco" file with one cost record.
void WriteEcoFile(const std::string& path, double wage)
{
    InitFileAccess();
    Access::XIKOST->SetName(path);
    ASSERT_EQ(Access::XIKOST->Open(), 0);
    if (wage > 0) {
        XIKOST.Clear();
        XIKOST.SetReal("STUNDENLOHN", wage);
        ASSERT_EQ(Access::XIKOST->Insert(), 0);
    }
    Access::XIKOST->Close();
    ReleaseFileAccess();
}

struct EcoCase {
    const char* name;
    bool cancel;           // the file dialog is cancelled
    double wage;           // 0: a file without a record
    bool busy;             // a worksheet's cost dialog has "Kosten.tmp" open
    bool called;
    const char* message;   // the caption of the message shown, or ""
};

TEST_F(ProgramTest, CostFileCommandLendsTheTemporaryFileItsNameForTheCall)
{
    const EcoCase cases[] = {
        {"abgebrochen", true, 12.5, false, false, ""},
        {"mit Datensatz", false, 17.25, false, true, ""},
        {"ohne Datensatz", false, 0, false, false, "Ökonomie-Datei öffnen"},
        {"Kosten.tmp offen", false, 17.25, true, false, "Datei wird bearbeitet"},
    };
    struct Seen {
        int calls = 0;
        std::string name;
        double wage = 0;
        int request = 0;
    } seen;
    FrameWindows w;
    w.updateKosten = [&seen] {
        ++seen.calls;
        seen.name = Access::TMPKOST->GetName();
        seen.wage = TMPKOST.GetReal("STUNDENLOHN");
        seen.request = PendingRequest;
        return 1;
    };
    SetFrameWindows(w);
    for (const EcoCase& c : cases)
        WriteEcoFile(Path(std::string(c.name) + ".eco"), c.wage);
    StartProgram();
    const std::string costFile = TMPKOST.Name();
    EXPECT_FALSE(driver.Disabled(driver.Window(kWelcome), driver.Control(driver.Window(kWelcome), "?BUTTON1:5")));
    driver.Press(driver.Window(kWelcome), "?BUTTON1:4");

    for (const EcoCase& c : cases) {
        SCOPED_TRACE(c.name);
        seen = Seen{};
        const std::string file = Path(std::string(c.name) + ".eco");
        if (c.busy) {
            Runtime::HostBaton b;
            ASSERT_EQ(Access::TMPKOST->Open(), 0);
        }
        driver.ChooseMenu(frame, "&Datei|&Kosteneinstellungen bearbeiten");
        ASSERT_TRUE(driver.HasFileDialog());
        EXPECT_EQ(driver.FileDialogRequest().title, "Ökonomie-Datei öffnen");
        EXPECT_EQ(driver.FileDialogRequest().filter, "Varn 4 Ökonomie-Datei |*.eco");
        if (c.cancel)
            driver.CancelFileDialog();
        else
            driver.AnswerFileDialog(file);
        if (*c.message)
            Answer(c.message, "&OK");
        EXPECT_EQ(seen.calls, c.called ? 1 : 0);
        if (c.called) {
            EXPECT_EQ(seen.name, file);
            EXPECT_DOUBLE_EQ(seen.wage, c.wage);
            EXPECT_EQ(seen.request, 2);
        }
        Runtime::HostBaton b;
        if (c.busy)
            Access::TMPKOST->Close();
        EXPECT_EQ(Access::TMPKOST->GetName(), costFile);
        EXPECT_FALSE(Access::TMPKOST->IsOpen());
    }
}

TEST_F(ProgramTest, StrainFileCommandLendsTheTemporaryFileItsName)
{
    int calls = 0;
    std::string named;
    FrameWindows w;
    w.editBelastungsdatei = [&] {
        ++calls;
        named = Access::TMPBEL->GetName();
        return 2;
    };
    SetFrameWindows(w);
    StartProgram();
    const std::string strainFile = TMPBEL.Name();
    driver.Press(driver.Window(kWelcome), "?BUTTON1:4");

    driver.ChooseMenu(frame, "&Datei|&Belastungseinschätzung bearbeiten");
    ASSERT_TRUE(driver.HasFileDialog());
    EXPECT_EQ(driver.FileDialogRequest().title, "EBA-Datei öffnen");
    EXPECT_EQ(driver.FileDialogRequest().filter, "Varn 4 EBA-Datei |*.eba");
    driver.CancelFileDialog();
    EXPECT_EQ(calls, 0);

    driver.ChooseMenu(frame, "&Datei|&Belastungseinschätzung bearbeiten");
    driver.AnswerFileDialog(Path("tag.eba"));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(named, Path("tag.eba"));
    Runtime::HostBaton b;
    EXPECT_EQ(Access::TMPBEL->GetName(), strainFile);
}

// ---- the help menu ---------------------------------------------------------------------------------

TEST_F(ProgramTest, LearningMaterialOpensFromTheProgramDirectory)
{
    StartProgram();
    driver.Press(driver.Window(kWelcome), "?BUTTON1:4");
    driver.ChooseMenu(frame, "&Hilfe|&Lernunterlage");
    int notice = driver.Window("Lernunterlage");
    EXPECT_NE(driver.Text(notice, 2).find(Path("lernunterlage.pdf")), std::string::npos);
    driver.Press(notice, "&OK");
    EXPECT_TRUE(driver.ShellOpens().empty());

    std::ofstream(Path("lernunterlage.pdf")) << "%PDF-1.4\n";
    driver.ChooseMenu(frame, "&Hilfe|&Lernunterlage");
    ASSERT_EQ(driver.ShellOpens().size(), 1u);
    EXPECT_EQ(driver.ShellOpens()[0].file, Path("lernunterlage.pdf"));
    EXPECT_EQ(driver.ShellOpens()[0].directory, dir_);
}

TEST_F(ProgramTest, SupportAndInfoWindowsHandTheirAddressToTheShell)
{
    struct Case {
        const char* menu;
        const char* title;
        std::string target;
        std::string text;   // the window's text, as far as it is ours to show
    };
    const Case cases[] = {
        {"&Hilfe|&Support", "Mail an Support", std::string("mailto:") + kSupportMailAddress,
         "Bei auftretenden Problemen mit dem Programm senden Sie uns bitte eine E-Mail an die untenstehende "
         "Adresse."},
        {"&Hilfe|&Info", "Informationen zu Varn-4", std::string("http://") + kPublisherWebAddress,
         std::string("Version vom 06.12.2007\n") + kPublisherName},
    };
    StartProgram();
    driver.Press(driver.Window(kWelcome), "?BUTTON1:4");
    size_t opened = 0;
    for (const Case& c : cases) {
        driver.ChooseMenu(frame, c.menu);
        int w = driver.Window(c.title);
        EXPECT_EQ(driver.Text(w, 3), c.text);
        driver.Press(w, "?Adresse");
        ASSERT_EQ(driver.ShellOpens().size(), ++opened);
        EXPECT_EQ(driver.ShellOpens().back().file, c.target);
        driver.Press(w, "?OK");
        EXPECT_EQ(driver.FindWindow(c.title), 0);
    }
}

TEST(FrameAddresses, SchemeIsAddedOnlyWhenMissing)
{
    const char* const mail[][2] = {
        {"hilfe@beispiel.example", "mailto:hilfe@beispiel.example"},
        {"mailto:hilfe@beispiel.example", "mailto:hilfe@beispiel.example"},
        {"MailTo:hilfe@beispiel.example", "MailTo:hilfe@beispiel.example"},
    };
    for (const auto& [in, out] : mail)
        EXPECT_EQ(MailAddressForShell(in), out) << in;
    const char* const web[][2] = {
        {"www.beispiel.example", "http://www.beispiel.example"},
        {"http://www.beispiel.example", "http://www.beispiel.example"},
        {"HTTP://www.beispiel.example", "HTTP://www.beispiel.example"},
        {"https://www.beispiel.example", "https://www.beispiel.example"},   // not "http://https://..."
        {"HttpS://www.beispiel.example", "HttpS://www.beispiel.example"},
        {"httpx.beispiel.example", "http://httpx.beispiel.example"},
    };
    for (const auto& [in, out] : web)
        EXPECT_EQ(WebAddressForShell(in), out) << in;
}

} // namespace
