// Test helpers: read a 24-bit BMP (any row order) and compare pictures pixel by pixel.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kelvane::test {

struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, top row first
    uint32_t at(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

std::vector<uint8_t> readFile(const std::string& path);
// Decodes a 24-bit uncompressed BMP held in memory; false when it is not one.
bool decodeBmp24(const std::vector<uint8_t>& data, Picture& out);
bool loadBmp24(const std::string& path, Picture& out);
// Empty when equal; otherwise the count of differing pixels and the first few of them.
std::string comparePictures(const Picture& expected, const Picture& actual);
std::string tempDir();

// A picture of a reference pack (.ref): "KVREF1\n", then per picture its name, size and RGB runs.
struct RefPicture {
    std::string name;
    Picture picture;
};
bool readPack(const std::string& path, std::vector<RefPicture>& out);

}  // namespace kelvane::test
