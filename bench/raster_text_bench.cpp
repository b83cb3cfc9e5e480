// Text drawing and measuring at chart sizes: labels of ten characters at 14 pixels, level and
// turned, Latin and CJK, and their extents (fixed seeds, warm glyph caches).
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "kelvane/gdi.h"

namespace {

using namespace kelvane::gdi;

// A 400x300 24-bit canvas with a 14-pixel font selected.
class Canvas {
public:
    explicit Canvas(LONG escapement = 0, const char* face = "Arial") {
        m_dc = CreateCompatibleDC(nullptr);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = 400;
        info.bmiHeader.biHeight = 300;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        void* bits = nullptr;
        m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        m_old = SelectObject(m_dc, m_bitmap);
        LOGFONTA lf{};
        lf.lfHeight = 14;
        lf.lfEscapement = escapement;
        lf.lfWeight = 400;
        std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
        m_font = CreateFontIndirectA(&lf);
        SelectObject(m_dc, m_font);
        SetBkMode(m_dc, TRANSPARENT);
    }
    ~Canvas() {
        SelectObject(m_dc, GetStockObject(SYSTEM_FONT));
        SelectObject(m_dc, m_old);
        DeleteObject(m_font);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    HDC dc() const { return m_dc; }

private:
    HDC m_dc;
    HGDIOBJ m_bitmap, m_old, m_font;
};

// Ten-character labels of chart text: letters, digits and punctuation.
std::vector<std::string> labels(size_t count) {
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 .,%-$()";
    std::mt19937 rng(1234);
    std::uniform_int_distribution<size_t> pick(0, sizeof alphabet - 2);
    std::vector<std::string> out(count);
    for (std::string& s : out)
        for (int i = 0; i < 10; ++i) s += alphabet[pick(rng)];
    return out;
}

// Ten-character CJK labels (UTF-8) from the common range of the unified ideographs.
std::vector<std::string> cjkLabels(size_t count) {
    std::mt19937 rng(99);
    std::uniform_int_distribution<uint32_t> pick(0x4E00, 0x4FFF);
    std::vector<std::string> out(count);
    for (std::string& s : out)
        for (int i = 0; i < 10; ++i) {
            const uint32_t c = pick(rng);
            s += char(0xE0 | (c >> 12));
            s += char(0x80 | ((c >> 6) & 0x3F));
            s += char(0x80 | (c & 0x3F));
        }
    return out;
}

void drawLabels(benchmark::State& state, Canvas& canvas, const std::vector<std::string>& text) {
    std::mt19937 rng(42);
    std::uniform_int_distribution<int> x(-20, 380), y(-10, 290);
    std::vector<POINT> at(text.size());
    for (POINT& p : at) p = POINT{x(rng), y(rng)};
    for (const std::string& s : text) TextOutU8(canvas.dc(), 0, 0, s.data(), int(s.size()));  // warm
    for (auto _ : state) {
        for (size_t i = 0; i < text.size(); ++i)
            TextOutU8(canvas.dc(), at[i].x, at[i].y, text[i].data(), int(text[i].size()));
    }
    state.SetItemsProcessed(state.iterations() * int64_t(text.size()));
}

void BM_TextOutU8_1000Labels14px(benchmark::State& state) {
    Canvas canvas;
    drawLabels(state, canvas, labels(1000));
}
BENCHMARK(BM_TextOutU8_1000Labels14px);

void BM_TextOutU8_1000Labels14pxTurned900(benchmark::State& state) {
    Canvas canvas(900);
    drawLabels(state, canvas, labels(1000));
}
BENCHMARK(BM_TextOutU8_1000Labels14pxTurned900);

void BM_TextOutU8_1000CjkLabels14px(benchmark::State& state) {
    Canvas canvas;
    drawLabels(state, canvas, cjkLabels(1000));
}
BENCHMARK(BM_TextOutU8_1000CjkLabels14px);

void BM_TextExtentU8_1000Labels14px(benchmark::State& state) {
    Canvas canvas;
    const std::vector<std::string> text = labels(1000);
    SIZE size{};
    for (auto _ : state) {
        for (const std::string& s : text) GetTextExtentPointU8(canvas.dc(), s.data(), int(s.size()), &size);
        benchmark::DoNotOptimize(size);
    }
    state.SetItemsProcessed(state.iterations() * int64_t(text.size()));
}
BENCHMARK(BM_TextExtentU8_1000Labels14px);

void BM_CodePageByteCount936_1000Labels(benchmark::State& state) {
    const UINT previous = GetSystemCodePage();
    SetSystemCodePage(936);
    const std::vector<std::string> text = cjkLabels(1000);
    int total = 0;
    for (auto _ : state) {
        for (const std::string& s : text) total += CodePageByteCount(s.data(), int(s.size()));
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * int64_t(text.size()));
    SetSystemCodePage(previous);
}
BENCHMARK(BM_CodePageByteCount936_1000Labels);

// First use of a font: face resolution, metrics and the glyphs of one label.
void BM_NewFontFirstLabel(benchmark::State& state) {
    int height = 10;
    for (auto _ : state) {
        Canvas canvas;
        LOGFONTA lf{};
        lf.lfHeight = height;
        height = height >= 60 ? 10 : height + 1;
        std::strcpy(lf.lfFaceName, "Times New Roman");
        HFONT f = CreateFontIndirectA(&lf);
        HGDIOBJ old = SelectObject(canvas.dc(), f);
        TextOutU8(canvas.dc(), 5, 5, "Label 1234", 10);
        SelectObject(canvas.dc(), old);
        DeleteObject(f);
    }
}
BENCHMARK(BM_NewFontFirstLabel);

}  // namespace
