#pragma once
// CKriteriumZeile: one row of the definitions dialog's criteria panel, bound to one criterion's
// element of KRI:EINSTELLUNGEN. The row's controls are five consecutive numbers from its group g:
// g the group, g + 1 the activation check box, g + 2 and g + 3 the prompts "unwichtig" and
// "sehr wichtig", g + 4 the relevance option (absent for rows without relevance). The controls
// are bound to the record buffer directly, so storing and showing need nothing of the row.
#include <cstdint>

#include "platform/fw/FwWindow.h"

class RecordBuffer;

// Mode bit of the definitions dialog: the criteria defaults are edited, so names and types are.
constexpr uint8_t DEFINITIONS_KRITERIENVORGABEN = 0x80;

class CKriteriumZeile : public WindowComponent {
public:
    int32_t OPTIONFEQ = 0;   // relevance choice, 0 when the row has none
    int32_t CHECKFEQ = 0;    // activation check box
    // The BYTE fields of the criterion's element in the record (nullptr before Init).
    uint8_t* TYP = nullptr;
    uint8_t* AKTIVIERT = nullptr;
    uint8_t* RELEVANZ = nullptr;

    // Binds the row starting at control g of the target window to element n of the record's
    // EINSTELLUNGEN (the KRI buffer unless another record of its layout is given). `mode` is
    // the dialog's mode byte; only DEFINITIONS_KRITERIENVORGABEN matters here.
    void Init(int g, int n, uint8_t mode = 0);
    void Init(int g, int n, uint8_t mode, RecordBuffer& record);

    // Generation criteria (type 1 and 2): the relevance choice is enabled only while the
    // criterion is switched on. Other types are left as they are.
    void Refresh(bool force = false) override;
    // Every event re-applies the rule; none is consumed.
    int OnEvent() override;
};
