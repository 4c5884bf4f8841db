#include "realestate/ro_viri_variru_roza.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <span>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/atomic_file.h"
#include "core/csv.h"
#include "core/player.h"
#include "host/host_game.h"
#include "realestate/property_file.h"

namespace corvalen {
namespace {

// A garage lies under the point where it was marked.
constexpr float kGarageBelowCapture = 1.0f;
constexpr std::int32_t kGarageSearchHalfWidth = 100;
constexpr std::int32_t kDeleteSearchHalfWidth = 30;

}  // namespace

ROViriVariruRoza::ROViriVariruRoza(std::string identity_text)
    : save_identity(std::move(identity_text)) {
    menu.add_item("Create a house", kEstateCreateHouse);
    menu.add_item("Add a garage", kEstateAddGarage);
    menu.add_item("Delete a house", kEstateDeleteHouse);
    menu.add_item("Toggle selling mode", kEstateToggleSelling);
    menu.add_item("Load houses from file", kEstateLoadHouses);
    menu.add_item("Save houses to file", kEstateSaveHouses);
    menu.add_item("Save player houses", kEstateSaveOwnedHouses);
    menu.add_item("Load cars", kEstateLoadCars);
    menu.add_item("Save cars", kEstateSaveCars);
    menu.add_item("Close menu", kEstateCloseMenu);
    menu.add_item("Debug mode", kEstateDebugMode);
}

ROViriVariruRoza::~ROViriVariruRoza() {
    // The process is ending: the host is going away with every blip and
    // character, and nothing may be asked of it now.
    for (Place& property : places.edit_all())
        property.blip = 0;
    agent.forget();
}

void ROViriVariruRoza::apply_config(const Config* config) {
    if (config != nullptr)
        hotel_blips = config->get(settings::blip_hotels);
}

void ROViriVariruRoza::set_save_identity(const std::string& text) {
    save_identity = text;
    garage.set_car_file(data_path(make_save_folder(data_folder, save_identity), cars_file_name));
    agent.forget();
    selling_mode = false;
}

std::string ROViriVariruRoza::house_file_path() const {
    return data_path(data_folder, house_file_name);
}

std::string ROViriVariruRoza::owned_file_path() const {
    return data_path(data_path(data_folder, save_identity), owned_file_name);
}

GarageSpot& ROViriVariruRoza::house_garage(const Place& property) {
    return house_garages[property.label].spot;
}

void ROViriVariruRoza::withdraw_garage(const Place& house) {
    auto entry = house_garages.find(house.label);
    if (entry == house_garages.end())
        return;
    const GarageSpot& sold = entry->second.spot;
    std::erase_if(garage.spots, [&](const GarageSpot& spot) {
        return spot.x == sold.x && spot.y == sold.y && spot.z == sold.z &&
               spot.radius == sold.radius;
    });
}

void ROViriVariruRoza::drop_properties() {
    for (const Place& property : places) {
        if (property.blip != 0)
            host::remove_blip(property.blip);
    }
    places.clear();
    nearest_index = -1;
}

bool ROViriVariruRoza::load_houses() {
    drop_properties();
    garage.spots.clear();
    unmatched_owned_keys.clear();
    kept_house_lines.clear();

    std::vector<std::string> owned;
    if (std::optional<std::vector<std::string>> lines = read_existing_lines(owned_file_path())) {
        owned = owned_keys(*lines);
        owned_file_unread = false;
    } else {
        owned_file_unread = true;
    }
    std::vector<bool> matched(owned.size(), false);
    // Every line of the owned file that names a key, looked up per property
    // instead of scanning the file once per property.
    std::unordered_map<std::string_view, std::vector<std::size_t>> owned_lines;
    for (std::size_t i = 0; i < owned.size(); ++i)
        owned_lines[owned[i]].push_back(i);

    ++garage_load;
    std::size_t garages_read = 0;  // house_garages entries this load gave
    auto read_property = [&](std::string_view line, std::span<const std::string_view> fields) {
        std::optional<PropertyRecord> record = parse_property_fields(fields);
        if (!record) {
            keep_line(kept_house_lines, line);
            return;
        }
        Place& property = record->property;
        // The property's key, and the key as its line writes it where that
        // differs: an owned-houses file may name the house by either.
        std::string_view keys[] = {property.label, record->key_as_written};
        std::size_t key_count = keys[1] == keys[0] ? 1 : 2;
        for (std::string_view key : std::span(keys, key_count)) {
            auto found = owned_lines.find(key);
            if (found == owned_lines.end())
                continue;
            property.user_flag = 1;
            // Only houses are written back as owned; a key that names a
            // hotel or the office alone is kept as it was read.
            for (std::size_t i : found->second)
                matched[i] = matched[i] || property.kind == kHouse;
        }
        if (property.kind == kHouse)
            property.enabled = is_owned(property) || selling_mode;
        if (is_owned(property))
            garage.add_spot(record->garage);
        HouseGarage& kept = house_garages[property.label];
        if (kept.load != garage_load) {
            kept.load = garage_load;
            ++garages_read;
        }
        kept.spot = std::move(record->garage);
        // The blip once the list holds the place: a load that stops part
        // way removes every blip the list holds.
        refresh_blip(places.emplace_back(std::move(property)), false);
    };
    // Read a part at a time: a copy of the whole database would be fresh
    // pages at every load.
    FileRead read = FileRead::unread;
    try {
        read = for_each_record_in_file<kPropertyFields>(house_file_path(), read_property);
    } catch (const std::exception&) {
        // Memory ran out: a file not read whole is not written over.
    }
    house_file_unread = read == FileRead::unread;
    if (house_file_unread) {
        // What a part of the file gave is no account of it.
        drop_properties();
        garage.spots.clear();
        kept_house_lines.clear();
        std::fill(matched.begin(), matched.end(), false);
        house_garages.clear();
        garages_read = 0;
    }
    // The garages of houses gone from the database (or made since the last
    // load and never saved) go as the database has them: not at all.
    if (house_garages.size() != garages_read)
        std::erase_if(house_garages,
                      [&](const auto& entry) { return entry.second.load != garage_load; });

    for (std::size_t i = 0; i < owned.size(); ++i) {
        if (!matched[i])
            unmatched_owned_keys.push_back(owned[i]);
    }
    return !house_file_unread && !owned_file_unread;
}

bool ROViriVariruRoza::save_houses() {
    if (house_file_unread)
        return false;
    std::string contents;
    // Ten values of some eight characters a line: room for most databases.
    contents.reserve(places.size() * 80);
    for (const Place& property : places)
        append_property_line(contents, property, house_garage(property));
    append_kept_lines(contents, kept_house_lines);
    keep_first_line_whole(contents);
    ensure_folder(data_folder);
    return replace_file(house_file_path(), contents);
}

bool ROViriVariruRoza::save_owned_houses() {
    if (owned_file_unread || save_identity.empty())
        return false;
    std::string contents;
    for (const Place& property : places) {
        if (property.kind == kHouse && is_owned(property))
            contents += property.label + "\n";
    }
    for (const std::string& key : unmatched_owned_keys)
        contents += key + "\n";
    keep_first_line_whole(contents);
    make_save_folder(data_folder, save_identity);
    return replace_file(owned_file_path(), contents);
}

void ROViriVariruRoza::tick() {
    menu.process();
    run_editor_action(menu.selected_action());
    garage.update();
    message.draw();
    capture.process();
    if (capture.confirmed)
        store_captured_garage();
    draw_garage_highlight();

    std::int64_t now = host::wall_clock_now();
    if (next_check_time == 0 || next_check_time <= now) {
        SpotController::tick();
        watch_agent();
    }
}

void ROViriVariruRoza::run_editor_action(std::int32_t action) {
    switch (action) {
        case kEstateCreateHouse:
            create_house();
            menu.close();
            break;
        case kEstateAddGarage:
            capture.start();
            menu.close();  // the player walks out the garage's radius
            break;
        case kEstateDeleteHouse:
            delete_nearest_property();
            menu.close();
            break;
        case kEstateToggleSelling:
            set_selling_mode(!selling_mode);
            break;
        case kEstateLoadHouses:
            load_houses();
            break;
        case kEstateSaveHouses:
            save_houses();
            break;
        case kEstateSaveOwnedHouses:
            save_owned_houses();
            break;
        case kEstateLoadCars:
            garage.read_car_file_again();
            break;
        case kEstateSaveCars:
            garage.write_car_file();
            break;
        case kEstateCloseMenu:
            menu.close();
            break;
        case kEstateDebugMode:
            garage.toggle_blips();
            menu.close();
            break;
        default:
            break;
    }
}

void ROViriVariruRoza::create_house() {
    std::optional<host::Vec3> at = player_position();
    if (!at)
        return;
    Property house(false, kHouse, kNewHouseValue, as_stored(at->x), as_stored(at->y),
                   as_stored(at->z));
    refresh_blip(house, false);
    places.push_back(std::move(house));
    save_houses();
}

void ROViriVariruRoza::delete_nearest_property() {
    if (places.empty())
        return;
    std::int32_t index = find_nearest(true, kDeleteSearchHalfWidth);
    if (index < 0)
        return;
    auto doomed = places.begin() + index;
    if (doomed->blip != 0)
        host::remove_blip(doomed->blip);
    // The player's claim outlives the modder's edit: the house may come back
    // from the database, still owned.
    if (doomed->kind == kHouse && is_owned(*doomed))
        unmatched_owned_keys.push_back(doomed->label);
    places.erase(doomed);
    nearest_index = -1;
}

void ROViriVariruRoza::store_captured_garage() {
    if (places.empty())
        return;
    std::int32_t index = find_nearest(true, kGarageSearchHalfWidth);
    if (index < 0)
        return;
    host::Vec3 centre = capture.start_position();
    house_garage(places[static_cast<std::size_t>(index)]) =
        GarageSpot{"", centre.x, centre.y, centre.z - kGarageBelowCapture, capture.radius, 0};
}

}  // namespace corvalen
