// The worksheet windows by keyboard on the real renderer (offscreen), with keys that go the way a
// real key goes (through Qt's shortcut map to the focused window): every key that a menu item or a
// tool tip names runs its command and Qt reports none of them as ambiguous; after each dialog the
// focus is back in the pane it was opened from; the menu bar is walked with F10 and the arrow
// keys; a message over the flex entry dialog closes with Return and keypad Enter; the edit items of
// the menu are enabled exactly when their toolbar buttons are, in every pane; the generation
// wizards are gone through with Return alone.
#include "app/WindowPictures.h"
#include "platform/qt/ListView.h"
#include "platform/qt/Renderer.h"
#include "platform/qt/WindowView.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"
#include "plans/AKBData.h"
#include "plans/FlexAZ.h"
#include "worksheets/ArbeitsblattWindow.h"
#include "worksheets/FlexAZBlattWindow.h"
#include "worksheets/FlexzeitDialog.h"

#include "core/IniFile.h"

#include "SampleWorksheets.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using namespace apptest;

namespace {

std::vector<std::string>* gWarnings = nullptr;
void Collect(QtMsgType, const QMessageLogContext&, const QString& text)
{
    if (gWarnings)
        gWarnings->push_back(text.toStdString());
}

struct KeyCase {
    const char* name;
    int key;
    Qt::KeyboardModifiers mods;
    int list;              // the pane whose list has the focus
    const char* opens;     // the title of the window the command opens
};

class WorksheetKeys : public PictureRun {
protected:
    void SetUp() override
    {
        PictureRun::SetUp();
        gWarnings = &warnings;
        previousHandler = qInstallMessageHandler(Collect);
    }
    void TearDown() override
    {
        qInstallMessageHandler(previousHandler);
        gWarnings = nullptr;
        PictureRun::TearDown();
    }

    int Open(std::function<void()> start, const char* title)
    {
        renderer = std::make_unique<Renderer>();
        renderer->Start(std::move(start));
        const int window = SettledWindow(*renderer, title, apptest::kScreenWaitMs);
        if (window)
            renderer->View(window)->Activate();
        return window;
    }
    ListView* List(int window, int control) { return qobject_cast<ListView*>(renderer->ControlWidget(window, control)); }
    // A click on the first day's cell of the list's first row: its pane becomes the current one.
    void Choose(int window, int list)
    {
        ListView* l = List(window, list);
        ASSERT_NE(l, nullptr);
        renderer->View(window)->Activate();
        const QPoint at(l->ColumnLeft(2) + 4, l->HeaderHeight() + l->LineHeight() / 2);
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), QPointF(l->viewport()->mapToGlobal(at)),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), QPointF(l->viewport()->mapToGlobal(at)),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(l->viewport(), &press);
        QCoreApplication::sendEvent(l->viewport(), &release);
        ASSERT_TRUE(renderer->Settle());
        ASSERT_EQ(QApplication::focusWidget(), l);
    }
    // A key pressed and let go as the window system delivers it: to the window with the focus.
    void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {})
    {
        QWindow* w = QGuiApplication::focusWindow();
        ASSERT_NE(w, nullptr) << "no window has the focus";
        qt_handleKeyEvent(w, QEvent::KeyPress, key, mods, text);
        qt_handleKeyEvent(w, QEvent::KeyRelease, key, mods, text);
        ASSERT_TRUE(renderer->Settle());
    }
    // The dialogs and messages open now (windows of their own).
    std::set<int> Dialogs()
    {
        Runtime::HostBaton b;
        std::set<int> ids;
        for (int id : WindowList()) {
            const WindowModel* m = WindowFind(id);
            QWidget* w = m && m->state == WindowState::Open ? renderer->WindowWidget(id) : nullptr;
            if (w && w->isWindow() && w->isVisible())
                ids.insert(id);
        }
        return ids;
    }
    std::string Title(int id)
    {
        Runtime::HostBaton b;
        return PropertyGet(id, 0, Prop::Text, 0).Str();
    }
    // The title of the dialog that opened since `before` (closed again), "" when none.
    std::string NewDialog(const std::set<int>& before)
    {
        std::string title;
        ProcessUntil([&] {
            renderer->Settle(200);
            for (int id : Dialogs())
                if (!before.count(id)) {
                    title = Title(id);
                    renderer->WindowWidget(id)->window()->close();
                    renderer->Settle();
                    return true;
                }
            return false;
        }, 5000);
        return title;
    }
    // Each key pressed with its pane's list focused opens its window (closed again); Qt reports
    // none as ambiguous, and the focus is back in that list afterwards, so that the planner can
    // go on typing.
    template <size_t N>
    void RunKeyCases(int sheet, const KeyCase (&cases)[N])
    {
        for (const KeyCase& k : cases) {
            SCOPED_TRACE(k.name);
            Choose(sheet, k.list);
            const std::set<int> before = Dialogs();
            Key(k.key, k.mods);
            EXPECT_EQ(NewDialog(before), k.opens);
            EXPECT_FALSE(Ambiguous()) << ::testing::PrintToString(warnings);
            warnings.clear();
            ProcessUntil([&] { return QApplication::focusWidget() == List(sheet, k.list); }, apptest::kScreenWaitMs);
            EXPECT_EQ(QApplication::focusWidget(), List(sheet, k.list));
        }
    }
    bool WindowOpen(const std::string& title)
    {
        for (int id : Dialogs())
            if (Title(id) == title)
                return true;
        return false;
    }
    bool Ambiguous() const
    {
        for (const std::string& w : warnings)
            if (w.find("mbiguous") != std::string::npos)
                return true;
        return false;
    }

    std::vector<std::string> warnings;
    QtMessageHandler previousHandler = nullptr;
};


// Every command key of the worksheet window that opens a window, from a pane of each kind; the
// focus is back in that pane's list after the window is closed.
TEST_F(WorksheetKeys, EachCommandKeyOfTheWorksheetWindowRunsItsCommand)
{
    const int sheet = Open([] { SampleWorksheet(); }, "Arbeitszeitblatt");
    ASSERT_NE(sheet, 0);
    const KeyCase cases[] = {
        {"Alt+P", Qt::Key_P, Qt::AltModifier, AB_AZP_LIST, "Drucken nicht möglich"},
        {"Alt+S", Qt::Key_S, Qt::AltModifier, AB_SBP_LIST, "Schichttypen"},
        {"Alt+E", Qt::Key_E, Qt::AltModifier, AB_AZP_LIST, "Belastungseinschätzung"},
        {"Alt+Ö", Qt::Key_Odiaeresis, Qt::AltModifier, AB_AKB_LIST, "Einstellungen: Grundvergütung, Zuschläge, Zulagen, Dienste"},
        {"Alt+N", Qt::Key_N, Qt::AltModifier, AB_SBP_LIST, "Notiz bearbeiten"},
        {"Alt+D", Qt::Key_D, Qt::AltModifier, AB_AZP_LIST, "Definitionspool"},
        // Generating asks first whether the plan that is there may be overwritten.
        {"Alt+G", Qt::Key_G, Qt::AltModifier, AB_AZP_LIST, "Vorhandene Einträge werden überschrieben."},
        {"Einfg", Qt::Key_Insert, Qt::NoModifier, AB_AKB_LIST, "Arbeitskräftebedarf"},
    };
    RunKeyCases(sheet, cases);
}

// Entf clears the chosen cell, Strg+Z brings it back, Strg+Y clears it again.
TEST_F(WorksheetKeys, DeleteUndoAndRedoByKey)
{
    const int sheet = Open([] { SampleWorksheet(); }, "Arbeitszeitblatt");
    ASSERT_NE(sheet, 0);
    auto plan = [] { return &static_cast<CArbeitsblatt*>(GlobalProjektmanager.Projekt().GetArbeitsblatt(1))->GetAZP(); };
    {
        Runtime::HostBaton b;
        plan()->GetSavable().StoreStep();   // the plan as it was put in is the step to go back to
    }
    auto cell = [&] {
        Runtime::HostBaton b;
        CSchicht* s = plan()->GetCellSchicht(1, 1);
        return s ? s->SYSID : 0u;
    };
    Choose(sheet, AB_AZP_LIST);
    const uint32_t shift = cell();
    ASSERT_NE(shift, 0u);
    Key(Qt::Key_Delete);
    EXPECT_EQ(cell(), 0u);
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(cell(), shift);
    Key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(cell(), 0u);
    EXPECT_FALSE(Ambiguous()) << ::testing::PrintToString(warnings);
}

TEST_F(WorksheetKeys, EachCommandKeyOfTheFlexWindowRunsItsCommand)
{
    const int sheet = Open([] { SampleFlexWorksheet(); }, "Flex-Arbeitszeitblatt");
    ASSERT_NE(sheet, 0);
    const KeyCase cases[] = {
        {"Alt+P", Qt::Key_P, Qt::AltModifier, FX_AZP_LIST, "Drucken nicht möglich"},
        {"Alt+E", Qt::Key_E, Qt::AltModifier, FX_FLEX_LIST, "Belastungseinschätzung"},
        {"Alt+Ö", Qt::Key_Odiaeresis, Qt::AltModifier, FX_AZP_LIST, "Einstellungen: Grundvergütung, Zuschläge, Zulagen, Dienste"},
        {"Alt+N", Qt::Key_N, Qt::AltModifier, FX_FLEX_LIST, "Notiz bearbeiten"},
        {"Alt+D", Qt::Key_D, Qt::AltModifier, FX_AZP_LIST, "Definitionspool"},
        {"Enter", Qt::Key_Return, Qt::NoModifier, FX_FLEX_LIST, "Arbeitszeiten-Eintrag bearbeiten"},
        {"Einfg", Qt::Key_Insert, Qt::NoModifier, FX_FLEX_LIST, "Arbeitszeiten-Eintrag bearbeiten"},
    };
    RunKeyCases(sheet, cases);
}

// F10 opens the first menu, Right and Left lead to the neighbouring menus, also after the window
// has refreshed itself for a while with the menu open; a menu's letter no command uses opens it.
TEST_F(WorksheetKeys, TheMenuBarIsWalkedByKeyboard)
{
    const int sheet = Open([] { SampleWorksheet(); }, "Arbeitszeitblatt");
    ASSERT_NE(sheet, 0);
    Choose(sheet, AB_AZP_LIST);
    auto open = [] {
        auto* m = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        return m ? m->title().remove(QLatin1Char('&')).toStdString() : std::string();
    };
    Key(Qt::Key_F10);
    EXPECT_EQ(open(), "Datei");
    ProcessUntil([] { return false; }, 1000);
    Key(Qt::Key_Right);
    EXPECT_EQ(open(), "Bearbeiten");
    ProcessUntil([] { return false; }, 1000);
    Key(Qt::Key_Right);
    EXPECT_EQ(open(), "Arbeitszeitblatt");
    Key(Qt::Key_Left);
    EXPECT_EQ(open(), "Bearbeiten");
    Key(Qt::Key_Escape);
    Key(Qt::Key_Escape);
    ASSERT_TRUE(ProcessUntil([] { return QApplication::activePopupWidget() == nullptr; }));
    renderer->View(sheet)->Activate();
    Choose(sheet, AB_AZP_LIST);
    Key(Qt::Key_Z, Qt::AltModifier);   // "Arbeits&zeitblatt"
    EXPECT_EQ(open(), "Arbeitszeitblatt");
    Key(Qt::Key_Escape);
    EXPECT_FALSE(Ambiguous()) << ::testing::PrintToString(warnings);
}

// The entry dialog's refusals close with Return and with the keypad's Enter: their only button is
// the default one.
TEST_F(WorksheetKeys, AMessageOverTheFlexEntryDialogClosesWithEnter)
{
    const int dialog = Open([] {
        UseScratchProgramFiles();
        CFlexAZ plan;
        plan.Add(FlexEntry(2, 7 * 60, 15 * 60));
        CFlexSchicht overlapping = FlexEntry(2, 8 * 60, 12 * 60);
        UpdateFlexzeit(plan, overlapping);
    }, "Arbeitszeiten-Eintrag bearbeiten");
    ASSERT_NE(dialog, 0);
    for (int enter : {int(Qt::Key_Return), int(Qt::Key_Enter)}) {
        SCOPED_TRACE(enter);
        Key(Qt::Key_Return);   // OK of the entry dialog: the entry overlaps the one there
        ASSERT_TRUE(ProcessUntil([&] { return renderer->Settle(100) && WindowOpen("Arbeitszeiten überprüfen"); }));
        Key(enter, enter == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        EXPECT_TRUE(ProcessUntil([&] { return renderer->Settle(100) && !WindowOpen("Arbeitszeiten überprüfen"); }));
        EXPECT_NE(renderer->WindowWidget(dialog), nullptr) << "the entry dialog stays open";
    }
}

// The edit items of the menu are enabled exactly when their toolbar buttons are, whichever pane
// has the focus.
TEST_F(WorksheetKeys, MenuItemsAndToolbarButtonsAreEnabledAlikeInEveryPane)
{
    const int sheet = Open([] { SampleWorksheet(); }, "Arbeitszeitblatt");
    ASSERT_NE(sheet, 0);
    const std::pair<int, int> twins[] = {{AB_UNDO_ITEM, AB_UNDO}, {AB_REDO_ITEM, AB_REDO}, {AB_CUT_ITEM, AB_CUT},
                                         {AB_COPY_ITEM, AB_COPY}, {AB_PASTE_ITEM, AB_PASTE},
                                         {AB_NEW_ITEM, AB_INSERT}, {AB_DELETE_ITEM, AB_DELETE},
                                         {AB_SWAP_ITEM, AB_SWAP}};
    bool newSeenEnabled = false;
    for (int list : {AB_AKB_LIST, AB_SBP_LIST, AB_AZP_LIST, AB_AKB_LIST}) {
        SCOPED_TRACE(list);
        Choose(sheet, list);
        for (auto [item, button] : twins) {
            QAction* i = renderer->View(sheet)->ControlAction(item);
            QAction* b = renderer->View(sheet)->ControlAction(button);
            ASSERT_TRUE(i && b);
            EXPECT_EQ(i->isEnabled(), b->isEnabled()) << i->text().toStdString();
            if (item == AB_NEW_ITEM && i->isEnabled())
                newSeenEnabled = true;
        }
    }
    EXPECT_TRUE(newSeenEnabled) << "\"Neuer Eintrag\" was never enabled";
}

} // namespace

namespace {

// A place stored for the flex window far off the screen (from a larger screen): the window opens
// inside the frame's area all the same.
TEST_F(WorksheetKeys, AWindowStoredOffTheScreenOpensOnIt)
{
    const int sheet = Open([] {
        UseScratchProgramFiles();
        for (const char* section : {"UpdateFlexAZBlatt"}) {
            GlobalIni.WriteValue(section, "Maximize", "No");
            GlobalIni.WriteValue(section, "XPos", "4000");
            GlobalIni.WriteValue(section, "YPos", "3000");
        }
        SampleFlexWorksheet();
    }, "Flex-Arbeitszeitblatt");
    ASSERT_NE(sheet, 0);
    // Inside the frame the window lies in the frame's area; on its own, on the screen.
    QWidget* top = renderer->WindowWidget(sheet)->window();
    QRect room = QGuiApplication::primaryScreen()->availableGeometry();
    QRect place = top->frameGeometry();
    QWidget* w = renderer->WindowWidget(sheet);
    while (w && !qobject_cast<QMdiSubWindow*>(w))
        w = w->parentWidget();
    if (auto* sub = qobject_cast<QMdiSubWindow*>(w)) {
        room = QRect(QPoint(0, 0), sub->mdiArea()->viewport()->size());
        place = sub->geometry();
    }
    // As much of it as the room holds is in it (a window larger than a small screen from its top
    // left corner).
    EXPECT_EQ(room.intersected(place).size(), place.size().boundedTo(room.size())) << place.x() << "," << place.y() << " " << place.width() << "x" << place.height();
}

} // namespace

namespace {

// The generation wizards by keyboard alone, keys sent to the wizard's window as the window system
// does: Return presses the button drawn as the default.
class WizardKeys : public WorksheetKeys {
protected:
    void SetUp() override
    {
        WorksheetKeys::SetUp();
        sheet = Open([] {
            SampleWorksheet([](CArbeitsblatt& s, const uint32_t*) {
                for (uint32_t d = 0; d < 7; ++d)
                    s.GetAKB().MergeDemand({{d * 1440 + 480, d * 1440 + 960}, 1}, true);
            });
        }, "Arbeitszeitblatt");
        ASSERT_NE(sheet, 0);
    }

    QWindow* Handle(int window)
    {
        QWidget* w = window ? renderer->WindowWidget(window) : nullptr;
        return w ? w->window()->windowHandle() : nullptr;
    }
    void Press(int window, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QWindow* w = Handle(window);
        ASSERT_NE(w, nullptr);
        QTest::keyClick(w, key, mods);
        ASSERT_TRUE(renderer->Settle());
    }
    int Newest(const std::string& title)
    {
        int found = 0;
        for (int id : Dialogs())
            if (Title(id) == title)
                found = id;
        return found;
    }
    // The wizard's page (from 1), 0 when it is not open.
    int Page(int wizard)
    {
        QWidget* w = renderer->WindowWidget(wizard);
        auto* pages = w ? w->window()->findChild<QTabWidget*>() : nullptr;
        return pages ? pages->currentIndex() + 1 : 0;
    }
    // The text of the push button drawn as the default ("" for none, "+" for more than one).
    std::string DrawnDefault(int wizard)
    {
        std::string text;
        for (QPushButton* b : renderer->WindowWidget(wizard)->window()->findChildren<QPushButton*>())
            if (b->isVisible() && b->isDefault())
                text = text.empty() ? b->text().remove(QLatin1Char('&')).toStdString() : "+";
        return text;
    }
    // The worksheet's command through its menu item; the question whether the plan there may be
    // overwritten answered with Return; the wizard.
    int OpenWizard(int command, const std::string& title)
    {
        Choose(sheet, AB_AZP_LIST);
        QAction* item = renderer->View(sheet)->ControlAction(command);
        if (!item)
            return 0;
        item->trigger();
        int wizard = 0;
        ProcessUntil([&] {
            renderer->Settle(100);
            if (const int question = Newest("Vorhandene Einträge werden überschrieben."))
                QTest::keyClick(Handle(question), Qt::Key_Return);
            // Up, with the focus in it, as the planner gets it.
            wizard = Newest(title);
            QWidget* focus = QApplication::focusWidget();
            return wizard && renderer->WindowWidget(wizard) && focus &&
                   focus->window() == renderer->WindowWidget(wizard)->window();
        });
        return wizard;
    }
    // The generation's progress window or its result: a window opens that is neither the
    // worksheet's nor the wizard. It is ended (the search cancelled) and its messages closed.
    bool GenerationStarted(const std::set<int>& before)
    {
        bool seen = false;
        int quiet = 0;
        ProcessUntil([&] {
            renderer->Settle(100);
            int newest = 0;
            for (int id : Dialogs())
                if (!before.count(id))
                    newest = std::max(newest, id);
            if (!newest)
                return seen && ++quiet >= 5;
            seen = true;
            quiet = 0;
            QWidget* top = renderer->WindowWidget(newest)->window();
            if (Title(newest) != "Berechnung läuft...")
                top->close();
            else
                for (QAbstractButton* b : top->findChildren<QAbstractButton*>())
                    if (b->isVisible() && b->isEnabled() && b->text() == QStringLiteral("Abbrechen"))
                        b->click();
            return false;
        });
        return seen;
    }

    int sheet = 0;
};

struct WizardCase {
    const char* name;
    int command;          // the worksheet's menu item that opens the wizard
    const char* title;
    const char* start;    // the button that starts the generation on the last page
    int pages;
};
const WizardCase kWizards[] = {
    {"shift demand", AB_SBP_GENERIEREN, "Schichtbedarfsplan generieren", "Schichtbedarfsplan generieren", 5},
    {"working-time plan", AB_AZP_GENERIEREN, "Arbeitszeitplan generieren", "Arbeitszeitplan generieren", 4},
};

// Return on each page goes on to the next (the focus went to "Abbrechen" when the page's field
// was hidden, and Return closed the wizard on page 2); on the last page it starts the generation.
TEST_F(WizardKeys, ReturnGoesThroughTheWizardAndStartsTheGeneration)
{
    for (const WizardCase& c : kWizards) {
        SCOPED_TRACE(c.name);
        const int wizard = OpenWizard(c.command, c.title);
        ASSERT_NE(wizard, 0) << Title(wizard);
        for (int page = 1; page < c.pages; ++page) {
            ASSERT_EQ(Page(wizard), page);
            EXPECT_EQ(DrawnDefault(wizard), "weiter >>") << "page " << page;
            Press(wizard, Qt::Key_Return);
            ASSERT_TRUE(ProcessUntil([&] { return renderer->Settle(100) && (Page(wizard) == page + 1 || !Newest(c.title)); }));
            ASSERT_NE(Newest(c.title), 0) << "Return on page " << page << " closed the wizard";
        }
        EXPECT_EQ(DrawnDefault(wizard), c.start);
        std::set<int> before = Dialogs();
        before.erase(wizard);
        Press(wizard, Qt::Key_Return);
        ASSERT_TRUE(ProcessUntil([&] { return renderer->Settle(100) && !Newest(c.title); })) << "the wizard stays open";
        EXPECT_TRUE(GenerationStarted(before)) << "Return on the last page started nothing";
    }
}

// A button the planner moves the focus to with Tab is drawn as the default while it has it, and
// Return presses that one: "<< zurück" goes back a page, "Abbrechen" closes the wizard. Tab from
// "weiter >>" goes round to the page's button (the hidden tab row held it).
TEST_F(WizardKeys, ReturnPressesTheButtonTheFocusWasMovedTo)
{
    const WizardCase& c = kWizards[1];
    const int wizard = OpenWizard(c.command, c.title);
    ASSERT_NE(wizard, 0);
    Press(wizard, Qt::Key_Return);
    Press(wizard, Qt::Key_Return);
    ASSERT_EQ(Page(wizard), 3);
    auto focusOn = [&](const char* text) {
        for (int tab = 0; tab < 10; ++tab) {
            auto* b = qobject_cast<QPushButton*>(QApplication::focusWidget());
            if (b && b->text().remove(QLatin1Char('&')) == QString::fromUtf8(text))
                return true;
            Press(wizard, Qt::Key_Tab);
        }
        return false;
    };
    ASSERT_TRUE(focusOn("<< zurück"));
    EXPECT_EQ(DrawnDefault(wizard), "<< zurück");
    Press(wizard, Qt::Key_Return);
    ASSERT_TRUE(ProcessUntil([&] { return renderer->Settle(100) && Page(wizard) == 2; })) << Page(wizard);
    EXPECT_EQ(DrawnDefault(wizard), "weiter >>");
    ASSERT_TRUE(focusOn("Abbrechen"));
    EXPECT_EQ(DrawnDefault(wizard), "Abbrechen");
    Press(wizard, Qt::Key_Return);
    EXPECT_TRUE(ProcessUntil([&] { return renderer->Settle(100) && !Newest(c.title); }));
}

} // namespace
