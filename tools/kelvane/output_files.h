// Where a script's files go and how they are written: relative names land in the output folder,
// and a file appears under its name only once it is complete.
#pragma once

#include <filesystem>
#include <span>
#include <string>

namespace kelvane::script {

// The name a script gave, taken inside outputFolder when it is relative and a folder is set.
std::string ResolveOutputPath(const std::string& name, const std::filesystem::path& outputFolder);

// Writes to a temporary file in the target's folder and renames it over the target, so a
// failure never leaves a half-written file behind. Returns an error text, empty on success.
std::string WriteFileReplacing(const std::string& path, std::span<const uint8_t> bytes);

}  // namespace kelvane::script
