// The variant value of the automation interface: empty, a boolean, a 32-bit integer, a double,
// a string, an array of variants or a byte array.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "kelvane/runtime.h"

namespace kelvane {

class Variant {
public:
    enum class Type { Empty, Bool, Long, Double, String, Array, Bytes };
    using Array = std::vector<Variant>;
    using Bytes = std::vector<uint8_t>;

    Variant() = default;
    static Variant FromBool(bool b) { Variant v; v.m_value = Boolean{ToVBBool(b)}; return v; }
    Variant(bool) = delete;  // booleans are -1/0: use FromBool
    Variant(int32_t v) : m_value(v) {}
    Variant(double v) : m_value(v) {}
    Variant(float v) : m_value(double{v}) {}
    Variant(std::string v) : m_value(std::move(v)) {}
    Variant(const char* v) : m_value(std::string(v)) {}
    Variant(Array v) : m_value(std::move(v)) {}
    Variant(Bytes v) : m_value(std::move(v)) {}

    Type type() const { return static_cast<Type>(m_value.index()); }
    bool isEmpty() const { return type() == Type::Empty; }
    bool isNumeric() const { return type() == Type::Bool || type() == Type::Long || type() == Type::Double; }
    bool isString() const { return type() == Type::String; }
    bool isArray() const { return type() == Type::Array; }
    bool isBytes() const { return type() == Type::Bytes; }

    // Conversions with the runtime's rules: empty is 0 or "", numbers round ties to even and are
    // range-checked (error 6), text is parsed (error 13), arrays and byte arrays do not convert (13).
    double toDouble() const;
    float toSingle() const;
    int32_t toLong() const;
    int16_t toInteger() const;
    VBBool toBool() const;  // any non-zero number is true
    // Numbers as text: whole numbers without a point, others with up to 15 significant digits;
    // booleans as "True"/"False".
    std::string toText() const;

    // Direct access; throw error 13 when the variant holds something else.
    const std::string& string() const;
    const Array& array() const;
    const Bytes& bytes() const;
    Bytes& bytes();

    bool operator==(const Variant&) const = default;

private:
    struct Boolean {
        VBBool value;
        bool operator==(const Boolean&) const = default;
    };
    std::variant<std::monostate, Boolean, int32_t, double, std::string, Array, Bytes> m_value;
};

}  // namespace kelvane
