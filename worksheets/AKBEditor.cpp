#include "worksheets/AKBEditor.h"

#include "core/PopupMenu.h"
#include "core/Savable.h"
#include "core/TimeHelpers.h"
#include "platform/fw/FwEdit.h"
#include "platform/fw/FwWindow.h"
#include "platform/ui/MessageShow.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"
#include "platform/values/Picture.h"
#include "plans/AKBData.h"
#include "worksheets/AKBEintragDialog.h"
#include "worksheets/EditorSupport.h"
#include "worksheets/GridCellEditor.h"

#include <algorithm>

// The in-place field of a span's begin, end or count; Left and Right leave it.
class CAKBEditInPlace : public CGridCellEditor<FwEditInPlace> {
public:
    CAKBEditInPlace() : CGridCellEditor(0xFFFFFF, 0x800000) { PICTURE = "@s20"; }
};

namespace {

constexpr uint32_t kDay = 1440;
constexpr uint32_t kWeek = 10080;

} // namespace

std::vector<CAKBEintrag>& CAKBEditor::Clipboard()
{
    static std::vector<CAKBEintrag> clip;
    return clip;
}

void CAKBEditor::Init(IEditorOwner& owner, CAKBData& akb, int feq)
{
    Attach(owner, akb);
    GRID->SetFormat(feq, akb);
    AlertListKeys(feq,
                  {Key::MOUSE_LEFT2, Key::ENTER, Key::INSERT, Key::DELETE, Key::MOUSE_RIGHT, Key::TAB, Key::SHIFT_TAB,
                   Key::HOME, Key::END, Key::SHIFT | Key::HOME, Key::SHIFT | Key::END},
                  true);
}

void CAKBEditor::Stored()
{
    StoreOwnEdit(GRID.get(), *ARBEITSBLATT, PLAN->GetSavable(), [this] { ARBEITSBLATT->OnAKBChanged(false); });
}

CAKBEintrag* CAKBEditor::CursorEntry()
{
    if (!Bound())
        return nullptr;
    GRID->SetCursor();
    const SpreadsheetCell c = GRID->GetCursor();
    return GRID->Entry(c.SPALTE, c.ZEILE);
}

// ---- IStdEdit --------------------------------------------------------------------------------

void CAKBEditor::Copy()
{
    if (!Bound())
        return;
    ClearClipboard();
    const SpreadsheetSelection s = SelectionOrCursor(*GRID);
    for (int32_t day = s.START.SPALTE; day <= s.ENDE.SPALTE; ++day)
        for (int32_t row = s.START.ZEILE; row <= s.ENDE.ZEILE; ++row)
            if (const CAKBEintrag* span = GRID->Entry(day, row))
                Clipboard().push_back(*span);
}

void CAKBEditor::Paste()
{
    if (!Bound() || Clipboard().empty())
        return;
    GRID->SetCursor();
    int32_t target = GRID->GetCursor().SPALTE;
    int32_t limit = PLAN->CountDays();
    if (GRID->HasSelection()) {
        target = GRID->GetSelection().START.SPALTE;
        limit = GRID->GetSelection().ENDE.SPALTE;
    }
    const int64_t shift = int64_t(target) - int64_t(Clipboard().front().TERMIN.BEGINN / kDay + 1);
    for (const CAKBEintrag& span : Clipboard()) {
        CAKBEintrag moved = span;
        const int64_t begin = int64_t(span.TERMIN.BEGINN) + shift * kDay;
        if (begin < 0)
            continue;
        moved.TERMIN.BEGINN = uint32_t(begin);
        moved.TERMIN.ENDE = uint32_t(int64_t(span.TERMIN.ENDE) + shift * kDay);
        if (int64_t(moved.TERMIN.BEGINN / kDay + 1) > limit)
            break;
        PLAN->MergeDemand(moved, true);
    }
    GRID->SetSelection({});
    GRID->Refresh();
}

void CAKBEditor::Delete()
{
    if (!Bound())
        return;
    const SpreadsheetSelection s = SelectionOrCursor(*GRID);
    std::vector<CAKBEintrag*> spans;
    for (int32_t day = s.START.SPALTE; day <= s.ENDE.SPALTE; ++day)
        for (int32_t row = s.START.ZEILE; row <= s.ENDE.ZEILE; ++row)
            if (CAKBEintrag* span = GRID->Entry(day, row))
                spans.push_back(span);
    for (CAKBEintrag* span : spans)
        span->TERMIN.ENDE = span->TERMIN.BEGINN;
    PLAN->Normalize(nullptr);
    GRID->SetSelection({});
    GRID->Refresh();
}

void CAKBEditor::Insert() { InsertSpan(); }

int CAKBEditor::InsertSpan()
{
    if (!Bound())
        return RESPONSE_CANCELLED;
    const SpreadsheetSelection s = SelectionOrCursor(*GRID);
    CAKBEintrag span;
    span.TERMIN.BEGINN = uint32_t(std::max(1, s.START.SPALTE) - 1) * kDay;
    span.TERMIN.ENDE = uint32_t(std::max(1, s.ENDE.SPALTE)) * kDay;
    GRID->SetSelection({});
    const int response = EditEntry(span);
    if (response == RESPONSE_COMPLETED)
        GRID->Refresh();
    return response;
}

bool CAKBEditor::IsEnabled(uint8_t action)
{
    if (!Bound())
        return false;
    switch (action) {
    case STDEDIT_CUT:
    case STDEDIT_COPY:
    case STDEDIT_DELETE: return GRID->HasSelection() || CursorEntry();
    case STDEDIT_PASTE: return !Clipboard().empty();
    case STDEDIT_INSERT: return true;
    default: return false;
    }
}

void CAKBEditor::ClearClipboard() { Clipboard().clear(); }

int CAKBEditor::EditEntry(CAKBEintrag& span)
{
    int32_t weeks = PLAN->GetBezugsrahmen();
    uint8_t continuous = 0;
    const int response = UpdateAKBEintrag(span, weeks, continuous);
    if (response != RESPONSE_COMPLETED)
        return response;
    if (weeks > PLAN->GetBezugsrahmen())
        ARBEITSBLATT->SetBezugsrahmen(weeks, false);
    Merge(span, continuous != 0);
    return response;
}

void CAKBEditor::Merge(const CAKBEintrag& span, bool continuous)
{
    const uint32_t b = span.TERMIN.BEGINN, e = span.TERMIN.ENDE;
    if (e <= b)
        return;
    if (e / kDay - b / kDay <= 7) {
        PLAN->MergeDemand(span, continuous);
        return;
    }
    // A weekly pattern: the same weekdays and times in every week of the range. An end weekday
    // before the begin's lies in the week after; a block that would end past the range is left out.
    const uint32_t offBegin = b % kWeek, offEnd = (e - 1) % kWeek + 1;
    for (uint32_t w = b / kWeek; w <= (e - 1) / kWeek; ++w) {
        CAKBEintrag block = span;
        block.TERMIN.BEGINN = w * kWeek + offBegin;
        block.TERMIN.ENDE = w * kWeek + offEnd;
        if (block.TERMIN.ENDE <= block.TERMIN.BEGINN)
            block.TERMIN.ENDE += kWeek;
        if (block.TERMIN.ENDE > e)
            break;
        PLAN->MergeDemand(block, continuous);
    }
}

void CAKBEditor::ChangeEntry()
{
    CAKBEintrag* span = CursorEntry();
    if (!span)
        return;
    CAKBEintrag copy = *span;
    int32_t weeks = PLAN->GetBezugsrahmen();
    uint8_t continuous = 0;
    if (UpdateAKBEintrag(copy, weeks, continuous) != RESPONSE_COMPLETED)
        return;
    PLAN->DeleteEntry(span);
    if (weeks > PLAN->GetBezugsrahmen())
        ARBEITSBLATT->SetBezugsrahmen(weeks, false);
    Merge(copy, continuous != 0);
    Stored();
}

uint8_t CAKBEditor::EditInPlace(CAKBEintrag& span, int part, int32_t day, int startKey)
{
    std::string text = StartText(startKey);
    if (text.empty()) {
        if (part == 1)
            text = FormatTimeOfDay(span.TERMIN.BEGINN);
        else if (part == 2)
            text = FormatTimeOfDay(span.TERMIN.ENDE, true);
        else
            text = FormatPicture(long(span.ANZAHL), "@N_3B");
    }
    CAKBEditInPlace editor;
    if (GRID->EditCell(editor, UseVar(text)) != EDITCELL_COMPLETED)
        return 2;
    const CAKBEintrag before = span;
    const uint32_t dayStart = uint32_t(day - 1) * kDay;
    if (part == 1) {
        span.TERMIN.BEGINN = std::min(dayStart + ParseTimeEntry(text), span.TERMIN.ENDE - 1);
    } else if (part == 2) {
        span.TERMIN.ENDE = std::max(dayStart + ParseTimeEntry(text, true), span.TERMIN.BEGINN + 1);
    } else {
        uint8_t count = 0;
        if (!ParseHeadCount(text, count, "Arbeitskräftebedarf"))
            return 2;
        span.ANZAHL = count;
    }
    if (span == before)
        return 2;
    PLAN->Normalize(&span);
    return 1;
}

uint8_t CAKBEditor::Edit(uint8_t request)
{
    const int key = TakeStartKey();
    if (!Bound())
        return 2;
    const int32_t day = GRID->CurrentColumn();
    GRID->SetCursor();
    const int32_t row = GRID->GetCursor().ZEILE;
    const int part = CAKBGrid::PartOfColumn(int32_t(PropertyGet(GRID->ListWindow(), GRID->FEQ, Prop::Column, 0).Int()));
    CAKBEintrag* span = GRID->Entry(day, row);
    uint8_t result = 2;
    auto insert = [&] { return InsertSpan() == RESPONSE_COMPLETED ? uint8_t(1) : uint8_t(2); };
    if (request == 2) {
        if (part != 0 && span)
            result = EditInPlace(*span, part, day, key);
        else if (part != 0)
            result = insert();
    } else if (request == 1) {
        result = insert();
    } else if (request == 3) {
        Delete();
        result = 1;
    }
    if (result == 1) {
        ControlSelect(GRID->FEQ);
        Stored();
    }
    return result;
}

// ---- events ----------------------------------------------------------------------------------

uint8_t CAKBEditor::OnEvent(int event)
{
    const int key = TakeAlertKey(event);
    if (!key)
        return 0;
    const int w = GRID->ListWindow();
    const int feq = GRID->FEQ;
    // A week is kColumnsPerWeek list columns, a day four.
    if (MoveColumnByKey(*GRID, key, 4, 1, int64_t(PLAN->GetBezugsrahmen()) * CAKBGrid::kColumnsPerWeek))
        return 0;
    switch (key) {
    case Key::MOUSE_LEFT2: {
        const int32_t day = CAKBGrid::DayOfColumn(int32_t(PropertyGet(w, feq, Prop::ListMouseDownColumn, 0).Int()));
        const int32_t row = int32_t(PropertyGet(w, feq, Prop::ListMouseDownRow, 0).Int());
        if (GRID->Entry(day, row)) {
            Edit(2);
        } else {
            GRID->SetCursor();
            const SpreadsheetCell c = GRID->GetCursor();
            GRID->SetSelection({c, c});
            Edit(1);
        }
        break;
    }
    case Key::ENTER: Edit(2); break;
    case Key::INSERT: Edit(1); break;
    case Key::DELETE: Edit(3); break;
    case Key::MOUSE_RIGHT: ContextMenu(); break;
    default:
        EditByTypedKey(key);
        break;
    }
    return 0;
}

void CAKBEditor::ContextMenu()
{
    const MenuCell cell = PointAtMenuCell(*GRID, 1);
    // "Ändern" needs a span under the cursor: an empty cell of a selection has none to change.
    const std::string text = EditMenuText(*this, cell.hit, cell.hit && CursorEntry()) + "aus Schichtbedarf errechnen";
    const int item = PopupMenu(text);
    if (!RunEditMenuItem(item, *this, [this] { Stored(); }, [this] { ChangeEntry(); }) && item == 7)
        ARBEITSBLATT->ComputeAKBFromSBP();
}

// ---- the rest of the worksheet's operations --------------------------------------------------

ISavable& CAKBEditor::GetSavable() { return PLAN->GetSavable(); }

int CAKBEditor::GetCurrentDay() const { return Shown() ? GRID->CurrentColumn() : 1; }

void CAKBEditor::SetBezugsrahmen(int32_t weeks)
{
    if (!PLAN)
        return;
    const uint16_t before = PLAN->GetBezugsrahmen();
    if (weeks != before) {
        // Shortening saves the staff demand itself; lengthening leaves that to this editor.
        PLAN->SetBezugsrahmen(uint16_t(std::clamp<int32_t>(weeks, 0, AKB_MAX_WOCHEN)));
        if (PLAN->GetBezugsrahmen() > before)
            SaveAfterNewPeriod(PLAN->GetSavable(), "Der Arbeitskräftebedarf");
    }
    if (Bound())
        GRID->BuildFormat();
}

