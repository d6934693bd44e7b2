#include "plans/AKBData.h"

#include "plans/AKBSavableManager.h"

#include "core/Savable.h"
#include "platform/ui/MessageShow.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kDay = 1440;

uint32_t DayOf(uint32_t stamp) { return stamp / kDay + 1; }

Decimal HoursFromMinutes(uint64_t minutes) { return Decimal::FromRatio(int64_t(minutes), 60); }

Decimal Divide(Decimal a, Decimal b) { return Decimal::FromRatio(a.Cents(), b.Cents()); }

struct Piece {
    uint32_t b, e;
    unsigned n;
};

// Cuts pieces at midnight, then joins touching pieces of equal count within a day, and drops
// empty pieces and pieces without demand: the one normal form of a step function.
std::vector<Piece> NormalForm(const std::vector<Piece>& in)
{
    std::vector<Piece> cut;
    cut.reserve(in.size() + 2);
    constexpr uint32_t kArrayEnd = AKB_TAGE * kDay;  // nothing past the plan arrays
    for (Piece p : in) {
        p.e = std::min(p.e, kArrayEnd);
        if (p.b >= p.e || p.n == 0)
            continue;
        while (DayOf(p.b) != DayOf(p.e - 1)) {
            uint32_t midnight = (p.b / kDay + 1) * kDay;
            cut.push_back({p.b, midnight, p.n});
            p.b = midnight;
        }
        cut.push_back(p);
    }
    std::vector<Piece> out;
    out.reserve(cut.size());
    for (const Piece& p : cut) {
        if (!out.empty() && out.back().e == p.b && out.back().n == p.n && p.b % kDay != 0)
            out.back().e = p.e;
        else
            out.push_back(p);
    }
    return out;
}

AKBRow MakeRow(const Piece& p)
{
    auto e = std::make_unique<CAKBEintrag>();
    e->TERMIN = {p.b, p.e};
    e->ANZAHL = uint8_t(std::min<unsigned>(p.n, AKB_MAX_ANZAHL));
    return AKBRow{std::move(e), p.b};
}

} // namespace

CAKBData::CAKBData() : SAVABLEMANAGER(std::make_unique<CAKBSavableManager>(*this)) {}

CAKBData::~CAKBData() { Clear(); }

ISavable& CAKBData::GetSavable() { return *SAVABLEMANAGER; }

uint32_t CAKBData::GetSpaltensumme(uint32_t day) const
{
    return day <= AKB_TAGE ? SPALTENSUMME[day] : 0;
}

CAKBEintrag* CAKBData::GetByIndex(long n) const
{
    const AKBRow* row = n >= 1 ? QueueGet(EINTRAEGE, size_t(n)) : nullptr;
    return row ? row->AKBEINTRAG.get() : nullptr;
}

CAKBEintrag* CAKBData::GetEntry(uint32_t day, uint32_t row) const
{
    if (day == 0 || day > AKB_TAGE || row == 0)
        return nullptr;
    uint32_t first = SPALTENSUMME[day - 1] + 1;
    uint32_t last = SPALTENSUMME[day];
    if (last < first || row > last - first + 1)
        return nullptr;
    return GetByIndex(long(first + row - 1));
}

CAKBEintrag* CAKBData::FindEntryAt(uint32_t stamp) const
{
    uint32_t day = DayOf(stamp);
    if (day > AKB_TAGE)
        return nullptr;
    for (uint32_t pos = SPALTENSUMME[day - 1] + 1; pos <= SPALTENSUMME[day]; ++pos) {
        CAKBEintrag* e = GetByIndex(long(pos));
        if (e && e->TERMIN.BEGINN <= stamp && stamp <= e->TERMIN.ENDE)
            return e;
    }
    return nullptr;
}

bool CAKBData::DeleteEntry(const CAKBEintrag* span)
{
    size_t pos = 0;
    if (!span || !QueueGet(EINTRAEGE, span, [](const AKBRow& r) { return r.AKBEINTRAG.get(); }, &pos))
        return false;
    QueueDelete(EINTRAEGE, pos);
    RecalcColumnSums();
    return true;
}

void CAKBData::AppendLoaded(const CAKBEintrag& span)
{
    QueueAdd(EINTRAEGE, AKBRow{std::make_unique<CAKBEintrag>(span), span.TERMIN.BEGINN});
    NORMAL = false;
}

uint32_t CAKBData::Fold(uint32_t stamp) const
{
    uint32_t p = PlanMinutes();
    return stamp == 0 || p == 0 ? stamp : (stamp - 1) % p + 1;
}

// ---- Changing the demand over a range ---------------------------------------------------------

// Replaces the demand over [b, e) (0 <= b < e <= P) by op(old count) on a list in normal form.
// Only the spans around the range are touched, so computing a whole plan's demand stays fast.
template <class Op>
void CAKBData::ApplyRange(uint32_t b, uint32_t e, Op op)
{
    if (b >= e)
        return;
    auto& rows = EINTRAEGE.Rows();
    auto endOf = [](const AKBRow& r) { return r.AKBEINTRAG->TERMIN.ENDE; };
    // First span ending after b; a span ending exactly at b may have to join the new demand.
    size_t lo = size_t(std::ranges::upper_bound(rows, b, {}, endOf) - rows.begin());
    if (lo > 0 && rows[lo - 1].AKBEINTRAG->TERMIN.ENDE == b)
        --lo;
    size_t hi = lo;
    while (hi < rows.size() && rows[hi].AKBEINTRAG->TERMIN.BEGINN < e)
        ++hi;
    if (hi < rows.size() && rows[hi].AKBEINTRAG->TERMIN.BEGINN == e)
        ++hi;

    std::vector<Piece> pieces;
    pieces.reserve(hi - lo + 4);
    uint32_t pos = b;
    for (size_t i = lo; i < hi; ++i) {
        const CAKBEintrag& s = *rows[i].AKBEINTRAG;
        uint32_t sb = s.TERMIN.BEGINN, se = s.TERMIN.ENDE;
        if (sb < b)
            pieces.push_back({sb, std::min(se, b), s.ANZAHL});
        uint32_t ib = std::max(sb, b), ie = std::min(se, e);
        if (ib < ie) {
            if (pos < ib)
                pieces.push_back({pos, ib, op(0u)});
            pieces.push_back({ib, ie, op(unsigned(s.ANZAHL))});
            pos = ie;
        }
        if (se > e) {
            if (pos < e) {
                pieces.push_back({pos, e, op(0u)});
                pos = e;
            }
            pieces.push_back({std::max(sb, e), se, s.ANZAHL});
        }
    }
    if (pos < e)
        pieces.push_back({pos, e, op(0u)});
    std::ranges::sort(pieces, {}, &Piece::b);

    std::vector<Piece> normal = NormalForm(pieces);
    for (size_t i = lo; i < hi; ++i)
        --DAYCOUNT[DayOf(rows[i].AKBEINTRAG->TERMIN.BEGINN)];
    std::vector<AKBRow> fresh;
    fresh.reserve(normal.size());
    for (const Piece& p : normal) {
        ++DAYCOUNT[DayOf(p.b)];
        fresh.push_back(MakeRow(p));
    }
    rows.erase(rows.begin() + std::ptrdiff_t(lo), rows.begin() + std::ptrdiff_t(hi));
    rows.insert(rows.begin() + std::ptrdiff_t(lo), std::make_move_iterator(fresh.begin()),
                std::make_move_iterator(fresh.end()));
    SumDayCounts();
}

void CAKBData::SetRange(uint32_t b, uint32_t e, unsigned count)
{
    ApplyRange(b, e, [count](unsigned) { return count; });
}

bool CAKBData::AddRange(uint32_t b, uint32_t e, unsigned count)
{
    bool capped = false;
    ApplyRange(b, e, [count, &capped](unsigned old) {
        unsigned sum = old + count;
        if (sum > AKB_MAX_ANZAHL) {
            capped = true;
            sum = AKB_MAX_ANZAHL;
        }
        return sum;
    });
    return capped;
}

// ---- MergeDemand, AddDemand ------------------------------------------------------------------

void CAKBData::MergeDemand(const CAKBEintrag& span, bool continuous)
{
    const uint32_t p = PlanMinutes();
    if (p == 0)
        return;
    if (!NORMAL)
        Normalize(nullptr);
    const uint32_t b = span.TERMIN.BEGINN, e = span.TERMIN.ENDE;
    const unsigned n = span.ANZAHL;

    if (continuous) {
        if (e >= b && e - b >= p) {  // covers the whole plan
            SetRange(0, p, n);
            return;
        }
        uint32_t fb = Fold(b), fe = Fold(e);
        if (fe < fb) {  // runs over the end of the plan
            SetRange(0, fe, n);
            SetRange(fb, p, n);
        } else {
            SetRange(fb, fe, n);
        }
        return;
    }

    if (e < b) {
        // Reversed: taken as running over the end of the plan, each part as a daily window.
        uint32_t fb = Fold(b), fe = Fold(e);
        if (fe < fb) {
            MergeDemand({{0, fe}, span.ANZAHL}, false);
            MergeDemand({{fb, p}, span.ANZAHL}, false);
            return;
        }
        MergeDemand({{fb, fe}, span.ANZAHL}, false);
        return;
    }
    if (e == b)
        return;
    // The span's time of day repeated on every day from its first to its last day; a window over
    // midnight runs into the next day, and a day past the plan's end is the plan's first day.
    const uint32_t firstDay = DayOf(b), lastDay = (e - 1) / kDay + 1;
    const uint32_t from = b % kDay;
    uint32_t to = (e - 1) % kDay + 1;
    if (to < from)
        to += kDay;
    const uint32_t planDays = p / kDay;
    const uint32_t days = std::min(lastDay - firstDay + 1, planDays);
    for (uint32_t k = 0; k < days; ++k) {
        uint32_t d = (firstDay + k - 1) % planDays;  // 0-based day in the plan
        uint32_t pb = d * kDay + from, pe = d * kDay + to;
        if (pe > p) {
            SetRange(pb, p, n);
            SetRange(0, pe - p, n);
        } else {
            SetRange(pb, pe, n);
        }
    }
}

bool CAKBData::AddDemand(const CAKBEintrag& span)
{
    const uint32_t p = PlanMinutes();
    if (span.ANZAHL == 0 || p == 0)
        return false;
    if (!NORMAL)
        Normalize(nullptr);
    const uint32_t b = span.TERMIN.BEGINN, e = span.TERMIN.ENDE;
    if (e >= b && e - b >= p)
        return AddRange(0, p, span.ANZAHL);
    uint32_t fb = Fold(b), fe = Fold(e);
    if (fe < fb) {
        bool capped = AddRange(0, fe, span.ANZAHL);
        return AddRange(fb, p, span.ANZAHL) || capped;
    }
    return AddRange(fb, fe, span.ANZAHL);
}

// ---- Normalize ----------------------------------------------------------------------------------

// Where spans conflict: a span with count 0 erases the demand, else the new span wins, else the
// span that comes first in begin order (the one that was there before).
void CAKBData::Normalize(CAKBEintrag* newSpan)
{
    auto& rows = EINTRAEGE.Rows();
    for (AKBRow& r : rows)
        r.SORTFIELD = r.AKBEINTRAG->TERMIN.BEGINN;
    QueueSort(EINTRAEGE, {}, &AKBRow::SORTFIELD);

    struct Event {
        uint32_t at;
        bool start;
        size_t index;
    };
    std::vector<Event> events;
    events.reserve(rows.size() * 2);
    for (size_t i = 0; i < rows.size(); ++i) {
        const ::TERMIN& t = rows[i].AKBEINTRAG->TERMIN;
        if (t.BEGINN < t.ENDE) {
            events.push_back({t.BEGINN, true, i});
            events.push_back({t.ENDE, false, i});
        }
    }
    std::ranges::sort(events, {}, &Event::at);

    std::vector<Piece> pieces;
    std::set<size_t> active;  // old spans with demand, by list order
    int zeros = 0, news = 0;
    unsigned newCount = newSpan ? newSpan->ANZAHL : 0;
    for (size_t k = 0; k < events.size();) {
        uint32_t at = events[k].at;
        for (; k < events.size() && events[k].at == at; ++k) {
            const CAKBEintrag& s = *rows[events[k].index].AKBEINTRAG;
            int delta = events[k].start ? 1 : -1;
            if (s.ANZAHL == 0)
                zeros += delta;
            else if (&s == newSpan)
                news += delta;
            else if (events[k].start)
                active.insert(events[k].index);
            else
                active.erase(events[k].index);
        }
        if (k == events.size())
            break;
        unsigned n = zeros > 0 ? 0
                   : news > 0  ? newCount
                   : active.empty() ? 0
                                    : rows[*active.begin()].AKBEINTRAG->ANZAHL;
        if (n)
            pieces.push_back({at, events[k].at, n});
    }

    std::vector<Piece> normal = NormalForm(pieces);
    QueueFree(EINTRAEGE);
    rows.reserve(normal.size());
    for (const Piece& p : normal)
        rows.push_back(MakeRow(p));
    NORMAL = true;
    RecalcColumnSums();
}

// ---- Column sums --------------------------------------------------------------------------------

bool CAKBData::IsNormal() const
{
    const CAKBEintrag* prev = nullptr;
    for (const AKBRow& r : EINTRAEGE) {
        const CAKBEintrag& s = *r.AKBEINTRAG;
        if (s.TERMIN.BEGINN >= s.TERMIN.ENDE || s.ANZAHL == 0 ||
            DayOf(s.TERMIN.BEGINN) != DayOf(s.TERMIN.ENDE - 1) || DayOf(s.TERMIN.BEGINN) > AKB_TAGE)
            return false;
        if (prev && (prev->TERMIN.ENDE > s.TERMIN.BEGINN ||
                     (prev->TERMIN.ENDE == s.TERMIN.BEGINN && prev->ANZAHL == s.ANZAHL &&
                      s.TERMIN.BEGINN % kDay != 0)))
            return false;
        prev = &s;
    }
    return true;
}

void CAKBData::RecalcColumnSums()
{
    if (!NORMAL)
        NORMAL = IsNormal();
    DAYCOUNT.fill(0);
    for (const AKBRow& r : EINTRAEGE) {
        uint32_t day = DayOf(r.AKBEINTRAG->TERMIN.BEGINN);
        if (day <= AKB_TAGE)  // a span past the arrays can only come from a damaged file
            ++DAYCOUNT[day];
    }
    SumDayCounts();
}

void CAKBData::SumDayCounts()
{
    MAXZEILEN = 0;
    SPALTENSUMME[0] = 0;
    for (uint32_t d = 1; d <= AKB_TAGE; ++d) {
        MAXZEILEN = std::max(MAXZEILEN, DAYCOUNT[d]);
        SPALTENSUMME[d] = SPALTENSUMME[d - 1] + DAYCOUNT[d];
    }
}

void CAKBData::Clear()
{
    QueueFree(EINTRAEGE);
    SPALTENSUMME.fill(0);
    DAYCOUNT.fill(0);
    MAXZEILEN = 0;
    NORMAL = true;
}

// ---- Reference period, copy ---------------------------------------------------------------------

uint8_t CAKBData::SetBezugsrahmen(uint16_t weeks)
{
    weeks = std::min(weeks, AKB_MAX_WOCHEN);
    uint8_t result = STORE_DONE;
    if (weeks < BEZUGSRAHMEN) {
        const uint32_t lastDay = uint32_t(weeks) * 7;
        std::erase_if(EINTRAEGE.Rows(), [lastDay](const AKBRow& r) {
            return DayOf(r.AKBEINTRAG->TERMIN.BEGINN) > lastDay;
        });
        RecalcColumnSums();
        // Only while the part belongs to a project: a part without a table has nothing to save.
        if (SAVABLEMANAGER->FileManager().File()) {
            result = SAVABLEMANAGER->Save();
            if (result != STORE_DONE) {
                MessageRequest m;
                m.text = "Der gekürzte Arbeitskräftebedarf konnte nicht gespeichert werden.|"
                         "Die bisherigen Bearbeitungsschritte bleiben erhalten.";
                m.caption = "Speichern fehlgeschlagen";
                m.icon = MessageIcon::Exclamation;
                MessageShow(m);
            }
        }
    }
    BEZUGSRAHMEN = weeks;
    return result;
}

void CAKBData::ResetWeeks(uint16_t weeks)
{
    BEZUGSRAHMEN = std::min(weeks, AKB_MAX_WOCHEN);
}

void CAKBData::AfterLoad()
{
    if (IsNormal()) {
        NORMAL = true;
        RecalcColumnSums();
    } else {
        Normalize(nullptr);
    }
}

void CAKBData::CopyFrom(const CAKBData& source)
{
    if (&source == this)
        return;
    Clear();
    BEZUGSRAHMEN = source.BEZUGSRAHMEN;
    for (const AKBRow& r : source.EINTRAEGE)
        QueueAdd(EINTRAEGE, AKBRow{std::make_unique<CAKBEintrag>(*r.AKBEINTRAG), r.SORTFIELD});
    NORMAL = source.NORMAL;
    RecalcColumnSums();
}

// ---- Key figures ---------------------------------------------------------------------------------

void CAKBData::ComputeInfo(CAKBInfo& info) const
{
    info.Clear();
    uint64_t minutes = 0, personMinutes = 0;
    long count = 0;
    for (const AKBRow& r : EINTRAEGE) {
        const CAKBEintrag& s = *r.AKBEINTRAG;
        uint64_t length = s.TERMIN.ENDE > s.TERMIN.BEGINN ? s.TERMIN.ENDE - s.TERMIN.BEGINN : 0;
        minutes += length;
        personMinutes += length * s.ANZAHL;
        ++count;
    }
    // From the minute sums, so that many short spans do not pile up rounding errors.
    info.BSGESAMT = HoursFromMinutes(minutes);
    info.BMSGESAMT = HoursFromMinutes(personMinutes);

    if (Runtime::MayTouchModels()) {
        if (int window = WindowTarget())
            PropertySet(window, 0, Prop::StatusText,
                        "Anzahl Einträge im AKB: " + std::to_string(count), 1);
    }

    const Decimal weeks = Decimal::FromCents(int64_t(BEZUGSRAHMEN) * Decimal::kScale);
    info.BSPROWOCHE = Divide(info.BSGESAMT, weeks);
    info.BMSPROWOCHE = Divide(info.BMSGESAMT, weeks);
    info.BELEGSCHAFT = Divide(info.BMSGESAMT, info.BSGESAMT);
}

// ---- Step searches ---------------------------------------------------------------------------------

uint32_t CAKBData::WrapStamp(int64_t stamp) const
{
    int64_t p = PlanMinutes();
    int64_t m = stamp % p;
    return uint32_t(m < 0 ? m + p : m);
}

uint16_t CAKBData::PeakDemand(int64_t from, int64_t to) const
{
    const int64_t p = PlanMinutes();
    if (p == 0 || from >= to)
        return 0;
    to = std::min(to, from + p);  // a longer range meets every minute of the plan once anyway
    uint16_t peak = 0;
    // Piece by piece within one day, where the column sums find the day's spans.
    while (from < to) {
        const uint32_t a = WrapStamp(from);
        const uint32_t day = DayOf(a);
        const int64_t piece = std::min<int64_t>(to - from, int64_t(day) * kDay - a);
        const uint32_t b = uint32_t(a + piece);
        if (day <= AKB_TAGE)
            for (uint32_t pos = SPALTENSUMME[day - 1] + 1; pos <= SPALTENSUMME[day]; ++pos) {
                const CAKBEintrag* e = GetByIndex(long(pos));
                if (e && e->TERMIN.BEGINN < b && e->TERMIN.ENDE > a)
                    peak = std::max<uint16_t>(peak, e->ANZAHL);
            }
        from += piece;
    }
    return peak;
}

uint16_t CAKBData::DemandAt(uint16_t day, uint16_t step, uint16_t offset, uint16_t length) const
{
    if (PlanMinutes() == 0 || day == 0 || step == 0)
        return 0;
    const int64_t a = int64_t(day - 1) * kDay + offset + int64_t(step - 1) * length;
    return PeakDemand(a, a + length);
}

uint32_t CAKBData::FindFirstDemandStep(uint16_t day, uint16_t offset, uint16_t length) const
{
    if (PlanMinutes() == 0 || day == 0 || length == 0)
        return 0;
    const int64_t to = int64_t(day) * kDay + offset - length;
    for (int64_t m = int64_t(day - 1) * kDay + offset; m <= to; m += length)
        if (PeakDemand(m, m + length) > 0)
            return uint32_t(m);
    return 0;
}

uint32_t CAKBData::FindLastDemandStep(uint16_t day, uint16_t offset, uint16_t length) const
{
    if (PlanMinutes() == 0 || day == 0 || length == 0)
        return 0;
    const int64_t to = int64_t(day - 1) * kDay + offset + length;
    for (int64_t m = int64_t(day) * kDay + offset; m >= to; m -= length)
        if (PeakDemand(m - length, m) > 0)
            return uint32_t(m);
    return 0;
}

void ShowAKBCapMessage()
{
    MessageRequest m;
    m.text = "Der errechnete Arbeitskräftebedarf übersteigt an einigen Stellen 255 Personen.|"
             "Dort wurden 255 Personen eingetragen.";
    m.caption = "Arbeitskräftebedarf begrenzt";
    m.icon = MessageIcon::Exclamation;
    MessageShow(m);
}
