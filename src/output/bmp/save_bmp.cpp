// cDIB.SaveBMP: the pixels of a context written as a 24-bit BMP file of a bitmap's size.
#include <vector>

#include "output/bmp/bmp.h"
#include "output/file/file_write.h"
#include "raster/cdib.h"
#include "raster/gdi_handles.h"

namespace kelvane {

using namespace gdi;

bool cDIB::SaveBMP(HDC hlDC, HBITMAP hd, int32_t, int32_t, const std::string& FileName, std::string* why) {
    BITMAP bm{};
    GetObjectA(hd, sizeof bm, &bm);
    const int32_t imageSize = MulLng(BmpStride24(bm.bmWidth), bm.bmHeight);
    const int32_t fileSize = AddLng(imageSize, kBmpFilePixelOffset);
    const BITMAPINFOHEADER header = BmpInfoHeader24(bm.bmWidth, bm.bmHeight, imageSize);

    // Copy through a bottom-up 24-bit section so that any source depth reads back as BMP rows.
    std::vector<uint8_t> pixels(size_t(imageSize), 0);
    {
        OwnedDC dc(CreateCompatibleDC(nullptr));
        BITMAPINFO info{header, {}};
        void* bits = nullptr;
        Owned<HBITMAP> section(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (section) {
            Selection select(dc.get(), section.get());
            BitBlt(dc.get(), 0, 0, bm.bmWidth, bm.bmHeight, hlDC, 0, 0, SRCCOPY);
            GetDIBits(dc.get(), section.get(), 0, UINT(bm.bmHeight), pixels.data(), &info,
                      DIB_RGB_COLORS);
        }
    }
    const auto fileHeader = BmpFileHeader(fileSize, kBmpFilePixelOffset);
    const auto infoHeader = SerializeInfoHeader(header);
    std::string reason = writeFileReplacing(FileName, {fileHeader, infoHeader, pixels});
    if (why) *why = reason;
    return reason.empty();
}

}  // namespace kelvane
