#pragma once
// CGridCellEditor: the look and the arrow keys of the plan grids' cell editors, over an entry
// (FwEditInPlace) or a combo (FwEditCombo). The field is styled by StyleCellEditor; where the arrows
// leave it, Left ends the edit backward and Right forward, as Shift+Tab and Tab do.
#include "platform/fw/FwEdit.h"
#include "platform/ui/Events.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"
#include "worksheets/EditorSupport.h"

template <class Base>
class CGridCellEditor : public Base {
public:
    CGridCellEditor(int selectedText, int selectedFill, bool arrowsLeave = true)
        : selectedText_(selectedText), selectedFill_(selectedFill), arrowsLeave_(arrowsLeave)
    {
    }

    void CreateControl() override
    {
        Base::CreateControl();
        StyleCellEditor(this->FEQ, selectedText_, selectedFill_);
    }
    void SetAlerts() override
    {
        Base::SetAlerts();
        if (arrowsLeave_) {
            ControlAlert(this->FEQ, Key::LEFT);
            ControlAlert(this->FEQ, Key::RIGHT);
        }
    }
    EditAction TakeEvent(int event) override
    {
        if (arrowsLeave_ && event == EVENT_ALERT_KEY && EventKeyCode() == Key::LEFT)
            return EditAction::Backward;
        if (arrowsLeave_ && event == EVENT_ALERT_KEY && EventKeyCode() == Key::RIGHT)
            return EditAction::Forward;
        return Base::TakeEvent(event);
    }

private:
    int selectedText_, selectedFill_;
    bool arrowsLeave_;
};
