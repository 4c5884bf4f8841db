#include "autoservice/fuel_model.h"

namespace corvalen {

void FuelModel::forget_vehicles() {}

}  // namespace corvalen
