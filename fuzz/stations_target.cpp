// The station file. Stations read and written back are a fixed point of the
// file: the stations read from the written file are the ones first read, at
// the file's precision, and writing them again gives the same bytes (the
// street names come from the same map both times).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "autoservice/service_manager.h"
#include "fuzz/data_folder.h"
#include "fuzz/game.h"

namespace {

using corvalen::Place;
using corvalen::ServiceManager;
using corvalen::fuzz::require;
using corvalen::fuzz::two_decimals;

std::string station_text(const Place& station) {
    return two_decimals(station.x) + " " + two_decimals(station.y) + " " + two_decimals(station.z) +
           " radius " + std::to_string(station.radius) + " kind " + std::to_string(station.kind);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    corvalen::fuzz::fresh_data_folder();
    corvalen::fuzz::in_frame([&] {
        ServiceManager stations(nullptr);
        corvalen::fuzz::write_file(stations.stations_file, data, size);
        stations.load_stations();
        std::vector<Place> first = stations.places.all();
        require(stations.save_stations(), "the station file could not be written");
        std::string written = corvalen::fuzz::read_file(stations.stations_file);

        stations.load_stations();
        require(stations.places.size() == first.size(),
                "reading the written station file gave another number of stations", written);
        for (std::size_t i = 0; i < first.size(); ++i) {
            require(station_text(stations.places[i]) == station_text(first[i]),
                    "a station read back differs from the station written",
                    station_text(first[i]) + "\n" + station_text(stations.places[i]));
        }
        require(stations.save_stations(), "the station file could not be written again");
        require(corvalen::fuzz::read_file(stations.stations_file) == written,
                "the written station file is no fixed point", written);
    });
    corvalen::fuzz::tidy_world();
    return 0;
}
