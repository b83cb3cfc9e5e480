// BMP files: the header variants (core, info, V2 to V5, OS/2), 1 to 32 bits per pixel, colour
// tables, bit-field masks and RLE8/RLE4. Every size field is checked against the file first.
#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "picture/decode_picture.h"

namespace kelvane::decode {

namespace {

constexpr uint16_t kSignature = 0x4D42;  // "BM"
constexpr uint64_t kFileHeaderSize = 14;

// Info header sizes, by the layout they announce.
constexpr uint32_t kCoreHeader = 12;  // 16-bit sizes, 3-byte colour table entries
constexpr uint32_t kInfoHeader = 40;
constexpr uint32_t kV2Header = 52;    // + red, green, blue masks
constexpr uint32_t kV3Header = 56;    // + alpha mask
constexpr uint32_t kOs2Header = 64;   // info layout; compressions 3 and 4 mean other things
constexpr uint32_t kV4Header = 108;
constexpr uint32_t kV5Header = 124;

enum Compression : uint32_t {
    kRgb = 0,
    kRle8 = 1,
    kRle4 = 2,
    kBitfields = 3,
    kAlphaBitfields = 6,
};

// RLE escape codes, the byte after a zero count.
enum : uint8_t { kEndOfLine = 0, kEndOfBitmap = 1, kDelta = 2 };

class Bytes {
public:
    explicit Bytes(std::span<const uint8_t> data) : m_data(data) {}
    uint64_t size() const { return m_data.size(); }
    bool has(uint64_t offset, uint64_t count) const {
        return offset <= m_data.size() && count <= m_data.size() - offset;
    }
    const uint8_t* at(uint64_t offset) const { return m_data.data() + offset; }
    // Callers check has() first.
    uint16_t u16(uint64_t o) const { return uint16_t(m_data[o] | m_data[o + 1] << 8); }
    uint32_t u32(uint64_t o) const {
        return uint32_t(m_data[o]) | uint32_t(m_data[o + 1]) << 8 | uint32_t(m_data[o + 2]) << 16 |
               uint32_t(m_data[o + 3]) << 24;
    }

private:
    std::span<const uint8_t> m_data;
};

// One colour channel of a 16- or 32-bit pixel, picked out by a contiguous mask and widened to 8
// bits by repeating its bits, so that full scale stays full scale (31 of 5 bits gives 255).
class Channel {
public:
    bool set(uint32_t mask) {
        m_bits = 0;
        if (mask == 0) return true;  // a missing channel reads as 0
        m_shift = std::countr_zero(mask);
        const uint32_t field = mask >> m_shift;
        if ((field & (field + 1)) != 0) return false;  // holes in the mask
        m_bits = std::popcount(field);
        if (m_bits < 8) {
            for (uint32_t v = 0; v < (1u << m_bits); ++v) {
                uint32_t wide = 0;
                int filled = 0;
                for (; filled < 8; filled += m_bits) wide = wide << m_bits | v;
                m_widen[v] = uint8_t(wide >> (filled - 8));
            }
        }
        return true;
    }
    uint8_t operator()(uint32_t pixel) const {
        if (m_bits == 0) return 0;
        const uint32_t v = pixel >> m_shift;
        if (m_bits >= 8) return uint8_t(v >> (m_bits - 8));
        return m_widen[v & ((1u << m_bits) - 1)];
    }

private:
    int m_shift = 0, m_bits = 0;
    std::array<uint8_t, 128> m_widen{};
};

struct Layout {
    int64_t width = 0, height = 0;
    bool topDown = false;
    int bpp = 0;
    uint32_t compression = kRgb;
    uint32_t masks[3] = {};  // red, green, blue
    uint64_t tableOffset = 0;
    uint64_t tableEntries = 0;
    uint64_t entrySize = 4;
    uint64_t pixelOffset = 0;
};

// Bytes per stored row of uncompressed pixels, rounded up to whole 32-bit words.
uint64_t rowBytes(const Layout& l) { return ((uint64_t(l.width) * uint64_t(l.bpp) + 31) / 32) * 4; }

bool knownInfoSize(uint32_t size) {
    return size == kInfoHeader || size == kV2Header || size == kV3Header || size == kOs2Header ||
           size == kV4Header || size == kV5Header;
}

bool parseLayout(const Bytes& b, Layout& l) {
    if (!b.has(0, kFileHeaderSize + 4) || b.u16(0) != kSignature) return false;
    const uint32_t offBits = b.u32(10);
    const uint32_t infoSize = b.u32(kFileHeaderSize);
    if (!b.has(kFileHeaderSize, infoSize)) return false;
    const uint64_t info = kFileHeaderSize;
    uint32_t planes = 0, coloursUsed = 0;
    if (infoSize == kCoreHeader) {
        l.width = b.u16(info + 4);
        l.height = b.u16(info + 6);
        planes = b.u16(info + 8);
        l.bpp = b.u16(info + 10);
        l.entrySize = 3;
        if (l.bpp != 1 && l.bpp != 4 && l.bpp != 8 && l.bpp != 24) return false;
    } else if (knownInfoSize(infoSize)) {
        l.width = int32_t(b.u32(info + 4));
        const int64_t height = int32_t(b.u32(info + 8));
        l.topDown = height < 0;
        l.height = height < 0 ? -height : height;
        planes = b.u16(info + 12);
        l.bpp = b.u16(info + 14);
        l.compression = b.u32(info + 16);
        coloursUsed = b.u32(info + 32);
        if (infoSize == kOs2Header && l.compression > kRle4) return false;
    } else {
        return false;
    }
    if (planes != 1 || l.width < 1 || l.height < 1) return false;

    uint64_t next = info + infoSize;
    switch (l.compression) {
    case kRgb:
        if (l.bpp == 16) {
            l.masks[0] = 0x7C00, l.masks[1] = 0x03E0, l.masks[2] = 0x001F;
        } else if (l.bpp == 32) {
            l.masks[0] = 0xFF0000, l.masks[1] = 0xFF00, l.masks[2] = 0xFF;
        } else if (l.bpp != 1 && l.bpp != 4 && l.bpp != 8 && l.bpp != 24) {
            return false;
        }
        break;
    case kRle8:
    case kRle4:
        // Compressed rows run bottom-up only.
        if (l.bpp != (l.compression == kRle8 ? 8 : 4) || l.topDown) return false;
        break;
    case kBitfields:
    case kAlphaBitfields: {
        if (l.bpp != 16 && l.bpp != 32) return false;
        // The masks sit in the header from V2 on, after a plain info header otherwise.
        const uint64_t maskAt = infoSize >= kV2Header ? info + kInfoHeader : next;
        if (!b.has(maskAt, 12)) return false;
        for (int i = 0; i < 3; ++i) l.masks[i] = b.u32(maskAt + 4 * uint64_t(i));
        if (infoSize == kInfoHeader) next += l.compression == kAlphaBitfields ? 16 : 12;
        break;
    }
    default:
        return false;
    }

    // Palette depths have a colour table (all 2^bpp entries unless fewer are declared); the
    // others may carry an optional one, which only shifts where the pixels begin.
    const uint64_t fullTable = l.bpp <= 8 ? uint64_t{1} << l.bpp : 0;
    uint64_t declared = coloursUsed ? coloursUsed : fullTable;
    if (l.bpp <= 8) declared = std::min(declared, fullTable);
    l.tableOffset = next;
    if (offBits != 0) {
        if (offBits < next || offBits >= b.size()) return false;
        l.pixelOffset = offBits;
        // Pixels that start before the declared table ends cut the table short.
        declared = std::min(declared, (offBits - next) / l.entrySize);
    } else {
        l.pixelOffset = next + declared * l.entrySize;  // declared < 2^32: no overflow
    }
    l.tableEntries = l.bpp <= 8 ? declared : 0;
    return b.has(l.tableOffset, l.tableEntries * l.entrySize);
}

// The colour table as 0x00RRGGBB; entries the file lacks stay black.
std::array<uint32_t, 256> readTable(const Bytes& b, const Layout& l) {
    std::array<uint32_t, 256> table{};
    for (uint64_t i = 0; i < l.tableEntries; ++i) {
        const uint8_t* e = b.at(l.tableOffset + i * l.entrySize);
        table[i] = uint32_t(e[2]) << 16 | uint32_t(e[1]) << 8 | e[0];
    }
    return table;
}

// Uncompressed rows, all of which the caller has found present in the file.
bool decodeRows(const Bytes& b, const Layout& l, const std::array<uint32_t, 256>& table,
                RgbTarget& out) {
    const uint64_t stride = rowBytes(l);
    Channel red, green, blue;
    if (l.bpp >= 16 && !(red.set(l.masks[0]) && green.set(l.masks[1]) && blue.set(l.masks[2])))
        return false;
    const int32_t w = out.width();
    for (int32_t i = 0; i < out.height(); ++i) {
        const uint8_t* src = b.at(l.pixelOffset + uint64_t(i) * stride);
        uint8_t* dst = out.row(l.topDown ? i : out.height() - 1 - i);
        switch (l.bpp) {
        case 1:
            for (int32_t x = 0; x < w; ++x) putRgb(dst + 3 * x, table[(src[x >> 3] >> (7 - (x & 7))) & 1]);
            break;
        case 4:
            for (int32_t x = 0; x < w; ++x) putRgb(dst + 3 * x, table[(src[x >> 1] >> ((x & 1) ? 0 : 4)) & 15]);
            break;
        case 8:
            for (int32_t x = 0; x < w; ++x) putRgb(dst + 3 * x, table[src[x]]);
            break;
        case 24:
            std::memcpy(dst, src, size_t(w) * 3);
            break;
        default: {
            const int bytes = l.bpp / 8;
            for (int32_t x = 0; x < w; ++x) {
                const uint8_t* p = src + size_t(x) * bytes;
                const uint32_t v = bytes == 2 ? uint32_t(p[0] | p[1] << 8)
                                              : uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 |
                                                    uint32_t(p[3]) << 24;
                dst[3 * x] = blue(v);
                dst[3 * x + 1] = green(v);
                dst[3 * x + 2] = red(v);
            }
            break;
        }
        }
    }
    return true;
}

// RLE8/RLE4: runs, absolute runs, deltas and line ends, up to the end-of-bitmap code. Pixels the
// stream never sets stay black; pixels it places outside the picture are dropped. A stream that
// ends before its end-of-bitmap code is a truncated file.
bool decodeRle(const Bytes& b, const Layout& l, const std::array<uint32_t, 256>& table, RgbTarget& out) {
    const bool rle8 = l.compression == kRle8;
    const int64_t w = out.width(), h = out.height();
    int64_t x = 0, line = 0;  // line counts from the bottom row
    uint64_t pos = l.pixelOffset;
    // How many of the n pixels of a run starting at x land inside the picture.
    auto visible = [&](int64_t n) { return (line < h && x < w) ? std::min(n, w - x) : int64_t{0}; };
    for (;;) {
        if (!b.has(pos, 2)) return false;
        const uint8_t count = *b.at(pos), value = *b.at(pos + 1);
        pos += 2;
        if (count > 0) {
            const int64_t n = visible(count);
            if (n > 0) {
                uint8_t* dst = out.row(int32_t(h - 1 - line)) + 3 * x;
                for (int64_t k = 0; k < n; ++k) {
                    const uint8_t index = rle8 ? value : ((k & 1) ? value & 15 : value >> 4);
                    putRgb(dst + 3 * k, table[index]);
                }
            }
            x += count;
        } else if (value == kEndOfLine) {
            x = 0;
            ++line;
        } else if (value == kEndOfBitmap) {
            return true;
        } else if (value == kDelta) {
            if (!b.has(pos, 2)) return false;
            x += *b.at(pos);
            line += *b.at(pos + 1);
            pos += 2;
        } else {
            const uint64_t dataBytes = rle8 ? value : (uint64_t(value) + 1) / 2;
            const uint64_t padded = (dataBytes + 1) & ~uint64_t{1};  // absolute runs keep word alignment
            if (!b.has(pos, padded)) return false;
            const uint8_t* src = b.at(pos);
            const int64_t n = visible(value);
            if (n > 0) {
                uint8_t* dst = out.row(int32_t(h - 1 - line)) + 3 * x;
                for (int64_t k = 0; k < n; ++k) {
                    const uint8_t index = rle8 ? src[k] : ((k & 1) ? src[k / 2] & 15 : src[k / 2] >> 4);
                    putRgb(dst + 3 * k, table[index]);
                }
            }
            x += value;
            pos += padded;
        }
    }
}

}  // namespace

gdi::Owned<gdi::HBITMAP> DecodeBmp(std::span<const uint8_t> bytes, const DecodeLimits& limits) {
    const Bytes b(bytes);
    Layout l;
    if (!parseLayout(b, l)) return {};
    // Uncompressed pixels must all be present before the picture is made.
    if (l.compression != kRle8 && l.compression != kRle4) {
        const uint64_t stride = rowBytes(l);
        if (uint64_t(l.height) > b.size() / stride || !b.has(l.pixelOffset, stride * uint64_t(l.height)))
            return {};
    }
    RgbTarget out;
    if (!out.create(l.width, l.height, limits)) return {};
    const std::array<uint32_t, 256> table = readTable(b, l);
    const bool ok = (l.compression == kRle8 || l.compression == kRle4) ? decodeRle(b, l, table, out)
                                                                       : decodeRows(b, l, table, out);
    if (!ok) return {};
    return out.take();
}

}  // namespace kelvane::decode
