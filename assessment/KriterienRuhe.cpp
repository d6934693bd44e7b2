#include "assessment/KriterienRuhe.h"

#include "assessment/AZPBewertung.h"
#include "assessment/KriteriumMarker.h"
#include "assessment/RahmenbedingungRuhezeiten.h"
#include "assessment/Ruhezeiten.h"
#include "core/Schicht.h"
#include "core/TimeHelpers.h"
#include "platform/ui/Window.h"
#include "platform/values/Picture.h"

#include <algorithm>
#include <string>

namespace {

constexpr int kRot = 255;
constexpr int kGruen = 32768;
constexpr int kDunkelblau = 8388608;
constexpr const char* kStundenBild = "@N6.`2";

// Minutes of a number of hours with two places.
int64_t HoursToMinutes(const Decimal& hours) { return hours.Cents() * 60 / Decimal::kScale; }

bool IsHours(const Decimal& hours, int64_t whole) { return hours.Cents() == whole * Decimal::kScale; }

int64_t Minutes(int32_t clock) { return int64_t(TimeToMinutesLong(clock)); }

long DayOf(uint32_t stamp) { return long(stamp / kMinutesPerDay) + 1; }

// 1 .. n for any day number (past the cycle's end: the same day of the next cycle). A rest ends
// within the cycle or the next one: that needs no division.
long CycleDay(long day, long n)
{
    if (day >= 1 && day <= n)
        return day;
    if (day > n && day <= 2 * n)
        return day - n;
    return ((day - 1) % n + n) % n + 1;
}

// The cell after cell c (1 .. n) round the cycle.
long NextCycleCell(long c, long n) { return c == n ? 1 : c + 1; }

// The cells KR2 marks for a rest period: its first day and its last; a rest within one day puts
// the first mark on the day before (the shift that ended).
void RestPeriodCells(const ::TERMIN& rest, long n, long& first, long& last)
{
    last = CycleDay(DayOf(rest.ENDE), n);
    first = CycleDay(DayOf(rest.BEGINN), n);
    if (first == last)
        first = CycleDay(last - 1, n);
}

// Hours as the grid shows a rest: "10,50".
std::string HoursText(uint32_t minutes) { return FormatPicture(double(minutes) / 60.0, kStundenBild); }

// A text on one line centred in the rectangle of a cell's width that begins in the middle of the
// cell, so that it stands across the border to the next cell.
void PaintBorderText(const GridDC& dc, int left, int top, int width, const std::string& text, int color)
{
    Painter(dc.window, dc.control)
        .Text(left + width / 2, top, width, 15, text, color, kMarkerTextFormat, kMarkerFontName, kMarkerFontSize);
}

template <class T>
void AssignLinked(T* target, const T* source)
{
    if (target && source)
        target->Assign(*source);
}

} // namespace

// ---- KR2 -------------------------------------------------------------------------------------

CKriteriumRuhezeit::CKriteriumRuhezeit()
{
    SetNummer(2);
    SetTableDivisor();
}

void CKriteriumRuhezeit::Assign(const CKriterium& other, IKriterienPool* pool)
{
    CKriterium::Assign(other, pool);
    if (const auto* same = dynamic_cast<const CKriteriumRuhezeit*>(&other)) {
        AssignLinked(RB4, same->RB4);
        AZRMGR.CopyFrom(same->AZRMGR);
    }
}

void CKriteriumRuhezeit::Check(CAZPBewertung& evaluation, uint8_t quick)
{
    CRuhezeiten& rests = evaluation.GetRuhezeiten();
    AZRMGR.Clear();
    if (!rests.ERSTERUHEZEIT || !RB4)
        return;
    const int64_t minimum = Minutes(RB4->RZ_DAUER_OHNE_AUSGLEICH);
    const int64_t shortened = Minutes(RB4->RZ_DAUER_MIT_AUSGLEICH);
    const long n = rests.ANZAHLTAGE;

    CRuhezeitNode* r = rests.ERSTERUHEZEIT;
    do {
        const int64_t a = r->AUSGLEICHSRUHEZEIT;
        if (!r->MRZ_OK && a < minimum) {
            uint8_t compensated = 0;
            if (quick == 0 && RB4->RZ_DAUER_MIT_AUSGLEICH > 0 && a >= shortened)
                compensated = FindCompensation(DayOf(r->TERMIN.BEGINN), a, rests);
            long first = 0, last = 0;
            RestPeriodCells(r->TERMIN, n, first, last);
            const uint32_t amount = compensated ? 0 : uint32_t(minimum - a);
            evaluation.AddVerstoss(first, this, POSITION_ANFANG, amount, uint32_t(a));
            evaluation.AddVerstoss(last, this, POSITION_ENDE, amount, uint32_t(a));
        }
        r = r->NEXT;
    } while (r != rests.ERSTERUHEZEIT);
    AZRMGR.Clear();
}

void CKriteriumRuhezeit::RestCells(const CSchichtNode& node, long n, long& first, long& last)
{
    RestPeriodCells({node.TERMIN.ENDE, node.TERMIN.ENDE + node.RUHEZEIT}, n, first, last);
}

bool CKriteriumRuhezeit::CheckChange(const CAZPBewertung& candidate, std::span<const long> changed,
                                     CAZPAenderung& out)
{
    const long n = candidate.CellCount();
    if (!candidate.ERSTESCHICHT || !RB4 || !base_ || n < 1 || base_->CellCount() != n)
        return true;
    const int64_t minimum = Minutes(RB4->RZ_DAUER_OHNE_AUSGLEICH);
    // The cells of the rests that may differ, in the base and in the candidate, where they are
    // short: a rest long enough in both plans marks nothing in either, and every other rest and
    // its records stay as they were.
    long cells[24];
    std::size_t count = 0;
    const auto restOf = [&](const CAZPBewertung& e, long cell) {
        if (!e.Worked(cell))
            return;
        const CSchichtNode* node = e.GetNode(cell);
        if (int64_t(node->RUHEZEIT) >= minimum || count + 2 > std::size(cells))
            return;
        long first = 0, last = 0;
        RestCells(*node, n, first, last);
        cells[count++] = first;
        cells[count++] = last;
    };
    for (long x : changed) {
        if (x < 1 || x > n)
            continue;
        const auto [inBase, inCandidate] = base_->PreviousWorkedCells(x, candidate, changed);
        restOf(*base_, x);
        if (inBase)
            restOf(*base_, inBase);
        restOf(candidate, x);
        if (inCandidate)
            restOf(candidate, inCandidate);
    }
    SortCells(cells, cells + count);
    count = std::size_t(std::unique(cells, cells + count) - cells);
    // The short rests that can mark these cells: after the shifts of the days around each and
    // after the shift before each one's, each shift once, in the check's order (that of their
    // shifts' cells).
    struct Short {
        long cell, first, last;
        uint32_t amount;
    };
    Short shorts[4 * std::size(cells)];
    std::size_t shortCount = 0;
    const auto consider = [&](const CSchichtNode* around) {
        if (!around || around->IsPlaceholder() || int64_t(around->RUHEZEIT) >= minimum)
            return;
        const long cell = long(MinuteStampDay(around->TERMIN.BEGINN));
        for (std::size_t k = 0; k < shortCount; ++k)
            if (shorts[k].cell == cell)
                return;
        const CSchichtNode& node = *candidate.GetNode(cell);
        const int64_t a = node.RUHEZEIT;
        if (a >= minimum)
            return;
        Short& s = shorts[shortCount++];
        s.cell = cell;
        s.amount = uint32_t(minimum - a);
        RestCells(node, n, s.first, s.last);
    };
    for (std::size_t i = 0; i < count; ++i) {
        const long c = cells[i];
        const CSchichtNode* at = candidate.GetNode(c);
        consider(candidate.GetNode(c == 1 ? n : c - 1));
        consider(at);
        consider(candidate.GetNode(NextCycleCell(c, n)));
        if (at && !at->IsPlaceholder())
            consider(at->PREVIOUS);
    }
    for (std::size_t k = 1; k < shortCount; ++k)
        for (std::size_t j = k; j > 0 && shorts[j - 1].cell > shorts[j].cell; --j)
            std::swap(shorts[j - 1], shorts[j]);
    for (std::size_t i = 0; i < count; ++i) {
        const long c = cells[i];
        out.BeginCell(c);
        for (std::size_t k = 0; k < shortCount; ++k) {
            if (shorts[k].first == c)
                out.Add(shorts[k].amount);
            if (shorts[k].last == c)
                out.Add(shorts[k].amount);
        }
    }
    return true;
}

bool CKriteriumRuhezeit::ChangeAmounts(const CAZPBewertung& candidate, std::span<const long> changed,
                                      AZPAmountChange& out)
{
    const long n = candidate.CellCount();
    if (!candidate.ERSTESCHICHT || !RB4 || !base_ || n < 1 || base_->CellCount() != n)
        return true;
    const int64_t minimum = Minutes(RB4->RZ_DAUER_OHNE_AUSGLEICH);
    // The shifts whose rest may differ, per plan, each once: the changed cells' and those
    // before them.
    long seen[2][4];
    std::size_t count[2] = {};
    const auto rest = [&](std::size_t side, const CAZPBewertung& e, long cell, uint64_t& sum) {
        if (cell == 0 || !e.Worked(cell))
            return;
        for (std::size_t k = 0; k < count[side]; ++k)
            if (seen[side][k] == cell)
                return;
        if (count[side] < std::size(seen[side]))
            seen[side][count[side]++] = cell;
        const int64_t a = e.GetNode(cell)->RUHEZEIT;
        if (a < minimum) {
            sum += 2 * uint64_t(minimum - a);
            out.records += 2;
        }
    };
    for (long x : changed) {
        if (x < 1 || x > n)
            continue;
        const auto [inBase, inCandidate] = base_->PreviousWorkedCells(x, candidate, changed);
        rest(0, *base_, x, out.dropped);
        rest(0, *base_, inBase, out.dropped);
        rest(1, candidate, x, out.added);
        rest(1, candidate, inCandidate, out.added);
    }
    return true;
}

uint8_t CKriteriumRuhezeit::FindCompensation(long day, int64_t shortRest, CRuhezeiten& rests)
{
    if (!RB4 || RB4->RZ_AUSGLEICHSZEITRAUM == 0)
        return 0;
    const int64_t minimum = Minutes(RB4->RZ_DAUER_OHNE_AUSGLEICH);
    AZRMGR.Collect(day, long(RB4->RZ_AUSGLEICHSZEITRAUM) * 7, rests, uint32_t(minimum + 1));
    const int64_t need = 2 * minimum - shortRest;  // the minimum plus the shortfall
    for (CRuhezeitNode* c = AZRMGR.FindFirst(need); c; c = AZRMGR.FindNext(need)) {
        if (c->AUSGLEICHSRUHEZEIT > 0) {
            AZRMGR.ConsumeCurrent();
            return 1;
        }
    }
    return 0;
}

void CKriteriumRuhezeit::Paint(long, const VERSTOSSINFO& record, const GridDC& dc, int left, int top, int width,
                               int height)
{
    const bool green = record.WERT == 0;
    const std::string right = green ? "RightArrowGrn_ico" : "RightArrow_ico";
    const std::string leftArrow = green ? "LeftArrowGrn_ico" : "LeftArrow_ico";
    const int y = top + height / 2 - kMarkerIconSize / 2;
    const int color = green ? kGruen : kRot;
    switch (record.POSITION) {
    case POSITION_ANFANG:
        PaintMarkerIcon(dc, left + width - kMarkerIconSize, y, right);
        PaintBorderText(dc, left, top, width, HoursText(record.INFO), color);
        break;
    case POSITION_ENDE:
        PaintMarkerIcon(dc, left, y, leftArrow);
        break;
    case POSITION_EINZELN:
        PaintMarkerIcon(dc, left - kMarkerIconSize, y, right);
        PaintMarkerIcon(dc, left, y, leftArrow);
        PaintBorderText(dc, left - width, top, width, HoursText(record.INFO), color);
        break;
    default:
        break;
    }
}

// ---- KR3 -------------------------------------------------------------------------------------

CKriteriumSonntagsruhe::CKriteriumSonntagsruhe()
{
    SetNummer(3);
    SetTableDivisor();
}

void CKriteriumSonntagsruhe::Assign(const CKriterium& other, IKriterienPool* pool)
{
    CKriterium::Assign(other, pool);
    if (const auto* same = dynamic_cast<const CKriteriumSonntagsruhe*>(&other))
        AssignLinked(RB6, same->RB6);
    KR2 = nullptr;
}

void CKriteriumSonntagsruhe::Check(CAZPBewertung& evaluation, uint8_t)
{
    if (!RB6 || !KR2 || !KR2->RB4 || !evaluation.ERSTESCHICHT)
        return;
    const CRahmenbedingungMindestruhezeit& rb4 = *KR2->RB4;
    CRuhezeiten& rests = evaluation.GetRuhezeiten();
    const long n = evaluation.CellCount();
    weeks_ = n / 7;
    period_ = uint32_t(n) * kMinutesPerDay;
    shift_ = Minutes(RB6->SAZ_VERSCHIEBUNG);
    // A shortened rest that KR2 allows with compensation shortens the weekly rest too, unless the
    // weekly rest is the bare day.
    const int64_t shortening = rb4.RZ_DAUER_MIT_AUSGLEICH != 0
                                   ? Minutes(rb4.RZ_DAUER_OHNE_AUSGLEICH - rb4.RZ_DAUER_MIT_AUSGLEICH)
                                   : 0;
    const int64_t weekly = HoursToMinutes(RB6->WRZ_DAUER_MIN);
    substitute_ = HoursToMinutes(RB6->ERSATZ_WRZ_DAUER_MIN);
    need2_ = std::max<int64_t>(0, IsHours(RB6->ERSATZ_WRZ_DAUER_MIN, 24) ? substitute_ : substitute_ - shortening);
    booking_ = std::max<int64_t>(0, substitute_ - kMinutesPerDay);

    // KR2's queue may hold rests of an earlier evaluation when KR2 did not run since.
    KR2->AZRMGR.Clear();
    withoutRest_.clear();
    shortRest_.clear();
    for (long w = 1; w <= weeks_; ++w) {
        const uint32_t sundayBegin = uint32_t(7 * w - 1) * kMinutesPerDay;
        const uint32_t sundayEnd = uint32_t(7 * w) * kMinutesPerDay;
        CRuhezeitNode* r = rests.FindAt({sundayBegin, sundayEnd});
        if (!r) {
            withoutRest_.push_back({w, 0});
            continue;
        }
        const ::TERMIN frame{uint32_t(std::max<int64_t>(0, int64_t(sundayBegin) - shift_)),
                             uint32_t(int64_t(sundayEnd) + shift_)};
        if (RestOverlap(r->TERMIN, frame, period_) < kMinutesPerDay) {
            withoutRest_.push_back({w, int64_t(IntervalDuration(r->TERMIN)) - kMinutesPerDay});
            continue;
        }
        const int64_t rz = r->RUHEZEIT;
        r->Compensate(1, uint32_t(booking_));
        if (rz < weekly)
            shortRest_.push_back({w, rz - kMinutesPerDay});
    }

    for (const Woche& w : withoutRest_) {
        VERSTOSSINFO record;
        record.KRITERIUM = this;
        if (FindSubstituteDay(w.week, rests)) {
            record.WERT = 0;
            record.TEXT = "0";
        } else {
            record.WERT = 1;
            record.TEXT = std::to_string(w.rest);
        }
        evaluation.AddVerstoss(7 * w.week, record);
    }

    for (const Woche& w : shortRest_) {
        const bool compensated = rb4.RZ_DAUER_MIT_AUSGLEICH > 0 && w.rest >= Minutes(rb4.RZ_DAUER_MIT_AUSGLEICH)
                                 && KR2->FindCompensation(7 * w.week, w.rest, rests) != 0;
        evaluation.AddVerstoss(7 * w.week, KR2, POSITION_EINZELN, compensated ? 0 : 1,
                               uint32_t(std::max<int64_t>(0, w.rest)));
    }
    KR2->AZRMGR.Clear();
}

bool CKriteriumSonntagsruhe::FindSubstituteDay(long week, CRuhezeiten& rests)
{
    const long weeks = long(RB6->SAZ_AUSGLEICHSZEITRAUM);
    if (weeks_ <= 0 || weeks <= 0)
        return false;
    // From half the period before the week on, twice the period (wrapping after the last week).
    const long from = week + weeks_ - (weeks + 1) / 2;
    for (long k = 0; k < 2 * weeks; ++k)
        if (TryWeek(CycleDay(from + k, weeks_), rests))
            return true;
    return false;
}

bool CKriteriumSonntagsruhe::TryWeek(long week, CRuhezeiten& rests)
{
    const long firstDay = (week - 1) * 7 + 1;
    const ::TERMIN days{uint32_t(firstDay - 1) * kMinutesPerDay, uint32_t(7 * week) * kMinutesPerDay};
    CRuhezeitNode* const start = rests.FindRange(uint32_t(firstDay), uint32_t(7 * week), uint32_t(need2_));
    CRuhezeitNode* r = start;
    while (r) {
        if (TryRest(*r, week, rests))
            return true;
        r = r->NEXT;
        if (r == start || RestOverlap(r->TERMIN, days, period_) == 0 || int64_t(r->RUHEZEIT) < need2_)
            break;
    }
    return false;
}

bool CKriteriumSonntagsruhe::TryRest(CRuhezeitNode& r, long week, CRuhezeiten& rests)
{
    const long firstDay = (week - 1) * 7 + 1;
    const long sunday = 7 * week;
    const long beginDay = DayOf(r.TERMIN.BEGINN);
    // A rest that begins on the Sunday or later reaches into this week over the cycle's end.
    const long from = beginDay >= sunday ? firstDay : std::max(beginDay, firstDay);
    for (long d = from; d <= sunday; ++d) {
        const ::TERMIN day{uint32_t(d - 1) * kMinutesPerDay, uint32_t(d) * kMinutesPerDay};
        const int64_t covered = RestOverlap(r.TERMIN, day, period_);
        if (covered == 0)
            return false;
        if (d % 7 == 0)
            continue;
        if (covered < int64_t(kMinutesPerDay) - shift_)
            continue;
        const CRuhezeitNode before = r;
        r.Compensate(1, uint32_t(booking_));
        const int64_t remaining = r.AUSGLEICHSRUHEZEIT;
        if (remaining >= substitute_ - kMinutesPerDay
            || KR2->FindCompensation(d, remaining - kMinutesPerDay, rests) != 0)
            return true;
        r.RUHEZEIT = before.RUHEZEIT;
        r.AUSGLEICHSRUHEZEIT = before.AUSGLEICHSRUHEZEIT;
        r.MRZ_OK = before.MRZ_OK;
        r.ANZAHLRUHETAGE = before.ANZAHLRUHETAGE;
    }
    return false;
}

void CKriteriumSonntagsruhe::Paint(long, const VERSTOSSINFO& record, const GridDC& dc, int left, int top, int width,
                                   int height)
{
    const int color = record.WERT == 0 ? kGruen : kRot;
    PaintMarkerLine(dc, color, left, top, left + width, top + height);
    PaintMarkerLine(dc, color, left, top + height, left + width, top);
}

// ---- KR5 -------------------------------------------------------------------------------------

CKriteriumNachtFrueh::CKriteriumNachtFrueh()
{
    SetNummer(5);
    SetTableDivisor();
}

void CKriteriumNachtFrueh::Check(CAZPBewertung& evaluation, uint8_t)
{
    if (!RB21 || !evaluation.ERSTESCHICHT)
        return;
    const int64_t need = HoursToMinutes(RB21->RZNACHTARBEIT_MIN);
    const long n = evaluation.CellCount();
    CSchichtNode* node = evaluation.ERSTESCHICHT;
    do {
        if (node->SCHICHT && node->SCHICHT->SCHICHTLAGE == LAGE_NACHT && int64_t(node->RUHEZEIT) < need) {
            const long next = DayOf(node->TERMIN.BEGINN) % n + 1;
            // A placeholder that an earlier criterion put on the free day holds no shift: the
            // day is still free.
            const CSchichtNode* following = evaluation.GetNode(next);
            if (!following || following->IsPlaceholder())
                evaluation.AddVerstoss(next, this, POSITION_EINZELN, uint32_t(need - node->RUHEZEIT));
        }
        node = node->NEXT;
    } while (node != evaluation.ERSTESCHICHT);
}

bool CKriteriumNachtFrueh::RecordAt(const CAZPBewertung& evaluation, long c, int64_t need, uint32_t& amount) const
{
    const long n = evaluation.CellCount();
    const CSchichtNode* night = evaluation.GetNode(c == 1 ? n : c - 1);
    if (!night || night->IsPlaceholder() || night->SCHICHT->SCHICHTLAGE != LAGE_NACHT ||
        int64_t(night->RUHEZEIT) >= need || evaluation.Worked(c))
        return false;
    amount = uint32_t(need - night->RUHEZEIT);
    return true;
}

bool CKriteriumNachtFrueh::CheckChange(const CAZPBewertung& candidate, std::span<const long> changed,
                                       CAZPAenderung& out)
{
    const long n = candidate.CellCount();
    if (!RB21 || !candidate.ERSTESCHICHT || !base_ || base_->CellCount() != n)
        return true;
    const int64_t need = HoursToMinutes(RB21->RZNACHTARBEIT_MIN);
    long cells[8];
    std::size_t count = 0;
    for (long x : changed) {
        if (x < 1 || x > n || count + 4 > std::size(cells))
            continue;
        cells[count++] = x;
        cells[count++] = NextCycleCell(x, n);
        // The shift before x rests up to x's shift, or past it when x is free.
        const auto [inBase, inCandidate] = base_->PreviousWorkedCells(x, candidate, changed);
        if (inBase)
            cells[count++] = NextCycleCell(inBase, n);
        if (inCandidate)
            cells[count++] = NextCycleCell(inCandidate, n);
    }
    SortCells(cells, cells + count);
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0 && cells[i] == cells[i - 1])
            continue;
        // A cell with the same record in both plans (or none in either) keeps the base's.
        uint32_t amount = 0, before = 0;
        const bool record = RecordAt(candidate, cells[i], need, amount);
        if (record == RecordAt(*base_, cells[i], need, before) && amount == before)
            continue;
        out.BeginCell(cells[i]);
        if (record)
            out.Add(amount);
    }
    return true;
}

void CKriteriumNachtFrueh::Paint(long, const VERSTOSSINFO&, const GridDC& dc, int left, int top, int width,
                                 int height)
{
    PaintMarkerText(dc, left, top, width, height, "N - F");
}

// ---- KR18 ------------------------------------------------------------------------------------

CKriteriumRuhezeitAnzeige::CKriteriumRuhezeitAnzeige()
{
    SetNummer(18);
    SetTableDivisor();
}

void CKriteriumRuhezeitAnzeige::Assign(const CKriterium& other, IKriterienPool* pool)
{
    CKriterium::Assign(other, pool);
    if (const auto* same = dynamic_cast<const CKriteriumRuhezeitAnzeige*>(&other))
        AssignLinked(RB22, same->RB22);
}

void CKriteriumRuhezeitAnzeige::Check(CAZPBewertung& evaluation, uint8_t)
{
    if (!RB22 || !evaluation.ERSTESCHICHT)
        return;
    const int64_t from = HoursToMinutes(RB22->RZANZEIGE_MIN);
    CSchichtNode* node = evaluation.ERSTESCHICHT;
    do {
        if (int64_t(node->RUHEZEIT) >= from)
            node->VERSTOSSLISTE.AddWithText(this, node->RUHEZEIT, POSITION_EINZELN, {}, true, true);
        node = node->NEXT;
    } while (node != evaluation.ERSTESCHICHT);
}

void CKriteriumRuhezeitAnzeige::Paint(long, const VERSTOSSINFO& record, const GridDC& dc, int left, int top,
                                      int width, int)
{
    PaintBorderText(dc, left, top, width, HoursText(record.WERT), kDunkelblau);
}
