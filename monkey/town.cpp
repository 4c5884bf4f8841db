#include "monkey/town.h"

#include <filesystem>
#include <fstream>

namespace monkey {
namespace {

constexpr std::uint32_t kEstate = 0x8A1C3E05;
constexpr std::uint32_t kCoupe = 0x94F0B2D1;
constexpr std::uint32_t kVan = 0xA7D4E113;
constexpr std::uint32_t kBus = 0xD577C962;
constexpr std::uint32_t kFerry = 0x3D961290;

std::string fuel_line(const char* name, std::uint32_t model, int tank, const char* km_per_litre) {
    return std::string(name) + "," + std::to_string(model) + "," + std::to_string(tank) + "," +
           km_per_litre + ",0,\n";
}

}  // namespace

const std::vector<std::pair<std::string, std::string>>& town_files() {
    static const std::vector<std::pair<std::string, std::string>> kFiles = {
        {"corvalen/corvalen.conf",
         "blip_gas_station=true\nblip_car_service=true\nblip_hotels=true\nkeep_backups=2\n"},
        // A gas station on Harbour Road, a repair shop up Cedar Avenue, a
        // second gas station on Ferry Lane.
        {"corvalen/service_stations.csv",
         "-60.00,35.00,5.00,6,1,Harbour Road,\n"
         "-120.00,110.00,5.00,8,2,Cedar Avenue,\n"
         "240.00,-200.00,5.00,6,1,Ferry Lane,\n"},
        {"corvalen/fuel_data.csv",
         fuel_line("Estate", kEstate, 60, "10") + fuel_line("Coupe", kCoupe, 45, "12.5") +
             fuel_line("Van", kVan, 80, "7.5") + fuel_line("Bus", kBus, 200, "3")},
        // A loop along Harbour Road, down Ferry Lane, back along Market
        // Street and up Cedar Avenue, with a spawn spot off the loop.
        {"corvalen/bus_stops.csv",
         "-100.00,35.00,5.00,270.00,0,0,10,35,\n"
         "10.00,35.00,5.00,270.00,0,0,110,35,\n"
         "110.00,35.00,5.00,270.00,0,0,240,35,\n"
         "240.00,35.00,5.00,180.00,2,0,240,-310,\n"
         "240.00,-310.00,5.00,90.00,0,0,-100,-310,\n"
         "-100.00,-310.00,5.00,90.00,3,0,-120,-100,\n"
         "-120.00,-100.00,5.00,0.00,2,0,-100,35,\n"
         "0.00,140.00,5.00,0.00,1,0,10,35,\n"},
        // Boats off the coast north of y = 600: two spawn spots, a ring of
        // three stops.
        {"corvalen/boat_stops.csv",
         "-100.00,650.00,0.00,270.00,1,0,0,700,\n"
         "0.00,700.00,0.00,270.00,0,0,100,650,\n"
         "100.00,650.00,0.00,180.00,0,0,1,620,\n"
         "1.00,620.00,0.00,90.00,3,0,0,700,\n"
         "150.00,720.00,0.00,0.00,1,0,0,700,\n"},
        {"corvalen/ship_stops.csv",
         "-100.00,740.00,0.00,270.00,1,0,1,900,\n"
         "1.00,900.00,0.00,270.00,0,0,200,800,\n"
         "200.00,800.00,0.00,90.00,0,0,1,900,\n"},
        // By the coupe at the start, on Market Street, and a single-storey
        // one on Station Square.
        {"corvalen/pub_parking_lots.csv",
         "-95.00,52.00,5.00,10,0,\n"
         "-60.00,-310.00,5.00,15,0,\n"
         "0.00,160.00,5.00,12,1,\n"},
        // The agent's office by the start, a house with a garage up Cedar
        // Avenue, one without on Market Street, and a hotel.
        {"corvalen/house_db.csv",
         "-112.00,35.00,6.00,f,3,0,0.00,0.00,0.00,0,\n"
         "-100.00,70.00,6.00,f,1,35000,-95.00,80.00,5.00,8,\n"
         "120.00,-300.00,6.00,f,1,20000,0.00,0.00,0.00,0,\n"
         "20.00,150.00,6.00,f,2,150,0.00,0.00,0.00,0,\n"},
    };
    return kFiles;
}

void write_town_files() {
    namespace fs = std::filesystem;
    for (const auto& [path, contents] : town_files()) {
        std::error_code ignored;
        fs::remove_all(path, ignored);
        fs::create_directories(fs::path(path).parent_path(), ignored);
        std::ofstream(path, std::ios::binary) << contents;
    }
}

const std::vector<hostsim::Vec3>& town_places() {
    static const std::vector<hostsim::Vec3> kPlaces = {
        {-120.0f, 35.0f, 6.0f},  {-60.0f, 35.0f, 6.0f},   {-120.0f, 110.0f, 6.0f},
        {240.0f, -200.0f, 6.0f}, {-100.0f, 35.0f, 6.0f},  {10.0f, 35.0f, 6.0f},
        {110.0f, 35.0f, 6.0f},   {240.0f, -310.0f, 6.0f}, {-95.0f, 52.0f, 6.0f},
        {-60.0f, -310.0f, 6.0f}, {0.0f, 160.0f, 6.0f},    {-112.0f, 35.0f, 6.0f},
        {-100.0f, 70.0f, 6.0f},  {-95.0f, 80.0f, 6.0f},   {120.0f, -300.0f, 6.0f},
        {20.0f, 150.0f, 6.0f},   {0.0f, 590.0f, 6.0f},    {0.0f, 650.0f, 1.0f},
    };
    return kPlaces;
}

void park_town_vehicles(hostsim::World& world) {
    struct Parked {
        std::uint32_t model;
        hostsim::Vec3 at;
        float heading;
    };
    for (const Parked& parked : {Parked{kBus, {-90.0f, 30.0f, 6.0f}, 270.0f},
                                 Parked{kFerry, {0.0f, 610.0f, 1.0f}, 0.0f}}) {
        hostsim::Vehicle& car = world.add_vehicle(parked.model, parked.at, parked.heading);
        car.from_world_start = true;
        car.placed = true;
        car.home = parked.at;
        car.home_heading = parked.heading;
    }
}

void add_people_near(hostsim::World& world, hostsim::Vec3 point, int count) {
    for (int i = 0; i < count; ++i) {
        float offset = static_cast<float>(i * 3 - count);
        world.add_pedestrian({point.x + offset, point.y + 4.0f, point.z},
                             static_cast<float>(i * 45 % 360), i % 3 == 0 ? 0.0f : 1.5f);
    }
}

}  // namespace monkey
