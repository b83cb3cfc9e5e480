// Formatting of printed values.
#include "print_text.h"

#include "kelvane/runtime.h"

namespace kelvane::script {
namespace {

void AppendLiteral(std::string& out, const Variant& v) {
    switch (v.type()) {
        case Variant::Type::String:
            out.push_back('"');
            for (char c : v.string()) {
                if (c == '"') out.push_back('"');
                out.push_back(c);
            }
            out.push_back('"');
            return;
        case Variant::Type::Array: {
            out += "Array(";
            bool first = true;
            for (const Variant& element : v.array()) {
                if (!first) out += ", ";
                first = false;
                AppendLiteral(out, element);
            }
            out.push_back(')');
            return;
        }
        default:
            out += PrintText(Value(v));
            return;
    }
}

}  // namespace

std::string PrintText(const Value& value) {
    const Variant& v = value.variant;
    switch (v.type()) {
        case Variant::Type::Empty: return {};
        case Variant::Type::String: return v.string();
        case Variant::Type::Bytes: return "<" + std::to_string(v.bytes().size()) + " bytes>";
        case Variant::Type::Array: {
            std::string out;
            AppendLiteral(out, v);
            return out;
        }
        case Variant::Type::Double:
            if (value.single) return SingleToText(static_cast<float>(v.toDouble()));
            return v.toText();
        case Variant::Type::Bool:
        case Variant::Type::Long: return v.toText();
    }
    return {};
}

}  // namespace kelvane::script
