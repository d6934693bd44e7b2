// The definitions dialog, the defaults window and the warning texts on the installed
// configuration (a copy of it): field checks as they are accepted, the modes, OK and cancel, the
// rule of one dialog at a time, and warning texts longer than a list cell.
#include "assessment/DefinitionsDialog.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "assessment/Definitionspool.h"
#include "assessment/KriteriumZeile.h"
#include "assessment/Rahmenbedingungen.h"
#include "assessment/VorgabenDialoge.h"
#include "core/Files.h"
#include "core/Frame.h"
#include "platform/fw/FwFileManager.h"
#include "platform/headless/HeadlessDriver.h"
#include "platform/records/RecordFile.h"
#include "platform/ui/MessageShow.h"

#include "InstalledDefaultsSupport.h"

namespace fs = std::filesystem;

namespace {

constexpr int32_t T(int hours, int minutes = 0) { return hours * 360'000 + minutes * 6'000 + 1; }

constexpr const char* kTitle = "Definitionspool";
constexpr const char* kRefused = "Diese Einstellung ist nicht erlaubt";
constexpr const char* kWarned = "Einstellung ist nur unter Voraussetzungen erlaubt";
constexpr const char* kBusy = "Definitionspool wird bearbeitet";

// Every record of a table, as bytes.
std::vector<std::vector<uint8_t>> Records(RecordFile& file)
{
    std::vector<std::vector<uint8_t>> out;
    if (FileOpen(file, FILE_READ_ONLY) != ERR_NONE)
        return out;
    FileSet(file);
    while (FileNext(file) == ERR_NONE)
        out.emplace_back(file.Bytes().begin(), file.Bytes().end());
    FileClose(file);
    return out;
}

// A worksheet for the dialog's two buttons; the strain button can run something else instead.
class Owner : public IDefinitionspoolOwner {
public:
    CBelastungseinschaetzungen* GetBelastungseinschaetzungen() override { return nullptr; }
    CKosten* GetKosten() override { return nullptr; }
    void OnDefinitionsChanged() override { ++changed; }
    void EditBelastung() override
    {
        if (onBelastung)
            onBelastung();
    }
    int changed = 0;
    std::function<void()> onBelastung;
};

class DefinitionsDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* installed = std::getenv("VARN_INSTALL_DIR");
        const fs::path from = installed ? fs::path(installed) : fs::current_path() / ".." / "app";
        ASSERT_TRUE(fs::exists(from / "varn4.cfg")) << (from / "varn4.cfg");
        char name[] = "/tmp/varn-defdlg-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir = name;
        for (const char* f : {"varn4.cfg", "eba.cfg", "deutsch.env"})
            fs::copy_file(from / f, dir / f);
        InitFileAccess();
        NameProgramFiles(dir.string());
        ASSERT_NO_FATAL_FAILURE(ReadInstalledDefaults());
        InstallDefinitionsDialog();
    }
    void TearDown() override
    {
        driver.reset();
        CDefinitionspool::SetDialogProcedure({});
        ReleaseFileAccess();
        for (const ProgramFile& f : ProgramFiles())
            if (FileIsOpen(*f.file))
                FileClose(*f.file);
        fs::remove_all(dir);
    }

    void Start(std::function<void()> main)
    {
        driver.reset();   // one driver at a time: it is the host of the run
        driver = std::make_unique<HeadlessDriver>();
        driver->Start(std::move(main));
    }
    void Open(uint8_t mode, long kriterium = 0, IDefinitionspoolOwner* owner = nullptr)
    {
        Start([this, mode, kriterium, owner] { response = UpdateDefinitionsmanager(mode, kriterium, owner); });
        w = driver->Window(kTitle);
    }
    int C(const std::string& name) const { return driver->Control(w, name); }
    void On(const std::string& tab) { driver->Choose(w, C(tab)); }
    std::string Shown(const std::string& name) const { return driver->Text(w, C(name)); }
    int Focus() const { return static_cast<int>(driver->Property(w, 0, Prop::Focus).Int()); }
    // The caption of the message on the screen, answered with OK; "" when none.
    std::string Answer()
    {
        if (!driver->HasMessage())
            return {};
        const std::string caption = driver->Message().caption;
        driver->AnswerMessage(BUTTON_OK);
        return caption;
    }
    void Finish(const std::string& button)
    {
        driver->Press(w, button);
        driver->WaitEnd();
    }

    fs::path dir;
    std::unique_ptr<HeadlessDriver> driver;
    int w = 0;
    int response = 0;
};

// ---- checks as the fields are accepted -------------------------------------------------------

TEST_F(DefinitionsDialogTest, AcceptedFieldsAreCheckedAgainstTheirLimits)
{
    struct Case {
        const char* tab;
        const char* field;
        const char* typed;
        const char* message;   // caption, "" for none
        int64_t stored;
        const char* shown;
    };
    const Case cases[] = {
        {"Ruhezeit", "RZ_DAUER_OHNE_AUSGLEICH", "08:00", kRefused, T(9), "09:00"},
        {"Ruhezeit", "RZ_DAUER_OHNE_AUSGLEICH", "10:00", kWarned, T(10), "10:00"},
        {"Ruhezeit", "RZ_DAUER_OHNE_AUSGLEICH", "12:00", "", T(12), "12:00"},
        {"Schichten", "SL_DAUER_MAX", "11:30", kRefused, T(10, 45), "10:45"},
        {"Arbeitszeit", "KONTAZ_MAX", "7", kWarned, 7, "7"},
        {"Wochenende", "FREIE_SONNTAGE", "3", kRefused, 6, "6"},
        {"Nachtschlaf", "NS_EINZELSTOERUNGEN", "9", kRefused, 7, "7"},
    };
    Open(DEFINITIONS_AZP | DEFINITIONS_SCHICHTEN);
    const int elsewhere = C("?OK");
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " " + c.typed);
        On(c.tab);
        const int field = C(std::string("?") + c.field);
        {
            // The user types and moves on to another field before the window takes the value.
            Runtime::HostBaton b;
            ASSERT_EQ(InputType(w, field, c.typed), "");
            ASSERT_EQ(InputFocus(w, elsewhere), "");
        }
        driver->WaitIdle();
        ASSERT_EQ(Answer(), c.message);
        EXPECT_FALSE(driver->HasMessage());
        EXPECT_EQ(RB.GetInt(c.field), c.stored);
        EXPECT_EQ(Shown(std::string("?") + c.field), c.shown);
        // Only a refused value takes the focus back to its field.
        EXPECT_EQ(Focus() == field, std::string(c.message) == kRefused);
    }
    Finish("Abbrechen");
    EXPECT_EQ(response, RESPONSE_CANCELLED);
}

TEST_F(DefinitionsDialogTest, AFieldLeftWithTabOrEnterIsCheckedAsWhenLeftWithTheMouse)
{
    struct Case {
        const char* tab;
        const char* field;
        const char* typed;
        int key;
        const char* message;   // caption, "" for none
        int64_t stored;
        const char* shown;
    };
    const Case cases[] = {
        {"Ruhezeit", "RZ_DAUER_OHNE_AUSGLEICH", "08:00", Key::TAB, kRefused, T(9), "09:00"},
        {"Ruhezeit", "RZ_DAUER_OHNE_AUSGLEICH", "07:00", Key::SHIFT_TAB, kRefused, T(9), "09:00"},
        {"Ruhezeit", "RZ_DAUER_OHNE_AUSGLEICH", "06:00", Key::ENTER, kRefused, T(9), "09:00"},
        {"Ruhezeit", "RZ_DAUER_OHNE_AUSGLEICH", "10:00", Key::TAB, kWarned, T(10), "10:00"},
        {"Ruhezeit", "RZ_DAUER_OHNE_AUSGLEICH", "10:30", Key::ENTER, kWarned, T(10, 30), "10:30"},
        // Text that is no time: the stored value comes back, without a check (and warning) of it.
        {"Ruhezeit", "RZ_DAUER_OHNE_AUSGLEICH", "zwölf", Key::TAB, "", T(10, 30), "10:30"},
        {"Ruhezeit", "RZ_DAUER_OHNE_AUSGLEICH", "12:00", Key::TAB, "", T(12), "12:00"},
        // Left again unchanged: no second message.
        {"Ruhezeit", "RZ_DAUER_OHNE_AUSGLEICH", "12:00", Key::TAB, "", T(12), "12:00"},
        {"Arbeitszeit", "WTAZ_OHNE_AUSGLEICH", "16:00", Key::TAB, kRefused, T(10), "10:00"},
        {"Arbeitszeit", "WTAZ_OHNE_AUSGLEICH", "17:00", Key::ENTER, kRefused, T(10), "10:00"},
        {"Schichten", "SL_DAUER_MAX", "11:30", Key::TAB, kRefused, T(10, 45), "10:45"},
    };
    Open(DEFINITIONS_AZP | DEFINITIONS_SCHICHTEN);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " " + c.typed + " key " + std::to_string(c.key));
        On(c.tab);
        const int field = C(std::string("?") + c.field);
        {
            // Typed, not yet taken: only the screen holds it.
            Runtime::HostBaton b;
            ASSERT_EQ(InputFocus(w, field), "");
            PropertySet(w, field, Prop::ScreenText, std::string(c.typed), 0);
        }
        driver->Key(w, field, c.key);
        ASSERT_EQ(Answer(), c.message);
        EXPECT_FALSE(driver->HasMessage());
        EXPECT_EQ(RB.GetInt(c.field), c.stored);
        EXPECT_EQ(Shown(std::string("?") + c.field), c.shown);
        EXPECT_EQ(Focus(), field);
    }
    Finish("Abbrechen");
}

TEST_F(DefinitionsDialogTest, NightStartOf2400IsStoredAsMidnightAndShownAs2400)
{
    Open(DEFINITIONS_AZP | DEFINITIONS_SCHICHTEN);
    On("Ruhezeit");
    driver->Type(w, C("?NACHTAZ_ANFANG"), "24:00");
    EXPECT_EQ(Answer(), kWarned);   // 24:00 is not the usual 23:00
    EXPECT_EQ(RB.GetInt("NACHTAZ_ANFANG"), T(0));
    EXPECT_EQ(Shown("?NACHTAZ_ANFANG"), "24:00");
    // The end follows: 00:00 + 7 hours.
    EXPECT_EQ(Shown("?NACHTAZ_ENDE"), "07:00");

    // Any time entry takes a typed "24" as "00" when it is left by an alert key.
    const int end = C("?WE_ENDZEIT");
    On("Wochenende");
    {
        Runtime::HostBaton b;
        ASSERT_EQ(InputFocus(w, end), "");
        PropertySet(w, end, Prop::ScreenText, "24:30", 0);
    }
    driver->Key(w, end, Key::TAB);
    EXPECT_EQ(RB.GetInt("WE_ENDZEIT"), T(0, 30));
    Finish("Abbrechen");
}

TEST_F(DefinitionsDialogTest, CompensationSwitchedOnTakesTheWarningLimitAndWarnsAtOnce)
{
    Open(DEFINITIONS_AZP | DEFINITIONS_SCHICHTEN);
    On("Ruhezeit");
    EXPECT_TRUE(driver->Disabled(w, C("?RZ_DAUER_MIT_AUSGLEICH")));
    driver->Check(w, C("?RZ_AUSGLEICH"), true);
    EXPECT_EQ(Answer(), kWarned);
    EXPECT_EQ(RB.GetInt("RZ_DAUER_MIT_AUSGLEICH"), T(10));
    EXPECT_FALSE(driver->Disabled(w, C("?RZ_DAUER_MIT_AUSGLEICH")));
    driver->Check(w, C("?RZ_AUSGLEICH"), false);
    EXPECT_EQ(RB.GetInt("RZ_DAUER_MIT_AUSGLEICH"), 0);
    EXPECT_TRUE(driver->Disabled(w, C("?RZ_DAUER_MIT_AUSGLEICH")));

    // "-" in a weekend day list stands for Sunday.
    On("Wochenende");
    driver->ChooseRow(w, C("?WE_ANFANGSTAG"), 3);
    Answer();
    EXPECT_EQ(RB.GetInt("WE_ANFANGSTAG"), 7);
    Finish("Abbrechen");
}

// ---- the modes -----------------------------------------------------------------------------

TEST_F(DefinitionsDialogTest, ModeBitsDecideWhatIsShownEnabledAndWhereTheWindowOpens)
{
    struct Case {
        uint8_t mode;
        int tab;                 // the tab the window opens on
        bool arbeitszeit, schichten;   // those tabs enabled
        bool singles;            // KR11 .. KR16 shown (else the combined boxes)
        bool panel;              // the criteria panel shown
        bool thresholds;         // the first two break thresholds editable
    };
    const Case cases[] = {
        {DEFINITIONS_AZP, 1, true, false, true, true, false},
        {DEFINITIONS_SCHICHTEN, 6, false, true, false, true, false},
        {DEFINITIONS_AZP | DEFINITIONS_SCHICHTEN, 1, true, true, true, true, false},
        {DEFINITIONS_AZP | DEFINITIONS_SCHICHTEN | DEFINITIONS_GRENZWERTE, 1, true, true, true, false, true},
    };
    int fullWidth = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        Open(c.mode);
        EXPECT_EQ(driver->Property(w, C("?SHEET"), Prop::Selected).Int(), c.tab);
        EXPECT_EQ(driver->Disabled(w, C("Arbeitszeit")), !c.arbeitszeit);
        EXPECT_EQ(driver->Disabled(w, C("Wochenende")), !c.arbeitszeit);
        EXPECT_EQ(driver->Disabled(w, C("Schichten")), !c.schichten);
        EXPECT_EQ(driver->Property(w, C("?KRITERIEN1"), Prop::Hide).Bool(), !c.panel);
        EXPECT_EQ(driver->Property(w, C("?VERSCHIEBUNG"), Prop::Hide).Bool(), !c.thresholds);
        On("Nachtschlaf");
        EXPECT_EQ(driver->Hidden(w, C("?KRITERIUM11")), !c.singles || !c.panel);
        EXPECT_EQ(driver->Hidden(w, C("?KOMBINIERT11")), c.singles);
        EXPECT_EQ(driver->Hidden(w, C("?NS_EINZELSTOERUNGEN")), !c.singles);
        On("Ruhezeit");
        EXPECT_EQ(driver->Disabled(w, C("?AZ_AB_1")), !c.thresholds);
        const int width = static_cast<int>(driver->Property(w, 0, Prop::Width).Int());
        if (c.panel)
            fullWidth = width;
        else
            EXPECT_LT(width, fullWidth);
        if (c.mode == DEFINITIONS_AZP) {
            // The strain tab and the shift criteria belong to shift generation.
            EXPECT_TRUE(driver->Disabled(w, C("Belastung && Beanspruchung")));
            EXPECT_TRUE(driver->Disabled(w, C("?KR1_AKTIVIERT")));
            EXPECT_FALSE(driver->Disabled(w, C("?KR2_AKTIVIERT")));
        }
        if (c.mode == DEFINITIONS_SCHICHTEN) {
            EXPECT_TRUE(driver->Disabled(w, C("?KR2_AKTIVIERT")));
            EXPECT_FALSE(driver->Disabled(w, C("?KR6_AKTIVIERT")));
        }
        Finish("Abbrechen");
    }
}

TEST_F(DefinitionsDialogTest, OpenedForOneCriterionItsCheckBoxHasTheFocusAndIsMarked)
{
    Owner owner;
    Open(DEFINITIONS_AZP | DEFINITIONS_SCHICHTEN | DEFINITIONS_KRITERIUM, 17, &owner);
    const int check = C("?KR17_AKTIVIERT");
    EXPECT_EQ(Focus(), check);
    EXPECT_EQ(driver->Property(w, C("?SHEET"), Prop::Selected).Int(), 3);   // "Wochenende"
    EXPECT_EQ(driver->Property(w, check, Prop::Color).Int(), 254 + 220 * 256 + 226 * 65536);
    // With a worksheet the two buttons work.
    EXPECT_FALSE(driver->Disabled(w, C("?BELASTUNG")));
    Finish("Abbrechen");
}

TEST_F(DefinitionsDialogTest, CombinedBoxActivatesTheSecondOfItsPairOrSwitchesBothOff)
{
    KRI.SetInt("AKTIVIERT", 0, 11);
    KRI.SetInt("AKTIVIERT", 0, 12);
    Open(DEFINITIONS_SCHICHTEN);
    On("Nachtschlaf");
    const int box = C("?KOMBINIERT11");
    EXPECT_FALSE(driver->Property(w, box, Prop::Checked).Bool());
    driver->Check(w, box, true);
    EXPECT_EQ(KRI.GetInt("AKTIVIERT", 11), 0);
    EXPECT_EQ(KRI.GetInt("AKTIVIERT", 12), 1);
    KRI.SetInt("AKTIVIERT", 1, 11);
    driver->Check(w, box, false);
    EXPECT_EQ(KRI.GetInt("AKTIVIERT", 11), 0);
    EXPECT_EQ(KRI.GetInt("AKTIVIERT", 12), 0);
    Finish("Abbrechen");
}

// ---- OK, cancel and the limits mode -------------------------------------------------------------

TEST_F(DefinitionsDialogTest, OkPutsBackValuesBeyondErrorLimitsWithoutAMessage)
{
    RB.SetInt("SL_DAUER_MAX", T(12));
    Open(DEFINITIONS_AZP | DEFINITIONS_SCHICHTEN);
    Finish("OK");
    EXPECT_EQ(response, RESPONSE_COMPLETED);
    EXPECT_EQ(LastResponse, RESPONSE_COMPLETED);
    EXPECT_EQ(RB.GetInt("SL_DAUER_MAX"), T(10, 45));
}

TEST_F(DefinitionsDialogTest, LimitsModeChecksNothingEvenBeyondTheLimits)
{
    Open(DEFINITIONS_AZP | DEFINITIONS_SCHICHTEN | DEFINITIONS_GRENZWERTE);
    On("Ruhezeit");
    driver->Type(w, C("?RZ_DAUER_OHNE_AUSGLEICH"), "05:00");
    EXPECT_FALSE(driver->HasMessage());
    RB.SetInt("SL_DAUER_MAX", T(12));
    Finish("OK");
    EXPECT_EQ(response, RESPONSE_COMPLETED);
    EXPECT_EQ(RB.GetInt("RZ_DAUER_OHNE_AUSGLEICH"), T(5));
    EXPECT_EQ(RB.GetInt("SL_DAUER_MAX"), T(12));
}

// The defaults window: each editing button runs the dialog on its record; only OK writes it.
TEST_F(DefinitionsDialogTest, DefaultsWindowWritesItsRecordOnlyOnOk)
{
    struct Case {
        const char* button;
        RecordFile* record;
        const char* tab;
        const char* field;
        const char* typed;
        int64_t value;
        const char* finish;
    };
    const Case cases[] = {
        {"Grenzwerte für \"Warnung\"", &RBWARN, "Ruhezeit", "RZ_DAUER_OHNE_AUSGLEICH", "12:00", T(12), "Abbrechen"},
        {"Grenzwerte für \"Fehler\"", &RBFEHLER, "Ruhezeit", "RZ_DAUER_OHNE_AUSGLEICH", "05:00", T(5), "OK"},
        {"Vorgabewerte für Rahmenbedingungen", &RBDEFAULT, "Schichten", "SL_DAUER_MIN", "07:00", T(7), "OK"},
        {"Vorgabewerte für Rahmenbedingungen", &RBDEFAULT, "Schichten", "SL_DAUER_MIN", "05:00", T(5), "Abbrechen"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.button) + " " + c.finish);
        std::map<std::string, std::vector<std::vector<uint8_t>>> before;
        for (RecordFile* f : {&RBDEFAULT, &RBWARN, &RBFEHLER, &KRIDEFAULT, &WARNTXT})
            before[f->Name()] = Records(*f);
        const std::vector<uint8_t> buffer(c.record->Bytes().begin(), c.record->Bytes().end());
        const int64_t old = c.record->GetInt(c.field);

        int answer = 0;
        Start([&answer] { answer = UpdateVorgaben(); });
        driver->Press(driver->Window("Vorgaben bearbeiten"), c.button);
        w = driver->Window(kTitle);
        On(c.tab);
        driver->Type(w, C(std::string("?") + c.field), c.typed);
        EXPECT_FALSE(driver->HasMessage());   // limits and defaults are not checked
        driver->Press(w, c.finish);
        driver->WaitEnd();
        // The window is gone after any editing button.
        EXPECT_EQ(driver->FindWindow("Vorgaben bearbeiten"), 0);

        const bool ok = std::string(c.finish) == "OK";
        EXPECT_EQ(answer, ok ? RESPONSE_COMPLETED : RESPONSE_CANCELLED);
        for (RecordFile* f : {&RBDEFAULT, &RBWARN, &RBFEHLER, &KRIDEFAULT, &WARNTXT})
            if (!ok || f != c.record)
                EXPECT_EQ(Records(*f), before[f->Name()]) << f->Name();
        if (ok) {
            EXPECT_EQ(c.record->GetInt(c.field), c.value);
            const auto after = Records(*c.record);
            ASSERT_EQ(after.size(), 1u);
            RecordBuffer stored(static_cast<const RecordBuffer&>(*c.record));
            std::copy(after[0].begin(), after[0].end(), stored.Bytes().begin());
            EXPECT_EQ(stored.GetInt(c.field), c.value);
        } else {
            EXPECT_EQ(c.record->GetInt(c.field), old);
            EXPECT_TRUE(std::equal(buffer.begin(), buffer.end(), c.record->Bytes().begin()));
        }
    }
}

// ---- one dialog at a time ---------------------------------------------------------------------

TEST_F(DefinitionsDialogTest, RefusedSecondDialogKeepsTheFirstsEditsAndBlocksNothingAfterwards)
{
    Owner owner;
    CDefinitionspool first;
    first.SetArbeitsblatt(&owner);
    first.Apply();
    RB.SetInt("RZ_DAUER_OHNE_AUSGLEICH", T(12));
    CDefinitionspool second;
    second.Apply();
    RB.CopyFrom(RBDEFAULT);
    int direct = 0;
    // While the first pool's dialog is open, its strain button asks for two more dialogs: the
    // second pool's edit cycle and the dialog itself.
    owner.onBelastung = [&] {
        second.EditFromWorksheet();
        direct = UpdateDefinitionsmanager(DEFINITIONS_AZP, 0, nullptr);
    };

    Start([&] { first.EditFromWorksheet(); });
    w = driver->Window(kTitle);
    On("Ruhezeit");
    driver->Type(w, C("?RZ_DAUER_OHNE_AUSGLEICH"), "10:00");
    EXPECT_EQ(Answer(), kWarned);
    On("Belastung && Beanspruchung");
    driver->Press(w, "?BELASTUNG");
    EXPECT_EQ(Answer(), kBusy);
    EXPECT_FALSE(driver->HasMessage());   // the direct call ends without a word
    EXPECT_EQ(direct, RESPONSE_CANCELLED);
    EXPECT_EQ(driver->Windows().size(), 1u);
    EXPECT_EQ(RB.GetInt("RZ_DAUER_OHNE_AUSGLEICH"), T(10));
    EXPECT_EQ(DefinitionsDialogsOpen(), 1);
    Finish("OK");
    EXPECT_EQ(DefinitionsDialogsOpen(), 0);
    EXPECT_EQ(owner.changed, 1);
    auto* rb4 = static_cast<CRahmenbedingungMindestruhezeit*>(first.GetRahmenbedingung(4));
    EXPECT_EQ(rb4->RZ_DAUER_OHNE_AUSGLEICH, T(10));

    // The next dialog opens, on the second pool's own values.
    Start([&] { second.EditFromWorksheet(); });
    w = driver->Window(kTitle);
    On("Ruhezeit");
    EXPECT_EQ(Shown("?RZ_DAUER_OHNE_AUSGLEICH"), "12:00");
    Finish("Abbrechen");
}

// ---- warning texts ---------------------------------------------------------------------------

class WarntexteTest : public DefinitionsDialogTest {
protected:
    void OpenList()
    {
        Start([] {
            PendingRequest = 2;
            UpdateWarntexte();
        });
        w = driver->Window("Warnungs-Texte");
    }
    int64_t Row(const std::string& key) const
    {
        const int list = driver->Control(w, "?Liste");
        for (int64_t r = 1; r <= driver->RowCount(w, list); ++r)
            if (driver->Cell(w, list, r, 1) == key)
                return r;
        return 0;
    }
    static std::string Stored(const std::string& key)
    {
        if (FileIsOpen(WARNTXT)) {
            // The list holds the table open: read through it, leaving its buffer as it was.
            Runtime::HostBaton b;
            const RecordBuffer keep = WARNTXT;
            WARNTXT.ClearField("RAHMENBEDINGUNG");
            WARNTXT.SetString("RAHMENBEDINGUNG", key);
            const std::string text =
                FileGet(WARNTXT, "KeyRahmenbedingung") == ERR_NONE ? WARNTXT.GetString("INHALT") : "<fehlt>";
            WARNTXT.CopyFrom(keep);
            return text;
        }
        for (const auto& bytes : Records(WARNTXT)) {
            RecordBuffer r(static_cast<const RecordBuffer&>(WARNTXT));
            std::copy(bytes.begin(), bytes.end(), r.Bytes().begin());
            if (r.GetString("RAHMENBEDINGUNG") == key)
                return r.GetString("INHALT");
        }
        return "<fehlt>";
    }
};

TEST_F(WarntexteTest, ALongTextSurvivesAnEditUnchanged)
{
    const std::string original = Stored("RB4");
    ASSERT_GT(original.size(), 255u);
    ASSERT_NE(original.find('|'), std::string::npos);
    OpenList();
    driver->ChooseRow(w, driver->Control(w, "?Liste"), Row("RB4"));
    driver->Press(w, "&Ändern");
    const int form = driver->Window("Warnungstext");
    // The whole text, its line marks as lines.
    std::string lines = original;
    std::replace(lines.begin(), lines.end(), '|', '\n');
    EXPECT_EQ(driver->Text(form, driver->Control(form, "?INHALT")), lines);
    driver->Press(form, "?OK");
    EXPECT_EQ(Stored("RB4"), original);

    // A changed line reaches the file as a line mark.
    driver->Press(w, "&Ändern");
    const int again = driver->Window("Warnungstext");
    driver->Type(again, driver->Control(again, "?INHALT"), "Erste Zeile\nzweite Zeile");
    driver->Press(again, "?OK");
    EXPECT_EQ(Stored("RB4"), "Erste Zeile|zweite Zeile");
    driver->Press(w, "?Schliessen");
    driver->WaitEnd();
}

TEST_F(WarntexteTest, InsertedWarningTextServesTheNextDialogAndKeysStayUnique)
{
    OpenList();
    driver->Press(w, "&Einfügen");
    int form = driver->Window("Warnungstext");
    driver->Type(form, driver->Control(form, "?RAHMENBEDINGUNG"), "RB4W");
    driver->Type(form, driver->Control(form, "?INHALT"), "Nur eine Warnung.");
    driver->Press(form, "?OK");
    EXPECT_EQ(Stored("RB4W"), "Nur eine Warnung.");
    EXPECT_GT(Row("RB4W"), 0);

    // A second text for the same key is refused; the form stays for a correction.
    driver->Press(w, "&Einfügen");
    form = driver->Window("Warnungstext");
    driver->Type(form, driver->Control(form, "?RAHMENBEDINGUNG"), "RB4W");
    driver->Press(form, "?OK");
    EXPECT_EQ(Answer(), "Eingaben überprüfen");
    form = driver->Window("Warnungstext");
    driver->Press(form, "Abbrechen");
    driver->Press(w, "?Schliessen");
    driver->WaitEnd();

    // A constraint made now reads the specific warning text; the error text stays the common one.
    auto rb4 = NewRahmenbedingung(4);
    EXPECT_EQ(rb4->WARNTEXT, "Nur eine Warnung.");
    EXPECT_EQ(rb4->ERRORTEXT, Stored("RB4"));

    // Deleting it brings the common text back.
    OpenList();
    driver->ChooseRow(w, driver->Control(w, "?Liste"), Row("RB4W"));
    driver->Press(w, "&Löschen");
    ASSERT_TRUE(driver->HasMessage());
    driver->AnswerMessage(BUTTON_YES);
    EXPECT_EQ(Row("RB4W"), 0);
    driver->Press(w, "?Schliessen");
    driver->WaitEnd();
    EXPECT_EQ(NewRahmenbedingung(4)->WARNTEXT, Stored("RB4"));
}

} // namespace
