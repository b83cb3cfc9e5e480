// JPEG files through libjpeg: baseline and progressive, grey, YCbCr, RGB and CMYK/YCCK. The
// library's fatal errors, and its warnings about damaged data, end the decode without a picture.
#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

#include "picture/decode_picture.h"

namespace kelvane::decode {

namespace {

// libjpeg reports errors by calling error_exit, which must not return; we jump back to the
// decode's entry. Nothing between the jump and its target owns resources: every object that does
// lives in the Job, outside the function that calls setjmp.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void onError(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

// Warnings that mean the pixels are damaged: a truncated or corrupt file gives no picture rather
// than a grey or smeared one. Harmless notes (unknown JFIF revision, stray bytes between
// markers, a bad colour profile) are ignored.
bool damagesPixels(int code) {
    switch (code) {
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_ARITH_BAD_CODE:
    case JWRN_JPEG_EOF:
    case JWRN_MUST_RESYNC:
    case JWRN_BOGUS_PROGRESSION:
    case JWRN_NOT_SEQUENTIAL:
        return true;
    default:
        return false;
    }
}

void onMessage(j_common_ptr cinfo, int level) {
    if (level < 0 && damagesPixels(cinfo->err->msg_code)) onError(cinfo);
}

void silent(j_common_ptr) {}

struct Job {
    jpeg_decompress_struct cinfo{};
    ErrorManager errors{};
    RgbTarget target;
    std::vector<JSAMPLE> cmykRow;
    ~Job() { jpeg_destroy_decompress(&cinfo); }  // safe on a partly created or empty struct
};

// CMYK as Adobe writes it (inverted, so that 255 means no ink) or plain; K darkens each channel.
void cmykToBgr(const JSAMPLE* cmyk, uint8_t* bgr, JDIMENSION width, bool inverted) {
    for (JDIMENSION x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
        unsigned c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
        if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
        bgr[0] = uint8_t((y * k + 127) / 255);
        bgr[1] = uint8_t((m * k + 127) / 255);
        bgr[2] = uint8_t((c * k + 127) / 255);
    }
}

// Only trivially destructible locals here: a longjmp may leave this function at any library call.
bool decodeInto(Job& job, std::span<const uint8_t> bytes, const DecodeLimits& limits) {
    jpeg_decompress_struct& cinfo = job.cinfo;
    cinfo.err = jpeg_std_error(&job.errors.base);
    job.errors.base.error_exit = onError;
    job.errors.base.emit_message = onMessage;
    job.errors.base.output_message = silent;
    if (setjmp(job.errors.jump)) return false;
    jpeg_create_decompress(&cinfo);
    // Progressive files buffer every coefficient; beyond this the library fails instead.
    cinfo.mem->max_memory_to_use = long(limits.maxPixelBytes * 2);
    jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK) return false;
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
    if (!job.target.create(cinfo.image_width, cinfo.image_height, limits)) return false;
    if (cmyk) job.cmykRow.resize(size_t(cinfo.image_width) * 4);
    jpeg_start_decompress(&cinfo);
    if (cinfo.output_width != JDIMENSION(job.target.width()) ||
        cinfo.output_height != JDIMENSION(job.target.height()))
        return false;
    while (cinfo.output_scanline < cinfo.output_height) {
        uint8_t* dst = job.target.row(int32_t(cinfo.output_scanline));
        JSAMPROW row = cmyk ? job.cmykRow.data() : dst;
        if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) return false;
        if (cmyk) cmykToBgr(job.cmykRow.data(), dst, cinfo.output_width, cinfo.saw_Adobe_marker);
    }
    jpeg_finish_decompress(&cinfo);
    return true;
}

}  // namespace

gdi::Owned<gdi::HBITMAP> DecodeJpeg(std::span<const uint8_t> bytes, const DecodeLimits& limits) {
    Job job;
    if (!decodeInto(job, bytes, limits)) return {};
    return job.target.take();
}

}  // namespace kelvane::decode
