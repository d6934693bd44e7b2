// The strain assessments on disk: ".eba" export and import, refused files, the temporary file of
// the edit cycle, and the undo steps in the project.
#include "assessment/Belastungseinschaetzungen.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <ostream>
#include <string>
#include <vector>

#include "../platform/records/FailingDisk.h"
#include "assessment/ExchangeFile.h"
#include "core/Files.h"
#include "core/ProjektFileManager.h"
#include "platform/ui/MessageShow.h"

namespace fs = std::filesystem;

static void PrintTo(const CBelastungseinschaetzung& a, std::ostream* os) {
    *os << "{" << a.ID << "/" << a.STEP << " " << a.SYSID << " " << int(a.WOCHENTAGE) << " '" << a.TAETIGKEIT
        << "' " << a.TERMIN.BEGINN << "-" << a.TERMIN.ENDE << " [";
    for (int32_t v : a.EINSCHAETZUNG) *os << v << " ";
    *os << "]}";
}

namespace {

constexpr uint32_t H(int hours, int minutes = 0) { return static_cast<uint32_t>(hours * 60 + minutes); }

CBelastungseinschaetzung Assessment(const std::string& name, uint8_t days, uint32_t from, uint32_t to,
                                    uint32_t sysid, int32_t base = 1) {
    CBelastungseinschaetzung a;
    a.TAETIGKEIT = name;
    a.WOCHENTAGE = days;
    a.TERMIN = {from, to};
    a.SYSID = sysid;
    a.ID = 70000 + base;
    a.STEP = base;
    for (int n = 1; n <= 18; ++n) a.SetItem(n, (base + n) % 10);
    return a;
}

std::vector<CBelastungseinschaetzung> Items(const CBelastungseinschaetzungen& list) {
    std::vector<CBelastungseinschaetzung> out;
    for (size_t i = 1; i <= list.Count(); ++i) out.push_back(*list.Get(i));
    return out;
}

// The same without ID and STEP, which storing a step rewrites.
std::vector<CBelastungseinschaetzung> Content(const CBelastungseinschaetzungen& list) {
    auto out = Items(list);
    for (auto& a : out) a.ID = a.STEP = 0;
    return out;
}

std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// Scratch copies of exports of this process left in the program's temporary folder.
int ExportLeftovers() {
    const std::string prefix = "varn-export-" + std::to_string(::getpid()) + "-";
    int n = 0;
    for (const auto& e : fs::directory_iterator(fs::path(FileScratchName("x")).parent_path()))
        if (e.path().filename().string().rfind(prefix, 0) == 0) ++n;
    return n;
}

class CountingOwner : public IBelastungOwner {
public:
    void OnDefinitionsChanged() override { ++changes; }
    int changes = 0;
};

class BelastungFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string t = (fs::temp_directory_path() / "varnebaXXXXXX").string();
        ASSERT_NE(::mkdtemp(t.data()), nullptr);
        dir = t;
        InitFileAccess();
        Access::TMPBEL->SetName(Path("Belastungseinschaetzungen.tmp"));
        SetMessageHook([this](const MessageRequest& m) {
            shown.push_back(m);
            return MessageDefaultAnswer(m);
        });
        sample.Add(Assessment("Frühdienst Küche", 31, H(6), H(14), 11, 1));
        sample.Add(Assessment("Spätdienst, Ausgabe", 112, H(13), H(22), 22, 2));
        sample.Add(Assessment("Nachtwache", 64, H(22), H(24), 4294967295u, 3));
    }
    void TearDown() override {
        SetMessageHook({});
        CBelastungseinschaetzungen::SetBrowseProcedure({});
        ReleaseFileAccess();
        for (const ProgramFile& f : ProgramFiles())
            if (FileIsOpen(*f.file)) FileClose(*f.file);
        GlobalFileName.clear();
        fs::remove_all(dir);
    }
    std::string Path(const std::string& name) const { return dir + "/" + name; }

    // Records of a BEL-layout file, read without the list.
    int64_t RecordsIn(RecordFile& file, const std::string& name) {
        file.SetName(name);
        if (FileOpen(file, FILE_READ_WRITE | FILE_DENY_ALL) != ERR_NONE) return -1;
        const int64_t n = FileRecords(file);
        FileClose(file);
        return n;
    }

    std::string dir;
    std::vector<MessageRequest> shown;
    CBelastungseinschaetzungen sample;
};

// ---- export and import -------------------------------------------------------------------------

TEST_F(BelastungFileTest, ExportAndImportKeepEveryFieldAndTheOrder) {
    // Two assessments with the same begin keep the order they had.
    sample.Add(Assessment("Übergabe Süd", 1, H(13), H(13, 30), 33, 4));
    ASSERT_EQ(sample.ExportEba(Path("Station Süd")), 0);
    EXPECT_TRUE(fs::exists(Path("Station Süd.eba")));
    EXPECT_EQ(RecordsIn(XIBEL, Path("Station Süd.eba")), 4);

    CBelastungseinschaetzungen read;
    read.Add(Assessment("wird ersetzt", 1, H(1), H(2), 5));
    ASSERT_EQ(read.ImportEba(Path("Station Süd.eba")), 0);
    EXPECT_EQ(Items(read), Items(sample));
    EXPECT_EQ(read.Get(2)->TAETIGKEIT, "Spätdienst, Ausgabe");
    EXPECT_EQ(read.Get(3)->TAETIGKEIT, "Übergabe Süd");

    // The ".eba" file keeps its records: a second import reads the same.
    CBelastungseinschaetzungen again;
    ASSERT_EQ(again.ImportEba(Path("Station Süd.eba")), 0);
    EXPECT_EQ(Items(again), Items(sample));
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(ExportLeftovers(), 0);
}

TEST_F(BelastungFileTest, AnEmptyListMakesAnEmptyFileAndImportingItEmptiesTheList) {
    CBelastungseinschaetzungen empty;
    ASSERT_EQ(empty.ExportEba(Path("leer.eba")), 0);
    EXPECT_EQ(RecordsIn(XIBEL, Path("leer.eba")), 0);
    ASSERT_EQ(sample.ImportEba(Path("leer.eba")), 0);
    EXPECT_EQ(sample.Count(), 0u);
}

TEST_F(BelastungFileTest, ExportNamesGetTheExtensionUnlessTheyEndInIt) {
    const std::pair<const char*, const char*> cases[] = {
        {"plan", "plan.eba"},
        {"plan.eba", "plan.eba"},
        {"plan.EBA", "plan.EBA"},
        {"plan.eBa", "plan.eBa"},
        {"plan.eba   ", "plan.eba"},
        {"plan.eba.txt", "plan.eba.txt.eba"},
        {"plan.eco", "plan.eco.eba"},
        {"eba", "eba.eba"},
        {"Größe", "Größe.eba"},
    };
    for (const auto& [given, used] : cases) EXPECT_EQ(WithExtension(given, "eba"), used) << given;
    EXPECT_EQ(WithExtension("Kosten.ECO", "eco"), "Kosten.ECO");

    ASSERT_EQ(sample.ExportEba(Path("Plan.EBA")), 0);
    ASSERT_EQ(sample.ExportEba(Path("plan.eba.txt")), 0);
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Plan.EBA", "plan.eba.txt.eba"}));
}

TEST_F(BelastungFileTest, NoNameMeansTheDialogWasCancelled) {
    EXPECT_EQ(sample.ExportEba(""), 1);
    EXPECT_EQ(sample.ImportEba("  "), 1);
    EXPECT_EQ(sample.Count(), 3u);
    EXPECT_TRUE(shown.empty());
}

// Adds raw BEL records to a new file of that layout.
void MakeEbaFile(const std::string& name, const std::vector<TERMIN>& spans) {
    RecordFile f("XBEL", std::shared_ptr<const Layout>(std::shared_ptr<const Layout>(), &BEL.GetLayout()));
    f.SetName(name);
    ASSERT_EQ(FileCreate(f), ERR_NONE);
    ASSERT_EQ(FileOpen(f, FILE_READ_WRITE | FILE_DENY_ALL), ERR_NONE);
    for (const TERMIN& t : spans) {
        CBelastungseinschaetzung a = Assessment("roh", 1, t.BEGINN, t.ENDE, 9);
        a.ToRecord(f);
        ASSERT_EQ(FileAdd(f), ERR_NONE);
    }
    FileClose(f);
}

TEST_F(BelastungFileTest, FilesThatAreNotOursOrDamagedAreRefusedAndChangeNothing) {
    // A valid file of many records, cut in half.
    CBelastungseinschaetzungen many;
    for (uint32_t i = 0; i < 400; ++i) many.Add(Assessment("Tätigkeit " + std::to_string(i), 1, i, i + 1, i + 1));
    ASSERT_EQ(many.ExportEba(Path("kurz.eba")), 0);
    fs::resize_file(Path("kurz.eba"), fs::file_size(Path("kurz.eba")) / 2);

    WriteText(Path("text.eba"), "Tätigkeit;Beginn;Ende\nKüche;06:00;14:00\n");
    WriteText(Path("leer.eba"), "");
    // Another file of ours: the cost settings' layout, and a project container.
    {
        RecordFile eco("XKOST", std::shared_ptr<const Layout>(std::shared_ptr<const Layout>(), &KOST.GetLayout()));
        eco.SetName(Path("kosten.eco"));
        ASSERT_EQ(FileCreate(eco), ERR_NONE);
        RecordFile prj("XSCHICHT", std::shared_ptr<const Layout>(std::shared_ptr<const Layout>(), &SCHICHT.GetLayout()));
        prj.SetName(Path("plan.prj") + "\\!Schichttypen");
        ASSERT_EQ(FileCreate(prj), ERR_NONE);
    }
    MakeEbaFile(Path("nachts.eba"), {{H(6), H(14)}, {H(22), H(30)}});
    MakeEbaFile(Path("rueckwaerts.eba"), {{H(14), H(6)}});
    MakeEbaFile(Path("ohnedauer.eba"), {{H(8), H(8)}});

    const std::string damaged = "Die Datei ist keine EBA-Datei oder sie ist beschädigt.";
    const std::string foreign = "Die Datei ist keine EBA-Datei.";
    const std::pair<const char*, std::string> cases[] = {
        {"fehlt.eba", "Die Datei wurde nicht gefunden."},
        {"fehlt/auch.eba", "Die Datei wurde nicht gefunden."},
        {"kurz.eba", damaged},
        {"text.eba", damaged},
        {"leer.eba", damaged},
        {"kosten.eco", foreign},
        {"plan.prj", foreign},
        {"nachts.eba", damaged},
        {"rueckwaerts.eba", damaged},
        {"ohnedauer.eba", damaged},
    };
    for (const auto& [file, reason] : cases) {
        SCOPED_TRACE(file);
        const std::string path = Path(file);
        const bool existed = fs::exists(path);
        const std::string before = existed ? Bytes(path) : "";
        const auto items = Items(sample);
        shown.clear();

        EXPECT_EQ(sample.ImportEba(path), 5);
        EXPECT_EQ(Items(sample), items);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].caption, "Datei kann nicht geöffnet werden");
        EXPECT_EQ(shown[0].text, "Beim Öffnen der Datei ist ein Fehler aufgetreten.|" + path + "|" + reason);
        EXPECT_EQ(shown[0].icon, MessageIcon::Exclamation);
        EXPECT_EQ(fs::exists(path), existed);
        if (existed) {
            EXPECT_EQ(Bytes(path), before);
        }
    }
}

TEST_F(BelastungFileTest, AFailedExportLeavesTheOldFileAndNoScratchCopy) {
    ASSERT_EQ(sample.ExportEba(Path("alt.eba")), 0);
    const std::string before = Bytes(Path("alt.eba"));

    // Another program has the file open: it is not replaced underneath it.
    RecordFile other("XBEL", std::shared_ptr<const Layout>(std::shared_ptr<const Layout>(), &BEL.GetLayout()));
    other.SetName(Path("alt.eba"));
    ASSERT_EQ(FileOpen(other, FILE_READ_WRITE | FILE_DENY_ALL), ERR_NONE);
    CBelastungseinschaetzungen changed;
    changed.Add(Assessment("neu", 1, H(1), H(2), 1));
    EXPECT_EQ(changed.ExportEba(Path("alt.eba")), 5);
    FileClose(other);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "Datei kann nicht gespeichert werden");
    EXPECT_EQ(shown[0].text, "Beim Speichern der Datei ist ein Fehler aufgetreten.|" + Path("alt.eba")
                                 + "|Die Datei wird von einem anderen Programm benutzt.");
    EXPECT_EQ(Bytes(Path("alt.eba")), before);

    EXPECT_EQ(changed.ExportEba(Path("fehlt/neu.eba")), 5);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].text, "Beim Speichern der Datei ist ein Fehler aufgetreten.|" + Path("fehlt/neu.eba")
                                 + "|Der Ordner wurde nicht gefunden.");
    EXPECT_EQ(ExportLeftovers(), 0);

    CBelastungseinschaetzungen read;
    ASSERT_EQ(read.ImportEba(Path("alt.eba")), 0);
    EXPECT_EQ(Items(read), Items(sample));
}

// ---- the temporary file ------------------------------------------------------------------------

TEST_F(BelastungFileTest, TheTemporaryFileIsReplacedWholeAndEmptiedWhenTaken) {
    ASSERT_EQ(sample.WriteToFile(*Access::TMPBEL), 0);
    EXPECT_EQ(RecordsIn(TMPBEL, Access::TMPBEL->GetName()), 3);
    CBelastungseinschaetzungen one;
    one.Add(Assessment("eins", 2, H(9), H(10), 1));
    ASSERT_EQ(one.WriteToFile(*Access::TMPBEL), 0);
    EXPECT_EQ(RecordsIn(TMPBEL, Access::TMPBEL->GetName()), 1);

    // keep: the file stays; without: the list takes the records and the file is emptied.
    ASSERT_EQ(sample.ReadFromFile(*Access::TMPBEL, true), 0);
    EXPECT_EQ(Items(sample), Items(one));
    EXPECT_EQ(RecordsIn(TMPBEL, Access::TMPBEL->GetName()), 1);
    CBelastungseinschaetzungen taken;
    ASSERT_EQ(taken.ReadFromFile(*Access::TMPBEL, false), 0);
    EXPECT_EQ(Items(taken), Items(one));
    EXPECT_EQ(RecordsIn(TMPBEL, Access::TMPBEL->GetName()), 0);

    // A missing temporary file is made and read as empty.
    fs::remove(Access::TMPBEL->GetName());
    ASSERT_EQ(taken.ReadFromFile(*Access::TMPBEL, true), 0);
    EXPECT_EQ(taken.Count(), 0u);
    EXPECT_TRUE(fs::exists(Access::TMPBEL->GetName()));

    // A stale file under the name that is not ours is replaced.
    fs::remove(Access::TMPBEL->GetName());
    WriteText(Access::TMPBEL->GetName(), "kein Datensatz");
    ASSERT_EQ(sample.WriteToFile(*Access::TMPBEL), 0);
    EXPECT_EQ(RecordsIn(TMPBEL, Access::TMPBEL->GetName()), 1);
    EXPECT_TRUE(shown.empty());
}

// ---- the project store and the edit cycle --------------------------------------------------------

class BelastungStoreTest : public BelastungFileTest {
protected:
    void SetUp() override {
        BelastungFileTest::SetUp();
        ASSERT_EQ(files.OpenNew(Path("plan.prj")), STORE_DONE);
        ASSERT_EQ(list.Init(files, nullptr), STORE_DONE);
        list.ARBEITSBLATT = &owner;
    }
    void TearDown() override {
        list.Release(files);
        files.Close();
        BelastungFileTest::TearDown();
    }
    CProjektFileManager files;
    CBelastungseinschaetzungen list;
    CountingOwner owner;
};

TEST_F(BelastungStoreTest, StepsUndoRedoSaveAndReload) {
    EXPECT_EQ(list.ResetNew(), STORE_DONE);
    EXPECT_EQ(list.Count(), 0u);
    list.Add(*sample.Get(1));
    ASSERT_EQ(list.StoreStep(), STORE_DONE);
    EXPECT_EQ(list.Get(1)->STEP, 1);   // the assessment stands for the record of its step
    EXPECT_EQ(list.Get(1)->ID, list.FileManager().GetID());
    EXPECT_EQ(list.Undo(1), STORE_REFUSED);
    EXPECT_EQ(list.Count(), 1u);

    list.AssignFrom(sample);
    ASSERT_EQ(list.StoreStep(), STORE_DONE);
    const auto second = Items(list);
    ASSERT_EQ(list.Undo(1), STORE_DONE);
    ASSERT_EQ(list.Count(), 1u);
    EXPECT_EQ(list.Get(1)->TAETIGKEIT, "Frühdienst Küche");
    EXPECT_EQ(list.Get(1)->EINSCHAETZUNG, sample.Get(1)->EINSCHAETZUNG);
    ASSERT_EQ(list.Redo(1), STORE_DONE);
    EXPECT_EQ(Items(list), second);
    EXPECT_EQ(list.Redo(1), STORE_REFUSED);

    // Saved to a project file and opened again: the same assessments, in the same order.
    ASSERT_EQ(files.Save(Path("plan.prj"), false), STORE_DONE);
    EXPECT_FALSE(list.CanUndo(1));
    list.Release(files);
    files.Close();
    ASSERT_EQ(files.Open(Path("plan.prj")), STORE_DONE);
    ASSERT_EQ(list.Init(files, nullptr), STORE_DONE);
    list.Clear();
    ASSERT_EQ(list.Load(true), STORE_DONE);
    ASSERT_EQ(list.Count(), 3u);
    for (size_t i = 1; i <= 3; ++i) {
        const CBelastungseinschaetzung& a = *list.Get(i);
        const CBelastungseinschaetzung& b = second[i - 1];
        EXPECT_EQ(a.SYSID, b.SYSID);
        EXPECT_EQ(a.WOCHENTAGE, b.WOCHENTAGE);
        EXPECT_EQ(a.TAETIGKEIT, b.TAETIGKEIT);
        EXPECT_EQ(a.TERMIN, b.TERMIN);
        EXPECT_EQ(a.EINSCHAETZUNG, b.EINSCHAETZUNG);
    }
}

// The browse stand-in: checks that it sees the list's records, then adds one. The edit holds the
// file open for the whole cycle, so that no other edit takes it meanwhile.
int AddOneInBrowse(size_t expected, const CBelastungseinschaetzung& added, int answer) {
    EXPECT_TRUE(Access::TMPBEL->IsOpen());
    EXPECT_EQ(FileRecords(TMPBEL), int64_t(expected));
    added.ToRecord(TMPBEL);
    EXPECT_EQ(FileAdd(TMPBEL), ERR_NONE);
    return answer;
}

TEST_F(BelastungStoreTest, EditCycleTakesTheBrowsedRecordsOnlyWhenCompleted) {
    list.AssignFrom(sample);
    ASSERT_EQ(list.StoreStep(), STORE_DONE);
    const CBelastungseinschaetzung added = Assessment("Reinigung", 2, H(5), H(6), 77);

    // Without a browse window nothing happens.
    EXPECT_EQ(list.TakeRequest(TREE_OPEN, ""), 0);
    EXPECT_EQ(list.Count(), 3u);

    int runs = 0;
    CBelastungseinschaetzungen::SetBrowseProcedure([&] {
        ++runs;
        return AddOneInBrowse(3, added, 2);
    });
    EXPECT_EQ(list.Edit(), 0);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(Content(list), Content(sample));
    EXPECT_EQ(owner.changes, 0);
    EXPECT_FALSE(list.CanUndo(1));

    // Other requests are refused without opening the browse.
    EXPECT_FALSE(list.AcceptsRequest(1));
    EXPECT_EQ(list.TakeRequest(1, ""), 5);
    EXPECT_EQ(runs, 1);

    CBelastungseinschaetzungen::SetBrowseProcedure([&] { return AddOneInBrowse(3, added, 1); });
    EXPECT_TRUE(list.AcceptsRequest(TREE_OPEN));
    EXPECT_EQ(list.TakeRequest(TREE_OPEN, "Belastungseinschätzung nach EBA"), 0);
    ASSERT_EQ(list.Count(), 4u);
    EXPECT_EQ(list.Get(1)->TAETIGKEIT, "Reinigung");
    EXPECT_EQ(owner.changes, 1);
    EXPECT_TRUE(list.CanUndo(1));
    EXPECT_EQ(RecordsIn(TMPBEL, Access::TMPBEL->GetName()), 0);
    ASSERT_EQ(list.Undo(1), STORE_DONE);
    EXPECT_EQ(list.Count(), 3u);
    EXPECT_TRUE(shown.empty());
}

TEST_F(BelastungStoreTest, AnEditThatCannotBeTakenLeavesListAndStepsAsTheyWere) {
    list.AssignFrom(sample);
    ASSERT_EQ(list.StoreStep(), STORE_DONE);

    // The browse leaves a record the list cannot take (it ends before it begins).
    CBelastungseinschaetzungen::SetBrowseProcedure([&] { return AddOneInBrowse(3, Assessment("x", 1, H(9), H(8), 1), 1); });
    EXPECT_EQ(list.Edit(), 0);
    EXPECT_EQ(Content(list), Content(sample));
    EXPECT_FALSE(list.CanUndo(1));
    EXPECT_EQ(owner.changes, 0);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "Datei kann nicht geöffnet werden");

    // The temporary file cannot be written: the browse is not opened on stale records.
    Access::TMPBEL->SetName(Path("fehlt/Belastungseinschaetzungen.tmp"));
    int runs = 0;
    CBelastungseinschaetzungen::SetBrowseProcedure([&] { return ++runs, 1; });
    EXPECT_EQ(list.Edit(), 0);
    EXPECT_EQ(runs, 0);
    EXPECT_EQ(Content(list), Content(sample));
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].caption, "Datei kann nicht gespeichert werden");
}

// The table goes away under the store: the list keeps the edit, the user is told once, the caller
// gets 5, and the steps before are as they were.
TEST_F(BelastungStoreTest, AnEditWhoseStepCannotBeStoredIsReportedAndKeepsTheStepBefore) {
    list.Add(*sample.Get(1));
    ASSERT_EQ(list.StoreStep(), STORE_DONE);
    list.AssignFrom(sample);
    ASSERT_EQ(list.StoreStep(), STORE_DONE);

    ASSERT_EQ(FileClose(BEL), ERR_NONE);
    const CBelastungseinschaetzung added = Assessment("Reinigung", 2, H(5), H(6), 77);
    CBelastungseinschaetzungen::SetBrowseProcedure([&] { return AddOneInBrowse(3, added, 1); });
    EXPECT_EQ(list.Edit(), STORE_REFUSED);
    CBelastungseinschaetzungen::SetBrowseProcedure({});
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "Belastungseinschätzungen nicht gespeichert");
    EXPECT_EQ(shown[0].text, "Die geänderten Belastungseinschätzungen konnten nicht als Bearbeitungsschritt "
                             "gespeichert werden.|Die Liste bleibt wie geändert; der vorige Schritt ist "
                             "unverändert erhalten.");
    EXPECT_EQ(list.Count(), 4u);
    EXPECT_EQ(owner.changes, 1);

    GlobalFileName = files.PhysFileName() + "\\!Belastungseinschaetzungen";
    ASSERT_EQ(FileOpen(BEL, FILE_READ_WRITE | FILE_DENY_ALL), ERR_NONE);
    GlobalFileName.clear();
    EXPECT_FALSE(list.CanRedo(1));
    ASSERT_EQ(list.Undo(1), STORE_DONE);
    EXPECT_EQ(list.Count(), 1u);
    ASSERT_EQ(list.Redo(1), STORE_DONE);
    EXPECT_EQ(Content(list), Content(sample));
    EXPECT_FALSE(list.CanRedo(1));
}

TEST_F(BelastungStoreTest, TheTreeNodeIsOneLeafRow) {
    CTree tree;
    tree.Refresh(&list);
    ASSERT_EQ(tree.RowCount(), 1);
    EXPECT_EQ(tree.Row(1)->SCREENTEXT, "Belastungseinschätzung nach EBA");
    EXPECT_EQ(tree.Row(1)->LEVEL, 1);
    EXPECT_EQ(tree.Row(1)->ENTRY, &list);
    EXPECT_EQ(tree.ICONLIST.NameAt(tree.Row(1)->ICONNR), "~MINI_BELASTUNG.ICO");
    EXPECT_EQ(list.CountEntries(), 1);
    EXPECT_FALSE(list.ForceReset());
}

} // namespace

// ---- writing the user's file safely ------------------------------------------------------------

// A write of the list that fails part-way (a full disk: every write from some point on fails)
// leaves the user's file with what it had: it is never removed or emptied before the new content
// is complete.
TEST_F(BelastungFileTest, AFailedWriteLeavesTheFileAsItWas) {
    Access::TMPBEL->SetName(Path("tag.eba"));
    ASSERT_EQ(sample.WriteToFile(*Access::TMPBEL), 0);
    const std::string before = Bytes(Path("tag.eba"));
    CBelastungseinschaetzungen other;
    other.Add(Assessment("Anders", 1, H(8), H(9), 5, 4));
    FailingDisk disk;
    for (long at = 1; at <= 12; ++at) {
        SCOPED_TRACE(at);
        disk.FailFrom(at);
        const uint8_t written = other.WriteToFile(*Access::TMPBEL);
        disk.FailFrom(0);
        CBelastungseinschaetzungen back;
        ASSERT_EQ(back.ReadFromFile(*Access::TMPBEL, true), 0);
        if (written != 0) {
            EXPECT_EQ(Bytes(Path("tag.eba")), before);
            EXPECT_EQ(Content(back), Content(sample));
        } else {
            EXPECT_EQ(Content(back), Content(other));
            ASSERT_EQ(sample.WriteToFile(*Access::TMPBEL), 0);
        }
    }
}

// Ratings are 0 .. 9: the file of the trial with a rating near 2^31 is refused on import with the
// import's own message, and the list stays as it was.
TEST_F(BelastungFileTest, RatingsOutOfRangeAreRefusedOnImport) {
    const char* data = std::getenv("VARN_DATA_DIR");
    const fs::path fixture = fs::path(data ? data : "data") / ".." / "tests" / "data" / "damaged" / "rating-overflow.eba";
    fs::copy_file(fixture, Path("kaputt.eba"));
    fs::permissions(Path("kaputt.eba"), fs::perms::owner_write, fs::perm_options::add);
    const auto before = Items(sample);
    EXPECT_EQ(sample.ImportEba(Path("kaputt.eba")), CBelastungseinschaetzungen::RESULT_FAILED);
    EXPECT_EQ(Items(sample), before);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Beim Öffnen der Datei ist ein Fehler aufgetreten.|" + Path("kaputt.eba") +
                                 "|Die Datei ist keine EBA-Datei oder sie ist beschädigt.");

    for (const int32_t rating : {-1, 10, 2147483647}) {
        SCOPED_TRACE(rating);
        CBelastungseinschaetzungen bad;
        CBelastungseinschaetzung a = Assessment("Zu hoch", 1, H(8), H(9), 5, 1);
        a.SetItem(3, rating);
        bad.Add(a);
        ASSERT_EQ(bad.ExportEba(Path("hoch.eba")), 0);
        EXPECT_EQ(sample.ImportEba(Path("hoch.eba")), CBelastungseinschaetzungen::RESULT_FAILED);
        EXPECT_EQ(Items(sample), before);
    }
}

// Damaged copies of a good ".eba" file (random bytes changed, pieces repeated; the same copies
// every run, so a failure replays): each import is refused with the list and the file unchanged,
// or takes a list whose every assessment is one a form could give.
TEST_F(BelastungFileTest, MutatedFilesAreRefusedOrGiveSoundAssessments) {
    for (int k = 4; k <= 12; ++k) sample.Add(Assessment("Dienst " + std::to_string(k), 1, H(k), H(k, 30), 10 + k, k));
    ASSERT_EQ(sample.ExportEba(Path("gut.eba")), 0);
    const std::string good = Bytes(Path("gut.eba"));
    std::mt19937 rng(4711);
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
        WriteText(Path("f.eba"), bytes);
        CBelastungseinschaetzungen list;
        for (const auto& a : Items(sample)) list.Add(a);
        const auto before = Items(list);
        shown.clear();
        if (list.ImportEba(Path("f.eba")) != 0) {
            ++refused;
            EXPECT_EQ(Items(list), before);
        } else {
            ++taken;
            for (const auto& a : Items(list)) {
                EXPECT_LT(a.TERMIN.BEGINN, a.TERMIN.ENDE);
                for (int32_t v : a.EINSCHAETZUNG) EXPECT_TRUE(v >= 0 && v <= 9);
            }
        }
        EXPECT_EQ(Bytes(Path("f.eba")), bytes);
    }
    EXPECT_GT(refused, 0);
    EXPECT_GT(taken, 0);
}
