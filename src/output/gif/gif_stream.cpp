// The GIF stream, block by block.
#include "output/gif/gif_stream.h"

#include "kelvane/gdi.h"
#include "output/gif/gif_lzw.h"
#include "output/palette/pal8bpp.h"
#include "raster/cdib.h"

namespace kelvane::gif {

namespace {

constexpr uint8_t kExtensionIntroducer = 0x21;
constexpr uint8_t kCommentLabel = 0xFE;
constexpr uint8_t kGraphicControlLabel = 0xF9;
constexpr uint8_t kGraphicControlSize = 4;
constexpr uint8_t kTransparentColourFlag = 0x01;
constexpr uint8_t kImageSeparator = 0x2C;
constexpr uint8_t kBlockTerminator = 0x00;
constexpr uint8_t kTrailer = 0x3B;
// Logical screen: a global colour table follows, 8 bits of colour resolution, not sorted; the
// low three bits give the table's size as 2^(bits + 1).
constexpr uint8_t kGlobalTableFlags = 0xF0;
constexpr uint8_t kInterlacedFlag = 0x40;
// Interlacing needs more rows than the first pass's second start row.
constexpr int32_t kFewestInterlacedRows = 5;
constexpr int32_t kLargestSubBlock = 255;

void put16(std::vector<uint8_t>& out, int32_t v) {
    const int16_t checked = CInt(v);  // sides and positions are 16-bit fields
    out.push_back(uint8_t(checked));
    out.push_back(uint8_t(uint16_t(checked) >> 8));
}

// The smallest b of at least 1 with 2^b >= entries.
int32_t tableBits(int32_t entries) {
    int32_t b = 1;
    while ((1 << b) < entries) ++b;
    return b;
}

// The comment in the system code page, as one sub-block.
std::string commentBytes(const std::string& comment) {
    const int n = gdi::Utf8ToCodePage(comment.data(), int(comment.size()), nullptr, 0);
    std::string bytes(size_t(n > 0 ? n : 0), '\0');
    if (n > 0) gdi::Utf8ToCodePage(comment.data(), int(comment.size()), bytes.data(), n);
    if (bytes.size() > size_t(kLargestSubBlock)) Raise(kErrOverflow);
    return bytes;
}

}  // namespace

bool Writable(const cDIB& picture, const cPal8bpp& palette) {
    return picture.BPP() == 8 && picture.lpBits() != nullptr && palette.Entries() > 1;
}

std::vector<uint8_t> EncodeGif(const cDIB& picture, const cPal8bpp& palette, int16_t transparentIndex,
                               VBBool interlace, const std::string& comment) {
    const int32_t width = picture.Width(), height = picture.Height();
    const int32_t bits = tableBits(palette.Entries());
    const bool transparent = transparentIndex >= 0;
    if (transparentIndex > 255) Raise(kErrOverflow);
    const std::string text = commentBytes(comment);
    const bool interlaced = interlace != kFalse && height >= kFewestInterlacedRows;

    std::vector<uint8_t> out;
    out.reserve(size_t(1024) + size_t(width) * size_t(height) / 4);
    const char* signature = transparent || !text.empty() ? "GIF89a" : "GIF87a";
    out.insert(out.end(), signature, signature + 6);
    put16(out, width);
    put16(out, height);
    out.push_back(uint8_t(kGlobalTableFlags + bits - 1));
    out.push_back(0);  // background colour index
    out.push_back(0);  // pixel aspect ratio: not given
    for (int32_t i = 0; i < (1 << bits); ++i) {
        const bool entry = i < palette.Entries();
        out.push_back(entry ? palette.rgbR(i) : 0);
        out.push_back(entry ? palette.rgbG(i) : 0);
        out.push_back(entry ? palette.rgbB(i) : 0);
    }
    if (!text.empty()) {
        out.insert(out.end(), {kExtensionIntroducer, kCommentLabel, uint8_t(text.size())});
        out.insert(out.end(), text.begin(), text.end());
        out.push_back(kBlockTerminator);
    }
    if (transparent) {
        out.insert(out.end(), {kExtensionIntroducer, kGraphicControlLabel, kGraphicControlSize,
                               kTransparentColourFlag, 0, 0, uint8_t(transparentIndex), kBlockTerminator});
    }
    out.push_back(kImageSeparator);
    put16(out, 0);  // left
    put16(out, 0);  // top
    put16(out, width);
    put16(out, height);
    out.push_back(uint8_t((bits - 1) | (interlaced ? kInterlacedFlag : 0)));
    // Two-colour pictures still code with 2 bits: GIF has no 1-bit minimum code size.
    const int32_t codeSize = bits < 2 ? 2 : bits;
    out.push_back(uint8_t(codeSize));
    CompressLZW(IndexRows{picture.lpBits(), width, height, picture.BytesPerScanLine(), interlaced}, codeSize, out);
    out.push_back(kBlockTerminator);
    out.push_back(kTrailer);
    return out;
}

}  // namespace kelvane::gif
