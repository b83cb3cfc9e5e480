// Helpers for the GIF tests: decoding with giflib (an independent decoder), the stream's blocks
// as the tests inspect them, and 32-bit surfaces filled from a colour function.
#pragma once

#include <gif_lib.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "raster/cdib.h"

namespace kelvane::giftest {

struct Decoded {
    bool ok = false;
    std::string message;
    std::string version;  // "87a" or "89a"
    int width = 0, height = 0;
    bool interlaced = false;
    std::vector<std::array<uint8_t, 3>> colours;  // the global colour table: red, green, blue
    std::vector<uint8_t> indices;                 // top row first, de-interlaced by giflib
    std::array<uint8_t, 3> rgb(int x, int y) const {
        return colours[indices[size_t(y) * size_t(width) + size_t(x)]];
    }
};

namespace detail {
struct Source {
    const std::vector<uint8_t>* bytes;
    size_t at = 0;
};
inline int read(GifFileType* gif, GifByteType* out, int wanted) {
    auto* s = static_cast<Source*>(gif->UserData);
    const size_t n = std::min(size_t(wanted), s->bytes->size() - s->at);
    std::memcpy(out, s->bytes->data() + s->at, n);
    s->at += n;
    return int(n);
}
}  // namespace detail

// The first image of a GIF stream, read by giflib's DGifSlurp.
inline Decoded decodeGif(const std::vector<uint8_t>& bytes) {
    Decoded d;
    detail::Source source{&bytes};
    int error = 0;
    GifFileType* gif = DGifOpen(&source, detail::read, &error);
    if (!gif) {
        d.message = GifErrorString(error);
        return d;
    }
    if (DGifSlurp(gif) != GIF_OK || gif->ImageCount < 1 || !gif->SColorMap) {
        d.message = GifErrorString(gif->Error);
        DGifCloseFile(gif, &error);
        return d;
    }
    d.version = bytes.size() >= 6 ? std::string(bytes.begin() + 3, bytes.begin() + 6) : "";
    const SavedImage& image = gif->SavedImages[0];
    d.width = image.ImageDesc.Width;
    d.height = image.ImageDesc.Height;
    d.interlaced = image.ImageDesc.Interlace;
    for (int i = 0; i < gif->SColorMap->ColorCount; ++i) {
        const GifColorType& c = gif->SColorMap->Colors[i];
        d.colours.push_back({c.Red, c.Green, c.Blue});
    }
    d.indices.assign(image.RasterBits, image.RasterBits + size_t(d.width) * size_t(d.height));
    d.ok = gif->SWidth == d.width && gif->SHeight == d.height;
    if (!d.ok) d.message = "the screen and the image differ in size";
    DGifCloseFile(gif, &error);
    return d;
}

// Where the blocks of one of our streams stand: the fixed layout of a single image with a
// global colour table, followed byte by byte.
struct Layout {
    bool ok = false;
    uint8_t packed = 0, descriptor = 0, minimumCodeSize = 0;
    size_t tableBytes = 0;
    std::vector<size_t> subBlocks;  // data sub-block lengths
    std::vector<uint8_t> data;      // the LZW bytes, sub-blocks joined
    bool terminated = false;        // 0x00 0x3B close the stream exactly
};

inline Layout layoutOf(const std::vector<uint8_t>& s) {
    Layout l;
    size_t at = 13;
    if (s.size() < at) return l;
    l.packed = s[10];
    l.tableBytes = size_t(3) << ((l.packed & 7) + 1);
    at += l.tableBytes;
    while (at < s.size() && s[at] == 0x21) {  // extensions
        at += 2;
        while (at < s.size() && s[at] != 0) at += s[at] + 1;
        ++at;
    }
    if (at + 11 > s.size() || s[at] != 0x2C) return l;
    l.descriptor = s[at + 9];
    l.minimumCodeSize = s[at + 10];
    at += 11;
    while (at < s.size() && s[at] != 0) {
        const size_t n = s[at];
        if (at + 1 + n > s.size()) return l;
        l.subBlocks.push_back(n);
        l.data.insert(l.data.end(), s.begin() + long(at) + 1, s.begin() + long(at + 1 + n));
        at += n + 1;
    }
    l.terminated = at + 2 == s.size() && s[at] == 0 && s[at + 1] == 0x3B;
    l.ok = true;
    return l;
}

// The codes of an LZW data stream: how many, the largest width used, and how many clear codes
// came after the first (each of them with the table full at 4096 entries).
struct CodeStats {
    long codes = 0;
    int widest = 0;
    int laterClears = 0;
    bool clearsOnlyWhenFull = true;
    bool endsWithEndCode = false;
};

inline CodeStats codeStats(const std::vector<uint8_t>& data, int minimumCodeSize) {
    CodeStats st;
    const int clear = 1 << minimumCodeSize, end = clear + 1;
    int width = minimumCodeSize + 1, next = clear + 2;
    bool first = true;
    size_t bit = 0;
    while (bit + size_t(width) <= data.size() * 8) {
        int code = 0;
        for (int i = 0; i < width; ++i, ++bit) code |= ((data[bit / 8] >> (bit % 8)) & 1) << i;
        ++st.codes;
        st.widest = std::max(st.widest, width);
        if (code == end) {
            st.endsWithEndCode = true;
            break;
        }
        if (code == clear) {
            if (st.codes > 1) {
                ++st.laterClears;
                st.clearsOnlyWhenFull = st.clearsOnlyWhenFull && next == 4096;
            }
            width = minimumCodeSize + 1;
            next = clear + 2;
            first = true;
            continue;
        }
        if (!first && next < 4096) ++next;
        first = false;
        if (next == (1 << width) && width < 12) ++width;
    }
    return st;
}

// A 32-bit cDIB of w x h whose pixel (x, y) is colour(x, y) as 0x00RRGGBB.
inline void fill32(cDIB& dib, int w, int h, const std::function<uint32_t(int, int)>& colour) {
    dib.Create(w, h, 32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t c = colour(x, y);
            uint8_t* p = dib.lpBits() + size_t(y) * size_t(dib.BytesPerScanLine()) + size_t(x) * 4;
            p[0] = uint8_t(c);
            p[1] = uint8_t(c >> 8);
            p[2] = uint8_t(c >> 16);
            p[3] = 0;
        }
}

// An 8-bit cDIB whose pixel (x, y) is index(x, y).
inline void fill8(cDIB& dib, int w, int h, const std::function<uint8_t(int, int)>& index) {
    dib.Create(w, h, 8);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) dib.lpBits()[size_t(y) * size_t(dib.BytesPerScanLine()) + size_t(x)] = index(x, y);
}

}  // namespace kelvane::giftest
