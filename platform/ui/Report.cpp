#include "platform/ui/Report.h"

#include "platform/ui/Runtime.h"
#include "platform/values/Locale.h"

#include <utility>

namespace {
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

std::string ReportPrint(const Report& report, const std::string& pdfFile, std::string* notice)
{
    if (notice)
        notice->clear();
    if (report.PageCount() == 0)
        return LocaleMessageOr("Bericht.KeineSeiten", "Der Bericht hat keine Seiten.");
    UiRequest r;
    r.kind = UiRequest::Kind::Print;
    r.report = &report;
    r.fileName = pdfFile;
    // Without a renderer or driver nothing can draw the pages.
    RequestAndWait(r, [](UiRequest& q) {
        q.answer = 1;
        q.answerText = LocaleMessageOr("Bericht.OhneOberflaeche", "Drucken ist ohne Bildschirmoberfläche nicht möglich.");
    });
    // Done: the answer's text is a notice then (the PDF could not be shown).
    if (r.answer == 0) {
        if (notice)
            *notice = r.answerText;
        return {};
    }
    return r.answerText.empty() ? "Der Bericht wurde nicht gedruckt." : r.answerText;
}
