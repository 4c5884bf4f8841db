#include "bench/frame_rig.h"

#include <stdlib.h>
#include <time.h>

#include <chrono>
#include <limits>

#include "host/host_game.h"

namespace corvalen::bench {
namespace {

std::int64_t nanoseconds_now() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

hostsim::BootOptions boot_options() {
    hostsim::BootOptions options = hostsim::boot_options(hostsim::Build::v1070);
    // The stand-in's call log is for tests that read it; kept short, trimming
    // it would show up as spikes of the game's own.
    options.native_log_limit = 256;
    options.world.save_identity = 1;
    return options;
}

// CPU time of this thread: what the frame cost, however busy the machine.
std::int64_t thread_nanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

}  // namespace

FrameRig::FrameRig(const std::optional<std::filesystem::path>& data)
    : previous_(std::filesystem::current_path()) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "corvalen-bench-XXXXXX").string();
    folder_ = mkdtemp(pattern.data());
    std::filesystem::current_path(folder_);
    if (data) {
        std::filesystem::copy(*data, folder_ / "corvalen",
                              std::filesystem::copy_options::recursive);
    }
    host_ = std::make_unique<hostsim::Host>(boot_options());
    host_->world().set_int_stat(hostsim::kSaveIdentityStat, 1);
    host_->observe_game_code(this);
    mod_ = std::make_unique<Mod>();
}

FrameRig::~FrameRig() {
    host_->observe_game_code(nullptr);
    {
        host::FrameScope frame;
        mod_.reset();
    }
    host_.reset();
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
    std::filesystem::remove_all(folder_, ignored);
}

FrameCost FrameRig::frame() {
    hostsim::World& world = host_->world();
    world.begin_frame();
    host_->pass_game_time(0);  // publishes the frame's game timer, as a frame does

    game_nanoseconds_ = 0;
    std::uint64_t allocations = mod_allocations();
    std::uint64_t natives = host_->native_call_count();
    std::int64_t began = thread_nanoseconds();
    std::int64_t wall_began = timing_game_code_ ? nanoseconds_now() : 0;
    {
        host::FrameScope frame;
        try {
            mod_->frame_tick();
        } catch (...) {
            // As in the plug-in's entry: the next frame carries on.
        }
    }
    std::int64_t wall_ended = timing_game_code_ ? nanoseconds_now() : 0;
    std::int64_t ended = thread_nanoseconds();
    FrameCost cost;
    cost.wall_seconds = static_cast<double>(wall_ended - wall_began) * 1e-9;
    cost.seconds = static_cast<double>(ended - began) * 1e-9;
    cost.game_seconds = static_cast<double>(game_nanoseconds_) * 1e-9;
    cost.allocations = mod_allocations() - allocations;
    cost.natives = host_->native_call_count() - natives;
    world.end_frame();
    return cost;
}

void FrameRig::frames(int count) {
    for (int i = 0; i < count; ++i)
        frame();
}

void FrameRig::stand_at(hostsim::Vec3 at) {
    host_->leave_vehicle();
    host_->teleport_player(at);
}

bool FrameRig::drive_nearest_vehicle() {
    hostsim::Vec3 at = world().player_position();
    std::int32_t vehicle = world().nearest_vehicle(at, std::numeric_limits<float>::max());
    return vehicle != 0 && host_->enter_vehicle(vehicle);
}

void FrameRig::game_code_began() {
    if (game_depth_++ == 0) {
        set_in_game_code(true);
        if (timing_game_code_)
            game_began_ = nanoseconds_now();
    }
}

void FrameRig::game_code_ended() {
    if (--game_depth_ == 0) {
        if (timing_game_code_)
            game_nanoseconds_ += nanoseconds_now() - game_began_;
        set_in_game_code(false);
    }
}

}  // namespace corvalen::bench
