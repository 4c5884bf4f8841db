#include "hostsim/native_table.h"

#include <stdexcept>

#include "hostsim/world.h"

namespace hostsim {

void NativeTable::add(const NativeInfo& info) {
    if (!by_hash_.try_emplace(info.hash, static_cast<int>(entries_.size())).second) {
        throw std::logic_error("native " + hex(info.hash) + " added twice");
    }
    entries_.push_back(info);
}

int NativeTable::index_of(std::uint32_t hash) const {
    auto it = by_hash_.find(hash);
    return it == by_hash_.end() ? -1 : it->second;
}

NativeTable make_native_table() {
    NativeTable table;
    add_player_natives(table);
    add_game_natives(table);
    add_vehicle_natives(table);
    add_vehicle_service_natives(table);
    add_car_park_natives(table);
    add_blip_natives(table);
    add_screen_natives(table);
    add_map_natives(table);
    add_group_natives(table);
    add_traffic_natives(table);
    add_people_natives(table);
    return table;
}

}  // namespace hostsim
