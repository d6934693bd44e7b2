#pragma once
// CArbeitsblatt: one plan variant of a project, a node of the project tree and a stored part of
// the project file (its own record in the table "Arbeitsblatt"). It owns every part of the variant:
// shift types, strain assessments, costs, staff demand, shift demand plan, working-time plan, notes,
// definitions pool and criteria checker. The parts are stored under its sub-file and reached by the
// store only through the worksheet. The pane editors exist only while its window runs.
//
// The worksheet's commands (the window's menus, toolbar and the editors' context menus) and the
// notices that keep evaluations current are in ArbeitsblattCommands.cpp.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "assessment/Belastungseinschaetzungen.h"
#include "assessment/Definitionspool.h"
#include "assessment/Kosten.h"
#include "core/ArbeitsblattBase.h"
#include "core/KommentarManager.h"
#include "core/SubfileManager.h"
#include "core/Tree.h"
#include "worksheets/StdEdit.h"

class CAKBData;
class CAKBEditor;
class CAKBInfo;
class CAZPBewertung;
class CAZPData;
class CAZPEditor;
class CAZPInfo;
class CFlexAZ;
class CFlexAZEditor;
class CKriterienChecker;
class CSBPBewertung;
class CSBPData;
class CSBPEditor;
class CSBPInfo;
class CSchichttypen;
class CSchichttypenNode;

class CArbeitsblatt : public CArbeitsblattBase,
                      public IEditorOwner,
                      public IDefinitionspoolOwner,
                      public IBelastungOwner,
                      public IKostenOwner {
public:
    CArbeitsblatt();
    ~CArbeitsblatt() override;

    // The window procedures of both kinds, started on the worksheet's own thread with the
    // worksheet as parameter (CVisual::FromParameter). The window layer registers them at
    // start-up; without one, Run reports that the window is not available.
    using WindowProcedure = std::function<void(const std::string& parameter)>;
    static void SetWindowProcedure(uint8_t typ, WindowProcedure procedure);

    // CVisual
    int Run() override;
    int CloseRequest() override;
    void Reset() override;
    // While a plan is being optimised (in this or another worksheet) the worksheet's window takes
    // no event: true for an event to drop. A close the project or the program asked for meanwhile
    // (CloseRequest from another thread) is kept and asked again with the first event after the
    // search, or whoever waits for the window to close would wait for ever; a close the planner
    // clicks is dropped.
    bool HeldByOptimisation(int event);

    // CArbeitsblattBase
    uint8_t GetTyp() const override { return TYP; }
    void SetTyp(uint8_t typ) override;
    void CopyFrom(CArbeitsblattBase& source) override;
    int Open() override;
    void UpdateButtons() override;

    const std::string& GetBezeichnung() const { return BEZEICHNUNG; }
    int32_t GetBezugsrahmen() const override { return BEZUGSRAHMEN; }
    int32_t GetSchichtgruppenstaerke() const override { return SCHICHTGRUPPENSTAERKE; }
    // Only for a worksheet of kind 1; `keep` passes the current value on unchanged.
    void SetBezugsrahmen(int32_t weeks, bool keep) override;
    void SetSchichtgruppenstaerke(int32_t strength, bool keep) override;
    KommentarInfo& GetKommentar() { return INFO; }
    CKommentarManager& GetKommentarManager() { return KOMMENTARMANAGER; }
    CSubfileManager& FileManager() { return FILEMANAGER; }

    // The parts, for the other subsystems.
    CSchichttypen& GetSchichttypen() override { return *SCHICHTEN; }
    CBelastungseinschaetzungen* GetBelastungseinschaetzungen() override { return BELASTUNGSEINSCHAETZUNGEN.get(); }
    CKosten* GetKosten() override { return KOSTEN.get(); }
    CAKBData& GetAKB() { return *AKB; }
    CSBPData& GetSBP() { return *SBP; }
    CAZPData& GetAZP() { return *AZP; }
    CFlexAZ& GetFlexAZ() { return *FLEXAZ; }
    CDefinitionspool& GetDefinitionspool() { return *DEFINITIONSMANAGER; }
    CKriterienChecker& GetChecker() override { return *CHECKER; }
    // The 21 criteria (KR1, KR3, KR2, KR4 .. KR19, KR21, KR22) and the 22 constraints of the pool.
    void GetKriterien(std::vector<CKriterium*>& destination) const;
    void GetRahmenbedingungen(std::vector<CRahmenbedingung*>& destination) const;
    long GetAnzahlGruppen() const;
    void ComputeAZPInfo(CAZPInfo& info) const;
    void ComputeSBPInfo(CSBPInfo& info) const;
    void ComputeAKBInfo(CAKBInfo& info) const;

    // The pane editors while the window runs (nullptr otherwise).
    CAZPEditor* GetAZPEditor() { return BROWSEAZP.get(); }
    CAKBEditor* GetAKBEditor() { return BROWSEAKB.get(); }
    CSBPEditor* GetSBPEditor() { return BROWSESBP.get(); }
    CFlexAZEditor* GetFlexEditor() { return BROWSEFLEXAZ.get(); }
    IStdEdit* GetCurrentStdEdit() { return CURRENTSTDEDIT; }
    ISavable* GetCurrentSavable() { return CURRENTSAVABLE; }
    // The evaluations while the evaluation inspector is open.
    CAZPBewertung* GetAZPBewertung() { return AZPBEWERTUNG.get(); }
    CSBPBewertung* GetSBPBewertung() { return SBPBEWERTUNG.get(); }
    bool GetSynchronScrollen() const { return SYNCHRONSCROLLEN != 0; }
    void SetSynchronScrollen(bool on) { SYNCHRONSCROLLEN = on ? 1 : 0; }

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

    // IPlanOwner, IDefinitionspoolOwner, IBelastungOwner, IKostenOwner
    void OnSchichttypenChanged() override;
    bool GetLageDefinitions(NACHTSCHICHT& night, FRUEHSCHICHT& early, TAGSCHICHT& day) override;
    void PublishChecker() override;
    void OnDefinitionsChanged() override;
    void EditBelastung() override;
    void EditKosten() override;
    void RecalcCosts() override;

    // ---- the window's binding (once, when the window has opened) ----
    void BindAZPList(int list, int swapButton, int window);
    void BindSBPList(int list);
    void BindAKBList(int list, int insertButton);
    // Flex worksheets: the flex list with the new and change buttons; the plan is built from it.
    void BindFlexWindow(int list, int insertButton, int changeButton, int window);
    void SetGenerateButton(int button);
    void SetEditButtons(int cut, int copy, int paste, int del, int insert, int undo, int redo);
    // Every event of the window; 5 when an editor handled it (the window skips its default).
    uint8_t OnWindowEvent();
    // The pane whose list has this control number becomes current (as its selection does).
    void SelectPane(int list);

    // ---- edit operations on the current pane (the toolbar's buttons) ----
    // One editor call, one undo step of the pane's part, the notice. False when nothing was done
    // (no pane, action not possible, or the step failed and was reported).
    bool EditCommand(uint8_t action);
    bool UndoCommand();
    bool RedoCommand();

    // ---- IEditorOwner ----
    bool StoreEditStep(ISavable& part) override;
    void OnAZPChanged() override;
    void OnSBPChanged(bool checkAZP) override;
    void OnAKBChanged(bool syncTypes) override;
    void OnFlexChanged() override;
    void EditSchichttypen() override;
    void GenerateAZP() override;
    void OptimizeAZP() override;
    void ShowPlanQuality() override;
    void GenerateSBP() override;
    void ComputeSBPFromAZP() override;
    void ComputeAKBFromSBP() override;
    void SyncFlexDate(int32_t date) override;
    // Flex worksheets: the working-time plan rebuilt from the whole flex plan (its period taken from
    // the entries) or from the dates from .. to, and the plan grid set to that period.
    void FlexToAZP(int32_t from, int32_t to, bool whole) override;

    // ---- notices and evaluation ----
    void ApplyDefinitions();
    void NotifyCosts() { RecalcCosts(); }
    void RecalcEvaluation();
    // The evaluation inspector opens and closes them.
    void CreateEvaluations();
    void DisposeEvaluations();

    // ---- other commands ----
    void EditNotizen();
    void EditDefinitionspool();
    void EditDarstellung();
    void SetGroupCountStep(long n, bool store);
    void SetDarstellung(int mode);
    void SetZoom(int percent);
    void Generate();
    void ToggleSwapMode();
    void PrintAZP();
    // CSV exchange of the shift types, the working-time plan and the flex plan. An import that
    // replaced the part stores one undo step of it and tells the worksheet; a cancelled or refused
    // one changes nothing and stores nothing.
    void ExportSchichttypenCSV();
    void ImportSchichttypenCSV();
    void ExportAZPCSV();
    void ImportAZPCSV();
    void ExportFlexCSV();
    void ImportFlexCSV();
    // The quality value of the current plan with the worksheet's definitions (-1 without groups).
    double ComputePlanQuality();

    // The inspectors: harmless while no inspector is installed.
    struct Inspektoren {
        std::function<void(CArbeitsblatt&, int which)> show;    // 1 table, 2 evaluation, 3 costs
        std::function<void(CArbeitsblatt&, int which)> close;
        std::function<bool(CArbeitsblatt&, int which)> isOpen;
        std::function<void(CArbeitsblatt&, int which)> refresh;  // data changed
        std::function<void(CArbeitsblatt&)> dispose;             // the worksheet goes
    };
    static void SetInspektoren(Inspektoren inspectors);
    void ShowTabellenInspektor() { Inspector(1, &Inspektoren::show); }
    void ShowBewertungInspektor() { Inspector(2, &Inspektoren::show); }
    void ShowOekoInspektor() { Inspector(3, &Inspektoren::show); }
    void CloseInspektoren();
    void CloseInspektor(int which) { Inspector(which, &Inspektoren::close); }
    bool IsInspektorOpen(int which);
    void ShowGesamtbewertung();

    // Window control numbers the edit buttons have (0 while no window).
    int CUTFEQ = 0, COPYFEQ = 0, PASTEFEQ = 0, DELETEFEQ = 0, INSERTFEQ = 0, CHANGEFEQ = 0;
    int UNDOFEQ = 0, REDOFEQ = 0, SWAPFEQ = 0, GENERATEFEQ = 0;

private:
    void Inspector(int which, std::function<void(CArbeitsblatt&, int)> Inspektoren::*what);
    void RefreshInspektoren();
    void DisposeInspektoren();
    void CreateEditors();
    void DisposeEditors();
    CPlanEditor* EditorOfSavable(ISavable* part);
    void OnEdited();
    void StoreGeneratedSteps();
    // Generation and optimisation share the sizing of the plan by the shift demand.
    double WeeklyHours() const;
    void ControlEnable(int feq, bool on);
    // With SYNCHRONSCROLLEN the shift demand plan and the working-time plan scroll sideways
    // together, the list with the focus leading (on the window's timer).
    void ScrollTogether();
    // The cost inspector follows the week of the list an event concerns (AKTTAG).
    void FollowCostWeek(int control);

    uint8_t TYP = ARBEITSBLATT_AZ;
    CTreeStdBehaviour TREESTDBEHAVIOUR;
    CSubfileManager FILEMANAGER;
    KommentarInfo INFO;
    CKommentarManager KOMMENTARMANAGER;
    std::unique_ptr<CSchichttypen> SCHICHTEN;
    std::unique_ptr<CSchichttypenNode> SCHICHTENNODE;
    std::unique_ptr<CBelastungseinschaetzungen> BELASTUNGSEINSCHAETZUNGEN;
    std::unique_ptr<CKosten> KOSTEN;
    std::unique_ptr<CAKBData> AKB;
    std::unique_ptr<CSBPData> SBP;
    std::unique_ptr<CAZPData> AZP;
    std::unique_ptr<CFlexAZ> FLEXAZ;
    std::unique_ptr<CDefinitionspool> DEFINITIONSMANAGER;
    std::unique_ptr<CKriterienChecker> CHECKER;
    bool CLOSEASKED = false;  // the project or the program asked the window to close
    bool CLOSEHELD = false;   // ... and that close came while a plan was optimised
    std::unique_ptr<CAZPBewertung> AZPBEWERTUNG;
    std::unique_ptr<CSBPBewertung> SBPBEWERTUNG;
    std::unique_ptr<CAKBEditor> BROWSEAKB;
    std::unique_ptr<CSBPEditor> BROWSESBP;
    std::unique_ptr<CAZPEditor> BROWSEAZP;
    std::unique_ptr<CFlexAZEditor> BROWSEFLEXAZ;
    IStdEdit* CURRENTSTDEDIT = nullptr;
    ISavable* CURRENTSAVABLE = nullptr;
    int32_t BEZUGSRAHMEN = 0;
    int32_t SCHICHTGRUPPENSTAERKE = 0;
    std::string BEZEICHNUNG;
    uint8_t SYNCHRONSCROLLEN = 1;
    uint16_t AKTTAG = 0;
    // The stored plan parts under the worksheet's sub-file, in the order they are initialised,
    // saved and loaded: shift types, strain, costs, AKB, SBP, AZP, flex plan, definitions pool.
    std::vector<ISavable*> parts_;
};

// Makes CArbeitsblatt the class of the project's worksheets (start-up, tests).
void RegisterArbeitsblatt();
