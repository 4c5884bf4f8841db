#pragma once
// The stand-in game process: a module image laid out for one build, the world,
// the natives, and the plug-in loaded into it. Tests (in-process on Linux) and
// the Windows host process drive it frame by frame through this class.
//
// One Host is active per process, as one game runs per process: the image's
// code and the functions the plug-in reaches by address find it through
// Host::active().

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "hostsim/host_functions.h"
#include "hostsim/host_image.h"
#include "hostsim/host_layout.h"
#include "hostsim/native_table.h"
#include "hostsim/timeline.h"
#include "hostsim/world.h"

namespace corvalen::host {
struct NativeContext;
}

namespace hostsim {

class ImageMemory;
class PluginModule;

using FileVersion = std::array<std::uint16_t, 4>;

struct BootOptions {
    std::optional<FileVersion> version = FileVersion{1, 0, 7, 0};
    // Null: the layout that fits the version, the 1080 layout for 1.0.8.0 and
    // the 1070 layout for every other (the plug-in reads nothing in an
    // unknown build anyway).
    const BuildLayout* layout = nullptr;
    // How far (0, 4, 8, 12 bytes) the call sites' stack misses 16-byte
    // alignment; the game promises only 4-byte alignment.
    std::uint8_t stack_skew = 0;
    // Native calls kept in the log; past this the older half is dropped (the
    // count of calls goes on).
    std::size_t native_log_limit = 200000;
    WorldSettings world;
};

// Boot options for one of the stand-in's builds.
BootOptions boot_options(Build build);

// One call of a native handler.
struct NativeCall {
    std::uint32_t frame = 0;  // 0: before the first frame (the plug-in's load time)
    std::uint32_t hash = 0;
    std::uint32_t argument_count = 0;
    std::array<std::uint32_t, 16> slots{};  // the arguments as passed
    bool plugin_script = false;  // the active script pointer was not the game's own record
    bool in_site_one = false;    // made while site 1's routine ran
};

// What the eight call-site routines saw, over all frames run.
struct HookReport {
    std::array<int, kSiteCount> runs{};
    std::array<std::uint32_t, kSiteCount> problems{};  // every problem seen, per site
    bool script_pointer_ok = true;  // restored before site 1's target and after every frame
    std::string first_problem;      // "frame 3, site 1: EBX at entry", empty when none

    bool corrupted() const { return !first_problem.empty(); }
    bool after_eax_ok() const;  // sites 5 and 6 always handed back their EAX
};

// Told when the plug-in enters the game's own code (native lookup, native
// handlers, functions reached by address) and when it comes back, so that a
// measurement can tell the game's share of a frame from the plug-in's.
class GameCodeObserver {
  public:
    virtual void game_code_began() = 0;
    virtual void game_code_ended() = 0;

  protected:
    ~GameCodeObserver() = default;
};

class Host {
  public:
    explicit Host(const BootOptions& options = {});
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    static Host* active();

    // --- the plug-in ------------------------------------------------------------------
    // Loads it as the game would; false (with a message in load_error()) on failure.
    bool load_plugin(const std::string& path);
    bool plugin_loaded() const { return plugin_loaded_; }
    const std::string& load_error() const { return load_error_; }
    // Asks the loader to free the plug-in; true when it stayed loaded (pinned).
    bool free_plugin();

    // --- frames -----------------------------------------------------------------------
    void run_frame();
    void run_frames(int count);
    std::uint32_t frame() const { return world_->frame(); }

    // --- the player's hands and the passing of time (take effect between frames) ------
    void press_key(std::uint8_t scan_code);  // pressed in the next frame only
    void hold_key(std::uint8_t scan_code);   // held from the next frame until released
    void release_key(std::uint8_t scan_code);
    // Walks (or drives) the player to a point, running frames; returns the
    // number of frames it took, -1 when max_frames were not enough.
    int walk_player_to(Vec3 target, float metres_per_second = 5.0f, int max_frames = 100000);
    void teleport_player(Vec3 position);
    bool enter_vehicle(std::int32_t vehicle, std::int32_t seat = kDriverSeat);
    bool leave_vehicle();
    void pass_game_time(std::uint32_t ms);
    void pass_wall_time(std::int64_t seconds);
    // Opens the save screen and runs frames until the game has saved; returns
    // the frames run, -1 when it did not save within max_frames.
    int save_game(int max_frames = 1000);
    // Loads a slot and runs frames until the loading screen is over; false
    // when the slot holds no save.
    bool load_game(int slot);
    void note(const std::string& text) { world_->note(text); }

    // --- what happened ----------------------------------------------------------------
    World& world() { return *world_; }
    const World& world() const { return *world_; }
    const std::vector<NativeCall>& native_log() const { return native_log_; }
    std::uint64_t native_call_count() const { return native_call_count_; }  // all ever made
    std::size_t native_calls(std::uint32_t hash) const;
    // Hashes the plug-in looked up that the game does not have, with counts.
    const std::map<std::uint32_t, int>& unknown_lookups() const { return unknown_lookups_; }
    const HookReport& hooks() const { return hooks_; }
    // Null: nobody is told.
    void observe_game_code(GameCodeObserver* observer) { observer_ = observer; }
    GameCodeObserver* game_code_observer() const { return observer_; }
    int frame_ticks() const { return frame_ticks_; }
    int patched_site_count() const { return image_->sites().patched_count(); }
    // Sites that hold a relative call (0xE8) into the plug-in's image.
    int sites_into_plugin() const;
    Timeline& timeline() { return timeline_; }
    // The timeline so far, with everything that happened since the last frame.
    std::vector<std::string> timeline_lines();

    HostImage& image() { return *image_; }
    const HostImage& image() const { return *image_; }
    const std::optional<FileVersion>& file_version() const { return version_; }
    std::int32_t build_code() const;  // as the plug-in reads the version, 0 when unreadable
    HostFunctions& functions() { return *functions_; }

    // --- the image's way in (host_entry.cpp) ------------------------------------------
    std::uint32_t lookup_native(std::uint32_t hash);
    void dispatch_native(std::uint32_t index, corvalen::host::NativeContext* context);

  private:
    void sync_globals();
    void check_site(int event, std::uint32_t problems);

    std::optional<FileVersion> version_;
    std::unique_ptr<ImageMemory> memory_;
    std::unique_ptr<World> world_;
    NativeTable natives_;
    std::unique_ptr<HostImage> image_;
    std::unique_ptr<HostFunctions> functions_;
    std::unique_ptr<PluginModule> plugin_;
    bool plugin_loaded_ = false;
    std::string load_error_;

    std::vector<NativeCall> native_log_;
    std::size_t native_log_limit_;
    std::uint64_t native_call_count_ = 0;
    std::map<std::uint32_t, int> unknown_lookups_;
    HookReport hooks_;
    bool in_site_one_ = false;
    int plugin_calls_in_site_one_ = 0;
    int frame_ticks_ = 0;
    Timeline timeline_;
    GameCodeObserver* observer_ = nullptr;
};

}  // namespace hostsim
