// The monkey: the plug-in's library in the in-process stand-in host, hooked
// in as the game loads it, played at random for a number of frames.
//
//   monkey [--frames N] [--seed N] [--journal ACTIONS]
//
// Prints the seed first (a failing run repeats exactly from it), every
// finding as it comes (with --journal, the first one followed by
// the monkey's last actions before it), then the run's figures. Exit code 0 when nothing was
// found, 1 otherwise, 2 for a malformed
// command line.

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <random>
#include <string>

#include "core/mod.h"
#include "host/entry.h"
#include "host/host_game.h"
#include "hostsim/host.h"
#include "monkey/audit.h"
#include "monkey/monkey.h"
#include "monkey/town.h"

namespace {

// The plug-in's one Mod, as its load-time initialiser builds it.
std::optional<corvalen::Mod> g_mod;

void frame_tick() {
    corvalen::host::FrameScope frame;
    try {
        g_mod->frame_tick();
    } catch (...) {
        // As in the plug-in: nothing unwinds into the host.
    }
}

struct Options {
    std::uint64_t frames = 20000;
    std::uint32_t seed = std::random_device{}();
    std::uint32_t journal = 0;
};

std::optional<Options> parse(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        char* end = nullptr;
        unsigned long long value = std::strtoull(argv[i + 1], &end, 10);
        if (end == argv[i + 1] || *end != '\0')
            return std::nullopt;
        if (std::strcmp(argv[i], "--frames") == 0)
            options.frames = value;
        else if (std::strcmp(argv[i], "--seed") == 0)
            options.seed = static_cast<std::uint32_t>(value);
        else if (std::strcmp(argv[i], "--journal") == 0)
            options.journal = static_cast<std::uint32_t>(value);
        else
            return std::nullopt;
    }
    if (argc % 2 == 0)
        return std::nullopt;
    return options;
}

// A fresh folder as the game's current directory, so the data folder
// starts as the town's.
std::filesystem::path enter_fresh_folder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "monkey-XXXXXX").string();
    std::filesystem::path folder = mkdtemp(pattern.data());
    std::filesystem::current_path(folder);
    return folder;
}

}  // namespace

int main(int argc, char** argv) {
    std::optional<Options> options = parse(argc, argv);
    if (!options) {
        std::fprintf(stderr, "usage: monkey [--frames N] [--seed N] [--journal ACTIONS]\n");
        return 2;
    }
    std::printf("monkey: seed %u, %llu frames (again: monkey --seed %u --frames %llu)\n",
                options->seed, static_cast<unsigned long long>(options->frames), options->seed,
                static_cast<unsigned long long>(options->frames));
    std::fflush(stdout);

    std::filesystem::path folder = enter_fresh_folder();
    monkey::write_town_files();
    hostsim::BootOptions boot = hostsim::boot_options(
        options->seed % 2 == 0 ? hostsim::Build::v1070 : hostsim::Build::v1080);
    boot.world.random_seed = options->seed;
    boot.world.cash = 100000.0f;
    boot.native_log_limit = 1000;
    hostsim::Host host(boot);
    monkey::park_town_vehicles(host.world());
    for (const hostsim::Vec3& place : monkey::town_places())
        monkey::add_people_near(host.world(), place, 2);

    g_mod.emplace();
    corvalen::host::process_notification(corvalen::host::kProcessAttach, frame_tick);

    monkey::Audit audit(host, *g_mod);
    monkey::Monkey player(host, audit, options->seed, options->frames, options->journal);
    player.play();

    const monkey::Figures& figures = player.figures();
    std::printf(
        "monkey: seed %u: frames %llu, keys %llu, saves %llu (%llu backed out of), loads %llu, "
        "time jumps %llu, faults injected %llu, car files checked %zu, host errors %zu, leaks "
        "found %zu, findings %zu\n",
        options->seed, static_cast<unsigned long long>(figures.frames),
        static_cast<unsigned long long>(figures.keys),
        static_cast<unsigned long long>(figures.saves),
        static_cast<unsigned long long>(figures.saves_backed_out),
        static_cast<unsigned long long>(figures.loads),
        static_cast<unsigned long long>(figures.time_jumps),
        static_cast<unsigned long long>(figures.faults), audit.car_file_checks(),
        audit.host_errors(), audit.leaks(), audit.findings().size());

    g_mod.reset();
    std::error_code ignored;
    std::filesystem::current_path(folder.parent_path(), ignored);
    std::filesystem::remove_all(folder, ignored);
    return audit.findings().empty() ? 0 : 1;
}
