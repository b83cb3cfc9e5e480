// Reading PNG streams in the tests with libpng's own reader, independent of the writer's colour
// counting and palette: the pixels as red, green, blue from the top row, and the chunks.
#pragma once

#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

#include "jpeg_test_support.h"

namespace kelvane::pngtest {

struct Decoded {
    bool ok = false;
    std::string message;
    jpegtest::Rgb picture;
};

inline Decoded decodePng(const std::vector<uint8_t>& stream) {
    Decoded d;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, stream.data(), stream.size())) {
        d.message = image.message;
        return d;
    }
    image.format = PNG_FORMAT_RGB;
    d.picture.width = int(image.width);
    d.picture.height = int(image.height);
    d.picture.bytes.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, d.picture.bytes.data(), 0, nullptr)) {
        d.message = image.message;
        return d;
    }
    d.ok = true;
    return d;
}

struct Chunk {
    std::string type;
    uint32_t length;
};

inline uint32_t bigEndian32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// The chunks after the signature, in order.
inline std::vector<Chunk> chunksOf(const std::vector<uint8_t>& stream) {
    std::vector<Chunk> chunks;
    for (size_t at = 8; at + 12 <= stream.size();) {
        const uint32_t length = bigEndian32(&stream[at]);
        chunks.push_back({std::string(stream.begin() + long(at) + 4, stream.begin() + long(at) + 8), length});
        at += 12 + size_t(length);
    }
    return chunks;
}

// IHDR's bit depth and colour type (3 palette, 2 RGB).
inline int bitDepthOf(const std::vector<uint8_t>& stream) { return stream.size() > 24 ? stream[24] : -1; }
inline int colourTypeOf(const std::vector<uint8_t>& stream) { return stream.size() > 25 ? stream[25] : -1; }

// The first differing pixel, or "".
inline std::string mismatch(const jpegtest::Rgb& expected, const jpegtest::Rgb& actual) {
    if (expected.width != actual.width || expected.height != actual.height)
        return "size " + std::to_string(actual.width) + "x" + std::to_string(actual.height);
    for (size_t i = 0; i < expected.bytes.size(); i += 3)
        if (expected.bytes[i] != actual.bytes[i] || expected.bytes[i + 1] != actual.bytes[i + 1] ||
            expected.bytes[i + 2] != actual.bytes[i + 2]) {
            const size_t pixel = i / 3;
            return "pixel (" + std::to_string(pixel % size_t(expected.width)) + ", " +
                   std::to_string(pixel / size_t(expected.width)) + ")";
        }
    return "";
}

}  // namespace kelvane::pngtest
