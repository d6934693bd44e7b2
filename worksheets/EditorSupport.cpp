#include "worksheets/EditorSupport.h"

#include "core/Savable.h"
#include "platform/ui/MessageShow.h"
#include "platform/ui/Window.h"
#include "platform/values/Locale.h"
#include "platform/values/Picture.h"
#include "worksheets/StdEdit.h"

#include <algorithm>
#include <climits>
#include <cmath>

std::string EditMenuText(IStdEdit& editor, bool hit, bool change)
{
    if (!hit)
        return "~Ausschneiden|~Kopieren|~Einfügen|-|~Neu|~Ändern|~Löschen|-|";
    auto item = [](bool on, const char* text) { return std::string(on ? "" : "~") + text; };
    return item(editor.IsEnabled(STDEDIT_CUT), "Ausschneiden|") + item(editor.IsEnabled(STDEDIT_COPY), "Kopieren|") +
           item(editor.IsEnabled(STDEDIT_PASTE), "Einfügen|-|") + item(editor.IsEnabled(STDEDIT_INSERT), "Neu|") +
           item(change, "Ändern|") + item(editor.IsEnabled(STDEDIT_DELETE), "Löschen|-|");
}

SpreadsheetSelection SelectionOrCursor(CSpreadsheet& grid)
{
    grid.SetCursor();
    if (grid.HasSelection())
        return grid.GetSelection();
    return {grid.GetCursor(), grid.GetCursor()};
}

SpreadsheetSelection PasteTarget(CSpreadsheet& grid, int32_t width, size_t rows, int32_t days, int32_t planRows)
{
    grid.SetCursor();
    SpreadsheetSelection s = grid.GetSelection();
    if (!grid.HasSelection())
        s = {grid.GetCursor(), {INT_MAX, INT_MAX}};
    const int64_t lastDay = std::min<int64_t>({s.ENDE.SPALTE, int64_t(s.START.SPALTE) + width - 1, days});
    const int64_t lastRow = std::min<int64_t>({s.ENDE.ZEILE, int64_t(s.START.ZEILE) + int64_t(rows) - 1, planRows});
    s.ENDE = {int32_t(lastDay), int32_t(lastRow)};
    return s;
}

MenuCell PointAtMenuCell(CSpreadsheet& grid, int64_t firstColumn)
{
    const int w = grid.ListWindow();
    const int feq = grid.FEQ;
    MenuCell cell;
    cell.row = PropertyGet(w, feq, Prop::ListMouseDownRow, 0).Int();
    cell.column = PropertyGet(w, feq, Prop::ListMouseDownColumn, 0).Int();
    if (cell.row > 0)
        PropertySet(w, feq, Prop::Selected, PropValue(static_cast<long long>(cell.row)), 0);
    if (cell.column >= firstColumn)
        PropertySet(w, feq, Prop::Column, PropValue(static_cast<long long>(cell.column)), 0);
    grid.SetCursor();
    grid.Refresh();
    cell.hit = cell.row > 0 && cell.column >= firstColumn;
    return cell;
}

bool RunEditMenuItem(int item, IStdEdit& editor, const std::function<void()>& stored,
                     const std::function<void()>& change)
{
    switch (item) {
    case 1:
        editor.Cut();
        stored();
        return true;
    case 2: editor.Copy(); return true;
    case 3:
        editor.Paste();
        stored();
        return true;
    case 4: editor.Edit(1); return true;
    case 5: change(); return true;
    case 6: editor.Edit(3); return true;
    default: return false;
    }
}

bool MoveColumnByKey(CSpreadsheet& grid, int key, int64_t step, int64_t first, int64_t last)
{
    const int w = grid.ListWindow();
    const int feq = grid.FEQ;
    const int64_t column = PropertyGet(w, feq, Prop::Column, 0).Int();
    auto moveTo = [&](int64_t c) {
        PropertySet(w, feq, Prop::Column, PropValue(static_cast<long long>(c)), 0);
        grid.SetCursor();
        grid.Refresh();
    };
    switch (key) {
    case Key::TAB:
        if (PropertyGet(w, feq, Prop::ColumnExists, int(column + step)).Int())
            moveTo(column + step);
        return true;
    case Key::SHIFT_TAB:
        if (column - step >= first)
            moveTo(column - step);
        return true;
    case Key::HOME:
    case Key::SHIFT | Key::HOME: moveTo(first); return true;
    case Key::END:
    case Key::SHIFT | Key::END: moveTo(last); return true;
    default: return false;
    }
}

void AlertListKeys(int feq, std::initializer_list<int> keys, bool digits, bool letters)
{
    for (int k : keys)
        ControlAlert(feq, k);
    if (digits)
        for (int d = 0; d <= 9; ++d) {
            ControlAlert(feq, Key::Digit(d));
            ControlAlert(feq, Key::Keypad(d));
        }
    if (letters)
        for (char c = 'A'; c <= 'Z'; ++c) {
            ControlAlert(feq, Key::Letter(c));
            ControlAlert(feq, Key::SHIFT | Key::Letter(c));
        }
}

std::string StartText(int keyCode)
{
    const int base = Key::Base(keyCode);
    if (keyCode & (Key::CTRL | Key::ALT))
        return {};
    if (base >= Key::DIGIT_0 && base <= Key::DIGIT_0 + 9)
        return std::string(1, char('0' + base - Key::DIGIT_0));
    if (base >= Key::KEYPAD_0 && base <= Key::KEYPAD_0 + 9)
        return std::string(1, char('0' + base - Key::KEYPAD_0));
    if (base >= Key::LETTER_A && base <= Key::LETTER_A + 25)
        return std::string(1, char('A' + base - Key::LETTER_A));
    return {};
}

bool ParseHeadCount(const std::string& text, uint8_t& count, const std::string& caption)
{
    // The picture leaves room for more digits than a byte holds, so that a number above 255 is
    // refused as too large instead of being cut to its last digits.
    const PictureInput in = ParsePicture(text, "@n6");
    std::string message = in.message;
    if (in.ok && in.number != std::floor(in.number))
        message = LocaleMessage("Zahl.NurGanze");
    else if (in.ok && in.number < 0)
        message = LocaleMessage("Zahl.Negativ");
    else if (in.ok && in.number > 255)
        message = LocaleMessage("Zahl.ZuGross", {text});
    else if (in.ok) {
        count = uint8_t(in.number);
        return true;
    }
    if (message.empty())
        message = LocaleMessage("Zahl.Ungueltig", {text});
    ShowInfo(message, caption, MessageIcon::Exclamation);
    return false;
}

void ShowInfo(const std::string& text, const std::string& caption, MessageIcon icon)
{
    MessageRequest m;
    m.text = text;
    m.caption = caption;
    m.icon = icon;
    m.buttonBits = BUTTON_OK;
    MessageShow(m);
}

void SaveAfterNewPeriod(ISavable& part, const std::string& partName)
{
    if (part.Save() == STORE_DONE)
        return;
    MessageRequest m;
    m.text = partName + " konnte nach der Änderung des Bezugsrahmens nicht gespeichert werden.";
    m.caption = "Bezugsrahmen ändern";
    m.icon = MessageIcon::Exclamation;
    MessageShow(m);
}

void StyleCellEditor(int feq, int selectedText, int selectedFill)
{
    PropertySet(feq, Prop::FontName, PropValue("Tahoma"));
    PropertySet(feq, Prop::FontSize, PropValue(8));
    PropertySet(feq, Prop::Color, PropValue(0xFFFFFF));
    PropertySet(feq, Prop::SelectedColor, PropValue(selectedText));
    PropertySet(feq, Prop::SelectedFillColor, PropValue(selectedFill));
}
