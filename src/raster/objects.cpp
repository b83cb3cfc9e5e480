// Object creation, stock objects, deletion with GDI's deferred rule, and GetObject.
#include <cstdlib>
#include <cstring>
#include <limits>

#include "raster/objects.h"

namespace kelvane::gdi {

namespace {

template <class T>
T* makeStock(void (*init)(T&)) {
    T* object = new T();  // lives for the whole process, like the platform's stock objects
    object->stock = true;
    init(*object);
    return object;
}

}  // namespace

GdiObject* stockObject(int which) {
    static PenObject* const blackPen = makeStock<PenObject>([](PenObject& p) { p.colour = 0; });
    static PenObject* const whitePen =
        makeStock<PenObject>([](PenObject& p) { p.colour = RGB(255, 255, 255); });
    static PenObject* const nullPen = makeStock<PenObject>([](PenObject& p) { p.style = PS_NULL; });
    static BrushObject* const whiteBrush =
        makeStock<BrushObject>([](BrushObject& b) { b.colour = RGB(255, 255, 255); });
    static BrushObject* const blackBrush = makeStock<BrushObject>([](BrushObject& b) { b.colour = 0; });
    static BrushObject* const nullBrush =
        makeStock<BrushObject>([](BrushObject& b) { b.style = BS_NULL; });
    static FontObject* const systemFont = makeStock<FontObject>([](FontObject& f) {
        // The stock font: the default face at a 16-pixel cell.
        f.logFont.lfHeight = 16;
        f.logFont.lfWeight = 700;
    });
    static BitmapObject* const defaultBitmap = makeStock<BitmapObject>([](BitmapObject& b) {
        b.surface.allocate(1, 1, 1, false);
        b.surface.colours()[1] = RGBQUAD{255, 255, 255, 0};
    });
    switch (which) {
    case BLACK_PEN: return blackPen;
    case WHITE_PEN: return whitePen;
    case NULL_PEN: return nullPen;
    case WHITE_BRUSH: return whiteBrush;
    case BLACK_BRUSH: return blackBrush;
    case NULL_BRUSH: return nullBrush;
    case DEFAULT_BITMAP: return defaultBitmap;
    case SYSTEM_FONT: return systemFont;
    default: return nullptr;
    }
}

HGDIOBJ GetStockObject(int which) { return stockObject(which); }

void addSelection(GdiObject* object) {
    if (object && !object->stock) ++object->selections;
}

void releaseSelection(GdiObject* object) {
    if (!object || object->stock) return;
    if (--object->selections == 0 && object->deletePending) delete object;
}

BitmapObject* asBitmap(HGDIOBJ h) {
    return h && h->kind == OBJ_BITMAP ? static_cast<BitmapObject*>(h) : nullptr;
}
PenObject* asPen(HGDIOBJ h) {
    return h && (h->kind == OBJ_PEN || h->kind == OBJ_EXTPEN) ? static_cast<PenObject*>(h) : nullptr;
}
FontObject* asFont(HGDIOBJ h) {
    return h && h->kind == OBJ_FONT ? static_cast<FontObject*>(h) : nullptr;
}

BrushObject* asBrush(HGDIOBJ h) {
    return h && h->kind == OBJ_BRUSH ? static_cast<BrushObject*>(h) : nullptr;
}

BOOL DeleteObject(HGDIOBJ object) {
    if (!object) return 0;
    if (object->stock) return 1;
    if (object->deletePending) return 0;  // already deleted, waiting to be deselected
    if (object->selections > 0) {
        object->deletePending = true;
        return 1;
    }
    delete object;
    return 1;
}

DWORD GetObjectType(HGDIOBJ object) { return object ? object->kind : 0; }

HPEN CreatePen(int style, int width, COLORREF colour) {
    if (style < int(PS_SOLID) || style > int(PS_INSIDEFRAME)) return nullptr;
    auto* pen = new PenObject();
    pen->style = DWORD(style);
    // A negative width counts by its size; the most negative int has none, so it is the widest.
    pen->width = width == std::numeric_limits<int>::min() ? std::numeric_limits<int>::max() : std::abs(width);
    pen->colour = colour & 0x00FFFFFF;
    // Wider pens are geometric with round caps and joins.
    pen->geometric = pen->width > 1;
    return pen;
}

HPEN ExtCreatePen(DWORD style, DWORD width, const LOGBRUSH* brush, DWORD styleCount,
                  const DWORD* styleEntries) {
    const DWORD penStyle = style & PS_STYLE_MASK;
    const bool geometric = (style & PS_TYPE_MASK) == PS_GEOMETRIC;
    if (!brush || penStyle > PS_ALTERNATE || (style & PS_TYPE_MASK) > PS_GEOMETRIC) return nullptr;
    if ((style & PS_ENDCAP_MASK) > PS_ENDCAP_FLAT || (style & PS_JOIN_MASK) > PS_JOIN_MITER) return nullptr;
    if (penStyle == PS_USERSTYLE) {
        if (styleCount == 0 || styleCount > 16 || !styleEntries) return nullptr;
    } else if (styleCount != 0 || styleEntries) {
        return nullptr;
    }
    // Cosmetic pens are one pixel wide and solid-coloured; PS_ALTERNATE is cosmetic only.
    if (!geometric && (width != 1 || brush->lbStyle != BS_SOLID)) return nullptr;
    if (geometric && penStyle == PS_ALTERNATE) return nullptr;
    if (width > 0x7FFFFFFF) return nullptr;
    auto* pen = new PenObject(OBJ_EXTPEN);
    pen->style = penStyle;
    pen->endCap = style & PS_ENDCAP_MASK;
    pen->join = style & PS_JOIN_MASK;
    pen->geometric = geometric;
    pen->width = int(width);
    pen->colour = brush->lbColor & 0x00FFFFFF;
    if (brush->lbStyle == BS_NULL) pen->style = PS_NULL;
    if (penStyle == PS_USERSTYLE) pen->userStyle.assign(styleEntries, styleEntries + styleCount);
    return pen;
}

HBRUSH CreateSolidBrush(COLORREF colour) {
    auto* brush = new BrushObject();
    brush->colour = colour & 0x00FFFFFF;
    return brush;
}

HBRUSH CreateHatchBrush(int hatch, COLORREF colour) {
    if (hatch < HS_HORIZONTAL || hatch > HS_DIAGCROSS) return nullptr;
    auto* brush = new BrushObject();
    brush->style = BS_HATCHED;
    brush->hatch = hatch;
    brush->colour = colour & 0x00FFFFFF;
    return brush;
}

HBRUSH CreateDIBPatternBrushPt(const void* packedDib, UINT usage) {
    if (!packedDib || usage != DIB_RGB_COLORS) return nullptr;
    const auto* info = static_cast<const BITMAPINFO*>(packedDib);
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biCompression != BI_RGB || h.biWidth <= 0 ||
        h.biHeight == 0 || h.biHeight == INT32_MIN)
        return nullptr;
    const int bpp = h.biBitCount;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return nullptr;
    const int height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    const size_t entries = bpp <= 8 ? (h.biClrUsed && h.biClrUsed < (1u << bpp) ? h.biClrUsed : 1u << bpp) : 0;
    const uint8_t* rows = reinterpret_cast<const uint8_t*>(packedDib) + h.biSize + entries * sizeof(RGBQUAD);
    auto* brush = new BrushObject();
    brush->style = BS_DIBPATTERNPT;
    if (!brush->pattern.allocate(h.biWidth, height, bpp, h.biHeight < 0)) {
        delete brush;
        return nullptr;
    }
    const auto* table = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const uint8_t*>(packedDib) + h.biSize);
    for (size_t i = 0; i < entries; ++i) brush->pattern.colours()[i] = table[i];
    std::memcpy(brush->pattern.bits(), rows, brush->pattern.byteSize());
    return brush;
}

int GetObjectA(HGDIOBJ object, int size, void* out) {
    if (!object) return 0;
    if (auto* bitmap = asBitmap(object)) {
        if (!out) return int(sizeof(BITMAP));
        if (size < int(sizeof(BITMAP))) return 0;
        const Surface& s = bitmap->surface;
        BITMAP bm{};
        bm.bmWidth = s.width();
        bm.bmHeight = s.height();
        bm.bmWidthBytes = s.stride();
        bm.bmPlanes = 1;
        bm.bmBitsPixel = WORD(s.bpp());
        // Only DIB sections expose their bits; the stock bitmap is never written through a pointer.
        bm.bmBits = bitmap->dibSection ? const_cast<uint8_t*>(s.bits()) : nullptr;
        std::memcpy(out, &bm, sizeof bm);
        return int(sizeof bm);
    }
    if (auto* pen = asPen(object)) {
        if (!out) return int(sizeof(LOGPEN));
        if (size < int(sizeof(LOGPEN))) return 0;
        LOGPEN lp{UINT(pen->style | pen->endCap | pen->join | (pen->geometric && object->kind == OBJ_EXTPEN ? DWORD(PS_GEOMETRIC) : DWORD(0))),
                  POINT{pen->width, 0}, pen->colour};
        std::memcpy(out, &lp, sizeof lp);
        return int(sizeof lp);
    }
    if (auto* brush = asBrush(object)) {
        if (!out) return int(sizeof(LOGBRUSH));
        if (size < int(sizeof(LOGBRUSH))) return 0;
        LOGBRUSH lb{brush->style, brush->colour, uintptr_t(brush->hatch)};
        std::memcpy(out, &lb, sizeof lb);
        return int(sizeof lb);
    }
    return 0;
}

}  // namespace kelvane::gdi
