// Passengers and fares: at a stop near the player some passengers get off
// and people standing about are told to get on; after departure those who
// took a seat pay and those who did not make it are sent away. The player
// rides too: B near a vehicle boards it, B aboard stops it and gets off.

#include <algorithm>
#include <array>
#include <limits>
#include <optional>
#include <vector>

#include "core/game_timer.h"
#include "core/player.h"
#include "core/screen_text.h"
#include "transit/transit_service.h"

namespace corvalen {
namespace {

// How long a boarder has to reach his seat.
constexpr std::int32_t kBoardingTimeLimit = 30000;
// The player's boarding order: any seat, no time limit.
constexpr std::int32_t kAnySeat = -1;
constexpr std::int32_t kNoTimeLimit = -1;
// After the departure: when the seats are counted for fares, and when
// latecomers are sent away.
constexpr std::int32_t kFareDelay = 4000;
constexpr std::int32_t kLeaveCheckDelay = 15000;
// People told to board are let go this long after the order.
constexpr std::uint32_t kBoarderHold = 15000;
// How near the player must stand to a vehicle to board it, and how long
// after boarding the fare is due.
constexpr float kPlayerBoardingReach = 25.0f;
constexpr std::int32_t kPlayerFareDelay = 10000;

constexpr const char* kThanks = "THANKS";
constexpr const char* kSentAway = "GENERIC_FUCK_OFF";

bool live(host::Handle handle) {
    return static_cast<std::int32_t>(handle) > 0;
}

// The earlier of two game times.
std::uint32_t earlier(std::uint32_t a, std::uint32_t b) {
    return passed(a, b) ? b : a;
}

// Seat numbers, kept in place for any vehicle the game has (a bus has a few
// dozen seats at most), so that a stop costs no heap; one with more seats
// spills the rest into the heap.
class SeatList {
  public:
    void push_back(std::int32_t seat) {
        if (size_ < kInPlace) {
            in_place_[size_] = seat;
        } else {
            spilled_.push_back(seat);
        }
        ++size_;
    }
    std::int32_t operator[](std::size_t index) const {
        return index < kInPlace ? in_place_[index] : spilled_[index - kInPlace];
    }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

  private:
    static constexpr std::size_t kInPlace = 64;
    std::array<std::int32_t, kInPlace> in_place_{};
    std::vector<std::int32_t> spilled_;
    std::size_t size_ = 0;
};

struct SeatLists {
    SeatList open;   // free and not reserved at this stop
    SeatList taken;  // occupied, or reserved at this stop
};

SeatLists seat_lists(host::Handle vehicle, std::int32_t seats,
                     const std::set<std::int32_t>& reserved) {
    SeatLists lists;
    for (std::int32_t seat = 0; seat < seats; ++seat) {
        if (host::vehicle_seat_free(vehicle, seat) && reserved.count(seat) == 0) {
            lists.open.push_back(seat);
        } else {
            lists.taken.push_back(seat);
        }
    }
    return lists;
}

}  // namespace

std::int32_t ServiceVehicle::seats() const {
    return host::vehicle_object_seats(host::vehicle_object(vehicle));
}

void ServiceVehicle::extend_dwell() {
    std::uint32_t later = earlier(after(depart_time, service->dwell_step), latest_depart_time);
    // A departure already past the latest one (a vehicle without seats, or
    // one stopped by a rider) is never brought forward.
    if (passed(later, depart_time))
        depart_time = later;
}

void ServiceVehicle::exchange_passengers() {
    // The mission's vehicle is the player's: its distance stays 0.
    if (player_distance > static_cast<float>(board_range))
        return;
    std::int32_t count = seats();
    // A vehicle without seats takes nobody and sets nobody down.
    if (count <= 0)
        return;
    SeatLists start = seat_lists(vehicle, count, reserved_seats);
    std::int32_t budget = count;
    if (!player_driven && host::character_in_this_vehicle(player_character(), vehicle))
        --budget;
    std::int32_t leavers =
        service->all_leave ? count : roll(service->driver_dice, 0, std::max(count, 1));
    budget -= std::max<std::int32_t>(0, static_cast<std::int32_t>(start.taken.size()) - leavers);

    host::Handle me = player_character();
    for (std::int32_t i = 0; i < leavers; ++i) {
        SeatList taken = seat_lists(vehicle, count, reserved_seats).taken;
        if (taken.empty())
            continue;
        auto last = static_cast<std::int32_t>(taken.size()) - 1;
        std::int32_t seat = taken[static_cast<std::size_t>(roll(service->driver_dice, 0, last))];
        host::Handle rider = host::character_in_seat(vehicle, seat);
        if (static_cast<std::int32_t>(rider) < 0)
            continue;
        // Someone who is not ours (or already set down and still getting
        // out) keeps the seat.
        if (passengers.count(rider) == 0 || !host::character_exists(rider) ||
            host::character_dead(rider) || rider == me) {
            --budget;
            continue;
        }
        if (host::character_object(rider) == 0)
            continue;
        host::allow_character_orders();
        host::claim_character(rider);
        host::order_leave_vehicle(rider);
        host::order_walk_away(rider);
        host::release_character(rider);
        passengers.erase(rider);
        extend_dwell();
    }

    if (budget <= 0 || start.open.empty())
        return;
    for (std::int32_t i = 0; i < budget; ++i) {
        if (seat_lists(vehicle, count, reserved_seats).open.empty())
            continue;
        host::Handle person = host::find_character_near(position(), service->board_search_radius);
        if (live(person) && host::character_exists(person) && host::character_object(person) != 0)
            board(person, false);
    }
}

bool ServiceVehicle::board(host::Handle character, bool is_player) {
    std::int32_t count = seats();
    if (count <= 0)
        return false;
    std::int32_t seat = 0;
    if (seat_cursor < 0 || seat_cursor >= count)
        seat_cursor = 0;
    for (std::int32_t tries = 0; tries < count; ++tries) {
        std::int32_t candidate = seat_cursor;
        seat_cursor = (seat_cursor + 1) % count;
        if (host::vehicle_seat_free(vehicle, candidate)) {
            seat = candidate;
            break;
        }
    }
    if (!host::character_exists(character) || static_cast<std::int32_t>(character) < 0 ||
        host::character_dead(character))
        return true;

    std::uint32_t now = host::game_timer();
    if (is_player) {
        host::prepare_player_entry();
        host::order_enter_vehicle(character, vehicle, kNoTimeLimit, kAnySeat);
    } else {
        host::allow_character_orders();
        host::claim_character(character);
        host::clear_character_orders(character);
        host::add_to_group(group, character);
        host::set_boarding_behaviour(character);
        host::order_enter_vehicle(character, vehicle, kBoardingTimeLimit, seat);
        host::set_character_keeps_orders(character, true);
        passengers.insert(character);
        service->releases.emplace_back(character, now);
        reserved_seats.insert(seat);
    }
    extend_dwell();
    fare_due = true;
    fare_time = after(depart_time, kFareDelay);
    leave_check_due = true;
    leave_check_time = after(depart_time, kLeaveCheckDelay);
    return true;
}

void ServiceVehicle::check_fares() {
    std::uint32_t now = host::game_timer();
    take_fares(now);
    send_away_latecomers(now);
}

void ServiceVehicle::take_fares(std::uint32_t now) {
    if (!fare_due || !passed(now, fare_time))
        return;
    std::int32_t paying = 0;
    for (std::int32_t seat : reserved_seats) {
        if (!host::vehicle_seat_free(vehicle, seat))
            ++paying;
    }
    std::int32_t total = paying * service->fare;
    revenue += total;
    if (player_driven) {
        if (total != 0)
            host::add_cash(host::cash_player(host::player_index()), total);
        service->mission_revenue += total;
        service->mission_passengers += paying;
    } else {
        host::set_character_money(driver, revenue);
    }
    if (total > 0)
        host::say(driver, kThanks);
    reserved_seats.clear();
    fare_due = false;
}

void ServiceVehicle::send_away_latecomers(std::uint32_t now) {
    if (!leave_check_due || !passed(now, leave_check_time))
        return;
    leave_check_due = false;
    for (auto it = passengers.begin(); it != passengers.end();) {
        host::Handle person = *it;
        if (!host::character_exists(person)) {
            // Gone from the game: nothing to send away, nothing to keep.
            it = passengers.erase(it);
            continue;
        }
        if (host::character_in_this_vehicle(person, vehicle)) {
            ++it;
            continue;
        }
        host::say(driver, kSentAway);
        host::order_walk_away(person);
        host::release_character(person);
        it = passengers.erase(it);
    }
}

// --- the service's side -----------------------------------------------------------

ServiceVehicle* TransitService::vehicle_carrying(host::Handle character) {
    for (ServiceVehicle& record : vehicles) {
        // A vehicle the host took away carries nobody; its record goes at
        // its next keep-alive test.
        if (host::vehicle_exists(record.vehicle) &&
            host::character_in_this_vehicle(character, record.vehicle))
            return &record;
    }
    return nullptr;
}

void TransitService::passenger_action() {
    host::Handle me = player_character();
    std::uint32_t now = host::game_timer();
    if (host::character_in_vehicle(me)) {
        if (ServiceVehicle* ride = vehicle_carrying(me)) {
            ride->at_point = true;
            ride->depart_time = after(now, dwell_base);
            host::clear_character_orders(ride->driver);
            host::order_leave_vehicle(me);
            return;
        }
    }

    std::optional<host::Vec3> at = player_position();
    if (!at)
        return;
    ServiceVehicle* nearest = nullptr;
    float best = std::numeric_limits<float>::infinity();
    for (ServiceVehicle& record : vehicles) {
        if (!host::vehicle_exists(record.vehicle))
            continue;
        float distance = host::distance_3d(*at, host::vehicle_position(record.vehicle));
        if (nearest == nullptr || distance < best) {
            nearest = &record;
            best = distance;
        }
    }
    if (nearest == nullptr)
        return;
    if (host::character_in_this_vehicle(me, nearest->vehicle)) {
        host::order_leave_vehicle(me);
        return;
    }
    host::Vec3 bus = host::vehicle_position(nearest->vehicle);
    if (host::distance_2d(at->x, at->y, bus.x, bus.y) > kPlayerBoardingReach)
        return;
    if (nearest->seats() <= 0)
        return;
    host::prepare_player_boarding(me, nearest->vehicle);
    nearest->board(me, true);
    player_fare_due = true;
    player_fare_time = after(now, kPlayerFareDelay);
}

void TransitService::charge_player() {
    if (!player_fare_due || !passed(host::game_timer(), player_fare_time))
        return;
    player_fare_due = false;
    ServiceVehicle* ride = vehicle_carrying(player_character());
    if (ride == nullptr)
        return;
    host::add_cash(host::cash_player(host::player_index()), -fare);
    status.show("$" + std::to_string(fare) + " fare");
    // Fare paid, the bus sets off for its next point; an order for the
    // point it stands at would only bring it back there.
    if (ride->at_point)
        ride->depart();
}

void TransitService::release_boarders() {
    std::uint32_t now = host::game_timer();
    std::erase_if(releases, [now](const std::pair<host::Handle, std::uint32_t>& boarder) {
        if (elapsed_since(boarder.second, now) <= kBoarderHold)
            return false;
        if (host::character_exists(boarder.first))
            host::release_character(boarder.first);
        return true;
    });
}

void TransitService::b_key_action() {
    if (!host::key_pressed(host::ScanCode::B))
        return;
    if (!player_drives_service_vehicle() || mission_active) {
        passenger_action();
    } else if (mission_allowed) {
        start_mission();
    }
}

}  // namespace corvalen
