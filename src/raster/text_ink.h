// Where the glyphs of level text can leave ink: for callers that need to know which pixels a
// TextOut may change without drawing it.
#pragma once

#include <cstdint>
#include <string_view>

#include "kelvane/gdi.h"

namespace kelvane::gdi {

struct TextInk {
    // Columns [from, to) relative to the reference point's x that glyphs may set (from == to:
    // none); rows stay within the cell, [y, y + tmHeight).
    int64_t from = 0, to = 0;
    int64_t advance = 0;  // where the pen ends, relative to x: the next text's start
    void add(const TextInk& next);  // `next` drawn from where this one's pen ends
};

// The ink of UTF-8 text as TextOutU8 draws it in the context's font; false for turned text (a
// font with an escapement), whose ink is not measured here.
bool levelTextInk(HDC dc, std::string_view utf8, TextInk& ink);

}  // namespace kelvane::gdi
