// AddPieData and DrawPieChart: a pie chart is only recorded here. The output methods draw it.
#include <algorithm>

#include "chart/chart_state.h"
#include "kelvane/cChart.h"

namespace kelvane {

Variant cChart::AddPieData(const std::string& Name, float Value, int16_t FillStyle, VBBool ItemHidden,
                           VBBool ItemOut, int32_t FillColor1, int32_t FillColor2, const std::string& FillImage) {
    // A host's pending window messages would run here; a server process has none to run.
    std::vector<PieItem>& list = m->pieList ? *m->pieList : m->pieList.emplace();
    // The list always ends at the count's new entry: after Destroy the older entries come back
    // empty. The count is at most 32767, so this is at most 32768 entries.
    list.resize(size_t(m->pieItemCount) + 1);
    list.back() = PieItem{Name, Value, FillStyle, ItemHidden, ItemOut, FillColor1, FillColor2, FillImage, 0};
    // The 16-bit count overflows at 32767; the new entry stays in the list.
    m->pieItemCount = AddInt(m->pieItemCount, 1);
    return Variant();
}

int32_t cChart::DrawPieChart() {
    ChartSettings& s = m->settings;
    m->pieChartFlag = 2;
    s.BorderOffset = std::clamp(s.BorderOffset, 5, 30);
    m->frame.plotLeft = AddLng(s.MarginLeft, s.BorderOffset);
    m->frame.plotBottom = float(SubLng(SubLng(s.Height, s.BorderOffset), s.MarginBottom));
    return 0;
}

const std::vector<PieItem>* cChart::pieItems() const { return m->pieList ? &*m->pieList : nullptr; }
int16_t cChart::pieItemCount() const { return m->pieItemCount; }

}  // namespace kelvane
