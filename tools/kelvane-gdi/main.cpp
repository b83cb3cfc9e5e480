// kelvane-gdi: draws scripts of GDI calls with Kelvane's raster layer, as the reference
// renderer draws them with a real GDI.
#include <iostream>
#include <string>
#include <vector>

#include "command.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    return kelvane::replay::runCommand(args, std::cout, std::cerr);
}
