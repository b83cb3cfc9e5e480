// Replays scripts of GDI calls, in the command language of our reference renderer, through the
// raster layer: the same canvases, the same saved BMPs and the same printed values, so that a
// script drawn by both can be compared pixel by pixel.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <map>
#include <string>
#include <vector>

namespace kelvane::replay {

struct Options {
    std::ostream* out = nullptr;  // pixel, echo and other printed values
    std::ostream* err = nullptr;  // error and warning lines
    // When set, save and dump keep their bytes here (by the name the script gave) instead of
    // writing files.
    std::map<std::string, std::vector<uint8_t>>* captured = nullptr;
    // Folder that relative file names are resolved against; the current directory when empty.
    std::string baseDir;
};

// Runs the scripts in order. Returns the exit status of the reference renderer: 0 ok, 1 a script
// error (unknown or unsupported command, bad argument, unreadable file), 2 a failed GDI call
// while failures end the run.
int runScripts(const std::vector<std::string>& paths, const Options& options);

// Runs one script held in memory ("-" style input), named `name` in messages.
int runScriptText(const std::string& name, const std::string& text, const Options& options);

}  // namespace kelvane::replay
