#pragma once
// The list editors of a worksheet window's panes and what they need of their worksheet.
//
// IStdEdit is what the window's edit buttons drive: one call on the current pane's editor, then one
// undo step of that pane's part and the worksheet's change notice (CArbeitsblatt::OnWindowEvent).
// CPlanEditor adds the operations the worksheet reaches on every editor by name. IEditorOwner is
// the worksheet as its editors see it, so that an editor can be built and tested with a small fake
// owner; CArbeitsblatt implements it.
#include <cstdint>

#include "plans/PlanNotify.h"

class CKriterienChecker;
class CSchichttypen;
class ISavable;

// Actions asked of IStdEdit::IsEnabled.
constexpr uint8_t STDEDIT_CUT = 1;
constexpr uint8_t STDEDIT_COPY = 2;
constexpr uint8_t STDEDIT_PASTE = 3;
constexpr uint8_t STDEDIT_DELETE = 4;
constexpr uint8_t STDEDIT_INSERT = 5;

class IStdEdit {
public:
    virtual ~IStdEdit() = default;

    virtual void Cut() = 0;             // copy the selection to the clipboard, then delete it
    virtual void Copy() = 0;            // copy the selection (or the current row)
    virtual void Paste() = 0;           // write the clipboard into the plan at the current position
    virtual void Delete() = 0;          // delete or clear the selection
    virtual void Insert() = 0;          // add a new entry (may open an entry dialog) or nothing
    virtual bool IsEnabled(uint8_t action) = 0;   // STDEDIT_CUT .. STDEDIT_INSERT possible now
    virtual void ClearClipboard() = 0;
    // Edits the current entry (request 2 = change); 1 when the plan changed, else 2.
    virtual uint8_t Edit(uint8_t request) = 0;
};

// The operations the worksheet calls on each of its pane editors.
class CPlanEditor : public IStdEdit {
public:
    // Cutting is copying, then deleting, in every plan.
    void Cut() override
    {
        Copy();
        Delete();
    }
    // Non-zero: the event was handled and the window skips its default handling.
    virtual uint8_t OnEvent(int event) = 0;
    virtual ISavable& GetSavable() = 0;
    virtual int GetListFeq() const = 0;
    // The day (1-based) of the grid's current column; 1 without a grid.
    virtual int GetCurrentDay() const = 0;
    virtual void SetBezugsrahmen(int32_t weeks) = 0;
    virtual void SetZoom(int percent) = 0;
    // 1 normal, 2 kompakt; editors without that choice ignore it.
    virtual void SetDarstellung(int mode) {}
    // Repaints the grid (after the plan was emptied).
    virtual void RefreshEmpty() = 0;
};

// The worksheet as its editors see it.
class IEditorOwner : public IPlanOwner {
public:
    virtual uint8_t GetTyp() const = 0;
    virtual int32_t GetBezugsrahmen() const = 0;
    virtual int32_t GetSchichtgruppenstaerke() const = 0;
    virtual void SetBezugsrahmen(int32_t weeks, bool keep) = 0;
    virtual void SetSchichtgruppenstaerke(int32_t strength, bool keep) = 0;
    virtual CSchichttypen& GetSchichttypen() = 0;
    // The worksheet's criteria (the shift demand editor's rule check of one shift type).
    virtual CKriterienChecker& GetChecker() = 0;

    // Stores one undo step of `part` after an edit. On failure the user is told in German, the part
    // goes back to its last stored step and the result is false; the caller then sends no notice.
    virtual bool StoreEditStep(ISavable& part) = 0;

    // Change notices after an edit.
    virtual void OnAZPChanged() = 0;
    virtual void OnSBPChanged(bool checkAZP) = 0;
    virtual void OnAKBChanged(bool syncTypes) = 0;
    virtual void OnFlexChanged() = 0;

    // Commands the editors' context menus offer.
    virtual void EditSchichttypen() = 0;
    virtual void GenerateAZP() = 0;
    virtual void OptimizeAZP() = 0;
    virtual void ShowPlanQuality() = 0;
    virtual void GenerateSBP() = 0;
    virtual void ComputeSBPFromAZP() = 0;
    virtual void ComputeAKBFromSBP() = 0;
    // Flex worksheets: the editors' cursors follow one date; the AZP shown for a period.
    virtual void SyncFlexDate(int32_t date) {}
    virtual void FlexToAZP(int32_t from, int32_t to, bool whole) {}
    virtual void ShowAverageWAZ() {}
};
