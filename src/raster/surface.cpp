// Pixel access for every surface depth; palette depths map colours to the nearest table entry.
#include "raster/surface.h"

#include <cstdlib>
#include <cstring>

namespace kelvane::gdi {

namespace {

bool validFormat(int width, int height, int bpp) {
    if (width < 1 || height < 1 || width > kMaxSurfaceSide || height > kMaxSurfaceSide) return false;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return false;
    return size_t(Surface::strideFor(width, bpp)) * size_t(height) <= kMaxSurfaceBytes;
}

}  // namespace

bool Surface::wrap(void* bits, int width, int height, int bpp, bool topDown) {
    m_owned.reset();
    m_data = nullptr;
    m_width = m_height = m_bpp = m_stride = 0;
    m_colours.clear();
    if (!bits || !validFormat(width, height, bpp)) return false;
    m_data = static_cast<uint8_t*>(bits);
    m_width = width;
    m_height = height;
    m_bpp = bpp;
    m_stride = strideFor(width, bpp);
    m_topDown = topDown;
    if (bpp <= 8) m_colours.assign(size_t{1} << bpp, RGBQUAD{0, 0, 0, 0});
    return true;
}

bool Surface::allocate(int width, int height, int bpp, bool topDown) {
    m_owned.reset();
    m_data = nullptr;
    m_width = m_height = m_bpp = m_stride = 0;
    m_colours.clear();
    if (!validFormat(width, height, bpp)) return false;
    const int stride = strideFor(width, bpp);
    const size_t bytes = size_t(stride) * size_t(height);
    // A block the thread used before (zeroed here), or new pages, which read as zero untouched.
    m_owned.reset(spare::take(bytes, true));
    if (!m_owned) return false;
    m_data = m_owned.get();
    m_width = width;
    m_height = height;
    m_bpp = bpp;
    m_stride = stride;
    m_topDown = topDown;
    if (bpp <= 8) m_colours.assign(size_t{1} << bpp, RGBQUAD{0, 0, 0, 0});
    return true;
}

uint32_t Surface::encode(COLORREF c) const {
    if (m_bpp == 24 || m_bpp == 32)
        return uint32_t(GetBValue(c)) | uint32_t(GetGValue(c)) << 8 | uint32_t(GetRValue(c)) << 16;
    // Nearest entry of the colour table; the first of equally near entries wins.
    uint32_t best = 0;
    long bestDistance = -1;
    for (size_t i = 0; i < m_colours.size(); ++i) {
        const long dr = long(m_colours[i].rgbRed) - GetRValue(c);
        const long dg = long(m_colours[i].rgbGreen) - GetGValue(c);
        const long db = long(m_colours[i].rgbBlue) - GetBValue(c);
        const long d = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || d < bestDistance) {
            bestDistance = d;
            best = uint32_t(i);
            if (d == 0) break;
        }
    }
    return best;
}

COLORREF Surface::pixel(int x, int y) const {
    const uint8_t* r = row(y);
    switch (m_bpp) {
    case 24: {
        const uint8_t* p = r + size_t(x) * 3;
        return RGB(p[2], p[1], p[0]);
    }
    case 32: {
        const uint8_t* p = r + size_t(x) * 4;
        return RGB(p[2], p[1], p[0]);
    }
    default: {
        uint32_t index;
        if (m_bpp == 8) index = r[x];
        else if (m_bpp == 4) index = (r[x / 2] >> ((x & 1) ? 0 : 4)) & 0x0F;
        else index = (r[x / 8] >> (7 - (x & 7))) & 1;
        const RGBQUAD& q = m_colours[index];
        return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
    }
    }
}

void Surface::setPixel(int x, int y, COLORREF c) { fillSpan(y, x, x + 1, c); }

namespace {

// n pixels of B, G, R from p: one memset for greys, else eight pixels (three 8-byte words of the
// repeating pattern) a step.
void fill24(uint8_t* p, size_t n, uint32_t v) {
    const uint8_t b = uint8_t(v), g = uint8_t(v >> 8), r = uint8_t(v >> 16);
    if (b == g && g == r) {
        std::memset(p, b, n * 3);
        return;
    }
    uint8_t pattern[24];
    for (int i = 0; i < 24; i += 3) {
        pattern[i] = b;
        pattern[i + 1] = g;
        pattern[i + 2] = r;
    }
    uint64_t w[3];
    std::memcpy(w, pattern, sizeof w);
    for (; n >= 8; n -= 8, p += 24) {
        std::memcpy(p, &w[0], 8);
        std::memcpy(p + 8, &w[1], 8);
        std::memcpy(p + 16, &w[2], 8);
    }
    std::memcpy(p, pattern, n * 3);
}

}  // namespace

void Surface::fillSpan(int y, int x0, int x1, COLORREF c) {
    if (x0 >= x1) return;
    uint8_t* r = row(y);
    const uint32_t v = encode(c);
    switch (m_bpp) {
    case 24:
        fill24(r + size_t(x0) * 3, size_t(x1 - x0), v);
        break;
    case 32: {
        uint8_t* p = r + size_t(x0) * 4;
        for (int x = x0; x < x1; ++x, p += 4) std::memcpy(p, &v, 4);  // little-endian B,G,R,0
        break;
    }
    case 8:
        std::memset(r + x0, int(v), size_t(x1 - x0));
        break;
    case 4:
        for (int x = x0; x < x1; ++x) {
            uint8_t& byte = r[x / 2];
            byte = (x & 1) ? uint8_t((byte & 0xF0) | v) : uint8_t((byte & 0x0F) | (v << 4));
        }
        break;
    default:
        for (int x = x0; x < x1; ++x) {
            const uint8_t bit = uint8_t(0x80 >> (x & 7));
            r[x / 8] = v ? uint8_t(r[x / 8] | bit) : uint8_t(r[x / 8] & ~bit);
        }
        break;
    }
}

}  // namespace kelvane::gdi
