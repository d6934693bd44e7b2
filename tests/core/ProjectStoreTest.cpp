#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <iterator>
#include <map>

#include "ProjectStoreParts.h"

namespace {

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<Row> RowsOfID(const std::vector<Row>& rows, int32_t id) {
    std::vector<Row> mine;
    for (const Row& r : rows)
        if (r.id == id) mine.push_back(r);
    return mine;
}

std::vector<Row> RowsFor(int32_t id, int32_t step, const std::vector<Item>& items) {
    std::vector<Row> rows;
    for (const Item& i : items) rows.push_back({id, step, i.name, i.value});
    return rows;
}

std::shared_ptr<const Layout> StampLayout() {
    return std::shared_ptr<const Layout>(std::shared_ptr<const Layout>(), &STAMP.GetLayout());
}

// Rewrites the stamp record of a closed project file.
void PatchStamp(const std::string& file, const std::function<void(RecordFile&)>& change) {
    RecordFile st("STEMPEL", StampLayout());
    st.SetName(file + "\\!Filestamp");
    ASSERT_EQ(FileOpen(st, FILE_READ_WRITE | FILE_DENY_ALL), ERR_NONE);
    ASSERT_EQ(FileSet(st), ERR_NONE);
    ASSERT_EQ(FileNext(st), ERR_NONE);
    change(st);
    ASSERT_EQ(FilePut(st), ERR_NONE);
    ASSERT_EQ(FileClose(st), ERR_NONE);
}

void Sql(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

std::vector<Item> Items(const std::string& prefix, int n, int value = 0) {
    std::vector<Item> items;
    for (int i = 1; i <= n; ++i) items.push_back({prefix + std::to_string(i), value + i});
    return items;
}

using ProjectStore = StoreDir;

} // namespace

// ---- undo steps ------------------------------------------------------------------------------

// S stores new content (1 to 3 items, so that steps of different sizes would show when mixed),
// U/R undo/redo one step, u/r two. After every operation the part, its counters and the records
// of its ID in the working copy must match a plain list of steps.
TEST_F(ProjectStore, StepSequencesMatchAListOfSteps) {
    const char* cases[] = {
        "U", "R", "S", "SU", "SUU", "SSU", "SSUR", "SSURR", "SSUS", "SSUUS", "SSSuS", "SSSuR",
        "SSSuRr", "SSUSR", "SSUSUR", "SSSUUUS", "SSSSuUrS", "SUSUSUS",
    };
    for (const char* ops : cases) {
        SCOPED_TRACE(ops);
        TestProject p;
        ASSERT_EQ(p.fm.OpenNew(Path("schritte.prj")), STORE_DONE);
        ListPart& part = p.Add("Blatt", {}).list;   // step 1: empty
        std::vector<std::vector<Item>> steps{{}};
        size_t current = 1;
        int stored = 0;
        for (const char* op = ops; *op; ++op) {
            SCOPED_TRACE(std::string("after ") + std::string(ops, op + 1));
            const int n = (*op == 'u' || *op == 'r') ? 2 : 1;
            if (*op == 'S') {
                ++stored;
                part.items = Items("s" + std::to_string(stored) + "-", stored % 3 + 1, stored * 10);
                ASSERT_EQ(part.StoreStep(), STORE_DONE);
                steps.resize(current);
                steps.push_back(part.items);
                ++current;
            } else if (*op == 'U' || *op == 'u') {
                const bool possible = current > static_cast<size_t>(n);
                EXPECT_EQ(part.Undo(n), possible ? STORE_DONE : STORE_REFUSED);
                if (possible) current -= static_cast<size_t>(n);
            } else {
                const bool possible = current + static_cast<size_t>(n) <= steps.size();
                EXPECT_EQ(part.Redo(n), possible ? STORE_DONE : STORE_REFUSED);
                if (possible) current += static_cast<size_t>(n);
            }
            EXPECT_EQ(part.items, steps[current - 1]);
            EXPECT_EQ(part.FileManager().CurrentStep(), static_cast<int32_t>(current));
            EXPECT_EQ(part.CanUndo(1), current > 1);
            EXPECT_EQ(part.CanRedo(1), current < steps.size());
            std::vector<Row> expected;
            for (size_t s = 0; s < steps.size(); ++s) {
                const auto rows = RowsFor(part.ID(), static_cast<int32_t>(s + 1), steps[s]);
                expected.insert(expected.end(), rows.begin(), rows.end());
            }
            EXPECT_EQ(RowsOfID(RowsOf(ItemFile()), part.ID()), expected);
        }
    }
}

TEST_F(ProjectStore, FailedStoreStepLeavesStepsAndCountersAsTheyWere) {
    TestProject p;
    ASSERT_EQ(p.fm.OpenNew(Path("a.prj")), STORE_DONE);
    ListPart& part = p.Add("Blatt", Items("a", 2)).list;
    part.items = Items("b", 3);
    ASSERT_EQ(part.StoreStep(), STORE_DONE);
    ASSERT_EQ(part.Undo(1), STORE_DONE);   // step 2 waits for redo
    const auto before = RowsOf(ItemFile());

    part.items = {{"x", 1}, {"x", 2}};   // a name twice in one step: the second add fails
    EXPECT_EQ(part.StoreStep(), STORE_REFUSED);
    EXPECT_EQ(RowsOf(ItemFile()), before);   // the redo step was not deleted either
    EXPECT_EQ(part.FileManager().CurrentStep(), 1);
    EXPECT_TRUE(part.CanRedo(1));
    EXPECT_EQ(part.Redo(1), STORE_DONE);
    EXPECT_EQ(part.items, Items("b", 3));
}

// ---- saving and opening ------------------------------------------------------------------------

TEST_F(ProjectStore, SavedPartsKeepTheirIDsAndNewOnesContinueAboveTheStartValue) {
    std::vector<std::pair<int32_t, int32_t>> ids;
    std::vector<std::vector<Item>> contents;
    int32_t counterAtSave = 0;
    {
        TestProject p;
        ASSERT_EQ(p.fm.OpenNew(Path("a.prj")), STORE_DONE);
        for (int s = 1; s <= 3; ++s) {
            Sheet& sheet = p.Add("Blatt " + std::to_string(s), Items("p", s));
            for (int edit = 1; edit <= 3; ++edit) {
                sheet.list.items = Items("e" + std::to_string(edit) + "-", s + edit, 100 * s);
                ASSERT_EQ(sheet.list.StoreStep(), STORE_DONE);
            }
        }
        // The saved content is the current step, not the last one stored.
        ASSERT_EQ(p.sheets[1]->list.Undo(1), STORE_DONE);
        for (auto& s : p.sheets) {
            ids.emplace_back(s->sheet.ID(), s->list.ID());
            contents.push_back(s->list.items);
        }
        EXPECT_TRUE(p.fm.IsChanged());
        ASSERT_EQ(p.fm.Save(Path("a.prj"), false), STORE_DONE);
        EXPECT_FALSE(p.fm.IsChanged());
        counterAtSave = p.fm.IDCounter();
        for (auto& s : p.sheets) {
            EXPECT_EQ(s->list.FileManager().CurrentStep(), 1);
            EXPECT_FALSE(s->list.CanUndo(1));
            EXPECT_FALSE(s->list.CanRedo(1));
        }
        // The working copy too holds one step per part.
        const auto rows = RowsOf(ItemFile());
        for (size_t k = 0; k < ids.size(); ++k)
            EXPECT_EQ(RowsOfID(rows, ids[k].second), RowsFor(ids[k].second, 1, contents[k]));
    }
    // The file on disk: exactly one step per part.
    const auto saved = RowsIn(Path("a.prj"), "Posten");
    size_t total = 0;
    for (const auto& c : contents) total += c.size();
    EXPECT_EQ(saved.size(), total);
    for (size_t k = 0; k < ids.size(); ++k)
        EXPECT_EQ(RowsOfID(saved, ids[k].second), RowsFor(ids[k].second, 1, contents[k]));

    TestProject q;
    ASSERT_EQ(q.Load(Path("a.prj")), STORE_DONE);
    ASSERT_EQ(q.sheets.size(), size_t{3});
    for (size_t k = 0; k < ids.size(); ++k) {
        EXPECT_EQ(q.sheets[k]->sheet.ID(), ids[k].first);
        EXPECT_EQ(q.sheets[k]->list.ID(), ids[k].second);
        EXPECT_EQ(q.sheets[k]->sheet.items, (std::vector<Item>{{"Blatt " + std::to_string(k + 1), 0}}));
        EXPECT_EQ(q.sheets[k]->list.items, contents[k]);
        EXPECT_FALSE(q.sheets[k]->list.CanUndo(1));
    }
    EXPECT_EQ(q.fm.IDCounter(), counterAtSave);
    Sheet& added = q.Add("Neu", Items("n", 1));
    EXPECT_EQ(added.sheet.ID(), counterAtSave);
    EXPECT_EQ(added.list.ID(), counterAtSave * 32768 + counterAtSave + 1);
    for (const auto& [sheetID, listID] : ids) {
        EXPECT_LT(sheetID, counterAtSave);
        EXPECT_LT(listID % 32768, counterAtSave);
    }
}

TEST_F(ProjectStore, SavingAsWritesTheNewNameAndLeavesTheOldFile) {
    TestProject p;
    ASSERT_EQ(p.fm.OpenNew(Path("alt.prj")), STORE_DONE);
    ListPart& part = p.Add("Blatt", Items("a", 2)).list;
    ASSERT_EQ(p.fm.Save(Path("alt.prj"), false), STORE_DONE);
    const std::string old = ReadBytes(Path("alt.prj"));

    part.items = Items("b", 3);
    ASSERT_EQ(part.StoreStep(), STORE_DONE);
    ASSERT_EQ(p.fm.Save(Path("neu.prj"), true), STORE_DONE);
    EXPECT_EQ(ReadBytes(Path("alt.prj")), old);
    EXPECT_EQ(RowsOfID(RowsIn(Path("neu.prj"), "Posten"), part.ID()), RowsFor(part.ID(), 1, Items("b", 3)));
    EXPECT_EQ(p.fm.FileName(), Path("alt.prj"));   // the caller keeps its name

    ASSERT_EQ(p.fm.Save(Path("dritte.prj"), false), STORE_DONE);
    EXPECT_EQ(p.fm.FileName(), Path("dritte.prj"));
    EXPECT_EQ(ReadBytes(Path("alt.prj")), old);
}

TEST_F(ProjectStore, FailedCopyLeavesTheProjectFileAndReportsIt) {
    TestProject p;
    ASSERT_EQ(p.fm.OpenNew(Path("a.prj")), STORE_DONE);
    ListPart& part = p.Add("Blatt", Items("a", 2)).list;
    ASSERT_EQ(p.fm.Save(Path("a.prj"), false), STORE_DONE);
    const std::string old = ReadBytes(Path("a.prj"));
    part.items = Items("b", 3);
    ASSERT_EQ(part.StoreStep(), STORE_DONE);

    {
        // Another user holds the project file: the copy cannot replace it.
        RecordFile holder("HALTER", StampLayout());
        holder.SetName(Path("a.prj") + "\\!Filestamp");
        ASSERT_EQ(FileOpen(holder, FILE_READ_ONLY | FILE_DENY_NONE), ERR_NONE);
        EXPECT_EQ(p.fm.Save(Path("a.prj"), false), STORE_REFUSED);
        EXPECT_EQ(ErrorCode(), ERR_FILE_IN_USE);
        EXPECT_EQ(ReadBytes(Path("a.prj")), old);
        EXPECT_TRUE(p.fm.IsChanged());
    }
    EXPECT_EQ(p.fm.Save(Path("fehlt/a.prj"), false), STORE_REFUSED);
    EXPECT_FALSE(std::filesystem::exists(Path("fehlt")));

    // The parts still work, and the next save succeeds.
    part.items = Items("c", 1);
    ASSERT_EQ(part.StoreStep(), STORE_DONE);
    ASSERT_EQ(p.fm.Save(Path("a.prj"), false), STORE_DONE);
    EXPECT_EQ(RowsOfID(RowsIn(Path("a.prj"), "Posten"), part.ID()), RowsFor(part.ID(), 1, Items("c", 1)));
}

TEST_F(ProjectStore, PartThatCannotSaveKeepsItsStepsAndTheFile) {
    TestProject p;
    ASSERT_EQ(p.fm.OpenNew(Path("a.prj")), STORE_DONE);
    ListPart& part = p.Add("Blatt", Items("a", 2)).list;
    ASSERT_EQ(p.fm.Save(Path("a.prj"), false), STORE_DONE);
    const std::string old = ReadBytes(Path("a.prj"));
    part.items = Items("b", 2);
    ASSERT_EQ(part.StoreStep(), STORE_DONE);
    const auto rows = RowsOf(ItemFile());

    // Deleting the steps succeeds, writing the one left fails: nothing of it stays.
    part.items = {{"x", 1}, {"x", 2}};
    EXPECT_EQ(part.Save(), STORE_REFUSED);
    EXPECT_EQ(RowsOf(ItemFile()), rows);
    EXPECT_EQ(part.FileManager().CurrentStep(), 2);
    EXPECT_EQ(part.FileManager().StepsInFile(), 2);

    EXPECT_EQ(p.fm.Save(Path("a.prj"), false), STORE_REFUSED);
    EXPECT_EQ(ReadBytes(Path("a.prj")), old);
    // The working copy still holds the last good step.
    EXPECT_EQ(RowsOfID(RowsOf(ItemFile()), part.ID()), RowsFor(part.ID(), 1, Items("b", 2)));
    EXPECT_EQ(part.Undo(1), STORE_REFUSED);
    part.items = Items("c", 2);
    EXPECT_EQ(p.fm.Save(Path("a.prj"), false), STORE_DONE);
}

TEST_F(ProjectStore, PartThatFailedToLoadRefusesToStoreOrSave) {
    int32_t damagedID = 0;
    {
        TestProject p;
        ASSERT_EQ(p.fm.OpenNew(Path("a.prj")), STORE_DONE);
        p.Add("Eins", Items("a", 3));
        damagedID = p.Add("Zwei", Items("b", 3)).list.ID();
        ASSERT_EQ(p.fm.Save(Path("a.prj"), false), STORE_DONE);
    }
    const std::string old = ReadBytes(Path("a.prj"));
    TestProject q;
    ASSERT_EQ(q.Load(Path("a.prj")), STORE_DONE);
    ASSERT_EQ(q.sheets.size(), size_t{2});
    ListPart& good = q.sheets[0]->list;
    ListPart& damaged = q.sheets[1]->list;
    // A file damaged that way does not open at all; here the working copy is damaged while the
    // project is open, and the second record of the second list becomes unreadable.
    Sql(Path("a.prj~"), "UPDATE t_posten SET rec = x'00' WHERE id IN (SELECT id FROM t_posten WHERE k0_0 = " +
                            std::to_string(damagedID) + " ORDER BY id LIMIT 1 OFFSET 1)");
    EXPECT_EQ(damaged.Load(true), STORE_FILE_ERROR);
    EXPECT_EQ(good.items, Items("a", 3));
    EXPECT_EQ(damaged.items, Items("b", 1));   // what came before the damage
    EXPECT_TRUE(damaged.FileManager().LoadFailed());
    EXPECT_EQ(damaged.StoreStep(), STORE_REFUSED);
    EXPECT_EQ(damaged.Save(), STORE_REFUSED);

    good.items = Items("c", 1);
    ASSERT_EQ(good.StoreStep(), STORE_DONE);
    EXPECT_EQ(q.fm.Save(Path("a.prj"), false), STORE_REFUSED);
    EXPECT_EQ(q.fm.Save(Path("b.prj"), false), STORE_REFUSED);
    EXPECT_EQ(ReadBytes(Path("a.prj")), old);
    EXPECT_FALSE(std::filesystem::exists(Path("b.prj")));
}

TEST_F(ProjectStore, LocalNumbersStopAtTheirRangeInsteadOfWrapping) {
    {
        TestProject p;
        ASSERT_EQ(p.fm.OpenNew(Path("a.prj")), STORE_DONE);
        p.Add("Blatt", {});
        ASSERT_EQ(p.fm.Save(Path("a.prj"), false), STORE_DONE);
    }
    const struct {
        int32_t start;
        int registered;
    } cases[] = {{32767, 1}, {32768, 0}, {40000, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.start);
        std::filesystem::copy_file(Path("a.prj"), Path("b.prj"), std::filesystem::copy_options::overwrite_existing);
        PatchStamp(Path("b.prj"), [&](RecordFile& st) { st.SetInt("IDSEED", c.start); });
        TestProject q;
        ASSERT_EQ(q.Load(Path("b.prj")), STORE_DONE);
        const size_t before = q.fm.Subfiles().size();
        auto sheet = std::make_unique<Sheet>();
        // A sheet and its list take two numbers; the last is 32767.
        EXPECT_EQ(sheet->Init(q.fm), STORE_REFUSED);
        EXPECT_EQ(q.fm.Subfiles().size(), before + static_cast<size_t>(c.registered));
        EXPECT_EQ(sheet->list.ID(), CSubfileManager::kNoID);
        EXPECT_EQ(sheet->list.StoreStep(), STORE_REFUSED);
        if (c.registered) {
            EXPECT_EQ(sheet->sheet.ID(), 32767);
        }
        sheet->Release(q.fm);
    }
}

TEST_F(ProjectStore, NewProjectIgnoresAStaleFileOfItsName) {
    {
        TestProject p;
        ASSERT_EQ(p.fm.OpenNew("unbenannt.prj"), STORE_DONE);
        p.Add("Alt", Items("alt", 4));
        ASSERT_EQ(p.fm.Save("unbenannt.prj", false), STORE_DONE);
    }
    std::ofstream(Path("unbenannt.prj~")) << "Reste eines abgebrochenen Laufs";
    const std::string stale = ReadBytes(Path("unbenannt.prj"));

    TestProject p;
    ASSERT_EQ(p.fm.OpenNew("unbenannt.prj"), STORE_DONE);
    // Without a directory the working copy lies in the current one.
    EXPECT_EQ(p.fm.PhysFileName(), Path("unbenannt.prj~"));
    Sheet& s = *p.sheets.emplace_back(std::make_unique<Sheet>());
    ASSERT_EQ(s.Init(p.fm), STORE_DONE);
    EXPECT_EQ(s.sheet.Load(true), STORE_DONE);
    EXPECT_EQ(s.list.Load(true), STORE_DONE);
    EXPECT_TRUE(s.sheet.items.empty());
    EXPECT_TRUE(s.list.items.empty());
    EXPECT_EQ(s.sheet.CountInstances(), 0);
    EXPECT_EQ(ReadBytes(Path("unbenannt.prj")), stale);
    EXPECT_TRUE(RowsOf(ItemFile()).empty());
}

// ---- the stamp -------------------------------------------------------------------------------

TEST_F(ProjectStore, StampDecidesWhetherAFileOpens) {
    {
        TestProject p;
        ASSERT_EQ(p.fm.OpenNew(Path("basis.prj")), STORE_DONE);
        p.Add("Blatt", Items("a", 1));
        ASSERT_EQ(p.fm.Save(Path("basis.prj"), false), STORE_DONE);
    }
    const struct {
        const char* name;
        const char* version;
        const char* minor;
        bool message;
        uint8_t result;
    } cases[] = {
        {"gleich", "Varn 4.0", "Alpha 4.13", false, STORE_DONE},
        {"andere Version", "Varn 3.5", "Alpha 4.13", false, STORE_REFUSED},
        {"andere Unterversion", "Varn 4.0", "Alpha 4.12", true, STORE_REFUSED},
        {"andere Schreibweise", "Varn 4.0", "alpha 4.13", true, STORE_REFUSED},
        {"ohne Stempeltabelle", nullptr, nullptr, false, STORE_REFUSED},
        {"leere Stempeltabelle", "", nullptr, false, STORE_REFUSED},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        messages_.clear();
        std::filesystem::copy_file(Path("basis.prj"), Path("fall.prj"), std::filesystem::copy_options::overwrite_existing);
        if (!c.version) {
            ASSERT_EQ(FileRemoveNamed(Path("fall.prj") + "\\!Filestamp"), ERR_NONE);
        } else if (!c.minor) {
            RecordFile st("STEMPEL", StampLayout());
            st.SetName(Path("fall.prj") + "\\!Filestamp");
            ASSERT_EQ(FileOpen(st, FILE_READ_WRITE | FILE_DENY_ALL), ERR_NONE);
            ASSERT_EQ(FileEmpty(st), ERR_NONE);
            ASSERT_EQ(FileClose(st), ERR_NONE);
        } else {
            PatchStamp(Path("fall.prj"), [&](RecordFile& st) {
                st.SetString("VERSION", c.version);
                st.SetString("MINORVERSION", c.minor);
            });
        }
        const std::string before = ReadBytes(Path("fall.prj"));
        TestProject p;
        EXPECT_EQ(p.Load(Path("fall.prj")), c.result);
        if (c.message) {
            ASSERT_EQ(messages_.size(), size_t{1});
            EXPECT_EQ(messages_[0].text,
                      "Diese Projektdatei wurde mit einer vorherigen Version von Varn 4 erstellt und kann nicht "
                      "geöffnet werden, weil sich das Dateiformat geändert hat.");
            EXPECT_EQ(messages_[0].caption, "alte Datei kann nicht geöffnet werden");
            EXPECT_EQ(messages_[0].icon, MessageIcon::Exclamation);
            EXPECT_EQ(messages_[0].buttonBits, unsigned{BUTTON_OK});
        } else {
            EXPECT_TRUE(messages_.empty());
        }
        EXPECT_EQ(std::filesystem::exists(Path("fall.prj~")), c.result == STORE_DONE);
        if (c.result != STORE_DONE) {
            EXPECT_EQ(ErrorCode(), ERR_INVALID_FILE);
        }
        p.Close();
        EXPECT_EQ(ReadBytes(Path("fall.prj")), before);
    }
}

TEST_F(ProjectStore, NewFileGetsAStampAndNothingElse) {
    CProjektFileManager fm;
    ASSERT_EQ(fm.Open(Path("neu.prj")), STORE_DONE);
    EXPECT_FALSE(std::filesystem::exists(Path("neu.prj")));
    RecordFile st("STEMPEL", StampLayout());
    st.SetName(Path("neu.prj~") + "\\!Filestamp");
    ASSERT_EQ(FileOpen(st, FILE_READ_ONLY | FILE_DENY_NONE), ERR_NONE);
    ASSERT_EQ(FileSet(st), ERR_NONE);
    ASSERT_EQ(FileNext(st), ERR_NONE);
    EXPECT_EQ(st.GetString("VERSION"), "Varn 4.0");
    EXPECT_EQ(st.GetString("MINORVERSION"), "Alpha 4.13");
    EXPECT_EQ(st.GetInt("IDSEED"), 1);
    EXPECT_EQ(FileNext(st), ERR_NO_RECORD);
    FileClose(st);
    EXPECT_TRUE(RowsIn(Path("neu.prj~"), "Posten").empty());
    fm.Close();
    EXPECT_FALSE(std::filesystem::exists(Path("neu.prj~")));
}

// ---- tables shared by parts ------------------------------------------------------------------

TEST_F(ProjectStore, PartsOfOneLayoutShareTheirTable) {
    TestProject p;
    ASSERT_EQ(p.fm.OpenNew(Path("a.prj")), STORE_DONE);
    Sheet& one = p.Add("Eins", Items("a", 2));
    Sheet& two = p.Add("Zwei", Items("b", 3));
    EXPECT_EQ(CSubfileManager::UseCount(ItemFile()), 2);
    EXPECT_NE(one.list.ID(), two.list.ID());
    EXPECT_EQ(one.list.ID() / 32768, one.sheet.ID());
    EXPECT_EQ(two.list.ID() / 32768, two.sheet.ID());
    const auto rows = RowsOf(ItemFile());
    EXPECT_EQ(RowsOfID(rows, one.list.ID()), RowsFor(one.list.ID(), 1, Items("a", 2)));
    EXPECT_EQ(RowsOfID(rows, two.list.ID()), RowsFor(two.list.ID(), 1, Items("b", 3)));
    EXPECT_EQ(one.list.CountInstances(), 5);

    one.list.Release(p.fm);
    EXPECT_EQ(CSubfileManager::UseCount(ItemFile()), 1);
    EXPECT_TRUE(FileIsOpen(ItemFile()));
    two.list.items = Items("c", 1);
    EXPECT_EQ(two.list.StoreStep(), STORE_DONE);
    EXPECT_EQ(two.list.Undo(1), STORE_DONE);
    EXPECT_EQ(two.list.items, Items("b", 3));
    two.list.Release(p.fm);
    EXPECT_EQ(CSubfileManager::UseCount(ItemFile()), 0);
    EXPECT_FALSE(FileIsOpen(ItemFile()));
}

TEST_F(ProjectStore, DeletedSheetLeavesNoRecords) {
    {
        TestProject p;
        ASSERT_EQ(p.fm.OpenNew(Path("a.prj")), STORE_DONE);
        p.Add("Eins", Items("a", 2));
        Sheet& two = p.Add("Zwei", Items("b", 3));
        two.list.items = Items("c", 2);
        ASSERT_EQ(two.list.StoreStep(), STORE_DONE);
        const int32_t id = two.list.ID();
        EXPECT_EQ(two.list.DeleteAllSteps(), STORE_DONE);
        EXPECT_EQ(two.sheet.DeleteAllSteps(), STORE_DONE);
        EXPECT_EQ(two.list.FileManager().CurrentStep(), 0);
        EXPECT_TRUE(RowsOfID(RowsOf(ItemFile()), id).empty());
        EXPECT_EQ(two.sheet.CountInstances(), 1);
        two.Release(p.fm);
        p.sheets.pop_back();
        p.fm.SetChanged();
        ASSERT_EQ(p.fm.Save(Path("a.prj"), false), STORE_DONE);
    }
    TestProject q;
    ASSERT_EQ(q.Load(Path("a.prj")), STORE_DONE);
    ASSERT_EQ(q.sheets.size(), size_t{1});
    EXPECT_EQ(q.sheets[0]->list.items, Items("a", 2));
}

TEST_F(ProjectStore, ProjectOpenTwiceIsRefusedAndTheFirstKeepsWorking) {
    TestProject p;
    ASSERT_EQ(p.fm.OpenNew(Path("a.prj")), STORE_DONE);
    ListPart& part = p.Add("Eins", Items("a", 2)).list;
    ASSERT_EQ(p.fm.Save(Path("a.prj"), false), STORE_DONE);

    TestProject q;
    EXPECT_EQ(q.Load(Path("a.prj")), STORE_REFUSED);
    EXPECT_EQ(ErrorCode(), ERR_FILE_IN_USE);
    part.items = Items("b", 1);
    EXPECT_EQ(part.StoreStep(), STORE_DONE);
    EXPECT_EQ(part.Undo(1), STORE_DONE);
    EXPECT_EQ(part.items, Items("a", 2));
}

// A part of one record (the way the project information keeps itself): its own record is put
// over the current step and the sub-file compacted to that record as step 1.
TEST_F(ProjectStore, OneRecordPartCompactsToStepOne) {
    TestProject p;
    ASSERT_EQ(p.fm.OpenNew(Path("a.prj")), STORE_DONE);
    ListPart& info = p.Add("Info 1", {}).sheet;
    for (int k = 2; k <= 4; ++k) {
        info.items = {{"Info " + std::to_string(k), k}};
        ASSERT_EQ(info.StoreStep(), STORE_DONE);
    }
    ASSERT_EQ(info.Undo(1), STORE_DONE);   // step 3 shown, step 4 waits for redo
    CSubfileManager& sub = info.FileManager();
    RecordFile& f = SheetFile();
    ASSERT_EQ(sub.FetchKeep(), STORE_DONE);
    f.SetInt("ID", info.ID());
    f.SetString("NAME", "Info neu");
    f.SetInt("WERT", 99);
    ASSERT_EQ(FilePut(f), ERR_NONE);
    ASSERT_EQ(sub.Compact(), STORE_DONE);
    EXPECT_EQ(RowsOfID(RowsOf(f), info.ID()), (std::vector<Row>{{info.ID(), 1, "Info neu", 99}}));
    EXPECT_EQ(sub.CurrentStep(), 1);
    EXPECT_EQ(sub.StepsInFile(), 1);
    EXPECT_FALSE(sub.HasChanged());

    // Two records in the step: compacting refuses and changes nothing.
    info.items = {{"x", 1}, {"y", 2}};
    ASSERT_EQ(info.StoreStep(), STORE_DONE);
    const auto rows = RowsOf(f);
    ASSERT_EQ(sub.FetchKeep(), STORE_DONE);
    EXPECT_EQ(sub.Compact(), STORE_REFUSED);
    EXPECT_EQ(RowsOf(f), rows);
    EXPECT_EQ(sub.CurrentStep(), 2);
}

TEST_F(ProjectStore, IdentitiesComposeFromParentAndLocalNumber) {
    CSubfileManager parent, child, top;
    parent.Init("Blaetter", SheetFile(), nullptr);
    child.Init("Posten", ItemFile(), &parent);
    top.Init("Blaetter", SheetFile(), nullptr);
    parent.AssignID(7);
    child.AssignID(9);
    top.AssignID(12);
    EXPECT_EQ(parent.GetID(), 7);
    EXPECT_EQ(child.GetID(), 7 * 32768 + 9);
    EXPECT_TRUE(child.BelongsToParent(7 * 32768 + 1));
    EXPECT_FALSE(child.BelongsToParent(8 * 32768 + 9));
    EXPECT_FALSE(child.BelongsToParent(9));
    EXPECT_TRUE(top.BelongsToParent(5));
    EXPECT_FALSE(top.BelongsToParent(7 * 32768 + 9));
    EXPECT_FALSE(top.BelongsToParent(-1));
    child.Reparent(3);
    EXPECT_EQ(child.GetID(), 3 * 32768 + 9);
    // The parent's identity enters as a non-negative remainder.
    EXPECT_EQ(child.ComposeID(2, -1), 32767 * 32768 + 2);
    EXPECT_EQ(child.ComposeID(2, 32768 + 5), 5 * 32768 + 2);
}
