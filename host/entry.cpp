#include "host/entry.h"

#include "host/call_hook.h"
#include "host/hook_stubs.h"
#include "host/host_addresses.h"
#include "host/host_version.h"
#include "host/platform.h"

namespace corvalen::host {

void on_process_attach(PlainHostEvent::Callback frame_tick) {
    std::uint32_t module = platform::pin_plugin();
    platform::start_idle_thread(module);
    initialise_host_version();
    if (host_selector() == kUnknownBuild) {
        return;
    }
    set_active_script_pointer_location(resolve(kActiveScriptPointer));
    for (int event = 1; event <= kHookSiteCount; ++event) {
        std::uint32_t site = resolve(kHookSites[event - 1]);
        set_previous_target(event, install_call_hook(site, event_stub(event)));
    }
    add_event_callback(kFrameEvent, frame_tick);
}

int process_notification(std::uint32_t reason, PlainHostEvent::Callback frame_tick) {
    if (reason != kProcessAttach) {
        return 1;
    }
    try {
        on_process_attach(frame_tick);
    } catch (...) {
        // The loader lock is held and the host knows nothing of our
        // exceptions; whatever was hooked so far stays hooked.
    }
    return 1;
}

}  // namespace corvalen::host
