#pragma once
// The stand-in host for the fuzz targets whose readers ask the game for
// things (blips, vehicles, street names). Each input runs in frames of its
// own; what those frames left in the world goes afterwards, so that millions
// of inputs run in a world of the same size, and a call the game would refuse
// is a finding like a crash.

#include <functional>

namespace hostsim {
class Host;
}

namespace corvalen::fuzz {

// Boots the host on first use (build 1.0.7.0) and keeps it to the end.
hostsim::Host& game();

// Runs `body` inside one host frame, as the plug-in's frame tick runs.
void in_frame(const std::function<void()>& body);

// Removes the vehicles and blips made since the last call, forgets the
// world's journal, and ends the run if the game saw a call it would refuse.
void tidy_world();

}  // namespace corvalen::fuzz
