#pragma once
// CRahmenbedingung: one group of legal or ergonomic settings (a constraint) against which plans
// are assessed and generated. There are 22 classes, RB1 .. RB22, each a working copy of some
// fields of the RB record buffer (core/Files.h). The definitions pool and the definitions dialog
// own the objects; the criteria and the generators read their fields.
//
// Limits: the RBWARN record holds the warning limits, RBFEHLER the error limits, field for field
// in the RB layout. A value beyond a warning limit is allowed only under conditions (level 1), a
// value beyond an error limit or fields that contradict each other are not allowed (level 2) and
// are put back when CheckLimits is asked to reset. The texts that explain both cases come from
// the table "warntexte" (WARNTXT): key "RBn" for both, "RBnW" for the warning and "RBnF" for
// the error text; the specific ones win.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

class RecordBuffer;

enum LimitLevel : uint8_t {
    LIMIT_ALLOWED = 0,      // within the warning limits
    LIMIT_CONDITIONAL = 1,  // beyond a warning limit: allowed only under conditions
    LIMIT_REFUSED = 2,      // beyond an error limit, or the fields contradict each other
};

// The RB record field that the user has just edited: its name in the RB layout ("FS_BIS",
// "NS_KONT_STOERUNGEN") and, for a member of a DIM group, its element (1..n; 0 = any element).
// An empty name means no field: every part of a check runs.
struct RBField {
    std::string_view name;
    int index = 0;
};

class CRahmenbedingung {
public:
    virtual ~CRahmenbedingung() = default;

    // The text shown when a setting is not allowed, and the one shown when it is allowed only
    // under conditions (UTF-8, without trailing blanks; blank without a record in "warntexte").
    std::string ERRORTEXT;
    std::string WARNTEXT;

    // Makes this constraint a copy of other, texts included. A constraint of another class
    // changes nothing.
    virtual void Assign(const CRahmenbedingung& other) = 0;
    // Copies the constraint's fields from the RB record buffer / from RBDEFAULT.
    virtual void LoadFromRB();
    virtual void LoadDefaults();
    // Copies the fields into the RB record buffer (some classes also keep neighbouring fields of
    // the record in step, see their classes).
    virtual void StoreToRB();
    // Checks the fields against the RBWARN and RBFEHLER record buffers and against each other.
    // Only the parts about `field` run (all of them for no field). With reset, a value found
    // beyond its error limit is put back to the allowed value.
    virtual LimitLevel CheckLimits(bool reset, const RBField& field = {}) = 0;

    // The same copies on any record of the RB layout (an alias's buffer, a test's record).
    virtual void LoadFrom(const RecordBuffer& record) = 0;
    virtual void StoreTo(RecordBuffer& record) const = 0;

protected:
    // Reads the constraint's two texts from "warntexte" (key "RB1" .. "RB22"). The derived
    // constructor then loads the fields from the RB record buffer.
    explicit CRahmenbedingung(std::string_view key);
    CRahmenbedingung(const CRahmenbedingung&) = default;
    CRahmenbedingung& operator=(const CRahmenbedingung&) = default;

    // Assign for a class T: a copy of the whole object when other is a T as well.
    template <class T>
    static void CopyWhenSame(T& self, const CRahmenbedingung& other)
    {
        if (const T* same = dynamic_cast<const T*>(&other); same && same != &self)
            self = *same;
    }
};

// The definitions dialog's entry point after the user changed the RB record buffer's `field`:
// loads the constraint from the record, checks it with reset, explains level 1 and 2 in a message
// (none while the dialog's window accepts all its fields at once), stores the constraint back
// (so a value put back reaches the record and the window) and returns the level.
LimitLevel ShowSettingCheck(CRahmenbedingung& constraint, const RBField& field);

// Assign of every target constraint from the source constraint at the same position (the pool's
// copy). Null entries and the positions beyond the shorter list are skipped.
void RahmenbedingungenAssign(std::span<CRahmenbedingung* const> source,
                             std::span<CRahmenbedingung* const> target);
