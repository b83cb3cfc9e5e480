// An independent BMP reader for the tests: it shares no code with the writers it checks.
#include "bmp_file.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace kelvane::test {

std::vector<uint8_t> readFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(f)), {});
}

bool decodeBmp24(const std::vector<uint8_t>& d, Picture& out) {
    if (d.size() < 54 || d[0] != 'B' || d[1] != 'M') return false;
    auto u32 = [&](size_t o) {
        return uint32_t(d[o]) | uint32_t(d[o + 1]) << 8 | uint32_t(d[o + 2]) << 16 | uint32_t(d[o + 3]) << 24;
    };
    const uint32_t offset = u32(10);
    const int32_t w = int32_t(u32(18)), h = int32_t(u32(22));
    if ((d[28] | d[29] << 8) != 24 || u32(30) != 0 || w <= 0 || h == 0) return false;
    const int rows = h < 0 ? -h : h;
    const size_t stride = (size_t(w) * 3 + 3) & ~size_t(3);
    if (d.size() < offset + stride * rows) return false;
    out.width = w;
    out.height = rows;
    out.pixels.assign(size_t(w) * rows, 0);
    for (int y = 0; y < rows; ++y) {
        const uint8_t* r = &d[offset + stride * size_t(h > 0 ? rows - 1 - y : y)];
        for (int x = 0; x < w; ++x)
            out.pixels[size_t(y) * w + x] = uint32_t(r[3 * x + 2]) << 16 | uint32_t(r[3 * x + 1]) << 8 | r[3 * x];
    }
    return true;
}

bool loadBmp24(const std::string& path, Picture& out) { return decodeBmp24(readFile(path), out); }

std::string comparePictures(const Picture& expected, const Picture& actual) {
    std::ostringstream s;
    if (expected.width != actual.width || expected.height != actual.height) {
        s << "size " << actual.width << "x" << actual.height << ", expected " << expected.width << "x"
          << expected.height;
        return s.str();
    }
    int count = 0;
    std::ostringstream first;
    for (int y = 0; y < expected.height; ++y)
        for (int x = 0; x < expected.width; ++x)
            if (expected.at(x, y) != actual.at(x, y) && ++count <= 8)
                first << " (" << x << "," << y << ") expected " << std::hex << expected.at(x, y) << " got "
                      << actual.at(x, y) << std::dec;
    if (count == 0) return "";
    s << count << " pixels differ:" << first.str();
    return s.str();
}

bool readPack(const std::string& path, std::vector<RefPicture>& out) {
    const std::vector<uint8_t> d = readFile(path);
    static const std::string magic = "KVREF1\n";
    if (d.size() < magic.size() || !std::equal(magic.begin(), magic.end(), d.begin())) return false;
    size_t p = magic.size();
    auto need = [&](size_t n) { return p + n <= d.size(); };
    auto u16 = [&] {
        const uint32_t v = d[p] | d[p + 1] << 8;
        p += 2;
        return v;
    };
    auto u32 = [&] {
        const uint32_t v = d[p] | d[p + 1] << 8 | d[p + 2] << 16 | uint32_t(d[p + 3]) << 24;
        p += 4;
        return v;
    };
    while (p < d.size()) {
        if (!need(2)) return false;
        const uint32_t length = u16();
        if (!need(length + 8)) return false;
        RefPicture r;
        r.name.assign(d.begin() + long(p), d.begin() + long(p + length));
        p += length;
        r.picture.width = int(u32());
        r.picture.height = int(u32());
        const size_t total = size_t(r.picture.width) * size_t(r.picture.height);
        if (total > (size_t{1} << 26)) return false;
        r.picture.pixels.reserve(total);
        while (r.picture.pixels.size() < total) {
            if (!need(5)) return false;
            const uint32_t count = u16();
            const uint32_t rgb = uint32_t(d[p]) << 16 | uint32_t(d[p + 1]) << 8 | d[p + 2];
            p += 3;
            if (count == 0 || r.picture.pixels.size() + count > total) return false;
            r.picture.pixels.insert(r.picture.pixels.end(), count, rgb);
        }
        out.push_back(std::move(r));
    }
    return true;
}

std::string tempDir() {
    std::string pattern = "/tmp/kelvane-test-XXXXXX";
    if (const char* t = std::getenv("TMPDIR")) pattern = std::string(t) + "/kelvane-test-XXXXXX";
    return mkdtemp(pattern.data()) ? pattern : std::string("/tmp");
}

}  // namespace kelvane::test
