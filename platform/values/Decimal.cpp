#include "platform/values/Decimal.h"

#include <cmath>
#include <cstdlib>
#include <limits>

Decimal Decimal::FromDouble(double value) {
    // llround of NaN or of a value beyond 64 bits gives no usable number (on x86 the most
    // negative one): such values saturate on their own side, NaN is 0.
    const double cents = value * kScale;
    if (std::isnan(cents)) return {};
    constexpr double kEdge = 9.2e18;
    if (cents >= kEdge) return FromCents(std::numeric_limits<int64_t>::max());
    if (cents <= -kEdge) return FromCents(-std::numeric_limits<int64_t>::max());
    return FromCents(static_cast<int64_t>(std::llround(cents)));
}

Decimal Decimal::FromWhole(int64_t whole) {
    constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
    if (whole > kMax / kScale) return FromCents(kMax);
    if (whole < -(kMax / kScale)) return FromCents(-kMax);
    return FromCents(whole * kScale);
}

Decimal Decimal::FromRatio(int64_t numerator, int64_t denominator) {
    if (denominator == 0) return {};
    if (denominator < 0) {
        numerator = -numerator;
        denominator = -denominator;
    }
    const int64_t scaled = numerator * kScale;
    const int64_t half = denominator / 2;
    return FromCents(scaled >= 0 ? (scaled + half) / denominator : -((-scaled + half) / denominator));
}

std::optional<Decimal> Decimal::Parse(std::string_view s) {
    bool negative = false;
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    int64_t whole = 0, frac = 0;
    int places = -1, digits = 0;
    for (const char c : s) {
        if (c == '.' || c == ',') {
            if (places >= 0) return std::nullopt;
            places = 0;
        } else if (c >= '0' && c <= '9') {
            if (places >= 0) {
                if (++places > kPlaces) return std::nullopt;
                frac = frac * 10 + (c - '0');
            } else {
                if (whole > 9'000'000'000'000'000LL / 10 / kScale) return std::nullopt;
                whole = whole * 10 + (c - '0');
            }
            ++digits;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0) return std::nullopt;
    for (int p = places < 0 ? 0 : places; p < kPlaces; ++p) frac *= 10;
    const int64_t cents = whole * kScale + frac;
    return FromCents(negative ? -cents : cents);
}

std::string Decimal::ToString() const {
    const uint64_t mag = cents_ < 0 ? 0 - static_cast<uint64_t>(cents_) : static_cast<uint64_t>(cents_);
    std::string frac = std::to_string(mag % kScale);
    if (frac.size() < 2) frac.insert(0, "0");
    return (cents_ < 0 ? "-" : "") + std::to_string(mag / kScale) + "." + frac;
}

bool Decimal::EncodePacked(std::span<uint8_t> field) const {
    const int bytes = static_cast<int>(field.size());
    if (bytes < 1 || bytes > 9) return false;
    const int64_t limit = PackedLimit(bytes);
    if (cents_ > limit || cents_ < -limit) return false;
    uint64_t mag = static_cast<uint64_t>(cents_ < 0 ? -cents_ : cents_);
    // Half-bytes from the right: the sign first, then the digits.
    int nibble = 2 * bytes - 1;
    auto put = [&](int pos, unsigned v) {
        uint8_t& b = field[pos / 2];
        b = (pos % 2) ? static_cast<uint8_t>((b & 0xF0) | v) : static_cast<uint8_t>((b & 0x0F) | (v << 4));
    };
    put(nibble--, cents_ < 0 ? 0xD : 0xC);
    while (nibble >= 0) {
        put(nibble--, static_cast<unsigned>(mag % 10));
        mag /= 10;
    }
    return true;
}

std::optional<Decimal> Decimal::DecodePacked(std::span<const uint8_t> field) {
    const int bytes = static_cast<int>(field.size());
    if (bytes < 1 || bytes > 9) return std::nullopt;
    int64_t mag = 0;
    for (int pos = 0; pos < 2 * bytes - 1; ++pos) {
        const unsigned v = (pos % 2) ? (field[pos / 2] & 0x0F) : (field[pos / 2] >> 4);
        if (v > 9) return std::nullopt;
        mag = mag * 10 + v;
    }
    const unsigned sign = field[bytes - 1] & 0x0F;
    if (sign < 0xA) return std::nullopt;
    return FromCents(sign == 0xB || sign == 0xD ? -mag : mag);
}
