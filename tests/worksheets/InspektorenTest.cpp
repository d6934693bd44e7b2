// The inspectors and the overall rating: the table inspector's per-week lists (differences paired
// by shift type, hours per person), the evaluation summary's hints and its flex figure, the overall
// rating's rows and counts, two inspectors of one kind hiding each other, and every inspector
// opened from the worksheet window's commands and read from its grid.
#include "worksheets/Arbeitsblatt.h"
#include "worksheets/ArbeitsblattWindow.h"
#include "worksheets/Gesamtbewertung.h"
#include "worksheets/Inspektoren.h"

#include "../assessment/BewertungTestSupport.h"

#include "assessment/AZPBewertung.h"
#include "assessment/Definitionspool.h"
#include "assessment/KriterienArbeitszeit.h"
#include "assessment/KriterienChecker.h"
#include "assessment/KriterienRuhe.h"
#include "assessment/RahmenbedingungArbeitszeit.h"
#include "assessment/RahmenbedingungRuhezeiten.h"
#include "assessment/SchichttypDialoge.h"
#include "core/Projektmanager.h"
#include "platform/headless/HeadlessDriver.h"
#include "platform/ui/Input.h"
#include "platform/ui/Runtime.h"
#include "plans/AZPData.h"
#include "plans/SBPData.h"
#include "plans/Schichttypen.h"
#include "ScratchProjectSupport.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using bewertungtest::StubKriterium;

namespace {

QWochenwerte Werte(uint32_t id, const std::string& name, std::vector<double> weeks)
{
    QWochenwerte w;
    w.SCHICHTID = id;
    w.BEZEICHNUNG = name;
    for (size_t i = 0; i < weeks.size(); ++i)
        w.ANZAHL[i] = Decimal::FromDouble(weeks[i]);
    return w;
}

// ---- table inspector lists ----------------------------------------------------------------------

TEST(InfoVLB, WeeksShowTheDifferenceToTheSameShiftTypeAndHoursPerPerson)
{
    TabellenStand stand;
    stand.BEZUGSRAHMEN = 2;
    // The shift demand plan lists its rows in another order than the plan, and lacks type 3.
    QueueAdd(stand.SBP.SCHICHTEINSAETZE, Werte(2, "S", {4, 1}));
    QueueAdd(stand.SBP.SCHICHTEINSAETZE, Werte(1, "F", {5, 5}));
    QueueAdd(stand.AZP.SCHICHTEINSAETZE, Werte(1, "F", {5, 3}));
    QueueAdd(stand.AZP.SCHICHTEINSAETZE, Werte(2, "S", {6, 1}));
    QueueAdd(stand.AZP.SCHICHTEINSAETZE, Werte(3, "N", {2, 0}));
    QueueAdd(stand.AZP.STDPROSCHICHT, Werte(1, "F", {120, 0}));
    QueueAdd(stand.AZP.STDPROSCHICHT, Werte(0, "WAZ", {120, 0}));
    stand.AZP.PLANBELEGSCHAFT = 8;
    CInfoVLB shifts(stand, TABINSP_AZP_SCHICHTEN), hours(stand, TABINSP_AZP_STUNDEN), sbp(stand, TABINSP_SBP_SCHICHTEN);

    const struct {
        const char* what;
        CInfoVLB& list;
        uint8_t difference, total;
        int32_t planStaff;
        int32_t row;
        std::vector<std::string> cells;   // columns 1 .. 4
    } cases[] = {
        {"difference by SYSID", shifts, 1, 0, 8, 1, {"F", "", "-2.00", ""}},
        {"difference of the second row", shifts, 1, 0, 8, 2, {"S", "2.00", "", ""}},
        {"a type without partner shows its own count", shifts, 1, 0, 8, 3, {"N", "2.00", "", ""}},
        {"without difference display the plan's count", shifts, 0, 0, 8, 1, {"F", "5.00", "3.00", ""}},
        {"hours per person", hours, 1, 0, 8, 1, {"øF", "15.00", "", ""}},
        {"the WAZ row per person", hours, 1, 0, 8, 2, {"øWAZ", "15.00", "", ""}},
        {"total hours", hours, 1, 1, 8, 1, {"F", "120.00", "", ""}},
        {"no plan staff: nothing divided, blank", hours, 1, 0, 0, 2, {"øWAZ", "", "", ""}},
        {"the shift demand plan's list unchanged", sbp, 1, 0, 8, 1, {"S", "4.00", "1.00", ""}},
        {"a row that does not exist", shifts, 1, 0, 8, 4, {"", "", "", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        stand.DIFFERENZANZEIGE = c.difference;
        stand.GESAMTARBEITSZEIT = c.total;
        stand.AZP.PLANBELEGSCHAFT = c.planStaff;
        for (int col = 1; col <= 4; ++col)
            EXPECT_EQ(c.list.CellText(c.row, int16_t(col)), c.cells[size_t(col - 1)]) << col;
    }
    EXPECT_EQ(shifts.RowCount(), 3);
    EXPECT_EQ(shifts.ColumnCount(), 13);
}

TEST(InfoVLB, TheWeekGroupScrollsOnlyBeyondFourWeeks)
{
    // A week's column is wide enough for "9.999,9" at the list's font (about 25 units and its margins).
    EXPECT_EQ(TabellenListFormat(1), "35L(2)|F~Schicht~@s20@[30R(2)|~1~C@N-7.`1B@26R(2)|~~C@N-7.`1B@](120)~Woche~24L@S1@");
    EXPECT_EQ(TabellenListFormat(4).find("S("), std::string::npos);
    const std::string six = TabellenListFormat(6);
    EXPECT_NE(six.find("30R(2)|~6~C@N-7.`1B@26R(2)|~~C@N-7.`1B@](120)~Woche~S(60)24L@S1@"), std::string::npos) << six;
}

// ---- overall rating -----------------------------------------------------------------------------

struct RatingFixture : ::testing::Test {
    RatingFixture()
    {
        const std::pair<long, const char*> criteria[] = {
            {7, "Arbeitszeit"}, {8, "Arbeitszeit"}, {3, "Wochenende"}, {4, "Wochenende"}, {10, "Arbeitszeit"},
            {9, "Arbeitszeit"}, {2, "Ruhezeit"}, {5, "Ruhezeit"}, {17, "Wochenende"}, {11, "Nachtschlaf"},
            {12, "Nachtschlaf"}, {13, "Freizeit"}, {14, "Freizeit"}, {15, "Freizeit"}, {16, "Freizeit"},
            {22, ""}};
        for (auto [n, group] : criteria) {
            auto k = std::make_unique<StubKriterium>(n);
            k->GROUPNAME = group;
            checker.Add(k.get());
            stubs[n] = std::move(k);
        }
        plan.Set({"FFFFF..", "SSSSS.."});
        evaluation.Evaluate(plan.plan);
    }
    CKriterium* K(long n) { return stubs.at(n).get(); }
    const GesamtbewertungZeile& RowOf(long n)
    {
        for (const GesamtbewertungZeile& r : rows)
            if (r.NR == n)
                return r;
        throw std::runtime_error("no row");
    }
    const GesamtbewertungZeile& Header(const std::string& name)
    {
        for (const GesamtbewertungZeile& r : rows)
            if (r.NR == 0 && r.KRITERIUM == name)
                return r;
        throw std::runtime_error("no header");
    }

    bewertungtest::EmptyKri emptyKri;
    bewertungtest::TempIni ini;
    std::map<long, std::unique_ptr<StubKriterium>> stubs;
    CKriterienChecker checker;
    bewertungtest::LetterPlan plan;
    CAZPBewertung evaluation;
    Queue<GesamtbewertungZeile> rows;
};

TEST_F(RatingFixture, RowsFollowTheRatingOrderWithAHeaderPerGroup)
{
    GesamtbewertungZeilen(rows, checker, evaluation);
    std::vector<std::string> texts;
    for (const GesamtbewertungZeile& r : rows)
        texts.push_back(r.NR ? std::to_string(r.NR) : r.KRITERIUM.empty() ? "-" : r.KRITERIUM);
    const std::vector<std::string> expected = {"Arbeitszeit", "7",  "8",  "9",  "10",       "-",  "Ruhezeit", "2",
                                               "5",           "-",  "Nachtschlaf", "11", "12", "-",  "Freizeit", "13",
                                               "14",          "15", "16", "-",  "Wochenende", "17", "3", "4"};
    EXPECT_EQ(texts, expected);
    const GesamtbewertungZeile& header = *QueueGet(rows, 1);
    EXPECT_EQ(header.KR_FG, 0xFFFFFF);
    EXPECT_EQ(header.KR_BG, 0xC0C0C0);
    EXPECT_EQ(header.VS_SELBG, 0xC0C0C0);
    EXPECT_EQ(QueueGet(rows, 6)->KR_FG, 0xFFFFFF);   // the spacer is white on white
    EXPECT_EQ(RowOf(7).KR_FG, 0);
    EXPECT_EQ(RowOf(7).KR_BG, 0xFFFFFF);
}

TEST_F(RatingFixture, CountsAMarkOrARunOnceAndIgnoresAmountZero)
{
    evaluation.AddVerstoss(1, K(7), POSITION_EINZELN, 1);
    evaluation.AddVerstoss(3, K(7), POSITION_EINZELN, 2);
    // A rest violation marked on its first and last cell counts once.
    evaluation.AddVerstoss(2, K(2), POSITION_ANFANG, 60);
    evaluation.AddVerstoss(3, K(2), POSITION_MITTE, 60);
    evaluation.AddVerstoss(4, K(2), POSITION_ENDE, 60);
    // KR4 reports a met rule with amount 0; KR21 has no row.
    evaluation.AddVerstoss(1, K(4), POSITION_EINZELN, 0, 52000);
    StubKriterium kr21(21);
    evaluation.AddVerstoss(1, &kr21, POSITION_EINZELN, 1);
    evaluation.AddVerstoss(9, K(13), POSITION_ANFANG, 1);
    evaluation.AddVerstoss(10, K(14), POSITION_EINZELN, 1);
    // Switched off: grey, whatever the evaluation says.
    K(9)->AKTIVIERT = 0;
    GesamtbewertungZeilen(rows, checker, evaluation);

    EXPECT_EQ(RowOf(7).VERSTOESSE, 2);
    EXPECT_EQ(RowOf(2).VERSTOESSE, 1);
    EXPECT_EQ(RowOf(4).VERSTOESSE, 0);
    EXPECT_EQ(RowOf(9).VERSTOESSE, 0);
    EXPECT_EQ(RowOf(9).KR_FG, 0xC0C0C0);
    EXPECT_EQ(RowOf(9).VS_FG, 0xC0C0C0);
    EXPECT_EQ(Header("Arbeitszeit").VERSTOESSE, 2);
    EXPECT_EQ(Header("Ruhezeit").VERSTOESSE, 1);
    EXPECT_EQ(Header("Freizeit").VERSTOESSE, 2);
    EXPECT_EQ(Header("Wochenende").VERSTOESSE, 0);
}

TEST_F(RatingFixture, TheRowsEndAtTheFirstCriterionTheCheckerDoesNotHold)
{
    CKriterienChecker partial;
    for (long n : {7L, 8L, 9L, 10L, 5L})
        partial.Add(K(n));
    GesamtbewertungZeilen(rows, partial, evaluation);
    EXPECT_EQ(QueueRecords(rows), 5u);   // header and KR7 .. KR10; KR2 is missing
}

TEST(GesamtbewertungSonntage, AYearOrTheFlexPeriod)
{
    StubKriterium kr4(4);
    CVerstossliste list;
    EXPECT_FALSE(GesamtbewertungSonntage(nullptr, 14, false));
    EXPECT_FALSE(GesamtbewertungSonntage(&list, 14, false));
    list.Add(&kr4, POSITION_EINZELN, 0, 26000);
    const struct {
        long cells;
        bool flex;
        const char* value;
        const char* suffix;
    } cases[] = {
        {14, false, "26", " im Jahr"},
        {365, true, "26", " von 52"},
        {182, true, "13", " von 26"},
    };
    for (const auto& c : cases) {
        const auto s = GesamtbewertungSonntage(&list, c.cells, c.flex);
        ASSERT_TRUE(s) << c.cells;
        EXPECT_EQ(s->WERT, c.value) << c.cells;
        EXPECT_EQ(s->ZUSATZ, c.suffix) << c.cells;
    }
}

// ---- with real worksheets -----------------------------------------------------------------------

class InspektorenTest : public ScratchProject {
protected:
    InspektorenTest() : ScratchProject(ARBEITSBLATT_AZ) {}

    void TearDown() override
    {
        driver.reset();
        ScratchProject::TearDown();
    }
    static CArbeitsblatt& sheet(int i) { return *static_cast<CArbeitsblatt*>(projekt().GetArbeitsblatt(i)); }

    // F, S and N; the plan has one group per type, Monday to Friday; the shift demand plan asks
    // for one F and two N a day.
    void Sample(CArbeitsblatt& s)
    {
        const char* names[3] = {"F", "S", "N"};
        for (int i = 0; i < 3; ++i) {
            CSchicht shift = bewertungtest::Shift(names[i], uint32_t(6 + 8 * i) * 60, uint32_t(14 + 8 * i) * 60);
            s.GetSchichttypen().AddSchicht(shift, false);
            ids[i] = shift.SYSID;
        }
        s.GetSBP().SyncSchichttypen();
        s.GetAZP().SetGroupCount(3);
        for (uint32_t d = 1; d <= 5; ++d) {
            for (uint32_t g = 1; g <= 3; ++g)
                s.GetAZP().SetCell(d, g, ids[g - 1]);
            s.GetSBP().AddCount(d, ids[0], 1);
            s.GetSBP().AddCount(d, ids[2], 2);
        }
        s.GetKosten()->KOSTEN.SetReal("STUNDENLOHN", 20.0);
    }

    std::unique_ptr<HeadlessDriver> driver = std::make_unique<HeadlessDriver>();
    uint32_t ids[3] = {};
};

TEST_F(InspektorenTest, EveryInspectorOpensFromTheWorksheetWindowAndShowsItsFigures)
{
    CArbeitsblatt& s = sheet(1);
    Sample(s);
    driver->Start([&] { s.Open(); });
    const int window = driver->Window("Arbeitszeitblatt");
    // Opening the worksheet shows its table inspector.
    int table = driver->Window("Tabellen-Inspektor");
    EXPECT_TRUE(s.IsInspektorOpen(1));
    EXPECT_EQ(driver->Property(window, AB_TABELLEN_INSP_ITEM, Prop::Checked).Int(), 1);
    ASSERT_EQ(driver->RowCount(table, TABINSP_AZP_SCHICHTEN), 3);
    // The plan less the shift demand plan, per shift type.
    EXPECT_EQ(driver->Cell(table, TABINSP_AZP_SCHICHTEN, 1, 1), "F");
    EXPECT_EQ(driver->Cell(table, TABINSP_AZP_SCHICHTEN, 1, 2), "");
    EXPECT_EQ(driver->Cell(table, TABINSP_AZP_SCHICHTEN, 2, 2), "5.00");
    EXPECT_EQ(driver->Cell(table, TABINSP_AZP_SCHICHTEN, 3, 2), "-5.00");
    EXPECT_EQ(driver->Cell(table, TABINSP_SBP_SCHICHTEN, 3, 2), "10.00");

    // Persons per group: no undo step, but the project must know it changed.
    // The worksheet's plan pane has the focus: the inspector shows the plan's page.
    EXPECT_EQ(driver->Property(table, TABINSP_SHEET, Prop::Selected).Int(), 3);
    projekt().FileManager().ClearChanged();
    driver->Choose(table, TABINSP_SBP);
    driver->Type(table, TABINSP_PERSONEN, "3");
    EXPECT_EQ(s.GetSchichtgruppenstaerke(), 3);
    EXPECT_TRUE(projekt().IsChanged());
    // The number of groups is one undo step of the plan.
    const bool couldUndo = s.GetAZP().GetSavable().CanUndo(1);
    driver->Choose(table, TABINSP_AZP);
    driver->Type(table, TABINSP_GRUPPEN, "4");
    EXPECT_EQ(s.GetAZP().CountGroups(), 4);
    EXPECT_TRUE(s.GetAZP().GetSavable().CanUndo(1) || !couldUndo);

    // The cost inspector takes the docked table inspector's place.
    driver->ChooseMenu(window, "Ansicht|Ökonomie-Inspektor");
    EXPECT_FALSE(s.IsInspektorOpen(1));
    ASSERT_TRUE(s.IsInspektorOpen(3));
    const int costs = driver->Window("Ökonomie-Inspektor");
    driver->Choose(costs, driver->Control(costs, "?TABAZP"));
    ASSERT_EQ(driver->RowCount(costs, OEKO_LIST), 5);   // four groups and the sum
    EXPECT_EQ(driver->Cell(costs, OEKO_LIST, 1, 1), "Gruppe 1");
    // Five early shifts of 8 hours for 3 persons at 20.00.
    EXPECT_EQ(driver->Cell(costs, OEKO_LIST, 1, 10), "2.400,00");
    EXPECT_EQ(driver->Cell(costs, OEKO_LIST, 5, 1), "Summe");
    EXPECT_EQ(driver->Cell(costs, OEKO_LIST, 5, 10), "7.200,00");
    driver->Check(costs, OEKO_KOSTENMATRIX, true);
    ASSERT_EQ(driver->RowCount(costs, OEKO_LIST), 6);
    EXPECT_EQ(driver->Cell(costs, OEKO_LIST, 1, 1), "Grundvergütung");
    EXPECT_EQ(driver->Cell(costs, OEKO_LIST, 1, 6), "7.200,00");

    // The evaluation inspector: the criteria tree; a toggled criterion marks the project changed.
    driver->ChooseMenu(window, "Ansicht|Bewertungs-Inspektor");
    EXPECT_FALSE(s.IsInspektorOpen(3));
    ASSERT_TRUE(s.IsInspektorOpen(2));
    const int rating = driver->Window("Bewertungs-Inspektor");
    EXPECT_EQ(driver->Cell(rating, BEWINSP_TREE, 1, 1), "Bewertungskriterien");
    EXPECT_EQ(driver->Cell(rating, BEWINSP_TREE, 2, 1), "Arbeitszeit");
    CKriterium* kr6 = s.GetDefinitionspool().GetKriterium(6);
    const uint8_t before = kr6->AKTIVIERT;
    projekt().FileManager().ClearChanged();
    driver->ChooseRow(rating, BEWINSP_TREE, 3);
    driver->Key(rating, BEWINSP_TREE, Key::SPACE);
    EXPECT_NE(kr6->AKTIVIERT, before);
    EXPECT_TRUE(projekt().IsChanged());
    EXPECT_NE(s.GetAZPBewertung(), nullptr);   // kept while the inspector is open

    // The inspector button cycles: evaluation -> costs.
    driver->Press(window, AB_INSPEKTOR_BUTTON);
    EXPECT_TRUE(s.IsInspektorOpen(3));
    EXPECT_FALSE(s.IsInspektorOpen(2));
    EXPECT_EQ(s.GetAZPBewertung(), nullptr);

    // The overall rating, from the menu.
    driver->ChooseMenu(window, "Arbeitszeitplan|Gesamtbewertung anzeigen");
    const int overall = driver->Window("Gesamtbewertung AZP");
    EXPECT_EQ(driver->RowCount(overall, driver->Control(overall, "?Kriterien")), 24);
    EXPECT_EQ(driver->Cell(overall, driver->Control(overall, "?Kriterien"), 1, 1), "Arbeitszeit");
    driver->Press(overall, "?Schliessen");
    EXPECT_EQ(driver->FindWindow("Gesamtbewertung AZP"), 0);

    driver->Close(window);
    EXPECT_FALSE(s.IsInspektorOpen(3));
}

TEST_F(InspektorenTest, TheCostGridFollowsTheWorksheetsZoom)
{
    CArbeitsblatt& s = sheet(1);
    Sample(s);
    driver->Start([&] { s.Open(); });
    const int window = driver->Window("Arbeitszeitblatt");
    driver->ChooseMenu(window, "Ansicht|Ökonomie-Inspektor");
    const int costs = driver->Window("Ökonomie-Inspektor");
    auto lineHeight = [&] { return driver->Property(costs, OEKO_LIST, Prop::LineHeight).Int(); };
    auto fontSize = [&] { return driver->Property(costs, OEKO_LIST, Prop::FontSize).Int(); };
    EXPECT_EQ(lineHeight(), 10);
    EXPECT_EQ(fontSize(), 8);
    driver->ChooseMenu(window, "Ansicht|Zoom|150%");
    EXPECT_EQ(lineHeight(), 15);
    EXPECT_EQ(fontSize(), 12);
    // Another page keeps the zoom.
    driver->Choose(costs, driver->Control(costs, "?TABSBP"));
    EXPECT_EQ(fontSize(), 12);
    driver->ChooseMenu(window, "Ansicht|Zoom|100 %");
    EXPECT_EQ(lineHeight(), 10);
    driver->Close(window);
}

TEST_F(InspektorenTest, TwoInspectorsOfOneKindHideEachOther)
{
    Sample(sheet(1));
    auto& second = *static_cast<CArbeitsblatt*>(projekt().AddArbeitsblatt(ARBEITSBLATT_AZ));
    driver->Start([&] {
        InspektorenOf(sheet(1)).TABELLE.Execute(false);
        InspektorenOf(second).TABELLE.Execute(false);
    });
    CInspektor& first = InspektorenOf(sheet(1)).TABELLE;
    CInspektor& other = InspektorenOf(second).TABELLE;
    ASSERT_TRUE(first.IsActive());
    ASSERT_TRUE(other.IsActive());
    auto hidden = [&](CInspektor& i) { return driver->Property(i.WIN, 0, Prop::Hide).Bool(); };
    EXPECT_TRUE(hidden(first));   // the second one was refreshed last
    EXPECT_FALSE(hidden(other));
    {
        Runtime::HostBaton b;
        first.Notify();
    }
    driver->WaitIdle();
    EXPECT_FALSE(hidden(first));
    EXPECT_TRUE(hidden(other));

    // Floating, the caption group gives its room to the sheet; docked again it is back.
    const long long top = driver->Property(first.WIN, TABINSP_SHEET, Prop::Ypos).Int();
    driver->Post(first.WIN, EVENT_UNDOCKED);
    EXPECT_TRUE(driver->Hidden(first.WIN, INSPEKTOR_CAPTION));
    EXPECT_EQ(driver->Property(first.WIN, TABINSP_SHEET, Prop::Ypos).Int(), top - kInspektorCaptionHeight);
    EXPECT_FALSE(first.IsDocked());
    driver->Post(first.WIN, EVENT_DOCKED);
    EXPECT_FALSE(driver->Hidden(first.WIN, INSPEKTOR_CAPTION));
    EXPECT_EQ(driver->Property(first.WIN, TABINSP_SHEET, Prop::Ypos).Int(), top);
    driver->Close(first.WIN);
    driver->Close(other.WIN);
    EXPECT_FALSE(first.IsActive());
}

TEST_F(InspektorenTest, SummaryHintsAndTheFlexFigureOnACopy)
{
    CArbeitsblatt& s = sheet(1);
    CBewertungInspektor& inspector = InspektorenOf(s).BEWERTUNG;
    CDefinitionspool& pool = s.GetDefinitionspool();
    auto* kr2 = dynamic_cast<CKriteriumRuhezeit*>(pool.GetKriterium(2));
    auto* kr7 = dynamic_cast<CKriteriumWerktagAZ*>(pool.GetKriterium(7));
    ASSERT_TRUE(kr2 && kr2->RB4 && kr7 && kr7->RB14);
    const struct {
        const char* what;
        std::vector<long> on;
        int32_t rest, daily;
        bool hint;
    } cases[] = {
        {"nothing switched on", {}, 660, 480, false},
        {"KR8 always", {8}, 0, 0, true},
        {"KR3 always", {3}, 0, 0, true},
        {"KR2 with a rest above 0", {2}, 660, 0, true},
        {"KR2 with a rest of 0", {2}, 0, 0, false},
        {"KR7 with a daily time above 0", {7}, 0, 480, true},
        {"KR7 with a daily time of 0", {7}, 0, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (CKriterium* k : pool.GetKriterien())
            if (k)
                k->AKTIVIERT = 0;
        for (long n : c.on)
            pool.GetKriterium(n)->AKTIVIERT = 1;
        kr2->RB4->RZ_DAUER_OHNE_AUSGLEICH = c.rest;
        kr7->RB14->WTAZ_OHNE_AUSGLEICH = c.daily;
        EXPECT_EQ(inspector.Summarize(nullptr, nullptr, 0).HINWEIS, c.hint);
    }

    bewertungtest::LetterPlan plan;
    plan.Set({"FFFFF.."});
    CAZPBewertung evaluation;
    evaluation.Evaluate(plan.plan);
    StubKriterium kr4(4);
    evaluation.AddVerstoss(1, &kr4, POSITION_EINZELN, 0, 26000);
    EXPECT_FALSE(inspector.Summarize(&evaluation, nullptr, 0).WARNUNG);
    EXPECT_EQ(inspector.Summarize(&evaluation, nullptr, 0).SONNTAGE.INFO, 26000u);
    EXPECT_EQ(inspector.Summarize(&evaluation, nullptr, 365).SONNTAGE.INFO, 26000u);
    // Made twice for half a year, the figure stays: the record itself is never scaled.
    EXPECT_EQ(inspector.Summarize(&evaluation, nullptr, 182).SONNTAGE.INFO, 12964u);
    EXPECT_EQ(inspector.Summarize(&evaluation, nullptr, 182).SONNTAGE.INFO, 12964u);
    EXPECT_EQ(evaluation.GetVerstossliste(1)->At(1)->INFO, 26000u);
    EXPECT_FALSE(inspector.Summarize(nullptr, nullptr, 0).FREIESONNTAGE);
}


TEST_F(InspektorenTest, TheLegendOpensFromTheEvaluationInspectorsButton)
{
    CArbeitsblatt& s = sheet(1);
    Sample(s);
    driver->Start([&] { s.Open(); });
    const int window = driver->Window("Arbeitszeitblatt");
    driver->ChooseMenu(window, "Ansicht|Bewertungs-Inspektor");
    const int rating = driver->Window("Bewertungs-Inspektor");
    driver->Press(rating, "?Legende");
    const int legend = driver->Window("Legende");
    ASSERT_NE(legend, 0);
    EXPECT_EQ(driver->Property(legend, 0, Prop::Text).Str(), "Legende");
    driver->Press(legend, "?Schliessen");
    EXPECT_EQ(driver->FindWindow("Legende"), 0);
    // The worksheet window goes on taking commands.
    driver->ChooseMenu(window, "Ansicht|Bewertungs-Inspektor");
    EXPECT_FALSE(s.IsInspektorOpen(2));
    driver->Close(window);
}

// The cost inspector shows the view of the pane clicked into and the week of its current day.
TEST_F(InspektorenTest, TheCostInspectorFollowsThePaneAndTheWeekOfTheCursor)
{
    CArbeitsblatt& s = sheet(1);
    Sample(s);
    s.SetBezugsrahmen(3, false);
    // Week 3: group 1 works two early shifts instead of five.
    s.GetAZP().SetCell(15, 1, ids[0]);
    s.GetAZP().SetCell(16, 1, ids[0]);
    driver->Start([&] { s.Open(); });
    const int window = driver->Window("Arbeitszeitblatt");
    driver->ChooseMenu(window, "Ansicht|Ökonomie-Inspektor");
    const int costs = driver->Window("Ökonomie-Inspektor");
    COekoInspektor& inspector = InspektorenOf(s).OEKO;
    auto tab = [&] { return driver->Property(costs, OEKO_SHEET, Prop::Selected).Int(); };
    auto group1 = [&] {
        Runtime::HostBaton b;
        const auto& rows = inspector.GetKostenAZP().Rows();
        return rows.empty() ? -1.0 : rows.front().SUMME_GESAMT;
    };
    // The plan pane has the focus at opening: the plan's view, week 1.
    EXPECT_EQ(tab(), 3);
    const double week1 = group1();
    ASSERT_GT(week1, 0.0);

    struct Case {
        const char* what;
        int list;
        int column;        // list column clicked; 0: the pane only takes the focus
        long long tab;     // the cost inspector's tab afterwards
        double azpCosts;   // group 1's costs afterwards
    };
    const Case cases[] = {
        {"the shift demand pane", AB_SBP_LIST, 2, 2, week1},
        {"Monday of week 3 in the plan", AB_AZP_LIST, 22, 3, week1 * 2 / 5},
        {"the staff demand pane", AB_AKB_LIST, 0, 1, week1 * 2 / 5},
        {"Tuesday of week 1 in the plan", AB_AZP_LIST, 3, 3, week1},
    };
    for (const Case& c : cases) {
        driver->Focus(window, c.list);
        if (c.column != 0)
            driver->ChooseRow(window, c.list, 1, c.column);
        EXPECT_EQ(tab(), c.tab) << c.what;
        EXPECT_DOUBLE_EQ(group1(), c.azpCosts) << c.what;
    }
    driver->Close(window);
}

TEST_F(InspektorenTest, APlanWithoutGroupsOpensNoOverallRating)
{
    CArbeitsblatt& s = sheet(1);
    driver->Start([&] { s.Open(); });
    const int window = driver->Window("Arbeitszeitblatt");
    driver->ChooseMenu(window, "Arbeitszeitplan|Gesamtbewertung anzeigen");
    driver->Press(window, AB_GESAMTBEWERTUNG_BUTTON);
    EXPECT_EQ(driver->FindWindow("Gesamtbewertung AZP"), 0);
    driver->Close(window);
}

// With two worksheets open, the shift-type dialogs and the overall rating judge by the pool of the
// worksheet whose window was opened or focused last.
TEST_F(InspektorenTest, EachWorksheetWindowPublishesItsOwnChecker)
{
    CArbeitsblatt& first = sheet(1);
    Sample(first);
    auto& second = *static_cast<CArbeitsblatt*>(projekt().AddArbeitsblatt(ARBEITSBLATT_AZ));
    driver->Start([&] { first.Open(); });
    driver->Start([&] { second.Open(); });
    ASSERT_TRUE(first.IsActive());
    ASSERT_TRUE(second.IsActive());
    auto published = [] {
        Runtime::HostBaton b;
        return GlobalSchichtChecker;
    };
    EXPECT_EQ(published(), &second.GetChecker());
    EXPECT_EQ(published()->FindKriterium(6), second.GetDefinitionspool().GetKriterium(6));
    driver->Post(first.WIN, EVENT_GAIN_FOCUS);
    EXPECT_EQ(published(), &first.GetChecker());
    EXPECT_EQ(published()->FindKriterium(6), first.GetDefinitionspool().GetKriterium(6));
    driver->Post(second.WIN, EVENT_GAIN_FOCUS);
    EXPECT_EQ(published(), &second.GetChecker());
    driver->Close(second.WIN);
    driver->Close(first.WIN);
}

// While one worksheet's plan is optimised, another worksheet's window takes no command and no
// close, and a second search cannot start and end the first one's flag.
TEST_F(InspektorenTest, AnotherWorksheetWaitsWhileAPlanIsOptimised)
{
    CArbeitsblatt& first = sheet(1);
    Sample(first);
    auto& second = *static_cast<CArbeitsblatt*>(projekt().AddArbeitsblatt(ARBEITSBLATT_AZ));
    Sample(second);
    driver->Start([&] { second.Open(); });
    const int window = second.WIN;
    auto running = [](bool on) {
        Runtime::HostBaton b;
        OptimizationRunning = on;
    };
    running(true);   // the first worksheet's search
    driver->ChooseMenu(window, "Ansicht|Bewertungs-Inspektor");
    EXPECT_FALSE(second.IsInspektorOpen(2));
    driver->ChooseMenu(window, "Arbeitszeitplan|Optimieren");
    EXPECT_EQ(driver->FindWindow("Arbeitszeitplan generieren"), 0);
    {
        Runtime::HostBaton b;
        second.OptimizeAZP();
        EXPECT_TRUE(OptimizationRunning);
    }
    driver->Close(window);
    EXPECT_TRUE(second.IsActive());
    running(false);   // the search ended
    driver->ChooseMenu(window, "Ansicht|Bewertungs-Inspektor");
    EXPECT_TRUE(second.IsInspektorOpen(2));
    driver->Close(window);
    EXPECT_FALSE(second.IsActive());
}

// The project closing (or the program ending) while another worksheet's plan is optimised: the
// window keeps the close it was asked for and closes once the search is over, so that the project
// manager waiting for it is not left waiting for ever.
TEST_F(InspektorenTest, AWorksheetAskedToCloseDuringAnotherSearchClosesAfterIt)
{
    CArbeitsblatt& second = *static_cast<CArbeitsblatt*>(projekt().AddArbeitsblatt(ARBEITSBLATT_AZ));
    Sample(second);
    driver->Start([&] { second.Open(); });
    {
        Runtime::HostBaton b;
        OptimizationRunning = true;
        second.CloseRequest();
    }
    driver->WaitIdle();
    EXPECT_TRUE(second.IsActive());
    {
        Runtime::HostBaton b;
        OptimizationRunning = false;
        second.PostToOwner(EventRefresh);   // as the search does when it ends
    }
    driver->WaitIdle();
    EXPECT_FALSE(second.IsActive());
}

} // namespace
