// The names a script knows besides the chart's own: True/False, the enumeration constants and
// the RGB and Array functions, and unary minus.
#pragma once

#include <optional>
#include <string_view>

#include "kelvane/variant.h"

namespace kelvane::script {

// True, False and the enumeration members; none for any other name.
std::optional<Variant> FindConstant(std::string_view name);

enum class Builtin { Rgb, Array };
std::optional<Builtin> FindBuiltin(std::string_view name);
std::string_view BuiltinName(Builtin b);

// Unary minus as Basic does it: empty is 0, True negates to 1, the negated smallest Long becomes
// a Double, text is read as a number; arrays raise error 13.
Variant Negate(const Variant& v);

// r + 256*g + 65536*b; a component outside 0..255 raises error 5.
Variant Rgb(const Variant& r, const Variant& g, const Variant& b);

}  // namespace kelvane::script
