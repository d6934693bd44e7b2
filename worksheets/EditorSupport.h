#pragma once
// What the plan editors of a worksheet window share: their base (`CGridEditor`), their clipboards,
// the cells an edit, copy or paste covers, the first six items of their context menus, the keys
// they ask their lists to report, and the reading of a typed head count.
#include "core/Spreadsheet.h"
#include "platform/ui/Events.h"
#include "platform/ui/MessageShow.h"
#include "platform/ui/Runtime.h"
#include "worksheets/StdEdit.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class ISavable;
class IStdEdit;

// The clipboard of a grid of days: rows of WIDTH consecutive days, the first copied day of each at
// index 0. One per kind of plan, shared by every worksheet of the run.
template <class Row>
struct PlanClipboard {
    std::vector<Row> ROWS;
    int32_t WIDTH = 0;
    void Clear()
    {
        ROWS.clear();
        WIDTH = 0;
    }
};

// After an edit of an editor's own: the grid shows it, the worksheet stores it as one undo step
// and, when that worked, `notice` tells the worksheet of the change; the grid then shows what is
// stored (the step before, when storing failed).
template <class Grid>
void StoreOwnEdit(Grid* grid, IEditorOwner& owner, ISavable& part, const std::function<void()>& notice)
{
    if (grid)
        grid->Refresh();
    if (owner.StoreEditStep(part))
        notice();
    if (grid)
        grid->Refresh();
}

// Releases the grid of an editor and drops it.
template <class Grid>
void ReleaseGrid(std::unique_ptr<Grid>& grid)
{
    if (grid) {
        grid->Release();
        grid.reset();
    }
}

// The cursor taken from the list, then the grid's selection, or the cursor's cell without one.
SpreadsheetSelection SelectionOrCursor(CSpreadsheet& grid);

// Where a clipboard of `rows` rows of `width` days goes: from the selection's first cell and within
// it, or from the cursor on; never beyond the plan's `days` days and `planRows` rows. The end lies
// before the start where nothing fits.
SpreadsheetSelection PasteTarget(CSpreadsheet& grid, int32_t width, size_t rows, int32_t days, int32_t planRows);

// A right click on the list: the clicked row and column (from `firstColumn`, the first of the
// days) become the list's current ones and the grid shows its cursor there. Whether a cell was hit.
struct MenuCell {
    int64_t row = 0;
    int64_t column = 0;
    bool hit = false;
};
MenuCell PointAtMenuCell(CSpreadsheet& grid, int64_t firstColumn);

// Runs one of the six items EditMenuText offers (1 cut .. 6 delete): cut and paste are followed by
// `stored` (one undo step), "Ändern" runs `change`. False for any item after them.
bool RunEditMenuItem(int item, IStdEdit& editor, const std::function<void()>& stored,
                     const std::function<void()>& change);

// The column keys of a grid's list: Tab and Shift+Tab move the current column by `step`, neither
// before `first` nor past the list's last column; Home goes to `first`, End to `last` (with or
// without Shift). The grid's cursor follows. False for any other key.
bool MoveColumnByKey(CSpreadsheet& grid, int key, int64_t step, int64_t first, int64_t last);

// "Ausschneiden|Kopieren|Einfügen|-|Neu|Ändern|Löschen|-|", each item switched off ("~") unless
// the editor allows it; all six off when the click hit no cell. "Ändern" follows `change`.
std::string EditMenuText(IStdEdit& editor, bool hit, bool change);

// Registers the keys as alert keys of the list `feq` of the calling thread's target window;
// `digits` adds 0-9 of the main keys and of the numeric pad, `letters` A-Z with and without Shift.
void AlertListKeys(int feq, std::initializer_list<int> keys, bool digits, bool letters = false);

// The character a typed key stands for as the first character of an edit: a digit for the main
// and keypad digits, a capital for a letter; empty for any other key.
std::string StartText(int keyCode);

// Reads a head count typed by the user: a whole number 0 to 255 (blank is 0). Anything else is
// refused with the platform's German message under `caption`; false then.
bool ParseHeadCount(const std::string& text, uint8_t& count, const std::string& caption);

// Shows a German notice with the information icon (or `icon`) and an OK button.
void ShowInfo(const std::string& text, const std::string& caption, MessageIcon icon = MessageIcon::Asterisk);

// Saves a plan part after its reference period changed (its undo steps are dropped); a failure is
// told in German, naming the part ("Der Schichtbedarf").
void SaveAfterNewPeriod(ISavable& part, const std::string& partName);

// The look of a cell editor: "Tahoma" 8 pt on white, the selected text in its colours.
void StyleCellEditor(int feq, int selectedText, int selectedFill);

// The base of the pane editors: what each holds (its grid, made with the editor and again when a
// window binds it after the last one went, released when the window goes; the part of the worksheet
// it edits; the worksheet), the list operations alike in every pane, and the key that starts an edit.
template <class GridT, class PlanT>
class CGridEditor : public CPlanEditor {
public:
    CGridEditor() : GRID(std::make_unique<GridT>()) {}
    ~CGridEditor() override { Release(); }

    void CreateGrid()
    {
        if (!GRID)
            GRID = std::make_unique<GridT>();
    }
    // Disposes the grid (the window has gone).
    void Release() { ReleaseGrid(GRID); }
    GridT* Grid() { return GRID.get(); }

    // CPlanEditor
    int GetListFeq() const override { return GRID ? GRID->FEQ : 0; }
    void SetZoom(int percent) override
    {
        if (Shown())
            GRID->SetZoom(percent);
    }
    void RefreshEmpty() override
    {
        if (Shown())
            GRID->Refresh();
    }

protected:
    // Binding to a window: the worksheet, its part, and a grid again after Release.
    void Attach(IEditorOwner& owner, PlanT& plan)
    {
        ARBEITSBLATT = &owner;
        PLAN = &plan;
        CreateGrid();
    }
    // The grid takes every event first; then the key of an alert key of its list, or 0 for any
    // other event (and while unbound).
    int TakeAlertKey(int event)
    {
        if (!Bound())
            return 0;
        GRID->TakeEvent();
        if (event != EVENT_ALERT_KEY || EventControl() != GRID->FEQ)
            return 0;
        return EventKeyCode();
    }
    // A digit or letter typed on the list starts editing the current cell with it.
    void EditByTypedKey(int key)
    {
        if (!StartText(key).empty()) {
            startKey_ = key;
            Edit(2);
        }
    }
    // The key that started the current edit, once; 0 for none.
    int TakeStartKey() { return std::exchange(startKey_, 0); }
    // The grid is set up on a list of the window (which it is only after a binding).
    bool Shown() const { return GRID && GRID->FEQ; }
    bool Bound() const { return PLAN && Shown(); }

    std::unique_ptr<GridT> GRID;
    PlanT* PLAN = nullptr;
    IEditorOwner* ARBEITSBLATT = nullptr;

private:
    int startKey_ = 0;
};
