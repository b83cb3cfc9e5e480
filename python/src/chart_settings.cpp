// The chart's settings as Python properties. The interface only writes them; reading them back
// is a convenience of the module. BarWidth is read-only.
#include <string_view>
#include <type_traits>

#include "automation_args.h"
#include "chart_object.h"

namespace kelvane::python {
namespace {

// Booleans and Integers are the same C++ type, so the declared type name tells them apart.
constexpr bool IsBooleanType(std::string_view typeName) { return typeName == "VBBool"; }

template <class Assigned, bool Boolean>
using SettingArg = std::conditional_t<
    Boolean, BoolArg,
    std::conditional_t<std::is_same_v<Assigned, std::string>, TextArg,
                       std::conditional_t<std::is_same_v<Assigned, float>, SingleArg,
                                          std::conditional_t<std::is_same_v<Assigned, int16_t>, IntegerArg, LongArg>>>>;

template <bool Boolean, class Stored>
py::object SettingValue(const Stored& value) {
    if constexpr (Boolean) {
        return py::bool_(value == kTrue);
    } else if constexpr (std::is_enum_v<Stored>) {
        return py::int_(static_cast<int32_t>(value));
    } else {
        return py::cast(value);
    }
}

}  // namespace

void BindSettings(py::class_<PyChart>& cls) {
#define KV_SETTING(name, stored, assigned, initial)                                                           \
    cls.def_property(                                                                                         \
        #name,                                                                                                \
        [](ChartSelf self) {                                                                                  \
            const stored value = WithChart(self, [](cChart& c) { return c.settings().name; });               \
            return SettingValue<IsBooleanType(#assigned)>(value);                                            \
        },                                                                                                    \
        [](ChartSelf self, SettingArg<assigned, IsBooleanType(#assigned)> v) {                               \
            WithChart(self, [&](cChart& c) { c.name(static_cast<assigned>(std::move(v.value))); });          \
        });
#include "kelvane/chart_settings.def"
#undef KV_SETTING

    cls.def_property_readonly(
        "BarWidth", [](ChartSelf self) { return WithChart(self, [](cChart& c) { return c.BarWidth(); }); },
        "The slot width of the last DrawBarChart; 0 before it.");
}

}  // namespace kelvane::python
