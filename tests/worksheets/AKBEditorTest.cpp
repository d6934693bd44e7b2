// The staff demand editor on its real grid and its entry dialog: spans entered per day, across
// weeks and as weekly patterns; the dialog's checks; counts typed in place; "Ändern" only on a
// span; pasting by day; each edit one undo step that undo and redo take back.
#include "EditorTestSupport.h"

#include "core/TimeHelpers.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace editortest;

namespace {

using Spans = std::vector<std::string>;

class AKBEditorTest : public EditorFixture {
public:
    // Every span as "day hh:mm-hh:mm count".
    Spans List()
    {
        Runtime::HostBaton baton;
        Spans out;
        for (long n = 1; n <= sheet.akb.Count(); ++n) {
            const CAKBEintrag* s = sheet.akb.GetByIndex(n);
            out.push_back(std::to_string(s->TERMIN.BEGINN / 1440 + 1) + " " + FormatTimeOfDay(s->TERMIN.BEGINN) + "-" +
                          FormatTimeOfDay(s->TERMIN.ENDE, true) + " " + std::to_string(s->ANZAHL));
        }
        return out;
    }
    void Span(uint32_t day, int from, int to, uint8_t count)
    {
        CAKBEintrag s;
        s.TERMIN = {(day - 1) * 1440 + uint32_t(from * 60), (day - 1) * 1440 + uint32_t(to * 60)};
        s.ANZAHL = count;
        sheet.akb.MergeDemand(s, true);
    }
    // List column of a day's part (1 begin, 2 end, 3 count).
    static int Column(int day, int part) { return (day - 1) / 7 * 30 + (day - 1) % 7 * 4 + part; }
    // Opens the entry dialog with Insert on the day (an empty staff demand has no rows to click).
    int Dialog(int day)
    {
        OnWindow([&] { PropertySet(w, AKB_LIST, Prop::Column, PropValue(Column(day, 1)), 0); });
        driver.Focus(w, AKB_LIST);
        driver.Key(w, AKB_LIST, Key::INSERT);
        return driver.Window("Arbeitskräftebedarf");
    }
    void Fill(int d, int fromDay, int fromWeek, int toDay, int toWeek, const std::string& von, const std::string& bis,
              const std::string& count, bool continuous = false)
    {
        // The weeks first: a weekday chosen after the end (before the begin) moves the other one.
        driver.Type(d, driver.Control(d, "?WOCHEBIS"), std::to_string(toWeek));
        driver.Type(d, driver.Control(d, "?WOCHEVON"), std::to_string(fromWeek));
        driver.ChooseRow(d, driver.Control(d, "?BYTEDROP"), fromDay);
        driver.ChooseRow(d, driver.Control(d, "?BYTEDROP:2"), toDay);
        driver.Type(d, driver.Control(d, "?VON"), von);
        driver.Type(d, driver.Control(d, "?BIS"), bis);
        if (continuous && !driver.Disabled(d, driver.Control(d, "durchgängig")))
            driver.Choose(d, driver.Control(d, "durchgängig"));
        driver.Type(d, driver.Control(d, "?ANZAHL"), count);
    }
    std::string MessageCaption()
    {
        if (!driver.HasMessage())
            return "keine";
        const std::string caption = driver.Message().caption;
        driver.AnswerMessage(BUTTON_OK);
        return caption;
    }
};

struct EntryCase {
    const char* name;
    int fromDay, fromWeek, toDay, toWeek;
    const char* von;
    const char* bis;
    bool continuous;
    Spans spans;
};

TEST_F(AKBEditorTest, TheEntryDialogMergesPerDayContinuousAndWeeklyPatterns)
{
    const std::vector<EntryCase> cases = {
        {"22:00 bis 06:00 des nächsten Tages, durchgängig", 1, 1, 2, 1, "22:00", "06:00", true,
         {"1 22:00-24:00 4", "2 00:00-06:00 4"}},
        {"Montag bis Freitag zweier Wochen, pro Tag", 1, 1, 5, 2, "08:00", "16:00", false,
         {"1 08:00-16:00 4", "2 08:00-16:00 4", "3 08:00-16:00 4", "4 08:00-16:00 4", "5 08:00-16:00 4",
          "8 08:00-16:00 4", "9 08:00-16:00 4", "10 08:00-16:00 4", "11 08:00-16:00 4", "12 08:00-16:00 4"}},
        {"Freitag bis Montag der Folgewoche, durchgängig", 5, 1, 1, 2, "08:00", "16:00", true,
         {"5 08:00-24:00 4", "6 00:00-24:00 4", "7 00:00-24:00 4", "8 00:00-16:00 4"}},
        // Over more than seven days a weekly pattern; its end weekday lies in the week after.
        {"Freitag der 1. bis Montag der 3. Woche, pro Tag", 5, 1, 1, 3, "08:00", "16:00", false,
         {"5 08:00-16:00 4", "6 08:00-16:00 4", "7 08:00-16:00 4", "8 08:00-16:00 4", "12 08:00-16:00 4",
          "13 08:00-16:00 4", "14 08:00-16:00 4", "15 08:00-16:00 4"}},
    };
    Plan({"..................."
          ".."});
    Open();
    for (const EntryCase& c : cases) {
        SCOPED_TRACE(c.name);
        OnWindow([&] {
            sheet.akb.Clear();
            sheet.akb.GetSavable().StoreStep();
        });
        const int steps = sheet.steps;
        const int d = Dialog(1);
        Fill(d, c.fromDay, c.fromWeek, c.toDay, c.toWeek, c.von, c.bis, "4", c.continuous);
        driver.Press(d, "?OK");
        EXPECT_EQ(driver.FindWindow("Arbeitskräftebedarf"), 0);
        EXPECT_EQ(List(), c.spans);
        EXPECT_EQ(sheet.steps - steps, 1);
        OnWindow([&] { EXPECT_EQ(sheet.akb.GetSavable().Undo(1), STORE_DONE); });
        EXPECT_EQ(List(), Spans{});
        OnWindow([&] { EXPECT_EQ(sheet.akb.GetSavable().Redo(1), STORE_DONE); });
        EXPECT_EQ(List(), c.spans);
    }
}

TEST_F(AKBEditorTest, TheEntryDialogRefusesAnEndBeforeItsBeginAndACountAboveAByte)
{
    Plan({"......."});
    Open();
    int d = Dialog(3);
    Fill(d, 3, 1, 3, 1, "16:00", "08:00", "2");
    driver.Press(d, "?OK");
    EXPECT_EQ(MessageCaption(), "unlogische Zeitangabe");
    EXPECT_NE(driver.FindWindow("Arbeitskräftebedarf"), 0);
    Fill(d, 3, 1, 3, 1, "08:00", "16:00", "300");
    driver.Press(d, "?OK");
    EXPECT_EQ(MessageCaption(), "Arbeitskräftebedarf");
    EXPECT_NE(driver.FindWindow("Arbeitskräftebedarf"), 0);
    driver.Press(d, "?Abbrechen");
    EXPECT_EQ(List(), Spans{});
    EXPECT_EQ(sheet.steps, 0);   // a cancelled dialog is no edit
}

TEST_F(AKBEditorTest, TheWeekSpinsReachTheWorksheetsWeeksAndALaterWeekLengthensIt)
{
    Plan({std::string(70, '.')});
    Open();
    int d = Dialog(1);
    EXPECT_EQ(driver.Property(d, driver.Control(d, "?WOCHEBIS"), Prop::RangeHigh, 0).Int(), 10);
    driver.Press(d, "?Abbrechen");
    OnWindow([&] { sheet.SetBezugsrahmen(2, false); });
    d = Dialog(1);
    Fill(d, 1, 3, 1, 3, "08:00", "16:00", "1");
    driver.Press(d, "?OK");
    EXPECT_EQ(sheet.weeks, 3);
    EXPECT_EQ(sheet.akb.GetBezugsrahmen(), 3);
    EXPECT_EQ(List(), Spans{"15 08:00-16:00 1"});
}

TEST_F(AKBEditorTest, ACountTypedInPlaceReplacesOrRemovesTheSpanAndARefusedOneChangesNothing)
{
    Plan({"......."});
    Span(2, 8, 16, 3);
    Open();
    driver.ChooseRow(w, AKB_LIST, 1, Column(2, 3));
    auto typeCount = [&](int key, const std::string& text) {
        driver.Key(w, AKB_LIST, key);
        const int field = Focus();
        ASSERT_NE(field, AKB_LIST);
        EXPECT_EQ(driver.Text(w, field), key == Key::ENTER ? "3" : "5");
        if (key == Key::ENTER)
            driver.Type(w, field, text);
        driver.Key(w, field, Key::ENTER);
        driver.ChooseRow(w, AKB_LIST, 1, Column(2, 3));
    };
    typeCount(Key::ENTER, "300");
    EXPECT_EQ(MessageCaption(), "Arbeitskräftebedarf");
    EXPECT_EQ(List(), Spans{"2 08:00-16:00 3"});
    EXPECT_EQ(sheet.steps, 0);
    typeCount(Key::Digit(5), "");
    EXPECT_EQ(List(), Spans{"2 08:00-16:00 5"});
    EXPECT_EQ(sheet.steps, 1);
    EXPECT_EQ(sheet.akbNotices, 1);
    driver.Key(w, AKB_LIST, Key::ENTER);
    driver.Type(w, Focus(), "0");
    driver.Key(w, Focus(), Key::ENTER);
    EXPECT_EQ(List(), Spans{});
    OnWindow([&] { EXPECT_EQ(sheet.akb.GetSavable().Undo(2), STORE_DONE); });
    EXPECT_EQ(List(), Spans{"2 08:00-16:00 3"});
}

TEST_F(AKBEditorTest, ChangeNeedsASpanUnderTheCursorAndPasteMovesByDays)
{
    Plan({"......."});
    Span(1, 8, 16, 2);
    Open();
    // Monday's time column shows the begin and "- end", its count column the count.
    EXPECT_EQ(driver.Cell(w, AKB_LIST, 1, Column(1, 1)), "08:00");
    EXPECT_EQ(driver.Cell(w, AKB_LIST, 1, Column(1, 2)), "- 16:00");
    EXPECT_EQ(driver.Cell(w, AKB_LIST, 1, Column(1, 3)), "2");
    EXPECT_EQ(driver.Cell(w, AKB_LIST, 1, Column(2, 1)), "");
    auto menu = [&](int day, int part) {
        RightClick(AKB_LIST, Column(day, part), 1);
        std::string text;
        for (const PopupEntry& e : driver.Popup().popup)
            if (!e.separator)
                text += (e.disabled ? "~" : "") + e.text + "|";
        return text;
    };
    // A selection of Monday to Wednesday with the cursor on Wednesday, which has no span.
    OnWindow([&] { akbEditor.Grid()->SetSelection({{1, 1}, {3, 1}}); });
    EXPECT_EQ(menu(3, 1), "Ausschneiden|Kopieren|~Einfügen|Neu|~Ändern|Löschen|aus Schichtbedarf errechnen|");
    driver.ChoosePopup(0);
    menu(1, 1);
    driver.ChoosePopup("Kopieren");
    OnWindow([&] { akbEditor.Grid()->SetSelection({}); });
    menu(4, 1);
    driver.ChoosePopup("Einfügen");
    EXPECT_EQ(List(), (Spans{"1 08:00-16:00 2", "4 08:00-16:00 2"}));
    EXPECT_EQ(sheet.steps, 1);
    // "Ändern" on Thursday's span: the dialog opens on a copy, which replaces it.
    menu(4, 1);
    driver.ChoosePopup("Ändern");
    const int d = driver.Window("Arbeitskräftebedarf");
    driver.Type(d, driver.Control(d, "?VON"), "10:00");
    driver.Press(d, "?OK");
    EXPECT_EQ(List(), (Spans{"1 08:00-16:00 2", "4 10:00-16:00 2"}));
    EXPECT_EQ(sheet.steps, 2);
}

} // namespace

namespace {

TEST_F(AKBEditorTest, TabHomeAndEndMoveByDaysAndStayOnTheDays)
{
    Plan({".............."});
    Span(1, 8, 16, 2);
    Open();
    const struct {
        int column, key, columnAfter;
    } cases[] = {
        {1, Key::TAB, 5},          // one day to the right
        {25, Key::TAB, 31},        // over the week's filler to Monday of week 2
        {31, Key::SHIFT_TAB, 27},  // back onto Sunday's count of week 1
        {3, Key::SHIFT_TAB, 3},    // nothing before Monday
        {39, Key::HOME, 1},
        {5, Key::END, 55},         // the last week's filler: back to its Sunday's begin
    };
    for (const auto& c : cases) {
        driver.ChooseRow(w, AKB_LIST, 1, c.column);
        driver.Key(w, AKB_LIST, c.key);
        EXPECT_EQ(driver.Property(w, AKB_LIST, Prop::Column, 0).Int(), c.columnAfter)
            << "from column " << c.column << " key " << c.key;
    }
}

} // namespace

namespace {

struct SpanEdit {
    const char* name;
    std::function<void(AKBEditorTest&)> edit;
    Spans after;
    int steps;
};

TEST_F(AKBEditorTest, EditsInTheGridAreOneUndoStepEach)
{
    const Spans before = {"1 08:00-16:00 3", "2 08:00-16:00 3", "3 06:00-12:00 1", "4 20:00-24:00 2"};
    auto cell = [&](int day, int part) { driver.ChooseRow(w, AKB_LIST, 1, Column(day, part)); };
    auto typeIn = [&](const std::string& text) {
        driver.Key(w, AKB_LIST, Key::ENTER);
        driver.Type(w, Focus(), text);
        driver.Key(w, Focus(), Key::ENTER);
    };
    const std::vector<SpanEdit> cases = {
        {"Entf löscht die ganze Spanne, nicht nur die Anzahl",
         [&](AKBEditorTest&) { cell(2, 3); driver.Key(w, AKB_LIST, Key::DELETE); },
         {"1 08:00-16:00 3", "3 06:00-12:00 1", "4 20:00-24:00 2"}, 1},
        {"Entf auf einer Auswahl",
         [&](AKBEditorTest&) {
             cell(1, 1);
             OnWindow([&] { akbEditor.Grid()->SetSelection({{1, 1}, {3, 1}}); });
             driver.Key(w, AKB_LIST, Key::DELETE);
         },
         {"4 20:00-24:00 2"}, 1},
        {"ein neuer Beginn", [&](AKBEditorTest&) { cell(1, 1); typeIn("10:00"); },
         {"1 10:00-16:00 3", "2 08:00-16:00 3", "3 06:00-12:00 1", "4 20:00-24:00 2"}, 1},
        {"ein Ende vor dem Beginn läßt eine Minute", [&](AKBEditorTest&) { cell(3, 2); typeIn("05:00"); },
         {"1 08:00-16:00 3", "2 08:00-16:00 3", "3 06:00-06:01 1", "4 20:00-24:00 2"}, 1},
        {"Ausschneiden und am Donnerstag einfügen",
         [&](AKBEditorTest&) {
             cell(1, 1);
             RightClick(AKB_LIST, Column(1, 1), 1);
             driver.ChoosePopup("Ausschneiden");
             RightClick(AKB_LIST, Column(4, 1), 1);
             driver.ChoosePopup("Einfügen");
         },
         {"2 08:00-16:00 3", "3 06:00-12:00 1", "4 08:00-16:00 3", "4 20:00-24:00 2"}, 2},
    };
    Plan({"......."});
    Open();
    ISavable& part = sheet.akb.GetSavable();
    for (const SpanEdit& c : cases) {
        SCOPED_TRACE(c.name);
        OnWindow([&] {
            sheet.akb.Clear();
            Span(1, 8, 16, 3);
            Span(2, 8, 16, 3);
            Span(3, 6, 12, 1);
            Span(4, 20, 24, 2);
            part.StoreStep();
            akbEditor.Grid()->SetSelection({});
        });
        const int steps = sheet.steps;
        c.edit(*this);
        EXPECT_EQ(List(), c.after);
        EXPECT_EQ(sheet.steps - steps, c.steps);
        OnWindow([&] { EXPECT_EQ(part.Undo(c.steps), STORE_DONE); });
        EXPECT_EQ(List(), before);
        OnWindow([&] { EXPECT_EQ(part.Redo(c.steps), STORE_DONE); });
        EXPECT_EQ(List(), c.after);
    }
}

} // namespace
