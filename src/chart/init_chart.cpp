// InitChart, Destroy and ErrorInfo: the canvas lifecycle and the error text.
#include <string>

#include "chart/canvas_trace.h"
#include "chart/chart_state.h"
#include "kelvane/cChart.h"
#include "raster/gdi_handles.h"

namespace kelvane {

using namespace gdi;

int32_t cChart::InitChart() {
    ChartSettings& s = m->settings;
    // Line points sit on the slot boundaries in this mode, so one slot fewer is needed.
    if (s.HValueAlignMode == 1 && s.DrawBarMode == kvline) s.SerialBars = SubLng(s.SerialBars, 1);

    // A second InitChart replaces the canvas; the old one is released, not leaked. The background
    // rectangle below covers a canvas of two pixels or more a side in full, its outer ring with
    // its solid pen (the black pen when there is no border) and the rest with its opaque solid
    // brush, so the template's white would never show: none is laid. That also leaves a large
    // canvas's fresh pages to be first touched by the rectangle's fill, each filled while it is
    // still in cache, rather than all touched by a thin ring first and filled again from memory.
    // A 1 x 1 rectangle draws nothing, and a trace starts from the canvas as it is: both get the
    // white canvas in full.
    // (A side of 0 takes the template's size and a negative one makes no canvas: white for both.)
    const char* folder = TraceFolder();
    const bool paintedOver = !folder && s.Width >= 2 && s.Height >= 2;
    if (!m->canvas.create(s.Width, s.Height, paintedOver)) {
        m->canvasEnd = CanvasEnd{CanvasEnd::How::NotCreated, "InitChart"};
        m->facts.startPicture(false, 0, 0, false, false);
        m->errorText += "Canvas could not be created";
        m->errorText += "\r\n";
        return 0;
    }
    m->facts.startPicture(true, s.Width == 0 ? kTemplateSide : s.Width, s.Height == 0 ? kTemplateSide : s.Height,
                          s.Width == 0, s.Height == 0);
    const HDC dc = m->canvas.dc();
    if (folder) StartCanvasTrace(dc, folder);
    SetBkMode(dc, TRANSPARENT);
    SetStretchBltMode(dc, HALFTONE);

    Owned<HBRUSH> backgroundBrush(CreateSolidBrush(COLORREF(s.BackgroundColor)));
    Selection brush(dc, backgroundBrush.get());
    if (s.BorderWidth >= 1) {
        Owned<HPEN> border(CreatePen(PS_SOLID, s.BorderWidth, COLORREF(s.BorderColor)));
        Selection pen(dc, border.get());
        Rectangle(dc, 0, 0, s.Width, s.Height);
    } else {
        // The context's own pen: one black pixel, the same as BorderWidth 1 in black.
        Rectangle(dc, 0, 0, s.Width, s.Height);
    }
    return 0;
}

void cChart::Destroy() {
    if (m->canvas.exists()) m->canvasEnd = CanvasEnd{CanvasEnd::How::Released, "Destroy"};
    m->canvas.release();
    m->pieList.reset();  // the count stays
    m->fillPicture.reset();
}

std::string cChart::ErrorInfo() const { return m->errorText; }

}  // namespace kelvane
