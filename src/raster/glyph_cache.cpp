// FreeType on each thread: the library, the opened faces, one sized and rotated instance per
// resolved font, and each instance's cache of one-bit glyph bitmaps (hinted, aliased).
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SIZES_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <vector>

#include "raster/font.h"

namespace kelvane::gdi {

namespace {

// Glyphs whose bitmap would exceed this many pixels are not kept: each use renders the part
// inside the target, so huge fonts cost memory and time in proportion to what they cover.
constexpr int64_t kLargeGlyphPixels = 256 * 256;
// An instance drops its glyphs once their bitmaps pass this many bytes.
constexpr size_t kGlyphBudgetBytes = size_t{8} << 20;
constexpr size_t kMaxInstances = 64;
constexpr size_t kMaxFaces = 32;
constexpr size_t kMaxFallbackSlots = 16;
// Large glyphs are rasterised in bands of this many rows.
constexpr int kBandRows = 128;
// The stem width (26.6) bold draws with at title and label sizes: two pixels.
constexpr FT_Pos kBoldStem = 128;

using Library = std::shared_ptr<FT_LibraryRec_>;

Library makeLibrary() {
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) return nullptr;
    return Library(library, [](FT_Library l) { FT_Done_FreeType(l); });
}

// An opened face. It shares ownership of its library, so the library outlives every face
// whatever order the thread's caches are torn down in.
struct Face {
    Library library;
    FT_Face face = nullptr;
    Face() = default;
    Face(const Face&) = delete;
    Face& operator=(const Face&) = delete;
    ~Face() {
        if (face) FT_Done_Face(face);
    }
};

// One face of an instance at the instance's size.
struct Slot {
    std::shared_ptr<Face> face;
    FT_Size size = nullptr;  // monochrome hinting: the outlines drawn
    // The same size for the default hinting's advances. A size runs the face's set-up program
    // again whenever the hinting mode it serves changes, so each mode keeps a size of its own.
    FT_Size advanceSize = nullptr;
    bool synthetic = false;  // emboldened: bold asked for and the face is regular
    // A bold face whose stems are thinner than two pixels at this size (where its hinting may
    // draw them one pixel wide, as thin as regular text): outlines are widened this much (26.6)
    // to the right, along the glyph's own baseline, before any turn. Advances stay the face's.
    FT_Pos widen = 0;
};

class Instance;

struct ThreadFonts {
    Library library = makeLibrary();
    std::unordered_map<std::string, std::shared_ptr<Face>> faces;  // path + index
    std::unordered_map<std::string, std::unique_ptr<Instance>> instances;
    std::vector<uint8_t> band;  // scratch rows for large glyphs

    std::shared_ptr<Face> open(const std::string& path, int index);
    ~ThreadFonts();
};

ThreadFonts& threadFonts() {
    thread_local ThreadFonts fonts;
    return fonts;
}

std::shared_ptr<Face> ThreadFonts::open(const std::string& path, int index) {
    std::string key = path + "\n" + std::to_string(index);
    if (auto it = faces.find(key); it != faces.end()) return it->second;
    if (!library || path.empty()) return nullptr;
    auto face = std::make_shared<Face>();
    face->library = library;
    if (FT_New_Face(library.get(), path.c_str(), index, &face->face) != 0) {
        face->face = nullptr;
        return nullptr;
    }
    if (faces.size() >= kMaxFaces) faces.clear();  // instances keep theirs alive
    faces.emplace(std::move(key), face);
    return face;
}

int64_t floor64(int64_t v) { return v >= 0 ? v / 64 : -((-v + 63) / 64); }
int64_t ceil64(int64_t v) { return -floor64(-v); }

// The width (26.6) of the first stem across the middle of the face's "l" at its active size,
// hinted as drawn and level; 0 when the face has no outline for it.
FT_Pos stemWidth(FT_Face face) {
    const FT_UInt index = FT_Get_Char_Index(face, 'l');
    FT_Set_Transform(face, nullptr, nullptr);
    if (!index || FT_Load_Glyph(face, index, FT_LOAD_TARGET_MONO) != 0 ||
        face->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
        return 0;
    const FT_Outline& outline = face->glyph->outline;
    FT_BBox box;
    FT_Outline_Get_CBox(&outline, &box);
    // Where the contours' edges cross the middle row: the first two crossings bound the stem.
    const double y = (double(box.yMin) + double(box.yMax)) / 2 + 0.25;
    std::vector<double> crossings;
    int start = 0;
    for (int c = 0; c < outline.n_contours; ++c) {
        const int end = outline.contours[c];
        for (int i = start; i <= end; ++i) {
            const FT_Vector p = outline.points[i], q = outline.points[i == end ? start : i + 1];
            if ((double(p.y) < y) != (double(q.y) < y))
                crossings.push_back(double(p.x) + (y - double(p.y)) * double(q.x - p.x) / double(q.y - p.y));
        }
        start = end + 1;
    }
    if (crossings.size() < 2) return 0;
    std::sort(crossings.begin(), crossings.end());
    return FT_Pos(std::lround(crossings[1] - crossings[0]));
}

// How much a bold face's outlines are widened at its active size: stems from two thirds of two
// pixels up draw two pixels wide. Thinner ones are left as they are: at such small sizes a
// two-pixel stem would fill the letters' counters.
FT_Pos boldWidening(FT_Face face) {
    const FT_Pos stem = stemWidth(face);
    if (stem >= kBoldStem || 3 * stem < 2 * kBoldStem) return 0;
    return kBoldStem - stem;
}

class Instance final : public GlyphSet {
public:
    Instance(ThreadFonts& fonts, const FontFace& f)
        : m_fonts(fonts), m_family(f.family), m_bold(f.bold), m_ppem(f.ppem), m_ascent(f.metrics.tmAscent),
          m_descent(f.metrics.tmDescent) {
        if (f.escapement != 0) {
            m_rotated = true;
            m_matrix.xx = FT_Fixed(std::lround(f.cosine * 65536.0));
            m_matrix.xy = FT_Fixed(std::lround(-f.sine * 65536.0));
            m_matrix.yx = FT_Fixed(std::lround(f.sine * 65536.0));
            m_matrix.yy = m_matrix.xx;
        }
        if (auto face = fonts.open(f.file, f.index)) addSlot(std::move(face), f.synthetic);
    }

    ~Instance() override {
        for (Slot& s : m_slots) {
            if (s.advanceSize) FT_Done_Size(s.advanceSize);
            if (s.size) FT_Done_Size(s.size);
        }
    }

    const Glyph& glyph(char32_t c) override {
        if (auto it = m_glyphs.find(c); it != m_glyphs.end()) return it->second;
        if (m_bytes > kGlyphBudgetBytes) {
            m_glyphs.clear();
            m_bytes = 0;
        }
        Glyph& g = m_glyphs[c];
        if (m_slots.empty()) return g;
        uint32_t index = 0;
        size_t slot = findSlot(c, index);
        load(slot, index, g);
        m_bytes += g.bits.size() + sizeof(Glyph) + 32;
        return g;
    }

    void renderLarge(const Glyph& g, int64_t penX, int64_t penY, int64_t x0, int64_t y0, int64_t x1,
                     int64_t y1, GlyphRowSink sink, void* context) override {
        if (!g.large || g.slot >= m_slots.size()) return;
        FT_GlyphSlot gs = loadOutline(m_slots[g.slot], g.index);
        if (!gs || gs->format != FT_GLYPH_FORMAT_OUTLINE) return;
        FT_Outline& outline = gs->outline;
        FT_BBox box;
        FT_Outline_Get_CBox(&outline, &box);
        // The glyph's pixels, y down, clipped to the window.
        x0 = std::max(x0, penX + floor64(box.xMin));
        x1 = std::min(x1, penX + ceil64(box.xMax));
        y0 = std::max(y0, penY - ceil64(box.yMax));
        y1 = std::min(y1, penY - floor64(box.yMin));
        if (x0 >= x1 || y0 >= y1) return;
        const int width = int(x1 - x0);  // at most the target's width
        const int pitch = (width + 7) / 8;
        std::vector<uint8_t>& band = m_fonts.band;
        band.resize(size_t(pitch) * kBandRows);
        for (int64_t top = y0; top < y1; top += kBandRows) {
            const int rows = int(std::min<int64_t>(kBandRows, y1 - top));
            std::fill(band.begin(), band.end(), 0);
            FT_Bitmap target{};
            target.rows = unsigned(rows);
            target.width = unsigned(width);
            target.pitch = pitch;
            target.buffer = band.data();
            target.num_grays = 2;
            target.pixel_mode = FT_PIXEL_MODE_MONO;
            // Move the outline so the band's bottom-left corner is the bitmap's origin. Both
            // shifts are whole pixels no larger than the glyph, so they cannot overflow.
            const FT_Pos dx = FT_Pos((penX - x0) * 64), dy = FT_Pos((rows + top - penY) * 64);
            FT_Outline_Translate(&outline, dx, dy);
            const FT_Error error = FT_Outline_Get_Bitmap(m_fonts.library.get(), &outline, &target);
            FT_Outline_Translate(&outline, -dx, -dy);
            if (error) return;
            for (int r = 0; r < rows; ++r) sink(context, top + r, x0, band.data() + size_t(r) * pitch, width);
        }
    }

private:
    // A new size of the face at the instance's pixel size; null when FreeType refuses it.
    FT_Size newSize(FT_Face face) const {
        FT_Size size = nullptr;
        if (FT_New_Size(face, &size) != 0) return nullptr;
        FT_Activate_Size(size);
        if (FT_Set_Pixel_Sizes(face, 0, FT_UInt(m_ppem)) != 0) {
            FT_Done_Size(size);
            return nullptr;
        }
        return size;
    }

    void addSlot(std::shared_ptr<Face> face, bool synthetic) {
        Slot s;
        s.advanceSize = newSize(face->face);
        s.size = s.advanceSize ? newSize(face->face) : nullptr;  // active from here on
        if (!s.size) {
            if (s.advanceSize) FT_Done_Size(s.advanceSize);
            return;
        }
        if (m_bold && !synthetic) s.widen = boldWidening(face->face);
        s.face = std::move(face);
        s.synthetic = synthetic;
        m_slots.push_back(std::move(s));
    }

    // The slot of a face with the character: the font's own, a fallback already open, or one
    // fontconfig finds; else the font's own missing-character glyph.
    size_t findSlot(char32_t c, uint32_t& index) {
        for (size_t i = 0; i < m_slots.size(); ++i)
            if ((index = FT_Get_Char_Index(m_slots[i].face->face, FT_ULong(c))) != 0) return i;
        index = 0;
        // Control characters have no glyph anywhere; they draw as missing.
        if (c < 0x20 || (c >= 0x7F && c < 0xA0) || m_slots.size() > kMaxFallbackSlots) return 0;
        FontFile file;
        if (!fallbackFor(c, m_family, m_bold, file)) return 0;
        auto face = m_fonts.open(file.path, file.index);
        if (!face) return 0;
        for (size_t i = 0; i < m_slots.size(); ++i)
            if (m_slots[i].face == face) return 0;  // already searched above: it lacks c
        const uint32_t found = FT_Get_Char_Index(face->face, FT_ULong(c));
        if (!found) return 0;
        const size_t before = m_slots.size();
        addSlot(std::move(face), m_bold && !file.bold);
        if (m_slots.size() == before) return 0;
        index = found;
        return before;
    }

    // Widened outlines load level and are turned once widened.
    void prepare(Slot& s) {
        FT_Activate_Size(s.size);
        FT_Set_Transform(s.face->face, m_rotated && !s.widen ? &m_matrix : nullptr, nullptr);
    }

    // The level (unturned) box of a turned glyph's outline, 26.6.
    bool levelBox(Slot& s, uint32_t index, FT_BBox& box) {
        FT_Face face = s.face->face;
        FT_Activate_Size(s.size);
        FT_Set_Transform(face, nullptr, nullptr);
        const bool ok = FT_Load_Glyph(face, index, FT_LOAD_TARGET_MONO) == 0 &&
                        face->glyph->format == FT_GLYPH_FORMAT_OUTLINE;
        if (ok) {
            thicken(s, face->glyph->outline);
            FT_Outline_Get_CBox(&face->glyph->outline, &box);
        }
        const bool turned = loadOutline(s, index) != nullptr;  // the turned outline back in the slot
        return ok && turned;
    }

    // Limits the turned glyph's pixel box [x0, x1) x [y0, y1) (y up) to the turn of its level
    // box cut at the cell.
    void cutTurned(const FT_BBox& level, int64_t& x0, int64_t& y0, int64_t& x1, int64_t& y1) const {
        const FT_Pos left = FT_Pos(floor64(level.xMin)) * 64, right = FT_Pos(ceil64(level.xMax)) * 64;
        const FT_Pos bottom = std::max<FT_Pos>(FT_Pos(floor64(level.yMin)), -m_descent) * 64;
        const FT_Pos top = std::min<FT_Pos>(FT_Pos(ceil64(level.yMax)), m_ascent) * 64;
        if (bottom >= top) return;
        int64_t cx0 = INT64_MAX, cy0 = INT64_MAX, cx1 = INT64_MIN, cy1 = INT64_MIN;
        for (FT_Vector v : {FT_Vector{left, bottom}, FT_Vector{right, bottom}, FT_Vector{left, top}, FT_Vector{right, top}}) {
            FT_Vector_Transform(&v, &m_matrix);
            cx0 = std::min<int64_t>(cx0, floor64(v.x));
            cx1 = std::max<int64_t>(cx1, ceil64(v.x));
            cy0 = std::min<int64_t>(cy0, floor64(v.y));
            cy1 = std::max<int64_t>(cy1, ceil64(v.y));
        }
        x0 = std::max(x0, cx0);
        x1 = std::min(x1, cx1);
        y0 = std::max(y0, cy0);
        y1 = std::min(y1, cy1);
    }

    // Widens or emboldens an outline as its slot asks: widening applies to level outlines,
    // emboldening (a regular face standing in for bold) to the outline as loaded, turned or not.
    void thicken(const Slot& s, FT_Outline& outline) const {
        if (s.widen) FT_Outline_EmboldenXY(&outline, s.widen, 0);
        if (s.synthetic) {
            const FT_Pos strength = std::max<FT_Pos>(48, FT_Pos(m_ppem) * 64 / 24);
            FT_Outline_EmboldenXY(&outline, strength, strength);
        }
    }

    // The glyph's outline as drawn: monochrome hinting, rotated, widened or emboldened if need be.
    FT_GlyphSlot loadOutline(Slot& s, uint32_t index) {
        prepare(s);
        FT_Face face = s.face->face;
        if (FT_Load_Glyph(face, index, FT_LOAD_TARGET_MONO) != 0) return nullptr;
        if (face->glyph->format != FT_GLYPH_FORMAT_OUTLINE) return face->glyph;
        thicken(s, face->glyph->outline);
        if (s.widen && m_rotated) FT_Outline_Transform(&face->glyph->outline, &m_matrix);  // loaded level
        return face->glyph;
    }

    void load(size_t slot, uint32_t index, Glyph& g) {
        Slot& s = m_slots[slot];
        g.slot = uint8_t(slot);
        g.index = index;
        FT_Face face = s.face->face;
        prepare(s);
        FT_Activate_Size(s.advanceSize);
        // Extents, and the pen of turned text, follow the default hinting's advances; level
        // text moves by the advances of the monochrome hinting it is drawn with. (Metrics are
        // the glyph's own, before the turn.)
        if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT) == 0)
            g.extentAdvance = (int64_t(face->glyph->metrics.horiAdvance) + 32) >> 6;
        FT_GlyphSlot gs = loadOutline(s, index);
        if (!gs) return;
        g.advance = m_rotated ? g.extentAdvance : (int64_t(gs->metrics.horiAdvance) + 32) >> 6;
        if (s.synthetic) {  // emboldening widens every character by a pixel
            g.extentAdvance += 1;
            g.advance += 1;
        }
        if (gs->format == FT_GLYPH_FORMAT_OUTLINE) {
            // Rasterised into a bitmap of the outline's whole-pixel box (the reference
            // renderer's way; FreeType's own glyph rendering differs at a few small sizes).
            FT_BBox box;
            FT_Outline_Get_CBox(&gs->outline, &box);
            // Glyphs are cut at the cell (and rasterised already cut, which decides the
            // rasteriser's dropout pixels along the cut), as the reference renderer does: the
            // bitmap is the glyph's level box, its height limited to the cell, turned with the
            // text. Turned by other than quarter turns, that box rarely cuts anything.
            int64_t x0 = floor64(box.xMin), y0 = floor64(box.yMin), x1 = ceil64(box.xMax), y1 = ceil64(box.yMax);
            if (!m_rotated) {
                y0 = std::max<int64_t>(y0, -m_descent);
                y1 = std::min<int64_t>(y1, m_ascent);
            } else {
                FT_BBox level;
                const bool cut = levelBox(s, index, level);
                gs = face->glyph;
                if (cut) cutTurned(level, x0, y0, x1, y1);
            }
            const int64_t w = x1 - x0, h = y1 - y0;
            if (w * h > kLargeGlyphPixels) {
                // Only its box is kept, so that uses off the target cost nothing.
                g.large = true;
                g.left = int(std::clamp<int64_t>(x0, INT32_MIN / 2, INT32_MAX / 2));
                g.top = int(std::clamp<int64_t>(y1, INT32_MIN / 2, INT32_MAX / 2));
                g.width = int(std::clamp<int64_t>(w, 0, INT32_MAX / 2));
                g.rows = int(std::clamp<int64_t>(h, 0, INT32_MAX / 2));
                return;
            }
            if (w <= 0 || h <= 0) return;
            g.left = int(x0);
            g.top = int(y0 + h);
            g.width = int(w);
            g.rows = int(h);
            g.pitch = (g.width + 7) / 8;
            g.bits.assign(size_t(g.pitch) * g.rows, 0);
            FT_Bitmap target{};
            target.rows = unsigned(h);
            target.width = unsigned(w);
            target.pitch = g.pitch;
            target.buffer = g.bits.data();
            target.num_grays = 2;
            target.pixel_mode = FT_PIXEL_MODE_MONO;
            FT_Outline_Translate(&gs->outline, FT_Pos(-x0 * 64), FT_Pos(-y0 * 64));
            if (FT_Outline_Get_Bitmap(m_fonts.library.get(), &gs->outline, &target) != 0) {
                g.bits.clear();
                g.width = g.rows = 0;
            }
            return;
        }
        // Embedded bitmaps come as they are, one bit or grey levels per pixel.
        if (FT_Render_Glyph(gs, FT_RENDER_MODE_MONO) != 0) return;
        const FT_Bitmap& b = gs->bitmap;
        g.left = gs->bitmap_left;
        g.top = gs->bitmap_top;
        g.width = int(b.width);
        g.rows = int(b.rows);
        g.pitch = (g.width + 7) / 8;
        g.bits.assign(size_t(g.pitch) * g.rows, 0);
        for (int y = 0; y < g.rows; ++y) {
            const uint8_t* src = b.buffer + (b.pitch >= 0 ? int64_t(y) * b.pitch : int64_t(g.rows - 1 - y) * -b.pitch);
            uint8_t* dst = g.bits.data() + size_t(y) * g.pitch;
            if (b.pixel_mode == FT_PIXEL_MODE_MONO) {
                std::copy(src, src + g.pitch, dst);
                continue;
            }
            // Grey bitmaps: a pixel is ink when at least half covered.
            for (int x = 0; x < g.width; ++x)
                if (b.pixel_mode == FT_PIXEL_MODE_GRAY && src[x] >= 128) dst[x / 8] |= uint8_t(0x80 >> (x % 8));
        }
    }

    ThreadFonts& m_fonts;
    std::string m_family;
    bool m_bold;
    int m_ppem;
    int m_ascent, m_descent;
    bool m_rotated = false;
    FT_Matrix m_matrix{65536, 0, 0, 65536};
    std::vector<Slot> m_slots;
    std::unordered_map<char32_t, Glyph> m_glyphs;
    size_t m_bytes = 0;
};

ThreadFonts::~ThreadFonts() {
    // Sizes go before their faces, faces before the library (which they also keep alive).
    instances.clear();
    faces.clear();
}

}  // namespace

GlyphSet& glyphsFor(const FontFace& face) {
    ThreadFonts& fonts = threadFonts();
    if (auto it = fonts.instances.find(face.key); it != fonts.instances.end()) return *it->second;
    if (fonts.instances.size() >= kMaxInstances) fonts.instances.clear();
    auto instance = std::make_unique<Instance>(fonts, face);
    Instance& result = *instance;
    fonts.instances.emplace(face.key, std::move(instance));
    return result;
}

bool readFaceDesign(const std::string& path, int index, FaceDesign& out) {
    const std::shared_ptr<Face> face = threadFonts().open(path, index);
    if (!face || !FT_IS_SCALABLE(face->face) || face->face->units_per_EM == 0) return false;
    FT_Face f = face->face;
    out.unitsPerEm = f->units_per_EM;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
    const auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(f, FT_SFNT_HHEA));
    const bool hasOs2 = os2 && os2->version != 0xFFFF;
    out.winAscent = hasOs2 ? os2->usWinAscent : f->ascender;
    out.winDescent = hasOs2 ? os2->usWinDescent : -f->descender;
    if (out.winAscent + out.winDescent <= 0) {
        out.winAscent = f->ascender;
        out.winDescent = -f->descender;
    }
    out.hheaAscent = hhea ? hhea->Ascender : f->ascender;
    out.hheaDescent = hhea ? hhea->Descender : f->descender;
    out.lineGap = hhea ? hhea->Line_Gap : 0;
    out.averageWidth = hasOs2 && os2->xAvgCharWidth > 0 ? os2->xAvgCharWidth : f->max_advance_width / 2;
    out.boxWidth = int(f->bbox.xMax - f->bbox.xMin);
    return true;
}

}  // namespace kelvane::gdi
