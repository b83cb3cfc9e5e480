// The file and byte-array PNG paths.
#include "output/png_output.h"

#include "chart/canvas.h"
#include "output/file_write.h"
#include "output/png_encoder.h"
#include "raster/gdi_handles.h"

namespace kelvane {

namespace {

// The texts a failure appends, in the words of the other output paths.
constexpr const char* kFileFailed = "Unexpected error Saving PNG file";
constexpr const char* kStreamFailed = "Unexpected error Saving PNG";
constexpr const char* kNoCanvas = "the chart has no canvas";

void reportFailure(std::string& errorText, const char* message, const std::string& why) {
    errorText += message;
    if (!why.empty()) errorText += ": " + why;
    errorText += "\r\n";
}

// The canvas stream, or the reason there is none.
std::vector<uint8_t> canvasStream(const Canvas& canvas, std::string& why) {
    if (!canvas.exists()) {
        why = kNoCanvas;
        return {};
    }
    return CanvasPng(canvas.dc(), canvas.bitmap(), why);
}

}  // namespace

std::vector<uint8_t> CanvasPng(gdi::HDC canvas, gdi::HBITMAP bitmap, std::string& why) {
    using namespace gdi;
    BITMAP bm{};
    if (!GetObjectA(bitmap, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) {
        why = "the canvas bitmap cannot be read";
        return {};
    }
    // The rows top-down, as PNG stores them, 24 bits a pixel with each row padded to 4 bytes.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = bm.bmWidth;
    info.bmiHeader.biHeight = -bm.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    const size_t stride = (size_t(bm.bmWidth) * 3 + 3) / 4 * 4;
    std::vector<uint8_t> pixels(stride * size_t(bm.bmHeight));
    if (GetDIBits(canvas, bitmap, 0, UINT(bm.bmHeight), pixels.data(), &info, DIB_RGB_COLORS) !=
        bm.bmHeight) {
        why = "the canvas pixels cannot be read";
        return {};
    }
    std::vector<uint8_t> stream;
    why = png::EncodePicture({pixels.data(), stride, bm.bmWidth, bm.bmHeight}, png::EncodeSettings{}, stream);
    if (!why.empty()) stream.clear();
    return stream;
}

void WritePngFile(const Canvas& canvas, const std::string& fileName, std::string& errorText) {
    std::string why;
    const std::vector<uint8_t> stream = canvasStream(canvas, why);
    if (stream.empty()) {
        reportFailure(errorText, kFileFailed, why);
        return;
    }
    why = writeFileReplacing(fileName, {stream});
    if (!why.empty()) reportFailure(errorText, kFileFailed, why);
}

Variant PngByteArray(const Canvas& canvas, std::string& errorText) {
    std::string why;
    std::vector<uint8_t> stream = canvasStream(canvas, why);
    if (stream.empty()) {
        reportFailure(errorText, kStreamFailed, why);
        return Variant();
    }
    return Variant(std::move(stream));
}

}  // namespace kelvane
