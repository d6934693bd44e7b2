// Damaged copies of good CSV files (random bytes changed, pieces repeated or cut, a NUL or a
// UTF-16 mark put in) imported into each of the three plan parts: every copy is either taken whole
// (one entry per line, no control character in a name) or refused with the part unchanged, and
// what was taken comes back as it is from its own export (or that export is refused). Shift types
// with random names are exported and read back the same way. The copies and names are the same
// every run (fixed start value), so a failure replays.
#include "worksheets/CSVFile.h"

#include "../plans/PlanTestSupport.h"
#include "core/Utilities.h"
#include "platform/headless/HeadlessDriver.h"
#include "plans/AZPData.h"
#include "plans/FlexAZ.h"
#include "plans/Schichttypen.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <tuple>
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

    // The transfer as a user who answers "Ja", picks `file` and confirms every notice; the
    // captions shown are kept.
    bool Run(const std::function<bool(CCSVFile&)>& transfer, const std::string& file)
    {
        bool result = false;
        captions.clear();
        HeadlessDriver driver;
        CCSVFile csv;
        driver.Start([&] { result = transfer(csv); });
        for (int guard = 0; guard < 20; ++guard) {
            if (driver.HasMessage()) {
                captions.push_back(driver.Message().caption);
                driver.AnswerMessage((driver.Message().buttonBits & BUTTON_YES) ? BUTTON_YES : BUTTON_OK);
            } else if (driver.HasFileDialog()) {
                driver.AnswerFileDialog(file);
            } else {
                break;
            }
        }
        driver.WaitEnd();
        return result;
    }
    bool Run(const std::function<bool(CCSVFile&)>& transfer) { return Run(transfer, path); }

    // Exported to a file of its own and imported again, the part must be as it was: true when it
    // came back, false when the export was refused (told, no file).
    bool RoundTrip(const std::function<bool(CCSVFile&)>& exportTo, const std::function<bool(CCSVFile&)>& importFrom,
                   const std::function<std::string()>& content)
    {
        const std::string file = store.dir + "/zurueck.csv";
        std::filesystem::remove(file);
        const std::string was = content();
        if (!Run(exportTo, file)) {
            EXPECT_EQ(captions, std::vector<std::string>{"Exportdatei wurde nicht erstellt"});
            EXPECT_FALSE(std::filesystem::exists(file));
            return false;
        }
        EXPECT_TRUE(Run(importFrom, file)) << "its own export is refused";
        EXPECT_EQ(content(), was) << "the export came back as something else";
        return true;
    }

    // What the files carry of each part (not the ids the import gives, nor the paid flag of breaks,
    // which no file holds; names as far as a worksheet stores them, trailing spaces not counted).
    static std::string Breaks(const std::array<PAUSE, 5>& pausen)
    {
        std::string t;
        for (const PAUSE& p : pausen)
            if (p.DAUER)
                t += " " + std::to_string(p.LAGE) + "+" + std::to_string(p.DAUER);
        return t;
    }
    static std::string Content(const CSchichttypen& list)
    {
        std::string t;
        for (long n = 1; n <= list.Count(); ++n) {
            const CSchicht& s = *list.GetByIndex(n);
            t += std::to_string(s.ART) + "[" + Clip(Utf8Prefix(s.BEZEICHNUNG, 30)) + "][" +
                 Clip(Utf8Prefix(s.KURZBEZEICHNUNG, 5)) + "] " + std::to_string(s.TERMIN.BEGINN) + "-" +
                 std::to_string(s.TERMIN.ENDE) + Breaks(s.PAUSEN) + "\n";
        }
        return t;
    }
    static std::string Content(const CAZPData& plan)
    {
        std::string t = std::to_string(plan.CountDays()) + "\n";
        for (uint32_t g = 1; g <= plan.CountGroups(); ++g) {
            for (uint32_t d = 1; d <= plan.CountDays(); ++d)
                t += std::to_string(plan.GetCell(d, g)) + " ";
            t += "\n";
        }
        return t;
    }
    static std::string Content(const CFlexAZ& entries)
    {
        std::string t;
        for (long n = 1; n <= entries.Count(); ++n) {
            const QFLEXAZ& e = *entries.Entry(n);
            t += std::to_string(e.DATUM) + " " + std::to_string(e.TERMIN.BEGINN) + "-" + std::to_string(e.TERMIN.ENDE) +
                 " " + std::to_string(e.ART) + Breaks(e.PAUSEN) + "\n";
        }
        return t;
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
    // taken copy against its lines, and the part taken goes out by `exportTo` and comes back.
    void Fuzz(const std::string& good, const std::function<bool(CCSVFile&)>& transfer,
              const std::function<std::string()>& part, const std::function<void(const std::vector<std::string>&)>& whole,
              const std::function<bool(CCSVFile&)>& exportTo, const std::function<std::string()>& content)
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
            RoundTrip(exportTo, transfer, content);
        }
        EXPECT_GT(refused, 0);
        EXPECT_GT(taken, 0);
    }

    ProjectStore store;
    CSchichttypen types;
    CAZPData azp;
    CFlexAZ flex;
    std::string path;
    std::vector<std::string> captions;
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
         },
         [&](CCSVFile& c) { return c.ExportSchichttypen(types); }, [&] { return Content(types); });
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
         },
         [&](CCSVFile& c) { return c.ExportAZP(azp); }, [&] { return Content(azp); });
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
         },
         [&](CCSVFile& c) { return c.ExportFlexAZ(flex); }, [&] { return Content(flex); });
}

// Shift types named from pieces that the format splits, that Windows-1252 lacks or that its bytes
// would turn into UTF-8, in a plan: each export reads back as the part was, or is refused.
TEST_F(CSVFuzzTest, ExportedNamesComeBackOrTheExportIsRefused)
{
    // The last three pieces no name can carry; one name in four may have them.
    const std::vector<std::string> pieces = {"F", "s", "ä", "Ö", "ß", "€", "Ã", "¼", "\"", " ", "ł", "→",
                                             "x", "Ã¤", "ï»¿", "7", "-", ",", ";", "\t"};
    std::mt19937 rng(kStartValue);
    const auto name = [&](size_t least, size_t most) {
        const size_t choices = pieces.size() - (rng() % 4 == 0 ? 0 : 3);
        std::string t;
        for (size_t n = least + rng() % (most - least + 1); n > 0; --n)
            t += pieces[rng() % choices];
        return t;
    };
    int refused = 0, taken = 0;
    for (int round = 1; round <= 40; ++round) {
        SCOPED_TRACE("Runde " + std::to_string(round));
        CSchichttypen list;
        std::vector<uint32_t> ids{0};
        for (int n = 2 + int(rng() % 4); n > 0; --n) {
            CSchicht s = Shift("", uint32_t(rng() % 1440), uint32_t(rng() % 1440));
            s.ART = uint8_t(1 + rng() % 4);
            s.BEZEICHNUNG = name(0, 12);
            s.KURZBEZEICHNUNG = name(1, rng() % 4 == 0 ? 3 : 2);
            ids.push_back(Add(list, s));
        }
        CAZPData plan;
        plan.SetSchichttypen(&list, 0);
        plan.SetBezugsrahmen(2);
        plan.SetGroupCount(3);
        for (uint32_t g = 1; g <= 3; ++g)
            for (uint32_t d = 1; d <= 14; ++d)
                plan.SetCell(d, g, ids[rng() % ids.size()]);

        // The plan first: the shift types' import may give types new ids.
        for (auto [exportTo, importFrom, content] :
             {std::tuple<std::function<bool(CCSVFile&)>, std::function<bool(CCSVFile&)>, std::function<std::string()>>{
                  [&](CCSVFile& c) { return c.ExportAZP(plan); }, [&](CCSVFile& c) { return c.ImportAZP(plan); },
                  [&] { return Content(plan); }},
              {[&](CCSVFile& c) { return c.ExportSchichttypen(list); },
               [&](CCSVFile& c) { return c.ImportSchichttypen(list); }, [&] { return Content(list); }}})
            (RoundTrip(exportTo, importFrom, content) ? taken : refused)++;
    }
    EXPECT_GT(refused, 0);
    EXPECT_GT(taken, 0);
}

} // namespace
