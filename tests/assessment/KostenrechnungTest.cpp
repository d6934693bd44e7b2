// The cost computation of the cost inspector: the price of a shift type for a number of persons
// (one table over the pricing rules), the three matrices of one week, the pairing of shift demand
// rows with their own shift types, counts times group strength beyond one byte and the weekly-hours
// surcharges of a group's own cycle week.
#include "assessment/Kosten.h"
#include "assessment/Kostenrechnung.h"

#include "BewertungTestSupport.h"
#include "CriteriaTestSupport.h"
#include "plans/AKBData.h"
#include "plans/AZPData.h"
#include "plans/SBPData.h"
#include "plans/Schichttypen.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

using namespace bewertungtest;
using namespace criteriatest;

namespace {

using Settings = std::function<void(RecordBuffer&)>;
Settings Real(const std::string& field, double value)
{
    return [=](RecordBuffer& k) { k.SetReal(field, value); };
}
Settings Clock(const std::string& item, int32_t from, int32_t to)
{
    return [=](RecordBuffer& k) {
        k.SetInt(item + "VON", from);
        k.SetInt(item + "BIS", to);
    };
}

constexpr uint32_t H(uint32_t h, uint32_t m = 0) { return h * 60 + m; }

uint32_t AddType(CSchichttypen& types, CSchicht s)
{
    types.AddSchicht(s, false);
    return s.SYSID;
}
// Plan days of the first week.
constexpr uint32_t MO = 1, MI = 3, SA = 6, SO = 7;

class Kostenrechnung : public ::testing::Test {
protected:
    void Set(const std::vector<Settings>& settings)
    {
        kosten.KOSTEN.Clear();
        kosten.KOSTEN.SetReal("STUNDENLOHN", 20.0);
        for (const Settings& s : settings)
            s(kosten.KOSTEN);
        rechnung.SetKosten(&kosten, nullptr);
    }

    EmptyKri emptyKri;
    TempIni ini;
    CKosten kosten;
    CKostenrechnung rechnung;
};

TEST_F(Kostenrechnung, PriceOfAShiftTypeForItsPersons)
{
    const CSchicht night = Shift("N", H(22), H(6), ART_NORMAL, {H(3), 30, 0});
    const CSchicht early = Shift("F", H(6), H(14));
    const struct {
        const char* what;
        std::vector<Settings> settings;
        CSchicht shift;
        uint32_t day;
        int64_t persons;
        double lohn, zulagen, zuschlaege, dienste;
    } cases[] = {
        {"night shift: paid span 22:00-05:30 and its night surcharge", {Clock("TZ1", T(20), T(6)), Real("TZ1PROZENT", 25)},
         night, MO, 1, 150.0, 0, 37.5, 0},
        {"Sunday: the whole shift", {Real("ZSOPROZENT", 50)}, early, SO, 1, 160.0, 0, 80.0, 0},
        {"Saturday from 13:00", {Clock("ZSA1", T(13), T(0)), Real("ZSA1PROZENT", 25)}, early, SA, 1, 160.0, 0, 5.0, 0},
        {"allowances per hour", {Real("LZBETRAG", 1.5)}, early, MO, 1, 160.0, 12.0, 0, 0},
        {"overtime from 8 and from 10 hours on 11 paid hours",
         {Real("UEBZ1VON", 8), Real("UEBZ1BIS", 10), Real("UEBZ1BETRAG", 5), Real("UEBZ2VON", 10), Real("UEBZ2BETRAG", 10)},
         Shift("L", H(6), H(17)), MO, 1, 220.0, 0, 20.0, 0},
        {"exactly 8 hours: no overtime", {Real("UEBZ1VON", 8), Real("UEBZ1BIS", 10), Real("UEBZ1BETRAG", 5)}, early,
         MO, 1, 160.0, 0, 0, 0},
        {"on-call duty: its pay, and 60 % of the normal pay",
         {Real("BDPROZENT", 50), Real("BDANRECHENBAREAZ", 40)}, Shift("B", H(8), H(20), ART_BEREITSCHAFT), MI, 1,
         144.0, 0, 0, 48.0},
        {"on-call duty without creditable time: only overtime",
         {Real("BDPROZENT", 50), Real("UEBZ1VON", 10), Real("UEBZ1BETRAG", 5)}, Shift("B", H(8), H(20), ART_BEREITSCHAFT),
         MI, 1, 0, 0, 10.0, 0},
        {"free shift: only overtime", {Real("UEBZ1VON", 8), Real("UEBZ1BETRAG", 5)},
         Shift("X", H(6), H(16), ART_FREISCHICHT), MO, 1, 0, 0, 10.0, 0},
        {"every value times the persons", {Real("LZBETRAG", 1), Real("ZSOPROZENT", 50)}, early, SO, 3, 480.0, 24.0, 240.0, 0},
        {"count 30 times strength 10: 300 persons, not 44", {}, early, MO, 300, 48000.0, 0, 0, 0},
        {"no persons, no money", {Real("LZBETRAG", 1)}, early, MO, 0, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Set(c.settings);
        const KostenTag t = rechnung.PriceShift(c.shift, c.day, c.persons);
        EXPECT_NEAR(t.LOHN, c.lohn, 1e-6);
        EXPECT_NEAR(t.ZULAGEN, c.zulagen, 1e-6);
        EXPECT_NEAR(t.ZUSCHLAEGE, c.zuschlaege, 1e-6);
        EXPECT_NEAR(t.DIENSTE, c.dienste, 1e-6);
        EXPECT_NEAR(t.SUMME, c.lohn + c.zulagen + c.zuschlaege + c.dienste, 1e-6);
    }
}

TEST_F(Kostenrechnung, ShiftDemandRowsArePricedByTheirOwnShiftTypeAndFullCounts)
{
    Set({Real("ZSOPROZENT", 50)});
    CSchichttypen types;
    // Two types of one begin: the list and the plan's rows need not stand in the same order.
    const uint32_t longId = AddType(types, Shift("L", H(6), H(16)));
    const uint32_t shortId = AddType(types, Shift("K", H(6), H(10)));
    const uint32_t emptyId = AddType(types, Shift("E", H(6), H(7), ART_NORMAL, {0, 60, 0}));
    CSBPData plan;
    plan.SetSchichttypen(&types);
    plan.SetBezugsrahmen(2);
    plan.SyncSchichttypen();
    plan.SetCount(SO, shortId, 30);
    plan.SetCount(MO, longId, 1);
    plan.SetCount(MO + 7, longId, 5);   // week 2
    Queue<KostenZeile> rows;
    rechnung.ComputeSBP(rows, plan, types, 1, 10);

    std::map<std::string, const KostenZeile*> byName;
    for (const KostenZeile& r : rows)
        byName[r.BEZEICHNUNG] = &r;
    (void)emptyId;
    ASSERT_EQ(byName.size(), 2u) << "a type with an empty span makes no row";
    const KostenZeile& k = *byName.at("Schicht K");
    EXPECT_NEAR(k.WOCHENTAG[6].LOHN, 300 * 4 * 20.0, 1e-6);        // 30 x 10 persons, 4 hours
    EXPECT_NEAR(k.WOCHENTAG[6].ZUSCHLAEGE, 300 * 4 * 10.0, 1e-6);
    EXPECT_NEAR(k.SUMME_GESAMT, 300 * 4 * 30.0, 1e-6);
    const KostenZeile& l = *byName.at("Schicht L");
    EXPECT_NEAR(l.WOCHENTAG[0].LOHN, 10 * 10 * 20.0, 1e-6);        // week 1 only
    EXPECT_NEAR(l.SUMME_LOHN, 10 * 10 * 20.0, 1e-6);
    EXPECT_EQ(l.SUMME_DIENSTE, 0.0);

    rechnung.ComputeSBP(rows, plan, types, 2, 10);
    EXPECT_NEAR(QueueGet(rows, 1)->SUMME_GESAMT + QueueGet(rows, 2)->SUMME_GESAMT, 50 * 10 * 20.0, 1e-6);
}

TEST_F(Kostenrechnung, WorkingTimePlanRowsPerGroupWithTheWeeklySurchargesOfTheirCycleWeek)
{
    Set({Real("WAZ1VON", 35), Real("WAZ1BETRAG", 5), Real("LZBETRAG", 1)});
    LetterPlan p;
    // Two weeks, three groups: group 2's first week is cycle week 3.
    p.Set({"..............", "SSSSS..........", ".............."});
    Queue<KostenZeile> rows;
    rechnung.ComputeAZP(rows, p.plan, 1, 2, false);
    ASSERT_EQ(QueueRecords(rows), 3u);
    EXPECT_EQ(QueueGet(rows, 1)->BEZEICHNUNG, "Gruppe 1");
    EXPECT_EQ(QueueGet(rows, 1)->SUMME_GESAMT, 0.0);
    const KostenZeile& g2 = *QueueGet(rows, 2);
    // S is paid 8 hours but works 7:45 without its break: 38.75 hours a week count, 3.75 above
    // the band, for 2 persons.
    EXPECT_NEAR(g2.WAZ_ZUSCHLAEGE, 2 * 3.75 * 5.0, 1e-6);
    EXPECT_NEAR(g2.WOCHENTAG[0].LOHN, 2 * 8 * 20.0, 1e-6);
    EXPECT_NEAR(g2.WOCHENTAG[0].ZULAGEN, 2 * 8 * 1.0, 1e-6);
    EXPECT_EQ(g2.WOCHENTAG[5].SUMME, 0.0);
    EXPECT_NEAR(g2.SUMME_GESAMT, 5 * 2 * 8 * 21.0 + 37.5, 1e-6);

    rechnung.ComputeAZP(rows, p.plan, 2, 2, true);
    EXPECT_EQ(QueueGet(rows, 2)->BEZEICHNUNG, "Woche 2");
    EXPECT_EQ(QueueGet(rows, 2)->SUMME_GESAMT, 0.0);   // cycle week 4 is empty
}

TEST_F(Kostenrechnung, StaffDemandOfALaterWeekIsPricedByItsTimesOfDay)
{
    Set({Clock("TZ1", T(20), T(6)), Real("TZ1PROZENT", 25)});
    CAKBData demand;
    demand.SetBezugsrahmen(12);
    demand.MergeDemand({{H(22), H(24)}, 2}, false);
    demand.MergeDemand({{7 * 7 * kDay + H(22), 7 * 7 * kDay + H(24)}, 2}, false);
    Queue<KostenZeile> week1, week8;
    rechnung.ComputeAKB(week1, demand, 1);
    rechnung.ComputeAKB(week8, demand, 8);
    ASSERT_EQ(QueueRecords(week1), 1u);
    ASSERT_EQ(QueueRecords(week8), 1u);
    EXPECT_NEAR(QueueGet(week1, 1)->WOCHENTAG[0].LOHN, 2 * 2 * 20.0, 1e-6);
    EXPECT_NEAR(QueueGet(week1, 1)->WOCHENTAG[0].ZUSCHLAEGE, 2 * 2 * 5.0, 1e-6);
    EXPECT_NEAR(QueueGet(week8, 1)->SUMME_GESAMT, QueueGet(week1, 1)->SUMME_GESAMT, 1e-6);
}

} // namespace
