// Face resolution: a logical font becomes an installed face through fontconfig (the requested
// face when installed, metric-compatible aliases included, else GDI's default face), a pixel
// size by GDI's height mapping, and GDI's text metrics; both are cached per thread.
#include "raster/font.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string_view>
#include <unordered_map>

#include "raster/codepage.h"
#include "raster/font_match.h"
#include "raster/objects.h"

namespace kelvane::gdi {

namespace {

// GDI substitutes its default face for an empty or unknown name. Asking fontconfig for it by
// name gets the metric-compatible face (Liberation Sans) when installed, else the default sans.
constexpr const char* kDefaultFamily = "Arial";
// The stock font's face: GDI's own, never installed here, reported by that name.
constexpr char kSystemFace[] = "System";
// A height of 0 asks for the default size: the 16-pixel cell of the stock font.
constexpr int kDefaultCellHeight = 16;
// Caches are dropped wholesale when they grow past these sizes (fonts in use stay alive through
// their own references).
constexpr size_t kMaxCachedFonts = 512;
constexpr size_t kMaxCachedMatches = 256;
constexpr size_t kMaxCachedFallbacks = 8192;

// Faces come in two weights here; a weight takes the nearer of 400 and 700, as the reference
// renderer's font mapper does (551 and up draw bold).
bool isBold(LONG weight) { return weight > 550; }

struct CharSetDeleter {
    void operator()(FcCharSet* c) const { FcCharSetDestroy(c); }
};

int64_t floorDiv(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Design units to pixels at ppem, rounded half up.
LONG scaled(int64_t units, int64_t ppem, int64_t unitsPerEm) {
    return LONG(floorDiv(2 * units * ppem + unitsPerEm, 2 * unitsPerEm));
}

// GDI's size mapping. A negative height is the em; a positive one is the cell, and the em is the
// largest whose rounded cell (win ascent + descent) still fits in it.
int pixelsPerEm(LONG height, const FaceDesign& d) {
    int64_t h = height == 0 ? kDefaultCellHeight : height;
    if (h < 0) return int(std::clamp<int64_t>(-h, 1, kMaxFontHeight));
    h = std::min<int64_t>(h, kMaxFontHeight);
    const int64_t cell = int64_t(d.winAscent) + d.winDescent;
    if (cell <= 0 || d.unitsPerEm <= 0) return int(h);
    // p * cell / em < h + 1/2
    const int64_t p = ((2 * h + 1) * d.unitsPerEm - 1) / (2 * cell);
    return int(std::clamp<int64_t>(p, 1, kMaxFontHeight));
}

TEXTMETRICA metricsFor(const FaceDesign& d, int ppem, bool synthetic) {
    const int64_t em = d.unitsPerEm;
    const int64_t cell = int64_t(d.winAscent) + d.winDescent;
    TEXTMETRICA tm{};
    tm.tmAscent = scaled(d.winAscent, ppem, em);
    tm.tmDescent = scaled(d.winDescent, ppem, em);
    tm.tmHeight = tm.tmAscent + tm.tmDescent;
    tm.tmInternalLeading = scaled(cell - em, ppem, em);
    const int64_t lineSpacing = int64_t(d.hheaAscent) - d.hheaDescent + d.lineGap;
    tm.tmExternalLeading = scaled(std::max<int64_t>(0, lineSpacing - cell), ppem, em);
    // Emboldening widens every character by a pixel.
    tm.tmAveCharWidth = scaled(d.averageWidth, ppem, em) + (synthetic ? 1 : 0);
    tm.tmMaxCharWidth = scaled(d.boxWidth, ppem, em) + (synthetic ? 1 : 0);
    return tm;
}

// When no font is installed at all, text still measures like a common sans face (and draws
// nothing).
FaceDesign fallbackDesign() {
    FaceDesign d;
    d.unitsPerEm = 2048;
    d.winAscent = 1854;
    d.winDescent = 434;
    d.hheaAscent = 1854;
    d.hheaDescent = -434;
    d.lineGap = 67;
    d.averageWidth = 1190;
    d.boxWidth = 2560;
    return d;
}

struct ThreadResolver {
    std::unordered_map<std::string, std::shared_ptr<FontFace>> fonts;
    std::unordered_map<std::string, FaceMatch> matches;  // lowered family + weight
    std::unordered_map<std::string, FontFile> fallbacks;  // empty path: nothing has it

    bool match(const std::string& family, bool bold, FaceMatch& out) {
        std::string key = lowered(family);
        key += bold ? "\n1" : "\n0";
        if (auto it = matches.find(key); it != matches.end()) {
            out = it->second;
            return !out.file.path.empty();
        }
        if (matches.size() >= kMaxCachedMatches) matches.clear();
        FaceMatch m;
        if (!chooseFace(family, bold, m)) m = FaceMatch{};
        matches.emplace(std::move(key), m);
        out = m;
        return !m.file.path.empty();
    }
};

ThreadResolver& resolver() {
    thread_local ThreadResolver r;
    return r;
}

// Text between the system code page (face names of logical fonts, as GetTextFaceA reports
// them) and UTF-8 (fontconfig's names).
std::string codePageToUtf8(const std::string& bytes, UINT codePage) {
    std::u32string chars;
    decodeCodePage(codePage, bytes.data(), bytes.size(), chars);
    return encodeCodePage(65001, chars.data(), chars.size());
}
std::string utf8ToCodePage(const std::string& utf8, UINT codePage) {
    std::u32string chars;
    decodeUtf8(utf8.data(), utf8.size(), chars);
    return encodeCodePage(codePage, chars.data(), chars.size());
}

// `requested` is the face name in the system code page, as the logical font holds it.
std::shared_ptr<FontFace> makeFace(const LOGFONTA& font, const std::string& requested, UINT codePage) {
    ThreadResolver& r = resolver();
    const bool bold = isBold(font.lfWeight);
    auto face = std::make_shared<FontFace>();
    face->bold = bold;
    const std::string wanted = codePageToUtf8(requested, codePage);
    FaceMatch m;
    bool found = !wanted.empty() && r.match(wanted, bold, m) && m.requested;
    if (found) {
        // The face's own spelling when asked by its own name, else the name asked for (an
        // alias such as Arial keeps its name, as GDI reports it).
        face->name = lowered(wanted) == lowered(m.file.family) ? utf8ToCodePage(m.file.family, codePage) : requested;
    } else {
        found = r.match(kDefaultFamily, bold, m);
        if (found)
            face->name = lowered(wanted) == "system" ? kSystemFace : utf8ToCodePage(m.file.family, codePage);
    }
    FaceDesign design;
    if (found && readFaceDesign(m.file.path, m.file.index, design)) {
        face->file = m.file.path;
        face->index = m.file.index;
        face->family = m.file.family;
    } else {
        design = fallbackDesign();
        if (face->name.empty()) face->name = requested.empty() ? kDefaultFamily : requested;
        face->family = face->name;
    }
    face->synthetic = bold && !face->file.empty() && !m.file.bold;
    face->ppem = pixelsPerEm(font.lfHeight, design);
    const int64_t turn = int64_t(font.lfEscapement) % 3600;
    face->escapement = int(turn < 0 ? turn + 3600 : turn);
    face->metrics = metricsFor(design, face->ppem, face->synthetic);
    // The angle as the reference renderer computes it: the result's last bits decide which
    // pixel a turned baseline starts on when the turned ascent is a whole number.
    const double angle = double(font.lfEscapement) * 3.14159265358979323846 / 1800.0;
    face->cosine = face->escapement == 0 ? 1.0 : std::cos(angle);
    face->sine = face->escapement == 0 ? 0.0 : std::sin(angle);
    face->key = face->file + "\n" + std::to_string(face->index) + "\n" + std::to_string(face->ppem) +
                "\n" + (face->bold ? "b" : "r") + (face->synthetic ? "s" : "") + "\n" +
                std::to_string(face->escapement);
    return face;
}

}  // namespace

std::shared_ptr<FontFace> resolveFont(const LOGFONTA& font) {
    const std::string requested(font.lfFaceName, strnlen(font.lfFaceName, LF_FACESIZE));
    // Keyed by the name as given: fonts asked with another spelling report their own name
    // (they still share the FreeType instance, which is keyed by file and size).
    // The name's bytes are read in the system code page of the moment.
    const UINT codePage = GetSystemCodePage();
    std::string key = requested + "\n" + std::to_string(font.lfHeight) + "\n" +
                      (isBold(font.lfWeight) ? "b" : "r") + "\n" + std::to_string(font.lfEscapement) + "\n" +
                      std::to_string(codePage);
    ThreadResolver& r = resolver();
    if (auto it = r.fonts.find(key); it != r.fonts.end()) return it->second;
    if (r.fonts.size() >= kMaxCachedFonts) r.fonts.clear();
    std::shared_ptr<FontFace> face = makeFace(font, requested, codePage);
    r.fonts[key] = face;
    return face;
}

std::shared_ptr<FontFace> faceOf(const FontObject* font) {
    if (font && font->face) return font->face;
    LOGFONTA logFont = font ? font->logFont : LOGFONTA{};
    // The stock font is GDI's System face, drawn with the default face in its place.
    if (!font || font->stock) std::memcpy(logFont.lfFaceName, kSystemFace, sizeof kSystemFace);
    return resolveFont(logFont);
}

bool fallbackFor(char32_t c, const std::string& family, bool bold, FontFile& out) {
    ThreadResolver& r = resolver();
    std::string key = lowered(family) + (bold ? "\n1\n" : "\n0\n") + std::to_string(uint32_t(c));
    if (auto it = r.fallbacks.find(key); it != r.fallbacks.end()) {
        out = it->second;
        return !out.path.empty();
    }
    if (r.fallbacks.size() >= kMaxCachedFallbacks) r.fallbacks.clear();
    FontFile found;
    Pattern pattern = basePattern(family, bold);
    std::unique_ptr<FcCharSet, CharSetDeleter> wanted(FcCharSetCreate());
    if (pattern && wanted && FcCharSetAddChar(wanted.get(), FcChar32(c)) &&
        FcPatternAddCharSet(pattern.get(), FC_CHARSET, wanted.get()) && substitute(nullptr, pattern.get())) {
        FcResult result = FcResultNoMatch;
        Pattern match(FcFontMatch(nullptr, pattern.get(), &result));
        FcCharSet* has = nullptr;
        // Charset coverage outranks the family in fontconfig's matching, so the best match has
        // the character whenever any installed face does.
        if (match && FcPatternGetCharSet(match.get(), FC_CHARSET, 0, &has) == FcResultMatch &&
            FcCharSetHasChar(has, FcChar32(c)) && !fileOf(match.get(), found))
            found = FontFile{};
    }
    r.fallbacks.emplace(std::move(key), found);
    out = found;
    return !found.path.empty();
}

}  // namespace kelvane::gdi
