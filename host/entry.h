#pragma once
// What the plug-in does when the host process loads it. The DLL entry point
// (and its POSIX twin) only forward the loader's notification here.

#include <cstdint>

#include "host/host_events.h"

namespace corvalen::host {

inline constexpr std::uint32_t kProcessAttach = 1;

// Pins the plug-in, starts the idle thread, identifies the build and, on a
// known build, diverts the eight host calls and hangs the frame tick on
// event 1.
void on_process_attach(PlainHostEvent::Callback frame_tick);

// The loader's notification: only process attach does anything; hooks are
// never removed. Always answers 1 (TRUE), and nothing thrown gets out.
int process_notification(std::uint32_t reason, PlainHostEvent::Callback frame_tick);

}  // namespace corvalen::host
