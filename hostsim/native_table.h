#pragma once
// The game's natives by hash: what each is called in the log, how many
// arguments it needs, and the handler that acts on the world.

#include <cstdint>
#include <map>
#include <vector>

#include "hostsim/native_args.h"

namespace hostsim {

using NativeRun = void (*)(const NativeArgs& args);

struct NativeInfo {
    std::uint32_t hash;
    const char* name;
    std::uint32_t arguments;  // fewer than this and the call does nothing
    NativeRun run;
};

class NativeTable {
  public:
    void add(const NativeInfo& info);
    // Index of a hash in entries(), or -1 for a hash the game does not have.
    int index_of(std::uint32_t hash) const;
    const std::vector<NativeInfo>& entries() const { return entries_; }

  private:
    std::vector<NativeInfo> entries_;
    std::map<std::uint32_t, int> by_hash_;
};

// Every native the stand-in offers.
NativeTable make_native_table();

void add_player_natives(NativeTable& table);
void add_game_natives(NativeTable& table);
void add_vehicle_natives(NativeTable& table);
void add_vehicle_service_natives(NativeTable& table);
void add_car_park_natives(NativeTable& table);
void add_blip_natives(NativeTable& table);
void add_screen_natives(NativeTable& table);
void add_map_natives(NativeTable& table);
void add_group_natives(NativeTable& table);
void add_traffic_natives(NativeTable& table);
void add_people_natives(NativeTable& table);

}  // namespace hostsim
