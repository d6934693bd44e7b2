#pragma once
// CSubfileManager: one sub-file of a project, i.e. the records of one table that carry one part's
// ID, with its undo steps. Every record of a project table begins with ID and STEP (LONG) and the
// table has the key KeyID on (ID, STEP), duplicates allowed.
//
// Identity: a part without a parent has ID = n, a part with a parent
// ID = ((parent ID mod 32768) << 15) + n, n being the local number handed out by the project's
// file manager (1 .. 32767). -1: no identity.
//
// The table is the program-wide record file of its layout (SCHICHT, AZP, ...), shared by all parts
// of that layout; it is opened once for all of them (use counts, UseFile/CloseFile) and takes its
// disk name from GlobalFileName, which is set right before each open.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/Savable.h"
#include "platform/records/RecordFile.h"

class CSubfileManager {
public:
    static constexpr int32_t kNoID = -1;
    static constexpr int32_t kLocalNumbers = 32768;   // local numbers are 1 .. kLocalNumbers - 1

    CSubfileManager();
    ~CSubfileManager();   // releases the table if the owner did not
    CSubfileManager(const CSubfileManager&) = delete;
    CSubfileManager& operator=(const CSubfileManager&) = delete;

    // Binds the sub-file to the table `tableName` of `file` (its record buffer is the file's),
    // under `parent` (nullptr: none). The identity is given later by AssignID (registration).
    void Init(std::string tableName, RecordFile& file, CSubfileManager* parent,
              std::string_view key = "KeyID", std::string_view idField = "ID",
              std::string_view stepField = "STEP");
    // Closes the table (use count down) and clears everything; harmless when unbound.
    void Release();

    // Opens the table in the container `container` unless another part has it open already;
    // a missing table is created. STORE_DONE when the table is open read/write exclusive.
    uint8_t UseFile(std::string_view container);
    // Use count down; the table is closed by its last user.
    uint8_t CloseFile();
    // Users of the record file (0 when closed).
    static int UseCount(const RecordFile& file);

    void AssignID(int32_t n);
    // Keeps the local number under another parent ID.
    void Reparent(int32_t parentID);
    bool BelongsToParent(int32_t recordID) const;
    int32_t ComposeID(int32_t n, int32_t parentID) const;
    int32_t GetID() const { return id_; }

    // A new undo step: steps beyond the current one (undone ones) are deleted from the table.
    // STORE_REFUSED (counters unchanged) when that fails.
    uint8_t TakeNewStep();
    void StepForward(int n) { currentStep_ += n; }
    void StepBack(int n) { currentStep_ -= n; }
    bool CanUndo(int n) const { return currentStep_ > n; }
    bool CanRedo(int n) const { return currentStep_ + n <= stepsInFile_; }

    // Reads the first record of the first sub-file under the parent (fromStart) or the next
    // record after the file position, which must belong to the parent; it becomes this
    // sub-file's identity and current step. 0, STORE_FILE_ERROR, or STORE_REFUSED (none).
    uint8_t load(bool fromStart);
    // Reads the first record of (ID, current step). STORE_REFUSED when the step has no record.
    uint8_t fetch();
    // fetch with the record buffer kept as it was: does the current step exist? The file stays
    // on the record found, so that FilePut can rewrite it.
    uint8_t FetchKeep();
    // Whether the next record belongs to this ID and step; the position stays.
    bool IsNextInStep();
    // Reads the next record when it belongs to this ID and step (0); otherwise the position and
    // the record buffer stay (STORE_REFUSED), or a read failed (STORE_FILE_ERROR).
    uint8_t ReadNextInStep();
    // The record buffer's ID and STEP := this ID and the current step.
    void PrimeKey();
    // The private copy of the record buffer (nothing while unbound).
    void SaveRecord();
    void RestoreRecord();

    // Deletes every record of this ID (allIds: of every ID). Counters 0 on success.
    uint8_t DeleteAll(bool allIds);
    // Reduces a one-record sub-file to its current step, rewritten from the record buffer as
    // step 1.
    uint8_t Compact();
    // Records of the table whose ID is not -1; the file position and buffer stay.
    int32_t countInstances();

    void SetChanged(bool flag) { hasChanged_ = flag; }
    bool HasChanged() const { return hasChanged_; }

    // Set when reading the sub-file failed, so that its incomplete content is never stored over
    // the good records; cleared by the next complete load.
    bool LoadFailed() const { return loadFailed_; }
    void SetLoadFailed(bool flag) { loadFailed_ = flag; }

    // The counters, to put back what a rolled back transaction undid in the table.
    struct StepState {
        int32_t currentStep = 0;
        int32_t stepsInFile = 0;
        bool hasChanged = false;
    };
    StepState GetStepState() const { return {currentStep_, stepsInFile_, hasChanged_}; }
    void SetStepState(const StepState& s);

    RecordFile* File() const { return file_; }
    const std::string& TableName() const { return tableName_; }
    const std::string& KeyName() const { return key_; }
    CSubfileManager* Parent() const { return parent_; }
    int32_t CurrentStep() const { return currentStep_; }
    int32_t StepsInFile() const { return stepsInFile_; }
    // The record's ID and STEP in the table's buffer.
    int32_t RecordID() const;
    int32_t RecordStep() const;

private:
    void SetKey(int32_t id, int32_t step);

    int32_t id_ = kNoID;
    CSubfileManager* parent_ = nullptr;
    const Field* idField_ = nullptr;
    const Field* stepField_ = nullptr;
    std::vector<uint8_t> buffer_;
    RecordFile* file_ = nullptr;
    bool hasChanged_ = false;
    bool loadFailed_ = false;
    int32_t stepsInFile_ = 0;
    int32_t currentStep_ = 0;
    std::string key_;
    std::string tableName_;
};

// One transaction on a table (5 seconds to get the lock), or a part of the one already running:
// then the outer owner commits or rolls back.
class SubfileTransaction {
public:
    explicit SubfileTransaction(RecordFile& file);
    ~SubfileTransaction();   // rolls back what was not finished
    SubfileTransaction(const SubfileTransaction&) = delete;
    SubfileTransaction& operator=(const SubfileTransaction&) = delete;

    bool Started() const { return started_; }
    // Commits on STORE_DONE, else rolls back; STORE_REFUSED when the commit fails.
    uint8_t Finish(uint8_t result);

private:
    bool started_ = false;
    bool own_ = false;
};
