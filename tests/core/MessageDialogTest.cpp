#include "core/IniFile.h"
#include "core/MessageDialog.h"
#include "platform/headless/HeadlessDriver.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class MessageDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("msgdlg_" + std::to_string(::getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
        GlobalIni.Setup((dir_ / "varn4.ini").string());
        InstallMessageDialog(true);
    }
    void TearDown() override
    {
        InstallMessageDialog(false);
        GlobalIni.Teardown();
        fs::remove_all(dir_);
    }

    // Shows the message on thread 1 and returns its window (0 when none opened).
    int Ask(const MessageRequest& r)
    {
        request_ = r;
        answer_ = -1;
        driver.Start([] { answer_ = MessageShow(request_); });
        return driver.FindWindow(r.caption.empty() ? "Mitteilungstext" : r.caption);
    }
    int Answer()
    {
        driver.WaitEnd();
        return answer_;
    }
    // The captions of the buttons shown, left to right, and the one with the focus.
    std::vector<std::string> Captions(int w)
    {
        std::vector<std::string> out;
        for (int c = 6; c <= 13; ++c)
            if (!driver.Hidden(w, c))
                out.push_back(driver.Text(w, c));
        return out;
    }
    std::string Focused(int w)
    {
        int f = static_cast<int>(driver.Property(w, 0, Prop::Focus).Int());
        return f >= 6 ? driver.Text(w, f) : std::string();
    }

    HeadlessDriver driver;
    fs::path dir_;
    static inline MessageRequest request_;
    static inline int answer_ = -1;
};

TEST_F(MessageDialogTest, ButtonsFocusAndAnswers)
{
    struct Case {
        unsigned bits;
        const char* texts;
        int defaultButton;
        std::vector<std::string> captions;
        const char* focused;
        int press;          // position from 1 among the buttons shown
        int answer;
    };
    const std::vector<Case> cases = {
        {0, "", 0, {"&OK"}, "&OK", 1, 1},
        {BUTTON_YES | BUTTON_NO, "", BUTTON_NO, {"&Ja", "&Nein"}, "&Nein", 1, 2},
        {BUTTON_YES | BUTTON_NO | BUTTON_CANCEL, "", BUTTON_CANCEL, {"&Ja", "&Nein", "&Abbrechen"}, "&Abbrechen", 3, 64},
        {0, "Fortfahren|Abbrechen", 0, {"Fortfahren", "Abbrechen"}, "", 2, 2},
        // A single button is the default even when the caller named none.
        {BUTTON_OK, "", 0, {"&OK"}, "&OK", 1, 1},
        {0, "eins||drei", 1, {"eins"}, "eins", 1, 1},
        {0, "1|2|3|4|5|6|7|8|9", 8, {"1", "2", "3", "4", "5", "6", "7", "8"}, "8", 5, 5},
        {255, "", 16, {"&OK", "&Ja", "&Nein", "&Abbrechen", "&Wiederholen", "&Ignorieren", "&Abbrechen", "&Hilfe"},
         "&Wiederholen", 4, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.bits) + " " + c.texts);
        MessageRequest r;
        r.text = "Frage";
        r.buttonBits = c.bits;
        r.buttonTexts = c.texts;
        r.defaultButton = c.defaultButton;
        int w = Ask(r);
        ASSERT_NE(w, 0);
        EXPECT_EQ(Captions(w), c.captions);
        EXPECT_EQ(Focused(w), c.focused);
        driver.Press(w, 5 + c.press);
        EXPECT_EQ(Answer(), c.answer);
    }
}

TEST_F(MessageDialogTest, ArrowKeysMoveTheFocusEscapeCancelsOnlyWithTheCancelButton)
{
    MessageRequest r;
    r.text = "Speichern?";
    r.buttonBits = BUTTON_YES | BUTTON_NO;
    r.defaultButton = BUTTON_NO;
    int w = Ask(r);
    driver.Key(w, 0, Key::LEFT);
    EXPECT_EQ(Focused(w), "&Ja");
    driver.Key(w, 0, Key::LEFT);
    EXPECT_EQ(Focused(w), "&Ja");       // not past the first
    driver.Key(w, 0, Key::RIGHT);
    driver.Key(w, 0, Key::RIGHT);
    EXPECT_EQ(Focused(w), "&Nein");     // not past the last
    driver.Key(w, 0, Key::ESC);         // no bit-64 button: nothing
    EXPECT_NE(driver.FindWindow("Mitteilungstext"), 0);
    driver.Close(w);
    EXPECT_EQ(Answer(), 64);

    r.buttonBits = BUTTON_OK | BUTTON_CANCEL;
    w = Ask(r);
    driver.Key(w, 0, Key::ESC);
    EXPECT_EQ(Answer(), 64);
}

TEST_F(MessageDialogTest, LinesCaptionAndIcon)
{
    MessageRequest r;
    r.text = "erste Zeile|zweite\r\ndritte\rvierte";
    r.caption = "Titel";
    r.icon = MessageIcon::Exclamation;
    int w = Ask(r);
    ASSERT_NE(w, 0);
    EXPECT_EQ(driver.Text(w, 2), "erste Zeile\nzweite\ndritte\nvierte");
    EXPECT_EQ(driver.Property(w, 2, Prop::Height).Int(), 4 * TextLineHeight());
    // The narrowest box that keeps four lines is as wide as the longest line.
    EXPECT_EQ(driver.Property(w, 2, Prop::Width).Int(), TextWidth("erste Zeile"));
    EXPECT_EQ(driver.Property(w, 4, Prop::Icon).Str(), "~warning.ico");
    EXPECT_FALSE(driver.Hidden(w, 4));
    EXPECT_TRUE(driver.Hidden(w, 3));   // no remembering without style 1
    driver.Press(w, 6);
    EXPECT_EQ(Answer(), 1);

    const std::pair<MessageIcon, const char*> icons[] = {
        {MessageIcon::Hand, "~critical.ico"}, {MessageIcon::Question, "~help.ico"},
        {MessageIcon::Asterisk, "~information.ico"}, {MessageIcon::Application, "~application.ico"},
        {MessageIcon::Folders, "~folders.ico"}};
    for (auto [icon, image] : icons) {
        MessageRequest q;
        q.text = "x";
        q.icon = icon;
        int v = Ask(q);
        EXPECT_EQ(driver.Property(v, 4, Prop::Icon).Str(), image);
        driver.Press(v, 6);
        Answer();
    }
    MessageRequest none;
    none.text = "ohne Bild";
    int v = Ask(none);
    EXPECT_TRUE(driver.Hidden(v, 4));
    // The text takes the symbol's place: no empty strip beside it.
    EXPECT_EQ(driver.Property(v, 2, Prop::Xpos).Int(), driver.Property(v, 4, Prop::Xpos).Int());
    driver.Press(v, 6);
    Answer();
}

TEST_F(MessageDialogTest, ALongTextIsWrappedIntoTheNarrowestBoxOfTheSameLineCount)
{
    MessageRequest r;
    // 100 characters in words of four: two lines in a box of 400 units at 5 units a character.
    std::string text;
    for (int i = 0; i < 20; ++i)
        text += (i ? " " : "") + std::string("abcd");
    r.text = text;
    int w = Ask(r);
    EXPECT_EQ(driver.Property(w, 2, Prop::Height).Int(), 2 * TextLineHeight());
    // Ten words fit a line of 49 characters: 245 units; one unit less needs a third line.
    EXPECT_EQ(driver.Property(w, 2, Prop::Width).Int(), 245);
    driver.Press(w, 6);
    Answer();
}

TEST_F(MessageDialogTest, ARememberedAnswerIsTheButtonPressedAndSkipsTheMessage)
{
    MessageRequest r;
    r.text = "Werte überschreiben?";
    r.buttonBits = BUTTON_YES | BUTTON_NO;
    r.defaultButton = BUTTON_NO;
    r.style = 1;
    int w = Ask(r);
    EXPECT_FALSE(driver.Hidden(w, 3));
    driver.Check(w, 3, true);
    driver.Press(w, driver.Control(w, "&Ja"));
    EXPECT_EQ(Answer(), BUTTON_YES);
    long id = MessageTextId(r.text);
    EXPECT_EQ(GlobalIni.ReadValue("Preserved", "MsgID_Skip" + std::to_string(id), ""), "1");
    EXPECT_EQ(GlobalIni.ReadValue("Preserved", "MsgID_RetVal" + std::to_string(id), ""), "2");

    // The same message again, and an anagram of it, answer at once without a window.
    EXPECT_EQ(Ask(r), 0);
    EXPECT_EQ(Answer(), BUTTON_YES);
    r.text = "überschreiben? Werte";
    EXPECT_EQ(MessageTextId(r.text), id);
    EXPECT_EQ(Ask(r), 0);
    EXPECT_EQ(Answer(), BUTTON_YES);
}

TEST_F(MessageDialogTest, NothingIsRememberedWithoutTheTickOrWithoutAPressedButton)
{
    MessageRequest r;
    r.text = "Noch einmal?";
    r.buttonBits = BUTTON_YES | BUTTON_NO;
    r.style = 1;
    int w = Ask(r);
    driver.Press(w, driver.Control(w, "&Nein"));
    EXPECT_EQ(Answer(), BUTTON_NO);
    w = Ask(r);
    ASSERT_NE(w, 0);
    driver.Check(w, 3, true);
    driver.Close(w);
    EXPECT_EQ(Answer(), 64);
    EXPECT_EQ(GlobalIni.ReadValue("Preserved", "MsgID_Skip" + std::to_string(MessageTextId(r.text)), ""), "");
    EXPECT_NE(Ask(r), 0);
    driver.Close(driver.Window("Mitteilungstext"));
    Answer();
}

TEST_F(MessageDialogTest, TextIdsSumWindowsCodes)
{
    EXPECT_EQ(MessageTextId("AB  "), 65 + 66);
    EXPECT_EQ(MessageTextId("ä"), 0xE4);      // one Windows-1252 code, not the two UTF-8 bytes
    EXPECT_EQ(MessageTextId(""), 0);
}

TEST(MessageDialogReplaceTest, ReplacesUntilNoneIsLeft)
{
    EXPECT_EQ(MessageDialogReplace("a-b-c", "-", "+"), "a+b+c");
    // Searching from the start again completes new occurrences.
    EXPECT_EQ(MessageDialogReplace("aab", "ab", "b"), "b");
    // A replacement that holds the text it replaces would never end: each is replaced once.
    EXPECT_EQ(MessageDialogReplace("banana", "a", "aa"), "baanaanaa");
    EXPECT_EQ(MessageDialogReplace("abc", "", "x"), "abc");
    EXPECT_EQ(MessageDialogReplaceAll("%File fehlt   ", "%File", "plan.prj"), "plan.prj fehlt");
    EXPECT_EQ(MessageDialogReplaceAll(std::string(3000, 'x'), "y", "z").size(), 2047u);
}

TEST(MessageDialogReplaceTest, AReplacementThatRebuildsTheSearchedTextStopsAtTheBuffer)
{
    // Each "bbaa" forms a new "ab" with the "a" before it; the message buffer ends the growth.
    EXPECT_EQ(MessageDialogReplaceAll("aab", "ab", "bbaa"), std::string(2046, 'b') + "a");
    EXPECT_EQ(MessageDialogReplace("aab", "ab", "bbaa"), std::string(2046, 'b') + "a");
}

TEST(MessageDialogOffThreads, OutsideAWindowThreadThePlatformBoxAnswers)
{
    InstallMessageDialog(true);
    MessageRequest r;
    r.text = "ohne Fenster";
    r.buttonBits = BUTTON_YES | BUTTON_NO;
    r.defaultButton = BUTTON_NO;
    testing::internal::CaptureStderr();
    EXPECT_EQ(MessageShow(r), BUTTON_NO);
    testing::internal::GetCapturedStderr();
    InstallMessageDialog(false);
}

} // namespace
