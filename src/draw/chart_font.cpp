// Fonts of the text methods.
#include "draw/chart_font.h"

#include <cstring>
#include <vector>

namespace kelvane {

using namespace gdi;

LOGFONTA ChartLogFont(const std::string& face, int16_t size, VBBool bold, int16_t angle) {
    LOGFONTA lf{};
    lf.lfHeight = size;
    lf.lfEscapement = angle > 0 ? int32_t(angle) * 10 : 0;
    lf.lfWeight = bold != kFalse ? 700 : 400;
    lf.lfCharSet = 1;
    const int needed = Utf8ToCodePage(face.data(), int(face.size()), nullptr, 0);
    std::vector<char> bytes(size_t(needed > 0 ? needed : 0) + 1, '\0');
    Utf8ToCodePage(face.data(), int(face.size()), bytes.data(), needed);
    // The field holds 31 bytes and the terminating zero; longer names are cut.
    std::strncpy(lf.lfFaceName, bytes.data(), LF_FACESIZE - 1);
    return lf;
}

ChartFont::ChartFont(HDC dc, const LOGFONTA& font) : m_dc(dc) {
    m_font = CreateFontIndirectA(&font);
    if (m_font) m_previous = SelectObject(dc, m_font);
}

ChartFont::~ChartFont() {
    if (m_previous) SelectObject(m_dc, m_previous);
    if (m_font) DeleteObject(m_font);
}

}  // namespace kelvane
