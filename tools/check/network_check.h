#pragma once
// A service's route network as its vehicles will drive it: lines the stop
// reader passes over, links to nowhere, points no vehicle reaches, routes
// that run out where nothing takes a vehicle back, and water networks where
// nothing is ever created.

#include <string>
#include <vector>

#include "tools/check/finding.h"
#include "transit/transit_service.h"

namespace check {

void check_network(corvalen::ServiceMode mode, const std::string& file,
                   const std::vector<std::string>& lines, Findings& out);

}  // namespace check
