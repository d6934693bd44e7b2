#include "worksheets/FlexAZGrid.h"

#include "assessment/KriterienChecker.h"
#include "core/TimeHelpers.h"
#include "platform/ui/Window.h"
#include "plans/FlexAZ.h"
#include "plans/Schichttypen.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kPauseWidth = 44, kTickWidth = 18;
// Widths at zoom 100 of the 24 list columns.
constexpr int kWidths[24] = {28, 76, 100, 16, 44, 44, 52, 52,
                             kPauseWidth, kPauseWidth, kTickWidth, kPauseWidth, kPauseWidth, kTickWidth,
                             kPauseWidth, kPauseWidth, kTickWidth, kPauseWidth, kPauseWidth, kTickWidth,
                             kPauseWidth, kPauseWidth, kTickWidth, 4};
constexpr int kIconColumn = 4;
// Kompakt shows number, date, kind and times: the working times and breaks go.
constexpr int kFirstHidden = 7, kLastHidden = 23;

const char* const kArten[4] = {"normal", "Freischicht", "Bereitschaft", "Rufbereitschaft"};

int32_t MinutesToClock(int64_t minutes) { return int32_t(std::max<int64_t>(0, minutes) * kClockPerMinute + 1); }

int Scaled(int value, double zoom) { return int(std::lround(value * zoom)); }

} // namespace

const std::string& CFlexAZGrid::Format()
{
    static const std::string format = [] {
        std::string f = "28R(2)|M~Tag~C(0)@n3@76R(2)|M~Datum~C(0)@D17@100L(2)|M~Art~C(0)@S15@16C|MJ@s1@"
                        "44R(2)|M~Beginn~C(0)@T7@44R(2)|M~Ende~C(0)@T7@"
                        "[52R(2)|M~bezahlt~C(0)@T7@52R(2)|M~reine~C(0)@T7@](104)|M~Arbeitszeit~";
        for (int k = 1; k <= 5; ++k)
            f += "[44R(2)|M~Beginn~C(0)@T7B@44R(2)|M~Dauer~C(0)@T7B@18C|MJ~bz~C(0)@s1@](106)|M~Pause " +
                 std::to_string(k) + "~";
        return f + "4L|M@s1@";
    }();
    return format;
}

void CFlexAZGrid::SetupFormat(int feq, CFlexAZ& plan, int window)
{
    FLEXAZ = &plan;
    const int before = WindowSetTarget(window);
    Init(feq, Format(), false, false);
    PropertySet(window, feq, Prop::IconList, PropValue("~tick.ico"), 1);
    PropertySet(window, feq, Prop::IconList, PropValue("~exclamation.ico"), 2);
    Subclass(window);
    WindowSetTarget(before);
    Redraw();
}

void CFlexAZGrid::Redraw()
{
    if (!FEQ)
        return;
    PropertySet(ListWindow(), FEQ, Prop::Format, PropValue(Format().c_str()), 0);
    for (int c = 1; c <= 24; ++c) {
        int width = Scaled(kWidths[c - 1], ZOOM);
        if (DARSTELLUNG == 2 && c >= kFirstHidden && c <= kLastHidden)
            width = 0;
        if (c == kIconColumn)
            width = CHECKER ? Scaled(kWidths[c - 1], ZOOM) : 0;
        SetListProperty(Prop::ColumnWidth, width, c);
    }
    SetListProperty(Prop::FontSize, Scaled(8, ZOOM));
    SetListProperty(Prop::LineHeight, Scaled(16, ZOOM));
    PropertySet(ListWindow(), FEQ, Prop::FontName, PropValue("Tahoma"), 0);
    PropertySet(ListWindow(), FEQ, Prop::Tip, PropValue("Arbeitszeiten-Daten"), 0);
    ComputeColumnX();
    Redisplay();
}

void CFlexAZGrid::Evaluate()
{
    VERSTOESSE.clear();
    if (!CHECKER || !FLEXAZ)
        return;
    VERSTOESSE.resize(size_t(FLEXAZ->Count()));
    for (long n = 1; n <= FLEXAZ->Count(); ++n) {
        CFlexSchicht shift;
        shift.Clear();
        FLEXAZ->getByIndex(n, shift);
        CSchichttypen::Normalize(shift);
        CHECKER->CheckShiftType(shift, WeekdayBit(shift.DATUM), VERSTOESSE[size_t(n - 1)]);
    }
}

const CVerstossliste* CFlexAZGrid::Violations(long n) const
{
    return n >= 1 && size_t(n) <= VERSTOESSE.size() ? &VERSTOESSE[size_t(n - 1)] : nullptr;
}

void CFlexAZGrid::SetDarstellung(int mode)
{
    DARSTELLUNG = uint8_t(mode);
    Redraw();
}

void CFlexAZGrid::SetZoom(int percent)
{
    ZOOM = percent / 100.0;
    Redraw();
}

void CFlexAZGrid::SetChecker(CKriterienChecker& checker)
{
    CHECKER = &checker;
    Evaluate();
    Redraw();
}

void CFlexAZGrid::ClearChecker()
{
    CHECKER = nullptr;
    Evaluate();
    Redraw();
}

void CFlexAZGrid::Select(int64_t row) const
{
    if (FEQ)
        SetListProperty(Prop::Selected, row);
}

int32_t CFlexAZGrid::RowCount() { return FLEXAZ ? int32_t(FLEXAZ->Count()) : 0; }

std::string CFlexAZGrid::CellText(int32_t row, int16_t field)
{
    const QFLEXAZ* e = FLEXAZ ? FLEXAZ->Entry(row) : nullptr;
    if (!e)
        return {};
    CSchicht s;
    s.Clear();
    s.ART = e->ART;
    s.TERMIN = e->TERMIN;
    s.PAUSEN = e->PAUSEN;
    switch (field) {
    case 1: return std::to_string(row);
    case 2: return std::to_string(e->DATUM);
    case 3: return e->ART >= 1 && e->ART <= 4 ? kArten[e->ART - 1] : "";
    case 4: return {};
    case 5: {
        const CVerstossliste* list = Violations(row);
        return list && list->Count() > 0 ? "2" : "0";
    }
    case 6: return std::to_string(MinutesToClock(e->TERMIN.BEGINN % 1440));
    // An end at midnight shows as the end of its day.
    case 7: return std::to_string(MinutesToClock(e->TERMIN.ENDE > 1440 ? (e->TERMIN.ENDE - 1) % 1440 + 1 : e->TERMIN.ENDE));
    case 8: return std::to_string(MinutesToClock(s.PaidMinutes()));
    case 9: return std::to_string(MinutesToClock(s.NetMinutes()));
    default: break;
    }
    if (field < 10 || field > 29)
        return {};
    const int k = (field - 10) / 4 + 1;
    const PAUSE& p = e->PAUSEN[size_t(k - 1)];
    const bool empty = p.LAGE == 0 && p.DAUER == 0;
    switch ((field - 10) % 4) {
    case 0: return empty ? "0" : std::to_string(MinutesToClock((e->TERMIN.BEGINN + p.LAGE) % 1440));
    case 1: return empty ? "0" : std::to_string(MinutesToClock(p.DAUER));
    case 2: return {};
    default: return !empty && p.BEZAHLT ? "1" : "0";
    }
}
