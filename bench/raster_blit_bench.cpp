// Blits at chart sizes: full-canvas BitBlt between depths, the half-size HALFTONE pass of the
// picture encoder, palette stretches, GetDIBits and SetDIBitsToDevice. Fixed seeds.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "kelvane/gdi.h"

namespace {

using namespace kelvane::gdi;

struct Info {
    BITMAPINFOHEADER header{};
    RGBQUAD table[256]{};
    BITMAPINFO* get() { return reinterpret_cast<BITMAPINFO*>(this); }
};

Info infoFor(int w, int h, int bpp, bool topDown) {
    Info i;
    i.header.biSize = sizeof(BITMAPINFOHEADER);
    i.header.biWidth = w;
    i.header.biHeight = topDown ? -h : h;
    i.header.biPlanes = 1;
    i.header.biBitCount = WORD(bpp);
    // A colour table of scattered colours for the palette depths.
    std::mt19937 rng(7);
    for (RGBQUAD& q : i.table) q = RGBQUAD{BYTE(rng()), BYTE(rng()), BYTE(rng()), 0};
    return i;
}

// A memory context with a DIB section filled with random bytes (fixed seed).
class Section {
public:
    Section(int w, int h, int bpp, bool topDown, uint32_t seed = 1) {
        m_dc = CreateCompatibleDC(nullptr);
        Info info = infoFor(w, h, bpp, topDown);
        void* bits = nullptr;
        m_bitmap = CreateDIBSection(m_dc, info.get(), DIB_RGB_COLORS, &bits, nullptr, 0);
        m_old = SelectObject(m_dc, m_bitmap);
        const size_t bytes = size_t((w * bpp + 31) / 32 * 4) * size_t(h);
        std::mt19937 rng(seed);
        auto* p = static_cast<uint8_t*>(bits);
        for (size_t i = 0; i < bytes; ++i) p[i] = uint8_t(rng() >> 13);
    }
    ~Section() {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    HDC dc() const { return m_dc; }
    HBITMAP bitmap() const { return m_bitmap; }

private:
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
};

constexpr int kW = 1920, kH = 1080;

void BM_BitBltCanvas24To32(benchmark::State& state) {
    Section canvas(kW, kH, 24, false), copy(kW, kH, 32, true, 2);
    for (auto _ : state) benchmark::DoNotOptimize(BitBlt(copy.dc(), 0, 0, kW, kH, canvas.dc(), 0, 0, SRCCOPY));
    state.SetItemsProcessed(state.iterations() * kW * kH);
}
BENCHMARK(BM_BitBltCanvas24To32);

void BM_BitBltCanvasSameFormat(benchmark::State& state) {
    Section canvas(kW, kH, 24, false), copy(kW, kH, 24, false, 2);
    for (auto _ : state) benchmark::DoNotOptimize(BitBlt(copy.dc(), 0, 0, kW, kH, canvas.dc(), 0, 0, SRCCOPY));
    state.SetItemsProcessed(state.iterations() * kW * kH);
}
BENCHMARK(BM_BitBltCanvasSameFormat);

void BM_BitBltCanvasToPalette8(benchmark::State& state) {
    // Nearest-colour conversion of a picture with few distinct colours (a chart), through the cache.
    Section canvas(kW, kH, 8, false), copy(kW, kH, 8, true, 2), chart(kW, kH, 24, false);
    BitBlt(chart.dc(), 0, 0, kW, kH, canvas.dc(), 0, 0, SRCCOPY);
    for (auto _ : state) benchmark::DoNotOptimize(BitBlt(copy.dc(), 0, 0, kW, kH, chart.dc(), 0, 0, SRCCOPY));
    state.SetItemsProcessed(state.iterations() * kW * kH);
}
BENCHMARK(BM_BitBltCanvasToPalette8);

void BM_HalftoneHalfSize(benchmark::State& state) {
    Section canvas(kW, kH, 24, false), half(kW / 2, kH / 2, 32, true, 2);
    SetStretchBltMode(half.dc(), HALFTONE);
    for (auto _ : state)
        benchmark::DoNotOptimize(StretchBlt(half.dc(), 0, 0, kW / 2, kH / 2, canvas.dc(), 0, 0, kW, kH, SRCCOPY));
    state.SetItemsProcessed(state.iterations() * kW * kH);
}
BENCHMARK(BM_HalftoneHalfSize);

void BM_StretchPalette8To32ColorOnColor(benchmark::State& state) {
    Section picture(640, 480, 8, false), dst(kW, kH, 32, true, 2);
    SetStretchBltMode(dst.dc(), COLORONCOLOR);
    for (auto _ : state)
        benchmark::DoNotOptimize(StretchBlt(dst.dc(), 0, 0, kW, kH, picture.dc(), 0, 0, 640, 480, SRCCOPY));
    state.SetItemsProcessed(state.iterations() * kW * kH);
}
BENCHMARK(BM_StretchPalette8To32ColorOnColor);

void BM_StretchShrinkBlackOnWhite(benchmark::State& state) {
    Section canvas(kW, kH, 24, false), dst(700, 400, 24, false, 2);
    for (auto _ : state)
        benchmark::DoNotOptimize(StretchBlt(dst.dc(), 0, 0, 700, 400, canvas.dc(), 0, 0, kW, kH, SRCCOPY));
    state.SetItemsProcessed(state.iterations() * kW * kH);
}
BENCHMARK(BM_StretchShrinkBlackOnWhite);

void BM_GetDIBits32(benchmark::State& state) {
    Section canvas(kW, kH, 24, false);
    Info info = infoFor(kW, kH, 32, true);
    std::vector<uint32_t> rows(size_t(kW) * kH);
    for (auto _ : state)
        benchmark::DoNotOptimize(GetDIBits(canvas.dc(), canvas.bitmap(), 0, kH, rows.data(), info.get(), DIB_RGB_COLORS));
    state.SetItemsProcessed(state.iterations() * kW * kH);
}
BENCHMARK(BM_GetDIBits32);

void BM_SetDIBitsToDevice32(benchmark::State& state) {
    Section canvas(kW, kH, 24, false);
    Info info = infoFor(400, 300, 32, true);
    std::vector<uint32_t> rows(400 * 300, 0x00336699);
    for (auto _ : state)
        benchmark::DoNotOptimize(SetDIBitsToDevice(canvas.dc(), 700, 500, 400, 300, 0, 0, 0, 300, rows.data(),
                                                   info.get(), DIB_RGB_COLORS));
    state.SetItemsProcessed(state.iterations() * 400 * 300);
}
BENCHMARK(BM_SetDIBitsToDevice32);

}  // namespace
