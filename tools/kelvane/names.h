// Name matching for chart scripts: keywords and chart names compare without regard to case,
// as in Basic, and lookups are by a lower-cased key.
#pragma once

#include <string>
#include <string_view>

namespace kelvane::script {

inline char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    }
    return true;
}

inline std::string NameKey(std::string_view name) {
    std::string key(name);
    for (char& c : key) c = AsciiLower(c);
    return key;
}

}  // namespace kelvane::script
