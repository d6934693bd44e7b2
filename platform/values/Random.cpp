#include "platform/values/Random.h"

#include <chrono>
#include <mutex>
#include <utility>

namespace {

// PCG32 (XSH RR): small, fast, statistically sound, and the same sequence on every platform,
// unlike the distributions of the standard library.
class Pcg32 {
public:
    void Restart(uint64_t start)
    {
        start_ = start;
        state_ = 0;
        Step();
        state_ += start;
        Step();
    }

    uint32_t Next()
    {
        uint64_t old = state_;
        Step();
        auto shifted = static_cast<uint32_t>(((old >> 18) ^ old) >> 27);
        auto rot = static_cast<uint32_t>(old >> 59);
        return (shifted >> rot) | (shifted << ((32 - rot) & 31));
    }

    uint64_t Start() const { return start_; }

private:
    void Step() { state_ = state_ * 6364136223846793005ULL + kIncrement; }

    static constexpr uint64_t kIncrement = 1442695040888963407ULL;
    uint64_t state_ = 0;
    uint64_t start_ = 0;
};

// The remainder of a by d, both of 32 bits, by two multiplications with m = 2^64 / d rounded up
// (exact for every a and d, as the direct-computation method for remainders shows).
uint32_t Remainder(uint32_t a, uint32_t d, uint64_t m)
{
    const uint64_t low = m * a;
    return static_cast<uint32_t>((static_cast<unsigned __int128>(low) * d) >> 64);
}

struct Source {
    std::mutex lock;
    Pcg32 generator;
    // The last range's span, its rejection limit and its remainder factor: the search draws from
    // one range again and again.
    uint32_t span = 0;
    uint64_t limit = 0;
    uint64_t factor = 0;
    Source()
    {
        auto now = std::chrono::system_clock::now().time_since_epoch();
        generator.Restart(static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
    }
};

Source& TheSource()
{
    static Source source;
    return source;
}

} // namespace

uint32_t RandomNext()
{
    Source& s = TheSource();
    std::lock_guard guard(s.lock);
    return s.generator.Next();
}

int32_t RandomBetween(int32_t low, int32_t high)
{
    if (low > high)
        std::swap(low, high);
    uint64_t span = static_cast<uint64_t>(static_cast<int64_t>(high) - low) + 1;  // 1 .. 2^32
    Source& s = TheSource();
    std::lock_guard guard(s.lock);
    uint32_t r = s.generator.Next();
    if (span == (uint64_t{1} << 32))
        return static_cast<int32_t>(static_cast<int64_t>(low) + r);
    // Draws in the short last stretch of the 32-bit range are repeated, so every value of the
    // range is equally likely. Below 2^32 the remainders are taken in 32 bits (2^32 mod span is
    // (2^32 - span) mod span), worked out once per span and then by multiplication: the same
    // numbers as 64-bit divisions, at a fraction of their cost.
    const auto span32 = static_cast<uint32_t>(span);
    if (span32 != s.span) {
        s.span = span32;
        s.factor = UINT64_MAX / span32 + 1;
        s.limit = (uint64_t{1} << 32) - Remainder(0u - span32, span32, s.factor);
    }
    while (r >= s.limit)
        r = s.generator.Next();
    return static_cast<int32_t>(static_cast<int64_t>(low) + static_cast<int64_t>(Remainder(r, span32, s.factor)));
}

void RandomRestart(uint64_t start)
{
    Source& s = TheSource();
    std::lock_guard guard(s.lock);
    s.generator.Restart(start);
}

uint64_t RandomStartValue()
{
    Source& s = TheSource();
    std::lock_guard guard(s.lock);
    return s.generator.Start();
}
