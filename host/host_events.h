#pragma once
// The eight host events: each diverted host call runs one list of callbacks.
// The lists are constant-initialised, so they exist empty before any load-time
// initialiser runs and before the process-attach notification.

#include <cstdint>

namespace corvalen::host {

inline constexpr int kHostEventCount = 8;
// Event 1 runs once per host frame; the mod's frame tick hangs on it.
inline constexpr int kFrameEvent = 1;

// Events 5 and 6 divert member calls; their callbacks get the object pointer.
constexpr bool is_object_event(int event) {
    return event == 5 || event == 6;
}

// A circular doubly linked list with a sentinel. Entries are only added, at
// process attach; dispatch reads the list while it runs.
template <typename... Arguments>
class HostEvent {
  public:
    using Callback = void (*)(Arguments...);

    struct Node {
        Node* next;
        Node* previous;
        Callback callback;
    };

    constexpr HostEvent() : sentinel_{&sentinel_, &sentinel_, nullptr} {}
    HostEvent(const HostEvent&) = delete;
    HostEvent& operator=(const HostEvent&) = delete;

    // Appends; the same callback added twice runs twice.
    Callback& add(Callback callback) {
        Node* node = new Node{&sentinel_, sentinel_.previous, callback};
        sentinel_.previous->next = node;
        sentinel_.previous = node;
        return node->callback;
    }

    void run(Arguments... arguments) const {
        for (const Node* node = sentinel_.next; node != &sentinel_; node = node->next) {
            node->callback(arguments...);
        }
    }

    bool empty() const { return sentinel_.next == &sentinel_; }

  private:
    Node sentinel_;
};

using PlainHostEvent = HostEvent<>;
using ObjectHostEvent = HostEvent<std::uint32_t>;

// Event n (1 to 8). A plain callback added to event 5 or 6, or an object
// callback added to any other event, is kept but never run.
PlainHostEvent& plain_host_event(int event);
ObjectHostEvent& object_host_event(int event);

PlainHostEvent::Callback& add_event_callback(int event, PlainHostEvent::Callback callback);
ObjectHostEvent::Callback& add_event_callback(int event, ObjectHostEvent::Callback callback);

// What the stubs run: the list that belongs to the event's stub form.
void run_host_event(int event);
void run_host_event(int event, std::uint32_t object);

}  // namespace corvalen::host
