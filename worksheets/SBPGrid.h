#pragma once
// CSBPGrid: the shift demand plan as a grid - one row per shift type with its name (the short name
// in compact display, the long one with its times as the tip), one column per day with the number
// of shift groups (and, when a group has more than one person, the persons in brackets), and a
// filler column at the end of every week. While an evaluation is attached, a shift type that breaks
// a rule shows a warning icon at the right of its name.
#include "core/Spreadsheet.h"

#include <cstdint>
#include <string>

class CSBPData;
class CSBPBewertung;

class CSBPGrid : public CSpreadsheet {
public:
    CSBPGrid();

    CSBPData* SBP = nullptr;                 // not owned
    CSBPBewertung* SBPBEWERTUNG = nullptr;   // not owned; nullptr without evaluation
    double ZOOM = 1.0;
    uint8_t DARSTELLUNG = 1;                 // 1 normal, else compact

    static constexpr int kColumnsPerWeek = 8;
    static constexpr int kFieldsPerWeek = 36;

    int32_t RowCount() override;
    int16_t ColumnCount() override;
    std::string CellText(int32_t row, int16_t field) override;
    // The day of the list's current column: off the name column to the first day, off a filler
    // column on in the direction of travel, never past the last day.
    int32_t CurrentColumn() override;
    int32_t ColumnOfListColumn(int32_t column) override;
    int32_t ColumnOfField(int32_t field) override;
    void CustomDraw(int32_t row, int32_t column, int32_t x, Painter& painter, int32_t height, int32_t width,
                    int32_t y) override;

    // Binds the list `feq` of the calling thread's target window to the plan.
    void SetFormat(int feq, CSBPData& plan);
    // The format for the plan's weeks; row 1 and column 2 become current.
    void BuildFormat();
    void SetDarstellung(int mode);
    void SetZoom(int percent);
    void AttachEvaluation(CSBPBewertung& evaluation);
    void DetachEvaluation();

    // The day of list column c; 0 for the name and filler columns.
    static int32_t DayOfColumn(int32_t column);

private:
    void Layout();
    int Weeks() const;
};
