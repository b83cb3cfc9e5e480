// The chart methods a script can call: how an entry of the method table looks and how the
// parser finds one by name. The entries themselves live in methods.cpp.
#pragma once

#include <optional>
#include <span>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "kelvane/cChart.h"
#include "value.h"

namespace kelvane::script {

struct Param {
    enum class Kind {
        Value,
        // A file the call writes: a relative name is taken inside the output folder.
        OutputFile,
    };
    std::string_view name;
    std::optional<Variant> defaultValue;  // none: the argument is required
    Kind kind = Kind::Value;
};

// The arguments of one call, one per parameter, defaults already filled in.
using Args = std::span<const Variant>;

struct MethodEntry {
    std::string_view name;
    std::vector<Param> params;
    Value (*invoke)(cChart& chart, Args args);
    // Read-only properties (BarWidth) are called like methods without arguments; the flag only
    // makes the messages about them say "property".
    bool readOnlyProperty = false;
    // A result of 0 means the call put its message in place of the error text (DrawImage), so
    // the whole text is new even when an earlier call of it left the same text.
    bool zeroReplacesErrorText = false;
    // makeChart and SaveBinary: their failures say which file could not be written and why, or
    // what became of the canvas.
    bool output = false;
};

// A failure of a call that has no automation error number, such as a method that needs
// something a script cannot give it.
class ScriptFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

const std::vector<MethodEntry>& ChartMethods();
const MethodEntry* FindMethod(std::string_view name);

}  // namespace kelvane::script
