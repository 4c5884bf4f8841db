#pragma once
// The eight host routines that hold the call instructions the plug-in
// diverts. Each routine sets known values into the registers a callee sees,
// pushes known stack arguments (sites 1-4, 7, 8) or passes an object in ECX
// (sites 5, 6), and calls its target with the five-byte relative call at the
// site. The target records what it received; after the call the routine
// records EAX and the registers the callee had to keep. run() compares all of
// it with what the game passed, so a stub that disturbs anything is caught.

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "hostsim/host_layout.h"

namespace hostsim {

// What a site's target or its calling routine found wrong, as bits.
enum SiteProblem : std::uint32_t {
    kSiteNotReached = 1u << 0,
    kSiteReachedTwice = 1u << 1,
    kEntryEbx = 1u << 2,
    kEntryEsi = 1u << 3,
    kEntryEdi = 1u << 4,
    kEntryEbp = 1u << 5,
    kEntryEcx = 1u << 6,
    kEntryEdx = 1u << 7,
    kEntryReturnAddress = 1u << 8,
    kEntryStackPointer = 1u << 9,
    kEntryFirstArgument = 1u << 10,
    kEntrySecondArgument = 1u << 11,
    kEntryScriptPointer = 1u << 12,  // site 1: not the game's own script record
    kResultEax = 1u << 13,
    kKeptEbx = 1u << 14,
    kKeptEsi = 1u << 15,
    kKeptEdi = 1u << 16,
    kKeptEbp = 1u << 17,
    kKeptStackPointer = 1u << 18,
};

std::string describe_site_problems(std::uint32_t problems);

inline constexpr int kSiteCount = 8;

// Sites 5 and 6 call member functions whose result the routine uses.
inline bool is_after_site(int event) {
    return event == 5 || event == 6;
}

class CallSites {
  public:
    // reserve(offset, size, what) claims image space (and rejects overlaps).
    using Reserve = std::function<void(std::uint32_t, std::uint32_t, const std::string&)>;

    // stack_skew: bytes (0, 4, 8 or 12) by which the stack at the call misses
    // 16-byte alignment; the game itself only keeps 4-byte alignment.
    CallSites(std::uint32_t base, const BuildLayout& layout, std::uint32_t script_global,
              std::uint32_t host_script_record, std::uint8_t stack_skew, const Reserve& reserve);

    // Runs the routine of event 1..8 once and returns its problems (0 = none).
    std::uint32_t run(int event);

    std::uint32_t site_address(int event) const;
    std::uint32_t routine_address(int event) const;
    std::uint32_t target_address(int event) const;
    // The object a member-call site passes in ECX (sites 5 and 6).
    std::uint32_t site_object(int event) const;
    // The EAX its target returns.
    static std::uint32_t target_result(int event);

    bool patched(int event) const;  // the five bytes differ from what the game had
    int patched_count() const;
    // Where the call at a site leads now: site + 5 + its displacement.
    std::uint32_t call_target(int event) const;

  private:
    static std::size_t index(int event);
    // Where a site's pieces lie, from the module base; the routine starts
    // routine_prefix bytes before the site's call.
    static std::uint32_t routine_prefix(int event);
    static std::uint32_t target_offset(int event);
    static std::uint32_t capture_offset(int event);
    static std::uint32_t object_offset(int event);
    std::uint32_t capture(int event) const;
    void write_target(int event);
    void write_routine(int event);

    std::uint32_t base_;
    const BuildLayout& layout_;
    std::uint32_t script_global_;
    std::uint32_t host_script_record_;
    std::uint8_t stack_skew_;
    std::array<std::array<std::uint8_t, 5>, kSiteCount> original_{};
};

}  // namespace hostsim
