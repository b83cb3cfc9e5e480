// The command-line driver of the chart-script interpreter.
#include "cli.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <new>
#include <optional>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

#include "batch.h"
#include "interpreter.h"
#include "kelvane/cChart.h"
#include "kelvane/gdi.h"
#include "kelvane/messages.h"
#include "output/palette/dither8bpp.h"

#ifndef KELVANE_VERSION
#define KELVANE_VERSION "unknown"
#endif

namespace kelvane::script {
namespace {

constexpr std::string_view kUsage = R"(Usage: kelvane [options] SCRIPT...
Draws the charts that chart scripts describe. Each script runs with a fresh chart; scripts run
side by side, one per thread, each giving the files and output it gives when run alone.
A SCRIPT of - is read from standard input and named <stdin> in messages.

Options:
  -o, --output DIR   put files with relative names (makeChart, save) in DIR, created if missing
  -j, --jobs N       run up to N scripts at once (default: one per processor core; 1 to 1024)
      --codepage N   the system code page text is measured and converted in (default 936;
                     1252, 65001 and the other code pages iconv knows)
      --no-warnings  do not show the charts' warnings on standard error
      --help         show this text and exit
      --version      show the version and exit

A script has one statement per line:
  Width = 400                         assign a property
  InitChart                           call a method (DrawText "note", , 20 leaves a default)
  print BarWidth                      print a value on standard output
  save SaveBinary("bmp"), "out.bmp"   write a byte array to a file
  makeChart "out.png"                 write the picture (bmp, jpg, gif or png by the name's end)
  On Error Resume Next                report failures and go on (On Error GoTo 0 stops that)
  ' a comment (also # or Rem at the start of a line)
Values: numbers, &H hex numbers, "text" ("" for a quote), True, False, RGB(r, g, b),
Array(...), enumeration names such as kvSingleColor, and method results.

A failure is reported on standard error as SCRIPT:LINE: Method: message and ends the script:
a call that fails, a message the chart records in ErrorInfo (one line each), makeChart or save
that writes nothing. After On Error Resume Next it is reported and the script goes on.
An output that made nothing says why in parentheses: the file and the system's reason, or the
line whose call ended the canvas (SaveBinary "bmp" or "gif", a GIF or JPEG file, Destroy).

After a statement that outputs the picture (makeChart, SaveBinary, ExportToDC) the chart's
warnings not shown before follow on standard error as SCRIPT:LINE: warning: TEXT, each saying
what looks wrong in the picture (a canvas left at 21 x 21, a legend or labels past its edge,
labels over each other, GIF colours changed) and which setting to change. Warnings change
neither the exit status nor any file.

Standard output and standard error show each script's output in one piece, in the order the
scripts were given; with more than three scripts a line [N/COUNT] SCRIPT on standard error
comes before each. Scripts that write files of the same name should run with -j 1: side by side,
which of them leaves the file is not fixed.

Exit status:
  0  every script ran to its end (failures passed over by On Error Resume Next do not count)
  1  a script had a syntax error or a failure that ended it
  2  a usage error, or a script file that cannot be read
)";

// The script name that stands for standard input, and the name messages give it.
constexpr std::string_view kStdinScript = "-";
constexpr std::string_view kStdinName = "<stdin>";

struct Options {
    bool help = false;
    bool version = false;
    bool warnings = true;
    std::optional<std::string> outputFolder;
    std::optional<unsigned> codePage;
    unsigned jobs = std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::string> scripts;
};

inline constexpr unsigned kMaxJobs = 1024;

// The value of an option given as "NAME VALUE" or "NAME=VALUE" (long) or "-xVALUE" (short);
// false when the option is not this one. Moves i past a separate value.
bool OptionValue(std::span<const std::string> args, size_t& i, std::string_view shortName,
                 std::string_view longName, std::optional<std::string>& value) {
    const std::string& arg = args[i];
    if (arg == shortName || arg == longName) {
        if (i + 1 < args.size()) value = args[++i];
        else value.reset();
        return true;
    }
    for (std::string_view name : {shortName, longName}) {
        const bool isLong = name.starts_with("--");
        if (!name.empty() && arg.size() > name.size() && arg.starts_with(name) &&
            (!isLong || arg[name.size()] == '=')) {
            value = arg.substr(name.size() + (isLong ? 1 : 0));
            return true;
        }
    }
    return false;
}

// A decimal number of at most nine digits, as option values take it.
std::optional<unsigned> OptionNumber(const std::string& value) {
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (value.empty() || value.size() > 9 || !std::all_of(value.begin(), value.end(), digit)) return {};
    return unsigned(std::stoul(value));
}

// Returns an error text for a usage error, empty when the options are fine.
std::string ParseOptions(std::span<const std::string> args, Options& options) {
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::optional<std::string> value;
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            options.scripts.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--no-warnings") {
            options.warnings = false;
        } else if (arg == "-o" || arg == "--output") {
            if (i + 1 == args.size()) return "option " + arg + " needs a folder";
            options.outputFolder = args[++i];
        } else if (arg.starts_with("--output=")) {
            options.outputFolder = arg.substr(9);
        } else if (OptionValue(args, i, "", "--codepage", value)) {
            if (!value) return "option --codepage needs a number";
            options.codePage = OptionNumber(*value);
            if (!options.codePage) return "option --codepage needs a number, not '" + *value + "'";
        } else if (OptionValue(args, i, "-j", "--jobs", value)) {
            const std::optional<unsigned> jobs = value ? OptionNumber(*value) : std::nullopt;
            if (!jobs || *jobs < 1 || *jobs > kMaxJobs) {
                const std::string range = " needs a number from 1 to " + std::to_string(kMaxJobs);
                return "option " + std::string(arg.starts_with("--") ? "--jobs" : "-j") + range +
                       (value ? ", not '" + *value + "'" : std::string());
            }
            options.jobs = *jobs;
        } else {
            return "unknown option '" + arg + "'";
        }
    }
    if (options.outputFolder && options.outputFolder->empty()) return "the output folder name is empty";
    if (std::count(options.scripts.begin(), options.scripts.end(), kStdinScript) > 1)
        return "standard input (-) can be read only once";
    return {};
}

std::string CheckReadable(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return "it is a folder";
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::error_code exists;
        return std::filesystem::exists(path, exists) ? "permission denied or unreadable" : "no such file";
    }
    return {};
}

// Reads at most kMaxScriptBytes from `in`; an error text when it cannot be read or is larger.
std::string ReadAll(std::istream& in, std::string& text) {
    text.clear();
    char buffer[1 << 16];
    while (in) {
        in.read(buffer, sizeof buffer);
        text.append(buffer, static_cast<size_t>(in.gcount()));
        if (text.size() > kMaxScriptBytes) {
            text.clear();
            return "larger than the limit of " + std::to_string(kMaxScriptBytes >> 20) + " MiB";
        }
    }
    if (in.bad()) return "read error";
    return {};
}

std::string ReadScript(const std::string& path, std::string& text) {
    if (std::string error = CheckReadable(path); !error.empty()) return error;
    std::ifstream in(path, std::ios::binary);
    return ReadAll(in, text);
}

// The name messages give a script.
std::string ScriptName(const std::string& path) {
    return path == kStdinScript ? std::string(kStdinName) : path;
}

// Returns the exit status for this one script. A script's output depends on nothing but the
// script: the thread's picture reduction modes (which a GIF leaves set for the thread's next
// GIFs) start as a new thread has them, and the component's messages go to err.
int RunScriptFile(const std::string& path, const std::filesystem::path& outputFolder, bool warnings,
                  std::ostream& out, std::ostream& err, const std::string* stdinText) {
    std::string text;
    if (path == kStdinScript && stdinText) {
        text = *stdinText;
    } else if (std::string error = ReadScript(path, text); !error.empty()) {
        err << "kelvane: cannot read script '" << path << "': " << error << '\n';
        return kExitUsage;
    }
    mDither8bpp::SetPaletteMode(mDither8bpp::kPaletteCube);
    mDither8bpp::SetDitherMode(mDither8bpp::kDitherNone);
    SetMessageHandler([&err](const std::string& message) { err << message << '\n'; });
    struct RestoreMessages {
        ~RestoreMessages() { SetMessageHandler(nullptr); }
    } restore;
    cChart chart;
    RunOptions options{ScriptName(path), outputFolder, warnings};
    return RunScript(text, chart, options, out, err) ? kExitOk : kExitScriptFailed;
}

// Runs one script, turning anything it throws into a report and a failure status.
int RunGuarded(const std::string& script, const std::filesystem::path& outputFolder, bool warnings,
               std::ostream& out, std::ostream& err, const std::string* stdinText) {
    try {
        return RunScriptFile(script, outputFolder, warnings, out, err, stdinText);
    } catch (const std::bad_alloc&) {
        err << ScriptName(script) << ": out of memory\n";
    } catch (const std::exception& e) {
        err << ScriptName(script) << ": internal error: " << e.what() << '\n';
    } catch (...) {
        err << ScriptName(script) << ": internal error\n";
    }
    return kExitScriptFailed;
}

// A full disk or closed pipe on standard output must not pass for success.
int CheckedOutput(std::ostream& out, std::ostream& err, int status) {
    if (out.flush()) return status;
    err << "kelvane: cannot write to standard output\n";
    return std::max(status, kExitScriptFailed);
}

}  // namespace

int RunCli(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    Options options;
    if (std::string error = ParseOptions(args, options); !error.empty()) {
        err << "kelvane: " << error << "\nTry 'kelvane --help' for more information.\n";
        return kExitUsage;
    }
    if (options.help) {
        out << kUsage;
        return CheckedOutput(out, err, kExitOk);
    }
    if (options.version) {
        out << "kelvane " << KELVANE_VERSION << '\n';
        return CheckedOutput(out, err, kExitOk);
    }
    if (options.scripts.empty()) {
        err << "kelvane: no script given\nTry 'kelvane --help' for more information.\n";
        return kExitUsage;
    }

    // Refuse the whole run up front rather than stop halfway over a misspelt file name. A script
    // on standard input is read now, before the workers start.
    bool allReadable = true;
    std::optional<std::string> stdinText;
    for (const std::string& script : options.scripts) {
        if (script == kStdinScript) {
            stdinText.emplace();
            if (std::string error = ReadAll(std::cin, *stdinText); !error.empty()) {
                err << "kelvane: cannot read the script on standard input: " << error << '\n';
                allReadable = false;
            }
        } else if (std::string error = CheckReadable(script); !error.empty()) {
            err << "kelvane: cannot read script '" << script << "': " << error << '\n';
            allReadable = false;
        }
    }
    if (!allReadable) return kExitUsage;

    // The code page is process-wide: set for this run, put back afterwards.
    const unsigned previousCodePage = gdi::GetSystemCodePage();
    if (options.codePage && !gdi::SetSystemCodePage(*options.codePage)) {
        err << "kelvane: unknown code page " << *options.codePage
            << "\nTry 'kelvane --help' for more information.\n";
        return kExitUsage;
    }
    struct RestoreCodePage {
        unsigned codePage;
        ~RestoreCodePage() { gdi::SetSystemCodePage(codePage); }
    } restore{previousCodePage};

    std::filesystem::path outputFolder;
    if (options.outputFolder) {
        outputFolder = *options.outputFolder;
        std::error_code created, checked;
        std::filesystem::create_directories(outputFolder, created);
        if (!std::filesystem::is_directory(outputFolder, checked)) {
            bool blocked = std::filesystem::exists(outputFolder, checked);
            err << "kelvane: cannot create output folder '" << *options.outputFolder << "': "
                << (blocked ? "a file of that name is in the way" : created.message()) << '\n';
            return kExitUsage;
        }
    }

    // The code page and the output folder are set before the workers start and stay as they are
    // until all have finished; every worker reads the code page on each text call.
    const std::vector<std::string>& scripts = options.scripts;
    const size_t count = scripts.size();
    const BatchTask task = [&](size_t i, std::ostream& scriptOut, std::ostream& scriptErr) {
        return RunGuarded(scripts[i], outputFolder, options.warnings, scriptOut, scriptErr,
                          stdinText ? &*stdinText : nullptr);
    };
    const BatchAnnounce announce = [&](size_t i, std::ostream& shownOut, std::ostream& shownErr) {
        if (count <= 3) return;
        shownOut.flush();
        shownErr << '[' << (i + 1) << '/' << count << "] " << ScriptName(scripts[i]) << '\n';
    };
    int status;
    try {
        status = RunBatch(count, options.jobs, task, announce, out, err);
    } catch (const std::system_error& e) {
        err << "kelvane: cannot start a thread: " << e.what() << '\n';
        status = kExitScriptFailed;
    }
    return CheckedOutput(out, err, status);
}

}  // namespace kelvane::script
