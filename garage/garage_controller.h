#pragma once
// Keeps the player's vehicles in a set of garage areas and persists them in a
// car file per save. The parking and real-estate features each own one.

#include <cstdint>
#include <string>
#include <vector>

#include "core/screen_text.h"

namespace corvalen {

class FuelModel;

// One garage area.
struct GarageSpot {
    std::string name;
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    std::int32_t radius = 0;
    std::uint8_t single_storey = 0;  // vehicles count only within 2 m of the spot's height
};

class GarageController {
  public:
    void set_car_file(std::string path) { car_file = std::move(path); }

    // Re-create the stored vehicles from the car file, and write them back.
    // The vehicle persistence work fills both in.
    void read_car_file();
    void write_car_file();

    TimedMessage notice;
    FuelModel* owner = nullptr;  // reads and restores odometer values
    std::vector<GarageSpot> spots;
    std::string car_file = "default_garage_car_file.csv";
};

}  // namespace corvalen
