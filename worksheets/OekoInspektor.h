#pragma once
// COekoInspektor: the cost inspector of a worksheet - what one week of its staff demand, shift
// demand plan and working-time plan costs in wages (CKostenrechnung), shown by CKostenGrid on
// three tabs, per weekday or per cost type. The worksheet owns it and has it recompute after
// every change of a plan, the shift types, the group strength or the cost settings; the window
// "Ökonomie-Inspektor" runs on a thread of its own (InspektorWindow).
#include "assessment/Kostenrechnung.h"
#include "worksheets/InspektorWindow.h"
#include "worksheets/KostenGrid.h"

#include <cstdint>
#include <memory>
#include <string>

class CAKBData;
class CAZPData;
class CSBPData;

constexpr int OEKO_KOSTENMATRIX = 10;   // the check box " nach Kosten&arten getrennt anzeigen"
constexpr int OEKO_SHEET = 11;
constexpr int OEKO_LIST = 20;

class COekoInspektor : public CInspektor {
public:
    COekoInspektor() : CInspektor(INSPEKTOR_OEKO) {}

    int Run() override;
    void Init(FwWindow* windowManager, int window) override;
    void Reset() override;

    // The three matrices of the worksheet's current weeks (each editor's current day, else week
    // 1); nothing while the window is closed.
    void Recompute();
    // Each matrix alone, for week `week` (1 ..); nothing while the window is closed.
    void ComputeAZPCosts(const CAZPData& plan, uint16_t week);
    void ComputeSBPCosts(const CSBPData& plan, uint16_t week);
    void ComputeAKBCosts(const CAKBData& demand, uint16_t week);

    // The window's view: page (2000, 3000, 4000; a window not yet open shows it when it opens)
    // and mode (1 per weekday, 2 per cost type).
    void SetView(int page);
    void SetDisplayMode(uint8_t mode);
    void RefreshGrid(int percent);

    const Queue<KostenZeile>& GetKostenAKB() const { return KOSTENAKB; }
    const Queue<KostenZeile>& GetKostenSBP() const { return KOSTENSBP; }
    const Queue<KostenZeile>& GetKostenAZP() const { return KOSTENAZP; }
    CKostenGrid* GetGrid() { return KOSTENMATRIXVLB.get(); }

private:
    friend class OekoInspektorWindow;
    void Prepare();

    std::unique_ptr<CKostenGrid> KOSTENMATRIXVLB;   // while the window is open
    Queue<KostenZeile> KOSTENAKB, KOSTENSBP, KOSTENAZP;
    CKostenrechnung RECHNUNG;
    int PAGE = 0;                                    // to select at the next refresh
};

// The window procedure (parameter: the inspector as text).
void OekoInspektor(const std::string& parameter);
