#pragma once
// The menu bar and the toolbar of the two worksheet windows, the kind-1 worksheet's and the flex
// window, described in one place so that a text, key or tip mended reaches both; where the flex
// window differs, it says so at the item. Each window numbers its controls its own way
// (`ArbeitsblattControl`, `FlexAZBlattControl`) and hands the numbers in a `WorksheetBar`.
#include "platform/ui/WindowModel.h"

// A command offered as a menu item and as its toolbar twin (0: not offered there).
struct SheetTwin {
    int item = 0;
    int button = 0;
};

// The control numbers of a worksheet window's menus and toolbar. A menu is numbered one below its
// first entry. Fields marked "kind 1" or "flex" are 0 in the other window.
struct WorksheetBar {
    bool flex = false;
    // "Datei": kind 1 exports and imports shift types and plan, flex its entries.
    int exportSchichttypen = 0, exportAzp = 0, importSchichttypen = 0, importAzp = 0;   // kind 1
    int exportFlex = 0, importFlex = 0;                                                 // flex
    // "Bearbeiten", in the menu's order; `change` is the flex window's. The flex window offers no
    // moving of cells: its swap item has no twin and stays disabled.
    SheetTwin undo, redo, cut, copy, paste, insert, change, remove, swap;
    // "Arbeitszeitblatt", in the menu's order; the last item opens the shift groups (kind 1) or the
    // period shown (flex). The flex sheet has no shift types or reference period of its own.
    SheetTwin print, schichttypen, belastung, oeko, notizen, defpool, bezugsrahmen, darstellung;
    // The plan menus: staff demand and shift demand (kind 1), then "Arbeitszeitplan".
    int akbErrechnen = 0, sbpErrechnen = 0, sbpGenerieren = 0;                           // kind 1
    int azpSchuetzen = 0, azpGenerieren = 0, azpOptimieren = 0;                         // kind 1
    int guetewert = 0;
    SheetTwin gesamtbewertung;
    // "Ansicht".
    int bewertungInsp = 0, tabellenInsp = 0, oekoInsp = 0;
    int sync = 0;                                                                       // kind 1
    int zoom50 = 0;   // the first of five zoom items
    int normal = 0, kompakt = 0;
    // Toolbar only.
    int generate = 0;                                                                   // kind 1
    int inspektor = 0;
};

// The toolbar's height above the client area.
constexpr int kWorksheetToolbarHeight = 16;

ControlDesc WorksheetMenubar(const WorksheetBar& c);
ControlDesc WorksheetToolbar(const WorksheetBar& c);

// The edit items follow their toolbar twins' enabled state in the current window: an editor
// enables its buttons as its selection moves, without a refresh of the window.
void FollowToolbarTwins(const WorksheetBar& c);
