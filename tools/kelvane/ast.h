// The parsed form of a chart-script line: a statement with their names already resolved against the
// method, property and builtin tables, so running a script never looks a name up.
#pragma once

#include <memory>
#include <vector>

#include "builtins.h"
#include "kelvane/variant.h"
#include "methods.h"
#include "properties.h"

namespace kelvane::script {

struct Expr;
using ExprPtr = std::unique_ptr<Expr>;

struct Expr {
    enum class Kind { Constant, Call, Builtin, Negate, Concat };
    Kind kind = Kind::Constant;
    Variant constant;                     // Constant
    const MethodEntry* method = nullptr;   // Call
    Builtin builtin = Builtin::Rgb;       // Builtin
    std::vector<ExprPtr> args;            // Call and Builtin (null for an empty slot); Negate: one; Concat: two or more
};

struct Statement {
    enum class Kind { Assign, Call, Print, Save, ResumeNextOn, ResumeNextOff };
    Kind kind = Kind::Call;
    int line = 0;
    const PropertyEntry* property = nullptr;  // Assign
    const MethodEntry* method = nullptr;      // Call
    // Assign: the value. Call: the arguments, null for an empty slot. Print: the value, or none
    // for an empty line. Save: the data and the file name.
    std::vector<ExprPtr> args;
};

}  // namespace kelvane::script
