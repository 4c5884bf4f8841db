#include "host/entry.h"

#include <dirent.h>
#include <gtest/gtest.h>

#include "code_buffer.h"
#include "fresh_process.h"
#include "host/hook_stubs.h"
#include "host/host_addresses.h"
#include "host/host_version.h"
#include "test_host.h"

namespace corvalen::host {
namespace {

using test::CodeWriter;
using test::require;

constexpr std::uint32_t kHostScript = 0x5C121970;

int thread_count() {
    int count = 0;
    if (DIR* tasks = opendir("/proc/self/task")) {
        while (dirent* entry = readdir(tasks)) {
            if (entry->d_name[0] != '.')
                ++count;
        }
        closedir(tasks);
    }
    return count;
}

// Where each event's host function sits in the host image (a bare `ret`).
std::uint32_t host_function(int event) {
    return test::boot_test_host() + 0x10 * event;
}

std::uint32_t site_offset(int event, bool build_1080) {
    const HostAddress& site = kHookSites[event - 1];
    return build_1080 ? site.offset_1080 : site.offset_1070;
}

// Lays out the host image of one build: every site a call to its host
// function followed by `ret`, so a site can be run as a function.
void lay_out_image(bool build_1080) {
    std::uint32_t base = test::boot_test_host();
    for (int event = 1; event <= kHookSiteCount; ++event) {
        CodeWriter(host_function(event)).ret();
        CodeWriter site(base + site_offset(event, build_1080));
        site.call(host_function(event));
        site.ret();
    }
    const HostAddress& script = kActiveScriptPointer;
    CodeWriter::set(base + (build_1080 ? script.offset_1080 : script.offset_1070), kHostScript);
}

bool all_sites_untouched(bool build_1080) {
    std::uint32_t base = test::boot_test_host();
    for (int event = 1; event <= kHookSiteCount; ++event) {
        std::uint32_t site = base + site_offset(event, build_1080);
        if (CodeWriter::get(site + 1) != host_function(event) - (site + 5))
            return false;
    }
    return true;
}

int g_ticks = 0;
std::uint32_t g_script_during_tick = 0;

void frame_tick() {
    ++g_ticks;
    g_script_during_tick = CodeWriter::get(resolve(kActiveScriptPointer));
}

void attach_and_check(std::uint16_t minor_build, bool build_1080) {
    test::test_host_version() = std::array<std::uint16_t, 4>{1, 0, minor_build, 0};
    lay_out_image(build_1080);
    int threads = thread_count();
    require(process_notification(kProcessAttach, frame_tick) == 1, "attach answers TRUE");
    require(thread_count() == threads + 1, "one idle thread started");
    require(host_selector() == (build_1080 ? kSelector1080 : kSelector1070), "build selected");

    std::uint32_t base = test::boot_test_host();
    for (int event = 1; event <= kHookSiteCount; ++event) {
        std::uint32_t site = base + site_offset(event, build_1080);
        require(*reinterpret_cast<std::uint8_t*>(site) == 0xE8, "relative call at the site");
        require(CodeWriter::get(site + 1) == event_stub(event) - (site + 5), "call to the stub");
        require(previous_target(event) == host_function(event), "previous target kept");
    }

    // The host runs site 1 once: the frame tick runs once, on our script.
    test::code_at<void (*)()>(base + site_offset(1, build_1080))();
    require(g_ticks == 1, "frame tick registered on event 1");
    require(g_script_during_tick == script_record_address(), "script switched during the tick");
    require(CodeWriter::get(resolve(kActiveScriptPointer)) == kHostScript, "script put back");
    for (int event = 2; event <= kHookSiteCount; ++event) {
        test::code_at<void (*)()>(base + site_offset(event, build_1080))();
    }
    require(g_ticks == 1, "nothing else runs the tick");
}

TEST(ProcessAttach, OnBuild1070DivertsAllEightCallsAndRegistersTheTick) {
    test::run_in_fresh_process([] { attach_and_check(7, false); });
}

TEST(ProcessAttach, OnBuild1080UsesTheSecondColumn) {
    test::run_in_fresh_process([] { attach_and_check(8, true); });
}

TEST(ProcessAttach, UnknownBuildPinsAndIdlesButHooksNothing) {
    test::run_in_fresh_process([] {
        test::test_host_version() = std::array<std::uint16_t, 4>{1, 0, 7, 1};
        lay_out_image(false);
        lay_out_image(true);
        int threads = thread_count();
        require(process_notification(kProcessAttach, frame_tick) == 1, "attach answers TRUE");
        require(thread_count() == threads + 1, "idle thread still started");
        require(host_version_initialised() && host_selector() == kUnknownBuild, "unknown build");
        require(all_sites_untouched(false) && all_sites_untouched(true), "no site rewritten");
        require(plain_host_event(kFrameEvent).empty(), "no frame tick");
    });
}

TEST(ProcessAttach, OtherNotificationsDoNothing) {
    test::run_in_fresh_process([] {
        lay_out_image(false);
        int threads = thread_count();
        for (std::uint32_t reason : {0u, 2u, 3u, 0xFFFFFFFFu}) {
            require(process_notification(reason, frame_tick) == 1, "answers TRUE");
        }
        require(thread_count() == threads, "no thread");
        require(!host_version_initialised(), "build not even detected");
        require(all_sites_untouched(false), "no site rewritten");
        require(plain_host_event(kFrameEvent).empty(), "no frame tick");
    });
}

}  // namespace
}  // namespace corvalen::host
