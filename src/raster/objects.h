// The GDI objects behind the handles: pens, brushes, bitmaps (with their pixel surfaces),
// regions and device contexts, and the selection/deletion bookkeeping they share.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "kelvane/gdi.h"
#include "raster/path.h"
#include "raster/region.h"
#include "raster/surface.h"
#include "raster/trace.h"

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

// Pens from CreatePen (OBJ_PEN) and ExtCreatePen (OBJ_EXTPEN).
struct PenObject : GdiObject {
    explicit PenObject(DWORD k = OBJ_PEN) : GdiObject(k) {}
    DWORD style = PS_SOLID;          // PS_STYLE_MASK part
    DWORD endCap = PS_ENDCAP_ROUND;  // PS_ENDCAP_MASK part
    DWORD join = PS_JOIN_ROUND;      // PS_JOIN_MASK part
    bool geometric = false;          // ExtCreatePen with PS_GEOMETRIC, or CreatePen wider than 1
    int width = 1;                   // 0 and 1 draw cosmetic one-pixel lines
    COLORREF colour = 0;
    std::vector<DWORD> userStyle;    // PS_USERSTYLE dash and gap lengths
};

struct BrushObject : GdiObject {
    BrushObject() : GdiObject(OBJ_BRUSH) {}
    UINT style = BS_SOLID;  // BS_SOLID, BS_NULL, BS_HATCHED or BS_DIBPATTERNPT
    COLORREF colour = 0;
    int hatch = 0;
    Surface pattern;  // BS_DIBPATTERNPT: a copy of the pattern's pixels
};

struct BitmapObject : GdiObject {
    BitmapObject() : GdiObject(OBJ_BITMAP) {}
    Surface surface;
    bool dibSection = false;
};

struct FontFace;  // the resolved face and its glyph cache (text layer)
class DeferredPaint;  // painting put off while a session lasts (deferred_paint.h)

struct FontObject : GdiObject {
    FontObject() : GdiObject(OBJ_FONT) {}
    ~FontObject() override;
    LOGFONTA logFont{};
    // Resolved on first use by the text layer; shared by fonts of the same face and size.
    std::shared_ptr<FontFace> face;
};

struct RegionObject : GdiObject {
    RegionObject() : GdiObject(OBJ_REGION) {}
    Region region;
};

struct DeviceContext {
    BitmapObject* bitmap = nullptr;
    PenObject* pen = nullptr;
    BrushObject* brush = nullptr;
    FontObject* font = nullptr;
    int bkMode = OPAQUE;
    COLORREF bkColour = RGB(255, 255, 255);
    COLORREF textColour = 0;
    int stretchMode = BLACKONWHITE;
    int arcDirection = AD_COUNTERCLOCKWISE;
    int polyFillMode = ALTERNATE;
    POINT brushOrigin{0, 0};
    POINT position{0, 0};
    PathData path;
    std::unique_ptr<Trace> trace;  // recording of the calls, when asked for
    DeferredPaint* deferred = nullptr;  // owned by the session that put the painting off
    // The background mode and colour the selected brush was first painted with since it was
    // selected: the platform realises a brush once per selection (see brush_paint.h).
    mutable struct RealizedBrush {
        const BrushObject* brush = nullptr;  // null: not painted since selected
        int bkMode = OPAQUE;
        COLORREF bkColour = 0;
    } realizedBrush;
};

// The trace of a context, or null: the single test every traced call makes.
inline Trace* traceOf(const DeviceContext* dc) { return dc ? dc->trace.get() : nullptr; }

// Stock objects are shared and immutable: selection counts are not kept for them.
GdiObject* stockObject(int which);

// Takes a context's hold on an object; frees it when it was deleted while selected.
void releaseSelection(GdiObject* object);
void addSelection(GdiObject* object);

// Validated casts: null when the handle is null or of another kind.
BitmapObject* asBitmap(HGDIOBJ h);
PenObject* asPen(HGDIOBJ h);
BrushObject* asBrush(HGDIOBJ h);
RegionObject* asRegion(HGDIOBJ h);
FontObject* asFont(HGDIOBJ h);

// The pixels a context draws into; null without a context or with only the stock 1x1 bitmap
// selected (shared by every context, so never drawn into).
inline Surface* surfaceOf(HDC dc) {
    return dc && dc->bitmap && !dc->bitmap->stock ? &dc->bitmap->surface : nullptr;
}

}  // namespace kelvane::gdi
