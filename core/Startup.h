#pragma once
// Start-up and shut-down of the program, and the guard that lets one instance run per program
// directory.
//
// ProgramMain runs on logical thread 1: it loads the locale (the error object's messages read
// it), sets up the error object, the record files and the settings file, names the program's
// files in the program directory (the current directory at start), tells of a missing locale,
// of a start-up file that is no regular file (never read nor waited on) and of a temporary folder
// that takes no private folder, makes sure the four defaults tables of "varn4.cfg" hold a record,
// installs the message dialog and runs the frame until the user quits. ProgramShutdown releases
// all of it; the caller runs it only after every logical thread has ended, so nothing is released
// while a thread may still use it.
#include <string>
#include <string_view>

// The program directory (the current directory at start-up, absolute) and the configuration
// file in it; empty before start-up.
extern std::string ProgramDirectory;
extern std::string ConfigFileName;

class FwIni;
// The settings whose set-up hook start-up calls once the settings file is set up and whose
// closing hook it calls right after the frame has closed: GlobalIni.
extern FwIni* ProgramSettingsHooks;

// The current directory, absolute and with symbolic links resolved.
std::string CurrentDirectory();

// The guard's name: 38 characters shaped like a registry GUID ("{xxxxxxxx-xxxx-xxxx-xxxx-
// xxxxxxxxxxxx}", hexadecimal digits without F), computed from the product word and the
// directory, both in upper case. Every character of the directory counts: the 33rd character of
// the text and those after it are folded onto the 32 digits.
std::string SingleInstanceName(std::string_view productWord, std::string_view directory);

// A lock per program directory, held by the running instance until it ends (the system drops it
// with the process, so a crash leaves no stale guard). The lock file lives in the user's runtime
// directory and holds the directory of its owner, so two directories whose names happen to agree
// never stop each other.
class CSingleInstance {
public:
    enum class State {
        None,        // not tried yet, or released
        Owner,       // this instance holds the guard
        Running,     // an instance of the same directory runs
        Unguarded,   // no guard could be had: start without one
    };

    CSingleInstance() = default;
    ~CSingleInstance();
    CSingleInstance(const CSingleInstance&) = delete;
    CSingleInstance& operator=(const CSingleInstance&) = delete;

    // Takes the guard of `directory`; the lock and the socket lie in `lockDirectory` (empty: the
    // user's runtime directory, else the temporary directory).
    State Acquire(const std::string& directory, const std::string& lockDirectory = {});
    void Release();

    State GetState() const { return state_; }
    const std::string& Name() const { return name_; }
    // Where the running instance listens for a second start's request.
    const std::string& SocketPath() const { return socketPath_; }
    const std::string& LockPath() const { return lockPath_; }

private:
    int fd_ = -1;
    State state_ = State::None;
    std::string name_, lockPath_, socketPath_;
};

// The user's runtime directory ($XDG_RUNTIME_DIR when it exists), else the temporary directory.
std::string InstanceRuntimeDirectory();

// Start-up, the frame until the user quits; on logical thread 1.
void ProgramMain();
// The shut-down, off the logical threads once the frame has gone. It first waits up to `waitMs`
// until every logical thread has ended; while one still runs it releases nothing and returns
// false (the process may end, but nothing is pulled away from a thread that may still use it).
// Then: a project still open closed (its working copy removed), the settings' own bookkeeping
// written, the record files released, the edit files of the shift types and the strain
// assessments removed (all of them live in the program's own temporary folder, which goes when
// the process ends), the error object reset, the message dialog and the settings connection
// removed.
bool ProgramShutdown(int waitMs = 10000);

// The start-up messages (tests compare them).
std::string LocaleMissingMessage(const std::string& error);
std::string ConfigMissingMessage(const std::string& configFile);
// The one notice at start-up about "varn4.ini", "eba.cfg" or "varn4.cfg" (by the file's name)
// when something else than a regular file stands in its place (a named pipe, a folder).
std::string NotAFileMessage(const std::string& file);
// The notice at start-up when no private folder for the edit files and working copies can be made
// in the temporary folder.
std::string ScratchFolderMessage(const std::string& tempFolder, const std::string& reason);
// The one notice at start-up about a configuration file that cannot be read whole.
std::string ConfigDamagedMessage(const std::string& configFile, const std::string& reason);
