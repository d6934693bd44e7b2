#pragma once
// UpdateFlexAZBlatt: the window of a flex worksheet, an MDI child on the worksheet's own thread.
// Two panes stacked from top to bottom, each collapsible to its title bar: the flex entries
// ("Arbeitszeit-Daten") and the working-time plan built from them ("Arbeitszeitplan"). Its menus
// and toolbar reach the worksheet's commands; the edit buttons act on the pane with the focus.
#include <string>

void UpdateFlexAZBlatt(const std::string& parameter);

// Control numbers the worksheet's binding and the tests use.
enum FlexAZBlattControl {
    FX_EXPORT = 3, FX_IMPORT = 5,
    FX_UNDO_ITEM = 7, FX_REDO_ITEM, FX_CUT_ITEM, FX_COPY_ITEM, FX_PASTE_ITEM, FX_NEW_ITEM, FX_CHANGE_ITEM,
    FX_DELETE_ITEM, FX_SWAP_ITEM,
    FX_PRINT_ITEM = 17, FX_SCHICHTTYPEN_ITEM, FX_BELASTUNG_ITEM, FX_OEKO_ITEM, FX_NOTIZEN_ITEM, FX_DEFPOOL_ITEM,
    FX_BEZUGSRAHMEN_ITEM, FX_ZEITRAUM_ITEM,
    FX_GUETEWERT_ITEM = 26, FX_GESAMTBEWERTUNG_ITEM,
    FX_BEWERTUNGSINSP_ITEM = 29, FX_TABELLENINSP_ITEM, FX_OEKOINSP_ITEM,
    FX_ZOOM_50 = 33, FX_ZOOM_75, FX_ZOOM_100, FX_ZOOM_125, FX_ZOOM_150,
    FX_NORMAL = 39, FX_KOMPAKT,
    FX_PRINT_BUTTON = 41, FX_SCHICHTTYPEN_BUTTON = 43, FX_BELASTUNG_BUTTON, FX_OEKO_BUTTON, FX_NOTIZEN_BUTTON,
    FX_DEFPOOL_BUTTON, FX_BEZUGSRAHMEN_BUTTON = 49, FX_ZEITRAUM_BUTTON,
    FX_CUT = 52, FX_COPY, FX_PASTE, FX_UNDO = 56, FX_REDO, FX_INSERT, FX_CHANGE, FX_DELETE,
    FX_GENERATE = 63, FX_INSPEKTOR_BUTTON, FX_GESAMTBEWERTUNG_BUTTON,
    FX_FLEX_BAR = 66, FX_FLEX_BAR_TEXT, FX_FLEX_SHOW, FX_FLEX_TITLE = 71, FX_FLEX_HIDE, FX_FLEX_LIST,
    FX_AZP_BAR = 74, FX_AZP_BAR_TEXT, FX_AZP_SHOW, FX_AZP_TITLE = 78, FX_AZP_HIDE, FX_AZP_LIST,
    FX_SPLITTER = 81,   // between the two panes
};
