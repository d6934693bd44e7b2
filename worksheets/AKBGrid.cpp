#include "worksheets/AKBGrid.h"

#include "core/TimeHelpers.h"
#include "platform/ui/Window.h"
#include "platform/values/Picture.h"
#include "plans/AKBData.h"

#include <algorithm>
#include <cmath>

namespace {

const char* const kDayNames[7] = {"Mo", "Di", "Mi", "Do", "Fr", "Sa", "So"};

// One week of the list: per day a time column and a count column, each two stacked parts.
std::string WeekFormat()
{
    std::string f;
    for (const char* day : kDayNames)
        f += std::string("[25R(1)*~") + day + "~L(2)@s20@/25R(1)_*@s20@](25)[13R(1)*@S20@Z(1)/13L(1)_*@s20@/](13)|";
    return f + "[1L@s20@/1L@s20@](1)|";
}

constexpr int kFieldsPerDay = 20;
constexpr int kFieldsPerPart = 5;
// The renderer draws the stacked parts of a day column side by side on one line per row: each
// part is as wide as its text needs ("08:00", "- 24:00", "255", nothing), and the row is as high
// as the two lines of text would be together.
constexpr int kBeginWidth = 38;
constexpr int kEndWidth = 46;
constexpr int kCountWidth = 22;
constexpr int kBlankWidth = 2;
constexpr int kLineHeight = 16;

int Scaled(int value, double zoom) { return int(std::lround(value * zoom)); }

} // namespace

CAKBGrid::CAKBGrid()
{
    SpreadsheetCursorShapes shapes;
    shapes.DEFAULT[0] = shapes.DEFAULT[1] = "spreadsheet";
    shapes.DRAGGING[0] = shapes.DRAGGING[1] = "spreadsheet2";
    SetCursorShapes(shapes);
    SetLayout(4, 1, kFieldsPerPart, 2);
}

int CAKBGrid::Weeks() const { return AKB ? AKB->GetBezugsrahmen() : 0; }

int32_t CAKBGrid::DayOfColumn(int32_t column)
{
    if (column < 1)
        return 0;
    const int32_t within = (column - 1) % kColumnsPerWeek;
    if (within >= 28)
        return 0;
    return (column - 1) / kColumnsPerWeek * 7 + within / 4 + 1;
}

int CAKBGrid::PartOfColumn(int32_t column) { return (column % kColumnsPerWeek) % 4; }

int32_t CAKBGrid::ColumnOfListColumn(int32_t column) { return DayOfColumn(column); }

int32_t CAKBGrid::ColumnOfField(int32_t field)
{
    if (field < 1)
        return 0;
    const int32_t r = (field - 1) % kFieldsPerWeek;
    if (r >= 7 * kFieldsPerDay)
        return 0;
    return (field - 1) / kFieldsPerWeek * 7 + r / kFieldsPerDay + 1;
}

int32_t CAKBGrid::RowCount() { return AKB ? int32_t(AKB->GetMaxZeilen()) : 0; }

int16_t CAKBGrid::ColumnCount() { return int16_t(Weeks() * kFieldsPerWeek); }

CAKBEintrag* CAKBGrid::Entry(int32_t day, int32_t row) const
{
    return AKB && day >= 1 && row >= 1 ? AKB->GetEntry(uint32_t(day), uint32_t(row)) : nullptr;
}

std::string CAKBGrid::CellText(int32_t row, int16_t field)
{
    if (!AKB || field < 1)
        return {};
    const int32_t week = (field - 1) / kFieldsPerWeek;
    const int32_t r = (field - 1) % kFieldsPerWeek;
    if (r >= 7 * kFieldsPerDay)
        return {};
    const int32_t part = r % kFieldsPerDay / kFieldsPerPart;
    const int kind = r % kFieldsPerPart;
    const int32_t listColumn = week * kColumnsPerWeek + r / kFieldsPerDay * 4 + part + 1;
    if (kind != 0)
        return std::to_string(CellColor(row, listColumn, kind));
    const CAKBEintrag* span = Entry(week * 7 + r / kFieldsPerDay + 1, row);
    if (!span)
        return {};
    switch (part) {
    case 0: return FormatTimeOfDay(span->TERMIN.BEGINN);
    case 1: return "- " + FormatTimeOfDay(span->TERMIN.ENDE, true);
    case 2: return FormatPicture(long(span->ANZAHL), "@N_3B");
    default: return {};
    }
}

int32_t CAKBGrid::CurrentColumn()
{
    const int32_t days = std::max(1, Weeks() * 7);
    int64_t column = std::max<int64_t>(1, ListProperty(Prop::Column));
    const int64_t within = (column - 1) % kColumnsPerWeek;
    if (within >= 28) {
        const bool back = LASTKEYCODE == Key::LEFT || LASTKEYCODE == Key::SHIFT_TAB ||
                          LASTKEYCODE == (Key::SHIFT | Key::LEFT);
        if (back)
            column -= 2;
        else if (ListProperty(Prop::ColumnExists, int(column + 2)))
            column += 2;
        else
            column = column - within + 24;   // the begin of the week's last day
        SetListProperty(Prop::Column, column);
    }
    return std::clamp(DayOfColumn(int32_t(column)), 1, days);
}

void CAKBGrid::SetFormat(int feq, CAKBData& akb)
{
    AKB = &akb;
    Init(feq, WeekFormat(), false, false);
    BuildFormat();
    Subclass(WindowTarget());
}

void CAKBGrid::BuildFormat()
{
    if (!FEQ)
        return;
    std::string format;
    for (int w = 0; w < Weeks(); ++w)
        format += WeekFormat();
    PropertySet(ListWindow(), FEQ, Prop::Format, PropValue(format), 0);
    SetListProperty(Prop::Selected, 1);
    SetListProperty(Prop::Column, 1);
    Layout();
}

void CAKBGrid::Layout()
{
    for (int w = 1; w <= Weeks(); ++w) {
        const int first = (w - 1) * kColumnsPerWeek;
        for (int d = 0; d < 7; ++d) {
            const int c = first + 4 * d;
            PropertySet(ListWindow(), FEQ, Prop::ColumnHeader, PropValue(std::to_string(w)), c + 3);
            SetListProperty(Prop::ColumnWidth, Scaled(kBeginWidth, ZOOM), c + 1);
            SetListProperty(Prop::ColumnWidth, Scaled(kEndWidth, ZOOM), c + 2);
            SetListProperty(Prop::ColumnWidth, Scaled(kCountWidth, ZOOM), c + 3);
            SetListProperty(Prop::ColumnWidth, Scaled(kBlankWidth, ZOOM), c + 4);
        }
        SetListProperty(Prop::ColumnColor, 0xFFFFFF, first + 29);
        SetListProperty(Prop::ColumnColor, 0xFFFFFF, first + 30);
    }
    SetListProperty(Prop::LineHeight, Scaled(kLineHeight, ZOOM));
    SetListProperty(Prop::FontSize, Scaled(8, ZOOM));
    PropertySet(ListWindow(), FEQ, Prop::FontName, PropValue("Tahoma"), 0);
    ComputeColumnX();
    Redisplay();
}

void CAKBGrid::SetZoom(int percent)
{
    ZOOM = percent / 100.0;
    if (FEQ)
        Layout();
}
