#include "rota/RotaChecker.h"

#include <functional>

namespace {

// Calls run(first cell, length, value) for every maximal run of cells whose key is equal, round
// the cycle; a cycle of one value is one run of the cycle's length.
void ForEachRun(const std::vector<int>& key, const std::function<void(std::size_t, std::size_t, int)>& run)
{
    const std::size_t n = key.size();
    if (n == 0)
        return;
    std::size_t begin = 0;
    while (begin < n && key[begin] == key[(begin + n - 1) % n])
        ++begin;
    if (begin == n) {
        run(0, n, key[0]);
        return;
    }
    // From a cell that starts a run, once round.
    std::size_t i = begin;
    do {
        std::size_t length = 1;
        while (key[(i + length) % n] == key[i] && length < n)
            ++length;
        run(i, length, key[i]);
        i = (i + length) % n;
    } while (i != begin);
}

} // namespace

RotaVerdict CheckRota(const RotaInstance& instance, const Rota& rota, const RotaJudged& judged)
{
    RotaVerdict v;
    std::vector<int> cycle;
    for (const auto& row : rota)
        for (int cell : row)
            cycle.push_back(cell);
    const std::size_t n = cycle.size();

    for (int s = 1; s <= instance.shifts; ++s)
        for (int d = 0; d < 7; ++d) {
            int count = 0;
            for (const auto& row : rota)
                count += std::size_t(d) < row.size() && row[std::size_t(d)] == s;
            v.demand += count != instance.demand[std::size_t(s - 1)][std::size_t(d)];
        }

    std::vector<int> worked(n);
    for (std::size_t i = 0; i < n; ++i)
        worked[i] = cycle[i] != 0;
    ForEachRun(worked, [&](std::size_t, std::size_t length, int work) {
        const int l = int(length);
        if (work)
            v.workRuns += l < instance.minWork || l > instance.maxWork;
        else
            v.dayOffRuns += l < instance.minDaysOff || l > instance.maxDaysOff;
    });
    ForEachRun(cycle, [&](std::size_t, std::size_t length, int shift) {
        if (shift == 0)
            return;
        const int l = int(length);
        v.shiftRuns += l < instance.blockMin[std::size_t(shift - 1)] || l > instance.blockMax[std::size_t(shift - 1)];
    });

    for (std::size_t i = 0; i < n; ++i) {
        const int x = cycle[i], next = cycle[(i + 1) % n], after = cycle[(i + 2) % n];
        if (x == 0)
            continue;
        for (const RotaForbidden& f : instance.forbidden) {
            if (f.before != x)
                continue;
            const bool pair = !f.dayOff && next == f.after;
            const bool sequence = f.dayOff && next == 0 && after == f.after && n > 2;
            if ((pair || sequence) && judged && !judged(x, f.dayOff, f.after))
                ++v.unjudged;
            else if (pair)
                ++v.forbiddenPairs;
            else if (sequence)
                ++v.forbiddenSequences;
        }
    }
    return v;
}

std::string RotaVerdict::Describe() const
{
    std::string out;
    const auto add = [&](int count, const char* what) {
        if (count == 0)
            return;
        if (!out.empty())
            out += ", ";
        out += std::to_string(count) + " " + what;
    };
    add(demand, "demand counts wrong");
    add(workRuns, "working runs outside limits");
    add(forbiddenPairs, "forbidden pairs");
    add(forbiddenSequences, "forbidden sequences over a free day");
    add(dayOffRuns, "free runs outside limits");
    add(shiftRuns, "shift runs outside limits");
    add(unjudged, "forbidden pairs or sequences the criteria do not judge");
    return out;
}
