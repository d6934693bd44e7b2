#pragma once
// The printed working-time plan ("Varn 4 AZP"): one page per week, one line per row of the plan's
// grid with the row's label and the seven days, and while an evaluation is attached the WAZ and
// difference columns. The cell texts are the grid's own, so the printout shows what the grid shows.
#include "platform/ui/Report.h"

#include <string>

class CAZPGrid;

// The report for `grid`. `printedAt` is the footer's date and time text. A week whose rows do not
// fit on one page goes on over further pages, each starting with the day headers again.
Report BuildAZPReport(CAZPGrid& grid, const std::string& projectText, const std::string& sheetText,
                      const std::string& printedAt);

// Prints the plan on the chosen printer; when that fails, says why and offers to save it as a PDF
// file instead. A plan without rows prints nothing and says so. Returns "" when printed or saved,
// else the reason already shown to the user ("" too when the user cancelled).
std::string PrintAZPReport(CAZPGrid& grid, const std::string& projectText, const std::string& sheetText);

// Prints to `pdfFile` without asking (the tests and the learning material use it); "" when done.
std::string PrintAZPReportToPdf(CAZPGrid& grid, const std::string& projectText, const std::string& sheetText,
                                const std::string& pdfFile);
