#pragma once
// RotaChecker: judges a rota against the rules of its instance, on its own and without the
// program's criteria, so that the benchmark can show what a quality value of 0 means.
//
// The rota is the cycle of the instance: row w's Sunday is followed by row w + 1's Monday and the
// last row by the first; every run (of working days, of free days, of one shift) is counted round
// that cycle.
#include "rota/RotaInstance.h"

#include <functional>
#include <string>
#include <vector>

// rota[w][d]: the shift (1 .. nb_shifts) of row w on weekday d (0 = Monday), 0 for a free day.
using Rota = std::vector<std::vector<int>>;

struct RotaVerdict {
    int demand = 0;             // (shift, weekday) whose count differs from temp_req
    int workRuns = 0;           // runs of working days outside min_work .. max_work
    int forbiddenPairs = 0;     // forbidden shifts on consecutive days
    int forbiddenSequences = 0; // forbidden "shift, a free day, shift"
    int dayOffRuns = 0;         // runs of free days outside min_daysoff .. max_daysoff
    int shiftRuns = 0;          // runs of one shift outside its block limits
    int unjudged = 0;           // forbidden pairs or sequences that the criteria do not judge

    // The rules the search's criteria are given (demand, working runs, the forbidden pairs and
    // sequences they judge) all hold.
    bool ModelRulesHold() const { return demand + workRuns + forbiddenPairs + forbiddenSequences == 0; }
    // Every rule of the instance holds.
    bool AllRulesHold() const { return ModelRulesHold() && dayOffRuns + shiftRuns + unjudged == 0; }
    // The broken rules as a short English list ("" when none).
    std::string Describe() const;
};

// Whether the criteria judge "before, (a free day when dayOff,) after" (shifts 1 .. nb_shifts).
using RotaJudged = std::function<bool(int before, bool dayOff, int after)>;

// Without `judged` every forbidden pair and sequence counts as judged.
RotaVerdict CheckRota(const RotaInstance& instance, const Rota& rota, const RotaJudged& judged = {});
