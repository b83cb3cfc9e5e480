// The GDI objects behind the handles: pens, brushes, bitmaps (with their pixel surfaces) and
// device contexts, and the selection/deletion bookkeeping they share.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "kelvane/gdi.h"
#include "raster/surface.h"

namespace kelvane::gdi {

struct GdiObject {
    explicit GdiObject(DWORD k) : kind(k) {}
    virtual ~GdiObject() = default;
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    const DWORD kind;
    bool stock = false;
    // A selected object is only freed once the last context lets go of it; DeleteObject before
    // that just marks it.
    int selections = 0;
    bool deletePending = false;
};

struct PenObject : GdiObject {
    PenObject() : GdiObject(OBJ_PEN) {}
    int style = PS_SOLID;
    int width = 1;  // 0 and 1 both draw cosmetic one-pixel lines
    COLORREF colour = 0;
};

enum class BrushStyle { Solid, Null };

struct BrushObject : GdiObject {
    BrushObject() : GdiObject(OBJ_BRUSH) {}
    BrushStyle style = BrushStyle::Solid;
    COLORREF colour = 0;
};

struct BitmapObject : GdiObject {
    BitmapObject() : GdiObject(OBJ_BITMAP) {}
    Surface surface;
    bool dibSection = false;
};

struct DeviceContext {
    BitmapObject* bitmap = nullptr;
    PenObject* pen = nullptr;
    BrushObject* brush = nullptr;
    int bkMode = OPAQUE;
    COLORREF bkColour = RGB(255, 255, 255);
    COLORREF textColour = 0;
    int stretchMode = BLACKONWHITE;
    POINT position{0, 0};
};

// Stock objects are shared and immutable: selection counts are not kept for them.
GdiObject* stockObject(int which);

// Takes a context's hold on an object; frees it when it was deleted while selected.
void releaseSelection(GdiObject* object);
void addSelection(GdiObject* object);

// Validated casts: null when the handle is null or of another kind.
BitmapObject* asBitmap(HGDIOBJ h);
PenObject* asPen(HGDIOBJ h);
BrushObject* asBrush(HGDIOBJ h);

// The pixels a context draws into; null without a context or with only the stock 1x1 bitmap
// selected (shared by every context, so never drawn into).
inline Surface* surfaceOf(HDC dc) {
    return dc && dc->bitmap && !dc->bitmap->stock ? &dc->bitmap->surface : nullptr;
}

}  // namespace kelvane::gdi
