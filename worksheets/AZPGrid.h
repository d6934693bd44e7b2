#pragma once
// CAZPGrid: the working-time plan as a grid - one row per shift group (or per week of a flex
// plan), and for every week of the plan seven day columns, a WAZ column, a "+/-" column and a
// narrow spacer. Cells show the shift type's short name (or its times on a flex worksheet); with
// an evaluation attached the grid paints each cell's violation markers and the weekly figures.
#include "core/Spreadsheet.h"

#include <cstdint>
#include <string>

class CAZPData;
class CAZPBewertung;
class CSchicht;

class CAZPGrid : public CSpreadsheet {
public:
    CAZPGrid();
    ~CAZPGrid() override;
    CAZPGrid(const CAZPGrid&) = delete;
    CAZPGrid& operator=(const CAZPGrid&) = delete;

    CAZPData* AZP = nullptr;                 // not owned
    CAZPBewertung* AZPBEWERTUNG = nullptr;   // not owned; nullptr without evaluation
    double ZOOM = 1.0;
    uint8_t DARSTELLUNG = 1;                 // 1 normal, 2 kompakt
    uint8_t TYP = 1;                         // 1 rows are groups, 2 rows are weeks of a flex plan
    int32_t DATUMVON = 0;
    int32_t DATUMBIS = 0;
    // The mouse button of the last press or release on the list; 0 after a key.
    int LASTBUTTON = 0;

    int32_t CurrentColumn() override;
    int32_t ColumnOfField(int32_t field) override;
    bool TakeWindowMessage(const WindowMessage& message) override;
    void AfterWindowMessage(const WindowMessage& message) override;
    void SetSelection(const SpreadsheetSelection& selection) override;
    int32_t RowCount() override;
    int16_t ColumnCount() override;
    std::string CellText(int32_t row, int16_t field) override;
    void CustomDraw(int32_t row, int32_t column, int32_t x, Painter& painter, int32_t height, int32_t width,
                    int32_t y) override;

    // Binds the list `feq` of the calling thread's window to the plan.
    void SetFormat(int feq, CAZPData& plan, int window);
    void BuildFormat(int weeks);
    void Redraw();
    // The list's rows afresh and the markers drawn again.
    void Refresh();
    // The markers of the visible cells drawn again (after the evaluation or the plan changed).
    // The renderer replays what was drawn last, so every change the cells show is drawn here.
    void PaintMarkers();
    void SetTyp(int kind);
    void SetDarstellung(int mode);
    void SetZoom(int percent);
    void SetEvaluation(CAZPBewertung& evaluation);
    void DropEvaluation();
    void SetPeriod(int32_t from, int32_t to);

    // The plan day of list column c; 0 for the head, WAZ, difference and spacer columns.
    static int32_t DayOfColumn(int32_t column);
    // The text the list shows in list column `column` (from 1) of row `row`.
    std::string ColumnText(int32_t row, int32_t column);

private:
    int Weeks() const;
    std::string WeekFigure(int32_t row, int week, int kind);

    // The last shift-type lookup: the list asks five times per cell.
    int32_t lastRow_ = -1;
    int32_t lastDay_ = -1;
    CSchicht* lastSchicht_ = nullptr;
};
