// Messages the component shows its user where a desktop program would open a message box. With
// no desktop they go to a handler, one per thread: by default a line on standard error.
#pragma once

#include <functional>
#include <string>

namespace kelvane {

using MessageHandler = std::function<void(const std::string&)>;

// Replaces the calling thread's handler. An empty handler restores the default. A handler must
// return promptly: the component never waits for an answer.
void SetMessageHandler(MessageHandler handler);

}  // namespace kelvane
