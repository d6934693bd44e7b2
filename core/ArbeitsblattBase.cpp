#include "core/ArbeitsblattBase.h"

#include <atomic>

namespace {
std::atomic<ArbeitsblattFactory> factory{nullptr};
} // namespace

void SetArbeitsblattFactory(ArbeitsblattFactory f)
{
    factory = f;
}

std::unique_ptr<CArbeitsblattBase> CreateArbeitsblatt()
{
    ArbeitsblattFactory f = factory;
    return f ? f() : nullptr;
}
