// Output paths and safe file replacement for the save statement and makeChart.
#include "output_files.h"

#include "output/file/file_write.h"

namespace kelvane::script {

std::string ResolveOutputPath(const std::string& name, const std::filesystem::path& outputFolder) {
    if (name.empty() || outputFolder.empty()) return name;
    std::filesystem::path path(name);
    if (path.is_absolute()) return name;
    return (outputFolder / path).string();
}

std::string WriteFileReplacing(const std::string& path, std::span<const uint8_t> bytes) {
    return writeFileReplacing(path, {bytes});
}

}  // namespace kelvane::script
