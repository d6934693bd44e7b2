// The worksheet's commands and notices: what the window's menus, toolbar and edit buttons and the
// editors' context menus start, and how every change reaches the evaluations and inspectors.
// Everything here runs on the worksheet window's thread. An edit is one editor call, one undo step
// of the pane's part and one notice; a step that cannot be stored is reported and leaves the part
// as it was, and then no notice follows.
#include "worksheets/Arbeitsblatt.h"

#include "assessment/AZPBewertung.h"
#include "assessment/KriterienChecker.h"
#include "assessment/RahmenbedingungArbeitszeit.h"
#include "assessment/RahmenbedingungPausen.h"
#include "assessment/RahmenbedingungRuhezeiten.h"
#include "assessment/RahmenbedingungSchichten.h"
#include "assessment/SBPBewertung.h"
#include "assessment/SchichttypDialoge.h"
#include "core/Frame.h"
#include "core/MessageDialog.h"
#include "core/Projektmanager.h"
#include "generation/AZPOptimizer.h"
#include "generation/AZWizard.h"
#include "generation/ProgressWindow.h"
#include "generation/SBPGenerator.h"
#include "generation/SBWizard.h"
#include "platform/fw/FwWindow.h"
#include "platform/ui/Events.h"
#include "platform/ui/MessageShow.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"
#include "platform/values/Picture.h"
#include "plans/AKBData.h"
#include "plans/AZPData.h"
#include "plans/FlexAZ.h"
#include "plans/SBPData.h"
#include "plans/SBPInfo.h"
#include "plans/Schichttypen.h"
#include "worksheets/AKBEditor.h"
#include "worksheets/AZPEditor.h"
#include "worksheets/CSVFile.h"
#include "worksheets/FlexAZEditor.h"
#include "worksheets/Gesamtbewertung.h"
#include "worksheets/Inspektoren.h"
#include "worksheets/Legende.h"
#include "worksheets/SBPEditor.h"

namespace {
CArbeitsblatt::Inspektoren& InstalledInspektoren()
{
    static CArbeitsblatt::Inspektoren inspectors;
    return inspectors;
}

int Message(const std::string& caption, const std::string& text, const std::string& buttons = {})
{
    MessageRequest request;
    request.caption = caption;
    request.text = text;
    request.icon = MessageIcon::Asterisk;
    request.buttonTexts = buttons;
    request.defaultButton = buttons.empty() ? 0 : 1;
    // A generation ended because the worksheet's window is being closed tells its result to
    // nobody: the message would hold up the close.
    if (TakeProgressOwnerClosing())
        return MessageDefaultAnswer(request);
    return MessageShow(request);
}

// Generating the shift demand plan needs a staff demand to cover.
void MessageNoDemand()
{
    Message("Kein Arbeitskräftebedarf vorhanden.",
            "Der Arbeitskräftebedarf enthält keine Einträge, aus denen ein Schichtbedarfsplan generiert werden "
            "könnte. Der Schichtbedarfsplan bleibt unverändert.||Tragen Sie zuerst den Arbeitskräftebedarf ein.");
}

// What generating and optimising take from the worksheet's definitions pool.
AZPDefinitionen AZPDefinitionenOf(CDefinitionspool& pool)
{
    AZPDefinitionen d;
    d.RB4 = dynamic_cast<const CRahmenbedingungMindestruhezeit*>(pool.GetRahmenbedingung(4));
    d.RB7 = dynamic_cast<const CRahmenbedingungKontArbeitstage*>(pool.GetRahmenbedingung(7));
    for (CKriterium* k : pool.GetKriterien())
        if (k)
            d.KRITERIEN.push_back(k);
    return d;
}

// What the shift demand generator takes from it: the shift windows, the operating-day begin, the
// shift and break rules and the pricing criteria.
SBPDefinitionen SBPDefinitionenOf(CDefinitionspool& pool)
{
    SBPDefinitionen d;
    d.RB1 = dynamic_cast<const CRahmenbedingungNachtschicht*>(pool.GetRahmenbedingung(1));
    d.RB2 = dynamic_cast<const CRahmenbedingungFruehschicht*>(pool.GetRahmenbedingung(2));
    d.RB3 = dynamic_cast<const CRahmenbedingungTagschicht*>(pool.GetRahmenbedingung(3));
    d.RB8 = dynamic_cast<const CRahmenbedingungBetriebstagsbeginn*>(pool.GetRahmenbedingung(8));
    d.RB10 = dynamic_cast<const CRahmenbedingungSchichtzeit*>(pool.GetRahmenbedingung(10));
    d.RB11 = dynamic_cast<const CRahmenbedingungPausen*>(pool.GetRahmenbedingung(11));
    d.RB12 = dynamic_cast<const CRahmenbedingungErstePause*>(pool.GetRahmenbedingung(12));
    d.RB13 = dynamic_cast<const CRahmenbedingungMindestpausenlaenge*>(pool.GetRahmenbedingung(13));
    for (long n : {1L, 6L, 11L, 12L, 13L, 14L, 15L, 16L, 19L, 21L})
        if (CKriterium* k = pool.GetKriterium(n))
            d.KRITERIEN.push_back(k);
    return d;
}
} // namespace

// ---- inspectors -----------------------------------------------------------------------------------

void CArbeitsblatt::SetInspektoren(Inspektoren inspectors) { InstalledInspektoren() = std::move(inspectors); }

void CArbeitsblatt::Inspector(int which, std::function<void(CArbeitsblatt&, int)> Inspektoren::*what)
{
    auto& call = InstalledInspektoren().*what;
    if (call)
        call(*this, which);
}

void CArbeitsblatt::RefreshInspektoren()
{
    for (int which = 1; which <= 3; ++which)
        Inspector(which, &Inspektoren::refresh);
}

void CArbeitsblatt::CloseInspektoren()
{
    for (int which = 1; which <= 3; ++which)
        Inspector(which, &Inspektoren::close);
}

bool CArbeitsblatt::IsInspektorOpen(int which)
{
    auto& call = InstalledInspektoren().isOpen;
    return call && call(*this, which);
}

void CArbeitsblatt::DisposeInspektoren()
{
    if (InstalledInspektoren().dispose)
        InstalledInspektoren().dispose(*this);
}

void CArbeitsblatt::ShowGesamtbewertung()
{
    // A plan without groups has nothing to rate.
    if (AZP->CountGroups() == 0)
        return;
    PublishChecker();
    ::ShowGesamtbewertung(*this);
}

// ---- window binding ---------------------------------------------------------------------------------

void CArbeitsblatt::BindAZPList(int list, int swapButton, int window)
{
    if (!BROWSEAZP)
        return;
    BROWSEAZP->Bind(list, *AZP, *this, window, TYP);
    BROWSEAZP->SetBezugsrahmen(BEZUGSRAHMEN);
    SWAPFEQ = swapButton;
}

void CArbeitsblatt::BindSBPList(int list)
{
    if (!BROWSESBP)
        return;
    BROWSESBP->Init(*this, *SBP, list);
    BROWSESBP->SetBezugsrahmen(BEZUGSRAHMEN);
}

void CArbeitsblatt::BindAKBList(int list, int insertButton)
{
    if (!BROWSEAKB)
        return;
    BROWSEAKB->Init(*this, *AKB, list);
    BROWSEAKB->SetBezugsrahmen(BEZUGSRAHMEN);
    INSERTFEQ = insertButton;
}

void CArbeitsblatt::BindFlexWindow(int list, int insertButton, int changeButton, int window)
{
    if (!BROWSEFLEXAZ)
        return;
    BROWSEFLEXAZ->Bind(*this, list, *FLEXAZ, window);
    INSERTFEQ = insertButton;
    CHANGEFEQ = changeButton;
    FlexToAZP(0, 0, true);
}

void CArbeitsblatt::SetGenerateButton(int button)
{
    GENERATEFEQ = button;
    ControlEnable(button, false);
}

void CArbeitsblatt::SetEditButtons(int cut, int copy, int paste, int del, int insert, int undo, int redo)
{
    CUTFEQ = cut;
    COPYFEQ = copy;
    PASTEFEQ = paste;
    DELETEFEQ = del;
    INSERTFEQ = insert;
    UNDOFEQ = undo;
    REDOFEQ = redo;
}

void CArbeitsblatt::ControlEnable(int feq, bool on)
{
    if (feq != 0 && IsActive())
        ControlSetEnabled(feq, on);
}

CPlanEditor* CArbeitsblatt::EditorOfSavable(ISavable* part)
{
    if (!part)
        return nullptr;
    if (BROWSEAKB && part == &AKB->GetSavable())
        return BROWSEAKB.get();
    if (BROWSESBP && part == &SBP->GetSavable())
        return BROWSESBP.get();
    if (BROWSEAZP && part == &AZP->GetSavable())
        return BROWSEAZP.get();
    if (BROWSEFLEXAZ && part == &FLEXAZ->GetSavable())
        return BROWSEFLEXAZ.get();
    return nullptr;
}

void CArbeitsblatt::SelectPane(int list)
{
    if (BROWSEAKB && list == BROWSEAKB->GetListFeq()) {
        CURRENTSTDEDIT = BROWSEAKB.get();
        CURRENTSAVABLE = &AKB->GetSavable();
        ControlEnable(GENERATEFEQ, false);
    } else if (BROWSESBP && list == BROWSESBP->GetListFeq()) {
        CURRENTSTDEDIT = BROWSESBP.get();
        CURRENTSAVABLE = &SBP->GetSavable();
        ControlEnable(GENERATEFEQ, true);
    } else if (BROWSEAZP && list == BROWSEAZP->GetListFeq()) {
        CURRENTSTDEDIT = BROWSEAZP.get();
        CURRENTSAVABLE = &AZP->GetSavable();
        ControlEnable(GENERATEFEQ, TYP == ARBEITSBLATT_AZ);
    } else if (BROWSEFLEXAZ && list == BROWSEFLEXAZ->GetListFeq()) {
        CURRENTSTDEDIT = BROWSEFLEXAZ.get();
        CURRENTSAVABLE = &FLEXAZ->GetSavable();
    } else {
        return;
    }
    RefreshInspektoren();
}

uint8_t CArbeitsblatt::OnWindowEvent()
{
    if (OptimizationRunning)
        return 0;
    const int event = EventCurrent();
    const int control = EventControl();
    if (event == EVENT_SELECTED)
        SelectPane(control);
    if (event == EVENT_ACCEPTED && control != 0) {
        if (control == UNDOFEQ)
            UndoCommand();
        else if (control == REDOFEQ)
            RedoCommand();
        else if (control == SWAPFEQ)
            ToggleSwapMode();
        else if (control == GENERATEFEQ)
            Generate();
        else if (control == CUTFEQ)
            EditCommand(STDEDIT_CUT);
        else if (control == COPYFEQ)
            EditCommand(STDEDIT_COPY);
        else if (control == PASTEFEQ)
            EditCommand(STDEDIT_PASTE);
        else if (control == DELETEFEQ)
            EditCommand(STDEDIT_DELETE);
        else if (control == INSERTFEQ)
            EditCommand(STDEDIT_INSERT);
        else if (control == CHANGEFEQ && BROWSEFLEXAZ && CURRENTSTDEDIT == BROWSEFLEXAZ.get())
            BROWSEFLEXAZ->Edit(2);
    }
    if (event == EVENT_GAIN_FOCUS)
        RefreshInspektoren();
    // The evaluation inspector's "Legende anzeigen" asks for the legend of the grid's markers.
    if (event == EventShowLegend)
        Legende();
    if (event == EVENT_TIMER)
        ScrollTogether();
    uint8_t result = 0;
    for (CPlanEditor* editor : {static_cast<CPlanEditor*>(BROWSEAKB.get()), static_cast<CPlanEditor*>(BROWSESBP.get()),
                                static_cast<CPlanEditor*>(BROWSEAZP.get()), static_cast<CPlanEditor*>(BROWSEFLEXAZ.get())})
        if (editor && editor->OnEvent(event))
            result = LEVEL_NOTIFY;
    FollowCostWeek(control);
    UpdateButtons();
    return result;
}

void CArbeitsblatt::FollowCostWeek(int control)
{
    if (!IsActive() || !IsInspektorOpen(3))
        return;
    // Scrolling together, the list with the focus leads.
    if (SYNCHRONSCROLLEN)
        control = int(PropertyGet(0, Prop::Focus).Int());
    const CPlanEditor* editor = nullptr;
    for (const CPlanEditor* e : {static_cast<const CPlanEditor*>(BROWSEAKB.get()),
                                 static_cast<const CPlanEditor*>(BROWSESBP.get()),
                                 static_cast<const CPlanEditor*>(BROWSEAZP.get())})
        if (e && control != 0 && e->GetListFeq() == control)
            editor = e;
    if (!editor)
        return;
    const int day = std::max(1, editor->GetCurrentDay());
    if (AKTTAG != 0 && (day - 1) / 7 == (AKTTAG - 1) / 7)
        return;
    AKTTAG = uint16_t(day);
    RecalcCosts();
}

void CArbeitsblatt::ScrollTogether()
{
    if (!SYNCHRONSCROLLEN || !BROWSESBP || !BROWSEAZP || !IsActive())
        return;
    const int sbp = BROWSESBP->GetListFeq();
    const int azp = BROWSEAZP->GetListFeq();
    const int focus = int(PropertyGet(0, Prop::Focus).Int());
    // The list with the focus leads; the other one follows its horizontal position.
    const int leader = focus == sbp ? sbp : focus == azp ? azp : 0;
    if (leader == 0)
        return;
    const int follower = leader == sbp ? azp : sbp;
    const int64_t position = PropertyGet(leader, Prop::HScrollPos).Int();
    if (PropertyGet(follower, Prop::HScrollPos).Int() != position)
        PropertySet(follower, Prop::HScrollPos, position);
}

void CArbeitsblatt::UpdateButtons()
{
    if (!IsActive())
        return;
    // No pane selected: nothing to edit, undo or redo.
    ControlEnable(UNDOFEQ, CURRENTSAVABLE && CURRENTSAVABLE->CanUndo(1));
    ControlEnable(REDOFEQ, CURRENTSAVABLE && CURRENTSAVABLE->CanRedo(1));
    if (SWAPFEQ && BROWSEAZP) {
        ControlEnable(SWAPFEQ, CURRENTSAVABLE == &AZP->GetSavable());
        PropertySet(SWAPFEQ, Prop::Checked, BROWSEAZP->IsSwapMode() ? 1 : 0);
    }
    const int buttons[] = {CUTFEQ, COPYFEQ, PASTEFEQ, DELETEFEQ, INSERTFEQ};
    for (uint8_t action = STDEDIT_CUT; action <= STDEDIT_INSERT; ++action)
        ControlEnable(buttons[action - 1], CURRENTSTDEDIT && CURRENTSTDEDIT->IsEnabled(action));
    ControlEnable(CHANGEFEQ, BROWSEFLEXAZ && CURRENTSTDEDIT == BROWSEFLEXAZ.get() && FLEXAZ->Count() > 0);
}

// ---- edit operations -------------------------------------------------------------------------------------

bool CArbeitsblatt::EditCommand(uint8_t action)
{
    if (!CURRENTSTDEDIT || !CURRENTSAVABLE || !CURRENTSTDEDIT->IsEnabled(action))
        return false;
    // The flex editor stores the one step of an accepted edit itself; a cancelled dialog none.
    if (BROWSEFLEXAZ && CURRENTSTDEDIT == BROWSEFLEXAZ.get()) {
        if (action == STDEDIT_INSERT)
            return BROWSEFLEXAZ->Edit(1) == 1;
        if (action == STDEDIT_DELETE)
            return BROWSEFLEXAZ->Edit(3) == 1;
        return false;
    }
    switch (action) {
    case STDEDIT_CUT: CURRENTSTDEDIT->Cut(); break;
    case STDEDIT_COPY: CURRENTSTDEDIT->Copy(); break;
    case STDEDIT_PASTE: CURRENTSTDEDIT->Paste(); break;
    case STDEDIT_DELETE: CURRENTSTDEDIT->Delete(); break;
    case STDEDIT_INSERT: CURRENTSTDEDIT->Insert(); break;
    default: return false;
    }
    if (!StoreEditStep(*CURRENTSAVABLE))
        return false;
    OnEdited();
    return true;
}

bool CArbeitsblatt::UndoCommand()
{
    if (!CURRENTSAVABLE || !CURRENTSAVABLE->CanUndo(1))
        return false;
    if (CURRENTSAVABLE->Undo(1) != STORE_DONE) {
        MessageShow({.text = "Der letzte Bearbeitungsschritt konnte nicht rückgängig gemacht werden.",
                     .caption = "Rückgängig",
                     .icon = MessageIcon::Exclamation});
        return false;
    }
    OnEdited();
    return true;
}

bool CArbeitsblatt::RedoCommand()
{
    if (!CURRENTSAVABLE || !CURRENTSAVABLE->CanRedo(1))
        return false;
    if (CURRENTSAVABLE->Redo(1) != STORE_DONE) {
        MessageShow({.text = "Der Bearbeitungsschritt konnte nicht wiederhergestellt werden.",
                     .caption = "Wiederherstellen",
                     .icon = MessageIcon::Exclamation});
        return false;
    }
    OnEdited();
    return true;
}

bool CArbeitsblatt::StoreEditStep(ISavable& part)
{
    if (part.StoreStep() == STORE_DONE)
        return true;
    MessageShow({.text = "Die Änderung konnte nicht als Bearbeitungsschritt gespeichert werden und wurde deshalb "
                 "zurückgenommen. Prüfen Sie, ob auf dem Datenträger noch Platz ist.",
                 .caption = "Fehler beim Speichern",
                 .icon = MessageIcon::Hand});
    // Back to the last stored step: what is shown is what is stored.
    part.Undo(0);
    OnEdited();
    return false;
}

void CArbeitsblatt::OnEdited()
{
    if (CURRENTSAVABLE == &AKB->GetSavable())
        OnAKBChanged(false);
    else if (CURRENTSAVABLE == &SBP->GetSavable())
        OnSBPChanged(false);
    else if (CURRENTSAVABLE == &AZP->GetSavable())
        OnAZPChanged();
    else if (CURRENTSAVABLE == &FLEXAZ->GetSavable())
        OnFlexChanged();
}

// ---- notices -------------------------------------------------------------------------------------------

void CArbeitsblatt::OnAZPChanged()
{
    RefreshInspektoren();
    RecalcEvaluation();
    RecalcCosts();
    if (AZP->CountGroups() == 0 && BROWSEAZP)
        BROWSEAZP->RefreshEmpty();
}

void CArbeitsblatt::OnSBPChanged(bool checkAZP)
{
    if (checkAZP)
        AZP->CheckUnknownShifts();
    RefreshInspektoren();
    RecalcEvaluation();
    if (SBP->CountRows() == 0 && BROWSESBP)
        BROWSESBP->RefreshEmpty();
    RecalcCosts();
}

void CArbeitsblatt::OnAKBChanged(bool syncTypes)
{
    if (syncTypes) {
        SBP->SyncSchichttypen();
        AZP->CheckUnknownShifts();
    }
    RefreshInspektoren();
    RecalcCosts();
    if (BROWSEAKB)
        BROWSEAKB->RefreshEmpty();
}

void CArbeitsblatt::OnFlexChanged()
{
    FlexToAZP(0, 0, true);
    RefreshInspektoren();
    RecalcEvaluation();
    RecalcCosts();
    if (AZP->CountGroups() == 0 && BROWSEAZP)
        BROWSEAZP->RefreshEmpty();
}

void CArbeitsblatt::FlexToAZP(int32_t from, int32_t to, bool whole)
{
    if (TYP != ARBEITSBLATT_FLEX)
        return;
    if (whole && !FLEXAZ->GetPeriod(from, to))
        from = to = 0;
    FLEXAZ->BuildAZP(*AZP, *SCHICHTEN, from, to, whole, whole);
    if (!BROWSEAZP)
        return;
    BROWSEAZP->SetPeriod(from, to);
    BROWSEAZP->SetBezugsrahmen(AZP->GetBezugsrahmen());
    BROWSEAZP->RefreshEmpty();
}

void CArbeitsblatt::SyncFlexDate(int32_t date)
{
    if (TYP != ARBEITSBLATT_FLEX || !IsActive())
        return;
    const int focus = ControlFocus();
    if (BROWSEAZP && focus != BROWSEAZP->GetListFeq())
        BROWSEAZP->ShowDate(date);
    if (BROWSEFLEXAZ && focus != BROWSEFLEXAZ->GetListFeq())
        BROWSEFLEXAZ->ShowDate(date);
}

void CArbeitsblatt::OnSchichttypenChanged()
{
    if (!IsActive())
        return;
    SBP->SyncSchichttypen();
    AZP->CheckUnknownShifts();
    RefreshInspektoren();
    RecalcEvaluation();
    if (BROWSESBP)
        BROWSESBP->RefreshEmpty();
    if (BROWSEAZP)
        BROWSEAZP->RefreshEmpty();
    RecalcCosts();
}

void CArbeitsblatt::OnDefinitionsChanged()
{
    if (!IsActive())
        return;
    SBP->SyncSchichttypen();
    AZP->CheckUnknownShifts();
    RecalcEvaluation();
}

void CArbeitsblatt::ApplyDefinitions()
{
    // The pool's own records, never whatever another worksheet or a cancelled dialog left in the
    // shared buffers.
    DEFINITIONSMANAGER->AssignFrom(*DEFINITIONSMANAGER);
    CHECKER->SetKriterien(DEFINITIONSMANAGER->GetKriterien());
    SBP->SyncSchichttypen();
    AZP->CheckUnknownShifts();
    RefreshInspektoren();
    SCHICHTEN->ApplyDefinitions();
    RecalcEvaluation();
    RecalcCosts();
}

void CArbeitsblatt::RecalcCosts()
{
    if (!IsActive())
        return;
    Inspector(3, &Inspektoren::refresh);
}

void CArbeitsblatt::RecalcEvaluation()
{
    if (SBPBEWERTUNG) {
        SBPBEWERTUNG->Evaluate(*SBP);
        CHECKER->CheckShiftTypes(*SBPBEWERTUNG);
    }
    if (AZPBEWERTUNG) {
        // An emptied plan is evaluated too, so that no old violation stays on screen.
        AZPBEWERTUNG->Evaluate(*AZP);
        CHECKER->CheckPlan(*AZPBEWERTUNG, 0);
        if (BROWSEFLEXAZ)
            BROWSEFLEXAZ->Evaluate();
        if (BROWSEAZP && BROWSEAZP->Grid())
            BROWSEAZP->Grid()->PaintMarkers();
    }
    Inspector(2, &Inspektoren::refresh);
}

void CArbeitsblatt::CreateEvaluations()
{
    bool made = false;
    if (!AZPBEWERTUNG) {
        AZPBEWERTUNG = std::make_unique<CAZPBewertung>();
        if (BROWSEAZP)
            BROWSEAZP->SetEvaluation(*AZPBEWERTUNG);
        made = true;
    }
    if (!SBPBEWERTUNG) {
        SBPBEWERTUNG = std::make_unique<CSBPBewertung>();
        if (BROWSESBP)
            BROWSESBP->AttachEvaluation(*SBPBEWERTUNG);
        made = true;
    }
    if (BROWSEFLEXAZ && BROWSEFLEXAZ->Grid() && !BROWSEFLEXAZ->Grid()->CHECKER) {
        BROWSEFLEXAZ->SetChecker(*CHECKER);
        made = true;
    }
    if (made)
        RecalcEvaluation();
}

void CArbeitsblatt::DisposeEvaluations()
{
    if (BROWSEAZP)
        BROWSEAZP->DropEvaluation();
    AZPBEWERTUNG.reset();
    if (BROWSESBP)
        BROWSESBP->DetachEvaluation();
    SBPBEWERTUNG.reset();
    if (BROWSEFLEXAZ)
        BROWSEFLEXAZ->ClearChecker();
}

// ---- dialogs of the parts --------------------------------------------------------------------------------

void CArbeitsblatt::EditSchichttypen()
{
    PublishChecker();
    SCHICHTEN->Edit();
}

void CArbeitsblatt::EditNotizen() { KOMMENTARMANAGER.Edit(); }
void CArbeitsblatt::EditDefinitionspool() { DEFINITIONSMANAGER->EditFromWorksheet(); }

void CArbeitsblatt::EditDarstellung()
{
    if (BROWSEAZP)
        BROWSEAZP->EditGroupsOrPeriod();
}

void CArbeitsblatt::SetGroupCountStep(long n, bool store)
{
    AZP->SetGroupCount(static_cast<uint32_t>(std::max(0L, n)));
    if (store && !StoreEditStep(AZP->GetSavable()))
        return;
    OnAZPChanged();
}

void CArbeitsblatt::SetDarstellung(int mode)
{
    if (!IsActive())
        return;
    if (BROWSESBP)
        BROWSESBP->SetDarstellung(mode);
    if (BROWSEAZP)
        BROWSEAZP->SetDarstellung(mode);
    if (BROWSEFLEXAZ)
        BROWSEFLEXAZ->SetDarstellung(mode);
    SetBezugsrahmen(BEZUGSRAHMEN, true);
}

void CArbeitsblatt::SetZoom(int percent)
{
    if (!IsActive())
        return;
    for (CPlanEditor* editor : {static_cast<CPlanEditor*>(BROWSEAKB.get()), static_cast<CPlanEditor*>(BROWSESBP.get()),
                                static_cast<CPlanEditor*>(BROWSEAZP.get()), static_cast<CPlanEditor*>(BROWSEFLEXAZ.get())})
        if (editor)
            editor->SetZoom(percent);
    // The cost inspector's grid is zoomed with the plans while its window is open.
    if (InspektorSatz* inspectors = FindInspektoren(*this))
        inspectors->OEKO.RefreshGrid(percent);
    SetBezugsrahmen(BEZUGSRAHMEN, true);
}

void CArbeitsblatt::Generate()
{
    if (CURRENTSAVABLE == &SBP->GetSavable())
        GenerateSBP();
    else if (CURRENTSAVABLE == &AZP->GetSavable())
        GenerateAZP();
}

void CArbeitsblatt::ToggleSwapMode()
{
    if (!BROWSEAZP || CURRENTSAVABLE != &AZP->GetSavable())
        return;
    BROWSEAZP->ToggleSwapMode();
    if (SWAPFEQ && IsActive())
        PropertySet(SWAPFEQ, Prop::Icon, BROWSEAZP->IsSwapMode() ? std::string("~select.ico") : std::string("~swap.ico"));
}

void CArbeitsblatt::PrintAZP()
{
    if (!IsActive() || !BROWSEAZP)
        return;
    BROWSEAZP->Print(GlobalProjektmanager.Projekt().GetFileName(), BEZEICHNUNG);
}

// ---- CSV exchange ----------------------------------------------------------------------------------

void CArbeitsblatt::ExportSchichttypenCSV() { CCSVFile().ExportSchichttypen(*SCHICHTEN); }
void CArbeitsblatt::ExportAZPCSV() { CCSVFile().ExportAZP(*AZP); }
void CArbeitsblatt::ExportFlexCSV() { CCSVFile().ExportFlexAZ(*FLEXAZ); }

void CArbeitsblatt::ImportSchichttypenCSV()
{
    if (!CCSVFile().ImportSchichttypen(*SCHICHTEN))
        return;
    if (!StoreEditStep(SCHICHTEN->GetSavable()))
        return;
    SCHICHTEN->ApplyDefinitions();
    OnSchichttypenChanged();
}

void CArbeitsblatt::ImportAZPCSV()
{
    if (!CCSVFile().ImportAZP(*AZP))
        return;
    SetBezugsrahmen(AZP->CountDays() / 7, false);
    if (!StoreEditStep(AZP->GetSavable()))
        return;
    AZP->CheckUnknownShifts();
    OnAZPChanged();
}

void CArbeitsblatt::ImportFlexCSV()
{
    if (!CCSVFile().ImportFlexAZ(*FLEXAZ))
        return;
    FLEXAZ->Sort();
    if (!StoreEditStep(FLEXAZ->GetSavable()))
        return;
    OnFlexChanged();
}

// ---- conversions ---------------------------------------------------------------------------------------

void CArbeitsblatt::ComputeSBPFromAZP()
{
    AZP->FillSBP(*SBP);
    if (StoreEditStep(SBP->GetSavable()))
        OnSBPChanged(false);
}

void CArbeitsblatt::ComputeAKBFromSBP()
{
    SBP->ComputeAKB(*AKB);
    if (StoreEditStep(AKB->GetSavable()))
        OnAKBChanged(false);
}

// ---- generation and optimisation ------------------------------------------------------------------------

double CArbeitsblatt::WeeklyHours() const
{
    CSBPInfo info;
    info.Compute(*SBP);
    const double divisor = double(std::max<int32_t>(1, info.SCHICHTGRUPPENSTAERKE)) * std::max<int32_t>(1, BEZUGSRAHMEN);
    return info.BMSGESAMT_REINEAZ.ToDouble() / divisor;
}

double CArbeitsblatt::ComputePlanQuality()
{
    if (AZP->CountGroups() == 0)
        return -1;
    CAZPOptimizer optimizer;
    const AZPDefinitionen defs = AZPDefinitionenOf(*DEFINITIONSMANAGER);
    return optimizer.ComputePlanQuality(*AZP, defs);
}

void CArbeitsblatt::ShowPlanQuality()
{
    const double value = std::max(0.0, ComputePlanQuality());
    MessageRequest request;
    request.caption = "Plangütewert AZP";
    request.text = "Die Bewertungskennzahl des aktuellen Arbeitszeitplans beträgt " + FormatPicture(value, "@N8.`4");
    request.icon = MessageIcon::Asterisk;
    MessageDialog(request);
}

void CArbeitsblatt::OptimizeAZP()
{
    // One search at a time: the flag belongs to the search that set it.
    if (OptimizationRunning)
        return;
    if (AZP->CountGroups() == 0) {
        Message("Keine Einträge vorhanden.",
                "Der aktuelle Arbeitszeitplan enthält keine Einträge, und kann daher nicht weiter optimiert "
                "werden. ||Wählen Sie \"Arbeitszeitplan generieren\", um einen AZP zu erstellen.");
        return;
    }
    CAZPOptimizer optimizer;
    CSBPInfo info;
    info.Compute(*SBP);
    AZWizard(optimizer, static_cast<long>(info.MAXSCHICHTEN), DEFINITIONSMANAGER.get(), AZWIZARD_OPTIMIZE, WeeklyHours());
    if (LastResponse != RESPONSE_COMPLETED)
        return;
    const AZPDefinitionen defs = AZPDefinitionenOf(*DEFINITIONSMANAGER);
    OptimizationRunning = true;
    if (BROWSEAZP && BROWSEAZP->Grid())
        BROWSEAZP->Grid()->PaintMarkers();   // no markers of the plan being changed
    const uint8_t result = optimizer.Run(*AZP, defs);
    OptimizationRunning = false;
    if (BROWSEAZP && BROWSEAZP->Grid())
        BROWSEAZP->Grid()->PaintMarkers();
    // The grids of every worksheet skipped their repaints meanwhile: each window draws again.
    CProjekt& project = GlobalProjektmanager.Projekt();
    for (int32_t i = 1; CArbeitsblattBase* sheet = project.GetArbeitsblatt(i); ++i)
        if (auto* other = dynamic_cast<CArbeitsblatt*>(sheet); other && other != this && other->IsActive())
            other->PostToOwner(EventRefresh);
    if (result == 1) {
        Message("Arbeitszeitplan optimiert", "Der Arbeitszeitplan wurde optimiert.");
        if (StoreEditStep(AZP->GetSavable()))
            OnAZPChanged();
    } else {
        Message("keinen besseren Arbeitszeitplan gefunden", "Der Arbeitszeitplan konnte nicht weiter optimiert werden.");
    }
}

void CArbeitsblatt::GenerateAZP()
{
    if (AZP->CountGroups() > 0) {
        const int answer = Message("Vorhandene Einträge werden überschrieben.",
                                   "Der aktuelle Arbeitszeitplan enthält bereits Einträge. Erneutes Generieren führt "
                                   "zu einer Löschung der vorhandenen Einträge!||Tipp: Sichern Sie die Daten durch "
                                   "Duplizieren des Arbeitszeitblattes.",
                                   "Fortfahren|Abbrechen");
        if (answer != 1)
            return;
    }
    CAZPOptimizer optimizer;
    CSBPInfo info;
    info.Compute(*SBP);
    AZWizard(optimizer, static_cast<long>(info.MAXSCHICHTEN), DEFINITIONSMANAGER.get(), AZWIZARD_GENERATE, WeeklyHours());
    if (LastResponse != RESPONSE_COMPLETED)
        return;
    // The plan is cleared only for a run the wizard completed, and put back when no plan comes
    // out: the generated plan is the one undo step, and undoing it gives the planner's plan.
    CAZPData previous;
    previous.CopyFrom(*AZP);
    AZP->SetGroupCount(0);
    const AZPDefinitionen defs = AZPDefinitionenOf(*DEFINITIONSMANAGER);
    if (optimizer.Generate(*SBP, *AZP, defs) == 1) {
        AZP->SetGroupCount(static_cast<uint32_t>(std::max(0L, optimizer.GroupCount(0, true))));
        // Complete only when every demanded shift stands in the plan: a day that asks for more
        // shifts than there are groups leaves the surplus out.
        const long unplaced = CountUnplacedShifts(*SBP, *AZP);
        if (unplaced == 0) {
            Message("Arbeitszeitplan generiert", "Ein Arbeitszeitplan konnte vollständig generiert werden.");
        } else {
            std::string text = "Ein Arbeitszeitplan konnte nur teilweise generiert werden: " +
                               (unplaced == 1 ? std::string("1 im Schichtbedarfsplan geforderte Schicht ist")
                                              : std::to_string(unplaced) + " im Schichtbedarfsplan geforderte Schichten sind") +
                               " nicht eingeplant.";
            if (info.MAXSCHICHTEN > AZP->CountGroups())
                text += "||An einem Tag sind bis zu " + std::to_string(info.MAXSCHICHTEN) +
                        " Schichten gefordert, der Arbeitszeitplan hat aber nur " + std::to_string(AZP->CountGroups()) +
                        " Schichtgruppen.";
            Message("Arbeitszeitplan teilweise generiert", text);
        }
        if (StoreEditStep(AZP->GetSavable()))
            OnAZPChanged();
    } else {
        AZP->CopyFrom(previous);
        Message("kein Arbeitszeitplan generiert", "Es konnte kein Arbeitszeitplan generiert werden.");
    }
}

void CArbeitsblatt::StoreGeneratedSteps()
{
    bool failed = AZP->GetSavable().Save() != STORE_DONE;
    OnAZPChanged();
    failed |= SBP->GetSavable().Save() != STORE_DONE;
    OnSBPChanged(false);
    failed |= SCHICHTEN->GetSavable().Save() != STORE_DONE;
    OnSchichttypenChanged();
    if (failed)
        MessageShow({.text = "Die generierten Pläne konnten nicht vollständig in der Arbeitskopie gespeichert werden. "
                     "Prüfen Sie, ob auf dem Datenträger noch Platz ist, und speichern Sie das Projekt.",
                     .caption = "Fehler beim Speichern",
                     .icon = MessageIcon::Hand});
}

void CArbeitsblatt::GenerateSBP()
{
    if (AKB->Count() == 0) {
        MessageNoDemand();
        return;
    }
    const bool replace = SBP->CountRows() > 0;
    if (replace) {
        const int answer = Message("Vorhandene Einträge werden überschrieben.",
                                   "Der aktuelle Schichtbedarfsplan enthält bereits Einträge. Erneutes Generieren führt "
                                   "zu einer Löschung der vorhandenen Einträge im Schichtbedarfsplan und "
                                   "Arbeitszeitplan sowie der Schichttypen!||Tipp: Sichern Sie die Daten durch "
                                   "Duplizieren des Arbeitszeitblattes.",
                                   "Fortfahren|Abbrechen");
        if (answer != 1)
            return;
    }
    CSBPGenerator generator;
    generator.GroupStrength(SCHICHTGRUPPENSTAERKE);
    SBWizard(generator, DEFINITIONSMANAGER.get());
    if (LastResponse != RESPONSE_COMPLETED)
        return;
    // The generator works on a scratch plan with scratch shift types: the worksheet's parts are
    // replaced only when a plan came out, so a cancelled or failed run leaves them as they were.
    // A replaced plan starts from no shift types; otherwise the present ones are reused.
    CSchichttypen types;
    if (!replace)
        types.CopyFrom(*SCHICHTEN);
    CSBPData plan;
    plan.SetSchichttypen(&types);
    plan.SetBezugsrahmen(SBP->GetBezugsrahmen());
    plan.SyncSchichttypen();
    const SBPDefinitionen defs = SBPDefinitionenOf(*DEFINITIONSMANAGER);
    const uint8_t result = generator.Run(*AKB, plan, defs);
    const std::string advice = " Versuchen Sie das Zeitraster zu verlängern (z.B. auf 1 Stunde), um zu einer "
                               "verwertbaren Lösung zu gelangen, oder setzen Sie die Personen pro Schichtgruppe herab.";
    if (generator.Cancelled()) {
        Message("Generierung abgebrochen",
                "Die Generierung des Schichtbedarfsplans wurde abgebrochen. Schichtbedarfsplan, Arbeitszeitplan und "
                "Schichttypen sind unverändert.");
        return;
    }
    if (result != SBP_KOMPLETT && result != SBP_TEILWEISE) {
        Message("kein Schichtbedarfsplan generiert", "Es konnte kein Schichtbedarfsplan generiert werden." + advice);
        return;
    }
    if (!generator.DemandFound()) {
        MessageNoDemand();
        return;
    }
    if (replace) {
        // Every cell of the working-time plan is cleared; its groups stay.
        const uint16_t groups = AZP->CountGroups();
        AZP->SetGroupCount(0);
        AZP->SetGroupCount(groups);
    }
    SCHICHTEN->CopyFrom(types);
    SBP->CopyFrom(plan);
    SetSchichtgruppenstaerke(generator.GroupStrength(0, true), false);
    if (result == SBP_KOMPLETT)
        Message("Schichtbedarfsplan generiert", "Ein Schichtbedarfsplan konnte vollständig generiert werden.");
    else
        Message("kein Schichtbedarfsplan generiert",
                "Ein Schichtbedarfsplan konnte nur teilweise generiert werden." + advice);
    StoreGeneratedSteps();
}
