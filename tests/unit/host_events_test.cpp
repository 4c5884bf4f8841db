#include "host/host_events.h"

#include <gtest/gtest.h>

#include <string>

#include "fresh_process.h"

namespace corvalen::host {
namespace {

// Event lists must exist before any load-time initialiser runs.
constinit PlainHostEvent g_constant_initialised;

std::string g_trace;

TEST(HostEvent, RunsCallbacksInTheOrderTheyWereAdded) {
    static PlainHostEvent event;  // lists live as long as the process
    EXPECT_TRUE(event.empty());
    event.run();  // an empty list is fine
    event.add([] { g_trace += "a"; });
    event.add([] { g_trace += "b"; });
    event.add([] { g_trace += "a"; });
    EXPECT_FALSE(event.empty());
    g_trace.clear();
    event.run();
    EXPECT_EQ(g_trace, "aba");
    event.run();
    EXPECT_EQ(g_trace, "abaaba");
}

TEST(HostEvent, AllEightListsStartEmpty) {
    test::run_in_fresh_process([] {
        for (int event = 1; event <= kHostEventCount; ++event) {
            test::require(plain_host_event(event).empty(), "plain list empty");
            test::require(object_host_event(event).empty(), "object list empty");
        }
        // And usable: the first entry goes in and runs.
        add_event_callback(1, [] { std::_Exit(0); });
        run_host_event(1);
        test::require(false, "the callback did not run");
    });
}

TEST(HostEvent, EachEventNumberHasItsOwnListAndObjectEventsPassTheObject) {
    EXPECT_TRUE(g_constant_initialised.empty());
    add_event_callback(7, [] { g_trace += "seven"; });
    add_event_callback(6, [](std::uint32_t object) { g_trace += "six" + std::to_string(object); });
    add_event_callback(6, [](std::uint32_t object) { g_trace += std::to_string(object + 1); });
    g_trace.clear();
    run_host_event(8);
    run_host_event(7);
    run_host_event(6, 9);
    EXPECT_EQ(g_trace, "sevensix910");
}

}  // namespace
}  // namespace corvalen::host
