// The stop files (here the bus service's; the boat and ship services read
// theirs the same way). A network read and written back is a fixed point of
// the file: the points read from the written file are the ones first read,
// at the file's precision, and writing them again gives the same bytes.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fuzz/data_folder.h"
#include "fuzz/game.h"
#include "transit/transit_service.h"

namespace {

using corvalen::RoutePoint;
using corvalen::ServiceMode;
using corvalen::TransitService;
using corvalen::fuzz::require;
using corvalen::fuzz::two_decimals;

constexpr const char* kStopFile = "corvalen/bus_stops.csv";

std::string point_text(const RoutePoint& point) {
    return two_decimals(point.x) + " " + two_decimals(point.y) + " " + two_decimals(point.z) + " " +
           two_decimals(point.heading) + " type " + std::to_string(point.type) +
           (point.backwards ? " backwards" : "") + " link " + std::to_string(point.link_x) + " " +
           std::to_string(point.link_y);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    corvalen::fuzz::fresh_data_folder();
    corvalen::fuzz::write_file(kStopFile, data, size);
    corvalen::fuzz::in_frame([] {
        // The service loads its stop file as it is built.
        std::optional<TransitService> service;
        service.emplace(ServiceMode::Bus, nullptr);
        std::vector<RoutePoint> first = service->points;
        require(service->save_points(), "the stop file could not be written");
        std::string written = corvalen::fuzz::read_file(kStopFile);

        service->load_points();
        require(service->points.size() == first.size(),
                "reading the written stop file gave another number of points", written);
        for (std::size_t i = 0; i < first.size(); ++i) {
            require(point_text(service->points[i]) == point_text(first[i]),
                    "a point read back differs from the point written",
                    point_text(first[i]) + "\n" + point_text(service->points[i]));
        }
        require(service->save_points(), "the stop file could not be written again");
        require(corvalen::fuzz::read_file(kStopFile) == written,
                "the written stop file is no fixed point", written);
    });
    corvalen::fuzz::tidy_world();
    return 0;
}
