// The cost settings: the rate rule, the defaults of a new worksheet, ".eco" export and import,
// refused files, the edit cycle through the temporary file and the undo steps in the project.
#include "assessment/Kosten.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "core/Files.h"
#include "core/ProjektFileManager.h"
#include "platform/ui/MessageShow.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> Bytes(const RecordBuffer& r) { return {r.Bytes().begin(), r.Bytes().end()}; }

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every field of the record set to a value of its own, names with umlauts.
void FillEveryField(RecordBuffer& r, int salt) {
    int i = salt;
    for (const auto& f : r.GetLayout().Fields()) {
        ++i;
        switch (f->type) {
        case FieldType::String: r.SetString(*f, "Zuschläge für Größe " + std::to_string(i)); break;
        case FieldType::Real: r.SetReal(*f, i + 0.125); break;
        case FieldType::Group: break;
        default: r.SetInt(*f, i); break;
        }
    }
}

class CountingOwner : public IKostenOwner {
public:
    void RecalcCosts() override { ++recalcs; }
    int recalcs = 0;
};

// ---- the rate rule -------------------------------------------------------------------------------

TEST(EffectiveRate, FixedAmountFirstElseShareOfTheWage) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double betrag, prozent, lohn, rate;
    };
    const Case cases[] = {
        {12.50, 25, 20.00, 12.50},   // the amount wins whatever the wage
        {12.50, 25, 0, 12.50},
        {0, 25, 20.00, 5.00},
        {0, 12.5, 18.40, 2.30},
        {0, 0, 20.00, 0},            // not applied
        {0, 25, 0, 0},               // no wage yet: every share is 0
        {-3.00, 25, 20.00, -3.00},   // below 0: not applied, and the share is not looked at
        {0, -10, 20.00, -2.00},
        {nan, 25, 20.00, 0},         // what no entry can give counts as not applied
        {0, inf, 20.00, 0},
        {0, 25, nan, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.betrag << " " << c.prozent << " " << c.lohn);
        EXPECT_DOUBLE_EQ(EffectiveRate(c.betrag, c.prozent, c.lohn), c.rate);
    }
}

TEST(EffectiveRate, OfAnItemReadsItsFieldsAndTheWage) {
    CKosten k;
    k.KOSTEN.SetReal("STUNDENLOHN", 20.0);
    k.KOSTEN.SetReal("TZ1PROZENT", 25.0);
    k.KOSTEN.SetReal("ZSOBETRAG", 12.5);
    k.KOSTEN.SetReal("ZSOPROZENT", 50.0);
    k.KOSTEN.SetReal("RBWEPROZENT", 10.0);
    EXPECT_DOUBLE_EQ(k.EffectiveRate("TZ1"), 5.0);
    EXPECT_DOUBLE_EQ(k.EffectiveRate("ZSO"), 12.5);
    EXPECT_DOUBLE_EQ(k.EffectiveRate("RBWE"), 2.0);
    EXPECT_DOUBLE_EQ(k.EffectiveRate("TZ2"), 0.0);
}

// ---- a new object and a new worksheet ------------------------------------------------------------

TEST(Kosten, StartsClearedAndANewWorksheetGetsTheDefaults) {
    CKosten k;
    EXPECT_EQ(k.KOSTEN.Size(), CKosten::kRecordSize);
    RecordBuffer cleared = k.KOSTEN;
    cleared.Clear();
    EXPECT_EQ(Bytes(k.KOSTEN), Bytes(cleared));
    EXPECT_EQ(k.KOSTEN.GetString("LZBEZEICHNUNG"), "");

    // Not bound to a project: the defaults are set, storing them is refused.
    EXPECT_EQ(k.ResetNew(), STORE_REFUSED);
    const std::pair<const char*, const char*> names[] = {
        {"LZ", "Zulage I"}, {"WS", "Zulage III"}, {"SZ2", "Zulage V"},
        {"ZSA1", "Zuschlag für Samstagsarbeit (1)"}, {"UEBZ2", "Überstunden-Zuschlag (2)"},
        {"WAZ1", "Wochenarbeitszeit-abh. Zuschlag (1)"}, {"RBWE", "Rufbereitschaft (Wochenende)"},
    };
    for (const auto& [prefix, name] : names) EXPECT_EQ(k.KOSTEN.GetString(std::string(prefix) + "BEZEICHNUNG"), name);
    for (const KostenItem& item : CKosten::Items()) {
        EXPECT_FALSE(k.KOSTEN.GetString(std::string(item.prefix) + "BEZEICHNUNG").empty()) << item.prefix;
        EXPECT_EQ(k.EffectiveRate(item.prefix), 0.0) << item.prefix;
    }
    for (const char* p : {"BD", "BDWE", "RB", "RBWE"}) EXPECT_EQ(k.KOSTEN.GetReal(std::string(p) + "ANRECHENBAREAZ"), 100.0);
    EXPECT_EQ(k.KOSTEN.GetReal("STUNDENLOHN"), 0.0);
    EXPECT_EQ(k.KOSTEN.GetInt("TZ1VON"), 0);

    CKosten copy;
    copy.AssignFrom(k);
    EXPECT_EQ(Bytes(copy.KOSTEN), Bytes(k.KOSTEN));
}

TEST(Kosten, TheTreeNodeIsOneLeafRowThatOnlyOpens) {
    CKosten k;
    CTree tree;
    tree.Refresh(&k);
    ASSERT_EQ(tree.RowCount(), 1);
    EXPECT_EQ(tree.Row(1)->SCREENTEXT, "Ökonomische Kostenfaktoren");
    EXPECT_EQ(tree.Row(1)->LEVEL, 1);
    EXPECT_EQ(tree.ICONLIST.NameAt(tree.Row(1)->ICONNR), "~MINI_OEKO.ICO");
    EXPECT_EQ(k.CountEntries(), 1);
    EXPECT_FALSE(k.ForceReset());
    EXPECT_TRUE(k.AcceptsRequest(TREE_OPEN));
    EXPECT_FALSE(k.AcceptsRequest(TREE_DELETE));
    EXPECT_EQ(k.TakeRequest(TREE_DELETE, ""), 5);
}

// ---- files ---------------------------------------------------------------------------------------

class KostenFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string t = (fs::temp_directory_path() / "varnecoXXXXXX").string();
        ASSERT_NE(::mkdtemp(t.data()), nullptr);
        dir = t;
        InitFileAccess();
        Access::TMPKOST->SetName(Path("Kosten.tmp"));
        SetMessageHook([this](const MessageRequest& m) {
            shown.push_back(m);
            return MessageDefaultAnswer(m);
        });
        FillEveryField(sample.KOSTEN, 0);
    }
    void TearDown() override {
        SetMessageHook({});
        CKosten::SetUpdateProcedure({});
        ReleaseFileAccess();
        for (const ProgramFile& f : ProgramFiles())
            if (FileIsOpen(*f.file)) FileClose(*f.file);
        GlobalFileName.clear();
        fs::remove_all(dir);
    }
    std::string Path(const std::string& name) const { return dir + "/" + name; }

    int64_t RecordsIn(RecordFile& file, const std::string& name) {
        file.SetName(name);
        if (FileOpen(file, FILE_READ_WRITE | FILE_DENY_ALL) != ERR_NONE) return -1;
        const int64_t n = FileRecords(file);
        FileClose(file);
        return n;
    }

    // Adds records (each filled from salt) to a new KOST-layout file.
    void MakeEcoFile(const std::string& name, const std::vector<int>& salts) {
        RecordFile f("XKOST", std::shared_ptr<const Layout>(std::shared_ptr<const Layout>(), &KOST.GetLayout()));
        f.SetName(name);
        ASSERT_EQ(FileCreate(f), ERR_NONE);
        ASSERT_EQ(FileOpen(f, FILE_READ_WRITE | FILE_DENY_ALL), ERR_NONE);
        for (int salt : salts) {
            FillEveryField(f, salt);
            ASSERT_EQ(FileAdd(f), ERR_NONE);
        }
        FileClose(f);
    }

    std::string dir;
    std::vector<MessageRequest> shown;
    CKosten sample;
};

TEST_F(KostenFileTest, ExportAndImportReproduceEveryByte) {
    ASSERT_EQ(sample.ExportEco(Path("Kosten Süd")), 0);
    EXPECT_EQ(RecordsIn(XIKOST, Path("Kosten Süd.eco")), 1);
    CKosten read;
    ASSERT_EQ(read.ImportEco(Path("Kosten Süd.eco")), 0);
    EXPECT_EQ(Bytes(read.KOSTEN), Bytes(sample.KOSTEN));
    EXPECT_EQ(read.KOSTEN.GetString("UEBZ1BEZEICHNUNG").rfind("Zuschläge für Größe ", 0), 0u);
    // The file keeps its record.
    EXPECT_EQ(RecordsIn(XIKOST, Path("Kosten Süd.eco")), 1);

    // A name ending in the extension in any case is used as it is.
    ASSERT_EQ(sample.ExportEco(Path("K.ECO")), 0);
    EXPECT_TRUE(fs::exists(Path("K.ECO")));
    EXPECT_FALSE(fs::exists(Path("K.ECO.eco")));
    EXPECT_EQ(sample.ExportEco(" "), 1);
    EXPECT_EQ(sample.ImportEco(""), 1);
    EXPECT_TRUE(shown.empty());
}

TEST_F(KostenFileTest, OnlyTheFirstRecordCountsAndAnEmptyFileChangesNothing) {
    MakeEcoFile(Path("zwei.eco"), {100, 200});
    MakeEcoFile(Path("leer.eco"), {});
    CKosten first;
    FillEveryField(first.KOSTEN, 100);

    CKosten k;
    ASSERT_EQ(k.ImportEco(Path("zwei.eco")), 0);
    EXPECT_EQ(Bytes(k.KOSTEN), Bytes(first.KOSTEN));
    ASSERT_EQ(k.ImportEco(Path("leer.eco")), 0);
    EXPECT_EQ(Bytes(k.KOSTEN), Bytes(first.KOSTEN));
    EXPECT_TRUE(shown.empty());
}

TEST_F(KostenFileTest, FilesThatAreNotOursOrDamagedAreRefusedAndChangeNothing) {
    std::ofstream(Path("text.eco")) << "Stundenlohn;20,00\n";
    {
        RecordFile eba("XBEL", std::shared_ptr<const Layout>(std::shared_ptr<const Layout>(), &BEL.GetLayout()));
        eba.SetName(Path("plan.eba"));
        ASSERT_EQ(FileCreate(eba), ERR_NONE);
    }
    MakeEcoFile(Path("kurz.eco"), {1, 2, 3, 4, 5, 6, 7, 8});
    fs::resize_file(Path("kurz.eco"), fs::file_size(Path("kurz.eco")) / 2);

    const std::pair<const char*, std::string> cases[] = {
        {"fehlt.eco", "Die Datei wurde nicht gefunden."},
        {"text.eco", "Die Datei ist keine Ökonomie-Datei oder sie ist beschädigt."},
        {"kurz.eco", "Die Datei ist keine Ökonomie-Datei oder sie ist beschädigt."},
        {"plan.eba", "Die Datei ist keine Ökonomie-Datei."},
    };
    for (const auto& [file, reason] : cases) {
        SCOPED_TRACE(file);
        const std::string path = Path(file);
        const bool existed = fs::exists(path);
        const std::string before = FileBytes(path);
        const auto settings = Bytes(sample.KOSTEN);
        shown.clear();
        EXPECT_EQ(sample.ImportEco(path), 5);
        EXPECT_EQ(Bytes(sample.KOSTEN), settings);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].caption, "Datei kann nicht geöffnet werden");
        EXPECT_EQ(shown[0].text, "Beim Öffnen der Datei ist ein Fehler aufgetreten.|" + path + "|" + reason);
        EXPECT_EQ(fs::exists(path), existed);
        EXPECT_EQ(FileBytes(path), before);
    }

    // Saving into a folder that does not exist.
    shown.clear();
    EXPECT_EQ(sample.ExportEco(Path("fehlt/k.eco")), 5);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Beim Speichern der Datei ist ein Fehler aufgetreten.|" + Path("fehlt/k.eco")
                                 + "|Der Ordner wurde nicht gefunden.");
}

// Values no form can give (not a number, infinite, near the largest double) are refused on
// import with the import's message, and the settings stay as they were.
TEST_F(KostenFileTest, ValuesOutOfRangeAreRefusedOnImport) {
    const double cases[] = {std::nan(""), std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                            1e308, -2e9};
    for (const char* field : {"STUNDENLOHN", "BDPROZENT"}) {
        for (const double value : cases) {
            SCOPED_TRACE(std::string(field) + " " + std::to_string(value));
            RecordFile f("XKOST", std::shared_ptr<const Layout>(std::shared_ptr<const Layout>(), &KOST.GetLayout()));
            f.SetName(Path("wert.eco"));
            ASSERT_EQ(FileCreate(f), ERR_NONE);
            ASSERT_EQ(FileOpen(f, FILE_READ_WRITE | FILE_DENY_ALL), ERR_NONE);
            FillEveryField(f, 7);
            f.SetReal(field, value);
            ASSERT_EQ(FileAdd(f), ERR_NONE);
            FileClose(f);
            const std::vector<uint8_t> before(sample.KOSTEN.Bytes().begin(), sample.KOSTEN.Bytes().end());
            shown.clear();
            EXPECT_EQ(sample.ImportEco(Path("wert.eco")), 5);
            EXPECT_EQ(std::vector<uint8_t>(sample.KOSTEN.Bytes().begin(), sample.KOSTEN.Bytes().end()), before);
            ASSERT_EQ(shown.size(), 1u);
            EXPECT_NE(shown[0].text.find("beschädigt"), std::string::npos);
        }
    }
}

// Damaged copies of a good ".eco" file (random bytes changed, pieces repeated; the same copies
// every run): each import is refused with the settings and the file unchanged, or takes settings
// of finite values a form could hold.
TEST_F(KostenFileTest, MutatedFilesAreRefusedOrGiveSoundSettings) {
    ASSERT_EQ(sample.ExportEco(Path("gut.eco")), 0);
    std::ifstream in(Path("gut.eco"), std::ios::binary);
    const std::string good{std::istreambuf_iterator<char>(in), {}};
    std::mt19937 rng(815);
    int refused = 0, taken = 0;
    for (int n = 1; n <= 300; ++n) {
        SCOPED_TRACE("case " + std::to_string(n));
        std::string bytes = good;
        if (rng() % 3 == 0) {
            const size_t len = 1 + rng() % 128, from = rng() % (bytes.size() - len), to = rng() % (bytes.size() - len);
            bytes.replace(to, len, good.substr(from, len));
        } else {
            for (int i = 1 + static_cast<int>(rng() % 4); i > 0; --i) bytes[rng() % bytes.size()] ^= static_cast<char>(1 + rng() % 255);
        }
        std::ofstream(Path("f.eco"), std::ios::binary | std::ios::trunc) << bytes;
        CKosten k;
        k.KOSTEN.CopyFrom(sample.KOSTEN);
        const std::vector<uint8_t> before(k.KOSTEN.Bytes().begin(), k.KOSTEN.Bytes().end());
        shown.clear();
        if (k.ImportEco(Path("f.eco")) != 0) {
            ++refused;
            EXPECT_EQ(std::vector<uint8_t>(k.KOSTEN.Bytes().begin(), k.KOSTEN.Bytes().end()), before);
        } else {
            ++taken;
            for (const auto& f : k.KOSTEN.GetLayout().Fields())
                if (f->type == FieldType::Real)
                    for (int i = 1; i <= f->count; ++i) {
                        const double v = k.KOSTEN.GetReal(*f, f->count > 1 ? i : 0);
                        EXPECT_TRUE(std::isfinite(v) && std::fabs(v) < 1e9) << f->name;
                    }
        }
        std::ifstream again(Path("f.eco"), std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(again), {}), bytes);
    }
    EXPECT_GT(refused, 0);
    EXPECT_GT(taken, 0);
}

TEST_F(KostenFileTest, TheTemporaryFileHoldsExactlyTheSettings) {
    MakeEcoFile(Path("Kosten.tmp"), {1, 2, 3});
    ASSERT_EQ(sample.WriteToFile(*Access::TMPKOST), 0);
    EXPECT_EQ(RecordsIn(TMPKOST, Path("Kosten.tmp")), 1);
    CKosten k;
    ASSERT_EQ(k.ReadFromFile(*Access::TMPKOST, true), 0);
    EXPECT_EQ(Bytes(k.KOSTEN), Bytes(sample.KOSTEN));
    EXPECT_EQ(RecordsIn(TMPKOST, Path("Kosten.tmp")), 1);
    ASSERT_EQ(k.ReadFromFile(*Access::TMPKOST, false), 0);
    EXPECT_EQ(RecordsIn(TMPKOST, Path("Kosten.tmp")), 0);
}

// ---- the project store and the edit cycle --------------------------------------------------------

class KostenStoreTest : public KostenFileTest {
protected:
    void SetUp() override {
        KostenFileTest::SetUp();
        ASSERT_EQ(files.OpenNew(Path("plan.prj")), STORE_DONE);
        ASSERT_EQ(kosten.Init(files, nullptr), STORE_DONE);
        kosten.SetArbeitsblatt(&owner);
    }
    void TearDown() override {
        kosten.Release(files);
        files.Close();
        KostenFileTest::TearDown();
    }
    CProjektFileManager files;
    CKosten kosten;
    CountingOwner owner;
};

TEST_F(KostenStoreTest, StepsUndoRedoSaveAndReload) {
    ASSERT_EQ(kosten.ResetNew(), STORE_DONE);   // the first step
    EXPECT_FALSE(kosten.CanUndo(1));
    EXPECT_EQ(kosten.Undo(1), STORE_REFUSED);
    const auto defaults = Bytes(kosten.KOSTEN);
    EXPECT_EQ(kosten.KOSTEN.GetInt("STEP"), 1);

    kosten.KOSTEN.SetReal("STUNDENLOHN", 18.75);
    kosten.KOSTEN.SetString("ZSOBEZEICHNUNG", "Sonntagszuschlag für Küche");
    ASSERT_EQ(kosten.StoreStep(), STORE_DONE);
    const auto changed = Bytes(kosten.KOSTEN);
    ASSERT_EQ(kosten.Undo(1), STORE_DONE);
    EXPECT_EQ(Bytes(kosten.KOSTEN), defaults);
    ASSERT_EQ(kosten.Redo(1), STORE_DONE);
    EXPECT_EQ(Bytes(kosten.KOSTEN), changed);
    EXPECT_EQ(kosten.Redo(1), STORE_REFUSED);

    ASSERT_EQ(files.Save(Path("plan.prj"), false), STORE_DONE);
    kosten.Release(files);
    files.Close();
    ASSERT_EQ(files.Open(Path("plan.prj")), STORE_DONE);
    ASSERT_EQ(kosten.Init(files, nullptr), STORE_DONE);
    kosten.KOSTEN.Clear();
    ASSERT_EQ(kosten.Load(true), STORE_DONE);
    EXPECT_EQ(kosten.KOSTEN.GetReal("STUNDENLOHN"), 18.75);
    EXPECT_EQ(kosten.KOSTEN.GetString("ZSOBEZEICHNUNG"), "Sonntagszuschlag für Küche");
    EXPECT_EQ(kosten.KOSTEN.GetString("LZBEZEICHNUNG"), "Zulage I");
    EXPECT_EQ(kosten.KOSTEN.GetReal("BDANRECHENBAREAZ"), 100.0);
}

// The cost dialog stand-in: checks the request and the record it is given, then changes the wage.
int ChangeWage(int request, double expected, double wage, int answer) {
    EXPECT_EQ(request, 2);
    EXPECT_TRUE(FileIsOpen(TMPKOST));
    EXPECT_EQ(FileRecords(TMPKOST), 1);
    EXPECT_EQ(FileSet(TMPKOST), ERR_NONE);
    EXPECT_EQ(FileNext(TMPKOST), ERR_NONE);
    EXPECT_EQ(TMPKOST.GetReal("STUNDENLOHN"), expected);
    TMPKOST.SetReal("STUNDENLOHN", wage);
    EXPECT_EQ(FilePut(TMPKOST), ERR_NONE);
    return answer;
}

TEST_F(KostenStoreTest, EditCycleTakesTheDialogsRecordOnlyWhenCompleted) {
    ASSERT_EQ(kosten.ResetNew(), STORE_DONE);
    kosten.KOSTEN.SetReal("STUNDENLOHN", 20.0);
    ASSERT_EQ(kosten.StoreStep(), STORE_DONE);
    const auto before = Bytes(kosten.KOSTEN);

    // Without the dialog nothing happens.
    EXPECT_EQ(kosten.TakeRequest(TREE_OPEN, ""), 0);
    EXPECT_EQ(Bytes(kosten.KOSTEN), before);

    CKosten::SetUpdateProcedure([](int request) { return ChangeWage(request, 20.0, 25.0, 2); });
    EXPECT_EQ(kosten.Edit(), 0);
    EXPECT_EQ(Bytes(kosten.KOSTEN), before);
    EXPECT_EQ(owner.recalcs, 0);

    CKosten::SetUpdateProcedure([](int request) { return ChangeWage(request, 20.0, 22.5, 1); });
    EXPECT_EQ(kosten.TakeRequest(TREE_OPEN, ""), 0);
    EXPECT_EQ(kosten.KOSTEN.GetReal("STUNDENLOHN"), 22.5);
    EXPECT_EQ(owner.recalcs, 1);
    EXPECT_FALSE(FileIsOpen(TMPKOST));
    EXPECT_EQ(RecordsIn(TMPKOST, Path("Kosten.tmp")), 0);
    ASSERT_EQ(kosten.Undo(1), STORE_DONE);
    EXPECT_EQ(Bytes(kosten.KOSTEN), before);
    EXPECT_TRUE(shown.empty());
}

// The table goes away under the store: the edit stays in memory, the user is told once, the caller
// gets 5, and the steps before are as they were.
TEST_F(KostenStoreTest, AnEditWhoseStepCannotBeStoredIsReportedAndKeepsTheStepBefore) {
    ASSERT_EQ(kosten.ResetNew(), STORE_DONE);
    kosten.KOSTEN.SetReal("STUNDENLOHN", 20.0);
    ASSERT_EQ(kosten.StoreStep(), STORE_DONE);

    ASSERT_EQ(FileClose(KOST), ERR_NONE);
    CKosten::SetUpdateProcedure([](int request) { return ChangeWage(request, 20.0, 22.5, 1); });
    EXPECT_EQ(kosten.Edit(), STORE_REFUSED);
    CKosten::SetUpdateProcedure({});
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "Kosteneinstellungen nicht gespeichert");
    EXPECT_EQ(shown[0].text, "Die geänderten Kosteneinstellungen konnten nicht als Bearbeitungsschritt "
                             "gespeichert werden.|Die Einstellungen bleiben wie geändert; der vorige "
                             "Schritt ist unverändert erhalten.");
    EXPECT_EQ(kosten.KOSTEN.GetReal("STUNDENLOHN"), 22.5);
    EXPECT_EQ(owner.recalcs, 1);
    EXPECT_FALSE(FileIsOpen(TMPKOST));

    GlobalFileName = files.PhysFileName() + "\\!Kosten";
    ASSERT_EQ(FileOpen(KOST, FILE_READ_WRITE | FILE_DENY_ALL), ERR_NONE);
    GlobalFileName.clear();
    EXPECT_FALSE(kosten.CanRedo(1));
    ASSERT_EQ(kosten.Undo(1), STORE_DONE);
    EXPECT_EQ(kosten.KOSTEN.GetReal("STUNDENLOHN"), 0.0);
    ASSERT_EQ(kosten.Redo(1), STORE_DONE);
    EXPECT_EQ(kosten.KOSTEN.GetReal("STUNDENLOHN"), 20.0);
    EXPECT_FALSE(kosten.CanRedo(1));
}

} // namespace
