#include "worksheets/KostenGrid.h"

#include "platform/ui/Window.h"
#include "platform/values/Picture.h"

#include <algorithm>
#include <cmath>

namespace {
const char* const kTage[7] = {"Mo", "Di", "Mi", "Do", "Fr", "Sa", "So"};
const char* const kArtenSBP[5] = {"Grundvergütung", "Zuschläge", "Zulagen", "Dienste", "Summe"};
const char* const kArtenAZP[6] = {"Grundvergütung", "Zuschläge", "Zulagen", "Dienste", "WAZ-Zuschläge", "Summe"};
const char* const kArtenAKB[4] = {"Grundvergütung", "Zuschläge", "Zulagen", "Summe"};

std::string Money(double v) { return FormatPicture(v, "@N10.`2"); }

std::string Weekdays(bool lastPlain)
{
    std::string f;
    for (int d = 0; d < 7; ++d)
        f += std::string("45R(1)|Y~") + kTage[d] + (d == 6 && lastPlain ? "~L@s20@" : "~L(2)@s20@");
    return f;
}

// Value i (1 base pay, 2 surcharges, 3 allowances, 4 on-call, 5 weekly hours, 6 total) of a row.
double Art(const KostenZeile& r, int i)
{
    switch (i) {
    case 1: return r.SUMME_LOHN;
    case 2: return r.SUMME_ZUSCHLAEGE;
    case 3: return r.SUMME_ZULAGEN;
    case 4: return r.SUMME_DIENSTE;
    case 5: return r.WAZ_ZUSCHLAEGE;
    default: return r.SUMME_GESAMT;
    }
}
double ArtTag(const KostenTag& t, int i)
{
    switch (i) {
    case 1: return t.LOHN;
    case 2: return t.ZUSCHLAEGE;
    case 3: return t.ZULAGEN;
    default: return t.SUMME;
    }
}
} // namespace

void CKostenGrid::Init(int list, const Queue<KostenZeile>& akb, const Queue<KostenZeile>& sbp,
                       const Queue<KostenZeile>& azp)
{
    AKB = &akb;
    SBP = &sbp;
    AZP = &azp;
    CURRENTTAB = KOSTEN_AKB;
    DISPLAYKOSTENMATRIX = KOSTEN_PRO_WOCHENTAG;
    CVLB::Init(list, FormatOf(KOSTEN_AKB, KOSTEN_PRO_WOCHENTAG, 0), false, false);
    SetupFormat(KOSTEN_AKB, true);
}

void CKostenGrid::SetZoom(int percent)
{
    ZOOM = percent > 0 ? percent / 100.0 : 1.0;
    SetupFormat(CURRENTTAB, true);
}

std::string CKostenGrid::FormatOf(int32_t page, uint8_t view, size_t rows)
{
    const std::string label = "55L(1)|Y~Kostenart~@S20@E(,08000000FH,,)";
    if (view == KOSTEN_PRO_KOSTENART && page != KOSTEN_AKB) {
        std::string f = label;
        for (size_t i = 0; i < rows; ++i)
            f += "55R(1)|Y~Überschrift~L(2)@s20@";
        return f + "55R(1)|Y~Gesamt~L(2)@s20@12L(500)@S1@";
    }
    switch (page) {
    case KOSTEN_SBP:
        return "55L(1)|Y~Schicht~@S20@E(,08000000FH,,)" + Weekdays(true) + "50R(1)|Y~Gesamt~L(2)@s20@12L(500)@S1@";
    case KOSTEN_AZP:
        return "55L(1)|Y~Gruppe~@S20@E(,08000000FH,,)" + Weekdays(true) +
               "45R(1)|Y~WAZ-Zuschl.~L(0)@S20@50R(1)|Y~Gesamt~L(2)@s20@12L(500)@S1@";
    default: {
        const std::string days = Weekdays(false) + "50R(1)|Y~Gesamt~L@s20@1L(500)@S1@";
        return view == KOSTEN_PRO_KOSTENART ? label + days : days;
    }
    }
}

void CKostenGrid::SetupFormat(int32_t page, bool keepPage)
{
    if (!keepPage)
        CURRENTTAB = page;
    const Queue<KostenZeile>* q = Current();
    const size_t rows = q ? QueueRecords(*q) : 0;
    if (FEQ == 0 || !WindowExists(ListWindow()))
        return;
    const int win = ListWindow();
    PropertySet(win, FEQ, Prop::Format, FormatOf(CURRENTTAB, DISPLAYKOSTENMATRIX, rows), 0);
    if (DISPLAYKOSTENMATRIX == KOSTEN_PRO_KOSTENART && CURRENTTAB != KOSTEN_AKB && q)
        for (size_t n = 1; n <= rows; ++n)
            PropertySet(win, FEQ, Prop::ColumnHeader, QueueGet(*q, n)->BEZEICHNUNG, int(n + 1));
    const int size = std::max(1, int(std::lround(ZOOM * 8)));
    PropertySet(win, FEQ, Prop::LineHeight, std::max(8, int(std::lround(ZOOM * 10))), 0);
    PropertySet(win, FEQ, Prop::FontName, std::string("Tahoma"), 0);
    PropertySet(win, FEQ, Prop::FontSize, size, 0);
    for (int style : {1, 2}) {
        PropertySet(win, FEQ, Prop::StyleFontName, std::string("Tahoma"), style);
        PropertySet(win, FEQ, Prop::StyleFontSize, size, style);
        PropertySet(win, FEQ, Prop::StyleFontStyle, style == 1 ? 400 : 700, style);
    }
    PropertySet(win, FEQ, Prop::StyleBackColor, 0xF2F2F2, 2);
    ComputeColumnX();
    Redisplay();
}

void CKostenGrid::RenameGroupHeader()
{
    if (FEQ == 0 || !WindowExists(ListWindow()))
        return;
    if (PropertyGet(ListWindow(), FEQ, Prop::ColumnHeader, 1).Str() == "Gruppe")
        PropertySet(ListWindow(), FEQ, Prop::ColumnHeader, std::string("Woche"), 1);
}

const Queue<KostenZeile>* CKostenGrid::Current() const
{
    switch (CURRENTTAB) {
    case KOSTEN_SBP: return SBP;
    case KOSTEN_AZP: return AZP;
    default: return AKB;
    }
}

int32_t CKostenGrid::RowCount()
{
    const Queue<KostenZeile>* q = Current();
    const auto n = int32_t(q ? QueueRecords(*q) : 0);
    if (DISPLAYKOSTENMATRIX == KOSTEN_PRO_KOSTENART)
        return CURRENTTAB == KOSTEN_AKB ? 4 : CURRENTTAB == KOSTEN_SBP ? 5 : 6;
    return CURRENTTAB == KOSTEN_AKB ? 1 : n + 1;
}

int16_t CKostenGrid::ColumnCount()
{
    const Queue<KostenZeile>* q = Current();
    const auto n = int16_t(q ? QueueRecords(*q) : 0);
    if (DISPLAYKOSTENMATRIX == KOSTEN_PRO_KOSTENART)
        return CURRENTTAB == KOSTEN_AKB ? 9 : int16_t(n + 2);
    return CURRENTTAB == KOSTEN_AKB ? 8 : CURRENTTAB == KOSTEN_SBP ? 9 : 10;
}

std::string CKostenGrid::CellText(int32_t row, int16_t field)
{
    if (field < 1)
        return {};
    const auto [text, sum] = Cell(row, (field - 1) / 2 + 1);
    if (field % 2 == 0)
        return sum ? "2" : "1";
    return text;
}

std::pair<std::string, bool> CKostenGrid::Cell(int32_t row, int column) const
{
    const Queue<KostenZeile>* q = Current();
    const int32_t rows = const_cast<CKostenGrid*>(this)->RowCount();
    const int columns = const_cast<CKostenGrid*>(this)->ColumnCount();
    if (!q || row < 1 || row > rows || column < 1 || column > columns)
        return {{}, false};
    const auto n = int32_t(QueueRecords(*q));
    const bool empty = n == 0;
    const bool lastColumn = column == columns;
    const bool lastRow = row == rows;

    // A sum over every row of the matrix.
    auto total = [&](auto value) {
        double s = 0;
        for (const KostenZeile& r : *q)
            s += value(r);
        return s;
    };

    if (CURRENTTAB == KOSTEN_AKB) {
        if (DISPLAYKOSTENMATRIX == KOSTEN_PRO_WOCHENTAG) {
            if (empty)
                return {{}, lastColumn};
            if (lastColumn)
                return {Money(total([](const KostenZeile& r) { return r.SUMME_GESAMT; })), true};
            return {Money(total([&](const KostenZeile& r) { return r.WOCHENTAG[size_t(column - 1)].SUMME; })), false};
        }
        const bool sum = lastColumn || lastRow;
        if (column == 1)
            return {kArtenAKB[row - 1], sum};
        if (empty)
            return {{}, sum};
        const int art = row == 4 ? 6 : row;   // base pay, surcharges, allowances, total
        if (lastColumn)
            return {Money(total([&](const KostenZeile& r) { return Art(r, art); })), true};
        return {Money(total([&](const KostenZeile& r) { return ArtTag(r.WOCHENTAG[size_t(column - 2)], row); })), sum};
    }

    if (DISPLAYKOSTENMATRIX == KOSTEN_PRO_WOCHENTAG) {
        const bool sum = lastColumn || lastRow;
        if (empty)
            return {{}, sum};
        auto value = [&](const KostenZeile& r) -> double {
            if (column <= 8)
                return r.WOCHENTAG[size_t(column - 2)].SUMME;
            if (CURRENTTAB == KOSTEN_AZP && column == 9)
                return r.WAZ_ZUSCHLAEGE;
            return r.SUMME_GESAMT;
        };
        if (lastRow) {
            if (column == 1)
                return {"Summe", true};
            return {Money(total(value)), true};
        }
        const KostenZeile& r = *QueueGet(*q, size_t(row));
        if (column == 1)
            return {r.BEZEICHNUNG, sum};
        return {Money(value(r)), sum};
    }

    // Per cost type: one column per row of the matrix, then their sum.
    const char* const* arten = CURRENTTAB == KOSTEN_SBP ? kArtenSBP : kArtenAZP;
    const bool sum = lastColumn || lastRow;
    if (column == 1)
        return {arten[row - 1], sum};
    if (empty)
        return {{}, sum};
    const int art = CURRENTTAB == KOSTEN_SBP && row == 5 ? 6 : row;
    if (lastColumn)
        return {Money(total([&](const KostenZeile& r) { return Art(r, art); })), true};
    return {Money(Art(*QueueGet(*q, size_t(column - 1)), art)), sum};
}
