// Picture file decoders (BMP, JPEG, GIF): bytes in memory become a 24-bit DIB section. Each
// decoder refuses what it cannot read in full, so a damaged file yields no bitmap at all.
#pragma once

#include <cstdint>
#include <span>
#include <utility>

#include "kelvane/gdi.h"
#include "raster/gdi_handles.h"

namespace kelvane::decode {

// The largest picture a decoder agrees to make, checked before anything is allocated: the
// raster layer's own ceiling by default; a chart lowers the area to its MaxPicturePixels, the
// fuzzer everything to keep every input fast.
struct DecodeLimits {
    int32_t maxSide = 32767;
    uint64_t maxPixelBytes = uint64_t{1} << 30;
    uint64_t maxPixels = UINT64_MAX;  // width x height
};

// Each returns an empty handle when the bytes are not a complete, readable picture of its
// format or exceed the limits. Memory exhaustion surfaces as std::bad_alloc.
gdi::Owned<gdi::HBITMAP> DecodeBmp(std::span<const uint8_t> bytes, const DecodeLimits& limits = {});
gdi::Owned<gdi::HBITMAP> DecodeJpeg(std::span<const uint8_t> bytes, const DecodeLimits& limits = {});
gdi::Owned<gdi::HBITMAP> DecodeGif(std::span<const uint8_t> bytes, const DecodeLimits& limits = {});

// Chooses the decoder by the file's signature.
gdi::Owned<gdi::HBITMAP> DecodePicture(std::span<const uint8_t> bytes, const DecodeLimits& limits = {});

// The picture a decoder fills: a 24-bit bottom-up DIB section, zero (black) until written.
class RgbTarget {
public:
    // False when the size is empty, beyond the limits, or the section cannot be made.
    bool create(int64_t width, int64_t height, const DecodeLimits& limits) {
        if (width < 1 || height < 1 || width > limits.maxSide || height > limits.maxSide) return false;
        if (uint64_t(width) * uint64_t(height) > limits.maxPixels) return false;
        const int64_t stride = (width * 3 + 3) & ~int64_t{3};
        if (uint64_t(stride) * uint64_t(height) > limits.maxPixelBytes) return false;
        gdi::BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(gdi::BITMAPINFOHEADER);
        info.bmiHeader.biWidth = gdi::LONG(width);
        info.bmiHeader.biHeight = gdi::LONG(height);
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = gdi::BI_RGB;
        void* bits = nullptr;
        m_bitmap.reset(gdi::CreateDIBSection(nullptr, &info, gdi::DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!m_bitmap || !bits) {
            m_bitmap.reset();
            return false;
        }
        m_bits = static_cast<uint8_t*>(bits);
        m_width = int32_t(width);
        m_height = int32_t(height);
        m_stride = size_t(stride);
        return true;
    }

    int32_t width() const { return m_width; }
    int32_t height() const { return m_height; }
    // Row y counted from the top: width pixels of blue, green, red.
    uint8_t* row(int32_t y) { return m_bits + size_t(m_height - 1 - y) * m_stride; }
    gdi::Owned<gdi::HBITMAP> take() {
        m_bits = nullptr;
        return std::move(m_bitmap);
    }

private:
    gdi::Owned<gdi::HBITMAP> m_bitmap;
    uint8_t* m_bits = nullptr;
    int32_t m_width = 0, m_height = 0;
    size_t m_stride = 0;
};

// Stores a 0x00RRGGBB colour into a target row.
inline void putRgb(uint8_t* pixel, uint32_t rgb) {
    pixel[0] = uint8_t(rgb);
    pixel[1] = uint8_t(rgb >> 8);
    pixel[2] = uint8_t(rgb >> 16);
}

}  // namespace kelvane::decode
