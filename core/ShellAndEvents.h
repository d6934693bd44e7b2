#pragma once
// The test for passive window events that drives every window's deferred refresh, and opening a
// document, mail address or web address with the desktop's handler.
#include <string>

// True for events that change no data: focus gained and lost, suspend, resume, move, size,
// restore, maximize, iconize and the pre-alert key. Without an argument the current event.
bool IsPassiveEvent();
bool IsPassiveEvent(int event);

// Opens the file or address with the desktop's handler; other threads run meanwhile. Trailing
// spaces are removed from each part, double quotes from the file and the directory; each part is
// kept to 255 characters. "" when it was handed over, else why not (German words for the planner;
// the caller decides whether to show them).
std::string OpenWithShell(const std::string& file, const std::string& parameters,
                          const std::string& directory, bool noParameters, bool noDirectory,
                          bool minimized);
