// The shift-type windows: the browse's rows and edit flow through the list's edit cycle, and the
// form's times, breaks, kinds, break checks, criteria judgement and strain recommendation.
#include "assessment/SchichttypDialoge.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "assessment/Kriterium.h"
#include "core/Files.h"
#include "core/Frame.h"
#include "core/ProjektFileManager.h"
#include "core/Savable.h"
#include "core/Schicht.h"
#include "platform/fw/FwWindow.h"
#include "platform/headless/HeadlessDriver.h"
#include "platform/records/RecordFile.h"
#include "platform/ui/MessageShow.h"
#include "platform/values/Locale.h"
#include "plans/Schichttypen.h"

namespace fs = std::filesystem;

namespace {

constexpr uint32_t H(int hours) { return static_cast<uint32_t>(hours * 60); }
// The clock value of a minute of the day.
std::string Clock(int minutes) { return std::to_string(minutes * 6000 + 1); }

CSchicht Shift(const std::string& name, const std::string& kurz, uint32_t from, uint32_t to)
{
    CSchicht s;
    s.Clear();
    s.BEZEICHNUNG = name;
    s.KURZBEZEICHNUNG = kurz;
    s.AUSLASTUNG = 100;
    s.TERMIN = {from, to};
    return s;
}

// Finds a shift type too long when it lasts more than ten hours.
class LaengenKriterium : public CKriterium, public ISTChecker {
public:
    LaengenKriterium()
    {
        NUMMER = 5;
        NAME = "Schichtlänge";
        AKTIVIERT = 1;
    }
    ISTChecker* GetSTChecker() override { return this; }
    uint32_t Check(const CSchicht& shift, uint8_t weekdays, std::string& text, std::size_t) override
    {
        seenWeekdays = weekdays;
        if (shift.Duration() <= 600)
            return 0;
        text = "Die Schicht ist länger als 10 Stunden.";
        return 1;
    }
    uint8_t seenWeekdays = 0;
};

// A strain criterion that recommends a fixed length.
class EbaKriterium : public CKriterium, public IEbaBerechnung {
public:
    EbaKriterium() { NUMMER = 19; }
    void Compute(const ::TERMIN& span) override { computed.push_back(span); }
    uint16_t Result() const override { return minutes; }
    void ShowRechenwerte() override { ++shown; }
    uint16_t minutes = 1440;
    std::vector<::TERMIN> computed;
    int shown = 0;
};

class SchichttypDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string t = (fs::temp_directory_path() / "varnschdlgXXXXXX").string();
        ASSERT_NE(::mkdtemp(t.data()), nullptr);
        dir = t;
        // The short name's upper case comes from the locale's case pairs.
        const char* data = std::getenv("VARN_DATA_DIR");
        ASSERT_NE(data, nullptr) << "VARN_DATA_DIR is not set";
        std::string error;
        ASSERT_TRUE(Locale::Load(std::string(data) + "/deutsch.env", &error)) << error;
        InitFileAccess();
        TMPSCHICHT.SetName(dir + "/schichttypen.tmp");
        SetMessageHook([this](const MessageRequest& m) {
            shown.push_back(m);
            auto it = answers.find(m.caption);
            if (it != answers.end() && !it->second.empty()) {
                const int a = it->second.front();
                it->second.erase(it->second.begin());
                return a;
            }
            return MessageDefaultAnswer(m);
        });
        InstallSchichttypDialoge();
        GlobalSchichtChecker = nullptr;
    }
    void TearDown() override
    {
        GlobalSchichtChecker = nullptr;
        CSchichttypen::SetWindows({}, {});
        SetMessageHook({});
        ReleaseFileAccess();
        for (const ProgramFile& f : ProgramFiles())
            if (FileIsOpen(*f.file))
                FileClose(*f.file);
        fs::remove_all(dir);
    }

    // Runs the form alone on `shift` (the list's one-shift edit).
    void OpenForm(CSchicht& shift)
    {
        driver.Start([this, &shift] { answer = types.EditSchicht(shift); });
        f = driver.Window("Schichttyp bearbeiten");
    }
    void OpenBrowse()
    {
        driver.Start([this] { types.Edit(); });
        b = driver.Window("Schichttypen");
        list = driver.Control(b, "?Liste");
    }
    int C(const std::string& name) const { return driver.Control(f, name); }
    void Type(const std::string& name, const std::string& text) { driver.Type(f, C(name), text); }
    void Ok()
    {
        driver.Press(f, "?OK");
        driver.WaitIdle();
    }
    bool FormOpen() const { return driver.FindWindow("Schichttyp bearbeiten") != 0; }
    bool Shown(const std::string& caption) const
    {
        for (const auto& m : shown)
            if (m.caption == caption)
                return true;
        return false;
    }

    std::string dir;
    std::vector<MessageRequest> shown;
    std::map<std::string, std::vector<int>> answers;
    CSchichttypen types;
    HeadlessDriver driver;
    int f = 0, b = 0, list = 0;
    int answer = 0;
};

// ---- the browse ----------------------------------------------------------------------------------

TEST_F(SchichttypDialogTest, BrowseListsTheShiftTypesByBeginWithTheirBreaks)
{
    CSchicht nacht = Shift("Nacht", "N", H(23), H(31));
    nacht.PAUSEN[0] = {120, 30, 0};   // 01:00, after midnight
    CSchicht spaet = Shift("Spät", "S", H(14), H(22));
    spaet.PAUSEN[0] = {240, 30, 1};
    CSchicht frueh = Shift("Früh", "F", H(6), H(14));
    for (CSchicht* s : {&nacht, &spaet, &frueh})
        types.AddSchicht(*s, false);
    OpenBrowse();
    ASSERT_EQ(driver.RowCount(b, list), 3);
    struct Case {
        int row, column;
        std::string text;
    };
    const Case cases[] = {
        {1, 1, "F"}, {1, 2, "Früh"}, {1, 3, Clock(360)}, {1, 4, Clock(840)},
        {1, 5, "0"}, {1, 6, "0"},                      // an empty break shows nothing
        {2, 1, "S"}, {2, 5, Clock(1080)}, {2, 6, Clock(30)},
        {3, 1, "N"}, {3, 4, Clock(420)},               // the end on the next day at its time there
        {3, 5, Clock(60)},                             // 23:00 + 120 minutes
    };
    for (const Case& c : cases)
        EXPECT_EQ(driver.Cell(b, list, c.row, c.column), c.text) << c.row << "/" << c.column;
    // A list bound to no project has no steps to go back or forth to.
    EXPECT_TRUE(driver.Disabled(b, driver.Control(b, "?UNDO")));
    EXPECT_TRUE(driver.Disabled(b, driver.Control(b, "?REDO")));
    driver.Press(b, "?OK");
    driver.WaitEnd();
    EXPECT_EQ(types.Count(), 3);
    EXPECT_EQ(types.GetByIndex(3)->SYSID, nacht.SYSID);
}

TEST_F(SchichttypDialogTest, BrowseShowsMidnightAtTheEndOfADayAs24)
{
    CSchicht abend = Shift("Abend", "A", H(16), H(24));
    CSchicht nacht = Shift("Nacht", "N", H(20), H(28));
    nacht.PAUSEN[0] = {240, 30, 0};   // at midnight
    types.AddSchicht(abend, false);
    types.AddSchicht(nacht, false);
    OpenBrowse();
    ASSERT_EQ(driver.RowCount(b, list), 2);
    EXPECT_EQ(driver.Cell(b, list, 1, 4), Clock(1440));
    EXPECT_EQ(driver.Cell(b, list, 2, 5), Clock(1440));
    EXPECT_EQ(driver.Cell(b, list, 2, 4), Clock(240));
    driver.Press(b, "?CANCEL");
    driver.WaitEnd();
}

TEST_F(SchichttypDialogTest, InsertedShiftTypeGetsItsShortNameAndIdentity)
{
    OpenBrowse();
    driver.Press(b, "&Einfügen");
    f = driver.Window("Schichttyp bearbeiten");
    EXPECT_EQ(driver.Text(f, C("?AUSLASTUNG")).find("100"), 0u);
    Type("?TMPSCHICHT:BEZEICHNUNG", "übergabe");
    EXPECT_EQ(driver.Text(f, C("?TMPSCHICHT:KURZBEZEICHNUNG")), "Ü");
    Type("?TMPSCHICHT:BEZEICHNUNG", "Frühdienst");   // a short name already there stays
    EXPECT_EQ(driver.Text(f, C("?TMPSCHICHT:KURZBEZEICHNUNG")), "Ü");
    Type("?BEGINN", "06:00");
    Type("?ENDE", "14:00");
    Ok();
    EXPECT_FALSE(FormOpen());
    EXPECT_EQ(driver.RowCount(b, list), 1);
    driver.Press(b, "?OK");
    driver.WaitEnd();
    ASSERT_EQ(types.Count(), 1);
    const CSchicht& s = *types.GetByIndex(1);
    EXPECT_EQ(s.BEZEICHNUNG, "Frühdienst");
    EXPECT_EQ(s.KURZBEZEICHNUNG, "Ü");
    EXPECT_EQ(s.ART, ART_NORMAL);
    EXPECT_EQ(s.AUSLASTUNG, 100);
    EXPECT_EQ(s.TERMIN.BEGINN, H(6));
    EXPECT_EQ(s.TERMIN.ENDE, H(14));
    EXPECT_NE(s.SYSID, 0u);
}

TEST_F(SchichttypDialogTest, ShortNameIsTheFirstLetterOfTheNameInUpperCase)
{
    const std::pair<const char*, const char*> cases[] = {
        {"nacht", "N"}, {"öffnung", "Ö"}, {"étage", "É"}, {"7-Uhr-Dienst", "7"}};
    for (const auto& [name, kurz] : cases) {
        CSchicht s = Shift("", "", H(6), H(14));
        OpenForm(s);
        Type("?TMPSCHICHT:BEZEICHNUNG", name);
        EXPECT_EQ(driver.Text(f, C("?TMPSCHICHT:KURZBEZEICHNUNG")), kurz) << name;
        driver.Press(f, "?CANCEL");
        driver.WaitEnd();
    }
}

TEST_F(SchichttypDialogTest, CancelledInsertAndDeleteAskedAndCancellingTheBrowseKeepsTheList)
{
    CSchicht frueh = Shift("Früh", "F", H(6), H(14));
    CSchicht spaet = Shift("Spät", "S", H(14), H(22));
    types.AddSchicht(frueh, false);
    types.AddSchicht(spaet, false);
    answers["Schichttyp löschen"] = {BUTTON_NO, BUTTON_YES};
    OpenBrowse();
    driver.Press(b, "&Einfügen");   // a new record given up is not added
    f = driver.Window("Schichttyp bearbeiten");
    driver.Press(f, "?CANCEL");
    driver.WaitIdle();
    EXPECT_EQ(driver.RowCount(b, list), 2);
    driver.ChooseRow(b, list, 2);
    driver.Press(b, "&Löschen");
    driver.WaitIdle();
    EXPECT_EQ(driver.RowCount(b, list), 2);   // "Nein" keeps it
    driver.Press(b, "&Löschen");
    driver.WaitIdle();
    ASSERT_EQ(driver.RowCount(b, list), 1);
    EXPECT_EQ(driver.Cell(b, list, 1, 1), "F");
    driver.Press(b, "?CANCEL");
    driver.WaitEnd();
    EXPECT_EQ(types.Count(), 2);
}

TEST_F(SchichttypDialogTest, UndoReplacesWhatWasEditedByTheStepBefore)
{
    CProjektFileManager files;
    ASSERT_EQ(files.OpenNew(dir + "/plan.prj"), STORE_DONE);
    CSchicht frueh = Shift("Früh", "F", H(6), H(14));
    types.AddSchicht(frueh, false);
    ASSERT_EQ(types.GetSavable().Init(files, nullptr), STORE_DONE);
    ASSERT_EQ(types.GetSavable().StoreStep(), STORE_DONE);
    CSchicht spaet = Shift("Spät", "S", H(14), H(22));
    ASSERT_EQ(types.AddSchicht(spaet, true), STORE_DONE);

    answers["Schichttyp löschen"] = {BUTTON_YES};
    OpenBrowse();
    EXPECT_EQ(driver.RowCount(b, list), 2);
    EXPECT_FALSE(driver.Disabled(b, driver.Control(b, "?UNDO")));
    EXPECT_TRUE(driver.Disabled(b, driver.Control(b, "?REDO")));
    driver.Press(b, "&Löschen");   // an edit in the browse that the undo drops
    driver.WaitIdle();
    EXPECT_EQ(driver.RowCount(b, list), 1);
    driver.Press(b, "?UNDO");
    driver.WaitIdle();
    ASSERT_EQ(driver.RowCount(b, list), 1);
    EXPECT_EQ(driver.Cell(b, list, 1, 1), "F");
    EXPECT_FALSE(driver.Disabled(b, driver.Control(b, "?REDO")));
    driver.Press(b, "?REDO");
    driver.WaitIdle();
    EXPECT_EQ(driver.RowCount(b, list), 2);
    driver.Press(b, "?UNDO");
    driver.WaitIdle();
    driver.Press(b, "?CANCEL");
    driver.WaitEnd();
    ASSERT_EQ(types.Count(), 1);   // the list stays at the earlier step
    EXPECT_EQ(types.GetByIndex(1)->KURZBEZEICHNUNG, "F");
    types.GetSavable().Release(files);
    files.Close();
}

// ---- the form ------------------------------------------------------------------------------------

TEST_F(SchichttypDialogTest, AFreeShiftLosesItsBreaks)
{
    CSchicht s = Shift("Früh", "F", H(6), H(14));
    s.PAUSEN[0] = {180, 30, 0};
    OpenForm(s);
    EXPECT_FALSE(driver.Disabled(f, C("?PAUSELAGE_1")));
    driver.ChooseRow(f, C("?SCHICHTART"), 2);
    driver.WaitIdle();
    EXPECT_TRUE(driver.Disabled(f, C("?PAUSELAGE_1")));
    Ok();
    driver.WaitEnd();
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(s.ART, ART_FREISCHICHT);
    EXPECT_EQ(s.TERMIN.BEGINN, H(6));   // the times stay, though only normal shifts count working time
    EXPECT_EQ(s.TERMIN.ENDE, H(14));
    for (const PAUSE& p : s.PAUSEN)
        EXPECT_TRUE(p.LAGE == 0 && p.DAUER == 0);
}

TEST_F(SchichttypDialogTest, TimeEntriesMoveTheShift)
{
    struct Case {
        const char* field;
        const char* text;
        uint32_t beginn, ende;
    };
    const Case cases[] = {
        {"?ENDE", "24:00", H(14), H(24)},         // midnight ends the shift on the next day
        {"?BEGINN", "24:00", 0, H(22)},           // as a begin it is 00:00
        {"?ENDE", "02:00", H(14), H(26)},
        {"?DAUERGESAMT", "10:00", H(14), H(24)},
        {"?REINEAZ", "07:30", H(14), H(22)},      // plus the 30 minutes' break
        {"?BEZAHLTEAZ", "07:30", H(14), H(22)},   // the break is unpaid
    };
    for (const Case& c : cases) {
        CSchicht s = Shift("Spät", "S", H(14), H(22));
        s.PAUSEN[0] = {240, 30, 0};
        OpenForm(s);
        Type(c.field, c.text);
        Ok();
        driver.WaitEnd();
        EXPECT_EQ(s.TERMIN.BEGINN, c.beginn) << c.field << " " << c.text;
        EXPECT_EQ(s.TERMIN.ENDE, c.ende) << c.field << " " << c.text;
    }
}

TEST_F(SchichttypDialogTest, BreaksThatDoNotFitStopOk)
{
    // A break reaching past the end: OK stops on its start field, without a message.
    CSchicht s = Shift("Früh", "F", H(6), H(14));
    OpenForm(s);
    driver.Focus(f, C("?PAUSEDAUER_1"));   // a duration without a start: the start is asked first
    driver.WaitIdle();
    EXPECT_EQ(driver.Property(f, 0, Prop::Focus).Int(), C("?PAUSELAGE_1"));
    Type("?PAUSELAGE_1", "13:45");
    Type("?PAUSEDAUER_1", "30");
    Ok();
    EXPECT_TRUE(FormOpen());
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(driver.Property(f, 0, Prop::Focus).Int(), C("?PAUSELAGE_1"));

    // Two overlapping breaks: the message, the form stays.
    Type("?PAUSELAGE_1", "10:00");
    Type("?PAUSELAGE_2", "10:15");
    Type("?PAUSEDAUER_2", "15");
    Ok();
    EXPECT_TRUE(Shown("Pausenzeiten überprüfen"));
    EXPECT_TRUE(FormOpen());

    Type("?PAUSELAGE_2", "12:00");
    Ok();
    driver.WaitEnd();
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(s.PAUSEN[0].LAGE, 240);
    EXPECT_EQ(s.PAUSEN[0].DAUER, 30);
    EXPECT_EQ(s.PAUSEN[1].LAGE, 360);
    EXPECT_EQ(s.PAUSEN[1].DAUER, 15);
}

TEST_F(SchichttypDialogTest, ViolationsAskWhetherToKeepTheShiftType)
{
    LaengenKriterium kr;
    CKriterienChecker checker;
    checker.Add(&kr);
    GlobalSchichtChecker = &checker;
    answers["Schicht ist nicht erlaubt"] = {BUTTON_OK, BUTTON_IGNORE};
    CSchicht s = Shift("Lang", "L", H(6), H(14));
    OpenForm(s);
    Type("?ENDE", "18:00");
    Ok();
    ASSERT_TRUE(Shown("Schicht ist nicht erlaubt"));
    EXPECT_NE(shown.back().text.find("länger als 10 Stunden"), std::string::npos);
    EXPECT_EQ(kr.seenWeekdays, kAlleWochentage);
    EXPECT_TRUE(FormOpen());   // "&OK" goes back to the form
    Ok();
    driver.WaitEnd();          // "&Ignorieren" keeps it
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(s.TERMIN.ENDE, H(18));
}

TEST_F(SchichttypDialogTest, RecommendationOnlyForNormalShifts)
{
    EbaKriterium eba;
    eba.minutes = 480;
    CKriterienChecker checker;
    checker.Add(&eba);
    GlobalSchichtChecker = &checker;

    CSchicht bereitschaft = Shift("Bereitschaft", "B", H(6), H(14));
    bereitschaft.ART = ART_BEREITSCHAFT;
    OpenForm(bereitschaft);
    EXPECT_TRUE(driver.Hidden(f, C("?GROUPEMPFEHLUNG")));
    driver.Check(f, C("?EBA_EMPFEHLUNG_ANZEIGEN"), true);
    driver.WaitIdle();
    EXPECT_TRUE(Shown("EBA Empfehlung nicht möglich"));
    EXPECT_FALSE(driver.Property(f, C("?EBA_EMPFEHLUNG_ANZEIGEN"), Prop::Checked).Bool());
    EXPECT_TRUE(driver.Hidden(f, C("?GROUPEMPFEHLUNG")));
    driver.Press(f, "?CANCEL");
    driver.WaitEnd();
    EXPECT_EQ(answer, 2);

    struct Case {
        uint16_t minutes;
        std::string ende, dauer;
    };
    // A recommendation of a whole day shows midnight as its length and the begin as its end.
    const Case cases[] = {{480, "14:00", "08:00"}, {1440, "06:00", "00:00"}};
    for (const Case& c : cases) {
        eba.minutes = c.minutes;
        CSchicht s = Shift("Früh", "F", H(6), H(14));
        OpenForm(s);
        driver.Check(f, C("?EBA_EMPFEHLUNG_ANZEIGEN"), true);
        const int hinweis = driver.Window("Hinweis zur EBA Einschätzung");
        driver.Press(hinweis, "?OK");
        driver.WaitIdle();
        EXPECT_FALSE(driver.Hidden(f, C("?GROUPEMPFEHLUNG")));
        EXPECT_EQ(driver.Text(f, C("?EBA_ENDE")), c.ende) << c.minutes;
        EXPECT_EQ(driver.Text(f, C("?EBA_DAUERGESAMT")), c.dauer) << c.minutes;
        driver.Press(f, "?BUTTON3");
        driver.WaitIdle();
        driver.Press(f, "?CANCEL");
        driver.WaitEnd();
    }
    EXPECT_EQ(eba.shown, 2);
    ASSERT_FALSE(eba.computed.empty());
    EXPECT_EQ(eba.computed.back().BEGINN, H(6));   // Monday, day 1
}

TEST_F(SchichttypDialogTest, DittoKeyCopiesTheNamesOfTheShiftTypeLastCompleted)
{
    CSchicht first = Shift("Frühdienst", "FD", H(6), H(14));
    first.AUSLASTUNG = 80;
    OpenForm(first);
    Ok();
    driver.WaitEnd();
    CSchicht next = Shift("", "", H(14), H(22));
    OpenForm(next);
    for (const char* field : {"?TMPSCHICHT:BEZEICHNUNG", "?TMPSCHICHT:KURZBEZEICHNUNG", "?AUSLASTUNG"}) {
        driver.Focus(f, C(field));
        driver.Key(f, C(field), 734);
    }
    Ok();
    driver.WaitEnd();
    EXPECT_EQ(next.BEZEICHNUNG, "Frühdienst");
    EXPECT_EQ(next.KURZBEZEICHNUNG, "FD");
    EXPECT_EQ(next.AUSLASTUNG, 80);
    EXPECT_EQ(next.TERMIN.BEGINN, H(14));   // the times are not copied
}

} // namespace
