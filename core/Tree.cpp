#include "core/Tree.h"

#include "core/Utilities.h"
#include <algorithm>
#include <cstdlib>

#include "platform/fw/FwEdit.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"
#include "platform/values/Locale.h"
#include "platform/values/Windows1252.h"

namespace {
} // namespace

// The tree's shown rows as the list's source: the text, the icon index and the tree level.
class TreeListSource : public ListSource {
public:
    explicit TreeListSource(CTree& tree) : tree_(tree) {}
    int64_t RowCount() override { return tree_.ListRowCount(); }
    std::string Field(int64_t row, int field) override
    {
        const CTree::EntryRow* r = tree_.Row(tree_.EntryOfListRow(row));
        if (!r)
            return {};
        switch (field) {
        case 1: return r->SCREENTEXT;
        case 2: return std::to_string(r->ICONNR);
        case 3: return std::to_string(r->LEVEL);
        default: return {};
        }
    }

private:
    CTree& tree_;
};

void CTreeStdBehaviour::TakeRequest(int request)
{
    if (request == TREE_COLLAPSE)
        EXPANDED = 0;
    else if (request == TREE_EXPAND)
        EXPANDED = 1;
}

void CIconList::Init()
{
    QueueFree(ICONS);
}

int32_t CIconList::GetIndex(const std::string& name)
{
    const std::string key = LocaleUpper(Clip(name));
    std::size_t pos = 0;
    if (QueueGet(ICONS, key, &IconRow::NAME, &pos))
        return static_cast<int32_t>(pos);
    QueueAdd(ICONS, IconRow{key});
    return static_cast<int32_t>(QueueRecords(ICONS));
}

void CIconList::Apply(int listControl)
{
    for (int32_t i = 1; i <= Count(); ++i)
        PropertySet(listControl, Prop::IconList, NameAt(i), i);
}

void CIconList::Release()
{
    QueueFree(ICONS);
}

CTree::CTree()
{
    ICONLIST.Init();
}

CTree::~CTree()
{
    ICONLIST.Release();
}

void CTree::Init(int listControl)
{
    TREECONTROL = listControl;
    window_ = WindowTarget();
    source_ = std::make_shared<TreeListSource>(*this);
    ListSetSource(TREECONTROL, source_);
    for (int k : {Key::MOUSE_LEFT2, Key::ENTER, Key::INSERT, Key::DELETE, Key::CTRL_D, Key::SHIFT | Key::UP,
                  Key::SHIFT | Key::DOWN, Key::MOUSE_RIGHT, Key::F2, Key::SPACE, Key::RIGHT, Key::LEFT,
                  Key::KEYPAD_PLUS, Key::KEYPAD_MINUS})
        ControlAlert(TREECONTROL, k);
}

void CTree::Refresh(ITreeEntry* root)
{
    if (root)
        root_ = root;
    if (!root_)
        return;
    QueueFree(TREEENTRIES);
    shownValid_ = false;
    root_->RefreshTree(1, *this);
    Redisplay();
}

const std::vector<int32_t>& CTree::Shown() const
{
    if (shownValid_)
        return shown_;
    shown_.clear();
    int32_t hiddenBelow = 0;   // depth of a collapsed node whose children are being passed over
    for (int32_t i = 1; i <= RowCount(); ++i) {
        const int32_t level = Row(i)->LEVEL;
        const int32_t depth = std::abs(level);
        if (hiddenBelow > 0 && depth > hiddenBelow)
            continue;
        hiddenBelow = level < 0 ? depth : 0;
        shown_.push_back(i);
    }
    shownValid_ = true;
    return shown_;
}

int32_t CTree::ListRowCount() const { return static_cast<int32_t>(Shown().size()); }

int32_t CTree::EntryOfListRow(int64_t listRow) const
{
    const auto& shown = Shown();
    return listRow >= 1 && listRow <= static_cast<int64_t>(shown.size()) ? shown[static_cast<size_t>(listRow - 1)] : 0;
}

int64_t CTree::ListRowOfEntry(int32_t row) const
{
    const auto& shown = Shown();
    auto it = std::find(shown.begin(), shown.end(), row);
    return it == shown.end() ? 0 : (it - shown.begin()) + 1;
}

void CTree::Redisplay()
{
    shownValid_ = false;
    if (!TREECONTROL || !window_ || !WindowExists(window_))
        return;
    if (WindowThread(window_) != ThreadCurrent()) {
        // The list belongs to the manager window's thread: it rebuilds there.
        EventPost(EventRefresh, 0, WindowThread(window_));
        return;
    }
    int before = WindowSetTarget(window_);
    ICONLIST.Apply(TREECONTROL);
    int64_t selected = PropertyGet(TREECONTROL, Prop::Selected).Int();
    if (selected > ListRowCount())
        PropertySet(TREECONTROL, Prop::Selected, static_cast<long long>(ListRowCount()));
    else if (selected < 1 && ListRowCount() > 0)
        PropertySet(TREECONTROL, Prop::Selected, 1LL);
    ControlDisplay(TREECONTROL);
    WindowSetTarget(before);
}

void CTree::AddEntry(ITreeEntry& entry, int level, const std::string& text, const std::string& icon)
{
    EntryRow row;
    row.SCREENTEXT = text.substr(0, 100);
    row.LEVEL = entry.IsExpanded() ? level : -level;
    row.ICONNR = ICONLIST.GetIndex(icon);
    row.ENTRY = &entry;
    QueueAdd(TREEENTRIES, row);
    shownValid_ = false;
}

int CTree::GetRequest(int event)
{
    switch (event) {
    case EVENT_ALERT_KEY:
        switch (EventKeyCode()) {
        case Key::MOUSE_LEFT2:
        case Key::ENTER: return TREE_OPEN;
        case Key::F2: return TREE_RENAME;
        case Key::CTRL_D: return TREE_DUPLICATE;
        case Key::DELETE: return TREE_DELETE;
        case Key::INSERT: return TREE_NEW;
        case Key::SPACE: return TREE_TOGGLE;
        case Key::LEFT:
        case Key::KEYPAD_MINUS: return TREE_COLLAPSE;
        case Key::RIGHT:
        case Key::KEYPAD_PLUS: return TREE_EXPAND;
        default: return 0;
        }
    case EVENT_EXPANDED:
    case EVENT_CONTRACTED:
        if (EventRow() >= 1 && EventRow() <= ListRowCount())
            PropertySet(TREECONTROL, Prop::Selected, static_cast<long long>(EventRow()));
        return event == EVENT_EXPANDED ? TREE_EXPAND : TREE_COLLAPSE;
    case EVENT_NEW_SELECTION:
        // A click on the expand box of a row toggles it.
        if (PropertyGet(TREECONTROL, Prop::ListMouseDownZone).Int() == LIST_ZONE_EXPANDBOX)
            return TREE_TOGGLE;
        return 0;
    default: return 0;
    }
}

int32_t CTree::SelectedRow() const
{
    if (!TREECONTROL)
        return 0;
    return EntryOfListRow(PropertyGet(TREECONTROL, Prop::Selected).Int());
}

ITreeEntry* CTree::SelectedEntry() const
{
    const EntryRow* r = Row(SelectedRow());
    return r ? r->ENTRY : nullptr;
}

bool CTree::AcceptsRequest(int request)
{
    ITreeEntry* e = SelectedEntry();
    return e && e->AcceptsRequest(request);
}

bool CTree::EditRowText(std::string& text)
{
    int column = static_cast<int>(PropertyGet(TREECONTROL, Prop::Column).Int());
    if (column < 1)
        column = 1;
    FwEditInPlace editor;
    editor.PICTURE = "@s100";
    // The field stands where the name stands, right of the row's box and picture in the tree's
    // column, and comes up with the name selected, so that typing replaces it.
    if (const EntryRow* row = column == 1 ? Row(SelectedRow()) : nullptr)
        editor.INDENT = std::abs(row->LEVEL) * TREE_INDENT +
                        (row->ICONNR > 0 ? ListGeometryOf(TREECONTROL).pictureWidth : 0);
    editor.Init(TREECONTROL, column, UseVar(text));
    PropertySet(editor.FEQ, Prop::FontName, std::string("Tahoma"));
    PropertySet(editor.FEQ, Prop::FontSize, 8LL);
    PropertySet(editor.FEQ, Prop::SelStart, 1LL);
    PropertySet(editor.FEQ, Prop::SelEnd, static_cast<long long>(Utf8ToCp1252(text).size()));
    bool completed = false;
    bool repost = false;
    Event pending;
    while (WindowAccept(window_)) {
        int code = EventCurrent();
        if (code == EVENT_TIMER || code == EVENT_SUSPEND || code == EVENT_RESUME) {
            EventSkipDefault();
            continue;
        }
        // Focus arriving somewhere (the list selected after a refused name) is no user action.
        if (code == EVENT_LOSE_FOCUS || code == EVENT_GAIN_FOCUS || code == EVENT_SELECTED)
            continue;
        if (EventControl() == editor.FEQ && !IsWindowEvent(code)) {
            EditAction a = editor.TakeEvent(code);
            if (a == EditAction::Complete) {
                ControlUpdate(editor.FEQ);
                completed = true;
                break;
            }
            if (a == EditAction::Cancel)
                break;
            continue;
        }
        // Anything else ends the edit; it is handled once the edit is over.
        pending.code = code;
        pending.control = EventControl();
        pending.window = window_;
        pending.keyCode = EventKeyCode();
        pending.mouseX = EventMouseX();
        pending.mouseY = EventMouseY();
        pending.row = EventRow();
        repost = true;
        EventSkipDefault();
        break;
    }
    editor.Kill();
    if (WindowExists(window_))
        ControlSelect(TREECONTROL);
    if (repost)
        EventPost(pending);
    return completed;
}

uint8_t CTree::TakeRequest(int request)
{
    int32_t selected = SelectedRow();
    if (!selected)
        return 0;
    const int64_t selectedListRow = PropertyGet(TREECONTROL, Prop::Selected).Int();
    EntryRow row = *Row(selected);
    ITreeEntry* entry = row.ENTRY;
    if (!entry->AcceptsRequest(request))
        return 5;
    uint8_t result = 0;
    if (request == TREE_RENAME) {
        std::string text = row.SCREENTEXT;
        for (;;) {
            if (!EditRowText(text))
                break;
            result = entry->TakeRequest(TREE_RENAME, text);
            if (result == 0)
                break;
        }
    } else {
        result = entry->TakeRequest(request, {});
        if (request == TREE_DELETE && result == 0) {
            // The node is gone (the tree was rebuilt); the row above takes the selection.
            int64_t above = std::max<int64_t>(selectedListRow - 1, 1);
            if (above <= ListRowCount())
                PropertySet(TREECONTROL, Prop::Selected, static_cast<long long>(above));
            return result;
        }
    }
    // The row may have been rebuilt meanwhile (a new or duplicated worksheet): only a row that
    // still shows the node is written back.
    EntryRow* current = QueueGet(TREEENTRIES, selected);
    if (current && current->ENTRY == entry) {
        current->SCREENTEXT = entry->GetText().substr(0, 100);
        if (request == TREE_COLLAPSE || request == TREE_EXPAND) {
            int level = std::abs(current->LEVEL);
            current->LEVEL = entry->IsExpanded() || !entry->AcceptsRequest(TREE_EXPAND) ? level : -level;
        }
        Redisplay();
    }
    return result;
}

uint8_t CTree::OnEvent(int event)
{
    int request = GetRequest(event);
    uint8_t result = 0;
    if (request != 0 && AcceptsRequest(request))
        result = TakeRequest(request);
    if (result == 0 && RowCount() > 0) {
        ITreeEntry* e = SelectedEntry();
        if (e && e->ForceReset())
            Refresh();
    }
    return result;
}
