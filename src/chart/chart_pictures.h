// Pictures a chart reads from files (DrawImage, picture-filled bars): the decode cap its
// MaxPicturePixels sets, and the fill picture, decoded once and kept while its file is unchanged.
#pragma once

#include <optional>
#include <string>

#include "picture/decode_picture.h"
#include "kelvane/cChart.h"
#include "raster/gdi_handles.h"
#include "raster/std_picture.h"

namespace kelvane {

struct ChartState;

// The decoders' limits for the chart's pictures: the raster layer's, with the area capped.
decode::DecodeLimits PictureLimits(const ChartSettings& s);

// What tells one version of a file from another: a replaced or rewritten file differs.
struct FileStamp {
    uint64_t device = 0, inode = 0, size = 0;
    int64_t modified = 0, changed = 0;  // nanoseconds
    bool operator==(const FileStamp&) const = default;
};

// The fill picture last decoded: its file's name, stamp and the cap it was decoded under.
struct FillPictureCache {
    std::string path;
    FileStamp stamp;
    int32_t maxPixels = 0;
    StdPicture picture;
    gdi::Owned<gdi::HBRUSH> pattern;  // the picture as a tile pattern
};

// The tile pattern of FillImage for picture-filled bars and their legend icon; a missing, empty
// or unreadable file fails with error 91, as giving no picture to the tile does.
gdi::HBRUSH FillPattern(ChartState& chart);

}  // namespace kelvane
