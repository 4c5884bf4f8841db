#pragma once
// The spots of the data folder: stations and car parks that nothing can be
// inside, property keys the database holds twice, owned keys of a save that
// name no property, and stored cars that a load would move to the fallback
// row.

#include <string>
#include <vector>

#include "tools/check/finding.h"

namespace check {

void check_stations(const std::string& file, const std::vector<std::string>& lines, Findings& out);
void check_lots(const std::string& file, const std::vector<std::string>& lines, Findings& out);
void check_properties(const std::string& file, const std::vector<std::string>& lines,
                      Findings& out);
// `database` is the property database's lines.
void check_owned_keys(const std::string& file, const std::vector<std::string>& lines,
                      const std::vector<std::string>& database, Findings& out);
void check_cars(const std::string& file, const std::vector<std::string>& lines, Findings& out);

}  // namespace check
