#pragma once
// A grid of logical cells shown in a virtual list: a current cell (the cursor), a rectangular
// selection made with the mouse or with Shift and the cursor keys, automatic scrolling while a
// selection is dragged beyond the list's edge, mouse cursor shapes per drag mode, colours for the
// cursor and the selection, editing of a cell in place and optional drawing of every visible cell
// by the derived class.
#include "core/VLB.h"

#include "platform/ui/Window.h"

#include <cstdint>
#include <string>

class FwEditInPlace;

struct SpreadsheetCell {
    int32_t SPALTE = 0;
    int32_t ZEILE = 0;
    bool Empty() const { return SPALTE == 0 && ZEILE == 0; }
    bool operator==(const SpreadsheetCell& o) const { return SPALTE == o.SPALTE && ZEILE == o.ZEILE; }
};

struct SpreadsheetSelection {
    SpreadsheetCell START;
    SpreadsheetCell ENDE;
};

struct SpreadsheetCursorShapes {
    std::string DEFAULT[2];       // per drag mode 1 and 2, the resting mouse
    std::string DRAGGING[2];      // the dragging mouse
};

// Result of EditCell.
constexpr int EDITCELL_COMPLETED = 1;
constexpr int EDITCELL_CANCELLED = 2;

class CSpreadsheet : public CVLB {
public:
    CSpreadsheet();
    ~CSpreadsheet() override;

    SpreadsheetCursorShapes CRSRSHAPES;
    uint8_t DRAGMODE = 1;         // 0 none, 1 select, 2 a mode without selection colours
    uint8_t DRAGGING = 0;
    uint16_t PIXELWIDTH = 0, PIXELHEIGHT = 0;
    uint8_t SCROLLDIRECTION = 0;  // 1 left, 2 right, 3 up, 4 down
    int16_t SAVEDTIMER = -1;      // the window's timer while scrolling by itself; -1 not scrolling
    SpreadsheetCell LASTCRSR;     // list column and row seen last
    int32_t LASTKEYCODE = 0;
    uint8_t ALWAYSSHOWCRSR = 0;
    SpreadsheetCell CURSOR;
    SpreadsheetSelection SELEKTION;
    uint8_t CUSTOMDRAW = 0;

    void Release() override;
    bool TakeWindowMessage(const WindowMessage& message) override;
    void AfterWindowMessage(const WindowMessage& message) override;

    // Edits the list's current column in place with `editor`, bound to `value`.
    virtual int EditCell(FwEditInPlace& editor, UseVar value);
    // With a cell: the cursor goes there; without: it takes the list's current cell.
    virtual void SetCursor(const SpreadsheetCell* cell = nullptr);
    virtual void SetSelection(const SpreadsheetSelection& selection);
    virtual void SetDragMode(int mode);
    // kind 1 and 3: text colour, 2 and 4: background (normal and selected list row); -1 default.
    virtual int32_t CellColor(int32_t listRow, int32_t listColumn, int kind);
    // Draws one cell; the base draws nothing.
    virtual void CustomDraw(int32_t row, int32_t column, int32_t x, Painter& painter, int32_t height,
                            int32_t width, int32_t y);

    void Init();
    void SetCursorShapes(const SpreadsheetCursorShapes& names);
    int GetDragMode() const { return DRAGMODE; }
    SpreadsheetCell GetCursor() const { return CURSOR; }
    SpreadsheetSelection GetSelection(bool raw = false) const;
    bool HasSelection() const;
    bool IsInSelection(int32_t column, int32_t row) const;
    void UpdateMouseCursor();
    void Paint();
    void Refresh();

    // The owner's event loop hands its events here: the grid takes the timer events while it
    // scrolls by itself during a drag. It never asks for the event's default handling to be skipped.
    void TakeEvent();

    using CVLB::Init;

private:
    bool HasFocus() const;
    SpreadsheetCell ListPosition() const;     // (current column, selected row) of the list
    void Track(bool rightButton);
    void ClearSelection(bool rightButton);
    void Extend();
    void StartScrollTimer(uint8_t direction);
    void StopScrollTimer();
    void ScrollStep();
    void KeepColumnVisible(int32_t column);
    int64_t RowAt(int y) const;               // list row and column at a point of the list
    int ColumnAt(int x) const;

    bool mouseDown_ = false;      // a mouse-down position is remembered
    bool leftHeld_ = false;       // the left button went down on the list and is not up yet
    int downX_ = 0, downY_ = 0;
};
