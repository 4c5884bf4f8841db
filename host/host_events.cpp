#include "host/host_events.h"

#include <array>

namespace corvalen::host {
namespace {

// std::array rather than a built-in array: GCC 12 places a default-initialised
// built-in array of these self-referencing lists in .bss, leaving every
// sentinel null despite constinit.
constinit std::array<PlainHostEvent, kHostEventCount> g_plain_events{};
constinit std::array<ObjectHostEvent, kHostEventCount> g_object_events{};

// Event numbers outside 1..8 fold into the table rather than leave it.
int index_of(int event) {
    return static_cast<int>(static_cast<unsigned>(event - 1) % kHostEventCount);
}

}  // namespace

PlainHostEvent& plain_host_event(int event) {
    return g_plain_events[index_of(event)];
}

ObjectHostEvent& object_host_event(int event) {
    return g_object_events[index_of(event)];
}

PlainHostEvent::Callback& add_event_callback(int event, PlainHostEvent::Callback callback) {
    return plain_host_event(event).add(callback);
}

ObjectHostEvent::Callback& add_event_callback(int event, ObjectHostEvent::Callback callback) {
    return object_host_event(event).add(callback);
}

void run_host_event(int event) {
    plain_host_event(event).run();
}

void run_host_event(int event, std::uint32_t object) {
    object_host_event(event).run(object);
}

}  // namespace corvalen::host
