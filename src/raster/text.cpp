// The text calls: logical fonts, TextOut (aliased glyphs in the text colour over an optional
// background box, turned by the escapement about the cell's top-left corner), text extents,
// metrics and face names.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "raster/codepage.h"
#include "raster/font.h"
#include "raster/objects.h"
#include "raster/paint.h"
#include "raster/text_tail.h"

namespace kelvane::gdi {

FontObject::~FontObject() = default;

namespace {

// Decoded text of the current call, reused so that drawing a label allocates nothing.
std::u32string& scratch() {
    thread_local std::u32string text;
    return text;
}

LONG clampLong(int64_t v) { return LONG(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// Paints the set bits of one glyph row, clipped to the surface, as runs.
void paintRow(Surface& s, int64_t y, int64_t x, const uint8_t* bits, int width, COLORREF colour) {
    if (y < 0 || y >= s.height()) return;
    const int64_t from = std::max<int64_t>(0, -x), to = std::min<int64_t>(width, s.width() - x);
    int64_t run = -1;
    for (int64_t i = from; i < to; ++i) {
        if ((i & 7) == 0 && run < 0 && i + 8 <= to && bits[i >> 3] == 0) {
            i += 7;  // a blank byte
            continue;
        }
        const bool ink = bits[i >> 3] & (0x80 >> (i & 7));
        if (ink && run < 0) {
            run = i;
        } else if (!ink && run >= 0) {
            s.fillSpan(int(y), int(x + run), int(x + i), colour);
            run = -1;
        }
    }
    if (run >= 0) s.fillSpan(int(y), int(x + run), int(x + to), colour);
}

struct RowTarget {
    Surface* surface;
    COLORREF colour;
};

void paintSink(void* context, int64_t y, int64_t x, const uint8_t* bits, int width) {
    const auto* target = static_cast<const RowTarget*>(context);
    paintRow(*target->surface, y, x, bits, width, target->colour);
}

int64_t extentOf(GlyphSet& glyphs, const std::u32string& text) {
    int64_t cx = 0;
    for (char32_t c : text) cx += glyphs.glyph(c).extentAdvance;
    return cx;
}

// Truncation toward zero, as the reference renderer turns positions into pixels; far-off values
// saturate (they are off any surface anyway).
int64_t whole(double v) { return int64_t(std::clamp(v, -4e18, 4e18)); }

// Paints a glyph whose pen is at (penX, penY), only on rows [rowsFrom, rowsTo).
void paintGlyph(Surface& s, GlyphSet& glyphs, const Glyph& g, int64_t penX, int64_t penY, int64_t rowsFrom,
                int64_t rowsTo, COLORREF colour) {
    const int64_t w = s.width();
    rowsFrom = std::max<int64_t>(rowsFrom, 0);
    rowsTo = std::min<int64_t>(rowsTo, s.height());
    if (rowsFrom >= rowsTo) return;
    if (g.width <= 0 || g.rows <= 0) return;
    const int64_t left = penX + g.left, top = penY - g.top;
    if (left >= w || left + g.width <= 0 || top >= rowsTo || top + g.rows <= rowsFrom) return;
    if (g.large) {
        RowTarget target{&s, colour};
        glyphs.renderLarge(g, penX, penY, std::max<int64_t>(left, 0), std::max(top, rowsFrom),
                           std::min<int64_t>(left + g.width, w), std::min<int64_t>(top + g.rows, rowsTo), paintSink,
                           &target);
        return;
    }
    const int64_t r0 = std::max<int64_t>(0, rowsFrom - top), r1 = std::min<int64_t>(g.rows, rowsTo - top);
    for (int64_t r = r0; r < r1; ++r) paintRow(s, top + r, left, g.bits.data() + size_t(r) * g.pitch, g.width, colour);
}

// Level text: the baseline one ascent below the reference point, each glyph one advance on,
// the head's glyphs and then the tail's (measured beforehand) when there is one.
void drawLevel(DeviceContext* dc, Surface& s, const FontFace& face, GlyphSet& glyphs, int x, int y,
               const std::u32string& head, const std::u32string* tail, const TextTail::Measure* measure) {
    const TEXTMETRICA& tm = face.metrics;
    const int64_t surfaceW = s.width();
    if (dc->bkMode == OPAQUE) {
        const int64_t cx = extentOf(glyphs, head) + (tail ? measure->extent : 0);
        fillBox(s, long(x), long(y), long(x + cx), long(int64_t(y) + tm.tmHeight), dc->bkColour);
    }
    const int64_t baseline = int64_t(y) + tm.tmAscent;
    // Glyphs reaching above the ascent or below the descent are cut at the cell, as the
    // reference renderer cuts them.
    const int64_t cellTop = y, cellBottom = int64_t(y) + tm.tmHeight;
    // A glyph's ink lies within a couple of ems of its pen.
    const int64_t reach = 2 * int64_t(face.ppem) + 2;
    int64_t pen = x;
    for (char32_t c : head) {
        if (pen - reach > surfaceW) return;  // it only moves right: nothing more can show
        const Glyph& g = glyphs.glyph(c);
        paintGlyph(s, glyphs, g, pen, baseline, cellTop, cellBottom, dc->textColour);
        pen += g.advance;
    }
    if (!tail) return;
    const std::vector<int64_t>& pens = measure->pens;
    size_t i = 0;
    if (measure->forward) {
        // Glyphs whose ink ends left of the surface paint nothing: start at the first that may not.
        i = size_t(std::partition_point(pens.begin(), pens.end(),
                                        [&](int64_t p) { return pen + p + measure->inkRight <= 0; }) -
                   pens.begin());
    }
    for (; i < tail->size(); ++i) {
        const int64_t at = pen + pens[i];
        if (at - reach > surfaceW) return;
        paintGlyph(s, glyphs, glyphs.glyph((*tail)[i]), at, baseline, cellTop, cellBottom, dc->textColour);
    }
}

void drawText(DeviceContext* dc, int x, int y, const std::u32string& text) {
    Surface* s = surfaceOf(dc);
    if (!s || text.empty()) return;
    const std::shared_ptr<FontFace> face = faceOf(dc->font);
    GlyphSet& glyphs = glyphsFor(*face);
    const TEXTMETRICA& tm = face->metrics;
    if (face->escapement == 0) {
        drawLevel(dc, *s, *face, glyphs, x, y, text, nullptr, nullptr);
        return;
    }
    // Turned text: the baseline starts one turned ascent from the reference point, and each
    // glyph sits where the advances so far reach along it, every position truncated.
    const double cosine = face->cosine, sine = face->sine;
    const double startX = double(x) + tm.tmAscent * sine, startY = double(y) + tm.tmAscent * cosine;
    const int64_t originX = whole(startX), originY = whole(startY);
    if (dc->bkMode == OPAQUE) {
        // The reference renderer keeps the box level: placed at the baseline's start one ascent
        // up, as high as the cell and as wide as the extent's level part.
        const double cx = double(extentOf(glyphs, text));
        const int64_t top = originY - tm.tmAscent;
        fillBox(*s, long(originX), long(top), long(originX + whole(cx * cosine)), long(top + tm.tmHeight),
                dc->bkColour);
    }
    double along = 0;
    for (char32_t c : text) {
        const Glyph& g = glyphs.glyph(c);
        paintGlyph(*s, glyphs, g, originX + whole(along * cosine), originY - whole(along * sine), INT64_MIN,
                   INT64_MAX, dc->textColour);
        along += double(g.advance);
    }
}

// The call as a reference-renderer command: its text in code page 1252 (what the renderer
// reads), quoted to keep blanks, line breaks shown as '?'.
void traceText(Trace* t, int x, int y, const std::u32string& text) {
    std::string bytes = encodeCodePage(1252, text.data(), text.size());
    for (char& b : bytes)
        if (b == '\n' || b == '\r' || b == '\0') b = '?';
    t->line("textout %d %d \"%s\"", x, y, bytes.c_str());
}

// The advances of the text and the cell height; no text measures nothing at all.
SIZE extentSize(HDC dc, const std::u32string& text) {
    if (text.empty()) return SIZE{0, 0};
    const std::shared_ptr<FontFace> face = faceOf(dc->font);
    return SIZE{clampLong(extentOf(glyphsFor(*face), text)), face->metrics.tmHeight};
}

bool validText(HDC dc, const char* text, int length) {
    return dc && length >= 0 && (text || length == 0);
}

}  // namespace

HFONT CreateFontIndirectA(const LOGFONTA* font) {
    if (!font) return nullptr;
    auto* object = new FontObject();
    object->logFont = *font;
    object->logFont.lfFaceName[LF_FACESIZE - 1] = '\0';
    object->face = resolveFont(object->logFont);
    return object;
}

BOOL TextOutA(HDC dc, int x, int y, const char* text, int length) {
    if (!validText(dc, text, length)) return 0;
    std::u32string& chars = scratch();
    decodeCodePage(GetSystemCodePage(), text, size_t(length), chars);
    if (Trace* t = traceOf(dc)) traceText(t, x, y, chars);
    drawText(dc, x, y, chars);
    return 1;
}

BOOL TextOutU8(HDC dc, int x, int y, const char* utf8, int length) {
    if (!validText(dc, utf8, length)) return 0;
    std::u32string& chars = scratch();
    decodeUtf8(utf8, size_t(length), chars);
    if (Trace* t = traceOf(dc)) traceText(t, x, y, chars);
    drawText(dc, x, y, chars);
    return 1;
}

BOOL GetTextExtentPoint32A(HDC dc, const char* text, int length, SIZE* size) {
    if (!validText(dc, text, length) || !size) return 0;
    std::u32string& chars = scratch();
    decodeCodePage(GetSystemCodePage(), text, size_t(length), chars);
    *size = extentSize(dc, chars);
    return 1;
}

BOOL GetTextExtentPointU8(HDC dc, const char* utf8, int length, SIZE* size) {
    if (!validText(dc, utf8, length) || !size) return 0;
    std::u32string& chars = scratch();
    decodeUtf8(utf8, size_t(length), chars);
    *size = extentSize(dc, chars);
    return 1;
}

BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* metrics) {
    if (!dc || !metrics) return 0;
    *metrics = faceOf(dc->font)->metrics;
    return 1;
}

TextTail::TextTail(std::string_view utf8) : m_utf8(utf8) { decodeUtf8(m_utf8.data(), m_utf8.size(), m_text); }

TextTail::~TextTail() = default;

BOOL TextTail::draw(HDC dc, int x, int y, std::string_view head) {
    if (!validText(dc, head.data(), int(head.size()))) return 0;
    Surface* s = surfaceOf(dc);
    const std::shared_ptr<FontFace> face = faceOf(dc->font);
    if (!s || traceOf(dc) || face->escapement != 0 || m_text.empty()) {
        const std::string whole = std::string(head) + m_utf8;
        return TextOutU8(dc, x, y, whole.data(), int(whole.size()));
    }
    GlyphSet& glyphs = glyphsFor(*face);
    const Measure& measure = measured(face);
    std::u32string& chars = scratch();
    decodeUtf8(head.data(), head.size(), chars);
    drawLevel(dc, *s, *face, glyphs, x, y, chars, &m_text, &measure);
    return 1;
}

SIZE TextTail::extent(HDC dc, std::string_view head) {
    if (!validText(dc, head.data(), int(head.size()))) return SIZE{0, 0};
    std::u32string& chars = scratch();
    decodeUtf8(head.data(), head.size(), chars);
    if (chars.empty() && m_text.empty()) return SIZE{0, 0};
    const std::shared_ptr<FontFace> face = faceOf(dc->font);
    return SIZE{clampLong(extentOf(glyphsFor(*face), chars) + measured(face).extent), face->metrics.tmHeight};
}

const TextTail::Measure& TextTail::measured(const std::shared_ptr<FontFace>& face) {
    if (m_measure.face == face) return m_measure;
    GlyphSet& glyphs = glyphsFor(*face);
    Measure m;
    m.face = face;
    m.pens.reserve(m_text.size());
    int64_t pen = 0;
    for (size_t i = 0; i < m_text.size(); ++i) {
        const Glyph& g = glyphs.glyph(m_text[i]);
        m.pens.push_back(pen);
        pen += g.advance;
        m.extent += g.extentAdvance;
        m.inkRight = i == 0 ? g.left + g.width : std::max<int64_t>(m.inkRight, g.left + g.width);
        m.forward = m.forward && g.advance >= 0;
    }
    m_measure = std::move(m);
    return m_measure;
}

int GetTextFaceA(HDC dc, int size, char* name) {
    if (!dc) return 0;
    const std::shared_ptr<FontFace> resolved = faceOf(dc->font);
    const std::string& face = resolved->name;
    if (!name) return int(face.size()) + 1;  // the room it needs
    if (size < 1) return 0;
    const size_t n = std::min(face.size(), size_t(size) - 1);
    std::memcpy(name, face.data(), n);
    name[n] = '\0';
    return int(n) + 1;
}

}  // namespace kelvane::gdi
