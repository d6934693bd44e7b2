#include "worksheets/Arbeitsblatt.h"

#include "assessment/AZPBewertung.h"
#include "assessment/KriterienChecker.h"
#include "assessment/Rahmenbedingung.h"
#include "assessment/RahmenbedingungSchichten.h"
#include "assessment/SBPBewertung.h"
#include "assessment/SchichttypDialoge.h"
#include "core/Files.h"
#include "core/ProjektFileManager.h"
#include "core/Projektmanager.h"
#include "core/Utilities.h"
#include "platform/ui/MessageShow.h"
#include "platform/ui/Runtime.h"
#include "platform/values/Date.h"
#include "plans/AKBData.h"
#include "plans/AKBInfo.h"
#include "plans/AZPData.h"
#include "plans/AZPInfo.h"
#include "plans/FlexAZ.h"
#include "plans/SBPData.h"
#include "plans/SBPInfo.h"
#include "plans/Schichttypen.h"
#include "worksheets/AKBEditor.h"
#include "worksheets/AZPEditor.h"
#include "worksheets/AZPReport.h"
#include "worksheets/ArbeitsblattWindow.h"
#include "worksheets/Inspektoren.h"
#include "worksheets/FlexAZBlattWindow.h"
#include "worksheets/FlexAZEditor.h"
#include "worksheets/SBPEditor.h"

#include <algorithm>
#include <map>

// The shift types' node in the project tree: the list itself is plan data and knows no tree.
class CSchichttypenNode : public ITreeEntry {
public:
    explicit CSchichttypenNode(CSchichttypen& types) : TYPES(types) {}
    std::string GetIcon() override { return TYPES.GetIcon(); }
    std::string GetText() override { return TYPES.GetText(); }
    bool IsExpanded() override { return true; }
    bool ForceReset() override { return false; }
    int32_t CountEntries() override { return 1; }
    void RefreshTree(int level, CTree& tree) override { tree.AddEntry(*this, level, GetText(), GetIcon()); }
    bool AcceptsRequest(int request) override { return TYPES.AcceptsRequest(request); }
    uint8_t TakeRequest(int request, const std::string& text) override { return TYPES.TakeRequest(request, text); }

private:
    CSchichttypen& TYPES;
};

namespace {
std::string Clip(const std::string& s)
{
    size_t end = s.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : s.substr(0, end + 1);
}

constexpr size_t kNameLength = 80;

std::map<uint8_t, CArbeitsblatt::WindowProcedure>& WindowProcedures()
{
    static std::map<uint8_t, CArbeitsblatt::WindowProcedure> procedures;
    return procedures;
}
} // namespace

void CArbeitsblatt::SetWindowProcedure(uint8_t typ, WindowProcedure procedure)
{
    WindowProcedures()[typ] = std::move(procedure);
}

CArbeitsblatt::CArbeitsblatt()
    : SCHICHTEN(std::make_unique<CSchichttypen>()),
      BELASTUNGSEINSCHAETZUNGEN(std::make_unique<CBelastungseinschaetzungen>()),
      KOSTEN(std::make_unique<CKosten>()),
      AKB(std::make_unique<CAKBData>()),
      SBP(std::make_unique<CSBPData>()),
      AZP(std::make_unique<CAZPData>()),
      FLEXAZ(std::make_unique<CFlexAZ>()),
      DEFINITIONSMANAGER(std::make_unique<CDefinitionspool>()),
      CHECKER(std::make_unique<CKriterienChecker>())
{
    SCHICHTEN->SetArbeitsblatt(this);
    SCHICHTENNODE = std::make_unique<CSchichttypenNode>(*SCHICHTEN);
    BELASTUNGSEINSCHAETZUNGEN->ARBEITSBLATT = this;
    KOSTEN->SetArbeitsblatt(this);
    DEFINITIONSMANAGER->SetArbeitsblatt(this);
    KOMMENTARMANAGER.SetInfo(&INFO);
    // Edited notes are stored with the next save: closing without one must ask, or they are lost.
    KOMMENTARMANAGER.ONCHANGED = [this] { FILEMANAGER.SetChanged(true); };
    SBP->SetSchichttypen(SCHICHTEN.get());
    AZP->SetSchichttypen(SCHICHTEN.get(), 0);
    parts_ = {&SCHICHTEN->GetSavable(), BELASTUNGSEINSCHAETZUNGEN.get(), KOSTEN.get(), &AKB->GetSavable(),
              &SBP->GetSavable(), &AZP->GetSavable(), &FLEXAZ->GetSavable(), DEFINITIONSMANAGER.get()};
}

CArbeitsblatt::~CArbeitsblatt()
{
    DisposeInspektoren();
    DisposeEditors();
    // A checker published by this worksheet must not outlive it.
    if (GlobalSchichtChecker == CHECKER.get())
        GlobalSchichtChecker = nullptr;
}

// ---- window --------------------------------------------------------------------------------------

void CArbeitsblatt::CreateEditors()
{
    if (TYP == ARBEITSBLATT_AZ) {
        BROWSEAKB = std::make_unique<CAKBEditor>();
        BROWSESBP = std::make_unique<CSBPEditor>();
    } else {
        BROWSEFLEXAZ = std::make_unique<CFlexAZEditor>();
    }
    BROWSEAZP = std::make_unique<CAZPEditor>();
    CURRENTSTDEDIT = nullptr;
    CURRENTSAVABLE = nullptr;
}

void CArbeitsblatt::DisposeEditors()
{
    CURRENTSTDEDIT = nullptr;
    CURRENTSAVABLE = nullptr;
    if (BROWSEAKB)
        BROWSEAKB->Release();
    if (BROWSESBP)
        BROWSESBP->Release();
    if (BROWSEAZP)
        BROWSEAZP->Release();
    // The flex editor goes too: a reopened window must find no editor bound to a closed list.
    if (BROWSEFLEXAZ)
        BROWSEFLEXAZ->Release();
    BROWSEAKB.reset();
    BROWSESBP.reset();
    BROWSEAZP.reset();
    BROWSEFLEXAZ.reset();
}

int CArbeitsblatt::Run()
{
    auto found = WindowProcedures().find(TYP);
    if (found == WindowProcedures().end() || !found->second) {
        MessageShow({.text = "Das Fenster dieses Arbeitsblattes steht in dieser Version nicht zur Verfügung.",
                     .caption = BEZEICHNUNG,
                     .icon = MessageIcon::Exclamation});
        return LEVEL_NOTIFY;
    }
    CreateEditors();
    DEFINITIONSMANAGER->StoreAll();
    if (StartThread(found->second, 50000, TYP == ARBEITSBLATT_AZ ? "UpdateArbeitsblatt" : "UpdateFlexAZBlatt") != 0) {
        // No thread could start: nothing of the window may stay behind.
        DisposeEditors();
        MessageShow({.text = "Das Fenster des Arbeitsblattes konnte nicht geöffnet werden: Es laufen bereits zu "
                     "viele Fenster. Schließen Sie ein anderes Fenster und versuchen Sie es erneut.",
                     .caption = BEZEICHNUNG,
                     .icon = MessageIcon::Exclamation});
        return LEVEL_NOTIFY;
    }
    return 0;
}

int CArbeitsblatt::CloseRequest()
{
    if (!IsActive())
        return 0;
    if (ThreadCurrent() == THREAD) {
        CloseInspektoren();
        return 0;
    }
    // While a plan is optimised the inspectors take no event: waiting for them here would hold the
    // close that cancels the search. The window closes them itself when it takes this close.
    if (!OptimizationRunning)
        CloseInspektoren();
    CLOSEASKED = true;
    return CVisual::CloseRequest();
}

bool CArbeitsblatt::HeldByOptimisation(int event)
{
    if (OptimizationRunning) {
        if (CLOSEASKED && (event == EVENT_CLOSE_WINDOW || event == EVENT_CLOSE_DOWN))
            CLOSEHELD = true;
        return true;
    }
    if (CLOSEHELD) {
        CLOSEHELD = false;
        CVisual::CloseRequest();   // posts the close to this window again
    }
    return false;
}

void CArbeitsblatt::Reset()
{
    CLOSEASKED = CLOSEHELD = false;
    CURRENTSTDEDIT = nullptr;
    CURRENTSAVABLE = nullptr;
    CVisual::Reset();
    DisposeEditors();
    CUTFEQ = COPYFEQ = PASTEFEQ = DELETEFEQ = INSERTFEQ = CHANGEFEQ = 0;
    UNDOFEQ = REDOFEQ = SWAPFEQ = GENERATEFEQ = 0;
    // The checker published while the window ran goes with it.
    if (GlobalSchichtChecker == CHECKER.get())
        GlobalSchichtChecker = nullptr;
}

int CArbeitsblatt::Open()
{
    const int result = Execute(false);
    ApplyDefinitions();
    if (result == 0 && TYP == ARBEITSBLATT_AZ)
        ShowTabellenInspektor();
    return result;
}

// ---- kind, name, settings --------------------------------------------------------------------------

void CArbeitsblatt::SetTyp(uint8_t typ)
{
    BEZEICHNUNG = typ == ARBEITSBLATT_AZ ? "Arbeitszeitblatt" : "Flex-Arbeitszeitblatt";
    TYP = typ;
}

void CArbeitsblatt::CopyFrom(CArbeitsblattBase& base)
{
    auto& source = static_cast<CArbeitsblatt&>(base);
    TYP = source.TYP;
    BEZUGSRAHMEN = source.BEZUGSRAHMEN;
    SCHICHTGRUPPENSTAERKE = source.SCHICHTGRUPPENSTAERKE;
    INFO = source.INFO;
    const std::string copyName = "Kopie von " + source.BEZEICHNUNG;
    BEZEICHNUNG = std::string(Utf8Prefix(copyName, kNameLength));
    SCHICHTEN->CopyFrom(*source.SCHICHTEN);
    SBP->SetSchichttypen(SCHICHTEN.get());
    AZP->SetSchichttypen(SCHICHTEN.get(), 0);
    BELASTUNGSEINSCHAETZUNGEN->AssignFrom(*source.BELASTUNGSEINSCHAETZUNGEN);
    KOSTEN->AssignFrom(*source.KOSTEN);
    AKB->CopyFrom(*source.AKB);
    SBP->CopyFrom(*source.SBP);
    AZP->CopyFrom(*source.AZP);
    FLEXAZ->CopyFrom(*source.FLEXAZ);
    DEFINITIONSMANAGER->AssignFrom(*source.DEFINITIONSMANAGER);
    CHECKER->SetKriterien(DEFINITIONSMANAGER->GetKriterien());
    // The copy's first undo step is its copied state, never the empty parts it was made from.
    Save();
}

void CArbeitsblatt::SetBezugsrahmen(int32_t weeks, bool keep)
{
    if (TYP != ARBEITSBLATT_AZ)
        return;
    if (!keep)
        BEZUGSRAHMEN = weeks;
    const auto w = static_cast<uint16_t>(std::clamp<int32_t>(BEZUGSRAHMEN, 1, 12));
    if (BROWSEAZP || BROWSESBP || BROWSEAKB) {
        if (BROWSEAKB)
            BROWSEAKB->SetBezugsrahmen(w);
        if (BROWSESBP)
            BROWSESBP->SetBezugsrahmen(w);
        if (BROWSEAZP)
            BROWSEAZP->SetBezugsrahmen(w);
    } else {
        AKB->SetBezugsrahmen(w);
        SBP->SetBezugsrahmen(w);
        AZP->SetBezugsrahmen(w);
    }
    RefreshInspektoren();
    RecalcEvaluation();
    RecalcCosts();
}

void CArbeitsblatt::SetSchichtgruppenstaerke(int32_t strength, bool keep)
{
    if (TYP != ARBEITSBLATT_AZ)
        return;
    if (!keep)
        SCHICHTGRUPPENSTAERKE = strength;
    SBP->SetSchichtgruppenstaerke(static_cast<uint16_t>(std::clamp<int32_t>(SCHICHTGRUPPENSTAERKE, 0, 65535)));
    RefreshInspektoren();
    RecalcCosts();
}

void CArbeitsblatt::GetKriterien(std::vector<CKriterium*>& destination) const
{
    const auto& k = DEFINITIONSMANAGER->GetKriterien();
    destination.assign(k.begin(), k.end());
}

void CArbeitsblatt::GetRahmenbedingungen(std::vector<CRahmenbedingung*>& destination) const
{
    const auto& r = DEFINITIONSMANAGER->GetRahmenbedingungen();
    destination.assign(r.begin(), r.end());
}

long CArbeitsblatt::GetAnzahlGruppen() const { return AZP->CountGroups(); }
void CArbeitsblatt::ComputeAZPInfo(CAZPInfo& info) const { info.Compute(*AZP, SCHICHTGRUPPENSTAERKE); }
void CArbeitsblatt::ComputeSBPInfo(CSBPInfo& info) const { info.Compute(*SBP); }
void CArbeitsblatt::ComputeAKBInfo(CAKBInfo& info) const { AKB->ComputeInfo(info); }

// ---- owners of the parts -------------------------------------------------------------------------

bool CArbeitsblatt::GetLageDefinitions(NACHTSCHICHT& night, FRUEHSCHICHT& early, TAGSCHICHT& day)
{
    auto* rb1 = dynamic_cast<CRahmenbedingungNachtschicht*>(DEFINITIONSMANAGER->GetRahmenbedingung(1));
    auto* rb2 = dynamic_cast<CRahmenbedingungFruehschicht*>(DEFINITIONSMANAGER->GetRahmenbedingung(2));
    auto* rb3 = dynamic_cast<CRahmenbedingungTagschicht*>(DEFINITIONSMANAGER->GetRahmenbedingung(3));
    if (!rb1 || !rb2 || !rb3)
        return false;
    night = {rb1->NACHTAZ_ANFANG, rb1->NACHTAZ_LAENGE, rb1->NACHTAZ_DAUER_MIN};
    early = {rb2->FS_VON, rb2->FS_BIS};
    day = {rb3->TS_VON, rb3->TS_BIS};
    return true;
}

void CArbeitsblatt::PublishChecker()
{
    // Always this worksheet's own: with two worksheets open, the shift-type dialogs and the
    // overall rating must judge by the pool of the worksheet being worked on.
    GlobalSchichtChecker = CHECKER.get();
}

void CArbeitsblatt::EditBelastung() { BELASTUNGSEINSCHAETZUNGEN->Edit(); }
void CArbeitsblatt::EditKosten() { KOSTEN->Edit(); }

// ---- tree node ---------------------------------------------------------------------------------------

std::string CArbeitsblatt::GetIcon()
{
    return TYP == ARBEITSBLATT_AZ ? "~mini_tabelle.ico" : "~mini_kalender.ico";
}

void CArbeitsblatt::RefreshTree(int level, CTree& tree)
{
    tree.AddEntry(*this, level, GetText(), GetIcon());
    KOMMENTARMANAGER.RefreshTree(level + 1, tree);
    if (TYP == ARBEITSBLATT_AZ)
        SCHICHTENNODE->RefreshTree(level + 1, tree);
    BELASTUNGSEINSCHAETZUNGEN->RefreshTree(level + 1, tree);
    KOSTEN->RefreshTree(level + 1, tree);
    DEFINITIONSMANAGER->RefreshTree(level + 1, tree);
}

bool CArbeitsblatt::AcceptsRequest(int request)
{
    switch (request) {
    case TREE_DUPLICATE:
    case TREE_NEW:
    case TREE_OPEN:
    case TREE_RENAME:
    case TREE_COLLAPSE:
    case TREE_EXPAND:
        return true;
    case TREE_DELETE:
        // The last worksheet of a project stays.
        return GlobalProjektmanager.CountArbeitsblaetter() > 1;
    default:
        return false;
    }
}

uint8_t CArbeitsblatt::TakeRequest(int request, const std::string& text)
{
    switch (request) {
    case TREE_OPEN:
        return static_cast<uint8_t>(Open());
    case TREE_RENAME:
        if (Clip(text).empty())
            return STORE_REFUSED;
        BEZEICHNUNG = std::string(Utf8Prefix(text, kNameLength));
        // The name is stored with the next save: closing without one must ask, or it is lost.
        FILEMANAGER.SetChanged(true);
        return STORE_DONE;
    case TREE_NEW:
        GlobalProjektmanager.NewArbeitsblatt(true, 0);
        return STORE_DONE;
    case TREE_DELETE:
        // This object is gone once the delete went through: nothing of it is touched afterwards.
        return GlobalProjektmanager.DeleteArbeitsblatt(*this);
    case TREE_DUPLICATE:
        GlobalProjektmanager.DuplicateArbeitsblatt(*this);
        return STORE_DONE;
    default:
        TREESTDBEHAVIOUR.TakeRequest(request);
        return STORE_DONE;
    }
}

// ---- storage -------------------------------------------------------------------------------------------

uint8_t CArbeitsblatt::Init(CProjektFileManager& fileManager, CSubfileManager* parent)
{
    FILEMANAGER.Init("Arbeitsblatt", BLATT, parent);
    uint8_t result = fileManager.Register(FILEMANAGER, *this);
    for (ISavable* part : parts_) {
        part->Init(fileManager, &FILEMANAGER);
        // The store reaches the parts only through the worksheet; their sub-files stay registered.
        fileManager.RemoveSavable(*part);
    }
    return result;
}

void CArbeitsblatt::Release(CProjektFileManager& fileManager)
{
    for (ISavable* part : parts_)
        part->Release(fileManager);
    fileManager.Unregister(FILEMANAGER, *this);
    FILEMANAGER.Release();
    CURRENTSAVABLE = nullptr;
    if (GlobalSchichtChecker == CHECKER.get())
        GlobalSchichtChecker = nullptr;
}

uint8_t CArbeitsblatt::ResetNew()
{
    BEZUGSRAHMEN = 1;
    SCHICHTGRUPPENSTAERKE = 1;
    BEZEICHNUNG = "Arbeitszeitblatt";
    INFO.Clear();
    SCHICHTEN->GetSavable().ResetNew();
    BELASTUNGSEINSCHAETZUNGEN->ResetNew();
    KOSTEN->ResetNew();
    AKB->GetSavable().ResetNew();
    SBP->SetSchichttypen(SCHICHTEN.get());
    SBP->GetSavable().ResetNew();
    AZP->SetSchichttypen(SCHICHTEN.get(), 0);
    AZP->GetSavable().ResetNew();
    FLEXAZ->Clear();
    FLEXAZ->GetSavable().ResetNew();
    SetBezugsrahmen(BEZUGSRAHMEN, true);
    SetSchichtgruppenstaerke(SCHICHTGRUPPENSTAERKE, true);
    DEFINITIONSMANAGER->ResetNew();
    CHECKER->SetKriterien(DEFINITIONSMANAGER->GetKriterien());
    BLATT.Clear();
    return Save();
}

uint8_t CArbeitsblatt::Save()
{
    if (!FILEMANAGER.File())
        return STORE_REFUSED;
    // The old record goes only together with the new one being written.
    const auto before = FILEMANAGER.GetStepState();
    uint8_t result;
    {
        SubfileTransaction t(BLATT);
        result = t.Started() ? FILEMANAGER.DeleteAll(false) : STORE_REFUSED;
        if (result == STORE_DONE)
            result = FILEMANAGER.TakeNewStep();
        if (result == STORE_DONE) {
            BLATT.Clear();
            BLATT.SetInt("TYP", TYP);
            BLATT.SetString("BEZEICHNUNG", BEZEICHNUNG);
            BLATT.SetInt("BEZUGSRAHMEN", BEZUGSRAHMEN);
            BLATT.SetInt("SCHICHTGRUPPENSTAERKE", SCHICHTGRUPPENSTAERKE);
            INFO.ToRecord(BLATT);
            BLATT.SetInt("LETZTEAENDERUNG", DateToday());
            FILEMANAGER.PrimeKey();
            if (FileAdd(BLATT) != ERR_NONE)
                result = STORE_REFUSED;
        }
        if (result == STORE_DONE)
            result = FILEMANAGER.Compact();
        result = t.Finish(result);
    }
    if (result != STORE_DONE)
        FILEMANAGER.SetStepState(before);
    for (ISavable* part : parts_)
        if (part->Save() != STORE_DONE)
            result = STORE_REFUSED;
    return result;
}

uint8_t CArbeitsblatt::Load(bool fromStart)
{
    uint8_t result = FILEMANAGER.load(fromStart);
    if (result == STORE_DONE) {
        TYP = BLATT.GetInt("TYP") == ARBEITSBLATT_FLEX ? ARBEITSBLATT_FLEX : ARBEITSBLATT_AZ;
        BEZEICHNUNG = BLATT.GetString("BEZEICHNUNG");
        BEZUGSRAHMEN = static_cast<int32_t>(BLATT.GetInt("BEZUGSRAHMEN"));
        SCHICHTGRUPPENSTAERKE = static_cast<int32_t>(BLATT.GetInt("SCHICHTGRUPPENSTAERKE"));
        INFO.FromRecord(BLATT);
    }
    SetBezugsrahmen(BEZUGSRAHMEN, true);
    SetSchichtgruppenstaerke(SCHICHTGRUPPENSTAERKE, true);
    SBP->SetSchichttypen(SCHICHTEN.get());
    AZP->SetSchichttypen(SCHICHTEN.get(), 0);
    for (ISavable* part : parts_) {
        if (part->Load(true) == STORE_DONE)
            continue;
        result = STORE_REFUSED;
        // Only a pool that could not be read falls back to its defaults; a failure elsewhere is
        // reported as it is and leaves the pool as stored.
        if (part == DEFINITIONSMANAGER.get())
            DEFINITIONSMANAGER->ResetNew();
    }
    CHECKER->SetKriterien(DEFINITIONSMANAGER->GetKriterien());
    SCHICHTEN->ApplyDefinitions();
    // The working-time plan loads after the shift demand plan and may add placeholder shift
    // types for ids it names; a worksheet without its window is not told, so the shift demand
    // plan takes their rows here, as the next load would (in memory: no step, nothing changed).
    SBP->SyncSchichttypen();
    return result;
}

uint8_t CArbeitsblatt::DeleteAllSteps()
{
    uint8_t result = FILEMANAGER.DeleteAll(false);
    for (ISavable* part : parts_)
        if (part->DeleteAllSteps() != STORE_DONE)
            result = STORE_REFUSED;
    return result;
}

int32_t CArbeitsblatt::CountInstances()
{
    return FILEMANAGER.countInstances();
}

void RegisterArbeitsblatt()
{
    SetArbeitsblattFactory([]() -> std::unique_ptr<CArbeitsblattBase> { return std::make_unique<CArbeitsblatt>(); });
    CArbeitsblatt::SetWindowProcedure(ARBEITSBLATT_AZ, UpdateArbeitsblatt);
    InstallInspektoren();
    CArbeitsblatt::SetWindowProcedure(ARBEITSBLATT_FLEX, UpdateFlexAZBlatt);
    CAZPEditor::SetPrintReport([](CAZPGrid& grid, const std::string& project, const std::string& sheet) {
        PrintAZPReport(grid, project, sheet);
    });
}
