// Process attach on a build the plug-in does not know, and the loader's other
// notifications. (Attach on the known builds, with the real plug-in, is the
// attach scenario's.) Attach happens once per process, so the body runs in a
// fresh one.

#include "host/entry.h"

#include <dirent.h>
#include <gtest/gtest.h>

#include "fresh_process.h"
#include "host/host_version.h"
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

void frame_tick() {}

TEST(ProcessAttach, OtherNotificationsDoNothingAndAnUnknownBuildOnlyPinsAndIdles) {
    test::run_in_fresh_process([] {
        test::test_host_version() = std::array<std::uint16_t, 4>{1, 0, 7, 1};
        hostsim::Host& game = test::test_host();
        int threads = thread_count();
        for (std::uint32_t reason : {0u, 2u, 3u, 0xFFFFFFFFu})
            require(process_notification(reason, frame_tick) == 1, "answers TRUE");
        require(thread_count() == threads && !host_version_initialised(), "not even detection");

        require(process_notification(kProcessAttach, frame_tick) == 1, "attach answers TRUE");
        require(thread_count() == threads + 1, "idle thread started");
        require(host_selector() == kUnknownBuild, "unknown build");
        require(game.patched_site_count() == 0, "no site rewritten");
        require(plain_host_event(kFrameEvent).empty(), "no frame tick");
    });
}

}  // namespace
}  // namespace corvalen::host
