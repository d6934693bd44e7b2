// The cost form and the wage calculator: the form's rules on a KOST record, the checks of OK, the
// edit cycle through "Kosten.tmp", ".eco" import and export from the form, and the frame's editor.
#include "assessment/KostenDialog.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "assessment/Kosten.h"
#include "core/Files.h"
#include "core/Frame.h"
#include "platform/fw/FwFileManager.h"
#include "platform/fw/FwWindow.h"
#include "platform/headless/HeadlessDriver.h"
#include "platform/records/FileError.h"
#include "platform/records/RecordFile.h"
#include "platform/ui/MessageShow.h"

namespace fs = std::filesystem;

namespace {

constexpr int32_t Clock(int h, int m) { return (h * 60 + m) * 6000 + 1; }

RecordBuffer Record() {
    RecordBuffer k(static_cast<const RecordBuffer&>(KOST));
    k.Clear();
    return k;
}

// ---- form rules --------------------------------------------------------------------------------

TEST(KostenRules, APercentageOrAnAmountDisablesTheOtherEntry) {
    struct Case {
        double prozent, betrag;
        bool prozentOn, betragOn;
    };
    const Case cases[] = {{3, 0, true, false}, {0, 0, true, true}, {0, 2.5, false, true}, {3, 2.5, true, true}};
    for (const Case& c : cases) {
        RecordBuffer k = Record();
        k.SetReal("ZSOPROZENT", c.prozent);
        k.SetReal("ZSOBETRAG", c.betrag);
        EXPECT_EQ(KostenProzentEnabled(k, "ZSO"), c.prozentOn) << c.prozent << " " << c.betrag;
        EXPECT_EQ(KostenBetragEnabled(k, "ZSO"), c.betragOn) << c.prozent << " " << c.betrag;
    }
}

TEST(KostenRules, BandsGetAnEndAndTheSecondBeginsWhereTheFirstEnds) {
    struct Case {
        double von1, bis1, bis2;
        double wantBis1, wantVon2, wantBis2;
    };
    const Case cases[] = {
        {8, 0, 0, 9, 9, 0},      // only a begin: a one-hour band
        {8, 10, 9, 10, 10, 11},  // (2) ending before it begins
        {8, 10, 12, 10, 10, 12},
        {0, 0, 0, 0, 0, 0},
    };
    for (const char* p : {"UEBZ", "WAZ"})
        for (const Case& c : cases) {
            RecordBuffer k = Record();
            k.SetReal(std::string(p) + "1VON", c.von1);
            k.SetReal(std::string(p) + "1BIS", c.bis1);
            k.SetReal(std::string(p) + "2BIS", c.bis2);
            KostenRefreshRules(k);
            EXPECT_EQ(k.GetReal(std::string(p) + "1BIS"), c.wantBis1) << p << c.von1 << "-" << c.bis1;
            EXPECT_EQ(k.GetReal(std::string(p) + "2VON"), c.wantVon2) << p << c.von1 << "-" << c.bis1;
            EXPECT_EQ(k.GetReal(std::string(p) + "2BIS"), c.wantBis2) << p << c.von1 << "-" << c.bis1;
        }
}

TEST(KostenRules, SaturdayEndsNotBeforeTheirBeginButMidnightStays) {
    struct Case {
        int32_t von1, bis1, bis2;
        int32_t wantBis1, wantVon2, wantBis2;
    };
    const Case cases[] = {
        {Clock(13, 0), Clock(12, 0), Clock(12, 0), Clock(13, 0), Clock(13, 0), Clock(13, 0)},
        {Clock(13, 0), Clock(0, 0), Clock(5, 0), Clock(0, 0), Clock(0, 0), Clock(5, 0)},
        {Clock(13, 0), Clock(18, 0), Clock(0, 0), Clock(18, 0), Clock(18, 0), Clock(0, 0)},
        {0, Clock(12, 0), 0, Clock(12, 0), Clock(12, 0), 0},
    };
    for (const Case& c : cases) {
        RecordBuffer k = Record();
        k.SetInt("ZSA1VON", c.von1);
        k.SetInt("ZSA1BIS", c.bis1);
        k.SetInt("ZSA2BIS", c.bis2);
        KostenRefreshRules(k);
        EXPECT_EQ(k.GetInt("ZSA1BIS"), c.wantBis1) << c.von1 << "-" << c.bis1;
        EXPECT_EQ(k.GetInt("ZSA2VON"), c.wantVon2) << c.von1 << "-" << c.bis1;
        EXPECT_EQ(k.GetInt("ZSA2BIS"), c.wantBis2) << c.von1 << "-" << c.bis1;
    }
}

TEST(KostenRules, ClearingOneBoundOfAPairClearsTheOther) {
    struct Case {
        const char* cleared;
        const char* other;
    };
    const Case cases[] = {{"UEBZ1VON", "UEBZ1BIS"}, {"UEBZ1BIS", "UEBZ1VON"}, {"WAZ1VON", "WAZ1BIS"},
                          {"WAZ1BIS", "WAZ1VON"}};
    for (const Case& c : cases) {
        RecordBuffer k = Record();
        k.SetReal(c.other, 5);
        KostenFieldRules(k, c.cleared, 0);   // was 0 already: nothing to follow
        EXPECT_EQ(k.GetReal(c.other), 5) << c.cleared;
        KostenFieldRules(k, c.cleared, 8);
        EXPECT_EQ(k.GetReal(c.other), 0) << c.cleared;
    }
    RecordBuffer k = Record();
    k.SetInt("ZSA1VON", Clock(13, 0));
    KostenFieldRules(k, "ZSA1BIS", Clock(18, 0));
    EXPECT_EQ(k.GetInt("ZSA1VON"), 0);
    k.SetInt("ZSA1BIS", Clock(18, 0));
    KostenFieldRules(k, "ZSA1VON", Clock(13, 0));   // clearing a begin leaves the end alone
    EXPECT_EQ(k.GetInt("ZSA1BIS"), Clock(18, 0));
}

TEST(KostenRules, ClockRangesCollideOnlyWhenSetAndOverlappingByMoreThanAMinute) {
    struct Case {
        int32_t von1, bis1, von2, bis2;
        bool overlap;
    };
    const Case cases[] = {
        {Clock(20, 0), Clock(6, 0), Clock(5, 0), Clock(8, 0), false},   // 1200-1800 against 300-480
        {Clock(20, 0), Clock(6, 0), Clock(22, 0), Clock(23, 0), true},
        {Clock(18, 0), Clock(22, 0), Clock(22, 0), Clock(23, 0), false},   // they meet
        {Clock(10, 0), Clock(12, 0), Clock(11, 59), Clock(13, 0), false},  // one minute
        {Clock(10, 0), Clock(12, 0), Clock(11, 58), Clock(13, 0), true},
        {Clock(10, 0), 0, Clock(11, 0), Clock(13, 0), false},              // an end not set
        {Clock(0, 0), Clock(0, 0), Clock(11, 0), Clock(13, 0), true},      // the whole day
    };
    for (const Case& c : cases)
        EXPECT_EQ(KostenRangesOverlap(c.von1, c.bis1, c.von2, c.bis2), c.overlap)
            << c.von1 << "-" << c.bis1 << " / " << c.von2 << "-" << c.bis2;
}

TEST(KostenRules, TheLastFailingCheckCounts) {
    const std::string onCall = "Eine anrechenbare Arbeitszeit von 0% ist nicht zulässig.";
    RecordBuffer k = Record();
    EXPECT_EQ(CheckKosten(k).text, "");

    k.SetReal("BDPROZENT", 50);   // paid on-call time of which nothing counts
    EXPECT_EQ(CheckKosten(k).text, onCall);
    EXPECT_EQ(CheckKosten(k).field, "BDANRECHENBAREAZ");
    k.SetReal("BDANRECHENBAREAZ", 100);
    k.SetReal("RBWEBETRAG", 3);
    EXPECT_EQ(CheckKosten(k).field, "RBWEANRECHENBAREAZ");
    k.SetReal("RBWEBETRAG", 0);

    k.SetInt("TZ1VON", Clock(20, 0));
    k.SetInt("TZ1BIS", Clock(6, 0));
    k.SetInt("TZ2VON", Clock(22, 0));
    k.SetInt("TZ2BIS", Clock(23, 0));
    EXPECT_EQ(CheckKosten(k).text,
              "Die Arbeitszeitdefinitionen der tageszeitabhängigen Zuschläge (1) und (2) überschneiden sich.");
    EXPECT_EQ(CheckKosten(k).field, "TZ1VON");
    k.SetInt("SOZ1VON", Clock(8, 0));
    k.SetInt("SOZ1BIS", Clock(12, 0));
    k.SetInt("SOZ2VON", Clock(11, 0));
    k.SetInt("SOZ2BIS", Clock(14, 0));
    EXPECT_EQ(CheckKosten(k).field, "SOZ1VON");
    k.SetReal("BDWEPROZENT", 10);
    EXPECT_EQ(CheckKosten(k).text, onCall);
    EXPECT_EQ(CheckKosten(k).field, "BDWEANRECHENBAREAZ");
}

// Each colliding pair alone: its own message, and the begin of its first item is selected.
TEST(KostenRules, EachOverlapNamesItsPairAndSelectsTheFirstBegin) {
    struct Case {
        const char *a, *b, *text, *field;
    };
    const Case cases[] = {
        {"TZ1", "TZ2", "Die Arbeitszeitdefinitionen der tageszeitabhängigen Zuschläge (1) und (2) überschneiden sich.",
         "TZ1VON"},
        {"TZ1", "TZ3", "Die Arbeitszeitdefinitionen der tageszeitabhängigen Zuschläge (1) und (3) überschneiden sich.",
         "TZ1VON"},
        {"TZ2", "TZ3", "Die Arbeitszeitdefinitionen der tageszeitabhängigen Zuschläge (2) und (3) überschneiden sich.",
         "TZ2VON"},
        {"ZSA1", "ZSA2", "Die Arbeitszeitdefinitionen der Zuschläge für Samstagsarbeit (1) und (2) überschneiden sich.",
         "ZSA1VON"},
        {"SOZ1", "SOZ2", "Die Arbeitszeitdefinitionen der sonstigen Zuschläge (1) und (2) überschneiden sich.",
         "SOZ1VON"},
    };
    for (const Case& c : cases) {
        RecordBuffer k = Record();
        k.SetInt(std::string(c.a) + "VON", Clock(8, 0));
        k.SetInt(std::string(c.a) + "BIS", Clock(12, 0));
        k.SetInt(std::string(c.b) + "VON", Clock(11, 0));
        k.SetInt(std::string(c.b) + "BIS", Clock(14, 0));
        const KostenCheckResult r = CheckKosten(k);
        EXPECT_EQ(r.text, c.text) << c.a << "/" << c.b;
        EXPECT_EQ(r.field, c.field) << c.a << "/" << c.b;
    }
}

TEST(KostenRules, OkClearsASecondBandWithoutEndAndJoinsTheOther) {
    RecordBuffer k = Record();
    k.SetReal("UEBZ1BIS", 9);
    k.SetReal("UEBZ2VON", 4);
    k.SetReal("WAZ1BIS", 40);
    k.SetReal("WAZ2VON", 3);
    k.SetReal("WAZ2BIS", 45);
    KostenFinishRanges(k);
    EXPECT_EQ(k.GetReal("UEBZ2VON"), 0);
    EXPECT_EQ(k.GetReal("UEBZ2BIS"), 0);
    EXPECT_EQ(k.GetReal("WAZ2VON"), 40);
    EXPECT_EQ(k.GetReal("WAZ2BIS"), 45);
}

TEST(KostenRules, WageIsGrossOverMonthlyHoursOrZero) {
    EXPECT_NEAR(LohnrechnerStundenlohn(3000, 154), 19.4805, 1e-4);
    EXPECT_EQ(LohnrechnerStundenlohn(3000, 0), 0);
    EXPECT_EQ(LohnrechnerStundenlohn(0, 154), 0);
    EXPECT_EQ(LohnrechnerStundenlohn(-5, 154), 0);
}

// ---- windows -----------------------------------------------------------------------------------

constexpr const char* kTitle = "Einstellungen: Grundvergütung, Zuschläge, Zulagen, Dienste";

class KostenDialog : public ::testing::Test {
protected:
    void SetUp() override {
        std::string t = (fs::temp_directory_path() / "varnkostdlgXXXXXX").string();
        ASSERT_NE(::mkdtemp(t.data()), nullptr);
        dir = t;
        InitFileAccess();
        Access::TMPKOST->SetName(Path("Kosten.tmp"));
        InstallKostenDialog();
        for (const KostenItem& item : CKosten::Items())
            kosten.KOSTEN.SetString(std::string(item.prefix) + "BEZEICHNUNG", item.defaultName);
        for (const char* p : {"BD", "BDWE", "RB", "RBWE"}) kosten.KOSTEN.SetReal(std::string(p) + "ANRECHENBAREAZ", 100);
        kosten.KOSTEN.SetReal("STUNDENLOHN", 20);
    }
    void TearDown() override {
        CKosten::SetUpdateProcedure({});
        ReleaseFileAccess();
        for (const ProgramFile& f : ProgramFiles())
            if (FileIsOpen(*f.file)) FileClose(*f.file);
        GlobalFileName.clear();
        fs::remove_all(dir);
    }
    std::string Path(const std::string& name) const { return dir + "/" + name; }

    // The worksheet's edit cycle with the form.
    void OpenEdit() {
        driver.Start([this] { kosten.Edit(); });
        w = driver.Window(kTitle);
    }
    int C(const std::string& name) const { return driver.Control(w, name); }
    void On(const std::string& tab) { driver.Choose(w, C(tab)); }
    void Type(const std::string& field, const std::string& text) { driver.Type(w, C("?" + field), text); }
    std::string Shown(const std::string& field) const { return driver.Text(w, C("?" + field)); }
    bool Enabled(const std::string& field) const { return !driver.Disabled(w, C("?" + field)); }
    void Finish(const std::string& button) {
        driver.Press(w, button);
        driver.WaitEnd();
    }

    // The frame's ".eco" editor on a file: TMPKOST opened on it at its first record.
    FwFileManager* OpenOnFile(const std::string& file) {
        FwFileManager* tmp = Access::TMPKOST;
        tmp->SetName(file);
        EXPECT_EQ(tmp->Open(), 0);
        EXPECT_EQ(FileSet(TMPKOST), ERR_NONE);
        EXPECT_EQ(tmp->TryNext(), 0);
        return tmp;
    }

    // A one-record ".eco" file with the given wage.
    std::string MakeEco(const std::string& name, double wage) {
        CKosten eco;
        eco.KOSTEN.CopyFrom(kosten.KOSTEN);
        eco.KOSTEN.SetReal("STUNDENLOHN", wage);
        eco.KOSTEN.SetString("LZBEZEICHNUNG", "Schmutzzulage");
        EXPECT_EQ(eco.ExportEco(Path(name)), CKosten::RESULT_DONE);
        return Path(name);
    }

    std::string dir;
    CKosten kosten;
    HeadlessDriver driver;
    int w = 0;
};

TEST_F(KostenDialog, OkTakesTheEditCancelLeavesTheSettings) {
    for (bool ok : {false, true}) {
        OpenEdit();
        EXPECT_EQ(Shown("STUNDENLOHN"), "20,00");
        Type("STUNDENLOHN", "22,5");
        On("&Zuschläge (1)");
        Type("ZSOBEZEICHNUNG", "Sonntag");
        Finish(ok ? "?OK" : "?Abbrechen");
        EXPECT_EQ(LastResponse, ok ? RESPONSE_COMPLETED : RESPONSE_CANCELLED);
        EXPECT_EQ(kosten.KOSTEN.GetReal("STUNDENLOHN"), ok ? 22.5 : 20);
        EXPECT_EQ(kosten.KOSTEN.GetString("ZSOBEZEICHNUNG"), ok ? "Sonntag" : "Zuschlag für Sonntagsarbeit");
    }
}

TEST_F(KostenDialog, APercentageDisablesTheAmountUntilItIsCleared) {
    OpenEdit();
    On("&Zuschläge (1)");
    Type("ZSOPROZENT", "3");
    EXPECT_EQ(Shown("ZSOPROZENT"), "3%");
    EXPECT_FALSE(Enabled("ZSOBETRAG"));
    EXPECT_TRUE(Enabled("ZSOPROZENT"));
    Type("ZSOPROZENT", "0");
    EXPECT_TRUE(Enabled("ZSOBETRAG"));
    Type("ZSOPROZENT", "3");
    Finish("?OK");
    EXPECT_EQ(kosten.KOSTEN.GetReal("ZSOPROZENT"), 3);
    EXPECT_EQ(kosten.KOSTEN.GetReal("ZSOBETRAG"), 0);
}

TEST_F(KostenDialog, OvertimeBeginAloneGivesAnHourAndClearingTheEndClearsTheBegin) {
    OpenEdit();
    On("&Zuschläge (2)");
    Type("UEBZ1VON", "8");
    EXPECT_EQ(Shown("UEBZ1BIS"), "9,00");
    EXPECT_EQ(Shown("UEBZ2VON"), "9,00");   // (2) begins where (1) ends
    Type("UEBZ2VON", "10");                 // and moving it moves the end of (1)
    EXPECT_EQ(Shown("UEBZ1BIS"), "10,00");
    Type("UEBZ1BIS", "0");
    EXPECT_EQ(Shown("UEBZ1VON"), "0,00");
    Type("UEBZ1VON", "8");
    Type("UEBZ2BIS", "12");
    Finish("?OK");
    EXPECT_EQ(kosten.KOSTEN.GetReal("UEBZ1VON"), 8);
    EXPECT_EQ(kosten.KOSTEN.GetReal("UEBZ1BIS"), 9);
    EXPECT_EQ(kosten.KOSTEN.GetReal("UEBZ2VON"), 9);
    EXPECT_EQ(kosten.KOSTEN.GetReal("UEBZ2BIS"), 12);
}

TEST_F(KostenDialog, HourTwentyFourOfAClockEntryBecomesMidnight) {
    OpenEdit();
    On("&Zuschläge (1)");
    const int field = C("?TZ1BIS");
    driver.Focus(w, field);
    driver.Type(w, field, "24:00");
    driver.Key(w, field, Key::TAB);
    EXPECT_EQ(driver.Text(w, field), "00:00");
    Type("TZ1VON", "20:00");
    Finish("?OK");
    EXPECT_EQ(kosten.KOSTEN.GetInt("TZ1BIS"), Clock(0, 0));
    EXPECT_EQ(kosten.KOSTEN.GetInt("TZ1VON"), Clock(20, 0));
}

// Both an overlap and unpaid on-call time: only the on-call message, its entry selected, and
// nothing stored until the form is corrected.
TEST_F(KostenDialog, RefusedOkShowsTheLastFailingCheckAndKeepsTheFormOpen) {
    OpenEdit();
    On("&Zuschläge (1)");
    Type("TZ1VON", "20:00");
    Type("TZ1BIS", "06:00");
    Type("TZ2VON", "22:00");
    Type("TZ2BIS", "23:00");
    On("&Dienste");
    Type("BDPROZENT", "50");
    Type("BDANRECHENBAREAZ", "0");
    On("&Grundvergütung");
    driver.Press(w, "?OK");
    ASSERT_TRUE(driver.HasMessage());
    MessageRequest m = driver.Message();
    EXPECT_EQ(m.caption, "Eingaben überprüfen");
    EXPECT_EQ(m.text, "Eine anrechenbare Arbeitszeit von 0% ist nicht zulässig.");
    EXPECT_EQ(m.icon, MessageIcon::Exclamation);
    driver.AnswerMessage(BUTTON_OK);
    EXPECT_EQ(driver.Property(w, 0, Prop::Focus).Int(), C("?BDANRECHENBAREAZ"));
    EXPECT_FALSE(driver.Ended());

    Type("BDANRECHENBAREAZ", "80");
    driver.Press(w, "?OK");
    ASSERT_TRUE(driver.HasMessage());
    EXPECT_EQ(driver.Message().text,
              "Die Arbeitszeitdefinitionen der tageszeitabhängigen Zuschläge (1) und (2) überschneiden sich.");
    driver.AnswerMessage(BUTTON_OK);
    EXPECT_EQ(kosten.KOSTEN.GetReal("BDPROZENT"), 0);

    On("&Zuschläge (1)");
    Type("TZ2VON", "06:00");
    Type("TZ2BIS", "08:00");
    Finish("?OK");
    EXPECT_EQ(kosten.KOSTEN.GetReal("BDPROZENT"), 50);
    EXPECT_EQ(kosten.KOSTEN.GetReal("BDANRECHENBAREAZ"), 80);
}

TEST_F(KostenDialog, WageCalculatorGivesItsWageOnlyWhenTaken) {
    for (bool take : {false, true}) {
        OpenEdit();
        driver.Press(w, "?Lohnrechner");
        const int calc = driver.Window("Lohnrechner");
        driver.Type(calc, driver.Control(calc, "?Brutto"), "3000");
        driver.Type(calc, driver.Control(calc, "?Woche"), "38,5");
        EXPECT_EQ(driver.Text(calc, driver.Control(calc, "?Monat")), "154,00");
        EXPECT_EQ(driver.Text(calc, driver.Control(calc, "?Stundenlohn")), "19,48");
        driver.Press(calc, take ? "?Uebernehmen" : "?Abbrechen");
        EXPECT_EQ(Shown("STUNDENLOHN"), take ? "19,48" : "20,00");
        Finish("?OK");
        // The form keeps what it shows: the wage to the cent.
        EXPECT_EQ(kosten.KOSTEN.GetReal("STUNDENLOHN"), take ? 19.48 : 20);
    }
}

TEST_F(KostenDialog, MonthlyHoursGiveTheWeeklyHours) {
    double wage = 7;
    driver.Start([&] { Lohnrechner(wage); });
    const int calc = driver.Window("Lohnrechner");
    driver.Type(calc, driver.Control(calc, "?Monat"), "160");
    EXPECT_EQ(driver.Text(calc, driver.Control(calc, "?Woche")), "40,00");
    EXPECT_EQ(driver.Text(calc, driver.Control(calc, "?Stundenlohn")), "0,00");
    driver.Close(calc);
    driver.WaitEnd();
    EXPECT_EQ(wage, 7);
    EXPECT_EQ(LastResponse, RESPONSE_CANCELLED);
}

TEST_F(KostenDialog, ImportReplacesTheFormAfterTheQuestion) {
    const std::string eco = MakeEco("lohn.eco", 31.5);
    OpenEdit();
    driver.Press(w, "?Import");
    ASSERT_TRUE(driver.HasMessage());
    MessageRequest q = driver.Message();
    EXPECT_EQ(q.caption, "Datei importieren?");
    EXPECT_EQ(q.defaultButton, BUTTON_NO);
    driver.AnswerMessage(BUTTON_NO);
    EXPECT_FALSE(driver.HasFileDialog());

    driver.Press(w, "?Import");
    driver.AnswerMessage(BUTTON_YES);
    ASSERT_TRUE(driver.HasFileDialog());
    driver.AnswerFileDialog(eco);
    EXPECT_EQ(Shown("STUNDENLOHN"), "31,50");
    On("Zu&lagen");
    EXPECT_EQ(Shown("LZBEZEICHNUNG"), "Schmutzzulage");
    Finish("?OK");
    EXPECT_EQ(kosten.KOSTEN.GetReal("STUNDENLOHN"), 31.5);
}

// An ".eco" file without a record leaves the form as it was; a missing one is reported once.
TEST_F(KostenDialog, AnEmptyOrMissingEcoFileLeavesTheForm) {
    {
        RecordFile empty("XKOST", std::shared_ptr<const Layout>(std::shared_ptr<const Layout>(), &KOST.GetLayout()));
        empty.SetName(Path("leer.eco"));
        ASSERT_EQ(FileCreate(empty), ERR_NONE);
    }
    OpenEdit();
    Type("STUNDENLOHN", "23");
    for (const std::string& file : {Path("leer.eco"), Path("fehlt.eco")}) {
        driver.Press(w, "?Import");
        driver.AnswerMessage(BUTTON_YES);
        driver.AnswerFileDialog(file);
        if (file == Path("fehlt.eco")) {
            ASSERT_TRUE(driver.HasMessage());
            EXPECT_EQ(driver.Message().caption, "Datei kann nicht geöffnet werden");
            driver.AnswerMessage(BUTTON_OK);
        }
        EXPECT_FALSE(driver.HasMessage()) << file;
        EXPECT_EQ(Shown("STUNDENLOHN"), "23,00") << file;
        On("Zu&lagen");
        EXPECT_EQ(Shown("LZBEZEICHNUNG"), "Zulage I") << file;
        On("&Grundvergütung");
    }
    Finish("?OK");
    EXPECT_EQ(kosten.KOSTEN.GetReal("STUNDENLOHN"), 23);
}

TEST_F(KostenDialog, ExportWritesWhatTheFormShowsWithoutTheChecks) {
    OpenEdit();
    Type("STUNDENLOHN", "21");
    On("&Dienste");
    Type("RBBETRAG", "4");
    Type("RBANRECHENBAREAZ", "0");   // OK would refuse this
    driver.Press(w, "?Export");
    ASSERT_TRUE(driver.HasFileDialog());
    EXPECT_EQ(driver.FileDialogRequest().title, "Ökonomie-Exportdatei speichern");
    driver.AnswerFileDialog(Path("aus"));
    EXPECT_FALSE(driver.HasMessage());
    Finish("?Abbrechen");
    EXPECT_EQ(kosten.KOSTEN.GetReal("STUNDENLOHN"), 20);

    CKosten read;
    ASSERT_EQ(read.ImportEco(Path("aus.eco")), CKosten::RESULT_DONE);
    EXPECT_EQ(read.KOSTEN.GetReal("STUNDENLOHN"), 21);
    EXPECT_EQ(read.KOSTEN.GetReal("RBBETRAG"), 4);
    EXPECT_EQ(read.KOSTEN.GetReal("RBANRECHENBAREAZ"), 0);
}

// The frame's ".eco" editor: the record read from the user's file is written back on OK; only
// viewing writes nothing.
TEST_F(KostenDialog, FrameEditorWritesTheFileBackUnlessOnlyViewing) {
    struct Case {
        uint8_t request;
        bool okEnabled;
        double wage;
    };
    const Case cases[] = {{6, false, 31.5}, {2, true, 27}};
    const std::string eco = MakeEco("frame.eco", 31.5);
    const std::function<int()> update = KostenFrameWindow();
    for (const Case& c : cases) {
        FwFileManager* tmp = OpenOnFile(eco);
        ASSERT_FALSE(HasFailure());
        PendingRequest = c.request;
        int response = 0;
        driver.Start([&] { response = update(); });
        w = driver.Window(kTitle);
        EXPECT_EQ(!driver.Disabled(w, C("?OK")), c.okEnabled);
        Type("STUNDENLOHN", "27");
        if (c.okEnabled)
            Finish("?OK");
        else
            Finish("?Abbrechen");
        tmp->Close();
        EXPECT_EQ(response, c.okEnabled ? RESPONSE_COMPLETED : RESPONSE_CANCELLED);
        CKosten read;
        ASSERT_EQ(read.ImportEco(eco), CKosten::RESULT_DONE);
        EXPECT_EQ(read.KOSTEN.GetReal("STUNDENLOHN"), c.wage) << int(c.request);
        EXPECT_EQ(read.KOSTEN.GetString("LZBEZEICHNUNG"), "Schmutzzulage");
    }
}

// A record that cannot be written back is reported and the form stays open with the edit.
TEST_F(KostenDialog, AFailedWriteBackIsReportedAndKeepsTheForm) {
    OpenOnFile(MakeEco("weg.eco", 31.5));
    ASSERT_FALSE(HasFailure());
    PendingRequest = 2;
    int response = 0;
    driver.Start([&] { response = KostenFrameWindow()(); });
    w = driver.Window(kTitle);
    Type("STUNDENLOHN", "27");
    ASSERT_EQ(FileClose(TMPKOST), ERR_NONE);   // the file goes away under the form
    driver.Press(w, "?OK");
    ASSERT_TRUE(driver.HasMessage());
    EXPECT_EQ(driver.Message().caption, "Datei kann nicht gespeichert werden");
    driver.AnswerMessage(BUTTON_OK);
    EXPECT_FALSE(driver.Ended());
    EXPECT_EQ(Shown("STUNDENLOHN"), "27,00");
    Finish("?Abbrechen");
    EXPECT_EQ(response, RESPONSE_CANCELLED);
}

} // namespace
