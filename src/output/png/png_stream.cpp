// The chunks of a PNG stream: zlib deflates the rows, libdeflate's vector code sums them (Adler-32)
// and checks the chunks (CRC-32), where zlib's own sums took a tenth of the time of a large chart.
// The zlib stream goes into one of the thread's spare blocks and from there into the IDAT chunk
// of the result.
#include "output/png/png_stream.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>

#include "runtime/spare_blocks.h"

namespace kelvane::png {

namespace {

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// A raw deflate stream of the given settings. A stream holds some 300 kB of window and hash
// tables: each thread keeps the one it used last and resets it for the next picture, so that a
// request does not allocate and fault in fresh memory for them.
z_stream* deflaterFor(int level, int strategy) {
    struct Kept {
        z_stream stream{};
        int level = -1, strategy = -1;
        ~Kept() {
            if (level >= 0) deflateEnd(&stream);
        }
    };
    thread_local Kept kept;
    if (kept.level == level && kept.strategy == strategy)
        return deflateReset(&kept.stream) == Z_OK ? &kept.stream : nullptr;
    if (kept.level >= 0) deflateEnd(&kept.stream);
    kept.stream = z_stream{};
    kept.level = kept.strategy = -1;
    if (deflateInit2(&kept.stream, level, Z_DEFLATED, -15, 8, strategy) != Z_OK) return nullptr;
    kept.level = level, kept.strategy = strategy;
    return &kept.stream;
}

// PNG's numbers: four bytes, most significant first.
void storeBigEndian(uint8_t* to, uint32_t value) {
    for (int i = 0; i < 4; ++i) to[i] = uint8_t(value >> (24 - 8 * i));
}

void putBigEndian(std::vector<uint8_t>& out, uint32_t value) {
    uint8_t bytes[4];
    storeBigEndian(bytes, value);
    out.insert(out.end(), bytes, bytes + 4);
}

// One chunk: length, type, data, and the CRC of type and data.
void putChunk(std::vector<uint8_t>& out, const char (&type)[5], std::span<const uint8_t> data) {
    putBigEndian(out, uint32_t(data.size()));
    const size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    putBigEndian(out, uint32_t(libdeflate_crc32(0, out.data() + typeAt, out.size() - typeAt)));
}

}  // namespace

std::string WriteStream(const StreamHeader& header, std::span<const PaletteColour> palette,
                        std::span<const uint8_t> filtered, const Deflate& deflate, std::vector<uint8_t>& out) {
    z_stream* stream = deflaterFor(deflate.level, deflate.runLength ? Z_RLE : Z_DEFAULT_STRATEGY);
    if (!stream) return "out of memory for the compressor";
    // The zlib stream: its two header bytes (32 kB window, no dictionary), the deflate data, and
    // the Adler-32 of the rows.
    const size_t bound = 2 + deflateBound(stream, uLong(filtered.size())) + 4;
    const spare::Block packed(spare::take(bound, false));
    if (!packed) return "out of memory for the compressed rows";
    packed[0] = 0x78, packed[1] = 0x01;
    // zlib counts in 32 bits: the rows go in, and the output space is offered, a gigabyte at a time.
    constexpr size_t kStep = size_t{1} << 30;
    const uint8_t* in = filtered.data();
    size_t inLeft = filtered.size(), outLeft = bound - 6;
    stream->avail_in = stream->avail_out = 0;
    stream->next_out = packed.get() + 2;
    for (;;) {
        if (stream->avail_in == 0 && inLeft) {
            const size_t step = std::min(inLeft, kStep);
            stream->next_in = const_cast<uint8_t*>(in);
            stream->avail_in = uInt(step);
            in += step, inLeft -= step;
        }
        if (stream->avail_out == 0) {
            const size_t step = std::min(outLeft, kStep);
            if (step == 0) return "the rows could not be compressed";
            stream->avail_out = uInt(step);
            outLeft -= step;
        }
        const int status = ::deflate(stream, inLeft ? Z_NO_FLUSH : Z_FINISH);
        if (status == Z_STREAM_END) break;
        if (status != Z_OK) return "the rows could not be compressed";
    }
    size_t packedBytes = 2 + size_t(stream->total_out);
    storeBigEndian(packed.get() + packedBytes, uint32_t(libdeflate_adler32(1, filtered.data(), filtered.size())));
    packedBytes += 4;
    // One IDAT's length must stay below 2^31; larger data goes into several.
    constexpr size_t kMaxChunk = kStep;
    out.reserve(out.size() + 8 + 25 + 12 + 3 * palette.size() + packedBytes + 12 * (packedBytes / kMaxChunk + 1) + 12);
    out.insert(out.end(), kSignature, kSignature + 8);
    uint8_t ihdr[13] = {};
    storeBigEndian(ihdr, header.width);
    storeBigEndian(ihdr + 4, header.height);
    ihdr[8] = header.bitDepth;
    ihdr[9] = header.colourType;  // compression, filter method and interlacing stay 0
    putChunk(out, "IHDR", ihdr);
    if (!palette.empty())
        putChunk(out, "PLTE", {reinterpret_cast<const uint8_t*>(palette.data()), palette.size() * 3});
    for (size_t at = 0; at < packedBytes; at += kMaxChunk)
        putChunk(out, "IDAT", {packed.get() + at, std::min(kMaxChunk, packedBytes - at)});
    putChunk(out, "IEND", {});
    return {};
}

}  // namespace kelvane::png
