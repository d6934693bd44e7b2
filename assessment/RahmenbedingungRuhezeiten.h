#pragma once
// The constraints about rest: the minimum rest between shifts (RB4), free Sundays (RB5), the
// continuous weekly rest and the Sunday rest (RB6), the rest after night work (RB21) and the
// threshold from which the plan shows a rest (RB22). TIME values are hundredths of a second
// since midnight plus 1; hours are decimals with two places.
#include <cstdint>

#include "assessment/Rahmenbedingung.h"
#include "platform/values/Decimal.h"

// RB4. A compensated rest (RZ_DAUER_MIT_AUSGLEICH, 0 = none) is allowed only under conditions:
// a valid value always gives a warning, and it must stay below the rest without compensation.
class CRahmenbedingungMindestruhezeit : public CRahmenbedingung {
public:
    int32_t RZ_DAUER_OHNE_AUSGLEICH = 0;   // minimum rest (duration)
    int32_t RZ_DAUER_MIT_AUSGLEICH = 0;    // shortened rest when compensated; 0 = no compensation
    uint16_t RZ_AUSGLEICHSZEITRAUM = 0;    // weeks within which a shortened rest is compensated

    CRahmenbedingungMindestruhezeit();
    void Assign(const CRahmenbedingung& other) override { CopyWhenSame(*this, other); }
    LimitLevel CheckLimits(bool reset, const RBField& field = {}) override;
    void LoadFrom(const RecordBuffer& record) override;
    void StoreTo(RecordBuffer& record) const override;
};

// RB5.
class CRahmenbedingungFreieSonntage : public CRahmenbedingung {
public:
    uint16_t FREIE_SONNTAGE = 0;   // minimum number of free Sundays per year

    CRahmenbedingungFreieSonntage();
    void Assign(const CRahmenbedingung& other) override { CopyWhenSame(*this, other); }
    LimitLevel CheckLimits(bool reset, const RBField& field = {}) override;
    void LoadFrom(const RecordBuffer& record) override;
    void StoreTo(RecordBuffer& record) const override;
};

// RB6.
class CRahmenbedingungKontWochenruhezeit : public CRahmenbedingung {
public:
    Decimal WRZ_DAUER_MIN;            // hours of the continuous rest around a free Sunday
    Decimal ERSATZ_WRZ_DAUER_MIN;     // hours of the continuous rest around a substitute rest day
    int32_t SAZ_VERSCHIEBUNG = 0;     // how far the Sunday may be moved in night-shift operation (duration)
    uint16_t SAZ_AUSGLEICHSZEITRAUM = 0;   // weeks within which the substitute rest day is given

    CRahmenbedingungKontWochenruhezeit();
    void Assign(const CRahmenbedingung& other) override { CopyWhenSame(*this, other); }
    LimitLevel CheckLimits(bool reset, const RBField& field = {}) override;
    void LoadFrom(const RecordBuffer& record) override;
    void StoreTo(RecordBuffer& record) const override;
};

// RB21: no warning limit.
class CRahmenbedingungRZNachtarbeit : public CRahmenbedingung {
public:
    Decimal RZNACHTARBEIT_MIN;   // hours of rest after night work

    CRahmenbedingungRZNachtarbeit();
    void Assign(const CRahmenbedingung& other) override { CopyWhenSame(*this, other); }
    LimitLevel CheckLimits(bool reset, const RBField& field = {}) override;
    void LoadFrom(const RecordBuffer& record) override;
    void StoreTo(RecordBuffer& record) const override;
};

// RB22: no limits.
class CRahmenbedingungRZAnzeige : public CRahmenbedingung {
public:
    Decimal RZANZEIGE_MIN;   // hours from which the plan shows a rest

    CRahmenbedingungRZAnzeige();
    void Assign(const CRahmenbedingung& other) override { CopyWhenSame(*this, other); }
    LimitLevel CheckLimits(bool, const RBField& = {}) override { return LIMIT_ALLOWED; }
    void LoadFrom(const RecordBuffer& record) override;
    void StoreTo(RecordBuffer& record) const override;
};
