#include "assessment/Belastungseinschaetzung.h"

#include "core/Files.h"
#include "core/TimeHelpers.h"

namespace {

// The neutral rating of each slot of the assessment method; 0 marks the unused slots.
constexpr std::array<int32_t, CBelastungseinschaetzung::kItems> kNeutral = {
    1, 1, 1, 1, 9, 3,   // physical
    1, 9, 1, 1,         // emotional
    0, 0,               // not used
    5, 9, 1, 5, 5,      // mental
    0,                  // not used
};

} // namespace

int32_t CBelastungseinschaetzung::Item(int n) const {
    return n >= 1 && n <= kItems ? EINSCHAETZUNG[static_cast<size_t>(n - 1)] : 0;
}

void CBelastungseinschaetzung::SetItem(int n, int32_t value) {
    if (n >= 1 && n <= kItems) EINSCHAETZUNG[static_cast<size_t>(n - 1)] = value;
}

int32_t CBelastungseinschaetzung::NeutralValue(int n) {
    return n >= 1 && n <= kItems ? kNeutral[static_cast<size_t>(n - 1)] : 0;
}

bool CBelastungseinschaetzung::IsRatedItem(int n) { return NeutralValue(n) != 0; }

::TERMIN CBelastungseinschaetzung::GetTermin() const { return TERMIN; }

::TERMIN CBelastungseinschaetzung::GetTermin(uint16_t& day) const {
    day = GetDay();
    ::TERMIN t = TERMIN;
    MoveIntervalToDay(t, 1);
    return t;
}

uint16_t CBelastungseinschaetzung::GetDay() const { return static_cast<uint16_t>(IntervalDay(TERMIN)); }

void CBelastungseinschaetzung::SetTermin(const ::TERMIN& termin) { TERMIN = termin; }

void CBelastungseinschaetzung::SetTermin(const ::TERMIN& termin, uint16_t day) {
    TERMIN = termin;
    SetTermin(day);
}

void CBelastungseinschaetzung::SetTermin(uint16_t day) { MoveIntervalToDay(TERMIN, day); }

void CBelastungseinschaetzung::ToRecord() const { ToRecord(BEL); }

void CBelastungseinschaetzung::ToRecord(RecordBuffer& r) const {
    r.SetInt("ID", ID);
    r.SetInt("STEP", STEP);
    r.SetInt("SYSID", SYSID);
    r.SetInt("WOCHENTAGE", WOCHENTAGE);
    r.SetString("TAETIGKEIT", TAETIGKEIT);
    r.SetInt("BEGINN", TERMIN.BEGINN);
    r.SetInt("ENDE", TERMIN.ENDE);
    const Field& rating = r.GetLayout().At("EINSCHAETZUNG");
    for (int n = 1; n <= kItems; ++n) r.SetInt(rating, Item(n), n);
}

void CBelastungseinschaetzung::FromRecord() { FromRecord(BEL); }

void CBelastungseinschaetzung::FromRecord(const RecordBuffer& r) {
    ID = static_cast<int32_t>(r.GetInt("ID"));
    STEP = static_cast<int32_t>(r.GetInt("STEP"));
    SYSID = static_cast<uint32_t>(r.GetInt("SYSID"));
    WOCHENTAGE = static_cast<uint8_t>(r.GetInt("WOCHENTAGE"));
    TAETIGKEIT = r.GetString("TAETIGKEIT");
    TERMIN.BEGINN = static_cast<uint32_t>(r.GetInt("BEGINN"));
    TERMIN.ENDE = static_cast<uint32_t>(r.GetInt("ENDE"));
    const Field& rating = r.GetLayout().At("EINSCHAETZUNG");
    for (int n = 1; n <= kItems; ++n) SetItem(n, static_cast<int32_t>(r.GetInt(rating, n)));
}
