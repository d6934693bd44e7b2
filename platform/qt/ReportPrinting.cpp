#include "platform/qt/ReportPrinting.h"

#include "platform/qt/DesktopOpener.h"
#include "platform/qt/Style.h"
#include "platform/values/Locale.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <memory>
#include <string>

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

// Why the PDF file could not be written, in the planner's words: from the system's error number,
// since Qt's texts are English.
std::string Cause(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT: return LocaleMessageOr("Bericht.Voll", "Der Datenträger ist voll.");
    case EACCES:
    case EPERM: return LocaleMessageOr("Bericht.KeinRecht", "Sie haben keine Berechtigung, in diesem Ordner zu schreiben.");
    case EROFS: return LocaleMessageOr("Bericht.NurLesen", "Der Datenträger ist schreibgeschützt.");
    case EISDIR: return LocaleMessageOr("Bericht.IstOrdner", "Unter diesem Namen gibt es bereits einen Ordner.");
    case ENOENT:
    case ENOTDIR: return LocaleMessageOr("Bericht.OrdnerFehlt", "Den Ordner gibt es nicht.");
    case ENAMETOOLONG: return LocaleMessageOr("Bericht.NameZuLang", "Der Dateiname ist zu lang.");
    case EIO: return LocaleMessageOr("Bericht.Schreibfehler", "Der Datenträger meldet einen Schreibfehler.");
    default:
        return LocaleMessageOr("Bericht.Systemfehler", "Die Datei konnte nicht geschrieben werden (Systemfehler %1).",
                               {std::to_string(error)});
    }
}

// The PDF file is written beside its target under a name of its own and replaces the target only
// once every byte is on the disk. A full disk often shows only when the last bytes go out, or at
// the sync: any failure leaves the earlier file as it was and no temporary file behind.
class PdfFile {
public:
    explicit PdfFile(std::string target) : target_(std::move(target))
    {
        // A link stays a link: the file it points to is the one replaced.
        if (struct stat st {}; ::lstat(target_.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
            if (char* real = ::realpath(target_.c_str(), nullptr)) {
                target_ = real;
                std::free(real);
            }
    }
    ~PdfFile() { Discard(); }
    PdfFile(const PdfFile&) = delete;
    PdfFile& operator=(const PdfFile&) = delete;

    // Refuses a target that cannot become the file, before anything is drawn; "" or the cause.
    std::string Open()
    {
        bool keepMode = false;
        mode_t mode = 0;
        if (struct stat st {}; ::stat(target_.c_str(), &st) == 0) {
            if (S_ISDIR(st.st_mode))
                return Cause(EISDIR);
            // A file marked read-only is not replaced behind the user's back, though its folder
            // would allow it.
            if ((st.st_mode & 0222) == 0 || (::access(target_.c_str(), W_OK) != 0 && (errno == EACCES || errno == EPERM)))
                return LocaleMessageOr("Bericht.Schreibgeschuetzt", "Die Datei ist schreibgeschützt.");
            keepMode = true;
            mode = st.st_mode & 07777;
        } else if (errno != ENOENT) {
            return Cause(errno);
        }
        static std::atomic<unsigned> serial{0};
        for (int attempt = 0; fd_ < 0; ++attempt) {
            temp_ = target_ + ".~" + std::to_string(::getpid()) + "-" + std::to_string(serial++);
            fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd_ < 0 && (errno != EEXIST || attempt > 100)) {
                const int error = errno;
                temp_.clear();
                return Cause(error);
            }
        }
        // The replaced file's rights stay; a new one has the rights the user's mask gives.
        if (keepMode)
            ::fchmod(fd_, mode);
        return {};
    }

    // Writes `bytes` and puts the file in the target's place; "" or the cause.
    std::string Commit(const QByteArray& bytes)
    {
        const char* at = bytes.constData();
        size_t left = static_cast<size_t>(bytes.size());
        while (left > 0) {
            const ssize_t n = ::write(fd_, at, left);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return Fail(n < 0 ? errno : EIO);
            at += n;
            left -= static_cast<size_t>(n);
        }
        if (::fsync(fd_) != 0 && errno != EINVAL)
            return Fail(errno);
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0 && errno != EINTR)
            return Fail(errno);
        if (::rename(temp_.c_str(), target_.c_str()) != 0)
            return Fail(errno);
        temp_.clear();
        return {};
    }

private:
    std::string Fail(int error)
    {
        Discard();
        return Cause(error);
    }
    void Discard()
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
        if (!temp_.empty())
            ::unlink(temp_.c_str());
        temp_.clear();
    }

    std::string target_, temp_;
    int fd_ = -1;
};

} // namespace

std::string PrintReportWithQt(const Report& report, const std::string& pdfFile, const std::string& printerName)
{
    QPageLayout layout(QPageSize(QSizeF(report.pageWidth, report.pageHeight), QPageSize::Point),
                       report.landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
    if (!pdfFile.empty()) {
        PdfFile file(pdfFile);
        std::string why = file.Open();
        if (!why.empty())
            return why + " (" + pdfFile + ")";
        // Drawn into memory first: the file gets the whole document or nothing.
        QByteArray bytes;
        {
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            QPdfWriter pdf(&buffer);
            pdf.setTitle(Q(report.title));
            pdf.setCreator(QStringLiteral("Varn 4"));
            pdf.setResolution(300);
            if (!pdf.setPageLayout(layout))
                why = "Das Seitenformat wird nicht unterstützt.";
            if (why.empty())
                why = Draw(pdf, report);
        }
        if (why.empty())
            why = file.Commit(bytes);
        return why.empty() ? why : why + " (" + pdfFile + ")";
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
    const std::string why = ShowFileWithDesktop(file, QFileInfo(file).absolutePath(), start);
    return why.empty() ? why : "Die PDF-Datei wurde gespeichert unter:|" + QtStyle::S(file) + "||" + why;
}
