// Which picture an output method makes: makeChart goes by the end of the file name, SaveBinary
// by its whole type text, both without regard to case.
#pragma once

#include <string>
#include <string_view>

namespace kelvane {

enum class PictureFormat { None, Bmp, Jpeg, Gif, Png };

// By the name's last characters ("jpg", "jpeg", "gif", "bmp", "png"); no dot is needed.
PictureFormat PictureFormatOfFileName(const std::string& name);

// By the whole type text: "bmp", "jpg", "jpeg", "gif" or "png".
PictureFormat PictureFormatOfType(const std::string& imgType);

// The endings and types above, as messages name them.
inline constexpr std::string_view kPictureTypeNames = "bmp, jpg, jpeg, gif or png";

}  // namespace kelvane
