#pragma once
// The mod's random numbers: Mersenne-twister engines, each seeded once when
// its owner is built, and uniform draws over closed ranges. Seeds come through
// the platform seam, so a host process can make runs repeat.

#include <cstdint>
#include <random>

namespace corvalen {

using Dice = std::mt19937;

// A new engine with its own seed.
Dice seeded_dice();

// A uniform draw from low..high, both included; low when the range is empty
// (high below low), where the standard distribution is undefined.
std::int32_t roll(Dice& dice, std::int32_t low, std::int32_t high);

}  // namespace corvalen
