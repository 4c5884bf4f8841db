// The fuel data file. The mod never writes it, so there is no written file
// to compare: every model read must be one the fuel model can use (a tank of
// some litres, a finite mileage, filed under its own model), and the fuel
// model reads the file to the same models.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "autoservice/fuel_data.h"
#include "autoservice/fuel_model.h"
#include "fuzz/data_folder.h"

namespace {

using corvalen::FuelSpec;
using corvalen::fuzz::require;

constexpr const char* kFuelData = "corvalen/fuel_data.csv";

std::string spec_text(const FuelSpec& spec) {
    return "'" + spec.name + "' model " + std::to_string(spec.model) + " tank " +
           std::to_string(spec.tank) + " km/l " + std::to_string(spec.km_per_litre) + " extra " +
           std::to_string(spec.spec_extra);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    corvalen::fuzz::fresh_data_folder();
    corvalen::fuzz::write_file(kFuelData, data, size);
    corvalen::FuelSpecs specs = corvalen::read_fuel_data(kFuelData);
    for (const auto& [model, spec] : specs) {
        require(model == spec.model, "a model is filed under another", spec_text(spec));
        require(spec.tank > 0, "a model has a tank of no litres", spec_text(spec));
        require(std::isfinite(spec.km_per_litre), "a model has no finite mileage", spec_text(spec));
        require(spec.name.find_first_of(",\n") == std::string::npos,
                "a model's name holds a line or field end", spec_text(spec));
    }
    corvalen::FuelModel fuel(nullptr);
    require(fuel.specs.size() == specs.size(), "the fuel model read other models");
    for (const auto& [model, spec] : specs) {
        auto used = fuel.specs.find(model);
        require(used != fuel.specs.end() && spec_text(used->second) == spec_text(spec),
                "the fuel model read a model otherwise", spec_text(spec));
    }
    return 0;
}
