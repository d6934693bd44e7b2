// Reports: the page model's flow and page numbers, and printing it to a PDF file from a logical
// thread: a request that the renderer draws on the main thread while the asking thread waits.
#include "QtTestSupport.h"

#include "platform/ui/Report.h"
#include "platform/qt/ReportPrinting.h"
#include "FullDisk.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <gtest/gtest.h>

#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

using namespace qttest;

namespace {

ReportBand Line(const std::string& group, double height = 12)
{
    ReportBand b;
    b.height = height;
    b.texts.push_back({0, 0, 45, height, group, 'C', 0, false, true});
    for (int d = 0; d < 7; ++d)
        b.texts.push_back({45.0 + 30 * d, 0, 30, height, d % 2 ? "F" : "", 'C', 0, false, true});
    return b;
}

// A plan of `weeks` weeks and `groups` lines, one page per week, as the printed plan is made.
Report Plan(int weeks, int groups)
{
    Report r;
    r.title = "Varn 4 AZP";
    r.header.height = 40;
    r.header.texts.push_back({0, 0, 300, 16, "Varn-4 Arbeitszeitplan", 'L', 12, true, false});
    r.header.texts.push_back({400, 0, 100, 16, "Seite <#p", 'R', 0, false, false});
    r.footer.height = 14;
    r.footer.texts.push_back({0, 0, 300, 12, "plan.prj", 'L', 0, false, false});
    r.footer.lines.push_back({0, 0, 520, 0, 0.5});
    for (int w = 1; w <= weeks; ++w) {
        for (int g = 1; g <= groups; ++g)
            r.Print(Line("Gruppe " + std::to_string(g)));
        r.EndPage();
    }
    return r;
}

std::string PageNumberText(const ReportPage& page)
{
    return page.bands.front().band.texts[1].text;
}

TEST(ReportTest, WeeksMakePagesWithNumbersAndBandsFlowOver)
{
    Report r = Plan(3, 4);
    std::vector<ReportPage> pages = r.Pages();
    ASSERT_EQ(pages.size(), 3u);
    for (size_t i = 0; i < pages.size(); ++i) {
        EXPECT_EQ(PageNumberText(pages[i]), "Seite " + std::to_string(i + 1));
        EXPECT_EQ(pages[i].bands.size(), 1u + 4u + 1u);      // header, four lines, footer
        EXPECT_DOUBLE_EQ(pages[i].bands[1].top, 40);          // below the header
        EXPECT_DOUBLE_EQ(pages[i].bands.back().top, 842 - 72 - 14);   // footer at the bottom
    }
    // More lines than a page holds go on to the next page; no empty page is made.
    Report tall;
    tall.header.height = 40;
    tall.footer.height = 14;
    int perPage = static_cast<int>(tall.BodyHeight() / 12);
    for (int i = 0; i < perPage + 1; ++i)
        tall.Print(Line("x"));
    tall.EndPage();
    tall.EndPage();
    EXPECT_EQ(tall.PageCount(), 2u);
    EXPECT_EQ(Report().PageCount(), 0u);
}

TEST(ReportTest, WithoutARendererPrintingIsRefusedPlainly)
{
    // No host and no logical thread: nobody can draw, and nothing is written.
    QFile::remove(QStringLiteral("nie.pdf"));
    EXPECT_EQ(ReportPrint(Plan(1, 1), "nie.pdf"), "Drucken ist ohne Bildschirmoberfläche nicht möglich.");
    EXPECT_FALSE(QFile::exists(QStringLiteral("nie.pdf")));
    EXPECT_EQ(ReportPrint(Report(), "nie.pdf"), "Der Bericht hat keine Seiten.");
}

TEST(ReportTest, ALogicalThreadPrintsToAPdfFile)
{
    App();
    QDir().mkpath(QStringLiteral("screens"));
    static std::string path, result;
    path = QDir(QStringLiteral("screens")).absoluteFilePath(QStringLiteral("arbeitszeitplan.pdf")).toStdString();
    QFile::remove(QString::fromStdString(path));
    result = "(nicht gedruckt)";
    {
        Renderer renderer;
        renderer.Start([] { result = ReportPrint(Plan(3, 4), path); });
        ASSERT_TRUE(renderer.Settle());
        EXPECT_TRUE(renderer.Ended());
    }
    EXPECT_EQ(result, "");
    QFile f(QString::fromStdString(path));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QByteArray pdf = f.readAll();
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    // One page object per week.
    int pages = 0;
    for (qsizetype at = pdf.indexOf("/Type /Page"); at >= 0; at = pdf.indexOf("/Type /Page", at + 1))
        if (pdf.mid(at + 11, 1) != "s")
            ++pages;
    EXPECT_EQ(pages, 3);
    // A file that cannot be written is reported, not a crash.
    {
        Renderer renderer;
        renderer.Start([] { result = ReportPrint(Plan(1, 1), "/nicht/vorhanden/ordner/plan.pdf"); });
        ASSERT_TRUE(renderer.Settle());
    }
    EXPECT_FALSE(result.empty());
}

TEST(ReportTest, OtherThreadsRunWhileTheRendererPrints)
{
    App();
    static std::atomic<int> helper{0}, reacted{0};
    static std::string done, failed;
    helper = 0;
    reacted = 0;
    done = failed = "(nicht gedruckt)";
    constexpr int PING = 0x500, STOP = 0x501;
    bool onMainThread = true, othersRan = true;
    std::vector<std::string> printed;
    Renderer::Options o;
    o.print = [&](const Report& r, const std::string& pdf, const std::string&) -> std::string {
        onMainThread = onMainThread && QThread::currentThread() == App().thread();
        printed.push_back(pdf + ":" + std::to_string(r.PageCount()));
        // Neither the asking thread nor the renderer holds the baton while the pages are drawn:
        // another thread takes its event meanwhile.
        int before = reacted;
        EventPost(PING, 0, helper);
        QElapsedTimer clock;
        clock.start();
        while (reacted == before && clock.elapsed() < 3000)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        othersRan = othersRan && reacted > before;
        return pdf == "schreibgeschuetzt.pdf" ? "Die Datei ist schreibgeschützt." : "";
    };
    {
        Renderer renderer(o);
        renderer.Start([] {
            helper = ThreadStart([](const std::string&) {
                while (EventWait().code == PING)
                    ++reacted;
            });
            done = ReportPrint(Plan(2, 3), "plan.pdf");
            failed = ReportPrint(Plan(1, 1), "schreibgeschuetzt.pdf");
            EventPost(STOP, 0, helper);
        });
        ASSERT_TRUE(renderer.Settle());
        EXPECT_TRUE(renderer.Ended());
    }
    EXPECT_TRUE(onMainThread);
    EXPECT_TRUE(othersRan);
    EXPECT_EQ(printed, (std::vector<std::string>{"plan.pdf:2", "schreibgeschuetzt.pdf:1"}));
    EXPECT_EQ(done, "");
    EXPECT_EQ(failed, "Die Datei ist schreibgeschützt.");
}

std::string ReadFile(const std::string& path)
{
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string("(nicht lesbar)");
}

void WriteFile(const std::string& path, const std::string& text)
{
    QFile f(QString::fromStdString(path));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text.data(), static_cast<qint64>(text.size()));
}

QStringList FilesIn(const std::string& dir)
{
    return QDir(QString::fromStdString(dir)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

// A PDF that does not fit on the disk - one page or several, no room at all, some room, or room
// for all but its last byte - is told as not written, and an earlier PDF of that name stays as it
// was; no temporary file is left. Qt writes a small document only when the file is closed: the
// failure there counts as much as one on the way.
TEST(ReportTest, APdfThatDoesNotFitIsToldAndTheEarlierFileStays)
{
    App();
    const std::string dir = QDir(QStringLiteral("screens")).absoluteFilePath(QStringLiteral("klein")).toStdString();
    QDir(QString::fromStdString(dir)).removeRecursively();
    QDir().mkpath(QString::fromStdString(dir));
    const std::string path = dir + "/plan.pdf";
    // A small page, a full page, six full pages.
    for (const auto& [weeks, groups] : {std::pair{1, 4}, std::pair{1, 40}, std::pair{6, 40}}) {
        // The document's size, from a disk with room.
        QFile::remove(QString::fromStdString(path));
        ASSERT_EQ(PrintReportWithQt(Plan(weeks, groups), path, ""), "");
        const size_t size = ReadFile(path).size();
        ASSERT_GT(size, 4096u);
        for (const size_t free : {size_t(0), size_t(4096), size - 1}) {
            SCOPED_TRACE(std::to_string(weeks) + " Seite(n) mit " + std::to_string(groups) + " Zeilen, " +
                         std::to_string(free) + " von " + std::to_string(size) + " Bytes frei");
            WriteFile(path, "alte Fassung");
            std::string why;
            {
                FullDisk disk(dir, free);
                why = PrintReportWithQt(Plan(weeks, groups), path, "");
                EXPECT_GT(disk.Refused(), 0u) << "the disk was never met";
            }
            EXPECT_EQ(why, "Der Datenträger ist voll. (" + path + ")");
            EXPECT_EQ(ReadFile(path).substr(0, 20), "alte Fassung");
            EXPECT_EQ(FilesIn(dir), QStringList{QStringLiteral("plan.pdf")});
        }
        // With room the PDF replaces the earlier one.
        {
            FullDisk disk(dir, size);
            EXPECT_EQ(PrintReportWithQt(Plan(weeks, groups), path, ""), "");
        }
        EXPECT_EQ(ReadFile(path).substr(0, 4), "%PDF");
        EXPECT_EQ(ReadFile(path).size(), size);
    }
}

// Permissions are checked as an ordinary user would meet them: root writes anywhere, so a test
// run as root checks files on this thread as "nobody".
class AsOrdinaryUser {
public:
    AsOrdinaryUser()
    {
        if (::geteuid() != 0)
            return;
        ::setfsgid(65534);
        ::setfsuid(65534);
        dropped_ = ::setfsuid(static_cast<uid_t>(-1)) == 65534;
    }
    ~AsOrdinaryUser()
    {
        if (::geteuid() != 0)
            return;
        ::setfsuid(0);
        ::setfsgid(0);
    }
    bool Ordinary() const { return ::geteuid() != 0 || dropped_; }

private:
    bool dropped_ = false;
};

// A PDF that may not be written is refused with its cause in German (never Qt's English), and
// whatever was there before stays as it was.
TEST(ReportTest, APdfThatMayNotBeWrittenIsRefusedWithItsCauseInGerman)
{
    App();
    const std::string root = QDir(QStringLiteral("screens")).absoluteFilePath(QStringLiteral("verweigert")).toStdString();
    struct Case {
        const char* name;
        const char* target;                     // below `root`
        std::function<void(const std::string&)> prepare;   // gets the folder the target is in
        const char* cause;
    };
    const Case cases[] = {
        {"schreibgeschützte Datei", "a/plan.pdf",
         [](const std::string& d) {
             WriteFile(d + "/plan.pdf", "alte Fassung");
             ::chmod((d + "/plan.pdf").c_str(), 0444);
         },
         "Die Datei ist schreibgeschützt."},
        {"Ordner ohne Schreibrecht", "b/plan.pdf",
         [](const std::string& d) {
             WriteFile(d + "/plan.pdf", "alte Fassung");
             ::chmod((d + "/plan.pdf").c_str(), 0666);
             ::chmod(d.c_str(), 0555);
         },
         "Sie haben keine Berechtigung, in diesem Ordner zu schreiben."},
        {"Ordner mit dem Namen der Datei", "c/plan.pdf",
         [](const std::string& d) {
             QDir().mkpath(QString::fromStdString(d + "/plan.pdf"));
             WriteFile(d + "/plan.pdf/drin.txt", "alte Fassung");
         },
         "Unter diesem Namen gibt es bereits einen Ordner."},
        {"Ordner fehlt", "d/fehlt/plan.pdf", [](const std::string&) {}, "Den Ordner gibt es nicht."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string target = root + "/" + c.target;
        const std::string dir = QFileInfo(QString::fromStdString(target)).absolutePath().toStdString();
        QDir(QString::fromStdString(root)).removeRecursively();
        QDir().mkpath(QString::fromStdString(root + "/" + std::string(c.target).substr(0, 1)));
        ::chmod(root.c_str(), 0755);
        ::chmod((root + "/" + std::string(c.target).substr(0, 1)).c_str(), 0755);
        c.prepare(dir);
        const QStringList before = FilesIn(dir);
        std::string why;
        {
            AsOrdinaryUser user;
            ASSERT_TRUE(user.Ordinary()) << "root here cannot check files as another user";
            why = PrintReportWithQt(Plan(1, 4), target, "");
        }
        EXPECT_EQ(why, std::string(c.cause) + " (" + target + ")");
        for (const char* english : {"writable", "denied", "directory", "exist"})
            EXPECT_EQ(why.find(english), std::string::npos) << why;
        EXPECT_EQ(FilesIn(dir), before);
        const QFileInfo there(QString::fromStdString(target));
        if (there.isFile()) {
            EXPECT_EQ(ReadFile(target), "alte Fassung");
        } else if (there.isDir()) {
            EXPECT_EQ(ReadFile(target + "/drin.txt"), "alte Fassung");
        }
        ::chmod(dir.c_str(), 0755);
    }
    QDir(QString::fromStdString(root)).removeRecursively();
}

// A PDF written through a link replaces the file the link points to; the link stays.
TEST(ReportTest, APdfWrittenThroughALinkReplacesTheLinkedFile)
{
    App();
    const std::string dir = QDir(QStringLiteral("screens")).absoluteFilePath(QStringLiteral("verweis")).toStdString();
    QDir(QString::fromStdString(dir)).removeRecursively();
    QDir().mkpath(QString::fromStdString(dir));
    WriteFile(dir + "/echt.pdf", "alte Fassung");
    ASSERT_EQ(::symlink("echt.pdf", (dir + "/plan.pdf").c_str()), 0);
    EXPECT_EQ(PrintReportWithQt(Plan(1, 4), dir + "/plan.pdf", ""), "");
    EXPECT_TRUE(QFileInfo(QString::fromStdString(dir + "/plan.pdf")).isSymLink());
    EXPECT_EQ(ReadFile(dir + "/echt.pdf").substr(0, 4), "%PDF");
    EXPECT_EQ(FilesIn(dir), (QStringList{QStringLiteral("echt.pdf"), QStringLiteral("plan.pdf")}));
    QDir(QString::fromStdString(dir)).removeRecursively();
}

// A PDF written to be seen is handed to the desktop's program for PDFs; where none is found the
// planner is told where the file is and that nothing could show it. The desktop's tools are
// small scripts on a PATH of the test's own.
TEST(ReportTest, AShownPdfGoesToTheDesktopsViewerOrTheNoticeSaysWhereItIs)
{
    App();
    const QString tools = QDir(QStringLiteral("screens")).absoluteFilePath(QStringLiteral("werkzeuge"));
    QDir(tools).removeRecursively();
    QDir().mkpath(tools);
    const QByteArray path = qgetenv("PATH");
    const std::string pdf = QDir(QStringLiteral("screens")).absoluteFilePath(QStringLiteral("gezeigt.pdf")).toStdString();
    struct Case {
        const char* name;
        const char* mimeAnswer;   // what "xdg-mime query default application/pdf" prints; nullptr: no xdg-mime
        bool shown;
    };
    for (const Case& c : {Case{"kein xdg-mime", nullptr, false}, Case{"kein Programm für PDF", "", false},
                          Case{"ein Betrachter", "betrachter.desktop", true}}) {
        SCOPED_TRACE(c.name);
        QFile::remove(tools + QStringLiteral("/xdg-mime"));
        QFile::remove(tools + QStringLiteral("/xdg-open"));
        for (const auto& [name, body] : {std::pair{QStringLiteral("xdg-open"), QByteArray("#!/bin/sh\nexit 0\n")},
                                         std::pair{QStringLiteral("xdg-mime"),
                                                   QByteArray("#!/bin/sh\necho ") + (c.mimeAnswer ? c.mimeAnswer : "") + "\n"}}) {
            if (name == QStringLiteral("xdg-mime") && !c.mimeAnswer)
                continue;
            QFile script(tools + QLatin1Char('/') + name);
            ASSERT_TRUE(script.open(QIODevice::WriteOnly));
            script.write(body);
            script.close();
            script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        qputenv("PATH", tools.toUtf8());
        std::vector<std::string> started;
        const std::string notice = ShowPdfWithQt(pdf, [&](const QString& program, const QStringList& args, const QString&) {
            started.push_back(program.toStdString() + " " + args.join(QLatin1Char(' ')).toStdString());
            return true;
        });
        qputenv("PATH", path);
        if (c.shown) {
            EXPECT_EQ(notice, "");
            EXPECT_EQ(started, std::vector<std::string>{"xdg-open " + pdf});
        } else {
            EXPECT_TRUE(started.empty());
            EXPECT_NE(notice.find(pdf), std::string::npos) << notice;
            EXPECT_NE(notice.find("kein Programm gefunden, das PDF-Dateien anzeigen kann"), std::string::npos) << notice;
        }
    }
    QDir(tools).removeRecursively();
}

} // namespace
