// The worksheet as a planner meets it, on a project of one worksheet with 20 shift types, a staff
// demand over its first four weeks, and a working-time plan of 50 groups x 8 weeks:
//   load      the project opened from its file, with the worksheet's first evaluation (goal < 50 ms);
//   window    the worksheet's window opened until its three lists have been drawn once, on the
//             headless driver (the renderer's own drawing has its benchmark) (goal < 100 ms);
//   print     the plan printed to a PDF file: the report built from the grid, then drawn by Qt's
//             PDF writer on the offscreen platform (goal < 1 s).
// A small timing program: prints the median and the slowest of its runs.
//
// varn4.cfg, eba.cfg and deutsch.env are read from VARN_INSTALL_DIR, else from ../app beside it.
#include "core/Files.h"
#include "core/Projektmanager.h"
#include "core/Schicht.h"
#include "platform/headless/HeadlessDriver.h"
#include "platform/qt/ReportPrinting.h"
#include "platform/ui/Runtime.h"
#include "platform/values/Locale.h"
#include "platform/values/Random.h"
#include "plans/AKBData.h"
#include "plans/AZPData.h"
#include "plans/SBPData.h"
#include "plans/Schichttypen.h"
#include "worksheets/AZPEditor.h"
#include "worksheets/AZPGrid.h"
#include "worksheets/AZPReport.h"
#include "worksheets/Arbeitsblatt.h"
#include "worksheets/ArbeitsblattWindow.h"

#include <QGuiApplication>

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

CProjekt& Projekt() { return GlobalProjektmanager.Projekt(); }
CArbeitsblatt& Sheet() { return *static_cast<CArbeitsblatt*>(Projekt().GetArbeitsblatt(1)); }

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void PrintFigure(const char* what, std::vector<double> ms, double goal)
{
    std::sort(ms.begin(), ms.end());
    std::printf("%-8s median %8.2f ms   slowest %8.2f ms   goal < %.0f ms   (%zu runs)\n", what, ms[ms.size() / 2],
                ms.back(), goal, ms.size());
}

// The worksheet: 20 shift types over the day, two persons 06-22 on the first 28 days, and the
// plan's cells drawn at random (one day in four free).
void Fill()
{
    CArbeitsblatt& s = Sheet();
    s.SetBezugsrahmen(8, false);
    std::vector<uint32_t> ids;
    for (int i = 0; i < 20; ++i) {
        CSchicht shift;
        shift.Clear();
        shift.ART = ART_NORMAL;
        shift.BEZEICHNUNG = "Schicht " + std::to_string(i + 1);
        shift.KURZBEZEICHNUNG = std::string(1, char('A' + i));
        const uint32_t from = uint32_t(i) * 72;
        shift.TERMIN = {from, (from + 480) % 1440};
        shift.ClassifyLageByStart();
        s.GetSchichttypen().AddSchicht(shift, true);
        ids.push_back(shift.SYSID);
    }
    s.GetSBP().SyncSchichttypen();
    for (int day = 1; day <= 28; ++day) {
        CAKBEintrag span;
        span.TERMIN = {uint32_t(day - 1) * 1440 + 360, uint32_t(day - 1) * 1440 + 1320};
        span.ANZAHL = 2;
        s.GetAKB().MergeDemand(span, true);
    }
    RandomRestart(7);
    s.GetAZP().SetGroupCount(50);
    for (uint32_t g = 1; g <= 50; ++g)
        for (uint32_t d = 1; d <= 56; ++d)
            if (RandomBetween(0, 3) != 0)
                s.GetAZP().SetCell(d, g, ids[RandomBetween(0, 19)]);
    s.ComputeSBPFromAZP();
    for (ISavable* part : {&s.GetSchichttypen().GetSavable(), &s.GetAKB().GetSavable(), &s.GetSBP().GetSavable(),
                           &s.GetAZP().GetSavable()})
        part->StoreStep();
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const char* env = std::getenv("VARN_INSTALL_DIR");
    const fs::path installed = env ? fs::path(env) : fs::absolute(argv[0]).parent_path() / ".." / "app";
    std::string scratch = (fs::temp_directory_path() / "varnbenchXXXXXX").string();
    if (!::mkdtemp(scratch.data()))
        return 1;
    for (const char* file : {"varn4.cfg", "eba.cfg", "deutsch.env"}) {
        std::error_code ec;
        fs::copy_file(installed / file, fs::path(scratch) / file, ec);
        if (ec) {
            std::fprintf(stderr, "%s fehlt in %s\n", file, installed.c_str());
            return 1;
        }
    }
    fs::current_path(scratch);
    Locale::Load("deutsch.env");
    InitFileAccess();
    NameProgramFiles(scratch);
    RegisterArbeitsblatt();
    const std::string file = scratch + "/Bench.prj";

    std::vector<double> load, window, print;
    {
        HeadlessDriver driver;
        driver.Start([&] {
            Projekt().New(ARBEITSBLATT_AZ);
            Fill();
            Projekt().SetFileName(file);
            Projekt().Save();
        });
        for (int run = 0; run < 20; ++run) {
            driver.Start([&] {
                Projekt().Close();
                const auto t = Clock::now();
                Projekt().SetFileName(file);
                Projekt().Load();
                Sheet().CreateEvaluations();
                load.push_back(Ms(Clock::now() - t));
            });
        }
        // The printed plan: the report as the worksheet's print command builds it.
        static Report printed;
        CAZPEditor::SetPrintReport([](CAZPGrid& grid, const std::string& project, const std::string& sheet) {
            printed = BuildAZPReport(grid, project, sheet, "10.12.2026, 08:00");
        });
        for (int run = 0; run < 10; ++run) {
            const auto t = Clock::now();
            driver.Start([] { Sheet().Open(); });
            const int w = driver.Window("Arbeitszeitblatt");
            for (int list : {AB_AKB_LIST, AB_SBP_LIST, AB_AZP_LIST})
                driver.Paint(w, list);
            window.push_back(Ms(Clock::now() - t));

            const auto p = Clock::now();
            driver.Press(w, AB_PRINT_BUTTON);
            const std::string failed = PrintReportWithQt(printed, scratch + "/plan.pdf", "");
            print.push_back(Ms(Clock::now() - p));
            if (!failed.empty() || printed.PageCount() != 8) {
                std::fprintf(stderr, "Druck: %s (%zu Seiten)\n", failed.c_str(), printed.PageCount());
                return 1;
            }
            driver.Close(w);
        }
        driver.Start([] { Projekt().Close(); });
    }
    PrintFigure("load", load, 50);
    PrintFigure("window", window, 100);
    PrintFigure("print", print, 1000);
    ReleaseFileAccess();
    fs::current_path(fs::temp_directory_path());
    fs::remove_all(scratch);
    return 0;
}
