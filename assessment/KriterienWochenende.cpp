#include "assessment/KriterienWochenende.h"

#include "assessment/AZPBewertung.h"
#include "assessment/AZRManager.h"
#include "assessment/KriteriumMarker.h"
#include "assessment/RahmenbedingungRuhezeiten.h"
#include "assessment/RahmenbedingungWochenende.h"
#include "core/TimeHelpers.h"
#include "platform/ui/Window.h"
#include "platform/values/Picture.h"

#include <algorithm>
#include <limits>
#include <string>

namespace {

int64_t HoursToMinutes(const Decimal& hours) { return hours.Cents() * 60 / Decimal::kScale; }

int64_t Minutes(int32_t clock) { return int64_t(TimeToMinutesLong(clock)); }

// 5.3 days: the weekend rest's week begins on Tuesday 16:48, so the shifts of Monday and of
// Tuesday morning still belong to the weekend before them.
constexpr int64_t kWochenVersatz = 7632;

constexpr int kHellrosa = 14867710;  // red 254, green 220, blue 226
constexpr int kRot = 255;

bool HasRecordOf(const CSchichtNode& node, const CKriterium* criterion)
{
    const CVerstossliste& list = node.VERSTOSSLISTE;
    for (long k = 1; k <= list.Count(); ++k)
        if (list.At(k)->KRITERIUM == criterion)
            return true;
    return false;
}

// Whether the shift overlaps the window: IntervalOverlap(...) > 0, inline as it runs for every
// shift twice per check.
bool Overlaps(const ::TERMIN& t, int64_t from, int64_t to)
{
    if (to <= from)
        return false;
    const uint32_t b = uint32_t(from), e = uint32_t(to);
    return t.ENDE > b && e > t.BEGINN && std::min(t.ENDE, e) > std::max(t.BEGINN, b);
}

} // namespace

// ---- KR4 -------------------------------------------------------------------------------------

CKriteriumFreieSonntage::CKriteriumFreieSonntage()
{
    SetNummer(4);
    SetTableDivisor();
}

void CKriteriumFreieSonntage::Assign(const CKriterium& other, IKriterienPool* pool)
{
    CKriterium::Assign(other, pool);
    if (const auto* same = dynamic_cast<const CKriteriumFreieSonntage*>(&other)) {
        if (RB5 && same->RB5)
            RB5->Assign(*same->RB5);
        if (RB6 && same->RB6)
            RB6->Assign(*same->RB6);
    }
}

void CKriteriumFreieSonntage::Check(CAZPBewertung& evaluation, uint8_t)
{
    if (!RB5 || !RB6)
        return;
    VERSTOSSINFO record;
    record.KRITERIUM = this;
    record.TEXT = std::string();
    if (!evaluation.ERSTESCHICHT) {
        record.WERT = 0;
        record.INFO = kFreieSonntageLeererPlan;
        evaluation.AddVerstoss(1, record);
        return;
    }

    const long n = evaluation.CellCount();
    const uint32_t period = uint32_t(n) * kMinutesPerDay;
    const int64_t shift = Minutes(RB6->SAZ_VERSCHIEBUNG);
    // The Sunday of week 1, moved by up to the shift either way.
    int64_t frameBegin = 6 * int64_t(kMinutesPerDay) - shift;
    int64_t frameEnd = 7 * int64_t(kMinutesPerDay) + shift;

    // The rest running at the start of the cycle is the one after the cycle's last shift.
    ::TERMIN rest{}, folded{};
    auto restAfter = [&](const CSchichtNode& node) {
        rest = {node.TERMIN.ENDE, node.TERMIN.ENDE + node.RUHEZEIT};
        folded = rest.ENDE > period ? ::TERMIN{0, rest.ENDE - period} : ::TERMIN{};
    };
    restAfter(*evaluation.ERSTESCHICHT->PREVIOUS);

    long freeSundays = 0;
    bool free = false;
    for (long d = 1; d <= n; ++d) {
        if (const CSchichtNode* node = evaluation.GetNode(d); node && !node->IsPlaceholder())
            restAfter(*node);
        const ::TERMIN frame{uint32_t(std::max<int64_t>(0, frameBegin)), uint32_t(frameEnd)};
        if (RestOverlap(rest, frame, period) >= kMinutesPerDay
            || (folded.ENDE > 0 && RestOverlap(folded, frame, period) >= kMinutesPerDay))
            free = true;
        if (d % 7 == 0) {
            if (free)
                ++freeSundays;
            free = false;
            frameBegin += kMinutesPerWeek;
            frameEnd += kMinutesPerWeek;
        }
    }

    const uint32_t perYear = uint32_t(365000.0 / double(n) * double(freeSundays));
    record.WERT = perYear < uint32_t(RB5->FREIE_SONNTAGE) * 1000u ? 1 : 0;
    record.INFO = perYear;
    evaluation.AddVerstoss(1, record);
}

void CKriteriumFreieSonntage::ShowFreieSonntage(int window, int control, const VERSTOSSINFO* record)
{
    if (window == 0)
        return;
    if (!record) {
        PropertySet(window, control, Prop::Text, std::string(), 0);
        return;
    }
    PropertySet(window, control, Prop::Text, FormatPicture(double(record->INFO) / 1000.0, "@n3"), 0);
    const bool tooFew = record->WERT != 0;
    PropertySet(window, control, Prop::Color, tooFew ? kHellrosa : -1, 0);
    PropertySet(window, control, Prop::FontColor, tooFew ? kRot : -1, 0);
}

// ---- KR17 ------------------------------------------------------------------------------------

CKriteriumWochenende::CKriteriumWochenende()
{
    SetNummer(17);
    SetTableDivisor();
}

void CKriteriumWochenende::Assign(const CKriterium& other, IKriterienPool* pool)
{
    CKriterium::Assign(other, pool);
    if (const auto* same = dynamic_cast<const CKriteriumWochenende*>(&other); same && RB17 && same->RB17)
        RB17->Assign(*same->RB17);
}

int64_t CKriteriumWochenende::WeekOf(int64_t begin) { return (begin + kWochenVersatz) / kMinutesPerWeek; }

CKriteriumWochenende::Fenster CKriteriumWochenende::WindowsOf(int64_t week) const
{
    const int64_t begin = (int64_t(RB17->WE_ANFANGSTAG) - 1) * kMinutesPerDay + Minutes(RB17->WE_ANFANGSZEIT);
    int64_t end = (int64_t(RB17->WE_ENDTAG) - 1) * kMinutesPerDay + Minutes(RB17->WE_ENDZEIT);
    if (RB17->WE_ENDTAG < RB17->WE_ANFANGSTAG)
        end += kMinutesPerWeek;
    const int64_t offset = (week - 1) * int64_t(kMinutesPerWeek);
    // Signed throughout: in week 0 (and for a weekend reaching back into the week before) the
    // windows would lie before the cycle's start; they are cut at 0.
    auto at = [offset](int64_t minute) { return std::max<int64_t>(0, minute + offset); };
    return {at(begin), at(begin + duration_), at(end - duration_), at(end)};
}

void CKriteriumWochenende::Judge(int64_t week)
{
    if (!early_.empty() && !late_.empty() && late_.front().time - early_.back().time < duration_) {
        // One violation for the weekend, shown on every shift involved.
        const int64_t weeks = int64_t(counted_.size());
        uint8_t& counted = counted_[std::size_t((week % weeks + weeks) % weeks)];
        uint32_t amount = counted ? 0 : 1;
        counted = 1;
        auto mark = [&](CSchichtNode* node) {
            if (HasRecordOf(*node, this))
                return;  // a shift in both lists is marked once
            node->VERSTOSSLISTE.Add(this, POSITION_EINZELN, amount);
            amount = 0;
        };
        for (const Eintrag& e : early_)
            mark(e.node);
        for (const Eintrag& b : late_)
            mark(b.node);
    }
    early_.clear();
    late_.clear();
}

void CKriteriumWochenende::Check(CAZPBewertung& evaluation, uint8_t)
{
    CSchichtNode* const first = evaluation.ERSTESCHICHT;
    if (!RB17 || !first)
        return;
    duration_ = HoursToMinutes(RB17->WE_DAUER_MIN);
    const uint32_t cycle = uint32_t(evaluation.CellCount()) * kMinutesPerDay;
    early_.clear();
    late_.clear();
    counted_.assign(std::size_t(std::max<long>(1, evaluation.CellCount() / 7)), 0);

    // Once round the cycle, then once more so that the weekend over the cycle's end sees the first
    // shift of the next cycle.
    //
    // In the second round only two runs of shifts can be judged differently from the first: the
    // one behind the first shift (which is now seen a cycle later) and the last one (whose shifts
    // the weekend over the cycle's end may have marked). Every run between them meets the same
    // unmarked shifts as before - none again when it was marked - so the second round jumps
    // from the end of the first run to the start of the last.
    constexpr int64_t kNoWeek = std::numeric_limits<int64_t>::min();
    long lastRunLength = 1;
    CSchichtNode* lastRun = first->PREVIOUS;
    if (lastRun != first) {
        const int64_t lastWeek = WeekOf(lastRun->TERMIN.BEGINN);
        while (lastRun->PREVIOUS != first && WeekOf(lastRun->PREVIOUS->TERMIN.BEGINN) == lastWeek) {
            lastRun = lastRun->PREVIOUS;
            ++lastRunLength;
        }
    }
    long count = 0;        // shifts in the round
    long index = 0;        // the node's place in the second round (the first shift is 0)
    long lastRunStart = 0;  // where the last run begins in the second round
    bool jumped = false;

    int64_t week = kNoWeek;
    Fenster windows{};
    CSchichtNode* node = first;
    int returns = 0;
    for (;;) {
        ::TERMIN t = node->TERMIN;
        if (node == first && returns == 1) {
            t.BEGINN += cycle;
            t.ENDE += cycle;
        }
        if (const int64_t w = WeekOf(t.BEGINN); w != week) {
            Judge(week);
            week = w;
            windows = WindowsOf(w);
        }
        // The windows first: most shifts lie outside both, and their record lists need not be
        // read at all.
        const bool inEarly = Overlaps(t, windows.earlyBegin, windows.earlyEnd);
        const bool inLate = Overlaps(t, windows.lateBegin, windows.lateEnd);
        if ((inEarly || inLate) && !HasRecordOf(*node, this)) {
            if (inEarly)
                early_.push_back({node, int64_t(t.ENDE)});
            if (inLate)
                late_.push_back({node, int64_t(t.BEGINN)});
        }
        CSchichtNode* const next = node->NEXT;
        if (returns == 0) {
            ++count;
        } else if (!jumped && index >= 1 && next != first && index + 1 < lastRunStart
                   && WeekOf(next->TERMIN.BEGINN) != week) {
            Judge(week);
            week = kNoWeek;
            node = lastRun;
            index = lastRunStart;
            jumped = true;
            continue;
        } else {
            ++index;
        }
        node = next;
        if (node == first && ++returns == 1)
            lastRunStart = count - lastRunLength;
        if (node == first && returns == 2) {
            Judge(week);
            break;
        }
    }
}

bool CKriteriumWochenende::CheckChange(const CAZPBewertung& candidate, std::span<const long> changed,
                                       CAZPAenderung& out)
{
    const long n = candidate.CellCount();
    if (!RB17 || !candidate.ERSTESCHICHT || !base_ || base_->CellCount() != n)
        return true;
    duration_ = HoursToMinutes(RB17->WE_DAUER_MIN);
    const int64_t weeks = std::max<long>(1, n / 7);
    int64_t groups[4];
    std::size_t count = 0;
    for (long x : changed) {
        for (const CAZPBewertung* e : {base_, &candidate}) {
            const CSchichtNode* node = e->GetNode(x);
            if (!node || node->IsPlaceholder())
                continue;
            const int64_t w = WeekOf(node->TERMIN.BEGINN);
            if (w < 2 || w > weeks - 2)
                return false;
            if (std::find(groups, groups + count, w) == groups + count && count < std::size(groups))
                groups[count++] = w;
        }
    }
    // Each week's shifts judged as the walk's first round judges them.
    struct Mark {
        long cell;
        uint32_t amount;
    };
    Mark marks[64];
    std::size_t marked = 0;
    long cells[64];
    std::size_t cellCount = 0;
    for (std::size_t g = 0; g < count; ++g) {
        const int64_t w = groups[g];
        const Fenster windows = WindowsOf(w);
        const int64_t from = w * int64_t(kMinutesPerWeek) - kWochenVersatz;
        const long first = std::max<long>(1, long(from / kMinutesPerDay) + 1);
        const long last = std::min<long>(n, long((from + kMinutesPerWeek - 1) / kMinutesPerDay) + 1);
        Eintrag early[16], late[16];
        std::size_t earlyCount = 0, lateCount = 0;
        for (long c = first; c <= last; ++c) {
            const CSchichtNode* before = base_->GetNode(c);
            const CSchichtNode* node = candidate.GetNode(c);
            const bool inBase = before && !before->IsPlaceholder() && WeekOf(before->TERMIN.BEGINN) == w;
            const bool inCandidate = node && !node->IsPlaceholder() && WeekOf(node->TERMIN.BEGINN) == w;
            if (cellCount == std::size(cells) || earlyCount == std::size(early) || lateCount == std::size(late))
                return false;  // more than a week's cells hold: not met with shifts of a day at most
            if (inBase || inCandidate)
                cells[cellCount++] = c;
            if (!inCandidate)
                continue;
            const ::TERMIN t = node->TERMIN;
            if (Overlaps(t, windows.earlyBegin, windows.earlyEnd))
                early[earlyCount++] = {const_cast<CSchichtNode*>(node), int64_t(t.ENDE)};
            if (Overlaps(t, windows.lateBegin, windows.lateEnd))
                late[lateCount++] = {const_cast<CSchichtNode*>(node), int64_t(t.BEGINN)};
        }
        if (earlyCount > 0 && lateCount > 0 && late[0].time - early[earlyCount - 1].time < duration_) {
            uint32_t amount = 1;
            const auto mark = [&](const Eintrag& e) {
                const long cell = long(MinuteStampDay(e.node->TERMIN.BEGINN));
                for (std::size_t k = 0; k < marked; ++k)
                    if (marks[k].cell == cell)
                        return;
                marks[marked++] = {cell, amount};
                amount = 0;
            };
            for (std::size_t k = 0; k < earlyCount; ++k)
                mark(early[k]);
            for (std::size_t k = 0; k < lateCount; ++k)
                mark(late[k]);
        }
    }
    SortCells(cells, cells + cellCount);
    for (std::size_t i = 0; i < cellCount; ++i) {
        if (i > 0 && cells[i] == cells[i - 1])
            continue;
        out.BeginCell(cells[i]);
        for (std::size_t k = 0; k < marked; ++k)
            if (marks[k].cell == cells[i])
                out.Add(marks[k].amount);
    }
    return true;
}

void CKriteriumWochenende::Paint(long, const VERSTOSSINFO&, const GridDC& dc, int left, int top, int width,
                                 int height)
{
    PaintMarkerIcon(dc, left + width / 2 - kMarkerIconSize / 2, top + height - kMarkerIconSize, "KR_WE_ico");
}
