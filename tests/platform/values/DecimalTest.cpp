#include "platform/values/Decimal.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>

namespace {

std::array<uint8_t, 3> Pack(Decimal d) {
    std::array<uint8_t, 3> b{0xEE, 0xEE, 0xEE};
    EXPECT_TRUE(d.EncodePacked(b));
    return b;
}

} // namespace

TEST(Decimal, PackedBytesAreDigitsThenSign) {
    EXPECT_EQ(Pack(Decimal::FromCents(4000)), (std::array<uint8_t, 3>{0x04, 0x00, 0x0C}));
    EXPECT_EQ(Pack(Decimal::FromCents(-1)), (std::array<uint8_t, 3>{0x00, 0x00, 0x1D}));
    EXPECT_EQ(Pack(Decimal()), (std::array<uint8_t, 3>{0x00, 0x00, 0x0C}));
}

TEST(Decimal, PackedRoundTripIncludingNegativesAndExtremes) {
    for (const int64_t cents : {0LL, 1LL, -1LL, 4000LL, -4000LL, 12345LL, -12345LL, 99999LL, -99999LL, 50LL, -50LL}) {
        const auto b = Pack(Decimal::FromCents(cents));
        const auto back = Decimal::DecodePacked(b);
        ASSERT_TRUE(back.has_value()) << cents;
        EXPECT_EQ(back->Cents(), cents);
    }
}

TEST(Decimal, ValueBeyondTheFieldIsRefusedAndLeavesItUntouched) {
    std::array<uint8_t, 3> b{1, 2, 3};
    EXPECT_FALSE(Decimal::FromCents(100000).EncodePacked(b));
    EXPECT_FALSE(Decimal::FromCents(-100000).EncodePacked(b));
    EXPECT_EQ(b, (std::array<uint8_t, 3>{1, 2, 3}));
    EXPECT_EQ(Decimal::PackedLimit(3), 99999);
}

TEST(Decimal, DamagedPackedBytesGiveNoValue) {
    const std::array<std::array<uint8_t, 3>, 3> bad{{{0x0A, 0x00, 0x0C},   // digit > 9
                                                     {0x00, 0x00, 0x00},   // no sign
                                                     {0x00, 0x00, 0x05}}};
    for (const auto& b : bad) EXPECT_FALSE(Decimal::DecodePacked(b).has_value());
    // Other sign half-bytes of the packed format are read too.
    const std::array<uint8_t, 3> f{0x00, 0x12, 0x3F}, bsign{0x00, 0x12, 0x3B};
    EXPECT_EQ(Decimal::DecodePacked(f)->Cents(), 123);
    EXPECT_EQ(Decimal::DecodePacked(bsign)->Cents(), -123);
}

TEST(Decimal, ParseAndText) {
    struct Case { const char* text; bool ok; int64_t cents; };
    const Case cases[] = {
        {"40", true, 4000}, {"40.00", true, 4000}, {"-7.5", true, -750}, {"0,25", true, 25},
        {"+3", true, 300}, {".5", true, 50}, {"", false, 0}, {"-", false, 0}, {"1.234", false, 0},
        {"1.2.3", false, 0}, {"12a", false, 0}, {" 1", false, 0},
    };
    for (const Case& c : cases) {
        const auto d = Decimal::Parse(c.text);
        EXPECT_EQ(d.has_value(), c.ok) << c.text;
        if (d && c.ok) {
            EXPECT_EQ(d->Cents(), c.cents) << c.text;
        }
    }
    EXPECT_EQ(Decimal::FromCents(-1250).ToString(), "-12.50");
    EXPECT_EQ(Decimal::FromCents(-5).ToString(), "-0.05");
    EXPECT_EQ(Decimal::FromCents(99999).ToString(), "999.99");
    EXPECT_EQ(Decimal::FromDouble(-0.125).Cents(), -13);
    EXPECT_EQ(Decimal::FromDouble(2.675).Cents(), 268);
}

TEST(Decimal, DoublesRoundHalfAwayFromZeroAndSaturateOnTheirOwnSide) {
    constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
    const struct {
        double value;
        int64_t cents;
    } cases[] = {
        {0.125, 13}, {-0.125, -13}, {38.5, 3850}, {0.004, 0}, {-0.004, 0},
        {1e17, kMax}, {1e300, kMax}, {HUGE_VAL, kMax},
        {-1e17, -kMax}, {-1e300, -kMax}, {-HUGE_VAL, -kMax},
        {std::nan(""), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(Decimal::FromDouble(c.value).Cents(), c.cents);
    }
}

TEST(Decimal, RatioRoundsHalfAwayFromZeroToCents) {
    const struct {
        int64_t numerator, denominator, cents;
    } cases[] = {
        {90, 60, 150},   {1, 60, 2},    {-1, 60, -2},  {1, 600, 0},     // 0.0167 h, 0.00167 h
        {1, 8, 13},      {-1, 8, -13},  {1, -8, -13},  {-1, -8, 13},    // halves: 0.125
        {5, 0, 0},       {0, 7, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.numerator << " / " << c.denominator);
        EXPECT_EQ(Decimal::FromRatio(c.numerator, c.denominator).Cents(), c.cents);
    }
}
