// The block kernels of every instruction set this processor runs give the same coefficients and
// the same JPEG bytes on the example charts: the wide kernels are only faster.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "example_scripts.h"
#include "file_output_support.h"
#include "kelvane/cChart.h"
#include "kelvane/gdi.h"
#include "output/jpeg/jpeg_encoder.h"
#include "output/jpeg/jpeg_tables.h"
#include "vector_isas.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;
using jpeg::VectorIsa;

class JpegVectorKernels : public test::TempFolderTest {};

// The canvas of a chart as the transform reads it: bottom-up rows of blue, green, red.
jpeg::PixelView canvasView(gdi::HDC canvas) {
    gdi::BITMAP bm{};
    gdi::GetObjectA(gdi::GetCurrentObject(canvas, gdi::OBJ_BITMAP), sizeof bm, &bm);
    const auto* bits = static_cast<const uint8_t*>(bm.bmBits);
    return {bits + ptrdiff_t(bm.bmHeight - 1) * bm.bmWidthBytes, -ptrdiff_t(bm.bmWidthBytes), bm.bmWidth, bm.bmHeight};
}

struct Encoded {
    std::vector<std::vector<int16_t>> dc, values;  // per component: DC of every block, kept values
    std::vector<std::vector<uint64_t>> masks;
    std::vector<uint8_t> jpeg420, jpeg444;
};

Encoded encodeWith(VectorIsa isa, const jpeg::PixelView& view, gdi::HDC canvas, int quality) {
    const jpeg::VectorIsaLimit limit(isa);
    Encoded e;
    for (int k = 0; k < 3; ++k) {
        jpeg::QuantTable table;
        table.values = jpeg::scaleTable(jpeg::baseTable(k == 0 ? 0 : 1), jpeg::qualityScale(quality));
        jpeg::computeDivisors(table, 8);
        jpeg::Plane plane;
        jpeg::transformPlane(view, (view.width + 7) / 8 * 8, (view.height + 7) / 8 * 8,
                             jpeg::ColourComponent(k), table, plane);
        e.dc.emplace_back();
        e.masks.emplace_back();
        for (const jpeg::BlockCode& b : plane.blocks) {
            e.dc.back().push_back(b.dc);
            e.masks.back().push_back(b.acMask);
        }
        e.values.emplace_back(plane.values.begin(), plane.values.end());
    }
    cJpeg jpeg;
    jpeg.Quality(quality);
    jpeg.SampleHDC(canvas, view.width, view.height, 0, 0);
    e.jpeg420 = jpeg.SaveBinary().bytes();
    jpeg.SetSamplingFrequencies(1, 1, 1, 1, 1, 1);
    jpeg.SampleHDC(canvas, view.width, view.height, 0, 0);
    e.jpeg444 = jpeg.SaveBinary().bytes();
    return e;
}

TEST_F(JpegVectorKernels, GiveTheSameCoefficientsAndBytesOnTheExampleCharts) {
    const std::vector<VectorIsa> isas = test::vectorIsasHere();
    int checked = 0;
    for (const auto& entry : fs::directory_iterator(test::kExamples)) {
        if (entry.path().extension() != ".kvs") continue;
        cChart chart;
        if (!test::runExample(entry.path(), dir, chart)) continue;
        const jpeg::PixelView view = canvasView(chart.canvasDC());
        if (view.width <= 0 || view.height <= 0) continue;
        for (int quality : {50, 75, 100}) {
            const Encoded scalar = encodeWith(VectorIsa::Scalar, view, chart.canvasDC(), quality);
            for (VectorIsa isa : isas) {
                const Encoded e = encodeWith(isa, view, chart.canvasDC(), quality);
                const std::string where = entry.path().filename().string() + " quality " + std::to_string(quality) +
                                          " " + test::isaName(isa);
                EXPECT_EQ(e.dc, scalar.dc) << where;
                EXPECT_EQ(e.masks, scalar.masks) << where;
                EXPECT_EQ(e.values, scalar.values) << where;
                EXPECT_EQ(e.jpeg420, scalar.jpeg420) << where;
                EXPECT_EQ(e.jpeg444, scalar.jpeg444) << where;
            }
        }
        ++checked;
    }
    EXPECT_GE(checked, 5) << "the example charts were found and drawn";
}

}  // namespace
}  // namespace kelvane
