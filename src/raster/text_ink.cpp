// Ink columns of level text, glyph by glyph as drawLevel places them.
#include "raster/text_ink.h"

#include <algorithm>
#include <string>

#include "raster/codepage.h"
#include "raster/font.h"
#include "raster/objects.h"

namespace kelvane::gdi {

void TextInk::add(const TextInk& next) {
    if (next.from < next.to) {
        const int64_t f = advance + next.from, t = advance + next.to;
        if (from < to) from = std::min(from, f), to = std::max(to, t);
        else from = f, to = t;
    }
    advance += next.advance;
}

bool levelTextInk(HDC dc, std::string_view utf8, TextInk& ink) {
    ink = TextInk{};
    if (!dc) return false;
    const std::shared_ptr<FontFace> face = faceOf(dc->font);
    if (face->escapement != 0) return false;
    std::u32string text;
    decodeUtf8(utf8.data(), utf8.size(), text);
    GlyphSet& glyphs = glyphsFor(*face);
    for (char32_t c : text) {
        const Glyph& g = glyphs.glyph(c);
        // A glyph without a box paints nothing (paintGlyph).
        if (g.width > 0 && g.rows > 0) ink.add(TextInk{g.left, int64_t(g.left) + g.width, 0});
        ink.advance += g.advance;
    }
    return true;
}

}  // namespace kelvane::gdi
