// The chart's methods, with the interface's parameter names and defaults. Each one runs without
// the interpreter lock (see WithChart); its failures reach Python as kelvane.AutomationError.
#include "automation_args.h"
#include "chart_object.h"

namespace kelvane::python {
namespace {

using I = IntegerArg;
using L = LongArg;
using S = SingleArg;
using B = BoolArg;
using T = TextArg;
using V = VariantArg;

void BindLifecycle(py::class_<PyChart>& cls) {
    cls.def("CopyRight", [](ChartSelf self) { return WithChart(self, [](cChart& c) { return c.CopyRight(); }); },
            "A fixed text naming the component and its version.");
    cls.def("InitChart", [](ChartSelf self) { return WithChart(self, [](cChart& c) { return c.InitChart(); }); },
            "Gives the chart its canvas of Width x Height in BackgroundColor, inside its border.");
    cls.def("Destroy", [](ChartSelf self) { WithChart(self, [](cChart& c) { c.Destroy(); }); },
            "Releases the canvas (also done when the object goes away).");
    cls.def("ErrorInfo", [](ChartSelf self) { return WithChart(self, [](cChart& c) { return c.ErrorInfo(); }); },
            "The error text gathered so far, \"number:description\" per error.");
    cls.def("Warnings", [](ChartSelf self) { return WithChart(self, [](cChart& c) { return c.Warnings(); }); },
            "What looks wrong in the picture drawn since InitChart, one line per warning ending in a line feed,\n"
            "each naming the setting or call to change; \"\" when nothing does. The first call also makes\n"
            "the chart's later GIF outputs check their colours, so call it once before drawing to have them.");
}

void BindBars(py::class_<PyChart>& cls) {
    cls.def(
        "DrawBarChart",
        [](ChartSelf self, S VMax, I Vstep, S VStartValue, I DecimalNum, T bStr, B bTxtVisible) {
            return WithChart(self, [&](cChart& c) {
                return c.DrawBarChart(VMax.value, Vstep.value, VStartValue.value, DecimalNum.value, bStr.value,
                                      bTxtVisible.value);
            });
        },
        "Draws the bar chart's frame: value axis, category ticks, 3D walls, legend box and grid.",
        py::arg("VMax"), py::arg("Vstep"), py::arg("VStartValue"), py::arg("DecimalNum") = 0, py::arg("bStr") = "",
        py::arg("bTxtVisible") = true);
    cls.def(
        "DrawRightAxis",
        [](ChartSelf self, S VMax, I Vstep, S VStartValue, I DecimalNum, T bStr, B bVisible) {
            return WithChart(self, [&](cChart& c) {
                return c.DrawRightAxis(VMax.value, Vstep.value, VStartValue.value, DecimalNum.value, bStr.value,
                                       bVisible.value);
            });
        },
        "Draws a second value scale at the right end of the category axis.", py::arg("VMax"), py::arg("Vstep"),
        py::arg("VStartValue"), py::arg("DecimalNum") = 0, py::arg("bStr") = "", py::arg("bVisible") = true);
    cls.def(
        "AddBarData",
        [](ChartSelf self, T Name, S Value, I bIndex, I sIndex, T sAddParam) {
            const Variant r = WithChart(self, [&](cChart& c) {
                return c.AddBarData(Name.value, Value.value, bIndex.value, sIndex.value, sAddParam.value);
            });
            return FromVariant(r);
        },
        "Draws one bar, stacked segment or point (by DrawBarMode) with its label, legend entry and map record.",
        py::arg("Name"), py::arg("Value"), py::arg("bIndex"), py::arg("sIndex"), py::arg("sAddParam") = "");
    cls.def(
        "MakeMap",
        [](ChartSelf self, T MapName, T sLink, T sParam, T sTarget) {
            return WithChart(self, [&](cChart& c) {
                return c.MakeMap(MapName.value, sLink.value, sParam.value, sTarget.value);
            });
        },
        "The HTML image map of the bars drawn so far, the last drawn first.", py::arg("MapName"),
        py::arg("sLink") = "", py::arg("sParam") = "", py::arg("sTarget") = "_blank");
    cls.def(
        "DrawPolaLine",
        [](ChartSelf self, V arrValue, I DecimalNum, I LineMode, T LineWidth, L LineColor, V ValueOffsetX,
           V ValueOffsetY, B ValueVisible, B ValueBackVisible, V ValueBorderOffsetX, V ValueBorderOffsetY) {
            return WithChart(self, [&](cChart& c) {
                return c.DrawPolaLine(arrValue.value, DecimalNum.value, LineMode.value, LineWidth.value,
                                      LineColor.value, ValueOffsetX.value, ValueOffsetY.value, ValueVisible.value,
                                      ValueBackVisible.value, ValueBorderOffsetX.value, ValueBorderOffsetY.value);
            });
        },
        "Draws the running total of a series over the bars, labelled with its share of the grand total.",
        py::arg("arrValue"), py::arg("DecimalNum"), py::arg("LineMode"), py::arg("LineWidth"), py::arg("LineColor"),
        py::arg("ValueOffsetX") = 0, py::arg("ValueOffsetY") = 0, py::arg("ValueVisible") = true,
        py::arg("ValueBackVisible") = false, py::arg("ValueBorderOffsetX") = 1, py::arg("ValueBorderOffsetY") = 1);
}

void BindPies(py::class_<PyChart>& cls) {
    cls.def(
        "AddPieData",
        [](ChartSelf self, T Name, S Value, I FillStyle, B ItemHidden, B ItemOut, L FillColor1, L FillColor2,
           T FillImage) {
            const Variant r = WithChart(self, [&](cChart& c) {
                return c.AddPieData(Name.value, Value.value, FillStyle.value, ItemHidden.value, ItemOut.value,
                                    FillColor1.value, FillColor2.value, FillImage.value);
            });
            return FromVariant(r);
        },
        "Adds one slice to the pie (stored; drawn by the output methods).", py::arg("Name"), py::arg("Value"),
        py::arg("FillStyle"), py::arg("ItemHidden") = false, py::arg("ItemOut") = false, py::arg("FillColor1") = 0,
        py::arg("FillColor2") = 0, py::arg("FillImage") = "");
    cls.def("DrawPieChart", [](ChartSelf self) { return WithChart(self, [](cChart& c) { return c.DrawPieChart(); }); },
            "Places the pie; it is drawn with its labels and legend by every output method.");
}

void BindShapes(py::class_<PyChart>& cls) {
    cls.def(
        "DrawLine",
        [](ChartSelf self, I LineMode, T LineWidth, L LineColor, S x1, S y1, S x2, S y2, I StartPointMode) {
            return WithChart(self, [&](cChart& c) {
                return c.DrawLine(LineMode.value, LineWidth.value, LineColor.value, x1.value, y1.value, x2.value,
                                  y2.value, StartPointMode.value);
            });
        },
        "Draws a line in canvas pixels or, with StartPointMode 2, in plot coordinates.", py::arg("LineMode"),
        py::arg("LineWidth"), py::arg("LineColor"), py::arg("x1"), py::arg("y1"), py::arg("x2"), py::arg("y2"),
        py::arg("StartPointMode") = 1);
    cls.def(
        "DrawRect",
        [](ChartSelf self, I OutLineMode, I OutLineWidth, L OutLineColor, L nFillColor, S x1, S y1, S x2, S y2,
           I StartPointMode) {
            return WithChart(self, [&](cChart& c) {
                return c.DrawRect(OutLineMode.value, OutLineWidth.value, OutLineColor.value, nFillColor.value,
                                  x1.value, y1.value, x2.value, y2.value, StartPointMode.value);
            });
        },
        "Draws a filled rectangle with an outline.", py::arg("OutLineMode"), py::arg("OutLineWidth"),
        py::arg("OutLineColor"), py::arg("nFillColor"), py::arg("x1"), py::arg("y1"), py::arg("x2"), py::arg("y2"),
        py::arg("StartPointMode") = 1);
    cls.def(
        "DrawCircle",
        [](ChartSelf self, I nRadius, I nOutLineMode, L nOutLineWidth, L nOutLineColor, S nCenterX, S nCenterY,
           I StartPointMode, L nFillColor) {
            return WithChart(self, [&](cChart& c) {
                return c.DrawCircle(nRadius.value, nOutLineMode.value, nOutLineWidth.value, nOutLineColor.value,
                                    nCenterX.value, nCenterY.value, StartPointMode.value, nFillColor.value);
            });
        },
        "Draws a filled circle with an outline.", py::arg("nRadius"), py::arg("nOutLineMode"),
        py::arg("nOutLineWidth"), py::arg("nOutLineColor"), py::arg("nCenterX"), py::arg("nCenterY"),
        py::arg("StartPointMode") = 1, py::arg("nFillColor") = 0);
    cls.def(
        "DrawCurve",
        [](ChartSelf self, V arrPoint, T CurveWidth, L CurveColor, S tension, L precisionNum, I StartPointMode) {
            return WithChart(self, [&](cChart& c) {
                return c.DrawCurve(arrPoint.value, CurveWidth.value, CurveColor.value, tension.value,
                                   precisionNum.value, StartPointMode.value);
            });
        },
        "Draws a line through \"x,y\" points, each segment bent by one sine wave.", py::arg("arrPoint"),
        py::arg("CurveWidth"), py::arg("CurveColor"), py::arg("tension"), py::arg("precisionNum"),
        py::arg("StartPointMode") = 2);
    cls.def(
        "DrawImage",
        [](ChartSelf self, T StrPath, S x, S y, L TransColor, I Opacity) {
            return WithChart(self, [&](cChart& c) {
                return c.DrawImage(StrPath.value, x.value, y.value, TransColor.value, Opacity.value);
            });
        },
        "Draws a BMP, JPEG or GIF file at canvas pixel (x, y), blended by Opacity percent.", py::arg("StrPath"),
        py::arg("x"), py::arg("y"), py::arg("TransColor") = 16777215, py::arg("Opacity") = 100);
}

void BindText(py::class_<PyChart>& cls) {
    cls.def(
        "DrawChartTiTle",
        [](ChartSelf self, T Value, T strFont, I Size, B Bond, L Color, I Angle, S offsetX, S offsetY) {
            return WithChart(self, [&](cChart& c) {
                return c.DrawChartTiTle(Value.value, strFont.value, Size.value, Bond.value, Color.value,
                                        Angle.value, offsetX.value, offsetY.value);
            });
        },
        "Draws the chart's title, centred above the plot.", py::arg("Value"), py::arg("strFont") = "Arial",
        py::arg("Size") = 14, py::arg("Bond") = true, py::arg("Color") = 0, py::arg("Angle") = 0,
        py::arg("offsetX") = 0, py::arg("offsetY") = 0);
    cls.def(
        "DrawAreaText",
        [](ChartSelf self, V arrValue, I stepNum, T strFont, I Size, B Bond, L Color, I Angle, S offsetX,
           S offsetY) {
            return WithChart(self, [&](cChart& c) {
                return c.DrawAreaText(arrValue.value, stepNum.value, strFont.value, Size.value, Bond.value,
                                      Color.value, Angle.value, offsetX.value, offsetY.value);
            });
        },
        "Draws the category labels under the plot, one per bar position.", py::arg("arrValue"),
        py::arg("stepNum") = 0, py::arg("strFont") = "Arial", py::arg("Size") = 14, py::arg("Bond") = true,
        py::arg("Color") = 0, py::arg("Angle") = 0, py::arg("offsetX") = 0, py::arg("offsetY") = 0);
    cls.def(
        "DrawText",
        [](ChartSelf self, T Value, T strFont, I Size, B Bond, L Color, I Angle, S x, S y, I StartPointMode) {
            return WithChart(self, [&](cChart& c) {
                return c.DrawText(Value.value, strFont.value, Size.value, Bond.value, Color.value, Angle.value,
                                  x.value, y.value, StartPointMode.value);
            });
        },
        "Draws text at (x, y).", py::arg("Value"), py::arg("strFont") = "Arial", py::arg("Size") = 14,
        py::arg("Bond") = false, py::arg("Color") = 0, py::arg("Angle") = 0, py::arg("x") = 0, py::arg("y") = 0,
        py::arg("StartPointMode") = 1);
}

void BindOutput(py::class_<PyChart>& cls) {
    cls.def(
        "makeChart",
        [](ChartSelf self, T FileName) { return MakeChart(self, FileName.value); },
        "Writes the picture to a file; its extension (.bmp, .jpg, .gif, .png) picks the format. A file that\n"
        "cannot be written warns (OutputWarning) or, for GIF and JPEG, raises AutomationError 75; both name\n"
        "the file and the system's reason.",
        py::arg("FileName"));
    cls.def(
        "SaveBinary",
        [](ChartSelf self, T imgType) { return SaveBinary(self, imgType.value); },
        "The picture as bytes in the format imgType (\"bmp\", \"jpg\", \"gif\", \"png\"); None when there is none,\n"
        "with an OutputWarning saying why (an unknown type, or no canvas).",
        py::arg("imgType"));
    cls.def(
        "ExportToDC",
        [](ChartSelf self, L DC) {
            // A Python program holds no device context of this process: only 0 (none) is accepted.
            if (DC.value != 0) Raise(kErrInvalidCall);
            return WithChart(self, [](cChart& c) { return c.ExportToDC(nullptr); });
        },
        "Copies the picture onto a device context; Python has none, so only 0 is accepted.", py::arg("DC"));
}

}  // namespace

void BindMethods(py::class_<PyChart>& cls) {
    BindLifecycle(cls);
    BindBars(cls);
    BindPies(cls);
    BindShapes(cls);
    BindText(cls);
    BindOutput(cls);
}

}  // namespace kelvane::python
