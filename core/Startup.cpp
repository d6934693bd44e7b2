#include "core/Startup.h"

#include "core/Files.h"
#include "core/Frame.h"
#include "core/IniFile.h"
#include "core/MessageDialog.h"
#include "core/Projektmanager.h"
#include "core/Utilities.h"
#include "platform/fw/FwError.h"
#include "platform/fw/FwSettings.h"
#include "platform/records/RecordFile.h"
#include "platform/ui/MessageShow.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"
#include "platform/values/Locale.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>
#include <thread>

std::string ProgramDirectory;
std::string ConfigFileName;
FwIni* ProgramSettingsHooks = &GlobalIni;

namespace {

// The code points of a UTF-8 text (a broken byte counts as itself).
std::u32string CodePoints(std::string_view text)
{
    std::u32string out;
    size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const size_t extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        char32_t cp = extra ? (c & (0x3F >> extra)) : c;
        bool ok = i + extra < text.size();
        for (size_t k = 1; ok && k <= extra; ++k) {
            const unsigned char n = static_cast<unsigned char>(text[i + k]);
            if ((n & 0xC0) != 0x80)
                ok = false;
            else
                cp = (cp << 6) | (n & 0x3F);
        }
        out.push_back(ok ? cp : c);
        i += ok ? extra + 1 : 1;
    }
    return out;
}

void PlainNotice(const std::string& text)
{
    // Before the message dialog is installed: the platform's box, OK and no caption.
    MessageRequest m;
    m.text = text;
    m.buttonBits = BUTTON_OK;
    MessageShow(m);
}

// The tables of the configuration file that cannot be read (a damaged file), looked at quietly:
// their names and the first reason.
struct ConfigDamage {
    std::vector<std::string> tables;
    std::string reason;
    bool Has(const RecordFile& file) const
    {
        return std::find(tables.begin(), tables.end(), file.Name()) != tables.end();
    }
};

ConfigDamage CheckConfigTables()
{
    ConfigDamage damage;
    for (RecordFile* file : {&KRIDEFAULT, &RBDEFAULT, &RBWARN, &RBFEHLER, &WARNTXT}) {
        const int rc = FileOpen(*file, FILE_READ_ONLY | FILE_DENY_NONE);
        if (rc == ERR_NONE) {
            FileClose(*file);
            continue;
        }
        // A missing table is made by the first open, as in a new file.
        if (rc == ERR_FILE_NOT_FOUND)
            continue;
        damage.tables.push_back(file->Name());
        if (damage.reason.empty())
            damage.reason = ErrorTextFor(rc) + " (Fehler " + std::to_string(rc) + ")";
    }
    SetError(ERR_NONE);
    return damage;
}

// Each defaults table must hold a record: the definitions pool reads its first one. Tables of a
// damaged configuration file are left alone: its one message has told about them.
void EnsureDefaultsRecords(const ConfigDamage& damage)
{
    struct Table {
        FwFileManager* access;
        RecordFile* file;
        const char* label;
    };
    const Table tables[] = {
        {Access::KRIDEFAULT, &KRIDEFAULT, "KRIVorgaben"},
        {Access::RBDEFAULT, &RBDEFAULT, "RBVorgaben"},
        {Access::RBWARN, &RBWARN, "RBWarngrenzen"},
        {Access::RBFEHLER, &RBFEHLER, "RBFehlergrenzen"},
    };
    for (const Table& t : tables) {
        if (!t.access || damage.Has(*t.file))
            continue;
        t.access->SetAliasOf(nullptr);
        t.access->Open();
        FileSet(*t.file);
        if (t.access->TryNext() == 0)
            continue;
        t.file->Clear();
        if (t.access->Insert() == 0)
            PlainNotice(std::string("leeren ") + t.label + " Datensatz erzeugt");
        else
            PlainNotice(std::string("Fehler beim Erzeugen eines leeren ") + t.label + " Datensatzes");
    }
    if (Access::WARNTXT && !damage.Has(WARNTXT))
        Access::WARNTXT->Open();
}

} // namespace

std::string CurrentDirectory()
{
    std::error_code ec;
    std::filesystem::path dir = std::filesystem::current_path(ec);
    if (ec)
        return ".";
    std::filesystem::path canonical = std::filesystem::weakly_canonical(dir, ec);
    return (ec ? dir : canonical).string();
}

std::string SingleInstanceName(std::string_view productWord, std::string_view directory)
{
    const std::u32string s =
        CodePoints(LocaleUpper(Clip(productWord)) + LocaleUpper(Clip(directory)));
    static const char alphabet[] = "0123456789ABCDE";
    // Position i (from 1) adds i + its code to digit ((i - 1) mod 32) + 1; the first 32 positions
    // are there even for a shorter text (as blanks).
    uint64_t sums[32] = {};
    const size_t length = s.size() > 32 ? s.size() : 32;
    for (size_t i = 1; i <= length; ++i) {
        uint64_t code = i <= s.size() ? static_cast<uint64_t>(s[i - 1]) : 32u;
        sums[(i - 1) % 32] += i + code;
    }
    std::string name = "{";
    for (int p = 1; p <= 32; ++p) {
        int k = static_cast<int>(sums[p - 1] % 16);
        name += alphabet[k == 0 ? 0 : k - 1];
        if (p == 8 || p == 12 || p == 16 || p == 20)
            name += '-';
    }
    return name + "}";
}

std::string InstanceRuntimeDirectory()
{
    std::error_code ec;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime &&
                                                               std::filesystem::is_directory(runtime, ec))
        return runtime;
    std::filesystem::path temp = std::filesystem::temp_directory_path(ec);
    return ec ? std::string("/tmp") : temp.string();
}

CSingleInstance::~CSingleInstance() { Release(); }

CSingleInstance::State CSingleInstance::Acquire(const std::string& directory, const std::string& lockDirectory)
{
    Release();
    name_ = SingleInstanceName("varn4", directory);
    const std::string base = JoinPath(lockDirectory.empty() ? InstanceRuntimeDirectory() : lockDirectory,
                                      "varn4-" + std::to_string(getuid()) + "-" + name_);
    lockPath_ = base + ".lock";
    socketPath_ = base + ".sock";

    // The runtime directory may be the shared temporary folder: a link or a pipe put under the
    // name by someone else is never followed or waited on, nor is a file of another user used.
    int fd = open(lockPath_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd < 0)
        return state_ = State::Unguarded;
    if (struct stat st {}; fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid()) {
        close(fd);
        return state_ = State::Unguarded;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
        // The owner's directory, for a second start that finds the lock held.
        if (ftruncate(fd, 0) == 0) {
            ssize_t written = write(fd, directory.data(), directory.size());
            (void)written;
        }
        fd_ = fd;
        return state_ = State::Owner;
    }
    const bool held = errno == EWOULDBLOCK;
    State result = State::Unguarded;
    if (held) {
        // The owner writes its directory right after taking the lock: give it a moment.
        for (int attempt = 0; attempt < 50; ++attempt) {
            std::string owner;
            char buffer[4096];
            ssize_t n;
            if (lseek(fd, 0, SEEK_SET) == 0)
                while ((n = read(fd, buffer, sizeof buffer)) > 0)
                    owner.append(buffer, static_cast<size_t>(n));
            if (!owner.empty()) {
                // Another directory whose name came out the same is no reason to end.
                result = owner == directory ? State::Running : State::Unguarded;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    close(fd);
    return state_ = result;
}

void CSingleInstance::Release()
{
    // The lock file stays: removing it could let a start that opened it just now run beside a
    // later one.
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
    state_ = State::None;
}

std::string LocaleMissingMessage(const std::string& error)
{
    return error + "|Varn 4 arbeitet ohne die Sprachdatei weiter: Schaltflächen, Monats- und Tagesnamen "
                   "und die Sortierung erscheinen nicht wie vorgesehen.";
}

std::string ConfigMissingMessage(const std::string& configFile)
{
    return "Die Konfigurationsdatei " + configFile +
           " fehlt.|Sie wird leer angelegt; die Vorgaben der Kriterien und Rahmenbedingungen, die "
           "Warn- und Fehlergrenzen und die Warntexte bleiben leer, bis die Konfigurationsdatei des "
           "Programms wieder an ihrem Platz ist.";
}

namespace {

constexpr const char* kNotAFile =
    " ist keine gewöhnliche Datei (sondern etwa eine benannte Pipe, ein Ordner oder ein Gerät)";

// Something stands under the name that is not a regular file (a link to one is one). Looked at
// without opening it: opening a named pipe waits for a writer.
bool NotAFile(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

} // namespace

std::string NotAFileMessage(const std::string& file)
{
    const std::string name = std::filesystem::path(file).filename().string();
    if (name == "varn4.ini")
        return "Die Einstellungsdatei " + file + kNotAFile +
               " und wird weder gelesen noch überschrieben.|Varn 4 startet mit den Grundeinstellungen; "
               "Fensterpositionen und andere Einstellungen werden nicht gespeichert, solange sie dort steht.";
    if (name == "eba.cfg")
        return "Die Datei " + file + " mit den Konstanten der Belastungseinschätzung" + kNotAFile +
               " und wird nicht gelesen.|Die Konstanten fehlen, bis die Datei des Programms wieder an ihrem "
               "Platz ist.";
    return "Die Konfigurationsdatei " + file + kNotAFile +
           " und wird nicht gelesen.|Die Vorgaben der Kriterien und Rahmenbedingungen, die Warn- und "
           "Fehlergrenzen und die Warntexte bleiben leer, bis die Konfigurationsdatei des Programms wieder an "
           "ihrem Platz ist.";
}

std::string ScratchFolderMessage(const std::string& tempFolder, const std::string& reason)
{
    return "Im Ordner für temporäre Dateien " + tempFolder + " lässt sich kein eigener Ordner anlegen: " + reason +
           ".|Varn 4 startet ohne ihn: Schichttypen, Belastungseinschätzungen und Kosten lassen sich in dieser "
           "Sitzung nicht bearbeiten, und neue Projekte sind erst möglich, wenn der Ordner beschreibbar ist.";
}

std::string ConfigDamagedMessage(const std::string& configFile, const std::string& reason)
{
    return "Die Konfigurationsdatei " + configFile + " ist beschädigt und kann nicht ganz gelesen werden: " + reason +
           ".|Varn 4 startet mit dem, was sich lesen ließ; die Vorgaben der Kriterien und Rahmenbedingungen, die "
           "Warn- und Fehlergrenzen oder die Warntexte können fehlen, bis die Konfigurationsdatei des Programms "
           "ersetzt ist.";
}

void ProgramMain()
{
    const std::string directory = CurrentDirectory();
    // The framework's messages take their texts from the locale when their table is loaded.
    std::string localeError;
    const bool localeLoaded = Locale::Load(JoinPath(directory, "deutsch.env"), &localeError);
    GlobalErrorHandler.Init();
    InitFileAccess(GlobalErrorHandler);
    GlobalIni.Setup(JoinPath(directory, "varn4.ini"));
    FwSetSettings({[](const std::string& section, const std::string& key, const std::string& def) {
                       return GlobalIni.ReadValue(section, key, def);
                   },
                   [](const std::string& section, const std::string& key, const std::string& value) {
                       GlobalIni.WriteValue(section, key, value);
                   }});
    ProgramSettingsHooks->SetupHook();

    ProgramDirectory = directory;
    const bool configExisted = std::filesystem::exists(JoinPath(directory, "varn4.cfg"));
    SetError(ERR_NONE);
    ConfigFileName = NameProgramFiles(directory);
    // The edit files have no name when no private folder could be made for them.
    const bool scratchMissing = TMPSCHICHT.Name().empty();
    const std::string scratchFolder = ErrorFile(), scratchReason = ErrorTextFor(ErrorCode());
    SetError(ERR_NONE);

    if (!localeLoaded)
        PlainNotice(LocaleMissingMessage(localeError));
    // Files in the program directory that are no regular files are neither read nor waited for:
    // the settings read as defaults and are not written, the others as if missing.
    for (const char* name : {"varn4.ini", "eba.cfg"})
        if (NotAFile(JoinPath(directory, name)))
            PlainNotice(NotAFileMessage(JoinPath(directory, name)));
    if (scratchMissing)
        PlainNotice(ScratchFolderMessage(scratchFolder, scratchReason));

    ConfigDamage damage;
    if (NotAFile(ConfigFileName)) {
        PlainNotice(NotAFileMessage(ConfigFileName));
        for (RecordFile* file : {&KRIDEFAULT, &RBDEFAULT, &RBWARN, &RBFEHLER, &WARNTXT})
            damage.tables.push_back(file->Name());
    } else {
        if (!configExisted)
            PlainNotice(ConfigMissingMessage(ConfigFileName));
        damage = configExisted ? CheckConfigTables() : ConfigDamage{};
        if (!damage.tables.empty())
            PlainNotice(ConfigDamagedMessage(ConfigFileName, damage.reason));
    }
    EnsureDefaultsRecords(damage);

    SystemPropertySet(Prop::ToolTipDelay, 1000);
    InstallMessageDialog(true);
    Main();
    ProgramSettingsHooks->ClosingHook();
}

bool ProgramShutdown(int waitMs)
{
    if (!Runtime::WaitAllEnded(waitMs))
        return false;
    InstallMessageDialog(false);
    // A project whose window never closed it (a run that was cut short) goes while the record
    // files are still there; its working copy with it.
    if (GlobalProjektmanager.HasProject())
        GlobalProjektmanager.Projekt().Close();
    // Nor did its window procedure, unwound, report its end: the manager, which outlives the run,
    // forgets the window, or the next run would take it for open and wait for its close in vain.
    CVisual& manager = GlobalProjektmanager;
    manager.IS_RUNNING = false;
    manager.WINMANAGER = nullptr;
    manager.WIN = 0;
    manager.THREAD = 0;
    manager.WAITINGTHREAD = 0;
    manager.SETTARGETCTR = 0;
    GlobalIni.Teardown();
    ReleaseFileAccess();
    // After the release nothing holds them open any more.
    FileRemove(TMPSCHICHT);
    FileRemove(TMPBEL);
    GlobalErrorHandler.Kill();
    FwSetSettings({});
    return true;
}
