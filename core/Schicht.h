#pragma once
// CSchicht: one shift in memory - a shift type of a worksheet, the placeholder of an unknown
// shift type, or a flex entry held as a shift. All dialogs, grids, CSV files, the evaluation and
// the generators read and change a shift's times and breaks through it.
//
// Times are minute stamps (core/TimeHelpers.h). A shift type lies on day 1: BEGINN is a minute of
// the day and ENDE lies after it, at most one day later (22:00-06:00 is 1320-1800). Setting a
// begin or end keeps BEGINN <= ENDE <= BEGINN + 1440. Breaks are numbered 1..5; a number outside
// that range reads as an empty break and changes nothing.
#include "core/Termin.h"

#include <array>
#include <cstdint>
#include <string>

// ART
constexpr uint8_t ART_NORMAL = 1;
constexpr uint8_t ART_FREISCHICHT = 2;
constexpr uint8_t ART_BEREITSCHAFT = 3;
constexpr uint8_t ART_RUFBEREITSCHAFT = 4;

// SCHICHTLAGE: the position class.
constexpr uint8_t LAGE_UNKLASSIFIZIERT = 0;
constexpr uint8_t LAGE_FRUEH = 1;
constexpr uint8_t LAGE_TAG = 2;
constexpr uint8_t LAGE_SPAET = 3;
constexpr uint8_t LAGE_NACHT = 4;

// The windows of the night-work, early-shift and day-shift constraints, as clock values (the
// groups of the same names in the constraint record).
struct NACHTSCHICHT {
    int32_t NACHTAZ_ANFANG = 0;
    int32_t NACHTAZ_LAENGE = 0;
    int32_t NACHTAZ_DAUER_MIN = 0;
};
struct FRUEHSCHICHT {
    int32_t FS_VON = 0;
    int32_t FS_BIS = 0;
};
struct TAGSCHICHT {
    int32_t TS_VON = 0;
    int32_t TS_BIS = 0;
};

// Which breaks PauseMinutes adds up.
enum class PauseKind { All = 0, Unpaid = 1, Paid = 2 };

class RecordBuffer;

class CSchicht {
public:
    int32_t ID = 0;
    int32_t STEP = 0;
    uint32_t SYSID = 0;
    uint8_t ART = 0;
    std::string BEZEICHNUNG;      // at most 30 characters in the record
    std::string KURZBEZEICHNUNG;  // at most 5
    uint8_t AUSLASTUNG = 0;       // percent
    uint8_t AUSLASTUNG_BERUECKSICHTIGEN = 0;
    ::TERMIN TERMIN;
    std::array<PAUSE, 5> PAUSEN{};
    uint8_t SCHICHTLAGE = LAGE_UNKLASSIFIZIERT;

    // Every member cleared, ART normal, no breaks, not classified.
    void Clear();

    // Copies the SCHICHT record buffer (or a record of its layout, such as an alias's) into the
    // members and classifies by the begin.
    void FromRecord();
    void FromRecord(const RecordBuffer& record);
    // Sorts the breaks, then copies the members into the SCHICHT record buffer (or the given
    // record); the class has no field there.
    void ToRecord();
    void ToRecord(RecordBuffer& record);

    // The span as stored; with day, the day of BEGINN and the span moved to day 1.
    ::TERMIN GetTermin() const;
    ::TERMIN GetTermin(uint32_t& day) const;
    // Takes the span as it is (and classifies by the begin) ...
    void SetTermin(const ::TERMIN& termin);
    // ... or moved to the given day first.
    void SetTermin(const ::TERMIN& termin, uint32_t day);
    // Moves the own span to the given day; the class stays.
    void SetTermin(uint32_t day);

    // Begin and end as clock values. Setting takes the time of day (0 is midnight; 24:00 is the
    // end of the day for the end, midnight for the begin), folds the end by whole days into
    // (BEGINN .. BEGINN + 1440) and classifies by the begin. Both return the clock value of the
    // time of day, so an end at 24:00 reads as 00:00.
    int32_t StartTime() const;
    int32_t StartTime(int32_t clock);
    int32_t EndTime() const;
    int32_t EndTime(int32_t clock);

    // ENDE - BEGINN; setting moves the end.
    uint32_t Duration() const;
    uint32_t Duration(uint32_t minutes);

    // The length for a normal shift, 0 for the other kinds.
    int32_t GrossMinutes() const;
    // Gross less all breaks (negative when a shift of another kind has breaks); setting puts the
    // end behind the begin by the minutes and all breaks.
    int32_t NetMinutes() const;
    int32_t NetMinutes(uint32_t minutes);
    // Net plus the paid breaks; setting puts the end behind the begin by the minutes and the
    // unpaid breaks.
    int32_t PaidMinutes() const;
    int32_t PaidMinutes(uint32_t minutes);

    PAUSE GetPause(int n) const;
    void SetPause(int n, const PAUSE& pause);

    uint8_t PausePaid(int n) const;
    uint8_t PausePaid(int n, uint8_t paid);

    // The sum of the durations of all, the unpaid or the paid breaks.
    int32_t PauseMinutes(PauseKind kind) const;
    // The duration of break n; setting 0 empties the break.
    uint16_t PauseMinutes(int n) const;
    uint16_t PauseMinutes(int n, uint16_t minutes);

    // Start and end of break n as clock values (0 for an empty break). Setting places the time
    // inside the shift: a time before the begin is taken on the next day when that is still in
    // the shift, else at the begin; a time after the end at the end. Setting 0 empties the break.
    // The start is set before the end; an end before the start is not refused here (SortPauses
    // reports it: the break then ends after the shift).
    int32_t PauseStart(int n) const;
    int32_t PauseStart(int n, int32_t clock);
    int32_t PauseEnd(int n) const;
    int32_t PauseEnd(int n, int32_t clock);

    // Puts the breaks with a start (LAGE not 0) first, in order of their start, and empties the
    // others. Returns 5 when a break begins before the previous one ends or ends after the shift,
    // else 0; the breaks are reordered in either case.
    uint8_t SortPauses();

    // The class by the constraint windows: night when the shift's time in the night window is
    // longer than the minimum, else early or day when it meets their window, else late.
    void ClassifyLage(const NACHTSCHICHT& night, const FRUEHSCHICHT& early, const TAGSCHICHT& day);
    // The class by the begin alone: 06:00-12:00 early, after that up to 18:00 late, else night.
    void ClassifyLageByStart();

private:
    PAUSE* Pause(int n);
    const PAUSE* Pause(int n) const;
    int32_t BreakMinute(int32_t clock) const;
    void FoldEnd();
};
