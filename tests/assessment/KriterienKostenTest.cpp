// The cost criteria: the pricing rules as a table of settings and spans, the on-call pay and
// factor, the price of a shift (KR21) and the weekly-hours surcharges of a plan's cycle weeks as
// one record in the quality value (KR22).
#include "assessment/Kosten.h"
#include "assessment/KriterienChecker.h"
#include "assessment/KriterienKosten.h"
#include "assessment/RahmenbedingungArbeitszeit.h"

#include "CriteriaTestSupport.h"
#include "core/TimeHelpers.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace bewertungtest;
using namespace criteriatest;

namespace {

constexpr uint32_t H(uint32_t hours, uint32_t minutes = 0) { return hours * 60 + minutes; }

// Plan days of the first week and of the second.
constexpr uint16_t MO = 1, MI = 3, FR = 5, SA = 6, SO = 7, MO2 = 8, SA2 = 13, SO2 = 14;

using Settings = std::function<void(RecordBuffer&)>;

// An item at a share of the hourly wage, or at a fixed amount.
Settings Percent(const std::string& item, double percent)
{
    return [=](RecordBuffer& k) { k.SetReal(item + "PROZENT", percent); };
}
Settings Amount(const std::string& item, double amount)
{
    return [=](RecordBuffer& k) { k.SetReal(item + "BETRAG", amount); };
}
// A window of clock times (0 = not entered).
Settings Window(const std::string& item, int32_t from, int32_t to)
{
    return [=](RecordBuffer& k) {
        k.SetInt(item + "VON", from);
        k.SetInt(item + "BIS", to);
    };
}
// A band in hours (VON, BIS REAL).
Settings Band(const std::string& item, double from, double to)
{
    return [=](RecordBuffer& k) {
        k.SetReal(item + "VON", from);
        k.SetReal(item + "BIS", to);
    };
}
Settings Flag(const char* field)
{
    return [=](RecordBuffer& k) { k.SetInt(field, 1); };
}
Settings Share(const std::string& item, double percent)
{
    return [=](RecordBuffer& k) { k.SetReal(item + "ANRECHENBAREAZ", percent); };
}

// Every item at 0, the hourly wage 20.00, then the given settings.
class Pricing : public ::testing::Test {
protected:
    Pricing() { Set({}); }

    void Set(const std::vector<Settings>& settings)
    {
        kosten.KOSTEN.Clear();
        kosten.KOSTEN.SetReal("STUNDENLOHN", 20.0);
        for (const Settings& s : settings)
            s(kosten.KOSTEN);
        kr21.SetKosten(&kosten);
    }

    EmptyKri emptyKri;
    TempIni ini;
    CKosten kosten;
    CKriteriumSchichtkosten kr21;
};

TEST_F(Pricing, RulesOneToFourOnSpansOfTheWeek)
{
    enum Op { Base, Allow, Time, Over };
    const struct {
        const char* what;
        std::vector<Settings> settings;
        Op op;
        uint32_t begin, end;
        uint16_t day;
        double price;
    } cases[] = {
        {"base pay 22:00-05:30", {}, Base, H(22), kDay + H(5, 30), MO, 150.0},
        {"base pay of an empty span", {}, Base, H(8), H(8), MO, 0.0},
        {"allowances of any sign are added", {Amount("LZ", 1), Amount("SP", -0.5), Percent("WS", 10)},
         Allow, H(6), H(14), MO, 20.0},

        // Windows of the day.
        {"night window 20-06 on a night shift", {Window("TZ1", T(20), T(6)), Percent("TZ1", 25)},
         Time, H(22), kDay + H(5, 30), MO, 37.5},
        {"the night window of the day before", {Window("TZ1", T(20), T(6)), Percent("TZ1", 25)},
         Time, H(2), H(10), MI, 20.0},
        {"a window of the next day", {Window("TZ2", T(1), T(3)), Percent("TZ2", 25)},
         Time, H(22), kDay + H(6), MO, 10.0},
        {"a whole-day window", {Window("SOZ2", T(0), T(24)), Amount("SOZ2", 1)}, Time, H(6), H(14), MI, 8.0},
        {"the night window on a later Monday", {Window("TZ1", T(20), T(6)), Percent("TZ1", 25)},
         Time, H(22), kDay + H(5, 30), MO2, 37.5},
        {"a rate of 0 or below is not paid",
         {Window("TZ3", T(20), T(6)), Window("SOZ1", T(0), T(24)), Amount("SOZ1", -5)},
         Time, H(22), kDay + H(6), MO, 0.0},

        // Saturday and Sunday.
        {"Sunday: the whole shift", {Percent("ZSO", 50)}, Time, H(6), H(14), SO, 80.0},
        {"Saturday from 13:00 to midnight", {Window("ZSA1", T(13), T(0)), Percent("ZSA1", 25)},
         Time, H(6), H(14), SA, 5.0},
        {"Saturday night: Saturday's two hours, Sunday's six",
         {Window("ZSA1", T(13), T(0)), Percent("ZSA1", 25), Percent("ZSO", 50)},
         Time, H(22), kDay + H(6), SA, 70.0},
        {"Saturday's rate runs over into Sunday",
         {Window("ZSA1", T(13), T(0)), Percent("ZSA1", 25), Percent("ZSO", 50), Flag("SAMSTAGSZUSCHLAGUEBERLAUF")},
         Time, H(22), kDay + H(6), SA, 40.0},
        {"the second Saturday rate runs over first",
         {Window("ZSA1", T(13), T(0)), Percent("ZSA1", 25), Percent("ZSA2", 40), Percent("ZSO", 50),
          Flag("SAMSTAGSZUSCHLAGUEBERLAUF")},
         Time, H(22), kDay + H(6), SA, 58.0},
        {"a Friday night shift's Saturday hours", {Window("ZSA1", T(0), T(12)), Percent("ZSA1", 25)},
         Time, H(22), kDay + H(6), FR, 30.0},
        {"a Friday day shift gets no Saturday rate", {Window("ZSA1", T(0), T(12)), Percent("ZSA1", 25)},
         Time, H(6), H(14), FR, 0.0},
        {"two Saturday windows", {Window("ZSA1", T(6), T(12)), Percent("ZSA1", 25), Window("ZSA2", T(12), T(18)),
                                  Percent("ZSA2", 50)},
         Time, H(10), H(14), SA, 30.0},
        {"no Saturday rate without the first one's end",
         {Window("ZSA1", T(6), 0), Percent("ZSA1", 25), Window("ZSA2", T(13), T(18)), Percent("ZSA2", 50)},
         Time, H(6), H(16), SA, 0.0},
        {"Sunday night into Monday: all of it", {Percent("ZSO", 50)}, Time, H(22), kDay + H(6), SO, 80.0},
        // The weekend windows lie in the week of the day asked for.
        {"a Saturday of the second week", {Window("ZSA1", T(13), T(0)), Percent("ZSA1", 25)},
         Time, H(6), H(14), SA2, 5.0},
        {"a Sunday of the second week", {Percent("ZSO", 50)}, Time, H(6), H(14), SO2, 80.0},
        // 24 hours from Saturday 06:00 run over midnight too.
        {"a 24-hour Saturday shift's Sunday hours", {Percent("ZSO", 50)}, Time, H(6), kDay + H(6), SA, 60.0},

        // Overtime bands in hours per shift.
        {"8 to 10 hours and from 10 on, 11 hours",
         {Band("UEBZ1", 8, 10), Amount("UEBZ1", 5), Band("UEBZ2", 10, 0), Amount("UEBZ2", 10)},
         Over, H(6), H(17), MO, 20.0},
        {"exactly 8 hours", {Band("UEBZ1", 8, 10), Amount("UEBZ1", 5)}, Over, H(6), H(14), MO, 0.0},
        {"9.5 hours", {Band("UEBZ1", 8, 10), Amount("UEBZ1", 5)}, Over, H(6), H(15, 30), MO, 7.5},
        {"hours as fractions: from 7.5 hours", {Band("UEBZ1", 7.5, 0), Amount("UEBZ1", 6)},
         Over, H(6), H(14), MO, 3.0},
        {"a band whose end lies before its begin pays nothing", {Band("UEBZ1", 10, 8), Amount("UEBZ1", 5)},
         Over, H(6), H(17), MO, 0.0},
    };
    for (const auto& c : cases) {
        Set(c.settings);
        double price = -1;
        switch (c.op) {
        case Base: price = kr21.BasePay(c.begin, c.end); break;
        case Allow: price = kr21.Allowances(c.begin, c.end); break;
        case Time: price = kr21.TimeSurcharges(c.begin, c.end, c.day); break;
        case Over: price = kr21.OvertimeSurcharges(c.begin, c.end); break;
        }
        EXPECT_NEAR(price, c.price, 1e-9) << c.what;
    }
}

TEST_F(Pricing, OnCallPayAndThePayFactor)
{
    const CSchicht duty = Shift("B", H(8), H(20), ART_BEREITSCHAFT);
    const CSchicht home = Shift("R", H(8), H(20), ART_RUFBEREITSCHAFT);
    const struct {
        const char* what;
        std::vector<Settings> settings;
        CSchicht shift;
        uint16_t day;
        double amount, factor;
    } cases[] = {
        {"12 hours at half the wage, 40 % creditable", {Percent("BD", 50), Share("BD", 40)}, duty, MI, 48.0, 0.6},
        {"nothing creditable: not paid, no factor", {Percent("BD", 50), Share("BD", 0)}, duty, MI, 0.0, 0.0},
        {"Saturday: the weekend item", {Percent("BD", 50), Share("BD", 40), Amount("BDWE", 4), Share("BDWE", 50)},
         duty, SA, 24.0, 0.5},
        {"from home on a Monday", {Amount("RB", 3), Share("RB", 100), Amount("RBWE", 9), Share("RBWE", 100)},
         home, MO, 36.0, 0.0},
        {"from home on a Sunday", {Amount("RB", 3), Share("RB", 100), Amount("RBWE", 9), Share("RBWE", 100)},
         home, SO, 108.0, 0.0},
        {"the unpaid break is not paid", {Percent("BD", 50), Share("BD", 40)},
         Shift("B", H(8), H(20), ART_BEREITSCHAFT, {240, 60, 0}), MI, 44.0, 0.6},
        {"a normal shift", {Percent("BD", 50), Share("BD", 40)}, Shift("F", H(6), H(14)), MI, 0.0, 1.0},
        {"a free shift", {Percent("BD", 50), Share("BD", 40)}, Shift("X", H(0), H(24), ART_FREISCHICHT), MI, 0.0,
         0.0},
    };
    for (const auto& c : cases) {
        Set(c.settings);
        double factor = -1;
        EXPECT_NEAR(kr21.OnCallCost(c.shift, c.day, &factor), c.amount, 1e-9) << c.what;
        EXPECT_NEAR(factor, c.factor, 1e-9) << c.what;
        EXPECT_NEAR(kr21.OnCallCost(c.shift, c.day), c.amount, 1e-9) << c.what << " without factor";
    }
}

TEST_F(Pricing, KR21AddsThePartsOfOneShift)
{
    EXPECT_EQ(kr21.NUMMER, 21);
    EXPECT_EQ(kr21.TEILER, 100000.0);
    Set({Window("TZ1", T(20), T(6)), Percent("TZ1", 25), Percent("BD", 50), Share("BD", 40),
         Band("UEBZ1", 10, 0), Amount("UEBZ1", 5), Amount("LZ", 1)});
    const CSchicht night = Shift("N", H(22), H(6), ART_NORMAL, {240, 30, 0});
    // 7.5 paid hours: base 150, allowance 7.50, night window 37.50.
    EXPECT_NEAR(kr21.GetCost(night, MO, 0), 195.0, 1e-9);
    EXPECT_NEAR(kr21.GetCost(night, MO2, 0), 195.0, 1e-9);

    // An on-call duty costs its full pay and surcharges, with the on-call pay on top: 12 hours
    // base 240, allowance 12, overtime 2 hours 10, on-call 48.
    EXPECT_NEAR(kr21.GetCost(Shift("B", H(8), H(20), ART_BEREITSCHAFT), MI, 0), 310.0, 1e-9);

    EXPECT_EQ(kr21.GetCost(Shift("K", H(8), H(9), ART_NORMAL, {0, 60, 0}), MO, 0), 0.0)
        << "unpaid breaks as long as the shift";
    CKriteriumSchichtkosten unlinked;
    EXPECT_EQ(unlinked.GetCost(night, MO, 0), 0.0);

    std::string text = "vorher";
    EXPECT_EQ(kr21.Check(night, kAlleWochentage, text, kSTCheckTextSize), 0u);
    EXPECT_EQ(text, "vorher");
    kr21.AKTIVIERT = 0;
    EXPECT_EQ(kr21.IsActive(), 0);
    kr21.AKTIVIERT = 1;
    EXPECT_EQ(kr21.IsActive(), 1);

    CKriteriumSchichtkosten copy;
    copy.Assign(kr21, nullptr);
    EXPECT_EQ(copy.KOSTEN, &kosten);
}

// ---- KR22 ---------------------------------------------------------------------------------------

// Shifts of 10.5 and 8.3 hours: four of the one make 42 hours, five of the other 41.5.
class PlanCosts : public Pricing {
protected:
    PlanCosts()
    {
        plan.Define('A', Shift("A", H(6), H(16, 30)));
        plan.Define('C', Shift("C", H(6), H(14, 18)));
        Set({Band("WAZ1", 40, 0), Amount("WAZ1", 10)});
        rb15.WOCHENBEGINN = 0;   // each shift counts to the week of its day
        kr22.SetKostenUndRB(&kosten, &rb15);
        kr22.AKTIVIERT = 1;
    }

    std::vector<Rec> Run(const std::vector<std::string>& rows)
    {
        plan.Set(rows);
        evaluation.Evaluate(plan.plan);
        kr22.Check(evaluation, 0);
        return Records(evaluation, &kr22);
    }

    LetterPlan plan;
    CRahmenbedingungWAZMittel rb15;
    CKriteriumPlankosten kr22;
    CAZPBewertung evaluation;
};

TEST_F(PlanCosts, EachCycleWeeksSurchargeInWholeHoursOfPay)
{
    EXPECT_EQ(kr22.NUMMER, 22);
    EXPECT_EQ(kr22.TEILER, 200.0);
    ASSERT_EQ(kr22.GetAZPChecker(), &kr22);
    EXPECT_NEAR(kr22.WeeklyHoursSurcharges(H(42)), 20.0, 1e-9);
    EXPECT_NEAR(kr22.WeeklyHoursSurcharges(H(40)), 0.0, 1e-9);

    const struct {
        const char* what;
        std::vector<std::string> rows;
        std::vector<Rec> records;
    } cases[] = {
        // 20.00 / 20 = 1, then 15.00 / 20 = 0.75: 1.75 counts as 1.
        {"42 hours, then 41.5", {"AAAA...CCCCC.."}, {{1, 0, 1}}},
        {"below the band: 0 on the first shift's cell", {".CCCC...CCCC.."}, {{2, 0, 0}}},
        {"3 groups of 2 weeks: 6 weeks of 42 hours", {"AAAA...AAAA...", "AAAA...AAAA...", "AAAA...AAAA..."},
         {{1, 0, 6}}},
        {"each week's fraction is dropped", {"CCCCC..CCCCC..", "CCCCC..CCCCC..", "CCCCC..CCCCC.."}, {{1, 0, 0}}},
        {"no shifts, no record", {"..............", ".............."}, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Run(c.rows), c.records) << c.what;

    Set({Band("WAZ1", 40, 0), Amount("WAZ1", 10)});
    kosten.KOSTEN.SetReal("STUNDENLOHN", 0);
    EXPECT_EQ(Run({"AAAA...AAAA..."}), (std::vector<Rec>{{1, 0, 0}})) << "no hourly wage";
    kosten.KOSTEN.SetReal("STUNDENLOHN", -20);
    EXPECT_EQ(Run({"AAAA...AAAA..."}), (std::vector<Rec>{{1, 0, 0}})) << "a negative hourly wage";
}

TEST_F(PlanCosts, ThirtyHoursWeighPointTwentyOneByDefault)
{
    Set({Band("WAZ1", 40, 0), Amount("WAZ1", 300)});   // 2 hours above the band: 600.00 = 30 hours' pay
    kr22.RELEVANZ = 5;
    EXPECT_EQ(Run({"AAAA..."}), (std::vector<Rec>{{1, 0, 30}}));
    EXPECT_NEAR(evaluation.ComputeQuality(), 0.21, 1e-12);
    EXPECT_NEAR(kr22.WeekSurcharge(evaluation, 1), 600.0, 1e-9);
}

TEST_F(PlanCosts, TheWeekFrameFollowsRB15)
{
    EXPECT_EQ(kr22.KRAZ->RB15, &rb15);
    CRahmenbedingungWAZMittel otherRb15;
    otherRb15.WOCHENBEGINN = T(6);
    CKriteriumPlankosten other;
    other.SetKostenUndRB(&kosten, &otherRb15);
    kr22.Assign(other, nullptr);
    EXPECT_EQ(rb15.WOCHENBEGINN, T(6)) << "this criterion's RB15 takes the values";
    EXPECT_EQ(kr22.RB15, &rb15);
    EXPECT_EQ(kr22.KRAZ->MONTAG, (::TERMIN{H(6), kDay})) << "and the week frame is set from it";
    EXPECT_EQ(kr22.KOSTEN, &kosten);
}

} // namespace
