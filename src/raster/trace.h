// The debug trace: a context can record every call it receives as a script in the command
// language of our reference renderer, so that a chart can be drawn again by a real GDI and the
// two pictures compared pixel by pixel. Off by default; a context without a trace pays one
// pointer test per call.
#pragma once

#include <cstdio>
#include <string>

#include "kelvane/gdi.h"

namespace kelvane::gdi {

struct DeviceContext;
struct BrushObject;
struct PenObject;
struct FontObject;
class Surface;

class Trace {
public:
    // Opens the script; false when it cannot be created.
    bool open(const std::string& path);
    ~Trace();

    // Writes one command line (printf-style).
    void line(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Writes a picture beside the script as a 24-bit BMP and returns its file name.
    std::string asset(const Surface& s, int x, int y, int w, int h);

    void pen(const PenObject* pen);
    void brush(const BrushObject* brush);
    void font(const FontObject* font);
    void points(const char* command, const POINT* p, int count);
    // The closing save of the picture drawn so far.
    void finish();
    const std::string& stem() const { return m_stem; }

private:
    std::FILE* m_file = nullptr;
    std::string m_dir, m_stem;
    int m_assets = 0;
    bool m_finished = false;
};

}  // namespace kelvane::gdi
