// SPDX-License-Identifier: MIT
#include "random.h"

#include <algorithm>
#include <chrono>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

thread_local std::uint32_t generatorState = 1;
std::uint32_t seedCounter = 0;

std::uint32_t systemTicks()
{
    // Milliseconds on a clock that starts with the system, wrapping at 32 bits.
#ifdef _WIN32
    return GetTickCount();
#else
    using namespace std::chrono;
    return std::uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
#endif
}

TickSource tickSource = systemTicks;

// The linear congruential generator of Microsoft's C run time (rand()): the
// multiplier and increment are its constants and the draw is bits 16 to 30
// of the state. The game's home platform deals with exactly this sequence,
// so a seed gives the same hand there and here.
std::int32_t draw()
{
    generatorState = generatorState * 214013u + 2531011u;
    return std::int32_t((generatorState >> 16) & 0x7fff);
}

} // namespace

void setTickSource(TickSource source)
{
    tickSource = source ? source : systemTicks;
}

std::uint32_t randomSeedCounter()
{
    return seedCounter;
}

void setRandomSeed(std::optional<std::uint32_t> seed)
{
    if (seed) {
        generatorState = *seed;
        return;
    }
    const std::uint32_t clockSeed = tickSource() + seedCounter;
    generatorState = clockSeed;
    seedCounter += (clockSeed & 0xff) + 100;
}

std::int32_t randomNumber(std::optional<std::int32_t> lower, std::optional<std::int32_t> upper)
{
    std::int32_t low = lower ? std::max(*lower, 0) : 0;
    std::int32_t high = upper ? std::max(*upper, 0) : 2147483647;
    if (low > high)
        std::swap(low, high);
    if (low == high)
        return low;
    const std::int64_t span = std::min<std::int64_t>(std::int64_t(high) - low, 0x7ffffffe);
    return std::int32_t(low + draw() % (span + 1));
}
