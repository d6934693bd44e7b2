#pragma once
// Column editors: an edit field placed over one column of a list's current row, used by the grids
// and trees to edit a cell in place. The owner runs its own event loop and gives each event of the
// field to TakeEvent, which says how the edit moves on.
#include "platform/ui/WindowModel.h"

#include <string>
#include <vector>

enum class EditAction { None, Forward, Backward, Complete, Cancel, NextRecord, PreviousRecord, Ignore };

class FwEditInPlace {
public:
    virtual ~FwEditInPlace();
    // Creates the field over `column` of the list's selected row, bound to `use`.
    virtual void Init(int list, int column, UseVar use);
    virtual void CreateControl();      // an entry; derived editors make other kinds
    // Tab/Enter/Escape/Up/Down map to the actions; other keys, Left and Right among them, are the
    // field's own (an editor that wants them alerts them in SetAlerts).
    virtual EditAction TakeEvent(int event);
    virtual void Kill();               // removes the field
    virtual void SetAlerts();          // the keys the field reports

    int FEQ = 0;                       // the field
    int LISTBOXFEQ = 0;                // the list it edits
    int COLUMN = 0;
    int INDENT = 0;                    // units the field stands in from the column's left edge
    bool READONLY = false;
    UseVar USEVAR;
    std::string PICTURE = "@s255";
};

// An editor with a drop list of choices: typing completes to the first choice that begins with
// the typed text, Up and Down move in the list.
class FwEditCombo : public FwEditInPlace {
public:
    void CreateControl() override;
    EditAction TakeEvent(int event) override;
    void SetChoices(const std::vector<std::string>& choices);
    std::string DropFormat = "50L(1)|M@s40@";
    int DropWidth = 50;

protected:
    std::vector<std::string> choices_;
};
