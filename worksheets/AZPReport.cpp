#include "worksheets/AZPReport.h"

#include "platform/ui/Dialogs.h"
#include "platform/ui/MessageShow.h"
#include "platform/values/Date.h"
#include "platform/values/Picture.h"
#include "plans/AZPData.h"
#include "worksheets/AZPGrid.h"

#include <algorithm>
#include <vector>

namespace {

constexpr double kLineHeight = 12;
constexpr double kHeadHeight = 14;
// Column widths in the list's units: the label, seven days, WAZ and difference.
constexpr double kLabelUnits = 45, kDayUnits = 30, kFigureUnits = 30;
const char* const kDays[7] = {"Mo", "Di", "Mi", "Do", "Fr", "Sa", "So"};

struct Columns {
    std::vector<double> x, w;
};

Columns ColumnsFor(double width, bool figures)
{
    const int days = 7 + (figures ? 2 : 0);
    const double units = kLabelUnits + 7 * kDayUnits + (figures ? 2 * kFigureUnits : 0);
    const double scale = width / units;
    Columns c;
    double x = 0;
    for (int i = 0; i <= days; ++i) {
        const double w = (i == 0 ? kLabelUnits : i <= 7 ? kDayUnits : kFigureUnits) * scale;
        c.x.push_back(x);
        c.w.push_back(w);
        x += w;
    }
    return c;
}

ReportBand Line(const Columns& c, const std::vector<std::string>& texts, double height, bool bold, int fontSize)
{
    ReportBand band;
    band.height = height;
    for (size_t i = 0; i < texts.size() && i < c.x.size(); ++i) {
        ReportText t;
        t.x = c.x[i];
        t.w = c.w[i];
        t.h = height;
        t.text = texts[i];
        t.align = 'C';
        t.bold = bold;
        t.frame = true;
        t.fontSize = fontSize;
        band.texts.push_back(std::move(t));
    }
    return band;
}

ReportText Text(double x, double y, double w, double h, const std::string& text, char align = 'L', int size = 0,
                bool bold = false)
{
    ReportText t;
    t.x = x;
    t.y = y;
    t.w = w;
    t.h = h;
    t.text = text;
    t.align = align;
    t.fontSize = size;
    t.bold = bold;
    return t;
}

int MessageOk(const std::string& caption, const std::string& text, const std::string& buttons = {})
{
    MessageRequest request;
    request.caption = caption;
    request.text = text;
    request.icon = MessageIcon::Exclamation;
    request.buttonTexts = buttons;
    request.defaultButton = buttons.empty() ? 0 : 1;
    return MessageShow(request);
}

} // namespace

Report BuildAZPReport(CAZPGrid& grid, const std::string& projectText, const std::string& sheetText,
                      const std::string& printedAt)
{
    Report report;
    report.title = "Varn 4 AZP";
    report.fontName = "Arial";
    const double width = report.pageWidth - 2 * report.margin;

    report.header.height = 40;
    report.header.texts.push_back(Text(0, 0, width - 80, 16, "Varn-4 Arbeitszeitplan", 'L', 12, true));
    report.header.texts.push_back(Text(width - 80, 0, 80, 14, "Seite <#p", 'R'));
    report.header.texts.push_back(Text(0, 18, width, 14, sheetText.substr(0, 80)));
    report.footer.height = 16;
    report.footer.texts.push_back(Text(0, 4, width / 3, 12, printedAt.substr(0, 40), 'L', 7));
    report.footer.texts.push_back(Text(width / 3, 4, width * 2 / 3, 12, projectText.substr(0, 80), 'R', 7));

    const int weeks = grid.AZP ? std::max(1, int(grid.AZP->GetBezugsrahmen())) : 0;
    const int32_t rows = grid.AZP ? grid.RowCount() : 0;
    const bool figures = grid.AZPBEWERTUNG != nullptr;
    const bool flex = grid.TYP == 2;
    const int fontSize = flex ? 8 : 0;
    const Columns columns = ColumnsFor(width, figures);

    for (int w = 1; w <= weeks && rows > 0; ++w) {
        std::vector<std::string> head{"Gruppe"};
        for (const char* day : kDays)
            head.push_back(flex ? std::string(day) : std::string(day) + "   " + std::to_string(w));
        if (figures) {
            head.push_back("WAZ");
            head.push_back("+/-");
        }
        const ReportBand headBand = Line(columns, head, kHeadHeight, true, fontSize);
        report.EndPage();
        report.Print(headBand);
        double used = headBand.height;
        const int32_t first = 2 + (w - 1) * 10;   // list column of the week's Monday
        for (int32_t r = 1; r <= rows; ++r) {
            std::vector<std::string> texts{grid.ColumnText(r, 1)};
            for (int d = 0; d < 7; ++d)
                texts.push_back(grid.ColumnText(r, first + d));
            if (figures) {
                texts.push_back(grid.ColumnText(r, first + 7));
                texts.push_back(grid.ColumnText(r, first + 8));
            }
            // A week longer than a page goes on with its headers on the next one.
            if (used + kLineHeight > report.BodyHeight()) {
                report.EndPage();
                report.Print(headBand);
                used = headBand.height;
            }
            report.Print(Line(columns, texts, kLineHeight, false, fontSize));
            used += kLineHeight;
        }
    }
    return report;
}

namespace {
std::string PrintedAt()
{
    return FormatPicture(DateToday(), "@D17.") + ", " + FormatPicture(ClockNow(), "@T7");
}

bool NothingToPrint(CAZPGrid& grid)
{
    if (grid.AZP && grid.RowCount() > 0)
        return false;
    MessageOk("Nichts zu drucken", "Der Arbeitszeitplan enthält keine Schichtgruppen. Es wurde nichts gedruckt.");
    return true;
}
} // namespace

std::string PrintAZPReportToPdf(CAZPGrid& grid, const std::string& projectText, const std::string& sheetText,
                                const std::string& pdfFile)
{
    const Report report = BuildAZPReport(grid, projectText, sheetText, PrintedAt());
    return ReportPrint(report, pdfFile);
}

std::string PrintAZPReport(CAZPGrid& grid, const std::string& projectText, const std::string& sheetText)
{
    if (NothingToPrint(grid))
        return "Der Arbeitszeitplan enthält keine Schichtgruppen.";
    Report report = BuildAZPReport(grid, projectText, sheetText, PrintedAt());
    std::string failure = ReportPrint(report);
    if (failure.empty())
        return {};
    // Without a ready printer the plan can still be kept as a PDF file.
    if (MessageOk("Drucken nicht möglich",
                  "Der Arbeitszeitplan konnte nicht gedruckt werden:||" + failure +
                      "||Sie können ihn stattdessen als PDF-Datei speichern.",
                  "Als &PDF speichern|&Abbrechen") != 1)
        return failure;
    std::string file = sheetText.empty() ? std::string("Arbeitszeitplan.pdf") : sheetText + ".pdf";
    std::replace(file.begin(), file.end(), '/', '_');
    if (!FileDialog("Arbeitszeitplan als PDF speichern", file, "PDF-Dateien (*.pdf)|*.pdf", FILE_SAVE | FILE_KEEP_DIR))
        return failure;
    if (file.size() < 4 || file.compare(file.size() - 4, 4, ".pdf") != 0)
        file += ".pdf";
    // The plan kept as a PDF file is shown, as a printout would be seen.
    report.showPdf = true;
    std::string notice;
    failure = ReportPrint(report, file, &notice);
    if (!failure.empty())
        MessageOk("Speichern nicht möglich", "Die PDF-Datei \"" + file + "\" konnte nicht geschrieben werden:||" + failure);
    else if (!notice.empty())
        MessageOk("PDF-Datei gespeichert", "Der Arbeitszeitplan wurde als PDF-Datei gespeichert.|" + notice);
    return failure;
}
