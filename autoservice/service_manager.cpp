#include "autoservice/service_manager.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <optional>

#include "autoservice/fuel_model.h"
#include "autoservice/station_file.h"
#include "autoservice/vehicle_condition.h"
#include "core/atomic_file.h"
#include "core/csv.h"
#include "core/player.h"
#include "host/host_game.h"
#include "host/vehicle_structure.h"

namespace corvalen {
namespace {

constexpr std::int32_t kStationSprite = 79;
constexpr std::int32_t kGasStationColour = 2;
constexpr std::int32_t kRepairShopColour = 11;
constexpr float kStationBlipScale = 0.5f;
constexpr std::int32_t kMolotovWeapon = 5;
constexpr float kRadiatorBoost = 100.0f;

}  // namespace

ServiceManager::ServiceManager(const Config* config) {
    apply_config(config);
    gas_menu.add_item("Fill up Gas", kFillUpGas);
    gas_menu.add_item("Fix Tires", kFixTyres);
    gas_menu.add_item("Put water on radiator", kTopUpRadiator);
    shop_menu.add_item("Buy spare gas", kBuySpareGas);
    shop_menu.add_item("Molotovs", kBuyMolotov);
    repair_menu.add_item("Fix Car", kFixCar);
    for (std::int32_t component = 0; component < kComponentCount; ++component) {
        repair_menu.add_item("Component #" + std::to_string(component), component, 0,
                             kToggleComponent);
    }
}

void ServiceManager::apply_config(const Config* config) {
    if (config == nullptr)
        return;
    show_repair_blips = config->get(settings::blip_car_service);
    show_gas_blips = config->get(settings::blip_gas_station);
}

void ServiceManager::style_blip(Place& place) {
    if (place.kind == kGasStation) {
        place.blip_colour = kGasStationColour;
        place.blip_name = "Gas Station";
        place.blip_sprite = show_gas_blips ? kStationSprite : -1;
    } else if (place.kind == kRepairShop) {
        place.blip_colour = kRepairShopColour;
        place.blip_name = "Auto Service";
        place.blip_sprite = show_repair_blips ? kStationSprite : -1;
    }
    place.blip_scale = kStationBlipScale;
}

bool ServiceManager::load_stations() {
    for (const Place& place : places) {
        if (place.blip != 0)
            host::remove_blip(place.blip);
    }
    places.clear();
    nearest_index = -1;
    kept_lines.clear();
    std::optional<std::vector<std::string>> lines = read_existing_lines(stations_file);
    stations_file_unread = !lines;
    if (!lines)
        return false;
    for (const std::string& line : *lines) {
        std::optional<Place> station = parse_station_line(line);
        if (!station) {
            keep_line(kept_lines, line);
            continue;
        }
        refresh_blip(*station, true);
        places.push_back(std::move(*station));
    }
    return true;
}

bool ServiceManager::save_stations() const {
    if (stations_file_unread)
        return false;
    std::string contents;
    for (const Place& station : places)
        contents += station_line(station, host::street_name_at(station.position()));
    append_kept_lines(contents, kept_lines);
    keep_first_line_whole(contents);
    std::filesystem::path file(stations_file);
    if (file.has_parent_path())
        ensure_folder(file.parent_path().string());
    return replace_file(file, contents);
}

// Stations react through on_enter, which replaces the base's choice between
// these two.
void ServiceManager::on_activate(Place& /*place*/) {}
void ServiceManager::on_prompt(Place& /*place*/) {}

void ServiceManager::tick() {
    // A station menu is open only in frames in which the player is inside its
    // station: on_enter opens it afresh each such frame. Closing all three
    // first keeps one from lingering (and taking keys) for a frame after the
    // player has left, which a close request alone allows when the menu was
    // not armed yet.
    for (Menu* menu : {&gas_menu, &shop_menu, &repair_menu}) {
        menu->open = false;
        menu->close_request = false;
    }
    SpotController::tick();
    notice.draw();
    gas_menu.process();
    shop_menu.process();
    repair_menu.process();
    act_on_choice(gas_menu);
    act_on_choice(shop_menu);
    act_on_choice(repair_menu);

    host::Handle character = player_character();
    if (character == 0 || host::character_on_foot(character)) {
        // Getting out ends the jobs; the fuel already in the tank stays there
        // and is paid for as at the end of any refuelling.
        if (refuel_pending && fuel != nullptr && fuel->refuelled_litres > 0.0f)
            charge_fuel();
        refuel_pending = false;
        tyres_pending = false;
        return;
    }
    if (!refuel_pending) {
        if (tyres_pending)
            fix_tyres_step();
        return;
    }
    // While the refuelling runs the fuel model adds the fuel; it is paid
    // once the tank is full or the car drives off.
    if (fuel != nullptr && fuel->refuel_done)
        charge_fuel();
}

void ServiceManager::charge_fuel() {
    double price = std::trunc(fuel->refuelled_litres * kFuelPricePerLitre);
    auto cost = static_cast<std::int32_t>(std::clamp(price, 0.0, 1e9));
    charge(cost);
    notice.show("Fuel cost $" + std::to_string(cost));
    refuel_pending = false;
    fuel->refuelled_litres = 0.0f;  // paid: never charged again
}

void ServiceManager::act_on_choice(Menu& menu) {
    const MenuItem* item = menu.chosen_item();
    if (item == nullptr)
        return;
    switch (item->action) {
        case kFillUpGas:
            refuel_pending = true;
            close_menu(menu);
            break;
        case kFixTyres:
            tyre_step = 0;
            tyres_pending = true;
            close_menu(menu);
            break;
        case kTopUpRadiator:
            top_up_radiator();
            close_menu(menu);
            break;
        case kBuySpareGas:
            if (fuel != nullptr)
                fuel->spare_fuel = true;
            charge(kSpareGasPrice);
            notice.show("Got spare fuel $10");
            close_menu(menu);
            break;
        case kBuyMolotov:
            host::give_weapon(player_character(), kMolotovWeapon, 1);
            charge(kMolotovPrice);
            notice.show("Bought a molotov $15");
            close_menu(menu);
            break;
        case kFixCar:
            fix_car();
            close_menu(menu);
            break;
        case kToggleComponent:
            toggle_component(item->value);  // the menu stays for the next one
            break;
        default:
            break;
    }
}

void ServiceManager::on_enter(std::int32_t index) {
    if (index < 0 || index >= static_cast<std::int32_t>(places.size()))
        return;
    std::int32_t kind = places[static_cast<std::size_t>(index)].kind;
    if (kind != kGasStation && kind != kRepairShop)
        return;

    host::Handle character = player_character();
    if (kind == kGasStation) {
        draw_text("Gas Station", 0.8f, 0.05f, 0.4f);
        if (character == 0 || host::character_on_foot(character)) {
            open_for_visit(shop_menu);
            return;
        }
    } else {
        draw_text("Auto Service", 0.8f, 0.1f, 0.4f);
        if (character == 0)
            return;
    }

    host::Handle vehicle = host::character_vehicle(character);
    if (vehicle == 0)
        return;
    // A speed that is no number counts as moving: no menu.
    if (!(host::vehicle_speed(vehicle) <= FuelModel::kStandingSpeed))
        return;
    open_for_visit(kind == kGasStation ? gas_menu : repair_menu);
    draw_condition_panel(host::vehicle_object(vehicle));
}

void ServiceManager::fix_car() {
    std::uint32_t structure = player_vehicle_object();
    if (structure == 0) {
        notice.show("ServiceManager::fix_car could not get vehicle");
        return;
    }
    float body = host::vehicle_float(structure, host::VehicleField::Body);
    host::repair_vehicle(player_vehicle());
    std::int32_t cost = repair_cost(body);
    charge(cost);
    notice.show("Car repaired $" + std::to_string(cost));
}

std::int32_t ServiceManager::repair_cost(float body) {
    // In double precision and from whole half-dollars down, as the price
    // list has it; a body above sound (or no number) costs nothing instead
    // of paying the player.
    double half_dollars = std::trunc((1000.0 - body) * 500.0);
    if (!(half_dollars > 0.0))
        return 0;
    double dollars = std::min(half_dollars, 1000.0 * std::numeric_limits<std::int32_t>::max());
    return static_cast<std::int32_t>(static_cast<std::int64_t>(dollars) / 1000);
}

void ServiceManager::fix_tyres_step() {
    draw_text("Repairing tyres...", 0.5f, 0.5f, 1.0f);
    host::Handle vehicle = player_vehicle();
    std::int64_t now = host::wall_clock_now();
    if (vehicle == 0 || now < tyre_step_time)
        return;
    if (host::tyre_burst(vehicle, tyre_step)) {
        host::fix_tyre(vehicle, tyre_step);
        tyre_step_time = now + 1;
        charge(kTyrePrice);
    }
    ++tyre_step;
    if (player_vehicle_object() == 0 || tyre_step > kLastTyre) {
        tyre_step = 0;
        tyres_pending = false;
    }
}

void ServiceManager::top_up_radiator() {
    std::int64_t now = host::wall_clock_now();
    FuelState* state = nullptr;
    std::uint32_t structure = 0;
    if (fuel != nullptr && fuel->current != FuelModel::kNoVehicle) {
        state = fuel->state_of(fuel->current);
        structure = host::vehicle_object(fuel->current);
    }
    if (state == nullptr || structure == 0 || now - state->radiator_time < kRadiatorRestSeconds) {
        notice.show("Already done this!");
        return;
    }
    improve_condition(structure, kRadiatorBoost);
    charge(kRadiatorPrice);
    state->radiator_time = now;
    notice.show("Water on radiator $2");
}

void ServiceManager::toggle_component(std::int32_t component) {
    host::Handle vehicle = player_vehicle();
    if (vehicle == 0)
        return;
    bool fitted = host::extra_fitted(vehicle, component);
    host::set_extra_removed(vehicle, component, fitted);
    notice.show("Component " + std::to_string(component) + (fitted ? " removed" : " added"));
}

void ServiceManager::charge(std::int32_t amount) {
    host::add_cash(host::cash_player(host::player_index()), -amount);
}

void ServiceManager::open_for_visit(Menu& menu) {
    menu.open = true;
    menu.close_request = true;
}

void ServiceManager::close_menu(Menu& menu) {
    menu.close();
    menu.close_request = false;
}

}  // namespace corvalen
