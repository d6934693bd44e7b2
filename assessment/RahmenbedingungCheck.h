#pragma once
// Shared by the constraint classes only: clock arithmetic on the record's TIME values and the
// common limit check against the RBWARN and RBFEHLER record buffers.
#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "assessment/Rahmenbedingung.h"
#include "platform/values/Decimal.h"

class RecordBuffer;

namespace RBCheck {

// TIME values: hundredths of a second since midnight plus 1; 0 is no time.
constexpr int32_t kMinute = 6'000;
constexpr int32_t kHour = 360'000;
constexpr int32_t kDay = 8'640'000;
constexpr int32_t k0000 = 1;
constexpr int32_t k2400 = kDay + 1;

inline int32_t Time(int hours, int minutes = 0) { return hours * kHour + minutes * kMinute + 1; }

// clock + delta modulo 24 hours; no time counts as 00:00.
inline int32_t ClockPlus(int32_t clock, int32_t delta)
{
    const int64_t v = (static_cast<int64_t>(std::max(clock, k0000)) - 1 + delta) % kDay;
    return static_cast<int32_t>(v < 0 ? v + kDay : v) + 1;
}

// clock + delta, but never beyond 24:00 (a put-back value must stay a time the window can show).
inline int32_t ClockPlusCapped(int32_t clock, int32_t delta)
{
    return static_cast<int32_t>(std::min<int64_t>(static_cast<int64_t>(clock) + delta, k2400));
}

// Whole minutes of a TIME value; 0 for no time.
inline int64_t Minutes(int32_t clock) { return clock <= 0 ? 0 : (clock - 1) / kMinute; }

bool SameName(std::string_view a, std::string_view b);

// One run of CheckLimits: which parts run, the level so far, and the common pattern.
class LimitCheck {
public:
    LimitCheck(bool reset, const RBField& field) : reset_(reset), field_(field) {}

    bool Reset() const { return reset_; }
    LimitLevel Level() const { return level_; }
    void Raise(LimitLevel level) { level_ = std::max(level_, level); }

    // True when no field was named or the named field is `name` (element `index`, 0 = any).
    bool Runs(std::string_view name, int index = 0) const;
    bool RunsAny(std::initializer_list<std::string_view> names) const;

    // The common pattern for one field: a lower limit is passed when the value is below the
    // limit, an upper one when it is above. Raises the level; when the error limit is passed
    // and reset is set, the value is put back to the error limit and the result is true:
    // CheckLimits then returns at once. A part that does not run does nothing.
    bool Lower(int32_t& value, std::string_view name, int index = 0);
    bool Lower(uint16_t& value, std::string_view name, int index = 0);
    bool Lower(Decimal& value, std::string_view name, int index = 0);
    bool Upper(int32_t& value, std::string_view name, int index = 0);
    bool Upper(uint16_t& value, std::string_view name, int index = 0);
    bool Upper(Decimal& value, std::string_view name, int index = 0);

    // The level of that comparison alone, without putting anything back (for parts that
    // put back something else first).
    LimitLevel CompareLower(int64_t value, std::string_view name, int index = 0);
    LimitLevel CompareUpper(int64_t value, std::string_view name, int index = 0);

private:
    bool reset_;
    RBField field_;
    LimitLevel level_ = LIMIT_ALLOWED;
};

// The warning and error limits of a field.
int64_t WarnInt(std::string_view name, int index = 0);
int64_t ErrorInt(std::string_view name, int index = 0);
Decimal WarnDecimal(std::string_view name, int index = 0);
Decimal ErrorDecimal(std::string_view name, int index = 0);

} // namespace RBCheck
