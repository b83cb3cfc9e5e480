// Writes a whole file or nothing: the bytes go to a new file beside the target, which replaces
// the target only once everything was written, flushed and closed.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>

namespace kelvane {

// Empty when the file now holds exactly the given parts, in order; otherwise the reason it
// could not be written. On failure an existing file of that name is left as it was. When
// `opened` is given it tells whether the new file was created (and so whether the failure came
// from the writing rather than from the name or the folder).
std::string writeFileReplacing(const std::string& path,
                               std::initializer_list<std::span<const uint8_t>> parts,
                               bool* opened = nullptr);

}  // namespace kelvane
