#include "monkey/monkey.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/save_tracker.h"
#include "host/host_game.h"
#include "monkey/town.h"

namespace monkey {
namespace {

namespace fs = std::filesystem;
using corvalen::host::ScanCode;

// Every key the plug-in reads.
constexpr ScanCode kKeys[] = {
    ScanCode::Y,       ScanCode::Enter,   ScanCode::F,       ScanCode::G,       ScanCode::LeftShift,
    ScanCode::X,       ScanCode::B,       ScanCode::N,       ScanCode::Comma,   ScanCode::FullStop,
    ScanCode::LeftAlt, ScanCode::Numpad8, ScanCode::Numpad4, ScanCode::Numpad5, ScanCode::Numpad6,
    ScanCode::Numpad1, ScanCode::Numpad2, ScanCode::Numpad3, ScanCode::Numpad0, ScanCode::F11,
    ScanCode::F12,
};
constexpr ScanCode kModifiers[] = {ScanCode::LeftShift, ScanCode::LeftAlt};

constexpr std::uint8_t code(ScanCode key) {
    return static_cast<std::uint8_t>(key);
}

constexpr float kWalkingSpeed = 5.0f;
constexpr float kRunningSpeed = 15.0f;  // on an errand, the monkey is in a hurry
constexpr float kDrivingSpeed = 12.0f;
constexpr std::uint32_t kBusModel = 0xD577C962;
// Where the town's properties and bus stops stand (town.cpp).
constexpr hostsim::Vec3 kEstateOffice{-112.0f, 35.0f, 6.0f};
constexpr hostsim::Vec3 kHouses[] = {{-100.0f, 70.0f, 6.0f}, {120.0f, -300.0f, 6.0f}};
constexpr hostsim::Vec3 kStations[] = {
    {-60.0f, 35.0f, 6.0f}, {-120.0f, 110.0f, 6.0f}, {240.0f, -200.0f, 6.0f}};
constexpr hostsim::Vec3 kBusStops[] = {
    {-100.0f, 35.0f, 6.0f}, {10.0f, 35.0f, 6.0f}, {110.0f, 35.0f, 6.0f}, {240.0f, -310.0f, 6.0f}};
constexpr std::uint32_t kGameHourMs = 120000;  // the clock runs 30 times faster
constexpr int kLongestScreen = 200;            // frames a save or load screen may take

// The files of each save the plug-in keeps, besides the global ones.
constexpr const char* kSaveFiles[] = {"house_cars.csv", "pub_parking_cars.csv",
                                      "player_houses_db.dat"};

// The data files the monkey may spoil: the global ones, and every save's
// files and folder.
std::vector<fs::path> spoilable_paths() {
    std::vector<fs::path> paths;
    for (const auto& [path, contents] : town_files())
        paths.emplace_back(path);
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator("corvalen", error)) {
        std::string name = entry.path().filename().string();
        if (!entry.is_directory() || name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        paths.push_back(entry.path());
        for (const char* file : kSaveFiles)
            paths.push_back(entry.path() / file);
    }
    return paths;
}

}  // namespace

const std::vector<Monkey::Action>& Monkey::actions() {
    static const std::vector<Action> kActions = {
        {"press a key", 40, &Monkey::press_key},
        {"press a key with a modifier held", 6, &Monkey::press_with_modifier},
        {"dive into a menu", 6, &Monkey::dive_into_menu},
        {"walk", 10, &Monkey::walk},
        {"visit a place", 4, &Monkey::visit_a_place},
        {"shop for a house", 1, &Monkey::shop_for_a_house},
        {"service a car", 1, &Monkey::service_a_car},
        {"drive the bus", 1, &Monkey::drive_the_bus},
        {"get in", 6, &Monkey::get_in},
        {"get out", 5, &Monkey::get_out},
        {"drive", 6, &Monkey::drive},
        {"idle", 8, &Monkey::idle},
        {"save", 2, &Monkey::save},
        {"back out of a save", 1, &Monkey::back_out_of_save},
        {"load", 2, &Monkey::load},
        {"jump in time", 2, &Monkey::jump_in_time},
        {"stir the crowd", 2, &Monkey::stir_the_crowd},
        {"make trouble", 2, &Monkey::make_trouble},
    };
    return kActions;
}

Monkey::Monkey(hostsim::Host& host, Audit& audit, std::uint32_t seed, std::uint64_t frames,
               std::size_t journal_actions)
    : host_(host),
      world_(host.world()),
      audit_(audit),
      dice_(seed),
      frame_limit_(frames),
      journal_actions_(journal_actions) {}

void Monkey::play() {
    int total = 0;
    for (const Action& action : actions())
        total += action.weight;
    while (!done()) {
        int pick = roll(1, total);
        for (const Action& action : actions()) {
            pick -= action.weight;
            if (pick <= 0) {
                remember(action);
                (this->*action.act)();
                break;
            }
        }
    }
}

// --- the actions ----------------------------------------------------------------------

void Monkey::press_key() {
    press(code(kKeys[pick(std::size(kKeys))]), roll(1, 4));
}

void Monkey::press_with_modifier() {
    std::uint8_t modifier = code(kModifiers[pick(std::size(kModifiers))]);
    host_.hold_key(modifier);
    step();
    press(code(kKeys[pick(std::size(kKeys))]), roll(1, 3));
    host_.release_key(modifier);
    step();
}

// The main menu, a feature menu, an item of it, and perhaps a capture
// confirmed or cancelled: deeper than single keys go by chance.
void Monkey::dive_into_menu() {
    press(code(ScanCode::F12), 2);
    for (int i = roll(0, 5); i > 0; --i)
        press(code(ScanCode::Numpad2), 1);
    press(code(ScanCode::Numpad5), 2);
    for (int i = roll(0, 12); i > 0; --i)
        press(code(ScanCode::Numpad2), 1);
    press(code(ScanCode::Numpad5), roll(1, 30));
    if (chance(2))
        press(code(chance(2) ? ScanCode::Y : ScanCode::N), 2);
}

void Monkey::walk() {
    world_.set_walk_target(somewhere(), kWalkingSpeed);
    step(roll(1, 120));
}

// Walks right up to a station, a stop, an office or a house, and asks for
// what it offers.
void Monkey::visit_a_place() {
    const std::vector<hostsim::Vec3>& places = town_places();
    go_to(places[pick(places.size())]);
    press_enter_there();
    for (int i = roll(0, 3); i > 0; --i)
        press(code(chance(2) ? ScanCode::Numpad5 : ScanCode::Numpad2), roll(1, 20));
}

// The agent at the office, then a house: bought, or sold when it is the
// player's already; now and then a rest there afterwards.
void Monkey::shop_for_a_house() {
    go_to(kEstateOffice);
    press_enter_there();
    go_to(kHouses[pick(std::size(kHouses))]);
    press_enter_there();
    if (chance(3))
        press_enter_there();
}

// A car driven into a gas station or repair shop, and something chosen
// from its menu.
void Monkey::service_a_car() {
    if (!driving()) {
        get_in();
        if (!driving())
            return;
    }
    drive_to(kStations[pick(std::size(kStations))]);
    step(roll(0, 100));
    for (int i = roll(0, 6); i > 0; --i)
        press(code(ScanCode::Numpad2), 1);
    press(code(ScanCode::Numpad5), roll(1, 300));
}

// At the wheel of the town's bus, B starts the driver mission; the bus
// goes round its stops.
void Monkey::drive_the_bus() {
    std::int32_t bus = 0;
    for (const auto& [handle, car] : world_.vehicles()) {
        if (car.model == kBusModel && car.driver == 0)
            bus = handle;
    }
    if (bus == 0)
        return idle();
    host_.leave_vehicle();
    world_.set_player_position(world_.vehicle(bus)->object.position());
    host_.enter_vehicle(bus);
    press(code(ScanCode::B), 2);
    for (std::size_t i = pick(std::size(kBusStops)) + 1; i > 0 && driving() && !done(); --i) {
        drive_to(kBusStops[pick(std::size(kBusStops))]);
        step(roll(1, 400));  // people get on and off
    }
}

void Monkey::get_in() {
    if (world_.player().vehicle != 0)
        return step();
    std::int32_t nearest = world_.nearest_vehicle(world_.player_position(), 60.0f);
    const hostsim::Vehicle* car = world_.vehicle(nearest);
    if (car == nullptr)
        return walk();
    world_.set_walk_target(car->object.position(), kWalkingSpeed);
    for (int i = 0; i < 400 && world_.walking() && !done(); ++i)
        step();
    car = world_.vehicle(nearest);  // it may have driven off, or gone
    if (car == nullptr)
        return;
    auto seats = static_cast<int>(car->passengers.size());
    std::int32_t seat = chance(2) || seats == 0 ? hostsim::kDriverSeat : roll(0, seats - 1);
    host_.enter_vehicle(nearest, seat);
    step(roll(1, 10));
}

void Monkey::get_out() {
    host_.leave_vehicle();
    step(roll(1, 10));
}

void Monkey::drive() {
    if (!driving())
        return walk();
    world_.set_walk_target(somewhere(), static_cast<float>(roll(5, 20)));
    step(roll(10, 200));
}

void Monkey::idle() {
    step(roll(1, 300));
}

void Monkey::save() {
    world_.set_current_slot(roll(1, 3));
    world_.open_save_screen();
    step();
    for (int i = 0; i < kLongestScreen && world_.non_playing() && !done(); ++i)
        step();
    ++figures_.saves;
}

void Monkey::back_out_of_save() {
    world_.open_save_screen();
    step(roll(1, 25));
    world_.cancel_save_screen();
    step(2);
    ++figures_.saves_backed_out;
}

void Monkey::load() {
    if (world_.saves().empty())
        return save();
    auto [slot, game] = *std::next(world_.saves().begin(),
                                   static_cast<std::ptrdiff_t>(pick(world_.saves().size())));
    // The plug-in tells a load by the jump of the game timer, as the game
    // gives it no other sign: a save whose timer lies a few seconds ahead of
    // the game's looks like playing on, and a real player would have to load
    // it at just that moment.
    if (game.game_timer - world_.game_timer() <= corvalen::SaveTracker::kTimeJumpLimit)
        return idle();
    if (chance(3))
        break_data_file();
    if (chance(4))
        mend_data_files();
    world_.load_save(slot);
    step();
    audit_.after_load();
    show_journal_at_first_failure();
    for (int i = 0; i < kLongestScreen && world_.non_playing() && !done(); ++i)
        step();
    // The loaded game has its own people about the streets.
    add_people_near(world_, world_.player_position(), roll(2, 6));
    ++figures_.loads;
}

// The game moves time on while it plays (a cut scene, a night's sleep).
// Never as a save screen opens: the plug-in tells a load by a jump of the
// game timer while the game is not playing, and the game's timer does not
// leap in that frame unless it loaded.
void Monkey::jump_in_time() {
    if (world_.non_playing() || world_.save_screen_open())
        return step();
    host_.pass_game_time(static_cast<std::uint32_t>(roll(1, 24 * 60)) * kGameHourMs / 60);
    host_.pass_wall_time(roll(0, 60));
    ++figures_.time_jumps;
    step();
}

void Monkey::stir_the_crowd() {
    std::vector<std::int32_t> people;
    for (const auto& [handle, person] : world_.characters()) {
        if (handle != world_.player_character())
            people.push_back(handle);
    }
    int what = roll(0, 2);
    if (people.empty() || what == 0) {
        add_people_near(world_, world_.player_position(), roll(1, 4));
    } else {
        std::int32_t someone = people[pick(people.size())];
        if (what == 1)
            world_.kill_character(someone);
        else
            world_.send_wandering(someone);
    }
    step();
}

// What the game may do to the plug-in at any time.
void Monkey::make_trouble() {
    switch (roll(0, 5)) {
        case 0:
            world_.set_vehicle_pool_full(!world_.vehicle_pool_full());
            break;
        case 1:
            world_.set_pedestrian_pool_full(!world_.pedestrian_pool_full());
            break;
        case 2:
            world_.set_wanted_level(roll(0, 4));
            break;
        case 3:
            world_.set_on_mission(!world_.on_mission());
            break;
        case 4:
            world_.set_float_stat(hostsim::kCashStat, static_cast<float>(roll(-100, 200000)));
            break;
        default:
            if (!world_.vehicles().empty()) {
                auto it = std::next(world_.vehicles().begin(),
                                    static_cast<std::ptrdiff_t>(pick(world_.vehicles().size())));
                world_.set_blocked(it->first, chance(2));
            }
            break;
    }
    step();
}

// --- data files between loads ---------------------------------------------------------

void Monkey::break_data_file() {
    std::vector<fs::path> paths = spoilable_paths();
    const fs::path& path = paths[pick(paths.size())];
    std::error_code ignored;
    switch (roll(0, 3)) {
        case 0:  // deleted
            fs::remove_all(path, ignored);
            break;
        case 1:  // unreadable: a folder stands where the file was
            fs::remove_all(path, ignored);
            fs::create_directories(path / "in-the-way", ignored);
            break;
        case 2: {  // cut short, as by a crash
            std::uintmax_t size = fs::is_regular_file(path) ? fs::file_size(path, ignored) : 0;
            if (size > 0)
                fs::resize_file(path, pick(size), ignored);
            break;
        }
        default: {  // bytes of any kind
            if (fs::is_directory(path))
                return;
            const char kText[] = "0123456789-.,,,\n\n\r e+nanif";
            std::string bytes;
            for (int i = roll(0, 300); i > 0; --i) {
                bytes +=
                    chance(4) ? static_cast<char>(roll(0, 255)) : kText[roll(0, sizeof(kText) - 2)];
            }
            std::ofstream(path, std::ios::binary) << bytes;
            break;
        }
    }
    ++figures_.faults;
}

void Monkey::mend_data_files() {
    write_town_files();
    std::error_code ignored;
    for (const fs::path& path : spoilable_paths()) {
        if (path.has_extension() && fs::is_directory(path))
            fs::remove_all(path, ignored);
    }
}

// --- helpers ------------------------------------------------------------------------

void Monkey::go_to(hostsim::Vec3 place) {
    if (driving())
        host_.leave_vehicle();
    world_.set_walk_target(place, kRunningSpeed);
    for (int i = 0; i < 1200 && world_.walking() && !done(); ++i)
        step();
}

void Monkey::drive_to(hostsim::Vec3 place) {
    world_.set_walk_target(place, kDrivingSpeed);
    for (int i = 0; i < 1200 && world_.walking() && driving() && !done(); ++i)
        step();
}

void Monkey::press_enter_there() {
    // A place far off is looked at again only every few seconds.
    step(roll(0, 200));
    press(code(ScanCode::Enter), roll(1, 40));
}

void Monkey::step(int frames) {
    for (int i = 0; i < frames && !done(); ++i) {
        host_.run_frame();
        ++figures_.frames;
        audit_.after_frame();
        show_journal_at_first_failure();
    }
}

void Monkey::remember(const Action& action) {
    if (journal_actions_ == 0)
        return;
    if (journal_.size() == journal_actions_)
        journal_.pop_front();
    journal_.push_back({world_.frame(), action.name});
}

void Monkey::show_journal_at_first_failure() {
    if (journal_shown_ || journal_.empty() || audit_.findings().empty())
        return;
    journal_shown_ = true;
    std::printf("the last %zu actions before it, with the world's journal:\n", journal_.size());
    const std::vector<hostsim::JournalEntry>& notes = world_.journal();
    auto note = std::lower_bound(notes.begin(), notes.end(), journal_.front().frame,
                                 [](const hostsim::JournalEntry& entry, std::uint32_t frame) {
                                     return entry.frame < frame;
                                 });
    auto show_notes_before = [&](std::uint32_t frame) {
        for (; note != notes.end() && note->frame < frame; ++note)
            std::printf("      frame %u: %s\n", note->frame, note->text.c_str());
    };
    for (const Done& done : journal_) {
        show_notes_before(done.frame);
        std::printf("  frame %u: %s\n", done.frame, done.name);
    }
    show_notes_before(world_.frame() + 1);
}

void Monkey::press(std::uint8_t scan_code, int frames) {
    host_.press_key(scan_code);
    ++figures_.keys;
    step(frames);
}

int Monkey::roll(int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(dice_);
}

std::size_t Monkey::pick(std::uintmax_t count) {
    return static_cast<std::size_t>(
        std::uniform_int_distribution<std::uintmax_t>(0, count - 1)(dice_));
}

hostsim::Vec3 Monkey::somewhere() {
    const std::vector<hostsim::Vec3>& places = town_places();
    hostsim::Vec3 place = places[pick(places.size())];
    place.x += static_cast<float>(roll(-10, 10));
    place.y += static_cast<float>(roll(-10, 10));
    return place;
}

bool Monkey::driving() const {
    const hostsim::Character& me = world_.player();
    return me.vehicle != 0 && me.seat == hostsim::kDriverSeat;
}

}  // namespace monkey
