// Replays scripts of GDI calls (the command language of our reference renderer) through the
// raster layer, so that both can draw the same script and be compared pixel by pixel.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace kelvane::replay {

struct Result {
    bool ok = true;
    std::string error;           // "FILE:LINE: message" when not ok
    std::vector<std::string> saved;  // files written by save commands
};

// Runs one script. Relative file names resolve against baseDir (the current directory when
// empty). Commands this layer does not support fail the run with an "unsupported" message.
Result runScript(const std::string& path, const std::string& baseDir = "");

}  // namespace kelvane::replay
