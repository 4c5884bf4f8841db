#pragma once
// Data folders for measuring the mod at different sizes of the world.

#include <filesystem>

namespace corvalen::bench {

struct WorldSize {
    int bus_points = 10000;
    int boat_points = 1000;
    int ship_points = 200;
    int stations = 500;
    int lots = 2000;
    int properties = 2000;
    int owned = 200;
    int stored_cars = 200;
};

// Writes a data folder (the configuration of `sample`, when it has one, and
// generated files of the given size) at `folder`, with save identity 1.
// Everything lies on a grid around the stand-in's start, so that the player
// is near some of it wherever he stands.
void write_world(const std::filesystem::path& folder, const WorldSize& size,
                 const std::filesystem::path& sample);

// A place of each kind in a generated world, for putting the player there.
struct WorldSpots {
    float station_x, station_y;
    float property_x, property_y;
};
WorldSpots generated_spots();

}  // namespace corvalen::bench
