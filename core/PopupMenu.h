#pragma once
// Context menus described by one line of text: items separated by "|"; at an item's start "~"
// disables it, "+" checks it, a lone "-" is a separator; "[" .. "]" before an item's text is a
// skipped block; "{" after an item's text opens its submenu up to the matching "}".
#include <string>
#include <vector>

struct PopupItem {
    std::string text;
    bool disabled = false;
    bool checked = false;
    bool separator = false;
    int number = 0;                    // 1, 2, ... in text order; 0 for separators and submenus
    std::vector<PopupItem> submenu;    // a submenu heading has items here
};

// Parses a menu text into its items.
std::vector<PopupItem> ParsePopupMenu(const std::string& menuText);

// Shows the menu at the mouse position, or at x, y of the current window, and returns the chosen
// item's number; 0 when the menu was dismissed or holds no usable item.
int PopupMenu(const std::string& menuText);
int PopupMenu(const std::string& menuText, int x, int y);
