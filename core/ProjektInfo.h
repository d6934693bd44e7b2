#pragma once
// CProjektInfo: the project information, one INFO record in the table "Projektinfo" with undo
// steps; a node of the project tree that opens the information dialog.
#include <cstdint>
#include <string>

#include "core/Savable.h"
#include "core/SubfileManager.h"
#include "core/Tree.h"
#include "core/Visual.h"

class CProjektInfo : public CVisual, public ITreeEntry, public ISavable {
public:
    CProjektInfo();
    ~CProjektInfo() override;

    // The information dialog on the saved copy of the record; a completed dialog stores a step.
    // 0.
    int Edit();

    // ITreeEntry
    std::string GetIcon() override { return "~mini_info.ico"; }
    std::string GetText() override { return "Informationen zum Planungsprojekt"; }
    bool IsExpanded() override { return true; }
    bool ForceReset() override { return false; }
    int32_t CountEntries() override { return 1; }
    void RefreshTree(int level, CTree& tree) override;
    bool AcceptsRequest(int request) override { return request == TREE_OPEN; }
    uint8_t TakeRequest(int request, const std::string& text) override;

    // ISavable
    using CVisual::Init;
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

    CSubfileManager& FileManager() { return FILEMANAGER; }

    CTreeStdBehaviour TREESTDBEHAVIOUR;
    CSubfileManager FILEMANAGER;
};
