// The font of the text methods: a logical font built from face, size, boldness and angle,
// selected into the canvas for the length of one call.
#pragma once

#include <string>

#include "kelvane/gdi.h"
#include "kelvane/runtime.h"

namespace kelvane {

// The record the text methods create their font from: height = size (the cell height),
// escapement = angle x 10 for positive angles, weight 700 for any non-zero Bond, character set 1,
// the face name in 8-bit text (cut to the 31 bytes the field holds).
gdi::LOGFONTA ChartLogFont(const std::string& face, int16_t size, VBBool bold, int16_t angle);

class ChartFont {
public:
    ChartFont(gdi::HDC dc, const gdi::LOGFONTA& font);
    ~ChartFont();
    ChartFont(const ChartFont&) = delete;
    ChartFont& operator=(const ChartFont&) = delete;

private:
    gdi::HDC m_dc;
    gdi::HFONT m_font = nullptr;
    gdi::HGDIOBJ m_previous = nullptr;
};

}  // namespace kelvane
