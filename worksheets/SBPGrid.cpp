#include "worksheets/SBPGrid.h"

#include "assessment/SBPBewertung.h"
#include "core/Projektmanager.h"
#include "core/TimeHelpers.h"
#include "core/Utilities.h"
#include "platform/ui/Window.h"
#include "platform/values/Picture.h"
#include "plans/SBPData.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

// Wide enough for the usual names ("Nachtschicht", "Bereitschaft") at the default font; the layout
// sets the same width, scaled by the zoom.
constexpr int kNameWidth = 55;
const std::string kNameColumn = std::to_string(kNameWidth) + "L(1)|FP_~Schicht~C(0)@s20@/";
const char* const kDayNames[7] = {"Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag", "Sonntag"};

std::string WeekFormat()
{
    std::string f;
    for (const char* day : kDayNames)
        f += std::string("30C(1)|_*~") + std::string(day).substr(0, 2) + "~C(0)@s20@/";
    return f + "1L(1)|@s20@/";
}

constexpr int kFieldsPerDay = 5;
constexpr int kIconSize = 16;

int Scaled(int value, double zoom) { return int(std::lround(value * zoom)); }

std::string Clock(uint32_t minutes) { return FormatPicture(long(MinuteStampToTime(minutes)), "@T7"); }

} // namespace

CSBPGrid::CSBPGrid()
{
    SpreadsheetCursorShapes shapes;
    shapes.DEFAULT[0] = shapes.DEFAULT[1] = "spreadsheet";
    shapes.DRAGGING[0] = shapes.DRAGGING[1] = "spreadsheet2";
    SetCursorShapes(shapes);
    SetLayout(1, 1, kFieldsPerDay, 1);
}

int CSBPGrid::Weeks() const { return SBP ? SBP->GetBezugsrahmen() : 0; }

int32_t CSBPGrid::DayOfColumn(int32_t column)
{
    if (column < 2)
        return 0;
    const int32_t within = (column - 2) % kColumnsPerWeek;
    return within == 7 ? 0 : (column - 2) / kColumnsPerWeek * 7 + within + 1;
}

int32_t CSBPGrid::ColumnOfListColumn(int32_t column) { return DayOfColumn(column); }

int32_t CSBPGrid::ColumnOfField(int32_t field)
{
    if (field <= 2)
        return 0;
    const int32_t r = (field - 3) % kFieldsPerWeek;
    return r >= 35 ? 0 : (field - 3) / kFieldsPerWeek * 7 + r / kFieldsPerDay + 1;
}

int32_t CSBPGrid::RowCount() { return SBP ? SBP->CountRows() : 0; }

int16_t CSBPGrid::ColumnCount() { return int16_t(Weeks() * (7 * kFieldsPerDay + 1) + 2); }

std::string CSBPGrid::CellText(int32_t row, int16_t field)
{
    const QSBP* r = SBP ? SBP->GetRow(uint32_t(row)) : nullptr;
    if (!r || field < 1)
        return {};
    if (field == 1)
        return DARSTELLUNG == 1 ? r->BEZEICHNUNG : r->KURZBEZEICHNUNG;
    if (field == 2)
        return Clip(r->BEZEICHNUNG) + " (" + r->KURZBEZEICHNUNG + ")\r\n" + Clock(r->TERMIN.BEGINN) + "-" +
               Clock(r->TERMIN.ENDE) + "\r\nSchichtzeit: " + Clock(r->TERMIN.ENDE - r->TERMIN.BEGINN);
    const int32_t week = (field - 3) / kFieldsPerWeek;
    const int32_t rest = (field - 3) % kFieldsPerWeek;
    if (rest >= 35)
        return {};
    const int kind = rest % kFieldsPerDay;
    const int32_t listColumn = 2 + week * kColumnsPerWeek + rest / kFieldsPerDay;
    if (kind != 0)
        return std::to_string(CellColor(row, listColumn, kind));
    const unsigned count = SBP->GetCount(uint32_t(week * 7 + rest / kFieldsPerDay + 1), uint32_t(row));
    if (count == 0)
        return {};
    const unsigned strength = SBP->GetSchichtgruppenstaerke();
    std::string text = std::to_string(count);
    if (strength != 1)
        text += " (" + std::to_string(count * strength) + ")";
    return text;
}

int32_t CSBPGrid::CurrentColumn()
{
    const int32_t days = std::max(1, Weeks() * 7);
    int64_t column = ListProperty(Prop::Column);
    if (column <= 1) {
        SetListProperty(Prop::Column, 2);
        return 1;
    }
    if ((column - 2) % kColumnsPerWeek == 7) {
        const bool back = LASTKEYCODE == Key::LEFT || LASTKEYCODE == Key::SHIFT_TAB ||
                          LASTKEYCODE == (Key::SHIFT | Key::LEFT);
        // Forward from the last week's filler there is no day left: the cursor stays on the last.
        if (back || !ListProperty(Prop::ColumnExists, int(column + 1)))
            --column;
        else
            ++column;
        SetListProperty(Prop::Column, column);
    }
    return std::clamp(DayOfColumn(int32_t(column)), 1, days);
}

void CSBPGrid::CustomDraw(int32_t row, int32_t column, int32_t x, Painter& painter, int32_t height, int32_t width,
                          int32_t y)
{
    if (OptimizationRunning || !SBPBEWERTUNG || !SBP || column != 1)
        return;
    const CVerstossliste* list = SBPBEWERTUNG->GetVerstossliste(SBP->GetRowSysId(uint32_t(row)));
    if (list && list->Count() > 0)
        painter.Icon(x + width - kIconSize - 2, y + (height - kIconSize) / 2, "Exclamation_ico");
}

void CSBPGrid::SetFormat(int feq, CSBPData& plan)
{
    SBP = &plan;
    Init(feq, kNameColumn + WeekFormat(), false, false);
    BuildFormat();
    Subclass(WindowTarget());
}

void CSBPGrid::BuildFormat()
{
    if (!FEQ)
        return;
    std::string format = kNameColumn;
    for (int w = 0; w < Weeks(); ++w)
        format += WeekFormat();
    PropertySet(ListWindow(), FEQ, Prop::Format, PropValue(format), 0);
    SetListProperty(Prop::Selected, 1);
    SetListProperty(Prop::Column, 2);
    Layout();
}

void CSBPGrid::Layout()
{
    if (!FEQ)
        return;
    const int dayWidth = DARSTELLUNG == 1 ? 30 : 20;
    SetListProperty(Prop::ColumnWidth, Scaled(kNameWidth, ZOOM), 1);
    for (int w = 1; w <= Weeks(); ++w) {
        const int first = 2 + (w - 1) * kColumnsPerWeek;
        for (int d = 0; d < 7; ++d) {
            SetListProperty(Prop::ColumnWidth, Scaled(dayWidth, ZOOM), first + d);
            PropertySet(ListWindow(), FEQ, Prop::ColumnHeader,
                        PropValue(std::string(kDayNames[d]).substr(0, 2) + "   " + std::to_string(w)), first + d);
        }
        SetListProperty(Prop::ColumnWidth, SBPBEWERTUNG ? Scaled(40, ZOOM) + 2 : 1, first + 7);
        SetListProperty(Prop::ColumnColor, 0xFFFFFF, first + 7);
    }
    PropertySet(ListWindow(), FEQ, Prop::StyleFontName, PropValue("Arial"), 1);
    SetListProperty(Prop::StyleFontSize, Scaled(8, ZOOM), 1);
    SetListProperty(Prop::LineHeight, Scaled(16, ZOOM));
    SetListProperty(Prop::FontSize, Scaled(8, ZOOM));
    PropertySet(ListWindow(), FEQ, Prop::FontName, PropValue("Tahoma"), 0);
    PropertySet(ListWindow(), FEQ, Prop::Tip, PropValue("Schichtbedarf"), 0);
    CUSTOMDRAW = SBPBEWERTUNG ? 1 : 0;
    ComputeColumnX();
    Redisplay();
}

void CSBPGrid::SetDarstellung(int mode)
{
    DARSTELLUNG = uint8_t(mode);
    Layout();
}

void CSBPGrid::SetZoom(int percent)
{
    ZOOM = percent / 100.0;
    Layout();
}

void CSBPGrid::AttachEvaluation(CSBPBewertung& evaluation)
{
    SBPBEWERTUNG = &evaluation;
    Layout();
}

void CSBPGrid::DetachEvaluation()
{
    SBPBEWERTUNG = nullptr;
    Layout();
}
