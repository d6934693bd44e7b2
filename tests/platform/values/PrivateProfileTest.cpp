#include "platform/values/PrivateProfile.h"

#include "platform/values/Locale.h"

#include "PipeGuard.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class PrivateProfileTest : public testing::Test {
protected:
    void SetUp() override
    {
        const char* data = std::getenv("VARN_DATA_DIR");
        ASSERT_NE(data, nullptr) << "VARN_DATA_DIR is not set";
        std::string error;
        ASSERT_TRUE(Locale::Load(std::string(data) + "/deutsch.env", &error)) << error;
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() / ("varn-ini-" + std::to_string(::getpid()) + "-" + info->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        file_ = (dir_ / "varn4.ini").string();
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Text() const
    {
        std::ifstream in(file_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void SetText(const std::string& text) const { std::ofstream(file_, std::ios::binary) << text; }

    fs::path dir_;
    std::string file_;
};

TEST_F(PrivateProfileTest, MissingFileReadsDefaults)
{
    EXPECT_EQ(ProfileGetString("Main", "XPos", "dflt", file_), "dflt");
    EXPECT_EQ(ProfileGetInt("Main", "XPos", 17, file_), 17);
    EXPECT_TRUE(ProfileDeleteKey("Main", "XPos", file_));
    EXPECT_TRUE(ProfileDeleteSection("Main", file_));
    EXPECT_FALSE(fs::exists(file_));  // reading and deleting create nothing
}

// Under the name stands something that is not a regular file: it is never waited for (a named
// pipe without a writer would block every read for good), read or replaced by a write.
TEST_F(PrivateProfileTest, APipeOrAFolderInThePlaceOfTheFileIsLeftAlone)
{
    PipeGuard guard;
    const struct {
        const char* kind;
        fs::file_type type;
    } cases[] = {{"Pipe", fs::file_type::fifo}, {"Ordner", fs::file_type::directory}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        ASSERT_TRUE(c.type == fs::file_type::fifo ? guard.Make(file_) : fs::create_directory(file_));
        EXPECT_EQ(ProfileGetString("Main", "XPos", "dflt", file_), "dflt");
        EXPECT_EQ(ProfileGetInt("Main", "XPos", 17, file_), 17);
        EXPECT_TRUE(ProfileGetKeys("Main", file_).empty());
        EXPECT_FALSE(ProfileWriteString("Main", "XPos", "12", file_));
        EXPECT_FALSE(ProfileDeleteKey("Main", "XPos", file_));
        EXPECT_FALSE(ProfileDeleteSection("Main", file_));
        EXPECT_FALSE(guard.Late()) << "a read waited for a writer";
        EXPECT_EQ(fs::symlink_status(file_).type(), c.type);
        // Nor is a temporary file left beside it.
        EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
    }
}

// A link to the settings file is read and written through and stays a link.
TEST_F(PrivateProfileTest, ALinkIsWrittenThrough)
{
    const std::string real = (dir_ / "echt.ini").string();
    std::ofstream(real, std::ios::binary) << "[Main]\nXPos=3\n";
    fs::create_symlink("echt.ini", file_);
    EXPECT_EQ(ProfileGetInt("Main", "XPos", 0, file_), 3);
    ASSERT_TRUE(ProfileWriteString("Main", "YPos", "4", file_));
    EXPECT_TRUE(fs::is_symlink(file_));
    std::ifstream in(real, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "[Main]\nXPos=3\nYPos=4\n");
}

TEST_F(PrivateProfileTest, EveryWriteReachesTheFileAtOnce)
{
    ASSERT_TRUE(ProfileWriteString("Main", "Maximize", "No", file_));
    EXPECT_EQ(Text(), "[Main]\nMaximize=No\n");
    ASSERT_TRUE(ProfileWriteString("Main", "XPos", "12", file_));
    EXPECT_EQ(Text(), "[Main]\nMaximize=No\nXPos=12\n");
    ASSERT_TRUE(ProfileWriteString("Preserved", "MsgID_Skip4711", "1", file_));
    EXPECT_EQ(Text(), "[Main]\nMaximize=No\nXPos=12\n\n[Preserved]\nMsgID_Skip4711=1\n");
    ASSERT_TRUE(ProfileWriteString("Main", "Maximize", "Yes", file_));
    EXPECT_EQ(Text(), "[Main]\nMaximize=Yes\nXPos=12\n\n[Preserved]\nMsgID_Skip4711=1\n");
    // Only the file itself: no temporary file stays behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(PrivateProfileTest, NamesIgnoreCaseAndBlanks)
{
    ASSERT_TRUE(ProfileWriteString("AZP Optimierungsalgorithmus", "Rückschritte", "40", file_));
    EXPECT_EQ(ProfileGetString("azp optimierungsALGORITHMUS", "RÜCKSCHRITTE", "", file_), "40");
    EXPECT_EQ(ProfileGetInt(" AZP Optimierungsalgorithmus ", " rückschritte", 0, file_), 40);
    ASSERT_TRUE(ProfileWriteString("AZP OPTIMIERUNGSALGORITHMUS", "RÜCKSCHRITTE", "41", file_));
    EXPECT_EQ(Text(), "[AZP Optimierungsalgorithmus]\nRÜCKSCHRITTE=41\n");  // one key, not two
    EXPECT_EQ(ProfileGetString("AZP Optimierungsalgorithmus", "Ruckschritte", "-", file_), "-");
}

TEST_F(PrivateProfileTest, KeepsWhatIsNotOurs)
{
    SetText("; written by hand\r\n[Main]\r\nXPos=5\r\n\r\n[Other]\r\nfoo = bar \r\nno equals sign\r\n");
    EXPECT_EQ(ProfileGetString("Other", "foo", "", file_), "bar");
    ASSERT_TRUE(ProfileWriteString("Main", "YPos", "6", file_));
    EXPECT_EQ(Text(), "; written by hand\n[Main]\nXPos=5\nYPos=6\n\n[Other]\nfoo = bar \nno equals sign\n");
}

TEST_F(PrivateProfileTest, FirstSectionAndKeyOfANameCount)
{
    SetText("[A]\nk=1\nK=2\n; note\nm = 5\n[a]\nk=3\nj=4\n");
    EXPECT_EQ(ProfileGetString("A", "k", "", file_), "1");
    EXPECT_EQ(ProfileGetString("A", "j", "-", file_), "-");
    EXPECT_EQ(ProfileGetKeys("a", file_), (std::vector<std::string>{"k", "m"}));
    EXPECT_TRUE(ProfileGetKeys("B", file_).empty());
}

TEST_F(PrivateProfileTest, ValuesReadBackAsWritten)
{
    const struct {
        const char* written;
        const char* read;
    } cases[] = {
        {"plain", "plain"},
        {"", ""},
        {"a=b=c", "a=b=c"},
        {"  blanks around  ", "  blanks around  "},
        {"\"quoted\"", "\"quoted\""},
        {"a°!°b,x$$y", "a°!°b,x$$y"},
        {"two\r\nlines", "two  lines"},  // a line break would start a new line in the file
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.written);
        ASSERT_TRUE(ProfileWriteString("S", "k", c.written, file_));
        EXPECT_EQ(ProfileGetString("S", "k", "default", file_), c.read);
    }
    EXPECT_EQ(ProfileGetString("S", "next", "none", file_), "none");
}

TEST_F(PrivateProfileTest, NumbersReadAsWholeNumbers)
{
    const struct {
        const char* value;
        long number;
    } cases[] = {
        {"42", 42}, {"-7", -7}, {"+3", 3}, {"12abc", 12}, {"abc", 0}, {"", 0}, {" 8 ", 8},
        {"99999999999999999999999", LONG_MAX}, {"-99999999999999999999999", LONG_MIN},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        ASSERT_TRUE(ProfileWriteString("S", "n", c.value, file_));
        EXPECT_EQ(ProfileGetInt("S", "n", 555, file_), c.number);
    }
}

TEST_F(PrivateProfileTest, LengthLimits)
{
    const std::string longName(70, 'k');
    ASSERT_TRUE(ProfileWriteString("S", longName, "v", file_));
    EXPECT_EQ(ProfileGetString("S", longName.substr(0, 63), "", file_), "v");
    EXPECT_EQ(ProfileGetString("S", longName.substr(0, 63) + "xyz", "", file_), "v");

    std::string umlauts;
    for (int i = 0; i < 1100; ++i)
        umlauts += "ä";
    ASSERT_TRUE(ProfileWriteString("S", "long", umlauts, file_));
    const std::string read = ProfileGetString("S", "long", "", file_);
    EXPECT_EQ(read.size(), 2 * kProfileValueMax);  // 1023 characters of two bytes each
    EXPECT_EQ(read, umlauts.substr(0, 2 * kProfileValueMax));
}

TEST_F(PrivateProfileTest, UnusableNamesAreRefused)
{
    EXPECT_FALSE(ProfileWriteString("", "k", "v", file_));
    EXPECT_FALSE(ProfileWriteString("S", "  ", "v", file_));
    EXPECT_FALSE(ProfileWriteString("S", "a=b", "v", file_));
    EXPECT_FALSE(ProfileWriteString("S", "[k", "v", file_));
    EXPECT_FALSE(ProfileWriteString("x]y", "k", "v", file_));
    EXPECT_FALSE(ProfileWriteString("S", "a\nb", "v", file_));
    EXPECT_FALSE(fs::exists(file_));
}

TEST_F(PrivateProfileTest, AFileThatCannotBeReadIsNotWrittenOver)
{
    fs::create_directory(file_);  // in the way, and unreadable as a file
    EXPECT_EQ(ProfileGetString("S", "k", "d", file_), "d");
    EXPECT_FALSE(ProfileWriteString("S", "k", "v", file_));
    EXPECT_TRUE(fs::is_directory(file_));
    EXPECT_FALSE(ProfileWriteString("S", "k", "v", (dir_ / "missing" / "x.ini").string()));
}

TEST_F(PrivateProfileTest, DeletesKeysAndSections)
{
    SetText("[A]\nk=1\nj=2\n\n[B]\nk=3\n\n[C]\nk=4\n");
    ASSERT_TRUE(ProfileDeleteKey("a", "K", file_));
    EXPECT_EQ(Text(), "[A]\nj=2\n\n[B]\nk=3\n\n[C]\nk=4\n");
    ASSERT_TRUE(ProfileDeleteSection("b", file_));
    EXPECT_EQ(Text(), "[A]\nj=2\n\n[C]\nk=4\n");
    EXPECT_EQ(ProfileGetString("B", "k", "gone", file_), "gone");
    EXPECT_TRUE(ProfileDeleteKey("A", "nothing", file_));
}

TEST_F(PrivateProfileTest, KeepsAByteOrderMark)
{
    SetText("\xEF\xBB\xBF[A]\nk=1\n");
    EXPECT_EQ(ProfileGetString("A", "k", "", file_), "1");
    ASSERT_TRUE(ProfileWriteString("A", "k", "2", file_));
    EXPECT_EQ(Text(), "\xEF\xBB\xBF[A]\nk=2\n");
}

} // namespace
