// Showing a message to the user through the calling thread's handler (kelvane/messages.h).
#pragma once

#include <string>

namespace kelvane {

void ShowMessage(const std::string& text);

}  // namespace kelvane
