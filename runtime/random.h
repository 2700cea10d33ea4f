// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>

// Seeds the generator; without a seed, from the millisecond clock varied by a
// counter so that two seedings in one millisecond still differ.
void setRandomSeed(std::optional<std::uint32_t> seed = std::nullopt);
// A number from lower to upper (0 and 2147483647 when omitted; negatives as
// 0; swapped when reversed). Equal bounds give lower without a draw.
std::int32_t randomNumber(
    std::optional<std::int32_t> lower = std::nullopt, std::optional<std::int32_t> upper = std::nullopt);

// Test seam: the millisecond clock that clock seeding reads.
using TickSource = std::uint32_t (*)();
void setTickSource(TickSource source); // nullptr restores the system clock
// Test seam: the counter that clock seeding adds to the clock.
std::uint32_t randomSeedCounter();
