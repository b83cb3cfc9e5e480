// Trace output: command lines, pictures beside the script, and starting/stopping a trace.
#include "raster/trace.h"

#include <cstdarg>
#include <vector>

#include "raster/objects.h"

namespace kelvane::gdi {

namespace {

void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + size_t(i)] = uint8_t(v >> (8 * i));
}

}  // namespace

bool Trace::open(const std::string& path) {
    m_file = std::fopen(path.c_str(), "w");
    if (!m_file) return false;
    const size_t slash = path.find_last_of('/');
    m_dir = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    m_stem = dot == std::string::npos ? name : name.substr(0, dot);
    return true;
}

Trace::~Trace() {
    if (m_file) std::fclose(m_file);
}

void Trace::line(const char* format, ...) {
    if (!m_file) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(m_file, format, args);
    va_end(args);
    std::fputc('\n', m_file);
}

std::string Trace::asset(const Surface& s, int x, int y, int w, int h) {
    const std::string name = m_stem + "-" + std::to_string(++m_assets) + ".bmp";
    if (w <= 0 || h <= 0) return name;
    const size_t stride = (size_t(w) * 3 + 3) & ~size_t(3);
    std::vector<uint8_t> file(54 + stride * size_t(h), 0);
    file[0] = 'B';
    file[1] = 'M';
    put32(file, 2, uint32_t(file.size()));
    put32(file, 10, 54);
    put32(file, 14, 40);
    put32(file, 18, uint32_t(w));
    put32(file, 22, uint32_t(h));
    file[26] = 1;
    file[28] = 24;
    put32(file, 34, uint32_t(stride * size_t(h)));
    for (int row = 0; row < h; ++row) {
        uint8_t* out = &file[54 + stride * size_t(h - 1 - row)];
        for (int col = 0; col < w; ++col) {
            const int sx = x + col, sy = y + row;
            const COLORREF c = s.contains(sx, sy) ? s.pixel(sx, sy) : 0;
            out[3 * col] = GetBValue(c);
            out[3 * col + 1] = GetGValue(c);
            out[3 * col + 2] = GetRValue(c);
        }
    }
    if (std::FILE* f = std::fopen((m_dir + name).c_str(), "wb")) {
        std::fwrite(file.data(), 1, file.size(), f);
        std::fclose(f);
    }
    return name;
}

void Trace::pen(const PenObject* p) {
    if (!p) return;
    if (p->stock) {
        if (p->style == PS_NULL) line("nullpen");
        else if (p->colour == 0) line("stockpen");
        else line("pen 0 1 0x%06X", p->colour);
        return;
    }
    if (p->kind == OBJ_PEN) {
        line("pen %u %d 0x%06X", p->style, p->width, p->colour);
        return;
    }
    std::string dashes;
    if (!p->userStyle.empty()) {
        dashes = " " + std::to_string(p->userStyle.size());
        for (DWORD d : p->userStyle) dashes += " " + std::to_string(d);
    }
    const DWORD word = p->style | p->endCap | p->join | (p->geometric ? DWORD(PS_GEOMETRIC) : DWORD(0));
    line("extpen 0x%08X %d 0x%06X%s", word, p->width, p->colour, dashes.c_str());
}

void Trace::brush(const BrushObject* b) {
    if (!b) return;
    switch (b->style) {
    case BS_NULL: line("nullbrush"); return;
    case BS_HATCHED: line("hatchbrush %d 0x%06X", b->hatch, b->colour); return;
    case BS_DIBPATTERNPT: {
        const std::string file = asset(b->pattern, 0, 0, b->pattern.width(), b->pattern.height());
        line("patternbrush %s", file.c_str());
        return;
    }
    default:
        if (b->stock && b->colour == RGB(255, 255, 255)) line("stockbrush");
        else line("brush 0x%06X", b->colour);
    }
}

void Trace::font(const FontObject* f) {
    if (!f) return;
    const LOGFONTA& lf = f->logFont;
    line("font %d %d %d %.32s", int(lf.lfHeight), int(lf.lfEscapement), int(lf.lfWeight), lf.lfFaceName);
}

void Trace::points(const char* command, const POINT* p, int count) {
    std::string text = command;
    text += " " + std::to_string(count);
    for (int i = 0; i < count; ++i) text += " " + std::to_string(p[i].x) + " " + std::to_string(p[i].y);
    line("%s", text.c_str());
}

void Trace::finish() {
    if (m_finished) return;
    m_finished = true;
    line("save %s.bmp", m_stem.c_str());
}

BOOL StartTrace(HDC dc, const char* scriptPath) {
    if (!dc || !scriptPath) return 0;
    auto trace = std::make_unique<Trace>();
    if (!trace->open(scriptPath)) return 0;
    // The script starts from the context as it is: its picture, state, pen, brush and position.
    const Surface* s = surfaceOf(dc);
    const int w = s ? s->width() : 1, h = s ? s->height() : 1;
    trace->line("# drawn by the Kelvane raster layer; replay with the reference renderer");
    // Our text is two-coloured; ask the same of the renderer.
    trace->line("fontquality 3");
    // A canvas of one colour (a new chart's) needs no picture to start from.
    bool uniform = s != nullptr;
    const COLORREF first = s ? s->pixel(0, 0) : 0;
    for (int y = 0; uniform && y < h; ++y)
        for (int x = 0; uniform && x < w; ++x) uniform = s->pixel(x, y) == first;
    trace->line("canvas %d %d 0x%06X", w, h, uniform ? RGB(GetRValue(first), GetGValue(first), GetBValue(first)) : 0u);
    if (s && !uniform) trace->line("stretch_from %s 0 0 %d %d", trace->asset(*s, 0, 0, w, h).c_str(), w, h);
    trace->line("bkmode %d", dc->bkMode);
    trace->line("bkcolor 0x%06X", dc->bkColour);
    trace->line("textcolor 0x%06X", dc->textColour);
    trace->line("stretchmode %d", dc->stretchMode);
    trace->line("arcdir %d", dc->arcDirection);
    trace->line("polyfill %d", dc->polyFillMode);
    trace->line("brushorg %d %d", int(dc->brushOrigin.x), int(dc->brushOrigin.y));
    trace->pen(dc->pen);
    trace->brush(dc->brush);
    trace->line("moveto %d %d", int(dc->position.x), int(dc->position.y));
    dc->trace = std::move(trace);
    return 1;
}

BOOL StopTrace(HDC dc) {
    if (!dc || !dc->trace) return 0;
    dc->trace->finish();
    dc->trace.reset();
    return 1;
}

}  // namespace kelvane::gdi
