// The car files (the car parks' and the houses' are read alike). Cars read,
// re-created in the stand-in's world and written back, with the lines that
// held no car after them, are a fixed point of the file: every written car
// line is read again, each car read back has the record of the car written
// in every column that is read, at that column's precision, the same lines
// are kept, and writing them again gives the same bytes.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "autoservice/fuel_model.h"
#include "core/text_number.h"
#include "fuzz/data_folder.h"
#include "fuzz/game.h"
#include "garage/garage_controller.h"

namespace {

using corvalen::GarageController;
using corvalen::fuzz::require;

constexpr const char* kCarFile = "corvalen/1/pub_parking_cars.csv";

// A stored car's record at the precision of each car-file column, taken
// from the record itself rather than from the car-file writer, so that a
// writer that loses something is caught too. Columns 12, 13 and 25 are
// never read back.
std::string record_text(const corvalen::StoredCar& car, std::int32_t odometer) {
    using corvalen::fixed_decimals;
    using corvalen::significant_digits;
    namespace host = corvalen::host;
    const corvalen::SavedVehicle& saved = car.vehicle;
    std::string text = "model " + std::to_string(saved.model) + " at " +
                       significant_digits(saved.x, 6) + " " + significant_digits(saved.y, 6) + " " +
                       significant_digits(saved.z, 6) + " heading " +
                       fixed_decimals(saved.heading, 6) + " bytes";
    for (std::uint32_t offset :
         {host::kColourBytesOffset, host::kColourBytesOffset + 1, host::kColourBytesOffset + 2,
          host::kLooksByteOffset, host::kColourBytesOffset + 3}) {
        text += " " + std::to_string(host::block_byte(saved.block, offset));
    }
    text += " damage " +
            fixed_decimals(host::block_float(saved.block, host::VehicleField::Damage), 6) +
            " fuel " +
            significant_digits(host::block_float(saved.block, host::VehicleField::FuelRecord), 6) +
            " extra " + std::to_string(saved.extra_value) + " extras ";
    for (bool fitted : saved.extras)
        text += fitted ? '1' : '0';
    return text + " area " + std::to_string(saved.area_code) + " parked " +
           std::to_string(car.parked_at) + " odometer " + std::to_string(odometer) + "\n";
}

// The records of the stored cars, in the order of their handles (the order
// in which the reader made them).
std::vector<std::string> records_of(const GarageController& garage,
                                    const corvalen::FuelModel& fuel) {
    std::map<corvalen::host::Handle, std::string> records;
    for (const auto& [handle, block] : garage.stored) {
        auto record = garage.records.find(handle);
        require(record != garage.records.end(), "a stored car has no record");
        records[handle] = record_text(record->second, fuel.odometer_metres(handle));
    }
    std::vector<std::string> ordered;
    for (auto& [handle, text] : records)
        ordered.push_back(std::move(text));
    return ordered;
}

std::size_t line_count(const std::string& text) {
    std::size_t count = 0;
    for (char c : text)
        count += c == '\n' ? 1 : 0;
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    corvalen::fuzz::fresh_data_folder();
    corvalen::fuzz::write_file(kCarFile, data, size);
    corvalen::fuzz::in_frame([] {
        // The fuel model keeps the odometers of column 28.
        corvalen::FuelModel fuel(nullptr);
        GarageController garage;
        garage.owner = &fuel;
        garage.set_car_file(kCarFile);
        require(garage.read_car_file(), "the car file could not be read");
        std::vector<std::string> first = records_of(garage, fuel);
        std::vector<std::string> kept = garage.kept_lines;
        require(garage.write_car_file(), "the car file could not be written");
        std::string written = corvalen::fuzz::read_file(kCarFile);
        // Lines that hold no car are written back after the cars.
        require(line_count(written) == first.size() + kept.size(),
                "the car file lost or gained lines", written);

        require(garage.read_car_file(), "the written car file could not be read");
        std::vector<std::string> second = records_of(garage, fuel);
        require(second.size() == first.size(),
                "reading the written car file gave another number of cars", written);
        require(garage.kept_lines == kept, "the lines kept changed between saves", written);
        for (std::size_t i = 0; i < first.size(); ++i) {
            require(second[i] == first[i], "a car read back differs from the car written",
                    first[i] + second[i]);
        }
        require(garage.write_car_file(), "the car file could not be written again");
        require(corvalen::fuzz::read_file(kCarFile) == written,
                "the written car file is no fixed point", written);
    });
    corvalen::fuzz::tidy_world();
    return 0;
}
