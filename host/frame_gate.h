#pragma once
// The one gate every native of the typed host interface passes: natives run
// only inside a FrameScope (see host_game.h). Private to the files that
// implement the interface.

#include "host/host_game.h"

namespace corvalen::host {

// Calls the native operation inside a frame; outside one it is not called
// and the caller gets its zero value (out-parameters keep the value the
// operation set before).
template <typename Native, typename... Arguments>
auto in_frame(Native native, Arguments... arguments) {
    using Result = decltype(native(arguments...));
    if (!FrameScope::active())
        return Result();
    return native(arguments...);
}

}  // namespace corvalen::host
