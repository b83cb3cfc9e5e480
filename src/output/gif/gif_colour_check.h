// The colours a GIF in the 216-colour cube shows visibly changed: only looked for when the host
// asked for the chart's warnings, on the 32-bit picture the GIF is made from, which it only reads.
#pragma once

#include <cstdint>
#include <vector>

namespace kelvane {

class cDIB;

// A colour of the picture and the nearest colour of the cube (levels 0, 51, ... 255 a channel).
struct CubeShift {
    uint8_t red, green, blue;
    uint8_t cubeRed, cubeGreen, cubeBlue;
    double distance;  // between the two in RGB: sqrt(dr^2 + dg^2 + db^2)
    int64_t pixels;   // how many pixels of the picture have the colour
};

struct CubeShiftReport {
    int64_t pixels = 0;               // of the whole picture
    std::vector<CubeShift> shifts;    // the most pixels first
};

// A change of more than this distance shows. No channel moves more than 25.5 on its way to the
// nearest level, so only a colour far off in two or three channels at once passes it.
inline constexpr double kVisibleCubeShift = 40;

// The colours of a 32-bit picture that cover at least 1 % of it and lie more than
// kVisibleCubeShift from their nearest cube colour. Memory stays bounded whatever the picture:
// candidates are kept by a frequent-items count of 100 counters (any colour on 1 % of the
// pixels is among them), then counted exactly in a second pass.
CubeShiftReport FindCubeShifts(const cDIB& picture);

}  // namespace kelvane
