#include "hostsim/world.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace hostsim {
namespace {

constexpr std::uint32_t kMsPerMinute = 60 * 1000;
constexpr std::uint32_t kMsPerHour = 60 * kMsPerMinute;
constexpr std::uint32_t kMsPerDay = 24 * kMsPerHour;

int days_in_month(int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return kDays[(month - 1) % 12];
}

}  // namespace

std::string hex(std::uint32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof(buffer), "0x%08X", static_cast<unsigned>(value));
    return buffer;
}

World::World(const WorldSettings& settings)
    : settings_(settings),
      game_timer_(settings.game_timer_start),
      wall_clock_ms_(settings.wall_clock_start_ms),
      clock_ms_(static_cast<std::uint32_t>(settings.clock_hour) * kMsPerHour +
                static_cast<std::uint32_t>(settings.clock_minute) * kMsPerMinute),
      day_(settings.day),
      month_(settings.month),
      area_code_(settings.area_code) {
    int_stats_[kSaveIdentityStat] = settings.save_identity;
    int_stats_[kDayCountStat] = settings.day_count;
    float_stats_[kCashStat] = settings.cash;
    player_group_.handle = kPlayerGroup;
    Character& player = add_character(kPlayerModel, settings.player_start, settings.player_heading);
    player.placed = true;
    player_character_ = player.handle;
    if (settings.parked_vehicles)
        place_parked_vehicles();
}

void World::place_parked_vehicles() {
    struct Parked {
        std::uint32_t model;
        Vec3 position;
        float heading;
    };
    static const Parked kParked[] = {
        {vehicle_models()[0].id, {-114.0f, 38.0f, 6.0f}, 90.0f},
        {vehicle_models()[1].id, {-95.0f, 52.0f, 6.0f}, 0.0f},
        {vehicle_models()[2].id, {240.0f, -310.0f, 6.0f}, 180.0f},
    };
    for (const Parked& parked : kParked) {
        Vehicle& vehicle = add_vehicle(parked.model, parked.position, parked.heading);
        vehicle.from_world_start = true;
        vehicle.placed = true;
        vehicle.home = parked.position;
        vehicle.home_heading = parked.heading;
    }
}

// --- frames and time -------------------------------------------------------------

void World::begin_frame() {
    ++frame_;
    if (frame_ > 1) {
        pass_game_time(settings_.frame_ms);
        pass_wall_time(settings_.wall_ms_per_frame);
    }
    apply_pending_load();
    update_keys();
    move_walker();
    drive_traffic();
    move_people();
    keep_riders_with_vehicles();

    if (save_screen_pending_) {
        save_screen_pending_ = false;
        save_screen_frames_left_ = std::max(1, settings_.save_screen_frames);
        // Opened between frames: the save is written before this frame runs.
        if (settings_.save_written_at_open && !saved_at_open_)
            write_save();
        saved_at_open_ = false;
    }
    non_playing_ = paused_ || save_screen_frames_left_ > 0 || load_screen_frames_left_ > 0;
    current_draws_.clear();
    reset_text_style();
}

void World::end_frame() {
    if (save_screen_pending_ && settings_.save_written_at_open) {
        write_save();
        saved_at_open_ = true;
    }
    if (save_screen_frames_left_ > 0 && --save_screen_frames_left_ == 0 &&
        !settings_.save_written_at_open) {
        write_save();
    }
    if (load_screen_frames_left_ > 0)
        --load_screen_frames_left_;
    last_frame_draws_ = std::move(current_draws_);
    current_draws_.clear();
    reset_text_style();
}

std::int64_t World::wall_clock_seconds() const {
    // Floor, so that times before 1970 would still step once per second.
    std::int64_t ms = wall_clock_ms_;
    return ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
}

ClockReading World::clock() const {
    ClockReading reading;
    reading.hour = static_cast<int>(clock_ms_ / kMsPerHour);
    reading.minute = static_cast<int>(clock_ms_ % kMsPerHour / kMsPerMinute);
    reading.second = static_cast<int>(clock_ms_ % kMsPerMinute / 1000);
    reading.day = day_;
    reading.month = month_;
    reading.day_count = int_stat(kDayCountStat);
    return reading;
}

std::uint32_t World::clock_seconds() const {
    return clock_ms_ % kMsPerMinute / 1000;
}

void World::set_clock(int hour, int minute) {
    hour = std::clamp(hour, 0, 23);
    minute = std::clamp(minute, 0, 59);
    clock_ms_ = static_cast<std::uint32_t>(hour) * kMsPerHour +
                static_cast<std::uint32_t>(minute) * kMsPerMinute;
    char text[48];
    std::snprintf(text, sizeof(text), "clock set to %02d:%02d", hour, minute);
    note(text);
}

void World::advance_day() {
    int_stats_[kDayCountStat] += 1;
    if (++day_ > days_in_month(month_)) {
        day_ = 1;
        month_ = month_ % 12 + 1;
    }
}

void World::pass_game_time(std::uint32_t ms) {
    game_timer_ += ms;
    std::uint64_t clock = clock_ms_ + static_cast<std::uint64_t>(ms) * settings_.clock_rate;
    while (clock >= kMsPerDay) {
        clock -= kMsPerDay;
        advance_day();
    }
    clock_ms_ = static_cast<std::uint32_t>(clock);
}

void World::pass_wall_time(std::int64_t ms) {
    wall_clock_ms_ += ms;
}

// --- keys --------------------------------------------------------------------------

void World::schedule_press(std::uint32_t frame, std::uint8_t scan_code) {
    scheduled_presses_[frame].insert(scan_code);
}

void World::schedule_hold(std::uint32_t from, std::uint32_t to, std::uint8_t scan_code) {
    holds_.push_back({from, to, scan_code});
}

void World::release_key(std::uint8_t scan_code) {
    for (Hold& hold : holds_) {
        if (hold.scan_code == scan_code && hold.to > frame_)
            hold.to = frame_;
    }
}

void World::update_keys() {
    held_before_ = held_;
    held_.clear();
    for (const Hold& hold : holds_) {
        if (hold.from <= frame_ && frame_ <= hold.to)
            held_.insert(hold.scan_code);
    }
    pressed_.clear();
    auto scheduled = scheduled_presses_.find(frame_);
    if (scheduled != scheduled_presses_.end()) {
        pressed_ = scheduled->second;
        scheduled_presses_.erase(scheduled);
    }
    for (std::uint8_t key : held_) {
        if (held_before_.count(key) == 0)
            pressed_.insert(key);
    }
}

bool World::key_pressed(std::uint32_t scan_code) const {
    return scan_code < 256 && pressed_.count(static_cast<std::uint8_t>(scan_code)) != 0;
}

bool World::key_held(std::uint32_t scan_code) const {
    return scan_code < 256 && held_.count(static_cast<std::uint8_t>(scan_code)) != 0;
}

// --- the player ----------------------------------------------------------------------

const Character& World::player() const {
    return *character(player_character_);
}

Vec3 World::player_position() const {
    return player().object.position();
}

void World::set_player_position(Vec3 position) {
    Character& me = player();
    if (Vehicle* car = vehicle(me.vehicle))
        car->object.set_position(position);
    me.object.set_position(position);
    keep_riders_with_vehicles();
    walk_target_.reset();
}

void World::set_walk_target(Vec3 target, float metres_per_second) {
    walk_target_ = target;
    walk_speed_ = metres_per_second;
}

void World::move_walker() {
    if (!walk_target_)
        return;
    Character& me = player();
    Vehicle* car = vehicle(me.vehicle);
    if (car != nullptr && me.seat != kDriverSeat) {
        walk_target_.reset();  // a passenger goes where the driver goes
        return;
    }
    if (car != nullptr && !car->parts.engine_running) {
        car->parts.speed = 0.0f;  // going nowhere until the engine runs again
        return;
    }
    EntityObject& body = car != nullptr ? car->object : me.object;
    Vec3 from = body.position();
    Vec3 to = *walk_target_;
    float left = distance(from, to);
    float step = walk_speed_ * static_cast<float>(settings_.frame_ms) / 1000.0f;
    if (car != nullptr)
        car->parts.speed = walk_speed_;
    if (left <= step || step <= 0.0f) {
        body.set_position(to);
        walk_target_.reset();
        if (car != nullptr)
            car->parts.speed = 0.0f;  // arrived: it stands
    } else {
        float f = step / left;
        body.set_position({from.x + (to.x - from.x) * f, from.y + (to.y - from.y) * f,
                           from.z + (to.z - from.z) * f});
        if (horizontal_distance(from, to) > 0.0f) {
            body.set_heading(std::atan2(-(to.x - from.x), to.y - from.y) * 57.2957795f);
        }
    }
    keep_riders_with_vehicles();
}

void World::keep_riders_with_vehicles() {
    for (auto& [handle, person] : characters_) {
        if (const Vehicle* car = vehicle(person.vehicle)) {
            person.object.set_position(car->object.position());
            person.object.set_heading(car->object.heading());
        }
    }
}

float World::cash() const {
    return float_stat(kCashStat);
}

void World::add_cash(std::int32_t amount) {
    float before = cash();
    float after = before + static_cast<float>(amount);
    float_stats_[kCashStat] = after;
    note("cash " + format_float(before) + " -> " + format_float(after) + " (" +
         (amount >= 0 ? "+" : "") + std::to_string(amount) + ")");
}

// --- statistics and save games --------------------------------------------------------

std::int32_t World::int_stat(std::int32_t number) const {
    auto it = int_stats_.find(number);
    return it == int_stats_.end() ? 0 : it->second;
}

float World::float_stat(std::int32_t number) const {
    auto it = float_stats_.find(number);
    return it == float_stats_.end() ? 0.0f : it->second;
}

void World::set_int_stat(std::int32_t number, std::int32_t value) {
    int_stats_[number] = value;
    note("int stat " + std::to_string(number) + " = " + std::to_string(value));
}

void World::set_float_stat(std::int32_t number, float value) {
    float_stats_[number] = value;
    note("float stat " + std::to_string(number) + " = " + format_float(value));
}

void World::open_save_screen() {
    if (save_screen_open())
        return;
    save_screen_pending_ = true;
    note("save screen opened");
}

void World::cancel_save_screen() {
    if (!save_screen_open())
        return;
    save_screen_pending_ = false;
    save_screen_frames_left_ = 0;
    note("save screen closed without saving");
}

void World::write_save() {
    SaveGame save;
    save.int_stats = int_stats_;
    save.float_stats = float_stats_;
    save.game_timer = game_timer_;
    save.clock_ms = clock_ms_;
    save.day = day_;
    save.month = month_;
    save.player_position = player_position();
    save.player_heading = player().object.heading();
    save.saved_frame = frame_;
    saves_[current_slot_] = save;
    note("game saved to slot " + std::to_string(current_slot_) + " (save identity " +
         std::to_string(int_stat(kSaveIdentityStat)) + ")");
}

bool World::load_save(int slot) {
    if (saves_.count(slot) == 0)
        return false;
    pending_load_ = slot;
    return true;
}

void World::apply_pending_load() {
    if (!pending_load_)
        return;
    int slot = *pending_load_;
    pending_load_.reset();
    const SaveGame& save = saves_.at(slot);
    current_slot_ = slot;
    int_stats_ = save.int_stats;
    float_stats_ = save.float_stats;
    game_timer_ = save.game_timer;
    clock_ms_ = save.clock_ms;
    day_ = save.day;
    month_ = save.month;
    // A loaded game starts from its own world: the player on foot at the saved
    // spot, only the vehicles the game itself places, where it places them.
    Character& me = player();
    leave_vehicle(me.handle);
    forget_created_since_start();
    for (auto& [handle, car] : vehicles_) {
        car.object.set_heading(car.home_heading);
        car.object.set_position(car.home);
        car.parts.speed = 0.0f;
    }
    me.object.set_position(save.player_position);
    me.object.set_heading(save.player_heading);
    walk_target_.reset();
    save_screen_frames_left_ = 0;
    save_screen_pending_ = false;
    load_screen_frames_left_ = std::max(1, settings_.load_screen_frames);
    note("game loaded from slot " + std::to_string(slot) + " (save identity " +
         std::to_string(int_stat(kSaveIdentityStat)) + ", game timer " +
         std::to_string(game_timer_) + ")");
}

// --- journal ----------------------------------------------------------------------------

void World::note(const std::string& text) {
    journal_.push_back({frame_, text});
}

void World::forget_journal() {
    journal_.clear();
    errors_.clear();
}

void World::record_error(const std::string& text) {
    errors_.push_back({frame_, text});
    journal_.push_back({frame_, "error: " + text});
}

}  // namespace hostsim
