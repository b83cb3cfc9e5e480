// Test helpers for pictures (see picture_helpers.h).
#include "picture_helpers.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "bmp_file.h"
#include "dib_section.h"
#include "output/bmp/bmp.h"
#include "raster/gdi_handles.h"

namespace kelvane::test {

using namespace gdi;

std::string samplePath(const std::string& name) { return std::string(KELVANE_TEST_DATA) + "/pictures/" + name; }

std::vector<uint8_t> samplePicture(const std::string& name) { return readFile(samplePath(name)); }

std::vector<uint8_t> bmpFile(int w, int h, const std::vector<COLORREF>& pixels) {
    const int32_t stride = BmpStride24(w);
    const int32_t total = kBmpFilePixelOffset + stride * h;
    std::vector<uint8_t> out(size_t(total), 0);
    const auto fileHeader = BmpFileHeader(total, kBmpFilePixelOffset);
    const auto infoHeader = SerializeInfoHeader(BmpInfoHeader24(w, h, stride * h));
    std::copy(fileHeader.begin(), fileHeader.end(), out.begin());
    std::copy(infoHeader.begin(), infoHeader.end(), out.begin() + kBmpFileHeaderSize);
    for (int y = 0; y < h; ++y) {
        uint8_t* row = out.data() + kBmpFilePixelOffset + size_t(h - 1 - y) * size_t(stride);
        for (int x = 0; x < w; ++x) {
            const COLORREF c = pixels[size_t(y) * size_t(w) + size_t(x)];
            row[3 * x] = GetBValue(c);
            row[3 * x + 1] = GetGValue(c);
            row[3 * x + 2] = GetRValue(c);
        }
    }
    return out;
}

TempFolder::TempFolder() : m_path(tempDir()) {}

TempFolder::~TempFolder() {
    std::error_code ec;
    if (m_path != "/tmp") std::filesystem::remove_all(m_path, ec);
}

std::string TempFolder::write(const std::string& name, const std::vector<uint8_t>& bytes) const {
    const std::string path = m_path + "/" + name;
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
}

Pixels pixelsOf(const StdPicture& picture) {
    Pixels p;
    BITMAP bm{};
    if (picture.empty() || !GetObjectA(picture.Handle(), sizeof bm, &bm)) return p;
    p.width = bm.bmWidth;
    p.height = bm.bmHeight;
    OwnedDC dc(CreateCompatibleDC(nullptr));
    Selection select(dc.get(), picture.Handle());
    p.colours.reserve(size_t(p.width) * size_t(p.height));
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) p.colours.push_back(GetPixel(dc.get(), x, y));
    return p;
}

TestCanvas::TestCanvas(int w, int h, COLORREF fill) {
    m_bitmap = createSection24(nullptr, w, h, false);
    m_dc = CreateCompatibleDC(nullptr);
    m_previous = SelectObject(m_dc, m_bitmap);
    Owned<HBRUSH> brush(CreateSolidBrush(fill));
    const RECT all{0, 0, w, h};
    FillRect(m_dc, &all, brush.get());
}

TestCanvas::~TestCanvas() {
    SelectObject(m_dc, m_previous);
    DeleteObject(m_bitmap);
    DeleteDC(m_dc);
}

MessageLog::MessageLog() {
    SetMessageHandler([this](const std::string& text) { m_messages.push_back(text); });
}

MessageLog::~MessageLog() { SetMessageHandler(nullptr); }

}  // namespace kelvane::test
