#pragma once
// The user's input as the renderer or the headless driver delivers it. Each call needs the host's
// baton; it changes the model the way the user's action would and posts the events that follow
// to the thread that owns the window. Each returns an empty text when done, else why it was
// refused (no such control, hidden, disabled, the window is below a modal window of its thread).
#include "platform/ui/Events.h"
#include "platform/ui/WindowModel.h"

#include <string>

// Presses a button, a menu item or a toolbar button (EVENT_ACCEPTED; check items toggle).
std::string InputPress(int window, int control);
// Types a text into an entry, text, spin or combo and leaves it (EVENT_ACCEPTED, after the text
// was taken into the use variable; EVENT_REJECTED when the picture refuses it).
std::string InputType(int window, int control, const std::string& text);
// Ticks or clears a check box (EVENT_ACCEPTED).
std::string InputCheck(int window, int control, bool on);
// Chooses a radio of an option (EVENT_ACCEPTED of the option) or a tab of a sheet
// (EVENT_NEW_SELECTION of the sheet).
std::string InputChoose(int window, int control);
// Chooses a row of a list, drop list or combo (EVENT_NEW_SELECTION; a drop list or combo also
// EVENT_ACCEPTED), optionally in a list column.
std::string InputChooseRow(int window, int control, int64_t row, int column = 0);
// Moves the focus to a control (EVENT_SELECTED).
std::string InputFocus(int window, int control);
// A key pressed while the control (0: the window) has the focus: an alerted key posts
// EVENT_ALERT_KEY; lists move their selection; Enter on a list accepts it; Escape that nothing
// alerted closes a dialog window (EVENT_CLOSE_WINDOW), never the frame or its children.
std::string InputKey(int window, int control, int keyCode);
// A mouse action on a list, in its client pixels; delivered as window messages to the list's
// hook, then handled by the layer (row choice, alert keys).
std::string InputMouse(int window, int control, WindowMessage message);
// Opens or closes a tree row (EVENT_EXPANDED / EVENT_CONTRACTED with the row).
std::string InputExpand(int window, int control, int64_t row, bool expand);
// The user closes the window by its system menu (EVENT_CLOSE_WINDOW).
std::string InputClose(int window);
// Posts a window event the user caused (focus, suspend, resume, size, move, iconize, ...).
std::string InputWindowEvent(int window, int code);
// The window's placement changed on the screen (EVENT_MOVED / EVENT_SIZED follow).
std::string InputPlace(int window, int x, int y, int w, int h);
// Asks the list's owner to repaint: a Paint window message on the list's thread.
std::string InputPaint(int window, int control);
// A box whose cursor is kSplitterCursor is a splitter: the user drags it up or down. When it is let
// go it stands at `y` (units) and its window hears an Accepted event of it.
constexpr const char* kSplitterCursor = "splitter";
std::string InputSplit(int window, int control, int y);
