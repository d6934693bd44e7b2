#pragma once
// What an exchange of cells changes in the records of one plan check, for the search's
// incremental assessment (CAZPInkrementelleBewertung): the cells whose records may differ from
// the base plan's and, for each, the amounts of this check's records in the order its Check
// would add them. A check that can say so implements IAZPAenderung; any other is checked in full.
#include <cstdint>
#include <span>
#include <vector>

class CAZPBewertung;

// A few cell numbers (a change's, at most some dozens) in ascending order: sorting by insertion
// beats a general sort there.
inline void SortCells(long* first, long* last)
{
    for (long* i = first + 1; i < last; ++i) {
        const long v = *i;
        long* j = i;
        for (; j > first && *(j - 1) > v; --j)
            *j = *(j - 1);
        *j = v;
    }
}

class CAZPAenderung {
public:
    // Starts the records of cell c (each cell once per change; a cell started without amounts
    // gets no record of this check).
    void BeginCell(long c)
    {
        CELLS.push_back(c);
        STARTS.push_back(uint32_t(WERTE.size()));
    }
    // The next record's amount in the cell begun last.
    void Add(uint32_t wert) { WERTE.push_back(wert); }
    void Clear()
    {
        CELLS.clear();
        STARTS.clear();
        WERTE.clear();
    }

    long CellCount() const { return long(CELLS.size()); }
    long Cell(long i) const { return CELLS[std::size_t(i)]; }
    // The amounts of the i-th cell begun.
    std::span<const uint32_t> Amounts(long i) const
    {
        const std::size_t from = STARTS[std::size_t(i)];
        const std::size_t to = std::size_t(i) + 1 < STARTS.size() ? STARTS[std::size_t(i) + 1] : WERTE.size();
        return {WERTE.data() + from, to - from};
    }

private:
    // Storage kept from change to change: no allocation once the largest change was met.
    std::vector<long> CELLS;
    std::vector<uint32_t> STARTS;
    std::vector<uint32_t> WERTE;
};

// For the criteria that mark runs of cells in a row with some property (over the cycle's end;
// a run as long as the cycle starts at cell 1): the candidate's records of every cell a change
// can reach. The origins must hold every cell whose property may differ (at most eight regions are
// followed). From each origin, the region of cells that have the property in the base or in the
// candidate, up to a cell that has it in neither, holds whole runs of both plans; a cell of it
// whose record differs between the two (amountOf(length, amount) says whether a run breaks the
// limits, and by how much) is begun once and given the candidate run's amount when that breaks
// them. A region that is the whole cycle gives every cell.
template <class InBase, class InCandidate, class AmountOf>
void ChangedRuns(std::span<const long> origins, long n, InBase inBase, InCandidate inCandidate, AmountOf amountOf,
                 CAZPAenderung& out)
{
    const auto next = [n](long c) { return c == n ? 1 : c + 1; };  // no division per step
    const auto previous = [n](long c) { return c == 1 ? n : c - 1; };
    const auto either = [&](long c) { return inBase(c) || inCandidate(c); };
    const auto run = [&](long first, long length) {
        uint32_t amount = 0;
        const bool violation = amountOf(length, amount);
        for (long k = 0, c = first; k < length; ++k, c = next(c)) {
            out.BeginCell(c);
            if (violation)
                out.Add(amount);
        }
    };
    long doneFrom[8] = {}, doneLength[8] = {};  // the regions handled
    std::size_t regions = 0;
    for (long x : origins) {
        // An origin without the property in either plan has no record in either.
        if (x < 1 || x > n || !either(x))
            continue;
        bool inside = false;
        for (std::size_t r = 0; r < regions; ++r)
            inside = inside || (x - doneFrom[r] + n) % n < doneLength[r];
        if (inside || regions == std::size(doneFrom))
            continue;
        long from = x, length = 1;
        while (length < n && either(previous(from)))
            from = previous(from), ++length;
        for (long last = x; length < n && either(next(last)); last = next(last))
            ++length;
        doneFrom[regions] = from;
        doneLength[regions++] = length;
        const bool whole = length == n;
        if (whole) {
            // No cell outside: the whole cycle, one run when every cell has the property.
            long free = 1;
            while (free <= n && inCandidate(free))
                ++free;
            if (free > n) {
                run(1, n);
                return;
            }
            // The base's runs may pass the cell left out: every cell is given.
            from = next(free);
            length = n - 1;
            out.BeginCell(free);
            long count = 0;
            for (long k = 0, c = from; k <= length; ++k, c = next(c)) {
                if (k < length && inCandidate(c)) {
                    ++count;
                    continue;
                }
                if (count > 0)
                    run(((c - 1 - count) % n + n) % n + 1, count);
                count = 0;
                if (k < length)
                    out.BeginCell(c);
            }
            continue;
        }
        // Both plans' runs side by side: each run's length is found where it begins, and a cell
        // is given only when its record differs.
        struct Side {
            long left = 0;  // cells of the current run still to come
            bool violation = false;
            uint32_t amount = 0;
        } candidate, base;
        const auto step = [&](Side& side, long k, long c, bool in, auto&& has) {
            if (!in || side.left > 0)
                return;
            long l = 1;
            for (long d = next(c); k + l < length && has(d); d = next(d))
                ++l;
            side.left = l;
            side.violation = amountOf(l, side.amount);
        };
        for (long k = 0, c = from; k < length; ++k, c = next(c)) {
            const bool inC = inCandidate(c), inB = inBase(c);
            step(candidate, k, c, inC, inCandidate);
            step(base, k, c, inB, inBase);
            const bool recordC = inC && candidate.violation, recordB = inB && base.violation;
            if (recordC != recordB || (recordC && candidate.amount != base.amount)) {
                out.BeginCell(c);
                if (recordC)
                    out.Add(candidate.amount);
            }
            candidate.left -= inC;
            base.left -= inB;
        }
    }
}

// What a change does to the sum of one check's record amounts: the amounts of the records it
// gives (added) and of those it takes (dropped), and how many records that is, for a bound on the
// candidate's quality before its records are worked out.
struct AZPAmountChange {
    uint64_t added = 0;
    uint64_t dropped = 0;
    uint64_t records = 0;
};

class IAZPAenderung {
public:
    virtual ~IAZPAenderung() = default;
    // After its Check of the base plan's evaluation (quick): keeps what a change needs.
    virtual void KeepBase(const CAZPBewertung& base) = 0;
    // The candidate's evaluation differs from the base's in the cells `changed` (the same shift
    // count, not checked by this criterion): the cells whose records of this check may differ,
    // with the amounts its quick Check would give them there. False when the check cannot tell
    // for this change: the candidate is then checked in full.
    virtual bool CheckChange(const CAZPBewertung& candidate, std::span<const long> changed, CAZPAenderung& out) = 0;
    // The same change's amounts only, where that is quicker than CheckChange: the candidate's
    // sum of this check's amounts is the base's plus added less dropped. False (the default) when
    // the check does not tell them this way.
    virtual bool ChangeAmounts(const CAZPBewertung& /*candidate*/, std::span<const long> /*changed*/,
                               AZPAmountChange& /*out*/)
    {
        return false;
    }
};
