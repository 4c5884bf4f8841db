// The property database. Properties read and written back are a fixed point
// of the file: those read from the written file are the ones first read, at
// the file's precision, under the same keys, and writing them again gives the
// same bytes. The player owns every house in between, so the owned-houses
// file written from the keys must find every house again, and with it every
// hotel or office that shares a house's key, as a load marks them.

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "fuzz/data_folder.h"
#include "fuzz/game.h"
#include "realestate/ro_viri_variru_roza.h"

namespace {

using corvalen::Place;
using corvalen::ROViriVariruRoza;
using corvalen::fuzz::require;
using corvalen::fuzz::two_decimals;

constexpr const char* kDatabase = "corvalen/house_db.csv";

std::string property_text(ROViriVariruRoza& estate, const Place& property) {
    const corvalen::GarageSpot& garage = estate.house_garage(property);
    return "key " + property.label + " at " + two_decimals(property.x) + " " +
           two_decimals(property.y) + " " + two_decimals(property.z) + " kind " +
           std::to_string(property.kind) + " value " + std::to_string(property.user_value) +
           (corvalen::is_owned(property) ? " owned" : "") + " garage " + two_decimals(garage.x) +
           " " + two_decimals(garage.y) + " " + two_decimals(garage.z) + " radius " +
           std::to_string(garage.radius);
}

std::vector<std::string> properties_of(ROViriVariruRoza& estate) {
    std::vector<std::string> texts;
    for (const Place& property : estate.places)
        texts.push_back(property_text(estate, property));
    return texts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    corvalen::fuzz::fresh_data_folder();
    corvalen::fuzz::write_file(kDatabase, data, size);
    corvalen::fuzz::in_frame([] {
        ROViriVariruRoza estate("1");
        require(estate.load_houses(), "the property files could not be read");
        std::set<std::string> house_keys;
        for (const Place& property : estate.places) {
            if (property.kind == corvalen::kHouse)
                house_keys.insert(property.label);
        }
        for (Place& property : estate.places.edit_all())
            property.user_flag = house_keys.count(property.label) != 0 ? 1 : 0;
        std::vector<std::string> first = properties_of(estate);
        require(estate.save_houses(), "the property database could not be written");
        require(estate.save_owned_houses(), "the owned-houses file could not be written");
        std::string written = corvalen::fuzz::read_file(kDatabase);

        require(estate.load_houses(), "the written property files could not be read");
        std::vector<std::string> second = properties_of(estate);
        require(second.size() == first.size(),
                "reading the written database gave another number of properties", written);
        for (std::size_t i = 0; i < first.size(); ++i) {
            require(second[i] == first[i], "a property read back differs from the one written",
                    first[i] + "\n" + second[i]);
        }
        require(estate.save_houses(), "the property database could not be written again");
        require(corvalen::fuzz::read_file(kDatabase) == written,
                "the written property database is no fixed point", written);
    });
    corvalen::fuzz::tidy_world();
    return 0;
}
