#pragma once
// CAKBGrid: the staff demand as a week grid - per day a time column (the begin of a span, and "- "
// with its end) and a count column, one row per span of that day, and a narrow filler column at
// the end of every week. A week is 30 list columns and 142 list fields: every day column has two
// stacked parts of five fields each (the text and its four colours).
#include "core/Spreadsheet.h"

#include <cstdint>
#include <string>

class CAKBData;
struct CAKBEintrag;

class CAKBGrid : public CSpreadsheet {
public:
    CAKBGrid();

    CAKBData* AKB = nullptr;   // not owned
    double ZOOM = 1.0;

    static constexpr int kColumnsPerWeek = 30;
    static constexpr int kFieldsPerWeek = 142;

    int32_t RowCount() override;
    int16_t ColumnCount() override;
    std::string CellText(int32_t row, int16_t field) override;
    // The day of the list's current column; off a filler column it moves on in the direction of
    // travel, never past the last day.
    int32_t CurrentColumn() override;
    int32_t ColumnOfListColumn(int32_t column) override;
    int32_t ColumnOfField(int32_t field) override;

    // Binds the list `feq` of the calling thread's target window to the staff demand.
    void SetFormat(int feq, CAKBData& akb);
    // The format for the staff demand's weeks; row 1 and column 1 become current.
    void BuildFormat();
    void SetZoom(int percent);
    // The span of a cell (day, row); nullptr when there is none.
    CAKBEintrag* Entry(int32_t day, int32_t row) const;

    // The day of list column c (1-based); 0 for a filler column.
    static int32_t DayOfColumn(int32_t column);
    // The part of a day list column c stands for: 1 begin, 2 end, 3 count, 0 the blank field.
    static int PartOfColumn(int32_t column);

private:
    void Layout();
    int Weeks() const;
};
