// mImageFrom: reading a picture file into memory, and turning bytes that hold a BMP, JPEG or GIF
// file into a picture object. Problems the user should see go through ShowMessage.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "picture/decode_picture.h"
#include "raster/std_picture.h"

namespace kelvane::mImageFrom {

// The whole file. No file (or a directory) gives nullopt, the "not dimensioned" array, without a
// message. An empty file shows "9 - Subscript out of range" and gives nullopt; a file that
// cannot be opened or read shows its error number and description.
std::optional<std::vector<uint8_t>> LoadFileBytes(const std::string& path);

// The picture the bytes hold; empty when they hold none or one beyond the limits. nullopt shows
// "You must pass a non-empty byte array to this function!"; an empty array gives no picture
// without a message.
StdPicture PictureFromBytes(const std::optional<std::vector<uint8_t>>& bytes, const decode::DecodeLimits& limits = {});

}  // namespace kelvane::mImageFrom
