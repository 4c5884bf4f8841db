#pragma once
// The plug-in's Mod in the in-process stand-in host, run frame by frame the
// way the game runs the frame tick, with what one frame cost it: the time of
// the tick, the part of it spent in the game's own code (native lookup and
// handlers), the heap allocations the mod made and the natives it called.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>

#include "core/mod.h"
#include "hostsim/host.h"

namespace corvalen::bench {

// Heap allocations made by the mod (the game's code is not counted) since
// the process started; see allocation_counter.cpp.
std::uint64_t mod_allocations();
// Set while the game's own code runs, so that its allocations are not the mod's.
void set_in_game_code(bool inside);

struct FrameCost {
    double seconds = 0.0;  // the whole frame tick, in this thread's CPU time
    // Wall-clock time of the tick and of the game's code in it, measured only
    // while the rig times the game's code (the clock reads cost time of their own).
    double wall_seconds = 0.0;
    double game_seconds = 0.0;
    std::uint64_t allocations = 0;
    std::uint64_t natives = 0;
};

class FrameRig : private hostsim::GameCodeObserver {
  public:
    // Boots the stand-in in a fresh folder under the system's temporary
    // folder; `data` (when given) is copied there as the data folder before
    // the Mod is built.
    explicit FrameRig(const std::optional<std::filesystem::path>& data = std::nullopt);
    ~FrameRig();
    FrameRig(const FrameRig&) = delete;
    FrameRig& operator=(const FrameRig&) = delete;

    // One frame of the game with the mod's tick in it.
    FrameCost frame();
    void frames(int count);
    // Whether frames time the game's code (for the game's share of a frame).
    void time_game_code(bool on) { timing_game_code_ = on; }

    hostsim::Host& host() { return *host_; }
    hostsim::World& world() { return host_->world(); }
    Mod& mod() { return *mod_; }
    const std::filesystem::path& folder() const { return folder_; }

    // The player's hands: put him somewhere on foot, or at the wheel of the
    // nearest vehicle of the game's.
    void stand_at(hostsim::Vec3 at);
    bool drive_nearest_vehicle();

  private:
    void game_code_began() override;
    void game_code_ended() override;

    std::filesystem::path previous_;
    std::filesystem::path folder_;
    std::unique_ptr<hostsim::Host> host_;
    std::unique_ptr<Mod> mod_;
    bool timing_game_code_ = false;
    int game_depth_ = 0;
    std::int64_t game_began_ = 0;
    std::int64_t game_nanoseconds_ = 0;
};

}  // namespace corvalen::bench
