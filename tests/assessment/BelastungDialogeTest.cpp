// The strain dialogs: the browse by weekday with its edit flow (collisions, cancelling), the
// checks of the form, import and export, the constants of eba.cfg and the stand-alone editor.
#include "assessment/BelastungDialoge.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "assessment/Belastungseinschaetzungen.h"
#include "assessment/KriterienBelastung.h"
#include "core/Files.h"
#include "core/Frame.h"
#include "platform/fw/FwFileManager.h"
#include "platform/fw/FwWindow.h"
#include "platform/headless/HeadlessDriver.h"
#include "platform/records/RecordFile.h"
#include "platform/ui/MessageShow.h"

namespace fs = std::filesystem;

namespace {

constexpr uint32_t H(int hours) { return static_cast<uint32_t>(hours * 60); }

CBelastungseinschaetzung Assessment(const std::string& name, uint8_t days, uint32_t from, uint32_t to, uint32_t sysid)
{
    CBelastungseinschaetzung a;
    a.TAETIGKEIT = name;
    a.WOCHENTAGE = days;
    a.TERMIN = {from, to};
    a.SYSID = sysid;
    for (int n = 1; n <= 18; ++n)
        if (CBelastungseinschaetzung::IsRatedItem(n))
            a.SetItem(n, 4);
    return a;
}

// ---- the checks of the form ----------------------------------------------------------------------

TEST(BelastungCheckTest, FirstFailedCheckNamesItsMessageAndField)
{
    CBelastungseinschaetzung rated;
    rated.SetItem(9, 2);
    const CBelastungseinschaetzung unrated;
    struct Case {
        const CBelastungseinschaetzung* record;
        uint8_t days;
        std::string begin, end;
        std::string caption;   // "" passes
        BelastungCheck::Field field;
    };
    const Case cases[] = {
        {&unrated, 0, "", "", "Bitte Belastungswerte eintragen", BelastungCheck::NONE},
        {&rated, 0, "06:00", "14:00", "Bitte Wochentage wählen", BelastungCheck::MONDAY},
        {&rated, 1, "  ", "14:00", "Bitte Beginn der Tätigkeit angeben", BelastungCheck::BEGINN},
        {&rated, 1, "06:00", "", "Bitte Ende der Tätigkeit angeben", BelastungCheck::ENDE},
        {&rated, 1, "22:00", "06:00", "Anfang und Ende bitte in chronologischer Reihenfolge angeben", BelastungCheck::BEGINN},
        {&rated, 1, "06:00", "06:00", "Anfang und Ende bitte in chronologischer Reihenfolge angeben", BelastungCheck::BEGINN},
        {&rated, 64, "23:00", "24:00", "", BelastungCheck::NONE},   // a midnight end follows any begin
        {&rated, 1, "06:00", "14:00", "", BelastungCheck::NONE},    // one rated item is enough
    };
    for (const auto& c : cases) {
        const BelastungCheck r = CheckBelastungseinschaetzung(*c.record, c.days, c.begin, c.end);
        EXPECT_EQ(r.caption, c.caption) << c.begin << "-" << c.end;
        EXPECT_EQ(r.field, c.field) << c.begin << "-" << c.end;
        EXPECT_EQ(r.text.empty(), c.caption.empty());
    }
}

TEST(BelastungCheckTest, CompleteOnlyWhenEveryRatedItemIsAboveZero)
{
    CBelastungseinschaetzung a = Assessment("x", 1, 0, 60, 1);
    EXPECT_TRUE(BelastungVollstaendig(a));
    a.SetItem(17, 0);
    EXPECT_FALSE(BelastungVollstaendig(a));
    a.SetItem(17, 1);
    a.SetItem(11, 0);   // an unused slot does not count
    EXPECT_TRUE(BelastungVollstaendig(a));
}

// ---- the windows -------------------------------------------------------------------------------

const CBelastungseinschaetzung kFruehdienst = Assessment("Frühdienst", 31, H(6), H(14), 11);

class BelastungDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string t = (fs::temp_directory_path() / "varnbeldlgXXXXXX").string();
        ASSERT_NE(::mkdtemp(t.data()), nullptr);
        dir = t;
        InitFileAccess();
        Access::TMPBEL->SetName(dir + "/Belastungseinschaetzungen.tmp");
        Access::EBA->SetName(dir + "/eba.cfg");
        SetMessageHook([this](const MessageRequest& m) {
            shown.push_back(m);
            return MessageDefaultAnswer(m);
        });
        PendingRequest = 2;
    }
    void TearDown() override
    {
        SetMessageHook({});
        ReleaseFileAccess();
        for (const ProgramFile& f : ProgramFiles())
            if (FileIsOpen(*f.file))
                FileClose(*f.file);
        fs::remove_all(dir);
    }

    void Fill(const std::vector<CBelastungseinschaetzung>& items)
    {
        CBelastungseinschaetzungen list;
        for (const auto& a : items)
            list.Add(a);
        ASSERT_EQ(list.WriteToFile(*Access::TMPBEL), 0);
    }
    std::vector<CBelastungseinschaetzung> InFile()
    {
        CBelastungseinschaetzungen list;
        EXPECT_EQ(list.ReadFromFile(*Access::TMPBEL, true), 0);
        std::vector<CBelastungseinschaetzung> out;
        for (size_t i = 1; i <= list.Count(); ++i)
            out.push_back(*list.Get(i));
        return out;
    }

    void OpenBrowse()
    {
        driver.Start([this] { answer = BrowseBelastungseinschaetzungen(); });
        b = driver.Window("Belastungseinschätzung");
        list = driver.Control(b, "?Liste");
    }
    void Tab(const std::string& day) { driver.Choose(b, driver.Control(b, day)); }
    int64_t Rows() { return driver.RowCount(b, list); }
    int Form() { return driver.Window("Belastungseinschätzung bearbeiten"); }
    // Rates item 1 of the physical page in the open form.
    void RateItem1(int f, int value)
    {
        driver.Choose(f, driver.Control(f, "Körperliche Belastung"));
        driver.Choose(f, driver.Control(f, "?Item1") + value);
    }
    void TypeTimes(int f, const std::string& begin, const std::string& end)
    {
        driver.Type(f, driver.Control(f, "?Beginn"), begin);
        driver.Type(f, driver.Control(f, "?Ende"), end);
    }
    // Next to the Monday-Friday 06:00-14:00 assessment of kFruehdienst, inserts 13:00-22:00 on
    // Friday; the form that opens again after the collision.
    int InsertCollidingFridayAssessment()
    {
        OpenBrowse();
        Tab("Freitag");
        driver.Press(b, "&Einfügen");
        const int f = Form();
        TypeTimes(f, "13:00", "22:00");
        RateItem1(f, 5);
        driver.Press(f, "?OK");
        return Form();
    }
    bool Shown(const std::string& caption) const
    {
        for (const auto& m : shown)
            if (m.caption == caption)
                return true;
        return false;
    }

    std::string dir;
    std::vector<MessageRequest> shown;
    HeadlessDriver driver;
    int b = 0, list = 0;
    int answer = 0;
};

TEST_F(BelastungDialogTest, EachWeekdayTabListsItsAssessments)
{
    Fill({Assessment("Frühdienst", 31, H(6), H(14), 11), Assessment("Nachtwache", 64, H(22), H(24), 22)});
    OpenBrowse();
    EXPECT_EQ(Rows(), 1);   // opens on Monday
    EXPECT_EQ(driver.Cell(b, list, 1, 1), "Frühdienst");
    EXPECT_EQ(driver.Cell(b, list, 1, 3), "06:00");
    Tab("Freitag");
    EXPECT_EQ(Rows(), 1);
    Tab("Samstag");
    EXPECT_EQ(Rows(), 0);
    Tab("Sonntag");
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(driver.Cell(b, list, 1, 4), "24:00");
    EXPECT_FALSE(driver.Disabled(b, driver.Control(b, "&Export")));
    driver.Press(b, "?OK");
    driver.WaitEnd();
    EXPECT_EQ(answer, RESPONSE_COMPLETED);
}

TEST_F(BelastungDialogTest, ChangingTheWeekdaysMovesTheAssessment)
{
    Fill({Assessment("Frühdienst", 31, H(6), H(14), 11)});
    OpenBrowse();
    driver.Press(b, "&Ändern");
    int f = Form();
    for (const char* day : {"?Mo", "?Di", "?Mi", "?Do", "?Fr"})
        driver.Check(f, driver.Control(f, day), false);
    driver.Check(f, driver.Control(f, "?Sa"), true);
    driver.Press(f, "?OK");
    EXPECT_EQ(Rows(), 0);
    Tab("Samstag");
    EXPECT_EQ(Rows(), 1);
    ASSERT_EQ(InFile().size(), 1u);
    EXPECT_EQ(InFile()[0].WOCHENTAGE, 32);
    EXPECT_EQ(InFile()[0].SYSID, 11u);
    driver.Press(b, "Abbrechen");
    driver.WaitEnd();
    EXPECT_EQ(answer, RESPONSE_CANCELLED);
}

TEST_F(BelastungDialogTest, InsertTicksTheTabsDayAndNeedsARating)
{
    OpenBrowse();
    EXPECT_TRUE(driver.Disabled(b, driver.Control(b, "&Export")));
    Tab("Mittwoch");
    driver.Press(b, "&Einfügen");
    int f = Form();
    EXPECT_TRUE(driver.Property(f, driver.Control(f, "?Mi"), Prop::Checked).Bool());
    EXPECT_FALSE(driver.Property(f, driver.Control(f, "?Mo"), Prop::Checked).Bool());
    EXPECT_EQ(driver.Text(f, driver.Control(f, "?Beginn")), "");
    TypeTimes(f, "13", "0");
    EXPECT_EQ(driver.Text(f, driver.Control(f, "?Beginn")), "13:00");
    EXPECT_EQ(driver.Text(f, driver.Control(f, "?Ende")), "24:00");
    driver.Press(f, "?OK");
    EXPECT_TRUE(Shown("Bitte Belastungswerte eintragen"));
    EXPECT_TRUE(InFile().empty());

    // The tree beside the items marks a rated item with its own icon.
    const int tree = driver.Control(f, "?Baum1");
    EXPECT_FALSE(driver.Property(f, tree, Prop::IconList, 3).IsText());
    RateItem1(f, 7);
    EXPECT_EQ(driver.Property(f, tree, Prop::IconList, 3).Str(), "~CHECKED.ICO");
    driver.Press(f, "?OK");
    EXPECT_EQ(driver.FindWindow("Belastungseinschätzung bearbeiten"), 0);
    const auto stored = InFile();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].WOCHENTAGE, 4);
    EXPECT_EQ(stored[0].TERMIN.BEGINN, H(13));
    EXPECT_EQ(stored[0].TERMIN.ENDE, H(24));
    EXPECT_EQ(stored[0].Item(1), 7);
    EXPECT_NE(stored[0].SYSID, 0u);
    EXPECT_EQ(Rows(), 1);
    EXPECT_FALSE(driver.Disabled(b, driver.Control(b, "&Export")));
    driver.Press(b, "?OK");
    driver.WaitEnd();
}

TEST_F(BelastungDialogTest, ItemSixShowsItsFactorsInPlaceOfTheScale)
{
    OpenBrowse();
    driver.Press(b, "&Einfügen");
    int f = Form();
    driver.Choose(f, driver.Control(f, "Körperliche Belastung"));
    const int gering = driver.Control(f, "gering:"), klima = driver.Control(f, "Klima:");
    EXPECT_FALSE(driver.Hidden(f, gering));
    EXPECT_TRUE(driver.Hidden(f, klima));
    driver.Choose(f, driver.Control(f, "Item 6"));
    EXPECT_TRUE(driver.Hidden(f, gering));
    EXPECT_FALSE(driver.Hidden(f, klima));
    driver.Choose(f, driver.Control(f, "?Item6") + 2);   // "ja"
    driver.Choose(f, driver.Control(f, "Tätigkeit"));
    TypeTimes(f, "08:00", "09:00");
    driver.Press(f, "?OK");
    ASSERT_EQ(InFile().size(), 1u);
    EXPECT_EQ(InFile()[0].Item(6), 8);
    driver.Press(b, "?OK");
    driver.WaitEnd();
}

TEST_F(BelastungDialogTest, CollidingInsertReopensTheFormAndCancelLeavesTheFileAsBefore)
{
    Fill({kFruehdienst});
    const auto before = InFile();
    const int f = InsertCollidingFridayAssessment();
    EXPECT_TRUE(Shown("Belastungseinschätzungen überschneiden sich"));
    EXPECT_EQ(driver.Text(f, driver.Control(f, "?Beginn")), "13:00");
    driver.Press(f, "?Abbrechen");
    EXPECT_EQ(InFile(), before);
    EXPECT_EQ(Rows(), 1);
    driver.Press(b, "?OK");
    driver.WaitEnd();
}

TEST_F(BelastungDialogTest, CollisionCorrectedInTheReopenedFormIsKept)
{
    Fill({kFruehdienst});
    const int f = InsertCollidingFridayAssessment();
    driver.Choose(f, driver.Control(f, "Tätigkeit"));
    TypeTimes(f, "14:00", "22:00");
    driver.Press(f, "?OK");
    const auto stored = InFile();
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[1].TERMIN.BEGINN, H(14));
    EXPECT_EQ(Rows(), 2);
    driver.Press(b, "?OK");
    driver.WaitEnd();
}

TEST_F(BelastungDialogTest, DeleteRemovesTheSelectedAssessment)
{
    Fill({Assessment("Frühdienst", 1, H(6), H(14), 11), Assessment("Spätdienst", 1, H(14), H(22), 22)});
    OpenBrowse();
    driver.ChooseRow(b, list, 2);
    driver.Press(b, "&Löschen");
    // The form shows the assessment as it is, nothing to change, and says that OK deletes it.
    const int f = Form();
    EXPECT_EQ(driver.Text(f, driver.Control(f, "?Loeschhinweis")), "Mit OK wird diese Belastungseinschätzung gelöscht.");
    for (const char* field : {"?Bezeichnung", "?Beginn", "?Ende"})
        EXPECT_TRUE(driver.Property(f, driver.Control(f, field), Prop::ReadOnly).Bool()) << field;
    for (const char* choice : {"?Mo", "?So", "?Item1", "?Item6"})
        EXPECT_TRUE(driver.Disabled(f, driver.Control(f, choice))) << choice;
    driver.Press(f, "?OK");
    const auto stored = InFile();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].SYSID, 11u);
    driver.Press(b, "?OK");
    driver.WaitEnd();
}

TEST_F(BelastungDialogTest, ViewModeEditsNothing)
{
    Fill({Assessment("Frühdienst", 1, H(6), H(14), 11)});
    PendingRequest = 6;
    OpenBrowse();
    driver.Press(b, "&Ändern");
    EXPECT_EQ(driver.FindWindow("Belastungseinschätzung bearbeiten"), 0);
    driver.Press(b, "Abbrechen");
    driver.WaitEnd();
}

TEST_F(BelastungDialogTest, ImportIntoAFilledBrowseAsksFirstAndNoIsTheDefault)
{
    Fill({Assessment("Frühdienst", 1, H(6), H(14), 11)});
    OpenBrowse();
    driver.Press(b, "&Import");
    ASSERT_TRUE(Shown("EBA Datei importieren?"));
    EXPECT_EQ(shown.back().defaultButton, BUTTON_NO);
    EXPECT_FALSE(driver.HasFileDialog());   // the default answer ended the action
    EXPECT_EQ(InFile().size(), 1u);
    driver.Press(b, "?OK");
    driver.WaitEnd();
}

TEST_F(BelastungDialogTest, ImportReplacesAllAndAFailedOneChangesNothing)
{
    CBelastungseinschaetzungen file;
    file.Add(Assessment("Import A", 3, H(8), H(12), 31));
    file.Add(Assessment("Import B", 3, H(12), H(16), 32));
    ASSERT_EQ(file.ExportEba(dir + "/station.eba"), 0);
    OpenBrowse();   // empty: no question
    driver.Press(b, "&Import");
    EXPECT_FALSE(Shown("EBA Datei importieren?"));
    ASSERT_TRUE(driver.HasFileDialog());
    driver.AnswerFileDialog(dir + "/station.eba");
    driver.WaitIdle();
    EXPECT_EQ(InFile().size(), 2u);
    EXPECT_EQ(Rows(), 2);

    // A missing file is refused with its warning; TMPBEL keeps what it had.
    SetMessageHook([this](const MessageRequest& m) {
        shown.push_back(m);
        return m.caption == "EBA Datei importieren?" ? int(BUTTON_YES) : MessageDefaultAnswer(m);
    });
    driver.Press(b, "&Import");
    ASSERT_TRUE(driver.HasFileDialog());
    driver.AnswerFileDialog(dir + "/fehlt.eba");
    driver.WaitIdle();
    EXPECT_TRUE(Shown("Datei kann nicht geöffnet werden"));
    EXPECT_EQ(InFile().size(), 2u);
    driver.Press(b, "?OK");
    driver.WaitEnd();
}

TEST_F(BelastungDialogTest, ExportWritesTheAssessments)
{
    Fill({Assessment("Frühdienst", 1, H(6), H(14), 11)});
    OpenBrowse();
    driver.Press(b, "&Export");
    ASSERT_TRUE(driver.HasFileDialog());
    driver.AnswerFileDialog(dir + "/aus");
    driver.WaitIdle();
    CBelastungseinschaetzungen read;
    ASSERT_EQ(read.ImportEba(dir + "/aus.eba"), 0);
    EXPECT_EQ(read.Count(), 1u);
    driver.Press(b, "?OK");
    driver.WaitEnd();
}

TEST_F(BelastungDialogTest, EmptyConstantsFileGetsOneRecordOfZerosOpenedForEditing)
{
    OpenBrowse();
    driver.Press(b, "?Konstanten");
    int k = driver.Window("EBA Konstanten definieren");
    EXPECT_EQ(driver.Text(k, driver.Control(k, "?G9_15")), "0,00");
    driver.Choose(k, driver.Control(k, "Kumulationseffekt / sonstiges"));
    driver.Type(k, driver.Control(k, "?BELA_GRENZE"), "123,45");
    driver.Press(k, "?OK");
    driver.Press(b, "?OK");
    driver.WaitEnd();

    ASSERT_EQ(FileOpen(EBA), ERR_NONE);
    EXPECT_EQ(FileRecords(EBA), 1);
    FileSet(EBA);
    ASSERT_EQ(FileNext(EBA), ERR_NONE);
    EXPECT_DOUBLE_EQ(EBA.GetReal("BELA_GRENZE"), 123.45);
    EXPECT_DOUBLE_EQ(EBA.GetReal("GEWICHTUNG_1", 1), 0.0);
    FileClose(EBA);

    // The next time the record is there: shown, and no second one is added.
    OpenBrowse();
    driver.Press(b, "?Konstanten");
    k = driver.Window("EBA Konstanten definieren");
    driver.Choose(k, driver.Control(k, "Kumulationseffekt / sonstiges"));
    EXPECT_EQ(driver.Text(k, driver.Control(k, "?BELA_GRENZE")), "123,45");
    driver.Press(k, "?Abbrechen");
    driver.Press(b, "?OK");
    driver.WaitEnd();
    ASSERT_EQ(FileOpen(EBA), ERR_NONE);
    EXPECT_EQ(FileRecords(EBA), 1);
    FileClose(EBA);
}

TEST_F(BelastungDialogTest, StandAloneEditorRestoresTheFileWhenCancelled)
{
    Fill({Assessment("Frühdienst", 1, H(6), H(14), 11)});
    const auto before = InFile();
    driver.Start([this] { answer = BelastungsdateiBearbeiten()(); });
    b = driver.Window("Belastungseinschätzung");
    list = driver.Control(b, "?Liste");
    driver.Press(b, "&Löschen");
    driver.Press(Form(), "?OK");
    EXPECT_TRUE(InFile().empty());
    driver.Press(b, "Abbrechen");
    driver.WaitEnd();
    EXPECT_EQ(answer, RESPONSE_CANCELLED);
    EXPECT_EQ(InFile(), before);
}

TEST_F(BelastungDialogTest, FailedWriteIsReportedAndTheListKeepsWhatTheFileHolds)
{
    Fill({Assessment("Frühdienst", 1, H(6), H(14), 11)});
    const std::string path = Access::TMPBEL->GetName();
    driver.Start([this] { answer = BelastungsdateiBearbeiten()(); });
    b = driver.Window("Belastungseinschätzung");
    list = driver.Control(b, "?Liste");
    // From here on the file cannot be written.
    Access::TMPBEL->SetName(dir + "/fehlt/Belastungseinschaetzungen.tmp");
    driver.Press(b, "&Löschen");
    driver.Press(Form(), "?OK");
    EXPECT_TRUE(Shown("Datei kann nicht gespeichert werden"));
    EXPECT_EQ(Rows(), 1);
    shown.clear();
    driver.Press(b, "Abbrechen");   // the editor's own restore fails too, and says so
    driver.WaitEnd();
    EXPECT_TRUE(Shown("Datei kann nicht gespeichert werden"));
    Access::TMPBEL->SetName(path);
    EXPECT_EQ(InFile().size(), 1u);
}

TEST_F(BelastungDialogTest, UnreadableFileIsNotShownAsEmpty)
{
    const std::string path = dir + "/kaputt.eba";
    {
        std::ofstream out(path, std::ios::binary);
        out << "keine EBA-Datei";
    }
    Access::TMPBEL->SetName(path);
    driver.Start([this] { answer = BelastungsdateiBearbeiten()(); });
    driver.WaitEnd();
    EXPECT_EQ(answer, RESPONSE_CANCELLED);
    EXPECT_TRUE(Shown("Datei kann nicht geöffnet werden"));
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "keine EBA-Datei");
}

TEST_F(BelastungDialogTest, NoticeAndHourlyFiguresOpenAndClose)
{
    EBA_RECHENWERTE werte;
    werte.ANZRWG[0] = 17;
    werte.BELA_SUM[23] = 1.005;
    driver.Start([&] {
        EBAHinweis();
        ViewEbaDaten(werte);
    });
    int h = driver.Window("Hinweis zur EBA Einschätzung");
    EXPECT_NE(driver.Control(h, "Bitte beachten Sie:"), 0);
    driver.Press(h, "?OK");
    int v = driver.Window("EBA Rechenwerte");
    int table = driver.Control(v, "?Werte");
    ASSERT_EQ(driver.RowCount(v, table), 24);
    EXPECT_EQ(driver.Cell(v, table, 1, 1), "1");
    EXPECT_EQ(driver.Cell(v, table, 1, 2), "17,00");
    EXPECT_EQ(driver.Cell(v, table, 24, 1), "24");
    driver.Press(v, "Schließen");
    driver.WaitEnd();
}

} // namespace
