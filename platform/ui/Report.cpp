#include "platform/ui/Report.h"

#include "platform/values/Locale.h"

#include <mutex>
#include <utility>

namespace {
std::mutex printerMutex;
ReportPrinter& Printer()
{
    static ReportPrinter printer;
    return printer;
}

void Number(ReportBand& band, int page)
{
    for (auto& t : band.texts)
        for (size_t at = t.text.find("<#p"); at != std::string::npos; at = t.text.find("<#p"))
            t.text.replace(at, 3, std::to_string(page));
}
} // namespace

double Report::BodyHeight() const
{
    double page = (landscape ? pageWidth : pageHeight) - 2 * margin;
    return page - header.height - footer.height;
}

void Report::Print(const ReportBand& detail)
{
    if (breakPending_ || (used_ > 0 && used_ + detail.height > BodyHeight())) {
        details_.emplace_back();
        used_ = 0;
        breakPending_ = false;
    }
    details_.back().push_back(detail);
    used_ += detail.height;
}

void Report::EndPage() { breakPending_ = true; }

std::vector<ReportPage> Report::Pages() const
{
    std::vector<ReportPage> pages;
    double bottom = (landscape ? pageWidth : pageHeight) - 2 * margin;
    for (size_t i = 0; i < details_.size(); ++i) {
        ReportPage p;
        int number = static_cast<int>(i) + 1;
        PlacedBand h{0, header};
        Number(h.band, number);
        p.bands.push_back(std::move(h));
        double top = header.height;
        for (const ReportBand& d : details_[i]) {
            PlacedBand b{top, d};
            Number(b.band, number);
            p.bands.push_back(std::move(b));
            top += d.height;
        }
        PlacedBand f{bottom - footer.height, footer};
        Number(f.band, number);
        p.bands.push_back(std::move(f));
        pages.push_back(std::move(p));
    }
    return pages;
}

void SetReportPrinter(ReportPrinter printer)
{
    std::lock_guard lk(printerMutex);
    Printer() = std::move(printer);
}

std::string ReportPrint(const Report& report, const std::string& pdfFile)
{
    ReportPrinter printer;
    {
        std::lock_guard lk(printerMutex);
        printer = Printer();
    }
    if (!printer)
        return LocaleMessageOr("Bericht.OhneOberflaeche", "Drucken ist ohne Bildschirmoberfläche nicht möglich.");
    if (report.PageCount() == 0)
        return LocaleMessageOr("Bericht.KeineSeiten", "Der Bericht hat keine Seiten.");
    return printer(report, pdfFile);
}
