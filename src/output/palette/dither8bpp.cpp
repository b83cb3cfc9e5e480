// mDither8bpp: the per-thread modes, the mapping of 32-bit pixels to palette indices through
// channel tables, and the removal of unused palette entries.
#include "output/palette/dither8bpp.h"

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "kelvane/runtime.h"
#include "output/palette/pal8bpp.h"
#include "raster/cdib.h"

namespace kelvane::mDither8bpp {

namespace {

// What the reduction keeps per thread: every chart of the thread shares it and later outputs
// inherit it (a GIF with a picture leaves the ordered dither on for the thread's next GIFs).
struct ReductionState {
    int32_t paletteMode = kPaletteCube;
    int32_t ditherMode = kDitherNone;
};
thread_local ReductionState t_state;

// The 4x4 ordered-dither matrix, indexed by column + 4 x row.
constexpr int kOrder[16] = {
    0,  8,  2,  10,  // row 0
    12, 4,  14, 6,   // row 1
    3,  11, 1,  9,   // row 2
    15, 7,  13, 5,   // row 3
};

// The same matrix as thresholds on the cube's 51-wide steps: round((B + 1) x 51 / 16).
constexpr int kCubeThreshold[16] = {
    3,  29, 10, 35,  // row 0
    41, 16, 48, 22,  // row 1
    13, 38, 6,  32,  // row 2
    51, 26, 45, 19,  // row 3
};

// The optimal palette is built from a copy of the picture no larger than this square.
constexpr int32_t kFitSide = 150;
constexpr int32_t kOptimalColours = 256;
constexpr int32_t kOptimalLevels = 8;

// Per dither phase (column + 4 x row) and channel value, that channel's share of the result:
// a cube index (r + 6g + 36b) or a key of the 4096-entry colour lookup (r + 16g + 256b).
struct ChannelTables {
    uint16_t red[16][256], green[16][256], blue[16][256];
};

// The tables for a level scale (CubeLevel or FineLevel) whose levels combine in base `radix`,
// each phase's channel values shifted by shift[phase] first.
std::unique_ptr<ChannelTables> channelTables(int (*level)(int), int radix, const std::array<int, 16>& shift) {
    auto t = std::make_unique<ChannelTables>();
    for (int phase = 0; phase < 16; ++phase)
        for (int v = 0; v < 256; ++v) {
            const int l = level(v + shift[size_t(phase)]);
            t->red[phase][v] = uint16_t(l);
            t->green[phase][v] = uint16_t(radix * l);
            t->blue[phase][v] = uint16_t(radix * radix * l);
        }
    return t;
}

// Cube indices: with the dither, v + 26 - t on the cube's thresholds.
std::unique_ptr<ChannelTables> cubeTables(bool ordered) {
    std::array<int, 16> shift{};
    if (ordered)
        for (int i = 0; i < 16; ++i) shift[size_t(i)] = 26 - kCubeThreshold[i];
    return channelTables(CubeLevel, 6, shift);
}

// Colour-lookup keys: with the dither, v + 8 - (B + 1). That reaches -8 for a channel at 0
// where B is 15, which is level 0 like every value below the first step.
std::unique_ptr<ChannelTables> lookupTables(bool ordered) {
    std::array<int, 16> shift{};
    if (ordered)
        for (int i = 0; i < 16; ++i) shift[size_t(i)] = 8 - (kOrder[i] + 1);
    return channelTables(FineLevel, 16, shift);
}

// The palette entry nearest to each of the 4096 colours (r x 17, g x 17, b x 17), so that no
// pixel needs a search of its own.
std::array<uint8_t, 4096> colourLookup(const cPal8bpp& palette) {
    std::array<uint8_t, 4096> lookup{};
    for (int b = 0; b < 16; ++b)
        for (int g = 0; g < 16; ++g)
            for (int r = 0; r < 16; ++r)
                lookup[size_t(b * 256 + g * 16 + r)] =
                    palette.ClosestIndex(uint8_t(r * 17), uint8_t(g * 17), uint8_t(b * 17));
    return lookup;
}

// The optimal palette from a copy of the picture fitted into 150 x 150 (proportions kept, a
// smaller picture copied whole). Each side keeps at least one pixel: a 32767 x 1 picture would
// otherwise fit into 150 x 0 and give an empty palette.
bool createOptimalPalette(const cDIB& source, cPal8bpp& palette) {
    int32_t x = 0, y = 0, width = 0, height = 0;
    source.GetBestFitInfo(kFitSide, kFitSide, x, y, width, height);
    cDIB copy;
    if (!copy.Create(std::max(width, 1), std::max(height, 1), 32)) return false;
    source.Stretch(copy.hDIBDC(), 0, 0, copy.Width(), copy.Height());
    palette.CreateOptimal(copy, kOptimalColours, kOptimalLevels, 1.0f, 1.0f, 1.0f);
    return true;
}

// Without the dither only phase 0 is read, which keeps the tables in use small.
template <bool kThroughLookup, bool kOrdered>
void mapPixels(const cDIB& source, cDIB& destination, const ChannelTables& t,
               const uint8_t* lookup) {
    const int32_t width = source.Width();
    for (int32_t y = 0; y < source.Height(); ++y) {
        const uint8_t* s = source.lpBits() + size_t(y) * size_t(source.BytesPerScanLine());
        uint8_t* d = destination.lpBits() + size_t(y) * size_t(destination.BytesPerScanLine());
        const int rowPhase = kOrdered ? (y & 3) * 4 : 0;
        for (int32_t x = 0; x < width; ++x, s += 4) {
            const int phase = kOrdered ? rowPhase + (x & 3) : 0;
            const unsigned key = t.red[phase][s[2]] + t.green[phase][s[1]] + t.blue[phase][s[0]];
            d[x] = kThroughLookup ? lookup[key] : uint8_t(key);
        }
    }
}

}  // namespace

void SetPaletteMode(int32_t mode) {
    if (mode != kPaletteCube && mode != kPaletteOptimal) Raise(kErrInvalidCall);
    t_state.paletteMode = mode;
}

void SetDitherMode(int32_t mode) {
    if (mode != kDitherNone && mode != kDitherOrdered) Raise(kErrInvalidCall);
    t_state.ditherMode = mode;
}

int32_t PaletteMode() { return t_state.paletteMode; }
int32_t DitherMode() { return t_state.ditherMode; }

bool ReduceTo8bpp(const cDIB& source, cDIB& destination, cPal8bpp& palette) {
    if (source.BPP() != 32 || !source.lpBits()) return false;
    const bool ordered = t_state.ditherMode == kDitherOrdered;
    const bool cube = t_state.paletteMode == kPaletteCube;
    std::array<uint8_t, 4096> lookup{};
    if (cube) {
        palette.CreateHalftone(4);
    } else {
        if (!createOptimalPalette(source, palette)) return false;
        lookup = colourLookup(palette);
        // A picture of one colour gives a one-entry palette, which no GIF can carry: a second,
        // black entry follows it, unused since the lookup was made without it.
        if (palette.Entries() < 2) palette.Entries(2);
    }
    if (!destination.Create(source.Width(), source.Height(), 8)) return false;
    destination.SetPalette(std::vector<uint8_t>(palette.lpPalette(), palette.lpPalette() + cPal8bpp::kTableBytes));
    if (cube) {
        const auto tables = cubeTables(ordered);
        if (ordered) mapPixels<false, true>(source, destination, *tables, nullptr);
        else mapPixels<false, false>(source, destination, *tables, nullptr);
    } else {
        const auto tables = lookupTables(ordered);
        if (ordered) mapPixels<true, true>(source, destination, *tables, lookup.data());
        else mapPixels<true, false>(source, destination, *tables, lookup.data());
    }
    return true;
}

void RemoveUnusedColours(cDIB& picture, cPal8bpp& palette) {
    if (picture.BPP() != 8 || !picture.lpBits()) return;
    const int32_t width = picture.Width();
    auto row = [&](int32_t y) { return picture.lpBits() + size_t(y) * size_t(picture.BytesPerScanLine()); };
    std::array<bool, 256> used{};
    for (int32_t y = 0; y < picture.Height(); ++y) {
        const uint8_t* p = row(y);
        for (int32_t x = 0; x < width; ++x) used[p[x]] = true;
    }
    // New indices in the order of the old ones. An index beyond the entry count that the
    // picture uses anyway is kept (with the colour the table holds) rather than lost.
    std::array<uint8_t, 256> renumber{};
    std::array<int, 256> from{};
    int n = 0;
    for (int i = 0; i < 256; ++i)
        if (used[size_t(i)]) {
            renumber[size_t(i)] = uint8_t(n);
            from[size_t(n++)] = i;
        }
    const int entries = palette.Entries();
    if (n == entries && (n == 0 || from[size_t(n - 1)] == n - 1)) return;
    // One colour still needs two entries: the second repeats old entry 0.
    const int count = std::max(n, 2);
    if (n == 1) from[1] = 0;
    std::vector<uint8_t> table(size_t(count) * 4, 0);
    for (int i = 0; i < count; ++i) {
        table[size_t(i) * 4] = palette.rgbB(from[size_t(i)]);
        table[size_t(i) * 4 + 1] = palette.rgbG(from[size_t(i)]);
        table[size_t(i) * 4 + 2] = palette.rgbR(from[size_t(i)]);
    }
    palette.Initialize(int16_t(count));
    for (int i = 0; i < count; ++i) {
        palette.rgbB(i, table[size_t(i) * 4]);
        palette.rgbG(i, table[size_t(i) * 4 + 1]);
        palette.rgbR(i, table[size_t(i) * 4 + 2]);
    }
    picture.SetPalette(table);
    for (int32_t y = 0; y < picture.Height(); ++y) {
        uint8_t* p = row(y);
        for (int32_t x = 0; x < width; ++x) p[x] = renumber[p[x]];
    }
}

}  // namespace kelvane::mDither8bpp
