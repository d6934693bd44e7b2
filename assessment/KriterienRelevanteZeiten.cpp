#include "assessment/KriterienRelevanteZeiten.h"

#include "assessment/AZPBewertung.h"
#include "assessment/KriteriumMarker.h"
#include "assessment/RahmenbedingungRelevanteZeiten.h"
#include "assessment/SchichtNode.h"
#include "core/Schicht.h"
#include "core/TimeHelpers.h"

#include <algorithm>
#include <span>

namespace {

// The weight of the six criteria: the settings file's value (default 20) x 1000.
constexpr long kGewichtStandard = 20;
constexpr double kGewichtFaktor = 1000.0;

// A placement of the relevant time: the minutes the interval overlaps it; with checkRest, when
// it does not, the part of the relevant time that the rest after the shift cannot hold.
uint32_t Placement(const ::TERMIN& interval, const ::TERMIN& window, uint32_t length, bool checkRest, uint32_t rest)
{
    uint32_t v = IntervalOverlap(interval, window);
    if (checkRest && v == 0)
        v = length > rest ? length - rest : 0;
    return v;
}

uint32_t DayBack(uint32_t stamp) { return stamp >= kMinutesPerDay ? stamp - kMinutesPerDay : 0; }

} // namespace

CKriteriumRelevanteZeiten::CKriteriumRelevanteZeiten(long number, uint8_t mode)
{
    PRUEFMODUS = mode;
    SetNummer(number);
}

void CKriteriumRelevanteZeiten::SetRahmenbedingung(CRahmenbedingungRelevanteZeiten* constraint)
{
    TEILER = double(ReadWeight(kGewichtStandard)) * kGewichtFaktor;
    RBRELEVANTEZEITEN = constraint;
    ForgetCache();
}

void CKriteriumRelevanteZeiten::Assign(const CKriterium& other, IKriterienPool* pool)
{
    CKriterium::Assign(other, pool);
    const auto* same = dynamic_cast<const CKriteriumRelevanteZeiten*>(&other);
    if (same && same->RBRELEVANTEZEITEN && RBRELEVANTEZEITEN)
        RBRELEVANTEZEITEN->Assign(*same->RBRELEVANTEZEITEN);
    ForgetCache();
}

uint32_t CKriteriumRelevanteZeiten::PlacementWindows(int weekday, const ::TERMIN& interval, bool dayBefore,
                                                     ::TERMIN& earliest, ::TERMIN& latest) const
{
    const RELEVANTEZEIT& z = RBRELEVANTEZEITEN->RELEVANTEZEITEN[std::size_t(weekday - 1)];
    const uint32_t day = (MinuteStampDay(interval.BEGINN) - 1) * kMinutesPerDay;
    const uint32_t length = TimeToMinutes(z.DAUER_MIN);
    auto place = [&](uint32_t from) {
        ::TERMIN w{day + from, day + from + length};
        if (dayBefore)
            w = {DayBack(w.BEGINN), DayBack(w.ENDE)};
        return w;
    };
    earliest = place(TimeToMinutes(z.ANFANGSZEIT_MIN));
    latest = place(TimeToMinutes(z.ANFANGSZEIT_MAX) + (z.ANFANGSZEIT_MAX < z.ANFANGSZEIT_MIN ? kMinutesPerDay : 0));
    return length;
}

uint32_t CKriteriumRelevanteZeiten::ForWeekday(int weekday, const ::TERMIN& interval, bool dayBefore, bool checkRest,
                                               uint32_t rest) const
{
    ::TERMIN earliest, latest;
    const uint32_t length = PlacementWindows(weekday, interval, dayBefore, earliest, latest);
    uint32_t v = Placement(interval, earliest, length, checkRest, rest);
    if (v != 0) {
        // Disturbed only when the latest placement is disturbed as well.
        v = Placement(interval, latest, length, checkRest, rest);
    }
    return v;
}

CKriteriumRelevanteZeiten::Placements CKriteriumRelevanteZeiten::PlacementsOf(int weekday, const ::TERMIN& interval,
                                                                              bool dayBefore) const
{
    ::TERMIN earliest, latest;
    Placements p;
    p.length = PlacementWindows(weekday, interval, dayBefore, earliest, latest);
    p.earliest = IntervalOverlap(interval, earliest) != 0;
    p.latest = IntervalOverlap(interval, latest) != 0;
    return p;
}

uint32_t CKriteriumRelevanteZeiten::Disturbance(const ::TERMIN& interval, bool checkRest, uint32_t rest) const
{
    if (!RBRELEVANTEZEITEN)
        return 0;
    const int weekday = int((MinuteStampDay(interval.BEGINN) - 1) % 7) + 1;
    uint32_t v = ForWeekday(weekday, interval, false, checkRest, rest);
    if (v == 0)
        v = ForWeekday(weekday == 1 ? 7 : weekday - 1, interval, true, checkRest, rest);
    return v;
}

// The cache. A placement's overlap with a shift depends on the shift's times within its day
// and on the weekday alone: both lie on the same day line, so moving the shift by whole days moves
// the windows with it - except on the cycle's first day, whose day before is cut at minute 0, and
// which therefore has a slot of its own. What the rest after the shift adds is worked out per
// node (Placements::Disturbed).

void CKriteriumRelevanteZeiten::ForgetCache()
{
    cache_.clear();
    cachedFor_ = nullptr;
}

void CKriteriumRelevanteZeiten::ValidateCache()
{
    std::array<int32_t, 21> times;
    for (std::size_t w = 0; w < 7; ++w) {
        const RELEVANTEZEIT& z = RBRELEVANTEZEITEN->RELEVANTEZEITEN[w];
        times[3 * w] = z.ANFANGSZEIT_MIN;
        times[3 * w + 1] = z.ANFANGSZEIT_MAX;
        times[3 * w + 2] = z.DAUER_MIN;
    }
    if (cachedFor_ != RBRELEVANTEZEITEN || times != cachedTimes_) {
        ForgetCache();
        cachedFor_ = RBRELEVANTEZEITEN;
        cachedTimes_ = times;
    }
}

CKriteriumRelevanteZeiten::CachedShift& CKriteriumRelevanteZeiten::EntryFor(uint32_t begin, uint32_t end)
{
    // Plenty for any plan's shift types; beyond it the cache starts again rather than grow.
    constexpr std::size_t kCacheMax = 256;
    for (CachedShift& entry : cache_)
        if (entry.begin == begin && entry.end == end)
            return entry;
    if (cache_.size() >= kCacheMax)
        cache_.clear();
    CachedShift& entry = cache_.emplace_back();
    entry.begin = begin;
    entry.end = end;
    return entry;
}

void CKriteriumRelevanteZeiten::FillSlot(CachedShift& entry, std::size_t slot, const ::TERMIN& interval) const
{
    const int weekday = int((interval.BEGINN / kMinutesPerDay) % 7) + 1;
    const Placements own = PlacementsOf(weekday, interval, false);
    const Placements before = PlacementsOf(weekday == 1 ? 7 : weekday - 1, interval, true);
    // Placements::Disturbed(rest) is (earliest && latest) || length > rest.
    uint64_t bound = std::max(own.length, before.length);
    if ((own.earliest && own.latest) || (before.earliest && before.latest))
        bound = uint64_t(UINT32_MAX) + 1;
    entry.restBelow[slot] = bound;
    entry.known |= uint8_t(1u << slot);
}

void CKriteriumRelevanteZeiten::BoundsFor(const CAZPBewertung& evaluation)
{
    const std::span<const CAZPBewertung::TypeInfo> types = evaluation.Types();
    bounds_.resize(types.size() * 8);
    for (std::size_t t = 0; t < types.size(); ++t) {
        const uint32_t begin = types[t].OFFSET, end = types[t].OFFSET + types[t].LENGTH;
        CachedShift& entry = EntryFor(begin, end);
        for (std::size_t slot = 0; slot < 8; ++slot) {
            if (!(entry.known & (1u << slot))) {
                // A day of the slot: the first day, or a later day of the slot's weekday.
                const uint32_t day = slot == 0 ? 0 : slot == 1 ? 7 : uint32_t(slot - 1);
                FillSlot(entry, slot, {day * kMinutesPerDay + begin, day * kMinutesPerDay + end});
            }
            bounds_[t * 8 + slot] = entry.restBelow[slot];
        }
    }
}

double CKriteriumRelevanteZeiten::GetCost(const CSchicht& shift, uint16_t, uint8_t)
{
    return double(Disturbance(shift.TERMIN, false, 0));
}

bool CKriteriumRelevanteZeiten::GroupAmount(std::size_t k, uint16_t limit, uint32_t& amount)
{
    if (k <= limit)
        return false;
    amount = uint32_t((k - limit) * 1000 / k);
    return true;
}

void CKriteriumRelevanteZeiten::Report(CAZPBewertung& evaluation, const std::vector<long>& days, std::size_t from,
                                       std::size_t to, uint16_t limit)
{
    uint32_t amount = 0;
    if (!GroupAmount(to - from, limit, amount))
        return;
    for (std::size_t i = from; i < to; ++i) {
        const uint8_t position = i == from ? POSITION_ANFANG : i + 1 == to ? POSITION_ENDE : POSITION_MITTE;
        if (CVerstossliste* list = evaluation.GetVerstossliste(days[i]))
            list->AddWithText(this, amount, position, {}, true, false);
    }
}

void CKriteriumRelevanteZeiten::CollectDisturbed(const CAZPBewertung& evaluation, std::vector<long>& days)
{
    const std::span<const CAZPBewertung::ShiftLine> lines = evaluation.ShiftLines();
    days.resize(lines.size());
    long* out = days.data();
    std::size_t count = 0;
    if (!useCache_) {
        // The reference: every node of the circular list judged on its own.
        const CSchichtNode* first = evaluation.ERSTESCHICHT;
        const CSchichtNode* node = first;
        do {
            if (Disturbance(node->TERMIN, true, node->RUHEZEIT) != 0 && count < days.size())
                out[count++] = long(node->TERMIN.BEGINN / kMinutesPerDay) + 1;  // MinuteStampDay
            node = node->NEXT;
        } while (node && node != first);
        days.resize(count);
        return;
    }

    BoundsFor(evaluation);
    const uint64_t* bounds = bounds_.data();
    std::size_t i = 0;
    if (!lines.empty() && lines[0].CELL == 1) {
        // The cycle's first day has a slot of its own (its day before is cut at the start).
        out[count] = 1;
        count += lines[0].RUHEZEIT < bounds[lines[0].TYPE * 8] ? 1 : 0;
        i = 1;
    }
    // Every shift is written and the end moves on only for a disturbed one: whether a shift
    // disturbs follows the rota's pattern, which a branch would mispredict.
    for (; i < lines.size(); ++i) {
        const CAZPBewertung::ShiftLine& line = lines[i];
        out[count] = long(line.CELL);
        count += line.RUHEZEIT < bounds[line.TYPE * 8 + line.WOCHENTAG] ? 1 : 0;
    }
    days.resize(count);
}

void CKriteriumRelevanteZeiten::Check(CAZPBewertung& evaluation, uint8_t)
{
    const long n = evaluation.CellCount();
    if (!evaluation.ERSTESCHICHT || !RBRELEVANTEZEITEN || n < 1)
        return;

    // The disturbed days, in cycle order. The single and the continuous criterion of a constraint
    // find the same days: the first to check an evaluation leaves them to the other.
    const std::vector<long>* found = &days_;
    if (useCache_) {
        ValidateCache();
        bool fresh = false;
        std::vector<long>& shared = evaluation.SharedCells(RBRELEVANTEZEITEN, cachedTimes_, fresh);
        if (fresh)
            CollectDisturbed(evaluation, shared);
        found = &shared;
    } else {
        CollectDisturbed(evaluation, days_);
    }
    const std::vector<long>& days = *found;
    if (days.empty())
        return;

    const std::size_t count = days.size();
    if (PRUEFMODUS == PRUEFMODUS_EINZEL) {
        const uint16_t limit = RBRELEVANTEZEITEN->EINZELSTOERUNGEN;
        for (std::size_t from = 0; from < count;) {
            std::size_t to = from + 1;
            while (to < count && (days[to] - 1) / 7 == (days[from] - 1) / 7)
                ++to;
            Report(evaluation, days, from, to, limit);
            from = to;
        }
        return;
    }
    if (PRUEFMODUS != PRUEFMODUS_KONT)
        return;

    const uint16_t limit = RBRELEVANTEZEITEN->KONT_STOERUNGEN;
    if (long(count) == n) {
        Report(evaluation, days, 0, count, limit);
        return;
    }
    std::size_t lo = 0, hi = count;
    if (days.back() == n && days.front() == 1) {
        // The run over the cycle's end: the last cell first, then back while consecutive, then
        // cell 1 and onwards.
        std::size_t back = count - 1;
        while (back > 0 && days[back - 1] == days[back] - 1)
            --back;
        std::size_t front = 1;
        while (front < back && days[front] == days[front - 1] + 1)
            ++front;
        run_.clear();
        for (std::size_t i = count; i > back; --i)
            run_.push_back(days[i - 1]);
        for (std::size_t i = 0; i < front; ++i)
            run_.push_back(days[i]);
        Report(evaluation, run_, 0, run_.size(), limit);
        lo = front;
        hi = back;
    }
    for (std::size_t from = lo; from < hi;) {
        std::size_t to = from + 1;
        while (to < hi && days[to] == days[to - 1] + 1)
            ++to;
        Report(evaluation, days, from, to, limit);
        from = to;
    }
}

void CKriteriumRelevanteZeiten::KeepBase(const CAZPBewertung& base)
{
    base_ = &base;
    // The bounds of the plan's shift types, as the check works them out (a criterion whose
    // partner found the disturbed days first has not).
    if (useCache_ && RBRELEVANTEZEITEN) {
        ValidateCache();
        BoundsFor(base);
    }
}

bool CKriteriumRelevanteZeiten::DisturbedAt(const CAZPBewertung& evaluation, long c) const
{
    const CSchichtNode* node = evaluation.GetNode(c);
    if (!node || node->IsPlaceholder())
        return false;
    const int32_t type = evaluation.TypeIndex(c);
    if (!useCache_ || type < 0 || std::size_t(type) * 8 + 8 > bounds_.size())
        return Disturbance(node->TERMIN, true, node->RUHEZEIT) != 0;
    // As CollectDisturbed: the cycle's first day has a slot of its own, any other its weekday's.
    const std::size_t slot = c == 1 ? 0 : std::size_t((c - 1) % 7 + 1);
    return node->RUHEZEIT < bounds_[std::size_t(type) * 8 + slot];
}

bool CKriteriumRelevanteZeiten::CheckChange(const CAZPBewertung& candidate, std::span<const long> changed,
                                            CAZPAenderung& out)
{
    const long n = candidate.CellCount();
    if (!candidate.ERSTESCHICHT || !RBRELEVANTEZEITEN || !base_ || n < 1 || base_->CellCount() != n)
        return true;
    // The shifts whose disturbance may differ: those of the changed cells and the ones before.
    long origins[6];
    std::size_t count = 0;
    for (long x : changed) {
        if (x < 1 || x > n || count + 3 > std::size(origins))
            continue;
        origins[count++] = x;
        const auto [inBase, inCandidate] = base_->PreviousWorkedCells(x, candidate, changed);
        if (inBase)
            origins[count++] = inBase;
        if (inCandidate)
            origins[count++] = inCandidate;
    }
    if (PRUEFMODUS == PRUEFMODUS_EINZEL) {
        // Their weeks, each judged again as a whole.
        long weeks[6];
        for (std::size_t i = 0; i < count; ++i)
            weeks[i] = (origins[i] - 1) / 7;
        SortCells(weeks, weeks + count);
        const uint16_t limit = RBRELEVANTEZEITEN->EINZELSTOERUNGEN;
        for (std::size_t i = 0; i < count; ++i) {
            if (i > 0 && weeks[i] == weeks[i - 1])
                continue;
            const long first = weeks[i] * 7 + 1, last = std::min(weeks[i] * 7 + 7, n);
            bool disturbed[7] = {};
            std::size_t k = 0;
            for (long c = first; c <= last; ++c)
                k += (disturbed[c - first] = DisturbedAt(candidate, c)) ? 1 : 0;
            uint32_t amount = 0;
            const bool violation = GroupAmount(k, limit, amount);
            for (long c = first; c <= last; ++c) {
                out.BeginCell(c);
                if (violation && disturbed[c - first])
                    out.Add(amount);
            }
        }
        return true;
    }
    if (PRUEFMODUS != PRUEFMODUS_KONT)
        return true;
    const uint16_t limit = RBRELEVANTEZEITEN->KONT_STOERUNGEN;
    ChangedRuns(
        std::span<const long>(origins, count), n, [&](long c) { return DisturbedAt(*base_, c); },
        [&](long c) { return DisturbedAt(candidate, c); },
        [&](long length, uint32_t& amount) { return GroupAmount(std::size_t(length), limit, amount); }, out);
    return true;
}

void CKriteriumRelevanteZeiten::PaintClassIcon(const GridDC& dc, int left, int top, int width, const char* icon) const
{
    PaintMarkerIcon(dc, left + width / 2 - kMarkerIconSize / 2, top, icon);
}

// ---- the six criteria ---------------------------------------------------------------------------

CKriteriumNachtschlafEinzel::CKriteriumNachtschlafEinzel() : CKriteriumRelevanteZeiten(11, PRUEFMODUS_EINZEL) {}
void CKriteriumNachtschlafEinzel::PaintIcon(long, const VERSTOSSINFO&, const GridDC& dc, int left, int top, int width,
                                            int)
{
    PaintClassIcon(dc, left, top, width, "KR_NS_ico");
}

CKriteriumNachtschlafKont::CKriteriumNachtschlafKont() : CKriteriumRelevanteZeiten(12, PRUEFMODUS_KONT) {}
void CKriteriumNachtschlafKont::PaintIcon(long, const VERSTOSSINFO&, const GridDC& dc, int left, int top, int width,
                                          int)
{
    PaintClassIcon(dc, left, top, width, "KR_NS_ico");
}

CKriteriumSozialzeitEinzel::CKriteriumSozialzeitEinzel() : CKriteriumRelevanteZeiten(13, PRUEFMODUS_EINZEL) {}
void CKriteriumSozialzeitEinzel::PaintIcon(long, const VERSTOSSINFO&, const GridDC& dc, int left, int top, int width,
                                           int)
{
    PaintClassIcon(dc, left, top, width, "KR_SZ_ico");
}

CKriteriumSozialzeitKont::CKriteriumSozialzeitKont() : CKriteriumRelevanteZeiten(14, PRUEFMODUS_KONT) {}
void CKriteriumSozialzeitKont::PaintIcon(long, const VERSTOSSINFO&, const GridDC& dc, int left, int top, int width,
                                         int)
{
    PaintClassIcon(dc, left, top, width, "KR_SZ_ico");
}

CKriteriumFamilienzeitEinzel::CKriteriumFamilienzeitEinzel() : CKriteriumRelevanteZeiten(15, PRUEFMODUS_EINZEL) {}
void CKriteriumFamilienzeitEinzel::PaintIcon(long, const VERSTOSSINFO&, const GridDC& dc, int left, int top,
                                             int width, int)
{
    PaintClassIcon(dc, left, top, width, "KR_FZ_ico");
}

CKriteriumFamilienzeitKont::CKriteriumFamilienzeitKont() : CKriteriumRelevanteZeiten(16, PRUEFMODUS_KONT) {}
void CKriteriumFamilienzeitKont::PaintIcon(long, const VERSTOSSINFO&, const GridDC& dc, int left, int top, int width,
                                           int)
{
    PaintClassIcon(dc, left, top, width, "KR_FZ_ico");
}
