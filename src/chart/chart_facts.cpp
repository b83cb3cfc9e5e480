// Noting the facts of a picture, within their bounds.
#include "chart/chart_facts.h"

#include <algorithm>
#include <utility>

namespace kelvane {

namespace {

gdi::LONG saturated(int64_t v) { return gdi::LONG(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

}  // namespace

gdi::RECT WidenedBox(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t bx, int32_t by) {
    return gdi::RECT{saturated(int64_t(left) - bx), saturated(int64_t(top) - by), saturated(int64_t(right) + bx),
                     saturated(int64_t(bottom) + by)};
}

void ChartFacts::startPicture(bool made, int32_t canvasWidth, int32_t canvasHeight, bool noWidth, bool noHeight) {
    const bool wasArmed = armed;
    *this = ChartFacts{};
    armed = wasArmed;
    canvas = made;
    width = canvasWidth;
    height = canvasHeight;
    widthUnset = noWidth;
    heightUnset = noHeight;
}

void ChartFacts::noteText(gdi::HDC canvas, TextRole role, uint32_t group, const gdi::LOGFONTA& font, int32_t x,
                          int32_t y, std::string_view head, std::string_view tail) {
    if (!canvas || texts.size() >= kMaxNotedTexts || head.size() + tail.size() == 0) return;
    // One byte beyond the limit tells whether the limit falls inside a character.
    std::string text(head.substr(0, kMaxNotedTextBytes + 1));
    text.append(tail.substr(0, kMaxNotedTextBytes + 1 - text.size()));
    if (text.size() > kMaxNotedTextBytes) {
        size_t end = kMaxNotedTextBytes;
        while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;  // whole characters
        text.resize(end);
    }
    texts.push_back(NotedText{role, group, font, x, y, std::move(text)});
}

void ChartFacts::startPie() {
    std::erase_if(texts, [](const NotedText& t) { return t.role == TextRole::PieLegend; });
    pieLegend.reset();
    pieLabels.clear();
}

void ChartFacts::notePieLabel(gdi::HDC canvas, const std::string& name, const gdi::RECT& box) {
    if (canvas && pieLabels.size() < kMaxNotedTexts) pieLabels.push_back(NotedPieLabel{name, box});
}

void ChartFacts::noteOutputWarning(std::string line) { outputWarnings.push_back(std::move(line)); }

}  // namespace kelvane
