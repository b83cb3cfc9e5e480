// The two GIF writers over the one stream builder.
#include "output/gif/gif_writers.h"

#include "output/file/file_write.h"
#include "output/gif/gif_stream.h"

namespace kelvane {

namespace mGIFSave {

bool SaveGIF(const std::string& FileName, const cDIB& dib, const cPal8bpp& palette,
             int16_t transparentIndex, VBBool interlace, const std::string& comment,
             GifWriteError* error) {
    if (!gif::Writable(dib, palette)) return false;
    auto fail = [&](int32_t number, std::string description, std::string fileReason = {}) {
        if (error) *error = GifWriteError{number, std::move(description), std::move(fileReason)};
        return false;
    };
    std::vector<uint8_t> stream;
    try {
        stream = gif::EncodeGif(dib, palette, transparentIndex, interlace, comment);
    } catch (const AutomationError& e) {
        return fail(e.number(), e.description());
    }
    bool opened = false;
    std::string reason = writeFileReplacing(FileName, {stream}, &opened);
    if (reason.empty()) return true;
    if (!opened) {
        if (error) error->fileReason = std::move(reason);
        Raise(kErrPathFileAccess);
    }
    return fail(kErrDeviceIo, std::string(ErrorDescription(kErrDeviceIo)), std::move(reason));
}

}  // namespace mGIFSave

namespace mGIFBinary {

Variant SaveGIFBinary(const cDIB& dib, const cPal8bpp& palette, int16_t transparentIndex,
                      VBBool interlace, const std::string& comment) {
    if (!gif::Writable(dib, palette)) return Variant();
    return Variant(gif::EncodeGif(dib, palette, transparentIndex, interlace, comment));
}

}  // namespace mGIFBinary

}  // namespace kelvane
