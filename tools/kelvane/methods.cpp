// The method table of chart scripts: one entry per cChart method, with its parameters (and
// their defaults) and an adapter from the script's Variants to the C++ call.
#include "methods.h"

#include <map>
#include <string>

#include "names.h"

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
        {"makeChart", {OutputFile("FileName")},
         [](cChart& c, Args a) -> Value { return c.makeChart(a[0].toText()); }},
        {"SaveBinary", {Required("imgType")},
         [](cChart& c, Args a) -> Value { return c.SaveBinary(a[0].toText()); }},
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
