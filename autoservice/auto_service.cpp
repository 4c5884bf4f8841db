#include "autoservice/auto_service.h"

namespace corvalen {

AutoService::AutoService(const Config* config) : stations(config) {}

void AutoService::tick() {
    // The editor's items and the stations' per-frame work come with the
    // stations' own work; the menu already opens from the main menu.
    editor_menu.process();
}

}  // namespace corvalen
