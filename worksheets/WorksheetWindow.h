#pragma once
// CWorksheetWindow: what the two worksheet windows, the kind-1 worksheet's and the flex window,
// share of their event handling, so that a mend of it reaches both: the events every worksheet
// window answers alike, the commands of the menus and toolbar described in `WorksheetMenus.h`
// (by the window's `WorksheetBar`), the panes' buttons and splitters and their layout. A window
// adds its own commands in `OwnCommand` and its marking of the selected pane in the selection hooks.
#include <span>
#include <string>
#include <utility>

#include "platform/fw/FwWindow.h"
#include "worksheets/PaneStack.h"
#include "worksheets/WorksheetMenus.h"

class CArbeitsblatt;

class CWorksheetWindow : public FwWindow {
public:
    CWorksheetWindow(std::string procedureName, CArbeitsblatt& sheet, const WorksheetBar& bar,
                     std::span<const PaneControls> panes, std::span<const int> splitters);

    // While a plan is being optimised the window takes nothing; taking the focus publishes the
    // worksheet's checker; a close asks the worksheet first; a size lays the panes out anew; then
    // the worksheet's dispatch, after which the edit items follow their toolbar twins.
    int OnEvent() override;
    // The window's own commands, then the shared ones, then the panes' buttons and splitters; the
    // window is refreshed after each.
    int OnAccepted() override;
    // The edit buttons' states and their items, then the window's own (`ShowState`).
    void Refresh(bool force = false) override;
    int Teardown() override;

protected:
    // Creates and opens the window described by `d` (its name, title, icon and timer): a sizable MDI
    // child of 520 x 340 with the worksheet's menus, toolbar and panes.
    void OpenSheetWindow(WindowDesc& d);
    // The window's part of a refresh: its check marks, inspector icon and title.
    virtual void ShowState() {}
    // A command this window answers in its own way (true: taken, the shared dispatch is skipped).
    virtual bool OwnCommand(int control) { return false; }
    // A control selected: before the worksheet's dispatch sees the event, and after it unless the
    // dispatch took the event whole.
    virtual void BeforeSheetSelection(int control) {}
    virtual void AfterSheetSelection(int control) {}
    // Places the panes in the client area, from its top (the toolbar stands above it).
    virtual void Layout();

    // The room of the panes: the client's width and height.
    std::pair<int, int> PaneRoom() const;
    // Posts the command of an enabled control.
    void Post(int control);
    void FollowTwins() { FollowToolbarTwins(BAR); }
    // Opens or closes inspector 1 (table), 2 (evaluation) or 3 (costs).
    void ToggleInspektor(int which);

    CArbeitsblatt& SHEET;
    const WorksheetBar& BAR;
    CPaneStack PANES;

private:
    // Lays the panes out when the window's size is not the one they were laid out for: a size that
    // came while a plan was being optimised reached the model, but the window took no event then.
    void LayoutIfResized();
    std::pair<int, int> LAIDOUT{-1, -1};   // the room the panes were laid out for last
    // A command of the menus and toolbar that both windows answer alike; false for any other.
    bool SheetCommand(int control);
    void EditBezugsrahmen();
};
