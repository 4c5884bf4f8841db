#include "autoservice/service_manager.h"

namespace corvalen {

ServiceManager::ServiceManager(const Config* /*config*/) {}

void ServiceManager::load_stations() {}

// Station styles and services arrive with the stations' and paid services' work.
void ServiceManager::style_blip(Place& /*place*/) {}
void ServiceManager::on_activate(Place& /*place*/) {}
void ServiceManager::on_prompt(Place& /*place*/) {}

}  // namespace corvalen
