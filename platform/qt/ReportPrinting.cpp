#include "platform/qt/ReportPrinting.h"

#include "platform/qt/Style.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

#include <cerrno>

#include <memory>

using QtStyle::Q;

namespace {

void DrawPage(QPainter& p, const Report& r, const ReportPage& page, double scale)
{
    QFont base = QtStyle::MapFont(r.fontName, r.fontSize);
    for (const PlacedBand& placed : page.bands) {
        double top = placed.top;
        for (const ReportLine& l : placed.band.lines) {
            p.setPen(QPen(Qt::black, l.width * scale));
            p.drawLine(QPointF(l.x1 * scale, (top + l.y1) * scale), QPointF(l.x2 * scale, (top + l.y2) * scale));
        }
        for (const ReportText& t : placed.band.texts) {
            QFont f = base;
            if (t.fontSize > 0)
                f.setPointSizeF(t.fontSize);
            f.setBold(t.bold);
            // Points on a device of `scale` dots per point.
            f.setPixelSize(std::max(1, static_cast<int>((f.pointSizeF() > 0 ? f.pointSizeF() : r.fontSize) * scale)));
            p.setFont(f);
            p.setPen(QPen(Qt::black, 0.5 * scale));
            QRectF rect(t.x * scale, (top + t.y) * scale, t.w * scale, t.h * scale);
            if (t.frame)
                p.drawRect(rect);
            Qt::Alignment a = t.align == 'R' ? Qt::AlignRight : t.align == 'C' ? Qt::AlignHCenter : Qt::AlignLeft;
            p.drawText(rect.adjusted(2 * scale, 0, -2 * scale, 0), static_cast<int>(a | Qt::AlignVCenter | Qt::TextSingleLine), Q(t.text));
        }
    }
}

std::string Draw(QPagedPaintDevice& device, const Report& r)
{
    std::vector<ReportPage> pages = r.Pages();
    QPainter p;
    if (!p.begin(&device))
        return "Der Druck konnte nicht begonnen werden.";
    // The painter's origin is the printable area; our margins count from the paper's edge.
    QRectF full = device.pageLayout().fullRectPoints();
    QRectF paint = device.pageLayout().paintRectPoints();
    double scale = device.logicalDpiX() / 72.0;
    for (size_t i = 0; i < pages.size(); ++i) {
        if (i > 0 && !device.newPage()) {
            p.end();
            return "Die nächste Seite konnte nicht begonnen werden.";
        }
        p.save();
        p.translate((r.margin - (paint.left() - full.left())) * scale, (r.margin - (paint.top() - full.top())) * scale);
        DrawPage(p, r, pages[i], scale);
        p.restore();
    }
    if (!p.end())
        return "Der Druck konnte nicht abgeschlossen werden.";
    return {};
}

// Why the PDF file could not be written: a full disk by name, else Qt's own words.
std::string WriteFailure(const QSaveFile& file)
{
    if (errno == ENOSPC || errno == EDQUOT)
        return "Der Datenträger ist voll.";
    return "Die Datei konnte nicht geschrieben werden: " + QtStyle::S(file.errorString());
}

} // namespace

std::string PrintReportWithQt(const Report& report, const std::string& pdfFile, const std::string& printerName)
{
    QPageLayout layout(QPageSize(QSizeF(report.pageWidth, report.pageHeight), QPageSize::Point),
                       report.landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
    if (!pdfFile.empty()) {
        // Written to a temporary file beside the target that replaces it only when every byte and
        // the end of the painter went well: a full disk leaves the earlier file as it was.
        QSaveFile file(Q(pdfFile));
        if (!file.open(QIODevice::WriteOnly))
            return "Die Datei kann nicht angelegt werden: " + QtStyle::S(file.errorString()) + " (" + pdfFile + ")";
        std::string why;
        {
            QPdfWriter pdf(&file);
            pdf.setTitle(Q(report.title));
            pdf.setCreator(QStringLiteral("Varn 4"));
            pdf.setResolution(300);
            if (!pdf.setPageLayout(layout))
                why = "Das Seitenformat wird nicht unterstützt.";
            if (why.empty())
                why = Draw(pdf, report);
        }
        if (why.empty() && file.error() != QFileDevice::NoError)
            why = WriteFailure(file);
        if (!why.empty()) {
            file.cancelWriting();
            file.commit();
            return why + " (" + pdfFile + ")";
        }
        if (!file.commit())
            return WriteFailure(file) + " (" + pdfFile + ")";
        return {};
    }
    QPrinterInfo info = printerName.empty() ? QPrinterInfo::defaultPrinter() : QPrinterInfo::printerInfo(Q(printerName));
    if (info.isNull())
        return "Es ist kein Drucker eingerichtet.";
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(Q(report.title));
    printer.setPageLayout(layout);
    if (!printer.isValid())
        return "Der Drucker \"" + QtStyle::S(info.printerName()) + "\" ist nicht bereit.";
    return Draw(printer, report);
}

std::string ShowPdfWithQt(const std::string& pdfFile,
                          const std::function<bool(const QString&, const QStringList&, const QString&)>& start)
{
    const QString file = QFileInfo(Q(pdfFile)).absoluteFilePath();
    // The desktop names its program for PDF files; without one the opener would fail unseen.
    bool viewer = false;
    if (!QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty() &&
        !QStandardPaths::findExecutable(QStringLiteral("xdg-mime")).isEmpty()) {
        QProcess query;
        query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("application/pdf")});
        viewer = query.waitForFinished(3000) && query.exitCode() == 0 &&
                 !query.readAllStandardOutput().trimmed().isEmpty();
        if (query.state() != QProcess::NotRunning) {
            query.kill();
            query.waitForFinished(1000);
        }
    }
    if (viewer && start(QStringLiteral("xdg-open"), {file}, QFileInfo(file).absolutePath()))
        return {};
    return "Die PDF-Datei wurde gespeichert unter:|" + QtStyle::S(file) +
           "||Es wurde kein Programm gefunden, das PDF-Dateien anzeigen kann. Öffnen Sie die Datei bei Bedarf "
           "mit einem Programm Ihrer Wahl.";
}
