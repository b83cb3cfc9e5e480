// Measuring noted texts and comparing where their ink lies.
#include "chart/text_boxes.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "raster/dib_section.h"
#include "raster/gdi_handles.h"

namespace kelvane {

using namespace gdi;

namespace {

// A text wider or taller than this is not drawn on a scratch surface: its cell stands for its
// ink (a scratch surface stays below 16 MiB). Nor are texts once all those drawn for one
// request took kScratchBudget pixels, which bounds the time a request takes.
constexpr int64_t kMaxScratchPixels = int64_t{1} << 22;
constexpr int64_t kScratchBudget = int64_t{1} << 26;

bool sameFont(const LOGFONTA& a, const LOGFONTA& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

int32_t reach(double by, double slack) { return by > slack ? int32_t(std::min(std::ceil(by), 2e9)) : 0; }

// The ink of a text drawn level with its reference point at (0, 0); the cell when the text is
// too large for a scratch surface, nothing (false) when it draws no pixel at all.
bool levelInk(const LOGFONTA& font, const std::string& text, SIZE cell, int64_t& budget, RECT& ink) {
    // Glyphs may reach beyond their cell sideways (the raster cuts them at its top and bottom).
    const int64_t pad = int64_t(cell.cy) + 2;
    const int64_t width = int64_t(cell.cx) + 2 * pad, height = int64_t(cell.cy) + 2 * pad;
    if (width * height > kMaxScratchPixels || width * height > budget) {
        ink = RECT{0, 0, cell.cx, cell.cy};
        return true;
    }
    budget -= width * height;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = LONG(width);
    info.bmiHeader.biHeight = -LONG(height);  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    DibSection scratch;
    if (!scratch.create(&info)) {
        ink = RECT{0, 0, cell.cx, cell.cy};
        return true;
    }
    const HDC dc = scratch.dc();
    RECT all{0, 0, LONG(width), LONG(height)};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    LOGFONTA level = font;
    level.lfEscapement = 0;
    Owned<HFONT> made(CreateFontIndirectA(&level));
    Selection selected(dc, made.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, 0xFFFFFF);
    TextOutU8(dc, int(pad), int(pad), text.data(), int(text.size()));
    int64_t left = width, top = height, right = -1, bottom = -1;
    for (int64_t y = 0; y < height; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(scratch.bits()) + y * width;
        for (int64_t x = 0; x < width; ++x)
            if (row[x] & 0xFFFFFF) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    }
    if (right < 0) return false;
    ink = RECT{LONG(left - pad), LONG(top - pad), LONG(right + 1 - pad), LONG(bottom + 1 - pad)};
    return true;
}

}  // namespace

std::vector<TextBox> MeasureTexts(const std::vector<NotedText>& texts) {
    std::vector<TextBox> boxes;
    OwnedDC dc(CreateCompatibleDC(nullptr));
    if (!dc) return boxes;
    boxes.reserve(texts.size());
    Owned<HFONT> font;
    const LOGFONTA* fontOf = nullptr;
    int64_t budget = kScratchBudget;
    for (const NotedText& t : texts) {
        if (!fontOf || !sameFont(*fontOf, t.font)) {
            SelectObject(dc.get(), GetStockObject(SYSTEM_FONT));  // the old font is deleted unselected
            font.reset(CreateFontIndirectA(&t.font));
            SelectObject(dc.get(), font.get());
            fontOf = &t.font;
        }
        SIZE cell{0, 0};
        RECT ink{};
        if (!GetTextExtentPointU8(dc.get(), t.text.data(), int(t.text.size()), &cell) || cell.cx <= 0 ||
            !levelInk(t.font, t.text, cell, budget, ink))
            continue;
        // The angle as the raster turns the text: counter-clockwise by the escapement's tenths.
        TextBox b;
        b.text = &t;
        b.turned = t.font.lfEscapement % 3600 != 0;
        const double angle = double(t.font.lfEscapement) * 3.14159265358979323846 / 1800.0;
        const double c = b.turned ? std::cos(angle) : 1.0, s = b.turned ? std::sin(angle) : 0.0;
        b.width = ink.right - ink.left;
        b.height = ink.bottom - ink.top;
        b.cellHeight = cell.cy;
        // A point (u, v) of the text's own frame lies at (x + u c + v s, y - u s + v c).
        b.u = t.x * c - t.y * s + ink.left;
        b.v = t.x * s + t.y * c + ink.top;
        double xs[4], ys[4];
        int k = 0;
        for (double u : {double(ink.left), double(ink.right)})
            for (double v : {double(ink.top), double(ink.bottom)}) {
                xs[k] = t.x + u * c + v * s;
                ys[k++] = t.y - u * s + v * c;
            }
        b.left = *std::min_element(xs, xs + 4);
        b.right = *std::max_element(xs, xs + 4);
        b.top = *std::min_element(ys, ys + 4);
        b.bottom = *std::max_element(ys, ys + 4);
        boxes.push_back(b);
    }
    SelectObject(dc.get(), GetStockObject(SYSTEM_FONT));
    return boxes;
}

void EdgeReach::widen(const EdgeReach& o) {
    left = std::max(left, o.left);
    top = std::max(top, o.top);
    right = std::max(right, o.right);
    bottom = std::max(bottom, o.bottom);
}

EdgeReach ReachPastCanvas(double left, double top, double right, double bottom, int32_t width, int32_t height,
                          double slack) {
    return EdgeReach{reach(-left, slack), reach(-top, slack), reach(right - width, slack),
                     reach(bottom - height, slack)};
}

std::string EdgeNames(const EdgeReach& r) {
    std::vector<const char*> names;
    if (r.left > 0) names.push_back("left");
    if (r.top > 0) names.push_back("top");
    if (r.right > 0) names.push_back("right");
    if (r.bottom > 0) names.push_back("bottom");
    std::string text = "the ";
    for (size_t i = 0; i < names.size(); ++i) {
        if (i > 0) text += i + 1 == names.size() ? " and " : ", ";
        text += names[i];
    }
    return text + (names.size() > 1 ? " edges" : " edge");
}

bool TextsOverlap(const TextBox& a, const TextBox& b) {
    const double slack = a.turned || b.turned ? 1 : 0;
    const double along = std::min(a.u + a.width, b.u + b.width) - std::max(a.u, b.u);
    const double across = std::min(a.v + a.height, b.v + b.height) - std::max(a.v, b.v);
    return along > slack && across > slack;
}

bool BoxesOverlap(const RECT& a, const RECT& b) {
    const double along = double(std::min(a.right, b.right)) - std::max(a.left, b.left);
    const double across = double(std::min(a.bottom, b.bottom)) - std::max(a.top, b.top);
    return along > 0 && across > 0;
}

std::string Quoted(const std::string& text) {
    constexpr size_t kLongest = 30;
    if (text.size() <= kLongest) return "\"" + text + "\"";
    size_t end = kLongest;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;  // not inside a character
    return "\"" + text.substr(0, end) + "...\"";
}

}  // namespace kelvane
