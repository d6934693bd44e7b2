// makeguide: turns the learning material's HTML source into lernunterlage.pdf at build time. Its
// pictures are taken of the program's own windows, offscreen, on a sample worksheet: a welcome
// window, the worksheet window with a two-week rota, and the list of shift types.
//
//     makeguide <source.html> <program folder> <output.pdf>
//
// The program folder holds the installed files (varn4.cfg, eba.cfg, deutsch.env, data/); the windows
// are opened in a scratch copy of it, so the build never writes settings there.
#include "app/Program.h"
#include "app/SampleShifts.h"
#include "app/WindowPictures.h"
#include "assessment/SchichttypDialoge.h"
#include "core/Files.h"
#include "core/MessageDialog.h"
#include "core/Projektmanager.h"
#include "core/Startup.h"
#include "platform/fw/FwFileManager.h"
#include "platform/qt/Renderer.h"
#include "platform/values/Locale.h"
#include "plans/AKBData.h"
#include "plans/AZPData.h"
#include "plans/SBPData.h"
#include "plans/Schichttypen.h"
#include "worksheets/Arbeitsblatt.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>
#include <QWidget>

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace fs = std::filesystem;

namespace {

void Files(const std::string& folder)
{
    Locale::Load("deutsch.env");
    InitFileAccess();
    NameProgramFiles(folder);
    InstallMessageDialog(true);
}

CArbeitsblatt& Sheet() { return *static_cast<CArbeitsblatt*>(GlobalProjektmanager.Projekt().GetArbeitsblatt(1)); }

// A worksheet of two weeks: early, late and night shifts 24/7 for two persons, and a forward
// rotating rota of six groups that covers them.
void SampleWorksheet(const std::string& folder)
{
    Files(folder);
    InstallSchichttypDialoge();
    GlobalProjektmanager.Projekt().New(ARBEITSBLATT_AZ);
    CArbeitsblatt& s = Sheet();
    s.SetBezugsrahmen(2, false);
    const std::map<char, uint32_t> ids = AddSampleShifts(s);
    // Two early, two late, two nights, then free: each group starts the cycle a day later.
    const std::string cycle = "FFSSNN------";
    s.GetAZP().SetGroupCount(6);
    for (uint32_t g = 1; g <= 6; ++g)
        for (uint32_t d = 1; d <= 14; ++d) {
            const char c = cycle[(d - 1 + 2 * (g - 1)) % cycle.size()];
            if (c != '-')
                s.GetAZP().SetCell(d, g, ids.at(c));
        }
    s.ComputeSBPFromAZP();
    for (ISavable* part : {&s.GetSchichttypen().GetSavable(), &s.GetAKB().GetSavable(), &s.GetSBP().GetSavable(),
                           &s.GetAZP().GetSavable()})
        part->StoreStep();
    s.Open();
}

struct Picture {
    const char* name;
    std::function<void(const std::string& folder)> open;   // on the program's thread
    const char* title;                                     // the window to picture
};

// Opens the windows of `picture` on a fresh run and grabs the one titled so once the renderer has
// settled it; a null image when it did not show within ten seconds.
QImage Take(const Picture& picture, const std::string& folder)
{
    auto renderer = std::make_unique<Renderer>();
    renderer->Start([&] { picture.open(folder); });
    QImage image;
    if (const int window = SettledWindow(*renderer, picture.title, 10000))
        image = renderer->WindowWidget(window)->window()->grab().toImage();
    EndPictureRun(renderer);
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "Aufruf: makeguide <quelle.html> <programmordner> <ausgabe.pdf>\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    InstallQtGerman(app);

    QFile source(QString::fromLocal8Bit(argv[1]));
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "makeguide: %s lässt sich nicht lesen\n", argv[1]);
        return 1;
    }
    const QString html = QString::fromUtf8(source.readAll());

    // A scratch copy of the program folder: the windows' settings land there, not in the build.
    std::string scratch = (fs::temp_directory_path() / "varnguideXXXXXX").string();
    if (!::mkdtemp(scratch.data()))
        return 1;
    std::error_code ec;
    fs::copy(argv[2], scratch, fs::copy_options::recursive | fs::copy_options::skip_existing, ec);
    for (const char* file : {"varn4", "makeguide", "lernunterlage.pdf"})
        fs::remove(fs::path(scratch) / file, ec);
    const fs::path previous = fs::current_path();
    fs::current_path(scratch);
    RegisterLayers();

    const Picture pictures[] = {
        {"willkommen", [](const std::string&) { ProgramMain(); }, "Willkommen bei Varn-4"},
        {"arbeitsblatt", SampleWorksheet, "Arbeitszeitblatt"},
        {"schichttypen", [](const std::string& folder) { SampleWorksheet(folder); Sheet().EditSchichttypen(); },
         "Schichttypen"},
    };
    QTextDocument document;
    int failures = 0;
    for (const Picture& p : pictures) {
        const QImage image = Take(p, scratch);
        if (image.isNull()) {
            std::fprintf(stderr, "makeguide: das Fenster \"%s\" erschien nicht\n", p.title);
            ++failures;
            continue;
        }
        document.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("bild:") + QString::fromLatin1(p.name)),
                             image);
    }
    SetArbeitsblattFactory(nullptr);
    fs::current_path(previous);
    fs::remove_all(scratch, ec);

    document.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 10));
    document.setHtml(html);
    QPdfWriter pdf(QString::fromLocal8Bit(argv[3]));
    pdf.setTitle(QStringLiteral("Varn 4 – Lernunterlage"));
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(20, 20, 20, 20),
                                  QPageLayout::Millimeter));
    document.print(&pdf);
    if (failures != 0 || !QFile::exists(QString::fromLocal8Bit(argv[3]))) {
        std::fprintf(stderr, "makeguide: %s wurde nicht vollständig erstellt\n", argv[3]);
        return 1;
    }
    return 0;
}
