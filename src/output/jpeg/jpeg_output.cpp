// The file and byte-array JPEG paths.
#include "output/jpeg/jpeg_output.h"

#include "output/file/file_write.h"
#include "output/jpeg/jpeg_encoder.h"
#include "output/jpeg/jpeg_errors.h"

namespace kelvane {

namespace {

// Samples the whole canvas. A working bitmap that could not be made fails the output rather than
// leaving an empty picture to encode.
void sampleCanvas(cJpeg& encoder, gdi::HDC canvas, int32_t width, int32_t height) {
    if (encoder.SampleHDC(canvas, width, height, 0, 0) != 0) jpeg::raiseJpeg(jpeg::kSamplingBitmapFailed);
}

}  // namespace

void WriteJpegFile(gdi::HDC canvas, int32_t width, int32_t height, int32_t quality,
                   const std::string& fileName, std::string* why) {
    cJpeg encoder;
    encoder.Quality(quality);
    sampleCanvas(encoder, canvas, width, height);
    // An existing file is not deleted first: the new one is written beside it and renamed over
    // it once complete, so a failed write keeps the old picture.
    const std::vector<uint8_t> stream = encoder.FileStream();
    std::string reason = writeFileReplacing(fileName, {stream});
    if (reason.empty()) return;
    if (why) *why = std::move(reason);
    Raise(jpeg::kErrFileAccess, jpeg::kFileAccessDescription);
}

Variant JpegByteArray(gdi::HDC canvas, int32_t width, int32_t height, int32_t quality) {
    cJpeg encoder;
    encoder.Quality(quality);
    encoder.SetSamplingFrequencies(2, 2, 1, 1, 1, 1);
    sampleCanvas(encoder, canvas, width, height);
    return encoder.SaveBinary();
}

}  // namespace kelvane
