#pragma once
// The program's own message box, a window of its own on the calling thread: the text laid out to
// fit, an icon, up to eight buttons given as bits or as a list of texts, and the box "Diese
// Meldung nicht wieder anzeigen" that remembers the answer in the settings section "Preserved"
// (read and written through the framework's settings access, FwSettings.h).
#include "platform/ui/MessageShow.h"

#include <string>

// Shows the message and returns the pressed button's bit (bit buttons) or position (text
// buttons), 64 when the window was closed in another way.
int MessageDialog(const MessageRequest& request);

// 1: MessageDialog shows every message of the program and the platform from now on; 0: removed.
void InstallMessageDialog(bool on);

// Replaces every occurrence of `find`, searching again from the start after each replacement,
// in a buffer of 2047 characters (ReplaceRepeatedly, Utilities.h).
std::string MessageDialogReplace(const std::string& text, const std::string& find,
                                 const std::string& replacement);
// The same on a copy with trailing spaces removed.
std::string MessageDialogReplaceAll(const std::string& text, const std::string& find,
                                    const std::string& replacement);

// The id of a message text for remembered answers: the sum of its Windows-1252 character codes
// after trailing spaces are removed.
long MessageTextId(const std::string& text);
