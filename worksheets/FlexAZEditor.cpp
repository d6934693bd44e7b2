#include "worksheets/FlexAZEditor.h"

#include "core/PopupMenu.h"
#include "core/Savable.h"
#include "platform/fw/FwWindow.h"
#include "platform/ui/Events.h"
#include "platform/ui/MessageShow.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"
#include "platform/values/Date.h"
#include "plans/FlexAZ.h"
#include "worksheets/EditorSupport.h"
#include "worksheets/FlexzeitDialog.h"

#include <algorithm>

void CFlexAZEditor::Bind(IEditorOwner& owner, int feq, CFlexAZ& plan, int window)
{
    Attach(owner, plan);
    GRID->SetupFormat(feq, plan, window);
    const int before = WindowSetTarget(window);
    AlertListKeys(feq, {Key::MOUSE_LEFT2, Key::ENTER, Key::DELETE, Key::INSERT, Key::MOUSE_RIGHT, Key::HOME, Key::END},
                  false);
    WindowSetTarget(before);
    if (plan.Count() > 0)
        GRID->Select(1);
}

long CFlexAZEditor::Selected() const
{
    if (!Bound())
        return 0;
    const int64_t row = GRID->Selected();
    return row >= 1 && row <= PLAN->Count() ? long(row) : 0;
}

// ---- IStdEdit -----------------------------------------------------------------------------------

void CFlexAZEditor::Insert() { Edit(1); }

void CFlexAZEditor::Delete() { Edit(3); }

bool CFlexAZEditor::IsEnabled(uint8_t action)
{
    if (!Bound())
        return false;
    switch (action) {
    case STDEDIT_INSERT: return true;
    case STDEDIT_DELETE: return PLAN->Count() > 0;
    default: return false;
    }
}

uint8_t CFlexAZEditor::Edit(uint8_t request)
{
    if (!Bound())
        return 2;
    switch (request) {
    case 1: return InsertEntry();
    case 2: return ChangeEntry(Selected());
    case 3: return DeleteEntry(Selected());
    default: return 2;
    }
}

uint8_t CFlexAZEditor::InsertEntry()
{
    CFlexSchicht entry;
    entry.Clear();
    if (PLAN->Count() > 0) {
        // The next day, as the last entry was.
        PLAN->getByIndex(PLAN->Count(), entry);
        entry.DATUM += 1;
    } else {
        entry.ART = ART_NORMAL;
        entry.DATUM = int32_t(DateToday());
        for (int n = 1; n <= 5; ++n)
            entry.PAUSEN[size_t(n - 1)].BEZAHLT = 1;
    }
    PLAN->SKIPINCHECK = 0;
    if (UpdateFlexzeit(*PLAN, entry) != RESPONSE_COMPLETED)
        return 2;
    PLAN->Add(entry);
    Reposition(entry.DATUM, entry.TERMIN.BEGINN);
    return 1;
}

uint8_t CFlexAZEditor::ChangeEntry(long n)
{
    CFlexSchicht entry;
    entry.Clear();
    if (!PLAN->getByIndex(n, entry))
        return 2;
    PLAN->SKIPINCHECK = int32_t(n);
    const int response = UpdateFlexzeit(*PLAN, entry);
    PLAN->SKIPINCHECK = 0;
    if (response != RESPONSE_COMPLETED)
        return 2;
    PLAN->Put(n, entry);
    Reposition(entry.DATUM, entry.TERMIN.BEGINN);
    return 1;
}

uint8_t CFlexAZEditor::DeleteEntry(long n)
{
    if (!PLAN->Delete(n))
        return 2;
    // The entry before the deleted one (at least the first) becomes current.
    const long current = std::max(1L, n - 1);
    GRID->Select(PLAN->Count() > 0 ? current : 0);
    StoreOwnEdit(GRID.get(), *ARBEITSBLATT, PLAN->GetSavable(), [this] { ARBEITSBLATT->OnFlexChanged(); });
    return 1;
}

void CFlexAZEditor::Reposition(int32_t date, uint32_t begin)
{
    PLAN->Sort();
    const long n = PLAN->Find(date, begin);
    GRID->Select(n);
    StoreOwnEdit(GRID.get(), *ARBEITSBLATT, PLAN->GetSavable(), [this] { ARBEITSBLATT->OnFlexChanged(); });
}

// ---- events -------------------------------------------------------------------------------------

uint8_t CFlexAZEditor::OnEvent(int event)
{
    if (!Bound() || EventControl() != GRID->FEQ)
        return 0;
    if (event == EVENT_NEW_SELECTION) {
        if (const QFLEXAZ* e = PLAN->Entry(Selected()))
            ARBEITSBLATT->SyncFlexDate(e->DATUM);
        return 0;
    }
    if (event != EVENT_ALERT_KEY)
        return 0;
    switch (EventKeyCode()) {
    case Key::MOUSE_LEFT2:
        Edit(Selected() > 0 ? 2 : 1);
        break;
    case Key::ENTER: Edit(2); break;
    case Key::INSERT: Edit(1); break;
    case Key::DELETE: Edit(3); break;
    case Key::MOUSE_RIGHT: ContextMenu(); break;
    default: break;
    }
    return 0;
}

void CFlexAZEditor::ContextMenu()
{
    const int w = GRID->ListWindow();
    const int feq = GRID->FEQ;
    const int64_t row = PropertyGet(w, feq, Prop::ListMouseDownRow, 0).Int();
    if (row >= 1 && row <= PLAN->Count())
        GRID->Select(row);
    const long n = Selected();
    const bool hit = row >= 1 && n > 0;
    const CVerstossliste* list = GRID->Violations(n);
    const bool violated = hit && list && list->Count() > 0;
    // The bracketed prefix is the item's icon, which the popup menu leaves out.
    const std::string text =
        EditMenuText(*this, hit, hit) + (violated ? "" : "~") + "[2(~exclamation.ico)]Bewertungsinfo";
    switch (PopupMenu(text)) {
    case 4: Edit(1); break;
    case 5: Edit(2); break;
    case 6: Edit(3); break;
    case 7: {
        MessageRequest m;
        m.text = "Die Arbeitszeit an diesem Tag verstösst in folgenden Punkten gegen gesetzliche Bestimmungen bzw. "
                 "arbeitswissenschaftliche Empfehlungen: ||" +
                 (list ? list->FormatText() : std::string());
        m.caption = "Diese Arbeitszeit ist nicht erlaubt";
        m.icon = MessageIcon::Exclamation;
        m.buttonBits = BUTTON_OK;
        MessageShow(m);
        break;
    }
    default: break;
    }
}

// ---- the rest of the worksheet's operations ------------------------------------------------------

ISavable& CFlexAZEditor::GetSavable() { return PLAN->GetSavable(); }

void CFlexAZEditor::SetDarstellung(int mode)
{
    if (Bound())
        GRID->SetDarstellung(mode);
}


void CFlexAZEditor::ShowDate(int32_t date)
{
    if (!Bound())
        return;
    if (const long n = PLAN->FindDate(date)) {
        GRID->Select(n);
        GRID->Refresh();
    }
}

void CFlexAZEditor::Evaluate()
{
    if (!GRID)
        return;
    GRID->Evaluate();
    if (Bound())
        GRID->Refresh();
}

void CFlexAZEditor::SetChecker(CKriterienChecker& checker)
{
    if (Bound())
        GRID->SetChecker(checker);
}

void CFlexAZEditor::ClearChecker()
{
    if (Bound())
        GRID->ClearChecker();
}
