// The kelvane-gdi command line: its help, its usage errors, and scripts after "--".
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "command.h"

namespace kelvane::replay {
namespace {

struct Outcome {
    int status;
    std::string out, err;
};

Outcome RunGdi(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = runCommand(args, out, err);
    return {status, out.str(), err.str()};
}

TEST(ReplayCommand, HelpPrintsTheUsageAndSucceeds) {
    for (const char* help : {"--help", "-h"}) {
        const Outcome r = RunGdi({"some.txt", help});
        EXPECT_EQ(r.status, 0) << help;
        EXPECT_EQ(r.out.rfind("Usage: kelvane-gdi [options] SCRIPT...\n", 0), 0u) << r.out;
        EXPECT_NE(r.out.find("a SCRIPT of - is read from\nstandard input"), std::string::npos) << r.out;
        EXPECT_EQ(r.err, "");
    }
}

TEST(ReplayCommand, UsageErrorsExitWithStatusTwo) {
    const struct {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{"--frobnicate", "a.txt"}, "kelvane-gdi: unknown option '--frobnicate'\n"},
        {{"a.txt", "-x"}, "kelvane-gdi: unknown option '-x'\n"},
        {{}, "kelvane-gdi: no script given\n"},
        {{"--"}, "kelvane-gdi: no script given\n"},
    };
    for (const auto& c : cases) {
        const Outcome r = RunGdi(c.args);
        EXPECT_EQ(r.status, kExitUsage) << c.message;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, std::string(c.message) + "Try 'kelvane-gdi --help' for more information.\n");
    }
}

TEST(ReplayCommand, AfterADoubleDashANameBeginningWithADashIsAScript) {
    const Outcome r = RunGdi({"--", "--help"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "kelvane-gdi: --help:0: error: cannot read script '--help'\n");
}

}  // namespace
}  // namespace kelvane::replay
