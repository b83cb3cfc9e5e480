// cDIB: a top-down DIB section of 1, 4, 8, 24 or 32 bits in its own memory context, drawable
// through the raster API and addressable byte by byte.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kelvane/gdi.h"
#include "kelvane/runtime.h"
#include "raster/dib_section.h"
#include "raster/std_picture.h"

namespace kelvane {

class cDIB {
public:
    cDIB() = default;
    ~cDIB() { Destroy(); }
    cDIB(const cDIB&) = delete;
    cDIB& operator=(const cDIB&) = delete;

    bool Create(int32_t NewWidth, int32_t NewHeight, int32_t NewBPP);
    // Copies a picture's bitmap; returns its depth, 0 when nothing was created.
    uint8_t CreateFromStdPicture(const StdPicture& picture, VBBool Force32 = kFalse);
    void CloneTo(cDIB& target) const;
    void Destroy();
    // Colour table from four-byte entries (blue, green, red, 0).
    void SetPalette(const std::vector<uint8_t>& entries);
    void GetPalette(std::vector<uint8_t>& entries) const;
    int32_t Stretch(gdi::HDC dest, int32_t x, int32_t y, int32_t width, int32_t height,
                    int32_t srcX = 0, int32_t srcY = 0, int32_t srcWidth = 0,
                    int32_t srcHeight = 0, gdi::DWORD rop = gdi::SRCCOPY) const;
    void LoadBlt(gdi::HDC src, int32_t x = 0, int32_t y = 0, int32_t width = 0, int32_t height = 0);
    void Resize(int32_t NewWidth, int32_t NewHeight, VBBool StretchFlag = kFalse);
    void GetBestFitInfo(int32_t destWidth, int32_t destHeight, int32_t& x, int32_t& y,
                        int32_t& width, int32_t& height, VBBool StretchFit = kFalse) const;
    // A screen-compatible copy of the pixels as a picture object.
    StdPicture Image() const;
    // Writes the pixels of hlDC as a 24-bit BMP file of hd's size; false when the file could not
    // be written (an existing file then stays as it was), with the system's reason in *why.
    bool SaveBMP(gdi::HDC hlDC, gdi::HBITMAP hd, int32_t NewWidth, int32_t NewHeight,
                 const std::string& FileName, std::string* why = nullptr);

    gdi::HDC hDIBDC() const { return m_section.dc(); }
    gdi::HBITMAP hDib() const { return m_section.bitmap(); }
    uint8_t* lpBits() const { return m_section.bits(); }
    int32_t Width() const { return m_width; }
    int32_t Height() const { return m_height; }
    int32_t BPP() const { return m_bpp; }
    int32_t BytesPerScanLine() const { return m_stride; }
    int32_t Size() const { return m_size; }

private:
    gdi::DibSection m_section;
    int32_t m_width = 0, m_height = 0, m_bpp = 0, m_stride = 0, m_size = 0;
};

// cDIB32: a 32-bit top-down surface filled with a background colour, painted onto other contexts.
class cDIB32 {
public:
    cDIB32() = default;
    ~cDIB32() { Destroy(); }
    cDIB32(const cDIB32&) = delete;
    cDIB32& operator=(const cDIB32&) = delete;

    bool Create(int32_t NewWidth, int32_t NewHeight, Colour BackColor = 0);
    // Whether Create would make a surface of this size with pixels in it, memory permitting;
    // a byte size beyond 32 bits raises error 6, as in Create.
    static bool Fits(int32_t NewWidth, int32_t NewHeight);
    void Paint(gdi::HDC dest, int32_t x, int32_t y, float factor = 1.0f) const;
    int32_t Stretch(gdi::HDC dest, int32_t x, int32_t y, int32_t width, int32_t height,
                    int32_t srcX, int32_t srcY, int32_t srcWidth, int32_t srcHeight,
                    int32_t mode) const;
    void Destroy();

    gdi::HDC hDIBDC() const { return m_section.dc(); }
    gdi::HBITMAP hDib() const { return m_section.bitmap(); }
    uint8_t* DIBitsPtr() const { return m_section.bits(); }
    int32_t BytesPerScanLine() const { return m_width * 4; }
    int32_t Width() const { return m_width; }
    int32_t Height() const { return m_height; }

private:
    gdi::DibSection m_section;
    int32_t m_width = 0, m_height = 0;
};

}  // namespace kelvane
