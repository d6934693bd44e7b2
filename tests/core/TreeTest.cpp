// The tree control: icons, the requests that keys and mouse actions stand for, rows and their
// levels, and the notes node's row text.
#include "core/Tree.h"

#include <gtest/gtest.h>

#include "core/KommentarManager.h"
#include "platform/headless/HeadlessDriver.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"

namespace {

TEST(IconList, TheSameNameInAnyCaseIsStoredOnce)
{
    CIconList icons;
    icons.Init();
    EXPECT_EQ(icons.GetIndex("~projekt.ico"), 1);
    EXPECT_EQ(icons.GetIndex("~mini_info.ico"), 2);
    EXPECT_EQ(icons.GetIndex("~PROJEKT.ICO  "), 1);
    EXPECT_EQ(icons.GetIndex("~Mini_Info.Ico"), 2);
    EXPECT_EQ(icons.Count(), 2);
    EXPECT_EQ(icons.NameAt(1), "~PROJEKT.ICO");
}

std::string Repeat(const std::string& s, int n)
{
    std::string r;
    for (int i = 0; i < n; ++i) r += s;
    return r;
}

struct NoteCase {
    std::string kommentar;
    std::string arbeitsplatz;
    std::string text;
};

TEST(KommentarText, EmptyWorkplaceShortenedOrWhole)
{
    const std::string n29(29, 'n');
    const std::string n45(45, 'n');
    const NoteCase cases[] = {
        {"", "", "Notizen (leer)"},
        {"   ", "  ", "Notizen (leer)"},
        {"", "Leitstelle Nord", "Leitstelle Nord"},
        {"kurz", "Leitstelle", "kurz"},
        {n29, "", n29},                                       // shorter than 30: whole
        {n45, "", std::string(40, 'n') + "..."},              // 30 or more: 40 and "..."
        {"Zeile eins\r\nZeile zwei", "", "Zeile eins Zeile zwei"},
        {"Zeile eins\nZeile zwei", "", "Zeile eins Zeile zwei"},    // as the text field types it
        {Repeat("ä", 29), "", Repeat("ä", 29)},                             // 29 characters in 58 bytes: whole
        {Repeat("ä", 45), "", Repeat("ä", 40) + "..."},                     // characters, not bytes
    };
    for (const auto& c : cases) {
        KommentarInfo info;
        info.KOMMENTAR = c.kommentar;
        info.BEZEICHNUNGARBEITSPLATZ = c.arbeitsplatz;
        EXPECT_EQ(CKommentarManager::TextFor(info), c.text) << c.kommentar;
    }
}

// A node with children, for the tree's own tests.
class Node : public ITreeEntry {
public:
    explicit Node(std::string text, std::vector<Node*> children = {}, std::vector<int> accepts = {})
        : text_(std::move(text)), children_(std::move(children)), accepts_(std::move(accepts)) {}
    std::string GetIcon() override { return "~mini_tabelle.ico"; }
    std::string GetText() override { return text_; }
    bool IsExpanded() override { return behaviour.EXPANDED != 0; }
    bool ForceReset() override { return forceReset; }
    int32_t CountEntries() override { return 1; }
    void RefreshTree(int level, CTree& tree) override {
        tree.AddEntry(*this, level, text_, GetIcon());
        for (Node* c : children_) c->RefreshTree(level + 1, tree);
    }
    bool AcceptsRequest(int r) override { return std::find(accepts_.begin(), accepts_.end(), r) != accepts_.end(); }
    uint8_t TakeRequest(int r, const std::string&) override {
        taken.push_back(r);
        behaviour.TakeRequest(r);
        return 0;
    }
    void Rename(std::string t) { text_ = std::move(t); }
    CTreeStdBehaviour behaviour;
    bool forceReset = false;
    std::vector<int> taken;

private:
    std::string text_;
    std::vector<Node*> children_;
    std::vector<int> accepts_;
};

const std::vector<int> kAll = {1, 2, 3, 4, 6, 8, 9, 10};

// A window with one tree list on thread 1; every list event's request is noted and handled.
struct TreeWindow {
    static inline CTree* tree = nullptr;
    static inline std::vector<int> requests;
    static void Main() {
        WindowDesc d;
        d.title = "Baum";
        d.Add(Ctl::List("181L(1)|MIT(1)S(200)@s100@").At(0, 0, 200, 200));
        int w = WindowCreate(d);
        WindowOpen(w);
        tree->Init(1);
        tree->Refresh();
        ControlSelect(1, 1);
        while (WindowAccept(w)) {
            if (EventControl() != 1 || IsWindowEvent(EventCurrent())) continue;
            int r = tree->GetRequest(EventCurrent());
            if (r) requests.push_back(r);
            if (tree->OnEvent(EventCurrent()) != 0) EventSkipDefault();
        }
        WindowClose(w);
    }
};

class TreeControl : public ::testing::Test {
protected:
    void SetUp() override {
        TreeWindow::tree = &tree;
        TreeWindow::requests.clear();
        tree.Refresh(&root);
        driver.Start(TreeWindow::Main);
        w = driver.Window("Baum");
    }
    void TearDown() override {
        driver.Close(w);
        driver.WaitEnd();
    }
    Node leaf{"Blatt", {}, kAll};
    Node root{"Wurzel", {&leaf}, {8, 9}};
    CTree tree;
    HeadlessDriver driver;
    int w = 0;
};

TEST_F(TreeControl, KeysAndMouseActionsBecomeRequests)
{
    struct KeyCase {
        int key;
        int request;   // 0: none
    };
    const KeyCase cases[] = {
        {Key::ENTER, 3}, {Key::MOUSE_LEFT2, 3}, {Key::F2, 6}, {Key::CTRL_D, 1}, {Key::DELETE, 4},
        {Key::INSERT, 2}, {Key::SPACE, 10}, {Key::LEFT, 8}, {Key::KEYPAD_MINUS, 8}, {Key::RIGHT, 9},
        {Key::KEYPAD_PLUS, 9}, {Key::SHIFT | Key::UP, 0}, {Key::SHIFT | Key::DOWN, 0}, {Key::MOUSE_RIGHT, 0},
    };
    for (const auto& c : cases) {
        if (c.key == Key::F2) continue;   // rename opens an editor; its own test
        TreeWindow::requests.clear();
        driver.ChooseRow(w, 1, 1);
        driver.Key(w, 1, c.key);
        std::vector<int> expected;
        if (c.request) expected.push_back(c.request);
        EXPECT_EQ(TreeWindow::requests, expected) << std::hex << c.key;
    }
}

TEST_F(TreeControl, RequestsGoToTheSelectedNodeWhenItAcceptsThem)
{
    driver.ChooseRow(w, 1, 1);
    driver.Key(w, 1, Key::DELETE);   // the root takes only collapse and expand
    EXPECT_TRUE(root.taken.empty());
    driver.Key(w, 1, Key::RIGHT);
    EXPECT_EQ(root.taken, std::vector<int>{9});
    EXPECT_EQ(tree.Row(1)->LEVEL, 1);
    driver.ChooseRow(w, 1, 2);
    driver.Key(w, 1, Key::ENTER);
    EXPECT_EQ(leaf.taken, std::vector<int>{3});
    // The row text follows the node after a request.
    leaf.Rename("Umbenannt");
    driver.Key(w, 1, Key::ENTER);
    EXPECT_EQ(driver.Cell(w, 1, 2, 1), "Umbenannt");
}

TEST_F(TreeControl, ExpandedEventSelectsItsRowAndTheListFollows)
{
    EXPECT_EQ(driver.RowCount(w, 1), 1);   // the root starts collapsed: its child is not shown
    driver.Expand(w, 1, 1, true);
    EXPECT_EQ(root.taken, std::vector<int>{9});
    EXPECT_EQ(driver.RowCount(w, 1), 2);
    driver.ChooseRow(w, 1, 2);
    driver.Expand(w, 1, 1, false);
    EXPECT_EQ(driver.Property(w, 1, Prop::Selected).Int(), 1);
    EXPECT_EQ(root.taken, (std::vector<int>{9, 8}));
    EXPECT_EQ(tree.Row(1)->LEVEL, -1);
    EXPECT_EQ(driver.RowCount(w, 1), 1);
}

TEST(TreeShownRows, ACollapsedNodeHidesWhatLiesBelowIt)
{
    Node x{"x"}, y{"y"}, last{"Letzte"};
    Node group{"Gruppe", {&x, &y}, {8, 9}};
    Node root{"Wurzel", {&group, &last}, {8, 9}};
    auto shown = [](const CTree& t) {
        std::vector<std::string> rows;
        for (int32_t r = 1; r <= t.ListRowCount(); ++r)
            rows.push_back(t.Row(t.EntryOfListRow(r))->SCREENTEXT);
        return rows;
    };
    struct Case {
        bool rootOpen, groupOpen;
        std::vector<std::string> rows;
    };
    const Case cases[] = {
        {false, false, {"Wurzel"}},                                // a new node starts collapsed
        {false, true, {"Wurzel"}},                                 // an open node under a closed one
        {true, false, {"Wurzel", "Gruppe", "Letzte"}},
        {true, true, {"Wurzel", "Gruppe", "x", "y", "Letzte"}},
    };
    for (const Case& c : cases) {
        root.behaviour.EXPANDED = c.rootOpen;
        group.behaviour.EXPANDED = c.groupOpen;
        CTree tree;
        tree.Refresh(&root);
        EXPECT_EQ(tree.RowCount(), 5);   // every node keeps its row
        EXPECT_EQ(shown(tree), c.rows) << c.rootOpen << c.groupOpen;
        // List rows and rows of the tree convert both ways.
        for (int32_t r = 1; r <= tree.ListRowCount(); ++r)
            EXPECT_EQ(tree.ListRowOfEntry(tree.EntryOfListRow(r)), r);
    }
    root.behaviour.EXPANDED = 1;
    group.behaviour.EXPANDED = 0;
    CTree tree;
    tree.Refresh(&root);
    EXPECT_EQ(tree.EntryOfListRow(3), 5);   // "Letzte" below the closed group
    EXPECT_EQ(tree.ListRowOfEntry(3), 0);   // "x" is not shown
}

TEST_F(TreeControl, NodeAskingForAResetRebuildsTheTree)
{
    Node added{"Neu", {}, kAll};
    leaf.forceReset = true;
    driver.Key(w, 1, Key::RIGHT);   // the root opens: its children show
    driver.ChooseRow(w, 1, 2);
    // The node changes the structure behind the tree's back, then asks for the rebuild.
    root = Node{"Wurzel", {&leaf, &added}, {8, 9}};
    root.behaviour.EXPANDED = 1;
    driver.Key(w, 1, Key::ENTER);
    EXPECT_EQ(driver.RowCount(w, 1), 3);
    EXPECT_EQ(driver.Cell(w, 1, 3, 1), "Neu");
}

TEST(TreeRoots, TwoTreesKeepTheirOwnRoot)
{
    Node a{"A"}, b{"B"};
    CTree first, second;
    first.Refresh(&a);
    second.Refresh(&b);
    first.Refresh();
    second.Refresh();
    EXPECT_EQ(first.Row(1)->SCREENTEXT, "A");
    EXPECT_EQ(second.Row(1)->SCREENTEXT, "B");
    CTree none;
    none.Refresh();   // never given a root: nothing happens
    EXPECT_EQ(none.RowCount(), 0);
}

} // namespace
