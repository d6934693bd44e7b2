#pragma once
// Event numbers, key codes and the event record of the window layer.
//
// Field events (below 200h) concern one control; window events (200h to 3FFh) concern the window
// as a whole. Numbers from 400h on are the program's own; they carry the control they were posted
// with.
#include <cstdint>

// Field events.
constexpr int EVENT_ACCEPTED = 0x01;       // a control's value was taken (button pressed, entry left)
constexpr int EVENT_NEW_SELECTION = 0x02;  // a list, drop list, sheet or option changed its choice
constexpr int EVENT_SCROLL_UP = 0x03;
constexpr int EVENT_SCROLL_DOWN = 0x04;
constexpr int EVENT_PAGE_UP = 0x05;
constexpr int EVENT_PAGE_DOWN = 0x06;
constexpr int EVENT_SCROLL_TOP = 0x07;
constexpr int EVENT_SCROLL_BOTTOM = 0x08;
constexpr int EVENT_LOCATE = 0x09;
constexpr int EVENT_MOUSE_DOWN = 0x0A;
constexpr int EVENT_MOUSE_UP = 0x0B;
constexpr int EVENT_MOUSE_IN = 0x0C;
constexpr int EVENT_MOUSE_OUT = 0x0D;
constexpr int EVENT_MOUSE_MOVE = 0x0E;
constexpr int EVENT_ALERT_KEY = 0x0F;      // a registered key of a control or window was pressed
constexpr int EVENT_PRE_ALERT_KEY = 0x10;  // the same key, before the control's own handling
constexpr int EVENT_DRAGGING = 0x11;
constexpr int EVENT_DRAG = 0x12;
constexpr int EVENT_DROP = 0x13;
constexpr int EVENT_TAB_CHANGING = 0x15;
constexpr int EVENT_EXPANDING = 0x16;
constexpr int EVENT_CONTRACTING = 0x17;
constexpr int EVENT_EXPANDED = 0x18;       // a tree row was opened
constexpr int EVENT_CONTRACTED = 0x19;     // a tree row was closed
constexpr int EVENT_REJECTED = 0x1A;       // an entry's text did not fit its picture
constexpr int EVENT_DROPPING_DOWN = 0x1B;
constexpr int EVENT_DROPPED_DOWN = 0x1C;
constexpr int EVENT_COLUMN_RESIZE = 0x1E;
constexpr int EVENT_SELECTING = 0x1F;

constexpr int EVENT_SELECTED = 0x101;      // a control got the focus

// Window events.
constexpr int EVENT_CLOSE_WINDOW = 0x201;  // asks the window to close
constexpr int EVENT_CLOSE_DOWN = 0x202;    // the application is closing down
constexpr int EVENT_OPEN_WINDOW = 0x203;   // the window has opened
constexpr int EVENT_OPEN_FAILED = 0x204;
constexpr int EVENT_LOSE_FOCUS = 0x205;
constexpr int EVENT_GAIN_FOCUS = 0x206;
constexpr int EVENT_SUSPEND = 0x208;
constexpr int EVENT_RESUME = 0x209;
constexpr int EVENT_NOTIFY = 0x20A;
constexpr int EVENT_TIMER = 0x20B;
constexpr int EVENT_MOVE = 0x220;
constexpr int EVENT_SIZE = 0x221;
constexpr int EVENT_RESTORE = 0x222;
constexpr int EVENT_MAXIMIZE = 0x223;
constexpr int EVENT_ICONIZE = 0x224;
constexpr int EVENT_COMPLETED = 0x225;     // an accept-all pass went through every control
constexpr int EVENT_MOVED = 0x230;
constexpr int EVENT_SIZED = 0x231;
constexpr int EVENT_RESTORED = 0x232;
constexpr int EVENT_MAXIMIZED = 0x233;
constexpr int EVENT_ICONIZED = 0x234;
constexpr int EVENT_DOCKED = 0x235;
constexpr int EVENT_UNDOCKED = 0x236;

// The program's own events.
constexpr int EventRefresh = 0x400;        // data changed: redisplay
constexpr int EventVisualReady = 0x401;    // the started window is open
constexpr int EventVisualClosed = 0x402;   // the window has gone
constexpr int EventShowLegend = 0x404;
constexpr int EventDeferredReset = 0xAAA;  // a refresh put off during a passive event

// Key codes: a base key, plus modifier bits. Mouse buttons count as keys for alert keys.
namespace Key {
constexpr int SHIFT = 0x100;
constexpr int CTRL = 0x200;
constexpr int ALT = 0x400;

constexpr int MOUSE_LEFT = 0x01;
constexpr int MOUSE_RIGHT = 0x02;
constexpr int MOUSE_CENTER = 0x04;
constexpr int MOUSE_LEFT2 = 0x05;   // double click
constexpr int MOUSE_RIGHT2 = 0x06;
constexpr int BACKSPACE = 0x08;
constexpr int TAB = 0x09;
constexpr int ENTER = 0x0D;
constexpr int ESC = 0x1B;
constexpr int SPACE = 0x20;
constexpr int PAGE_UP = 0x21;
constexpr int PAGE_DOWN = 0x22;
constexpr int END = 0x23;
constexpr int HOME = 0x24;
constexpr int LEFT = 0x25;
constexpr int UP = 0x26;
constexpr int RIGHT = 0x27;
constexpr int DOWN = 0x28;
constexpr int INSERT = 0x2D;
constexpr int DELETE = 0x2E;
constexpr int DIGIT_0 = 0x30;       // '0'..'9' are 0x30..0x39
constexpr int LETTER_A = 0x41;      // 'A'..'Z' are 0x41..0x5A
constexpr int KEYPAD_0 = 0x60;      // keypad digits 0x60..0x69
constexpr int KEYPAD_MULTIPLY = 0x6A;
constexpr int KEYPAD_PLUS = 0x6B;
constexpr int KEYPAD_MINUS = 0x6D;
constexpr int F1 = 0x70;            // F1..F12 are 0x70..0x7B
constexpr int F2 = 0x71;

constexpr int SHIFT_TAB = SHIFT | TAB;
constexpr int SHIFT_ENTER = SHIFT | ENTER;
constexpr int CTRL_D = CTRL | (LETTER_A + 3);
constexpr int Letter(char c) { return LETTER_A + (c - 'A'); }
constexpr int Digit(int d) { return DIGIT_0 + d; }
constexpr int Keypad(int d) { return KEYPAD_0 + d; }
constexpr int Base(int code) { return code & 0xFF; }
} // namespace Key

// One event as a thread's queue holds it.
struct Event {
    int code = 0;        // EVENT_... or a program event
    int control = 0;     // the control concerned (0 for window events)
    int window = 0;      // the window it was meant for (0: the thread's top window)
    int keyCode = 0;     // for key and mouse events
    int mouseX = 0;      // for mouse events, in the control's pixels
    int mouseY = 0;
    int row = 0;         // the list row of a tree's expanded or contracted event
};

// True for window events and the program's own events (they are no field events).
inline bool IsWindowEvent(int code) { return code >= 0x200; }
