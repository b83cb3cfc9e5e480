// cDIBTile: the pattern brush is made from a packed 24-bit DIB of the picture's pixels.
#include "draw/dib_tile.h"

#include <cstring>
#include <vector>

namespace kelvane {

using namespace gdi;

bool cDIBTile::SetPattern(const StdPicture& picture) {
    Owned<HBRUSH> pattern = MakePattern(picture);
    if (!pattern) return bool(m_brush);
    DestroyPattern();
    m_brush = std::move(pattern);
    return true;
}

Owned<HBRUSH> cDIBTile::MakePattern(const StdPicture& picture) {
    const HBITMAP bitmap = picture.Handle();
    if (GetObjectType(bitmap) != OBJ_BITMAP) return {};
    BITMAP bm{};
    if (GetObjectA(bitmap, sizeof bm, &bm) != int(sizeof bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return {};

    // A packed DIB: the header, then bottom-up 24-bit rows padded to whole 32-bit words.
    const size_t stride = (size_t(bm.bmWidth) * 3 + 3) & ~size_t{3};
    const size_t imageBytes = stride * size_t(bm.bmHeight);
    BITMAPINFO info{};
    BITMAPINFOHEADER& h = info.bmiHeader;
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = bm.bmWidth;
    h.biHeight = bm.bmHeight;
    h.biPlanes = 1;
    h.biBitCount = 24;
    h.biCompression = BI_RGB;
    h.biSizeImage = DWORD(imageBytes);
    std::vector<uint8_t> packed(sizeof(BITMAPINFOHEADER) + imageBytes);
    {
        const OwnedDC memory(CreateCompatibleDC(nullptr));
        const Selection select(memory.get(), bitmap);
        BITMAPINFO query = info;
        GetDIBits(memory.get(), bitmap, 0, UINT(bm.bmHeight), packed.data() + sizeof(BITMAPINFOHEADER), &query,
                  DIB_RGB_COLORS);
    }
    std::memcpy(packed.data(), &h, sizeof h);
    return Owned<HBRUSH>(CreateDIBPatternBrushPt(packed.data(), DIB_RGB_COLORS));
}

void cDIBTile::Tile(HDC dc, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    TileWith(dc, m_brush.get(), x1, y1, x2, y2);
    DestroyPattern();
}

void cDIBTile::TileWith(HDC dc, HBRUSH pattern, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    if (!pattern) return;
    RECT r;
    SetRect(&r, x1, y1, x2, y2);
    SetBrushOrgEx(dc, x1, y1, nullptr);
    FillRect(dc, &r, pattern);
}

void cDIBTile::DestroyPattern() { m_brush.reset(); }

}  // namespace kelvane
