#pragma once
// What the plug-in holds in the game, read from its features' public state:
// every blip, vehicle, character and group handle it keeps, each with the
// holder that keeps it. The monkey compares this with what the world has.

#include <cstdint>
#include <map>
#include <string>

namespace corvalen {
class Mod;
}

namespace monkey {

struct Holder {
    const char* kind;   // what sort of holding: "garage debug blip", "fleet driver"
    std::string owner;  // whose: "parking garage", "bus service"
};

using HandleHolders = std::map<std::int32_t, Holder>;

struct Holdings {
    HandleHolders blips;
    HandleHolders vehicles;
    HandleHolders characters;
    HandleHolders groups;
};

Holdings holdings_of(const corvalen::Mod& mod);

}  // namespace monkey
