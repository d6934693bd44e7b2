#pragma once
// The violation record and the list of them that every evaluated cell (and every shift type of a
// shift demand plan) carries. Criteria append records; the grids draw their markers, the
// inspectors count them and the quality value weighs them.
#include "platform/values/Queue.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

class CKriterium;

// POSITION: which part of a marked run a record stands for.
constexpr uint8_t POSITION_EINZELN = 0;  // a single mark
constexpr uint8_t POSITION_ANFANG = 3;   // first cell of a run
constexpr uint8_t POSITION_MITTE = 5;    // a cell inside it
constexpr uint8_t POSITION_ENDE = 9;     // its last cell

// The longest explanation a record keeps, and the longest text FormatText returns (characters).
constexpr std::size_t kVerstossTextMax = 4096;
constexpr std::size_t kVerstossFormatMax = 8192;

struct VERSTOSSINFO {
    CKriterium* KRITERIUM = nullptr;  // the criterion that found it
    uint8_t POSITION = POSITION_EINZELN;
    uint32_t WERT = 0;                // amount in the criterion's own unit
    // The explanation shown for shift types: none, or a text of the record's own (it may be
    // empty and still counts as present in FormatText).
    std::optional<std::string> TEXT;
    // A further value of the criterion's own. Data or an index, never an address: a criterion
    // that needs more than 32 bits keeps it in a table of its own and stores the position.
    uint32_t INFO = 0;
};

class CVerstossliste {
public:
    Queue<VERSTOSSINFO> VERSTOESSE;  // in the order added
    // The WERT of every record ever added; Clear leaves it (Reset starts a fresh list).
    uint32_t SUMME = 0;

    // SUMME += WERT, then the record is appended (copied straight into the list: this runs for
    // every record of every check).
    void Add(const VERSTOSSINFO& record)
    {
        SUMME += record.WERT;
        VERSTOESSE.Rows().push_back(record);
    }
    void Add(VERSTOSSINFO&& record)
    {
        SUMME += record.WERT;
        VERSTOESSE.Rows().push_back(std::move(record));
    }
    // A record of the criterion with amount and position (0 with noPosition), INFO 0, and the
    // text cut to kVerstossTextMax characters - or an empty text with noText.
    void AddWithText(CKriterium* criterion, uint32_t amount, uint8_t position, std::string_view text,
                     bool noText, bool noPosition);

    long Count() const { return static_cast<long>(QueueRecords(VERSTOESSE)); }
    // Copies record i (1..Count): 0; 5 for a position that does not exist.
    uint8_t Get(long i, VERSTOSSINFO& out);
    // Direct read access for hot loops (1..Count; nullptr outside).
    const VERSTOSSINFO* At(long i) const { return i >= 1 ? QueueGet(VERSTOESSE, std::size_t(i)) : nullptr; }

    // The first record from record 1 - or, with continueSearch, from the record after the one
    // last read by Get or Find - whose KRITERIUM is the criterion (when one is given) or, unless
    // byReferenceOnly, whose criterion has the number: copied out, 0; none: 5.
    uint8_t Find(const CKriterium* criterion, long number, bool byReferenceOnly, bool continueSearch,
                 VERSTOSSINFO& out);

    // Removes every record; each record's criterion frees its text first.
    void Clear()
    {
        if (!VERSTOESSE.Rows().empty())
            ClearRecords();
        CURRENT = 0;
    }
    // Clear, and SUMME 0: the list as new (used when an evaluation reuses its cells).
    void Reset()
    {
        Clear();
        SUMME = 0;
    }
    void Release() { Clear(); }

    // The explanation of all records with a text: per record an empty line, the criterion's name
    // with " (§):" for a legal mode or ":", and the text (at most kVerstossFormatMax characters).
    std::string FormatText() const;

private:
    void ClearRecords();

    long CURRENT = 0;  // the record last read by Get or Find
};
