#pragma once
// CAZPBewertung: the evaluation of a working-time plan on which every criterion check works.
//
// A plan of G groups and D days is read as one cycle of G x D days (group 1's days, then group
// 2's, ...; after the last group the cycle starts again with group 1). Cell i = (g - 1) x D + d
// is day i of the cycle's minute line. Every cell with a normal shift gets a shift node; the
// nodes are linked in cycle order, each with the rest to the next shift (the last one to the
// first shift of the next cycle), and the rest periods are built from them. Criteria then append
// violation records to cells (a free cell gets a placeholder node) and ComputeQuality weighs them.
//
// An evaluation is a snapshot: Evaluate rebuilds everything from the plan and copies the shift
// times, so changing the plan afterwards changes nothing here. Evaluating a plan of the same size
// again reuses the storage and allocates nothing (the optimiser does it per candidate move).
#include "assessment/Ruhezeiten.h"
#include "assessment/SchichtNode.h"
#include "assessment/Verstossliste.h"

#include <cstdint>
#include <span>
#include <utility>
#include <vector>

class CAZPData;
class CSchicht;
struct GridDC;

class CAZPBewertung {
public:
    CAZPBewertung() = default;
    ~CAZPBewertung() = default;
    CAZPBewertung(const CAZPBewertung&) = delete;
    CAZPBewertung& operator=(const CAZPBewertung&) = delete;

    CSchichtNode* ERSTESCHICHT = nullptr;  // head of the circular list; nullptr without shifts

    // Rebuilds cells, shift nodes, rest times and rest periods from the plan.
    void Evaluate(const CAZPData& plan);
    // Disposes nodes, records, the cell array and the rest periods.
    void Release();

    // G x D of the last evaluation; 0 without one.
    long CellCount() const { return HASCELLS ? long(CELLS.size()) : 0; }
    // The number of shift nodes on the circular list.
    long ShiftCount() const { return SHIFTCOUNT; }
    // Cell i's node, nullptr for a free cell or a cell outside 1..CellCount.
    CSchichtNode* GetNode(long i) const { return i >= 1 && i <= CellCount() ? CELLS[std::size_t(i - 1)] : nullptr; }
    // Whether cell i holds a worked shift (a node on the circular list, not a placeholder).
    bool Worked(long i) const
    {
        // A cell's type index is set exactly while a shift node of the list stands there.
        return i >= 1 && i <= CellCount() && CELLTYPE[std::size_t(i - 1)] >= 0;
    }
    // The index into Types() of cell i's worked shift; -1 without one.
    int32_t TypeIndex(long i) const { return i >= 1 && i <= CellCount() ? CELLTYPE[std::size_t(i - 1)] : -1; }
    // The nearest cell before cell i (over the cycle's start) that holds a worked shift; 0 when
    // no other cell does.
    long PreviousWorkedCell(long i) const
    {
        // A worked cell's predecessor on the list at once (inline: the search asks often); else
        // the cells before it are walked. (ExchangeCells asks for a node made but not linked
        // yet: that one's cells are walked too.)
        if (i >= 1 && i <= CellCount() && CELLTYPE[std::size_t(i - 1)] >= 0) {
            const CSchichtNode* node = CELLS[std::size_t(i - 1)];
            if (node->PREVIOUS)
                return node->PREVIOUS == node ? 0 : CellOf(node->PREVIOUS);
        }
        return WalkBackToWorkedCell(i);
    }
    // The same here and in `other`, an evaluation of as many cells that differs from this one
    // only in the cells `changed` (a candidate and its base): {here, there}. Where cell i is worked
    // in one of them, the other's follows from that one's list mostly without a walk.
    std::pair<long, long> PreviousWorkedCells(long i, const CAZPBewertung& other, std::span<const long> changed) const;
    // Cell i's violations; nullptr without node.
    CVerstossliste* GetVerstossliste(long i) const;
    // Appends the record to cell i; a free cell first gets a placeholder node (not on the
    // circular list, no rest). Nothing for a cell outside 1..CellCount.
    void AddVerstoss(long i, const VERSTOSSINFO& record)
    {
        if (CVerstossliste* list = ListForRecord(i))
            list->Add(record);
    }
    // The same for a record without a text, made in place (inline: the criteria add most of
    // a check's records this way).
    void AddVerstoss(long i, CKriterium* criterion, uint8_t position, uint32_t amount, uint32_t info = 0)
    {
        if (CVerstossliste* list = ListForRecord(i))
            list->Add(criterion, position, amount, info);
    }
    // First cell of the row of length n that holds cell d; 1 when n covers the cycle; 0 without
    // an evaluation.
    long RowStart(long d, long n) const;
    // i + 1, or 1 after the last cell; 0 without an evaluation.
    long NextCell(long i) const;
    // The rest periods (after ExchangeCells made again when first asked for).
    CRuhezeiten& GetRuhezeiten()
    {
        if (RESTSSTALE)
            RebuildRests();
        return RUHEZEITEN;
    }
    const CRuhezeiten& GetRuhezeiten() const
    {
        if (RESTSSTALE)
            RebuildRests();
        return RUHEZEITEN;
    }

    // The plan quality value: every record of every cell adds WERT / (its criterion's weight).
    // 0.0 when there is no record.
    double ComputeQuality() const;

    // Asks the criterion of each of cell i's records, in order, to draw its marker.
    void PaintViolations(long i, const GridDC& dc, int left, int top, int width, int height) const;

    // Makes the node of a normal shift in cell i and links it at the end of the circular list
    // (cells must come in ascending order); other kinds leave the cell free. Used by Evaluate.
    void AddShift(long i, const CSchicht& shift);

    // A shift type of the plan with what every cell of it needs, worked out once per Evaluate.
    struct TypeInfo {
        uint32_t SYSID = 0;
        const CSchicht* SCHICHT = nullptr;
        bool NORMAL = false;
        uint32_t OFFSET = 0;  // begin minute of its day
        uint32_t LENGTH = 0;
        uint16_t GROSS = 0, NET = 0, PAID = 0;
    };
    // The shift types met by this evaluation (those of the plan, then any given to AddShift).
    std::span<const TypeInfo> Types() const { return TYPES; }

    // The shifts of the circular list in its order, packed for criteria that walk every shift:
    // the same cells and rests as the nodes; the times are the type's.
    struct ShiftLine {
        uint32_t CELL = 0;      // the cell of the begin day (1..CellCount)
        uint32_t RUHEZEIT = 0;  // as the node's
        uint32_t TYPE = 0;      // index into Types()
        uint8_t WOCHENTAG = 0;  // weekday of the cell, 1..7 (cell 1 is a 1)
    };
    std::span<const ShiftLine> ShiftLines() const
    {
        if (LINESSTALE)
            RebuildLines();
        return LINES;
    }

    // Exchanges what cells i and j hold, as evaluating the plan with the two cells exchanged
    // would give it: nodes, circular list, rests, rest periods, shift lines. For an evaluation
    // without records (the search's candidates); the plan is not read.
    void ExchangeCells(long i, long j);
    // Removes cell i's records; a placeholder node goes with them.
    void ClearCell(long i);

    // A list of cells that several criteria work out alike from the shifts alone, kept for the
    // others until the shifts change (the relevant-times pairs share their disturbed days). The
    // list stands for key under the given condition (the settings it was worked out with); fresh
    // tells whether it is new - emptied - and must be filled. The lists keep their storage.
    std::vector<long>& SharedCells(const void* key, std::span<const int32_t> condition, bool& fresh);

private:
    static TypeInfo Describe(const CSchicht& shift);
    // The cell of a node of this evaluation (nodes stay at their cell's place in NODES).
    long CellOf(const CSchichtNode* node) const { return long(node - NODES.data()) + 1; }
    // PreviousWorkedCell by walking back over the cells.
    long WalkBackToWorkedCell(long i) const;
    // A worked cell takes another normal shift type; links and records stay.
    void Retype(long i, std::size_t type);
    void LinkShift(long i, std::size_t type);
    // Cell i's node made for the type (not yet linked).
    CSchichtNode* MakeNode(long i, std::size_t type);
    // Minutes from the node's end to the begin of the next node on the list (the last node's to
    // the first shift of the next cycle).
    uint32_t RestAfter(const CSchichtNode& node) const;
    void RebuildLines() const;
    void ClearCells();
    // Cell i's list for AddVerstoss, after giving a free cell its placeholder node; nullptr
    // outside 1..CellCount.
    CVerstossliste* ListForRecord(long i)
    {
        if (i < 1 || i > CellCount())
            return nullptr;
        CSchichtNode*& node = CELLS[std::size_t(i - 1)];
        if (!node) {
            node = &NODES[std::size_t(i - 1)];
            node->Reset();
        }
        return &node->VERSTOSSLISTE;
    }

    // Cell i at index i - 1: nullptr or the cell's node in NODES (the node of cell i is always
    // NODES[i - 1], so nodes never move while the array is in use).
    std::vector<CSchichtNode*> CELLS;
    std::vector<CSchichtNode> NODES;
    std::vector<TypeInfo> TYPES;
    std::vector<int32_t> CELLTYPE;  // per cell the index into TYPES of its node, -1 without
    mutable std::vector<ShiftLine> LINES;  // written with the nodes by LinkShift
    mutable bool LINESSTALE = false;       // after ExchangeCells: made again when asked for
    bool HASCELLS = false;
    long SHIFTCOUNT = 0;
    mutable CRuhezeiten RUHEZEITEN;
    mutable bool RESTSSTALE = false;
    void RebuildRests() const;

    // The shared cell lists; SHIFTSVERSION changes with every change of the shift nodes.
    struct Shared {
        const void* KEY = nullptr;
        uint64_t VERSION = 0;
        std::vector<int32_t> CONDITION;
        std::vector<long> CELLS;
    };
    std::vector<Shared> SHARED;
    uint64_t SHIFTSVERSION = 1;
};
