// cPal8bpp: the entry table, the halftone cubes and the nearest-entry search.
#include "output/palette/pal8bpp.h"

#include "kelvane/runtime.h"

namespace kelvane {

size_t cPal8bpp::offset(int32_t index) {
    if (index < 0 || index >= kMaxEntries) Raise(kErrSubscript);
    return size_t(index) * 4;
}

void cPal8bpp::Initialize(int16_t entries) {
    if (entries < 0 || entries > kMaxEntries) Raise(kErrSubscript);
    m_entries = entries;
    m_table.fill(0);
}

void cPal8bpp::Entries(int16_t entries) {
    if (entries < 0 || entries > kMaxEntries) Raise(kErrSubscript);
    m_entries = entries;
}

void cPal8bpp::append(uint8_t r, uint8_t g, uint8_t b) {
    const size_t at = offset(m_entries);
    m_table[at] = b;
    m_table[at + 1] = g;
    m_table[at + 2] = r;
    m_table[at + 3] = 0;
    ++m_entries;
}

void cPal8bpp::CreateHalftone(int32_t levels) {
    // Step between channel values for levels 0 to 4; a value of 256 is written as 255.
    static constexpr int kSteps[] = {256, 128, 85, 64, 51};
    if (levels < 0 || levels > 4) Raise(kErrInvalidCall);
    const int step = kSteps[levels];
    auto channel = [](int v) { return uint8_t(v > 255 ? 255 : v); };
    Initialize(0);
    for (int b = 0; b <= 256; b += step)
        for (int g = 0; g <= 256; g += step)
            for (int r = 0; r <= 256; r += step) append(channel(r), channel(g), channel(b));
}

uint8_t cPal8bpp::ClosestIndex(uint8_t r, uint8_t g, uint8_t b) const {
    int best = 0;
    int bestDistance = 3 * 255 * 255 + 1;
    for (int i = 0; i < m_entries; ++i) {
        const uint8_t* e = &m_table[size_t(i) * 4];
        const int db = int(e[0]) - b, dg = int(e[1]) - g, dr = int(e[2]) - r;
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return uint8_t(best);
}

}  // namespace kelvane
