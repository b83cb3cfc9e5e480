// kelvane-gdi: draws scripts of GDI calls with Kelvane's raster layer, as the reference
// renderer draws them with a real GDI.
#include <iostream>
#include <string>
#include <vector>

#include "replay.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: kelvane-gdi SCRIPT [SCRIPT...]   (\"-\" = stdin)\n";
        return 1;
    }
    std::vector<std::string> paths(argv + 1, argv + argc);
    kelvane::replay::Options options;
    options.out = &std::cout;
    options.err = &std::cerr;
    return kelvane::replay::runScripts(paths, options);
}
