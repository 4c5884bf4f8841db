#include "core/dice.h"

#include "host/platform.h"

namespace corvalen {

Dice seeded_dice() {
    return Dice(platform::random_seed());
}

std::int32_t roll(Dice& dice, std::int32_t low, std::int32_t high) {
    if (high <= low)
        return low;
    return std::uniform_int_distribution<std::int32_t>(low, high)(dice);
}

}  // namespace corvalen
