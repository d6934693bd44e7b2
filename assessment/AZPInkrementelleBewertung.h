#pragma once
// CAZPInkrementelleBewertung: the search's assessment of a candidate move (an exchange of two
// groups' shifts on one day) without checking the whole plan with every criterion again.
//
// It keeps a base: the plan as it stands, evaluated and checked in full, with the records of
// every criterion that can tell what a change does to its records (IAZPAenderung), and an
// evaluation of the base without records. A candidate exchanges its two cells in that evaluation
// (only the shifts around them change), is checked in full only by the other criteria, and the
// changing criteria give just the records of the cells the change reaches. The quality value is
// then summed cell by cell, and in each cell record by record in the order a full check adds
// them (the criteria in the checker's order), with the same terms, so that it equals
// CAZPBewertung::ComputeQuality of a full check bit for bit.
//
// The search only wants to know whether a candidate beats the best one of its iteration so far:
// given that bound, a candidate whose quality is certainly not below it is given up as soon as
// the changes checked so far show it (a lower bound with room for every rounding the full sum
// can make), and only the others are summed exactly. The decisions stay those of the full
// evaluation.
//
// The full evaluation stays the reference and serves everything else (inspectors, overall
// rating, the quality-value command). A checker holding a criterion that does not keep to its own
// part (KR3 writes weekly rest records in KR2's name and books on the rests KR2 reads) is refused:
// the candidates' records could not be told apart, so such a checker is assessed in full.
#include "assessment/AZPAenderung.h"
#include "assessment/AZPBewertung.h"

#include <cstdint>
#include <limits>
#include <vector>

class CAZPData;
class CKriterienChecker;
class CKriterium;
class IAZPChecker;

class CAZPInkrementelleBewertung {
public:
    // Whether every criterion the checker runs keeps to its own part (IAZPChecker::KeepsToItsOwn),
    // so that this assessment equals the full one; a caller assesses any other checker in full.
    static bool Follows(const CKriterienChecker& checker);
    // The base := the plan as it is now, checked by the checker's criteria (quick); its quality.
    // A checker it does not follow gets the plan's quality by a full check and no base.
    double Reset(const CAZPData& plan, CKriterienChecker& checker);
    // Whether a base is held; Invalidate after the plan has changed.
    bool HasBase() const { return HASBASE; }
    void Invalidate() { HASBASE = MOVED = false; }
    // The plan made the exchange (g1 and g2 on `day`) from the base: the base is given up, and
    // the next Reset checks the plan as it now is without evaluating it again (both evaluations
    // take the exchange in place). Without a base, as Invalidate.
    void Moved(uint32_t day, uint32_t g1, uint32_t g2);
    // The quality of the base plan with the shifts of groups g1 and g2 on `day` exchanged (the
    // plan itself is not read again). When that quality is certainly not below `bound`, some
    // value not below it may come back instead (`bound` itself): only a quality below the bound
    // is always exact.
    double AssessSwap(uint32_t day, uint32_t g1, uint32_t g2,
                      double bound = std::numeric_limits<double>::infinity());
    // The number of criteria checked by their changes only (the rest are checked in full).
    long ChangingCount() const { return long(AENDERUNGEN.size()); }

private:
    struct Check {
        CKriterium* KRITERIUM = nullptr;
        IAZPChecker* CHECKER = nullptr;
        IAZPAenderung* AENDERUNG = nullptr;  // nullptr: checked in full for every candidate
        double WEIGHT = 1.0;
        double RECIPROCAL = 1.0;  // 1 / WEIGHT, for the lower bounds (which allow for its rounding)
        long LOCAL = -1;  // index into AENDERUNGEN
    };
    // The records' terms of cell c in a candidate whose local criteria changed it (MARK set).
    double FoldMarkedCell(double q, long c, const CVerstossliste* records) const;

    // With every check following changes: the candidate from the changes its checks gave, or
    // `bound` as soon as they show that it cannot be below it.
    double AssessChanges(long n, const long (&changed)[2], double bound);
    // The candidate's exact quality from the changes in AENDERUNGEN (every check following
    // changes): the base's running sum up to the first changed cell, then cell by cell.
    double SumChanges(long n);
    // Counts check k asked (and whether it ended the candidate); halves the counts behind ORDER
    // once it has been asked often.
    void Count(std::size_t k, bool ended);
    // Marks the cells of the check's last change (MARK, MARKED, ENTRY).
    void Mark(const Check& check, long n);
    // The candidate checked in full by every criterion (a changing criterion could not tell
    // what the change does); the candidate's records are cleared afterwards.
    double AssessInFull();
    // Check k, whose change check could not tell, run in full on a candidate without other
    // records, its records read into `change` as a change of every cell it marks in the base or
    // the candidate (and cleared from the candidate).
    void CheckInFull(const Check& check, std::size_t k, CAZPAenderung& change);

    CKriterienChecker* CHECKER = nullptr;
    bool HASBASE = false;
    bool MOVED = false;  // BASE (without records) and CANDIDATE hold the plan after Moved
    long DAYS = 0;
    std::vector<Check> CHECKS;  // the criteria CheckPlan runs, in its order
    CAZPBewertung BASE, CANDIDATE;
    // The base's records of the changing criteria, cell by cell: cell c's run is
    // BASESTART[c - 1] .. BASESTART[c], each with its check's index and term.
    std::vector<uint32_t> BASESTART;
    std::vector<uint16_t> BASECHECK;
    std::vector<double> BASETERM;
    std::vector<uint32_t> BASEWERT;  // the records' amounts
    bool ALLCHANGING = false;   // every check follows changes and the base has no other record
    std::vector<double> PREFIX;  // PREFIX[c]: the base's sum before cell c (n + 1: all)
    std::vector<double> TOTAL;   // per changing criterion, the sum of its terms in the base
    // The order in which the changes are asked for a bounded candidate: the criteria that most
    // often end such a candidate first (per check in CHECKS, counted over the search and halved
    // now and then, so that the order follows the plan as it changes).
    std::vector<std::size_t> ORDER;
    std::vector<uint32_t> ASKED, ENDED;
    std::vector<CAZPAenderung> AENDERUNGEN;  // per changing criterion, the last candidate's
    std::vector<uint32_t> MARK;               // per cell: bit i when changing criterion i gave it
    std::vector<int32_t> ENTRY;               // [i x MARK.size() + cell]: that cell's entry in i's change
    std::vector<long> MARKED;
};
