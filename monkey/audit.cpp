#include "monkey/audit.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include "core/csv.h"
#include "core/mod.h"
#include "hostsim/host.h"

namespace monkey {
namespace {

// Findings of one kind shown in full; the rest are only counted.
constexpr int kShownPerKind = 5;

std::string hex(std::int32_t handle) {
    return hostsim::hex(static_cast<std::uint32_t>(handle));
}

std::string hex(corvalen::host::Handle handle) {
    return hostsim::hex(static_cast<std::uint32_t>(handle));
}

// The holder of a handle that a host error names ("no blip 0x00003001"),
// found among the plug-in's holdings; null when it held no such handle.
const Holder* holder_named_in(const std::string& error, const Holdings& holdings) {
    const std::pair<const char*, const HandleHolders*> kinds[] = {
        {"no blip 0x", &holdings.blips},
        {"no vehicle 0x", &holdings.vehicles},
        {"no character 0x", &holdings.characters},
        {"no group 0x", &holdings.groups},
    };
    for (const auto& [marker, holders] : kinds) {
        std::size_t at = error.find(marker);
        if (at == std::string::npos)
            continue;
        std::string digits = error.substr(at + std::string_view(marker).size(), 8);
        auto handle = static_cast<std::int32_t>(std::strtoul(digits.c_str(), nullptr, 16));
        auto found = holders->find(handle);
        return found == holders->end() ? nullptr : &found->second;
    }
    return nullptr;
}

std::vector<std::string> file_lines(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);)
        lines.push_back(line + "\n");
    return lines;
}

// A car file that the plug-in may read and write: a file, or nothing yet.
bool usable(const corvalen::GarageController& garage) {
    return !garage.car_file_unread && !std::filesystem::is_directory(garage.car_file);
}

}  // namespace

Audit::Audit(hostsim::Host& host, const corvalen::Mod& mod) : host_(host), mod_(mod) {}

void Audit::after_frame() {
    Holdings now = holdings_of(mod_);
    check_host_errors(now);
    check_holdings(now);
    if (host_.hooks().corrupted() && !hooks_reported_) {
        hooks_reported_ = true;
        report("hooks", host_.hooks().first_problem, nullptr);
    }
    const corvalen::SaveTracker& tracker = mod_.save_tracker;
    if (host_.world().non_playing() && tracker.save_due && !tracker.reload_needed) {
        check_car_file(mod_.real_estate.garage);
        check_car_file(mod_.public_parking.garage);
    }
    last_ = std::move(now);
}

void Audit::after_load() {
    if (!mod_.save_tracker.reload_needed) {
        report("load not noticed", "the plug-in did not reload in the load's first frame", nullptr);
        return;
    }
    check_recreated(mod_.real_estate.garage);
    check_recreated(mod_.public_parking.garage);
}

void Audit::check_host_errors(const Holdings& now) {
    const std::vector<hostsim::JournalEntry>& errors = host_.world().errors();
    for (; errors_seen_ < errors.size(); ++errors_seen_) {
        const std::string& text = errors[errors_seen_].text;
        const Holder* holder = holder_named_in(text, last_);
        if (holder == nullptr)
            holder = holder_named_in(text, now);
        ++host_errors_;
        report("host error", text, holder);
    }
}

void Audit::check_holdings(const Holdings& now) {
    const hostsim::World& world = host_.world();
    // A re-created car the player took out of a garage is his from then on,
    // like any car of the game's.
    for (const corvalen::GarageController* garage :
         {&mod_.real_estate.garage, &mod_.public_parking.garage}) {
        for (const auto& [handle, record] : garage->records) {
            if (garage->stored.count(handle) == 0)
                handed_over_.insert(static_cast<std::int32_t>(handle));
        }
    }
    std::set<std::int32_t> blips, vehicles, plugin_vehicles, characters, claimed, groups;
    for (const auto& [handle, blip] : world.blips())
        blips.insert(handle);
    for (const auto& [handle, car] : world.vehicles()) {
        vehicles.insert(handle);
        // The game's own vehicles are the ones it parks at the start.
        if (!car.from_world_start && handed_over_.count(handle) == 0)
            plugin_vehicles.insert(handle);
    }
    for (const auto& [handle, person] : world.characters()) {
        characters.insert(handle);
        if (person.claimed && handle != world.player_character())
            claimed.insert(handle);
    }
    for (const auto& [handle, group] : world.groups())
        groups.insert(handle);
    compare(now.blips, blips, blips, "blip");
    compare(now.vehicles, vehicles, plugin_vehicles, "vehicle");
    compare(now.characters, characters, claimed, "character");
    compare(now.groups, groups, groups, "group");
}

// Every handle held must exist, and everything the plug-in made (or claimed)
// that still exists must be held: otherwise it is lost to the game for good.
void Audit::compare(const HandleHolders& held, const std::set<std::int32_t>& existing,
                    const std::set<std::int32_t>& scripts_own, const char* what) {
    for (const auto& [handle, holder] : held) {
        if (existing.count(handle) == 0 && reported_.insert("stale " + hex(handle)).second) {
            ++leaks_;
            report(std::string("stale ") + what, what + (" " + hex(handle)) + " no longer exists",
                   &holder);
        }
    }
    for (std::int32_t handle : scripts_own) {
        if (held.count(handle) == 0 && reported_.insert("unheld " + hex(handle)).second) {
            ++leaks_;
            report(std::string("unheld ") + what, what + (" " + hex(handle)) + " is held by nobody",
                   nullptr);
        }
    }
}

void Audit::check_car_file(const corvalen::GarageController& garage) {
    if (!usable(garage))
        return;
    ++car_file_checks_;
    std::vector<std::string> lines = file_lines(garage.car_file);
    for (const auto& [handle, block] : garage.stored) {
        std::string line = garage.car_line(handle);
        if (line.empty() || std::find(lines.begin(), lines.end(), line) == lines.end()) {
            report("lost car",
                   "stored car " + hex(handle) + " is not in " + garage.car_file + " after a save",
                   nullptr);
        }
    }
    for (const std::string& line : garage.kept_lines) {
        if (std::find(lines.begin(), lines.end(), line + "\n") == lines.end())
            report("lost car", "a line kept for a later load is not in " + garage.car_file,
                   nullptr);
    }
}

void Audit::check_recreated(const corvalen::GarageController& garage) {
    if (!usable(garage))
        return;
    // Every line that holds anything is a car back in the game or a line
    // waiting in the file for a later load (no room, a model the game lacks,
    // a line spoilt between loads).
    std::size_t cars = 0;
    for (const std::string& line : corvalen::read_lines(garage.car_file))
        cars += !line.empty();
    std::size_t kept = garage.stored.size() + garage.kept_lines.size();
    if (kept != cars) {
        report("lost car",
               garage.car_file + " holds " + std::to_string(cars) + " cars, the load kept " +
                   std::to_string(kept),
               nullptr);
    }
}

void Audit::report(const std::string& kind, const std::string& detail, const Holder* holder) {
    Finding finding;
    finding.frame = host_.frame();
    finding.kind = kind;
    finding.detail = detail;
    if (holder != nullptr)
        finding.detail += " (" + std::string(holder->kind) + " of the " + holder->owner + ")";
    std::string group = kind + (holder != nullptr ? holder->kind : "");
    if (shown_[group]++ < kShownPerKind) {
        std::printf("frame %u: %s: %s\n", finding.frame, kind.c_str(), finding.detail.c_str());
    }
    findings_.push_back(std::move(finding));
}

}  // namespace monkey
