// The settings a script assigns with `Name = value`, built from chart_settings.def so that a new
// setting needs no change here.
#pragma once

#include <string_view>
#include <vector>

#include "kelvane/cChart.h"

namespace kelvane::script {

struct PropertyEntry {
    std::string_view name;
    // Converts the value the way the automation interface does for the setting's type, then
    // calls the setter; conversion and setter failures both raise AutomationError.
    void (*assign)(cChart& chart, const Variant& value);
};

const std::vector<PropertyEntry>& ChartProperties();
const PropertyEntry* FindProperty(std::string_view name);

}  // namespace kelvane::script
