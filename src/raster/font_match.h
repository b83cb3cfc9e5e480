// Family names matched to installed faces through fontconfig, in the system's configuration or
// in a lean one that answers the common names without reading the system's dozens of files.
#pragma once

#include <fontconfig/fontconfig.h>

#include <memory>
#include <string>
#include <string_view>

#include "raster/font.h"

namespace kelvane::gdi {

// ASCII letters in lower case: family names compare so.
std::string lowered(std::string_view s);

struct PatternDeleter {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using Pattern = std::unique_ptr<FcPattern, PatternDeleter>;

// A pattern for the family and weight; substitute() completes it by the configuration's rules
// (aliases) and the defaults. A null configuration is the system's own.
Pattern basePattern(const std::string& family, bool bold);
bool substitute(FcConfig* config, FcPattern* pattern);
// The file, face index, family and weight of a matched font.
bool fileOf(FcPattern* match, FontFile& out);

struct FaceMatch {
    FontFile file;
    bool requested = false;  // the face asked for (or its metric-compatible alias) is installed
};

// The best face for the family and weight in the configuration (null: the system's own).
bool matchFamily(FcConfig* config, const std::string& family, bool bold, FaceMatch& out);

// The calling thread's lean configuration, made on first use: the system's font folders, caches
// and top-level rules, and the metric-compatible aliases of the faces charts name (Arial, Times
// New Roman, Courier New), without the rule files the system's configuration includes. Null
// where only the system's configuration can answer: fontconfig redirected by the environment,
// a local or a user's configuration present, or the main file unreadable.
FcConfig* leanFontConfig();

// The face fontconfig chooses for the family and weight with the system's configuration. The
// lean configuration answers when it finds the face asked for or its alias, which it then finds
// as the system's configuration does; other names (aliases it does not carry, faces not
// installed) are matched in the system's configuration, read on first need.
bool chooseFace(const std::string& family, bool bold, FaceMatch& out);

}  // namespace kelvane::gdi
