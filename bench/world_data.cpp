#include "bench/world_data.h"

#include <cmath>
#include <fstream>
#include <string>

namespace corvalen::bench {
namespace {

// Points of a network stand this far apart on a square grid centred on the
// start; a network's rows are linked end to end.
constexpr float kPointSpacing = 60.0f;
constexpr float kSpotSpacing = 90.0f;
constexpr float kGround = 5.0f;
constexpr unsigned kCarModel = 2317106693u;  // the sample fuel data's estate

std::string number(float value) {
    char text[32];
    std::snprintf(text, sizeof(text), "%.2f", static_cast<double>(value));
    return text;
}

// Position `i` of `count` on a square grid of the given spacing.
void grid(int i, int count, float spacing, float& x, float& y) {
    int side = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(count))));
    int row = i / side;
    int column = i % side;
    x = (static_cast<float>(column) - static_cast<float>(side) / 2.0f) * spacing;
    y = (static_cast<float>(row) - static_cast<float>(side) / 2.0f) * spacing;
}

void write_network(const std::filesystem::path& file, int count, bool water, float offset) {
    std::ofstream out(file, std::ios::binary);
    for (int i = 0; i < count; ++i) {
        float x = 0.0f;
        float y = 0.0f;
        grid(i, count, kPointSpacing, x, y);
        x += offset;
        float next_x = 0.0f;
        float next_y = 0.0f;
        grid((i + 1) % count, count, kPointSpacing, next_x, next_y);
        next_x += offset;
        // Every fourth point a stop, the others way points; on water every
        // tenth a spawn spot.
        int type = water ? (i % 10 == 0 ? 1 : 0) : (i % 4 == 0 ? 0 : 2);
        out << number(x) << ',' << number(y) << ',' << number(water ? 0.0f : kGround) << ','
            << "90.00," << type << ",0," << static_cast<int>(next_x) << ','
            << static_cast<int>(next_y) << ",\n";
    }
}

}  // namespace

WorldSpots generated_spots() {
    // Station 0 and property 1 of the grids below stand here.
    WorldSpots spots{};
    spots.station_x = -kSpotSpacing / 2.0f + 7.0f;
    spots.station_y = -kSpotSpacing / 2.0f + 11.0f;
    spots.property_x = spots.station_x + 30.0f;
    spots.property_y = spots.station_y + 30.0f;
    return spots;
}

void write_world(const std::filesystem::path& folder, const WorldSize& size,
                 const std::filesystem::path& sample) {
    std::filesystem::create_directories(folder / "1");
    for (const char* name : {"corvalen.conf", "fuel_data.csv"}) {
        if (std::filesystem::exists(sample / name))
            std::filesystem::copy_file(sample / name, folder / name);
    }
    write_network(folder / "bus_stops.csv", size.bus_points, false, 0.0f);
    write_network(folder / "boat_stops.csv", size.boat_points, true, 3000.0f);
    write_network(folder / "ship_stops.csv", size.ship_points, true, -3000.0f);

    WorldSpots spots = generated_spots();
    std::ofstream stations(folder / "service_stations.csv", std::ios::binary);
    std::ofstream lots(folder / "pub_parking_lots.csv", std::ios::binary);
    std::ofstream houses(folder / "house_db.csv", std::ios::binary);
    std::ofstream owned(folder / "1" / "player_houses_db.dat", std::ios::binary);
    std::ofstream cars(folder / "1" / "house_cars.csv", std::ios::binary);
    for (int i = 0; i < size.stations; ++i) {
        float x = 0.0f;
        float y = 0.0f;
        grid(i, size.stations, kSpotSpacing * 4.0f, x, y);
        if (i == 0) {
            x = spots.station_x;
            y = spots.station_y;
        }
        stations << number(x) << ',' << number(y) << ',' << number(kGround) << ",6," << (i % 2 + 1)
                 << ",Street " << i << ",\n";
    }
    for (int i = 0; i < size.lots; ++i) {
        float x = 0.0f;
        float y = 0.0f;
        grid(i, size.lots, kSpotSpacing, x, y);
        lots << number(x + 20.0f) << ',' << number(y - 20.0f) << ',' << number(kGround) << ",8,"
             << (i % 2) << ",\n";
    }
    int owned_left = size.owned;
    for (int i = 0; i < size.properties; ++i) {
        float x = 0.0f;
        float y = 0.0f;
        grid(i, size.properties, kSpotSpacing, x, y);
        if (i == 1) {
            x = spots.property_x;
            y = spots.property_y;
        }
        // Every tenth a hotel, the others houses; the first `owned` houses are the player's.
        int kind = i % 10 == 5 ? 2 : 1;
        houses << number(x) << ',' << number(y) << ',' << number(kGround) << ",f," << kind << ','
               << 20000 + i << ',' << number(x) << ',' << number(y + 14.0f) << ','
               << number(kGround) << ",6,\n";
        if (kind == 1 && owned_left > 0) {
            --owned_left;
            owned << static_cast<int>(x) << '+' << static_cast<int>(y) << '+'
                  << static_cast<int>(kGround) << '\n';
        }
    }
    for (int i = 0; i < size.stored_cars; ++i) {
        float x = 0.0f;
        float y = 0.0f;
        grid(i, size.properties, kSpotSpacing, x, y);
        cars << kCarModel << ',' << number(x) << ',' << number(y + 14.0f) << ',' << number(kGround)
             << ",90.00,0,10,44,255,10,250.500000,1500,1000,1000,-7,"
             << "1,0,0,1,0,0,0,0,0,1,3,4000000000,1234567,4321,\n";
    }
}

}  // namespace corvalen::bench
