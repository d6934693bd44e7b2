#pragma once
// Draws a report's pages with Qt: to a PDF file, or to a printer. QPainter may draw on these
// devices off the GUI thread, so the asking logical thread prints itself while it holds the baton.
#include "platform/ui/Report.h"

#include <string>

// `printerName` empty: the system's default printer. Returns "" when done, else a German text.
std::string PrintReportWithQt(const Report& report, const std::string& pdfFile, const std::string& printerName);
