#pragma once
// CSBPEditor: the list editor of the shift demand pane of a worksheet window. Counts are typed into
// a cell (or into every cell of a selection), cleared, and cut, copied and pasted by position
// through one clipboard for every worksheet of the run; the context menu also checks one shift
// type against the worksheet's criteria and sets the persons per shift group. Every edit of its own
// is one undo step of the plan, stored through the worksheet, then the worksheet's notice.
#include "worksheets/EditorSupport.h"
#include "worksheets/SBPGrid.h"
#include "worksheets/StdEdit.h"

#include "plans/SBPData.h"

#include <cstdint>
#include <memory>
#include <vector>

class CSBPBewertung;

// The shift demand clipboard: rows of counts.
using SBPClipboard = PlanClipboard<QSBP>;

class CSBPEditor : public CGridEditor<CSBPGrid, CSBPData> {
public:
    // Binds the worksheet and the plan and sets the grid up on the list `feq` of the calling
    // thread's target window.
    void Init(IEditorOwner& owner, CSBPData& plan, int feq);

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

    void AttachEvaluation(CSBPBewertung& evaluation);
    void DetachEvaluation();
    // "Bewertungsinfo": the shift type of the plan's row checked against the criteria, the result
    // told in a message.
    void CheckShiftType(int32_t row);
    // "Personen/Schichtgruppe": the persons-per-group dialog; a new value is one undo step.
    void EditSchichtgruppenstaerke();

    static SBPClipboard& Clipboard();

private:
    void ContextMenu();
    void Stored();
};
