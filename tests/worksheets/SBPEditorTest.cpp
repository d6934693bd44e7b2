// The shift demand plan editor on its real grid: typed counts for a cell or a selection, checked
// once before anything is written; clipboard by position; undo and redo of each edit; the cursor
// kept on the days; the rule check of the row's own shift type; the grid's texts.
#include "EditorTestSupport.h"

#include "../assessment/BewertungTestSupport.h"

#include "assessment/SchichttypDialoge.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace editortest;

namespace {

using Rows_ = std::vector<std::string>;

// Rows stand in order of begin: X Frei (0:00), F Früh, S Spät, N Nacht.
class SBPEditorTest : public EditorFixture {
public:
    void Counts(const Rows_& rows)
    {
        for (uint32_t r = 1; r <= rows.size(); ++r)
            for (uint32_t d = 1; d <= rows[r - 1].size(); ++d) {
                const char c = rows[r - 1][d - 1];
                sheet.sbp.SetCount(d, sheet.sbp.GetRowSysId(r), c == '.' ? 0 : uint32_t(c - '0'));
            }
    }
    Rows_ Counts()
    {
        Runtime::HostBaton baton;
        Rows_ out;
        for (int32_t r = 1; r <= sheet.sbp.CountRows(); ++r) {
            std::string row;
            for (uint32_t d = 1; d <= sheet.sbp.CountDays(); ++d) {
                const unsigned n = sheet.sbp.GetCount(d, uint32_t(r));
                row += n == 0 ? '.' : n < 10 ? char('0' + n) : '+';
            }
            out.push_back(row);
        }
        return out;
    }
    // Day d of week 1 lies in list column d + 1.
    void Cursor(int day, int row) { driver.ChooseRow(w, SBP_LIST, row, day + 1); }
    void Select(int day1, int row1, int day2, int row2)
    {
        OnWindow([&] { sbpEditor.Grid()->SetSelection({{day1, row1}, {day2, row2}}); });
    }
    void Key(int key) { driver.Key(w, SBP_LIST, key); }
    // Starts the cell editor with `key`; types the text unless a digit started it; completes.
    void Type(const std::string& text, int key = Key::ENTER)
    {
        Key(key);
        const int field = Focus();
        ASSERT_NE(field, SBP_LIST);
        if (key == Key::ENTER)
            driver.Type(w, field, text);
        driver.Key(w, field, Key::ENTER);
    }
    void Menu(int day, int row, const std::string& item)
    {
        RightClick(SBP_LIST, day + 1, row);
        ASSERT_TRUE(driver.HasPopup());
        driver.ChoosePopup(item);
    }
    // Answers every message and returns their texts.
    std::vector<std::string> Messages()
    {
        std::vector<std::string> texts;
        while (driver.HasMessage()) {
            texts.push_back(driver.Message().caption + ": " + driver.Message().text);
            driver.AnswerMessage(BUTTON_OK);
        }
        return texts;
    }
};

struct EditCase {
    const char* name;
    std::function<void(SBPEditorTest&)> edit;
    Rows_ after;
    int steps;
    int messages;
};

TEST_F(SBPEditorTest, TypedCountsDeleteAndClipboardAreOneUndoStepEachOrRefusedWhole)
{
    const Rows_ before = {"1111111", "2222222", "3333333", "......."};
    const std::vector<EditCase> cases = {
        {"eine Ziffer füllt eine Auswahl von 3 x 4 Zellen",
         [](SBPEditorTest& t) { t.Cursor(1, 1); t.Select(1, 1, 4, 3); t.Type("", Key::Digit(2)); },
         {"2222111", "2222222", "2222333", "......."}, 1, 0},
        {"Entf leert die Zelle", [](SBPEditorTest& t) { t.Cursor(3, 2); t.Key(Key::DELETE); },
         {"1111111", "22.2222", "3333333", "......."}, 1, 0},
        {"eine Zahl über die Tastatur", [](SBPEditorTest& t) { t.Cursor(7, 4); t.Type("9"); },
         {"1111111", "2222222", "3333333", "......9"}, 1, 0},
        {"Buchstaben werden abgewiesen",
         [](SBPEditorTest& t) { t.Cursor(1, 1); t.Select(1, 1, 7, 4); t.Type("zwei"); }, {"1111111", "2222222", "3333333", "......."}, 0, 1},
        {"über 255 wird abgewiesen",
         [](SBPEditorTest& t) { t.Cursor(1, 1); t.Select(1, 1, 7, 4); t.Type("300"); }, {"1111111", "2222222", "3333333", "......."}, 0, 1},
        {"ein Vorzeichen wird abgewiesen", [](SBPEditorTest& t) { t.Cursor(1, 1); t.Type("-1"); },
         {"1111111", "2222222", "3333333", "......."}, 0, 1},
        {"zwei Zeilen über drei Tage nach Lage eingefügt, die Zeile hinter dem Plan entfällt",
         [](SBPEditorTest& t) {
             t.Cursor(1, 2);
             t.Select(1, 2, 3, 3);
             t.Menu(1, 2, "Kopieren");
             t.Cursor(5, 4);
             t.Menu(5, 4, "Einfügen");
         },
         {"1111111", "2222222", "3333333", "....222"}, 1, 0},
    };
    Plan({"......."});
    Open();
    ISavable& part = sheet.sbp.GetSavable();
    for (const EditCase& c : cases) {
        SCOPED_TRACE(c.name);
        OnWindow([&] {
            Counts(before);
            part.StoreStep();
            sbpEditor.Grid()->SetSelection({});
        });
        const int steps = sheet.steps;
        c.edit(*this);
        EXPECT_EQ(int(Messages().size()), c.messages);
        EXPECT_EQ(Counts(), c.after);
        EXPECT_EQ(sheet.steps - steps, c.steps);
        if (c.steps == 0)
            continue;
        OnWindow([&] { EXPECT_EQ(part.Undo(c.steps), STORE_DONE); });
        EXPECT_EQ(Counts(), before);
        OnWindow([&] { EXPECT_EQ(part.Redo(c.steps), STORE_DONE); });
        EXPECT_EQ(Counts(), c.after);
    }
}

TEST_F(SBPEditorTest, EndAndTabStopAtTheLastDay)
{
    Plan({"..............", ".............."});
    Open();
    const struct {
        int day, key, after;
    } cases[] = {
        {3, Key::END, 14}, {14, Key::TAB, 14}, {7, Key::TAB, 8}, {8, Key::SHIFT_TAB, 7}, {9, Key::HOME, 1},
    };
    for (const auto& c : cases) {
        Cursor(c.day + (c.day > 7 ? 1 : 0), 1);
        Key(c.key);
        int32_t day = 0;
        OnWindow([&] { day = sbpEditor.Grid()->CurrentColumn(); });
        EXPECT_EQ(day, c.after) << "from day " << c.day << " key " << c.key;
        EXPECT_TRUE(driver.Property(w, SBP_LIST, Prop::ColumnExists, int(driver.Property(w, SBP_LIST, Prop::Column, 0).Int())).Bool());
    }
}

// Flags one shift type only.
class OneShiftCriterion : public bewertungtest::StubKriterium {
public:
    OneShiftCriterion() : StubKriterium(5, 1, false, true) {}
    uint32_t Check(const CSchicht& shift, uint8_t, std::string& text, std::size_t) override
    {
        if (shift.SYSID != flagged)
            return 0;
        text = "zu lang";
        return 1;
    }
    uint32_t flagged = 0;
};

TEST_F(SBPEditorTest, TheRuleCheckTakesTheRowsOwnShiftType)
{
    bewertungtest::EmptyKri kri;
    struct Unpublish {
        ~Unpublish() { GlobalSchichtChecker = nullptr; }
    } unpublish;
    OneShiftCriterion criterion;
    criterion.flagged = ids['S'];
    sheet.checker.Add(&criterion);
    // A shift type that begins earliest but has no row yet: the rows no longer stand where the
    // shift types do.
    CSchicht early = Shift("E", 0, 4 * 60);
    early.BEZEICHNUNG = "Eröffnung";
    Add(sheet.types, early);
    Plan({"......."});
    Open();
    // Without a published checker the item is off.
    RightClick(SBP_LIST, 2, 3);
    bool disabled = false;
    for (const PopupEntry& e : driver.Popup().popup)
        if (e.text == "Bewertungsinfo")
            disabled = e.disabled;
    EXPECT_TRUE(disabled);
    driver.ChoosePopup(0);
    GlobalSchichtChecker = &sheet.checker;
    Menu(1, 3, "Bewertungsinfo");   // row 3 is Spät
    ASSERT_TRUE(driver.HasMessage());
    EXPECT_EQ(driver.Message().caption, "Schicht ist nicht erlaubt");
    EXPECT_EQ(driver.Message().text.rfind("Dieser Schichttyp verstößt in folgenden Punkten", 0), 0u);
    driver.AnswerMessage(BUTTON_OK);
    Menu(1, 2, "Bewertungsinfo");   // Früh
    ASSERT_TRUE(driver.HasMessage());
    EXPECT_EQ(driver.Message().caption, "Schicht ist in Ordnung");
    driver.AnswerMessage(BUTTON_OK);
}

TEST_F(SBPEditorTest, CellsShowGroupsAndPersonsTheNameColumnItsShiftType)
{
    sheet.strength = 3;
    sheet.sbp.SetSchichtgruppenstaerke(3);
    Plan({"......."});
    Counts({"2......"});
    Open();
    EXPECT_EQ(driver.Cell(w, SBP_LIST, 1, 2), "2 (6)");
    // A double click on the name column opens the shift types.
    Mouse(SBP_LIST, WindowMessage::Kind::DoubleClick, X(SBP_LIST, 1), Y(SBP_LIST, 2));
    EXPECT_EQ(sheet.commands, std::vector<std::string>{"Schichttypen"});
    EXPECT_EQ(driver.Cell(w, SBP_LIST, 1, 3), "");
    EXPECT_EQ(driver.Cell(w, SBP_LIST, 2, 1), "Früh");
    OnWindow([&] { sbpEditor.SetDarstellung(2); });
    EXPECT_EQ(driver.Cell(w, SBP_LIST, 2, 1), "F");
    Runtime::HostBaton baton;
    EXPECT_EQ(sbpEditor.Grid()->ListCallback(2, 2), "Früh (F)\r\n06:00-14:00\r\nSchichtzeit: 08:00");
}

} // namespace
