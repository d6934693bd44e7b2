// The learning material against the program: every menu path ("Menü › Eintrag") and every key
// ("Alt+…", "Strg+…", "(Einfg)", "(Entf)", "(F2)", "(Enter)") the guide's source names must exist
// in the menus of the real program's windows, and each key must really reach a command there: it
// is pressed (Qt tries the shortcuts first) with the worksheet, the flex worksheet and the
// project manager in turn as the active window inside the frame (and the frame itself), and it
// counts only when it reaches exactly one menu entry there (a key that two entries or a menu title
// share reaches none), or when that window alerts it to its own handling. The dispatched shortcut is taken away before the
// command runs, so no dialog opens.
// The pictures the build took for the guide: every chapter has one, and the evaluated plan and the
// legend show the markers their text describes.
#include "platform/qt/Style.h"
#include "platform/qt/WindowView.h"
#include "plans/AKBData.h"
#include "plans/AZPData.h"
#include "worksheets/ArbeitsblattWindow.h"

#include "../platform/qt/QtTestSupport.h"
#include "RealProgramSupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QShortcutEvent>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace apptest;

namespace {

namespace fs = std::filesystem;

fs::path GuideSource()
{
    if (const char* data = std::getenv("VARN_DATA_DIR"); data && *data)
        return fs::path(data) / "lernunterlage" / "lernunterlage.html";
    return fs::path(__FILE__).parent_path().parent_path().parent_path() / "data" / "lernunterlage" / "lernunterlage.html";
}

QString ReadGuide()
{
    std::ifstream in(GuideSource(), std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return QString::fromStdString(all.str());
}

QString Plain(QString text)
{
    text.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    text.replace(QStringLiteral("…"), QStringLiteral("..."));
    return text.simplified();
}

// The guide's text runs between tags, without its comment: a run with "›" is one menu path.
QStringList TextRuns(QString html)
{
    html.remove(QRegularExpression(QStringLiteral("<!--.*?-->"), QRegularExpression::DotMatchesEverythingOption));
    QStringList runs;
    for (const QString& run : html.split(QRegularExpression(QStringLiteral("<[^>]*>"))))
        if (const QString plain = Plain(run); !plain.isEmpty())
            runs << plain;
    return runs;
}

QStringList MenuPaths(const QString& html)
{
    QStringList paths;
    for (const QString& run : TextRuns(html))
        if (run.contains(QStringLiteral("›")))
            paths << run;
    return paths;
}

// "Alt+…" and "Strg+…" anywhere, and the plain keys when they stand in brackets.
QStringList Keys(const QString& html)
{
    const QString text = TextRuns(html).join(QLatin1Char(' '));
    QStringList keys;
    static const QRegularExpression combined(QStringLiteral("\\b(?:Alt|Strg)\\+[^\\s,;.)]+"));
    for (auto it = combined.globalMatch(text); it.hasNext();)
        keys << it.next().captured(0);
    static const QRegularExpression plain(QStringLiteral("\\((Einfg|Entf|Enter|F\\d+)\\)"));
    for (auto it = plain.globalMatch(text); it.hasNext();)
        keys << it.next().captured(1);
    keys.removeDuplicates();
    return keys;
}

// An entry's text as the guide writes it: without '&', its key and a trailing "...".
QString EntryText(const QAction* a)
{
    QString t = a->text().section(QLatin1Char('\t'), 0, 0);
    t.remove(QLatin1Char('&'));
    return t.simplified();
}

struct Menus {
    std::set<QString> paths;                  // every menu and entry, "Datei › Exportieren › Schichttypen"
    std::vector<QAction*> entries;
};

void Walk(const QList<QAction*>& actions, const QString& prefix, Menus& menus)
{
    for (QAction* a : actions) {
        if (a->isSeparator() || EntryText(a).isEmpty())
            continue;
        const QString path = prefix.isEmpty() ? EntryText(a) : prefix + QStringLiteral(" › ") + EntryText(a);
        menus.paths.insert(path);
        if (a->menu())
            Walk(a->menu()->actions(), path, menus);
        else
            menus.entries.push_back(a);
    }
}

QString WithoutDots(QString path)
{
    while (path.endsWith(QLatin1Char('.')))
        path.chop(1);
    return path;
}

// Takes every shortcut Qt dispatches away from its receiver and remembers it.
class ShortcutCatcher : public QObject {
public:
    struct Caught {
        QObject* receiver;
        bool ambiguous;
    };
    std::vector<Caught> caught;

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override
    {
        if (event->type() != QEvent::Shortcut)
            return false;
        caught.push_back({receiver, static_cast<QShortcutEvent*>(event)->isAmbiguous()});
        return true;
    }
};

class Guide : public RealProgramTest {
protected:
    // Opens row `row` of the project tree (a worksheet) with Enter.
    void OpenTreeRow(ListView* tree, int64_t row)
    {
        ClickTreeBox(tree, row, 2, 3 * TREE_INDENT);
        ASSERT_TRUE(renderer->Settle());
        qttest::Press(tree, Qt::Key_Return);
        ASSERT_TRUE(renderer->Settle());
    }
    // The guide's first steps: a new project from the welcome window and its worksheet opened
    // from the project tree with Enter. Sets frameWindow, manager, tree and sheet.
    void NewProjectWithItsWorksheetOpen()
    {
        frameWindow = WindowTitled("Varn 4");
        const int welcome = WindowTitled("Willkommen bei Varn-4");
        ASSERT_TRUE(frameWindow && welcome);
        Click(Button(welcome, QStringLiteral("ein neues Arbeitszeitblatt anlegen")));
        manager = WaitFor("Projektmanager");
        ASSERT_NE(manager, 0);
        tree = renderer->View(manager)->Client()->findChild<ListView*>();
        ASSERT_NE(tree, nullptr);
        ClickTreeBox(tree, 1, 1);
        ASSERT_TRUE(renderer->Settle());
        OpenTreeRow(tree, 3);
        sheet = WaitFor("Arbeitszeitblatt");
        ASSERT_NE(sheet, 0);
    }
    int manager = 0, sheet = 0;
    ListView* tree = nullptr;

    // The subwindow that holds a window's widgets inside the frame.
    QMdiSubWindow* Sub(int window)
    {
        for (QWidget* w = renderer->WindowWidget(window); w; w = w->parentWidget())
            if (auto* sub = qobject_cast<QMdiSubWindow*>(w))
                return sub;
        return nullptr;
    }
    // Whether pressing `key` with `window` active and `focus` focused reaches exactly one menu
    // entry that shows that key.
    bool ReachesOneEntry(int window, QWidget* focus, const QKeySequence& key, ShortcutCatcher& catcher)
    {
        QWidget* top = renderer->WindowWidget(window)->window();
        top->activateWindow();
        if (QMdiSubWindow* sub = Sub(window))
            sub->mdiArea()->setActiveSubWindow(sub);
        if (focus)
            focus->setFocus();
        renderer->Settle();
        // The edit entries follow the state of the current pane (nothing to undo yet, nothing
        // chosen): here only whether the key reaches them counts, so they take it for this press.
        if (QMenuBar* bar = renderer->WindowWidget(window)->findChild<QMenuBar*>(); bar && window != frameWindow)
            for (QAction* menu : bar->actions())
                if (menu->menu() && EntryText(menu) == QStringLiteral("Bearbeiten"))
                    for (QAction* entry : menu->menu()->actions())
                        entry->setEnabled(true);
        catcher.caught.clear();
        // A key sent by the program (not by the system) goes to the shortcuts first, as a typed one.
        const QKeyCombination combination = key[0];
        qttest::Press(focus ? focus : top, combination.key(), combination.keyboardModifiers());
        renderer->Settle();
        if (catcher.caught.size() != 1 || catcher.caught.front().ambiguous)
            return false;
        auto* entry = qobject_cast<QAction*>(catcher.caught.front().receiver);
        return entry && entry->shortcut() == key;
    }
    // Whether `window` alerts `key` to its own handling, for itself or for the control `focus`
    // shows (nullptr: the window itself has the focus).
    bool Alerted(int window, QWidget* focus, const QKeySequence& key)
    {
        const QKeyCombination combination = key[0];
        const int code = QtStyle::KeyCodeOf(combination.key(), combination.keyboardModifiers());
        int control = 0;
        if (focus)
            for (const auto& [id, widget] : Controls(window))
                if (widget == focus)
                    control = id;
        Runtime::HostBaton b;
        const WindowModel* m = WindowFind(window);
        if (!m)
            return false;
        if (std::find(m->alertKeys.begin(), m->alertKeys.end(), code) != m->alertKeys.end())
            return true;
        const ControlModel* c = control ? m->Find(control) : nullptr;
        return c && std::find(c->alertKeys.begin(), c->alertKeys.end(), code) != c->alertKeys.end();
    }
    // The controls of a window with their widgets.
    std::vector<std::pair<int, QWidget*>> Controls(int window)
    {
        std::vector<int> ids;
        {
            Runtime::HostBaton b;
            if (const WindowModel* m = WindowFind(window))
                for (const ControlModel& c : m->controls)
                    ids.push_back(c.id);
        }
        std::vector<std::pair<int, QWidget*>> controls;
        for (int id : ids)
            controls.emplace_back(id, renderer->ControlWidget(window, id));
        return controls;
    }
};

TEST(GuideSource, ReadsMenuPathsAndKeysAsWritten)
{
    const QString html = QStringLiteral(
        "<!-- (Alt+X) in a comment --><p><b>Datei › Öffnen…</b> (Strg+O), <b>Bearbeiten ›\n"
        "Ausschneiden</b> (Strg+X, Strg+C), „Plan generieren“, Alt+G; (Einfg) Entf (F2)</p>"
        "<td>Schichtbedarf › Generieren</td><p>Belastung &amp; Beanspruchung</p>");
    EXPECT_EQ(MenuPaths(html), (QStringList{QStringLiteral("Datei › Öffnen..."), QStringLiteral("Bearbeiten › Ausschneiden"),
                                            QStringLiteral("Schichtbedarf › Generieren")}));
    EXPECT_EQ(Keys(html), (QStringList{QStringLiteral("Strg+O"), QStringLiteral("Strg+X"), QStringLiteral("Strg+C"),
                                       QStringLiteral("Alt+G"), QStringLiteral("Einfg"), QStringLiteral("F2")}));
}

TEST_F(Guide, NamesOnlyMenuPathsAndKeysThatReachACommand)
{
    const QString html = ReadGuide();
    ASSERT_FALSE(html.isEmpty()) << GuideSource();
    const QStringList paths = MenuPaths(html);
    const QStringList keys = Keys(html);
    ASSERT_GT(paths.size(), 20);
    ASSERT_GT(keys.size(), 10);

    // The program as the guide's first chapters have it, and a flex worksheet beside it.
    NewProjectWithItsWorksheetOpen();
    if (HasFatalFailure())
        return;
    {
        Runtime::HostBaton b;
        GlobalProjektmanager.Projekt().AddArbeitsblatt(ARBEITSBLATT_FLEX);
        GlobalProjektmanager.PostToOwner(EventRefresh);
    }
    ASSERT_TRUE(renderer->Settle());
    OpenTreeRow(tree, 4);
    const int flex = WaitFor("Flex-Arbeitszeitblatt");
    ASSERT_NE(flex, 0);

    Menus menus;
    for (QMenuBar* bar : renderer->WindowWidget(frameWindow)->window()->findChildren<QMenuBar*>())
        Walk(bar->actions(), {}, menus);
    std::set<QString> known;
    for (const QString& p : menus.paths)
        known.insert(WithoutDots(p));
    for (const QString& path : paths)
        EXPECT_TRUE(known.count(WithoutDots(path))) << "no menu path \"" << path.toStdString() << "\"";

    ShortcutCatcher catcher;
    QCoreApplication::instance()->installEventFilter(&catcher);
    QWidget* plan = renderer->ControlWidget(sheet, AB_AZP_LIST);
    QWidget* flexList = renderer->View(flex)->Client()->findChild<ListView*>();
    const std::pair<int, QWidget*> places[] = {{sheet, plan}, {flex, flexList}, {manager, tree}, {frameWindow, nullptr}};
    for (const QString& text : keys) {
        const QKeySequence key = QtStyle::ShortcutOf(text.toStdString());
        ASSERT_FALSE(key.isEmpty()) << text.toStdString();
        bool reached = false;
        for (const auto& [window, focus] : places)
            reached = reached || Alerted(window, focus, key) || ReachesOneEntry(window, focus, key, catcher);
        EXPECT_TRUE(reached) << "the key " << text.toStdString() << " reaches no command";
    }
    QCoreApplication::instance()->removeEventFilter(&catcher);
}

// The guide's first-day answer "einen ersten Schichtplan", step by step as it says, with the keys
// and menu entries it names: from the welcome window to a rated plan, printed (as a PDF file: there
// is no printer here) and saved.
TEST_F(Guide, FirstRotaAsItsFirstDayAnswerTellsIt)
{
    NewProjectWithItsWorksheetOpen();
    if (HasFatalFailure())
        return;
    Menus menus;
    for (QMenuBar* bar : renderer->WindowWidget(sheet)->findChildren<QMenuBar*>())
        Walk(bar->actions(), {}, menus);
    auto choose = [&](const QString& path) {
        for (QAction* entry : menus.entries) {
            QString p = EntryText(entry);
            for (QObject* up = entry->parent(); qobject_cast<QMenu*>(up); up = up->parent())
                p = EntryText(static_cast<QMenu*>(up)->menuAction()) + QStringLiteral(" › ") + p;
            if (p == path) {
                ASSERT_TRUE(entry->isEnabled()) << path.toStdString();
                entry->trigger();
                ASSERT_TRUE(renderer->Settle());
                return;
            }
        }
        FAIL() << "no entry " << path.toStdString();
    };
    // A click into a pane: the window under the mouse becomes the active one, as on a screen.
    auto clickInto = [&](int list) {
        auto* view = qobject_cast<ListView*>(renderer->ControlWidget(sheet, list));
        ASSERT_NE(view, nullptr);
        view->window()->activateWindow();
        if (QMdiSubWindow* sub = Sub(sheet))
            sub->mdiArea()->setActiveSubWindow(sub);
        view->setFocus();
        qttest::Click(view->viewport(), QPoint(view->ColumnLeft(2) + 4, view->HeaderHeight() + view->LineHeight() / 2));
        ASSERT_TRUE(renderer->Settle());
    };

    // Chapter 5: the staff demand of Monday, two persons, typed into the entry that Einfg opens
    // and completed with the Enter key.
    clickInto(AB_AKB_LIST);
    qttest::Press(renderer->ControlWidget(sheet, AB_AKB_LIST), Qt::Key_Insert);
    const int entry = WaitFor("Arbeitskräftebedarf");
    ASSERT_NE(entry, 0) << "Einfg opened no staff demand entry";
    auto* count = qobject_cast<QLineEdit*>(renderer->ControlWidget(entry, ControlNamed(entry, "?ANZAHL")));
    ASSERT_NE(count, nullptr);
    count->setFocus();
    count->selectAll();
    qttest::Press(count, Qt::Key_2, Qt::NoModifier, QStringLiteral("2"));
    qttest::Press(count, Qt::Key_Return);
    ASSERT_TRUE(renderer->Settle());
    EXPECT_EQ(CloseMessages(5000), std::vector<std::string>{});
    {
        Runtime::HostBaton b;
        ASSERT_GT(static_cast<CArbeitsblatt*>(GlobalProjektmanager.Projekt().GetArbeitsblatt(1))->GetAKB().Count(), 0);
    }

    // Chapters 6 and 8: the shift demand, then the rota, each from its menu; the search is
    // cancelled after a while, which keeps the best plan found.
    clickInto(AB_SBP_LIST);
    choose(QStringLiteral("Schichtbedarf › Generieren"));
    FinishWizard("Schichtbedarfsplan generieren");
    EXPECT_EQ(CloseMessages(), std::vector<std::string>{"Schichtbedarfsplan generiert"});
    clickInto(AB_AZP_LIST);
    choose(QStringLiteral("Arbeitszeitplan › Generieren"));
    FinishWizard("Arbeitszeitplan generieren");
    CancelSearchAfter(2000);
    CloseMessages();
    {
        Runtime::HostBaton b;
        ASSERT_GT(static_cast<CArbeitsblatt*>(GlobalProjektmanager.Projekt().GetArbeitsblatt(1))->GetAZP().CountGroups(), 0u);
    }

    // Chapters 10 and 14: rated.
    choose(QStringLiteral("Ansicht › Bewertungs-Inspektor"));
    EXPECT_NE(WaitFor("Bewertungs-Inspektor"), 0);
    choose(QStringLiteral("Arbeitszeitplan › Gesamtbewertung anzeigen"));
    EXPECT_EQ(CloseMessages(10000), std::vector<std::string>{"Gesamtbewertung AZP"});

    // Chapter 20: printed with Alt+P (no printer: saved as a PDF file), saved with Strg+S.
    clickInto(AB_AZP_LIST);
    qttest::Press(renderer->ControlWidget(sheet, AB_AZP_LIST), Qt::Key_P, Qt::AltModifier);
    const int refusal = WaitFor("Drucken nicht möglich");
    ASSERT_NE(refusal, 0) << "Alt+P printed nothing";
    Click(Button(refusal, QStringLiteral("Als PDF speichern")));
    ChooseFile(Path("Erster Plan.pdf"));
    EXPECT_TRUE(ProcessUntil([&] { return fs::exists(Path("Erster Plan.pdf")); }));
    clickInto(AB_AZP_LIST);
    qttest::Press(renderer->ControlWidget(sheet, AB_AZP_LIST), Qt::Key_S, Qt::ControlModifier);
    ChooseFile(Path("Station.prj"));
    EXPECT_TRUE(ProcessUntil([&] { return fs::exists(Path("Station.prj")); }));
}

// The pictures makeguide took for the PDF, kept beside the build's program folder.
fs::path PictureFolder() { return fs::path(VARN_TEST_INSTALL_DIR).parent_path() / "lernunterlage-bilder"; }

QImage Picture(const QString& name)
{
    return QImage(QString::fromStdString((PictureFolder() / (name.toStdString() + ".png")).string()));
}

// Pixels of a strong red (the violation markers) and of a strong green (the compensated ones),
// from the row `fromY` down.
int CountPixels(const QImage& image, bool red, int fromY = 0)
{
    int n = 0;
    for (int y = fromY; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            const int main = red ? c.red() : c.green();
            const int other = red ? std::max(c.green(), c.blue()) : std::max(c.red(), c.blue());
            n += main > 140 && main - other > 60 ? 1 : 0;
        }
    return n;
}

TEST(GuidePictures, EveryChapterShowsItsWindowAndTheMarkersItDescribes)
{
    const QString html = ReadGuide();
    ASSERT_TRUE(fs::exists(fs::path(VARN_TEST_INSTALL_DIR) / "lernunterlage.pdf"));
    // Each area's chapter (class "bereich") holds a picture, and every picture was taken.
    const QStringList chapters = html.split(QStringLiteral("<h2"));
    int areas = 0;
    static const QRegularExpression picture(QStringLiteral("src=\"bild:([^\"]+)\""));
    for (const QString& chapter : chapters.mid(1)) {
        const QString heading = Plain(chapter.section(QStringLiteral("</h2>"), 0, 0).section(QLatin1Char('>'), 1));
        QStringList names;
        for (auto it = picture.globalMatch(chapter); it.hasNext();)
            names << it.next().captured(1);
        if (chapter.startsWith(QStringLiteral(" class=\"bereich\""))) {
            ++areas;
            EXPECT_FALSE(names.isEmpty()) << "no picture in \"" << heading.toStdString() << "\"";
        }
        for (const QString& name : names) {
            const QImage image = Picture(name);
            EXPECT_FALSE(image.isNull()) << name.toStdString() << " in \"" << heading.toStdString() << "\"";
            EXPECT_GT(image.width(), 100) << name.toStdString();
        }
    }
    EXPECT_GE(areas, 20);

    // The evaluated plan shows markers the plain one has not; the legend shows red and green ones.
    const QImage plain = Picture(QStringLiteral("arbeitsblatt")), evaluated = Picture(QStringLiteral("arbeitsblatt_bewertet"));
    ASSERT_FALSE(plain.isNull() || evaluated.isNull());
    // The plan's pane is the lowest of the worksheet window: below the toolbar's red icons.
    EXPECT_GT(CountPixels(evaluated, true, evaluated.height() * 6 / 10),
              CountPixels(plain, true, plain.height() * 6 / 10) + 30);
    const QImage legend = Picture(QStringLiteral("legende"));
    ASSERT_FALSE(legend.isNull());
    EXPECT_GT(CountPixels(legend, true), 100);
    EXPECT_GT(CountPixels(legend, false), 100);
}

} // namespace
