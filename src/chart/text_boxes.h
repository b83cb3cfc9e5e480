// Where noted texts lie on the canvas, measured with their fonts when the warnings are asked
// for, and the two questions the warnings ask of them: does one reach past an edge of the
// canvas, do two overlap.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "chart/chart_facts.h"

namespace kelvane {

// Where a text's glyphs put ink: [u, u + width] x [v, v + height] in the frame turned by its
// angle (u along its baseline, v across it), and the smallest canvas rectangle holding that.
// The ink is found by drawing the text level on a scratch surface; a turned text's glyphs are
// drawn turned on the canvas, a pixel more or less (`turned`).
struct TextBox {
    const NotedText* text = nullptr;
    bool turned = false;
    double u = 0, v = 0, width = 0, height = 0;
    double left = 0, top = 0, right = 0, bottom = 0;
    int32_t cellHeight = 0;  // the font's cell
};

// One box per noted text that puts ink on the canvas, in the order noted.
std::vector<TextBox> MeasureTexts(const std::vector<NotedText>& texts);

// How far a rectangle reaches past each edge of a width x height canvas (0 when it does not;
// a reach of `slack` pixels or less counts as none).
struct EdgeReach {
    int32_t left = 0, top = 0, right = 0, bottom = 0;

    bool any() const { return left > 0 || top > 0 || right > 0 || bottom > 0; }
    // Takes the larger reach of each edge.
    void widen(const EdgeReach& other);
};
EdgeReach ReachPastCanvas(double left, double top, double right, double bottom, int32_t width, int32_t height,
                          double slack = 0);
inline EdgeReach ReachPastCanvas(const TextBox& b, int32_t width, int32_t height) {
    return ReachPastCanvas(b.left, b.top, b.right, b.bottom, width, height, b.turned ? 1 : 0);
}

// "the left edge", "the left and bottom edges", ...
std::string EdgeNames(const EdgeReach& reach);

// The ink of two texts turned by the same angle overlaps (by more than a pixel when turned).
bool TextsOverlap(const TextBox& a, const TextBox& b);
bool BoxesOverlap(const gdi::RECT& a, const gdi::RECT& b);

// A text for a message, in quotation marks, cut after 30 bytes (at a character boundary).
std::string Quoted(const std::string& text);

}  // namespace kelvane
