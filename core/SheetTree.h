#pragma once
// CSheetTree: a tree list beside a sheet that stands in for the sheet's tab row. Each tab is a
// row with the tab's text and an icon, optionally under a root row; choosing a row selects the
// tab's page. Rows of disabled or hidden tabs are grey and are skipped when chosen.
//
// The list must have one column with colours, an icon and a tree level, e.g. "120L(2)|M*IT(1)@s40@":
// its source fields are the text, the four colours (text, background, selected text, selected
// background), the icon index and the level (root 1, tab 2).
#include "platform/fw/FwWindow.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class ListSource;

class CSheetTree : public WindowComponent {
public:
    static constexpr int32_t GREY = 0xC0C0C0;
    static constexpr int kMaxIcons = 255;

    struct TreeRow {
        std::string TABTEXT;             // at most 40 characters
        int32_t FORECOLOR = -1;
        int32_t FORESELECTED = -1;
        int32_t BACKCOLOR = -1;
        int32_t BACKSELECTED = -1;
        int32_t ICON = 0;                // index into the list's icon list, 0 none
        int32_t LEVEL = 0;               // 0 root, 1 tab
        int32_t TABFEQ = 0;              // the tab control; 0 for the root
        int32_t TABORDINAL = 0;          // the tab's position in the sheet
    };

    CSheetTree();
    ~CSheetTree() override;

    // Takes the list and the sheet: the list shows the rows, the sheet's own tabs are hidden.
    // Called on the window's thread with the window as target.
    void Init(int list, int sheet);
    void AddRoot(const std::string& text, const std::string& iconName, bool noIcon = false);
    // A row for the tab; its ordinal is given or, with countOrdinal, the number of rows before it.
    void AddTab(int tab, const std::string& iconName, bool noIcon, int32_t ordinal, bool countOrdinal);
    // The entry (1..255) of the icon in the list's icon list, taken when new; 0 when the list is full.
    int32_t IconIndex(const std::string& name);

    // WindowComponent
    void Refresh(bool force) override;
    int OnEvent() override;

    // Moves the list's selection off grey rows and the root, and selects the row's tab.
    virtual void SelectTabOfRow();
    // The icon a tab's row shows; by default the one it has.
    virtual std::string GetTabIcon(int tab);

    const std::vector<TreeRow>& Rows() const { return TREEQUEUE; }
    int List() const { return FEQ; }
    int Sheet() const { return SHEETFEQ; }

private:
    bool Skipped(const TreeRow& row) const { return row.LEVEL == 0 || row.FORECOLOR == GREY; }

    std::vector<TreeRow> TREEQUEUE;
    int32_t SHEETFEQ = 0;
    int32_t FEQ = 0;
    uint8_t HASROOT = 0;
    std::shared_ptr<ListSource> source_;
};
