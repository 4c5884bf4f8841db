#include "hostsim/host.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "host/native_context.h"
#include "hostsim/platform.h"
#include "hostsim/x86_writer.h"

namespace hostsim {
namespace {

Host* g_active = nullptr;

const BuildLayout& layout_for(const BootOptions& options) {
    if (options.layout != nullptr)
        return *options.layout;
    return options.version == build_file_version(Build::v1080) ? layout_1080() : layout_1070();
}

}  // namespace

BootOptions boot_options(Build build) {
    BootOptions options;
    options.version = build_file_version(build);
    return options;
}

bool HookReport::after_eax_ok() const {
    return (problems[4] & kResultEax) == 0 && (problems[5] & kResultEax) == 0;
}

Host* Host::active() {
    return g_active;
}

Host::Host(const BootOptions& options)
    : version_(options.version),
      native_log_limit_(std::max<std::size_t>(2, options.native_log_limit)) {
    if (g_active != nullptr)
        throw std::logic_error("a stand-in host is already running");
    if (!options.world.time_zone.empty())
        set_process_time_zone(options.world.time_zone);
    memory_ = ImageMemory::acquire();
    world_ = std::make_unique<World>(options.world);
    natives_ = make_native_table();
    image_ = std::make_unique<HostImage>(
        memory_->base(), memory_->writable_begin(), memory_->writable_end(), layout_for(options),
        host_entry_points(), natives_.entries().size(), options.stack_skew);
    functions_ = std::make_unique<HostFunctions>(*world_, *image_);
    plugin_ = PluginModule::create();
    sync_globals();
    g_active = this;
}

Host::~Host() {
    if (plugin_loaded_) {
        // The plug-in outlives the game here and may still call in while the
        // process ends: its lookups now find nothing, and the image stays.
        CodeWriter lookup(image_->native_lookup_routine());
        lookup.bytes({0x31, 0xC0});  // xor eax, eax
        lookup.ret();
        memory_->keep_after_release();
    }
    g_active = nullptr;
}

// --- the plug-in ----------------------------------------------------------------------

bool Host::load_plugin(const std::string& path) {
    load_error_.clear();
    plugin_loaded_ = plugin_->load(path, load_error_);
    timeline_.catch_up(*world_);
    return plugin_loaded_;
}

bool Host::free_plugin() {
    bool still = plugin_->free_and_check_loaded();
    plugin_loaded_ = still;
    return still;
}

int Host::sites_into_plugin() const {
    const CallSites& sites = image_->sites();
    int count = 0;
    for (int event = 1; event <= kSiteCount; ++event) {
        const auto* opcode = reinterpret_cast<const std::uint8_t*>(
            static_cast<std::uintptr_t>(sites.site_address(event)));
        if (*opcode == 0xE8 && plugin_->contains(sites.call_target(event)))
            ++count;
    }
    return count;
}

// --- frames -----------------------------------------------------------------------------

void Host::sync_globals() {
    image_->set_game_timer(world_->game_timer());
    image_->set_clock_seconds(world_->clock_seconds());
}

void Host::check_site(int event, std::uint32_t problems) {
    std::size_t i = static_cast<std::size_t>(event - 1);
    ++hooks_.runs[i];
    if (problems == 0)
        return;
    hooks_.problems[i] |= problems;
    if (problems & kEntryScriptPointer)
        hooks_.script_pointer_ok = false;
    if (hooks_.first_problem.empty()) {
        hooks_.first_problem = "frame " + std::to_string(frame()) + ", site " +
                               std::to_string(event) + ": " + describe_site_problems(problems);
    }
}

void Host::run_frame() {
    world_->begin_frame();
    sync_globals();
    for (int event = 1; event <= kSiteCount; ++event) {
        if (event == 1) {
            in_site_one_ = true;
            plugin_calls_in_site_one_ = 0;
        }
        std::uint32_t problems = image_->sites().run(event);
        if (event == 1) {
            in_site_one_ = false;
            if (plugin_calls_in_site_one_ > 0)
                ++frame_ticks_;
        }
        check_site(event, problems);
    }
    if (image_->active_script() != image_->host_script_record()) {
        hooks_.script_pointer_ok = false;
        if (hooks_.first_problem.empty()) {
            hooks_.first_problem =
                "frame " + std::to_string(frame()) + ": the active script pointer was not restored";
        }
        image_->set_active_script(image_->host_script_record());
    }
    world_->end_frame();
    timeline_.end_frame(*world_);
}

void Host::run_frames(int count) {
    for (int i = 0; i < count; ++i)
        run_frame();
}

// --- between frames ---------------------------------------------------------------------

void Host::press_key(std::uint8_t scan_code) {
    world_->schedule_press(frame() + 1, scan_code);
}

void Host::hold_key(std::uint8_t scan_code) {
    world_->schedule_hold(frame() + 1, UINT32_MAX, scan_code);
}

void Host::release_key(std::uint8_t scan_code) {
    world_->release_key(scan_code);
}

int Host::walk_player_to(Vec3 target, float metres_per_second, int max_frames) {
    world_->set_walk_target(target, metres_per_second);
    for (int frames = 0; frames < max_frames; ++frames) {
        if (!world_->walking())
            return frames;
        run_frame();
    }
    return world_->walking() ? -1 : max_frames;
}

void Host::teleport_player(Vec3 position) {
    world_->set_player_position(position);
}

bool Host::enter_vehicle(std::int32_t vehicle, std::int32_t seat) {
    return world_->enter_vehicle(world_->player_character(), vehicle, seat);
}

bool Host::leave_vehicle() {
    return world_->leave_vehicle(world_->player_character());
}

void Host::pass_game_time(std::uint32_t ms) {
    world_->pass_game_time(ms);
    sync_globals();
}

void Host::pass_wall_time(std::int64_t seconds) {
    world_->pass_wall_time(seconds * 1000);
}

int Host::save_game(int max_frames) {
    auto saved_frame = [this]() -> std::uint32_t {
        auto it = world_->saves().find(world_->current_slot());
        return it == world_->saves().end() ? 0 : it->second.saved_frame;
    };
    std::uint32_t before = saved_frame();
    world_->open_save_screen();
    for (int frames = 1; frames <= max_frames; ++frames) {
        run_frame();
        if (saved_frame() != before)
            return frames;
    }
    return -1;
}

bool Host::load_game(int slot) {
    if (!world_->load_save(slot))
        return false;
    do {
        run_frame();
    } while (world_->non_playing());
    return true;
}

// --- what happened ------------------------------------------------------------------------

std::size_t Host::native_calls(std::uint32_t hash) const {
    return static_cast<std::size_t>(
        std::count_if(native_log_.begin(), native_log_.end(),
                      [hash](const NativeCall& call) { return call.hash == hash; }));
}

std::vector<std::string> Host::timeline_lines() {
    timeline_.catch_up(*world_);
    return timeline_.lines();
}

std::int32_t Host::build_code() const {
    return hostsim::build_code(version_);
}

// --- the image's way in ---------------------------------------------------------------------

std::uint32_t Host::lookup_native(std::uint32_t hash) {
    int index = natives_.index_of(hash);
    if (index < 0) {
        ++unknown_lookups_[hash];
        return 0;
    }
    return image_->native_entry(static_cast<std::size_t>(index));
}

void Host::dispatch_native(std::uint32_t index, corvalen::host::NativeContext* context) {
    const NativeInfo& info = natives_.entries().at(index);
    NativeCall call;
    call.frame = frame();
    call.hash = info.hash;
    call.argument_count = context->argument_count;
    call.plugin_script = image_->active_script() != image_->host_script_record();
    call.in_site_one = in_site_one_;
    std::uint32_t shown = std::min(context->argument_count, corvalen::host::kNativeSlotCount);
    if (shown > 0 && context->argument_pointer != 0) {
        std::memcpy(
            call.slots.data(),
            reinterpret_cast<const void*>(static_cast<std::uintptr_t>(context->argument_pointer)),
            shown * sizeof(std::uint32_t));
    }
    if (native_log_.size() >= native_log_limit_) {
        native_log_.erase(native_log_.begin(),
                          native_log_.begin() + static_cast<std::ptrdiff_t>(native_log_limit_ / 2));
    }
    native_log_.push_back(call);
    ++native_call_count_;
    if (call.plugin_script && in_site_one_)
        ++plugin_calls_in_site_one_;

    if (context->argument_count < info.arguments) {
        world_->record_error(std::string(info.name) + " (" + hex(info.hash) + ") called with " +
                             std::to_string(context->argument_count) + " arguments, needs " +
                             std::to_string(info.arguments));
        return;
    }
    info.run(NativeArgs(context, *world_, info.name));
}

}  // namespace hostsim
