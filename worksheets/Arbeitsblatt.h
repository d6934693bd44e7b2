#pragma once
// CArbeitsblatt: one plan variant of a project, a node of the project tree and a stored part of
// the project file (its own record in the table "Arbeitsblatt"). Its plan parts are stored under
// its sub-file and reached by the store only through the worksheet.
#include <cstdint>
#include <string>
#include <vector>

#include "core/ArbeitsblattBase.h"
#include "core/KommentarManager.h"
#include "core/SubfileManager.h"
#include "core/Tree.h"

class CArbeitsblatt : public CArbeitsblattBase {
public:
    CArbeitsblatt();
    ~CArbeitsblatt() override;

    // CVisual
    int Run() override;
    int CloseRequest() override;
    void Reset() override;

    // CArbeitsblattBase
    uint8_t GetTyp() const override { return TYP; }
    void SetTyp(uint8_t typ) override;
    void CopyFrom(CArbeitsblattBase& source) override;
    int Open() override;

    const std::string& GetBezeichnung() const { return BEZEICHNUNG; }
    int32_t GetBezugsrahmen() const { return BEZUGSRAHMEN; }
    int32_t GetSchichtgruppenstaerke() const { return SCHICHTGRUPPENSTAERKE; }
    // Only for a worksheet of kind 1; `keep` passes the current value on unchanged.
    void SetBezugsrahmen(int32_t weeks, bool keep);
    void SetSchichtgruppenstaerke(int32_t strength, bool keep);
    KommentarInfo& GetKommentar() { return INFO; }
    CKommentarManager& GetKommentarManager() { return KOMMENTARMANAGER; }
    CSubfileManager& FileManager() { return FILEMANAGER; }

    // ITreeEntry
    std::string GetIcon() override;
    std::string GetText() override { return BEZEICHNUNG; }
    bool IsExpanded() override { return TREESTDBEHAVIOUR.EXPANDED != 0; }
    bool ForceReset() override { return false; }
    int32_t CountEntries() override { return TYP == ARBEITSBLATT_AZ ? 4 : 3; }
    void RefreshTree(int level, CTree& tree) override;
    bool AcceptsRequest(int request) override;
    uint8_t TakeRequest(int request, const std::string& text) override;

    // ISavable (the worksheet has no undo steps of its own; its parts have)
    using CVisual::Init;
    uint8_t Init(CProjektFileManager& fileManager, CSubfileManager* parent) override;
    void Release(CProjektFileManager& fileManager) override;
    uint8_t StoreStep() override { return STORE_REFUSED; }
    bool CanUndo(int = 1) override { return false; }
    bool CanRedo(int = 1) override { return false; }
    uint8_t Undo(int = 1) override { return STORE_REFUSED; }
    uint8_t Redo(int = 1) override { return STORE_REFUSED; }
    uint8_t ResetNew() override;
    uint8_t Save() override;
    uint8_t Load(bool fromStart) override;
    uint8_t DeleteAllSteps() override;
    int32_t CountInstances() override;

private:
    uint8_t TYP = ARBEITSBLATT_AZ;
    CTreeStdBehaviour TREESTDBEHAVIOUR;
    CSubfileManager FILEMANAGER;
    KommentarInfo INFO;
    CKommentarManager KOMMENTARMANAGER;
    int32_t BEZUGSRAHMEN = 0;
    int32_t SCHICHTGRUPPENSTAERKE = 0;
    std::string BEZEICHNUNG;
    uint8_t SYNCHRONSCROLLEN = 1;
    uint16_t AKTTAG = 0;
    // The stored plan parts under the worksheet's sub-file, in the order they are initialised,
    // saved and loaded.
    std::vector<ISavable*> parts_;
};

// Makes CArbeitsblatt the class of the project's worksheets (start-up, tests).
void RegisterArbeitsblatt();
