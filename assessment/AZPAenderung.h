#pragma once
// What an exchange of cells changes in the records of one plan check, for the search's
// incremental assessment (CAZPInkrementelleBewertung): the cells whose records may differ from
// the base plan's and, for each, the amounts of this check's records in the order its Check
// would add them. A check that can say so implements IAZPAenderung; any other is checked in full.
#include <cstdint>
#include <span>
#include <vector>

class CAZPBewertung;

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

class IAZPAenderung {
public:
    virtual ~IAZPAenderung() = default;
    // After its Check of the base plan's evaluation (quick): keeps what a change needs.
    virtual void KeepBase(const CAZPBewertung& base) = 0;
    // The candidate's evaluation differs from the base's in the cells `changed` (the same shift
    // count, not checked by this criterion): the cells whose records of this check may differ,
    // with the amounts its quick Check would give them there.
    virtual void CheckChange(const CAZPBewertung& candidate, std::span<const long> changed, CAZPAenderung& out) = 0;
};
