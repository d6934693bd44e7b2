#pragma once
// CKriterienGruppe: a node of the evaluation inspector's tree that groups criteria. Switching the
// group switches all its criteria to the opposite of the first one's state.
#include "assessment/KriterienChecker.h"
#include "assessment/Kriterium.h"

#include <string>

class CKriterienGruppe : public CKriterienChecker, public ITreeEntry {
public:
    std::string NAME;  // at most 64 characters
    uint8_t EXPANDED = 0;

    // NAME := text, expanded.
    void SetName(const std::string& text);
    // Appends the criterion and makes the group its GROUPNAME.
    void Add(CKriterium* criterion) override;

    // "~checked.ico" when every criterion is switched on (an empty group too), "~unchecked.ico"
    // when none is, else "~checked_partly.ico".
    std::string GetIcon() override;
    std::string GetText() override { return NAME; }
    bool IsExpanded() override { return EXPANDED != 0; }
    bool ForceReset() override;
    int32_t CountEntries() override { return int32_t(QueueRecords(KRITERIEN)); }
    // Its own row, then each criterion's one level deeper.
    void RefreshTree(int level, CTree& tree) override;
    bool AcceptsRequest(int request) override;
    // 8 and 9 fold the group; 10 switches every criterion to the opposite of the first one's
    // state and tells the first one's pool. Always 0.
    uint8_t TakeRequest(int request, const std::string& text) override;
};
