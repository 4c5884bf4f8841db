// The parking lots file. Lots read and written back are a fixed point of the
// file: the lots read from the written file are the ones first read, at the
// file's precision, and writing them again gives the same bytes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/data_folder.h"
#include "parking/public_parking.h"

namespace {

using corvalen::GarageSpot;
using corvalen::PublicParking;
using corvalen::fuzz::require;
using corvalen::fuzz::two_decimals;

std::string lot_text(const GarageSpot& lot) {
    return two_decimals(lot.x) + " " + two_decimals(lot.y) + " " + two_decimals(lot.z) +
           " radius " + std::to_string(lot.radius) + " single storey " +
           std::to_string(lot.single_storey) + " name '" + lot.name + "'";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    corvalen::fuzz::fresh_data_folder();
    PublicParking parking("1");
    corvalen::fuzz::write_file(parking.lots_path(), data, size);

    require(parking.load_lots(), "the lots file could not be read");
    std::vector<GarageSpot> first = parking.garage.spots;
    require(parking.save_lots(), "the lots file could not be written");
    std::string written = corvalen::fuzz::read_file(parking.lots_path());

    require(parking.load_lots(), "the written lots file could not be read");
    require(parking.garage.spots.size() == first.size(),
            "reading the written lots file gave another number of lots", written);
    for (std::size_t i = 0; i < first.size(); ++i) {
        require(lot_text(parking.garage.spots[i]) == lot_text(first[i]),
                "a lot read back differs from the lot written",
                lot_text(first[i]) + "\n" + lot_text(parking.garage.spots[i]));
    }
    require(parking.save_lots(), "the lots file could not be written again");
    require(corvalen::fuzz::read_file(parking.lots_path()) == written,
            "the written lots file is no fixed point", written);
    return 0;
}
