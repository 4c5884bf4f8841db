#include "garage/garage_controller.h"

namespace corvalen {

void GarageController::read_car_file() {}

void GarageController::write_car_file() {}

}  // namespace corvalen
