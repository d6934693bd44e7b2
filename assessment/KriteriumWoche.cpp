#include "assessment/KriteriumWoche.h"

#include "assessment/AZPBewertung.h"
#include "assessment/RahmenbedingungArbeitszeit.h"
#include "assessment/SchichtNode.h"
#include "core/TimeHelpers.h"

#include <algorithm>

namespace {

long CellOf(const CSchichtNode& node) { return long(MinuteStampDay(node.TERMIN.BEGINN)); }

bool Worked(const CSchichtNode* node) { return node && !node->IsPlaceholder(); }

uint16_t Clamp16(long minutes) { return uint16_t(std::clamp<long>(minutes, 0, UINT16_MAX)); }

} // namespace

int32_t CKriteriumWoche::Wochenbeginn() const { return RB15 ? RB15->WOCHENBEGINN : 0; }

void CKriteriumWoche::SetRahmenbedingung(CRahmenbedingungWAZMittel* rb15)
{
    RB15 = rb15;
    if (Wochenbeginn() == 0)
        return;
    const uint32_t t = TimeToMinutes(Wochenbeginn());
    SONNTAG = {6 * kMinutesPerDay, kMinutesPerWeek + t};
    MONTAG = {(kMinutesPerWeek + t) % kMinutesPerWeek, kMinutesPerDay};
}

void CKriteriumWoche::Assign(const CKriterium& other, IKriterienPool* pool)
{
    CKriterium::Assign(other, pool);
    if (const auto* same = dynamic_cast<const CKriteriumWoche*>(&other); same && same->RB15 && RB15)
        RB15->Assign(*same->RB15);
}

long CKriteriumWoche::OwnMinutes(const CSchichtNode& node, long d) const
{
    const long breaks = long(node.AZGESAMT) - long(node.REINEAZ);
    ::TERMIN frame;
    if (d % 7 == 0) {
        frame = SONNTAG;
        MoveIntervalToDay(frame, uint32_t(d));
        if (node.TERMIN.ENDE <= frame.ENDE)
            return node.REINEAZ;
    } else if (d % 7 == 1) {
        frame = MONTAG;
        MoveIntervalToDay(frame, uint32_t(d));
        if (node.TERMIN.BEGINN >= frame.BEGINN)
            return node.REINEAZ;
        // Everything after the week's begin is the new week's, past midnight too (a night shift
        // begun before the week's begin keeps its Tuesday hours in the new week).
        frame.ENDE = std::max(frame.ENDE, node.TERMIN.ENDE);
    } else {
        return node.REINEAZ;
    }
    // Every break counts to this week's part; the rest of the net minutes go to the other.
    return std::max(long(IntervalOverlap(node.TERMIN, frame)) - breaks, 0L);
}

long CKriteriumWoche::OtherWeeksMinutes(const CSchichtNode& node, long d) const
{
    return std::max(long(node.REINEAZ) - OwnMinutes(node, d), 0L);
}

uint16_t CKriteriumWoche::OverlapMinutes(const CSchichtNode& node, long d, long n) const
{
    if (Wochenbeginn() == 0 || n < 1)
        return node.REINEAZ;
    long minutes = OwnMinutes(node, d);
    if (d % 7 == 0) {
        // The early part of Monday's shift, before the new week begins, still belongs here.
        const CSchichtNode* next = node.NEXT;
        if (Worked(next) && CellOf(*next) == d % n + 1)
            minutes += OtherWeeksMinutes(*next, d % n + 1);
    } else if (d % 7 == 1) {
        // The part of Sunday's shift after the new week has begun (a shift of 24 hours too).
        const CSchichtNode* previous = node.PREVIOUS;
        if (Worked(previous) && CellOf(*previous) % n == d - 1)
            minutes += OtherWeeksMinutes(*previous, d == 1 ? n : d - 1);
    }
    return Clamp16(minutes);
}

void CKriteriumWoche::ChangedWeeks(std::span<const long> changed, long n, std::vector<long>& weeks)
{
    weeks.clear();
    const long count = n / 7;
    const auto add = [&](long cell) {
        const long w = (cell - 1) / 7 + 1;
        if (w >= 1 && w <= count)
            weeks.push_back(w);
    };
    for (long c : changed) {
        if (c < 1 || c > n)
            continue;
        add(c);
        if (c % 7 == 0)
            add(c % n + 1);
        else if (c % 7 == 1)
            add(c == 1 ? n : c - 1);
    }
    std::sort(weeks.begin(), weeks.end());
    weeks.erase(std::unique(weeks.begin(), weeks.end()), weeks.end());
}

uint32_t CKriteriumWoche::WeeklyHours(const CAZPBewertung& evaluation, long week) const
{
    const long n = evaluation.CellCount();
    if (!evaluation.ERSTESCHICHT || n < 1 || week < 1)
        return 0;
    const bool frame = Wochenbeginn() > 0;
    uint32_t sum = 0;
    for (long d = (week - 1) * 7 + 1; d <= week * 7 && d <= n; ++d) {
        const CSchichtNode* node = evaluation.GetNode(d);
        if (Worked(node)) {
            sum += OverlapMinutes(*node, d, n);
        } else if (frame && d % 7 == 1) {
            // A free Monday: what Sunday's shift worked after the week began.
            const long previousCell = d == 1 ? n : d - 1;
            const CSchichtNode* previous = evaluation.GetNode(previousCell);
            if (Worked(previous))
                sum += uint32_t(OtherWeeksMinutes(*previous, previousCell));
        } else if (frame && d % 7 == 0) {
            // A free Sunday: what Monday's shift worked before the week began.
            const long nextCell = d % n + 1;
            const CSchichtNode* next = evaluation.GetNode(nextCell);
            if (Worked(next))
                sum += uint32_t(OtherWeeksMinutes(*next, nextCell));
        }
    }
    return sum;
}
