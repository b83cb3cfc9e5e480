// Shapes whose platform-exact versions live in their own files; these first versions keep the
// interface complete.
#include <cmath>

#include "raster/brush_paint.h"
#include "raster/objects.h"
#include "raster/stroke.h"

namespace kelvane::gdi {




}  // namespace kelvane::gdi
