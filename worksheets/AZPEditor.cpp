#include "worksheets/AZPEditor.h"

#include "core/Frame.h"
#include "core/PopupMenu.h"
#include "core/Savable.h"
#include "core/Schicht.h"
#include "core/TimeHelpers.h"
#include "core/Utilities.h"
#include "platform/fw/FwEdit.h"
#include "platform/fw/FwWindow.h"
#include "platform/ui/MessageShow.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"
#include "platform/values/Locale.h"
#include "platform/values/Picture.h"
#include "plans/AZPData.h"
#include "plans/AZPInfo.h"
#include "plans/Schichttypen.h"
#include "worksheets/ArbeitsblattDialogs.h"
#include "worksheets/EditorSupport.h"
#include "worksheets/GridCellEditor.h"

#include <algorithm>
#include <climits>

// The cell editor: a combo of the shift types' names, in name order. Left and Right leave it.
class CAZPEditInPlace : public CGridCellEditor<FwEditCombo> {
public:
    struct Choice {
        std::string DATA;   // the shift type's name
        uint32_t SYSID = 0;
    };
    std::vector<Choice> CHOICES;

    explicit CAZPEditInPlace(const CSchichttypen* types) : CGridCellEditor(0xFFFFFF, 0x800000)
    {
        PICTURE = "@S20";
        for (long n = 1; types && n <= types->Count(); ++n)
            if (const CSchicht* s = types->GetByIndex(n))
                CHOICES.push_back({s->BEZEICHNUNG, s->SYSID});
        std::stable_sort(CHOICES.begin(), CHOICES.end(),
                         [](const Choice& a, const Choice& b) { return LocaleCompare(a.DATA, b.DATA) < 0; });
        std::vector<std::string> names;
        for (const Choice& c : CHOICES)
            names.push_back(c.DATA);
        SetChoices(names);
    }

    // The first name that begins with the text (upper case, blanks clipped); nullptr when none.
    const Choice* Complete(const std::string& text) const
    {
        const std::string typed = LocaleUpper(Clip(text));
        for (const Choice& c : CHOICES)
            if (LocaleUpper(Clip(c.DATA)) == typed)
                return &c;
        for (const Choice& c : CHOICES)
            if (LocaleUpper(Clip(c.DATA)).starts_with(typed))
                return &c;
        return nullptr;
    }
};

namespace {

CAZPEditor::PrintReport& PrintHook()
{
    static CAZPEditor::PrintReport report;
    return report;
}

std::string Trimmed(const std::string& text)
{
    std::string s = Clip(text);
    s.erase(0, s.find_first_not_of(' '));
    return s;
}

} // namespace

AZPClipboard& CAZPEditor::Clipboard()
{
    static AZPClipboard clip;
    return clip;
}

void CAZPEditor::SetPrintReport(PrintReport report) { PrintHook() = std::move(report); }

void CAZPEditor::Bind(int feq, CAZPData& plan, IEditorOwner& owner, int window, int kind)
{
    Attach(owner, plan);
    TYP = uint8_t(kind);
    GRID->SetFormat(feq, plan, window);
    GRID->SetTyp(kind);
    if (kind == 2)
        GRID->SetDragMode(0);
    const int before = WindowSetTarget(window);
    AlertListKeys(feq,
                  {Key::MOUSE_LEFT2, Key::ENTER, Key::DELETE, Key::MOUSE_RIGHT, Key::TAB, Key::SHIFT_TAB, Key::HOME,
                   Key::SHIFT | Key::HOME, Key::END, Key::SHIFT | Key::END},
                  true, true);
    WindowSetTarget(before);
}

bool CAZPEditor::Editable() const { return TYP == 1 && Bound(); }

bool CAZPEditor::HasGroups() const { return PLAN && PLAN->CountGroups() > 0; }

void CAZPEditor::Stored()
{
    StoreOwnEdit(GRID.get(), *ARBEITSBLATT, PLAN->GetSavable(), [this] { ARBEITSBLATT->OnAZPChanged(); });
}

// ---- IStdEdit --------------------------------------------------------------------------------

void CAZPEditor::Copy()
{
    if (!Editable())
        return;
    ClearClipboard();
    AZPClipboard& clip = Clipboard();
    const SpreadsheetSelection s = SelectionOrCursor(*GRID);
    clip.WIDTH = std::min<int32_t>(s.ENDE.SPALTE - s.START.SPALTE + 1, int32_t(kPlanDays));
    for (int32_t row = s.START.ZEILE; row <= s.ENDE.ZEILE; ++row) {
        std::array<uint32_t, 84> ids{};
        for (int32_t k = 0; k < clip.WIDTH; ++k)
            ids[size_t(k)] = PLAN->GetCell(uint32_t(s.START.SPALTE + k), uint32_t(row));
        clip.ROWS.push_back(ids);
    }
}

void CAZPEditor::Paste()
{
    const AZPClipboard& clip = Clipboard();
    if (!Editable() || clip.ROWS.empty())
        return;
    const SpreadsheetSelection s =
        PasteTarget(*GRID, clip.WIDTH, clip.ROWS.size(), PLAN->CountDays(), PLAN->CountGroups());
    for (int32_t row = s.START.ZEILE; row <= s.ENDE.ZEILE; ++row) {
        const auto& ids = clip.ROWS[size_t(row - s.START.ZEILE)];
        for (int32_t day = s.START.SPALTE; day <= s.ENDE.SPALTE; ++day)
            PLAN->SetCell(uint32_t(day), uint32_t(row), ids[size_t(day - s.START.SPALTE)]);
    }
    // The clipboard may come from another worksheet: ids without a shift type here get their
    // placeholder now, as after loading, instead of showing as empty cells.
    PLAN->CheckUnknownShifts();
    GRID->SetSelection({});
    GRID->Refresh();
}

void CAZPEditor::Delete()
{
    if (!Editable())
        return;
    GRID->SetCursor();
    ClearCells(GRID->GetCursor());
}

void CAZPEditor::ClearCells(const SpreadsheetCell& cell)
{
    SpreadsheetSelection s = GRID->GetSelection();
    if (!GRID->HasSelection())
        s = {cell, cell};
    for (int32_t row = s.START.ZEILE; row <= s.ENDE.ZEILE; ++row)
        for (int32_t day = s.START.SPALTE; day <= s.ENDE.SPALTE; ++day)
            PLAN->SetCell(uint32_t(day), uint32_t(row), 0);
    GRID->Refresh();
}

bool CAZPEditor::IsEnabled(uint8_t action)
{
    if (TYP != 1 || !PLAN)
        return false;
    switch (action) {
    case STDEDIT_CUT:
    case STDEDIT_COPY:
    case STDEDIT_DELETE: return HasGroups();
    case STDEDIT_PASTE: return !Clipboard().ROWS.empty() && HasGroups();
    default: return false;
    }
}

void CAZPEditor::ClearClipboard() { Clipboard().Clear(); }

bool CAZPEditor::IdForText(const CAZPEditInPlace& editor, const std::string& text, uint32_t& id)
{
    CSchichttypen& types = ARBEITSBLATT->GetSchichttypen();
    if (const CAZPEditInPlace::Choice* c = editor.Complete(text)) {
        id = c->SYSID;
        return true;
    }
    // A name that is no shift type yet: the user completes a new one in the shift-type form.
    CSchicht fresh;
    fresh.Clear();
    fresh.BEZEICHNUNG = text;
    fresh.KURZBEZEICHNUNG = std::string(Utf8Prefix(text, 1));
    if (types.EditSchicht(fresh) != RESPONSE_COMPLETED)
        return false;
    types.AddSchicht(fresh, true);
    ARBEITSBLATT->OnSchichttypenChanged();
    id = fresh.SYSID;
    return true;
}

uint8_t CAZPEditor::Edit(uint8_t request)
{
    const int key = TakeStartKey();
    if (!Editable())
        return 2;
    const int32_t day = GRID->CurrentColumn();
    const int32_t row = GRID->CurrentRow();
    if (day < 1 || day > PLAN->CountDays() || row < 1 || row > PLAN->CountGroups())
        return 2;
    GRID->SetCursor();
    uint8_t result = 2;
    if (request == 3) {
        ClearCells({day, row});
        result = 1;
    } else if (request == 2) {
        const CSchicht* old = PLAN->GetCellSchicht(uint32_t(day), uint32_t(row));
        const uint32_t oldId = old ? old->SYSID : 0;
        CAZPEditInPlace editor(&ARBEITSBLATT->GetSchichttypen());
        std::string text = StartText(key);
        if (text.empty() && old)
            text = old->BEZEICHNUNG;
        if (GRID->EditCell(editor, UseVar(text)) != EDITCELL_COMPLETED)
            return 2;
        text = Trimmed(text);
        const bool selection = GRID->HasSelection();
        uint32_t id = 0;
        if (text.empty()) {
            if (old || selection) {
                // The list has moved on when the edit was completed: the edited cell counts.
                ClearCells({day, row});
                result = 1;
            }
        } else if (IdForText(editor, text, id) && (id != oldId || selection)) {
            SpreadsheetSelection s = GRID->GetSelection();
            if (!selection)
                s = {{day, row}, {day, row}};
            for (int32_t r = s.START.ZEILE; r <= s.ENDE.ZEILE; ++r)
                for (int32_t d = s.START.SPALTE; d <= s.ENDE.SPALTE && d <= PLAN->CountDays(); ++d)
                    PLAN->SetCell(uint32_t(d), uint32_t(r), id);
            result = 1;
        }
    }
    if (result == 1)
        Stored();
    return result;
}

// ---- events ----------------------------------------------------------------------------------

void CAZPEditor::MoveCursor(int64_t column, int64_t row, int key)
{
    const int w = GRID->ListWindow();
    const int feq = GRID->FEQ;
    PropertySet(w, feq, Prop::Column, PropValue(static_cast<long long>(column)), 0);
    PropertySet(w, feq, Prop::Selected, PropValue(static_cast<long long>(row)), 0);
    GRID->SetCursor();
    GRID->Refresh();
    Event e;
    e.code = EVENT_NEW_SELECTION;
    e.control = feq;
    e.window = w;
    e.keyCode = key;
    EventPost(e);
}

uint8_t CAZPEditor::OnEvent(int event)
{
    if (!GRID || !GRID->FEQ || !PLAN)
        return 0;
    GRID->TakeEvent();
    if (EventControl() != GRID->FEQ)
        return 0;
    const int w = GRID->ListWindow();
    const int feq = GRID->FEQ;
    auto listProp = [&](Prop p) { return PropertyGet(w, feq, p, 0).Int(); };
    if (event == EVENT_ALERT_KEY) {
        const int key = EventKeyCode();
        const int32_t weeks = PLAN->GetBezugsrahmen();
        const int64_t rows = GRID->RowCount();
        const int64_t row = listProp(Prop::Selected);
        const int64_t lastColumn = 10LL * weeks + 1;
        switch (key) {
        case Key::MOUSE_LEFT2: {
            const int64_t downRow = listProp(Prop::ListMouseDownRow);
            const int32_t downDay = CAZPGrid::DayOfColumn(int32_t(listProp(Prop::ListMouseDownColumn)));
            if (downDay > 0 && downRow >= 1 && downRow <= PLAN->CountGroups())
                Edit(2);
            else
                EditGroupsOrPeriod();
            break;
        }
        case Key::ENTER: Edit(2); break;
        case Key::DELETE: Edit(3); break;
        case Key::MOUSE_RIGHT: ContextMenu(); break;
        case Key::TAB:
            if (rows > 0 && CAZPGrid::DayOfColumn(int32_t(listProp(Prop::Column))) >= weeks * 7)
                MoveCursor(1, row < rows ? row + 1 : 1, key);
            else if (rows > 0)
                MoveCursor(listProp(Prop::Column) + 1, row, key);
            break;
        case Key::SHIFT_TAB:
            if (rows > 0 && CAZPGrid::DayOfColumn(int32_t(listProp(Prop::Column))) <= 1)
                MoveCursor(lastColumn, row > 1 ? row - 1 : rows, key);
            else if (rows > 0)
                MoveCursor(listProp(Prop::Column) - 1, row, key);
            break;
        case Key::HOME:
        case Key::SHIFT | Key::HOME:
            if (rows > 0)
                MoveCursor(2, row, key);
            break;
        case Key::END:
        case Key::SHIFT | Key::END:
            if (rows > 0)
                MoveCursor(lastColumn, row, key);
            break;
        default:
            EditByTypedKey(key);
            break;
        }
    } else if (event == EVENT_NEW_SELECTION) {
        if (IsSwapMode()) {
            const int key = EventKeyCode();
            if ((key == 0 || key == Key::MOUSE_LEFT) && GRID->LASTBUTTON == Key::MOUSE_LEFT)
                SwapDrag();
            else
                GRID->SetSelection({});
        }
        if (TYP == 2)
            ARBEITSBLATT->SyncFlexDate(int32_t(GRID->DATUMVON + (listProp(Prop::Selected) - 1) * 7 +
                                               listProp(Prop::Column) - 2));
    }
    return 0;
}

void CAZPEditor::SwapDrag()
{
    if (GRID->HasSelection()) {
        const SpreadsheetSelection s = GRID->GetSelection(true);
        auto inPlan = [&](const SpreadsheetCell& c) {
            return c.SPALTE >= 1 && c.SPALTE <= PLAN->CountDays() && c.ZEILE >= 1 && c.ZEILE <= PLAN->CountGroups();
        };
        auto idOf = [&](const SpreadsheetCell& c) {
            return PLAN->GetCellSchicht(uint32_t(c.SPALTE), uint32_t(c.ZEILE))
                       ? PLAN->GetCell(uint32_t(c.SPALTE), uint32_t(c.ZEILE))
                       : 0u;
        };
        if (inPlan(s.START) && inPlan(s.ENDE) && idOf(s.START) != idOf(s.ENDE)) {
            const uint32_t a = PLAN->GetCell(uint32_t(s.START.SPALTE), uint32_t(s.START.ZEILE));
            const uint32_t b = PLAN->GetCell(uint32_t(s.ENDE.SPALTE), uint32_t(s.ENDE.ZEILE));
            PLAN->SetCell(uint32_t(s.START.SPALTE), uint32_t(s.START.ZEILE), b);
            PLAN->SetCell(uint32_t(s.ENDE.SPALTE), uint32_t(s.ENDE.ZEILE), a);
            GRID->SetSelection({});
            Stored();
            return;
        }
    }
    GRID->SetSelection({});
}

void CAZPEditor::ContextMenu()
{
    // Column 1 holds the groups' names: the days begin at column 2.
    const MenuCell cell = PointAtMenuCell(*GRID, 2);
    std::string text = EditMenuText(*this, cell.hit, IsEnabled(STDEDIT_DELETE));
    if (TYP == 1)
        text += "Schichttypen|Anzahl Schichtgruppen|aus Schichtbedarf generieren|optimieren|-|Gütewert berechnen";
    else
        text += "~Schichttypen|Darstellungszeitraum|~aus Schichtbedarf generieren|~optimieren|-|Gütewert berechnen|"
                "Ø-WAZ anzeigen";
    const int item = PopupMenu(text);
    if (RunEditMenuItem(item, *this, [this] { Stored(); }, [this] { Edit(2); }))
        return;
    switch (item) {
    case 7: ARBEITSBLATT->EditSchichttypen(); break;
    case 8: EditGroupsOrPeriod(); break;
    case 9: ARBEITSBLATT->GenerateAZP(); break;
    case 10: ARBEITSBLATT->OptimizeAZP(); break;
    case 11: ARBEITSBLATT->ShowPlanQuality(); break;
    case 12: ShowAverageWAZ(); break;
    default: break;
    }
}

// ---- the rest of the worksheet's operations --------------------------------------------------

ISavable& CAZPEditor::GetSavable() { return PLAN->GetSavable(); }

int CAZPEditor::GetCurrentDay() const { return Shown() ? GRID->CurrentColumn() : 1; }

void CAZPEditor::SetBezugsrahmen(int32_t weeks)
{
    if (!PLAN)
        return;
    if (weeks != PLAN->GetBezugsrahmen()) {
        PLAN->SetBezugsrahmen(uint16_t(std::clamp(weeks, 0, int32_t(kPlanWeeks))));
        SaveAfterNewPeriod(PLAN->GetSavable(), "Der Arbeitszeitplan");
    }
    if (GRID && GRID->FEQ)
        GRID->BuildFormat(PLAN->GetBezugsrahmen());
}

void CAZPEditor::SetDarstellung(int mode)
{
    if (GRID && GRID->FEQ)
        GRID->SetDarstellung(mode);
}


void CAZPEditor::SetPeriod(int32_t from, int32_t to)
{
    if (GRID)
        GRID->SetPeriod(from, to);
}

void CAZPEditor::GetPeriod(int32_t& from, int32_t& to) const
{
    from = GRID ? GRID->DATUMVON : 0;
    to = GRID ? GRID->DATUMBIS : 0;
}

void CAZPEditor::SetEvaluation(CAZPBewertung& evaluation)
{
    if (GRID && GRID->FEQ)
        GRID->SetEvaluation(evaluation);
}

void CAZPEditor::DropEvaluation()
{
    if (GRID && GRID->FEQ)
        GRID->DropEvaluation();
}

bool CAZPEditor::IsSwapMode() const { return GRID && GRID->GetDragMode() == 2; }

void CAZPEditor::ToggleSwapMode()
{
    if (!GRID)
        return;
    GRID->SetSelection({});
    GRID->SetDragMode(GRID->GetDragMode() == 2 ? 1 : 2);
}

void CAZPEditor::EditGroupsOrPeriod()
{
    if (!PLAN || !ARBEITSBLATT)
        return;
    if (TYP == 1) {
        int32_t groups = PLAN->CountGroups();
        UpdateAnzahlSchichtgruppen(groups);
        if (LastResponse == RESPONSE_COMPLETED) {
            PLAN->SetGroupCount(uint32_t(std::max(groups, 0)));
            Stored();
        }
    } else if (GRID) {
        int32_t from = GRID->DATUMVON, to = GRID->DATUMBIS;
        UpdateZeitraum(from, to);
        if (LastResponse == RESPONSE_COMPLETED)
            ARBEITSBLATT->FlexToAZP(from, to, false);
    }
}

void CAZPEditor::ShowDate(int32_t date)
{
    if (TYP != 2 || !GRID || !GRID->FEQ)
        return;
    const int w = GRID->ListWindow();
    const int feq = GRID->FEQ;
    PropertySet(w, feq, Prop::Column, PropValue(static_cast<long long>(WeekdayOfDate(date) + 1)), 0);
    PropertySet(w, feq, Prop::Selected,
                PropValue(static_cast<long long>(IntDiv(date - GRID->DATUMVON, 7) + 1)), 0);
    GRID->SetCursor();
    GRID->Refresh();
}

void CAZPEditor::ShowAverageWAZ()
{
    if (!PLAN)
        return;
    CAZPInfo info;
    info.Compute(*PLAN, 1);
    ShowInfo("Die durchschnittliche Wochenarbeitszeit beträgt " + FormatPicture(info.WAZ, "@n5.`2"),
             "Ø-WAZ anzeigen");
}

void CAZPEditor::Print(const std::string& projectText, const std::string& sheetText)
{
    if (PLAN && GRID && PrintHook())
        PrintHook()(*GRID, projectText, sheetText);
}
