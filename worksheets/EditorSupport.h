#pragma once
// What the three plan editors of a worksheet window share: the first six items of their context
// menus, the keys they ask their lists to report, the clamping of the cursor off a filler column,
// and the reading of a typed head count.
#include <cstdint>
#include <initializer_list>
#include <string>

class ISavable;
class IStdEdit;

// "Ausschneiden|Kopieren|Einfügen|-|Neu|Ändern|Löschen|-|", each item switched off ("~") unless
// the editor allows it; all six off when the click hit no cell. "Ändern" follows `change`.
std::string EditMenuText(IStdEdit& editor, bool hit, bool change);

// Registers the keys as alert keys of the list `feq` of the calling thread's target window;
// `digits` adds 0-9 of the main keys and of the numeric pad, `letters` A-Z with and without Shift.
void AlertListKeys(int feq, std::initializer_list<int> keys, bool digits, bool letters = false);

// The character a typed key stands for as the first character of an edit: a digit for the main
// and keypad digits, a capital for a letter; empty for any other key.
std::string StartText(int keyCode);

// Reads a head count typed by the user: a whole number 0 to 255 (blank is 0). Anything else is
// refused with the platform's German message under `caption`; false then.
bool ParseHeadCount(const std::string& text, uint8_t& count, const std::string& caption);

// Shows a German notice with the information icon and an OK button.
void ShowInfo(const std::string& text, const std::string& caption);

// Saves a plan part after its reference period changed (its undo steps are dropped); a failure is
// told in German, naming the part ("Der Schichtbedarf").
void SaveAfterNewPeriod(ISavable& part, const std::string& partName);

// The look of a cell editor: "Tahoma" 8 pt on white, the selected text in its colours.
void StyleCellEditor(int feq, int selectedText, int selectedFill);
