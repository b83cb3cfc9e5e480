// Text drawn again and again behind different short heads, such as the unit after every tick
// label of a value axis: decoded and measured once, so that each drawing costs the glyphs that
// can show, not the whole text.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "kelvane/gdi.h"

namespace kelvane::gdi {

struct FontFace;

class TextTail {
public:
    explicit TextTail(std::string_view utf8);
    ~TextTail();
    TextTail(const TextTail&) = delete;
    TextTail& operator=(const TextTail&) = delete;

    // Pixel for pixel what TextOutU8 draws for head followed by the tail.
    BOOL draw(HDC dc, int x, int y, std::string_view head);
    // What GetTextExtentPointU8 gives for head followed by the tail.
    SIZE extent(HDC dc, std::string_view head);

    // The tail's glyphs in one face (level text).
    struct Measure {
        std::shared_ptr<FontFace> face;
        std::vector<int64_t> pens;  // pen of each glyph from the tail's start
        int64_t extent = 0;         // what the tail adds to the text's extent
        int64_t inkRight = 0;       // the furthest any glyph's ink reaches right of its pen
        bool forward = true;        // no advance is negative: the pens only move right
    };

private:
    const Measure& measured(const std::shared_ptr<FontFace>& face);

    std::string m_utf8;
    std::u32string m_text;
    Measure m_measure;
};

}  // namespace kelvane::gdi
