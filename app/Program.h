#pragma once
// The program as main() runs it: the single-instance guard, start-up and the frame on logical
// thread 1 under the Qt renderer, and the shut-down once every logical thread has ended.

// Returns the process's exit code.
int RunProgram(int argc, char** argv);

// Registers what the later layers contribute to the core: the worksheet class, the dialogs of the
// worksheets' shift-type, strain and cost edits, and the frame's ".eba" and ".eco" editors.
void RegisterLayers();

class QCoreApplication;

// Qt's own German texts (file and printer dialogs, standard buttons, the question before a file
// is replaced) from the installed Qt translations; false when they are not installed.
bool InstallQtGerman(QCoreApplication& app);
