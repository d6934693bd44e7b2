#include "worksheets/AZPGrid.h"

#include "assessment/AZPBewertung.h"
#include "assessment/KriterienArbeitszeit.h"
#include "assessment/KriteriumMarker.h"
#include "core/Projektmanager.h"
#include "core/Schicht.h"
#include "platform/ui/Events.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"
#include "platform/values/Picture.h"
#include "plans/AZPData.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

const char* const kHeadColumn = "45C(1)|F_~Gruppe~C(0)@s20@/";
const char* const kWeekColumns =
    "30C(1)|_*~Mo~C(0)@s20@/30C(1)|_*~Di~C(0)@s20@/30C(1)|_*~Mi~C(0)@s20@/30C(1)|_*~Do~C(0)@s20@/"
    "30C(1)|_*~Fr~C(0)@s20@/30C(1)|_*~Sa~C(0)@s20@/30C(1)|_*~So~C(0)@s20@/20C(1)|*~WAZ~C@s20@/"
    "20C(1)|*~+/-~C@s20@/1L(1)|*@s20@/";
const char* const kDayNames[7] = {"Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag", "Sonntag"};

constexpr int kFields = 5;
constexpr int32_t kFreeShiftColor = 0xB0FFB0;   // light green: not a normal shift
constexpr int32_t kWeekColor = 0xE8E8E8;
constexpr int32_t kWeekTextColor = 0x000000;     // the list's text colour, also in a selected row
constexpr int32_t kAboveAverageColor = 0xB1C7FF; // light orange
constexpr int32_t kDragFrameColor = 0xFF0000;
constexpr int kDottedPen = 2;

// Minutes as hours with two places.
std::string Hours(double minutes)
{
    const double hours = std::round(minutes / 60.0 * 100.0) / 100.0;
    return FormatPicture(hours, "@n-6.`2");
}

int Scaled(int value, double zoom) { return int(std::lround(value * zoom)); }

// Column widths at zoom 100, in the window's units. A flex cell holds a shift's times
// ("07:00-15:30", about 40 units at the list's font) and its head column the week
// ("(12)05.01.-11.01.", about 57); the weekly figures go up to "-99,99" (about 21). Each also
// needs room for the cell's margins and indent.
constexpr int kHeadWidth = 45, kDayWidth = 30, kCompactDayWidth = 20;
constexpr int kFlexHeadWidth = 64, kFlexDayWidth = 48;
constexpr int kWeekFigureWidth = 28;

// Every plan grid of the program. The optimisation's gate is global: the grids of the worksheets
// that do not optimise drop their markers and weekly figures too, and get them back afterwards.
std::vector<CAZPGrid*>& Grids()
{
    static std::vector<CAZPGrid*> grids;
    return grids;
}
bool drawnGate = false;   // OptimizationRunning as the grids last drew

} // namespace

CAZPGrid::~CAZPGrid()
{
    auto& grids = Grids();
    grids.erase(std::remove(grids.begin(), grids.end(), this), grids.end());
}

CAZPGrid::CAZPGrid()
{
    Grids().push_back(this);
    SpreadsheetCursorShapes shapes;
    shapes.DEFAULT[0] = "spreadsheet";
    shapes.DRAGGING[0] = "spreadsheet2";
    shapes.DEFAULT[1] = "drag";
    shapes.DRAGGING[1] = "drag2";
    SetCursorShapes(shapes);
    SetLayout(1, 1, kFields, 1);
}

int CAZPGrid::Weeks() const { return AZP ? AZP->GetBezugsrahmen() : 0; }

int32_t CAZPGrid::DayOfColumn(int32_t column)
{
    if (column <= 1)
        return 0;
    const int32_t m = (column - 1) % 10;
    if (m == 0 || m >= 8)
        return 0;
    return column - 3 * ((column - 2) / 10) - 1;
}

std::string CAZPGrid::ColumnText(int32_t row, int32_t column)
{
    return CellText(row, int16_t(column <= 1 ? 1 : (column - 2) * kFields + 2));
}

int32_t CAZPGrid::ColumnOfField(int32_t field)
{
    return field <= 1 ? 0 : DayOfColumn((field - 2) / kFields + 2);
}

int32_t CAZPGrid::RowCount() { return AZP ? AZP->CountGroups() : 0; }

// Every list field: the head column's one, and ten columns per week of five fields each.
int16_t CAZPGrid::ColumnCount() { return int16_t(1 + kFields * 10 * Weeks()); }

int32_t CAZPGrid::CurrentColumn()
{
    const int32_t lastDay = std::max(1, Weeks() * 7);
    int64_t column = ListProperty(Prop::Column);
    if (column <= 1) {
        SetListProperty(Prop::Column, 2);
        return 1;
    }
    const int64_t m = (column - 2) % 10;
    if (m >= 7) {
        const int64_t s = m - 6;
        const bool back = LASTKEYCODE == Key::LEFT || LASTKEYCODE == Key::SHIFT_TAB ||
                          LASTKEYCODE == (Key::SHIFT | Key::LEFT);
        if (!back && ListProperty(Prop::ColumnExists, int(column + 4 - s)))
            column += 4 - s;
        else
            column -= s;
        SetListProperty(Prop::Column, column);
    }
    return std::clamp(DayOfColumn(int32_t(column)), 1, lastDay);
}

bool CAZPGrid::TakeWindowMessage(const WindowMessage& message)
{
    using K = WindowMessage::Kind;
    if (message.kind == K::MouseDown || message.kind == K::MouseUp)
        LASTBUTTON = message.button ? message.button : Key::MOUSE_LEFT;
    else if (message.kind == K::KeyDown)
        LASTBUTTON = 0;
    const bool swapStarted = DRAGMODE == 2 && !SELEKTION.START.Empty();
    if (CSpreadsheet::TakeWindowMessage(message))
        return true;
    // The list reports no new selection when the left button is let go; in swap mode the editor
    // needs one there, to exchange the cells of the drag.
    if (message.kind == K::MouseUp && LASTBUTTON == Key::MOUSE_LEFT && swapStarted && WindowExists(ListWindow())) {
        Event e;
        e.code = EVENT_NEW_SELECTION;
        e.control = FEQ;
        e.window = ListWindow();
        e.keyCode = Key::MOUSE_LEFT;
        EventPost(e, WindowThread(ListWindow()));
    }
    if (message.kind != WindowMessage::Kind::KeyDown || !AZP)
        return false;
    const int32_t weeks = Weeks();
    const int32_t rows = RowCount();
    if (weeks == 0 || rows == 0)
        return false;
    const int64_t row = ListProperty(Prop::Selected);
    if (message.key == Key::LEFT && CurrentColumn() == 1) {
        SetListProperty(Prop::Column, 10 * weeks - 2);
        SetListProperty(Prop::Selected, row > 1 ? row - 1 : rows);
    } else if (message.key == Key::RIGHT && CurrentColumn() == weeks * 7) {
        SetListProperty(Prop::Column, 1);
        SetListProperty(Prop::Selected, row < rows ? row + 1 : 1);
    } else {
        return false;
    }
    SetCursor();
    Refresh();
    return true;
}

void CAZPGrid::AfterWindowMessage(const WindowMessage& message)
{
    CSpreadsheet::AfterWindowMessage(message);
    using K = WindowMessage::Kind;
    switch (message.kind) {
    case K::Size:
    case K::KeyDown:
    case K::MouseDown:
    case K::MouseUp:
        // The list shows other cells or another drag start: the markers follow.
        PaintMarkers();
        break;
    case K::MouseMove:
        if (DRAGMODE == 2 && message.buttonHeld)
            PaintMarkers();
        break;
    default:
        break;
    }
}

void CAZPGrid::SetSelection(const SpreadsheetSelection& selection)
{
    CSpreadsheet::SetSelection(selection);
    PaintMarkers();
}

void CAZPGrid::Refresh()
{
    CSpreadsheet::Refresh();
    PaintMarkers();
}

void CAZPGrid::PaintMarkers()
{
    if (OptimizationRunning != drawnGate) {
        // The renderer keeps showing what a grid drew last: every other grid draws again now,
        // from the thread that holds the baton (their own windows take no event meanwhile).
        drawnGate = OptimizationRunning;
        for (CAZPGrid* grid : Grids())
            if (grid != this && grid->CUSTOMDRAW && grid->FEQ) {
                grid->Redisplay();
                grid->Paint();
            }
    }
    if (CUSTOMDRAW && FEQ)
        Paint();
}

std::string CAZPGrid::CellText(int32_t row, int16_t field)
{
    if (!AZP || field < 1)
        return {};
    if (field == 1) {
        if (TYP == 2) {
            const long from = long(DATUMVON) + 7L * (row - 1);
            return "(" + std::to_string(row) + ")" + FormatPicture(from, "@D17").substr(0, 6) + "-" +
                   FormatPicture(from + 6, "@D17").substr(0, 6);
        }
        return "Gruppe " + std::to_string(row);
    }
    // The head column has its text only; every other column its text and four colours.
    const int32_t column = (field - 2) / kFields + 2;
    const int kind = (field - 2) % kFields;
    const int32_t m = (column - 2) % 10;
    if (m >= 7)
        return WeekFigure(row, (column - 2) / 10 + 1, m * 10 + kind);

    const int32_t day = DayOfColumn(column);
    // The list asks a cell's text before its colours: looking up anew there shows a changed cell
    // at once, and the colours still reuse the lookup.
    if (kind == 0 || row != lastRow_ || day != lastDay_) {
        lastRow_ = row;
        lastDay_ = day;
        lastSchicht_ = AZP->GetCellSchicht(uint32_t(day), uint32_t(row));
        SetCursor();
    }
    const CSchicht* shift = lastSchicht_;
    switch (kind) {
    case 0:
        if (!shift)
            return {};
        if (TYP == 2)
            return FormatPicture(long(shift->StartTime()), "@T7") + "-" +
                   FormatPicture(long(shift->EndTime()), "@T7");
        return shift->KURZBEZEICHNUNG;
    case 2:
        if (shift && shift->ART != ART_NORMAL)
            return std::to_string(kFreeShiftColor);
        return std::to_string(CellColor(row, day, 2));
    default:
        return std::to_string(CellColor(row, day, kind));
    }
}

// The WAZ (m 7), difference (m 8) and spacer (m 9) columns; what = m x 10 + field kind.
std::string CAZPGrid::WeekFigure(int32_t row, int week, int what)
{
    const int m = what / 10;
    const int kind = what % 10;
    if (OptimizationRunning || m == 9)
        return kind == 0 ? std::string() : "-1";
    if (kind == 1)
        return "-1";
    // A selected row keeps its light grey here: the list's light selected text would not show on it.
    if (kind == 3)
        return std::to_string(kWeekTextColor);
    const CVerstossliste* list =
        AZPBEWERTUNG ? AZPBEWERTUNG->GetVerstossliste(7L * ((row - 1L) * Weeks() + week)) : nullptr;
    if (kind == 0) {
        if (!list)
            return {};
        for (long i = 1; i <= list->Count(); ++i) {
            const VERSTOSSINFO* r = list->At(i);
            if (m == 7)
                if (auto* kr8 = dynamic_cast<CKriteriumWAZMittel*>(r->KRITERIUM))
                    return Hours(double(kr8->InfoText(*r)));
            // The week's deviation from the weekly target in minutes, possibly with a fraction.
            if (m == 8 && dynamic_cast<CKriteriumWAZGrenzen*>(r->KRITERIUM) && !(*r->TEXT).empty())
                return Hours(std::strtod(std::string(*r->TEXT).c_str(), nullptr));
        }
        return {};
    }
    if (kind == 2 && m == 7 && list)
        for (long i = 1; i <= list->Count(); ++i) {
            const VERSTOSSINFO* r = list->At(i);
            if (dynamic_cast<CKriteriumWAZMittel*>(r->KRITERIUM) && r->WERT != 0)
                return std::to_string(kAboveAverageColor);
        }
    return std::to_string(kWeekColor);
}

void CAZPGrid::CustomDraw(int32_t row, int32_t column, int32_t x, Painter& painter, int32_t height, int32_t width,
                          int32_t y)
{
    if (OptimizationRunning || !AZP)
        return;
    const int32_t day = DayOfColumn(column);
    if (AZPBEWERTUNG) {
        const GridDC dc{ListWindow(), FEQ};
        if (day > 0) {
            AZPBEWERTUNG->PaintViolations((row - 1L) * Weeks() * 7 + day, dc, x, y, width, height);
        } else if (column > 1 && (column - 2) % 10 == 7) {
            const long sunday = 7L * ((row - 1L) * Weeks() + (column - 2) / 10 + 1);
            if (const CVerstossliste* list = AZPBEWERTUNG->GetVerstossliste(sunday))
                for (long i = 1; i <= list->Count(); ++i) {
                    const VERSTOSSINFO* r = list->At(i);
                    if (auto* kr9 = dynamic_cast<CKriteriumWAZGrenzen*>(r->KRITERIUM)) {
                        kr9->Paint(0, *r, dc, x, y, width, height);
                        break;
                    }
                }
        }
    }
    if (DRAGMODE == 2 && day > 0 && SELEKTION.START.SPALTE == day && SELEKTION.START.ZEILE == row) {
        painter.SetPen(kDragFrameColor, 1, kDottedPen);
        painter.SetBrush(-1);
        painter.Rectangle(x, y, x + width, y + height);
        painter.SetPen(0);
    }
}

void CAZPGrid::SetFormat(int feq, CAZPData& plan, int window)
{
    Init(feq, std::string(kHeadColumn) + kWeekColumns, false, false);
    AZP = &plan;
    BuildFormat(Weeks());
    Subclass(window);
    CUSTOMDRAW = 1;
    PaintMarkers();
}

void CAZPGrid::BuildFormat(int weeks)
{
    std::string format = kHeadColumn;
    for (int w = 0; w < weeks; ++w)
        format += kWeekColumns;
    PropertySet(ListWindow(), FEQ, Prop::Format, PropValue(format.c_str()), 0);
    SetListProperty(Prop::Selected, 1);
    SetListProperty(Prop::Column, 1);
    for (int w = 1; w <= weeks; ++w) {
        for (int d = 1; d <= 7; ++d) {
            std::string header = std::string(kDayNames[d - 1]).substr(0, 2);
            if (TYP == 1)
                header += "   " + std::to_string(w);
            PropertySet(ListWindow(), FEQ, Prop::ColumnHeader, PropValue(header.c_str()), 10 * (w - 1) + 1 + d);
        }
        SetListProperty(Prop::ColumnColor, 0xFFFFFF, 10 * w + 1);
    }
    SetListProperty(Prop::StyleBackColor, 0x8000000F, 1);
    PropertySet(ListWindow(), FEQ, Prop::StyleFontName, PropValue("Arial"), 1);
    SetListProperty(Prop::StyleFontStyle, 700, 1);
    Redraw();
}

void CAZPGrid::Redraw()
{
    if (!FEQ)
        return;
    // The weekly columns show only while an evaluation is attached.
    const int marker = AZPBEWERTUNG ? kWeekFigureWidth : 0;
    const int head = TYP == 2 ? kFlexHeadWidth : kHeadWidth;
    const int dayWidth = TYP == 2 ? kFlexDayWidth : (DARSTELLUNG == 2 ? kCompactDayWidth : kDayWidth);
    SetListProperty(Prop::ColumnWidth, Scaled(head, ZOOM), 1);
    PropertySet(ListWindow(), FEQ, Prop::ColumnHeader, PropValue(TYP == 2 ? "Woche von" : "Gruppe"), 1);
    for (int w = 1; w <= Weeks(); ++w) {
        const int first = 10 * (w - 1) + 2;
        for (int d = 0; d < 7; ++d)
            SetListProperty(Prop::ColumnWidth, Scaled(dayWidth, ZOOM), first + d);
        SetListProperty(Prop::ColumnWidth, Scaled(marker, ZOOM), first + 7);
        SetListProperty(Prop::ColumnWidth, Scaled(marker, ZOOM), first + 8);
    }
    SetListProperty(Prop::StyleFontSize, Scaled(8, ZOOM), 1);
    SetListProperty(Prop::LineHeight, Scaled(20, ZOOM));
    SetListProperty(Prop::FontSize, Scaled(8, ZOOM));
    PropertySet(ListWindow(), FEQ, Prop::FontName, PropValue("Tahoma"), 0);
    lastRow_ = lastDay_ = -1;
    ComputeColumnX();
    Redisplay();
    PaintMarkers();
}

void CAZPGrid::SetTyp(int kind)
{
    TYP = uint8_t(kind);
    Redraw();
}

void CAZPGrid::SetDarstellung(int mode)
{
    DARSTELLUNG = uint8_t(mode);
    Redraw();
}

void CAZPGrid::SetZoom(int percent)
{
    ZOOM = percent / 100.0;
    Redraw();
}

void CAZPGrid::SetEvaluation(CAZPBewertung& evaluation)
{
    AZPBEWERTUNG = &evaluation;
    Redraw();
}

void CAZPGrid::DropEvaluation()
{
    AZPBEWERTUNG = nullptr;
    Redraw();
}

void CAZPGrid::SetPeriod(int32_t from, int32_t to)
{
    DATUMVON = from;
    DATUMBIS = to;
}
