// The kelvane command: options, reading the scripts, running each with a fresh chart, and the
// exit status. Kept apart from main() so tests can drive it with their own streams.
#pragma once

#include <ostream>
#include <span>
#include <string>

namespace kelvane::script {

inline constexpr int kExitOk = 0;
inline constexpr int kExitScriptFailed = 1;
inline constexpr int kExitUsage = 2;

// A script larger than this is refused rather than read into memory.
inline constexpr size_t kMaxScriptBytes = 64u << 20;

// args excludes the program name.
int RunCli(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace kelvane::script
