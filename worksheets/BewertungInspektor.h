#pragma once
// CBewertungInspektor: the evaluation inspector of a worksheet - a tree of the worksheet's
// criteria in six groups (each criterion shows whether it is switched on, can be toggled and
// opened in the definitions dialog) and a summary of the current plan's evaluation: free Sundays,
// the average weekly working time, a warning when shift types break rules and a hint on
// compensation periods. While it is open the worksheet keeps evaluations of its plans. The
// worksheet owns it; the window "Bewertungs-Inspektor" runs on a thread of its own.
#include "assessment/KriterienGruppe.h"
#include "assessment/Verstossliste.h"
#include "core/Tree.h"
#include "worksheets/InspektorWindow.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

class CAZPBewertung;
class CSBPBewertung;

constexpr int BEWINSP_FREIESONNTAGE = 12;   // the value of "freie Sonntage:"
constexpr int BEWINSP_WARNUNG = 13;         // the group of the shift-type warning
constexpr int BEWINSP_HINWEIS = 16;         // the group of the compensation hint
constexpr int BEWINSP_LEGENDE = 18;
constexpr int BEWINSP_WAZ = 20;
constexpr int BEWINSP_TREE = 22;

// What the summary shows, worked out from the evaluations and the criteria.
struct BewertungZusammenfassung {
    bool FREIESONNTAGE = false;   // a KR4 record was found
    VERSTOSSINFO SONNTAGE;        // a copy of it, its INFO scaled to the flex plan's days
    bool WARNUNG = false;         // a shift type has violations
    bool HINWEIS = false;         // compensation periods matter
};

class CBewertungInspektor : public CInspektor, public ITreeEntry {
public:
    CBewertungInspektor();
    ~CBewertungInspektor() override;

    // Adds the worksheet's criteria to the six groups.
    void FillGroups(CArbeitsblatt& sheet);

    int Run() override;
    void Init(FwWindow* windowManager, int window) override;
    void Reset() override;

    // The summary of the two evaluations (either may be missing). flexDays: the plan's days for a
    // flex worksheet, 0 for any other; the free Sundays a year are then scaled to them - on a copy,
    // so the record keeps its value however often the summary is made.
    BewertungZusammenfassung Summarize(const CAZPBewertung* plan, const CSBPBewertung* shifts, long flexDays) const;
    // Shows the summary in the open window.
    void ShowSummary(const CAZPBewertung* plan, const CSBPBewertung* shifts);

    // The tree's rows (for the window, tests).
    CTree& GetTree() { return TREE; }
    CKriterienGruppe& GetGroup(int i) { return *GROUPS[size_t(i)]; }

    // ITreeEntry: the root "Bewertungskriterien" with the six groups below it.
    std::string GetIcon() override { return "~mini_bewertung.ico"; }
    std::string GetText() override { return "Bewertungskriterien"; }
    bool IsExpanded() override { return true; }
    bool ForceReset() override;
    int32_t CountEntries() override;
    void RefreshTree(int level, CTree& tree) override;
    bool AcceptsRequest(int) override { return false; }
    uint8_t TakeRequest(int, const std::string&) override { return 0; }

private:
    friend class BewertungInspektorWindow;
    CTree TREE;
    std::array<std::unique_ptr<CKriterienGruppe>, 6> GROUPS;
};

// The window procedure (parameter: the inspector as text).
void BewertungInspektor(const std::string& parameter);
