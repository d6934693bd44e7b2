// The markers of the criteria in the working-time plan grid, as the real renderer draws them
// (offscreen): a one-week plan of five groups built to break the rest, Sunday, night-free-early,
// working-day, consecutive-days, weekend, night-sleep and social-times rules, with the long rests
// shown. Without an evaluation the grid shows no marker; with the evaluation inspector open every
// criterion's marker lies in the cells that hold its records, found by its colour in the part of
// the cell it draws in.
#include "assessment/AZPBewertung.h"
#include "assessment/Definitionspool.h"
#include "assessment/Kriterium.h"
#include "assessment/SchichttypDialoge.h"
#include "assessment/Verstossliste.h"
#include "core/Projektmanager.h"
#include "platform/qt/ListView.h"
#include "platform/qt/Renderer.h"
#include "platform/qt/WindowView.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"
#include "plans/AZPData.h"
#include "plans/SBPData.h"
#include "plans/Schichttypen.h"
#include "worksheets/Arbeitsblatt.h"
#include "worksheets/ArbeitsblattWindow.h"

#include "PictureRunSupport.h"

#include <QAction>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QColor>
#include <QDir>
#include <QImage>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

using namespace apptest;

namespace {

bool Red(QColor c) { return c.red() >= 190 && c.green() <= 110 && c.blue() <= 110; }
bool Green(QColor c) { return c.green() >= 100 && c.green() > c.red() + 40 && c.green() > c.blue() + 30; }
bool RedOrGreen(QColor c) { return Red(c) || Green(c); }
bool DarkBlue(QColor c) { return c.blue() >= 90 && c.blue() <= 170 && c.red() <= 50 && c.green() <= 50; }
// The weekend icon's salmon field.
bool Salmon(QColor c) { return std::abs(c.red() - 244) <= 14 && std::abs(c.green() - 182) <= 14 && std::abs(c.blue() - 160) <= 14; }
// The moon of the night-sleep icon.
bool Yellow(QColor c) { return c.red() >= 200 && c.green() >= 160 && c.blue() <= 90; }
bool AnyMarker(QColor c) { return RedOrGreen(c) || DarkBlue(c) || Salmon(c) || Yellow(c); }

// The plan: F 06-14, S 14-22, N 22-06, L 06-18; '.' is a free day.
constexpr int kGroups = 5;
const char* const kRows[kGroups] = {"N.FSFLF", "FFFFFFF", "F..FF..", "NNNN...", "SSSSS.."};

CArbeitsblatt& ViolatingWorksheet()
{
    UseDefaultRecords();
    InstallSchichttypDialoge();
    GlobalProjektmanager.Projekt().New(ARBEITSBLATT_AZ);
    auto& sheet = *static_cast<CArbeitsblatt*>(GlobalProjektmanager.Projekt().GetArbeitsblatt(1));
    // The night shift ends on the next day's time line (06:00 + 24 h), as a plan cell holds it.
    std::map<char, uint32_t> ids;
    const struct {
        char letter;
        const char* name;
        uint32_t from, minutes;
    } types[] = {{'F', "Frühschicht", 6 * 60, 480}, {'S', "Spätschicht", 14 * 60, 480},
                 {'N', "Nachtschicht", 22 * 60, 480}, {'L', "Langer Dienst", 6 * 60, 720}};
    for (const auto& t : types) {
        CSchicht s;
        s.Clear();
        s.ART = ART_NORMAL;
        s.BEZEICHNUNG = t.name;
        s.KURZBEZEICHNUNG = std::string(1, t.letter);
        s.TERMIN = {t.from, t.from + t.minutes};
        s.ClassifyLageByStart();
        sheet.GetSchichttypen().AddSchicht(s, true);
        ids[t.letter] = s.SYSID;
    }
    sheet.GetSBP().SyncSchichttypen();
    sheet.GetAZP().SetGroupCount(kGroups);
    for (uint32_t g = 1; g <= kGroups; ++g)
        for (uint32_t d = 1; d <= 7; ++d)
            if (const char c = kRows[g - 1][d - 1]; c != '.')
                sheet.GetAZP().SetCell(d, g, ids[c]);
    // The long rests are shown only on request.
    sheet.GetDefinitionspool().GetKriterium(18)->AKTIVIERT = 1;
    sheet.Open();
    return sheet;
}

class Markers : public PictureRun {
protected:
    void SetUp() override
    {
        PictureRun::SetUp();
        renderer = std::make_unique<Renderer>();
        renderer->Start([this] { sheet = &ViolatingWorksheet(); });
        window = SettledWindow(*renderer, "Arbeitszeitblatt", 30000);
        ASSERT_NE(window, 0);
        list = qobject_cast<ListView*>(renderer->ControlWidget(window, AB_AZP_LIST));
        ASSERT_NE(list, nullptr);
    }

    // The cell of day `day` (1..7) of group `group`, in the viewport's pixels; its top and height
    // as the grid hands them to the markers (the line less its last pixel).
    struct Cell {
        int left, top, width, height;
        int unitsTop;   // the same top in the list's units
    };
    Cell CellOf(int day, int group)
    {
        Runtime::HostBaton b;
        const int width = int(PropertyGet(window, AB_AZP_LIST, Prop::ColumnWidth, day + 1).Int());
        const int top = list->ModelHeaderHeight() + (group - 1) * list->ModelLineHeight();
        return {list->ColumnLeft(day + 1), list->ToViewport(top), list->ToViewport(width),
                list->ToViewport(top + list->ModelLineHeight() - 1) - list->ToViewport(top), top};
    }

    QImage Grab()
    {
        EXPECT_TRUE(renderer->Settle());
        return list->viewport()->grab().toImage();
    }

    static int Count(const QImage& image, int x0, int y0, int x1, int y1, const std::function<bool(QColor)>& is)
    {
        int n = 0;
        for (int y = std::max(0, y0); y < std::min(image.height(), y1); ++y)
            for (int x = std::max(0, x0); x < std::min(image.width(), x1); ++x)
                if (is(image.pixelColor(x, y)))
                    ++n;
        return n;
    }

    // The cells (day, group) that hold a record of criterion `number` (at `position`; -1: any).
    std::vector<std::pair<int, int>> CellsOf(long number, int position)
    {
        Runtime::HostBaton b;
        std::vector<std::pair<int, int>> cells;
        const CAZPBewertung* evaluation = sheet->GetAZPBewertung();
        if (!evaluation)
            return cells;
        for (int g = 1; g <= kGroups; ++g)
            for (int d = 1; d <= 7; ++d)
                if (const CVerstossliste* records = evaluation->GetVerstossliste(7L * (g - 1) + d))
                    for (long i = 1; i <= records->Count(); ++i)
                        if (const VERSTOSSINFO* r = records->At(i); r->KRITERIUM && r->KRITERIUM->NUMMER == number &&
                                                                    (position < 0 || r->POSITION == position)) {
                            cells.emplace_back(d, g);
                            break;
                        }
        return cells;
    }

    CArbeitsblatt* sheet = nullptr;
    int window = 0;
    ListView* list = nullptr;
};

TEST_F(Markers, EachCriterionDrawsItsMarkerInItsCellsOnlyWhileEvaluated)
{
    // Without the evaluation inspector no cell shows a marker.
    QImage plain = Grab();
    for (int g = 1; g <= kGroups; ++g)
        for (int d = 1; d <= 7; ++d) {
            const Cell c = CellOf(d, g);
            EXPECT_EQ(Count(plain, c.left, c.top, c.left + c.width, c.top + c.height, AnyMarker), 0)
                << "day " << d << ", group " << g;
        }

    QAction* item = renderer->View(window)->ControlAction(AB_BEWERTUNG_INSP_ITEM);
    ASSERT_NE(item, nullptr);
    item->trigger();
    ASSERT_NE(SettledWindow(*renderer, "Bewertungs-Inspektor", 30000), 0);
    const QImage evaluated = Grab();
    const QString folder = QString::fromStdString(
        (std::filesystem::path(VARN_TEST_INSTALL_DIR).parent_path() / "gallery").string());
    QDir().mkpath(folder);
    evaluated.save(folder + QStringLiteral("/markierungen.png"));

    // Where in its cell each criterion draws (in the list's units from the cell's top; the text
    // of the rest criteria stands across the border to the next cell).
    struct Case {
        long kr;
        int position;             // of the records looked at; -1: any
        const char* marker;
        std::function<bool(QColor)> is;
        double fromX, toX;        // in cell widths from the cell's left
        int fromY, toY;           // units below the cell's top
        int least;                // pixels at least
    };
    const Case cases[] = {
        // The hours of a short rest stand over the border after the shift before it.
        {2, POSITION_ANFANG, "hours of a short rest, red or green", RedOrGreen, 0.5, 1.5, 0, 8, 3},
        {3, -1, "a cross through the cell", RedOrGreen, 0.0, 0.15, 0, 3, 2},
        {5, -1, "the red text \"N - F\"", Red, 0.25, 0.75, 4, 15, 6},
        {7, -1, "a line 3 units above the cell's bottom", RedOrGreen, 0.1, 0.9, 16, 17, 8},
        {10, -1, "a red line 9 units above the cell's bottom", Red, 0.1, 0.9, 10, 11, 8},
        {17, -1, "the weekend icon", Salmon, 0.0, 1.0, 0, 19, 6},
        {18, -1, "the long rest's hours in dark blue", DarkBlue, 0.5, 1.5, 0, 15, 3},
        {12, -1, "the night-sleep icon at the top", Yellow, 0.2, 0.8, 0, 8, 3},
        {14, -1, "the social-times icon's red and green figures at the top", RedOrGreen, 0.0, 0.6, 0, 8, 2},
    };
    for (const Case& k : cases) {
        const auto cells = CellsOf(k.kr, k.position);
        ASSERT_FALSE(cells.empty()) << "KR" << k.kr << ": the plan breaks no rule of it";
        for (auto [day, group] : cells) {
            const Cell c = CellOf(day, group);
            const int y0 = list->ToViewport(c.unitsTop + k.fromY);
            const int y1 = std::max(y0 + 1, list->ToViewport(c.unitsTop + k.toY));
            const int x0 = c.left + int(k.fromX * c.width);
            const int x1 = c.left + int(k.toX * c.width);
            EXPECT_GE(Count(evaluated, x0, y0, x1, y1, k.is), k.least)
                << "KR" << k.kr << " (" << k.marker << ") missing on day " << day << " of group " << group;
        }
    }
}

} // namespace

namespace {

// Maximised and restored, the worksheet window lays its panes out again: the open panes share the
// window's room alike and the plan's list reaches the bottom, with no blank strip below it.
TEST_F(Markers, PanesFollowTheWindowWhenMaximisedAndRestored)
{
    QWidget* top = renderer->View(window)->Top();
    QWidget* client = renderer->View(window)->Client();
    ASSERT_NE(top, nullptr);
    ASSERT_NE(client, nullptr);
    QWidget* staff = renderer->ControlWidget(window, AB_AKB_LIST);
    QWidget* shifts = renderer->ControlWidget(window, AB_SBP_LIST);
    ASSERT_NE(staff, nullptr);
    ASSERT_NE(shifts, nullptr);
    // The window reports its new size a moment after it changed: the panes follow. The limits are
    // for a loaded machine; each wait ends as soon as its condition holds.
    auto laidOut = [&] {
        const int bottom = list->mapTo(client, QPoint(0, list->height())).y();
        return std::abs(client->height() - bottom) <= 8 && std::abs(staff->height() - shifts->height()) <= 3 &&
               std::abs(shifts->height() - list->height()) <= 4;
    };
    auto check = [&](const char* when) {
        EXPECT_TRUE(ProcessUntil([&] { return renderer->Settle(50) && laidOut(); }, 30000))
            << when << ": client " << client->height() << ", staff demand " << staff->height() << ", shift demand "
            << shifts->height() << ", plan " << list->height();
    };
    check("as opened");
    const QSize before = client->size();
    top->showMaximized();
    ASSERT_TRUE(ProcessUntil([&] { return client->height() > before.height() + 40; }, 30000));
    check("maximised");
    top->showNormal();
    ASSERT_TRUE(ProcessUntil([&] { return client->height() == before.height(); }, 30000));
    check("restored");
}

// The splitter below the staff demand pane, dragged down with the mouse, gives that pane the room
// it takes from the shift demand pane.
TEST_F(Markers, DraggingASplitterChangesThePaneHeights)
{
    QWidget* splitter = renderer->ControlWidget(window, AB_SPLITTER_AKB);
    QWidget* staff = renderer->ControlWidget(window, AB_AKB_LIST);
    QWidget* shifts = renderer->ControlWidget(window, AB_SBP_LIST);
    ASSERT_NE(splitter, nullptr);
    ASSERT_TRUE(splitter->isVisible());
    EXPECT_EQ(splitter->cursor().shape(), Qt::SplitVCursor);
    const int staffBefore = staff->height(), shiftsBefore = shifts->height(), planBefore = list->height();
    auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButtons held) {
        QMouseEvent e(type, QPointF(at), QPointF(splitter->mapToGlobal(at)), Qt::LeftButton, held, Qt::NoModifier);
        QCoreApplication::sendEvent(splitter, &e);
    };
    const QPoint grab(splitter->width() / 2, 1);
    send(QEvent::MouseButtonPress, grab, Qt::LeftButton);
    send(QEvent::MouseMove, grab + QPoint(0, 20), Qt::LeftButton);
    send(QEvent::MouseMove, grab + QPoint(0, 40), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, grab + QPoint(0, 40), Qt::NoButton);
    EXPECT_TRUE(ProcessUntil([&] { return renderer->Settle(50) && staff->height() > staffBefore + 30; }, 30000))
        << "staff demand " << staffBefore << " -> " << staff->height();
    EXPECT_NEAR(staff->height() + shifts->height(), staffBefore + shiftsBefore, 4);
    EXPECT_EQ(list->height(), planBefore);
}

} // namespace
