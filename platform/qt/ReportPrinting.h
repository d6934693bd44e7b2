#pragma once
// Draws a report's pages with Qt: to a PDF file, or to a printer. The renderer calls it on the main
// thread for a logical thread's print request (ReportPrint), without holding the baton.
#include "platform/ui/Report.h"

#include <string>

// `printerName` empty: the system's default printer. Returns "" when done, else a German text.
std::string PrintReportWithQt(const Report& report, const std::string& pdfFile, const std::string& printerName);
