#pragma once
// The constraints about shifts themselves: the night-work definition and the begin windows of
// early and day shifts (RB1 .. RB3, which also give every shift type its position class), the
// start of the operating day (RB8), the hand-over time (RB9) and the shift lengths (RB10).
// Times are TIME values (hundredths of a second since midnight plus 1, 0 = no time).
//
// The four windows follow each other in the RB record: early from FS_VON to FS_BIS, day from
// FS_BIS (= TS_VON) to TS_BIS (= SS_VON), late from there to the night start (= SS_BIS), night
// from NACHTAZ_ANFANG for NACHTAZ_LAENGE. RB1 .. RB3 keep the record's neighbouring fields in
// step when they check and store.
#include <cstdint>

#include "assessment/Rahmenbedingung.h"

// RB1. A night start of 00:00 is held as 24:00 and stored as 00:00. Checking the night start
// moves the record's FS_VON to 5 hours after it; storing sets the record's SS_BIS to it.
class CRahmenbedingungNachtschicht : public CRahmenbedingung {
public:
    int32_t NACHTAZ_ANFANG = 0;     // begin of the legal night time
    int32_t NACHTAZ_LAENGE = 0;     // its length
    int32_t NACHTAZ_DAUER_MIN = 0;  // night time a shift must exceed to count as night work

    CRahmenbedingungNachtschicht();
    void Assign(const CRahmenbedingung& other) override { CopyWhenSame(*this, other); }
    LimitLevel CheckLimits(bool reset, const RBField& field = {}) override;
    void LoadFrom(const RecordBuffer& record) override;
    void StoreTo(RecordBuffer& record) const override;
};

// RB2. FS_VON never lies before 5 hours after the night start; FS_BIS after FS_VON. Checking
// FS_BIS moves the day window's begin to it (and its end to at least that); storing sets the
// record's TS_VON := FS_BIS.
class CRahmenbedingungFruehschicht : public CRahmenbedingung {
public:
    int32_t FS_VON = 0;   // earliest begin of an early shift
    int32_t FS_BIS = 0;   // latest begin of an early shift

    CRahmenbedingungFruehschicht();
    void Assign(const CRahmenbedingung& other) override { CopyWhenSame(*this, other); }
    LimitLevel CheckLimits(bool reset, const RBField& field = {}) override;
    void LoadFrom(const RecordBuffer& record) override;
    void StoreTo(RecordBuffer& record) const override;
};

// RB3. TS_VON is the record's FS_BIS; TS_BIS lies after it. Checking and storing set the
// record's SS_VON := TS_BIS.
class CRahmenbedingungTagschicht : public CRahmenbedingung {
public:
    int32_t TS_VON = 0;   // earliest begin of a day shift
    int32_t TS_BIS = 0;   // latest begin of a day shift

    CRahmenbedingungTagschicht();
    void Assign(const CRahmenbedingung& other) override { CopyWhenSame(*this, other); }
    LimitLevel CheckLimits(bool reset, const RBField& field = {}) override;
    void LoadFrom(const RecordBuffer& record) override;
    void StoreTo(RecordBuffer& record) const override;
};

// RB8: no limits.
class CRahmenbedingungBetriebstagsbeginn : public CRahmenbedingung {
public:
    int32_t BETRIEBSTAGSBEGINN = 0;   // begin of the operating day (usually the early shift's)

    CRahmenbedingungBetriebstagsbeginn();
    void Assign(const CRahmenbedingung& other) override { CopyWhenSame(*this, other); }
    LimitLevel CheckLimits(bool, const RBField& = {}) override { return LIMIT_ALLOWED; }
    void LoadFrom(const RecordBuffer& record) override;
    void StoreTo(RecordBuffer& record) const override;
};

// RB9: no limits.
class CRahmenbedingungSchichtuebergabezeit : public CRahmenbedingung {
public:
    int32_t SCHICHTUEBERGABEZEIT = 0;   // overlap of two shifts for the hand-over (a duration)

    CRahmenbedingungSchichtuebergabezeit();
    void Assign(const CRahmenbedingung& other) override { CopyWhenSame(*this, other); }
    LimitLevel CheckLimits(bool, const RBField& = {}) override { return LIMIT_ALLOWED; }
    void LoadFrom(const RecordBuffer& record) override;
    void StoreTo(RecordBuffer& record) const override;
};

// RB10: minimum and maximum shift length (durations); the minimum never above the maximum.
class CRahmenbedingungSchichtzeit : public CRahmenbedingung {
public:
    int32_t SL_DAUER_MIN = 0;
    int32_t SL_DAUER_MAX = 0;

    CRahmenbedingungSchichtzeit();
    void Assign(const CRahmenbedingung& other) override { CopyWhenSame(*this, other); }
    LimitLevel CheckLimits(bool reset, const RBField& field = {}) override;
    void LoadFrom(const RecordBuffer& record) override;
    void StoreTo(RecordBuffer& record) const override;
};
