#include "platform/headless/HeadlessDriver.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

struct Seen {
    int code, control;
    bool operator==(const Seen& o) const { return code == o.code && control == o.control; }
};
std::ostream& operator<<(std::ostream& o, const Seen& s) { return o << std::hex << s.code << std::dec << "/" << s.control; }

std::vector<Seen> seen;   // written by the baton holder only

// Runs a window on thread 1: `handle` sees every event except the opening; returning true skips
// the default handling.
void RunWindow(const WindowDesc& desc, std::function<bool()> handle = {})
{
    int w = WindowCreate(desc);
    WindowOpen(w);
    while (WindowAccept(w)) {
        if (EventCurrent() == EVENT_OPEN_WINDOW)
            continue;
        seen.push_back({EventCurrent(), EventControl()});
        if (handle && handle())
            EventSkipDefault();
    }
    WindowClose(w);
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override { seen.clear(); }
    HeadlessDriver driver;
};

TEST_F(WindowTest, ControlsAreNumberedInDeclarationOrderAfterTheLastNumberGiven)
{
    static std::vector<int> ids;
    driver.Start([] {
        WindowDesc d;
        d.title = "Nummern";
        d.Add(Ctl::Button("eins"))
            .Add(Ctl::Entry().Id(10))
            .Add(Ctl::Button("elf"))
            .Add(Ctl::Sheet().Add(Ctl::Tab("Karte").Add(Ctl::Entry().Name("?FELD"))))
            .Add(Ctl::Menubar().Add(Ctl::Menu("&Datei").Add(Ctl::Item("&Öffnen")).Add(Ctl::Separator())));
        int w = WindowCreate(d);
        ids.clear();
        for (auto& c : WindowFind(w)->controls)
            ids.push_back(c.id * 100 + c.parent);
        WindowClose(w);
    });
    driver.WaitEnd();
    // id * 100 + parent
    EXPECT_EQ(ids, (std::vector<int>{100, 1000, 1100, 1200, 1312, 1413, 1500, 1615, 1716, 1816}));
}

TEST_F(WindowTest, TypedTextPassesThroughThePictureIntoTheUseVariable)
{
    struct Case {
        const char* picture;
        const char* typed;
        bool accepted;
        const char* value;      // the use variable afterwards
        const char* screen;     // the screen text afterwards
    };
    const Case cases[] = {
        {"@n3", "42", true, "42", "42"},
        {"@n3", "4x2", false, "7", "4x2"},
        {"@T7", "7:30", true, "2700001", "07:30"},
        {"@D17", "01.01.1801", true, "4", "01.01.1801"},
        {"@s5", "Früh", true, "Früh", "Früh"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.picture) + " " + c.typed);
        static std::string text;
        static long number;
        static const Case* current;
        current = &c;
        text = "alt";
        number = 7;
        seen.clear();
        driver.Start([] {
            WindowDesc d;
            d.title = "Eingabe";
            ControlDesc e = Ctl::Entry(current->picture);
            if (std::string(current->picture) == "@s5")
                e.Use(UseVar(text));
            else
                e.Use(UseVar(number));
            d.Add(e).Add(Ctl::Button("OK").Std(StdAction::Close));
            RunWindow(d);
        });
        int w = driver.Window("Eingabe");
        driver.Type(w, 1, c.typed);
        std::string value = std::string(c.picture) == "@s5" ? text : std::to_string(number);
        EXPECT_EQ(value, c.value);
        EXPECT_EQ(driver.Text(w, 1), c.screen);
        EXPECT_EQ(seen.back(), (Seen{c.accepted ? EVENT_ACCEPTED : EVENT_REJECTED, 1}));
        driver.Press(w, "OK");
        driver.WaitEnd();
    }
}

TEST_F(WindowTest, CloseWindowEndsTheLoopUnlessTheDefaultIsSkipped)
{
    static int refusals = 0;
    refusals = 0;
    driver.Start([] {
        WindowDesc d;
        d.title = "Zäh";
        RunWindow(d, [] { return EventCurrent() == EVENT_CLOSE_WINDOW && ++refusals == 1; });
    });
    int w = driver.Window("Zäh");
    driver.Close(w);
    EXPECT_NE(driver.FindWindow("Zäh"), 0);
    driver.Close(w);
    driver.WaitEnd();
    EXPECT_EQ(refusals, 2);
}

TEST_F(WindowTest, EscapeClosesADialogUnlessSomethingAlertedIt)
{
    struct Case {
        const char* name;
        WindowKind kind;
        bool alerted;       // Escape is an alert key of the window
        int control;        // where the key is pressed: 0 the window, 1 an entry, 2 a list
        bool closes;
    };
    const Case cases[] = {
        {"Dialog", WindowKind::Window, false, 0, true},
        {"Dialog, Eingabefeld", WindowKind::Window, false, 1, true},
        {"Dialog, Liste", WindowKind::Window, false, 2, true},
        {"Dialog mit Esc als Alarmtaste", WindowKind::Window, true, 1, false},
        {"Rahmen", WindowKind::MdiFrame, false, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        static const Case* current;
        current = &c;
        seen.clear();
        driver.Start([] {
            WindowDesc d;
            d.title = "Esc";
            d.kind = current->kind;
            if (current->alerted)
                d.alertKeys = {Key::ESC};
            d.Add(Ctl::Entry()).Add(Ctl::List("40L|").At(0, 20, 40, 40));
            RunWindow(d);
        });
        int w = driver.Window("Esc");
        driver.Key(w, c.control, Key::ESC);
        EXPECT_EQ(driver.FindWindow("Esc") == 0, c.closes);
        if (c.alerted) {
            EXPECT_EQ(seen, (std::vector<Seen>{{EVENT_ALERT_KEY, c.control}}));
        }
        if (!c.closes)
            driver.Close(w);
        driver.WaitEnd();
    }
}

TEST_F(WindowTest, AcceptAllPassVisitsValueControlsInOrderAndStopsAtASelect)
{
    static bool stopAtSecond = false;
    static std::string a, b, c;
    static long n = 0;
    for (bool stop : {false, true}) {
        SCOPED_TRACE(stop);
        stopAtSecond = stop;
        seen.clear();
        driver.Start([] {
            WindowDesc d;
            d.title = "Alle";
            d.Add(Ctl::Entry("@s10").Use(UseVar(a)))                       // 1
                .Add(Ctl::Sheet()                                          // 2
                         .Add(Ctl::Tab("eins").Add(Ctl::Entry("@s10").Use(UseVar(b))))   // 3, 4
                         .Add(Ctl::Tab("zwei").Add(Ctl::Spin("@n3", 1, 8).Use(UseVar(n))))) // 5, 6
                .Add(Ctl::Entry("@s10").Use(UseVar(c)).Disabled())        // 7
                .Add(Ctl::Button("OK"));                                   // 8
            RunWindow(d, [] {
                if (EventAccepted() == 8)
                    WindowAcceptAll();
                if (stopAtSecond && EventAccepted() == 4)
                    ControlSelect(4);
                if (EventCurrent() == EVENT_COMPLETED)
                    EventPost(EVENT_CLOSE_WINDOW);
                return false;
            });
        });
        int w = driver.Window("Alle");
        driver.Press(w, "OK");
        if (stop) {
            EXPECT_EQ(seen, (std::vector<Seen>{{EVENT_ACCEPTED, 8}, {EVENT_ACCEPTED, 1}, {EVENT_ACCEPTED, 4},
                                               {EVENT_SELECTED, 4}}));
            EXPECT_EQ(driver.Property(w, 0, Prop::AcceptAll).Int(), 0);
            driver.Close(w);
        } else {
            // The spin on the tab that is not shown is accepted too; the disabled entry is not.
            EXPECT_EQ(seen, (std::vector<Seen>{{EVENT_ACCEPTED, 8}, {EVENT_ACCEPTED, 1}, {EVENT_ACCEPTED, 4},
                                               {EVENT_ACCEPTED, 6}, {EVENT_COMPLETED, 0}, {EVENT_CLOSE_WINDOW, 0}}));
        }
        driver.WaitEnd();
    }
}

TEST_F(WindowTest, AWindowUnderADialogOfItsThreadTakesNoInput)
{
    driver.Start([] {
        WindowDesc d;
        d.title = "Haupt";
        d.Add(Ctl::Button("Dialog"));
        RunWindow(d, [] {
            if (EventAccepted() == 1) {
                WindowDesc dlg;
                dlg.title = "Dialog";
                dlg.Add(Ctl::Button("Schließen").Std(StdAction::Close));
                RunWindow(dlg);
            }
            return false;
        });
    });
    int main = driver.Window("Haupt");
    driver.Press(main, "Dialog");
    int dlg = driver.Window("Dialog");
    EXPECT_THROW(driver.Press(main, "Dialog"), DriverError);
    driver.Press(dlg, "Schließen");
    EXPECT_EQ(driver.FindWindow("Dialog"), 0);
    driver.Close(main);
    driver.WaitEnd();
}

TEST_F(WindowTest, ACloseMeantForAWindowUnderADialogWaitsUntilTheDialogHasGone)
{
    static int mainWindow = 0;
    driver.Start([] {
        WindowDesc d;
        d.title = "Haupt";
        d.Add(Ctl::Button("Dialog"));
        mainWindow = WindowCreate(d);
        WindowOpen(mainWindow);
        while (WindowAccept(mainWindow)) {
            seen.push_back({EventCurrent(), EventControl()});
            if (EventAccepted() == 1) {
                WindowDesc dlg;
                dlg.title = "Dialog";
                dlg.Add(Ctl::Button("Schließen").Std(StdAction::Close));
                RunWindow(dlg);
            }
        }
        WindowClose(mainWindow);
    });
    int main = driver.Window("Haupt");
    driver.Press(main, "Dialog");
    int dlg = driver.Window("Dialog");
    {
        // Another thread asks the main window to close while the dialog is open.
        Runtime::HostBaton b;
        Event e;
        e.code = EVENT_CLOSE_WINDOW;
        e.window = main;
        EventPost(e, 1);
    }
    driver.WaitIdle();
    EXPECT_NE(driver.FindWindow("Dialog"), 0);     // the dialog is not closed by it
    EXPECT_NE(driver.FindWindow("Haupt"), 0);
    driver.Press(dlg, "Schließen");
    driver.WaitEnd();                               // then the main window got its close and ended
    EXPECT_EQ(seen.back(), (Seen{EVENT_CLOSE_WINDOW, 0}));
}

TEST_F(WindowTest, AWindowUnderADialogDoesNotTick)
{
    static int mainTicks = 0, dialogTimers = 0;
    mainTicks = dialogTimers = 0;
    driver.Start([] {
        WindowDesc d;
        d.title = "Uhr";
        d.timer = 5;
        d.Add(Ctl::Button("Dialog"));
        int w = WindowCreate(d);
        WindowOpen(w);
        while (WindowAccept(w)) {
            if (EventCurrent() == EVENT_TIMER)
                ++mainTicks;
            if (EventAccepted() == 1) {
                WindowDesc dlg;
                dlg.title = "Dialog";
                int v = WindowCreate(dlg);
                WindowOpen(v);
                while (WindowAccept(v))
                    if (EventCurrent() == EVENT_TIMER)
                        ++dialogTimers;
                WindowClose(v);
            }
        }
        WindowClose(w);
    });
    int w = driver.Window("Uhr");
    driver.AdvanceTime(10);
    EXPECT_EQ(mainTicks, 2);
    driver.Press(w, "Dialog");
    driver.AdvanceTime(50);
    EXPECT_EQ(dialogTimers, 0);
    driver.Close(driver.Window("Dialog"));
    driver.AdvanceTime(10);
    EXPECT_EQ(mainTicks, 4);
    driver.Close(w);
    driver.WaitEnd();
}

TEST_F(WindowTest, HiddenDisabledAndOffTabControlsRefuseInput)
{
    driver.Start([] {
        WindowDesc d;
        d.title = "Sperren";
        d.Add(Ctl::Button("a").Hidden())
            .Add(Ctl::Button("b").Disabled())
            .Add(Ctl::Group("g").Disabled().Add(Ctl::Button("c")))
            .Add(Ctl::Sheet().Add(Ctl::Tab("eins")).Add(Ctl::Tab("zwei").Add(Ctl::Button("d"))));
        RunWindow(d);
    });
    int w = driver.Window("Sperren");
    for (const char* name : {"a", "b", "c", "d"})
        EXPECT_THROW(driver.Press(w, name), DriverError) << name;
    driver.Choose(w, driver.Control(w, "zwei"));
    driver.Press(w, "d");
    EXPECT_EQ(seen, (std::vector<Seen>{{EVENT_NEW_SELECTION, 5}, {EVENT_ACCEPTED, 8}}));
    driver.Close(w);
    driver.WaitEnd();
}

TEST_F(WindowTest, CheckOptionDropListAndMenuItemsWriteTheirUseVariables)
{
    static long check = 0, option = 0, zoomChecked = 0;
    static std::string drop;
    driver.Start([] {
        WindowDesc d;
        d.title = "Werte";
        d.Add(Ctl::Check("Haken").Use(UseVar(check)))                                         // 1
            .Add(Ctl::Option("Art").Use(UseVar(option)).Add(Ctl::Radio("normal")).Add(Ctl::Radio("frei"))) // 2-4
            .Add(Ctl::DropList().From({"Mo", "Di", "Mi"}).Use(UseVar(drop)))                    // 5
            .Add(Ctl::Menubar().Add(Ctl::Menu("&Ansicht").Add(Ctl::CheckItem("&Zoom").Use(UseVar(zoomChecked))))); // 6-8
        RunWindow(d);
    });
    int w = driver.Window("Werte");
    driver.Check(w, 1, true);
    driver.Choose(w, 4);
    driver.ChooseRow(w, 5, 2);
    driver.ChooseMenu(w, "Ansicht|Zoom");
    EXPECT_EQ(check, 1);
    EXPECT_EQ(option, 2);
    EXPECT_EQ(drop, "Di");
    EXPECT_EQ(zoomChecked, 1);
    EXPECT_EQ(seen, (std::vector<Seen>{{EVENT_ACCEPTED, 1}, {EVENT_ACCEPTED, 2}, {EVENT_NEW_SELECTION, 5},
                                       {EVENT_ACCEPTED, 5}, {EVENT_ACCEPTED, 8}}));
    driver.Close(w);
    driver.WaitEnd();
}

// ---- lists ----------------------------------------------------------------------------------

class RecordingHook : public ListHook {
public:
    bool TakeWindowMessage(const WindowMessage& m) override
    {
        log.push_back("vor " + std::to_string(static_cast<int>(m.kind)));
        if (m.kind == WindowMessage::Kind::Paint) {
            Painter p(list);
            p.Clear();
            p.SetPen(0xFF0000, 1, 2);
            p.Rectangle(1, 2, 30, 20);
        }
        return swallow;
    }
    void AfterWindowMessage(const WindowMessage& m) override { log.push_back("nach " + std::to_string(static_cast<int>(m.kind))); }
    std::vector<std::string> log;
    bool swallow = false;
    int list = 1;
};

RecordingHook hook;

void RunList()
{
    WindowDesc d;
    d.title = "Liste";
    d.Add(Ctl::List("40L(2)|M~Name~@s20@30R(2)~Wert~@n3@").At(0, 0, 70, 14 + 5 * 12).Alert(Key::DELETE));
    int w = WindowCreate(d);
    ListSetSource(1, std::make_shared<FunctionListSource>(
                         [] { return int64_t(20); },
                         [](int64_t row, int field) { return field == 1 ? "Zeile " + std::to_string(row) : std::to_string(row * 10); }));
    ListSetHook(1, &hook);
    WindowOpen(w);
    while (WindowAccept(w))
        if (EventCurrent() != EVENT_OPEN_WINDOW)
            seen.push_back({EventCurrent(), EventControl()});
    WindowClose(w);
}

TEST_F(WindowTest, VirtualListAnswersCellsAndMovesWithKeysAndMouse)
{
    hook = RecordingHook{};
    driver.Start(RunList);
    int w = driver.Window("Liste");
    EXPECT_EQ(driver.RowCount(w, 1), 20);
    EXPECT_EQ(driver.Cell(w, 1, 3, 1), "Zeile 3");
    EXPECT_EQ(driver.Cell(w, 1, 3, 2), "30");
    EXPECT_EQ(driver.Property(w, 1, Prop::Items).Int(), 5);

    driver.ChooseRow(w, 1, 4);
    driver.Key(w, 1, Key::DOWN);
    EXPECT_EQ(driver.Property(w, 1, Prop::Selected).Int(), 5);
    driver.Key(w, 1, Key::PAGE_DOWN);
    EXPECT_EQ(driver.Property(w, 1, Prop::Selected).Int(), 10);
    EXPECT_EQ(driver.Property(w, 1, Prop::VScrollPos).Int(), 5);    // rows 6..10 on the screen
    driver.Key(w, 1, Key::DELETE);                                   // alerted: no movement
    EXPECT_EQ(driver.Property(w, 1, Prop::Selected).Int(), 10);

    WindowMessage click;
    click.kind = WindowMessage::Kind::MouseDown;
    click.button = Key::MOUSE_LEFT;
    click.x = 45;                                                    // column 2
    click.y = 14 + 2 * 12 + 3;                                       // third visible row: row 8
    driver.Mouse(w, 1, click);
    EXPECT_EQ(driver.Property(w, 1, Prop::Selected).Int(), 8);
    EXPECT_EQ(driver.Property(w, 1, Prop::Column).Int(), 2);
    EXPECT_EQ(driver.Property(w, 1, Prop::ListMouseDownRow).Int(), 8);

    EXPECT_EQ(seen, (std::vector<Seen>{{EVENT_NEW_SELECTION, 1}, {EVENT_NEW_SELECTION, 1}, {EVENT_NEW_SELECTION, 1},
                                       {EVENT_ALERT_KEY, 1}, {EVENT_NEW_SELECTION, 1}}));
    driver.Close(w);
    driver.WaitEnd();
}

TEST_F(WindowTest, ListHookSeesMessagesBeforeAndAfterAndMayTakeThem)
{
    hook = RecordingHook{};
    driver.Start(RunList);
    int w = driver.Window("Liste");
    driver.Paint(w, 1);
    auto ops = driver.PaintOps(w, 1);
    ASSERT_EQ(ops.size(), 2u);
    EXPECT_EQ(ops[0].kind, PaintOp::Kind::Pen);
    EXPECT_EQ(ops[0].style, 2);
    EXPECT_EQ(ops[1].kind, PaintOp::Kind::Rectangle);
    EXPECT_EQ(ops[1].x2, 30);

    driver.ChooseRow(w, 1, 1);
    hook.swallow = true;
    driver.Key(w, 1, Key::DOWN);                                     // taken by the hook: no movement
    EXPECT_EQ(driver.Property(w, 1, Prop::Selected).Int(), 1);
    const std::string paint = std::to_string(static_cast<int>(WindowMessage::Kind::Paint));
    const std::string down = std::to_string(static_cast<int>(WindowMessage::Kind::KeyDown));
    const std::string up = std::to_string(static_cast<int>(WindowMessage::Kind::KeyUp));
    EXPECT_EQ(hook.log, (std::vector<std::string>{"vor " + paint, "nach " + paint, "vor " + down, "nach " + down,
                                                  "vor " + up, "nach " + up}));
    driver.Close(w);
    driver.WaitEnd();
}

TEST_F(WindowTest, TreeRowsReportTheirExpandBoxAndExpandEvents)
{
    static std::vector<int> rows;
    rows.clear();
    driver.Start([] {
        WindowDesc d;
        d.title = "Baum";
        // text, icon, level: the project at level 1, two worksheets at level 2 (the second closed)
        d.Add(Ctl::List("181L(1)|MIT(1)S(200)@s100@").At(0, 0, 181, 60).Lines(11));
        int w = WindowCreate(d);
        ListSetRows(1, {"Projekt|1|1", "Blatt 1|2|2", "Blatt 2|2|-2"});
        WindowOpen(w);
        while (WindowAccept(w))
            if (EventCurrent() == EVENT_EXPANDED || EventCurrent() == EVENT_CONTRACTED)
                rows.push_back(EventCurrent() == EVENT_EXPANDED ? EventRow() : -EventRow());
        WindowClose(w);
    });
    int w = driver.Window("Baum");
    EXPECT_EQ(driver.Property(w, 1, Prop::Tree).Int(), 1);
    EXPECT_EQ(driver.Cell(w, 1, 3, 1), "Blatt 2");
    driver.Expand(w, 1, 3, true);
    driver.Expand(w, 1, 2, false);
    EXPECT_EQ(rows, (std::vector<int>{3, -2}));
    WindowMessage click;
    click.kind = WindowMessage::Kind::MouseDown;
    click.button = Key::MOUSE_LEFT;
    click.y = 11 + 5;                   // row 2 (no header line)
    click.x = TREE_INDENT + 3;          // inside level 2's box
    driver.Mouse(w, 1, click);
    EXPECT_EQ(driver.Property(w, 1, Prop::ListMouseDownZone).Int(), LIST_ZONE_EXPANDBOX);
    click.x = 2 * TREE_INDENT + 3;      // on the text
    driver.Mouse(w, 1, click);
    EXPECT_EQ(driver.Property(w, 1, Prop::ListMouseDownZone).Int(), LIST_ZONE_FIELD);
    driver.Close(w);
    driver.WaitEnd();
}

TEST(ListFormatTest, ColumnsFieldsGroupsAndFlags)
{
    std::string error;
    ListFormat f = ListFormat::Parse(
        "35L(2)|F~Schicht~@s20@[26R(2)|~1~C@N-7.`1B@26R(2)|~~C@N-7.`1B@](104)~Woche~S(52)24L@S1@", &error);
    EXPECT_EQ(error, "");
    ASSERT_EQ(f.columns.size(), 4u);
    EXPECT_TRUE(f.columns[0].fixed);
    EXPECT_EQ(f.columns[0].header, "Schicht");
    EXPECT_EQ(f.columns[1].picture, "N-7.`1B");
    EXPECT_EQ(f.columns[1].headerAlign, 'C');
    EXPECT_EQ(f.columns[1].group, 1);
    ASSERT_EQ(f.groups.size(), 1u);
    EXPECT_EQ(f.groups[0].firstColumn, 2);
    EXPECT_EQ(f.groups[0].lastColumn, 3);
    EXPECT_EQ(f.groups[0].scroll, 52);
    EXPECT_EQ(f.groups[0].header, "Woche");
    EXPECT_EQ(f.columns[3].group, 0);
    EXPECT_EQ(f.fieldCount, 4);

    // Colour, icon, tree, style and tip fields follow a column's text, in that order.
    ListFormat g = ListFormat::Parse("30C(1)|_*~Mo~C(0)@s20@/11L(100)|MJP@n3@181L(1)|MIT(1)S(200)@s100@55L(1)|Y~Gruppe~@S20@E(,08000000FH,,)");
    EXPECT_EQ(error, "");
    ASSERT_EQ(g.columns.size(), 4u);
    EXPECT_EQ(g.columns[0].fieldCount, 5);
    EXPECT_TRUE(g.columns[0].lastOnLine);
    EXPECT_EQ(g.columns[1].firstField, 6);
    EXPECT_EQ(g.columns[1].fieldCount, 3);      // text, icon, tip
    EXPECT_EQ(g.columns[2].firstField, 9);
    EXPECT_EQ(g.columns[2].fieldCount, 3);      // text, icon, tree level
    EXPECT_EQ(g.columns[2].treeFlags, "1");
    EXPECT_EQ(g.columns[2].scroll, 200);
    EXPECT_TRUE(g.hasTree);
    EXPECT_EQ(g.columns[3].fieldCount, 2);
    EXPECT_EQ(g.columns[3].defaultColors[1], 0x8000000F);
    EXPECT_EQ(g.columns[3].defaultColors[0], -1);
    EXPECT_EQ(g.ColumnOfField(7), 2);
    EXPECT_EQ(g.ColumnOfField(12), 4);
    EXPECT_EQ(g.ColumnLeft(3), 41);

    ListFormat bad = ListFormat::Parse("30C(1)|Q", &error);
    EXPECT_NE(error, "");
}

TEST(ListFormatTest, AListsOnlyColumnReachesItsRightEdge)
{
    const struct {
        const char* format;
        int column, listWidth, shown;
    } cases[] = {
        {"181L(1)|MIT(1)S(200)@s100@", 1, 400, 400},  // the project tree in a wide window
        {"181L(1)|MIT(1)S(200)@s100@", 1, 120, 181},  // narrower: scrolled, not squeezed
        {"40R~Nr~|#1#100L~Text~|#2#", 2, 400, 100},    // with two columns each keeps its own
        {"40R~Nr~|#1#100L~Text~|#2#", 1, 400, 40},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ListFormat::Parse(c.format).ShownWidth(c.column, c.listWidth), c.shown) << c.format << " " << c.column;
}

// ---- MDI ------------------------------------------------------------------------------------

void Child(const std::string& title)
{
    WindowDesc d;
    d.title = title;
    d.kind = WindowKind::MdiChild;
    RunWindow(d, [] { return EventCurrent() == EVENT_CLOSE_DOWN && WindowFind(WindowTarget())->Get(Prop::Text).Str() == "stur"; });
}

TEST_F(WindowTest, FrameClosesDownItsChildrenOneAtATimeAndARefusalStopsIt)
{
    driver.Start([] {
        WindowDesc d;
        d.title = "Rahmen";
        d.kind = WindowKind::MdiFrame;
        int w = WindowCreate(d);
        WindowOpen(w);
        ThreadStart([](const std::string&) { Child("willig"); });
        ThreadStart([](const std::string&) { Child("stur"); });
        while (WindowAccept(w))
            seen.push_back({EventCurrent(), EventControl()});
        WindowClose(w);
    });
    int frame = driver.Window("Rahmen");
    driver.Close(frame);
    // The first child closed, the second refused: the frame stays.
    EXPECT_EQ(driver.FindWindow("willig"), 0);
    EXPECT_NE(driver.FindWindow("stur"), 0);
    EXPECT_NE(driver.FindWindow("Rahmen"), 0);
    driver.Close(driver.Window("stur"));
    driver.Close(frame);
    driver.WaitEnd();
    EXPECT_EQ(driver.FindWindow("Rahmen"), 0);
}

} // namespace
