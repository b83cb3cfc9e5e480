// The format choice of the output methods.
#include "output/picture_format.h"

#include <algorithm>
#include <cctype>

namespace kelvane {

namespace {

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

}  // namespace

PictureFormat PictureFormatOfFileName(const std::string& name) {
    const std::string lower = lowerCase(name);
    if (lower.ends_with("jpg") || lower.ends_with("jpeg")) return PictureFormat::Jpeg;
    if (lower.ends_with("gif")) return PictureFormat::Gif;
    if (lower.ends_with("bmp")) return PictureFormat::Bmp;
    if (lower.ends_with("png")) return PictureFormat::Png;
    return PictureFormat::None;
}

PictureFormat PictureFormatOfType(const std::string& imgType) {
    const std::string type = lowerCase(imgType);
    if (type == "bmp") return PictureFormat::Bmp;
    if (type == "jpg" || type == "jpeg") return PictureFormat::Jpeg;
    if (type == "gif") return PictureFormat::Gif;
    if (type == "png") return PictureFormat::Png;
    return PictureFormat::None;
}

}  // namespace kelvane
