#include "hostsim/command_line.h"

#include <charconv>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <ostream>

#include "hostsim/script_runner.h"

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
    std::string script;
    std::string out;
    bool free_plugin = false;
    // Things done to the world before a frame runs.
    std::multimap<std::uint32_t, std::function<void(Host&)>> before_frame;
};

int run_script_process(const Plan& plan, const BootOptions& options, std::ostream& out,
                       std::ostream& err);

void write_record(Host& host, const std::string& record, std::ostream& out, std::ostream& err) {
    if (record.empty())
        return;
    host.timeline().catch_up(host.world());
    if (record == "-") {
        for (const std::string& line : host.timeline().lines())
            out << line << "\n";
    } else if (!host.timeline().write(record)) {
        err << "hostsim: cannot write " << record << "\n";
    }
}

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
    const TrafficCounts& traffic = host.world().traffic();
    json += ",\"vehicles\":" + std::to_string(host.world().vehicles().size());
    json += ",\"characters\":" + std::to_string(host.world().characters().size() - 1);
    int people = 0;
    int people_held = 0;
    for (const auto& [handle, person] : host.world().characters()) {
        people += person.pedestrian ? 1 : 0;
        people_held += person.pedestrian && person.claimed ? 1 : 0;
    }
    json += ",\"people\":" + std::to_string(people);
    json += ",\"people_held\":" + std::to_string(people_held);
    json += ",\"groups\":" + std::to_string(host.world().groups().size());
    json += ",\"vehicles_created\":" + std::to_string(traffic.vehicles_created);
    json += ",\"arrivals\":" + std::to_string(traffic.arrivals);
    json += ",\"vehicles_released\":" + std::to_string(traffic.vehicles_released);
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
        } else if (option == "--script") {
            plan.script = value;
        } else if (option == "--out") {
            plan.out = value;
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

    if (!plan.script.empty())
        return run_script_process(plan, options, out, err);

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
    write_record(host, plan.record, out, err);
    out << summary_json(host, frames_run, pinned) << std::endl;
    return exit_code;
}

namespace {

// A scenario script plays the game instead of the frame count and the
// scheduled keys.
int run_script_process(const Plan& plan, const BootOptions& options, std::ostream& out,
                       std::ostream& err) {
    Script script = read_script(plan.script);
    if (!script.errors.empty()) {
        for (const std::string& error : script.errors)
            err << error << "\n";
        return 2;
    }
    Host host(options);
    ScriptRun run = run_script(host, script, plan.plugin, plan.out, out, err);
    if (!run.plugin_loaded)
        err << "hostsim: cannot load " << plan.plugin << ": " << run.load_error << "\n";
    for (const JournalEntry& error : host.world().errors())
        err << "hostsim: frame " << error.frame << ": " << error.text << "\n";
    write_record(host, plan.record, out, err);
    out << summary_json(host, static_cast<int>(host.frame()), -1) << std::endl;
    if (!run.plugin_loaded)
        return 1;
    return run.failures.empty() ? 0 : 4;
}

}  // namespace

}  // namespace hostsim
