// KELVANE_GDI_TRACE=FOLDER records each canvas's drawing calls as a script in FOLDER (a debugging
// aid: the script can be drawn again by the reference renderer and the pictures compared).
#pragma once

#include "kelvane/gdi.h"

namespace kelvane {

// The folder the variable names, or null when it is unset or empty.
const char* TraceFolder();

// Starts the trace of a new canvas in `folder`, creating the folder (and its parents) when it
// is missing. A folder that cannot be made or a script that cannot be written is said once per
// thread and folder through the message handler; the canvas is drawn as it would be untraced.
void StartCanvasTrace(gdi::HDC dc, const char* folder);

}  // namespace kelvane
