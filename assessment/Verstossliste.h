#pragma once
// The violation record and the list of them that every evaluated cell (and every shift type of a
// shift demand plan) carries. Criteria append records; the grids draw their markers, the
// inspectors count them and the quality value weighs them.
#include "platform/values/Queue.h"

#include <cstdint>
#include <cstring>
#include <iosfwd>
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

// TEXT of a record: none, or a text of the record's own that may be empty and still counts as
// present. Up to 14 bytes stay inline - the numbers a plan check writes - longer ones (the
// explanations of shift types) go to the heap. Byte-aligned so that the record packs to 32 bytes;
// copying is a deep copy only for the heap form. A text is cut to kVerstossTextMax characters
// (whole UTF-8 characters) when it is set.
class VerstossText {
public:
    VerstossText() noexcept = default;
    VerstossText(std::nullopt_t) noexcept {}
    explicit VerstossText(std::string_view text) { assign(text); }
    VerstossText(const VerstossText& other) { CopyFrom(other); }
    VerstossText(VerstossText&& other) noexcept { TakeFrom(other); }
    VerstossText& operator=(const VerstossText& other)
    {
        if (this != &other) {
            reset();
            CopyFrom(other);
        }
        return *this;
    }
    VerstossText& operator=(VerstossText&& other) noexcept
    {
        if (this != &other) {
            reset();
            TakeFrom(other);
        }
        return *this;
    }
    VerstossText& operator=(std::string_view text)
    {
        assign(text);
        return *this;
    }
    VerstossText& operator=(std::nullopt_t) noexcept
    {
        reset();
        return *this;
    }
    ~VerstossText()
    {
        if (state_ == kHeap)
            FreeHeap();
    }

    bool has_value() const noexcept { return state_ != kNone; }
    explicit operator bool() const noexcept { return has_value(); }
    // The text; std::bad_optional_access without one.
    std::string_view value() const;
    // The text; empty without one.
    std::string_view operator*() const noexcept
    {
        if (state_ <= kInline)
            return {buf_, state_};
        return state_ == kHeap ? HeapView() : std::string_view();
    }
    // A copy, so that a temporary fallback cannot be left dangling.
    std::string value_or(std::string_view fallback) const
    {
        return std::string(has_value() ? **this : fallback);
    }

    // An empty text that counts as present.
    void emplace() noexcept
    {
        reset();
        state_ = 0;
    }
    void emplace(std::string_view text) { assign(text); }
    void assign(std::string_view text);
    void reset() noexcept
    {
        if (state_ == kHeap)
            FreeHeap();
        state_ = kNone;
    }

    friend bool operator==(const VerstossText& a, const VerstossText& b) noexcept
    {
        return a.has_value() == b.has_value() && *a == *b;
    }
    // Like std::optional: equal only to a present text with those characters.
    friend bool operator==(const VerstossText& a, std::string_view b) noexcept { return a.has_value() && *a == b; }
    friend bool operator==(const VerstossText& a, std::nullopt_t) noexcept { return !a.has_value(); }

private:
    static constexpr uint8_t kInline = 14;  // 0..14: an inline text of that many bytes
    static constexpr uint8_t kHeap = 0xFE;  // pointer and size in buf_
    static constexpr uint8_t kNone = 0xFF;

    std::string_view HeapView() const noexcept;
    void CopyFrom(const VerstossText& other);
    void TakeFrom(VerstossText& other) noexcept
    {
        std::memcpy(buf_, other.buf_, sizeof buf_);
        state_ = other.state_;
        other.state_ = kNone;
    }
    void FreeHeap() noexcept;

    char buf_[kInline] = {};
    uint8_t state_ = kNone;
};
static_assert(sizeof(VerstossText) == 15 && alignof(VerstossText) == 1);

std::ostream& operator<<(std::ostream& os, const VerstossText& text);

struct VERSTOSSINFO {
    CKriterium* KRITERIUM = nullptr;  // the criterion that found it
    uint32_t WERT = 0;                // amount in the criterion's own unit
    // A further value of the criterion's own. Data or an index, never an address: a criterion
    // that needs more than 32 bits keeps it in a table of its own and stores the position.
    uint32_t INFO = 0;
    uint8_t POSITION = POSITION_EINZELN;
    // The explanation shown for shift types (FormatText counts an empty one too).
    VerstossText TEXT;
};
// Small enough that adding and clearing the records of a check stays cheap.
static_assert(sizeof(VERSTOSSINFO) == 32);

class CVerstossliste {
public:
    Queue<VERSTOSSINFO> VERSTOESSE;  // in the order added
    // The WERT of every record ever added; Clear leaves it (Reset starts a fresh list).
    uint32_t SUMME = 0;

    // SUMME += WERT, then the record is appended.
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
    // A record without a text, made in place (most records of a plan check come this way).
    void Add(CKriterium* criterion, uint8_t position, uint32_t amount, uint32_t info = 0)
    {
        SUMME += amount;
        VERSTOSSINFO& r = VERSTOESSE.Rows().emplace_back();
        r.KRITERIUM = criterion;
        r.WERT = amount;
        r.INFO = info;
        r.POSITION = position;
    }
    // A record of the criterion with amount and position (0 with noPosition), INFO 0, and the
    // text cut to kVerstossTextMax characters - or an empty text with noText.
    void AddWithText(CKriterium* criterion, uint32_t amount, uint8_t position, std::string_view text,
                     bool noText, bool noPosition)
    {
        SUMME += amount;
        VERSTOSSINFO& r = VERSTOESSE.Rows().emplace_back();
        r.KRITERIUM = criterion;
        r.WERT = amount;
        r.POSITION = noPosition ? POSITION_EINZELN : position;
        if (noText)
            r.TEXT.emplace();
        else
            r.TEXT.assign(text);
    }

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

    // Removes every record; first each record with a text is handed to its criterion's
    // FreeRecordText when the criterion asks for that (CKriterium::FREERECORDTEXT).
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
