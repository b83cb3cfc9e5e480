// Object creation, stock objects, deletion with GDI's deferred rule, and GetObject.
#include <cstring>

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
        makeStock<BrushObject>([](BrushObject& b) { b.style = BrushStyle::Null; });
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
PenObject* asPen(HGDIOBJ h) { return h && h->kind == OBJ_PEN ? static_cast<PenObject*>(h) : nullptr; }
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
    if (style < PS_SOLID || style > PS_INSIDEFRAME) return nullptr;
    auto* pen = new PenObject();
    pen->style = style;
    pen->width = width < 0 ? -width : width;
    pen->colour = colour & 0x00FFFFFF;
    return pen;
}

HBRUSH CreateSolidBrush(COLORREF colour) {
    auto* brush = new BrushObject();
    brush->colour = colour & 0x00FFFFFF;
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
        struct LOGPEN { UINT style; POINT width; COLORREF colour; };
        if (!out) return int(sizeof(LOGPEN));
        if (size < int(sizeof(LOGPEN))) return 0;
        LOGPEN lp{UINT(pen->style), POINT{pen->width, 0}, pen->colour};
        std::memcpy(out, &lp, sizeof lp);
        return int(sizeof lp);
    }
    if (auto* brush = asBrush(object)) {
        struct LOGBRUSH { UINT style; COLORREF colour; uintptr_t hatch; };
        if (!out) return int(sizeof(LOGBRUSH));
        if (size < int(sizeof(LOGBRUSH))) return 0;
        LOGBRUSH lb{brush->style == BrushStyle::Null ? 1u : 0u, brush->colour, 0};
        std::memcpy(out, &lb, sizeof lb);
        return int(sizeof lb);
    }
    return 0;
}

}  // namespace kelvane::gdi
