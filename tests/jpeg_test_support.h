// Test helpers for JPEG output: decoding and encoding with libjpeg-turbo, the marker segments of
// a stream, PSNR, and canvases to encode.
#pragma once

#include <cmath>
#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>  // jpeglib.h needs size_t and FILE declared first
#include <cstdlib>

#include <jpeglib.h>
#include <string>
#include <vector>

#include "dib_section.h"
#include "kelvane/gdi.h"

namespace kelvane::jpegtest {

// RGB pixels, top row first.
struct Rgb {
    int width = 0, height = 0;
    std::vector<uint8_t> bytes;  // red, green, blue per pixel
};

struct Decoded {
    bool ok = false;
    long warnings = 0;
    std::string message;
    int components = 0;
    Rgb picture;
};

namespace detail {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

inline void onError(j_common_ptr info) {
    auto* e = reinterpret_cast<ErrorManager*>(info->err);
    e->base.format_message(info, e->message);
    std::longjmp(e->jump, 1);
}

inline void quiet(j_common_ptr) {}

// Runs without C++ objects on its frame, so that longjmp skips no destructor.
inline bool decodeInto(const uint8_t* data, size_t size, ErrorManager& errors, uint8_t*& pixels,
                       int& width, int& height, int& components) {
    jpeg_decompress_struct info;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onError;
    errors.base.output_message = quiet;
    pixels = nullptr;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        std::free(pixels);
        pixels = nullptr;
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    components = info.num_components;
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    width = int(info.output_width);
    height = int(info.output_height);
    const size_t stride = size_t(width) * 3;
    pixels = static_cast<uint8_t*>(std::malloc(stride * size_t(height) + 1));
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = pixels + stride * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

}  // namespace detail

// Decodes with libjpeg-turbo into RGB; warnings (corrupt data, extra bytes) are counted.
inline Decoded decodeJpeg(const std::vector<uint8_t>& stream) {
    Decoded out;
    detail::ErrorManager errors{};
    uint8_t* pixels = nullptr;
    int width = 0, height = 0, components = 0;
    out.ok = detail::decodeInto(stream.data(), stream.size(), errors, pixels, width, height, components);
    out.warnings = errors.base.num_warnings;
    out.message = errors.message;
    if (!out.ok) return out;
    out.components = components;
    out.picture.width = width;
    out.picture.height = height;
    out.picture.bytes.assign(pixels, pixels + size_t(width) * size_t(height) * 3);
    std::free(pixels);
    return out;
}

namespace detail {

inline bool encodeInto(const Rgb& picture, int quality, ErrorManager& errors, unsigned char*& buffer,
                       unsigned long& size) {
    jpeg_compress_struct info;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onError;
    errors.base.output_message = quiet;
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(picture.width);
    info.image_height = JDIMENSION(picture.height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    // The same settings as our encoder: float DCT, 2x2 luminance sampling, optimised tables.
    info.dct_method = JDCT_FLOAT;
    info.comp_info[0].h_samp_factor = 2;
    info.comp_info[0].v_samp_factor = 2;
    info.comp_info[1].h_samp_factor = info.comp_info[1].v_samp_factor = 1;
    info.comp_info[2].h_samp_factor = info.comp_info[2].v_samp_factor = 1;
    info.optimize_coding = TRUE;
    jpeg_start_compress(&info, TRUE);
    const size_t stride = size_t(picture.width) * 3;
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(picture.bytes.data()) + stride * info.next_scanline;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

}  // namespace detail

// libjpeg-turbo's stream for the same pixels at the same quality and sampling.
inline std::vector<uint8_t> encodeWithLibjpeg(const Rgb& picture, int quality) {
    detail::ErrorManager errors{};
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    std::vector<uint8_t> out;
    if (detail::encodeInto(picture, quality, errors, buffer, size)) out.assign(buffer, buffer + size);
    std::free(buffer);
    return out;
}

inline double psnr(const Rgb& a, const Rgb& b) {
    if (a.width != b.width || a.height != b.height || a.bytes.size() != b.bytes.size()) return 0;
    double sum = 0;
    for (size_t i = 0; i < a.bytes.size(); ++i) {
        const double d = double(a.bytes[i]) - double(b.bytes[i]);
        sum += d * d;
    }
    if (sum == 0) return 99;
    const double mse = sum / double(a.bytes.size());
    return 10 * std::log10(255.0 * 255.0 / mse);
}

// The pixels of a context's selected bitmap, read back through a 24-bit section.
inline Rgb readPixels(gdi::HDC dc, int width, int height) {
    using namespace gdi;
    Rgb out;
    out.width = width;
    out.height = height;
    HDC copy = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    HBITMAP section = test::createSection24(copy, width, height, true, &bits);
    HGDIOBJ previous = SelectObject(copy, section);
    BitBlt(copy, 0, 0, width, height, dc, 0, 0, SRCCOPY);
    const size_t stride = (size_t(width) * 3 + 3) / 4 * 4;
    out.bytes.resize(size_t(width) * size_t(height) * 3);
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = static_cast<const uint8_t*>(bits) + stride * size_t(y);
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &out.bytes[(size_t(y) * size_t(width) + size_t(x)) * 3];
            p[0] = row[x * 3 + 2];
            p[1] = row[x * 3 + 1];
            p[2] = row[x * 3];
        }
    }
    SelectObject(copy, previous);
    DeleteObject(section);
    DeleteDC(copy);
    return out;
}

// A memory context holding a bottom-up 24-bit section, as the chart's canvas is made.
class TestCanvas {
public:
    TestCanvas(int width, int height) : m_width(width), m_height(height) {
        using namespace gdi;
        m_dc = CreateCompatibleDC(nullptr);
        m_bitmap = test::createSection24(m_dc, width, height, false);
        m_previous = SelectObject(m_dc, m_bitmap);
    }
    ~TestCanvas() {
        gdi::SelectObject(m_dc, m_previous);
        gdi::DeleteObject(m_bitmap);
        gdi::DeleteDC(m_dc);
    }
    TestCanvas(const TestCanvas&) = delete;
    TestCanvas& operator=(const TestCanvas&) = delete;

    gdi::HDC dc() const { return m_dc; }
    int width() const { return m_width; }
    int height() const { return m_height; }

    void fill(int left, int top, int right, int bottom, gdi::COLORREF colour) {
        gdi::HBRUSH brush = gdi::CreateSolidBrush(colour);
        gdi::RECT r{left, top, right, bottom};
        gdi::FillRect(m_dc, &r, brush);
        gdi::DeleteObject(brush);
    }
    Rgb pixels() const { return readPixels(m_dc, m_width, m_height); }

private:
    int m_width, m_height;
    gdi::HDC m_dc = nullptr;
    gdi::HBITMAP m_bitmap = nullptr;
    gdi::HGDIOBJ m_previous = nullptr;
};

// One marker segment of a stream: its marker byte and its payload (after the length).
struct Segment {
    uint8_t marker = 0;
    size_t offset = 0;  // of the 0xFF
    std::vector<uint8_t> payload;
    size_t dataEnd = 0;  // for SOS: end of the entropy-coded data that follows
};

// Splits a stream into segments; false when the layout is broken. Scan data runs up to the
// next marker that is not a stuffed 0xFF 0x00.
inline bool splitSegments(const std::vector<uint8_t>& s, std::vector<Segment>& out) {
    size_t i = 0;
    while (i + 1 < s.size()) {
        if (s[i] != 0xFF) return false;
        Segment seg;
        seg.offset = i;
        seg.marker = s[i + 1];
        i += 2;
        if (seg.marker == 0xD8 || seg.marker == 0xD9) {
            out.push_back(seg);
            continue;
        }
        if (i + 2 > s.size()) return false;
        const size_t length = size_t(s[i]) << 8 | s[i + 1];
        if (length < 2 || i + length > s.size()) return false;
        seg.payload.assign(s.begin() + long(i + 2), s.begin() + long(i + length));
        i += length;
        if (seg.marker == 0xDA) {
            while (i + 1 < s.size() && !(s[i] == 0xFF && s[i + 1] != 0x00)) i += s[i] == 0xFF ? 2 : 1;
            seg.dataEnd = i;
        }
        out.push_back(seg);
    }
    return i == s.size();
}

}  // namespace kelvane::jpegtest
