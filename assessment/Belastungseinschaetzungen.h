#pragma once
// CBelastungseinschaetzungen: the strain assessments of one worksheet, in order of their begin.
// The list rates any span of a plan for the strain criterion (AssessInterval), is stored as the
// sub-file "Belastungseinschaetzungen" of the project with undo steps, is edited through the
// temporary file TMPBEL by the browse window, and is exchanged through ".eba" files.
//
// A list without a worksheet (ARBEITSBLATT nullptr) serves the browse and the stand-alone ".eba"
// editor; it is never bound to the project.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "assessment/Belastungseinschaetzung.h"
#include "core/SavableManager.h"
#include "core/Tree.h"
#include "platform/values/Queue.h"

class FwFileManager;

// What the list needs of the worksheet that owns it; the worksheet implements it.
class IBelastungOwner {
public:
    virtual ~IBelastungOwner() = default;
    // The assessments were changed in the edit cycle: the plans are evaluated again.
    virtual void OnDefinitionsChanged() = 0;
};

class CBelastungseinschaetzungen : public ITreeEntry, public CSavableManager {
public:
    struct Row {
        std::unique_ptr<CBelastungseinschaetzung> BELASTUNGSEINSCHAETZUNG;
        uint32_t SYSID = 0;      // the assessment's SYSID
        int32_t SORTFIELD = 0;   // the assessment's BEGINN, the order of the list
    };

    // Results of the own operations.
    static constexpr uint8_t RESULT_DONE = 0;
    static constexpr uint8_t RESULT_CANCELLED = 1;   // no file name was given
    static constexpr uint8_t RESULT_FAILED = 5;

    CBelastungseinschaetzungen();
    ~CBelastungseinschaetzungen() override;
    CBelastungseinschaetzungen(const CBelastungseinschaetzungen&) = delete;
    CBelastungseinschaetzungen& operator=(const CBelastungseinschaetzungen&) = delete;

    // Releases every assessment.
    void Clear();
    // Becomes a copy of the source's assessments (all fields, in its order).
    void AssignFrom(const CBelastungseinschaetzungen& source);
    // Adds a copy of the assessment in order of its begin, behind those with the same begin.
    void Add(const CBelastungseinschaetzung& item);
    std::size_t Count() const { return QueueRecords(BELASTUNGSEINSCHAETZUNGEN); }
    // Assessment n (1-based) in list order; nullptr beyond the list.
    const CBelastungseinschaetzung* Get(std::size_t n) const;
    const Queue<Row>& Rows() const { return BELASTUNGSEINSCHAETZUNGEN; }

    // The edit cycle: the list into TMPBEL, the browse window, and when it was closed with OK the
    // edited records back into the list as a new undo step, and the worksheet notified. 0; 5 when
    // the step could not be stored (the user is told once; the list keeps the edit and the step
    // before stays the last). TMPBEL stays open for the whole cycle; while another edit has it
    // open, the user is told and nothing happens.
    uint8_t Edit();

    // Replaces the file's records by the list's, in list order (0, or 5 when the file cannot be
    // written; the file is then as it was).
    uint8_t WriteToFile(FwFileManager& target);
    // The list := the file's records in stored order; unless keep, the file is emptied. 5, with
    // the list unchanged, when the file cannot be opened or read or holds an assessment whose
    // times do not lie within one day (0 <= BEGINN < ENDE <= 1440). A missing file is created and
    // read as empty.
    uint8_t ReadFromFile(FwFileManager& source, bool keep);
    // Writes the list to an ".eba" file (".eba" appended unless the name ends in it, in any
    // case) through XIBEL; an existing file is replaced only by a complete one. 1 for an empty
    // name (the file dialog was cancelled), 5 after a warning when it fails.
    uint8_t ExportEba(const std::string& fileName);
    // Reads an ".eba" file through XIBEL, leaving the file as it is. 1 for an empty name, 5
    // after a warning, with the list unchanged, for a missing file, a file that is not an ".eba"
    // file or is damaged.
    uint8_t ImportEba(const std::string& fileName);

    // 5 when two assessments overlap by a minute or more on a weekday they share; unless quiet
    // the first such pair in list order is shown. 0 when none do.
    uint8_t CheckOverlaps(bool quiet) const;

    // The combined rating of a span of the plan's time line: item by item the largest rating of
    // the assessments for the weekday of the span's begin that overlap it, every item still 0
    // then neutral. When none overlaps: WOCHENTAGE 127, 00:00-24:00 and the neutral ratings.
    CBelastungseinschaetzung AssessInterval(const ::TERMIN& span) const;

    // ITreeEntry: a leaf of its worksheet in the project tree.
    std::string GetIcon() override { return "~mini_belastung.ico"; }
    std::string GetText() override { return "Belastungseinschätzung nach EBA"; }
    bool IsExpanded() override { return true; }
    bool ForceReset() override { return false; }
    int32_t CountEntries() override { return 1; }
    void RefreshTree(int level, CTree& tree) override;
    bool AcceptsRequest(int request) override { return request == TREE_OPEN; }
    // Open runs the edit cycle (0); every other request is refused (5).
    uint8_t TakeRequest(int request, const std::string& text) override;

    // The browse window that edits TMPBEL in place; it answers 1 when closed with OK. The dialogs
    // install it at start-up; without it the edit cycle does nothing.
    using BrowseProcedure = std::function<int()>;
    static void SetBrowseProcedure(BrowseProcedure browse);

    IBelastungOwner* ARBEITSBLATT = nullptr;

protected:
    // CSavableManager
    void DefineSubfile(CSubfileManager* parent) override;
    uint8_t ResetData() override;
    void ClearData() override;
    uint8_t TakeRecord() override;
    uint8_t PutRecord(int n) override;

private:
    uint8_t EditHeld(FwFileManager& tmp);
    int WriteList(FwFileManager& target) const;
    int ReadList(FwFileManager& source, bool keep, bool mayCreate);

    Queue<Row> BELASTUNGSEINSCHAETZUNGEN;
};
