// Logical fonts resolved to installed faces (through fontconfig) with GDI's metrics, and the
// per-thread FreeType instances that turn their characters into cached one-bit glyph bitmaps.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "kelvane/gdi.h"

namespace kelvane::gdi {

struct FontObject;

// A logical font resolved to a face file and a pixel size. Immutable once made and free of
// FreeType objects, so fonts shared between threads (the stock font) can be read anywhere;
// every thread draws it with its own FreeType instance (GlyphSet).
struct FontFace {
    std::string file;         // font file of the face; empty when no font is installed at all
    int index = 0;            // face inside the file (font collections)
    std::string family;       // the face's own family name
    std::string name;         // what GetTextFaceA reports
    int ppem = 0;             // em height in pixels
    bool bold = false;        // a bold weight asked for (above 550)
    bool synthetic = false;   // bold asked for a face without a bold style: outlines emboldened
    int escapement = 0;       // tenths of a degree counter-clockwise, in [0, 3600)
    double cosine = 1, sine = 0;  // of the escapement as given (its turns included)
    TEXTMETRICA metrics{};
    std::string key;          // names the FreeType instance: file, index, size, bold, angle
};

// The largest cell or em height honoured; larger requests are drawn at this size (FreeType's
// sizes and our 26.6 positions stay far from overflow).
inline constexpr int kMaxFontHeight = 16384;

// Resolves a logical font on the calling thread (cached per thread).
std::shared_ptr<FontFace> resolveFont(const LOGFONTA& font);
// The face a selected font draws with: its own, or a resolution of its logical font.
std::shared_ptr<FontFace> faceOf(const FontObject* font);

// One character's glyph at one face instance.
struct Glyph {
    int64_t extentAdvance = 0;       // pixels: what extents add up, and the pen of turned text
    int64_t advance = 0;             // pixels: the pen of level text (its own hinting's advance)
    int left = 0, top = 0;           // bitmap's top-left corner from the pen position (x right, y up)
    int width = 0, rows = 0, pitch = 0;
    std::vector<uint8_t> bits;       // 1 bit per pixel, most significant first, rows top first
    // Too big to keep: drawn from its outline, clipped, at each use; left, top, width and rows
    // still give its box, and bits stay empty.
    bool large = false;
    uint32_t index = 0;              // glyph index in its face
    uint8_t slot = 0;                // which face drew it: 0 the font's own, then fallbacks
};

// Receives the one-bit rows of a large glyph, already clipped to the requested window.
using GlyphRowSink = void (*)(void* context, int64_t y, int64_t x, const uint8_t* bits, int width);

// A font's characters on the calling thread: glyphs from the face, or from a fallback face
// found through fontconfig for characters the face lacks.
class GlyphSet {
public:
    virtual ~GlyphSet() = default;
    // The glyph of a character; stays valid until the next call on this set.
    virtual const Glyph& glyph(char32_t c) = 0;
    // Draws a large glyph whose pen position is (penX, penY) pixels (y down) into the window
    // [x0, x1) x [y0, y1), row by row through the sink.
    virtual void renderLarge(const Glyph& g, int64_t penX, int64_t penY, int64_t x0, int64_t y0,
                             int64_t x1, int64_t y1, GlyphRowSink sink, void* context) = 0;
};

// The calling thread's instance of a face (created on first use, cached per thread).
GlyphSet& glyphsFor(const FontFace& face);

// The design-unit values of a face that GDI's metrics derive from.
struct FaceDesign {
    int unitsPerEm = 0;
    int winAscent = 0, winDescent = 0;             // the cell: what a positive height maps
    int hheaAscent = 0, hheaDescent = 0, lineGap = 0;  // the line spacing: external leading
    int averageWidth = 0;                           // OS/2 average character width
    int boxWidth = 0;                               // width of the face's bounding box
};
// Reads them from the face (through the calling thread's FreeType faces); false when the file
// is no usable font.
bool readFaceDesign(const std::string& path, int index, FaceDesign& out);

// A matched font file: path and face index.
struct FontFile {
    std::string path;
    int index = 0;
    std::string family;
    bool bold = false;        // the face has a bold weight
};

// A face able to draw the character, found through fontconfig (cached per thread); false when
// no installed face has it.
bool fallbackFor(char32_t c, const std::string& family, bool bold, FontFile& out);

}  // namespace kelvane::gdi
