#pragma once
// CSavableManager: the base of the plan parts that keep a list of items in one sub-file (shift
// types, staff demand, shift demand plan, working-time plan, ...). A derived part binds its table
// in DefineSubfile and moves items between memory and the table's record buffer in TakeRecord and
// PutRecord; the base does the undo steps, loading and saving.
//
//   class CSchichttypen : public CSavableManager {
//       void DefineSubfile(CSubfileManager* parent) override {
//           FileManager().Init("Schichttypen", SCHICHT, parent);
//       }
//       uint8_t PutRecord(int n) override;   // item n into SCHICHT, non-zero when there is none
//       uint8_t TakeRecord() override;       // SCHICHT into a new item
//       ...
//   };
#include <cstdint>

#include "core/Savable.h"
#include "core/SubfileManager.h"

class CSavableManager : public ISavable {
public:
    CSavableManager();
    ~CSavableManager() override;

    // ISavable
    uint8_t Init(CProjektFileManager& fileManager, CSubfileManager* parent) override;
    void Release(CProjektFileManager& fileManager) override;
    uint8_t StoreStep() override;
    bool CanUndo(int n = 1) override;
    bool CanRedo(int n = 1) override;
    uint8_t Undo(int n = 1) override;
    uint8_t Redo(int n = 1) override;
    uint8_t ResetNew() override;
    uint8_t Save() override;
    uint8_t Load(bool fromStart) override;
    uint8_t DeleteAllSteps() override;
    int32_t CountInstances() override;

    // Binds FileManager() to its table under parent; base: nothing.
    virtual void DefineSubfile(CSubfileManager* parent);
    // The initial content of a new document; base: STORE_FILE_ERROR.
    virtual uint8_t ResetData();
    // Empties the items in memory before a reload; base: nothing.
    virtual void ClearData();
    // Takes the record buffer as a new item; non-zero stops loading. Base: STORE_FILE_ERROR.
    virtual uint8_t TakeRecord();
    // Writes item n (1, 2, ...) into the record buffer; non-zero when there is no item n.
    // Base: STORE_FILE_ERROR.
    virtual uint8_t PutRecord(int n);
    // After every reload; base: nothing.
    virtual void AfterLoad();

    // Releases the sub-file (the owner calls it when the part goes).
    void DisposeSubfile();
    // mode 1: the first sub-file under the parent, 2: the next sub-file, 3: the current step.
    // STORE_FILE_ERROR when reading failed part-way (the part then refuses to store or save
    // until a load succeeds), else STORE_DONE, also for an empty sub-file.
    uint8_t Reload(int mode);

    CSubfileManager& FileManager() { return FILEMANAGER; }
    const CSubfileManager& FileManager() const { return FILEMANAGER; }

private:
    uint8_t StoreStepInTransaction();

    CSubfileManager FILEMANAGER;
};
