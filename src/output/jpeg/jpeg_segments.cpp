// Marker segments of a baseline JFIF stream; lengths are big-endian and count themselves.
#include "output/jpeg/jpeg_segments.h"

#include <algorithm>
#include <cstring>

#include "output/jpeg/jpeg_errors.h"

namespace kelvane::jpeg {

void ByteSink::append(std::span<const uint8_t> bytes) {
    ensure(bytes.size());
    if (!bytes.empty()) std::memcpy(cursor(), bytes.data(), bytes.size());
    m_size += bytes.size();
}

namespace {

// How far ahead of the writing the buffer's bytes are made ready.
constexpr size_t kReadyAhead = size_t{64} << 10;

}  // namespace

void ByteSink::grow(size_t n) {
    const size_t needed = m_size + n;
    if (needed < m_size || needed > m_data.max_size()) Raise(kErrOutOfMemory);
    if (needed > m_data.capacity()) m_data.reserve(std::max(needed, m_data.capacity() * 2));
    m_data.resize(std::min(m_data.capacity(), std::max(needed, m_size + kReadyAhead)));
}

std::vector<uint8_t> ByteSink::finish() {
    m_data.resize(m_size);
    if (m_data.capacity() - m_size > m_size / 8) m_data.shrink_to_fit();
    return std::move(m_data);
}

void writeMarker(ByteSink& sink, Marker marker) {
    sink.put(0xFF);
    sink.put(marker);
}

void writeJfifHeader(ByteSink& sink) {
    static constexpr uint8_t kSegment[] = {
        0x00, 0x10,                    // length 16
        'J', 'F', 'I', 'F', 0x00,      // identifier
        0x01, 0x01,                    // version 1.01
        0x00,                          // density units: aspect ratio only
        0x00, 0x01, 0x00, 0x01,        // X and Y density 1
        0x00, 0x00,                    // no thumbnail
    };
    writeMarker(sink, kApplication0);
    sink.append(kSegment);
}

void writeComment(ByteSink& sink, std::span<const uint8_t> text) {
    writeMarker(sink, kComment);
    sink.put16(uint16_t(text.size() + 2));
    sink.append(text);
}

void writeQuantTable(ByteSink& sink, int number, const QuantTable& table, int32_t precision) {
    const bool wide = std::any_of(table.values.begin(), table.values.end(),
                                  [](uint16_t v) { return v > 255; });
    if (wide && precision != 12) raiseJpeg(kIllegalTablePrecision);
    const int entryBytes = wide ? 2 : 1;
    writeMarker(sink, kDefineQuantTable);
    sink.put16(uint16_t(2 + 1 + kBlockCoefficients * entryBytes));
    sink.put(uint8_t((wide ? 1 : 0) << 4 | number));
    for (uint16_t value : table.values) {
        if (wide) sink.put(uint8_t(value >> 8));
        sink.put(uint8_t(value));
    }
}

void writeFrameHeader(ByteSink& sink, int32_t precision, int32_t width, int32_t height,
                      std::span<const SegmentComponent> components) {
    writeMarker(sink, kStartOfFrameBaseline);
    sink.put16(uint16_t(8 + 3 * components.size()));
    sink.put(uint8_t(precision));
    sink.put16(uint16_t(height));
    sink.put16(uint16_t(width));
    sink.put(uint8_t(components.size()));
    for (const SegmentComponent& c : components) {
        sink.put(c.id);
        sink.put(uint8_t(c.h << 4 | c.v));
        sink.put(c.table);
    }
}

void writeHuffmanTable(ByteSink& sink, int tableClass, int number, const HuffmanTable& table) {
    writeMarker(sink, kDefineHuffmanTable);
    sink.put16(uint16_t(2 + 1 + 16 + table.values.size()));
    sink.put(uint8_t(tableClass << 4 | number));
    for (int i = 1; i <= 16; ++i) sink.put(table.bits[size_t(i)]);
    sink.append(table.values);
}

void writeScanHeader(ByteSink& sink, std::span<const SegmentComponent> components) {
    writeMarker(sink, kStartOfScan);
    sink.put16(uint16_t(6 + 2 * components.size()));
    sink.put(uint8_t(components.size()));
    for (const SegmentComponent& c : components) {
        sink.put(c.id);
        sink.put(uint8_t(c.table << 4 | c.table));  // DC and AC tables share the number
    }
    sink.put(0);     // first coefficient
    sink.put(63);    // last coefficient
    sink.put(0x00);  // no successive approximation
}

}  // namespace kelvane::jpeg
