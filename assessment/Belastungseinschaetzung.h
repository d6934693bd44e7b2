#pragma once
// CBelastungseinschaetzung: one strain assessment of a worksheet, the BEL record held as an
// object. An activity done on a set of weekdays from BEGINN to ENDE (minutes of day 1, an end at
// midnight is 1440) is rated in 15 items of physical, emotional and mental strain.
#include "core/Termin.h"

#include <array>
#include <cstdint>
#include <string>

class RecordBuffer;

class CBelastungseinschaetzung {
public:
    static constexpr int kItems = 18;   // rating slots; items 11, 12 and 18 are not used

    int32_t ID = 0;
    int32_t STEP = 0;
    uint32_t SYSID = 0;
    uint8_t WOCHENTAGE = 0;          // Monday 1, Tuesday 2, ... Sunday 64; 127 every day
    std::string TAETIGKEIT;          // at most 30 characters in the record
    ::TERMIN TERMIN;
    std::array<int32_t, kItems> EINSCHAETZUNG{};   // item n at [n - 1]; 0 = not rated

    bool operator==(const CBelastungseinschaetzung&) const = default;

    // Rating of item n (1..18); 0 for a number outside that range.
    int32_t Item(int n) const;
    void SetItem(int n, int32_t value);

    // The rating an item counts with when nobody rated it; 0 for the unused slots.
    static int32_t NeutralValue(int n);
    // Items 1-10 and 13-17 are rated; the other slots are never shown nor given a value.
    static bool IsRatedItem(int n);

    // The span as stored; with day, the day of BEGINN and the span moved back to day 1.
    ::TERMIN GetTermin() const;
    ::TERMIN GetTermin(uint16_t& day) const;
    uint16_t GetDay() const;
    // Takes the span as it is, or moved to the given day; the last moves the stored span.
    void SetTermin(const ::TERMIN& termin);
    void SetTermin(const ::TERMIN& termin, uint16_t day);
    void SetTermin(uint16_t day);

    // Field by field into / out of the BEL record buffer or a record of its layout (TMPBEL,
    // XIBEL).
    void ToRecord() const;
    void ToRecord(RecordBuffer& record) const;
    void FromRecord();
    void FromRecord(const RecordBuffer& record);
};
