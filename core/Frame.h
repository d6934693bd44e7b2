#pragma once
// The application frame "Varn 4": the window with the program's menus, toolbar and status bar on
// thread 1, from start-up to the end of the run. It owns no project data: every project command
// goes to GlobalProjektmanager, whose window runs on a thread of its own. When it opens it shows
// the welcome window and carries out the command chosen there.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/ui/Events.h"

// Program-wide values of the window procedures.
extern uint8_t ClosingDown;      // 1 from the frame's close-down until a window refuses it
extern uint8_t PendingRequest;   // the request handed to the next window procedure
extern uint8_t LastResponse;     // the response the last window procedure left

// The frame's controls.
enum FrameControl : int {
    FRAME_MENUBAR = 1,
    FRAME_FILEMENU,        // "&Datei"
    FRAME_DATEINEUAZP,     // "Neu (AZP)"
    FRAME_DATEINEUFLEX,    // "Neu (Flex)"
    FRAME_FILENEW,         // "&Neu"
    FRAME_FILEOPEN,        // "&Öffnen..."
    FRAME_FILESAVE,        // "&Speichern"
    FRAME_FILESAVEAS,      // "Speichern &unter..."
    FRAME_FILECLOSE,       // "Schließen"
    FRAME_SEPARATOR1,
    FRAME_DATEIEBA,        // "&Belastungseinschätzung bearbeiten"
    FRAME_DATEIECO,        // "&Kosteneinstellungen bearbeiten"
    FRAME_SEPARATOR2,
    FRAME_PRINTSETUP,      // "&Drucker einrichten..."
    FRAME_SEPARATOR3,
    FRAME_EXIT,            // "Be&enden"
    FRAME_FENSTER,         // "&Fenster"
    FRAME_TILE,
    FRAME_CASCADE,
    FRAME_ARRANGE,
    FRAME_HILFE,           // "&Hilfe"
    FRAME_LERNUNTERLAGE,
    FRAME_SUPPORT,
    FRAME_HILFEINFO,
    FRAME_HELPONHELP,
    FRAME_TOOLBAR,
    FRAME_NEW,             // toolbar: new project
    FRAME_OPEN,            // toolbar: open a project
    FRAME_SAVE,            // toolbar: save
    FRAME_PROJECT,         // toolbar: show the project manager
    FRAME_VORGABEN,        // Datei: the defaults and warning texts window
};

// The frame's keys: Ctrl+P shows the project manager; Ctrl+Shift+F12 opens the defaults and
// warning texts window (as does its entry in the file menu).
constexpr int kFrameProjectKey = Key::CTRL | Key::Letter('P');
constexpr int kFrameVorgabenKey = Key::CTRL | Key::SHIFT | (Key::F1 + 11);

// The windows of later layers that the frame starts; each layer registers its own at start-up.
// A command whose window is not registered is disabled (and the key does nothing).
struct FrameWindows {
    // The defaults and warning texts window; the frame starts it on a thread of its own.
    std::function<void(const std::string& parameter)> updateVorgaben;
    // Edits the record in TMPKOST's buffer as PendingRequest says and writes it back into the
    // file TMPKOST names when completed; returns the response.
    std::function<int()> updateKosten;
    // Edits the strain assessments of the file TMPBEL names: reads every record, runs the browse
    // on them and, when the browse ends cancelled, writes the records read back (the file emptied
    // and refilled); returns the browse's response.
    std::function<int()> editBelastungsdatei;
};
void SetFrameWindows(FrameWindows windows);
const FrameWindows& GetFrameWindows();

// The stack of the defaults window's thread.
constexpr int kVorgabenStack = 25000;

// The frame; returns when it has closed (the end of the run).
void Main();
