// The eight event lists: constant-initialised (so usable before any load-time
// initialiser runs), one per event, run in the order the callbacks came.
// The lists are the process's own and keep what is added, so the case runs
// in a fresh process.

#include "host/host_events.h"

#include <gtest/gtest.h>

#include <string>

#include "fresh_process.h"

namespace corvalen::host {
namespace {

std::string g_trace;

TEST(HostEvent, EachEventRunsItsOwnCallbacksInTheOrderTheyCame) {
    test::run_in_fresh_process([] {
        for (int event = 1; event <= kHostEventCount; ++event) {
            test::require(plain_host_event(event).empty(), "plain list empty");
            test::require(object_host_event(event).empty(), "object list empty");
        }
        auto a = [] { g_trace += "a"; };
        add_event_callback(7, +a);
        add_event_callback(7, [] { g_trace += "b"; });
        add_event_callback(7, +a);  // added twice, runs twice
        add_event_callback(6, [](std::uint32_t object) { g_trace += std::to_string(object); });
        add_event_callback(6, [](std::uint32_t object) { g_trace += std::to_string(object + 1); });
        run_host_event(8);
        run_host_event(7);
        run_host_event(6, 9);
        run_host_event(7);
        test::require(g_trace == "aba910aba", g_trace.c_str());
    });
}

}  // namespace
}  // namespace corvalen::host
