// Family matching through fontconfig. The system's configuration is dozens of XML files that
// take milliseconds to read, most of it rules for faces and languages charts never ask for; the
// lean configuration keeps what decides the common answers and leaves the rest to the system's.
#include "raster/font_match.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <vector>

namespace kelvane::gdi {

namespace {

// The system's main configuration file, read for its font folders, caches and top-level rules.
constexpr const char* kSystemConfigFile = "/etc/fonts/fonts.conf";
// Its rule that reports a regular face matched for bold as bold (fontconfig then emboldens it):
// a rule on the matched font, so the lean configuration takes it from the same file.
constexpr const char* kSyntheticRules = "/etc/fonts/conf.d/90-synthetic.conf";

// The faces charts name by default and their metric-compatible aliases, bound as strongly as
// the name asked for, in the order fontconfig's standard aliases give them.
constexpr const char* kMetricAliases = R"(<?xml version="1.0"?>
<fontconfig>
  <match target="pattern">
    <test qual="any" name="family"><string>Arial</string></test>
    <edit name="family" mode="append" binding="same">
      <string>Arimo</string><string>Liberation Sans</string><string>Albany</string><string>Albany AMT</string>
    </edit>
  </match>
  <match target="pattern">
    <test qual="any" name="family"><string>Times New Roman</string></test>
    <edit name="family" mode="append" binding="same">
      <string>Tinos</string><string>Liberation Serif</string><string>Thorndale</string><string>Thorndale AMT</string>
    </edit>
  </match>
  <match target="pattern">
    <test qual="any" name="family"><string>Courier New</string></test>
    <edit name="family" mode="append" binding="same">
      <string>Cousine</string><string>Liberation Mono</string><string>Cumberland</string><string>Cumberland AMT</string>
    </edit>
  </match>
</fontconfig>
)";

bool exists(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

// Whether configuration beyond the system's files may change fontconfig's choices: the
// environment pointing fontconfig elsewhere, a local file, a user's files.
bool configuredElsewhere() {
    for (const char* name : {"FONTCONFIG_FILE", "FONTCONFIG_PATH", "FONTCONFIG_SYSROOT"})
        if (const char* value = std::getenv(name); value && *value) return true;
    if (exists("/etc/fonts/local.conf")) return true;
    std::vector<std::filesystem::path> user;
    const char* home = std::getenv("HOME");
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config)
        user.emplace_back(std::filesystem::path(config) / "fontconfig");
    else if (home && *home)
        user.emplace_back(std::filesystem::path(home) / ".config" / "fontconfig");
    if (home && *home) {
        user.emplace_back(std::filesystem::path(home) / ".fonts.conf");
        user.emplace_back(std::filesystem::path(home) / ".fonts.conf.d");
    }
    return std::any_of(user.begin(), user.end(), exists);
}

// The main file's text without its include of the rule folder; empty when unreadable or when it
// includes anything else.
std::string topLevelConfig() {
    std::FILE* file = std::fopen(kSystemConfigFile, "rb");
    if (!file) return {};
    std::string xml;
    char chunk[4096];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) xml.append(chunk, n);
    const bool read = !std::ferror(file);
    std::fclose(file);
    if (!read) return {};
    constexpr std::string_view kClose = "</include>";
    for (size_t at = xml.find("<include"); at != std::string::npos; at = xml.find("<include", at)) {
        const size_t open = xml.find('>', at), end = xml.find(kClose, at);
        if (open == std::string::npos || end == std::string::npos || open > end) return {};
        std::string_view folder(xml.data() + open + 1, end - open - 1);
        while (!folder.empty() && std::isspace(static_cast<unsigned char>(folder.front()))) folder.remove_prefix(1);
        while (!folder.empty() && std::isspace(static_cast<unsigned char>(folder.back()))) folder.remove_suffix(1);
        if (folder != "conf.d") return {};
        xml.erase(at, end + kClose.size() - at);
    }
    return xml;
}

// Caches loaded for the check below, held until the configuration is built so that fontconfig
// finds them mapped already.
struct HeldCaches {
    std::vector<FcCache*> caches;
    HeldCaches() = default;
    HeldCaches(const HeldCaches&) = delete;
    HeldCaches& operator=(const HeldCaches&) = delete;
    ~HeldCaches() {
        for (FcCache* cache : caches) FcDirCacheUnload(cache);
    }
};

// Whether every font folder has a valid cache, its subfolders included: the lean configuration
// must never scan fonts itself (the system's rules for scanning are not in it, and fontconfig
// writes what it scans to the shared caches).
bool cachesValid(FcConfig* config, const FcChar8* dir, int depth, HeldCaches& held) {
    FcChar8* file = nullptr;
    FcCache* cache = FcDirCacheLoad(dir, config, &file);
    FcStrFree(file);
    if (!cache) return false;
    held.caches.push_back(cache);
    bool valid = depth < 64;
    for (int i = 0; valid && i < FcCacheNumSubdir(cache); ++i)
        valid = cachesValid(config, FcCacheSubdir(cache, i), depth + 1, held);
    return valid;
}

bool fontFoldersCached(FcConfig* config, HeldCaches& held) {
    FcStrList* dirs = FcConfigGetFontDirs(config);
    if (!dirs) return false;
    bool valid = true;
    while (const FcChar8* dir = FcStrListNext(dirs)) {
        if (!exists(reinterpret_cast<const char*>(dir))) continue;  // fontconfig skips it too
        if (!(valid = cachesValid(config, dir, 0, held))) break;
    }
    FcStrListDone(dirs);
    return valid;
}

FcConfig* makeLeanConfig() {
    if (configuredElsewhere()) return nullptr;
    const std::string top = topLevelConfig();
    if (top.empty()) return nullptr;
    FcConfig* config = FcConfigCreate();
    if (!config) return nullptr;
    HeldCaches held;
    const bool made =
        FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8*>(top.c_str()), FcFalse) &&
        FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8*>(kMetricAliases), FcFalse) &&
        (!exists(kSyntheticRules) ||
         FcConfigParseAndLoad(config, reinterpret_cast<const FcChar8*>(kSyntheticRules), FcFalse)) &&
        fontFoldersCached(config, held) && FcConfigBuildFonts(config);
    if (made) return config;
    FcConfigDestroy(config);
    return nullptr;
}

struct LeanConfig {
    FcConfig* config = makeLeanConfig();
    LeanConfig() = default;
    LeanConfig(const LeanConfig&) = delete;
    LeanConfig& operator=(const LeanConfig&) = delete;
    ~LeanConfig() {
        if (config) FcConfigDestroy(config);
    }
};

}  // namespace

std::string lowered(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return out;
}

Pattern basePattern(const std::string& family, bool bold) {
    Pattern pattern(FcPatternCreate());
    if (!pattern) return pattern;
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern.get(), FC_SLANT, FC_SLANT_ROMAN);
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    return pattern;
}

bool substitute(FcConfig* config, FcPattern* pattern) {
    if (!FcConfigSubstitute(config, pattern, FcMatchPattern)) return false;
    FcDefaultSubstitute(pattern);
    return true;
}

bool fileOf(FcPattern* match, FontFile& out) {
    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) != FcResultMatch || !file) return false;
    int index = 0, weight = FC_WEIGHT_REGULAR;
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
    FcChar8* family = nullptr;
    FcPatternGetString(match, FC_FAMILY, 0, &family);
    out.path = reinterpret_cast<const char*>(file);
    out.index = index;
    out.family = family ? reinterpret_cast<const char*>(family) : "";
    out.bold = weight >= FC_WEIGHT_DEMIBOLD;
    return true;
}

bool matchFamily(FcConfig* config, const std::string& family, bool bold, FaceMatch& out) {
    Pattern pattern = basePattern(family, bold);
    if (!pattern || !substitute(config, pattern.get())) return false;
    FcResult result = FcResultNoMatch;
    Pattern match(FcFontMatch(config, pattern.get(), &result));
    if (!match || !fileOf(match.get(), out.file)) return false;
    // The configuration adds the requested family's aliases (metric-compatible faces) bound as
    // strongly as the name itself, and the default faces weakly: a match on a strongly bound
    // family is the face asked for, one on a weak family is a default standing in.
    std::vector<std::string> names;
    FcChar8* name = nullptr;
    for (int i = 0; FcPatternGetString(match.get(), FC_FAMILY, i, &name) == FcResultMatch; ++i)
        names.push_back(lowered(reinterpret_cast<const char*>(name)));
    out.requested = false;
    FcValue value;
    FcValueBinding binding;
    for (int i = 0; FcPatternGetWithBinding(pattern.get(), FC_FAMILY, i, &value, &binding) == FcResultMatch; ++i) {
        if (binding == FcValueBindingWeak || value.type != FcTypeString) continue;
        const std::string listed = lowered(reinterpret_cast<const char*>(value.u.s));
        if (std::find(names.begin(), names.end(), listed) != names.end()) {
            out.requested = true;
            break;
        }
    }
    return true;
}

FcConfig* leanFontConfig() {
    thread_local LeanConfig lean;
    return lean.config;
}

bool chooseFace(const std::string& family, bool bold, FaceMatch& out) {
    if (FcConfig* lean = leanFontConfig(); lean && matchFamily(lean, family, bold, out) && out.requested)
        return true;
    out = FaceMatch{};
    return matchFamily(nullptr, family, bold, out);
}

}  // namespace kelvane::gdi
