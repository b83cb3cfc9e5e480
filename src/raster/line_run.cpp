// Runs of lines from the current position: repeats dropped, lines out of reach turned into
// moves, the rest stroked as polylines in batches.
#include "raster/line_run.h"

#include <cstdint>

#include "raster/dash.h"
#include "raster/objects.h"
#include "raster/stroke.h"

namespace kelvane::gdi {

namespace {

// Points per polyline handed to the stroker.
constexpr size_t kBatch = 4096;

}  // namespace

LineRun::LineRun(HDC dc) : m_dc(dc) {
    if (recordingPath(dc) || traceOf(dc)) return;
    m_merges = true;
    m_at = dc ? dc->position : POINT{0, 0};
    const Surface* s = surfaceOf(dc);
    const PenObject* pen = dc ? dc->pen : nullptr;
    if (!s || !pen || pen->style == PS_NULL) {
        // Nothing can be painted: every line is out of reach.
        m_left = m_top = INT64_MAX;
        m_right = m_bottom = INT64_MIN;
        return;
    }
    // CreatePen's wide pens are always solid with round ends and joins; its one-pixel pens only
    // when their style has no pattern.
    int64_t reach = 0;
    if (pen->kind != OBJ_PEN) m_merges = false;
    else if (pen->width > 1) reach = wideStrokeReach(pen->width);
    else if (!cosmeticPattern(*pen).solid()) m_merges = false;
    if (!m_merges) return;
    m_left = -reach;
    m_top = -reach;
    m_right = int64_t(s->width()) - 1 + reach;
    m_bottom = int64_t(s->height()) - 1 + reach;
    m_pending.reserve(kBatch);
}

LineRun::~LineRun() { finish(); }

bool LineRun::beyond(POINT a, POINT b) const {
    return (a.x < m_left && b.x < m_left) || (a.x > m_right && b.x > m_right) || (a.y < m_top && b.y < m_top) ||
           (a.y > m_bottom && b.y > m_bottom);
}

void LineRun::lineTo(POINT p) {
    if (!m_merges) {
        LineTo(m_dc, p.x, p.y);
        return;
    }
    m_anyLine = true;
    if (p.x == m_at.x && p.y == m_at.y) return;
    m_lengthSeen = true;
    if (beyond(m_at, p)) {
        skipTo(p);
        return;
    }
    m_at = p;
    m_pending.push_back(p);
    if (m_pending.size() == kBatch) flush();
}

void LineRun::skipTo(POINT p) {
    if (!m_merges) return;
    m_anyLine = true;
    if (p.x == m_at.x && p.y == m_at.y) return;
    m_lengthSeen = true;
    flush();
    MoveToEx(m_dc, p.x, p.y, nullptr);
    m_at = p;
}

void LineRun::flush() {
    if (m_pending.empty()) return;
    PolylineTo(m_dc, m_pending.data(), int(m_pending.size()));
    m_pending.clear();
}

void LineRun::finish() {
    if (!m_merges) return;
    flush();
    // Only lines of no length: the last of them paints the round end a wide pen leaves there.
    if (m_anyLine && !m_lengthSeen) LineTo(m_dc, m_at.x, m_at.y);
    m_anyLine = false;
}

}  // namespace kelvane::gdi
