// The first charts in C++: the bar chart and the pie of first_bars.kvs and first_pie.kvs.
#include <kelvane/cChart.h>

#include <string>

using kelvane::gdi::RGB;

int main() {
    kelvane::cChart bars;
    bars.Width(480);
    bars.Height(300);
    bars.SerialBars(3);                         // 3 bar positions of 2 bars each
    bars.SerialItems(2);
    bars.BarSpaceRate(0.7f);                    // bars fill 70 % of their position
    bars.DrawBarMode(kelvane::kvSingleColor);   // solid bars (the default, 0, draws none)
    bars.LegendWidth(90);                       // room for the legend at the right
    bars.MValueVisible(kelvane::kTrue);         // a value over every bar
    bars.MValueSize(12);
    bars.MarginTop(40);                         // room for the title
    bars.BackGrid(kelvane::kTrue);              // horizontal grid lines
    bars.InitChart();
    bars.DrawBarChart(100, 5, 0);               // axis from 0 to 100 in 5 steps
    bars.FillColor(RGB(60, 120, 200));          // the colour of the bars drawn next
    bars.AddBarData("Tea", 45, 1, 1);
    bars.AddBarData("Tea", 70, 2, 1);
    bars.AddBarData("Tea", 55, 3, 1);
    bars.FillColor(RGB(240, 150, 40));
    bars.AddBarData("Coffee", 80, 1, 2);
    bars.AddBarData("Coffee", 60, 2, 2);
    bars.AddBarData("Coffee", 90, 3, 2);
    bars.DrawAreaText(kelvane::Variant::Array{"Jan", "Feb", "Mar"});
    bars.DrawChartTiTle("Cups sold");
    bars.makeChart("first_bars.png");

    kelvane::cChart pie;
    pie.Width(400);
    pie.Height(300);
    pie.LegendWidth(100);                       // room for the legend at the right
    pie.MValueVisible(kelvane::kTrue);          // a percentage on every slice
    pie.MarginTop(40);                          // room for the title
    pie.InitChart();
    //             name      value  fill style  hidden          pulled out      colour
    pie.AddPieData("Tea", 35, 0, kelvane::kFalse, kelvane::kFalse, RGB(60, 120, 200));
    pie.AddPieData("Coffee", 45, 0, kelvane::kFalse, kelvane::kFalse, RGB(240, 150, 40));
    pie.AddPieData("Juice", 12, 0, kelvane::kFalse, kelvane::kFalse, RGB(120, 190, 80));
    pie.AddPieData("Water", 8, 0, kelvane::kFalse, kelvane::kFalse, RGB(150, 150, 150));
    pie.DrawPieChart();
    pie.DrawChartTiTle("Drinks sold");
    pie.makeChart("first_pie.png");
    // Problems are not thrown but gathered: an empty ErrorInfo means both files were written.
    return bars.ErrorInfo().empty() && pie.ErrorInfo().empty() ? 0 : 1;
}
