#pragma once
// CAKBSavableManager: stores the staff demand as the sub-file "Arbeitskraeftebedarf" (layout AKB),
// one record per span in list order; the base does the undo steps, loading and saving.
#include "core/SavableManager.h"

class CAKBData;

class CAKBSavableManager : public CSavableManager {
public:
    explicit CAKBSavableManager(CAKBData& akb) : AKB(akb) {}

    void DefineSubfile(CSubfileManager* parent) override;
    // A new document: no spans, one week.
    uint8_t ResetData() override;
    void ClearData() override;
    // Appends the record's span at the end (records come back in the order they were written).
    uint8_t TakeRecord() override;
    // Span n into the record buffer; STORE_REFUSED past the last span.
    uint8_t PutRecord(int n) override;
    void AfterLoad() override;

private:
    CAKBData& AKB;
};
