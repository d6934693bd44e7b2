#include "core/ProjektFileManager.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <map>
#include <memory>
#include <system_error>
#include <thread>

#include "core/Files.h"
#include "core/Utilities.h"
#include "platform/ui/MessageShow.h"
#include "platform/values/Locale.h"

namespace {

constexpr int kOpenMode = FILE_READ_WRITE | FILE_DENY_ALL;
constexpr int kLockSeconds = 5;

// Blanks and the zero bytes of a C buffer both end a stored name.
std::string ClipName(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.remove_suffix(1);
    return std::string(s);
}

// The working copy of a project file: its name with "~" appended, beside it (in the current
// directory for a name without one). Only "/" separates folders; a backslash belongs to the name.
std::string WorkingCopyName(const std::string& projectFile) {
    std::filesystem::path p(projectFile);
    if (!p.has_parent_path()) {
        std::error_code ec;
        p = std::filesystem::current_path(ec) / p;
    }
    return p.string() + "~";
}

// Where Save builds the reduced working copy: beside the working copy it is to become; a scratch
// name, so it costs no disk syncs.
std::string CompactName(const std::string& workingCopy) { return workingCopy + "~"; }

// Whether two names reach the same file (through links and relative parts).
bool SamePath(const std::string& a, const std::string& b) {
    std::error_code ea, eb;
    const auto pa = std::filesystem::weakly_canonical(std::filesystem::absolute(a, ea), ea);
    const auto pb = std::filesystem::weakly_canonical(std::filesystem::absolute(b, eb), eb);
    return !ea && !eb ? pa == pb : a == b;
}

std::string TableName(const std::string& container, std::string_view table) {
    return container + "\\!" + std::string(table);
}

// A second record file over the layout of `file`, which outlives it.
std::shared_ptr<const Layout> LayoutOf(const RecordFile& file) {
    return std::shared_ptr<const Layout>(std::shared_ptr<const Layout>(), &file.GetLayout());
}

bool FileExists(const std::string& name) {
    std::error_code ec;
    return std::filesystem::exists(name, ec);
}

// Sets the error code again after clean-up work, so that the caller learns the first failure.
class KeepError {
public:
    KeepError() : code_(ErrorCode()), file_(ErrorFile()) {}
    ~KeepError() { SetError(code_, file_); }
    void Set(int code, std::string file) {
        code_ = code;
        file_ = std::move(file);
    }

private:
    int code_;
    std::string file_;
};

// One table of the working copy on its way into the reduced copy: the current step of every
// registered sub-file (renumbered 1) and, untouched, every record of other IDs.
struct TableCopy {
    CSubfileManager* sample;                 // a registered sub-file of the table
    std::map<int32_t, int32_t> steps;        // registered ID -> its current step
    std::unique_ptr<RecordFile> out;
};

uint8_t CopyTable(TableCopy& t, const std::string& target) {
    RecordFile& src = *t.sample->File();
    if (!FileIsOpen(src)) return STORE_REFUSED;
    const Field& idField = src.GetLayout().At("ID");
    const Field& stepField = src.GetLayout().At("STEP");
    const std::string& key = t.sample->KeyName();

    t.out = std::make_unique<RecordFile>(src.Prefix(), LayoutOf(src));
    RecordFile& out = *t.out;
    out.SetName(TableName(target, t.sample->TableName()));
    if (FileCreate(out) != ERR_NONE || FileOpen(out, kOpenMode) != ERR_NONE) return STORE_REFUSED;
    if (FileLogout(kLockSeconds, out) != ERR_NONE) return STORE_REFUSED;

    // The caller's record and place in the table stay as they were.
    const std::vector<uint8_t> saved(src.Bytes().begin(), src.Bytes().end());
    const RecordPosition position = FilePosition(src);
    const auto setKey = [&](int64_t id, int64_t step) {
        src.SetInt(idField, id);
        src.SetInt(stepField, step);
        return FileSet(src, key) == ERR_NONE;
    };
    const auto copy = [&](bool asStepOne) {
        out.CopyFrom(src);
        if (asStepOne) out.SetInt(stepField, 1);
        return FileAdd(out) == ERR_NONE;
    };

    uint8_t result = setKey(INT32_MIN, INT32_MIN) ? STORE_DONE : STORE_REFUSED;
    // The IDs read never go back: each pass moves on, so the copy ends for any content of the
    // table, and a table that reads otherwise is damaged.
    int64_t lowest = INT32_MIN;
    while (result == STORE_DONE) {
        int rc = FileNext(src);
        if (rc == ERR_NO_RECORD) break;
        if (rc != ERR_NONE) {
            result = STORE_REFUSED;
            break;
        }
        const auto id = static_cast<int32_t>(src.GetInt(idField));
        if (id < lowest) {
            SetError(ERR_INVALID_FILE, src.Name());
            result = STORE_REFUSED;
            break;
        }
        lowest = id;
        const auto it = t.steps.find(id);
        if (it == t.steps.end()) {
            if (!copy(false)) result = STORE_REFUSED;
            continue;
        }
        // A registered part: only its current step, then on to the next ID.
        if (!setKey(id, it->second)) {
            result = STORE_REFUSED;
            break;
        }
        while ((rc = FileNext(src)) == ERR_NONE && src.GetInt(idField) == id && src.GetInt(stepField) == it->second)
            if (!copy(true)) {
                rc = ERR_FILE_SYSTEM;
                break;
            }
        if (rc != ERR_NONE && rc != ERR_NO_RECORD) result = STORE_REFUSED;
        else if (id == INT32_MAX) break;
        else if (!setKey(int64_t{id} + 1, INT32_MIN)) result = STORE_REFUSED;
        else lowest = int64_t{id} + 1;
    }

    KeepError keep;
    FileReset(src, position);
    if (position.nextId == position.prevId) FileNext(src);
    std::copy(saved.begin(), saved.end(), src.Bytes().begin());

    if (result == STORE_DONE) {
        const int rc = FileCommit();
        keep.Set(rc, rc == ERR_NONE ? std::string() : target);
        return rc == ERR_NONE ? STORE_DONE : STORE_REFUSED;
    }
    FileRollback();
    return result;
}

} // namespace

CProjektFileManager::CProjektFileManager() = default;

CProjektFileManager::~CProjektFileManager() = default;

// ---- registration ----------------------------------------------------------------------------

uint8_t CProjektFileManager::Register(CSubfileManager& subfile, ISavable& savable) {
    // A local number beyond its range would wrap into another part's identity.
    if (!subfile.File() || idCounter_ < 1 || idCounter_ >= CSubfileManager::kLocalNumbers) return STORE_REFUSED;
    subfile.AssignID(idCounter_);
    if (!physFileName_.empty()) subfile.UseFile(physFileName_);
    subfiles_.push_back(&subfile);
    savables_.push_back(&savable);
    ++idCounter_;
    return STORE_DONE;
}

void CProjektFileManager::Unregister(CSubfileManager& subfile, ISavable& savable) {
    if (const auto it = std::find(subfiles_.begin(), subfiles_.end(), &subfile); it != subfiles_.end())
        subfiles_.erase(it);
    RemoveSavable(savable);
}

void CProjektFileManager::RemoveSavable(ISavable& savable) {
    if (const auto it = std::find(savables_.begin(), savables_.end(), &savable); it != savables_.end())
        savables_.erase(it);
}

// ---- opening ---------------------------------------------------------------------------------

uint8_t CProjektFileManager::Open(std::string_view name) { return OpenWorkingCopy(name, true); }

uint8_t CProjektFileManager::OpenNew(std::string_view name) { return OpenWorkingCopy(name, false); }

uint8_t CProjektFileManager::OpenNewPrivate(std::string_view name) { return OpenWorkingCopy(name, false, true); }

uint8_t CProjektFileManager::OpenWorkingCopy(std::string_view name, bool readFile, bool privateCopy) {
    fileName_ = ClipName(name);
    problem_.clear();
    if (fileName_.empty() || fileName_.back() == '/') {
        physFileName_.clear();
        SetError(ERR_INVALID_NAME, fileName_);
        return STORE_REFUSED;
    }
    // A project without a file of its own yet keeps its working copy among this process's scratch
    // files: beside a name every new project has, two programs would share one working copy.
    physFileName_ = privateCopy ? FileScratchName(std::filesystem::path(fileName_).filename().string())
                                : WorkingCopyName(fileName_);
    if (physFileName_.empty()) {
        // No private folder: the working copy goes nowhere else.
        problem_ = "Im Ordner für temporäre Dateien „" + ErrorFile() +
                   "“ lässt sich kein eigener Ordner für die Arbeitskopie anlegen.";
        return STORE_REFUSED;
    }
    const bool read = readFile && FileExists(fileName_);
    // The project file stays locked while the project is open, so that another program can
    // neither open it nor save over it meanwhile.
    if (read) {
        if (FileHoldNamed(fileName_) != ERR_NONE) {
            physFileName_.clear();
            return STORE_REFUSED;
        }
        heldName_ = fileName_;
    }

    // A working copy left by an earlier run is stale.
    FileRemoveNamed(physFileName_);
    FileRemoveNamed(CompactName(physFileName_));

    uint8_t result;
    if (read) {
        result = FileCopyNamed(fileName_, physFileName_) == ERR_NONE ? STORE_DONE : STORE_REFUSED;
        if (result == STORE_DONE) result = CheckWholeFile();
        if (result == STORE_DONE) result = CheckStamp();
    } else {
        result = CreateStamp();
    }
    if (result != STORE_DONE) {
        // A refused file leaves nothing behind.
        KeepError keep;
        FileRemoveNamed(physFileName_);
        physFileName_.clear();
        ReleaseHold();
        return result;
    }
    result = OpenTables();
    ClearChanged();
    return result;
}

// The working copy read whole before any part is loaded: a project opens complete or not at all.
// Key columns that disagree with their records are repaired from the records (in the working
// copy only; the project file changes at the next save).
uint8_t CProjektFileManager::CheckWholeFile() {
    FileCheckReport report;
    const int rc = FileCheckNamed(physFileName_, true, &report);
    if (rc == ERR_NONE) return CheckSingleRecords();
    if (rc == ERR_INVALID_FILE) {
        if (!report.table.empty()) {
            problem_ = "Beschädigt ist die Tabelle \"" + report.table + "\"";
            if (report.record > 0) problem_ += ", Datensatz " + std::to_string(report.record);
            problem_ += ": " + report.problem;
        } else {
            problem_ = report.problem;
        }
    }
    SetError(rc, fileName_);
    return STORE_REFUSED;
}

// The project information and each worksheet keep one record per step. A second record of the
// same (ID, step) would load as a further worksheet, or leave an information part that can never
// be saved: such a file is refused, naming the table and the record. One pass in key order.
uint8_t CProjektFileManager::CheckSingleRecords() {
    const std::pair<RecordFile*, std::string_view> tables[] = {{&INFO, "Projektinfo"}, {&BLATT, "Arbeitsblatt"}};
    for (const auto& [file, table] : tables) {
        GlobalFileName = TableName(physFileName_, table);
        RecordFile check(file->Prefix(), LayoutOf(*file));
        check.SetName(GlobalFileName);
        int rc = FileOpen(check, FILE_READ_ONLY | FILE_DENY_WRITE);
        if (rc == ERR_FILE_NOT_FOUND) continue;
        const Field* id = check.GetLayout().Find("ID");
        const Field* step = check.GetLayout().Find("STEP");
        if (rc == ERR_NONE && (!id || !step)) rc = ERR_INVALID_FILE;
        if (rc == ERR_NONE) rc = FileSet(check, "KeyID");
        int64_t lastId = 0, lastStep = 0;
        bool first = true;
        while (rc == ERR_NONE && (rc = FileNext(check)) == ERR_NONE) {
            const int64_t i = check.GetInt(*id), st = check.GetInt(*step);
            if (!first && i == lastId && st == lastStep && i != CSubfileManager::kNoID) {
                problem_ = "Beschädigt ist die Tabelle \"" + std::string(table) + "\": Der Datensatz mit der Kennung " +
                           std::to_string(i) + " und dem Schritt " + std::to_string(st) + " ist mehrfach vorhanden.";
                rc = ERR_INVALID_FILE;
                break;
            }
            first = false;
            lastId = i;
            lastStep = st;
        }
        FileClose(check);
        if (rc != ERR_NO_RECORD) {
            if (problem_.empty()) problem_ = "Die Tabelle \"" + std::string(table) + "\" kann nicht gelesen werden.";
            SetError(rc == ERR_NONE ? ERR_INVALID_FILE : rc, fileName_);
            return STORE_REFUSED;
        }
    }
    SetError(ERR_NONE);
    return STORE_DONE;
}

void CProjektFileManager::ReleaseHold() {
    if (heldName_.empty()) return;
    FileReleaseNamed(heldName_);
    heldName_.clear();
}

uint8_t CProjektFileManager::CheckStamp() {
    GlobalFileName = TableName(physFileName_, kStampTable);
    if (const int rc = FileOpen(STAMP, kOpenMode); rc != ERR_NONE) {
        // Without a stamp of ours the file is no project file.
        if (rc == ERR_FILE_NOT_FOUND || rc == ERR_LAYOUT_MISMATCH) SetError(ERR_INVALID_FILE, fileName_);
        return STORE_REFUSED;
    }
    uint8_t result = STORE_DONE;
    bool oldFormat = false;
    if (FileSet(STAMP) != ERR_NONE || FileNext(STAMP) != ERR_NONE) result = STORE_REFUSED;
    else if (STAMP.GetString("VERSION") != kStampVersion) result = STORE_REFUSED;
    else if (LocaleCompare(STAMP.GetString("MINORVERSION"), kStampMinorVersion) != 0) {
        result = STORE_REFUSED;
        oldFormat = true;
    }
    FileClose(STAMP);
    if (result != STORE_DONE) SetError(ERR_INVALID_FILE, fileName_);
    if (oldFormat) {
        MessageRequest m;
        m.text = "Diese Projektdatei wurde mit einer vorherigen Version von Varn 4 erstellt und kann nicht "
                 "geöffnet werden, weil sich das Dateiformat geändert hat.";
        m.caption = "alte Datei kann nicht geöffnet werden";
        m.icon = MessageIcon::Exclamation;
        m.buttonBits = BUTTON_OK;
        MessageShow(m);
    }
    return result;
}

uint8_t CProjektFileManager::CreateStamp() {
    GlobalFileName = TableName(physFileName_, kStampTable);
    if (FileCreate(STAMP) != ERR_NONE || FileOpen(STAMP, kOpenMode) != ERR_NONE) return STORE_REFUSED;
    STAMP.Clear();
    STAMP.SetString("VERSION", kStampVersion);
    STAMP.SetString("MINORVERSION", kStampMinorVersion);
    STAMP.SetInt("IDSEED", idCounter_);
    const uint8_t result = FileAdd(STAMP) == ERR_NONE ? STORE_DONE : STORE_REFUSED;
    KeepError keep;
    FileClose(STAMP);
    return result;
}

void CProjektFileManager::LoadIDCounter() {
    idCounter_ = std::max<int32_t>(1, static_cast<int32_t>(STAMP.GetInt("IDSEED")));
}

uint8_t CProjektFileManager::OpenTables() {
    uint8_t result = STORE_DONE;
    for (CSubfileManager* s : subfiles_)
        if (s->UseFile(physFileName_) != STORE_DONE) result = STORE_REFUSED;
    return result;
}

void CProjektFileManager::CloseTables() {
    for (CSubfileManager* s : subfiles_) s->CloseFile();
}

// ---- saving ----------------------------------------------------------------------------------

// The working copy replaced by one that holds only the current step of every registered part
// (as step 1) and the records of other IDs, so that saving costs what the current data costs
// and not what the undo steps held. The new working copy is built beside `target`, the file
// about to be saved, and then takes the old one's place: saving to another disk needs no room
// where the old working copy lies (a full disk, a folder gone). Every path out of here leaves the
// tables open exactly as they were found.
uint8_t CProjektFileManager::CompactWorkingCopy(const std::string& target) {
    const std::string newCopy = WorkingCopyName(target);
    const std::string compact = CompactName(newCopy);
    FileRemoveNamed(compact);

    std::vector<TableCopy> tables;
    for (CSubfileManager* s : subfiles_) {
        if (!s->File()) continue;
        auto it = std::find_if(tables.begin(), tables.end(), [&](const TableCopy& t) { return t.sample->File() == s->File(); });
        if (it == tables.end()) it = tables.insert(tables.end(), TableCopy{s, {}, nullptr});
        // A part with no step yet keeps whatever its ID holds.
        if (s->GetID() != CSubfileManager::kNoID && s->CurrentStep() > 0) it->steps[s->GetID()] = s->CurrentStep();
    }

    uint8_t result = STORE_DONE;
    {
        RecordFile stamp(STAMP.Prefix(), LayoutOf(STAMP));
        stamp.SetName(TableName(compact, kStampTable));
        if (FileCreate(stamp) != ERR_NONE || FileOpen(stamp, kOpenMode) != ERR_NONE) result = STORE_REFUSED;
        else {
            stamp.SetString("VERSION", kStampVersion);
            stamp.SetString("MINORVERSION", kStampMinorVersion);
            stamp.SetInt("IDSEED", idCounter_);
            if (FileAdd(stamp) != ERR_NONE) result = STORE_REFUSED;
        }
        for (TableCopy& t : tables)
            if (result == STORE_DONE) result = CopyTable(t, compact);
        for (TableCopy& t : tables) t.out.reset();
    }
    bool closed = false;
    if (result == STORE_DONE) {
        CloseTables();
        closed = true;
        // A working copy of that name is stale unless it is ours or open (then it is not ours to
        // take: another project has it).
        if (newCopy != physFileName_) {
            const int rc = FileRemoveNamed(newCopy);
            if (rc != ERR_NONE && rc != ERR_FILE_NOT_FOUND) result = STORE_REFUSED;
        }
    }
    if (result == STORE_DONE) {
        // The old working copy holds every step since opening; the kernel frees its blocks when
        // its last reference goes. That reference is dropped on another thread, so the cost of
        // the history stays out of saving.
        const int oldCopy = ::open(physFileName_.c_str(), O_RDONLY | O_CLOEXEC);
        // A copy, not a rename: the reduced copy may still hold its last commits in its log.
        if (FileCopyNamed(compact, newCopy) != ERR_NONE) result = STORE_REFUSED;
        if (result == STORE_DONE && newCopy != physFileName_) {
            KeepError keep;
            FileRemoveNamed(physFileName_);
            FileRemoveNamed(CompactName(physFileName_));
            physFileName_ = newCopy;
        }
        if (oldCopy >= 0 && result == STORE_DONE) std::thread([oldCopy] { ::close(oldCopy); }).detach();
        else if (oldCopy >= 0) ::close(oldCopy);
    }
    {
        KeepError keep;
        FileRemoveNamed(compact);
    }
    if (result == STORE_DONE) {
        for (CSubfileManager* s : subfiles_)
            if (s->CurrentStep() > 0) s->SetStepState({1, 1, s->HasChanged()});
    }
    if (closed) {
        KeepError keep;
        if (OpenTables() != STORE_DONE) result = STORE_REFUSED;
    }
    return result;
}

uint8_t CProjektFileManager::Save(std::string_view name, bool keepName) {
    const std::string target = ClipName(name);
    problem_.clear();
    if (physFileName_.empty() || target.empty() || target.back() == '/') {
        SetError(ERR_INVALID_NAME, target);
        return STORE_REFUSED;
    }
    // A part that did not load completely would overwrite its good records with what it lacks.
    for (const CSubfileManager* s : subfiles_)
        if (s->LoadFailed()) {
            SetError(ERR_INVALID_FILE, fileName_);
            problem_ = "Ein Teil des Projekts konnte nicht vollständig gelesen werden.";
            return STORE_REFUSED;
        }
    // A file marked read-only is not replaced behind the user's back.
    if (struct stat st {}; ::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & 0222) == 0) {
        SetError(ERR_ACCESS_DENIED, target);
        problem_ = "Die Datei ist schreibgeschützt. Bitte speichern Sie das Projekt unter einem anderen Namen.";
        return STORE_REFUSED;
    }
    // A file that another program (or another project) holds open is not ours to replace.
    const bool ours = !heldName_.empty() && SamePath(target, heldName_);
    bool takeHold = false;
    if (!ours) {
        if (FileHeldNamed(target)) {
            SetError(ERR_FILE_IN_USE, target);
            return STORE_REFUSED;
        }
        if (!keepName) {
            if (FileHoldNamed(target) != ERR_NONE) return STORE_REFUSED;
            takeHold = true;
        }
    }

    // Tables that a failed save could not open again (a full disk) are opened now, so that the
    // work can be saved once there is room, or elsewhere.
    if (std::any_of(subfiles_.begin(), subfiles_.end(), [](const CSubfileManager* s) { return s->File() && !FileIsOpen(*s->File()); })) {
        CloseTables();
        OpenTables();
    }
    uint8_t result = CompactWorkingCopy(target);
    for (ISavable* part : std::vector<ISavable*>(savables_)) {
        if (result != STORE_DONE) break;
        if (part->Save() != STORE_DONE) result = STORE_REFUSED;
    }
    if (result == STORE_DONE) {
        CloseTables();
        // Through a temporary file and a rename: the old project file stays until the new one
        // is complete.
        if (FileCopyNamed(physFileName_, target) != ERR_NONE) result = STORE_REFUSED;
        KeepError keep;
        if (OpenTables() != STORE_DONE && result == STORE_DONE) result = STORE_REFUSED;
    }
    if (result == STORE_DONE) {
        if (!keepName) {
            if (takeHold) {
                ReleaseHold();
                heldName_ = target;
            }
            fileName_ = target;
        }
        ClearChanged();
    } else if (takeHold) {
        KeepError keep;
        FileReleaseNamed(target);
    }
    // A refused save always says why.
    if (result != STORE_DONE && ErrorCode() == ERR_NONE) SetError(ERR_FILE_SYSTEM, target);
    return result;
}

// ---- closing and changes ---------------------------------------------------------------------

void CProjektFileManager::Close() {
    for (CSubfileManager* s : std::vector<CSubfileManager*>(subfiles_)) s->Release();
    subfiles_.clear();
    savables_.clear();
    if (!physFileName_.empty()) {
        FileRemoveNamed(physFileName_);
        FileRemoveNamed(CompactName(physFileName_));
    }
    ReleaseHold();
    idCounter_ = 1;
    hasChanged_ = false;
    fileName_.clear();
    physFileName_.clear();
}

bool CProjektFileManager::IsChanged() const {
    return hasChanged_ || std::any_of(subfiles_.begin(), subfiles_.end(), [](const CSubfileManager* s) { return s->HasChanged(); });
}

void CProjektFileManager::ClearChanged() {
    hasChanged_ = false;
    for (CSubfileManager* s : subfiles_) s->SetChanged(false);
}
