// Constants, functions and operators of the script language that are not chart methods.
#include "builtins.h"

#include <limits>

#include "kelvane/cChart.h"
#include "kelvane/runtime.h"
#include "names.h"

namespace kelvane::script {

std::optional<Variant> FindConstant(std::string_view name) {
    struct Named {
        std::string_view name;
        int32_t value;
    };
    static constexpr Named kEnumMembers[] = {
        {"kvSingleColor", kvSingleColor}, {"kvline", kvline}, {"kvFillImage", kvFillImage},
        {"kvOnePole", kvOnePole},         {"kvDot", kvDot},   {"dtCir", dtCir},
        {"dtRect", dtRect},
    };
    if (SameName(name, "True")) return Variant::FromBool(true);
    if (SameName(name, "False")) return Variant::FromBool(false);
    for (const Named& member : kEnumMembers) {
        if (SameName(name, member.name)) return Variant(member.value);
    }
    return std::nullopt;
}

std::optional<Builtin> FindBuiltin(std::string_view name) {
    if (SameName(name, "RGB")) return Builtin::Rgb;
    if (SameName(name, "Array")) return Builtin::Array;
    return std::nullopt;
}

std::string_view BuiltinName(Builtin b) { return b == Builtin::Rgb ? "RGB" : "Array"; }

Variant Negate(const Variant& v) {
    switch (v.type()) {
        case Variant::Type::Empty: return Variant(0);
        case Variant::Type::Bool: return Variant(-v.toLong());
        case Variant::Type::Long: {
            int32_t n = v.toLong();
            if (n == std::numeric_limits<int32_t>::min()) return Variant(-static_cast<double>(n));
            return Variant(-n);
        }
        case Variant::Type::Double: return Variant(-v.toDouble());
        case Variant::Type::String: return Variant(-TextToNumber(v.string()));
        case Variant::Type::Array:
        case Variant::Type::Bytes: break;
    }
    Raise(kErrTypeMismatch);
}

Variant Rgb(const Variant& r, const Variant& g, const Variant& b) {
    auto component = [](const Variant& v) {
        int32_t c = v.toLong();
        if (c < 0 || c > 255) Raise(kErrInvalidCall);
        return c;
    };
    int32_t red = component(r);
    int32_t green = component(g);
    int32_t blue = component(b);
    return Variant(red + 256 * green + 65536 * blue);
}

}  // namespace kelvane::script
