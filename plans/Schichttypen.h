#pragma once
// CSchichttypen: the shift types of one worksheet, ordered by their begin minute. Plan cells and
// demand rows hold only a shift type's SYSID and ask this list for the object; nothing else
// stores shift types. The list is a stored part of the project (table "Schichttypen", layout
// SCHICHT) with undo steps, and a node of the project tree.
//
// The list owns its CSchicht objects. Callers get pointers into it and must not keep them across a
// reload (undo, redo, edit, load) or Clear.
#include "core/Schicht.h"
#include "core/Termin.h"
#include "platform/values/Queue.h"
#include "plans/PlanNotify.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class ISavable;
class CSchichttypenSavable;

// One row of the list. SYSID and SORTFIELD always equal SYSID and BEGINN of the shift type.
struct SchichttypRow {
    std::unique_ptr<CSchicht> SCHICHTTYP;
    uint32_t SYSID = 0;
    uint32_t SORTFIELD = 0;
};

class CSchichttypen {
public:
    CSchichttypen();
    ~CSchichttypen();
    CSchichttypen(const CSchichttypen&) = delete;
    CSchichttypen& operator=(const CSchichttypen&) = delete;

    // The owning worksheet (nullptr while none): change notification and constraints.
    void SetArbeitsblatt(IPlanOwner* owner) { ARBEITSBLATT = owner; }
    IPlanOwner* GetArbeitsblatt() const { return ARBEITSBLATT; }

    long Count() const;
    // 1-based, list order; nullptr when there is no n-th row.
    CSchicht* GetByIndex(long n) const;

    // The shift type with this SYSID. When it is missing and create is set (and id is not 0), an
    // "unbekannt" placeholder is put at the top of the list, stored as an undo step and the
    // worksheet is told; the placeholder is returned.
    CSchicht* FindBySysId(uint32_t id, bool create = false);
    // The first whose short name equals text, ignoring case and trailing blanks.
    CSchicht* FindByKurzbezeichnung(const std::string& text) const;
    // The first with exactly this BEGINN and ENDE.
    CSchicht* FindByTermin(const ::TERMIN& termin) const;

    // Gives the caller's shift a new SYSID (written into it), adds a copy by its begin and, with
    // store, stores an undo step. Returns the result of storing (0 done, 5 failed; 0 without
    // store). The caller sends its own change notification.
    uint8_t AddSchicht(CSchicht& shift, bool store);
    // Adds a copy that keeps the shift's own SYSID (the caller makes sure no other type has it);
    // no undo step. Used where references to the type must survive a rebuilt list.
    void AddSchichtKeepId(const CSchicht& shift);

    // Releases every shift type (no undo step).
    void Clear();
    // A complete copy of the source's shift types, SYSIDs kept (a duplicated worksheet).
    void CopyFrom(const CSchichttypen& source);
    // Classifies every shift type's position with the worksheet's constraint windows; nothing
    // without a worksheet or without constraints.
    void ApplyDefinitions();

    // The edit cycle through the browse window: the list goes to the temporary file, the browse
    // runs, and on OK the list is rebuilt from it, stored as an undo step, classified and the
    // worksheet is told. Always 0.
    uint8_t Edit();
    // Edits one shift type (in the list or not) in the form window; 1 completed, 2 cancelled.
    // The list is not touched.
    uint8_t EditSchicht(CSchicht& shift);

    // Empties the temporary file and writes every shift type into it in list order; false (with
    // a message) when the file could not be written.
    bool SaveToTempFile();
    // Rebuilds the list from the temporary file and empties it. When the file cannot be read the
    // list stays as it was and false is returned (with a message).
    bool LoadFromTempFile();

    // Completes a shift type derived from a flex entry: position class from the begin, blank
    // names from its times ("hh:mm-hh:mm", short name "hh:mm").
    static void Normalize(CSchicht& shift);

    // The stored part (project store interface).
    ISavable& GetSavable();

    // Tree node: no children, only "open" (request 3) is taken.
    std::string GetIcon() const { return "~mini_schichten.ico"; }
    std::string GetText() const { return "Schichttypen"; }
    bool IsExpanded() const { return true; }
    bool ForceReset() const { return false; }
    int CountEntries() const { return 1; }
    bool AcceptsRequest(int request) const { return request == 3; }
    // Request 3: Edit and its result; any other: 5.
    uint8_t TakeRequest(int request, const std::string& text);

    // The shift-type windows, supplied by the dialogs when the program starts. The browse works on
    // the temporary file and returns its response (1 OK, 2 cancelled); the form edits the
    // temporary file's current record (request "change") and returns its response. Without them
    // Edit and EditSchicht end as cancelled.
    using BrowseWindow = std::function<int(CSchichttypen& list)>;
    using FormWindow = std::function<int()>;
    static void SetWindows(BrowseWindow browse, FormWindow form);

    // Reload from storage (1 first sub-file under the parent, 2 next, 3 current step). Used by the
    // storage part.
    void Reload(int mode);

private:
    friend class CSchichttypenSavable;

    // Inserts a shift type by its begin (behind equal begins).
    CSchicht* Insert(std::unique_ptr<CSchicht> shift);
    // Stores a step; a failure is shown to the user. Returns the store's result.
    uint8_t StoreStepReported();

    Queue<SchichttypRow> SCHICHTTYPEN;
    IPlanOwner* ARBEITSBLATT = nullptr;
    std::unique_ptr<CSchichttypenSavable> SAVABLE;
};
