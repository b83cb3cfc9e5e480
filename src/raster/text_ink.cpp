// Ink columns and extents of level text, glyph by glyph as drawLevel places them and extentOf
// sums them.
#include "raster/text_ink.h"

#include <algorithm>
#include <climits>

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
    extent += next.extent;
}

TextMeasure::TextMeasure(HDC dc) : m_face(faceOf(dc ? dc->font : nullptr)) {}

TextMeasure::~TextMeasure() = default;

bool TextMeasure::level() const { return m_face->escapement == 0; }

const TextMeasure::Glyph& TextMeasure::glyph(char32_t c) {
    auto measure = [&] {
        const gdi::Glyph& g = glyphsFor(*m_face).glyph(c);
        // A glyph without a box paints nothing (paintGlyph).
        return Glyph{g.advance, g.extentAdvance, g.left, g.width, g.width > 0 && g.rows > 0};
    };
    if (c < m_ascii.size()) {
        std::optional<Glyph>& slot = m_ascii[c];
        if (!slot) slot = measure();
        return *slot;
    }
    const auto found = m_others.find(c);
    if (found != m_others.end()) return found->second;
    return m_others.emplace(c, measure()).first->second;
}

SIZE TextMeasure::extent(std::string_view utf8) {
    decodeUtf8(utf8.data(), utf8.size(), m_text);
    if (m_text.empty()) return SIZE{0, 0};
    int64_t cx = 0;
    for (char32_t c : m_text) cx += glyph(c).extentAdvance;
    return SIZE{LONG(std::clamp<int64_t>(cx, INT32_MIN, INT32_MAX)), m_face->metrics.tmHeight};
}

TextInk TextMeasure::ink(std::string_view utf8) {
    decodeUtf8(utf8.data(), utf8.size(), m_text);
    TextInk ink;
    for (char32_t c : m_text) {
        const Glyph& g = glyph(c);
        if (g.ink) ink.add(TextInk{g.left, int64_t(g.left) + g.width, 0, 0});
        ink.advance += g.advance;
        ink.extent += g.extentAdvance;
    }
    return ink;
}

}  // namespace kelvane::gdi
