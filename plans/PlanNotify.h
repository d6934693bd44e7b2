#pragma once
// IPlanOwner: what a plan part needs of the worksheet that owns it. The worksheet implements it;
// until then a part without an owner simply sends no notification and applies no constraints.
#include "core/Schicht.h"

class IPlanOwner {
public:
    virtual ~IPlanOwner() = default;

    // The shift types changed (a placeholder was made, the edit cycle completed).
    virtual void OnSchichttypenChanged() = 0;

    // The windows of the night-work, early-shift and day-shift constraints (clock values); false
    // when the worksheet has no constraints to give.
    virtual bool GetLageDefinitions(NACHTSCHICHT& night, FRUEHSCHICHT& early, TAGSCHICHT& day) = 0;

    // Called before the shift-type windows open: publishes the worksheet's criteria checker for
    // their rule check when no checker is published yet.
    virtual void PublishChecker() {}
};
