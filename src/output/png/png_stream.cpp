// The chunks of a PNG stream: zlib deflates the rows, libdeflate's vector code sums them (Adler-32)
// and checks the chunks (CRC-32), where zlib's own sums took a tenth of the time of a large chart.
// The zlib stream goes into the IDAT chunks of the result as it is made, and the rows may come a
// band at a time: nothing of the size of the picture is held but the result.
#include "output/png/png_stream.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <iterator>
#include <new>
#include <optional>

#include "output/png/png_idat.h"
#include "runtime/spare_blocks.h"

namespace kelvane::png {

namespace {

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// The zlib stream's two header bytes: a 32 kB window, no dictionary.
constexpr uint8_t kZlibHeader[2] = {0x78, 0x01};
// zlib counts in 32 bits: the rows go in a gigabyte at a time at most.
constexpr size_t kMaxStep = size_t{1} << 30;

// The zlib stream is made here and copied into the result: a small stream is then copied once
// into a result of its own size.
constexpr size_t kStagingBytes = size_t{256} << 10;

constexpr const char* kCompressFailed = "the rows could not be compressed";

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

void putBigEndian(std::vector<uint8_t>& out, uint32_t value) {
    uint8_t bytes[4];
    StoreBigEndian(bytes, value);
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

// The zlib stream of the rows, made in `staging` and handed to `put` each time it fills, the last
// part with `last` set; empty when done, else the reason.
std::string compressRows(z_stream& stream, size_t filteredBytes, const RowSource& next, std::span<uint8_t> staging,
                         const std::function<void(std::span<const uint8_t>, bool last)>& put) {
    std::copy(std::begin(kZlibHeader), std::end(kZlibHeader), staging.data());
    size_t staged = sizeof kZlibHeader;
    uint32_t adler = 1;
    size_t toCome = filteredBytes;  // not yet taken from `next`
    std::span<const uint8_t> taken;  // taken, not yet given to zlib
    stream.avail_in = 0;
    for (;;) {
        if (stream.avail_in == 0 && taken.empty() && toCome > 0) {
            taken = next();
            if (taken.empty() || taken.size() > toCome) return kCompressFailed;
            adler = uint32_t(libdeflate_adler32(adler, taken.data(), taken.size()));
            toCome -= taken.size();
        }
        if (stream.avail_in == 0 && !taken.empty()) {
            const size_t step = std::min(taken.size(), kMaxStep);
            stream.next_in = const_cast<uint8_t*>(taken.data());
            stream.avail_in = uInt(step);
            taken = taken.subspan(step);
        }
        if (staged == staging.size()) {
            put(staging, false);
            staged = 0;
        }
        stream.next_out = staging.data() + staged;
        stream.avail_out = uInt(staging.size() - staged);
        const int status = ::deflate(&stream, toCome == 0 && taken.empty() ? Z_FINISH : Z_NO_FLUSH);
        staged = staging.size() - stream.avail_out;
        if (status == Z_STREAM_END) break;
        if (status != Z_OK) return kCompressFailed;
    }
    if (staging.size() - staged < 4) {
        put(staging.first(staged), false);
        staged = 0;
    }
    StoreBigEndian(staging.data() + staged, adler);
    put(staging.first(staged + 4), true);
    return {};
}

}  // namespace

std::string WriteStream(const StreamHeader& header, std::span<const PaletteColour> palette, size_t filteredBytes,
                        const RowSource& next, const Deflate& deflate, std::vector<uint8_t>& out,
                        size_t maxIdatBytes) {
    z_stream* stream = deflaterFor(deflate.level, deflate.runLength ? Z_RLE : Z_DEFAULT_STRATEGY);
    if (!stream) return "out of memory for the compressor";
    const spare::Block staging(spare::take(kStagingBytes, false));
    if (!staging) return "out of memory for the compressed rows";
    const size_t start = out.size();
    std::optional<IdatChunks> idat;
    // The stream up to its IDAT chunks, in room reserved for `zlibBytes` of zlib stream: the
    // exact length when it fitted in the staging block, else the longest the rows can make,
    // reserved but not touched, so that the result is never moved as it grows.
    const auto begin = [&](size_t zlibBytes) {
        out.reserve(start + 8 + 25 + 12 + 3 * palette.size() + zlibBytes + 12 * (zlibBytes / maxIdatBytes + 1) + 12);
        out.insert(out.end(), kSignature, kSignature + 8);
        uint8_t ihdr[13] = {};
        StoreBigEndian(ihdr, header.width);
        StoreBigEndian(ihdr + 4, header.height);
        ihdr[8] = header.bitDepth;
        ihdr[9] = header.colourType;  // compression, filter method and interlacing stay 0
        putChunk(out, "IHDR", ihdr);
        if (!palette.empty())
            putChunk(out, "PLTE", {reinterpret_cast<const uint8_t*>(palette.data()), palette.size() * 3});
        idat.emplace(out, maxIdatBytes);
    };
    const auto put = [&](std::span<const uint8_t> part, bool last) {
        if (!idat) begin(last ? part.size() : 2 + deflateBound(stream, uLong(filteredBytes)) + 4);
        idat->append(part);
    };
    std::string why;
    try {
        why = compressRows(*stream, filteredBytes, next, {staging.get(), kStagingBytes}, put);
        if (why.empty()) {
            idat->finish();
            putChunk(out, "IEND", {});
        }
    } catch (const std::bad_alloc&) {
        why = "out of memory for the compressed rows";
    }
    if (!why.empty()) {
        out.resize(start);
        return why;
    }
    // Most of the room reserved for a stream that outgrew the staging block may be unused.
    if (out.capacity() - out.size() > out.size()) out.shrink_to_fit();
    return {};
}

std::string WriteStream(const StreamHeader& header, std::span<const PaletteColour> palette,
                        std::span<const uint8_t> filtered, const Deflate& deflate, std::vector<uint8_t>& out) {
    bool given = false;
    const RowSource whole = [&]() -> std::span<const uint8_t> {
        if (given) return {};
        given = true;
        return filtered;
    };
    return WriteStream(header, palette, filtered.size(), whole, deflate, out);
}

}  // namespace kelvane::png
