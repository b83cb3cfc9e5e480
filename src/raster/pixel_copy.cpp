// Row conversion between surface formats and rectangle copies, with byte copies when the
// formats agree.
#include "raster/pixel_copy.h"

#include <algorithm>
#include <cstring>

namespace kelvane::gdi {

namespace {

bool sameTable(const Surface& a, const Surface& b) {
    if (a.colours().size() != b.colours().size()) return false;
    return std::equal(a.colours().begin(), a.colours().end(), b.colours().begin(),
                      [](const RGBQUAD& p, const RGBQUAD& q) {
                          return p.rgbRed == q.rgbRed && p.rgbGreen == q.rgbGreen &&
                                 p.rgbBlue == q.rgbBlue;
                      });
}

bool sameFormat(const Surface& a, const Surface& b) {
    return a.bpp() == b.bpp() && (a.bpp() > 8 || sameTable(a, b));
}

uint32_t indexAt(const uint8_t* row, int bpp, int x) {
    if (bpp == 8) return row[x];
    if (bpp == 4) return (row[x / 2] >> ((x & 1) ? 0 : 4)) & 0x0F;
    return (row[x / 8] >> (7 - (x & 7))) & 1;
}

void putIndex(uint8_t* row, int bpp, int x, uint32_t v) {
    if (bpp == 8) {
        row[x] = uint8_t(v);
    } else if (bpp == 4) {
        uint8_t& byte = row[x / 2];
        byte = (x & 1) ? uint8_t((byte & 0xF0) | v) : uint8_t((byte & 0x0F) | (v << 4));
    } else {
        const uint8_t bit = uint8_t(0x80 >> (x & 7));
        row[x / 8] = v ? uint8_t(row[x / 8] | bit) : uint8_t(row[x / 8] & ~bit);
    }
}

// Nearest entry of a colour table by squared distance; the first of equally near entries wins.
uint32_t nearestEntry(const std::vector<RGBQUAD>& table, uint32_t rgb) {
    const int r = int(rgb >> 16 & 0xFF), g = int(rgb >> 8 & 0xFF), b = int(rgb & 0xFF);
    uint32_t best = 0;
    long bestDistance = -1;
    for (size_t i = 0; i < table.size(); ++i) {
        const long dr = long(table[i].rgbRed) - r, dg = long(table[i].rgbGreen) - g,
                   db = long(table[i].rgbBlue) - b;
        const long d = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || d < bestDistance) {
            bestDistance = d;
            best = uint32_t(i);
            if (d == 0) break;
        }
    }
    return best;
}

constexpr size_t kCacheSlots = 4096;

size_t cacheSlot(uint32_t rgb) { return ((rgb * 2654435761u) >> 20) & (kCacheSlots - 1); }

}  // namespace

RowReader::RowReader(const Surface& s) : m_s(s) {
    for (size_t i = 0; i < s.colours().size() && i < m_table.size(); ++i) {
        const RGBQUAD& q = s.colours()[i];
        m_table[i] = uint32_t(q.rgbRed) << 16 | uint32_t(q.rgbGreen) << 8 | q.rgbBlue;
    }
}

void RowReader::read(int y, int x0, int n, uint32_t* out) const {
    const uint8_t* row = m_s.row(y);
    switch (m_s.bpp()) {
    case 32: {
        const uint8_t* p = row + size_t(x0) * 4;
        for (int i = 0; i < n; ++i, p += 4) out[i] = uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
        break;
    }
    case 24: {
        const uint8_t* p = row + size_t(x0) * 3;
        for (int i = 0; i < n; ++i, p += 3) out[i] = uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
        break;
    }
    case 8: {
        const uint8_t* p = row + x0;
        for (int i = 0; i < n; ++i) out[i] = m_table[p[i]];
        break;
    }
    default:
        for (int i = 0; i < n; ++i) out[i] = m_table[indexAt(row, m_s.bpp(), x0 + i)];
        break;
    }
}

RowWriter::RowWriter(Surface& s) : m_s(s) {
    if (s.bpp() <= 8) m_cache.assign(kCacheSlots, 0);
}

uint32_t RowWriter::index(uint32_t rgb) {
    uint64_t& slot = m_cache[cacheSlot(rgb)];
    if ((slot >> 8) == uint64_t(rgb) + 1) return uint32_t(slot & 0xFF);
    const uint32_t i = nearestEntry(m_s.colours(), rgb);
    slot = (uint64_t(rgb) + 1) << 8 | i;
    return i;
}

void RowWriter::write(int y, int x0, int n, const uint32_t* rgb) {
    uint8_t* row = m_s.row(y);
    switch (m_s.bpp()) {
    case 32: {
        uint8_t* p = row + size_t(x0) * 4;
        for (int i = 0; i < n; ++i, p += 4) {
            const uint32_t v = rgb[i] & 0x00FFFFFF;  // the fourth byte is written as zero
            std::memcpy(p, &v, 4);
        }
        break;
    }
    case 24: {
        uint8_t* p = row + size_t(x0) * 3;
        for (int i = 0; i < n; ++i, p += 3) {
            p[0] = uint8_t(rgb[i]);
            p[1] = uint8_t(rgb[i] >> 8);
            p[2] = uint8_t(rgb[i] >> 16);
        }
        break;
    }
    case 8:
        for (int i = 0; i < n; ++i) row[x0 + i] = uint8_t(index(rgb[i]));
        break;
    default:
        for (int i = 0; i < n; ++i) putIndex(row, m_s.bpp(), x0 + i, index(rgb[i]));
        break;
    }
}

RowSource::RowSource(const Surface& s, int x0, int x1, int y0, int y1, bool snapshot)
    : m_reader(s), m_x0(x0), m_width(x1 - x0), m_y0(y0) {
    if (snapshot) {
        m_snapshot.resize(size_t(m_width) * size_t(y1 - y0));
        for (int y = y0; y < y1; ++y)
            m_reader.read(y, x0, m_width, m_snapshot.data() + size_t(y - y0) * size_t(m_width));
    } else {
        m_line.resize(size_t(m_width));
    }
}

const uint32_t* RowSource::row(int y) {
    if (!m_snapshot.empty()) return m_snapshot.data() + size_t(y - m_y0) * size_t(m_width);
    if (y != m_current) {
        m_reader.read(y, m_x0, m_width, m_line.data());
        m_current = y;
    }
    return m_line.data();
}

void copyPixels(const Surface& src, int sx, int sy, Surface& dst, int dx, int dy, int w, int h) {
    if (w <= 0 || h <= 0) return;
    const bool self = &src == &dst;
    // Rows of one surface may overlap: copy them in the order that reads each before it is written.
    const bool upwards = self && dy > sy;
    if (sameFormat(src, dst) && src.bpp() >= 8) {
        const size_t bytesPerPixel = size_t(src.bpp() / 8);
        for (int i = 0; i < h; ++i) {
            const int r = upwards ? h - 1 - i : i;
            std::memmove(dst.row(dy + r) + size_t(dx) * bytesPerPixel,
                         src.row(sy + r) + size_t(sx) * bytesPerPixel, size_t(w) * bytesPerPixel);
        }
        return;
    }
    if (sameFormat(src, dst)) {
        // 1 and 4 bits per pixel with one colour table: the indices move unchanged.
        const bool leftwards = self && dy == sy && dx > sx;
        for (int i = 0; i < h; ++i) {
            const int r = upwards ? h - 1 - i : i;
            const uint8_t* from = src.row(sy + r);
            uint8_t* to = dst.row(dy + r);
            for (int j = 0; j < w; ++j) {
                const int c = leftwards ? w - 1 - j : j;
                putIndex(to, dst.bpp(), dx + c, indexAt(from, src.bpp(), sx + c));
            }
        }
        return;
    }
    // Different formats are never the same surface, so rows convert through one buffer.
    RowReader reader(src);
    RowWriter writer(dst);
    std::vector<uint32_t> line(static_cast<size_t>(w));
    for (int r = 0; r < h; ++r) {
        reader.read(sy + r, sx, w, line.data());
        writer.write(dy + r, dx, w, line.data());
    }
}

}  // namespace kelvane::gdi
