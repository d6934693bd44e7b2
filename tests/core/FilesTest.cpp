#include "core/Files.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace {

// ---- layouts: sizes and offsets as the stored files have them ---------------------------------

struct At {
    const char* field;
    int offset;
    FieldType type;
    int width;   // one element
    int count = 1;
};

struct LayoutCase {
    RecordFile* file;
    int size;
    std::vector<At> fields;
};

using T = FieldType;

std::vector<LayoutCase> LayoutCases() {
    return {
        {&SCHICHT, 83, {{"ID", 0, T::Long, 4}, {"STEP", 4, T::Long, 4}, {"SYSID", 8, T::Ulong, 4},
                        {"ART", 12, T::Byte, 1}, {"BEZEICHNUNG", 13, T::String, 30},
                        {"KURZBEZEICHNUNG", 43, T::String, 5}, {"AUSLASTUNG", 48, T::Byte, 1},
                        {"AUSLASTUNG_BERUECKSICHTIGEN", 49, T::Byte, 1}, {"TERMIN", 50, T::Group, 8},
                        {"BEGINN", 50, T::Ulong, 4}, {"ENDE", 54, T::Ulong, 4}, {"PAUSEN", 58, T::Group, 5, 5},
                        {"LAGE", 58, T::Ushort, 2, 5}, {"DAUER", 60, T::Ushort, 2, 5}, {"BEZAHLT", 62, T::Byte, 1, 5}}},
        {&AZP, 346, {{"GRUPPE", 8, T::Ushort, 2}, {"SCHICHT", 10, T::Ulong, 4, 84}}},
        {&AKB, 17, {{"TERMIN", 8, T::Group, 8}, {"BEGINN", 8, T::Ulong, 4}, {"ENDE", 12, T::Ulong, 4},
                    {"ANZAHL", 16, T::Byte, 1}}},
        {&SBP, 96, {{"SYSID", 8, T::Ulong, 4}, {"ANZAHL", 12, T::Byte, 1, 84}}},
        {&FLEX, 56, {{"SYSID", 8, T::Ulong, 4}, {"ART", 12, T::Byte, 1}, {"DATUM", 13, T::Long, 4},
                     {"ARBEITNEHMER", 17, T::Long, 4}, {"AUSLASTUNG", 21, T::Byte, 1},
                     {"AUSLASTUNG_BERUECKSICHTIGEN", 22, T::Byte, 1}, {"TERMIN", 23, T::Group, 8},
                     {"PAUSEN", 31, T::Group, 5, 5}, {"BEZAHLT", 35, T::Byte, 1, 5}}},
        {&BEL, 123, {{"SYSID", 8, T::Ulong, 4}, {"WOCHENTAGE", 12, T::Byte, 1}, {"TAETIGKEIT", 13, T::String, 30},
                     {"TERMIN", 43, T::Group, 8}, {"EINSCHAETZUNG", 51, T::Long, 4, 18}}},
        {&KOST, 1345, {{"STUNDENLOHN", 8, T::Real, 8}, {"SAMSTAGSZUSCHLAGUEBERLAUF", 16, T::Byte, 1},
                       {"LZ", 17, T::Group, 56}, {"LZBEZEICHNUNG", 17, T::String, 40}, {"LZPROZENT", 57, T::Real, 8},
                       {"LZBETRAG", 65, T::Real, 8}, {"SP", 73, T::Group, 56}, {"SZ1", 129, T::Group, 56},
                       {"SZ2", 185, T::Group, 56}, {"WS", 241, T::Group, 56}, {"TZ1", 297, T::Group, 64},
                       {"TZ1VON", 353, T::Long, 4}, {"TZ1BIS", 357, T::Long, 4}, {"TZ2", 361, T::Group, 64},
                       {"TZ3", 425, T::Group, 64}, {"ZSA1", 489, T::Group, 64}, {"ZSA2", 553, T::Group, 64},
                       {"ZSO", 617, T::Group, 56}, {"SOZ1", 673, T::Group, 64}, {"SOZ2", 737, T::Group, 64},
                       {"UEBZ1", 801, T::Group, 72}, {"UEBZ1VON", 857, T::Real, 8}, {"UEBZ1BIS", 865, T::Real, 8},
                       {"UEBZ2", 873, T::Group, 72}, {"WAZ1", 945, T::Group, 72}, {"WAZ2", 1017, T::Group, 72},
                       {"BD", 1089, T::Group, 64}, {"BDANRECHENBAREAZ", 1145, T::Real, 8},
                       {"BDWE", 1153, T::Group, 64}, {"RB", 1217, T::Group, 64}, {"RBWE", 1281, T::Group, 64},
                       {"RBWEANRECHENBAREAZ", 1337, T::Real, 8}}},
        {&KRI, 1834, {{"EINSTELLUNGEN", 8, T::Group, 83, 22}, {"TYP", 8, T::Byte, 1, 22},
                      {"AKTIVIERT", 9, T::Byte, 1, 22}, {"RELEVANZ", 10, T::Byte, 1, 22},
                      {"BEZEICHNUNG", 11, T::String, 80, 22}}},
        {&RB, 432, {{"NACHTSCHICHT", 8, T::Group, 12}, {"NACHTAZ_ANFANG", 8, T::Long, 4},
                    {"NACHTAZ_DAUER_MIN", 16, T::Long, 4}, {"FRUEHSCHICHT", 20, T::Group, 8},
                    {"TAGSCHICHT", 28, T::Group, 8}, {"SPAETSCHICHT", 36, T::Group, 8},
                    {"MINDESTRUHEZEIT", 44, T::Group, 10}, {"RZ_AUSGLEICHSZEITRAUM", 52, T::Ushort, 2},
                    {"FREIE_SONNTAGE", 54, T::Ushort, 2}, {"KONT_WOCHENRUHEZEIT", 56, T::Group, 12},
                    {"WRZ_DAUER_MIN", 56, T::Decimal, 3}, {"ERSATZ_WRZ_DAUER_MIN", 59, T::Decimal, 3},
                    {"SAZ_VERSCHIEBUNG", 62, T::Long, 4}, {"KONT_ARBEITSTAGE", 68, T::Group, 4},
                    {"BETRIEBSTAGSBEGINN", 72, T::Long, 4}, {"SCHICHTUEBERGABEZEIT", 76, T::Long, 4},
                    {"SCHICHTZEIT", 80, T::Group, 8}, {"PAUSEN", 88, T::Group, 6, 4}, {"AZ_AB", 88, T::Long, 4, 4},
                    {"PAUSENLAENGE", 92, T::Ushort, 2, 4}, {"ERSTE_PAUSE", 112, T::Long, 4},
                    {"MINDESTPAUSENLAENGE", 116, T::Long, 4}, {"WERKTAG_AZ", 120, T::Group, 12},
                    {"WOCHENBEGINN", 132, T::Long, 4}, {"WAZ_MITTEL", 136, T::Group, 5}, {"WAZ", 136, T::Decimal, 3},
                    {"WAZ_GRENZEN", 141, T::Group, 6}, {"WOCHENENDE", 147, T::Group, 15},
                    {"WE_DAUER_MIN", 159, T::Decimal, 3}, {"NACHTSCHLAFZEITEN", 162, T::Group, 12, 7},
                    {"NS_DAUER_MIN", 170, T::Long, 4, 7}, {"NS_KONT_STOERUNGEN", 246, T::Ushort, 2},
                    {"NS_EINZELSTOERUNGEN", 248, T::Ushort, 2}, {"SOZIALZEITEN", 250, T::Group, 12, 7},
                    {"SZ_KONT_STOERUNGEN", 334, T::Ushort, 2}, {"SZ_EINZELSTOERUNGEN", 336, T::Ushort, 2},
                    {"FAMILIENZEITEN", 338, T::Group, 12, 7}, {"FZ_KONT_STOERUNGEN", 422, T::Ushort, 2},
                    {"FZ_EINZELSTOERUNGEN", 424, T::Ushort, 2}, {"RZNACHTARBEIT_MIN", 426, T::Decimal, 3},
                    {"RZANZEIGE_MIN", 429, T::Decimal, 3}}},
        {&WARNTXT, 4088, {{"RAHMENBEDINGUNG", 0, T::String, 20}, {"INHALT", 20, T::String, 4068}}},
        {&INFO, 2756, {{"BEZEICHNUNG", 8, T::String, 100}, {"BEARBEITER", 108, T::String, 40},
                       {"NAME_1", 148, T::String, 40}, {"NAME_2", 188, T::String, 40}, {"NAME_3", 228, T::String, 40},
                       {"STRASSE", 268, T::String, 40}, {"PLZORT", 308, T::String, 100},
                       {"ANSPRECHPARTNER", 408, T::String, 40}, {"TELEFON_1", 448, T::String, 40},
                       {"TELEFON_2", 488, T::String, 40}, {"TELEFAX", 528, T::String, 40},
                       {"EMAIL", 568, T::String, 100}, {"INTERNET", 668, T::String, 40},
                       {"KOMMENTAR", 708, T::String, 2048}}},
        {&BLATT, 3268, {{"TYP", 8, T::Byte, 1}, {"BEZEICHNUNG", 9, T::String, 80}, {"BEZUGSRAHMEN", 89, T::Ushort, 2},
                        {"SCHICHTGRUPPENSTAERKE", 91, T::Ushort, 2}, {"KOMMENTAR", 93, T::String, 2048},
                        {"BEZEICHNUNGARBEITSPLATZ", 2141, T::String, 255}, {"KURZBEZEICHNUNG", 2396, T::String, 20},
                        {"TAETIGKEITEN", 2416, T::String, 20, 6}, {"ABTEILUNG", 2536, T::String, 40},
                        {"ANZAHLARBEITSPLAETZE", 2576, T::Long, 4}, {"ARBEITNEHMER", 2580, T::String, 40, 15},
                        {"BISHERIGESCHICHTZEIT", 3180, T::Long, 4}, {"LETZTEAENDERUNG", 3184, T::Long, 4},
                        {"BEARBEITER", 3188, T::String, 40}, {"ANSPRECHPARTNER", 3228, T::String, 40}}},
        {&STAMP, 44, {{"VERSION", 0, T::String, 20}, {"MINORVERSION", 20, T::String, 20}, {"IDSEED", 40, T::Long, 4}}},
        {&EBA, 1536, {{"GEWICHTUNG_1", 0, T::Real, 8, 15}, {"GEWICHTUNG_2", 120, T::Real, 8, 15},
                      {"GEWICHTUNG_9", 960, T::Real, 8, 15}, {"MUL_CIRCADYAN", 1080, T::Real, 8},
                      {"FAK_CIRCADYAN", 1088, T::Real, 8, 24}, {"MUL_PSYSO", 1280, T::Real, 8},
                      {"FAK_PSYSO", 1288, T::Real, 8, 24}, {"MAX_BELA", 1480, T::Real, 8},
                      {"DIV_BELA_KUM_1", 1488, T::Real, 8}, {"DIV_BELA_KUM_2", 1496, T::Real, 8},
                      {"MUL_AZZ8", 1504, T::Real, 8}, {"MUL_AZZ10", 1512, T::Real, 8},
                      {"MUL_AZZ12", 1520, T::Real, 8}, {"BELA_GRENZE", 1528, T::Real, 8}}},
    };
}

TEST(FilesLayout, EveryLayoutHasItsSizeAndFieldPlaces) {
    for (const LayoutCase& c : LayoutCases()) {
        const Layout& l = c.file->GetLayout();
        SCOPED_TRACE(c.file->Prefix());
        EXPECT_EQ(l.Size(), c.size);
        EXPECT_EQ(c.file->Size(), c.size);
        for (const At& a : c.fields) {
            SCOPED_TRACE(a.field);
            const Field* f = l.Find(a.field);
            ASSERT_NE(f, nullptr);
            EXPECT_EQ(f->offset, a.offset);
            EXPECT_EQ(f->type, a.type);
            EXPECT_EQ(f->width, a.width);
            EXPECT_EQ(f->count, a.count);
        }
    }
}

TEST(FilesLayout, GroupElementsFollowEachOther) {
    // The last element of each repeated run ends where the next field begins.
    EXPECT_EQ(SCHICHT.GetLayout().At("BEZAHLT").Offset(5), 82);
    EXPECT_EQ(AZP.GetLayout().At("SCHICHT").Offset(84), 342);
    EXPECT_EQ(KRI.GetLayout().At("BEZEICHNUNG").Offset(22), 1754);
    EXPECT_EQ(RB.GetLayout().At("PAUSENLAENGE").Offset(4), 110);
    EXPECT_EQ(RB.GetLayout().At("FZ_DAUER_MIN").Offset(7), 418);
    EXPECT_EQ(BLATT.GetLayout().At("ARBEITNEHMER").Offset(15), 3140);
    EXPECT_EQ(EBA.GetLayout().At("FAK_PSYSO").Offset(24), 1472);
}

std::string KeysOf(const RecordFile& f) {
    std::string s;
    for (const KeyDef& k : f.GetLayout().Keys()) {
        s += (s.empty() ? "" : " ") + k.name + (k.unique ? "!(" : "(");
        for (size_t i = 0; i < k.components.size(); ++i) s += (i ? "," : "") + k.components[i]->name;
        s += ")";
    }
    return s;
}

TEST(FilesLayout, TwentyFiveFilesWithTheirKeys) {
    const std::string id = "KeyID(ID,STEP)";
    const std::string shift = id + " KeyAnfangszeit(BEGINN,ENDE)";
    const std::string strain = id + " KeyAnfangszeit(BEGINN)";
    // In the order of set-up; "!" marks a key that refuses duplicates.
    const std::vector<std::pair<RecordFile*, std::string>> expected = {
        {&EBA, ""}, {&BLATT, id}, {&RB, id}, {&WARNTXT, "KeyRahmenbedingung!(RAHMENBEDINGUNG)"},
        {&STAMP, ""}, {&INFO, id}, {&KRI, id}, {&SBP, id}, {&KOST, id}, {&SCHICHT, shift},
        {&AZP, id}, {&AKB, id}, {&BEL, strain}, {&FLEX, shift}, {&TMPFLEX, shift}, {&TMPKOST, id},
        {&TMPBEL, strain}, {&XIKOST, id}, {&XISCHICHT, shift}, {&KRIDEFAULT, id},
        {&RBWARN, id}, {&TMPSCHICHT, shift}, {&RBFEHLER, id}, {&XIBEL, strain}, {&RBDEFAULT, id},
    };
    const auto& files = ProgramFiles();
    ASSERT_EQ(files.size(), expected.size());
    std::set<std::string> prefixes;
    int aliases = 0;
    for (size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(files[i].file->Prefix());
        EXPECT_EQ(files[i].file, expected[i].first);
        EXPECT_EQ(KeysOf(*files[i].file), expected[i].second);
        EXPECT_EQ(files[i].group, i < 20 ? 1 : 2);
        prefixes.insert(files[i].file->Prefix());
        if (files[i].aliasOf) {
            ++aliases;
            EXPECT_EQ(&files[i].file->GetLayout(), &files[i].aliasOf->GetLayout());
            EXPECT_NE(files[i].file->Prefix(), files[i].aliasOf->Prefix());
        }
    }
    EXPECT_EQ(prefixes.size(), 25u);
    EXPECT_EQ(aliases, 11);
}

// ---- files on disk ------------------------------------------------------------------------------

// Keeps the messages instead of showing them.
class RecordingErrors : public FwError {
public:
    std::vector<MessageRequest> shown;

protected:
    int ShowMessage(const MessageRequest& r) override {
        shown.push_back(r);
        return r.defaultButton ? r.defaultButton : int(BUTTON_OK);
    }
};

class FilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string t = (std::filesystem::temp_directory_path() / "varnfilesXXXXXX").string();
        ASSERT_NE(::mkdtemp(t.data()), nullptr);
        dir_ = t;
        InitFileAccess(errors_);
    }
    void TearDown() override {
        ReleaseFileAccess();
        for (const ProgramFile& f : ProgramFiles())
            if (FileIsOpen(*f.file)) FileClose(*f.file);
        GlobalFileName.clear();
        std::filesystem::remove_all(dir_);
    }
    std::string Path(const std::string& name) const { return dir_ + "/" + name; }

    // Opens a project table of the working copy the way the project store does.
    void OpenTable(RecordFile& f, const std::string& table) {
        GlobalFileName = Path("p.prj~") + "\\!" + table;
        ASSERT_EQ(FileCreate(f), 0);
        ASSERT_EQ(FileOpen(f, FILE_READ_WRITE | FILE_DENY_ALL), 0);
    }

    std::string dir_;
    RecordingErrors errors_;
};

TEST_F(FilesTest, WorkingTimePlanStepIsReadBackWhole) {
    OpenTable(AZP, "Schichtfolgen");
    for (const int groups : {1, 3, 50}) {
        SCOPED_TRACE(groups);
        ASSERT_EQ(FileEmpty(AZP), 0);
        // The step (7, 2) among neighbouring steps and parts, added interleaved.
        for (int g = 1; g <= groups; ++g) {
            for (const auto& [id, step] : {std::pair{7, 1}, {7, 2}, {7, 3}, {6, 2}, {8, 2}}) {
                AZP.Clear();
                AZP.SetInt("ID", id);
                AZP.SetInt("STEP", step);
                AZP.SetInt("GRUPPE", g);
                AZP.SetInt("SCHICHT", 1000 * id + 100 * step + g, 84);
                ASSERT_EQ(FileAdd(AZP), 0);
            }
        }
        AZP.SetInt("ID", 7);
        AZP.SetInt("STEP", 2);
        ASSERT_EQ(FileSet(AZP, "KeyID"), 0);
        std::vector<int64_t> got;
        while (FileNext(AZP) == 0 && AZP.GetInt("ID") == 7 && AZP.GetInt("STEP") == 2) {
            got.push_back(AZP.GetInt("GRUPPE"));
            EXPECT_EQ(AZP.GetInt("SCHICHT", 84), 7200 + AZP.GetInt("GRUPPE"));
        }
        std::vector<int64_t> all(groups);
        for (int g = 0; g < groups; ++g) all[g] = g + 1;
        EXPECT_EQ(got, all);
    }
}

TEST_F(FilesTest, ShiftTypesWithTheSameTimesAreBothKept) {
    OpenTable(SCHICHT, "Schichttypen");
    for (const char* name : {"Früh A", "Früh B"}) {
        SCHICHT.Clear();
        SCHICHT.SetString("BEZEICHNUNG", name);
        SCHICHT.SetInt("BEGINN", 360);
        SCHICHT.SetInt("ENDE", 840);
        ASSERT_EQ(FileAdd(SCHICHT), 0);
    }
    SCHICHT.Clear();
    ASSERT_EQ(FileSet(SCHICHT, "KeyAnfangszeit"), 0);
    std::vector<std::string> got;
    while (FileNext(SCHICHT) == 0) got.push_back(SCHICHT.GetString("BEZEICHNUNG"));
    EXPECT_EQ(got, (std::vector<std::string>{"Früh A", "Früh B"}));
}

TEST_F(FilesTest, SecondWarningTextForOneConstraintIsRefused) {
    NameProgramFiles(dir_);
    ASSERT_EQ(Access::WARNTXT->Open(), 0);
    WARNTXT.Clear();
    WARNTXT.SetString("RAHMENBEDINGUNG", "RB7");
    WARNTXT.SetString("INHALT", "erste Fassung");
    ASSERT_EQ(Access::WARNTXT->Insert(), 0);
    WARNTXT.SetString("INHALT", "zweite Fassung");
    EXPECT_EQ(Access::WARNTXT->TryInsert(), 5);
    EXPECT_EQ(ErrorCode(), ERR_DUPLICATE_KEY);
    EXPECT_TRUE(errors_.shown.empty());
    EXPECT_EQ(Access::WARNTXT->Insert(), 5);
    ASSERT_EQ(errors_.shown.size(), 1u);
    EXPECT_NE(errors_.shown[0].text.find("KeyRahmenbedingung"), std::string::npos);
    EXPECT_NE(errors_.shown[0].text.find("varn4.cfg"), std::string::npos);
    EXPECT_EQ(FileRecords(WARNTXT), 1);
    ASSERT_EQ(FileSet(WARNTXT), 0);
    ASSERT_EQ(FileNext(WARNTXT), 0);
    EXPECT_EQ(WARNTXT.GetString("INHALT"), "erste Fassung");
}

TEST_F(FilesTest, NewTemporaryShiftTypeStartsNormalFullyUsedWithoutBreaks) {
    std::set<int64_t> ids;
    for (int round = 0; round < 3; ++round) {
        // Whatever the buffer held before.
        std::fill(TMPSCHICHT.Bytes().begin(), TMPSCHICHT.Bytes().end(), 0x37);
        Access::TMPSCHICHT->PrimeRecord();
        EXPECT_EQ(TMPSCHICHT.GetInt("ART"), 1);
        EXPECT_EQ(TMPSCHICHT.GetInt("AUSLASTUNG"), 100);
        for (int i = 1; i <= 5; ++i) {
            EXPECT_EQ(TMPSCHICHT.GetInt("LAGE", i), 0);
            EXPECT_EQ(TMPSCHICHT.GetInt("DAUER", i), 0);
            EXPECT_EQ(TMPSCHICHT.GetInt("BEZAHLT", i), 0);
        }
        EXPECT_EQ(TMPSCHICHT.GetString("BEZEICHNUNG"), "");
        EXPECT_EQ(TMPSCHICHT.GetInt("ENDE"), 0);
        EXPECT_EQ(TMPSCHICHT.GetInt("ID"), 0);
        EXPECT_NE(TMPSCHICHT.GetInt("SYSID"), 0);
        ids.insert(TMPSCHICHT.GetInt("SYSID"));
    }
    EXPECT_EQ(ids.size(), 3u);
}

TEST_F(FilesTest, NewRecordsOfOtherFilesAreClearedOrPrimedByTheirOwnRules) {
    std::fill(TMPBEL.Bytes().begin(), TMPBEL.Bytes().end(), 0x11);
    Access::TMPBEL->PrimeRecord();
    for (int i = 1; i <= 18; ++i) EXPECT_EQ(TMPBEL.GetInt("EINSCHAETZUNG", i), 0);
    EXPECT_EQ(TMPBEL.GetString("TAETIGKEIT"), "");
    EXPECT_NE(TMPBEL.GetInt("SYSID"), 0);
    // No values of their own: a new strain-constants record has every constant 0, a new shift
    // type of the project table no identity.
    std::fill(EBA.Bytes().begin(), EBA.Bytes().end(), 0x40);
    Access::EBA->PrimeRecord();
    for (const auto& f : EBA.GetLayout().Fields())
        for (int i = 1; i <= f->count; ++i) EXPECT_EQ(EBA.GetReal(*f, f->count > 1 ? i : 0), 0.0) << f->name;
    std::fill(SCHICHT.Bytes().begin(), SCHICHT.Bytes().end(), 0x40);
    Access::SCHICHT->PrimeRecord();
    EXPECT_EQ(SCHICHT.GetInt("SYSID"), 0);
    EXPECT_EQ(SCHICHT.GetInt("ART"), 0);
}

TEST_F(FilesTest, StartUpNamesTheConfigurationAndTemporaryFiles) {
    EXPECT_EQ(NameProgramFiles("/opt/varn"), "/opt/varn/varn4.cfg");
    const std::vector<std::pair<RecordFile*, std::string>> names = {
        {&EBA, "/opt/varn/eba.cfg"},
        {&WARNTXT, "/opt/varn/varn4.cfg\\!warntexte"},
        {&KRIDEFAULT, "/opt/varn/varn4.cfg\\!kriterienvorgaben"},
        {&RBDEFAULT, "/opt/varn/varn4.cfg\\!rahmenbedingungenvorgaben"},
        {&RBWARN, "/opt/varn/varn4.cfg\\!warngrenzen"},
        {&RBFEHLER, "/opt/varn/varn4.cfg\\!fehlergrenzen"},
    };
    for (const auto& [file, name] : names) EXPECT_EQ(file->Name(), name) << file->Prefix();
    // The edit files: names of their own in the program's temporary folder, made anew at each
    // start, never a fixed name in the current folder.
    std::set<std::string> scratch;
    for (const auto& [file, stem] : {std::pair{&TMPSCHICHT, "schichttypen.tmp-"}, std::pair{&TMPFLEX, "flexzeiten.tmp-"},
                                     std::pair{&TMPBEL, "Belastungseinschaetzungen.tmp-"}, std::pair{&TMPKOST, "Kosten.tmp-"}}) {
        const std::filesystem::path p(file->Name());
        EXPECT_EQ(p.filename().string().rfind(stem, 0), 0u) << p;
        EXPECT_EQ(p.parent_path(), std::filesystem::path(FileScratchName("x")).parent_path());
        scratch.insert(file->Name());
    }
    const std::string first = TMPKOST.Name();
    NameProgramFiles("/opt/varn");
    EXPECT_NE(TMPKOST.Name(), first);
    EXPECT_EQ(scratch.size(), 4u);
    for (const ProgramFile& f : ProgramFiles()) EXPECT_EQ((*f.access)->AliasOf(), nullptr) << f.file->Prefix();
    // The project tables and the exchange files still follow the shared name.
    GlobalFileName = "/w/p.prj~\\!Kosten";
    EXPECT_EQ(KOST.Name(), GlobalFileName);
    EXPECT_EQ(XIKOST.Name(), GlobalFileName);
    EXPECT_EQ(STAMP.Name(), GlobalFileName);
    Access::XIKOST->SetName("/home/u/lohn.eco");
    EXPECT_EQ(XIKOST.Name(), "/home/u/lohn.eco");
    EXPECT_EQ(KOST.Name(), GlobalFileName);
    EXPECT_EQ(XISCHICHT.Name(), "");
}

TEST_F(FilesTest, TemporaryFileIsCreatedOnFirstUse) {
    const auto before = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
    NameProgramFiles(dir_);
    Access::TMPSCHICHT->PrimeRecord();
    Access::TMPSCHICHT->File()->SetString("BEZEICHNUNG", "Spät");
    const int level = Access::TMPSCHICHT->Insert();   // opens (and creates) the file first
    std::filesystem::current_path(before);
    ASSERT_EQ(level, 0);
    EXPECT_TRUE(std::filesystem::exists(TMPSCHICHT.Name()));
    EXPECT_FALSE(std::filesystem::exists(Path("schichttypen.tmp")));
    EXPECT_EQ(FileOpenMode(TMPSCHICHT), FILE_READ_WRITE | FILE_DENY_ALL);
    EXPECT_EQ(FileRecords(TMPSCHICHT), 1);
    EXPECT_TRUE(errors_.shown.empty());
}

TEST_F(FilesTest, SetUpConnectsEveryAccessObjectAndReleaseClearsThem) {
    std::set<FwFileManager*> objects;
    for (const ProgramFile& f : ProgramFiles()) {
        SCOPED_TRACE(f.file->Prefix());
        FwFileManager* a = *f.access;
        ASSERT_NE(a, nullptr);
        objects.insert(a);
        EXPECT_EQ(a->File(), f.file);
        EXPECT_EQ(a->Errors(), &errors_);
        EXPECT_EQ(a->LockRecover, 10);
        EXPECT_EQ(a->OpenMode, FILE_READ_WRITE | FILE_DENY_ALL);
        EXPECT_TRUE(a->Create);
        EXPECT_EQ(a->Keys().size(), f.file->GetLayout().Keys().size());
        if (f.aliasOf) {
            const auto base = std::find_if(ProgramFiles().begin(), ProgramFiles().end(),
                                           [&](const ProgramFile& p) { return p.file == f.aliasOf; });
            EXPECT_EQ(a->AliasOf(), *base->access);
        }
    }
    EXPECT_EQ(objects.size(), 25u);

    // Release closes what the access objects opened, and nothing else.
    NameProgramFiles(dir_);
    ASSERT_EQ(Access::RBWARN->Open(), 0);
    OpenTable(SCHICHT, "Schichttypen");
    ReleaseFileAccess();
    for (const ProgramFile& f : ProgramFiles()) EXPECT_EQ(*f.access, nullptr);
    EXPECT_FALSE(FileIsOpen(RBWARN));
    EXPECT_TRUE(FileIsOpen(SCHICHT));
}

TEST_F(FilesTest, AliasIsAFileOfItsOwn) {
    OpenTable(SCHICHT, "Schichttypen");
    NameProgramFiles(dir_);
    Access::TMPSCHICHT->SetName(Path("schichttypen.tmp"));
    Access::TMPSCHICHT->PrimeRecord();
    ASSERT_EQ(Access::TMPSCHICHT->Insert(), 0);
    SCHICHT.CopyFrom(TMPSCHICHT);
    ASSERT_EQ(FileAdd(SCHICHT), 0);
    ASSERT_EQ(FileAdd(SCHICHT), 0);
    EXPECT_EQ(FileRecords(TMPSCHICHT), 1);
    EXPECT_EQ(FileRecords(SCHICHT), 2);
    EXPECT_EQ(TMPSCHICHT.GetInt("SYSID"), SCHICHT.GetInt("SYSID"));
}

} // namespace
