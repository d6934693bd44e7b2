#include "core/PopupMenu.h"


namespace {

// One pass over the menu text. `pos` walks the text; a "}" ends the current level.
void ParseLevel(const std::string& s, size_t& pos, std::vector<PopupItem>& out, int& number, bool& skipping)
{
    PopupItem item;
    bool hasText = false;
    auto finish = [&](bool submenuFollows) {
        if (submenuFollows)
            return;
        if (item.separator && !hasText) {
            out.push_back(item);
        } else if (hasText) {
            item.separator = false;
            item.number = ++number;
            out.push_back(item);
        }
        item = PopupItem{};
        hasText = false;
    };
    while (pos < s.size()) {
        char c = s[pos++];
        if (c == '|') {
            finish(false);
            continue;
        }
        if (skipping) {
            // A skipped block ends at "]" or at a "{" met before the item's text.
            if (c == ']' || (c == '{' && !hasText))
                skipping = false;
            continue;
        }
        if (!hasText) {
            if (c == '~') {
                item.disabled = true;
                continue;
            }
            if (c == '+') {
                item.checked = true;
                continue;
            }
            if (c == '-') {
                item.separator = true;
                continue;
            }
            if (c == '[') {
                skipping = true;
                continue;
            }
            if (c == '{')
                continue;       // no text yet: no submenu
            if (c == '}')
                break;
        } else {
            if (c == '{') {
                PopupItem heading = item;
                heading.separator = false;
                ParseLevel(s, pos, heading.submenu, number, skipping);
                out.push_back(heading);
                item = PopupItem{};
                hasText = false;
                // The text after the closing "}" up to the next "|" starts a new item.
                continue;
            }
            if (c == '}')
                break;
        }
        item.text += c;
        hasText = true;
    }
    finish(false);
}

} // namespace

std::vector<PopupItem> ParsePopupMenu(const std::string& menuText)
{
    std::vector<PopupItem> items;
    size_t pos = 0;
    int number = 0;
    bool skipping = false;
    while (pos < menuText.size())
        ParseLevel(menuText, pos, items, number, skipping);
    return items;
}

namespace {
bool AnyItem(const std::vector<PopupItem>& items)
{
    for (const auto& i : items)
        if (i.number > 0 || AnyItem(i.submenu))
            return true;
    return false;
}
} // namespace

int PopupMenu(const std::string& menuText, int x, int y)
{
    std::vector<PopupItem> items = ParsePopupMenu(menuText);
    if (!AnyItem(items))
        return 0;
    int chosen = PopupRequest(items, x, y);
    // The number is a byte: items beyond 255 are not supported.
    return chosen >= 0 && chosen <= 255 ? chosen : 0;
}

int PopupMenu(const std::string& menuText) { return PopupMenu(menuText, -1, -1); }
