// Car files on the Windows run time: the same bytes as on Linux, and a car
// file another program holds locked is neither read as empty nor replaced.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "garage/car_file.h"
#include "garage/garage_controller.h"
#include "host_process.h"

namespace corvalen::test {
namespace {

namespace fs = std::filesystem;

TEST(WindowsCarFileTest, ALineIsWrittenAsOnLinux) {
    StoredCar car;
    car.parked_at = -5;
    car.vehicle.model = 2317106693u;
    car.vehicle.x = -55.5f;
    car.vehicle.y = 1234.5678f;
    car.vehicle.z = 6.0f;
    car.vehicle.heading = 90.0f;
    car.vehicle.extras.assign(10, false);
    car.vehicle.area_code = 4000000000u;
    float record = 1234567.0f;
    std::memcpy(&car.vehicle.block[static_cast<std::size_t>(host::VehicleField::FuelRecord)],
                &record, sizeof(record));
    EXPECT_EQ(car_file_line(car, 777),
              "2317106693,-55.5,1234.57,6,90.000000,0,0,0,0,0,0.000000,1.23457e+06,0,0,0,0,0,0,0,"
              "0,0,0,0,0,0,0,4000000000,-5,777,\n");
}

TEST(WindowsCarFileTest, ALockedCarFileIsNotOverwritten) {
    fs::path file = fs::path(fresh_folder("locked-car-file")) / "pub_parking_cars.csv";
    std::ofstream(file, std::ios::binary) << "the player's cars\n";
    HANDLE lock = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);

    GarageController garage;
    garage.set_car_file(file.string());
    EXPECT_FALSE(garage.read_car_file());
    CloseHandle(lock);
    EXPECT_FALSE(garage.write_car_file()) << "the next save keeps the file it could not read";

    std::ifstream in(file, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "the player's cars\n");
}

}  // namespace
}  // namespace corvalen::test
