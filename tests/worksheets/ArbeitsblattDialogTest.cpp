// The worksheet's setting dialogs and the legend: values written back only on OK, the spin ranges,
// the display period snapped to whole weeks and refused when it has no day, the response left for
// the caller, and each window's geometry kept under its own section.
#include "worksheets/ArbeitsblattDialogs.h"
#include "worksheets/Legende.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

#include "core/Frame.h"
#include "platform/fw/FwSettings.h"
#include "platform/fw/FwWindow.h"
#include "platform/headless/HeadlessDriver.h"
#include "platform/values/Date.h"

namespace {

using Dialog = std::function<void(int32_t&)>;

struct ZahlCase {
    const char* what;
    Dialog dialog;
    std::string title, field;
    int32_t start;
    std::string shown;    // the field's text on opening
    std::string typed;    // empty: nothing typed
    bool ok;
    int32_t expected;
};

TEST(ZahlDialog, OkWritesTheFieldBackWithinItsRangeCancelKeepsTheValue)
{
    const Dialog bezugsrahmen = UpdateBezugsrahmen, gruppen = UpdateAnzahlSchichtgruppen,
                 staerke = UpdateSchichtgruppenstaerke;
    const std::string b = "Bezugsrahmen ändern", g = "Anzahl Schichtgruppen ändern", s = "Schichtgruppenstärke ändern";
    const ZahlCase cases[] = {
        {"weeks taken", bezugsrahmen, b, "?BEZUGSRAHMEN", 4, "4", "6", true, 6},
        {"weeks cancelled", bezugsrahmen, b, "?BEZUGSRAHMEN", 4, "4", "6", false, 4},
        {"weeks above 8", bezugsrahmen, b, "?BEZUGSRAHMEN", 4, "4", "12", true, 8},
        {"weeks below 1", bezugsrahmen, b, "?BEZUGSRAHMEN", 4, "4", "0", true, 1},
        {"groups taken", gruppen, g, "?ANZAHLGRUPPEN", 5, "5", "17", true, 17},
        {"groups above 255", gruppen, g, "?ANZAHLGRUPPEN", 5, "5", "300", true, 255},
        {"groups cancelled", gruppen, g, "?ANZAHLGRUPPEN", 5, "5", "17", false, 5},
        {"persons taken", staerke, s, "?BELEGSCHAFTSSTAERKE", 2, "2", "3", true, 3},
        {"persons above 255", staerke, s, "?BELEGSCHAFTSSTAERKE", 2, "2", "256", true, 255},
        {"persons: low 16 bits", staerke, s, "?BELEGSCHAFTSSTAERKE", 65536 + 7, "7", "", true, 7},
        {"persons: low 16 bits kept on cancel", staerke, s, "?BELEGSCHAFTSSTAERKE", 65536 + 7, "7", "", false,
         65536 + 7},
    };
    for (const ZahlCase& c : cases) {
        SCOPED_TRACE(c.what);
        HeadlessDriver driver;
        int32_t value = c.start;
        LastResponse = 99;
        driver.Start([&] { c.dialog(value); });
        int w = driver.Window(c.title);
        int field = driver.Control(w, c.field);
        EXPECT_EQ(driver.Text(w, field), c.shown);
        if (!c.typed.empty())
            driver.Type(w, field, c.typed);
        driver.Press(w, c.ok ? "?OK" : "?Abbrechen");
        driver.WaitEnd();
        EXPECT_EQ(value, c.expected);
        EXPECT_EQ(LastResponse, c.ok ? RESPONSE_COMPLETED : RESPONSE_CANCELLED);
    }
}

TEST(ZahlDialog, ClosingTheWindowCancels)
{
    HeadlessDriver driver;
    int32_t weeks = 3;
    driver.Start([&] { UpdateBezugsrahmen(weeks); });
    int w = driver.Window("Bezugsrahmen ändern");
    driver.Type(w, driver.Control(w, "?BEZUGSRAHMEN"), "5");
    driver.Close(w);
    driver.WaitEnd();
    EXPECT_EQ(weeks, 3);
    EXPECT_EQ(LastResponse, RESPONSE_CANCELLED);
}

// ---- display period ------------------------------------------------------------------------------

long Day(int d) { return DateFromParts(2026, 12, d); }   // 7 December 2026 is a Monday

class ZeitraumDialog : public ::testing::Test {
protected:
    void Open()
    {
        LastResponse = 99;
        driver.Start([this] { UpdateZeitraum(from, to); });
        w = driver.Window("Darstellungszeitraum ändern");
        von = driver.Control(w, "?DATUMVON");
        bis = driver.Control(w, "?DATUMBIS");
    }

    HeadlessDriver driver;
    int32_t from = static_cast<int32_t>(Day(7)), to = static_cast<int32_t>(Day(20));
    int w = 0, von = 0, bis = 0;
};

TEST_F(ZeitraumDialog, DatesSnapToTheirWeekAsSoonAsTaken)
{
    ASSERT_EQ(DateWeekday(Day(7)), 1);
    struct Case {
        const char* typedFrom;
        const char* typedTo;
        const char* shownFrom;   // Monday of the week
        const char* shownTo;     // Sunday of the week
    };
    const Case cases[] = {
        {"09.12.2026", "09.12.2026", "07.12.2026", "13.12.2026"},   // Wednesday: back 2 days, on 4 days
        {"07.12.2026", "13.12.2026", "07.12.2026", "13.12.2026"},   // Monday and Sunday stay
        {"03.01.2027", "28.12.2026", "28.12.2026", "03.01.2027"},   // across the turn of the year
    };
    Open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typedFrom);
        driver.Type(w, von, c.typedFrom);
        driver.Type(w, bis, c.typedTo);
        EXPECT_EQ(driver.Text(w, von), c.shownFrom);
        EXPECT_EQ(driver.Text(w, bis), c.shownTo);
    }
    driver.Press(w, "?OK");
    driver.WaitEnd();
    EXPECT_EQ(from, Day(28));
    EXPECT_EQ(to, DateFromParts(2027, 1, 3));
    EXPECT_EQ(LastResponse, RESPONSE_COMPLETED);
}

TEST_F(ZeitraumDialog, CancelKeepsBothDates)
{
    Open();
    EXPECT_EQ(driver.Text(w, von), "07.12.2026");
    EXPECT_EQ(driver.Text(w, bis), "20.12.2026");
    driver.Type(w, von, "09.12.2026");
    driver.Press(w, "?Abbrechen");
    driver.WaitEnd();
    EXPECT_EQ(from, Day(7));
    EXPECT_EQ(to, Day(20));
    EXPECT_EQ(LastResponse, RESPONSE_CANCELLED);
}

// A period without a day would leave the flex plan empty: OK is refused with a message, the window
// stays open and nothing is written back until the period is mended.
TEST_F(ZeitraumDialog, APeriodWithoutADayIsRefused)
{
    struct Case {
        const char* typedFrom;
        const char* typedTo;
        const char* message;
    };
    const Case cases[] = {
        {"14.12.2026", "06.12.2026", "Das Enddatum des Darstellungszeitraums liegt vor dem Anfangsdatum."},
        {"", "20.12.2026", "Bitte geben Sie Anfangs- und Enddatum des Darstellungszeitraums an."},
    };
    Open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typedFrom);
        driver.Type(w, von, c.typedFrom);
        driver.Type(w, bis, c.typedTo);
        driver.Press(w, "?OK");
        ASSERT_TRUE(driver.HasMessage());
        EXPECT_EQ(driver.Message().text, c.message);
        driver.AnswerMessage(1);
        driver.WaitIdle();
        EXPECT_EQ(driver.FindWindow("Darstellungszeitraum ändern"), w);
        EXPECT_EQ(from, Day(7));
        EXPECT_EQ(to, Day(20));
    }
    driver.Type(w, von, "14.12.2026");
    driver.Type(w, bis, "14.12.2026");
    driver.Press(w, "?OK");
    driver.WaitEnd();
    EXPECT_EQ(from, Day(14));
    EXPECT_EQ(to, Day(20));
    EXPECT_EQ(LastResponse, RESPONSE_COMPLETED);
}

// ---- legend and geometry ---------------------------------------------------------------------------

TEST(Legende, SchliessenClosesTheLegend)
{
    HeadlessDriver driver;
    LastResponse = 99;
    driver.Start([] { Legende(); });
    int w = driver.Window("Legende");
    EXPECT_EQ(driver.Control(w, "?Schliessen"), 32);
    EXPECT_EQ(driver.Text(w, driver.Control(w, "N - F") + 1), "ungünstiger Schichtwechsel Nacht - frei - Früh");
    driver.Press(w, "?Schliessen");
    driver.WaitEnd();
    EXPECT_EQ(LastResponse, RESPONSE_CANCELLED);
}

TEST(EinstellungFenster, EachWindowKeepsItsGeometryUnderItsOwnSection)
{
    std::map<std::string, std::map<std::string, std::string>> ini;
    FwSetSettings({[&](const std::string& section, const std::string& key, const std::string& fallback) {
                       auto s = ini.find(section);
                       if (s == ini.end() || !s->second.count(key))
                           return fallback;
                       return s->second.at(key);
                   },
                   [&](const std::string& section, const std::string& key, const std::string& value) {
                       ini[section][key] = value;
                   }});
    int32_t n = 1, from = 0, to = 0;
    struct Case {
        std::string section, title;
        std::function<void()> open;
    };
    const Case cases[] = {
        {"UpdateBezugsrahmen", "Bezugsrahmen ändern", [&] { UpdateBezugsrahmen(n); }},
        {"UpdateAnzahlSchichtgruppen", "Anzahl Schichtgruppen ändern", [&] { UpdateAnzahlSchichtgruppen(n); }},
        {"UpdateSchichtgruppenstaerke", "Schichtgruppenstärke ändern", [&] { UpdateSchichtgruppenstaerke(n); }},
        {"UpdateZeitraum", "Darstellungszeitraum ändern", [&] { UpdateZeitraum(from, to); }},
        {"Legende", "Legende", [] { Legende(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.section);
        HeadlessDriver driver;
        driver.Start(c.open);
        driver.Close(driver.Window(c.title));
        driver.WaitEnd();
        EXPECT_EQ(ini[c.section]["Maximize"], "No");
        EXPECT_FALSE(ini[c.section]["XPos"].empty());
    }
    FwSetSettings({});
    EXPECT_EQ(ini.size(), 5u);
}

} // namespace
