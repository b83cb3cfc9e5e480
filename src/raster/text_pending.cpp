// Text calls whose full versions live in the text layer's own files; these first versions keep
// the interface complete.
#include "raster/objects.h"

namespace kelvane::gdi {

FontObject::~FontObject() = default;

HFONT CreateFontIndirectA(const LOGFONTA* font) {
    if (!font) return nullptr;
    auto* object = new FontObject();
    object->logFont = *font;
    return object;
}

BOOL TextOutA(HDC dc, int, int, const char*, int) { return dc ? 1 : 0; }
BOOL TextOutU8(HDC dc, int, int, const char*, int) { return dc ? 1 : 0; }
BOOL GetTextExtentPoint32A(HDC dc, const char*, int, SIZE* size) {
    if (!dc || !size) return 0;
    *size = SIZE{0, 0};
    return 1;
}
BOOL GetTextExtentPointU8(HDC dc, const char* text, int length, SIZE* size) {
    return GetTextExtentPoint32A(dc, text, length, size);
}
BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* metrics) {
    if (!dc || !metrics) return 0;
    *metrics = TEXTMETRICA{};
    return 1;
}
int GetTextFaceA(HDC dc, int size, char* name) {
    if (!dc || !name || size < 1) return 0;
    name[0] = '\0';
    return 1;
}
BOOL SetSystemCodePage(UINT) { return 0; }
UINT GetSystemCodePage() { return 936; }
int CodePageByteCount(const char*, int length) { return length; }
int Utf8ToCodePage(const char* utf8, int length, char* out, int outSize) {
    if (out)
        for (int i = 0; i < length && i < outSize; ++i) out[i] = utf8[i];
    return length;
}

}  // namespace kelvane::gdi
