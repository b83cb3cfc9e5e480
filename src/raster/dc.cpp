// Memory device contexts: creation with GDI's defaults, object selection and context state.
#include "raster/objects.h"

namespace kelvane::gdi {

HDC CreateCompatibleDC(HDC) {
    auto* dc = new DeviceContext();
    dc->bitmap = static_cast<BitmapObject*>(stockObject(DEFAULT_BITMAP));
    dc->pen = static_cast<PenObject*>(stockObject(BLACK_PEN));
    dc->brush = static_cast<BrushObject*>(stockObject(WHITE_BRUSH));
    dc->font = static_cast<FontObject*>(stockObject(SYSTEM_FONT));
    return dc;
}

BOOL DeleteDC(HDC dc) {
    if (!dc) return 0;
    if (Trace* t = traceOf(dc)) t->finish();
    releaseSelection(dc->bitmap);
    releaseSelection(dc->pen);
    releaseSelection(dc->brush);
    releaseSelection(dc->font);
    delete dc;
    return 1;
}

namespace {

template <class T>
HGDIOBJ swapSelection(T*& slot, T* object) {
    T* previous = slot;
    addSelection(object);
    slot = object;
    releaseSelection(previous);  // may free an object deleted while it was selected
    return previous;
}

}  // namespace

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    if (!dc || !object || object->deletePending) return nullptr;
    if (auto* pen = asPen(object)) {
        if (Trace* t = traceOf(dc)) t->pen(pen);
        return swapSelection(dc->pen, pen);
    }
    if (auto* brush = asBrush(object)) {
        if (Trace* t = traceOf(dc)) t->brush(brush);
        dc->realizedBrush.brush = nullptr;  // a selected brush is realised again at its next paint
        return swapSelection(dc->brush, brush);
    }
    if (auto* font = asFont(object)) {
        if (Trace* t = traceOf(dc)) t->font(font);
        return swapSelection(dc->font, font);
    }
    if (auto* bitmap = asBitmap(object)) {
        // A bitmap lives in one context at a time.
        if (bitmap->selections > 0 && dc->bitmap != bitmap) return nullptr;
        return swapSelection(dc->bitmap, bitmap);
    }
    return nullptr;
}

HGDIOBJ GetCurrentObject(HDC dc, UINT kind) {
    if (!dc) return nullptr;
    switch (kind) {
    case OBJ_PEN: return dc->pen;
    case OBJ_BRUSH: return dc->brush;
    case OBJ_BITMAP: return dc->bitmap;
    case OBJ_FONT: return dc->font;
    default: return nullptr;
    }
}

int SetBkMode(HDC dc, int mode) {
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    const int previous = dc->bkMode;
    dc->bkMode = mode;
    if (Trace* t = traceOf(dc)) t->line("bkmode %d", mode);
    return previous;
}

int GetBkMode(HDC dc) { return dc ? dc->bkMode : 0; }

BOOL SetBrushOrgEx(HDC dc, int x, int y, POINT* previous) {
    if (!dc) return 0;
    if (previous) *previous = dc->brushOrigin;
    dc->brushOrigin = POINT{x, y};
    if (Trace* t = traceOf(dc)) t->line("brushorg %d %d", x, y);
    return 1;
}

int SetArcDirection(HDC dc, int direction) {
    if (!dc || (direction != AD_COUNTERCLOCKWISE && direction != AD_CLOCKWISE)) return 0;
    const int previous = dc->arcDirection;
    dc->arcDirection = direction;
    if (Trace* t = traceOf(dc)) t->line("arcdir %d", direction);
    return previous;
}

int GetArcDirection(HDC dc) { return dc ? dc->arcDirection : 0; }

int SetPolyFillMode(HDC dc, int mode) {
    if (!dc || (mode != ALTERNATE && mode != WINDING)) return 0;
    const int previous = dc->polyFillMode;
    dc->polyFillMode = mode;
    if (Trace* t = traceOf(dc)) t->line("polyfill %d", mode);
    return previous;
}

int GetPolyFillMode(HDC dc) { return dc ? dc->polyFillMode : 0; }

BOOL GetCurrentPositionEx(HDC dc, POINT* position) {
    if (!dc || !position) return 0;
    *position = dc->position;
    return 1;
}

COLORREF SetBkColor(HDC dc, COLORREF colour) {
    if (!dc) return CLR_INVALID;
    const COLORREF previous = dc->bkColour;
    dc->bkColour = colour & 0x00FFFFFF;
    if (Trace* t = traceOf(dc)) t->line("bkcolor 0x%06X", dc->bkColour);
    return previous;
}

int SetStretchBltMode(HDC dc, int mode) {
    if (!dc || mode < BLACKONWHITE || mode > HALFTONE) return 0;
    const int previous = dc->stretchMode;
    dc->stretchMode = mode;
    if (Trace* t = traceOf(dc)) t->line("stretchmode %d", mode);
    return previous;
}

int GetStretchBltMode(HDC dc) { return dc ? dc->stretchMode : 0; }

COLORREF SetTextColor(HDC dc, COLORREF colour) {
    if (!dc) return CLR_INVALID;
    const COLORREF previous = dc->textColour;
    dc->textColour = colour & 0x00FFFFFF;
    if (Trace* t = traceOf(dc)) t->line("textcolor 0x%06X", dc->textColour);
    return previous;
}

COLORREF GetTextColor(HDC dc) { return dc ? dc->textColour : CLR_INVALID; }

COLORREF SetPixel(HDC dc, int x, int y, COLORREF colour) {
    Surface* s = surfaceOf(dc);
    if (Trace* t = traceOf(dc)) t->line("setpixel %d %d 0x%06X", x, y, colour & 0x00FFFFFF);
    if (!s || !s->contains(x, y)) return CLR_INVALID;
    s->setPixel(x, y, colour & 0x00FFFFFF);
    return s->pixel(x, y);
}

COLORREF GetPixel(HDC dc, int x, int y) {
    const Surface* s = surfaceOf(dc);
    if (!s || !s->contains(x, y)) return CLR_INVALID;
    return s->pixel(x, y);
}

}  // namespace kelvane::gdi
