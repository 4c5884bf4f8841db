// Process attach against the stand-in's image: every site diverted on a known
// build, the frame tick on event 1, an idle thread, and nothing else.

#include "host/entry.h"

#include <dirent.h>
#include <gtest/gtest.h>

#include "code_buffer.h"
#include "fresh_process.h"
#include "host/hook_stubs.h"
#include "host/host_addresses.h"
#include "host/host_events.h"
#include "host/host_version.h"
#include "hostsim/host.h"
#include "test_host.h"

namespace corvalen::host {
namespace {

using test::require;

int thread_count() {
    int count = 0;
    if (DIR* tasks = opendir("/proc/self/task")) {
        while (dirent* entry = readdir(tasks))
            count += entry->d_name[0] != '.';
        closedir(tasks);
    }
    return count;
}

int g_ticks = 0;
std::uint32_t g_script_during_tick = 0;

void frame_tick() {
    ++g_ticks;
    g_script_during_tick = test::read_u32(resolve(kActiveScriptPointer));
}

void attach_and_check(std::uint16_t minor_build, std::int32_t selector) {
    test::test_host_version() = std::array<std::uint16_t, 4>{1, 0, minor_build, 0};
    hostsim::Host& game = test::test_host();
    int threads = thread_count();
    require(process_notification(kProcessAttach, frame_tick) == 1, "attach answers TRUE");
    require(thread_count() == threads + 1, "one idle thread started");
    require(host_selector() == selector, "build selected");
    require(game.patched_site_count() == 8, "every site diverted");
    for (int event = 1; event <= kHookSiteCount; ++event) {
        require(game.image().sites().call_target(event) == event_stub(event), "call to the stub");
        require(previous_target(event) == game.image().sites().target_address(event),
                "previous target kept");
    }
    game.run_frames(2);
    require(g_ticks == 2, "one frame tick per frame");
    require(g_script_during_tick == script_record_address(), "script switched during the tick");
    require(!game.hooks().corrupted() && game.hooks().script_pointer_ok, "the game runs intact");
}

TEST(ProcessAttach, OnBuild1070DivertsAllEightCallsAndRegistersTheTick) {
    test::run_in_fresh_process([] { attach_and_check(7, kSelector1070); });
}

TEST(ProcessAttach, OnBuild1080UsesTheSecondColumn) {
    test::run_in_fresh_process([] { attach_and_check(8, kSelector1080); });
}

TEST(ProcessAttach, UnknownBuildPinsAndIdlesButHooksNothing) {
    test::run_in_fresh_process([] {
        test::test_host_version() = std::array<std::uint16_t, 4>{1, 0, 7, 1};
        test::boot_test_host();
        int threads = thread_count();
        require(process_notification(kProcessAttach, frame_tick) == 1, "attach answers TRUE");
        require(thread_count() == threads + 1, "idle thread still started");
        require(host_version_initialised() && host_selector() == kUnknownBuild, "unknown build");
        require(test::test_host().patched_site_count() == 0, "no site rewritten");
        require(plain_host_event(kFrameEvent).empty(), "no frame tick");
    });
}

TEST(ProcessAttach, OtherNotificationsDoNothing) {
    test::run_in_fresh_process([] {
        test::boot_test_host();
        int threads = thread_count();
        for (std::uint32_t reason : {0u, 2u, 3u, 0xFFFFFFFFu})
            require(process_notification(reason, frame_tick) == 1, "answers TRUE");
        require(thread_count() == threads, "no thread");
        require(!host_version_initialised(), "build not even detected");
        require(test::test_host().patched_site_count() == 0, "no site rewritten");
        require(plain_host_event(kFrameEvent).empty(), "no frame tick");
    });
}

}  // namespace
}  // namespace corvalen::host
