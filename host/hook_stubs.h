#pragma once
// The code the diverted host calls land in. Each of the eight events has a
// stub; events 1 to 4, 7 and 8 run their list before the host function,
// events 5 and 6 after it. The stubs leave the host's registers and stack as
// the host's call made them.

#include <cstdint>

namespace corvalen::host {

inline constexpr std::uint32_t kScriptRecordSize = 256;

// Address of event n's stub (1 to 8), 0 for any other n.
std::uint32_t event_stub(int event);

// The address the diverted call reached before; the stub hands control there.
void set_previous_target(int event, std::uint32_t target);
std::uint32_t previous_target(int event);

// Event 5 and 6: the object pointer the stub captured on its latest entry.
std::uint32_t event_object(int event);

// Where the host keeps its active script pointer (0: nothing is switched).
void set_active_script_pointer_location(std::uint32_t address);

// The zero-filled record the active script pointer designates during event 1.
std::uint32_t script_record_address();

}  // namespace corvalen::host
