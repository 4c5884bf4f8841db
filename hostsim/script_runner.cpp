#include "hostsim/script_runner.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <regex>
#include <set>
#include <sstream>

#include "hostsim/host.h"
#include "hostsim/platform.h"
#include "hostsim/snapshot.h"
#include "hostsim/timeline.h"

namespace hostsim {
namespace {

namespace fs = std::filesystem;

constexpr float kWalkingSpeed = 5.0f;  // metres per second
constexpr float kDrivingSpeed = 10.0f;
constexpr float kReachOfGettingIn = 10.0f;  // metres to the vehicle the player gets into
constexpr float kStandingHeight = 1.0f;     // above the ground
// However slow, a walk or a drive that takes longer than this many frames
// past its due has gone wrong (an engine that will not start, say).
constexpr int kSpareFrames = 300;
constexpr int kSaveScreenFrames = 1000;
// How long an expected text may take to show after the action before it.
constexpr std::uint32_t kMomentMs = 1000;

std::string duration_text(std::uint32_t ms) {
    std::uint32_t hours = ms / 3600000;
    std::uint32_t minutes = ms / 60000 % 60;
    std::uint32_t seconds = ms / 1000 % 60;
    std::string text;
    auto part = [&text](std::uint32_t count, const char* unit) {
        if (count > 0)
            text += (text.empty() ? "" : " ") + std::to_string(count) + " " + unit;
    };
    part(hours, "h");
    part(minutes, "min");
    part(seconds, "s");
    return text.empty() ? std::to_string(ms) + " ms" : text;
}

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

bool read_whole_file(const std::string& path, std::string& content) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream text;
    text << in.rdbuf();
    content.clear();
    for (char c : text.str()) {
        if (c != '\r')
            content += c;
    }
    return true;
}

std::vector<std::string> lines_of(const std::string& content) {
    std::vector<std::string> lines;
    std::istringstream in(content);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

class Runner {
  public:
    Runner(Host& host, const Script& script, const std::string& plugin, const std::string& out,
           std::ostream& echo, std::ostream& err)
        : host_(host),
          world_(host.world()),
          script_(script),
          plugin_(plugin),
          out_(out),
          err_(err),
          story_(&echo),
          cash_baseline_(host.world().cash()) {}

    ScriptRun run() {
        story_.skip_journal(world_);
        story_.look_at_files(world_, kDataFolder, true);
        for (const Action& action : script_.actions) {
            if (!act(action))
                break;
        }
        if (!plugin_tried_)
            load_plugin();
        story_.finish(world_);
        story_.look_at_files(world_, kDataFolder);
        result_.timeline = story_.lines();
        if (!out_.empty()) {
            std::error_code error;
            fs::create_directories(out_, error);
            std::string path = (fs::path(out_) / "timeline.txt").string();
            if (!write_lines(path, result_.timeline))
                err_ << "hostsim: cannot write " << path << "\n";
        }
        return result_;
    }

  private:
    void fail(const Action& action, const std::string& message) {
        std::string where = script_.file + ":" + std::to_string(action.line) + ": ";
        result_.failures.push_back(where + message);
        err_ << where << message << std::endl;
        story_.tell(world_, "FAILED (line " + std::to_string(action.line) + "): " + message);
    }

    bool load_plugin() {
        plugin_tried_ = true;
        if (plugin_.empty()) {
            result_.plugin_loaded = true;
            return true;
        }
        result_.plugin_loaded = host_.load_plugin(plugin_);
        result_.load_error = host_.load_error();
        return result_.plugin_loaded;
    }

    // One frame, watched.
    void frame() {
        host_.run_frame();
        story_.watch_frame(world_);
        for (const DrawItem& item : world_.last_frame_draws()) {
            if (item.kind == DrawKind::text)
                seen_.insert(item.text);
        }
        // The plug-in writes its per-save files while the game is not playing.
        if (world_.non_playing())
            story_.look_at_files(world_, kDataFolder);
    }

    bool on_screen(const std::string& part) const {
        for (const DrawItem& item : world_.last_frame_draws()) {
            if (item.kind == DrawKind::text && item.text.find(part) != std::string::npos)
                return true;
        }
        return false;
    }

    Vec3 standing_point(const Action& action) const {
        Vec3 point = action.point;
        if (!action.has_z)
            point.z = world_.ground_height(point) + kStandingHeight;
        return point;
    }

    bool awaited(const Action& action) const {
        Vec3 me = world_.player_position();
        if (action.player_at_point)
            return horizontal_distance(me, action.point) <= action.within;
        if (action.model == 0)
            return on_screen(action.text);
        for (const auto& [handle, car] : world_.vehicles()) {
            if (car.model == action.model &&
                horizontal_distance(car.object.position(), me) <= action.within)
                return true;
        }
        return false;
    }

    const Vehicle* player_vehicle() const { return world_.vehicle(world_.player().vehicle); }

    std::uint32_t frames_for(std::uint32_t ms) const {
        std::uint32_t frame_ms = std::max<std::uint32_t>(1, world_.settings().frame_ms);
        return (ms + frame_ms - 1) / frame_ms;
    }

    // Returns false when the script cannot go on.
    bool act(const Action& action) {
        switch (action.verb) {
            case Verb::copy:
            case Verb::write:
            case Verb::cash:
            case Verb::clock:
            case Verb::time_zone:
            case Verb::car:
            case Verb::person:
            case Verb::player_at:
                set_up(action);
                // What the script itself made is not the plug-in's doing.
                story_.skip_journal(world_);
                story_.look_at_files(world_, kDataFolder, true);
                return true;
            case Verb::note:
                story_.tell(world_, action.text);
                return true;
            case Verb::expect_text:
            case Verb::expect_no_text:
            case Verb::expect_cash:
            case Verb::expect_file:
            case Verb::expect_no_file:
            case Verb::expect_player:
                check(action);
                return true;
            case Verb::picture:
                picture(action);
                return true;
            case Verb::pass_game:
                // The game's clock runs faster than its timer.
                story_.tell(world_, duration_text(action.ms) + " of game time pass");
                host_.pass_game_time(action.ms /
                                     std::max<std::uint32_t>(1, world_.settings().clock_rate));
                return true;
            case Verb::pass_wall:
                story_.tell(world_, duration_text(action.ms) + " pass on the wall clock");
                world_.pass_wall_time(action.ms);
                return true;
            case Verb::hold:
            case Verb::release:
                hands(action);
                return true;
            default:
                break;
        }
        if (!plugin_tried_ && !load_plugin())
            return false;
        seen_.clear();
        bool went_on = play(action);
        story_.look_at_files(world_, kDataFolder);
        return went_on;
    }

    void set_up(const Action& action) {
        switch (action.verb) {
            case Verb::copy:
                copy_folder(action);
                break;
            case Verb::write: {
                std::error_code error;
                fs::path path(action.text);
                if (path.has_parent_path())
                    fs::create_directories(path.parent_path(), error);
                std::ofstream out(path, std::ios::binary | std::ios::trunc);
                out << action.pattern;
                if (!out.flush()) {
                    fail(action, "cannot write " + action.text);
                    break;
                }
                story_.tell(world_, "writes " + action.text + ": " +
                                        describe_data_file(action.text, action.pattern, world_));
                break;
            }
            case Verb::cash:
                world_.set_float_stat(kCashStat, static_cast<float>(action.amount));
                cash_baseline_ = world_.cash();
                story_.tell(world_, "player has $" + std::to_string(action.amount));
                break;
            case Verb::clock:
                world_.set_clock(action.amount, action.minute);
                story_.tell(world_, "the clock is set");
                break;
            case Verb::time_zone:
                set_process_time_zone(action.text);
                story_.tell(world_, "time zone " + action.text);
                break;
            case Verb::car: {
                Vec3 at = standing_point(action);
                Vehicle& car = world_.add_vehicle(action.model, at, action.heading);
                // Part of the world, as the game's own parked cars are: a
                // loaded game puts it back where it stood.
                car.placed = true;
                car.from_world_start = true;
                car.home = at;
                car.home_heading = action.heading;
                if (action.fuel_percent >= 0) {
                    // As the plug-in leaves a car: 1000 and the fill in thousandths.
                    set_vehicle_float(car.object, kFuelRecordOffset,
                                      1000.0f + 10.0f * static_cast<float>(action.fuel_percent));
                }
                if (action.condition >= 0.0f) {
                    set_vehicle_float(car.object, kBodyOffset, action.condition);
                    set_vehicle_float(car.object, kEngineOffset, action.condition);
                }
                story_.tell(world_, with_article(model_name(action.model)) + " stands at " +
                                        place_name(world_, at));
                break;
            }
            case Verb::person: {
                Vec3 at = standing_point(action);
                // Standing there until someone (a bus driver) tells him to move.
                world_.add_pedestrian(at, 0.0f);
                story_.tell(world_, "someone waits at " + place_name(world_, at));
                break;
            }
            case Verb::player_at: {
                Vec3 at = standing_point(action);
                host_.teleport_player(at);
                story_.tell(world_, "player stands at " + place_name(world_, at));
                break;
            }
            default:
                break;
        }
    }

    void copy_folder(const Action& action) {
        fs::path from(action.text);
        if (from.is_relative() && !script_.folder.empty())
            from = fs::path(script_.folder) / from;
        std::error_code error;
        if (!fs::is_directory(from, error)) {
            fail(action, "no folder " + from.generic_string());
            return;
        }
        int files = 0;
        fs::recursive_directory_iterator entry(from, error);
        for (; !error && entry != fs::recursive_directory_iterator(); entry.increment(error)) {
            std::error_code step;
            fs::path target = fs::path(kDataFolder) / fs::relative(entry->path(), from, step);
            if (entry->is_directory(step)) {
                fs::create_directories(target, step);
            } else {
                fs::create_directories(target.parent_path(), step);
                fs::copy_file(entry->path(), target, fs::copy_options::overwrite_existing, step);
                files += step ? 0 : 1;
            }
            if (step) {
                fail(action, "cannot copy " + entry->path().generic_string());
                return;
            }
        }
        story_.tell(world_,
                    "the data folder gets " + std::to_string(files) + " files from " + action.text);
    }

    void hands(const Action& action) {
        switch (action.verb) {
            case Verb::hold:
                host_.hold_key(action.key);
                story_.tell(world_, "player holds " + key_name(action.key));
                break;
            case Verb::release:
                host_.release_key(action.key);
                story_.tell(world_, "player lets go of " + key_name(action.key));
                break;
            default:
                break;
        }
    }

    bool get_out(const Action& action) {
        const Vehicle* car = player_vehicle();
        if (car == nullptr) {
            fail(action, "the player is in no vehicle");
            return false;
        }
        std::string model = model_name(car->model);
        host_.leave_vehicle();
        story_.tell(world_, "player gets out of the " + model);
        frame();
        return true;
    }

    bool get_in(const Action& action) {
        Vec3 me = world_.player_position();
        const Vehicle* nearest = nullptr;
        float best = kReachOfGettingIn;
        for (const auto& [handle, car] : world_.vehicles()) {
            float d = distance(car.object.position(), me);
            if ((action.model == 0 || car.model == action.model) && d <= best) {
                nearest = &car;
                best = d;
            }
        }
        if (nearest == nullptr) {
            fail(action,
                 "no vehicle within " + format_float(kReachOfGettingIn, 0) + " m of the player");
            return false;
        }
        std::string model = model_name(nearest->model);
        if (!host_.enter_vehicle(nearest->handle)) {
            fail(action, "the " + model + "'s driver seat is taken");
            return false;
        }
        story_.tell(world_, "player gets into the " + model);
        frame();
        return true;
    }

    // Actions that run frames; false when the script cannot go on.
    bool play(const Action& action) {
        switch (action.verb) {
            case Verb::press:
                story_.tell(world_, "player presses " + key_name(action.key));
                host_.press_key(action.key);
                frame();
                return true;
            case Verb::walk:
            case Verb::drive:
                return go_to(action);
            case Verb::get_in:
                return get_in(action);
            case Verb::get_out:
                return get_out(action);
            case Verb::wait: {
                std::uint32_t frames = action.frames > 0 ? action.frames : frames_for(action.ms);
                for (std::uint32_t i = 0; i < frames; ++i)
                    frame();
                return true;
            }
            case Verb::wait_for: {
                std::uint32_t frames = frames_for(action.ms);
                for (std::uint32_t i = 0; i < frames; ++i) {
                    frame();
                    if (awaited(action))
                        return true;
                }
                std::string awaited =
                    action.player_at_point
                        ? "the player did not come within " + format_float(action.within, 0) +
                              " m of " + place_name(world_, action.point)
                    : action.model != 0 ? "no " + model_name(action.model) + " came within " +
                                              format_float(action.within, 0) + " m"
                                        : quoted(action.text) + " did not show";
                fail(action, awaited + " in " + duration_text(action.ms));
                return false;
            }
            case Verb::save:
                return save(action);
            case Verb::load: {
                story_.tell(world_, "player loads the saved game");
                if (!world_.load_save(action.amount)) {
                    fail(action, "no save in slot " + std::to_string(action.amount));
                    return false;
                }
                do {
                    frame();
                } while (world_.non_playing());
                return true;
            }
            default:
                return true;
        }
    }

    bool go_to(const Action& action) {
        bool driving = action.verb == Verb::drive;
        const Vehicle* car = player_vehicle();
        if (driving && (car == nullptr || car->driver != world_.player_character())) {
            fail(action, "the player is not at the wheel");
            return false;
        }
        if (!driving && car != nullptr) {
            fail(action, "the player is in a vehicle; drive, or get out first");
            return false;
        }
        Vec3 target = standing_point(action);
        float speed = action.speed > 0.0f ? action.speed : driving ? kDrivingSpeed : kWalkingSpeed;
        story_.tell(world_, std::string("player ") +
                                (driving ? "drives the " + model_name(car->model) : "walks") +
                                " to " + place_name(world_, target));
        float seconds = distance(world_.player_position(), target) / speed;
        double due = seconds * 1000.0 / std::max<std::uint32_t>(1, world_.settings().frame_ms);
        int limit = static_cast<int>(std::min(due, 1e7)) + kSpareFrames;
        world_.set_walk_target(target, speed);
        for (int i = 0; i < limit && world_.walking(); ++i)
            frame();
        if (world_.walking()) {
            // Stop where the player got to.
            world_.set_walk_target(world_.player_position(), speed);
            frame();
            fail(action, std::string(driving ? "the drive" : "the walk") + " to " +
                             place_name(world_, target) + " did not arrive");
            return false;
        }
        return true;
    }

    bool save(const Action& action) {
        story_.tell(world_, "player saves the game");
        auto saved_frame = [this]() -> std::uint32_t {
            auto it = world_.saves().find(world_.current_slot());
            return it == world_.saves().end() ? 0 : it->second.saved_frame;
        };
        std::uint32_t before = saved_frame();
        world_.open_save_screen();
        story_.skip_journal(world_);
        for (int i = 0; i < kSaveScreenFrames; ++i) {
            frame();
            if (saved_frame() != before)
                return true;
        }
        fail(action, "the game did not save");
        return false;
    }

    void check(const Action& action) {
        switch (action.verb) {
            case Verb::expect_text:
                for (const std::string& text : seen_) {
                    if (text.find(action.text) != std::string::npos)
                        return;
                }
                // What the plug-in shows in answer to the last action may
                // come a frame or two later.
                if (plugin_tried_) {
                    for (std::uint32_t i = 0; i < frames_for(kMomentMs); ++i) {
                        frame();
                        if (on_screen(action.text))
                            return;
                    }
                }
                fail(action, "expected " + quoted(action.text) + " on screen; " + screen_now());
                return;
            case Verb::expect_no_text:
                if (on_screen(action.text))
                    fail(action,
                         "expected no " + quoted(action.text) + " on screen; " + screen_now());
                return;
            case Verb::expect_cash: {
                double change = std::round(static_cast<double>(world_.cash()) - cash_baseline_);
                cash_baseline_ = world_.cash();
                if (change != action.amount) {
                    char text[96];
                    std::snprintf(text, sizeof(text),
                                  "expected the cash to change by %+d, it changed by %+.0f",
                                  action.amount, change);
                    fail(action, text);
                }
                return;
            }
            case Verb::expect_player: {
                Vec3 at = world_.player_position();
                if (horizontal_distance(at, action.point) > action.within)
                    fail(action, "expected the player within " + format_float(action.within, 0) +
                                     " m of " + place_name(world_, action.point) + "; he is at " +
                                     place_name(world_, at));
                return;
            }
            case Verb::expect_no_file: {
                std::error_code error;
                if (fs::exists(action.text, error))
                    fail(action, "expected no file " + action.text);
                return;
            }
            default:
                check_file(action);
                return;
        }
    }

    std::string screen_now() const {
        std::vector<std::string> texts = texts_of(world_.last_frame_draws());
        if (texts.empty())
            return "nothing is shown";
        std::string shown = "shown:";
        for (const std::string& text : texts)
            shown += " " + quoted(text);
        return shown;
    }

    void check_file(const Action& action) {
        std::string content;
        std::error_code error;
        if (action.check == FileCheck::exists ? !fs::exists(action.text, error)
                                              : !read_whole_file(action.text, content)) {
            fail(action, "expected a file " + action.text);
            return;
        }
        std::vector<std::string> lines = lines_of(content);
        bool holds = false;
        switch (action.check) {
            case FileCheck::exists:
                holds = true;
                break;
            case FileCheck::is:
                holds = content == action.pattern;
                break;
            case FileCheck::has:
                for (const std::string& line : lines)
                    holds = holds || line.find(action.pattern) != std::string::npos;
                break;
            case FileCheck::matches: {
                std::regex pattern(action.pattern);
                for (const std::string& line : lines)
                    holds = holds || std::regex_match(line, pattern);
                break;
            }
        }
        if (!holds) {
            const char* how = action.check == FileCheck::is    ? " to be "
                              : action.check == FileCheck::has ? " to have a line with "
                                                               : " to have a line matching ";
            fail(action, "expected " + action.text + how + quoted(action.pattern) + "; it holds " +
                             quoted(content.substr(0, 300)));
        }
    }

    void picture(const Action& action) {
        char number[12];  // any int
        std::snprintf(number, sizeof(number), "%02d", ++pictures_);
        story_.tell(world_, std::string("picture ") + number + ": " + action.text);
        if (out_.empty())
            return;
        std::error_code error;
        fs::path folder = fs::path(out_) / "pictures";
        fs::create_directories(folder, error);
        std::string path = (folder / (std::string(number) + ".snap")).string();
        if (!write_snapshot(world_, kDataFolder, path))
            fail(action, "cannot write " + path);
    }

    Host& host_;
    World& world_;
    const Script& script_;
    std::string plugin_;
    std::string out_;
    std::ostream& err_;
    Story story_;
    ScriptRun result_;
    bool plugin_tried_ = false;
    std::set<std::string> seen_;  // texts drawn since the last action that ran frames began
    float cash_baseline_;
    int pictures_ = 0;
};

}  // namespace

ScriptRun run_script(Host& host, const Script& script, const std::string& plugin,
                     const std::string& out, std::ostream& echo, std::ostream& err) {
    return Runner(host, script, plugin, out, echo, err).run();
}

}  // namespace hostsim
