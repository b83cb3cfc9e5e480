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

std::vector<MethodSpec> BuildTable() {
    // Keep the interface order so that the table can be read against cChart.h.
    // Optional parameters are written Optional("Name", default).
    return {
        {"BarWidth", {}, [](cChart& c, Args) { return Value::Single(c.BarWidth()); }, true},
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

const std::vector<MethodSpec>& ChartMethods() {
    static const std::vector<MethodSpec> table = BuildTable();
    return table;
}

const MethodSpec* FindMethod(std::string_view name) {
    static const std::map<std::string, const MethodSpec*, std::less<>> byKey = [] {
        std::map<std::string, const MethodSpec*, std::less<>> m;
        for (const MethodSpec& spec : ChartMethods()) m.emplace(NameKey(spec.name), &spec);
        return m;
    }();
    auto it = byKey.find(NameKey(name));
    return it == byKey.end() ? nullptr : it->second;
}

}  // namespace kelvane::script
