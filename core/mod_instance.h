#pragma once
// The plug-in's one per-frame entry point, registered into event 1 at attach.

namespace corvalen {

// Runs the mod's frame tick. Every native the mod calls runs inside it, and no
// exception leaves it.
void mod_frame_tick();

}  // namespace corvalen
