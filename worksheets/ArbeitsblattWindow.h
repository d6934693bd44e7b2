#pragma once
// UpdateArbeitsblatt: the window of a worksheet of kind 1, an MDI child on the worksheet's own
// thread. It shows the staff demand, the shift demand plan and the working-time plan in three
// panes stacked from top to bottom, each collapsible to its title bar, and offers the worksheet's
// commands in its menu and toolbar. The worksheet starts it from Run with its own parameter text.
#include <string>

void UpdateArbeitsblatt(const std::string& parameter);

// Control numbers the worksheet's commands and the tests use.
enum ArbeitsblattControl {
    AB_EXPORT_SCHICHTTYPEN = 3, AB_EXPORT_AZP = 4, AB_IMPORT_SCHICHTTYPEN = 6, AB_IMPORT_AZP = 7,
    AB_UNDO_ITEM = 9, AB_REDO_ITEM, AB_CUT_ITEM, AB_COPY_ITEM, AB_PASTE_ITEM, AB_NEW_ITEM, AB_DELETE_ITEM,
    AB_SWAP_ITEM,
    AB_PRINT_ITEM = 18, AB_SCHICHTTYPEN_ITEM, AB_BELASTUNG_ITEM, AB_OEKO_ITEM, AB_NOTIZEN_ITEM, AB_DEFPOOL_ITEM,
    AB_BEZUGSRAHMEN_ITEM, AB_GRUPPEN_ITEM,
    AB_AKB_ERRECHNEN = 27, AB_SBP_ERRECHNEN = 29, AB_SBP_GENERIEREN, AB_AZP_SCHUETZEN = 32, AB_AZP_GENERIEREN,
    AB_AZP_OPTIMIEREN, AB_AZP_GUETEWERT, AB_GESAMTBEWERTUNG_ITEM,
    AB_BEWERTUNG_INSP_ITEM = 38, AB_TABELLEN_INSP_ITEM, AB_OEKO_INSP_ITEM,
    AB_SYNC_ITEM = 41, AB_ZOOM_50 = 43, AB_ZOOM_75, AB_ZOOM_100, AB_ZOOM_125, AB_ZOOM_150,
    AB_NORMAL = 49, AB_KOMPAKT,
    AB_PRINT_BUTTON = 51, AB_BEZUGSRAHMEN_BUTTON = 59, AB_GRUPPEN_BUTTON = 60,
    AB_CUT = 62, AB_COPY, AB_PASTE, AB_UNDO, AB_REDO, AB_INSERT, AB_DELETE, AB_SWAP, AB_GENERATE = 71,
    AB_INSPEKTOR_BUTTON = 72, AB_GESAMTBEWERTUNG_BUTTON = 74,
    AB_AKB_BAR = 75, AB_AKB_BAR_TEXT = 76, AB_AKB_SHOW = 77, AB_AKB_TITLE = 80, AB_AKB_HIDE = 81, AB_AKB_LIST = 82,
    AB_SBP_BAR = 83, AB_SBP_BAR_TEXT = 84, AB_SBP_SHOW = 85, AB_SBP_TITLE = 87, AB_SBP_HIDE = 88, AB_SBP_LIST = 89,
    AB_AZP_BAR = 90, AB_AZP_BAR_TEXT = 91, AB_AZP_SHOW = 92, AB_AZP_TITLE = 94, AB_AZP_HIDE = 95, AB_AZP_LIST = 96,
    AB_SPLITTER_AKB = 97, AB_SPLITTER_SBP = 98,   // below the staff demand and the shift demand pane
    // Toolbar twins of the items that open the tree parts' dialogs.
    AB_SCHICHTTYPEN_BUTTON = 53, AB_BELASTUNG_BUTTON, AB_OEKO_BUTTON, AB_NOTIZEN_BUTTON, AB_DEFPOOL_BUTTON,
};

// The heights of the three panes' lists for a client height: a collapsed pane keeps only its title
// bar, the open ones share the rest alike (the last open one takes what the division left). When
// every pane is collapsed the lists get nothing (and nothing is divided by zero).
struct PaneLayout {
    int top[3] = {};      // the title bar of each pane
    int listTop[3] = {};
    int listHeight[3] = {};
};
PaneLayout LayoutPanes(int top, int height, const bool hidden[3], int titleHeight);

