#pragma once
// The real plug-in's shared object loaded into the in-process stand-in host,
// in a fresh temporary current directory, the way the game loads the DLL.
//
// Loading the plug-in is one-shot per process (its global Mod is built once),
// so every case needs a process of its own; CTest runs them that way. Run
// directly, the binary skips all cases after the first.

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include "../unit/working_folder.h"
#include "host/host_game.h"
#include "hostsim/host.h"
#include "hostsim/script_runner.h"

namespace corvalen::test {

inline constexpr std::uint8_t key(host::ScanCode code) {
    return static_cast<std::uint8_t>(code);
}

class PluginScenario : public ::testing::Test {
  protected:
    void SetUp() override {
        static bool plugin_used = false;
        if (plugin_used)
            GTEST_SKIP() << "the plug-in loads once per process; run through CTest";
        plugin_used = true;
        folder.emplace();
    }

    // Boots the stand-in host and loads the plug-in into it.
    void boot(hostsim::BootOptions options = hostsim::boot_options(hostsim::Build::v1070)) {
        game = std::make_unique<hostsim::Host>(options);
        ASSERT_TRUE(game->load_plugin(CORVALEN_PLUGIN_PATH)) << game->load_error();
    }
    // World settings that keep time still unless a test moves it.
    static hostsim::BootOptions still_time() {
        hostsim::BootOptions options = hostsim::boot_options(hostsim::Build::v1070);
        options.world.frame_ms = 0;
        options.world.wall_ms_per_frame = 0;
        return options;
    }

    // Plays tests/scenario/scripts/NAME in a fresh game with the plug-in
    // loaded; the script's own expectations fail the case. Returns the
    // readable timeline for the case's further checks.
    std::string play(const std::string& name) {
        game = std::make_unique<hostsim::Host>(hostsim::boot_options(hostsim::Build::v1070));
        hostsim::Script script = hostsim::read_script(std::string(CORVALEN_SOURCE_DIR) +
                                                      "/tests/scenario/scripts/" + name);
        if (!script.errors.empty()) {
            ADD_FAILURE() << script.errors.front();
            return "";
        }
        std::ostringstream timeline;
        std::ostringstream failures;
        hostsim::ScriptRun run =
            hostsim::run_script(*game, script, CORVALEN_PLUGIN_PATH, "", timeline, failures);
        if (!run.plugin_loaded)
            ADD_FAILURE() << run.load_error;
        EXPECT_TRUE(run.failures.empty()) << failures.str() << timeline.str();
        return timeline.str();
    }

    hostsim::World& world() { return game->world(); }
    hostsim::DrawRecord frame() {
        game->run_frame();
        return world().last_frame_draws();
    }
    hostsim::DrawRecord frame_pressing(host::ScanCode code) {
        game->press_key(key(code));
        return frame();
    }

    std::optional<WorkingFolder> folder;
    std::unique_ptr<hostsim::Host> game;
};

using hostsim::texts_of;

}  // namespace corvalen::test
