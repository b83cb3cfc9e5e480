// cDIB: creation with checked sizes, palette access, copies in and out, resizing, fitting.
#include "raster/cdib.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "raster/gdi_handles.h"
#include "raster/surface.h"

namespace kelvane {

using namespace gdi;

namespace {

// A header followed by room for a 256-entry colour table.
struct InfoWithTable {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};

int32_t tableSize(int32_t bpp) { return bpp <= 8 ? (1 << bpp) : 0; }

}  // namespace

bool cDIB::Create(int32_t NewWidth, int32_t NewHeight, int32_t NewBPP) {
    Destroy();
    // Stride = (width x depth + 31) \ 32 x 4, and size = stride x height, in checked arithmetic.
    const int32_t stride = MulLng(IntDivide(AddLng(MulLng(NewWidth, NewBPP), 31), 32), 4);
    const int32_t size = MulLng(stride, NewHeight);
    InfoWithTable info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = NewWidth;
    info.header.biHeight = -NewHeight;
    info.header.biPlanes = 1;
    info.header.biBitCount = WORD(NewBPP);
    info.header.biCompression = BI_RGB;
    if (!m_section.create(reinterpret_cast<const BITMAPINFO*>(&info))) return false;
    m_width = NewWidth;
    m_height = NewHeight;
    m_bpp = NewBPP;
    m_stride = stride;
    m_size = size;
    return true;
}

void cDIB::Destroy() {
    m_section.release();
    m_width = m_height = m_bpp = m_stride = m_size = 0;
}

uint8_t cDIB::CreateFromStdPicture(const StdPicture& picture, VBBool Force32) {
    if (picture.empty() || picture.Type() != StdPicture::kPictypeBitmap) return 0;
    BITMAP bm{};
    if (!GetObjectA(picture.Handle(), sizeof bm, &bm)) return 0;
    const bool force = Force32 != kFalse;
    if (!Create(bm.bmWidth, bm.bmHeight, force ? 32 : bm.bmBitsPixel)) return 0;
    OwnedDC source(CreateCompatibleDC(nullptr));
    Selection select(source.get(), picture.Handle());
    if (bm.bmBitsPixel <= 8 && !force) {
        RGBQUAD table[256];
        const UINT n = GetDIBColorTable(source.get(), 0, UINT(tableSize(bm.bmBitsPixel)), table);
        SetDIBColorTable(m_section.dc(), 0, n, table);
    }
    BitBlt(m_section.dc(), 0, 0, m_width, m_height, source.get(), 0, 0, SRCCOPY);
    return uint8_t(bm.bmBitsPixel);
}

void cDIB::CloneTo(cDIB& target) const {
    if (!target.Create(m_width, m_height, m_bpp)) return;
    if (m_bpp <= 8) {
        RGBQUAD table[256];
        const UINT n = GetDIBColorTable(m_section.dc(), 0, UINT(tableSize(m_bpp)), table);
        SetDIBColorTable(target.hDIBDC(), 0, n, table);
    }
    if (m_section.bits() && m_size > 0) std::memcpy(target.lpBits(), m_section.bits(), size_t(m_size));
}

void cDIB::SetPalette(const std::vector<uint8_t>& entries) {
    if (!m_section.exists() || m_bpp > 8 || entries.size() < 4) return;
    std::vector<RGBQUAD> table(entries.size() / 4);
    std::memcpy(table.data(), entries.data(), table.size() * 4);
    SetDIBColorTable(m_section.dc(), 0, UINT(table.size()), table.data());
}

void cDIB::GetPalette(std::vector<uint8_t>& entries) const {
    if (!m_section.exists() || m_bpp > 8) return;
    std::vector<RGBQUAD> table(size_t(tableSize(m_bpp)));
    GetDIBColorTable(m_section.dc(), 0, UINT(table.size()), table.data());
    entries.resize(table.size() * 4);
    std::memcpy(entries.data(), table.data(), entries.size());
}

int32_t cDIB::Stretch(HDC dest, int32_t x, int32_t y, int32_t width, int32_t height, int32_t srcX,
                      int32_t srcY, int32_t srcWidth, int32_t srcHeight, DWORD rop) const {
    if (!m_section.exists()) return 0;
    if (srcWidth < 1) srcWidth = m_width;
    if (srcHeight < 1) srcHeight = m_height;
    const int previous = SetStretchBltMode(dest, COLORONCOLOR);
    const BOOL result = StretchBlt(dest, x, y, width, height, m_section.dc(), srcX, srcY, srcWidth, srcHeight, rop);
    if (previous) SetStretchBltMode(dest, previous);
    return result;
}

void cDIB::LoadBlt(HDC src, int32_t x, int32_t y, int32_t width, int32_t height) {
    if (!m_section.exists()) return;
    if (width < 1) width = m_width;
    if (height < 1) height = m_height;
    BitBlt(m_section.dc(), x, y, width, height, src, x, y, SRCCOPY);
}

void cDIB::Resize(int32_t NewWidth, int32_t NewHeight, VBBool StretchFlag) {
    cDIB temp;
    if (!temp.Create(NewWidth, NewHeight, m_bpp)) return;
    std::vector<uint8_t> palette;
    if (m_bpp <= 8) {
        GetPalette(palette);
        temp.SetPalette(palette);
    }
    if (StretchFlag != kFalse) Stretch(temp.hDIBDC(), 0, 0, NewWidth, NewHeight);
    else BitBlt(temp.hDIBDC(), 0, 0, m_width, m_height, m_section.dc(), 0, 0, SRCCOPY);
    if (!Create(NewWidth, NewHeight, temp.m_bpp)) return;
    if (!palette.empty()) SetPalette(palette);
    std::memcpy(m_section.bits(), temp.lpBits(), size_t(m_size));
}

void cDIB::GetBestFitInfo(int32_t destWidth, int32_t destHeight, int32_t& x, int32_t& y,
                          int32_t& width, int32_t& height, VBBool StretchFit) const {
    width = m_width;
    height = m_height;
    if (m_width > destWidth || m_height > destHeight || StretchFit != kFalse) {
        const float rw = CSng(Divide(destWidth, m_width));
        const float rh = CSng(Divide(destHeight, m_height));
        if (rw >= rh) {
            height = destHeight;
            width = CLng(double(rh) * m_width);
        } else {
            width = destWidth;
            height = CLng(double(rw) * m_height);
        }
    }
    x = IntDivide(SubLng(destWidth, width), 2);
    y = IntDivide(SubLng(destHeight, height), 2);
}

StdPicture cDIB::Image() const {
    if (!m_section.exists()) return StdPicture();
    HBITMAP copy = CreateCompatibleBitmap(nullptr, m_width, m_height);
    if (!copy) return StdPicture();
    StdPicture picture(copy);
    OwnedDC dc(CreateCompatibleDC(nullptr));
    Selection select(dc.get(), copy);
    Stretch(dc.get(), 0, 0, m_width, m_height);
    return picture;
}

// cDIB32

bool cDIB32::Create(int32_t NewWidth, int32_t NewHeight, Colour BackColor) {
    Destroy();
    MulLng(MulLng(NewWidth, 4), NewHeight);  // the size must be representable
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = NewWidth;
    info.bmiHeader.biHeight = -NewHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    if (!m_section.create(&info)) return false;
    m_width = NewWidth;
    m_height = NewHeight;
    Owned<HBRUSH> brush(CreateSolidBrush(COLORREF(BackColor)));
    RECT all;
    SetRect(&all, 0, 0, NewWidth, NewHeight);
    FillRect(m_section.dc(), &all, brush.get());
    return true;
}

bool cDIB32::Fits(int32_t NewWidth, int32_t NewHeight) {
    MulLng(MulLng(NewWidth, 4), NewHeight);
    if (NewWidth < 1 || NewHeight < 1 || NewWidth > gdi::kMaxSurfaceSide || NewHeight > gdi::kMaxSurfaceSide)
        return false;
    return uint64_t(NewWidth) * 4 * uint64_t(NewHeight) <= gdi::kMaxSurfaceBytes;
}

void cDIB32::Paint(HDC dest, int32_t x, int32_t y, float factor) const {
    if (!m_section.exists()) return;
    StretchBlt(dest, x, y, CLng(double(m_width) * factor), CLng(double(m_height) * factor), m_section.dc(), 0,
               0, m_width, m_height, SRCCOPY);
}

int32_t cDIB32::Stretch(HDC dest, int32_t x, int32_t y, int32_t width, int32_t height,
                        int32_t srcX, int32_t srcY, int32_t srcWidth, int32_t srcHeight,
                        int32_t mode) const {
    if (!m_section.exists()) return 0;
    const int previous = SetStretchBltMode(dest, mode);
    const BOOL result =
        StretchBlt(dest, x, y, width, height, m_section.dc(), srcX, srcY, srcWidth, srcHeight, SRCCOPY);
    if (previous) SetStretchBltMode(dest, previous);
    return result;
}

void cDIB32::Destroy() {
    m_section.release();
    m_width = m_height = 0;
}

}  // namespace kelvane
