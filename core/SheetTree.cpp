#include "core/SheetTree.h"

#include "core/Utilities.h"
#include "platform/ui/Events.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"
#include "platform/values/Locale.h"

namespace {

// A row's text holds at most 40 characters; cut whole UTF-8 characters, never a byte of one.
std::string RowText(const std::string& text) { return std::string(Utf8Prefix(text, 40)); }

} // namespace

CSheetTree::CSheetTree() = default;
CSheetTree::~CSheetTree() = default;

void CSheetTree::Init(int list, int sheet)
{
    FEQ = list;
    SHEETFEQ = sheet;
    TREEQUEUE.clear();
    source_ = std::make_shared<FunctionListSource>(
        [this] { return static_cast<int64_t>(TREEQUEUE.size()); },
        [this](int64_t row, int field) -> std::string {
            if (row < 1 || row > static_cast<int64_t>(TREEQUEUE.size()))
                return {};
            const TreeRow& r = TREEQUEUE[static_cast<size_t>(row - 1)];
            switch (field) {
            case 1: return r.TABTEXT;
            case 2: return std::to_string(r.FORECOLOR);
            case 3: return std::to_string(r.BACKCOLOR);
            case 4: return std::to_string(r.FORESELECTED);
            case 5: return std::to_string(r.BACKSELECTED);
            case 6: return std::to_string(r.ICON);
            case 7: return std::to_string(r.LEVEL + 1);   // the list's tree levels start at 1
            default: return {};
            }
        });
    ListSetSource(FEQ, source_);
    PropertySet(SHEETFEQ, Prop::Wizard, 1);
    PropertySet(FEQ, Prop::TreeRootLines, 0);
    HASROOT = 0;
}

void CSheetTree::AddRoot(const std::string& text, const std::string& iconName, bool noIcon)
{
    HASROOT = 1;
    TreeRow row;
    row.TABTEXT = RowText(text);
    if (!noIcon)
        row.ICON = IconIndex(iconName);
    row.LEVEL = 0;
    TREEQUEUE.insert(TREEQUEUE.begin(), row);
    PropertySet(FEQ, Prop::TreeRootLines, 1);
}

void CSheetTree::AddTab(int tab, const std::string& iconName, bool noIcon, int32_t ordinal, bool countOrdinal)
{
    TreeRow row;
    if (tab)
        row.TABTEXT = RowText(PropertyGet(tab, Prop::Text).Str());
    if (!noIcon)
        row.ICON = IconIndex(iconName);
    row.LEVEL = 1;
    row.TABFEQ = tab;
    row.TABORDINAL = countOrdinal ? static_cast<int32_t>(TREEQUEUE.size()) : ordinal;
    TREEQUEUE.push_back(row);
}

int32_t CSheetTree::IconIndex(const std::string& name)
{
    PropertySet(FEQ, Prop::LineHeight, 11);
    const std::string key = LocaleUpper(Clip(name));
    for (int i = 1; i <= kMaxIcons; ++i) {
        const PropValue value = PropertyGet(FEQ, Prop::IconList, i);
        const std::string entry = value.IsText() ? value.Str() : std::string();   // unset reads as 0
        if (entry.empty()) {
            PropertySet(FEQ, Prop::IconList, key, i);
            return i;
        }
        if (entry == key)
            return i;
    }
    return 0;
}

std::string CSheetTree::GetTabIcon(int tab)
{
    for (const TreeRow& row : TREEQUEUE) {
        if (row.TABFEQ != tab)
            continue;
        if (!row.ICON)
            return {};
        const PropValue value = PropertyGet(FEQ, Prop::IconList, row.ICON);
        return value.IsText() ? value.Str() : std::string();
    }
    return {};
}

void CSheetTree::Refresh(bool)
{
    for (size_t i = HASROOT ? 1 : 0; i < TREEQUEUE.size(); ++i) {
        const int tab = TREEQUEUE[i].TABFEQ;
        if (!tab)
            continue;
        const std::string icon = GetTabIcon(tab);
        TreeRow& row = TREEQUEUE[i];   // GetTabIcon may be overridden; take the row afresh
        row.ICON = icon.empty() ? 0 : IconIndex(icon);
        const bool off = PropertyGet(tab, Prop::Disable).Bool() || PropertyGet(tab, Prop::Hide).Bool();
        row.FORECOLOR = off ? GREY : -1;
        row.TABTEXT = RowText(PropertyGet(tab, Prop::Text).Str());
    }
    const int64_t selectedTab = PropertyGet(SHEETFEQ, Prop::Selected).Int();
    for (size_t i = 0; i < TREEQUEUE.size(); ++i)
        if (TREEQUEUE[i].TABFEQ && TREEQUEUE[i].TABORDINAL == selectedTab) {
            PropertySet(FEQ, Prop::Selected, static_cast<int64_t>(i + 1));
            break;
        }
    PropertySet(FEQ, Prop::Disable, PropertyGet(SHEETFEQ, Prop::Disable).Bool());
    PropertySet(FEQ, Prop::Hide, PropertyGet(SHEETFEQ, Prop::Hide).Bool());
    ControlDisplay(FEQ);
    SelectTabOfRow();
}

int CSheetTree::OnEvent()
{
    if (FEQ && EventCurrent() == EVENT_NEW_SELECTION && EventControl() == FEQ)
        SelectTabOfRow();
    return LEVEL_BENIGN;
}

void CSheetTree::SelectTabOfRow()
{
    const int64_t count = static_cast<int64_t>(TREEQUEUE.size());
    if (count == 0)
        return;
    const int64_t firstTab = HASROOT && count > 1 ? 2 : 1;
    int64_t start = PropertyGet(FEQ, Prop::Selected).Int();
    if (start < 1 || start > count)
        start = firstTab;
    int64_t row = start;
    // Bounded by the row count: with every row grey the loop would never meet its start again
    // when it began on the root.
    for (int64_t steps = 0; steps < count && Skipped(TREEQUEUE[static_cast<size_t>(row - 1)]); ++steps) {
        row = row + 1 > count ? firstTab : row + 1;
        if (row == start)
            break;
    }
    PropertySet(FEQ, Prop::Selected, row);
    const TreeRow& chosen = TREEQUEUE[static_cast<size_t>(row - 1)];
    if (!chosen.TABFEQ || Skipped(chosen))
        return;
    if (PropertyGet(SHEETFEQ, Prop::Selected).Int() != chosen.TABORDINAL) {
        PropertySet(SHEETFEQ, Prop::Selected, chosen.TABORDINAL);
        EventPost(EVENT_NEW_SELECTION, SHEETFEQ);
    }
}
