#include "kelvane/variant.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace kelvane {

namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

std::string_view TrimBlanks(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

double Variant::toDouble() const {
    switch (type()) {
        case Type::Empty: return 0;
        case Type::Bool: return std::get<Boolean>(m_value).value;
        case Type::Long: return std::get<int32_t>(m_value);
        case Type::Double: return std::get<double>(m_value);
        case Type::String: return TextToNumber(std::get<std::string>(m_value));
        case Type::Array:
        case Type::Bytes: break;
    }
    Raise(kErrTypeMismatch);
}

float Variant::toSingle() const { return CSng(toDouble()); }

// Integers go through the integer overloads: a Long never passes through rounding.
int32_t Variant::toLong() const {
    if (type() == Type::Long) return std::get<int32_t>(m_value);
    return CLng(toDouble());
}

int16_t Variant::toInteger() const {
    if (type() == Type::Long) return CInt(std::get<int32_t>(m_value));
    return CInt(toDouble());
}

VBBool Variant::toBool() const {
    switch (type()) {
        case Type::Bool: return std::get<Boolean>(m_value).value;
        case Type::String: {
            const std::string_view text = TrimBlanks(std::get<std::string>(m_value));
            if (EqualsIgnoringCase(text, "True")) return kTrue;
            if (EqualsIgnoringCase(text, "False")) return kFalse;
            break;
        }
        default: break;
    }
    return ToVBBool(toDouble() != 0);
}

std::string Variant::toText() const {
    switch (type()) {
        case Type::Empty: return {};
        case Type::Bool: return std::get<Boolean>(m_value).value != kFalse ? "True" : "False";
        case Type::Long: return std::to_string(std::get<int32_t>(m_value));
        case Type::Double: return DoubleToText(std::get<double>(m_value));
        case Type::String: return std::get<std::string>(m_value);
        case Type::Array:
        case Type::Bytes: break;
    }
    Raise(kErrTypeMismatch);
}

const std::string& Variant::string() const {
    if (!isString()) Raise(kErrTypeMismatch);
    return std::get<std::string>(m_value);
}

const Variant::Array& Variant::array() const {
    if (!isArray()) Raise(kErrTypeMismatch);
    return std::get<Array>(m_value);
}

const Variant::Bytes& Variant::bytes() const {
    if (!isBytes()) Raise(kErrTypeMismatch);
    return std::get<Bytes>(m_value);
}

Variant::Bytes& Variant::bytes() {
    if (!isBytes()) Raise(kErrTypeMismatch);
    return std::get<Bytes>(m_value);
}

}  // namespace kelvane
