#include "realestate/ro_viri_variru_roza.h"

#include "core/data_folder.h"

namespace corvalen {

ROViriVariruRoza::ROViriVariruRoza(std::string identity_text)
    : save_identity(std::move(identity_text)) {}

void ROViriVariruRoza::set_save_identity(const std::string& text) {
    save_identity = text;
    garage.set_car_file(data_path(make_save_folder(data_folder, save_identity), cars_file_name));
}

void ROViriVariruRoza::load_houses() {}
void ROViriVariruRoza::save_owned_houses() {}
void ROViriVariruRoza::save_at(float /*x*/, float /*y*/, float /*z*/) {}
void ROViriVariruRoza::restore_saved_position() {}
void ROViriVariruRoza::clear_saved_position() {}

void ROViriVariruRoza::tick() {
    SpotController::tick();
    // The editor items arrive with the property work; the menu already opens
    // from the main menu.
    menu.process();
}

void ROViriVariruRoza::style_blip(Place& /*place*/) {}
void ROViriVariruRoza::on_activate(Place& /*place*/) {}
void ROViriVariruRoza::on_prompt(Place& /*place*/) {}

}  // namespace corvalen
