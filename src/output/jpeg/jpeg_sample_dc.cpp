// cJpeg::SampleHDC: reads a rectangle of a device context, at each component's size, into a
// working 24-bit bitmap through the raster API and hands its rows to the block transform.
#include <algorithm>
#include <array>
#include <climits>
#include <memory>

#include "output/bmp/bmp.h"
#include "output/jpeg/jpeg_encoder.h"
#include "output/jpeg/jpeg_halving.h"
#include "raster/dib_section.h"

namespace kelvane {

using namespace gdi;
using namespace jpeg;

namespace {

int64_t roundUp8(int64_t v) { return (v + 7) / 8 * 8; }
int64_t ceilDiv(int64_t a, int64_t b) { return (a + b - 1) / b; }

// True when the rectangle lies inside the bitmap selected into the context, so that a copy of it
// writes every destination pixel.
bool insideSource(HDC source, int64_t left, int64_t top, int64_t width, int64_t height) {
    BITMAP bm{};
    const HGDIOBJ bitmap = source ? GetCurrentObject(source, OBJ_BITMAP) : nullptr;
    if (!bitmap || GetObjectA(bitmap, sizeof bm, &bm) == 0) return false;
    return left >= 0 && top >= 0 && left + width <= bm.bmWidth && top + height <= bm.bmHeight;
}

// A 24-bit bottom-up DIB section in a memory context of its own, stretching with halftone
// (colour-on-colour where halftone is refused). Its pages are only touched where something is
// drawn.
class WorkingBitmap {
public:
    WorkingBitmap(int32_t width, int32_t height) : m_height(height) {
        BITMAPINFO info{};
        info.bmiHeader = BmpInfoHeader24(width, height, 0);
        if (!m_section.create(&info)) return;
        if (!SetStretchBltMode(dc(), HALFTONE)) SetStretchBltMode(dc(), COLORONCOLOR);
        m_stride = BmpStride24(width);
    }

    bool valid() const { return m_section.bits() != nullptr; }
    HDC dc() const { return m_section.dc(); }
    // Row y counted from the top, in memory.
    const uint8_t* row(int32_t y) const { return m_section.bits() + ptrdiff_t(m_height - 1 - y) * m_stride; }
    // The width x height picture whose top row is row `top`.
    PixelView view(int32_t top, int32_t width, int32_t height) const { return {row(top), -m_stride, width, height}; }

private:
    DibSection m_section;
    int32_t m_height;
    ptrdiff_t m_stride = 0;
};

// The rectangle copied, or stretched to w x h, to (x, y) of the working bitmap.
void drawSource(const WorkingBitmap& bitmap, int32_t x, int32_t y, int64_t w, int64_t h, HDC source,
                int32_t left, int32_t top, int32_t width, int32_t height) {
    if (w == width && h == height)
        BitBlt(bitmap.dc(), x, y, width, height, source, left, top, SRCCOPY);
    else
        StretchBlt(bitmap.dc(), x, y, int(w), int(h), source, left, top, width, height, SRCCOPY);
}

}  // namespace

int32_t cJpeg::SampleHDC(HDC source, int32_t Width, int32_t Height, int32_t SourceLeft, int32_t SourceTop) {
    m_precision = 8;
    // A failed sampling leaves no picture (an empty frame), never planes of some older picture.
    clearPicture();
    if (Width <= 0 || Height <= 0) return 1;
    const int64_t width8 = roundUp8(Width), height8 = roundUp8(Height);
    if (width8 > INT32_MAX || height8 > INT32_MAX) return 1;
    const auto fail = [this] {
        clearPicture();
        return 1;
    };

    // Where the source rectangle leaves the source, a copy draws nothing there and what the
    // bitmap held before shows through. Such a rectangle is drawn, component after component,
    // into one bitmap of the padded size, each drawing at its bottom-left with its padding drawn
    // as well. A rectangle inside the source needs only one drawing at a time, of its own size:
    // the transform repeats the last column and row into the padding.
    const bool wholeSource = insideSource(source, SourceLeft, SourceTop, Width, Height);
    std::unique_ptr<WorkingBitmap> shared, own;
    const Surface* halvedFrom = nullptr;  // a half-size drawing averaged straight from the source
    if (!wholeSource) {
        shared = std::make_unique<WorkingBitmap>(int32_t(width8), int32_t(height8));
        if (!shared->valid()) return fail();
    }

    int64_t drawnWidth = -1, drawnHeight = -1;  // size of the current drawing, before its padding
    PixelView drawing;                           // the current drawing, unless it is copied by rows
    BlockRowSource copiedRows;
    for (size_t i = 0; i < m_components.size(); ++i) {
        Component& c = m_components[i];
        const int64_t w = ceilDiv(int64_t{c.h} * Width, m_hmax);
        const int64_t h = ceilDiv(int64_t{c.v} * Height, m_vmax);
        const int32_t paddedWidth = int32_t(roundUp8(w)), paddedHeight = int32_t(roundUp8(h));
        // Components of the same size share one drawing (the two chrominance components). The
        // size compared is the one drawn, not the padded one: in a picture of at most 8 x 8 pixels
        // the half-size chrominance pads to the luminance's 8 x 8 but must still be drawn halved.
        if (w != drawnWidth || h != drawnHeight) {
            drawnWidth = w;
            drawnHeight = h;
            copiedRows = nullptr;
            halvedFrom = nullptr;
            if (shared) {
                const WorkingBitmap& bitmap = *shared;
                const int32_t top = int32_t(height8) - paddedHeight;
                drawSource(bitmap, 0, top, w, h, source, SourceLeft, SourceTop, Width, Height);
                for (int32_t x = int32_t(w); x < paddedWidth; ++x)
                    BitBlt(bitmap.dc(), x, top, 1, int(h), bitmap.dc(), x - 1, top, SRCCOPY);
                for (int32_t y = top + int32_t(h); y < int32_t(height8); ++y)
                    BitBlt(bitmap.dc(), 0, y, paddedWidth, 1, bitmap.dc(), 0, y - 1, SRCCOPY);
                drawing = bitmap.view(top, paddedWidth, paddedHeight);
            } else if (const PixelView inPlace = w == Width && h == Height
                                                     ? copyableView(source, SourceLeft, SourceTop, Width, Height)
                                                     : PixelView{};
                       inPlace.height > 0) {
                // A plain copy of a 24-bit canvas would give its bytes unchanged: they are read in
                // place.
                own.reset();
                drawing = inPlace;
            } else if (w == Width && h == Height) {
                // A plain copy, eight rows at a time, which stay in cache while their blocks are
                // transformed.
                own.reset();  // at most one drawing is held at a time
                own = std::make_unique<WorkingBitmap>(Width, 8);
                if (!own->valid()) return fail();
                copiedRows = [&bitmap = *own, source, Width, Height, SourceLeft, SourceTop](
                                 int32_t blockRow, const uint8_t* out[8]) {
                    const int32_t first = blockRow * 8;
                    const int32_t count = std::min(8, Height - first);
                    BitBlt(bitmap.dc(), 0, 0, Width, count, source, SourceLeft, SourceTop + first, SRCCOPY);
                    for (int r = 0; r < 8; ++r) out[r] = bitmap.row(std::min(r, count - 1));
                };
            } else if (const Surface* pixels = 2 * w == Width && 2 * h == Height
                                                   ? halvableSource(source, SourceLeft, SourceTop, w, h)
                                                   : nullptr) {
                // The halftone stretch to exactly half the size averages each 2 x 2 square: the
                // same pixels without a drawing, averaged band by band as they are transformed.
                own.reset();
                halvedFrom = pixels;
            } else {
                own.reset();
                own = std::make_unique<WorkingBitmap>(int32_t(w), int32_t(h));
                if (!own->valid()) return fail();
                drawSource(*own, 0, 0, w, h, source, SourceLeft, SourceTop, Width, Height);
                drawing = own->view(0, int32_t(w), int32_t(h));
            }
        }
        const auto jobOf = [this](size_t k) {
            const ColourComponent colour = k == 0   ? ColourComponent::Luminance
                                           : k == 1 ? ColourComponent::BlueDifference
                                                    : ColourComponent::RedDifference;
            return PlaneJob{colour, &m_tables[k == 0 ? 0 : 1], &m_components[k].plane};
        };
        if (copiedRows) {
            const PlaneJob job = jobOf(i);
            transformRows(copiedRows, Width, paddedWidth, paddedHeight, job.component, *job.table, c.plane);
            continue;
        }
        // The next component sharing this drawing is transformed in the same walk over it.
        std::array<PlaneJob, 2> jobs{jobOf(i)};
        size_t count = 1;
        if (i + 1 < m_components.size()) {
            const Component& next = m_components[i + 1];
            if (ceilDiv(int64_t{next.h} * Width, m_hmax) == w && ceilDiv(int64_t{next.v} * Height, m_vmax) == h)
                jobs[count++] = jobOf(++i);
        }
        if (!halvedFrom) {
            transformPlanes(drawing, paddedWidth, paddedHeight, std::span(jobs).first(count));
        } else if (!transformHalved(*halvedFrom, SourceLeft, SourceTop, int32_t(w), int32_t(h), paddedWidth,
                                    paddedHeight, std::span(jobs).first(count), halvedBandRows(int32_t(w)))) {
            return fail();
        }
    }
    m_width = Width;
    m_height = Height;
    return 0;
}

}  // namespace kelvane
