// Options of the kelvane-gdi command.
#include "command.h"

#include <string_view>

#include "replay.h"

namespace kelvane::replay {

namespace {

constexpr std::string_view kUsage = R"(Usage: kelvane-gdi [options] SCRIPT...
Draws scripts of GDI calls, in the command language of the reference renderer, with Kelvane's
raster layer: the same canvases, saved BMPs and printed values, so that a script drawn by both
can be compared pixel by pixel. The scripts run in the order given; a SCRIPT of - is read from
standard input.

Options:
  --help  show this text and exit
  --      end of the options: what follows is a script, even when it begins with -

Exit status:
  0  every script ran
  1  a script error (unknown or unsupported command, bad argument, unreadable file)
  2  a failed GDI call while failures end the run, or a usage error
)";

void usageError(std::ostream& err, const std::string& message) {
    err << "kelvane-gdi: " << message << "\nTry 'kelvane-gdi --help' for more information.\n";
}

}  // namespace

int runCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::vector<std::string> scripts;
    bool optionsEnded = false;
    for (const std::string& arg : args) {
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            scripts.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            out << kUsage;
            return out.flush() ? 0 : 1;
        } else {
            usageError(err, "unknown option '" + arg + "'");
            return kExitUsage;
        }
    }
    if (scripts.empty()) {
        usageError(err, "no script given");
        return kExitUsage;
    }
    Options options;
    options.out = &out;
    options.err = &err;
    return runScripts(scripts, options);
}

}  // namespace kelvane::replay
