#include "parking/public_parking.h"

#include <cmath>
#include <limits>
#include <optional>
#include <vector>

#include "core/atomic_file.h"
#include "core/csv.h"
#include "core/host_distance.h"
#include "core/player.h"
#include "core/text_number.h"
#include "host/host_game.h"
#include "parking/lot_file.h"

namespace corvalen {
namespace {

constexpr float kLotBelowCapture = 1.0f;  // a lot lies under the point where it was marked

bool overnight_hour(std::int32_t hour) {
    return hour >= 22 && hour <= 24;
}

bool early_bird_hour(std::int32_t hour) {
    return hour >= 3 && hour <= 10;
}

}  // namespace

PublicParking::PublicParking(std::string identity_text) : save_identity(std::move(identity_text)) {
    menu.add_item("Create new parking lot", kCreateLot);
    menu.add_item("Make parking lot single storey", kMakeLotSingleStorey);
    menu.add_item("Delete parking lot", kDeleteLot);
    menu.add_item("Load parking lots", kLoadLots);
    menu.add_item("Save parking lots", kSaveLots);
    menu.add_item("Load vehicles", kLoadVehicles);
    menu.add_item("Save vehicles", kSaveVehicles);
    menu.add_item("Debug mode", kParkingDebugMode);
}

bool PublicParking::set_save_identity(const std::string& text) {
    save_identity = text;
    std::string folder = data_path(data_folder, save_identity);
    bool made = ensure_folder(folder);
    garage.set_car_file(data_path(folder, car_file_name));
    return made;
}

bool PublicParking::load_lots() {
    garage.spots.clear();
    kept_lines.clear();
    std::optional<std::vector<std::string>> lines = read_existing_lines(lots_path());
    lots_file_unread = !lines;
    if (!lines)
        return false;
    for (const std::string& line : *lines) {
        // Straight into the list: a hand-made lot of radius 0 stays in it.
        if (std::optional<GarageSpot> lot = parse_lot_line(line)) {
            garage.spots.push_back(*lot);
        } else {
            keep_line(kept_lines, line);
        }
    }
    return true;
}

bool PublicParking::save_lots() {
    if (lots_file_unread)
        return false;
    std::string contents;
    for (const GarageSpot& lot : garage.spots)
        contents += lot_line(lot);
    append_kept_lines(contents, kept_lines);
    keep_first_line_whole(contents);
    ensure_folder(data_folder);
    return replace_file(lots_path(), contents);
}

std::int32_t PublicParking::nearest_lot() {
    if (garage.spots.empty())
        return -1;
    std::optional<host::Vec3> player = player_position();
    if (!player)
        return -1;
    std::int32_t nearest = -1;
    float best = std::numeric_limits<float>::infinity();
    auto range = [&](std::size_t i) {
        const GarageSpot& lot = garage.spots[i];
        return distance_range(*player, {lot.x, lot.y, lot.z});
    };
    double bound = nearest_bound(garage.spots.size(), range);
    for (std::size_t i = 0; i < garage.spots.size(); ++i) {
        const GarageSpot& lot = garage.spots[i];
        if (!may_be_nearest(range(i), bound))
            continue;
        float distance = host::distance_3d(*player, {lot.x, lot.y, lot.z});
        if (distance < best) {
            best = distance;
            nearest = static_cast<std::int32_t>(i);
        }
    }
    return nearest;
}

float PublicParking::compute_rate(StoredCar& record) {
    // Stamps are 32-bit: their difference is taken the way they wrap.
    auto stay = static_cast<std::int32_t>(static_cast<std::uint32_t>(record.retrieved_at) -
                                          static_cast<std::uint32_t>(record.parked_at));
    std::int32_t hour = host::game_clock().hour;
    bool overnight = stay < kLongDay && overnight_hour(record.parked_hour) && hour <= 9;
    bool early = stay < kLongDay && early_bird_hour(record.parked_hour) && hour <= 19;

    // A stay whose stamps went backwards (a new year the day count had not
    // reached, a rest across midnight, a clock set back) is no free stay: the
    // car stood there all the same, so it costs the daily rate.
    ParkingRate rate = kDailyRate;
    if (stay >= 0) {
        if (stay < kFreeStay) {
            rate = {0.0f, ""};
        } else if (stay < kOneHour) {
            rate = kOneHourRate;
        } else if (overnight) {
            rate = kOvernightRate;
        } else if (early) {
            rate = kEarlyBirdRate;
        }
    }
    record.fee = rate.fee;
    record.rate_name = rate.name;
    return rate.fee;
}

void PublicParking::tick() {
    menu.process();
    run_editor_action(menu.selected_action());
    garage.update();
    charge_ticket();
    capture.process();
    if (capture.confirmed)
        add_captured_lot();
    message.draw();
}

void PublicParking::run_editor_action(std::int32_t action) {
    switch (action) {
        case kCreateLot:
            capture.start();
            break;
        case kMakeLotSingleStorey: {
            std::int32_t lot = nearest_lot();
            if (lot >= 0 && garage.spots[static_cast<std::size_t>(lot)].single_storey != 1) {
                garage.spots[static_cast<std::size_t>(lot)].single_storey = 1;
                save_lots();
            }
            break;
        }
        case kDeleteLot: {
            std::int32_t lot = nearest_lot();
            if (lot >= 0) {
                garage.spots.erase(garage.spots.begin() + lot);
                save_lots();
            }
            break;
        }
        case kLoadLots:
            load_lots();
            break;
        case kSaveLots:
            save_lots();
            break;
        case kLoadVehicles:
            garage.read_car_file_again();
            break;
        case kSaveVehicles:
            garage.write_car_file();
            break;
        case kParkingDebugMode:
            garage.toggle_blips();
            break;
        default:
            break;
    }
}

void PublicParking::charge_ticket() {
    if (!garage.taken_out)
        return;
    host::Handle payer = host::cash_player(host::player_index());
    if (garage.current == nullptr)
        return;
    float fee = compute_rate(*garage.current);
    if (!(fee > 0.0f))
        return;
    // Charged whatever the player's cash: a ticket may leave it below zero.
    host::add_cash(payer, -static_cast<std::int32_t>(std::ceil(fee)));
    message.show("Ticket $" + fixed_decimals(fee, 2) + " - " + garage.current->rate_name);
}

void PublicParking::add_captured_lot() {
    host::Vec3 start = capture.start_position();
    GarageSpot lot{"", start.x, start.y, start.z - kLotBelowCapture, capture.radius, 0};
    if (garage.add_spot(lot))
        save_lots();
}

}  // namespace corvalen
