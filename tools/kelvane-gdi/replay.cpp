// The script interpreter. It keeps the reference renderer's rules: one canvas at a time (a
// 24-bit bottom-up DIB section, stock pen and brush, transparent background), objects created
// by a command are selected at once and the previous one deleted, every GDI call checked.
#include "replay.h"

#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>

#include "kelvane/gdi.h"

namespace kelvane::replay {

using namespace gdi;

namespace {

// Ends the script: status 1 for script errors, 2 for failed GDI calls.
struct Stop {
    int status;
};

std::vector<uint8_t> readBytes(const std::string& path, bool& ok) {
    std::vector<uint8_t> data;
    ok = false;
    if (path == "-") {
        std::string all((std::istreambuf_iterator<char>(std::cin)), {});
        ok = true;
        return std::vector<uint8_t>(all.begin(), all.end());
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) return data;
    data.assign(std::istreambuf_iterator<char>(in), {});
    ok = true;
    return data;
}

void put16(uint8_t* p, unsigned v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
void put32(uint8_t* p, unsigned v) {
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

// A BMP file as a BITMAPINFO (header, masks, colour table) and its rows.
struct Bmp {
    std::vector<uint8_t> file;
    std::vector<uint8_t> info;
    size_t bitsOffset = 0;
    size_t bitsSize = 0;
    int w = 0, h = 0;
    const BITMAPINFO* bmi() const { return reinterpret_cast<const BITMAPINFO*>(info.data()); }
    const uint8_t* bits() const { return file.data() + bitsOffset; }
};

// Text bytes of scripts are in code page 1252, as the reference renderer reads them: the system
// code page is 1252 while a script runs, and what it was before afterwards.
class CodePage1252 {
public:
    CodePage1252() : m_previous(GetSystemCodePage()) { SetSystemCodePage(1252); }
    ~CodePage1252() { SetSystemCodePage(m_previous); }
    CodePage1252(const CodePage1252&) = delete;
    CodePage1252& operator=(const CodePage1252&) = delete;

private:
    UINT m_previous;
};

class Interpreter {
public:
    explicit Interpreter(const Options& o) : m_opt(o) {}
    ~Interpreter() { destroyCanvas(); }

    int run(const std::string& name, const std::string& text) {
        const CodePage1252 codePage;
        m_file = name;
        m_line = 0;
        m_onfailExit = true;
        try {
            size_t pos = 0;
            while (pos <= text.size()) {
                size_t nl = text.find('\n', pos);
                if (nl == std::string::npos) nl = text.size();
                std::string line = text.substr(pos, nl - pos);
                ++m_line;
                if (line.find('\0') != std::string::npos) die("NUL byte in line");
                if (!line.empty() && line.back() == '\r') line.pop_back();
                runLine(line);
                if (nl == text.size()) break;
                pos = nl + 1;
            }
        } catch (const Stop& s) {
            destroyCanvas();
            return s.status;
        }
        destroyCanvas();
        return 0;
    }

    int runFile(const std::string& path) {
        bool ok = false;
        const std::vector<uint8_t> data = readBytes(resolve(path), ok);
        if (!ok) {
            m_file = path;
            m_line = 0;
            err() << "kelvane-gdi: " << path << ":0: error: cannot read script '" << path << "'\n";
            return 1;
        }
        return run(path, std::string(data.begin(), data.end()));
    }

private:
    // ------------------------------------------------------------------ messages
    std::ostream& out() { return m_opt.out ? *m_opt.out : m_null; }
    std::ostream& err() { return m_opt.err ? *m_opt.err : m_null; }

    [[noreturn]] void die(const std::string& message) {
        err() << "kelvane-gdi: " << m_file << ":" << m_line << ": error: " << message << "\n";
        throw Stop{1};
    }

    void check(bool ok, const char* what) {
        if (ok) return;
        err() << "kelvane-gdi: " << m_file << ":" << m_line << ": "
              << (m_onfailExit ? "error" : "warning") << ": " << what << " failed (GetLastError=0)\n";
        if (m_onfailExit) throw Stop{2};
    }

    [[noreturn]] void unsupported() { die(m_cmd + ": unsupported by this raster layer"); }

    // ------------------------------------------------------------------ tokens
    static bool blank(char c) { return c == ' ' || c == '\t'; }

    bool nextToken(std::string& token) {
        while (m_pos < m_text.size() && blank(m_text[m_pos])) ++m_pos;
        if (m_pos >= m_text.size() || m_text[m_pos] == '#') return false;
        if (m_text[m_pos] == '"') {
            const size_t close = m_text.find('"', m_pos + 1);
            if (close == std::string::npos) die("unterminated double quote");
            if (close + 1 < m_text.size() && !blank(m_text[close + 1]))
                die("a blank must follow the closing double quote");
            token = m_text.substr(m_pos + 1, close - m_pos - 1);
            m_pos = close + 1;
            return true;
        }
        const size_t start = m_pos;
        while (m_pos < m_text.size() && !blank(m_text[m_pos])) ++m_pos;
        token = m_text.substr(start, m_pos - start);
        return true;
    }

    std::string restText() {
        while (m_pos < m_text.size() && blank(m_text[m_pos])) ++m_pos;
        std::string rest = m_text.substr(m_pos);
        m_pos = m_text.size();
        if (rest.size() >= 2 && rest.front() == '"' && rest.back() == '"') rest = rest.substr(1, rest.size() - 2);
        return rest;
    }

    static bool parseNumber(const std::string& s, long long& out) {
        size_t p = 0;
        bool negative = false;
        if (p < s.size() && (s[p] == '+' || s[p] == '-')) negative = s[p++] == '-';
        int base = 10;
        if (p + 1 < s.size() && s[p] == '0' && (s[p + 1] == 'x' || s[p + 1] == 'X')) {
            base = 16;
            p += 2;
        }
        if (p >= s.size()) return false;
        if (base == 16 ? !std::isxdigit(static_cast<unsigned char>(s[p])) : !std::isdigit(static_cast<unsigned char>(s[p])))
            return false;
        errno = 0;
        char* end = nullptr;
        const unsigned long long v = std::strtoull(s.c_str() + p, &end, base);
        if (*end || errno || v > 0xFFFFFFFFull) return false;
        out = negative ? -static_cast<long long>(v) : static_cast<long long>(v);
        return true;
    }

    long long argRange(const char* name, long long lo, long long hi) {
        std::string t;
        if (!nextToken(t)) die(m_cmd + ": missing argument " + name);
        long long v;
        if (!parseNumber(t, v))
            die(m_cmd + ": argument " + name + ": '" + t + "' is not an integer (decimal or 0x hex)");
        if (v < lo || v > hi)
            die(m_cmd + ": argument " + name + ": " + t + " out of range [" + std::to_string(lo) + ", " +
                std::to_string(hi) + "]");
        return v;
    }
    int argInt(const char* name) { return int(argRange(name, -2147483648LL, 2147483647LL)); }
    COLORREF argColour(const char* name) { return COLORREF(argRange(name, 0, 0xFFFFFFFFLL)); }
    DWORD argDword(const char* name) { return DWORD(argRange(name, -2147483648LL, 0xFFFFFFFFLL)); }
    std::string argString(const char* name) {
        std::string t;
        if (!nextToken(t)) die(m_cmd + ": missing argument " + name);
        return t;
    }
    void noMore() {
        std::string t;
        if (nextToken(t)) die(m_cmd + ": unexpected extra argument '" + t + "'");
    }
    std::vector<POINT> argPoints() {
        const int n = int(argRange("N", 0, 1000000));
        std::vector<POINT> points(static_cast<size_t>(n));
        for (POINT& p : points) {
            p.x = argInt("x");
            p.y = argInt("y");
        }
        return points;
    }

    // ------------------------------------------------------------------ files
    std::string resolve(const std::string& path) const {
        if (m_opt.baseDir.empty() || path.empty() || path[0] == '/' || path == "-") return path;
        return m_opt.baseDir + "/" + path;
    }

    static void makeParents(const std::string& path) {
        for (size_t i = 1; i < path.size(); ++i)
            if (path[i] == '/') ::mkdir(path.substr(0, i).c_str(), 0777);  // fails harmlessly if it exists
    }

    void writeOutput(const std::string& name, const std::vector<uint8_t>& bytes) {
        if (m_opt.captured) {
            (*m_opt.captured)[name] = bytes;
            return;
        }
        const std::string path = resolve(name);
        makeParents(path);
        std::ofstream f(path, std::ios::binary);
        if (!f) die(m_cmd + ": cannot write '" + name + "'");
        f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        f.close();
        if (!f) die(m_cmd + ": write error on '" + name + "'");
    }

    Bmp loadBmp(const std::string& path) {
        Bmp b;
        bool ok = false;
        if (m_opt.captured && m_opt.captured->count(path)) {
            b.file = m_opt.captured->at(path);
            ok = true;
        } else {
            b.file = readBytes(resolve(path), ok);
        }
        if (!ok) die(m_cmd + ": cannot read '" + path + "'");
        const size_t len = b.file.size();
        if (len < 54 || b.file[0] != 'B' || b.file[1] != 'M') die(m_cmd + ": '" + path + "' is not a BMP file");
        uint32_t offset, header;
        std::memcpy(&offset, &b.file[10], 4);
        std::memcpy(&header, &b.file[14], 4);
        if (header < 40 || 14 + size_t(header) > len)
            die(m_cmd + ": '" + path + "': unsupported BMP header size " + std::to_string(header));
        BITMAPINFOHEADER bih;
        std::memcpy(&bih, &b.file[14], sizeof bih);
        if (bih.biCompression != BI_RGB) die(m_cmd + ": '" + path + "': compressed BMPs are not supported");
        size_t palette = 0;
        if (bih.biBitCount <= 8) palette = 4 * (bih.biClrUsed ? bih.biClrUsed : (1u << bih.biBitCount));
        if (14 + header + palette > len) die(m_cmd + ": '" + path + "': truncated header");
        b.w = bih.biWidth;
        b.h = bih.biHeight;
        if (b.w <= 0 || b.h == 0) die(m_cmd + ": '" + path + "': bad size");
        const size_t stride = ((size_t(b.w) * bih.biBitCount + 31) / 32) * 4;
        b.bitsSize = stride * size_t(b.h < 0 ? -b.h : b.h);
        if (size_t(offset) + b.bitsSize > len) die(m_cmd + ": '" + path + "': truncated pixel data");
        b.info.assign(b.file.begin() + 14, b.file.begin() + 14 + header + palette);
        // Room for a full colour table, as some calls read one whatever the header says.
        b.info.resize(std::max(b.info.size(), size_t(header) + 256 * 4), 0);
        b.bitsOffset = offset;
        return b;
    }

    // ------------------------------------------------------------------ canvas
    void needCanvas() {
        if (!m_dc) die(m_cmd + ": no canvas yet (use 'canvas W H COLOR' first)");
    }

    void selectPen(HGDIOBJ pen, bool created) {
        HGDIOBJ old = m_pen;
        if (!SelectObject(m_dc, pen)) check(false, "SelectObject(pen)");
        if (old) DeleteObject(old);
        m_pen = created ? pen : nullptr;
    }

    void selectBrush(HGDIOBJ brush, bool created) {
        HGDIOBJ old = m_brush;
        if (!SelectObject(m_dc, brush)) check(false, "SelectObject(brush)");
        if (old) DeleteObject(old);
        m_brush = created ? brush : nullptr;
    }

    void destroyCanvas() {
        if (!m_dc) return;
        SelectObject(m_dc, GetStockObject(BLACK_PEN));
        SelectObject(m_dc, GetStockObject(WHITE_BRUSH));
        SelectObject(m_dc, GetStockObject(SYSTEM_FONT));
        SelectObject(m_dc, m_oldBitmap);
        if (m_pen) DeleteObject(m_pen);
        if (m_brush) DeleteObject(m_brush);
        if (m_font) DeleteObject(m_font);
        m_font = nullptr;
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
        m_dc = nullptr;
        m_bitmap = m_oldBitmap = m_pen = m_brush = nullptr;
        m_bits = nullptr;
    }

    void createCanvas(int w, int h, COLORREF colour) {
        destroyCanvas();
        m_dc = CreateCompatibleDC(nullptr);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = h;  // bottom-up
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!m_bitmap || !bits) {
            check(false, "CreateDIBSection");
            die("canvas: no DIB section");
        }
        m_oldBitmap = SelectObject(m_dc, m_bitmap);
        m_bits = static_cast<uint8_t*>(bits);
        m_w = w;
        m_h = h;
        m_stride = ((w * 24 + 31) / 32) * 4;
        for (int y = 0; y < h; ++y) {
            uint8_t* row = m_bits + size_t(y) * m_stride;
            for (int x = 0; x < w; ++x) {
                row[3 * x + 0] = GetBValue(colour);
                row[3 * x + 1] = GetGValue(colour);
                row[3 * x + 2] = GetRValue(colour);
            }
        }
        SetBkMode(m_dc, TRANSPARENT);
    }

    const uint8_t* pixelAt(int x, int y) const { return m_bits + size_t(m_h - 1 - y) * m_stride + 3 * size_t(x); }

    void saveBmp(const std::string& name) {
        const size_t image = size_t(m_stride) * m_h;
        std::vector<uint8_t> file(54 + image, 0);
        file[0] = 'B';
        file[1] = 'M';
        put32(&file[2], unsigned(54 + image));
        put32(&file[10], 54);
        put32(&file[14], 40);
        put32(&file[18], unsigned(m_w));
        put32(&file[22], unsigned(m_h));
        put16(&file[26], 1);
        put16(&file[28], 24);
        put32(&file[30], BI_RGB);
        put32(&file[34], unsigned(image));
        put32(&file[38], 2835);
        put32(&file[42], 2835);
        std::memcpy(&file[54], m_bits, image);
        writeOutput(name, file);
    }

    void dumpRaw(const std::string& name) {
        std::vector<uint8_t> raw;
        raw.reserve(size_t(m_w) * m_h * 3);
        for (int y = 0; y < m_h; ++y) {
            const uint8_t* p = pixelAt(0, y);
            for (int x = 0; x < m_w; ++x) raw.insert(raw.end(), {p[3 * x + 2], p[3 * x + 1], p[3 * x]});
        }
        writeOutput(name, raw);
    }

    // ------------------------------------------------------------------ commands
    void runLine(const std::string& line) {
        m_text = line;
        m_pos = 0;
        if (!nextToken(m_cmd)) return;
        const std::string& c = m_cmd;
        if (c == "canvas") {
            const int w = int(argRange("W", 1, 32767));
            const int h = int(argRange("H", 1, 32767));
            const COLORREF colour = argColour("COLOR");
            noMore();
            createCanvas(w, h, colour);
            return;
        }
        if (c == "onfail") {
            const std::string m = argString("exit|warn");
            noMore();
            if (m == "exit") m_onfailExit = true;
            else if (m == "warn") m_onfailExit = false;
            else die("onfail: expected 'exit' or 'warn', got '" + m + "'");
            return;
        }
        if (c == "echo") {
            out() << restText() << "\n";
            return;
        }
        if (c == "fontquality") {
            argRange("Q", 0, 255);
            noMore();
            return;
        }
        needCanvas();
        if (runObjectCommand() || runStateCommand() || runShapeCommand() || runPathCommand() ||
            runBlitCommand() || runOutputCommand())
            return;
        if (runTextCommand()) return;
        die("unknown command '" + c + "'");
    }

    bool runObjectCommand() {
        const std::string& c = m_cmd;
        if (c == "pen") {
            const int style = argInt("STYLE"), width = argInt("WIDTH");
            const COLORREF colour = argColour("COLOR");
            noMore();
            HPEN p = CreatePen(style, width, colour);
            if (!p) return check(false, "CreatePen"), true;
            selectPen(p, true);
        } else if (c == "extpen") {
            const DWORD style = argDword("STYLEWORD");
            const DWORD width = DWORD(argRange("WIDTH", 0, 0x7FFFFFFF));
            const COLORREF colour = argColour("COLOR");
            std::vector<DWORD> dashes;
            std::string t;
            if (nextToken(t)) {
                long long n;
                if (!parseNumber(t, n) || n < 0 || n > 64) die("extpen: N must be 0..64, got '" + t + "'");
                for (long long i = 0; i < n; ++i) dashes.push_back(DWORD(argRange("d", 0, 0x7FFFFFFF)));
            }
            noMore();
            const LOGBRUSH brush{BS_SOLID, colour, 0};
            HPEN p = ExtCreatePen(style, width, &brush, DWORD(dashes.size()), dashes.empty() ? nullptr : dashes.data());
            if (!p) return check(false, "ExtCreatePen"), true;
            selectPen(p, true);
        } else if (c == "nullpen" || c == "stockpen") {
            noMore();
            selectPen(GetStockObject(c == "nullpen" ? NULL_PEN : BLACK_PEN), false);
        } else if (c == "brush") {
            const COLORREF colour = argColour("COLOR");
            noMore();
            HBRUSH b = CreateSolidBrush(colour);
            if (!b) return check(false, "CreateSolidBrush"), true;
            selectBrush(b, true);
        } else if (c == "hatchbrush") {
            const int hs = argInt("HS");
            const COLORREF colour = argColour("COLOR");
            noMore();
            HBRUSH b = CreateHatchBrush(hs, colour);
            if (!b) return check(false, "CreateHatchBrush"), true;
            selectBrush(b, true);
        } else if (c == "patternbrush") {
            const std::string path = argString("FILE");
            noMore();
            const Bmp bmp = loadBmp(path);
            const size_t header = reinterpret_cast<const BITMAPINFOHEADER*>(bmp.info.data())->biSize;
            const BITMAPINFOHEADER& h = bmp.bmi()->bmiHeader;
            const size_t palette = h.biBitCount <= 8 ? 4 * (h.biClrUsed ? h.biClrUsed : (1u << h.biBitCount)) : 0;
            std::vector<uint8_t> packed(bmp.info.begin(), bmp.info.begin() + long(header + palette));
            packed.insert(packed.end(), bmp.bits(), bmp.bits() + bmp.bitsSize);
            HBRUSH b = CreateDIBPatternBrushPt(packed.data(), DIB_RGB_COLORS);
            if (!b) return check(false, "CreateDIBPatternBrushPt"), true;
            selectBrush(b, true);
        } else if (c == "nullbrush" || c == "stockbrush") {
            noMore();
            selectBrush(GetStockObject(c == "nullbrush" ? NULL_BRUSH : WHITE_BRUSH), false);
        } else if (c == "brushorg") {
            const int x = argInt("X"), y = argInt("Y");
            noMore();
            check(SetBrushOrgEx(m_dc, x, y, nullptr), "SetBrushOrgEx");
        } else {
            return false;
        }
        return true;
    }

    bool runStateCommand() {
        const std::string& c = m_cmd;
        if (c == "bkmode") {
            const int m = argInt("MODE");
            noMore();
            check(SetBkMode(m_dc, m) != 0, "SetBkMode");
        } else if (c == "bkcolor") {
            const COLORREF colour = argColour("COLOR");
            noMore();
            check(SetBkColor(m_dc, colour) != CLR_INVALID, "SetBkColor");
        } else if (c == "textcolor") {
            const COLORREF colour = argColour("COLOR");
            noMore();
            check(SetTextColor(m_dc, colour) != CLR_INVALID, "SetTextColor");
        } else if (c == "rop2") {
            const int m = argInt("N");
            noMore();
            if (m != 13) unsupported();  // only R2_COPYPEN, which every drawing here uses
        } else if (c == "arcdir") {
            const int m = argInt("DIR");
            noMore();
            check(SetArcDirection(m_dc, m) != 0, "SetArcDirection");
        } else if (c == "polyfill") {
            const int m = argInt("MODE");
            noMore();
            check(SetPolyFillMode(m_dc, m) != 0, "SetPolyFillMode");
        } else if (c == "stretchmode") {
            const int m = argInt("N");
            noMore();
            check(SetStretchBltMode(m_dc, m) != 0, "SetStretchBltMode");
        } else if (c == "graphicsmode") {
            const int m = argInt("MODE");
            noMore();
            if (m != 1) unsupported();  // the compatible mode is the only one drawn here
        } else if (c == "cliprect" || c == "clipreset") {
            unsupported();
        } else {
            return false;
        }
        return true;
    }

    bool runShapeCommand() {
        const std::string& c = m_cmd;
        if (c == "rect" || c == "ellipse") {
            const int l = argInt("L"), t = argInt("T"), r = argInt("R"), b = argInt("B");
            noMore();
            if (c == "rect") check(Rectangle(m_dc, l, t, r, b), "Rectangle");
            else check(Ellipse(m_dc, l, t, r, b), "Ellipse");
        } else if (c == "pie" || c == "arc" || c == "arcto") {
            static const char* names[8] = {"L", "T", "R", "B", "X1", "Y1", "X2", "Y2"};
            int v[8];
            for (int i = 0; i < 8; ++i) v[i] = argInt(names[i]);
            noMore();
            if (c == "pie") check(Pie(m_dc, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]), "Pie");
            else if (c == "arc") check(Arc(m_dc, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]), "Arc");
            else check(ArcTo(m_dc, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]), "ArcTo");
        } else if (c == "moveto" || c == "lineto") {
            const int x = argInt("X"), y = argInt("Y");
            noMore();
            if (c == "moveto") check(MoveToEx(m_dc, x, y, nullptr), "MoveToEx");
            else check(LineTo(m_dc, x, y), "LineTo");
        } else if (c == "setpixel") {
            const int x = argInt("X"), y = argInt("Y");
            const COLORREF colour = argColour("COLOR");
            noMore();
            SetPixel(m_dc, x, y, colour);
        } else if (c == "polygon" || c == "polyline" || c == "polylineto") {
            const std::vector<POINT> p = argPoints();
            noMore();
            const int n = int(p.size());
            if (c == "polygon") check(Polygon(m_dc, p.data(), n), "Polygon");
            else if (c == "polyline") check(Polyline(m_dc, p.data(), n), "Polyline");
            else check(PolylineTo(m_dc, p.data(), n), "PolylineTo");
        } else if (c == "fillrect" || c == "fillrectcur" || c == "framerect") {
            RECT rc;
            rc.left = argInt("L");
            rc.top = argInt("T");
            rc.right = argInt("R");
            rc.bottom = argInt("B");
            if (c == "fillrectcur") {
                noMore();
                check(FillRect(m_dc, &rc, GetCurrentObject(m_dc, OBJ_BRUSH)) != 0, "FillRect");
            } else {
                const COLORREF colour = argColour("COLOR");
                noMore();
                HBRUSH b = CreateSolidBrush(colour);
                if (!b) return check(false, "CreateSolidBrush"), true;
                if (c == "fillrect") check(FillRect(m_dc, &rc, b) != 0, "FillRect");
                else check(FrameRect(m_dc, &rc, b) != 0, "FrameRect");
                DeleteObject(b);
            }
        } else if (c == "rgnfill") {
            const std::vector<POINT> p = argPoints();
            const COLORREF colour = argColour("COLOR");
            noMore();
            HRGN region = CreatePolygonRgn(p.data(), int(p.size()), ALTERNATE);
            if (!region) return check(false, "CreatePolygonRgn"), true;
            HBRUSH b = CreateSolidBrush(colour);
            check(FillRgn(m_dc, region, b), "FillRgn");
            DeleteObject(b);
            DeleteObject(region);
        } else if (c == "roundrect" || c == "chord" || c == "polybezier" || c == "polybezierto" ||
                   c == "polypolygon") {
            unsupported();
        } else {
            return false;
        }
        return true;
    }

    bool runPathCommand() {
        const std::string& c = m_cmd;
        struct Call {
            const char* name;
            BOOL (*fn)(HDC);
            const char* what;
        };
        static const Call calls[] = {
            {"beginpath", BeginPath, "BeginPath"},   {"endpath", EndPath, "EndPath"},
            {"abortpath", AbortPath, "AbortPath"},   {"fillpath", FillPath, "FillPath"},
            {"strokepath", StrokePath, "StrokePath"}, {"strokeandfillpath", StrokeAndFillPath, "StrokeAndFillPath"},
            {"closefigure", CloseFigure, "CloseFigure"},
        };
        for (const Call& call : calls) {
            if (c != call.name) continue;
            noMore();
            check(call.fn(m_dc), call.what);
            return true;
        }
        if (c == "flattenpath" || c == "widenpath") unsupported();
        return false;
    }

    bool runBlitCommand() {
        const std::string& c = m_cmd;
        if (c != "stretch_from" && c != "stretchdib_from") return false;
        const std::string path = argString("FILE");
        const int x = argInt("X"), y = argInt("Y"), w = argInt("W"), h = argInt("H");
        const Bmp bmp = loadBmp(path);
        int sx = 0, sy = 0, sw = bmp.w, sh = bmp.h < 0 ? -bmp.h : bmp.h;
        std::string t;
        if (nextToken(t)) {
            long long v;
            if (!parseNumber(t, v) || v < -2147483647LL || v > 2147483647LL) die(c + ": bad SX '" + t + "'");
            sx = int(v);
            sy = argInt("SY");
            sw = argInt("SW");
            sh = argInt("SH");
        }
        noMore();
        if (c == "stretchdib_from") {
            check(StretchDIBits(m_dc, x, y, w, h, sx, sy, sw, sh, bmp.bits(), bmp.bmi(), DIB_RGB_COLORS, SRCCOPY) != 0,
                  "StretchDIBits");
            return true;
        }
        void* sbits = nullptr;
        HDC sdc = CreateCompatibleDC(m_dc);
        HBITMAP sbmp = CreateDIBSection(sdc, bmp.bmi(), DIB_RGB_COLORS, &sbits, nullptr, 0);
        if (!sdc || !sbmp || !sbits) {
            check(false, "CreateDIBSection(source)");
        } else {
            std::memcpy(sbits, bmp.bits(), bmp.bitsSize);
            HGDIOBJ old = SelectObject(sdc, sbmp);
            check(StretchBlt(m_dc, x, y, w, h, sdc, sx, sy, sw, sh, SRCCOPY), "StretchBlt");
            SelectObject(sdc, old);
        }
        if (sbmp) DeleteObject(sbmp);
        if (sdc) DeleteDC(sdc);
        return true;
    }

    // Text commands; their text is in code page 1252, as the reference renderer reads it.
    bool runTextCommand() {
        const std::string& c = m_cmd;
        if (c == "font") {
            LOGFONTA font{};
            font.lfHeight = argInt("HEIGHT");
            font.lfEscapement = argInt("ESCAPEMENT");
            font.lfWeight = argInt("WEIGHT");
            font.lfCharSet = 1;  // DEFAULT_CHARSET
            font.lfQuality = 3;  // aliased, as drawn here
            const std::string face = restText();
            if (face.size() >= size_t(LF_FACESIZE))
                die("font: face name longer than " + std::to_string(LF_FACESIZE - 1) + " characters");
            std::memcpy(font.lfFaceName, face.data(), face.size());
            HFONT f = CreateFontIndirectA(&font);
            if (!f) return check(false, "CreateFontIndirectA"), true;
            HGDIOBJ old = m_font;
            if (!SelectObject(m_dc, f)) check(false, "SelectObject(font)");
            if (old) DeleteObject(old);
            m_font = f;
        } else if (c == "textout") {
            const int x = argInt("X"), y = argInt("Y");
            const std::string text = restText();
            check(TextOutA(m_dc, x, y, text.data(), int(text.size())), "TextOutA");
        } else if (c == "extent") {
            const std::string text = restText();
            SIZE size{0, 0};
            check(GetTextExtentPoint32A(m_dc, text.data(), int(text.size()), &size), "GetTextExtentPoint32A");
            out() << size.cx << " " << size.cy << "\n";
        } else if (c == "metrics") {
            noMore();
            TEXTMETRICA tm{};
            check(GetTextMetricsA(m_dc, &tm), "GetTextMetricsA");
            out() << tm.tmHeight << " " << tm.tmAscent << " " << tm.tmDescent << " " << tm.tmInternalLeading << " "
                  << tm.tmExternalLeading << " " << tm.tmAveCharWidth << " " << tm.tmMaxCharWidth << "\n";
        } else if (c == "facename") {
            noMore();
            char name[LF_FACESIZE + 1] = "";
            check(GetTextFaceA(m_dc, int(sizeof name), name) != 0, "GetTextFaceA");
            out() << name << "\n";
        } else if (c == "textalign") {
            const int align = argInt("FLAGS");
            noMore();
            if (align != 0) unsupported();  // top-left reference points only
        } else {
            return false;
        }
        return true;
    }

    bool runOutputCommand() {
        const std::string& c = m_cmd;
        if (c == "save" || c == "dump") {
            const std::string path = argString("FILE");
            noMore();
            if (c == "save") saveBmp(path);
            else dumpRaw(path);
        } else if (c == "pixel") {
            const int x = argInt("X"), y = argInt("Y");
            noMore();
            if (x < 0 || y < 0 || x >= m_w || y >= m_h)
                die("pixel: (" + std::to_string(x) + "," + std::to_string(y) + ") outside the " +
                    std::to_string(m_w) + "x" + std::to_string(m_h) + " canvas");
            const uint8_t* p = pixelAt(x, y);
            char text[16];
            std::snprintf(text, sizeof text, "0x%02x%02x%02x", p[2], p[1], p[0]);
            out() << text << "\n";
        } else {
            return false;
        }
        return true;
    }

    const Options& m_opt;
    std::ostream m_null{nullptr};
    std::string m_file;
    int m_line = 0;
    bool m_onfailExit = true;
    std::string m_text, m_cmd;
    size_t m_pos = 0;

    HDC m_dc = nullptr;
    HGDIOBJ m_bitmap = nullptr, m_oldBitmap = nullptr, m_pen = nullptr, m_brush = nullptr;
    HGDIOBJ m_font = nullptr;
    uint8_t* m_bits = nullptr;
    int m_w = 0, m_h = 0, m_stride = 0;
};

}  // namespace

int runScripts(const std::vector<std::string>& paths, const Options& options) {
    for (const std::string& path : paths) {
        Interpreter interpreter(options);
        const int status = interpreter.runFile(path);
        if (status != 0) return status;
    }
    return 0;
}

int runScriptText(const std::string& name, const std::string& text, const Options& options) {
    Interpreter interpreter(options);
    return interpreter.run(name, text);
}

}  // namespace kelvane::replay
