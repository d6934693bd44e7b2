#pragma once
// The constraints about breaks: the break steps by working time (RB11), the latest first break
// (RB12) and the shortest break that counts (RB13).
#include <array>
#include <cstdint>

#include "assessment/Rahmenbedingung.h"

// One break step: from AZ_AB working time on (a duration as TIME value; 0 = unused) the breaks
// must add up to PAUSENLAENGE minutes.
struct PAUSENREGEL {
    int32_t AZ_AB = 0;
    uint16_t PAUSENLAENGE = 0;
};

// RB11. Its limits are the legal ones and fixed: 30 minutes from more than 6 hours, 45 minutes
// from 9 hours on; the steps rise in threshold and length. No warning or error records are read.
class CRahmenbedingungPausen : public CRahmenbedingung {
public:
    std::array<PAUSENREGEL, 4> PAUSEN{};   // entries 1..4 of the record at 0..3

    CRahmenbedingungPausen();
    void Assign(const CRahmenbedingung& other) override { CopyWhenSame(*this, other); }
    LimitLevel CheckLimits(bool reset, const RBField& field = {}) override;
    void LoadFrom(const RecordBuffer& record) override;
    void StoreTo(RecordBuffer& record) const override;
};

// RB12.
class CRahmenbedingungErstePause : public CRahmenbedingung {
public:
    int32_t ERSTE_PAUSE = 0;   // working time after which the first break begins at the latest

    CRahmenbedingungErstePause();
    void Assign(const CRahmenbedingung& other) override { CopyWhenSame(*this, other); }
    LimitLevel CheckLimits(bool reset, const RBField& field = {}) override;
    void LoadFrom(const RecordBuffer& record) override;
    void StoreTo(RecordBuffer& record) const override;
};

// RB13.
class CRahmenbedingungMindestpausenlaenge : public CRahmenbedingung {
public:
    int32_t MINDESTPAUSENLAENGE = 0;   // minutes

    CRahmenbedingungMindestpausenlaenge();
    void Assign(const CRahmenbedingung& other) override { CopyWhenSame(*this, other); }
    LimitLevel CheckLimits(bool reset, const RBField& field = {}) override;
    void LoadFrom(const RecordBuffer& record) override;
    void StoreTo(RecordBuffer& record) const override;
};
