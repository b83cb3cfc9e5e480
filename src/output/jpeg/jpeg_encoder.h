// cJpeg: a baseline JPEG encoder with picture-specific Huffman tables. It samples a rectangle of
// a device context into quantised coefficient planes and writes them as a JFIF stream.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "kelvane/gdi.h"
#include "kelvane/variant.h"
#include "output/jpeg/jpeg_blocks.h"
#include "output/jpeg/jpeg_tables.h"

namespace kelvane {

class cJpeg {
public:
    cJpeg();

    // 1..100; other values are ignored. A valid value rescales tables 0 and 1.
    int32_t Quality() const { return m_quality; }
    void Quality(int32_t value);

    // Horizontal and vertical sampling factors of the three components, each 1..4. All of
    // H2, V2, H3, V3 zero makes a one-component greyscale picture. The first invalid value raises
    // error 1 "Invalid Sampling Value". Must come before SampleHDC.
    void SetSamplingFrequencies(int32_t H1, int32_t V1, int32_t H2, int32_t V2, int32_t H3, int32_t V3);

    // Samples the Width x Height rectangle at (SourceLeft, SourceTop) of the context into the
    // component planes. 1 when the working context or bitmap could not be made (nothing is
    // sampled then), 0 otherwise.
    int32_t SampleHDC(gdi::HDC source, int32_t Width, int32_t Height, int32_t SourceLeft, int32_t SourceTop);

    // A comment stored in the stream; more than 65533 bytes in the system code page raises error 1
    // "Illegal Comment Length" and keeps the previous comment.
    const std::string& Comment() const { return m_comment; }
    void Comment(const std::string& text);

    // Writes the stream to a new file: 1 when the name is empty, 2 when a file of that name exists
    // (left untouched), 0 once written. Releases the planes: another save needs sampling again.
    int32_t SaveFile(const std::string& FileName);
    // The stream as a byte array; the planes stay for further saves.
    Variant SaveBinary();

    // The stream SaveFile writes, with the same release of the planes; for callers that put it
    // into a file themselves.
    std::vector<uint8_t> FileStream();

private:
    struct Component {
        uint8_t h = 1, v = 1;
        jpeg::Plane plane;
    };

    enum class OwnComment { File, Binary };
    std::vector<uint8_t> encode(OwnComment own);
    void releasePlanes();
    void clearPicture();

    int32_t m_quality = 75;
    std::array<jpeg::QuantTable, 2> m_tables{};
    int32_t m_precision = 0;
    int32_t m_width = 0, m_height = 0;
    int32_t m_componentCount = 3;
    std::vector<Component> m_components;
    int32_t m_hmax = 2, m_vmax = 2;
    std::string m_comment;
};

}  // namespace kelvane
