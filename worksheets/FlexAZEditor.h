#pragma once
// CFlexAZEditor: the list editor of the flex pane of a flex worksheet window. Entries are made and
// changed in the entry dialog and deleted from the list; cut, copy and paste are not offered.
// Every accepted edit is exactly one undo step of the flex plan, stored through the worksheet,
// followed by the worksheet's flex notice (which rebuilds the working-time plan); a cancelled
// dialog stores nothing. The worksheet's edit buttons therefore store no step of their own here.
#include "worksheets/EditorSupport.h"
#include "worksheets/FlexAZGrid.h"

#include <cstdint>
#include <memory>

class CFlexAZ;
class CFlexSchicht;
class CKriterienChecker;

class CFlexAZEditor : public CGridEditor<CFlexAZGrid, CFlexAZ> {
public:
    // Binds the worksheet and the plan and sets the list `feq` of `window` up.
    void Bind(IEditorOwner& owner, int feq, CFlexAZ& plan, int window);

    // IStdEdit
    void Cut() override {}
    void Copy() override {}
    void Paste() override {}
    void Delete() override;
    void Insert() override;
    bool IsEnabled(uint8_t action) override;
    void ClearClipboard() override {}
    // 1 insert, 2 change the selected entry, 3 delete it; 1 when the plan changed, else 2.
    uint8_t Edit(uint8_t request) override;

    // CPlanEditor
    uint8_t OnEvent(int event) override;
    ISavable& GetSavable() override;
    int GetCurrentDay() const override { return 1; }
    void SetBezugsrahmen(int32_t) override {}
    void SetDarstellung(int mode) override;

    // The first entry of that date becomes the selected row (when there is one).
    void ShowDate(int32_t date);
    void Evaluate();
    void SetChecker(CKriterienChecker& checker);
    void ClearChecker();
    // The selected entry, 0 for none.
    long Selected() const;

private:
    uint8_t InsertEntry();
    uint8_t ChangeEntry(long n);
    uint8_t DeleteEntry(long n);
    // Sorts, selects the entry of that date and begin, stores the one undo step and tells the
    // worksheet.
    void Reposition(int32_t date, uint32_t begin);
    void ContextMenu();
};
