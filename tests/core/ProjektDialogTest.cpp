// The project dialogs: project information (undo, redo, mail and web buttons), a worksheet's notes
// and the choice of a new worksheet's kind.
#include "core/ProjektDialogs.h"

#include <gtest/gtest.h>

#include "ProjektTestSupport.h"
#include "core/KommentarManager.h"
#include "core/Projekt.h"
#include "platform/fw/FwWindow.h"
#include "platform/values/Picture.h"

namespace {

// ---- kind of a new worksheet -------------------------------------------------------------------------

TEST(SelectArbeitsblattTypTest, EachButtonAndClosingGiveTheirKind)
{
    struct Case {
        std::string button;   // empty: the window is closed
        uint8_t kind;
    };
    const Case cases[] = {{"Arbeitszeitblatt", 1}, {"Flex-Arbeitszeitblatt", 2}, {"Abbrechen", 0}, {"", 0}};
    for (const auto& c : cases) {
        HeadlessDriver driver;
        uint8_t kind = 99;
        driver.Start([&] { kind = SelectArbeitsblattTyp(); });
        int w = driver.Window("Arbeitszeitblatt-Typ wählen");
        if (c.button.empty())
            driver.Close(w);
        else
            driver.Press(w, c.button);
        driver.WaitEnd();
        EXPECT_EQ(kind, c.kind) << c.button;
    }
}

// ---- project information ---------------------------------------------------------------------------

class ProjektinfoDialog : public ProjektDir {
protected:
    void SetUp() override {
        ProjektDir::SetUp();
        projekt.New(ARBEITSBLATT_AZ);
    }
    void TearDown() override {
        projekt.Close();
        ProjektDir::TearDown();
    }
    void Open() {
        driver.Start([this] { projekt.GetProjektInfo().Edit(); });
        w = driver.Window("Projektinformationen - allgemein");
    }
    int C(const std::string& name) { return driver.Control(w, name); }
    int Bezeichnung() { return C("&Bezeichnung:") + 1; }   // the entry after its prompt
    bool Enabled(const std::string& name) { return !driver.Disabled(w, C(name)); }

    CProjekt projekt;
    HeadlessDriver driver;
    int w = 0;
};

TEST_F(ProjektinfoDialog, UndoAndRedoFollowTheSteps)
{
    Open();
    EXPECT_FALSE(Enabled("?Undo"));   // a new project is at its first step
    EXPECT_FALSE(Enabled("?Redo"));
    driver.Type(w, Bezeichnung(), "Leitstelle");
    driver.Press(w, "?OK");
    driver.WaitEnd();
    EXPECT_EQ(INFO.GetString("BEZEICHNUNG"), "Leitstelle");
    EXPECT_TRUE(projekt.IsChanged());

    Open();
    EXPECT_EQ(driver.Text(w, Bezeichnung()), "Leitstelle");
    ASSERT_TRUE(Enabled("?Undo"));
    driver.Press(w, "?Undo");
    EXPECT_EQ(driver.Text(w, Bezeichnung()), "");
    EXPECT_FALSE(Enabled("?Undo"));
    EXPECT_TRUE(Enabled("?Redo"));
    driver.Press(w, "?Redo");
    EXPECT_EQ(driver.Text(w, Bezeichnung()), "Leitstelle");
    driver.Press(w, "?Abbrechen");
    driver.WaitEnd();
}

TEST_F(ProjektinfoDialog, CancelStoresNothing)
{
    Open();
    driver.Type(w, Bezeichnung(), "verworfen");
    driver.Press(w, "?Abbrechen");
    driver.WaitEnd();
    EXPECT_FALSE(projekt.IsChanged());
    EXPECT_FALSE(projekt.GetProjektInfo().CanUndo(1));
    EXPECT_EQ(INFO.GetString("BEZEICHNUNG"), "");
}

TEST_F(ProjektinfoDialog, MailAndWebButtonsOpenTheAddressWithItsScheme)
{
    struct Case {
        std::string field;     // "?EMail" or "?Internet" button; its entry is the control before it
        std::string typed;
        bool enabled;
        std::string opened;
    };
    const Case cases[] = {
        {"?EMail", "", false, ""},
        {"?EMail", "mailto:", false, ""},
        {"?EMail", "MAILTO:", false, ""},
        {"?EMail", "planer@beispiel.de", true, "mailto:planer@beispiel.de"},
        {"?EMail", "MailTo:planer@beispiel.de", true, "MailTo:planer@beispiel.de"},
        {"?Internet", "http://", false, ""},
        {"?Internet", "www.beispiel.de", true, "http://www.beispiel.de"},
        {"?Internet", "HTTP://www.beispiel.de", true, "HTTP://www.beispiel.de"},
        {"?Internet", "HTTPS://www.beispiel.de", true, "HTTPS://www.beispiel.de"},
    };
    Open();
    for (const auto& c : cases) {
        int button = C(c.field);
        int entry = button - 1;
        driver.Type(w, entry, c.typed);   // taking the entry refreshes the window
        EXPECT_EQ(Enabled(c.field), c.enabled) << c.typed;
        if (!c.enabled) continue;
        size_t before = driver.ShellOpens().size();
        driver.Press(w, button);
        ASSERT_EQ(driver.ShellOpens().size(), before + 1) << c.typed;
        EXPECT_EQ(driver.ShellOpens().back().file, c.opened);
    }
    driver.Press(w, "?Abbrechen");
    driver.WaitEnd();
}

// ---- notes ----------------------------------------------------------------------------------------------

void UsePictures()
{
    SetPictureFunctions(
        [](const PropValue& v, const std::string& picture) {
            return v.IsText() ? FormatPicture(std::string_view(v.Str()), picture)
                              : FormatPicture(static_cast<long long>(v.Int()), picture);
        },
        [](const std::string& text, const std::string& picture, PropValue& v) {
            PictureInput in = ParsePicture(text, picture);
            if (!in.ok) return false;
            const bool isText = picture.find_first_of("sS") == 1;
            v = isText ? PropValue(in.text) : PropValue(in.Whole());
            return true;
        });
}

TEST(KommentarDialog, OkWritesBackCancelLeavesTheNotes)
{
    KommentarInfo notes;
    notes.KOMMENTAR = "alt";
    for (bool ok : {false, true}) {
        HeadlessDriver driver;
        int response = 0;
        driver.Start([&] { response = UpdateKommentar(notes); });
        int w = driver.Window("Notiz bearbeiten");
        driver.Type(w, driver.Control(w, "?Arbeitsplatz"), "Pforte");
        driver.Choose(w, driver.Control(w, "Notizen"));
        driver.Type(w, driver.Control(w, "?Kommentar"), "neu");
        driver.Press(w, ok ? "?OK" : "?Abbrechen");
        driver.WaitEnd();
        EXPECT_EQ(response, ok ? RESPONSE_COMPLETED : RESPONSE_CANCELLED);
        EXPECT_EQ(notes.KOMMENTAR, ok ? "neu" : "alt");
        EXPECT_EQ(notes.BEZEICHNUNGARBEITSPLATZ, ok ? "Pforte" : "");
    }
}

TEST(KommentarDialog, HourTwentyFourOfTheShiftTimeBecomesZero)
{
    UsePictures();
    KommentarInfo notes;
    HeadlessDriver driver;
    driver.Start([&] { UpdateKommentar(notes); });
    int w = driver.Window("Notiz bearbeiten");
    int field = driver.Control(w, "?Schichtzeit");
    driver.Focus(w, field);
    driver.Type(w, field, "24:30");
    driver.Key(w, field, Key::TAB);
    EXPECT_EQ(driver.Text(w, field), "00:30");
    driver.Press(w, "?OK");
    driver.WaitEnd();
    SetPictureFunctions({}, {});
    EXPECT_EQ(notes.BISHERIGESCHICHTZEIT, 30 * 6000 + 1);
}

} // namespace
