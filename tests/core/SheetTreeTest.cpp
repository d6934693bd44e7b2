// The tree list that stands in for a sheet's tab row: rows follow the tabs' texts and states,
// choosing a row selects its tab and skips the root and grey rows, icons are shared by name.
#include "core/SheetTree.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/headless/HeadlessDriver.h"
#include "platform/ui/Events.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"

namespace {

enum { SHEET = 1, TAB1, TAB2, TAB3, LIST, DISABLE2, DISABLE3, RENAME, DISABLEALL, LONGNAME };

// 39 letters, then an umlaut as the 40th character and more behind it.
const std::string kLongName = std::string(39, 'x') + "\xC3\xA4" + "yz";

// A sheet of three tabs with the tree beside it; the buttons change the tabs and refresh.
class SheetTreeWindow : public FwWindow {
public:
    SheetTreeWindow() : FwWindow("SheetTreeTest") { KeepNoGeometry(); }

    int Setup() override
    {
        int level = FwWindow::Setup();
        WindowDesc d;
        d.name = "SheetTreeTest";
        d.title = "Baum";
        d.w = 300;
        d.h = 200;
        d.Add(Ctl::Sheet().Id(SHEET).At(100, 4, 190, 150)
                  .Add(Ctl::Tab("Item 1").Id(TAB1))
                  .Add(Ctl::Tab("Item 2").Id(TAB2))
                  .Add(Ctl::Tab("Item 3").Id(TAB3)));
        d.Add(Ctl::List("90L(2)|M*IT(1)@s40@").Id(LIST).At(4, 4, 90, 150));
        d.Add(Ctl::Button("aus 2").Id(DISABLE2).Name("?Aus2").At(4, 170, 40, 14));
        d.Add(Ctl::Button("aus 3").Id(DISABLE3).Name("?Aus3").At(50, 170, 40, 14));
        d.Add(Ctl::Button("umbenennen").Id(RENAME).Name("?Umbenennen").At(100, 170, 40, 14));
        d.Add(Ctl::Button("alle aus").Id(DISABLEALL).Name("?AlleAus").At(150, 170, 40, 14));
        d.Add(Ctl::Button("lang").Id(LONGNAME).Name("?Lang").At(200, 170, 40, 14));
        CreateWindow(d);
        OpenWindow();
        tree.Init(LIST, SHEET);
        tree.AddRoot("körperlich", "~mini_belastung.ico");
        tree.AddTab(TAB1, "~checked.ico", false, 0, true);
        tree.AddTab(TAB2, "~unchecked.ico", false, 0, true);
        tree.AddTab(TAB3, "~CHECKED.ico ", false, 0, true);
        AddComponent(tree);
        Refresh(true);
        return level;
    }

    int OnAccepted() override
    {
        switch (EventAccepted()) {
        case DISABLE2: ControlDisable(TAB2); break;
        case DISABLE3: ControlDisable(TAB3); break;
        case RENAME: PropertySet(TAB1, Prop::Text, "Heben"); break;
        case DISABLEALL: ControlDisable(TAB1, TAB3); break;
        case LONGNAME: PropertySet(TAB1, Prop::Text, kLongName); break;
        default: return FwWindow::OnAccepted();
        }
        Refresh(true);
        return LEVEL_BENIGN;
    }

    int OnNewSelection() override
    {
        if (EventControl() == SHEET)
            ++sheetSelections;
        return LEVEL_BENIGN;
    }

    CSheetTree tree;
    int sheetSelections = 0;
};

class SheetTreeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        driver.Start([this] { window.RunWindow(); });
        w = driver.Window("Baum");
    }
    void TearDown() override
    {
        driver.Close(w);
        driver.WaitEnd();
    }
    int64_t ListRow() { return driver.Property(w, LIST, Prop::Selected).Int(); }
    int64_t SheetTab() { return driver.Property(w, SHEET, Prop::Selected).Int(); }

    HeadlessDriver driver;
    SheetTreeWindow window;
    int w = 0;
};

TEST_F(SheetTreeTest, RowsStandForTheTabsAndShareIconsByName)
{
    EXPECT_TRUE(driver.Property(w, SHEET, Prop::Wizard).Bool());
    EXPECT_TRUE(driver.Property(w, LIST, Prop::TreeRootLines).Bool());
    ASSERT_EQ(driver.RowCount(w, LIST), 4);
    const auto& rows = window.tree.Rows();
    EXPECT_EQ(rows[0].TABTEXT, "körperlich");
    EXPECT_EQ(rows[0].LEVEL, 0);
    EXPECT_EQ(rows[1].TABTEXT, "Item 1");
    EXPECT_EQ(rows[3].TABORDINAL, 3);
    // root, checked, unchecked; the third tab's name differs only in case and blanks
    EXPECT_EQ(rows[0].ICON, 1);
    EXPECT_EQ(rows[1].ICON, 2);
    EXPECT_EQ(rows[2].ICON, 3);
    EXPECT_EQ(rows[3].ICON, 2);
    EXPECT_EQ(driver.Property(w, LIST, Prop::IconList, 2).Str(), "~CHECKED.ICO");
    EXPECT_FALSE(driver.Property(w, LIST, Prop::IconList, 4).IsText());
    // the open tab's row is selected
    EXPECT_EQ(ListRow(), 2);
}

TEST_F(SheetTreeTest, ChoosingARowSelectsItsTab)
{
    struct Case {
        const char* disable;   // button pressed before, or nullptr
        int64_t chosenRow;
        int64_t listRow;       // where the selection ends
        int64_t tab;
    };
    const Case cases[] = {
        {nullptr, 4, 4, 3},
        {nullptr, 1, 2, 1},          // the root row stands for the first tab
        {"?Aus2", 3, 4, 3},          // a grey row passes on to the next tab
        {"?Aus3", 4, 2, 1},          // after the last row back to the first tab
    };
    for (const auto& c : cases) {
        if (c.disable)
            driver.Press(w, c.disable);
        driver.ChooseRow(w, LIST, c.chosenRow);
        EXPECT_EQ(ListRow(), c.listRow) << c.chosenRow;
        EXPECT_EQ(SheetTab(), c.tab) << c.chosenRow;
    }
    EXPECT_EQ(window.tree.Rows()[2].FORECOLOR, CSheetTree::GREY);
    EXPECT_EQ(window.tree.Rows()[1].FORECOLOR, -1);
}

TEST_F(SheetTreeTest, ChangingTheTabTellsTheWindowAsIfTheTabWasClicked)
{
    driver.ChooseRow(w, LIST, 3);
    EXPECT_EQ(SheetTab(), 2);
    EXPECT_EQ(window.sheetSelections, 1);
    driver.ChooseRow(w, LIST, 3);   // the same tab again: nothing new
    EXPECT_EQ(window.sheetSelections, 1);
}

TEST_F(SheetTreeTest, RenamedTabShowsAfterTheNextRefresh)
{
    driver.Press(w, "?Umbenennen");
    EXPECT_EQ(driver.Cell(w, LIST, 2, 1), "Heben");
    // A long text is cut to 40 characters, never inside one.
    driver.Press(w, "?Lang");
    EXPECT_EQ(driver.Cell(w, LIST, 2, 1), kLongName.substr(0, 41));
}

TEST_F(SheetTreeTest, EveryTabOffLeavesTheSheetAsItIs)
{
    driver.Press(w, "?AlleAus");
    driver.ChooseRow(w, LIST, 1);
    EXPECT_EQ(SheetTab(), 1);
    EXPECT_EQ(window.sheetSelections, 0);
}

} // namespace
