// cChart creation, settings, and the small read-only members.
#include "kelvane/cChart.h"

#include "chart/chart_state.h"

namespace kelvane {

cChart::cChart() : m(std::make_unique<ChartState>()) {
    // A first plot frame, so that plot coordinates mean something before any DrawBarChart.
    const ChartSettings& s = m->settings;
    m->frame.plotLeft = AddLng(s.MarginLeft, s.BorderOffset);
    m->frame.plotBottom = CSng(double(s.Height) - s.BorderOffset - s.MarginBottom);
}

cChart::~cChart() {
    try {
        Destroy();
    } catch (...) {
        // Termination ignores any failure while releasing.
    }
}

namespace {

template <class Stored, class Assigned>
Stored store(Assigned value) {
    if constexpr (std::is_same_v<Stored, int16_t> && std::is_same_v<Assigned, int32_t>)
        return CInt(value);  // a 32-bit assignment kept in 16 bits: out of range is error 6
    else
        return Stored(value);
}

}  // namespace

#define KV_SETTING(name, stored, assigned, initial)                 \
    void cChart::name(assigned value) { m->settings.name = store<stored>(value); }
#include "kelvane/chart_settings.def"
#undef KV_SETTING

float cChart::BarWidth() const { return m->frame.slotWidth; }

std::string cChart::CopyRight() const {
    return "Kelvane chart component, version " KELVANE_VERSION "\r\n"
           "Draws bar charts, pie charts, text, shapes and pictures on a server\r\n"
           "and writes them as BMP, JPEG or GIF pictures with HTML image maps.\r\n"
           "Copyright (c) 2026 the Kelvane developers.";
}

const ChartSettings& cChart::settings() const { return m->settings; }
const PlotFrame& cChart::plotFrame() const { return m->frame; }
gdi::HDC cChart::canvasDC() const { return m->canvas.dc(); }

}  // namespace kelvane
