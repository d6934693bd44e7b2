#pragma once
// CDefinitionspool: a worksheet's constraints and criteria settings - the 22 constraints RB1 ..
// RB22 and the 21 criteria KR1 .. KR22 (there is no KR20 object). It owns all 43 objects, links
// each criterion to what it reads, is the worksheet's tree node "Definitionspool ..." and its
// stored part with undo steps: the sub-files "Rahmenbedingungen" (one RB record per step) and
// "Kriterien" (one KRI record per step), always stepped together.
//
// The RB and KRI record buffers (core/Files.h) exist once in the program: they are the transfer
// area between a pool's objects, its stored records and the definitions dialog. StoreAll fills
// them from the objects, Apply takes the objects from them. The pool also keeps its own copy of
// both records, so that what no object holds (the element of KR20, the criteria names) stays its
// own, and its storing and loading leave the buffers as they found them: a definitions dialog
// running for another worksheet keeps what its user has typed.
#include "assessment/Kriterium.h"
#include "core/Savable.h"
#include "core/SubfileManager.h"
#include "core/Tree.h"
#include "platform/records/RecordBuffer.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

class CBelastungseinschaetzungen;
class CKosten;
class CProjektFileManager;
class CRahmenbedingung;

// What the pool needs of the worksheet that owns it; the worksheet implements it.
class IDefinitionspoolOwner {
public:
    virtual ~IDefinitionspoolOwner() = default;
    // The parts the strain criterion (KR19) and the cost criteria (KR21, KR22) read.
    virtual CBelastungseinschaetzungen* GetBelastungseinschaetzungen() = 0;
    virtual CKosten* GetKosten() = 0;
    // The settings were changed: the worksheet evaluates its open plans again.
    virtual void OnDefinitionsChanged() = 0;
    // The definitions dialog's buttons "Belastungseinschätzung..." and "Kosten-Einstellungen...":
    // the part's own edit cycle (nothing without the part).
    virtual void EditBelastung();
    virtual void EditKosten();
};

// Mode bits of the definitions dialog as the pool's entries set them.
constexpr uint8_t DEFINITIONS_AZP = 0x01;         // working-time plan settings are relevant
constexpr uint8_t DEFINITIONS_SCHICHTEN = 0x02;   // shift generation settings are relevant
constexpr uint8_t DEFINITIONS_KRITERIUM = 0x04;   // open on one criterion

class CDefinitionspool : public ITreeEntry, public ISavable, public IKriterienPool {
public:
    static constexpr int kRahmenbedingungen = 22;
    static constexpr int kKriterien = 21;

    // The 22 constraints, constructed from the RB buffer and with their texts, then the 21
    // criteria from the KRI buffer, each told its pool. Nothing is linked until Apply.
    CDefinitionspool();
    ~CDefinitionspool() override;
    CDefinitionspool(const CDefinitionspool&) = delete;
    CDefinitionspool& operator=(const CDefinitionspool&) = delete;

    // Set by the worksheet right after constructing the pool.
    void SetArbeitsblatt(IDefinitionspoolOwner* worksheet) { ARBEITSBLATT = worksheet; }
    IDefinitionspoolOwner* GetArbeitsblatt() const { return ARBEITSBLATT; }

    // The RB and KRI buffers := the pool's records with every object's values written over them.
    void StoreAll();
    // Every object from the RB and KRI buffers, then each criterion linked: to its constraints,
    // KR3 also to KR2, KR19 to the worksheet's strain assessments, KR21 and KR22 to its costs
    // (nothing while no worksheet is set). A criterion without a name in the record is named as
    // the definitions dialog labels it. The buffers become the pool's own records.
    void Apply();
    // This pool := a copy of other: criteria settings, constraint values and texts, the records;
    // the links stay this pool's own (its constraints, its worksheet's parts). Stores no step.
    void AssignFrom(const CDefinitionspool& other);
    // Tells the worksheet, when there is one, that the settings changed.
    void NotifyArbeitsblatt() override;

    // The edit cycle: StoreAll, the definitions dialog on the RB and KRI buffers with the mode,
    // the criterion (0 = none) and the worksheet; when it ends with OK: Apply, a new undo step
    // and the worksheet told. 0; 5 when the step could not be stored (the user is told once; the
    // objects keep the edit and the step before stays the last). While a definitions dialog is
    // open anywhere the user is told so and nothing is touched (0).
    uint8_t Edit(uint8_t mode, long kriterium);
    uint8_t EditForAZWizard() { return Edit(DEFINITIONS_AZP, 0); }
    uint8_t EditForSBWizard() { return Edit(DEFINITIONS_SCHICHTEN, 0); }
    uint8_t EditFromWorksheet() { return Edit(DEFINITIONS_AZP | DEFINITIONS_SCHICHTEN, 0); }
    uint8_t EditKriterium(long number) override
    {
        return Edit(DEFINITIONS_AZP | DEFINITIONS_SCHICHTEN | DEFINITIONS_KRITERIUM, number);
    }

    // The definitions dialog (mode, criterion, worksheet) -> response, 1 for OK; it edits the RB
    // and KRI buffers in place. The dialogs install it; without it every edit ends cancelled.
    using DialogProcedure = std::function<int(uint8_t mode, long kriterium, IDefinitionspoolOwner* worksheet)>;
    static void SetDialogProcedure(DialogProcedure dialog);

    // KR1, KR3, KR2, KR4 .. KR19, KR21, KR22 (kKriterienReihenfolge).
    const std::array<CKriterium*, kKriterien>& GetKriterien() const { return KRITERIEN; }
    // RB1 .. RB22.
    const std::array<CRahmenbedingung*, kRahmenbedingungen>& GetRahmenbedingungen() const { return RAHMENBEDINGUNGEN; }
    // KRn; nullptr for 20 and numbers outside 1 .. 22.
    CKriterium* GetKriterium(long number) const;
    // RBn; nullptr outside 1 .. 22.
    CRahmenbedingung* GetRahmenbedingung(int number) const;

    // The pool's own records (what Apply took last).
    const RecordBuffer& RecordRB() const { return RECORDRB; }
    const RecordBuffer& RecordKRI() const { return RECORDKRI; }
    CSubfileManager& FileManagerRB() { return FILEMANAGERRB; }
    CSubfileManager& FileManagerKRI() { return FILEMANAGERKRI; }

    // ITreeEntry: a leaf of its worksheet.
    std::string GetIcon() override { return "~mini_defpool.ico"; }
    std::string GetText() override { return "Definitionspool (Rahmenbedingungen und Kriterieneinstellungen)"; }
    bool IsExpanded() override { return true; }
    bool ForceReset() override { return false; }
    int32_t CountEntries() override { return 1; }
    void RefreshTree(int level, CTree& tree) override;
    bool AcceptsRequest(int request) override { return request == TREE_OPEN; }
    // Open runs EditFromWorksheet; every other request is refused (5).
    uint8_t TakeRequest(int request, const std::string& text) override;

    // ISavable. Both sub-files take part in every operation; a result is 0 when every step of
    // it succeeded, else 5. A step is stored, saved or deleted on both sub-files in one
    // transaction, so a failure leaves both as they were. StoreStep, Undo, Redo, ResetNew, Save
    // and Load end in Apply; where a record could not be read the objects keep the pool's own
    // values. None of them leaves its traces in the RB and KRI buffers.
    uint8_t Init(CProjektFileManager& fileManager, CSubfileManager* parent) override;
    void Release(CProjektFileManager& fileManager) override;
    uint8_t StoreStep() override;
    bool CanUndo(int n = 1) override;
    bool CanRedo(int n = 1) override;
    uint8_t Undo(int n = 1) override;
    uint8_t Redo(int n = 1) override;
    // The RB and KRI defaults (RBDEFAULT, KRIDEFAULT of varn4.cfg), applied and saved.
    uint8_t ResetNew() override;
    uint8_t Save() override;
    uint8_t Load(bool fromStart) override;
    uint8_t DeleteAllSteps() override;
    // Records of the "Rahmenbedingungen" table.
    int32_t CountInstances() override;

private:
    uint8_t StoreInTransaction();
    uint8_t Move(int steps);
    // The buffers := the pool's own records.
    void PutOwnRecords();
    void Link(long number);
    bool Bound() const;

    CSubfileManager FILEMANAGERRB;
    CSubfileManager FILEMANAGERKRI;
    IDefinitionspoolOwner* ARBEITSBLATT = nullptr;
    std::array<CKriterium*, kKriterien> KRITERIEN{};
    std::array<CRahmenbedingung*, kRahmenbedingungen> RAHMENBEDINGUNGEN{};
    RecordBuffer RECORDRB;
    RecordBuffer RECORDKRI;

    // Owned, in number order (the criteria without KR20).
    std::array<std::unique_ptr<CRahmenbedingung>, kRahmenbedingungen> rahmen_;
    std::array<std::unique_ptr<CKriterium>, kKriterien> kriterien_;
};
