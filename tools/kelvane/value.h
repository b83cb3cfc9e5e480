// What evaluating a script expression yields: a Variant, remembering whether it came from a
// Single so that printing shows the seven digits a Single has rather than a double's fifteen.
#pragma once

#include <concepts>
#include <string>
#include <utility>

#include "kelvane/variant.h"

namespace kelvane::script {

struct Value {
    Variant variant;
    bool single = false;
    // For an empty result of a call, what the call could not make, so that writing it out can
    // say why nothing was written.
    std::string whyEmpty;

    Value() = default;
    template <class T>
        requires std::constructible_from<Variant, T>
    Value(T&& v) : variant(std::forward<T>(v)) {}  // NOLINT: implicit on purpose, adapters return plain values

    static Value Single(float f) {
        Value v(f);
        v.single = true;
        return v;
    }
};

}  // namespace kelvane::script
