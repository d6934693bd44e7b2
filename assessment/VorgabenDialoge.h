#pragma once
// The windows that change what "varn4.cfg" gives every new definitions pool: UpdateVorgaben
// ("Vorgaben bearbeiten") edits the default constraint values, the warning and error limits and
// the default criteria settings through the definitions dialog; UpdateWarntexte
// ("Warnungs-Texte") edits the warning and error texts of the constraints.
#include <functional>
#include <string>

// The defaults window on the calling thread (the frame starts it on a thread of its own). Each
// editing button hides it, runs its editor and ends the window with the editor's answer; a record
// is written only when the editor ended with OK. While a definitions dialog is open elsewhere the
// user is told so and the window ends cancelled before any buffer is touched. Returns the answer.
int UpdateVorgaben();

// The list of the warning texts (table "warntexte") in key order, with insert, change and delete
// through a form whose multi-line field holds the whole text. PendingRequest 6 only shows them.
// Modal on the caller's thread; changes are written at once. Returns RESPONSE_COMPLETED.
int UpdateWarntexte();

// What the frame registers as FrameWindows::updateVorgaben.
std::function<void(const std::string&)> VorgabenFrameWindow();
