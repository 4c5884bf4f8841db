#include "garage/car_file.h"

#include <cmath>
#include <vector>

#include "core/csv.h"
#include "core/skip_reason.h"
#include "core/text_number.h"

namespace corvalen {
namespace {

using host::VehicleField;

constexpr float kMapHalfHeight = 50.0f;
constexpr float kMapHalfWidth = 4000.0f;
constexpr int kStreamDigits = 6;
constexpr int kFixedDecimals = 6;

// Column numbers.
enum Column : std::size_t {
    kModel = 0,
    kX = 1,
    kY = 2,
    kZ = 3,
    kHeading = 4,
    kFirstColour = 5,  // colours 0 to 2 in 5 to 7, the looks byte in 8, colour 3 in 9
    kLooks = 8,
    kLastColour = 9,
    kDamage = 10,
    kFuelRecord = 11,
    kExtraValue = 14,
    kFirstExtra = 15,
    kAreaCode = 26,
    kParkedAt = 27,
    kOdometer = 28,
};

// The file keeps these columns in one byte each: a hand-edited value beyond
// a byte keeps its low byte, as that byte would, rather than costing the car.
std::optional<std::uint8_t> byte_field(std::string_view text) {
    std::optional<std::int32_t> value = int_field(text);
    if (!value)
        return std::nullopt;
    return static_cast<std::uint8_t>(static_cast<std::uint32_t>(*value));
}

}  // namespace

std::optional<CarLine> parse_car_line(std::string_view line, std::string* why) {
    std::vector<std::string_view> fields = split_fields(line);
    if (!enough_values(fields.size(), kLeastCarFileFields, why))
        return std::nullopt;

    CarLine car;
    std::optional<std::int64_t> model = int64_field(fields[kModel]);
    std::optional<float> x = raw_float_field(fields[kX]);
    std::optional<float> y = raw_float_field(fields[kY]);
    std::optional<float> z = raw_float_field(fields[kZ]);
    std::optional<float> heading = raw_float_field(fields[kHeading]);
    if (!fields_read({{"model", model.has_value()},
                      {"x", x.has_value()},
                      {"y", y.has_value()},
                      {"z", z.has_value()},
                      {"heading", heading.has_value()}},
                     why)) {
        return std::nullopt;
    }
    car.model = static_cast<std::uint32_t>(static_cast<std::uint64_t>(*model));
    car.x = *x;
    car.y = *y;
    car.z = *z;
    car.heading = *heading;

    std::array<std::optional<std::uint8_t>, 5> bytes;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = byte_field(fields[kFirstColour + i]);
        if (!fields_read(
                {{kFirstColour + i == kLooks ? "looks byte" : "colour", bytes[i].has_value()}},
                why)) {
            return std::nullopt;
        }
    }
    car.colours = {*bytes[0], *bytes[1], *bytes[2], *bytes[kLastColour - kFirstColour]};
    car.looks = *bytes[kLooks - kFirstColour];

    std::optional<float> damage = float_field(fields[kDamage]);
    std::optional<float> fuel_record = float_field(fields[kFuelRecord]);
    std::optional<std::int32_t> extra_value = int_field(fields[kExtraValue]);
    std::optional<std::uint32_t> area_code = unsigned_field(fields[kAreaCode]);
    if (!fields_read({{"damage", damage.has_value()},
                      {"fuel record", fuel_record.has_value()},
                      {"extra value", extra_value.has_value()},
                      {"area code", area_code.has_value()}},
                     why)) {
        return std::nullopt;
    }
    car.damage = *damage;
    car.fuel_record = std::trunc(*fuel_record);
    car.extra_value = *extra_value;
    car.area_code = *area_code;

    for (std::size_t i = 0; i < car.extras_fitted.size(); ++i) {
        std::optional<std::int32_t> fitted = int_field(fields[kFirstExtra + i]);
        if (!fields_read({{"extra", fitted.has_value()}}, why))
            return std::nullopt;
        car.extras_fitted[i] = *fitted != 0;
    }

    if (fields.size() > kParkedAt) {
        std::optional<std::int32_t> parked_at = int_field(fields[kParkedAt]);
        if (!fields_read({{"parking time", parked_at.has_value()}}, why))
            return std::nullopt;
        car.parked_at = *parked_at;
    }
    if (fields.size() > kOdometer) {
        car.odometer = int_field(fields[kOdometer]);
        if (!fields_read({{"odometer", car.odometer.has_value()}}, why))
            return std::nullopt;
    }
    return car;
}

bool position_on_map(const CarLine& car) {
    // Written so that a NaN fails every test.
    return std::fabs(car.z) <= kMapHalfHeight && std::fabs(car.x) <= kMapHalfWidth &&
           std::fabs(car.y) <= kMapHalfWidth && std::isfinite(car.heading);
}

std::string car_file_line(const StoredCar& car, std::int32_t odometer) {
    const SavedVehicle& saved = car.vehicle;
    const host::VehicleBlock& block = saved.block;
    std::string line;
    auto add = [&line](const std::string& value) {
        line += value;
        line += ',';
    };
    add(std::to_string(saved.model));
    add(significant_digits(saved.x, kStreamDigits));
    add(significant_digits(saved.y, kStreamDigits));
    add(significant_digits(saved.z, kStreamDigits));
    add(fixed_decimals(saved.heading, kFixedDecimals));
    for (std::uint32_t i = 0; i < 3; ++i)
        add(std::to_string(host::block_byte(block, host::kColourBytesOffset + i)));
    add(std::to_string(host::block_byte(block, host::kLooksByteOffset)));
    add(std::to_string(host::block_byte(block, host::kColourBytesOffset + 3)));
    add(fixed_decimals(host::block_float(block, VehicleField::Damage), kFixedDecimals));
    add(significant_digits(host::block_float(block, VehicleField::FuelRecord), kStreamDigits));
    add(significant_digits(host::block_float(block, VehicleField::Engine), kStreamDigits));
    add(significant_digits(host::block_float(block, VehicleField::Body), kStreamDigits));
    add(std::to_string(saved.extra_value));
    for (std::size_t i = 0; i < static_cast<std::size_t>(kVehicleExtraCount); ++i)
        add(i < saved.extras.size() && saved.extras[i] ? "1" : "0");
    add(std::to_string(host::block_short(block, host::kVehicleTagOffset)));
    add(std::to_string(saved.area_code));
    add(std::to_string(car.parked_at));
    add(std::to_string(odometer));
    return line + "\n";
}

}  // namespace corvalen
