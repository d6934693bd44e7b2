#include "core/SubfileManager.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <stdexcept>

#include "core/Files.h"

namespace {

constexpr int kOpenMode = FILE_READ_WRITE | FILE_DENY_ALL;
constexpr int kLockSeconds = 5;

// Program-wide users of each record file, so that a table shared by several parts is opened once.
struct UseRow {
    const RecordFile* file;
    int use;
};

// Never destroyed: a part released by a static destructor at the end of the process still finds
// it.
std::vector<UseRow>& UseCounts() {
    static auto* rows = new std::vector<UseRow>;
    return *rows;
}

UseRow& UseOf(const RecordFile& file) {
    auto& rows = UseCounts();
    const auto it = std::find_if(rows.begin(), rows.end(), [&](const UseRow& r) { return r.file == &file; });
    if (it != rows.end()) return *it;
    rows.push_back({&file, 0});
    return rows.back();
}

int32_t FloorMod(int32_t a, int32_t m) {
    const int32_t r = a % m;
    return r < 0 ? r + m : r;
}

// Keeps the caller's record in the table's buffer across a read of the store.
class KeepBuffer {
public:
    explicit KeepBuffer(RecordFile& f) : file_(f), saved_(f.Bytes().begin(), f.Bytes().end()) {}
    ~KeepBuffer() {
        if (restore_) std::memcpy(file_.Bytes().data(), saved_.data(), saved_.size());
    }
    void Keep(bool restore) { restore_ = restore; }
    const std::vector<uint8_t>& Saved() const { return saved_; }

private:
    RecordFile& file_;
    std::vector<uint8_t> saved_;
    bool restore_ = true;
};

} // namespace

// ---- transaction -----------------------------------------------------------------------------

SubfileTransaction::SubfileTransaction(RecordFile& file) {
    if (FileInTransaction()) {
        started_ = true;
        return;
    }
    own_ = started_ = FileLogout(kLockSeconds, file) == ERR_NONE;
}

SubfileTransaction::~SubfileTransaction() {
    if (own_) FileRollback();
}

uint8_t SubfileTransaction::Finish(uint8_t result) {
    if (!started_) return STORE_REFUSED;
    if (!own_) return result;
    own_ = false;
    if (result == STORE_DONE) return FileCommit() == ERR_NONE ? STORE_DONE : STORE_REFUSED;
    FileRollback();
    return result;
}

// ---- binding ---------------------------------------------------------------------------------

CSubfileManager::CSubfileManager() = default;

CSubfileManager::~CSubfileManager() { Release(); }

void CSubfileManager::Init(std::string tableName, RecordFile& file, CSubfileManager* parent,
                           std::string_view key, std::string_view idField, std::string_view stepField) {
    if (file_) Release();
    if (file.GetLayout().FindKey(key) < 0) throw std::out_of_range(file.Prefix() + ": unknown key " + std::string(key));
    tableName_ = std::move(tableName);
    file_ = &file;
    key_ = std::string(key);
    idField_ = &file.GetLayout().At(idField);
    stepField_ = &file.GetLayout().At(stepField);
    parent_ = parent;
    buffer_.assign(static_cast<size_t>(file.Size()), 0);
    hasChanged_ = false;
    loadFailed_ = false;
}

void CSubfileManager::Release() {
    if (file_) CloseFile();
    id_ = kNoID;
    parent_ = nullptr;
    idField_ = stepField_ = nullptr;
    buffer_.clear();
    buffer_.shrink_to_fit();
    file_ = nullptr;
    hasChanged_ = loadFailed_ = false;
    stepsInFile_ = currentStep_ = 0;
    key_.clear();
    tableName_.clear();
}

uint8_t CSubfileManager::UseFile(std::string_view container) {
    if (!file_) return STORE_REFUSED;
    GlobalFileName = std::string(container) + "\\!" + tableName_;
    UseRow& row = UseOf(*file_);
    if (row.use == 0) {
        if (FileOpen(*file_, kOpenMode) == ERR_FILE_NOT_FOUND && FileCreate(*file_) == ERR_NONE)
            FileOpen(*file_, kOpenMode);
    }
    if (FileOpenMode(*file_) != kOpenMode) return STORE_REFUSED;
    ++row.use;
    return STORE_DONE;
}

uint8_t CSubfileManager::CloseFile() {
    if (!file_) return STORE_DONE;
    UseRow& row = UseOf(*file_);
    if (row.use == 1) FileClose(*file_);
    if (row.use > 0) --row.use;
    return STORE_DONE;
}

int CSubfileManager::UseCount(const RecordFile& file) {
    for (const UseRow& r : UseCounts())
        if (r.file == &file) return r.use;
    return 0;
}

// ---- identity --------------------------------------------------------------------------------

int32_t CSubfileManager::ComposeID(int32_t n, int32_t parentID) const {
    if (!parent_) return n;
    return FloorMod(parentID, kLocalNumbers) * kLocalNumbers + n;
}

void CSubfileManager::AssignID(int32_t n) { id_ = ComposeID(n, parent_ ? parent_->GetID() : 0); }

void CSubfileManager::Reparent(int32_t parentID) {
    if (id_ == kNoID) return;
    id_ = ComposeID(FloorMod(id_, kLocalNumbers), parentID);
}

bool CSubfileManager::BelongsToParent(int32_t recordID) const {
    if (recordID <= 0) return false;
    const int32_t owner = recordID / kLocalNumbers;
    return parent_ ? owner == FloorMod(parent_->GetID(), kLocalNumbers) : owner == 0;
}

int32_t CSubfileManager::RecordID() const { return static_cast<int32_t>(file_->GetInt(*idField_)); }
int32_t CSubfileManager::RecordStep() const { return static_cast<int32_t>(file_->GetInt(*stepField_)); }

void CSubfileManager::SetKey(int32_t id, int32_t step) {
    file_->SetInt(*idField_, id);
    file_->SetInt(*stepField_, step);
}

void CSubfileManager::SetStepState(const StepState& s) {
    currentStep_ = s.currentStep;
    stepsInFile_ = s.stepsInFile;
    hasChanged_ = s.hasChanged;
}

// ---- steps -----------------------------------------------------------------------------------

uint8_t CSubfileManager::TakeNewStep() {
    if (!file_ || id_ == kNoID) return STORE_REFUSED;
    const StepState before = GetStepState();
    hasChanged_ = true;
    ++currentStep_;
    if (currentStep_ <= stepsInFile_) {
        // Steps were undone: they go before the new step is written, so steps never mix.
        KeepBuffer keep(*file_);
        SubfileTransaction t(*file_);
        uint8_t result = t.Started() ? STORE_DONE : STORE_REFUSED;
        if (result == STORE_DONE) {
            SetKey(id_, currentStep_);
            if (FileSet(*file_, key_) != ERR_NONE) result = STORE_REFUSED;
            while (result == STORE_DONE) {
                const int rc = FileNext(*file_);
                if (rc == ERR_NO_RECORD || (rc == ERR_NONE && RecordID() != id_)) break;
                if (rc != ERR_NONE || FileDelete(*file_) != ERR_NONE) result = STORE_REFUSED;
            }
        }
        if (t.Finish(result) != STORE_DONE) {
            SetStepState(before);
            return STORE_REFUSED;
        }
    }
    stepsInFile_ = currentStep_;
    return STORE_DONE;
}

// ---- reading ---------------------------------------------------------------------------------

uint8_t CSubfileManager::load(bool fromStart) {
    if (!file_) return STORE_REFUSED;
    KeepBuffer keep(*file_);
    uint8_t result = STORE_DONE;
    if (fromStart) {
        if (parent_) Reparent(parent_->GetID());
        SetKey(parent_ ? ComposeID(0, parent_->GetID()) : 0, 0);
        hasChanged_ = false;
        if (FileSet(*file_, key_) != ERR_NONE) result = STORE_FILE_ERROR;
    }
    if (result == STORE_DONE) {
        const int rc = FileNext(*file_);
        if (rc == ERR_NO_RECORD) result = STORE_REFUSED;
        else if (rc != ERR_NONE) result = STORE_FILE_ERROR;
        else if (!BelongsToParent(RecordID())) result = STORE_REFUSED;
    }
    if (result == STORE_DONE) {
        id_ = RecordID();
        currentStep_ = stepsInFile_ = RecordStep();
        keep.Keep(false);
        SaveRecord();
    }
    if (result == STORE_FILE_ERROR) loadFailed_ = true;
    else if (fromStart) loadFailed_ = false;
    return result;
}

uint8_t CSubfileManager::fetch() {
    if (!file_) return STORE_REFUSED;
    KeepBuffer keep(*file_);
    SetKey(id_, currentStep_);
    uint8_t result = STORE_DONE;
    if (FileSet(*file_, key_) != ERR_NONE) result = STORE_FILE_ERROR;
    else {
        const int rc = FileNext(*file_);
        if (rc == ERR_NO_RECORD) result = STORE_REFUSED;
        else if (rc != ERR_NONE) result = STORE_FILE_ERROR;
        else if (RecordID() != id_ || RecordStep() != currentStep_) result = STORE_REFUSED;
    }
    keep.Keep(result != STORE_DONE);
    loadFailed_ = result == STORE_FILE_ERROR;
    return result;
}

uint8_t CSubfileManager::FetchKeep() {
    if (!file_) return STORE_REFUSED;
    KeepBuffer keep(*file_);
    const bool failedBefore = loadFailed_;
    const uint8_t result = fetch();
    // Only a test: the part's content is what it was, complete or not.
    if (result != STORE_FILE_ERROR) loadFailed_ = failedBefore;
    return result;
}

bool CSubfileManager::IsNextInStep() {
    if (!file_) return false;
    KeepBuffer keep(*file_);
    const int rc = FileNext(*file_);
    if (rc != ERR_NONE) {
        if (rc != ERR_NO_RECORD) loadFailed_ = true;
        return false;
    }
    const bool inStep = RecordID() == id_ && RecordStep() == currentStep_;
    FilePrevious(*file_);
    return inStep;
}

uint8_t CSubfileManager::ReadNextInStep() {
    if (!file_) return STORE_REFUSED;
    KeepBuffer keep(*file_);
    const int rc = FileNext(*file_);
    if (rc == ERR_NO_RECORD) return STORE_REFUSED;
    if (rc != ERR_NONE) {
        loadFailed_ = true;
        return STORE_FILE_ERROR;
    }
    if (RecordID() != id_ || RecordStep() != currentStep_) {
        // Back onto the last record of the step, where reading the next sub-file goes on.
        if (FilePrevious(*file_) != ERR_NONE) {
            loadFailed_ = true;
            return STORE_FILE_ERROR;
        }
        return STORE_REFUSED;
    }
    keep.Keep(false);
    SaveRecord();
    return STORE_DONE;
}

void CSubfileManager::PrimeKey() {
    if (file_) SetKey(id_, currentStep_);
}

void CSubfileManager::SaveRecord() {
    if (file_ && !buffer_.empty()) std::memcpy(buffer_.data(), file_->Bytes().data(), buffer_.size());
}

void CSubfileManager::RestoreRecord() {
    if (file_ && !buffer_.empty()) std::memcpy(file_->Bytes().data(), buffer_.data(), buffer_.size());
}

// ---- deleting and compacting -----------------------------------------------------------------

uint8_t CSubfileManager::DeleteAll(bool allIds) {
    if (!file_) return STORE_REFUSED;
    KeepBuffer keep(*file_);
    SubfileTransaction t(*file_);
    uint8_t result = t.Started() ? STORE_DONE : STORE_REFUSED;
    if (result == STORE_DONE) {
        SetKey(allIds ? 0 : id_, 0);
        if (FileSet(*file_, key_) != ERR_NONE) result = STORE_REFUSED;
        while (result == STORE_DONE) {
            const int rc = FileNext(*file_);
            if (rc == ERR_NO_RECORD || (rc == ERR_NONE && !allIds && RecordID() != id_)) break;
            if (rc != ERR_NONE || FileDelete(*file_) != ERR_NONE) result = STORE_REFUSED;
        }
    }
    result = t.Finish(result);
    if (result == STORE_DONE) currentStep_ = stepsInFile_ = 0;
    return result;
}

uint8_t CSubfileManager::Compact() {
    if (!file_ || id_ == kNoID) return STORE_REFUSED;
    KeepBuffer keep(*file_);
    SubfileTransaction t(*file_);
    uint8_t result = t.Started() ? STORE_DONE : STORE_REFUSED;
    if (result == STORE_DONE) {
        SetKey(id_, 0);
        if (FileSet(*file_, key_) != ERR_NONE) result = STORE_REFUSED;
        while (result == STORE_DONE) {
            const int rc = FileNext(*file_);
            if (rc == ERR_NO_RECORD || (rc == ERR_NONE && RecordID() != id_)) break;
            if (rc != ERR_NONE) result = STORE_REFUSED;
            else if (RecordStep() != currentStep_ && FileDelete(*file_) != ERR_NONE) result = STORE_REFUSED;
        }
    }
    if (result == STORE_DONE) {
        // The one record left becomes step 1, written from the caller's buffer.
        SetKey(id_, 0);
        if (FileSet(*file_, key_) != ERR_NONE || FileNext(*file_) != ERR_NONE || RecordID() != id_) {
            result = STORE_REFUSED;
        } else {
            std::memcpy(file_->Bytes().data(), keep.Saved().data(), keep.Saved().size());
            file_->SetInt(*stepField_, 1);
            if (FilePut(*file_) != ERR_NONE) result = STORE_REFUSED;
            else {
                const int rc = FileNext(*file_);
                if (rc == ERR_NONE ? RecordID() == id_ : rc != ERR_NO_RECORD) result = STORE_REFUSED;
            }
        }
    }
    result = t.Finish(result);
    if (result == STORE_DONE) {
        currentStep_ = stepsInFile_ = 1;
        hasChanged_ = false;
    }
    return result;
}

int32_t CSubfileManager::countInstances() {
    if (!file_) return 0;
    KeepBuffer keep(*file_);
    const RecordPosition position = FilePosition(*file_);
    int32_t count = 0;
    SetKey(0, 0);
    int rc = FileSet(*file_, key_);
    while (rc == ERR_NONE && (rc = FileNext(*file_)) == ERR_NONE)
        if (RecordID() != kNoID) ++count;
    // A count cut short by a read error is no count: what loads by it would be a part.
    if (rc != ERR_NO_RECORD) loadFailed_ = true;
    // Back where the caller was: on its record when it had read one, so that the next read
    // continues after it.
    FileReset(*file_, position);
    if (position.nextId == position.prevId) FileNext(*file_);
    return count;
}
