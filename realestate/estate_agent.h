#pragma once
// The estate agent: a pedestrian who joins the player's group while the
// player shops for properties, shows on the map, and takes his leave with a
// word of thanks when the deal is done.

#include <array>
#include <cstdint>

#include "core/dice.h"
#include "host/host_game.h"

namespace corvalen {

struct EstateAgent {
    // The agent's looks, one chosen at random each time.
    static constexpr std::array<std::uint32_t, 5> kModels = {0x5B404032, 0x2924DBD8, 0xDA0E92D1,
                                                             0x976C0D95, 0x1B0DCC86};

    // Brings an agent in beside the player. False, with no agent kept, when
    // the host had no spot or no pedestrian for him.
    bool spawn(Dice& dice);
    // Sends the agent away with `amount` (the deal's value) in his pocket;
    // one who is hurt or dead is only released. Afterwards there is no agent.
    void dismiss(std::int32_t amount);
    // True when there is an agent and he is gone: he no longer exists, died,
    // or no longer keeps to the player. Asks nothing of a handle the host
    // does not know any more.
    bool lost() const;
    // A loaded game has none of the earlier game's characters and blips, and
    // may have given their handles to its own: the handles are dropped
    // without a word to the host.
    void forget();

    bool present() const { return handle != 0; }

    host::Handle handle = 0;
    host::Handle blip = 0;

  private:
    void remove_blip();
};

}  // namespace corvalen
