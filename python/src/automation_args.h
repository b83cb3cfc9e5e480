// Arguments of the chart's methods as Python passes them. Every argument goes through a Variant
// and the component's own conversions, as a late-bound host's would: 2.5 given for an Integer
// rounds to 2, 70000 raises Overflow (6), a list given for a number raises Type mismatch (13).
#pragma once

#include <pybind11/pybind11.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "kelvane/runtime.h"
#include "kelvane/variant.h"

namespace kelvane::python {

namespace py = pybind11;

// How deep lists and tuples may nest in one argument: a flat list is one level. No method takes
// arrays of arrays; the bound keeps a deep or self-containing list from exhausting the stack.
inline constexpr int kMaxArrayDepth = 64;
// A list or tuple that appears more than once in one argument is copied at each appearance; the
// values copied that way may not exceed this, or a few shared lists would make billions.
inline constexpr std::size_t kMaxRepeatedValues = std::size_t{1} << 20;

// A Python value that has no automation form. It reaches Python as AutomationError with the
// usual number and description and a message that adds what is wrong with the value.
class ArgumentError : public AutomationError {
public:
    ArgumentError(int32_t number, std::string detail)
        : AutomationError(number, std::string(ErrorDescription(number))), m_detail(std::move(detail)) {}
    const std::string& detail() const noexcept { return m_detail; }

private:
    std::string m_detail;
};

// Sets kelvane.AutomationError for `e`, with `message` as its text, as the pending Python error.
void SetAutomationError(const AutomationError& e, const std::string& message);

// Python values to Variants: None is empty, bool a boolean, int a Long (a Double beyond its range),
// float a Double, str a String, bytes a byte array, list and tuple an Array of their items (nested
// at most kMaxArrayDepth deep, never containing themselves: Type mismatch). Subclasses of these
// types convert by their stored value; no Python code of the value runs. Anything else, and a str
// with a lone surrogate, raises Type mismatch.
Variant ToVariant(py::handle value);
// Back to Python: empty is None, a byte array is bytes, an Array a list.
py::object FromVariant(const Variant& value);

// The argument kinds of the interface; each converts on arrival.
struct IntegerArg { int16_t value; };
struct LongArg { int32_t value; };
struct SingleArg { float value; };
struct BoolArg { VBBool value; };
struct TextArg { std::string value; };
struct VariantArg { Variant value; };

}  // namespace kelvane::python

namespace pybind11::detail {

// A caster that accepts any Python value and converts it with the Variant rule `convert`;
// `pyName` is what signatures and help() show.
#define KV_AUTOMATION_ARG(Arg, pyName, convert)                                          \
    template <>                                                                          \
    struct type_caster<kelvane::python::Arg> {                                           \
        PYBIND11_TYPE_CASTER(kelvane::python::Arg, const_name(pyName));                  \
        bool load(handle src, bool) {                                                    \
            const kelvane::Variant v = kelvane::python::ToVariant(src);                  \
            value.value = convert;                                                       \
            return true;                                                                 \
        }                                                                                \
        static handle cast(const kelvane::python::Arg&, return_value_policy, handle) {   \
            return none().release();                                                     \
        }                                                                                \
    };

KV_AUTOMATION_ARG(IntegerArg, "int", v.toInteger())
KV_AUTOMATION_ARG(LongArg, "int", v.toLong())
KV_AUTOMATION_ARG(SingleArg, "float", v.toSingle())
KV_AUTOMATION_ARG(BoolArg, "bool", v.toBool())
KV_AUTOMATION_ARG(TextArg, "str", v.toText())
KV_AUTOMATION_ARG(VariantArg, "object", v)

#undef KV_AUTOMATION_ARG

}  // namespace pybind11::detail
