#include "platform/records/RecordFile.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "TestFiles.h"

namespace {

class RecordFileTest : public TempDir {
protected:
    void SetUp() override {
        TempDir::SetUp();
        shifts.SetName(Path("p.prj") + "\\!Schichttypen");
        ASSERT_EQ(FileCreate(shifts), 0);
        ASSERT_EQ(FileOpen(shifts, FILE_READ_WRITE | FILE_DENY_ALL), 0);
    }

    void AddShift(int id, int step, uint32_t sysid, uint32_t begin = 0, uint32_t end = 0) {
        shifts.Clear();
        shifts.SetInt("ID", id);
        shifts.SetInt("STEP", step);
        shifts.SetInt("SYSID", sysid);
        shifts.SetInt("BEGINN", begin);
        shifts.SetInt("ENDE", end);
        ASSERT_EQ(FileAdd(shifts), 0);
    }

    // The SYSIDs of one step, read the way the program reads a step.
    std::vector<int64_t> ReadStep(int id, int step) {
        std::vector<int64_t> got;
        shifts.SetInt("ID", id);
        shifts.SetInt("STEP", step);
        EXPECT_EQ(FileSet(shifts, "KeyID"), 0);
        while (FileNext(shifts) == 0 && shifts.GetInt("ID") == id && shifts.GetInt("STEP") == step)
            got.push_back(shifts.GetInt("SYSID"));
        return got;
    }

    std::vector<int64_t> ReadAll(bool forward, const char* key = nullptr) {
        std::vector<int64_t> got;
        shifts.Clear();   // key values 0: before every record
        if (key) EXPECT_EQ(FileSet(shifts, key), 0);
        else EXPECT_EQ(FileSet(shifts), 0);
        while ((forward ? FileNext(shifts) : FilePrevious(shifts)) == 0) got.push_back(shifts.GetInt("SYSID"));
        EXPECT_EQ(ErrorCode(), ERR_NO_RECORD);
        return got;
    }

    RecordFile shifts{"SCHICHT", ShiftLayout()};
};

using V = std::vector<int64_t>;

} // namespace

TEST_F(RecordFileTest, MissingTableIsErrorTwoAndCreateLeavesItClosed) {
    RecordFile other("AZP", ShiftLayout());
    other.SetName(Path("p.prj") + "\\!Schichtfolgen");
    EXPECT_EQ(FileOpen(other, 0x12), ERR_FILE_NOT_FOUND);
    EXPECT_EQ(ErrorText(), "Datei nicht gefunden");
    EXPECT_EQ(FileCreate(other), 0);
    EXPECT_FALSE(FileIsOpen(other));
    EXPECT_EQ(FileOpenMode(other), -1);
    EXPECT_EQ(FileOpen(other, 0x12), 0);
    EXPECT_EQ(FileOpenMode(other), 0x12);
    RecordFile missing("X", ShiftLayout());
    missing.SetName(Path("nothere.prj") + "\\!Schichttypen");
    EXPECT_EQ(FileOpen(missing), ERR_FILE_NOT_FOUND);
    EXPECT_FALSE(std::filesystem::exists(Path("nothere.prj")));
}

TEST_F(RecordFileTest, StepIsReadFromItsKeyPositionInAddingOrder) {
    AddShift(2, 1, 21);
    AddShift(1, 2, 121);
    AddShift(1, 1, 111);
    AddShift(1, 2, 122);
    AddShift(1, 1, 112);
    AddShift(1, 2, 123);
    EXPECT_EQ(ReadStep(1, 2), (V{121, 122, 123}));
    EXPECT_EQ(ReadStep(1, 1), (V{111, 112}));
    EXPECT_EQ(ReadStep(2, 1), (V{21}));
    EXPECT_EQ(ReadStep(3, 1), V{});
    EXPECT_EQ(ReadAll(true, "KeyID"), (V{111, 112, 121, 122, 123, 21}));
    EXPECT_EQ(FileRecords(shifts), 6);
}

TEST_F(RecordFileTest, PreviousWalksBackFromTheKeyPosition) {
    for (int s = 1; s <= 3; ++s) AddShift(1, s, 10 * s);
    AddShift(1, 2, 21);
    shifts.SetInt("ID", 1);
    shifts.SetInt("STEP", 2);
    ASSERT_EQ(FileSet(shifts, "KeyID"), 0);
    V got;
    while (FilePrevious(shifts) == 0) got.push_back(shifts.GetInt("SYSID"));
    EXPECT_EQ(got, (V{21, 20, 10}));
    // Stored order: from the start for FileNext, from the end for FilePrevious.
    EXPECT_EQ(ReadAll(true), (V{10, 20, 30, 21}));
    EXPECT_EQ(ReadAll(false), (V{21, 30, 20, 10}));
}

TEST_F(RecordFileTest, StepBackAfterReadingAheadReadsTheSameRecordAgain) {
    for (int i = 1; i <= 3; ++i) AddShift(1, 1, i);
    ASSERT_EQ(FileSet(shifts, "KeyID"), 0);
    ASSERT_EQ(FileNext(shifts), 0);
    ASSERT_EQ(FileNext(shifts), 0);   // look ahead at 2 ...
    ASSERT_EQ(FilePrevious(shifts), 0);   // ... step back ...
    EXPECT_EQ(shifts.GetInt("SYSID"), 1);
    ASSERT_EQ(FileNext(shifts), 0);   // ... and 2 comes again
    EXPECT_EQ(shifts.GetInt("SYSID"), 2);
}

TEST_F(RecordFileTest, EndOfFileIsThirtyThreeAndKeepsTheBuffer) {
    AddShift(1, 1, 5);
    ASSERT_EQ(FileSet(shifts), 0);
    ASSERT_EQ(FileNext(shifts), 0);
    shifts.SetString("BEZEICHNUNG", "bleibt");
    EXPECT_EQ(FileNext(shifts), ERR_NO_RECORD);
    EXPECT_EQ(ErrorCode(), 33);
    EXPECT_EQ(shifts.GetString("BEZEICHNUNG"), "bleibt");
    EXPECT_EQ(FileNext(shifts), ERR_NO_RECORD);
}

TEST_F(RecordFileTest, EqualStartTimesAreBothKept) {
    AddShift(1, 1, 1, 360, 840);
    AddShift(1, 1, 2, 360, 840);
    AddShift(1, 1, 3, 300, 900);
    EXPECT_EQ(ReadAll(true, "KeyAnfangszeit"), (V{3, 1, 2}));
}

TEST_F(RecordFileTest, PutRewritesAndDeleteRemovesTheRecordLastRead) {
    for (int i = 1; i <= 3; ++i) AddShift(1, 1, i);
    ASSERT_EQ(FileSet(shifts, "KeyID"), 0);
    ASSERT_EQ(FileNext(shifts), 0);
    ASSERT_EQ(FileNext(shifts), 0);
    shifts.SetString("BEZEICHNUNG", "Nachtschicht");
    ASSERT_EQ(FilePut(shifts), 0);
    ASSERT_EQ(FileNext(shifts), 0);
    ASSERT_EQ(FileDelete(shifts), 0);
    EXPECT_EQ(FileDelete(shifts), ERR_NO_RECORD);
    EXPECT_EQ(ReadAll(true), (V{1, 2}));
    shifts.SetInt("SYSID", 2);
    shifts.SetInt("ID", 1);
    shifts.SetInt("STEP", 1);
    ASSERT_EQ(FileSet(shifts, "KeyID"), 0);
    ASSERT_EQ(FileNext(shifts), 0);
    ASSERT_EQ(FileNext(shifts), 0);
    EXPECT_EQ(shifts.GetString("BEZEICHNUNG"), "Nachtschicht");
}

TEST_F(RecordFileTest, DeletingAStepWhileReadingItLeavesTheOthers) {
    AddShift(1, 1, 1);
    for (int i = 0; i < 5; ++i) AddShift(1, 2, 20 + i);
    AddShift(1, 3, 3);
    shifts.SetInt("ID", 1);
    shifts.SetInt("STEP", 2);
    ASSERT_EQ(FileSet(shifts, "KeyID"), 0);
    while (FileNext(shifts) == 0 && shifts.GetInt("STEP") == 2) ASSERT_EQ(FileDelete(shifts), 0);
    EXPECT_EQ(ReadAll(true, "KeyID"), (V{1, 3}));
}

TEST_F(RecordFileTest, GetReadsByKeyWithoutMovingTheReadingPosition) {
    AddShift(1, 1, 1, 100, 200);
    AddShift(1, 1, 2, 300, 400);
    ASSERT_EQ(FileSet(shifts), 0);
    ASSERT_EQ(FileNext(shifts), 0);
    shifts.SetInt("BEGINN", 300);
    shifts.SetInt("ENDE", 400);
    ASSERT_EQ(FileGet(shifts, "KeyAnfangszeit"), 0);
    EXPECT_EQ(shifts.GetInt("SYSID"), 2);
    shifts.SetInt("ENDE", 401);
    EXPECT_EQ(FileGet(shifts, "KeyAnfangszeit"), ERR_RECORD_NOT_FOUND);
    ASSERT_EQ(FileNext(shifts), 0);
    EXPECT_EQ(shifts.GetInt("SYSID"), 2);
    EXPECT_THROW(FileGet(shifts, "KeyGibtEsNicht"), std::out_of_range);
}

TEST_F(RecordFileTest, PositionTakenAndResetReadsThatRecordAgain) {
    for (int i = 1; i <= 4; ++i) AddShift(1, i, i);
    shifts.SetInt("STEP", 1);
    ASSERT_EQ(FileSet(shifts, "KeyID"), 0);
    ASSERT_EQ(FileNext(shifts), 0);
    ASSERT_EQ(FileNext(shifts), 0);
    const RecordPosition at2 = FilePosition(shifts);
    while (FileNext(shifts) == 0) {}
    ASSERT_EQ(FileReset(shifts, at2), 0);
    ASSERT_EQ(FileNext(shifts), 0);
    EXPECT_EQ(shifts.GetInt("SYSID"), 2);
    ASSERT_EQ(FileNext(shifts), 0);
    EXPECT_EQ(shifts.GetInt("SYSID"), 3);
}

TEST_F(RecordFileTest, EmptyAndRecords) {
    for (int i = 1; i <= 3; ++i) AddShift(1, 1, i);
    EXPECT_EQ(FileRecords(shifts), 3);
    EXPECT_EQ(FileEmpty(shifts), 0);
    EXPECT_EQ(FileRecords(shifts), 0);
    EXPECT_EQ(FileSet(shifts), 0);
    EXPECT_EQ(FileNext(shifts), ERR_NO_RECORD);
}

TEST_F(RecordFileTest, UniqueKeyRefusesASecondRecordWithTheSameValue) {
    RecordFile texts("WARNTXT", TextLayout());
    texts.SetName(Path("varn4.cfg") + "\\!warntexte");
    ASSERT_EQ(FileCreate(texts), 0);
    ASSERT_EQ(FileOpen(texts, 0x12), 0);
    texts.SetString("RAHMENBEDINGUNG", "RB1");
    texts.SetString("INHALT", "erster");
    ASSERT_EQ(FileAdd(texts), 0);
    texts.SetString("RAHMENBEDINGUNG", "RB2");
    ASSERT_EQ(FileAdd(texts), 0);
    texts.SetString("RAHMENBEDINGUNG", "RB1");
    texts.SetString("INHALT", "zweiter");
    EXPECT_EQ(FileAdd(texts), ERR_DUPLICATE_KEY);
    EXPECT_EQ(ErrorText(), "Der Schlüsselwert ist bereits vorhanden");
    EXPECT_EQ(FileRecords(texts), 2);
    // Rewriting RB2 into RB1 is refused too, and RB2 stays as it was.
    texts.SetString("RAHMENBEDINGUNG", "RB2");
    ASSERT_EQ(FileGet(texts, "KeyRahmenbedingung"), 0);
    texts.SetString("RAHMENBEDINGUNG", "RB1");
    EXPECT_EQ(FilePut(texts), ERR_DUPLICATE_KEY);
    texts.SetString("RAHMENBEDINGUNG", "RB2");
    EXPECT_EQ(FileGet(texts, "KeyRahmenbedingung"), 0);
}

TEST_F(RecordFileTest, TablesOfOneContainerAndSingleTableFilesAreSeparate) {
    RecordFile stamp("STAMP", PlainLayout());
    stamp.SetName(Path("p.prj") + "\\!Filestamp");
    ASSERT_EQ(FileCreate(stamp), 0);
    ASSERT_EQ(FileOpen(stamp, 0x12), 0);
    stamp.SetString("VERSION", "Varn 4.0");
    ASSERT_EQ(FileAdd(stamp), 0);
    AddShift(1, 1, 7);
    EXPECT_EQ(FileRecords(stamp), 1);
    EXPECT_EQ(FileRecords(shifts), 1);

    RecordFile single("XIBEL", ShiftLayout());
    single.SetName(Path("export.eba"));
    ASSERT_EQ(FileCreate(single), 0);
    ASSERT_EQ(FileOpen(single, 0x12), 0);
    EXPECT_EQ(FileRecords(single), 0);
    // A table name is found whatever its case.
    RecordFile again("STAMP", PlainLayout());
    again.SetName(dir_ + "/p.prj\\!FILESTAMP");
    EXPECT_EQ(FileOpen(again, FILE_READ_ONLY | FILE_DENY_NONE), ERR_FILE_IN_USE);  // stamp is deny-all
    ASSERT_EQ(FileClose(stamp), 0);
    ASSERT_EQ(FileOpen(again, FILE_READ_ONLY | FILE_DENY_NONE), 0);
    EXPECT_EQ(FileRecords(again), 1);
    EXPECT_EQ(FileAdd(again), ERR_ACCESS_DENIED);
}

TEST_F(RecordFileTest, OperationsNeedTheRightState) {
    RecordFile closed("X", ShiftLayout());
    closed.SetName(Path("p.prj") + "\\!Schichttypen");
    EXPECT_EQ(FileNext(closed), ERR_NOT_OPEN);
    EXPECT_EQ(FileAdd(closed), ERR_NOT_OPEN);
    EXPECT_EQ(FileClose(closed), ERR_NOT_OPEN);
    EXPECT_EQ(FileOpen(shifts), ERR_ALREADY_OPEN);
    EXPECT_EQ(FileCreate(shifts), ERR_ALREADY_OPEN);
    EXPECT_EQ(FilePut(shifts), ERR_NO_RECORD);
    RecordFile unnamed("X", ShiftLayout());
    EXPECT_EQ(FileOpen(unnamed), ERR_INVALID_NAME);
    unnamed.SetName(Path("p.prj") + "\\!");
    EXPECT_EQ(FileOpen(unnamed), ERR_INVALID_NAME);
}

TEST_F(RecordFileTest, OpenFilesCannotBeRemoved) {
    AddShift(1, 1, 1);
    EXPECT_EQ(FileRemove(shifts), ERR_REMOVE_OPEN);
    EXPECT_EQ(ErrorText(), "Eine geöffnete Datei kann nicht gelöscht werden");
    EXPECT_EQ(FileRemoveNamed(Path("p.prj")), ERR_REMOVE_OPEN);
    EXPECT_TRUE(std::filesystem::exists(Path("p.prj")));
    ASSERT_EQ(FileClose(shifts), 0);
    EXPECT_EQ(FileRemove(shifts), 0);
    EXPECT_EQ(FileOpen(shifts), ERR_FILE_NOT_FOUND);
    EXPECT_EQ(FileRemove(shifts), ERR_FILE_NOT_FOUND);
    EXPECT_EQ(FileRemoveNamed(Path("p.prj")), 0);
    EXPECT_FALSE(std::filesystem::exists(Path("p.prj")));
}

TEST_F(RecordFileTest, NameVariableIsReadAtEachOpen) {
    std::string name(260, ' ');
    RecordFile info("INFO", PlainLayout());
    info.BindName(&name);
    name = Path("p.prj") + "\\!Projektinfo" + std::string(40, ' ');
    ASSERT_EQ(FileCreate(info), 0);
    ASSERT_EQ(FileOpen(info), 0);
    EXPECT_EQ(info.Name(), Path("p.prj") + "\\!Projektinfo");
    ASSERT_EQ(FileClose(info), 0);
    name = Path("q.prj") + "\\!Projektinfo";
    EXPECT_EQ(FileOpen(info), ERR_FILE_NOT_FOUND);
}

TEST(FileErrors, EveryCodeHasItsOwnGermanText) {
    const int codes[] = {ERR_FILE_NOT_FOUND, ERR_PATH_NOT_FOUND, ERR_ACCESS_DENIED, ERR_FILE_IN_USE,
                         ERR_NO_RECORD, ERR_RECORD_NOT_FOUND, ERR_INVALID_FILE, ERR_NOT_OPEN,
                         ERR_DUPLICATE_KEY, ERR_INVALID_NAME, ERR_LAYOUT_MISMATCH, ERR_TRANSACTION,
                         ERR_ALREADY_OPEN, ERR_REMOVE_OPEN, ERR_TRANSACTION_ACTIVE, ERR_FILE_SYSTEM};
    std::set<std::string> texts;
    for (const int c : codes) texts.insert(ErrorTextFor(c));
    EXPECT_EQ(texts.size(), std::size(codes));
    EXPECT_EQ(ErrorTextFor(999), "Fehler 999");
    SetError(ERR_FILE_NOT_FOUND, "a.prj");
    EXPECT_EQ(ErrorFile(), "a.prj");
    SetError(ERR_NONE);
    EXPECT_EQ(ErrorFile(), "");
}
