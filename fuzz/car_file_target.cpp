// The car files (the car parks' and the houses' are read alike). Cars read,
// re-created in the stand-in's world and written back are a fixed point of
// the file: every written line is read again, each car read back is the car
// written in every column at that column's precision, and writing them again
// gives the same bytes.

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "autoservice/fuel_model.h"
#include "fuzz/data_folder.h"
#include "fuzz/game.h"
#include "garage/garage_controller.h"

namespace {

using corvalen::GarageController;
using corvalen::fuzz::require;

constexpr const char* kCarFile = "corvalen/1/pub_parking_cars.csv";

// The lines of the stored cars, in the order of their handles (the order in
// which the reader made them).
std::vector<std::string> car_lines(const GarageController& garage) {
    std::map<corvalen::host::Handle, std::string> lines;
    for (const auto& [handle, block] : garage.stored)
        lines[handle] = garage.car_line(handle);
    std::vector<std::string> ordered;
    for (auto& [handle, line] : lines)
        ordered.push_back(std::move(line));
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
        std::optional<GarageController> garage;
        garage.emplace();
        garage->owner = &fuel;
        garage->set_car_file(kCarFile);
        require(garage->read_car_file(), "the car file could not be read");
        std::vector<std::string> first = car_lines(*garage);
        require(garage->write_car_file(), "the car file could not be written");
        std::string written = corvalen::fuzz::read_file(kCarFile);
        require(line_count(written) == first.size(), "the car file lost or gained cars", written);

        require(garage->read_car_file(), "the written car file could not be read");
        std::vector<std::string> second = car_lines(*garage);
        require(second.size() == first.size(),
                "reading the written car file gave another number of cars", written);
        for (std::size_t i = 0; i < first.size(); ++i) {
            require(second[i] == first[i], "a car read back differs from the car written",
                    first[i] + second[i]);
        }
        require(garage->write_car_file(), "the car file could not be written again");
        require(corvalen::fuzz::read_file(kCarFile) == written,
                "the written car file is no fixed point", written);
    });
    corvalen::fuzz::tidy_world();
    return 0;
}
