#include "core/PopupMenu.h"
#include "platform/headless/HeadlessDriver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A readable picture of a parsed menu: "~" disabled, "+" checked, "#n" the number, "-" a
// separator, "{...}" a submenu.
std::string Show(const std::vector<PopupItem>& items)
{
    std::string out;
    for (const auto& i : items) {
        if (!out.empty())
            out += " ";
        if (i.separator) {
            out += "-";
            continue;
        }
        out += (i.disabled ? "~" : "") + std::string(i.checked ? "+" : "") + i.text;
        if (i.number)
            out += "#" + std::to_string(i.number);
        if (!i.submenu.empty())
            out += "{" + Show(i.submenu) + "}";
    }
    return out;
}

TEST(PopupMenuTest, MenuTextGrammar)
{
    struct Case {
        const char* text;
        const char* parsed;
    };
    const Case cases[] = {
        {"~Ausschneiden|Kopieren|-|Einfügen", "~Ausschneiden#1 Kopieren#2 - Einfügen#3"},
        {"Untermenü{eins|zwei}|drei", "Untermenü{eins#1 zwei#2} drei#3"},
        {"A{B{C|D}|E}|F", "A{B{C#1 D#2} E#3} F#4"},
        {"[3(~exclamation.ico)]Bewertungsinfo", "Bewertungsinfo#1"},
        // A skipped block goes on into the next item and ends at "]".
        {"[weg|auch weg]X|Y", "X#1 Y#2"},
        // "{" before any text ends a skipped block, and is dropped.
        {"[weg{X", "X#1"},
        {"+Haken|-mit Text|a[b]c", "+Haken#1 mit Text#2 a[b]c#3"},
        {"{ohne Untermenü|b", "ohne Untermenü#1 b#2"},
        {"~|+|a||-", "a#1 -"},
        {"||", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Show(ParsePopupMenu(c.text)), c.parsed) << c.text;
}

TEST(PopupMenuTest, ReturnsTheChosenNumberOrZero)
{
    HeadlessDriver driver;
    static int chosen[3];
    driver.Start([] {
        chosen[0] = PopupMenu("~Ausschneiden|Kopieren|-|Einfügen");
        chosen[1] = PopupMenu("Untermenü{eins|zwei}|drei", 10, 20);
        chosen[2] = PopupMenu("||-|");     // nothing usable: no menu at all
    });
    ASSERT_TRUE(driver.HasPopup());
    EXPECT_THROW(driver.ChoosePopup("Ausschneiden"), DriverError);   // disabled
    driver.ChoosePopup("Einfügen");
    ASSERT_TRUE(driver.HasPopup());
    EXPECT_EQ(driver.Popup().x, 10);
    EXPECT_EQ(driver.Popup().y, 20);
    driver.ChoosePopup("Untermenü|zwei");
    driver.WaitEnd();
    EXPECT_EQ(chosen[0], 3);
    EXPECT_EQ(chosen[1], 2);
    EXPECT_EQ(chosen[2], 0);
}

} // namespace
