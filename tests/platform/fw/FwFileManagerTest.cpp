#include "platform/fw/FwFileManager.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/fw/FwWindow.h"
#include "tests/platform/records/TestFiles.h"

namespace {

class Recorder : public FwError {
public:
    std::vector<MessageRequest> shown;
    std::function<int(const MessageRequest&)> answer;

protected:
    int ShowMessage(const MessageRequest& r) override {
        shown.push_back(r);
        if (answer) return answer(r);
        return r.defaultButton ? r.defaultButton : int(BUTTON_OK);
    }
};

// An access object with values of its own for a new record.
class ShiftAccess : public FwFileManager {
protected:
    void PrimeFields() override { File()->SetInt("ART", 1); }
};

class FwFileManagerTest : public TempDir {
protected:
    void SetUp() override {
        TempDir::SetUp();
        shifts.SetName(Path("p.prj~") + "\\!Schichttypen");
        texts.SetName(Path("varn4.cfg") + "\\!warntexte");
        access.Init(shifts, errors);
        access.AddKey("KeyID");
        access.AddKey("KeyAnfangszeit");
        textAccess.Init(texts, errors);
        textAccess.AddKey("KeyRahmenbedingung");
    }
    void TearDown() override {
        access.Kill();
        textAccess.Kill();
        FileClose(shifts);
        FileClose(texts);
        TempDir::TearDown();
    }

    void AddShift(uint32_t sysid) {
        access.PrimeRecord();
        shifts.SetInt("SYSID", sysid);
        ASSERT_EQ(access.Insert(), LEVEL_BENIGN);
    }
    std::string LastText() const { return errors.shown.empty() ? std::string() : errors.shown.back().text; }

    Recorder errors;
    RecordFile shifts{"SCHICHT", ShiftLayout()};
    RecordFile texts{"WARNTXT", TextLayout()};
    ShiftAccess access;
    FwFileManager textAccess;
};

TEST_F(FwFileManagerTest, OpenCreatesAMissingFileAndCountsItsUsers) {
    EXPECT_EQ(access.Open(), LEVEL_BENIGN);
    EXPECT_TRUE(std::filesystem::exists(Path("p.prj~")));
    EXPECT_EQ(FileOpenMode(shifts), FILE_READ_WRITE | FILE_DENY_ALL);
    EXPECT_EQ(access.Open(), LEVEL_BENIGN);   // a second user
    EXPECT_EQ(access.Close(), LEVEL_BENIGN);
    EXPECT_TRUE(access.IsOpen());
    EXPECT_EQ(access.Close(), LEVEL_BENIGN);  // the last user closes
    EXPECT_FALSE(access.IsOpen());
    // Another table of the same container is created beside the first.
    textAccess.SetName(Path("p.prj~") + "\\!warntexte");
    EXPECT_EQ(textAccess.Open(), LEVEL_BENIGN);
    EXPECT_TRUE(errors.shown.empty());
}

TEST_F(FwFileManagerTest, OpenFailuresAreReportedOrQuiet) {
    std::ofstream(Path("fremd.cfg")) << "keine Datendatei";
    struct Case { std::string name; bool create; int code; const char* first; };
    const std::vector<Case> cases = {
        {Path("fehlt/p.prj~") + "\\!Schichttypen", true, ERR_PATH_NOT_FOUND, "konnte nicht angelegt werden"},
        {Path("fremd.cfg") + "\\!Schichttypen", true, ERR_INVALID_FILE, "konnte nicht geöffnet werden"},
        {Path("neu.prj~") + "\\!Schichttypen", false, ERR_FILE_NOT_FOUND, "konnte nicht geöffnet werden"},
    };
    errors.PushProcedure("UpdateKosten");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        access.SetName(c.name);
        access.Create = c.create;
        errors.shown.clear();
        EXPECT_EQ(access.TryOpen(), LEVEL_FATAL);
        EXPECT_EQ(ErrorCode(), c.code);
        EXPECT_TRUE(errors.shown.empty());
        EXPECT_EQ(access.Open(), LEVEL_FATAL);
        EXPECT_EQ(ErrorCode(), c.code);   // still there for the caller after the message
        ASSERT_EQ(errors.shown.size(), 1u);
        const std::string& text = errors.shown[0].text;
        EXPECT_NE(text.find(c.first), std::string::npos) << text;
        EXPECT_NE(text.find(c.name), std::string::npos) << text;
        EXPECT_NE(text.find(ErrorTextFor(c.code) + " (Fehler " + std::to_string(c.code) + ")"), std::string::npos) << text;
        EXPECT_NE(text.find("Programmteil: UpdateKosten"), std::string::npos) << text;
        EXPECT_FALSE(access.IsOpen());
    }
    EXPECT_FALSE(std::filesystem::exists(Path("neu.prj~")));
    // The foreign file was not touched.
    std::ifstream in(Path("fremd.cfg"));
    std::string content;
    std::getline(in, content);
    EXPECT_EQ(content, "keine Datendatei");
}

TEST_F(FwFileManagerTest, FileHeldElsewhereAsksWhetherToTryAgain) {
    RecordFile holder("SCHICHT", ShiftLayout());
    holder.SetName(shifts.Name());
    ASSERT_EQ(FileCreate(holder), 0);
    ASSERT_EQ(FileOpen(holder, FILE_READ_WRITE | FILE_DENY_ALL), 0);
    access.LockRecover = 0;

    EXPECT_EQ(access.TryOpen(), LEVEL_FATAL);
    EXPECT_TRUE(errors.shown.empty());

    // "Nein" (also the answer nobody gives): the open fails without a second message.
    EXPECT_EQ(access.Open(), LEVEL_FATAL);
    EXPECT_EQ(ErrorCode(), ERR_FILE_IN_USE);
    ASSERT_EQ(errors.shown.size(), 1u);
    EXPECT_EQ(errors.shown[0].buttonBits, unsigned(BUTTON_YES | BUTTON_NO));
    EXPECT_NE(errors.shown[0].text.find("anderen Programm"), std::string::npos);

    // "Ja" after the other side let go: the open goes through.
    errors.shown.clear();
    errors.answer = [&](const MessageRequest&) {
        FileClose(holder);
        return int(BUTTON_YES);
    };
    EXPECT_EQ(access.Open(), LEVEL_BENIGN);
    EXPECT_EQ(errors.shown.size(), 1u);
}

TEST_F(FwFileManagerTest, OperationsOpenTheFileOnFirstUse) {
    access.PrimeRecord();
    shifts.SetInt("SYSID", 7);
    EXPECT_EQ(access.Insert(), LEVEL_BENIGN);
    EXPECT_TRUE(access.IsOpen());
    ASSERT_EQ(access.Close(), LEVEL_BENIGN);
    EXPECT_FALSE(access.IsOpen());
    EXPECT_EQ(access.Next(), LEVEL_BENIGN);
    EXPECT_EQ(shifts.GetInt("SYSID"), 7);
    EXPECT_TRUE(errors.shown.empty());
}

TEST_F(FwFileManagerTest, NextReadsToTheEndWithoutAMessage) {
    for (uint32_t id : {3u, 1u, 2u}) AddShift(id);
    ASSERT_EQ(FileSet(shifts), 0);
    std::vector<int64_t> got;
    while (access.Next() == LEVEL_BENIGN) got.push_back(shifts.GetInt("SYSID"));
    EXPECT_EQ(got, (std::vector<int64_t>{3, 1, 2}));
    EXPECT_EQ(ErrorCode(), ERR_NO_RECORD);
    EXPECT_EQ(access.TryNext(), LEVEL_NOTIFY);
    EXPECT_TRUE(errors.shown.empty());
}

TEST_F(FwFileManagerTest, DuplicateOfAUniqueKeyIsRefused) {
    texts.Clear();
    texts.SetString("RAHMENBEDINGUNG", "RB3");
    ASSERT_EQ(textAccess.Insert(), LEVEL_BENIGN);
    EXPECT_EQ(textAccess.TryInsert(), LEVEL_NOTIFY);
    EXPECT_TRUE(errors.shown.empty());
    EXPECT_EQ(textAccess.Insert(), LEVEL_NOTIFY);
    EXPECT_EQ(ErrorCode(), ERR_DUPLICATE_KEY);
    EXPECT_NE(LastText().find("KeyRahmenbedingung"), std::string::npos) << LastText();
    // Changing a second record onto the first one's key is refused the same way.
    texts.SetString("RAHMENBEDINGUNG", "RB4");
    ASSERT_EQ(textAccess.Insert(), LEVEL_BENIGN);
    texts.SetString("RAHMENBEDINGUNG", "RB3");
    EXPECT_EQ(textAccess.Update(), LEVEL_NOTIFY);
    EXPECT_EQ(errors.shown.size(), 2u);
    EXPECT_EQ(FileRecords(texts), 2);
}

TEST_F(FwFileManagerTest, UpdateAndDeleteTheRecordLastRead) {
    for (uint32_t id : {1u, 2u}) AddShift(id);
    ASSERT_EQ(FileClose(shifts), 0);   // closed behind the access object's back
    EXPECT_EQ(access.Update(), LEVEL_NOTIFY);   // reopened: nothing read yet
    EXPECT_NE(LastText().find("konnte nicht geändert werden"), std::string::npos) << LastText();
    EXPECT_EQ(access.Delete(), LEVEL_NOTIFY);
    EXPECT_NE(LastText().find("konnte nicht gelöscht werden"), std::string::npos) << LastText();
    EXPECT_EQ(errors.shown.size(), 2u);

    ASSERT_EQ(FileSet(shifts), 0);
    ASSERT_EQ(access.Next(), LEVEL_BENIGN);
    shifts.SetString("BEZEICHNUNG", "Nacht");
    EXPECT_EQ(access.Update(), LEVEL_BENIGN);
    ASSERT_EQ(access.Next(), LEVEL_BENIGN);
    EXPECT_EQ(access.Delete(), LEVEL_BENIGN);
    ASSERT_EQ(FileSet(shifts), 0);
    ASSERT_EQ(access.Next(), LEVEL_BENIGN);
    EXPECT_EQ(shifts.GetString("BEZEICHNUNG"), "Nacht");
    EXPECT_EQ(access.Next(), LEVEL_NOTIFY);
    EXPECT_EQ(errors.shown.size(), 2u);
}

TEST_F(FwFileManagerTest, PrimeRecordClearsThenSetsTheFilesOwnValues) {
    std::fill(shifts.Bytes().begin(), shifts.Bytes().end(), 0x41);
    access.PrimeRecord();
    EXPECT_EQ(shifts.GetInt("ART"), 1);
    EXPECT_EQ(shifts.GetInt("SYSID"), 0);
    EXPECT_EQ(shifts.GetString("BEZEICHNUNG"), "");
    std::fill(texts.Bytes().begin(), texts.Bytes().end(), 0x41);
    textAccess.PrimeRecord();
    EXPECT_EQ(texts.GetString("INHALT"), "");
}

TEST_F(FwFileManagerTest, NameVariableUntilAFixedNameIsSet) {
    std::string shared = Path("a.prj~") + "\\!Schichttypen";
    access.Init(shifts, errors, &shared);
    EXPECT_EQ(access.GetName(), shared);
    shared = Path("b.prj~") + "\\!Schichttypen";
    ASSERT_EQ(access.Open(), LEVEL_BENIGN);
    EXPECT_TRUE(std::filesystem::exists(Path("b.prj~")));
    ASSERT_EQ(access.Close(), LEVEL_BENIGN);
    access.SetName(Path("c.eba"));
    shared = "anderswo";
    EXPECT_EQ(access.GetName(), Path("c.eba"));
}

TEST_F(FwFileManagerTest, KillClosesOnlyWhatItOpenedAndForgetsTheFile) {
    ASSERT_EQ(access.Open(), LEVEL_BENIGN);
    ASSERT_EQ(FileCreate(texts), 0);
    ASSERT_EQ(FileOpen(texts, FILE_READ_WRITE | FILE_DENY_ALL), 0);   // the program's own open
    access.Kill();
    textAccess.Kill();
    EXPECT_FALSE(FileIsOpen(shifts));
    EXPECT_TRUE(FileIsOpen(texts));
    EXPECT_EQ(access.File(), nullptr);
    EXPECT_EQ(access.Errors(), nullptr);
    // A released access object refuses work instead of touching a file.
    EXPECT_EQ(access.Open(), LEVEL_FATAL);
    EXPECT_EQ(access.Next(), LEVEL_FATAL);
    EXPECT_EQ(access.Insert(), LEVEL_FATAL);
    access.PrimeRecord();
    EXPECT_TRUE(errors.shown.empty());
}

TEST_F(FwFileManagerTest, OnlyKeysOfTheLayoutCanBeRegistered) {
    EXPECT_THROW(access.AddKey("KeyRahmenbedingung"), std::logic_error);
    EXPECT_EQ(access.Keys(), (std::vector<std::string>{"KeyID", "KeyAnfangszeit"}));
}

} // namespace
