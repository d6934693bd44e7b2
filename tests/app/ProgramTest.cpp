// The real program on the offscreen platform: start-up in a program directory holding the
// installed files, a project made from the welcome window, saved under a name, and what the
// screenshot shows (the frame's title, the project manager and its tree rows); then the end.
#include "app/CloseSignals.h"
#include "app/Program.h"
#include "assessment/Belastungseinschaetzungen.h"
#include "core/Files.h"
#include "core/Frame.h"
#include "core/Projektmanager.h"
#include "core/Startup.h"
#include "platform/fw/FwFileManager.h"
#include "platform/qt/ListView.h"
#include "platform/qt/Renderer.h"
#include "platform/qt/WindowView.h"
#include "platform/ui/Window.h"
#include "platform/values/PrivateProfile.h"
#include "worksheets/Arbeitsblatt.h"

#include "RealProgramSupport.h"
#include "../platform/qt/QtTestSupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QTabWidget>

#include <memory>
#include <signal.h>
#include <vector>

using namespace apptest;

namespace {

class RealProgram : public RealProgramTest {
protected:
    std::vector<std::string> Rows(int window, ListView* list)
    {
        Runtime::HostBaton b;
        int before = WindowSetTarget(window);
        std::vector<std::string> rows;
        for (int64_t r = 1; r <= ListRowCount(list->Control()); ++r)
            rows.push_back(ListCell(list->Control(), r, 1));
        WindowSetTarget(before);
        return rows;
    }
};

TEST_F(RealProgram, ProjectWithAWorksheetIsCreatedSavedAndShown)
{
    // The welcome window over the frame.
    int frame = WindowTitled("Varn 4");
    int welcome = WindowTitled("Willkommen bei Varn-4");
    ASSERT_NE(frame, 0);
    ASSERT_NE(welcome, 0);
    // For a person to look at: beside the test executable, not in the scratch directory.
    const QString screens = QString::fromStdString((previous / "screens").string());
    QDir().mkpath(screens);
    renderer->WindowWidget(welcome)->window()->grab().save(screens + QStringLiteral("/varn4-willkommen.png"));
    auto* create = qobject_cast<QAbstractButton*>(renderer->ControlWidget(welcome, ControlNamed(welcome, "?BUTTON1:2")));
    ASSERT_NE(create, nullptr);
    EXPECT_EQ(create->text(), QStringLiteral("ein neues Arbeitszeitblatt anlegen"));
    create->click();
    ASSERT_TRUE(renderer->Settle());
    EXPECT_EQ(WindowTitled("Willkommen bei Varn-4"), 0);
    int manager = WindowTitled("Projektmanager");
    ASSERT_NE(manager, 0);

    // Save: an unnamed project asks for its name.
    QAction* save = renderer->View(frame)->ControlAction(FRAME_SAVE);
    ASSERT_NE(save, nullptr);
    ASSERT_TRUE(save->isEnabled());
    save->trigger();
    ASSERT_TRUE(renderer->Settle());
    auto* dialog = qobject_cast<QFileDialog*>(renderer->RequestWidget(UiRequest::Kind::FileDialog));
    ASSERT_NE(dialog, nullptr);
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    name->setText(QString::fromStdString(Path("Schichtplan.prj")));
    QMetaObject::invokeMethod(dialog, "accept");
    ASSERT_TRUE(renderer->Settle());
    EXPECT_TRUE(std::filesystem::exists(Path("Schichtplan.prj")));

    // The project's row starts closed; a click on its box, then on the worksheet's, opens them.
    auto* tree = renderer->View(manager)->Client()->findChild<ListView*>();
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->RowCount(), 1);
    ClickTreeBox(tree, 1, 1);
    ASSERT_TRUE(renderer->Settle());
    EXPECT_EQ(tree->RowCount(), 3);
    ClickTreeBox(tree, 3, 2);
    ASSERT_TRUE(renderer->Settle());

    // What the screen shows.
    auto* main = qobject_cast<QMainWindow*>(renderer->WindowWidget(frame));
    ASSERT_NE(main, nullptr);
    main->grab().save(screens + QStringLiteral("/varn4-projekt.png"));
    EXPECT_TRUE(main->windowTitle().startsWith(QStringLiteral("Varn 4"))) << main->windowTitle().toStdString();
    auto* area = main->findChild<QMdiArea*>();
    ASSERT_NE(area, nullptr);
    QStringList titles;
    for (QMdiSubWindow* sub : area->subWindowList())
        if (sub->isVisible())
            titles << sub->windowTitle();
    EXPECT_EQ(titles, QStringList{QStringLiteral("Projektmanager")});
    EXPECT_TRUE(tree->isVisible());
    std::vector<std::string> rows = Rows(manager, tree);
    // The project, its information, the worksheet and the worksheet's parts.
    ASSERT_EQ(tree->RowCount(), 8);
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(rows[0].rfind("Varn 4-Projekt ", 0), 0u) << rows[0];
    EXPECT_TRUE(rows[0].ends_with("Schichtplan.prj")) << rows[0];
    EXPECT_EQ(rows[1], "Informationen zum Planungsprojekt");
    EXPECT_EQ(rows[2], "Arbeitszeitblatt");
    EXPECT_EQ(rows[3], "Notizen (leer)");
    EXPECT_EQ(rows[4], "Schichttypen");
    EXPECT_EQ(rows[7], "Definitionspool (Rahmenbedingungen und Kriterieneinstellungen)");
    EXPECT_TRUE(renderer->View(frame)->ControlAction(FRAME_FILECLOSE)->isEnabled());

    // Renaming the worksheet: the field lies on its row, and the row is tall enough for its font.
    EXPECT_GE(tree->LineHeight(), tree->fontMetrics().height());
    ClickTreeBox(tree, 3, 2, 3 * TREE_INDENT + 10);
    ASSERT_TRUE(renderer->Settle());
    qttest::Press(tree, Qt::Key_F2);
    ASSERT_TRUE(renderer->Settle());
    int field = 0;
    {
        Runtime::HostBaton b;
        field = static_cast<int>(PropertyGet(manager, 0, Prop::Focus, 0).Int());
    }
    QWidget* editor = renderer->ControlWidget(manager, field);
    ASSERT_NE(editor, nullptr);
    ASSERT_NE(editor, tree);
    const QPoint at = editor->mapToGlobal(QPoint(0, 0)) - tree->viewport()->mapToGlobal(QPoint(0, 0));
    EXPECT_NEAR(at.y(), tree->RowTop(static_cast<int>(3 - tree->TopRow() - 1)), 3);
    main->grab().save(screens + QStringLiteral("/varn4-umbenennen.png"));
    qttest::Press(editor, Qt::Key_Escape);
    ASSERT_TRUE(renderer->Settle());

    // The tree grows with its window.
    QWidget* sub = renderer->WindowWidget(manager);
    QWidget* client = renderer->View(manager)->Client();
    const QSize treeBefore = tree->size(), clientBefore = client->size();
    sub->resize(sub->size() + QSize(100, 80));
    QCoreApplication::processEvents();
    ASSERT_TRUE(renderer->Settle());
    ASSERT_GT(client->width(), clientBefore.width());
    ASSERT_GT(client->height(), clientBefore.height());
    EXPECT_EQ(tree->size() - treeBefore, client->size() - clientBefore);

    // Ending the program: nothing to ask, every thread ends.
    main->close();
    ASSERT_TRUE(ProcessUntil([&] { return renderer->Ended(); }, apptest::kScreenWaitMs));
    renderer.reset();
    EXPECT_TRUE(ProgramShutdown());
    EXPECT_EQ(ProfileGetString("Main", "Maximize", "", Path("varn4.ini")), "No");
    EXPECT_FALSE(std::filesystem::exists(Path("Schichtplan.prj~")));
}

// A run cut short (its renderer gone while the project's window is open) unwinds the window's
// procedure: after the shut-down the next run in the same process makes a project with its window.
TEST_F(RealProgram, ARunCutShortWithItsProjectOpenLeavesNothingToTheNextRun)
{
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        if (run == 2) {
            renderer = std::make_unique<Renderer>();
            renderer->Start(ProgramMain);
            ASSERT_TRUE(renderer->Settle());
        }
        int welcome = WindowTitled("Willkommen bei Varn-4");
        ASSERT_NE(welcome, 0);
        auto* create = qobject_cast<QAbstractButton*>(renderer->ControlWidget(welcome, ControlNamed(welcome, "?BUTTON1:2")));
        ASSERT_NE(create, nullptr);
        create->click();
        ASSERT_TRUE(ProcessUntil([&] { return renderer->Settle(100) && WindowTitled("Projektmanager") != 0; }));
        {
            Runtime::HostBaton b;
            EXPECT_TRUE(GlobalProjektmanager.Projekt().IsOpen());
        }
        renderer.reset();
        ASSERT_TRUE(ProgramShutdown());
        EXPECT_FALSE(GlobalProjektmanager.HasProject());
        EXPECT_FALSE(GlobalProjektmanager.IsActive());
    }
}

TEST_F(RealProgram, TheFramesStrainFileCommandOpensTheBrowse)
{
    int frame = WindowTitled("Varn 4");
    ASSERT_NE(frame, 0);
    // The welcome window goes first: it holds the frame's thread.
    int welcome = WindowTitled("Willkommen bei Varn-4");
    ASSERT_NE(welcome, 0);
    renderer->WindowWidget(welcome)->close();
    ASSERT_TRUE(renderer->Settle());
    ASSERT_EQ(WindowTitled("Willkommen bei Varn-4"), 0);
    // Both editors are registered, so the frame offers both commands.
    QAction* eba = renderer->View(frame)->ControlAction(FRAME_DATEIEBA);
    QAction* eco = renderer->View(frame)->ControlAction(FRAME_DATEIECO);
    ASSERT_TRUE(eba && eco);
    EXPECT_TRUE(eba->isEnabled());
    EXPECT_TRUE(eco->isEnabled());

    // An empty ".eba" file: the browse of its (no) assessments opens; closing it leaves the frame.
    {
        Runtime::HostBaton b;
        FwFileManager* access = Access::TMPBEL;
        const std::string before = access->GetName();
        access->SetName(Path("Pflege.eba"));
        CBelastungseinschaetzungen none;
        ASSERT_EQ(none.WriteToFile(*access), 0);
        access->SetName(before);
    }
    eba->trigger();
    ASSERT_TRUE(renderer->Settle());
    auto* dialog = qobject_cast<QFileDialog*>(renderer->RequestWidget(UiRequest::Kind::FileDialog));
    ASSERT_NE(dialog, nullptr);
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    name->setText(QString::fromStdString(Path("Pflege.eba")));
    QMetaObject::invokeMethod(dialog, "accept");
    ASSERT_TRUE(renderer->Settle());
    int browse = WindowTitled("Belastungseinschätzung");
    ASSERT_NE(browse, 0);
    renderer->WindowWidget(browse)->close();
    ASSERT_TRUE(renderer->Settle());
    EXPECT_EQ(WindowTitled("Belastungseinschätzung"), 0);
    EXPECT_NE(WindowTitled("Varn 4"), 0);
}

// What the definitions dialog shows, tab by tab: the names of the fields and check boxes that
// are not hidden (the constraint records are edited without the criteria panel).
std::string DescribeTabs(int window)
{
    Runtime::HostBaton b;
    const WindowModel* m = WindowFind(window);
    std::string out;
    for (const ControlModel& tab : m->controls) {
        if (tab.kind != ControlKind::Tab)
            continue;
        out += "[" + tab.Get(Prop::Text).Str() + (tab.Get(Prop::Disable).Bool() ? ", gesperrt" : "") + "]";
        for (const ControlModel& c : m->controls) {
            bool inside = false, hidden = false;
            for (const ControlModel* p = &c; p; p = p->parent ? m->Find(p->parent) : nullptr) {
                hidden = hidden || p->Get(Prop::Hide).Bool();
                inside = inside || p->id == tab.id;
            }
            const bool value = c.kind == ControlKind::Entry || c.kind == ControlKind::Spin ||
                               c.kind == ControlKind::Check || c.kind == ControlKind::DropList ||
                               c.kind == ControlKind::Button;
            if (inside && !hidden && value && c.name.size() > 1)
                out += " " + c.name.substr(1);
        }
        out += "\n";
    }
    return out;
}

TEST_F(RealProgram, TheFramesDefaultsEntryOpensTheDefinitionsDialogOnTheDefaults)
{
    int frame = WindowTitled("Varn 4");
    ASSERT_NE(frame, 0);
    int welcome = WindowTitled("Willkommen bei Varn-4");
    ASSERT_NE(welcome, 0);
    renderer->WindowWidget(welcome)->close();
    ASSERT_TRUE(renderer->Settle());
    QAction* vorgaben = renderer->View(frame)->ControlAction(FRAME_VORGABEN);
    ASSERT_NE(vorgaben, nullptr);
    ASSERT_TRUE(vorgaben->isEnabled());
    vorgaben->trigger();
    ASSERT_TRUE(ProcessUntil([&] { return WindowTitled("Vorgaben bearbeiten") != 0; }, apptest::kScreenWaitMs));
    int window = WindowTitled("Vorgaben bearbeiten");
    auto* button = qobject_cast<QAbstractButton*>(renderer->ControlWidget(window, ControlNamed(window, "?RBDEFAULT")));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), QStringLiteral("Vorgabewerte für Rahmenbedingungen"));
    button->click();
    ASSERT_TRUE(ProcessUntil([&] { return WindowTitled("Definitionspool") != 0; }, apptest::kScreenWaitMs));
    ASSERT_TRUE(renderer->Settle());
    int dialog = WindowTitled("Definitionspool");
    auto* tabs = renderer->WindowWidget(dialog)->findChild<QTabWidget*>();
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->count(), 8);
    EXPECT_EQ(DescribeTabs(dialog),
              "[Arbeitszeit] KONTAZ_MIN KONTAZ_MAX WTAZ_OHNE_AUSGLEICH WTAZ_AUSGLEICH WTAZ_MIT_AUSGLEICH "
              "WTAZ_AUSGLEICHSZEITRAUM_NORMAL WTAZ_AUSGLEICHSZEITRAUM_NACHTARBEIT UEBERLAUF WOCHENBEGINN WAZ "
              "WAZ_AUSGLEICHSZEITRAUM WAZ_MIN WAZ_MAX\n"
              "[Ruhezeit] RZ_DAUER_OHNE_AUSGLEICH RZ_AUSGLEICH RZ_DAUER_MIT_AUSGLEICH RZ_AUSGLEICHSZEITRAUM "
              "RZANZEIGE_MIN AZ_AB_1 PAUSENLAENGE_1 AZ_AB_2 PAUSENLAENGE_2 AZ_AB_3 PAUSENLAENGE_3 AZ_AB_4 "
              "PAUSENLAENGE_4 ERSTE_PAUSE MINDESTPAUSENLAENGE NACHTAZ_ANFANG NACHTAZ_ENDE NACHTAZ_DAUER_MIN "
              "RZNACHTARBEIT_MIN\n"
              "[Wochenende] WE_ANFANGSTAG WE_ANFANGSZEIT WE_ENDTAG WE_ENDZEIT WE_DAUER_MIN FREIE_SONNTAGE "
              "WRZ_DAUER_MIN ERSATZ_WRZ_DAUER_MIN SONNTAGSVERSCHIEBUNG SAZ_AUSGLEICHSZEITRAUM SAZ_VERSCHIEBUNG\n"
              "[Nachtschlaf] NS_ANFANGSZEIT_MIN_P1 NS_ANFANGSZEIT_MAX_P1 NS_DAUER_MIN_P1 NS_ANFANGSZEIT_MIN_P2 "
              "NS_ANFANGSZEIT_MAX_P2 NS_DAUER_MIN_P2 NS_ANFANGSZEIT_MIN_P3 NS_ANFANGSZEIT_MAX_P3 NS_DAUER_MIN_P3 "
              "NS_ANFANGSZEIT_MIN_P4 NS_ANFANGSZEIT_MAX_P4 NS_DAUER_MIN_P4 NS_EINZELSTOERUNGEN NS_KONT_STOERUNGEN\n"
              "[Freizeit] SZ_ANFANGSZEIT_MIN_P1 SZ_ANFANGSZEIT_MAX_P1 SZ_DAUER_MIN_P1 SZ_ANFANGSZEIT_MIN_P2 "
              "SZ_ANFANGSZEIT_MAX_P2 SZ_DAUER_MIN_P2 SZ_ANFANGSZEIT_MIN_P3 SZ_ANFANGSZEIT_MAX_P3 SZ_DAUER_MIN_P3 "
              "SZ_ANFANGSZEIT_MIN_P4 SZ_ANFANGSZEIT_MAX_P4 SZ_DAUER_MIN_P4 SZ_EINZELSTOERUNGEN SZ_KONT_STOERUNGEN "
              "FZ_ANFANGSZEIT_MIN_P1 FZ_ANFANGSZEIT_MAX_P1 FZ_DAUER_MIN_P1 FZ_ANFANGSZEIT_MIN_P2 "
              "FZ_ANFANGSZEIT_MAX_P2 FZ_DAUER_MIN_P2 FZ_ANFANGSZEIT_MIN_P3 FZ_ANFANGSZEIT_MAX_P3 FZ_DAUER_MIN_P3 "
              "FZ_ANFANGSZEIT_MIN_P4 FZ_ANFANGSZEIT_MAX_P4 FZ_DAUER_MIN_P4 FZ_EINZELSTOERUNGEN FZ_KONT_STOERUNGEN\n"
              "[Schichten] SL_DAUER_MIN SL_DAUER_MAX SCHICHTUEBERGABEZEIT BETRIEBSTAGSBEGINN FS_VON FS_BIS TS_VON "
              "TS_BIS\n"
              "[Belastung && Beanspruchung] BELASTUNG\n"
              "[Ökonomie] KOSTEN\n");
    // Without a worksheet the two buttons are disabled; cancelling ends the defaults window too.
    EXPECT_FALSE(renderer->ControlWidget(dialog, ControlNamed(dialog, "?BELASTUNG"))->isEnabled());
    auto* cancel = qobject_cast<QAbstractButton*>(renderer->ControlWidget(dialog, ControlNamed(dialog, "?Abbrechen")));
    ASSERT_NE(cancel, nullptr);
    cancel->click();
    ASSERT_TRUE(ProcessUntil([&] { return WindowTitled("Definitionspool") == 0 && WindowTitled("Vorgaben bearbeiten") == 0; },
                             5000));
    EXPECT_NE(WindowTitled("Varn 4"), 0);
}

TEST_F(RealProgram, EveryToolbarButtonOfTheFrameShowsItsIcon)
{
    int frame = WindowTitled("Varn 4");
    ASSERT_NE(frame, 0);
    for (int control : {FRAME_NEW, FRAME_OPEN, FRAME_SAVE, FRAME_PROJECT}) {
        QAction* button = renderer->View(frame)->ControlAction(control);
        ASSERT_NE(button, nullptr) << control;
        EXPECT_FALSE(button->icon().isNull()) << button->toolTip().toStdString();
    }
}

TEST_F(RealProgram, TerminationSignalsAreTheFramesCloseRequest)
{
    CloseSignals closeSignals(*renderer);
    ASSERT_TRUE(closeSignals.Active());
    int welcome = WindowTitled("Willkommen bei Varn-4");
    ASSERT_NE(welcome, 0);
    auto* create = qobject_cast<QAbstractButton*>(renderer->ControlWidget(welcome, ControlNamed(welcome, "?BUTTON1:2")));
    ASSERT_NE(create, nullptr);
    create->click();
    ASSERT_TRUE(renderer->Settle());
    {
        Runtime::HostBaton b;
        ASSERT_TRUE(GlobalProjektmanager.Projekt().IsOpen());
        GlobalProjektmanager.Projekt().FileManager().SetChanged();
    }
    // A changed project: the signal asks as closing the frame does, and the program goes on.
    ::raise(SIGTERM);
    ASSERT_TRUE(ProcessUntil([&] { return WindowTitled("Änderungen speichern?") != 0; }, apptest::kScreenWaitMs));
    EXPECT_FALSE(renderer->Ended());
    int question = WindowTitled("Änderungen speichern?");
    renderer->WindowWidget(question)->close();        // cancelled: the program stays
    ASSERT_TRUE(renderer->Settle());
    EXPECT_FALSE(renderer->Ended());
    {
        Runtime::HostBaton b;
        GlobalProjektmanager.Projekt().FileManager().ClearChanged();
    }
    // Nothing to ask: the frame's close-down runs to its end (the settings are written).
    ::raise(SIGINT);
    ASSERT_TRUE(ProcessUntil([&] { return renderer->Ended(); }, apptest::kScreenWaitMs));
    renderer.reset();
    EXPECT_TRUE(ProgramShutdown());
    EXPECT_EQ(ProfileGetString("Main", "Maximize", "", Path("varn4.ini")), "No");
}

} // namespace
