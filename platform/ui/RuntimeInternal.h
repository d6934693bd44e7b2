#pragma once
// Between the runtime and the window models (not for the program).
#include "platform/ui/Events.h"

namespace RuntimeInternal {

// A window message of a list travels through the thread's queue as an event with this code;
// the window models deliver it inside the event wait (WindowsOnMessage).
constexpr int MESSAGE_EVENT = -1;

// Window.cpp: a list message to deliver; a logical thread ends (it still holds the baton); a
// new run starts.
void WindowsOnMessage(const Event& message);
void WindowsOnThreadEnd(int thread);
void WindowsReset();

// The calling thread's current event and its skip flag.
Event& Current();
bool& SkipDefault();

// True when the thread's queue holds an event with this code for this window.
bool Queued(int thread, int code, int window);

// Removes every queued event of a window from a thread's queue.
void DropQueued(int thread, int window);

} // namespace RuntimeInternal
