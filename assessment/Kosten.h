#pragma once
// CKosten: the cost settings of one worksheet - the average hourly wage and 21 named pay items
// (allowances, surcharges by time of day, Saturday, Sunday, overtime and weekly hours, and the
// pay for on-call duties) from which shifts and plans are priced. Stored as the sub-file "Kosten"
// of the project (one KOST record per undo step), edited through the temporary file TMPKOST by
// the cost dialog, and exchanged through ".eco" files holding the same one record.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/SavableManager.h"
#include "core/Tree.h"
#include "platform/records/RecordBuffer.h"

class FwFileManager;

// What the settings need of the worksheet that owns them; the worksheet implements it.
class IKostenOwner {
public:
    virtual ~IKostenOwner() = default;
    // The settings were changed in the edit cycle: an open cost inspector computes again.
    virtual void RecalcCosts() = 0;
};

// A pay item of the KOST record: the prefix that names its group and fields (TZ1 -> TZ1PROZENT)
// and the name a new worksheet gives it.
struct KostenItem {
    const char* prefix;
    const char* defaultName;
};

// The rate per hour of a pay item: the fixed amount when it is not 0, else the percentage of the
// hourly wage. A rate of 0 or less means the item is not applied; a rate that is not a number
// (as a damaged file may give) counts as 0.
double EffectiveRate(double betrag, double prozent, double stundenlohn);

class CKosten : public ITreeEntry, public CSavableManager {
public:
    static constexpr int kRecordSize = 1345;

    static constexpr uint8_t RESULT_DONE = 0;
    static constexpr uint8_t RESULT_CANCELLED = 1;   // no file name was given
    static constexpr uint8_t RESULT_FAILED = 5;

    // The 21 items in record order.
    static const std::array<KostenItem, 21>& Items();

    CKosten();   // every number 0, every name blank
    ~CKosten() override;
    CKosten(const CKosten&) = delete;
    CKosten& operator=(const CKosten&) = delete;

    void SetArbeitsblatt(IKostenOwner* worksheet) { ARBEITSBLATT = worksheet; }
    // All 1345 bytes of the source's settings.
    void AssignFrom(const CKosten& source);

    // The rate of the item named by its prefix ("TZ1"), from this worksheet's wage.
    double EffectiveRate(std::string_view prefix) const;

    // The edit cycle: the settings into TMPKOST, the cost dialog (change request), and when it
    // was closed with OK the edited record back as a new undo step and the worksheet notified.
    // 0; 5 when the step could not be stored (the user is told once; the settings keep the edit
    // and the step before stays the last).
    uint8_t Edit();

    // The file := exactly one record, the settings (0, or 5 with the file as it was).
    uint8_t WriteToFile(FwFileManager& target);
    // The settings := the file's first record in stored order (an empty file leaves them as
    // they are); unless keep, the file is emptied. 5, settings unchanged, when it cannot be opened
    // or read. A missing file is created and read as empty.
    uint8_t ReadFromFile(FwFileManager& source, bool keep);
    // Writes an ".eco" file (".eco" appended unless the name ends in it, in any case) through
    // XIKOST; an existing file is replaced only by a complete one. 1 for an empty name, 5 after a
    // warning when it fails.
    uint8_t ExportEco(const std::string& fileName);
    // Reads an ".eco" file through XIKOST, leaving the file as it is. 1 for an empty name, 5
    // after a warning, settings unchanged, for a missing file, a file that is not an ".eco" file
    // or is damaged.
    uint8_t ImportEco(const std::string& fileName);

    // ITreeEntry: a leaf of its worksheet in the project tree.
    std::string GetIcon() override { return "~mini_oeko.ico"; }
    std::string GetText() override { return "Ökonomische Kostenfaktoren"; }
    bool IsExpanded() override { return true; }
    bool ForceReset() override { return false; }
    int32_t CountEntries() override { return 1; }
    void RefreshTree(int level, CTree& tree) override;
    bool AcceptsRequest(int request) override { return request == TREE_OPEN; }
    // Open runs the edit cycle (0); every other request is refused (5).
    uint8_t TakeRequest(int request, const std::string& text) override;

    // The cost dialog that edits the record of TMPKOST in place, given the request (2, change);
    // it answers 1 when closed with OK. The dialogs install it at start-up; without it the edit
    // cycle does nothing.
    using UpdateProcedure = std::function<int(int request)>;
    static void SetUpdateProcedure(UpdateProcedure update);

    IKostenOwner* ARBEITSBLATT = nullptr;
    RecordBuffer KOSTEN;   // a copy of one KOST record, field for field

protected:
    // CSavableManager. A new worksheet starts with the default names, on-call shares of 100 %
    // and every rate 0, stored as its first step.
    void DefineSubfile(CSubfileManager* parent) override;
    uint8_t ResetData() override;
    uint8_t TakeRecord() override;
    uint8_t PutRecord(int n) override;

private:
    int WriteRecord(FwFileManager& target) const;
    int ReadRecord(FwFileManager& source, bool keep, bool mayCreate);
};
