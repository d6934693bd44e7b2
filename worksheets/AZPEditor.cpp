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

CAZPEditor::CAZPEditor() : VLBAZP(std::make_unique<CAZPGrid>()) {}

CAZPEditor::~CAZPEditor() { Release(); }

AZPClipboard& CAZPEditor::Clipboard()
{
    static AZPClipboard clip;
    return clip;
}

void CAZPEditor::SetPrintReport(PrintReport report) { PrintHook() = std::move(report); }

void CAZPEditor::Bind(int feq, CAZPData& plan, IEditorOwner& owner, int window, int kind)
{
    ARBEITSBLATT = &owner;
    AZP = &plan;
    TYP = uint8_t(kind);
    if (!VLBAZP)
        VLBAZP = std::make_unique<CAZPGrid>();
    VLBAZP->SetFormat(feq, plan, window);
    VLBAZP->SetTyp(kind);
    if (kind == 2)
        VLBAZP->SetDragMode(0);
    const int before = WindowSetTarget(window);
    AlertListKeys(feq,
                  {Key::MOUSE_LEFT2, Key::ENTER, Key::DELETE, Key::MOUSE_RIGHT, Key::TAB, Key::SHIFT_TAB, Key::HOME,
                   Key::SHIFT | Key::HOME, Key::END, Key::SHIFT | Key::END},
                  true, true);
    WindowSetTarget(before);
}

void CAZPEditor::Release() { ReleaseGrid(VLBAZP); }

bool CAZPEditor::Editable() const { return TYP == 1 && AZP && VLBAZP && VLBAZP->FEQ; }

bool CAZPEditor::HasGroups() const { return AZP && AZP->CountGroups() > 0; }

void CAZPEditor::Stored()
{
    StoreOwnEdit(VLBAZP.get(), *ARBEITSBLATT, AZP->GetSavable(), [this] { ARBEITSBLATT->OnAZPChanged(); });
}

// ---- IStdEdit --------------------------------------------------------------------------------

void CAZPEditor::Copy()
{
    if (!Editable())
        return;
    ClearClipboard();
    AZPClipboard& clip = Clipboard();
    const SpreadsheetSelection s = SelectionOrCursor(*VLBAZP);
    clip.WIDTH = std::min<int32_t>(s.ENDE.SPALTE - s.START.SPALTE + 1, int32_t(kPlanDays));
    for (int32_t row = s.START.ZEILE; row <= s.ENDE.ZEILE; ++row) {
        std::array<uint32_t, 84> ids{};
        for (int32_t k = 0; k < clip.WIDTH; ++k)
            ids[size_t(k)] = AZP->GetCell(uint32_t(s.START.SPALTE + k), uint32_t(row));
        clip.ROWS.push_back(ids);
    }
}

void CAZPEditor::Paste()
{
    const AZPClipboard& clip = Clipboard();
    if (!Editable() || clip.ROWS.empty())
        return;
    const SpreadsheetSelection s =
        PasteTarget(*VLBAZP, clip.WIDTH, clip.ROWS.size(), AZP->CountDays(), AZP->CountGroups());
    for (int32_t row = s.START.ZEILE; row <= s.ENDE.ZEILE; ++row) {
        const auto& ids = clip.ROWS[size_t(row - s.START.ZEILE)];
        for (int32_t day = s.START.SPALTE; day <= s.ENDE.SPALTE; ++day)
            AZP->SetCell(uint32_t(day), uint32_t(row), ids[size_t(day - s.START.SPALTE)]);
    }
    // The clipboard may come from another worksheet: ids without a shift type here get their
    // placeholder now, as after loading, instead of showing as empty cells.
    AZP->CheckUnknownShifts();
    VLBAZP->SetSelection({});
    VLBAZP->Refresh();
}

void CAZPEditor::Delete()
{
    if (!Editable())
        return;
    VLBAZP->SetCursor();
    ClearCells(VLBAZP->GetCursor());
}

void CAZPEditor::ClearCells(const SpreadsheetCell& cell)
{
    SpreadsheetSelection s = VLBAZP->GetSelection();
    if (!VLBAZP->HasSelection())
        s = {cell, cell};
    for (int32_t row = s.START.ZEILE; row <= s.ENDE.ZEILE; ++row)
        for (int32_t day = s.START.SPALTE; day <= s.ENDE.SPALTE; ++day)
            AZP->SetCell(uint32_t(day), uint32_t(row), 0);
    VLBAZP->Refresh();
}

bool CAZPEditor::IsEnabled(uint8_t action)
{
    if (TYP != 1 || !AZP)
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
    const int key = startKey_;
    startKey_ = 0;
    if (!Editable())
        return 2;
    const int32_t day = VLBAZP->CurrentColumn();
    const int32_t row = VLBAZP->CurrentRow();
    if (day < 1 || day > AZP->CountDays() || row < 1 || row > AZP->CountGroups())
        return 2;
    VLBAZP->SetCursor();
    uint8_t result = 2;
    if (request == 3) {
        ClearCells({day, row});
        result = 1;
    } else if (request == 2) {
        const CSchicht* old = AZP->GetCellSchicht(uint32_t(day), uint32_t(row));
        const uint32_t oldId = old ? old->SYSID : 0;
        CAZPEditInPlace editor(&ARBEITSBLATT->GetSchichttypen());
        std::string text = StartText(key);
        if (text.empty() && old)
            text = old->BEZEICHNUNG;
        if (VLBAZP->EditCell(editor, UseVar(text)) != EDITCELL_COMPLETED)
            return 2;
        text = Trimmed(text);
        const bool selection = VLBAZP->HasSelection();
        uint32_t id = 0;
        if (text.empty()) {
            if (old || selection) {
                // The list has moved on when the edit was completed: the edited cell counts.
                ClearCells({day, row});
                result = 1;
            }
        } else if (IdForText(editor, text, id) && (id != oldId || selection)) {
            SpreadsheetSelection s = VLBAZP->GetSelection();
            if (!selection)
                s = {{day, row}, {day, row}};
            for (int32_t r = s.START.ZEILE; r <= s.ENDE.ZEILE; ++r)
                for (int32_t d = s.START.SPALTE; d <= s.ENDE.SPALTE && d <= AZP->CountDays(); ++d)
                    AZP->SetCell(uint32_t(d), uint32_t(r), id);
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
    const int w = VLBAZP->ListWindow();
    const int feq = VLBAZP->FEQ;
    PropertySet(w, feq, Prop::Column, PropValue(static_cast<long long>(column)), 0);
    PropertySet(w, feq, Prop::Selected, PropValue(static_cast<long long>(row)), 0);
    VLBAZP->SetCursor();
    VLBAZP->Refresh();
    Event e;
    e.code = EVENT_NEW_SELECTION;
    e.control = feq;
    e.window = w;
    e.keyCode = key;
    EventPost(e);
}

uint8_t CAZPEditor::OnEvent(int event)
{
    if (!VLBAZP || !VLBAZP->FEQ || !AZP)
        return 0;
    VLBAZP->TakeEvent();
    if (EventControl() != VLBAZP->FEQ)
        return 0;
    const int w = VLBAZP->ListWindow();
    const int feq = VLBAZP->FEQ;
    auto listProp = [&](Prop p) { return PropertyGet(w, feq, p, 0).Int(); };
    if (event == EVENT_ALERT_KEY) {
        const int key = EventKeyCode();
        const int32_t weeks = AZP->GetBezugsrahmen();
        const int64_t rows = VLBAZP->RowCount();
        const int64_t row = listProp(Prop::Selected);
        const int64_t lastColumn = 10LL * weeks + 1;
        switch (key) {
        case Key::MOUSE_LEFT2: {
            const int64_t downRow = listProp(Prop::ListMouseDownRow);
            const int32_t downDay = CAZPGrid::DayOfColumn(int32_t(listProp(Prop::ListMouseDownColumn)));
            if (downDay > 0 && downRow >= 1 && downRow <= AZP->CountGroups())
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
            if (!StartText(key).empty()) {
                startKey_ = key;
                Edit(2);
            }
            break;
        }
    } else if (event == EVENT_NEW_SELECTION) {
        if (IsSwapMode()) {
            const int key = EventKeyCode();
            if ((key == 0 || key == Key::MOUSE_LEFT) && VLBAZP->LASTBUTTON == Key::MOUSE_LEFT)
                SwapDrag();
            else
                VLBAZP->SetSelection({});
        }
        if (TYP == 2)
            ARBEITSBLATT->SyncFlexDate(int32_t(VLBAZP->DATUMVON + (listProp(Prop::Selected) - 1) * 7 +
                                               listProp(Prop::Column) - 2));
    }
    return 0;
}

void CAZPEditor::SwapDrag()
{
    if (VLBAZP->HasSelection()) {
        const SpreadsheetSelection s = VLBAZP->GetSelection(true);
        auto inPlan = [&](const SpreadsheetCell& c) {
            return c.SPALTE >= 1 && c.SPALTE <= AZP->CountDays() && c.ZEILE >= 1 && c.ZEILE <= AZP->CountGroups();
        };
        auto idOf = [&](const SpreadsheetCell& c) {
            return AZP->GetCellSchicht(uint32_t(c.SPALTE), uint32_t(c.ZEILE))
                       ? AZP->GetCell(uint32_t(c.SPALTE), uint32_t(c.ZEILE))
                       : 0u;
        };
        if (inPlan(s.START) && inPlan(s.ENDE) && idOf(s.START) != idOf(s.ENDE)) {
            const uint32_t a = AZP->GetCell(uint32_t(s.START.SPALTE), uint32_t(s.START.ZEILE));
            const uint32_t b = AZP->GetCell(uint32_t(s.ENDE.SPALTE), uint32_t(s.ENDE.ZEILE));
            AZP->SetCell(uint32_t(s.START.SPALTE), uint32_t(s.START.ZEILE), b);
            AZP->SetCell(uint32_t(s.ENDE.SPALTE), uint32_t(s.ENDE.ZEILE), a);
            VLBAZP->SetSelection({});
            Stored();
            return;
        }
    }
    VLBAZP->SetSelection({});
}

void CAZPEditor::ContextMenu()
{
    // Column 1 holds the groups' names: the days begin at column 2.
    const MenuCell cell = PointAtMenuCell(*VLBAZP, 2);
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

ISavable& CAZPEditor::GetSavable() { return AZP->GetSavable(); }

int CAZPEditor::GetListFeq() const { return VLBAZP ? VLBAZP->FEQ : 0; }

int CAZPEditor::GetCurrentDay() const
{
    return VLBAZP && VLBAZP->FEQ ? VLBAZP->CurrentColumn() : 1;
}

void CAZPEditor::SetBezugsrahmen(int32_t weeks)
{
    if (!AZP)
        return;
    if (weeks != AZP->GetBezugsrahmen()) {
        AZP->SetBezugsrahmen(uint16_t(std::clamp(weeks, 0, int32_t(kPlanWeeks))));
        SaveAfterNewPeriod(AZP->GetSavable(), "Der Arbeitszeitplan");
    }
    if (VLBAZP && VLBAZP->FEQ)
        VLBAZP->BuildFormat(AZP->GetBezugsrahmen());
}

void CAZPEditor::SetZoom(int percent)
{
    if (VLBAZP && VLBAZP->FEQ)
        VLBAZP->SetZoom(percent);
}

void CAZPEditor::SetDarstellung(int mode)
{
    if (VLBAZP && VLBAZP->FEQ)
        VLBAZP->SetDarstellung(mode);
}

void CAZPEditor::RefreshEmpty()
{
    if (VLBAZP && VLBAZP->FEQ)
        VLBAZP->Refresh();
}

void CAZPEditor::SetPeriod(int32_t from, int32_t to)
{
    if (VLBAZP)
        VLBAZP->SetPeriod(from, to);
}

void CAZPEditor::GetPeriod(int32_t& from, int32_t& to) const
{
    from = VLBAZP ? VLBAZP->DATUMVON : 0;
    to = VLBAZP ? VLBAZP->DATUMBIS : 0;
}

void CAZPEditor::SetEvaluation(CAZPBewertung& evaluation)
{
    if (VLBAZP && VLBAZP->FEQ)
        VLBAZP->SetEvaluation(evaluation);
}

void CAZPEditor::DropEvaluation()
{
    if (VLBAZP && VLBAZP->FEQ)
        VLBAZP->DropEvaluation();
}

bool CAZPEditor::IsSwapMode() const { return VLBAZP && VLBAZP->GetDragMode() == 2; }

void CAZPEditor::ToggleSwapMode()
{
    if (!VLBAZP)
        return;
    VLBAZP->SetSelection({});
    VLBAZP->SetDragMode(VLBAZP->GetDragMode() == 2 ? 1 : 2);
}

void CAZPEditor::EditGroupsOrPeriod()
{
    if (!AZP || !ARBEITSBLATT)
        return;
    if (TYP == 1) {
        int32_t groups = AZP->CountGroups();
        UpdateAnzahlSchichtgruppen(groups);
        if (LastResponse == RESPONSE_COMPLETED) {
            AZP->SetGroupCount(uint32_t(std::max(groups, 0)));
            Stored();
        }
    } else if (VLBAZP) {
        int32_t from = VLBAZP->DATUMVON, to = VLBAZP->DATUMBIS;
        UpdateZeitraum(from, to);
        if (LastResponse == RESPONSE_COMPLETED)
            ARBEITSBLATT->FlexToAZP(from, to, false);
    }
}

void CAZPEditor::ShowDate(int32_t date)
{
    if (TYP != 2 || !VLBAZP || !VLBAZP->FEQ)
        return;
    const int w = VLBAZP->ListWindow();
    const int feq = VLBAZP->FEQ;
    PropertySet(w, feq, Prop::Column, PropValue(static_cast<long long>(WeekdayOfDate(date) + 1)), 0);
    PropertySet(w, feq, Prop::Selected,
                PropValue(static_cast<long long>(IntDiv(date - VLBAZP->DATUMVON, 7) + 1)), 0);
    VLBAZP->SetCursor();
    VLBAZP->Refresh();
}

void CAZPEditor::ShowAverageWAZ()
{
    if (!AZP)
        return;
    CAZPInfo info;
    info.Compute(*AZP, 1);
    ShowInfo("Die durchschnittliche Wochenarbeitszeit beträgt " + FormatPicture(info.WAZ, "@n5.`2"),
             "Ø-WAZ anzeigen");
}

void CAZPEditor::Print(const std::string& projectText, const std::string& sheetText)
{
    if (AZP && VLBAZP && PrintHook())
        PrintHook()(*VLBAZP, projectText, sheetText);
}
