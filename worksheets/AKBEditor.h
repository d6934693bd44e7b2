#pragma once
// CAKBEditor: the list editor of the staff demand pane of a worksheet window. Spans are entered in
// the entry dialog (a new one, or "Ändern" on an existing one), their begin, end and count edited
// in place, and cut, copied and pasted by day through one clipboard for every worksheet of the run.
// Every edit of its own is one undo step of the staff demand, stored through the worksheet, then
// the worksheet's notice.
#include "worksheets/AKBGrid.h"
#include "worksheets/EditorSupport.h"

#include "plans/AKBEintrag.h"

#include <cstdint>
#include <memory>
#include <vector>

class CAKBData;

class CAKBEditor : public CGridEditor<CAKBGrid, CAKBData> {
public:
    // Binds the worksheet and the staff demand and sets the grid up on the list `feq` of the
    // calling thread's target window.
    void Init(IEditorOwner& owner, CAKBData& akb, int feq);

    // IStdEdit
    void Copy() override;
    void Paste() override;
    void Delete() override;
    void Insert() override;
    bool IsEnabled(uint8_t action) override;
    void ClearClipboard() override;
    uint8_t Edit(uint8_t request) override;

    // CPlanEditor
    uint8_t OnEvent(int event) override;
    ISavable& GetSavable() override;
    int GetCurrentDay() const override;
    void SetBezugsrahmen(int32_t weeks) override;

    // Runs the entry dialog on the span and merges it into the staff demand when completed; a span
    // over more than seven days is a weekly pattern. Returns the dialog's response.
    int EditEntry(CAKBEintrag& span);
    // "Ändern": the dialog on a copy of the cursor cell's span, which it replaces when completed.
    void ChangeEntry();

    static std::vector<CAKBEintrag>& Clipboard();

private:
    CAKBEintrag* CursorEntry();
    // A new span over the selection's days (or the cursor's day) through the entry dialog.
    int InsertSpan();
    void Merge(const CAKBEintrag& span, bool continuous);
    uint8_t EditInPlace(CAKBEintrag& span, int part, int32_t day, int startKey);
    void ContextMenu();
    void Stored();
};
