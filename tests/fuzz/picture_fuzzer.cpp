// libFuzzer target for the picture loaders: any bytes must decode or be refused without a crash,
// a leak or a hang. A decoded picture is also blended and tiled onto a small canvas, so that
// every pixel it claims to have is read.
#include <cstddef>
#include <cstdint>

#include "draw/blend.h"
#include "picture/decode_picture.h"
#include "draw/dib_tile.h"
#include "kelvane/messages.h"
#include "raster/gdi_handles.h"
#include "raster/std_picture.h"

namespace {

using namespace kelvane;
using namespace kelvane::gdi;

// Small enough that every input finishes in milliseconds: the full-size limits only make huge
// zero-filled pictures, which find nothing new.
constexpr size_t kMaxInput = size_t{1} << 16;
constexpr decode::DecodeLimits kLimits{2048, uint64_t{4} << 20};

void placeOnCanvas(const StdPicture& picture) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 32;
    info.bmiHeader.biHeight = 32;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const Owned<HBITMAP> canvasBitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const OwnedDC canvas(CreateCompatibleDC(nullptr));
    const Selection selectCanvas(canvas.get(), canvasBitmap.get());
    BITMAP bm{};
    GetObjectA(picture.Handle(), sizeof bm, &bm);
    {
        const OwnedDC source(CreateCompatibleDC(nullptr));
        const Selection selectPicture(source.get(), picture.Handle());
        BlendBitmap(canvas.get(), -3, -2, bm.bmWidth, bm.bmHeight, source.get(), 0, 0, 200, 0xFFFFFF, 1);
    }
    cDIBTile tile;
    if (tile.SetPattern(picture)) tile.Tile(canvas.get(), 1, 1, 31, 31);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > kMaxInput) return 0;
    SetMessageHandler([](const std::string&) {});
    const StdPicture picture(decode::DecodePicture({data, size}, kLimits).release());
    if (!picture.empty()) placeOnCanvas(picture);
    return 0;
}
