#pragma once
// CAKBInfo: key figures of the staff demand, filled by CAKBData::ComputeInfo. Hours with two
// decimal places; held in 64 bits, so a full twelve-week plan at 255 persons does not overflow.
#include "platform/values/Decimal.h"

struct CAKBInfo {
    Decimal BSPROWOCHE;   // hours with demand per week
    Decimal BSGESAMT;     // hours with demand
    Decimal BMSGESAMT;    // person-hours
    Decimal BMSPROWOCHE;  // person-hours per week
    Decimal BELEGSCHAFT;  // average head count while there is demand

    void Clear() { *this = CAKBInfo{}; }
};
