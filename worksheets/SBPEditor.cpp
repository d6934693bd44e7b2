#include "worksheets/SBPEditor.h"

#include "assessment/SchichttypDialoge.h"
#include "assessment/Verstossliste.h"
#include "core/Frame.h"
#include "core/PopupMenu.h"
#include "core/Savable.h"
#include "platform/fw/FwEdit.h"
#include "platform/fw/FwWindow.h"
#include "platform/ui/MessageShow.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"
#include "plans/Schichttypen.h"
#include "worksheets/ArbeitsblattDialogs.h"
#include "worksheets/EditorSupport.h"
#include "worksheets/GridCellEditor.h"

#include <algorithm>
#include <climits>

// The in-place count field. Left and Right leave it only when a digit started the edit.
class CSBPEditInPlace : public CGridCellEditor<FwEditInPlace> {
public:
    explicit CSBPEditInPlace(bool arrowsLeave) : CGridCellEditor(0, 0xFFFFFF, arrowsLeave) { PICTURE = "@S10"; }
};

SBPClipboard& CSBPEditor::Clipboard()
{
    static SBPClipboard clip;
    return clip;
}

void CSBPEditor::Init(IEditorOwner& owner, CSBPData& plan, int feq)
{
    Attach(owner, plan);
    GRID->SetFormat(feq, plan);
    AlertListKeys(feq,
                  {Key::MOUSE_LEFT2, Key::ENTER, Key::DELETE, Key::MOUSE_RIGHT, Key::TAB, Key::SHIFT_TAB, Key::HOME,
                   Key::END, Key::SHIFT | Key::HOME, Key::SHIFT | Key::END},
                  true);
}

void CSBPEditor::Stored()
{
    StoreOwnEdit(GRID.get(), *ARBEITSBLATT, PLAN->GetSavable(), [this] { ARBEITSBLATT->OnSBPChanged(false); });
}

// ---- IStdEdit --------------------------------------------------------------------------------

void CSBPEditor::Copy()
{
    if (!Bound())
        return;
    ClearClipboard();
    const SpreadsheetSelection s = SelectionOrCursor(*GRID);
    SBPClipboard& clip = Clipboard();
    clip.WIDTH = std::min<int32_t>(s.ENDE.SPALTE - s.START.SPALTE + 1, int32_t(kPlanDays));
    for (int32_t row = s.START.ZEILE; row <= s.ENDE.ZEILE; ++row) {
        const QSBP* r = PLAN->GetRow(uint32_t(row));
        if (!r)
            continue;
        QSBP copy = *r;
        copy.ANZAHL = {};
        for (int32_t k = 0; k < clip.WIDTH; ++k)
            copy.ANZAHL[size_t(k)] = PLAN->GetCount(uint32_t(s.START.SPALTE + k), uint32_t(row));
        clip.ROWS.push_back(copy);
    }
}

void CSBPEditor::Paste()
{
    const SBPClipboard& clip = Clipboard();
    if (!Bound() || clip.ROWS.empty())
        return;
    const SpreadsheetSelection s =
        PasteTarget(*GRID, clip.WIDTH, clip.ROWS.size(), PLAN->CountDays(), PLAN->CountRows());
    // Counts go by position, whatever the shift type of the target row.
    for (int32_t row = s.START.ZEILE; row <= s.ENDE.ZEILE; ++row) {
        const QSBP& from = clip.ROWS[size_t(row - s.START.ZEILE)];
        const uint32_t id = PLAN->GetRowSysId(uint32_t(row));
        for (int32_t day = s.START.SPALTE; day <= s.ENDE.SPALTE; ++day)
            PLAN->SetCount(uint32_t(day), id, from.ANZAHL[size_t(day - s.START.SPALTE)]);
    }
    GRID->SetSelection({});
    GRID->Refresh();
}

void CSBPEditor::Delete()
{
    if (!Bound())
        return;
    const SpreadsheetSelection s = SelectionOrCursor(*GRID);
    for (int32_t row = s.START.ZEILE; row <= s.ENDE.ZEILE; ++row)
        for (int32_t day = s.START.SPALTE; day <= s.ENDE.SPALTE; ++day)
            PLAN->SetCount(uint32_t(day), PLAN->GetRowSysId(uint32_t(row)), 0);
    GRID->Refresh();
}

bool CSBPEditor::IsEnabled(uint8_t action)
{
    if (!PLAN)
        return false;
    switch (action) {
    case STDEDIT_CUT:
    case STDEDIT_COPY:
    case STDEDIT_DELETE: return PLAN->CountRows() > 0;
    case STDEDIT_PASTE: return !Clipboard().ROWS.empty() && PLAN->CountRows() > 0;
    default: return false;
    }
}

void CSBPEditor::ClearClipboard() { Clipboard().Clear(); }

uint8_t CSBPEditor::Edit(uint8_t request)
{
    const int key = TakeStartKey();
    if (!Bound())
        return 2;
    const int32_t day = GRID->CurrentColumn();
    const int32_t row = GRID->CurrentRow();
    if (day < 1 || day > PLAN->CountDays() || row < 1 || row > PLAN->CountRows())
        return 2;
    GRID->SetCursor();
    uint8_t result = 2;
    if (request == 3) {
        Delete();
        result = 1;
    } else if (request == 2) {
        const uint8_t old = PLAN->GetCount(uint32_t(day), uint32_t(row));
        std::string text = StartText(key);
        if (text.empty())
            text = std::to_string(old);
        CSBPEditInPlace editor(key != 0);
        if (GRID->EditCell(editor, UseVar(text)) != EDITCELL_COMPLETED)
            return 2;
        // One check of the typed text for the whole selection, before any cell is written.
        uint8_t count = 0;
        if (!ParseHeadCount(text, count, "Schichtbedarf"))
            return 2;
        const bool selection = GRID->HasSelection();
        if (count == old && !selection)
            return 2;
        SpreadsheetSelection s = GRID->GetSelection();
        if (!selection)
            s = {{day, row}, {day, row}};
        for (int32_t r = s.START.ZEILE; r <= s.ENDE.ZEILE; ++r)
            for (int32_t d = s.START.SPALTE; d <= s.ENDE.SPALTE; ++d)
                PLAN->SetCount(uint32_t(d), PLAN->GetRowSysId(uint32_t(r)), count);
        result = 1;
    }
    if (result == 1)
        Stored();
    return result;
}

// ---- events ----------------------------------------------------------------------------------

uint8_t CSBPEditor::OnEvent(int event)
{
    const int key = TakeAlertKey(event);
    if (!key)
        return 0;
    const int w = GRID->ListWindow();
    const int feq = GRID->FEQ;
    // Column 1 holds the shift types' names; a day is one list column.
    if (MoveColumnByKey(*GRID, key, 1, 2, int64_t(PLAN->GetBezugsrahmen()) * CSBPGrid::kColumnsPerWeek + 1))
        return 0;
    switch (key) {
    case Key::MOUSE_LEFT2: {
        const int32_t day = CSBPGrid::DayOfColumn(int32_t(PropertyGet(w, feq, Prop::ListMouseDownColumn, 0).Int()));
        const int64_t row = PropertyGet(w, feq, Prop::ListMouseDownRow, 0).Int();
        if (day >= 1 && day <= PLAN->CountDays() && row >= 1 && row <= PLAN->CountRows())
            Edit(2);
        else
            ARBEITSBLATT->EditSchichttypen();
        break;
    }
    case Key::ENTER: Edit(2); break;
    case Key::DELETE: Edit(3); break;
    case Key::MOUSE_RIGHT: ContextMenu(); break;
    default:
        EditByTypedKey(key);
        break;
    }
    return 0;
}

void CSBPEditor::ContextMenu()
{
    const MenuCell cell = PointAtMenuCell(*GRID, 1);
    std::string text = EditMenuText(*this, cell.hit, IsEnabled(STDEDIT_DELETE));
    text += std::string(cell.row > 0 && GlobalSchichtChecker ? "" : "~") + "Bewertungsinfo|-|";
    text += "Schichttypen|Personen/Schichtgruppe|aus Arbeitszeitplan errechnen|aus Arbeitskräftebedarf generieren";
    const int item = PopupMenu(text);
    if (RunEditMenuItem(item, *this, [this] { Stored(); }, [this] { Edit(2); }))
        return;
    switch (item) {
    case 7: CheckShiftType(int32_t(cell.row)); break;
    case 8: ARBEITSBLATT->EditSchichttypen(); break;
    case 9: EditSchichtgruppenstaerke(); break;
    case 10: ARBEITSBLATT->ComputeSBPFromAZP(); break;
    case 11: ARBEITSBLATT->GenerateSBP(); break;
    default: break;
    }
}

void CSBPEditor::CheckShiftType(int32_t row)
{
    if (!GlobalSchichtChecker || !PLAN || !ARBEITSBLATT)
        return;
    // The row's own shift type, by its id: the rows need not stand in the order of the shift types.
    const CSchicht* shift = ARBEITSBLATT->GetSchichttypen().FindBySysId(PLAN->GetRowSysId(uint32_t(row)));
    if (!shift)
        return;
    CVerstossliste list;
    ARBEITSBLATT->GetChecker().CheckShiftType(*shift, 0x7F, list);
    if (list.Count() > 0)
        ShowInfo("Dieser Schichttyp verstößt in folgenden Punkten gegen gesetzliche Bestimmungen bzw. "
                 "arbeitswissenschaftliche Empfehlungen: ||" + list.FormatText(),
                 "Schicht ist nicht erlaubt");
    else
        ShowInfo("Dieser Schichttyp verstößt nicht gegen gesetzliche Bestimmungen bzw. arbeitswissenschaftliche "
                 "Empfehlungen.",
                 "Schicht ist in Ordnung");
    list.Release();
}

void CSBPEditor::EditSchichtgruppenstaerke()
{
    int32_t strength = ARBEITSBLATT->GetSchichtgruppenstaerke();
    UpdateSchichtgruppenstaerke(strength);
    if (LastResponse != RESPONSE_COMPLETED)
        return;
    ARBEITSBLATT->SetSchichtgruppenstaerke(strength, false);
    Stored();
}

// ---- the rest of the worksheet's operations --------------------------------------------------

ISavable& CSBPEditor::GetSavable() { return PLAN->GetSavable(); }

int CSBPEditor::GetCurrentDay() const { return Shown() ? GRID->CurrentColumn() : 1; }

void CSBPEditor::SetBezugsrahmen(int32_t weeks)
{
    if (!PLAN)
        return;
    if (weeks != PLAN->GetBezugsrahmen()) {
        PLAN->SetBezugsrahmen(uint16_t(std::clamp<int32_t>(weeks, 0, kPlanWeeks)));
        SaveAfterNewPeriod(PLAN->GetSavable(), "Der Schichtbedarf");
    }
    if (Bound())
        GRID->BuildFormat();
}

void CSBPEditor::SetDarstellung(int mode)
{
    if (Bound())
        GRID->SetDarstellung(mode);
}

void CSBPEditor::AttachEvaluation(CSBPBewertung& evaluation)
{
    CreateGrid();
    GRID->SBPBEWERTUNG = &evaluation;
    if (Bound())
        GRID->AttachEvaluation(evaluation);
}

void CSBPEditor::DetachEvaluation()
{
    if (Bound())
        GRID->DetachEvaluation();
    else if (GRID)
        GRID->SBPBEWERTUNG = nullptr;
}
