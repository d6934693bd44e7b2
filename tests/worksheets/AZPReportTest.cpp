// The printed working-time plan: a page per week with the grid's own texts, the weekly figures only
// while an evaluation is attached, and a week too long for one page going on with its headers.
#include "worksheets/AZPReport.h"

#include "../assessment/BewertungTestSupport.h"
#include "GridWindowSupport.h"

#include "platform/headless/HeadlessDriver.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"
#include "worksheets/AZPGrid.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace bewertungtest;

namespace {

class AZPReportTest : public ::testing::Test {
protected:
    void Open(const std::vector<std::string>& rows)
    {
        letters.Set(rows);
        GridWindow::grid = &grid;
        GridWindow::plan = &letters.plan;
        driver.Start(GridWindow::Main);
        w = driver.Window("Plan");
    }
    void TearDown() override
    {
        if (w) {
            driver.Close(w);
            driver.WaitEnd();
        }
    }
    Report Build()
    {
        Runtime::HostBaton baton;
        return BuildAZPReport(grid, "/daten/Station.prj", "Station 3", "10.12.2026, 08:15");
    }
    // The texts of a band, left to right.
    static std::vector<std::string> Texts(const PlacedBand& band)
    {
        std::vector<std::string> t;
        for (const ReportText& x : band.band.texts)
            t.push_back(x.text);
        return t;
    }

    LetterPlan letters;
    CAZPBewertung evaluation;
    CAZPGrid grid;
    HeadlessDriver driver;
    int w = 0;
};

TEST_F(AZPReportTest, APageAWeekWithTheGridsTexts)
{
    Open({"FFSSN..FFSSN..FFSSN..", "SSNN..F.SSNN..F.....F", ".FFSSNN.FFSSNN.FFSSNN", "NN..FFSNN..FFSNN..FFS"});
    const std::vector<ReportPage> pages = Build().Pages();
    ASSERT_EQ(pages.size(), 3u);
    for (size_t p = 0; p < 3; ++p) {
        SCOPED_TRACE(p);
        // Header, the day headers, four groups, footer.
        ASSERT_EQ(pages[p].bands.size(), 7u);
        const std::string week = std::to_string(p + 1);
        EXPECT_EQ(Texts(pages[p].bands[1]), (std::vector<std::string>{"Gruppe", "Mo   " + week, "Di   " + week,
                                                                        "Mi   " + week, "Do   " + week, "Fr   " + week,
                                                                        "Sa   " + week, "So   " + week}));
        EXPECT_EQ(Texts(pages[p].bands[0])[1], "Seite " + std::to_string(p + 1));
    }
    EXPECT_EQ(Texts(pages[0].bands[0])[2], "Station 3");
    EXPECT_EQ(Texts(pages[0].bands.back()), (std::vector<std::string>{"10.12.2026, 08:15", "/daten/Station.prj"}));
    // Group 2 in week 2: ".SSNN.." - a free day prints as an empty cell.
    EXPECT_EQ(Texts(pages[1].bands[3]), (std::vector<std::string>{"Gruppe 2", "", "S", "S", "N", "N", "", ""}));
}

TEST_F(AZPReportTest, WeeklyFiguresOnlyWithAnEvaluation)
{
    Open({"FFFFF..", "SSSSS.."});
    EXPECT_EQ(Build().Pages()[0].bands[2].band.texts.size(), 8u);
    {
        Runtime::HostBaton baton;
        evaluation.Evaluate(letters.plan);
        grid.SetEvaluation(evaluation);
    }
    driver.WaitIdle();
    const std::vector<ReportPage> pages = Build().Pages();
    const std::vector<std::string> head = Texts(pages[0].bands[1]);
    ASSERT_EQ(head.size(), 10u);
    EXPECT_EQ(head[8], "WAZ");
    EXPECT_EQ(head[9], "+/-");
    // The week's figures as the grid shows them.
    EXPECT_EQ(Texts(pages[0].bands[2])[8], driver.Cell(w, 1, 1, 9));
    EXPECT_EQ(Texts(pages[0].bands[2])[9], driver.Cell(w, 1, 1, 10));
    // Every column stays inside the page.
    const Report r = Build();
    const std::vector<ReportPage> laid = r.Pages();
    const ReportText& last = laid[0].bands[2].band.texts.back();
    EXPECT_LE(last.x + last.w, r.pageWidth - 2 * r.margin + 0.01);
}

TEST_F(AZPReportTest, AWeekLongerThanAPageRepeatsItsDayHeaders)
{
    std::vector<std::string> rows(80, "FFSSN..");
    Open(rows);
    const std::vector<ReportPage> pages = Build().Pages();
    ASSERT_EQ(pages.size(), 2u);
    size_t lines = 0;
    for (const ReportPage& p : pages) {
        EXPECT_EQ(Texts(p.bands[1])[1], "Mo   1");
        lines += p.bands.size() - 3;
    }
    EXPECT_EQ(lines, 80u);
    EXPECT_EQ(Texts(pages[1].bands[2])[0], "Gruppe " + std::to_string(80 - (pages[1].bands.size() - 3) + 1));
}

TEST_F(AZPReportTest, APlanWithoutGroupsIsNotPrinted)
{
    Open({});
    EXPECT_EQ(Build().PageCount(), 0u);
}

} // namespace
