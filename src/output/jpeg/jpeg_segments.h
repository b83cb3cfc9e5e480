// The byte sink a JPEG stream is assembled in, and the marker segments around the coded data:
// SOI, the JFIF APP0, COM, DQT, SOF0, DHT, SOS and EOI.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "output/jpeg/jpeg_huffman.h"
#include "output/jpeg/jpeg_tables.h"

namespace kelvane::jpeg {

// Markers (each preceded by 0xFF in the stream).
enum Marker : uint8_t {
    kStartOfFrameBaseline = 0xC0,
    kDefineHuffmanTable = 0xC4,
    kStartOfImage = 0xD8,
    kEndOfImage = 0xD9,
    kStartOfScan = 0xDA,
    kDefineQuantTable = 0xDB,
    kApplication0 = 0xE0,
    kComment = 0xFE,
};

// A growing byte buffer: reserves an estimated capacity and grows when the estimate was short. Its
// bytes are made ready (zeroed) a little ahead of the writing, while they stay in cache, so the
// reserved pages are touched once; the buffer then becomes the result without a trimming copy
// unless the estimate was far too large.
class ByteSink {
public:
    explicit ByteSink(size_t capacity) { m_data.reserve(std::max<size_t>(capacity, 64)); }

    void put(uint8_t byte) {
        ensure(1);
        m_data[m_size++] = byte;
    }
    void put16(uint16_t value) {
        put(uint8_t(value >> 8));
        put(uint8_t(value));
    }
    void append(std::span<const uint8_t> bytes);

    // Room for at least n more bytes at cursor(); advance() then accounts for those written.
    void ensure(size_t n) {
        if (m_data.size() - m_size < n) grow(n);
    }
    uint8_t* cursor() { return m_data.data() + m_size; }
    void advance(size_t n) { m_size += n; }
    size_t size() const { return m_size; }

    // The bytes written; the buffer is trimmed (copied) only when more than an eighth of it
    // would be left unused.
    std::vector<uint8_t> finish();

private:
    void grow(size_t n);

    std::vector<uint8_t> m_data;
    size_t m_size = 0;
};

struct SegmentComponent {
    uint8_t id;
    uint8_t h, v;
    uint8_t table;  // quantisation and Huffman table number
};

void writeMarker(ByteSink& sink, Marker marker);
// APP0: "JFIF", version 1.01, aspect ratio 1:1 without units, no thumbnail.
void writeJfifHeader(ByteSink& sink);
// COM with text already in the system code page (at most 65533 bytes).
void writeComment(ByteSink& sink, std::span<const uint8_t> text);
// DQT of one table. Values above 255 need 16-bit entries, which only precision 12 allows;
// otherwise error 1 "Illegal precission in Quantization Table".
void writeQuantTable(ByteSink& sink, int number, const QuantTable& table, int32_t precision);
void writeFrameHeader(ByteSink& sink, int32_t precision, int32_t width, int32_t height,
                      std::span<const SegmentComponent> components);
// DHT of one table: tableClass 0 for DC, 1 for AC.
void writeHuffmanTable(ByteSink& sink, int tableClass, int number, const HuffmanTable& table);
void writeScanHeader(ByteSink& sink, std::span<const SegmentComponent> components);

}  // namespace kelvane::jpeg
