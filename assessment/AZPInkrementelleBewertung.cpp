#include "assessment/AZPInkrementelleBewertung.h"

#include "assessment/KriterienChecker.h"
#include "assessment/Kriterium.h"
#include "plans/AZPData.h"

#include <algorithm>

namespace {

// A record's term of the quality value, as CAZPBewertung::ComputeQuality adds it.
double Term(uint32_t wert, double weight) { return wert / weight; }

// At most this many criteria are checked by their changes (one bit each per cell).
constexpr std::size_t kMaxChanging = 32;

} // namespace

bool CAZPInkrementelleBewertung::Follows(const CKriterienChecker& checker)
{
    for (CKriterium* k : checker.KRITERIEN) {
        const IAZPChecker* c = k->GetAZPChecker();
        if (c && CKriterienChecker::Runs(*k) && !c->KeepsToItsOwn())
            return false;
    }
    return true;
}

double CAZPInkrementelleBewertung::Reset(const CAZPData& plan, CKriterienChecker& checker)
{
    if (!Follows(checker)) {
        HASBASE = MOVED = false;
        BASE.Evaluate(plan);
        checker.CheckPlan(BASE, 1);
        return BASE.ComputeQuality();
    }
    CHECKS.clear();
    std::size_t changing = 0;
    for (CKriterium* k : checker.KRITERIEN) {
        IAZPChecker* c = k->GetAZPChecker();
        if (!c || !CKriterienChecker::Runs(*k))
            continue;
        Check check;
        check.KRITERIUM = k;
        check.CHECKER = c;
        check.WEIGHT = k->GetWeight();
        check.RECIPROCAL = 1.0 / check.WEIGHT;
        if (auto* a = dynamic_cast<IAZPAenderung*>(k); a && changing < kMaxChanging) {
            check.AENDERUNG = a;
            check.LOCAL = long(changing++);
        }
        CHECKS.push_back(check);
    }
    AENDERUNGEN.resize(changing);
    CHECKER = &checker;

    // The candidates' evaluation: the base without records, each candidate's cells exchanged in it.
    if (!MOVED || BASE.CellCount() != long(plan.CountGroups()) * long(plan.CountDays())) {
        BASE.Evaluate(plan);
        CANDIDATE.Evaluate(plan);
    }
    MOVED = false;
    checker.CheckPlan(BASE, 1);
    for (const Check& check : CHECKS)
        if (check.AENDERUNG)
            check.AENDERUNG->KeepBase(BASE);

    // The changing criteria's records of each cell, in the order the check added them.
    const long n = BASE.CellCount();
    DAYS = plan.CountDays();
    BASESTART.assign(std::size_t(n) + 1, 0);
    BASECHECK.clear();
    BASETERM.clear();
    BASEWERT.clear();
    ALLCHANGING = changing == CHECKS.size();
    for (long c = 1; c <= n; ++c) {
        if (const CSchichtNode* node = BASE.GetNode(c)) {
            std::size_t i = 0;
            for (const VERSTOSSINFO& r : node->VERSTOSSLISTE.VERSTOESSE) {
                if (!r.KRITERIUM)
                    continue;
                while (i < CHECKS.size() && CHECKS[i].KRITERIUM != r.KRITERIUM)
                    ++i;
                if (i == CHECKS.size()) {
                    ALLCHANGING = false;  // a record in another's name: summed with the candidate's
                    break;
                }
                if (CHECKS[i].AENDERUNG) {
                    BASECHECK.push_back(uint16_t(i));
                    BASETERM.push_back(Term(r.WERT, CHECKS[i].WEIGHT));
                    BASEWERT.push_back(r.WERT);
                }
            }
        }
        BASESTART[std::size_t(c)] = uint32_t(BASETERM.size());
    }
    // With every check following changes, the base's terms are all its records: the sum before
    // each cell is the candidate's too, up to its first changed cell.
    PREFIX.assign(std::size_t(n) + 2, 0.0);
    double sum = 0.0;
    for (long c = 1; c <= n; ++c) {
        PREFIX[std::size_t(c)] = sum;
        for (std::size_t b = BASESTART[std::size_t(c) - 1]; b < BASESTART[std::size_t(c)]; ++b)
            sum += BASETERM[b];
    }
    PREFIX[std::size_t(n) + 1] = sum;
    TOTAL.assign(changing, 0.0);
    for (std::size_t b = 0; b < BASETERM.size(); ++b)
        TOTAL[std::size_t(CHECKS[BASECHECK[b]].LOCAL)] += BASETERM[b];
    if (ASKED.size() != CHECKS.size()) {
        ASKED.assign(CHECKS.size(), 0);
        ENDED.assign(CHECKS.size(), 0);
    }
    ORDER.resize(CHECKS.size());
    for (std::size_t k = 0; k < ORDER.size(); ++k)
        ORDER[k] = k;
    // By the share of the candidates each ended when asked (a few made up first, so that a
    // check asked rarely is neither first nor last by chance); ties keep the checker's order.
    const auto share = [this](std::size_t k) { return (double(ENDED[k]) + 1.0) / (double(ASKED[k]) + 2.0); };
    for (std::size_t i = 1; i < ORDER.size(); ++i)
        for (std::size_t j = i; j > 0 && share(ORDER[j]) > share(ORDER[j - 1]); --j)
            std::swap(ORDER[j], ORDER[j - 1]);
    MARK.assign(std::size_t(n) + 1, 0);
    ENTRY.assign(changing * MARK.size(), 0);
    MARKED.clear();
    HASBASE = true;
    return BASE.ComputeQuality();
}

void CAZPInkrementelleBewertung::Moved(uint32_t day, uint32_t g1, uint32_t g2)
{
    const long n = BASE.CellCount();
    const long a = long(g1 - 1) * DAYS + long(day), b = long(g2 - 1) * DAYS + long(day);
    const bool valid = HASBASE && n == CANDIDATE.CellCount() && day >= 1 && long(day) <= DAYS && g1 >= 1 &&
                       g2 >= 1 && a <= n && b <= n;
    HASBASE = false;
    MOVED = valid;
    if (!valid)
        return;
    // The base's records go (and with them the placeholders they put on free cells), so that it
    // is an evaluation without records as the candidates' is.
    for (long c = 1; c <= n; ++c)
        BASE.ClearCell(c);
    BASE.ExchangeCells(a, b);
    CANDIDATE.ExchangeCells(a, b);
}

double CAZPInkrementelleBewertung::FoldMarkedCell(double q, long c, const CVerstossliste* records) const
{
    const uint32_t mark = MARK[std::size_t(c)];
    std::size_t b = BASESTART[std::size_t(c) - 1];
    const std::size_t be = BASESTART[std::size_t(c)];
    const auto* r = records ? records->VERSTOESSE.Rows().data() : nullptr;
    const auto* re = records ? r + records->VERSTOESSE.Rows().size() : nullptr;
    for (std::size_t k = 0; k < CHECKS.size(); ++k) {
        const Check& check = CHECKS[k];
        if (!check.AENDERUNG) {
            for (; r != re && (!r->KRITERIUM || r->KRITERIUM == check.KRITERIUM); ++r)
                if (r->KRITERIUM)
                    q += Term(r->WERT, check.WEIGHT);
            continue;
        }
        if (!(mark & (1u << check.LOCAL))) {
            for (; b < be && BASECHECK[b] == k; ++b)
                q += BASETERM[b];
            continue;
        }
        for (; b < be && BASECHECK[b] == k; ++b) {
        }
        const CAZPAenderung& change = AENDERUNGEN[std::size_t(check.LOCAL)];
        for (uint32_t wert : change.Amounts(ENTRY[std::size_t(check.LOCAL) * MARK.size() + std::size_t(c)]))
            q += Term(wert, check.WEIGHT);
    }
    return q;
}

void CAZPInkrementelleBewertung::CheckInFull(const Check& check, std::size_t k, CAZPAenderung& change)
{
    check.CHECKER->Check(CANDIDATE, 1);
    const long n = CANDIDATE.CellCount();
    for (long c = 1; c <= n; ++c) {
        const CSchichtNode* node = CANDIDATE.GetNode(c);
        const bool marked = node && !node->VERSTOSSLISTE.VERSTOESSE.Rows().empty();
        bool inBase = false;
        for (std::size_t b = BASESTART[std::size_t(c) - 1]; b < BASESTART[std::size_t(c)] && !inBase; ++b)
            inBase = BASECHECK[b] == k;
        if (!marked && !inBase)
            continue;
        change.BeginCell(c);
        if (marked) {
            for (const VERSTOSSINFO& r : node->VERSTOSSLISTE.VERSTOESSE.Rows())
                if (r.KRITERIUM == check.KRITERIUM)
                    change.Add(r.WERT);
            CANDIDATE.ClearCell(c);
        }
    }
}

double CAZPInkrementelleBewertung::AssessInFull()
{
    for (long c : MARKED)
        MARK[std::size_t(c)] = 0;
    MARKED.clear();
    const long n = CANDIDATE.CellCount();
    for (long c = 1; c <= n; ++c)
        CANDIDATE.ClearCell(c);
    CHECKER->CheckPlan(CANDIDATE, 1);
    const double q = CANDIDATE.ComputeQuality();
    for (long c = 1; c <= n; ++c)
        CANDIDATE.ClearCell(c);
    return q;
}

double CAZPInkrementelleBewertung::AssessSwap(uint32_t day, uint32_t g1, uint32_t g2, double bound)
{
    const long n = CANDIDATE.CellCount();
    const long changed[2] = {long(g1 - 1) * DAYS + long(day), long(g2 - 1) * DAYS + long(day)};
    if (!HASBASE || n != BASE.CellCount() || day < 1 || long(day) > DAYS || changed[0] > n || changed[1] > n)
        return 0.0;
    CANDIDATE.ExchangeCells(changed[0], changed[1]);
    if (ALLCHANGING) {
        const double q = AssessChanges(n, changed, bound);
        CANDIDATE.ExchangeCells(changed[0], changed[1]);
        return q;
    }

    // The criteria that cannot tell what a change does check the candidate in full.
    for (const Check& check : CHECKS)
        if (!check.AENDERUNG)
            check.CHECKER->Check(CANDIDATE, 1);

    for (std::size_t k = 0; k < CHECKS.size(); ++k) {
        const Check& check = CHECKS[k];
        if (!check.AENDERUNG)
            continue;
        CAZPAenderung& change = AENDERUNGEN[std::size_t(check.LOCAL)];
        change.Clear();
        if (!check.AENDERUNG->CheckChange(CANDIDATE, changed, change)) {
            const double q = AssessInFull();
            CANDIDATE.ExchangeCells(changed[0], changed[1]);
            return q;
        }
        Mark(check, n);
    }

    // Cell by cell, each cell's records in the checks' order: the base's terms of the changing
    // criteria merged with the candidate's records of the others, which go once read.
    double q = 0.0;
    for (long c = 1; c <= n; ++c) {
        const CSchichtNode* node = CANDIDATE.GetNode(c);
        const CVerstossliste* records = node ? &node->VERSTOSSLISTE : nullptr;
        if (MARK[std::size_t(c)] != 0) {
            q = FoldMarkedCell(q, c, records);
            if (records && !records->VERSTOESSE.Rows().empty())
                CANDIDATE.ClearCell(c);
            continue;
        }
        std::size_t b = BASESTART[std::size_t(c) - 1];
        const std::size_t be = BASESTART[std::size_t(c)];
        if (!records || records->VERSTOESSE.Rows().empty()) {
            for (; b < be; ++b)
                q += BASETERM[b];
            continue;
        }
        std::size_t k = 0;
        for (const VERSTOSSINFO& r : records->VERSTOESSE.Rows()) {
            if (!r.KRITERIUM)
                continue;
            while (k < CHECKS.size() && CHECKS[k].KRITERIUM != r.KRITERIUM)
                ++k;
            if (k == CHECKS.size())
                break;
            for (; b < be && BASECHECK[b] < k; ++b)
                q += BASETERM[b];
            q += Term(r.WERT, CHECKS[k].WEIGHT);
        }
        for (; b < be; ++b)
            q += BASETERM[b];
        CANDIDATE.ClearCell(c);
    }
    for (long c : MARKED)
        MARK[std::size_t(c)] = 0;
    MARKED.clear();
    CANDIDATE.ExchangeCells(changed[0], changed[1]);
    return q;
}

void CAZPInkrementelleBewertung::Mark(const Check& check, long n)
{
    const CAZPAenderung& change = AENDERUNGEN[std::size_t(check.LOCAL)];
    for (long i = 0; i < change.CellCount(); ++i) {
        const long c = change.Cell(i);
        if (c < 1 || c > n)
            continue;
        if (MARK[std::size_t(c)] == 0)
            MARKED.push_back(c);
        ENTRY[std::size_t(check.LOCAL) * MARK.size() + std::size_t(c)] = int32_t(i);
        MARK[std::size_t(c)] |= 1u << check.LOCAL;
    }
}

double CAZPInkrementelleBewertung::AssessChanges(long n, const long (&changed)[2], double bound)
{
    // The base's sum and what the checks give up or add, each a sum of terms that are never
    // negative: the candidate's exact sum is at least the base's, less what the checks not yet
    // asked hold in the base (they may lose all of it), with the asked ones' differences. The
    // sums here and the full sum round; the slack below covers both many times over (relative
    // 2^-50 per term summed, 2^-53 being a rounding's worst), and the bound is raised by 2^-20 of
    // itself for the rounding of a full sum of up to 2^32 records.
    const double base = PREFIX[std::size_t(n) + 1];
    double remaining = 0.0;
    for (double t : TOTAL)
        remaining += t;
    double delta = 0.0;
    double magnitude = base + remaining;
    uint64_t terms = BASETERM.size() + 16;
    const double beaten = bound * (1.0 + 0x1p-20);
    bool same = true;  // every changed cell keeps its terms: the base's sum is the candidate's
    // Check k's change cell by cell, with its amounts and whether every cell keeps its terms.
    const auto recordsOf = [&](std::size_t k, AZPAmountChange& amounts) {
        const Check& check = CHECKS[k];
        CAZPAenderung& change = AENDERUNGEN[std::size_t(check.LOCAL)];
        change.Clear();
        if (!check.AENDERUNG->CheckChange(CANDIDATE, changed, change)) {
            // The candidate holds no other records: this criterion's full check, read as a
            // change of every cell where it marks the base or the candidate.
            change.Clear();
            CheckInFull(check, k, change);
        }
        for (long i = 0; i < change.CellCount(); ++i) {
            const long c = change.Cell(i);
            if (c < 1 || c > n)
                continue;
            std::size_t b = BASESTART[std::size_t(c) - 1];
            const std::size_t be = BASESTART[std::size_t(c)];
            amounts.records += be - b;
            while (b < be && BASECHECK[b] < k)
                ++b;
            const std::span<const uint32_t> werte = change.Amounts(i);
            amounts.records += werte.size();
            for (const uint32_t wert : werte) {
                amounts.added += wert;
                if (b < be && BASECHECK[b] == k) {
                    same = same && wert == BASEWERT[b];
                    amounts.dropped += BASEWERT[b++];
                } else {
                    same = false;
                }
            }
            for (; b < be && BASECHECK[b] == k; ++b) {
                same = false;
                amounts.dropped += BASEWERT[b];
            }
        }
    };
    uint64_t pending = 0;  // bit k: check k gave its amounts only, its records are still to come
    for (const std::size_t k : ORDER) {
        const Check& check = CHECKS[k];
        AZPAmountChange amounts;
        if (check.AENDERUNG->ChangeAmounts(CANDIDATE, changed, amounts))
            pending |= uint64_t(1) << k;
        else
            recordsOf(k, amounts);
        // One check's terms share its weight: their amounts are summed as whole numbers and
        // multiplied by the reciprocal once (the slack allows for both roundings).
        terms += amounts.records;
        const double plus = double(amounts.added) * check.RECIPROCAL, minus = double(amounts.dropped) * check.RECIPROCAL;
        delta += plus - minus;
        magnitude += plus + minus;
        remaining -= TOTAL[std::size_t(check.LOCAL)];
        const double low = base + delta - remaining;
        const bool ended = low - double(terms) * 0x1p-50 * magnitude >= beaten;
        Count(k, ended);
        if (ended)
            return bound;
    }
    for (std::size_t k = 0; pending != 0; ++k, pending >>= 1)
        if (pending & 1) {
            AZPAmountChange amounts;
            recordsOf(k, amounts);
        }
    if (same)
        return base;
    for (const Check& check : CHECKS)
        Mark(check, n);
    return SumChanges(n);
}

void CAZPInkrementelleBewertung::Count(std::size_t k, bool ended)
{
    ++ASKED[k];
    ENDED[k] += ended ? 1 : 0;
    if (ASKED[k] < (1u << 16))
        return;
    for (std::size_t i = 0; i < ASKED.size(); ++i) {
        ASKED[i] /= 2;
        ENDED[i] /= 2;
    }
}

double CAZPInkrementelleBewertung::SumChanges(long n)
{
    // The candidate has no records of its own: from its first changed cell on, the base's terms
    // with the changed cells' in their place.
    if (MARKED.size() <= 32)
        SortCells(MARKED.data(), MARKED.data() + MARKED.size());
    else
        std::sort(MARKED.begin(), MARKED.end());
    const long from = MARKED.empty() ? n + 1 : MARKED.front();
    double q = PREFIX[std::size_t(from)];
    std::size_t b = BASESTART[std::size_t(from) - 1];
    for (std::size_t m = 0; m <= MARKED.size(); ++m) {
        const long until = m < MARKED.size() ? MARKED[m] : n + 1;
        for (const std::size_t be = BASESTART[std::size_t(until) - 1]; b < be; ++b)
            q += BASETERM[b];
        if (m == MARKED.size())
            break;
        q = FoldMarkedCell(q, until, nullptr);
        b = BASESTART[std::size_t(until)];
        MARK[std::size_t(until)] = 0;
    }
    MARKED.clear();
    return q;
}
