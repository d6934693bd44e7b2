#pragma once
// The two small groups that plans, shift types and flex entries share.
#include <cstdint>

// A time span as minute stamps counted from the start of day 1 of a plan period (1440 a day):
// from BEGINN (included) to ENDE (excluded).
struct TERMIN {
    uint32_t BEGINN = 0;
    uint32_t ENDE = 0;
    bool operator==(const TERMIN&) const = default;
};

// One break of a shift: LAGE minutes after the shift's begin, DAUER minutes long. A break with
// LAGE and DAUER 0 is empty.
struct PAUSE {
    uint16_t LAGE = 0;
    uint16_t DAUER = 0;
    uint8_t BEZAHLT = 0;  // 1 = paid
    bool operator==(const PAUSE&) const = default;
};
