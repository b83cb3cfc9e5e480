// Starting the drawing-call trace of a canvas in the folder KELVANE_GDI_TRACE names.
#include "chart/canvas_trace.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "runtime/show_message.h"

namespace kelvane {

namespace {

// The folder this thread last reported a problem with, so that a script drawing many charts
// says it once rather than once a chart.
thread_local std::string t_reportedFolder;

void reportOnce(const std::string& folder, const std::string& problem) {
    if (t_reportedFolder == folder) return;
    t_reportedFolder = folder;
    ShowMessage("KELVANE_GDI_TRACE: " + problem + "; the drawing calls are not recorded");
}

}  // namespace

const char* TraceFolder() {
    const char* folder = std::getenv("KELVANE_GDI_TRACE");
    return folder && *folder ? folder : nullptr;
}

void StartCanvasTrace(gdi::HDC dc, const char* folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        reportOnce(folder, "cannot create the folder '" + std::string(folder) + "': " + error.message());
        return;
    }
    char name[96];
    std::snprintf(name, sizeof name, "/chart-%ld-%p.txt", long(::getpid()), static_cast<void*>(dc));
    const std::string path = std::string(folder) + name;
    errno = 0;
    if (!gdi::StartTrace(dc, path.c_str())) {
        const int reason = errno;
        reportOnce(folder, "cannot write '" + path + "': " + (reason ? std::strerror(reason) : "unknown error"));
    }
}

}  // namespace kelvane
