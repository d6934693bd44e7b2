// The working-time plan editor on its real grid: edits by key, cell editor, clipboard and context
// menu, each one undo step that undo and redo take back exactly; swapping by dragging; a clipboard
// from another worksheet; a new shift type typed into a cell; the flex worksheet's locked pane.
#include "EditorTestSupport.h"

#include "core/Frame.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace editortest;

namespace {

using Rows_ = std::vector<std::string>;

class AZPEditorTest : public EditorFixture {
public:
    // Day d of week 1 lies in list column d + 1.
    void Cursor(int day, int row) { driver.ChooseRow(w, AZP_LIST, row, day + 1 + 3 * ((day - 1) / 7)); }
    void Select(int day1, int row1, int day2, int row2)
    {
        OnWindow([&] { azpEditor.Grid()->SetSelection({{day1, row1}, {day2, row2}}); });
    }
    void Key(int key) { driver.Key(w, AZP_LIST, key); }
    // Opens the cell editor with Enter, types the text and completes it.
    void TypeInCell(const std::string& text, int startKey = Key::ENTER)
    {
        Key(startKey);
        const int field = Focus();
        ASSERT_NE(field, AZP_LIST);
        if (startKey == Key::ENTER)
            driver.Type(w, field, text);
        driver.Key(w, field, Key::ENTER);
    }
    // Right click on a cell, then the menu item.
    void Menu(int day, int row, const std::string& item)
    {
        RightClick(AZP_LIST, day + 1, row);
        ASSERT_TRUE(driver.HasPopup());
        driver.ChoosePopup(item);
    }
    std::string MenuText(int day, int row)
    {
        RightClick(AZP_LIST, day + 1, row);
        EXPECT_TRUE(driver.HasPopup());
        std::string text;
        for (const PopupEntry& e : driver.Popup().popup)
            if (!e.separator)
                text += (e.disabled ? "~" : "") + e.text + "|";
        driver.ChoosePopup(0);
        return text;
    }
};

struct EditCase {
    const char* name;
    std::function<void(AZPEditorTest&)> edit;
    Rows_ after;
    int steps;
};

TEST_F(AZPEditorTest, EachEditIsOneUndoStepThatUndoAndRedoTakeBackExactly)
{
    const Rows_ before = {"FFSSN..", "SSNNX..", "NN.FF.."};
    const std::vector<EditCase> cases = {
        {"Entf auf einer Zelle", [](AZPEditorTest& t) { t.Cursor(2, 1); t.Key(Key::DELETE); },
         {"F.SSN..", "SSNNX..", "NN.FF.."}, 1},
        {"Entf auf einer Auswahl", [](AZPEditorTest& t) { t.Cursor(1, 1); t.Select(1, 1, 2, 2); t.Key(Key::DELETE); },
         {"..SSN..", "..NNX..", "NN.FF.."}, 1},
        {"ein Buchstabe wählt den ersten passenden Namen",
         [](AZPEditorTest& t) { t.Cursor(6, 1); t.TypeInCell("", Key::Letter('S')); },
         {"FFSSNS.", "SSNNX..", "NN.FF.."}, 1},
        {"ein Name gilt für die ganze Auswahl",
         [](AZPEditorTest& t) { t.Cursor(6, 1); t.Select(6, 1, 7, 3); t.TypeInCell("nacht"); },
         {"FFSSNNN", "SSNNXNN", "NN.FFNN"}, 1},
        {"ein leerer Name leert die Zelle", [](AZPEditorTest& t) { t.Cursor(1, 3); t.TypeInCell(""); },
         {"FFSSN..", "SSNNX..", ".N.FF.."}, 1},
        {"derselbe Schichttyp ändert nichts", [](AZPEditorTest& t) { t.Cursor(1, 1); t.TypeInCell("Früh"); },
         before, 0},
        {"Ausschneiden und Einfügen im Kontextmenü",
         [](AZPEditorTest& t) {
             t.Cursor(1, 1);
             t.Select(1, 1, 2, 2);
             t.Menu(1, 1, "Ausschneiden");
             t.Cursor(6, 2);
             t.Menu(6, 2, "Einfügen");
         },
         {"..SSN..", "..NNXFF", "NN.FFSS"}, 2},
        {"ein Block in der letzten Zeile wird an Zeilen und Bezugsrahmen abgeschnitten",
         [](AZPEditorTest& t) {
             t.Cursor(1, 1);
             t.Select(1, 1, 4, 2);
             t.Menu(1, 1, "Kopieren");
             t.Cursor(5, 3);
             t.Menu(5, 3, "Einfügen");
         },
         {"FFSSN..", "SSNNX..", "NN.FFFS"}, 1},
    };
    Plan(before);
    Open();
    ISavable& part = sheet.azp.GetSavable();
    for (const EditCase& c : cases) {
        SCOPED_TRACE(c.name);
        OnWindow([&] {
            sheet.azp.SetGroupCount(0);
            Plan(before);
            part.StoreStep();
            azpEditor.Grid()->SetSelection({});
        });
        const int steps = sheet.steps, notices = sheet.azpNotices;
        c.edit(*this);
        EXPECT_EQ(Rows(), c.after);
        EXPECT_EQ(sheet.steps - steps, c.steps);
        EXPECT_EQ(sheet.azpNotices - notices, c.steps);
        if (c.steps == 0)
            continue;
        OnWindow([&] { EXPECT_EQ(part.Undo(c.steps), STORE_DONE); });
        EXPECT_EQ(Rows(), before);
        OnWindow([&] { EXPECT_EQ(part.Redo(c.steps), STORE_DONE); });
        EXPECT_EQ(Rows(), c.after);
    }
}

TEST_F(AZPEditorTest, DraggingInSwapModeExchangesTwoCellsUnlessTheyHoldTheSameShiftType)
{
    Plan({"FFSSN..", "SSNNX.."});
    Open();
    OnWindow([&] { azpEditor.ToggleSwapMode(); });
    EXPECT_TRUE(azpEditor.IsSwapMode());
    Drag(AZP_LIST, 2, 1, 4, 2);   // Monday of group 1 onto Wednesday of group 2
    EXPECT_EQ(Rows(), (Rows_{"NFSSN..", "SSFNX.."}));
    EXPECT_EQ(sheet.steps, 1);
    EXPECT_EQ(sheet.azpNotices, 1);
    Drag(AZP_LIST, 4, 1, 5, 1);   // Spät onto Spät
    EXPECT_EQ(Rows(), (Rows_{"NFSSN..", "SSFNX.."}));
    EXPECT_EQ(sheet.steps, 1);
    // Back in select mode a drag selects and changes nothing.
    OnWindow([&] { azpEditor.ToggleSwapMode(); });
    Drag(AZP_LIST, 2, 1, 3, 2);
    EXPECT_EQ(Rows(), (Rows_{"NFSSN..", "SSFNX.."}));
    OnWindow([&] { EXPECT_TRUE(azpEditor.Grid()->HasSelection()); });
}

TEST_F(AZPEditorTest, AClipboardFromAnotherWorksheetGetsItsUnknownShiftTypesOnPaste)
{
    Plan({"FF.....", "SS....."});
    Open();
    constexpr uint32_t kForeign = 987654321;
    CAZPEditor::Clipboard().ROWS.push_back({kForeign, ids['N']});
    CAZPEditor::Clipboard().WIDTH = 2;
    Cursor(3, 2);
    Menu(3, 2, "Einfügen");
    EXPECT_EQ(Rows(), (Rows_{"FF.....", "SS?N..."}));
    Runtime::HostBaton baton;
    const CSchicht* placeholder = sheet.types.FindBySysId(kForeign);
    ASSERT_NE(placeholder, nullptr);
    EXPECT_EQ(placeholder->BEZEICHNUNG, "unbekannt");
}

TEST_F(AZPEditorTest, ANameOfNoShiftTypeOpensTheFormOnANewOne)
{
    Plan({"FF.....", "SS....."});
    Open();
    std::string offered;
    int response = 2;
    CSchichttypen::SetWindows({}, [&] {
        offered = TMPSCHICHT.GetString("BEZEICHNUNG") + "/" + TMPSCHICHT.GetString("KURZBEZEICHNUNG");
        TMPSCHICHT.SetInt("BEGINN", 8 * 60);
        TMPSCHICHT.SetInt("ENDE", 16 * 60);
        FilePut(TMPSCHICHT);
        return response;
    });
    Cursor(3, 1);
    TypeInCell("Übergabe");
    EXPECT_EQ(offered, "Übergabe/Ü");
    EXPECT_EQ(Rows(), (Rows_{"FF.....", "SS....."}));   // cancelled: nothing changes
    EXPECT_EQ(sheet.steps, 0);

    response = 1;
    Cursor(3, 1);
    TypeInCell("Übergabe");
    Runtime::HostBaton baton;
    const CSchicht* made = sheet.azp.GetCellSchicht(3, 1);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->BEZEICHNUNG, "Übergabe");
    EXPECT_EQ(sheet.types.Count(), 5);
    EXPECT_EQ(sheet.typeNotices, 1);
    EXPECT_EQ(sheet.steps, 1);
}

TEST_F(AZPEditorTest, TheContextMenuFollowsWhatTheEditorAllows)
{
    Plan({"FF.....", "SS....."});
    Open();
    EXPECT_EQ(MenuText(1, 1), "Ausschneiden|Kopieren|~Einfügen|~Neu|Ändern|Löschen|Schichttypen|Anzahl Schichtgruppen|"
                              "aus Schichtbedarf generieren|optimieren|Gütewert berechnen|");
    Menu(1, 1, "Kopieren");
    EXPECT_EQ(sheet.steps, 0);
    EXPECT_EQ(MenuText(1, 1).substr(0, 31), "Ausschneiden|Kopieren|Einfügen");
    Menu(1, 1, "optimieren");
    EXPECT_EQ(sheet.commands, std::vector<std::string>{"OptimizeAZP"});
}

TEST_F(AZPEditorTest, AFlexWorksheetsPaneCannotBeEdited)
{
    sheet.typ = 2;
    Plan({"FF.....", "SS....."});
    Open();
    Cursor(1, 1);
    Key(Key::DELETE);
    Key(Key::ENTER);
    EXPECT_EQ(Focus(), AZP_LIST);
    EXPECT_EQ(Rows(), (Rows_{"FF.....", "SS....."}));
    for (uint8_t action : {STDEDIT_CUT, STDEDIT_COPY, STDEDIT_PASTE, STDEDIT_DELETE, STDEDIT_INSERT})
        EXPECT_FALSE(azpEditor.IsEnabled(action));
    EXPECT_EQ(MenuText(1, 1), "~Ausschneiden|~Kopieren|~Einfügen|~Neu|~Ändern|~Löschen|~Schichttypen|"
                              "Darstellungszeitraum|~aus Schichtbedarf generieren|~optimieren|Gütewert berechnen|"
                              "Ø-WAZ anzeigen|");
}

TEST_F(AZPEditorTest, TabHomeAndEndKeepTheCursorOnTheDays)
{
    Plan({"FFSSN..FFSSN..", "SSNNX..SSNNX.."});
    Open();
    const struct {
        int day, row, key;
        int dayAfter, rowAfter;
    } cases[] = {
        {14, 1, Key::TAB, 1, 2},         // last day: first Monday of the next row
        {14, 2, Key::TAB, 1, 1},         // after the last row: row 1
        {7, 1, Key::TAB, 8, 1},          // over the weekly columns
        {1, 2, Key::SHIFT_TAB, 14, 1},   // first day: last Sunday of the row before
        {8, 1, Key::SHIFT_TAB, 7, 1},
        {9, 2, Key::HOME, 1, 2},
        {3, 1, Key::END, 14, 1},
    };
    for (const auto& c : cases) {
        Cursor(c.day, c.row);
        Key(c.key);
        SpreadsheetCell cursor;
        OnWindow([&] {
            azpEditor.Grid()->SetCursor();
            cursor = azpEditor.Grid()->GetCursor();
        });
        EXPECT_EQ(cursor, (SpreadsheetCell{c.dayAfter, c.rowAfter})) << "day " << c.day << " key " << c.key;
    }
}

} // namespace

namespace {

TEST_F(AZPEditorTest, ADoubleClickOnTheGroupColumnSetsTheGroupCountAsOneStep)
{
    Plan({"FF.....", "SS....."});
    Open();
    Mouse(AZP_LIST, WindowMessage::Kind::DoubleClick, X(AZP_LIST, 1), Y(AZP_LIST, 1));
    const int d = driver.Window("Anzahl Schichtgruppen ändern");
    driver.Type(d, driver.Control(d, "?ANZAHLGRUPPEN"), "4");
    driver.Press(d, "?OK");
    EXPECT_EQ(Rows(), (Rows_{"FF.....", "SS.....", ".......", "......."}));
    EXPECT_EQ(sheet.steps, 1);
    EXPECT_EQ(sheet.azpNotices, 1);
    // A double click on a day edits that cell instead.
    Mouse(AZP_LIST, WindowMessage::Kind::DoubleClick, X(AZP_LIST, 4), Y(AZP_LIST, 3));
    const int field = Focus();
    ASSERT_NE(field, AZP_LIST);
    driver.Type(w, field, "Spät");
    driver.Key(w, field, Key::ENTER);
    EXPECT_EQ(Rows(), (Rows_{"FF.....", "SS.....", "..S....", "......."}));
}

TEST_F(AZPEditorTest, PrintHandsTheGridAndBothTextsToThePrintedPlan)
{
    Plan({"FF....."});
    Open();
    std::string printed;
    CAZPEditor::SetPrintReport([&](CAZPGrid& grid, const std::string& project, const std::string& sheetName) {
        printed = project + "|" + sheetName + "|" + grid.CellText(1, 2);
    });
    OnWindow([&] { azpEditor.Print("plan.prj", "Station 3"); });
    CAZPEditor::SetPrintReport({});
    EXPECT_EQ(printed, "plan.prj|Station 3|F");
}

} // namespace
