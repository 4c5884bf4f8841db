// The shared object's one export: the stand-in host calls it right after
// loading us, the way the Windows loader calls DllMain.

#include <cstdint>

#include "core/mod_instance.h"
#include "host/entry.h"

extern "C" __attribute__((visibility("default"))) int corvalen_process_notification(
    std::uint32_t reason) {
    return corvalen::host::process_notification(reason, corvalen::mod_frame_tick);
}
