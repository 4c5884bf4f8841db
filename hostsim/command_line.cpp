#include "hostsim/command_line.h"

#include <charconv>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <utility>

#include "hostsim/platform.h"

namespace hostsim {
namespace {

std::optional<std::uint32_t> parse_number(const std::string& text) {
    int base = 10;
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        begin += 2;
    }
    std::uint32_t value = 0;
    auto [stop, error] = std::from_chars(begin, end, value, base);
    if (error != std::errc() || stop != end || begin == end)
        return std::nullopt;
    return value;
}

// "A:B:C" into numbers; nothing when a part is not a number or the count differs.
std::optional<std::vector<std::uint32_t>> parse_numbers(const std::string& text,
                                                        std::size_t count) {
    std::vector<std::uint32_t> values;
    std::size_t start = 0;
    while (true) {
        std::size_t colon = text.find(':', start);
        auto value = parse_number(text.substr(start, colon - start));
        if (!value)
            return std::nullopt;
        values.push_back(*value);
        if (colon == std::string::npos)
            break;
        start = colon + 1;
    }
    if (values.size() != count)
        return std::nullopt;
    return values;
}

// "X,Y,Z" or "X,Y,Z,SPEED" into floats.
std::optional<std::vector<float>> parse_floats(const std::string& text) {
    std::vector<float> values;
    std::size_t start = 0;
    while (true) {
        std::size_t comma = text.find(',', start);
        std::string part = text.substr(start, comma - start);
        float value = 0.0f;
        auto [stop, error] = std::from_chars(part.data(), part.data() + part.size(), value);
        if (error != std::errc() || stop != part.data() + part.size() || part.empty())
            return std::nullopt;
        values.push_back(value);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    if (values.size() != 3 && values.size() != 4)
        return std::nullopt;
    return values;
}

// "FRAME:REST" into the frame and the rest.
std::optional<std::pair<std::uint32_t, std::string>> frame_and_rest(const std::string& text) {
    std::size_t colon = text.find(':');
    if (colon == std::string::npos)
        return std::nullopt;
    auto frame = parse_number(text.substr(0, colon));
    if (!frame || *frame == 0)
        return std::nullopt;
    return std::make_pair(*frame, text.substr(colon + 1));
}

std::string json_string(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char buffer[8];
            std::snprintf(buffer, sizeof(buffer), "\\u%04x", static_cast<unsigned>(c));
            out += buffer;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string json_bool(bool value) {
    return value ? "true" : "false";
}

struct Plan {
    std::string plugin;
    int frames = 10;
    std::string record;
    bool free_plugin = false;
    // Things done to the world before a frame runs.
    std::multimap<std::uint32_t, std::function<void(Host&)>> before_frame;
};

}  // namespace

std::string summary_json(const Host& host, int frames_run, int pinned) {
    const HookReport& hooks = host.hooks();
    std::string unknown = "[";
    for (const auto& [hash, count] : host.unknown_lookups()) {
        if (unknown.size() > 1)
            unknown += ",";
        unknown += json_string(hex(hash));
    }
    unknown += "]";
    const auto& errors = host.world().errors();
    std::string json = "{";
    json += "\"build\":" + std::to_string(host.build_code());
    json += ",\"version\":" + json_string(version_text(host.file_version()));
    json += ",\"layout\":" + std::to_string(host.image().layout().code);
    json += ",\"frames\":" + std::to_string(frames_run);
    json += ",\"plugin_loaded\":" + json_bool(host.plugin_loaded());
    json += ",\"patched_sites\":" + std::to_string(host.patched_site_count());
    json += ",\"sites_into_plugin\":" + std::to_string(host.sites_into_plugin());
    json += ",\"frame_ticks\":" + std::to_string(host.frame_ticks());
    json += ",\"corrupted\":" + json_bool(hooks.corrupted());
    json += ",\"after_eax_ok\":" + json_bool(hooks.after_eax_ok());
    json += ",\"script_pointer_ok\":" + json_bool(hooks.script_pointer_ok);
    json += ",\"pinned\":" + (pinned < 0 ? std::string("null") : json_bool(pinned != 0));
    json += ",\"natives\":" + std::to_string(host.native_call_count());
    json += ",\"unknown_hashes\":" + unknown;
    json += ",\"host_errors\":" + std::to_string(errors.size());
    json += ",\"first_host_error\":" +
            (errors.empty() ? std::string("null") : json_string(errors.front().text));
    json += ",\"blips\":" + std::to_string(host.world().blip_count());
    json += ",\"cash\":" + format_float(host.world().cash());
    json += ",\"problem\":" +
            (hooks.first_problem.empty() ? std::string("null") : json_string(hooks.first_problem));
    json += "}";
    return json;
}

int run_host_process(const std::vector<std::string>& arguments, BootOptions options,
                     std::ostream& out, std::ostream& err) {
    Plan plan;
    auto usage = [&err](const std::string& what) {
        err << "hostsim: " << what << "\n";
        return 2;
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if (option == "--free-plugin") {
            plan.free_plugin = true;
            continue;
        }
        if (option == "--save-at-open") {
            options.world.save_written_at_open = true;
            continue;
        }
        if (i + 1 >= arguments.size())
            return usage("missing value after " + option);
        const std::string& value = arguments[++i];
        if (option == "--plugin") {
            plan.plugin = value;
        } else if (option == "--record") {
            plan.record = value;
        } else if (option == "--frames") {
            auto n = parse_number(value);
            if (!n || *n > 10000000)
                return usage("bad frame count " + value);
            plan.frames = static_cast<int>(*n);
        } else if (option == "--press") {
            auto v = parse_numbers(value, 2);
            if (!v || (*v)[1] > 255)
                return usage("bad --press " + value + " (FRAME:SCANCODE)");
            std::uint32_t frame = (*v)[0];
            auto code = static_cast<std::uint8_t>((*v)[1]);
            plan.before_frame.emplace(
                0, [frame, code](Host& host) { host.world().schedule_press(frame, code); });
        } else if (option == "--hold") {
            auto v = parse_numbers(value, 3);
            if (!v || (*v)[2] > 255)
                return usage("bad --hold " + value + " (FROM:TO:SCANCODE)");
            std::uint32_t from = (*v)[0];
            std::uint32_t to = (*v)[1];
            auto code = static_cast<std::uint8_t>((*v)[2]);
            plan.before_frame.emplace(
                0, [from, to, code](Host& host) { host.world().schedule_hold(from, to, code); });
        } else if (option == "--save-screen") {
            auto frame = parse_number(value);
            if (!frame || *frame == 0)
                return usage("bad --save-screen " + value);
            plan.before_frame.emplace(*frame, [](Host& host) { host.world().open_save_screen(); });
        } else if (option == "--load") {
            auto v = parse_numbers(value, 2);
            if (!v || (*v)[0] == 0)
                return usage("bad --load " + value + " (FRAME:SLOT)");
            int slot = static_cast<int>((*v)[1]);
            plan.before_frame.emplace((*v)[0], [slot](Host& host) {
                if (!host.world().load_save(slot))
                    host.note("no save in slot " + std::to_string(slot));
            });
        } else if (option == "--wall") {
            auto v = parse_numbers(value, 2);
            if (!v || (*v)[0] == 0)
                return usage("bad --wall " + value + " (FRAME:SECONDS)");
            std::int64_t seconds = (*v)[1];
            plan.before_frame.emplace((*v)[0], [seconds](Host& host) {
                host.pass_wall_time(seconds);
                let_plugin_wall_clock_pass(seconds);
            });
        } else if (option == "--game-time") {
            auto v = parse_numbers(value, 2);
            if (!v || (*v)[0] == 0)
                return usage("bad --game-time " + value + " (FRAME:MS)");
            std::uint32_t ms = (*v)[1];
            plan.before_frame.emplace((*v)[0], [ms](Host& host) { host.pass_game_time(ms); });
        } else if (option == "--clock") {
            auto v = parse_numbers(value, 2);
            if (!v || (*v)[0] > 23 || (*v)[1] > 59)
                return usage("bad --clock " + value + " (HH:MM)");
            options.world.clock_hour = static_cast<int>((*v)[0]);
            options.world.clock_minute = static_cast<int>((*v)[1]);
        } else if (option == "--time-zone") {
            options.world.time_zone = value;
        } else if (option == "--enter") {
            auto v = parse_numbers(value, 2);
            if (!v || (*v)[0] == 0)
                return usage("bad --enter " + value + " (FRAME:VEHICLE)");
            auto vehicle = static_cast<std::int32_t>((*v)[1]);
            plan.before_frame.emplace((*v)[0], [vehicle](Host& host) {
                if (!host.enter_vehicle(vehicle))
                    host.note("cannot enter vehicle " + hex(static_cast<std::uint32_t>(vehicle)));
            });
        } else if (option == "--leave") {
            auto frame = parse_number(value);
            if (!frame || *frame == 0)
                return usage("bad --leave " + value);
            plan.before_frame.emplace(*frame, [](Host& host) { host.leave_vehicle(); });
        } else if (option == "--walk") {
            auto split = frame_and_rest(value);
            auto v = split ? parse_floats(split->second) : std::nullopt;
            if (!v)
                return usage("bad --walk " + value + " (FRAME:X,Y,Z[,SPEED])");
            Vec3 target{(*v)[0], (*v)[1], (*v)[2]};
            float speed = v->size() == 4 ? (*v)[3] : 5.0f;
            plan.before_frame.emplace(split->first, [target, speed](Host& host) {
                host.world().set_walk_target(target, speed);
            });
        } else if (option == "--wall-step-ms") {
            auto n = parse_number(value);
            if (!n)
                return usage("bad --wall-step-ms " + value);
            options.world.wall_ms_per_frame = *n;
        } else if (option == "--stack-skew") {
            auto n = parse_number(value);
            if (!n || *n % 4 != 0 || *n > 12)
                return usage("bad --stack-skew " + value + " (0, 4, 8, 12)");
            options.stack_skew = static_cast<std::uint8_t>(*n);
        } else if (option == "--layout") {
            if (value == "1070") {
                options.layout = &layout_1070();
            } else if (value == "1080") {
                options.layout = &layout_1080();
            } else {
                return usage("bad --layout " + value + " (1070 or 1080)");
            }
        } else {
            return usage("unknown option " + option);
        }
    }

    Host host(options);
    auto run_actions = [&](std::uint32_t frame) {
        auto [first, last] = plan.before_frame.equal_range(frame);
        for (auto it = first; it != last; ++it)
            it->second(host);
    };
    run_actions(0);

    int exit_code = 0;
    int pinned = -1;
    bool can_run = true;
    if (!plan.plugin.empty()) {
        if (!host.load_plugin(plan.plugin)) {
            err << "hostsim: cannot load " << plan.plugin << ": " << host.load_error() << "\n";
            exit_code = 1;
        } else if (plan.free_plugin) {
            pinned = host.free_plugin() ? 1 : 0;
            // Frames would run into code that is gone.
            if (pinned == 0 && host.patched_site_count() > 0)
                can_run = false;
        }
    }

    int frames_run = 0;
    if (can_run) {
        for (; frames_run < plan.frames; ++frames_run) {
            run_actions(host.frame() + 1);
            host.run_frame();
        }
    }
    for (const JournalEntry& error : host.world().errors()) {
        err << "hostsim: frame " << error.frame << ": " << error.text << "\n";
    }
    if (!plan.record.empty()) {
        host.timeline().catch_up(host.world());
        if (plan.record == "-") {
            for (const std::string& line : host.timeline().lines())
                out << line << "\n";
        } else if (!host.timeline().write(plan.record)) {
            err << "hostsim: cannot write " << plan.record << "\n";
        }
    }
    out << summary_json(host, frames_run, pinned) << std::endl;
    return exit_code;
}

}  // namespace hostsim
