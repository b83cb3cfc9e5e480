// The property table: every setting of chart_settings.def with the conversion its assigned type
// calls for.
#include "properties.h"

#include <map>
#include <string>
#include <type_traits>

#include "names.h"

namespace kelvane::script {
namespace {

// VBBool and Integer are the same C++ type, so the declared type name tells them apart.
constexpr bool IsBooleanType(std::string_view typeName) { return typeName == "VBBool"; }

template <class T, bool Boolean>
T Convert(const Variant& v) {
    if constexpr (Boolean) {
        return v.toBool();
    } else if constexpr (std::is_same_v<T, std::string>) {
        return v.toText();
    } else if constexpr (std::is_same_v<T, float>) {
        return v.toSingle();
    } else if constexpr (std::is_same_v<T, int16_t>) {
        return v.toInteger();
    } else if constexpr (std::is_same_v<T, int32_t>) {
        return v.toLong();
    } else {
        static_assert(std::is_enum_v<T>, "a setting of a type the script cannot convert to");
        return static_cast<T>(v.toLong());
    }
}

}  // namespace

const std::vector<PropertyEntry>& ChartProperties() {
    static const std::vector<PropertyEntry> table = {
#define KV_SETTING(name, stored, assigned, initial)                               \
    {#name, [](cChart& c, const Variant& v) {                                     \
         c.name(Convert<assigned, IsBooleanType(#assigned)>(v));                  \
     }},
#include "kelvane/chart_settings.def"
#undef KV_SETTING
    };
    return table;
}

const PropertyEntry* FindProperty(std::string_view name) {
    static const std::map<std::string, const PropertyEntry*, std::less<>> byKey = [] {
        std::map<std::string, const PropertyEntry*, std::less<>> m;
        for (const PropertyEntry& entry : ChartProperties()) m.emplace(NameKey(entry.name), &entry);
        return m;
    }();
    auto it = byKey.find(NameKey(name));
    return it == byKey.end() ? nullptr : it->second;
}

}  // namespace kelvane::script
