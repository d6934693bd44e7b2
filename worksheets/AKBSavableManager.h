#pragma once
// CAKBSavableManager: stores the staff demand as the sub-file "Arbeitskraeftebedarf" (layout AKB),
// one record per span in list order.
class CAKBData;
class ISavable;

class CAKBSavableManager {
public:
    explicit CAKBSavableManager(CAKBData& akb) : AKB(akb) {}
    ISavable& Savable();
    // Deletes every undo step and stores the current spans as the only one.
    void SaveAsOnlyStep();

private:
    CAKBData& AKB;
};
