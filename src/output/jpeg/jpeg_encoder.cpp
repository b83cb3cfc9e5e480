// cJpeg's settings and the assembly of its stream: statistics pass, tables, segments, scans.
#include "output/jpeg/jpeg_encoder.h"

#include <algorithm>
#include <filesystem>

#include "output/file/file_write.h"
#include "output/jpeg/jpeg_errors.h"
#include "output/jpeg/jpeg_stream.h"

namespace kelvane {

using namespace jpeg;

namespace {

constexpr int32_t kMaxSamplingFactor = 4;
constexpr int32_t kMaxCommentBytes = 65533;  // a segment length counts itself in 16 bits
constexpr int32_t kMaxDimension = 65535;     // the frame header holds 16-bit sizes

constexpr const char* kFileComment = "JPEG Encoder Class";
constexpr const char* kBinaryComment =
    "JPEG Encoder Class\r\n"
    "Kelvane chart component\r\n"
    "Baseline JPEG with Huffman tables made for each picture";

bool validFactor(int32_t f) { return f >= 1 && f <= kMaxSamplingFactor; }

std::vector<uint8_t> codePageBytes(const std::string& text) {
    const int length = int(text.size());
    std::vector<uint8_t> bytes(size_t(gdi::Utf8ToCodePage(text.data(), length, nullptr, 0)));
    if (!bytes.empty())
        gdi::Utf8ToCodePage(text.data(), length, reinterpret_cast<char*>(bytes.data()), int(bytes.size()));
    return bytes;
}

std::span<const uint8_t> textBytes(const char* text) {
    return {reinterpret_cast<const uint8_t*>(text), std::char_traits<char>::length(text)};
}

// Any file that is not a folder counts, whatever its attributes.
bool fileExists(const std::string& name) {
    std::error_code error;
    const auto status = std::filesystem::status(name, error);
    return !error && std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}

}  // namespace

cJpeg::cJpeg() {
    for (int i = 0; i < 2; ++i) {
        m_tables[size_t(i)].values = scaleTable(baseTable(i), qualityScale(m_quality));
        computeDivisors(m_tables[size_t(i)], m_precision);
    }
    SetSamplingFrequencies(2, 2, 1, 1, 1, 1);
}

void cJpeg::Quality(int32_t value) {
    if (value < 1 || value > 100) return;
    m_quality = value;
    const int32_t scale = qualityScale(value);
    for (int i = 0; i < 2; ++i) {
        m_tables[size_t(i)].values = scaleTable(baseTable(i), scale);
        computeDivisors(m_tables[size_t(i)], m_precision);
    }
}

void cJpeg::SetSamplingFrequencies(int32_t H1, int32_t V1, int32_t H2, int32_t V2, int32_t H3, int32_t V3) {
    if (!validFactor(H1) || !validFactor(V1)) raiseJpeg(kInvalidSamplingValue);
    m_components.clear();
    if (H2 == 0 && V2 == 0 && H3 == 0 && V3 == 0) {
        m_componentCount = 1;
        m_components.resize(1);
    } else {
        for (int32_t f : {H2, H3, V2, V3})
            if (!validFactor(f)) raiseJpeg(kInvalidSamplingValue);
        m_componentCount = 3;
        m_components.resize(3);
        m_components[0].h = uint8_t(H1);
        m_components[0].v = uint8_t(V1);
        m_components[1].h = uint8_t(H2);
        m_components[1].v = uint8_t(V2);
        m_components[2].h = uint8_t(H3);
        m_components[2].v = uint8_t(V3);
    }
    m_hmax = m_vmax = 1;
    for (const Component& c : m_components) {
        m_hmax = std::max<int32_t>(m_hmax, c.h);
        m_vmax = std::max<int32_t>(m_vmax, c.v);
    }
}

void cJpeg::Comment(const std::string& text) {
    if (gdi::CodePageByteCount(text.data(), int(text.size())) > kMaxCommentBytes)
        raiseJpeg(kIllegalCommentLength);
    m_comment = text;
}

int32_t cJpeg::SaveFile(const std::string& FileName) {
    if (FileName.empty()) return 1;
    if (fileExists(FileName)) return 2;
    const std::vector<uint8_t> stream = encode(OwnComment::File);
    // Written beside the target and renamed over it, so that a failed write leaves no half file.
    if (!writeFileReplacing(FileName, {stream}).empty()) Raise(kErrFileAccess, kFileAccessDescription);
    releasePlanes();
    return 0;
}

Variant cJpeg::SaveBinary() { return Variant(encode(OwnComment::Binary)); }

std::vector<uint8_t> cJpeg::FileStream() {
    std::vector<uint8_t> stream = encode(OwnComment::File);
    releasePlanes();
    return stream;
}

void cJpeg::releasePlanes() {
    m_components.clear();
    m_width = m_height = 0;
}

void cJpeg::clearPicture() {
    m_width = m_height = 0;
    for (Component& c : m_components) c.plane = Plane{};
}

std::vector<uint8_t> cJpeg::encode(OwnComment own) {
    if (m_width == 0 || m_components.empty()) raiseJpeg(kNoPictureSampled);
    if (m_width > kMaxDimension || m_height > kMaxDimension) Raise(kErrOverflow);
    const std::vector<uint8_t> comment = codePageBytes(m_comment);
    if (comment.size() > size_t(kMaxCommentBytes)) raiseJpeg(kIllegalCommentLength);

    StreamContents contents;
    contents.precision = m_precision;
    contents.frame.width = m_width;
    contents.frame.height = m_height;
    contents.frame.hmax = m_hmax;
    contents.frame.vmax = m_vmax;
    for (size_t i = 0; i < m_components.size(); ++i) {
        const Component& c = m_components[i];
        contents.frame.components.push_back({{uint8_t(i + 1), c.h, c.v, uint8_t(i == 0 ? 0 : 1)}, &c.plane});
    }
    contents.tables = std::span(m_tables).first(m_componentCount == 3 ? 2 : 1);
    contents.hostComment = comment;
    contents.ownComment = textBytes(own == OwnComment::File ? kFileComment : kBinaryComment);
    return assembleStream(contents);
}

}  // namespace kelvane
