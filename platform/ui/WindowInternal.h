#pragma once
// Helpers shared by the window models and the input functions (not for the program).
#include "platform/ui/WindowModel.h"

#include <string>

namespace WindowInternal {

// Posts an event meant for a window to the window's thread.
void PostTo(const WindowModel& window, Event event);
// "" when the user can reach the control (0: the window) now, else why not.
std::string Reachable(const WindowModel& window, int control);
// Hidden itself or inside a hidden control; with `tabs`, also on a tab that is not chosen.
bool HiddenInEffect(const WindowModel& window, const ControlModel& control, bool tabs = true);
bool DisabledInEffect(const WindowModel& window, const ControlModel& control);
// A list message to be delivered on the list's thread.
void PostMessage(const WindowModel& window, int control, const WindowMessage& message);
// Keys alerted for a control or its window.
bool Alerted(const WindowModel& window, const ControlModel* control, int keyCode);
// Escape that no control or window alerted closes a window of its own (a dialog), as its
// title-bar cross does; the frame and its children stay.
bool ClosesOnEscape(const WindowModel& window, int keyCode);
void Changed(WindowModel& window);
// The ordinal of a radio within its option / a tab within its sheet (from 1), 0 when none.
int Ordinal(const WindowModel& window, const ControlModel& child);
ControlModel* ChildAt(WindowModel& window, int parent, int ordinal);

} // namespace WindowInternal
