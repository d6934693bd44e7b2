#include "rota/RotaChecker.h"
#include "rota/RotaInstance.h"
#include "rota/RotaModel.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Four workers, an early and a night shift every day, no night shift followed by an early one.
const std::string kTiny = R"(% a small instance written for the test
week_length = 7;
nb_workers = 4;
min_daysoff = 1;
max_daysoff = 6;
min_work = 2;
max_work = 5;
nb_shifts = 2;
temp_req = [| 1, 1, 1, 1, 1, 1, 1
            | 1, 1, 1, 1, 1, 1, 1 |];
shift_name = ["D", "N"];
shift_start = [360, 1320];
shift_length = [480, 480];
shift_block_min = [1, 1];
shift_block_max = [7, 7];
nb_forbidden = 1;
forbidden_before = [2];
forbidden_after = [1];
forbidden_daysoff = [false];
)";

// A rota of kTiny that keeps every rule (runs round the cycle: row 4's Sunday D joins row 1's
// D D N N into a run of five).
const Rota kTinyRota = {{1, 1, 2, 2, 0, 0, 0}, {2, 2, 0, 0, 1, 1, 0}, {0, 0, 1, 1, 2, 2, 2}, {0, 0, 0, 0, 0, 0, 1}};

std::string Replace(std::string text, const std::string& from, const std::string& to)
{
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

RotaInstance Tiny()
{
    std::string error;
    auto instance = ReadRotaInstance(kTiny, "tiny.dzn", error);
    EXPECT_TRUE(instance) << error;
    return instance ? *instance : RotaInstance{};
}

TEST(RotaInstanceTest, ReadsEveryField)
{
    const RotaInstance r = Tiny();
    EXPECT_EQ(r.workers, 4);
    EXPECT_EQ(r.minWork, 2);
    EXPECT_EQ(r.maxWork, 5);
    EXPECT_EQ(r.shiftName, (std::vector<std::string>{"D", "N"}));
    EXPECT_EQ(r.shiftStart, (std::vector<int>{360, 1320}));
    ASSERT_EQ(r.demand.size(), 2u);
    EXPECT_EQ(r.demand[1], std::vector<int>(7, 1));
    ASSERT_EQ(r.forbidden.size(), 1u);
    EXPECT_EQ(r.forbidden[0].before, 2);
    EXPECT_EQ(r.forbidden[0].after, 1);
    EXPECT_FALSE(r.forbidden[0].dayOff);
}

// A damaged file gets one message that names the field, and no instance.
TEST(RotaInstanceTest, ADamagedFileIsRefusedNamingTheField)
{
    struct Case {
        std::string from, to, field, what;
    };
    const std::vector<Case> cases = {
        {"nb_workers = 4;\n", "", "nb_workers", "fehlt"},
        {"nb_shifts = 2;", "nb_shifts = 2;\nnb_teams = 2;", "nb_teams", "unbekannt"},
        {"min_work = 2;", "min_work = 2;\nmin_work = 3;", "min_work", "zweimal"},
        {"week_length = 7;", "week_length = 5;", "week_length", "7 Tagen"},
        {"nb_workers = 4;", "nb_workers = 4.5;", "nb_workers", "Zahl"},
        {"nb_workers = 4;", "nb_workers = \"4\";", "nb_workers", "ganze Zahl"},
        {"max_work = 5;", "max_work = 1;", "max_work", "kleiner als min_work"},
        {"| 1, 1, 1, 1, 1, 1, 1 |]", "| 1, 1, 1, 1, 1, 1 |]", "temp_req", "Zeile 2 hat 6 Werte"},
        {"| 1, 1, 1, 1, 1, 1, 1 |]", "|]", "temp_req", "1 Zeilen"},
        {"[| 1, 1, 1, 1, 1, 1, 1\n", "[| 4, 1, 1, 1, 1, 1, 1\n", "temp_req", "5 Schichten"},
        {"[| 1, 1, 1, 1, 1, 1, 1\n", "[1, 1, 1, 1, 1, 1, 1,\n", "temp_req", "unlesbarer Wert"},
        {"[\"D\", \"N\"]", "[\"D\", \"D\"]", "shift_name", "zweimal"},
        {"[\"D\", \"N\"]", "[\"D\", \"N]", "shift_name", "Text endet nicht"},
        {"[360, 1320]", "[360, 1440]", "shift_start", "1440"},
        {"shift_length = [480, 480];", "shift_length = [480];", "shift_length", "1 Werte, erwartet 2"},
        {"forbidden_before = [2];", "forbidden_before = [3];", "forbidden_before", "erlaubt sind 1 bis 2"},
        {"forbidden_daysoff = [false];", "forbidden_daysoff = [0];", "forbidden_daysoff", "true oder false"},
        {"nb_forbidden = 1;", "nb_forbidden = 2;", "forbidden_before", "erwartet 2"},
        {"shift_block_max = [7, 7];", "shift_block_max = [7, 7]", "shift_block_max", "\u201e;\u201c"},
        {"min_daysoff = 1;", "min_daysoff 1;", "min_daysoff", "\u201e=\u201c"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.to);
        std::string error;
        const auto instance = ReadRotaInstance(Replace(kTiny, c.from, c.to), "tiny.dzn", error);
        EXPECT_FALSE(instance);
        EXPECT_NE(error.find("tiny.dzn"), std::string::npos) << error;
        EXPECT_NE(error.find("\u201e" + c.field + "\u201c"), std::string::npos) << error;
        EXPECT_NE(error.find(c.what), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
    std::string error;
    EXPECT_FALSE(ReadRotaFile("/nonexistent/rota.dzn", error));
    EXPECT_NE(error.find("rota.dzn: Datei nicht lesbar"), std::string::npos) << error;
}

RotaInstance Edited(const std::string& from, const std::string& to)
{
    std::string error;
    auto instance = ReadRotaInstance(Replace(kTiny, from, to), "tiny.dzn", error);
    EXPECT_TRUE(instance) << error;
    return instance ? *instance : RotaInstance{};
}

// The checker counts every rule round the cycle: row 4's Sunday is followed by row 1's Monday.
TEST(RotaCheckerTest, EveryRuleIsCountedRoundTheCycle)
{
    struct Case {
        const char* what;
        RotaInstance instance;
        std::vector<std::pair<int, int>> swaps;   // (weekday, row): exchanged with row 1's cell
        std::vector<int> expected;                // demand, work, pairs, sequences, free runs, shift runs
    };
    const RotaInstance nightFreeEarly = Edited("nb_forbidden = 1;\nforbidden_before = [2];\nforbidden_after = [1];\nforbidden_daysoff = [false];",
                                               "nb_forbidden = 2;\nforbidden_before = [2, 2];\nforbidden_after = [1, 1];\nforbidden_daysoff = [false, true];");
    const std::vector<Case> cases = {
        {"every rule holds", Tiny(), {}, {0, 0, 0, 0, 0, 0}},
        // Row 1's Monday D goes to row 4: row 3's Sunday N is followed by it across the row end;
        // N N N D makes a run of six, row 4's Sunday D stands alone.
        {"night, early across rows", Tiny(), {{0, 3}}, {0, 2, 1, 0, 0, 0}},
        // Row 2's Saturday D to row 1: N, a free Friday, D; both D stand alone.
        {"night, a free day, early", nightFreeEarly, {{5, 1}}, {0, 2, 0, 1, 0, 0}},
        {"free run of six above five", Edited("max_daysoff = 6;", "max_daysoff = 5;"), {}, {0, 0, 0, 0, 1, 0}},
        // Row 4's Sunday D and row 1's D D: three early shifts round the cycle.
        {"early run of three above two", Edited("shift_block_max = [7, 7];", "shift_block_max = [2, 7];"), {},
         {0, 0, 0, 0, 0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Rota rota = kTinyRota;
        for (const auto& [day, row] : c.swaps)
            std::swap(rota[0][std::size_t(day)], rota[std::size_t(row)][std::size_t(day)]);
        const RotaVerdict v = CheckRota(c.instance, rota);
        EXPECT_EQ((std::vector<int>{v.demand, v.workRuns, v.forbiddenPairs, v.forbiddenSequences, v.dayOffRuns, v.shiftRuns}),
                  c.expected)
            << v.Describe();
    }
    Rota twoNights = kTinyRota;
    twoNights[1][6] = 2;
    EXPECT_EQ(CheckRota(Tiny(), twoNights).demand, 1);
}

// A forbidden pair or sequence that the criteria do not judge breaks a rule of the instance but
// not one the search was given: the checker counts it apart, so that quality 0 with such a pair
// is no disagreement.
TEST(RotaCheckerTest, AForbiddenPairTheCriteriaDoNotJudgeIsCountedApart)
{
    Rota rota = kTinyRota;
    std::swap(rota[0][0], rota[3][0]);  // row 3's Sunday N, then row 4's Monday D
    const auto notNightEarly = [](int before, bool dayOff, int after) { return !(before == 2 && !dayOff && after == 1); };
    const RotaVerdict judged = CheckRota(Tiny(), rota);
    const RotaVerdict apart = CheckRota(Tiny(), rota, notNightEarly);
    EXPECT_EQ(std::make_pair(judged.forbiddenPairs, judged.unjudged), std::make_pair(1, 0));
    EXPECT_EQ(std::make_pair(apart.forbiddenPairs, apart.unjudged), std::make_pair(0, 1));
    EXPECT_EQ(apart.workRuns, judged.workRuns);
    EXPECT_NE(apart.Describe().find("1 forbidden pairs or sequences the criteria do not judge"), std::string::npos)
        << apart.Describe();
    // The rule holds again: the model's rules and all of them.
    const RotaVerdict kept = CheckRota(Tiny(), kTinyRota, notNightEarly);
    EXPECT_TRUE(kept.ModelRulesHold() && kept.AllRulesHold()) << kept.Describe();
}

// The criteria's limits: 11 hours of rest where that separates the forbidden pairs from the
// allowed ones; the rest after night work from the forbidden "night, a free day, X"; whatever the
// criteria cannot say is named.
TEST(RotaModelTest, LimitsExpressTheRulesAndWhatTheyCannotIsNamed)
{
    const std::string three = R"(week_length = 7; nb_workers = 6; min_daysoff = 1; max_daysoff = 4;
min_work = 2; max_work = 6; nb_shifts = 3;
temp_req = [| 1, 1, 1, 1, 1, 1, 1 | 1, 1, 1, 1, 1, 1, 1 | 1, 1, 1, 1, 1, 1, 1 |];
shift_name = ["D", "A", "N"]; shift_start = [360, 840, 1320]; shift_length = [480, 480, 480];
shift_block_min = [2, 2, 2]; shift_block_max = [7, 6, 4];
)";
    struct Case {
        const char* what;
        std::string forbidden;
        int rest, nightRest;
        std::vector<std::string> notes;   // besides the two about free runs and shift runs
    };
    const std::vector<Case> cases = {
        {"pairs below 11 hours", "nb_forbidden = 3; forbidden_before = [3, 3, 2]; forbidden_after = [1, 2, 1]; "
                                 "forbidden_daysoff = [false, false, false];",
         660, 0, {}},
        // N, a free day, A (32 hours) and N, a free day, D (24 hours): 33 hours after night work;
        // A, a free day, D follows a late shift, which the night-work rest does not look at.
        {"sequences over a free day",
         "nb_forbidden = 6; forbidden_before = [3, 3, 2, 2, 3, 3]; forbidden_after = [1, 2, 1, 1, 2, 1]; "
         "forbidden_daysoff = [false, false, false, true, true, true];",
         660, 33 * 60, {"forbidden \"A - D\" is not judged by the criteria"}},
        // D, A on consecutive days is a rest of 24 hours: above 11 hours, and above the 16 hours
        // of the allowed D, D - so no limit separates it, and what the lowest one marks is named.
        {"a pair no rest limit separates", "nb_forbidden = 1; forbidden_before = [1]; forbidden_after = [2]; "
                                           "forbidden_daysoff = [false];",
         24 * 60 + 1,
         0,
         {"allowed \"D D\" is judged as a violation", "allowed \"A D\" is judged as a violation",
          "allowed \"A A\" is judged as a violation", "allowed \"A N\" is judged as a violation",
          "allowed \"N D\" is judged as a violation", "allowed \"N A\" is judged as a violation",
          "allowed \"N N\" is judged as a violation", "allowed \"N - D\" is judged as a violation"}},
        {"nothing forbidden", "nb_forbidden = 0; forbidden_before = []; forbidden_after = []; forbidden_daysoff = [];", 0,
         0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string error;
        const auto instance = ReadRotaInstance(three + c.forbidden, "three.dzn", error);
        ASSERT_TRUE(instance) << error;
        RotaModel model(*instance);
        EXPECT_EQ(model.RestLimit(), c.rest);
        EXPECT_EQ(model.NightRestLimit(), c.nightRest);
        std::vector<std::string> notes = c.notes;
        notes.insert(notes.begin(), {"free runs of 1 to 4 days are not expressed",
                                     "runs of one shift (D 2-7, A 2-6, N 2-4) are not expressed"});
        std::vector<std::string> got = model.Notes();
        std::sort(notes.begin(), notes.end());
        std::sort(got.begin(), got.end());
        EXPECT_EQ(got, notes);
    }
}

// Quality 0 must mean the rules the criteria are given hold, and the other way round: the rota
// that keeps them, and every exchange of two rows' shifts on one day (the search's moves).
TEST(RotaModelTest, QualityZeroExactlyWhenTheCheckerFindsTheRulesKept)
{
    const RotaInstance tiny = Tiny();
    RotaModel model(tiny);
    EXPECT_EQ(model.Quality(kTinyRota), 0.0);
    int broken = 0;
    for (std::size_t d = 0; d < 7; ++d)
        for (std::size_t a = 0; a < 4; ++a)
            for (std::size_t b = a + 1; b < 4; ++b) {
                Rota rota = kTinyRota;
                std::swap(rota[a][d], rota[b][d]);
                const RotaVerdict v = CheckRota(tiny, rota);
                EXPECT_EQ(model.Quality(rota) == 0.0, v.ModelRulesHold())
                    << "day " << d + 1 << ", rows " << a + 1 << " and " << b + 1 << ": " << v.Describe();
                broken += !v.ModelRulesHold();
            }
    EXPECT_GT(broken, 10);
}

// ---- the program -------------------------------------------------------------------------------

struct Output {
    int status = -1;
    std::string text;
};

Output RunBench(const std::string& arguments)
{
    Output out;
    FILE* pipe = ::popen((std::string(VARN_ROTA_BENCH) + " " + arguments + " 2>&1").c_str(), "r");
    if (!pipe)
        return out;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.text.append(buffer, n);
    const int status = ::pclose(pipe);
    out.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return out;
}

class RotaProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("rotabench_" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    std::string Write(const std::string& name, const std::string& text)
    {
        std::ofstream(dir / name) << text;
        return (dir / name).string();
    }
    fs::path dir;
};

TEST_F(RotaProgramTest, ATinyInstanceReachesQualityZeroAndTheCheckerAgrees)
{
    const Output out = RunBench("--limit 30 --start 3 " + Write("tiny.dzn", kTiny));
    EXPECT_EQ(out.status, 0) << out.text;
    EXPECT_NE(out.text.find("rotating workforce, tiny.dzn: 4 groups, quality "), std::string::npos) << out.text;
    EXPECT_NE(out.text.find("best 0.0000"), std::string::npos) << out.text;
    EXPECT_NE(out.text.find("checker agrees"), std::string::npos) << out.text;
    EXPECT_NE(out.text.find("quality 0 in 1 of 1 instances"), std::string::npos) << out.text;
    // The rota: four rows of seven, each day one D and one N.
    const std::size_t rows = out.text.find("\n    ", out.text.find("every rule of the instance"));
    ASSERT_NE(rows, std::string::npos) << out.text;
    EXPECT_EQ(out.text.substr(rows + 1).find("rotating workforce:"), 4u * 18u) << out.text;
}

TEST_F(RotaProgramTest, ADamagedFileGetsOneMessageAndTheOthersStillRun)
{
    const std::string bad = Write("bad.dzn", Replace(kTiny, "shift_start = [360, 1320];", "shift_start = [360];"));
    const Output out = RunBench("--limit 30 " + bad + " " + Write("tiny.dzn", kTiny));
    EXPECT_EQ(out.status, 1) << out.text;
    EXPECT_NE(out.text.find("bad.dzn, Zeile 12: Feld \u201eshift_start\u201c hat 1 Werte, erwartet 2\n"), std::string::npos)
        << out.text;
    EXPECT_NE(out.text.find("quality 0 in 1 of 1 instances"), std::string::npos) << out.text;
    EXPECT_EQ(RunBench("--limit abc").status, 2);
}

}  // namespace
