#pragma once
// RB17: the free weekend. It begins at the latest on WE_ANFANGSTAG at WE_ANFANGSZEIT, ends at
// the earliest on WE_ENDTAG at WE_ENDZEIT (weekdays 1 Monday .. 7 Sunday, TIME values) and lasts
// at least WE_DAUER_MIN hours; it always holds a whole Saturday or a whole Sunday. No warning
// limits; the error limit is the shortest weekend.
#include <cstdint>

#include "assessment/Rahmenbedingung.h"
#include "platform/values/Decimal.h"

class CRahmenbedingungWochenende : public CRahmenbedingung {
public:
    uint16_t WE_ANFANGSTAG = 0;
    int32_t WE_ANFANGSZEIT = 0;
    uint16_t WE_ENDTAG = 0;
    int32_t WE_ENDZEIT = 0;
    Decimal WE_DAUER_MIN;

    CRahmenbedingungWochenende();
    void Assign(const CRahmenbedingung& other) override { CopyWhenSame(*this, other); }
    // Every part runs for any of the five fields. A weekend that holds neither a whole Saturday
    // nor a whole Sunday from its begin (or up to its end), or a weekday outside 1..7, is refused
    // and put back to Sunday 00:00; a minimum above 96 hours is cut to 96; when all is well the
    // minimum grows to the whole span from begin to end.
    LimitLevel CheckLimits(bool reset, const RBField& field = {}) override;
    void LoadFrom(const RecordBuffer& record) override;
    void StoreTo(RecordBuffer& record) const override;

private:
    void Normalise();
};
