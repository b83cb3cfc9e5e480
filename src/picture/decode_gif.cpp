// GIF files through giflib: the first frame, rendered as a browser shows it before animating.
// The logical screen is filled with the background colour and the frame drawn at its offset in
// its own (local or global) palette; transparency is ignored, interlaced rows are put in place.
#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <vector>

#include <gif_lib.h>

#include "picture/decode_picture.h"

namespace kelvane::decode {

namespace {

struct Reader {
    std::span<const uint8_t> bytes;
    size_t position = 0;
};

int readBytes(GifFileType* gif, GifByteType* out, int wanted) {
    auto* r = static_cast<Reader*>(gif->UserData);
    const size_t n = std::min(size_t(wanted < 0 ? 0 : wanted), r->bytes.size() - r->position);
    std::memcpy(out, r->bytes.data() + r->position, n);
    r->position += n;
    return int(n);
}

struct CloseGif {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
using GifHandle = std::unique_ptr<GifFileType, CloseGif>;

// A palette as 0x00RRGGBB; indices beyond it, or without any palette, are black.
std::array<uint32_t, 256> paletteOf(const ColorMapObject* map) {
    std::array<uint32_t, 256> table{};
    if (!map || !map->Colors) return table;
    const int n = std::clamp(map->ColorCount, 0, 256);
    for (int i = 0; i < n; ++i) {
        const GifColorType& c = map->Colors[i];
        table[size_t(i)] = uint32_t(c.Red) << 16 | uint32_t(c.Green) << 8 | c.Blue;
    }
    return table;
}

// Reads records up to the first image descriptor, skipping extensions; false at the trailer or
// on any read error.
bool findFirstImage(GifFileType* gif) {
    for (;;) {
        GifRecordType type;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR) return false;
        if (type == IMAGE_DESC_RECORD_TYPE) return DGifGetImageDesc(gif) != GIF_ERROR;
        if (type != EXTENSION_RECORD_TYPE) return false;
        int code = 0;
        GifByteType* block = nullptr;
        if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) return false;
        while (block) {
            if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return false;
        }
    }
}

// Interlaced frames store rows in four passes: every 8th row from 0, every 8th from 4, every
// 4th from 2, every 2nd from 1.
struct Pass {
    int32_t start, step;
};
constexpr std::array<Pass, 4> kInterlacePasses = {{{0, 8}, {4, 8}, {2, 4}, {1, 2}}};

}  // namespace

gdi::Owned<gdi::HBITMAP> DecodeGif(std::span<const uint8_t> bytes, const DecodeLimits& limits) {
    Reader reader{bytes};
    int error = 0;
    GifHandle gif(DGifOpen(&reader, readBytes, &error));
    if (!gif || !findFirstImage(gif.get())) return {};
    const GifImageDesc& frame = gif->Image;
    const int64_t left = frame.Left, top = frame.Top, fw = frame.Width, fh = frame.Height;
    // A frame reaching past the logical screen enlarges the picture rather than losing pixels.
    const int64_t width = std::max<int64_t>(gif->SWidth, left + fw);
    const int64_t height = std::max<int64_t>(gif->SHeight, top + fh);
    RgbTarget out;
    if (!out.create(width, height, limits)) return {};

    const std::array<uint32_t, 256> global = paletteOf(gif->SColorMap);
    const uint32_t background =
        gif->SColorMap && gif->SBackGroundColor >= 0 && gif->SBackGroundColor < 256 ? global[size_t(gif->SBackGroundColor)] : 0;
    for (int32_t y = 0; y < out.height(); ++y) {
        uint8_t* row = out.row(y);
        for (int32_t x = 0; x < out.width(); ++x) putRgb(row + 3 * x, background);
    }
    if (fw == 0 || fh == 0) return out.take();

    const std::array<uint32_t, 256> palette = frame.ColorMap ? paletteOf(frame.ColorMap) : global;
    std::vector<GifPixelType> line(static_cast<size_t>(fw));
    auto readRow = [&](int64_t y) {
        if (DGifGetLine(gif.get(), line.data(), int(fw)) == GIF_ERROR) return false;
        uint8_t* dst = out.row(int32_t(top + y)) + 3 * left;
        for (int64_t x = 0; x < fw; ++x) putRgb(dst + 3 * x, palette[line[size_t(x)]]);
        return true;
    };
    if (frame.Interlace) {
        for (const Pass& pass : kInterlacePasses) {
            for (int64_t y = pass.start; y < fh; y += pass.step) {
                if (!readRow(y)) return {};
            }
        }
    } else {
        for (int64_t y = 0; y < fh; ++y) {
            if (!readRow(y)) return {};
        }
    }
    return out.take();
}

}  // namespace kelvane::decode
