#pragma once
// CKriterienGruppe: a node of the evaluation inspector's tree that groups criteria. Switching the
// group switches all its criteria to the opposite of the first one's state.
#include "assessment/KriterienChecker.h"
#include "assessment/Kriterium.h"

#include <string>

class CKriterienGruppe : public CKriterienChecker, public IKriterienBaumEintrag {
public:
    std::string NAME;  // at most 64 characters
    uint8_t EXPANDED = 0;

    // NAME := text, expanded.
    void SetName(const std::string& text);
    // Appends the criterion and makes the group its GROUPNAME.
    void Add(CKriterium* criterion) override;

    // "~checked.ico" when every criterion is switched on (an empty group too), "~unchecked.ico"
    // when none is, else "~checked_partly.ico".
    std::string GetIcon() const override;
    std::string GetText() const override { return NAME; }
    bool IsExpanded() const override { return EXPANDED != 0; }
    bool ForceReset() const override;
    long CountEntries() const override { return long(QueueRecords(KRITERIEN)); }
    // Its own row, then each criterion's one level deeper.
    void RefreshTree(long level, IKriterienBaum& tree) override;
    bool AcceptsRequest(uint8_t request) const override;
    // 8 and 9 fold the group; 10 switches every criterion to the opposite of the first one's
    // state and tells the first one's pool. Always 0.
    uint8_t TakeRequest(uint8_t request, const std::string& text) override;
};
