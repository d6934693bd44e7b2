#pragma once
// Fixed-point number with two decimal places (hours, amounts). In a record it is a packed decimal:
// two digits per byte, most significant first, the last half-byte the sign (written Ch positive,
// Dh negative; read also Ah, Eh, Fh positive and Bh negative); n bytes hold 2n-1 digits.
#include <compare>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

class Decimal {
public:
    static constexpr int kPlaces = 2;
    static constexpr int64_t kScale = 100;

    constexpr Decimal() = default;
    static constexpr Decimal FromCents(int64_t cents) { Decimal d; d.cents_ = cents; return d; }
    // Rounded half away from zero to two places; beyond 64 bits of cents the largest magnitude of
    // the value's sign, NaN 0.
    static Decimal FromDouble(double value);
    // A whole number; beyond 64 bits of cents the largest magnitude of its sign.
    static Decimal FromWhole(int64_t whole);
    // numerator / denominator rounded half away from zero to two places (hours from a minute
    // sum: FromRatio(minutes, 60)); 0 for a zero denominator.
    static Decimal FromRatio(int64_t numerator, int64_t denominator);
    // Digits with an optional sign and at most one "." or "," followed by at most two places
    // ("40", "-7.5", "0,25"); anything else, or no digit at all, gives no value.
    static std::optional<Decimal> Parse(std::string_view text);

    constexpr int64_t Cents() const { return cents_; }
    double ToDouble() const { return static_cast<double>(cents_) / kScale; }
    // "-12.50": always two places, "." as separator.
    std::string ToString() const;

    // Largest magnitude, in cents, that a packed field of `bytes` bytes holds.
    static constexpr int64_t PackedLimit(int bytes) {
        int64_t m = 1;
        for (int i = 0; i < 2 * bytes - 1; ++i) m *= 10;
        return m - 1;
    }
    // Writes the packed form; false (and the field untouched) when the value does not fit.
    bool EncodePacked(std::span<uint8_t> field) const;
    // Reads the packed form; no value when a digit or the sign half-byte is invalid.
    static std::optional<Decimal> DecodePacked(std::span<const uint8_t> field);

    friend constexpr auto operator<=>(Decimal, Decimal) = default;
    friend constexpr Decimal operator+(Decimal a, Decimal b) { return FromCents(a.cents_ + b.cents_); }
    friend constexpr Decimal operator-(Decimal a, Decimal b) { return FromCents(a.cents_ - b.cents_); }
    friend constexpr Decimal operator-(Decimal a) { return FromCents(-a.cents_); }

private:
    int64_t cents_ = 0;
};
