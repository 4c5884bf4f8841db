#include "core/mod_instance.h"

#include <new>
#include <optional>

#include "core/mod.h"
#include "host/host_game.h"

namespace corvalen {
namespace {

// Construction runs inside the host's loader lock, where an escaping
// exception would end the host process. A failed construction leaves the mod
// unbuilt; the next frame tries again.
std::optional<Mod> build_mod() noexcept {
    try {
        return std::optional<Mod>(std::in_place);
    } catch (...) {
        return std::nullopt;
    }
}

// The one global Mod. At process exit it is destroyed outside any frame, so
// the natives its features would call then (removing blips) are skipped.
std::optional<Mod> the_mod = build_mod();

}  // namespace

void mod_frame_tick() {
    host::FrameScope frame;
    try {
        if (!the_mod)
            the_mod.emplace();
        the_mod->frame_tick();
    } catch (...) {
        // The step that failed is skipped; the next frame carries on.
    }
}

}  // namespace corvalen
