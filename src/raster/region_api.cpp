// Region objects: creation, combination and painting.
#include "raster/brush_paint.h"
#include "raster/objects.h"

namespace kelvane::gdi {

namespace {

HRGN wrapRegion(Region r) {
    auto* object = new RegionObject();
    object->region = std::move(r);
    return object;
}

int complexity(const Region& r) {
    return r.empty() ? NULLREGION : r.rects().size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

}  // namespace

RegionObject* asRegion(HGDIOBJ h) {
    return h && h->kind == OBJ_REGION ? static_cast<RegionObject*>(h) : nullptr;
}

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
    return wrapRegion(Region::fromRect(left, top, right, bottom));
}

HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode) {
    // Fewer than three points make an empty region, not an error, as on the platform.
    if (count < 0 || (count > 0 && !points) || (fillMode != ALTERNATE && fillMode != WINDING)) return nullptr;
    return wrapRegion(Region::fromPolygon(points, count, fillMode));
}

HRGN CreateEllipticRgn(int left, int top, int right, int bottom) {
    return wrapRegion(Region::fromEllipse(left, top, right, bottom));
}

int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode) {
    RegionObject* d = asRegion(dest);
    const RegionObject* a = asRegion(src1);
    const RegionObject* b = asRegion(src2);
    if (!d || !a || (mode != RGN_COPY && !b)) return RGN_ERROR;
    Region result = a->region;
    switch (mode) {
    case RGN_AND: result.intersect(b->region); break;
    case RGN_OR: result.unite(b->region); break;
    case RGN_XOR: result.exclusiveOr(b->region); break;
    case RGN_DIFF: result.subtract(b->region); break;
    case RGN_COPY: break;
    default: return RGN_ERROR;
    }
    d->region = std::move(result);
    return complexity(d->region);
}

int GetRgnBox(HRGN region, RECT* box) {
    const RegionObject* r = asRegion(region);
    if (!r || !box) return RGN_ERROR;
    *box = r->region.bounds();
    return complexity(r->region);
}

BOOL PtInRegion(HRGN region, int x, int y) {
    const RegionObject* r = asRegion(region);
    return r && r->region.contains(x, y);
}

BOOL FillRgn(HDC dc, HRGN region, HBRUSH brush) {
    const RegionObject* r = asRegion(region);
    const BrushObject* b = asBrush(brush);
    if (!dc || !r || !b) return 0;
    traceBrushBoxes(*dc, b, r->region.rects().data(), r->region.rects().size());
    forgetRealizedBrush(*dc);
    if (Surface* s = surfaceOf(dc)) BrushPainter(*dc, b).region(*s, r->region);
    forgetRealizedBrush(*dc);
    return 1;
}

}  // namespace kelvane::gdi
