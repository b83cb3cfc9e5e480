// The chart settings of the typical request (a 400 x 300 canvas, four bars of two items each,
// bars filling 0.8 of their slots), which the chart tests check their numbers against.
#pragma once

#include "kelvane/cChart.h"

namespace kelvane::test {

inline void typicalRequest(cChart& c, iDrawBarMode mode = kvSingleColor) {
    c.Width(400);
    c.Height(300);
    c.SerialBars(4);
    c.SerialItems(2);
    c.BarSpaceRate(0.8f);
    c.DrawBarMode(mode);
}

}  // namespace kelvane::test
