// Parking rates: which rate a stay costs by its length, the hour the car was
// parked and the hour it is collected.

#include <gtest/gtest.h>

#include <string>

#include "core/game_date.h"
#include "game_frame.h"
#include "parking/public_parking.h"

namespace corvalen {
namespace {

struct Moment {
    std::int32_t month, day, hour, minute, second = 0;

    std::int32_t stamp() const {
        return static_cast<std::int32_t>(calendar_seconds(2008, month, day, hour, minute, second));
    }
};

struct Stay {
    const char* what;
    Moment parked, collected;
    const char* rate;  // "" free
    float fee;
};

TEST(ParkingRateTest, EachStayCostsItsRate) {
    const Stay stays[] = {
        {"99 seconds", {3, 1, 12, 0}, {3, 1, 12, 1, 39}, "", 0.0f},
        {"100 seconds", {3, 1, 12, 0}, {3, 1, 12, 1, 40}, "1 Hour", 5.69f},
        {"3599 seconds", {3, 1, 12, 0}, {3, 1, 12, 59, 59}, "1 Hour", 5.69f},
        {"3600 seconds", {3, 1, 12, 0}, {3, 1, 13, 0}, "Daily rate", 16.69f},
        {"22:30 to 08:00", {3, 1, 22, 30}, {3, 2, 8, 0}, "Overnight", 9.69f},
        {"22:30 to 10:00", {3, 1, 22, 30}, {3, 2, 10, 0}, "Daily rate", 16.69f},
        {"23:00 to 09:59", {3, 1, 23, 0}, {3, 2, 9, 59}, "Overnight", 9.69f},
        {"07:00 to 18:00", {3, 1, 7, 0}, {3, 1, 18, 0}, "Early Bird", 11.69f},
        {"07:00 to 19:59", {3, 1, 7, 0}, {3, 1, 19, 59}, "Early Bird", 11.69f},
        {"07:00 to 20:00", {3, 1, 7, 0}, {3, 1, 20, 0}, "Daily rate", 16.69f},
        {"06:00 to 17:00", {3, 1, 6, 0}, {3, 1, 17, 0}, "Early Bird", 11.69f},
        {"10:00 to 05:59:59", {3, 1, 10, 0}, {3, 2, 5, 59, 59}, "Early Bird", 11.69f},
        {"10:00 to 06:00:00", {3, 1, 10, 0}, {3, 2, 6, 0, 0}, "Daily rate", 16.69f},
        {"14:00 to 16:00", {3, 1, 14, 0}, {3, 1, 16, 0}, "Daily rate", 16.69f},
        {"00:30 to 08:00", {3, 1, 0, 30}, {3, 1, 8, 0}, "Daily rate", 16.69f},
        {"three days", {3, 1, 22, 30}, {3, 4, 8, 0}, "Daily rate", 16.69f},
        // The year comes from the day count, which has not reached the new
        // year yet: the stamp of 1 January lies before the one of 31 December.
        {"31 December to 1 January", {12, 31, 23, 0}, {1, 1, 1, 0}, "Daily rate", 16.69f},
    };
    PublicParking parking("");
    for (const Stay& stay : stays) {
        SCOPED_TRACE(stay.what);
        StoredCar record;
        record.parked_at = stay.parked.stamp();
        record.retrieved_at = stay.collected.stamp();
        record.parked_hour = stay.parked.hour;
        float fee = -1.0f;
        test::game_frame([&] {
            test::game().world().set_clock(stay.collected.hour, stay.collected.minute);
            fee = parking.compute_rate(record);
        });
        EXPECT_EQ(record.rate_name, stay.rate);
        EXPECT_EQ(fee, stay.fee);
        EXPECT_EQ(record.fee, fee);
    }
}

}  // namespace
}  // namespace corvalen
