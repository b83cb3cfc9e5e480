// DrawImage: a picture file placed on the canvas, blended by an opacity, one colour left out.
#include "chart/chart_state.h"
#include "draw/blend.h"
#include "picture/image_from.h"
#include "draw/plot_coords.h"
#include "kelvane/cChart.h"
#include "raster/gdi_handles.h"

namespace kelvane {

using namespace gdi;

namespace {

constexpr const char* kLoadFailedText = "装载图片失败,请检查图片路径或者是否是合法图片!";

}  // namespace

int32_t cChart::DrawImage(const std::string& StrPath, float x, float y, Colour TransColor, int16_t Opacity) {
    // Set before loading: the GIF output chooses its palette for charts that tried to show a picture.
    m->pictureFlag = kTrue;
    const StdPicture picture = mImageFrom::PictureFromBytes(mImageFrom::LoadFileBytes(StrPath), PictureLimits(m->settings));
    if (picture.empty()) {
        m->errorText = kLoadFailedText;
        return 0;
    }
    const OwnedDC memory(CreateCompatibleDC(nullptr));
    const Selection select(memory.get(), picture.Handle());
    BITMAP bm{};
    GetObjectA(picture.Handle(), sizeof bm, &bm);
    // Percent to a byte: 50 gives 127.49999999999999, so 127; beyond 0..255 is an overflow.
    const int16_t alpha = CInt(double(Opacity) * 2.55);
    if (alpha < 0 || alpha > 255) Raise(kErrOverflow);
    BlendBitmap(canvas(), Pixel(x), Pixel(y), bm.bmWidth, bm.bmHeight, memory.get(), 0, 0, uint8_t(alpha),
                TransColor, 1);
    return 1;
}

}  // namespace kelvane
