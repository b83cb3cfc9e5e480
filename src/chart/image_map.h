// The text of an HTML client-side image map from the records of the drawn items.
#pragma once

#include <string>
#include <vector>

#include "chart/chart_state.h"

namespace kelvane {

// One rectangular area per record, the last record first; error 5 when there are none.
std::string BuildImageMap(const std::vector<MapRecord>& records, const std::string& mapName,
                          const std::string& link, const std::string& param, const std::string& target);

}  // namespace kelvane
