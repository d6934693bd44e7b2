// Damaged copies of good CSV files (random bytes changed, pieces repeated or cut, a NUL or a
// UTF-16 mark put in) imported into each of the three plan parts: every copy is either taken whole
// (one entry per line, no control character in a name) or refused with the part unchanged. The
// copies are the same every run (fixed start value), so a failure replays.
#include "worksheets/CSVFile.h"

#include "../plans/PlanTestSupport.h"
#include "platform/headless/HeadlessDriver.h"
#include "plans/AZPData.h"
#include "plans/FlexAZ.h"
#include "plans/Schichttypen.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

using namespace plantest;

namespace {

constexpr unsigned kStartValue = 4711;
constexpr int kCopies = 100;

std::string Mutate(std::string bytes, std::mt19937& rng)
{
    const auto at = [&](size_t n) { return n == 0 ? size_t(0) : size_t(rng() % n); };
    switch (rng() % 6) {
    case 0: {   // a run copied over another place
        const size_t len = 1 + at(std::min<size_t>(64, bytes.size() - 1));
        const size_t from = at(bytes.size() - len), to = at(bytes.size() - len);
        bytes.replace(to, len, bytes.substr(from, len));
        break;
    }
    case 1:     // cut
        bytes.resize(at(bytes.size()));
        break;
    case 2:     // a NUL or another control character put in
        bytes.insert(at(bytes.size()), 1, char(rng() % 32));
        break;
    case 3:     // a UTF-16 mark in front
        bytes.insert(0, "\xFF\xFE");
        break;
    case 4:     // a line repeated many times
        for (int n = int(rng() % 3000); n > 0; --n)
            bytes += bytes.substr(0, bytes.find('\n') + 1);
        break;
    default:
        for (int n = 1 + int(rng() % 4); n > 0; --n)
            bytes[at(bytes.size())] ^= char(1 + rng() % 255);
    }
    return bytes;
}

bool HasControl(const std::string& s)
{
    for (unsigned char c : s)
        if (c < 0x20 || c == 0x7F)
            return true;
    return false;
}

class CSVFuzzTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Add(types, Shift("F", 360, 840, {240, 30, 0}));
        Add(types, Shift("S", 840, 1320));
        Add(types, Shift("N", 1320, 360));
        azp.SetSchichttypen(&types, 0);
        path = store.dir + "/f.csv";
    }

    // The transfer as a user who answers "Ja", picks `path` and confirms every notice.
    bool Run(const std::function<bool(CCSVFile&)>& transfer)
    {
        bool result = false;
        HeadlessDriver driver;
        CCSVFile csv;
        driver.Start([&] { result = transfer(csv); });
        for (int guard = 0; guard < 20; ++guard) {
            if (driver.HasMessage())
                driver.AnswerMessage((driver.Message().buttonBits & BUTTON_YES) ? BUTTON_YES : BUTTON_OK);
            else if (driver.HasFileDialog())
                driver.AnswerFileDialog(path);
            else
                break;
        }
        driver.WaitEnd();
        return result;
    }

    // The lines of the file as the import sees them; false when it cannot be split into lines.
    static bool Lines(const std::string& bytes, std::vector<std::string>& lines)
    {
        return !CCSVFile::DecodeLines(bytes, lines).has_value();
    }

    std::string TypesText() const
    {
        std::string t;
        for (long n = 1; n <= types.Count(); ++n)
            t += CCSVFile::SchichtLine(*types.GetByIndex(n)) + std::to_string(types.GetByIndex(n)->SYSID) + "\n";
        return t;
    }
    std::string PlanText() const
    {
        std::string t = std::to_string(azp.CountDays()) + "\n";
        for (uint32_t g = 1; g <= azp.CountGroups(); ++g)
            t += CCSVFile::AZPLine(azp, g) + "\n";
        return t;
    }
    std::string FlexText() const
    {
        std::string t;
        for (long n = 1; n <= flex.Count(); ++n)
            t += CCSVFile::FlexLine(*flex.Entry(n)) + "\n";
        return t;
    }

    // Every copy of `good` imported by `transfer`: `before` is the part's text, `whole` checks a
    // taken copy against its lines.
    void Fuzz(const std::string& good, const std::function<bool(CCSVFile&)>& transfer,
              const std::function<std::string()>& part, const std::function<void(const std::vector<std::string>&)>& whole)
    {
        std::mt19937 rng(kStartValue);
        int refused = 0, taken = 0;
        for (int n = 1; n <= kCopies; ++n) {
            SCOPED_TRACE("Kopie " + std::to_string(n));
            const std::string bytes = Mutate(good, rng);
            std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
            const std::string before = part();
            if (!Run(transfer)) {
                ++refused;
                EXPECT_EQ(part(), before) << "a refused file changed the part";
                continue;
            }
            ++taken;
            std::vector<std::string> lines;
            ASSERT_TRUE(Lines(bytes, lines)) << "taken, though its lines cannot be read";
            whole(lines);
        }
        EXPECT_GT(refused, 0);
        EXPECT_GT(taken, 0);
    }

    ProjectStore store;
    CSchichttypen types;
    CAZPData azp;
    CFlexAZ flex;
    std::string path;
};

TEST_F(CSVFuzzTest, ShiftTypeFilesAreTakenWholeOrRefusedUnchanged)
{
    const std::string good = "normal,Früh,F,06:00,14:00,10:00,10:30,\r\nnormal,Spät,S,14:00,22:00,18:00,18:30,\r\n"
                             "Bereitschaft,Nacht,N,22:00,06:00,02:00,02:30,\r\nFreischicht,Frei,X,00:00,24:00,\r\n";
    Fuzz(good, [&](CCSVFile& c) { return c.ImportSchichttypen(types); }, [&] { return TypesText(); },
         [&](const std::vector<std::string>& lines) {
             EXPECT_EQ(size_t(types.Count()), lines.size());
             for (long n = 1; n <= types.Count(); ++n) {
                 EXPECT_FALSE(HasControl(types.GetByIndex(n)->BEZEICHNUNG));
                 EXPECT_FALSE(HasControl(types.GetByIndex(n)->KURZBEZEICHNUNG));
             }
         });
}

TEST_F(CSVFuzzTest, PlanFilesAreTakenWholeOrRefusedUnchanged)
{
    azp.SetBezugsrahmen(1);
    azp.SetGroupCount(1);
    const std::string good = "F    ,F    ,,S    ,S    ,N    ,N    ,F    ,F    ,,S    ,S    ,N    ,N    ,\r\n"
                             ",,F    ,F    ,,S    ,S    ,N    ,N    ,,F    ,F    ,,S    ,\r\n"
                             "N    ,N    ,N    ,,,F    ,F    ,F    ,,,S    ,S    ,S    ,,\r\n";
    Fuzz(good, [&](CCSVFile& c) { return c.ImportAZP(azp); }, [&] { return PlanText(); },
         [&](const std::vector<std::string>& lines) {
             EXPECT_EQ(azp.CountGroups(), lines.size());
             EXPECT_EQ(azp.CountDays() % 7, 0u);
         });
}

TEST_F(CSVFuzzTest, FlexFilesAreTakenWholeOrRefusedUnchanged)
{
    const std::string good = "01.01.2024,06:00,14:00,1,10:00,10:30,\r\n02.01.2024,22:00,06:00,3,02:00,02:30,\r\n"
                             "03.01.2024,08:00,16:30,2,\r\n05.01.2024,00:00,24:00,4,\r\n";
    Fuzz(good, [&](CCSVFile& c) { return c.ImportFlexAZ(flex); }, [&] { return FlexText(); },
         [&](const std::vector<std::string>& lines) {
             size_t entries = 0;
             for (const std::string& line : lines)
                 entries += line.find_first_not_of(' ') != std::string::npos;
             EXPECT_EQ(size_t(flex.Count()), entries);
         });
}

} // namespace
