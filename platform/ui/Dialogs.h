#pragma once
// Common dialogs and the shell, as requests answered by the renderer or the headless driver while
// the asking thread waits without the baton.
#include <string>
#include <vector>

enum FileDialogFlags : unsigned {
    FILE_SAVE = 1,            // a save dialog (else open)
    FILE_KEEP_DIR = 2,        // the current directory stays as it was
    FILE_LONG_NAMES = 4,
};

// Asks for a file. `filter` is "description|pattern|description|pattern...". `fileName` holds the
// proposed name before and the chosen path after. False when the user cancelled.
bool FileDialog(const std::string& title, std::string& fileName, const std::string& filter,
                unsigned flags = 0);

// Asks the host to open a file or an address with the desktop's handler. The renderer runs
// "xdg-open" with the target as one argument, never through a shell command line; the headless
// driver records the request. "" when it was handed over; else German words for the planner why
// nothing shows it (for a document: no program on the desktop shows files of its kind).
std::string ShellOpen(const std::string& file, const std::string& parameters,
                      const std::string& directory, bool minimized);

// One item of a context menu.
struct PopupEntry {
    std::string text;
    bool disabled = false;
    bool checked = false;
    bool separator = false;
    int number = 0;                    // 1, 2, ... in menu order; 0 for separators and submenu headings
    std::vector<PopupEntry> submenu;   // a submenu heading has its items here
};

// Shows a context menu at x, y of the calling thread's target window (both -1: at the mouse)
// and returns the chosen item's number, 0 when it was dismissed.
int PopupRequest(const std::vector<PopupEntry>& items, int x, int y);
