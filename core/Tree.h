#pragma once
// The project tree: nodes implement ITreeEntry; CTree lists them in a list control with a tree
// column, turns keys and mouse actions on the list into numbered requests, asks the selected node
// whether it accepts a request and lets it carry the request out. CIconList collects the rows'
// icons, CTreeStdBehaviour keeps a node's expanded flag (so it survives every rebuild).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/values/Queue.h"

class CTree;

// Tree requests.
constexpr int TREE_DUPLICATE = 1;
constexpr int TREE_NEW = 2;
constexpr int TREE_OPEN = 3;
constexpr int TREE_DELETE = 4;
constexpr int TREE_RENAME = 6;
constexpr int TREE_COLLAPSE = 8;
constexpr int TREE_EXPAND = 9;
constexpr int TREE_TOGGLE = 10;

class ITreeEntry {
public:
    virtual ~ITreeEntry() = default;
    // Icon name of the node's row ("~" marks an icon built into the program).
    virtual std::string GetIcon() = 0;
    virtual std::string GetText() = 0;
    virtual bool IsExpanded() = 0;
    // True when the whole tree must be rebuilt after a request on this node.
    virtual bool ForceReset() = 0;
    // Rows the node stands for, its own included.
    virtual int32_t CountEntries() = 0;
    // Adds the node's own row at `level` (CTree::AddEntry) and lets each child add its rows at
    // level + 1.
    virtual void RefreshTree(int level, CTree& tree) = 0;
    virtual bool AcceptsRequest(int request) = 0;
    // 0 done, non-zero refused or failed; `text` is the edited row text of a rename, else empty.
    virtual uint8_t TakeRequest(int request, const std::string& text) = 0;
};

class CTreeStdBehaviour {
public:
    // 8 collapses, 9 expands, anything else is ignored.
    void TakeRequest(int request);
    uint8_t EXPANDED = 0;
};

class CIconList {
public:
    struct IconRow {
        std::string NAME;   // upper case
    };
    void Init();
    // The clipped name in upper case is looked up and appended when missing; its row (from 1).
    int32_t GetIndex(const std::string& name);
    // Icon i of the list control := row i.
    void Apply(int listControl);
    void Release();
    int32_t Count() const { return static_cast<int32_t>(QueueRecords(ICONS)); }
    const std::string& NameAt(int32_t index) const { return QueueGet(ICONS, static_cast<size_t>(index))->NAME; }

    Queue<IconRow> ICONS;
};

class CTree {
public:
    struct EntryRow {
        std::string SCREENTEXT;   // up to 100 characters
        int32_t ICONNR = 0;       // index into the icon list
        int32_t LEVEL = 0;        // depth from 1; negative while the node is collapsed
        ITreeEntry* ENTRY = nullptr;
    };

    CTree();
    virtual ~CTree();
    CTree(const CTree&) = delete;
    CTree& operator=(const CTree&) = delete;

    // Binds the list control of the calling thread's target window: the rows become its source
    // and the tree's alert keys are set.
    void Init(int listControl);
    // Rebuilds every row from `root` (remembered) or, without one, from the root remembered last;
    // nothing when none was ever given. The list is redisplayed when bound.
    void Refresh(ITreeEntry* root = nullptr);
    void AddEntry(ITreeEntry& entry, int level, const std::string& text, const std::string& icon);

    // The request an event of the list stands for; 0 none.
    virtual int GetRequest(int event);
    // Whether the selected row's node accepts the request; false when no row is selected.
    bool AcceptsRequest(int request);
    // Carries the request out on the selected row (rename edits the row text in place first).
    uint8_t TakeRequest(int request);
    // The request of the current event, when accepted; rebuilds the tree when the node asks for
    // it. 0 when nothing was done.
    uint8_t OnEvent(int event);

    // The row of TREEENTRIES shown in the list's selected row (0 none) and the node in it.
    int32_t SelectedRow() const;
    ITreeEntry* SelectedEntry() const;

    // Every row of the tree, shown or not.
    int32_t RowCount() const { return static_cast<int32_t>(QueueRecords(TREEENTRIES)); }
    const EntryRow* Row(int32_t row) const { return QueueGet(TREEENTRIES, row); }

    // The list shows the rows whose ancestors are all expanded: the children of a collapsed node
    // (negative level) are not in it. List rows and rows of TREEENTRIES convert both ways (0 when
    // there is none).
    int32_t ListRowCount() const;
    int32_t EntryOfListRow(int64_t listRow) const;
    int64_t ListRowOfEntry(int32_t row) const;
    ITreeEntry* Root() const { return root_; }
    int TreeControl() const { return TREECONTROL; }

    CIconList ICONLIST;
    Queue<EntryRow> TREEENTRIES;
    int TREECONTROL = 0;

private:
    // Edits the selected row's text over the list; false when cancelled.
    bool EditRowText(std::string& text);
    void Redisplay();

    // The rows of TREEENTRIES the list shows, worked out again after every change of the rows.
    const std::vector<int32_t>& Shown() const;

    ITreeEntry* root_ = nullptr;
    int window_ = 0;
    std::shared_ptr<class TreeListSource> source_;
    mutable std::vector<int32_t> shown_;
    mutable bool shownValid_ = false;
};
