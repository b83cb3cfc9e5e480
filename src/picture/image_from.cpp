// Loading picture files and picture bytes: what a missing, empty or unreadable file shows, and
// the choice of decoder by the bytes' signature.
#include "picture/image_from.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <new>
#include <string>
#include <string_view>

#include "picture/decode_picture.h"
#include "kelvane/runtime.h"
#include "runtime/show_message.h"

namespace kelvane {

namespace decode {

gdi::Owned<gdi::HBITMAP> DecodePicture(std::span<const uint8_t> bytes, const DecodeLimits& limits) {
    auto startsWith = [&](std::string_view signature) {
        return bytes.size() >= signature.size() &&
               std::equal(signature.begin(), signature.end(), bytes.begin(),
                          [](char s, uint8_t b) { return uint8_t(s) == b; });
    };
    if (startsWith("BM")) return DecodeBmp(bytes, limits);
    if (startsWith("GIF87a") || startsWith("GIF89a")) return DecodeGif(bytes, limits);
    if (startsWith("\xFF\xD8")) return DecodeJpeg(bytes, limits);  // start-of-image marker
    return {};
}

}  // namespace decode

namespace mImageFrom {

namespace {

// File errors beyond the runtime's own table, with the descriptions the host runtime gives them.
constexpr int32_t kErrDeviceIo = 57;
constexpr std::string_view kDeviceIoText = "Device I/O error";
constexpr int32_t kErrPathAccess = 75;
constexpr std::string_view kPathAccessText = "Path/File access error";

// A file larger than this cannot be held as one array (and could not be a picture we decode).
constexpr uintmax_t kMaxFileBytes = uintmax_t{1} << 30;

constexpr std::string_view kNeedBytesText = "You must pass a non-empty byte array to this function!";

// "number - description", as the loaders' message boxes read.
void showError(int32_t number, std::string_view description = {}) {
    if (description.empty()) description = ErrorDescription(number);
    ShowMessage(std::to_string(number) + " - " + std::string(description));
}

struct CloseFile {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

std::optional<std::vector<uint8_t>> LoadFileBytes(const std::string& path) {
    std::error_code ec;
    // A name holding a NUL names no file: the system would read the name only up to it.
    if (path.empty() || path.find('\0') != std::string::npos || !std::filesystem::is_regular_file(path, ec))
        return std::nullopt;
    const uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec) return std::nullopt;
    // An array of 0 to -1 cannot be dimensioned.
    if (size == 0) {
        showError(kErrSubscript);
        return std::nullopt;
    }
    if (size > kMaxFileBytes) {
        showError(kErrOutOfMemory);
        return std::nullopt;
    }
    const std::unique_ptr<std::FILE, CloseFile> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        if (errno == ENOENT || errno == ENOTDIR) showError(kErrFileNotFound);
        else showError(kErrPathAccess, kPathAccessText);
        return std::nullopt;
    }
    std::vector<uint8_t> bytes;
    try {
        bytes.resize(size_t(size));
    } catch (const std::bad_alloc&) {
        showError(kErrOutOfMemory);
        return std::nullopt;
    }
    // A failed read still leaves the array dimensioned: what was not read reads as zeros.
    if (std::fread(bytes.data(), 1, bytes.size(), file.get()) < bytes.size() && std::ferror(file.get()))
        showError(kErrDeviceIo, kDeviceIoText);
    return bytes;
}

StdPicture PictureFromBytes(const std::optional<std::vector<uint8_t>>& bytes, const decode::DecodeLimits& limits) {
    if (!bytes) {
        ShowMessage(std::string(kNeedBytesText));
        return StdPicture();
    }
    if (bytes->empty()) return StdPicture();
    try {
        gdi::Owned<gdi::HBITMAP> bitmap = decode::DecodePicture(*bytes, limits);
        return bitmap ? StdPicture(bitmap.release()) : StdPicture();
    } catch (const std::bad_alloc&) {
        showError(kErrOutOfMemory);
        return StdPicture();
    }
}

}  // namespace mImageFrom

}  // namespace kelvane
