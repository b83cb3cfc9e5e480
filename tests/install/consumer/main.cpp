// Draws a small bar chart with an installed Kelvane and writes its BMP bytes to the file named on
// the command line.
#include <cstdio>
#include <fstream>
#include <iostream>

#include "kelvane/cChart.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: consumer OUT.bmp\n";
        return 2;
    }
    try {
        kelvane::cChart chart;
        chart.Width(240);
        chart.Height(160);
        chart.SerialBars(3);
        chart.SerialItems(1);
        chart.BarSpaceRate(0.6f);
        chart.DrawBarMode(kelvane::kvSingleColor);
        chart.InitChart();
        chart.DrawBarChart(100, 4, 0);
        chart.FillColor(0xC87830);
        chart.AddBarData("a", 40, 1, 1);
        chart.AddBarData("b", 80, 2, 1);
        chart.AddBarData("c", 60, 3, 1);
        const kelvane::Variant picture = chart.SaveBinary("bmp");
        const auto& bytes = picture.bytes();
        std::ofstream(argv[1], std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                       static_cast<std::streamsize>(bytes.size()));
        std::cout << bytes.size() << " bytes\n";
        return 0;
    } catch (const kelvane::AutomationError& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
}
