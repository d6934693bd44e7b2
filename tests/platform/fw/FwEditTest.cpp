#include "platform/fw/FwEdit.h"
#include "platform/headless/HeadlessDriver.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<EditAction> actions;
std::string value = "Früh";
int editField = 0;
bool editFlagWhileOpen = false;

// A list of three rows; the second column of the chosen row is edited in place until the editor
// says Complete or Cancel.
void EditLoop(bool combo)
{
    WindowDesc d;
    d.title = "Raster";
    d.Add(Ctl::List("40L(2)|~Gruppe~@s10@50L(2)|~Schicht~@s20@").At(10, 20, 90, 14 + 3 * 12));
    int w = WindowCreate(d);
    ListSetRows(1, {"1|Früh", "2|Spät", "3|Nacht"});
    WindowOpen(w);
    ControlSelect(1, 2);
    FwEditCombo comboEditor;
    FwEditInPlace plainEditor;
    FwEditInPlace& editor = combo ? comboEditor : plainEditor;
    comboEditor.SetChoices({"Früh", "Nacht", "Spät"});
    editor.Init(1, 2, UseVar(value));
    editField = editor.FEQ;
    editFlagWhileOpen = PropertyGet(1, Prop::Edit, 2).Bool();
    while (WindowAccept(w)) {
        if (EventControl() != editor.FEQ)
            continue;
        EditAction a = editor.TakeEvent(EventCurrent());
        if (a == EditAction::None)
            continue;
        actions.push_back(a);
        if (a == EditAction::Complete || a == EditAction::Cancel)
            break;
    }
    editor.Kill();
    editField = WindowFind(w)->Find(editField) ? editField : 0;
    WindowClose(w);
}

TEST(FwEditTest, TheFieldLiesOverTheCellAndKeysBecomeActions)
{
    HeadlessDriver driver;
    actions.clear();
    value = "Früh";
    driver.Start([] { EditLoop(false); });
    int w = driver.Window("Raster");
    int f = editField;
    ASSERT_NE(f, 0);
    EXPECT_TRUE(editFlagWhileOpen);
    EXPECT_EQ(driver.Property(w, f, Prop::Xpos).Int(), 10 + 40);           // list x + column 2
    EXPECT_EQ(driver.Property(w, f, Prop::Ypos).Int(), 20 + 14 + 1 * 12);  // header + row 2
    EXPECT_EQ(driver.Property(w, f, Prop::Width).Int(), 50);
    EXPECT_EQ(driver.Text(w, f), "Früh");
    driver.Key(w, f, Key::TAB);
    driver.Key(w, f, Key::SHIFT_TAB);
    driver.Key(w, f, Key::DOWN);
    driver.Key(w, f, Key::UP);
    driver.Type(w, f, "Spät");
    driver.Key(w, f, Key::ENTER);
    driver.WaitEnd();
    EXPECT_EQ(actions, (std::vector<EditAction>{EditAction::Forward, EditAction::Backward, EditAction::NextRecord,
                                                EditAction::PreviousRecord, EditAction::Complete}));
    EXPECT_EQ(value, "Spät");
    EXPECT_EQ(editField, 0);   // removed
}

TEST(FwEditTest, TheComboMovesInItsListWithUpAndDown)
{
    HeadlessDriver driver;
    actions.clear();
    value = "Früh";
    driver.Start([] { EditLoop(true); });
    int w = driver.Window("Raster");
    int f = editField;
    EXPECT_EQ(driver.RowCount(w, f), 3);
    driver.Key(w, f, Key::DOWN);
    EXPECT_EQ(driver.Text(w, f), "Nacht");
    driver.Key(w, f, Key::DOWN);
    driver.Key(w, f, Key::DOWN);                // not past the last choice
    EXPECT_EQ(driver.Text(w, f), "Spät");
    driver.Key(w, f, Key::ESC);
    driver.WaitEnd();
    EXPECT_EQ(actions, (std::vector<EditAction>{EditAction::Cancel}));
    EXPECT_EQ(value, "Früh");   // cancelled: the screen text was never taken
}

} // namespace
