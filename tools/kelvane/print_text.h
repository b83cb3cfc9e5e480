// The text the print statement shows for a value.
#pragma once

#include <string>

#include "value.h"

namespace kelvane::script {

// Strings as they are; Singles with seven digits, other numbers via the runtime's number text;
// booleans True/False; empty as an empty line; byte arrays as "<N bytes>"; arrays as an Array(...)
// expression that would build them.
std::string PrintText(const Value& value);

}  // namespace kelvane::script
