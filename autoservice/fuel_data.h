#pragma once
// The fuel data file, "corvalen/fuel_data.csv": one vehicle model a line,
// name, model identifier, tank size in litres, kilometres per litre and a
// fifth value kept for the modder, each followed by ",".

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace corvalen {

struct FuelSpec {
    static constexpr std::int32_t kDefaultTank = 50;
    static constexpr float kDefaultKmPerLitre = 12.0f;

    std::string name = "unknown";
    std::uint32_t model = 0;
    std::int32_t tank = kDefaultTank;  // litres
    float km_per_litre = kDefaultKmPerLitre;
    std::int32_t spec_extra = 0;  // kept, not used
};

using FuelSpecs = std::unordered_map<std::uint32_t, FuelSpec>;

// The model of one line; none when the line has fewer than five fields or a
// numeric one is not a number, with the reason in `why` when given. A tank of 0 litres or less
// counts as the default tank, since every fill is a share of it.
std::optional<FuelSpec> parse_fuel_line(std::string_view line, std::string* why = nullptr);

// Every model of the file, a later line replacing an earlier one of the same
// model; empty when the file is missing.
FuelSpecs read_fuel_data(const std::filesystem::path& path);

}  // namespace corvalen
