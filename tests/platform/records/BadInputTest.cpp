#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "TestFiles.h"

namespace {

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

void Sql(const std::string& path, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

class BadInput : public TempDir {
protected:
    // A project file with one table of `n` shift records, closed again.
    void MakeProject(const std::string& file, int n) {
        RecordFile f("SCHICHT", ShiftLayout());
        f.SetName(Path(file) + "\\!Schichttypen");
        ASSERT_EQ(FileCreate(f), 0);
        ASSERT_EQ(FileOpen(f, 0x12), 0);
        ASSERT_EQ(FileLogout(5, f), 0);
        for (int i = 0; i < n; ++i) {
            f.SetInt("ID", 1);
            f.SetInt("STEP", i);
            f.SetString("BEZEICHNUNG", "Schicht " + std::to_string(i));
            ASSERT_EQ(FileAdd(f), 0);
        }
        ASSERT_EQ(FileCommit(), 0);
        ASSERT_EQ(FileClose(f), 0);
    }

    // Opens the table and reads it to the end; returns the code that ended the reading.
    int OpenAndReadAll(const std::string& file) {
        RecordFile f("SCHICHT", ShiftLayout());
        f.SetName(Path(file) + "\\!Schichttypen");
        int rc = FileOpen(f, 0x12);
        if (rc != 0) return rc;
        FileSet(f);
        while ((rc = FileNext(f)) == 0) {}
        return rc;
    }
};

} // namespace

TEST_F(BadInput, ForeignFilesAreRefusedAndLeftAsTheyWere) {
    WriteBytes(Path("text.prj"), "Dies ist keine Projektdatei.\n");
    WriteBytes(Path("empty.prj"), "");
    Sql(Path("other.db"), "CREATE TABLE t_schichttypen(x); INSERT INTO t_schichttypen VALUES (1);");
    for (const char* name : {"text.prj", "empty.prj", "other.db"}) {
        const std::string before = ReadBytes(Path(name));
        RecordFile f("SCHICHT", ShiftLayout());
        f.SetName(Path(name) + "\\!Schichttypen");
        EXPECT_EQ(FileOpen(f, 0x12), ERR_INVALID_FILE) << name;
        EXPECT_EQ(ErrorText(), "Ungültige oder beschädigte Datendatei");
        EXPECT_EQ(FileCopyNamed(Path(name), Path("copy.prj")), ERR_INVALID_FILE) << name;
        // An empty file holds nothing to lose: creating a table makes it a record file.
        if (std::string(name) != "empty.prj") {
            EXPECT_EQ(FileCreate(f), ERR_INVALID_FILE) << name;
        }
        EXPECT_TRUE(ReadBytes(Path(name)) == before) << name;
        EXPECT_FALSE(std::filesystem::exists(Path(name) + "-journal")) << name;
    }
    EXPECT_FALSE(std::filesystem::exists(Path("copy.prj")));
}

TEST_F(BadInput, TableWithAnotherLayoutIsRefused) {
    MakeProject("p.prj", 2);
    RecordFile smaller("STAMP", PlainLayout());
    smaller.SetName(Path("p.prj") + "\\!Schichttypen");
    EXPECT_EQ(FileOpen(smaller), ERR_LAYOUT_MISMATCH);
    // Same size, other keys.
    const auto sameSize = LayoutBuilder("X").String("S", 83).Key("K", {"S"}, KeyUnique).Build();
    RecordFile other("X", sameSize);
    other.SetName(Path("p.prj") + "\\!Schichttypen");
    EXPECT_EQ(FileOpen(other), ERR_LAYOUT_MISMATCH);
    // A container named as a single-table file.
    RecordFile whole("SCHICHT", ShiftLayout());
    whole.SetName(Path("p.prj"));
    EXPECT_EQ(FileOpen(whole), ERR_LAYOUT_MISMATCH);
    EXPECT_EQ(OpenAndReadAll("p.prj"), ERR_NO_RECORD);
}

TEST_F(BadInput, TruncatedFileIsRefusedAndLeftAsItWas) {
    MakeProject("p.prj", 400);
    std::string bytes = ReadBytes(Path("p.prj"));
    ASSERT_GT(bytes.size(), 8192u);
    bytes.resize(bytes.size() / 2);
    WriteBytes(Path("p.prj"), bytes);
    EXPECT_EQ(OpenAndReadAll("p.prj"), ERR_INVALID_FILE);
    EXPECT_TRUE(ReadBytes(Path("p.prj")) == bytes);
}

TEST_F(BadInput, DamagedPagesEndTheReadingWithAnErrorCode) {
    MakeProject("p.prj", 400);
    std::string bytes = ReadBytes(Path("p.prj"));
    const size_t pages = bytes.size() / 4096;
    ASSERT_GT(pages, 4u);
    for (size_t p = 2; p < pages; p += 2)
        std::fill(bytes.begin() + static_cast<long>(p * 4096), bytes.begin() + static_cast<long>(p * 4096 + 4096), '\xA5');
    WriteBytes(Path("p.prj"), bytes);
    EXPECT_EQ(OpenAndReadAll("p.prj"), ERR_INVALID_FILE);
    EXPECT_TRUE(ReadBytes(Path("p.prj")) == bytes);
}

TEST_F(BadInput, RecordOfTheWrongLengthIsAnErrorNotAnOverrun) {
    MakeProject("p.prj", 3);
    Sql(Path("p.prj"), "UPDATE \"t_schichttypen\" SET rec = x'0102' WHERE id = 2");
    RecordFile f("SCHICHT", ShiftLayout());
    f.SetName(Path("p.prj") + "\\!Schichttypen");
    ASSERT_EQ(FileOpen(f, 0x12), 0);
    FileSet(f);
    ASSERT_EQ(FileNext(f), 0);
    EXPECT_EQ(FileNext(f), ERR_INVALID_FILE);
    EXPECT_EQ(f.GetString("BEZEICHNUNG"), "Schicht 0");   // the buffer keeps the last good record
}
