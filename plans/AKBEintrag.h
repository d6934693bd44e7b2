#pragma once
// CAKBEintrag: one span of the staff demand - from BEGINN (included) to ENDE (excluded), minute
// stamps from the start of the plan, ANZAHL persons needed meanwhile.
#include "core/Termin.h"

#include <cstdint>

// The stored count is one byte; sums are capped here.
constexpr unsigned AKB_MAX_ANZAHL = 255;

struct CAKBEintrag {
    ::TERMIN TERMIN;
    uint8_t ANZAHL = 0;
    bool operator==(const CAKBEintrag&) const = default;
};
