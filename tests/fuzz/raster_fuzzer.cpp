// libFuzzer target for the raster layer: the input is a program of drawing calls on a small canvas
// (pens, brushes, lines, shapes, paths, regions, blits and text) with coordinates anywhere in the
// 32-bit range. Every call must draw, clip or refuse without a crash, a leak or undefined
// behaviour. Pen widths and text heights stay small: wide pens and huge text are bounded by their
// own tests, and here they would only make each input slow.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "fuzz_bytes.h"
#include "kelvane/gdi.h"
#include "kelvane/messages.h"
#include "output/bmp/bmp.h"

namespace {

using namespace kelvane::gdi;
using kelvane::fuzz::FuzzBytes;

constexpr size_t kMaxInput = 4096;
constexpr int kMaxCalls = 64;
constexpr int kSide = 40;

BITMAPINFO Header24(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader = kelvane::BmpInfoHeader24(width, height, 0);
    return info;
}

struct Program {
    FuzzBytes& in;
    HDC dc;
    HDC source;
    std::vector<HGDIOBJ> made;  // deleted at the end, after the stock objects are selected again

    COLORREF colour() { return in.raw<COLORREF>(); }
    int width() { return in.byte() % 8 == 0 ? in.byte() % 24 : in.byte() % 4; }
    int small() { return int(in.byte() % 16); }

    void keep(HGDIOBJ object, bool select) {
        if (!object) return;
        made.push_back(object);
        if (select) SelectObject(dc, object);
    }

    std::vector<POINT> points() {
        std::vector<POINT> p(in.below(9));
        for (POINT& pt : p) pt = {in.coordinate(), in.coordinate()};
        return p;
    }

    RECT rect() { return {in.coordinate(), in.coordinate(), in.coordinate(), in.coordinate()}; }

    void pen() {
        if (in.byte() % 2) {
            keep(CreatePen(int(in.byte() % 9) - 1, in.byte() % 16 == 0 ? in.coordinate() % 24 : width(), colour()),
                 true);
            return;
        }
        static constexpr DWORD kCaps[] = {PS_ENDCAP_ROUND, PS_ENDCAP_SQUARE, PS_ENDCAP_FLAT, 0x300};
        static constexpr DWORD kJoins[] = {PS_JOIN_ROUND, PS_JOIN_BEVEL, PS_JOIN_MITER, 0x3000};
        const DWORD style = (in.byte() % 10) | (in.byte() % 2 ? PS_GEOMETRIC : PS_COSMETIC) |
                            in.pick(std::span<const DWORD>(kCaps)) | in.pick(std::span<const DWORD>(kJoins));
        LOGBRUSH brush{UINT(in.byte() % 4), colour(), uintptr_t(in.byte() % 7)};
        DWORD entries[17];
        const DWORD count = (style & PS_STYLE_MASK) == PS_USERSTYLE ? DWORD(in.below(18)) : 0;
        for (DWORD i = 0; i < count; ++i) entries[i] = in.byte() % 12;
        keep(ExtCreatePen(style, DWORD(width()), &brush, count, count ? entries : nullptr), true);
    }

    void brush() {
        switch (in.byte() % 4) {
            case 0: keep(CreateSolidBrush(colour()), true); break;
            case 1: keep(CreateHatchBrush(int(in.byte() % 8) - 1, colour()), true); break;
            case 2: SelectObject(dc, GetStockObject(int(in.byte() % 9))); break;
            default: {
                // An 8 x 8 pattern of 24-bit pixels behind its header.
                std::vector<uint8_t> packed(sizeof(BITMAPINFOHEADER) + 8 * 8 * 3);
                const BITMAPINFO info = Header24(8, in.byte() % 2 ? 8 : -8);
                std::memcpy(packed.data(), &info.bmiHeader, sizeof info.bmiHeader);
                for (size_t i = sizeof info.bmiHeader; i < packed.size(); ++i) packed[i] = in.byte();
                keep(CreateDIBPatternBrushPt(packed.data(), DIB_RGB_COLORS), true);
            }
        }
    }

    void shape() {
        const RECT r = rect();
        switch (in.byte() % 8) {
            case 0: MoveToEx(dc, r.left, r.top, nullptr); LineTo(dc, r.right, r.bottom); break;
            case 1: Rectangle(dc, r.left, r.top, r.right, r.bottom); break;
            case 2: Ellipse(dc, r.left, r.top, r.right, r.bottom); break;
            case 3: Arc(dc, r.left, r.top, r.right, r.bottom, in.coordinate(), in.coordinate(), in.coordinate(),
                        in.coordinate()); break;
            case 4: ArcTo(dc, r.left, r.top, r.right, r.bottom, in.coordinate(), in.coordinate(), in.coordinate(),
                          in.coordinate()); break;
            case 5: Pie(dc, r.left, r.top, r.right, r.bottom, in.coordinate(), in.coordinate(), in.coordinate(),
                        in.coordinate()); break;
            case 6: FillRect(dc, &r, HBRUSH(GetCurrentObject(dc, OBJ_BRUSH))); break;
            default: FrameRect(dc, &r, HBRUSH(GetCurrentObject(dc, OBJ_BRUSH))); break;
        }
    }

    void polyline() {
        const std::vector<POINT> p = points();
        const int n = int(p.size());
        switch (in.byte() % 3) {
            case 0: Polygon(dc, p.data(), n); break;
            case 1: Polyline(dc, p.data(), n); break;
            default: PolylineTo(dc, p.data(), n); break;
        }
    }

    void path() {
        switch (in.byte() % 7) {
            case 0: BeginPath(dc); break;
            case 1: EndPath(dc); break;
            case 2: CloseFigure(dc); break;
            case 3: FillPath(dc); break;
            case 4: StrokePath(dc); break;
            case 5: StrokeAndFillPath(dc); break;
            default: AbortPath(dc); break;
        }
    }

    void region() {
        const RECT r = rect();
        HRGN a = in.byte() % 2 ? CreateRectRgn(r.left, r.top, r.right, r.bottom)
                               : CreateEllipticRgn(r.left, r.top, r.right, r.bottom);
        const std::vector<POINT> p = points();
        HRGN b = CreatePolygonRgn(p.data(), int(p.size()), int(in.byte() % 3));
        if (a && b) CombineRgn(a, a, b, int(in.byte() % 6));
        if (a) {
            RECT box;
            GetRgnBox(a, &box);
            PtInRegion(a, in.coordinate(), in.coordinate());
            FillRgn(dc, a, HBRUSH(GetCurrentObject(dc, OBJ_BRUSH)));
        }
        DeleteObject(a);
        DeleteObject(b);
    }

    void blit() {
        const int x = in.coordinate(), y = in.coordinate(), w = in.coordinate(), h = in.coordinate();
        const int sx = in.coordinate(), sy = in.coordinate();
        switch (in.byte() % 4) {
            case 0: BitBlt(dc, x, y, w, h, source, sx, sy, SRCCOPY); break;
            case 1:
                SetStretchBltMode(dc, int(in.byte() % 6));
                StretchBlt(dc, x, y, w, h, source, sx, sy, in.coordinate(), in.coordinate(), SRCCOPY);
                break;
            default: {
                const int sw = small() + 1, sh = small() + 1;
                const BITMAPINFO info = Header24(sw, in.byte() % 2 ? sh : -sh);
                std::vector<uint8_t> bits(size_t((sw * 3 + 3) / 4 * 4) * size_t(sh));
                for (uint8_t& b : bits) b = in.byte();
                if (in.byte() % 2) {
                    StretchDIBits(dc, x, y, w, h, sx, sy, in.coordinate(), in.coordinate(), bits.data(), &info,
                                  DIB_RGB_COLORS, SRCCOPY);
                } else {
                    SetDIBitsToDevice(dc, x, y, DWORD(w), DWORD(h), sx, sy, UINT(in.coordinate()),
                                      UINT(in.coordinate()), bits.data(), &info, DIB_RGB_COLORS);
                }
            }
        }
    }

    void text() {
        LOGFONTA font{};
        font.lfHeight = int(in.byte() % 40) - 20;
        font.lfEscapement = in.coordinate();
        font.lfWeight = in.byte() % 2 ? 700 : 400;
        font.lfItalic = in.byte() % 2;
        keep(CreateFontIndirectA(&font), true);
        char chars[12];
        const int n = int(in.below(sizeof chars + 1));
        for (int i = 0; i < n; ++i) chars[i] = char(in.byte());
        SIZE size;
        GetTextExtentPoint32A(dc, chars, n, &size);
        TextOutA(dc, in.coordinate(), in.coordinate(), chars, n);
    }

    void state() {
        switch (in.byte() % 7) {
            case 0: SetBkMode(dc, int(in.byte() % 4)); break;
            case 1: SetBkColor(dc, colour()); break;
            case 2: SetArcDirection(dc, int(in.byte() % 4)); break;
            case 3: SetPolyFillMode(dc, int(in.byte() % 4)); break;
            case 4: SetBrushOrgEx(dc, in.coordinate(), in.coordinate(), nullptr); break;
            case 5: SetPixel(dc, in.coordinate(), in.coordinate(), colour()); break;
            default: GetPixel(dc, in.coordinate(), in.coordinate()); break;
        }
    }

    void run() {
        for (int call = 0; call < kMaxCalls && !in.empty(); ++call) {
            switch (in.byte() % 10) {
                case 0: pen(); break;
                case 1: brush(); break;
                case 2: case 3: shape(); break;
                case 4: polyline(); break;
                case 5: path(); break;
                case 6: region(); break;
                case 7: blit(); break;
                case 8: text(); break;
                default: state(); break;
            }
        }
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > kMaxInput) return 0;
    kelvane::SetMessageHandler([](const std::string&) {});
    FuzzBytes in(data, size);
    const BITMAPINFO info = Header24(kSide, in.byte() % 2 ? kSide : -kSide);
    void* bits = nullptr;
    void* sourceBits = nullptr;
    HBITMAP canvas = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const BITMAPINFO sourceInfo = Header24(13, 11);
    HBITMAP sourceBitmap = CreateDIBSection(nullptr, &sourceInfo, DIB_RGB_COLORS, &sourceBits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HDC source = CreateCompatibleDC(nullptr);
    HGDIOBJ oldBitmap = SelectObject(dc, canvas);
    HGDIOBJ oldSource = SelectObject(source, sourceBitmap);
    HGDIOBJ oldPen = GetCurrentObject(dc, OBJ_PEN), oldBrush = GetCurrentObject(dc, OBJ_BRUSH);
    HGDIOBJ oldFont = GetCurrentObject(dc, OBJ_FONT);
    for (int i = 0; i < 13 * 11; ++i) SetPixel(source, i % 13, i / 13, RGB(BYTE(i * 7), BYTE(i * 3), BYTE(i)));

    Program program{in, dc, source, {}};
    program.run();

    AbortPath(dc);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldFont);
    for (HGDIOBJ object : program.made) DeleteObject(object);
    SelectObject(dc, oldBitmap);
    SelectObject(source, oldSource);
    DeleteDC(dc);
    DeleteDC(source);
    DeleteObject(canvas);
    DeleteObject(sourceBitmap);
    return 0;
}
