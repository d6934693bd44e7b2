// The break criterion (KR1) and the strain criterion (KR19): break rules on shift types, the
// hourly strain computed by hand from small constants records, damaged and empty constants, and
// the installed "eba.cfg" judged by what a planner would expect of it.
#include "assessment/Belastungseinschaetzungen.h"
#include "assessment/KriterienBelastung.h"
#include "assessment/KriterienChecker.h"
#include "assessment/RahmenbedingungPausen.h"

#include "CriteriaTestSupport.h"
#include "core/Files.h"
#include "core/TimeHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

using namespace bewertungtest;
using namespace criteriatest;
namespace fs = std::filesystem;

namespace {

constexpr uint32_t H(uint32_t hours, uint32_t minutes = 0) { return hours * 60 + minutes; }
constexpr uint8_t MO = 1, DI = 2, SO = 64;

// ---- KR1 ----------------------------------------------------------------------------------------

CSchicht WithBreaks(CSchicht s, std::vector<PAUSE> breaks)
{
    s.PAUSEN = {};
    for (std::size_t i = 0; i < breaks.size(); ++i)
        s.PAUSEN[i] = breaks[i];
    return s;
}

class Breaks : public ::testing::Test {
protected:
    Breaks()
    {
        rb11.PAUSEN = {};
        rb11.PAUSEN[0] = {T(6), 30};
        rb11.PAUSEN[1] = {T(9), 45};
        rb12.ERSTE_PAUSE = T(6);
        rb13.MINDESTPAUSENLAENGE = 15;
        kr1.SetRahmenbedingungen(&rb11, &rb12, &rb13);
        kr1.AKTIVIERT = 1;
    }

    EmptyKri emptyKri;
    TempIni ini;
    CRahmenbedingungPausen rb11;
    CRahmenbedingungErstePause rb12;
    CRahmenbedingungMindestpausenlaenge rb13;
    CKriteriumPausen kr1;
};

TEST_F(Breaks, KR1CountsEachBrokenRuleWithItsLine)
{
    ASSERT_EQ(kr1.GetSTChecker(), &kr1);
    EXPECT_EQ(kr1.TEILER, 100000.0);
    const std::string missing = "- Die Gesamtpausendauer dieser Schicht unterschreitet die geforderte Minimaldauer von ";
    const std::string tooMuch = "- Die Gesamtpausendauer dieser Schicht muß kleiner sein als 9 Stunden (540 Minuten)";
    const struct {
        const char* what;
        CSchicht shift;
        uint32_t amount;
        std::string text;
    } cases[] = {
        {"9.5 hours with 30 minutes: the 9-hour step applies",
         WithBreaks(Shift("L", H(6), H(15, 30)), {{240, 30, 0}}), 1, missing + "45 Minuten um 15 Minuten."},
        {"8 hours with 30 minutes", WithBreaks(Shift("F", H(6), H(14)), {{240, 30, 0}}), 0, ""},
        {"exactly 6 hours need no break", Shift("K", H(6), H(12)), 0, ""},
        {"6 hours and a minute without break", Shift("K", H(6), H(12, 1)), 1, missing + "30 Minuten um 30 Minuten."},
        {"paid breaks count as well", WithBreaks(Shift("F", H(6), H(14)), {{240, 30, 1}}), 0, ""},
        {"a first break of 10 minutes is 5 too short",
         WithBreaks(Shift("F", H(6), H(14)), {{180, 10, 0}, {300, 20, 0}}), 1, "- Die 1. Pause ist 5 Minuten zu kurz."},
        {"breaks of 540 minutes always breach",
         WithBreaks(Shift("T", H(2), H(23)), {{120, 108, 0}, {300, 108, 0}, {480, 108, 0}, {660, 108, 0}, {840, 108, 0}}),
         1, tooMuch},
        {"the first break half an hour late",
         WithBreaks(Shift("F", H(6), H(14)), {{H(6, 30), 30, 0}}), 1, "- Die erste Pause beginnt 30 Minuten zu spät."},
        {"exactly 6 hours after the begin is in time", WithBreaks(Shift("F", H(6), H(14)), {{H(6), 30, 0}}), 0, ""},
        // After midnight the break's clock time is below the shift's: the distance is its place.
        {"a night shift's break at 05:00 is an hour late",
         WithBreaks(Shift("N", H(22), H(6)), {{H(7), 30, 0}}), 1, "- Die erste Pause beginnt 60 Minuten zu spät."},
        {"a night shift's break at 02:00 is in time", WithBreaks(Shift("N", H(22), H(6)), {{H(4), 30, 0}}), 0, ""},
        // The working time is not read as a time of day: 24 hours are not 00:00.
        {"a 24-hour shift needs the longest step",
         WithBreaks(Shift("T", H(6), H(6)), {{H(5), 30, 0}}), 1, missing + "45 Minuten um 15 Minuten."},
        {"three rules at once, one line each",
         WithBreaks(Shift("L", H(6), H(16)), {{H(7), 10, 0}}), 3,
         missing + "45 Minuten um 35 Minuten.\r\n- Die erste Pause beginnt 60 Minuten zu spät.\r\n"
                   "- Die 1. Pause ist 5 Minuten zu kurz."},
        {"a free shift is not judged", Shift("X", H(6), H(18), ART_FREISCHICHT), 0, ""},
        {"nor an on-call duty", Shift("B", H(6), H(18), ART_BEREITSCHAFT), 0, ""},
    };
    for (const auto& c : cases) {
        std::string text = "vorher";
        EXPECT_EQ(kr1.Check(c.shift, kAlleWochentage, text, kSTCheckTextSize), c.amount) << c.what;
        EXPECT_EQ(text, c.text) << c.what;
    }
}

TEST_F(Breaks, KR1SwitchedOffOrWithoutLimitsFindsNothing)
{
    const CSchicht late = WithBreaks(Shift("L", H(6), H(16)), {{H(7), 10, 0}});
    std::string text = "vorher";
    kr1.AKTIVIERT = 0;
    EXPECT_EQ(kr1.Check(late, kAlleWochentage, text, kSTCheckTextSize), 0u);
    EXPECT_EQ(text, "");

    // Constraints read from an empty record: no step, no time for the first break, no minimum.
    kr1.AKTIVIERT = 1;
    rb11.PAUSEN = {};
    rb12.ERSTE_PAUSE = 0;
    rb13.MINDESTPAUSENLAENGE = 0;
    EXPECT_EQ(kr1.Check(late, kAlleWochentage, text, kSTCheckTextSize), 0u);

    // Without constraints only the 9-hour rule remains.
    CKriteriumPausen unlinked;
    unlinked.AKTIVIERT = 1;
    EXPECT_EQ(unlinked.Check(late, kAlleWochentage, text, kSTCheckTextSize), 0u);
    EXPECT_EQ(unlinked.Check(WithBreaks(Shift("T", H(0), H(23)), {{60, 540, 0}}), kAlleWochentage, text, 1024), 1u);
}

TEST_F(Breaks, KR1TextStaysWithinTheBufferAndAssignCopiesTheRules)
{
    std::string text;
    // 42 bytes would end inside the "ß".
    EXPECT_EQ(kr1.Check(WithBreaks(Shift("T", H(0), H(23)), {{360, 540, 0}}), kAlleWochentage, text, 42), 1u);
    EXPECT_EQ(text, "- Die Gesamtpausendauer dieser Schicht mu");

    CRahmenbedingungPausen otherRb11;
    CRahmenbedingungErstePause otherRb12;
    CRahmenbedingungMindestpausenlaenge otherRb13;
    CKriteriumPausen copy;
    copy.SetRahmenbedingungen(&otherRb11, &otherRb12, &otherRb13);
    copy.Assign(kr1, nullptr);
    EXPECT_EQ(copy.RB11, &otherRb11) << "the copy keeps its own constraints";
    EXPECT_EQ(otherRb11.PAUSEN[1].PAUSENLAENGE, 45);
    EXPECT_EQ(otherRb12.ERSTE_PAUSE, T(6));
    EXPECT_EQ(otherRb13.MINDESTPAUSENLAENGE, 15);
    EXPECT_EQ(copy.AKTIVIERT, 1);
}

// ---- KR19: the computation ----------------------------------------------------------------------

using Ratings = std::map<int, int32_t>;

CBelastungseinschaetzung Assessment(uint8_t days, uint32_t from, uint32_t to, const Ratings& ratings)
{
    CBelastungseinschaetzung a;
    a.TAETIGKEIT = "Tätigkeit";
    a.WOCHENTAGE = days;
    a.TERMIN = {from, to};
    for (const auto& [item, value] : ratings)
        a.SetItem(item, value);
    return a;
}

// Ten items at the calculation value 8, the others unrated: with the weights below the hour's
// sum is 4 x 1 + 3 + 8 x 10 x 1.875 = 157, the index (157 - 17) x 100 / 700 + 100 = 120.
const Ratings kIndex120 = {{1, 8}, {2, 8}, {3, 8}, {4, 8}, {7, 8}, {9, 8}, {10, 8}, {15, 8}, {5, 2}, {8, 2}};

// "eba.cfg" in a folder of its own while the object lives; the file EBA is named to it.
class EbaFile {
public:
    EbaFile()
    {
        std::string t = (fs::temp_directory_path() / "varnebaXXXXXX").string();
        if (!::mkdtemp(t.data()))
            throw std::runtime_error("no temporary folder");
        dir = t;
        previous = EBA.Name();
        path = (dir / "eba.cfg").string();
        EBA.SetName(path);
    }
    ~EbaFile()
    {
        EBA.SetName(previous);
        std::error_code ec;
        fs::remove_all(dir, ec);
    }

    // The file with one record filled by the function (every field 0 before), or with none.
    void Write(const std::function<void(RecordBuffer&)>& fill)
    {
        RecordFile f("EBA", std::shared_ptr<const Layout>(std::shared_ptr<const Layout>(), &EBA.GetLayout()));
        f.SetName(path);
        ASSERT_EQ(FileCreate(f), ERR_NONE);
        ASSERT_EQ(FileOpen(f, FILE_READ_WRITE | FILE_DENY_ALL), ERR_NONE);
        if (fill) {
            f.Clear();
            fill(f);
            ASSERT_EQ(FileAdd(f), ERR_NONE);
        }
        FileClose(f);
    }

    fs::path dir;
    std::string path, previous;
};

// Constants small enough to follow by hand: every weight 1 but that of ten 8s (1.875, with wrong
// neighbours), circadian factors of 22:00 (+10 %) and 00:00 (+20 %), a psycho-social one of 06:00
// (+10 %), excess over 110 carried by halves and quarters, long hours +10/+30/+80 %, limit 122.
void HandConstants(RecordBuffer& r)
{
    for (int v = 1; v <= 9; ++v)
        for (int n = 1; n <= 15; ++n)
            r.SetReal("GEWICHTUNG_" + std::to_string(v), 1.0, n);
    r.SetReal("GEWICHTUNG_8", 9.0, 9);
    r.SetReal("GEWICHTUNG_8", 1.875, 10);
    r.SetReal("GEWICHTUNG_8", 9.0, 11);
    r.SetReal("MUL_CIRCADYAN", 2.0);
    r.SetReal("FAK_CIRCADYAN", 5.0, 23);
    r.SetReal("FAK_CIRCADYAN", 10.0, 1);
    r.SetReal("MUL_PSYSO", 1.0);
    r.SetReal("FAK_PSYSO", 10.0, 7);
    r.SetReal("MAX_BELA", 110);
    r.SetReal("DIV_BELA_KUM_1", 2);
    r.SetReal("DIV_BELA_KUM_2", 4);
    r.SetReal("MUL_AZZ8", 0.1);
    r.SetReal("MUL_AZZ10", 0.2);
    r.SetReal("MUL_AZZ12", 0.5);
    r.SetReal("BELA_GRENZE", 122);
}

std::vector<double> First(const std::array<double, 24>& row, int n, int from = 0)
{
    return {row.begin() + from, row.begin() + from + n};
}

// Hand-computed rows; products like 100 x 1.1 need not be exact in binary.
::testing::AssertionResult Near(const std::vector<double>& actual, const std::vector<double>& expected)
{
    bool same = actual.size() == expected.size();
    for (std::size_t i = 0; same && i < actual.size(); ++i)
        same = std::fabs(actual[i] - expected[i]) < 1e-9;
    if (same)
        return ::testing::AssertionSuccess();
    ::testing::AssertionResult out = ::testing::AssertionFailure();
    for (double v : actual)
        out << v << " ";
    return out;
}

class Strain : public ::testing::Test {
protected:
    Strain()
    {
        eba.Write(HandConstants);
        kr19.SetBelastungseinschaetzungen(&list);
        kr19.AKTIVIERT = 1;
    }
    ~Strain() override
    {
        SetEbaHinweisProcedure({});
        SetEbaRechenwerteProcedure({});
    }

    EmptyKri emptyKri;
    TempIni ini;
    EbaFile eba;
    CBelastungseinschaetzungen list;
    CKriteriumBelastung kr19;
};

TEST_F(Strain, ADayShiftHourByHour)
{
    list.Add(Assessment(MO, H(7), H(9), kIndex120));
    kr19.Compute({H(6), H(14)});
    EXPECT_EQ(kr19.STUNDEN, 8);
    EXPECT_TRUE(Near(First(kr19.WERTE.ANZRWG, 8), {17, 157, 157, 17, 17, 17, 17, 17}));
    EXPECT_TRUE(Near(First(kr19.WERTE.EBA_IDX, 8), {100, 120, 120, 100, 100, 100, 100, 100}));
    // 06:00 has the psycho-social +10 %.
    EXPECT_TRUE(Near(First(kr19.WERTE.BELA_STD, 8), {110, 120, 120, 100, 100, 100, 100, 100}));
    // 110 is not above the sustainable 110; from 07:00 on the excess carries by halves, quarters.
    EXPECT_TRUE(Near(First(kr19.WERTE.BELA_SUM, 8), {110, 120, 125, 107.5, 102.5, 100, 100, 100}));
    EXPECT_EQ(kr19.WERTE.BELA_SUM[8], 0.0) << "hours beyond the span stay 0";
    EXPECT_EQ(kr19.Result(), 120) << "the third hour is the first above 122";

    // Ratings and calculation values of the hour 07:00-08:00.
    EXPECT_EQ(kr19.EBA_ITEMS[1][0], 8);
    EXPECT_EQ(kr19.EBA_ITEMS[1][4], 2);
    EXPECT_EQ(kr19.EBA_ITEMS[1][5], 3) << "unrated items count as neutral";
    EXPECT_EQ(kr19.EBA_RW[1][4], 8);
    EXPECT_EQ(kr19.EBA_RW[1][12], 1);
    EXPECT_EQ(kr19.EBA_RW[1][10], 0);
}

TEST_F(Strain, LongHoursAddTheirSurchargesFromTheNinthHour)
{
    kr19.Compute({H(6), H(20)});
    EXPECT_EQ(kr19.STUNDEN, 14);
    EXPECT_TRUE(Near(First(kr19.WERTE.BELA_SUM, 7, 7), {100, 110, 110, 130, 130, 180, 180}));
    EXPECT_EQ(kr19.Result(), 600);
}

TEST_F(Strain, ANightShiftUsesTheClockHoursAndTheNextDaysAssessments)
{
    // Monday 22:00 to Tuesday 06:00; the hour after midnight is a Tuesday hour.
    list.Add(Assessment(DI, H(0), H(1), kIndex120));
    list.Add(Assessment(MO, H(22), H(23), {{1, 1}}));
    kr19.Compute({H(22), kDay + H(6)});
    EXPECT_EQ(kr19.STUNDEN, 8);
    EXPECT_TRUE(Near(First(kr19.WERTE.EBA_IDX, 8), {100, 100, 120, 100, 100, 100, 100, 100}));
    EXPECT_TRUE(Near(First(kr19.WERTE.BELA_STD, 8), {110, 100, 144, 100, 100, 100, 100, 100}));
    EXPECT_TRUE(Near(First(kr19.WERTE.BELA_SUM, 8), {110, 100, 144, 117, 108.5, 100, 100, 100}));
    EXPECT_EQ(kr19.Result(), 120);

    // Sunday night runs into a Monday.
    list.Clear();
    list.Add(Assessment(MO, H(0), H(1), kIndex120));
    kr19.Compute({6 * kDay + H(22), 7 * kDay + H(6)});
    EXPECT_EQ(kr19.WERTE.EBA_IDX[2], 120);
}

TEST_F(Strain, EveryBegunHourCountsUpToADay)
{
    const struct {
        const char* what;
        ::TERMIN span;
        int hours;
    } cases[] = {
        {"06:00-14:00", {H(6), H(14)}, 8},
        {"06:00-14:01", {H(6), H(14, 1)}, 9},
        {"06:30-14:00", {H(6, 30), H(14)}, 8},
        {"22:00-06:00", {H(22), kDay + H(6)}, 8},
        {"23 hours 45 from 06:30", {H(6, 30), kDay + H(6, 15)}, 24},
        {"24 hours", {H(6), kDay + H(6)}, 24},
        {"on day 9", {8 * kDay + H(6), 8 * kDay + H(9)}, 3},
        {"empty", {H(10), H(10)}, 0},
        {"reversed", {H(10), H(9)}, 0},
    };
    for (const auto& c : cases) {
        kr19.Compute(c.span);
        EXPECT_EQ(kr19.STUNDEN, c.hours) << c.what;
        for (int k = 0; k < 24; ++k)
            EXPECT_EQ(kr19.WERTE.EBA_IDX[std::size_t(k)] != 0, k < c.hours) << c.what << ", hour " << k + 1;
    }
}

TEST_F(Strain, TheConstantsAreReadAfreshAndTheEditBufferIsLeftAlone)
{
    list.Add(Assessment(MO, H(7), H(9), kIndex120));
    EBA.Clear();
    EBA.SetReal("BELA_GRENZE", 999);   // what the constants dialog may be editing
    kr19.Compute({H(6), H(14)});
    EXPECT_EQ(kr19.Result(), 120);
    EXPECT_EQ(EBA.GetReal("BELA_GRENZE"), 999);

    eba.Write([](RecordBuffer& r) {
        HandConstants(r);
        r.SetReal("BELA_GRENZE", 200);
    });
    kr19.Compute({H(6), H(14)});
    EXPECT_EQ(kr19.Result(), 1440);
}

TEST_F(Strain, WithoutConstantsOrAssessmentsNoShiftIsCritical)
{
    list.Add(Assessment(MO, H(0), kDay, kIndex120));
    const CSchicht longShift = Shift("L", H(6), H(20));
    const auto expectNothing = [&](const char* what) {
        kr19.Compute(longShift.TERMIN);
        for (int k = 0; k < 24; ++k)
            EXPECT_TRUE(std::isfinite(kr19.WERTE.BELA_SUM[std::size_t(k)])) << what;
        EXPECT_EQ(kr19.Result(), 1440) << what;
        std::string text = "vorher";
        EXPECT_EQ(kr19.Check(longShift, kAlleWochentage, text, kSTCheckTextSize), 0u) << what;
        EXPECT_EQ(text, "") << what;
        EXPECT_EQ(kr19.GetCost(longShift, 0, 1), 0.0) << what;
    };

    // The record the constants button adds to an empty file: every constant 0, so the divisors
    // of the carried excess and the limit too.
    eba.Write([](RecordBuffer&) {});
    expectNothing("a record of zeros");
    EXPECT_NEAR(kr19.WERTE.EBA_IDX[0], (0 - 17) * 100.0 / 700 + 100, 1e-9);
    EXPECT_EQ(kr19.WERTE.BELA_SUM[1], kr19.WERTE.BELA_STD[1]) << "a divisor of 0 carries nothing over";

    // Only the divisors 0.
    eba.Write([](RecordBuffer& r) {
        HandConstants(r);
        r.SetReal("DIV_BELA_KUM_1", 0);
        r.SetReal("DIV_BELA_KUM_2", 0);
    });
    kr19.Compute({H(6), H(14)});
    EXPECT_EQ(kr19.WERTE.BELA_SUM[1], 120.0) << "132 at 06:00 carries nothing into 07:00";

    eba.Write(nullptr);
    expectNothing("a file without a record");
    EXPECT_EQ(kr19.WERTE.EBA_IDX[0], 0.0);

    fs::remove(eba.path);
    expectNothing("no file");
    EXPECT_FALSE(fs::exists(eba.path)) << "reading creates no file";

    eba.Write(HandConstants);
    kr19.SetBelastungseinschaetzungen(nullptr);
    expectNothing("no assessments");
    EXPECT_EQ(kr19.WERTE.EBA_IDX[0], 0.0);
}

// ---- KR19: the checks ---------------------------------------------------------------------------

TEST_F(Strain, KR19NamesTheCriticalWeekdaysAndMeasuresTheExcess)
{
    const std::string head =
        "- Die Belastung durch diese Schicht überschreitet den empfohlenen Grenzwert an folgenden Tagen: ";
    const CSchicht early = Shift("F", H(6), H(14));
    ASSERT_EQ(kr19.GetSTChecker(), &kr19);
    const struct {
        const char* what;
        uint8_t assessedOn;
        uint8_t weekdays;
        uint32_t amount;
        std::string text;
    } cases[] = {
        {"Monday of all days", MO, kAlleWochentage, 360, head + "Mo, "},
        {"Monday and Sunday", MO | SO, kAlleWochentage, 720, head + "Mo, So"},
        {"Monday not asked", MO, DI, 0, ""},
        {"no critical day", 0, kAlleWochentage, 0, ""},
    };
    for (const auto& c : cases) {
        list.Clear();
        list.Add(Assessment(c.assessedOn, H(7), H(9), kIndex120));
        std::string text = "vorher";
        EXPECT_EQ(kr19.Check(early, c.weekdays, text, kSTCheckTextSize), c.amount) << c.what;
        EXPECT_EQ(text, c.text) << c.what;
    }

    // A shift that ends before the critical hour is not critical.
    list.Clear();
    list.Add(Assessment(MO, H(7), H(9), kIndex120));
    std::string text;
    EXPECT_EQ(kr19.Check(Shift("K", H(6), H(8)), kAlleWochentage, text, kSTCheckTextSize), 0u);
    kr19.AKTIVIERT = 0;
    text = "vorher";
    EXPECT_EQ(kr19.Check(early, kAlleWochentage, text, kSTCheckTextSize), 0u);
    EXPECT_EQ(text, "");
    kr19.AKTIVIERT = 1;
    EXPECT_EQ(kr19.Check(Shift("B", H(6), H(14), ART_BEREITSCHAFT), kAlleWochentage, text, kSTCheckTextSize), 0u);
}

TEST_F(Strain, KR19PricesAShiftTypeAsItLies)
{
    list.Add(Assessment(MO, H(7), H(9), kIndex120));
    const CSchicht early = Shift("F", H(6), H(14));   // on day 1, a Monday
    EXPECT_EQ(kr19.GetCost(early, 0, 1), 1.0);
    EXPECT_EQ(kr19.GetCost(Shift("K", H(6), H(8)), 0, 1), 0.0);
    EXPECT_EQ(kr19.GetCost(Shift("S", H(14), H(22)), 0, 1), 0.0);
    EXPECT_EQ(kr19.GetCost(Shift("B", H(6), H(14), ART_BEREITSCHAFT), 0, 1), 0.0);
    kr19.AKTIVIERT = 0;
    EXPECT_EQ(kr19.GetCost(early, 0, 1), 0.0);
    EXPECT_EQ(kr19.IsActive(), 0);
}

TEST_F(Strain, TheCheckerRecommendsAndShowsThroughKR19)
{
    list.Add(Assessment(MO, H(7), H(9), kIndex120));
    CKriterienChecker checker;
    checker.Add(&kr19);
    EXPECT_EQ(checker.EbaRecommendation(Shift("F", H(6), H(14)), 1), 120);
    EXPECT_EQ(checker.EbaRecommendation(Shift("F", H(6), H(14)), 2), 600) << "on Tuesday long hours end it";

    std::vector<double> shown;
    SetEbaRechenwerteProcedure([&](const EBA_RECHENWERTE& w) { shown = First(w.BELA_SUM, 3); });
    checker.EbaRecommendation(Shift("F", H(6), H(14)), 1);
    checker.ShowEbaValues();
    EXPECT_TRUE(Near(shown, {110, 120, 125}));
}

TEST_F(Strain, SwitchingOnShowsTheHintAndAssignKeepsTheList)
{
    int hints = 0;
    SetEbaHinweisProcedure([&] { ++hints; });
    kr19.AKTIVIERT = 0;
    EXPECT_EQ(kr19.ToggleActive(), 0);
    EXPECT_EQ(kr19.AKTIVIERT, 1);
    EXPECT_EQ(hints, 1);
    kr19.ToggleActive();
    EXPECT_EQ(kr19.AKTIVIERT, 0);
    EXPECT_EQ(hints, 1) << "not when switched off";

    CKriteriumBelastung copy;
    copy.Assign(kr19, nullptr);
    EXPECT_EQ(copy.EBALISTE, &list);
    EXPECT_EQ(copy.NUMMER, 19);
}

// ---- the installed constants --------------------------------------------------------------------

// Typical ratings of an activity (items 1-10, 13-17; unrated items stay neutral).
const Ratings kMittel = {{1, 3}, {2, 5}, {3, 4}, {4, 5}, {5, 5}, {6, 4}, {7, 5}, {8, 6},
                         {9, 6}, {10, 4}, {13, 7}, {14, 6}, {15, 4}, {16, 6}, {17, 6}};
const Ratings kSchwer = {{1, 6}, {2, 7}, {3, 6}, {4, 7}, {5, 3}, {6, 6}, {7, 7}, {8, 4},
                         {9, 7}, {10, 6}, {13, 8}, {14, 4}, {15, 6}, {16, 7}, {17, 7}};
const Ratings kHoechste = {{1, 9}, {2, 9}, {3, 9}, {4, 9}, {5, 1}, {6, 9}, {7, 9}, {8, 1},
                           {9, 9}, {10, 9}, {13, 9}, {14, 1}, {15, 9}, {16, 9}, {17, 9}};

class InstalledEba : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* installed = std::getenv("VARN_INSTALL_DIR");
        const fs::path from = installed ? fs::path(installed) : fs::current_path() / ".." / "app";
        ASSERT_TRUE(fs::exists(from / "eba.cfg")) << (from / "eba.cfg") << " fehlt: erst bauen";
        fs::copy_file(from / "eba.cfg", eba.path);
        kr19.SetBelastungseinschaetzungen(&list);
        kr19.AKTIVIERT = 1;
    }

    // The recommended length (hours) of a shift beginning at the hour on a Monday.
    int Recommended(const Ratings& ratings, uint32_t hour)
    {
        list.Clear();
        list.Add(Assessment(127, 0, kDay, ratings));
        CKriterienChecker checker;
        checker.Add(&kr19);
        return checker.EbaRecommendation(Shift("X", H(hour), H(hour + 8)), 1) / 60;
    }

    EmptyKri emptyKri;
    TempIni ini;
    EbaFile eba;
    CBelastungseinschaetzungen list;
    CKriteriumBelastung kr19;
};

TEST_F(InstalledEba, TheIndexRunsFromNeutralToTheWorstRating)
{
    list.Add(Assessment(127, H(0), H(12), {}));
    list.Add(Assessment(127, H(12), kDay, kHoechste));
    kr19.Compute({H(11), H(13)});
    EXPECT_NEAR(kr19.WERTE.EBA_IDX[0], 100.0, 1e-9);
    EXPECT_NEAR(kr19.WERTE.EBA_IDX[1], 200.0, 1e-9);
}

TEST_F(InstalledEba, RecommendedLengthsFallWithStrainAndAtNight)
{
    const struct {
        const char* what;
        const Ratings& ratings;
        int early, late, night;   // hours from 06:00, 14:00, 22:00
    } cases[] = {
        {"neutral", {}, 12, 10, 8},
        {"moderate", kMittel, 10, 8, 8},
        {"heavy", kSchwer, 8, 8, 3},
        {"the worst", kHoechste, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const int early = Recommended(c.ratings, 6), late = Recommended(c.ratings, 14),
                  night = Recommended(c.ratings, 22);
        EXPECT_EQ(early, c.early) << c.what;
        EXPECT_EQ(late, c.late) << c.what;
        EXPECT_EQ(night, c.night) << c.what;
        // Whatever the constants: a later shift never gets longer, and the night is shorter than the day.
        if (early > 0) {
            EXPECT_GE(early, late) << c.what;
            EXPECT_GE(late, night) << c.what;
            EXPECT_LT(night, early) << c.what;
        }
    }

    // So an 8-hour shift of moderate work is fine in the day but not a 10-hour night.
    list.Clear();
    list.Add(Assessment(127, 0, kDay, kMittel));
    std::string text;
    EXPECT_EQ(kr19.Check(Shift("F", H(6), H(14)), kAlleWochentage, text, kSTCheckTextSize), 0u);
    EXPECT_GT(kr19.Check(Shift("N", H(20), H(6)), kAlleWochentage, text, kSTCheckTextSize), 0u);
}

TEST_F(InstalledEba, ARaisedRatingNeverLowersTheIndex)
{
    // Each computation rates 24 hours: pairs of hours, the second with one item's calculation
    // value one step higher than the first.
    std::mt19937 random(4711);
    std::uniform_int_distribution<int32_t> rating(1, 9);
    const int rated[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 13, 14, 15, 16, 17};
    for (int round = 0; round < 40; ++round) {
        list.Clear();
        std::vector<std::string> pairs;
        for (uint32_t pair = 0; pair < 12; ++pair) {
            Ratings base;
            for (int item : rated)
                base[item] = rating(random);
            const int item = rated[random() % 15];
            Ratings raised = base;
            int32_t v = EbaRechenwert(item, base[item]);
            for (int32_t x = 1; x <= 9; ++x)
                if (EbaRechenwert(item, x) > v && (raised[item] == base[item] ||
                                                   EbaRechenwert(item, x) < EbaRechenwert(item, raised[item])))
                    raised[item] = x;
            list.Add(Assessment(MO, H(2 * pair), H(2 * pair + 1), base));
            list.Add(Assessment(MO, H(2 * pair + 1), H(2 * pair + 2), raised));
            pairs.push_back("item " + std::to_string(item) + " from " + std::to_string(base[item]) + " to " +
                            std::to_string(raised[item]));
        }
        kr19.Compute({0, kDay});
        for (std::size_t p = 0; p < 12; ++p)
            EXPECT_GE(kr19.WERTE.EBA_IDX[2 * p + 1], kr19.WERTE.EBA_IDX[2 * p]) << pairs[p];
    }
}

} // namespace
