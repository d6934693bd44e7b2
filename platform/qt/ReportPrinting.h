#pragma once
// Draws a report's pages with Qt: to a PDF file, or to a printer. The renderer calls it on the main
// thread for a logical thread's print request (ReportPrint), without holding the baton.
#include "platform/ui/Report.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <string>

// `printerName` empty: the system's default printer. Returns "" when done, else a German text.
std::string PrintReportWithQt(const Report& report, const std::string& pdfFile, const std::string& printerName);

// Shows a written PDF file with the desktop's program for PDF files (`start` starts a detached
// program). "" when it was handed over; else the notice for the planner: where the file was
// written and that no program to show it was found.
std::string ShowPdfWithQt(const std::string& pdfFile,
                          const std::function<bool(const QString&, const QStringList&, const QString&)>& start);
