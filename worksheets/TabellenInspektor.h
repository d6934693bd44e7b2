#pragma once
// CTabellenInspektor: the table inspector of a worksheet of kind 1 - the key figures of its staff
// demand, shift demand plan and working-time plan on three tabs, per-week tables of shifts and
// hours, the differences between the plans, and spin fields that change the persons per shift
// group and the number of groups directly. The worksheet owns it; it runs the window
// "Tabellen-Inspektor" on a thread of its own (InspektorWindow).
//
// CInfoVLB serves one of the four per-week lists from the figures the window keeps.
#include "core/VLB.h"
#include "plans/AKBInfo.h"
#include "plans/AZPInfo.h"
#include "plans/SBPInfo.h"
#include "worksheets/InspektorWindow.h"

#include <cstdint>
#include <string>

// Pages of the sheet (the worksheet turns it to the page of the plan list that has the focus).
constexpr int TABINSP_SHEET = 1000;
constexpr int TABINSP_AKB = 2000;
constexpr int TABINSP_SBP = 3000;
constexpr int TABINSP_AZP = 4000;
// The spin fields, the lists and the check boxes.
constexpr int TABINSP_PERSONEN = 3002;
constexpr int TABINSP_SBP_SCHICHTEN = 3009;
constexpr int TABINSP_SBP_STUNDEN = 3010;
constexpr int TABINSP_GRUPPEN = 4002;
constexpr int TABINSP_AZP_SCHICHTEN = 4013;
constexpr int TABINSP_AZP_STUNDEN = 4015;
constexpr int TABINSP_GESAMTARBEITSZEIT = 4016;
constexpr int TABINSP_DIFFERENZANZEIGE = 4017;

// What the window shows, recomputed from the worksheet at every refresh.
struct TabellenStand {
    CAKBInfo AKB;
    CSBPInfo SBP;
    CAZPInfo AZP;
    int32_t PERSONEN = 0;       // persons per shift group
    int32_t GRUPPEN = 0;        // number of shift groups
    int32_t BEZUGSRAHMEN = 0;   // weeks
    Decimal BMSDIFFSBP;         // SBP hours - AKB hours
    Decimal BMSDIFFAZP;         // AZP net hours - SBP net hours
    uint8_t GESAMTARBEITSZEIT = 0;
    uint8_t DIFFERENZANZEIGE = 1;
};

// The list format for W weeks: the shift column, one column per week in a scrolling group (which
// scrolls once there are more than four), a column without heading and the closing column.
std::string TabellenListFormat(int32_t weeks);

class CInfoVLB : public CVLB {
public:
    // `list` is one of the four list controls; it decides which queue the rows come from.
    CInfoVLB(const TabellenStand& stand, int list) : STAND(stand), LIST(list) {}

    int32_t RowCount() override;
    int16_t ColumnCount() override { return 13; }
    // Column 1 the shift's name ("ø" before it in the hours of the plan while the total hours are
    // off), columns 2 .. weeks + 1 the week's value as decimal text, blank when 0; nothing else.
    // In the plan's shifts with "Differenzanzeige" on, a week shows the plan's count less the
    // count of the same shift type (SYSID) in the shift demand plan; a type the shift demand plan
    // does not have shows its own count.
    std::string CellText(int32_t row, int16_t column) override;
    // The list shows its cells afresh (a check box changed what they mean).
    void Redraw() { Redisplay(); }

private:
    const Queue<QWochenwerte>& Rows() const;

    const TabellenStand& STAND;
    int LIST;
};

class CTabellenInspektor : public CInspektor {
public:
    CTabellenInspektor() : CInspektor(INSPEKTOR_TABELLE) {}

    int Run() override;
    void Init(FwWindow* windowManager, int window) override;
    void Reset() override;

    // The page (2000, 3000, 4000) to show at the next refresh; other values change nothing.
    void ShowPage(int page);
    int TakePage();

private:
    int PAGE = 0;
};

// The window procedure (parameter: the inspector as text).
void TabellenInspektor(const std::string& parameter);
