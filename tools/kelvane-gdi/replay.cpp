// The script interpreter: canvas, pens, brushes, shapes and saves, with the reference
// renderer's canvas defaults.
#include "replay.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "kelvane/gdi.h"
#include "raster/cdib.h"
#include "raster/gdi_handles.h"

namespace kelvane::replay {

using namespace gdi;

namespace {

struct Canvas {
    OwnedDC dc;
    Owned<HBITMAP> bitmap;
    HGDIOBJ firstBitmap = nullptr;
    Owned<HPEN> pen;
    Owned<HBRUSH> brush;
    HGDIOBJ firstPen = nullptr, firstBrush = nullptr;

    ~Canvas() { reset(); }
    void reset() {
        if (dc) {
            if (firstPen) SelectObject(dc.get(), firstPen);
            if (firstBrush) SelectObject(dc.get(), firstBrush);
            if (firstBitmap) SelectObject(dc.get(), firstBitmap);
        }
        pen.reset();
        brush.reset();
        bitmap.reset();
        dc.reset();
        firstPen = firstBrush = firstBitmap = nullptr;
    }
};

std::vector<std::string> tokens(const std::string& line) {
    std::vector<std::string> out;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
        if (i >= line.size() || line[i] == '#') break;
        if (line[i] == '"') {
            const size_t end = line.find('"', i + 1);
            out.push_back(line.substr(i + 1, end == std::string::npos ? std::string::npos : end - i - 1));
            i = end == std::string::npos ? line.size() : end + 1;
            continue;
        }
        size_t j = i;
        while (j < line.size() && line[j] != ' ' && line[j] != '\t' && line[j] != '\r') ++j;
        out.push_back(line.substr(i, j - i));
        i = j;
    }
    return out;
}

bool number(const std::string& text, long& value) {
    // Decimal, or hexadecimal after 0x; a leading zero alone is still decimal.
    const size_t sign = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    const bool hex = text.compare(sign, 2, "0x") == 0 || text.compare(sign, 2, "0X") == 0;
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, hex ? 16 : 10);
    return !text.empty() && end && *end == '\0';
}

std::string joinPath(const std::string& base, const std::string& name) {
    if (base.empty() || (!name.empty() && name[0] == '/')) return name;
    return base + "/" + name;
}

}  // namespace

Result runScript(const std::string& path, const std::string& baseDir) {
    Result result;
    std::ifstream in(path);
    if (!in) {
        result.ok = false;
        result.error = path + ": cannot read";
        return result;
    }
    Canvas canvas;
    std::string line;
    int lineNo = 0;
    auto fail = [&](const std::string& message) {
        result.ok = false;
        result.error = path + ":" + std::to_string(lineNo) + ": " + message;
        return result;
    };
    while (std::getline(in, line)) {
        ++lineNo;
        const std::vector<std::string> t = tokens(line);
        if (t.empty()) continue;
        const std::string& cmd = t[0];
        std::vector<long> n;
        for (size_t i = 1; i < t.size(); ++i) {
            long v;
            if (number(t[i], v)) n.push_back(v);
        }
        auto need = [&](size_t count) { return n.size() >= count; };
        HDC dc = canvas.dc.get();
        if (cmd == "canvas") {
            if (!need(3)) return fail("canvas needs W H COLOR");
            canvas.reset();
            canvas.dc.reset(CreateCompatibleDC(nullptr));
            BITMAPINFO info{};
            info.bmiHeader = {sizeof(BITMAPINFOHEADER), LONG(n[0]), LONG(n[1]), 1, 24, BI_RGB, 0, 0, 0, 0, 0};
            void* bits = nullptr;
            canvas.bitmap.reset(CreateDIBSection(canvas.dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
            if (!canvas.bitmap) return fail("CreateDIBSection failed");
            dc = canvas.dc.get();
            canvas.firstBitmap = SelectObject(dc, canvas.bitmap.get());
            Owned<HBRUSH> fill(CreateSolidBrush(COLORREF(n[2])));
            RECT all{0, 0, LONG(n[0]), LONG(n[1])};
            FillRect(dc, &all, fill.get());
            SetBkMode(dc, TRANSPARENT);
            continue;
        }
        if (!dc) return fail("no canvas");
        if (cmd == "pen" || cmd == "nullpen" || cmd == "stockpen") {
            HGDIOBJ next = cmd == "pen" ? (need(3) ? CreatePen(int(n[0]), int(n[1]), COLORREF(n[2])) : nullptr)
                                         : GetStockObject(cmd == "nullpen" ? NULL_PEN : BLACK_PEN);
            if (!next) return fail("CreatePen failed");
            HGDIOBJ previous = SelectObject(dc, next);
            if (!canvas.firstPen) canvas.firstPen = previous;
            canvas.pen.reset(cmd == "pen" ? next : nullptr);
        } else if (cmd == "brush" || cmd == "nullbrush" || cmd == "stockbrush") {
            HGDIOBJ next = cmd == "brush" ? (need(1) ? CreateSolidBrush(COLORREF(n[0])) : nullptr)
                                           : GetStockObject(cmd == "nullbrush" ? NULL_BRUSH : WHITE_BRUSH);
            if (!next) return fail("CreateSolidBrush failed");
            HGDIOBJ previous = SelectObject(dc, next);
            if (!canvas.firstBrush) canvas.firstBrush = previous;
            canvas.brush.reset(cmd == "brush" ? next : nullptr);
        } else if (cmd == "rect") {
            if (!need(4)) return fail("rect needs L T R B");
            Rectangle(dc, int(n[0]), int(n[1]), int(n[2]), int(n[3]));
        } else if (cmd == "moveto" || cmd == "lineto") {
            if (!need(2)) return fail(cmd + " needs X Y");
            if (cmd == "moveto") MoveToEx(dc, int(n[0]), int(n[1]), nullptr);
            else LineTo(dc, int(n[0]), int(n[1]));
        } else if (cmd == "fillrect") {
            if (!need(5)) return fail("fillrect needs L T R B COLOR");
            Owned<HBRUSH> fill(CreateSolidBrush(COLORREF(n[4])));
            RECT r{LONG(n[0]), LONG(n[1]), LONG(n[2]), LONG(n[3])};
            FillRect(dc, &r, fill.get());
        } else if (cmd == "bkmode") {
            if (!need(1)) return fail("bkmode needs M");
            SetBkMode(dc, int(n[0]));
        } else if (cmd == "save") {
            if (t.size() < 2) return fail("save needs FILE");
            const std::string file = joinPath(baseDir, t[1]);
            BITMAP bm{};
            GetObjectA(canvas.bitmap.get(), sizeof bm, &bm);
            cDIB writer;
            if (!writer.SaveBMP(dc, canvas.bitmap.get(), bm.bmWidth, bm.bmHeight, file))
                return fail("cannot write " + file);
            result.saved.push_back(file);
        } else {
            return fail("unsupported: " + cmd);
        }
    }
    return result;
}

}  // namespace kelvane::replay
