// The process's system code page (936 unless set) and the conversions of the "A" text calls and
// of the chart's byte counts, through glibc's iconv; UTF-8 is decoded and encoded here directly.
#include "raster/codepage.h"

#include <iconv.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <cerrno>
#include <cstring>
#include <string_view>
#include <unordered_map>

namespace kelvane::gdi {

namespace {

constexpr UINT kUtf8 = 65001;
constexpr char32_t kReplacement = 0xFFFD;

// Process-wide like the platform's own setting; every thread reads it on each text call.
std::atomic<UINT> systemCodePage{936};

constexpr const char* kUnicodeName = std::endian::native == std::endian::little ? "UTF-32LE" : "UTF-32BE";

std::string iconvName(UINT codePage) {
    if (codePage == 54936) return "GB18030";
    return "CP" + std::to_string(codePage);
}

// iconv descriptors are not shareable between threads: each thread opens its own, once.
struct Converters {
    std::unordered_map<std::string, iconv_t> open;
    Converters() = default;
    Converters(const Converters&) = delete;
    Converters& operator=(const Converters&) = delete;
    ~Converters() {
        for (auto& [name, cd] : open) iconv_close(cd);
    }
    // A converter, reset to its initial state; null when iconv does not know the pair.
    iconv_t get(const std::string& to, const std::string& from) {
        const std::string key = to + "<" + from;
        auto it = open.find(key);
        if (it == open.end()) {
            iconv_t cd = iconv_open(to.c_str(), from.c_str());
            if (cd == iconv_t(-1)) return nullptr;
            it = open.emplace(key, cd).first;
        }
        iconv(it->second, nullptr, nullptr, nullptr, nullptr);
        return it->second;
    }
};

Converters& converters() {
    thread_local Converters c;
    return c;
}

// One UTF-8 sequence at p (n bytes left): its character and length; malformed input (bad lead,
// bad or missing continuation, overlong form, surrogate, beyond U+10FFFF) is one byte of U+FFFD.
char32_t nextUtf8(const unsigned char* p, size_t n, size_t& used) {
    used = 1;
    const unsigned char b = p[0];
    if (b < 0x80) return b;
    int extra;
    char32_t c, min;
    if (b >= 0xC2 && b <= 0xDF) extra = 1, c = b & 0x1F, min = 0x80;
    else if (b >= 0xE0 && b <= 0xEF) extra = 2, c = b & 0x0F, min = 0x800;
    else if (b >= 0xF0 && b <= 0xF4) extra = 3, c = b & 0x07, min = 0x10000;
    else return kReplacement;
    if (n < size_t(extra) + 1) return kReplacement;
    for (int i = 1; i <= extra; ++i) {
        if ((p[i] & 0xC0) != 0x80) return kReplacement;
        c = (c << 6) | (p[i] & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return kReplacement;
    used = size_t(extra) + 1;
    return c;
}

size_t putUtf8(char32_t c, char* out) {
    if (c < 0x80) {
        out[0] = char(c);
        return 1;
    }
    if (c < 0x800) {
        out[0] = char(0xC0 | (c >> 6));
        out[1] = char(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        out[0] = char(0xE0 | (c >> 12));
        out[1] = char(0x80 | ((c >> 6) & 0x3F));
        out[2] = char(0x80 | (c & 0x3F));
        return 3;
    }
    out[0] = char(0xF0 | (c >> 18));
    out[1] = char(0x80 | ((c >> 12) & 0x3F));
    out[2] = char(0x80 | ((c >> 6) & 0x3F));
    out[3] = char(0x80 | (c & 0x3F));
    return 4;
}

// The bytes of one character in the code page (at most 4); 0 when the code page lacks it.
size_t encodeChar(iconv_t cd, UINT codePage, char32_t c, char* out) {
    if (c < 0x80) {  // every code page accepted here keeps ASCII as is
        out[0] = char(c);
        return 1;
    }
    if (codePage == kUtf8) return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF) ? putUtf8(c, out) : 0;
    if (!cd) return 0;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char32_t in[1] = {c};
    char* src = reinterpret_cast<char*>(in);
    size_t srcLeft = sizeof in;
    char* dst = out;
    size_t dstLeft = 4;
    if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == size_t(-1) || srcLeft != 0) return 0;
    return size_t(dst - out);
}

// Characters into a code page, its converter opened at the first character beyond ASCII (ASCII
// text, the common case, never loads one).
class LazyEncoder {
public:
    explicit LazyEncoder(UINT codePage) : m_codePage(codePage) {}
    size_t encode(char32_t c, char* out) {
        if (c >= 0x80 && !m_opened && m_codePage != kUtf8) {
            m_cd = converters().get(iconvName(m_codePage), kUnicodeName);
            m_opened = true;
        }
        return encodeChar(m_cd, m_codePage, c, out);
    }

private:
    UINT m_codePage;
    iconv_t m_cd = nullptr;
    bool m_opened = false;
};

// Counts or writes the UTF-8 text in the system code page, complete characters only.
int convertUtf8(const char* utf8, int length, char* out, int outSize) {
    if (!utf8 || length <= 0) return 0;
    const UINT codePage = systemCodePage.load(std::memory_order_relaxed);
    LazyEncoder encoder(codePage);
    const auto* p = reinterpret_cast<const unsigned char*>(utf8);
    const size_t n = size_t(length);
    int64_t total = 0;
    char bytes[4];
    for (size_t i = 0; i < n;) {
        size_t used = 0;
        const char32_t c = nextUtf8(p + i, n - i, used);
        i += used;
        size_t count = c == kReplacement && used == 1 ? 0 : encoder.encode(c, bytes);
        if (count == 0) {  // lacking (or malformed): one '?'
            bytes[0] = '?';
            count = 1;
        }
        if (out) {
            if (total + int64_t(count) > int64_t(outSize)) break;
            for (size_t k = 0; k < count; ++k) out[total + int64_t(k)] = bytes[k];
        }
        total += int64_t(count);
        if (total > 0x7FFFFFFF - 4) break;
    }
    return int(total);
}

}  // namespace

void decodeUtf8(const char* utf8, size_t length, std::u32string& out) {
    out.clear();
    if (!utf8) return;
    const auto* p = reinterpret_cast<const unsigned char*>(utf8);
    for (size_t i = 0; i < length;) {
        size_t used = 0;
        out.push_back(nextUtf8(p + i, length - i, used));
        i += used;
    }
}

void decodeCodePage(UINT codePage, const char* bytes, size_t length, std::u32string& out) {
    if (codePage == kUtf8) return decodeUtf8(bytes, length, out);
    out.clear();
    if (!bytes || length == 0) return;
    // Every code page accepted keeps ASCII as is: ASCII text needs no converter.
    if (std::all_of(bytes, bytes + length, [](char b) { return static_cast<unsigned char>(b) < 0x80; })) {
        out.assign(bytes, bytes + length);
        return;
    }
    iconv_t cd = converters().get(kUnicodeName, iconvName(codePage));
    out.resize(length);  // a byte or more per character
    char* src = const_cast<char*>(bytes);
    size_t srcLeft = length;
    char* dst = reinterpret_cast<char*>(out.data());
    size_t dstLeft = length * sizeof(char32_t);
    while (srcLeft > 0) {
        if (cd && iconv(cd, &src, &srcLeft, &dst, &dstLeft) != size_t(-1)) break;
        if (cd && errno == E2BIG) break;  // cannot happen: a byte or more per character
        // A byte the code page cannot read (or a lone lead byte at the end) stands for itself.
        const char32_t c = static_cast<unsigned char>(*src);
        std::memcpy(dst, &c, sizeof c);
        dst += sizeof c;
        dstLeft -= sizeof c;
        ++src;
        --srcLeft;
        if (cd) iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(size_t(reinterpret_cast<char32_t*>(dst) - out.data()));
}

std::string encodeCodePage(UINT codePage, const char32_t* text, size_t length) {
    std::string out;
    LazyEncoder encoder(codePage);
    char bytes[4];
    for (size_t i = 0; i < length; ++i) {
        const size_t count = encoder.encode(text[i], bytes);
        if (count == 0) out += '?';
        else out.append(bytes, count);
    }
    return out;
}

BOOL SetSystemCodePage(UINT codePage) {
    if (codePage != kUtf8) {
        // Only code pages iconv knows and that keep ASCII as is (the chart's text relies on it).
        iconv_t cd = converters().get(iconvName(codePage), kUnicodeName);
        if (!cd) return 0;
        char bytes[4];
        char32_t letter[1] = {U'A'};
        char* src = reinterpret_cast<char*>(letter);
        size_t srcLeft = sizeof letter;
        char* dst = bytes;
        size_t dstLeft = sizeof bytes;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == size_t(-1) || dst - bytes != 1 || bytes[0] != 'A')
            return 0;
    }
    systemCodePage.store(codePage, std::memory_order_relaxed);
    return 1;
}

UINT GetSystemCodePage() { return systemCodePage.load(std::memory_order_relaxed); }

int CodePageByteCount(const char* utf8, int length) { return convertUtf8(utf8, length, nullptr, 0); }

int Utf8ToCodePage(const char* utf8, int length, char* out, int outSize) {
    if (out && outSize <= 0) return 0;
    return convertUtf8(utf8, length, out, outSize);
}

}  // namespace kelvane::gdi
