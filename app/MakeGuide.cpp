// makeguide: turns the learning material's HTML source into lernunterlage.pdf at build time. Its
// pictures ("bild:<name>") are taken of the program's own windows, offscreen, each in the state its
// chapter describes: the sample worksheet of app/SampleShifts.h, its inspectors and dialogs, the
// wizards, the messages of a refused limit, a bad CSV file, a printer that is not there and a
// project file that cannot be read.
//
//     makeguide <source.html> <program folder> <output.pdf> [<picture folder>]
//
// The program folder holds the installed files (varn4.cfg, eba.cfg, deutsch.env, data/); the windows
// are opened in a scratch copy of it, so the build never writes settings there. With a picture
// folder every picture is also saved there as <name>.png (the guide's test looks at them). A picture
// the source names but this program does not take, or one that does not show, fails the build.
#include "app/Program.h"
#include "app/SampleShifts.h"
#include "app/WindowPictures.h"
#include "assessment/Belastungseinschaetzung.h"
#include "assessment/Belastungseinschaetzungen.h"
#include "assessment/Kosten.h"
#include "assessment/Rahmenbedingung.h"
#include "assessment/RahmenbedingungRuhezeiten.h"
#include "assessment/SchichttypDialoge.h"
#include "core/Files.h"
#include "core/Projektmanager.h"
#include "core/ProjektmanagerWindow.h"
#include "core/Startup.h"
#include "core/Tree.h"
#include "platform/qt/ListView.h"
#include "platform/qt/Renderer.h"
#include "platform/qt/WindowView.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"
#include "plans/AKBData.h"
#include "plans/AKBEintrag.h"
#include "plans/AZPData.h"
#include "plans/FlexAZ.h"
#include "plans/SBPData.h"
#include "plans/Schichttypen.h"
#include "worksheets/AKBEintragDialog.h"
#include "worksheets/Arbeitsblatt.h"
#include "worksheets/ArbeitsblattWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSet>
#include <QTextDocument>
#include <QWidget>

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace fs = std::filesystem;

namespace {

void Files() { UseProgramFilesHere(); }

// The defaults, warning and error limits as the start-up reads them, the buffers at the defaults.
void Defaults()
{
    Files();
    ReadDefaultRecords();
}

CArbeitsblatt& Sheet() { return *static_cast<CArbeitsblatt*>(GlobalProjektmanager.Projekt().GetArbeitsblatt(1)); }

// How far the sample worksheet is filled in: the staff demand only (the start of the first road),
// the shift demand too (ready for the working-time plan), or the whole sample with its rota.
enum class Stage { Demand, ShiftDemand, Rota };

CBelastungseinschaetzung Assessment(const char* activity, uint8_t days, int fromHour, int toHour, int rating)
{
    CBelastungseinschaetzung a;
    a.TAETIGKEIT = activity;
    a.WOCHENTAGE = days;
    a.TERMIN = {uint32_t(fromHour * 60), uint32_t(toHour * 60)};
    for (int n = 1; n <= 18; ++n)
        if (CBelastungseinschaetzung::IsRatedItem(n))
            a.SetItem(n, 1 + (n + rating) % 4);
    return a;
}

// A new project whose worksheet holds the guide's sample (two weeks), its parts stored as steps.
CArbeitsblatt& SampleWorksheet(Stage stage = Stage::Rota)
{
    Defaults();
    InstallSchichttypDialoge();
    GlobalProjektmanager.Projekt().New(ARBEITSBLATT_AZ);
    CArbeitsblatt& s = Sheet();
    s.SetBezugsrahmen(2, false);
    const std::map<char, uint32_t> ids = AddSampleShifts(s);
    if (stage == Stage::Demand) {
        s.GetSchichttypen().Clear();
        s.GetSBP().SyncSchichttypen();
    }
    if (stage == Stage::Rota)
        AddSampleRota(s, ids);
    else if (stage == Stage::ShiftDemand)
        for (uint32_t d = 1; d <= 14; ++d)
            for (const auto& [letter, id] : ids)
                s.GetSBP().AddCount(d, id, 1);
    s.SetSchichtgruppenstaerke(2, false);
    s.GetKosten()->KOSTEN.SetReal("STUNDENLOHN", 18.5);
    CBelastungseinschaetzungen& strain = *s.GetBelastungseinschaetzungen();
    strain.Add(Assessment("Patientenaufnahme", 31, 6, 14, 0));
    strain.Add(Assessment("Stationsdienst", 127, 14, 22, 1));
    strain.Add(Assessment("Nachtwache", 127, 22, 24, 2));
    for (ISavable* part : {&s.GetSchichttypen().GetSavable(), &s.GetAKB().GetSavable(), &s.GetSBP().GetSavable(),
                           &s.GetAZP().GetSavable()})
        part->StoreStep();
    return s;
}

CArbeitsblatt& OpenSample(Stage stage = Stage::Rota)
{
    CArbeitsblatt& s = SampleWorksheet(stage);
    s.Open();
    return s;
}

// Two weeks of one person's working times, evaluated: early days, a day of thirteen hours, two
// nights.
void FlexSample()
{
    Defaults();
    GlobalProjektmanager.Projekt().New(ARBEITSBLATT_FLEX);
    CArbeitsblatt& s = Sheet();
    for (int day : {0, 1, 2, 3})
        s.GetFlexAZ().Add(SampleFlexEntry(day, 7 * 60, 15 * 60 + 30, 11 * 60, 30));
    s.GetFlexAZ().Add(SampleFlexEntry(4, 6 * 60, 19 * 60, 12 * 60, 30));
    s.GetFlexAZ().Add(SampleFlexEntry(7, 22 * 60, 6 * 60, 2 * 60, 45));
    s.GetFlexAZ().Add(SampleFlexEntry(8, 22 * 60, 6 * 60, 2 * 60, 45));
    s.GetFlexAZ().Add(SampleFlexEntry(10, 13 * 60, 21 * 60, 17 * 60, 30));
    s.Open();
    s.ShowBewertungInspektor();
}

// The project manager with the sample project and its worksheet opened out in the tree.
void ProjectTree()
{
    SampleWorksheet();
    CProjekt& project = GlobalProjektmanager.Projekt();
    if (!project.IsExpanded())
        project.TakeRequest(TREE_EXPAND, "");
    if (!Sheet().IsExpanded())
        Sheet().TakeRequest(TREE_EXPAND, "");
    Projektmanager("");
}

// The definitions dialog's check of a minimum rest of eight hours, below the legal error limit.
void RefusedLimit()
{
    Defaults();
    RB.SetInt("RZ_DAUER_OHNE_AUSGLEICH", 8 * 360000 + 1);
    CRahmenbedingungMindestruhezeit rest;
    ShowSettingCheck(rest, {"RZ_DAUER_OHNE_AUSGLEICH"});
}

// Files the pictures of failures read, in the scratch program folder.
constexpr const char* kBadCsv = "schichten-fehler.csv";
constexpr const char* kBadProject = "station-beschaedigt.prj";

void WriteFile(const char* name, const std::string& text)
{
    std::ofstream out(name, std::ios::binary);
    out << text;
}

// Answers the file dialog that the program shows with `name` in the current folder.
bool ChooseFile(Renderer& renderer, const char* name)
{
    QElapsedTimer clock;
    clock.start();
    QFileDialog* dialog = nullptr;
    while (!(dialog = qobject_cast<QFileDialog*>(renderer.RequestWidget(UiRequest::Kind::FileDialog)))) {
        if (clock.elapsed() > 20000)
            return false;
        renderer.Settle(100);
    }
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (!edit)
        return false;
    edit->setText(QString::fromStdString((fs::current_path() / name).string()));
    QMetaObject::invokeMethod(dialog, "accept");
    return renderer.Settle();
}

// Chooses the menu item `item` of the sample's worksheet window, as the planner would.
bool ChooseItem(Renderer& renderer, int item)
{
    const int window = SettledWindow(renderer, "Arbeitszeitblatt", 30000);
    QAction* action = window ? renderer.View(window)->ControlAction(item) : nullptr;
    if (!action || !action->isEnabled())
        return false;
    action->trigger();
    return renderer.Settle();
}

// Clicks the button `text` (without '&') of the window titled `title`.
bool Answer(Renderer& renderer, const char* title, const QString& text)
{
    const int window = SettledWindow(renderer, title, 30000);
    if (!window)
        return false;
    for (QAbstractButton* b : renderer.WindowWidget(window)->window()->findChildren<QAbstractButton*>())
        if (b->isVisible() && b->text().remove(QLatin1Char('&')) == text) {
            b->click();
            return renderer.Settle();
        }
    return false;
}

// Swap mode on, and a cell of the plan taken up with the mouse (group 2, Wednesday of week 1) and
// dragged towards Friday.
bool TakeUpCell(Renderer& renderer)
{
    if (!ChooseItem(renderer, AB_SWAP_ITEM))
        return false;
    const int window = SettledWindow(renderer, "Arbeitszeitblatt", 30000);
    auto* plan = qobject_cast<ListView*>(renderer.ControlWidget(window, AB_AZP_LIST));
    if (!plan)
        return false;
    const QPoint at(plan->ColumnLeft(4) + 4, plan->RowTop(1) + plan->LineHeight() / 2);
    QMouseEvent press(QEvent::MouseButtonPress, at, plan->viewport()->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(plan->viewport(), &press);
    renderer.Settle();
    // Held down and moved on to Friday: the drag is under way, its start cell framed.
    const QPoint to(plan->ColumnLeft(6) + 4, at.y());
    QMouseEvent move(QEvent::MouseMove, to, plan->viewport()->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(plan->viewport(), &move);
    return renderer.Settle();
}

// Clicks row `row` of the project manager's tree beside its box, as the planner marks a worksheet
// before "neues Arbeitszeitblatt".
bool MarkTreeRow(Renderer& renderer, int row)
{
    const int window = SettledWindow(renderer, "Projektmanager", 30000);
    auto* tree = window ? renderer.View(window)->Client()->findChild<ListView*>() : nullptr;
    if (!tree)
        return false;
    const QPoint at(tree->ToViewport(3 * TREE_INDENT), tree->RowTop(row - 1) + tree->LineHeight() / 2);
    const QPoint global = tree->viewport()->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(tree->viewport(), &press);
    QCoreApplication::sendEvent(tree->viewport(), &release);
    return renderer.Settle();
}

// Clicks "weiter >>" of the wizard titled so `times` times.
bool Forward(Renderer& renderer, const char* title, int times)
{
    const int wizard = SettledWindow(renderer, title, 30000);
    if (!wizard)
        return false;
    for (int n = 0; n < times; ++n) {
        QAbstractButton* next = nullptr;
        for (QAbstractButton* b : renderer.WindowWidget(wizard)->window()->findChildren<QAbstractButton*>())
            if (b->isVisible() && b->text() == QStringLiteral("weiter >>"))
                next = b;
        if (!next)
            return false;
        next->click();
        renderer.Settle();
    }
    return true;
}

struct Picture {
    const char* name;
    std::function<void()> open;                   // on the program's thread
    const char* title;                            // the window to picture; nullptr: the newest
    std::function<bool(Renderer&)> drive = {};    // on the main thread, before the picture
};

// Opens the windows of `picture` on a fresh run and grabs the one titled so once the renderer has
// settled it; a null image when it did not show within thirty seconds.
QImage Take(const Picture& picture)
{
    auto renderer = std::make_unique<Renderer>();
    renderer->Start(picture.open);
    QImage image;
    if (!picture.drive || picture.drive(*renderer))
        if (const int window = SettledWindow(*renderer, picture.title, 30000))
            image = renderer->WindowWidget(window)->window()->grab().toImage();
    EndPictureRun(renderer);
    return image;
}

const Picture kPictures[] = {
    {"willkommen", [] { ProgramMain(); }, "Willkommen bei Varn-4"},
    // The worksheet's row marked: the tree's commands for a worksheet are at hand.
    {"projektmanager", ProjectTree, "Projektmanager", [](Renderer& r) { return MarkTreeRow(r, 3); }},
    {"arbeitsblatt", [] { OpenSample(); }, "Arbeitszeitblatt"},
    // A shift demand plan exists: generating it again asks first and says what it replaces.
    {"wege", [] { SampleWorksheet().GenerateSBP(); }, "Vorhandene Einträge werden überschrieben."},
    {"arbeitskraeftebedarf_eintrag", [] {
         Files();
         CAKBEintrag span;
         span.TERMIN = {6 * 60, 14 * 60};
         span.ANZAHL = 3;
         int32_t weeks = 2;
         uint8_t continuous = 0;
         UpdateAKBEintrag(span, weeks, continuous);
     }, "Arbeitskräftebedarf"},
    {"schichtbedarf_assistent", [] { SampleWorksheet(Stage::Demand).GenerateSBP(); }, "Schichtbedarfsplan generieren"},
    {"schichttypen", [] { SampleWorksheet().EditSchichttypen(); }, "Schichttypen"},
    {"arbeitszeitplan_assistent", [] { SampleWorksheet(Stage::ShiftDemand).GenerateAZP(); }, "Arbeitszeitplan generieren"},
    {"verschieben", [] { OpenSample(); }, "Arbeitszeitblatt", TakeUpCell},
    {"arbeitsblatt_bewertet", [] { OpenSample().ShowBewertungInspektor(); }, "Arbeitszeitblatt"},
    {"bewertungs_inspektor", [] { OpenSample().ShowBewertungInspektor(); }, "Bewertungs-Inspektor"},
    // The legend as the planner opens it: with the evaluation inspector's button.
    {"legende", [] { OpenSample().ShowBewertungInspektor(); }, "Legende",
     [](Renderer& r) { return Answer(r, "Bewertungs-Inspektor", QStringLiteral("Legende anzeigen")); }},
    {"tabellen_inspektor", [] { OpenSample(); }, "Tabellen-Inspektor"},
    {"kosten", [] { SampleWorksheet().EditKosten(); }, "Einstellungen: Grundvergütung, Zuschläge, Zulagen, Dienste"},
    {"oeko_inspektor", [] { OpenSample().ShowOekoInspektor(); }, "Ökonomie-Inspektor"},
    {"gesamtbewertung", [] { OpenSample().ShowGesamtbewertung(); }, "Gesamtbewertung AZP"},
    {"definitionspool", [] { SampleWorksheet().EditDefinitionspool(); }, "Definitionspool"},
    {"grenzwert", RefusedLimit, "Diese Einstellung ist nicht erlaubt"},
    {"belastung", [] { SampleWorksheet().EditBelastung(); }, "Belastungseinschätzung"},
    {"flex_arbeitsblatt", FlexSample, "Flex-Arbeitszeitblatt"},
    {"csv_fehler", [] {
         WriteFile(kBadCsv, "normal,Frühdienst,F,06:00,14:00,\r\nnormal,Spätdienst,S,14 Uhr,22:00,\r\n");
         OpenSample();
     }, nullptr, [](Renderer& r) { return ChooseItem(r, AB_IMPORT_SCHICHTTYPEN) &&
                                                     Answer(r, "bestehende Schichttypen werden überschrieben", QStringLiteral("Ja")) &&
                                                     ChooseFile(r, kBadCsv); }},
    {"assistent_berechnungsdauer", [] { SampleWorksheet(Stage::ShiftDemand).GenerateAZP(); }, "Arbeitszeitplan generieren",
     [](Renderer& r) { return Forward(r, "Arbeitszeitplan generieren", 2); }},
    {"drucken", [] { OpenSample(); }, "Drucken nicht möglich", [](Renderer& r) { return ChooseItem(r, AB_PRINT_ITEM); }},
    {"datei_fehler", [] {
         WriteFile(kBadProject, "Dies ist keine Projektdatei, sondern ein Text.\n");
         Files();
         GlobalProjektmanager.Open();
     }, nullptr, [](Renderer& r) { return ChooseFile(r, kBadProject); }},
};

// The picture names the source refers to, in their order.
QStringList NamedPictures(const QString& html)
{
    QStringList names;
    static const QRegularExpression picture(QStringLiteral("src=\"bild:([^\"]+)\""));
    for (auto it = picture.globalMatch(html); it.hasNext();)
        names << it.next().captured(1);
    return names;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr, "Aufruf: makeguide <quelle.html> <programmordner> <ausgabe.pdf> [<bildordner>]\n");
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
    const QString pictureFolder = argc == 5 ? QString::fromLocal8Bit(argv[4]) : QString();
    if (!pictureFolder.isEmpty())
        QDir().mkpath(pictureFolder);

    // Only the pictures the source names are taken; a name without a picture stops the build.
    const QStringList wanted = NamedPictures(html);
    int failures = 0;
    std::map<QString, const Picture*> known;
    for (const Picture& p : kPictures)
        known[QString::fromLatin1(p.name)] = &p;
    for (const QString& name : wanted)
        if (!known.count(name)) {
            std::fprintf(stderr, "makeguide: kein Bild namens \"%s\"\n", name.toUtf8().constData());
            ++failures;
        }

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

    QTextDocument document;
    QSet<QString> taken;
    for (const QString& name : wanted) {
        if (taken.contains(name) || !known.count(name))
            continue;
        taken.insert(name);
        const Picture& p = *known[name];
        const QImage image = Take(p);
        if (image.isNull()) {
            std::fprintf(stderr, "makeguide: das Fenster \"%s\" für das Bild \"%s\" erschien nicht\n",
                         p.title ? p.title : "(neuestes)", p.name);
            ++failures;
            continue;
        }
        document.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("bild:") + name), image);
        if (!pictureFolder.isEmpty())
            image.save(pictureFolder + QStringLiteral("/") + name + QStringLiteral(".png"));
    }
    SetArbeitsblattFactory(nullptr);
    fs::current_path(previous);
    fs::remove_all(scratch, ec);

    document.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 10));
    document.setHtml(html);
    QPdfWriter pdf(QString::fromLocal8Bit(argv[3]));
    pdf.setTitle(QStringLiteral("Varn 4 – Lernunterlage"));
    // The text document keeps a margin of two centimetres of its own when it prints: the page
    // itself gets none, so the text is 17 cm wide.
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                                  QPageLayout::Millimeter));
    document.print(&pdf);
    if (failures != 0 || !QFile::exists(QString::fromLocal8Bit(argv[3]))) {
        std::fprintf(stderr, "makeguide: %s wurde nicht vollständig erstellt\n", argv[3]);
        return 1;
    }
    return 0;
}
