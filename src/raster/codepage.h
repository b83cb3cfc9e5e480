// Conversions between the system code page, UTF-8 and characters, for the text calls.
#pragma once

#include <cstddef>
#include <string>

#include "kelvane/gdi.h"

namespace kelvane::gdi {

// The characters of 8-bit text in a code page; a byte the code page cannot read stands for the
// character of its own value.
void decodeCodePage(UINT codePage, const char* bytes, size_t length, std::u32string& out);
// The characters of UTF-8 text; each malformed byte becomes U+FFFD.
void decodeUtf8(const char* utf8, size_t length, std::u32string& out);
// Characters written in a code page; those it lacks become '?'.
std::string encodeCodePage(UINT codePage, const char32_t* text, size_t length);

}  // namespace kelvane::gdi
