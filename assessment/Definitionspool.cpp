#include "assessment/Definitionspool.h"

#include "assessment/Belastungseinschaetzungen.h"
#include "assessment/DefinitionsDialog.h"
#include "assessment/Kosten.h"
#include "assessment/KriterienArbeitszeit.h"
#include "assessment/KriterienBelastung.h"
#include "assessment/KriterienKosten.h"
#include "assessment/KriterienRelevanteZeiten.h"
#include "assessment/KriterienRuhe.h"
#include "assessment/KriterienWochenende.h"
#include "assessment/Rahmenbedingungen.h"
#include "core/Files.h"
#include "core/ProjektFileManager.h"
#include "platform/fw/FwWindow.h"
#include "platform/records/FileError.h"
#include "platform/records/RecordFile.h"
#include "platform/ui/MessageShow.h"

#include <cstring>
#include <vector>

namespace {

constexpr const char* kTableRB = "Rahmenbedingungen";
constexpr const char* kTableKRI = "Kriterien";
constexpr int kLockSeconds = 5;

CDefinitionspool::DialogProcedure& Dialog()
{
    static CDefinitionspool::DialogProcedure dialog;
    return dialog;
}

// The place of criterion n among the owned criteria (number order without 20); -1 for none.
int OwnedIndex(long n)
{
    if (n >= 1 && n <= 19)
        return int(n - 1);
    if (n == 21 || n == 22)
        return int(n - 2);
    return -1;
}

// Keeps the contents of the RB and KRI buffers across an operation that uses them as its
// transfer area.
class KeepTransferArea {
public:
    KeepTransferArea() : rb_(RB.Bytes().begin(), RB.Bytes().end()), kri_(KRI.Bytes().begin(), KRI.Bytes().end()) {}
    ~KeepTransferArea()
    {
        std::memcpy(RB.Bytes().data(), rb_.data(), rb_.size());
        std::memcpy(KRI.Bytes().data(), kri_.data(), kri_.size());
    }
    KeepTransferArea(const KeepTransferArea&) = delete;
    KeepTransferArea& operator=(const KeepTransferArea&) = delete;

private:
    std::vector<uint8_t> rb_;
    std::vector<uint8_t> kri_;
};

// One transaction over both tables (or a part of the one already running: then its owner
// commits or rolls back).
class PoolTransaction {
public:
    PoolTransaction()
    {
        if (FileInTransaction()) {
            started_ = true;
            return;
        }
        own_ = started_ = FileLogout(kLockSeconds, RB, KRI) == ERR_NONE;
    }
    ~PoolTransaction()
    {
        if (own_)
            FileRollback();
    }
    PoolTransaction(const PoolTransaction&) = delete;
    PoolTransaction& operator=(const PoolTransaction&) = delete;

    bool Started() const { return started_; }
    uint8_t Finish(uint8_t result)
    {
        if (!started_)
            return STORE_REFUSED;
        if (!own_)
            return result;
        own_ = false;
        if (result == STORE_DONE)
            return FileCommit() == ERR_NONE ? STORE_DONE : STORE_REFUSED;
        FileRollback();
        return result;
    }

private:
    bool started_ = false;
    bool own_ = false;
};

// The step counters and the load flag of both sub-files, to put back after a failure.
class KeepSteps {
public:
    KeepSteps(CSubfileManager& rb, CSubfileManager& kri)
        : rb_(rb), kri_(kri), rbState_(rb.GetStepState()), kriState_(kri.GetStepState()),
          rbFailed_(rb.LoadFailed()), kriFailed_(kri.LoadFailed())
    {
    }
    void PutBack()
    {
        rb_.SetStepState(rbState_);
        kri_.SetStepState(kriState_);
        rb_.SetLoadFailed(rbFailed_);
        kri_.SetLoadFailed(kriFailed_);
    }

private:
    CSubfileManager& rb_;
    CSubfileManager& kri_;
    CSubfileManager::StepState rbState_;
    CSubfileManager::StepState kriState_;
    bool rbFailed_;
    bool kriFailed_;
};

template <class T>
T* As(CRahmenbedingung* constraint)
{
    return dynamic_cast<T*>(constraint);
}

} // namespace

// ---- the worksheet's side --------------------------------------------------------------------

void IDefinitionspoolOwner::EditBelastung()
{
    if (CBelastungseinschaetzungen* list = GetBelastungseinschaetzungen())
        list->Edit();
}

void IDefinitionspoolOwner::EditKosten()
{
    if (CKosten* kosten = GetKosten())
        kosten->Edit();
}

// ---- construction ----------------------------------------------------------------------------

CDefinitionspool::CDefinitionspool()
    : RECORDRB(static_cast<const RecordBuffer&>(RB)), RECORDKRI(static_cast<const RecordBuffer&>(KRI))
{
    for (int n = 1; n <= kRahmenbedingungen; ++n) {
        rahmen_[std::size_t(n - 1)] = NewRahmenbedingung(n);
        RAHMENBEDINGUNGEN[std::size_t(n - 1)] = rahmen_[std::size_t(n - 1)].get();
    }
    kriterien_ = {
        std::make_unique<CKriteriumPausen>(),
        std::make_unique<CKriteriumRuhezeit>(),
        std::make_unique<CKriteriumSonntagsruhe>(),
        std::make_unique<CKriteriumFreieSonntage>(),
        std::make_unique<CKriteriumNachtFrueh>(),
        std::make_unique<CKriteriumSchichtlaenge>(),
        std::make_unique<CKriteriumWerktagAZ>(),
        std::make_unique<CKriteriumWAZMittel>(),
        std::make_unique<CKriteriumWAZGrenzen>(),
        std::make_unique<CKriteriumKontArbeitstage>(),
        std::make_unique<CKriteriumNachtschlafEinzel>(),
        std::make_unique<CKriteriumNachtschlafKont>(),
        std::make_unique<CKriteriumSozialzeitEinzel>(),
        std::make_unique<CKriteriumSozialzeitKont>(),
        std::make_unique<CKriteriumFamilienzeitEinzel>(),
        std::make_unique<CKriteriumFamilienzeitKont>(),
        std::make_unique<CKriteriumWochenende>(),
        std::make_unique<CKriteriumRuhezeitAnzeige>(),
        std::make_unique<CKriteriumBelastung>(),
        std::make_unique<CKriteriumSchichtkosten>(),
        std::make_unique<CKriteriumPlankosten>(),
    };
    for (auto& k : kriterien_)
        k->SetDefinitionsmanager(this);
    for (std::size_t i = 0; i < KRITERIEN.size(); ++i)
        KRITERIEN[i] = GetKriterium(kKriterienReihenfolge[i]);
}

CDefinitionspool::~CDefinitionspool()
{
    FILEMANAGERRB.Release();
    FILEMANAGERKRI.Release();
    KRITERIEN.fill(nullptr);
    RAHMENBEDINGUNGEN.fill(nullptr);
    // The criteria before the constraints they point at.
    for (auto& k : kriterien_)
        k.reset();
    for (auto& r : rahmen_)
        r.reset();
}

void CDefinitionspool::SetDialogProcedure(DialogProcedure dialog) { Dialog() = std::move(dialog); }

CKriterium* CDefinitionspool::GetKriterium(long number) const
{
    const int i = OwnedIndex(number);
    return i < 0 ? nullptr : kriterien_[std::size_t(i)].get();
}

CRahmenbedingung* CDefinitionspool::GetRahmenbedingung(int number) const
{
    return number >= 1 && number <= kRahmenbedingungen ? rahmen_[std::size_t(number - 1)].get() : nullptr;
}

// ---- the objects and the transfer area -------------------------------------------------------

void CDefinitionspool::PutOwnRecords()
{
    RB.CopyFrom(RECORDRB);
    KRI.CopyFrom(RECORDKRI);
}

void CDefinitionspool::StoreAll()
{
    PutOwnRecords();
    for (auto& r : rahmen_)
        r->StoreToRB();
    for (auto& k : kriterien_)
        k->StoreToKRI();
}

void CDefinitionspool::Link(long number)
{
    auto rb = [this](int n) { return GetRahmenbedingung(n); };
    auto* k = GetKriterium(number);
    switch (number) {
    case 1:
        static_cast<CKriteriumPausen*>(k)->SetRahmenbedingungen(As<CRahmenbedingungPausen>(rb(11)),
                                                                As<CRahmenbedingungErstePause>(rb(12)),
                                                                As<CRahmenbedingungMindestpausenlaenge>(rb(13)));
        break;
    case 2: static_cast<CKriteriumRuhezeit*>(k)->SetRahmenbedingung(As<CRahmenbedingungMindestruhezeit>(rb(4))); break;
    case 3: {
        auto* kr3 = static_cast<CKriteriumSonntagsruhe*>(k);
        kr3->SetRahmenbedingung(As<CRahmenbedingungKontWochenruhezeit>(rb(6)));
        kr3->SetKriteriumRuhezeit(static_cast<CKriteriumRuhezeit*>(GetKriterium(2)));
        break;
    }
    case 4:
        static_cast<CKriteriumFreieSonntage*>(k)->SetRahmenbedingung(As<CRahmenbedingungFreieSonntage>(rb(5)),
                                                                     As<CRahmenbedingungKontWochenruhezeit>(rb(6)));
        break;
    case 5: static_cast<CKriteriumNachtFrueh*>(k)->SetRahmenbedingung(As<CRahmenbedingungRZNachtarbeit>(rb(21))); break;
    case 6: static_cast<CKriteriumSchichtlaenge*>(k)->SetRahmenbedingung(As<CRahmenbedingungSchichtzeit>(rb(10))); break;
    case 7: static_cast<CKriteriumWerktagAZ*>(k)->SetRahmenbedingung(As<CRahmenbedingungWerktagAZ>(rb(14))); break;
    case 8: static_cast<CKriteriumWAZMittel*>(k)->SetRahmenbedingung(As<CRahmenbedingungWAZMittel>(rb(15))); break;
    case 9:
        static_cast<CKriteriumWAZGrenzen*>(k)->SetRahmenbedingung(As<CRahmenbedingungWAZMittel>(rb(15)),
                                                                  As<CRahmenbedingungWAZGrenzen>(rb(16)));
        break;
    case 10:
        static_cast<CKriteriumKontArbeitstage*>(k)->SetRahmenbedingung(As<CRahmenbedingungKontArbeitstage>(rb(7)));
        break;
    case 11:
    case 12:
    case 13:
    case 14:
    case 15:
    case 16:
        // Also reads the weight.
        static_cast<CKriteriumRelevanteZeiten*>(k)->SetRahmenbedingung(
            As<CRahmenbedingungRelevanteZeiten>(rb(18 + int(number - 11) / 2)));
        break;
    case 17: static_cast<CKriteriumWochenende*>(k)->SetRahmenbedingung(As<CRahmenbedingungWochenende>(rb(17))); break;
    case 18: static_cast<CKriteriumRuhezeitAnzeige*>(k)->SetRahmenbedingung(As<CRahmenbedingungRZAnzeige>(rb(22))); break;
    case 19:
        static_cast<CKriteriumBelastung*>(k)->SetBelastungseinschaetzungen(
            ARBEITSBLATT ? ARBEITSBLATT->GetBelastungseinschaetzungen() : nullptr);
        break;
    case 21: static_cast<CKriteriumSchichtkosten*>(k)->SetKosten(ARBEITSBLATT ? ARBEITSBLATT->GetKosten() : nullptr); break;
    case 22:
        static_cast<CKriteriumPlankosten*>(k)->SetKostenUndRB(ARBEITSBLATT ? ARBEITSBLATT->GetKosten() : nullptr,
                                                               As<CRahmenbedingungWAZMittel>(rb(15)));
        break;
    default: break;
    }
}

void CDefinitionspool::Apply()
{
    for (auto& r : rahmen_)
        r->LoadFromRB();
    for (auto& k : kriterien_) {
        k->LoadFromKRI();
        // A record without names (an empty defaults record) would give nameless tree rows.
        if (k->NAME.find_first_not_of(' ') == std::string::npos)
            if (const KriteriumEintrag* e = FindKriteriumEintrag(k->NUMMER))
                k->NAME = e->BEZEICHNUNG;
        Link(k->NUMMER);
    }
    RECORDRB.CopyFrom(RB);
    RECORDKRI.CopyFrom(KRI);
}

void CDefinitionspool::AssignFrom(const CDefinitionspool& other)
{
    if (&other == this)
        return;
    KriterienAssign(KRITERIEN, other.KRITERIEN, this);
    RahmenbedingungenAssign(other.RAHMENBEDINGUNGEN, RAHMENBEDINGUNGEN);
    RECORDRB.CopyFrom(other.RECORDRB);
    RECORDKRI.CopyFrom(other.RECORDKRI);
    // A copied criterion may point at the other pool's objects or the other worksheet's parts.
    for (auto& k : kriterien_)
        Link(k->NUMMER);
}

void CDefinitionspool::NotifyArbeitsblatt()
{
    if (ARBEITSBLATT)
        ARBEITSBLATT->OnDefinitionsChanged();
}

// ---- editing and the tree node ---------------------------------------------------------------

uint8_t CDefinitionspool::Edit(uint8_t mode, long kriterium)
{
    // The open dialog edits the shared buffers: StoreAll must not overwrite what its user typed.
    if (DefinitionsDialogBusy(true))
        return 0;
    StoreAll();
    const int response = Dialog() ? Dialog()(mode, kriterium, ARBEITSBLATT) : RESPONSE_CANCELLED;
    uint8_t result = 0;
    if (response == RESPONSE_COMPLETED) {
        Apply();
        // A pool of no project has nowhere to store; that is no failure.
        if (StoreStep() != STORE_DONE && Bound()) {
            MessageRequest m;
            m.text = "Die geänderten Rahmenbedingungen und Kriterien konnten nicht als Bearbeitungsschritt "
                     "gespeichert werden.|Die Einstellungen bleiben wie geändert; der vorige Schritt ist "
                     "unverändert erhalten.";
            m.caption = "Definitionen nicht gespeichert";
            m.icon = MessageIcon::Exclamation;
            MessageShow(m);
            result = STORE_REFUSED;
        }
        // The worksheet follows the settings in memory, stored or not.
        NotifyArbeitsblatt();
    }
    return result;
}

void CDefinitionspool::RefreshTree(int level, CTree& tree) { tree.AddEntry(*this, level, GetText(), GetIcon()); }

uint8_t CDefinitionspool::TakeRequest(int request, const std::string&)
{
    if (request != TREE_OPEN)
        return STORE_REFUSED;
    return EditFromWorksheet();
}

// ---- storage ---------------------------------------------------------------------------------

uint8_t CDefinitionspool::Init(CProjektFileManager& fileManager, CSubfileManager* parent)
{
    FILEMANAGERRB.Init(kTableRB, RB, parent);
    FILEMANAGERKRI.Init(kTableKRI, KRI, parent);
    const uint8_t rb = fileManager.Register(FILEMANAGERRB, *this);
    const uint8_t kri = fileManager.Register(FILEMANAGERKRI, *this);
    // The pool is one part: it stays in the list of savables once.
    if (rb == STORE_DONE && kri == STORE_DONE)
        fileManager.RemoveSavable(*this);
    return rb == STORE_DONE && kri == STORE_DONE ? STORE_DONE : STORE_REFUSED;
}

void CDefinitionspool::Release(CProjektFileManager& fileManager)
{
    fileManager.Unregister(FILEMANAGERRB, *this);
    fileManager.Unregister(FILEMANAGERKRI, *this);
    FILEMANAGERRB.Release();
    FILEMANAGERKRI.Release();
}

bool CDefinitionspool::Bound() const { return FILEMANAGERRB.File() && FILEMANAGERKRI.File(); }

uint8_t CDefinitionspool::StoreInTransaction()
{
    if (FILEMANAGERRB.TakeNewStep() != STORE_DONE || FILEMANAGERKRI.TakeNewStep() != STORE_DONE)
        return STORE_REFUSED;
    StoreAll();
    FILEMANAGERRB.PrimeKey();
    if (FileAdd(RB) != ERR_NONE)
        return STORE_REFUSED;
    FILEMANAGERKRI.PrimeKey();
    if (FileAdd(KRI) != ERR_NONE)
        return STORE_REFUSED;
    return STORE_DONE;
}

uint8_t CDefinitionspool::StoreStep()
{
    KeepTransferArea keep;
    uint8_t result = STORE_REFUSED;
    // Content that did not load completely must not become a step.
    if (Bound() && !FILEMANAGERRB.LoadFailed() && !FILEMANAGERKRI.LoadFailed()) {
        KeepSteps before(FILEMANAGERRB, FILEMANAGERKRI);
        PoolTransaction t;
        result = t.Finish(t.Started() ? StoreInTransaction() : STORE_REFUSED);
        if (result != STORE_DONE)
            before.PutBack();
    }
    StoreAll();
    Apply();
    return result;
}

bool CDefinitionspool::CanUndo(int n) { return FILEMANAGERRB.CanUndo(n) && FILEMANAGERKRI.CanUndo(n); }

bool CDefinitionspool::CanRedo(int n) { return FILEMANAGERRB.CanRedo(n) && FILEMANAGERKRI.CanRedo(n); }

uint8_t CDefinitionspool::Move(int steps)
{
    KeepTransferArea keep;
    const bool possible = Bound() && (steps < 0 ? CanUndo(-steps) : CanRedo(steps));
    uint8_t result = STORE_REFUSED;
    if (possible) {
        KeepSteps before(FILEMANAGERRB, FILEMANAGERKRI);
        FILEMANAGERRB.StepForward(steps);
        FILEMANAGERKRI.StepForward(steps);
        if (FILEMANAGERRB.fetch() == STORE_DONE && FILEMANAGERKRI.fetch() == STORE_DONE)
            result = STORE_DONE;
        else
            before.PutBack();
    }
    // Without both records the objects keep the pool's own values.
    if (result != STORE_DONE)
        PutOwnRecords();
    Apply();
    return result;
}

uint8_t CDefinitionspool::Undo(int n) { return Move(-n); }

uint8_t CDefinitionspool::Redo(int n) { return Move(n); }

uint8_t CDefinitionspool::ResetNew()
{
    KeepTransferArea keep;
    RB.CopyFrom(RBDEFAULT);
    KRI.CopyFrom(KRIDEFAULT);
    Apply();
    return Save();
}

uint8_t CDefinitionspool::Save()
{
    KeepTransferArea keep;
    uint8_t result = STORE_REFUSED;
    if (Bound() && !FILEMANAGERRB.LoadFailed() && !FILEMANAGERKRI.LoadFailed()) {
        // Deleting the steps and writing the one left is one transaction: a failure keeps the steps.
        KeepSteps before(FILEMANAGERRB, FILEMANAGERKRI);
        PoolTransaction t;
        uint8_t r = t.Started() ? STORE_DONE : STORE_REFUSED;
        if (r == STORE_DONE && (FILEMANAGERRB.DeleteAll(false) != STORE_DONE || FILEMANAGERKRI.DeleteAll(false) != STORE_DONE))
            r = STORE_REFUSED;
        if (r == STORE_DONE)
            r = StoreInTransaction();
        result = t.Finish(r);
        if (result != STORE_DONE)
            before.PutBack();
    }
    StoreAll();
    Apply();
    return result;
}

uint8_t CDefinitionspool::Load(bool fromStart)
{
    KeepTransferArea keep;
    const uint8_t rb = FILEMANAGERRB.load(fromStart);
    const uint8_t kri = FILEMANAGERKRI.load(fromStart);
    const bool loaded = rb == STORE_DONE && kri == STORE_DONE;
    if (!loaded)
        PutOwnRecords();
    Apply();
    return loaded ? STORE_DONE : STORE_REFUSED;
}

uint8_t CDefinitionspool::DeleteAllSteps()
{
    if (!Bound())
        return STORE_REFUSED;
    KeepSteps before(FILEMANAGERRB, FILEMANAGERKRI);
    PoolTransaction t;
    uint8_t r = t.Started() ? STORE_DONE : STORE_REFUSED;
    if (r == STORE_DONE && (FILEMANAGERRB.DeleteAll(false) != STORE_DONE || FILEMANAGERKRI.DeleteAll(false) != STORE_DONE))
        r = STORE_REFUSED;
    const uint8_t result = t.Finish(r);
    if (result != STORE_DONE)
        before.PutBack();
    return result;
}

int32_t CDefinitionspool::CountInstances() { return FILEMANAGERRB.countInstances(); }
