#pragma once
// CKostenGrid: the list of the cost inspector. It shows one of the three cost matrices (staff
// demand, shift demand plan, working-time plan) per weekday or per cost type. Every list column
// carries two fields, the text and a style (1 normal, 2 a sum: bold on light grey).
#include "assessment/Kostenrechnung.h"
#include "core/VLB.h"

#include <cstdint>
#include <string>

constexpr int KOSTEN_AKB = 2000;
constexpr int KOSTEN_SBP = 3000;
constexpr int KOSTEN_AZP = 4000;
constexpr uint8_t KOSTEN_PRO_WOCHENTAG = 1;
constexpr uint8_t KOSTEN_PRO_KOSTENART = 2;

class CKostenGrid : public CVLB {
public:
    double ZOOM = 1.0;                    // 1.0 is 100 %: a grid nobody zoomed shows its normal size
    int32_t CURRENTTAB = KOSTEN_AKB;
    uint8_t DISPLAYKOSTENMATRIX = KOSTEN_PRO_WOCHENTAG;

    // Binds the list of the target window to the three matrices.
    void Init(int list, const Queue<KostenZeile>& akb, const Queue<KostenZeile>& sbp, const Queue<KostenZeile>& azp);
    // The matrices alone, without a list (Init does this too).
    void SetMatrices(const Queue<KostenZeile>& akb, const Queue<KostenZeile>& sbp, const Queue<KostenZeile>& azp)
    {
        AKB = &akb;
        SBP = &sbp;
        AZP = &azp;
    }
    // ZOOM := percent / 100 (a percent of 0 or less keeps 100 %), then the layout again.
    void SetZoom(int percent);
    // The list's format, line height, font and the sums' style for the page (unless keepPage,
    // which keeps the page shown) and the current view.
    void SetupFormat(int32_t page, bool keepPage);
    // A flex worksheet's plan has weeks, not groups.
    void RenameGroupHeader();

    // The format text of a page and view for a matrix of `rows` rows.
    static std::string FormatOf(int32_t page, uint8_t view, size_t rows);

    int32_t RowCount() override;
    int16_t ColumnCount() override;
    std::string CellText(int32_t row, int16_t field) override;

private:
    const Queue<KostenZeile>* Current() const;
    // Text and style of a cell (row, column from 1).
    std::pair<std::string, bool> Cell(int32_t row, int column) const;

    const Queue<KostenZeile>* AKB = nullptr;
    const Queue<KostenZeile>* SBP = nullptr;
    const Queue<KostenZeile>* AZP = nullptr;
};
