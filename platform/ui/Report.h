#pragma once
// A printed report as a page model: a header and a footer band on every page, detail bands that
// flow down the pages and break to the next page when one does not fit, and explicit page ends.
// Units are points (1/72 inch) from the page's top left corner inside the margins. The model needs
// no toolkit, so the program builds and tests reports without one; printing is a request that the
// renderer (or the headless driver) answers.
#include <string>
#include <vector>

struct ReportText {
    double x = 0, y = 0, w = 0, h = 0;   // within the band
    std::string text;                    // "<#p" is replaced by the page number
    char align = 'L';                    // L, C or R
    int fontSize = 0;                    // points; 0: the report's size
    bool bold = false;
    bool frame = false;                  // a thin box around the text (list cells)
};

struct ReportLine {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    double width = 0.5;
};

struct ReportBand {
    double height = 0;
    std::vector<ReportText> texts;
    std::vector<ReportLine> lines;
};

struct PlacedBand {
    double top = 0;                      // from the top margin
    ReportBand band;
};

struct ReportPage {
    std::vector<PlacedBand> bands;
};

class Report {
public:
    std::string title;                   // the print job's name
    std::string fontName = "Arial";
    int fontSize = 9;
    bool landscape = false;
    bool showPdf = false;                // a PDF file written is then shown by the desktop's program for PDFs
    double pageWidth = 595, pageHeight = 842, margin = 36;   // A4 in points
    ReportBand header, footer;

    // Adds a detail band below the previous one; a band that does not fit starts a new page.
    void Print(const ReportBand& detail);
    // Ends the page: the next detail band starts a new one (an empty page is never made).
    void EndPage();
    // The laid-out pages, each with the header at its top and the footer at its bottom.
    std::vector<ReportPage> Pages() const;
    size_t PageCount() const { return Pages().size(); }
    double BodyHeight() const;           // room for detail bands on a page

private:
    std::vector<std::vector<ReportBand>> details_;   // per page
    bool breakPending_ = true;
    double used_ = 0;
};

// Prints the report: to the PDF file when `pdfFile` is given, else to the printer chosen in the
// printer set-up. The calling logical thread waits without the baton while the renderer draws the
// pages on its own thread (the headless driver records the report and answers done). Returns ""
// when done, else why not (a German text for the user); off a logical thread or without a
// renderer or driver printing is refused.
// With `report.showPdf` a PDF file that was written is shown; when no program to show it is found,
// `notice` (when given) gets the German words for the planner (where the file is), else stays empty.
std::string ReportPrint(const Report& report, const std::string& pdfFile = {}, std::string* notice = nullptr);
