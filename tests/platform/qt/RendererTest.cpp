// The renderer on the offscreen platform: a window with every control kind is shown, driven by
// synthetic input, and the events the program's thread receives are checked.
#include "QtTestSupport.h"

#include "platform/qt/ListView.h"
#include "platform/qt/Style.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Input.h"
#include "platform/ui/MessageShow.h"
#include "platform/values/Picture.h"

#include <QAction>
#include <QElapsedTimer>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QFileDialog>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace qttest;

namespace {

// What the program's thread saw; written by the baton holder only, read by the test under the
// host's baton.
struct Seen {
    std::vector<Event> events;
    std::string name = "Muster";
    int zahl = 7;
    int aktiv = 0;
    std::string art = "1";
    std::string drop;
    std::string text;
    int answer = -1;
    std::string file;
    int popup = -1;
    bool resizable = false;        // the window, made before the thread starts
};
Seen* seen = nullptr;

bool Has(int code, int control = -1, int key = -1)
{
    Runtime::HostBaton b;
    for (const Event& e : seen->events)
        if (e.code == code && (control < 0 || e.control == control) && (key < 0 || e.keyCode == key))
            return true;
    return false;
}

enum : int {
    MENUBAR = 1, FILEMENU, NEU, RASTER, GROSS, KLEIN, SEP, SCHLIESSEN,
    TOOLBAR = 10, TBNEW,
    PNAME = 20, NAME, PZAHL, ZAHL, AKTIV, ART, ART1, ART2, DROP, COMBO, LIST, SHEET, TAB1, ONTAB1, TAB2, ONTAB2,
    IMAGE, PROGRESS, GROUP, NOTE, OK, MELDUNG, DATEI, OEFFNEN, POPUP, BOX, LINE, PANEL,
};

class Rows : public ListSource {
public:
    int64_t RowCount() override { return 1000; }
    std::string Field(int64_t row, int field) override
    {
        switch (field) {
        case 1: return std::to_string(row);
        case 2: return "Zeile " + std::to_string(row);
        case 3: return row % 2 ? "255" : "-1";        // text colour
        case 4: return "-1";
        case 5: return "-1";
        case 6: return "-1";
        case 7: return row % 3 == 0 ? "1" : "0";      // icon entry
        case 8: return "Tipp zu Zeile " + std::to_string(row) + "\r\nzweite Zeile";
        default: return {};
        }
    }
};

WindowDesc AllControls()
{
    WindowDesc d;
    d.name = "ALLES";
    d.title = "Alle Steuerelemente";
    d.w = 330;
    d.h = 250;
    d.statusZones = 2;
    d.resizable = seen->resizable;
    d.alertKeys = {Key::F2};
    d.Add(Ctl::Menubar().Id(MENUBAR).Add(Ctl::Menu("&Datei").Id(FILEMENU)
                                 .Add(Ctl::Item("&Neu").Id(NEU).KeyText("Strg-N").Icon("neu.ico").Msg("neues Planungsprojekt anlegen"))
                                 .Add(Ctl::CheckItem("&Raster"))
                                 .Add(Ctl::RadioItem("&Groß").Checked())
                                 .Add(Ctl::RadioItem("&Klein"))
                                 .Add(Ctl::Separator())
                                 .Add(Ctl::Item("&Schließen").Std(StdAction::Close))));
    d.Add(Ctl::Toolbar().Id(TOOLBAR).Add(Ctl::Button("").Id(TBNEW).Icon("neu.ico").Tip("neues Planungsprojekt")));
    d.Add(Ctl::Prompt("&Name:").Id(PNAME).At(6, 6, 40, 10));
    d.Add(Ctl::Entry("@s20").Id(NAME).Name("?NAME").At(50, 5, 90, 12).Use(seen->name));
    d.Add(Ctl::Prompt("&Zahl:").Id(PZAHL).At(6, 22, 40, 10));
    d.Add(Ctl::Spin("@n3", 0, 100).Id(ZAHL).At(50, 21, 40, 12).Use(seen->zahl));
    d.Add(Ctl::Check("&Aktiv").Id(AKTIV).At(100, 22, 50, 10).Use(seen->aktiv));
    d.Add(Ctl::Option("Art").Id(ART).At(6, 38, 134, 28).Use(seen->art)
              .Add(Ctl::Radio("normal", "1").Id(ART1).At(12, 50, 50, 10))
              .Add(Ctl::Radio("frei", "2").Id(ART2).At(70, 50, 50, 10)));
    d.Add(Ctl::DropList("60L|#1#").Id(DROP).At(6, 72, 80, 12).From({"eins", "zwei", "drei"}).Use(seen->drop));
    d.Add(Ctl::Combo("@s10", "60L|#1#").Id(COMBO).At(90, 72, 50, 12).From({"rot", "grün"}));
    d.Add(Ctl::List("40R~Nr~|#1#100L*IP~Text~|#2#").Id(LIST).At(150, 5, 170, 100).Tip("Liste"));
    d.Add(Ctl::Sheet().Id(SHEET).At(6, 110, 140, 60)
              .Add(Ctl::Tab("Eins").Id(TAB1).Add(Ctl::String("auf Karte eins").Id(ONTAB1).At(12, 130, 100, 10)))
              .Add(Ctl::Tab("Zwei").Id(TAB2).Add(Ctl::Check("auf Karte zwei").Id(ONTAB2).At(12, 130, 100, 10))));
    d.Add(Ctl::Image("splash.gif").Id(IMAGE).At(150, 110, 60, 40));
    d.Add(Ctl::Progress(0, 100).Id(PROGRESS).At(215, 110, 100, 10));
    d.Add(Ctl::Group("Gruppe").Id(GROUP).At(215, 125, 105, 45));
    d.Add(Ctl::Text().Id(NOTE).At(220, 137, 95, 28).Use(seen->text));
    d.Add(Ctl::Button("&OK").Id(OK).Name("?OK").At(6, 180, 50, 15).Default());
    d.Add(Ctl::Button("&Meldung").Id(MELDUNG).At(60, 180, 50, 15).Icon("message.ico"));
    d.Add(Ctl::Button("&Datei...").Id(DATEI).At(114, 180, 50, 15));
    d.Add(Ctl::Button("Ö&ffnen").Id(OEFFNEN).At(168, 180, 50, 15).Tip("Internet Browser starten"));
    d.Add(Ctl::Button("&Menü").Id(POPUP).At(222, 180, 50, 15));
    d.Add(Ctl::Box(0xC0C0C0).Id(BOX).At(280, 180, 20, 15));
    d.Add(Ctl::Line().Id(LINE).At(6, 200, 310, 2));
    d.Add(Ctl::Panel().Id(PANEL).At(6, 205, 310, 20));
    return d;
}

// The program's side: one window, every event noted; some buttons make requests.
void AllControlsMain()
{
    int win = WindowCreate(AllControls());
    WindowOpen(win);
    ListSetSource(LIST, std::make_shared<Rows>());
    PropertySet(LIST, Prop::IconList, "mini_tabelle.ico", 1);
    PropertySet(PROGRESS, Prop::Value, 40);
    PropertySet(0, Prop::StatusText, "bereit", 1);
    while (WindowAccept(win)) {
        seen->events.push_back(EventCurrentRecord());
        if (EventAccepted() == MELDUNG) {
            MessageRequest m;
            m.text = "Änderungen speichern?|Zweite Zeile";
            m.caption = "Frage";
            m.icon = MessageIcon::Question;
            m.buttonBits = BUTTON_YES | BUTTON_NO | BUTTON_CANCEL;
            m.defaultButton = BUTTON_YES;
            seen->answer = MessageShow(m);
        } else if (EventAccepted() == DATEI) {
            std::string name = "plan.prj";
            seen->file = FileDialog("Planungsprojekt speichern", name, "Varn 4 Projekt|*.prj", FILE_SAVE) ? name : "(abgebrochen)";
        } else if (EventAccepted() == OEFFNEN) {
            ShellOpen("http://example.invalid/a b;echo x", "", "", false);
        } else if (EventAccepted() == POPUP) {
            std::vector<PopupEntry> items(3);
            items[0].text = "&Kopieren";
            items[0].number = 1;
            items[1].separator = true;
            items[2].text = "&Einfügen";
            items[2].number = 2;
            seen->popup = PopupRequest(items, 10, 10);
        } else if (EventAccepted() == OK) {
            break;
        }
    }
    WindowClose(win);
}

struct ShellCall {
    QString program;
    QStringList arguments;
};

class RendererTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        App();
        state = std::make_unique<Seen>();
        seen = state.get();
        Renderer::Options o;
        o.startDetached = [this](const QString& p, const QStringList& a, const QString&) {
            shell.push_back({p, a});
            return true;
        };
        renderer = std::make_unique<Renderer>(o);
    }
    void TearDown() override
    {
        renderer.reset();
        seen = nullptr;
    }
    void StartAll()
    {
        renderer->Start(AllControlsMain);
        ASSERT_TRUE(renderer->Settle());
        win = 1;
        ASSERT_NE(renderer->WindowWidget(win), nullptr);
    }
    template <typename T>
    T* W(int control)
    {
        auto* w = qobject_cast<T*>(renderer->ControlWidget(win, control));
        EXPECT_NE(w, nullptr) << "control " << control;
        return w;
    }
    PropValue Model(int control, Prop p, int index = 0)
    {
        Runtime::HostBaton b;
        return PropertyGet(win, control, p, index);
    }
    // Runs on the program's side (under the host's baton, as a thread would), then lets the
    // renderer catch up.
    void Program(const std::function<void()>& f)
    {
        {
            Runtime::HostBaton b;
            WindowSetTarget(win);
            f();
            WindowSetTarget(0);
        }
        ASSERT_TRUE(renderer->Settle());
    }

    // Settles after `ms` of Qt's events (the window's placement is reported after a pause).
    void SettleAfter(int ms)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        ASSERT_TRUE(renderer->Settle());
    }
    void ForgetEvents()
    {
        Runtime::HostBaton b;
        seen->events.clear();
    }

    std::unique_ptr<Seen> state;
    std::unique_ptr<Renderer> renderer;
    std::vector<ShellCall> shell;
    int win = 0;
};

TEST_F(RendererTest, EveryControlKindHasItsWidget)
{
    StartAll();
    QWidget* top = renderer->WindowWidget(win);
    EXPECT_EQ(top->windowTitle(), QStringLiteral("Alle Steuerelemente"));
    EXPECT_TRUE(top->isVisible());
    W<QLabel>(PNAME);
    EXPECT_EQ(W<QLineEdit>(NAME)->text(), QStringLiteral("Muster"));
    EXPECT_EQ(W<QSpinBox>(ZAHL)->value(), 7);
    EXPECT_FALSE(W<QCheckBox>(AKTIV)->isChecked());
    EXPECT_EQ(W<QGroupBox>(ART)->title(), QStringLiteral("Art"));
    EXPECT_TRUE(W<QRadioButton>(ART1)->isChecked());
    EXPECT_FALSE(W<QRadioButton>(ART2)->isChecked());
    auto* drop = W<QComboBox>(DROP);
    ASSERT_EQ(drop->count(), 3);
    EXPECT_EQ(drop->itemText(1), QStringLiteral("zwei"));
    EXPECT_TRUE(W<QComboBox>(COMBO)->isEditable());
    auto* list = W<ListView>(LIST);
    EXPECT_EQ(list->RowCount(), 1000);
    auto* sheet = W<QTabWidget>(SHEET);
    ASSERT_EQ(sheet->count(), 2);
    EXPECT_EQ(sheet->tabText(1), QStringLiteral("Zwei"));
    // Controls on the tab not chosen are hidden.
    EXPECT_TRUE(W<QLabel>(ONTAB1)->isVisible());
    EXPECT_FALSE(W<QCheckBox>(ONTAB2)->isVisible());
    EXPECT_FALSE(W<QLabel>(IMAGE)->pixmap().isNull());
    EXPECT_EQ(W<QProgressBar>(PROGRESS)->value(), 40);
    EXPECT_EQ(W<QGroupBox>(GROUP)->title(), QStringLiteral("Gruppe"));
    W<QPlainTextEdit>(NOTE);
    auto* ok = W<QPushButton>(OK);
    EXPECT_TRUE(ok->isDefault());
    EXPECT_FALSE(W<QPushButton>(MELDUNG)->icon().isNull());
    EXPECT_EQ(W<QPushButton>(OEFFNEN)->toolTip(), QStringLiteral("Internet Browser starten"));
    W<QFrame>(BOX);
    W<QFrame>(LINE);
    W<QFrame>(PANEL);

    // Menus with shortcut, check and radio marks and icons; the tool bar with its tip.
    WindowView* view = renderer->View(win);
    QAction* neu = view->ControlAction(NEU);
    ASSERT_NE(neu, nullptr);
    EXPECT_EQ(neu->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
    EXPECT_TRUE(neu->text().endsWith(QStringLiteral("\tStrg-N")));
    EXPECT_FALSE(neu->icon().isNull());
    EXPECT_EQ(neu->statusTip(), QStringLiteral("neues Planungsprojekt anlegen"));
    EXPECT_TRUE(view->ControlAction(RASTER)->isCheckable());
    EXPECT_TRUE(view->ControlAction(GROSS)->isChecked());
    EXPECT_FALSE(view->ControlAction(KLEIN)->isChecked());
    EXPECT_TRUE(view->ControlAction(SEP)->isSeparator());
    QAction* tb = view->ControlAction(TBNEW);
    ASSERT_NE(tb, nullptr);
    EXPECT_EQ(tb->toolTip(), QStringLiteral("neues Planungsprojekt"));
    EXPECT_FALSE(tb->icon().isNull());
    auto* zone = top->findChild<QLabel*>(QStringLiteral("zone1"));
    ASSERT_NE(zone, nullptr);
    EXPECT_EQ(zone->text(), QStringLiteral("bereit"));

    // The list told the model its real geometry.
    ListGeometry g;
    {
        Runtime::HostBaton b;
        WindowSetTarget(win);
        g = ListGeometryOf(LIST);
        WindowSetTarget(0);
    }
    EXPECT_EQ(g.width, list->ToModel(list->viewport()->width()));
    EXPECT_EQ(g.visibleRows, list->VisibleRows());
    EXPECT_GT(g.visibleRows, 3);
    Screenshot(top, QStringLiteral("alle_steuerelemente"));
}

TEST_F(RendererTest, InputBecomesTheEventsTheProgramExpects)
{
    StartAll();
    // Typing into an entry and leaving it: Accepted, the use variable holds the text.
    auto* name = W<QLineEdit>(NAME);
    name->setFocus();
    name->setText(QStringLiteral("Frühschicht"));
    Press(name, Qt::Key_Tab);
    emit name->editingFinished();
    ASSERT_TRUE(renderer->Settle());
    EXPECT_TRUE(Has(EVENT_ACCEPTED, NAME));
    {
        Runtime::HostBaton b;
        EXPECT_EQ(seen->name, "Frühschicht");
    }
    // Check box, radio, drop list, tab: each as the Parts expect it.
    // (on the mark: a click beside the text does nothing)
    Click(W<QCheckBox>(AKTIV), QPoint(6, W<QCheckBox>(AKTIV)->height() / 2));
    Click(W<QRadioButton>(ART2), QPoint(6, W<QRadioButton>(ART2)->height() / 2));
    ASSERT_TRUE(renderer->Settle());
    EXPECT_TRUE(Has(EVENT_ACCEPTED, AKTIV));
    EXPECT_TRUE(Has(EVENT_ACCEPTED, ART));
    EXPECT_TRUE(W<QRadioButton>(ART2)->isChecked());
    EXPECT_FALSE(W<QRadioButton>(ART1)->isChecked());
    {
        Runtime::HostBaton b;
        EXPECT_EQ(seen->aktiv, 1);
        EXPECT_EQ(seen->art, "2");
    }
    emit W<QComboBox>(DROP)->activated(2);
    ASSERT_TRUE(renderer->Settle());
    EXPECT_TRUE(Has(EVENT_NEW_SELECTION, DROP));
    EXPECT_TRUE(Has(EVENT_ACCEPTED, DROP));
    EXPECT_EQ(W<QComboBox>(DROP)->currentIndex(), 2);
    auto* sheet = W<QTabWidget>(SHEET);
    Click(sheet->tabBar(), sheet->tabBar()->tabRect(1).center());
    ASSERT_TRUE(renderer->Settle());
    EXPECT_TRUE(Has(EVENT_NEW_SELECTION, SHEET));
    EXPECT_EQ(Model(SHEET, Prop::Selected).Int(), 2);
    EXPECT_EQ(sheet->currentIndex(), 1);
    EXPECT_TRUE(W<QCheckBox>(ONTAB2)->isVisible());
    EXPECT_FALSE(W<QLabel>(ONTAB1)->isVisible());
    // The spin box's arrows take the new value.
    W<QSpinBox>(ZAHL)->stepUp();
    ASSERT_TRUE(renderer->Settle());
    EXPECT_TRUE(Has(EVENT_ACCEPTED, ZAHL));
    {
        Runtime::HostBaton b;
        EXPECT_EQ(seen->zahl, 8);
    }
    // The menu item and the tool bar button: Accepted of their controls.
    renderer->View(win)->ControlAction(NEU)->trigger();
    renderer->View(win)->ControlAction(TBNEW)->trigger();
    ASSERT_TRUE(renderer->Settle());
    EXPECT_TRUE(Has(EVENT_ACCEPTED, NEU));
    EXPECT_TRUE(Has(EVENT_ACCEPTED, TBNEW));
    // A window's alert key from any field, with its key code.
    Press(name, Qt::Key_F2);
    ASSERT_TRUE(renderer->Settle());
    EXPECT_TRUE(Has(EVENT_ALERT_KEY, NAME, Key::F2));
    // Closing by the title bar asks the program; it closes the window by default.
    Click(W<QPushButton>(OK));
    ASSERT_TRUE(renderer->Settle());
    EXPECT_TRUE(Has(EVENT_ACCEPTED, OK));
    EXPECT_TRUE(renderer->Ended());
    EXPECT_EQ(renderer->WindowWidget(win), nullptr);
}

TEST_F(RendererTest, ListMouseAndKeysReachTheModelInUnits)
{
    StartAll();
    auto* list = W<ListView>(LIST);
    QWidget* vp = list->viewport();
    // The third visible row, in the second column.
    int y = list->RowTop(2) + list->LineHeight() / 2;
    Click(vp, QPoint(list->ColumnLeft(2) + 10, y));
    ASSERT_TRUE(renderer->Settle());
    EXPECT_TRUE(Has(EVENT_NEW_SELECTION, LIST));
    EXPECT_EQ(Model(LIST, Prop::Selected).Int(), 3);
    EXPECT_EQ(Model(LIST, Prop::Column).Int(), 2);
    EXPECT_EQ(Model(LIST, Prop::ListMouseDownRow).Int(), 3);
    // Down moves the selection, Enter accepts, a double click accepts too.
    Press(list, Qt::Key_Down);
    ASSERT_TRUE(renderer->Settle());
    EXPECT_EQ(Model(LIST, Prop::Selected).Int(), 4);
    Press(list, Qt::Key_Return);
    ASSERT_TRUE(renderer->Settle());
    EXPECT_TRUE(Has(EVENT_ACCEPTED, LIST));
    // Scrolling moves the model's first row; the rows under the mouse follow.
    Press(list, Qt::Key_End);
    ASSERT_TRUE(renderer->Settle());
    EXPECT_EQ(Model(LIST, Prop::Selected).Int(), 1000);
    EXPECT_EQ(list->TopRow(), 1000 - list->VisibleRows());
    EXPECT_EQ(Model(LIST, Prop::VScrollPos).Int(), 1000 - list->VisibleRows());
    list->verticalScrollBar()->setValue(100);
    ASSERT_TRUE(renderer->Settle());
    EXPECT_EQ(Model(LIST, Prop::VScrollPos).Int(), 100);
    Click(vp, QPoint(10, list->HeaderHeight() + list->LineHeight() / 2));
    ASSERT_TRUE(renderer->Settle());
    EXPECT_EQ(Model(LIST, Prop::Selected).Int(), 101);
    Screenshot(list, QStringLiteral("liste_gescrollt"));
}

TEST_F(RendererTest, FocusPlacementAndWindowStateBecomeTheirEvents)
{
    seen->resizable = true;
    StartAll();
    QWidget* top = renderer->WindowWidget(win);
    top->activateWindow();
    QApplication::setActiveWindow(top);
    SettleAfter(50);
    auto send = [top](QEvent::Type type) {
        QEvent e(type);
        QCoreApplication::sendEvent(top, &e);
    };
    struct Case {
        const char* what;
        std::function<void()> act;
        int code;
        int control;
        int pauseMs;       // the placement is reported once the window holds still
    };
    const std::vector<Case> cases = {
        {"ein Feld bekommt den Fokus", [this] { W<QSpinBox>(ZAHL)->setFocus(Qt::TabFocusReason); }, EVENT_SELECTED, ZAHL, 0},
        {"die Liste bekommt den Fokus", [this] { W<ListView>(LIST)->setFocus(Qt::MouseFocusReason); }, EVENT_SELECTED, LIST, 0},
        {"das Fenster verliert den Fokus", [send] { send(QEvent::WindowDeactivate); }, EVENT_LOSE_FOCUS, 0, 0},
        {"das Fenster bekommt den Fokus", [send] { send(QEvent::WindowActivate); }, EVENT_GAIN_FOCUS, 0, 0},
        {"Größe geändert", [top] { top->resize(top->width() + 40, top->height() + 20); }, EVENT_SIZED, 0, 200},
        {"verschoben", [top] { top->move(top->x() + 30, top->y() + 12); }, EVENT_MOVED, 0, 200},
        {"minimiert", [top] { top->showMinimized(); }, EVENT_ICONIZED, 0, 0},
        {"wiederhergestellt nach Minimieren", [top] { top->showNormal(); }, EVENT_RESTORED, 0, 0},
        {"maximiert", [top] { top->showMaximized(); }, EVENT_MAXIMIZED, 0, 0},
        {"wiederhergestellt nach Maximieren", [top] { top->showNormal(); }, EVENT_RESTORED, 0, 200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ForgetEvents();
        c.act();
        SettleAfter(c.pauseMs);
        EXPECT_TRUE(Has(c.code, c.control));
    }
    // The model holds what the screen shows: state flags and the last normal placement in units.
    EXPECT_FALSE(Model(0, Prop::Maximize).Bool());
    EXPECT_FALSE(Model(0, Prop::Iconize).Bool());
    QSize inner = renderer->View(win)->Client()->size();
    EXPECT_EQ(Model(0, Prop::Width).Int(), QtStyle::ToUnits(inner.width()));
    EXPECT_EQ(Model(0, Prop::Height).Int(), QtStyle::ToUnits(inner.height()));
    EXPECT_EQ(Model(0, Prop::Xpos).Int(), QtStyle::ToUnits(top->geometry().x()));
}

TEST_F(RendererTest, ListCellsShowTheirColoursIconsAndTips)
{
    StartAll();
    auto* list = W<ListView>(LIST);
    const QColor text = list->palette().color(QPalette::Text);
    // Rows: odd ones red (field 3 = 255), every third with the list's icon 1, each with a two-line tip.
    struct Case {
        int64_t row;
        int column;
        std::string text;
        QColor fore;
        std::string icon;
    };
    const std::vector<Case> cases = {
        {2, 1, "2", text, ""},
        {2, 2, "Zeile 2", text, ""},
        {3, 2, "Zeile 3", QColor(255, 0, 0), "mini_tabelle.ico"},
        {5, 2, "Zeile 5", QColor(255, 0, 0), ""},
        {6, 2, "Zeile 6", text, "mini_tabelle.ico"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.row) + "/" + std::to_string(c.column));
        ListView::CellLook look = list->Look(c.row, c.column);
        ASSERT_TRUE(look.known);
        EXPECT_EQ(look.text, c.text);
        EXPECT_EQ(look.fore, c.fore);
        EXPECT_FALSE(look.back.isValid());
        EXPECT_EQ(look.icon, c.icon);
    }
    EXPECT_FALSE(list->Look(1001, 1).known);
    // The chosen row shows the selection's colours, whatever its own.
    Program([] { PropertySet(LIST, Prop::Selected, 3); });
    ListView::CellLook chosen = list->Look(3, 2);
    EXPECT_EQ(chosen.fore, list->palette().color(QPalette::HighlightedText));
    EXPECT_EQ(chosen.back, list->palette().color(QPalette::Highlight));
    // A cell's tip keeps its second line; a column without tips shows the list's own.
    int row4 = list->HeaderHeight() + 3 * list->LineHeight() + list->LineHeight() / 2;
    EXPECT_EQ(list->TipAt(QPoint(list->ColumnLeft(2) + 20, row4)), QStringLiteral("Tipp zu Zeile 4\nzweite Zeile"));
    EXPECT_EQ(list->TipAt(QPoint(5, row4)), QStringLiteral("Liste"));
}

TEST_F(RendererTest, ThePainterDrawsOnTheList)
{
    StartAll();
    auto* list = W<ListView>(LIST);
    const int green = 0x00FF00;
    // The program draws in units; the picture is read in the viewport's pixels.
    int top = list->ModelHeaderHeight() + 2;
    auto pixel = [list](int x, int y) {
        return list->viewport()->grab().toImage().pixelColor(list->ToViewport(x), list->ToViewport(y));
    };
    QImage before = list->viewport()->grab().toImage();
    auto was = [&](int x, int y) { return before.pixelColor(list->ToViewport(x), list->ToViewport(y)); };
    ASSERT_NE(was(20, top + 10), QColor(0, 255, 0));
    Program([top] {
        Painter p(LIST);
        p.SetPen(255, 1);
        p.SetBrush(green);
        p.Rectangle(10, top, 30, top + 20);
    });
    EXPECT_EQ(pixel(20, top + 10), QColor(0, 255, 0));     // inside: the brush
    EXPECT_EQ(pixel(10, top + 10), QColor(255, 0, 0));     // the left edge: the pen
    EXPECT_EQ(pixel(40, top + 10), was(40, top + 10));   // beside it: the rows as they were
    Program([] { Painter(LIST).Clear(); });
    EXPECT_EQ(pixel(20, top + 10), was(20, top + 10));
}

TEST_F(RendererTest, ProgramChangesShowAtOnce)
{
    StartAll();
    Program([] {
        ControlHide(AKTIV);
        ControlDisable(NAME);
        PropertySet(OK, Prop::Text, "&Fertig");
        PropertySet(PROGRESS, Prop::Value, 75);
        PropertySet(0, Prop::Text, "Neuer Titel");
        PropertySet(0, Prop::StatusText, "läuft", 2);
        PropertySet(SHEET, Prop::Wizard, 1);
        ControlSelect(TAB2);
    });
    EXPECT_FALSE(W<QCheckBox>(AKTIV)->isVisible());
    EXPECT_FALSE(W<QLineEdit>(NAME)->isEnabled());
    EXPECT_EQ(W<QPushButton>(OK)->text(), QStringLiteral("&Fertig"));
    EXPECT_EQ(W<QProgressBar>(PROGRESS)->value(), 75);
    EXPECT_EQ(renderer->WindowWidget(win)->windowTitle(), QStringLiteral("Neuer Titel"));
    EXPECT_EQ(renderer->WindowWidget(win)->findChild<QLabel*>(QStringLiteral("zone2"))->text(), QStringLiteral("läuft"));
    // A read-only field looks it: the window's background, not the field's.
    const QColor fieldBack = W<QLineEdit>(NAME)->palette().color(QPalette::Active, QPalette::Base);
    Program([] { PropertySet(NAME, Prop::ReadOnly, 1); });
    EXPECT_TRUE(W<QLineEdit>(NAME)->isReadOnly());
    EXPECT_EQ(W<QLineEdit>(NAME)->palette().color(QPalette::Active, QPalette::Base),
              QApplication::palette().color(QPalette::Active, QPalette::Window));
    Program([] { PropertySet(NAME, Prop::ReadOnly, 0); });
    EXPECT_EQ(W<QLineEdit>(NAME)->palette().color(QPalette::Active, QPalette::Base), fieldBack);
    auto* sheet = W<QTabWidget>(SHEET);
    EXPECT_FALSE(sheet->tabBar()->isVisible());     // tab rows hidden, pages still switch
    EXPECT_EQ(sheet->currentIndex(), 1);
    EXPECT_TRUE(W<QCheckBox>(ONTAB2)->isVisible());
    Program([] {
        PropertySet(SHEET, Prop::Wizard, 0);
        PropertySet(TAB1, Prop::Hide, 1);
    });
    EXPECT_TRUE(sheet->tabBar()->isVisible());
    EXPECT_FALSE(sheet->isTabVisible(0));
    EXPECT_TRUE(sheet->isTabVisible(1));
    // A control made at run time appears; a destroyed one goes.
    Program([] {
        ControlCreate(Ctl::String("Bitte warten...").At(160, 160, 80, 10).Name("?WAIT"), 200);
        ControlDestroy(BOX);
    });
    auto* wait = qobject_cast<QLabel*>(renderer->ControlWidget(win, 200));
    ASSERT_NE(wait, nullptr);
    EXPECT_EQ(wait->text(), QStringLiteral("Bitte warten..."));
    EXPECT_EQ(renderer->ControlWidget(win, BOX), nullptr);
    // A text given room for several lines breaks to fit; a one-line text does not.
    Program([] {
        ControlCreate(Ctl::Prompt("Bitte wählen Sie, ob Sie mit einem Arbeitszeitblatt fortfahren möchten, oder "
                                  "mit einem Flex-Arbeitszeitblatt.")
                          .At(120, 110, 200, 40),
                      201);
    });
    auto* explanation = qobject_cast<QLabel*>(renderer->ControlWidget(win, 201));
    ASSERT_NE(explanation, nullptr);
    EXPECT_TRUE(explanation->wordWrap());
    EXPECT_LE(explanation->heightForWidth(explanation->width()), explanation->height());   // all of it shows
    EXPECT_TRUE(explanation->alignment() & Qt::AlignTop);   // from the top of its room, as the line beside it
    EXPECT_FALSE(wait->wordWrap());
    // The program's drawing on a list is kept for the replay.
    Program([] {
        Painter p(LIST);
        p.SetPen(255, 2);
        p.SetBrush(-1);
        p.Rectangle(2, 20, 40, 40);
        p.Text(0, 20, 40, 20, "9,50", 255, 37);
        p.Icon(40, 20, "mini_kalender.ico");
    });
    Screenshot(renderer->WindowWidget(win), QStringLiteral("nach_aenderungen"));
}

TEST_F(RendererTest, RequestsAreAnsweredThroughDialogs)
{
    StartAll();
    // Message box: German buttons, the pressed one's bit is the answer.
    Click(W<QPushButton>(MELDUNG));
    ASSERT_TRUE(renderer->Settle());
    auto* box = qobject_cast<QMessageBox*>(renderer->RequestWidget(UiRequest::Kind::Message));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Frage"));
    EXPECT_EQ(box->text(), QStringLiteral("Änderungen speichern?\nZweite Zeile"));
    QStringList texts;
    for (QAbstractButton* b : box->buttons())
        texts << b->text();
    EXPECT_TRUE(texts.contains(QStringLiteral("&Ja")));
    EXPECT_TRUE(texts.contains(QStringLiteral("&Nein")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Abbrechen")));
    EXPECT_EQ(box->defaultButton()->text(), QStringLiteral("&Ja"));
    Screenshot(box, QStringLiteral("meldung"));
    for (QAbstractButton* b : box->buttons())
        if (b->text() == QStringLiteral("&Nein"))
            b->click();
    ASSERT_TRUE(renderer->Settle());
    {
        Runtime::HostBaton b;
        EXPECT_EQ(seen->answer, static_cast<int>(BUTTON_NO));
    }
    // File dialog: the chosen path comes back; the filter reads as Qt's.
    Click(W<QPushButton>(DATEI));
    ASSERT_TRUE(renderer->Settle());
    auto* fd = qobject_cast<QFileDialog*>(renderer->RequestWidget(UiRequest::Kind::FileDialog));
    ASSERT_NE(fd, nullptr);
    EXPECT_EQ(fd->windowTitle(), QStringLiteral("Planungsprojekt speichern"));
    EXPECT_EQ(fd->nameFilters(), QStringList{QStringLiteral("Varn 4 Projekt (*.prj)")});
    EXPECT_EQ(fd->acceptMode(), QFileDialog::AcceptSave);
    QString chosen = QDir::current().absoluteFilePath(QStringLiteral("gewählt.prj"));
    auto* nameEdit = fd->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(nameEdit, nullptr);
    nameEdit->setText(chosen);
    QMetaObject::invokeMethod(fd, "accept");
    ASSERT_TRUE(renderer->Settle());
    {
        Runtime::HostBaton b;
        EXPECT_EQ(seen->file, QtStyle::S(chosen));
    }
    // Shell open: the desktop opener with the target as one argument, no shell in between.
    Click(W<QPushButton>(OEFFNEN));
    ASSERT_TRUE(renderer->Settle());
    ASSERT_EQ(shell.size(), 1u);
    EXPECT_EQ(shell[0].program, QStringLiteral("xdg-open"));
    EXPECT_EQ(shell[0].arguments, QStringList{QStringLiteral("http://example.invalid/a b;echo x")});
    // Popup menu: the chosen item's number.
    Click(W<QPushButton>(POPUP));
    ASSERT_TRUE(renderer->Settle());
    auto* menu = qobject_cast<QMenu*>(renderer->RequestWidget(UiRequest::Kind::Popup));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->actions().size(), 3);
    EXPECT_TRUE(menu->actions()[1]->isSeparator());
    menu->actions()[2]->trigger();
    menu->hide();
    ASSERT_TRUE(renderer->Settle());
    {
        Runtime::HostBaton b;
        EXPECT_EQ(seen->popup, 2);
    }
}

TEST_F(RendererTest, FileDialogsOpenInTheFolderOfTheLastFileChosen)
{
    StartAll();
    QTemporaryDir elsewhere;
    ASSERT_TRUE(elsewhere.isValid());
    auto ask = [this]() -> QFileDialog* {
        Click(W<QPushButton>(DATEI));
        EXPECT_TRUE(renderer->Settle());
        return qobject_cast<QFileDialog*>(renderer->RequestWidget(UiRequest::Kind::FileDialog));
    };
    QFileDialog* first = ask();
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first->directory().absolutePath(), elsewhere.path());
    first->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(elsewhere.filePath(QStringLiteral("woanders.prj")));
    QMetaObject::invokeMethod(first, "accept");
    ASSERT_TRUE(renderer->Settle());
    QFileDialog* second = ask();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->directory().absolutePath(), QDir(elsewhere.path()).absolutePath());
    QMetaObject::invokeMethod(second, "reject");
    ASSERT_TRUE(renderer->Settle());
}

TEST_F(RendererTest, TreeBoxesOpenAndCloseRows)
{
    StartAll();
    // A project tree made at run time: a collapsed root and an open one with a child.
    Program([] {
        ControlCreate(Ctl::List("120LT~Projekt~|#1#").At(150, 110, 100, 60), 300);
        ListSetRows(300, {"Projekt A|-1", "Projekt B|1", "Blatt 1|2"});
    });
    auto* tree = qobject_cast<ListView*>(renderer->ControlWidget(win, 300));
    ASSERT_NE(tree, nullptr);
    tree->raise();
    const int half = tree->LineHeight() / 2;
    const int box = tree->ToViewport(TREE_INDENT / 2.0);
    // The box of row 1 lies in the first indent; a click there opens the collapsed row.
    Click(tree->viewport(), QPoint(box, tree->RowTop(0) + half));
    // The box of row 2 closes the open row; a click on the text only selects.
    Click(tree->viewport(), QPoint(box, tree->RowTop(1) + half));
    Click(tree->viewport(), QPoint(tree->ToViewport(2 * TREE_INDENT + 10), tree->RowTop(2) + half));
    ASSERT_TRUE(renderer->Settle());
    Runtime::HostBaton b;
    std::vector<std::pair<int, int>> opened;
    for (const Event& e : seen->events)
        if (e.control == 300 && (e.code == EVENT_EXPANDED || e.code == EVENT_CONTRACTED))
            opened.push_back({e.code, e.row});
    std::vector<std::pair<int, int>> expected = {{EVENT_EXPANDED, 1}, {EVENT_CONTRACTED, 2}};
    EXPECT_EQ(opened, expected);
    EXPECT_EQ(PropertyGet(win, 300, Prop::Selected, 0).Int(), 3);
}

TEST_F(RendererTest, EscapeClosesADialogFromAFieldAndFromAList)
{
    for (int control : {int(NAME), int(LIST)}) {
        SCOPED_TRACE(control);
        StartAll();
        QWidget* w = renderer->ControlWidget(win, control);
        ASSERT_NE(w, nullptr);
        w->setFocus();
        Press(w, Qt::Key_Escape);
        ASSERT_TRUE(renderer->Settle());
        EXPECT_TRUE(Has(EVENT_CLOSE_WINDOW));
        EXPECT_TRUE(renderer->Ended());
        Runtime::HostBaton b;
        seen->events.clear();
    }
}

// A dialog that hears of Tab and Enter for the whole window, as the time fields of dialogs do:
// "24:30" typed in the time field means half past midnight and is taken as "00:30".
struct TimeDialogSeen {
    std::string zeit, name, notiz;
};
TimeDialogSeen* timeSeen = nullptr;
enum : int { ZEIT = 1, NAME2, NOTIZ, OK2 };

void TimeDialogMain()
{
    WindowDesc d;
    d.title = "Zeit";
    d.w = 200;
    d.h = 120;
    d.alertKeys = {Key::TAB, Key::SHIFT_TAB, Key::ENTER, Key::SHIFT_ENTER};
    d.Add(Ctl::Entry("@s10").Id(ZEIT).At(6, 6, 60, 12).Use(timeSeen->zeit));
    d.Add(Ctl::Entry("@s20").Id(NAME2).At(6, 22, 90, 12).Use(timeSeen->name));
    d.Add(Ctl::Text().Id(NOTIZ).At(6, 38, 180, 40).Use(timeSeen->notiz));
    d.Add(Ctl::Button("OK").Id(OK2).At(6, 90, 50, 15).Default());
    int win = WindowCreate(d);
    WindowOpen(win);
    while (WindowAccept(win)) {
        seen->events.push_back(EventCurrentRecord());
        if (EventCurrent() == EVENT_ALERT_KEY && ControlFocus() == ZEIT) {
            std::string text = PropertyGet(ZEIT, Prop::ScreenText).Str();
            if (text.rfind("24", 0) == 0) {
                PropertySet(ZEIT, Prop::ScreenText, "00" + text.substr(2));
                ControlUpdate(ZEIT);
            }
        }
        if (EventAccepted() == OK2)
            break;
    }
    WindowClose(win);
}

TEST_F(RendererTest, TabAndEnterAlertedByTheWindowStillDoWhatTheyDo)
{
    TimeDialogSeen values;
    timeSeen = &values;
    renderer->Start(TimeDialogMain);
    ASSERT_TRUE(renderer->Settle());
    win = 1;
    QWidget* top = renderer->WindowWidget(win);
    ASSERT_NE(top, nullptr);
    top->activateWindow();
    QApplication::setActiveWindow(top);
    SettleAfter(50);

    // Tab: the program hears of it first, its correction is what the field is taken with, then
    // the focus moves on.
    auto* zeit = W<QLineEdit>(ZEIT);
    zeit->setFocus(Qt::TabFocusReason);
    SettleAfter(20);
    zeit->setText(QStringLiteral("24:30"));
    Press(zeit, Qt::Key_Tab);
    SettleAfter(50);
    EXPECT_TRUE(Has(EVENT_ALERT_KEY, ZEIT, Key::TAB));
    EXPECT_EQ(zeit->text(), QStringLiteral("00:30"));
    EXPECT_EQ(QApplication::focusWidget(), W<QLineEdit>(NAME2));
    {
        Runtime::HostBaton b;
        EXPECT_EQ(values.zeit, "00:30");
    }
    // Shift+Tab goes back.
    Press(W<QLineEdit>(NAME2), Qt::Key_Backtab, Qt::ShiftModifier);
    SettleAfter(50);
    EXPECT_EQ(QApplication::focusWidget(), zeit);
    // A time the program leaves alone is taken as typed when the focus moves on.
    ForgetEvents();
    zeit->setText(QStringLiteral("07:15"));
    Press(zeit, Qt::Key_Tab);
    SettleAfter(50);
    EXPECT_TRUE(Has(EVENT_ALERT_KEY, ZEIT, Key::TAB));
    EXPECT_TRUE(Has(EVENT_ACCEPTED, ZEIT));
    EXPECT_EQ(QApplication::focusWidget(), W<QLineEdit>(NAME2));
    {
        Runtime::HostBaton b;
        EXPECT_EQ(values.zeit, "07:15");
    }

    // Enter in the notes text breaks the line; in a field it presses the default button.
    auto* notiz = W<QPlainTextEdit>(NOTIZ);
    notiz->setFocus(Qt::TabFocusReason);
    notiz->setPlainText(QStringLiteral("erste"));
    notiz->moveCursor(QTextCursor::End);
    Press(notiz, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    SettleAfter(50);
    EXPECT_TRUE(Has(EVENT_ALERT_KEY, NOTIZ, Key::ENTER));
    EXPECT_EQ(notiz->toPlainText(), QStringLiteral("erste\n"));
    W<QLineEdit>(NAME2)->setFocus(Qt::TabFocusReason);
    SettleAfter(20);
    Press(W<QLineEdit>(NAME2), Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    SettleAfter(50);
    EXPECT_TRUE(Has(EVENT_ACCEPTED, OK2));
    EXPECT_TRUE(renderer->Ended());
    timeSeen = nullptr;
}

// A tabbed dialog: a field on each page and OK; what the field held when OK was pressed.
enum : int { KARTEN_SHEET = 1, KARTEN_TAB1, KARTEN_LOHN, KARTEN_TAB2, KARTEN_NAME, KARTEN_OK, KARTEN_AUS };
std::string* lohnAtOk = nullptr;

void KartenMain()
{
    static std::string lohn, name;
    lohn = "20,50";
    name = "";
    WindowDesc d;
    d.title = "Karten";
    d.w = 200;
    d.h = 120;
    d.Add(Ctl::Sheet().Id(KARTEN_SHEET).At(4, 4, 190, 80)
              .Add(Ctl::Tab("Lohn").Id(KARTEN_TAB1).Add(Ctl::Entry("@s10").Id(KARTEN_LOHN).At(20, 30, 80, 12).Use(lohn)))
              .Add(Ctl::Tab("Name").Id(KARTEN_TAB2).Add(Ctl::Entry("@s10").Id(KARTEN_NAME).At(20, 30, 80, 12).Use(name))));
    d.Add(Ctl::Entry("@s10").Id(KARTEN_AUS).At(4, 90, 60, 12).Disabled());
    d.Add(Ctl::Button("&OK").Id(KARTEN_OK).At(140, 90, 50, 15));
    int win = WindowCreate(d);
    WindowOpen(win);
    while (WindowAccept(win))
        if (EventAccepted() == KARTEN_OK) {
            *lohnAtOk = lohn;
            break;
        }
    WindowClose(win);
}

TEST_F(RendererTest, WhatWasTypedReachesTheModelHoweverTheFieldIsLeft)
{
    struct Case {
        const char* how;
        bool changeTab;
    };
    const Case cases[] = {{"the tab changes and back, then OK", true}, {"OK by its letter, the focus stays", false}};
    for (const Case& c : cases) {
        std::string atOk = "(nicht gedrückt)";
        lohnAtOk = &atOk;
        auto r = std::make_unique<Renderer>();
        r->Start(KartenMain);
        ASSERT_TRUE(r->Settle());
        auto* field = qobject_cast<QLineEdit*>(r->ControlWidget(1, KARTEN_LOHN));
        auto* sheet = qobject_cast<QTabWidget*>(r->ControlWidget(1, KARTEN_SHEET));
        auto* ok = qobject_cast<QPushButton*>(r->ControlWidget(1, KARTEN_OK));
        ASSERT_TRUE(field && sheet && ok);
        field->setFocus(Qt::MouseFocusReason);
        field->selectAll();
        field->insert(QStringLiteral("33,33"));
        if (c.changeTab) {
            Click(sheet->tabBar(), sheet->tabBar()->tabRect(1).center());
            ASSERT_TRUE(r->Settle());
            ASSERT_FALSE(field->isVisible()) << c.how;
            Click(sheet->tabBar(), sheet->tabBar()->tabRect(0).center());
            ASSERT_TRUE(r->Settle());
            EXPECT_EQ(field->text(), QStringLiteral("33,33")) << c.how;
        }
        ok->click();
        ASSERT_TRUE(r->Settle());
        {
            Runtime::HostBaton b;
            EXPECT_EQ(atOk, "33,33") << c.how;
        }
        EXPECT_TRUE(r->Ended()) << c.how;
        r.reset();
    }
    lohnAtOk = nullptr;
}

TEST_F(RendererTest, ColoursFollowEachControlsOwnEnabledState)
{
    StartAll();
    // A modal message over the window greys it; once answered, nothing stays grey.
    Click(W<QPushButton>(MELDUNG));
    ASSERT_TRUE(renderer->Settle());
    auto* box = qobject_cast<QMessageBox*>(renderer->RequestWidget(UiRequest::Kind::Message));
    ASSERT_NE(box, nullptr);
    box->buttons().front()->click();
    ASSERT_TRUE(renderer->Settle());
    ASSERT_TRUE(renderer->WindowWidget(win)->isEnabled());
    const QPalette app = QApplication::palette();
    for (int control : {NAME, AKTIV, OK}) {
        QWidget* w = renderer->ControlWidget(win, control);
        ASSERT_TRUE(w && w->isEnabled()) << control;
        EXPECT_EQ(w->palette().color(QPalette::Active, QPalette::Text), app.color(QPalette::Active, QPalette::Text)) << control;
        EXPECT_EQ(w->palette().color(QPalette::Active, QPalette::WindowText), app.color(QPalette::Active, QPalette::WindowText)) << control;
    }
    // A control the model disables shows the disabled colours, the others the enabled ones.
    Program([] { PropertySet(NAME, Prop::Disable, true); });
    QWidget* name = renderer->ControlWidget(win, NAME);
    EXPECT_FALSE(name->isEnabled());
    EXPECT_NE(name->palette().color(QPalette::Disabled, QPalette::Text), name->palette().color(QPalette::Active, QPalette::Text));
    EXPECT_EQ(name->palette().color(QPalette::Disabled, QPalette::Text), app.color(QPalette::Disabled, QPalette::Text));
    Screenshot(renderer->WindowWidget(win), QStringLiteral("farben_nach_meldung"));
}

// A message laid out to its window's size: a white background over the whole width, the text
// and a button below it.
void FilledMain()
{
    WindowDesc d;
    d.title = "Hinweis";
    d.w = 180;
    d.h = 70;
    d.Add(Ctl::Box(0xFFFFFF).Id(1).At(0, 0, 180, 45));
    d.Add(Ctl::String("Das Planungsprojekt wurde gespeichert.").Id(2).At(20, 15, 150, 10));
    d.Add(Ctl::Button("&OK").Id(3).At(65, 50, 50, 15));
    int win = WindowCreate(d);
    WindowOpen(win);
    while (WindowAccept(win)) {
    }
    WindowClose(win);
}

TEST_F(RendererTest, ABackgroundFillingTheWindowLeavesNoStripBesideIt)
{
    renderer->Start(FilledMain);
    ASSERT_TRUE(renderer->Settle());
    win = 1;
    QWidget* box = renderer->ControlWidget(win, 1);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(renderer->View(win)->Client()->width(), box->width());
    Screenshot(renderer->WindowWidget(win), QStringLiteral("hinweis_ohne_symbol"));
    renderer->WindowWidget(win)->close();
    ASSERT_TRUE(renderer->Settle());
}

// A form with a time field, a date field, a note and OK; what they held when OK was pressed.
enum : int { FORM_ZEIT = 1, FORM_DATUM, FORM_NOTIZ, FORM_OK, FORM_ABBRECHEN };
struct FormValues {
    std::string zeit = "06:00", datum = "01.02.2025", notiz = "alt";
    bool ok = false, cancelled = false;
};
FormValues* form = nullptr;

void FormMain()
{
    WindowDesc d;
    d.title = "Formular";
    d.w = 200;
    d.h = 100;
    d.Add(Ctl::Entry("@t4").Id(FORM_ZEIT).At(10, 10, 60, 12).Use(form->zeit));
    d.Add(Ctl::Entry("@d17").Id(FORM_DATUM).At(10, 28, 60, 12).Use(form->datum));
    d.Add(Ctl::Entry("@s20").Id(FORM_NOTIZ).At(10, 46, 100, 12).Use(form->notiz));
    d.Add(Ctl::Button("&OK").Id(FORM_OK).At(80, 75, 50, 15).Default());
    d.Add(Ctl::Button("&Abbrechen").Id(FORM_ABBRECHEN).At(135, 75, 50, 15));
    int win = WindowCreate(d);
    WindowOpen(win);
    while (WindowAccept(win)) {
        if (EventAccepted() == FORM_OK) {
            form->ok = true;
            break;
        }
        if (EventAccepted() == FORM_ABBRECHEN) {
            form->cancelled = true;
            break;
        }
    }
    WindowClose(win);
}

TEST_F(RendererTest, InputAFieldCannotHoldIsRefusedAtOnce)
{
    struct Case {
        int field;
        const char* typed;
    };
    const Case cases[] = {{FORM_ZEIT, "25:99"}, {FORM_ZEIT, "abc"}, {FORM_DATUM, "31.02.2025"}};
    for (const Case& c : cases) {
        FormValues values;
        form = &values;
        auto r = std::make_unique<Renderer>();
        r->Start(FormMain);
        ASSERT_TRUE(r->Settle());
        auto* field = qobject_cast<QLineEdit*>(r->ControlWidget(1, c.field));
        auto* ok = qobject_cast<QPushButton*>(r->ControlWidget(1, FORM_OK));
        ASSERT_TRUE(field && ok);
        const QString before = field->text();
        field->setText(QString::fromUtf8(c.typed));
        // OK does not go through: the field keeps the text for correcting and says why.
        ok->click();
        ASSERT_TRUE(r->Settle());
        EXPECT_FALSE(r->Ended()) << c.typed;
        EXPECT_EQ(field->text(), QString::fromUtf8(c.typed));
        EXPECT_EQ(field->property("varnRefused").toString().toStdString(), ParsePicture(c.typed, c.field == FORM_ZEIT ? "@t4" : "@d17").message);
        EXPECT_FALSE(field->property("varnRefused").toString().isEmpty()) << c.typed;
        // Cancel goes on with what the model holds, and the field shows it again.
        qobject_cast<QPushButton*>(r->ControlWidget(1, FORM_ABBRECHEN))->click();
        EXPECT_EQ(field->text(), before) << c.typed;
        ASSERT_TRUE(r->Settle());
        EXPECT_TRUE(r->Ended()) << c.typed;
        {
            Runtime::HostBaton b;
            EXPECT_TRUE(values.cancelled) << c.typed;
            EXPECT_FALSE(values.ok) << c.typed;
        }
        r.reset();
    }

    // A correct time goes through; a character the stored text cannot hold is not typed at all.
    FormValues values;
    form = &values;
    auto r = std::make_unique<Renderer>();
    r->Start(FormMain);
    ASSERT_TRUE(r->Settle());
    auto* notiz = qobject_cast<QLineEdit*>(r->ControlWidget(1, FORM_NOTIZ));
    ASSERT_NE(notiz, nullptr);
    notiz->setFocus(Qt::OtherFocusReason);
    notiz->setText(QStringLiteral("Büro"));
    notiz->end(false);
    Press(notiz, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("\xF0\x9F\x98\x80"));
    Press(notiz, Qt::Key_E, Qt::NoModifier, QStringLiteral("€"));
    EXPECT_EQ(notiz->text(), QStringLiteral("Büro€"));
    qobject_cast<QLineEdit*>(r->ControlWidget(1, FORM_ZEIT))->setText(QStringLiteral("07:15"));
    qobject_cast<QPushButton*>(r->ControlWidget(1, FORM_OK))->click();
    ASSERT_TRUE(r->Settle());
    EXPECT_TRUE(r->Ended());
    {
        Runtime::HostBaton b;
        EXPECT_TRUE(values.ok);
        EXPECT_EQ(values.zeit, "2610001");   // 07:15 as a clock value
        EXPECT_EQ(values.notiz, "Büro€");
    }
    r.reset();
    form = nullptr;
}

// A tabbed form laid out for a low tab bar and narrow letters: a prompt for a column of fields,
// a long prompt, fields close under the tab bar and a button under the sheet.
enum : int { LAGE_SHEET = 1, LAGE_TAB, LAGE_LANG, LAGE_FELD, LAGE_SPALTE, LAGE_EINS, LAGE_FELD1, LAGE_OK };

void LayoutMain()
{
    WindowDesc d;
    d.title = "Lage";
    d.w = 220;
    d.h = 110;
    d.Add(Ctl::Sheet().Id(LAGE_SHEET).At(4, 4, 212, 80)
              .Add(Ctl::Tab("Allgemein").Id(LAGE_TAB)
                       .Add(Ctl::Prompt("&Bezeichnung Arbeitsplatz:").Id(LAGE_LANG).At(10, 18, 70, 10))
                       .Add(Ctl::Entry("@s20").Id(LAGE_FELD).At(110, 18, 90, 12))
                       .Add(Ctl::Prompt("&Tätigkeiten:").Id(LAGE_SPALTE).At(10, 34, 60, 10))
                       .Add(Ctl::Prompt("1.").Id(LAGE_EINS).At(100, 34, 10, 10))
                       .Add(Ctl::Entry("@s20").Id(LAGE_FELD1).At(110, 34, 90, 12))));
    d.Add(Ctl::Button("&OK").Id(LAGE_OK).At(160, 88, 50, 15));
    int win = WindowCreate(d);
    WindowOpen(win);
    while (WindowAccept(win)) {
    }
    WindowClose(win);
}

TEST_F(RendererTest, DialogLayoutKeepsControlsApartAndLabelsWhole)
{
    renderer->Start(LayoutMain);
    ASSERT_TRUE(renderer->Settle());
    win = 1;
    auto* sheet = W<QTabWidget>(LAGE_SHEET);
    ASSERT_NE(sheet, nullptr);
    const int barBottom = sheet->geometry().top() + sheet->tabBar()->geometry().bottom();
    for (int control : {LAGE_LANG, LAGE_FELD, LAGE_SPALTE, LAGE_EINS, LAGE_FELD1})
        EXPECT_GT(renderer->ControlWidget(win, control)->geometry().top(), barBottom) << control;
    EXPECT_GT(W<QPushButton>(LAGE_OK)->geometry().top(), sheet->geometry().bottom());
    // Labels show whole, without a stray "&", and do not reach into their fields.
    auto* lang = W<QLabel>(LAGE_LANG);
    EXPECT_GE(lang->width(), lang->fontMetrics().horizontalAdvance(QStringLiteral("Bezeichnung Arbeitsplatz:")));
    EXPECT_LE(lang->geometry().right(), W<QLineEdit>(LAGE_FELD)->geometry().left());
    auto* spalte = W<QLabel>(LAGE_SPALTE);
    EXPECT_TRUE(spalte->buddy() != nullptr || !spalte->text().contains(QLatin1Char('&'))) << spalte->text().toStdString();
    EXPECT_EQ(spalte->buddy(), renderer->ControlWidget(win, LAGE_FELD1));
    Screenshot(renderer->WindowWidget(win), QStringLiteral("lage"));
    renderer->WindowWidget(win)->close();
    ASSERT_TRUE(renderer->Settle());
}

// A group on a sheet's tab, with a field in it: the frames in their order, the field on top.
enum : int { STAPEL_SHEET = 1, STAPEL_TAB, STAPEL_GROUP, STAPEL_FELD };

void StackedMain()
{
    WindowDesc d;
    d.title = "Stapel";
    d.w = 200;
    d.h = 120;
    d.Add(Ctl::Sheet().Id(STAPEL_SHEET).At(4, 4, 190, 100)
              .Add(Ctl::Tab("Allgemein").Id(STAPEL_TAB)
                       .Add(Ctl::Group("Auftraggeber").Id(STAPEL_GROUP).At(10, 24, 170, 60))
                       .Add(Ctl::Entry("@s20").Id(STAPEL_FELD).At(20, 40, 100, 12))));
    int win = WindowCreate(d);
    WindowOpen(win);
    while (WindowAccept(win)) {
    }
    WindowClose(win);
}

TEST_F(RendererTest, AGroupOnASheetsTabLiesOverTheSheet)
{
    renderer->Start(StackedMain);
    ASSERT_TRUE(renderer->Settle());
    win = 1;
    QWidget* sheet = renderer->ControlWidget(win, STAPEL_SHEET);
    QWidget* group = renderer->ControlWidget(win, STAPEL_GROUP);
    QWidget* field = renderer->ControlWidget(win, STAPEL_FELD);
    ASSERT_TRUE(sheet && group && field);
    ASSERT_EQ(sheet->parentWidget(), group->parentWidget());
    // Qt keeps siblings in stacking order, the top one last.
    const QObjectList order = sheet->parentWidget()->children();
    EXPECT_LT(order.indexOf(sheet), order.indexOf(group));
    EXPECT_LT(order.indexOf(group), order.indexOf(field));
    EXPECT_TRUE(group->isVisible());
    Screenshot(renderer->WindowWidget(win), QStringLiteral("gruppe_auf_karte"));
    renderer->WindowWidget(win)->close();
    ASSERT_TRUE(renderer->Settle());
}

TEST_F(RendererTest, ClosingByTheTitleBarAsksTheProgram)
{
    StartAll();
    renderer->WindowWidget(win)->close();
    ASSERT_TRUE(renderer->Settle());
    EXPECT_TRUE(Has(EVENT_CLOSE_WINDOW));
    // The default handling closed the window; the loop ended and so did the thread.
    EXPECT_TRUE(renderer->Ended());
}

} // namespace
