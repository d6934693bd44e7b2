#pragma once
// ISavable: what every stored part of a project offers the project store. A part keeps its
// records in one sub-file (the records of one table that carry the part's ID); every edit is
// stored as a new undo step, and saving reduces the part to one step.
#include <cstdint>

class CProjektFileManager;
class CSubfileManager;

// Results of the store's operations: one byte.
constexpr uint8_t STORE_DONE = 0;
constexpr uint8_t STORE_FILE_ERROR = 3;   // a record file failed (read error, damaged table)
constexpr uint8_t STORE_REFUSED = 5;      // refused, failed or not found

class ISavable {
public:
    virtual ~ISavable() = default;

    // Binds the part's sub-file to its table under `parent` (nullptr: none) and registers it.
    // STORE_REFUSED when the part cannot get an identity (the project's numbers are used up).
    virtual uint8_t Init(CProjektFileManager& fileManager, CSubfileManager* parent) = 0;
    // Unregisters and releases the sub-file (table use count down, identity cleared).
    virtual void Release(CProjektFileManager& fileManager) = 0;
    // Writes the current content as a new undo step.
    virtual uint8_t StoreStep() = 0;
    virtual bool CanUndo(int n = 1) = 0;
    virtual bool CanRedo(int n = 1) = 0;
    // Goes n steps back / forward and reloads; STORE_REFUSED when that many steps do not exist.
    virtual uint8_t Undo(int n = 1) = 0;
    virtual uint8_t Redo(int n = 1) = 0;
    // The initial content of a new project.
    virtual uint8_t ResetNew() = 0;
    // Every step deleted, then the current content stored as the only one.
    virtual uint8_t Save() = 0;
    // fromStart: the first sub-file under the parent; else the next one after the file position.
    // An empty sub-file loads no items and is no failure; a read error is STORE_FILE_ERROR.
    virtual uint8_t Load(bool fromStart) = 0;
    virtual uint8_t DeleteAllSteps() = 0;
    // Records in the part's table, all sub-files together.
    virtual int32_t CountInstances() = 0;
};
