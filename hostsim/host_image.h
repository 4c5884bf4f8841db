#pragma once
// Lays the game's side of the binary interface into the module image: the
// native lookup routine and one handler entry per native, thunks to the
// stand-in's host functions at the build's offsets, the globals, the pools and
// factory objects, and the eight call-site routines.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "hostsim/call_sites.h"
#include "hostsim/host_layout.h"

namespace hostsim {

// The stand-in's C++ functions that the image's code reaches (host_entry.cpp).
struct HostEntryPoints {
    std::uint32_t native_lookup;    // uint32 cdecl (uint32 hash): handler entry or 0
    std::uint32_t native_dispatch;  // void cdecl (uint32 native index, NativeContext*)
    std::uint32_t player_accessor;
    std::uint32_t pool_lookup;
    std::uint32_t handle_from_object;
    std::uint32_t model_index_lookup;
    std::uint32_t model_request;
    std::uint32_t load_requested_models;
    std::uint32_t after_creation;
    std::uint32_t create_vehicle;
    std::uint32_t create_pedestrian;
    std::uint32_t unexpected_virtual_call;
};

HostEntryPoints host_entry_points();

class HostImage {
  public:
    // The image spans base .. base + kImageSize; only offsets from
    // writable_begin to writable_end may be written (the executable's own
    // headers and code lie below on Windows).
    HostImage(std::uint32_t base, std::uint32_t writable_begin, std::uint32_t writable_end,
              const BuildLayout& layout, const HostEntryPoints& entries, std::size_t native_count,
              std::uint8_t stack_skew = 0);

    std::uint32_t base() const { return base_; }
    const BuildLayout& layout() const { return layout_; }
    std::uint32_t at(std::uint32_t offset) const { return base_ + offset; }

    std::uint32_t native_lookup_routine() const { return at(layout_.native_lookup); }
    std::uint32_t native_entry(std::size_t index) const;

    std::uint32_t host_script_record() const { return at(kHostScriptRecordOffset); }
    std::uint32_t active_script() const;  // what the active script pointer holds now
    void set_active_script(std::uint32_t record);
    void set_game_timer(std::uint32_t ms);
    void set_clock_seconds(std::uint32_t seconds);
    std::uint32_t vehicle_pool() const { return at(kVehiclePoolObjectOffset); }
    std::uint32_t second_pool() const { return at(kSecondPoolObjectOffset); }
    std::uint32_t vehicle_factory() const { return at(kVehicleFactoryObjectOffset); }
    std::uint32_t pedestrian_factory() const { return at(kPedestrianFactoryObjectOffset); }

    CallSites& sites() { return *sites_; }
    const CallSites& sites() const { return *sites_; }

    // Free code space for tests that play a plug-in's stub.
    std::uint32_t scratch_code() const { return at(kScratchCodeOffset); }

  private:
    void reserve(std::uint32_t offset, std::uint32_t size, const std::string& what);
    void write_native_machinery(const HostEntryPoints& entries, std::size_t native_count);
    void write_function_thunks(const HostEntryPoints& entries);
    void write_globals_and_objects(const HostEntryPoints& entries);

    struct Claim {
        std::uint32_t begin;
        std::uint32_t end;
        std::string what;
    };

    std::uint32_t base_;
    std::uint32_t writable_begin_;
    std::uint32_t writable_end_;
    const BuildLayout& layout_;
    std::vector<Claim> claims_;
    std::unique_ptr<CallSites> sites_;
};

}  // namespace hostsim
