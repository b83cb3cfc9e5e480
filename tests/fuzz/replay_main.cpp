// Replays fuzz inputs without libFuzzer: each file named on the command line, and each file in a
// named folder, goes once through the fuzz entry point (under the sanitizers the build uses).
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

bool replay(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", file.c_str());
        return false;
    }
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::filesystem::path> files;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path arg(argv[i]);
        // A target without crashers has no crasher folder.
        if (!std::filesystem::exists(arg) && arg.parent_path().filename() == "crashers") continue;
        if (!std::filesystem::is_directory(arg)) {
            files.push_back(arg);
            continue;
        }
        for (const auto& entry : std::filesystem::directory_iterator(arg))
            if (entry.is_regular_file()) files.push_back(entry.path());
    }
    int replayed = 0;
    bool ok = true;
    for (const auto& file : files) {
        if (replay(file)) ++replayed;
        else ok = false;
    }
    std::printf("%d inputs replayed\n", replayed);
    return ok ? 0 : 1;
}
