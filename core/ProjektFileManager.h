#pragma once
// CProjektFileManager: a project file (".prj", a container of record tables), its working copy
// (the project file's name with "~" appended, beside it) and the parts stored in it.
//
// All editing happens in the working copy: Open copies the project file there, every edit of a
// part is an undo step in it, Save reduces every part to one step and copies the working copy
// over the project file (through a temporary file and a rename, so the project file is always
// either the old or the new state), Close removes it.
//
// The table "Filestamp" holds one STAMP record: VERSION "Varn 4.0", MINORVERSION "Alpha 4.13",
// IDSEED = the next local number at the last save, so that new parts continue above it.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/Savable.h"
#include "core/SubfileManager.h"

inline constexpr std::string_view kStampTable = "Filestamp";
inline constexpr std::string_view kStampVersion = "Varn 4.0";
inline constexpr std::string_view kStampMinorVersion = "Alpha 4.13";

class CProjektFileManager {
public:
    CProjektFileManager();
    ~CProjektFileManager();
    CProjektFileManager(const CProjektFileManager&) = delete;
    CProjektFileManager& operator=(const CProjektFileManager&) = delete;

    // Gives the sub-file the next local number (under its parent), opens its table in the working
    // copy when a project is open, and appends both to the lists. STORE_REFUSED, with nothing
    // registered and the sub-file left without identity, when the sub-file is unbound or the
    // local numbers (1 .. 32767) are used up.
    uint8_t Register(CSubfileManager& subfile, ISavable& savable);
    // Removes the first row of the sub-file and the first row of the part.
    void Unregister(CSubfileManager& subfile, ISavable& savable);
    // Removes the part only: a composite part saves its parts itself while their sub-files stay
    // registered for opening, closing and the change test.
    void RemoveSavable(ISavable& savable);

    // Opens the project file `name` in a fresh working copy: 0, or STORE_REFUSED when the copy
    // fails, the stamp is missing or of another version, or a registered table cannot be opened.
    // A refused file leaves no working copy behind; the file error code tells why.
    // A name that does not exist starts a new project.
    uint8_t Open(std::string_view name);
    // Starts a new project named `name` in a fresh working copy, never reading a file of that
    // name that may lie about.
    uint8_t OpenNew(std::string_view name);
    // As OpenNew, with the working copy a private scratch file of this process (a new unnamed
    // project: another program started in the same folder makes one of the same name).
    // STORE_REFUSED, with nothing written anywhere, when no private folder can be made.
    uint8_t OpenNewPrivate(std::string_view name);
    // Reduces every part to one step and writes the working copy to `name` (FileName() becomes
    // `name` unless keepName). STORE_REFUSED, with the file at `name` as it was, when a part did
    // not load completely, a part fails to save or the copy fails; the project then stays changed.
    uint8_t Save(std::string_view name, bool keepName);
    // Closes every table, removes the working copy, unbinds sub-files still registered and empties
    // both lists; the local numbers start at 1 again.
    void Close();
    // The next local number := the IDSEED of the stamp read by Open.
    void LoadIDCounter();
    uint8_t CheckStamp();
    uint8_t CreateStamp();

    void SetChanged() { hasChanged_ = true; }
    bool IsChanged() const;
    void ClearChanged();

    const std::string& FileName() const { return fileName_; }
    const std::string& PhysFileName() const { return physFileName_; }
    // What the last refused Open or Save found beyond the file error code, in German (the damaged
    // table and record of a project that cannot be read whole); empty when nothing more is known.
    // Close keeps it for the message that follows.
    const std::string& Problem() const { return problem_; }
    int32_t IDCounter() const { return idCounter_; }
    const std::vector<CSubfileManager*>& Subfiles() const { return subfiles_; }
    const std::vector<ISavable*>& Savables() const { return savables_; }

private:
    uint8_t OpenWorkingCopy(std::string_view name, bool readFile, bool privateCopy = false);
    uint8_t CompactWorkingCopy(const std::string& target);
    uint8_t CheckWholeFile();
    uint8_t CheckSingleRecords();
    void ReleaseHold();
    void CloseTables();
    uint8_t OpenTables();

    std::vector<CSubfileManager*> subfiles_;
    std::vector<ISavable*> savables_;
    std::string fileName_;
    std::string physFileName_;
    std::string heldName_;   // the project file locked while the project is open
    std::string problem_;
    int32_t idCounter_ = 1;
    bool hasChanged_ = false;
};
