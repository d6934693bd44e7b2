#include "assessment/KriterienChecker.h"
#include "assessment/KriterienGruppe.h"
#include "assessment/Kriterium.h"
#include "assessment/KriteriumMarker.h"
#include "assessment/SBPBewertung.h"

#include "BewertungTestSupport.h"
#include "core/Files.h"
#include "core/Tree.h"
#include "platform/headless/HeadlessDriver.h"
#include "platform/values/PrivateProfile.h"
#include "plans/SBPData.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <tuple>
#include <string>
#include <vector>

using namespace bewertungtest;

namespace {

// ---- the checker -------------------------------------------------------------------------------

TEST(KriterienChecker, CheckPlanRunsTheSwitchedOnCriteriaAndAlwaysKR8AndKR9InListOrder)
{
    std::vector<long> log;
    std::vector<std::unique_ptr<StubKriterium>> stubs;
    // number, switched on, checks plans
    const struct {
        long n;
        uint8_t on;
        bool azp;
    } list[] = {{1, 1, false}, {3, 1, true}, {2, 0, true}, {8, 0, true}, {9, 0, true}, {10, 0, true}, {5, 1, true}};
    CKriterienChecker checker;
    for (const auto& c : list) {
        stubs.push_back(std::make_unique<StubKriterium>(c.n, c.on, c.azp, !c.azp));
        stubs.back()->log = &log;
        checker.Add(stubs.back().get());
    }
    LetterPlan p;
    p.Set({"F......"});
    CAZPBewertung e;
    e.Evaluate(p.plan);

    checker.CheckPlan(e, 1);
    EXPECT_EQ(log, (std::vector<long>{3, 8, 9, 5}));
    for (const auto& s : stubs) {
        if (s->NUMMER == 3 || s->NUMMER == 8 || s->NUMMER == 9 || s->NUMMER == 5) {
            EXPECT_EQ(s->lastQuick, 1) << "KR" << s->NUMMER;
        }
    }

    // Switched-off KR8 and KR9 put their records into the evaluation; other switched-off ones add nothing.
    stubs[3]->cells = {7};
    stubs[4]->cells = {7};
    stubs[5]->cells = {7};
    log.clear();
    e.Evaluate(p.plan);
    checker.CheckPlan(e, 0);
    ASSERT_NE(e.GetVerstossliste(7), nullptr);
    VERSTOSSINFO r;
    EXPECT_EQ(e.GetVerstossliste(7)->Count(), 2);
    EXPECT_EQ(e.GetVerstossliste(7)->Find(nullptr, 8, false, false, r), 0);
    EXPECT_EQ(e.GetVerstossliste(7)->Find(nullptr, 9, false, false, r), 0);
    EXPECT_EQ(e.GetVerstossliste(7)->Find(nullptr, 10, false, false, r), 5);
}

TEST(KriterienChecker, SetKriterienReplacesTheListAndFindKriteriumTakesTheFirst)
{
    StubKriterium a(2), b(5), c(5);
    CKriterienChecker checker;
    checker.Add(&a);
    CKriterium* list[] = {&b, nullptr, &c};
    checker.SetKriterien(list);
    EXPECT_EQ(QueueRecords(checker.KRITERIEN), 2u);
    EXPECT_EQ(checker.FindKriterium(5), &b);
    EXPECT_EQ(checker.FindKriterium(2), nullptr);
    checker.Release();
    EXPECT_EQ(QueueRecords(checker.KRITERIEN), 0u);
    EXPECT_EQ(b.NUMMER, 5) << "releasing the checker leaves the criteria alone";
}

TEST(KriterienChecker, CheckShiftTypeRecordsEveryViolationOfTheSwitchedOnShiftTypeCriteria)
{
    StubKriterium pausen(1, 1, false, true), laenge(6, 0, false, true), still(7, 1, false, true),
        plan(2, 1, true, false), last(19, 1, false, true);
    pausen.amount = 2;
    pausen.stText = "- Die 1. Pause ist 5 Minuten zu kurz.";
    laenge.amount = 9;  // switched off
    last.amount = 1;
    last.stText = std::string(2000, 'x');  // more than the buffer holds
    CKriterienChecker checker;
    for (CKriterium* k : std::initializer_list<CKriterium*>{&pausen, &laenge, &still, &plan, &last})
        checker.Add(k);

    CVerstossliste list;
    checker.CheckShiftType(Shift("F", 360, 840), 4, list);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.At(1)->KRITERIUM, &pausen);
    EXPECT_EQ(list.At(1)->WERT, 2u);
    EXPECT_EQ(*list.At(1)->TEXT, pausen.stText);
    EXPECT_EQ(list.At(1)->POSITION, POSITION_EINZELN);
    EXPECT_EQ(list.At(2)->KRITERIUM, &last);
    EXPECT_EQ(list.At(2)->TEXT.value().size(), kSTCheckTextSize);
    EXPECT_EQ(pausen.seenWeekdays, 4);
    EXPECT_EQ(laenge.seenWeekdays, 0) << "a switched-off criterion is not asked";
}

TEST(KriterienChecker, CheckShiftTypesClearsEachListAndTakesAllWeekdaysForAnUnusedShiftType)
{
    LetterPlan p;
    CSBPData sbp;
    sbp.SetSchichttypen(&p.types);
    sbp.SyncSchichttypen();
    sbp.SetBezugsrahmen(2);
    sbp.SetCount(10, p.ids['F'], 1);
    CSBPBewertung e;
    e.Evaluate(sbp);

    std::vector<long> log;
    StubKriterium k(1, 1, false, true);
    k.amount = 1;
    k.stText = "zu kurz";
    CKriterienChecker checker;
    checker.Add(&k);

    checker.CheckShiftTypes(e);
    checker.CheckShiftTypes(e);
    for (char c : std::string("XFBSN"))
        EXPECT_EQ(e.GetVerstossliste(p.ids[c])->Count(), 1) << c << ": cleared before each check";
    EXPECT_EQ(e.CountViolatingShiftTypes(), 5);

    k.log = &log;
    std::vector<uint8_t> weekdays;
    for (long n = 1; const CSchicht* s = e.GetSchicht(n); ++n) {
        CVerstossliste scratch;
        checker.CheckShiftType(*s, e.GetTage(s->SYSID) ? e.GetTage(s->SYSID) : kAlleWochentage, scratch);
        weekdays.push_back(k.seenWeekdays);
    }
    EXPECT_EQ(weekdays, (std::vector<uint8_t>{127, 4, 127, 127, 127}));
}

// The strain criterion as the checker sees it.
class EbaStub : public StubKriterium, public IEbaBerechnung {
public:
    EbaStub() : StubKriterium(19, 1, false, true) {}
    void Compute(const TERMIN& span) override { spans.push_back(span); }
    uint16_t Result() const override { return result; }
    void ShowRechenwerte() override { ++shown; }
    std::vector<TERMIN> spans;
    uint16_t result = 540;
    int shown = 0;
};

TEST(KriterienChecker, EbaRecommendationAsksKR19OverTwentyTwoHoursFromTheBeginOnTheWeekday)
{
    EbaStub eba;
    StubKriterium other(1);
    CKriterienChecker checker;
    checker.Add(&other);
    EXPECT_EQ(checker.EbaRecommendation(Shift("N", 1320, 360), 3), 1440) << "without KR19 nothing is critical";
    checker.ShowEbaValues();

    checker.Add(&eba);
    EXPECT_EQ(checker.EbaRecommendation(Shift("N", 1320, 360), 3), 540);
    ASSERT_EQ(eba.spans.size(), 1u);
    EXPECT_EQ(eba.spans[0], (TERMIN{2 * kDay + 1320, 2 * kDay + 1320 + 1320})) << "Wednesday 22:00 for 22 hours";
    checker.ShowEbaValues();
    EXPECT_EQ(eba.shown, 1);
}

// ---- weights --------------------------------------------------------------------------------

class Weights : public ::testing::Test {
protected:
    std::string Stored(long n)
    {
        return ProfileGetString("Kriteriengewichtung", "Kriterium " + std::to_string(n), "fehlt", GlobalIni.FILENAME);
    }
    EmptyKri emptyKri;
    TempIni ini;
};

TEST_F(Weights, TheWeightedCriteriaWriteTheirDefaultsAndGetWeightTimesFactor)
{
    std::map<long, double> teiler;
    for (const KriteriumEintrag& row : KriterienTabelle()) {
        StubKriterium k(row.NUMMER);
        k.SetTableDivisor();
        teiler[row.NUMMER] = k.TEILER;
    }
    const std::map<long, std::pair<std::string, double>> weighted = {
        {2, {"2", 240}},      {5, {"40", 2400}},    {9, {"60", 3600}},    {10, {"20", 20000}},
        {11, {"20", 20000}},  {12, {"20", 20000}},  {13, {"20", 20000}},  {14, {"20", 20000}},
        {15, {"20", 20000}},  {16, {"20", 20000}},  {17, {"14", 14}},     {22, {"200", 200}},
    };
    for (const KriteriumEintrag& row : KriterienTabelle()) {
        auto w = weighted.find(row.NUMMER);
        if (w == weighted.end()) {
            EXPECT_EQ(Stored(row.NUMMER), "fehlt") << "KR" << row.NUMMER;
            EXPECT_EQ(teiler[row.NUMMER], 100000.0) << "KR" << row.NUMMER;
        } else {
            EXPECT_EQ(Stored(row.NUMMER), w->second.first) << "KR" << row.NUMMER;
            EXPECT_EQ(teiler[row.NUMMER], w->second.second) << "KR" << row.NUMMER;
        }
    }
}

TEST_F(Weights, ALargerValueCountsLessAndAnUnusableOneFallsBackToTheDefault)
{
    StubKriterium k(2);
    GlobalIni.WriteValue("Kriteriengewichtung", "Kriterium 2", "5");
    k.SetTableDivisor();
    EXPECT_EQ(k.TEILER, 600.0);
    EXPECT_EQ(Stored(2), "5");

    for (const char* bad : {"0", "-4", "viel", ""}) {
        GlobalIni.WriteValue("Kriteriengewichtung", "Kriterium 2", bad);
        EXPECT_EQ(k.ReadWeight(2), 2) << '"' << bad << '"';
        EXPECT_EQ(Stored(2), "2") << '"' << bad << '"';
    }
}

// ---- settings through the KRI buffer --------------------------------------------------------

class KriBuffer : public ::testing::Test {
protected:
    void SetUp() override
    {
        KRI.Clear();
        KRIDEFAULT.Clear();
    }
    void TearDown() override
    {
        KRI.Clear();
        KRIDEFAULT.Clear();
    }
};

TEST_F(KriBuffer, SetNummerLoadsTheElementOfItsNumberAndStoreWritesAllButTheName)
{
    KRI.SetInt("TYP", 4, 5);
    KRI.SetInt("AKTIVIERT", 1, 5);
    KRI.SetInt("RELEVANZ", 7, 5);
    std::string longName;
    for (int i = 0; i < 70; ++i)
        longName += "ö";
    KRI.SetString("BEZEICHNUNG", longName, 5);
    KRI.SetInt("TYP", 2, 4);

    StubKriterium k(0);
    k.SetNummer(5);
    EXPECT_EQ(k.TYP, 4);
    EXPECT_EQ(k.AKTIVIERT, 1);
    EXPECT_EQ(k.RELEVANZ, 7);
    EXPECT_EQ(k.NAME.size(), 2 * kKriteriumNameMax) << "64 characters";
    EXPECT_TRUE(k.IsLegal());

    k.TYP = 3;
    k.AKTIVIERT = 0;
    k.RELEVANZ = 2;
    k.NAME = "anders";
    k.StoreToKRI();
    EXPECT_EQ(KRI.GetInt("TYP", 5), 3);
    EXPECT_EQ(KRI.GetInt("AKTIVIERT", 5), 0);
    EXPECT_EQ(KRI.GetInt("RELEVANZ", 5), 2);
    EXPECT_EQ(KRI.GetString("BEZEICHNUNG", 5), longName) << "the name is not written back";
    EXPECT_EQ(KRI.GetInt("TYP", 4), 2) << "other elements untouched";

    KRIDEFAULT.SetInt("TYP", 1, 5);
    KRIDEFAULT.SetString("BEZEICHNUNG", "Vorgabe", 5);
    k.LoadDefaults();
    EXPECT_EQ(k.TYP, 1);
    EXPECT_EQ(k.NAME, "Vorgabe");

    StubKriterium outside(0);
    outside.SetNummer(30);  // no such element: nothing loaded, nothing thrown
    outside.StoreToKRI();
    EXPECT_EQ(outside.TYP, 0);
}

TEST(Kriterium, AssignCopiesTheBaseMembersAndTakesTheNewPool)
{
    struct Pool : IKriterienPool {
        uint8_t EditKriterium(long) override { return 0; }
        void NotifyArbeitsblatt() override {}
    } from, to;
    StubKriterium a(9), b(0);
    a.NAME = "Grenzen";
    a.GROUPNAME = "Arbeitszeit";
    a.TEILER = 3600;
    a.TREEENTRYFORCERESET = 1;
    a.TYP = 2;
    a.AKTIVIERT = 1;
    a.RELEVANZ = 4;
    a.SetDefinitionsmanager(&from);
    CKriterium* dst[] = {&b};
    CKriterium* src[] = {&a};
    KriterienAssign(dst, src, &to);
    EXPECT_EQ(b.NUMMER, 9);
    std::string name, group;
    b.GetNames(&name, &group);
    EXPECT_EQ(name, "Grenzen");
    EXPECT_EQ(group, "Arbeitszeit");
    b.GetNames(nullptr, nullptr);
    EXPECT_EQ(b.TEILER, 3600.0);
    EXPECT_EQ(b.TREEENTRYFORCERESET, 1);
    EXPECT_EQ(b.TYP, 2);
    EXPECT_EQ(b.AKTIVIERT, 1);
    EXPECT_EQ(b.RELEVANZ, 4);
    EXPECT_EQ(b.DEFINITIONSMANAGER, &to);
}

// ---- tree nodes -------------------------------------------------------------------------------

struct PoolSpy : IKriterienPool {
    uint8_t EditKriterium(long number) override
    {
        edited.push_back(number);
        return editResult;
    }
    void NotifyArbeitsblatt() override { ++notified; }
    std::vector<long> edited;
    uint8_t editResult = 0;
    int notified = 0;
};

// The tree's rows as "level text ICON".
std::vector<std::string> Rows(const CTree& tree)
{
    std::vector<std::string> out;
    for (int32_t i = 1; i <= tree.RowCount(); ++i) {
        const CTree::EntryRow* r = tree.Row(i);
        out.push_back(std::to_string(r->LEVEL) + " " + r->SCREENTEXT + " " + tree.ICONLIST.NameAt(r->ICONNR));
    }
    return out;
}

class KriteriumTree : public KriBuffer {};

TEST_F(KriteriumTree, IconsFollowSwitchAndMode)
{
    const struct {
        uint8_t on, typ;
        const char* icon;
    } cases[] = {{0, 1, "~unchecked.ico"}, {1, 1, "~checked_gesetzlich.ico"}, {1, 4, "~checked_gesetzlich.ico"},
                 {1, 2, "~checked.ico"},  {1, 3, "~checked.ico"},            {1, 5, "~checked.ico"}};
    for (const auto& c : cases) {
        StubKriterium k(2, c.on);
        k.TYP = c.typ;
        EXPECT_EQ(k.GetIcon(), c.icon) << int(c.on) << "/" << int(c.typ);
    }
}

TEST_F(KriteriumTree, ToggleSwitchesStoresAndTellsThePoolOpenEditsThroughIt)
{
    PoolSpy pool;
    StubKriterium k(5, 0);
    k.NAME = "Nacht-frei-Früh";
    k.SetDefinitionsmanager(&pool);
    EXPECT_TRUE(k.AcceptsRequest(TREE_OPEN));
    EXPECT_TRUE(k.AcceptsRequest(TREE_TOGGLE));
    EXPECT_FALSE(k.AcceptsRequest(TREE_EXPAND));
    EXPECT_FALSE(k.AcceptsRequest(4));

    EXPECT_EQ(k.TakeRequest(TREE_TOGGLE, ""), 0);
    EXPECT_EQ(k.AKTIVIERT, 1);
    EXPECT_EQ(KRI.GetInt("AKTIVIERT", 5), 1);
    EXPECT_TRUE(k.ForceReset());
    EXPECT_EQ(pool.notified, 1);

    CTree tree;
    k.RefreshTree(3, tree);
    EXPECT_EQ(Rows(tree), (std::vector<std::string>{"3 Nacht-frei-Früh ~CHECKED.ICO"}));
    EXPECT_FALSE(k.ForceReset()) << "the refresh took it into account";

    pool.editResult = 2;  // cancelled
    EXPECT_EQ(k.TakeRequest(TREE_OPEN, ""), 0);
    EXPECT_FALSE(k.ForceReset());
    pool.editResult = 0;
    k.TakeRequest(TREE_OPEN, "");
    EXPECT_TRUE(k.ForceReset());
    EXPECT_EQ(pool.edited, (std::vector<long>{5, 5}));

    StubKriterium alone(6, 0);
    EXPECT_EQ(alone.Edit(), 5) << "no pool to edit in";
    alone.TakeRequest(TREE_TOGGLE, "");
    EXPECT_EQ(alone.AKTIVIERT, 1);
}

TEST_F(KriteriumTree, AGroupSwitchesAllToTheOppositeOfItsFirstCriterion)
{
    PoolSpy pool;
    StubKriterium a(11, 0), b(12, 1), c(13, 0);
    for (StubKriterium* k : {&a, &b, &c})
        k->SetDefinitionsmanager(&pool);
    CKriterienGruppe g;
    g.SetName("Nachtschlaf");
    for (StubKriterium* k : {&a, &b, &c})
        g.Add(k);
    EXPECT_EQ(b.GROUPNAME, "Nachtschlaf");
    EXPECT_EQ(g.GetIcon(), "~checked_partly.ico");
    EXPECT_EQ(g.CountEntries(), 3);

    g.TakeRequest(TREE_TOGGLE, "");
    EXPECT_EQ(a.AKTIVIERT + b.AKTIVIERT + c.AKTIVIERT, 3) << "b was on already and stays on";
    EXPECT_EQ(g.GetIcon(), "~checked.ico");
    EXPECT_EQ(KRI.GetInt("AKTIVIERT", 13), 1);
    EXPECT_TRUE(g.ForceReset());
    EXPECT_EQ(pool.notified, 1) << "the pool is told once";

    g.TakeRequest(TREE_TOGGLE, "");
    EXPECT_EQ(a.AKTIVIERT + b.AKTIVIERT + c.AKTIVIERT, 0);
    EXPECT_EQ(g.GetIcon(), "~unchecked.ico");
    EXPECT_EQ(KRI.GetInt("AKTIVIERT", 12), 0);

    CTree tree;
    g.RefreshTree(2, tree);
    EXPECT_EQ(Rows(tree), (std::vector<std::string>{"2 Nachtschlaf ~UNCHECKED.ICO", "3 Kriterium 11 ~UNCHECKED.ICO",
                                                    "3 Kriterium 12 ~UNCHECKED.ICO", "3 Kriterium 13 ~UNCHECKED.ICO"}));
    g.TakeRequest(TREE_COLLAPSE, "");
    CTree folded;
    g.RefreshTree(1, folded);
    EXPECT_EQ(folded.Row(1)->LEVEL, -1) << "a folded group shows as collapsed";
    g.TakeRequest(TREE_EXPAND, "");
    EXPECT_FALSE(g.ForceReset());

    EXPECT_TRUE(g.IsExpanded());
    g.TakeRequest(TREE_COLLAPSE, "");
    EXPECT_FALSE(g.IsExpanded());
    g.TakeRequest(TREE_COLLAPSE, "");
    EXPECT_TRUE(g.IsExpanded()) << "collapse and expand both invert";
    EXPECT_TRUE(g.AcceptsRequest(TREE_OPEN));
    EXPECT_FALSE(g.AcceptsRequest(4));
}

TEST(KriterienGruppe, AnEmptyGroupCountsAsSwitchedOnAndIgnoresToggle)
{
    CKriterienGruppe g;
    g.SetName(std::string(80, 'g'));
    EXPECT_EQ(g.NAME.size(), kKriteriumNameMax);
    EXPECT_EQ(g.GetIcon(), "~checked.ico");
    EXPECT_EQ(g.TakeRequest(TREE_TOGGLE, ""), 0);
    EXPECT_EQ(g.CountEntries(), 0);
}

// ---- the criteria table ----------------------------------------------------------------------

TEST(KriterienTabelle, HoldsTwentyOneCriteriaWithoutTwenty)
{
    EXPECT_EQ(KriterienTabelle().size(), 21u);
    EXPECT_EQ(FindKriteriumEintrag(20), nullptr);
    EXPECT_EQ(FindKriteriumEintrag(23), nullptr);
    const KriteriumEintrag* kr2 = FindKriteriumEintrag(2);
    ASSERT_NE(kr2, nullptr);
    EXPECT_STREQ(kr2->KLASSE, "CKriteriumRuhezeit");
    EXPECT_STREQ(kr2->BEZEICHNUNG, "Mindestruhezeiten zwischen Schichten einhalten");
    EXPECT_EQ(kr2->SCHNITTSTELLEN, KR_AZP);
    EXPECT_STREQ(FindKriteriumEintrag(9)->BEZEICHNUNG, "wöchentliche Mindest-/Höchstarbeitszeit einhalten");
    EXPECT_EQ(FindKriteriumEintrag(7)->SCHNITTSTELLEN, KR_AZP | KR_ST);
    // Every number of the pool's order has a row, each once.
    std::set<long> seen;
    for (long n : kKriterienReihenfolge) {
        EXPECT_NE(FindKriteriumEintrag(n), nullptr) << n;
        seen.insert(n);
    }
    EXPECT_EQ(seen.size(), 21u);
    EXPECT_EQ(kKriterienReihenfolge[1], 3);
}

// ---- markers --------------------------------------------------------------------------------

// Runs the drawing on a logical thread in a window with one list and returns what it recorded.
std::vector<PaintOp> Drawn(const std::function<void(const GridDC&)>& draw)
{
    std::vector<PaintOp> ops;
    HeadlessDriver driver;
    driver.Start([&] {
        WindowDesc d;
        d.title = "Raster";
        d.Add(Ctl::List("40L(2)|M~Tag~@s20@").At(0, 0, 200, 100));
        const int w = WindowCreate(d);
        draw(GridDC{w, 1});
        ops = ListPaintOps(w, 1);
        WindowClose(w);
    });
    driver.WaitEnd();
    return ops;
}

TEST(KriteriumMarker, IconsSitInTheLowerCornersAndTextIsRedAndCentred)
{
    const auto ops = Drawn([](const GridDC& dc) {
        PaintBeginIcon(dc, 100, 20, 80, 60, "KR2BEGINN");
        PaintEndIcon(dc, 100, 20, 80, 60, "KR2ENDE");
        PaintMarkerText(dc, 100, 20, 80, 60, "-30");
    });
    ASSERT_EQ(ops.size(), 3u);
    EXPECT_EQ(ops[0].kind, PaintOp::Kind::Icon);
    EXPECT_EQ(ops[0].text, "KR2BEGINN");
    EXPECT_EQ(std::pair(ops[0].x1, ops[0].y1), std::pair(100, 48));
    EXPECT_EQ(std::pair(ops[1].x1, ops[1].y1), std::pair(148, 48));
    EXPECT_EQ(ops[2].kind, PaintOp::Kind::Text);
    EXPECT_EQ(ops[2].text, "-30");
    EXPECT_EQ(ops[2].color, 255);
    EXPECT_EQ(ops[2].style, 37);
    EXPECT_EQ(std::tuple(ops[2].x1, ops[2].y1, ops[2].x2, ops[2].y2), std::tuple(100, 20, 180, 80));
}

TEST(KriteriumMarker, ALineLeavesThePenAsItWas)
{
    const auto ops = Drawn([](const GridDC& dc) {
        PaintMarkerLine(dc, 255, 0, 10, 50, 10);  // nothing drawn before: the starting pen comes back
        Painter(dc.window, dc.control).SetPen(0xC0C0C0, 2, 1);
        PaintMarkerLine(dc, 0xFF0000, 0, 20, 50, 20);
    });
    ASSERT_EQ(ops.size(), 7u);
    auto pen = [](const PaintOp& op) { return std::tuple(op.kind, op.color, op.width, op.style); };
    EXPECT_EQ(pen(ops[0]), std::tuple(PaintOp::Kind::Pen, 255, 1, 0));
    EXPECT_EQ(ops[1].kind, PaintOp::Kind::Line);
    EXPECT_EQ(pen(ops[2]), std::tuple(PaintOp::Kind::Pen, 0, 1, 0));
    EXPECT_EQ(pen(ops[4]), std::tuple(PaintOp::Kind::Pen, 0xFF0000, 1, 0));
    EXPECT_EQ(std::tuple(ops[5].x1, ops[5].y1, ops[5].x2, ops[5].y2), std::tuple(0, 20, 50, 20));
    EXPECT_EQ(pen(ops[6]), std::tuple(PaintOp::Kind::Pen, 0xC0C0C0, 2, 1));
}

TEST(AZPBewertung, PaintViolationsAsksEachRecordsCriterionInOrder)
{
    LetterPlan p;
    p.Set({"F......"});
    CAZPBewertung e;
    e.Evaluate(p.plan);
    StubKriterium plan(2), shiftOnly(1, 1, false, true);
    e.AddVerstoss(1, Record(&plan, 30));
    e.AddVerstoss(1, Record(&shiftOnly, 99));  // cannot draw into a plan: skipped
    e.AddVerstoss(1, Record(&plan, 45));
    e.AddVerstoss(3, Record(&plan, 1));

    const auto ops = Drawn([&](const GridDC& dc) {
        e.PaintViolations(1, dc, 0, 0, 40, 40);
        e.PaintViolations(2, dc, 40, 0, 40, 40);  // free cell: nothing
    });
    std::vector<std::string> texts;
    for (const PaintOp& op : ops)
        texts.push_back(op.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"1:30", "1:45"}));
}

} // namespace
