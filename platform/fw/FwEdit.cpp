#include "platform/fw/FwEdit.h"

#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"

#include <algorithm>

FwEditInPlace::~FwEditInPlace() = default;

void FwEditInPlace::Init(int list, int column, UseVar use)
{
    LISTBOXFEQ = list;
    COLUMN = column;
    USEVAR = std::move(use);
    CreateControl();
    SetAlerts();
    PropertySet(LISTBOXFEQ, Prop::Edit, 1, COLUMN);
    ControlSelect(FEQ);
}

namespace {
// The place of the edited cell: over the list column on the selected row, `indent` units in.
ControlDesc OverCell(ControlDesc d, int list, int column, int indent = 0)
{
    ListGeometry g = ListGeometryOf(list);
    int first = static_cast<int>(PropertyGet(list, Prop::VScrollPos).Int()) + 1;
    int row = static_cast<int>(PropertyGet(list, Prop::Selected).Int());
    int x = static_cast<int>(PropertyGet(list, Prop::Xpos).Int() + PropertyGet(list, Prop::ColumnX, column).Int());
    int y = static_cast<int>(PropertyGet(list, Prop::Ypos).Int()) + g.headerHeight + (row - first) * g.lineHeight;
    int w = static_cast<int>(PropertyGet(list, Prop::ColumnWidth, column).Int());
    indent = std::clamp(indent, 0, std::max(0, w - 20));   // room for a few letters all the same
    d.At(x + indent, y, w - indent, g.lineHeight);
    return d;
}
} // namespace

void FwEditInPlace::CreateControl()
{
    ControlDesc d = OverCell(Ctl::Entry(PICTURE), LISTBOXFEQ, COLUMN, INDENT);
    d.Use(USEVAR).ReadOnly(READONLY);
    FEQ = ControlCreate(d);
}

void FwEditInPlace::SetAlerts()
{
    for (int k : {Key::TAB, Key::SHIFT_TAB, Key::ENTER, Key::ESC, Key::UP, Key::DOWN})
        ControlAlert(FEQ, k);
}

EditAction FwEditInPlace::TakeEvent(int event)
{
    if (event != EVENT_ALERT_KEY)
        return EditAction::None;
    switch (EventKeyCode()) {
    case Key::TAB: return EditAction::Forward;
    case Key::SHIFT_TAB: return EditAction::Backward;
    case Key::ENTER: return EditAction::Complete;
    case Key::ESC: return EditAction::Cancel;
    case Key::DOWN: return EditAction::NextRecord;
    case Key::UP: return EditAction::PreviousRecord;
    default: return EditAction::None;
    }
}

void FwEditInPlace::Kill()
{
    if (!FEQ)
        return;
    PropertySet(LISTBOXFEQ, Prop::Edit, 0, COLUMN);
    ControlDestroy(FEQ);
    FEQ = 0;
}

void FwEditCombo::SetChoices(const std::vector<std::string>& choices)
{
    choices_ = choices;
    if (FEQ)
        ListSetRows(FEQ, choices_);
}

void FwEditCombo::CreateControl()
{
    ControlDesc d = OverCell(Ctl::Combo(PICTURE, DropFormat), LISTBOXFEQ, COLUMN, INDENT);
    d.DropRows(10, DropWidth).Use(USEVAR).ReadOnly(READONLY);
    FEQ = ControlCreate(d);
    ListSetRows(FEQ, choices_);
}

EditAction FwEditCombo::TakeEvent(int event)
{
    if (event == EVENT_ALERT_KEY && (EventKeyCode() == Key::UP || EventKeyCode() == Key::DOWN)) {
        // Up and Down move in the drop list instead of leaving the row.
        int64_t rows = ListRowCount(FEQ);
        int64_t sel = PropertyGet(FEQ, Prop::Selected).Int() + (EventKeyCode() == Key::DOWN ? 1 : -1);
        if (rows > 0 && sel >= 1 && sel <= rows) {
            PropertySet(FEQ, Prop::Selected, static_cast<long long>(sel));
            PropertySet(FEQ, Prop::ScreenText, ListField(FEQ, sel, 1));
        }
        return EditAction::None;
    }
    return FwEditInPlace::TakeEvent(event);
}
