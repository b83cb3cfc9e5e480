// BMP headers and the in-memory image of the canvas.
#include "output/bmp/bmp.h"

#include <cstring>

#include "kelvane/runtime.h"

namespace kelvane {

using namespace gdi;

namespace {

void put16(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
void put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

}  // namespace

int32_t BmpStride24(int32_t width) {
    return MulLng(IntDivide(AddLng(MulLng(3, width), 3), 4), 4);
}

std::array<uint8_t, kBmpFileHeaderSize> BmpFileHeader(int32_t fileSize, int32_t pixelOffset) {
    std::array<uint8_t, kBmpFileHeaderSize> h{};
    h[0] = 'B';
    h[1] = 'M';
    put32(&h[2], uint32_t(fileSize));
    put32(&h[10], uint32_t(pixelOffset));  // the two reserved words stay 0
    return h;
}

BITMAPINFOHEADER BmpInfoHeader24(int32_t width, int32_t height, int32_t imageSize) {
    BITMAPINFOHEADER h{};
    h.biSize = kBmpInfoHeaderSize;
    h.biWidth = width;
    h.biHeight = height;  // positive: rows bottom-up
    h.biPlanes = 1;
    h.biBitCount = 24;
    h.biCompression = BI_RGB;
    h.biSizeImage = DWORD(imageSize);
    return h;
}

std::array<uint8_t, kBmpInfoHeaderSize> SerializeInfoHeader(const BITMAPINFOHEADER& h) {
    std::array<uint8_t, kBmpInfoHeaderSize> out{};
    put32(&out[0], h.biSize);
    put32(&out[4], uint32_t(h.biWidth));
    put32(&out[8], uint32_t(h.biHeight));
    put16(&out[12], h.biPlanes);
    put16(&out[14], h.biBitCount);
    put32(&out[16], h.biCompression);
    put32(&out[20], h.biSizeImage);
    put32(&out[24], uint32_t(h.biXPelsPerMeter));
    put32(&out[28], uint32_t(h.biYPelsPerMeter));
    put32(&out[32], h.biClrUsed);
    put32(&out[36], h.biClrImportant);
    return out;
}

std::vector<uint8_t> BuildBmpImage(HDC& canvasDC, HBITMAP& canvasBitmap) {
    BITMAP bm{};
    GetObjectA(canvasBitmap, sizeof bm, &bm);
    const int32_t stride = BmpStride24(bm.bmWidth);
    const int32_t pixelBytes = MulLng(stride, bm.bmHeight);
    const int32_t fileSize = AddLng(kBmpImagePixelOffset, pixelBytes);

    // The header plus one zero colour entry: 44 bytes, as the rows are requested with it.
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD unused;
    } info{BmpInfoHeader24(bm.bmWidth, bm.bmHeight, 0), RGBQUAD{0, 0, 0, 0}};

    std::vector<uint8_t> image(size_t(fileSize), 0);
    GetDIBits(canvasDC, canvasBitmap, 0, UINT(bm.bmHeight), image.data() + kBmpImagePixelOffset,
              reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    const auto fileHeader = BmpFileHeader(fileSize, kBmpImagePixelOffset);
    const auto infoHeader = SerializeInfoHeader(info.header);
    std::memcpy(image.data(), fileHeader.data(), fileHeader.size());
    std::memcpy(image.data() + kBmpFileHeaderSize, infoHeader.data(), infoHeader.size());

    DeleteObject(canvasBitmap);
    DeleteDC(canvasDC);
    canvasBitmap = nullptr;
    canvasDC = nullptr;
    return image;
}

}  // namespace kelvane
