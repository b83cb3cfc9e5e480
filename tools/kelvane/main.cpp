// Entry point of the kelvane command; everything but the process boundary is in cli.cpp.
#include <iostream>
#include <string>
#include <vector>

#include "cli.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    return kelvane::script::RunCli(args, std::cout, std::cerr);
}
