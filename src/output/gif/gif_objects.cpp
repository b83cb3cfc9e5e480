// mGlobal: preparing and releasing the objects of one GIF output.
#include "output/gif/gif_objects.h"

#include "output/palette/dither8bpp.h"

namespace kelvane::mGlobal {

bool PrepareGifDIB(GifObjects& objects) {
    const bool reduced = mDither8bpp::ReduceTo8bpp(objects.source, objects.dib8, objects.palette);
    objects.transparent = kFalse;
    objects.transparentIndex = 0;
    return reduced;
}

void ReleaseGifObjects(GifObjects& objects) {
    objects.source.Destroy();
    objects.dib8.Destroy();
    objects.palette.Initialize(0);
}

}  // namespace kelvane::mGlobal
