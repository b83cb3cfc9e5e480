// The kelvane-gdi command line: options, usage text and exit statuses, apart from main() so
// that tests can drive it with their own streams.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kelvane::replay {

inline constexpr int kExitUsage = 2;

// args excludes the program name. Returns the exit status: that of runScripts, or 0 after
// --help, or kExitUsage for an unknown option or no script.
int runCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace kelvane::replay
