#pragma once
// The town the monkey plays in: the data files a modder would have written
// (stations, fuel data, three route networks, car parks, properties and a
// configuration that shows every blip), a bus and a ferry the game parks at
// the start, and people about the streets.

#include <string>
#include <vector>

#include "hostsim/world.h"

namespace monkey {

// The global data files, by path under the current directory, as the modder
// wrote them.
const std::vector<std::pair<std::string, std::string>>& town_files();
// Writes them all, replacing whatever is there (a fault folder included).
void write_town_files();

// Places worth going to: stations, stops, car parks, properties, the coast.
const std::vector<hostsim::Vec3>& town_places();

// Adds the bus and the ferry; the game puts them back at every load.
void park_town_vehicles(hostsim::World& world);
// Stands a few people about the streets near a point.
void add_people_near(hostsim::World& world, hostsim::Vec3 point, int count);

}  // namespace monkey
