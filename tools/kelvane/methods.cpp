// The method table of chart scripts: one entry per cChart method, with its parameters (and
// their defaults) and an adapter from the script's Variants to the C++ call.
#include "methods.h"

#include <map>
#include <string>

#include "names.h"
#include "output/picture_format.h"

namespace kelvane::script {
namespace {

Param Required(std::string_view name) { return Param{name, std::nullopt, Param::Kind::Value}; }
[[maybe_unused]] Param Optional(std::string_view name, Variant defaultValue) {
    return Param{name, std::move(defaultValue), Param::Kind::Value};
}
Param OutputFile(std::string_view name) { return Param{name, std::nullopt, Param::Kind::OutputFile}; }

std::vector<MethodEntry> BuildTable() {
    // Keep the interface order so that the table can be read against cChart.h. An entry with
    // optional parameters reads like
    //   {"DrawText", {Required("Text"), Optional("X", 0), Optional("Y", 0)},
    //    [](cChart& c, Args a) -> Value { c.DrawText(a[0].toText(), a[1].toLong(), a[2].toLong()); return {}; }},
    // Conversions go through Variant so that a wrong argument raises the error a host would see.
    return {
        {.name = "BarWidth",
         .params = {},
         .invoke = [](cChart& c, Args) { return Value::Single(c.BarWidth()); },
         .readOnlyProperty = true},
        {"CopyRight", {}, [](cChart& c, Args) -> Value { return c.CopyRight(); }},
        {"InitChart", {}, [](cChart& c, Args) -> Value { return c.InitChart(); }},
        {"Destroy", {}, [](cChart& c, Args) -> Value { c.Destroy(); return {}; }},
        {"ErrorInfo", {}, [](cChart& c, Args) -> Value { return c.ErrorInfo(); }},
        {"DrawBarChart",
         {Required("VMax"), Required("Vstep"), Required("VStartValue"), Optional("DecimalNum", 0),
          Optional("bStr", ""), Optional("bTxtVisible", Variant::FromBool(true))},
         [](cChart& c, Args a) -> Value {
             return c.DrawBarChart(a[0].toSingle(), a[1].toInteger(), a[2].toSingle(), a[3].toInteger(),
                                   a[4].toText(), a[5].toBool());
         }},
        {"DrawRightAxis",
         {Required("VMax"), Required("Vstep"), Required("VStartValue"), Optional("DecimalNum", 0),
          Optional("bStr", ""), Optional("bVisible", Variant::FromBool(true))},
         [](cChart& c, Args a) -> Value {
             return c.DrawRightAxis(a[0].toSingle(), a[1].toInteger(), a[2].toSingle(), a[3].toInteger(),
                                    a[4].toText(), a[5].toBool());
         }},
        {"AddBarData",
         {Required("Name"), Required("Value"), Required("bIndex"), Required("sIndex"), Optional("sAddParam", "")},
         [](cChart& c, Args a) -> Value {
             return c.AddBarData(a[0].toText(), a[1].toSingle(), a[2].toInteger(), a[3].toInteger(), a[4].toText());
         }},
        {"MakeMap",
         {Required("MapName"), Optional("sLink", ""), Optional("sParam", ""), Optional("sTarget", "_blank")},
         [](cChart& c, Args a) -> Value {
             return c.MakeMap(a[0].toText(), a[1].toText(), a[2].toText(), a[3].toText());
         }},
        {"AddPieData",
         {Required("Name"), Required("Value"), Required("FillStyle"), Optional("ItemHidden", Variant::FromBool(false)),
          Optional("ItemOut", Variant::FromBool(false)), Optional("FillColor1", 0), Optional("FillColor2", 0),
          Optional("FillImage", "")},
         [](cChart& c, Args a) -> Value {
             return c.AddPieData(a[0].toText(), a[1].toSingle(), a[2].toInteger(), a[3].toBool(), a[4].toBool(),
                                 a[5].toLong(), a[6].toLong(), a[7].toText());
         }},
        {"DrawPieChart", {}, [](cChart& c, Args) -> Value { return c.DrawPieChart(); }},
        {"DrawPolaLine",
         {Required("arrValue"), Required("DecimalNum"), Required("LineMode"), Required("LineWidth"),
          Required("LineColor"), Optional("ValueOffsetX", 0), Optional("ValueOffsetY", 0),
          Optional("ValueVisible", Variant::FromBool(true)), Optional("ValueBackVisible", Variant::FromBool(false)),
          Optional("ValueBorderOffsetX", 1), Optional("ValueBorderOffsetY", 1)},
         [](cChart& c, Args a) -> Value {
             return c.DrawPolaLine(a[0], a[1].toInteger(), a[2].toInteger(), a[3].toText(), a[4].toLong(), a[5], a[6],
                                   a[7].toBool(), a[8].toBool(), a[9], a[10]);
         }},
        {"DrawLine",
         {Required("LineMode"), Required("LineWidth"), Required("LineColor"), Required("x1"), Required("y1"),
          Required("x2"), Required("y2"), Optional("StartPointMode", 1)},
         [](cChart& c, Args a) -> Value {
             return c.DrawLine(a[0].toInteger(), a[1].toText(), a[2].toLong(), a[3].toSingle(), a[4].toSingle(),
                               a[5].toSingle(), a[6].toSingle(), a[7].toInteger());
         }},
        {"DrawRect",
         {Required("OutLineMode"), Required("OutLineWidth"), Required("OutLineColor"), Required("nFillColor"),
          Required("x1"), Required("y1"), Required("x2"), Required("y2"), Optional("StartPointMode", 1)},
         [](cChart& c, Args a) -> Value {
             return c.DrawRect(a[0].toInteger(), a[1].toInteger(), a[2].toLong(), a[3].toLong(), a[4].toSingle(),
                               a[5].toSingle(), a[6].toSingle(), a[7].toSingle(), a[8].toInteger());
         }},
        {"DrawCircle",
         {Required("nRadius"), Required("nOutLineMode"), Required("nOutLineWidth"), Required("nOutLineColor"),
          Required("nCenterX"), Required("nCenterY"), Optional("StartPointMode", 1), Optional("nFillColor", 0)},
         [](cChart& c, Args a) -> Value {
             return c.DrawCircle(a[0].toInteger(), a[1].toInteger(), a[2].toLong(), a[3].toLong(), a[4].toSingle(),
                                 a[5].toSingle(), a[6].toInteger(), a[7].toLong());
         }},
        {"DrawChartTiTle",
         {Required("Value"), Optional("strFont", "Arial"), Optional("Size", 14), Optional("Bond", Variant::FromBool(true)),
          Optional("Color", 0), Optional("Angle", 0), Optional("offsetX", 0), Optional("offsetY", 0)},
         [](cChart& c, Args a) -> Value {
             return c.DrawChartTiTle(a[0].toText(), a[1].toText(), a[2].toInteger(), a[3].toBool(), a[4].toLong(),
                                     a[5].toInteger(), a[6].toSingle(), a[7].toSingle());
         }},
        {"DrawAreaText",
         {Required("arrValue"), Optional("stepNum", 0), Optional("strFont", "Arial"), Optional("Size", 14),
          Optional("Bond", Variant::FromBool(true)), Optional("Color", 0), Optional("Angle", 0),
          Optional("offsetX", 0), Optional("offsetY", 0)},
         [](cChart& c, Args a) -> Value {
             return c.DrawAreaText(a[0], a[1].toInteger(), a[2].toText(), a[3].toInteger(), a[4].toBool(),
                                   a[5].toLong(), a[6].toInteger(), a[7].toSingle(), a[8].toSingle());
         }},
        {"DrawText",
         {Required("Value"), Optional("strFont", "Arial"), Optional("Size", 14), Optional("Bond", Variant::FromBool(false)),
          Optional("Color", 0), Optional("Angle", 0), Optional("x", 0), Optional("y", 0),
          Optional("StartPointMode", 1)},
         [](cChart& c, Args a) -> Value {
             return c.DrawText(a[0].toText(), a[1].toText(), a[2].toInteger(), a[3].toBool(), a[4].toLong(),
                               a[5].toInteger(), a[6].toSingle(), a[7].toSingle(), a[8].toInteger());
         }},
        {"DrawCurve",
         {Required("arrPoint"), Required("CurveWidth"), Required("CurveColor"), Required("tension"),
          Required("precisionNum"), Optional("StartPointMode", 2)},
         [](cChart& c, Args a) -> Value {
             return c.DrawCurve(a[0], a[1].toText(), a[2].toLong(), a[3].toSingle(), a[4].toLong(), a[5].toInteger());
         }},
        {.name = "DrawImage",
         .params = {Required("StrPath"), Required("x"), Required("y"), Optional("TransColor", 16777215),
                    Optional("Opacity", 100)},
         .invoke = [](cChart& c, Args a) -> Value {
             return c.DrawImage(a[0].toText(), a[1].toSingle(), a[2].toSingle(), a[3].toLong(), a[4].toInteger());
         },
         .zeroReplacesErrorText = true},
        {.name = "makeChart",
         .params = {OutputFile("FileName")},
         .invoke = [](cChart& c, Args a) -> Value {
             const std::string name = a[0].toText();
             Value result = c.makeChart(name);
             // The chart passes over a name it has no format for; a script must not.
             if (PictureFormatOfFileName(name) == PictureFormat::None) {
                 throw ScriptFailure("nothing written to '" + name + "': the name does not end in " +
                                     std::string(kPictureTypeNames));
             }
             return result;
         },
         .output = true},
        {.name = "SaveBinary",
         .params = {Required("imgType")},
         .invoke = [](cChart& c, Args a) -> Value {
             const std::string type = a[0].toText();
             Value result = c.SaveBinary(type);
             if (result.variant.isEmpty()) {
                 result.whyEmpty = PictureFormatOfType(type) == PictureFormat::None
                                       ? "SaveBinary makes no '" + type + "' pictures, only " +
                                             std::string(kPictureTypeNames)
                                       : "SaveBinary(\"" + type + "\") made no picture";
             }
             return result;
         },
         .output = true},
        {"ExportToDC", {Required("DC")}, [](cChart&, Args) -> Value {
             throw ScriptFailure(
                 "not available in scripts: it draws on a device context of a host program; "
                 "use makeChart or SaveBinary");
         }},
    };
}

}  // namespace

const std::vector<MethodEntry>& ChartMethods() {
    static const std::vector<MethodEntry> table = BuildTable();
    return table;
}

const MethodEntry* FindMethod(std::string_view name) {
    static const std::map<std::string, const MethodEntry*, std::less<>> byKey = [] {
        std::map<std::string, const MethodEntry*, std::less<>> m;
        for (const MethodEntry& entry : ChartMethods()) m.emplace(NameKey(entry.name), &entry);
        return m;
    }();
    auto it = byKey.find(NameKey(name));
    return it == byKey.end() ? nullptr : it->second;
}

}  // namespace kelvane::script
