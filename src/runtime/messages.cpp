// The per-thread message handler and its default, a line on standard error.
#include <cstdio>
#include <utility>

#include "kelvane/messages.h"
#include "runtime/show_message.h"

namespace kelvane {

namespace {

// Each thread routes its own messages; the handler is the only state and it is per thread.
thread_local MessageHandler t_handler;

void writeToStandardError(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fputc('\n', stderr);
}

}  // namespace

void SetMessageHandler(MessageHandler handler) { t_handler = std::move(handler); }

void ShowMessage(const std::string& text) {
    if (t_handler) t_handler(text);
    else writeToStandardError(text);
}

}  // namespace kelvane
