// The file and byte-array PNG paths.
#include "output/png/png_output.h"

#include "chart/canvas.h"
#include "output/file/file_write.h"
#include "output/png/png_encoder.h"

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
    return CanvasPng(canvas.bitmap(), why);
}

}  // namespace

std::vector<uint8_t> CanvasPng(gdi::HBITMAP bitmap, std::string& why) {
    gdi::BITMAP bm{};
    if (!gdi::GetObjectA(bitmap, sizeof bm, &bm) || !bm.bmBits || bm.bmBitsPixel != 24 || bm.bmWidth <= 0 ||
        bm.bmHeight <= 0) {
        why = "the canvas is not a 24-bit picture";
        return {};
    }
    // The section's own memory, bottom-up as the canvas makes it: no copy.
    const ptrdiff_t stride = bm.bmWidthBytes;
    const uint8_t* top = static_cast<const uint8_t*>(bm.bmBits) + (bm.bmHeight - 1) * stride;
    std::vector<uint8_t> stream;
    why = png::EncodePicture({top, -stride, bm.bmWidth, bm.bmHeight}, png::EncodeSettings{}, stream);
    if (!why.empty()) stream = std::vector<uint8_t>();  // and none of the room it had
    return stream;
}

void WritePngFile(const Canvas& canvas, const std::string& fileName, std::string& errorText,
                  std::string* fileWhy) {
    std::string why;
    const std::vector<uint8_t> stream = canvasStream(canvas, why);
    if (stream.empty()) {
        reportFailure(errorText, kFileFailed, why);
        return;
    }
    why = writeFileReplacing(fileName, {stream});
    if (why.empty()) return;
    reportFailure(errorText, kFileFailed, why);
    if (fileWhy) *fileWhy = why;
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
