#pragma once
// CAZPEditor: the list editor of the working-time plan pane of a worksheet window. It drives the
// plan through its grid: rows of cells cut, copied and pasted through one clipboard for every
// worksheet of the run, a cell set by choosing or typing a shift type's name (a new name opens the
// shift-type form), two cells swapped by dragging one onto the other in swap mode, the pane's keys
// and context menu, and zoom, display mode, weeks and period handed on to the grid.
//
// Every edit it makes itself is one undo step of the plan, stored through the worksheet, followed
// by the worksheet's change notice; the edit buttons of the window store their own step.
#include "worksheets/AZPGrid.h"
#include "worksheets/EditorSupport.h"
#include "worksheets/StdEdit.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CAZPBewertung;
class CAZPData;
class CAZPEditInPlace;

// The clipboard of the working-time plans: rows of shift-type ids, one group each.
using AZPClipboard = PlanClipboard<std::array<uint32_t, 84>>;

class CAZPEditor : public CGridEditor<CAZPGrid, CAZPData> {
public:
    // Sets the grid up on the list `feq` of `window` (the calling thread's) for the plan; kind 2 is
    // a flex worksheet, whose grid shows weeks of dates and cannot be edited or dragged.
    void Bind(int feq, CAZPData& plan, IEditorOwner& owner, int window, int kind);

    // IStdEdit
    void Copy() override;
    void Paste() override;
    void Delete() override;
    void Insert() override {}
    bool IsEnabled(uint8_t action) override;
    void ClearClipboard() override;
    uint8_t Edit(uint8_t request) override;

    // CPlanEditor
    uint8_t OnEvent(int event) override;
    ISavable& GetSavable() override;
    int GetCurrentDay() const override;
    void SetBezugsrahmen(int32_t weeks) override;
    void SetDarstellung(int mode) override;

    void SetPeriod(int32_t from, int32_t to);
    void GetPeriod(int32_t& from, int32_t& to) const;
    void SetEvaluation(CAZPBewertung& evaluation);
    void DropEvaluation();
    bool IsSwapMode() const;
    void ToggleSwapMode();
    // The group-count dialog, or on a flex worksheet the display-period dialog.
    void EditGroupsOrPeriod();
    // Flex worksheets: the cursor goes to the date and is shown.
    void ShowDate(int32_t date);
    // "Ø-WAZ anzeigen": the average weekly hours of one person of the plan.
    void ShowAverageWAZ();
    // Prints the plan as the grid shows it, with the project's file name and the worksheet's name.
    void Print(const std::string& projectText, const std::string& sheetText);

    // The printed plan, supplied by the report's module when the program starts.
    using PrintReport = std::function<void(CAZPGrid& grid, const std::string& projectText, const std::string& sheetText)>;
    static void SetPrintReport(PrintReport report);

    // The clipboard every working-time plan editor of the run shares.
    static AZPClipboard& Clipboard();

private:
    bool Editable() const;
    bool HasGroups() const;
    void ContextMenu();
    void SwapDrag();
    // Empties the selection's cells, or the cell without a selection.
    void ClearCells(const SpreadsheetCell& cell);
    // Moves the list's cursor (Tab, Home, End) and tells the list of its new selection.
    void MoveCursor(int64_t column, int64_t row, int key);
    // After an edit of the editor's own: one undo step and the worksheet's notice.
    void Stored();
    // The shift-type id a typed or chosen name stands for; a name of no shift type opens the
    // shift-type form on a new one. False when the user cancelled that.
    bool IdForText(const CAZPEditInPlace& editor, const std::string& text, uint32_t& id);

    uint8_t TYP = 1;
};
