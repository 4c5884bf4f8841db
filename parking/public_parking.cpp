#include "parking/public_parking.h"

#include "core/data_folder.h"

namespace corvalen {

PublicParking::PublicParking(std::string identity_text) : save_identity(std::move(identity_text)) {}

void PublicParking::set_save_identity(const std::string& text) {
    save_identity = text;
    garage.set_car_file(data_path(make_save_folder(data_folder, save_identity), car_file_name));
}

void PublicParking::load_lots() {}

void PublicParking::tick() {
    // Lots, parked vehicles and the editor items come with the parking work;
    // the menu already opens from the main menu.
    menu.process();
}

}  // namespace corvalen
