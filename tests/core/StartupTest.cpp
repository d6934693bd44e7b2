// Start-up and shut-down: the guard's name and lock, the messages for missing installed files,
// the settings wiring of the window geometry, and a shut-down that waits for the other threads.
#include "core/Startup.h"

#include "FrameTestSupport.h"
#include "../platform/records/ReadOnlyFolder.h"
#include "../platform/values/PipeGuard.h"

#include "platform/fw/FwIni.h"
#include "platform/values/Locale.h"
#include "platform/values/PrivateProfile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// ---- the guard's name --------------------------------------------------------------------------------

TEST(SingleInstanceName, TheWorkedExampleAndTheShape)
{
    EXPECT_EQ(SingleInstanceName("varn4", "C:\\DOKUME~1\\PLANER\\EIGENE~1"), "{62418803-C850-92C0-C1E4-2A83D210A2C0}");
    // Case does not matter; trailing blanks do not either.
    EXPECT_EQ(SingleInstanceName("varn4", "c:\\dokume~1\\planer\\eigene~1"),
              SingleInstanceName("VARN4 ", "C:\\DOKUME~1\\PLANER\\EIGENE~1  "));
    // 38 characters: braces, dashes after the 8th, 12th, 16th and 20th digit, digits 0-9 and A-E.
    for (const char* dir : {"", "/", "/home/planer", "/home/planer/Schichtpläne/Werk Süd",
                            "/a/very/long/directory/name/that/goes/on/and/on/well/past/sixty/three/characters"}) {
        const std::string name = SingleInstanceName("varn4", dir);
        ASSERT_EQ(name.size(), 38u) << dir;
        for (size_t i = 0; i < name.size(); ++i) {
            const char c = name[i];
            if (i == 0)
                EXPECT_EQ(c, '{');
            else if (i == 37)
                EXPECT_EQ(c, '}');
            else if (i == 9 || i == 14 || i == 19 || i == 24)
                EXPECT_EQ(c, '-') << dir;
            else
                EXPECT_TRUE((c >= '0' && c <= '9') || (c >= 'A' && c <= 'E')) << dir << " " << name;
        }
    }
}

TEST(SingleInstanceName, EveryCharacterOfTheDirectoryCounts)
{
    // Directories that agree in their first 27 characters (and beyond) still get names of their own.
    const std::string common = "/home/planer/projekte/werk-nord/schichtplanung/";
    std::set<std::string> names;
    const char* const tails[] = {"2007", "2008", "2007/a", "2007/b", "a2007", "b2007"};
    for (const char* tail : tails)
        names.insert(SingleInstanceName("varn4", common + tail));
    EXPECT_EQ(names.size(), std::size(tails));
    EXPECT_NE(SingleInstanceName("varn4", std::string(200, 'x') + "1"), SingleInstanceName("varn4", std::string(200, 'x') + "2"));
}

// ---- the lock ----------------------------------------------------------------------------------------

class SingleInstanceLock : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string t = (std::filesystem::temp_directory_path() / "varnlockXXXXXX").string();
        ASSERT_NE(::mkdtemp(t.data()), nullptr);
        locks = t;
    }
    void TearDown() override { std::filesystem::remove_all(locks); }
    std::string locks;
};

TEST_F(SingleInstanceLock, OneOwnerPerDirectory)
{
    using S = CSingleInstance::State;
    CSingleInstance first, second, other;
    EXPECT_EQ(first.Acquire("/srv/varn/werk1", locks), S::Owner);
    EXPECT_EQ(second.Acquire("/srv/varn/werk1", locks), S::Running);
    EXPECT_EQ(other.Acquire("/srv/varn/werk2", locks), S::Owner);
    EXPECT_EQ(first.SocketPath(), second.SocketPath());
    EXPECT_NE(first.SocketPath(), other.SocketPath());
    EXPECT_EQ(first.LockPath().rfind(locks, 0), 0u);
    EXPECT_NE(first.LockPath().find(first.Name()), std::string::npos);
    std::ifstream in(first.LockPath());
    std::stringstream owner;
    owner << in.rdbuf();
    EXPECT_EQ(owner.str(), "/srv/varn/werk1");

    // Once the first has ended the next start owns the guard.
    first.Release();
    EXPECT_EQ(second.Acquire("/srv/varn/werk1", locks), S::Owner);
}

TEST_F(SingleInstanceLock, AnotherDirectoryWithTheSameNameDoesNotStopTheStart)
{
    using S = CSingleInstance::State;
    // Someone holds the lock of that name for another directory.
    CSingleInstance probe;
    ASSERT_EQ(probe.Acquire("/srv/varn/werk3", locks), S::Owner);
    const std::string path = probe.LockPath();
    probe.Release();
    int fd = ::open(path.c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    ASSERT_EQ(::ftruncate(fd, 0), 0);
    ASSERT_GT(::write(fd, "/srv/anderswo", 13), 0);
    CSingleInstance guard;
    EXPECT_EQ(guard.Acquire("/srv/varn/werk3", locks), S::Unguarded);
    ::close(fd);

    // No place for the lock: the program starts without a guard.
    EXPECT_EQ(guard.Acquire("/srv/varn/werk3", locks + "/fehlt"), S::Unguarded);
}

// The lock may lie in the shared temporary folder: a link that someone put under its name is not
// followed (the file it points to would be cut to nothing), nor is a pipe there waited on or
// written to; the program starts without the guard.
TEST_F(SingleInstanceLock, ALinkOrAPipeUnderTheLocksNameIsNotUsed)
{
    using S = CSingleInstance::State;
    CSingleInstance probe;
    ASSERT_EQ(probe.Acquire("/srv/varn/werk4", locks), S::Owner);
    const std::string path = probe.LockPath();
    probe.Release();
    const std::string victim = locks + "/eigenes.txt";
    std::ofstream(victim) << "Inhalt";
    PipeGuard pipes;
    for (const bool link : {true, false}) {
        SCOPED_TRACE(link ? "Verknüpfung" : "Pipe");
        fs::remove(path);
        ASSERT_TRUE(link ? (fs::create_symlink(victim, path), true) : pipes.Make(path));
        CSingleInstance guard;
        EXPECT_EQ(guard.Acquire("/srv/varn/werk4", locks), S::Unguarded);
        EXPECT_EQ(ReadAll(victim), "Inhalt");
        EXPECT_EQ(fs::symlink_status(path).type(), link ? fs::file_type::symlink : fs::file_type::fifo);
    }
    EXPECT_FALSE(pipes.Late());
}

// ---- start-up with missing installed files ----------------------------------------------------------

struct MissingCase {
    const char* name;
    bool locale;
    bool config;
};

TEST_F(ProgramTest, MissingInstalledFilesAreNamedAtStartUp)
{
    const MissingCase cases[] = {
        {"Sprachdatei", false, true},
        {"Konfiguration", true, false},
    };
    for (const MissingCase& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.locale)
            std::filesystem::remove(Path("deutsch.env"));
        if (!c.config)
            std::filesystem::remove(Path("varn4.cfg"));
        std::vector<std::string> expected;
        if (!c.locale) {
            std::string error;
            ASSERT_FALSE(Locale::Load(Path("deutsch.env"), &error));
            EXPECT_NE(error.find(Path("deutsch.env")), std::string::npos) << error;
            expected.push_back(LocaleMissingMessage(error));
            // The notice says what happens: the program goes on, it does not refuse to start.
            EXPECT_EQ(expected.back().find("nicht starten"), std::string::npos) << expected.back();
        }
        if (!c.config) {
            expected.push_back(ConfigMissingMessage(Path("varn4.cfg")));
            for (const char* table : {"KRIVorgaben", "RBVorgaben", "RBWarngrenzen", "RBFehlergrenzen"})
                expected.push_back(std::string("leeren ") + table + " Datensatz erzeugt");
        }
        driver.Start(ProgramMain);
        started = true;
        for (const std::string& text : expected) {
            ASSERT_TRUE(driver.HasMessage()) << text;
            EXPECT_EQ(driver.Message().text, text);
            EXPECT_EQ(driver.Message().caption, "");
            driver.AnswerMessage(BUTTON_OK);
        }
        EXPECT_FALSE(driver.HasMessage());
        // The start goes on to the frame.
        frame = driver.Window("Varn 4");
        EXPECT_NE(driver.FindWindow("Willkommen bei Varn-4"), 0);
        EndProgram();

        // The next start finds the records it made and says nothing about them.
        InstallLocale(dir_);
        driver.Start(ProgramMain);
        started = true;
        EXPECT_FALSE(driver.HasMessage());
        frame = driver.Window("Varn 4");
        EndProgram();
    }
}

// ---- settings and shut-down --------------------------------------------------------------------------

TEST_F(ProgramTest, FrameGeometryIsStoredAndRestoredThroughTheSettingsFile)
{
    StartProgram();
    EndProgram();
    const std::string ini = Path("varn4.ini");
    EXPECT_EQ(ProfileGetString("Main", "Maximize", "", ini), "No");
    EXPECT_NE(ProfileGetString("Main", "XPos", "", ini), "");

    ProfileWriteString("Main", "XPos", "33", ini);
    ProfileWriteString("Main", "YPos", "44", ini);
    StartProgram();
    EXPECT_EQ(driver.Property(frame, 0, Prop::Xpos).Int(), 33);
    EXPECT_EQ(driver.Property(frame, 0, Prop::Ypos).Int(), 44);
}

// A window on a thread of its own that outlives the frame.
void LateWindow(const std::string&)
{
    WindowDesc d;
    d.title = "Spät";
    int w = WindowCreate(d);
    WindowOpen(w);
    while (WindowAccept(w)) {
    }
    WindowClose(w);
}

TEST_F(ProgramTest, ShutDownWaitsForTheOtherThreadsAndRemovesTheTemporaryFiles)
{
    StartProgram();
    {
        Runtime::HostBaton b;
        ThreadStart(LateWindow, "", 0, "Spät");
        // A dialog of a worksheet still has the shift types' edit file open.
        ASSERT_EQ(Access::TMPSCHICHT->Open(), 0);
        ASSERT_EQ(Access::TMPBEL->Open(), 0);
        ASSERT_EQ(Access::TMPKOST->Open(), 0);
    }
    driver.WaitIdle();
    int late = driver.Window("Spät");
    driver.Close(driver.Window("Willkommen bei Varn-4"));
    driver.Close(frame);
    EXPECT_FALSE(driver.Ended());

    // The frame has gone, the other thread has not: nothing is released.
    EXPECT_FALSE(ProgramShutdown(100));
    {
        Runtime::HostBaton b;
        EXPECT_NE(Access::TMPSCHICHT, nullptr);
    }
    const std::string shifts = TMPSCHICHT.Name(), strain = TMPBEL.Name(), costs = TMPKOST.Name();
    // Edit files of their own, never in the current folder.
    EXPECT_NE(std::filesystem::path(shifts).parent_path(), std::filesystem::current_path());
    EXPECT_NE(shifts, strain);
    EXPECT_TRUE(std::filesystem::exists(shifts));

    driver.Close(late);
    driver.WaitEnd();
    EXPECT_TRUE(ProgramShutdown(1000));
    started = false;
    EXPECT_EQ(Access::TMPSCHICHT, nullptr);
    EXPECT_FALSE(std::filesystem::exists(shifts));
    EXPECT_FALSE(std::filesystem::exists(strain));
    EXPECT_TRUE(std::filesystem::exists(costs));
}

TEST_F(ProgramTest, ShutDownClosesAProjectThatNoWindowClosed)
{
    StartProgram();
    std::string copy;
    {
        // A project without its window, as a run cut short leaves it.
        Runtime::HostBaton b;
        ASSERT_EQ(GlobalProjektmanager.Projekt().New(ARBEITSBLATT_AZ), STORE_DONE);
        copy = GlobalProjektmanager.Projekt().FileManager().PhysFileName();
    }
    ASSERT_TRUE(std::filesystem::exists(copy));
    driver.Close(driver.Window("Willkommen bei Varn-4"));
    driver.Close(frame);
    driver.WaitEnd();
    EXPECT_TRUE(ProgramShutdown(1000));
    started = false;
    EXPECT_FALSE(GlobalProjektmanager.HasProject());
    EXPECT_FALSE(std::filesystem::exists(copy));
}

// Records the settings hooks as start-up and shut-down call them.
struct HookRecorder : FwIni {
    void SetupHook() override { calls.push_back("setup"); }
    void ClosingHook() override { calls.push_back(frame && WindowExists(frame) ? "closing, frame open" : "closing"); }
    std::vector<std::string> calls;
    int frame = 0;
};

TEST_F(ProgramTest, SettingsHooksRunOnceAtStartAndAfterTheFrameHasClosed)
{
    HookRecorder hooks;
    FwIni* const before = ProgramSettingsHooks;
    ProgramSettingsHooks = &hooks;
    StartProgram();
    hooks.frame = frame;
    EXPECT_EQ(hooks.calls, std::vector<std::string>{"setup"});
    driver.Close(driver.Window("Willkommen bei Varn-4"));
    driver.Close(frame);
    driver.WaitEnd();
    EXPECT_EQ(hooks.calls, (std::vector<std::string>{"setup", "closing"}));
    EXPECT_TRUE(ProgramShutdown(1000));
    started = false;
    EXPECT_EQ(hooks.calls.size(), 2u);
    ProgramSettingsHooks = before;
}

} // namespace
// A damaged configuration file is told once, naming the file and what is wrong, and the program
// starts with what it could read.
TEST_F(ProgramTest, ADamagedConfigurationIsOneMessageAndTheProgramStarts)
{
    std::string good;
    {
        std::ifstream in(Path("varn4.cfg"), std::ios::binary);
        good.assign(std::istreambuf_iterator<char>(in), {});
    }
    ASSERT_GT(good.size(), 8192u);
    struct Case {
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        {"keine Datenbank", std::string(5000, 'x')},
        {"Seiten überschrieben", good.substr(0, 100) + std::string(good.size() - 100, '\x5A')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::ofstream(Path("varn4.cfg"), std::ios::binary | std::ios::trunc) << c.bytes;
        driver.Start(ProgramMain);
        started = true;
        ASSERT_TRUE(driver.HasMessage());
        const std::string text = driver.Message().text;
        EXPECT_EQ(text.rfind("Die Konfigurationsdatei " + Path("varn4.cfg") + " ist beschädigt", 0), 0u) << text;
        EXPECT_NE(text.find("(Fehler 36)"), std::string::npos) << text;
        driver.AnswerMessage(BUTTON_OK);
        EXPECT_FALSE(driver.HasMessage()) << driver.Message().text;
        frame = driver.Window("Varn 4");
        EXPECT_NE(driver.FindWindow("Willkommen bei Varn-4"), 0);
        EndProgram();
    }
    std::ofstream(Path("varn4.cfg"), std::ios::binary | std::ios::trunc) << good;
}

// ---- start-up files that are no regular files --------------------------------------------------------

// The program with pipes in place of its files, guarded until the program has been shut down
// (the fixture's tear-down): a start that still waits on one fails instead of hanging the run.
class StartUpPipes : public ProgramTest {
protected:
    PipeGuard pipes;
};

// A named pipe in the place of a file the start reads would wait for a writer for good. Each is
// told once, naming it, and the start goes on to the frame; the pipe is still there afterwards
// (the settings are not written over it either).
TEST_F(StartUpPipes, AStartUpFileThatIsAPipeIsToldOnceAndNotWaitedFor)
{
    const std::string config = ReadAll(Path("varn4.cfg"));
    const std::string localeError = "Die Sprachdatei „" + Path("deutsch.env") +
                                    "“ ist keine gewöhnliche Datei (sondern etwa eine benannte Pipe, ein Ordner "
                                    "oder ein Gerät) und wird nicht gelesen.";
    const struct {
        const char* file;
        std::string message;
    } cases[] = {
        {"varn4.ini", NotAFileMessage(Path("varn4.ini"))},
        {"deutsch.env", LocaleMissingMessage(localeError)},
        {"varn4.cfg", NotAFileMessage(Path("varn4.cfg"))},
        {"eba.cfg", NotAFileMessage(Path("eba.cfg"))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_NE(c.message.find(Path(c.file)), std::string::npos) << c.message;
        fs::remove(Path(c.file));
        ASSERT_TRUE(pipes.Make(Path(c.file)));
        driver.Start(ProgramMain);
        started = true;
        ASSERT_TRUE(driver.HasMessage());
        EXPECT_EQ(driver.Message().text, c.message);
        driver.AnswerMessage(BUTTON_OK);
        EXPECT_FALSE(driver.HasMessage()) << driver.Message().text;
        frame = driver.Window("Varn 4");
        EXPECT_NE(driver.FindWindow("Willkommen bei Varn-4"), 0);
        EndProgram();
        EXPECT_EQ(fs::symlink_status(Path(c.file)).type(), fs::file_type::fifo);
        EXPECT_FALSE(pipes.Late()) << "the start waited on the pipe";

        fs::remove(Path(c.file));
        InstallLocale(dir_);
        std::ofstream(Path("varn4.cfg"), std::ios::binary | std::ios::trunc) << config;
    }
}

// ---- no private temporary folder ---------------------------------------------------------------------

// A freshly started program whose temporary folder takes no private folder (the settings in its
// environment) must neither name its edit files nor make a new project's working copy anywhere
// else, above all not under the names in the shared temporary folder that it once fell back on,
// where another user put links to a file of the planner's beforehand. The start tells of it and
// goes on; "Neu" tells why there is no new project.
TEST(FreshProgram, WithoutAPrivateTemporaryFolder)
{
    const char* closed = std::getenv("VARN_FRESH_TMPDIR");
    const char* target = std::getenv("VARN_FRESH_TARGET");
    if (!closed || !target)
        GTEST_SKIP() << "only as a freshly started program of a test";
    ::setenv("TMPDIR", closed, 1);
    for (int k = 1; k <= 8; ++k)
        fs::create_symlink(target, "/tmp/unbenannt.prj-" + std::to_string(::getpid()) + "-" + std::to_string(k) + "~");
    UseTestSheets();
    SetFrameWindows({});
    HeadlessDriver driver;
    driver.Start(ProgramMain);
    ASSERT_TRUE(driver.HasMessage());
    EXPECT_EQ(driver.Message().text, ScratchFolderMessage(closed, ErrorTextFor(ERR_ACCESS_DENIED)));
    driver.AnswerMessage(BUTTON_OK);
    EXPECT_FALSE(driver.HasMessage());
    {
        Runtime::HostBaton b;
        EXPECT_EQ(TMPSCHICHT.Name(), "");
        EXPECT_EQ(TMPKOST.Name(), "");
    }
    const int frame = driver.Window("Varn 4");
    driver.Press(driver.Window("Willkommen bei Varn-4"), "?BUTTON1:2");
    // By now the program's own message dialog shows the messages: its text is its second control.
    const int refused = driver.FindWindow("Neues Projekt nicht möglich");
    ASSERT_NE(refused, 0);
    EXPECT_NE(driver.Text(refused, 2).find(std::string("„") + closed + "“"), std::string::npos)
        << driver.Text(refused, 2);
    driver.Press(refused, "&OK");
    EXPECT_FALSE(GlobalProjektmanager.HasProject());
    EXPECT_EQ(driver.FindWindow("Projektmanager"), 0);
    driver.Close(frame);
    driver.WaitEnd();
    EXPECT_TRUE(ProgramShutdown(1000));
}

TEST_F(ProgramTest, WithoutAPrivateTemporaryFolderNothingIsWrittenElsewhere)
{
    ReadOnlyFolder closed(Path("tmp-zu"));
    if (!closed.Usable())
        GTEST_SKIP() << "no read-only folder can be made here";
    const std::string target = Path("leer.prj");
    std::ofstream(target, std::ios::binary) << "das Projekt des Planers";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::alarm(120);  // a fresh program that hangs is killed, failing the test
        ::setenv("VARN_FRESH_TMPDIR", closed.Path().c_str(), 1);
        ::setenv("VARN_FRESH_TARGET", target.c_str(), 1);
        ::execl("/proc/self/exe", "varn-frisch", "--gtest_filter=FreshProgram.WithoutAPrivateTemporaryFolder",
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ASSERT_GT(pid, 0);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the fresh program's checks (its output above)";

    // The links are still there, still links; nothing else of that program is in the shared folder.
    const std::string mark = "-" + std::to_string(pid) + "-";
    int links = 0;
    for (const auto& e : fs::directory_iterator("/tmp")) {
        const std::string name = e.path().filename().string();
        if (name.find(mark) == std::string::npos)
            continue;
        EXPECT_TRUE(e.is_symlink()) << name;
        links += e.is_symlink() && name.rfind("unbenannt.prj" + mark, 0) == 0;
        fs::remove(e.path());
    }
    EXPECT_EQ(links, 8);
    EXPECT_EQ(ReadAll(target), "das Projekt des Planers");
    EXPECT_TRUE(closed.Empty());
}
