// Where the glyphs of level text can leave ink, and how far text reaches, measured glyph by glyph
// without drawing: for callers that need to know which pixels a TextOut may change.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "kelvane/gdi.h"

namespace kelvane::gdi {

struct FontFace;

struct TextInk {
    // Columns [from, to) relative to the reference point's x that glyphs may set (from == to:
    // none); rows stay within the cell, [y, y + tmHeight).
    int64_t from = 0, to = 0;
    int64_t advance = 0;  // where the pen ends, relative to x: the next text's start
    int64_t extent = 0;   // the sum GetTextExtentPoint32 gives as the width (before clamping)
    void add(const TextInk& next);  // `next` drawn from where this one's pen ends
};

// Texts in the font current in a context when it is made, each glyph's measures looked up once.
class TextMeasure {
public:
    explicit TextMeasure(HDC dc);
    ~TextMeasure();
    TextMeasure(const TextMeasure&) = delete;
    TextMeasure& operator=(const TextMeasure&) = delete;

    // False for turned text (a font with an escapement), whose ink is not measured here.
    bool level() const;
    // What GetTextExtentPointU8 gives for the text.
    SIZE extent(std::string_view utf8);
    // The ink and reach of the text as TextOutU8 draws it (level text).
    TextInk ink(std::string_view utf8);

private:
    struct Glyph {
        int64_t advance, extentAdvance;
        int left, width;
        bool ink;
    };
    const Glyph& glyph(char32_t c);

    std::shared_ptr<FontFace> m_face;
    std::array<std::optional<Glyph>, 128> m_ascii;
    std::unordered_map<char32_t, Glyph> m_others;
    std::u32string m_text;
};

}  // namespace kelvane::gdi
