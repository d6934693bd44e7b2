#pragma once
// Context menus described by one line of text: items separated by "|"; at an item's start "~"
// disables it, "+" checks it, a lone "-" is a separator; "[" .. "]" before an item's text is a
// skipped block; "{" after an item's text opens its submenu up to the matching "}".
#include "platform/ui/Dialogs.h"

#include <string>
#include <vector>

// Items numbered 1, 2, ... in text order, not counting separators and submenu headings.
using PopupItem = PopupEntry;

// Parses a menu text into its items.
std::vector<PopupItem> ParsePopupMenu(const std::string& menuText);

// Shows the menu at the mouse position, or at x, y of the current window, and returns the chosen
// item's number; 0 when the menu was dismissed or holds no usable item.
int PopupMenu(const std::string& menuText);
int PopupMenu(const std::string& menuText, int x, int y);
