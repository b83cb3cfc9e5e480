// The file and byte-array GIF paths.
#include "output/gif/gif_output.h"

#include <optional>
#include <vector>

#include "chart/canvas.h"
#include "picture/image_from.h"
#include "output/bmp/bmp.h"
#include "output/palette/dither8bpp.h"
#include "output/gif/gif_colour_check.h"
#include "output/gif/gif_objects.h"
#include "output/gif/gif_writers.h"

namespace kelvane {

namespace {

// The texts hosts look for, spelt as they always were.
constexpr const char* kCreateDibFailed = "Unexpected error Createing Gif DIB";
constexpr const char* kSaveFailed = "Unexpected error savig GIF image";
constexpr const char* kLineEnd = "\r\n";

// Nothing in the component asks for interlacing or a comment.
constexpr VBBool kInterlace = kFalse;
const std::string kNoComment;

// The canvas, as a 32-bit picture, reduced to the 8-bit picture and palette of `objects`.
void prepareGifObjects(Canvas& canvas, VBBool pictureFlag, bool removeUnusedColours,
                       mGlobal::GifObjects& objects, std::string& errorText, CubeShiftReport* colourCheck) {
    if (pictureFlag != kFalse) {
        mDither8bpp::SetPaletteMode(mDither8bpp::kPaletteOptimal);
        mDither8bpp::SetDitherMode(mDither8bpp::kDitherOrdered);
    } else {
        mDither8bpp::SetPaletteMode(mDither8bpp::kPaletteCube);  // the dither mode stays
    }
    uint8_t depth = 0;
    {
        // No canvas (never created, or deleted by an earlier output) gives no picture.
        std::optional<std::vector<uint8_t>> bmp(std::in_place);
        if (canvas.exists()) {
            gdi::HDC dc = nullptr;
            gdi::HBITMAP bitmap = nullptr;
            canvas.handOver(dc, bitmap);  // the image builder deletes them
            bmp = BuildBmpImage(dc, bitmap);
        }
        const StdPicture picture = mImageFrom::PictureFromBytes(bmp);
        bmp.reset();  // a large canvas need not be held three times over
        depth = objects.source.CreateFromStdPicture(picture, kTrue);
    }
    if (depth == 0) {
        errorText += kCreateDibFailed;
        errorText += kLineEnd;
        return;
    }
    if (colourCheck && mDither8bpp::PaletteMode() == mDither8bpp::kPaletteCube)
        *colourCheck = FindCubeShifts(objects.source);
    mGlobal::PrepareGifDIB(objects);
    if (removeUnusedColours) mDither8bpp::RemoveUnusedColours(objects.dib8, objects.palette);
}

}  // namespace

void WriteGifFile(Canvas& canvas, VBBool pictureFlag, const std::string& fileName,
                  std::string& errorText, std::string* why, CubeShiftReport* colourCheck) {
    mGlobal::GifObjects objects;
    prepareGifObjects(canvas, pictureFlag, false, objects, errorText, colourCheck);
    GifWriteError error;
    bool saved = false;
    try {
        saved = mGIFSave::SaveGIF(fileName, objects.dib8, objects.palette, objects.writerTransparentIndex(),
                                  kInterlace, kNoComment, &error);
    } catch (const AutomationError&) {
        if (why) *why = error.fileReason;
        throw;
    }
    if (why) *why = error.fileReason;
    if (!saved) {
        errorText += std::to_string(error.number);
        errorText += error.description;
        errorText += kSaveFailed;
        errorText += kLineEnd;
    }
    mGlobal::ReleaseGifObjects(objects);
}

Variant GifByteArray(Canvas& canvas, VBBool pictureFlag, std::string& errorText,
                     CubeShiftReport* colourCheck) {
    mGlobal::GifObjects objects;
    prepareGifObjects(canvas, pictureFlag, true, objects, errorText, colourCheck);
    Variant result = mGIFBinary::SaveGIFBinary(objects.dib8, objects.palette,
                                               objects.writerTransparentIndex(), kInterlace, kNoComment);
    mGlobal::ReleaseGifObjects(objects);
    return result;
}

}  // namespace kelvane
