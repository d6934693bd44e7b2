// Printing under the headless driver: the report is recorded as it would have been printed, and the
// asking thread hears "done" after waiting without the baton.
#include "platform/headless/HeadlessDriver.h"
#include "platform/ui/Report.h"
#include "platform/ui/Runtime.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Three pages, one group line each, numbered in the header.
Report Weeks()
{
    Report r;
    r.title = "Varn 4 AZP";
    r.header.height = 20;
    r.header.texts.push_back({0, 0, 100, 12, "Seite <#p", 'R', 0, false, false});
    for (int week = 1; week <= 3; ++week) {
        ReportBand b;
        b.height = 12;
        b.texts.push_back({0, 0, 100, 12, "Gruppe " + std::to_string(week), 'L', 0, false, true});
        r.Print(b);
        r.EndPage();
    }
    return r;
}

TEST(ReportPrintTest, TheDriverRecordsWhatWouldHaveBeenPrinted)
{
    static std::vector<std::string> results;
    static std::vector<std::string> trace;     // written by the baton holder only
    results.clear();
    trace.clear();
    HeadlessDriver d;
    d.Start([] {
        int other = ThreadStart([](const std::string&) {
            trace.push_back("anderer Thread läuft");
            EventWait();
        });
        trace.push_back("Druck beginnt");
        {
            Report r = Weeks();
            results.push_back(ReportPrint(r, "plan.pdf"));
        }   // the driver's record outlives the program's report
        trace.push_back("Druck fertig");
        results.push_back(ReportPrint(Weeks()));
        results.push_back(ReportPrint(Report(), "leer.pdf"));
        EventPost(EVENT_CLOSE_DOWN, 0, other);
    });
    d.WaitEnd();
    // The other thread ran while the first print was pending.
    EXPECT_EQ(trace, (std::vector<std::string>{"Druck beginnt", "anderer Thread läuft", "Druck fertig"}));
    EXPECT_EQ(results, (std::vector<std::string>{"", "", "Der Bericht hat keine Seiten."}));
    // An empty report never reaches the driver.
    const std::vector<PrintRecord>& prints = d.Prints();
    ASSERT_EQ(prints.size(), 2u);
    EXPECT_EQ(prints[0].pdfFile, "plan.pdf");
    EXPECT_EQ(prints[1].pdfFile, "");
    EXPECT_EQ(prints[0].thread, 1);
    EXPECT_EQ(prints[0].report.title, "Varn 4 AZP");
    std::vector<ReportPage> pages = prints[0].report.Pages();
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[2].bands[0].band.texts[0].text, "Seite 3");
    EXPECT_EQ(pages[1].bands[1].band.texts[0].text, "Gruppe 2");
}

} // namespace
