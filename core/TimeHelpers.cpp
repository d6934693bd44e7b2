#include "core/TimeHelpers.h"

#include "platform/ui/MessageShow.h"
#include "platform/values/Random.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string_view>

namespace {

std::atomic<uint32_t> lastSysID{0};

// One pair of a typed time read as a decimal number; what does not read as one counts 0.
double ReadNumber(std::string_view s)
{
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    double value = 0;
    auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    (void)end;
    return error == std::errc() && std::isfinite(value) ? value : 0.0;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The characters of a typed time that can form a number, at most 10.
std::string NumberCharacters(const std::string& typed)
{
    std::string text = typed;
    if (text.empty() || !(IsDigit(text[0]) || text[0] == ' '))
        text.insert(text.begin(), '0');

    std::string kept;
    bool point = false, exponent = false;
    for (size_t i = 0; i < text.size() && kept.size() < 10; ++i) {
        char c = text[i];
        if (IsDigit(c)) {
            kept += c;
        } else if (c == '.' && !point) {
            point = true;
            kept += c;
        } else if ((c == 'e' || c == 'E') && !exponent) {
            exponent = true;
            kept += c;
            if (i + 1 < text.size() && (text[i + 1] == '+' || text[i + 1] == '-') && kept.size() < 10)
                kept += text[++i];
        }
    }
    return kept;
}

} // namespace

uint32_t NewSysID(uint32_t& id)
{
    uint32_t last = lastSysID.load();
    uint32_t drawn;
    do {
        drawn = RandomNext();
        if (drawn == last)
            ++drawn;          // may wrap to 0 and is drawn again then
    } while (drawn == 0);     // 0 marks an empty plan cell
    lastSysID.store(drawn);
    id = drawn;
    return drawn;
}

uint32_t IntervalDuration(const TERMIN& t)
{
    return t.ENDE > t.BEGINN ? t.ENDE - t.BEGINN : 0;
}


uint32_t MinuteStampWeek(uint32_t stamp) { return (MinuteStampDay(stamp) - 1) / 7 + 1; }

uint32_t IntervalDay(const TERMIN& t) { return MinuteStampDay(t.BEGINN); }

uint32_t IntervalWeek(const TERMIN& t) { return MinuteStampWeek(t.BEGINN); }

void MoveIntervalToDay(TERMIN& t, uint32_t day)
{
    if (day == 0)
        return;
    int64_t shift = (int64_t(day) - int64_t(MinuteStampDay(t.BEGINN))) * kMinutesPerDay;
    if (shift == 0 || int64_t(t.ENDE) + shift < 0)
        return;
    t.BEGINN = uint32_t(int64_t(t.BEGINN) + shift);
    t.ENDE = uint32_t(int64_t(t.ENDE) + shift);
}

uint32_t IntervalOverlap(const TERMIN& a, const TERMIN& b, TERMIN* out)
{
    uint32_t overlap = 0;
    uint32_t from = std::max(a.BEGINN, b.BEGINN);
    if (a.ENDE > b.BEGINN && b.ENDE > a.BEGINN) {
        uint32_t to = std::min(a.ENDE, b.ENDE);
        overlap = to > from ? to - from : 0;
    }
    if (out)
        *out = TERMIN{from, from + overlap};
    return overlap;
}

uint32_t CyclicIntervalOverlap(const TERMIN& a, const TERMIN& b, uint32_t period)
{
    uint32_t overlap = IntervalOverlap(a, b);
    if (period == 0)
        return overlap;
    if (a.ENDE > period && b.ENDE <= period)
        overlap += IntervalOverlap(TERMIN{0, a.ENDE % period}, b);
    else if (b.ENDE > period && a.ENDE <= period)
        overlap += IntervalOverlap(a, TERMIN{0, b.ENDE % period});
    return overlap;
}

uint32_t IntervalGap(const TERMIN& a, const TERMIN& b)
{
    if (b.BEGINN < a.BEGINN)
        return b.ENDE > a.BEGINN ? 0 : a.BEGINN - b.ENDE;
    return a.ENDE > b.BEGINN ? 0 : b.BEGINN - a.ENDE;
}

int32_t WeekdayOfDate(int32_t date)
{
    int64_t r = (int64_t(date) + 6) % 7;
    return int32_t(r < 0 ? r + 7 : r) + 1;
}

uint8_t WeekdayBit(int32_t date) { return uint8_t(BitOfDay(uint8_t(WeekdayOfDate(date)))); }

uint32_t BitOfDay(uint8_t n)
{
    return n >= 1 && n <= 32 ? uint32_t{1} << (n - 1) : 0;
}

std::string FormatTimeOfDay(int64_t minutes, bool endOfDay)
{
    int64_t v;
    if (minutes < 0)
        v = (minutes % kMinutesPerDay + kMinutesPerDay) % kMinutesPerDay;
    else if (endOfDay)
        v = (minutes - 1) % kMinutesPerDay + 1;  // 0 stays 0: the remainder keeps the sign
    else
        v = minutes % kMinutesPerDay;
    if (v == kMinutesPerDay)
        return "24:00";
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", int(v / 60), int(v % 60));
    return text;
}

uint16_t ParseTimeEntry(const std::string& typed, bool endOfDay)
{
    std::string kept = NumberCharacters(typed);
    std::string_view k = kept;
    std::string_view hoursText, minutesText;
    switch (k.size()) {
    case 0: break;
    case 1:
    case 2: hoursText = k; break;
    case 3: hoursText = k.substr(0, 1); minutesText = k.substr(1, 2); break;
    default: hoursText = k.substr(0, 2); minutesText = k.substr(2, 2); break;
    }
    double hours = ReadNumber(hoursText);
    double minutes = ReadNumber(minutesText);

    int64_t h = int64_t(std::trunc(hours * 60));
    if (endOfDay && h == 0)
        h = kMinutesPerDay;  // an end at hour 00 means hour 24
    int64_t total = int64_t(std::trunc(double(h) + minutes));

    std::string message;
    if (total > kMinutesPerDay)
        message = "Ihre Eingabe wird auf 24:00 Stunden umgerechnet.|";
    if (minutes > 59)
        message += "Der Minutenanteil Ihrer Eingabe (" + std::string(minutesText) +
                   ") wird auf die Stunden umgerechnet.";

    // A negative minute part (a typed exponent such as "0e-9") cannot go below midnight.
    total = std::max<int64_t>(total, 0);
    int64_t result = endOfDay ? (total - 1) % kMinutesPerDay + 1 : total % kMinutesPerDay;

    if (!message.empty()) {
        MessageRequest request;
        request.text = message;
        request.caption = "Eingabe wird umgerechnet";
        request.icon = MessageIcon::Exclamation;
        request.buttonBits = BUTTON_OK;
        MessageShow(request);
    }
    return uint16_t(result);
}

uint16_t ParseTimeEntryValue(const std::string& text, bool endOfDay)
{
    return ParseTimeEntry(text, endOfDay);
}

uint16_t TimeToMinutes(int32_t clock)
{
    return uint16_t(std::min<uint32_t>(TimeToMinutesLong(clock), UINT16_MAX));
}

uint32_t TimeToMinutesLong(int32_t clock)
{
    return clock > 0 ? uint32_t(clock / kClockPerMinute) : 0;
}

int32_t MinuteStampToTime(uint32_t stamp)
{
    return int32_t(stamp % kMinutesPerDay) * kClockPerMinute + 1;
}
