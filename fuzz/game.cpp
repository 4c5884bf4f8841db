#include "fuzz/game.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/data_folder.h"
#include "host/host_game.h"
#include "hostsim/host.h"

namespace corvalen::fuzz {
namespace {

// Keys of a map, to compare the world before and after an input.
template <typename Map>
std::vector<std::int32_t> handles_of(const Map& map) {
    std::vector<std::int32_t> handles;
    handles.reserve(map.size());
    for (const auto& entry : map)
        handles.push_back(entry.first);
    return handles;
}

struct Baseline {
    std::vector<std::int32_t> vehicles;
    std::vector<std::int32_t> blips;
};

Baseline& baseline() {
    static Baseline first{handles_of(game().world().vehicles()),
                          handles_of(game().world().blips())};
    return first;
}

template <typename Map, typename Remove>
void remove_new(const Map& map, const std::vector<std::int32_t>& kept, Remove remove) {
    std::vector<std::int32_t> made;
    for (const auto& entry : map) {
        if (!std::binary_search(kept.begin(), kept.end(), entry.first))
            made.push_back(entry.first);
    }
    for (std::int32_t handle : made)
        remove(handle);
}

}  // namespace

hostsim::Host& game() {
    static hostsim::Host* host = [] {
        hostsim::BootOptions options;
        // The log serves timelines; here it would only grow.
        options.native_log_limit = 64;
        return new hostsim::Host(options);
    }();
    return *host;
}

void in_frame(const std::function<void()>& body) {
    hostsim::World& world = game().world();
    baseline();
    world.begin_frame();
    game().pass_game_time(0);
    {
        host::FrameScope frame;
        body();
    }
    world.end_frame();
}

void tidy_world() {
    hostsim::World& world = game().world();
    std::string errors;
    for (const hostsim::JournalEntry& error : world.errors())
        errors += error.text + "\n";
    require(errors.empty(), "the game was asked something it refuses", errors);
    remove_new(world.vehicles(), baseline().vehicles,
               [&](std::int32_t handle) { world.remove_vehicle(handle); });
    remove_new(world.blips(), baseline().blips,
               [&](std::int32_t handle) { world.remove_blip(handle); });
    world.forget_journal();
}

}  // namespace corvalen::fuzz
