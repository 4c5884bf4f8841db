// The DLL's entry point: the loader's notifications go to the portable entry.

#include <windows.h>

#include "core/mod_instance.h"
#include "host/entry.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    return corvalen::host::process_notification(reason, corvalen::mod_frame_tick);
}
