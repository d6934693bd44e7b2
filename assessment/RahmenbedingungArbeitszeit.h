#pragma once
// The constraints about working time: consecutive working days (RB7), the daily working time
// with and without compensation (RB14), the agreed average weekly working time (RB15) and the
// weekly minimum and maximum (RB16). TIME values are hundredths of a second since midnight
// plus 1; hours are decimals with two places; periods count weeks.
#include <cstdint>

#include "assessment/Rahmenbedingung.h"
#include "platform/values/Decimal.h"

// RB7: the minimum never above the maximum.
class CRahmenbedingungKontArbeitstage : public CRahmenbedingung {
public:
    uint16_t KONTAZ_MIN = 0;   // fewest consecutive working days
    uint16_t KONTAZ_MAX = 0;   // most consecutive working days

    CRahmenbedingungKontArbeitstage();
    void Assign(const CRahmenbedingung& other) override { CopyWhenSame(*this, other); }
    LimitLevel CheckLimits(bool reset, const RBField& field = {}) override;
    void LoadFrom(const RecordBuffer& record) override;
    void StoreTo(RecordBuffer& record) const override;
};

// RB14. A longer daily working time with compensation (WTAZ_MIT_AUSGLEICH, 0 = none) is allowed
// only under conditions: a valid value always gives a warning, and it lies above the time
// without compensation.
class CRahmenbedingungWerktagAZ : public CRahmenbedingung {
public:
    int32_t WTAZ_OHNE_AUSGLEICH = 0;
    int32_t WTAZ_MIT_AUSGLEICH = 0;
    uint16_t WTAZ_AUSGLEICHSZEITRAUM_NORMAL = 0;
    uint16_t WTAZ_AUSGLEICHSZEITRAUM_NACHTARBEIT = 0;

    CRahmenbedingungWerktagAZ();
    void Assign(const CRahmenbedingung& other) override { CopyWhenSame(*this, other); }
    LimitLevel CheckLimits(bool reset, const RBField& field = {}) override;
    void LoadFrom(const RecordBuffer& record) override;
    void StoreTo(RecordBuffer& record) const override;
};

// RB15. WOCHENBEGINN is the clock time on Monday at which the working week begins; 0 means the
// week is computed with overflow (work begun on Sunday counts wholly to that week). RB16 carries
// the same record field.
class CRahmenbedingungWAZMittel : public CRahmenbedingung {
public:
    int32_t WOCHENBEGINN = 0;
    Decimal WAZ;                          // agreed weekly hours
    uint16_t WAZ_AUSGLEICHSZEITRAUM = 0;  // weeks over which they are averaged

    CRahmenbedingungWAZMittel();
    void Assign(const CRahmenbedingung& other) override { CopyWhenSame(*this, other); }
    LimitLevel CheckLimits(bool reset, const RBField& field = {}) override;
    void LoadFrom(const RecordBuffer& record) override;
    void StoreTo(RecordBuffer& record) const override;
};

// RB16: the minimum never above the maximum; no warning limits.
class CRahmenbedingungWAZGrenzen : public CRahmenbedingung {
public:
    int32_t WOCHENBEGINN = 0;
    Decimal WAZ_MIN;   // weekly hours at least
    Decimal WAZ_MAX;   // weekly hours at most

    CRahmenbedingungWAZGrenzen();
    void Assign(const CRahmenbedingung& other) override { CopyWhenSame(*this, other); }
    LimitLevel CheckLimits(bool reset, const RBField& field = {}) override;
    void LoadFrom(const RecordBuffer& record) override;
    void StoreTo(RecordBuffer& record) const override;
};
