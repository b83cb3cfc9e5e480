// Reading the chart's pictures. The fill picture is read again only when its file changed: a
// chart of many picture-filled bars decodes it once.
#include "chart/chart_pictures.h"

#include <sys/stat.h>

#include <algorithm>

#include "chart/chart_state.h"
#include "draw/dib_tile.h"
#include "picture/image_from.h"

namespace kelvane {

decode::DecodeLimits PictureLimits(const ChartSettings& s) {
    decode::DecodeLimits limits;
    limits.maxPixels = uint64_t(std::max(s.MaxPicturePixels, 0));
    return limits;
}

namespace {

std::optional<FileStamp> stampOf(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    auto ns = [](const timespec& t) { return int64_t(t.tv_sec) * 1000000000 + t.tv_nsec; };
    return FileStamp{uint64_t(st.st_dev), uint64_t(st.st_ino), uint64_t(st.st_size), ns(st.st_mtim), ns(st.st_ctim)};
}

}  // namespace

gdi::HBRUSH FillPattern(ChartState& chart) {
    const ChartSettings& s = chart.settings;
    std::optional<FillPictureCache>& cache = chart.fillPicture;
    // Stamped before reading: a file changed while it is read is read again next time.
    const std::optional<FileStamp> stamp = stampOf(s.FillImage);
    if (cache && stamp && cache->path == s.FillImage && cache->stamp == *stamp &&
        cache->maxPixels == s.MaxPicturePixels)
        return cache->pattern.get();
    cache.reset();
    StdPicture picture = mImageFrom::PictureFromBytes(mImageFrom::LoadFileBytes(s.FillImage), PictureLimits(s));
    if (picture.empty()) Raise(kErrObjectNotSet);
    // Without a stamp (the file went away meanwhile) it serves this bar only.
    cache.emplace(FillPictureCache{stamp ? s.FillImage : std::string(), stamp.value_or(FileStamp{}),
                                   s.MaxPicturePixels, std::move(picture), {}});
    cache->pattern = cDIBTile::MakePattern(cache->picture);
    return cache->pattern.get();
}

}  // namespace kelvane
