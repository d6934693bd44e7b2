#include "assessment/KriterienArbeitszeit.h"

#include "assessment/AZPBewertung.h"
#include "assessment/KriteriumMarker.h"
#include "assessment/RahmenbedingungArbeitszeit.h"
#include "assessment/RahmenbedingungSchichten.h"
#include "assessment/SchichtNode.h"
#include "core/Schicht.h"
#include "core/TimeHelpers.h"
#include "core/Utilities.h"
#include "platform/values/Picture.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kRot = 255;
constexpr int kGruen = 32768;

long CellOf(const CSchichtNode& node) { return long(MinuteStampDay(node.TERMIN.BEGINN)); }

// The explanation into the caller's buffer, never more than it holds (whole UTF-8 characters).
void PutText(std::string& buffer, std::string text, std::size_t size)
{
    text.resize(Utf8PrefixBytes(text, size).size());
    buffer = std::move(text);
}

std::string Clock(int32_t clock) { return FormatPicture(static_cast<long long>(clock), "@T7"); }

// Copies the linked constraint's contents from the other criterion's one of the same class.
template <class C, class R>
void AssignConstraint(R* C::*member, C& self, const CKriterium& other)
{
    if (const auto* same = dynamic_cast<const C*>(&other); same && same->*member && self.*member)
        (self.*member)->Assign(*(same->*member));
}

} // namespace

std::string PlainNumberText(int64_t hundredths)
{
    const bool negative = hundredths < 0;
    const uint64_t v = negative ? uint64_t(-(hundredths + 1)) + 1 : uint64_t(hundredths);
    std::string text = (negative ? "-" : "") + std::to_string(v / 100);
    const uint64_t fraction = v % 100;
    if (fraction != 0) {
        text += fraction < 10 ? ".0" : ".";
        text += std::to_string(fraction % 10 == 0 ? fraction / 10 : fraction);
    }
    return text;
}

// ---- KR6 ---------------------------------------------------------------------------------------

CKriteriumSchichtlaenge::CKriteriumSchichtlaenge()
{
    SetNummer(6);
    SetTableDivisor();
}

void CKriteriumSchichtlaenge::Assign(const CKriterium& other, IKriterienPool* pool)
{
    CKriterium::Assign(other, pool);
    AssignConstraint(&CKriteriumSchichtlaenge::RB10, *this, other);
}

uint32_t CKriteriumSchichtlaenge::Check(const CSchicht& shift, uint8_t, std::string& text, std::size_t size)
{
    if (!AKTIVIERT || shift.ART != ART_NORMAL || !RB10)
        return 0;
    // In minutes: a shift of 24 hours is not 00:00 long.
    const long gross = std::max<long>(shift.GrossMinutes(), 0);
    const long minimum = long(TimeToMinutesLong(RB10->SL_DAUER_MIN));
    const long maximum = long(TimeToMinutesLong(RB10->SL_DAUER_MAX));
    if (gross < minimum) {
        PutText(text,
                "- Die Gesamtlänge der Schicht unterschreitet die empfohlene Mindestdauer um " +
                    Clock(int32_t(minimum - gross) * kClockPerMinute + 1) + " Stunden.",
                size);
        return 1;
    }
    if (gross > maximum) {
        PutText(text,
                "- Die Gesamtlänge der Schicht überschreitet die empfohlene Höchstdauer um " +
                    Clock(int32_t(gross - maximum) * kClockPerMinute + 1) + " Stunden.",
                size);
        return 1;
    }
    return 0;
}

double CKriteriumSchichtlaenge::GetCost(const CSchicht& shift, uint16_t, uint8_t)
{
    return double(shift.TERMIN.ENDE) - double(shift.TERMIN.BEGINN);
}

// ---- KR7 ---------------------------------------------------------------------------------------

CKriteriumWerktagAZ::CKriteriumWerktagAZ()
{
    SetNummer(7);
    SetTableDivisor();
}

void CKriteriumWerktagAZ::Assign(const CKriterium& other, IKriterienPool* pool)
{
    CKriterium::Assign(other, pool);
    AssignConstraint(&CKriteriumWerktagAZ::RB14, *this, other);
}

uint32_t CKriteriumWerktagAZ::Check(const CSchicht& shift, uint8_t, std::string& text, std::size_t size)
{
    text.clear();
    if (!RB14)
        return 0;
    const int32_t limit =
        TimeToMinutes(RB14->WTAZ_MIT_AUSGLEICH > 0 ? RB14->WTAZ_MIT_AUSGLEICH : RB14->WTAZ_OHNE_AUSGLEICH);
    const int32_t net = shift.NetMinutes();
    if (net <= limit)
        return 0;
    PutText(text,
            "- die Arbeitszeit dieser Schicht überschreitet die erlaubte werktägliche Arbeitszeit um " +
                Clock(MinuteStampToTime(uint32_t(net - limit))) + " Stunden.",
            size);
    return 1;
}

bool CKriteriumWerktagAZ::Compensated(const CAZPBewertung& evaluation, const CSchichtNode& node, long nights) const
{
    const long n = evaluation.CellCount();
    if (!RB14 || n < 1)
        return false;
    // Night shifts a year: 48 or more make the plan night work.
    const long perYear = 365 * nights / n;
    const long weeks = perYear >= 48 ? RB14->WTAZ_AUSGLEICHSZEITRAUM_NACHTARBEIT : RB14->WTAZ_AUSGLEICHSZEITRAUM_NORMAL;
    if (weeks == 0)
        return false;
    const long period = weeks * 7;
    long cell = evaluation.RowStart(CellOf(node), period);
    uint64_t sum = 0;
    for (long k = 0; k < period; ++k, cell = evaluation.NextCell(cell)) {
        const CSchichtNode* other = evaluation.GetNode(cell);
        if (other && !other->IsPlaceholder())
            sum += other->REINEAZ;
    }
    // Six working days a week: average <= limit without dividing.
    return sum <= uint64_t(TimeToMinutes(RB14->WTAZ_OHNE_AUSGLEICH)) * uint64_t(weeks * 6);
}

void CKriteriumWerktagAZ::Check(CAZPBewertung& evaluation, uint8_t)
{
    CSchichtNode* first = evaluation.ERSTESCHICHT;
    if (!first || !RB14)
        return;
    const uint32_t without = TimeToMinutes(RB14->WTAZ_OHNE_AUSGLEICH);
    const uint32_t with = TimeToMinutes(RB14->WTAZ_MIT_AUSGLEICH);
    long nights = -1;  // counted when first needed
    CSchichtNode* node = first;
    do {
        const uint32_t net = node->REINEAZ;
        if (net > without) {
            bool compensated = false;
            if (net <= with) {
                if (nights < 0) {
                    nights = 0;
                    const CSchichtNode* s = first;
                    do {
                        if (s->SCHICHT && s->SCHICHT->SCHICHTLAGE == LAGE_NACHT)
                            ++nights;
                        s = s->NEXT;
                    } while (s != first);
                }
                compensated = Compensated(evaluation, *node, nights);
            }
            node->VERSTOSSLISTE.AddWithText(this, compensated ? 0 : 1, POSITION_EINZELN, {}, true, true);
        }
        node = node->NEXT;
    } while (node != first);
}

void CKriteriumWerktagAZ::Paint(long, const VERSTOSSINFO& record, const GridDC& dc, int left, int top, int width,
                                int height)
{
    const bool red = record.WERT != 0;
    if (record.POSITION == POSITION_ANFANG || record.POSITION == POSITION_EINZELN)
        PaintBeginIcon(dc, left, top, width, height, red ? "KR7_anfang_ico" : "KR7_anfang_warnung_ico");
    if (record.POSITION == POSITION_ENDE || record.POSITION == POSITION_EINZELN)
        PaintEndIcon(dc, left, top, width, height, red ? "KR7_ende_ico" : "KR7_ende_warnung_ico");
    const int y = top + height - 3;
    PaintMarkerLine(dc, red ? kRot : kGruen, left, y, left + width, y);
}

// ---- KR8 ---------------------------------------------------------------------------------------

namespace {

// The weekly target of RB15 in hundredths of a minute (hours with two places x 60).
int64_t TargetHundredths(const CRahmenbedingungWAZMittel* rb15) { return rb15 ? rb15->WAZ.Cents() * 60 : 0; }

uint32_t PackWeek(uint32_t minutes, int64_t target)
{
    const int64_t diff = (target - int64_t(minutes) * 100) / 100;  // cut towards 0
    const uint32_t low = std::min<uint32_t>(minutes, 0xFFFFu);
    const uint32_t high = uint16_t(int16_t(std::clamp<int64_t>(diff, INT16_MIN, INT16_MAX)));
    return (high << 16) | low;
}

} // namespace

CKriteriumWAZMittel::CKriteriumWAZMittel()
{
    FREERECORDTEXT = true;  // its hook clears INFO too
    SetNummer(8);
    SetTableDivisor();
}

void CKriteriumWAZMittel::FreeRecordText(VERSTOSSINFO& record)
{
    record.INFO = 0;
    CKriterium::FreeRecordText(record);
}

void CKriteriumWAZMittel::Check(CAZPBewertung& evaluation, uint8_t)
{
    if (!evaluation.ERSTESCHICHT)
        return;
    SetRahmenbedingung(RB15);
    const long w = evaluation.CellCount() / 7;
    if (w < 1)
        return;
    const int64_t target = TargetHundredths(RB15);
    weeks_.assign(std::size_t(w), 0);
    for (long k = 1; k <= w; ++k)
        weeks_[std::size_t(k - 1)] = WeeklyHours(evaluation, k);

    average_.assign(std::size_t(w), 0);
    if (AKTIVIERT) {
        // An averaging period of 0 weeks is taken as one week (the constraint is left as set).
        const long p = std::max<long>(RB15 ? RB15->WAZ_AUSGLEICHSZEITRAUM : 0, 1);
        for (long start = 1; start <= w; start += p) {
            uint64_t sum = 0;
            for (long k = 0; k < p; ++k)  // a block past the last week goes on with week 1
                sum += weeks_[std::size_t((start - 1 + k) % w)];
            const uint32_t average = uint32_t(sum / uint64_t(p));
            for (long k = start; k < start + p && k <= w; ++k)
                average_[std::size_t(k - 1)] = average;
        }
    }

    for (long k = 1; k <= w; ++k) {
        const uint32_t amount = AKTIVIERT && int64_t(average_[std::size_t(k - 1)]) * 100 > target ? 1 : 0;
        const uint32_t info = PackWeek(weeks_[std::size_t(k - 1)], target);
        evaluation.AddVerstoss(7 * k, this, POSITION_EINZELN, amount, info);
    }
}

// ---- KR9 ---------------------------------------------------------------------------------------

CKriteriumWAZGrenzen::CKriteriumWAZGrenzen()
{
    SetNummer(9);
    SetTableDivisor();
}

void CKriteriumWAZGrenzen::SetRahmenbedingung(CRahmenbedingungWAZMittel* rb15, CRahmenbedingungWAZGrenzen* rb16)
{
    RB16 = rb16;
    SetRahmenbedingung(rb15);
}

void CKriteriumWAZGrenzen::Assign(const CKriterium& other, IKriterienPool* pool)
{
    CKriteriumWoche::Assign(other, pool);
    AssignConstraint(&CKriteriumWAZGrenzen::RB16, *this, other);
}

uint32_t CKriteriumWAZGrenzen::WeekAmount(int64_t m) const
{
    int64_t amount = 0;
    if (AKTIVIERT && RB16)
        amount = std::max({int64_t(0), RB16->WAZ_MIN.Cents() * 60 - m, m - RB16->WAZ_MAX.Cents() * 60}) / 100;
    return uint32_t(std::min<int64_t>(amount, UINT32_MAX));
}

void CKriteriumWAZGrenzen::Check(CAZPBewertung& evaluation, uint8_t)
{
    if (!evaluation.ERSTESCHICHT)
        return;
    SetRahmenbedingung(RB15);
    const long w = evaluation.CellCount() / 7;
    const int64_t target = TargetHundredths(RB15);
    for (long k = 1; k <= w; ++k) {
        const int64_t m = int64_t(WeeklyHours(evaluation, k)) * 100;
        VERSTOSSINFO r;
        r.KRITERIUM = this;
        r.POSITION = POSITION_EINZELN;
        r.WERT = WeekAmount(m);
        r.TEXT = PlainNumberText(m - target);
        evaluation.AddVerstoss(7 * k, r);
    }
}

bool CKriteriumWAZGrenzen::CheckChange(const CAZPBewertung& candidate, std::span<const long> changed,
                                       CAZPAenderung& out)
{
    if (!candidate.ERSTESCHICHT)
        return true;
    SetRahmenbedingung(RB15);
    // Switched off or without limits every week's amount is 0, in the base as in any candidate:
    // no record's term changes.
    if (!AKTIVIERT || !RB16)
        return true;
    ChangedWeeks(changed, candidate.CellCount(), changedWeeks_);
    for (long k : changedWeeks_) {
        out.BeginCell(7 * k);
        out.Add(WeekAmount(int64_t(WeeklyHours(candidate, k)) * 100));
    }
    return true;
}

void CKriteriumWAZGrenzen::Paint(long cell, const VERSTOSSINFO& record, const GridDC& dc, int left, int top, int width,
                                 int height)
{
    if (cell != 0 || record.WERT == 0)
        return;
    PaintMarkerIcon(dc, left + width / 2 - kMarkerIconSize / 2, top + height / 2 - kMarkerIconSize / 2, "KR_WRZ_ico");
}

// ---- KR10 --------------------------------------------------------------------------------------

CKriteriumKontArbeitstage::CKriteriumKontArbeitstage()
{
    SetNummer(10);
    SetTableDivisor();
}

void CKriteriumKontArbeitstage::Assign(const CKriterium& other, IKriterienPool* pool)
{
    CKriterium::Assign(other, pool);
    AssignConstraint(&CKriteriumKontArbeitstage::RB7, *this, other);
}

bool CKriteriumKontArbeitstage::RunAmount(long length, uint32_t& amount) const
{
    const long lo = RB7->KONTAZ_MIN, hi = RB7->KONTAZ_MAX;
    if (length < 1 || (length >= lo && length <= hi))
        return false;
    // About 1000 per missing or surplus day, shared by the run's cells.
    amount = uint32_t((length < lo ? lo - length : length - hi) * 1000 / length);
    return true;
}

void CKriteriumKontArbeitstage::Report(CAZPBewertung& evaluation, long first, long length)
{
    uint32_t amount = 0;
    if (!RunAmount(length, amount))
        return;
    if (length == 1) {
        evaluation.AddVerstoss(first, this, POSITION_EINZELN, amount);
        return;
    }
    long cell = first;
    for (long k = 1; k <= length; ++k, cell = evaluation.NextCell(cell)) {
        const uint8_t position = k == 1 ? POSITION_ANFANG : k == length ? POSITION_ENDE : POSITION_MITTE;
        evaluation.AddVerstoss(cell, this, position, amount);
    }
}

void CKriteriumKontArbeitstage::Check(CAZPBewertung& evaluation, uint8_t)
{
    CSchichtNode* first = evaluation.ERSTESCHICHT;
    const long n = evaluation.CellCount();
    if (!first || !RB7 || n < 1)
        return;
    auto follows = [n](const CSchichtNode& before, const CSchichtNode& after) {
        return CellOf(before) % n + 1 == CellOf(after);
    };

    // The walk starts where a run begins, so no run is cut at the cycle's end.
    CSchichtNode* start = first;
    while (follows(*start->PREVIOUS, *start)) {
        start = start->NEXT;
        if (start == first) {
            // Every cell is worked: one run as long as the cycle, tested like any other.
            Report(evaluation, CellOf(*first), n);
            return;
        }
    }

    long runStart = CellOf(*start);
    long length = 1;
    for (CSchichtNode* node = start; node->NEXT != start; node = node->NEXT) {
        if (follows(*node, *node->NEXT)) {
            ++length;
        } else {
            Report(evaluation, runStart, length);
            runStart = CellOf(*node->NEXT);
            length = 1;
        }
    }
    Report(evaluation, runStart, length);
}

bool CKriteriumKontArbeitstage::CheckChange(const CAZPBewertung& candidate, std::span<const long> changed,
                                            CAZPAenderung& out)
{
    const long n = candidate.CellCount();
    if (!candidate.ERSTESCHICHT || !RB7 || !base_ || n < 1 || base_->CellCount() != n)
        return true;
    // Only a cell that turns from worked to free or back changes runs.
    long origins[2];
    std::size_t count = 0;
    for (long x : changed)
        if (x >= 1 && x <= n && count < std::size(origins) && candidate.Worked(x) != base_->Worked(x))
            origins[count++] = x;
    ChangedRuns(
        std::span<const long>(origins, count), n, [&](long c) { return base_->Worked(c); },
        [&](long c) { return candidate.Worked(c); },
        [&](long length, uint32_t& amount) { return RunAmount(length, amount); }, out);
    return true;
}

void CKriteriumKontArbeitstage::Paint(long, const VERSTOSSINFO& record, const GridDC& dc, int left, int top,
                                      int width, int height)
{
    if (record.POSITION == POSITION_ANFANG || record.POSITION == POSITION_EINZELN)
        PaintBeginIcon(dc, left, top, width, height, "KR10_anfang_ico");
    if (record.POSITION == POSITION_ENDE || record.POSITION == POSITION_EINZELN)
        PaintEndIcon(dc, left, top, width, height, "KR10_ende_ico");
    const int y = top + height - 9;
    PaintMarkerLine(dc, kRot, left, y, left + width, y);
}
