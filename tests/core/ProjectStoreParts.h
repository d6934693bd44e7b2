#pragma once
// Small stored parts and a scratch directory for the project store tests: a "sheet" (one record
// per step, no parent) with one list part under it, in tables of layouts of the tests' own.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "core/Files.h"
#include "core/ProjektFileManager.h"
#include "core/SavableManager.h"
#include "platform/ui/MessageShow.h"

// ID, STEP, a name and a value. The unique key lets a test make adding fail (a name twice in
// one step).
inline std::shared_ptr<const Layout> ItemLayout() {
    static const auto layout = LayoutBuilder("POSTEN")
        .Long("ID").Long("STEP").String("NAME", 20).Long("WERT")
        .Key("KeyID", {"ID", "STEP"}, KeyDup)
        .Key("KeyName", {"ID", "STEP", "NAME"}, KeyUnique)
        .Build();
    return layout;
}

// The program's files are globals bound to the shared name variable; so are these.
inline RecordFile& SheetFile() {
    static RecordFile& f = [] () -> RecordFile& {
        static RecordFile file("BLAETTER", ItemLayout());
        file.BindName(&GlobalFileName);
        return file;
    }();
    return f;
}

inline RecordFile& ItemFile() {
    static RecordFile& f = [] () -> RecordFile& {
        static RecordFile file("POSTEN", ItemLayout());
        file.BindName(&GlobalFileName);
        return file;
    }();
    return f;
}

struct Item {
    std::string name;
    int32_t value = 0;
    bool operator==(const Item&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Item& i) { return os << i.name << "=" << i.value; }

// A list of items in one sub-file.
class ListPart : public CSavableManager {
public:
    ListPart(RecordFile& file, std::string table) : file_(file), table_(std::move(table)) {}
    ~ListPart() override { DisposeSubfile(); }

    std::vector<Item> items;
    int afterLoads = 0;

    void DefineSubfile(CSubfileManager* parent) override { FileManager().Init(table_, file_, parent); }
    uint8_t ResetData() override {
        items.clear();
        return STORE_DONE;
    }
    void ClearData() override { items.clear(); }
    uint8_t TakeRecord() override {
        items.push_back({file_.GetString("NAME"), static_cast<int32_t>(file_.GetInt("WERT"))});
        return STORE_DONE;
    }
    uint8_t PutRecord(int n) override {
        if (n > static_cast<int>(items.size())) return STORE_REFUSED;
        file_.SetString("NAME", items[static_cast<size_t>(n - 1)].name);
        file_.SetInt("WERT", items[static_cast<size_t>(n - 1)].value);
        return STORE_DONE;
    }
    void AfterLoad() override { ++afterLoads; }

    int32_t ID() const { return FileManager().GetID(); }

private:
    RecordFile& file_;
    std::string table_;
};

// A sheet and its list, as the project keeps a worksheet and its parts.
struct Sheet {
    ListPart sheet{SheetFile(), "Blaetter"};
    ListPart list{ItemFile(), "Posten"};

    uint8_t Init(CProjektFileManager& fm) {
        const uint8_t a = sheet.Init(fm, nullptr);
        const uint8_t b = list.Init(fm, &sheet.FileManager());
        return a != STORE_DONE ? a : b;
    }
    void Release(CProjektFileManager& fm) {
        list.Release(fm);
        sheet.Release(fm);
    }
};

// One record as stored.
struct Row {
    int32_t id;
    int32_t step;
    std::string name;
    int32_t value;
    bool operator==(const Row&) const = default;
    bool operator<(const Row& o) const {
        return std::tie(id, step, name, value) < std::tie(o.id, o.step, o.name, o.value);
    }
};

inline std::ostream& operator<<(std::ostream& os, const Row& r) {
    return os << "(" << r.id << "," << r.step << "," << r.name << "," << r.value << ")";
}

// Every record of an open file in key order; the file is left at its end.
inline std::vector<Row> RowsOf(RecordFile& f) {
    std::vector<Row> rows;
    f.SetInt("ID", INT32_MIN);
    f.SetInt("STEP", INT32_MIN);
    FileSet(f, "KeyID");
    while (FileNext(f) == ERR_NONE)
        rows.push_back({static_cast<int32_t>(f.GetInt("ID")), static_cast<int32_t>(f.GetInt("STEP")),
                        f.GetString("NAME"), static_cast<int32_t>(f.GetInt("WERT"))});
    return rows;
}

// Every record of a table of a closed file; empty when the table cannot be opened.
inline std::vector<Row> RowsIn(const std::string& file, const std::string& table) {
    RecordFile f("PRUEF", ItemLayout());
    f.SetName(file + "\\!" + table);
    if (FileOpen(f, FILE_READ_ONLY | FILE_DENY_NONE) != ERR_NONE) return {};
    auto rows = RowsOf(f);
    FileClose(f);
    return rows;
}

// A scratch directory that is also the current directory while the test runs.
class StoreDir : public ::testing::Test {
protected:
    void SetUp() override {
        std::string t = (std::filesystem::temp_directory_path() / "varnstoreXXXXXX").string();
        ASSERT_NE(::mkdtemp(t.data()), nullptr);
        dir_ = t;
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(dir_);
        SetMessageHook([this](const MessageRequest& r) {
            messages_.push_back(r);
            return MessageDefaultAnswer(r);
        });
    }
    void TearDown() override {
        SetMessageHook({});
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(dir_);
    }
    std::string Path(const std::string& name) const { return dir_ + "/" + name; }
    // The names in the directory, sorted.
    std::vector<std::string> Listing() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir_)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string dir_;
    std::filesystem::path previous_;
    std::vector<MessageRequest> messages_;
};

// A project of sheets, opened, loaded and closed the way the project object does it.
struct TestProject {
    CProjektFileManager fm;
    std::vector<std::unique_ptr<Sheet>> sheets;

    ~TestProject() { Close(); }

    Sheet& Add(const std::string& title, std::vector<Item> items) {
        sheets.push_back(std::make_unique<Sheet>());
        Sheet& s = *sheets.back();
        EXPECT_EQ(s.Init(fm), STORE_DONE);
        s.sheet.items = {{title, 0}};
        s.list.items = std::move(items);
        EXPECT_EQ(s.sheet.StoreStep(), STORE_DONE);
        EXPECT_EQ(s.list.StoreStep(), STORE_DONE);
        return s;
    }

    // Opens the file and loads every sheet: the first from the start of its table, as many as
    // the table counts, each further one as the next sub-file. The worst load result.
    uint8_t Load(const std::string& name) {
        uint8_t worst = fm.Open(name);
        if (worst != STORE_DONE) return worst;
        int32_t count = 1;
        for (int32_t k = 0; k < count; ++k) {
            sheets.push_back(std::make_unique<Sheet>());
            Sheet& s = *sheets.back();
            s.Init(fm);
            worst = std::max(worst, s.sheet.Load(k == 0));
            worst = std::max(worst, s.list.Load(true));
            if (k == 0) count = s.sheet.CountInstances();
        }
        if (count == 0) {
            sheets.back()->Release(fm);
            sheets.clear();
        }
        fm.LoadIDCounter();
        return worst;
    }

    void Close() {
        for (auto& s : sheets) s->Release(fm);
        sheets.clear();
        fm.Close();
    }
};
