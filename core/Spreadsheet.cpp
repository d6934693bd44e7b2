#include "core/Spreadsheet.h"

#include "platform/fw/FwEdit.h"
#include "platform/ui/Input.h"
#include "platform/ui/Runtime.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int VK_SHIFT = 0x10;
constexpr int SCROLL_INTERVAL = 15;   // hundredths of a second per automatic scroll step
constexpr int DRAG_THRESHOLD = 5;     // pixels the mouse moves before a click becomes a drag

// One clock value for every grid: automatic scrolling acts at most once per interval.
int64_t& LastScrollTick()
{
    static int64_t tick = 0;
    return tick;
}

bool IsCursorKey(int key)
{
    switch (Key::Base(key)) {
    case Key::LEFT: case Key::RIGHT: case Key::UP: case Key::DOWN: case Key::HOME: case Key::END:
        return true;
    default:
        return false;
    }
}

} // namespace

CSpreadsheet::CSpreadsheet() { Init(); }

CSpreadsheet::~CSpreadsheet()
{
    if (SAVEDTIMER != -1 && WindowExists(WIN))
        StopScrollTimer();
}

void CSpreadsheet::Init()
{
    Construct();
    ALWAYSSHOWCRSR = 0;
    PIXELWIDTH = 0;
    PIXELHEIGHT = 0;
    SAVEDTIMER = -1;
    DRAGGING = 0;
    DRAGMODE = 1;
    for (int i = 0; i < 2; ++i) {
        CRSRSHAPES.DEFAULT[i] = "spreadsheet";
        CRSRSHAPES.DRAGGING[i] = "spreadsheet";
    }
}

void CSpreadsheet::Release()
{
    StopScrollTimer();
    CVLB::Release();
}

void CSpreadsheet::SetCursorShapes(const SpreadsheetCursorShapes& names)
{
    CRSRSHAPES = names;
    UpdateMouseCursor();
}

void CSpreadsheet::SetDragMode(int mode)
{
    DRAGMODE = static_cast<uint8_t>(mode);
    UpdateMouseCursor();
}

void CSpreadsheet::UpdateMouseCursor()
{
    if (DRAGMODE != 1 && DRAGMODE != 2)
        return;
    if (!FEQ || !WindowExists(ListWindow()))
        return;
    const int i = DRAGMODE - 1;
    // The platform keeps no cursor resources: the dragging shape goes by its resource name.
    std::string name = DRAGGING ? CRSRSHAPES.DRAGGING[i] + "_cur" : "~" + CRSRSHAPES.DEFAULT[i] + ".cur";
    PropertySet(ListWindow(), FEQ, Prop::Cursor, name, 0);
}

SpreadsheetCell CSpreadsheet::ListPosition() const
{
    return {static_cast<int32_t>(ListProperty(Prop::Column)), static_cast<int32_t>(ListProperty(Prop::Selected))};
}

void CSpreadsheet::SetCursor(const SpreadsheetCell* cell)
{
    if (cell) {
        CURSOR = *cell;
        Redisplay();
    } else {
        CURSOR = {CurrentColumn(), CurrentRow()};
    }
}

void CSpreadsheet::SetSelection(const SpreadsheetSelection& selection)
{
    SELEKTION = selection;
    Redisplay();
}

SpreadsheetSelection CSpreadsheet::GetSelection(bool raw) const
{
    if (raw)
        return SELEKTION;
    SpreadsheetSelection s;
    s.START = {std::min(SELEKTION.START.SPALTE, SELEKTION.ENDE.SPALTE), std::min(SELEKTION.START.ZEILE, SELEKTION.ENDE.ZEILE)};
    s.ENDE = {std::max(SELEKTION.START.SPALTE, SELEKTION.ENDE.SPALTE), std::max(SELEKTION.START.ZEILE, SELEKTION.ENDE.ZEILE)};
    return s;
}

bool CSpreadsheet::HasSelection() const { return !SELEKTION.START.Empty() && !SELEKTION.ENDE.Empty(); }

bool CSpreadsheet::IsInSelection(int32_t column, int32_t row) const
{
    if (!HasSelection())
        return false;
    SpreadsheetSelection s = GetSelection();
    return column >= s.START.SPALTE && column <= s.ENDE.SPALTE && row >= s.START.ZEILE && row <= s.ENDE.ZEILE;
}

bool CSpreadsheet::HasFocus() const
{
    return FEQ && PropertyGet(ListWindow(), 0, Prop::Focus, 0).Int() == FEQ;
}

int32_t CSpreadsheet::CellColor(int32_t listRow, int32_t listColumn, int kind)
{
    const SpreadsheetCell cell{ColumnOfListColumn(listColumn), RowOfListRow(listRow)};
    const bool text = kind == 1 || kind == 3;
    const bool shown = HasFocus() || ALWAYSSHOWCRSR;
    const bool inSelection = IsInSelection(cell.SPALTE, cell.ZEILE);
    if (cell == CURSOR) {
        if (text)
            return 0;
        if (!shown)
            return inSelection ? 0xEAEAEA : 0xFFFFFF;
        return inSelection ? 0xE0D2CC : 0xEAEAEA;
    }
    if (inSelection && DRAGMODE == 1) {
        if (text)
            return 0xFFFFFF;
        return shown ? 0xCAB2A9 : 0xC0C0C0;
    }
    return -1;
}

void CSpreadsheet::CustomDraw(int32_t, int32_t, int32_t, Painter&, int32_t, int32_t, int32_t) {}

void CSpreadsheet::Refresh() { Redisplay(); }

void CSpreadsheet::ClearSelection(bool rightButton)
{
    // A right click inside the selection keeps it, so that a context menu can act on it.
    if (rightButton) {
        SpreadsheetCell p = ListPosition();
        if (IsInSelection(ColumnOfListColumn(p.SPALTE), RowOfListRow(p.ZEILE)))
            return;
    }
    SELEKTION = {};
}

void CSpreadsheet::Extend()
{
    if (!DRAGGING)
        return;
    if (!HasFocus())
        SelectList();
    SetCursor();
    if (SELEKTION.START.Empty())
        SELEKTION.START = CURSOR;
    else
        SELEKTION.ENDE = CURSOR;
}

void CSpreadsheet::Track(bool rightButton)
{
    const SpreadsheetCell p = ListPosition();
    if (p == LASTCRSR)
        return;
    Extend();
    if (!DRAGGING)
        ClearSelection(rightButton);
    LASTCRSR = p;
    Redisplay();
}

int64_t CSpreadsheet::RowAt(int y) const
{
    if (y < 0 || y >= PIXELHEIGHT)
        return 0;
    const int before = WindowSetTarget(ListWindow());
    const int64_t row = ListRowAt(FEQ, y);
    WindowSetTarget(before);
    return row;
}

int CSpreadsheet::ColumnAt(int x) const
{
    if (x < 0 || x >= PIXELWIDTH)
        return 0;
    const int before = WindowSetTarget(ListWindow());
    const int column = ListColumnAt(FEQ, x);
    WindowSetTarget(before);
    return column;
}

bool CSpreadsheet::TakeWindowMessage(const WindowMessage& m)
{
    using K = WindowMessage::Kind;
    if (PIXELWIDTH == 0 || PIXELHEIGHT == 0) {
        const ListGeometry g = Geometry();
        PIXELWIDTH = static_cast<uint16_t>(std::max(0, g.width));
        PIXELHEIGHT = static_cast<uint16_t>(std::max(0, g.height));
    }
    switch (m.kind) {
    case K::Size:
        PIXELWIDTH = static_cast<uint16_t>(std::max(0, m.x));
        PIXELHEIGHT = static_cast<uint16_t>(std::max(0, m.y));
        break;
    case K::MouseDown:
        if (m.button == Key::MOUSE_RIGHT)
            break;
        SELEKTION = {};
        // A cell the list moved to without a paint is caught up first, so that it does not
        // become a corner of the selection the drag may make.
        Track(false);
        DRAGGING = 1;
        leftHeld_ = true;
        mouseDown_ = true;
        downX_ = m.x;
        downY_ = m.y;
        break;
    case K::MouseUp: {
        if (m.button == Key::MOUSE_RIGHT)
            break;
        DRAGGING = 0;
        leftHeld_ = false;
        const int64_t row = RowAt(m.y);
        const int column = ColumnAt(m.x);
        if (row > 0)
            SetListProperty(Prop::Selected, row);
        if (column > 0)
            SetListProperty(Prop::Column, column);
        SetCursor();
        if (!SELEKTION.START.Empty())
            SELEKTION.ENDE = CURSOR;
        mouseDown_ = false;
        UpdateMouseCursor();
        // The release cell is where the cursor is now; a later paint must not take it for a move.
        LASTCRSR = ListPosition();
        break;
    }
    case K::KeyDown:
        LASTKEYCODE = m.key;
        if (IsCursorKey(m.key)) {
            if (m.key & Key::SHIFT) {
                if (!DRAGGING) {
                    DRAGGING = 1;
                    ClearSelection(false);
                }
                Extend();
            } else if (DRAGGING && !leftHeld_) {
                // Shift was let go although its own release was not reported: the selection ends.
                DRAGGING = 0;
            }
        } else {
            DRAGGING = 0;
        }
        break;
    case K::KeyUp:
        if (Key::Base(m.key) == VK_SHIFT)
            DRAGGING = 0;
        else if (DRAGGING)
            Extend();
        break;
    case K::Paint:
        Track(false);
        break;
    case K::MouseMove:
        if (!DRAGGING)
            break;
        if (mouseDown_ && m.buttonHeld &&
            (std::abs(m.x - downX_) > DRAG_THRESHOLD || std::abs(m.y - downY_) > DRAG_THRESHOLD)) {
            UpdateMouseCursor();
            const int64_t row = RowAt(downY_);
            const int column = ColumnAt(downX_);
            if (row > 0)
                SetListProperty(Prop::Selected, row);
            if (column > 0)
                SetListProperty(Prop::Column, column);
            SetCursor();
            SELEKTION.START = CURSOR;
            mouseDown_ = false;
            LASTCRSR = ListPosition();
        }
        if (m.x > PIXELWIDTH)
            StartScrollTimer(2);
        else if (m.x < 0)
            StartScrollTimer(1);
        else if (m.y > PIXELHEIGHT)
            StartScrollTimer(4);
        else if (m.y < 0)
            StartScrollTimer(3);
        else
            StopScrollTimer();
        break;
    default:
        break;
    }
    if (!DRAGGING)
        StopScrollTimer();
    return false;
}

void CSpreadsheet::AfterWindowMessage(const WindowMessage& m)
{
    using K = WindowMessage::Kind;
    switch (m.kind) {
    case K::MouseDown:
        // The list has moved to the clicked cell. A left click only marks it seen, so that a
        // click does not start a selection; a right click clears a selection it lies outside.
        if (m.button == Key::MOUSE_RIGHT)
            Track(true);
        else
            LASTCRSR = ListPosition();
        break;
    case K::KeyDown:
        if (IsCursorKey(m.key))
            Track(false);
        break;
    case K::MouseMove:
        // While a drag selects, the list's current cell follows the mouse inside the list;
        // beyond its edges the automatic scrolling moves it.
        if (DRAGGING && leftHeld_ && !mouseDown_ && m.buttonHeld && m.x >= 0 && m.y >= 0 && m.x < PIXELWIDTH &&
            m.y < PIXELHEIGHT) {
            const int64_t row = RowAt(m.y);
            const int column = ColumnAt(m.x);
            if (row > 0)
                SetListProperty(Prop::Selected, row);
            if (column > 0)
                SetListProperty(Prop::Column, column);
            Track(false);
        }
        break;
    case K::Size: {
        const ListGeometry g = Geometry();
        PIXELWIDTH = static_cast<uint16_t>(std::max(0, g.width));
        PIXELHEIGHT = static_cast<uint16_t>(std::max(0, g.height));
        break;
    }
    case K::Paint:
    case K::VScroll:
    case K::HScroll:
        // The drawn cells follow the rows and columns the list shows now.
        if (CUSTOMDRAW)
            Paint();
        break;
    default:
        break;
    }
}

void CSpreadsheet::StartScrollTimer(uint8_t direction)
{
    SCROLLDIRECTION = direction;
    if (SAVEDTIMER != -1 || !WindowExists(ListWindow()))
        return;
    SAVEDTIMER = static_cast<int16_t>(PropertyGet(ListWindow(), 0, Prop::Timer, 0).Int());
    PropertySet(ListWindow(), 0, Prop::Timer, SCROLL_INTERVAL, 0);
}

void CSpreadsheet::StopScrollTimer()
{
    if (SAVEDTIMER == -1)
        return;
    if (WindowExists(ListWindow()))
        PropertySet(ListWindow(), 0, Prop::Timer, static_cast<int>(SAVEDTIMER), 0);
    SAVEDTIMER = -1;
}

void CSpreadsheet::TakeEvent()
{
    if (EventCurrent() != EVENT_TIMER || SAVEDTIMER == -1)
        return;
    const int window = EventCurrentRecord().window;
    if (window != 0 && window != ListWindow())
        return;
    ScrollStep();
}

void CSpreadsheet::KeepColumnVisible(int32_t column)
{
    if (ListProperty(Prop::ColumnFixed, column))
        return;
    int32_t index = 0;   // the column's place among the columns that scroll
    for (int32_t c = 1; c <= column; ++c)
        if (!ListProperty(Prop::ColumnFixed, c))
            ++index;
    int64_t hs = ListProperty(Prop::HScrollPos);
    if (index <= hs) {
        SetListProperty(Prop::HScrollPos, index - 1);
        return;
    }
    const int width = Geometry().width;
    while (hs < index - 1 && ListProperty(Prop::ColumnX, column) + ListProperty(Prop::ColumnWidth, column) > width)
        SetListProperty(Prop::HScrollPos, ++hs);
}

void CSpreadsheet::ScrollStep()
{
    const int64_t now = UiClock();
    int64_t& last = LastScrollTick();
    if (now >= last && now - last < SCROLL_INTERVAL)
        return;
    last = now;
    const int64_t column = ListProperty(Prop::Column);
    const int64_t row = ListProperty(Prop::Selected);
    switch (SCROLLDIRECTION) {
    case 1:
        if (column - ZELLENBREITE > 0) {
            SetListProperty(Prop::Column, column - ZELLENBREITE);
            KeepColumnVisible(static_cast<int32_t>(column - ZELLENBREITE));
        }
        break;
    case 2:
        if (ListProperty(Prop::ColumnExists, static_cast<int>(column + ZELLENBREITE))) {
            SetListProperty(Prop::Column, column + ZELLENBREITE);
            KeepColumnVisible(static_cast<int32_t>(column + ZELLENBREITE));
        }
        break;
    case 3:
        if (row - ZELLENHOEHE > 0)
            SetListProperty(Prop::Selected, row - ZELLENHOEHE);
        break;
    case 4:
        if (row + ZELLENHOEHE <= RowCount())
            SetListProperty(Prop::Selected, row + ZELLENHOEHE);
        break;
    default:
        break;
    }
    Track(false);
}

void CSpreadsheet::Paint()
{
    if (!FEQ || !WindowExists(ListWindow()))
        return;
    const int before = WindowSetTarget(ListWindow());
    Painter painter(ListWindow(), FEQ);
    painter.Clear();
    const ListGeometry g = Geometry();
    const int lineHeight = g.lineHeight;
    if (lineHeight > 0) {
        const int64_t rows = RowCount();
        const int fit = (g.height - 1) / lineHeight + 1;
        int64_t row = ListProperty(Prop::VScrollPos) + 1;
        int y = g.headerHeight;
        for (int n = 0; n < fit && row <= rows; ++n, ++row, y += lineHeight) {
            // The list's own order: fixed columns, then those not scrolled out on the left.
            for (int32_t column = 1; ListProperty(Prop::ColumnExists, column); ++column) {
                const int64_t x = ListProperty(Prop::ColumnX, column);
                if (x < 0)
                    continue;
                if (x > g.width)
                    break;
                CustomDraw(static_cast<int32_t>(row), column, static_cast<int32_t>(x), painter, lineHeight - 1,
                           static_cast<int32_t>(ListProperty(Prop::ColumnWidth, column)), y);
            }
        }
    }
    WindowSetTarget(before);
}

int CSpreadsheet::EditCell(FwEditInPlace& editor, UseVar value)
{
    const int window = ListWindow();
    const int before = WindowSetTarget(window);
    const int64_t column = std::max<int64_t>(1, ListProperty(Prop::Column));
    // The editor works on a copy: a cancelled edit leaves the caller's value as it was.
    PropValue copy = value.Get();
    editor.Init(FEQ, static_cast<int>(column),
                UseVar([&copy] { return copy; }, [&copy](const PropValue& v) { copy = v; }, value.Numeric()));
    int result = EDITCELL_COMPLETED;
    int keyAfter = 0;
    bool repost = false;
    Event pending;
    while (WindowAccept(window)) {
        const int code = EventCurrent();
        if (code == EVENT_TIMER || code == EVENT_SUSPEND || code == EVENT_RESUME) {
            EventSkipDefault();
            continue;
        }
        // Focus arriving somewhere is no user action.
        if (code == EVENT_LOSE_FOCUS || code == EVENT_GAIN_FOCUS || code == EVENT_SELECTED)
            continue;
        if (EventControl() == editor.FEQ && !IsWindowEvent(code)) {
            const EditAction a = editor.TakeEvent(code);
            if (a == EditAction::None || a == EditAction::Ignore)
                continue;
            if (a == EditAction::Cancel) {
                result = EDITCELL_CANCELLED;
                break;
            }
            ControlUpdate(editor.FEQ);
            switch (a) {
            case EditAction::Forward:
                if (ListProperty(Prop::ColumnExists, static_cast<int>(column + ZELLENBREITE)))
                    SetListProperty(Prop::Column, column + ZELLENBREITE);
                break;
            case EditAction::Backward:
                if (column > ZELLENBREITE)
                    SetListProperty(Prop::Column, column - ZELLENBREITE);
                break;
            case EditAction::Complete:
                if (ListProperty(Prop::ColumnExists, static_cast<int>(column + 1)))
                    SetListProperty(Prop::Column, column + 1);
                break;
            case EditAction::NextRecord: keyAfter = Key::DOWN; break;
            case EditAction::PreviousRecord: keyAfter = Key::UP; break;
            default: break;
            }
            break;
        }
        // Anything else ends the edit; it is handled once the edit is over.
        pending = EventCurrentRecord();
        repost = true;
        EventSkipDefault();
        break;
    }
    editor.Kill();
    editor.USEVAR = UseVar();   // it was bound to the copy, which ends here
    if (result == EDITCELL_COMPLETED)
        value.Set(copy);
    if (WindowExists(window)) {
        ControlSelect(FEQ);
        if (keyAfter)
            InputKey(window, FEQ, keyAfter);
    }
    if (repost)
        EventPost(pending);
    WindowSetTarget(before);
    return result;
}
