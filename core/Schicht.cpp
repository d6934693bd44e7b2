#include "core/Schicht.h"

#include "core/Files.h"
#include "core/TimeHelpers.h"
#include "platform/records/RecordBuffer.h"

#include <algorithm>
#include <vector>

namespace {

constexpr int64_t kDay = kMinutesPerDay;

// Minute of the day of a clock value: 0 .. 1440, where 1440 is 24:00.
int64_t MinuteOfDay(int32_t clock)
{
    int64_t m = TimeToMinutesLong(clock);
    return m > kDay ? m % kDay : m;
}

} // namespace

void CSchicht::Clear()
{
    *this = CSchicht{};
    ART = ART_NORMAL;
}

void CSchicht::FromRecord() { FromRecord(SCHICHT); }

void CSchicht::ToRecord() { ToRecord(SCHICHT); }

void CSchicht::FromRecord(const RecordBuffer& r)
{
    ID = int32_t(r.GetInt("ID"));
    STEP = int32_t(r.GetInt("STEP"));
    SYSID = uint32_t(r.GetInt("SYSID"));
    ART = uint8_t(r.GetInt("ART"));
    BEZEICHNUNG = r.GetString("BEZEICHNUNG");
    KURZBEZEICHNUNG = r.GetString("KURZBEZEICHNUNG");
    AUSLASTUNG = uint8_t(r.GetInt("AUSLASTUNG"));
    AUSLASTUNG_BERUECKSICHTIGEN = uint8_t(r.GetInt("AUSLASTUNG_BERUECKSICHTIGEN"));
    TERMIN.BEGINN = uint32_t(r.GetInt("BEGINN"));
    TERMIN.ENDE = uint32_t(r.GetInt("ENDE"));
    for (int k = 1; k <= 5; ++k) {
        PAUSE& p = PAUSEN[size_t(k - 1)];
        p.LAGE = uint16_t(r.GetInt("LAGE", k));
        p.DAUER = uint16_t(r.GetInt("DAUER", k));
        p.BEZAHLT = uint8_t(r.GetInt("BEZAHLT", k));
    }
    ClassifyLageByStart();
}

void CSchicht::ToRecord(RecordBuffer& r)
{
    SortPauses();
    r.SetInt("ID", ID);
    r.SetInt("STEP", STEP);
    r.SetInt("SYSID", SYSID);
    r.SetInt("ART", ART);
    r.SetString("BEZEICHNUNG", BEZEICHNUNG);
    r.SetString("KURZBEZEICHNUNG", KURZBEZEICHNUNG);
    r.SetInt("AUSLASTUNG", AUSLASTUNG);
    r.SetInt("AUSLASTUNG_BERUECKSICHTIGEN", AUSLASTUNG_BERUECKSICHTIGEN);
    r.SetInt("BEGINN", TERMIN.BEGINN);
    r.SetInt("ENDE", TERMIN.ENDE);
    for (int k = 1; k <= 5; ++k) {
        const PAUSE& p = PAUSEN[size_t(k - 1)];
        r.SetInt("LAGE", p.LAGE, k);
        r.SetInt("DAUER", p.DAUER, k);
        r.SetInt("BEZAHLT", p.BEZAHLT, k);
    }
}

::TERMIN CSchicht::GetTermin() const { return TERMIN; }

::TERMIN CSchicht::GetTermin(uint32_t& day) const
{
    ::TERMIN t = TERMIN;
    day = MinuteStampDay(t.BEGINN);
    MoveIntervalToDay(t, 1);
    return t;
}

void CSchicht::SetTermin(const ::TERMIN& termin)
{
    TERMIN = termin;
    ClassifyLageByStart();
}

void CSchicht::SetTermin(const ::TERMIN& termin, uint32_t day)
{
    TERMIN = termin;
    MoveIntervalToDay(TERMIN, day);
    ClassifyLageByStart();
}

void CSchicht::SetTermin(uint32_t day) { MoveIntervalToDay(TERMIN, day); }

void CSchicht::FoldEnd()
{
    int64_t begin = TERMIN.BEGINN, end = TERMIN.ENDE;
    // Usually one day at most; a span that has drifted further is brought back whole.
    while (end - begin > kDay)
        end -= kDay;
    while (end < begin)
        end += kDay;
    TERMIN.ENDE = uint32_t(end);
}

int32_t CSchicht::StartTime() const { return MinuteStampToTime(TERMIN.BEGINN); }

int32_t CSchicht::StartTime(int32_t clock)
{
    TERMIN.BEGINN = uint32_t(MinuteOfDay(clock) % kDay);
    FoldEnd();
    ClassifyLageByStart();
    return StartTime();
}

int32_t CSchicht::EndTime() const { return MinuteStampToTime(TERMIN.ENDE); }

int32_t CSchicht::EndTime(int32_t clock)
{
    TERMIN.ENDE = uint32_t(MinuteOfDay(clock));
    FoldEnd();
    ClassifyLageByStart();
    return EndTime();
}

uint32_t CSchicht::Duration() const { return IntervalDuration(TERMIN); }

uint32_t CSchicht::Duration(uint32_t minutes)
{
    TERMIN.ENDE = TERMIN.BEGINN + minutes;
    return Duration();
}

int32_t CSchicht::GrossMinutes() const
{
    return ART == ART_NORMAL ? int32_t(TERMIN.ENDE) - int32_t(TERMIN.BEGINN) : 0;
}

int32_t CSchicht::NetMinutes() const { return GrossMinutes() - PauseMinutes(PauseKind::All); }

int32_t CSchicht::NetMinutes(uint32_t minutes)
{
    TERMIN.ENDE = TERMIN.BEGINN + minutes + uint32_t(PauseMinutes(PauseKind::All));
    return NetMinutes();
}

int32_t CSchicht::PaidMinutes() const { return NetMinutes() + PauseMinutes(PauseKind::Paid); }

int32_t CSchicht::PaidMinutes(uint32_t minutes)
{
    TERMIN.ENDE = TERMIN.BEGINN + minutes + uint32_t(PauseMinutes(PauseKind::Unpaid));
    return PaidMinutes();
}

PAUSE* CSchicht::Pause(int n) { return n >= 1 && n <= 5 ? &PAUSEN[size_t(n - 1)] : nullptr; }

const PAUSE* CSchicht::Pause(int n) const { return n >= 1 && n <= 5 ? &PAUSEN[size_t(n - 1)] : nullptr; }

PAUSE CSchicht::GetPause(int n) const
{
    const PAUSE* p = Pause(n);
    return p ? *p : PAUSE{};
}

void CSchicht::SetPause(int n, const PAUSE& pause)
{
    if (PAUSE* p = Pause(n))
        *p = pause;
}

uint8_t CSchicht::PausePaid(int n) const { return GetPause(n).BEZAHLT; }

uint8_t CSchicht::PausePaid(int n, uint8_t paid)
{
    if (PAUSE* p = Pause(n))
        p->BEZAHLT = paid;
    return PausePaid(n);
}

int32_t CSchicht::PauseMinutes(PauseKind kind) const
{
    int32_t sum = 0;
    for (const PAUSE& p : PAUSEN) {
        if (kind == PauseKind::All || (kind == PauseKind::Paid) == (p.BEZAHLT != 0))
            sum += p.DAUER;
    }
    return sum;
}

uint16_t CSchicht::PauseMinutes(int n) const { return GetPause(n).DAUER; }

uint16_t CSchicht::PauseMinutes(int n, uint16_t minutes)
{
    if (PAUSE* p = Pause(n)) {
        if (minutes == 0)
            p->LAGE = 0;
        p->DAUER = minutes;
    }
    return PauseMinutes(n);
}

// The minute stamp inside the shift that a break time stands for.
int32_t CSchicht::BreakMinute(int32_t clock) const
{
    int64_t begin = TERMIN.BEGINN, end = TERMIN.ENDE;
    int64_t m = MinuteOfDay(clock);
    if (m < begin)
        m = m + kDay <= end ? m + kDay : begin;  // after midnight, up to the shift's very end
    // A shift that does not lie on day 1 still keeps its breaks inside it.
    return int32_t(std::clamp(m, begin, std::max(begin, end)));
}

int32_t CSchicht::PauseStart(int n) const
{
    PAUSE p = GetPause(n);
    if (p.LAGE == 0 && p.DAUER == 0)
        return 0;
    return MinuteStampToTime(TERMIN.BEGINN + p.LAGE);
}

int32_t CSchicht::PauseStart(int n, int32_t clock)
{
    PAUSE* p = Pause(n);
    if (!p)
        return 0;
    if (clock == 0) {
        p->LAGE = p->DAUER = 0;
        return 0;
    }
    p->LAGE = uint16_t(BreakMinute(clock) - int32_t(TERMIN.BEGINN));
    return PauseStart(n);
}

int32_t CSchicht::PauseEnd(int n) const
{
    PAUSE p = GetPause(n);
    if (p.LAGE == 0 && p.DAUER == 0)
        return 0;
    return MinuteStampToTime(TERMIN.BEGINN + p.LAGE + p.DAUER);
}

int32_t CSchicht::PauseEnd(int n, int32_t clock)
{
    PAUSE* p = Pause(n);
    if (!p)
        return 0;
    if (clock == 0) {
        p->LAGE = p->DAUER = 0;
        return 0;
    }
    // An end before the start wraps to a long break, which SortPauses then reports as ending
    // after the shift, so the dialog asks the user to look at it.
    p->DAUER = uint16_t(BreakMinute(clock) - int32_t(TERMIN.BEGINN) - p->LAGE);
    return PauseEnd(n);
}

uint8_t CSchicht::SortPauses()
{
    std::vector<PAUSE> kept;
    for (const PAUSE& p : PAUSEN)
        if (p.LAGE != 0)
            kept.push_back(p);
    std::ranges::stable_sort(kept, {}, &PAUSE::LAGE);

    PAUSEN = {};
    std::ranges::copy(kept, PAUSEN.begin());

    uint8_t result = 0;
    for (size_t i = 0; i < kept.size(); ++i) {
        const PAUSE& p = kept[i];
        if (i > 0 && p.LAGE < kept[i - 1].LAGE + kept[i - 1].DAUER)
            result = 5;
        if (uint64_t(TERMIN.BEGINN) + p.LAGE + p.DAUER > TERMIN.ENDE)
            result = 5;
    }
    return result;
}

void CSchicht::ClassifyLageByStart()
{
    uint32_t b = TERMIN.BEGINN;
    if (b >= 360 && b <= 720)
        SCHICHTLAGE = LAGE_FRUEH;
    else if (b > 720 && b <= 1080)
        SCHICHTLAGE = LAGE_SPAET;
    else
        SCHICHTLAGE = LAGE_NACHT;
}

void CSchicht::ClassifyLage(const NACHTSCHICHT& night, const FRUEHSCHICHT& early, const TAGSCHICHT& day)
{
    uint32_t nightStart = TimeToMinutesLong(night.NACHTAZ_ANFANG);
    ::TERMIN nightWindow{nightStart, nightStart + TimeToMinutesLong(night.NACHTAZ_LAENGE)};
    // A shift beginning in the small hours belongs to the night that started the day before.
    ::TERMIN shift = TERMIN;
    if (shift.BEGINN < 360) {
        shift.BEGINN += kMinutesPerDay;
        shift.ENDE += kMinutesPerDay;
    }
    if (IntervalOverlap(shift, nightWindow) > TimeToMinutesLong(night.NACHTAZ_DAUER_MIN))
        SCHICHTLAGE = LAGE_NACHT;
    else if (IntervalOverlap(TERMIN, {TimeToMinutesLong(early.FS_VON), TimeToMinutesLong(early.FS_BIS)}) > 0)
        SCHICHTLAGE = LAGE_FRUEH;
    else if (IntervalOverlap(TERMIN, {TimeToMinutesLong(day.TS_VON), TimeToMinutesLong(day.TS_BIS)}) > 0)
        SCHICHTLAGE = LAGE_TAG;
    else
        SCHICHTLAGE = LAGE_SPAET;
}
