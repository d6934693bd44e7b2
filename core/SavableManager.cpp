#include "core/SavableManager.h"

#include "core/ProjektFileManager.h"

CSavableManager::CSavableManager() = default;

CSavableManager::~CSavableManager() = default;

void CSavableManager::DisposeSubfile() { FILEMANAGER.Release(); }

// ---- ISavable --------------------------------------------------------------------------------

uint8_t CSavableManager::Init(CProjektFileManager& fileManager, CSubfileManager* parent) {
    DefineSubfile(parent);
    return fileManager.Register(FILEMANAGER, *this);
}

void CSavableManager::Release(CProjektFileManager& fileManager) {
    fileManager.Unregister(FILEMANAGER, *this);
    FILEMANAGER.Release();
}

uint8_t CSavableManager::StoreStepInTransaction() {
    if (FILEMANAGER.TakeNewStep() != STORE_DONE) return STORE_REFUSED;
    RecordFile& file = *FILEMANAGER.File();
    for (int n = 1; PutRecord(n) == STORE_DONE; ++n) {
        FILEMANAGER.PrimeKey();
        if (FileAdd(file) != ERR_NONE) return STORE_REFUSED;
    }
    return STORE_DONE;
}

uint8_t CSavableManager::StoreStep() {
    // Content that did not load completely must not become a step.
    if (!FILEMANAGER.File() || FILEMANAGER.LoadFailed()) return STORE_REFUSED;
    const auto before = FILEMANAGER.GetStepState();
    SubfileTransaction t(*FILEMANAGER.File());
    const uint8_t result = t.Finish(t.Started() ? StoreStepInTransaction() : STORE_REFUSED);
    if (result != STORE_DONE) FILEMANAGER.SetStepState(before);
    return result;
}

bool CSavableManager::CanUndo(int n) { return FILEMANAGER.CanUndo(n); }

bool CSavableManager::CanRedo(int n) { return FILEMANAGER.CanRedo(n); }

uint8_t CSavableManager::Undo(int n) {
    if (!FILEMANAGER.CanUndo(n)) return STORE_REFUSED;
    FILEMANAGER.StepBack(n);
    return Reload(3);
}

uint8_t CSavableManager::Redo(int n) {
    if (!FILEMANAGER.CanRedo(n)) return STORE_REFUSED;
    FILEMANAGER.StepForward(n);
    return Reload(3);
}

uint8_t CSavableManager::ResetNew() { return ResetData(); }

uint8_t CSavableManager::Save() {
    if (!FILEMANAGER.File() || FILEMANAGER.LoadFailed()) return STORE_REFUSED;
    // Deleting the steps and writing the one left is one transaction: a failure keeps the steps.
    const auto before = FILEMANAGER.GetStepState();
    SubfileTransaction t(*FILEMANAGER.File());
    uint8_t result = t.Started() ? FILEMANAGER.DeleteAll(false) : STORE_REFUSED;
    if (result == STORE_DONE) result = StoreStepInTransaction();
    result = t.Finish(result);
    if (result != STORE_DONE) FILEMANAGER.SetStepState(before);
    return result;
}

uint8_t CSavableManager::Load(bool fromStart) { return Reload(fromStart ? 1 : 2); }

uint8_t CSavableManager::DeleteAllSteps() { return FILEMANAGER.DeleteAll(false); }

int32_t CSavableManager::CountInstances() { return FILEMANAGER.countInstances(); }

// ---- the part's own operations ---------------------------------------------------------------

void CSavableManager::DefineSubfile(CSubfileManager*) {}

uint8_t CSavableManager::ResetData() { return STORE_FILE_ERROR; }

void CSavableManager::ClearData() {}

uint8_t CSavableManager::TakeRecord() { return STORE_FILE_ERROR; }

uint8_t CSavableManager::PutRecord(int) { return STORE_FILE_ERROR; }

void CSavableManager::AfterLoad() {}

uint8_t CSavableManager::Reload(int mode) {
    ClearData();
    uint8_t rc = mode == 1 ? FILEMANAGER.load(true) : mode == 2 ? FILEMANAGER.load(false) : FILEMANAGER.fetch();
    bool failed = rc == STORE_FILE_ERROR;
    while (rc == STORE_DONE && TakeRecord() == STORE_DONE) {
        rc = FILEMANAGER.ReadNextInStep();
        failed = failed || rc == STORE_FILE_ERROR;
    }
    FILEMANAGER.SetLoadFailed(failed);
    AfterLoad();
    return failed ? STORE_FILE_ERROR : STORE_DONE;
}
